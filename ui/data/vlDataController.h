// vlDataController.h - the rows behind a grid view: records of variant
// values addressed by record and item index, focus, selection, and an
// update lock that folds many changes into one notification of the view.
#pragma once
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/Variant.h"
#include "ui/data/vlDataConsts.h"

VORLANE_DECLARE_EXCEPTION(EvlInvalidDataControllerOperation, Exception);

// What changed: one cell, the record list, the focus or the selection.
// dckLayout is what an update lock reports when it ends with changes.
enum TvlDataChangeKind { dckItem, dckRecordAdded, dckRecordDeleted, dckFocusedRecord, dckSelection, dckLayout };

using TvlDataChangedEvent =
    TDelegate<void(TObject* Sender, TvlDataChangeKind AKind, int AItemIndex, int ARecordIndex)>;

// Unbound storage: the view neither sorts, groups nor filters in this
// slice, so a row index and a record index are the same number.
class TvlCustomDataController : public TPersistent {
public:
    TvlCustomDataController();
    ~TvlCustomDataController() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataController"); }

    // Items are the view's columns, by position.
    int GetItemCount() const { return FItemCount; }
    void SetItemCount(int Value);

    int GetRecordCount() const { return int(FRecords.size()); }
    int GetRowCount() const { return GetRecordCount(); }
    // Appends an empty record (every value Empty) and returns its index.
    int AppendRecord();
    // Index checked; focus and selection follow the rows that stay.
    void DeleteRecord(int ARecordIndex);
    // Both indexes checked (EvlInvalidDataControllerOperation otherwise).
    // Writing always notifies, even an equal value.
    Variant GetValue(int ARecordIndex, int AItemIndex) const;
    void SetValue(int ARecordIndex, int AItemIndex, const Variant& AValue);
    String GetDisplayText(int ARecordIndex, int AItemIndex) const;
    int GetRowIndexByRecordIndex(int ARecordIndex, bool AMakeVisible = false) const;

    int GetFocusedRecordIndex() const { return FFocusedRowIndex; }
    int GetFocusedRowIndex() const { return FFocusedRowIndex; }
    // -1 for none; an index outside the rows raises "RowIndex out of range".
    void SetFocusedRowIndex(int Value);
    void SetFocusedRecordIndex(int Value) { SetFocusedRowIndex(Value); }
    bool ChangeFocusedRowIndex(int ARowIndex);

    // Single select: the focused row is the selection. Multi select: a set
    // of rows kept apart from the focus.
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    int GetSelectedCount() const;
    // The row of the AIndex-th selected row (in row order), -1 when none.
    int GetSelectedRowIndex(int AIndex) const;
    bool IsRowSelected(int ARowIndex) const;
    void ChangeRowSelection(int ARowIndex, bool ASelection);
    void ClearSelection();
    void SelectAll();

    // Nesting lock: changes inside it are reported once, as dckLayout, when
    // the last EndUpdate runs.
    void BeginUpdate() { ++FLockCount; }
    void EndUpdate();
    int GetUpdateLockCount() const { return FLockCount; }

    TvlDataChangedEvent OnDataChanged;

protected:
    void CheckRecordIndex(int ARecordIndex) const;
    void CheckItemIndex(int AItemIndex) const;
    void CheckRowIndex(int ARowIndex) const;
    void NotifyDataChanged(TvlDataChangeKind AKind, int AItemIndex, int ARecordIndex);

private:
    using TRecord = std::vector<Variant>;
    std::vector<TRecord> FRecords;
    int FItemCount = 0;
    int FFocusedRowIndex = -1;
    bool FMultiSelect = false;
    std::vector<int> FSelection;  // multi select only, ascending
    int FLockCount = 0;
    bool FChangedInLock = false;
};
