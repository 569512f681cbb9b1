// The grid data controller, the item data binding and the default values
// provider: how an item becomes a field of the view's data controller.
#include "platform/rtl/Exception.h"
#include "platform/rtl/Stream.h"
#include "ui/editors/vlDateUtils.h"
#include "ui/grid/vlGridCustomTableView.h"

namespace {

TvlCustomGridTableItem* itemOf(const TvlGridDataController* AController, int AItemIndex)
{
    TvlCustomGridTableView* view = AController->GridView();
    return view != nullptr && AItemIndex >= 0 && AItemIndex < view->ItemCount() ? view->Items(AItemIndex) : nullptr;
}

TvlCustomGridTableViewData* viewDataOf(const TvlGridDataController* AController)
{
    TvlCustomGridTableView* view = AController->GridView();
    return view != nullptr ? view->ViewData() : nullptr;
}

}  // namespace

// ---- default values provider -------------------------------------------------------------

bool TvlGridDefaultValuesProvider::DefinesDisplayFormat(bool AEditFocused) const
{
    // Only fields bound to a data source carry display formats, and items
    // define none of their own: an unbound grid never has one.
    (void)AEditFocused;
    return false;
}

// ---- item data binding ---------------------------------------------------------------------

TvlGridItemDataBinding::TvlGridItemDataBinding(TvlCustomGridTableItem* AItem) : FItem(AItem)
{
    TvlGridDataController* controller = GetDataController();
    TvlGridDefaultValuesProviderClass providerClass =
        controller != nullptr ? controller->GetDefaultValuesProviderClass()
                              : &vlGridCreate<TvlGridDefaultValuesProvider, TvlGridDefaultValuesProvider, TPersistent*>;
    FDefaultValuesProvider = providerClass(this);
}

TvlGridItemDataBinding::~TvlGridItemDataBinding() = default;

void TvlGridItemDataBinding::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridItemDataBinding*>(Source)) {
        SetData(source->Data());
        if (TvlValueTypeClass valueType = source->GetValueTypeClass())
            SetValueTypeClass(valueType);
        return;
    }
    TPersistent::Assign(Source);
}

void TvlGridItemDataBinding::SetData(TObject* Value)
{
    if (FData == Value)
        return;
    FData = Value;
    FItem->Changed(vckProperty);
}

String TvlGridItemDataBinding::ValueType() const
{
    TvlValueTypeClass valueType = GetValueTypeClass();
    return valueType != nullptr ? valueType->TypeCaption() : String();
}

void TvlGridItemDataBinding::SetValueType(const String& Value)
{
    if (Value == ValueType())
        return;
    TvlValueTypeClass valueType = GetValueTypeClassList()->ItemByCaption(Value);
    // A caption no registered type answers to must not leave the field
    // without a type: the field keeps its type and the reader hears of it.
    if (valueType == nullptr)
        throw EReadError(String::fromLatin1("Invalid property value"));
    SetValueTypeClass(valueType);
}

TvlValueTypeClass TvlGridItemDataBinding::GetDefaultValueTypeClass() const { return TvlStringValueType::Instance(); }

bool TvlGridItemDataBinding::IsValueTypeStored() const { return GetValueTypeClass() != GetDefaultValueTypeClass(); }

TvlEditRepositoryItem* TvlGridItemDataBinding::GetDefaultRepositoryItem() const
{
    // The registry of default editors per value type is not there yet: an
    // item without an editor of its own shows the data controller's texts.
    return nullptr;
}

int TvlGridItemDataBinding::GetDefaultWidth(bool AConsiderHeader) const
{
    (void)AConsiderHeader;
    return 64;
}

TvlDataFilterCriteria* TvlGridItemDataBinding::GetFilterCriteria() const
{
    TvlGridDataController* controller = GetDataController();
    return controller != nullptr ? controller->Filter() : nullptr;
}

