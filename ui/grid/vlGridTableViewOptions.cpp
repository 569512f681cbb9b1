// vlGridTableViewOptions.cpp - the table view's option objects: the table's
// own parts, cell multi-selection, row heights with their minimum, the
// special rows and the preview.
#include "platform/graphics/Color.h"
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridStrs.h"
#include "ui/grid/vlGridTableView.h"

namespace {

TvlGridTableOptionsView::TRowHeightHook minDataRowHeightHook = nullptr;
TvlGridTableOptionsView::TRowHeightHook minGroupRowHeightHook = nullptr;

}  // namespace

// ---- background bitmaps ----------------------------------------------------------------------

int TvlGridTableBackgroundBitmaps::GetBitmapStyleIndex(int Index) const
{
    switch (Index) {
    case 3:
        return TvlGridTableViewStyles::vsFooter;
    case 4:
        return TvlGridTableViewStyles::vsHeader;
    case 5:
        return TvlGridTableViewStyles::vsGroup;
    case 6:
        return TvlGridTableViewStyles::vsGroupByBox;
    case 7:
        return TvlGridTableViewStyles::vsIndicator;
    case 8:
        return TvlGridTableViewStyles::vsPreview;
    default:
        return TvlCustomGridTableBackgroundBitmaps::GetBitmapStyleIndex(Index);
    }
}

void TvlGridTableBackgroundBitmaps::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridTableBackgroundBitmaps*>(Source))
        assignBitmaps(source, 3, 8);
    TvlCustomGridTableBackgroundBitmaps::Assign(Source);
}

// ---- behaviour ------------------------------------------------------------------------------------

void TvlGridTableOptionsBehavior::SetColumnHeaderHints(bool Value) { vlGridSetOption(this, FColumnHeaderHints, Value, vckProperty); }
void TvlGridTableOptionsBehavior::SetCopyPreviewToClipboard(bool Value)
{
    vlGridSetOption(this, FCopyPreviewToClipboard, Value, vckProperty);
}
void TvlGridTableOptionsBehavior::SetExpandMasterRowOnDblClick(bool Value)
{
    vlGridSetOption(this, FExpandMasterRowOnDblClick, Value, vckProperty);
}

void TvlGridTableOptionsBehavior::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridTableOptionsBehavior*>(Source)) {
        SetColumnHeaderHints(source->ColumnHeaderHints());
        SetCopyPreviewToClipboard(source->CopyPreviewToClipboard());
        SetExpandMasterRowOnDblClick(source->ExpandMasterRowOnDblClick());
    }
    TvlCustomGridTableOptionsBehavior::Assign(Source);
}

// ---- filtering ------------------------------------------------------------------------------------

bool TvlGridTableFiltering::ReadOlderProperty(const String& AName, const Variant& AValue)
{
    if (AName == QLatin1String("ColumnPopupDropDownWidth"))
        ItemPopup()->SetDropDownWidth(AValue.AsInteger());
    else if (AName == QLatin1String("ColumnPopupMaxDropDownItemCount"))
        ItemPopup()->SetMaxDropDownItemCount(AValue.AsInteger());
    else
        return TvlCustomGridTableFiltering::ReadOlderProperty(AName, AValue);
    return true;
}

// ---- customize ------------------------------------------------------------------------------------

void TvlGridTableOptionsCustomize::SetColumnHidingOnGrouping(bool Value)
{
    vlGridSetOption(this, FColumnHidingOnGrouping, Value, vckProperty);
}
void TvlGridTableOptionsCustomize::SetColumnHorzSizing(bool Value) { vlGridSetOption(this, FColumnHorzSizing, Value, vckLayout); }
void TvlGridTableOptionsCustomize::SetDataRowSizing(bool Value) { vlGridSetOption(this, FDataRowSizing, Value, vckProperty); }
void TvlGridTableOptionsCustomize::SetGroupRowSizing(bool Value) { vlGridSetOption(this, FGroupRowSizing, Value, vckProperty); }

