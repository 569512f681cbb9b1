// vlGridTableViewColumn.cpp - the table view's column: its options and
// styles, footer and summary alignments, header glyph, fixed widths, and
// the rules that tie it to the preview and to grouping by the user.
#include "ui/grid/vlGridTableView.h"

// ---- options -----------------------------------------------------------------------------------

void TvlGridColumnOptions::SetCellMerging(bool Value) { vlGridSetOption(this, FCellMerging, Value, vckLayout); }
void TvlGridColumnOptions::SetGroupFooters(bool Value) { vlGridSetOption(this, FGroupFooters, Value, vckSize); }
void TvlGridColumnOptions::SetHorzSizing(bool Value) { vlGridSetOption(this, FHorzSizing, Value, vckLayout); }

void TvlGridColumnOptions::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridColumnOptions*>(Source)) {
        SetCellMerging(source->CellMerging());
        SetGroupFooters(source->GroupFooters());
        SetHorzSizing(source->HorzSizing());
    }
    TvlCustomGridTableItemOptions::Assign(Source);
}

// ---- styles ------------------------------------------------------------------------------------

TvlGridColumn* TvlGridColumnStyles::Column() const { return static_cast<TvlGridColumn*>(Item()); }

TvlGridTableView* TvlGridColumnStyles::GridView() const { return Column()->GridView(); }

#define VL_COLUMN_STYLE_EVENT_SETTER(Name, Type)                     \
    void TvlGridColumnStyles::Set##Name(const Type& Value)           \
    {                                                                \
        F##Name = Value;                                             \
        Item()->Changed(vckProperty);                                \
    }

VL_COLUMN_STYLE_EVENT_SETTER(OnGetFooterStyle, TvlGridGetCellStyleEvent)
VL_COLUMN_STYLE_EVENT_SETTER(OnGetFooterStyleEx, TvlGridGetFooterStyleExEvent)
VL_COLUMN_STYLE_EVENT_SETTER(OnGetFooterSummaryStyle, TvlGridGetFooterSummaryStyleEvent)
VL_COLUMN_STYLE_EVENT_SETTER(OnGetGroupSummaryStyle, TvlGridGetGroupSummaryStyleEvent)
VL_COLUMN_STYLE_EVENT_SETTER(OnGetHeaderStyle, TvlGridGetHeaderStyleEvent)

#undef VL_COLUMN_STYLE_EVENT_SETTER

void TvlGridColumnStyles::GetFooterParams(TvlCustomGridRow* ARow, int AFooterGroupLevel, TvlDataSummaryItem* ASummaryItem,
                                          TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    TvlGridTableView* view = GridView();
    if (FOnGetFooterStyle.Assigned())
        FOnGetFooterStyle(view, ARow, Column(), style);
    if (FOnGetFooterStyleEx.Assigned())
        FOnGetFooterStyleEx(view, ARow, Column(), AFooterGroupLevel, style);
    if (ASummaryItem != nullptr && FOnGetFooterSummaryStyle.Assigned())
        FOnGetFooterSummaryStyle(view, ARow, Column(), AFooterGroupLevel, ASummaryItem, style);
    TvlGridRowFooterCellPos cell(ARow, Column(), AFooterGroupLevel, ASummaryItem);
    ResolveViewParams(csFooter, &cell, style, AParams);
}

void TvlGridColumnStyles::GetGroupSummaryParams(TvlGridGroupRow* ARow, TvlDataSummaryItem* ASummaryItem, TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    if (ARow != nullptr && FOnGetGroupSummaryStyle.Assigned())
        FOnGetGroupSummaryStyle(GridView(), ARow, Column(), ASummaryItem, style);
    TvlGridGroupSummaryInfo info(ARow, ASummaryItem);
    ResolveViewParams(csGroupSummary, &info, style, AParams);
}

void TvlGridColumnStyles::GetHeaderParams(TvlViewParams& AParams)
{
    TvlStyle* style = nullptr;
    if (FOnGetHeaderStyle.Assigned())
        FOnGetHeaderStyle(GridView(), Column(), style);
    ResolveViewParams(csHeader, nullptr, style, AParams);
}

