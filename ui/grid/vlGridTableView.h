// vlGridTableView.h - the grid's table view: rows of records, one column per
// item, with its option and style sets, rows and view data.
#pragma once
#include "ui/grid/vlGridCustomTableView.h"

class TvlGridColumn;
class TvlGridTableView;
class TvlGridFilterRowOptions;
class TvlGridNewItemRowOptions;
class TvlGridPreview;
class TvlGridTableOptionsBehavior;
class TvlGridTableOptionsCustomize;
class TvlGridTableOptionsData;
class TvlGridTableOptionsSelection;
class TvlGridTableOptionsView;
class TvlGridTableViewStyles;
class TvlCustomGridIndicatorItemViewInfo;
class TvlGridColumnHeaderViewInfo;

using TvlGridColumnCustomDrawHeaderEvent =
    TDelegate<void(TvlGridTableView* Sender, TvlCanvas* ACanvas, TvlGridColumnHeaderViewInfo* AViewInfo, bool& ADone)>;

// ---- table view options and styles ------------------------------------------------------

enum TvlGridLines { glBoth, glNone, glVertical, glHorizontal };
enum TvlGridGroupFootersMode { gfInvisible, gfVisibleWhenExpanded, gfAlwaysVisible };
enum TvlGridGroupRowStyle { grsStandard, grsOffice11 };
enum TvlGridGroupSummaryLayout { gslStandard, gslAlignWithColumns, gslAlignWithColumnsAndDistribute };
enum TvlGridPreviewPlace { ppBottom, ppTop };
enum TvlGridFilterRowApplyChangesMode { fracOnCellExit, fracImmediately };

class TvlCustomGridRow;
class TvlGridNewItemRowOptions;
class TvlGridGroupRow;
class TvlDataSummaryItem;

// The table's own parts: footer, header, group rows, group-by box,
// indicator and preview.
class TvlGridTableBackgroundBitmaps : public TvlCustomGridTableBackgroundBitmaps {
public:
    using TvlCustomGridTableBackgroundBitmaps::TvlCustomGridTableBackgroundBitmaps;
    String ClassName() const override { return String::fromLatin1("TvlGridTableBackgroundBitmaps"); }
    TBitmap* Footer() { return GetByIndex(3); }
    void SetFooter(const TBitmap* Value) { SetByIndex(3, Value); }
    TBitmap* Header() { return GetByIndex(4); }
    void SetHeader(const TBitmap* Value) { SetByIndex(4, Value); }
    TBitmap* Group() { return GetByIndex(5); }
    void SetGroup(const TBitmap* Value) { SetByIndex(5, Value); }
    TBitmap* GroupByBox() { return GetByIndex(6); }
    void SetGroupByBox(const TBitmap* Value) { SetByIndex(6, Value); }
    TBitmap* Indicator() { return GetByIndex(7); }
    void SetIndicator(const TBitmap* Value) { SetByIndex(7, Value); }
    TBitmap* Preview() { return GetByIndex(8); }
    void SetPreview(const TBitmap* Value) { SetByIndex(8, Value); }
    int GetBitmapStyleIndex(int Index) const override;
    void Assign(const TPersistent* Source) override;
};

class TvlGridTableOptionsBehavior : public TvlCustomGridTableOptionsBehavior {
public:
    using TvlCustomGridTableOptionsBehavior::TvlCustomGridTableOptionsBehavior;
    String ClassName() const override { return String::fromLatin1("TvlGridTableOptionsBehavior"); }
    bool ColumnHeaderHints() const { return FColumnHeaderHints; }
    void SetColumnHeaderHints(bool Value);
    bool CopyPreviewToClipboard() const { return FCopyPreviewToClipboard; }
    void SetCopyPreviewToClipboard(bool Value);
    bool ExpandMasterRowOnDblClick() const { return FExpandMasterRowOnDblClick; }
    void SetExpandMasterRowOnDblClick(bool Value);
    void Assign(const TPersistent* Source) override;

private:
    bool FColumnHeaderHints = true;
    bool FCopyPreviewToClipboard = true;
    bool FExpandMasterRowOnDblClick = true;
};

class TvlGridTableFiltering : public TvlCustomGridTableFiltering {
public:
    using TvlCustomGridTableFiltering::TvlCustomGridTableFiltering;
    String ClassName() const override { return String::fromLatin1("TvlGridTableFiltering"); }
    bool ColumnFilteredItemsList() const { return ItemFilteredItemsList(); }
    void SetColumnFilteredItemsList(bool Value) { SetItemFilteredItemsList(Value); }
    bool ColumnMRUItemsList() const { return ItemMRUItemsList(); }
    void SetColumnMRUItemsList(bool Value) { SetItemMRUItemsList(Value); }
    int ColumnMRUItemsListCount() const { return ItemMRUItemsListCount(); }
    void SetColumnMRUItemsListCount(int Value) { SetItemMRUItemsListCount(Value); }
    TvlGridItemFilterPopupOptions* ColumnPopup() const { return ItemPopup(); }
    void SetColumnPopup(const TvlGridItemFilterPopupOptions* Value) { SetItemPopup(Value); }
    bool ReadOlderProperty(const String& AName, const Variant& AValue) override;
};

class TvlGridTableDateTimeHandling : public TvlCustomGridTableDateTimeHandling {
public:
    using TvlCustomGridTableDateTimeHandling::TvlCustomGridTableDateTimeHandling;
    String ClassName() const override { return String::fromLatin1("TvlGridTableDateTimeHandling"); }
};

