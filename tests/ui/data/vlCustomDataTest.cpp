// Tests of the data controller: records and values, change descriptions in
// their order, the row index (sorting, grouping, focus, selection), the
// editing state machine and group access, against a fake owner.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/TypInfo.h"
#include "tests/harness/DefaultFormats.h"
#include "ui/data/vlData.h"

namespace {

// The owner a grid view would be: N items, and a log of what it is told.
struct FakeOwner : IvlDataControllerOwner {
    std::vector<std::unique_ptr<TObject>> items;
    TComponentState state;
    std::vector<std::string> log;

    int GetDataItemCount() const override { return int(items.size()); }
    TObject* GetDataItem(int AIndex) const override { return items.at(size_t(AIndex)).get(); }
    TComponentState GetDataOwnerState() const override { return state; }
    void UpdateDataControl(TvlUpdateControlInfo* AInfo) override
    {
        static const char* const kinds[] = {"Item", "Record", "RecordAdded", "RecordDeleted", "All"};
        std::string s;
        if (auto* d = dynamic_cast<TvlDataChangedInfo*>(AInfo))
            s = std::string("data ") + kinds[d->Kind] + " " + std::to_string(d->ItemIndex) + " " +
                std::to_string(d->RecordIndex);
        else if (dynamic_cast<TvlLayoutChangedInfo*>(AInfo))
            s = "layout";
        else if (auto* u = dynamic_cast<TvlUpdateRecordInfo*>(AInfo))
            s = "update " + std::to_string(u->RecordIndex);
        else if (auto* r = dynamic_cast<TvlFocusedRowChangedInfo*>(AInfo))
            s = "row " + std::to_string(r->PrevFocusedRowIndex) + ">" + std::to_string(r->FocusedRowIndex);
        else if (auto* f = dynamic_cast<TvlFocusedRecordChangedInfo*>(AInfo))
            s = "record " + std::to_string(f->PrevFocusedRecordIndex) + ">" + std::to_string(f->FocusedRecordIndex);
        else if (auto* sel = dynamic_cast<TvlSelectionChangedInfo*>(AInfo)) {
            s = "sel";
            for (int i = 0; i < sel->GetCount(); ++i)
                s += " " + std::to_string(sel->GetRowIndex(i));
        } else if (dynamic_cast<TvlGroupingChangingInfo*>(AInfo))
            s = "grouping";
        else if (dynamic_cast<TvlBookmarkChangedInfo*>(AInfo))
            s = "bookmark";
        else if (dynamic_cast<TvlSearchChangedInfo*>(AInfo))
            s = "search";
        log.push_back(s);
    }
    std::vector<std::string> take() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;

// The record index of every row, in row order.
std::vector<int> rowRecordsOf(const TvlCustomDataController& ADataController)
{
    std::vector<int> r;
    for (int i = 0; i < ADataController.GetRowCount(); ++i)
        r.push_back(ADataController.GetRowInfo(i).RecordIndex);
    return r;
}

struct Controller {
    FakeOwner owner;
    std::unique_ptr<TvlDataController> dc;

    explicit Controller(int AItemCount, TvlValueTypeClass AType = TvlVariantValueType::Instance())
    {
        dc = std::make_unique<TvlDataController>(&owner);
        for (int i = 0; i < AItemCount; ++i) {
            owner.items.push_back(std::make_unique<TObject>());
            dc->AddItem(owner.items.back().get())->SetValueTypeClass(AType);
        }
        dc->UpdateItemIndexes();
        owner.take();
    }
    // Records with one value each in item 0.
    void fill(const std::vector<Variant>& AValues)
    {
        dc->BeginUpdate();
        for (const Variant& v : AValues)
            dc->SetValue(dc->AppendRecord(), 0, v);
        dc->EndUpdate();
        owner.take();
    }
    std::vector<int> rowRecords() const { return rowRecordsOf(*dc); }
};

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EvlInvalidDataControllerOperation& e) {
        return e.Message().toStdString();
    }
    return "";
}

}  // namespace

// The job list's own use: ten columns, appended rows with text, Integer and
// Int64 cells, the new row focused, progress written in one lock, a removed
// row and the list cleared from the last row to the first.
TEST(vlCustomData, JobListScript)
{
    Controller c(10);
    TvlCustomDataController* dc = c.dc.get();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dc->AppendRecord(), i);
    EXPECT_EQ(c.owner.take(), Log(3, "data RecordAdded -1 -1"));
    EXPECT_EQ(dc->GetFocusedRowIndex(), -1);
    EXPECT_EQ(dc->GetSelectedCount(), 0);

    dc->SetValue(2, 0, Variant(String::fromLatin1(" clip.avi")));
    dc->SetValue(2, 9, Variant(2));
    dc->SetValue(2, 3, Variant(int64_t(1) << 40));
    EXPECT_EQ(c.owner.take(), (Log{"data Item 0 2", "data Item 9 2", "data Item 3 2"}));
    EXPECT_EQ(dc->GetValue(2, 3).VType(), varInt64);
    EXPECT_EQ(dc->GetValue(2, 9).VType(), varInteger);
    EXPECT_EQ(dc->GetDisplayText(2, 0), String::fromLatin1(" clip.avi"));

    dc->SetFocusedRowIndex(2);
    EXPECT_EQ(c.owner.take(), (Log{"row -1>2", "record -1>2", "sel 2"}));
    EXPECT_EQ(dc->GetSelectedCount(), 1);
    EXPECT_EQ(dc->GetSelectedRowIndex(0), 2);
    EXPECT_EQ(dc->GetSelectedRowIndex(1), -1);

    dc->BeginUpdate();
    for (int i = 0; i < 100; ++i)
        dc->SetValue(i % 3, 7, Variant(i));
    EXPECT_TRUE(c.owner.log.empty());
    dc->EndUpdate();
    EXPECT_EQ(c.owner.take(), Log{"data All -1 -1"});
    EXPECT_EQ(dc->GetValue(0, 7).AsInteger(), 99);

    // The focused last record goes when the middle one does: the focus has
    // no record left to stay on (and row 2 is gone, so no row change).
    dc->DeleteRecord(1);
    EXPECT_EQ(c.owner.take(), (Log{"data RecordDeleted -1 -1", "record 2>-1", "sel 2"}));
    EXPECT_EQ(dc->GetSelectedCount(), 0);
    EXPECT_EQ(dc->GetSelectedRowIndex(0), -1);
    EXPECT_EQ(VarToStr(dc->GetValue(1, 0)), String::fromLatin1(" clip.avi"));

    for (int r = dc->GetRecordCount() - 1; r >= 0; --r)
        dc->DeleteRecord(r);
    EXPECT_EQ(c.owner.take(), Log(2, "data RecordDeleted -1 -1"));
    EXPECT_EQ(dc->GetRowCount(), 0);

    EXPECT_EQ(errorOf([&] { dc->SetValue(0, 0, Variant(1)); }), "RecordIndex out of range");
    EXPECT_EQ(errorOf([&] { dc->AppendRecord(); dc->GetValue(0, 10); }), "ItemIndex out of range");
    EXPECT_EQ(errorOf([&] { dc->DeleteRecord(5); }), "RecordIndex out of range");
}

