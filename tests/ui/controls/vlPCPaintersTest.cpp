// Tests of the tab styles: the registry's choices, the metric tables, the
// navigator buttons and offscreen pixel probes of a three-tab control.
#include <gtest/gtest.h>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Startup.h"
#include "tests/ui/controls/vlPCTestControl.h"
#include "ui/controls/vlPCPainters.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vxCore.h"
#include "ui/foundation/vxOffice11.h"

namespace {

// The units the painters stand on, started once for the file.
class Units : public ::testing::Environment {
public:
    void SetUp() override
    {
        AddvxCoreUnit(FUnits);
        AddvlLookAndFeelsUnit(FUnits);
        AddvlPCPaintersUnit(FUnits);
        FUnits.Initialize();
    }
    void TearDown() override { FUnits.Finalize(); }

private:
    TStartupList FUnits;
};
const auto* const units = ::testing::AddGlobalTestEnvironment(new Units);

// A look whose tab painter is a skin's.
class SkinPainter : public TvlCustomLookAndFeelPainter {
public:
    static const SkinPainter* Get() { static const SkinPainter p; return &p; }
};
class SkinLook : public TvlLookAndFeel {
public:
    SkinLook() : TvlLookAndFeel(nullptr) {}
protected:
    bool FindSkinPainter(const TvxSkinName&, TvlLookAndFeelPainterClass& APainter) const override
    {
        APainter = SkinPainter::Get();
        return true;
    }
};

std::unique_ptr<TestControl> control(TvlPCStyleID AStyle, int AWidth = 200, int AHeight = 120)
{
    auto c = std::make_unique<TestControl>(AWidth, AHeight);
    c->SetPainter(PaintersFactory()->GetPainterInstance(PaintersFactory()->GetPainterClass(AStyle), c.get()));
    return c;
}

// ---- registry -------------------------------------------------------------------

TEST(vlPCPainters, RegistryFindsStylesByIdAndLook)
{
    TvlPCPaintersFactory* f = PaintersFactory();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetPainterClass(0), nullptr);
    EXPECT_EQ(f->GetPainterClass(4), nullptr);
    EXPECT_EQ(f->GetPainterClass(1)->GetStyleName(), String::fromLatin1("Tabs"));
    EXPECT_EQ(f->GetPainterClass(3)->GetStyleName(), String::fromLatin1("FlatButtons"));

    TvlLookAndFeel look(nullptr);
    struct Case { TvlLookAndFeelKind kind; TvlPCStyleID style; };
    for (const Case k : {Case{lfStandard, 1}, Case{lfFlat, 7}, Case{lfUltraFlat, 6}, Case{lfOffice11, 8}}) {
        look.SetKind(k.kind);
        EXPECT_EQ(f->GetStyleIDByLookAndFeel(&look), k.style) << int(k.kind);
    }
    SkinLook skin;
    skin.SetSkinName(String::fromLatin1("Ours"));
    EXPECT_EQ(f->GetStyleIDByLookAndFeel(&skin), -1);
    skin.SetNativeStyle(true);
    EXPECT_EQ(f->GetDefaultStyleID(&skin), 7);
    skin.SetNativeStyle(false);
    EXPECT_EQ(f->GetDefaultStyleID(&skin), 1);
    EXPECT_EQ(raisedMessage([&] { f->GetPainterInstance(nullptr, nullptr); }),
              String::fromLatin1("TvlPCPaintersFactory.GetPainterInstance: PCPainterClass is nil"));
}

TEST(vlPCPainters, ClassAnswersFollowTheStandardStyle)
{
    struct Case { TvlPCStyleID id; bool tabStyle, multiSelect, buttonStyle; };
    for (const Case k : {Case{1, true, false, false}, Case{2, false, true, true}, Case{3, false, true, true},
                         Case{5, true, false, false}, Case{6, true, false, false}, Case{7, true, false, false},
                         Case{8, true, false, false}, Case{9, true, false, false}, Case{10, true, false, false}}) {
        TvlPCPainterClass c = PaintersFactory()->GetPainterClass(k.id);
        EXPECT_EQ(c->IsTabStyle(), k.tabStyle) << k.id;
        EXPECT_EQ(c->AllowMultiSelect(), k.multiSelect) << k.id;
        EXPECT_EQ(c->IsButtonStyle(), k.buttonStyle) << k.id;
        EXPECT_TRUE(c->IsStandardPainter());
    }
}

