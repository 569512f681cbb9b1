#include "ui/data/vlFilter.h"

#include <algorithm>
#include <cstring>

#include <QCollator>
#include <QLocale>

#include "platform/rtl/Filer.h"
#include "platform/rtl/Startup.h"
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

// ---- operators ----------------------------------------------------------------------

namespace {
String res(const TResStringRec& ARec) { return GetFilterResourceString(ARec); }
String str(const char* AText) { return String::fromLatin1(AText); }
String kindCaption(TvlFilterOperatorKind AKind) { return res(*vlFilterConsts::vlFilterConstsTable[AKind]); }
}  // namespace

TvlFilterCriteria* TvlFilterOperator::Criteria() const { return FCriteriaItem->Criteria(); }

String TvlFilterOperator::ValueToFilterText(const Variant& AValue)
{
    String text;
    if (CustomValueText(AValue, text))
        return text;
    TvlFilterCriteria* criteria = Criteria();
    if (VarIsStr(AValue)) {
        String s = AValue.AsString();
        s.replace(u'\'', str("''"));
        text = u'\'' + s + u'\'';
    } else if (VarIsDate(AValue))
        text = u'\'' + criteria->FormatDate(AValue.AsDateTime()) + u'\'';
    else if (VarType(AValue) == varBoolean)
        text = criteria->FormatBoolean(AValue.AsBoolean());
    else if (VarIsNull(AValue))
        text = str("NULL");
    else
        text = VarToStr(AValue);
    criteria->FormatFilterTextValue(FCriteriaItem, AValue, text);
    return text;
}

String TvlFilterEqualOperator::ExpressionText(const Variant& AValue)
{
    if (!VarIsArray(AValue))
        return TvlFilterOperator::ExpressionText(AValue);
    // One equality per key field, the names in the order of the elements.
    const String names = CriteriaItem()->GetFieldName();
    int position = 1;
    String text;
    for (int i = VarArrayLowBound(AValue); i <= VarArrayHighBound(AValue); ++i) {
        if (!text.isEmpty())
            text += str(" AND ");
        text += u'(' + NextListToken(names, position) + str(" = ") + ValueToFilterText(VarArrayGet(AValue, i)) +
                u')';
    }
    return text;
}
bool TvlFilterEqualOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return VarCompare(AValue, ACondition) == 0;
}
String TvlFilterEqualOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorEqual); }
String TvlFilterEqualOperator::OperatorText() { return str("="); }
bool TvlFilterEqualOperator::NeedsExpression() { return VarIsArray(CriteriaItem()->Value()); }

String TvlFilterNotEqualOperator::ExpressionText(const Variant& AValue)
{
    return str("NOT (") + TvlFilterEqualOperator::ExpressionText(AValue) + u')';
}
bool TvlFilterNotEqualOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return !TvlFilterEqualOperator::Matches(AValue, ACondition);
}
String TvlFilterNotEqualOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorNotEqual); }
String TvlFilterNotEqualOperator::OperatorText() { return str("<>"); }

bool TvlFilterLessOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return VarCompare(AValue, ACondition) < 0;
}
String TvlFilterLessOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorLess); }
String TvlFilterLessOperator::OperatorText() { return str("<"); }

bool TvlFilterLessEqualOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return VarCompare(AValue, ACondition) <= 0;
}
String TvlFilterLessEqualOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorLessEqual); }
String TvlFilterLessEqualOperator::OperatorText() { return str("<="); }

bool TvlFilterGreaterOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return VarCompare(AValue, ACondition) > 0;
}
String TvlFilterGreaterOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorGreater); }
String TvlFilterGreaterOperator::OperatorText() { return str(">"); }

bool TvlFilterGreaterEqualOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return VarCompare(AValue, ACondition) >= 0;
}
String TvlFilterGreaterEqualOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorGreaterEqual); }
String TvlFilterGreaterEqualOperator::OperatorText() { return str(">="); }

int TvlFilterLikeOperator::PatternClass()
{
    String pattern = VarToStr(CriteriaItem()->Value());
    return ClassifyLikeWildcards(pattern, Criteria()->PercentWildcard());
}
void TvlFilterLikeOperator::AdjustDisplayValue(String& ADisplayValue)
{
    if (Criteria()->Options() & fcoShowOperatorDescription)
        ClassifyLikeWildcards(ADisplayValue, Criteria()->PercentWildcard());
}
bool TvlFilterLikeOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return MatchesLikePattern(VarToStr(AValue), VarToStr(ACondition), Criteria()->PercentWildcard(),
                              Criteria()->UnderscoreWildcard());
}
String TvlFilterLikeOperator::Caption()
{
    switch (PatternClass()) {
    case 1: return res(vlFilterConsts::vlSFilterOperatorBeginsWith);
    case 2: return res(vlFilterConsts::vlSFilterOperatorEndsWith);
    case 3: return res(vlFilterConsts::vlSFilterOperatorContains);
    default: return res(vlFilterConsts::vlSFilterOperatorLike);
    }
}
String TvlFilterLikeOperator::OperatorText() { return str("LIKE"); }

String TvlFilterNotLikeOperator::ExpressionText(const Variant& AValue)
{
    return str(" NOT (") + CriteriaItem()->GetFieldName() + str(" LIKE ") + ValueToFilterText(AValue) + u')';
}
bool TvlFilterNotLikeOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return !TvlFilterLikeOperator::Matches(AValue, ACondition);
}
String TvlFilterNotLikeOperator::Caption()
{
    switch (PatternClass()) {
    case 1: return res(vlFilterConsts::vlSFilterOperatorDoesNotBeginWith);
    case 2: return res(vlFilterConsts::vlSFilterOperatorDoesNotEndWith);
    case 3: return res(vlFilterConsts::vlSFilterOperatorDoesNotContain);
    default: return res(vlFilterConsts::vlSFilterOperatorNotLike);
    }
}
String TvlFilterNotLikeOperator::OperatorText() { return str("NOT LIKE"); }
bool TvlFilterNotLikeOperator::NeedsExpression() { return Criteria()->ExpandLike; }

