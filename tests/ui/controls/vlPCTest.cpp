// Tests of the tab model, the layout and the painter's shared machinery,
// on a window-less test control and a painter with fixed metrics.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/rtl/Exception.h"
#include "tests/ui/controls/vlPCTestControl.h"
#include "ui/controls/vlPC.h"

namespace {

// A tab is as long as its caption's number; every tab is 20 high.
class TestPainter : public TvlPCCustomPainter {
public:
    struct Class : TvlPCPainterClassInfo {
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TestPainter>(AParent); }
    };
    static const Class& Instance() { static const Class c; return c; }
    using TvlPCCustomPainter::TvlPCCustomPainter;
    TvlPCPainterClass PainterClass() const override { return &Instance(); }

    int CalculateTabNormalWidth(TvlTab* ATab) override
    {
        return ParentControl()->TabWidth() > 0 ? ParentControl()->TabWidth() : ATab->Caption().toInt();
    }
    int CalculateTabNormalHeight() override { return 20; }
    void CalculateTabsArea(TvlPCNavigatorButtons AButtons, TvlPCTabsArea& AArea) override
    {
        const int w = ParentControl()->Width(), h = ParentControl()->Height();
        AArea.BandsRect = Rect(0, 0, w, h);
        AArea.RowsRect = Rect(Margin, Margin, w - Margin, h - Margin);
        const bool sides = tabPosition() == tpLeft || tabPosition() == tpRight;
        AArea.RowLength = (sides ? h : w) - 2 * Margin - (AButtons.Empty() ? 0 : ButtonsWidth);
        AArea.MinBandsDistance = 4;
    }
    void GetTabsDistance(TPoint& D) override { D = Distance; }
    void GetTabsAreaExtents(TRect& E) override
    {
        if (FixedExtent >= 0)
            E = Rect(0, FixedExtent, 0, 0);
        else
            TvlPCCustomPainter::GetTabsAreaExtents(E);
    }
    int GetFrameWidth() override { return 2; }
    void GetTabImageOffsets(int, std::array<int, 4>& O) override { O = {0, 2, 0, 2}; }
    void GetTabImageOnlyOffsets(int, std::array<int, 2>& O) override { O = {0, 0}; }
    void GetTabTextOffsets(int, std::array<int, 4>& O) override { O = {0, 1, 0, 1}; }
    TPoint GetGoDialogPopupPosition(const TSize&) override { return TPoint(); }
    int GetImageTextDistance(int) override { return 6; }
    int GetMinTabWidth(int) override { return MinTabWidth; }
    void GetAuxiliaryOffsets(std::array<int, 2>& P) override { P = {0, 0}; }
    TColor GetTabBodyColor(int) override { return clBtnFace; }
    void GetTabTextMargins(int, std::array<int, 2>& M) override { M = {Margin1, 4}; }
    void GetCompactTabTextMargins(int, std::array<int, 2>& M) override { M = {2, 2}; }
    void SetTabContentRects(int AVisibleIndex, const TRect& I, const TRect& T) override
    {
        FContentLayout.VisibleIndex = AVisibleIndex;
        FContentLayout.ImageRect = I;
        FContentLayout.TextRect = T;
    }
    bool GetNavigatorButtonAt(int, int, TvlPCNavigatorButton&) override { return false; }
    void RepaintTab(int AVisibleIndex, TvlPCTabChangeKind AKind) override { Repaints.push_back({AVisibleIndex, AKind}); }
    std::vector<std::pair<int, TvlPCTabChangeKind>> Repaints;
    bool IsMainTab(int AVisibleIndex) override { return tab(AVisibleIndex)->IsMain(); }
    void PaintNavigatorButtons() override {}
    void PaintFrame() override {}
    void PaintTabs() override {}
    void GetGoDialogButtonBounds(TRect& R) override { R = TRect(); }

    int Margin = 10;
    int ButtonsWidth = 40;
    int MinTabWidth = 10;
    int Margin1 = 4;
    int FixedExtent = -1;
    TPoint Distance;
};

