// vlGridCustomTableViewOptions.cpp - the record view's option objects: each
// setter stores a changed value and tells the view what the change needs.
#include "platform/rtl/SysUtils.h"
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomTableView.h"
#include "ui/grid/vlGridCustomTableViewInfo.h"
#include "ui/grid/vlGridStrs.h"

// ---- background bitmaps ----------------------------------------------------------------------

int TvlCustomGridTableBackgroundBitmaps::GetBitmapStyleIndex(int Index) const
{
    switch (Index) {
    case 1:
        return TvlCustomGridTableViewStyles::vsContent;
    case 2:
        return TvlCustomGridTableViewStyles::vsFilterBox;
    default:
        return TvlCustomGridBackgroundBitmaps::GetBitmapStyleIndex(Index);
    }
}

void TvlCustomGridTableBackgroundBitmaps::assignBitmaps(const TvlCustomGridBackgroundBitmaps* ASource, int AFrom, int ATo)
{
    // The source's getter makes missing bitmaps; an empty one clears ours.
    auto* source = const_cast<TvlCustomGridBackgroundBitmaps*>(ASource);
    for (int i = AFrom; i <= ATo; ++i)
        SetByIndex(i, source->GetByIndex(i));
}

void TvlCustomGridTableBackgroundBitmaps::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridTableBackgroundBitmaps*>(Source))
        assignBitmaps(source, 1, 2);
    TvlCustomGridBackgroundBitmaps::Assign(Source);
}

// ---- behaviour ---------------------------------------------------------------------------------

TvlCustomGridTableOptionsBehavior::TvlCustomGridTableOptionsBehavior(TvlCustomGridView* AGridView)
    : TvlCustomGridOptionsBehavior(AGridView)
{
}

void TvlCustomGridTableOptionsBehavior::SetAlwaysShowEditor(bool Value) { vlGridSetOption(this, FAlwaysShowEditor, Value, vckProperty); }
void TvlCustomGridTableOptionsBehavior::SetBestFitMaxRecordCount(int Value)
{
    vlGridSetOption(this, FBestFitMaxRecordCount, vlGridNotNegative(Value), vckProperty);
}
void TvlCustomGridTableOptionsBehavior::SetCellHints(bool Value) { vlGridSetOption(this, FCellHints, Value, vckProperty); }
void TvlCustomGridTableOptionsBehavior::SetCopyCaptionsToClipboard(bool Value)
{
    vlGridSetOption(this, FCopyCaptionsToClipboard, Value, vckProperty);
}
void TvlCustomGridTableOptionsBehavior::SetDragDropText(bool Value) { vlGridSetOption(this, FDragDropText, Value, vckProperty); }
void TvlCustomGridTableOptionsBehavior::SetDragFocusing(TvlGridDragFocusing Value) { vlGridSetOption(this, FDragFocusing, Value, vckProperty); }
void TvlCustomGridTableOptionsBehavior::SetDragHighlighting(bool Value) { vlGridSetOption(this, FDragHighlighting, Value, vckProperty); }
void TvlCustomGridTableOptionsBehavior::SetDragOpening(bool Value) { vlGridSetOption(this, FDragOpening, Value, vckProperty); }
void TvlCustomGridTableOptionsBehavior::SetDragScrolling(bool Value) { vlGridSetOption(this, FDragScrolling, Value, vckProperty); }
void TvlCustomGridTableOptionsBehavior::SetFocusCellOnCycle(bool Value) { vlGridSetOption(this, FFocusCellOnCycle, Value, vckProperty); }

void TvlCustomGridTableOptionsBehavior::SetFocusCellOnTab(bool Value)
{
    if (FFocusCellOnTab == Value)
        return;
    FFocusCellOnTab = Value;
    if (TvlControl* site = TvlCustomGridOptions::GridView()->Control()) {
        TvlControlKeys keys = site->Keys();
        if (Value)
            keys.Include(kTab);
        else
            keys.Exclude(kTab);
        site->SetKeys(keys);
    }
    Changed(vckProperty);
}

void TvlCustomGridTableOptionsBehavior::SetFocusFirstCellOnNewRecord(bool Value)
{
    vlGridSetOption(this, FFocusFirstCellOnNewRecord, Value, vckProperty);
}
void TvlCustomGridTableOptionsBehavior::SetGoToNextCellOnEnter(bool Value) { vlGridSetOption(this, FGoToNextCellOnEnter, Value, vckProperty); }
void TvlCustomGridTableOptionsBehavior::SetImmediateEditor(bool Value) { vlGridSetOption(this, FImmediateEditor, Value, vckProperty); }