class TvlGridTableOptionsCustomize : public TvlCustomGridTableOptionsCustomize {
public:
    using TvlCustomGridTableOptionsCustomize::TvlCustomGridTableOptionsCustomize;
    String ClassName() const override { return String::fromLatin1("TvlGridTableOptionsCustomize"); }
    TvlGridTableView* GridView() const;
    bool ColumnFiltering() const { return ItemFiltering(); }
    void SetColumnFiltering(bool Value) { SetItemFiltering(Value); }
    bool ColumnGrouping() const { return ItemGrouping(); }
    void SetColumnGrouping(bool Value) { SetItemGrouping(Value); }
    bool ColumnHiding() const { return ItemHiding(); }
    void SetColumnHiding(bool Value) { SetItemHiding(Value); }
    bool ColumnMoving() const { return ItemMoving(); }
    void SetColumnMoving(bool Value) { SetItemMoving(Value); }
    bool ColumnSorting() const { return ItemSorting(); }
    void SetColumnSorting(bool Value) { SetItemSorting(Value); }
    bool ColumnsQuickCustomization() const { return ItemsQuickCustomization(); }
    void SetColumnsQuickCustomization(bool Value) { SetItemsQuickCustomization(Value); }
    int ColumnsQuickCustomizationMaxDropDownCount() const { return ItemsQuickCustomizationMaxDropDownCount(); }
    void SetColumnsQuickCustomizationMaxDropDownCount(int Value) { SetItemsQuickCustomizationMaxDropDownCount(Value); }
    TvlGridQuickCustomizationReordering ColumnsQuickCustomizationReordering() const { return ItemsQuickCustomizationReordering(); }
    void SetColumnsQuickCustomizationReordering(TvlGridQuickCustomizationReordering Value)
    {
        SetItemsQuickCustomizationReordering(Value);
    }
    bool ColumnHidingOnGrouping() const { return FColumnHidingOnGrouping; }
    void SetColumnHidingOnGrouping(bool Value);
    bool ColumnHorzSizing() const { return FColumnHorzSizing; }
    void SetColumnHorzSizing(bool Value);
    bool DataRowSizing() const { return FDataRowSizing; }
    void SetDataRowSizing(bool Value);
    // Switching it either way ungroups the view and clears its sorting.
    bool GroupBySorting() const { return FGroupBySorting; }
    void SetGroupBySorting(bool Value);
    bool GroupRowSizing() const { return FGroupRowSizing; }
    void SetGroupRowSizing(bool Value);
    void Assign(const TPersistent* Source) override;

private:
    bool FColumnHidingOnGrouping = true;
    bool FColumnHorzSizing = true;
    bool FDataRowSizing = false;
    bool FGroupBySorting = false;
    bool FGroupRowSizing = false;
};

class TvlGridTableOptionsData : public TvlCustomGridTableOptionsData {
public:
    using TvlCustomGridTableOptionsData::TvlCustomGridTableOptionsData;
    String ClassName() const override { return String::fromLatin1("TvlGridTableOptionsData"); }
};

// Adds blocks of cells across records: while CellMultiSelect is on, cell
// selection and multi-selection stay on and inverted selection off.
class TvlGridTableOptionsSelection : public TvlCustomGridTableOptionsSelection {
public:
    using TvlCustomGridTableOptionsSelection::TvlCustomGridTableOptionsSelection;
    String ClassName() const override { return String::fromLatin1("TvlGridTableOptionsSelection"); }
    bool CellMultiSelect() const { return FCellMultiSelect; }
    void SetCellMultiSelect(bool Value);
    void SetCellSelect(bool Value) override;
    void SetInvertSelect(bool Value) override;
    void SetMultiSelect(bool Value) override;
    bool IsCellSelectStored() const { return !FCellMultiSelect && !CellSelect(); }
    bool IsInvertSelectStored() const override;
    bool IsMultiSelectStored() const override;
    void Assign(const TPersistent* Source) override;

private:
    bool FCellMultiSelect = false;
};

class TvlGridTableOptionsView : public TvlCustomGridTableOptionsView {
public:
    using TvlCustomGridTableOptionsView::TvlCustomGridTableOptionsView;
    String ClassName() const override { return String::fromLatin1("TvlGridTableOptionsView"); }
    TvlGridTableView* GridView() const;

    bool HeaderAutoHeight() const { return ItemCaptionAutoHeight(); }
    void SetHeaderAutoHeight(bool Value) { SetItemCaptionAutoHeight(Value); }
    bool HeaderEndEllipsis() const { return ItemCaptionEndEllipsis(); }
    void SetHeaderEndEllipsis(bool Value) { SetItemCaptionEndEllipsis(Value); }
    TvlGridShowItemFilterButtons ShowColumnFilterButtons() const { return ShowItemFilterButtons(); }
    void SetShowColumnFilterButtons(TvlGridShowItemFilterButtons Value) { SetShowItemFilterButtons(Value); }

