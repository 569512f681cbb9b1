// vlEditConsts.h - the editors' texts: button captions, conversion and
// validation errors, menu and navigator texts, repository item descriptions
// and the regular-expression masks' errors. They register as one product of
// the resource-strings repository so a translation can replace them.
#pragma once
#include "platform/rtl/ResString.h"

class TStartupList;
class TvxProductResourceStrings;

namespace vlEditConsts {
VORLANE_RESOURCESTRING(vlSEditButtonCancel, "Cancel");
VORLANE_RESOURCESTRING(vlSEditButtonOK, "OK");
VORLANE_RESOURCESTRING(vlSEditDateConvertError, "Could not convert to date");
VORLANE_RESOURCESTRING(vlSEditInvalidRepositoryItem, "The repository item is not acceptable");
VORLANE_RESOURCESTRING(vlSEditNumericValueConvertError, "Could not convert to numeric value");
VORLANE_RESOURCESTRING(vlSEditPopupCircularReferencingError, "Circular referencing is not allowed");
VORLANE_RESOURCESTRING(vlSEditPostError, "An error occured during posting edit value");
VORLANE_RESOURCESTRING(vlSEditTimeConvertError, "Could not convert to time");
VORLANE_RESOURCESTRING(vlSEditValidateErrorText, "Invalid input value. Use escape key to abandon changes");
VORLANE_RESOURCESTRING(vlSEditValueOutOfBounds, "Value out of bounds");
VORLANE_RESOURCESTRING(vlSEditCheckBoxChecked, "True");
VORLANE_RESOURCESTRING(vlSEditCheckBoxGrayed, "");
VORLANE_RESOURCESTRING(vlSEditCheckBoxUnchecked, "False");
VORLANE_RESOURCESTRING(vlSRadioGroupDefaultCaption, "");
VORLANE_RESOURCESTRING(vlSTextTrue, "True");
VORLANE_RESOURCESTRING(vlSTextFalse, "False");
VORLANE_RESOURCESTRING(vlSBlobButtonOK, "&OK");
VORLANE_RESOURCESTRING(vlSBlobButtonCancel, "&Cancel");
VORLANE_RESOURCESTRING(vlSBlobButtonClose, "&Close");
VORLANE_RESOURCESTRING(vlSBlobMemo, "(MEMO)");
VORLANE_RESOURCESTRING(vlSBlobMemoEmpty, "(memo)");
VORLANE_RESOURCESTRING(vlSBlobPicture, "(PICTURE)");
VORLANE_RESOURCESTRING(vlSBlobPictureEmpty, "(picture)");
VORLANE_RESOURCESTRING(vlSMenuItemCaptionCut, "Cu&t");
VORLANE_RESOURCESTRING(vlSMenuItemCaptionCopy, "&Copy");
VORLANE_RESOURCESTRING(vlSMenuItemCaptionPaste, "&Paste");
VORLANE_RESOURCESTRING(vlSMenuItemCaptionDelete, "&Delete");
VORLANE_RESOURCESTRING(vlSMenuItemCaptionLoad, "&Load...");
VORLANE_RESOURCESTRING(vlSMenuItemCaptionSave, "Save &As...");
VORLANE_RESOURCESTRING(vlSDatePopupClear, "Clear");
VORLANE_RESOURCESTRING(vlSDatePopupNow, "Now");
VORLANE_RESOURCESTRING(vlSDatePopupOK, "OK");
VORLANE_RESOURCESTRING(vlSDatePopupToday, "Today");
VORLANE_RESOURCESTRING(vlSDateError, "Invalid Date");
VORLANE_RESOURCESTRING(svlSCalcError, "Error");
VORLANE_RESOURCESTRING(svlSHyperLinkPrefix, "http://");
VORLANE_RESOURCESTRING(svlSHyperLinkDoubleSlash, "//");
VORLANE_RESOURCESTRING(vlNavigatorHint_First, "First record");
VORLANE_RESOURCESTRING(vlNavigatorHint_Prior, "Prior record");
VORLANE_RESOURCESTRING(vlNavigatorHint_PriorPage, "Prior page");
VORLANE_RESOURCESTRING(vlNavigatorHint_Next, "Next record");
VORLANE_RESOURCESTRING(vlNavigatorHint_NextPage, "Next page");
VORLANE_RESOURCESTRING(vlNavigatorHint_Last, "Last record");
VORLANE_RESOURCESTRING(vlNavigatorHint_Insert, "Insert record");
VORLANE_RESOURCESTRING(vlNavigatorHint_Append, "Append record");
VORLANE_RESOURCESTRING(vlNavigatorHint_Delete, "Delete record");
VORLANE_RESOURCESTRING(vlNavigatorHint_Edit, "Edit record");
VORLANE_RESOURCESTRING(vlNavigatorHint_Post, "Post edit");
VORLANE_RESOURCESTRING(vlNavigatorHint_Cancel, "Cancel edit");
VORLANE_RESOURCESTRING(vlNavigatorHint_Refresh, "Refresh data");
VORLANE_RESOURCESTRING(vlNavigatorHint_SaveBookmark, "Save Bookmark");
VORLANE_RESOURCESTRING(vlNavigatorHint_GotoBookmark, "Goto Bookmark");
VORLANE_RESOURCESTRING(vlNavigatorHint_Filter, "Filter data");
VORLANE_RESOURCESTRING(vlNavigator_DeleteRecordQuestion, "Delete record?");
VORLANE_RESOURCESTRING(svlSEditRepositoryBlobItem, "BlobEdit|Represents the BLOB editor");
VORLANE_RESOURCESTRING(svlSEditRepositoryButtonItem, "ButtonEdit|Represents an edit control with embedded buttons");
VORLANE_RESOURCESTRING(svlSEditRepositoryCalcItem, "CalcEdit|Represents an edit control with a dropdown calculator window");
VORLANE_RESOURCESTRING(svlSEditRepositoryCheckBoxItem, "CheckBox|Represents a check box control that allows selecting an option");
VORLANE_RESOURCESTRING(svlSEditRepositoryComboBoxItem, "ComboBox|Represents the combo box editor");
VORLANE_RESOURCESTRING(svlSEditRepositoryCurrencyItem, "CurrencyEdit|Represents an editor enabling editing currency data");
VORLANE_RESOURCESTRING(svlSEditRepositoryDateItem, "DateEdit|Represents an edit control with a dropdown calendar");
VORLANE_RESOURCESTRING(svlSEditRepositoryHyperLinkItem, "HyperLink|Represents a text editor with hyperlink functionality");
VORLANE_RESOURCESTRING(svlSEditRepositoryImageComboBoxItem, "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window");
VORLANE_RESOURCESTRING(svlSEditRepositoryImageItem, "Image|Represents an image editor");
VORLANE_RESOURCESTRING(svlSEditRepositoryLookupComboBoxItem, "LookupComboBox|Represents a lookup combo box control");
VORLANE_RESOURCESTRING(svlSEditRepositoryMaskItem, "MaskEdit|Represents a generic masked edit control.");
VORLANE_RESOURCESTRING(svlSEditRepositoryMemoItem, "Memo|Represents an edit control that allows editing memo data");
VORLANE_RESOURCESTRING(svlSEditRepositoryMRUItem, "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown window");
VORLANE_RESOURCESTRING(svlSEditRepositoryPopupItem, "PopupEdit|Represents an edit control with a dropdown list");
VORLANE_RESOURCESTRING(svlSEditRepositorySpinItem, "SpinEdit|Represents a spin editor");
VORLANE_RESOURCESTRING(svlSEditRepositoryRadioGroupItem, "RadioGroup|Represents a group of radio buttons");
VORLANE_RESOURCESTRING(svlSEditRepositoryTextItem, "TextEdit|Represents a single line text editor");
VORLANE_RESOURCESTRING(svlSEditRepositoryTimeItem, "TimeEdit|Represents an editor displaying time values");
VORLANE_RESOURCESTRING(svlRegExprLine, "Line");
VORLANE_RESOURCESTRING(svlRegExprChar, "Char");
VORLANE_RESOURCESTRING(svlRegExprNotAssignedSourceStream, "The source stream is not assigned");
VORLANE_RESOURCESTRING(svlRegExprEmptySourceStream, "The source stream is empty");
VORLANE_RESOURCESTRING(svlRegExprCantUsePlusQuantifier, "The '+' quantifier cannot be applied here");
VORLANE_RESOURCESTRING(svlRegExprCantUseStarQuantifier, "The '*' quantifier cannot be applied here");
VORLANE_RESOURCESTRING(svlRegExprCantCreateEmptyAlt, "The alternative should not be empty");
VORLANE_RESOURCESTRING(svlRegExprCantCreateEmptyBlock, "The block should not be empty");
VORLANE_RESOURCESTRING(svlRegExprIllegalSymbol, "Illegal '%s'");
VORLANE_RESOURCESTRING(svlRegExprIllegalQuantifier, "Illegal quantifier '%s'");
VORLANE_RESOURCESTRING(svlRegExprNotSupportQuantifier, "The parameter quantifiers are not supported");
VORLANE_RESOURCESTRING(svlRegExprIllegalIntegerValue, "Illegal integer value");
VORLANE_RESOURCESTRING(svlRegExprTooBigReferenceNumber, "Too big reference number");
VORLANE_RESOURCESTRING(svlRegExprCantCreateEmptyEnum, "Can't create empty enumeration");
VORLANE_RESOURCESTRING(svlRegExprSubrangeOrder, "The starting character of the subrange must be less than the finishing one");
VORLANE_RESOURCESTRING(svlRegExprHexNumberExpected0, "Hexadecimal number expected");
VORLANE_RESOURCESTRING(svlRegExprHexNumberExpected, "Hexadecimal number expected but '%s' found");
VORLANE_RESOURCESTRING(svlRegExprMissing, "Missing '%s'");
VORLANE_RESOURCESTRING(svlRegExprUnnecessary, "Unnecessary '%s'");
VORLANE_RESOURCESTRING(svlRegExprIncorrectSpace, "The space character is not allowed after '\\'");
VORLANE_RESOURCESTRING(svlRegExprNotCompiled, "Regular expression is not compiled");
VORLANE_RESOURCESTRING(svlRegExprIncorrectParameterQuantifier, "Incorrect parameter quantifier");
VORLANE_RESOURCESTRING(svlRegExprCantUseParameterQuantifier, "The parameter quantifier cannot be applied here");
VORLANE_RESOURCESTRING(svlMaskEditRegExprError, "Regular expression errors:");
VORLANE_RESOURCESTRING(svlMaskEditInvalidEditValue, "The edit value is invalid");
VORLANE_RESOURCESTRING(svlMaskEditNoMask, "None");
VORLANE_RESOURCESTRING(svlMaskEditIllegalFileFormat, "Illegal file format");
VORLANE_RESOURCESTRING(svlMaskEditEmptyMaskCollectionFile, "The mask collection file is empty");
VORLANE_RESOURCESTRING(svlMaskEditMaskCollectionFiles, "Mask collection files");
VORLANE_RESOURCESTRING(vlSSpinEditInvalidNumericValue, "Invalid numeric value");

// Every text above, in the order it registers.
inline constexpr const TResStringRec* vlEditConstsTable[] = {
    &vlSEditButtonCancel,
    &vlSEditButtonOK,
    &vlSEditDateConvertError,
    &vlSEditInvalidRepositoryItem,
    &vlSEditNumericValueConvertError,
    &vlSEditPopupCircularReferencingError,
    &vlSEditPostError,
    &vlSEditTimeConvertError,
    &vlSEditValidateErrorText,
    &vlSEditValueOutOfBounds,
    &vlSEditCheckBoxChecked,
    &vlSEditCheckBoxGrayed,
    &vlSEditCheckBoxUnchecked,
    &vlSRadioGroupDefaultCaption,
    &vlSTextTrue,
    &vlSTextFalse,
    &vlSBlobButtonOK,
    &vlSBlobButtonCancel,
    &vlSBlobButtonClose,
    &vlSBlobMemo,
    &vlSBlobMemoEmpty,
    &vlSBlobPicture,
    &vlSBlobPictureEmpty,
    &vlSMenuItemCaptionCut,
    &vlSMenuItemCaptionCopy,
    &vlSMenuItemCaptionPaste,
    &vlSMenuItemCaptionDelete,
    &vlSMenuItemCaptionLoad,
    &vlSMenuItemCaptionSave,
    &vlSDatePopupClear,
    &vlSDatePopupNow,
    &vlSDatePopupOK,
    &vlSDatePopupToday,
    &vlSDateError,
    &svlSCalcError,
    &svlSHyperLinkPrefix,
    &svlSHyperLinkDoubleSlash,
    &vlNavigatorHint_First,
    &vlNavigatorHint_Prior,
    &vlNavigatorHint_PriorPage,
    &vlNavigatorHint_Next,
    &vlNavigatorHint_NextPage,
    &vlNavigatorHint_Last,
    &vlNavigatorHint_Insert,
    &vlNavigatorHint_Append,
    &vlNavigatorHint_Delete,
    &vlNavigatorHint_Edit,
    &vlNavigatorHint_Post,
    &vlNavigatorHint_Cancel,
    &vlNavigatorHint_Refresh,
    &vlNavigatorHint_SaveBookmark,
    &vlNavigatorHint_GotoBookmark,
    &vlNavigatorHint_Filter,
    &vlNavigator_DeleteRecordQuestion,
    &svlSEditRepositoryBlobItem,
    &svlSEditRepositoryButtonItem,
    &svlSEditRepositoryCalcItem,
    &svlSEditRepositoryCheckBoxItem,
    &svlSEditRepositoryComboBoxItem,
    &svlSEditRepositoryCurrencyItem,
    &svlSEditRepositoryDateItem,
    &svlSEditRepositoryHyperLinkItem,
    &svlSEditRepositoryImageComboBoxItem,
    &svlSEditRepositoryImageItem,
    &svlSEditRepositoryLookupComboBoxItem,
    &svlSEditRepositoryMaskItem,
    &svlSEditRepositoryMemoItem,
    &svlSEditRepositoryMRUItem,
    &svlSEditRepositoryPopupItem,
    &svlSEditRepositorySpinItem,
    &svlSEditRepositoryRadioGroupItem,
    &svlSEditRepositoryTextItem,
    &svlSEditRepositoryTimeItem,
    &svlRegExprLine,
    &svlRegExprChar,
    &svlRegExprNotAssignedSourceStream,
    &svlRegExprEmptySourceStream,
    &svlRegExprCantUsePlusQuantifier,
    &svlRegExprCantUseStarQuantifier,
    &svlRegExprCantCreateEmptyAlt,
    &svlRegExprCantCreateEmptyBlock,
    &svlRegExprIllegalSymbol,
    &svlRegExprIllegalQuantifier,
    &svlRegExprNotSupportQuantifier,
    &svlRegExprIllegalIntegerValue,
    &svlRegExprTooBigReferenceNumber,
    &svlRegExprCantCreateEmptyEnum,
    &svlRegExprSubrangeOrder,
    &svlRegExprHexNumberExpected0,
    &svlRegExprHexNumberExpected,
    &svlRegExprMissing,
    &svlRegExprUnnecessary,
    &svlRegExprIncorrectSpace,
    &svlRegExprNotCompiled,
    &svlRegExprIncorrectParameterQuantifier,
    &svlRegExprCantUseParameterQuantifier,
    &svlMaskEditRegExprError,
    &svlMaskEditInvalidEditValue,
    &svlMaskEditNoMask,
    &svlMaskEditIllegalFileFormat,
    &svlMaskEditEmptyMaskCollectionFile,
    &svlMaskEditMaskCollectionFiles,
    &vlSSpinEditInvalidNumericValue,
};
}  // namespace vlEditConsts

// The key the editor texts register under.
extern const char* const vlEditorsProductName;
void AddEditorResourceStrings(TvxProductResourceStrings* AProduct);
// Registers the editor texts for the program's life.
void AddvlEditConstsUnit(TStartupList& AList);
