// The additional editors' texts reach the resource-string repository under
// their product while the unit lives, in order, and a translation wins.
#include "ui/controls/vlExtEditConsts.h"

#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vxCore.h"

namespace {

TvxProductResourceStrings* extEditProduct()
{
    TvxResourceStringsRepository* repository = GetResourceStringsRepository();
    for (int i = 0; i < repository->ProductCount(); ++i)
        if (repository->Products(i)->Name() == QLatin1String(vlExtEditorsProductName))
            return repository->Products(i);
    return nullptr;
}

TEST(vlExtEditConsts, FortyOneNamesWhileTheUnitLives)
{
    {
        TStartupList units;
        AddvlExtEditConstsUnit(units);
        units.Initialize();
        const TvxProductResourceStrings* product = extEditProduct();
        ASSERT_NE(product, nullptr);
        ASSERT_EQ(product->Count(), 41);
        for (const TResStringRec* rec : vlExtEditConstsTable)
            EXPECT_GE(product->IndexOf(QString::fromLatin1(rec->Name)), 0) << rec->Name;
        const int loading = product->IndexOf(QStringLiteral("svlLoadingFonts"));
        ASSERT_GE(loading, 0);
        EXPECT_EQ(LoadResString(*product->Values(loading)), QStringLiteral("Loading ..."));
        units.Finalize();
    }
    EXPECT_EQ(extEditProduct(), nullptr);
}

TEST(vlExtEditConsts, TextsAsShownAndATranslationReplacesThem)
{
    EXPECT_EQ(GetResourceString(vlSCheckControlIncorrectItemCount),
              QStringLiteral("The number") + QChar(0x00A0) +
                  QStringLiteral("of items cannot be greater than 64, if the EditValueFormat is cvfInteger"));
    SetResStringLoader([](const TResStringRec& rec) {
        return QLatin1String(rec.Name) == QLatin1String("svlLoadingFonts") ? QStringLiteral("Lade ...") : String();
    });
    EXPECT_EQ(GetResourceString(svlLoadingFonts), QStringLiteral("Lade ..."));
    EXPECT_EQ(GetResourceString(svlSEditRepositoryProgressBarItem), QStringLiteral("ProgressBar|Represents a ProgressBar"));
    SetResStringLoader({});
    EXPECT_EQ(GetResourceString(svlLoadingFonts), QStringLiteral("Loading ..."));
}

}  // namespace
