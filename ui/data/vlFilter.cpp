#include "ui/data/vlFilter.h"

#include <algorithm>
#include <cstring>

#include "ui/data/vlDataUtils.h"
#include "ui/data/vlDataConsts.h"
#include "ui/data/vlFilterConsts.h"
#include "ui/data/vlFilterControlStrs.h"
#include "ui/foundation/vxCore.h"
#include "ui/foundation/vlClasses.h"

// ---- LIKE matching ------------------------------------------------------------------

bool LikeMatch(const char16_t* AText, int ATextLength, const char16_t* APattern, int APatternLength,
               char16_t AMultipleWildcard, char16_t ASingleWildcard, char16_t AEscapeChar)
{
    // Classic two-cursor matching: on a mismatch, the latest multiple
    // wildcard takes one more text unit and the pattern resumes after it.
    // Earlier wildcards never need revisiting, so the work is bounded by
    // text length times pattern length however many wildcards there are.
    int t = 0, p = 0;
    int starP = -1, starT = 0;
    bool escaped = false;
    for (;;) {
        if (p < APatternLength) {
            const char16_t c = APattern[p];
            if (AEscapeChar != 0 && c == AEscapeChar && !escaped) {
                escaped = true;
                ++p;
                continue;
            }
            if (c == AMultipleWildcard && !escaped) {
                starP = ++p;
                starT = t;
                continue;
            }
            if (t < ATextLength && ((c == ASingleWildcard && !escaped) || c == AText[t])) {
                ++t;
                ++p;
                escaped = false;
                continue;
            }
        } else if (t == ATextLength) {
            return true;
        }
        if (starP < 0 || starT >= ATextLength)
            return false;
        t = ++starT;
        p = starP;
        escaped = false;
    }
}

bool MatchesLikePattern(const String& AText, const String& APattern, QChar AMultipleWildcard, QChar ASingleWildcard)
{
    return LikeMatch(reinterpret_cast<const char16_t*>(AText.utf16()), int(AText.size()),
                     reinterpret_cast<const char16_t*>(APattern.utf16()), int(APattern.size()),
                     AMultipleWildcard.unicode(), ASingleWildcard.unicode(), 0);
}

void CollapseDoubledChar(String& AText, QChar AChar)
{
    const String doubled = String(2, AChar);
    for (qsizetype i = AText.indexOf(doubled); i >= 0; i = AText.indexOf(doubled, i))
        AText.remove(i, 1);
}

int ClassifyLikeWildcards(String& APattern, QChar AWildcard)
{
    CollapseDoubledChar(APattern, AWildcard);
    if (APattern.size() <= 1)
        return 0;
    const bool starts = APattern.front() == AWildcard;
    const bool ends = APattern.back() == AWildcard;
    if (starts && ends) {
        APattern = APattern.mid(1, APattern.size() - 2);
        return 3;
    }
    if (starts) {
        APattern.remove(0, 1);
        return 2;
    }
    if (ends) {
        APattern.chop(1);
        return 1;
    }
    return 0;
}

// ---- value texts --------------------------------------------------------------------

String FilterValueText(const Variant& AValue)
{
    if (VarIsNull(AValue))
        return GetFilterResourceString(vlFilterConsts::vlSFilterBlankCaption);
    return VarToStr(AValue);
}

String BetweenArrayText(const Variant& AArray)
{
    return FilterValueText(VarArrayGet(AArray, 0)) + u' ' + GetFilterResourceString(vlFilterConsts::vlSFilterAndCaption) +
           u' ' + FilterValueText(VarArrayGet(AArray, 1));
}

String ListArrayText(const Variant& AArray)
{
    String result = String::fromLatin1("(");
    for (int i = VarArrayLowBound(AArray); i <= VarArrayHighBound(AArray); ++i) {
        if (i > VarArrayLowBound(AArray))
            result += String::fromLatin1(", ");
        result += FilterValueText(VarArrayGet(AArray, i));
    }
    return result + u')';
}

