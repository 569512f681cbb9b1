#include "ui/data/vlCustomData.h"

#include <QCollator>
#include <algorithm>
#include <cmath>

#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "ui/data/vlCustomDataPrivate.h"
#include "ui/data/vlDataConsts.h"
#include "ui/data/vlDataUtils.h"
#include "ui/data/vlFilterConsts.h"

using namespace vlDataConsts;

using namespace vlCustomDataPrivate;

// ============================================================ QuickSortList

void QuickSortList(std::vector<int>& AList, int L, int R, const std::function<int(int, int)>& ACompare)
{
    if (AList.empty())
        return;
    L = std::max(L, 0);
    R = std::min(R, int(AList.size()) - 1);
    while (L < R) {
        int i = L, j = R;
        const int pivot = AList[size_t(unsigned(L + R) >> 1)];
        do {
            // The pivot (or what a swap left in its place) stops each scan;
            // the bounds keep a compare that is not an ordering inside the range.
            while (i < R && ACompare(AList[size_t(i)], pivot) < 0)
                ++i;
            while (j > L && ACompare(AList[size_t(j)], pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(AList[size_t(i)], AList[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        // The smaller part by recursion, the larger by the loop: the stack
        // stays logarithmic whatever the data.
        if (j - L < R - i) {
            if (L < j)
                QuickSortList(AList, L, j, ACompare);
            L = i;
        } else {
            if (i < R)
                QuickSortList(AList, i, R, ACompare);
            R = j;
        }
    }
}

// ============================================================ descriptions

TvlSelectionChangedInfo::TvlSelectionChangedInfo(int ARowIndex1, int ARowIndex2)
{
    if (ARowIndex1 != -1)
        RowIndexes.push_back(ARowIndex1);
    if (ARowIndex2 != -1 && ARowIndex2 != ARowIndex1)
        RowIndexes.push_back(ARowIndex2);
}

int TvlSelectionChangedInfo::GetRowIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        throw EListError(LoadResStringFmt(RtlConsts::SListIndexError, {Index}));
    return RowIndexes[size_t(Index)];
}

// ============================================================ support classes

TvlDataControllerNotifier::TvlDataControllerNotifier(TvlCustomDataController* ADataController)
    : TComponent(nullptr), FDataController(ADataController)
{
}

void TvlDataControllerNotifier::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && !(AComponent == this && ComponentState().Contains(csDestroying)))
        FDataController->RemoveNotification(AComponent);
}

TvlValueDefUnboundReader::~TvlValueDefUnboundReader() { Clear(); }

void TvlValueDefUnboundReader::SetValue(TvlValueDef* AValueDef, const Variant& AValue)
{
    auto it = std::find(FItems.begin(), FItems.end(), AValueDef);
    size_t index = size_t(it - FItems.begin());
    if (it == FItems.end())
        FItems.push_back(AValueDef);
    while (FValues.size() < FItems.size())
        FValues.emplace_back();
    if (!FValues[index])
        FValues[index] = std::make_unique<Variant>();
    *FValues[index] = AValue;
}

Variant TvlValueDefUnboundReader::ValueFor(TvlValueDef* AValueDef)
{
    TvlValueDef* def = AValueDef;
    if (auto* mirror = dynamic_cast<TvlInternalValueDef*>(AValueDef))
        def = mirror->PublicDefinition();
    const auto it = std::find(FItems.begin(), FItems.end(), def);
    const size_t index = size_t(it - FItems.begin());
    if (it == FItems.end() || index >= FValues.size() || !FValues[index])
        return Null();
    return *FValues[index];
}

namespace {
TvlCustomDataField* fieldOfDef(TvlValueDef* AValueDef)
{
    // A mirror answers with its public definition's link: the field.
    void* link = AValueDef->LinkedItem();
    return link != nullptr ? static_cast<TvlCustomDataField*>(static_cast<TObject*>(link)) : nullptr;
}

// Internal fields (record handles, detail objects) are never filled from a reader.
bool isInternalDef(TvlValueDef* AValueDef)
{
    TvlCustomDataField* field = fieldOfDef(AValueDef);
    return field == nullptr || field->IsInternal();
}
}  // namespace

bool TvlValueDefUnboundReader::SkipsDefinition(TvlValueDef* AValueDef) { return isInternalDef(AValueDef); }

void TvlValueDefUnboundReader::Truncate(int ACount)
{
    while (int(FValues.size()) > std::max(ACount, 0))
        FValues.pop_back();
}

String TvlValueDefRecordReader::TextFor(TvlValueDef* AValueDef)
{
    TvlCustomDataField* field = fieldOfDef(AValueDef);
    if (field == nullptr || field->IsInternal())
        return {};
    String text;
    FDataController->GetInternalDisplayText(FRecordIndex, field, text);
    return text;
}

Variant TvlValueDefRecordReader::ValueFor(TvlValueDef* AValueDef)
{
    TvlCustomDataField* field = fieldOfDef(AValueDef);
    if (field == nullptr)
        return Null();
    Variant v;
    FDataController->GetInternalValue(FRecordIndex, field, v);
    return v;
}

bool TvlValueDefRecordReader::SkipsDefinition(TvlValueDef* AValueDef) { return isInternalDef(AValueDef); }

// ============================================================ fields

TvlCustomDataField::TvlCustomDataField(TvlCustomDataFieldList* AFieldList) : FFieldList(AFieldList) {}

TvlCustomDataField::~TvlCustomDataField() { clearData(); }

TvlCustomDataController* TvlCustomDataField::GetDataController() const { return FFieldList->DataController(); }

int TvlCustomDataField::Index() const { return FFieldList->IndexOf(this); }

void TvlCustomDataField::SetIndex(int AIndex)
{
    const int cur = Index();
    if (cur >= 0 && AIndex != cur)
        FFieldList->move(cur, AIndex);
}

void TvlCustomDataField::SetIsInternal(bool Value)
{
    FIsInternal = Value;
    FFieldList->recount();
}

bool TvlCustomDataField::CanModify(bool) const
{
    return GetValueDef() != nullptr || GetDataController()->IsProviderMode();
}

TvlValueDef* TvlCustomDataField::GetValueDef() const
{
    const TvlCustomDataField* f = this;
    while (f->FReferenceField != nullptr)
        f = f->FReferenceField;
    return f->FValueDef;
}

TvlValueTypeClass TvlCustomDataField::GetValueTypeClass() const
{
    const TvlCustomDataField* f = this;
    while (f->FReferenceField != nullptr)
        f = f->FReferenceField;
    return f->FValueTypeClass;
}

bool TvlCustomDataField::GetTextStored() const
{
    const TvlCustomDataField* f = this;
    while (f->FReferenceField != nullptr)
        f = f->FReferenceField;
    return f->FTextStored;
}

void TvlCustomDataField::createData()
{
    clearData();
    if (FValueTypeClass == nullptr || FReferenceField != nullptr)
        return;
    FValueDef = GetDataController()->DataStorage()->ValueDefs()->AddDefinition(
        FValueTypeClass, FIsInternal, static_cast<TObject*>(this), FTextStored);
}

void TvlCustomDataField::clearData()
{
    if (FValueDef == nullptr || FReferenceField != nullptr)
        return;
    TvlValueDef* def = FValueDef;
    FValueDef = nullptr;
    def->Owner()->Delete(def);
}

void TvlCustomDataField::beginRecreateData()
{
    if (FRecreateDataLock++ == 0)
        clearData();
}

void TvlCustomDataField::endRecreateData()
{
    if (--FRecreateDataLock == 0)
        createData();
}

void TvlCustomDataField::SetValueTypeClass(TvlValueTypeClass Value)
{
    if (FReferenceField != nullptr || Value == FValueTypeClass)
        return;
    beginRecreateData();
    FValueTypeClass = Value;
    endRecreateData();
}

void TvlCustomDataField::SetTextStored(bool Value)
{
    if (FReferenceField != nullptr || Value == FTextStored)
        return;
    beginRecreateData();
    FTextStored = Value;
    endRecreateData();
}

void TvlCustomDataField::SetReferenceField(TvlCustomDataField* AField)
{
    if (AField == FReferenceField)
        return;
    TvlCustomDataField* last = AField;
    while (last != nullptr && last->FReferenceField != nullptr)
        last = last->FReferenceField;
    if (last == this)
        return;  // would close a cycle
    if (FReferenceField == nullptr)
        SetValueTypeClass(nullptr);
    FReferenceField = last;
}

void TvlCustomDataField::Reassign(TvlCustomDataField* ASource)
{
    clearData();
    FReferenceField = nullptr;
    FValueDef = ASource->FValueDef;
    FValueTypeClass = ASource->FValueTypeClass;
    FTextStored = ASource->FTextStored;
    ASource->FValueDef = nullptr;
    ASource->FValueTypeClass = nullptr;
    if (FValueDef != nullptr)
        FValueDef->SetLinkedItem(static_cast<TObject*>(this));
}

TvlCustomDataFieldList::TvlCustomDataFieldList(TvlCustomDataController* ADataController)
    : FDataController(ADataController)
{
}

TvlCustomDataFieldList::~TvlCustomDataFieldList() { Clear(); }

void TvlCustomDataFieldList::RemoveNotification(TComponent* AComponent)
{
    for (auto& f : FItems)
        f->RemoveNotification(AComponent);
}

int TvlCustomDataFieldList::IndexOf(const TvlCustomDataField* AField) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == AField)
            return int(i);
    return -1;
}

void TvlCustomDataFieldList::recount()
{
    // Internal fields always go behind the item fields.
    std::stable_partition(FItems.begin(), FItems.end(), [](const auto& f) { return !f->GetIsInternal(); });
    FInternalCount = int(std::count_if(FItems.begin(), FItems.end(), [](const auto& f) { return f->GetIsInternal(); }));
}

void TvlCustomDataFieldList::move(int ACurIndex, int ANewIndex)
{
    ANewIndex = std::clamp(ANewIndex, 0, Count() - 1);
    auto f = std::move(FItems[size_t(ACurIndex)]);
    FItems.erase(FItems.begin() + ACurIndex);
    FItems.insert(FItems.begin() + ANewIndex, std::move(f));
    recount();
}

void TvlCustomDataFieldList::Add(std::unique_ptr<TvlCustomDataField> AField)
{
    if (AField->GetIsInternal())
        FItems.push_back(std::move(AField));
    else
        FItems.insert(FItems.begin() + ItemCount(), std::move(AField));
    recount();
}

void TvlCustomDataFieldList::Remove(TvlCustomDataField* AField)
{
    const int index = IndexOf(AField);
    if (index < 0)
        return;
    FieldDestroyed = true;
    // The first field that referenced it takes its column over; the others
    // follow that one.
    TvlCustomDataField* heir = nullptr;
    for (auto& f : FItems) {
        if (f.get() == AField || f->FReferenceField != AField)
            continue;
        if (heir == nullptr) {
            heir = f.get();
            heir->Reassign(AField);
        } else {
            f->FReferenceField = heir;
        }
    }
    std::unique_ptr<TvlCustomDataField> owned = std::move(FItems[size_t(index)]);
    FItems.erase(FItems.begin() + index);
    FDataController->FieldRemoved(owned.get());
    recount();
    owned.reset();
}

void TvlCustomDataFieldList::Clear()
{
    while (!FItems.empty())
        Remove(FItems.back().get());
}

TvlCustomDataField* TvlCustomDataFieldList::FieldByItem(const TObject* AItem) const
{
    for (const auto& f : FItems)
        if (f->Item() == AItem)
            return f.get();
    return nullptr;
}

// ============================================================ keys

TvlKeys::~TvlKeys() = default;

void TvlKeys::Clear() { FKeys.clear(); }

void TvlKeys::Store(TvlCustomDataController* ADataController)
{
    Clear();
    FDataController = ADataController;
    FKeyFields.clear();
    ADataController->GetKeyFields(FKeyFields);
    DoStore();
    std::vector<size_t> order(FKeys.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::vector<int> idx(order.begin(), order.end());
    QuickSortList(idx, 0, int(idx.size()) - 1, [this](int a, int b) {
        const int r = VarCompare(FKeys[size_t(a)]->Key, FKeys[size_t(b)]->Key);
        return r != 0 ? r : a - b;
    });
    std::vector<std::unique_ptr<TvlKeyInfo>> sorted;
    for (int i : idx)
        sorted.push_back(std::move(FKeys[size_t(i)]));
    FKeys = std::move(sorted);
}

void TvlKeys::Restore(TvlCustomDataController* ADataController)
{
    FDataController = ADataController;
    FKeyFields.clear();
    ADataController->GetKeyFields(FKeyFields);
    if (!FKeys.empty()) {
        DoRestore();
        Clear();
    }
}

bool TvlKeys::Find(int ARecordIndex, int& AIndex) const
{
    Variant key;
    FDataController->GetKeyValues(ARecordIndex, FKeyFields, key);
    for (size_t i = 0; i < FKeys.size(); ++i)
        if (VarCompare(FKeys[i]->Key, key) == 0) {
            AIndex = int(i);
            return true;
        }
    return false;
}

void TvlKeys::Delete(int AIndex) { FKeys.erase(FKeys.begin() + AIndex); }

void TvlSelectedKeys::DoStore()
{
    TvlDataSelection* sel = FDataController->DataControllerInfo()->Selection();
    for (int i = 0; i < sel->GetCount(); ++i) {
        const TvlDataSelectionEntry& e = sel->GetItem(i);
        if (e.Level < 0 || e.RecordIndex >= FDataController->GetRecordCount())
            continue;
        auto info = std::make_unique<TvlSelectedKeyInfo>();
        info->SelectedIndex = i;
        FDataController->GetKeyValues(e.RecordIndex, FKeyFields, info->Key);
        FKeys.push_back(std::move(info));
    }
    FDataController->DataControllerInfo()->SaveExpanding(TvlDataExpandingStates{desExpanded, desSelected});
}

void TvlSelectedKeys::DoRestore()
{
    TvlDataSelection* sel = FDataController->DataControllerInfo()->Selection();
    if (sel->GetCount() == 0)
        return;
    for (int r = 0; r < FDataController->GetRecordCount() && !FKeys.empty(); ++r) {
        int k = -1;
        if (!Find(r, k))
            continue;
        const int pos = static_cast<TvlSelectedKeyInfo*>(FKeys[size_t(k)].get())->SelectedIndex;
        if (pos >= 0 && pos < sel->GetCount()) {
            sel->GetItem(pos).RecordIndex = r;
            Delete(k);
        }
    }
    for (const auto& key : FKeys) {
        const int pos = static_cast<TvlSelectedKeyInfo*>(key.get())->SelectedIndex;
        if (pos >= 0 && pos < sel->GetCount())
            sel->GetItem(pos).RecordIndex = -1;
    }
    for (int i = sel->GetCount() - 1; i >= 0; --i)
        if (sel->GetItem(i).RecordIndex == -1)
            sel->InternalDelete(i);
    FDataController->DataControllerInfo()->ExpandingChanged();
}

TvlSaveObject::TvlSaveObject()
    : FDetailKeys(std::make_unique<TvlDetailKeys>()), FSelectedKeys(std::make_unique<TvlSelectedKeys>())
{
}

TvlSaveObject::~TvlSaveObject()
{
    FSelectedKeys.reset();
    FDetailKeys.reset();
}

void TvlSaveObject::Save(TvlCustomDataController* ADataController)
{
    if (ADataController->IsCreatingLinkObject() || ADataController->IsDestroying() ||
        !ADataController->IsRecordIDSupported())
        return;
    FDetailKeys->Store(ADataController);
    FSelectedKeys->Store(ADataController);
}

void TvlSaveObject::Restore(TvlCustomDataController* ADataController)
{
    if (ADataController->IsCreatingLinkObject())
        return;
    if (ADataController->IsRecordIDSupported()) {
        FDetailKeys->Restore(ADataController);
        FSelectedKeys->Restore(ADataController);
    } else {
        ADataController->CheckSelectionAndBookmark();
    }
}

// ============================================================ provider

TvlUserDataSource::~TvlUserDataSource()
{
    for (TvlCustomDataProvider* p : std::vector<TvlCustomDataProvider*>(Providers))
        p->SetCustomDataSource(nullptr);
}

TvlCustomDataController* TvlUserDataSource::DataController() const
{
    return CurrentProvider != nullptr ? CurrentProvider->DataController() : nullptr;
}

TvlCustomDataProvider::TvlCustomDataProvider(TvlCustomDataController* ADataController)
    : FDataController(ADataController)
{
}

TvlCustomDataProvider::~TvlCustomDataProvider()
{
    if (FCustomDataSource != nullptr) {
        auto& list = FCustomDataSource->Providers;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (FCustomDataSource->CurrentProvider == this)
            FCustomDataSource->CurrentProvider = nullptr;
    }
}

TvlUserDataSource* TvlCustomDataProvider::source()
{
    if (FCustomDataSource != nullptr)
        FCustomDataSource->CurrentProvider = this;
    return FCustomDataSource;
}

void TvlCustomDataProvider::SetCustomDataSource(TvlUserDataSource* Value)
{
    if (!CanUseStorage() || Value == FCustomDataSource)
        return;
    if (FCustomDataSource != nullptr) {
        auto& list = FCustomDataSource->Providers;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (FCustomDataSource->CurrentProvider == this)
            FCustomDataSource->CurrentProvider = nullptr;
    }
    FCustomDataSource = Value;
    if (Value != nullptr)
        Value->Providers.push_back(this);
    FDataController->FInSetCustomDataSource = true;
    Finally reset{[this] { FDataController->FInSetCustomDataSource = false; }};
    if (!FDataController->IsDestroying())
        FDataController->UpdateStructure();
}

int TvlCustomDataProvider::handleOf(int ARecordIndex)
{
    TvlCustomDataField* f = FDataController->FRecordHandlesField;
    if (f == nullptr)
        return -1;
    Variant v;
    FDataController->GetInternalValue(ARecordIndex, f, v);
    return VarIsNull(v) || VarIsEmpty(v) ? -1 : v.AsInteger();
}

int TvlCustomDataProvider::itemHandleOf(TvlCustomDataField* AField)
{
    return source()->GetItemHandle(AField->Index());
}

int TvlCustomDataProvider::recordIndexOfHandle(int AHandle)
{
    for (int r = 0; r < FDataController->GetRecordCount(); ++r)
        if (handleOf(r) == AHandle)
            return r;
    return -1;
}

int TvlCustomDataProvider::AddRecordHandle(int AHandle)
{
    if (FCustomDataSource == nullptr || FDataController->FRecordHandlesField == nullptr)
        return -1;
    const int r = FDataController->DataStorage()->AddRecord();
    FDataController->DataStorage()->PutValue(r, FDataController->FRecordHandlesField->GetValueDef(), Variant(AHandle));
    return r;
}

void TvlCustomDataProvider::LoadRecordHandles()
{
    if (TvlUserDataSource* s = source())
        s->LoadRecordHandles();
}

void TvlCustomDataProvider::CustomSort()
{
    if (TvlUserDataSource* s = source())
        s->CustomSort();
}

bool TvlCustomDataProvider::IsCustomSorting() const
{
    return FCustomDataSource != nullptr && const_cast<TvlCustomDataProvider*>(this)->source()->IsCustomSorting();
}

bool TvlCustomDataProvider::IsRecordIdSupported() const
{
    return FCustomDataSource != nullptr && const_cast<TvlCustomDataProvider*>(this)->source()->IsRecordIdSupported();
}

bool TvlCustomDataProvider::CanDelete() const { return FDataController->DataControllerInfo()->GetRecordListCount() > 0; }

int TvlCustomDataProvider::AppendRecord()
{
    TvlUserDataSource* s = source();
    if (s == nullptr)
        return -1;
    return recordIndexOfHandle(s->AppendRecord());
}

void TvlCustomDataProvider::DeleteRecord(int ARecordIndex)
{
    if (TvlUserDataSource* s = source())
        s->DeleteRecord(handleOf(ARecordIndex));
}

int TvlCustomDataProvider::InsertRecord(int ARecordIndex)
{
    TvlUserDataSource* s = source();
    if (s == nullptr)
        return -1;
    const int handle = s->IsInsertSupported() ? s->InsertRecord(handleOf(ARecordIndex)) : s->AppendRecord();
    return recordIndexOfHandle(handle);
}

bool TvlCustomDataProvider::GetDetailHasChildren(int ARecordIndex, int ARelationIndex)
{
    TvlUserDataSource* s = source();
    return s != nullptr && s->GetDetailHasChildren(ARecordIndex, ARelationIndex);
}

String TvlCustomDataProvider::GetDisplayText(int ARecordIndex, TvlCustomDataField* AField)
{
    TvlUserDataSource* s = source();
    return s != nullptr ? s->GetDisplayText(handleOf(ARecordIndex), itemHandleOf(AField)) : String();
}

Variant TvlCustomDataProvider::GetRecordId(int ARecordIndex)
{
    TvlUserDataSource* s = source();
    return s != nullptr ? s->GetRecordId(handleOf(ARecordIndex)) : Null();
}

Variant TvlCustomDataProvider::GetValue(int ARecordIndex, TvlCustomDataField* AField)
{
    TvlUserDataSource* s = source();
    return s != nullptr ? s->GetValue(handleOf(ARecordIndex), itemHandleOf(AField)) : Null();
}

void TvlCustomDataProvider::SetValue(int ARecordIndex, TvlCustomDataField* AField, const Variant& AValue)
{
    if (TvlUserDataSource* s = source())
        s->SetValue(handleOf(ARecordIndex), itemHandleOf(AField), AValue);
}

void TvlCustomDataProvider::SetRecordCount(int ACount)
{
    if (TvlUserDataSource* s = source())
        s->SetRecordCount(ACount);
}

int TvlCustomDataProvider::NativeCompareFunc(int ARecordIndex1, int ARecordIndex2, TvlCustomDataField* AField)
{
    TvlUserDataSource* s = source();
    return s != nullptr ? s->NativeCompareFunc(handleOf(ARecordIndex1), handleOf(ARecordIndex2), itemHandleOf(AField))
                        : 0;
}

int TvlCustomDataProvider::NativeCompare(int ARecordIndex1, int ARecordIndex2, TvlCustomDataField* AField)
{
    TvlDataStorage* storage = FDataController->DataStorage();
    TvlValueDef* def = AField->GetValueDef();
    if (def == nullptr)
        return 0;
    if (ARecordIndex1 < 0 && ARecordIndex2 < 0)
        return storage->CompareRecordValues(ARecordIndex1, ARecordIndex2, def);
    auto info = [&](int r, const TvlValueData*& data) -> bool {
        if (r < 0 || source() == nullptr)
            return storage->CompareInfoOf(r, def, data);
        return !source()->GetInfoForCompare(handleOf(r), itemHandleOf(AField), data);
    };
    const TvlValueData* d1 = nullptr;
    const TvlValueData* d2 = nullptr;
    const bool n1 = info(ARecordIndex1, d1);
    const bool n2 = info(ARecordIndex2, d2);
    return def->ComparePrepared(n1, n2, d1, d2);
}

void TvlCustomDataProvider::ActiveChanged(bool AActive)
{
    FDataController->SetActiveState(AActive);
    ResetEditing();
}

void TvlCustomDataProvider::DataChanged(TvlDataChangeKind AKind, int AItemIndex, int ARecordIndex)
{
    if (!IsDataFrozen())
        FDataController->NotifyDataChanged(AKind, AItemIndex, ARecordIndex);
    if (FDataChangedLocked)
        ResetChanging();
    else
        ResetEditing();
}

void TvlCustomDataProvider::FocusedRecordChanged(int)
{
    FDataController->ProviderFocusChanged();
    ResetChanging();
}

void TvlCustomDataProvider::LayoutChanged() { FDataController->UpdateActiveState(); }

// ---- the editing state machine

void TvlCustomDataProvider::CreateSavedRecord(int ARecordIndex)
{
    if (FSavedRecordIndex == 0)
        FSavedRecordIndex = FDataController->DataStorage()->NewInternalRecord();
    FDataController->AssignRecord(ARecordIndex, FSavedRecordIndex);
}

void TvlCustomDataProvider::ClearSavedRecord()
{
    if (FSavedRecordIndex != 0) {
        const int r = FSavedRecordIndex;
        FSavedRecordIndex = 0;
        FDataController->DataStorage()->RemoveInternalRecord(r);
    }
}

bool TvlCustomDataProvider::CanInitEditing(int ARecordIndex)
{
    if (ARecordIndex == vlEditingRecordIndexNone)
        raiseError(vlSDataRecordIndexError);
    FDataController->CheckRecordIndex(ARecordIndex);
    if (!IsEditing())
        EditRecord();
    if (IsEditing())
        SetChanging();
    return true;
}

void TvlCustomDataProvider::DoEdit()
{
    TvlCustomDataController* dc = FDataController;
    if (dc->FUseNewItemRowForEditing && dc->IsNewItemRowEditing() && !IsInserting()) {
        Insert();
        return;
    }
    FEditingRecordIndex = dc->GetActiveRecordIndex();
    if (FEditingRecordIndex >= 0) {
        FEditingRecordIndex1 = FEditingRecordIndex2 = vlEditingRecordIndexNone;
        const int r = dc->GetFocusedRowIndex();
        if (r >= 0) {
            TvlCustomDataControllerInfo* info = dc->DataControllerInfo();
            if (r < info->GetRowCount() - 1)
                FEditingRecordIndex2 = info->GetRowInfo(r + 1).RecordIndex;
            else
                FEditingRecordIndex1 = info->GetRowInfo(r == 0 ? r : r - 1).RecordIndex;
        }
    }
    if (FEditingRecordIndex == vlEditingRecordIndexNone)
        return;
    if (!IsInserting() && (!IsCursorMode() || dc->IsSyncMode()))
        CreateSavedRecord(FEditingRecordIndex);
    dc->Changed(TvlDataControllerChanges{dccUpdateRecord});
}

void TvlCustomDataProvider::Edit() { EditRecord(); }

void TvlCustomDataProvider::Append() { DoInsert(true); }

void TvlCustomDataProvider::Insert() { DoInsert(false); }

void TvlCustomDataProvider::DoInsert(bool AAppend)
{
    TvlCustomDataController* dc = FDataController;
    if (!IsCursorMode() && IsInserting() && !IsChanging() && !IsModified())
        return;  // an untouched new record stays the one new record
    if (IsEditing() && (IsChanging() || IsModified()) && !IsCursorMode()) {
        if (IsChanging())
            PostEditingData();
        dc->Post(false);
    }
    dc->DoBeforeInsert();
    {
        Update lock(dc);
        TvlDataSummaryValues groupValues;
        TvlCustomDataControllerInfo* info = dc->DataControllerInfo();
        if (dc->FUseNewItemRowForEditing) {
            int a = dc->GetFocusedRecordIndex();
            if (a < 0 && info->GetRowCount() > 0)
                a = info->GetRowInfo(0).RecordIndex;
            FEditingRecordIndex = dc->GetNewItemRecordIndex();
            dc->SetNewItemRowFocused(true);
            dc->GetGroupValues(a, groupValues);
        } else {
            if (!AAppend)
                dc->ClearSelection();
            if (IsGridMode()) {
                const int a = dc->GetCurrentRecordIndex();
                dc->GetGroupValues(a, groupValues);
                FEditingRecordIndex = a;
            } else if (AAppend) {
                const int rows = info->GetRowCount();
                const int a = rows > 0 ? info->GetRowInfo(rows - 1).RecordIndex : -1;
                dc->GetGroupValues(a, groupValues);
                FEditingRecordIndex = dc->AppendRecord();
                FEditingRecordIndex1 = a;
            } else {
                int b = dc->GetFocusedRecordIndex();
                if (b < 0)
                    b = 0;
                dc->GetGroupValues(b, groupValues);
                FEditingRecordIndex = dc->InsertRecord(b);
                FEditingRecordIndex2 = b;
                if (b + 1 < dc->GetRecordCount())
                    FEditingRecordIndex2 = b + 1;
            }
        }
        DoInitInsertingRecord(FEditingRecordIndex, groupValues);
        FChanging = false;
        FInserting = true;
    }
    dc->ChangeFocusedRecordIndex(FEditingRecordIndex);
    dc->DoAfterInsert();
}

void TvlCustomDataProvider::DoInitInsertingRecord(int ARecordIndex, const TvlDataSummaryValues& AGroupValues)
{
    TvlCustomDataController* dc = FDataController;
    TvlGroupingFieldList* grouping = dc->DataControllerInfo()->GroupingFieldList();
    if (grouping->GetCount() > 0 && dc->Options().Contains(dcoAssignGroupingValues))
        for (int i = 0; i < grouping->GetCount() && i < int(AGroupValues.size()); ++i)
            SetFieldValue(ARecordIndex, grouping->GetItem(i).Field, AGroupValues[size_t(i)]);
    dc->DoNewRecord(ARecordIndex);
}

void TvlCustomDataProvider::SetFieldValue(int ARecordIndex, TvlCustomDataField* AField, const Variant& AValue)
{
    FDataController->SetValue(ARecordIndex, AField->Index(), AValue);
}

void TvlCustomDataProvider::DoUpdateData()
{
    if (FInUpdateData || !FChanging)
        return;
    FInUpdateData = true;
    Finally reset{[this] { FInUpdateData = false; }};
    FDataController->UpdateData();
}

void TvlCustomDataProvider::PostEditingData()
{
    DoUpdateData();
    FChanging = false;
}

void TvlCustomDataProvider::Post(bool AForcePost)
{
    TvlCustomDataController* dc = FDataController;
    bool posted = false;
    int r = -1;
    {
        FullUpdate lock(dc);
        DoUpdateData();
        if (!IsInserting() || IsModified() || AForcePost) {
            dc->DoBeforePost();
            r = FEditingRecordIndex;
            if (IsInserting() && r < 0 && r == dc->FNewItemRecordIndex) {
                const int newItem = r;
                FDataChangedLocked = dc->IsProviderMode();
                {
                    Finally unlock{[this] { FDataChangedLocked = false; }};
                    r = dc->AppendRecord();
                }
                FInsertedRecordIndex = r;
                dc->AssignRecord(newItem, r);
            }
            ResetEditing();
            posted = true;
        } else {
            Cancel();
            r = -1;
        }
        dc->NotifyDataChanged(dckRecord, -1, r);
    }
    if (posted)
        dc->DoAfterPost();
}

void TvlCustomDataProvider::ResetEditing()
{
    TvlCustomDataController* dc = FDataController;
    if (FEditingRecordIndex < 0 && FEditingRecordIndex != vlEditingRecordIndexNone &&
        FEditingRecordIndex == dc->FNewItemRecordIndex) {
        dc->DataStorage()->RemoveInternalRecord(FEditingRecordIndex);
        dc->FNewItemRecordIndex = 0;
    }
    FEditingRecordIndex = FEditingRecordIndex1 = FEditingRecordIndex2 = vlEditingRecordIndexNone;
    FInserting = false;
    ResetChanging();
    ResetModified();
    ClearSavedRecord();
}

void TvlCustomDataProvider::Cancel()
{
    TvlCustomDataController* dc = FDataController;
    dc->DoBeforeCancel();
    {
        Update lock(dc);
        const int e = FEditingRecordIndex;
        if (e != vlEditingRecordIndexNone && (e < dc->GetRecordCount() || e == dc->FNewItemRecordIndex)) {
            if (IsInserting()) {
                const bool smart = dc->FInSmartLoad;
                dc->FInSmartLoad = dc->IsSmartLoad();
                Finally restore{[dc, smart] { dc->FInSmartLoad = smart; }};
                const int c = dc->GetFocusedRecordIndex();
                if (e >= 0) {
                    dc->DeleteRecord(e);
                    if (!dc->FInCancel && c >= dc->GetRecordCount())
                        dc->ChangeFocusedRecordIndex(c - 1);
                }
            } else if (FSavedRecordIndex != 0 && e >= 0) {
                dc->AssignRecord(FSavedRecordIndex, e);
            }
        }
        ResetEditing();
    }
    dc->DoAfterCancel();
}

Variant TvlCustomDataProvider::GetRecordValue(int ARecordIndex, TvlCustomDataField* AField, TvlDataEditValueSource)
{
    if (ARecordIndex == vlEditingRecordIndexNone)
        raiseError(vlSDataRecordIndexError);
    Variant v;
    FDataController->GetInternalValue(ARecordIndex, AField, v);
    return v;
}

void TvlCustomDataProvider::SetEditValue(int ARecordIndex, TvlCustomDataField* AField, const Variant& AValue,
                                         TvlDataEditValueSource AEditValueSource)
{
    Variant v = AValue;
    if (AEditValueSource == 1 && !VarIsNull(v) && VarToStr(v).isEmpty())
        v = Null();
    FDataController->SetValue(ARecordIndex, AField->Index(), v);
    SetModified();
}

void TvlCustomDataProvider::BeginDeleting()
{
    TvlCustomDataController* dc = FDataController;
    if (IsGridMode())
        return;
    const int f = dc->GetFocusedRowIndex();
    if (f < 0)
        return;
    int row = f;
    if (!dc->MultiSelect() || dc->IsRowSelected(f) || dc->GetSelectedCount() == 0)
        row = dc->DataControllerInfo()->GetNeighbourRowIndex(f);
    dc->NearestRecordIndex = row >= 0 ? dc->DataControllerInfo()->GetRowInfo(row).RecordIndex : -1;
}

void TvlCustomDataProvider::EndDeleting() { FDataController->NearestRecordIndex = -1; }

void TvlCustomDataProvider::focusNearestRecord()
{
    TvlCustomDataController* dc = FDataController;
    const int n = dc->NearestRecordIndex;
    if (n == -1) {
        if (dc->GetUpdateLockCount() == 0 && dc->GetFocusedRowIndex() == -1 && dc->GetRowCount() > 0)
            dc->ChangeFocusedRowIndex(dc->GetRowCount() - 1);
    } else if (n >= 0 && n < dc->GetRecordCount()) {
        dc->ChangeFocusedRecordIndex(n);
    }
}

void TvlCustomDataProvider::DeleteFocusedRecord()
{
    TvlCustomDataController* dc = FDataController;
    const int r = dc->GetFocusedRecordIndex();
    if (r < 0)
        return;
    dc->DoBeforeDelete(r);
    const bool provider = dc->IsProviderMode();
    if (provider)
        dc->SaveKeys();
    {
        Finally restore{[dc, provider] {
            if (provider)
                dc->RestoreKeys();
        }};
        dc->DeleteRecord(r);
        focusNearestRecord();
    }
    dc->DoAfterDelete();
}

void TvlCustomDataProvider::DeleteRecords(std::vector<int>& AList)
{
    TvlCustomDataController* dc = FDataController;
    const bool provider = dc->IsProviderMode();
    if (provider)
        dc->SaveKeys();
    Finally restore{[dc, provider] {
        if (provider)
            dc->RestoreKeys();
    }};
    {
        FullUpdate lock(dc);
        // Highest first, so that the lower indexes stay valid.
        for (auto it = AList.rbegin(); it != AList.rend(); ++it) {
            dc->DoBeforeDelete(*it);
            dc->DeleteRecord(*it);
            dc->DoAfterDelete();
        }
        if (dc->InDeleteSelection)
            dc->ClearSelection();
    }
    focusNearestRecord();
}

void TvlCustomDataProvider::DeleteSelection()
{
    TvlCustomDataController* dc = FDataController;
    std::vector<int> list;
    TvlDataSelection* sel = dc->DataControllerInfo()->Selection();
    for (int i = 0; i < sel->GetCount(); ++i) {
        const TvlDataSelectionEntry& e = sel->GetItem(i);
        if (e.Level < 0)
            dc->DataControllerInfo()->LoadRecordIndexes(list, e.RecordIndex);
        else
            list.push_back(e.RecordIndex);
    }
    dc->InDeleteSelection = true;
    Finally reset{[dc] { dc->InDeleteSelection = false; }};
    dc->DeleteRecords(list);
}

// ============================================================ filter, summary, search, locate

// ---- filter conditions

TvlCustomDataController* TvlDataFilterCriteriaItem::DataController() const
{
    auto* criteria = dynamic_cast<TvlDataFilterCriteria*>(Criteria());
    return criteria != nullptr ? criteria->DataController() : nullptr;
}

Variant TvlDataFilterCriteriaItem::GetDataValue(int ARecordIndex)
{
    Variant value = Null();
    if (TvlCustomDataField* field = Field())
        DataController()->GetFilterDataValue(ARecordIndex, field, value);
    return value;
}

String TvlDataFilterCriteriaItem::GetFieldCaption()
{
    TObject* item = GetItemLink();
    return item != nullptr ? DataController()->GetItemCaption(item) : String();
}

String TvlDataFilterCriteriaItem::GetFieldName()
{
    TObject* item = GetItemLink();
    return item != nullptr ? DataController()->GetFilterItemFieldName(item) : String();
}

TObject* TvlDataFilterCriteriaItem::GetItemLink() const
{
    TvlCustomDataField* field = Field();
    return field != nullptr ? field->Item() : nullptr;
}

void TvlDataFilterCriteriaItem::SetItemLink(TObject* AValue)
{
    if (AValue != nullptr && dynamic_cast<TvlCustomDataField*>(AValue) == nullptr) {
        TvlCustomDataController* dc = DataController();
        AValue = dc != nullptr ? dc->Fields()->FieldByItem(AValue) : nullptr;
    }
    TvlFilterCriteriaItem::SetItemLink(AValue);
}

// ---- the controller's filter

TvlDataFilterCriteria::TvlDataFilterCriteria(TvlCustomDataController* ADataController)
    : FDataController(ADataController)
{
    SetStreamVersion(vlDefaultFilterStreamVersion);
}

TvlDataFilterCriteria::~TvlDataFilterCriteria()
{
    FDestroying = true;
    SetActive(false);
}

const TClassInfo* TvlDataFilterCriteria::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlDataFilterCriteria::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlDataFilterCriteria>("TvlDataFilterCriteria", &TvlFilterCriteria::StaticClassInfo())
            .Bool("Active", &TvlDataFilterCriteria::Active, &TvlDataFilterCriteria::SetActive, false)
            .Binary("Criteria", &TvlDataFilterCriteria::CriteriaData, &TvlDataFilterCriteria::SetCriteriaData)
            .Stored(&TvlDataFilterCriteria::HasCriteriaData)
            .Build();
    return info;
}

