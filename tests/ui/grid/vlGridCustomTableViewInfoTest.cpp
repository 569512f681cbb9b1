// The record view's layout: records scrolled by whole records, parts along
// the edges, the navigator strip, the no-data text, scrolling with and
// without moving window content, and data cells with their click, hint,
// height and focus-frame rules.
#include "ui/grid/vlGridCustomTableViewInfo.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <string>
#include <vector>

#include "JobListFixture.h"
#include "platform/rtl/Exception.h"
#include "tests/ui/foundation/ControlFixtures.h"
#include "ui/editors/vlTextEdit.h"
#include "ui/grid/vlGridTableView.h"

using namespace gridtest;

namespace {

using Log = std::vector<std::string>;

// A row with one data cell per visible column, laid out side by side; its
// height depends on its record so that scrolls move by known amounts.
class RowLayout : public TvlCustomGridRecordViewInfo {
public:
    RowLayout(TvlCustomGridRecordsViewInfo* ARecordsViewInfo, TvlCustomGridRecord* ARecord)
        : TvlCustomGridRecordViewInfo(ARecordsViewInfo, ARecord)
    {
        TvlCustomGridTableView* view = GridView();
        for (int i = 0; i < view->VisibleItemCount(); ++i)
            Cells.push_back(vlGridCreateCell<TvlGridTableDataCellViewInfo>(this, view->VisibleItems(i)));
    }
    static int heightOf(int ARecordIndex) { return 20 + 5 * (ARecordIndex % 3); }
    int CalculateHeight() override { return heightOf(GridRecord()->Index()); }
    int GetWidth() override { return RecordsViewInfo()->Bounds.Width(); }
    void Calculate(int ALeft, int ATop, int AWidth, int AHeight) override
    {
        TvlCustomGridRecordViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
        int x = ALeft;
        for (auto& cell : Cells) {
            const int w = cell->Item()->Width();
            cell->Calculate(x, ATop, w, Bounds.Height());
            x += w;
        }
    }
    void DoOffset(int DX, int DY) override
    {
        TvlCustomGridRecordViewInfo::DoOffset(DX, DY);
        for (auto& cell : Cells)
            cell->Offset(DX, DY);
    }
    void PlaceExpandButton(TRect& R) override { R = TRect(); }
    TvlGridTableDataCellViewInfo* GetCellViewInfoByItem(TvlCustomGridTableItem* AItem) override
    {
        for (auto& cell : Cells)
            if (cell->Item() == AItem)
                return cell.get();
        return nullptr;
    }
    std::unique_ptr<TvlCustomGridHitTest> GetHitTest(const TPoint& P) override
    {
        for (auto& cell : Cells)
            if (auto result = cell->GetHitTest(P))
                return result;
        return TvlCustomGridRecordViewInfo::GetHitTest(P);
    }
    void Paint(TvlCanvas* ACanvas) override
    {
        TvlCustomGridRecordViewInfo::Paint(ACanvas);
        for (auto& cell : Cells)
            cell->Paint(ACanvas);
    }
    std::vector<TvlGridCellViewInfoPtr<TvlGridTableDataCellViewInfo>> Cells;
};

class TestRow : public TvlGridDataRow {
public:
    using TvlGridDataRow::TvlGridDataRow;
    TvlCustomGridRecordViewInfoClass GetViewInfoClass() const override
    {
        return &vlGridCreate<RowLayout, TvlCustomGridRecordViewInfo, TvlCustomGridRecordsViewInfo*, TvlCustomGridRecord*>;
    }
};

class TestViewData : public TvlGridViewData {
public:
    using TvlGridViewData::TvlGridViewData;
    TvlCustomGridRecordClass GetRecordClass(const TvlRowInfo&) const override
    {
        return &vlGridCreate<TestRow, TvlCustomGridRecord, TvlCustomGridTableViewData*, const TvlRowInfo&, int>;
    }
};

// Rows stacked downward from the top of the records area.
class RowsLayout : public TvlCustomGridRecordsViewInfo {
public:
    using TvlCustomGridRecordsViewInfo::TvlCustomGridRecordsViewInfo;
    int RowLeft(int) override { return Bounds.Left; }
    int RowTop(int AIndex) override { return AIndex == 0 ? ContentBounds.Top : GetItem(AIndex - 1)->Bounds.Bottom; }
    int RowsShift(int ACount) override
    {
        int sum = 0;
        for (int i = 0; i < std::abs(ACount); ++i)
            sum += GetItem(i)->Bounds.Height();
        return ACount > 0 ? -sum : sum;
    }
    void ShiftRow(int AIndex, int DY) override { GetItem(AIndex)->Offset(0, DY); }
    void ComputeLayout() override
    {
        TvlCustomGridRecordsViewInfo::ComputeLayout();
        for (int i = 0;; ++i) {
            TvlCustomGridRecordViewInfo* item = GetItem(i);
            if (item == nullptr)
                break;
            item->CalculateAt(RowLeft(i), RowTop(i));
            if (item->Bounds.Bottom >= ContentBounds.Bottom)
                break;
        }
        CountVisibleRows();
    }
    void CountVisibleRows() override
    {
        VisibleCount = 0;
        for (int i = 0; i < ItemCount(); ++i)
            if (GetItem(i) != nullptr && GetItem(i)->Bounds.Top < ContentBounds.Bottom)
                ++VisibleCount;
    }
};

// A band with a fixed height at one edge.
class Band : public TvlCustomGridPartViewInfo {
public:
    Band(TvlCustomGridTableViewInfo* AViewInfo, TvlGridPartAlignment AAlignment, int AHeight, bool AFullWidth)
        : TvlCustomGridPartViewInfo(AViewInfo), FAlignment(AAlignment), FHeight(AHeight), FFullWidth(AFullWidth)
    {
    }
    int CalculateHeight() override { return FHeight; }
    int CalculateWidth() override { return 100; }
    TvlGridPartAlignment PartAlignment() override { return FAlignment; }
    bool IsFullWidth() override { return FFullWidth; }
    bool MovesWithHorzScroll() override { return false; }
    TvlGridHitTestClass GetHitTestClass() override { return nullptr; }

private:
    TvlGridPartAlignment FAlignment;
    int FHeight;
    bool FFullWidth;
};

struct BandSpec {
    TvlGridPartAlignment Alignment;
    int Height;
    bool FullWidth;
};

// The layout as a table view lays itself out: recreated, its parts
// stacked, then the records area and the navigator strip.
class TestViewInfo : public TvlCustomGridTableViewInfo {
public:
    using TvlCustomGridTableViewInfo::TvlCustomGridTableViewInfo;
    TvlCustomGridRecordsViewInfoClass GetRecordsViewInfoClass() const override
    {
        return &vlGridCreate<RowsLayout, TvlCustomGridRecordsViewInfo, TvlCustomGridTableViewInfo*>;
    }
    void CreateViewInfos() override
    {
        TvlCustomGridTableViewInfo::CreateViewInfos();
        for (const BandSpec& spec : Specs)
            Bands.push_back(vlGridCreateCell<Band>(this, spec.Alignment, spec.Height, spec.FullWidth));
    }
    void DestroyViewInfos(bool AIsRecreating) override
    {
        Bands.clear();
        TvlCustomGridTableViewInfo::DestroyViewInfos(AIsRecreating);
    }
    void Calculate() override
    {
        RecreateViewInfos();
        for (int i = 0; i < PartCount(); ++i)
            PartItems(i)->CalculatePart();
        TvlCustomGridTableViewInfo::Calculate();
    }
    std::vector<BandSpec> Specs;
    std::vector<TvlGridCellViewInfoPtr<Band>> Bands;
};

// Says which way each scroll was painted, and where focus frames go.
class TestPainter : public TvlCustomGridTablePainter {
public:
    using TvlCustomGridTablePainter::TvlCustomGridTablePainter;
    void OffsetRecords(int APixels) override
    {
        log.push_back("move records " + std::to_string(APixels));
        TvlCustomGridTablePainter::OffsetRecords(APixels);
    }
    void OffsetContent(int DX, int DY) override
    {
        log.push_back("move content " + std::to_string(DX) + "," + std::to_string(DY));
        TvlCustomGridTablePainter::OffsetContent(DX, DY);
    }
    void Invalidate() override
    {
        log.push_back("invalidate");
        TvlCustomGridTablePainter::Invalidate();
    }
    void DrawFocusRect(const TRect& R, bool AHideFocusRect) override
    {
        FocusFrames.push_back(R);
        TvlCustomGridTablePainter::DrawFocusRect(R, AHideFocusRect);
    }
    Log log;
    std::vector<TRect> FocusFrames;
};

// Records what the cells ask of the editors.
class RecordingEditing : public TvlGridEditingController {
public:
    using TvlGridEditingController::TvlGridEditingController;
    void ShowEdit(TvlCustomGridTableItem*) override { log.push_back("show"); }
    void ShowEditByMouse(TvlCustomGridTableItem*, TShiftState, int, int) override { log.push_back("show with mouse"); }
    void StartEditShowingTimer(TvlCustomGridTableItem*) override { log.push_back("delayed show"); }
    Log log;
};

class TestController : public TvlCustomGridTableController {
public:
    explicit TestController(TvlCustomGridView* AGridView) : TvlCustomGridTableController(AGridView)
    {
        recreateEditingController();
    }
    RecordingEditing* Editing() const { return static_cast<RecordingEditing*>(EditingController()); }
    void SetFocusedRecord(TvlCustomGridRecord* ARecord) override
    {
        TvlCustomGridTableController::SetFocusedRecord(ARecord);
        // As a focus move that makes the view lay itself out again.
        if (RebuildOnFocus)
            GridView()->ViewInfo()->Recalculate();
    }
    bool RebuildOnFocus = false;

protected:
    TvlGridEditingControllerClass GetEditingControllerClass() const override
    {
        return &vlGridCreate<RecordingEditing, TvlGridEditingController, TvlCustomGridTableController*>;
    }
};

class TestView : public TvlGridTableView {
public:
    using TvlGridTableView::TvlGridTableView;
    TestViewInfo* Info() const { return static_cast<TestViewInfo*>(ViewInfo()); }
    TestPainter* TPainter() const { return static_cast<TestPainter*>(Painter()); }
    TestController* TController() const { return static_cast<TestController*>(Controller()); }
    void NotifyController(TvlViewChangeKind AChangeKind) override
    {
        kinds.push_back(AChangeKind);
        TvlGridTableView::NotifyController(AChangeKind);
    }
    std::vector<TvlViewChangeKind> kinds;

protected:
    TViewDataClass GetViewDataClass() const override
    {
        return &vlGridCreate<TestViewData, TvlCustomGridViewData, TvlCustomGridView*>;
    }
    TViewInfoClass GetViewInfoClass() const override
    {
        return &vlGridCreate<TestViewInfo, TvlCustomGridViewInfo, TvlCustomGridView*>;
    }
    TPainterClass GetPainterClass() const override
    {
        return &vlGridCreate<TestPainter, TvlCustomGridPainter, TvlCustomGridView*>;
    }
    TControllerClass GetControllerClass() const override
    {
        return &vlGridCreate<TestController, TvlCustomGridController, TvlCustomGridView*>;
    }
    TViewInfoCacheClass GetViewInfoCacheClass() const override
    {
        return &vlGridCreate<TvlCustomGridTableViewInfoCache, TvlCustomGridViewInfoCache, TvlCustomGridView*>;
    }
};

// Text properties whose editor fails to lay a cell out while Fail is set.
class FailingProperties : public TvlTextEditProperties {
public:
    using TvlTextEditProperties::TvlTextEditProperties;
    class ViewData : public TvlCustomTextEditViewData {
    public:
        using TvlCustomTextEditViewData::TvlCustomTextEditViewData;
        void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                       TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override
        {
            if (static_cast<const FailingProperties*>(TvlCustomEditViewData::Properties())->Fail)
                throw Exception(QStringLiteral("the editor failed"));
            TvlCustomTextEditViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
        }
    };
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override
    {
        auto data = std::make_unique<ViewData>(this, AStyle, AIsInplace);
        data->PreviewMode = APreviewMode;
        return data;
    }
    bool Fail = false;
};

class FailingRepositoryItem : public TvlEditRepositoryItem {
public:
    explicit FailingRepositoryItem(TComponent* AOwner) : TvlEditRepositoryItem(AOwner) { RecreateProperties(); }
    FailingProperties* FProperties() const { return static_cast<FailingProperties*>(Properties()); }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreatePropertiesOfItem() override
    {
        return std::make_unique<FailingProperties>(this);
    }
};

// A grid of one level on a shown form, its view a TestView with two text
// columns of 60 pixels and ten records.
struct RecordView : TControlUnitFixture {
    RecordView()
    {
        grid = TvlCustomGrid::Create<TvlGrid>(Form.get());
        grid->SetParent(Form.get());
        grid->SetBounds(0, 0, 300, 200);
        auto* level = TvlGridLevel::Create<TvlGridLevel>(Form.get());
        grid->RootLevel()->AddChild(level);
        view = TvlCustomGridView::Create<TestView>(Form.get(), grid);
        level->SetGridView(view);
        for (const char* caption : {"File", "Size"}) {
            TvlGridColumn* column = view->CreateColumn();
            column->SetCaption(QString::fromLatin1(caption));
            column->SetPropertiesClassName(QStringLiteral("TvlTextEditProperties"));
            column->SetWidth(60);
            columns.push_back(column);
        }
        style = static_cast<TvlStyle*>(repository.CreateStyle());
        style->SetColor(clYellow);
        style->SetTextColor(clBlack);
        TFont font;
        font.SetName(QStringLiteral("DejaVu Sans"));
        font.SetSize(8);
        style->SetFont(&font);
        view->Styles()->SetBackground(style);
    }
    ~RecordView() override { Form.reset(); }
    void addRecords(int ACount)
    {
        TvlGridDataController* controller = view->DataController();
        view->BeginUpdate();
        for (int i = 0; i < ACount; ++i) {
            const int record = controller->AppendRecord();
            controller->SetValue(record, 0, Variant(QStringLiteral("clip%1.avi").arg(i)));
            controller->SetValue(record, 1, Variant(QStringLiteral("%1 MB").arg(i)));
        }
        view->EndUpdate();
    }
    void show()
    {
        Form->Show();
        QApplication::setActiveWindow(Form->Widget());
        grid->LayoutChanged();
    }
    void focusSite()
    {
        show();
        site()->SetFocus();
        ASSERT_TRUE(site()->Focused());
    }
    TvlGridSite* site() const { return view->ViewInfo()->Site(); }
    TestViewInfo* info() const { return view->Info(); }
    TvlCustomGridRecordsViewInfo* records() const { return info()->RecordsViewInfo(); }
    RowLayout* row(int AIndex) const { return static_cast<RowLayout*>(records()->GetItem(AIndex)); }
    TvlGridTableDataCellViewInfo* cell(int ARow, int AColumn) const { return row(ARow)->Cells[size_t(AColumn)].get(); }
    Log& editing() const { return view->TController()->Editing()->log; }
    // A press and a release on a cell as the site hands them on.
    bool press(TvlGridTableDataCellViewInfo* ACell, TMouseButton AButton = mbLeft, TShiftState AShift = {})
    {
        auto hitTest = info()->GetHitTest(centre(ACell));
        if (hitTest->CellViewInfo() == nullptr) {
            ADD_FAILURE() << "no cell under the pointer, hit test " << hitTest->HitTestCode();
            return false;
        }
        return hitTest->CellViewInfo()->MouseDown(hitTest.get(), AButton, AShift);
    }
    bool release(TvlGridTableDataCellViewInfo* ACell, TMouseButton AButton = mbLeft, TShiftState AShift = {})
    {
        auto hitTest = info()->GetHitTest(centre(ACell));
        if (hitTest->CellViewInfo() == nullptr) {
            ADD_FAILURE() << "no cell under the pointer, hit test " << hitTest->HitTestCode();
            return false;
        }
        return hitTest->CellViewInfo()->MouseUp(hitTest.get(), AButton, AShift);
    }
    static TPoint centre(const TvlCustomGridCellViewInfo* ACell)
    {
        return TPoint{(ACell->Bounds.Left + ACell->Bounds.Right) / 2, (ACell->Bounds.Top + ACell->Bounds.Bottom) / 2};
    }