// The fixture control with the fixed-metrics painter; tabs are added by length.
class LayoutControl : public TestControl {
public:
    explicit LayoutControl(int AWidth = 220, int AHeight = 200) : TestControl(AWidth, AHeight)
    {
        SetPainter(std::make_unique<TestPainter>(this));
    }
    TestPainter* painter() const { return static_cast<TestPainter*>(Painter()); }
    void RecalculateLayout() override
    {
        ++Layouts;
        TestControl::RecalculateLayout();
    }
    bool NeedsVisibleSelection() const override { return PageControl; }
    int Layouts = 0;
    bool PageControl = false;
    void addTabs(std::initializer_list<int> ALengths)
    {
        Tabs()->BeginUpdate();
        for (int l : ALengths)
            Tabs()->Add(String::number(l));
        Tabs()->EndUpdate();
    }
    std::vector<int> rowSizes() const
    {
        std::vector<int> sizes(size_t(RowCount()), 0);
        for (int v = 0; v < VisibleTabList()->Count(); ++v)
            ++sizes[size_t(VisibleTab(v)->Row())];
        return sizes;
    }
    std::vector<int> widths() const
    {
        std::vector<int> w;
        for (int v = 0; v < VisibleTabList()->Count(); ++v)
            w.push_back(VisibleTab(v)->NormalWidth());
        return w;
    }
};

// ---- model --------------------------------------------------------------------------

TEST(vlPC, VisibleTabListFindsByBisection)
{
    LayoutControl c;
    c.VisibleTabList()->SetItems({2, 5, 9});
    struct Case { int value; bool found; int position; };
    for (const Case k : {Case{5, true, 1}, Case{6, false, 2}, Case{1, false, 0}, Case{10, false, 3},
                         Case{2, true, 0}, Case{9, true, 2}, Case{3, false, 1}}) {
        int p = -7;
        EXPECT_EQ(c.VisibleTabList()->Find(k.value, p), k.found) << k.value;
        EXPECT_EQ(p, k.position) << k.value;
    }
    c.VisibleTabList()->SetItems({});
    int p = -7;
    EXPECT_FALSE(c.VisibleTabList()->Find(4, p));
    EXPECT_EQ(p, 0);
}

TEST(vlPC, ImageIndexFollowsCreationIndexAndTabsRenumber)
{
    LayoutControl c;
    c.addTabs({10, 11, 12, 13, 14});
    TvlTab* moved = c.Tabs()->GetTab(2);
    EXPECT_EQ(moved->RawImageIndex(), 2);
    EXPECT_FALSE(moved->ImageIndexStored());
    c.Tabs()->Move(2, 4);
    EXPECT_EQ(c.Tabs()->GetTab(4), moved);
    EXPECT_EQ(moved->Index(), 4);
    EXPECT_EQ(moved->RawImageIndex(), 2);
    EXPECT_TRUE(moved->ImageIndexStored());
    EXPECT_EQ(c.Tabs()->GetTab(2)->Index(), 2);
    c.Tabs()->Insert(0, String::fromLatin1("30"));
    EXPECT_EQ(moved->Index(), 5);
    EXPECT_EQ(c.Tabs()->GetTab(0)->RawImageIndex(), 0);
    c.Tabs()->Delete(1);
    EXPECT_EQ(moved->Index(), 4);
    EXPECT_EQ(c.Tabs()->Strings(1), String::fromLatin1("11"));
    moved->SetImageIndex(-5);
    EXPECT_EQ(moved->RawImageIndex(), -1);
    // Destroying a tab directly takes it out of the list once.
    const int before = c.Tabs()->Count();
    c.SetTrackingTabDirect(2);
    delete c.Tabs()->GetTab(0);
    EXPECT_EQ(c.Tabs()->Count(), before - 1);
    EXPECT_EQ(moved->Index(), 3);
    EXPECT_EQ(c.TrackingTab(), 2);  // another tab's mark stays
    delete c.Tabs()->GetTab(2);
    EXPECT_EQ(c.TrackingTab(), -1);
}