QByteArray TvlDataFilterCriteria::CriteriaData() const
{
    TMemoryStream stream;
    const_cast<TvlDataFilterCriteria*>(this)->WriteData(&stream);
    return QByteArray(static_cast<const char*>(stream.Memory()), qsizetype(stream.Size()));
}

void TvlDataFilterCriteria::SetCriteriaData(const QByteArray& AValue)
{
    TMemoryStream stream;
    stream.Write(AValue.constData(), AValue.size());
    stream.Seek(0, soBeginning);
    ReadData(&stream);
}

TvlCustomDataField* TvlDataFilterCriteria::fieldOf(TObject* AItemLink) const
{
    if (AItemLink == nullptr)
        return nullptr;
    if (auto* field = dynamic_cast<TvlCustomDataField*>(AItemLink))
        return field;
    return FDataController->Fields()->FieldByItem(AItemLink);
}

int TvlDataFilterCriteria::GetIDByItemLink(TObject* AItemLink) { return FDataController->GetItemID(AItemLink); }

String TvlDataFilterCriteria::GetNameByItemLink(TObject* AItemLink) { return FDataController->GetItemName(AItemLink); }

TObject* TvlDataFilterCriteria::GetItemLinkByID(int AID) { return FDataController->GetItemByID(AID); }

TObject* TvlDataFilterCriteria::GetItemLinkByName(const String& AName) { return FDataController->GetItemByName(AName); }

std::unique_ptr<TvlFilterCriteriaItem> TvlDataFilterCriteria::CreateItem(TvlFilterCriteriaItemList* AParent,
                                                                         const String& ADisplayValue,
                                                                         const Variant& AValue,
                                                                         TvlFilterOperatorKind AOperatorKind,
                                                                         TObject* AItemLink)
{
    return std::make_unique<TvlDataFilterCriteriaItem>(AParent, ADisplayValue, AValue, AOperatorKind,
                                                       fieldOf(AItemLink));
}

std::unique_ptr<TvlFilterValueList> TvlDataFilterCriteria::CreateValueList()
{
    return std::make_unique<TvlDataFilterValueList>(this);
}

TvlFilterCriteriaItem* TvlDataFilterCriteria::FindItemByItemLink(TObject* AItemLink) const
{
    return TvlFilterCriteria::FindItemByItemLink(fieldOf(AItemLink));
}

bool TvlDataFilterCriteria::IsFiltering() const { return FActive && !IsEmpty() && !FDataController->IsGridMode(); }

void TvlDataFilterCriteria::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    Changed();
}

void TvlDataFilterCriteria::DoChanged()
{
    TvlCustomDataController* dc = FDataController;
    if (FDestroying || dc->IsDestroying() || dc->IsLoading() || this != dc->Filter())
        return;
    dc->Post(false);
    dc->FilterChanged();
    TvlFilterCriteria::DoChanged();
}

void TvlDataFilterCriteria::Assign(const TPersistent* Source, bool AByIdOnly)
{
    const auto* source = dynamic_cast<const TvlDataFilterCriteria*>(Source);
    if (source == nullptr) {
        TvlFilterCriteria::Assign(Source, AByIdOnly);
        return;
    }
    BeginUpdate();
    try {
        TvlFilterCriteria::Assign(Source, AByIdOnly);
        SetActive(source->FActive);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlDataFilterCriteria::AssignEvents(const TPersistent* Source)
{
    TvlFilterCriteria::AssignEvents(Source);
    if (const auto* source = dynamic_cast<const TvlDataFilterCriteria*>(Source))
        OnGetValueList = source->OnGetValueList;
}

// ---- value lists

void TvlDataFilterValueList::Load(int AItemIndex, bool AInitSortByDisplayText, bool AUseFilteredValues)
{
    TvlDataFilterCriteria* criteria = DataCriteria();
    TvlCustomDataController* dc = criteria->DataController();
    dc->CheckItemIndex(AItemIndex);
    ClearEntries();
    if (AInitSortByDisplayText)
        SortByDisplayText = dc->IsFilterValueListSortByDisplayText(AItemIndex);
    AddEntry(fviAll, Null(), false, GetFilterResourceString(vlFilterConsts::vlSFilterBoxAllCaption));
    AddEntry(fviCustom, Null(), false, GetFilterResourceString(vlFilterConsts::vlSFilterBoxCustomCaption));
    bool blanks = false;
    bool fromFiltered = false;
    if (dc->IsGridMode())
        blanks = true;
    else {
        TvlCustomDataControllerInfo* info = dc->DataControllerInfo();
        fromFiltered = AUseFilteredValues && info->GetRecordListCount() > 0;
        const int count = fromFiltered ? info->GetRecordListCount() : dc->GetRecordCount();
        TvlCustomDataField* field = dc->GetItemField(AItemIndex);
        std::vector<TvlFilterValueItem> met;
        for (int i = 0; i < count; ++i) {
            const int r = fromFiltered ? info->GetRecordListItem(i) : i;
            Variant value;
            dc->GetFilterDataValue(r, field, value);
            if (criteria->ValueIsNull(value))
                blanks = true;
            else
                met.push_back({fviValue, value, dc->GetFilterDisplayText(r, AItemIndex)});
        }
        addValues(std::move(met));
    }
    if (blanks)
        AddEntry(fviBlanks, Null(), false, GetFilterResourceString(vlFilterConsts::vlSFilterBoxBlanksCaption));
    bool nonBlanks = blanks;
    if (!nonBlanks && fromFiltered) {
        // The filter itself may hide the blanks: keep offering (NonBlanks).
        TvlFilterCriteriaItem* item = criteria->FindItemByItemLink(dc->GetItemField(AItemIndex));
        nonBlanks = item != nullptr && dynamic_cast<TvlFilterNotNullOperator*>(item->Operator()) != nullptr;
    }
    if (nonBlanks)
        AddEntry(fviNonBlanks, Null(), false,
                 GetFilterResourceString(vlFilterConsts::vlSFilterBoxNonBlanksCaption));
    if (criteria->OnGetValueList)
        criteria->OnGetValueList(criteria, AItemIndex, this);
}

void TvlDataFilterValueList::addValues(std::vector<TvlFilterValueItem> AValues)
{
    // The same list as adding the values one by one in sorted order (the
    // first of equal values stays; under a cap, the first distinct values
    // met), but sorted once: inserting each value into the list moves half
    // the list every time.
    const int n = int(AValues.size());
    if (n == 0)
        return;
    auto compare = [&](int A, int B) {
        return CompareItems(AValues[size_t(A)].Value, AValues[size_t(A)].DisplayText, AValues[size_t(B)].Value,
                            AValues[size_t(B)].DisplayText);
    };
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[size_t(i)] = i;
    QuickSortList(order, 0, n - 1, [&](int A, int B) {
        const int r = compare(A, B);
        return r != 0 ? r : A - B;
    });
    std::vector<int> distinct;  // the first of each run of equal values, in sorted order
    for (int i = 0; i < n; ++i)
        if (distinct.empty() || compare(distinct.back(), order[size_t(i)]) != 0)
            distinct.push_back(order[size_t(i)]);
    const int limit = DataCriteria()->MaxValueListCount;
    if (limit != 0) {
        // The limit counts every entry, the special ones included.
        const int room = std::max(0, limit - GetCount());
        if (room < int(distinct.size())) {
            std::vector<int> first = distinct;
            std::sort(first.begin(), first.end());
            const int last = room > 0 ? first[size_t(room - 1)] : -1;
            std::erase_if(distinct, [last](int i) { return i > last; });
        }
    }
    FItems.reserve(FItems.size() + distinct.size());
    for (int i : distinct)
        FItems.push_back(std::move(AValues[size_t(i)]));
}

// ---- additional filters

TvlDataFilterCriteria* TvlDataFilterList::Add(std::unique_ptr<TvlDataFilterCriteria> AFilter)
{
    FItems.push_back(std::move(AFilter));
    return FItems.back().get();
}

void TvlDataFilterList::Free(TvlDataFilterCriteria* AFilter)
{
    auto it = std::find_if(FItems.begin(), FItems.end(), [AFilter](const auto& p) { return p.get() == AFilter; });
    if (it == FItems.end())
        return;
    std::unique_ptr<TvlDataFilterCriteria> filter = std::move(*it);
    FItems.erase(it);
}

void TvlDataFilterList::Clear()
{
    while (!FItems.empty()) {
        std::unique_ptr<TvlDataFilterCriteria> filter = std::move(FItems.back());
        FItems.pop_back();
    }
}

void TvlDataFilterList::RemoveItemByField(TvlCustomDataField* AField)
{
    for (auto& filter : FItems)
        filter->RemoveItemByItemLink(AField);
}

bool TvlDataFilterList::Contains(const TvlDataFilterCriteria* AFilter) const
{
    return std::any_of(FItems.begin(), FItems.end(), [AFilter](const auto& p) { return p.get() == AFilter; });
}

// ---- summaries

namespace {

// Variant addition as the summaries need it: texts join, a date stays a
// date, currency stays exact, integers stay integers while they fit, and
// anything else adds as doubles (a text that is no number raises).
Variant summaryAdd(const Variant& A, const Variant& B)
{
    const TVarType ta = VarType(A), tb = VarType(B);
    if (VarIsStr(A) && VarIsStr(B))
        return Variant(A.AsString() + B.AsString());
    if (IsDateVarType(ta) || IsDateVarType(tb))
        return VarFromDateTime(A.AsDouble() + B.AsDouble());
    if (ta == varCurrency || tb == varCurrency) {
        TCurrency sum;
        if (!__builtin_add_overflow(A.AsCurrency().Ticks, B.AsCurrency().Ticks, &sum.Ticks))
            return Variant(sum);
        return Variant(A.AsDouble() + B.AsDouble());
    }
    if (IsIntegerVarType(ta) && IsIntegerVarType(tb)) {
        int64_t sum;
        if (__builtin_add_overflow(A.AsInt64(), B.AsInt64(), &sum))
            return Variant(A.AsDouble() + B.AsDouble());
        if (sum >= INT32_MIN && sum <= INT32_MAX)
            return Variant(int(sum));
        return Variant(static_cast<long long>(sum));
    }
    return Variant(A.AsDouble() + B.AsDouble());
}

Variant valueAt(const Variant& AValues, int AIndex)
{
    if (!VarIsArray(AValues) || AIndex < VarArrayLowBound(AValues) || AIndex > VarArrayHighBound(AValues))
        return Null();
    return VarArrayGet(AValues, AIndex);
}

}  // namespace

void TvlCustomDataSummaryItem::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomDataSummaryItem*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    Collection()->BeginUpdate();
    try {
        AssignValues(source);
    } catch (...) {
        Collection()->EndUpdate();
        throw;
    }
    Collection()->EndUpdate();
}

void TvlCustomDataSummaryItem::AssignValues(const TvlCustomDataSummaryItem* ASource)
{
    if (TvlCustomDataController* dc = GetDataController()) {
        TObject* item = ASource->ItemLink() != nullptr ? dc->GetItemByItemLink(ASource->ItemLink()) : nullptr;
        FField = item != nullptr ? dc->Fields()->FieldByItem(item) : nullptr;
    }
    FFormat = ASource->FFormat;
    FKind = ASource->FKind;
}

String TvlCustomDataSummaryItem::GetValueFormat(int AValueType, TvlSummaryKind AKind, bool AIsFooter) const
{
    if (!FFormat.isEmpty())
        return FFormat;
    if (auto* items = dynamic_cast<TvlDataSummaryItems*>(Collection()))
        return items->DefaultFormat(AValueType, FKind, AIsFooter);
    return GetDefaultSummaryDisplayFormat(AValueType, AKind, AIsFooter);
}

String TvlCustomDataSummaryItem::FormatValue(const Variant& AValue, bool AIsFooter)
{
    if (VarIsNull(AValue) || VarIsEmpty(AValue))
        return {};
    if (FKind == skNone)
        return VarToStr(AValue);
    const TVarType type = VarType(AValue);
    const bool isDate = type == varDate;
    const int valueType = IsCurrency(type) ? 1 : isDate ? 2 : 0;
    const String format = GetValueFormat(valueType, FKind, AIsFooter);
    if (!isDate || FKind == skCount)
        return FormatFloat(format, static_cast<long double>(AValue.AsDouble()));
    const TDateTime value = AValue.AsDateTime();
    String text;
    if (std::trunc(value) == value)
        text = DateToStr(value);
    else if (std::trunc(value) == 0)
        text = TimeToStr(value);
    else
        text = DateTimeToStr(value);
    return format + text;
}

void TvlCustomDataSummaryItem::SetItemLink(TObject* AValue)
{
    TvlCustomDataController* dc = GetDataController();
    if (dc == nullptr || AValue == ItemLink())
        return;
    TvlCustomDataField* field = AValue != nullptr ? dc->Fields()->FieldByItem(AValue) : nullptr;
    Collection()->BeginUpdate();
    try {
        ItemLinkChanging(field);
        FField = field;
    } catch (...) {
        Collection()->EndUpdate();
        throw;
    }
    Collection()->EndUpdate();
}

void TvlCustomDataSummaryItem::SetFormat(const String& AValue)
{
    if (FFormat == AValue)
        return;
    FFormat = AValue;
    Changed(false);
}

void TvlCustomDataSummaryItem::SetKind(TvlSummaryKind AValue)
{
    if (FKind == AValue)
        return;
    FKind = AValue;
    Changed(true);
}

void TvlCustomDataSummaryItem::SetSorted(bool AValue)
{
    TvlCustomDataController* dc = GetDataController();
    if (FSorted == AValue || (dc != nullptr && dc->GetSortingBySummaryItemIndex() != -1))
        return;
    Collection()->BeginUpdate();
    try {
        if (auto* items = dynamic_cast<TvlDataSummaryItems*>(Collection()))
            items->SortedChanging(this, AValue);
        FSorted = AValue;
        if (dc != nullptr && !dc->IsDestroying()) {
            dc->SortingBySummaryChanged = true;
            dc->Changed(TvlDataControllerChanges{dccSorting});
        }
    } catch (...) {
        Collection()->EndUpdate();
        throw;
    }
    Collection()->EndUpdate();
}

TvlDataSummaryItems* TvlDataSummaryItem::SummaryItems() const
{
    return static_cast<TvlDataSummaryItems*>(Collection());
}

TvlCustomDataController* TvlDataSummaryItem::GetDataController() const
{
    return SummaryItems() != nullptr ? SummaryItems()->Summary()->DataController() : nullptr;
}

void TvlDataSummaryItem::Assign(const TPersistent* Source)
{
    TvlCustomDataSummaryItem::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlDataSummaryItem*>(Source))
        Tag = source->Tag;
}