TEST(vlCustomData, RecordAndValueEdgeCases)
{
    struct Case {
        const char* name;
        std::function<void(Controller&)> run;
    };
    const Case cases[] = {
        {"appending numbers records from 0 and focuses nothing",
         [](Controller& c) {
             EXPECT_EQ(c.dc->AppendRecord(), 0);
             EXPECT_EQ(c.dc->AppendRecord(), 1);
             EXPECT_EQ(c.dc->GetFocusedRowIndex(), -1);
         }},
        {"the first value access creates the new-item record",
         [](Controller& c) {
             c.dc->AppendRecord();
             EXPECT_EQ(c.dc->DataStorage()->InternalRecordCount(), 0);
             EXPECT_EQ(errorOf([&] { c.dc->SetValue(1, 0, Variant(1)); }), "RecordIndex out of range");
             EXPECT_EQ(c.dc->DataStorage()->InternalRecordCount(), 1);
             // ... which the record-index check accepts.
             c.dc->SetValue(c.dc->GetNewItemRecordIndex(), 0, Variant(4));
             EXPECT_EQ(c.dc->GetValue(c.dc->GetNewItemRecordIndex(), 0).AsInteger(), 4);
         }},
        {"internal fields have no item index",
         [](Controller& c) {
             c.dc->AppendRecord();
             c.dc->AddInternalField()->SetValueTypeClass(TvlIntegerValueType::Instance());
             EXPECT_EQ(c.dc->GetItemCount(), 2);
             EXPECT_EQ(errorOf([&] { c.dc->GetValue(0, 2); }), "ItemIndex out of range");
         }},
        {"deleting the edited record ends the edit without events",
         [](Controller& c) {
             c.fill({Variant(1), Variant(2)});
             int events = 0;
             c.dc->OnBeforeDelete = TvlDataDetailExpandedEvent::FromFunction([&](TvlCustomDataController*, int) { ++events; });
             c.dc->OnAfterCancel = TvlDataControllerNotifyEvent::FromFunction([&](TvlCustomDataController*) { ++events; });
             c.dc->OnAfterPost = c.dc->OnAfterCancel;
             c.dc->SetFocusedRowIndex(1);
             c.dc->Edit();
             ASSERT_TRUE(c.dc->IsEditing());
             c.dc->DeleteRecord(1);
             EXPECT_FALSE(c.dc->IsEditing());
             EXPECT_EQ(events, 0);
         }},
        {"deleting the last record leaves no row and no focus",
         [](Controller& c) {
             c.fill({Variant(1)});
             c.dc->SetFocusedRowIndex(0);
             c.dc->DeleteRecord(0);
             EXPECT_EQ(c.dc->GetRowCount(), 0);
             EXPECT_EQ(c.dc->GetFocusedRowIndex(), -1);
         }},
        {"a negative record count empties; the same count says nothing",
         [](Controller& c) {
             c.fill({Variant(1), Variant(2), Variant(3)});
             c.dc->SetRecordCount(3);
             EXPECT_TRUE(c.owner.take().empty());
             c.dc->SetRecordCount(-5);
             EXPECT_EQ(c.dc->GetRecordCount(), 0);
             EXPECT_EQ(c.owner.take(), Log{"data RecordDeleted -1 -1"});
         }},
        {"single select counts the focused row only",
         [](Controller& c) {
             c.fill({Variant(1), Variant(2)});
             EXPECT_EQ(c.dc->GetSelectedCount(), 0);
             c.dc->SetFocusedRowIndex(1);
             EXPECT_EQ(c.dc->GetSelectedCount(), 1);
             EXPECT_TRUE(c.dc->IsRowSelected(1));
             EXPECT_FALSE(c.dc->IsRowSelected(0));
             c.dc->SetFocusedSelected(false);
             EXPECT_EQ(c.dc->GetSelectedCount(), 0);
         }},
        {"an item is added once; nil any number of times",
         [](Controller& c) {
             EXPECT_EQ(errorOf([&] { c.dc->AddItem(c.owner.items[0].get()); }), "Item already exists");
             EXPECT_NE(c.dc->AddItem(nullptr), nullptr);
             EXPECT_NE(c.dc->AddItem(nullptr), nullptr);
         }},
        {"the focus is clamped to the rows",
         [](Controller& c) {
             c.fill({Variant(1), Variant(2)});
             c.dc->SetFocusedRowIndex(7);
             EXPECT_EQ(c.dc->GetFocusedRowIndex(), 1);
             c.dc->SetFocusedRowIndex(-3);
             EXPECT_EQ(c.dc->GetFocusedRowIndex(), -1);
         }},
        {"an EndUpdate without BeginUpdate leaves later notices alone",
         [](Controller& c) {
             c.dc->EndUpdate();
             c.dc->EndUpdate();
             EXPECT_EQ(c.dc->GetUpdateLockCount(), 0);
             c.dc->AppendRecord();
             EXPECT_EQ(c.owner.take(), Log{"data RecordAdded -1 -1"});
         }},
        {"IsBOF and IsEOF: both on an empty list, neither with rows and no focus",
         [](Controller& c) {
             EXPECT_TRUE(c.dc->IsBOF());
             EXPECT_TRUE(c.dc->IsEOF());
             c.fill({Variant(1), Variant(2)});
             EXPECT_FALSE(c.dc->IsBOF());
             EXPECT_FALSE(c.dc->IsEOF());
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Controller c(2);
        k.run(c);
    }
}

TEST(vlCustomData, ChangesMergeAndArriveInOrder)
{
    struct Case {
        std::vector<std::pair<int, int>> writes;  // (record, item)
        const char* expected;
    } cases[] = {
        {{{1, 0}, {1, 0}}, "data Item 0 1"},
        {{{1, 0}, {1, 1}}, "data Record -1 1"},
        {{{1, 0}, {2, 0}}, "data All -1 -1"},
    };
    for (const Case& k : cases) {
        Controller c(2);
        c.fill({Variant(1), Variant(2), Variant(3)});
        c.dc->BeginUpdate();
        for (auto [r, i] : k.writes)
            c.dc->SetValue(r, i, Variant(9));
        c.dc->EndUpdate();
        EXPECT_EQ(c.owner.take(), Log{k.expected});
    }

    // A focus move from row 3 to row 5 together with a write: data first,
    // then the row, the record and the selection.
    Controller c(1);
    c.fill({Variant(0), Variant(1), Variant(2), Variant(3), Variant(4), Variant(5)});
    c.dc->SetFocusedRowIndex(3);
    c.owner.take();
    c.dc->BeginUpdate();
    c.dc->SetValue(5, 0, Variant(50));
    c.dc->SetFocusedRowIndex(4);
    c.dc->SetFocusedRowIndex(5);
    c.dc->EndUpdate();
    EXPECT_EQ(c.owner.take(), (Log{"data Item 0 5", "row 3>5", "record 3>5", "sel 3 5"}));

    // An append after a write to another record inside one lock is everything.
    c.dc->BeginUpdate();
    c.dc->SetValue(5, 0, Variant(1));
    c.dc->AppendRecord();
    c.dc->EndUpdate();
    EXPECT_EQ(c.owner.take().front(), "data All -1 -1");
}

TEST(vlCustomData, SelectionDescriptionsListOnlyWhatASingleRowSelectionChanged)
{
    Controller c(1);
    c.fill({Variant(0), Variant(1), Variant(2), Variant(3), Variant(4)});
    c.dc->SetMultiSelect(true);
    struct Step {
        std::function<void(TvlCustomDataController*)> act;
        Log expected;
    } steps[] = {
        {[](TvlCustomDataController* dc) { dc->ChangeRowSelection(1, true); }, {"sel 1"}},
        {[](TvlCustomDataController* dc) {
             dc->BeginUpdate();
             dc->ClearSelection();
             dc->ChangeRowSelection(2, true);
             dc->EndUpdate();
         },
         {"sel 1 2"}},                                                                     // one to one: both
        {[](TvlCustomDataController* dc) { dc->ChangeRowSelection(2, true); }, {}},       // unchanged
        {[](TvlCustomDataController* dc) { dc->ChangeRowSelection(3, true); }, {"sel"}},  // to many: none
        {[](TvlCustomDataController* dc) {
             dc->BeginUpdate();
             dc->ClearSelection();
             dc->ChangeRowSelection(4, true);
             dc->EndUpdate();
         },
         {"sel"}},  // many to one: none
        {[](TvlCustomDataController* dc) { dc->SelectRows(3, 1); }, {"sel"}},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        steps[i].act(c.dc.get());
        EXPECT_EQ(c.owner.take(), steps[i].expected);
    }
    EXPECT_EQ(c.dc->GetSelectedCount(), 4);  // 1..4
    EXPECT_EQ(c.dc->GetSelectedRowIndex(0), 1);

    TvlSelectionChangedInfo same(4, 4);
    EXPECT_EQ(same.GetCount(), 1);
    EXPECT_THROW(same.GetRowIndex(1), EListError);
}

TEST(vlCustomData, FieldsKeepItemsFirstReferencesAndColumns)
{
    Controller c(2, TvlIntegerValueType::Instance());
    TvlCustomDataFieldList* fields = c.dc->Fields();
    TvlCustomDataField* internal = c.dc->AddInternalField();
    TvlCustomDataField* late = c.dc->AddInternalField();
    EXPECT_EQ(fields->IndexOf(late), 3);
    TvlCustomDataField* item = c.dc->AddItem(nullptr);
    EXPECT_EQ(fields->IndexOf(item), 2);
    EXPECT_EQ(c.dc->GetItemCount(), 3);
    EXPECT_EQ(c.dc->GetItemField(2), item);
    (void)internal;

    // Two fields share the first one's column; when it goes the first of
    // them owns the column and the other follows it.
    TvlCustomDataField* a = fields->GetItem(0);
    TvlCustomDataField* b = fields->GetItem(1);
    c.fill({Variant(7)});
    item->SetReferenceField(a);
    b->SetReferenceField(a);
    EXPECT_EQ(b->GetValueDef(), a->GetValueDef());
    // A cycle is refused.
    a->SetReferenceField(b);
    EXPECT_EQ(a->ReferenceField(), nullptr);
    fields->Remove(a);
    EXPECT_EQ(b->ReferenceField(), nullptr);
    EXPECT_EQ(item->ReferenceField(), b);
    EXPECT_EQ(c.dc->GetValue(0, 0).AsInteger(), 7);  // b is item 0 now
    EXPECT_EQ(item->GetValueDef(), b->GetValueDef());

    // A new value type makes the column anew: its values are gone.
    c.dc->ChangeValueTypeClass(0, TvlStringValueType::Instance());
    EXPECT_TRUE(VarIsNull(c.dc->GetValue(0, 0)));
}

// ---------------------------------------------------------------- rows

TEST(vlCustomData, SortingKeepsRecordOrderForEqualKeysBothWays)
{
    Controller c(2);
    c.fill({Variant(2), Variant(1), Variant(2), Variant(1), Variant(2)});
    c.dc->SetItemSortOrder(0, soAscending);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 3, 0, 2, 4}));
    c.dc->SetItemSortOrder(0, soDescending);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 2, 4, 1, 3}));

    // OnCompare starts at 0; left there, record order decides.
    int calls = 0;
    c.dc->OnCompare = TvlDataControllerCompareEvent::FromFunction(
        [&](TvlCustomDataController*, int, int, int, const Variant&, const Variant&, int& Compare) {
            EXPECT_EQ(Compare, 0);
            ++calls;
        });
    c.dc->Refresh();
    EXPECT_GT(calls, 0);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(vlCustomData, SortingOptionsAndSortingIndex)
{
    Controller c(3, TvlStringValueType::Instance());
    c.fill({Variant("b"), Variant("A"), Variant("a"), Variant("B")});
    c.dc->SetItemSortOrder(0, soAscending);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 3, 2, 0}));  // ordinal: capitals first
    c.dc->SetOptions(c.dc->Options() + TvlDataControllerOptions{dcoCaseInsensitive});
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 2, 0, 3}));
    c.dc->SetOptions(c.dc->Options() + TvlDataControllerOptions{dcoAnsiSort});
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 2, 0, 3}));

    c.dc->SetItemSortOrder(1, soAscending);
    c.dc->SetItemSortOrder(2, soDescending);
    EXPECT_EQ(c.dc->GetSortingItemCount(), 3);
    c.dc->SetItemSortingIndex(0, 10);
    EXPECT_EQ(c.dc->GetItemSortingIndex(0), 2);
    EXPECT_EQ(c.dc->GetSortingItemIndex(0), 1);
    c.dc->ClearSorting(false);
    EXPECT_EQ(c.dc->GetSortingItemCount(), 0);
    EXPECT_EQ(c.dc->GetItemSortOrder(0), soNone);
}

