// Master-detail relations of the data controller: the relation list, the
// detail object of each master record (kept in an internal Object field as a
// handle into the list's own table), pattern and clone controllers, and the
// expanding and collapsing of a record's details.
#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "ui/data/vlCustomData.h"
#include "ui/data/vlCustomDataPrivate.h"
#include "ui/data/vlDataConsts.h"

using namespace vlCustomDataPrivate;
using namespace vlDataConsts;

namespace {

void checkRelationIndex(const TvlCustomDataRelationList* AList, int ARelationIndex)
{
    if (ARelationIndex < 0 || ARelationIndex >= AList->GetCount())
        throw EListError(LoadResStringFmt(RtlConsts::SListIndexError, {ARelationIndex}));
}

bool hasRelationWithDetailController(const TvlCustomDataRelationList* AList)
{
    if (AList == nullptr)
        return false;
    for (int i = 0; i < AList->GetCount(); ++i)
        if (AList->GetItem(i)->DetailDataController() != nullptr)
            return true;
    return false;
}

// The detail controllers held by the link objects of one detail object.
std::vector<TvlCustomDataController*> detailControllersOf(const TvlCustomDataController* AMaster,
                                                          const TvlDetailObject& ADetail, int ARelationIndex = -1)
{
    std::vector<TvlCustomDataController*> result;
    for (size_t i = 0; i < ADetail.InfoObjects.size(); ++i) {
        const auto& info = ADetail.InfoObjects[i];
        if ((ARelationIndex == -1 || int(i) == ARelationIndex) && info && info->LinkObject)
            if (TvlCustomDataController* dc = AMaster->GetDetailDataController(info->LinkObject.get()))
                result.push_back(dc);
    }
    return result;
}

}  // namespace

// ============================================================ relation

TvlCustomDataRelation::TvlCustomDataRelation(TvlCustomDataRelationList* ARelationList, TObject* AItem)
    : FItem(AItem), FRelationList(ARelationList)
{
}

TvlCustomDataRelation::~TvlCustomDataRelation()
{
    // A pattern outliving its relation must not point back at it.
    if (FDetailDataController != nullptr && FDetailDataController->FMasterRelation == this)
        FDetailDataController->detachFromMaster();
}

void TvlCustomDataRelation::Changed()
{
    if (FRelationList != nullptr)
        FRelationList->Changed(this);
}

TvlCustomDataController* TvlCustomDataRelation::GetDataController() const
{
    return FRelationList != nullptr ? FRelationList->DataController() : nullptr;
}

int TvlCustomDataRelation::GetIndex() const { return FRelationList != nullptr ? FRelationList->IndexOf(this) : -1; }

// ============================================================ detail objects

TvlDetailInfoObject* TvlDetailObject::GetInfoObject(int ARelationIndex, bool ACreate)
{
    if (ARelationIndex < 0)
        return nullptr;
    if (size_t(ARelationIndex) >= InfoObjects.size()) {
        if (!ACreate)
            return nullptr;
        InfoObjects.resize(size_t(ARelationIndex) + 1);
    }
    auto& info = InfoObjects[size_t(ARelationIndex)];
    if (!info && ACreate)
        info = std::make_unique<TvlDetailInfoObject>();
    return info.get();
}

bool TvlDetailObject::ClearInfoObjects(int ARelationIndex)
{
    bool any = false;
    for (size_t i = 0; i < InfoObjects.size(); ++i)
        if ((ARelationIndex == -1 || int(i) == ARelationIndex) && InfoObjects[i]) {
            // Taken out first: freeing a link object may come back here.
            std::unique_ptr<TvlDetailInfoObject> info = std::move(InfoObjects[i]);
            any = true;
        }
    return any;
}

// ============================================================ relation list

TvlCustomDataRelationList::~TvlCustomDataRelationList()
{
    ++FLockCount;
    while (!FItems.empty())
        Remove(FItems.back().get());
    freeDataField();
}

TvlCustomDataRelation* TvlCustomDataRelationList::Add(TObject* AItem)
{
    std::unique_ptr<TvlCustomDataRelation> relation = FDataController->CreateRelation(this, AItem);
    relation->FRelationList = this;
    TvlCustomDataRelation* result = relation.get();
    FItems.push_back(std::move(relation));
    Changed(result);
    return result;
}

