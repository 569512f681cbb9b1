// vlGridCustomTableViewItems.cpp - the items of a record view: caption,
// editor properties (own, repository, default) with their listeners,
// capabilities, width rules, visibility, sorting and grouping forwarding,
// the shared cell style, stored layout; and the item options and styles.
#include <algorithm>

#include "platform/rtl/StringList.h"
#include "ui/data/vlDataStorage.h"
#include "ui/foundation/vlControls.h"
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomTableView.h"
#include "ui/grid/vlGridCustomTableViewInfo.h"

namespace {

// Shows the hourglass for its lifetime (also when an exception leaves).
class THourglass {
public:
    THourglass() { ShowHourglassCursor(); }
    ~THourglass() { HideHourglassCursor(); }
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;
};

// While a view assigns items, sort and group positions wait in its lists.
void putPending(std::vector<TvlCustomGridTableItem*>& AList, int APosition, TvlCustomGridTableItem* AItem)
{
    if (size_t(APosition) >= AList.size())
        AList.resize(size_t(APosition) + 1, nullptr);
    AList[size_t(APosition)] = AItem;
}

bool supports(TvlCustomEditProperties* AProperties, uint32_t AOperation)
{
    return AProperties != nullptr && (AProperties->GetSupportedOperations() & AOperation) != 0;
}

}  // namespace

// ---- item options ------------------------------------------------------------------------------

TvlCustomGridTableView* TvlCustomGridTableItemCustomOptions::GetGridView() const { return FItem->GridView(); }

void TvlCustomGridTableItemCustomOptions::Changed(TvlViewChangeKind AKind) { FItem->Changed(AKind); }

TPersistent* TvlCustomGridTableItemCustomOptions::GetOwner() const { return FItem; }

void TvlCustomGridTableItemCustomOptions::Assign(const TPersistent* Source)
{
    if (dynamic_cast<const TvlCustomGridTableItemCustomOptions*>(Source) != nullptr)
        return;
    TPersistent::Assign(Source);
}

void TvlCustomGridTableItemOptions::SetEditing(bool Value)
{
    if (FEditing == Value)
        return;
    FEditing = Value;
    if (!Value && Item()->Editing())
        Item()->SetEditing(false);
    Changed(vckLayout);
}

void TvlCustomGridTableItemOptions::SetFiltering(bool Value)
{
    if (FFiltering == Value)
        return;
    FFiltering = Value;
    Item()->filterableItemsChanged();
    Changed(vckLayout);
}

void TvlCustomGridTableItemOptions::SetFilteringFilteredItemsList(bool Value)
{
    vlGridSetOption(this, FFilteringFilteredItemsList, Value, vckProperty);
}
void TvlCustomGridTableItemOptions::SetFilteringMRUItemsList(bool Value)
{
    vlGridSetOption(this, FFilteringMRUItemsList, Value, vckProperty);
}
void TvlCustomGridTableItemOptions::SetFilteringPopup(bool Value) { vlGridSetOption(this, FFilteringPopup, Value, vckSize); }
void TvlCustomGridTableItemOptions::SetFilteringPopupMultiSelect(bool Value)
{
    vlGridSetOption(this, FFilteringPopupMultiSelect, Value, vckProperty);
}

void TvlCustomGridTableItemOptions::SetFocusing(bool Value)
{
    if (FFocusing == Value)
        return;
    FFocusing = Value;
    if (!Value)
        Item()->SetFocused(false);
    Changed(vckProperty);
}

void TvlCustomGridTableItemOptions::SetGrouping(bool Value) { vlGridSetOption(this, FGrouping, Value, vckProperty); }

void TvlCustomGridTableItemOptions::SetIgnoreTimeForFiltering(bool Value)
{
    if (FIgnoreTimeForFiltering == Value)
        return;
    FIgnoreTimeForFiltering = Value;
    if (TvlCustomDataController* controller = Item()->dataControllerOfView())
        controller->Refresh();
}

void TvlCustomGridTableItemOptions::SetIncSearch(bool Value)
{
    if (FIncSearch == Value)
        return;
    if (!Value)
        Item()->cancelIncSearching();
    FIncSearch = Value;
    Changed(vckProperty);
}

void TvlCustomGridTableItemOptions::SetMoving(bool Value) { vlGridSetOption(this, FMoving, Value, vckProperty); }

void TvlCustomGridTableItemOptions::SetShowCaption(bool Value)
{
    if (FShowCaption == Value)
        return;
    ShowCaptionChanging();
    FShowCaption = Value;
    Changed(vckSize);
}

void TvlCustomGridTableItemOptions::SetShowEditButtons(TvlGridItemShowEditButtons Value)
{
    vlGridSetOption(this, FShowEditButtons, Value, vckSize);
}

void TvlCustomGridTableItemOptions::SetSortByDisplayText(TvlGridItemSortByDisplayText Value)
{
    if (FSortByDisplayText == Value)
        return;
    FSortByDisplayText = Value;
    if (TvlCustomDataController* controller = Item()->dataControllerOfView())
        controller->Refresh();
}

void TvlCustomGridTableItemOptions::SetSorting(bool Value) { vlGridSetOption(this, FSorting, Value, vckProperty); }

void TvlCustomGridTableItemOptions::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridTableItemOptions*>(Source)) {
        SetEditing(source->Editing());
        SetFiltering(source->Filtering());
        SetFilteringFilteredItemsList(source->FilteringFilteredItemsList());
        SetFilteringMRUItemsList(source->FilteringMRUItemsList());
        SetFilteringPopup(source->FilteringPopup());
        SetFilteringPopupMultiSelect(source->FilteringPopupMultiSelect());
        SetFocusing(source->Focusing());
        SetGrouping(source->Grouping());
        SetIgnoreTimeForFiltering(source->IgnoreTimeForFiltering());
        SetIncSearch(source->IncSearch());
        SetMoving(source->Moving());
        SetShowCaption(source->ShowCaption());
        SetShowEditButtons(source->ShowEditButtons());
        SetSortByDisplayText(source->SortByDisplayText());
        SetSorting(source->Sorting());
    }
    TvlCustomGridTableItemCustomOptions::Assign(Source);
}

// ---- item styles ---------------------------------------------------------------------------------

TvlCustomGridTableItemStyles::TvlCustomGridTableItemStyles(TvlCustomGridTableItem* AItem) : TvlCustomGridStyles(AItem), FItem(AItem) {}