void TvlDataSummaryItem::AssignValues(const TvlCustomDataSummaryItem* ASource)
{
    TvlCustomDataSummaryItem::AssignValues(ASource);
    if (const auto* source = dynamic_cast<const TvlDataSummaryItem*>(ASource)) {
        FPosition = source->FPosition;
        FSorted = source->FSorted;
        OnGetText = source->OnGetText;
    }
}

String TvlDataSummaryItem::FormatValue(const Variant& AValue, bool AIsFooter)
{
    String text = TvlCustomDataSummaryItem::FormatValue(AValue, AIsFooter);
    if (OnGetText)
        OnGetText(this, AValue, AIsFooter, text);
    return text;
}

bool TvlDataSummaryItem::CanCalculate() const
{
    return DataField() != nullptr || (FKind == skCount && Position() == spGroup);
}

bool TvlDataSummaryItem::IsPositionStored() const { return SummaryItems()->IsPositionStored(this); }

TvlSummaryPosition TvlDataSummaryItem::Position() const { return SummaryItems()->GetItemPosition(this); }

void TvlDataSummaryItem::SetPosition(TvlSummaryPosition AValue)
{
    const TvlSummaryPosition old = Position();
    FPosition = AValue;
    if (Position() != old)
        Changed(false);
}

TvlDataSummaryItems::TvlDataSummaryItems(TvlDataSummary* ASummary, TCollectionItemClass AItemClass)
    : TvlCollection(std::move(AItemClass)), FSummary(ASummary)
{
}

void TvlDataSummaryItems::Assign(const TPersistent* Source)
{
    TvlCollection::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlDataSummaryItems*>(Source))
        AssignEvents(source);
}

TvlSummaryPosition TvlDataSummaryItems::GetItemPosition(const TvlDataSummaryItem* AItem) const
{
    return AItem->FPosition;
}

String TvlDataSummaryItems::DefaultFormat(int AValueType, TvlSummaryKind AKind, bool AIsFooter) const
{
    return GetDefaultSummaryDisplayFormat(AValueType, AKind, AIsFooter);
}

TvlDataSummaryItem* TvlDataSummaryItems::GetDataItem(int AItemIndex, TvlSummaryPosition APosition, bool ACheckKind,
                                                     TvlSummaryKind AKind) const
{
    TvlCustomDataController* dc = FSummary->DataController();
    dc->CheckItemIndex(AItemIndex);
    const TvlCustomDataField* field = dc->GetItemField(AItemIndex);
    for (int i = 0; i < Count(); ++i) {
        TvlDataSummaryItem* item = GetItem(i);
        if (item->FField == field && item->Position() == APosition && (!ACheckKind || item->Kind() == AKind))
            return item;
    }
    return nullptr;
}

bool TvlDataSummaryItems::IsPropertiesEmpty(int AProperties, const String& AFormat, bool ASorted,
                                            TvlSummaryKind AKind)
{
    return !(((AProperties & 1) && !AFormat.isEmpty()) || ((AProperties & 2) && AKind != skNone) ||
             ((AProperties & 4) && ASorted));
}

TvlDataSummaryItem* TvlDataSummaryItems::Add(TObject* AItemLink, TvlSummaryPosition APosition, const String& AFormat,
                                             TvlSummaryKind AKind)
{
    BeginUpdate();
    TvlDataSummaryItem* item = nullptr;
    try {
        item = Add();
        item->SetItemLink(AItemLink);
        item->SetPosition(APosition);
        item->SetKind(AKind);
        item->SetFormat(AFormat);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

int TvlDataSummaryItems::IndexOfItemLink(const TObject* AItemLink) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->ItemLink() == AItemLink)
            return i;
    return -1;
}

TvlDataSummaryItem* TvlDataSummaryItems::ItemOfItemLink(const TObject* AItemLink) const
{
    const int i = IndexOfItemLink(AItemLink);
    return i >= 0 ? GetItem(i) : nullptr;
}

int TvlDataSummaryItems::IndexOfField(const TvlCustomDataField* AField) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Field() == AField)
            return i;
    return -1;
}

TvlDataSummaryItem* TvlDataSummaryItems::ItemOfField(const TvlCustomDataField* AField) const
{
    const int i = IndexOfField(AField);
    return i >= 0 ? GetItem(i) : nullptr;
}

String TvlDataSummaryItems::GetDataItemFormat(int AItemIndex, TvlSummaryPosition APosition) const
{
    TvlDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
    return item != nullptr ? item->Format() : String();
}

TvlSummaryKind TvlDataSummaryItems::GetDataItemKind(int AItemIndex, TvlSummaryPosition APosition) const
{
    TvlDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
    return item != nullptr ? item->Kind() : skNone;
}

bool TvlDataSummaryItems::GetDataItemSorted(int AItemIndex, TvlSummaryPosition APosition) const
{
    TvlDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
    return item != nullptr && item->Sorted();
}

TvlDataSummaryItem* TvlDataSummaryItems::dataItemFor(int AItemIndex, TvlSummaryPosition APosition, bool ACreate)
{
    TvlDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
    if (item == nullptr && ACreate)
        item = Add(FSummary->DataController()->GetItemField(AItemIndex)->Item(), APosition, String(), skNone);
    return item;
}

void TvlDataSummaryItems::dropIfEmpty(TvlDataSummaryItem* AItem)
{
    if (IsPropertiesEmpty(7, AItem->Format(), AItem->Sorted(), AItem->Kind()))
        Delete(AItem->Index());
}

void TvlDataSummaryItems::SetDataItemFormat(int AItemIndex, TvlSummaryPosition APosition, const String& AValue)
{
    if (TvlDataSummaryItem* item = dataItemFor(AItemIndex, APosition, !AValue.isEmpty())) {
        item->SetFormat(AValue);
        dropIfEmpty(item);
    }
}

void TvlDataSummaryItems::SetDataItemKind(int AItemIndex, TvlSummaryPosition APosition, TvlSummaryKind AValue)
{
    if (TvlDataSummaryItem* item = dataItemFor(AItemIndex, APosition, AValue != skNone)) {
        item->SetKind(AValue);
        dropIfEmpty(item);
    }
}

void TvlDataSummaryItems::SetDataItemSorted(int AItemIndex, TvlSummaryPosition APosition, bool AValue)
{
    if (TvlDataSummaryItem* item = dataItemFor(AItemIndex, APosition, AValue)) {
        item->SetSorted(AValue);
        dropIfEmpty(item);
    }
}

void TvlDataSummaryItems::Update(TCollectionItem* Item) { FSummary->Changed(Item != nullptr); }

void TvlDataGroupSummaryItems::Assign(const TPersistent* Source)
{
    TvlDataSummaryItems::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlDataGroupSummaryItems*>(Source)) {
        SetBeginText(source->FBeginText);
        SetEndText(source->FEndText);
        SetSeparator(source->FSeparator);
    }
}

void TvlDataGroupSummaryItems::SortedChanging(TvlCustomDataSummaryItem* AItem, bool AValue)
{
    if (!AValue)
        return;
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i) != AItem)
            GetItem(i)->FSorted = false;
}

String TvlDataGroupSummaryItems::GetGroupSummaryDisplayText(const Variant& AValues)
{
    String text;
    bool first = true;
    for (int i = 0; i < Count(); ++i) {
        TvlDataSummaryItem* item = GetItem(i);
        if (item->Position() != spGroup)
            continue;
        if (!first)
            text += FSeparator + u' ';
        first = false;
        text += item->FormatValue(valueAt(AValues, i), false);
    }
    return text.isEmpty() ? text : FBeginText + text + FEndText;
}

TvlDataSummaryItem* TvlDataGroupSummaryItems::GetSortedSummaryItem() const
{
    TvlCustomDataController* dc = Summary()->DataController();
    if (const int index = dc->GetSortingBySummaryItemIndex(); index != -1)
        return ItemOfField(dc->GetItemField(index));
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Sorted())
            return GetItem(i);
    return nullptr;
}

void TvlDataGroupSummaryItems::textChanged()
{
    if (Count() > 0)
        Update(Items(0));
}

void TvlDataGroupSummaryItems::SetBeginText(const String& AValue)
{
    if (FBeginText != AValue) {
        FBeginText = AValue;
        textChanged();
    }
}

void TvlDataGroupSummaryItems::SetEndText(const String& AValue)
{
    if (FEndText != AValue) {
        FEndText = AValue;
        textChanged();
    }
}

void TvlDataGroupSummaryItems::SetSeparator(const String& AValue)
{
    if (FSeparator != AValue) {
        FSeparator = AValue;
        textChanged();
    }
}

TvlDataSummaryGroup* TvlDataSummaryGroupItemLink::SummaryGroup() const
{
    auto* links = static_cast<TvlDataSummaryGroupItemLinks*>(Collection());
    return links != nullptr ? links->SummaryGroup() : nullptr;
}

TvlCustomDataController* TvlDataSummaryGroupItemLink::GetDataController() const
{
    TvlDataSummaryGroup* group = SummaryGroup();
    return group != nullptr ? group->Summary()->DataController() : nullptr;
}

void TvlDataSummaryGroupItemLink::ItemLinkChanging(TvlCustomDataField* AField)
{
    if (AField == nullptr)
        return;
    TvlDataSummary* summary = SummaryGroup()->Summary();
    summary->BeginUpdate();
    TvlDataSummaryGroups* groups = summary->SummaryGroups();
    for (int g = 0; g < groups->Count(); ++g)
        if (TvlDataSummaryGroupItemLinks* links = groups->GetItem(g)->FindLinks())
            for (int i = 0; i < links->Count(); ++i)
                if (links->GetItem(i)->FField == AField)
                    links->GetItem(i)->FField = nullptr;
    summary->EndUpdate();
}

int TvlDataSummaryGroupItemLinks::IndexOfField(const TvlCustomDataField* AField) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Field() == AField)
            return i;
    return -1;
}

void TvlDataSummaryGroupItemLinks::Update(TCollectionItem*) { FSummaryGroup->Summary()->Changed(false); }

TvlDataSummaryGroup::TvlDataSummaryGroup(TCollection* ACollection) : TCollectionItem(ACollection)
{
    FSummaryItems = std::make_unique<TvlDataGroupSummaryItems>(
        static_cast<TvlDataSummaryGroups*>(ACollection)->Summary(), ItemClassOf<TvlDataSummaryItem>(), this);
}

TvlDataSummaryGroup::~TvlDataSummaryGroup() = default;

void TvlDataSummaryGroup::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlDataSummaryGroup*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    FSummaryItems->Assign(source->FSummaryItems.get());
    if (source->FLinks)
        Links()->Assign(source->FLinks.get());
    else if (FLinks)
        FLinks->Clear();
}

TvlDataSummaryGroups* TvlDataSummaryGroup::SummaryGroups() const
{
    return static_cast<TvlDataSummaryGroups*>(Collection());
}

TvlDataSummary* TvlDataSummaryGroup::Summary() const { return FSummaryItems->Summary(); }

TvlDataSummaryGroupItemLinks* TvlDataSummaryGroup::Links()
{
    if (!FLinks)
        FLinks = std::make_unique<TvlDataSummaryGroupItemLinks>(this, ItemClassOf<TvlDataSummaryGroupItemLink>());
    return FLinks.get();
}

TvlDataSummaryGroups::TvlDataSummaryGroups(TvlDataSummary* ASummary)
    : TvlCollection(ItemClassOf<TvlDataSummaryGroup>()), FSummary(ASummary)
{
}

TvlDataSummaryGroup* TvlDataSummaryGroups::FindByItemLink(const TObject* AItemLink) const
{
    for (int g = 0; g < Count(); ++g)
        if (TvlDataSummaryGroupItemLinks* links = GetItem(g)->FindLinks())
            for (int i = 0; i < links->Count(); ++i)
                if (links->GetItem(i)->ItemLink() == AItemLink)
                    return GetItem(g);
    return nullptr;
}

void TvlDataSummaryGroups::Update(TCollectionItem*) { FSummary->Changed(false); }

TvlCustomDataController* TvlSortingBySummaryEngine::GetDataController() const
{
    return FDataControllerInfo->DataController();
}

TvlDataSummary::TvlDataSummary(TvlCustomDataController* ADataController) : FDataController(ADataController)
{
    FDefaultGroupSummaryItems =
        std::make_unique<TvlDataGroupSummaryItems>(this, ItemClassOf<TvlDataSummaryItem>());
    FFooterSummaryItems = std::make_unique<TvlDataFooterSummaryItems>(this, ItemClassOf<TvlDataSummaryItem>());
    FSummaryGroups = std::make_unique<TvlDataSummaryGroups>(this);
    FFooterSummaryValues = Null();
}

TvlDataSummary::~TvlDataSummary()
{
    FDestroying = true;
    FSummaryGroups.reset();
    FFooterSummaryItems.reset();
    FDefaultGroupSummaryItems.reset();
}

void TvlDataSummary::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlDataSummary*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        FDefaultGroupSummaryItems->Assign(source->FDefaultGroupSummaryItems.get());
        FFooterSummaryItems->Assign(source->FFooterSummaryItems.get());
        FSummaryGroups->Assign(source->FSummaryGroups.get());
        SetOptions(source->FOptions);
        OnAfterSummary = source->OnAfterSummary;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlDataSummary::SetOptions(TvlSummaryOptions AValue)
{
    if (AValue.Contains(soSelectedRecords) && AValue.Contains(soMultipleSelectedRecords)) {
        if (FOptions.Contains(soMultipleSelectedRecords))
            AValue.Exclude(soMultipleSelectedRecords);
        else
            AValue.Exclude(soSelectedRecords);
    }
    if (AValue == FOptions)
        return;
    FOptions = AValue;
    Changed(false);
}

void TvlDataSummary::BeginUpdate()
{
    FDataController->BeginUpdate();
    ++FLockCount;
}

void TvlDataSummary::EndUpdate()
{
    --FLockCount;
    Changed(false);
    FDataController->EndUpdate();
}

void TvlDataSummary::CancelUpdate()
{
    --FLockCount;
    FDataController->EndUpdate();
}

void TvlDataSummary::Changed(bool ARedrawOnly)
{
    if (FLockCount > 0 || FInAfterSummary || FDestroying)
        return;
    FDataController->SummaryChanged(ARedrawOnly);
}

bool TvlDataSummary::IsGroupSortedBySummary() const
{
    const int levels = FDataController->DataControllerInfo()->GroupingFieldList()->GetCount();
    for (int level = 0; level < levels; ++level)
        if (TvlDataGroupSummaryItems* items = GetGroupSummaryItems(level); items && items->GetSortedSummaryItem())
            return true;
    return false;
}

bool TvlDataSummary::coversSelectedOnly() const
{
    return FOptions.Contains(soSelectedRecords) ||
           (FOptions.Contains(soMultipleSelectedRecords) && FDataController->GetSelectedCount() > 1);
}

void TvlDataSummary::calculateItems(TvlDataSummaryItems* AItems, const std::vector<int>& ARecords, Variant& AValues)
{
    const int n = AItems != nullptr ? AItems->Count() : 0;
    if (n == 0) {
        AValues = Null();
        return;
    }
    TvlDataSummaryValues values(static_cast<size_t>(n));
    TvlDataSummaryCountValues counts(static_cast<size_t>(n), 0);
    const bool nullIgnore = FOptions.Contains(soNullIgnore);
    for (const int r : ARecords)
        for (int i = 0; i < n; ++i) {
            TvlDataSummaryItem* item = AItems->GetItem(i);
            if (!item->CanCalculate())
                continue;
            Variant value = Null();
            if (TvlCustomDataField* field = item->DataField())
                FDataController->GetInternalValue(r, field, value);
            Variant& running = values[size_t(i)];
            bool done = false;
            if (AItems->OnSummary) {
                TvlSummaryEventArguments arguments{r, item};
                TvlSummaryEventOutArguments out{value, running, counts[size_t(i)], false};
                AItems->OnSummary(AItems, arguments, out);
                running = out.SummaryValue;
                counts[size_t(i)] = out.Count;
                value = out.Value;
                done = out.Done;
            }
            const TvlSummaryKind kind = item->Kind();
            if (done || kind == skNone || (nullIgnore && VarIsNull(value)))
                continue;
            if (VarIsEmpty(running)) {
                if (kind != skCount && !((kind == skMin || kind == skMax) && VarIsNull(value))) {
                    running = value;
                    if (VarIsNull(value) && (kind == skSum || kind == skAverage))
                        running = Variant(0);
                }
            } else if (!VarIsNull(value) && !VarIsNull(running)) {
                switch (kind) {
                case skSum:
                case skAverage: running = summaryAdd(running, value); break;
                case skMin:
                    if (VarCompareValue(value, running) == vrLessThan)
                        running = value;
                    break;
                case skMax:
                    if (VarCompareValue(value, running) == vrGreaterThan)
                        running = value;
                    break;
                default: break;
                }
            }
            ++counts[size_t(i)];
        }
    for (int i = 0; i < n; ++i) {
        TvlDataSummaryItem* item = AItems->GetItem(i);
        if (!item->CanCalculate())
            continue;
        Variant& v = values[size_t(i)];
        if (VarIsEmpty(v))
            v = Null();
        const int count = counts[size_t(i)];
        if (item->Kind() == skCount)
            v = Variant(count);
        else if (item->Kind() == skAverage && count > 0 && !VarIsNull(v)) {
            const double average = v.AsDouble() / count;
            v = VarType(v) == varDate ? VarFromDateTime(average) : Variant(average);
        }
    }
    AValues = VarArrayOf(values);
}

void TvlDataSummary::CalculateFooterSummary()
{
    std::vector<int> records;
    if (!FDataController->IsGridMode()) {
        TvlCustomDataControllerInfo* info = FDataController->DataControllerInfo();
        const bool selectedOnly = coversSelectedOnly();
        const int focused = FDataController->GetFocusedRecordIndex();
        for (int i = 0; i < info->GetRecordListCount(); ++i) {
            const int r = info->GetRecordListItem(i);
            if (selectedOnly && (FDataController->MultiSelect() ? !info->Selection()->IsRecordSelected(r)
                                                                : r != focused))
                continue;
            records.push_back(r);
        }
    }
    calculateItems(FFooterSummaryItems.get(), records, FFooterSummaryValues);
}

void TvlDataSummary::CalculateGroupSummary()
{
    TvlCustomDataControllerInfo* info = FDataController->DataControllerInfo();
    TvlDataGroups* groups = info->DataGroups();
    const bool selectedOnly = coversSelectedOnly();
    const int focused = FDataController->GetFocusedRecordIndex();
    std::vector<int> records;
    for (int g = 0; g < groups->GetCount(); ++g) {
        TvlDataGroupInfo* group = groups->GetItem(g);
        records.clear();
        info->LoadRecordIndexes(records, g);
        if (selectedOnly)
            std::erase_if(records, [&](int r) {
                return FDataController->MultiSelect() ? !info->Selection()->IsRecordSelected(r) : r != focused;
            });
        calculateItems(GetGroupSummaryItems(group->Level), records, group->SummaryValues);
    }
    DoAfterSummary();
}

void TvlDataSummary::Calculate()
{
    CalculateFooterSummary();
    CalculateGroupSummary();
}

void TvlDataSummary::DoAfterSummary()
{
    if (!OnAfterSummary)
        return;
    if (FDataController->IsLoading()) {
        FDataController->AfterSummaryPending = true;
        return;
    }
    FDataController->AfterSummaryPending = false;
    if (FDataController->IsPattern() ||
        (FDataController->IsGridMode() && FDataController->IsStructureChangedInGridMode()))
        return;
    FInAfterSummary = true;
    try {
        OnAfterSummary(this);
    } catch (...) {
        FInAfterSummary = false;
        throw;
    }
    FInAfterSummary = false;
}

Variant TvlDataSummary::GetFooterSummaryValue(int AIndex) const { return valueAt(FFooterSummaryValues, AIndex); }

String TvlDataSummary::GetFooterSummaryDisplayText(int AIndex) const
{
    if (AIndex < 0 || AIndex >= FFooterSummaryItems->Count())
        return {};
    return FFooterSummaryItems->GetItem(AIndex)->FormatValue(GetFooterSummaryValue(AIndex), true);
}

TvlDataGroupSummaryItems* TvlDataSummary::GetGroupSummaryItems(int ALevel) const
{
    TvlGroupingFieldList* grouping = FDataController->DataControllerInfo()->GroupingFieldList();
    if (ALevel < 0 || ALevel >= grouping->GetCount())
        return nullptr;
    TvlCustomDataField* field = grouping->GetItem(ALevel).Field;
    if (field != nullptr && field->Item() != nullptr)
        if (TvlDataSummaryGroup* group = FSummaryGroups->FindByItemLink(field->Item()))
            return group->SummaryItems();
    return FDefaultGroupSummaryItems.get();
}

bool TvlDataSummary::GetGroupSummaryInfo(int ARowIndex, TvlDataGroupSummaryItems*& AItems, Variant*& AValues) const
{
    AItems = nullptr;
    AValues = nullptr;
    TvlCustomDataControllerInfo* info = FDataController->DataControllerInfo();
    if (!info->IsGrouped() || ARowIndex < 0 || ARowIndex >= info->GetRowCount())
        return false;
    int listIndex = -1;
    const int g = info->DataGroups()->FindByRowIndex(ARowIndex, listIndex);
    if (g < 0)
        return false;
    TvlDataGroupInfo* group = info->DataGroups()->GetItem(g);
    AItems = GetGroupSummaryItems(group->Level);
    AValues = &group->SummaryValues;
    return AItems != nullptr && !VarIsEmpty(*AValues);
}

String TvlDataSummary::GetGroupSummaryText(int ARowIndex) const
{
    TvlDataGroupSummaryItems* items;
    Variant* values;
    if (!GetGroupSummaryInfo(ARowIndex, items, values))
        return {};
    return items->GetGroupSummaryDisplayText(*values);
}

String TvlDataSummary::GetGroupFooterSummaryDisplayText(int ARowIndex, int ALevel, int AIndex) const
{
    TvlDataGroups* groups = FDataController->DataControllerInfo()->DataGroups();
    const int g = groups->GetGroupIndexByRowIndex(ARowIndex, ALevel);
    TvlDataGroupSummaryItems* items = GetGroupSummaryItems(ALevel);
    if (g < 0 || items == nullptr || AIndex < 0 || AIndex >= items->Count())
        return {};
    const Variant& values = groups->GetItem(g)->SummaryValues;
    if (!VarIsArray(values) || AIndex > VarArrayHighBound(values))
        return {};
    return items->GetItem(AIndex)->FormatValue(VarArrayGet(values, AIndex), true);
}

TvlDataSummaryItems* TvlDataSummary::GetMatchingSummaryItems(TvlDataSummary* AOther, TvlDataSummaryItems* AItems) const
{
    if (AItems == FFooterSummaryItems.get())
        return AOther->FooterSummaryItems();
    if (AItems == FDefaultGroupSummaryItems.get())
        return AOther->DefaultGroupSummaryItems();
    for (int i = 0; i < FSummaryGroups->Count(); ++i)
        if (FSummaryGroups->GetItem(i)->SummaryItems() == AItems)
            return i < AOther->SummaryGroups()->Count() ? AOther->SummaryGroups()->GetItem(i)->SummaryItems()
                                                        : nullptr;
    return nullptr;
}

void TvlDataSummary::RemoveItemByField(TvlCustomDataField* AField)
{
    BeginUpdate();
    bool any = false;
    auto unbind = [&](TCollection* ACollection) {
        for (int i = 0; i < ACollection->Count(); ++i)
            if (auto* item = static_cast<TvlCustomDataSummaryItem*>(ACollection->Items(i)); item->FField == AField) {
                item->FField = nullptr;
                any = true;
            }
    };
    unbind(FFooterSummaryItems.get());
    unbind(FDefaultGroupSummaryItems.get());
    for (int g = 0; g < FSummaryGroups->Count(); ++g) {
        unbind(FSummaryGroups->GetItem(g)->SummaryItems());
        if (TvlDataSummaryGroupItemLinks* links = FSummaryGroups->GetItem(g)->FindLinks())
            unbind(links);
    }
    if (any)
        EndUpdate();
    else
        CancelUpdate();
}

int TvlDataControllerSearch::GetItemIndex() const
{
    return FDataController->IncrementalSearchField != nullptr ? FDataController->IncrementalSearchField->Index() : -1;
}

bool TvlDataControllerSearch::GetSearching() const { return FDataController->IncrementalSearching; }

String TvlDataControllerSearch::GetSearchText() const { return FDataController->IncrementalSearchText; }

void TvlDataControllerSearch::SetItemIndex(int AItemIndex)
{
    FDataController->CheckItemIndex(AItemIndex);
    FDataController->IncrementalSearchField = FDataController->GetItemField(AItemIndex);
}

void TvlDataControllerSearch::Cancel()
{
    if (FLocked || !FDataController->IncrementalSearching)
        return;
    FDataController->IncrementalSearchText.clear();
    FDataController->IncrementalSearching = false;
    FDataController->Changed(TvlDataControllerChanges{dccSearch});
}