void TvlCustomDataRelationList::Assign(const TvlCustomDataRelationList* AList)
{
    BeginUpdate();
    Finally end{[this] { EndUpdate(); }};
    Clear();
    if (AList == nullptr)
        return;
    for (int i = 0; i < AList->GetCount(); ++i)
        Add(AList->GetItem(i)->Item())->Assign(AList->GetItem(i));
}

void TvlCustomDataRelationList::EndUpdate()
{
    if (FLockCount > 0)
        --FLockCount;
    Changed(nullptr);
}

void TvlCustomDataRelationList::Clear()
{
    BeginUpdate();
    Finally end{[this] { EndUpdate(); }};
    while (!FItems.empty())
        Remove(FItems.back().get());
}

void TvlCustomDataRelationList::Remove(TvlCustomDataRelation* ARelation)
{
    const int index = IndexOf(ARelation);
    if (index == -1)
        return;
    // The pattern goes back to serving nothing, and every clone made for
    // this relation loses its master before its link object goes.
    if (TvlCustomDataController* pattern = ARelation->FDetailDataController)
        pattern->SetMasterMode(nullptr, pattern->IsPattern());
    for (TvlCustomDataController* detail : detailControllers(IndexOf(ARelation)))
        if (detail->FMasterRelation == ARelation)
            detail->detachFromMaster();
    // The relation may have moved while its pattern was let go.
    const int at = IndexOf(ARelation);
    if (at == -1)
        return;
    std::unique_ptr<TvlCustomDataRelation> owned = std::move(FItems[size_t(at)]);
    FItems.erase(FItems.begin() + at);
    // Info objects are kept by relation index: the ones after it move down.
    for (auto& entry : FDetailObjects) {
        auto& infos = entry.second->InfoObjects;
        if (size_t(at) < infos.size()) {
            std::unique_ptr<TvlDetailInfoObject> gone = std::move(infos[size_t(at)]);
            infos.erase(infos.begin() + at);
        }
    }
    owned->FRelationList = nullptr;
    Changed(owned.get());
}

void TvlCustomDataRelationList::Move(int ACurIndex, int ANewIndex)
{
    if (ACurIndex == ANewIndex)
        return;
    if (ACurIndex < 0 || ACurIndex >= GetCount())
        throw EListError(LoadResStringFmt(RtlConsts::SListIndexError, {ACurIndex}));
    if (ANewIndex < 0 || ANewIndex >= GetCount())
        throw EListError(LoadResStringFmt(RtlConsts::SListIndexError, {ANewIndex}));
    std::unique_ptr<TvlCustomDataRelation> moved = std::move(FItems[size_t(ACurIndex)]);
    FItems.erase(FItems.begin() + ACurIndex);
    FItems.insert(FItems.begin() + ANewIndex, std::move(moved));
    Changed(nullptr);
}

TvlCustomDataRelation* TvlCustomDataRelationList::FindByItem(const TObject* AItem) const
{
    for (const auto& r : FItems)
        if (r->FItem == AItem)
            return r.get();
    return nullptr;
}

int TvlCustomDataRelationList::IndexOf(const TvlCustomDataRelation* ARelation) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == ARelation)
            return int(i);
    return -1;
}

void TvlCustomDataRelationList::Changed(TvlCustomDataRelation* ARelation)
{
    (void)ARelation;
    if (FLockCount != 0)
        return;
    {
        Update lock(FDataController);
        if (FItems.empty()) {
            freeDataField();
        } else if (FDataField != nullptr) {
            FDataController->ClearDetailLinkObjects();
        } else {
            TvlCustomDataField* field = FDataController->AddInternalField();
            field->SetValueTypeClass(TvlObjectValueType::Instance());
            FDataField = field;
        }
    }
    FDataController->DetailStructureChanged();
}