void TvlGridTableOptionsCustomize::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridTableOptionsCustomize*>(Source)) {
        SetColumnHidingOnGrouping(source->ColumnHidingOnGrouping());
        SetColumnHorzSizing(source->ColumnHorzSizing());
        SetDataRowSizing(source->DataRowSizing());
        SetGroupBySorting(source->GroupBySorting());
        SetGroupRowSizing(source->GroupRowSizing());
    }
    TvlCustomGridTableOptionsCustomize::Assign(Source);
}

// ---- selection ------------------------------------------------------------------------------------

void TvlGridTableOptionsSelection::SetCellMultiSelect(bool Value)
{
    if (FCellMultiSelect == Value)
        return;
    FCellMultiSelect = Value;
    SetCellSelect(true);
    TvlCustomGridTableOptionsSelection::SetInvertSelect(!Value);
    TvlCustomGridTableOptionsSelection::SetMultiSelect(Value);
    Changed(vckProperty);
}

void TvlGridTableOptionsSelection::SetCellSelect(bool Value)
{
    if (FCellMultiSelect && !Value)
        return;
    TvlCustomGridTableOptionsSelection::SetCellSelect(Value);
}

void TvlGridTableOptionsSelection::SetInvertSelect(bool Value)
{
    if (FCellMultiSelect && Value)
        return;
    TvlCustomGridTableOptionsSelection::SetInvertSelect(Value);
}

void TvlGridTableOptionsSelection::SetMultiSelect(bool Value)
{
    if (FCellMultiSelect && !Value)
        return;
    TvlCustomGridTableOptionsSelection::SetMultiSelect(Value);
}

bool TvlGridTableOptionsSelection::IsInvertSelectStored() const
{
    return !FCellMultiSelect && TvlCustomGridTableOptionsSelection::IsInvertSelectStored();
}

bool TvlGridTableOptionsSelection::IsMultiSelectStored() const
{
    return !FCellMultiSelect && TvlCustomGridTableOptionsSelection::IsMultiSelectStored();
}

void TvlGridTableOptionsSelection::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridTableOptionsSelection*>(Source))
        SetCellMultiSelect(source->CellMultiSelect());
    TvlCustomGridTableOptionsSelection::Assign(Source);
}

// ---- view ---------------------------------------------------------------------------------------

void TvlGridTableOptionsView::SetMinDataRowHeightHook(TRowHeightHook AHook) { minDataRowHeightHook = AHook; }
void TvlGridTableOptionsView::SetMinGroupRowHeightHook(TRowHeightHook AHook) { minGroupRowHeightHook = AHook; }

void TvlGridTableOptionsView::CheckDataRowHeight(int& AValue) const
{
    if (AValue < 0)
        AValue = 0;
    else if (AValue > 0 && minDataRowHeightHook != nullptr)
        AValue = std::max(AValue, minDataRowHeightHook(GridView()));
}

void TvlGridTableOptionsView::CheckGroupRowHeight(int& AValue) const
{
    if (AValue < 0)
        AValue = 0;
    else if (AValue > 0 && minGroupRowHeightHook != nullptr)
        AValue = std::max(AValue, minGroupRowHeightHook(GridView()));
}

void TvlGridTableOptionsView::SetColumnAutoWidth(bool Value) { vlGridSetOption(this, FColumnAutoWidth, Value, vckSize); }

// There is no form designer to tell that the value was corrected; the
// stored value is what a caller reads back.
void TvlGridTableOptionsView::SetDataRowHeight(int Value)
{
    CheckDataRowHeight(Value);
    vlGridSetOption(this, FDataRowHeight, Value, vckSize);
}

void TvlGridTableOptionsView::SetExpandButtonsForEmptyDetails(bool Value)
{
    vlGridSetOption(this, FExpandButtonsForEmptyDetails, Value, vckLayout);
}

bool TvlGridTableOptionsView::ExpandButtonsForEmptyDetails() const
{
    const TvlGridLevel* level = TvlCustomGridOptions::GridView()->Level();
    return FExpandButtonsForEmptyDetails && (level == nullptr || level->Options()->TabsForEmptyDetails());
}