int TvlDataControllerSearch::DoSearch(int AStartPosition, int AEndPosition, bool AForward, const String& AText)
{
    TvlCustomDataControllerInfo* info = FDataController->DataControllerInfo();
    const int count = info->GetRecordListCount();
    if (AEndPosition == -1)
        AEndPosition = AForward ? count - 1 : 0;
    const int item = GetItemIndex();
    const String search = AnsiUpperCase(AText);
    for (int p = AStartPosition; AForward ? p <= AEndPosition : p >= AEndPosition; p += AForward ? 1 : -1) {
        if (p < 0 || p >= count)
            break;
        const String text = AnsiUpperCase(FDataController->GetSearchDisplayText(info->GetRecordListItem(p), item));
        if (text.length() >= search.length() && text.startsWith(search))
            return p;
    }
    return -1;
}

void TvlDataControllerSearch::DoFocusRecord(int APosition)
{
    Lock();
    Finally unlock{[this] { Unlock(); }};
    FDataController->ChangeFocusedRecordIndex(FDataController->DataControllerInfo()->GetRecordListItem(APosition));
    FDataController->SyncSelectionWithFocus();
}

bool TvlDataControllerSearch::Locate(int AItemIndex, const String& AText)
{
    TvlCustomDataControllerInfo* info = FDataController->DataControllerInfo();
    if (AText.isEmpty() || info->GetRecordListCount() == 0)
        return false;
    SetItemIndex(AItemIndex);
    if (FDataController->IsGridMode())
        return false;
    const int focused = FDataController->GetFocusedRecordIndex();
    int start = focused >= 0 ? info->GetRecordListIndex(focused) : 0;
    if (start < 0)
        start = 0;
    int p = DoSearch(start, -1, true, AText);
    if (p < 0 && start > 0)
        p = DoSearch(0, start - 1, true, AText);
    if (p < 0)
        return false;
    DoFocusRecord(p);
    FDataController->IncrementalSearching = true;
    FDataController->IncrementalSearchText = AText;
    FDataController->Changed(TvlDataControllerChanges{dccSearch});
    if (FDataController->MultiSelect())
        FDataController->SelectFocusedRowOnly();
    return true;
}

bool TvlDataControllerSearch::LocateNext(bool AForward)
{
    TvlCustomDataControllerInfo* info = FDataController->DataControllerInfo();
    if (!GetSearching() || GetSearchText().isEmpty() || FDataController->IncrementalSearchField == nullptr ||
        info->GetRecordListCount() == 0)
        return false;
    if (FDataController->IsGridMode())
        return false;
    const int focused = FDataController->GetFocusedRecordIndex();
    if (focused < 0)
        return false;
    const int start = info->GetRecordListIndex(focused) + (AForward ? 1 : -1);
    if (start < 0 || start >= info->GetRecordListCount())
        return false;
    const int p = DoSearch(start, -1, AForward, GetSearchText());
    if (p < 0)
        return false;
    DoFocusRecord(p);
    if (FDataController->MultiSelect())
        FDataController->SelectFocusedRowOnly();
    return true;
}

TvlDataControllerLocateObject::~TvlDataControllerLocateObject() { ReleaseRecord(); }

void TvlDataControllerLocateObject::ReleaseRecord()
{
    if (FRecordIndex != 0) {
        FDataController->DataStorage()->RemoveInternalRecord(FRecordIndex);
        FRecordIndex = 0;
    }
}

void TvlDataControllerLocateObject::ReadData(TvlValueDefReader* AValueDefReader)
{
    if (FRecordIndex == 0)
        FRecordIndex = FDataController->DataStorage()->NewInternalRecord();
    FDataController->BeginReadRecord();
    Finally end{[this] { FDataController->EndReadRecord(); }};
    FDataController->DataStorage()->FillRecord(FRecordIndex, AValueDefReader);
}

TvlDataControllerGroupLocateObject::TvlDataControllerGroupLocateObject(TvlCustomDataController* ADataController)
    : TvlDataControllerLocateObject(ADataController)
{
    TvlGroupingFieldList* grouping = ADataController->DataControllerInfo()->GroupingFieldList();
    for (int i = 0; i < grouping->GetCount(); ++i)
        if (ADataController->IsSortByDisplayText(grouping->GetItem(i).Field))
            IsGroupDataSorted = false;
}

int TvlDataControllerGroupLocateObject::FindRecordIndex()
{
    if (FRecordIndex == 0)
        return -1;
    FDataController->InternalFindRecord = true;
    Finally reset{[this] { FDataController->InternalFindRecord = false; }};
    return FDataController->DataControllerInfo()->FindRecordByKey(FRecordIndex, Level + 1, IsGroupDataSorted);
}

// ============================================================ sort lists

void TvlSortingFieldList::Add(TvlCustomDataField* AField, TvlDataSortOrder AOrder)
{
    FItems.push_back({AField, AOrder});
    changed();
}

void TvlSortingFieldList::Insert(int AIndex, TvlCustomDataField* AField, TvlDataSortOrder AOrder)
{
    AIndex = std::clamp(AIndex, 0, GetCount());
    FItems.insert(FItems.begin() + AIndex, TvlDataSortInfo{AField, AOrder});
    changed();
}

void TvlSortingFieldList::Delete(int AIndex)
{
    FItems.erase(FItems.begin() + AIndex);
    changed();
}

void TvlSortingFieldList::Remove(TvlCustomDataField* AField)
{
    const int i = Find(AField);
    if (i >= 0)
        Delete(i);
}

void TvlSortingFieldList::Move(int ACurIndex, int ANewIndex)
{
    if (ACurIndex == ANewIndex)
        return;
    const TvlDataSortInfo info = FItems[size_t(ACurIndex)];
    FItems.erase(FItems.begin() + ACurIndex);
    FItems.insert(FItems.begin() + ANewIndex, info);
    changed();
}

void TvlSortingFieldList::SetSortOrder(int AIndex, TvlDataSortOrder AOrder)
{
    if (FItems[size_t(AIndex)].SortOrder == AOrder)
        return;
    FItems[size_t(AIndex)].SortOrder = AOrder;
    changed();
}

void TvlSortingFieldList::Clear()
{
    while (!FItems.empty())
        Delete(0);
}

int TvlSortingFieldList::Find(const TvlCustomDataField* AField) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Field == AField)
            return int(i);
    return -1;
}

TvlDataSortOrder TvlSortingFieldList::SortOrderByField(const TvlCustomDataField* AField) const
{
    const int i = Find(AField);
    return i >= 0 ? FItems[size_t(i)].SortOrder : soNone;
}

void TvlSortingFieldList::AppendFrom(const TvlSortingFieldList& AList)
{
    for (const TvlDataSortInfo& info : AList.FItems)
        if (Find(info.Field) < 0)
            Add(info.Field, info.SortOrder);
}

void TvlSortingFieldList::CheckField(TvlCustomDataField* AField)
{
    if (Find(AField) >= 0)
        changed();
}

void TvlSortingFieldList::ChangeSorting(TvlCustomDataField* AField, TvlDataSortOrder AOrder)
{
    const int i = Find(AField);
    if (i >= 0) {
        if (AOrder == soNone)
            Delete(i);
        else
            SetSortOrder(i, AOrder);
    } else if (AOrder != soNone) {
        Add(AField, AOrder);
    }
}

void TvlGroupingFieldList::ChangeSorting(TvlCustomDataField* AField, TvlDataSortOrder AOrder)
{
    // A grouped field always has an order.
    TvlSortingFieldList::ChangeSorting(AField, AOrder == soNone ? soAscending : AOrder);
}

void TvlGroupingFieldList::ChangeGrouping(TvlCustomDataField* AField, int AGroupIndex)
{
    const int i = Find(AField);
    if (AGroupIndex < 0) {
        if (i >= 0)
            Delete(i);
    } else if (i < 0) {
        Insert(std::min(AGroupIndex, GetCount()), AField, soAscending);
    } else {
        Move(i, std::min(AGroupIndex, GetCount() - 1));
    }
}

void TvlGroupingFieldList::UpdateSorting(const TvlSortingFieldList& ASortingList)
{
    for (int i = 0; i < GetCount(); ++i) {
        const TvlDataSortOrder order = ASortingList.SortOrderByField(FItems[size_t(i)].Field);
        SetSortOrder(i, order == soNone ? soAscending : order);
    }
}

// ============================================================ group tree

void TvlDataGroups::Clear()
{
    FFields.clear();
    FItems.clear();
    FDeepest.clear();
    FRowCount = 0;
}

int TvlDataGroups::GetLevel(int AIndex) const
{
    return AIndex >= 0 && AIndex < GetCount() ? FItems[size_t(AIndex)]->Level : -1;
}

int TvlDataGroups::GetChildCount(int AIndex) const
{
    if (AIndex == -1) {
        int n = 0;
        for (const auto& g : FItems)
            n += g->Level == 0 ? 1 : 0;
        return n;
    }
    if (AIndex < 0 || AIndex >= GetCount())
        return 0;
    const TvlDataGroupInfo* g = FItems[size_t(AIndex)].get();
    if (g->Level == GetLevelCount() - 1)
        return g->EndIndex - g->BeginIndex + 1;
    int n = 0;
    for (int i = g->BeginIndex; i <= g->EndIndex; ++i)
        n += FItems[size_t(i)]->Level == g->Level + 1 ? 1 : 0;
    return n;
}

int TvlDataGroups::GetChildGroupIndex(int AIndex, int AChild) const
{
    if (AChild < 0)
        return -1;
    int first = 0, last = GetCount() - 1, level = 0;
    if (AIndex != -1) {
        if (AIndex < 0 || AIndex >= GetCount())
            return -1;
        const TvlDataGroupInfo* g = FItems[size_t(AIndex)].get();
        if (g->Level == GetLevelCount() - 1)
            return -1;
        first = g->BeginIndex;
        last = g->EndIndex;
        level = g->Level + 1;
    }
    for (int i = first; i <= last; ++i)
        if (FItems[size_t(i)]->Level == level && AChild-- == 0)
            return i;
    return -1;
}

int TvlDataGroups::GetChildRecordListIndex(int AIndex, int AChild) const
{
    if (AIndex < 0 || AIndex >= GetCount())
        return -1;
    const TvlDataGroupInfo* g = FItems[size_t(AIndex)].get();
    if (g->Level != GetLevelCount() - 1 || AChild < 0 || AChild > g->EndIndex - g->BeginIndex)
        return -1;
    return g->BeginIndex + AChild;
}

int TvlDataGroups::GetFirstRecordListIndex(int AIndex) const
{
    int i = AIndex;
    while (FItems[size_t(i)]->Level < GetLevelCount() - 1)
        i = FItems[size_t(i)]->BeginIndex;
    return FItems[size_t(i)]->BeginIndex;
}

int TvlDataGroups::GetParentIndex(int AIndex) const
{
    const int level = FItems[size_t(AIndex)]->Level;
    for (int i = AIndex - 1; i >= 0; --i)
        if (FItems[size_t(i)]->Level < level)
            return i;
    return -1;
}

bool TvlDataGroups::IsVisible(int AIndex) const
{
    for (int p = GetParentIndex(AIndex); p >= 0; p = GetParentIndex(p))
        if (!FItems[size_t(p)]->Expanded)
            return false;
    return true;
}

bool TvlDataGroups::MakeVisible(int AIndex, bool AExpandSelf)
{
    bool changed = false;
    if (AExpandSelf && !FItems[size_t(AIndex)]->Expanded) {
        FItems[size_t(AIndex)]->Expanded = true;
        changed = true;
    }
    for (int p = GetParentIndex(AIndex); p >= 0; p = GetParentIndex(p))
        if (!FItems[size_t(p)]->Expanded) {
            FItems[size_t(p)]->Expanded = true;
            changed = true;
        }
    if (changed)
        UpdateRowIndexes();
    return changed;
}

void TvlDataGroups::ChangeExpanding(int AGroupIndex, bool AExpanded, bool ARecursive)
{
    TvlDataGroupInfo* g = FItems[size_t(AGroupIndex)].get();
    g->Expanded = AExpanded;
    if (ARecursive)
        for (int i = AGroupIndex + 1; i < GetCount() && FItems[size_t(i)]->Level > g->Level; ++i)
            FItems[size_t(i)]->Expanded = AExpanded;
    UpdateRowIndexes();
}

void TvlDataGroups::SetAllExpanded(bool AExpanded)
{
    for (auto& g : FItems)
        g->Expanded = AExpanded;
    UpdateRowIndexes();
}

void TvlDataGroups::UpdateRowIndexes()
{
    const int levels = GetLevelCount();
    std::vector<int> chain(size_t(std::max(levels, 1)), -1);  // open ancestor per level
    int r = 0;
    for (int i = 0; i < GetCount(); ++i) {
        TvlDataGroupInfo* g = FItems[size_t(i)].get();
        chain[size_t(g->Level)] = i;
        int hidden = -1;  // outermost collapsed ancestor
        for (int l = 0; l < g->Level; ++l)
            if (!FItems[size_t(chain[size_t(l)])]->Expanded) {
                hidden = chain[size_t(l)];
                break;
            }
        if (hidden >= 0) {
            g->RowIndex = FItems[size_t(hidden)]->RowIndex;
            continue;
        }
        g->RowIndex = r++;
        if (g->Expanded && g->Level == levels - 1)
            r += g->EndIndex - g->BeginIndex + 1;
    }
    FRowCount = r;
}

int TvlDataGroups::FindByRowIndex(int ARowIndex, int& ARecordListIndex) const
{
    // Row indexes never fall in pre-order; the first group of a row index is
    // the visible one, the others are hidden inside it.
    int lo = 0, hi = GetCount();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (FItems[size_t(mid)]->RowIndex < ARowIndex)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < GetCount() && FItems[size_t(lo)]->RowIndex == ARowIndex)
        return lo;
    const TvlDataGroupInfo* g = FItems[size_t(lo - 1)].get();
    ARecordListIndex = ARowIndex - g->RowIndex - 1 + g->BeginIndex;
    return -1;
}

TvlRowInfo TvlDataGroups::GetRowInfo(int ARowIndex) const
{
    int listIndex = -1;
    const int g = FindByRowIndex(ARowIndex, listIndex);
    if (g >= 0)
        return {FItems[size_t(g)]->Expanded, FItems[size_t(g)]->Level,
                FOwner->GetRecordListItem(GetFirstRecordListIndex(g))};
    return {false, GetLevelCount(), FOwner->GetRecordListItem(listIndex)};
}

int TvlDataGroups::GetDeepestGroupIndex(int ARecordListIndex) const
{
    int lo = 0, hi = int(FDeepest.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (FItems[size_t(FDeepest[size_t(mid)])]->EndIndex < ARecordListIndex)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < int(FDeepest.size()) && FItems[size_t(FDeepest[size_t(lo)])]->BeginIndex <= ARecordListIndex)
        return FDeepest[size_t(lo)];
    return -1;
}

int TvlDataGroups::GetGroupIndexByRowIndex(int ARowIndex, int ALevel) const
{
    if (ARowIndex < 0 || ARowIndex >= FRowCount)
        return -1;
    int listIndex = -1;
    int g = FindByRowIndex(ARowIndex, listIndex);
    if (g < 0)
        g = GetDeepestGroupIndex(listIndex);
    if (g < 0)
        return -1;
    while (g >= 0 && FItems[size_t(g)]->Level > ALevel)
        g = GetParentIndex(g);
    while (g >= 0 && g < GetCount() && FItems[size_t(g)]->Level < ALevel)
        ++g;
    return g < GetCount() ? g : -1;
}

int TvlDataGroups::GetGroupIndexByRecordListIndex(int AIndex, int ALevel) const
{
    int g = GetDeepestGroupIndex(AIndex);
    while (g >= 0 && FItems[size_t(g)]->Level > ALevel)
        g = GetParentIndex(g);
    return g;
}

// ============================================================ focusing info

void TvlDataFocusingInfo::Assign(const TvlDataFocusingInfo& ASource)
{
    Level = ASource.Level;
    PrevRecordIndex = ASource.PrevRecordIndex;
    RecordIndex = ASource.RecordIndex;
    RowIndex = ASource.RowIndex;
    Changed = false;
    PrevNewItemRowFocused = false;
}

bool TvlDataFocusingInfo::IsEqual(const TvlDataFocusingInfo& AOther) const
{
    return RecordIndex == AOther.RecordIndex && Level == AOther.Level &&
           (!FOwner->Changes.Contains(dicSorting) || RowIndex == AOther.RowIndex);
}

void TvlDataFocusingInfo::KeepRecord()
{
    Level = -1;
    RecordIndex = FOwner->DataController()->GetRecordIndexToKeep();
}

void TvlDataFocusingInfo::UpdateFromRowIndex()
{
    if (RowIndex == -1) {
        Level = RecordIndex = -1;
    } else {
        const TvlRowInfo info = FOwner->GetRowInfo(RowIndex);
        Level = info.Level;
        RecordIndex = info.RecordIndex;
    }
    PrevRecordIndex = RecordIndex;
}

// ============================================================ selection

void TvlDataSelection::InternalAdd(int AIndex, int ARowIndex, int ALevel, int ARecordIndex)
{
    const TvlDataSelectionEntry e{ALevel, ARecordIndex, ARowIndex};
    if (AIndex < 0 || AIndex >= GetCount())
        FItems.push_back(e);
    else
        FItems.insert(FItems.begin() + AIndex, e);
}

void TvlDataSelection::InternalDelete(int AIndex)
{
    if (FItems[size_t(AIndex)].RowIndex == AnchorRowIndex)
        ClearAnchor();
    FItems.erase(FItems.begin() + AIndex);
}

void TvlDataSelection::SetInternalCount(int ACount)
{
    while (GetCount() > ACount)
        FItems.pop_back();
    while (GetCount() < ACount)
        FItems.push_back({0, GetCount(), GetCount()});
}

void TvlDataSelection::Add(int AIndex, int ARowIndex, int ALevel, int ARecordIndex)
{
    InternalAdd(AIndex, ARowIndex, ALevel, ARecordIndex);
    changed();
}

bool TvlDataSelection::FindByRowIndex(int ARowIndex, int& AIndex) const
{
    int lo = 0, hi = GetCount();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (FItems[size_t(mid)].RowIndex < ARowIndex)
            lo = mid + 1;
        else
            hi = mid;
    }
    AIndex = lo;
    return lo < GetCount() && FItems[size_t(lo)].RowIndex == ARowIndex;
}

void TvlDataSelection::Clear()
{
    InternalClear();
    changed();
}

void TvlDataSelection::ClearAll()
{
    ClearAnchor();
    InternalClear();
    changed();
}

void TvlDataSelection::Delete(int AIndex)
{
    InternalDelete(AIndex);
    changed();
}

bool TvlDataSelection::IsRowSelected(int ARowIndex) const
{
    int i = 0;
    return FindByRowIndex(ARowIndex, i);
}

int TvlDataSelection::FindGroup(int AGroupIndex) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (FItems[size_t(i)].Level == -1 && FItems[size_t(i)].RecordIndex == AGroupIndex)
            return i;
    return -1;
}

int TvlDataSelection::FindRecord(int ARecordIndex) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (FItems[size_t(i)].Level != -1 && FItems[size_t(i)].RecordIndex == ARecordIndex)
            return i;
    return -1;
}

void TvlDataSelection::SortByRowIndex()
{
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const TvlDataSelectionEntry& a, const TvlDataSelectionEntry& b) { return a.RowIndex < b.RowIndex; });
}

void TvlDataSelection::CheckRecords()
{
    TvlCustomDataControllerInfo* info = FDataController->DataControllerInfo();
    bool any = false;
    for (int i = GetCount() - 1; i >= 0; --i)
        if (FItems[size_t(i)].Level != -1 && info->GetRecordListIndex(FItems[size_t(i)].RecordIndex) < 0) {
            InternalDelete(i);
            any = true;
        }
    if (any)
        changed();
}

// ============================================================ expanding infos

void TvlDataExpandingInfos::AddField(TvlCustomDataField* AField)
{
    if (std::find(Fields.begin(), Fields.end(), AField) != Fields.end())
        raiseError(vlSDataItemExistError);
    Fields.push_back(AField);
    Items.clear();
}

void TvlDataExpandingInfos::AddItem(int ALevel, const Variant& AValue, TvlDataExpandingStates AState)
{
    Items.push_back({ALevel, AValue, AState});
}

void TvlDataExpandingInfos::CheckField(TvlCustomDataField* AField)
{
    if (std::find(Fields.begin(), Fields.end(), AField) != Fields.end())
        Clear();
}

void TvlDataExpandingInfos::Clear()
{
    Fields.clear();
    Items.clear();
    SaveStates = {};
}

// ============================================================ row index

TvlCustomDataControllerInfo::TvlCustomDataControllerInfo(TvlCustomDataController* ADataController)
    : FDataController(ADataController), FDataGroups(std::make_unique<TvlDataGroups>(this)), FFocusingInfo(this),
      FGroupingFieldList(std::make_unique<TvlGroupingFieldList>()), FPrevFocusingInfo(this),
      FSelection(std::make_unique<TvlDataSelection>(ADataController)),
      FSortingFieldList(std::make_unique<TvlSortingFieldList>()),
      FTotalSortingFieldList(std::make_unique<TvlSortingFieldList>())
{
    FGroupingFieldList->OnChanged = [this] { groupingListChanged(); };
    FSortingFieldList->OnChanged = [this] { Changes.Include(dicSorting); };
    FSelection->OnChanged = [this] {
        Changes.Include(dicSelection);
        if (FDataController->Summary()->IsSelectedRecordsOnly())
            Changes.Include(dicSummary);
    };
}

TvlCustomDataControllerInfo::~TvlCustomDataControllerInfo()
{
    FGroupingFieldList->OnChanged = nullptr;
    FSortingFieldList->OnChanged = nullptr;
    FSelection->OnChanged = nullptr;
}

void TvlCustomDataControllerInfo::groupingListChanged()
{
    Changes += TvlDataControllerInfoChanges{dicRecords, dicGrouping, dicSorting, dicSummary};
}

void TvlCustomDataControllerInfo::EndUpdate()
{
    if (LockCount > 0)
        --LockCount;
    CheckUpdate();
}

void TvlCustomDataControllerInfo::CheckUpdate()
{
    if (!Changes.Empty() && LockCount == 0 && !InfoCalculation)
        Update();
}

void TvlCustomDataControllerInfo::Refresh()
{
    Changes.Include(dicRecords);
    if (!FDataController->IsStructureChangedInGridMode())
        Changes.Include(dicSummary);
    if (FSortingFieldList->GetCount() > 0)
        Changes.Include(dicSorting);
    if (FGroupingFieldList->GetCount() > 0)
        Changes.Include(dicGrouping);
    CheckUpdate();
}

void TvlCustomDataControllerInfo::CheckRowIndex(int ARowIndex) const
{
    if (ARowIndex < 0 || ARowIndex >= GetRowCount())
        raiseError(vlSDataRowIndexError);
}

int TvlCustomDataControllerInfo::GetRowCount() const
{
    return FDataGroups->GetLevelCount() > 0 ? FDataGroups->GetRowCount() : GetRecordListCount();
}

TvlRowInfo TvlCustomDataControllerInfo::GetRowInfo(int ARowIndex) const
{
    CheckRowIndex(ARowIndex);
    if (FDataGroups->GetLevelCount() > 0)
        return FDataGroups->GetRowInfo(ARowIndex);
    return {false, 0, FRecordList[size_t(ARowIndex)]};
}

int TvlCustomDataControllerInfo::GetRecordListIndex(int ARecordIndex) const
{
    const auto it = std::find(FRecordList.begin(), FRecordList.end(), ARecordIndex);
    return it == FRecordList.end() ? -1 : int(it - FRecordList.begin());
}

int TvlCustomDataControllerInfo::GetRowIndexByRecordIndex(int ARecordIndex, bool AMakeVisible)
{
    const int n = GetRecordListIndex(ARecordIndex);
    if (n < 0)
        return -1;
    if (FDataGroups->GetLevelCount() == 0)
        return n;
    const int g = FDataGroups->GetDeepestGroupIndex(n);
    if (g < 0)
        return -1;
    TvlDataGroupInfo* info = FDataGroups->GetItem(g);
    if (!(FDataGroups->IsVisible(g) && info->Expanded)) {
        if (!AMakeVisible)
            return -1;
        if (FDataGroups->MakeVisible(g, true)) {
            Changes.Include(dicExpanding);
            FExpandingFlag = true;
            CheckUpdate();
        }
    }
    return info->RowIndex + 1 + n - info->BeginIndex;
}

int TvlCustomDataControllerInfo::GetNeighbourRowIndex(int ARowIndex) const
{
    const int count = GetRowCount();
    if (FDataGroups->GetLevelCount() == 0)
        return ARowIndex + 1 < count ? ARowIndex + 1 : ARowIndex - 1;
    const int level = GetRowInfo(ARowIndex).Level;
    if (ARowIndex + 1 < count && GetRowInfo(ARowIndex + 1).Level == level)
        return ARowIndex + 1;
    if (ARowIndex > 0 && GetRowInfo(ARowIndex - 1).Level == level)
        return ARowIndex - 1;
    if (ARowIndex + 1 >= count)
        return ARowIndex > 0 ? ARowIndex - 1 : ARowIndex;
    return ARowIndex + 1;
}

void TvlCustomDataControllerInfo::prepareComparison()
{
    for (int i = 0; i < FTotalSortingFieldList->GetCount(); ++i) {
        TvlCustomDataField* f = FTotalSortingFieldList->GetItem(i).Field;
        f->ComparisonMode = 0;
        f->ComparisonMode = !FDataController->IsSimpleCompare(f) ? -1 : FDataController->IsSortByDisplayText(f) ? 2 : 1;
    }
}

void TvlCustomDataControllerInfo::unprepareComparison()
{
    for (int i = 0; i < FTotalSortingFieldList->GetCount(); ++i)
        FTotalSortingFieldList->GetItem(i).Field->ComparisonMode = 0;
}

