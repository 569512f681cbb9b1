// The view base: option objects and background bitmaps reporting to their
// view, styles without a grid, hit tests, assignment, links and the
// registry of view classes.
#include "ui/grid/vlGridCustomView.h"

#include <gtest/gtest.h>

#include "GridRecorder.h"
#include "platform/rtl/TypInfo.h"

using namespace gridtest;

namespace {

using Log = std::vector<std::string>;

TEST(GridViewOptions, ScrollBarsLayOutOnlyOnAChange)
{
    GridFixture f;
    TvlCustomGridOptionsView* options = f.views[0]->OptionsView();
    options->SetScrollBars(options->ScrollBars());
    EXPECT_TRUE(f.log().empty());
    options->SetScrollBars(ssVertical);
    EXPECT_EQ(options->ScrollBars(), ssVertical);
    EXPECT_EQ(f.log(), (Log{"calc lvFilesView1", "paint lvFilesView1"}));
}

TEST(GridViewOptions, BackgroundBitmapsAreMadeQuietlyAndFallBackToTheStyle)
{
    GridFixture f;
    TvlCustomGridBackgroundBitmaps* bitmaps = f.views[0]->BackgroundBitmaps();
    TBitmap* background = bitmaps->Background();
    ASSERT_NE(background, nullptr);
    EXPECT_TRUE(background->Empty());
    EXPECT_TRUE(f.log().empty());
    EXPECT_EQ(bitmaps->GetBitmap(1), nullptr);

    TvlStyleRepository repository(nullptr);
    auto* style = static_cast<TvlStyle*>(repository.CreateStyle());
    TBitmap picture;
    picture.SetSize(4, 4);
    style->SetBitmap(&picture);
    f.views[0]->Styles()->SetBackground(style);
    EXPECT_EQ(bitmaps->GetBitmap(0), style->Bitmap());
    f.log().clear();

    bitmaps->SetBackground(&picture);
    EXPECT_EQ(f.log(), (Log{"calc lvFilesView1", "paint lvFilesView1"}));
    EXPECT_EQ(bitmaps->GetBitmap(0), bitmaps->Background());
}

TEST(GridViewOptions, NotificationsReachTheOptions)
{
    class Watching : public TvlCustomGridOptions {
    public:
        using TvlCustomGridOptions::TvlCustomGridOptions;
        void Notification(TComponent* AComponent, TOperation Operation) override
        {
            if (Operation == opRemove)
                Removed = AComponent;
        }
        TComponent* Removed = nullptr;
    };
    GridFixture f;
    Watching options(f.views[0]);
    auto* menu = new TComponent(&f.form);
    menu->FreeNotification(f.views[0]);
    delete menu;
    EXPECT_EQ(options.Removed, menu);
}

TEST(GridViewStyles, HearTheGridsFontOnlyWhileAttached)
{
    GridFixture f;
    auto fontChange = [&] {
        f.log().clear();
        f.grid->Font()->SetSize(f.grid->Font()->Size() + 1);
        return !f.log().empty();
    };
    RecordingView* view = f.views[0];
    TvlViewParams params;
    view->Styles()->ResolveViewParams(TvlCustomGridViewStyles::vsBackground, nullptr, nullptr, params);
    EXPECT_EQ(params.Font, f.grid->Font());
    EXPECT_TRUE(fontChange());
    view->SetControl(nullptr);
    EXPECT_FALSE(fontChange());
    view->SetControl(f.grid);
    EXPECT_TRUE(fontChange());
    delete view;  // its style set stops listening as it goes
    EXPECT_FALSE(fontChange());
}

TEST(GridViewStyles, AViewWithoutAGridTakesThePaintersFont)
{
    std::unique_ptr<RecordingView> view(TvlCustomGridView::Create<RecordingView>(nullptr));
    TvlViewParams params;
    view->Styles()->ResolveViewParams(TvlCustomGridViewStyles::vsBackground, nullptr, nullptr, params);
    EXPECT_EQ(params.Font, view->Painter()->CanvasFont());
    EXPECT_EQ(params.Color, clWindow);
    EXPECT_EQ(params.TextColor, clGrayText);
}

TEST(GridView, AssignCopiesOptionsAndRefusesForeignClasses)
{
    GridFixture f(2);
    TvlStyleRepository repository(nullptr);
    TvlCustomStyle* style = repository.CreateStyle();
    f.views[0]->Styles()->SetBackground(style);
    f.views[0]->OptionsBehavior()->SetPostponedSynchronization(false);
    f.views[1]->Assign(f.views[0]);
    EXPECT_EQ(f.views[1]->Styles()->Background(), style);
    EXPECT_FALSE(f.views[1]->OptionsBehavior()->PostponedSynchronization());
    EXPECT_THROW(f.views[1]->Assign(f.grid->RootLevelOptions()), EConvertError);
}

TEST(GridView, ListenerLinksOutliveTheView)
{
    std::unique_ptr<TvlGridListenerLink> link;
    {
        std::unique_ptr<RecordingView> view(TvlCustomGridView::Create<RecordingView>(nullptr));
        link = view->AddListenerLink();
        EXPECT_EQ(link->GridView(), view.get());
        std::unique_ptr<TvlGridListenerLink> other = view->AddListenerLink();
        EXPECT_EQ(view->ListenerLinkCount(), 2);
        other.reset();
        EXPECT_EQ(view->ListenerLinkCount(), 1);
    }
    EXPECT_EQ(link->GridView(), nullptr);
}

TEST(GridView, WithoutAGridChangesRunAtOnce)
{
    std::unique_ptr<RecordingView> view(TvlCustomGridView::Create<RecordingView>(nullptr));
    view->SetName(QStringLiteral("Alone"));
    view->BeginUpdate();
    view->Invalidate();
    EXPECT_EQ(sharedLog(), Log{"paint Alone"});
    view->EndUpdate();
    sharedLog().clear();
}

TEST(GridHitTests, CodesAndAssignment)
{
    const std::pair<std::unique_ptr<TvlCustomGridHitTest>, int> codes[] = {
        {std::make_unique<TvlGridNoneHitTest>(), 0},
        {std::make_unique<TvlGridViewNoneHitTest>(), 0},
        {std::make_unique<TvlGridNavigatorHitTest>(), 1},
        {std::make_unique<TvlGridCustomizationFormHitTest>(), 2},
        {std::make_unique<TvlGridFilterHitTest>(), 101},
        {std::make_unique<TvlGridFilterCustomizeButtonHitTest>(), 105},
        {std::make_unique<TvlGridRecordHitTest>(), 106},
        {std::make_unique<TvlGridRecordCellHitTest>(), 107},
        {std::make_unique<TvlGridExpandButtonHitTest>(), 108},
    };
    for (const auto& [hitTest, code] : codes)
        EXPECT_EQ(hitTest->HitTestCode(), code) << hitTest->ClassName().toStdString();
    EXPECT_FALSE(TvlGridExpandButtonHitTest().ActsOnRecord());
    EXPECT_TRUE(TvlGridRecordCellHitTest().ActsOnRecord());

    GridFixture f;
    auto viewHit = vlGridHitTest<TvlGridViewNoneHitTest>(TPoint{3, 4});
    viewHit->View = f.views[0];
    auto record = vlGridHitTest<TvlGridRecordHitTest>(TPoint{9, 9});
    record->RecordIndex = 5;
    record->RecordKind = 0;
    record->Assign(viewHit.get());
    EXPECT_EQ(record->HitPoint, (TPoint{3, 4}));
    EXPECT_EQ(record->View, f.views[0]);
    EXPECT_EQ(record->RecordIndex, 5);
    record->SetRecord(nullptr, nullptr);
    EXPECT_EQ(record->RecordIndex, -1);
    EXPECT_EQ(record->RecordKind, -1);
    EXPECT_EQ(record->GetRecord(), nullptr);

    // A copy is a hit test of its own: moving one leaves the other.
    std::unique_ptr<TvlCustomGridHitTest> copy = record->Clone();
    record->HitPoint = TPoint{50, 50};
    EXPECT_EQ(copy->HitPoint, (TPoint{3, 4}));
    EXPECT_EQ(copy->HitTestCode(), 106);
}

TEST(GridRegisteredViews, DescriptionsStartingWithDBComeLast)
{
    TClassInfo base{QStringLiteral("TvlCustomGridView"), nullptr, {}};
    TClassInfo table{QStringLiteral("TvlGridTableView"), &base, {}};
    TClassInfo dbTable{QStringLiteral("TvlGridDBTableView"), &base, {}};
    TClassInfo zeta{QStringLiteral("TvlGridZetaView"), &base, {}};
    TvlGridRegisteredViews views;
    views.Register(&dbTable, QStringLiteral("DB Table"));
    views.Register(&zeta, QStringLiteral("Zeta"));
    views.Register(&table, QStringLiteral("Table"));
    ASSERT_EQ(views.Count(), 3);
    EXPECT_EQ(views.Items(0), &table);
    EXPECT_EQ(views.Items(1), &zeta);
    EXPECT_EQ(views.Items(2), &dbTable);
}

}  // namespace