    bool ColumnAutoWidth() const { return FColumnAutoWidth; }
    void SetColumnAutoWidth(bool Value);
    // A positive height below what the rows need is raised to it.
    int DataRowHeight() const { return FDataRowHeight; }
    void SetDataRowHeight(int Value);
    // True only when stored so and the level shows tabs for empty details.
    bool ExpandButtonsForEmptyDetails() const;
    void SetExpandButtonsForEmptyDetails(bool Value);
    bool Footer() const { return FFooter; }
    void SetFooter(bool Value);
    bool FooterAutoHeight() const { return FFooterAutoHeight; }
    void SetFooterAutoHeight(bool Value);
    bool FooterMultiSummaries() const { return FFooterMultiSummaries; }
    void SetFooterMultiSummaries(bool Value);
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor Value);
    TvlGridLines GridLines() const { return FGridLines; }
    void SetGridLines(TvlGridLines Value);
    bool GroupByBox() const { return FGroupByBox; }
    void SetGroupByBox(bool Value);
    bool GroupFooterMultiSummaries() const { return FGroupFooterMultiSummaries; }
    void SetGroupFooterMultiSummaries(bool Value);
    TvlGridGroupFootersMode GroupFooters() const { return FGroupFooters; }
    void SetGroupFooters(TvlGridGroupFootersMode Value);
    int GroupRowHeight() const { return FGroupRowHeight; }
    void SetGroupRowHeight(int Value);
    TvlGridGroupRowStyle GroupRowStyle() const { return FGroupRowStyle; }
    void SetGroupRowStyle(TvlGridGroupRowStyle Value);
    TvlGridGroupSummaryLayout GroupSummaryLayout() const { return FGroupSummaryLayout; }
    void SetGroupSummaryLayout(TvlGridGroupSummaryLayout Value);
    bool Header() const { return FHeader; }
    void SetHeader(bool Value);
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int Value);
    bool Indicator() const { return FIndicator; }
    void SetIndicator(bool Value);
    int IndicatorWidth() const { return FIndicatorWidth; }
    void SetIndicatorWidth(int Value);
    TColor RowSeparatorColor() const { return FRowSeparatorColor; }
    void SetRowSeparatorColor(TColor Value);
    int RowSeparatorWidth() const { return FRowSeparatorWidth; }
    void SetRowSeparatorWidth(int Value);

    // Effective values.
    TColor GetGridLineColor() const;
    TColor GetRowSeparatorColor() const;
    bool GetFooterMultiSummaries() const { return FFooterMultiSummaries; }
    bool GetGroupFooterMultiSummaries() const { return FGroupFooterMultiSummaries; }
    TvlGridGroupSummaryLayout GetGroupSummaryLayout() const { return FGroupSummaryLayout; }

    virtual void CheckDataRowHeight(int& AValue) const;
    virtual void CheckGroupRowHeight(int& AValue) const;
    // The rows layout's smallest data and group row heights; 0 until the
    // layout fills the hooks.
    using TRowHeightHook = int (*)(const TvlGridTableView* AView);
    static void SetMinDataRowHeightHook(TRowHeightHook AHook);
    static void SetMinGroupRowHeightHook(TRowHeightHook AHook);

    // Names older forms kept here for the new-item row; read only.
    // False for a name that is not one of them.
    bool ReadOlderProperty(const String& AName, const Variant& AValue);
    void Assign(const TPersistent* Source) override;

protected:
    void ItemCaptionAutoHeightChanged() override { Changed(vckLayout); }

private:
    TvlGridNewItemRowOptions* newItemRowOf() const;
    bool FColumnAutoWidth = false;
    int FDataRowHeight = 0;
    bool FExpandButtonsForEmptyDetails = true;
    bool FFooter = false;
    bool FFooterAutoHeight = false;
    bool FFooterMultiSummaries = false;
    TColor FGridLineColor = clDefault;
    TvlGridLines FGridLines = glBoth;
    bool FGroupByBox = true;
    bool FGroupFooterMultiSummaries = false;
    TvlGridGroupFootersMode FGroupFooters = gfInvisible;
    int FGroupRowHeight = 0;
    TvlGridGroupRowStyle FGroupRowStyle = grsStandard;
    TvlGridGroupSummaryLayout FGroupSummaryLayout = gslStandard;
    bool FHeader = true;
    int FHeaderHeight = 0;
    bool FIndicator = false;
    int FIndicatorWidth = 12;
    TColor FRowSeparatorColor = clDefault;
    int FRowSeparatorWidth = 0;
};

// The settings of a special row (new-item row, filter row).
class TvlGridSpecialRowOptions : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlGridSpecialRowOptions"); }
    TvlGridTableView* GridView() const;
    // The own text when one is assigned, else the default of the moment.
    String InfoText() const;
    void SetInfoText(const String& Value);
    bool IsInfoTextStored() const { return FIsInfoTextAssigned; }
    TColor SeparatorColor() const { return FSeparatorColor; }
    void SetSeparatorColor(TColor Value);
    int SeparatorWidth() const { return FSeparatorWidth; }
    void SetSeparatorWidth(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TColor GetSeparatorColor() const;
    void Assign(const TPersistent* Source) override;

protected:
    virtual String GetDefaultInfoText() const = 0;
    virtual TColor GetDefaultSeparatorColor() const;
    virtual void VisibleChanged() = 0;

private:
    String FInfoText;
    bool FIsInfoTextAssigned = false;
    TColor FSeparatorColor = clDefault;
    int FSeparatorWidth = 6;
    bool FVisible = false;
};

class TvlGridNewItemRowOptions : public TvlGridSpecialRowOptions {
public:
    using TvlGridSpecialRowOptions::TvlGridSpecialRowOptions;
    String ClassName() const override { return String::fromLatin1("TvlGridNewItemRowOptions"); }

protected:
    String GetDefaultInfoText() const override;
    void VisibleChanged() override;
};

class TvlGridFilterRowOptions : public TvlGridSpecialRowOptions {
public:
    using TvlGridSpecialRowOptions::TvlGridSpecialRowOptions;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterRowOptions"); }
    TvlGridFilterRowApplyChangesMode ApplyChanges() const { return FApplyChanges; }
    void SetApplyChanges(TvlGridFilterRowApplyChangesMode Value);
    void Assign(const TPersistent* Source) override;

protected:
    String GetDefaultInfoText() const override;
    void VisibleChanged() override;

private:
    TvlGridFilterRowApplyChangesMode FApplyChanges = fracOnCellExit;
};

// One column's text shown across the whole width of every data row.
class TvlGridPreview : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlGridPreview"); }
    TvlGridTableView* GridView() const;
    bool AutoHeight() const { return FAutoHeight; }
    void SetAutoHeight(bool Value);
    TvlGridColumn* Column() const { return FColumn; }
    // A column of another view counts as none.
    void SetColumn(TvlGridColumn* Value);
    int LeftIndent() const { return FLeftIndent; }
    void SetLeftIndent(int Value);
    int MaxLineCount() const { return FMaxLineCount; }
    void SetMaxLineCount(int Value);
    TvlGridPreviewPlace Place() const { return FPlace; }
    void SetPlace(TvlGridPreviewPlace Value);
    int RightIndent() const { return FRightIndent; }
    void SetRightIndent(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool IsActive() const { return FVisible && FColumn != nullptr; }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Assign(const TPersistent* Source) override;

private:
    bool FAutoHeight = true;
    TvlGridColumn* FColumn = nullptr;  // not owned
    int FLeftIndent = 20;
    int FMaxLineCount = 3;
    TvlGridPreviewPlace FPlace = ppBottom;
    int FRightIndent = 5;
    bool FVisible = false;
};