void TvlGridTableOptionsView::SetFooter(bool Value) { vlGridSetOption(this, FFooter, Value, vckSize); }
void TvlGridTableOptionsView::SetFooterAutoHeight(bool Value) { vlGridSetOption(this, FFooterAutoHeight, Value, vckSize); }
void TvlGridTableOptionsView::SetFooterMultiSummaries(bool Value) { vlGridSetOption(this, FFooterMultiSummaries, Value, vckSize); }
void TvlGridTableOptionsView::SetGridLineColor(TColor Value) { vlGridSetOption(this, FGridLineColor, Value, vckLayout); }
void TvlGridTableOptionsView::SetGridLines(TvlGridLines Value) { vlGridSetOption(this, FGridLines, Value, vckSize); }
void TvlGridTableOptionsView::SetGroupByBox(bool Value) { vlGridSetOption(this, FGroupByBox, Value, vckSize); }
void TvlGridTableOptionsView::SetGroupFooterMultiSummaries(bool Value)
{
    vlGridSetOption(this, FGroupFooterMultiSummaries, Value, vckSize);
}
void TvlGridTableOptionsView::SetGroupFooters(TvlGridGroupFootersMode Value) { vlGridSetOption(this, FGroupFooters, Value, vckSize); }

void TvlGridTableOptionsView::SetGroupRowHeight(int Value)
{
    CheckGroupRowHeight(Value);
    vlGridSetOption(this, FGroupRowHeight, Value, vckSize);
}

void TvlGridTableOptionsView::SetGroupRowStyle(TvlGridGroupRowStyle Value) { vlGridSetOption(this, FGroupRowStyle, Value, vckSize); }
void TvlGridTableOptionsView::SetGroupSummaryLayout(TvlGridGroupSummaryLayout Value)
{
    vlGridSetOption(this, FGroupSummaryLayout, Value, vckSize);
}
void TvlGridTableOptionsView::SetHeader(bool Value) { vlGridSetOption(this, FHeader, Value, vckSize); }
void TvlGridTableOptionsView::SetHeaderHeight(int Value) { vlGridSetOption(this, FHeaderHeight, vlGridNotNegative(Value), vckSize); }
void TvlGridTableOptionsView::SetIndicator(bool Value) { vlGridSetOption(this, FIndicator, Value, vckSize); }
void TvlGridTableOptionsView::SetIndicatorWidth(int Value) { vlGridSetOption(this, FIndicatorWidth, vlGridNotNegative(Value), vckSize); }
void TvlGridTableOptionsView::SetRowSeparatorColor(TColor Value) { vlGridSetOption(this, FRowSeparatorColor, Value, vckLayout); }
void TvlGridTableOptionsView::SetRowSeparatorWidth(int Value) { vlGridSetOption(this, FRowSeparatorWidth, vlGridNotNegative(Value), vckSize); }

TColor TvlGridTableOptionsView::GetGridLineColor() const
{
    return FGridLineColor == clDefault ? GetLookAndFeelPainter()->DefaultGridLineColor() : FGridLineColor;
}

TColor TvlGridTableOptionsView::GetRowSeparatorColor() const
{
    return FRowSeparatorColor == clDefault ? GetLookAndFeelPainter()->DefaultRecordSeparatorColor() : FRowSeparatorColor;
}

bool TvlGridTableOptionsView::ReadOlderProperty(const String& AName, const Variant& AValue)
{
    TvlGridNewItemRowOptions* newItemRow = newItemRowOf();
    if (AName == QLatin1String("NewItemRow"))
        newItemRow->SetVisible(AValue.AsBoolean());
    else if (AName == QLatin1String("NewItemRowInfoText"))
        newItemRow->SetInfoText(AValue.AsString());
    else if (AName == QLatin1String("NewItemRowSeparatorColor")) {
        TColor color = clDefault;
        if (VarIsStr(AValue)) {
            if (!IdentToColor(AValue.AsString(), color))
                throw EReadError(LoadResString(RtlConsts::SInvalidPropertyValue));
        } else
            color = TColor(AValue.AsInteger());
        newItemRow->SetSeparatorColor(color);
    } else if (AName == QLatin1String("NewItemRowSeparatorWidth"))
        newItemRow->SetSeparatorWidth(AValue.AsInteger());
    else
        return false;
    return true;
}