void TvlCustomGridTableOptionsBehavior::SetIncSearch(bool Value)
{
    if (FIncSearch == Value)
        return;
    if (!Value)
        cancelIncSearching();
    FIncSearch = Value;
    Changed(vckProperty);
}

void TvlCustomGridTableOptionsBehavior::SetIncSearchItem(TvlCustomGridTableItem* Value)
{
    vlGridSetOption(this, FIncSearchItem, Value, vckProperty);
}
void TvlCustomGridTableOptionsBehavior::SetNavigatorHints(bool Value) { vlGridSetOption(this, FNavigatorHints, Value, vckProperty); }
void TvlCustomGridTableOptionsBehavior::SetPullFocusing(bool Value) { vlGridSetOption(this, FPullFocusing, Value, vckProperty); }

void TvlCustomGridTableOptionsBehavior::Notification(TComponent* AComponent, TOperation Operation)
{
    TvlCustomGridOptionsBehavior::Notification(AComponent, Operation);
    if (Operation == opRemove && static_cast<TComponent*>(FIncSearchItem) == AComponent)
        FIncSearchItem = nullptr;
}

void TvlCustomGridTableOptionsBehavior::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridTableOptionsBehavior*>(Source)) {
        SetAlwaysShowEditor(source->AlwaysShowEditor());
        SetBestFitMaxRecordCount(source->BestFitMaxRecordCount());
        SetCellHints(source->CellHints());
        SetCopyCaptionsToClipboard(source->CopyCaptionsToClipboard());
        SetDragDropText(source->DragDropText());
        SetDragFocusing(source->DragFocusing());
        SetDragHighlighting(source->DragHighlighting());
        SetDragOpening(source->DragOpening());
        SetDragScrolling(source->DragScrolling());
        SetFocusCellOnCycle(source->FocusCellOnCycle());
        SetFocusCellOnTab(source->FocusCellOnTab());
        SetFocusFirstCellOnNewRecord(source->FocusFirstCellOnNewRecord());
        SetGoToNextCellOnEnter(source->GoToNextCellOnEnter());
        SetImmediateEditor(source->ImmediateEditor());
        SetIncSearch(source->IncSearch());
        SetIncSearchItem(source->IncSearchItem());
        SetNavigatorHints(source->NavigatorHints());
        SetPullFocusing(source->PullFocusing());
    }
    TvlCustomGridOptionsBehavior::Assign(Source);
}

// ---- customize ---------------------------------------------------------------------------------

void TvlCustomGridTableOptionsCustomize::SetItemFiltering(bool Value) { vlGridSetOption(this, FItemFiltering, Value, vckSize); }
void TvlCustomGridTableOptionsCustomize::SetItemGrouping(bool Value) { vlGridSetOption(this, FItemGrouping, Value, vckProperty); }
void TvlCustomGridTableOptionsCustomize::SetItemHiding(bool Value) { vlGridSetOption(this, FItemHiding, Value, vckProperty); }
void TvlCustomGridTableOptionsCustomize::SetItemMoving(bool Value) { vlGridSetOption(this, FItemMoving, Value, vckProperty); }
void TvlCustomGridTableOptionsCustomize::SetItemSorting(bool Value) { vlGridSetOption(this, FItemSorting, Value, vckProperty); }
void TvlCustomGridTableOptionsCustomize::SetItemsQuickCustomization(bool Value)
{
    vlGridSetOption(this, FItemsQuickCustomization, Value, vckSize);
}
void TvlCustomGridTableOptionsCustomize::SetItemsQuickCustomizationMaxDropDownCount(int Value)
{
    vlGridSetOption(this, FItemsQuickCustomizationMaxDropDownCount, vlGridNotNegative(Value), vckProperty);
}
void TvlCustomGridTableOptionsCustomize::SetItemsQuickCustomizationReordering(TvlGridQuickCustomizationReordering Value)
{
    vlGridSetOption(this, FItemsQuickCustomizationReordering, Value, vckProperty);
}

bool TvlCustomGridTableOptionsCustomize::SupportsItemsQuickCustomizationReordering() const
{
    return GridView()->ComponentState().Contains(csDesigning) || FItemsQuickCustomizationReordering == qcrEnabled ||
           (FItemsQuickCustomizationReordering == qcrDefault && FItemMoving);
}

