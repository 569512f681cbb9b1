#include <climits>
#include <gtest/gtest.h>

#include "platform/rtl/Types.h"

namespace {

struct MulDivCase {
    int number, numerator, denominator, expected;
};

TEST(MulDivTest, RoundsHalvesAwayFromZeroAndReportsFailureAsMinusOne)
{
    const MulDivCase cases[] = {
        {1, 1, 2, 1},     {-1, 1, 2, -1},   {3, 1, 2, 2},       {-3, 1, 2, -2},
        {1, -1, 2, -1},   {-1, -1, 2, 1},   {2, 1, -4, -1},     {1, 1, -3, 0},
        {4, 1, 3, 1},     {5, 1, 3, 2},     {-4, 1, 3, -1},     {-5, 1, 3, -2},
        {0, 5, 7, 0},     {10, 0, 3, 0},    {96, 72, 96, 72},   {-12, 96, 72, -16},
        {7, 3, 0, -1},    {0, 0, 0, -1},
        // the product needs 64 bits, the result does not
        {100000, 100000, 100, 100000000}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {INT_MIN, 2, 2, INT_MIN},          {INT_MIN, INT_MIN, INT_MIN, INT_MIN},
        {INT_MIN, -1, -1, INT_MIN},
        // the result does not fit
        {INT_MAX, 2, 1, -1},  {INT_MIN, -1, 1, -1},  {INT_MIN, 1, -1, -1},
    };
    for (const MulDivCase& c : cases)
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << "MulDiv(" << c.number << ", " << c.numerator << ", " << c.denominator << ")";
}

TEST(RectTest, FactoriesAndExtents)
{
    const TRect b = Bounds(-5, 6, 10, 20);
    EXPECT_EQ(b, Rect(-5, 6, 5, 26));
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.Height(), 20);
    EXPECT_EQ(b.TopLeft(), Point(-5, 6));
    EXPECT_EQ(b.BottomRight(), Point(5, 26));
    EXPECT_EQ(Rect(Point(1, 2), Point(3, 4)), Rect(1, 2, 3, 4));
    EXPECT_EQ(CenterPoint(Rect(0, 0, 10, 10)), Point(5, 5));
    EXPECT_EQ(CenterPoint(Rect(0, 0, 5, 5)), Point(2, 2));
    EXPECT_EQ(CenterPoint(Rect(-10, -10, -5, -5)), Point(-8, -8));
}

TEST(RectTest, PtInRectExcludesRightAndBottomEdges)
{
    const TRect r = Rect(-2, -3, 4, 5);
    EXPECT_TRUE(PtInRect(r, Point(-2, -3)));
    EXPECT_TRUE(PtInRect(r, Point(3, 4)));
    EXPECT_FALSE(PtInRect(r, Point(4, 0)));
    EXPECT_FALSE(PtInRect(r, Point(0, 5)));
    EXPECT_FALSE(PtInRect(r, Point(-3, 0)));
    EXPECT_FALSE(PtInRect(Rect(0, 0, 0, 10), Point(0, 0)));
}

TEST(RectTest, IsRectEmpty)
{
    EXPECT_TRUE(IsRectEmpty(Rect(0, 0, 0, 0)));
    EXPECT_TRUE(IsRectEmpty(Rect(5, 0, 5, 10)));
    EXPECT_TRUE(IsRectEmpty(Rect(0, 5, 10, 5)));
    EXPECT_TRUE(IsRectEmpty(Rect(10, 0, 0, 10)));
    EXPECT_FALSE(IsRectEmpty(Rect(-10, -10, -9, -9)));
}

struct TwoRectCase {
    TRect a, b, expected;
    bool result;
};