String TvlFilterBetweenOperator::ExpressionText(const Variant& AValue)
{
    const String field = CriteriaItem()->GetFieldName();
    return u'(' + field + str(" >= ") + ValueToFilterText(VarArrayGet(AValue, VarArrayLowBound(AValue))) +
           str(") AND (") + field + str(" <= ") +
           ValueToFilterText(VarArrayGet(AValue, VarArrayLowBound(AValue) + 1)) + u')';
}
void TvlFilterBetweenOperator::AdjustDisplayValue(String& ADisplayValue)
{
    ADisplayValue = BetweenArrayText(TextToBetweenArray(ADisplayValue));
}
bool TvlFilterBetweenOperator::CustomValueText(const Variant& AValue, String& AText)
{
    if (!VarIsArray(AValue))
        return false;
    const int low = VarArrayLowBound(AValue);
    AText = ValueToFilterText(VarArrayGet(AValue, low)) + str(" AND ") + ValueToFilterText(VarArrayGet(AValue, low + 1));
    return true;
}
bool TvlFilterBetweenOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    const int low = VarArrayLowBound(ACondition);
    return VarCompare(VarArrayGet(ACondition, low), AValue) <= 0 &&
           VarCompare(AValue, VarArrayGet(ACondition, low + 1)) <= 0;
}
String TvlFilterBetweenOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorBetween); }
String TvlFilterBetweenOperator::OperatorText() { return str("BETWEEN"); }
bool TvlFilterBetweenOperator::NeedsExpression() { return Criteria()->ExpandBetween; }

String TvlFilterNotBetweenOperator::ExpressionText(const Variant& AValue)
{
    return str("NOT (") + TvlFilterBetweenOperator::ExpressionText(AValue) + u')';
}
bool TvlFilterNotBetweenOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return !TvlFilterBetweenOperator::Matches(AValue, ACondition);
}
String TvlFilterNotBetweenOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorNotBetween); }
String TvlFilterNotBetweenOperator::OperatorText() { return str("NOT BETWEEN"); }

String TvlFilterInListOperator::ExpressionText(const Variant& AValue)
{
    const String field = CriteriaItem()->GetFieldName();
    String text;
    for (int i = VarArrayLowBound(AValue); i <= VarArrayHighBound(AValue); ++i) {
        if (!text.isEmpty())
            text += str(" OR ");
        text += u'(' + field + str(" = ") + ValueToFilterText(VarArrayGet(AValue, i)) + u')';
    }
    return text;
}
void TvlFilterInListOperator::AdjustDisplayValue(String& ADisplayValue)
{
    ADisplayValue = ListArrayText(TextToListArray(ADisplayValue));
}
bool TvlFilterInListOperator::CustomValueText(const Variant& AValue, String& AText)
{
    if (!VarIsArray(AValue))
        return false;
    AText = u'(';
    for (int i = VarArrayLowBound(AValue); i <= VarArrayHighBound(AValue); ++i) {
        if (i > VarArrayLowBound(AValue))
            AText += str(", ");
        AText += ValueToFilterText(VarArrayGet(AValue, i));
    }
    AText += u')';
    return true;
}
bool TvlFilterInListOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    for (int i = VarArrayLowBound(ACondition); i <= VarArrayHighBound(ACondition); ++i)
        if (AValue == VarArrayGet(ACondition, i))
            return true;
    return false;
}
String TvlFilterInListOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorInList); }
String TvlFilterInListOperator::OperatorText() { return str("IN"); }
bool TvlFilterInListOperator::NeedsExpression() { return Criteria()->ExpandIn; }

String TvlFilterNotInListOperator::ExpressionText(const Variant& AValue)
{
    return str("NOT (") + TvlFilterInListOperator::ExpressionText(AValue) + u')';
}
bool TvlFilterNotInListOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return !TvlFilterInListOperator::Matches(AValue, ACondition);
}
String TvlFilterNotInListOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorNotInList); }
String TvlFilterNotInListOperator::OperatorText() { return str("NOT IN"); }

void TvlFilterNullOperator::AdjustDisplayValue(String& ADisplayValue)
{
    if (Criteria()->Options() & fcoShowOperatorDescription)
        ADisplayValue.clear();
}
bool TvlFilterNullOperator::Matches(const Variant& AValue, const Variant& /*ACondition*/)
{
    return CriteriaItem()->ValueIsBlank(AValue);
}
String TvlFilterNullOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorIsNull); }
String TvlFilterNullOperator::OperatorText() { return str("="); }

bool TvlFilterNotNullOperator::Matches(const Variant& AValue, const Variant& ACondition)
{
    return !TvlFilterNullOperator::Matches(AValue, ACondition);
}
String TvlFilterNotNullOperator::Caption() { return res(vlFilterConsts::vlSFilterOperatorIsNotNull); }
String TvlFilterNotNullOperator::OperatorText() { return str("<>"); }

String TvlFilterDateOperator::ExpressionText(const Variant& /*AValue*/)
{
    const String field = CriteriaItem()->GetFieldName();
    String text;
    if (FStart != 0)
        text = u'(' + field + str(" >= ") + ValueToFilterText(VarFromDateTime(FStart)) + u')';
    if (FEnd != 0) {
        if (!text.isEmpty())
            text += str(" AND ");
        text += u'(' + field + str(" < ") + ValueToFilterText(VarFromDateTime(FEnd)) + u')';
    }
    return text;
}
void TvlFilterDateOperator::Recompute() { FilterDateRange(Kind(), Date(), FStart, FEnd); }
bool TvlFilterDateOperator::Matches(const Variant& AValue, const Variant& /*ACondition*/)
{
    if (CriteriaItem()->ValueIsBlank(AValue))
        return false;
    if (FStart != 0 && VarCompareValue(AValue, VarFromDateTime(FStart)) == vrLessThan)
        return false;
    return FEnd == 0 || VarCompareValue(AValue, VarFromDateTime(FEnd)) == vrLessThan;
}
String TvlFilterDateOperator::Caption() { return kindCaption(Kind()); }