    GridTableUnits units;
    TvlStyleRepository repository{nullptr};
    TvlStyle* style = nullptr;
    TvlGrid* grid = nullptr;
    TestView* view = nullptr;
    std::vector<TvlGridColumn*> columns;
};

// ---- records area ---------------------------------------------------------------------------------

TEST_F(RecordView, ScrollingByRecordsKeepsTheLayoutsThatStay)
{
    addRecords(20);
    show();
    TvlCustomGridRecordsViewInfo* area = records();
    const int count = area->ItemCount();
    ASSERT_GE(count, 4);
    std::vector<TvlCustomGridRecordViewInfo*> before;
    std::vector<int> tops;
    for (int i = 0; i < count; ++i) {
        before.push_back(area->GetItem(i));
        tops.push_back(area->GetItem(i)->Bounds.Top);
    }
    EXPECT_FALSE(area->CanScrollBy(count));
    EXPECT_FALSE(area->CanScrollBy(-count));
    EXPECT_TRUE(area->CanScrollBy(count - 1));

    view->TController()->SetTopRecordIndex(1);
    area->ScrollBy(1);
    const int departed = RowLayout::heightOf(0);
    EXPECT_EQ(area->ItemsOffset(), -departed);
    ASSERT_EQ(area->ItemCount(), count);
    for (int i = 0; i + 1 < count; ++i) {
        EXPECT_EQ(area->GetItem(i), before[size_t(i) + 1]) << i;
        EXPECT_EQ(area->GetItem(i)->Bounds.Top, tops[size_t(i) + 1] - departed) << i;
    }
    // The new last row follows the one above it and shows the next record.
    TvlCustomGridRecordViewInfo* last = area->GetItem(count - 1);
    EXPECT_EQ(last->GridRecord()->Index(), count);
    EXPECT_EQ(last->Bounds.Top, area->GetItem(count - 2)->Bounds.Bottom);
    // The records keep their link to the layouts that show them.
    EXPECT_EQ(last->GridRecord()->ViewInfo(), last);
    EXPECT_EQ(view->ViewData()->Records(0)->ViewInfo(), nullptr);

    view->TController()->SetTopRecordIndex(0);
    area->ScrollBy(-1);
    EXPECT_EQ(area->ItemsOffset(), departed);
    EXPECT_EQ(area->GetItem(0)->GridRecord()->Index(), 0);
    for (int i = 1; i < count; ++i) {
        EXPECT_EQ(area->GetItem(i), before[size_t(i)]) << i;
        EXPECT_EQ(area->GetItem(i)->Bounds.Top, tops[size_t(i)]) << i;
    }
}

TEST_F(RecordView, AScrollPastEveryShownRecordStillLaysTheAreaOut)
{
    addRecords(30);
    show();
    TvlCustomGridRecordsViewInfo* area = records();
    const int count = area->ItemCount();
    ASSERT_FALSE(area->CanScrollBy(count + 2));
    // Callers recalculate instead; a scroll of that size still leaves a
    // whole area of fresh rows.
    view->TController()->SetTopRecordIndex(count + 2);
    area->ScrollBy(count + 2);
    ASSERT_EQ(area->ItemCount(), count);
    EXPECT_EQ(area->GetItem(0)->GridRecord()->Index(), count + 2);
    EXPECT_EQ(area->GetItem(0)->Bounds.Top, area->ContentBounds.Top);
    for (int i = 1; i < count; ++i)
        EXPECT_EQ(area->GetItem(i)->Bounds.Top, area->GetItem(i - 1)->Bounds.Bottom) << i;
}

TEST_F(RecordView, AnEmptyAreaAndTheRecordIndexMapping)
{
    show();
    EXPECT_TRUE(records()->IsEmpty());
    EXPECT_EQ(records()->MaxItemCount(), 0);
    EXPECT_EQ(records()->GetItem(0), nullptr);

    addRecords(10);
    show();
    EXPECT_FALSE(records()->IsEmpty());
    EXPECT_EQ(records()->MaxItemCount(), 10);
    // Filled upward from record 6 the area shows 6, 5, 4 ... and no more
    // than seven records.
    info()->CalculateDown = false;
    view->TController()->SetTopRecordIndex(6);
    EXPECT_EQ(records()->MaxItemCount(), 7);
    EXPECT_EQ(records()->GetRecordIndex(2), 4);
    info()->CalculateDown = true;
    EXPECT_EQ(records()->GetRecordIndex(2), 8);
    EXPECT_EQ(records()->GetItemIndex(5), -1);
}

TEST_F(RecordView, ALayoutForARecordOnScreenLeavesTheRecordsLinkAlone)
{
    addRecords(3);
    show();
    TvlCustomGridRecord* record = view->ViewData()->Records(1);
    TvlCustomGridRecordViewInfo* shown = record->ViewInfo();
    ASSERT_NE(shown, nullptr);
    {
        RowLayout measuring(records(), record);
        EXPECT_FALSE(measuring.IsRecordViewInfoAssigned());
        EXPECT_EQ(record->ViewInfo(), shown);
    }
    EXPECT_EQ(record->ViewInfo(), shown);
}

TEST_F(RecordView, RowHeightsAreMeasuredOncePerRecord)
{
    addRecords(4);
    show();
    auto* cache = dynamic_cast<TvlCustomGridTableViewInfoCacheItem*>(view->ViewInfoCache()->GetItem(2));
    ASSERT_NE(cache, nullptr);
    EXPECT_TRUE(cache->IsHeightAssigned());
    EXPECT_EQ(cache->Height(), RowLayout::heightOf(2));
    // A height kept in the cache is taken as it stands.
    cache->SetHeight(41);
    show();
    EXPECT_EQ(row(2)->Bounds.Height(), 41);
}

TEST_F(RecordView, RecordsGoneFromTheDataTakeTheirLayoutsWithThem)
{
    addRecords(5);
    show();
    ASSERT_FALSE(records()->IsEmpty());
    // Appending rebuilds every record object: no layout may still point at
    // an old one (the address sanitizer build sees any that does).
    addRecords(1);
    show();
    for (int i = 0; i < records()->ItemCount(); ++i)
        EXPECT_EQ(records()->GetItem(i)->GridRecord(), view->ViewData()->Records(i)) << i;
    // So do the cells of an item that leaves the view.
    view->RemoveItem(columns[1]);
    show();
    EXPECT_EQ(row(0)->Cells.size(), 1u);
}

// ---- parts, navigator strip -----------------------------------------------------------------------

TEST_F(RecordView, PartsStackAlongTheirEdges)
{
    info()->Specs = {{gpaTop, 10, true}, {gpaBottom, 12, true}, {gpaTop, 15, false}, {gpaBottom, 8, true}};
    show();
    const TRect b = info()->Bounds();
    const auto& bands = info()->Bands;
    ASSERT_EQ(bands.size(), 4u);
    // Top parts downward from the top in list order, bottom parts upward
    // from the bottom, the first lowest; a part that is not full width is
    // as wide as it says from the client's left.
    EXPECT_EQ(bands[0]->Bounds, (TRect{b.Left, b.Top, b.Right, b.Top + 10}));
    EXPECT_EQ(bands[2]->Bounds, (TRect{b.Left, b.Top + 10, b.Left + 100, b.Top + 25}));
    EXPECT_EQ(bands[1]->Bounds, (TRect{b.Left, b.Bottom - 12, b.Right, b.Bottom}));
    EXPECT_EQ(bands[3]->Bounds, (TRect{b.Left, b.Bottom - 20, b.Right, b.Bottom - 12}));
    TRect client;
    info()->ClientBounds(client);
    EXPECT_EQ(client, (TRect{b.Left, b.Top + 25, b.Right, b.Bottom - 20}));
    EXPECT_EQ(info()->TopPartsHeight(), 25);
    EXPECT_EQ(info()->BottomPartsHeight(), 20);
    EXPECT_EQ(info()->EdgePartsHeight(false), 45);
    // The filter box, hidden without a filter, registered first and takes
    // no room.
    EXPECT_EQ(info()->PartItems(0), info()->FilterViewInfo());
    EXPECT_EQ(info()->FilterViewInfo()->Height, 0);
    EXPECT_EQ(records()->Bounds, client);
}

TEST_F(RecordView, TheNavigatorStripLiesBelowTheClientOrLeftOfTheScrollBar)
{
    addRecords(3);
    show();
    const TRect withoutStrip = site()->GetClientBounds();
    view->OptionsView()->SetNavigator(true);
    view->OptionsView()->SetNavigatorOffset(40);
    show();
    ASSERT_FALSE(site()->IsHScrollBarVisible());
    TvlNavigatorSiteViewInfo* strip = info()->NavigatorSiteViewInfo();
    const int barHeight = site()->HScrollBar()->Height();
    ASSERT_GT(barHeight, 0);
    EXPECT_EQ(strip->GetHeight(), barHeight);
    EXPECT_EQ(strip->GetWidth(), 40);
    const TRect client = site()->GetClientBounds();
    EXPECT_EQ(client.Bottom, withoutStrip.Bottom - barHeight);
    EXPECT_EQ(strip->Bounds.Top, client.Bottom);
    EXPECT_EQ(strip->Bounds.Height(), barHeight);
    // Only the strip answers below the client area.
    auto hitTest = info()->GetHitTest(TPoint{client.Left + 5, client.Bottom + 2});
    EXPECT_EQ(hitTest->HitTestCode(), TvlGridNavigatorHitTest().HitTestCode());

}
}