using TvlGridGetFooterStyleExEvent = TDelegate<void(TvlGridTableView* Sender, TvlCustomGridRow* ARow, TvlGridColumn* AColumn,
                                                    int AFooterGroupLevel, TvlStyle*& AStyle)>;
using TvlGridGetFooterSummaryStyleEvent =
    TDelegate<void(TvlGridTableView* AView, TvlCustomGridRow* ARow, TvlGridColumn* AColumn, int AFooterGroupLevel,
                   TvlDataSummaryItem* ASummaryItem, TvlStyle*& AStyle)>;
using TvlGridGetGroupStyleEvent =
    TDelegate<void(TvlGridTableView* Sender, TvlCustomGridRecord* ARecord, int ALevel, TvlStyle*& AStyle)>;
using TvlGridGetGroupSummaryStyleEvent = TDelegate<void(TvlGridTableView* Sender, TvlGridGroupRow* ARow, TvlGridColumn* AColumn,
                                                        TvlDataSummaryItem* ASummaryItem, TvlStyle*& AStyle)>;
using TvlGridGetHeaderStyleEvent = TDelegate<void(TvlGridTableView* Sender, TvlGridColumn* AColumn, TvlStyle*& AStyle)>;

// A footer cell: the data handed to the footer style resolution.
class TvlGridRowFooterCellPos : public TObject {
public:
    TvlGridRowFooterCellPos(TvlCustomGridRow* ARow, TvlGridColumn* AColumn, int AFooterGroupLevel, TvlDataSummaryItem* ASummaryItem)
        : Column(AColumn), FooterGroupLevel(AFooterGroupLevel), Row(ARow), SummaryItem(ASummaryItem)
    {
    }
    String ClassName() const override { return String::fromLatin1("TvlGridRowFooterCellPos"); }
    TvlGridColumn* Column;
    int FooterGroupLevel;
    TvlCustomGridRow* Row;
    TvlDataSummaryItem* SummaryItem;
};

class TvlGridGroupSummaryInfo : public TObject {
public:
    TvlGridGroupSummaryInfo(TvlGridGroupRow* ARow, TvlDataSummaryItem* ASummaryItem) : Row(ARow), SummaryItem(ASummaryItem) {}
    String ClassName() const override { return String::fromLatin1("TvlGridGroupSummaryInfo"); }
    TvlGridGroupRow* Row;
    TvlDataSummaryItem* SummaryItem;
};

class TvlGridTableViewStyles : public TvlCustomGridTableViewStyles {
public:
    enum {
        vsFilterRowInfoText = 8, vsFooter, vsGroup, vsGroupByBox, vsGroupFooterSortedSummary, vsGroupSortedSummary,
        vsGroupSummary, vsHeader, vsNewItemRowInfoText, vsIndicator, vsPreview
    };
    explicit TvlGridTableViewStyles(TPersistent* AOwner) : TvlCustomGridTableViewStyles(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlGridTableViewStyles"); }
    TvlGridTableView* GridView() const;

    TvlCustomStyle* FilterRowInfoText() const { return GetValue(vsFilterRowInfoText); }
    void SetFilterRowInfoText(TvlCustomStyle* Value) { SetValue(vsFilterRowInfoText, Value); }
    TvlCustomStyle* Footer() const { return GetValue(vsFooter); }
    void SetFooter(TvlCustomStyle* Value) { SetValue(vsFooter, Value); }
    TvlCustomStyle* Group() const { return GetValue(vsGroup); }
    void SetGroup(TvlCustomStyle* Value) { SetValue(vsGroup, Value); }
    TvlCustomStyle* GroupByBox() const { return GetValue(vsGroupByBox); }
    void SetGroupByBox(TvlCustomStyle* Value) { SetValue(vsGroupByBox, Value); }
    TvlCustomStyle* GroupFooterSortedSummary() const { return GetValue(vsGroupFooterSortedSummary); }
    void SetGroupFooterSortedSummary(TvlCustomStyle* Value) { SetValue(vsGroupFooterSortedSummary, Value); }
    TvlCustomStyle* GroupSortedSummary() const { return GetValue(vsGroupSortedSummary); }
    void SetGroupSortedSummary(TvlCustomStyle* Value) { SetValue(vsGroupSortedSummary, Value); }
    TvlCustomStyle* GroupSummary() const { return GetValue(vsGroupSummary); }
    void SetGroupSummary(TvlCustomStyle* Value) { SetValue(vsGroupSummary, Value); }
    TvlCustomStyle* Header() const { return GetValue(vsHeader); }
    void SetHeader(TvlCustomStyle* Value) { SetValue(vsHeader, Value); }
    TvlCustomStyle* Indicator() const { return GetValue(vsIndicator); }
    void SetIndicator(TvlCustomStyle* Value) { SetValue(vsIndicator, Value); }
    TvlCustomStyle* NewItemRowInfoText() const { return GetValue(vsNewItemRowInfoText); }
    void SetNewItemRowInfoText(TvlCustomStyle* Value) { SetValue(vsNewItemRowInfoText, Value); }
    TvlCustomStyle* Preview() const { return GetValue(vsPreview); }
    void SetPreview(TvlCustomStyle* Value) { SetValue(vsPreview, Value); }

    TvlGridGetCellStyleEvent OnGetFooterStyle;
    TvlGridGetFooterStyleExEvent OnGetFooterStyleEx;
    TvlGridGetFooterSummaryStyleEvent OnGetFooterSummaryStyle;
    TvlGridGetGroupStyleEvent OnGetGroupStyle;
    TvlGridGetGroupSummaryStyleEvent OnGetGroupSummaryStyle;
    TvlGridGetHeaderStyleEvent OnGetHeaderStyle;
    TvlGridGetCellStyleEvent OnGetPreviewStyle;

    virtual void GetFooterCellParams(TvlCustomGridRow* ARow, TvlGridColumn* AColumn, int AFooterGroupLevel,
                                     TvlDataSummaryItem* ASummaryItem, TvlViewParams& AParams);
    virtual void GetFooterParams(TvlCustomGridRow* ARow, TvlGridColumn* AColumn, int AFooterGroupLevel,
                                 TvlDataSummaryItem* ASummaryItem, TvlViewParams& AParams);
    virtual void GetGroupParams(TvlCustomGridRecord* ARecord, int ALevel, TvlViewParams& AParams);
    virtual void GetGroupSummaryParams(TvlGridGroupRow* ARow, TvlDataSummaryItem* ASummaryItem, TvlViewParams& AParams);
    virtual void GetHeaderParams(TvlGridColumn* AColumn, TvlViewParams& AParams);
    virtual void GetPreviewParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, TvlViewParams& AParams);