// VarCompare answers -1 both ways for "abc" against 5; the sort must stay
// in bounds and give the same order every time.
TEST(vlCustomData, AMixedVariantColumnSortsDeterministically)
{
    std::vector<Variant> values;
    for (int i = 0; i < 500; ++i)
        values.push_back(i % 3 == 0 ? Variant(String::fromLatin1("abc")) : i % 3 == 1 ? Variant(i) : Variant(i * 0.5));
    std::vector<int> first;
    for (int pass = 0; pass < 2; ++pass) {
        Controller c(1);
        c.fill(values);
        c.dc->SetItemSortOrder(0, soAscending);
        std::vector<int> rows = c.rowRecords();
        ASSERT_EQ(rows.size(), values.size());
        std::vector<int> sorted = rows;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < int(sorted.size()); ++i)
            ASSERT_EQ(sorted[size_t(i)], i);  // a permutation: nothing lost or doubled
        if (pass == 0)
            first = rows;
        else
            EXPECT_EQ(rows, first);
    }

    std::vector<int> list{3, 1, 2};
    QuickSortList(list, 0, 2, [](int, int) { return -1; });  // never in order, never out of bounds
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<int>{1, 2, 3}));
}

TEST(vlCustomData, GroupingBuildsRowsAndKeepsFocus)
{
    Controller c(2);
    c.fill({Variant(1), Variant(2), Variant(1)});
    c.dc->Groups()->ChangeGroupIndex(0, 0);
    EXPECT_EQ(c.owner.take().front(), "grouping");
    ASSERT_EQ(c.dc->GetRowCount(), 2);
    EXPECT_EQ(c.dc->GetRowInfo(0).Level, 0);
    EXPECT_FALSE(c.dc->GetRowInfo(0).Expanded);
    c.dc->Groups()->ChangeExpanding(0, true, false);
    ASSERT_EQ(c.dc->GetRowCount(), 4);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 0, 2, 1}));
    EXPECT_EQ(c.dc->GetRowInfo(1).Level, 1);
    int item = 1;
    EXPECT_EQ(c.dc->GetRowDisplayText(c.dc->GetRowInfo(0), item), String::fromLatin1("1"));
    EXPECT_EQ(item, 0);

    // Collapsing the focused record's group focuses the group row; expanding
    // again leaves the focus there.
    c.dc->SetFocusedRowIndex(2);
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 2);
    c.dc->Groups()->ChangeExpanding(0, false, false);
    EXPECT_EQ(c.dc->GetFocusedRowIndex(), 0);
    c.dc->Groups()->ChangeExpanding(0, true, false);
    EXPECT_EQ(c.dc->GetFocusedRowIndex(), 0);

    // A record inside a collapsed group: no row unless made visible.
    c.dc->Groups()->FullCollapse();
    EXPECT_EQ(c.dc->GetRowIndexByRecordIndex(1, false), -1);
    EXPECT_EQ(c.dc->GetRowIndexByRecordIndex(1, true), 2);
    EXPECT_EQ(c.dc->GetRowCount(), 3);

    // Saved expansion survives an added record.
    c.dc->SetValue(c.dc->AppendRecord(), 0, Variant(3));
    EXPECT_TRUE(c.dc->GetRowInfo(1).Expanded);
    EXPECT_EQ(c.dc->GetRowCount(), 4);
}

TEST(vlCustomData, ResortingKeepsFocusAndSelectionOnTheirRecords)
{
    Controller c(1);
    c.fill({Variant(5), Variant(3), Variant(9), Variant(1)});
    c.dc->SetMultiSelect(true);
    c.dc->SetFocusedRowIndex(2);  // record 2
    c.dc->ChangeRowSelection(0, true);
    c.dc->ChangeRowSelection(2, true);
    c.dc->SetItemSortOrder(0, soAscending);  // rows: 3 1 0 2
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 2);
    EXPECT_EQ(c.dc->GetFocusedRowIndex(), 3);
    ASSERT_EQ(c.dc->GetSelectedCount(), 2);
    EXPECT_EQ(c.dc->GetSelectedRowIndex(0), 2);
    EXPECT_EQ(c.dc->GetSelectedRowIndex(1), 3);
}

TEST(vlCustomData, GroupAccess)
{
    Controller c(2);
    c.dc->BeginUpdate();
    const int values[][2] = {{1, 10}, {2, 20}, {1, 20}, {1, 10}, {2, 10}};
    for (auto [a, b] : values) {
        const int r = c.dc->AppendRecord();
        c.dc->SetValue(r, 0, Variant(a));
        c.dc->SetValue(r, 1, Variant(b));
    }
    c.dc->EndUpdate();
    TvlDataControllerGroups* g = c.dc->Groups();
    EXPECT_EQ(g->GetChildCount(-1), 0);  // ungrouped
    g->ClearGrouping();                  // nothing grouped: only a refresh
    c.dc->SetFocusedRowIndex(0);
    c.dc->Edit();
    g->ChangeGroupIndex(0, -1);  // already ungrouped: no editing check
    EXPECT_TRUE(c.dc->IsEditing());
    g->ClearGrouping();
    EXPECT_TRUE(c.dc->IsEditing());
    g->ChangeGroupIndex(0, 0);
    EXPECT_FALSE(c.dc->IsEditing());
    g->ChangeGroupIndex(1, 1);
    EXPECT_EQ(g->GetGroupingItemCount(), 2);
    EXPECT_EQ(g->GetGroupingItemIndex(1), 1);
    EXPECT_EQ(g->GetItemGroupIndex(1), 1);
    EXPECT_EQ(g->GetChildCount(-1), 2);
    const int top = g->GetChildDataGroupIndex(-1, 0);
    EXPECT_EQ(g->GetLevel(top), 0);
    EXPECT_EQ(g->GetChildCount(top), 2);
    std::vector<int> records;
    g->LoadRecordIndexes(records, top);
    EXPECT_EQ(records, (std::vector<int>{0, 3, 2}));  // value 1: subgroup 10, then 20
    const int sub = g->GetChildDataGroupIndex(top, 1);
    EXPECT_EQ(g->GetChildCount(sub), 1);
    EXPECT_EQ(g->GetChildRecordIndex(sub, 0), 2);
    EXPECT_EQ(g->GetChildRecordIndex(sub, 1), -1);
    EXPECT_EQ(g->GetChildDataGroupIndex(sub, 0), -1);
    EXPECT_EQ(g->GetLevel(99), -1);

    // A data row changes nothing; with groups always expanded nothing collapses.
    g->FullExpand();
    const int rows = c.dc->GetRowCount();
    EXPECT_EQ(rows, 2 + 4 + 5);
    g->ChangeExpanding(2, false, false);  // row 2 is a data row
    EXPECT_EQ(c.dc->GetRowCount(), rows);
    EXPECT_TRUE(g->IsRowInGroup(2, 0));
    EXPECT_FALSE(g->IsRowInGroup(0, 2));
    c.dc->SetOptions(c.dc->Options() + TvlDataControllerOptions{dcoGroupsAlwaysExpanded});
    g->FullCollapse();
    g->ChangeExpanding(0, false, true);
    EXPECT_EQ(c.dc->GetRowCount(), rows);
    EXPECT_EQ(errorOf([&] { g->ChangeExpanding(rows, true, false); }), "RowIndex out of range");
}

// ---------------------------------------------------------------- editing

