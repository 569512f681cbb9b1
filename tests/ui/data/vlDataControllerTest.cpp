// Tests of the data controller: values by record and item, range checks,
// deletion with focus and selection, and the update lock's notification.
#include <gtest/gtest.h>

#include "ui/data/vlDataController.h"

namespace {

struct Rows {
    TvlCustomDataController dc;
    std::vector<TvlDataChangeKind> changes;
    explicit Rows(int records)
    {
        dc.SetItemCount(3);
        for (int i = 0; i < records; ++i)
            dc.SetValue(dc.AppendRecord(), 0, Variant(String::number(i)));
        dc.OnDataChanged = TvlDataChangedEvent::FromFunction(
            [this](TObject*, TvlDataChangeKind k, int, int) { changes.push_back(k); });
    }
    std::vector<String> column0()
    {
        std::vector<String> out;
        for (int i = 0; i < dc.GetRecordCount(); ++i)
            out.push_back(VarToStr(dc.GetValue(i, 0)));
        return out;
    }
};

TEST(vlDataController, ValuesKeepTheirKindAndNewRecordsAreEmpty)
{
    Rows r(1);
    const int rec = r.dc.AppendRecord();
    EXPECT_EQ(rec, 1);
    EXPECT_TRUE(VarIsEmpty(r.dc.GetValue(rec, 2)));
    r.dc.SetValue(rec, 1, Variant(int64_t(5000000000LL)));
    r.dc.SetValue(rec, 2, Variant(2));
    EXPECT_EQ(VarType(r.dc.GetValue(rec, 1)), varInt64);
    EXPECT_EQ(r.dc.GetValue(rec, 2).AsInteger(), 2);
    EXPECT_EQ(r.dc.GetDisplayText(rec, 1), QStringLiteral("5000000000"));
}

TEST(vlDataController, IndexesOutOfRangeRaiseTheirTexts)
{
    Rows r(2);
    struct Case { int record, item; const char* text; };
    for (const Case c : {Case{2, 0, "RecordIndex out of range"}, Case{-1, 0, "RecordIndex out of range"},
                         Case{0, 3, "ItemIndex out of range"}, Case{0, -1, "ItemIndex out of range"}}) {
        try {
            r.dc.SetValue(c.record, c.item, Variant(1));
            ADD_FAILURE() << c.record << "," << c.item;
        } catch (const EvlInvalidDataControllerOperation& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.text));
        }
        EXPECT_THROW(r.dc.GetValue(c.record, c.item), EvlInvalidDataControllerOperation);
    }
    EXPECT_THROW(r.dc.DeleteRecord(2), EvlInvalidDataControllerOperation);
    EXPECT_THROW(r.dc.SetFocusedRowIndex(2), EvlInvalidDataControllerOperation);
    EXPECT_EQ(r.dc.GetRecordCount(), 2);
}

TEST(vlDataController, DeletingMovesLaterRowsUpAndKeepsFocusOnItsRecord)
{
    Rows r(4);
    r.dc.SetFocusedRowIndex(3);
    r.dc.DeleteRecord(1);
    EXPECT_EQ(r.column0(), (std::vector<String>{"0", "2", "3"}));
    EXPECT_EQ(r.dc.GetFocusedRecordIndex(), 2);  // still record "3"
    r.dc.DeleteRecord(2);                        // the focused one, at the end
    EXPECT_EQ(r.dc.GetFocusedRecordIndex(), 1);
    r.dc.DeleteRecord(0);
    r.dc.DeleteRecord(0);
    EXPECT_EQ(r.dc.GetFocusedRecordIndex(), -1);
    EXPECT_EQ(r.dc.GetSelectedCount(), 0);
    EXPECT_EQ(r.dc.GetSelectedRowIndex(0), -1);
}

TEST(vlDataController, SingleSelectFollowsFocusMultiSelectKeepsASet)
{
    Rows r(5);
    EXPECT_EQ(r.dc.GetSelectedCount(), 0);
    r.dc.SetFocusedRowIndex(2);
    EXPECT_EQ(r.dc.GetSelectedCount(), 1);
    EXPECT_EQ(r.dc.GetSelectedRowIndex(0), 2);
    EXPECT_EQ(r.dc.GetSelectedRowIndex(1), -1);

    r.dc.SetMultiSelect(true);
    r.dc.ChangeRowSelection(4, true);
    r.dc.ChangeRowSelection(0, true);
    EXPECT_EQ(r.dc.GetSelectedCount(), 3);
    EXPECT_EQ(r.dc.GetSelectedRowIndex(0), 0);
    EXPECT_EQ(r.dc.GetSelectedRowIndex(2), 4);
    r.dc.DeleteRecord(2);
    EXPECT_EQ(r.dc.GetSelectedCount(), 2);
    EXPECT_EQ(r.dc.GetSelectedRowIndex(1), 3);
    EXPECT_TRUE(r.dc.IsRowSelected(3));
}

TEST(vlDataController, UpdateLockReportsOnceWhenTheLastLockEnds)
{
    Rows r(2);
    r.dc.SetValue(0, 1, Variant(1));
    EXPECT_EQ(r.changes, (std::vector<TvlDataChangeKind>{dckItem}));
    r.changes.clear();
    r.dc.BeginUpdate();
    r.dc.BeginUpdate();
    r.dc.SetValue(0, 1, Variant(2));
    r.dc.AppendRecord();
    r.dc.DeleteRecord(0);
    r.dc.EndUpdate();
    EXPECT_TRUE(r.changes.empty());
    r.dc.EndUpdate();
    EXPECT_EQ(r.changes, (std::vector<TvlDataChangeKind>{dckLayout}));
    r.changes.clear();
    r.dc.BeginUpdate();
    r.dc.EndUpdate();
    r.dc.EndUpdate();  // unbalanced: ignored
    EXPECT_TRUE(r.changes.empty());
}

}  // namespace
