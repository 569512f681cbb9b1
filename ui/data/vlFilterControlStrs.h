// vlFilterControlStrs.h - the texts of the filter control and the filter dialogs, as
// named resource strings a translation can replace.
#pragma once
#include "platform/rtl/ResString.h"

namespace vlFilterControlStrs {
VORLANE_RESOURCESTRING(vlSFilterBoolOperatorAnd, "AND");
VORLANE_RESOURCESTRING(vlSFilterBoolOperatorOr, "OR");
VORLANE_RESOURCESTRING(vlSFilterBoolOperatorNotAnd, "NOT AND");
VORLANE_RESOURCESTRING(vlSFilterBoolOperatorNotOr, "NOT OR");
VORLANE_RESOURCESTRING(vlSFilterRootButtonCaption, "Filter");
VORLANE_RESOURCESTRING(vlSFilterAddCondition, "Add &Condition");
VORLANE_RESOURCESTRING(vlSFilterAddGroup, "Add &Group");
VORLANE_RESOURCESTRING(vlSFilterRemoveRow, "&Remove Row");
VORLANE_RESOURCESTRING(vlSFilterClearAll, "Clear &All");
VORLANE_RESOURCESTRING(vlSFilterFooterAddCondition, "press the button to add a new condition");
VORLANE_RESOURCESTRING(vlSFilterGroupCaption, "applies to the following conditions");
VORLANE_RESOURCESTRING(vlSFilterRootGroupCaption, "<root>");
VORLANE_RESOURCESTRING(vlSFilterControlNullString, "<empty>");
VORLANE_RESOURCESTRING(vlSFilterErrorBuilding, "Can't build filter from source");
VORLANE_RESOURCESTRING(vlSFilterDialogCaption, "Custom Filter");
VORLANE_RESOURCESTRING(vlSFilterDialogInvalidValue, "Invalid value");
VORLANE_RESOURCESTRING(vlSFilterDialogUse, "Use");
VORLANE_RESOURCESTRING(vlSFilterDialogSingleCharacter, "to represent any single character");
VORLANE_RESOURCESTRING(vlSFilterDialogCharactersSeries, "to represent any series of characters");
VORLANE_RESOURCESTRING(vlSFilterDialogOperationAnd, "AND");
VORLANE_RESOURCESTRING(vlSFilterDialogOperationOr, "OR");
VORLANE_RESOURCESTRING(vlSFilterDialogRows, "Show rows where:");
VORLANE_RESOURCESTRING(vlSFilterControlDialogCaption, "Filter builder");
VORLANE_RESOURCESTRING(vlSFilterControlDialogNewFile, "untitled.flt");
VORLANE_RESOURCESTRING(vlSFilterControlDialogOpenDialogCaption, "Open an existing filter");
VORLANE_RESOURCESTRING(vlSFilterControlDialogSaveDialogCaption, "Save the active filter to file");
VORLANE_RESOURCESTRING(vlSFilterControlDialogActionSaveCaption, "&Save As...");
VORLANE_RESOURCESTRING(vlSFilterControlDialogActionSaveHint, "Save As|Saves the active filter with a new name");
VORLANE_RESOURCESTRING(vlSFilterControlDialogActionOpenCaption, "&Open...");
VORLANE_RESOURCESTRING(vlSFilterControlDialogActionOpenHint, "Open|Opens an existing filter");
VORLANE_RESOURCESTRING(vlSFilterControlDialogActionApplyCaption, "&Apply");
VORLANE_RESOURCESTRING(vlSFilterControlDialogActionOkCaption, "OK");
VORLANE_RESOURCESTRING(vlSFilterControlDialogActionCancelCaption, "Cancel");
VORLANE_RESOURCESTRING(vlSFilterControlDialogFileExt, "flt");
VORLANE_RESOURCESTRING(vlSFilterControlDialogFileFilter, "Filters (*.flt)|*.flt");

// The table in its registration order, for the string repository.
inline constexpr const TResStringRec* vlFilterControlStrsTable[] = {
    &vlSFilterBoolOperatorAnd,
    &vlSFilterBoolOperatorOr,
    &vlSFilterBoolOperatorNotAnd,
    &vlSFilterBoolOperatorNotOr,
    &vlSFilterRootButtonCaption,
    &vlSFilterAddCondition,
    &vlSFilterAddGroup,
    &vlSFilterRemoveRow,
    &vlSFilterClearAll,
    &vlSFilterFooterAddCondition,
    &vlSFilterGroupCaption,
    &vlSFilterRootGroupCaption,
    &vlSFilterControlNullString,
    &vlSFilterErrorBuilding,
    &vlSFilterDialogCaption,
    &vlSFilterDialogInvalidValue,
    &vlSFilterDialogUse,
    &vlSFilterDialogSingleCharacter,
    &vlSFilterDialogCharactersSeries,
    &vlSFilterDialogOperationAnd,
    &vlSFilterDialogOperationOr,
    &vlSFilterDialogRows,
    &vlSFilterControlDialogCaption,
    &vlSFilterControlDialogNewFile,
    &vlSFilterControlDialogOpenDialogCaption,
    &vlSFilterControlDialogSaveDialogCaption,
    &vlSFilterControlDialogActionSaveCaption,
    &vlSFilterControlDialogActionSaveHint,
    &vlSFilterControlDialogActionOpenCaption,
    &vlSFilterControlDialogActionOpenHint,
    &vlSFilterControlDialogActionApplyCaption,
    &vlSFilterControlDialogActionOkCaption,
    &vlSFilterControlDialogActionCancelCaption,
    &vlSFilterControlDialogFileExt,
    &vlSFilterControlDialogFileFilter,
};
}  // namespace vlFilterControlStrs