TEST(vlCustomData, EditingStateMachine)
{
    struct Case {
        const char* name;
        std::function<void(Controller&, std::string&)> run;
        const char* state;   // after: Browse, Edit or Insert
        const char* events;  // fired, in order
    };
    const Case cases[] = {
        {"Edit from Browse", [](Controller& c, std::string&) { c.dc->Edit(); }, "Edit", ""},
        {"Insert", [](Controller& c, std::string&) { c.dc->Insert(); }, "Insert", "BI NR AI "},
        {"Insert twice", [](Controller& c, std::string&) { c.dc->Insert(); c.dc->Insert(); }, "Insert", "BI NR AI "},
        {"untouched Insert, Post(False)",
         [](Controller& c, std::string&) {
             c.dc->Insert();
             c.dc->Post(false);
             EXPECT_EQ(c.dc->GetRecordCount(), 10);
         },
         "Browse", "BI NR AI BC AC "},
        {"untouched Insert, Post(True)",
         [](Controller& c, std::string&) {
             c.dc->Insert();
             c.dc->Post(true);
             EXPECT_EQ(c.dc->GetRecordCount(), 11);
         },
         "Browse", "BI NR AI BP AP "},
        {"Edit, value, Post",
         [](Controller& c, std::string&) {
             c.dc->SetEditValue(0, Variant(100), 0);
             c.dc->Post();
             EXPECT_EQ(c.dc->GetValue(3, 0).AsInteger(), 100);
         },
         "Browse", "BP AP "},
        {"Edit, value, Cancel restores",
         [](Controller& c, std::string&) {
             c.dc->SetEditValue(0, Variant(100), 0);
             c.dc->SetValue(3, 1, Variant(7));
             c.dc->Cancel();
             EXPECT_EQ(c.dc->GetValue(3, 0).AsInteger(), 3);
             EXPECT_TRUE(VarIsNull(c.dc->GetValue(3, 1)));
         },
         "Browse", "BC AC "},
        {"an empty text stores Null",
         [](Controller& c, std::string&) {
             c.dc->SetEditValue(0, Variant(String()), 1);
             EXPECT_TRUE(VarIsNull(c.dc->GetValue(3, 0)));
         },
         "Edit", ""},
        {"focus leaving the edited record posts",
         [](Controller& c, std::string&) {
             c.dc->SetEditValue(0, Variant(100), 0);
             c.dc->SetFocusedRowIndex(5);
         },
         "Browse", "BP AP "},
        {"Insert at record 3 of 10",
         [](Controller& c, std::string&) {
             c.dc->Insert();
             EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 3);
             EXPECT_EQ(c.dc->GetValue(4, 0).AsInteger(), 3);
             EXPECT_EQ(c.dc->GetFocusedRowIndex(), 3);
         },
         "Insert", "BI NR AI "},
        {"DeleteSelection of rows 2, 5 and 9",
         [](Controller& c, std::string& log) {
             c.dc->SetMultiSelect(true);
             c.dc->ClearSelection();
             for (int row : {2, 5, 9})
                 c.dc->ChangeRowSelection(row, true);
             c.dc->OnBeforeDelete = TvlDataDetailExpandedEvent::FromFunction(
                 [&](TvlCustomDataController*, int r) { log += "BD" + std::to_string(r) + " "; });
             c.dc->DeleteSelection();
             EXPECT_EQ(c.dc->GetRecordCount(), 7);
         },
         "Browse", "BD9 AD BD5 AD BD2 AD "},
        {"DeleteFocused focuses the next row",
         [](Controller& c, std::string&) {
             c.dc->DeleteFocused();
             EXPECT_EQ(c.dc->GetFocusedRowIndex(), 3);
             EXPECT_EQ(c.dc->GetValue(c.dc->GetFocusedRecordIndex(), 0).AsInteger(), 4);
         },
         "Browse", "BD3 AD "},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Controller c(2);
        std::vector<Variant> values;
        for (int i = 0; i < 10; ++i)
            values.push_back(Variant(i));
        c.fill(values);
        c.dc->SetFocusedRowIndex(3);
        std::string log;
        auto note = [&](const char* s) {
            return TvlDataControllerNotifyEvent::FromFunction([&log, s](TvlCustomDataController*) { log += s; });
        };
        c.dc->OnBeforeInsert = note("BI ");
        c.dc->OnAfterInsert = note("AI ");
        c.dc->OnBeforePost = note("BP ");
        c.dc->OnAfterPost = note("AP ");
        c.dc->OnBeforeCancel = note("BC ");
        c.dc->OnAfterCancel = note("AC ");
        c.dc->OnAfterDelete = note("AD ");
        c.dc->OnNewRecord = TvlDataDetailExpandedEvent::FromFunction([&](TvlCustomDataController*, int) { log += "NR "; });
        c.dc->OnBeforeDelete = TvlDataDetailExpandedEvent::FromFunction(
            [&](TvlCustomDataController*, int r) { log += "BD" + std::to_string(r) + " "; });
        k.run(c, log);
        const TvlDataEditStates s = c.dc->GetEditState();
        const char* state = s.Contains(desInserting) ? "Insert" : s.Contains(desEditing) ? "Edit" : "Browse";
        EXPECT_STREQ(state, k.state);
        EXPECT_EQ(log, k.events);
    }
}

TEST(vlCustomData, AnEditedRowKeepsItsPlaceUntilPosted)
{
    Controller c(1);
    c.fill({Variant(3), Variant(1), Variant(2)});
    c.dc->SetItemSortOrder(0, soAscending);  // rows: 1 2 0
    c.dc->SetFocusedRowIndex(2);             // record 0, the last row
    c.dc->SetEditValue(0, Variant(0), 0);
    c.dc->Refresh();
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 2, 0}));
    c.dc->Post();
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 0);
    EXPECT_EQ(c.dc->GetFocusedRowIndex(), 0);

    // An insert in a sorted list shows just before the record it pushed down.
    c.dc->SetFocusedRowIndex(1);  // record 1
    c.dc->Insert();
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 1);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 1, 2, 3}));
    c.dc->Cancel();
    EXPECT_EQ(c.dc->GetRecordCount(), 3);
}

TEST(vlCustomData, UnboundReaderAndSearch)
{
    Controller c(1, TvlStringValueType::Instance());
    c.fill({Variant("Apple"), Variant("Banana"), Variant("Berry")});
    TvlValueDef* def = c.dc->GetItemField(0)->GetValueDef();
    TvlValueDefUnboundReader reader;
    EXPECT_TRUE(VarIsNull(reader.ValueFor(def)));
    reader.SetValue(def, Variant(5));
    std::vector<TvlValueDef*> defs{def};
    for (int i = 1; i < 5; ++i) {
        TvlCustomDataField* f = c.dc->AddInternalField();
        f->SetValueTypeClass(TvlIntegerValueType::Instance());
        defs.push_back(f->GetValueDef());
        reader.SetValue(defs.back(), Variant(i));
    }
    TvlValueDef* mirror = c.dc->DataStorage()->InternalValueDefs()->FindByLinkedItem(def);
    ASSERT_NE(mirror, nullptr);
    EXPECT_EQ(reader.ValueFor(mirror).AsInteger(), 5);
    reader.Truncate(2);
    EXPECT_EQ(reader.ItemCount(), 5);
    EXPECT_EQ(reader.ValueCount(), 2);
    EXPECT_EQ(reader.ValueFor(defs[1]).AsInteger(), 1);
    EXPECT_TRUE(VarIsNull(reader.ValueFor(defs[3])));

    c.dc->SetFocusedRowIndex(0);
    c.owner.take();
    EXPECT_TRUE(c.dc->Search()->Locate(0, String::fromLatin1("b")));
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 1);
    EXPECT_TRUE(c.dc->Search()->Locate(0, String::fromLatin1("BE")));
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 2);
    EXPECT_FALSE(c.dc->Search()->LocateNext(true));  // the last match: stays
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 2);
    EXPECT_FALSE(c.dc->Search()->Locate(0, String::fromLatin1("Berrylonger")));
    EXPECT_EQ(c.dc->Search()->GetSearchText(), String::fromLatin1("BE"));
    EXPECT_TRUE(c.dc->Search()->GetSearching());
    EXPECT_TRUE(c.dc->Search()->Locate(0, String::fromLatin1("b")));  // the focused record matches: kept
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 2);
    EXPECT_TRUE(c.dc->Search()->LocateNext(false));
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 1);
    EXPECT_EQ(c.dc->Search()->GetSearchText(), String::fromLatin1("b"));
    c.dc->SetFocusedRowIndex(2);  // moving the focus ends the search
    EXPECT_FALSE(c.dc->Search()->GetSearching());
    EXPECT_TRUE(c.dc->Search()->Locate(0, String::fromLatin1("ap")));  // only before the focus: wraps
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 0);
}

namespace {

// A custom data source over a plain table; handles are positions in an
// ever-growing list, so a deleted record's handle is never reused.
class VectorDataSource : public TvlUserDataSource {
public:
    struct Row {
        int handle;
        std::vector<Variant> values;
    };
    std::vector<Row> rows;
    int next = 0;

    void add(std::vector<Variant> AValues) { rows.push_back({next++, std::move(AValues)}); }
    Row* find(int AHandle)
    {
        for (Row& r : rows)
            if (r.handle == AHandle)
                return &r;
        return nullptr;
    }
    int AppendRecord() override
    {
        add(std::vector<Variant>(2, Null()));
        return CurrentProvider->AddRecordHandle(rows.back().handle) >= 0 ? rows.back().handle : -1;
    }
    void DeleteRecord(int AHandle) override
    {
        std::erase_if(rows, [&](const Row& r) { return r.handle == AHandle; });
        CurrentProvider->DataChanged(dckAll, -1, -1);
    }
    Variant GetValue(int AHandle, int AItemHandle) override
    {
        Row* r = find(AHandle);
        return r != nullptr ? r->values.at(size_t(AItemHandle)) : Null();
    }
    void SetValue(int AHandle, int AItemHandle, const Variant& AValue) override
    {
        if (Row* r = find(AHandle))
            r->values.at(size_t(AItemHandle)) = AValue;
    }
    void LoadRecordHandles() override
    {
        TvlCustomDataProvider* p = CurrentProvider;
        for (const Row& r : rows)
            p->AddRecordHandle(r.handle);
    }
};

}  // namespace