// ---- cells, painters, the view's layout and its site ----------------------------------------

#include <QApplication>
#include <QWidget>
#include <climits>
#include <cmath>

#include "platform/controls/StdCtrls.h"
#include "platform/rtl/Exception.h"
#include "tests/ui/foundation/ControlFixtures.h"

namespace {

class CellHitTest : public TvlCustomGridHitTest {
public:
    VL_GRID_HIT_TEST_CLASS(CellHitTest, 900)
};
class OtherHitTest : public TvlCustomGridHitTest {
public:
    VL_GRID_HIT_TEST_CLASS(OtherHitTest, 901)
};

// A 200 x 100 white surface to paint and measure on.
struct Surface {
    Surface()
    {
        bitmap.vlCanvas()->FillRectByColor(TRect{0, 0, 200, 100}, clWhite);
        font.SetName(QStringLiteral("DejaVu Sans"));
        font.SetSize(10);
    }
    TColor pixel(int X, int Y) { return bitmap.Canvas()->Pixels(X, Y); }
    TvlCanvas* canvas() { return bitmap.vlCanvas(); }
    TvlBitmap bitmap{200, 100};
    TFont font;
};

// A cell whose answers the tests set.
class TestCell : public TvlCustomGridCellViewInfo {
public:
    TestCell(TvlCanvas* ACanvas, TFont* AFont) : FCanvas(ACanvas), FFont(AFont) {}
    TvlCanvas* GetCanvas() override { return FCanvas; }
    TvlControl* GetControl() override { return Control; }
    TvlGridHitTestClass GetHitTestClass() override { return vlGridHitTestClass<CellHitTest>(); }
    TAlignment GetAlignmentHorz() override { return Horz; }
    TvlAlignmentVert GetAlignmentVert() override { return Vert; }
    bool CalculateMultiLine() override { return Multi; }
    bool CalculateMultiLinePainting() override { return MultiPainting; }
    bool ShowEndEllipsis() override { return Ellipsis; }
    void GetText(String& S) override { S = CellText; }
    TvlBorders GetBorders() override { return CellBorders; }
    int GetBorderWidth(TvlBorder ASide) override { return ASide == bLeft ? 1 : 3; }
    TColor GetBorderColor(TvlBorder) override { return clBlack; }
    int CalculateWidth() override { return NaturalWidth >= 0 ? NaturalWidth : GetWidth(); }
    int CalculateHeight() override { return NaturalHeight >= 0 ? NaturalHeight : GetHeight(); }
    void GetViewParams(TvlViewParams& AParams) override
    {
        AParams.Color = Color;
        AParams.TextColor = clBlack;
        AParams.Font = FFont;
    }
    bool UsesMouseStates() override { return true; }
    bool CaptureMouseOnPress() override { return Control != nullptr; }
    TvlCustomGridPopup* GetPopup() override { return Popup; }
    bool ClosePopupWhenNilOwner() override { return CloseWithOwner; }
    bool IsPopupOwner() override { return Popup != nullptr; }
    void Click() override { ++Clicks; }
    bool HasFocusRect() override { return FocusRect; }
    bool IsTransparent() override { return Transparent || TvlCustomGridCellViewInfo::IsTransparent(); }
    bool HasCustomDraw() override { return CustomColor != clNone; }
    bool DoCustomDraw(TvlCanvas* ACanvas) override
    {
        ACanvas->SetBrushColor(CustomColor);
        CustomColor = clNone;  // the handler changes one paint only
        return false;
    }