void TvlGridColumnStyles::DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams)
{
    TvlGridTableView* view = GridView();
    if (view == nullptr || Index == isContent) {
        TvlCustomGridTableItemStyles::DefaultViewParams(Index, AData, AParams);
        return;
    }
    switch (Index) {
    case csFooter:
        if (const auto* cell = dynamic_cast<const TvlGridRowFooterCellPos*>(AData))
            view->Styles()->GetFooterParams(cell->Row, cell->Column, cell->FooterGroupLevel, cell->SummaryItem, AParams);
        else
            view->Styles()->GetFooterParams(nullptr, Column(), -1, nullptr, AParams);
        break;
    case csGroupSummary:
        if (const auto* info = dynamic_cast<const TvlGridGroupSummaryInfo*>(AData))
            view->Styles()->GetGroupSummaryParams(info->Row, info->SummaryItem, AParams);
        else
            view->Styles()->GetGroupSummaryParams(nullptr, nullptr, AParams);
        break;
    case csHeader:
        view->Styles()->GetHeaderParams(Column(), AParams);
        break;
    default:
        TvlCustomGridTableItemStyles::DefaultViewParams(Index, AData, AParams);
        break;
    }
}

void TvlGridColumnStyles::Assign(const TPersistent* Source)
{
    TvlCustomGridTableItemStyles::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlGridColumnStyles*>(Source)) {
        SetFooter(source->Footer());
        SetGroupSummary(source->GroupSummary());
        SetHeader(source->Header());
        FOnGetFooterStyle = source->FOnGetFooterStyle;
        FOnGetFooterStyleEx = source->FOnGetFooterStyleEx;
        FOnGetFooterSummaryStyle = source->FOnGetFooterSummaryStyle;
        FOnGetGroupSummaryStyle = source->FOnGetGroupSummaryStyle;
        FOnGetHeaderStyle = source->FOnGetHeaderStyle;
    }
}

// ---- column ------------------------------------------------------------------------------------

TvlGridColumn::TvlGridColumn(TComponent* AOwner) : TvlCustomGridTableItem(AOwner)
{
    recreateSubObjects();
    FHeaderGlyph = std::make_unique<TBitmap>();
    FHeaderGlyph->OnChange = TNotifyEvent(this, &TvlGridColumn::headerGlyphChanged);
}

TvlGridColumn::~TvlGridColumn()
{
    Destroying();
    SetIsPreview(false);
    FHeaderGlyph->OnChange = nullptr;
}

TvlGridColumn::TOptionsClass TvlGridColumn::GetOptionsClass() const
{
    return &vlGridCreate<TvlGridColumnOptions, TvlCustomGridTableItemOptions, TvlCustomGridTableItem*>;
}

TvlGridColumn::TStylesClass TvlGridColumn::GetStylesClass() const
{
    return &vlGridCreate<TvlGridColumnStyles, TvlCustomGridTableItemStyles, TvlCustomGridTableItem*>;
}

TvlGridTableView* TvlGridColumn::GridView() const { return static_cast<TvlGridTableView*>(TvlCustomGridTableItem::GridView()); }

TvlGridColumnOptions* TvlGridColumn::Options() const { return static_cast<TvlGridColumnOptions*>(TvlCustomGridTableItem::Options()); }

TvlGridColumnStyles* TvlGridColumn::Styles() const { return static_cast<TvlGridColumnStyles*>(TvlCustomGridTableItem::Styles()); }

void TvlGridColumn::headerGlyphChanged(TObject*) { Changed(vckLayout); }

TAlignment TvlGridColumn::defaultAlignment() const
{
    const TvlGridItemDataBinding* binding = DataBinding();
    return binding != nullptr && binding->DefaultValuesProvider() != nullptr ? binding->DefaultValuesProvider()->ProvidedAlignment()
                                                                              : taLeftJustify;
}

TAlignment TvlGridColumn::FooterAlignmentHorz() const
{
    return FIsFooterAlignmentHorzAssigned ? FFooterAlignmentHorz : defaultAlignment();
}

void TvlGridColumn::SetFooterAlignmentHorz(TAlignment Value)
{
    if (Value == FooterAlignmentHorz() && !IsLoading())
        return;
    FFooterAlignmentHorz = Value;
    FIsFooterAlignmentHorzAssigned = true;
    Changed(vckLayout);
}

