// vlCustomData.h - the data controller: the record and row model behind every
// list of the framework. Typed records in a data storage (or a custom data
// source), the row index built from them by filtering, sorting and grouping,
// focus, selection and expansion anchored to records, one edited record at a
// time, and change descriptions delivered to the owner once per update lock.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/Variant.h"
#include "platform/rtl/Collection.h"
#include "ui/data/vlDataStorage.h"
#include "ui/data/vlDataUtils.h"
#include "ui/data/vlFilter.h"
#include "ui/foundation/vxCore.h"

VORLANE_DECLARE_EXCEPTION(EvlInvalidDataControllerOperation, EvxException);

class TvlCustomDataController;
class TvlCustomDataControllerInfo;
class TvlCustomDataField;
class TvlCustomDataFieldList;
class TvlCustomDataProvider;
class TvlDataControllerGroups;
class TvlCustomDataRelation;
class TvlCustomDataRelationList;
class TvlDataGroups;
class TvlUserDataSource;
class QCollator;
class TStream;

// ---- enumerations and small records ----------------------------------------

enum TvlDataChangeKind : uint8_t { dckItem, dckRecord, dckRecordAdded, dckRecordDeleted, dckAll };

enum TvlDataControllerChange {
    dccLayout, dccData, dccFocusing, dccSelection, dccDetails, dccSummary, dccSearch, dccSorting, dccGrouping,
    dccMasterFocusing, dccBookmark, dccUpdateRecord
};
using TvlDataControllerChanges = TSet<TvlDataControllerChange, 16>;

enum TvlDataControllerInfoChange {
    dicRecords, dicGrouping, dicSorting, dicFocused, dicLayout, dicExpanding, dicFocusing, dicSelection, dicSummary,
    dicFocusChanged
};
using TvlDataControllerInfoChanges = TSet<TvlDataControllerInfoChange, 16>;

enum TvlDataControllerOption {
    dcoAnsiSort, dcoCaseInsensitive, dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding,
    dcoSortByDisplayText, dcoFocusTopRowAfterSorting, dcoGroupsAlwaysExpanded, dcoImmediatePost,
    dcoInsertOnNewItemRowFocusing
};
using TvlDataControllerOptions = TSet<TvlDataControllerOption, 16>;

enum TvlDataEditState { desInserting, desEditing, desChanging, desModified };
using TvlDataEditStates = TSet<TvlDataEditState, 8>;

enum TvlDataEditOperation { deoAppend, deoDelete, deoEdit, deoInsert, deoLocalFocus };
using TvlDataEditOperations = TSet<TvlDataEditOperation, 8>;

enum TvlDataSortOrder { soNone, soAscending, soDescending };

struct TvlDataSortInfo {
    TvlCustomDataField* Field = nullptr;
    TvlDataSortOrder SortOrder = soNone;
};

struct TvlRowInfo {
    bool Expanded = false;
    int Level = 0;
    int RecordIndex = -1;
};

// The editing record index when nothing is edited; never a record index,
// internal ones included.
inline constexpr int vlEditingRecordIndexNone = -2147483647;

using TvlDataSummaryValues = std::vector<Variant>;

// 0 = value source, 1 = the display text (an empty text stores Null).
using TvlDataEditValueSource = int;

// The in-place quicksort of the framework. Its compare need not be a
// strict weak ordering (variant comparisons are not): it only has to answer
// the same for the same pair and 0 for an element with itself, and the
// scans never leave [L, R].
void QuickSortList(std::vector<int>& AList, int L, int R, const std::function<int(int, int)>& ACompare);

// ---- change descriptions ----------------------------------------------------

class TvlUpdateControlInfo : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TvlUpdateControlInfo"); }
};

class TvlDataChangedInfo : public TvlUpdateControlInfo {
public:
    TvlDataChangedInfo(TvlDataChangeKind AKind, int AItemIndex, int ARecordIndex)
        : Kind(AKind), ItemIndex(AItemIndex), RecordIndex(ARecordIndex) {}
    String ClassName() const override { return String::fromLatin1("TvlDataChangedInfo"); }
    TvlDataChangeKind Kind;
    int ItemIndex;
    int RecordIndex;
};

class TvlLayoutChangedInfo : public TvlUpdateControlInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlLayoutChangedInfo"); }
};

class TvlUpdateRecordInfo : public TvlUpdateControlInfo {
public:
    explicit TvlUpdateRecordInfo(int ARecordIndex) : RecordIndex(ARecordIndex) {}
    String ClassName() const override { return String::fromLatin1("TvlUpdateRecordInfo"); }
    int RecordIndex;
};

class TvlFocusedRowChangedInfo : public TvlUpdateControlInfo {
public:
    TvlFocusedRowChangedInfo(int APrevFocusedRowIndex, int AFocusedRowIndex)
        : FocusedRowIndex(AFocusedRowIndex), PrevFocusedRowIndex(APrevFocusedRowIndex) {}
    String ClassName() const override { return String::fromLatin1("TvlFocusedRowChangedInfo"); }
    int FocusedRowIndex;
    int PrevFocusedRowIndex;
};

class TvlFocusedRecordChangedInfo : public TvlUpdateControlInfo {
public:
    TvlFocusedRecordChangedInfo(int APrevFocusedRecordIndex, bool ANewItemRowFocusingChanged, int AFocusedRowIndex,
                                int APrevFocusedRowIndex, int AFocusedRecordIndex)
        : FocusedRecordIndex(AFocusedRecordIndex), PrevFocusedRecordIndex(APrevFocusedRecordIndex),
          FocusedRowIndex(AFocusedRowIndex), PrevFocusedRowIndex(APrevFocusedRowIndex),
          NewItemRowFocusingChanged(ANewItemRowFocusingChanged) {}
    String ClassName() const override { return String::fromLatin1("TvlFocusedRecordChangedInfo"); }
    int FocusedRecordIndex;
    int PrevFocusedRecordIndex;
    int FocusedRowIndex;
    int PrevFocusedRowIndex;
    bool NewItemRowFocusingChanged;
};

class TvlSelectionChangedInfo : public TvlUpdateControlInfo {
public:
    TvlSelectionChangedInfo() = default;
    // Lists the first row when it is not -1, the second when it is not -1
    // and differs from the first.
    TvlSelectionChangedInfo(int ARowIndex1, int ARowIndex2);
    String ClassName() const override { return String::fromLatin1("TvlSelectionChangedInfo"); }
    int GetCount() const { return int(RowIndexes.size()); }
    // Raises EListError outside 0 .. GetCount-1.
    int GetRowIndex(int Index) const;
    std::vector<int> RowIndexes;
};

class TvlGroupingChangingInfo : public TvlUpdateControlInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlGroupingChangingInfo"); }
};

class TvlBookmarkChangedInfo : public TvlUpdateControlInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlBookmarkChangedInfo"); }
};

class TvlSearchChangedInfo : public TvlUpdateControlInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlSearchChangedInfo"); }
};

// ---- the owner ---------------------------------------------------------------

// What a controller needs of the object that shows its rows (a grid view):
// its items in its own order, whether it is loading, reading or going away,
// and where change descriptions go. A description lives for one call.
class IvlDataControllerOwner {
public:
    virtual ~IvlDataControllerOwner() = default;
    virtual int GetDataItemCount() const = 0;
    virtual TObject* GetDataItem(int AIndex) const = 0;
    virtual TComponentState GetDataOwnerState() const = 0;
    virtual void UpdateDataControl(TvlUpdateControlInfo* AInfo) = 0;
};

// ---- support classes ---------------------------------------------------------

// Tells a running operation whether its controller still exists.
class TvlDataListenerLink : public TObject {
public:
    explicit TvlDataListenerLink(TvlCustomDataController* ADataController) : Ref(ADataController) {}
    String ClassName() const override { return String::fromLatin1("TvlDataListenerLink"); }
    TvlCustomDataController* Ref;
};

// Hands components that go away to the controller's fields.
class TvlDataControllerNotifier : public TComponent {
public:
    explicit TvlDataControllerNotifier(TvlCustomDataController* ADataController);
    String ClassName() const override { return String::fromLatin1("TvlDataControllerNotifier"); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TvlCustomDataController* FDataController;
};

// Values given one by one, for filling a locate buffer.
class TvlValueDefUnboundReader : public TvlValueDefReader {
public:
    ~TvlValueDefUnboundReader() override;
    Variant ValueFor(TvlValueDef* AValueDef) override;
    bool SkipsDefinition(TvlValueDef* AValueDef) override;
    void SetValue(TvlValueDef* AValueDef, const Variant& AValue);
    void Truncate(int ACount);
    void Clear() { Truncate(0); }
    int ItemCount() const { return int(FItems.size()); }
    int ValueCount() const { return int(FValues.size()); }

private:
    std::vector<TvlValueDef*> FItems;
    std::vector<std::unique_ptr<Variant>> FValues;
};

// The values of one record of a controller.
class TvlValueDefRecordReader : public TvlValueDefReader {
public:
    TvlValueDefRecordReader(TvlCustomDataController* ADataController, int ARecordIndex)
        : FDataController(ADataController), FRecordIndex(ARecordIndex) {}
    String TextFor(TvlValueDef* AValueDef) override;
    Variant ValueFor(TvlValueDef* AValueDef) override;
    bool SkipsDefinition(TvlValueDef* AValueDef) override;

private:
    TvlCustomDataController* FDataController;
    int FRecordIndex;
};

// ---- fields --------------------------------------------------------------------

class TvlCustomDataField : public TObject {
public:
    explicit TvlCustomDataField(TvlCustomDataFieldList* AFieldList);
    ~TvlCustomDataField() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataField"); }

    virtual void Reassign(TvlCustomDataField* ASource);
    virtual void RemoveNotification(TComponent* AComponent) { (void)AComponent; }
    virtual bool CanModify(bool AAllowed) const;
    virtual bool IsEditableWithoutProvider() const { return false; }
    virtual bool GetIsInternal() const { return FIsInternal; }

    TvlCustomDataController* GetDataController() const;
    TvlCustomDataFieldList* FieldList() const { return FFieldList; }
    TObject* Item() const { return FItem; }
    void SetItem(TObject* Value) { FItem = Value; }
    int Index() const;
    void SetIndex(int AIndex);
    bool IsInternal() const { return GetIsInternal(); }
    void SetIsInternal(bool Value);

    // These follow the reference chain to its end.
    TvlValueDef* GetValueDef() const;
    TvlValueTypeClass GetValueTypeClass() const;
    bool GetTextStored() const;
    // Ignored on a referencing field or when unchanged; otherwise the
    // column is made anew and its values are lost.
    void SetValueTypeClass(TvlValueTypeClass Value);
    void SetTextStored(bool Value);
    TvlCustomDataField* ReferenceField() const { return FReferenceField; }
    // A reference that would close a cycle is refused.
    void SetReferenceField(TvlCustomDataField* AField);

    bool Stored() const { return FStored; }
    void SetStored(bool Value) { FStored = Value; }
    // Set for the length of a sort or group pass: 0 not prepared, -1
    // native, 1 values, 2 display texts.
    int ComparisonMode = 0;
    bool UpdatedMark = false;

private:
    friend class TvlCustomDataFieldList;
    friend class TvlCustomDataController;
    void beginRecreateData();
    void endRecreateData();
    void createData();
    void clearData();