void TvlCustomDataRelationList::freeDataField()
{
    TvlCustomDataField* field = std::exchange(FDataField, nullptr);
    // The table goes first, so that nothing finds a detail object while the
    // detail objects free their link objects.
    auto objects = std::move(FDetailObjects);
    FDetailObjects.clear();
    for (auto& entry : objects)
        for (TvlCustomDataController* detail : detailControllersOf(FDataController, *entry.second))
            detail->detachFromMaster();
    objects.clear();
    if (field != nullptr)
        FDataController->Fields()->Remove(field);
}

void TvlCustomDataRelationList::RemoveDataField(TvlCustomDataField* AField)
{
    if (AField == FDataField) {
        FDataField = nullptr;
        FDetailObjects.clear();
    }
    for (const auto& r : FItems)
        r->FieldRemoved(AField);
}

void TvlCustomDataRelationList::checkRecordIndex(int ARecordIndex) const
{
    if (ARecordIndex < 0 || ARecordIndex >= FDataController->GetRecordCount())
        raiseError(vlSDataRecordIndexError);
}

TvlDetailObject* TvlCustomDataRelationList::storedDetailObject(int ARecordIndex, int64_t* AHandle) const
{
    if (AHandle != nullptr)
        *AHandle = 0;
    if (FDataField == nullptr || FDataField->GetValueDef() == nullptr)
        return nullptr;
    const Variant v = FDataController->DataStorage()->ValueOf(ARecordIndex, FDataField->GetValueDef());
    if (VarIsNull(v))
        return nullptr;
    const int64_t handle = v.AsInt64();
    auto it = std::lower_bound(FDetailObjects.begin(), FDetailObjects.end(), handle,
                               [](const auto& entry, int64_t h) { return entry.first < h; });
    if (it == FDetailObjects.end() || it->first != handle)
        return nullptr;
    if (AHandle != nullptr)
        *AHandle = handle;
    return it->second.get();
}

void TvlCustomDataRelationList::setStoredHandle(int ARecordIndex, int64_t AHandle)
{
    FDataController->DataStorage()->PutValue(ARecordIndex, FDataField->GetValueDef(),
                                             AHandle == 0 ? Variant(Null()) : Variant(AHandle));
}

std::unique_ptr<TvlDetailObject> TvlCustomDataRelationList::takeDetailObject(int64_t AHandle)
{
    auto it = std::lower_bound(FDetailObjects.begin(), FDetailObjects.end(), AHandle,
                               [](const auto& entry, int64_t h) { return entry.first < h; });
    if (it == FDetailObjects.end() || it->first != AHandle)
        return nullptr;
    std::unique_ptr<TvlDetailObject> result = std::move(it->second);
    FDetailObjects.erase(it);
    return result;
}

void TvlCustomDataRelationList::releaseUnreferenced()
{
    if (FDetailObjects.empty() || FDataField == nullptr || FDataField->GetValueDef() == nullptr)
        return;
    std::vector<int64_t> used;
    TvlDataStorage* storage = FDataController->DataStorage();
    for (int r = 0; r < storage->RecordCount(); ++r) {
        const Variant v = storage->ValueOf(r, FDataField->GetValueDef());
        if (!VarIsNull(v))
            used.push_back(v.AsInt64());
    }
    std::sort(used.begin(), used.end());
    std::vector<std::unique_ptr<TvlDetailObject>> gone;
    for (auto it = FDetailObjects.begin(); it != FDetailObjects.end();)
        if (!std::binary_search(used.begin(), used.end(), it->first)) {
            gone.push_back(std::move(it->second));
            it = FDetailObjects.erase(it);
        } else {
            ++it;
        }
    for (auto& d : gone)
        for (TvlCustomDataController* detail : detailControllersOf(FDataController, *d))
            detail->detachFromMaster();
}

std::vector<TvlCustomDataController*> TvlCustomDataRelationList::detailControllers(int ARelationIndex) const
{
    std::vector<TvlCustomDataController*> result;
    for (const auto& entry : FDetailObjects)
        for (TvlCustomDataController* detail : detailControllersOf(FDataController, *entry.second, ARelationIndex))
            result.push_back(detail);
    return result;
}