TvlFilterCriteriaItem* TvlGridItemDataBinding::GetFilterCondition() const
{
    TvlDataFilterCriteria* criteria = GetFilterCriteria();
    return criteria != nullptr ? criteria->FindItemByItemLink(FItem) : nullptr;
}

void TvlGridItemDataBinding::SetFiltered(bool Value)
{
    if (Value)
        return;
    if (TvlDataFilterCriteria* criteria = GetFilterCriteria())
        criteria->RemoveItemByItemLink(FItem);
}

TvlValueTypeClass TvlGridItemDataBinding::GetValueTypeClass() const
{
    TvlGridDataController* controller = GetDataController();
    if (controller == nullptr || FItem->Index() < 0 || FItem->Index() >= controller->GetItemCount())
        return nullptr;
    return controller->GetItemValueTypeClass(FItem->Index());
}

void TvlGridItemDataBinding::SetValueTypeClass(TvlValueTypeClass Value)
{
    TvlGridDataController* controller = GetDataController();
    if (controller == nullptr || FItem->Index() < 0 || FItem->Index() >= controller->GetItemCount())
        return;
    controller->ChangeValueTypeClass(FItem->Index(), Value);
}

TvlCustomGridTableView* TvlGridItemDataBinding::GetGridView() const { return FItem->GridView(); }

TvlGridDataController* TvlGridItemDataBinding::GetDataController() const
{
    TvlCustomGridTableView* view = GetGridView();
    return view != nullptr ? view->DataController() : nullptr;
}

// ---- grid data controller ------------------------------------------------------------------

TvlGridDataController::TvlGridDataController(IvlDataControllerOwner* AOwner) : TvlDataController(AOwner) {}

TvlCustomGridTableView* TvlGridDataController::GridView() const
{
    return dynamic_cast<TvlCustomGridTableView*>(Owner());
}

TvlGridItemDataBindingClass TvlGridDataController::GetItemDataBindingClass() const
{
    return &vlGridCreate<TvlGridItemDataBinding, TvlGridItemDataBinding, TvlCustomGridTableItem*>;
}

TvlGridDefaultValuesProviderClass TvlGridDataController::GetDefaultValuesProviderClass() const
{
    return &vlGridCreate<TvlGridDefaultValuesProvider, TvlGridDefaultValuesProvider, TPersistent*>;
}

bool TvlGridDataController::IsFirstRecord() const { return IsBOF(); }

bool TvlGridDataController::IsLastRecord() const { return IsEOF(); }

void TvlGridDataController::AssignData(TvlCustomDataController* ASource)
{
    if (ASource == nullptr || ASource == this)
        return;
    if (ASource->HasCustomDataSource()) {
        SetCustomDataSource(nullptr);
        SetCustomDataSource(ASource->GetCustomDataSource());
        return;
    }
    TMemoryStream stream;
    ASource->SaveToStream(&stream);
    stream.SetPosition(0);
    LoadFromStream(&stream);
}

TObject* TvlGridDataController::GetItem(int AIndex) const { return itemOf(this, AIndex); }

int TvlGridDataController::GetItemID(TObject* AItem) const
{
    const auto* item = dynamic_cast<const TvlCustomGridTableItem*>(AItem);
    return item != nullptr ? item->ID() : -1;
}

String TvlGridDataController::GetItemCaption(TObject* AItem) const
{
    const auto* item = dynamic_cast<const TvlCustomGridTableItem*>(AItem);
    return item != nullptr ? item->GetFilterCaption() : String();
}

bool TvlGridDataController::CanSelectRow(int ARowIndex)
{
    TvlCustomGridTableView* view = GridView();
    return view == nullptr || view->CanSelectRecord(ARowIndex);
}

int TvlGridDataController::GetDefaultActiveRelationIndex() const
{
    TvlCustomGridTableView* view = GridView();
    return view != nullptr ? view->GetDefaultActiveDetailIndex() : -1;
}