    TvlCustomDataFieldList* FFieldList;
    bool FIsInternal = false;
    TObject* FItem = nullptr;
    int FRecreateDataLock = 0;
    bool FStored = false;
    TvlCustomDataField* FReferenceField = nullptr;
    bool FTextStored = false;
    TvlValueDef* FValueDef = nullptr;  // owned by the storage's definitions
    TvlValueTypeClass FValueTypeClass = nullptr;
};

class TvlCustomDataFieldList : public TObject {
public:
    explicit TvlCustomDataFieldList(TvlCustomDataController* ADataController);
    ~TvlCustomDataFieldList() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataFieldList"); }

    virtual void RemoveNotification(TComponent* AComponent);
    TvlCustomDataController* DataController() const { return FDataController; }
    // Item fields stay before internal ones, in item order.
    void Add(std::unique_ptr<TvlCustomDataField> AField);
    // Frees the field after every reference to it is gone.
    void Remove(TvlCustomDataField* AField);
    void Clear();
    TvlCustomDataField* FieldByItem(const TObject* AItem) const;
    int Count() const { return int(FItems.size()); }
    int ItemCount() const { return Count() - FInternalCount; }
    TvlCustomDataField* GetItem(int AIndex) const { return FItems.at(size_t(AIndex)).get(); }
    int IndexOf(const TvlCustomDataField* AField) const;
    bool FieldDestroyed = false;

private:
    friend class TvlCustomDataField;
    void recount();
    void move(int ACurIndex, int ANewIndex);
    TvlCustomDataController* FDataController;
    int FInternalCount = 0;
    std::vector<std::unique_ptr<TvlCustomDataField>> FItems;
};

// ---- keys kept across a reload ------------------------------------------------

class TvlKeyInfo {
public:
    virtual ~TvlKeyInfo() = default;
    Variant Key;
};

class TvlSelectedKeyInfo : public TvlKeyInfo {
public:
    int SelectedIndex = -1;
};

class TvlSaveObject;

class TvlDetailKeyInfo : public TvlKeyInfo {
public:
    int ActiveRelationIndex = -1;
    std::unique_ptr<TvlSaveObject> SubDetail;
};

class TvlKeys : public TObject {
public:
    TvlKeys() = default;
    ~TvlKeys() override;
    virtual void Clear();
    void Store(TvlCustomDataController* ADataController);
    void Restore(TvlCustomDataController* ADataController);
    bool Find(int ARecordIndex, int& AIndex) const;
    void Delete(int AIndex);
    int Count() const { return int(FKeys.size()); }
    TvlKeyInfo* Items(int AIndex) const { return FKeys.at(size_t(AIndex)).get(); }

protected:
    virtual void DoRestore() {}
    virtual void DoStore() {}
    TvlCustomDataController* FDataController = nullptr;
    std::vector<TvlCustomDataField*> FKeyFields;
    std::vector<std::unique_ptr<TvlKeyInfo>> FKeys;
};

// The records whose details are expanded, with their active relation and
// what their detail controllers keep in turn.
class TvlDetailKeys : public TvlKeys {
protected:
    void DoRestore() override;
    void DoStore() override;
};

class TvlSelectedKeys : public TvlKeys {
protected:
    void DoRestore() override;
    void DoStore() override;
};

class TvlSaveObject {
public:
    TvlSaveObject();
    ~TvlSaveObject();
    void Save(TvlCustomDataController* ADataController);
    void Restore(TvlCustomDataController* ADataController);
    TvlDetailKeys* DetailKeys() const { return FDetailKeys.get(); }
    TvlSelectedKeys* SelectedKeys() const { return FSelectedKeys.get(); }

private:
    std::unique_ptr<TvlDetailKeys> FDetailKeys;
    std::unique_ptr<TvlSelectedKeys> FSelectedKeys;
};

// ---- the custom data source and the provider ------------------------------------

// A record source of the owner's own. Record and item handles are its
// business; the provider keeps each record's handle in an internal field.
class TvlUserDataSource {
public:
    virtual ~TvlUserDataSource();
    TvlCustomDataProvider* CurrentProvider = nullptr;
    std::vector<TvlCustomDataProvider*> Providers;

    virtual int AppendRecord() { return -1; }
    virtual void CustomSort() {}
    virtual void DeleteRecord(int AHandle) { (void)AHandle; }
    virtual bool GetDetailHasChildren(int ARecordIndex, int ARelationIndex) { (void)ARecordIndex; (void)ARelationIndex; return false; }
    virtual String GetDisplayText(int AHandle, int AItemHandle) { return VarToStr(GetValue(AHandle, AItemHandle)); }
    // False when the value is null; else AData points at comparable data.
    virtual bool GetInfoForCompare(int AHandle, int AItemHandle, const TvlValueData*& AData) { (void)AHandle; (void)AItemHandle; AData = nullptr; return false; }
    virtual int GetItemHandle(int AItemIndex) { return AItemIndex; }
    virtual bool IsInsertSupported() { return false; }
    virtual Variant GetRecordId(int AHandle) { (void)AHandle; return Null(); }
    virtual Variant GetValue(int AHandle, int AItemHandle) { (void)AHandle; (void)AItemHandle; return Null(); }
    virtual int InsertRecord(int AHandle) { (void)AHandle; return -1; }
    virtual bool IsCustomSorting() { return false; }
    virtual bool IsNativeCompare() { return false; }
    virtual bool IsNativeCompareFunc() { return false; }
    virtual bool IsRecordIdSupported() { return false; }
    virtual void LoadRecordHandles() {}
    virtual int NativeCompareFunc(int AHandle1, int AHandle2, int AItemHandle) { (void)AHandle1; (void)AHandle2; (void)AItemHandle; return 0; }
    virtual void SetRecordCount(int ACount) { (void)ACount; }
    virtual void SetValue(int AHandle, int AItemHandle, const Variant& AValue) { (void)AHandle; (void)AItemHandle; (void)AValue; }

    // The controller of the current provider (for LoadRecordHandles).
    TvlCustomDataController* DataController() const;
};

class TvlCustomDataProvider : public TObject {
public:
    explicit TvlCustomDataProvider(TvlCustomDataController* ADataController);
    ~TvlCustomDataProvider() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataProvider"); }

    virtual void CustomSort();
    virtual bool CanUseStorage() const { return true; }
    virtual bool IsCustomSorting() const;
    virtual bool IsGridMode() const { return false; }
    virtual bool IsCursorMode() const { return false; }
    virtual bool IsCustomDataSourceSupported() const { return false; }
    virtual bool IsRecordIdSupported() const;
    virtual bool IsCursorFocusMode() const { return false; }
    virtual bool IsActive() const { return FCustomDataSource != nullptr; }
    virtual bool NeedsFieldsUpdate() const { return false; }
    virtual bool IsBOF() const { return true; }
    virtual bool IsChanging() const { return FChanging; }
    virtual bool IsEditing() const { return FEditingRecordIndex != vlEditingRecordIndexNone; }
    virtual bool IsEOF() const { return true; }
    virtual bool IsFieldsUpdateDeferred() const { return false; }
    virtual bool IsInserting() const { return IsEditing() && FInserting; }
    virtual bool IsModified() const { return FModified; }
    virtual bool IsImmediatePost() const { return !CanModify(); }
    virtual void RecordAdded(int ARecordIndex) { (void)ARecordIndex; }
    virtual void First() { FRecreatedFieldsAfterFirst = false; }
    virtual void Prior() {}
    virtual void Next() {}
    virtual void Last() {}
    virtual void Resync() {}
    virtual void MoveBy(int ADistance) { (void)ADistance; }
    virtual void BeginLoad() {}
    virtual void EndLoad() {}
    virtual bool CanAppend() const { return CanModify(); }
    virtual bool CanInsert() const { return CanModify(); }
    virtual bool CanDelete() const;
    virtual bool CanInitEditing(int ARecordIndex);
    virtual bool CanModify() const { return true; }
    virtual void Append();
    virtual void Cancel();
    virtual void DoUpdateData();
    virtual void DeleteFocusedRecord();
    virtual void DeleteRecords(std::vector<int>& AList);
    virtual void DeleteSelection();
    virtual void Edit();
    virtual Variant GetRecordValue(int ARecordIndex, TvlCustomDataField* AField, TvlDataEditValueSource AEditValueSource);
    virtual void Insert();
    virtual void Post(bool AForcePost);
    virtual void PostEditingData();
    virtual void SetEditValue(int ARecordIndex, TvlCustomDataField* AField, const Variant& AValue,
                              TvlDataEditValueSource AEditValueSource);
    virtual void BeginDeleting();
    virtual void EndDeleting();
    virtual void SetFieldValue(int ARecordIndex, TvlCustomDataField* AField, const Variant& AValue);
    virtual void DoInitInsertingRecord(int ARecordIndex, const TvlDataSummaryValues& AGroupValues);
    virtual void DoEdit();
    virtual void DoInsert(bool AAppend);
    virtual void ResetChanging() { FChanging = false; }
    virtual void ResetEditing();
    virtual void ResetModified() { FModified = false; }
    virtual void SetChanging() { FChanging = true; }
    virtual void EditRecord() { DoEdit(); }
    virtual void SetModified() { FModified = true; }
    void BeginLocate() { ++FLocateCount; }
    void EndLocate() { --FLocateCount; }
    void Freeze() { ++FLockCount; }
    void Unfreeze() { --FLockCount; }
    virtual int AppendRecord();
    virtual void DeleteRecord(int ARecordIndex);
    virtual bool GetDetailHasChildren(int ARecordIndex, int ARelationIndex);
    virtual String GetDisplayText(int ARecordIndex, TvlCustomDataField* AField);
    virtual String GetExternalDisplayText(int ARecordIndex, TvlCustomDataField* AField) { (void)ARecordIndex; (void)AField; return {}; }
    virtual Variant GetExternalValue(int ARecordIndex, TvlCustomDataField* AField) { (void)ARecordIndex; (void)AField; return Null(); }
    virtual Variant GetRecordId(int ARecordIndex);
    virtual int GetFocusedRecordIndex() const { return -1; }
    virtual Variant GetValue(int ARecordIndex, TvlCustomDataField* AField);
    virtual int InsertRecord(int ARecordIndex);
    virtual void LoadGridModeBuffer() {}
    virtual int NativeCompare(int ARecordIndex1, int ARecordIndex2, TvlCustomDataField* AField);
    virtual int NativeCompareFunc(int ARecordIndex1, int ARecordIndex2, TvlCustomDataField* AField);
    virtual void SetDisplayText(int ARecordIndex, TvlCustomDataField* AField, const String& AText) { (void)ARecordIndex; (void)AField; (void)AText; }
    virtual void SetRecordCount(int ACount);
    virtual void SetValue(int ARecordIndex, TvlCustomDataField* AField, const Variant& AValue);
    virtual void ActiveChanged(bool AActive);
    virtual void DataChanged(TvlDataChangeKind AKind, int AItemIndex, int ARecordIndex);
    virtual void FocusedRecordChanged(int ARecordIndex);
    virtual void LayoutChanged();

    int AddRecordHandle(int AHandle);
    void LoadRecordHandles();
    void CreateSavedRecord(int ARecordIndex);
    void ClearSavedRecord();
    void SetCustomDataSource(TvlUserDataSource* Value);
    TvlUserDataSource* CustomDataSource() const { return FCustomDataSource; }
    TvlCustomDataController* DataController() const { return FDataController; }