int TvlCustomDataControllerInfo::compareRecords(int A, int B)
{
    if (A == B)
        return 0;
    // The edited record keeps its place: it sorts by its neighbours, not
    // by values that are still changing.
    const TvlCustomDataProvider* p = FDataController->Provider();
    const int e = p->EditingRecordIndex();
    if (e != vlEditingRecordIndexNone) {
        const int prev = p->EditingRecordIndex1(), next = p->EditingRecordIndex2();
        if (prev != vlEditingRecordIndexNone || next != vlEditingRecordIndexNone) {
            if (A == e) {
                if (prev != vlEditingRecordIndexNone)
                    return 1;
                if (B == next)
                    return -1;
                A = next;
            } else if (B == e) {
                if (prev != vlEditingRecordIndexNone)
                    return -1;
                if (A == next)
                    return 1;
                B = next;
            }
        }
    }
    for (int i = 0; i < FTotalSortingFieldList->GetCount(); ++i)
        if (const int r = FDataController->CompareRecordsBySortInfo(A, B, FTotalSortingFieldList->GetItem(i)))
            return r;
    return FDataController->CompareRecordIndexes(A, B);
}

int TvlCustomDataControllerInfo::compareForGrouping(int A, int B, int ALevel)
{
    const TvlCustomDataProvider* p = FDataController->Provider();
    const int e = p->EditingRecordIndex();
    if (e != vlEditingRecordIndexNone && (A == e || B == e)) {
        // By its values from before the edit when there is a saved copy,
        // else by its neighbours: it stays in its group either way.
        if (p->SavedRecordIndex() != 0) {
            if (A == e)
                A = p->SavedRecordIndex();
            else
                B = p->SavedRecordIndex();
        } else if (p->EditingRecordIndex1() != vlEditingRecordIndexNone) {
            return 0;
        } else if (p->EditingRecordIndex2() != vlEditingRecordIndexNone) {
            if (A == e)
                A = p->EditingRecordIndex2();
            else
                B = p->EditingRecordIndex2();
        }
    }
    if (A == B)
        return 0;
    return FDataController->CompareRecordsBySortInfo(A, B, FTotalSortingFieldList->GetItem(ALevel));
}

int TvlCustomDataControllerInfo::CompareRecordsByField(int ARecordIndex1, int ARecordIndex2, int AIndex)
{
    return compareForGrouping(ARecordIndex1, ARecordIndex2, AIndex);
}

void TvlCustomDataControllerInfo::doFilter()
{
    TvlCustomDataController* dc = FDataController;
    const int count = dc->GetRecordCount();
    FRecordList.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        FRecordList[size_t(i)] = i;
    const bool byEvent = dc->HasFilterRecordHandler() && !dc->IsGridMode();
    const bool byIncremental = dc->HasIncrementalFilter();
    const bool byCriteria = dc->Filter()->IsFiltering();
    if (!byEvent && !byIncremental && !byCriteria)
        return;
    const int editing = dc->Provider()->EditingRecordIndex();
    std::vector<char> keep(FRecordList.size(), 1);
    bool removed = false;
    for (int i = count - 1; i >= 0; --i) {
        const int r = FRecordList[size_t(i)];
        if (r == editing)
            continue;  // the edited record is never filtered out
        if ((byEvent && !dc->DoFilterRecord(r)) || (byIncremental && !dc->MatchesIncrementalFilter(r)) ||
            (byCriteria && !dc->Filter()->DoFilterRecord(r))) {
            keep[size_t(i)] = 0;
            removed = true;
        }
    }
    if (!removed)
        return;
    size_t out = 0;
    for (size_t i = 0; i < FRecordList.size(); ++i)
        if (keep[i])
            FRecordList[out++] = FRecordList[i];
    FRecordList.resize(out);
    FSelection->CheckRecords();
    if (dc->FCheckFocusingAfterFilter) {
        dc->FCheckFocusingAfterFilter = false;
        dc->FFilterChanged = true;
    }
}

void TvlCustomDataControllerInfo::doSort()
{
    auto* total = FTotalSortingFieldList.get();
    total->OnChanged = nullptr;
    total->Clear();
    total->AppendFrom(*FGroupingFieldList);
    total->AppendFrom(*FSortingFieldList);
    if (FDataController->IsGridMode() || FRecordList.empty())
        return;
    prepareComparison();
    Finally unprepare{[this] { unprepareComparison(); }};
    if (FDataController->IsProviderMode() && FDataController->Provider()->IsCustomSorting())
        FDataController->Provider()->CustomSort();
    else if (total->GetCount() > 0)
        QuickSortList(FRecordList, 0, int(FRecordList.size()) - 1, [this](int a, int b) { return compareRecords(a, b); });
}

void TvlCustomDataControllerInfo::doGroup()
{
    TvlDataGroups* groups = FDataGroups.get();
    groups->Clear();
    for (int i = 0; i < FGroupingFieldList->GetCount(); ++i)
        groups->FFields.push_back(FGroupingFieldList->GetItem(i).Field);
    const int levels = groups->GetLevelCount();
    const int n = GetRecordListCount();
    if (n == 0 || levels == 0)
        return;
    prepareComparison();
    Finally unprepare{[this] { unprepareComparison(); }};
    auto& items = groups->FItems;
    std::vector<int> open(static_cast<size_t>(levels)), first(static_cast<size_t>(levels));
    int t = 0;
    auto newGroup = [&](int level, int at) {
        auto g = std::make_unique<TvlDataGroupInfo>();
        g->RowIndex = t;
        g->Level = level;
        g->BeginIndex = level < levels - 1 ? int(items.size()) + 1 : at;
        open[size_t(level)] = int(items.size());
        first[size_t(level)] = at;
        items.push_back(std::move(g));
    };
    for (int l = 0; l < levels; ++l)
        newGroup(l, 0);
    for (int a = 1; a < n; ++a) {
        for (int l = 0; l < levels; ++l) {
            if (compareForGrouping(FRecordList[size_t(first[size_t(l)])], FRecordList[size_t(a)], l) == 0)
                continue;
            if (l == 0)
                ++t;
            for (int k = levels - 1; k >= l; --k)
                items[size_t(open[size_t(k)])]->EndIndex = k == levels - 1 ? a - 1 : open[size_t(k + 1)];
            for (int k = l; k < levels; ++k)
                newGroup(k, a);
            break;
        }
    }
    for (int k = levels - 1; k >= 0; --k)
        items[size_t(open[size_t(k)])]->EndIndex = k == levels - 1 ? n - 1 : open[size_t(k + 1)];
    for (int i = 0; i < int(items.size()); ++i)
        if (items[size_t(i)]->Level == levels - 1)
            groups->FDeepest.push_back(i);
    groups->UpdateRowIndexes();
}