// ---- metrics ------------------------------------------------------------------------

TEST(vlPCPainters, TabWidthsAndHeights)
{
    auto c = control(2);
    c->addTabs({""});
    EXPECT_EQ(c->VisibleTab(0)->NormalWidth(), 42);
    c->SetTabWidth(10);
    c->RecalculateLayout();
    EXPECT_EQ(c->VisibleTab(0)->NormalWidth(), 10);
    const int computed = c->Tabs()->TabNormalHeight();
    EXPECT_EQ(computed, std::max(20, c->Canvas()->TextHeight(String::fromLatin1("Zg")) + 8));
    c->SetTabHeight(computed - 5);
    c->RecalculateLayout();
    EXPECT_EQ(c->Tabs()->TabNormalHeight(), computed);
    c->SetTabHeight(computed + 5);
    c->RecalculateLayout();
    EXPECT_EQ(c->Tabs()->TabNormalHeight(), computed + 5);
}

TEST(vlPCPainters, MetricTablesPerStyle)
{
    struct Case { TvlPCStyleID id; TPoint distance; int frame; std::array<int, 2> margins; };
    for (const Case k : {Case{1, Point(0, 0), 2, {3, 2}}, Case{2, Point(3, 3), 2, {4, 4}},
                         Case{3, Point(10, 3), 2, {4, 4}}, Case{7, Point(0, 0), 1, {3, 2}},
                         Case{5, Point(1, 6), 1, {2, 2}}, Case{6, Point(1, 6), 1, {2, 2}},
                         Case{8, Point(2, 4), 1, {2, 2}}}) {
        auto c = control(k.id);
        c->addTabs({"One", "Two"});
        c->SetMainTabDirect(0);
        TPoint d;
        c->Painter()->GetTabsDistance(d);
        EXPECT_EQ(d, k.distance) << k.id;
        EXPECT_EQ(c->Painter()->GetFrameWidth(), k.frame) << k.id;
        std::array<int, 2> m{};
        c->Painter()->GetTabTextMargins(1, m);
        EXPECT_EQ(m, k.margins) << k.id;
    }
}

TEST(vlPCPainters, NavigatorOrderFollowsItsPosition)
{
    auto c = control(1, 200, 100);
    c->SetOptions(c->Options() + TvlPCOptions{pcoCloseButton, pcoGoDialog});
    c->addTabs({"A long caption", "Another long one", "And a third"});
    auto* p = static_cast<TvlPCStandardPainter*>(c->Painter());
    auto order = [&] {
        std::vector<TvlPCNavigatorButton> r;
        for (const auto& b : p->NavigatorButtonPositions())
            r.push_back(b.Button);
        return r;
    };
    EXPECT_EQ(order(), (std::vector<TvlPCNavigatorButton>{nbGoDialog, nbTopLeft, nbBottomRight, nbClose}));
    // Right-aligned: go dialog 12, arrows and close 20 wide, 20 high.
    EXPECT_EQ(p->NavigatorButtonsRect(), Rect(200 - 72, 0, 200, 20));
    EXPECT_EQ(p->NavigatorButtonPositions()[1].Bounds, Rect(140, 0, 160, 20));
    c->SetNavigatorPosition(npLeftTop);
    c->RecalculateLayout();
    EXPECT_EQ(order(), (std::vector<TvlPCNavigatorButton>{nbClose, nbTopLeft, nbBottomRight, nbGoDialog}));
    EXPECT_EQ(p->NavigatorButtonsRect().Left, 0);
    EXPECT_EQ(c->TabsArea().RowsRect.Left, 72 + 2);
    TvlPCNavigatorButton b;
    ASSERT_TRUE(c->Painter()->GetNavigatorButtonAt(30, 5, b));
    EXPECT_EQ(b, nbTopLeft);
    c->SetTabPosition(tpLeft);
    c->SetNavigatorPosition(npLeftBottom);
    c->RecalculateLayout();
    EXPECT_EQ(order(), (std::vector<TvlPCNavigatorButton>{nbGoDialog, nbTopLeft, nbBottomRight, nbClose}));
    EXPECT_EQ(p->NavigatorButtonsRect(), Rect(0, 100 - 73, 20, 100));
}