TvlCustomGridView* TvlCustomGridTableItemStyles::GetGridView() const { return FItem->gridViewBase(); }

void TvlCustomGridTableItemStyles::SetOnGetContentStyle(const TvlGridGetCellStyleEvent& Value)
{
    if (FOnGetContentStyle == Value)
        return;
    FOnGetContentStyle = Value;
    FItem->Changed(vckProperty);
}

void TvlCustomGridTableItemStyles::Assign(const TPersistent* Source)
{
    TvlCustomGridStyles::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlCustomGridTableItemStyles*>(Source)) {
        SetContent(source->Content());
        SetOnGetContentStyle(source->OnGetContentStyle());
    }
}

// ---- item -----------------------------------------------------------------------------------------

TvlCustomGridTableItem::TvlCustomGridTableItem(TComponent* AOwner) : TvlComponent(AOwner) { CreateSubObjects(); }

TvlCustomGridTableItem::~TvlCustomGridTableItem()
{
    Destroying();
    SetRepositoryItem(nullptr);
    forgetLastDefaultRepositoryItem();
    leaveView();
    DestroySubObjects();
    FSharedEditViewData.reset();
    FCellStyle.reset();
}

TvlCustomGridTableItem::TOptionsClass TvlCustomGridTableItem::GetOptionsClass() const
{
    return &vlGridCreate<TvlCustomGridTableItemOptions, TvlCustomGridTableItemOptions, TvlCustomGridTableItem*>;
}

TvlCustomGridTableItem::TStylesClass TvlCustomGridTableItem::GetStylesClass() const
{
    return &vlGridCreate<TvlCustomGridTableItemStyles, TvlCustomGridTableItemStyles, TvlCustomGridTableItem*>;
}

void TvlCustomGridTableItem::CreateSubObjects()
{
    FOptions = GetOptionsClass()(this);
    FStyles = GetStylesClass()(this);
}

void TvlCustomGridTableItem::DestroySubObjects()
{
    FProperties.reset();
    FStyles.reset();
    FOptions.reset();
}

void TvlCustomGridTableItem::recreateSubObjects()
{
    DestroySubObjects();
    CreateSubObjects();
}

bool TvlCustomGridTableItem::IsDestroying() const { return ComponentState().Contains(csDestroying); }

bool TvlCustomGridTableItem::IsLoading() const
{
    if (FIgnoreLoadingStatus)
        return false;
    return ComponentState().Contains(csLoading) || (FGridView != nullptr && gridViewBase()->IsLoading());
}

void TvlCustomGridTableItem::Changed(TvlViewChangeKind AKind)
{
    if (FGridView != nullptr)
        gridViewBase()->Changed(AKind);
}

// ---- caption

String TvlCustomGridTableItem::Caption() const { return FIsCaptionAssigned ? FCaption : GetDefaultCaption(); }

void TvlCustomGridTableItem::SetCaption(const String& Value)
{
    if (Value == Caption() && (FIsCaptionAssigned || Value == GetDefaultCaption()))
        return;
    FCaption = Value;
    FIsCaptionAssigned = true;
    CaptionChanged();
}

bool TvlCustomGridTableItem::IsCaptionStored() const { return FIsCaptionAssigned && FCaption != GetDefaultCaption(); }

void TvlCustomGridTableItem::SetAlternateCaption(const String& Value)
{
    if (FAlternateCaption == Value)
        return;
    FAlternateCaption = Value;
    CaptionChanged();
}

String TvlCustomGridTableItem::GetAlternateCaption() const
{
    return FAlternateCaption.isEmpty() ? GetCaptionForAlternate() : FAlternateCaption;
}

void TvlCustomGridTableItem::SetTag(int Value)
{
    if (FTag == Value)
        return;
    FTag = Value;
    Changed(vckProperty);
}

// ---- editor properties

String TvlCustomGridTableItem::PropertiesClassName() const
{
    return FPropertiesClass != nullptr ? FPropertiesClass->ClassName : String();
}

void TvlCustomGridTableItem::SetPropertiesClassName(const String& Value)
{
    SetPropertiesClass(GetRegisteredEditProperties()->FindByClassName(Value));
}

void TvlCustomGridTableItem::SetPropertiesClass(TvlClass Value)
{
    if (FPropertiesClass == Value)
        return;
    if (FProperties != nullptr)
        releaseInplaceEditor(FProperties.get());
    FPropertiesClass = Value;
    FProperties.reset();
    if (Value != nullptr) {
        FProperties = CreateEditProperties(Value, this);
        if (FProperties != nullptr)
            FProperties->OnPropertiesChanged = TNotifyEvent(this, &TvlCustomGridTableItem::propertiesChangedHandler);
    }
    RecalculatePropertiesValue();
    PropertiesChanged();
}

void TvlCustomGridTableItem::SetProperties(const TvlCustomEditProperties* Value)
{
    if (FProperties != nullptr && Value != nullptr)
        FProperties->Assign(Value);
}

void TvlCustomGridTableItem::propertiesChangedHandler(TObject*)
{
    if (!isPatternView())
        PropertiesChanged();
}

void TvlCustomGridTableItem::SetRepositoryItem(TvlEditRepositoryItem* Value)
{
    if (FRepositoryItem == Value)
        return;
    if (FRepositoryItem != nullptr) {
        FRepositoryItem->DetachObserver(this);
        releaseInplaceEditor(FRepositoryItem->Properties());
    }
    FRepositoryItem = Value;
    if (FRepositoryItem != nullptr)
        FRepositoryItem->AttachObserver(this);
    RecalculatePropertiesValue();
    PropertiesChanged();
}

void TvlCustomGridTableItem::RepositoryItemFreed(TvlEditRepositoryItem* AItem)
{
    if (AItem == FLastUsedDefaultRepositoryItem) {
        forgetLastDefaultRepositoryItem();
        RecalculatePropertiesValue();
    } else if (AItem == FRepositoryItem)
        SetRepositoryItem(nullptr);
}

void TvlCustomGridTableItem::ItemPropertiesChanged(TvlEditRepositoryItem*)
{
    if (!isPatternView())
        PropertiesChanged();
}