int TvlCustomDataControllerInfo::FindRecordByKey(int ARecordIndex, int AKeyCount, bool ASorted)
{
    AKeyCount = std::min(AKeyCount, FTotalSortingFieldList->GetCount());
    prepareComparison();
    Finally unprepare{[this] { unprepareComparison(); }};
    auto compare = [&](int r) {
        for (int i = 0; i < AKeyCount; ++i)
            if (const int c = FDataController->CompareRecordsBySortInfo(ARecordIndex, r, FTotalSortingFieldList->GetItem(i)))
                return c;
        return 0;
    };
    if (ASorted) {
        int lo = 0, hi = GetRecordListCount() - 1;
        while (lo <= hi) {
            const int mid = (lo + hi) / 2;
            const int c = compare(FRecordList[size_t(mid)]);
            if (c == 0)
                return FRecordList[size_t(mid)];
            if (c < 0)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
        return -1;
    }
    for (int r : FRecordList)
        if (compare(r) == 0)
            return r;
    return -1;
}

void TvlCustomDataControllerInfo::SaveExpanding(TvlDataExpandingStates AStates)
{
    if (AStates == FExpandingInfo.SaveStates)
        return;
    const TvlDataGroups* groups = FDataGroups.get();
    bool matches = groups->GetLevelCount() == FGroupingFieldList->GetCount();
    for (int i = 0; matches && i < groups->GetLevelCount(); ++i)
        matches = groups->GetField(i) == FGroupingFieldList->GetItem(i).Field;
    if (AStates.Empty() || !matches || FDataController->GetRecordCount() == 0 || groups->GetCount() == 0) {
        FExpandingInfo.Clear();
        FExpandingInfo.SaveStates = AStates;
        return;
    }
    FExpandingInfo.Clear();
    FExpandingInfo.SaveStates = AStates;
    for (int i = 0; i < groups->GetLevelCount(); ++i)
        FExpandingInfo.Fields.push_back(groups->GetField(i));
    const bool saveSelected = AStates.Contains(desSelected);
    const bool keepExpanded =
        !(FSelection->GetCount() == 0 && FDataController->Options().Contains(dcoGroupsAlwaysExpanded));
    for (int i = 0; i < groups->GetCount();) {
        const TvlDataGroupInfo* g = groups->GetItem(i);
        TvlDataExpandingStates state;
        if (g->Expanded && keepExpanded && AStates.Contains(desExpanded))
            state.Include(desExpanded);
        if (saveSelected && FSelection->FindGroup(i) >= 0)
            state.Include(desSelected);
        if (!state.Empty()) {
            Variant v;
            FDataController->GetSortingValue(FRecordList[size_t(groups->GetFirstRecordListIndex(i))],
                                             groups->GetField(g->Level), v);
            FExpandingInfo.AddItem(g->Level, v, state);
        }
        if (g->Expanded || g->Level == groups->GetLevelCount() - 1) {
            ++i;
        } else {
            // Skip what lies inside a collapsed group.
            int j = i + 1;
            while (j < groups->GetCount() && groups->GetItem(j)->Level > g->Level)
                ++j;
            i = j;
        }
    }
}

void TvlCustomDataControllerInfo::restoreExpandingAndSelection()
{
    TvlDataGroups* groups = FDataGroups.get();
    const bool grouped = groups->GetLevelCount() > 0;
    const bool always = FDataController->Options().Contains(dcoGroupsAlwaysExpanded);
    if (grouped && always)
        groups->SetAllExpanded(true);
    const TvlDataExpandingStates states = FExpandingInfo.SaveStates;
    if (states.Empty())
        return;
    bool same = FExpandingInfo.Fields.size() == size_t(groups->GetLevelCount());
    for (int i = 0; same && i < groups->GetLevelCount(); ++i)
        same = FExpandingInfo.Fields[size_t(i)] == groups->GetField(i);
    if (!same && !(FExpandingInfo.Fields.empty() && !grouped)) {
        if (states.Contains(desSelected))
            FSelection->InternalClear();
        return;
    }
    for (int i = FSelection->GetCount() - 1; i >= 0; --i)
        if (FSelection->GetItem(i).Level != groups->GetLevelCount())
            FSelection->InternalDelete(i);
    if (grouped) {
        TvlDataControllerGroupLocateObject locate(FDataController);
        TvlValueDefUnboundReader reader;
        int lastLevel = -1;
        for (const TvlDataExpandingInfo& item : FExpandingInfo.Items) {
            if (item.Level <= lastLevel)
                reader.Truncate(item.Level);
            lastLevel = item.Level;
            TvlValueDef* def = groups->GetField(item.Level)->GetValueDef();
            if (def == nullptr)
                continue;
            reader.SetValue(def, item.Value);
            const bool expand = item.State.Contains(desExpanded) && states.Contains(desExpanded);
            const bool select = item.State.Contains(desSelected);
            if (!expand && !select)
                continue;
            locate.Level = item.Level;
            locate.ReadData(&reader);
            const int r = locate.FindRecordIndex();
            if (r < 0)
                continue;
            const int g = groups->GetGroupIndexByRecordListIndex(GetRecordListIndex(r), item.Level);
            if (g < 0)
                continue;
            if (expand)
                groups->GetItem(g)->Expanded = true;
            if (select)
                FSelection->InternalAdd(-1, -1, -1, g);
        }
        if (!always)
            groups->UpdateRowIndexes();
    }
    UpdateSelectionRowIndexes();
}

void TvlCustomDataControllerInfo::UpdateSelectionRowIndexes()
{
    TvlDataGroups* groups = FDataGroups.get();
    for (int i = FSelection->GetCount() - 1; i >= 0; --i) {
        TvlDataSelectionEntry& e = FSelection->GetItem(i);
        int row = -1;
        if (e.Level == -1)
            row = e.RecordIndex < groups->GetCount() && groups->IsVisible(e.RecordIndex)
                      ? groups->GetItem(e.RecordIndex)->RowIndex
                      : -1;
        else
            row = GetRowIndexByRecordIndex(e.RecordIndex, false);
        if (row < 0)
            FSelection->InternalDelete(i);
        else
            e.RowIndex = row;
    }
    FSelection->SortByRowIndex();
    if (FSelection->AnchorRowIndex != -1 && !FSelection->IsRowSelected(FSelection->AnchorRowIndex))
        FSelection->ClearAnchor();
}

void TvlCustomDataControllerInfo::checkFocusing()
{
    TvlCustomDataController* dc = FDataController;
    const int r = FindFocusedRow(false);
    const int cur = FFocusingInfo.RowIndex;
    const bool stale = cur >= GetRowCount() || (cur >= 0 && GetRowInfo(cur).RecordIndex != FFocusingInfo.RecordIndex);
    if (r != cur && (cur < 0 || stale))
        ChangeFocusedRow(r, true);
    if (Changes.Contains(dicFocused) && FPrevFocusingInfo.RowIndex >= GetRowCount())
        FPrevFocusingInfo.RowIndex = -1;
    if (dc->FFilterChanged && FFocusingInfo.RowIndex == -1 && !dc->IsNewItemRowEditing()) {
        dc->FFilterChanged = false;
        if (!dc->Provider()->IsLocating()) {
            FFocusingInfo.Clear();
            ChangeFocusedRow(0, true);
        }
    }
    dc->CheckBookmarkValid(-1);
}

void TvlCustomDataControllerInfo::Update()
{
    TvlCustomDataController* dc = FDataController;
    InfoCalculation = true;
    bool sortingOrExpansion = false;
    auto finish = [&] {
        FExpandingInfo.Clear();
        if (FExpandingFlag || Changes.Contains(dicExpanding))
            UpdateSelectionRowIndexes();
        sortingOrExpansion = Changes.Contains(dicSorting) || Changes.Contains(dicExpanding);
        InfoCalculation = false;
        const TvlDataControllerInfoChanges changes = Changes;
        Changes = {};
        if (sortingOrExpansion)
            dc->RefreshPrevSelectionInfo();
        dc->infoUpdated(changes);
    };
    try {
        dc->Provider()->Grouped = FGroupingFieldList->GetCount() > 0;
        const bool summaries = Changes.Contains(dicSummary) && !dc->IsReading() && !dc->IsDestroying();
        FExpandingFlag = false;
        TvlDataExpandingStates states;
        const bool rebuild = Changes.Contains(dicRecords) || Changes.Contains(dicGrouping);
        if (dc->Options().Contains(dcoSaveExpanding) && rebuild)
            states.Include(desExpanded);
        if (FSelection->GetCount() > 0 &&
            (rebuild || Changes.Contains(dicSorting) || Changes.Contains(dicExpanding)))
            states.Include(desSelected);
        SaveExpanding(states);
        if (Changes.Contains(dicRecords))
            doFilter();
        if (summaries && !dc->Summary()->IsSelectedRecordsOnly())
            dc->Summary()->CalculateFooterSummary();
        const bool regroup = Changes.Contains(dicGrouping);
        const bool resort = regroup || Changes.Contains(dicSorting);
        if (resort)
            doSort();
        if (regroup) {
            TvlGroupingChangingInfo info;
            dc->UpdateControl(&info);
            doGroup();
        }
        if (resort && dc->Options().Contains(dcoFocusTopRowAfterSorting) &&
            (dc->FGroupingChanged || dc->FSortingChanged || dc->FLoadedStorage) && !dc->InNotifyControl()) {
            ChangeFocusedRow(GetRowCount() > 0 ? 0 : -1, true);
            FSelection->Clear();
        }
        restoreExpandingAndSelection();
        checkFocusing();
        if (summaries) {
            if (dc->Summary()->IsSelectedRecordsOnly())
                dc->Summary()->Calculate();
            else
                dc->Summary()->CalculateGroupSummary();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TvlCustomDataControllerInfo::CheckSelectedRecords()
{
    if (FSelection->GetCount() == 0)
        return;
    TvlCustomDataController* dc = FDataController;
    if (dc->GetRecordCount() == 0) {
        FSelection->ClearAll();
        return;
    }
    if (dc->InDeleteSelection && !dc->FInLoadStorage)
        return;
    bool any = false;
    for (int i = FSelection->GetCount() - 1; i >= 0; --i)
        if (FSelection->GetItem(i).Level != -1 && FSelection->GetItem(i).RecordIndex >= dc->GetRecordCount()) {
            FSelection->InternalDelete(i);
            any = true;
        }
    if (any)
        Changes.Include(dicSelection);
}

// ---- focus

void TvlCustomDataControllerInfo::ChangeFocusedRow(int ARowIndex, bool AForce)
{
    TvlCustomDataController* dc = FDataController;
    ARowIndex = std::clamp(ARowIndex, -1, GetRowCount() - 1);
    if (ARowIndex == FFocusingInfo.RowIndex)
        return;
    FocusingFlag = true;
    if (!Changes.Contains(dicFocused))
        FPrevFocusingInfo.Assign(FFocusingInfo);
    bool allowed = AForce;
    auto finish = [&] {
        if (FFocusingInfo.RowIndex >= GetRowCount())
            FFocusingInfo.RowIndex = -1;
        if (FPrevFocusingInfo.RowIndex >= GetRowCount())
            FPrevFocusingInfo.RowIndex = -1;
        if (allowed || FPrevFocusingInfo.RowIndex != -1)
            FFocusingInfo.UpdateFromRowIndex();
        if (!FFocusingInfo.IsEqual(FPrevFocusingInfo)) {
            Changes += TvlDataControllerInfoChanges{dicFocused, dicFocusChanged};
            if (!dc->MultiSelect() && dc->Summary()->IsSelectedRecordsOnly())
                Changes.Include(dicSummary);
            if (dc->FNewItemRowFocused) {
                dc->FNewItemRowFocused = false;
                FFocusingInfo.Changed = true;
            }
            dc->AfterFocusedRowChange();
            dc->FFocusedSelected = true;
            // With one selected row, the focused one, moving the focus moves the selection.
            if (!dc->MultiSelect())
                Changes.Include(dicSelection);
        }
        FocusingFlag = false;
    };
    try {
        if (!allowed) {
            const int record = ARowIndex >= 0 ? GetRowInfo(ARowIndex).RecordIndex : -1;
            InCanFocusedRowChanging = true;
            Finally reset{[this] { InCanFocusedRowChanging = false; }};
            allowed = dc->CanFocusRecord(record);
        }
        if (allowed) {
            dc->BeforeFocusedRowChange(ARowIndex);
            FFocusingInfo.RowIndex = std::clamp(ARowIndex, -1, GetRowCount() - 1);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

int TvlCustomDataControllerInfo::FindFocusedRow(bool AKeepCollapsed)
{
    const int rec = FFocusingInfo.RecordIndex;
    if (rec < 0)
        return -1;
    const int n = GetRecordListIndex(rec);
    if (n < 0)
        return -1;
    TvlDataGroups* groups = FDataGroups.get();
    const int levels = groups->GetLevelCount();
    if (levels == 0)
        return n;
    const int g = groups->GetDeepestGroupIndex(n);
    if (g < 0)
        return -1;
    const int level = FFocusingInfo.Level;
    auto visibleRowOf = [&](int group, bool expandSelf) {
        if (groups->MakeVisible(group, expandSelf)) {
            Changes.Include(dicExpanding);
            FExpandingFlag = true;
        }
        return groups->GetItem(group)->RowIndex;
    };
    if (!AKeepCollapsed) {
        if (level >= 0 && level < levels && groups->GetFirstRecordListIndex(g) == n) {
            int a = g;
            while (a >= 0 && groups->GetItem(a)->Level > level)
                a = groups->GetParentIndex(a);
            if (a >= 0 && groups->GetFirstRecordListIndex(a) == n)
                return visibleRowOf(a, false);
        }
        if (level == -1 && groups->GetFirstRecordListIndex(g) == n) {
            int a = g;
            for (int p = groups->GetParentIndex(a); p >= 0 && groups->GetFirstRecordListIndex(p) == n;
                 p = groups->GetParentIndex(p))
                a = p;
            return visibleRowOf(a, false);
        }
        const int row = visibleRowOf(g, true);
        return row + 1 + n - groups->GetItem(g)->BeginIndex;
    }
    const TvlDataGroupInfo* info = groups->GetItem(g);
    if (level == levels && groups->IsVisible(g) && info->Expanded)
        return info->RowIndex + 1 + n - info->BeginIndex;
    if (level == -1 && groups->IsVisible(g))
        return info->RowIndex;
    const int target = level < 0 || level >= levels ? levels - 1 : level;
    const int a = groups->GetGroupIndexByRecordListIndex(n, target);
    return a >= 0 ? groups->GetItem(a)->RowIndex : -1;
}

void TvlCustomDataControllerInfo::CheckFocusedRow()
{
    if (FFocusingInfo.RowIndex == -1 && !FDataController->IsNewItemRowEditing())
        ChangeFocusedRow(0, false);
}

void TvlCustomDataControllerInfo::collapseCorrectFocus()
{
    const int r = FindFocusedRow(true);
    if (r != FFocusingInfo.RowIndex)
        ChangeFocusedRow(r, true);
}

void TvlCustomDataControllerInfo::ChangeExpanding(int ARowIndex, bool AExpanded, bool ARecursive)
{
    CheckRowIndex(ARowIndex);
    if (FDataGroups->GetLevelCount() == 0 || FDataController->Options().Contains(dcoGroupsAlwaysExpanded))
        return;
    int listIndex = -1;
    const int g = FDataGroups->FindByRowIndex(ARowIndex, listIndex);
    if (g < 0)
        return;  // a data row
    BeginUpdate();
    Finally end{[this] { EndUpdate(); }};
    FDataGroups->ChangeExpanding(g, AExpanded, ARecursive);
    Changes.Include(dicExpanding);
    if (!AExpanded)
        collapseCorrectFocus();
}

void TvlCustomDataControllerInfo::FullCollapse()
{
    if (FDataGroups->GetCount() == 0 || FDataController->Options().Contains(dcoGroupsAlwaysExpanded))
        return;
    BeginUpdate();
    Finally end{[this] { EndUpdate(); }};
    FDataGroups->SetAllExpanded(false);
    Changes.Include(dicExpanding);
    collapseCorrectFocus();
}

void TvlCustomDataControllerInfo::FullExpand()
{
    if (FDataGroups->GetCount() == 0 || FDataController->Options().Contains(dcoGroupsAlwaysExpanded))
        return;
    FDataGroups->SetAllExpanded(true);
    Changes.Include(dicExpanding);
    CheckUpdate();
}

void TvlCustomDataControllerInfo::ChangeRowSelection(int ARowIndex, bool ASelect)
{
    CheckRowIndex(ARowIndex);
    int index = 0;
    if (FSelection->FindByRowIndex(ARowIndex, index)) {
        if (!ASelect)
            FSelection->Delete(index);
    } else if (ASelect && FDataController->CanSelectRow(ARowIndex)) {
        int listIndex = -1;
        const int g = FDataGroups->GetLevelCount() > 0 ? FDataGroups->FindByRowIndex(ARowIndex, listIndex) : -1;
        if (g >= 0)
            FSelection->Add(index, ARowIndex, -1, g);
        else {
            const TvlRowInfo info = GetRowInfo(ARowIndex);
            FSelection->Add(index, ARowIndex, info.Level, info.RecordIndex);
        }
    }
    CheckUpdate();
}

void TvlCustomDataControllerInfo::LoadRecordIndexes(std::vector<int>& AList, int ADataGroupIndex) const
{
    const TvlDataGroups* groups = FDataGroups.get();
    if (ADataGroupIndex < 0 || ADataGroupIndex >= groups->GetCount())
        return;
    const TvlDataGroupInfo* g = groups->GetItem(ADataGroupIndex);
    if (g->Level == groups->GetLevelCount() - 1) {
        for (int i = g->BeginIndex; i <= g->EndIndex; ++i)
            AList.push_back(FRecordList[size_t(i)]);
        return;
    }
    for (int c = 0, child; (child = groups->GetChildGroupIndex(ADataGroupIndex, c)) >= 0; ++c)
        LoadRecordIndexes(AList, child);
}

// ---- grouping and sorting lists

void TvlCustomDataControllerInfo::ChangeGrouping(TvlCustomDataField* AField, int AGroupIndex)
{
    if (FSelection->GetCount() > 0 && (FGroupingFieldList->Find(AField) >= 0 || AGroupIndex >= 0))
        FSelection->ClearAll();
    FGroupingFieldList->ChangeGrouping(AField, AGroupIndex);
    FGroupingFieldList->UpdateSorting(*FSortingFieldList);
    FExpandingInfo.CheckField(AField);
    Refresh();
}

void TvlCustomDataControllerInfo::ClearGrouping()
{
    if (FGroupingFieldList->GetCount() > 0 && FSelection->GetCount() > 0)
        FSelection->ClearAll();
    FGroupingFieldList->Clear();
    Refresh();
}

void TvlCustomDataControllerInfo::ChangeSortIndex(TvlCustomDataField* AField, int AIndex)
{
    const int cur = FSortingFieldList->Find(AField);
    if (cur < 0)
        return;
    FSortingFieldList->Move(cur, std::clamp(AIndex, 0, FSortingFieldList->GetCount() - 1));
    CheckUpdate();
}

void TvlCustomDataControllerInfo::ChangeSorting(TvlCustomDataField* AField, TvlDataSortOrder ASortOrder)
{
    FSortingFieldList->ChangeSorting(AField, ASortOrder);
    FGroupingFieldList->UpdateSorting(*FSortingFieldList);
    CheckUpdate();
}

void TvlCustomDataControllerInfo::RemoveField(TvlCustomDataField* AField)
{
    FSortingFieldList->Remove(AField);
    if (FGroupingFieldList->Find(AField) >= 0) {
        FSelection->ClearAll();
        FGroupingFieldList->Remove(AField);
    }
    FGroupingFieldList->UpdateSorting(*FSortingFieldList);
    FExpandingInfo.CheckField(AField);
    FTotalSortingFieldList->OnChanged = nullptr;
    FTotalSortingFieldList->Remove(AField);
    // The tree must not keep a field that is going away.
    if (std::find(FDataGroups->FFields.begin(), FDataGroups->FFields.end(), AField) != FDataGroups->FFields.end()) {
        FDataGroups->Clear();
        Changes += TvlDataControllerInfoChanges{dicRecords, dicGrouping};
    }
    CheckUpdate();
}

void TvlCustomDataControllerInfo::FieldChanged(TvlCustomDataField* AField)
{
    Changes.Include(dicLayout);
    FSortingFieldList->CheckField(AField);
    if (FGroupingFieldList->Find(AField) >= 0) {
        FSelection->ClearAll();
        FGroupingFieldList->CheckField(AField);
    }
    FExpandingInfo.CheckField(AField);
    CheckUpdate();
}

void TvlCustomDataControllerInfo::SummaryChanged(bool ARedrawOnly)
{
    const bool sortsGroups = FDataController->Summary()->IsGroupSortedBySummary();
    Changes.Include(ARedrawOnly && !sortsGroups ? dicLayout : dicSummary);
    if (sortsGroups)
        Changes.Include(dicGrouping);
    CheckUpdate();
}

// ============================================================ group access

TvlCustomDataControllerInfo* TvlDataControllerGroups::DataControllerInfo() const
{
    return FDataController->DataControllerInfo();
}

TvlDataGroups* TvlDataControllerGroups::DataGroups() const { return DataControllerInfo()->DataGroups(); }

int TvlDataControllerGroups::GetGroupingItemCount() const { return DataControllerInfo()->GroupingFieldList()->GetCount(); }

int TvlDataControllerGroups::GetGroupingItemIndex(int AIndex) const
{
    TvlGroupingFieldList* list = DataControllerInfo()->GroupingFieldList();
    if (AIndex < 0 || AIndex >= list->GetCount())
        throw EListError(LoadResStringFmt(RtlConsts::SListIndexError, {AIndex}));
    return list->GetItem(AIndex).Field->Index();
}

int TvlDataControllerGroups::GetItemGroupIndex(int AItemIndex) const
{
    FDataController->CheckItemIndex(AItemIndex);
    return GetFieldGroupIndex(FDataController->GetItemField(AItemIndex));
}

int TvlDataControllerGroups::GetFieldGroupIndex(const TvlCustomDataField* AField) const
{
    return DataControllerInfo()->GroupingFieldList()->Find(AField);
}

void TvlDataControllerGroups::ChangeGroupIndex(int AItemIndex, int AGroupIndex)
{
    FDataController->CheckItemIndex(AItemIndex);
    TvlCustomDataField* field = FDataController->GetItemField(AItemIndex);
    if (GetFieldGroupIndex(field) == AGroupIndex || (AGroupIndex < 0 && GetFieldGroupIndex(field) < 0))
        return;
    FDataController->CheckBrowseMode();
    FDataController->FGroupingChanged = true;
    DataControllerInfo()->ChangeGrouping(field, AGroupIndex);
}

void TvlDataControllerGroups::ClearGrouping()
{
    if (GetGroupingItemCount() > 0) {
        FDataController->CheckBrowseMode();
        FDataController->FGroupingChanged = true;
    }
    DataControllerInfo()->ClearGrouping();
}

void TvlDataControllerGroups::ChangeExpanding(int ARowIndex, bool AExpanded, bool ARecursive)
{
    DataControllerInfo()->ChangeExpanding(ARowIndex, AExpanded, ARecursive);
}

void TvlDataControllerGroups::FullExpand() { DataControllerInfo()->FullExpand(); }

void TvlDataControllerGroups::FullCollapse() { DataControllerInfo()->FullCollapse(); }

int TvlDataControllerGroups::GetDataGroupIndexByRowIndex(int ARowIndex) const
{
    TvlDataGroups* groups = DataGroups();
    if (groups->GetLevelCount() == 0 || ARowIndex < 0 || ARowIndex >= groups->GetRowCount())
        return -1;
    int listIndex = -1;
    const int g = groups->FindByRowIndex(ARowIndex, listIndex);
    return g >= 0 ? g : groups->GetDeepestGroupIndex(listIndex);
}

int TvlDataControllerGroups::GetLevel(int ADataGroupIndex) const { return DataGroups()->GetLevel(ADataGroupIndex); }

int TvlDataControllerGroups::GetChildCount(int ADataGroupIndex) const
{
    return DataGroups()->GetChildCount(ADataGroupIndex);
}

int TvlDataControllerGroups::GetChildDataGroupIndex(int ADataGroupIndex, int AChildIndex) const
{
    return DataGroups()->GetChildGroupIndex(ADataGroupIndex, AChildIndex);
}

int TvlDataControllerGroups::GetChildRecordIndex(int AParentDataGroupIndex, int AChildIndex) const
{
    const int n = DataGroups()->GetChildRecordListIndex(AParentDataGroupIndex, AChildIndex);
    return n >= 0 ? DataControllerInfo()->GetRecordListItem(n) : -1;
}

void TvlDataControllerGroups::LoadRecordIndexes(std::vector<int>& AList, int ADataGroupIndex) const
{
    DataControllerInfo()->LoadRecordIndexes(AList, ADataGroupIndex);
}

void TvlDataControllerGroups::LoadRecordIndexesByRowIndex(std::vector<int>& AList, int ARowIndex) const
{
    LoadRecordIndexes(AList, GetDataGroupIndexByRowIndex(ARowIndex));
}

bool TvlDataControllerGroups::IsRowInGroup(int ARowIndex, int AGroupRowIndex) const
{
    TvlDataGroups* groups = DataGroups();
    if (groups->GetLevelCount() == 0)
        return false;
    const int a = GetDataGroupIndexByRowIndex(ARowIndex);
    const int b = GetDataGroupIndexByRowIndex(AGroupRowIndex);
    if (a < 0 || b < 0)
        return false;
    if (a == b)
        return true;
    if (groups->GetLevel(b) >= groups->GetLevel(a))
        return false;
    for (int p = groups->GetParentIndex(a); p >= 0; p = groups->GetParentIndex(p))
        if (p == b)
            return true;
    return false;
}

// ============================================================ the controller

TvlCustomDataController::TvlCustomDataController(IvlDataControllerOwner* AOwner) : FOwner(AOwner)
{
    FDataStorage = std::make_unique<TvlDataStorage>();
    FGroups = std::make_unique<TvlDataControllerGroups>(this);
    FFields = std::make_unique<TvlCustomDataFieldList>(this);
    FFilters = std::make_unique<TvlDataFilterList>();
    FFilter = std::make_unique<TvlDataFilterCriteria>(this);
    FSearch = std::make_unique<TvlDataControllerSearch>(this);
    FSummary = std::make_unique<TvlDataSummary>(this);
    FProvider = std::make_unique<TvlCustomDataProvider>(this);
    FDataControllerInfo = std::make_unique<TvlCustomDataControllerInfo>(this);
    FNotifier = std::make_unique<TvlDataControllerNotifier>(this);
    FDataStorage->OnInternalRecordsCleared = TNotifyEvent::FromFunction([this](TObject*) { ResetInternalRecords(); });
    FDataStorage->SetWithRecordIds(UseRecordID() && CanUseStorage());
}

TvlCustomDataController::~TvlCustomDataController()
{
    FDestroying = true;
    detachFromMaster();
    FNotifier.reset();
    FRelations.reset();
    FDataControllerInfo->Selection()->OnChanged = nullptr;
    FDataStorage->OnInternalRecordsCleared = nullptr;
    FSummary.reset();
    FFilters->Clear();
    FFilter.reset();
    FFilters.reset();
    FDataStorage->ClearAll(false);
    FFields->Clear();
    FDataControllerInfo.reset();
    FGroups.reset();
    FFields.reset();
    FDataStorage.reset();
    FProvider.reset();
    FSearch.reset();
    FDataChangedListeners.clear();
    for (TvlDataListenerLink* link : FListenerLinks)
        link->Ref = nullptr;
    FListenerLinks.clear();
}

void TvlCustomDataController::Assign(const TPersistent* Source)
{
    const auto* other = dynamic_cast<const TvlCustomDataController*>(Source);
    if (other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    SetOptions(other->FOptions);
    FFilter->Assign(other->FFilter.get(), true);
    FSummary->Assign(other->FSummary.get());
    OnAfterCancel = other->OnAfterCancel;
    OnAfterDelete = other->OnAfterDelete;
    OnAfterInsert = other->OnAfterInsert;
    OnAfterPost = other->OnAfterPost;
    OnBeforeCancel = other->OnBeforeCancel;
    OnBeforeDelete = other->OnBeforeDelete;
    OnBeforeInsert = other->OnBeforeInsert;
    OnBeforePost = other->OnBeforePost;
    SetOnFilterRecord(other->FOnFilterRecord);
    OnNewRecord = other->OnNewRecord;
    OnCompare = other->OnCompare;
    OnDataChanged = other->OnDataChanged;
    OnDetailCollapsing = other->OnDetailCollapsing;
    OnDetailCollapsed = other->OnDetailCollapsed;
    OnDetailExpanding = other->OnDetailExpanding;
    OnDetailExpanded = other->OnDetailExpanded;
    OnGroupingChanged = other->OnGroupingChanged;
    OnRecordChanged = other->OnRecordChanged;
    OnSortingChanged = other->OnSortingChanged;
}

void TvlCustomDataController::SetFilter(const TvlDataFilterCriteria* Value) { FFilter->Assign(Value, false); }

void TvlCustomDataController::SetSummary(const TvlDataSummary* Value) { FSummary->Assign(Value); }

void TvlCustomDataController::SetOptions(TvlDataControllerOptions Value)
{
    if (Value == FOptions)
        return;
    FOptions = Value;
    FCollator.reset();
    RefreshRows();
}

void TvlCustomDataController::SetOnFilterRecord(const TvlDataFilterRecordEvent& Value)
{
    if (Value == FOnFilterRecord)
        return;
    FOnFilterRecord = Value;
    FFilter->Changed();
}

// ---- state of the owner

bool TvlCustomDataController::IsLoading() const
{
    return FOwner != nullptr && FOwner->GetDataOwnerState().Contains(csLoading);
}

bool TvlCustomDataController::IsReading() const
{
    return FOwner != nullptr && FOwner->GetDataOwnerState().Contains(csReading);
}

bool TvlCustomDataController::IsDestroying() const
{
    return FDestroying || (FOwner != nullptr && FOwner->GetDataOwnerState().Contains(csDestroying));
}

// ---- modes

bool TvlCustomDataController::IsProviderMode() const { return FProvider && FProvider->CustomDataSource() != nullptr; }

bool TvlCustomDataController::IsGridMode() const { return FProvider->IsGridMode(); }

bool TvlCustomDataController::IsDataFrozen() const { return FProvider->IsDataFrozen(); }

bool TvlCustomDataController::CanUseStorage() const { return FProvider->CanUseStorage() && !IsProviderMode(); }

bool TvlCustomDataController::IsRecordIDSupported() const { return IsProviderMode() && FProvider->IsRecordIdSupported(); }

bool TvlCustomDataController::IsImmediatePost() const
{
    return FOptions.Contains(dcoImmediatePost) || FProvider->IsImmediatePost();
}

bool TvlCustomDataController::IsStructureChangedInGridMode() const { return IsGridMode() && FStructureChanged; }

TvlUserDataSource* TvlCustomDataController::GetCustomDataSource() const { return FProvider->CustomDataSource(); }

void TvlCustomDataController::SetCustomDataSource(TvlUserDataSource* Value)
{
    if (Value == GetCustomDataSource())
        return;
    FProvider->SetCustomDataSource(Value);
    CustomDataSourceChanged();
}

// ---- index checks

void TvlCustomDataController::CheckRecordIndex(int ARecordIndex) const
{
    const int newItem = GetNewItemRecordIndex();
    if ((ARecordIndex >= 0 && ARecordIndex < GetRecordCount()) || ARecordIndex == newItem ||
        (ARecordIndex < 0 && ARecordIndex == FProvider->SavedRecordIndex()))
        return;
    raiseError(vlSDataRecordIndexError);
}

void TvlCustomDataController::CheckItemIndex(int AItemIndex) const
{
    if (AItemIndex < 0 || AItemIndex >= GetItemCount())
        raiseError(vlSDataItemIndexError);
}

int TvlCustomDataController::GetNewItemRecordIndex() const
{
    if (FNewItemRecordIndex == 0)
        FNewItemRecordIndex = FDataStorage->NewInternalRecord();
    return FNewItemRecordIndex;
}

void TvlCustomDataController::ResetInternalRecords()
{
    if (FProvider)
        FProvider->FSavedRecordIndex = 0;
    FNewItemRecordIndex = 0;
}

// ---- records and values

int TvlCustomDataController::GetRecordCount() const { return FDataStorage->RecordCount(); }

int TvlCustomDataController::AppendRecord()
{
    if (IsProviderMode())
        return FProvider->AppendRecord();
    const int r = FDataStorage->AddRecord();
    NotifyDataChanged(dckRecordAdded, -1, -1);
    return r;
}

int TvlCustomDataController::InsertRecord(int ARecordIndex)
{
    if (ARecordIndex < 0 || ARecordIndex > GetRecordCount())
        raiseError(vlSDataRecordIndexError);
    if (IsProviderMode())
        return FProvider->InsertRecord(ARecordIndex);
    FDataStorage->InsertRecordAt(ARecordIndex);
    CorrectDetailsAfterInsert(ARecordIndex);
    NotifyDataChanged(dckRecordAdded, -1, -1);
    return ARecordIndex;
}

void TvlCustomDataController::DeleteRecord(int ARecordIndex)
{
    CheckRecordIndex(ARecordIndex);
    if (ARecordIndex == FProvider->EditingRecordIndex()) {
        // Deleting the edited record ends the edit without posting.
        FProvider->FEditingRecordIndex = FProvider->FEditingRecordIndex1 = FProvider->FEditingRecordIndex2 =
            vlEditingRecordIndexNone;
        FProvider->FInserting = false;
        FProvider->ResetChanging();
        FProvider->ResetModified();
        FProvider->ClearSavedRecord();
    }
    if (IsProviderMode() && ARecordIndex >= 0) {
        FProvider->DeleteRecord(ARecordIndex);
        return;
    }
    if (ARecordIndex < 0) {
        FDataStorage->RemoveInternalRecord(ARecordIndex);
        if (ARecordIndex == FNewItemRecordIndex)
            FNewItemRecordIndex = 0;
        return;
    }
    FDataStorage->RemoveRecord(ARecordIndex);
    CorrectAfterDelete(ARecordIndex);
    FDataControllerInfo->CheckSelectedRecords();
    CheckBookmarkValid(ARecordIndex);
    NotifyDataChanged(dckRecordDeleted, -1, -1);
}

void TvlCustomDataController::SetRecordCount(int ACount)
{
    if (IsGridMode())
        return;
    ACount = std::max(ACount, 0);
    const int old = GetRecordCount();
    if (ACount == old)
        return;
    if (IsProviderMode()) {
        FProvider->SetRecordCount(ACount);
        return;
    }
    FDataStorage->ResizeRecords(ACount);
    releaseUnreferencedDetails();
    FDataControllerInfo->CheckSelectedRecords();
    CheckBookmarkValid(-1);
    CheckEditingAfterDelete(-1);
    NotifyDataChanged(ACount < old ? dckRecordDeleted : dckRecordAdded, -1, -1);
}

void TvlCustomDataController::CheckEditingAfterDelete(int ARecordIndex)
{
    const int e = FProvider->EditingRecordIndex();
    if (e == vlEditingRecordIndexNone || e < 0)
        return;
    if ((ARecordIndex >= 0 && e >= ARecordIndex) || e >= GetRecordCount())
        FProvider->ResetEditing();
}

TvlCustomDataField* TvlCustomDataController::GetItemField(int AItemIndex) const { return FFields->GetItem(AItemIndex); }

Variant TvlCustomDataController::GetValue(int ARecordIndex, int AItemIndex) const
{
    CheckRecordIndex(ARecordIndex);
    CheckItemIndex(AItemIndex);
    Variant v;
    GetInternalValue(ARecordIndex, GetItemField(AItemIndex), v);
    return v;
}

void TvlCustomDataController::SetValue(int ARecordIndex, int AItemIndex, const Variant& AValue)
{
    if (IsGridMode())
        return;
    CheckRecordIndex(ARecordIndex);
    CheckItemIndex(AItemIndex);
    TvlCustomDataField* field = GetItemField(AItemIndex);
    if (IsProviderMode() && ARecordIndex >= 0)
        FProvider->SetValue(ARecordIndex, field, AValue);
    else if (TvlValueDef* def = field->GetValueDef())
        FDataStorage->PutValue(ARecordIndex, def, AValue);
    NotifyDataChanged(dckItem, AItemIndex, ARecordIndex);
}

String TvlCustomDataController::GetDisplayText(int ARecordIndex, int AItemIndex) const
{
    CheckRecordIndex(ARecordIndex);
    CheckItemIndex(AItemIndex);
    String text;
    GetInternalDisplayText(ARecordIndex, GetItemField(AItemIndex), text);
    return text;
}

void TvlCustomDataController::SetDisplayText(int ARecordIndex, int AItemIndex, const String& AText)
{
    if (IsGridMode())
        return;
    CheckRecordIndex(ARecordIndex);
    CheckItemIndex(AItemIndex);
    TvlCustomDataField* field = GetItemField(AItemIndex);
    if (IsProviderMode() && ARecordIndex >= 0)
        FProvider->SetDisplayText(ARecordIndex, field, AText);
    else if (TvlValueDef* def = field->GetValueDef())
        FDataStorage->PutText(ARecordIndex, def, AText);
    NotifyDataChanged(dckItem, AItemIndex, ARecordIndex);
}

Variant TvlCustomDataController::GetRecordId(int ARecordIndex) const
{
    if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount())
        raiseError(vlSDataRecordIndexError);
    if (FDataStorage->WithRecordIds())
        return Variant(FDataStorage->RecordIdOf(ARecordIndex));
    if (IsRecordIDSupported())
        return FProvider->GetRecordId(ARecordIndex);
    return Null();
}

bool TvlCustomDataController::CheckLinkInfo(const TvlCustomDataField* AField) const
{
    if (!AField->IsInternal())
        return true;
    const TvlCustomDataField* ref = AField->ReferenceField();
    return ref != nullptr && !ref->IsInternal();
}

void TvlCustomDataController::GetInternalValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue) const
{
    if (IsProviderMode() && ARecordIndex >= 0 && CheckLinkInfo(AField)) {
        AValue = FProvider->GetValue(ARecordIndex, AField);
        return;
    }
    if (IsGridMode() && !AField->IsInternal()) {
        AValue = FProvider->GetExternalValue(ARecordIndex, AField);
        return;
    }
    TvlValueDef* def = AField->GetValueDef();
    AValue = def != nullptr ? FDataStorage->ValueOf(ARecordIndex, def) : Null();
}

void TvlCustomDataController::GetInternalDisplayText(int ARecordIndex, TvlCustomDataField* AField, String& AText) const
{
    if (IsProviderMode() && ARecordIndex >= 0 && CheckLinkInfo(AField)) {
        AText = FProvider->GetDisplayText(ARecordIndex, AField);
        return;
    }
    if (IsGridMode() && !AField->IsInternal()) {
        AText = FProvider->GetExternalDisplayText(ARecordIndex, AField);
        return;
    }
    TvlValueDef* def = AField->GetValueDef();
    AText = def != nullptr ? FDataStorage->TextOf(ARecordIndex, def) : String();
}

void TvlCustomDataController::GetGroupValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue) const
{
    GetInternalValue(ARecordIndex, AField, AValue);
}

void TvlCustomDataController::GetFilterDataValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue) const
{
    GetInternalValue(ARecordIndex, AField, AValue);
}

void TvlCustomDataController::GetGroupValues(int ARecordIndex, TvlDataSummaryValues& AValues) const
{
    TvlGroupingFieldList* grouping = FDataControllerInfo->GroupingFieldList();
    AValues.assign(size_t(grouping->GetCount()), Null());
    if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount())
        return;
    for (int i = 0; i < grouping->GetCount(); ++i)
        GetGroupValue(ARecordIndex, grouping->GetItem(i).Field, AValues[size_t(i)]);
}

void TvlCustomDataController::GetKeyValues(int ARecordIndex, const std::vector<TvlCustomDataField*>& AKeyFields,
                                           Variant& AValue) const
{
    if (AKeyFields.empty()) {
        AValue = IsProviderMode() ? FProvider->GetRecordId(ARecordIndex) : Null();
        return;
    }
    if (AKeyFields.size() == 1) {
        GetInternalValue(ARecordIndex, AKeyFields[0], AValue);
        return;
    }
    TVariantArray values;
    for (TvlCustomDataField* f : AKeyFields) {
        Variant v;
        GetInternalValue(ARecordIndex, f, v);
        values.push_back(v);
    }
    AValue = VarArrayOf(values);
}

void TvlCustomDataController::AssignRecord(int ASource, int ADest)
{
    TvlValueDefRecordReader reader(this, ASource);
    if (IsProviderMode() && ADest >= 0) {
        TvlValueDefs* defs = FDataStorage->ValueDefs();
        for (int i = 0; i < defs->Count(); ++i)
            ReadStoredValue(defs->Item(i), ASource, ADest, &reader);
    } else {
        FDataStorage->FillRecord(ADest, &reader);
    }
    if (ADest >= 0)
        NotifyDataChanged(dckRecord, -1, -1);
}

void TvlCustomDataController::ReadStoredValue(TvlValueDef* AValueDef, int, int ADestIndex, TvlValueDefReader* AReader)
{
    TvlCustomDataField* field = static_cast<TvlCustomDataField*>(static_cast<TObject*>(AValueDef->LinkedItem()));
    if (field == nullptr || field->IsInternal())
        return;
    FProvider->SetValue(ADestIndex, field, AReader->ValueFor(AValueDef));
    if (AValueDef->KeepsText())
        FProvider->SetDisplayText(ADestIndex, field, AReader->TextFor(AValueDef));
}

void TvlCustomDataController::RecordAdded(int ARecordIndex) { FProvider->RecordAdded(ARecordIndex); }

// ---- items and fields

TvlCustomDataField* TvlCustomDataController::AddField()
{
    auto field = std::make_unique<TvlCustomDataField>(FFields.get());
    TvlCustomDataField* result = field.get();
    FFields->Add(std::move(field));
    return result;
}

TvlCustomDataField* TvlCustomDataController::AddInternalField()
{
    auto field = std::make_unique<TvlCustomDataField>(FFields.get());
    field->FIsInternal = true;
    TvlCustomDataField* result = field.get();
    FFields->Add(std::move(field));
    return result;
}

TvlCustomDataField* TvlCustomDataController::AddItem(TObject* AItem)
{
    if (AItem != nullptr && FFields->FieldByItem(AItem) != nullptr)
        raiseError(vlSDataItemExistError);
    TvlCustomDataField* field = AddField();
    field->SetItem(AItem);
    return field;
}

void TvlCustomDataController::RemoveItem(TObject* AItem)
{
    TvlCustomDataField* field = FFields->FieldByItem(AItem);
    if (field == nullptr)
        return;
    Update lock(this);
    FDataControllerInfo->RemoveField(field);
    FFields->Remove(field);
}

TObject* TvlCustomDataController::GetItem(int AIndex) const
{
    return FOwner != nullptr ? FOwner->GetDataItem(AIndex) : nullptr;
}

int TvlCustomDataController::GetItemCount() const { return FFields->ItemCount(); }

void TvlCustomDataController::UpdateItemIndexes()
{
    const int count = FOwner != nullptr ? FOwner->GetDataItemCount() : 0;
    for (int i = 0; i < count; ++i)
        if (TvlCustomDataField* f = FFields->FieldByItem(GetItem(i)))
            f->SetIndex(i);
    Changed(TvlDataControllerChanges{dccLayout});
}

TvlValueTypeClass TvlCustomDataController::GetItemValueTypeClass(int AItemIndex) const
{
    CheckItemIndex(AItemIndex);
    return GetItemField(AItemIndex)->GetValueTypeClass();
}

void TvlCustomDataController::ChangeValueTypeClass(int AItemIndex, TvlValueTypeClass AValueTypeClass)
{
    CheckItemIndex(AItemIndex);
    TvlCustomDataField* field = GetItemField(AItemIndex);
    if (field->GetValueTypeClass() == AValueTypeClass)
        return;
    field->SetValueTypeClass(AValueTypeClass);
    if (IsProviderMode())
        UpdateStructure();
    FDataControllerInfo->FieldChanged(field);
    ItemValueTypeClassChanged(AItemIndex);
}

void TvlCustomDataController::ChangeItemStoredFlag(int AItemIndex, bool AValue)
{
    CheckItemIndex(AItemIndex);
    TvlCustomDataField* field = GetItemField(AItemIndex);
    if (field->Stored() == AValue)
        return;
    field->SetStored(AValue);
    FDataControllerInfo->FieldChanged(field);
}

void TvlCustomDataController::ChangeTextStored(int AItemIndex, bool AValue)
{
    CheckItemIndex(AItemIndex);
    TvlCustomDataField* field = GetItemField(AItemIndex);
    if (field->GetTextStored() == AValue)
        return;
    field->SetTextStored(AValue);
    FDataControllerInfo->FieldChanged(field);
}

bool TvlCustomDataController::GetItemTextStored(int AItemIndex) const
{
    CheckItemIndex(AItemIndex);
    return GetItemField(AItemIndex)->GetTextStored();
}

String TvlCustomDataController::GetItemName(TObject* AItem) const
{
    if (auto* c = dynamic_cast<TComponent*>(AItem))
        return c->Name();
    return {};
}

TObject* TvlCustomDataController::GetItemByID(int AID) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (TObject* item = GetItemField(i)->Item(); item != nullptr && GetItemID(item) == AID)
            return item;
    return nullptr;
}

TObject* TvlCustomDataController::GetItemByName(const String& AName) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (TObject* item = GetItemField(i)->Item(); item != nullptr && CompareText(GetItemName(item), AName) == 0)
            return item;
    return nullptr;
}

void TvlCustomDataController::FieldRemoved(TvlCustomDataField* AField)
{
    if (AField == FRecordHandlesField)
        FRecordHandlesField = nullptr;
    if (FRelations)
        FRelations->RemoveDataField(AField);
    if (FFilters)
        FFilters->RemoveItemByField(AField);
    if (FFilter)
        FFilter->RemoveItemByItemLink(AField);
    if (FSummary)
        FSummary->RemoveItemsOfField(AField);
    if (AField == FIncrementalFilterField)
        ResetIncrementalFilter();
    if (AField == IncrementalSearchField) {
        if (FSearch)
            FSearch->Cancel();
        IncrementalSearchField = nullptr;
    }
    if (FDataControllerInfo && !FDestroying)
        FDataControllerInfo->RemoveField(AField);
}

void TvlCustomDataController::RemoveNotification(TComponent* AComponent) { FFields->RemoveNotification(AComponent); }

void TvlCustomDataController::UpdateFields()
{
    for (int i = 0; i < FFields->Count(); ++i)
        FFields->GetItem(i)->UpdatedMark = false;
    bool again = true;
    while (again) {
        again = false;
        FFields->FieldDestroyed = false;
        for (int i = 0; i < FFields->Count(); ++i) {
            TvlCustomDataField* f = FFields->GetItem(i);
            if (f->UpdatedMark)
                continue;
            UpdateField(f);
            f->UpdatedMark = true;
            if (FFields->FieldDestroyed) {
                again = true;
                break;
            }
        }
    }
}

void TvlCustomDataController::UpdateItems(bool AUpdateFields)
{
    if (FUpdatingItems)
        return;
    if (GetUpdateLockCount() != 0) {
        FStructureChanged = true;
        return;
    }
    if (IsStructureRecreated())
        RefreshStructure(AUpdateFields);
}

bool TvlCustomDataController::IsStructureRecreated() const { return IsProviderMode() || FStructureRecreated; }

void TvlCustomDataController::RefreshStructure(bool AUpdateFields)
{
    FUpdatingItems = true;
    Finally reset{[this] {
        FUpdatingItems = false;
        FStructureRecreated = false;
    }};
    FullUpdate lock(this);
    if ((AUpdateFields || FProvider->NeedsFieldsUpdate()) && FFieldsUpdateLockCount == 0 &&
        !FProvider->IsFieldsUpdateDeferred())
        UpdateFields();
    if (!FStructureChanged)
        ReloadData();
    FDataControllerInfo->Refresh();
}

// ---- update locks and change delivery

void TvlCustomDataController::BeginUpdate() { FDataControllerInfo->BeginUpdate(); }

void TvlCustomDataController::EndUpdate()
{
    // An EndUpdate without its BeginUpdate is ignored: a negative count
    // would hold every later notification back for good.
    if (FDataControllerInfo->LockCount == 0)
        return;
    FDataControllerInfo->EndUpdate();
    CheckChanges();
}

int TvlCustomDataController::GetUpdateLockCount() const { return FDataControllerInfo->LockCount; }

bool TvlCustomDataController::IsRowInfoValid() const { return !FDataControllerInfo->InfoCalculation; }

void TvlCustomDataController::RefreshRows()
{
    Update lock(this);
    FDataControllerInfo->Refresh();
}

bool TvlCustomDataController::RefreshIfItemSorted(int AItemIndex)
{
    if (AItemIndex != -1 && GetItemSortOrder(AItemIndex) == soNone)
        return false;
    RefreshRows();
    return true;
}

void TvlCustomDataController::Changed(TvlDataControllerChanges AChanges)
{
    FChanges += AChanges;
    CheckChanges();
}

void TvlCustomDataController::CheckChanges()
{
    if (FDataControllerInfo->LockCount != 0 || FDataControllerInfo->InfoCalculation)
        return;
    BeforeNotifyChanges();
    // A structure change deferred by a lock is applied even when nothing
    // else is pending: a newly assigned data source must still be loaded.
    if (FStructureChanged) {
        FStructureChanged = false;
        UpdateActiveState();
    }
    if (FChanges.Empty())
        return;
    notifyChanges();
}

void TvlCustomDataController::infoUpdated(TvlDataControllerInfoChanges AChanges)
{
    TvlDataControllerChanges c;
    if (AChanges.Contains(dicSorting) || AChanges.Contains(dicLayout))
        c.Include(dccLayout);
    if (AChanges.Contains(dicRecords) || AChanges.Contains(dicGrouping) || AChanges.Contains(dicExpanding))
        c.Include(dccData);
    if (AChanges.Contains(dicFocused) || AChanges.Contains(dicFocusing) || AChanges.Contains(dicFocusChanged))
        c.Include(dccFocusing);
    if (AChanges.Contains(dicSelection))
        c.Include(dccSelection);
    if (AChanges.Contains(dicSummary))
        c.Include(dccSummary);
    if (FGroupingChanged)
        c.Include(dccGrouping);
    if (FSortingChanged)
        c.Include(dccSorting);
    FGroupingChanged = FSortingChanged = FFilterChanged = FLoadedStorage = false;
    Changed(c);
}

void TvlCustomDataController::NotifyDataChanged(TvlDataChangeKind AKind, int AItemIndex, int ARecordIndex)
{
    // Merging never narrows what is pending: once everything may have
    // changed, or records came and went, a later change of one value must
    // not make the owner refresh that value alone.
    auto isValueKind = [](TvlDataChangeKind k) { return k == dckItem || k == dckRecord; };
    if (!FDataChangePending) {
        FPendingKind = AKind;
        FPendingItemIndex = AItemIndex;
        FPendingRecordIndex = ARecordIndex;
    } else if (FPendingKind == dckAll) {
    } else if (isValueKind(FPendingKind) && isValueKind(AKind) && ARecordIndex == FPendingRecordIndex) {
        if (!(FPendingKind == dckItem && AKind == dckItem && AItemIndex == FPendingItemIndex)) {
            FPendingKind = dckRecord;
            FPendingItemIndex = -1;
        }
    } else if (AKind != FPendingKind || isValueKind(AKind)) {
        FPendingKind = dckAll;
        FPendingItemIndex = FPendingRecordIndex = -1;
    }
    FDataChangePending = true;
    if (AKind == dckAll) {
        RefreshStructure(false);
        return;
    }
    if (AKind == dckRecordAdded || AKind == dckRecordDeleted)
        FDataControllerInfo->AddChanges(TvlDataControllerInfoChanges{dicFocusing});
    FDataControllerInfo->Refresh();
    CheckChanges();
    checkMasterDetailChanges();
}

void TvlCustomDataController::notifyChanges()
{
    const TvlDataControllerChanges changes = FChanges;
    FChanges = {};
    if (changes.Contains(dccData)) {
        deliverDataChange();
    } else if (changes.Contains(dccLayout) || changes.Contains(dccDetails) || changes.Contains(dccSummary)) {
        TvlLayoutChangedInfo info;
        UpdateControl(&info);
    } else if (changes.Contains(dccUpdateRecord)) {
        TvlUpdateRecordInfo info(GetFocusedRecordIndex());
        UpdateControl(&info);
        FSearch->Cancel();
    }
    if (changes.Contains(dccFocusing))
        deliverFocusChanges();
    if (changes.Contains(dccSelection))
        deliverSelectionChange();
    if (changes.Contains(dccSearch)) {
        TvlSearchChangedInfo info;
        UpdateControl(&info);
    }
    if (changes.Contains(dccBookmark)) {
        TvlBookmarkChangedInfo info;
        UpdateControl(&info);
    }
    if (changes.Contains(dccGrouping) && !IsReading() && OnGroupingChanged)
        OnGroupingChanged(this);
    if (changes.Contains(dccSorting) && !IsReading() && !FInSortingChangedEvent && OnSortingChanged) {
        FInSortingChangedEvent = true;
        Finally reset{[this] { FInSortingChangedEvent = false; }};
        OnSortingChanged(this);
    }
    if (changes.Contains(dccMasterFocusing) && FMasterRelation != nullptr && FMasterRecordIndex != -1)
        if (TvlCustomDataController* pattern = GetPatternDataController(); pattern != nullptr && pattern != this)
            pattern->UpdateFocusing();
}

void TvlCustomDataController::deliverDataChange()
{
    Finally reset{[this] {
        FDataChangePending = false;
        FPendingKind = dckAll;
        FPendingItemIndex = -1;
        FPendingRecordIndex = -1;
    }};
    const bool newItem = FNewItemRecordIndex != 0 && FPendingRecordIndex == FNewItemRecordIndex;
    if (FPendingKind == dckItem && FPendingItemIndex == -1)
        FPendingKind = dckRecord;
    if ((FPendingKind == dckItem || FPendingKind == dckRecord) && FPendingRecordIndex == -1 && !newItem)
        FPendingKind = dckAll;
    // While the change is out, this controller may not turn into a pattern.
    ++FDataChangeRefCount;
    Finally release{[this] { --FDataChangeRefCount; }};
    TvlDataChangedInfo info(FPendingKind, FPendingItemIndex, FPendingRecordIndex);
    UpdateControl(&info);
    DoDataChanged();
}

void TvlCustomDataController::deliverFocusChanges()
{
    TvlDataFocusingInfo& cur = FDataControllerInfo->FocusingInfo();
    TvlDataFocusingInfo& prev = FDataControllerInfo->PrevFocusingInfo();
    if (prev.RowIndex != cur.RowIndex) {
        TvlFocusedRowChangedInfo info(prev.RowIndex, cur.RowIndex);
        UpdateControl(&info);
    }
    if (prev.RecordIndex >= 0 || cur.RecordIndex >= 0 || prev.Changed || cur.Changed) {
        TvlFocusedRecordChangedInfo info(prev.RecordIndex, prev.Changed || cur.Changed, cur.RowIndex, prev.RowIndex,
                                         cur.RecordIndex);
        UpdateControl(&info);
        FSearch->Cancel();
    }
    prev.Assign(cur);
    cur.Changed = false;
}

void TvlCustomDataController::deliverSelectionChange()
{
    const int n = GetSelectedCount();
    const int row = n == 1 ? GetSelectedRowIndex(0) : -1;
    int prevRow = FPrevSelectedCount == 1 ? FPrevSelectedRow : -1;
    int curRow = row;
    if (n > 1 || FPrevSelectedCount > 1)
        prevRow = curRow = -1;
    TvlSelectionChangedInfo info(prevRow, curRow);
    FPrevSelectedCount = n;
    FPrevSelectedRow = row;
    UpdateControl(&info);
}

void TvlCustomDataController::RefreshPrevSelectionInfo()
{
    if (FPrevSelectedCount == 1) {
        FPrevSelectedCount = GetSelectedCount();
        FPrevSelectedRow = FPrevSelectedCount == 1 ? GetSelectedRowIndex(0) : -1;
    }
}

void TvlCustomDataController::UpdateControl(TvlUpdateControlInfo* AInfo)
{
    if (FOwner == nullptr)
        return;
    FInNotifyControl = true;
    Finally reset{[this] { FInNotifyControl = false; }};
    FOwner->UpdateDataControl(AInfo);
}

void TvlCustomDataController::DoDataChanged()
{
    if (IsDestroying())
        return;
    if (!OnDataChanged && !OnRecordChanged && FDataChangedListeners.empty())
        return;
    if (IsLoading()) {
        FDataChangedPending = true;
        return;
    }
    if (!IsPattern()) {
        if ((FPendingKind == dckItem || FPendingKind == dckRecord) && FPendingRecordIndex != -1 && OnRecordChanged)
            OnRecordChanged(this, FPendingRecordIndex, FPendingItemIndex);
        if (OnDataChanged)
            OnDataChanged(this);
    }
    if (!(IsGridMode() && FProvider->IsLocating()))
        for (const TvlDataChangedListener& listener : std::vector<TvlDataChangedListener>(FDataChangedListeners))
            listener(this);
}

void TvlCustomDataController::Loaded()
{
    if (FDataChangedPending) {
        FDataChangedPending = false;
        DoDataChanged();
    }
    if (AfterSummaryPending)
        FSummary->DoAfterSummary();
}

void TvlCustomDataController::SummaryChanged(bool ARedrawOnly)
{
    if (FDataControllerInfo)
        FDataControllerInfo->SummaryChanged(ARedrawOnly);
}

void TvlCustomDataController::AddDataChangedListener(const TvlDataChangedListener& AListener)
{
    FDataChangedListeners.push_back(AListener);
}

void TvlCustomDataController::RemoveDataChangedListener(const TvlDataChangedListener& AListener)
{
    auto& l = FDataChangedListeners;
    l.erase(std::remove(l.begin(), l.end(), AListener), l.end());
}

TvlDataListenerLink* TvlCustomDataController::AddListenerLink()
{
    auto* link = new TvlDataListenerLink(this);  // freed by RemoveListenerLink
    FListenerLinks.push_back(link);
    return link;
}

void TvlCustomDataController::RemoveListenerLink(TvlDataListenerLink* ALink)
{
    std::unique_ptr<TvlDataListenerLink> owned(ALink);
    if (ALink->Ref != nullptr) {
        auto& l = ALink->Ref->FListenerLinks;
        l.erase(std::remove(l.begin(), l.end(), ALink), l.end());
    }
}

void TvlCustomDataController::ReloadData()
{
    if (!FInSmartLoad)
        FDataStorage->ClearAll(FProvider->DataChangedLocked());
    if (FProvider->IsActive() && !FInSmartLoad) {
        if (!IsPattern())
            loadFromProvider();
        FInLoadStorage = true;
        Finally reset{[this] { FInLoadStorage = false; }};
        CheckSelectionAndBookmark();
        UpdateFocusing();
    }
    Changed(TvlDataControllerChanges{dccData});
    DataStorageChanged();
}

void TvlCustomDataController::loadFromProvider()
{
    if (IsGridMode()) {
        FDataStorage->StartLoading();
        FProvider->LoadGridModeBuffer();
        FDataStorage->FinishLoading();
        return;
    }
    FProvider->Freeze();
    Finally unfreeze{[this] { FProvider->Unfreeze(); }};
    FProvider->BeginLoad();
    FProvider->First();
    if (FProvider->NeedsFieldsUpdate())
        UpdateFields();
    FDataStorage->StartLoading();
    if (IsProviderMode()) {
        FProvider->LoadRecordHandles();
    } else {
        TvlValueDefReader reader;
        while (!FProvider->IsEOF()) {
            const int r = FDataStorage->AddRecord();
            FDataStorage->FillRecord(r, &reader);
            RecordAdded(r);
            FProvider->Next();
        }
    }
    FDataStorage->FinishLoading();
    FLoadedStorage = FProvider->ActiveChanging();
    FProvider->EndLoad();
}

void TvlCustomDataController::UpdateStructure()
{
    FullUpdate lock(this);
    FProvider->ResetEditing();
    if (!CanUseStorage() || (FInSetCustomDataSource && GetCustomDataSource() == nullptr))
        FDataStorage->ClearAll(false);
    ResetBookmark();
    CheckSelectionAndBookmark();
    FDataStorage->SetKeptValuesOnly(IsProviderMode() || IsGridMode());
    FDataStorage->SetWithRecordIds(UseRecordID() && CanUseStorage());
    if (GetCustomDataSource() == nullptr) {
        if (FRecordHandlesField != nullptr)
            FFields->Remove(FRecordHandlesField);
    } else if (FRecordHandlesField == nullptr) {
        TvlCustomDataField* f = AddInternalField();
        f->SetValueTypeClass(TvlIntegerValueType::Instance());
        FRecordHandlesField = f;
    }
    FStructureRecreated = true;
    UpdateActiveState();
}

void TvlCustomDataController::SetActiveState(bool AActive)
{
    FActive = AActive;
    UpdateItems(FProvider->IsActive());
    checkMasterDetailChanges();
}

void TvlCustomDataController::UpdateActiveState() { UpdateItems(FProvider->IsActive()); }

void TvlCustomDataController::BeginLoad()
{
    FProvider->Freeze();
    FProvider->BeginLoad();
    FDataStorage->StartLoading();
}

void TvlCustomDataController::EndLoad()
{
    FDataStorage->FinishLoading();
    FProvider->EndLoad();
    FProvider->Unfreeze();
    UpdateFocusing();
    RefreshRows();
}

void TvlCustomDataController::SaveKeys()
{
    if (FSaveObjectLockCount++ == 0) {
        BeginFullUpdate();
        FSaveObject = std::make_unique<TvlSaveObject>();
        FSaveObject->Save(this);
    }
}

void TvlCustomDataController::RestoreKeys()
{
    if (FSaveObjectLockCount == 0 || --FSaveObjectLockCount != 0)
        return;
    Finally end{[this] {
        FSaveObject.reset();
        EndFullUpdate();
    }};
    FSaveObject->Restore(this);
}

void TvlCustomDataController::CheckSelectionAndBookmark()
{
    FDataControllerInfo->CheckSelectedRecords();
    CheckBookmarkValid(-1);
}

// ---- rows

int TvlCustomDataController::GetRowCount() const { return FDataControllerInfo->GetRowCount(); }

TvlRowInfo TvlCustomDataController::GetRowInfo(int ARowIndex) const { return FDataControllerInfo->GetRowInfo(ARowIndex); }

int TvlCustomDataController::GetRowIndexByRecordIndex(int ARecordIndex, bool AMakeVisible)
{
    CheckRecordIndex(ARecordIndex);
    return FDataControllerInfo->GetRowIndexByRecordIndex(ARecordIndex, AMakeVisible);
}

String TvlCustomDataController::GetRowDisplayText(const TvlRowInfo& ARowInfo, int& AItemIndex) const
{
    TvlDataGroups* groups = FDataControllerInfo->DataGroups();
    if (ARowInfo.Level < groups->GetLevelCount() && ARowInfo.RecordIndex != FNewItemRecordIndex)
        AItemIndex = groups->GetField(ARowInfo.Level)->Index();
    return GetDisplayText(ARowInfo.RecordIndex, AItemIndex);
}

Variant TvlCustomDataController::GetRowValue(const TvlRowInfo& ARowInfo, int AItemIndex) const
{
    TvlDataGroups* groups = FDataControllerInfo->DataGroups();
    if (ARowInfo.Level < groups->GetLevelCount() && ARowInfo.RecordIndex != FNewItemRecordIndex)
        AItemIndex = groups->GetField(ARowInfo.Level)->Index();
    return GetValue(ARowInfo.RecordIndex, AItemIndex);
}

void TvlCustomDataController::ForEachRow(bool ASelectedOnly, const TvlForEachRowProc& AProc)
{
    if (ASelectedOnly) {
        for (int i = 0; i < GetSelectedCount(); ++i) {
            const int row = GetSelectedRowIndex(i);
            AProc(row, GetRowInfo(row));
        }
        return;
    }
    for (int row = 0; row < GetRowCount(); ++row)
        AProc(row, GetRowInfo(row));
}

// ---- sorting

TvlDataSortOrder TvlCustomDataController::GetItemSortOrder(int AItemIndex) const
{
    CheckItemIndex(AItemIndex);
    TvlCustomDataField* f = GetItemField(AItemIndex);
    const TvlDataSortOrder order = FDataControllerInfo->SortingFieldList()->SortOrderByField(f);
    return order != soNone ? order : FDataControllerInfo->GroupingFieldList()->SortOrderByField(f);
}

int TvlCustomDataController::GetItemSortingIndex(int AItemIndex) const
{
    CheckItemIndex(AItemIndex);
    return FDataControllerInfo->SortingFieldList()->Find(GetItemField(AItemIndex));
}

int TvlCustomDataController::GetSortingItemCount() const { return FDataControllerInfo->SortingFieldList()->GetCount(); }

int TvlCustomDataController::GetSortingItemIndex(int AIndex) const
{
    return FDataControllerInfo->SortingFieldList()->GetItem(AIndex).Field->Index();
}

void TvlCustomDataController::SetItemSortOrder(int AItemIndex, TvlDataSortOrder ASortOrder)
{
    CheckItemIndex(AItemIndex);
    TvlCustomDataField* f = GetItemField(AItemIndex);
    if (FDataControllerInfo->SortingFieldList()->SortOrderByField(f) == ASortOrder)
        return;
    CheckBrowseMode();
    FSortingChanged = true;
    FDataControllerInfo->ChangeSorting(f, ASortOrder);
}

void TvlCustomDataController::SetItemSortingIndex(int AItemIndex, int AIndex)
{
    CheckItemIndex(AItemIndex);
    if (GetItemSortingIndex(AItemIndex) == AIndex)
        return;
    Update lock(this);
    TvlCustomDataField* f = GetItemField(AItemIndex);
    TvlSortingFieldList* sorting = FDataControllerInfo->SortingFieldList();
    if (FDataControllerInfo->GroupingFieldList()->Find(f) >= 0 && GetItemSortOrder(AItemIndex) == soAscending &&
        AIndex == -1) {
        SetItemSortOrder(AItemIndex, soNone);
        return;
    }
    if (sorting->Find(f) < 0)
        SetItemSortOrder(AItemIndex, GetItemSortOrder(AItemIndex));
    if (sorting->Find(f) >= 0) {
        CheckBrowseMode();
        FSortingChanged = true;
        FDataControllerInfo->ChangeSortIndex(f, std::clamp(AIndex, 0, sorting->GetCount() - 1));
    }
}

void TvlCustomDataController::ClearSorting(bool AKeepGroupedItems)
{
    TvlSortingFieldList* sorting = FDataControllerInfo->SortingFieldList();
    TvlGroupingFieldList* grouping = FDataControllerInfo->GroupingFieldList();
    const int before = sorting->GetCount();
    if (AKeepGroupedItems) {
        for (int i = sorting->GetCount() - 1; i >= 0; --i)
            if (grouping->Find(sorting->GetItem(i).Field) < 0)
                sorting->Delete(i);
    } else {
        sorting->Clear();
        for (int i = 0; i < grouping->GetCount(); ++i)
            grouping->SetSortOrder(i, soAscending);
    }
    if (sorting->GetCount() != before) {
        CheckBrowseMode();
        FSortingChanged = true;
    }
    FDataControllerInfo->CheckUpdate();
}

bool TvlCustomDataController::IsConversionNeeded(const TvlCustomDataField* AField) const
{
    const TvlValueDef* def = AField->GetValueDef();
    return (FOptions.Contains(dcoAnsiSort) || FOptions.Contains(dcoCaseInsensitive)) && def != nullptr &&
           def->NeedsTextConversion();
}

bool TvlCustomDataController::IsSortByDisplayText(const TvlCustomDataField* AField) const
{
    if (InternalFindRecord || AField->IsInternal())
        return false;
    return GetItemSortByDisplayText(AField->Index(), FOptions.Contains(dcoSortByDisplayText));
}

bool TvlCustomDataController::IsSimpleCompare(const TvlCustomDataField* AField) const
{
    if (AField->ComparisonMode != 0)
        return AField->ComparisonMode > 0;
    if (AField->Stored() || IsConversionNeeded(AField) || IsSortByDisplayText(AField))
        return true;
    if (IsProviderMode())
        return !const_cast<TvlCustomDataProvider*>(FProvider.get())->source()->IsNativeCompare();
    return false;
}

void TvlCustomDataController::GetSortingValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue)
{
    if (AField->ComparisonMode == 2) {
        String text;
        GetInternalDisplayText(ARecordIndex, AField, text);
        AValue = Variant(text);
        return;
    }
    GetInternalValue(ARecordIndex, AField, AValue);
}