String NextListToken(const String& AText, int& APosition)
{
    const int length = int(AText.size());
    int start = std::max(APosition, 1) - 1;
    int end = start;
    while (end < length && AText[end] != u';')
        ++end;
    APosition = end + 2;
    while (start < end && AText[start] <= u' ')
        ++start;
    while (end > start && AText[end - 1] <= u' ')
        --end;
    return AText.mid(start, end - start);
}

Variant TextToBetweenArray(const String& AText)
{
    int position = 1;
    const String low = NextListToken(AText, position);
    const String high = position <= AText.size() ? NextListToken(AText, position) : String();
    return VarBetweenArrayCreate(low, high);
}

Variant TextToListArray(const String& AText)
{
    if (AText.isEmpty())
        return Variant(String());
    int position = 1;
    Variant result = VarListArrayFromValue(NextListToken(AText, position));
    while (position <= AText.size())
        VarListArrayAppend(result, NextListToken(AText, position));
    return result;
}

bool SameMemoryStreams(TMemoryStream* AStream1, TMemoryStream* AStream2)
{
    return AStream1->Size() == AStream2->Size() &&
           (AStream1->Size() == 0 ||
            std::memcmp(AStream1->Memory(), AStream2->Memory(), size_t(AStream1->Size())) == 0);
}

// ---- relative dates -----------------------------------------------------------------

namespace {
TDateTime firstOfMonth(int AYear, int AMonth)  // AMonth may run past 12
{
    while (AMonth > 12) {
        AMonth -= 12;
        ++AYear;
    }
    while (AMonth < 1) {
        AMonth += 12;
        --AYear;
    }
    return EncodeDate(AYear, AMonth, 1);
}
}  // namespace

bool FilterDateRange(TvlFilterOperatorKind AKind, TDateTime AToday, TDateTime& AStart, TDateTime& AEnd)
{
    const TDateTime t = DatePart(AToday);
    const TDateTime s = GetStartDateOfWeek(t);
    int y = 0, m = 0, d = 0;
    DecodeDate(t, y, m, d);
    auto range = [&](TDateTime AFrom, TDateTime ATo) {
        AStart = AFrom;
        AEnd = ATo;
        return true;
    };
    switch (AKind) {
    case foYesterday: return range(t - 1, t);
    case foToday: return range(t, t + 1);
    case foTomorrow: return range(t + 1, t + 2);
    case foLast7Days: return range(t - 6, t + 1);
    case foLastWeek: return range(s - 7, s);
    case foLast14Days: return range(t - 13, t + 1);
    case foLastTwoWeeks: return range(s - 14, s);
    case foLast30Days: return range(t - 29, t + 1);
    case foLastMonth: return range(firstOfMonth(y, m - 1), firstOfMonth(y, m));
    case foLastYear: return range(EncodeDate(y - 1, 1, 1), EncodeDate(y, 1, 1));
    case foInPast: return range(0, t);
    case foThisWeek: return range(s, s + 7);
    case foThisMonth: return range(firstOfMonth(y, m), firstOfMonth(y, m + 1));
    case foThisYear: return range(EncodeDate(y, 1, 1), EncodeDate(y + 1, 1, 1));
    case foNext7Days: return range(t, t + 7);
    case foNextWeek: return range(s + 7, s + 14);
    case foNext14Days: return range(t, t + 14);
    case foNextTwoWeeks: return range(s + 7, s + 21);
    case foNext30Days: return range(t, t + 30);
    case foNextMonth: return range(firstOfMonth(y, m + 1), firstOfMonth(y, m + 2));
    case foNextYear: return range(EncodeDate(y + 1, 1, 1), EncodeDate(y + 2, 1, 1));
    case foInFuture: return range(t + 1, 0);
    default: return false;
    }
}

// ---- the filter UI's operator numbering -------------------------------------------