TEST(vlPCPainters, ColourArithmetic)
{
    const TColor face = ColorToRGB(clBtnFace);
    const int element = COLOR_BTNFACE;
    const TColor custom = RGB(240, 100, 10);
    SetSysColors(std::span<const int>(&element, 1), std::span<const TColor>(&custom, 1));
    PrepareExtraFlatRowColor();
    EXPECT_EQ(ExtraFlatRowColor(), RGB(255, 120, 30));
    SetSysColors(std::span<const int>(&element, 1), std::span<const TColor>(&face, 1));
    PrepareExtraFlatRowColor();
    struct Case { TColor in; int percent; TColor out; };
    for (const Case k : {Case{RGB(100, 50, 0), 20, RGB(120, 60, 0)}, Case{RGB(200, 200, 200), 85, RGB(255, 255, 255)},
                         Case{RGB(0, 0, 0), 50, RGB(0, 0, 0)}, Case{RGB(128, 64, 64), 0, RGB(128, 64, 64)},
                         Case{RGB(10, 20, 40), 100, RGB(20, 40, 80)}}) {
        EXPECT_EQ(BrightenColor(k.in, k.percent), k.out) << std::hex << k.in;
    }
}

// ---- pixels ----------------------------------------------------------------------

TEST(vlPCPainters, ClassicTabsOpenTheSelectedTabOntoTheFrame)
{
    auto c = control(1);
    c->addTabs({"One", "Two", "Three"});
    c->SetTabIndexDirect(1);
    c->Tabs()->UpdateMainTab();
    c->RecalculateLayout();
    const TRect main = c->VisibleTab(1)->Bounds(), other = c->VisibleTab(0)->Bounds();
    EXPECT_EQ(main.Width(), c->VisibleTab(1)->NormalWidth() + 4);
    EXPECT_EQ(main.Height(), other.Height() + 3);
    c->paint();
    // The page frame is there without ShowFrame: two lines each side.
    TRect f;
    c->Painter()->GetFrameArea(f);
    const int y = (f.Top + f.Bottom) / 2;
    EXPECT_EQ(c->pixel(f.Left, y), TestControl::rgb(clBtnHighlight));
    EXPECT_EQ(c->pixel(f.Left + 1, y), TestControl::rgb(cl3DLight));
    EXPECT_EQ(c->pixel(f.Right - 1, y), TestControl::rgb(cl3DDkShadow));
    EXPECT_EQ(c->pixel(f.Right - 2, y), TestControl::rgb(clBtnShadow));
    EXPECT_EQ(c->pixel(f.Left + 10, f.Bottom - 1), TestControl::rgb(cl3DDkShadow));
    // The selected tab hides the frame below itself; its neighbour does not.
    const int cx = (main.Left + main.Right) / 2;
    EXPECT_EQ(c->pixel(cx, f.Top), TestControl::rgb(clBtnFace));
    EXPECT_EQ(c->pixel((other.Left + other.Right) / 2, f.Top), TestControl::rgb(clBtnHighlight));
    // Outline of the selected tab: highlight left and top, dark shadow right.
    EXPECT_EQ(c->pixel(main.Left, main.Top + 5), TestControl::rgb(clBtnHighlight));
    EXPECT_EQ(c->pixel(cx, main.Top), TestControl::rgb(clBtnHighlight));
    EXPECT_EQ(c->pixel(main.Right - 1, main.Top + 5), TestControl::rgb(cl3DDkShadow));
    // Nothing is left unpainted.
    for (int x = 0; x < c->W; x += 7)
        for (int yy = 0; yy < c->H; yy += 5)
            ASSERT_NE(c->pixel(x, yy), qRgb(255, 0, 255) & 0xFFFFFF) << x << "," << yy;
}

