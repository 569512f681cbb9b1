// The default-editor registry: the highest version of a value type wins,
// freeing an item falls back to a lower version and then to the default
// text item, and a second item for a (type, version) is refused.
#include "ui/controls/vlEditRepositoryItems.h"

#include <gtest/gtest.h>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Startup.h"
#include "ui/controls/vlButtonEdit.h"

namespace {

TEST(vlEditRepositoryItems, HighestVersionWinsAndFreedItemsFallBack)
{
    TvlEditDataRegisteredRepositoryItems registry;
    TvlEditRepository repository(nullptr);
    auto make = [&](auto* AType) {
        (void)AType;
        return repository.NewItem([](TComponent* AOwner) -> TvlEditRepositoryItem* {
            return new std::remove_pointer_t<decltype(AType)>(AOwner);
        });
    };
    TvlEditRepositoryItem* text = make(static_cast<TvlEditRepositoryTextItem*>(nullptr));
    TvlEditRepositoryItem* v1 = make(static_cast<TvlEditRepositoryButtonItem*>(nullptr));
    TvlEditRepositoryItem* v3 = make(static_cast<TvlEditRepositoryButtonItem*>(nullptr));
    TvlEditRepositoryItem* duplicate = make(static_cast<TvlEditRepositoryTextItem*>(nullptr));
    const TvlValueTypeClass boolean = TvlBooleanValueType::Instance();
    const TvlValueTypeClass currency = TvlCurrencyValueType::Instance();

    EXPECT_EQ(registry.GetItem(boolean), nullptr);  // nothing at all yet
    registry.RegisterDefaultItem(-1, text);
    registry.RegisterItem(boolean, 3, v3);
    registry.RegisterItem(boolean, 1, v1);
    registry.RegisterItem(boolean, 3, duplicate);
    EXPECT_EQ(registry.Count(), 2);
    EXPECT_EQ(registry.GetItem(boolean), v3);
    EXPECT_EQ(registry.GetItem(currency), text);  // an unknown type
    EXPECT_EQ(duplicate->ObserverCount(), 0);

    delete v3;  // the registry hears of it
    EXPECT_EQ(registry.GetItem(boolean), v1);
    registry.UnregisterItem(boolean, 1);
    EXPECT_EQ(registry.GetItem(boolean), text);
    EXPECT_EQ(v1->ObserverCount(), 0);
    registry.RegisterItem(boolean, 1, v1);
    delete v1;
    EXPECT_EQ(registry.GetItem(boolean), text);
    EXPECT_EQ(registry.Count(), 0);
    delete text;
    EXPECT_EQ(registry.GetDefaultItem(), nullptr);
}

TEST(vlEditRepositoryItems, TheUnitRegistersTheDefaultTextItem)
{
    {
        TStartupList units;
        AddvlEditRepositoryItemsUnit(units);
        units.Initialize();
        TvlEditDataRegisteredRepositoryItems* registry = GetEditDataRegisteredRepositoryItems();
        ASSERT_NE(registry, nullptr);
        TvlEditRepositoryItem* item = registry->GetItem(TvlStringValueType::Instance());
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->ClassName(), QStringLiteral("TvlEditRepositoryTextItem"));
        EXPECT_EQ(item->Properties()->ClassName(), QStringLiteral("TvlTextEditProperties"));
        EXPECT_EQ(item->Repository(), GetDefaultEditRepository());
        EXPECT_EQ(registry->GetItem(TvlIntegerValueType::Instance()), item);
        EXPECT_NE(GetClass(QStringLiteral("TvlEditRepositoryButtonItem")), nullptr);
        units.Finalize();
    }
    EXPECT_EQ(GetEditDataRegisteredRepositoryItems(), nullptr);
    EXPECT_EQ(GetClass(QStringLiteral("TvlEditRepositoryTextItem")), nullptr);
}

}  // namespace