TvlDetailObject* TvlCustomDataRelationList::GetDetailObject(int ARecordIndex)
{
    checkRecordIndex(ARecordIndex);
    if (FDataField == nullptr)
        return nullptr;
    int64_t handle = 0;
    TvlDetailObject* result = storedDetailObject(ARecordIndex, &handle);
    TvlCustomDataController* pattern = FDataController->GetPatternDataController();
    TvlCustomDataRelationList* patternRelations = pattern != nullptr ? pattern->Relations() : nullptr;
    if (!hasRelationWithDetailController(patternRelations)) {
        if (result != nullptr) {
            std::unique_ptr<TvlDetailObject> released = takeDetailObject(handle);
            setStoredHandle(ARecordIndex, 0);
            for (TvlCustomDataController* detail : detailControllersOf(FDataController, *released))
                detail->detachFromMaster();
        }
        return nullptr;
    }
    if (result == nullptr) {
        auto created = std::make_unique<TvlDetailObject>();
        created->ActiveRelationIndex = FDataController->GetDefaultActiveRelationIndex();
        result = created.get();
        handle = FNextHandle++;
        FDetailObjects.emplace_back(handle, std::move(created));
        setStoredHandle(ARecordIndex, handle);
    }
    const int count = patternRelations->GetCount();
    if (int(result->InfoObjects.size()) < count)
        result->InfoObjects.resize(size_t(count));
    result->ActiveRelationIndex = std::clamp(result->ActiveRelationIndex, 0, count - 1);
    if (patternRelations->GetItem(result->ActiveRelationIndex)->DetailDataController() == nullptr)
        for (int i = 0; i < count; ++i)
            if (patternRelations->GetItem(i)->DetailDataController() != nullptr) {
                result->ActiveRelationIndex = i;
                break;
            }
    return result;
}

bool TvlCustomDataRelationList::ClearLinkObjects(int ARecordIndex, int ARelationIndex)
{
    checkRecordIndex(ARecordIndex);
    TvlDetailObject* detail = storedDetailObject(ARecordIndex);
    if (detail == nullptr)
        return false;
    detail->ClearInfoObjects(ARelationIndex);
    return true;
}

bool TvlCustomDataRelationList::HasDetailLinkObject(int ARecordIndex, int ARelationIndex)
{
    checkRecordIndex(ARecordIndex);
    TvlDetailObject* detail = storedDetailObject(ARecordIndex);
    if (detail == nullptr)
        return false;
    for (size_t i = 0; i < detail->InfoObjects.size(); ++i)
        if ((ARelationIndex == -1 || int(i) == ARelationIndex) && detail->InfoObjects[i] &&
            detail->InfoObjects[i]->LinkObject)
            return true;
    return false;
}

// ============================================================ the controller's side

TvlCustomDataRelationList* TvlCustomDataController::GetRelations()
{
    if (!FRelations)
        FRelations = std::make_unique<TvlCustomDataRelationList>(this);
    return FRelations.get();
}

std::unique_ptr<TvlCustomDataRelation> TvlCustomDataController::CreateRelation(TvlCustomDataRelationList* ARelationList,
                                                                               TObject* AItem)
{
    return std::make_unique<TvlCustomDataRelation>(ARelationList, AItem);
}

std::unique_ptr<TObject> TvlCustomDataController::CreateDetailLinkObject(TvlCustomDataRelation* ARelation,
                                                                         int ARecordIndex)
{
    (void)ARelation;
    (void)ARecordIndex;
    return nullptr;
}

TvlCustomDataController* TvlCustomDataController::GetDetailDataController(TObject* ALinkObject) const
{
    (void)ALinkObject;
    return nullptr;
}

bool TvlCustomDataController::IsPattern() const
{
    if (FMasterRelation != nullptr && FMasterRecordIndex != -1)
        return false;  // a clone
    return FIsPattern || FMasterRelation != nullptr;
}

TvlCustomDataController* TvlCustomDataController::GetMasterDataController() const
{
    return FMasterRelation != nullptr ? FMasterRelation->GetDataController() : nullptr;
}

TvlCustomDataController* TvlCustomDataController::GetRootDataController()
{
    TvlCustomDataController* result = this;
    while (TvlCustomDataController* master = result->GetMasterDataController())
        result = master;
    return result;
}

