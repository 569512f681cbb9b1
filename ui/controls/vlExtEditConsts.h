// vlExtEditConsts.h - the texts of the additional editors, registered under
// their own product with the library's resource-string repository so that a
// translation can replace them. Two are shown by editors of this program
// (the progress bar's registry description and the check list box's item
// limit); the others are registered for translators only.
#pragma once
#include "platform/rtl/ResString.h"

class TStartupList;
class TvxProductResourceStrings;

VORLANE_RESOURCESTRING(svlSEditRepositoryColorComboBoxItem, "ColorComboBox |Represents a editor with color functionality");
VORLANE_RESOURCESTRING(svlSEditRepositoryFontNameComboBoxItem, "FontNameComboBox |Represents a editor with font functionality");
VORLANE_RESOURCESTRING(svlSEditRepositoryLabelItem, "Label|Represents a Label");
VORLANE_RESOURCESTRING(svlSEditRepositoryProgressBarItem, "ProgressBar|Represents a ProgressBar");
VORLANE_RESOURCESTRING(svlSEditRepositoryTrackBarItem, "TrackBar|Represents a TrackBar");
VORLANE_RESOURCESTRING(svlSEditRepositorySpinButtonItem, "SpinButton|Represents a SpinButton");
VORLANE_RESOURCESTRING(svlSEditRepositoryCheckComboBox, "CheckComboBox|Represents a CheckComboBox");
VORLANE_RESOURCESTRING(svlSEditRepositoryShellComboBoxItem, "ShellComboBox|Represents a combo box with a dropdown shell tree view");
VORLANE_RESOURCESTRING(svlSEditRepositoryCheckGroupItem, "CheckGroup|Represents a group of check boxes");
VORLANE_RESOURCESTRING(svlUDAssociated, " is already associated with ");
VORLANE_RESOURCESTRING(svlHotZoneStyleMediaPlayer9, "MediaPlayer9");
VORLANE_RESOURCESTRING(svlHotZoneStyleMediaPlayer8, "MediaPlayer8");
VORLANE_RESOURCESTRING(svlHotZoneStyleXPTaskBar, "XPTaskBar");
VORLANE_RESOURCESTRING(svlHotZoneStyleSimple, "Simple");
VORLANE_RESOURCESTRING(svlLoadingFonts, "Loading ...");
VORLANE_RESOURCESTRING(vlSEditCheckGroupCaptionStateDelimiter, ": ");
VORLANE_RESOURCESTRING(vlSEditCheckGroupFilterColumnSeparator, "; ");
VORLANE_RESOURCESTRING(vlSEditCheckGroupChecked, "Checked");
VORLANE_RESOURCESTRING(vlSEditCheckGroupGrayed, "Grayed");
VORLANE_RESOURCESTRING(vlSEditCheckGroupUnchecked, "Unchecked");
VORLANE_RESOURCESTRING(vlSCheckComboBoxStatesItemsPropertyDlgCaption, "vlCheckComboBox - CheckStates editor");
// A no-break space between "number" and "of".
VORLANE_RESOURCESTRING(vlSCheckControlIncorrectItemCount,
                       "The number\xC2\xA0of items cannot be greater than 64, if the EditValueFormat is cvfInteger");
VORLANE_RESOURCESTRING(vlSCheckGroupStatesItemsPropertyDlgCaption, "vlCheckGroup - CheckStates editor");
VORLANE_RESOURCESTRING(vlSCheckComboBoxEmptySelectionText, "None selected");
VORLANE_RESOURCESTRING(vlSColorComboBoxDefaultDescription, "Color not selected");
VORLANE_RESOURCESTRING(vlSEditRichEditLibraryError, "Cannot load a RichEdit library");
VORLANE_RESOURCESTRING(vlSEditRichEditLineInsertionError, "RichEdit line insertion error");
VORLANE_RESOURCESTRING(vlSEditRichEditLoadFail, "Failed to Load Stream");
VORLANE_RESOURCESTRING(vlSEditRichEditSaveFail, "Failed to Save Stream");
VORLANE_RESOURCESTRING(vlSEditRichEditSelectionSaveFail, "Failed to selection Save Stream");
VORLANE_RESOURCESTRING(vlSEditRichEditOleInterfaceFail, "RichEdit: failed to get IRichEditOle interface");
VORLANE_RESOURCESTRING(vlSEditRichEditCallBackFail, "RichEdit: failed to set callback");
VORLANE_RESOURCESTRING(vlSEditRichEditLinkFail, "RichEdit: cannot link to an invalid source");
VORLANE_RESOURCESTRING(svlSEditRepositoryRichEditItem, "RichEdit|RichEdit control");
VORLANE_RESOURCESTRING(vlSEditRichEditUndoCaption, "&Undo");
VORLANE_RESOURCESTRING(vlSEditRichEditRedoCaption, "&Redo");
VORLANE_RESOURCESTRING(vlSEditRichEditCutCaption, "Cu&t");
VORLANE_RESOURCESTRING(vlSEditRichEditCopyCaption, "&Copy");
VORLANE_RESOURCESTRING(vlSEditRichEditPasteCaption, "&Paste");
VORLANE_RESOURCESTRING(vlSEditRichEditDeleteCaption, "&Delete");
VORLANE_RESOURCESTRING(vlSEditRichEditSelectAllCaption, "Select &All");

// In registration order.
inline constexpr const TResStringRec* vlExtEditConstsTable[] = {
    &svlSEditRepositoryColorComboBoxItem, &svlSEditRepositoryFontNameComboBoxItem, &svlSEditRepositoryLabelItem,
    &svlSEditRepositoryProgressBarItem, &svlSEditRepositoryTrackBarItem, &svlSEditRepositorySpinButtonItem,
    &svlSEditRepositoryCheckComboBox, &svlSEditRepositoryShellComboBoxItem, &svlSEditRepositoryCheckGroupItem,
    &svlUDAssociated, &svlHotZoneStyleMediaPlayer9, &svlHotZoneStyleMediaPlayer8, &svlHotZoneStyleXPTaskBar,
    &svlHotZoneStyleSimple, &svlLoadingFonts, &vlSEditCheckGroupCaptionStateDelimiter,
    &vlSEditCheckGroupFilterColumnSeparator, &vlSEditCheckGroupChecked, &vlSEditCheckGroupGrayed,
    &vlSEditCheckGroupUnchecked, &vlSCheckComboBoxStatesItemsPropertyDlgCaption, &vlSCheckControlIncorrectItemCount,
    &vlSCheckGroupStatesItemsPropertyDlgCaption, &vlSCheckComboBoxEmptySelectionText,
    &vlSColorComboBoxDefaultDescription, &vlSEditRichEditLibraryError, &vlSEditRichEditLineInsertionError,
    &vlSEditRichEditLoadFail, &vlSEditRichEditSaveFail, &vlSEditRichEditSelectionSaveFail,
    &vlSEditRichEditOleInterfaceFail, &vlSEditRichEditCallBackFail, &vlSEditRichEditLinkFail,
    &svlSEditRepositoryRichEditItem, &vlSEditRichEditUndoCaption, &vlSEditRichEditRedoCaption,
    &vlSEditRichEditCutCaption, &vlSEditRichEditCopyCaption, &vlSEditRichEditPasteCaption,
    &vlSEditRichEditDeleteCaption, &vlSEditRichEditSelectAllCaption,
};

// The key the additional editors' strings are registered under.
extern const char* const vlExtEditorsProductName;

void AddExtEditResourceStrings(TvxProductResourceStrings* AProduct);
void AddvlExtEditConstsUnit(TStartupList& AList);