    TAlignment Horz = taLeftJustify;
    TvlAlignmentVert Vert = vaTop;
    bool Multi = false, MultiPainting = false, Ellipsis = false;
    String CellText = QStringLiteral("Qq");
    TvlBorders CellBorders;
    int NaturalWidth = -1, NaturalHeight = -1;
    TColor Color = clYellow;
    TColor CustomColor = clNone;
    TvlControl* Control = nullptr;
    TvlCustomGridPopup* Popup = nullptr;
    bool CloseWithOwner = true;
    bool FocusRect = false;
    bool Transparent = false;
    int Clicks = 0;

private:
    TvlCanvas* FCanvas;
    TFont* FFont;
};

TEST(GridCellViewInfo, TextAttributesFollowAlignmentAndLines)
{
    Surface s;
    struct Case {
        TAlignment horz;
        TvlAlignmentVert vert;
        bool multi, multiPainting, ellipsis, forPainting;
        int flags;
    };
    const Case cases[] = {
        {taLeftJustify, vaTop, false, false, false, true, 0x49},
        {taRightJustify, vaBottom, false, true, false, true, 0x412},
        {taRightJustify, vaBottom, false, true, false, false, 0x52},
        {taCenter, vaCenter, true, false, true, false, 0xC24},
    };
    for (const Case& c : cases) {
        TestCell cell(s.canvas(), &s.font);
        cell.Horz = c.horz;
        cell.Vert = c.vert;
        cell.Multi = c.multi;
        cell.MultiPainting = c.multiPainting;
        cell.Ellipsis = c.ellipsis;
        cell.CalculateParams();
        EXPECT_EQ(cell.GetTextAttributes(c.forPainting), c.flags) << c.flags;
    }
}

TEST(GridCellViewInfo, TextIsPlacedInItsAreaWithHalvesTowardZero)
{
    Surface s;
    TestCell cell(s.canvas(), &s.font);
    cell.Horz = taCenter;
    cell.Vert = vaCenter;
    cell.CalculateRect(TRect{-40, -30, -21, -4});
    const int w = cell.TextWidth(), h = cell.TextHeight();
    TRect area;
    cell.GetTextAreaBounds(area);
    EXPECT_EQ(area, (TRect{-38, -28, -23, -6}));
    // Make both differences odd and negative, where flooring would differ.
    if ((area.Left + area.Right - w) % 2 == 0) {
        cell.CalculateRect(TRect{-40, -30, -20, -4});
        cell.GetTextAreaBounds(area);
    }
    if ((area.Top + area.Bottom - h) % 2 == 0) {
        cell.CalculateRect(TRect{cell.Bounds.Left, -30, cell.Bounds.Right, -3});
        cell.GetTextAreaBounds(area);
    }
    const int dx = area.Left + area.Right - w, dy = area.Top + area.Bottom - h;
    ASSERT_TRUE(dx < 0 && dx % 2 != 0 && dy < 0 && dy % 2 != 0);
    TRect r;
    cell.GetTextBounds(r);
    EXPECT_EQ(r.Left, int(std::trunc(dx / 2.0)));
    EXPECT_NE(r.Left, int(std::floor(dx / 2.0)));
    EXPECT_EQ(r.Width(), w);
    EXPECT_EQ(r.Top, int(std::trunc(dy / 2.0)));
    EXPECT_EQ(r.Height(), h);

    // Right and bottom alignment end at the area's edges.
    TestCell right(s.canvas(), &s.font);
    right.Horz = taRightJustify;
    right.Vert = vaBottom;
    right.CalculateRect(TRect{0, 0, 100, 40});
    right.GetTextBounds(r);
    EXPECT_EQ(r, (TRect{98 - right.TextWidth(), 38 - right.TextHeight(), 98, 38}));

    // A wrapped text wider than its area keeps the whole area, unaligned.
    TestCell wrapped(s.canvas(), &s.font);
    wrapped.MultiPainting = true;
    wrapped.Horz = taCenter;
    wrapped.Vert = vaCenter;
    wrapped.CellText = QStringLiteral("a wrapped text much wider than its cell");
    wrapped.CalculateRect(TRect{10, 10, 60, 90});
    wrapped.GetTextBounds(r);
    wrapped.GetTextAreaBounds(area);
    EXPECT_EQ(r, area);
}

TEST(GridCellViewInfo, CalculationSizesBordersAndCaches)
{
    Surface s;
    TestCell cell(s.canvas(), &s.font);
    cell.NaturalWidth = 37;
    cell.NaturalHeight = 15;
    cell.CellBorders = TvlBorders{bLeft, bTop, bRight};
    EXPECT_FALSE(cell.Calculated());
    cell.Calculate(5, 6);
    EXPECT_TRUE(cell.Calculated());
    EXPECT_EQ(cell.Bounds, (TRect{5, 6, 42, 21}));
    EXPECT_EQ(cell.ClientBounds(), (TRect{6, 9, 39, 21}));
    TRect r;
    cell.GetBorderBounds(bLeft, r);
    EXPECT_EQ(r, (TRect{5, 6, 6, 21}));  // over the top corner, not the missing bottom one
    cell.GetBorderBounds(bTop, r);
    EXPECT_EQ(r, (TRect{6, 6, 39, 9}));
    EXPECT_EQ(cell.GetBestFitWidth(), 1 + cell.TextWidth() + 4 + 3);

    // Moving keeps the cached bounds in step; a new calculation drops them.
    cell.Offset(10, 1);
    EXPECT_EQ(cell.ClientBounds(), (TRect{16, 10, 49, 22}));
    cell.NaturalWidth = -1;
    cell.CalculateRect(TRect{50, 50, 40, 45});  // inverted
    EXPECT_EQ(cell.Bounds, (TRect{50, 50, 50, 50}));
    EXPECT_EQ(cell.ClientBounds(), (TRect{51, 53, 47, 50}));

    // An uncalculated cell does not move.
    TestCell fresh(s.canvas(), &s.font);
    fresh.Offset(5, 5);
    EXPECT_EQ(fresh.Bounds, TRect());
}

TEST(GridCellViewInfo, ParamsAreWorkedOutOnceAndSurviveReentryAndErrors)
{
    Surface s;
    class Measuring : public TestCell {
    public:
        using TestCell::TestCell;
        void GetText(String& S) override
        {
            ++Texts;
            S = QStringLiteral("abc");
            InnerWidth = TextWidth();  // measures the same cell again
            if (Fail)
                throw Exception(QStringLiteral("no text"));
        }
        int Texts = 0, InnerWidth = -1;
        bool Fail = false;
    };
    Measuring cell(s.canvas(), &s.font);
    cell.CalculateParams();
    cell.CalculateParams();
    EXPECT_EQ(cell.Texts, 1);
    EXPECT_TRUE(cell.ParamsCalculated());
    EXPECT_GE(cell.InnerWidth, 0);
    cell.ResetParams();
    cell.Fail = true;
    EXPECT_THROW(cell.CalculateParams(), Exception);
    EXPECT_TRUE(cell.ParamsCalculated());
    cell.Fail = false;
    cell.ResetParams();
    cell.CalculateParams();
    EXPECT_EQ(cell.Text, QStringLiteral("abc"));
}

// One mouse action on a cell and what it must leave.
struct MouseStep {
    char action;  // 'd' down, 'm' move, 'u' up
    bool own;     // the hit test is the cell's
    TvlGridCellMouseState state;
    bool result;
};

void runSteps(TestCell& ACell, const std::vector<MouseStep>& ASteps, const char* AName)
{
    for (size_t i = 0; i < ASteps.size(); ++i) {
        const MouseStep& step = ASteps[i];
        std::unique_ptr<TvlCustomGridHitTest> hitTest;
        if (step.own)
            hitTest = vlGridHitTest<CellHitTest>(TPoint{});
        else
            hitTest = vlGridHitTest<OtherHitTest>(TPoint{});
        bool result = false;
        switch (step.action) {
        case 'd': result = ACell.MouseDown(hitTest.get(), mbLeft, {}); break;
        case 'm': result = ACell.MouseMove(hitTest.get(), {}); break;
        default: result = ACell.MouseUp(hitTest.get(), mbLeft, {}); break;
        }
        EXPECT_EQ(ACell.State(), step.state) << AName << " step " << i;
        EXPECT_EQ(result, step.result) << AName << " step " << i;
    }
}

TEST(GridCellViewInfo, MouseStatesWithoutAPopup)
{
    Surface s;
    TestCell cell(s.canvas(), &s.font);
    cell.CalculateRect(TRect{0, 0, 50, 20});
    runSteps(cell, {{'m', true, gcmsHot, true}, {'d', true, gcmsPressed, true}, {'u', true, gcmsNormal, true}}, "click");
    EXPECT_EQ(cell.Clicks, 1);
    // Without the capture, leaving the cell drops the press.
    runSteps(cell, {{'d', true, gcmsPressed, true}, {'m', false, gcmsNormal, true}, {'u', false, gcmsNormal, false}},
             "away");
    EXPECT_EQ(cell.Clicks, 1);
    EXPECT_FALSE(cell.MouseDown(vlGridHitTest<OtherHitTest>(TPoint{}).get(), mbLeft, {}));
    EXPECT_FALSE(cell.MouseDown(vlGridHitTest<CellHitTest>(TPoint{}).get(), mbRight, {}));

}

struct GridCellCapture : TControlUnitFixture {};

TEST_F(GridCellCapture, APressHeldByTheCaptureSurvivesTheWayOut)
{
    Surface s;
    TestCell cell(s.canvas(), &s.font);
    cell.CalculateRect(TRect{0, 0, 50, 20});
    // With the capture the press survives the way out as hot and back as
    // pressed; released outside it does not click.
    TvlControl control(nullptr);
    cell.Control = &control;
    runSteps(cell,
             {{'d', true, gcmsPressed, true}, {'m', false, gcmsHot, true}, {'m', true, gcmsPressed, true},
              {'m', false, gcmsHot, true}, {'u', false, gcmsNormal, false}},
             "captured");
    EXPECT_EQ(cell.Clicks, 0);
    EXPECT_EQ(control.MouseCaptureObject(), &cell);
    cell.MouseDown(vlGridHitTest<CellHitTest>(TPoint{}).get(), mbLeft, {});
    control.SetMouseCaptureObject(nullptr);  // the capture taken away
    EXPECT_EQ(cell.State(), gcmsNormal);
    cell.Control = nullptr;
}

TEST(GridCellViewInfo, HitTestsForgetADyingCell)
{
    Surface s;
    auto cell = vlGridCreateCell<TestCell>(s.canvas(), &s.font);
    cell->CalculateRect(TRect{10, 10, 50, 30});
    EXPECT_EQ(cell->GetHitTest(TPoint{5, 5}), nullptr);
    std::unique_ptr<TvlCustomGridHitTest> first = cell->GetHitTest(TPoint{10, 10});
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->CellViewInfo(), cell.get());
    EXPECT_EQ(first->HitTestCode(), 900);
    std::unique_ptr<TvlCustomGridHitTest> second = cell->GetHitTest(TPoint{49, 29});
    EXPECT_EQ(first->CellViewInfo(), nullptr);  // the cell points at the newer one
    EXPECT_EQ(second->CellViewInfo(), cell.get());
    cell.reset();
    EXPECT_EQ(second->CellViewInfo(), nullptr);
}