TEST(vlPCPainters, ButtonStylesFrameTheirTabs)
{
    auto c = control(2);
    c->addTabs({"One", "Two", "Three"});
    c->SetTabIndexDirect(0);
    c->Tabs()->UpdateMainTab();
    c->RecalculateLayout();
    c->paint();
    const TRect pressed = c->VisibleTab(0)->Bounds(), raised = c->VisibleTab(1)->Bounds();
    EXPECT_EQ(c->pixel(pressed.Left, pressed.Top + 4), TestControl::rgb(cl3DDkShadow));
    EXPECT_EQ(c->pixel(pressed.Right - 1, pressed.Top + 4), TestControl::rgb(clBtnHighlight));
    EXPECT_EQ(c->pixel(raised.Left, raised.Top + 4), TestControl::rgb(clBtnHighlight));
    EXPECT_EQ(c->pixel(raised.Right - 1, raised.Top + 4), TestControl::rgb(cl3DDkShadow));
    // The pressed tab's face is the highlight colour.
    EXPECT_EQ(c->pixel(pressed.Left + 3, pressed.Bottom - 3), TestControl::rgb(clBtnHighlight));
    EXPECT_EQ(raised.Left - pressed.Right, 3);
}

TEST(vlPCPainters, FlatButtonsSeparateTabsInARow)
{
    auto c = control(3);
    c->addTabs({"One", "Two", "Three"});
    c->RecalculateLayout();
    c->paint();
    const TRect a = c->VisibleTab(0)->Bounds(), b = c->VisibleTab(1)->Bounds(), last = c->VisibleTab(2)->Bounds();
    EXPECT_EQ(b.Left - a.Right, 10);
    const int y = a.Top + 5;
    EXPECT_EQ(c->pixel(a.Right + 4, y), TestControl::rgb(clBtnShadow));
    EXPECT_EQ(c->pixel(a.Right + 5, y), TestControl::rgb(clBtnHighlight));
    EXPECT_EQ(c->pixel(a.Right + 1, y), TestControl::rgb(clBtnFace));
    // None after the last tab.
    EXPECT_NE(c->pixel(last.Right + 4, y), TestControl::rgb(clBtnShadow));
}

TEST(vlPCPainters, FlatStyleDrawsOneLineFrames)
{
    auto c = control(7);
    c->addTabs({"One", "Two", "Three"});
    c->SetTabIndexDirect(2);
    c->Tabs()->UpdateMainTab();
    c->RecalculateLayout();
    c->paint();
    TRect f;
    c->Painter()->GetFrameArea(f);
    const int y = (f.Top + f.Bottom) / 2;
    EXPECT_EQ(c->pixel(f.Left, y), TestControl::rgb(clBtnHighlight));
    EXPECT_EQ(c->pixel(f.Right - 1, y), TestControl::rgb(clBtnShadow));
    EXPECT_EQ(c->pixel(f.Left + 1, y), TestControl::rgb(clBtnFace));
    const TRect t = c->VisibleTab(0)->Bounds();
    EXPECT_EQ(c->pixel(t.Left + 1, t.Top + 6), TestControl::rgb(BrightenColor(clBtnFace, 85)));
}

TEST(vlPCPainters, ExtraFlatTabHeightAndSeparators)
{
    auto c = control(5, 260);
    c->addTabs({"One", "Two", "Three", "Four"});
    const int computed = c->Tabs()->TabNormalHeight();
    EXPECT_GE(computed, 17);
    c->SetTabHeight(20);  // 20 - 4 is below 17: ignored
    c->RecalculateLayout();
    EXPECT_EQ(c->Tabs()->TabNormalHeight(), computed);
    c->SetTabHeight(30);
    c->RecalculateLayout();
    EXPECT_EQ(c->Tabs()->TabNormalHeight(), std::max(computed, 26));
    c->SetTabHeight(0);
    c->SetTabIndexDirect(1);
    c->Tabs()->UpdateMainTab();
    c->RecalculateLayout();
    c->paint();
    auto separatorAfter = [&](int v) {
        const TRect b = c->VisibleTab(v)->NormalBounds();
        return c->pixel(b.Right, b.Top + 6) == TestControl::rgb(clBtnShadow);
    };
    EXPECT_FALSE(separatorAfter(0));  // next to the selected tab
    EXPECT_FALSE(separatorAfter(1));
    EXPECT_TRUE(separatorAfter(2));
    EXPECT_FALSE(separatorAfter(3));  // the last of its row
    // The row is the light face; the selected tab stands on the page strip.
    const TRect last = c->VisibleTab(3)->NormalBounds();
    EXPECT_EQ(c->pixel(last.Right + 20, last.Top + 6), TestControl::rgb(ExtraFlatRowColor()));
    const TRect main = c->VisibleTab(1)->Bounds();
    EXPECT_EQ(c->pixel(main.Left, main.Top + 4), TestControl::rgb(clWhite));
    EXPECT_EQ(c->pixel(main.Right - 1, main.Top + 4), TestControl::rgb(clBlack));
    EXPECT_EQ(c->pixel(main.Left + 4, main.Bottom), TestControl::rgb(clBtnFace));
}