    void GetContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, TvlViewParams& AParams) override;
    void GetRecordContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, TvlViewParams& AParams) override;
    void DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams) override;
    void Assign(const TPersistent* Source) override;
};

// A style sheet whose style set is a table view's, shared by several views.
class TvlGridTableViewStyleSheet : public TvlCustomStyleSheet {
public:
    explicit TvlGridTableViewStyleSheet(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlGridTableViewStyleSheet"); }
    static TvlCustomStyleSheet* SheetClass(TComponent* AOwner) { return new TvlGridTableViewStyleSheet(AOwner); }  // owned by AOwner
    TvlGridTableViewStyles* Styles() const;
    void SetStyles(const TvlGridTableViewStyles* Value);
    const std::type_info& StylesClass() const override { return typeid(TvlGridTableViewStyles); }

protected:
    std::unique_ptr<TvlCustomStyles> CreateStyles() override;
};

// ---- columns ----------------------------------------------------------------------------

class TvlGridColumnOptions : public TvlCustomGridTableItemOptions {
public:
    using TvlCustomGridTableItemOptions::TvlCustomGridTableItemOptions;
    String ClassName() const override { return String::fromLatin1("TvlGridColumnOptions"); }
    bool CellMerging() const { return FCellMerging; }
    void SetCellMerging(bool Value);
    bool GroupFooters() const { return FGroupFooters; }
    void SetGroupFooters(bool Value);
    // Off: the column keeps its width (it cannot be sized, MinWidth reads as Width).
    bool HorzSizing() const { return FHorzSizing; }
    void SetHorzSizing(bool Value);
    void Assign(const TPersistent* Source) override;

private:
    bool FCellMerging = false;
    bool FGroupFooters = true;
    bool FHorzSizing = true;
};

class TvlGridColumnStyles : public TvlCustomGridTableItemStyles {
public:
    enum { csFooter = 1, csGroupSummary, csHeader };
    explicit TvlGridColumnStyles(TvlCustomGridTableItem* AItem) : TvlCustomGridTableItemStyles(AItem) {}
    String ClassName() const override { return String::fromLatin1("TvlGridColumnStyles"); }
    TvlGridColumn* Column() const;
    TvlGridTableView* GridView() const;
    TvlCustomStyle* Footer() const { return GetValue(csFooter); }
    void SetFooter(TvlCustomStyle* Value) { SetValue(csFooter, Value); }
    TvlCustomStyle* GroupSummary() const { return GetValue(csGroupSummary); }
    void SetGroupSummary(TvlCustomStyle* Value) { SetValue(csGroupSummary, Value); }
    TvlCustomStyle* Header() const { return GetValue(csHeader); }
    void SetHeader(TvlCustomStyle* Value) { SetValue(csHeader, Value); }

    // Setting one reports a property change of the column.
    void SetOnGetFooterStyle(const TvlGridGetCellStyleEvent& Value);
    void SetOnGetFooterStyleEx(const TvlGridGetFooterStyleExEvent& Value);
    void SetOnGetFooterSummaryStyle(const TvlGridGetFooterSummaryStyleEvent& Value);
    void SetOnGetGroupSummaryStyle(const TvlGridGetGroupSummaryStyleEvent& Value);
    void SetOnGetHeaderStyle(const TvlGridGetHeaderStyleEvent& Value);
    const TvlGridGetCellStyleEvent& OnGetFooterStyle() const { return FOnGetFooterStyle; }
    const TvlGridGetFooterStyleExEvent& OnGetFooterStyleEx() const { return FOnGetFooterStyleEx; }
    const TvlGridGetFooterSummaryStyleEvent& OnGetFooterSummaryStyle() const { return FOnGetFooterSummaryStyle; }
    const TvlGridGetGroupSummaryStyleEvent& OnGetGroupSummaryStyle() const { return FOnGetGroupSummaryStyle; }
    const TvlGridGetHeaderStyleEvent& OnGetHeaderStyle() const { return FOnGetHeaderStyle; }

    virtual void GetFooterParams(TvlCustomGridRow* ARow, int AFooterGroupLevel, TvlDataSummaryItem* ASummaryItem,
                                 TvlViewParams& AParams);
    virtual void GetGroupSummaryParams(TvlGridGroupRow* ARow, TvlDataSummaryItem* ASummaryItem, TvlViewParams& AParams);
    virtual void GetHeaderParams(TvlViewParams& AParams);
    void DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams) override;
    void Assign(const TPersistent* Source) override;

private:
    TvlGridGetCellStyleEvent FOnGetFooterStyle;
    TvlGridGetFooterStyleExEvent FOnGetFooterStyleEx;
    TvlGridGetFooterSummaryStyleEvent FOnGetFooterSummaryStyle;
    TvlGridGetGroupSummaryStyleEvent FOnGetGroupSummaryStyle;
    TvlGridGetHeaderStyleEvent FOnGetHeaderStyle;
};

class TvlGridColumnHeaderViewInfo;
class TvlCustomGridViewCellViewInfo;
class TvlGridDataRow;