TEST(GridCellPainter, PaintsOnlyInsideTheClipAndFocusesOnlyItsOwnCanvas)
{
    Surface s;
    TestCell cell(s.canvas(), &s.font);
    cell.FocusRect = true;
    cell.CellText.clear();

    // Not calculated: nothing.
    cell.Paint();
    EXPECT_EQ(s.pixel(0, 0), clWhite);

    cell.CalculateRect(TRect{120, 10, 160, 40});
    s.canvas()->SaveClipRegion();
    s.canvas()->IntersectClipRect(TRect{0, 0, 100, 100});
    cell.Paint();
    s.canvas()->RestoreClipRegion();
    for (int x = 120; x < 160; ++x)
        for (int y = 10; y < 40; ++y)
            ASSERT_EQ(s.pixel(x, y), clWhite) << x << "," << y;

    // On its own canvas: the fill and a focus rectangle one pixel inside.
    cell.Paint();
    EXPECT_EQ(s.pixel(140, 25), clYellow);
    EXPECT_EQ(s.pixel(120, 10), clYellow);
    bool focusDrawn = false;
    for (int x = 121; x < 159; ++x)
        focusDrawn = focusDrawn || s.pixel(x, 11) != clYellow;
    EXPECT_TRUE(focusDrawn);

    // On a foreign canvas (a copy): the fill without the focus rectangle.
    Surface copy;
    cell.Paint(copy.canvas());
    for (int x = 120; x < 160; ++x)
        for (int y = 10; y < 40; ++y)
            ASSERT_EQ(copy.pixel(x, y), clYellow) << x << "," << y;
}