std::unique_ptr<TvlFilterOperator> CreateFilterOperator(TvlFilterOperatorKind AKind, bool AValueIsBlank,
                                                        TvlFilterCriteriaItem* AItem)
{
    using P = std::unique_ptr<TvlFilterOperator>;
    if (AValueIsBlank && (AKind == foEqual || AKind == foLike))
        return std::make_unique<TvlFilterNullOperator>(AItem);
    if (AValueIsBlank && (AKind == foNotEqual || AKind == foNotLike))
        return std::make_unique<TvlFilterNotNullOperator>(AItem);
    using Factory = P (*)(TvlFilterCriteriaItem*);
    static constexpr Factory factories[vlFilterOperatorKindCount] = {
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterEqualOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNotEqualOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLessOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLessEqualOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterGreaterOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterGreaterEqualOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLikeOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNotLikeOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterBetweenOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNotBetweenOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterInListOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNotInListOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterYesterdayOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterTodayOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterTomorrowOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLast7DaysOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLastWeekOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLast14DaysOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLastTwoWeeksOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLast30DaysOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLastMonthOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterLastYearOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterInPastOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterThisWeekOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterThisMonthOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterThisYearOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNext7DaysOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNextWeekOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNext14DaysOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNextTwoWeeksOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNext30DaysOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNextMonthOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterNextYearOperator>(I); },
        [](TvlFilterCriteriaItem* I) -> P { return std::make_unique<TvlFilterInFutureOperator>(I); },
    };
    // A kind from outside the table (a damaged stream) must never index past it.
    if (AKind >= vlFilterOperatorKindCount)
        return nullptr;
    return factories[AKind](AItem);
}

// ---- criteria -----------------------------------------------------------------------

void TvlCustomFilterCriteriaItem::NotifyChanged()
{
    if (TvlFilterCriteria* criteria = Criteria())
        criteria->Changed();
}

TvlFilterCriteria* TvlCustomFilterCriteriaItem::Criteria() const
{
    return FParent != nullptr ? FParent->Criteria() : nullptr;
}

TvlFilterCriteriaItem::TvlFilterCriteriaItem(TvlFilterCriteriaItemList* AParent, const String& ADisplayValue,
                                             const Variant& AValue, TvlFilterOperatorKind AOperatorKind,
                                             TObject* AItemLink)
    : TvlCustomFilterCriteriaItem(AParent), FDisplayValue(ADisplayValue), FItemLink(AItemLink),
      FOperatorKind(AOperatorKind)
{
    AssignValue(AValue);
    FillBlankDisplayValue();
}

TvlFilterCriteriaItem::~TvlFilterCriteriaItem() = default;

Variant TvlFilterCriteriaItem::GetDataValue(int /*ARecordIndex*/) { return Null(); }

String TvlFilterCriteriaItem::DisplayValueText()
{
    String text = FDisplayValue;
    if (FOperator)
        FOperator->AdjustDisplayValue(text);
    return text;
}

String TvlFilterCriteriaItem::ValueText(bool AAsCaption)
{
    if (AAsCaption)
        return DisplayValueText();
    return FOperator ? FOperator->ValueToFilterText(FValue) : String();
}

String TvlFilterCriteriaItem::GetFieldCaption() { return {}; }
String TvlFilterCriteriaItem::GetFieldName() { return {}; }

void TvlFilterCriteriaItem::RebuildOperator()
{
    const bool hadOperator = FOperator != nullptr;
    FOperator = CreateFilterOperator(FOperatorKind, ValueIsBlank(FValue), this);
    if (hadOperator)
        NotifyChanged();
}

bool TvlFilterCriteriaItem::ValueIsBlank(const Variant& AValue) const
{
    const TvlFilterCriteria* criteria = Criteria();
    return criteria != nullptr ? criteria->ValueIsNull(AValue) : VarIsNull(AValue);
}

void TvlFilterCriteriaItem::AssignValue(const Variant& AValue)
{
    FValue = AValue;
    const TvlFilterCriteria* criteria = Criteria();
    FPreparedValue = criteria != nullptr ? criteria->PrepareValue(AValue) : AValue;
    RebuildOperator();
}

void TvlFilterCriteriaItem::SetOperatorKind(TvlFilterOperatorKind AValue)
{
    if (FOperatorKind == AValue)
        return;
    FOperatorKind = AValue;
    RebuildOperator();
}

void TvlFilterCriteriaItem::ChangeValue(const Variant& AValue)
{
    if (VarCompare(FValue, AValue) == 0)
        return;
    AssignValue(AValue);
    NotifyChanged();
}

void TvlFilterCriteriaItem::SetDisplayValue(const String& AValue)
{
    if (FDisplayValue == AValue)
        return;
    FDisplayValue = AValue;
    NotifyChanged();
}

void TvlFilterCriteriaItem::FillBlankDisplayValue()
{
    if (FDisplayValue.isEmpty() && FOperator != nullptr && FOperator->IsBlankTest())
        FDisplayValue = GetFilterResourceString(vlFilterConsts::vlSFilterBlankCaption);
}

TvlFilterCriteriaItemList::TvlFilterCriteriaItemList(TvlFilterCriteriaItemList* AParent,
                                                     TvlFilterBoolOperatorKind ABoolOperator)
    : TvlCustomFilterCriteriaItem(AParent), FBoolOperator(ABoolOperator)
{
}

TvlFilterCriteriaItemList::~TvlFilterCriteriaItemList()
{
    // Children go first, while the group they report to still exists.
    while (!FItems.empty())
        FItems.pop_back();
}

TvlFilterCriteria* TvlFilterCriteriaItemList::Criteria() const
{
    return FCriteria != nullptr ? FCriteria : TvlCustomFilterCriteriaItem::Criteria();
}

TvlFilterCriteriaItem* TvlFilterCriteriaItemList::AddCondition(TObject* AItemLink, TvlFilterOperatorKind AOperatorKind,
                                                               const String& ADisplayValue, const Variant& AValue)
{
    TvlFilterCriteria* criteria = Criteria();
    std::unique_ptr<TvlFilterCriteriaItem> item =
        criteria != nullptr ? criteria->CreateItem(this, ADisplayValue, AValue, AOperatorKind, AItemLink)
                            : std::make_unique<TvlFilterCriteriaItem>(this, ADisplayValue, AValue, AOperatorKind,
                                                                      AItemLink);
    TvlFilterCriteriaItem* result = item.get();
    Append(std::move(item));
    NotifyChanged();
    return result;
}