TEST(vlPCPainters, UltraFlatNavigatorButtons)
{
    auto c = control(6, 120);
    c->SetOptions(c->Options() + TvlPCOptions{pcoGoDialog});
    c->addTabs({"A long caption", "Another long one", "And a third"});
    auto* p = static_cast<TvlPCStandardPainter*>(c->Painter());
    const auto& b = p->NavigatorButtonPositions();
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0].Button, nbGoDialog);
    EXPECT_EQ(b[0].Bounds.Width(), 11);
    EXPECT_EQ(b[1].Bounds.Left - b[0].Bounds.Right, 1);
    EXPECT_EQ(b[1].Bounds.Height(), 15);
    EXPECT_EQ(b[0].Bounds.Top, 3);
}

TEST(vlPCPainters, Office11WithoutGradientUsesTheMixes)
{
    auto c = control(8, 260);
    c->SetOptions(c->Options() - TvlPCOptions{pcoGradient});
    c->addTabs({"One", "Two", "Three"});
    c->SetTabIndexDirect(0);
    c->Tabs()->UpdateMainTab();
    c->RecalculateLayout();
    c->paint();
    const TColor rowMix = vxOffice11::MixColors(Office11GradientLightColor, Office11GradientDarkColor, 50);
    const TRect last = c->VisibleTab(2)->NormalBounds();
    for (int dy : {4, 6, 8})
        EXPECT_EQ(c->pixel(last.Right + 20, last.Top + dy), TestControl::rgb(rowMix)) << dy;
    // A tab of the default colour shows the row's plain colour behind its caption.
    EXPECT_EQ(c->pixel(last.Left + 2, last.Top + 6), TestControl::rgb(rowMix));
    const TRect main = c->VisibleTab(0)->Bounds();
    EXPECT_EQ(c->pixel(main.Left + 2, main.Top + 4),
              TestControl::rgb(vxOffice11::MixColors(Office11HotFaceColor, Office11HotFaceDarkColor, 50)));
}

// Every style covers the whole control, on every side, one row or several.
TEST(vlPCPainters, EveryStylePaintsTheWholeControl)
{
    const QRgb unpainted = qRgb(255, 0, 255) & 0xFFFFFF;
    for (TvlPCStyleID id : {1, 2, 3, 5, 6, 7, 8, 9, 10}) {
        for (TvlTabPosition pos : {tpTop, tpBottom, tpLeft, tpRight}) {
            for (bool multiLine : {false, true}) {
                auto c = control(id, 180, 160);
                c->SetTabPosition(pos);
                c->SetMultiLine(multiLine);
                c->SetOptions(c->Options() + TvlPCOptions{pcoGoDialog, pcoCloseButton});
                c->addTabs({"One", "Two", "Three", "Four", "Five", "Six"});
                c->SetTabIndexDirect(4);
                c->Tabs()->UpdateMainTab();
                c->RecalculateLayout();
                c->paint();
                int holes = 0;
                for (int y = 0; y < c->H; ++y)
                    for (int x = 0; x < c->W; ++x)
                        holes += c->pixel(x, y) == unpainted;
                EXPECT_EQ(holes, 0) << "style " << id << " side " << int(pos) << " multi " << multiLine;
            }
        }
    }
}