TEST(vlCustomData, ProviderModeForwardsToTheDataSource)
{
    Controller c(2);
    VectorDataSource source;
    source.add({Variant(30), Variant("c")});
    source.add({Variant(10), Variant("a")});
    source.add({Variant(20), Variant("b")});
    c.dc->SetCustomDataSource(&source);
    ASSERT_TRUE(c.dc->IsProviderMode());
    ASSERT_EQ(c.dc->GetRecordCount(), 3);
    EXPECT_EQ(c.dc->GetItemCount(), 2);  // the handles' field is internal
    EXPECT_EQ(VarToStr(c.dc->GetValue(1, 1)), String::fromLatin1("a"));
    EXPECT_EQ(c.dc->GetDisplayText(2, 1), String::fromLatin1("b"));

    c.dc->SetValue(0, 1, Variant("z"));
    EXPECT_EQ(VarToStr(source.rows[0].values[1]), String::fromLatin1("z"));

    c.dc->SetItemSortOrder(0, soAscending);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 2, 0}));

    const int r = c.dc->AppendRecord();
    EXPECT_EQ(r, 3);
    c.dc->SetValue(r, 0, Variant(15));
    EXPECT_EQ(source.rows.back().values[0].AsInteger(), 15);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 3, 2, 0}));

    c.dc->DeleteRecord(1);  // value 10
    ASSERT_EQ(c.dc->GetRecordCount(), 3);
    EXPECT_EQ(source.rows.size(), 3u);
    EXPECT_EQ(c.dc->GetValue(c.dc->GetRowInfo(0).RecordIndex, 0).AsInteger(), 15);

    c.dc->SetCustomDataSource(nullptr);
    EXPECT_FALSE(c.dc->IsProviderMode());
    EXPECT_EQ(c.dc->GetRecordCount(), 0);
    EXPECT_TRUE(source.Providers.empty());
}

TEST(vlCustomData, FilteringKeepsTheEditedRecordAndFindsText)
{
    Controller c(1, TvlStringValueType::Instance());
    c.fill({Variant("Apple"), Variant("banana"), Variant("Avocado"), Variant("berry")});
    c.dc->SetFocusedRowIndex(1);  // banana
    c.dc->Edit();
    c.dc->SetOnFilterRecord(TvlDataFilterRecordEvent::FromFunction([](TvlCustomDataController* dc, int r, bool& accept) {
        accept = dc->GetDisplayText(r, 0).startsWith(QLatin1Char('A'));
    }));
    // Setting the handler is a filter change: the edit is posted first, and
    // the focus, whose record went with the filter, moves to the first row.
    EXPECT_FALSE(c.dc->IsEditing());
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 2}));
    EXPECT_EQ(c.dc->GetFocusedRowIndex(), 0);
    EXPECT_EQ(c.dc->GetFocusedRecordIndex(), 0);
    EXPECT_EQ(c.dc->GetRowIndexByRecordIndex(1, true), -1);

    c.dc->SetFocusedRowIndex(1);  // Avocado, being edited, stays though it no longer passes
    c.dc->SetEditValue(0, Variant("avocado"), 0);
    c.dc->Refresh();
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 2}));
    c.dc->SetOnFilterRecord(nullptr);

    EXPECT_EQ(c.dc->SetIncrementalFilter(0, String::fromLatin1("b")), 1);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(c.dc->HasIncrementalFilter());
    c.dc->ResetIncrementalFilter();
    EXPECT_EQ(c.dc->GetRowCount(), 4);

    EXPECT_EQ(c.dc->FindRecordIndexByText(2, 0, true, false, true, String::fromLatin1("b")), 3);
    EXPECT_EQ(c.dc->FindRecordIndexByText(3, 0, true, true, false, String::fromLatin1("BANANA")), 1);
    EXPECT_EQ(c.dc->FindRecordIndexByText(3, 0, true, false, false, String::fromLatin1("BANANA")), -1);
    EXPECT_EQ(c.dc->FindRecordIndexByText(9, 0, true, true, true, String::fromLatin1("a")), -1);
}

TEST(vlCustomData, TheNewItemRowBecomesOneRecordWhenPosted)
{
    Controller c(1);
    c.fill({Variant(1), Variant(2)});
    c.dc->SetUseNewItemRowForEditing(true);
    c.dc->SetNewItemRowFocused(true);
    EXPECT_TRUE(c.dc->IsNewItemRowEditing());
    EXPECT_TRUE(VarIsNull(c.dc->GetEditValue(0, 0)));
    int inserted = -2;
    c.dc->OnAfterPost = TvlDataControllerNotifyEvent::FromFunction(
        [&](TvlCustomDataController* dc) { inserted = dc->Provider()->InsertedRecordIndex(); });
    ASSERT_TRUE(c.dc->SetEditValue(0, Variant(3), 0));
    EXPECT_EQ(c.dc->GetRecordCount(), 2);
    const int internals = c.dc->DataStorage()->InternalRecordCount();
    (void)internals;
    c.dc->Post();
    EXPECT_EQ(c.dc->GetRecordCount(), 3);
    EXPECT_EQ(inserted, 2);
    EXPECT_EQ(c.dc->Provider()->InsertedRecordIndex(), -1);
    EXPECT_EQ(c.dc->GetValue(2, 0).AsInteger(), 3);
    EXPECT_FALSE(c.dc->IsEditing());
}

TEST(vlCustomData, ChangesWhileTheOwnerLoadsReachTheHandlersOnceFromLoaded)
{
    Controller c(1);
    int changed = 0;
    c.dc->OnDataChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changed; });
    c.owner.state.Include(csLoading);
    c.dc->AppendRecord();
    c.dc->AppendRecord();
    EXPECT_EQ(changed, 0);
    c.owner.state.Exclude(csLoading);
    c.dc->Loaded();
    EXPECT_EQ(changed, 1);
    c.dc->Loaded();
    EXPECT_EQ(changed, 1);

    // A handler that throws leaves the controller usable.
    c.dc->OnDataChanged = TNotifyEvent::FromFunction([](TObject*) { throw EvlInvalidDataControllerOperation(String()); });
    EXPECT_THROW(c.dc->SetValue(0, 0, Variant(1)), EvlInvalidDataControllerOperation);
    c.dc->OnDataChanged = nullptr;
    c.owner.take();
    c.dc->SetValue(1, 0, Variant(2));
    EXPECT_EQ(c.owner.take(), Log{"data Item 0 1"});
}

TEST(vlCustomData, BookmarkFollowsItsRecord)
{
    Controller c(1);
    c.fill({Variant(1), Variant(2), Variant(3)});
    EXPECT_FALSE(c.dc->IsBookmarkAvailable());
    c.dc->SetFocusedRowIndex(2);
    c.owner.take();
    c.dc->SaveBookmark();
    EXPECT_EQ(c.owner.take(), Log{"bookmark"});
    EXPECT_TRUE(c.dc->IsBookmarkRow(2));
    c.dc->SetFocusedRowIndex(0);
    c.dc->GotoBookmark();
    EXPECT_EQ(c.dc->GetFocusedRowIndex(), 2);
    c.dc->SetOnFilterRecord(
        TvlDataFilterRecordEvent::FromFunction([](TvlCustomDataController*, int r, bool& accept) { accept = r != 2; }));
    EXPECT_FALSE(c.dc->IsBookmarkAvailable());  // its record was filtered out
}

TEST(vlCustomData, DefaultSummaryFormats)
{
    struct Case {
        int valueKind, summaryKind;
        bool footer;
        const char* expected;
    } cases[] = {
        {2, 1, false, "SUM="}, {2, 1, true, ""},           {2, 4, false, "COUNT=0"},
        {0, 5, true, "AVG=0.00;AVG=-0.00"},                 {7, 1, true, "0.00;-0.00"},
        {0, 0, false, ""},     {2, 6, false, ""},
    };
    for (const Case& k : cases)
        EXPECT_EQ(GetDefaultSummaryDisplayFormat(k.valueKind, k.summaryKind, k.footer).toStdString(), k.expected)
            << k.valueKind << " " << k.summaryKind << " " << k.footer;
    const String currency = GetDefaultSummaryDisplayFormat(1, 1, false);
    EXPECT_TRUE(currency.startsWith(QStringLiteral("SUM="))) << currency.toStdString();
    EXPECT_TRUE(currency.contains(QStringLiteral(";SUM=-")));
}

// ---- the controller's filter and value lists ----------------------------------------