using TvlGridGroupSummaryCellCustomDrawEvent =
    TDelegate<void(TObject* Sender, TvlCanvas* ACanvas, TvlGridGroupRow* ARow, TvlGridColumn* AColumn,
                   TvlDataSummaryItem* ASummaryItem, TvlCustomGridViewCellViewInfo* AViewInfo, bool& ADone)>;
using TvlGridColumnCompareRowValuesEvent =
    TDelegate<void(TvlGridColumn* Sender, TvlGridDataRow* ARow1, TvlCustomEditProperties* AProperties1, const Variant& AValue1,
                   TvlGridDataRow* ARow2, TvlCustomEditProperties* AProperties2, const Variant& AValue2, bool& AAreEqual)>;
using TvlGridColumnCompareValuesEvent =
    TDelegate<void(TvlGridColumn* Sender, TvlCustomEditProperties* AProperties1, const Variant& AValue1,
                   TvlCustomEditProperties* AProperties2, const Variant& AValue2, bool& AAreEqual)>;

// A column of the table view: an item with a header, footer alignments, a
// header glyph and the rules that tie it to the preview and the filter row.
class TvlGridColumn : public TvlCustomGridTableItem {
public:
    explicit TvlGridColumn(TComponent* AOwner);
    ~TvlGridColumn() override;
    String ClassName() const override { return String::fromLatin1("TvlGridColumn"); }
    TvlGridTableView* GridView() const;
    TvlGridColumnOptions* Options() const;
    TvlGridColumnStyles* Styles() const;

    // Default: the alignment the binding's default values provider reports.
    TAlignment FooterAlignmentHorz() const;
    void SetFooterAlignmentHorz(TAlignment Value);
    bool IsFooterAlignmentHorzStored() const;
    TAlignment GroupSummaryAlignment() const { return GetGroupSummaryAlignment(); }
    void SetGroupSummaryAlignment(TAlignment Value);
    bool IsGroupSummaryAlignmentStored() const;
    TAlignment GetGroupSummaryAlignment() const;
    TBitmap* HeaderGlyph() const { return FHeaderGlyph.get(); }
    void SetHeaderGlyph(const TBitmap* Value);
    TAlignment HeaderGlyphAlignmentHorz() const { return FHeaderGlyphAlignmentHorz; }
    void SetHeaderGlyphAlignmentHorz(TAlignment Value);
    TvlAlignmentVert HeaderGlyphAlignmentVert() const { return FHeaderGlyphAlignmentVert; }
    void SetHeaderGlyphAlignmentVert(TvlAlignmentVert Value);

    TvlGridColumnCompareRowValuesEvent OnCompareRowValuesForCellMerging;
    TvlGridColumnCompareValuesEvent OnCompareValuesForCellMerging;
    TvlGridColumnCustomDrawHeaderEvent OnCustomDrawFooterCell;
    TvlGridGroupSummaryCellCustomDrawEvent OnCustomDrawGroupSummaryCell;
    TvlGridColumnCustomDrawHeaderEvent OnCustomDrawHeader;
    TNotifyEvent OnHeaderClick;

    bool GetVisible() const override;
    bool GetVisibleForCustomization() const override;
    bool HasFixedWidth() const override;
    bool IsVisibleStored() const override;
    bool IsVisibleForCustomizationStored() const override;
    bool CanHorzSize() const override;
    void ForceWidth(int Value) override;
    bool IsWidthFixed() const override;
    void MakeFocused() override;
    void BestFitApplied(bool AFireEvents) override;

    // With auto widths, every column takes the width its header has now.
    virtual void AssignColumnWidths();
    virtual bool IsCellMerging() const;
    virtual bool CanShowGroupFooters() const;
    virtual bool HideOnGrouping() const;
    // Grouping by the user: hides or shows the column as the options say.
    bool ChangeGroupIndexByUser(int Value, bool AShowOnUngrouping = true);
    bool CompareValuesForCellMerging(TvlGridDataRow* ARow1, TvlCustomEditProperties* AProperties1, const Variant& AValue1,
                                     TvlGridDataRow* ARow2, TvlCustomEditProperties* AProperties2, const Variant& AValue2);
    bool IsPreview() const;
    void SetIsPreview(bool Value);
    bool IsTop() const { return true; }
    bool IsBottom() const { return true; }
    bool IsLeft() const { return IsFirst(); }
    bool IsRight() const { return IsLast(); }
    bool IsMostTop() const { return true; }
    bool IsMostBottom() const { return true; }
    bool IsMostLeft() const { return IsFirst(); }
    bool IsMostRight() const { return IsLast(); }
    void DoHeaderClick();

    bool GetStoredProperties(TStrings* AProperties) override;
    void GetStoredPropertyValue(const String& AName, Variant& AValue) override;
    void SetStoredPropertyValue(const String& AName, const Variant& AValue) override;
    void Assign(const TPersistent* Source) override;

protected:
    TOptionsClass GetOptionsClass() const override;
    TStylesClass GetStylesClass() const override;

private:
    void headerGlyphChanged(TObject* Sender);
    TAlignment defaultAlignment() const;
    TAlignment FFooterAlignmentHorz = taLeftJustify;
    bool FIsFooterAlignmentHorzAssigned = false;
    TAlignment FGroupSummaryAlignment = taLeftJustify;
    bool FIsGroupSummaryAlignmentAssigned = false;
    std::unique_ptr<TBitmap> FHeaderGlyph;
    TAlignment FHeaderGlyphAlignmentHorz = taLeftJustify;
    TvlAlignmentVert FHeaderGlyphAlignmentVert = vaCenter;
};


// ---- rows and table view data -----------------------------------------------------------

// A row of the table: what it answers beyond a record.
class TvlCustomGridRow : public TvlCustomGridRecord {
public:
    using TvlCustomGridRecord::TvlCustomGridRecord;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridRow"); }
    TvlGridTableView* GridView() const;
    // Left and right arrows collapse and expand, numpad * expands all.
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    // A double click toggles the row's expansion.
    virtual bool ExpandOnDblClick() const { return GetExpandable(); }
    virtual bool SupportsCellMultiSelect() const { return false; }
};

