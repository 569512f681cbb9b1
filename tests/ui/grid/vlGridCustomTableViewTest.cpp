#include "ui/grid/vlGridCustomTableView.h"

#include <gtest/gtest.h>

#include "JobListFixture.h"
#include "platform/controls/Clipbrd.h"
#include "platform/rtl/Stream.h"

namespace {

using gridtest::GridTableUnits;

// A table view on its own (no grid), with columns captioned as given.
struct PlainView {
    explicit PlainView(std::initializer_list<const char*> ACaptions)
    {
        view = TvlCustomGridView::Create<TvlGridTableView>(&form);
        for (const char* caption : ACaptions)
            view->CreateColumn()->SetCaption(QString::fromLatin1(caption));
    }
    TvlGridDataController* dc() const { return view->DataController(); }
    void AddRow(std::initializer_list<const char*> AValues)
    {
        const int record = dc()->AppendRecord();
        int item = 0;
        for (const char* value : AValues)
            dc()->SetValue(record, item++, Variant(QString::fromLatin1(value)));
    }

    GridTableUnits units;
    TComponent form{nullptr};
    TvlGridTableView* view = nullptr;
};

std::vector<int> ids(const TvlCustomGridTableView* AView)
{
    std::vector<int> result;
    for (int i = 0; i < AView->ItemCount(); ++i)
        result.push_back(AView->Items(i)->ID());
    return result;
}

// ---- items and their IDs ------------------------------------------------------------------

TEST(vlGridCustomTableView, ItemIdsComeFromACounterThatOnlyTheLastIdReturnsTo)
{
    PlainView t({"a", "b", "c"});
    EXPECT_EQ(ids(t.view), (std::vector<int>{0, 1, 2}));

    delete t.view->GetItemByID(2);
    t.view->CreateColumn();
    EXPECT_EQ(ids(t.view), (std::vector<int>{0, 1, 2}));

    delete t.view->GetItemByID(1);
    t.view->CreateColumn();
    EXPECT_EQ(ids(t.view), (std::vector<int>{0, 2, 3}));
    // Fields follow the items' positions.
    for (int i = 0; i < t.view->ItemCount(); ++i) {
        EXPECT_EQ(t.view->Items(i)->Index(), i);
        EXPECT_EQ(t.dc()->GetItem(i), t.view->Items(i));
    }
    EXPECT_EQ(t.dc()->GetItemCount(), 3);

    t.view->ClearItems();
    EXPECT_EQ(t.view->ItemCount(), 0);
    EXPECT_EQ(t.view->CreateColumn()->ID(), 0);
}

TEST(vlGridCustomTableView, AddingAnItemTwiceIsRefusedAndChangesNothing)
{
    PlainView t({"a"});
    TvlCustomGridTableItem* item = t.view->Items(0);
    EXPECT_THROW(t.view->AddItem(item), Exception);
    EXPECT_EQ(t.view->ItemCount(), 1);
    EXPECT_EQ(t.view->VisibleItemCount(), 1);
    EXPECT_EQ(t.dc()->GetItemCount(), 1);
    EXPECT_EQ(t.view->NextID(), 1);
}

TEST(vlGridCustomTableView, MovingAndHidingItemsRenumbersIndexesAndVisibleIndexes)
{
    PlainView t({"a", "b", "c"});
    TvlCustomGridTableItem* c = t.view->Items(2);
    t.view->ChangeItemIndex(c, -7);  // clamped to the first place
    EXPECT_EQ(c->Index(), 0);
    EXPECT_EQ(t.dc()->GetItem(0), c);
    t.view->Items(1)->SetVisible(false);
    ASSERT_EQ(t.view->VisibleItemCount(), 2);
    EXPECT_EQ(t.view->VisibleItems(0), c);
    EXPECT_EQ(t.view->Items(1)->VisibleIndex(), -1);
    EXPECT_EQ(t.view->Items(2)->VisibleIndex(), 1);
}

TEST(vlGridCustomTableView, AssignReplacesTheItemsByIdAndTakesTheIdCounter)
{
    PlainView target({"t0", "t1", "t2"});
    PlainView source({"s0", "s1"});
    delete source.view->GetItemByID(0);
    source.view->CreateColumn()->SetCaption(QStringLiteral("s2"));  // IDs 1, 2
    target.view->Assign(source.view);
    ASSERT_EQ(target.view->ItemCount(), 2);
    EXPECT_EQ(ids(target.view), (std::vector<int>{1, 2}));
    EXPECT_EQ(target.view->Items(0)->Caption(), QStringLiteral("s1"));
    EXPECT_EQ(target.view->Items(1)->Caption(), QStringLiteral("s2"));
    EXPECT_EQ(target.view->NextID(), source.view->NextID());
    EXPECT_EQ(target.dc()->GetItemCount(), 2);
}

TEST(vlGridCustomTableView, LayoutAssignmentMovesTheItemsItsBindingsNameAndKeepsTheirTags)
{
    PlainView t({"a", "b"});
    t.view->Items(0)->SetTag(7);
    PlainView layout({"A2", "B2"});
    // The layout's items name the view's items in the other order.
    layout.view->Items(0)->DataBinding()->SetData(t.view->Items(1));
    layout.view->Items(1)->DataBinding()->SetData(t.view->Items(0));
    layout.view->Items(1)->SetWidth(120);
    TvlCustomGridTableItem* a = t.view->Items(0);
    t.view->AssignLayout(layout.view);
    EXPECT_EQ(a->Index(), 1);
    EXPECT_EQ(a->Width(), 120);
    EXPECT_EQ(a->Tag(), 7);
}

TEST(vlCustomGridTableView, NavigatorActionsMoveTheFocusAndNextNeverAppends)
{
    PlainView t({"n"});
    for (const char* v : {"a", "b", "c"})
        t.AddRow({v});
    struct Step {
        int button;
        int focusedRow;
    };
    const Step steps[] = {{NBDI_FIRST, 0}, {NBDI_NEXT, 1}, {NBDI_LAST, 2}, {NBDI_NEXT, 2}, {NBDI_PRIOR, 1}};
    for (const Step& step : steps) {
        t.view->DoAction(step.button);
        EXPECT_EQ(t.dc()->GetFocusedRowIndex(), step.focusedRow) << "button " << step.button;
    }
    EXPECT_EQ(t.dc()->GetRecordCount(), 3);
}

// ---- the data controller and the binding --------------------------------------------------------

TEST(vlGridDataController, AnswersItemQuestionsThroughTheView)
{
    PlainView t({"a", "b"});
    EXPECT_EQ(t.dc()->GridView(), t.view);
    EXPECT_EQ(t.dc()->GetItemID(t.view->Items(1)), 1);
    EXPECT_EQ(t.dc()->GetItemID(&t.form), -1);
    EXPECT_EQ(t.dc()->GetItem(5), nullptr);

    t.AddRow({"x", "y"});
    t.AddRow({"z", "w"});
    int asked = -1;
    t.view->SetOnCanSelectRecord(TvlGridAllowRecordOperationEvent::FromFunction(
        [&](TvlCustomGridTableView*, TvlCustomGridRecord* ARecord, bool& AAllow) {
            asked = ARecord->Index();
            AAllow = ARecord->Index() != 1;
        }));
    EXPECT_TRUE(t.dc()->CanSelectRow(0));
    EXPECT_FALSE(t.dc()->CanSelectRow(1));
    EXPECT_EQ(asked, 1);
}

TEST(vlGridItemDataBinding, ValueTypeDefaultsToStringAndRefusesUnknownCaptions)
{
    PlainView t({"a"});
    TvlGridItemDataBinding* binding = t.view->Items(0)->DataBinding();
    ASSERT_NE(binding, nullptr);
    const String stringCaption = TvlStringValueType::Instance()->TypeCaption();
    EXPECT_EQ(binding->ValueType(), stringCaption);
    EXPECT_FALSE(binding->IsValueTypeStored());
    EXPECT_EQ(binding->GetDefaultWidth(), 64);
    EXPECT_TRUE(binding->GetDefaultCaption().isEmpty());

    const String integerCaption = TvlIntegerValueType::Instance()->TypeCaption();
    binding->SetValueType(integerCaption);
    EXPECT_EQ(binding->ValueType(), integerCaption);
    EXPECT_TRUE(binding->IsValueTypeStored());

    // A misspelt type keeps the field's type and is reported.
    EXPECT_THROW(binding->SetValueType(QStringLiteral("Integr")), EReadError);
    EXPECT_EQ(t.dc()->GetItemValueTypeClass(0), TvlIntegerValueType::Instance());
}

TEST(vlGridItemDataBinding, IntegerColumnsSortNumerically)
{
    PlainView t({"n"});
    t.view->Items(0)->DataBinding()->SetValueType(TvlIntegerValueType::Instance()->TypeCaption());
    for (int v : {10, 9, 100})
        t.dc()->SetValue(t.dc()->AppendRecord(), 0, Variant(v));
    t.dc()->SetItemSortOrder(0, soAscending);
    std::vector<int> order;
    for (int row = 0; row < t.dc()->GetRowCount(); ++row)
        order.push_back(t.dc()->GetRowValue(t.dc()->GetRowInfo(row), 0).AsInteger());
    EXPECT_EQ(order, (std::vector<int>{9, 10, 100}));
}

TEST(vlGridDataController, AssignDataCopiesEveryRecordOfAnUnboundController)
{
    PlainView source({"a", "b"});
    source.AddRow({"1", "x"});
    source.AddRow({"2", "y"});
    PlainView target({"a", "b"});
    target.AddRow({"old", "row"});
    target.dc()->AssignData(source.dc());
    ASSERT_EQ(target.dc()->GetRecordCount(), 2);
    EXPECT_EQ(target.dc()->GetDisplayText(1, 0), QStringLiteral("2"));
    EXPECT_EQ(target.dc()->GetDisplayText(1, 1), QStringLiteral("y"));
}

// ---- records ----------------------------------------------------------------------------------------

TEST(vlCustomGridTableViewData, RecordsAreMadeOnDemandAndRebuiltWhenTheRowCountChanges)
{
    PlainView t({"n"});
    t.view->BeginUpdate();
    for (int i = 0; i < 1000; ++i)
        t.dc()->SetValue(t.dc()->AppendRecord(), 0, Variant(QString::number(i)));
    t.view->EndUpdate();
    TvlCustomGridTableViewData* data = t.view->ViewData();
    ASSERT_EQ(data->RecordCount(), 1000);
    EXPECT_EQ(data->CreatedRecordCount(), 0);

    TvlCustomGridRecord* fifth = data->Records(5);
    EXPECT_EQ(data->CreatedRecordCount(), 1);
    EXPECT_EQ(fifth->Index(), 5);
    EXPECT_EQ(fifth->RecordIndex(), 5);
    EXPECT_EQ(fifth->GetDisplayText(0), QStringLiteral("5"));
    EXPECT_EQ(data->GetRecordByIndex(1000), nullptr);
    EXPECT_EQ(data->GetRecordByIndex(-1), nullptr);

    t.dc()->AppendRecord();
    EXPECT_EQ(data->RecordCount(), 1001);
    EXPECT_EQ(data->CreatedRecordCount(), 0);
}

TEST(vlCustomGridTableViewData, ALayoutNoticeKeepsTheRecordsAndRefreshesTheirRows)
{
    PlainView t({"n"});
    for (const char* v : {"c", "a", "b"})
        t.AddRow({v});
    TvlCustomGridRecord* first = t.view->ViewData()->Records(0);
    ASSERT_EQ(first->RecordIndex(), 0);
    t.dc()->SetItemSortOrder(0, soAscending);  // the rows move, their count stays
    EXPECT_EQ(t.view->ViewData()->CreatedRecordCount(), 1);
    EXPECT_EQ(t.view->ViewData()->Records(0), first);
    EXPECT_EQ(first->RecordIndex(), 1);
    EXPECT_EQ(first->GetDisplayText(0), QStringLiteral("a"));
}

TEST(vlCustomGridTableViewData, RecordByRecordIndexUsesMadeRecordsWhileLocked)
{
    PlainView t({"n"});
    for (const char* v : {"c", "a", "b"})
        t.AddRow({v});
    TvlCustomGridTableViewData* data = t.view->ViewData();
    EXPECT_EQ(data->GetRecordByRecordIndex(2)->Index(), 2);
    EXPECT_EQ(data->GetRecordByRecordIndex(3), nullptr);
    EXPECT_EQ(data->GetRecordByRecordIndex(-1), nullptr);

    t.dc()->SetItemSortOrder(0, soAscending);  // rows: a(1), b(2), c(0)
    t.view->BeginUpdate();
    TvlCustomGridRecord* made = data->Records(0);
    EXPECT_EQ(data->GetRecordByRecordIndex(1), made);
    // Not made yet: the row index gives it.
    EXPECT_EQ(data->GetRecordByRecordIndex(0)->Index(), 2);
    t.view->EndUpdate();
}

TEST(vlCustomGridRecord, NumpadKeysExpandOnlyWhatCanExpandAndEditKeysNeedCells)
{
    PlainView t({"n"});
    t.AddRow({"a"});
    TvlCustomGridRecord* record = t.view->ViewData()->Records(0);
    for (uint16_t key : {uint16_t(107), uint16_t(109)}) {
        uint16_t k = key;
        record->KeyDown(k, TShiftState{});
        EXPECT_EQ(k, key) << "a data row has nothing to expand";
    }
}

// ---- copying -----------------------------------------------------------------------------------------

TEST(vlCustomGridTableView, CopyJoinsCellsByTabsAndRowsByLineBreaks)
{
    struct Case {
        const char* name;
        bool captions;
        std::vector<std::vector<const char*>> rows;
        const char* expected;
    };
    const Case cases[] = {
        {"captions and two rows", true, {{"1", "x"}, {"2", "y"}}, "A\tB\r\n1\tx\r\n2\ty"},
        {"no captions", false, {{"1", "x"}, {"2", "y"}}, "1\tx\r\n2\ty"},
        {"no rows", true, {}, "A\tB"},
        {"a tab and line breaks stay in their cell", false, {{"a\tb", "c\r\nd"}}, "a b\tc  d"},
    };
    for (const Case& c : cases) {
        PlainView t({"A", "B"});
        t.view->OptionsBehavior()->SetCopyCaptionsToClipboard(c.captions);
        for (const auto& row : c.rows) {
            const int record = t.dc()->AppendRecord();
            for (size_t i = 0; i < row.size(); ++i)
                t.dc()->SetValue(record, int(i), Variant(QString::fromLatin1(row[i])));
        }
        EXPECT_EQ(t.view->GetCopyText(true), QString::fromLatin1(c.expected)) << c.name;
    }
}

TEST(vlCustomGridTableView, CopyTakesVisibleItemsAndSelectedRowsAndPutsTheTextOnTheClipboard)
{
    PlainView t({"A", "Hidden", "B"});
    t.view->Items(1)->SetVisible(false);
    t.AddRow({"1", "h", "x"});
    t.AddRow({"2", "h", "y"});
    t.AddRow({"3", "h", "z"});
    t.dc()->SetMultiSelect(true);
    t.dc()->ChangeRowSelection(0, true);
    t.dc()->ChangeRowSelection(2, true);
    t.view->OptionsBehavior()->SetCopyCaptionsToClipboard(false);
    t.view->CopyToClipboard(false);
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("1\tx\r\n3\tz"));

