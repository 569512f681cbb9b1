// Tests of the editor painting utilities: exact pixels of arrows, lines and
// fills, the layout measures, the flag conversion and the brush cache.
#include <gtest/gtest.h>

#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/Startup.h"
#include "tests/ui/foundation/SentinelSurface.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vxCore.h"

namespace {

// The units the editors paint with, started once for the test program, so
// the brush cache goes before the application does.
class Units : public ::testing::Environment {
public:
    void SetUp() override
    {
        AddvxCoreUnit(FUnits);
        AddvlLookAndFeelsUnit(FUnits);
        AddvlEditPaintUtilsUnit(FUnits);
        AddvlEditUnit(FUnits);
        FUnits.Initialize();
    }
    void TearDown() override { FUnits.Finalize(); }

private:
    TStartupList FUnits;
};
const auto* const units = ::testing::AddGlobalTestEnvironment(new Units);

bool same(const QRegion& A, const QRegion& B) { return (A ^ B).isEmpty(); }

constexpr QRgb black = 0xFF000000;

// The pixel columns of one colour on row y, as "x1-x2" runs.
std::string runs(const Surface& s, int y, QRgb c)
{
    std::string text;
    int x = 0;
    while (x < s.Image.width()) {
        if (s.at(x, y) != c) {
            ++x;
            continue;
        }
        const int from = x;
        while (x < s.Image.width() && s.at(x, y) == c)
            ++x;
        text += (text.empty() ? "" : ",") + std::to_string(from) + "-" + std::to_string(x - 1);
    }
    return text;
}

TEST(vlEditPaintUtils, DrawArrowFillsTheRowsOfItsBox)
{
    Surface s(20, 12);
    DrawArrow(&s.Vl, 4, Rect(0, 0, 20, 10), adDown, false, false, clBlack);
    const std::vector<std::string> expected = {"", "", "", "6-12", "7-11", "8-10", "9-9", "", "", ""};
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(runs(s, y, black), expected[size_t(y)]) << "row " << y;

    Surface offset(20, 12);
    DrawArrow(&offset.Vl, 4, Rect(0, 0, 20, 10), adDown, false, true, clBlack);
    EXPECT_EQ(runs(offset, 4, black), "7-13");
    EXPECT_EQ(runs(offset, 7, black), "10-10");

    Surface twin(20, 12);
    DrawArrow(&twin.Vl, 4, Rect(0, 0, 20, 10), adDown, true, false, clBlack);
    EXPECT_EQ(runs(twin, 0, black), "");
    EXPECT_EQ(runs(twin, 1, black), "6-12");
    EXPECT_EQ(runs(twin, 4, black), "9-9");
    EXPECT_EQ(runs(twin, 5, black), "6-12");
    EXPECT_EQ(runs(twin, 8, black), "9-9");

    Surface up(20, 12);
    DrawArrow(&up.Vl, 4, Rect(0, 0, 20, 10), adUp, false, false, clBlack);
    EXPECT_EQ(runs(up, 3, black), "9-9");
    EXPECT_EQ(runs(up, 6, black), "6-12");
}

TEST(vlEditPaintUtils, ArrowSizeFitsTheContent)
{
    struct Case {
        TSize content;
        TvlArrowDirection direction;
        TSize expected;
    } cases[] = {
        {{15, 15}, adDown, {7, 4}}, {{15, 15}, adLeft, {4, 7}}, {{10, 20}, adUp, {5, 3}},
        {{0, 0}, adDown, {1, 1}},   {{1, 1}, adRight, {1, 1}},
    };
    for (const Case& c : cases) {
        const TSize r = GetArrowSize(c.content, c.direction);
        EXPECT_EQ(r.cx, c.expected.cx) << c.content.cx << "x" << c.content.cy;
        EXPECT_EQ(r.cy, c.expected.cy) << c.content.cx << "x" << c.content.cy;
    }
}

TEST(vlEditPaintUtils, PixelExactLinesLeaveOutSegmentEndsButDrawTheLastPoint)
{
    Surface s(12, 12);
    const TPoint points[] = {{2, 2}, {8, 2}, {8, 6}};
    InternalPolyLine(&s.Vl, points, true, clBlack);
    EXPECT_EQ(runs(s, 2, black), "2-8");
    EXPECT_EQ(runs(s, 6, black), "8-8");
    EXPECT_TRUE(same(s.of(black), QRegion(2, 2, 7, 1) + QRegion(8, 2, 1, 5)));

    // Backwards segments cover the same pixels.
    Surface back(12, 12);
    const TPoint reversed[] = {{8, 6}, {8, 2}, {2, 2}};
    InternalPolyLine(&back.Vl, reversed, true, clBlack);
    EXPECT_TRUE(same(back.of(black), s.of(black)));

    // Pen mode draws the end point too.
    Surface pen(12, 12);
    InternalPolyLine(&pen.Vl, points, false, clBlack);
    EXPECT_TRUE(same(pen.of(black), s.of(black)));
}

TEST(vlEditPaintUtils, ButtonBorderDrawsChosenSidesAndShrinks)
{
    Surface s(10, 10);
    TRect r = Rect(1, 1, 9, 9);
    DrawButtonBorder(&s.Vl, r, vlbbLeft | vlbbTop | vlbbRight | vlbbBottom, clBlack);
    EXPECT_EQ(r, Rect(2, 2, 8, 8));
    EXPECT_TRUE(same(s.of(black), QRegion(1, 1, 8, 8) - QRegion(2, 2, 6, 6)));
}

TEST(vlEditPaintUtils, FillRectExceptInnerLeavesTheInnerRectangle)
{
    Surface s(12, 12);
    FillRectExceptInner(&s.Vl, Rect(1, 1, 11, 11), Rect(3, 4, 8, 9), GetSolidBrush(clBlack));
    EXPECT_TRUE(same(s.of(black), QRegion(1, 1, 10, 10) - QRegion(3, 4, 5, 5)));

    Surface equal(12, 12);
    FillRectExceptInner(&equal.Vl, Rect(1, 1, 11, 11), Rect(1, 1, 11, 11), GetSolidBrush(clBlack));
    EXPECT_TRUE(equal.of(black).isEmpty());

    Surface whole(12, 12);
    FillRectExceptInner(&whole.Vl, Rect(1, 1, 11, 11), TRect(), GetSolidBrush(clBlack));
    EXPECT_TRUE(same(whole.of(black), QRegion(1, 1, 10, 10)));
}

TEST(vlEditPaintUtils, ButtonWidthWithoutTheme)
{
    Surface s;
    const int scroll = GetSystemMetrics(SM_CYHSCROLL);
    TvlEditButtonViewInfo button;
    button.Width = 10;
    EXPECT_EQ(CalculateEditButtonWidth(&s.Vl, &button), 10);
    button.Width = 2;
    EXPECT_EQ(CalculateEditButtonWidth(&s.Vl, &button), 4);
    button.Width = -5;  // below 1: from the content
    EXPECT_EQ(CalculateEditButtonWidth(&s.Vl, &button), scroll);
    button.Width = 0;
    button.Data.Kind = bkEllipsis;
    EXPECT_EQ(CalculateEditButtonWidth(&s.Vl, &button), scroll);
    TBitmap glyph;
    glyph.SetSize(16, 16);
    button.Glyph = &glyph;
    button.Data.Kind = bkGlyph;
    EXPECT_EQ(CalculateEditButtonWidth(&s.Vl, &button), 20);
    glyph.SetSize(40, 16);
    EXPECT_EQ(CalculateEditButtonWidth(&s.Vl, &button), 44);
    button.Data.Kind = bkText;
    button.Data.VisibleCaption = QStringLiteral("A rather long caption");
    EXPECT_EQ(CalculateEditButtonWidth(&s.Vl, &button), 4 + s.Vl.TextWidth(button.Data.VisibleCaption) + 3);
    // A native look without a theme measures as the classic one.
    button.Data.NativeStyle = true;
    EXPECT_EQ(CalculateEditButtonWidth(&s.Vl, &button), 4 + s.Vl.TextWidth(button.Data.VisibleCaption) + 3);
    EXPECT_FALSE(button.Data.NativeStyle);

    EXPECT_EQ(ButtonContentVerticalMargin(&s.Vl, bts3D, false), 4);
    EXPECT_EQ(ButtonContentVerticalMargin(&s.Vl, btsDefault, false), 0);
    EXPECT_EQ(ButtonContentVerticalMargin(&s.Vl, btsOffice11, false), 2);
}

TEST(vlEditPaintUtils, TextFlagsRoundTrip)
{
    const int dt = DT_CENTER | DT_BOTTOM | DT_WORDBREAK | DT_SINGLELINE | DT_RIGHT | DT_VCENTER;
    const int library = DrawTextFlagsTovlTextOutFlags(dt);
    EXPECT_EQ(library, vlWordBreak | vlSingleLine | vlAlignRight | vlAlignVCenter);
    EXPECT_EQ(vlTextOutFlagsToDrawTextFlags(library), int(DT_WORDBREAK | DT_SINGLELINE | DT_RIGHT | DT_VCENTER));
    EXPECT_EQ(vlTextOutFlagsToDrawTextFlags(vlExpandTabs | vlCalcRect), int(DT_EXPANDTABS | DT_CALCRECT));
}

TEST(vlEditPaintUtils, BrushCacheKeepsSortedColoursAndEvictsTheLeastUsed)
{
    TvlSolidBrushCache cache(3);
    const TvlCachedBrush red = cache.GetSolidBrush(clRed);
    EXPECT_EQ(cache.GetSolidBrush(clRed), red);
    cache.GetSolidBrush(clBlue);
    cache.GetSolidBrush(clLime);
    ASSERT_EQ(cache.Depth(), 3);
    EXPECT_EQ(cache.BrushColors(0), clRed);  // ascending: 0xFF, 0xFF00, 0xFF0000
    EXPECT_EQ(cache.Counts(0), 1u);
    cache.GetSolidBrush(clBlue);
    // Red and blue were asked for again: lime (count 0) goes.
    cache.GetSolidBrush(clYellow);
    EXPECT_EQ(cache.Depth(), 3);
    EXPECT_EQ(cache.BrushColors(0), clRed);
    EXPECT_EQ(cache.BrushColors(1), clYellow);
    EXPECT_EQ(cache.BrushColors(2), clBlue);
    EXPECT_EQ(cache.GetSolidBrush(clYellow)->Color, ColorToRGB(clYellow));
    cache.ResetOnPaletteChange();
    EXPECT_EQ(cache.Depth(), 0);
}

TEST(vlEditPaintUtils, SystemColoursComeFromTheTable)
{
    TStartupList units;
    AddvlEditConstsUnit(units);
    units.Initialize();
    const int depth = vlSolidBrushCache()->Depth();
    EXPECT_EQ(GetSolidBrush(clBtnFace), vlSystemColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(vlSolidBrushCache()->Depth(), depth);
    GetSolidBrush(TColor(0xFF00001F));  // no system index: cached
    EXPECT_EQ(vlSolidBrushCache()->Depth(), depth + 1);

    // The editor texts are registered under their product.
    TvxResourceStringsRepository* repository = GetResourceStringsRepository();
    const TvxProductResourceStrings* product = nullptr;
    for (int i = 0; i < repository->ProductCount(); ++i)
        if (repository->Products(i)->Name() == QString::fromLatin1(vlEditorsProductName))
            product = repository->Products(i);
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->Count(), int(std::size(vlEditConsts::vlEditConstsTable)));
    EXPECT_GE(product->IndexOf(QStringLiteral("svlRegExprMissing")), 0);
    units.Finalize();
}

}  // namespace