TEST(GridCellPainter, TransparentCellsAndCustomDrawnColours)
{
    Surface s;
    s.canvas()->FillRectByColor(TRect{0, 0, 50, 50}, clBlue);
    TestCell cell(s.canvas(), &s.font);
    cell.CellText.clear();
    cell.Transparent = true;
    cell.CalculateRect(TRect{0, 0, 50, 50});
    cell.Paint();
    EXPECT_EQ(s.pixel(25, 25), clBlue);

    // A handler's colour is drawn once; the cell's own comes back after.
    TestCell drawn(s.canvas(), &s.font);
    drawn.CellText.clear();
    drawn.CustomColor = clRed;
    drawn.CalculateRect(TRect{60, 0, 100, 40});
    drawn.Paint();
    EXPECT_EQ(s.pixel(80, 20), clRed);
    EXPECT_EQ(drawn.Params.Color, clYellow);
    drawn.Paint();
    EXPECT_EQ(s.pixel(80, 20), clYellow);

    // Borders are drawn over the fill in their colour.
    TestCell framed(s.canvas(), &s.font);
    framed.CellText.clear();
    framed.CellBorders = TvlBorders{bLeft, bBottom};
    framed.CalculateRect(TRect{110, 0, 150, 40});
    framed.Paint();
    EXPECT_EQ(s.pixel(110, 20), clBlack);
    EXPECT_EQ(s.pixel(130, 38), clBlack);
    EXPECT_EQ(s.pixel(130, 20), clYellow);
}

}  // namespace