void TvlCustomGridTableOptionsCustomize::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridTableOptionsCustomize*>(Source)) {
        SetItemFiltering(source->ItemFiltering());
        SetItemGrouping(source->ItemGrouping());
        SetItemHiding(source->ItemHiding());
        SetItemMoving(source->ItemMoving());
        SetItemSorting(source->ItemSorting());
        SetItemsQuickCustomization(source->ItemsQuickCustomization());
        SetItemsQuickCustomizationMaxDropDownCount(source->ItemsQuickCustomizationMaxDropDownCount());
        SetItemsQuickCustomizationReordering(source->ItemsQuickCustomizationReordering());
    }
    TvlCustomGridOptions::Assign(Source);
}

// ---- data --------------------------------------------------------------------------------------

void TvlCustomGridTableOptionsData::SetAppending(bool Value) { vlGridSetOption(this, FAppending, Value, vckProperty); }
void TvlCustomGridTableOptionsData::SetCancelOnExit(bool Value) { vlGridSetOption(this, FCancelOnExit, Value, vckProperty); }

void TvlCustomGridTableOptionsData::SetDeleting(bool Value)
{
    if (FDeleting == Value)
        return;
    FDeleting = Value;
    updateNavigatorButtons();
    Changed(vckProperty);
}

void TvlCustomGridTableOptionsData::SetDeletingConfirmation(bool Value)
{
    vlGridSetOption(this, FDeletingConfirmation, Value, vckProperty);
}

void TvlCustomGridTableOptionsData::SetEditing(bool Value)
{
    if (FEditing == Value)
        return;
    FEditing = Value;
    if (!Value)
        closeEditor();
    updateNavigatorButtons();
    Changed(vckLayout);
}

void TvlCustomGridTableOptionsData::SetInserting(bool Value)
{
    if (FInserting == Value)
        return;
    FInserting = Value;
    updateNavigatorButtons();
    Changed(vckProperty);
}

void TvlCustomGridTableOptionsData::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridTableOptionsData*>(Source)) {
        SetAppending(source->Appending());
        SetCancelOnExit(source->CancelOnExit());
        SetDeleting(source->Deleting());
        SetDeletingConfirmation(source->DeletingConfirmation());
        SetEditing(source->Editing());
        SetInserting(source->Inserting());
    }
    TvlCustomGridOptionsData::Assign(Source);
}

// ---- selection ---------------------------------------------------------------------------------

void TvlCustomGridTableOptionsSelection::SetCellSelect(bool Value)
{
    if (FCellSelect == Value)
        return;
    FCellSelect = Value;
    cellSelectChanged();
    Changed(vckProperty);
}

void TvlCustomGridTableOptionsSelection::SetHideFocusRectOnExit(bool Value)
{
    vlGridSetOption(this, FHideFocusRectOnExit, Value, vckLayout);
}
void TvlCustomGridTableOptionsSelection::SetHideSelection(bool Value) { vlGridSetOption(this, FHideSelection, Value, vckLayout); }
void TvlCustomGridTableOptionsSelection::SetInvertSelect(bool Value) { vlGridSetOption(this, FInvertSelect, Value, vckLayout); }

bool TvlCustomGridTableOptionsSelection::MultiSelect() const
{
    const TvlCustomDataController* controller = TvlCustomGridOptions::GridView()->DataController();
    return controller != nullptr && controller->MultiSelect();
}

void TvlCustomGridTableOptionsSelection::SetMultiSelect(bool Value)
{
    TvlCustomDataController* controller = TvlCustomGridOptions::GridView()->DataController();
    if (controller == nullptr || controller->MultiSelect() == Value)
        return;
    controller->SetMultiSelect(Value);
    Changed(vckProperty);
}

void TvlCustomGridTableOptionsSelection::SetUnselectFocusedRecordOnExit(bool Value)
{
    vlGridSetOption(this, FUnselectFocusedRecordOnExit, Value, vckProperty);
}

void TvlCustomGridTableOptionsSelection::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridTableOptionsSelection*>(Source)) {
        SetCellSelect(source->CellSelect());
        SetHideFocusRectOnExit(source->HideFocusRectOnExit());
        SetHideSelection(source->HideSelection());
        SetInvertSelect(source->InvertSelect());
        SetMultiSelect(source->MultiSelect());
        SetUnselectFocusedRecordOnExit(source->UnselectFocusedRecordOnExit());
    }
    TvlCustomGridOptionsSelection::Assign(Source);
}