TEST(vlPC, FirstTabSelectsItselfAndHiddenTabsLeaveTheVisibleList)
{
    LayoutControl c;
    c.Tabs()->Add(String::fromLatin1("50"));
    EXPECT_EQ(c.TabIndex(), 0);
    c.addTabs({50, 50, 50});
    c.Tabs()->GetTab(1)->SetVisible(false);
    EXPECT_EQ(c.VisibleTabList()->Count(), 3);
    EXPECT_EQ(c.VisibleTabList()->IndexOf(2), 1);
    EXPECT_EQ(c.Tabs()->GetTab(1)->VisibleIndex(), -1);
    // A non-multi-select style ignores selecting any tab but the current one.
    c.Tabs()->GetTab(2)->SetSelected(true);
    EXPECT_FALSE(c.Tabs()->GetTab(2)->Selected());
    c.Tabs()->GetTab(0)->SetSelected(true);
    EXPECT_TRUE(c.Tabs()->GetTab(0)->Selected());
}

TEST(vlPC, ChangesRelayoutOrRepaintOneTab)
{
    LayoutControl c;
    c.addTabs({50, 60});
    c.SetTabWidth(70);  // every caption gives the same width
    c.RecalculateLayout();
    const int layouts = c.Layouts;
    c.Tabs()->GetTab(1)->SetCaption(String::fromLatin1("61"));
    EXPECT_EQ(c.Layouts, layouts);
    ASSERT_EQ(c.painter()->Repaints.size(), 1u);
    EXPECT_EQ(c.painter()->Repaints[0], std::make_pair(1, tckContent));
    c.SetTabWidth(0);
    c.RecalculateLayout();
    c.Tabs()->GetTab(1)->SetCaption(String::fromLatin1("80"));
    EXPECT_EQ(c.Layouts, layouts + 2);
    EXPECT_EQ(c.VisibleTab(1)->NormalWidth(), 80);
    c.Tabs()->GetTab(0)->SetColor(clRed);
    EXPECT_EQ(c.painter()->Repaints.back(), std::make_pair(0, tckColor));
}

TEST(vlPC, HidingTheSelectedTabOfAPageControlSelectsTheNextOne)
{
    LayoutControl c;
    c.PageControl = true;
    c.addTabs({40, 40, 40});
    c.SetTabIndexDirect(1);
    c.Tabs()->UpdateMainTab();
    c.Tabs()->GetTab(1)->SetVisible(false);
    EXPECT_EQ(c.TabIndex(), 2);
    c.Tabs()->UpdateMainTab();
    c.Tabs()->GetTab(2)->SetVisible(false);
    EXPECT_EQ(c.TabIndex(), 0);
}

TEST(vlPC, ErrorsCarryTheirTexts)
{
    LayoutControl c;
    c.addTabs({10, 20});
    EXPECT_EQ(raisedMessage([&] { c.Tabs()->GetTab(5); }), String::fromLatin1("TvlTabs.GetTab: Tab's index (5) out of bounds"));
    EXPECT_EQ(raisedMessage([&] { c.Tabs()->Strings(-1); }), String::fromLatin1("TvlTabs.Get: Tab's index (-1) out of bounds"));
    EXPECT_EQ(raisedMessage([&] { c.Tabs()->Insert(3, String()); }),
              String::fromLatin1("TvlTabs.Insert: Tab's index (3) out of bounds"));
    EXPECT_EQ(raisedMessage([&] { c.Tabs()->Delete(2); }), String::fromLatin1("TvlTabs.Delete: Tab's index (2) out of bounds"));
    EXPECT_EQ(raisedMessage([&] { c.VisibleTabList()->GetTab(2); }),
              String::fromLatin1("TvlVisibleTabList.GetTab: TabVisibleIndex (2) must be between 0 and 1"));
    EXPECT_EQ(raisedMessage([&] { GetVisibleTab(c.Tabs(), -1); }),
              String::fromLatin1("TvlTabs.GetVisibleTab: TabVisibleIndex (-1) must be between 0 and 1"));
    c.Tabs()->Clear();
    EXPECT_EQ(raisedMessage([&] { c.VisibleTabList()->GetTab(0); }),
              String::fromLatin1("TvlVisibleTabList.GetTab: There are no visible tabs"));
}

