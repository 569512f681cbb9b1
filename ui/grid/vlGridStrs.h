// vlGridStrs.h - every text the grid shows, replaceable through the resource-string
// repository under the grid's product name.
#pragma once
#include "platform/rtl/ResString.h"

class TStartupList;

inline constexpr const char* vlGridProductName = "Calderwick";

// Shown by the grid.
VORLANE_RESOURCESTRING(svlGridDeletingConfirmationCaption, "Confirm");
VORLANE_RESOURCESTRING(svlGridDeletingFocusedConfirmationText, "Delete record?");
VORLANE_RESOURCESTRING(svlGridDeletingSelectedConfirmationText, "Delete all selected records?");
VORLANE_RESOURCESTRING(svlGridNoDataInfoText, "<No data to display>");
VORLANE_RESOURCESTRING(svlGridFilterRowInfoText, "Click here to define a filter");
VORLANE_RESOURCESTRING(svlGridNewItemRowInfoText, "Click here to add a new row");
VORLANE_RESOURCESTRING(svlGridFilterIsEmpty, "<Filter is Empty>");
VORLANE_RESOURCESTRING(svlGridCustomizationFormCaption, "Customization");
VORLANE_RESOURCESTRING(svlGridCustomizationFormColumnsPageCaption, "Columns");
VORLANE_RESOURCESTRING(svlGridGroupByBoxCaption, "Drag a column header here to group by that column");
VORLANE_RESOURCESTRING(svlGridFilterApplyButtonCaption, "Apply Filter");
VORLANE_RESOURCESTRING(svlGridFilterCustomizeButtonCaption, "Customize...");
VORLANE_RESOURCESTRING(svlGridColumnsQuickCustomizationHint, "Click here to show/hide/move columns");
VORLANE_RESOURCESTRING(svlGridYesterday, "Yesterday");
VORLANE_RESOURCESTRING(svlGridToday, "Today");
VORLANE_RESOURCESTRING(svlGridTomorrow, "Tomorrow");
VORLANE_RESOURCESTRING(svlGridLast30Days, "Last 30 days");
VORLANE_RESOURCESTRING(svlGridLast14Days, "Last 14 days");
VORLANE_RESOURCESTRING(svlGridLast7Days, "Last 7 days");
VORLANE_RESOURCESTRING(svlGridNext7Days, "Next 7 days");
VORLANE_RESOURCESTRING(svlGridNext14Days, "Next 14 days");
VORLANE_RESOURCESTRING(svlGridNext30Days, "Next 30 days");
VORLANE_RESOURCESTRING(svlGridLastTwoWeeks, "Last two weeks");
VORLANE_RESOURCESTRING(svlGridLastWeek, "Last week");
VORLANE_RESOURCESTRING(svlGridThisWeek, "This week");
VORLANE_RESOURCESTRING(svlGridNextWeek, "Next week");
VORLANE_RESOURCESTRING(svlGridNextTwoWeeks, "Next two weeks");
VORLANE_RESOURCESTRING(svlGridLastMonth, "Last month");
VORLANE_RESOURCESTRING(svlGridThisMonth, "This month");
VORLANE_RESOURCESTRING(svlGridNextMonth, "Next month");
VORLANE_RESOURCESTRING(svlGridLastYear, "Last year");
VORLANE_RESOURCESTRING(svlGridThisYear, "This year");
VORLANE_RESOURCESTRING(svlGridNextYear, "Next year");
VORLANE_RESOURCESTRING(svlGridPast, "Past");
VORLANE_RESOURCESTRING(svlGridFuture, "Future");
VORLANE_RESOURCESTRING(svlGridMonthFormat, "mmmm yyyy");
VORLANE_RESOURCESTRING(svlGridYearFormat, "yyyy");