// ---- view --------------------------------------------------------------------------------------

void TvlCustomGridTableOptionsView::SetCellAutoHeight(bool Value) { vlGridSetOption(this, FCellAutoHeight, Value, vckSize); }
void TvlCustomGridTableOptionsView::SetCellEndEllipsis(bool Value) { vlGridSetOption(this, FCellEndEllipsis, Value, vckLayout); }
void TvlCustomGridTableOptionsView::SetCellTextMaxLineCount(int Value)
{
    vlGridSetOption(this, FCellTextMaxLineCount, vlGridNotNegative(Value), vckSize);
}
void TvlCustomGridTableOptionsView::SetFocusRect(bool Value) { vlGridSetOption(this, FFocusRect, Value, vckLayout); }

void TvlCustomGridTableOptionsView::SetItemCaptionAutoHeight(bool Value)
{
    if (FItemCaptionAutoHeight == Value)
        return;
    FItemCaptionAutoHeight = Value;
    ItemCaptionAutoHeightChanged();
}

void TvlCustomGridTableOptionsView::SetItemCaptionEndEllipsis(bool Value)
{
    vlGridSetOption(this, FItemCaptionEndEllipsis, Value, vckLayout);
}
void TvlCustomGridTableOptionsView::SetNavigator(bool Value) { vlGridSetOption(this, FNavigator, Value, vckSize); }
void TvlCustomGridTableOptionsView::SetNavigatorOffset(int Value) { vlGridSetOption(this, FNavigatorOffset, vlGridNotNegative(Value), vckSize); }

void TvlCustomGridTableOptionsView::SetNoDataToDisplayInfoText(const String& Value)
{
    // The resource text itself is not kept, so that a later translation shows.
    const bool assigned = Value != LoadResString(svlGridNoDataInfoText);
    const String text = assigned ? Value : String();
    if (assigned == FNoDataToDisplayInfoTextAssigned && text == FNoDataToDisplayInfoText)
        return;
    FNoDataToDisplayInfoText = text;
    FNoDataToDisplayInfoTextAssigned = assigned;
    Changed(vckLayout);
}

bool TvlCustomGridTableOptionsView::IsNoDataToDisplayInfoTextStored() const { return FNoDataToDisplayInfoTextAssigned; }

String TvlCustomGridTableOptionsView::GetNoDataToDisplayText() const
{
    return FNoDataToDisplayInfoTextAssigned ? FNoDataToDisplayInfoText : LoadResString(svlGridNoDataInfoText);
}

void TvlCustomGridTableOptionsView::SetShowEditButtons(TvlGridShowEditButtons Value)
{
    vlGridSetOption(this, FShowEditButtons, Value, vckSize);
}
void TvlCustomGridTableOptionsView::SetShowItemFilterButtons(TvlGridShowItemFilterButtons Value)
{
    vlGridSetOption(this, FShowItemFilterButtons, Value, vckSize);
}

void TvlCustomGridTableOptionsView::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridTableOptionsView*>(Source)) {
        SetCellAutoHeight(source->CellAutoHeight());
        SetCellEndEllipsis(source->CellEndEllipsis());
        SetCellTextMaxLineCount(source->CellTextMaxLineCount());
        SetFocusRect(source->FocusRect());
        SetItemCaptionAutoHeight(source->ItemCaptionAutoHeight());
        SetItemCaptionEndEllipsis(source->ItemCaptionEndEllipsis());
        SetNavigator(source->Navigator());
        SetNavigatorOffset(source->NavigatorOffset());
        SetNoDataToDisplayInfoText(source->NoDataToDisplayInfoText());
        SetShowEditButtons(source->ShowEditButtons());
        SetShowItemFilterButtons(source->ShowItemFilterButtons());
    }
    TvlCustomGridOptionsView::Assign(Source);
}

// ---- date-time handling --------------------------------------------------------------------------

void TvlCustomGridTableDateTimeHandling::SetDateFormat(const String& Value) { vlGridSetOption(this, FDateFormat, Value, vckSize); }
void TvlCustomGridTableDateTimeHandling::SetFilters(TvlGridDateTimeFilters Value) { vlGridSetOption(this, FFilters, Value, vckProperty); }

void TvlCustomGridTableDateTimeHandling::SetGrouping(TvlGridDateTimeGrouping Value)
{
    if (Value == dtgDefault)
        Value = dtgByDateAndTime;
    if (FGrouping == Value)
        return;
    FGrouping = Value;
    groupingChanged();
}

