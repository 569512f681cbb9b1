// The library's strings reach the repository while their unit lives, in
// their fixed order and with their own texts.
#include "ui/editors/vlLibraryStrs.h"

#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vxCore.h"

namespace {

TvxProductResourceStrings* libraryProduct()
{
    TvxResourceStringsRepository* repository = GetResourceStringsRepository();
    for (int i = 0; i < repository->ProductCount(); ++i)
        if (repository->Products(i)->Name() == QLatin1String(vlLibraryProductName))
            return repository->Products(i);
    return nullptr;
}

TEST(LibraryStrs, RegisteredWhileTheUnitLives)
{
    TStartupList units;
    AddvlLibraryStrsUnit(units);
    units.Initialize();
    const TvxProductResourceStrings* product = libraryProduct();
    ASSERT_NE(product, nullptr);
    const char* expected[][2] = {
        {"svlCantCreateRegistryKey", "Can't create the registry key: \\%s"},
        {"svlCantOpenRegistryKey", "Can't open the registry key: \\%s"},
        {"svlErrorStoreObject", "Error store %s object"},
        {"svlConverterCantCreateStyleRepository", "Can't create the Style Repository"},
        {"vlSDateToday", "today"}, {"vlSDateYesterday", "yesterday"}, {"vlSDateTomorrow", "tomorrow"},
        {"vlSDateSunday", "Sunday"}, {"vlSDateMonday", "Monday"}, {"vlSDateTuesday", "Tuesday"},
        {"vlSDateWednesday", "Wednesday"}, {"vlSDateThursday", "Thursday"}, {"vlSDateFriday", "Friday"},
        {"vlSDateSaturday", "Saturday"}, {"vlSDateFirst", "first"}, {"vlSDateSecond", "second"},
        {"vlSDateThird", "third"}, {"vlSDateFourth", "fourth"}, {"vlSDateFifth", "fifth"},
        {"vlSDateSixth", "sixth"}, {"vlSDateSeventh", "seventh"}, {"vlSDateBOM", "bom"},
        {"vlSDateEOM", "eom"}, {"vlSDateNow", "now"},
    };
    ASSERT_EQ(product->Count(), int(std::size(expected)));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const int at = product->IndexOf(QLatin1String(expected[i][0]));
        ASSERT_GE(at, 0) << expected[i][0];
        EXPECT_EQ(GetResourceString(*product->Values(at)), QString::fromUtf8(expected[i][1]));
        // the smart-date words are the last 20, today .. now, in that order
        if (i >= 4) {
            EXPECT_EQ(vlLibraryStrs::vlSmartDateWordsTable[i - 4], product->Values(at));
        }
    }
    units.Finalize();
    EXPECT_EQ(libraryProduct(), nullptr);
}

}  // namespace