TvlFilterCriteriaItemList* TvlFilterCriteriaItemList::AddItemList(TvlFilterBoolOperatorKind ABoolOperator)
{
    auto group = std::make_unique<TvlFilterCriteriaItemList>(this, ABoolOperator);
    TvlFilterCriteriaItemList* result = group.get();
    Append(std::move(group));
    NotifyChanged();
    return result;
}

TvlCustomFilterCriteriaItem* TvlFilterCriteriaItemList::GetItem(int AIndex) const
{
    return AIndex >= 0 && AIndex < GetCount() ? FItems[size_t(AIndex)].get() : nullptr;
}

void TvlFilterCriteriaItemList::SetBoolOperator(TvlFilterBoolOperatorKind AValue)
{
    if (FBoolOperator == AValue)
        return;
    FBoolOperator = AValue;
    NotifyChanged();
}

void TvlFilterCriteriaItemList::RemoveAll()
{
    if (FItems.empty())
        return;
    while (!FItems.empty())
        FItems.pop_back();
    NotifyChanged();
}

void TvlFilterCriteriaItemList::RemoveChild(TvlCustomFilterCriteriaItem* AItem)
{
    if (Extract(AItem))
        NotifyChanged();
}

std::unique_ptr<TvlCustomFilterCriteriaItem> TvlFilterCriteriaItemList::Extract(TvlCustomFilterCriteriaItem* AItem)
{
    auto it = std::find_if(FItems.begin(), FItems.end(), [AItem](const auto& p) { return p.get() == AItem; });
    if (it == FItems.end())
        return nullptr;
    std::unique_ptr<TvlCustomFilterCriteriaItem> result = std::move(*it);
    FItems.erase(it);
    return result;
}

void TvlFilterCriteriaItemList::Append(std::unique_ptr<TvlCustomFilterCriteriaItem> AItem, int AIndex)
{
    AItem->FParent = this;
    if (AIndex < 0 || AIndex > GetCount())
        FItems.push_back(std::move(AItem));
    else
        FItems.insert(FItems.begin() + AIndex, std::move(AItem));
}

bool TvlFilterCriteriaItemList::Evaluate(int ARecordIndex)
{
    TvlFilterCriteria* criteria = Criteria();
    bool result = true;
    bool first = true;
    for (const auto& child : FItems) {
        bool r;
        if (child->IsGroup())
            r = static_cast<TvlFilterCriteriaItemList*>(child.get())->Evaluate(ARecordIndex);
        else {
            auto* item = static_cast<TvlFilterCriteriaItem*>(child.get());
            try {
                const Variant value = criteria->PrepareValue(item->GetDataValue(ARecordIndex));
                if ((criteria->Options() & fcoIgnoreNull) && !item->Operator()->IsBlankTest() &&
                    item->ValueIsBlank(value))
                    r = false;
                else
                    r = item->Operator()->Matches(value, item->PreparedValue());
            } catch (const EVariantError&) {
                if (!(criteria->Options() & fcoSoftCompare))
                    throw;
                r = false;
            }
        }
        if (first) {
            result = (FBoolOperator == fboAnd || FBoolOperator == fboOr) ? r : !r;
            first = false;
            continue;
        }
        switch (FBoolOperator) {
        case fboAnd: result = result && r; break;
        case fboOr: result = result || r; break;
        case fboNotAnd: result = result || !r; break;
        case fboNotOr: result = result && !r; break;
        }
    }
    return result;
}

TvlFilterCriteria::TvlFilterCriteria() : FRoot(std::make_unique<TvlFilterCriteriaItemList>(nullptr, fboAnd))
{
    FRoot->FCriteria = this;
}

TvlFilterCriteria::~TvlFilterCriteria()
{
    // No change reports while the tree goes.
    ++FLockCount;
    FRoot.reset();
}

std::unique_ptr<TvlFilterCriteriaItem> TvlFilterCriteria::CreateItem(TvlFilterCriteriaItemList* AParent,
                                                                     const String& ADisplayValue,
                                                                     const Variant& AValue,
                                                                     TvlFilterOperatorKind AOperatorKind,
                                                                     TObject* AItemLink)
{
    return std::make_unique<TvlFilterCriteriaItem>(AParent, ADisplayValue, AValue, AOperatorKind, AItemLink);
}

String TvlFilterCriteria::FormatBoolean(bool AValue) { return VarToStr(Variant(AValue)); }

String TvlFilterCriteria::FormatDate(TDateTime AValue)
{
    return FDateFormat.isEmpty() ? VarToStr(VarFromDateTime(AValue)) : FormatDateTime(FDateFormat, AValue);
}

namespace {
String boolWord(TvlFilterBoolOperatorKind AKind, bool AAsCaption)
{
    const bool isAnd = AKind == fboAnd || AKind == fboNotAnd;
    if (!AAsCaption)
        return String::fromLatin1(isAnd ? "AND" : "OR");
    return GetFilterResourceString(isAnd ? vlFilterConsts::vlSFilterAndCaption : vlFilterConsts::vlSFilterOrCaption);
}

String groupText(TvlFilterCriteria* ACriteria, TvlFilterCriteriaItemList* AGroup, bool AAsCaption)
{
    String text;
    for (int i = 0; i < AGroup->GetCount(); ++i) {
        if (i > 0)
            text += u' ' + boolWord(AGroup->BoolOperator(), AAsCaption) + u' ';
        TvlCustomFilterCriteriaItem* child = AGroup->GetItem(i);
        if (child->IsGroup())
            text += u'(' + groupText(ACriteria, static_cast<TvlFilterCriteriaItemList*>(child), AAsCaption) + u')';
        else
            text += u'(' + ACriteria->GetItemExpression(static_cast<TvlFilterCriteriaItem*>(child), AAsCaption) +
                    u')';
    }
    if (AGroup->BoolOperator() == fboNotAnd || AGroup->BoolOperator() == fboNotOr)
        text = (AAsCaption ? GetFilterResourceString(vlFilterConsts::vlSFilterNotCaption) : String::fromLatin1("NOT")) +
               String::fromLatin1(" (") + text + u')';
    return text;
}
}  // namespace

