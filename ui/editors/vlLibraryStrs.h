// vlLibraryStrs.h - the library's own texts: the storage and style
// repository messages and the words a user may type into a date editor.
#pragma once
#include "platform/rtl/ResString.h"

class TStartupList;
class TvxProductResourceStrings;

namespace vlLibraryStrs {
VORLANE_RESOURCESTRING(svlCantCreateRegistryKey, "Can't create the registry key: \\%s");
VORLANE_RESOURCESTRING(svlCantOpenRegistryKey, "Can't open the registry key: \\%s");
VORLANE_RESOURCESTRING(svlErrorStoreObject, "Error store %s object");
VORLANE_RESOURCESTRING(svlConverterCantCreateStyleRepository, "Can't create the Style Repository");
VORLANE_RESOURCESTRING(vlSDateToday, "today");
VORLANE_RESOURCESTRING(vlSDateYesterday, "yesterday");
VORLANE_RESOURCESTRING(vlSDateTomorrow, "tomorrow");
VORLANE_RESOURCESTRING(vlSDateSunday, "Sunday");
VORLANE_RESOURCESTRING(vlSDateMonday, "Monday");
VORLANE_RESOURCESTRING(vlSDateTuesday, "Tuesday");
VORLANE_RESOURCESTRING(vlSDateWednesday, "Wednesday");
VORLANE_RESOURCESTRING(vlSDateThursday, "Thursday");
VORLANE_RESOURCESTRING(vlSDateFriday, "Friday");
VORLANE_RESOURCESTRING(vlSDateSaturday, "Saturday");
VORLANE_RESOURCESTRING(vlSDateFirst, "first");
VORLANE_RESOURCESTRING(vlSDateSecond, "second");
VORLANE_RESOURCESTRING(vlSDateThird, "third");
VORLANE_RESOURCESTRING(vlSDateFourth, "fourth");
VORLANE_RESOURCESTRING(vlSDateFifth, "fifth");
VORLANE_RESOURCESTRING(vlSDateSixth, "sixth");
VORLANE_RESOURCESTRING(vlSDateSeventh, "seventh");
VORLANE_RESOURCESTRING(vlSDateBOM, "bom");
VORLANE_RESOURCESTRING(vlSDateEOM, "eom");
VORLANE_RESOURCESTRING(vlSDateNow, "now");

// In registration order.
inline constexpr const TResStringRec* vlLibraryStrsTable[] = {
    &svlCantCreateRegistryKey, &svlCantOpenRegistryKey, &svlErrorStoreObject,
    &svlConverterCantCreateStyleRepository,
    &vlSDateToday, &vlSDateYesterday, &vlSDateTomorrow,
    &vlSDateSunday, &vlSDateMonday, &vlSDateTuesday, &vlSDateWednesday,
    &vlSDateThursday, &vlSDateFriday, &vlSDateSaturday,
    &vlSDateFirst, &vlSDateSecond, &vlSDateThird, &vlSDateFourth,
    &vlSDateFifth, &vlSDateSixth, &vlSDateSeventh,
    &vlSDateBOM, &vlSDateEOM, &vlSDateNow,
};

// The 20 smart-date words, today .. now, in their fixed order.
inline constexpr const TResStringRec* vlSmartDateWordsTable[] = {
    &vlSDateToday, &vlSDateYesterday, &vlSDateTomorrow,
    &vlSDateSunday, &vlSDateMonday, &vlSDateTuesday, &vlSDateWednesday,
    &vlSDateThursday, &vlSDateFriday, &vlSDateSaturday,
    &vlSDateFirst, &vlSDateSecond, &vlSDateThird, &vlSDateFourth,
    &vlSDateFifth, &vlSDateSixth, &vlSDateSeventh,
    &vlSDateBOM, &vlSDateEOM, &vlSDateNow,
};
}  // namespace vlLibraryStrs

// The key the library's strings are registered under.
extern const char* const vlLibraryProductName;

void AddLibraryResourceStrings(TvxProductResourceStrings* AProduct);
void AddvlLibraryStrsUnit(TStartupList& AList);