void TvlCustomGridTableDateTimeHandling::SetHourFormat(const String& Value) { vlGridSetOption(this, FHourFormat, Value, vckSize); }

void TvlCustomGridTableDateTimeHandling::SetIgnoreTimeForFiltering(bool Value)
{
    if (FIgnoreTimeForFiltering == Value)
        return;
    FIgnoreTimeForFiltering = Value;
    if (TvlCustomDataController* controller = TvlCustomGridOptions::GridView()->DataController())
        controller->Refresh();
}

void TvlCustomGridTableDateTimeHandling::SetMonthFormat(const String& Value) { vlGridSetOption(this, FMonthFormat, Value, vckSize); }
void TvlCustomGridTableDateTimeHandling::SetUseLongDateFormat(bool Value) { vlGridSetOption(this, FUseLongDateFormat, Value, vckSize); }
void TvlCustomGridTableDateTimeHandling::SetUseShortTimeFormat(bool Value) { vlGridSetOption(this, FUseShortTimeFormat, Value, vckSize); }
void TvlCustomGridTableDateTimeHandling::SetYearFormat(const String& Value) { vlGridSetOption(this, FYearFormat, Value, vckSize); }

String TvlCustomGridTableDateTimeHandling::GetDateFormat() const
{
    if (!FDateFormat.isEmpty())
        return FDateFormat;
    return FUseLongDateFormat ? FormatSettings.LongDateFormat : String();
}

String TvlCustomGridTableDateTimeHandling::GetHourFormat() const
{
    if (!FHourFormat.isEmpty())
        return FHourFormat;
    return FUseShortTimeFormat ? FormatSettings.ShortTimeFormat : String();
}

String TvlCustomGridTableDateTimeHandling::GetMonthFormat() const
{
    return FMonthFormat.isEmpty() ? LoadResString(svlGridMonthFormat) : FMonthFormat;
}

String TvlCustomGridTableDateTimeHandling::GetYearFormat() const
{
    return FYearFormat.isEmpty() ? LoadResString(svlGridYearFormat) : FYearFormat;
}

void TvlCustomGridTableDateTimeHandling::Assign(const TPersistent* Source)
{
    TvlCustomGridOptions::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlCustomGridTableDateTimeHandling*>(Source)) {
        SetDateFormat(source->DateFormat());
        SetFilters(source->Filters());
        SetGrouping(source->Grouping());
        SetHourFormat(source->HourFormat());
        SetIgnoreTimeForFiltering(source->IgnoreTimeForFiltering());
        SetMonthFormat(source->MonthFormat());
        SetUseLongDateFormat(source->UseLongDateFormat());
        SetUseShortTimeFormat(source->UseShortTimeFormat());
        SetYearFormat(source->YearFormat());
    }
}

// ---- filter box and item popups ------------------------------------------------------------------

void TvlGridFilterBox::SetCustomizeDialog(bool Value) { vlGridSetOption(this, FCustomizeDialog, Value, vckLayout); }
void TvlGridFilterBox::SetMRUItemsListDropDownCount(int Value)
{
    vlGridSetOption(this, FMRUItemsListDropDownCount, vlGridNotNegative(Value), vckProperty);
}
void TvlGridFilterBox::SetPosition(TvlGridFilterPosition Value) { vlGridSetOption(this, FPosition, Value, vckLayout); }
void TvlGridFilterBox::SetVisible(TvlGridFilterVisible Value) { vlGridSetOption(this, FVisible, Value, vckSize); }

void TvlGridFilterBox::Assign(const TPersistent* Source)
{
    TvlCustomGridOptions::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlGridFilterBox*>(Source)) {
        SetCustomizeDialog(source->CustomizeDialog());
        SetMRUItemsListDropDownCount(source->MRUItemsListDropDownCount());
        SetPosition(source->Position());
        SetVisible(source->Visible());
    }
}

void TvlGridItemFilterPopupOptions::SetApplyMultiSelectChanges(TvlGridItemFilterPopupApplyChangesMode Value)
{
    vlGridSetOption(this, FApplyMultiSelectChanges, Value, vckProperty);
}
void TvlGridItemFilterPopupOptions::SetDropDownWidth(int Value) { vlGridSetOption(this, FDropDownWidth, vlGridNotNegative(Value), vckProperty); }
void TvlGridItemFilterPopupOptions::SetMaxDropDownItemCount(int Value)
{
    vlGridSetOption(this, FMaxDropDownItemCount, vlGridNotNegative(Value), vckProperty);
}
void TvlGridItemFilterPopupOptions::SetMultiSelect(bool Value) { vlGridSetOption(this, FMultiSelect, Value, vckProperty); }

