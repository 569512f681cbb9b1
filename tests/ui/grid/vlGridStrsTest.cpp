// The grid's texts reach the resource-string repository under the grid's
// product name while the unit lives, and a translation replaces a default.
#include "ui/grid/vlGridStrs.h"

#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vxCore.h"

namespace {

TvxProductResourceStrings* gridProduct()
{
    TvxResourceStringsRepository* repository = GetResourceStringsRepository();
    for (int i = 0; i < repository->ProductCount(); ++i)
        if (repository->Products(i)->Name() == QLatin1String(vlGridProductName))
            return repository->Products(i);
    return nullptr;
}

TEST(GridStrs, RegisteredUnderTheProductWhileTheUnitLives)
{
    {
        TStartupList units;
        AddvlGridStrsUnit(units);
        units.Initialize();
        const TvxProductResourceStrings* product = gridProduct();
        ASSERT_NE(product, nullptr);
        EXPECT_EQ(product->Count(), 90);
        const int noData = product->IndexOf(QStringLiteral("svlGridNoDataInfoText"));
        ASSERT_GE(noData, 0);
        EXPECT_EQ(LoadResString(*product->Values(noData)), QStringLiteral("<No data to display>"));
        EXPECT_GE(product->IndexOf(QStringLiteral("svlGridChartValueHints")), 0);
        units.Finalize();
    }
    EXPECT_EQ(gridProduct(), nullptr);
}

TEST(GridStrs, ATranslationReplacesTheDefaultText)
{
    SetResStringLoader([](const TResStringRec& rec) {
        return QLatin1String(rec.Name) == QLatin1String("svlGridNoDataInfoText") ? QStringLiteral("<Keine Daten>") : String();
    });
    EXPECT_EQ(GetResourceString(svlGridNoDataInfoText), QStringLiteral("<Keine Daten>"));
    EXPECT_EQ(GetResourceString(svlGridToday), QStringLiteral("Today"));
    SetResStringLoader({});
    EXPECT_EQ(GetResourceString(svlGridNoDataInfoText), QStringLiteral("<No data to display>"));
}

}  // namespace