bool TvlGridColumn::IsFooterAlignmentHorzStored() const
{
    return FIsFooterAlignmentHorzAssigned && FFooterAlignmentHorz != defaultAlignment();
}

TAlignment TvlGridColumn::GetGroupSummaryAlignment() const
{
    return FIsGroupSummaryAlignmentAssigned ? FGroupSummaryAlignment : defaultAlignment();
}

void TvlGridColumn::SetGroupSummaryAlignment(TAlignment Value)
{
    if (Value == GetGroupSummaryAlignment() && !IsLoading())
        return;
    FGroupSummaryAlignment = Value;
    FIsGroupSummaryAlignmentAssigned = true;
    Changed(vckLayout);
}

bool TvlGridColumn::IsGroupSummaryAlignmentStored() const
{
    return FIsGroupSummaryAlignmentAssigned && FGroupSummaryAlignment != defaultAlignment();
}

void TvlGridColumn::SetHeaderGlyph(const TBitmap* Value) { FHeaderGlyph->Assign(Value); }

void TvlGridColumn::SetHeaderGlyphAlignmentHorz(TAlignment Value)
{
    if (FHeaderGlyphAlignmentHorz == Value)
        return;
    FHeaderGlyphAlignmentHorz = Value;
    Changed(vckLayout);
}

void TvlGridColumn::SetHeaderGlyphAlignmentVert(TvlAlignmentVert Value)
{
    if (FHeaderGlyphAlignmentVert == Value)
        return;
    FHeaderGlyphAlignmentVert = Value;
    Changed(vckLayout);
}

bool TvlGridColumn::IsPreview() const
{
    const TvlGridTableView* view = GridView();
    return view != nullptr && view->Preview() != nullptr && view->Preview()->Column() == this;
}

void TvlGridColumn::SetIsPreview(bool Value)
{
    TvlGridTableView* view = GridView();
    if (view == nullptr || view->Preview() == nullptr || Value == IsPreview())
        return;
    view->Preview()->SetColumn(Value ? this : nullptr);
}

// The preview column shows across the row, never as a column of its own.
bool TvlGridColumn::GetVisible() const { return TvlCustomGridTableItem::GetVisible() && !IsPreview(); }

bool TvlGridColumn::GetVisibleForCustomization() const
{
    return TvlCustomGridTableItem::GetVisibleForCustomization() && !IsPreview();
}

bool TvlGridColumn::IsVisibleStored() const { return !IsPreview(); }

bool TvlGridColumn::IsVisibleForCustomizationStored() const
{
    return TvlCustomGridTableItem::IsVisibleForCustomizationStored() && !IsPreview();
}

bool TvlGridColumn::HasFixedWidth() const { return !Options()->HorzSizing(); }

bool TvlGridColumn::CanHorzSize() const
{
    return TvlCustomGridTableItem::CanHorzSize() && (GridView() == nullptr || GridView()->OptionsCustomize()->ColumnHorzSizing());
}

bool TvlGridColumn::IsWidthFixed() const { return TvlCustomGridTableItem::IsWidthFixed(); }

void TvlGridColumn::ForceWidth(int Value)
{
    AssignColumnWidths();
    TvlCustomGridTableItem::ForceWidth(Value);
    AssignColumnWidths();
    Changed(vckSize);
}

void TvlGridColumn::AssignColumnWidths()
{
    // With auto widths the header cells hold the widths in effect; they come
    // with the table layout, and until then the stored widths are the ones
    // in effect.
}

void TvlGridColumn::MakeFocused() { TvlCustomGridTableItem::MakeFocused(); }

void TvlGridColumn::BestFitApplied(bool AFireEvents)
{
    TvlCustomGridTableItem::BestFitApplied(AFireEvents);
    if (AFireEvents && GridView() != nullptr && GridView()->OnColumnSizeChanged().Assigned())
        GridView()->OnColumnSizeChanged()(GridView(), this);
}

bool TvlGridColumn::IsCellMerging() const
{
    const TvlGridTableView* view = GridView();
    return Options()->CellMerging() && view != nullptr && view->AllowCellMerging() && !view->Preview()->Visible() &&
           view->OptionsView()->RowSeparatorWidth() == 0;
}