void TvlCustomGridTableItem::forgetLastDefaultRepositoryItem()
{
    if (FLastUsedDefaultRepositoryItem == nullptr)
        return;
    if (FLastUsedDefaultRepositoryItem != FRepositoryItem)
        FLastUsedDefaultRepositoryItem->DetachObserver(this);
    FLastUsedDefaultRepositoryItem = nullptr;
}

TvlCustomEditProperties* TvlCustomGridTableItem::getRepositoryItemValue()
{
    if (FRepositoryItem != nullptr)
        return FRepositoryItem->Properties();
    if (IsDestroying())
        return nullptr;
    TvlEditRepositoryItem* defaultItem = defaultRepositoryItem();
    if (defaultItem == nullptr)
        return nullptr;
    defaultItem->AttachObserver(this);
    FLastUsedDefaultRepositoryItem = defaultItem;
    return defaultItem->Properties();
}

TvlCustomEditProperties* TvlCustomGridTableItem::getPropertiesValue()
{
    forgetLastDefaultRepositoryItem();
    if (FGridView == nullptr)
        return nullptr;
    if (FRepositoryItem == nullptr && FProperties != nullptr)
        return FProperties.get();
    return getRepositoryItemValue();
}

void TvlCustomGridTableItem::RecalculatePropertiesValue()
{
    FPropertiesValue = getPropertiesValue();
    if (!IsDestroying() && FPropertiesValue != nullptr)
        if (TvlCustomDataController* controller = dataControllerOfView())
            controller->Refresh();
}

void TvlCustomGridTableItem::PropertiesChanged()
{
    if (FGridView == nullptr || viewIgnoresPropertiesChanges())
        return;
    if (!IsDestroying())
        filterableItemsChanged();
    if (IsDestroying())
        return;
    TvlCustomDataController* controller = dataControllerOfView();
    if (controller == nullptr || !controller->RefreshIfItemSorted(FIndex))
        Changed(vckSize);
}

void TvlCustomGridTableItem::InitProperties(TvlCustomEditProperties* AProperties)
{
    if (AProperties == nullptr)
        return;
    AProperties->LockUpdate(true);
    AProperties->SetDefaultValuesProvider(defaultValuesProvider());
    AProperties->LockUpdate(false);
}

TvlCustomEditProperties* TvlCustomGridTableItem::GetProperties()
{
    InitProperties(FPropertiesValue);
    return FPropertiesValue;
}

TvlCustomEditProperties* TvlCustomGridTableItem::DoGetProperties(TvlCustomGridRecord* ARecord)
{
    TvlCustomEditProperties* result = FPropertiesValue;
    if (FOnGetProperties.Assigned())
        FOnGetProperties(this, ARecord, result);
    return result;
}

TvlCustomEditProperties* TvlCustomGridTableItem::GetRecordProperties(TvlCustomGridRecord* ARecord)
{
    TvlCustomEditProperties* result = DoGetProperties(ARecord);
    InitProperties(result);
    return result;
}

void TvlCustomGridTableItem::DoGetPropertiesForEdit(TvlCustomGridRecord* ARecord, TvlCustomEditProperties*& AProperties)
{
    if (FOnGetPropertiesForEdit.Assigned())
        FOnGetPropertiesForEdit(this, ARecord, AProperties);
}

bool TvlCustomGridTableItem::IsSortingByDisplayText(bool ACheckProperties)
{
    switch (FOptions->SortByDisplayText()) {
    case isbtOn:
        return true;
    case isbtOff:
        return false;
    default:
        if (FOnGetDataText.Assigned())
            return true;
        return ACheckProperties && supports(FPropertiesValue, vlesoSortingByDisplayText);
    }
}

// ---- capabilities

bool TvlCustomGridTableItem::CanAutoHeight() { return supports(FPropertiesValue, vlesoAutoHeight); }

bool TvlCustomGridTableItem::CanFilter(bool AVisually)
{
    if (!supports(FPropertiesValue, vlesoFiltering) || !FOptions->Filtering())
        return false;
    return !AVisually || (viewOptionsCustomize()->ItemFiltering() && FOptions->FilteringPopup());
}

bool TvlCustomGridTableItem::CanGroup()
{
    return supports(FPropertiesValue, vlesoSorting) && viewOptionsCustomize()->ItemGrouping() && FOptions->Grouping();
}

bool TvlCustomGridTableItem::CanHide() { return !(IsFirst() && IsLast()) && CanMove(); }

bool TvlCustomGridTableItem::CanHorzSize() const { return !HasFixedWidth(); }

bool TvlCustomGridTableItem::CanIncSearch()
{
    return supports(FPropertiesValue, vlesoIncSearch) && viewOptionsBehavior()->IncSearch() && FOptions->IncSearch();
}

bool TvlCustomGridTableItem::CanMove() const
{
    return ComponentState().Contains(csDesigning) || (viewOptionsCustomize()->ItemMoving() && FOptions->Moving());
}

bool TvlCustomGridTableItem::CanSort()
{
    return supports(FPropertiesValue, vlesoSorting) && viewOptionsCustomize()->ItemSorting() && FOptions->Sorting();
}

bool TvlCustomGridTableItem::CanInitEditing()
{
    TvlCustomDataController* controller = dataControllerOfView();
    return controller != nullptr && controller->CanInitEditing(FIndex);
}

bool TvlCustomGridTableItem::IsEditingAllowed() const
{
    return viewOptionsData()->Editing() && FOptions->Editing();
}

bool TvlCustomGridTableItem::ShowButtons(bool AIsFocusedRecord) const
{
    switch (FOptions->ShowEditButtons()) {
    case isebAlways:
        return true;
    case isebNever:
        return false;
    default:
        switch (viewOptionsView()->ShowEditButtons()) {
        case gsebAlways:
            return true;
        case gsebForFocusedRecord:
            return AIsFocusedRecord;
        default:
            return false;
        }
    }
}

// ---- width

void TvlCustomGridTableItem::CheckWidthValue(int& Value) const
{
    Value = std::max(Value, GetMinWidth());
}

int TvlCustomGridTableItem::Width() const { return FIsWidthAssigned ? FWidth : GetDefaultWidth(); }

void TvlCustomGridTableItem::SetWidth(int Value)
{
    CheckWidthValue(Value);
    const bool loading = IsLoading();
    if (!loading && Value == Width())
        return;
    FWidth = Value;
    FIsWidthAssigned = true;
    if (!loading)
        Changed(vckSize);
}

int TvlCustomGridTableItem::MinWidth() const { return HasFixedWidth() ? Width() : FMinWidth; }