void TvlGridTableOptionsView::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridTableOptionsView*>(Source)) {
        SetColumnAutoWidth(source->ColumnAutoWidth());
        SetDataRowHeight(source->DataRowHeight());
        SetExpandButtonsForEmptyDetails(source->ExpandButtonsForEmptyDetails());
        SetFooter(source->Footer());
        SetFooterAutoHeight(source->FooterAutoHeight());
        SetFooterMultiSummaries(source->FooterMultiSummaries());
        SetGridLineColor(source->GridLineColor());
        SetGridLines(source->GridLines());
        SetGroupByBox(source->GroupByBox());
        SetGroupFooterMultiSummaries(source->GroupFooterMultiSummaries());
        SetGroupFooters(source->GroupFooters());
        SetGroupRowHeight(source->GroupRowHeight());
        SetGroupRowStyle(source->GroupRowStyle());
        SetGroupSummaryLayout(source->GroupSummaryLayout());
        SetHeader(source->Header());
        SetHeaderHeight(source->HeaderHeight());
        SetIndicator(source->Indicator());
        SetIndicatorWidth(source->IndicatorWidth());
        SetRowSeparatorColor(source->RowSeparatorColor());
        SetRowSeparatorWidth(source->RowSeparatorWidth());
    }
    TvlCustomGridTableOptionsView::Assign(Source);
}

// ---- special rows ---------------------------------------------------------------------------------

String TvlGridSpecialRowOptions::InfoText() const { return FIsInfoTextAssigned ? FInfoText : GetDefaultInfoText(); }

void TvlGridSpecialRowOptions::SetInfoText(const String& Value)
{
    if (Value == InfoText() && FIsInfoTextAssigned == (Value != GetDefaultInfoText()))
        return;
    FIsInfoTextAssigned = Value != GetDefaultInfoText();
    FInfoText = FIsInfoTextAssigned ? Value : String();
    Changed(vckLayout);
}

void TvlGridSpecialRowOptions::SetSeparatorColor(TColor Value) { vlGridSetOption(this, FSeparatorColor, Value, vckLayout); }
void TvlGridSpecialRowOptions::SetSeparatorWidth(int Value) { vlGridSetOption(this, FSeparatorWidth, std::max(Value, 2), vckSize); }

void TvlGridSpecialRowOptions::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    VisibleChanged();
}

TColor TvlGridSpecialRowOptions::GetSeparatorColor() const
{
    return FSeparatorColor == clDefault ? GetDefaultSeparatorColor() : FSeparatorColor;
}

TColor TvlGridSpecialRowOptions::GetDefaultSeparatorColor() const { return GetLookAndFeelPainter()->DefaultHeaderColor(); }

void TvlGridSpecialRowOptions::Assign(const TPersistent* Source)
{
    TvlCustomGridOptions::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlGridSpecialRowOptions*>(Source)) {
        SetInfoText(source->InfoText());
        SetSeparatorColor(source->SeparatorColor());
        SetSeparatorWidth(source->SeparatorWidth());
        SetVisible(source->Visible());
    }
}

String TvlGridNewItemRowOptions::GetDefaultInfoText() const { return LoadResString(svlGridNewItemRowInfoText); }

String TvlGridFilterRowOptions::GetDefaultInfoText() const { return LoadResString(svlGridFilterRowInfoText); }

void TvlGridFilterRowOptions::SetApplyChanges(TvlGridFilterRowApplyChangesMode Value)
{
    vlGridSetOption(this, FApplyChanges, Value, vckProperty);
}

void TvlGridFilterRowOptions::Assign(const TPersistent* Source)
{
    TvlGridSpecialRowOptions::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlGridFilterRowOptions*>(Source))
        SetApplyChanges(source->ApplyChanges());
}

// ---- preview --------------------------------------------------------------------------------------

// A change of the preview relays the rows out only while it shows.
void TvlGridPreview::SetAutoHeight(bool Value) { vlGridSetOption(this, FAutoHeight, Value, FVisible ? vckSize : vckProperty); }
void TvlGridPreview::SetLeftIndent(int Value)
{
    vlGridSetOption(this, FLeftIndent, vlGridNotNegative(Value), FVisible ? vckSize : vckProperty);
}
void TvlGridPreview::SetMaxLineCount(int Value)
{
    vlGridSetOption(this, FMaxLineCount, vlGridNotNegative(Value), FVisible ? vckSize : vckProperty);
}
void TvlGridPreview::SetPlace(TvlGridPreviewPlace Value) { vlGridSetOption(this, FPlace, Value, FVisible ? vckSize : vckProperty); }
void TvlGridPreview::SetRightIndent(int Value)
{
    vlGridSetOption(this, FRightIndent, vlGridNotNegative(Value), FVisible ? vckSize : vckProperty);
}