TEST(vlPC, SlantsReportOnlyChanges)
{
    TvlTabSlants s;
    int changes = 0;
    s.OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    s.SetKind(skSlant);
    s.SetPositions({spLeft});
    EXPECT_EQ(changes, 0);
    TvlTabSlants other;
    other.SetKind(skCutCorner);
    other.SetPositions({spLeft, spRight});
    s.Assign(&other);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(s.Kind(), skCutCorner);
}

// ---- layout -------------------------------------------------------------------------

TEST(vlPC, RowsAreBalancedThenStretched)
{
    LayoutControl c;  // rows of 200
    c.SetMultiLine(true);
    c.addTabs({60, 60, 60, 60, 60, 60, 60, 60, 60, 60});
    EXPECT_EQ(c.rowSizes(), (std::vector<int>{3, 3, 2, 2}));
    EXPECT_EQ(c.widths(), (std::vector<int>{66, 66, 68, 66, 66, 68, 100, 100, 100, 100}));
    // The rows are laid end to end from the start of the rows rectangle.
    EXPECT_EQ(c.VisibleTab(1)->NormalBounds().Left, 76);
    EXPECT_EQ(c.VisibleTab(2)->NormalBounds().Right, 210);

    c.SetRaggedRight(true);
    c.RecalculateLayout();
    EXPECT_EQ(c.rowSizes(), (std::vector<int>{3, 3, 2, 2}));
    EXPECT_EQ(c.widths(), std::vector<int>(10, 60));

    c.SetRotate(true);  // rotated: lengths are the tab height (20), rows of 200
    c.SetTabWidth(0);
    c.RecalculateLayout();
    EXPECT_EQ(c.RowCount(), 1);
}

TEST(vlPC, RotatedRaggedRowsAreNeitherBalancedNorStretched)
{
    LayoutControl c(80, 200);  // with Rotate every tab is 20 long: three per row of 60
    c.SetMultiLine(true);
    c.SetRotate(true);
    c.SetRaggedRight(true);
    c.addTabs({30, 45, 30, 30});
    EXPECT_EQ(c.rowSizes(), (std::vector<int>{3, 1}));
    EXPECT_EQ(c.RowHeight(), 45);  // the widest tab
    c.SetRaggedRight(false);
    c.RecalculateLayout();
    EXPECT_EQ(c.rowSizes(), (std::vector<int>{2, 2}));
    EXPECT_EQ(c.widths(), (std::vector<int>{30, 45, 30, 30}));
}

TEST(vlPC, OversizeTabStandsAloneCutToTheRow)
{
    LayoutControl c;
    c.SetMultiLine(true);
    c.addTabs({60, 60, 250, 60});
    EXPECT_EQ(c.rowSizes(), (std::vector<int>{2, 1, 1}));
    EXPECT_EQ(c.VisibleTab(2)->NormalWidth(), 200);
    // A minimum width at or above the row keeps the tab's own width.
    c.painter()->MinTabWidth = 200;
    c.RecalculateLayout();
    EXPECT_EQ(c.VisibleTab(2)->NormalWidth(), 250);
}

TEST(vlPC, SelectedRowGoesNextToThePage)
{
    LayoutControl c;
    c.SetMultiLine(true);
    c.addTabs({100, 100, 100, 100, 100, 100});  // three rows of two
    c.SetMainTabDirect(4);
    c.RecalculateLayout();
    EXPECT_EQ(c.VisibleTab(4)->VisibleRow(), 2);
    EXPECT_EQ(c.VisibleTab(0)->VisibleRow(), 0);
    EXPECT_EQ(c.VisibleTab(2)->VisibleRow(), 1);
    EXPECT_EQ(c.LeadingRowCount(), 3);
    EXPECT_EQ(c.VisibleTab(4)->NormalBounds().Top, 10 + 2 * 20);

    c.SetMainTabDirect(2);
    c.SetScrollOpposite(true);
    c.RecalculateLayout();
    EXPECT_EQ(c.LeadingRowCount(), 2);
    EXPECT_TRUE(c.HasOppositeRows());
    EXPECT_EQ(c.VisibleTab(4)->Side(), tpBottom);
    EXPECT_EQ(c.VisibleTab(4)->NormalBounds().Bottom, 190);
    EXPECT_EQ(c.LeadingBandRect(), Rect(0, 0, 220, 50));
    EXPECT_EQ(c.TrailingBandRect(), Rect(0, 170, 220, 200));
}