void TvlCustomGridTableItem::SetMinWidth(int Value)
{
    Value = std::max(Value, 0);
    if (FMinWidth == Value)
        return;
    FMinWidth = Value;
    if (IsLoading())
        return;
    if (Width() < GetMinWidth())
        SetWidth(GetMinWidth());
    else
        Changed(vckSize);
}

void TvlCustomGridTableItem::SetBestFitMaxWidth(int Value)
{
    Value = std::max(Value, 0);
    if (FBestFitMaxWidth == Value)
        return;
    FBestFitMaxWidth = Value;
    Changed(vckProperty);
}

void TvlCustomGridTableItem::SetHeaderAlignmentHorz(TAlignment Value)
{
    if (FHeaderAlignmentHorz == Value)
        return;
    FHeaderAlignmentHorz = Value;
    FIsHeaderAlignmentHorzAssigned = true;
    Changed(vckLayout);
}

void TvlCustomGridTableItem::SetHeaderAlignmentVert(TvlAlignmentVert Value)
{
    if (FHeaderAlignmentVert == Value)
        return;
    FHeaderAlignmentVert = Value;
    FIsHeaderAlignmentVertAssigned = true;
    Changed(vckLayout);
}

void TvlCustomGridTableItem::RestoreDefaults()
{
    FIsCaptionAssigned = false;
    FIsHeaderAlignmentHorzAssigned = false;
    FIsHeaderAlignmentVertAssigned = false;
    FIsWidthAssigned = false;
    Changed(vckSize);
}

int TvlCustomGridTableItem::GetBestFitWidth()
{
    const int result = CalculateBestFitWidth();
    return FBestFitMaxWidth != 0 ? std::min(result, FBestFitMaxWidth) : result;
}

// ---- visibility

void TvlCustomGridTableItem::SetVisibleForCustomization(bool Value)
{
    if (Value == GetVisibleForCustomization())
        return;
    FVisibleForCustomization = Value;
    VisibleForCustomizationChanged();
}

// ---- date-time grouping

void TvlCustomGridTableItem::SetDateTimeGrouping(TvlGridDateTimeGrouping Value)
{
    if (FDateTimeGrouping == Value)
        return;
    FDateTimeGrouping = Value;
    DateTimeGroupingChanged();
}

// ---- events

#define VL_ITEM_EVENT_SETTER(Name, Type, Kind)                         \
    void TvlCustomGridTableItem::Set##Name(const Type& Value)          \
    {                                                                  \
        F##Name = Value;                                               \
        Changed(Kind);                                                 \
    }

VL_ITEM_EVENT_SETTER(OnCustomDrawCell, TvlGridTableDataCellCustomDrawEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnGetCellHint, TvlGridGetCellHintEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnGetDataText, TvlGridGetDataTextEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnGetDisplayText, TvlGridGetDisplayTextEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnGetFilterDisplayText, TvlGridGetFilterDisplayTextEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnGetFilterValues, TvlGridGetFilterValuesEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnGetProperties, TvlGridGetPropertiesEvent, vckLayout)
VL_ITEM_EVENT_SETTER(OnGetPropertiesForEdit, TvlGridGetPropertiesEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnGetStoredProperties, TvlGridTableItemGetStoredPropertiesEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnGetStoredPropertyValue, TvlGridTableItemGetStoredPropertyValueEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnSetStoredPropertyValue, TvlGridTableItemSetStoredPropertyValueEvent, vckProperty)
VL_ITEM_EVENT_SETTER(OnUserFiltering, TvlGridUserFilteringEvent, vckProperty)

#undef VL_ITEM_EVENT_SETTER

void TvlCustomGridTableItem::DoCustomDrawCell(TvlCanvas* ACanvas, TvlGridTableDataCellViewInfo* AViewInfo, bool& ADone)
{
    if (FOnCustomDrawCell.Assigned())
        FOnCustomDrawCell(FGridView, ACanvas, AViewInfo, ADone);
}

void TvlCustomGridTableItem::DoGetDataText(int ARecordIndex, String& AText)
{
    if (FOnGetDataText.Assigned())
        FOnGetDataText(this, ARecordIndex, AText);
}

void TvlCustomGridTableItem::DoGetDisplayText(TvlCustomGridRecord* ARecord, String& AText)
{
    if (FOnGetDisplayText.Assigned())
        FOnGetDisplayText(this, ARecord, AText);
}

// ---- cells

TvlCustomEditStyle* TvlCustomGridTableItem::GetCellStyle()
{
    if (FCellStyleUseCount == 0 && FCellStyle == nullptr)
        FCellStyle = CreateCellStyle();
    ++FCellStyleUseCount;
    return FCellStyle.get();
}

void TvlCustomGridTableItem::ReleaseCellStyle()
{
    if (FCellStyleUseCount == 0)
        return;
    if (--FCellStyleUseCount == 0)
        FCellStyle.reset();
}

std::unique_ptr<TvlCustomEditStyle> TvlCustomGridTableItem::CreateCellStyle()
{
    auto result = std::make_unique<TvlEditStyle>(nullptr, csNormal, nullptr, true);
    if (FGridView != nullptr && gridViewBase()->Control() != nullptr)
        result->LookAndFeel()->SetMasterLookAndFeel(gridViewBase()->Control()->LookAndFeel());
    return result;
}

void TvlCustomGridTableItem::InitStyle(TvlCustomEditStyle* AStyle, const TvlViewParams& AParams, bool AIsFocusedRecord)
{
    AStyle->SetColor(AParams.Color);
    AStyle->SetFont(AParams.Font);
    AStyle->SetTextColor(AParams.TextColor);
    AStyle->SetButtonTransparency(ShowButtons(AIsFocusedRecord) ? ebtNone : ebtHideInactive);
    AStyle->SetHotTrack(true);
}

// ---- stored layout

String TvlCustomGridTableItem::GetStoredObjectName() const
{
    if (FGridView != nullptr && viewStoresByID())
        return String::number(FID);
    return Name();
}

bool TvlCustomGridTableItem::GetStoredProperties(TStrings* AProperties)
{
    if (FPropertiesValue != nullptr)
        AProperties->Add(QStringLiteral("AlignmentHorz"));
    AProperties->Add(QStringLiteral("Index"));
    AProperties->Add(QStringLiteral("Visible"));
    AProperties->Add(QStringLiteral("SortOrder"));
    AProperties->Add(QStringLiteral("SortIndex"));
    AProperties->Add(QStringLiteral("WasVisibleBeforeGrouping"));
    if (FOnGetStoredProperties.Assigned())
        FOnGetStoredProperties(this, AProperties);
    return true;
}