void TvlGridPreview::SetVisible(bool Value) { vlGridSetOption(this, FVisible, Value, vckSize); }

void TvlGridPreview::Notification(TComponent* AComponent, TOperation Operation)
{
    TvlCustomGridOptions::Notification(AComponent, Operation);
    if (Operation == opRemove && FColumn != nullptr && static_cast<TComponent*>(FColumn) == AComponent)
        SetColumn(nullptr);
}

// ---- the view's side ------------------------------------------------------------------------------

TvlGridTableView* TvlGridTableOptionsCustomize::GridView() const
{
    return static_cast<TvlGridTableView*>(TvlCustomGridOptions::GridView());
}

void TvlGridTableOptionsCustomize::SetGroupBySorting(bool Value)
{
    if (FGroupBySorting == Value)
        return;
    FGroupBySorting = Value;
    // Either way the view starts without groups and without a sort order:
    // what was sorted under one rule would mean something else under the other.
    TvlGridTableView* view = GridView();
    view->BeginUpdate();
    try {
        for (int i = view->GetGroupingItemCount() - 1; i >= 0; --i) {
            TvlCustomGridTableItem* item = view->GetGroupingItem(i);
            item->SetGroupIndex(-1);
            item->SetVisible(true);
        }
        view->DataController()->ClearSorting(false);
    } catch (...) {
        view->EndUpdate();
        throw;
    }
    view->EndUpdate();
    Changed(vckProperty);
}

TvlGridTableView* TvlGridTableOptionsView::GridView() const
{
    return static_cast<TvlGridTableView*>(TvlCustomGridOptions::GridView());
}

TvlGridNewItemRowOptions* TvlGridTableOptionsView::newItemRowOf() const { return GridView()->NewItemRow(); }

TvlGridTableView* TvlGridSpecialRowOptions::GridView() const
{
    return static_cast<TvlGridTableView*>(TvlCustomGridOptions::GridView());
}

void TvlGridNewItemRowOptions::VisibleChanged()
{
    TvlGridTableView* view = GridView();
    if (view->ViewData() != nullptr)
        view->ViewData()->CheckNewItemRecord();
    if (view->DataController() != nullptr)
        view->DataController()->SetUseNewItemRowForEditing(Visible());
}

void TvlGridFilterRowOptions::VisibleChanged()
{
    if (auto* viewData = dynamic_cast<TvlGridViewData*>(GridView()->ViewData()))
        viewData->CheckFilterRow();
    Changed(vckSize);
}

TvlGridTableView* TvlGridPreview::GridView() const { return static_cast<TvlGridTableView*>(TvlCustomGridOptions::GridView()); }

void TvlGridPreview::SetColumn(TvlGridColumn* Value)
{
    if (Value != nullptr && Value->GridView() != GridView())
        Value = nullptr;
    if (FColumn == Value)
        return;
    TvlGridColumn* previous = FColumn;
    FColumn = Value;
    TvlGridTableView* view = GridView();
    view->BeginUpdate();
    try {
        for (TvlGridColumn* column : {previous, Value}) {
            if (column == nullptr)
                continue;
            column->VisibleChanged();
            view->ItemVisibilityChanged(column, column->GetActuallyVisible());
            column->VisibleForCustomizationChanged();
        }
    } catch (...) {
        view->EndUpdate();
        throw;
    }
    view->EndUpdate();
}

void TvlGridPreview::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridPreview*>(Source)) {
        SetAutoHeight(source->AutoHeight());
        // The column of this view with the source column's ID: a clone of a
        // pattern finds its own copy the same way.
        TvlGridColumn* column = nullptr;
        if (source->Column() != nullptr)
            column = dynamic_cast<TvlGridColumn*>(GridView()->GetItemByID(source->Column()->ID()));
        SetColumn(column);
        SetLeftIndent(source->LeftIndent());
        SetMaxLineCount(source->MaxLineCount());
        SetPlace(source->Place());
        SetRightIndent(source->RightIndent());
        SetVisible(source->Visible());
    }
    TvlCustomGridOptions::Assign(Source);
}