TEST(RectTest, IntersectRect)
{
    const TwoRectCase cases[] = {
        {Rect(0, 0, 10, 10), Rect(5, 5, 15, 15), Rect(5, 5, 10, 10), true},
        {Rect(0, 0, 10, 10), Rect(2, 3, 4, 5), Rect(2, 3, 4, 5), true},
        {Rect(-10, -10, 0, 0), Rect(-5, -20, 5, -5), Rect(-5, -10, 0, -5), true},
        // touching edges share no pixel
        {Rect(0, 0, 10, 10), Rect(10, 0, 20, 10), Rect(0, 0, 0, 0), false},
        {Rect(0, 0, 10, 10), Rect(0, 10, 10, 20), Rect(0, 0, 0, 0), false},
        {Rect(0, 0, 10, 10), Rect(20, 20, 30, 30), Rect(0, 0, 0, 0), false},
        // an empty source inside the other gives nothing
        {Rect(0, 0, 10, 10), Rect(5, 2, 5, 8), Rect(0, 0, 0, 0), false},
    };
    for (const TwoRectCase& c : cases) {
        TRect dst = Rect(1, 2, 3, 4);
        EXPECT_EQ(IntersectRect(dst, c.a, c.b), c.result);
        EXPECT_EQ(dst, c.expected);
        TRect aliased = c.a;
        EXPECT_EQ(IntersectRect(aliased, aliased, c.b), c.result);
        EXPECT_EQ(aliased, c.expected);
    }
}

TEST(RectTest, UnionRectIgnoresEmptyRectangles)
{
    const TwoRectCase cases[] = {
        {Rect(0, 0, 10, 10), Rect(5, 5, 15, 15), Rect(0, 0, 15, 15), true},
        {Rect(-10, -10, -5, -5), Rect(5, 5, 6, 6), Rect(-10, -10, 6, 6), true},
        {Rect(100, 100, 100, 200), Rect(1, 2, 3, 4), Rect(1, 2, 3, 4), true},
        {Rect(1, 2, 3, 4), Rect(-50, -50, -60, -40), Rect(1, 2, 3, 4), true},
        {Rect(5, 5, 5, 5), Rect(9, 9, 1, 1), Rect(0, 0, 0, 0), false},
    };
    for (const TwoRectCase& c : cases) {
        TRect dst = Rect(7, 7, 8, 8);
        EXPECT_EQ(UnionRect(dst, c.a, c.b), c.result);
        EXPECT_EQ(dst, c.expected);
        TRect aliased = c.b;
        EXPECT_EQ(UnionRect(aliased, c.a, aliased), c.result);
        EXPECT_EQ(aliased, c.expected);
    }
}

TEST(RectTest, SubtractRectCutsOnlyWholeSides)
{
    const TRect a = Rect(0, 0, 10, 10);
    const TwoRectCase cases[] = {
        {a, Rect(-5, -5, 4, 15), Rect(4, 0, 10, 10), true},   // left side
        {a, Rect(6, 0, 10, 10), Rect(0, 0, 6, 10), true},     // right side
        {a, Rect(-1, -1, 11, 3), Rect(0, 3, 10, 10), true},   // top
        {a, Rect(0, 7, 10, 12), Rect(0, 0, 10, 7), true},     // bottom
        {a, Rect(3, 3, 6, 6), a, true},                       // a hole
        {a, Rect(5, 5, 15, 15), a, true},                     // a corner
        {a, Rect(20, 20, 30, 30), a, true},                   // apart
        {a, Rect(-1, -1, 11, 11), Rect(0, 0, 0, 0), false},   // covered
    };
    for (const TwoRectCase& c : cases) {
        TRect dst;
        EXPECT_EQ(SubtractRect(dst, c.a, c.b), c.result);
        EXPECT_EQ(dst, c.expected);
    }
}

TEST(RectTest, OffsetAndInflate)
{
    TRect r = Rect(0, 0, 10, 10);
    EXPECT_TRUE(OffsetRect(r, -3, 4));
    EXPECT_EQ(r, Rect(-3, 4, 7, 14));
    EXPECT_TRUE(InflateRect(r, 2, 1));
    EXPECT_EQ(r, Rect(-5, 3, 9, 15));
    EXPECT_TRUE(InflateRect(r, -3, -2));
    EXPECT_EQ(r, Rect(-2, 5, 6, 13));
    EXPECT_TRUE(InflateRect(r, -5, 0));  // deflating past the middle leaves an empty rectangle
    EXPECT_TRUE(IsRectEmpty(r));
    EXPECT_TRUE(EqualRect(Rect(1, 2, 3, 4), Rect(1, 2, 3, 4)));
    EXPECT_FALSE(EqualRect(Rect(1, 2, 3, 4), Rect(1, 2, 3, 5)));
    SetRect(r, 1, 2, 3, 4);
    EXPECT_EQ(r, Rect(1, 2, 3, 4));
    SetRectEmpty(r);
    EXPECT_EQ(r, TRect{});
}

}  // namespace