// Registered with the others; nothing here shows them.
VORLANE_RESOURCESTRING(svlGridRecursiveLevels, "You cannot create recursive levels");
VORLANE_RESOURCESTRING(svlGridCustomizationFormBandsPageCaption, "Bands");
VORLANE_RESOURCESTRING(svlGridBandsQuickCustomizationHint, "Click here to show/hide/move bands");
VORLANE_RESOURCESTRING(svlGridCustomizationFormRowsPageCaption, "Rows");
VORLANE_RESOURCESTRING(svlGridConverterIntermediaryMissing, "Missing an intermediary component!\nPlease add a %s component to the form.");
VORLANE_RESOURCESTRING(svlGridConverterNotExistGrid, "The grid does not exist");
VORLANE_RESOURCESTRING(svlGridConverterNotExistComponent, "The component does not exist");
VORLANE_RESOURCESTRING(svlImportErrorCaption, "Import error");
VORLANE_RESOURCESTRING(svlNotExistGridView, "The grid view does not exist");
VORLANE_RESOURCESTRING(svlNotExistGridLevel, "The active grid level does not exist");
VORLANE_RESOURCESTRING(svlCantCreateExportOutputFile, "Can't create the export output file");
VORLANE_RESOURCESTRING(vlSEditRepositoryExtLookupComboBoxItem, "ExtLookupComboBox|Represents an ultra-advanced lookup using the grid as its drop down control");
VORLANE_RESOURCESTRING(svlGridChartCategoriesDisplayText, "Data");
VORLANE_RESOURCESTRING(svlGridChartValueHintFormat, "%s for %s is %s");
VORLANE_RESOURCESTRING(svlGridChartPercentValueTickMarkLabelFormat, "0%");
VORLANE_RESOURCESTRING(svlGridChartToolBoxDataLevels, "Data Levels:");
VORLANE_RESOURCESTRING(svlGridChartToolBoxDataLevelSelectValue, "select value");
VORLANE_RESOURCESTRING(svlGridChartToolBoxCustomizeButtonCaption, "Customize Chart");
VORLANE_RESOURCESTRING(svlGridChartNoneDiagramDisplayText, "No diagram");
VORLANE_RESOURCESTRING(svlGridChartColumnDiagramDisplayText, "Column diagram");
VORLANE_RESOURCESTRING(svlGridChartBarDiagramDisplayText, "Bar diagram");
VORLANE_RESOURCESTRING(svlGridChartLineDiagramDisplayText, "Line diagram");
VORLANE_RESOURCESTRING(svlGridChartAreaDiagramDisplayText, "Area diagram");
VORLANE_RESOURCESTRING(svlGridChartPieDiagramDisplayText, "Pie diagram");
VORLANE_RESOURCESTRING(svlGridChartCustomizationFormSeriesPageCaption, "Series");
VORLANE_RESOURCESTRING(svlGridChartCustomizationFormSortBySeries, "Sort by:");
VORLANE_RESOURCESTRING(svlGridChartCustomizationFormNoSortedSeries, "<none series>");
VORLANE_RESOURCESTRING(svlGridChartCustomizationFormDataGroupsPageCaption, "Data Groups");
VORLANE_RESOURCESTRING(svlGridChartCustomizationFormOptionsPageCaption, "Options");
VORLANE_RESOURCESTRING(svlGridChartLegend, "Legend");
VORLANE_RESOURCESTRING(svlGridChartLegendKeyBorder, "Key Border");
VORLANE_RESOURCESTRING(svlGridChartPosition, "Position");
VORLANE_RESOURCESTRING(svlGridChartPositionDefault, "Default");
VORLANE_RESOURCESTRING(svlGridChartPositionNone, "None");
VORLANE_RESOURCESTRING(svlGridChartPositionLeft, "Left");
VORLANE_RESOURCESTRING(svlGridChartPositionTop, "Top");
VORLANE_RESOURCESTRING(svlGridChartPositionRight, "Right");
VORLANE_RESOURCESTRING(svlGridChartPositionBottom, "Bottom");
VORLANE_RESOURCESTRING(svlGridChartAlignment, "Alignment");
VORLANE_RESOURCESTRING(svlGridChartAlignmentDefault, "Default");
VORLANE_RESOURCESTRING(svlGridChartAlignmentStart, "Start");
VORLANE_RESOURCESTRING(svlGridChartAlignmentCenter, "Center");
VORLANE_RESOURCESTRING(svlGridChartAlignmentEnd, "End");
VORLANE_RESOURCESTRING(svlGridChartOrientation, "Orientation");
VORLANE_RESOURCESTRING(svlGridChartOrientationDefault, "Default");
VORLANE_RESOURCESTRING(svlGridChartOrientationHorizontal, "Horizontal");
VORLANE_RESOURCESTRING(svlGridChartOrientationVertical, "Vertical");
VORLANE_RESOURCESTRING(svlGridChartBorder, "Border");
VORLANE_RESOURCESTRING(svlGridChartTitle, "Title");
VORLANE_RESOURCESTRING(svlGridChartToolBox, "Toolbox");
VORLANE_RESOURCESTRING(svlGridChartDiagramSelector, "Diagram Selector");
VORLANE_RESOURCESTRING(svlGridChartOther, "Other");
VORLANE_RESOURCESTRING(svlGridChartValueHints, "Value Hints");