// ---- styles ---------------------------------------------------------------------------------------

TvlGridTableView* TvlGridTableViewStyles::GridView() const { return static_cast<TvlGridTableView*>(GetGridView()); }

void TvlGridTableViewStyles::DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams)
{
    TvlCustomGridTableViewStyles::DefaultViewParams(Index, AData, AParams);
    TvlGridTableView* view = GridView();
    if (view == nullptr)
        return;
    const TvlLookAndFeelPainterClass painter = view->GetLookAndFeelPainter();
    auto* record = dynamic_cast<TvlCustomGridRecord*>(AData);
    switch (Index) {
    case vsFilterRowInfoText:
    case vsNewItemRowInfoText:
        GetContentParams(record, nullptr, AParams);
        AParams.TextColor = clGrayText;
        break;
    case vsFooter:
        AParams.Color = painter->DefaultFooterColor();
        AParams.TextColor = painter->DefaultFooterTextColor();
        break;
    case vsGroup:
        TvlCustomGridTableViewStyles::GetRecordContentParams(record, nullptr, AParams);
        if (view->OptionsView()->GroupRowStyle() == grsOffice11) {
            AParams.Color = painter->DefaultGroupPanelColorA(record != nullptr);
            AParams.TextColor = painter->DefaultGroupPanelColorB();
        } else {
            AParams.Color = painter->DefaultGroupColor();
            AParams.TextColor = painter->DefaultGroupTextColor();
        }
        break;
    case vsGroupByBox:
        AParams.Color = painter->DefaultGroupByBoxColorA();
        AParams.TextColor = painter->DefaultGroupByBoxColorB();
        break;
    case vsGroupFooterSortedSummary:
        if (const auto* cell = dynamic_cast<const TvlGridRowFooterCellPos*>(AData))
            cell->Column->Styles()->GetFooterParams(cell->Row, cell->FooterGroupLevel, cell->SummaryItem, AParams);
        else
            GetFooterParams(nullptr, nullptr, -1, nullptr, AParams);
        break;
    case vsGroupSortedSummary:
        if (const auto* info = dynamic_cast<const TvlGridGroupSummaryInfo*>(AData))
            GetGroupSummaryParams(info->Row, info->SummaryItem, AParams);
        else
            GetGroupSummaryParams(nullptr, nullptr, AParams);
        break;
    case vsGroupSummary:
        GetRecordContentParams(record, nullptr, AParams);
        break;
    case vsHeader:
    case vsIndicator:
        AParams.Color = painter->DefaultHeaderColor();
        AParams.TextColor = painter->DefaultHeaderTextColor();
        break;
    case vsPreview:
        TvlCustomGridTableViewStyles::GetContentParams(record, view->Preview()->Column(), AParams);
        AParams.TextColor = painter->DefaultPreviewTextColor();
        break;
    default:
        break;
    }
}

void TvlGridTableViewStyles::GetFooterCellParams(TvlCustomGridRow* ARow, TvlGridColumn* AColumn, int AFooterGroupLevel,
                                                 TvlDataSummaryItem* ASummaryItem, TvlViewParams& AParams)
{
    // Sorted summaries come with group summaries; until then every footer
    // cell takes its column's footer parameters.
    AColumn->Styles()->GetFooterParams(ARow, AFooterGroupLevel, ASummaryItem, AParams);
}

void TvlGridTableViewStyles::GetFooterParams(TvlCustomGridRow* ARow, TvlGridColumn* AColumn, int AFooterGroupLevel,
                                             TvlDataSummaryItem* ASummaryItem, TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    TvlGridTableView* view = GridView();
    if (OnGetFooterStyle.Assigned())
        OnGetFooterStyle(view, ARow, AColumn, style);
    if (OnGetFooterStyleEx.Assigned())
        OnGetFooterStyleEx(view, ARow, AColumn, AFooterGroupLevel, style);
    if (ASummaryItem != nullptr && OnGetFooterSummaryStyle.Assigned())
        OnGetFooterSummaryStyle(view, ARow, AColumn, AFooterGroupLevel, ASummaryItem, style);
    ResolveViewParams(vsFooter, nullptr, style, AParams);
    AParams.Bitmap = view->BackgroundBitmaps()->GetBitmap(3);
}