    int EditingRecordIndex() const { return FEditingRecordIndex; }
    int EditingRecordIndex1() const { return FEditingRecordIndex1; }
    int EditingRecordIndex2() const { return FEditingRecordIndex2; }
    int InsertedRecordIndex() const { return FInsertedRecordIndex; }
    int SavedRecordIndex() const { return FSavedRecordIndex; }
    bool IsDataFrozen() const { return FLockCount != 0; }
    int LocateCount() const { return FLocateCount; }
    bool IsLocating() const { return FLocateCount != 0; }
    bool DataChangedLocked() const { return FDataChangedLocked; }
    bool ActiveChanging() const { return FActiveChanging; }
    bool DescendantInserting() const { return FDescendantInserting; }
    bool Grouped = false;

private:
    friend class TvlCustomDataController;
    int recordIndexOfHandle(int AHandle);
    int handleOf(int ARecordIndex);
    int itemHandleOf(TvlCustomDataField* AField);
    TvlUserDataSource* source();
    void focusNearestRecord();

    bool FActiveChanging = false;
    bool FChanging = false;
    TvlUserDataSource* FCustomDataSource = nullptr;
    bool FDataChangedLocked = false;
    TvlCustomDataController* FDataController;
    int FEditingRecordIndex = vlEditingRecordIndexNone;
    int FEditingRecordIndex1 = vlEditingRecordIndexNone;
    int FEditingRecordIndex2 = vlEditingRecordIndexNone;
    int FInsertedRecordIndex = -1;
    bool FInUpdateData = false;
    int FLocateCount = 0;
    int FLockCount = 0;
    bool FModified = false;
    bool FRecreatedFieldsAfterFirst = false;
    int FSavedRecordIndex = 0;
    bool FDescendantInserting = false;
    bool FInserting = false;
};

// ---- objects the controller owns whose full forms come later --------------

// ---- filtering -----------------------------------------------------------------------

class TvlDataFilterCriteria;
class TvlDataFilterValueList;

// One condition of a controller's filter. It keeps the data field of its
// column and shows its users the column (the field's item).
class TvlDataFilterCriteriaItem : public TvlFilterCriteriaItem {
public:
    using TvlFilterCriteriaItem::TvlFilterCriteriaItem;
    String ClassName() const override { return String::fromLatin1("TvlDataFilterCriteriaItem"); }
    Variant GetDataValue(int ARecordIndex) override;
    String GetFieldCaption() override;
    String GetFieldName() override;
    TObject* GetItemLink() const override;
    // A data field is kept as it is; any other object is taken as a column
    // and replaced by the controller's field for it (nil when none).
    void SetItemLink(TObject* AValue) override;
    TvlCustomDataField* Field() const { return dynamic_cast<TvlCustomDataField*>(StoredItemLink()); }
    TvlCustomDataController* DataController() const;
};

using TvlDataFilterGetValueListEvent =
    TDelegate<void(TvlFilterCriteria* Sender, int AItemIndex, TvlDataFilterValueList* AValueList)>;

// The filter streams of the controller's criteria are written in this version.
inline constexpr uint8_t vlDefaultFilterStreamVersion = 3;

// The controller's filter: conditions on its columns, evaluated against its
// records while Active.
class TvlDataFilterCriteria : public TvlFilterCriteria {
public:
    explicit TvlDataFilterCriteria(TvlCustomDataController* ADataController);
    ~TvlDataFilterCriteria() override;
    String ClassName() const override { return String::fromLatin1("TvlDataFilterCriteria"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    int GetIDByItemLink(TObject* AItemLink) override;
    String GetNameByItemLink(TObject* AItemLink) override;
    TObject* GetItemLinkByID(int AID) override;
    TObject* GetItemLinkByName(const String& AName) override;
    std::unique_ptr<TvlFilterCriteriaItem> CreateItem(TvlFilterCriteriaItemList* AParent, const String& ADisplayValue,
                                                      const Variant& AValue, TvlFilterOperatorKind AOperatorKind,
                                                      TObject* AItemLink) override;
    std::unique_ptr<TvlFilterValueList> CreateValueList() override;
    void DoChanged() override;
    using TvlFilterCriteria::Assign;
    void Assign(const TPersistent* Source, bool AByIdOnly) override;
    void AssignEvents(const TPersistent* Source) override;
    // A column is first replaced by its field.
    TvlFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink) const override;
    // Active, with conditions, and not in grid mode.
    virtual bool IsFiltering() const;
    bool DoFilterRecord(int ARecordIndex) { return EvaluateRecord(ARecordIndex); }

    TvlCustomDataController* DataController() const { return FDataController; }
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // The "Criteria" binary property: the criteria stream.
    QByteArray CriteriaData() const;
    void SetCriteriaData(const QByteArray& AValue);
    TvlDataFilterGetValueListEvent OnGetValueList;

private:
    TvlCustomDataField* fieldOf(TObject* AItemLink) const;
    TvlCustomDataController* FDataController;
    bool FActive = false;
    bool FDestroying = false;
};

// A column's filter drop-down: (All), (Custom...), the distinct values,
// (Blanks) and (NonBlanks).
class TvlDataFilterValueList : public TvlFilterValueList {
public:
    explicit TvlDataFilterValueList(TvlDataFilterCriteria* ACriteria) : TvlFilterValueList(ACriteria) {}
    String ClassName() const override { return String::fromLatin1("TvlDataFilterValueList"); }
    TvlDataFilterCriteria* DataCriteria() const { return static_cast<TvlDataFilterCriteria*>(Criteria()); }
    virtual void Load(int AItemIndex, bool AInitSortByDisplayText = true, bool AUseFilteredValues = false);

private:
    void addValues(std::vector<TvlFilterValueItem> AValues);
};

// The controller's additional filters: working copies for the filter
// dialogs, never applied to the rows. The list owns them.
class TvlDataFilterList : public TObject {
public:
    TvlDataFilterList() = default;
    ~TvlDataFilterList() override { Clear(); }
    String ClassName() const override { return String::fromLatin1("TvlDataFilterList"); }
    TvlDataFilterCriteria* Add(std::unique_ptr<TvlDataFilterCriteria> AFilter);
    // Frees one filter of the list.
    void Free(TvlDataFilterCriteria* AFilter);
    // Frees every filter, the last first.
    void Clear();
    void RemoveItemByField(TvlCustomDataField* AField);
    bool Contains(const TvlDataFilterCriteria* AFilter) const;
    int Count() const { return int(FItems.size()); }
    TvlDataFilterCriteria* GetItem(int AIndex) const { return FItems.at(size_t(AIndex)).get(); }

private:
    std::vector<std::unique_ptr<TvlDataFilterCriteria>> FItems;
};

// ---- summaries -------------------------------------------------------------------------

enum TvlSummaryKind : uint8_t { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TvlSummaryPosition : uint8_t { spGroup, spFooter };
enum TvlSummaryOption { soNullIgnore, soSelectedRecords, soMultipleSelectedRecords };
using TvlSummaryOptions = TSet<TvlSummaryOption, 8>;
using TvlDataSummaryCountValues = std::vector<int32_t>;

class TvlDataSummary;
class TvlDataSummaryItem;
class TvlDataSummaryItems;
class TvlDataSummaryGroup;

struct TvlSummaryEventArguments {
    int RecordIndex = -1;
    TvlDataSummaryItem* SummaryItem = nullptr;
};

struct TvlSummaryEventOutArguments {
    Variant Value;         // the record's value
    Variant SummaryValue;  // the running value
    int32_t Count = 0;     // the running count
    bool Done = false;     // the standard step skips this record
};

using TvlSummaryEvent = TDelegate<void(TvlDataSummaryItems* ASender, const TvlSummaryEventArguments& Arguments,
                                       TvlSummaryEventOutArguments& OutArguments)>;
using TvlDataSummaryItemGetTextEvent =
    TDelegate<void(TvlDataSummaryItem* Sender, const Variant& AValue, bool AIsFooter, String& AText)>;
using TvlAfterSummaryEvent = TDelegate<void(TvlDataSummary* ASender)>;

// A summary of one column: its field (nil = unbound), kind, format and
// whether groups are ordered by it.
class TvlCustomDataSummaryItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataSummaryItem"); }
    void Assign(const TPersistent* Source) override;

    virtual void AssignValues(const TvlCustomDataSummaryItem* ASource);
    virtual TvlCustomDataController* GetDataController() const = 0;
    // The item's Format, else the collection's default for the value type
    // (1 currency, 2 date-time, 0 other).
    virtual String GetValueFormat(int AValueType, TvlSummaryKind AKind, bool AIsFooter) const;
    virtual bool IsCurrency(TVarType AVarType) const { return IsCurrencyVarType(AVarType); }
    virtual void ItemLinkChanging(TvlCustomDataField* AField) { (void)AField; }
    virtual String FormatValue(const Variant& AValue, bool AIsFooter);