String TvlFilterCriteria::BuildFilterText(bool AAsCaption) { return groupText(this, FRoot.get(), AAsCaption); }

String TvlFilterCriteria::GetItemExpression(TvlFilterCriteriaItem* AItem, bool AAsCaption)
{
    if (!AAsCaption && AItem->Operator()->NeedsExpression())
        return AItem->Operator()->ExpressionText(AItem->Value());
    String text = GetItemExpressionFieldName(AItem, AAsCaption) + u' ' + GetItemExpressionOperator(AItem, AAsCaption);
    const String value = GetItemExpressionValue(AItem, AAsCaption);
    if (!value.isEmpty())
        text += u' ' + value;
    return text;
}

String TvlFilterCriteria::GetItemExpressionFieldName(TvlFilterCriteriaItem* AItem, bool AAsCaption)
{
    return AAsCaption ? AItem->GetFieldCaption() : AItem->GetFieldName();
}

String TvlFilterCriteria::GetItemExpressionOperator(TvlFilterCriteriaItem* AItem, bool AAsCaption)
{
    TvlFilterOperator* op = AItem->Operator();
    if (AAsCaption && (op->HasCompoundValue() || (FOptions & fcoShowOperatorDescription)))
        return op->Caption();
    return op->OperatorText();
}

String TvlFilterCriteria::GetItemExpressionValue(TvlFilterCriteriaItem* AItem, bool AAsCaption)
{
    return AItem->ValueText(AAsCaption);
}

void TvlFilterCriteria::PrepareGroup(TvlFilterCriteriaItemList* AGroup)
{
    for (int i = 0; i < AGroup->GetCount(); ++i) {
        TvlCustomFilterCriteriaItem* child = AGroup->GetItem(i);
        if (child->IsGroup())
            PrepareGroup(static_cast<TvlFilterCriteriaItemList*>(child));
        else if (TvlFilterOperator* op = static_cast<TvlFilterCriteriaItem*>(child)->Operator())
            op->Recompute();
    }
}

void TvlFilterCriteria::Prepare() { PrepareGroup(FRoot.get()); }

Variant TvlFilterCriteria::PrepareValue(const Variant& AValue) const
{
    if (VarIsArray(AValue)) {
        Variant result = AValue;
        for (int i = VarArrayLowBound(AValue); i <= VarArrayHighBound(AValue); ++i)
            VarArrayPut(result, PrepareValue(VarArrayGet(AValue, i)), i);
        return result;
    }
    if (VarType(AValue) == varCurrency)
        return Variant(AValue.AsDouble());
    if (VarIsStr(AValue) && (FOptions & fcoCaseInsensitive))
        return Variant(QLocale().toUpper(AValue.AsString()));
    return AValue;
}

void TvlFilterCriteria::DoChanged()
{
    if (OnChanged)
        OnChanged(this);
}

bool TvlFilterCriteria::ValueIsNull(const Variant& AValue) const
{
    return (FOptions & fcoSoftNull) ? VarIsSoftNull(AValue) : VarIsNull(AValue);
}

TvlFilterCriteriaItem* TvlFilterCriteria::AddItem(TvlFilterCriteriaItemList* AParent, TObject* AItemLink,
                                                  TvlFilterOperatorKind AOperatorKind, const Variant& AValue,
                                                  const String& ADisplayValue)
{
    return (AParent != nullptr ? AParent : FRoot.get())->AddCondition(AItemLink, AOperatorKind, ADisplayValue, AValue);
}

void TvlFilterCriteria::EndUpdate()
{
    --FLockCount;
    CheckChanges();
}

void TvlFilterCriteria::Changed()
{
    FChanged = true;
    CheckChanges();
}

void TvlFilterCriteria::CheckChanges()
{
    if (FLockCount > 0 || !FChanged)
        return;
    FChanged = false;
    Prepare();
    DoChanged();
}

void TvlFilterCriteria::Clear()
{
    BeginUpdate();
    FRoot->RemoveAll();
    FRoot->SetBoolOperator(fboAnd);
    EndUpdate();
}

bool TvlFilterCriteria::EvaluateRecord(int ARecordIndex) { return FRoot->Evaluate(ARecordIndex); }

namespace {
TvlFilterCriteriaItem* findItem(TvlFilterCriteriaItemList* AGroup, TObject* AItemLink)
{
    for (int i = 0; i < AGroup->GetCount(); ++i) {
        TvlCustomFilterCriteriaItem* child = AGroup->GetItem(i);
        if (child->IsGroup()) {
            if (TvlFilterCriteriaItem* found = findItem(static_cast<TvlFilterCriteriaItemList*>(child), AItemLink))
                return found;
        } else if (static_cast<TvlFilterCriteriaItem*>(child)->StoredItemLink() == AItemLink)
            return static_cast<TvlFilterCriteriaItem*>(child);
    }
    return nullptr;
}
}  // namespace

TvlFilterCriteriaItem* TvlFilterCriteria::FindItemByItemLink(TObject* AItemLink) const
{
    return findItem(FRoot.get(), AItemLink);
}

void TvlFilterCriteria::RemoveItemByItemLink(TObject* AItemLink)
{
    BeginUpdate();
    bool removed = false;
    while (TvlFilterCriteriaItem* item = FindItemByItemLink(AItemLink)) {
        removed = true;
        TvlFilterCriteriaItemList* group = item->Parent();
        group->RemoveChild(item);
        // Tidy the former group: empty groups go (never the root). A group
        // left with one child is dissolved into its parent at its own place,
        // unless it negates: dropping a NOT would invert the filter, and a
        // NOT group may well hold a single child.
        while (group != FRoot.get()) {
            TvlFilterCriteriaItemList* parent = group->Parent();
            if (group->GetCount() == 0) {
                parent->RemoveChild(group);
                group = parent;
                continue;
            }
            if (group->GetCount() == 1 && (group->BoolOperator() == fboAnd || group->BoolOperator() == fboOr)) {
                const int index = int(std::find_if(parent->FItems.begin(), parent->FItems.end(),
                                                   [group](const auto& p) { return p.get() == group; }) -
                                      parent->FItems.begin());
                std::unique_ptr<TvlCustomFilterCriteriaItem> child = group->Extract(group->GetItem(0));
                parent->RemoveChild(group);
                parent->Append(std::move(child), index);
            }
            break;
        }
    }
    if (removed)
        EndUpdate();
    else
        EndUpdateSilently();
}