void TvlGridTableViewStyles::GetGroupParams(TvlCustomGridRecord* ARecord, int ALevel, TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    if (OnGetGroupStyle.Assigned())
        OnGetGroupStyle(GridView(), ARecord, ARecord != nullptr ? ARecord->Level() : ALevel, style);
    ResolveViewParams(vsGroup, ARecord, style, AParams);
}

void TvlGridTableViewStyles::GetGroupSummaryParams(TvlGridGroupRow* ARow, TvlDataSummaryItem* ASummaryItem, TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    if (ARow != nullptr && OnGetGroupSummaryStyle.Assigned())
        OnGetGroupSummaryStyle(GridView(), ARow, nullptr, ASummaryItem, style);
    ResolveViewParams(vsGroupSummary, ARow, style, AParams);
}

void TvlGridTableViewStyles::GetHeaderParams(TvlGridColumn* AColumn, TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    if (OnGetHeaderStyle.Assigned())
        OnGetHeaderStyle(GridView(), AColumn, style);
    ResolveViewParams(vsHeader, nullptr, style, AParams);
}

void TvlGridTableViewStyles::GetPreviewParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    if (OnGetPreviewStyle.Assigned())
        OnGetPreviewStyle(GridView(), ARecord, AItem, style);
    ResolveViewParams(vsPreview, ARecord, style, AParams);
}

void TvlGridTableViewStyles::GetContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, TvlViewParams& AParams)
{
    TvlGridTableView* view = GridView();
    if (AItem != nullptr && view != nullptr && AItem == view->Preview()->Column())
        GetPreviewParams(ARecord, AItem, AParams);
    else
        TvlCustomGridTableViewStyles::GetContentParams(ARecord, AItem, AParams);
}

void TvlGridTableViewStyles::GetRecordContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                                    TvlViewParams& AParams)
{
    if (dynamic_cast<TvlGridGroupRow*>(ARecord) != nullptr)
        GetGroupParams(ARecord, -1, AParams);
    else
        TvlCustomGridTableViewStyles::GetRecordContentParams(ARecord, AItem, AParams);
}

void TvlGridTableViewStyles::Assign(const TPersistent* Source)
{
    TvlCustomGridTableViewStyles::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlGridTableViewStyles*>(Source)) {
        for (int i = vsFilterRowInfoText; i <= vsHeader; ++i)
            SetValue(i, source->GetValue(i));
        SetValue(vsIndicator, source->GetValue(vsIndicator));
        SetValue(vsNewItemRowInfoText, source->GetValue(vsNewItemRowInfoText));
        SetValue(vsPreview, source->GetValue(vsPreview));
        OnGetFooterStyle = source->OnGetFooterStyle;
        OnGetFooterStyleEx = source->OnGetFooterStyleEx;
        OnGetFooterSummaryStyle = source->OnGetFooterSummaryStyle;
        OnGetGroupStyle = source->OnGetGroupStyle;
        OnGetGroupSummaryStyle = source->OnGetGroupSummaryStyle;
        OnGetHeaderStyle = source->OnGetHeaderStyle;
        OnGetPreviewStyle = source->OnGetPreviewStyle;
    }
}

// ---- style sheet ------------------------------------------------------------------------------------

TvlGridTableViewStyleSheet::TvlGridTableViewStyleSheet(TComponent* AOwner) : TvlCustomStyleSheet(AOwner) { recreateStyles(); }

std::unique_ptr<TvlCustomStyles> TvlGridTableViewStyleSheet::CreateStyles() { return std::make_unique<TvlGridTableViewStyles>(this); }

TvlGridTableViewStyles* TvlGridTableViewStyleSheet::Styles() const
{
    return static_cast<TvlGridTableViewStyles*>(TvlCustomStyleSheet::Styles());
}

void TvlGridTableViewStyleSheet::SetStyles(const TvlGridTableViewStyles* Value) { Styles()->Assign(Value); }