namespace {

// A layout that can nest, fail or refuse to calculate, counting its passes.
class SiteViewInfo : public RecordingViewInfo {
public:
    using RecordingViewInfo::RecordingViewInfo;
    void Calculate() override
    {
        ++Calculations;
        RecordingViewInfo::Calculate();
        if (Nest)
            MainCalculate(TRect{0, 0, 10, 10});
        if (Fail)
            throw Exception(QStringLiteral("layout failed"));
    }
    void AfterCalculate() override
    {
        ++AfterCalculations;
        RecordingViewInfo::AfterCalculate();
    }
    bool CanCalculateNow() override { return !Busy && RecordingViewInfo::CanCalculateNow(); }
    int Calculations = 0, AfterCalculations = 0;
    bool Nest = false, Fail = false, Busy = false;
};

// Paints one red square and leaves the rest to the background.
class SitePainter : public RecordingPainter {
public:
    using RecordingPainter::RecordingPainter;
    void PaintContent() override
    {
        ++Paints;
        Canvas()->FillRectByColor(TRect{5, 5, 25, 25}, clRed);
        ExcludeFromBackground(TRect{5, 5, 25, 25});
    }
    int Paints = 0;
};

// Resizes its site once from inside the site's scroll-bar update.
class SiteController : public TvlCustomGridController {
public:
    using TvlCustomGridController::TvlCustomGridController;
    void InitScrollBarsParameters() override
    {
        if (ResizeTo.IsEmpty())
            return;
        const TRect r = ResizeTo;
        ResizeTo = TRect();
        GridView()->ViewInfo()->Site()->SetBoundsRect(r);
    }
    TRect ResizeTo;
};

class SiteView : public RecordingView {
public:
    using RecordingView::RecordingView;
    SiteViewInfo* Info() const { return static_cast<SiteViewInfo*>(ViewInfo()); }
    SitePainter* SPainter() const { return static_cast<SitePainter*>(Painter()); }
    SiteController* SController() const { return static_cast<SiteController*>(Controller()); }

protected:
    TViewInfoClass GetViewInfoClass() const override
    {
        return &vlGridCreate<SiteViewInfo, TvlCustomGridViewInfo, TvlCustomGridView*>;
    }
    TPainterClass GetPainterClass() const override
    {
        return &vlGridCreate<SitePainter, TvlCustomGridPainter, TvlCustomGridView*>;
    }
    TControllerClass GetControllerClass() const override
    {
        return &vlGridCreate<SiteController, TvlCustomGridController, TvlCustomGridView*>;
    }
};

// A view cell with a popup it may keep across its recreation.
class PopupCell : public TvlCustomGridViewCellViewInfo {
public:
    PopupCell(TvlCustomGridViewInfo* AGridViewInfo, TvlCustomGridPopup* APopup, bool ACloseWithOwner)
        : TvlCustomGridViewCellViewInfo(AGridViewInfo), FPopup(APopup), FCloseWithOwner(ACloseWithOwner)
    {
    }
    TvlGridHitTestClass GetHitTestClass() override { return vlGridHitTestClass<CellHitTest>(); }
    TvlCustomGridPopup* GetPopup() override { return FPopup; }
    bool IsPopupOwner() override { return FPopup != nullptr; }
    bool ClosePopupWhenNilOwner() override { return FCloseWithOwner; }
    void GetText(String& S) override { S = CellText; }
    bool CalculateMultiLine() override { return Multi; }
    void GetViewParams(TvlViewParams& AParams) override { AParams.Font = Font; }
    String CellText = QStringLiteral("Qq");
    bool Multi = false;
    TFont* Font = nullptr;

private:
    TvlCustomGridPopup* FPopup;
    bool FCloseWithOwner;
};

// A grid of one level on a 400 x 300 form, its view a SiteView.
struct GridSite : TControlUnitFixture {
    GridSite()
    {
        grid = TvlCustomGrid::Create<TvlGrid>(Form.get());
        grid->SetParent(Form.get());
        grid->SetBounds(0, 0, 300, 200);
        level = TvlGridLevel::Create<TvlGridLevel>(Form.get());
        grid->RootLevel()->AddChild(level);
        view = TvlCustomGridView::Create<SiteView>(Form.get(), grid);
        view->SetName(QStringLiteral("lvView"));
        level->SetGridView(view);
        grid->LayoutChanged();
        sharedLog().clear();
    }
    ~GridSite() override { sharedLog().clear(); }
    TvlGridSite* site() const { return view->ViewInfo()->Site(); }
    void showAndActivate()
    {
        Form->Show();
        QApplication::setActiveWindow(Form->Widget());
    }
    int calcs() const { return int(std::count(sharedLog().begin(), sharedLog().end(), "calc lvView")); }

    TvlGrid* grid = nullptr;
    TvlGridLevel* level = nullptr;
    SiteView* view = nullptr;
};

TEST_F(GridSite, MainCalculateNeverNestsAndAlwaysUnlocks)
{
    SiteViewInfo* info = view->Info();
    EXPECT_EQ(site()->Parent(), grid);
    {
        // A site without a window knows no pointer position.
        std::unique_ptr<RecordingView> loose(TvlCustomGridView::Create<RecordingView>(nullptr));
        loose->ViewInfo()->UpdateMousePos();
        EXPECT_FALSE(loose->ViewInfo()->Site()->HandleAllocated());
        EXPECT_EQ(loose->ViewInfo()->MousePos(), (TPoint{INT_MAX, INT_MAX}));
    }
    info->Calculations = info->AfterCalculations = 0;
    info->Nest = true;
    info->MainCalculate(TRect{10, 10, 110, 60});
    EXPECT_EQ(info->Calculations, 1);
    EXPECT_EQ(site()->BoundsRect(), (TRect{10, 10, 110, 60}));
    EXPECT_EQ(info->Bounds(), site()->GetClientBounds());
    EXPECT_FALSE(info->IsCalculating());

    info->Nest = false;
    info->Fail = true;
    EXPECT_THROW(info->MainCalculate(TRect{0, 0, 50, 50}), Exception);
    EXPECT_FALSE(info->IsCalculating());
    EXPECT_EQ(info->AfterCalculations, 2);
    info->Fail = false;
    info->Recalculate();
    EXPECT_EQ(info->Calculations, 3);
}

TEST_F(GridSite, HiddenSiteIsParkedWhileItHoldsTheFocusAndRemovedOtherwise)
{
    TEdit edit(Form.get());
    edit.SetParent(Form.get());
    edit.SetBounds(0, 250, 100, 20);
    showAndActivate();
    TvlCustomGridViewInfo* info = view->ViewInfo();
    site()->SetFocus();
    ASSERT_TRUE(site()->Focused());
    EXPECT_EQ(grid->FocusedView(), view);

    Mouse->SetCursorPos(site()->ClientToScreen(TPoint{5, 6}));
    info->UpdateMousePos();
    EXPECT_EQ(info->MousePos(), (TPoint{5, 6}));

    info->UpdateSiteVisibility(false);
    EXPECT_EQ(site()->Parent(), grid);
    EXPECT_EQ(site()->Left(), TvlCustomGridViewInfo::ParkedSiteLeft);
    Mouse->SetCursorPos(site()->ClientToScreen(TPoint{20, 20}));
    info->UpdateMousePos();
    EXPECT_EQ(info->MousePos(), (TPoint{5, 6}));  // a parked site keeps the last one

    edit.SetFocus();
    ASSERT_FALSE(site()->Focused());
    info->UpdateSiteVisibility(false);
    EXPECT_EQ(site()->Parent(), nullptr);
    // Out of its parent the site is no window of its own on the screen.
    ASSERT_TRUE(site()->HandleAllocated());
    EXPECT_FALSE(site()->Widget()->isVisible());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible() && w != Form->Widget()) << w->metaObject()->className();

