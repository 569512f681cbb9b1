// vlTextEditPublished.h - the settings every text-based editor publishes,
// written once for the property tables of all their published classes.
#pragma once
#include "platform/rtl/TypInfo.h"
#include "ui/editors/vlTextEdit.h"

namespace vlTextEditPublished {

inline const char* const charCaseNames[] = {"ecNormal", "ecUpperCase", "ecLowerCase"};
inline const TEnumInfo charCaseInfo{"TEditCharCase", charCaseNames};
inline const char* const echoModeNames[] = {"eemNormal", "eemPassword"};
inline const TEnumInfo echoModeInfo{"TvlEditEchoMode", echoModeNames};
inline const char* const imeModeNames[] = {"imDisable", "imClose", "imOpen", "imDontCare"};
inline const TEnumInfo imeModeInfo{"TImeMode", imeModeNames};

}  // namespace vlTextEditPublished

// Adds the text editor's published settings to the table of P, a class of
// text editor settings; AValidateOnEnter is the class's default.
template <class P>
TClassInfoBuilder<P>& PublishTextEditProperties(TClassInfoBuilder<P>& B, bool AValidateOnEnter = false)
{
    using namespace vlTextEditPublished;
    return B
        .Object("Alignment", &P::Alignment, &P::SetAlignment)
        .Stored([](const P& p) { return p.IsAlignmentStored(); })
        .Object("AssignedValues", &P::AssignedValues, &P::SetAssignedValues)
        .Bool("AutoSelect", &P::AutoSelect, &P::SetAutoSelect, true)
        .Bool("BeepOnError", &P::BeepOnError, &P::SetBeepOnError, false)
        .Enum("CharCase", charCaseInfo, &P::CharCase, &P::SetCharCase, ecNormal)
        .Int("ClearKey", &P::ClearKey, &P::SetClearKey, TShortCut(0))
        .Enum("EchoMode", echoModeInfo, &P::EchoMode, &P::SetEchoMode, eemNormal)
        .Bool("HideSelection", &P::HideSelection, &P::SetHideSelection, true)
        .Enum("ImeMode", imeModeInfo, &P::ImeMode, &P::SetImeMode, imDontCare)
        .Str("ImeName", &P::ImeName, &P::SetImeName)
        .Bool("IncrementalSearch", &P::IncrementalSearch, &P::SetIncrementalSearch, true)
        .Object("LookupItems", &P::LookupItems, &P::SetLookupItems)
        .Bool("LookupItemsSorted", &P::LookupItemsSorted, &P::SetLookupItemsSorted, false)
        .Int("MaxLength", &P::MaxLength, &P::SetMaxLength)
        .Stored([](const P& p) { return p.IsMaxLengthStored(); })
        .Bool("OEMConvert", &P::OEMConvert, &P::SetOEMConvert, false)
        .Char("PasswordChar", &P::PasswordChar, &P::SetPasswordChar, QChar(0))
        .Bool("ReadOnly", &P::ReadOnly, &P::SetReadOnly)
        .Stored([](const P& p) { return p.IsReadOnlyStored(); })
        .Bool("UseLeftAlignmentOnEditing", &P::UseLeftAlignmentOnEditing, &P::SetUseLeftAlignmentOnEditing)
        .Stored([](const P& p) { return p.IsUseLeftAlignmentOnEditingStored(); })
        .Bool("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter, AValidateOnEnter)
        // Read from older streams only: a display format assigned as empty.
        .Bool("IsDisplayFormatAssigned", &P::IsDisplayFormatStored, &P::ReadIsDisplayFormatAssigned)
        .Stored(false);
}