    TvlCustomDataField* Field() const { return FField; }
    TObject* ItemLink() const { return FField != nullptr ? FField->Item() : nullptr; }
    void SetItemLink(TObject* AValue);
    const String& Format() const { return FFormat; }
    void SetFormat(const String& AValue);
    TvlSummaryKind Kind() const { return FKind; }
    void SetKind(TvlSummaryKind AValue);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool AValue);

protected:
    friend class TvlDataSummary;
    friend class TvlDataSummaryItems;
    friend class TvlDataGroupSummaryItems;
    friend class TvlDataSummaryGroupItemLink;
    TvlCustomDataField* FField = nullptr;
    String FFormat;
    TvlSummaryKind FKind = skNone;
    bool FSorted = false;
};

class TvlDataSummaryItem : public TvlCustomDataSummaryItem {
public:
    using TvlCustomDataSummaryItem::TvlCustomDataSummaryItem;
    String ClassName() const override { return String::fromLatin1("TvlDataSummaryItem"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;
    void AssignValues(const TvlCustomDataSummaryItem* ASource) override;
    TvlCustomDataController* GetDataController() const override;
    String FormatValue(const Variant& AValue, bool AIsFooter) override;

    // A bound column, or a count in a group row (which needs none).
    virtual bool CanCalculate() const;
    virtual bool IsPositionStored() const;
    virtual TvlCustomDataField* DataField() const { return FField; }

    TvlDataSummaryItems* SummaryItems() const;
    TvlSummaryPosition Position() const;
    void SetPosition(TvlSummaryPosition AValue);
    int Tag = 0;
    TvlDataSummaryItemGetTextEvent OnGetText;

private:
    friend class TvlDataSummaryItems;
    TvlSummaryPosition FPosition = spGroup;
};

class TvlDataSummaryItems : public TvlCollection {
public:
    TvlDataSummaryItems(TvlDataSummary* ASummary, TCollectionItemClass AItemClass);
    String ClassName() const override { return String::fromLatin1("TvlDataSummaryItems"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    virtual void SortedChanging(TvlCustomDataSummaryItem* AItem, bool AValue) { (void)AItem; (void)AValue; }
    virtual TvlSummaryPosition GetItemPosition(const TvlDataSummaryItem* AItem) const;
    virtual bool IsPositionStored(const TvlDataSummaryItem* AItem) const { (void)AItem; return true; }
    virtual void AssignEvents(const TvlDataSummaryItems* ASource) { OnSummary = ASource->OnSummary; }
    virtual String DefaultFormat(int AValueType, TvlSummaryKind AKind, bool AIsFooter) const;
    virtual String GetGroupSummaryDisplayText(const Variant& AValues) { (void)AValues; return {}; }
    virtual TvlDataSummaryItem* GetDataItem(int AItemIndex, TvlSummaryPosition APosition, bool ACheckKind = false,
                                            TvlSummaryKind AKind = skNone) const;
    // Bit 1 Format, 2 Kind, 4 Sorted: true unless a chosen one holds a value.
    static bool IsPropertiesEmpty(int AProperties, const String& AFormat, bool ASorted, TvlSummaryKind AKind);

    TvlDataSummary* Summary() const { return FSummary; }
    TvlDataSummaryItem* GetItem(int AIndex) const { return static_cast<TvlDataSummaryItem*>(Items(AIndex)); }
    TvlDataSummaryItem* Add() { return static_cast<TvlDataSummaryItem*>(TCollection::Add()); }
    TvlDataSummaryItem* Add(TObject* AItemLink, TvlSummaryPosition APosition, const String& AFormat,
                            TvlSummaryKind AKind);
    int IndexOfItemLink(const TObject* AItemLink) const;
    TvlDataSummaryItem* ItemOfItemLink(const TObject* AItemLink) const;
    int IndexOfField(const TvlCustomDataField* AField) const;
    TvlDataSummaryItem* ItemOfField(const TvlCustomDataField* AField) const;
    String GetDataItemFormat(int AItemIndex, TvlSummaryPosition APosition) const;
    TvlSummaryKind GetDataItemKind(int AItemIndex, TvlSummaryPosition APosition) const;
    bool GetDataItemSorted(int AItemIndex, TvlSummaryPosition APosition) const;
    void SetDataItemFormat(int AItemIndex, TvlSummaryPosition APosition, const String& AValue);
    void SetDataItemKind(int AItemIndex, TvlSummaryPosition APosition, TvlSummaryKind AValue);
    void SetDataItemSorted(int AItemIndex, TvlSummaryPosition APosition, bool AValue);
    TvlSummaryEvent OnSummary;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TvlDataSummaryItem* dataItemFor(int AItemIndex, TvlSummaryPosition APosition, bool ACreate);
    void dropIfEmpty(TvlDataSummaryItem* AItem);
    TvlDataSummary* FSummary;
};

class TvlDataFooterSummaryItems : public TvlDataSummaryItems {
public:
    using TvlDataSummaryItems::TvlDataSummaryItems;
    String ClassName() const override { return String::fromLatin1("TvlDataFooterSummaryItems"); }
    TvlSummaryPosition GetItemPosition(const TvlDataSummaryItem*) const override { return spFooter; }
    bool IsPositionStored(const TvlDataSummaryItem*) const override { return false; }
};

class TvlDataGroupSummaryItems : public TvlDataSummaryItems {
public:
    TvlDataGroupSummaryItems(TvlDataSummary* ASummary, TCollectionItemClass AItemClass,
                             TvlDataSummaryGroup* ASummaryGroup = nullptr)
        : TvlDataSummaryItems(ASummary, std::move(AItemClass)), FSummaryGroup(ASummaryGroup) {}
    String ClassName() const override { return String::fromLatin1("TvlDataGroupSummaryItems"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;
    void SortedChanging(TvlCustomDataSummaryItem* AItem, bool AValue) override;
    String GetGroupSummaryDisplayText(const Variant& AValues) override;
    // The item the groups are ordered by, nil when none.
    TvlDataSummaryItem* GetSortedSummaryItem() const;
    TvlDataSummaryGroup* SummaryGroup() const { return FSummaryGroup; }
    const String& BeginText() const { return FBeginText; }
    void SetBeginText(const String& AValue);
    const String& EndText() const { return FEndText; }
    void SetEndText(const String& AValue);
    const String& Separator() const { return FSeparator; }
    void SetSeparator(const String& AValue);

private:
    void textChanged();
    TvlDataSummaryGroup* FSummaryGroup;
    String FBeginText = String::fromLatin1("(");
    String FEndText = String::fromLatin1(")");
    String FSeparator = String::fromLatin1(",");
};

// One column whose grouping uses a summary group's items.
class TvlDataSummaryGroupItemLink : public TvlCustomDataSummaryItem {
public:
    using TvlCustomDataSummaryItem::TvlCustomDataSummaryItem;
    String ClassName() const override { return String::fromLatin1("TvlDataSummaryGroupItemLink"); }
    TvlCustomDataController* GetDataController() const override;
    // A column belongs to one summary group at most.
    void ItemLinkChanging(TvlCustomDataField* AField) override;
    TvlDataSummaryGroup* SummaryGroup() const;
};

class TvlDataSummaryGroupItemLinks : public TvlCollection {
public:
    TvlDataSummaryGroupItemLinks(TvlDataSummaryGroup* AGroup, TCollectionItemClass AItemClass)
        : TvlCollection(std::move(AItemClass)), FSummaryGroup(AGroup) {}
    String ClassName() const override { return String::fromLatin1("TvlDataSummaryGroupItemLinks"); }
    TvlDataSummaryGroup* SummaryGroup() const { return FSummaryGroup; }
    TvlDataSummaryGroupItemLink* Add() { return static_cast<TvlDataSummaryGroupItemLink*>(TCollection::Add()); }
    TvlDataSummaryGroupItemLink* GetItem(int AIndex) const
    {
        return static_cast<TvlDataSummaryGroupItemLink*>(Items(AIndex));
    }
    int IndexOfField(const TvlCustomDataField* AField) const;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TvlDataSummaryGroup* FSummaryGroup;
};

class TvlDataSummaryGroups;

class TvlDataSummaryGroup : public TCollectionItem {
public:
    explicit TvlDataSummaryGroup(TCollection* ACollection);
    ~TvlDataSummaryGroup() override;
    String ClassName() const override { return String::fromLatin1("TvlDataSummaryGroup"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;
    TvlDataSummaryGroups* SummaryGroups() const;
    TvlDataSummary* Summary() const;
    TvlDataGroupSummaryItems* SummaryItems() const { return FSummaryItems.get(); }
    void SetSummaryItems(const TvlDataGroupSummaryItems* AValue) { FSummaryItems->Assign(AValue); }
    // Made on first use.
    TvlDataSummaryGroupItemLinks* Links();
    TvlDataSummaryGroupItemLinks* FindLinks() const { return FLinks.get(); }
    void SetLinks(TvlDataSummaryGroupItemLinks* AValue) { Links()->Assign(AValue); }

private:
    std::unique_ptr<TvlDataGroupSummaryItems> FSummaryItems;
    std::unique_ptr<TvlDataSummaryGroupItemLinks> FLinks;
};

class TvlDataSummaryGroups : public TvlCollection {
public:
    explicit TvlDataSummaryGroups(TvlDataSummary* ASummary);
    String ClassName() const override { return String::fromLatin1("TvlDataSummaryGroups"); }
    TvlDataSummary* Summary() const { return FSummary; }
    TvlDataSummaryGroup* Add() { return static_cast<TvlDataSummaryGroup*>(TCollection::Add()); }
    TvlDataSummaryGroup* GetItem(int AIndex) const { return static_cast<TvlDataSummaryGroup*>(Items(AIndex)); }
    // The first group whose links hold the column.
    TvlDataSummaryGroup* FindByItemLink(const TObject* AItemLink) const;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TvlDataSummary* FSummary;
};

// Orders group rows by a group summary; the grid supplies the engine.
class TvlSortingBySummaryEngine : public TObject {
public:
    explicit TvlSortingBySummaryEngine(TvlCustomDataControllerInfo* ADataControllerInfo)
        : FDataControllerInfo(ADataControllerInfo) {}
    String ClassName() const override { return String::fromLatin1("TvlSortingBySummaryEngine"); }
    virtual void Sort() = 0;
    TvlCustomDataController* GetDataController() const;
    TvlCustomDataControllerInfo* DataControllerInfo() const { return FDataControllerInfo; }

private:
    TvlCustomDataControllerInfo* FDataControllerInfo;
};

// Sum, minimum, maximum, count and average of columns over the filtered
// records: once for the footer, once per group row of every level.
class TvlDataSummary : public TPersistent {
public:
    explicit TvlDataSummary(TvlCustomDataController* ADataController);
    ~TvlDataSummary() override;
    String ClassName() const override { return String::fromLatin1("TvlDataSummary"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;
    TvlCustomDataController* DataController() const { return FDataController; }

    TvlDataGroupSummaryItems* DefaultGroupSummaryItems() const { return FDefaultGroupSummaryItems.get(); }
    TvlDataFooterSummaryItems* FooterSummaryItems() const { return FFooterSummaryItems.get(); }
    TvlDataSummaryGroups* SummaryGroups() const { return FSummaryGroups.get(); }
    TvlSummaryOptions Options() const { return FOptions; }
    // Of the two selection options a newly added one wins.
    void SetOptions(TvlSummaryOptions AValue);
    TvlAfterSummaryEvent OnAfterSummary;

    void BeginUpdate();
    void EndUpdate();
    void CancelUpdate();
    void Changed(bool ARedrawOnly);

    // The summary depends on the selection.
    bool IsSelectedRecordsOnly() const
    {
        return FOptions.Contains(soSelectedRecords) || FOptions.Contains(soMultipleSelectedRecords);
    }
    bool IsGroupSortedBySummary() const;
    // Footer and groups; the row index runs the halves itself.
    void Calculate();
    void CalculateFooterSummary();
    void CalculateGroupSummary();
    void DoAfterSummary();

    Variant GetFooterSummaryValue(int AIndex) const;
    String GetFooterSummaryDisplayText(int AIndex) const;
    const Variant& FooterSummaryValues() const { return FFooterSummaryValues; }
    TvlDataGroupSummaryItems* GetGroupSummaryItems(int ALevel) const;
    bool GetGroupSummaryInfo(int ARowIndex, TvlDataGroupSummaryItems*& AItems, Variant*& AValues) const;
    String GetGroupSummaryText(int ARowIndex) const;
    String GetGroupFooterSummaryDisplayText(int ARowIndex, int ALevel, int AIndex) const;
    TvlDataSummaryItems* GetMatchingSummaryItems(TvlDataSummary* AOther, TvlDataSummaryItems* AItems) const;
    void RemoveItemByField(TvlCustomDataField* AField);
    void RemoveItemsOfField(TvlCustomDataField* AField) { RemoveItemByField(AField); }
    bool Destroying() const { return FDestroying; }
    bool InAfterSummary() const { return FInAfterSummary; }

private:
    bool coversSelectedOnly() const;
    void calculateItems(TvlDataSummaryItems* AItems, const std::vector<int>& ARecords, Variant& AValues);
    TvlCustomDataController* FDataController;
    std::unique_ptr<TvlDataGroupSummaryItems> FDefaultGroupSummaryItems;
    bool FDestroying = false;
    std::unique_ptr<TvlDataFooterSummaryItems> FFooterSummaryItems;
    Variant FFooterSummaryValues;
    bool FInAfterSummary = false;
    int FLockCount = 0;
    TvlSummaryOptions FOptions;
    std::unique_ptr<TvlDataSummaryGroups> FSummaryGroups;
};

// The incremental search over a column's display texts.
class TvlDataControllerSearch : public TObject {
public:
    explicit TvlDataControllerSearch(TvlCustomDataController* ADataController) : FDataController(ADataController) {}
    String ClassName() const override { return String::fromLatin1("TvlDataControllerSearch"); }
    int GetItemIndex() const;
    bool GetSearching() const;
    String GetSearchText() const;
    void SetItemIndex(int AItemIndex);
    bool Locate(int AItemIndex, const String& AText);
    bool LocateNext(bool AForward);
    void Cancel();
    void Lock() { FLocked = true; }
    void Unlock() { FLocked = false; }

protected:
    virtual void DoFocusRecord(int APosition);
    virtual int DoSearch(int AStartPosition, int AEndPosition, bool AForward, const String& AText);

private:
    TvlCustomDataController* FDataController;
    bool FLocked = false;
};

// A hidden storage record holding searched values, and a search for it.
class TvlDataControllerLocateObject : public TObject {
public:
    explicit TvlDataControllerLocateObject(TvlCustomDataController* ADataController) : FDataController(ADataController) {}
    ~TvlDataControllerLocateObject() override;
    virtual void ReleaseRecord();
    virtual int FindRecordIndex() = 0;
    void ReadData(TvlValueDefReader* AValueDefReader);
    TvlCustomDataController* DataController() const { return FDataController; }
    int RecordIndex() const { return FRecordIndex; }

protected:
    TvlCustomDataController* FDataController;
    int FRecordIndex = 0;
};

// Finds a record of the group whose values (levels 0 .. Level) the buffer holds.
class TvlDataControllerGroupLocateObject : public TvlDataControllerLocateObject {
public:
    explicit TvlDataControllerGroupLocateObject(TvlCustomDataController* ADataController);
    int FindRecordIndex() override;
    int Level = 0;
    bool IsGroupDataSorted = true;
};

// ---- the row index ------------------------------------------------------------------

class TvlSortingFieldList {
public:
    virtual ~TvlSortingFieldList() = default;
    virtual void ChangeSorting(TvlCustomDataField* AField, TvlDataSortOrder AOrder);
    void Add(TvlCustomDataField* AField, TvlDataSortOrder AOrder);
    void Insert(int AIndex, TvlCustomDataField* AField, TvlDataSortOrder AOrder);
    void Delete(int AIndex);
    void Remove(TvlCustomDataField* AField);
    void Move(int ACurIndex, int ANewIndex);
    void SetSortOrder(int AIndex, TvlDataSortOrder AOrder);
    void Clear();
    int Find(const TvlCustomDataField* AField) const;
    int SortIndexByField(const TvlCustomDataField* AField) const { return Find(AField); }
    TvlDataSortOrder SortOrderByField(const TvlCustomDataField* AField) const;
    TvlDataSortInfo GetItem(int AIndex) const { return FItems.at(size_t(AIndex)); }
    int GetCount() const { return int(FItems.size()); }
    void AppendFrom(const TvlSortingFieldList& AList);
    void CheckField(TvlCustomDataField* AField);
    std::function<void()> OnChanged;

protected:
    void changed() { if (OnChanged) OnChanged(); }
    std::vector<TvlDataSortInfo> FItems;
};

class TvlGroupingFieldList : public TvlSortingFieldList {
public:
    void ChangeSorting(TvlCustomDataField* AField, TvlDataSortOrder AOrder) override;
    void ChangeGrouping(TvlCustomDataField* AField, int AGroupIndex);
    void UpdateSorting(const TvlSortingFieldList& ASortingList);
};

struct TvlDataGroupInfo {
    int RowIndex = 0;
    bool Expanded = false;
    int Level = 0;
    int BeginIndex = 0;
    int EndIndex = 0;
    Variant SummaryValues;
};

class TvlDataGroups {
public:
    explicit TvlDataGroups(TvlCustomDataControllerInfo* AOwner) : FOwner(AOwner) {}
    void Clear();
    int GetLevelCount() const { return int(FFields.size()); }
    int GetCount() const { return int(FItems.size()); }
    TvlDataGroupInfo* GetItem(int AIndex) const { return FItems.at(size_t(AIndex)).get(); }
    void SetItem(int AIndex, std::unique_ptr<TvlDataGroupInfo> AInfo) { FItems.at(size_t(AIndex)) = std::move(AInfo); }
    TvlCustomDataField* GetField(int ALevel) const { return FFields.at(size_t(ALevel)); }
    int GetLevel(int AIndex) const;
    int GetChildCount(int AIndex) const;
    int GetChildGroupIndex(int AIndex, int AChild) const;
    int GetChildRecordListIndex(int AIndex, int AChild) const;
    int GetFirstRecordListIndex(int AIndex) const;
    int GetParentIndex(int AIndex) const;
    // The visible group of the row (or of the row's data group), walked to ALevel; -1.
    int GetGroupIndexByRowIndex(int ARowIndex, int ALevel) const;
    int GetGroupIndexByRecordListIndex(int AIndex, int ALevel) const;
    // The deepest group that holds the record-list index; -1.
    int GetDeepestGroupIndex(int ARecordListIndex) const;
    bool IsVisible(int AIndex) const;
    bool MakeVisible(int AIndex, bool AExpandSelf);
    void ChangeExpanding(int AGroupIndex, bool AExpanded, bool ARecursive);
    void SetAllExpanded(bool AExpanded);
    void UpdateRowIndexes();
    int GetRowCount() const { return FRowCount; }
    TvlRowInfo GetRowInfo(int ARowIndex) const;
    // The group row's group, or -1 for a data row (then ARecordListIndex).
    int FindByRowIndex(int ARowIndex, int& ARecordListIndex) const;

private:
    friend class TvlCustomDataControllerInfo;
    TvlCustomDataControllerInfo* FOwner;
    std::vector<TvlCustomDataField*> FFields;
    std::vector<std::unique_ptr<TvlDataGroupInfo>> FItems;
    std::vector<int> FDeepest;  // group indexes of the deepest level, in order
    int FRowCount = 0;
};

class TvlDataFocusingInfo {
public:
    explicit TvlDataFocusingInfo(TvlCustomDataControllerInfo* AOwner) : FOwner(AOwner) {}
    void Assign(const TvlDataFocusingInfo& ASource);
    void Clear() { Level = RecordIndex = RowIndex = -1; }
    bool IsEqual(const TvlDataFocusingInfo& AOther) const;
    void KeepRecord();
    void UpdateFromRowIndex();
    bool Changed = false;
    int Level = -1;
    bool PrevNewItemRowFocused = false;
    int PrevRecordIndex = -1;
    int RecordIndex = -1;
    int RowIndex = -1;

private:
    TvlCustomDataControllerInfo* FOwner;
};

struct TvlDataSelectionEntry {
    int Level = 0;        // -1 for a group row
    int RecordIndex = -1; // a group row's: its group index
    int RowIndex = -1;
};

class TvlDataSelection : public TObject {
public:
    explicit TvlDataSelection(TvlCustomDataController* ADataController) : FDataController(ADataController) {}
    String ClassName() const override { return String::fromLatin1("TvlDataSelection"); }
    virtual void ClearAnchor() { AnchorRowIndex = -1; }
    virtual void InternalAdd(int AIndex, int ARowIndex, int ALevel, int ARecordIndex);
    virtual void InternalClear() { FItems.clear(); }
    virtual void InternalDelete(int AIndex);
    virtual void SetInternalCount(int ACount);
    virtual void Add(int AIndex, int ARowIndex, int ALevel, int ARecordIndex);
    virtual bool FindByRowIndex(int ARowIndex, int& AIndex) const;
    void Clear();
    void ClearAll();
    void Delete(int AIndex);
    bool IsRowSelected(int ARowIndex) const;
    int FindGroup(int AGroupIndex) const;
    int FindRecord(int ARecordIndex) const;
    bool IsRecordSelected(int ARecordIndex) const { return FindRecord(ARecordIndex) != -1; }
    void SortByRowIndex();
    void CheckRecords();
    int GetCount() const { return int(FItems.size()); }
    TvlDataSelectionEntry& GetItem(int AIndex) { return FItems.at(size_t(AIndex)); }
    const TvlDataSelectionEntry& GetItem(int AIndex) const { return FItems.at(size_t(AIndex)); }
    int AnchorRowIndex = -1;
    std::function<void()> OnChanged;

protected:
    void changed() { if (OnChanged) OnChanged(); }
    TvlCustomDataController* FDataController;
    std::vector<TvlDataSelectionEntry> FItems;
};

enum TvlDataExpandingState { desExpanded, desSelected };
using TvlDataExpandingStates = TSet<TvlDataExpandingState, 8>;

struct TvlDataExpandingInfo {
    int Level = 0;
    Variant Value;
    TvlDataExpandingStates State;
};

class TvlDataExpandingInfos {
public:
    void AddField(TvlCustomDataField* AField);
    void AddItem(int ALevel, const Variant& AValue, TvlDataExpandingStates AState);
    void CheckField(TvlCustomDataField* AField);
    void Clear();
    std::vector<TvlCustomDataField*> Fields;
    std::vector<TvlDataExpandingInfo> Items;
    TvlDataExpandingStates SaveStates;
};

class TvlCustomDataControllerInfo : public TObject {
public:
    explicit TvlCustomDataControllerInfo(TvlCustomDataController* ADataController);
    ~TvlCustomDataControllerInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataControllerInfo"); }

    virtual void CheckSelectedRecords();
    virtual void Update();

    TvlCustomDataController* DataController() const { return FDataController; }
    TvlDataGroups* DataGroups() const { return FDataGroups.get(); }
    TvlDataSelection* Selection() const { return FSelection.get(); }
    TvlSortingFieldList* SortingFieldList() const { return FSortingFieldList.get(); }
    TvlGroupingFieldList* GroupingFieldList() const { return FGroupingFieldList.get(); }
    TvlSortingFieldList* TotalSortingFieldList() const { return FTotalSortingFieldList.get(); }
    TvlDataFocusingInfo& FocusingInfo() { return FFocusingInfo; }
    TvlDataFocusingInfo& PrevFocusingInfo() { return FPrevFocusingInfo; }
    TvlDataExpandingInfos& ExpandingInfo() { return FExpandingInfo; }
    TvlDataControllerInfoChanges Changes;
    int LockCount = 0;
    bool InfoCalculation = false;
    bool InCanFocusedRowChanging = false;
    bool FocusingFlag = false;

    void BeginUpdate() { ++LockCount; }
    void EndUpdate();
    void CheckUpdate();
    void Refresh();
    void AddChanges(TvlDataControllerInfoChanges AChanges) { Changes += AChanges; }

    // Rows.
    bool IsGrouped() const { return FGroupingFieldList->GetCount() > 0; }
    int GetRowCount() const;
    TvlRowInfo GetRowInfo(int ARowIndex) const;
    void CheckRowIndex(int ARowIndex) const;
    int GetRowIndexByRecordIndex(int ARecordIndex, bool AMakeVisible);
    int GetNeighbourRowIndex(int ARowIndex) const;
    int GetRecordListCount() const { return int(FRecordList.size()); }
    int GetRecordListItem(int AIndex) const { return FRecordList.at(size_t(AIndex)); }
    int GetRecordListIndex(int ARecordIndex) const;
    const std::vector<int>& RecordList() const { return FRecordList; }
    int FindRecordByKey(int ARecordIndex, int AKeyCount, bool ASorted);
    // Compares two records on one entry of the total sort list, with the
    // edited record kept at its place.
    int CompareRecordsByField(int ARecordIndex1, int ARecordIndex2, int AIndex);

    // Grouping and sorting.
    void ChangeGrouping(TvlCustomDataField* AField, int AGroupIndex);
    void ClearGrouping();
    void ChangeSortIndex(TvlCustomDataField* AField, int AIndex);
    void ChangeSorting(TvlCustomDataField* AField, TvlDataSortOrder ASortOrder);
    void RemoveField(TvlCustomDataField* AField);
    void FieldChanged(TvlCustomDataField* AField);
    void SummaryChanged(bool ARedrawOnly);

    // Focus and expansion.
    int GetFocusedRowIndex() const { return FFocusingInfo.RowIndex; }
    int GetFocusedRecordIndex() const { return FFocusingInfo.RecordIndex; }
    void ChangeFocusedRow(int ARowIndex, bool AForce);
    int FindFocusedRow(bool AKeepCollapsed);
    void CheckFocusedRow();
    void ChangeExpanding(int ARowIndex, bool AExpanded, bool ARecursive);
    void FullCollapse();
    void FullExpand();
    void ExpandingChanged() { Changes.Include(dicExpanding); }
    void SaveExpanding(TvlDataExpandingStates AStates);
    void ChangeRowSelection(int ARowIndex, bool ASelect);
    void UpdateSelectionRowIndexes();
    // The group indexes of a group's records (LoadRecordIndexes of the groups object).
    void LoadRecordIndexes(std::vector<int>& AList, int ADataGroupIndex) const;

private:
    friend class TvlDataGroups;
    friend class TvlDataFocusingInfo;
    void doFilter();
    void doSort();
    void doGroup();
    void prepareComparison();
    void unprepareComparison();
    int compareRecords(int A, int B);
    int compareForGrouping(int A, int B, int ALevel);
    void restoreExpandingAndSelection();
    void checkFocusing();
    void finishUpdate(bool ASortingOrExpansionChanged);
    void collapseCorrectFocus();
    void groupingListChanged();

    TvlCustomDataController* FDataController;
    std::unique_ptr<TvlDataGroups> FDataGroups;
    TvlDataExpandingInfos FExpandingInfo;
    bool FExpandingFlag = false;
    TvlDataFocusingInfo FFocusingInfo;
    std::unique_ptr<TvlGroupingFieldList> FGroupingFieldList;
    TvlDataFocusingInfo FPrevFocusingInfo;
    std::vector<int> FRecordList;
    std::unique_ptr<TvlDataSelection> FSelection;
    std::unique_ptr<TvlSortingFieldList> FSortingFieldList;
    std::unique_ptr<TvlSortingFieldList> FTotalSortingFieldList;
};

// ---- group access ---------------------------------------------------------------

class TvlDataControllerGroups : public TObject {
public:
    explicit TvlDataControllerGroups(TvlCustomDataController* ADataController) : FDataController(ADataController) {}
    String ClassName() const override { return String::fromLatin1("TvlDataControllerGroups"); }
    int GetGroupingItemCount() const;
    int GetGroupingItemIndex(int AIndex) const;
    int GetItemGroupIndex(int AItemIndex) const;
    int GetFieldGroupIndex(const TvlCustomDataField* AField) const;
    void ChangeGroupIndex(int AItemIndex, int AGroupIndex);
    void ClearGrouping();
    void ChangeExpanding(int ARowIndex, bool AExpanded, bool ARecursive);
    void FullExpand();
    void FullCollapse();
    int GetDataGroupIndexByRowIndex(int ARowIndex) const;
    int GetLevel(int ADataGroupIndex) const;
    int GetChildCount(int ADataGroupIndex) const;
    int GetChildDataGroupIndex(int ADataGroupIndex, int AChildIndex) const;
    int GetChildRecordIndex(int AParentDataGroupIndex, int AChildIndex) const;
    void LoadRecordIndexes(std::vector<int>& AList, int ADataGroupIndex) const;
    void LoadRecordIndexesByRowIndex(std::vector<int>& AList, int ARowIndex) const;
    bool IsRowInGroup(int ARowIndex, int AGroupRowIndex) const;
    TvlCustomDataControllerInfo* DataControllerInfo() const;
    TvlDataGroups* DataGroups() const;

private:
    TvlCustomDataController* FDataController;
};

// ---- master-detail relations ------------------------------------------------------

// One detail level of a master controller. Its pattern controller (the
// detail data controller) is the template whose clones show the details of
// single master records.
class TvlCustomDataRelation : public TObject {
public:
    TvlCustomDataRelation(TvlCustomDataRelationList* ARelationList, TObject* AItem);
    ~TvlCustomDataRelation() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataRelation"); }
    virtual void FieldRemoved(TvlCustomDataField* AField) { (void)AField; }
    virtual void Assign(const TvlCustomDataRelation* ASource) { (void)ASource; }
    void Changed();
    TvlCustomDataController* GetDataController() const;
    int GetIndex() const;
    TvlCustomDataController* DetailDataController() const { return FDetailDataController; }
    TObject* Item() const { return FItem; }
    TvlCustomDataRelationList* RelationList() const { return FRelationList; }

private:
    friend class TvlCustomDataController;
    friend class TvlCustomDataRelationList;
    TvlCustomDataController* FDetailDataController = nullptr;
    TObject* FItem;
    TvlCustomDataRelationList* FRelationList;
};

// One master record's link to one relation: the link object the owner made
// for it (which holds the record's detail controller), and the provider's
// cached answer whether the record has details there.
class TvlDetailInfoObject {
public:
    std::unique_ptr<TObject> LinkObject;
    bool HasChildren = false;
    bool HasChildrenAssigned = false;
};

// The details of one master record: the active relation, one info object
// per relation (made on demand), and whether the details are expanded.
class TvlDetailObject {
public:
    int ActiveRelationIndex = -1;
    std::vector<std::unique_ptr<TvlDetailInfoObject>> InfoObjects;
    bool Expanded = false;
    TvlDetailInfoObject* GetInfoObject(int ARelationIndex, bool ACreate);
    // Frees the info object of one relation, or of all for -1; true when one existed.
    bool ClearInfoObjects(int ARelationIndex);
};

// The relations of a controller, and the detail objects of its records.
// A record's detail object is kept in an internal Object field as a 64-bit
// handle into a table this list owns, so every detail object is freed
// exactly once: with its record, with the field, or with the list.
class TvlCustomDataRelationList : public TObject {
public:
    explicit TvlCustomDataRelationList(TvlCustomDataController* ADataController) : FDataController(ADataController) {}
    ~TvlCustomDataRelationList() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataRelationList"); }

    TvlCustomDataRelation* Add(TObject* AItem);
    void Assign(const TvlCustomDataRelationList* AList);
    void BeginUpdate() { ++FLockCount; }
    void EndUpdate();
    void Clear();
    // Frees the relation.
    void Remove(TvlCustomDataRelation* ARelation);
    void Move(int ACurIndex, int ANewIndex);
    int GetCount() const { return int(FItems.size()); }
    TvlCustomDataRelation* GetItem(int AIndex) const { return FItems.at(size_t(AIndex)).get(); }
    TvlCustomDataRelation* FindByItem(const TObject* AItem) const;
    int IndexOf(const TvlCustomDataRelation* ARelation) const;
    TvlDetailObject* GetDetailObject(int ARecordIndex);
    bool ClearLinkObjects(int ARecordIndex, int ARelationIndex);
    bool HasDetailLinkObject(int ARecordIndex, int ARelationIndex);
    void RemoveDataField(TvlCustomDataField* AField);
    void Changed(TvlCustomDataRelation* ARelation);
    TvlCustomDataController* DataController() const { return FDataController; }
    TvlCustomDataField* DataField() const { return FDataField; }
    // Detail objects alive, whichever record holds them.
    int DetailObjectCount() const { return int(FDetailObjects.size()); }

private:
    friend class TvlCustomDataController;
    friend class TvlDetailKeys;
    void checkRecordIndex(int ARecordIndex) const;
    // The record's detail object without creating or checking it, and its handle (0: none).
    TvlDetailObject* storedDetailObject(int ARecordIndex, int64_t* AHandle = nullptr) const;
    void setStoredHandle(int ARecordIndex, int64_t AHandle);
    void freeDataField();
    // Frees the detail objects that no record refers to any more.
    void releaseUnreferenced();
    // Every detail controller linked to this list's records, for every relation.
    std::vector<TvlCustomDataController*> detailControllers(int ARelationIndex = -1) const;
    std::unique_ptr<TvlDetailObject> takeDetailObject(int64_t AHandle);

    TvlCustomDataController* FDataController;
    TvlCustomDataField* FDataField = nullptr;
    std::vector<std::unique_ptr<TvlCustomDataRelation>> FItems;
    int FLockCount = 0;
    std::vector<std::pair<int64_t, std::unique_ptr<TvlDetailObject>>> FDetailObjects;  // by handle, ascending
    int64_t FNextHandle = 1;
};

// ---- the controller -----------------------------------------------------------------

using TvlDataControllerNotifyEvent = TDelegate<void(TvlCustomDataController* ADataController)>;
using TvlDataDetailExpandedEvent = TDelegate<void(TvlCustomDataController* ADataController, int ARecordIndex)>;
using TvlDataDetailExpandingEvent =
    TDelegate<void(TvlCustomDataController* ADataController, int ARecordIndex, bool& AAllow)>;
using TvlDataFilterRecordEvent = TDelegate<void(TvlCustomDataController* ADataController, int ARecordIndex, bool& Accept)>;
using TvlDataControllerCompareEvent =
    TDelegate<void(TvlCustomDataController* ADataController, int ARecordIndex1, int ARecordIndex2, int AItemIndex,
                   const Variant& V1, const Variant& V2, int& Compare)>;
using TvlDataRecordChangedEvent = TDelegate<void(TvlCustomDataController* ADataController, int ARecordIndex, int AItemIndex)>;
using TvlDataChangedListener = TDelegate<void(TvlCustomDataController* ADataController)>;

class TvlCustomDataController : public TPersistent {
public:
    explicit TvlCustomDataController(IvlDataControllerOwner* AOwner);
    ~TvlCustomDataController() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataController"); }
    void Assign(const TPersistent* Source) override;

    IvlDataControllerOwner* Owner() const { return FOwner; }
    TvlDataStorage* DataStorage() const { return FDataStorage.get(); }
    TvlCustomDataControllerInfo* DataControllerInfo() const { return FDataControllerInfo.get(); }
    TvlCustomDataProvider* Provider() const { return FProvider.get(); }
    TvlCustomDataFieldList* Fields() const { return FFields.get(); }
    TvlDataControllerGroups* Groups() const { return FGroups.get(); }
    TvlDataFilterCriteria* Filter() const { return FFilter.get(); }
    void SetFilter(const TvlDataFilterCriteria* Value);
    TvlDataSummary* Summary() const { return FSummary.get(); }
    void SetSummary(const TvlDataSummary* Value);
    TvlDataControllerSearch* Search() const { return FSearch.get(); }
    TvlDataControllerNotifier* Notifier() const { return FNotifier.get(); }

    TvlDataControllerOptions Options() const { return FOptions; }
    TvlDataControllerOptions GetOptions() const { return FOptions; }
    void SetOptions(TvlDataControllerOptions Value);

    // ---- records and values
    int AppendRecord();
    int InsertRecord(int ARecordIndex);
    void DeleteRecord(int ARecordIndex);
    int GetRecordCount() const;
    void SetRecordCount(int ACount);
    virtual Variant GetValue(int ARecordIndex, int AItemIndex) const;
    virtual void SetValue(int ARecordIndex, int AItemIndex, const Variant& AValue);
    virtual String GetDisplayText(int ARecordIndex, int AItemIndex) const;
    void SetDisplayText(int ARecordIndex, int AItemIndex, const String& AText);
    Variant GetRecordId(int ARecordIndex) const;
    void GetRecordIndexValue(int ARecordIndex, Variant& AValue) const { AValue = Variant(ARecordIndex); }
    void CheckRecordIndex(int ARecordIndex) const;
    void CheckItemIndex(int AItemIndex) const;

    // ---- update locks and changes
    void BeginUpdate();
    void EndUpdate();
    virtual void BeginFullUpdate() { BeginUpdate(); }
    virtual void EndFullUpdate() { EndUpdate(); }
    int GetUpdateLockCount() const;
    bool IsRowInfoValid() const;
    void BeginDataChangedLock() { ++FDataChangedLockCount; }
    void EndDataChangedLock() { if (FDataChangedLockCount > 0) --FDataChangedLockCount; }
    bool IsDataChangedLocked() const { return FDataChangedLockCount != 0; }
    void Changed(TvlDataControllerChanges AChanges);
    void CheckChanges();
    virtual void NotifyDataChanged(TvlDataChangeKind AKind, int AItemIndex, int ARecordIndex);
    virtual void DoDataChanged();
    virtual void UpdateControl(TvlUpdateControlInfo* AInfo);
    virtual void ReloadData();
    virtual void UpdateStructure();
    virtual void Loaded();
    TvlDataListenerLink* AddListenerLink();
    void RemoveListenerLink(TvlDataListenerLink* ALink);
    void AddDataChangedListener(const TvlDataChangedListener& AListener);
    void RemoveDataChangedListener(const TvlDataChangedListener& AListener);
    TvlDataControllerChanges PendingChanges() const { return FChanges; }
    void RefreshRows();
    void Refresh() { RefreshRows(); }
    bool RefreshIfItemSorted(int AItemIndex);

    // ---- items and fields
    TvlCustomDataField* AddItem(TObject* AItem);
    void RemoveItem(TObject* AItem);
    void UpdateItemIndexes();
    virtual TObject* GetItem(int AIndex) const;
    int GetItemCount() const;
    TvlCustomDataField* GetItemField(int AItemIndex) const;
    TvlValueTypeClass GetItemValueTypeClass(int AItemIndex) const;
    void ChangeValueTypeClass(int AItemIndex, TvlValueTypeClass AValueTypeClass);
    void ChangeItemStoredFlag(int AItemIndex, bool AValue);
    void ChangeTextStored(int AItemIndex, bool AValue);
    bool GetItemTextStored(int AItemIndex) const;
    bool IsItemTextStored(int AItemIndex) const { return GetItemTextStored(AItemIndex); }
    virtual bool GetItemStoredFlag(int AItemIndex) const { (void)AItemIndex; return false; }
    virtual int GetItemID(TObject* AItem) const { (void)AItem; return -1; }
    virtual String GetItemName(TObject* AItem) const;
    virtual String GetItemCaption(TObject* AItem) const { (void)AItem; return {}; }
    virtual TObject* GetItemByID(int AID) const;
    // This controller's item with the ID of an item (of another controller).
    TObject* GetItemByItemLink(TObject* AItemLink) const { return GetItemByID(GetItemID(AItemLink)); }
    virtual TObject* GetItemByName(const String& AName) const;
    void UpdateItems(bool AUpdateFields);
    // True while UpdateItems rebuilds the item list.
    bool IsUpdatingItems() const { return FUpdatingItems; }
    void RefreshStructure(bool AUpdateFields);
    virtual void UpdateFields();
    virtual void UpdateField(TvlCustomDataField* AField) { (void)AField; }
    virtual void FieldRemoved(TvlCustomDataField* AField);
    virtual void RemoveNotification(TComponent* AComponent);
    virtual TvlCustomDataField* AddInternalField();
    virtual TvlCustomDataField* AddField();

    // ---- value routing
    virtual void GetInternalValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue) const;
    virtual void GetInternalDisplayText(int ARecordIndex, TvlCustomDataField* AField, String& AText) const;
    virtual void GetGroupValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue) const;
    void GetGroupValues(int ARecordIndex, TvlDataSummaryValues& AValues) const;
    virtual void GetFilterDataValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue) const;
    virtual String GetFilterDisplayText(int ARecordIndex, int AItemIndex) const { return GetDisplayText(ARecordIndex, AItemIndex); }
    virtual String GetSearchDisplayText(int ARecordIndex, int AItemIndex) const { return GetDisplayText(ARecordIndex, AItemIndex); }
    virtual void GetKeyFields(std::vector<TvlCustomDataField*>& AList) const { (void)AList; }
    virtual void GetKeyValues(int ARecordIndex, const std::vector<TvlCustomDataField*>& AKeyFields, Variant& AValue) const;
    virtual bool CheckLinkInfo(const TvlCustomDataField* AField) const;
    virtual void AssignRecord(int ASource, int ADest);
    virtual void ReadStoredValue(TvlValueDef* AValueDef, int ASrcIndex, int ADestIndex, TvlValueDefReader* AReader);

    // ---- rows
    int GetRowCount() const;
    TvlRowInfo GetRowInfo(int ARowIndex) const;
    int GetRowIndexByRecordIndex(int ARecordIndex, bool AMakeVisible);
    String GetRowDisplayText(const TvlRowInfo& ARowInfo, int& AItemIndex) const;
    Variant GetRowValue(const TvlRowInfo& ARowInfo, int AItemIndex) const;
    using TvlForEachRowProc = std::function<void(int ARowIndex, const TvlRowInfo& ARowInfo)>;
    void ForEachRow(bool ASelectedOnly, const TvlForEachRowProc& AProc);

    // ---- sorting
    TvlDataSortOrder GetItemSortOrder(int AItemIndex) const;
    int GetItemSortingIndex(int AItemIndex) const;
    int GetSortingItemCount() const;
    int GetSortingItemIndex(int AIndex) const;
    void SetItemSortOrder(int AItemIndex, TvlDataSortOrder ASortOrder);
    void SetItemSortingIndex(int AItemIndex, int AIndex);
    void ClearSorting(bool AKeepGroupedItems);
    int GetSortingBySummaryItemIndex() const { return -1; }
    // Set with a sorting change when a summary item's Sorted flag changes.
    bool SortingBySummaryChanged = false;
    // OnAfterSummary waits for the end of loading (Loaded runs it).
    bool AfterSummaryPending = false;
    void SummaryChanged(bool ARedrawOnly);
    virtual int CompareByField(int ARecordIndex1, int ARecordIndex2, TvlCustomDataField* AField);
    virtual int CompareRecordIndexes(int ARecordIndex1, int ARecordIndex2) { return ARecordIndex1 - ARecordIndex2; }
    virtual int CompareRecordsBySortInfo(int ARecordIndex1, int ARecordIndex2, const TvlDataSortInfo& ASortInfo);
    virtual void GetSortingValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue);
    virtual bool IsSimpleCompare(const TvlCustomDataField* AField) const;
    virtual bool IsConversionNeeded(const TvlCustomDataField* AField) const;
    virtual bool IsSortByDisplayText(const TvlCustomDataField* AField) const;
    virtual bool GetItemSortByDisplayText(int AItemIndex, bool ADefault) const { (void)AItemIndex; (void)ADefault; return false; }
    // The string comparison the options ask for.
    int CompareStrings(const Variant& V1, const Variant& V2) const;

    // ---- filtering
    virtual bool DoFilterRecord(int ARecordIndex);
    virtual bool HasFilterRecordHandler() const { return FOnFilterRecord.Assigned(); }
    virtual bool MatchesIncrementalFilter(int ARecordIndex);
    int SetIncrementalFilter(int AItemIndex, const String& AText);
    bool HasIncrementalFilter() const { return FIncrementalFilterField != nullptr && !FIncrementalFilterText.isEmpty(); }
    String GetIncrementalFilterText() const { return FIncrementalFilterText; }
    void ResetIncrementalFilter();
    int FindRecordIndexByText(int AStartIndex, int AItemIndex, bool AForward, bool AWrap, bool APartial,
                              const String& AText);
    virtual void FilterChanged();
    // A new additional filter; free it with Filters()->Free.
    TvlDataFilterCriteria* CreateFilter();
    TvlDataFilterList* Filters() const { return FFilters.get(); }
    virtual String GetFilterItemFieldName(TObject* AItem) const { (void)AItem; return {}; }
    bool IsFilterValueListSortByDisplayText(int AItemIndex) const;
    void SetOnFilterRecord(const TvlDataFilterRecordEvent& Value);

    // ---- focus
    int GetFocusedRowIndex() const;
    int GetFocusedRecordIndex() const;
    bool ChangeFocusedRowIndex(int ARowIndex);
    void SetFocusedRowIndex(int ARowIndex) { ChangeFocusedRowIndex(ARowIndex); }
    bool ChangeFocusedRecordIndex(int ARecordIndex);
    void SetFocusedRecordIndex(int ARecordIndex) { ChangeFocusedRecordIndex(ARecordIndex); }
    void CheckFocusedRow();
    void GotoFirst();
    void GotoLast();
    bool IsBOF() const;
    bool IsEOF() const;
    void Scroll(int ADistance);
    virtual void UpdateFocusing();
    virtual bool CanFocusRecord(int ARecordIndex);
    virtual bool CanChangeFocusedRow() { return true; }
    virtual void BeforeFocusedRowChange(int ARowIndex) { (void)ARowIndex; }
    virtual void AfterFocusedRowChange() {}
    virtual int GetActiveRecordIndex() const;
    virtual int GetCurrentRecordIndex() const { return GetFocusedRecordIndex(); }
    virtual int GetRecordIndexToKeep() const;
    virtual bool CheckDetailsBrowseMode();
    virtual bool SyncDetailsFocus() { return false; }

    // ---- selection
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool AValue);
    bool FocusedSelected() const { return FFocusedSelected; }
    void SetFocusedSelected(bool AValue);
    int GetSelectedCount() const;
    int GetSelectedRowIndex(int AIndex) const;
    bool IsRowSelected(int ARowIndex) const;
    void ChangeRowSelection(int ARowIndex, bool ASelect);
    void ClearSelection();
    void ClearSelectionAnchor();
    int GetSelectionAnchorRowIndex() const;
    bool IsSelectionAnchorExists() const { return GetSelectionAnchorRowIndex() != -1; }
    void SetSelectionAnchor(int ARowIndex);
    void SelectRows(int AFromRowIndex, int AToRowIndex);
    void SelectAll();
    void SelectFromAnchor(int ARowIndex, bool AKeepSelection);
    void SyncSelectionWithFocus();
    void SelectFocusedRowOnly();
    bool FocusSelectedRow(int ASelectedIndex);
    virtual bool CanSelectRow(int ARowIndex) { (void)ARowIndex; return true; }
    void CheckSelectionAndBookmark();
    void RefreshPrevSelectionInfo();

    // ---- bookmark
    void SaveBookmark();
    void ClearBookmark();
    void GotoBookmark();
    bool IsBookmarkAvailable() const { return FBookmarkRecordIndex != -1; }
    bool IsBookmarkRow(int ARowIndex) const;
    virtual void CheckBookmarkValid(int ARecordIndex);
    virtual bool IsBookmarkInvalidated(int ARecordIndex) const;
    virtual void ResetBookmark() { FBookmarkRecordIndex = -1; }
    virtual bool GotoBookmarkRecord();
    virtual bool StoreBookmark();
    int BookmarkRecordIndex() const { return FBookmarkRecordIndex; }

    // ---- editing
    void Append();
    void Cancel();
    bool CanInitEditing(int AItemIndex);
    void DeleteFocused();
    void DeleteSelection();
    void DeleteRecords(std::vector<int>& AList);
    void Edit();
    Variant GetEditValue(int AItemIndex, TvlDataEditValueSource AEditValueSource);
    virtual bool CanModifyItem(int AItemIndex) { (void)AItemIndex; return true; }
    void Insert();
    void Post(bool AForcePost = false);
    void PostEditingData();
    bool SetEditValue(int AItemIndex, const Variant& AValue, TvlDataEditValueSource AEditValueSource);
    virtual void UpdateData() {}
    virtual bool FocusItem(int AItemIndex) { (void)AItemIndex; return false; }
    virtual void BeforeDetailChange() {}
    virtual void EditHook() {}
    int GetEditingRecordIndex() const;
    int GetNewItemRecordIndex() const;
    virtual void CheckBrowseMode();
    virtual void CheckEditingAfterDelete(int ARecordIndex);
    bool IsEditing() const;
    bool IsNewItemRowEditing() const;
    bool NewItemRowFocused() const { return FNewItemRowFocused; }
    void SetNewItemRowFocused(bool AValue);
    bool UseNewItemRowForEditing() const { return FUseNewItemRowForEditing; }
    void SetUseNewItemRowForEditing(bool AValue);
    TvlDataEditStates GetEditState() const;
    TvlDataEditOperations GetEditOperations() const;
    bool IsImmediatePost() const;
    int NearestRecordIndex = -1;
    bool InDeleteSelection = false;

    // ---- events raised through these
    virtual void DoAfterCancel();
    virtual void DoAfterDelete();
    virtual void DoAfterInsert();
    virtual void DoAfterPost();
    virtual void DoBeforeCancel();
    virtual void DoBeforeDelete(int ARecordIndex);
    virtual void DoBeforeInsert();
    virtual void DoBeforePost();
    virtual void DoNewRecord(int ARecordIndex);
    virtual bool CanChangeDetailExpanding(int ARecordIndex, bool AExpand);

    // ---- modes and the provider
    bool IsProviderMode() const;
    bool IsGridMode() const;
    virtual bool IsSmartLoad() const { return false; }
    virtual bool IsSyncMode() const { return false; }
    bool IsStructureChangedInGridMode() const;
    bool IsStructureRecreated() const;
    virtual void ItemValueTypeClassChanged(int AItemIndex) { (void)AItemIndex; }
    bool IsDataFrozen() const;
    virtual bool CanUseStorage() const;
    virtual bool UseRecordID() const { return false; }
    virtual bool IsRecordIDSupported() const;
    TvlUserDataSource* GetCustomDataSource() const;
    void SetCustomDataSource(TvlUserDataSource* Value);
    bool HasCustomDataSource() const { return GetCustomDataSource() != nullptr; }
    virtual void CustomDataSourceChanged() {}
    virtual void SetActiveState(bool AActive);
    virtual void UpdateActiveState();
    virtual void ProviderFocusChanged() { UpdateFocusing(); }
    virtual void RecordAdded(int ARecordIndex);
    virtual void DataStorageChanged();
    virtual void AfterDataStorageChanged() {}
    virtual void ResetInternalRecords();
    virtual void CorrectAfterDelete(int ARecordIndex);
    virtual void CorrectDetailsAfterInsert(int ARecordIndex);
    virtual void BeforeNotifyChanges() {}
    void BeginLoad();
    void EndLoad();
    void SaveKeys();
    void RestoreKeys();
    virtual void BeginReadRecord() {}
    virtual void EndReadRecord() {}
    virtual bool IsLoading() const;
    virtual bool IsDestroying() const;
    bool IsReading() const;
    bool InternalFindRecord = false;
    bool InNotifyControl() const { return FInNotifyControl; }

    // ---- master-detail relations
    // The relation list, made on first use.
    TvlCustomDataRelationList* GetRelations();
    TvlCustomDataRelationList* Relations() const { return FRelations.get(); }
    // A detail clone has a master relation and a master record; a pattern
    // serves a relation without a master record, or has the pattern flag.
    bool IsPattern() const;
    bool IsDetailMode() const { return FMasterRelation != nullptr; }
    TvlCustomDataController* GetMasterDataController() const;
    int GetMasterRecordIndex() const { return FMasterRecordIndex; }
    TvlCustomDataRelation* GetMasterRelation() const { return FMasterRelation; }
    TvlCustomDataController* GetPatternDataController();
    TvlCustomDataController* GetRootDataController();
    void SetMasterMode(TvlCustomDataRelation* ARelation, bool AIsPattern);
    virtual void SetMasterRelation(TvlCustomDataRelation* ARelation, int AMasterRecordIndex);
    // Raises EvxException "!" while a data change is delivered to a
    // controller that serves a relation.
    void SetIsPattern(bool AValue);
    bool IsCreatingLinkObject() const { return FCreatingLinkObject; }
    // Non-zero while a data change is being delivered.
    int DataChangeRefCount() const { return FDataChangeRefCount; }
    // The relation made by the relation list's Add.
    virtual std::unique_ptr<TvlCustomDataRelation> CreateRelation(TvlCustomDataRelationList* ARelationList,
                                                                  TObject* AItem);
    // The owner's link object for a record's details (none in the base), and
    // the detail controller it holds.
    virtual std::unique_ptr<TObject> CreateDetailLinkObject(TvlCustomDataRelation* ARelation, int ARecordIndex);
    virtual TvlCustomDataController* GetDetailDataController(TObject* ALinkObject) const;
    virtual int GetDefaultActiveRelationIndex() const { return 0; }
    TObject* GetDetailLinkObject(int ARecordIndex, int ARelationIndex);
    bool HasDetailLinkObject(int ARecordIndex, int ARelationIndex);
    TvlCustomDataController* GetDetailDataControllerOf(int ARecordIndex, int ARelationIndex);
    int GetDetailActiveRelationIndex(int ARecordIndex);
    void SetDetailActiveRelationIndex(int ARecordIndex, int ARelationIndex);
    bool GetDetailExpanding(int ARecordIndex);
    // Whether the record's details are now as asked.
    bool ChangeDetailExpanding(int ARecordIndex, bool AExpanded);
    void CollapseDetails();
    bool GetDetailHasChildren(int ARecordIndex, int ARelationIndex);
    void ClearDetailLinkObject(int ARecordIndex, int ARelationIndex);
    void ClearDetailLinkObjects();
    virtual void UpdateDetailStructure(TObject* AItem);
    virtual void DetailStructureChanged();
    virtual void DoDetailExpanded(int ARecordIndex);
    virtual void DoDetailCollapsed(int ARecordIndex);

    // ---- the controller stream
    // Writes the stored columns' value-type names and every record at the
    // stream's position; never reads the stream.
    void SaveToStream(TStream* AStream);
    // Replaces the records with those of the stream, or changes nothing:
    // "Invalid stream format" when the columns differ, a read error when the
    // stream is damaged or cut short. Whether a record carries its id is
    // decided by this controller's storage, not by the stream: writer and
    // reader must agree.
    void LoadFromStream(TStream* AStream);

    // ---- events, in their order
    TvlDataControllerNotifyEvent OnAfterCancel;
    TvlDataControllerNotifyEvent OnAfterDelete;
    TvlDataControllerNotifyEvent OnAfterInsert;
    TvlDataControllerNotifyEvent OnAfterPost;
    TvlDataControllerNotifyEvent OnBeforeCancel;
    TvlDataDetailExpandedEvent OnBeforeDelete;
    TvlDataControllerNotifyEvent OnBeforeInsert;
    TvlDataControllerNotifyEvent OnBeforePost;
    TvlDataFilterRecordEvent GetOnFilterRecord() const { return FOnFilterRecord; }
    TvlDataDetailExpandedEvent OnNewRecord;
    TvlDataControllerCompareEvent OnCompare;
    TNotifyEvent OnDataChanged;
    TvlDataDetailExpandingEvent OnDetailCollapsing;
    TvlDataDetailExpandedEvent OnDetailCollapsed;
    TvlDataDetailExpandingEvent OnDetailExpanding;
    TvlDataDetailExpandedEvent OnDetailExpanded;
    TNotifyEvent OnGroupingChanged;
    TvlDataRecordChangedEvent OnRecordChanged;
    TNotifyEvent OnSortingChanged;

private:
    friend class TvlCustomDataControllerInfo;
    friend class TvlCustomDataProvider;
    friend class TvlDataControllerGroups;
    friend class TvlDataControllerSearch;
    friend class TvlDataFilterCriteria;
    friend class TvlSelectedKeys;
    void notifyChanges();
    void deliverDataChange();
    void deliverFocusChanges();
    void deliverSelectionChange();
    void infoUpdated(TvlDataControllerInfoChanges AChanges);
    void loadFromProvider();
    void doDeleteFocused();

    IvlDataControllerOwner* FOwner;
    bool FActive = false;
    bool FDataChangedPending = false;
    int FDataChangedLockCount = 0;
    TvlDataControllerChanges FChanges;
    bool FCheckFocusingAfterFilter = false;
    std::vector<TvlDataChangedListener> FDataChangedListeners;
    std::unique_ptr<TvlDataStorage> FDataStorage;
    std::unique_ptr<TvlDataControllerGroups> FGroups;
    std::unique_ptr<TvlCustomDataFieldList> FFields;
    std::unique_ptr<TvlDataFilterList> FFilters;
    std::unique_ptr<TvlDataFilterCriteria> FFilter;
    std::unique_ptr<TvlDataControllerSearch> FSearch;
    std::unique_ptr<TvlDataSummary> FSummary;
    std::unique_ptr<TvlCustomDataProvider> FProvider;
    std::unique_ptr<TvlCustomDataControllerInfo> FDataControllerInfo;
    std::unique_ptr<TvlDataControllerNotifier> FNotifier;
    std::vector<TvlDataListenerLink*> FListenerLinks;  // owned
    int FBookmarkRecordIndex = -1;
    bool FDestroying = false;
    bool FGroupingChanged = false;
    bool FLoadedStorage = false;
    bool FFilterChanged = false;
    TvlCustomDataField* FIncrementalFilterField = nullptr;
    String FIncrementalFilterText;

public:
    // The incremental search's state (kept here, driven by the search object).
    TvlCustomDataField* IncrementalSearchField = nullptr;
    bool IncrementalSearching = false;
    String IncrementalSearchText;

private:
    bool FInCancel = false;
    bool FInLoadStorage = false;
    bool FInNotifyControl = false;
    bool FInSortingChangedEvent = false;
    bool FInSmartLoad = false;
    bool FInSetCustomDataSource = false;
    int FFieldsUpdateLockCount = 0;
    mutable int FNewItemRecordIndex = 0;
    bool FNewItemRowFocused = false;
    bool FMultiSelect = false;
    bool FFocusedSelected = true;
    TvlDataControllerOptions FOptions{dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding};
    int FPrevSelectedCount = 0;
    int FPrevSelectedRow = -1;
    TvlCustomDataField* FRecordHandlesField = nullptr;
    std::unique_ptr<TvlSaveObject> FSaveObject;
    int FSaveObjectLockCount = 0;
    bool FSortingChanged = false;
    bool FStructureChanged = false;
    bool FStructureRecreated = false;
    bool FUpdatingItems = false;
    bool FUseNewItemRowForEditing = false;
    bool FDataChangePending = false;
    TvlDataChangeKind FPendingKind = dckAll;
    int FPendingItemIndex = -1;
    int FPendingRecordIndex = -1;
    TvlDataFilterRecordEvent FOnFilterRecord;
    // ---- master-detail relations
    friend class TvlCustomDataRelation;
    friend class TvlCustomDataRelationList;
    void detachFromMaster();
    void releaseUnreferencedDetails();
    bool canAskDetailChildren() const;
    void checkMasterDetailChanges();
    std::unique_ptr<TvlCustomDataRelationList> FRelations;
    TvlCustomDataRelation* FMasterRelation = nullptr;
    int FMasterRecordIndex = -1;
    bool FIsPattern = false;
    bool FIsPatternSaved = false;
    TvlCustomDataController* FCreatingDataController = nullptr;
    bool FCreatingLinkObject = false;
    bool FRecreatingLinkObject = false;
    bool FDetailExpanding = false;
    bool FInFocusDetails = false;
    int FDataChangeRefCount = 0;

    mutable std::unique_ptr<QCollator> FCollator;  // made on first use, dropped when the options change
};

// The default display format of a summary: value kind (1 currency, 2
// plain, other: two decimals), summary kind 0 .. 5, footer or group.
String GetDefaultSummaryDisplayFormat(int AValueKind, int ASummaryKind, bool AFooter);