void TvlFilterCriteria::RestoreDefaults()
{
    BeginUpdate();
    SetOptions(0);
    SetPercentWildcard(u'%');
    SupportsLike = true;
    ExpandBetween = ExpandLike = ExpandIn = false;
    SetUnderscoreWildcard(u'_');
    EndUpdate();
}

void TvlFilterCriteria::SetOptions(TvlFilterCriteriaOptions AValue)
{
    if (FOptions == AValue)
        return;
    FOptions = AValue;
    Changed();
}

void TvlFilterCriteria::SetPercentWildcard(QChar AValue)
{
    if (FPercentWildcard == AValue)
        return;
    FPercentWildcard = AValue;
    Changed();
}

void TvlFilterCriteria::SetUnderscoreWildcard(QChar AValue)
{
    if (FUnderscoreWildcard == AValue)
        return;
    FUnderscoreWildcard = AValue;
    Changed();
}

void TvlFilterCriteria::SetDateFormat(const String& AValue)
{
    if (FDateFormat == AValue)
        return;
    FDateFormat = AValue;
    Changed();
}

// ---- the criteria stream ----------------------------------------------------------

namespace {
// Deeper nesting than this is no filter anyone built: it is damage.
constexpr int maxCriteriaDepth = 256;

[[noreturn]] void refuseStream() { throw EReadError(GetResourceString(RtlConsts::SReadError)); }

// Every child takes at least its is-group byte and one byte of content, so
// a count beyond half the bytes left cannot be true.
void checkChildCount(TStream* AStream, int32_t ACount)
{
    if (ACount < 0 || ACount > (AStream->Size() - AStream->Position()) / 2)
        refuseStream();
}
}  // namespace

void TvlFilterCriteria::WriteDataInVersion(TStream* AStream, uint8_t AVersion)
{
    uint8_t version = FStreamVersion;
    if (AVersion != 0 && AVersion < version)
        version = AVersion;
    if (version < 2)
        throw EWriteError(GetResourceString(RtlConsts::SWriteError));
    FSavedVersion = version;
    StreamWriteInt32(AStream, version == 2 ? -1 : version == 3 ? -2 : 0);
    WriteGroup(AStream, FRoot.get(), version);
}

void TvlFilterCriteria::WriteGroup(TStream* AStream, TvlFilterCriteriaItemList* AGroup, uint8_t AVersion)
{
    StreamWriteByte(AStream, AGroup->BoolOperator());
    StreamWriteInt32(AStream, AGroup->GetCount());
    for (int i = 0; i < AGroup->GetCount(); ++i) {
        TvlCustomFilterCriteriaItem* child = AGroup->GetItem(i);
        StreamWriteBoolean(AStream, child->IsGroup());
        if (child->IsGroup())
            WriteGroup(AStream, static_cast<TvlFilterCriteriaItemList*>(child), AVersion);
        else
            WriteCondition(AStream, static_cast<TvlFilterCriteriaItem*>(child), AVersion);
    }
}

void TvlFilterCriteria::WriteCondition(TStream* AStream, TvlFilterCriteriaItem* AItem, uint8_t AVersion)
{
    WriteStreamFormatSignature(AStream);
    StreamWriteByte(AStream, AItem->OperatorKind());
    StreamWriteWide(AStream, AItem->DisplayValue());
    StreamWriteInt32(AStream, GetIDByItemLink(AItem->GetItemLink()));
    if (AVersion >= 3)
        StreamWriteWide(AStream, GetNameByItemLink(AItem->GetItemLink()));
    StreamWriteVariant(AStream, AItem->Value());
}

void TvlFilterCriteria::ReadData(TStream* AStream)
{
    // The new tree grows beside the old one and replaces it only when the
    // whole stream was sound.
    auto root = std::make_unique<TvlFilterCriteriaItemList>(nullptr, fboAnd);
    root->FCriteria = this;
    BeginUpdate();
    try {
        const int32_t head = StreamReadInt32(AStream);
        const uint8_t version = head == -2 ? 3 : head == -1 ? 2 : 1;
        FReadingVersion = version;
        if (version == 1)
            ReadChildren(AStream, root.get(), head, 1);
        else
            ReadGroup(AStream, root.get(), 1);
        FLoadedVersion = version;
    } catch (const EStreamError&) {
        root.reset();
        EndUpdateSilently();
        refuseStream();
    } catch (const EVariantError&) {
        root.reset();
        EndUpdateSilently();
        refuseStream();
    }
    FRoot = std::move(root);
    FChanged = true;
    EndUpdate();
}

void TvlFilterCriteria::ReadGroup(TStream* AStream, TvlFilterCriteriaItemList* AGroup, int ADepth)
{
    const uint8_t op = StreamReadByte(AStream);
    if (op > fboNotOr)
        refuseStream();
    AGroup->FBoolOperator = TvlFilterBoolOperatorKind(op);
    ReadChildren(AStream, AGroup, StreamReadInt32(AStream), ADepth);
}

void TvlFilterCriteria::ReadChildren(TStream* AStream, TvlFilterCriteriaItemList* AGroup, int32_t ACount, int ADepth)
{
    checkChildCount(AStream, ACount);
    for (int32_t i = 0; i < ACount; ++i) {
        const uint8_t isGroup = StreamReadByte(AStream);
        if (isGroup > 1)
            refuseStream();
        if (isGroup == 0) {
            ReadCondition(AStream, AGroup);
            continue;
        }
        if (ADepth >= maxCriteriaDepth)
            refuseStream();
        auto group = std::make_unique<TvlFilterCriteriaItemList>(AGroup, fboAnd);
        ReadGroup(AStream, group.get(), ADepth + 1);
        if (!group->IsVoid())  // emptied by conditions that found no item
            AGroup->Append(std::move(group));
    }
}

