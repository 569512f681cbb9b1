#include <gtest/gtest.h>

#include "ui/foundation/vlGeometry.h"

namespace {

TEST(vlGeometry, RectangleHelpers)
{
    EXPECT_EQ(CenterRect(Rect(0, 0, 15, 15), 10, 10), Rect(2, 2, 12, 12));
    // (-15 + 0 - 10) / 2 truncates towards zero: -12.
    EXPECT_EQ(CenterRect(Rect(-15, 0, 0, 15), 10, 10).Left, -12);
    EXPECT_EQ(RectInflate(Rect(5, 5, 10, 10), 1, 2, 3, 4), Rect(4, 3, 13, 14));
    EXPECT_EQ(RectOffsetBy(Rect(5, 5, 10, 10), 2, 3, false), Rect(3, 2, 8, 7));
    EXPECT_EQ(RectTranspose(Rect(1, 2, 3, 4)), Rect(2, 1, 4, 3));
    EXPECT_EQ(RectSetHorzPosition(Rect(1, 2, 3, 4), 10, 5), Rect(10, 2, 15, 4));
}

TEST(vlGeometry, RectReportsOnlyRealChangesAndAssignsOnlyRects)
{
    struct Counter : TObject {
        int Count = 0;
        void changed(TObject*) { ++Count; }
    } counter;
    TvlRect r(nullptr);
    r.OnChange = TNotifyEvent(&counter, &Counter::changed);
    r.SetLeft(0);
    EXPECT_EQ(counter.Count, 0);
    r.SetRight(10);
    EXPECT_EQ(counter.Count, 1);
    TvlRect other(nullptr);
    other.SetRect(Rect(1, 2, 3, 4));
    r.Assign(&other);
    EXPECT_EQ(r.Rect(), Rect(1, 2, 3, 4));
    TPersistent plain;
    r.Assign(&plain);  // ignored, no error
    EXPECT_EQ(r.Rect(), Rect(1, 2, 3, 4));
    EXPECT_EQ(counter.Count, 2);

    struct Clamped : TvlRect {
        using TvlRect::TvlRect;
        void DoAdjust(TRect& R) override { R.Left = std::max(R.Left, 0); }
    } clamped(nullptr);
    clamped.SetLeft(-5);
    EXPECT_EQ(clamped.Left(), 0);
}

}  // namespace