class TvlGridDataRow : public TvlCustomGridRow {
public:
    using TvlCustomGridRow::TvlCustomGridRow;
    String ClassName() const override { return String::fromLatin1("TvlGridDataRow"); }
    bool GetHasCells() const override { return true; }
    bool SupportsCellMultiSelect() const override { return true; }
};

// The place to type a new record; not part of the row index.
class TvlGridNewItemRow : public TvlGridDataRow {
public:
    using TvlGridDataRow::TvlGridDataRow;
    String ClassName() const override { return String::fromLatin1("TvlGridNewItemRow"); }
    bool SupportsCellMultiSelect() const override { return false; }
};

// The row of filter conditions; not part of the row index.
class TvlGridFilterRow : public TvlGridNewItemRow {
public:
    using TvlGridNewItemRow::TvlGridNewItemRow;
    ~TvlGridFilterRow() override;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterRow"); }
    void RefreshRecordInfo() override;
    bool GetSelected() const override { return FSelected; }
    void SetSelected(bool Value) override;
    bool GetVisible() const override { return true; }
    bool CanFocusCells() const override { return true; }
    void KeyDown(uint16_t& Key, TShiftState Shift) override;

private:
    bool FSelected = false;
};

// A data row whose record owns detail views.
class TvlGridMasterDataRow : public TvlGridDataRow {
public:
    using TvlGridDataRow::TvlGridDataRow;
    String ClassName() const override { return String::fromLatin1("TvlGridMasterDataRow"); }
};

// A row that heads a group of records.
class TvlGridGroupRow : public TvlCustomGridRow {
public:
    using TvlCustomGridRow::TvlCustomGridRow;
    String ClassName() const override { return String::fromLatin1("TvlGridGroupRow"); }
    void DoCollapse(bool ARecurse) override;
    void DoExpand(bool ARecurse) override;
    bool GetExpandable() const override;
    bool GetExpanded() const override { return FRecordInfo.Expanded; }
    bool GetHasCells() const override { return false; }
    bool IsData() const override { return false; }
    bool GetHasChildren() const override;
    void SetDisplayText(int AIndex, const String& Value) override { (void)AIndex; (void)Value; }
    void SetValue(int AIndex, const Variant& Value) override { (void)AIndex; (void)Value; }
};

// The records of the table view: picks a row class per row.
class TvlGridViewData : public TvlCustomGridTableViewData {
public:
    using TvlCustomGridTableViewData::TvlCustomGridTableViewData;
    ~TvlGridViewData() override;
    String ClassName() const override { return String::fromLatin1("TvlGridViewData"); }
    TvlGridTableView* GridView() const;
    TvlCustomGridRecordClass GetRecordClass(const TvlRowInfo& ARecordInfo) const override;
    TvlCustomGridRecord* GetRecordByKind(int AKind, int AIndex) const override;
    int GetRecordKind(const TvlCustomGridRecord* ARecord) const override;
    TvlCustomGridRecordClass GetNewItemRecordClass() const override;
    bool HasNewItemRecord() const override;
    virtual TvlCustomGridRecordClass GetFilterRowClass() const;
    virtual bool HasFilterRow() const;
    TvlGridFilterRow* FilterRow() const { return FFilterRow.get(); }
    void CreateFilterRow();
    void DestroyFilterRow();
    // Makes or drops the filter row as the view's option says.
    void CheckFilterRow();

private:
    std::unique_ptr<TvlGridFilterRow> FFilterRow;
};


// ---- the table view ---------------------------------------------------------------------

using TvlGridColumnEvent = TDelegate<void(TvlGridTableView* Sender, TvlGridColumn* AColumn)>;
using TvlGridColumnCustomDrawHeaderEvent =
    TDelegate<void(TvlGridTableView* Sender, TvlCanvas* ACanvas, TvlGridColumnHeaderViewInfo* AViewInfo, bool& ADone)>;
using TvlGridTableCellCustomDrawEvent =
    TDelegate<void(TvlCustomGridTableView* Sender, TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo, bool& ADone)>;
using TvlGridIndicatorCellCustomDrawEvent = TDelegate<void(TvlGridTableView* Sender, TvlCanvas* ACanvas,
                                                           TvlCustomGridIndicatorItemViewInfo* AViewInfo, bool& ADone)>;

