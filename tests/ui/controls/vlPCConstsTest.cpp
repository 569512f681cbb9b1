// The tab control's texts reach the resource-string repository at start-up,
// with their exact wording.
#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"
#include "ui/controls/vlPCConsts.h"
#include "ui/foundation/vxCore.h"

TEST(vlPCConsts, TwelveStringsAreRegisteredInOrder)
{
    TStartupList units;
    AddvlPCConstsUnit(units);
    units.Initialize();
    TvxResourceStringsRepository* repository = GetResourceStringsRepository();
    TvxProductResourceStrings* product = nullptr;
    for (int i = 0; i < repository->ProductCount(); ++i)
        if (repository->Products(i)->Name() == String::fromLatin1(vlPCProductName))
            product = repository->Products(i);
    ASSERT_NE(product, nullptr);
    ASSERT_EQ(product->Count(), 12);
    const std::pair<const char*, const char*> expected[] = {
        {"svlPCImageListIndexError", "Index (%d) must be between 0 and %d"},
        {"svlPCNoBaseImages", "BaseImages is not assigned"},
        {"svlPCNoRegisteredStyles", "There are no styles registered"},
        {"svlPCPageIndexError", "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d"},
        {"svlPCPainterClassError", "PCPainterClass is nil"},
        {"svlPCStandardStyleError", "%s is an unsupported standard style"},
        {"svlPCStyleNameError", "%s is an unregistered style name"},
        {"svlPCTabCountEqualsZero", "Tabs.Count = 0"},
        {"svlPCTabIndexError", "Tab's index (%d) out of bounds"},
        {"svlPCTabVisibleIndexOutsOfBounds", "TabVisibleIndex (%d) must be between 0 and %d"},
        {"svlPCVisibleTabListEmpty", "There are no visible tabs"},
        {"svlPCAllowRotateError", "%s style does not support rotation of tabs"},
    };
    for (const auto& [name, text] : expected) {
        const int i = product->IndexOf(String::fromLatin1(name));
        ASSERT_GE(i, 0) << name;
        EXPECT_STREQ(product->Values(i)->Text, text);
    }
    EXPECT_EQ(vlPCConsts::vlPCConstsTable[0], &vlPCConsts::svlPCImageListIndexError);
    EXPECT_EQ(vlPCConsts::vlPCConstsTable[11], &vlPCConsts::svlPCAllowRotateError);
    units.Finalize();
}