namespace {

// A controller whose columns are identified by their Tag, as a grid's are
// by their ID.
struct TaggedDataController : TvlDataController {
    using TvlDataController::TvlDataController;
    int GetItemID(TObject* AItem) const override
    {
        auto* c = dynamic_cast<TComponent*>(AItem);
        return c != nullptr ? c->Tag() : -1;
    }
};

// Two named columns with IDs 1 and 2 (the filter stream finds them by name).
struct NamedController {
    FakeOwner owner;
    std::unique_ptr<TvlDataController> dc;
    std::vector<std::unique_ptr<TComponent>> columns;

    NamedController()
    {
        dc = std::make_unique<TaggedDataController>(&owner);
        for (const char* name : {"Age", "Name"}) {
            columns.push_back(std::make_unique<TComponent>(nullptr));
            columns.back()->SetName(String::fromLatin1(name));
            columns.back()->SetTag(int(columns.size()));
            dc->AddItem(columns.back().get())->SetValueTypeClass(TvlVariantValueType::Instance());
        }
        dc->UpdateItemIndexes();
    }
    void fill(const std::vector<Variant>& AAges)
    {
        dc->BeginUpdate();
        for (const Variant& v : AAges) {
            const int r = dc->AppendRecord();
            dc->SetValue(r, 0, v);
            dc->SetValue(r, 1, Variant(String::fromLatin1("n%1").arg(r)));
        }
        dc->EndUpdate();
        owner.take();
    }
    std::vector<int> rowRecords() const { return rowRecordsOf(*dc); }
    TObject* age() const { return columns[0].get(); }
    TObject* name() const { return columns[1].get(); }
};

std::vector<std::string> entries(const TvlFilterValueList& AList)
{
    std::vector<std::string> r;
    for (int i = 0; i < AList.GetCount(); ++i)
        r.push_back(AList.GetItem(i).DisplayText.toStdString());
    return r;
}

}  // namespace

// An active filter keeps the matching rows; conditions show their column,
// keep its field, and go with the column. Toggling Active refilters once
// per lock; setting the same value fires nothing.
TEST(vlCustomData, ActiveFilterRefiltersTheRows)
{
    NamedController c;
    c.fill({Variant(1), Variant(7), Null(), Variant(4), Variant(9)});
    TvlDataFilterCriteria* filter = c.dc->Filter();
    int changes = 0;
    filter->OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    TvlFilterCriteriaItem* cond = filter->AddItem(nullptr, c.age(), foGreater, Variant(3), String::fromLatin1("3"));
    EXPECT_EQ(cond->GetItemLink(), c.age());
    EXPECT_EQ(static_cast<TvlDataFilterCriteriaItem*>(cond)->Field(), c.dc->GetItemField(0));
    EXPECT_EQ(filter->FindItemByItemLink(c.age()), cond);
    EXPECT_EQ(filter->FindItemByItemLink(c.dc->GetItemField(0)), cond);
    EXPECT_FALSE(filter->IsFiltering());
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 1, 2, 3, 4}));
    changes = 0;

    filter->SetActive(true);
    EXPECT_TRUE(filter->IsFiltering());
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(changes, 1);
    filter->SetActive(true);
    EXPECT_EQ(changes, 1);

    filter->BeginUpdate();
    filter->SetActive(false);
    filter->SetActive(true);
    filter->SetActive(false);
    EXPECT_EQ(changes, 1);
    filter->EndUpdate();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 1, 2, 3, 4}));

    filter->SetActive(true);
    static_cast<TvlFilterCriteriaItem*>(filter->Root()->GetItem(0))->ChangeValue(Variant(5));
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 4}));

    // An additional filter never touches the rows.
    TvlDataFilterCriteria* extra = c.dc->CreateFilter();
    int extraChanges = 0;
    extra->OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++extraChanges; });
    extra->AddItem(nullptr, c.age(), foEqual, Variant(1), String());
    extra->AddItem(nullptr, c.name(), foEqual, Variant("n0"), String());
    extra->SetActive(true);
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{1, 4}));
    EXPECT_EQ(extraChanges, 0);
    EXPECT_TRUE(extra->EvaluateRecord(0));
    EXPECT_FALSE(extra->EvaluateRecord(1));

    // Removing the column takes its conditions from every filter.
    c.dc->RemoveItem(c.age());
    EXPECT_TRUE(filter->IsEmpty());
    EXPECT_EQ(c.rowRecords(), (std::vector<int>{0, 1, 2, 3, 4}));
    ASSERT_EQ(extra->Root()->GetCount(), 1);
    EXPECT_EQ(static_cast<TvlFilterCriteriaItem*>(extra->Root()->GetItem(0))->GetItemLink(), c.name());
    EXPECT_EQ(c.dc->Filters()->Count(), 1);
    c.dc->Filters()->Free(extra);
    EXPECT_EQ(c.dc->Filters()->Count(), 0);
}

// The filter travels as the "Criteria" binary property (the criteria
// stream, columns found by name) and through Assign with Active.
TEST(vlCustomData, FilterCriteriaPropertyAndAssign)
{
    NamedController a, b;
    a.fill({Variant(1), Variant(5), Variant(8)});
    b.fill({Variant(2), Variant(6), Variant(9)});
    TvlDataFilterCriteria* filter = a.dc->Filter();
    EXPECT_FALSE(IsStoredProp(filter, String::fromLatin1("Criteria")));
    TvlFilterCriteriaItemList* orGroup = filter->Root()->AddItemList(fboOr);
    filter->AddItem(orGroup, a.age(), foLess, Variant(2), String());
    filter->AddItem(orGroup, a.age(), foGreater, Variant(7), String());
    filter->SetActive(true);
    EXPECT_EQ(a.rowRecords(), (std::vector<int>{0, 2}));
    EXPECT_TRUE(IsStoredProp(filter, String::fromLatin1("Criteria")));
    const QByteArray bytes = GetBinaryProp(filter, String::fromLatin1("Criteria"));
    ASSERT_GE(bytes.size(), 4);
    EXPECT_EQ(uint8_t(bytes[0]), 0xFE);  // version 3: names travel

    SetBinaryProp(b.dc->Filter(), String::fromLatin1("Criteria"), bytes);
    EXPECT_TRUE(b.dc->Filter()->IsSameAs(filter, false));
    EXPECT_EQ(static_cast<TvlFilterCriteriaItem*>(
                  static_cast<TvlFilterCriteriaItemList*>(b.dc->Filter()->Root()->GetItem(0))->GetItem(0))
                  ->GetItemLink(),
              b.age());
    EXPECT_EQ(b.rowRecords(), (std::vector<int>{0, 1, 2}));  // not active yet
    SetOrdProp(b.dc->Filter(), String::fromLatin1("Active"), 1);
    EXPECT_EQ(b.rowRecords(), (std::vector<int>{2}));

    b.dc->Filter()->Clear();
    b.dc->SetFilter(filter);
    EXPECT_TRUE(b.dc->Filter()->Active());
    EXPECT_EQ(b.rowRecords(), (std::vector<int>{2}));

    // Component streaming carries the settings, Active and the tree; an
    // empty tree is stored too while saving, so loading it clears.
    filter->SetOptions(fcoCaseInsensitive | fcoIgnoreNull);
    TMemoryStream saved;
    filter->SaveToStream(&saved);
    NamedController d;
    d.fill({Variant(1), Variant(5)});
    int changes = 0;
    d.dc->Filter()->OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    saved.SetPosition(0);
    d.dc->Filter()->LoadFromStream(&saved);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(d.dc->Filter()->Options(), fcoCaseInsensitive | fcoIgnoreNull);
    EXPECT_TRUE(d.dc->Filter()->IsSameAs(filter, false));
    EXPECT_EQ(d.rowRecords(), (std::vector<int>{0}));
    TMemoryStream empty;
    b.dc->Filter()->Clear();
    b.dc->Filter()->SaveToStream(&empty);
    empty.SetPosition(0);
    d.dc->Filter()->LoadFromStream(&empty);
    EXPECT_TRUE(d.dc->Filter()->IsEmpty());
    // A damaged stream changes nothing.
    saved.SetSize(saved.Size() - 3);
    saved.SetPosition(0);
    EXPECT_THROW(d.dc->Filter()->LoadFromStream(&saved), EReadError);
    EXPECT_TRUE(d.dc->Filter()->IsEmpty());
}