bool TvlGridColumn::CanShowGroupFooters() const { return Options()->GroupFooters(); }

bool TvlGridColumn::HideOnGrouping() const
{
    return GridView() != nullptr && GridView()->OptionsCustomize()->ColumnHidingOnGrouping();
}

bool TvlGridColumn::ChangeGroupIndexByUser(int Value, bool AShowOnUngrouping)
{
    if (!CanGroup())
        return false;
    SetGroupIndex(Value);
    if (Value == -1) {
        if (AShowOnUngrouping && ShowOnUngrouping() && WasVisibleBeforeGrouping())
            SetVisible(true);
    } else if (HideOnGrouping() && CanHide())
        SetVisible(false);
    return true;
}

bool TvlGridColumn::CompareValuesForCellMerging(TvlGridDataRow* ARow1, TvlCustomEditProperties* AProperties1,
                                                const Variant& AValue1, TvlGridDataRow* ARow2,
                                                TvlCustomEditProperties* AProperties2, const Variant& AValue2)
{
    bool result = AProperties1 == AProperties2 && AProperties1 != nullptr && AProperties1->CompareDisplayValues(AValue1, AValue2);
    if (OnCompareValuesForCellMerging.Assigned())
        OnCompareValuesForCellMerging(this, AProperties1, AValue1, AProperties2, AValue2, result);
    if (OnCompareRowValuesForCellMerging.Assigned())
        OnCompareRowValuesForCellMerging(this, ARow1, AProperties1, AValue1, ARow2, AProperties2, AValue2, result);
    return result;
}

void TvlGridColumn::DoHeaderClick()
{
    if (OnHeaderClick.Assigned())
        OnHeaderClick(this);
    if (GridView() != nullptr && GridView()->OnColumnHeaderClick().Assigned())
        GridView()->OnColumnHeaderClick()(GridView(), this);
}

bool TvlGridColumn::GetStoredProperties(TStrings* AProperties)
{
    AProperties->Add(QStringLiteral("GroupIndex"));
    AProperties->Add(QStringLiteral("Width"));
    return TvlCustomGridTableItem::GetStoredProperties(AProperties);
}

void TvlGridColumn::GetStoredPropertyValue(const String& AName, Variant& AValue)
{
    if (AName == QLatin1String("Width"))
        AValue = Width();
    else if (AName == QLatin1String("GroupIndex"))
        AValue = GroupIndex();
    else
        TvlCustomGridTableItem::GetStoredPropertyValue(AName, AValue);
}

void TvlGridColumn::SetStoredPropertyValue(const String& AName, const Variant& AValue)
{
    if (AName == QLatin1String("Width"))
        SetWidth(AValue.AsInteger());
    else if (AName == QLatin1String("GroupIndex"))
        SetGroupIndex(AValue.AsInteger());
    else
        TvlCustomGridTableItem::SetStoredPropertyValue(AName, AValue);
}

void TvlGridColumn::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridColumn*>(Source)) {
        FIsFooterAlignmentHorzAssigned = source->FIsFooterAlignmentHorzAssigned;
        FFooterAlignmentHorz = source->FFooterAlignmentHorz;
        FIsGroupSummaryAlignmentAssigned = source->FIsGroupSummaryAlignmentAssigned;
        FGroupSummaryAlignment = source->FGroupSummaryAlignment;
        SetHeaderGlyph(source->HeaderGlyph());
        SetHeaderGlyphAlignmentHorz(source->HeaderGlyphAlignmentHorz());
        SetHeaderGlyphAlignmentVert(source->HeaderGlyphAlignmentVert());
        OnCompareRowValuesForCellMerging = source->OnCompareRowValuesForCellMerging;
        OnCompareValuesForCellMerging = source->OnCompareValuesForCellMerging;
        OnCustomDrawFooterCell = source->OnCustomDrawFooterCell;
        OnCustomDrawGroupSummaryCell = source->OnCustomDrawGroupSummaryCell;
        OnCustomDrawHeader = source->OnCustomDrawHeader;
        OnHeaderClick = source->OnHeaderClick;
    }
    TvlCustomGridTableItem::Assign(Source);
}