TEST(vlPC, SingleRowScrollsAndFillsFromTheEnd)
{
    LayoutControl c;  // 200 without buttons, 160 with them
    c.addTabs({50, 50, 50, 50, 50});
    EXPECT_TRUE(c.NavigatorButtons().Contains(nbTopLeft));
    EXPECT_EQ(c.FirstVisibleTab(), 0);
    EXPECT_EQ(c.LastVisibleTab(), 3);
    EXPECT_FALSE(c.IsLastTabFullyVisible());
    EXPECT_EQ(c.NavigatorButtonState(nbTopLeft), nbsDisabled);
    c.SetFirstVisibleTabDirect(4);
    c.RecalculateLayout();
    EXPECT_EQ(c.FirstVisibleTab(), 2);
    EXPECT_EQ(c.LastVisibleTab(), 4);
    EXPECT_EQ(c.VisibleTab(4)->NormalBounds().Right, 10 + 150);
    EXPECT_EQ(c.NavigatorButtonState(nbBottomRight), nbsDisabled);
    EXPECT_EQ(c.VisibleTab(0)->VisibleBounds(), TRect());

    c.SetOptions(c.Options() + TvlPCOptions{pcoNoArrows});
    c.RecalculateLayout();
    EXPECT_FALSE(c.NavigatorButtons().Contains(nbTopLeft));

    // Too small: no tabs, no bands.
    c.W = 15;
    c.RecalculateLayout();
    EXPECT_TRUE(c.LeadingBandRect().IsEmpty());
    EXPECT_EQ(c.GetTabVisibleIndexAt(12, 12), -1);
}

TEST(vlPC, MakeTabVisibleAndHitTest)
{
    LayoutControl c;
    c.addTabs({50, 50, 50, 50, 50});
    c.MakeTabVisible(4);
    EXPECT_EQ(c.FirstVisibleTab(), 2);
    c.RecalculateLayout();
    EXPECT_EQ(c.GetTabVisibleIndexAt(15, 15), 2);
    EXPECT_EQ(c.GetTabVisibleIndexAt(15, 35), -1);
    c.MakeTabVisible(0);
    EXPECT_EQ(c.FirstVisibleTab(), 0);
}

TEST(vlPC, FitLengthCountsTheSpareRoom)
{
    LayoutControl c(500, 100);  // the row offers 480
    c.painter()->Distance = Point(10, 0);
    c.addTabs({100, 100, 100, 90});  // 390 + 3 gaps = 420
    EXPECT_EQ(c.GetTabsFitLength(), 440);
    EXPECT_TRUE(c.IsLastTabFullyVisible());
    c.Tabs()->Add(String::fromLatin1("100"));
    EXPECT_EQ(c.GetTabsFitLength(), 550);
    EXPECT_FALSE(c.IsLastTabFullyVisible());
}

TEST(vlPC, ReversedRowsAndSidesOfLeftTabs)
{
    LayoutControl c(200, 220);
    c.SetTabPosition(tpLeft);  // vertical captions reading upwards: reversed row
    c.addTabs({60, 60});
    EXPECT_TRUE(c.isReversedRow());
    EXPECT_EQ(c.captionKind(), 1);
    EXPECT_EQ(c.VisibleTab(0)->NormalBounds(), Rect(10, 150, 30, 210));
    EXPECT_EQ(c.VisibleTab(1)->NormalBounds(), Rect(10, 90, 30, 150));
    EXPECT_EQ(c.VisibleTab(0)->Orientation(), 4);
    c.SetOptions(c.Options() + TvlPCOptions{pcoTopToBottomText});
    c.RecalculateLayout();
    EXPECT_FALSE(c.isReversedRow());
    EXPECT_EQ(c.VisibleTab(0)->NormalBounds(), Rect(10, 10, 30, 70));
    EXPECT_EQ(c.VisibleTab(0)->Orientation(), 5);
    c.SetTabPosition(tpRight);
    c.RecalculateLayout();
    EXPECT_EQ(c.VisibleTab(0)->NormalBounds(), Rect(170, 10, 190, 70));
    EXPECT_EQ(c.VisibleTab(0)->Orientation(), 8);
}

