// Tests of the tab styles: the registry's choices, the metric tables, the
// navigator buttons and offscreen pixel probes of a three-tab control.
#include <gtest/gtest.h>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Startup.h"
#include "tests/ui/controls/vlPCTestControl.h"
#include "ui/controls/vlPCPainters.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vxCore.h"

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

String message(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return String();
}

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
    for (const Case k : {Case{lfStandard, 1}, Case{lfFlat, 7}}) {
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
    EXPECT_EQ(message([&] { f->GetPainterInstance(nullptr, nullptr); }),
              String::fromLatin1("TvlPCPaintersFactory.GetPainterInstance: PCPainterClass is nil"));
}

TEST(vlPCPainters, ClassAnswersFollowTheStandardStyle)
{
    struct Case { TvlPCStyleID id; bool tabStyle, multiSelect, buttonStyle; };
    for (const Case k : {Case{1, true, false, false}, Case{2, false, true, true}, Case{3, false, true, true},
                         Case{7, true, false, false}}) {
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
                         Case{3, Point(10, 3), 2, {4, 4}}, Case{7, Point(0, 0), 1, {3, 2}}}) {
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
    PrepareExtraFlatRowColor();
    const TColor face = ColorToRGB(clBtnFace);
    const TColor row = ExtraFlatRowColor();
    EXPECT_EQ(GetRValue(row), std::min(GetRValue(face) + 20, 255));
    EXPECT_EQ(GetGValue(row), std::min(GetGValue(face) + 20, 255));
    // 240 in a channel tops out at 255.
    EXPECT_EQ(GetRValue(ColorToRGB(clBtnFace)) >= 235 ? GetRValue(row) : 255, 255);
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

}  // namespace
