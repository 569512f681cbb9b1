// The table view: its classes, its special-row and preview objects, its
// stored layout, its events and its registration as the "Table" view.
#include "ui/grid/vlGridTableView.h"

#include "platform/rtl/Startup.h"
#include "platform/rtl/TypInfo.h"
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridLevel.h"

namespace {

const String footerName = String::fromLatin1("Footer");
const String groupByBoxName = String::fromLatin1("GroupByBox");
const String groupFootersName = String::fromLatin1("GroupFooters");
const String newItemRowName = String::fromLatin1("NewItemRow");

}  // namespace

TvlGridTableView::TvlGridTableView(TComponent* AOwner) : TvlCustomGridTableView(AOwner), FAllowCellMerging(true) {}

TvlGridTableView::~TvlGridTableView() = default;

const TClassInfo* TvlGridTableView::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlGridTableView::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlGridTableView>("TvlGridTableView").Build();
    return info;
}

void TvlGridTableView::SetDataController(const TvlGridDataController* Value)
{
    if (Value != nullptr && Value != GetDataController())
        GetDataController()->Assign(Value);
}

TvlGridViewData* TvlGridTableView::ViewData() const { return static_cast<TvlGridViewData*>(TvlCustomGridTableView::ViewData()); }

TvlGridTableOptionsBehavior* TvlGridTableView::OptionsBehavior() const
{
    return static_cast<TvlGridTableOptionsBehavior*>(TvlCustomGridTableView::OptionsBehavior());
}

TvlGridTableOptionsCustomize* TvlGridTableView::OptionsCustomize() const
{
    return static_cast<TvlGridTableOptionsCustomize*>(TvlCustomGridTableView::OptionsCustomize());
}

TvlGridTableOptionsData* TvlGridTableView::OptionsData() const
{
    return static_cast<TvlGridTableOptionsData*>(TvlCustomGridTableView::OptionsData());
}

TvlGridTableOptionsSelection* TvlGridTableView::OptionsSelection() const
{
    return static_cast<TvlGridTableOptionsSelection*>(TvlCustomGridTableView::OptionsSelection());
}

TvlGridTableOptionsView* TvlGridTableView::OptionsView() const
{
    return static_cast<TvlGridTableOptionsView*>(TvlCustomGridTableView::OptionsView());
}

TvlGridTableViewStyles* TvlGridTableView::Styles() const
{
    return static_cast<TvlGridTableViewStyles*>(TvlCustomGridTableView::Styles());
}

TvlGridColumn* TvlGridTableView::Columns(int Index) const { return static_cast<TvlGridColumn*>(Items(Index)); }

TvlGridColumn* TvlGridTableView::VisibleColumns(int Index) const { return static_cast<TvlGridColumn*>(VisibleItems(Index)); }

TvlGridColumn* TvlGridTableView::CreateColumn() { return static_cast<TvlGridColumn*>(CreateItem()); }

// ---- classes ----------------------------------------------------------------------------------------

void TvlGridTableView::CreateOptions()
{
    TvlCustomGridTableView::CreateOptions();
    FFilterRow = vlGridDowncast<TvlGridFilterRowOptions>(GetFilterRowOptionsClass()(this));
    FNewItemRow = vlGridDowncast<TvlGridNewItemRowOptions>(GetNewItemRowOptionsClass()(this));
    FPreview = vlGridDowncast<TvlGridPreview>(GetPreviewClass()(this));
}

void TvlGridTableView::DestroyOptions()
{
    FPreview.reset();
    FNewItemRow.reset();
    FFilterRow.reset();
    TvlCustomGridTableView::DestroyOptions();
}

TvlCustomGridView::TDataControllerClass TvlGridTableView::GetDataControllerClass() const
{
    return &vlGridCreate<TvlGridDataController, TvlCustomDataController, IvlDataControllerOwner*>;
}