    grid->LayoutChanged();
    EXPECT_EQ(site()->Parent(), grid);
    EXPECT_TRUE(site()->Widget()->isVisible());
}

TEST_F(GridSite, RemovingTheFocusedViewsSiteFocusesItsParent)
{
    showAndActivate();
    site()->SetFocus();
    ASSERT_EQ(grid->FocusedView(), view);
    site()->SetParent(nullptr);
    EXPECT_TRUE(grid->Focused());
}

TEST_F(GridSite, TabReachesOnlyTopLevelViews)
{
    EXPECT_TRUE(site()->TabStop());
    auto* detailLevel = TvlGridLevel::Create<TvlGridLevel>(Form.get());
    level->AddChild(detailLevel);
    auto* detail = TvlCustomGridView::Create<RecordingView>(Form.get(), grid);
    detailLevel->SetGridView(detail);
    TvlGridSite* detailSite = detail->ViewInfo()->Site();
    detailSite->SetTabStop(true);
    detailSite->SetParent(site());
    EXPECT_FALSE(detailSite->TabStop());
    grid->SetTabStop(false);
    site()->SetParent(nullptr);
    site()->SetParent(grid);
    EXPECT_FALSE(site()->TabStop());
}

TEST_F(GridSite, OnlyLaterSizeChangesRecalculateTheView)
{
    // With the grid locked the size changes the site asks for wait in its queue.
    grid->BeginUpdate();
    site()->SetBounds(0, 0, 0, 0);
    grid->RemoveViewChanges(view);
    site()->SetBounds(0, 0, 100, 50);  // the first size, as on a first show
    EXPECT_EQ(grid->PendingChangeCount(), 0);
    EXPECT_EQ(site()->LastClientWidth(), site()->GetClientBounds().Right);
    EXPECT_EQ(site()->LastClientHeight(), site()->GetClientBounds().Bottom);
    site()->SetBounds(0, 0, 120, 50);
    EXPECT_EQ(grid->PendingChangeCount(), 1);
    site()->SetBounds(10, 10, 120, 50);  // moved, same size
    EXPECT_EQ(grid->PendingChangeCount(), 1);
    grid->EndUpdate();
    EXPECT_EQ(calcs(), 1);
}

TEST_F(GridSite, ASizeChangeDuringAScrollBarUpdateIsRetriedOnce)
{
    SiteViewInfo* info = view->Info();
    info->Busy = true;
    view->SController()->ResizeTo = TRect{0, 0, 150, 90};
    sharedLog().clear();
    site()->UpdateScrollBars();
    EXPECT_EQ(site()->BoundsRect(), (TRect{0, 0, 150, 90}));
    ASSERT_NE(site()->SizeChangeTimer(), nullptr);
    EXPECT_EQ(calcs(), 0);
    info->Busy = false;
    Clock.Advance(1);
    EXPECT_EQ(calcs(), 1);
    EXPECT_EQ(site()->SizeChangeTimer(), nullptr);
    Clock.Advance(10);
    EXPECT_EQ(calcs(), 1);

    // While calculating but not updating scroll bars, the change is dropped.
    info->Busy = true;
    site()->SetBounds(0, 0, 160, 90);
    EXPECT_EQ(site()->SizeChangeTimer(), nullptr);
    EXPECT_EQ(calcs(), 1);
}

TEST_F(GridSite, PaintWaitsForTheLockAndTheBackgroundComesLast)
{
    TvlStyleRepository repository(nullptr);
    auto* style = static_cast<TvlStyle*>(repository.CreateStyle());
    style->SetColor(clYellow);
    view->Styles()->SetBackground(style);
    view->ViewInfo()->MainCalculate(TRect{0, 0, 100, 60});

    Surface s;
    const std::unique_ptr<TvlRegion> clipBefore = s.canvas()->GetClipRegion();
    view->Painter()->Paint(s.canvas(), nullptr);
    EXPECT_EQ(s.pixel(10, 10), clRed);
    EXPECT_EQ(s.pixel(50, 30), clYellow);
    EXPECT_EQ(s.pixel(150, 80), clWhite);  // outside the view
    EXPECT_TRUE(s.canvas()->GetClipRegion()->IsEqual(clipBefore.get()));

    // A background bitmap is tiled instead, still around the parts.
    TBitmap tile;
    tile.SetSize(4, 4);
    tile.Canvas()->Brush()->SetColor(clLime);
    tile.Canvas()->FillRect(TRect{0, 0, 4, 4});
    view->BackgroundBitmaps()->SetBackground(&tile);
    view->Painter()->Paint(s.canvas(), nullptr);
    EXPECT_EQ(s.pixel(10, 10), clRed);
    EXPECT_EQ(s.pixel(50, 30), clLime);
    EXPECT_EQ(s.pixel(150, 80), clWhite);

    // The site paints through the painter, but not while the view is locked
    // or the site is parked.
    showAndActivate();
    QImage image(site()->Width(), site()->Height(), QImage::Format_RGB32);
    const int paints = view->SPainter()->Paints;
    site()->PaintTo(image);
    EXPECT_EQ(view->SPainter()->Paints, paints + 1);
    view->BeginUpdate();
    site()->PaintTo(image);
    view->EndUpdate();
    EXPECT_EQ(view->SPainter()->Paints, paints + 1);
    view->ViewInfo()->CanRemoveSite = false;
    view->ViewInfo()->UpdateSiteVisibility(false);
    ASSERT_TRUE(site()->IsParked());
    site()->PaintTo(image);
    EXPECT_EQ(view->SPainter()->Paints, paints + 1);
}