void TvlGridItemFilterPopupOptions::Assign(const TPersistent* Source)
{
    TvlCustomGridOptions::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlGridItemFilterPopupOptions*>(Source)) {
        SetApplyMultiSelectChanges(source->ApplyMultiSelectChanges());
        SetDropDownWidth(source->DropDownWidth());
        SetMaxDropDownItemCount(source->MaxDropDownItemCount());
        SetMultiSelect(source->MultiSelect());
    }
}

// ---- filtering ------------------------------------------------------------------------------------

TvlCustomGridTableFiltering::TvlCustomGridTableFiltering(TvlCustomGridView* AGridView) : TvlCustomGridOptions(AGridView)
{
    FItemPopup = GetItemPopupClass()(AGridView);
}

TvlCustomGridTableFiltering::~TvlCustomGridTableFiltering() = default;

TvlCustomGridTableFiltering::TItemPopupClass TvlCustomGridTableFiltering::GetItemPopupClass() const
{
    return &vlGridCreate<TvlGridItemFilterPopupOptions, TvlGridItemFilterPopupOptions, TvlCustomGridView*>;
}

void TvlCustomGridTableFiltering::SetItemFilteredItemsList(bool Value)
{
    vlGridSetOption(this, FItemFilteredItemsList, Value, vckProperty);
}
void TvlCustomGridTableFiltering::SetItemMRUItemsList(bool Value) { vlGridSetOption(this, FItemMRUItemsList, Value, vckProperty); }
void TvlCustomGridTableFiltering::SetItemMRUItemsListCount(int Value)
{
    vlGridSetOption(this, FItemMRUItemsListCount, vlGridNotNegative(Value), vckProperty);
}
void TvlCustomGridTableFiltering::SetMRUItemsList(bool Value) { vlGridSetOption(this, FMRUItemsList, Value, vckSize); }
void TvlCustomGridTableFiltering::SetMRUItemsListCount(int Value)
{
    vlGridSetOption(this, FMRUItemsListCount, vlGridNotNegative(Value), vckProperty);
}

bool TvlCustomGridTableFiltering::ReadOlderProperty(const String& AName, const Variant& AValue)
{
    TvlGridFilterBox* filterBox = filterBoxOf();
    if (AName == QLatin1String("CustomizeDialog"))
        filterBox->SetCustomizeDialog(AValue.AsBoolean());
    else if (AName == QLatin1String("DropDownWidth"))
        FItemPopup->SetDropDownWidth(AValue.AsInteger());
    else if (AName == QLatin1String("MaxDropDownCount"))
        FItemPopup->SetMaxDropDownItemCount(AValue.AsInteger());
    else if (AName == QLatin1String("MRUItemsListDropDownCount"))
        filterBox->SetMRUItemsListDropDownCount(AValue.AsInteger());
    else if (AName == QLatin1String("Position")) {
        const String ident = AValue.AsString();
        if (ident == QLatin1String("fpTop"))
            filterBox->SetPosition(fpTop);
        else if (ident == QLatin1String("fpBottom"))
            filterBox->SetPosition(fpBottom);
        else
            throw EReadError(LoadResString(RtlConsts::SInvalidPropertyValue));
    } else if (AName == QLatin1String("Visible")) {
        static const char* const names[] = {"fvNever", "fvNonEmpty", "fvAlways"};
        const String ident = AValue.AsString();
        int found = -1;
        for (int i = 0; i < 3; ++i)
            if (ident == QLatin1String(names[i]))
                found = i;
        if (found < 0)
            throw EReadError(LoadResString(RtlConsts::SInvalidPropertyValue));
        filterBox->SetVisible(TvlGridFilterVisible(found));
    } else
        return false;
    return true;
}

void TvlCustomGridTableFiltering::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridTableFiltering*>(Source)) {
        SetItemFilteredItemsList(source->ItemFilteredItemsList());
        SetItemMRUItemsList(source->ItemMRUItemsList());
        SetItemMRUItemsListCount(source->ItemMRUItemsListCount());
        if (source->ItemPopup() != nullptr && FItemPopup != nullptr)
            FItemPopup->Assign(source->ItemPopup());
        SetMRUItemsList(source->MRUItemsList());
        SetMRUItemsListCount(source->MRUItemsListCount());
    } else
        TvlCustomGridOptions::Assign(Source);
}