TEST(vlPCPainters, SlantedOutlinesOverlapAndTheSelectedTabOwnsTheOverlap)
{
    auto c = control(9, 260);
    c->addTabs({"One", "Two", "Three"});
    c->SetTabIndexDirect(1);
    c->Tabs()->UpdateMainTab();
    c->RecalculateLayout();
    auto* p = static_cast<TvlPCSlantedPainter*>(c->Painter());
    const int H = c->Tabs()->TabNormalHeight();
    EXPECT_EQ(p->CutValue(), H - 1);
    const TRect a = c->VisibleTab(0)->Bounds(), b = c->VisibleTab(1)->Bounds();
    EXPECT_EQ(b.Left, a.Right - (H - 1) / 2);
    TPoints pts;
    TLinePositions lps;
    p->GetTabOutlinePoints(0, pts, lps);
    const int L = a.Left, T = a.Top, B = a.Bottom, W = a.Width();
    EXPECT_EQ(pts, (TPoints{Point(L, B - 1), Point(L + H - 1, T), Point(L + W - 3, T), Point(L + W - 1, T + 2),
                            Point(L + W - 1, B - 1)}));
    EXPECT_EQ(lps, (TLinePositions{lpLT, lpT, lpRT, lpR}));
    // The outer region takes in the right outline pixels; the inner one leaves the outline out. The
    // open side towards the page closes the polygon, so the bottom row stays out.
    auto outer = p->GetTabRegion(0, false), inner = p->GetTabRegion(0, true);
    struct Probe { TPoint at; bool inOuter, inInner; };
    for (const Probe k : {Probe{Point(L + W - 1, B - 2), true, false}, Probe{Point(L + 5, B - 1), false, false}, Probe{Point(L + W - 1, T + 5), true, false},
                          Probe{Point(L + 2, T), false, false}, Probe{Point(L + H, T + 3), true, true},
                          Probe{Point(L + W - 2, T), false, false}, Probe{Point(L + H - 1, T), true, false}}) {
        EXPECT_EQ(outer->PtInRegion(k.at), k.inOuter) << k.at.X - L << "," << k.at.Y - T;
        EXPECT_EQ(inner->PtInRegion(k.at), k.inInner) << k.at.X - L << "," << k.at.Y - T;
    }
    // A click where the first tab and the selected one overlap selects the selected one.
    const TPoint overlap = Point(b.Left + 2, B - 2);
    ASSERT_TRUE(PtInRect(a, overlap));
    EXPECT_EQ(c->GetTabVisibleIndexAt(overlap.X, overlap.Y), 1);
    EXPECT_EQ(c->GetTabVisibleIndexAt(a.Left + 3, B - 2), 0);
    c->paint();
    const TRect last = c->VisibleTab(2)->Bounds();
    EXPECT_EQ(c->pixel(last.Right - 1, last.Top + 6), TestControl::rgb(clBtnShadow));
    EXPECT_EQ(c->pixel(a.Left + 3, a.Bottom - 4), TestControl::rgb(clBtnShadow));
    // The selected tab's mark along its outer edge.
    EXPECT_EQ(c->pixel((b.Left + b.Right) / 2, b.Top + 2), TestControl::rgb(clHighlight));
}

TEST(vlPCPainters, CutCornerSlants)
{
    auto c = control(9, 260);
    c->TabSlants()->SetKind(skCutCorner);
    c->TabSlants()->SetPositions({});
    c->addTabs({"One", "Two"});
    auto* p = static_cast<TvlPCSlantedPainter*>(c->Painter());
    TPoints pts;
    TLinePositions lps;
    p->GetTabOutlinePoints(0, pts, lps);
    TRect a = c->VisibleTab(0)->Bounds();
    EXPECT_EQ(pts[1], Point(a.Left, a.Top + 2));
    EXPECT_EQ(pts[2], Point(a.Left + 2, a.Top));
    c->TabSlants()->SetPositions({spLeft, spRight});
    c->RecalculateLayout();
    a = c->VisibleTab(0)->Bounds();
    p->GetTabOutlinePoints(0, pts, lps);
    EXPECT_EQ(pts[1], Point(a.Left, a.Top + 6));
    EXPECT_EQ(pts[4], Point(a.Right - 1, a.Top + 6));
    EXPECT_EQ(c->VisibleTab(1)->Bounds().Left - a.Right, 1);
}