TEST(vlPC, RotateExtentsAndPointMapping)
{
    const TRect e = Rect(1, 2, 3, 4);
    EXPECT_EQ(RotateExtents(e, tpTop), e);
    EXPECT_EQ(RotateExtents(e, tpBottom), Rect(3, 4, 1, 2));
    EXPECT_EQ(RotateExtents(e, tpLeft), Rect(2, 3, 4, 1));
    EXPECT_EQ(RotateExtents(e, tpRight), Rect(4, 1, 2, 3));
    const TRect r = Rect(10, 20, 50, 30);
    struct Case { TvlTabPosition pos; TPoint expected; };
    for (const Case k : {Case{tpTop, Point(12, 21)}, Case{tpBottom, Point(12, 28)}, Case{tpLeft, Point(41, 27)},
                         Case{tpRight, Point(18, 27)}}) {
        TPoint p = Point(12, 21);
        TvlPCCustomPainter::MapPointToTabPosition(r, p, k.pos);
        EXPECT_EQ(p, k.expected) << int(k.pos);
    }
}

// ---- painter machinery ------------------------------------------------------------

TEST(vlPC, PageAreaFollowsTheTabExtents)
{
    LayoutControl c;
    c.addTabs({50});
    c.painter()->FixedExtent = 24;
    TRect r;
    c.Painter()->GetPageArea(r);
    EXPECT_EQ(r.Top, 24);
    c.SetShowFrame(true);
    c.Painter()->GetPageArea(r);
    EXPECT_EQ(r, Rect(2, 26, 218, 198));
    c.SetTabPosition(tpLeft);
    c.Painter()->GetPageArea(r);
    EXPECT_EQ(r.Left, 26);
    // The base extents come from the leading band.
    c.painter()->FixedExtent = -1;
    c.SetShowFrame(false);
    c.SetTabPosition(tpTop);
    c.RecalculateLayout();
    c.Painter()->GetPageArea(r);
    EXPECT_EQ(r.Top, c.LeadingBandRect().Bottom);
    EXPECT_EQ(r.Top, 30);
}

TEST(vlPC, ContentRectanglesPlaceImageAndCaption)
{
    LayoutControl c(400, 100);
    TImageList images(nullptr);
    TBitmap strip;
    strip.SetSize(48, 16);
    images.Add(&strip, nullptr);
    c.ImageList()->SetBaseImages(&images);
    c.SetImageBorder(2);
    c.SetTabWidth(150);
    c.Tabs()->Add(String::fromLatin1("Caption text"));
    c.SetTabCaptionAlignment(taLeftJustify);
    c.Painter()->CalculateTabContentRects(0);
    const TvlPCTabContentLayout& l = c.Painter()->ContentLayout();
    const int textWidth = c.Canvas()->TextWidth(String::fromLatin1("Caption text"));
    const int content = 26 + textWidth;
    const int start = 10 + 4 + (150 - 8 - content) / 2;  // tab left, first margin, centred
    EXPECT_EQ(l.ImageRect, Rect(start + 2, 12, start + 18, 28));
    EXPECT_EQ(l.TextRect.Left, start + 26);
    EXPECT_EQ(l.TextRect.Width(), textWidth);

    // Too narrow: compact margins and an ellipsis.
    c.SetTabWidth(70);
    c.RecalculateLayout();
    c.Painter()->CalculateTabContentRects(0);
    EXPECT_EQ(l.ImageRect.Left, 10 + 2 + 2);
    EXPECT_LE(l.TextRect.Width(), 70 - 4 - 26);
    EXPECT_GT(l.TextRect.Width(), 0);
    EXPECT_EQ(l.TextRect.Left, 10 + 2 + 26);
    // No room for a single character: an empty caption rectangle.
    c.SetTabWidth(32);
    c.RecalculateLayout();
    c.Painter()->CalculateTabContentRects(0);
    EXPECT_EQ(l.TextRect.Width(), 0);
    c.ImageList()->SetBaseImages(nullptr);
}