void TvlCustomGridTableItem::GetStoredPropertyValue(const String& AName, Variant& AValue)
{
    if (AName == QLatin1String("AlignmentHorz")) {
        if (FPropertiesValue != nullptr)
            AValue = static_cast<unsigned char>(FPropertiesValue->Alignment()->Horz());
    } else if (AName == QLatin1String("Index"))
        AValue = FIndex;
    else if (AName == QLatin1String("Visible"))
        AValue = Visible();
    else if (AName == QLatin1String("SortOrder"))
        AValue = static_cast<unsigned char>(SortOrder());
    else if (AName == QLatin1String("SortIndex"))
        AValue = SortIndex();
    else if (AName == QLatin1String("WasVisibleBeforeGrouping"))
        AValue = FWasVisibleBeforeGrouping;
    else if (FOnGetStoredPropertyValue.Assigned())
        FOnGetStoredPropertyValue(this, AName, AValue);
}

void TvlCustomGridTableItem::SetStoredPropertyValue(const String& AName, const Variant& AValue)
{
    if (AName == QLatin1String("AlignmentHorz")) {
        const auto alignment = TAlignment(AValue.AsInteger());
        if (FPropertiesValue == nullptr || alignment == FPropertiesValue->Alignment()->Horz())
            return;
        // A repository or default editor is shared by other items and
        // editors: the item takes its own properties of that class and the
        // alignment goes there, never into the shared editor.
        if (FProperties == nullptr)
            SetPropertiesClass(FPropertiesValue->ClassInfo());
        if (FProperties != nullptr)
            FProperties->Alignment()->SetHorz(alignment);
    } else if (AName == QLatin1String("Index"))
        SetIndex(AValue.AsInteger());
    else if (AName == QLatin1String("Visible"))
        SetVisible(AValue.AsBoolean());
    else if (AName == QLatin1String("SortOrder"))
        SetSortOrder(TvlDataSortOrder(AValue.AsInteger()));
    else if (AName == QLatin1String("SortIndex"))
        SetSortIndex(AValue.AsInteger());
    else if (AName == QLatin1String("WasVisibleBeforeGrouping"))
        FWasVisibleBeforeGrouping = AValue.AsBoolean();
    else if (FOnSetStoredPropertyValue.Assigned())
        FOnSetStoredPropertyValue(this, AName, AValue);
}

// ---- assignment

void TvlCustomGridTableItem::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomGridTableItem*>(Source);
    if (source == nullptr) {
        TvlComponent::Assign(Source);
        return;
    }
    SetAlternateCaption(source->AlternateCaption());
    SetBestFitMaxWidth(source->BestFitMaxWidth());
    if (source->DataBinding() != nullptr)
        SetDataBinding(source->DataBinding());
    FIsCaptionAssigned = source->FIsCaptionAssigned;
    FCaption = source->FCaption;
    CaptionChanged();
    SetDateTimeGrouping(source->DateTimeGrouping());
    SetGroupIndex(source->GroupIndex());
    FIsHeaderAlignmentHorzAssigned = source->FIsHeaderAlignmentHorzAssigned;
    SetHeaderAlignmentHorz(source->HeaderAlignmentHorz());
    FIsHeaderAlignmentVertAssigned = source->FIsHeaderAlignmentVertAssigned;
    SetHeaderAlignmentVert(source->HeaderAlignmentVert());
    SetMinWidth(source->FMinWidth);
    FOptions->Assign(source->Options());
    SetPropertiesClass(source->PropertiesClass());
    SetProperties(source->Properties());
    SetRepositoryItem(source->RepositoryItem());
    SetSortOrder(source->SortOrder());
    SetSortIndex(source->SortIndex());
    FStyles->Assign(source->Styles());
    SetTag(source->Tag());
    SetVisible(source->Visible());
    SetVisibleForCustomization(source->VisibleForCustomization());
    FIsWidthAssigned = source->FIsWidthAssigned;
    if (FIsWidthAssigned)
        SetWidth(source->FWidth);
    FOnCustomDrawCell = source->FOnCustomDrawCell;
    FOnGetCellHint = source->FOnGetCellHint;
    FOnGetDataText = source->FOnGetDataText;
    FOnGetDisplayText = source->FOnGetDisplayText;
    FOnGetFilterDisplayText = source->FOnGetFilterDisplayText;
    FOnGetFilterValues = source->FOnGetFilterValues;
    FOnGetProperties = source->FOnGetProperties;
    FOnGetPropertiesForEdit = source->FOnGetPropertiesForEdit;
    FOnGetStoredProperties = source->FOnGetStoredProperties;
    FOnGetStoredPropertyValue = source->FOnGetStoredPropertyValue;
    FOnSetStoredPropertyValue = source->FOnSetStoredPropertyValue;
    FOnUserFiltering = source->FOnUserFiltering;
}

// ---- the view's side -------------------------------------------------------------------------------

TvlCustomGridTableView* TvlCustomGridTableItemStyles::GridView() const { return FItem->GridView(); }

void TvlCustomGridTableItemStyles::DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams)
{
    if (Index == isContent && GridView() != nullptr)
        GridView()->Styles()->GetContentParams(static_cast<TvlCustomGridRecord*>(AData), FItem, AParams);
    else
        TvlCustomGridStyles::DefaultViewParams(Index, AData, AParams);
}

void TvlCustomGridTableItemStyles::GetContentParams(TvlCustomGridRecord* ARecord, TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    if (ARecord != nullptr && FOnGetContentStyle.Assigned())
        FOnGetContentStyle(GridView(), ARecord, FItem, style);
    ResolveViewParams(isContent, ARecord, style, AParams);
}

TvlCustomGridView* TvlCustomGridTableItem::gridViewBase() const { return FGridView; }

TvlGridDataController* TvlCustomGridTableItem::DataController() const
{
    return FGridView != nullptr ? FGridView->DataController() : nullptr;
}

TvlCustomDataController* TvlCustomGridTableItem::dataControllerOfView() const { return DataController(); }