TEST(vlCustomData, FilterValueLists)
{
    NamedController c;
    c.fill({Null(), Null()});
    auto list = c.dc->Filter()->CreateValueList();
    auto* values = static_cast<TvlDataFilterValueList*>(list.get());
    values->Load(0);
    EXPECT_EQ(entries(*values), (std::vector<std::string>{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)"}));
    EXPECT_THROW(values->Load(2), EvlInvalidDataControllerOperation);

    NamedController d;
    d.fill({Variant(30), Variant(10), Variant(20), Variant(10), Null(), Variant(50), Variant(40), Variant(60),
            Variant(70), Variant(80), Variant(90), Variant(100)});
    auto dl = d.dc->Filter()->CreateValueList();
    auto* dv = static_cast<TvlDataFilterValueList*>(dl.get());
    dv->Load(0);
    // The special entries stay at the head.
    EXPECT_EQ(dv->GetStartValueIndex(), 4);
    EXPECT_EQ(dv->GetCount(), 4 + 10);
    EXPECT_EQ(dv->GetItem(2).Kind, fviBlanks);
    EXPECT_EQ(dv->GetItem(3).Kind, fviNonBlanks);
    EXPECT_EQ(dv->GetItem(4).DisplayText.toStdString(), "10");
    EXPECT_EQ(dv->GetItem(13).DisplayText.toStdString(), "100");
    EXPECT_EQ(dv->FindItemByValue(Variant(60)), 9);
    EXPECT_EQ(dv->FindItemByValue(Variant(65)), -1);

    // The cap counts the special entries present: five admits three values,
    // the first met in record order, sorted among themselves.
    d.dc->Filter()->MaxValueListCount = 5;
    dv->Load(0);
    EXPECT_EQ(entries(*dv), (std::vector<std::string>{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "10",
                                                      "20", "30"}));

    // Without nulls among the filtered values there are no blank entries,
    // unless the filter itself hides them with a NOT NULL condition.
    d.dc->Filter()->MaxValueListCount = 0;
    TvlFilterCriteriaItem* notNull = d.dc->Filter()->AddItem(nullptr, d.age(), foNotEqual, Null(), String());
    d.dc->Filter()->SetActive(true);
    EXPECT_EQ(d.dc->GetRowCount(), 11);
    dv->Load(0, true, true);
    EXPECT_EQ(dv->IndexOfKind(fviBlanks), -1);
    EXPECT_EQ(dv->GetItem(2).Kind, fviNonBlanks);
    EXPECT_EQ(dv->GetIndexByCriteriaItem(notNull), 2);
    EXPECT_EQ(dv->GetIndexByCriteriaItem(nullptr), 0);
    d.dc->Filter()->Clear();
    d.dc->Filter()->AddItem(nullptr, d.age(), foGreater, Variant(15), String());
    EXPECT_EQ(d.dc->GetRowCount(), 9);
    dv->Load(0, true, true);
    EXPECT_EQ(dv->IndexOfKind(fviBlanks), -1);
    EXPECT_EQ(dv->IndexOfKind(fviNonBlanks), -1);
    EXPECT_EQ(dv->GetIndexByCriteriaItem(static_cast<TvlFilterCriteriaItem*>(d.dc->Filter()->Root()->GetItem(0))),
              1);  // (Custom...)

    // Equal values with different display texts: twice when sorting by
    // display text, once otherwise. The handler has the last word.
    NamedController t;
    t.dc->ChangeTextStored(0, true);
    t.fill({Variant(1), Variant(1)});
    t.dc->SetDisplayText(0, 0, String::fromLatin1("two"));
    t.dc->SetDisplayText(1, 0, String::fromLatin1("one"));
    auto tl = t.dc->Filter()->CreateValueList();
    auto* tv = static_cast<TvlDataFilterValueList*>(tl.get());
    tv->Load(0);
    EXPECT_EQ(tv->GetCount(), 3);
    tv->SortByDisplayText = true;
    tv->Load(0, false);
    EXPECT_EQ(entries(*tv), (std::vector<std::string>{"(All)", "(Custom...)", "one", "two"}));
    t.dc->Filter()->OnGetValueList = TvlDataFilterGetValueListEvent::FromFunction(
        [](TvlFilterCriteria*, int AItemIndex, TvlDataFilterValueList* AList) {
            EXPECT_EQ(AItemIndex, 0);
            AList->Delete(1);
        });
    tv->Load(0, false);
    EXPECT_EQ(entries(*tv), (std::vector<std::string>{"(All)", "one", "two"}));
}

// ---- summaries ------------------------------------------------------------------------

namespace {
class vlCustomDataSummary : public vorlane::test::DefaultFormatSettingsTest {};
}  // namespace

// Footer summaries over 1, Null, 2: nulls count for the count and the
// average's divisor unless soNullIgnore leaves them out; minimum ignores
// nulls; a summary of nothing but nulls is Null with an empty text.
TEST_F(vlCustomDataSummary, FooterValuesAndTexts)
{
    NamedController c;
    c.fill({Variant(1), Null(), Variant(2)});
    TvlDataSummary* summary = c.dc->Summary();
    TvlDataFooterSummaryItems* footer = summary->FooterSummaryItems();
    EXPECT_EQ(summary->GetFooterSummaryDisplayText(0), String());  // before any item
    footer->Add(c.age(), spGroup, String(), skSum);
    footer->Add(c.age(), spFooter, String(), skAverage);
    footer->Add(c.age(), spFooter, String(), skCount);
    footer->Add(c.age(), spFooter, String(), skMin);
    footer->Add(nullptr, spFooter, String(), skCount);  // a footer count needs a column
    EXPECT_EQ(footer->GetItem(0)->Position(), spFooter);
    EXPECT_EQ(summary->GetFooterSummaryValue(0).AsInteger(), 3);
    EXPECT_DOUBLE_EQ(summary->GetFooterSummaryValue(1).AsDouble(), 1.0);
    EXPECT_EQ(summary->GetFooterSummaryValue(2).AsInteger(), 3);
    EXPECT_EQ(summary->GetFooterSummaryValue(3).AsInteger(), 1);
    EXPECT_TRUE(VarIsEmpty(summary->GetFooterSummaryValue(4)));
    EXPECT_TRUE(VarIsNull(summary->GetFooterSummaryValue(9)));
    EXPECT_EQ(summary->GetFooterSummaryDisplayText(0).toStdString(), "3.00");
    EXPECT_EQ(summary->GetFooterSummaryDisplayText(1).toStdString(), "AVG=1.00");
    EXPECT_EQ(summary->GetFooterSummaryDisplayText(2).toStdString(), "3");
    footer->GetItem(0)->SetFormat(String::fromLatin1("Total 0"));
    EXPECT_EQ(summary->GetFooterSummaryDisplayText(0).toStdString(), "Total 3");

    summary->SetOptions(TvlSummaryOptions{soNullIgnore});
    EXPECT_DOUBLE_EQ(summary->GetFooterSummaryValue(1).AsDouble(), 1.5);
    EXPECT_EQ(summary->GetFooterSummaryValue(2).AsInteger(), 2);

    c.dc->SetValue(0, 0, Null());
    c.dc->SetValue(2, 0, Null());
    EXPECT_TRUE(VarIsNull(summary->GetFooterSummaryValue(3)));
    EXPECT_EQ(summary->GetFooterSummaryDisplayText(3), String());
    EXPECT_TRUE(VarIsNull(summary->GetFooterSummaryValue(0)));

    // The handler may replace a record's value.
    footer->OnSummary = TvlSummaryEvent::FromFunction(
        [](TvlDataSummaryItems*, const TvlSummaryEventArguments& A, TvlSummaryEventOutArguments& O) {
            if (A.SummaryItem->Index() == 0)
                O.Value = Variant(10);
        });
    summary->SetOptions(TvlSummaryOptions{});
    EXPECT_EQ(summary->GetFooterSummaryValue(0).AsInteger(), 30);

    // Of the two selection options, the one added last wins.
    summary->SetOptions(TvlSummaryOptions{soSelectedRecords});
    summary->SetOptions(TvlSummaryOptions{soSelectedRecords, soMultipleSelectedRecords});
    EXPECT_EQ(summary->Options(), TvlSummaryOptions{soMultipleSelectedRecords});
    summary->SetOptions(TvlSummaryOptions{soSelectedRecords, soMultipleSelectedRecords});
    EXPECT_EQ(summary->Options(), TvlSummaryOptions{soSelectedRecords});
    summary->SetOptions(TvlSummaryOptions{});
    summary->SetOptions(TvlSummaryOptions{soSelectedRecords, soMultipleSelectedRecords});
    EXPECT_EQ(summary->Options(), TvlSummaryOptions{soMultipleSelectedRecords});
    c.dc->SetFocusedRowIndex(1);
    summary->SetOptions(TvlSummaryOptions{soSelectedRecords});
    EXPECT_EQ(summary->GetFooterSummaryValue(2).AsInteger(), 1);  // the focused record alone

    // A variant error while adding propagates to the recalculation.
    summary->SetOptions(TvlSummaryOptions{});
    footer->OnSummary = nullptr;
    EXPECT_ANY_THROW(c.dc->SetValue(1, 0, Variant("abc")));
}

// Group rows: a count without a column, a date sum with the "SUM=" prefix
// (the footer shows the date alone), an average of dates that stays a date,
// the group-row text in its brackets, the footer of a group.
TEST_F(vlCustomDataSummary, GroupSummariesAndDates)
{
    NamedController c;
    const TDateTime d1 = EncodeDate(2024, 3, 1), d2 = EncodeDate(2024, 3, 3) + 0.5;
    c.dc->BeginUpdate();
    for (const auto& [date, name] : std::vector<std::pair<TDateTime, const char*>>{
             {d1, "x"}, {d2, "x"}, {d1, "y"}}) {
        const int r = c.dc->AppendRecord();
        c.dc->SetValue(r, 0, VarFromDateTime(date));
        c.dc->SetValue(r, 1, Variant(name));
    }
    c.dc->EndUpdate();
    TvlDataSummary* summary = c.dc->Summary();
    TvlDataGroupSummaryItems* group = summary->DefaultGroupSummaryItems();
    group->Add(nullptr, spGroup, String(), skCount);
    group->Add(c.age(), spGroup, String(), skSum);
    group->Add(c.age(), spFooter, String(), skAverage);
    summary->FooterSummaryItems()->Add(c.age(), spFooter, String(), skSum);
    EXPECT_EQ(summary->GetGroupSummaryItems(0), nullptr);  // not grouped
    c.dc->Groups()->ChangeGroupIndex(1, 0);
    ASSERT_EQ(c.dc->GetRowCount(), 2);
    EXPECT_EQ(summary->GetGroupSummaryItems(0), group);

    EXPECT_EQ(summary->GetGroupSummaryText(0), String::fromLatin1("(COUNT=2, SUM=") +
                                                   DateTimeToStr(d1 + d2) + String::fromLatin1(")"));
    EXPECT_EQ(summary->GetGroupSummaryText(1), String::fromLatin1("(COUNT=1, SUM=") + DateToStr(d1) +
                                                   String::fromLatin1(")"));
    EXPECT_EQ(summary->GetFooterSummaryDisplayText(0), DateTimeToStr(d1 + d1 + d2));
    EXPECT_EQ(summary->GetGroupFooterSummaryDisplayText(0, 0, 2), String::fromLatin1("AVG=") +
                                                                      DateTimeToStr((d1 + d2) / 2));
    EXPECT_EQ(summary->GetGroupFooterSummaryDisplayText(0, 0, 7), String());
    TvlDataGroupSummaryItems* items;
    Variant* values;
    ASSERT_TRUE(summary->GetGroupSummaryInfo(0, items, values));
    EXPECT_EQ(VarType(VarArrayGet(*values, 2)), varDate);

    group->SetSeparator(String::fromLatin1(";"));
    group->SetBeginText(String::fromLatin1("["));
    EXPECT_EQ(summary->GetGroupSummaryText(1), String::fromLatin1("[COUNT=1; SUM=") + DateToStr(d1) +
                                                   String::fromLatin1(")"));

    // A summary group takes the groups of its linked column.
    TvlDataSummaryGroup* byName = summary->SummaryGroups()->Add();
    byName->Links()->Add()->SetItemLink(c.name());
    byName->SummaryItems()->Add(c.age(), spGroup, String::fromLatin1("M "), skMax);
    EXPECT_EQ(summary->GetGroupSummaryItems(0), byName->SummaryItems());
    EXPECT_EQ(summary->GetGroupSummaryText(0), String::fromLatin1("(M ") + DateTimeToStr(d2) +
                                                   String::fromLatin1(")"));
    // A column belongs to one summary group at most.
    TvlDataSummaryGroup* other = summary->SummaryGroups()->Add();
    other->Links()->Add()->SetItemLink(c.name());
    EXPECT_EQ(byName->Links()->GetItem(0)->ItemLink(), nullptr);
    EXPECT_EQ(summary->SummaryGroups()->FindByItemLink(c.name()), other);

    // Removing the column unbinds its summaries.
    c.dc->Groups()->ClearGrouping();
    c.dc->RemoveItem(c.age());
    EXPECT_EQ(summary->FooterSummaryItems()->GetItem(0)->Field(), nullptr);
    EXPECT_EQ(group->GetItem(1)->ItemLink(), nullptr);
}

// Column summaries made on demand and freed when cleared; one sorted item
// per group collection; OnAfterSummary after each calculation.
TEST_F(vlCustomDataSummary, DataItemsSortedAndAfterSummary)
{
    NamedController c;
    c.fill({Variant(4), Variant(6)});
    TvlDataSummary* summary = c.dc->Summary();
    TvlDataFooterSummaryItems* footer = summary->FooterSummaryItems();
    int after = 0;
    summary->OnAfterSummary = TvlAfterSummaryEvent::FromFunction([&](TvlDataSummary*) { ++after; });
    footer->SetDataItemKind(0, spFooter, skMax);
    ASSERT_EQ(footer->Count(), 1);
    EXPECT_EQ(footer->GetDataItemKind(0, spFooter), skMax);
    EXPECT_EQ(summary->GetFooterSummaryValue(0).AsInteger(), 6);
    EXPECT_GE(after, 1);
    footer->SetDataItemFormat(0, spFooter, String::fromLatin1("0"));
    footer->SetDataItemKind(0, spFooter, skNone);
    EXPECT_EQ(footer->Count(), 1);  // the format keeps it
    footer->SetDataItemFormat(0, spFooter, String());
    EXPECT_EQ(footer->Count(), 0);
    EXPECT_THROW(footer->GetDataItem(5, spFooter), EvlInvalidDataControllerOperation);

    TvlDataGroupSummaryItems* group = summary->DefaultGroupSummaryItems();
    group->SetDataItemSorted(0, spGroup, true);
    group->SetDataItemKind(1, spGroup, skCount);
    group->GetItem(1)->SetSorted(true);
    EXPECT_FALSE(group->GetItem(0)->Sorted());
    EXPECT_EQ(group->GetSortedSummaryItem(), group->GetItem(1));
    EXPECT_TRUE(c.dc->SortingBySummaryChanged);
    EXPECT_FALSE(summary->IsGroupSortedBySummary());  // nothing grouped
    c.dc->Groups()->ChangeGroupIndex(1, 0);
    EXPECT_TRUE(summary->IsGroupSortedBySummary());

    // A copy of the summary reaches the same columns.
    NamedController d;
    d.dc->SetSummary(summary);
    ASSERT_EQ(d.dc->Summary()->DefaultGroupSummaryItems()->Count(), 2);
    EXPECT_EQ(d.dc->Summary()->DefaultGroupSummaryItems()->GetItem(1)->ItemLink(), d.name());
    EXPECT_EQ(summary->GetMatchingSummaryItems(d.dc->Summary(), group), d.dc->Summary()->DefaultGroupSummaryItems());
}

namespace {

// What a view would be for the component stream: a component that publishes
// its controller's summary.
class SummaryHolder : public TComponent {
public:
    explicit SummaryHolder(TvlDataSummary* ASummary) : TComponent(nullptr), FSummary(ASummary) {}
    String ClassName() const override { return String::fromLatin1("TSummaryHolder"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info =
            TClassInfoBuilder<SummaryHolder>("TSummaryHolder", &TComponent::StaticClassInfo())
                .Object("Summary", [](const SummaryHolder& AHolder) { return AHolder.FSummary; })
                .Build();
        return info;
    }

private:
    TvlDataSummary* FSummary;
};

}  // namespace

// The summary's items, groups and options go through the component stream
// and are reachable by name; a footer item never stores its position.
TEST_F(vlCustomDataSummary, PropertyTablesStreamTheSummary)
{
    NamedController source;
    TvlDataSummary* summary = source.dc->Summary();
    summary->FooterSummaryItems()->Add(source.age(), spFooter, String::fromLatin1("Total 0"), skSum)->Tag = 7;
    summary->DefaultGroupSummaryItems()->Add(nullptr, spGroup, String(), skCount);
    summary->DefaultGroupSummaryItems()->Add(source.age(), spFooter, String(), skMax);
    summary->SummaryGroups()->Add()->SummaryItems()->Add(nullptr, spGroup, String(), skAverage);
    summary->SetOptions(TvlSummaryOptions{soNullIgnore});

    SummaryHolder holder(summary);
    EXPECT_EQ(GetEnumProp(summary->FooterSummaryItems()->GetItem(0), String::fromLatin1("Kind")),
              String::fromLatin1("skSum"));
    EXPECT_FALSE(IsStoredProp(summary->FooterSummaryItems()->GetItem(0), String::fromLatin1("Position")));
    EXPECT_TRUE(IsStoredProp(summary->DefaultGroupSummaryItems()->GetItem(1), String::fromLatin1("Position")));
    SetPropValue(&holder, String::fromLatin1("Summary.DefaultGroupSummaryItems.BeginText"), String::fromLatin1("["));
    EXPECT_EQ(summary->DefaultGroupSummaryItems()->BeginText(), String::fromLatin1("["));
    EXPECT_EQ(GetPropValue(&holder, String::fromLatin1("Summary.Options")), String::fromLatin1("[soNullIgnore]"));

    TMemoryStream stream;
    WriteComponent(&stream, &holder);
    NamedController target;
    SummaryHolder copy(target.dc->Summary());
    stream.SetPosition(0);
    ReadComponent(&stream, &copy);
    const TvlDataSummary* read = target.dc->Summary();
    ASSERT_EQ(read->FooterSummaryItems()->Count(), 1);
    EXPECT_EQ(read->FooterSummaryItems()->GetItem(0)->Format(), String::fromLatin1("Total 0"));
    EXPECT_EQ(read->FooterSummaryItems()->GetItem(0)->Kind(), skSum);
    EXPECT_EQ(read->FooterSummaryItems()->GetItem(0)->Tag, 7);
    ASSERT_EQ(read->DefaultGroupSummaryItems()->Count(), 2);
    EXPECT_EQ(read->DefaultGroupSummaryItems()->GetItem(0)->Kind(), skCount);
    EXPECT_EQ(read->DefaultGroupSummaryItems()->GetItem(1)->Position(), spFooter);
    ASSERT_EQ(read->SummaryGroups()->Count(), 1);
    ASSERT_EQ(read->SummaryGroups()->GetItem(0)->SummaryItems()->Count(), 1);
    EXPECT_EQ(read->SummaryGroups()->GetItem(0)->SummaryItems()->GetItem(0)->Kind(), skAverage);
    EXPECT_EQ(read->Options(), TvlSummaryOptions{soNullIgnore});
}
