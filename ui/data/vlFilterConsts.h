// vlFilterConsts.h - the filter's user-visible texts (operator captions, boolean
// words, value-list entries), as named resource strings a translation can replace.
#pragma once
#include "platform/rtl/ResString.h"

namespace vlFilterConsts {
VORLANE_RESOURCESTRING(vlSFilterOperatorEqual, "equals");
VORLANE_RESOURCESTRING(vlSFilterOperatorNotEqual, "does not equal");
VORLANE_RESOURCESTRING(vlSFilterOperatorLess, "is less than");
VORLANE_RESOURCESTRING(vlSFilterOperatorLessEqual, "is less than or equal to");
VORLANE_RESOURCESTRING(vlSFilterOperatorGreater, "is greater than");
VORLANE_RESOURCESTRING(vlSFilterOperatorGreaterEqual, "is greater than or equal to");
VORLANE_RESOURCESTRING(vlSFilterOperatorLike, "like");
VORLANE_RESOURCESTRING(vlSFilterOperatorNotLike, "not like");
VORLANE_RESOURCESTRING(vlSFilterOperatorBetween, "between");
VORLANE_RESOURCESTRING(vlSFilterOperatorNotBetween, "not between");
VORLANE_RESOURCESTRING(vlSFilterOperatorInList, "in");
VORLANE_RESOURCESTRING(vlSFilterOperatorNotInList, "not in");
VORLANE_RESOURCESTRING(vlSFilterOperatorYesterday, "is yesterday");
VORLANE_RESOURCESTRING(vlSFilterOperatorToday, "is today");
VORLANE_RESOURCESTRING(vlSFilterOperatorTomorrow, "is tomorrow");
VORLANE_RESOURCESTRING(vlSFilterOperatorLast7Days, "is last 7 days");
VORLANE_RESOURCESTRING(vlSFilterOperatorLastWeek, "is last week");
VORLANE_RESOURCESTRING(vlSFilterOperatorLast14Days, "is last 14 days");
VORLANE_RESOURCESTRING(vlSFilterOperatorLastTwoWeeks, "is last two weeks");
VORLANE_RESOURCESTRING(vlSFilterOperatorLast30Days, "is last 30 days");
VORLANE_RESOURCESTRING(vlSFilterOperatorLastMonth, "is last month");
VORLANE_RESOURCESTRING(vlSFilterOperatorLastYear, "is last year");
VORLANE_RESOURCESTRING(vlSFilterOperatorPast, "is past");
VORLANE_RESOURCESTRING(vlSFilterOperatorThisWeek, "is this week");
VORLANE_RESOURCESTRING(vlSFilterOperatorThisMonth, "is this month");
VORLANE_RESOURCESTRING(vlSFilterOperatorThisYear, "is this year");
VORLANE_RESOURCESTRING(vlSFilterOperatorNext7Days, "is next 7 days");
VORLANE_RESOURCESTRING(vlSFilterOperatorNextWeek, "is next week");
VORLANE_RESOURCESTRING(vlSFilterOperatorNext14Days, "is next 14 days");
VORLANE_RESOURCESTRING(vlSFilterOperatorNextTwoWeeks, "is next two weeks");
VORLANE_RESOURCESTRING(vlSFilterOperatorNext30Days, "is next 30 days");
VORLANE_RESOURCESTRING(vlSFilterOperatorNextMonth, "is next month");
VORLANE_RESOURCESTRING(vlSFilterOperatorNextYear, "is next year");
VORLANE_RESOURCESTRING(vlSFilterOperatorFuture, "is future");
VORLANE_RESOURCESTRING(vlSFilterAndCaption, "and");
VORLANE_RESOURCESTRING(vlSFilterOrCaption, "or");
VORLANE_RESOURCESTRING(vlSFilterNotCaption, "not");
VORLANE_RESOURCESTRING(vlSFilterBlankCaption, "blank");
VORLANE_RESOURCESTRING(vlSFilterOperatorIsNull, "is blank");
VORLANE_RESOURCESTRING(vlSFilterOperatorIsNotNull, "is not blank");
VORLANE_RESOURCESTRING(vlSFilterOperatorBeginsWith, "begins with");
VORLANE_RESOURCESTRING(vlSFilterOperatorDoesNotBeginWith, "does not begin with");
VORLANE_RESOURCESTRING(vlSFilterOperatorEndsWith, "ends with");
VORLANE_RESOURCESTRING(vlSFilterOperatorDoesNotEndWith, "does not end with");
VORLANE_RESOURCESTRING(vlSFilterOperatorContains, "contains");
VORLANE_RESOURCESTRING(vlSFilterOperatorDoesNotContain, "does not contain");
VORLANE_RESOURCESTRING(vlSFilterBoxAllCaption, "(All)");
VORLANE_RESOURCESTRING(vlSFilterBoxCustomCaption, "(Custom...)");
VORLANE_RESOURCESTRING(vlSFilterBoxBlanksCaption, "(Blanks)");
VORLANE_RESOURCESTRING(vlSFilterBoxNonBlanksCaption, "(NonBlanks)");

// The table in its registration order, for the string repository.
inline constexpr const TResStringRec* vlFilterConstsTable[] = {
    &vlSFilterOperatorEqual,
    &vlSFilterOperatorNotEqual,
    &vlSFilterOperatorLess,
    &vlSFilterOperatorLessEqual,
    &vlSFilterOperatorGreater,
    &vlSFilterOperatorGreaterEqual,
    &vlSFilterOperatorLike,
    &vlSFilterOperatorNotLike,
    &vlSFilterOperatorBetween,
    &vlSFilterOperatorNotBetween,
    &vlSFilterOperatorInList,
    &vlSFilterOperatorNotInList,
    &vlSFilterOperatorYesterday,
    &vlSFilterOperatorToday,
    &vlSFilterOperatorTomorrow,
    &vlSFilterOperatorLast7Days,
    &vlSFilterOperatorLastWeek,
    &vlSFilterOperatorLast14Days,
    &vlSFilterOperatorLastTwoWeeks,
    &vlSFilterOperatorLast30Days,
    &vlSFilterOperatorLastMonth,
    &vlSFilterOperatorLastYear,
    &vlSFilterOperatorPast,
    &vlSFilterOperatorThisWeek,
    &vlSFilterOperatorThisMonth,
    &vlSFilterOperatorThisYear,
    &vlSFilterOperatorNext7Days,
    &vlSFilterOperatorNextWeek,
    &vlSFilterOperatorNext14Days,
    &vlSFilterOperatorNextTwoWeeks,
    &vlSFilterOperatorNext30Days,
    &vlSFilterOperatorNextMonth,
    &vlSFilterOperatorNextYear,
    &vlSFilterOperatorFuture,
    &vlSFilterAndCaption,
    &vlSFilterOrCaption,
    &vlSFilterNotCaption,
    &vlSFilterBlankCaption,
    &vlSFilterOperatorIsNull,
    &vlSFilterOperatorIsNotNull,
    &vlSFilterOperatorBeginsWith,
    &vlSFilterOperatorDoesNotBeginWith,
    &vlSFilterOperatorEndsWith,
    &vlSFilterOperatorDoesNotEndWith,
    &vlSFilterOperatorContains,
    &vlSFilterOperatorDoesNotContain,
    &vlSFilterBoxAllCaption,
    &vlSFilterBoxCustomCaption,
    &vlSFilterBoxBlanksCaption,
    &vlSFilterBoxNonBlanksCaption,
};
}  // namespace vlFilterConsts