namespace {
// Captions of 1 to 14; 15 to 36 are the date captions in kind order.
constexpr const TResStringRec* filterControlCaptions[] = {
    &vlFilterConsts::vlSFilterOperatorEqual,       &vlFilterConsts::vlSFilterOperatorNotEqual,
    &vlFilterConsts::vlSFilterOperatorLess,        &vlFilterConsts::vlSFilterOperatorLessEqual,
    &vlFilterConsts::vlSFilterOperatorGreater,     &vlFilterConsts::vlSFilterOperatorGreaterEqual,
    &vlFilterConsts::vlSFilterOperatorLike,        &vlFilterConsts::vlSFilterOperatorNotLike,
    &vlFilterConsts::vlSFilterOperatorIsNull,      &vlFilterConsts::vlSFilterOperatorIsNotNull,
    &vlFilterConsts::vlSFilterOperatorBetween,     &vlFilterConsts::vlSFilterOperatorNotBetween,
    &vlFilterConsts::vlSFilterOperatorInList,      &vlFilterConsts::vlSFilterOperatorNotInList,
};
constexpr TvlFilterOperatorKind filterControlKinds[] = {
    foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual, foLike,
    foNotLike, foEqual, foNotEqual, foBetween, foNotBetween, foInList, foNotInList,
};
}  // namespace

TvlFilterOperatorKind FilterControlOperatorToKind(TvlFilterControlOperator AOperator)
{
    if (AOperator == 0 || AOperator > vlFilterControlOperatorMax)
        return foEqual;
    if (AOperator <= 14)
        return filterControlKinds[AOperator - 1];
    return TvlFilterOperatorKind(AOperator - 3);
}

TvlFilterControlOperator KindToFilterControlOperator(TvlFilterOperatorKind AKind, bool AValueIsBlank)
{
    if (AKind >= foYesterday)
        return TvlFilterControlOperator(std::min<int>(AKind, foInFuture) + 3);
    if (AKind >= foBetween)
        return TvlFilterControlOperator(AKind + 3);  // foBetween 8 -> 11
    if (AValueIsBlank && (AKind == foEqual || AKind == foNotEqual))
        return TvlFilterControlOperator(AKind + 9);
    return TvlFilterControlOperator(AKind + 1);
}

String GetFilterControlOperatorText(TvlFilterControlOperator AOperator)
{
    if (AOperator == 0 || AOperator > vlFilterControlOperatorMax)
        return {};
    if (AOperator <= 14)
        return GetResourceString(*filterControlCaptions[AOperator - 1]);
    // The date captions follow each other in the table as the kinds do.
    return GetResourceString(*vlFilterConsts::vlFilterConstsTable[AOperator - 3]);
}

// ---- the string tables ------------------------------------------------------------

namespace {
TvlFilterResourceStringHook filterResourceStringHook = nullptr;

template <size_t N>
void addTable(TvxProductResourceStrings* AProduct, const TResStringRec* const (&ATable)[N])
{
    for (const TResStringRec* rec : ATable)
        AProduct->Add(String::fromLatin1(rec->Name), rec);
}
}  // namespace

String GetFilterResourceString(const TResStringRec& AResString)
{
    return filterResourceStringHook != nullptr ? filterResourceStringHook(AResString)
                                               : String::fromUtf8(AResString.Text);
}

void SetFilterResourceStringHook(TvlFilterResourceStringHook AHook) { filterResourceStringHook = AHook; }

void RegisterFilterResourceStrings(TvxProductResourceStrings* AProduct)
{
    addTable(AProduct, vlFilterConsts::vlFilterConstsTable);
}

void RegisterDataResourceStrings(TvxProductResourceStrings* AProduct)
{
    addTable(AProduct, vlDataConsts::vlDataConstsTable);
}

void RegisterFilterControlResourceStrings(TvxProductResourceStrings* AProduct)
{
    addTable(AProduct, vlFilterControlStrs::vlFilterControlStrsTable);
}