// In registration order.
inline constexpr const TResStringRec* vlGridStrsTable[] = {
    &svlGridDeletingConfirmationCaption,
    &svlGridDeletingFocusedConfirmationText,
    &svlGridDeletingSelectedConfirmationText,
    &svlGridNoDataInfoText,
    &svlGridFilterRowInfoText,
    &svlGridNewItemRowInfoText,
    &svlGridFilterIsEmpty,
    &svlGridCustomizationFormCaption,
    &svlGridCustomizationFormColumnsPageCaption,
    &svlGridGroupByBoxCaption,
    &svlGridFilterApplyButtonCaption,
    &svlGridFilterCustomizeButtonCaption,
    &svlGridColumnsQuickCustomizationHint,
    &svlGridYesterday,
    &svlGridToday,
    &svlGridTomorrow,
    &svlGridLast30Days,
    &svlGridLast14Days,
    &svlGridLast7Days,
    &svlGridNext7Days,
    &svlGridNext14Days,
    &svlGridNext30Days,
    &svlGridLastTwoWeeks,
    &svlGridLastWeek,
    &svlGridThisWeek,
    &svlGridNextWeek,
    &svlGridNextTwoWeeks,
    &svlGridLastMonth,
    &svlGridThisMonth,
    &svlGridNextMonth,
    &svlGridLastYear,
    &svlGridThisYear,
    &svlGridNextYear,
    &svlGridPast,
    &svlGridFuture,
    &svlGridMonthFormat,
    &svlGridYearFormat,
    &svlGridRecursiveLevels,
    &svlGridCustomizationFormBandsPageCaption,
    &svlGridBandsQuickCustomizationHint,
    &svlGridCustomizationFormRowsPageCaption,
    &svlGridConverterIntermediaryMissing,
    &svlGridConverterNotExistGrid,
    &svlGridConverterNotExistComponent,
    &svlImportErrorCaption,
    &svlNotExistGridView,
    &svlNotExistGridLevel,
    &svlCantCreateExportOutputFile,
    &vlSEditRepositoryExtLookupComboBoxItem,
    &svlGridChartCategoriesDisplayText,
    &svlGridChartValueHintFormat,
    &svlGridChartPercentValueTickMarkLabelFormat,
    &svlGridChartToolBoxDataLevels,
    &svlGridChartToolBoxDataLevelSelectValue,
    &svlGridChartToolBoxCustomizeButtonCaption,
    &svlGridChartNoneDiagramDisplayText,
    &svlGridChartColumnDiagramDisplayText,
    &svlGridChartBarDiagramDisplayText,
    &svlGridChartLineDiagramDisplayText,
    &svlGridChartAreaDiagramDisplayText,
    &svlGridChartPieDiagramDisplayText,
    &svlGridChartCustomizationFormSeriesPageCaption,
    &svlGridChartCustomizationFormSortBySeries,
    &svlGridChartCustomizationFormNoSortedSeries,
    &svlGridChartCustomizationFormDataGroupsPageCaption,
    &svlGridChartCustomizationFormOptionsPageCaption,
    &svlGridChartLegend,
    &svlGridChartLegendKeyBorder,
    &svlGridChartPosition,
    &svlGridChartPositionDefault,
    &svlGridChartPositionNone,
    &svlGridChartPositionLeft,
    &svlGridChartPositionTop,
    &svlGridChartPositionRight,
    &svlGridChartPositionBottom,
    &svlGridChartAlignment,
    &svlGridChartAlignmentDefault,
    &svlGridChartAlignmentStart,
    &svlGridChartAlignmentCenter,
    &svlGridChartAlignmentEnd,
    &svlGridChartOrientation,
    &svlGridChartOrientationDefault,
    &svlGridChartOrientationHorizontal,
    &svlGridChartOrientationVertical,
    &svlGridChartBorder,
    &svlGridChartTitle,
    &svlGridChartToolBox,
    &svlGridChartDiagramSelector,
    &svlGridChartOther,
    &svlGridChartValueHints,
};


void AddvlGridStrsUnit(TStartupList& AList);