void TvlFilterCriteria::ReadCondition(TStream* AStream, TvlFilterCriteriaItemList* AGroup)
{
    const bool wide = ReadStreamFormatSignature(AStream);
    auto readText = [&] { return wide ? StreamReadWide(AStream) : textFromAnsi(StreamReadAnsi(AStream)); };
    const uint8_t kind = StreamReadByte(AStream);
    if (kind >= vlFilterOperatorKindCount)
        refuseStream();
    const String displayValue = readText();
    const int32_t id = StreamReadInt32(AStream);
    const String name = FReadingVersion >= 3 ? readText() : String();
    const Variant value = StreamReadVariant(AStream);
    // A range needs both of its ends.
    if ((kind == foBetween || kind == foNotBetween) && VarIsArray(value) &&
        VarArrayHighBound(value) - VarArrayLowBound(value) < 1)
        refuseStream();
    TObject* link = nullptr;
    if (!name.isEmpty()) {
        link = GetItemLinkByName(name);
        if (link == nullptr) {
            link = GetItemLinkByID(id);
            if (link != nullptr && !GetNameByItemLink(link).isEmpty())
                link = nullptr;
        }
    } else
        link = GetItemLinkByID(id);
    if (link == nullptr)
        return;  // an item this owner no longer has: the condition goes
    AGroup->Append(CreateItem(AGroup, displayValue, value, TvlFilterOperatorKind(kind), link));
}

bool TvlFilterCriteria::IsSameAs(TvlFilterCriteria* AOther, bool AByIdOnly)
{
    const uint8_t version = std::min({FStreamVersion, AOther->FStreamVersion, uint8_t(AByIdOnly ? 2 : 3)});
    TMemoryStream mine, theirs;
    WriteDataInVersion(&mine, version);
    AOther->WriteDataInVersion(&theirs, version);
    return SameMemoryStreams(&mine, &theirs);
}