// Rows stack like sheets: at each slanted end the control's edge is closed from a row's base line
// to the base line of the row outside it; the outermost row stays open there.
TEST(vlPCPainters, SlantedRowsCloseTheirSlantedEnds)
{
    struct Case { TvlTabPosition pos; TvlTabSlantPositions slants; };
    for (const Case k : {Case{tpTop, {spLeft}}, Case{tpTop, {spLeft, spRight}}, Case{tpBottom, {spRight}},
                         Case{tpLeft, {spLeft}}, Case{tpRight, {spLeft, spRight}}}) {
        auto c = control(9, 180, 160);
        c->SetTabPosition(k.pos);
        c->SetMultiLine(true);
        c->TabSlants()->SetPositions(k.slants);
        c->addTabs({"One", "Two", "Three", "Four", "Five", "Six", "Seven"});
        c->SetTabIndexDirect(4);
        c->Tabs()->UpdateMainTab();
        c->RecalculateLayout();
        c->paint();
        const int rows = c->RowCount(), lead = c->LeadingRowCount();
        ASSERT_GE(rows, 2) << int(k.pos);
        const bool sides = k.pos == tpLeft || k.pos == tpRight;
        // The along-row positions of the slanted ends; along a side the spLeft end is the lower one.
        std::vector<int> edges;
        if (k.slants.Contains(sides ? spRight : spLeft))
            edges.push_back(0);
        if (k.slants.Contains(sides ? spLeft : spRight))
            edges.push_back((sides ? c->H : c->W) - 1);
        auto at = [&](int along, int across) { return sides ? c->pixel(across, along) : c->pixel(along, across); };
        for (int vr = 0; vr < rows; ++vr) {
            TRect r;
            for (int v = 0; v < c->VisibleTabList()->Count(); ++v)
                if (c->VisibleTab(v)->VisibleRow() == vr)
                    r = c->VisibleTab(v)->NormalBounds();
            const bool leading = vr < lead;
            const int outerEdge = sides ? (leading ? r.Left : r.Right - 1) : (leading ? r.Top : r.Bottom - 1);
            const int pageEdge = sides ? (leading ? r.Right - 1 : r.Left) : (leading ? r.Bottom - 1 : r.Top);
            const int out = leading ? -1 : 1;
            const bool outermost = leading ? vr == 0 : vr == rows - 1;
            for (int e : edges) {
                const String where = String::fromLatin1("side %1 row %2 end %3").arg(int(k.pos)).arg(vr).arg(e);
                if (outermost) {
                    EXPECT_NE(at(e, (outerEdge + pageEdge) / 2), TestControl::rgb(clBtnShadow)) << where.toStdString();
                    continue;
                }
                // From the base line one pixel beyond the row to the outer row's, three pixels inside it.
                int length = 0, drawn = 0;
                for (int across = pageEdge - out; across != outerEdge - 2 * out; across += out, ++length)
                    drawn += at(e, across) == TestControl::rgb(clBtnShadow);
                EXPECT_EQ(drawn, length) << where.toStdString();
            }
        }
    }
}

TEST(vlPCPainters, NotebookStyle)
{
    auto c = control(10, 260);
    EXPECT_FALSE(c->Painter()->AllowRotate());
    c->addTabs({"One", "Two", "Three"});
    c->SetTabIndexDirect(0);
    c->Tabs()->UpdateMainTab();
    c->RecalculateLayout();
    auto* p = static_cast<TvlPCSlantedPainter*>(c->Painter());
    EXPECT_EQ(p->CutValue(), c->Tabs()->TabNormalHeight() + 2);
    const TRect a = c->VisibleTab(0)->Bounds(), b = c->VisibleTab(1)->Bounds();
    EXPECT_EQ(b.Left - a.Right, 5 - p->CutValue());
    auto outer = p->GetTabRegion(1, false);
    EXPECT_TRUE(outer->PtInRegion(b.Right - 2, b.Bottom - 1));
    EXPECT_FALSE(outer->PtInRegion(b.Left + 1, b.Top + 1));
    // The first tab is selected and comes first: it keeps the overlap.
    const TPoint overlap = Point(b.Left + 8, b.Bottom - 3);
    ASSERT_TRUE(outer->PtInRegion(overlap) || PtInRect(a, overlap));
    EXPECT_EQ(c->GetTabVisibleIndexAt(overlap.X, overlap.Y), 0);
    EXPECT_EQ(c->GetTabVisibleIndexAt(b.Right - 6, b.Top + 5), 1);
    c->paint();
    EXPECT_EQ(c->pixel(b.Right - 1, b.Bottom - 4), TestControl::rgb(OneNoteColor(2)));
}

}  // namespace