// ---- the view's side -------------------------------------------------------------------------------

TvlCustomGridTableView* TvlCustomGridTableOptionsBehavior::GridView() const
{
    return static_cast<TvlCustomGridTableView*>(TvlCustomGridOptions::GridView());
}

void TvlCustomGridTableOptionsBehavior::cancelIncSearching()
{
    // Incremental search comes with the record view's keyboard controller;
    // until then there is no running search to cancel.
}

TvlCustomGridTableView* TvlCustomGridTableOptionsData::GridView() const
{
    return static_cast<TvlCustomGridTableView*>(TvlCustomGridOptions::GridView());
}

void TvlCustomGridTableOptionsData::closeEditor()
{
    // In-place editing comes with the editing controller; no editor can be
    // open before it.
}

void TvlCustomGridTableOptionsData::updateNavigatorButtons() { GridView()->RefreshNavigators(); }

TvlCustomGridTableView* TvlCustomGridTableOptionsSelection::GridView() const
{
    return static_cast<TvlCustomGridTableView*>(TvlCustomGridOptions::GridView());
}

void TvlCustomGridTableOptionsSelection::cellSelectChanged()
{
    TvlCustomGridTableView* view = GridView();
    if (!FCellSelect) {
        view->SetFocusedItem(nullptr);
        return;
    }
    for (int i = 0; i < view->VisibleItemCount() && view->FocusedItem() == nullptr; ++i)
        view->SetFocusedItem(view->VisibleItems(i));
}

TvlCustomGridTableView* TvlCustomGridTableDateTimeHandling::GridView() const
{
    return static_cast<TvlCustomGridTableView*>(TvlCustomGridOptions::GridView());
}

void TvlCustomGridTableDateTimeHandling::groupingChanged()
{
    TvlCustomGridTableView* view = GridView();
    if (view->ItemCount() == 0) {
        Changed(vckProperty);
        return;
    }
    view->BeginUpdate();
    try {
        for (int i = 0; i < view->ItemCount(); ++i)
            view->Items(i)->DateTimeGroupingChanged();
    } catch (...) {
        view->EndUpdate();
        throw;
    }
    view->EndUpdate();
}

TvlGridFilterBox* TvlCustomGridTableFiltering::filterBoxOf() const
{
    return static_cast<TvlCustomGridTableView*>(GridView())->FilterBox();
}

// ---- styles ---------------------------------------------------------------------------------------

namespace {

// Even records take ContentEven, odd ones ContentOdd.
constexpr int parityStyleIndex[2] = {TvlCustomGridTableViewStyles::vsContentEven, TvlCustomGridTableViewStyles::vsContentOdd};

int recordParityStyleIndex(const TvlCustomGridRecord* ARecord) { return parityStyleIndex[ARecord->Index() % 2 != 0 ? 1 : 0]; }

}  // namespace

TvlCustomGridView* TvlCustomGridTableViewStyles::GetGridView() const { return TvlCustomGridViewStyles::GetGridView(); }

TvlCustomGridTableView* TvlCustomGridTableViewStyles::GridView() const
{
    return static_cast<TvlCustomGridTableView*>(TvlCustomGridViewStyles::GetGridView());
}

void TvlCustomGridTableViewStyles::SetOnGetContentStyle(const TvlGridGetCellStyleEvent& Value)
{
    if (FOnGetContentStyle == Value)
        return;
    FOnGetContentStyle = Value;
    if (TvlCustomGridView* view = GetGridView())
        view->Changed(vckProperty);
}