TvlCustomDataController* TvlCustomDataController::GetPatternDataController()
{
    if (FMasterRelation == nullptr)
        return this;
    const TObject* item = FMasterRelation->Item();
    // Depth first through the patterns below the root.
    std::vector<TvlCustomDataController*> pending{GetRootDataController()};
    std::vector<TvlCustomDataController*> seen;
    while (!pending.empty()) {
        TvlCustomDataController* dc = pending.back();
        pending.pop_back();
        if (std::find(seen.begin(), seen.end(), dc) != seen.end() || dc->Relations() == nullptr)
            continue;
        seen.push_back(dc);
        for (int i = 0; i < dc->Relations()->GetCount(); ++i) {
            TvlCustomDataRelation* r = dc->Relations()->GetItem(i);
            if (r->Item() == item)
                return r->DetailDataController();
            if (r->DetailDataController() != nullptr)
                pending.push_back(r->DetailDataController());
        }
    }
    return nullptr;
}

void TvlCustomDataController::SetMasterMode(TvlCustomDataRelation* ARelation, bool AIsPattern)
{
    FullUpdate lock(this);
    SetMasterRelation(ARelation, -1);
    SetIsPattern(AIsPattern);
}

void TvlCustomDataController::SetMasterRelation(TvlCustomDataRelation* ARelation, int AMasterRecordIndex)
{
    if (ARelation == nullptr && FMasterRelation == nullptr && AMasterRecordIndex == -1 && FMasterRecordIndex == -1)
        return;
    Update lock(this);
    if (TvlCustomDataRelation* old = FMasterRelation) {
        if (old->FDetailDataController == this && AMasterRecordIndex == -1)
            old->FDetailDataController = nullptr;
        else
            SetCustomDataSource(nullptr);
        TvlCustomDataController* master = old->GetDataController();
        if (master != nullptr && master->FCreatingDataController == this)
            master->FCreatingDataController = nullptr;
        FMasterRelation = nullptr;
        if (old->RelationList() != nullptr)
            old->RelationList()->Changed(nullptr);
    }
    FMasterRelation = ARelation;
    FMasterRecordIndex = AMasterRecordIndex;
    if (ARelation != nullptr && AMasterRecordIndex == -1) {
        ARelation->FDetailDataController = this;
        ARelation->Changed();
    } else if (ARelation != nullptr) {
        if (TvlCustomDataController* pattern = GetPatternDataController(); pattern != nullptr && pattern != this)
            SetCustomDataSource(pattern->GetCustomDataSource());
        if (TvlCustomDataController* master = ARelation->GetDataController())
            master->FCreatingDataController = this;
    }
    Changed(TvlDataControllerChanges{dccData});
    UpdateActiveState();
}

void TvlCustomDataController::SetIsPattern(bool AValue)
{
    if (FDataChangeRefCount != 0 && FMasterRelation != nullptr)
        throw EvxException(String::fromLatin1("!"));
    const bool wasPattern = IsPattern();
    const bool wasClone = FMasterRelation != nullptr && FMasterRecordIndex != -1;
    FIsPatternSaved = AValue;
    FIsPattern = AValue;
    const bool isClone = FMasterRelation != nullptr && FMasterRecordIndex != -1;
    if ((wasPattern != IsPattern() || wasClone != isClone) && !IsDestroying())
        UpdateStructure();
}

void TvlCustomDataController::detachFromMaster()
{
    TvlCustomDataRelation* relation = std::exchange(FMasterRelation, nullptr);
    FMasterRecordIndex = -1;
    if (relation == nullptr)
        return;
    if (relation->FDetailDataController == this)
        relation->FDetailDataController = nullptr;
    if (TvlCustomDataController* master = relation->GetDataController())
        if (master->FCreatingDataController == this)
            master->FCreatingDataController = nullptr;
}

void TvlCustomDataController::releaseUnreferencedDetails()
{
    if (FRelations)
        FRelations->releaseUnreferenced();
}