    // Without visible items nothing is copied, not even a line break.
    t.view->Items(0)->SetVisible(false);
    t.view->Items(2)->SetVisible(false);
    t.view->OptionsBehavior()->SetCopyCaptionsToClipboard(true);
    EXPECT_TRUE(t.view->GetCopyText(true).isEmpty());
}

// ---- drawing rules and events -------------------------------------------------------------------------

TEST(vlCustomGridTableView, OnlyTheFocusedCellIsDrawnSelectedWithCellSelectAndNoMultiSelect)
{
    gridtest::JobListFixture f;
    for (int i = 0; i < 2; ++i)
        f.AddJob(QStringLiteral("clip%1.avi").arg(i), QStringLiteral("00:00:10"), QStringLiteral("1 MB"));
    TvlGridTableView* view = f.view;
    view->OptionsSelection()->SetCellSelect(true);
    f.grid->SetFocusedView(view);
    view->DataController()->ChangeFocusedRowIndex(1);
    view->SetFocusedItem(view->VisibleItems(1));
    ASSERT_EQ(view->FocusedItem(), view->VisibleItems(1));
    TvlCustomGridRecord* focused = view->ViewData()->Records(1);
    TvlCustomGridRecord* other = view->ViewData()->Records(0);
    EXPECT_TRUE(view->DrawDataCellSelected(focused, view->VisibleItems(1), nullptr, false));
    EXPECT_FALSE(view->DrawDataCellSelected(focused, view->VisibleItems(0), nullptr, false));
    EXPECT_FALSE(view->DrawDataCellSelected(other, view->VisibleItems(1), nullptr, false));
    // With InvertSelect every cell but the focused one shows the selection.
    view->OptionsSelection()->SetInvertSelect(true);
    EXPECT_FALSE(view->DrawDataCellSelected(focused, view->VisibleItems(1), nullptr, false));
    EXPECT_TRUE(view->DrawDataCellSelected(focused, view->VisibleItems(0), nullptr, false));
}

TEST(vlCustomGridTableView, AnEventRebindingTheSameCodeIsNoChange)
{
    struct Handler {
        void DblClick(TvlCustomGridTableView*, TvlCustomGridCellViewInfo*, TMouseButton, TShiftState, bool& AHandled)
        {
            AHandled = true;
        }
    } first, second;
    PlainView t({"a"});
    t.view->SetOnCellDblClick(TvlGridCellClickEvent(&first, &Handler::DblClick));
    EXPECT_TRUE(t.view->DoCellDblClick(nullptr, mbLeft, TShiftState{}));
    const TvlGridCellClickEvent before = t.view->OnCellDblClick();
    t.view->SetOnCellDblClick(TvlGridCellClickEvent(&second, &Handler::DblClick));
    EXPECT_TRUE(t.view->OnCellDblClick() == before) << "the same method on another object is not taken";
}

}  // namespace