void TvlCustomGridTableViewStyles::DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams)
{
    TvlCustomGridViewStyles::DefaultViewParams(Index, AData, AParams);
    TvlCustomGridTableView* view = GridView();
    if (view == nullptr)
        return;
    const TvlLookAndFeelPainterClass painter = view->GetLookAndFeelPainter();
    switch (Index) {
    case vsContent:
        if (const auto* record = dynamic_cast<const TvlCustomGridRecord*>(AData))
            DefaultViewParams(recordParityStyleIndex(record), nullptr, AParams);
        else {
            AParams.Color = painter->DefaultContentColor();
            AParams.TextColor = painter->DefaultContentTextColor();
        }
        break;
    case vsContentEven:
        AParams.Color = painter->DefaultContentColorB();
        AParams.TextColor = painter->DefaultContentTextColor();
        break;
    case vsContentOdd:
        AParams.Color = painter->DefaultContentColorC();
        AParams.TextColor = painter->DefaultContentTextColor();
        break;
    case vsFilterBox:
        AParams.Color = painter->DefaultFilterBoxColorA();
        AParams.TextColor = painter->DefaultFilterBoxColorB();
        break;
    case vsInactive:
    case vsSelection:
        // Font and bitmap stay those of the cell's content.
        if (const auto* cell = dynamic_cast<const TvlGridCellPos*>(AData))
            GetCellContentParams(cell->GridRecord, cell->Item, AParams);
        if (Index == vsInactive) {
            AParams.Color = painter->DefaultInactiveColor();
            AParams.TextColor = painter->DefaultInactiveTextColor();
        } else {
            AParams.Color = painter->DefaultSelectionColor();
            AParams.TextColor = painter->DefaultSelectionTextColor();
        }
        break;
    case vsIncSearch:
        AParams.Color = clDefault;
        AParams.TextColor = clDefault;
        break;
    default:
        break;
    }
}

void TvlCustomGridTableViewStyles::GetSelectionParams(TvlCustomGridRecord* ARecord, TObject* AItem, TvlViewParams& AParams)
{
    std::unique_ptr<TvlGridCellPos> cell;
    if (ARecord != nullptr)
        cell = std::make_unique<TvlGridCellPos>(ARecord, AItem);
    const bool active = GridView()->DrawRecordActive(ARecord);
    ResolveViewParams(active ? vsSelection : vsInactive, cell.get(), nullptr, AParams);
    AParams.Bitmap = nullptr;
}

void TvlCustomGridTableViewStyles::GetCellContentParams(TvlCustomGridRecord* ARecord, TObject* AItem, TvlViewParams& AParams)
{
    if (AItem == nullptr)
        GetDataCellContentParams(ARecord, nullptr, AParams);
    else if (auto* item = dynamic_cast<TvlCustomGridTableItem*>(AItem))
        GetDataCellContentParams(ARecord, item, AParams);
}

void TvlCustomGridTableViewStyles::GetContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                                    TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    if (ARecord != nullptr && FOnGetContentStyle.Assigned())
        FOnGetContentStyle(GridView(), ARecord, AItem, style);
    if (ARecord != nullptr) {
        const int parityIndex = recordParityStyleIndex(ARecord);
        if (GetValue(parityIndex) != nullptr) {
            TvlGridDataCellPos cell(ARecord, AItem);
            ResolveViewParams(parityIndex, &cell, style, AParams);
            return;
        }
    }
    ResolveViewParams(vsContent, ARecord, style, AParams);
}

void TvlCustomGridTableViewStyles::GetDataCellContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                                            TvlViewParams& AParams)
{
    if (AItem == nullptr)
        GetRecordContentParams(ARecord, nullptr, AParams);
    else
        AItem->Styles()->GetContentParams(ARecord, AParams);
}

void TvlCustomGridTableViewStyles::GetCellParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                                 bool AIgnoreSelection, TvlCustomGridCellViewInfo* ACellViewInfo,
                                                 bool AUseCellSelection, TvlViewParams& AParams)
{
    // A record cell decides its own selection; others ask the view.
    auto* cell = AUseCellSelection ? dynamic_cast<TvlGridTableCellViewInfo*>(ACellViewInfo) : nullptr;
    if (AIgnoreSelection)
        GetDataCellContentParams(ARecord, AItem, AParams);
    else if (cell != nullptr ? cell->IsSelected() : GridView()->DrawCellSelected(ARecord, AItem, nullptr, false))
        GetSelectionParams(ARecord, AItem, AParams);
    else
        GetDataCellContentParams(ARecord, AItem, AParams);
}

void TvlCustomGridTableViewStyles::GetRecordContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                                          TvlViewParams& AParams)
{
    GetContentParams(ARecord, AItem, AParams);
}

void TvlCustomGridTableViewStyles::Assign(const TPersistent* Source)
{
    TvlCustomGridViewStyles::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlCustomGridTableViewStyles*>(Source)) {
        for (int i = vsContent; i <= vsSelection; ++i)
            SetValue(i, source->GetValue(i));
        SetOnGetContentStyle(source->OnGetContentStyle());
    }
}