TObject* TvlCustomDataController::GetDetailLinkObject(int ARecordIndex, int ARelationIndex)
{
    if (!FRelations)
        return nullptr;
    TvlDetailObject* detail = FRelations->GetDetailObject(ARecordIndex);
    if (detail == nullptr)
        return nullptr;
    checkRelationIndex(FRelations.get(), ARelationIndex);
    if (TvlDetailInfoObject* info = detail->GetInfoObject(ARelationIndex, false); info != nullptr && info->LinkObject)
        return info->LinkObject.get();
    TObject* result = nullptr;
    if (!FCreatingLinkObject) {
        int64_t handle = 0;
        FRelations->storedDetailObject(ARecordIndex, &handle);
        TvlCustomDataController* pattern = GetPatternDataController();
        FCreatingLinkObject = true;
        const bool patternWasCreating = pattern != nullptr && pattern->FCreatingLinkObject;
        if (pattern != nullptr)
            pattern->FCreatingLinkObject = true;
        Finally clear{[&] {
            FCreatingLinkObject = false;
            if (pattern != nullptr && pattern != this)
                pattern->FCreatingLinkObject = patternWasCreating;
        }};
        std::unique_ptr<TObject> link = CreateDetailLinkObject(FRelations->GetItem(ARelationIndex), ARecordIndex);
        FCreatingDataController = nullptr;
        // The owner may have changed the records meanwhile: the link is kept
        // only by the very detail object it was made for.
        int64_t now = 0;
        if (link && ARecordIndex >= 0 && ARecordIndex < GetRecordCount() && FRelations &&
            ARelationIndex < FRelations->GetCount()) {
            TvlDetailObject* current = FRelations->storedDetailObject(ARecordIndex, &now);
            if (current != nullptr && now == handle) {
                TvlDetailInfoObject* info = current->GetInfoObject(ARelationIndex, true);
                info->LinkObject = std::move(link);
                result = info->LinkObject.get();
            }
        }
    }
    // One more try, while the record is still there to try for.
    if (result == nullptr && !FRecreatingLinkObject && ARecordIndex < GetRecordCount()) {
        FRecreatingLinkObject = true;
        Finally clear{[this] { FRecreatingLinkObject = false; }};
        result = GetDetailLinkObject(ARecordIndex, ARelationIndex);
    }
    return result;
}

bool TvlCustomDataController::HasDetailLinkObject(int ARecordIndex, int ARelationIndex)
{
    return FRelations && FRelations->HasDetailLinkObject(ARecordIndex, ARelationIndex);
}

TvlCustomDataController* TvlCustomDataController::GetDetailDataControllerOf(int ARecordIndex, int ARelationIndex)
{
    TObject* link = GetDetailLinkObject(ARecordIndex, ARelationIndex);
    return link != nullptr ? GetDetailDataController(link) : nullptr;
}

int TvlCustomDataController::GetDetailActiveRelationIndex(int ARecordIndex)
{
    TvlDetailObject* detail = FRelations ? FRelations->GetDetailObject(ARecordIndex) : nullptr;
    return detail != nullptr ? detail->ActiveRelationIndex : -1;
}

void TvlCustomDataController::SetDetailActiveRelationIndex(int ARecordIndex, int ARelationIndex)
{
    if (GetDetailActiveRelationIndex(ARecordIndex) == ARelationIndex)
        return;
    BeforeDetailChange();
    TvlDetailObject* detail = FRelations ? FRelations->GetDetailObject(ARecordIndex) : nullptr;
    if (detail == nullptr)
        return;
    detail->ActiveRelationIndex = ARelationIndex;
    Changed(TvlDataControllerChanges{dccDetails});
}

bool TvlCustomDataController::GetDetailExpanding(int ARecordIndex)
{
    TvlDetailObject* detail = FRelations ? FRelations->GetDetailObject(ARecordIndex) : nullptr;
    return detail != nullptr && detail->Expanded;
}