TvlCustomGridTableOptionsBehavior* TvlCustomGridTableItem::viewOptionsBehavior() const { return FGridView->OptionsBehavior(); }
TvlCustomGridTableOptionsCustomize* TvlCustomGridTableItem::viewOptionsCustomize() const { return FGridView->OptionsCustomize(); }
TvlCustomGridTableOptionsData* TvlCustomGridTableItem::viewOptionsData() const { return FGridView->OptionsData(); }
TvlCustomGridTableOptionsView* TvlCustomGridTableItem::viewOptionsView() const { return FGridView->OptionsView(); }

bool TvlCustomGridTableItem::isPatternView() const { return FGridView != nullptr && FGridView->IsPattern() && FGridView->CloneCount() > 0; }

// Changes of the properties of a pattern's items reach the clones through
// the pattern's synchronization; the pattern itself ignores them.
bool TvlCustomGridTableItem::viewIgnoresPropertiesChanges() const
{
    const TvlCustomGridView* view = FGridView;
    if (view->PatternGridView() != nullptr)
        view = view->PatternGridView();
    return view->IsDestroying();
}

bool TvlCustomGridTableItem::viewStoresByID() const { return false; }

void TvlCustomGridTableItem::filterableItemsChanged()
{
    if (FGridView != nullptr && !FGridView->IsDestroying())
        FGridView->RefreshFilterableItemsList();
}

void TvlCustomGridTableItem::cancelIncSearching()
{
    // Incremental search comes with the record view's keyboard controller.
}

void TvlCustomGridTableItem::releaseInplaceEditor(TvlCustomEditProperties*)
{
    // The editing controller keeps in-place editors per properties object;
    // until it exists there is none to release.
}

TvlEditRepositoryItem* TvlCustomGridTableItem::defaultRepositoryItem() const
{
    return FDataBinding != nullptr ? FDataBinding->GetDefaultRepositoryItem() : nullptr;
}

IvlEditDefaultValuesProvider* TvlCustomGridTableItem::defaultValuesProvider() const
{
    return FDataBinding != nullptr ? FDataBinding->GetDefaultValuesProvider() : nullptr;
}

void TvlCustomGridTableItem::leaveView()
{
    if (FGridView != nullptr)
        FGridView->RemoveItem(this);
}

void TvlCustomGridTableItem::SetGridView(TvlCustomGridTableView* Value)
{
    FGridView = Value;
    if (Value != nullptr)
        CreateDataBinding();
    else
        DestroyDataBinding();
    RecalculatePropertiesValue();
}

void TvlCustomGridTableItem::CreateDataBinding()
{
    FDataBinding = FGridView->GetItemDataBindingClass()(this);
    FDataBinding->SetValueTypeClass(FDataBinding->GetDefaultValueTypeClass());
}

void TvlCustomGridTableItem::DestroyDataBinding() { FDataBinding.reset(); }

void TvlCustomGridTableItem::SetDataBinding(const TvlGridItemDataBinding* Value)
{
    if (FDataBinding != nullptr)
        FDataBinding->Assign(Value);
}

TComponent* TvlCustomGridTableItem::GetParentComponent() const { return FGridView; }

void TvlCustomGridTableItem::SetParentComponent(TComponent* AParent)
{
    if (auto* view = dynamic_cast<TvlCustomGridTableView*>(AParent))
        view->AddItem(this);
}

String TvlCustomGridTableItem::GetDefaultCaption() const
{
    return FDataBinding != nullptr ? FDataBinding->GetDefaultCaption() : String();
}

int TvlCustomGridTableItem::GetDefaultWidth() const
{
    return FDataBinding != nullptr ? FDataBinding->GetDefaultWidth(true) : 64;
}

void TvlCustomGridTableItem::SetIndex(int Value)
{
    if (FGridView != nullptr)
        FGridView->ChangeItemIndex(this, Value);
}

bool TvlCustomGridTableItem::IsLast() const
{
    return FGridView != nullptr && FVisibleIndex >= 0 && FVisibleIndex + 1 == FGridView->VisibleItemCount();
}

void TvlCustomGridTableItem::SetVisible(bool Value)
{
    if (Value == GetVisible())
        return;
    if (FGridView == nullptr) {
        FVisible = Value;
        VisibleChanged();
        return;
    }
    std::vector<std::pair<TvlCustomGridTableItem*, bool>> before;
    for (int i = 0; i < FGridView->ItemCount(); ++i)
        before.emplace_back(FGridView->Items(i), FGridView->Items(i)->GetActuallyVisible());
    FVisible = Value;
    VisibleChanged();
    FGridView->BeginUpdate();
    try {
        for (const auto& [item, wasVisible] : before)
            if (item->GetActuallyVisible() != wasVisible)
                FGridView->ItemVisibilityChanged(item, !wasVisible);
    } catch (...) {
        FGridView->EndUpdate();
        throw;
    }
    FGridView->EndUpdate();
    if (FGridView->Controller() != nullptr)
        FGridView->Controller()->RefreshCustomizationForm();
}

void TvlCustomGridTableItem::VisibleForCustomizationChanged()
{
    if (FGridView != nullptr && FGridView->Controller() != nullptr)
        FGridView->Controller()->RefreshCustomizationForm();
    Changed(vckProperty);
}

void TvlCustomGridTableItem::CaptionChanged()
{
    if (FGridView != nullptr)
        FGridView->ItemCaptionChanged(this);
}

void TvlCustomGridTableItem::DataChanged()
{
    if (FDataBinding != nullptr)
        FDataBinding->Init();
}

void TvlCustomGridTableItem::DateTimeGroupingChanged()
{
    // The grouping date ranges come with grouping by dates; the rows are
    // regrouped in any case.
    if (TvlCustomDataController* controller = dataControllerOfView())
        controller->Refresh();
}

void TvlCustomGridTableItem::ValueTypeClassChanged()
{
    if (FDataBinding != nullptr)
        FDataBinding->Init();
    RecalculatePropertiesValue();
    if (FProperties != nullptr)
        FProperties->Changed();
}

TvlGridDateTimeFilters TvlCustomGridTableItem::GetDateTimeFilters() const
{
    return FGridView != nullptr ? FGridView->DateTimeHandling()->Filters() : TvlGridDateTimeFilters();
}