bool TvlGridDataController::FocusItem(int AItemIndex)
{
    TvlDataController::FocusItem(AItemIndex);
    bool focused = false;
    if (TvlCustomGridTableView* view = GridView())
        view->FocusItemByIndex(AItemIndex, focused);
    return focused;
}

bool TvlGridDataController::CanModifyItem(int AItemIndex)
{
    TvlCustomGridTableItem* item = itemOf(this, AItemIndex);
    TvlCustomEditProperties* properties = item != nullptr ? item->GetProperties() : nullptr;
    return properties == nullptr || properties->CanModify();
}

String TvlGridDataController::GetDisplayText(int ARecordIndex, int AItemIndex) const
{
    String text;
    TvlCustomGridTableViewData* viewData = viewDataOf(this);
    if (viewData == nullptr || !viewData->GetDisplayText(ARecordIndex, AItemIndex, dvpSorting, false, text))
        text = TvlDataController::GetDisplayText(ARecordIndex, AItemIndex);
    if (TvlCustomGridTableItem* item = itemOf(this, AItemIndex))
        item->DoGetDataText(ARecordIndex, text);
    return text;
}

String TvlGridDataController::GetFilterDisplayText(int ARecordIndex, int AItemIndex) const
{
    TvlCustomGridTableViewData* viewData = viewDataOf(this);
    TvlCustomGridTableItem* item = itemOf(this, AItemIndex);
    String text;
    if (viewData != nullptr && item != nullptr && viewData->HasDateRanges(item, dvpFiltering) &&
        viewData->GetDisplayText(ARecordIndex, AItemIndex, dvpFiltering, true, text))
        return text;
    return TvlDataController::GetFilterDisplayText(ARecordIndex, AItemIndex);
}

void TvlGridDataController::GetFilterDataValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue) const
{
    TvlDataController::GetFilterDataValue(ARecordIndex, AField, AValue);
    TvlCustomGridTableViewData* viewData = viewDataOf(this);
    TvlCustomGridTableItem* item = AField != nullptr ? itemOf(this, AField->Index()) : nullptr;
    if (viewData != nullptr && item != nullptr && viewData->HasDateRanges(item, dvpFiltering))
        AValue = viewData->TransformValue(item, AValue, dvpFiltering);
}

int TvlGridDataController::CompareByField(int ARecordIndex1, int ARecordIndex2, TvlCustomDataField* AField)
{
    TvlCustomGridTableViewData* viewData = viewDataOf(this);
    if (viewData != nullptr && viewData->NeedsDateCompare(AField, dvpSorting))
        return viewData->CompareValues(AField, GetValue(ARecordIndex1, AField->Index()), dvpSorting,
                                       GetValue(ARecordIndex2, AField->Index()));
    return TvlDataController::CompareByField(ARecordIndex1, ARecordIndex2, AField);
}

void TvlGridDataController::BeginFullUpdate()
{
    if (TvlCustomGridTableView* view = GridView())
        view->BeginUpdate();
    TvlDataController::BeginFullUpdate();
}

void TvlGridDataController::EndFullUpdate()
{
    TvlDataController::EndFullUpdate();
    if (TvlCustomGridTableView* view = GridView())
        view->EndUpdate();
}

void TvlGridDataController::FilterChanged()
{
    TvlDataController::FilterChanged();
    if (TvlCustomGridTableView* view = GridView())
        view->FilterChanged();
}

void TvlGridDataController::ItemValueTypeClassChanged(int AItemIndex)
{
    TvlDataController::ItemValueTypeClassChanged(AItemIndex);
    if (TvlCustomGridTableView* view = GridView())
        view->ItemValueTypeClassChanged(AItemIndex);
}

void TvlGridDataController::UpdateData()
{
    TvlDataController::UpdateData();
    if (TvlCustomGridTableView* view = GridView())
        view->UpdateRecordData();
}