bool TvlCustomDataController::ChangeDetailExpanding(int ARecordIndex, bool AExpanded)
{
    if (ARecordIndex >= 0 && ARecordIndex < GetRecordCount() && GetDetailExpanding(ARecordIndex) == AExpanded)
        return true;
    const bool wasExpanding = FDetailExpanding;
    FDetailExpanding = true;
    Finally reset{[&] { FDetailExpanding = wasExpanding; }};
    BeforeDetailChange();
    if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount() || !FRelations)
        return false;
    TvlDetailObject* detail = FRelations->GetDetailObject(ARecordIndex);
    if (detail == nullptr || !CanChangeDetailExpanding(ARecordIndex, AExpanded))
        return false;
    // The handler may have dropped the record or its details.
    detail = ARecordIndex < GetRecordCount() ? FRelations->storedDetailObject(ARecordIndex) : nullptr;
    if (detail == nullptr)
        return false;
    detail->Expanded = AExpanded;
    // Inside a lock the change waits for its end; it is never dropped, or a
    // view would go on showing details that are no longer expanded.
    Changed(TvlDataControllerChanges{dccDetails});
    if (AExpanded)
        DoDetailExpanded(ARecordIndex);
    else
        DoDetailCollapsed(ARecordIndex);
    return true;
}

void TvlCustomDataController::DoDetailExpanded(int ARecordIndex)
{
    if (OnDetailExpanded)
        OnDetailExpanded(this, ARecordIndex);
}

void TvlCustomDataController::DoDetailCollapsed(int ARecordIndex)
{
    if (OnDetailCollapsed)
        OnDetailCollapsed(this, ARecordIndex);
}

void TvlCustomDataController::CollapseDetails()
{
    BeforeDetailChange();
    Update lock(this);
    const bool wasExpanding = FDetailExpanding;
    FDetailExpanding = true;
    Finally reset{[&] { FDetailExpanding = wasExpanding; }};
    for (int r = 0; r < GetRecordCount(); ++r)
        ChangeDetailExpanding(r, false);
}

bool TvlCustomDataController::canAskDetailChildren() const
{
    return IsProviderMode() || FProvider->IsCursorMode();
}

bool TvlCustomDataController::GetDetailHasChildren(int ARecordIndex, int ARelationIndex)
{
    if (HasDetailLinkObject(ARecordIndex, ARelationIndex)) {
        TvlCustomDataController* detail = GetDetailDataController(GetDetailLinkObject(ARecordIndex, ARelationIndex));
        return detail != nullptr && detail->GetRecordCount() > 0;
    }
    if (!canAskDetailChildren())
        return false;
    TvlDetailObject* detail = FRelations ? FRelations->GetDetailObject(ARecordIndex) : nullptr;
    if (detail == nullptr)
        return true;
    checkRelationIndex(FRelations.get(), ARelationIndex);
    TvlDetailInfoObject* info = detail->GetInfoObject(ARelationIndex, true);
    if (!info->HasChildrenAssigned) {
        info->HasChildren = FProvider->GetDetailHasChildren(ARecordIndex, ARelationIndex);
        info->HasChildrenAssigned = true;
    }
    return info->HasChildren;
}

void TvlCustomDataController::checkMasterDetailChanges()
{
    TvlCustomDataController* master = GetMasterDataController();
    if (master == nullptr || !master->FRelations || !canAskDetailChildren() || FProvider->IsEditing())
        return;
    bool any = false;
    for (auto& entry : master->FRelations->FDetailObjects)
        for (auto& info : entry.second->InfoObjects)
            if (info && info->HasChildrenAssigned) {
                info->HasChildrenAssigned = false;
                any = true;
            }
    if (any)
        master->Changed(TvlDataControllerChanges{dccLayout});
}

void TvlCustomDataController::ClearDetailLinkObject(int ARecordIndex, int ARelationIndex)
{
    if (FRelations && FRelations->ClearLinkObjects(ARecordIndex, ARelationIndex))
        Changed(TvlDataControllerChanges{dccDetails});
}

void TvlCustomDataController::ClearDetailLinkObjects()
{
    if (!FRelations)
        return;
    Update lock(this);
    for (int r = 0; r < GetRecordCount(); ++r)
        FRelations->ClearLinkObjects(r, -1);
}