TEST(vlPC, ImageListRaisesAndCachesTurnedImages)
{
    LayoutControl c;
    TImageList images(nullptr);
    EXPECT_EQ(raisedMessage([&] { c.ImageList()->Draw(c.Canvas(), 0, 0, true, clRed, 0); }),
              String::fromLatin1("TvlPCImageList.Draw: BaseImages is not assigned"));
    TBitmap strip;
    strip.SetSize(48, 16);
    images.Add(&strip, nullptr);
    c.ImageList()->SetBaseImages(&images);
    EXPECT_EQ(raisedMessage([&] { c.ImageList()->Draw(c.Canvas(), 0, 0, true, clRed, 5); }),
              String::fromLatin1("TvlPCImageList.Draw: Index (5) must be between 0 and 2"));
    EXPECT_EQ(raisedMessage([&] { c.ImageList()->Draw(c.Canvas(), 0, 0, true, clRed, -1); }),
              String::fromLatin1("TvlPCImageList.Draw: Index (-1) must be between 0 and 2"));
    c.ImageList()->SetRotationAngle(raPlus90);
    EXPECT_EQ(c.ImageList()->GetRotatedImageSize().cx, 16);
    c.ImageList()->Draw(c.Canvas(), 0, 0, true, clBlue, 2);
    c.ImageList()->Draw(c.Canvas(), 0, 0, true, clBlue, 2);
    EXPECT_EQ(c.ImageList()->RenderCount(), 1);
    c.ImageList()->Draw(c.Canvas(), 0, 0, true, clRed, 2);
    c.ImageList()->Draw(c.Canvas(), 0, 0, false, clRed, 2);
    EXPECT_EQ(c.ImageList()->RenderCount(), 3);
    c.ImageList()->SetBaseImages(nullptr);
    EXPECT_EQ(c.ImageList()->GetImageSize().cx, 0);

    // The tab control may outlive its images.
    auto gone = std::make_unique<TImageList>(nullptr);
    gone->Add(&strip, nullptr);
    c.ImageList()->SetBaseImages(gone.get());
    gone.reset();
    EXPECT_EQ(c.ImageList()->BaseImages(), nullptr);
    EXPECT_EQ(raisedMessage([&] { c.ImageList()->Draw(c.Canvas(), 0, 0, true, clRed, 0); }),
              String::fromLatin1("TvlPCImageList.Draw: BaseImages is not assigned"));
}

// ---- registry ---------------------------------------------------------------------

TEST(vlPC, RegistryKeepsEachClassOnceAndFreesItselfWhenEmpty)
{
    struct Other : TestPainter::Class {
        TvlPCStyleID GetStyleID() const override { return 42; }
    };
    static const Other other;
    TvlPCPainterClass test = &TestPainter::Instance();
    const int before = PaintersFactory() != nullptr ? PaintersFactory()->GetPainterClassCount() : 0;
    RegisterPCPainterClass(test);
    RegisterPCPainterClass(&other);
    RegisterPCPainterClass(test);
    ASSERT_NE(PaintersFactory(), nullptr);
    EXPECT_EQ(PaintersFactory()->GetPainterClassCount(), before + 2);
    EXPECT_EQ(PaintersFactory()->GetPainterClass(42), &other);
    EXPECT_EQ(PaintersFactory()->GetPainterClass(-1), test);
    UnregisterPCPainterClass(test);
    UnregisterPCPainterClass(test);
    UnregisterPCPainterClass(&other);
    if (before == 0)
        EXPECT_EQ(PaintersFactory(), nullptr);
    else
        EXPECT_EQ(PaintersFactory()->GetPainterClassCount(), before);

    TvlPCPaintersFactory empty;
    TvlLookAndFeel look(nullptr);
    EXPECT_EQ(raisedMessage([&] { empty.GetDefaultStyleID(&look); }),
              String::fromLatin1("TvlPCPaintersFactory.GetDefaultStyleID: There are no styles registered"));
}

}  // namespace