void TvlFilterCriteria::AssignItems(TvlFilterCriteria* ASource, bool AByIdOnly)
{
    if (IsSameAs(ASource, AByIdOnly))
        return;
    BeginUpdate();
    try {
        TMemoryStream stream;
        ASource->WriteDataInVersion(&stream, std::min(FStreamVersion, uint8_t(AByIdOnly ? 2 : 3)));
        stream.Seek(0, soBeginning);
        ReadData(&stream);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- settings, assignment and the property table ----------------------------------

namespace {
constexpr const char* filterCriteriaOptionNames[] = {"fcoCaseInsensitive", "fcoShowOperatorDescription",
                                                     "fcoSoftNull", "fcoSoftCompare", "fcoIgnoreNull"};
constexpr TEnumInfo filterCriteriaOptionInfo{"TvlFilterCriteriaOption", filterCriteriaOptionNames};
}  // namespace

const TClassInfo* TvlFilterCriteria::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlFilterCriteria::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlFilterCriteria>("TvlFilterCriteria")
            .Int("MaxValueListCount", [](const TvlFilterCriteria& c) { return c.MaxValueListCount; },
                 [](TvlFilterCriteria& c, int v) { c.MaxValueListCount = v; }, 0)
            .Set("Options", filterCriteriaOptionInfo, &TvlFilterCriteria::Options, &TvlFilterCriteria::SetOptions,
                 TvlFilterCriteriaOptions(0))
            .Char("PercentWildcard", &TvlFilterCriteria::PercentWildcard, &TvlFilterCriteria::SetPercentWildcard,
                  QChar(u'%'))
            .Char("UnderscoreWildcard", &TvlFilterCriteria::UnderscoreWildcard,
                  &TvlFilterCriteria::SetUnderscoreWildcard, QChar(u'_'))
            .Build();
    return info;
}

void TvlFilterCriteria::Assign(const TPersistent* Source, bool AByIdOnly)
{
    const auto* source = dynamic_cast<const TvlFilterCriteria*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        SetDateFormat(source->FDateFormat);
        if (MaxValueListCount != source->MaxValueListCount) {
            MaxValueListCount = source->MaxValueListCount;
            Changed();
        }
        SetOptions(source->FOptions);
        SetPercentWildcard(source->FPercentWildcard);
        ExpandBetween = source->ExpandBetween;
        ExpandLike = source->ExpandLike;
        ExpandIn = source->ExpandIn;
        SupportsLike = source->SupportsLike;
        SetUnderscoreWildcard(source->FUnderscoreWildcard);
        // Writing a stream records the writer's saved version; nothing else of
        // the source changes.
        AssignItems(const_cast<TvlFilterCriteria*>(source), AByIdOnly);
        AssignEvents(source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlFilterCriteria::AssignEvents(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlFilterCriteria*>(Source))
        OnChanged = source->OnChanged;
}

const TClassInfo* TFilterWrapper::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TFilterWrapper::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TFilterWrapper>("TFilterWrapper", &TComponent::StaticClassInfo())
                                       .Object("Filter", &TFilterWrapper::Filter)
                                       .Build();
    return info;
}

void TvlFilterCriteria::SaveToStream(TStream* AStream)
{
    TFilterWrapper wrapper(nullptr);
    wrapper.SetFilter(this);
    FSavingToStream = true;
    try {
        WriteComponent(AStream, &wrapper);
    } catch (...) {
        FSavingToStream = false;
        throw;
    }
    FSavingToStream = false;
}

void TvlFilterCriteria::LoadFromStream(TStream* AStream)
{
    TFilterWrapper wrapper(nullptr);
    wrapper.SetFilter(this);
    BeginUpdate();
    try {
        ReadComponent(AStream, &wrapper);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::unique_ptr<TvlFilterValueList> TvlFilterCriteria::CreateValueList()
{
    return std::make_unique<TvlFilterValueList>(this);
}

// ---- value lists --------------------------------------------------------------------

TvlFilterValueList::TvlFilterValueList(TvlFilterCriteria* ACriteria) : FCriteria(ACriteria) {}

TvlFilterValueList::~TvlFilterValueList() = default;

int TvlFilterValueList::compareTexts(const String& A, const String& B)
{
    if (!FCollator)
        FCollator = std::make_unique<QCollator>(QLocale());
    if (FCriteria->Options() & fcoCaseInsensitive) {
        const QLocale locale;
        return FCollator->compare(locale.toUpper(A), locale.toUpper(B));
    }
    return FCollator->compare(A, B);
}

int TvlFilterValueList::CompareItems(const Variant& AValue1, const String& AText1, const Variant& AValue2,
                                     const String& AText2)
{
    if (SortByDisplayText) {
        const int r = compareTexts(AText1, AText2);
        if (r != 0)
            return r;
    }
    return VarCompare(FCriteria->PrepareValue(AValue1), FCriteria->PrepareValue(AValue2));
}

int TvlFilterValueList::CompareEntry(int AIndex, const Variant& AValue, const String& AText)
{
    const TvlFilterValueItem& entry = FItems.at(size_t(AIndex));
    return CompareItems(entry.Value, entry.DisplayText, AValue, AText);
}

void TvlFilterValueList::AddEntry(TvlFilterValueItemKind AKind, const Variant& AValue, bool AAppend,
                                  const String& ADisplayText)
{
    TvlFilterValueItem entry{AKind, AValue, ADisplayText};
    if (AKind == fviMRUItem) {
        int separator = SeparatorIndex();
        if (separator < 0) {
            FItems.insert(FItems.begin(), TvlFilterValueItem{fviMRUSeparator, Null(), String()});
            separator = 0;
        }
        FItems.insert(FItems.begin() + separator, std::move(entry));
        return;
    }
    if (AKind != fviValue) {
        FItems.insert(FItems.begin() + GetStartValueIndex(), std::move(entry));
        return;
    }
    if (AAppend) {
        FItems.push_back(std::move(entry));
        FUnsorted = true;
        return;
    }
    // The limit counts every entry, the special ones included.
    if (FCriteria->MaxValueListCount != 0 && GetCount() >= FCriteria->MaxValueListCount)
        return;
    int index;
    if (!FindEntry(AValue, ADisplayText, index))
        FItems.insert(FItems.begin() + index, std::move(entry));
}

void TvlFilterValueList::ClearEntries()
{
    FItems.clear();
    FUnsorted = false;
}

bool TvlFilterValueList::FindEntry(const Variant& AValue, const String& AText, int& AIndex)
{
    const int separator = SeparatorIndex();
    for (int i = 0; i < separator; ++i)
        if (CompareEntry(i, AValue, AText) == 0) {
            AIndex = i;
            return true;
        }
    const int start = GetStartValueIndex();
    int low = start, high = GetCount() - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int r = CompareEntry(middle, AValue, AText);
        if (r < 0)
            low = middle + 1;
        else {
            if (r == 0) {
                AIndex = middle;
                return true;
            }
            high = middle - 1;
        }
    }
    AIndex = low;
    if (FUnsorted)
        for (int i = start; i < GetCount(); ++i)
            if (CompareEntry(i, AValue, AText) == 0) {
                AIndex = i;
                return true;
            }
    return false;
}

int TvlFilterValueList::GetIndexByCriteriaItem(TvlFilterCriteriaItem* AItem)
{
    if (AItem == nullptr)
        return IndexOfKind(fviAll);
    if (AItem->ValueIsBlank(AItem->Value())) {
        if (AItem->OperatorKind() == foEqual)
            return IndexOfKind(fviBlanks);
        if (AItem->OperatorKind() == foNotEqual)
            return IndexOfKind(fviNonBlanks);
    }
    int index;
    if (AItem->OperatorKind() == foEqual && FindEntry(AItem->Value(), AItem->DisplayValue(), index))
        return index;
    return IndexOfKind(fviCustom);
}

void TvlFilterValueList::Delete(int AIndex)
{
    if (AIndex < 0 || AIndex >= GetCount())
        throw EListError(Format(GetResourceString(RtlConsts::SListIndexError), {AIndex}));
    FItems.erase(FItems.begin() + AIndex);
}

int TvlFilterValueList::GetStartValueIndex() const
{
    for (int i = 0; i < GetCount(); ++i)
        if (FItems[size_t(i)].Kind == fviValue)
            return i;
    return GetCount();
}

int TvlFilterValueList::IndexOfKind(TvlFilterValueItemKind AKind) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (FItems[size_t(i)].Kind == AKind)
            return i;
    return -1;
}

int TvlFilterValueList::FindItemByKindAndValue(TvlFilterValueItemKind AKind, const Variant& AValue) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (FItems[size_t(i)].Kind == AKind && (VarIsNull(AValue) || VarCompareEqual(FItems[size_t(i)].Value, AValue)))
            return i;
    return -1;
}

int TvlFilterValueList::FindItemByValue(const Variant& AValue)
{
    int index;
    return FindEntry(AValue, VarToStr(AValue), index) ? index : -1;
}

// ---- start-up of the string tables --------------------------------------------------

namespace {
void addTableUnit(TStartupList& AList, const char* AUnit, const char* AProduct,
                  void (*ARegister)(TvxProductResourceStrings*))
{
    const String product = String::fromLatin1(AProduct);
    AList.Add(
        String::fromLatin1(AUnit),
        [product, ARegister] { GetResourceStringsRepository()->RegisterProduct(product, ARegister); },
        [product] { GetResourceStringsRepository()->UnregisterProduct(product); });
}
}  // namespace

void AddvlFilterConstsUnit(TStartupList& AList)
{
    addTableUnit(AList, "vlFilterConsts", "Vorlane filter", &RegisterFilterResourceStrings);
}

void AddvlDataConstsUnit(TStartupList& AList)
{
    addTableUnit(AList, "vlDataConsts", "Vorlane data controller", &RegisterDataResourceStrings);
}

void AddvlFilterControlStrsUnit(TStartupList& AList)
{
    addTableUnit(AList, "vlFilterControlStrs", "Vorlane filter control", &RegisterFilterControlResourceStrings);
}