TvlGridDateTimeGrouping TvlCustomGridTableItem::GetDateTimeGrouping() const
{
    if (FDateTimeGrouping != dtgDefault || FGridView == nullptr)
        return FDateTimeGrouping;
    return FGridView->DateTimeHandling()->Grouping();
}

bool TvlCustomGridTableItem::CanIgnoreTimeForFiltering() const
{
    return FDataBinding != nullptr && IsDateTimeValueTypeClass(FDataBinding->GetValueTypeClass()) &&
           FGridView->DateTimeHandling()->IgnoreTimeForFiltering() && FOptions->IgnoreTimeForFiltering();
}

bool TvlCustomGridTableItem::CanFilterUsingChecks() const
{
    return FGridView != nullptr && FGridView->Filtering()->ItemPopup()->MultiSelect() && FOptions->FilteringPopupMultiSelect();
}

bool TvlCustomGridTableItem::CanFilterMRUValueItems() const
{
    return FGridView != nullptr && FGridView->Filtering()->ItemMRUItemsList() && FOptions->FilteringMRUItemsList() &&
           !CanFilterUsingChecks();
}

bool TvlCustomGridTableItem::UseFilteredValuesForFilterList() const
{
    return FGridView != nullptr && FGridView->Filtering()->ItemFilteredItemsList() && FOptions->FilteringFilteredItemsList();
}

bool TvlCustomGridTableItem::CanFocus(TvlCustomGridRecord* ARecord)
{
    if (!GetActuallyVisible() || !FOptions->Focusing() || FGridView == nullptr)
        return false;
    return ARecord == nullptr ? FGridView->OptionsSelection()->CellSelect() : ARecord->CanFocusCells();
}

// ---- focus and editing

TvlCustomGridRecord* TvlCustomGridTableItem::focusedRecord() const
{
    if (FGridView == nullptr || FGridView->ViewData() == nullptr)
        return nullptr;
    return FGridView->ViewData()->GetRecordByIndex(FGridView->DataController()->GetFocusedRowIndex());
}

bool TvlCustomGridTableItem::Focused() const { return FGridView != nullptr && FGridView->FocusedItem() == this; }

void TvlCustomGridTableItem::SetFocused(bool Value)
{
    if (FGridView == nullptr)
        return;
    if (Value) {
        FGridView->SetFocusedItem(this);
        return;
    }
    if (!Focused())
        return;
    // The focus moves on to the next item of the record that takes it.
    const int count = FGridView->VisibleItemCount();
    TvlCustomGridRecord* record = focusedRecord();
    for (int i = 1; i < count; ++i) {
        TvlCustomGridTableItem* candidate = FGridView->VisibleItems((std::max(FVisibleIndex, 0) + i) % count);
        if (candidate->CanFocus(record)) {
            FGridView->SetFocusedItem(candidate);
            if (FGridView->FocusedItem() == candidate)
                return;
        }
    }
    FGridView->SetFocusedItem(nullptr);
}

// In-place editing comes with the editing controller: until it exists no
// item is being edited.
bool TvlCustomGridTableItem::Editing() const { return false; }

void TvlCustomGridTableItem::SetEditing(bool) {}

bool TvlCustomGridTableItem::CanEdit()
{
    TvlGridDataController* controller = DataController();
    return controller != nullptr && CanFocus(focusedRecord()) && IsEditingAllowed() && GetFocusedCellViewInfo() != nullptr &&
           controller->GetEditOperations().Contains(deoEdit);
}

TvlCustomGridCellViewInfo* TvlCustomGridTableItem::GetFocusedCellViewInfo()
{
    TvlCustomGridRecord* record = focusedRecord();
    if (record == nullptr || record->ViewInfo() == nullptr)
        return nullptr;
    return record->ViewInfo()->GetCellViewInfoByItem(this);
}

bool TvlCustomGridTableItem::IsFocusedCellClipped() { return CanScroll() && GetFocusedCellViewInfo() != nullptr; }

TvlCustomEditProperties* TvlCustomGridTableItem::GetPropertiesForRecordIndex(int ARecordIndex)
{
    if (FOnGetProperties.Assigned() && FGridView != nullptr)
        if (TvlCustomGridRecord* record = FGridView->ViewData()->GetRecordByRecordIndex(ARecordIndex))
            return GetRecordProperties(record);
    return GetProperties();
}

TvlCustomEditProperties* TvlCustomGridTableItem::GetPropertiesForEdit()
{
    TvlCustomGridRecord* record = focusedRecord();
    TvlCustomEditProperties* result = GetRecordProperties(record);
    DoGetPropertiesForEdit(record, result);
    InitProperties(result);
    return result;
}

TvlCustomEditProperties* TvlCustomGridTableItem::GetEditingProperties() { return GetPropertiesForEdit(); }

Variant TvlCustomGridTableItem::GetEditValue()
{
    TvlGridDataController* controller = DataController();
    if (controller == nullptr || controller->GetFocusedRecordIndex() < 0)
        return Null();
    TvlCustomEditProperties* properties = GetEditingProperties();
    return controller->GetEditValue(FIndex, properties != nullptr ? properties->GetEditValueSource(true) : 0);
}

void TvlCustomGridTableItem::SetEditValue(const Variant& AValue)
{
    TvlGridDataController* controller = DataController();
    if (controller == nullptr)
        return;
    TvlCustomEditProperties* properties = GetEditingProperties();
    controller->SetEditValue(FIndex, AValue, properties != nullptr ? properties->GetEditValueSource(true) : 0);
}

// ---- sorting and grouping

int TvlCustomGridTableItem::SortIndex() const
{
    const TvlCustomDataController* controller = dataControllerOfView();
    return controller != nullptr && FIndex >= 0 ? controller->GetItemSortingIndex(FIndex) : -1;
}

TvlDataSortOrder TvlCustomGridTableItem::SortOrder() const
{
    const TvlCustomDataController* controller = dataControllerOfView();
    return controller != nullptr && FIndex >= 0 ? controller->GetItemSortOrder(FIndex) : soNone;
}

void TvlCustomGridTableItem::SetSortOrder(TvlDataSortOrder Value)
{
    TvlCustomDataController* controller = dataControllerOfView();
    if (controller == nullptr || FIndex < 0 || Value == SortOrder())
        return;
    THourglass hourglass;
    controller->SetItemSortOrder(FIndex, Value);
}