// ---- painting and scrolling ------------------------------------------------------------------------

// The view painted on a bitmap of the site's size.
struct Picture {
    explicit Picture(TvlGridSite* ASite) : bitmap(ASite->Width(), ASite->Height())
    {
        bitmap.vlCanvas()->FillRectByColor(TRect{0, 0, ASite->Width(), ASite->Height()}, clWhite);
    }
    TColor pixel(int X, int Y) { return bitmap.Canvas()->Pixels(X, Y); }
    // The bounds of the pixels that are neither the background nor white.
    TRect ink(const TRect& AArea, TColor ABackground)
    {
        TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = AArea.Top; y < AArea.Bottom; ++y)
            for (int x = AArea.Left; x < AArea.Right; ++x) {
                const TColor c = pixel(x, y);
                if (c == ABackground || c == clWhite)
                    continue;
                r = TRect{std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
            }
        return r;
    }
    TvlBitmap bitmap;
};

TEST_F(RecordView, TheNoDataTextIsCentredOverTheEmptyArea)
{
    view->OptionsView()->SetNoDataToDisplayInfoText(QStringLiteral("Nothing"));
    show();
    ASSERT_TRUE(info()->IsNoDataToDisplayTextVisible());
    Picture p(site());
    view->Painter()->Paint(p.bitmap.vlCanvas(), nullptr);
    TRect area;
    info()->GetNoDataToDisplayTextBounds(area);
    EXPECT_EQ(p.pixel(area.Left + 1, area.Top + 1), clYellow);  // drawn on the background
    const TRect text = p.ink(area, clYellow);
    ASSERT_LT(text.Left, text.Right);
    // Centred both ways within a pixel or two of rounding and glyph sides.
    EXPECT_LE(std::abs((text.Left + text.Right) - (area.Left + area.Right)), 3);
    EXPECT_LE(std::abs((text.Top + text.Bottom) - (area.Top + area.Bottom)), 6);
}