int TvlCustomDataController::CompareStrings(const Variant& V1, const Variant& V2) const
{
    const bool noCase = FOptions.Contains(dcoCaseInsensitive);
    if (FOptions.Contains(dcoAnsiSort)) {
        if (!FCollator) {
            FCollator = std::make_unique<QCollator>();
            FCollator->setCaseSensitivity(noCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
        }
        const int r = FCollator->compare(VarToStr(V1), VarToStr(V2));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    if (noCase) {
        const int r = CompareStr(AnsiUpperCase(VarToStr(V1)), AnsiUpperCase(VarToStr(V2)));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    return VarCompare(V1, V2);
}

int TvlCustomDataController::CompareByField(int ARecordIndex1, int ARecordIndex2, TvlCustomDataField* AField)
{
    if ((OnCompare && !AField->IsInternal()) || IsSimpleCompare(AField)) {
        if (IsProviderMode() && !OnCompare && ARecordIndex1 >= 0 && ARecordIndex2 >= 0 &&
            FProvider->source()->IsNativeCompareFunc())
            return FProvider->NativeCompareFunc(ARecordIndex1, ARecordIndex2, AField);
        Variant v1, v2;
        GetSortingValue(ARecordIndex1, AField, v1);
        GetSortingValue(ARecordIndex2, AField, v2);
        if (OnCompare) {
            int compare = 0;
            OnCompare(this, ARecordIndex1, ARecordIndex2, AField->Index(), v1, v2, compare);
            return compare;
        }
        if (VarIsStr(v1) && VarIsStr(v2))
            return CompareStrings(v1, v2);
        return VarCompare(v1, v2);
    }
    TvlValueDef* def = AField->GetValueDef();
    if (def == nullptr)
        return 0;
    if (IsProviderMode())
        return FProvider->NativeCompare(ARecordIndex1, ARecordIndex2, AField);
    return FDataStorage->CompareRecordValues(ARecordIndex1, ARecordIndex2, def);
}

int TvlCustomDataController::CompareRecordsBySortInfo(int ARecordIndex1, int ARecordIndex2,
                                                      const TvlDataSortInfo& ASortInfo)
{
    const int r = CompareByField(ARecordIndex1, ARecordIndex2, ASortInfo.Field);
    return ASortInfo.SortOrder == soDescending ? -r : r;
}

// ---- filtering

bool TvlCustomDataController::DoFilterRecord(int ARecordIndex)
{
    bool accept = true;
    if (FOnFilterRecord)
        FOnFilterRecord(this, ARecordIndex, accept);
    return accept;
}

bool TvlCustomDataController::MatchesIncrementalFilter(int ARecordIndex)
{
    String text;
    GetInternalDisplayText(ARecordIndex, FIncrementalFilterField, text);
    return SameTextOrPrefix(text, FIncrementalFilterText, true);
}

int TvlCustomDataController::SetIncrementalFilter(int AItemIndex, const String& AText)
{
    CheckItemIndex(AItemIndex);
    FIncrementalFilterField = GetItemField(AItemIndex);
    FIncrementalFilterText = AText;
    RefreshRows();
    return FDataControllerInfo->GetRecordListCount() > 0 ? FDataControllerInfo->GetRecordListItem(0) : -1;
}

void TvlCustomDataController::ResetIncrementalFilter()
{
    const bool active = HasIncrementalFilter();
    FIncrementalFilterField = nullptr;
    FIncrementalFilterText.clear();
    if (active && !IsDestroying())
        RefreshRows();
}

int TvlCustomDataController::FindRecordIndexByText(int AStartIndex, int AItemIndex, bool AForward, bool AWrap,
                                                   bool APartial, const String& AText)
{
    CheckItemIndex(AItemIndex);
    const int count = FDataControllerInfo->GetRecordListCount();
    if (AStartIndex < 0 || AStartIndex >= count)
        return -1;
    TvlCustomDataField* field = GetItemField(AItemIndex);
    auto scan = [&](int from, int to, int step) {
        for (int i = from; step > 0 ? i <= to : i >= to; i += step) {
            const int r = FDataControllerInfo->GetRecordListItem(i);
            String text;
            GetInternalDisplayText(r, field, text);
            if (SameTextOrPrefix(text, AText, APartial))
                return r;
        }
        return -1;
    };
    int r = AForward ? scan(AStartIndex, count - 1, 1) : scan(AStartIndex, 0, -1);
    if (r < 0 && AWrap && AStartIndex != 0)
        r = AForward ? scan(0, AStartIndex - 1, 1) : scan(count - 1, AStartIndex + 1, -1);
    return r;
}

void TvlCustomDataController::FilterChanged()
{
    FCheckFocusingAfterFilter = true;
    Cancel();
    RefreshRows();
    CheckBookmarkValid(-1);
    RefreshPrevSelectionInfo();
}

TvlDataFilterCriteria* TvlCustomDataController::CreateFilter()
{
    return FFilters->Add(std::make_unique<TvlDataFilterCriteria>(this));
}

bool TvlCustomDataController::IsFilterValueListSortByDisplayText(int AItemIndex) const
{
    if (GetItemSortByDisplayText(AItemIndex, true))
        return true;
    return FOptions.Contains(dcoAnsiSort) && IsConversionNeeded(GetItemField(AItemIndex));
}

// ---- focus

int TvlCustomDataController::GetFocusedRowIndex() const { return FDataControllerInfo->GetFocusedRowIndex(); }

int TvlCustomDataController::GetFocusedRecordIndex() const
{
    const int row = GetFocusedRowIndex();
    return row >= 0 && row < GetRowCount() ? FDataControllerInfo->GetRowInfo(row).RecordIndex : -1;
}

bool TvlCustomDataController::ChangeFocusedRowIndex(int ARowIndex)
{
    const bool differs = ARowIndex != GetFocusedRowIndex();
    if (FProvider->IsCursorMode() && FProvider->IsCursorFocusMode() && !FProvider->DescendantInserting() && differs &&
        !CanChangeFocusedRow())
        return false;
    if (differs)
        CheckDetailsBrowseMode();
    {
        FullUpdate lock(this);
        FDataControllerInfo->ChangeFocusedRow(ARowIndex, false);
    }
    return true;
}

bool TvlCustomDataController::ChangeFocusedRecordIndex(int ARecordIndex)
{
    const int row = ARecordIndex >= 0 && ARecordIndex < GetRecordCount()
                        ? FDataControllerInfo->GetRowIndexByRecordIndex(ARecordIndex, true)
                        : -1;
    return ChangeFocusedRowIndex(row);
}

void TvlCustomDataController::CheckFocusedRow()
{
    FullUpdate lock(this);
    FDataControllerInfo->CheckFocusedRow();
}

void TvlCustomDataController::GotoFirst()
{
    if (IsGridMode())
        FProvider->First();
    else
        ChangeFocusedRowIndex(0);
}

void TvlCustomDataController::GotoLast()
{
    if (IsGridMode())
        FProvider->Last();
    else
        ChangeFocusedRowIndex(GetRowCount() - 1);
}

bool TvlCustomDataController::IsBOF() const
{
    if (IsGridMode())
        return FProvider->IsBOF();
    return GetRowCount() == 0 || GetFocusedRowIndex() == 0;
}

bool TvlCustomDataController::IsEOF() const
{
    if (IsGridMode())
        return FProvider->IsEOF();
    return GetRowCount() == 0 || GetFocusedRowIndex() == GetRowCount() - 1;
}

void TvlCustomDataController::Scroll(int ADistance)
{
    if (IsGridMode())
        FProvider->MoveBy(ADistance);
}

void TvlCustomDataController::UpdateFocusing()
{
    if (FProvider->IsLocating() && FDataControllerInfo->FocusingFlag)
        return;
    FDataControllerInfo->AddChanges(TvlDataControllerInfoChanges{dicFocusing});
    FDataControllerInfo->CheckUpdate();
}

bool TvlCustomDataController::CanFocusRecord(int ARecordIndex)
{
    if (!FProvider->IsCursorMode() && IsEditing() && ARecordIndex != FProvider->EditingRecordIndex())
        Post(false);
    return true;
}

int TvlCustomDataController::GetActiveRecordIndex() const
{
    if (IsNewItemRowEditing())
        return GetNewItemRecordIndex();
    const int r = GetFocusedRecordIndex();
    return r < 0 ? vlEditingRecordIndexNone : r;
}

int TvlCustomDataController::GetRecordIndexToKeep() const
{
    if (FProvider->IsCursorMode() && FProvider->IsCursorFocusMode())
        return FProvider->GetFocusedRecordIndex();
    return GetFocusedRecordIndex();
}

// ---- selection

void TvlCustomDataController::SetMultiSelect(bool AValue)
{
    if (AValue == FMultiSelect)
        return;
    FMultiSelect = AValue;
    FFocusedSelected = true;
    {
        Update lock(this);
        if (!AValue)
            FDataControllerInfo->Selection()->Clear();
        else if (GetFocusedRowIndex() >= 0)
            ChangeRowSelection(GetFocusedRowIndex(), true);
    }
    if (FSummary->IsSelectedRecordsOnly())
        FDataControllerInfo->SummaryChanged(false);
}

void TvlCustomDataController::SetFocusedSelected(bool AValue)
{
    if (FMultiSelect || AValue == FFocusedSelected)
        return;
    FFocusedSelected = AValue;
    if (GetFocusedRowIndex() >= 0) {
        FPrevSelectedCount = 1;
        FPrevSelectedRow = GetFocusedRowIndex();
        Changed(TvlDataControllerChanges{dccSelection});
    }
}

int TvlCustomDataController::GetSelectedCount() const
{
    if (FMultiSelect)
        return FDataControllerInfo->Selection()->GetCount();
    return FFocusedSelected && GetFocusedRowIndex() >= 0 ? 1 : 0;
}

int TvlCustomDataController::GetSelectedRowIndex(int AIndex) const
{
    if (FMultiSelect) {
        const TvlDataSelection* sel = FDataControllerInfo->Selection();
        return AIndex >= 0 && AIndex < sel->GetCount() ? sel->GetItem(AIndex).RowIndex : -1;
    }
    return AIndex == 0 && FFocusedSelected ? GetFocusedRowIndex() : -1;
}

bool TvlCustomDataController::IsRowSelected(int ARowIndex) const
{
    if (FMultiSelect)
        return FDataControllerInfo->Selection()->IsRowSelected(ARowIndex);
    return FFocusedSelected && ARowIndex >= 0 && ARowIndex == GetFocusedRowIndex();
}

void TvlCustomDataController::ChangeRowSelection(int ARowIndex, bool ASelect)
{
    if (!FMultiSelect)
        return;
    FDataControllerInfo->ChangeRowSelection(ARowIndex, ASelect);
    CheckChanges();
}

void TvlCustomDataController::ClearSelection()
{
    if (FDataControllerInfo->Selection()->GetCount() == 0)
        return;
    FDataControllerInfo->Selection()->Clear();
    FDataControllerInfo->CheckUpdate();
    CheckChanges();
}

void TvlCustomDataController::ClearSelectionAnchor() { FDataControllerInfo->Selection()->ClearAnchor(); }

int TvlCustomDataController::GetSelectionAnchorRowIndex() const
{
    return FDataControllerInfo->Selection()->AnchorRowIndex;
}

void TvlCustomDataController::SetSelectionAnchor(int ARowIndex)
{
    FDataControllerInfo->CheckRowIndex(ARowIndex);
    FDataControllerInfo->Selection()->AnchorRowIndex = ARowIndex;
}

void TvlCustomDataController::SelectRows(int AFromRowIndex, int AToRowIndex)
{
    if (!FMultiSelect)
        return;
    if (AFromRowIndex > AToRowIndex)
        std::swap(AFromRowIndex, AToRowIndex);
    Update lock(this);
    for (int row = AFromRowIndex; row <= AToRowIndex; ++row)
        FDataControllerInfo->ChangeRowSelection(row, true);
}

void TvlCustomDataController::SelectAll()
{
    if (GetRowCount() > 0)
        SelectRows(0, GetRowCount() - 1);
}

void TvlCustomDataController::SelectFromAnchor(int ARowIndex, bool AKeepSelection)
{
    if (!IsSelectionAnchorExists())
        return;
    Update lock(this);
    const int anchor = GetSelectionAnchorRowIndex();
    if (!AKeepSelection)
        FDataControllerInfo->Selection()->Clear();
    FDataControllerInfo->Selection()->AnchorRowIndex = anchor;
    SelectRows(anchor, ARowIndex);
}

void TvlCustomDataController::SyncSelectionWithFocus()
{
    const int focused = GetFocusedRowIndex();
    if (focused < 0) {
        ClearSelection();
        return;
    }
    FDataControllerInfo->Selection()->AnchorRowIndex = focused;
    SelectFromAnchor(focused, false);
}

void TvlCustomDataController::SelectFocusedRowOnly()
{
    if (!FMultiSelect)
        return;
    Update lock(this);
    FDataControllerInfo->Selection()->Clear();
    if (GetFocusedRowIndex() >= 0)
        FDataControllerInfo->ChangeRowSelection(GetFocusedRowIndex(), true);
}

bool TvlCustomDataController::FocusSelectedRow(int ASelectedIndex)
{
    const int row = GetSelectedRowIndex(ASelectedIndex);
    if (row < 0)
        return false;
    ChangeFocusedRowIndex(row);
    return GetFocusedRowIndex() == row;
}

// ---- bookmark

void TvlCustomDataController::SaveBookmark()
{
    if (StoreBookmark())
        Changed(TvlDataControllerChanges{dccBookmark});
}

bool TvlCustomDataController::StoreBookmark()
{
    const int r = GetFocusedRecordIndex();
    const bool differs = r != FBookmarkRecordIndex;
    FBookmarkRecordIndex = r;
    return differs;
}

void TvlCustomDataController::ClearBookmark()
{
    if (!IsBookmarkAvailable())
        return;
    ResetBookmark();
    Changed(TvlDataControllerChanges{dccBookmark});
}

void TvlCustomDataController::GotoBookmark()
{
    if (IsBookmarkAvailable())
        GotoBookmarkRecord();
}

bool TvlCustomDataController::GotoBookmarkRecord() { return ChangeFocusedRecordIndex(FBookmarkRecordIndex); }

bool TvlCustomDataController::IsBookmarkRow(int ARowIndex) const
{
    return IsBookmarkAvailable() && ARowIndex >= 0 && ARowIndex < GetRowCount() &&
           GetRowInfo(ARowIndex).RecordIndex == FBookmarkRecordIndex;
}

bool TvlCustomDataController::IsBookmarkInvalidated(int ARecordIndex) const
{
    return (ARecordIndex != -1 && ARecordIndex == FBookmarkRecordIndex) ||
           FDataControllerInfo->GetRecordListIndex(FBookmarkRecordIndex) < 0;
}

void TvlCustomDataController::CheckBookmarkValid(int ARecordIndex)
{
    if (IsBookmarkAvailable() && IsBookmarkInvalidated(ARecordIndex)) {
        ResetBookmark();
        FChanges.Include(dccBookmark);
    }
}

// ---- editing

TvlDataEditStates TvlCustomDataController::GetEditState() const
{
    TvlDataEditStates s;
    if (FProvider->IsInserting())
        s.Include(desInserting);
    else if (FProvider->IsEditing())
        s.Include(desEditing);
    if (!s.Empty()) {
        if (FProvider->IsChanging())
            s.Include(desChanging);
        if (FProvider->IsModified())
            s.Include(desModified);
    }
    return s;
}

TvlDataEditOperations TvlCustomDataController::GetEditOperations() const
{
    TvlDataEditOperations ops;
    if (FProvider->CanAppend())
        ops.Include(deoAppend);
    if (FProvider->CanDelete())
        ops.Include(deoDelete);
    if (FProvider->CanModify())
        ops.Include(deoEdit);
    if (FProvider->CanInsert())
        ops.Include(deoInsert);
    if (!FProvider->IsCursorMode() || FProvider->IsCursorFocusMode())
        ops.Include(deoLocalFocus);
    return ops;
}

bool TvlCustomDataController::IsEditing() const
{
    const TvlDataEditStates s = GetEditState();
    return (s.Contains(desInserting) || s.Contains(desEditing)) &&
           FProvider->EditingRecordIndex() != vlEditingRecordIndexNone;
}

bool TvlCustomDataController::IsNewItemRowEditing() const
{
    return FNewItemRowFocused && FUseNewItemRowForEditing && GetFocusedRowIndex() == -1;
}

int TvlCustomDataController::GetEditingRecordIndex() const
{
    const int e = FProvider->EditingRecordIndex();
    return e != vlEditingRecordIndexNone ? e : GetActiveRecordIndex();
}

void TvlCustomDataController::CheckBrowseMode()
{
    if (IsEditing())
        Post(false);
}

void TvlCustomDataController::Append()
{
    if (FProvider->CanAppend())
        FProvider->Append();
}

void TvlCustomDataController::Insert()
{
    if (FProvider->CanInsert())
        FProvider->Insert();
}

void TvlCustomDataController::Edit()
{
    if (FProvider->CanModify())
        FProvider->Edit();
}

bool TvlCustomDataController::CanInitEditing(int AItemIndex)
{
    CheckItemIndex(AItemIndex);
    TvlCustomDataField* field = GetItemField(AItemIndex);
    if (!FProvider->CanModify() && !field->IsEditableWithoutProvider())
        return false;
    if (!field->CanModify(CanModifyItem(AItemIndex)))
        return false;
    return FProvider->CanInitEditing(GetEditingRecordIndex());
}

Variant TvlCustomDataController::GetEditValue(int AItemIndex, TvlDataEditValueSource AEditValueSource)
{
    CheckItemIndex(AItemIndex);
    if (FUseNewItemRowForEditing && IsNewItemRowEditing() && !IsEditing())
        return Null();
    return FProvider->GetRecordValue(GetEditingRecordIndex(), GetItemField(AItemIndex), AEditValueSource);
}

bool TvlCustomDataController::SetEditValue(int AItemIndex, const Variant& AValue,
                                           TvlDataEditValueSource AEditValueSource)
{
    if (!CanInitEditing(AItemIndex))
        return false;
    FProvider->SetEditValue(GetEditingRecordIndex(), GetItemField(AItemIndex), AValue, AEditValueSource);
    if (IsImmediatePost())
        Post(false);
    return true;
}

void TvlCustomDataController::PostEditingData() { FProvider->PostEditingData(); }

void TvlCustomDataController::Post(bool AForcePost)
{
    TvlDataListenerLink* link = AddListenerLink();
    Finally done{[this, link] {
        // An event handler may have destroyed the controller meanwhile.
        if (link->Ref != nullptr)
            FProvider->FInsertedRecordIndex = -1;
        RemoveListenerLink(link);
    }};
    FCheckFocusingAfterFilter = true;
    if (FProvider->IsEditing())
        FProvider->Post(AForcePost);
}

void TvlCustomDataController::Cancel()
{
    if (FInCancel)
        return;
    FInCancel = true;
    Finally reset{[this] { FInCancel = false; }};
    int r = GetFocusedRowIndex();
    if (FProvider->IsEditing())
        FProvider->Cancel();
    r = std::min(r, GetRowCount() - 1);
    if (!FDataControllerInfo->InCanFocusedRowChanging)
        ChangeFocusedRowIndex(r);
}

void TvlCustomDataController::doDeleteFocused()
{
    // The records after the deleted one move down by one.
    const int focused = GetFocusedRecordIndex();
    if (NearestRecordIndex >= focused)
        --NearestRecordIndex;
    try {
        FProvider->DeleteFocusedRecord();
    } catch (...) {
        NearestRecordIndex = focused;
        throw;
    }
}

void TvlCustomDataController::DeleteFocused()
{
    if (GetFocusedRowIndex() < 0 || !FProvider->CanDelete())
        return;
    FProvider->BeginDeleting();
    Finally end{[this] { FProvider->EndDeleting(); }};
    const TvlRowInfo info = GetRowInfo(GetFocusedRowIndex());
    if (info.Level < FDataControllerInfo->DataGroups()->GetLevelCount()) {
        std::vector<int> list;
        FGroups->LoadRecordIndexesByRowIndex(list, GetFocusedRowIndex());
        DeleteRecords(list);
    } else {
        doDeleteFocused();
    }
    ClearSelection();
}

void TvlCustomDataController::DeleteSelection()
{
    if (GetSelectedCount() == 0 || !FProvider->CanDelete())
        return;
    FProvider->BeginDeleting();
    Finally end{[this] { FProvider->EndDeleting(); }};
    if (!FMultiSelect) {
        doDeleteFocused();
    } else {
        FProvider->DeleteSelection();
    }
}

void TvlCustomDataController::DeleteRecords(std::vector<int>& AList)
{
    std::sort(AList.begin(), AList.end());  // plain integers: a strict ordering
    AList.erase(std::unique(AList.begin(), AList.end()), AList.end());
    if (NearestRecordIndex != -1) {
        const int n = NearestRecordIndex;
        NearestRecordIndex -= int(std::upper_bound(AList.begin(), AList.end(), n) - AList.begin());
    }
    const int focused = GetFocusedRecordIndex();
    try {
        FProvider->DeleteRecords(AList);
    } catch (...) {
        NearestRecordIndex = focused;
        throw;
    }
}

void TvlCustomDataController::SetNewItemRowFocused(bool AValue)
{
    if (AValue == FNewItemRowFocused)
        return;
    {
        Update lock(this);
        if (AValue)
            ChangeFocusedRowIndex(-1);
        else if (!IsDestroying())
            Post(false);
        FDataControllerInfo->FocusingInfo().Changed = true;
        FDataControllerInfo->AddChanges(TvlDataControllerInfoChanges{dicFocusChanged});
        FNewItemRowFocused = AValue;
    }
    if (FOptions.Contains(dcoInsertOnNewItemRowFocusing) && IsNewItemRowEditing() && !FProvider->IsInserting())
        Insert();
}

void TvlCustomDataController::SetUseNewItemRowForEditing(bool AValue)
{
    if (AValue == FUseNewItemRowForEditing)
        return;
    Cancel();
    ClearSelection();
    FUseNewItemRowForEditing = AValue;
    Changed(TvlDataControllerChanges{dccData});
}

void TvlCustomDataController::DoAfterCancel() { if (OnAfterCancel) OnAfterCancel(this); }
void TvlCustomDataController::DoAfterDelete() { if (OnAfterDelete) OnAfterDelete(this); }
void TvlCustomDataController::DoAfterInsert() { if (OnAfterInsert) OnAfterInsert(this); }
void TvlCustomDataController::DoAfterPost() { if (OnAfterPost) OnAfterPost(this); }
void TvlCustomDataController::DoBeforeCancel() { if (OnBeforeCancel) OnBeforeCancel(this); }
void TvlCustomDataController::DoBeforeDelete(int ARecordIndex) { if (OnBeforeDelete) OnBeforeDelete(this, ARecordIndex); }
void TvlCustomDataController::DoBeforeInsert() { if (OnBeforeInsert) OnBeforeInsert(this); }
void TvlCustomDataController::DoBeforePost() { if (OnBeforePost) OnBeforePost(this); }
void TvlCustomDataController::DoNewRecord(int ARecordIndex) { if (OnNewRecord) OnNewRecord(this, ARecordIndex); }

bool TvlCustomDataController::CanChangeDetailExpanding(int ARecordIndex, bool AExpand)
{
    bool allow = true;
    const TvlDataDetailExpandingEvent& e = AExpand ? OnDetailExpanding : OnDetailCollapsing;
    if (e)
        e(this, ARecordIndex, allow);
    return allow;
}

// ============================================================ summary formats

String GetDefaultSummaryDisplayFormat(int AValueKind, int ASummaryKind, bool AFooter)
{
    if (ASummaryKind < 1 || ASummaryKind > 5)
        return {};
    static const char* const currency[2][5] = {
        {"SUM=%s;SUM=-%s", "MIN=%s;MIN=-%s", "MAX=%s;MAX=-%s", "COUNT=0", "AVG=%s;AVG=-%s"},
        {"%s;-%s", "MIN=%s;MIN=-%s", "MAX=%s;MAX=-%s", "0", "AVG=%s;AVG=-%s"}};
    static const char* const plain[2][5] = {{"SUM=", "MIN=", "MAX=", "COUNT=0", "AVG="},
                                            {"", "MIN=", "MAX=", "0", "AVG="}};
    static const char* const other[2][5] = {
        {"SUM=0.00;SUM=-0.00", "MIN=0.00;MIN=-0.00", "MAX=0.00;MAX=-0.00", "COUNT=0", "AVG=0.00;AVG=-0.00"},
        {"0.00;-0.00", "MIN=0.00;MIN=-0.00", "MAX=0.00;MAX=-0.00", "0", "AVG=0.00;AVG=-0.00"}};
    const int row = AFooter ? 1 : 0, col = ASummaryKind - 1;
    if (AValueKind == 1) {
        const String s = BuildCurrencyDisplayFormat();
        return Format(String::fromLatin1(currency[row][col]), {s, s});
    }
    return String::fromLatin1(AValueKind == 2 ? plain[row][col] : other[row][col]);
}

// ---- summary property tables -------------------------------------------------------------

namespace {

constexpr const char* summaryKindNames[] = {"skNone", "skSum", "skMin", "skMax", "skCount", "skAverage"};
constexpr TEnumInfo summaryKindInfo{"TvlSummaryKind", summaryKindNames};
constexpr const char* summaryPositionNames[] = {"spGroup", "spFooter"};
constexpr TEnumInfo summaryPositionInfo{"TvlSummaryPosition", summaryPositionNames};
constexpr const char* summaryOptionNames[] = {"soNullIgnore", "soSelectedRecords", "soMultipleSelectedRecords"};
constexpr TEnumInfo summaryOptionInfo{"TvlSummaryOption", summaryOptionNames};

}  // namespace

const TClassInfo* TvlDataSummaryItem::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlDataSummaryItem::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlDataSummaryItem>("TvlDataSummaryItem", &TCollectionItem::StaticClassInfo())
            .Str("Format", &TvlDataSummaryItem::Format, &TvlDataSummaryItem::SetFormat)
            .Enum("Kind", summaryKindInfo, &TvlDataSummaryItem::Kind, &TvlDataSummaryItem::SetKind, skNone)
            .Enum("Position", summaryPositionInfo, &TvlDataSummaryItem::Position, &TvlDataSummaryItem::SetPosition)
            .Stored(&TvlDataSummaryItem::IsPositionStored)
            .Int("Tag", [](const TvlDataSummaryItem& AItem) { return AItem.Tag; },
                 [](TvlDataSummaryItem& AItem, int AValue) { AItem.Tag = AValue; }, 0)
            .Build();
    return info;
}

const TClassInfo* TvlDataSummaryItems::ClassInfo() const { return &StaticClassInfo(); }

// The collection itself publishes only its OnSummary event, which the tables leave to code.
const TClassInfo& TvlDataSummaryItems::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlDataSummaryItems>("TvlDataSummaryItems", &TCollection::StaticClassInfo()).Build();
    return info;
}

const TClassInfo* TvlDataGroupSummaryItems::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlDataGroupSummaryItems::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlDataGroupSummaryItems>("TvlDataGroupSummaryItems", &TvlDataSummaryItems::StaticClassInfo())
            .Str("BeginText", &TvlDataGroupSummaryItems::BeginText, &TvlDataGroupSummaryItems::SetBeginText,
                 String::fromLatin1("("))
            .Str("EndText", &TvlDataGroupSummaryItems::EndText, &TvlDataGroupSummaryItems::SetEndText,
                 String::fromLatin1(")"))
            .Str("Separator", &TvlDataGroupSummaryItems::Separator, &TvlDataGroupSummaryItems::SetSeparator,
                 String::fromLatin1(","))
            .Build();
    return info;
}

const TClassInfo* TvlDataSummaryGroup::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlDataSummaryGroup::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlDataSummaryGroup>("TvlDataSummaryGroup", &TCollectionItem::StaticClassInfo())
            .Collection("Links", [](const TvlDataSummaryGroup& AGroup) {
                return const_cast<TvlDataSummaryGroup&>(AGroup).Links();
            })
            .Collection("SummaryItems", &TvlDataSummaryGroup::SummaryItems)
            .Build();
    return info;
}

const TClassInfo* TvlDataSummary::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlDataSummary::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlDataSummary>("TvlDataSummary")
            .Collection("DefaultGroupSummaryItems", &TvlDataSummary::DefaultGroupSummaryItems)
            .Collection("FooterSummaryItems", &TvlDataSummary::FooterSummaryItems)
            .Collection("SummaryGroups", &TvlDataSummary::SummaryGroups)
            .Set("Options", summaryOptionInfo, &TvlDataSummary::Options, &TvlDataSummary::SetOptions,
                 TvlSummaryOptions{})
            .Build();
    return info;
}