void TvlCustomGridTableItem::SetSortIndex(int Value)
{
    if (FGridView != nullptr && FGridView->IsAssigningItems() && Value != -1) {
        putPending(FGridView->FAssigningSortedItems, Value, this);
        return;
    }
    ChangeSortIndex(Value);
}

void TvlCustomGridTableItem::ChangeSortIndex(int Value)
{
    TvlCustomDataController* controller = dataControllerOfView();
    if (controller == nullptr || FIndex < 0 || Value == SortIndex())
        return;
    THourglass hourglass;
    controller->SetItemSortingIndex(FIndex, Value);
}

int TvlCustomGridTableItem::GroupIndex() const
{
    const TvlCustomDataController* controller = dataControllerOfView();
    return controller != nullptr && FIndex >= 0 ? controller->Groups()->GetItemGroupIndex(FIndex) : -1;
}

void TvlCustomGridTableItem::SetGroupIndex(int Value)
{
    if (FGridView != nullptr && FGridView->IsAssigningItems() && Value != -1) {
        putPending(FGridView->FAssigningGroupedItems, Value, this);
        return;
    }
    ChangeGroupIndex(Value);
}

void TvlCustomGridTableItem::ChangeGroupIndex(int Value)
{
    TvlCustomDataController* controller = dataControllerOfView();
    if (controller == nullptr || FIndex < 0 || Value == GroupIndex())
        return;
    THourglass hourglass;
    if (GroupIndex() == -1 && !FGridView->IsAfterAssigningItems())
        FWasVisibleBeforeGrouping = GetVisible();
    controller->Groups()->ChangeGroupIndex(FIndex, Value);
}

// ---- width by the user

bool TvlCustomGridTableItem::IsWidthFixed() const { return FSizing || HasFixedWidth(); }

void TvlCustomGridTableItem::ForceWidth(int Value)
{
    FSizing = true;
    try {
        SetWidth(Value);
    } catch (...) {
        FSizing = false;
        throw;
    }
    FSizing = false;
}

void TvlCustomGridTableItem::ApplyBestFit(bool ACheckSizingAbility, bool AFireEvents)
{
    if (isPatternView() || (ACheckSizingAbility && !CanHorzSize()))
        return;
    THourglass hourglass;
    ForceWidth(GetBestFitWidth());
    Changed(vckSize);
    BestFitApplied(AFireEvents);
}

// ---- measuring -------------------------------------------------------------------------------------

std::unique_ptr<TvlCustomEditViewData> TvlCustomGridTableItem::CreateEditViewData(TvlCustomEditProperties* AProperties)
{
    if (AProperties == nullptr)
        return nullptr;
    return AProperties->CreateViewData(GetCellStyle(), true);
}

void TvlCustomGridTableItem::DestroyEditViewData(std::unique_ptr<TvlCustomEditViewData>& AEditViewData)
{
    if (AEditViewData == nullptr)
        return;
    AEditViewData.reset();
    ReleaseCellStyle();
}

void TvlCustomGridTableItem::CreateSharedEditViewData()
{
    if (FSharedEditViewData == nullptr)
        FSharedEditViewData = CreateEditViewData(GetProperties());
}

void TvlCustomGridTableItem::DestroySharedEditViewData() { DestroyEditViewData(FSharedEditViewData); }

TvlCustomEditViewData* TvlCustomGridTableItem::GetEditViewData(TvlCustomEditProperties* AProperties,
                                                               std::unique_ptr<TvlCustomEditViewData>& ALocal)
{
    if (!FOnGetProperties.Assigned() && FSharedEditViewData != nullptr &&
        FSharedEditViewData->Properties() == AProperties)
        return FSharedEditViewData.get();
    ALocal = CreateEditViewData(AProperties);
    return ALocal.get();
}

int TvlCustomGridTableItem::CalculateDefaultCellHeight(TvlCanvas* ACanvas, TFont* AFont)
{
    TvlCustomEditProperties* properties = GetProperties();
    std::unique_ptr<TvlCustomEditViewData> viewData = CreateEditViewData(properties);
    if (viewData == nullptr)
        return 0;
    FCellStyle->SetFont(AFont);
    TSize size{0, 0};
    viewData->GetEditSize(ACanvas, Null(), TvlEditMeasureParams{}, size, nullptr);
    DestroyEditViewData(viewData);
    return size.cy != 0 ? size.cy + 2 : 0;
}

int TvlCustomGridTableItem::CalculateBestFitWidth()
{
    TvlCustomEditProperties* properties = GetProperties();
    if (FGridView == nullptr || properties == nullptr)
        return 0;
    TvlCanvas* canvas = GetScreenCanvas();
    std::unique_ptr<TvlCustomEditViewData> viewData = CreateEditViewData(properties);
    if (viewData == nullptr)
        return 0;
    TvlEditMeasureParams params;
    if (FGridView->OptionsView()->CellAutoHeight() && CanAutoHeight())
        params.MaxLineCount = FGridView->OptionsView()->CellTextMaxLineCount();
    const bool byValue = properties->GetEditValueSource(false) == 0;

    // The records measured: N from the top record (the first one until the
    // view scrolls), or all of them.
    TvlCustomGridTableViewData* records = FGridView->ViewData();
    const int count = records->RecordCount();
    const int maxCount = FGridView->OptionsBehavior()->BestFitMaxRecordCount();
    const int first = 0;
    const int last = maxCount > 0 ? std::min(first + maxCount, count) : count;
    int widest = 0;
    for (int i = first; i < last; ++i) {
        TvlCustomGridRecord* record = records->Records(i);
        if (!record->GetHasCells())
            continue;
        TvlViewParams viewParams;
        FStyles->GetContentParams(record, viewParams);
        InitStyle(FCellStyle.get(), viewParams, true);
        const Variant value = byValue ? record->GetValue(FIndex) : Variant(record->GetDisplayText(FIndex));
        widest = std::max(widest, viewData->MeasureContentCore(canvas, value, params).cx);
    }
    TvlViewParams viewParams;
    FStyles->GetContentParams(nullptr, viewParams);
    InitStyle(FCellStyle.get(), viewParams, true);
    TSize whole{0, 0};
    viewData->GetEditSize(canvas, Null(), params, whole, nullptr);
    const int constantWidth = std::max(0, whole.cx - viewData->MeasureContentCore(canvas, Null(), params).cx);
    DestroyEditViewData(viewData);
    const int result = widest + constantWidth;
    return result != 0 ? result + 2 : 0;
}