TvlCustomGridView::TViewDataClass TvlGridTableView::GetViewDataClass() const
{
    return &vlGridCreate<TvlGridViewData, TvlCustomGridViewData, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlGridTableView::GetOptionsBehaviorClass() const
{
    return &vlGridCreate<TvlGridTableOptionsBehavior, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlGridTableView::GetOptionsDataClass() const
{
    return &vlGridCreate<TvlGridTableOptionsData, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlGridTableView::GetOptionsSelectionClass() const
{
    return &vlGridCreate<TvlGridTableOptionsSelection, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlGridTableView::GetOptionsViewClass() const
{
    return &vlGridCreate<TvlGridTableOptionsView, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TStylesClass TvlGridTableView::GetStylesClass() const
{
    return &vlGridCreate<TvlGridTableViewStyles, TvlCustomGridViewStyles, TPersistent*>;
}

TvlCustomGridView::TBackgroundBitmapsClass TvlGridTableView::GetBackgroundBitmapsClass() const
{
    return &vlGridCreate<TvlGridTableBackgroundBitmaps, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridTableView::TOptionsObjectClass TvlGridTableView::GetDateTimeHandlingClass() const
{
    return &vlGridCreate<TvlGridTableDateTimeHandling, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridTableView::TOptionsObjectClass TvlGridTableView::GetFilteringClass() const
{
    return &vlGridCreate<TvlGridTableFiltering, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridTableView::TOptionsObjectClass TvlGridTableView::GetOptionsCustomizeClass() const
{
    return &vlGridCreate<TvlGridTableOptionsCustomize, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlGridTableView::TSpecialOptionsClass TvlGridTableView::GetFilterRowOptionsClass() const
{
    return &vlGridCreate<TvlGridFilterRowOptions, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlGridTableView::TSpecialOptionsClass TvlGridTableView::GetNewItemRowOptionsClass() const
{
    return &vlGridCreate<TvlGridNewItemRowOptions, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlGridTableView::TSpecialOptionsClass TvlGridTableView::GetPreviewClass() const
{
    return &vlGridCreate<TvlGridPreview, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridTableView::TItemClass TvlGridTableView::GetItemClass() const
{
    return &vlGridCreate<TvlGridColumn, TvlCustomGridTableItem, TComponent*>;
}

// ---- what the table answers ---------------------------------------------------------------------------

bool TvlGridTableView::IsMasterWithVisibleDetails() const { return Level() != nullptr && Level()->VisibleCount() > 0; }

bool TvlGridTableView::CanCellMerging() const
{
    return FAllowCellMerging && !FPreview->IsActive() && OptionsView()->RowSeparatorWidth() == 0;
}

bool TvlGridTableView::CanOffsetHorz() const
{
    if (Control() != nullptr && Control()->IsUpdateLocked())
        return false;
    return !(IsMasterWithVisibleDetails() && GetGroupingItemCount() > 0);
}

bool TvlGridTableView::HideExpandButtonsForEmptyDetails() const { return !OptionsView()->ExpandButtonsForEmptyDetails(); }

bool TvlGridTableView::DependsOnWidth() const
{
    return TvlCustomGridTableView::DependsOnWidth() || OptionsView()->ColumnAutoWidth() || FPreview->IsActive() ||
           IsMasterWithVisibleDetails();
}

bool TvlGridTableView::IsEqualHeightRecords() const
{
    return TvlCustomGridTableView::IsEqualHeightRecords() && !FPreview->IsActive() && GetGroupingItemCount() == 0 &&
           !IsMasterWithVisibleDetails();
}

bool TvlGridTableView::IsRecordHeightDependingOnData() const
{
    return TvlCustomGridTableView::IsRecordHeightDependingOnData() || (FPreview->IsActive() && FPreview->AutoHeight());
}

void TvlGridTableView::DetailDataChanged(TvlCustomGridView* ADetail)
{
    TvlCustomGridTableView::DetailDataChanged(ADetail);
    // A master row's expand button may appear or vanish.
    if (HideExpandButtonsForEmptyDetails())
        SizeChanged();
}

void TvlGridTableView::GetItemsForCopy(std::vector<TvlCustomGridTableItem*>& AList, bool ACopyAll)
{
    TvlCustomGridTableView::GetItemsForCopy(AList, ACopyAll);
    if (OptionsBehavior()->CopyPreviewToClipboard() && FPreview->IsActive())
        AList.push_back(FPreview->Column());
}

String TvlGridTableView::GetLayoutCustomizationCaption() const { return String::fromLatin1("Columns customization"); }

// ---- stored layout --------------------------------------------------------------------------------------

std::vector<String> TvlGridTableView::GetStoredProperties() const
{
    return {footerName, groupByBoxName, groupFootersName, newItemRowName};
}

bool TvlGridTableView::GetStoredPropertyValue(const String& AName, Variant& AValue) const
{
    if (AName == footerName)
        AValue = Variant(OptionsView()->Footer());
    else if (AName == groupByBoxName)
        AValue = Variant(OptionsView()->GroupByBox());
    else if (AName == groupFootersName)
        AValue = Variant(int(OptionsView()->GroupFooters()));
    else if (AName == newItemRowName)
        AValue = Variant(FNewItemRow->Visible());
    else
        return false;
    return true;
}

bool TvlGridTableView::SetStoredPropertyValue(const String& AName, const Variant& AValue)
{
    if (AName == footerName) {
        OptionsView()->SetFooter(AValue.AsBoolean());
    } else if (AName == groupByBoxName) {
        OptionsView()->SetGroupByBox(AValue.AsBoolean());
    } else if (AName == groupFootersName) {
        // Older layouts stored a Boolean text.
        if (VarIsStr(AValue)) {
            OptionsView()->SetGroupFooters(AValue.AsBoolean() ? gfVisibleWhenExpanded : gfInvisible);
        } else {
            const int ordinal = AValue.AsInteger();
            if (ordinal >= gfInvisible && ordinal <= gfAlwaysVisible)
                OptionsView()->SetGroupFooters(TvlGridGroupFootersMode(ordinal));
        }
    } else if (AName == newItemRowName) {
        FNewItemRow->SetVisible(AValue.AsBoolean());
    } else {
        return false;
    }
    return true;
}

// ---- assignment ------------------------------------------------------------------------------------------

void TvlGridTableView::DoAssign(const TvlCustomGridView* Source)
{
    const auto* source = dynamic_cast<const TvlGridTableView*>(Source);
    if (source != nullptr) {
        FOnColumnHeaderClick = source->FOnColumnHeaderClick;
        FOnColumnPosChanged = source->FOnColumnPosChanged;
        FOnColumnSizeChanged = source->FOnColumnSizeChanged;
        FOnCustomDrawColumnHeader = source->FOnCustomDrawColumnHeader;
        FOnCustomDrawFooterCell = source->FOnCustomDrawFooterCell;
        FOnCustomDrawGroupCell = source->FOnCustomDrawGroupCell;
        FOnCustomDrawGroupSummaryCell = source->FOnCustomDrawGroupSummaryCell;
        FOnCustomDrawIndicatorCell = source->FOnCustomDrawIndicatorCell;
        FOnLeftPosChanged = source->FOnLeftPosChanged;
    }
    TvlCustomGridTableView::DoAssign(Source);
    if (source != nullptr) {
        FFilterRow->Assign(source->FFilterRow.get());
        FNewItemRow->Assign(source->FNewItemRow.get());
        FPreview->Assign(source->FPreview.get());
    }
}

void TvlGridTableView::DoAssignLayout(TvlCustomGridTableView* ASource)
{
    TvlCustomGridTableView::DoAssignLayout(ASource);
    auto* source = dynamic_cast<TvlGridTableView*>(ASource);
    if (source == nullptr)
        return;
    OptionsView()->SetDataRowHeight(source->OptionsView()->DataRowHeight());
    OptionsView()->SetFooter(source->OptionsView()->Footer());
    OptionsView()->SetGroupByBox(source->OptionsView()->GroupByBox());
    OptionsView()->SetGroupFooters(source->OptionsView()->GroupFooters());
    OptionsView()->SetGroupRowHeight(source->OptionsView()->GroupRowHeight());
}

// ---- events -------------------------------------------------------------------------------------------------

void TvlGridTableView::DoColumnHeaderClick(TvlGridColumn* AColumn)
{
    if (FOnColumnHeaderClick)
        FOnColumnHeaderClick(this, AColumn);
}

void TvlGridTableView::DoColumnPosChanged(TvlGridColumn* AColumn)
{
    if (FOnColumnPosChanged)
        FOnColumnPosChanged(this, AColumn);
}

void TvlGridTableView::DoColumnSizeChanged(TvlGridColumn* AColumn)
{
    if (FOnColumnSizeChanged)
        FOnColumnSizeChanged(this, AColumn);
}

bool TvlGridTableView::DoCustomDrawColumnHeader(TvlCanvas* ACanvas, TvlGridColumnHeaderViewInfo* AViewInfo)
{
    bool done = false;
    if (FOnCustomDrawColumnHeader)
        FOnCustomDrawColumnHeader(this, ACanvas, AViewInfo, done);
    return done;
}

bool TvlGridTableView::DoCustomDrawFooterCell(TvlCanvas* ACanvas, TvlGridColumnHeaderViewInfo* AViewInfo)
{
    bool done = false;
    if (FOnCustomDrawFooterCell)
        FOnCustomDrawFooterCell(this, ACanvas, AViewInfo, done);
    return done;
}

bool TvlGridTableView::DoCustomDrawGroupCell(TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo)
{
    bool done = false;
    if (FOnCustomDrawGroupCell)
        FOnCustomDrawGroupCell(this, ACanvas, AViewInfo, done);
    return done;
}

bool TvlGridTableView::DoCustomDrawGroupSummaryCell(TvlCanvas* ACanvas, TvlGridGroupRow* ARow, TvlGridColumn* AColumn,
                                                    TvlDataSummaryItem* ASummaryItem, TvlCustomGridViewCellViewInfo* AViewInfo)
{
    bool done = false;
    if (FOnCustomDrawGroupSummaryCell)
        FOnCustomDrawGroupSummaryCell(this, ACanvas, ARow, AColumn, ASummaryItem, AViewInfo, done);
    return done;
}

bool TvlGridTableView::DoCustomDrawIndicatorCell(TvlCanvas* ACanvas, TvlCustomGridIndicatorItemViewInfo* AViewInfo)
{
    bool done = false;
    if (FOnCustomDrawIndicatorCell)
        FOnCustomDrawIndicatorCell(this, ACanvas, AViewInfo, done);
    return done;
}

void TvlGridTableView::DoLeftPosChanged()
{
    if (FOnLeftPosChanged)
        FOnLeftPosChanged(this);
}

// ---- the unit --------------------------------------------------------------------------------------------------

void AddvlGridTableViewUnit(TStartupList& AList)
{
    AList.Add(
        String::fromLatin1("vlGridTableView"),
        [] {
            if (TvlGridRegisteredViews* views = GridRegisteredViews())
                views->Register(&TvlGridTableView::StaticClassInfo(), String::fromLatin1("Table"));
        },
        [] {
            if (TvlGridRegisteredViews* views = GridRegisteredViews())
                views->Unregister(&TvlGridTableView::StaticClassInfo());
        });
}