TEST_F(GridSite, APopupOutlivesItsCellWhenTheCellSaysSo)
{
    showAndActivate();
    TvlCustomGridViewInfo* info = view->ViewInfo();
    TvlCustomGridPopup popup(view);
    popup.SetModalMode(false);
    popup.SetBounds(0, 0, 80, 60);

    auto first = vlGridCreateCell<PopupCell>(info, &popup, false);
    first->CalculateRect(TRect{10, 10, 60, 30});
    // Presses on a popup cell: a normal one stays normal, a hot one opens
    // the popup, a press on the pressed one makes it hot.
    std::unique_ptr<TvlCustomGridHitTest> own = vlGridHitTest<CellHitTest>(TPoint{});
    EXPECT_TRUE(first->MouseDown(own.get(), mbLeft, {}));
    EXPECT_EQ(first->State(), gcmsNormal);
    EXPECT_TRUE(first->MouseMove(own.get(), {}));
    EXPECT_EQ(first->State(), gcmsHot);
    EXPECT_TRUE(first->MouseDown(own.get(), mbLeft, {}));
    EXPECT_EQ(first->State(), gcmsPressed);
    ASSERT_TRUE(popup.IsVisible());
    EXPECT_EQ(popup.PopupOwner(), first.get());
    EXPECT_FALSE(first->MouseMove(vlGridHitTest<OtherHitTest>(TPoint{}).get(), {}));
    EXPECT_EQ(first->State(), gcmsPressed);
    EXPECT_FALSE(first->MouseUp(own.get(), mbLeft, {}));

    // The layout makes its cells again: the new one takes the popup over.
    info->AddGuardedCell(first.get());
    info->AddGuardedCell(first.get());
    const TvlCustomGridCellViewInfo* gone = first.get();
    first.reset();
    EXPECT_FALSE(info->IsCellAlive(gone));
    EXPECT_TRUE(popup.IsVisible());
    EXPECT_EQ(popup.PopupOwner(), nullptr);
    auto second = vlGridCreateCell<PopupCell>(info, &popup, false);
    EXPECT_EQ(popup.PopupOwner(), second.get());
    EXPECT_EQ(second->State(), gcmsPressed);
    EXPECT_TRUE(second->MouseDown(own.get(), mbLeft, {}));
    EXPECT_EQ(second->State(), gcmsHot);
    popup.CloseUp();
    EXPECT_FALSE(popup.IsVisible());
    second->SetState(gcmsPressed);
    ASSERT_TRUE(popup.IsVisible());
    popup.CloseUp();
    EXPECT_EQ(second->State(), gcmsNormal);  // told by the closing popup

    // A cell that wants its popup closed with it closes it as it goes.
    auto third = vlGridCreateCell<PopupCell>(info, &popup, true);
    third->SetState(gcmsPressed);
    ASSERT_TRUE(popup.IsVisible());
    third.reset();
    EXPECT_FALSE(popup.IsVisible());
}

TEST_F(GridSite, SingleLineCellsTakeTheHeightOfQq)
{
    TvlCustomGridViewInfo* info = view->ViewInfo();
    TFont font;
    font.SetName(QStringLiteral("DejaVu Sans"));
    font.SetSize(12);
    auto cell = vlGridCreateCell<PopupCell>(info, nullptr, true);
    cell->Font = &font;
    cell->CellText = QStringLiteral("x");
    const int qq = info->GetFontHeight(&font);
    EXPECT_GT(qq, 0);
    EXPECT_EQ(cell->GetTextCellHeight(info, nullptr), qq + 4);

    auto multi = vlGridCreateCell<PopupCell>(info, nullptr, true);
    multi->Font = &font;
    multi->Multi = true;
    multi->CellText = QStringLiteral("one\ntwo");
    multi->CalculateRect(TRect{0, 0, 200, 100});
    EXPECT_EQ(multi->GetTextCellHeight(info, nullptr), multi->TextHeight() + 4);
    EXPECT_GT(multi->TextHeight(), qq);
}

TEST(GridViewInfoCache, ItemsAreMadeOnDemandAndForgetTheirValues)
{
    GridFixture f;
    TvlCustomGridTableViewInfoCache cache(f.views[0]);
    cache.SetCount(3);
    EXPECT_EQ(cache.Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(cache.GetItemIfExists(i), nullptr);
    auto* item = static_cast<TvlCustomGridTableViewInfoCacheItem*>(cache.GetItem(1));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Index(), 1);
    EXPECT_EQ(cache.GetItem(1), item);
    EXPECT_EQ(cache.GetItemIfExists(1), item);
    EXPECT_EQ(cache.GetItemIfExists(7), nullptr);
    EXPECT_EQ(cache.GetItem(-1), nullptr);
    item->SetHeight(24);
    EXPECT_TRUE(item->IsHeightAssigned());
    cache.UnassignValues(true);
    EXPECT_FALSE(item->IsHeightAssigned());
    cache.SetCount(2);
    EXPECT_EQ(cache.GetItemIfExists(1), nullptr);
}

}  // namespace
