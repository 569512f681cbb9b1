// vlFilter.h - the filter model's building blocks: operator kinds, the LIKE
// wildcard matcher, the value texts of filter conditions and the date
// ranges of the relative-date operators.
#pragma once
#include <cstdint>

#include "platform/rtl/Stream.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Variant.h"

// The value stored in criteria streams (one byte).
enum TvlFilterOperatorKind : uint8_t {
    foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual, foLike, foNotLike, foBetween,
    foNotBetween, foInList, foNotInList, foYesterday, foToday, foTomorrow, foLast7Days, foLastWeek,
    foLast14Days, foLastTwoWeeks, foLast30Days, foLastMonth, foLastYear, foInPast, foThisWeek, foThisMonth,
    foThisYear, foNext7Days, foNextWeek, foNext14Days, foNextTwoWeeks, foNext30Days, foNextMonth, foNextYear,
    foInFuture
};
inline constexpr int vlFilterOperatorKindCount = foInFuture + 1;

enum TvlFilterBoolOperatorKind : uint8_t { fboAnd, fboOr, fboNotAnd, fboNotOr };

// ---- LIKE matching ------------------------------------------------------------------

// Matches AText against APattern code unit by code unit. The multiple
// wildcard matches any run of units, the empty run included (so a run of
// wildcards matches the empty text), the single wildcard exactly one unit;
// an escape character (0 = none) makes the next pattern unit literal.
// Iterative, with one backtrack point: the latest multiple wildcard.
bool LikeMatch(const char16_t* AText, int ATextLength, const char16_t* APattern, int APatternLength,
               char16_t AMultipleWildcard, char16_t ASingleWildcard, char16_t AEscapeChar);
bool MatchesLikePattern(const String& AText, const String& APattern, QChar AMultipleWildcard,
                        QChar ASingleWildcard);
// Collapses every run of AChar to one AChar.
void CollapseDoubledChar(String& AText, QChar AChar);
// 0 plain, 1 begins with, 2 ends with, 3 contains; the classifying wildcards
// are stripped from APattern (runs collapsed first).
int ClassifyLikeWildcards(String& APattern, QChar AWildcard);

// ---- value texts --------------------------------------------------------------------

String FilterValueText(const Variant& AValue);
String BetweenArrayText(const Variant& AArray);
String ListArrayText(const Variant& AArray);
// The text from APosition (1-based) to the next ';', trimmed of blanks and
// control characters; APosition moves past the ';'.
String NextListToken(const String& AText, int& APosition);
Variant TextToBetweenArray(const String& AText);
Variant TextToListArray(const String& AText);
bool SameMemoryStreams(TMemoryStream* AStream1, TMemoryStream* AStream2);

// ---- relative dates -----------------------------------------------------------------

// The [start, end) range of a relative-date operator kind for the day
// AToday (0 = open bound); false for a kind that is not a date kind.
bool FilterDateRange(TvlFilterOperatorKind AKind, TDateTime AToday, TDateTime& AStart, TDateTime& AEnd);

// ---- the filter UI's operator numbering -------------------------------------------

// 0 none, 1-8 the value operators equals ... not like, 9 "is blank",
// 10 "is not blank", 11-14 between ... not in, 15-36 the date operators.
using TvlFilterControlOperator = uint8_t;
inline constexpr TvlFilterControlOperator vlFilterControlOperatorMax = 36;

TvlFilterOperatorKind FilterControlOperatorToKind(TvlFilterControlOperator AOperator);
TvlFilterControlOperator KindToFilterControlOperator(TvlFilterOperatorKind AKind, bool AValueIsBlank);
String GetFilterControlOperatorText(TvlFilterControlOperator AOperator);

// ---- the string tables ------------------------------------------------------------

class TvxProductResourceStrings;
// The operators and criteria fetch their texts through this: the hook when
// one is set, else the resource's own text.
String GetFilterResourceString(const TResStringRec& AResString);
using TvlFilterResourceStringHook = String (*)(const TResStringRec& AResString);
void SetFilterResourceStringHook(TvlFilterResourceStringHook AHook);
void RegisterFilterResourceStrings(TvxProductResourceStrings* AProduct);
void RegisterDataResourceStrings(TvxProductResourceStrings* AProduct);
void RegisterFilterControlResourceStrings(TvxProductResourceStrings* AProduct);