void TvlCustomDataController::UpdateDetailStructure(TObject* AItem)
{
    if (!FRelations)
        return;
    if (FRelations->FindByItem(AItem) != nullptr) {
        ClearDetailLinkObjects();
        return;
    }
    for (TvlCustomDataController* detail : FRelations->detailControllers())
        detail->UpdateDetailStructure(AItem);
}

void TvlCustomDataController::DetailStructureChanged()
{
    if (IsDestroying())
        return;
    if (IsPattern() && FMasterRelation != nullptr) {
        TvlCustomDataController* root = GetRootDataController();
        if (root != this)
            root->UpdateDetailStructure(FMasterRelation->Item());
        return;
    }
    if (!IsPattern())
        Changed(TvlDataControllerChanges{dccData});
}

bool TvlCustomDataController::CheckDetailsBrowseMode()
{
    if (FRelations)
        for (TvlCustomDataController* detail : FRelations->detailControllers())
            detail->BeforeDetailChange();
    return true;
}

void TvlCustomDataController::CorrectDetailsAfterInsert(int ARecordIndex)
{
    if (!FRelations)
        return;
    for (int r = ARecordIndex + 1; r < GetRecordCount(); ++r)
        if (TvlDetailObject* detail = FRelations->storedDetailObject(r))
            for (TvlCustomDataController* dc : detailControllersOf(this, *detail))
                ++dc->FMasterRecordIndex;
}

void TvlCustomDataController::CorrectAfterDelete(int ARecordIndex)
{
    if (ARecordIndex < 0)
        return;
    CheckEditingAfterDelete(ARecordIndex);
    if (!FRelations)
        return;
    // The deleted record's details go with it.
    FRelations->releaseUnreferenced();
    for (int r = ARecordIndex; r < GetRecordCount(); ++r)
        if (TvlDetailObject* detail = FRelations->storedDetailObject(r))
            for (TvlCustomDataController* dc : detailControllersOf(this, *detail))
                --dc->FMasterRecordIndex;
}

void TvlCustomDataController::DataStorageChanged()
{
    releaseUnreferencedDetails();
    if (FMasterRelation != nullptr && FMasterRecordIndex != -1)
        Changed(TvlDataControllerChanges{dccMasterFocusing});
    AfterDataStorageChanged();
}

// ============================================================ detail keys

void TvlDetailKeys::DoStore()
{
    TvlCustomDataRelationList* relations = FDataController->Relations();
    if (relations == nullptr || relations->DataField() == nullptr)
        return;
    for (int r = 0; r < FDataController->GetRecordCount(); ++r) {
        TvlDetailObject* detail = relations->storedDetailObject(r);
        if (detail == nullptr || !detail->Expanded)
            continue;
        auto info = std::make_unique<TvlDetailKeyInfo>();
        FDataController->GetKeyValues(r, FKeyFields, info->Key);
        info->ActiveRelationIndex = detail->ActiveRelationIndex;
        info->SubDetail = std::make_unique<TvlSaveObject>();
        if (TvlDetailInfoObject* link = detail->GetInfoObject(detail->ActiveRelationIndex, false);
            link != nullptr && link->LinkObject)
            if (TvlCustomDataController* dc = FDataController->GetDetailDataController(link->LinkObject.get()))
                info->SubDetail->Save(dc);
        FKeys.push_back(std::move(info));
    }
}

void TvlDetailKeys::DoRestore()
{
    for (int r = 0; r < FDataController->GetRecordCount() && !FKeys.empty(); ++r) {
        int k = -1;
        if (!Find(r, k))
            continue;
        auto* info = static_cast<TvlDetailKeyInfo*>(FKeys[size_t(k)].get());
        FDataController->ChangeDetailExpanding(r, true);
        FDataController->SetDetailActiveRelationIndex(r, info->ActiveRelationIndex);
        if (info->SubDetail && FDataController->GetDetailExpanding(r) &&
            FDataController->GetDetailActiveRelationIndex(r) == info->ActiveRelationIndex)
            if (TvlCustomDataController* dc = FDataController->GetDetailDataControllerOf(r, info->ActiveRelationIndex))
                info->SubDetail->Restore(dc);
        Delete(k);
    }
}