// The grid's table: rows of records with one column per item.
class TvlGridTableView : public TvlCustomGridTableView {
public:
    explicit TvlGridTableView(TComponent* AOwner);
    ~TvlGridTableView() override;
    String ClassName() const override { return String::fromLatin1("TvlGridTableView"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // The application's way to the rows: the same object for the view's life.
    TvlGridDataController* GetDataController() const { return TvlCustomGridTableView::DataController(); }
    TvlGridDataController* DataController() const { return GetDataController(); }
    // Takes the given controller's settings.
    void SetDataController(const TvlGridDataController* Value);
    TvlGridViewData* ViewData() const;
    TvlGridTableOptionsBehavior* OptionsBehavior() const;
    TvlGridTableOptionsCustomize* OptionsCustomize() const;
    TvlGridTableOptionsData* OptionsData() const;
    TvlGridTableOptionsSelection* OptionsSelection() const;
    TvlGridTableOptionsView* OptionsView() const;
    TvlGridTableViewStyles* Styles() const;
    TvlGridFilterRowOptions* FilterRow() const { return FFilterRow.get(); }
    TvlGridNewItemRowOptions* NewItemRow() const { return FNewItemRow.get(); }
    TvlGridPreview* Preview() const { return FPreview.get(); }

    int ColumnCount() const { return ItemCount(); }
    TvlGridColumn* Columns(int Index) const;
    int VisibleColumnCount() const { return VisibleItemCount(); }
    TvlGridColumn* VisibleColumns(int Index) const;
    TvlGridColumn* CreateColumn();

    bool AllowCellMerging() const { return FAllowCellMerging; }
    virtual bool CanCellMerging() const;
    virtual bool CanOffsetHorz() const;
    virtual bool HideExpandButtonsForEmptyDetails() const;
    bool IsTableView() const override { return true; }
    TItemClass GetItemClass() const override;
    bool DependsOnWidth() const override;
    bool IsEqualHeightRecords() const override;
    bool IsRecordHeightDependingOnData() const override;
    void DetailDataChanged(TvlCustomGridView* ADetail) override;
    // A master whose level shows detail levels.
    bool IsMasterWithVisibleDetails() const;

    virtual void DoColumnHeaderClick(TvlGridColumn* AColumn);
    virtual void DoColumnPosChanged(TvlGridColumn* AColumn);
    virtual void DoColumnSizeChanged(TvlGridColumn* AColumn);
    virtual bool DoCustomDrawColumnHeader(TvlCanvas* ACanvas, TvlGridColumnHeaderViewInfo* AViewInfo);
    virtual bool DoCustomDrawFooterCell(TvlCanvas* ACanvas, TvlGridColumnHeaderViewInfo* AViewInfo);
    virtual bool DoCustomDrawGroupCell(TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo);
    virtual bool DoCustomDrawGroupSummaryCell(TvlCanvas* ACanvas, TvlGridGroupRow* ARow, TvlGridColumn* AColumn,
                                              TvlDataSummaryItem* ASummaryItem, TvlCustomGridViewCellViewInfo* AViewInfo);
    virtual bool DoCustomDrawIndicatorCell(TvlCanvas* ACanvas, TvlCustomGridIndicatorItemViewInfo* AViewInfo);
    virtual void DoLeftPosChanged();

    // Stored layout: "Footer", "GroupByBox", "GroupFooters", "NewItemRow".
    std::vector<String> GetStoredProperties() const;
    bool GetStoredPropertyValue(const String& AName, Variant& AValue) const;
    bool SetStoredPropertyValue(const String& AName, const Variant& AValue);
    String GetLayoutCustomizationCaption() const;

#define VL_GRID_TABLE_EVENT(Type, Name)                                 \
    const Type& Name() const { return F##Name; }                       \
    void Set##Name(const Type& Value) { setEvent(F##Name, Value); }
    VL_GRID_TABLE_EVENT(TvlGridColumnEvent, OnColumnHeaderClick)
    VL_GRID_TABLE_EVENT(TvlGridColumnEvent, OnColumnPosChanged)
    VL_GRID_TABLE_EVENT(TvlGridColumnEvent, OnColumnSizeChanged)
    VL_GRID_TABLE_EVENT(TvlGridColumnCustomDrawHeaderEvent, OnCustomDrawColumnHeader)
    VL_GRID_TABLE_EVENT(TvlGridColumnCustomDrawHeaderEvent, OnCustomDrawFooterCell)
    VL_GRID_TABLE_EVENT(TvlGridTableCellCustomDrawEvent, OnCustomDrawGroupCell)
    VL_GRID_TABLE_EVENT(TvlGridGroupSummaryCellCustomDrawEvent, OnCustomDrawGroupSummaryCell)
    VL_GRID_TABLE_EVENT(TvlGridIndicatorCellCustomDrawEvent, OnCustomDrawIndicatorCell)
    VL_GRID_TABLE_EVENT(TNotifyEvent, OnLeftPosChanged)
#undef VL_GRID_TABLE_EVENT

protected:
    using TSpecialOptionsClass = TvlGridClass<TvlCustomGridOptions, TvlCustomGridView*>;
    void CreateOptions() override;
    void DestroyOptions() override;
    void DoAssign(const TvlCustomGridView* Source) override;
    void DoAssignLayout(TvlCustomGridTableView* ASource) override;
    void GetItemsForCopy(std::vector<TvlCustomGridTableItem*>& AList, bool ACopyAll) override;
    TDataControllerClass GetDataControllerClass() const override;
    TBackgroundBitmapsClass GetBackgroundBitmapsClass() const override;
    TViewDataClass GetViewDataClass() const override;
    TOptionsClass GetOptionsBehaviorClass() const override;
    TOptionsClass GetOptionsDataClass() const override;
    TOptionsClass GetOptionsSelectionClass() const override;
    TOptionsClass GetOptionsViewClass() const override;
    TStylesClass GetStylesClass() const override;
    TOptionsObjectClass GetDateTimeHandlingClass() const override;
    TOptionsObjectClass GetFilteringClass() const override;
    TOptionsObjectClass GetOptionsCustomizeClass() const override;
    virtual TSpecialOptionsClass GetFilterRowOptionsClass() const;
    virtual TSpecialOptionsClass GetNewItemRowOptionsClass() const;
    virtual TSpecialOptionsClass GetPreviewClass() const;

private:
    bool FAllowCellMerging = false;
    std::unique_ptr<TvlGridFilterRowOptions> FFilterRow;
    std::unique_ptr<TvlGridNewItemRowOptions> FNewItemRow;
    std::unique_ptr<TvlGridPreview> FPreview;
    TvlGridColumnEvent FOnColumnHeaderClick;
    TvlGridColumnEvent FOnColumnPosChanged;
    TvlGridColumnEvent FOnColumnSizeChanged;
    TvlGridColumnCustomDrawHeaderEvent FOnCustomDrawColumnHeader;
    TvlGridColumnCustomDrawHeaderEvent FOnCustomDrawFooterCell;
    TvlGridTableCellCustomDrawEvent FOnCustomDrawGroupCell;
    TvlGridGroupSummaryCellCustomDrawEvent FOnCustomDrawGroupSummaryCell;
    TvlGridIndicatorCellCustomDrawEvent FOnCustomDrawIndicatorCell;
    TNotifyEvent FOnLeftPosChanged;
};

void AddvlGridTableViewUnit(TStartupList& AList);