TEST_F(RecordView, TheJobListsBlankTextDrawsNothing)
{
    view->OptionsView()->SetNoDataToDisplayInfoText(QStringLiteral(" "));
    show();
    Picture p(site());
    view->Painter()->Paint(p.bitmap.vlCanvas(), nullptr);
    TRect area;
    info()->GetNoDataToDisplayTextBounds(area);
    const TRect text = p.ink(area, clYellow);
    EXPECT_GT(text.Left, text.Right) << "ink at " << text.Left << "," << text.Top;
    EXPECT_EQ(p.pixel((area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2), clYellow);

    // An empty text is no text at all.
    view->OptionsView()->SetNoDataToDisplayInfoText(String());
    EXPECT_FALSE(info()->IsNoDataToDisplayTextVisible());
}

TEST_F(RecordView, ScrollsMoveContentUnlessABitmapOrTheNoDataTextWouldComeOutWrong)
{
    addRecords(20);
    show();
    TestPainter* painter = view->TPainter();
    painter->log.clear();
    view->TController()->SetTopRecordIndex(1);
    view->OffsetRecords(1, 0, 0);
    // The base painter repaints what it moved.
    EXPECT_EQ(painter->log, (Log{"move records " + std::to_string(-RowLayout::heightOf(0)), "invalidate"}));
    painter->log.clear();
    view->OffsetRecords(0, 0, -5);
    EXPECT_EQ(painter->log, (Log{"move content 0,-5", "invalidate"}));

    TBitmap tile;
    tile.SetSize(4, 4);
    view->BackgroundBitmaps()->SetByIndex(1, &tile);
    show();
    ASSERT_NE(records()->BackgroundBitmap(), nullptr);
    painter->log.clear();
    view->TController()->SetTopRecordIndex(2);
    view->OffsetRecords(1, 0, 0);
    EXPECT_EQ(painter->log, (Log{"invalidate"}));
}

TEST_F(RecordView, AViewThatShowsItsNoDataTextIsRepaintedWhenScrolled)
{
    view->OptionsView()->SetNoDataToDisplayInfoText(QStringLiteral("Nothing"));
    show();
    TestPainter* painter = view->TPainter();
    EXPECT_FALSE(painter->CanOffset(0, 0, 3));
    view->OptionsView()->SetNoDataToDisplayInfoText(String());
    EXPECT_TRUE(painter->CanOffset(0, 0, 3));
}

// ---- data cells -------------------------------------------------------------------------------------

TEST_F(RecordView, APressThatFreesItsCellReportsItWasNotTaken)
{
    addRecords(5);
    focusSite();
    view->TController()->RebuildOnFocus = true;
    TvlGridTableDataCellViewInfo* pressed = cell(2, 0);
    auto hitTest = info()->GetHitTest(centre(pressed));
    ASSERT_EQ(hitTest->CellViewInfo(), pressed);
    // Focusing the record lays the view out again and frees the cell.
    EXPECT_FALSE(pressed->MouseDown(hitTest.get(), mbLeft, TShiftState()));
    EXPECT_EQ(hitTest->CellViewInfo(), nullptr);
    EXPECT_EQ(view->DataController()->GetFocusedRowIndex(), 2);
    EXPECT_EQ(view->TController()->PressedCellViewInfo(), nullptr);
    EXPECT_TRUE(editing().empty());
    EXPECT_TRUE(view->TController()->AllowCheckEdit);
}

TEST_F(RecordView, WithoutImmediateEditorASecondClickStartsTheDelayedEditor)
{
    addRecords(3);
    focusSite();
    view->OptionsBehavior()->SetImmediateEditor(false);
    EXPECT_TRUE(press(cell(1, 0)));
    EXPECT_EQ(view->TController()->PressedCellViewInfo(), cell(1, 0));
    EXPECT_TRUE(release(cell(1, 0)));
    EXPECT_EQ(view->TController()->PressedCellViewInfo(), nullptr);
    EXPECT_EQ(view->DataController()->GetFocusedRowIndex(), 1);
    EXPECT_EQ(view->FocusedItem(), columns[0]);
    EXPECT_TRUE(cell(1, 0)->IsFocusedCell());
    EXPECT_TRUE(editing().empty());  // the first click only focuses

    press(cell(1, 0));
    release(cell(1, 0));
    EXPECT_EQ(editing(), (Log{"delayed show"}));

    press(cell(1, 0), mbLeft, TShiftState{ssDouble});
    release(cell(1, 0), mbLeft, TShiftState{ssDouble});
    EXPECT_EQ(editing(), (Log{"delayed show"}));  // a double click does not
}

TEST_F(RecordView, ImmediateEditorOpensOnReleaseAndAlwaysShowEditorOnPress)
{
    addRecords(3);
    focusSite();
    press(cell(0, 1));
    EXPECT_TRUE(editing().empty());
    release(cell(0, 1));
    EXPECT_EQ(editing(), (Log{"show with mouse"}));

    // A click with Shift focuses, and its release opens nothing.
    editing().clear();
    press(cell(2, 0), mbLeft, TShiftState{ssShift});
    EXPECT_EQ(view->DataController()->GetFocusedRowIndex(), 2);
    EXPECT_FALSE(release(cell(2, 0), mbLeft, TShiftState{ssShift}));
    EXPECT_TRUE(editing().empty());

    // A middle click does not reach the record: no focus moves.
    press(cell(1, 0), mbMiddle);
    EXPECT_EQ(view->DataController()->GetFocusedRowIndex(), 2);

    view->OptionsBehavior()->SetAlwaysShowEditor(true);
    press(cell(1, 1));
    EXPECT_EQ(editing(), (Log{"show"}));
    EXPECT_EQ(view->DataController()->GetFocusedRowIndex(), 1);
}

TEST_F(RecordView, ADoubleClickHandledByTheViewEndsThePress)
{
    struct Handler {
        void dblClick(TvlCustomGridTableView*, TvlCustomGridCellViewInfo* ACell, TMouseButton, TShiftState, bool& AHandled)
        {
            cells.push_back(ACell);
            AHandled = true;
        }
        std::vector<TvlCustomGridCellViewInfo*> cells;
    } handler;
    addRecords(3);
    focusSite();
    view->SetOnCellDblClick(TvlGridCellClickEvent(&handler, &Handler::dblClick));
    TvlGridTableDataCellViewInfo* target = cell(1, 0);
    EXPECT_FALSE(press(target, mbLeft, TShiftState{ssDouble}));
    EXPECT_EQ(handler.cells, (std::vector<TvlCustomGridCellViewInfo*>{target}));
    EXPECT_NE(view->DataController()->GetFocusedRowIndex(), 1);
}

struct HintHandler {
    void hint(TvlCustomGridTableItem*, TvlCustomGridRecord* ARecord, TvlGridTableDataCellViewInfo*, const TPoint&,
              String& AText, bool&, TRect&)
    {
        if (ARecord->Index() == 1)
            AText = QStringLiteral("record one");
    }
};

TEST_F(RecordView, HintsComeFromTheEditorOrTheItemsHandler)
{
    addRecords(3);
    columns[0]->SetWidth(20);  // the file names are cut
    show();
    TvlGridTableDataCellViewInfo* cut = cell(1, 0);
    String text;
    TRect rect;
    bool multiLine = false;
    EXPECT_FALSE(cut->HasHint());
    EXPECT_FALSE(cut->NeedShowHint(centre(cut), text, rect, multiLine));

    HintHandler handler;
    columns[0]->SetOnGetCellHint(TvlGridGetCellHintEvent(&handler, &HintHandler::hint));
    show();
    EXPECT_TRUE(cell(1, 0)->HasHint());
    EXPECT_TRUE(cell(1, 0)->NeedShowHint(centre(cell(1, 0)), text, rect, multiLine));
    EXPECT_EQ(text, QStringLiteral("record one"));
    // The handler alone decides: no text, no hint, however cut the text.
    EXPECT_FALSE(cell(2, 0)->NeedShowHint(centre(cell(2, 0)), text, rect, multiLine));
}

struct HeightHandler {
    void height(TvlCustomGridTableView*, TvlCustomGridRecord* ARecord, TvlCustomGridTableItem*, TvlGridTableDataCellViewInfo*,
                int& AHeight)
    {
        if (ARecord->Index() == 0)
            AHeight = 33;
    }
};

TEST_F(RecordView, ACellTooNarrowToMeasureTakesTheDefaultHeight)
{
    addRecords(2);
    view->OptionsView()->SetCellAutoHeight(true);
    columns[0]->SetMinWidth(0);
    columns[0]->SetWidth(1);
    show();
    TvlGridTableDataCellViewInfo* narrow = cell(0, 0);
    const int fallback = columns[0]->CalculateDefaultCellHeight(narrow->GetCanvas(), const_cast<TFont*>(narrow->Params.Font));
    ASSERT_GT(fallback, 0);
    EXPECT_EQ(narrow->CalculateHeight(), fallback);

    HeightHandler handler;
    view->SetOnGetCellHeight(TvlGridGetCellHeightEvent(&handler, &HeightHandler::height));
    show();
    EXPECT_EQ(cell(0, 0)->CalculateHeight(), 33);
    EXPECT_EQ(cell(1, 0)->CalculateHeight(), fallback);
}

TEST_F(RecordView, TheFocusedCellsFrameIsDrawnOnlyOnItsOwnCanvasAndNotWithInvertSelect)
{
    addRecords(3);
    focusSite();
    press(cell(1, 1));
    release(cell(1, 1));
    view->OptionsBehavior()->SetImmediateEditor(false);
    TestPainter* painter = view->TPainter();
    auto framesOfFocusedCell = [&] {
        return std::count(painter->FocusFrames.begin(), painter->FocusFrames.end(), cell(1, 1)->ContentBounds());
    };
    ASSERT_TRUE(view->OptionsSelection()->InvertSelect());
    QImage image(site()->Width(), site()->Height(), QImage::Format_RGB32);
    site()->PaintTo(image);
    EXPECT_EQ(framesOfFocusedCell(), 0);

    view->OptionsSelection()->SetInvertSelect(false);
    show();
    painter->FocusFrames.clear();
    site()->PaintTo(image);
    EXPECT_EQ(framesOfFocusedCell(), 1);

    // A copy of the view on another canvas has its cells but no focus frames.
    painter->FocusFrames.clear();
    Picture copy(site());
    painter->Paint(copy.bitmap.vlCanvas(), nullptr);
    EXPECT_EQ(framesOfFocusedCell(), 0);
    const TRect focused = cell(1, 1)->Bounds;
    EXPECT_LT(copy.ink(focused, copy.pixel(focused.Left + 1, focused.Top + 1)).Left, focused.Right);
}

TEST_F(RecordView, ACellIsLinkedToEveryNewHitTestOnIt)
{
    addRecords(2);
    show();
    TvlGridTableDataCellViewInfo* target = cell(0, 0);
    // A hit test freed and a new one made (often at the same address): the
    // cell links the new one and never reaches back into the freed one.
    for (int i = 0; i < 3; ++i) {
        auto hitTest = info()->GetHitTest(centre(target));
        EXPECT_EQ(hitTest->CellViewInfo(), target) << i;
        EXPECT_EQ(target->LinkedHitTest(), hitTest.get()) << i;
    }
    EXPECT_EQ(target->LinkedHitTest(), nullptr);
    // A copy names the cell without the cell knowing it.
    auto hitTest = info()->GetHitTest(centre(target));
    std::unique_ptr<TvlCustomGridHitTest> copy = hitTest->Clone();
    EXPECT_EQ(copy->CellViewInfo(), target);
    copy.reset();
    EXPECT_EQ(target->LinkedHitTest(), hitTest.get());
}

TEST_F(RecordView, DataCellsShowTheirValuesThroughTheirEditors)
{
    addRecords(2);
    show();
    EXPECT_EQ(cell(1, 0)->Text, QStringLiteral("clip1.avi"));
    EXPECT_EQ(cell(0, 1)->Text, QStringLiteral("0 MB"));
    // Each calculation gave its shared editor data back.
    EXPECT_EQ(columns[0]->CellStyleUseCount(), records()->ItemCount());
    Picture p(site());
    view->Painter()->Paint(p.bitmap.vlCanvas(), nullptr);
    const TRect text = p.ink(cell(1, 0)->Bounds, p.pixel(cell(1, 0)->Bounds.Left + 1, cell(1, 0)->Bounds.Top + 1));
    EXPECT_LT(text.Left, text.Right);  // the editor drew the text
}

// ---- filter box ---------------------------------------------------------------------------------------

TEST_F(RecordView, AnEmptyFilterShowsItsTextAndOnlyTheCustomizeButtonWhenAlwaysShown)
{
    addRecords(3);
    show();
    TvlGridFilterViewInfo* box = info()->FilterViewInfo();
    EXPECT_FALSE(box->GetVisible());  // fvNonEmpty without a filter
    EXPECT_EQ(box->Height, 0);

    view->FilterBox()->SetVisible(fvAlways);
    show();
    box = info()->FilterViewInfo();
    EXPECT_TRUE(box->GetVisible());
    EXPECT_EQ(box->Text, QStringLiteral("<Filter is Empty>"));
    TvlGridFilterButtonsViewInfo* buttons = box->ButtonsViewInfo();
    ASSERT_EQ(buttons->Count(), 4);
    EXPECT_FALSE(buttons->Items(0)->GetVisible());  // close
    EXPECT_FALSE(buttons->Items(1)->GetVisible());  // activate
    EXPECT_TRUE(buttons->Items(2)->GetVisible());   // customize
    EXPECT_FALSE(buttons->Items(3)->GetVisible());  // recent filters: none kept
    EXPECT_EQ(buttons->LeftSideWidth(), 0);
    TvlCustomGridFilterButtonViewInfo* customize = buttons->Items(2);
    EXPECT_EQ(customize->Text, QStringLiteral("Customize..."));
    EXPECT_EQ(buttons->RightSideWidth(), customize->CalculateWidth() + 8);
    EXPECT_EQ(box->Height, std::max(box->TextHeightWithOffset() + 6, customize->CalculateHeight() + 8));
    // At the bottom by default, across the whole view, at the right end.
    const TRect b = info()->Bounds();
    EXPECT_EQ(box->Bounds, (TRect{b.Left, b.Bottom - box->Height, b.Right, b.Bottom}));
    EXPECT_EQ(customize->Bounds.Right, b.Right - 4);
    EXPECT_EQ(customize->Bounds.Top, MulDiv(box->Bounds.Top + box->Bounds.Bottom - customize->Bounds.Height(), 1, 2));

    // Without the dialog no button shows: the box is as high as its text.
    view->FilterBox()->SetCustomizeDialog(false);
    show();
    EXPECT_EQ(info()->FilterViewInfo()->ButtonsViewInfo()->Height(), 0);
    EXPECT_EQ(info()->FilterViewInfo()->Height, info()->FilterViewInfo()->TextHeightWithOffset() + 6);
}

TEST_F(RecordView, TheFilterBoxButtonsClearTheFilterOrSwitchItOff)
{
    addRecords(3);
    view->FilterBox()->SetPosition(fpTop);
    view->ViewData()->AddItemFilterCondition(nullptr, columns[0], false, String(), Variant(QStringLiteral("clip1.avi")),
                                             foEqual);
    TvlDataFilterCriteria* filter = view->DataController()->Filter();
    filter->SetActive(true);
    show();
    TvlGridFilterViewInfo* box = info()->FilterViewInfo();
    ASSERT_TRUE(box->GetVisible());
    EXPECT_EQ(box->Text, filter->GetFilterText());
    EXPECT_EQ(box->Bounds.Top, info()->Bounds().Top);
    TvlGridFilterButtonsViewInfo* buttons = box->ButtonsViewInfo();
    TvlCustomGridFilterButtonViewInfo* close = buttons->Items(0);
    TvlCustomGridFilterButtonViewInfo* activate = buttons->Items(1);
    ASSERT_TRUE(close->GetVisible());
    ASSERT_TRUE(activate->GetVisible());
    // Close at the far left, the check right of it, both at their extents.
    TPoint closeSize, checkSize;
    close->LookAndFeelPainter()->FilterPanelCloseButtonSize(closeSize);
    close->LookAndFeelPainter()->FilterCheckSize(checkSize);
    EXPECT_EQ(close->Bounds.Left, box->Bounds.Left + 4);
    EXPECT_EQ(close->Bounds.Width(), closeSize.X);
    EXPECT_EQ(close->Bounds.Height(), closeSize.Y);
    EXPECT_EQ(activate->Bounds.Left, close->Bounds.Right + 4);
    EXPECT_EQ(activate->Bounds.Width(), checkSize.X);
    EXPECT_EQ(buttons->LeftSideWidth(), closeSize.X + 4 + checkSize.X + 4 + 4);
    // The text starts after the left buttons.
    TRect text;
    box->GetTextAreaBounds(text);
    EXPECT_GE(text.Left, activate->Bounds.Right + 4);
    // A hit over a button is the button's.
    auto hitTest = info()->GetHitTest(centre(close));
    EXPECT_EQ(hitTest->HitTestCode(), TvlGridFilterCloseButtonHitTest().HitTestCode());

    activate->Click();
    EXPECT_FALSE(filter->Active());
    EXPECT_FALSE(filter->IsEmpty());
    show();
    info()->FilterViewInfo()->ButtonsViewInfo()->Items(0)->Click();
    EXPECT_TRUE(filter->IsEmpty());
}

TEST_F(RecordView, AnEditorThatFailsLeavesNoEditDataTaken)
{
    TvlEditRepository editors(nullptr);
    auto* failing = new FailingRepositoryItem(Form.get());  // owned by the form
    failing->SetRepository(&editors);
    columns[1]->SetRepositoryItem(failing);
    addRecords(2);
    show();
    TvlGridTableDataCellViewInfo* target = cell(0, 1);
    const int uses = columns[1]->CellStyleUseCount();
    failing->FProperties()->Fail = true;
    // Outside a calculation of the area each cell makes its own edit data.
    EXPECT_THROW(target->Recalculate(), Exception);
    EXPECT_EQ(target->EditViewData(), nullptr);
    EXPECT_FALSE(target->IsLocalCopyOfEditViewData());
    EXPECT_EQ(columns[1]->CellStyleUseCount(), uses);
    failing->FProperties()->Fail = false;
    target->Recalculate();
    EXPECT_EQ(columns[1]->CellStyleUseCount(), uses);
    columns[1]->SetRepositoryItem(nullptr);
}

TEST_F(RecordView, TheLayoutAnswersTheNavigatorForItsView)
{
    show();
    IvlNavigatorOwner* owner = info();
    view->kinds.clear();
    owner->NavigatorChanged(0);
    owner->NavigatorChanged(1);
    owner->NavigatorChanged(2);
    EXPECT_EQ(view->kinds, (std::vector<TvlViewChangeKind>{vckProperty, vckLayout, vckLayout}));
    EXPECT_EQ(owner->GetNavigatorOwner(), view);
    EXPECT_EQ(owner->GetNavigatorControl(), site());
    EXPECT_EQ(owner->GetNavigatorLookAndFeel(), grid->LookAndFeel());
    EXPECT_FALSE(owner->GetNavigatorFocused());
    EXPECT_FALSE(owner->GetNavigatorTabStop());
    EXPECT_FALSE(owner->GetNavigatorShowHint());
    view->OptionsBehavior()->SetNavigatorHints(true);
    EXPECT_TRUE(owner->GetNavigatorShowHint());
    // The navigator survives a new layout; the strip does not.
    TvlNavigatorViewInfo* navigator = info()->NavigatorViewInfo();
    ASSERT_NE(navigator, nullptr);
    info()->RecreateViewInfos();
    EXPECT_EQ(info()->NavigatorViewInfo(), navigator);
}
