// The colour tables are filled at start-up with their descriptions and
// emptied at shutdown.
#include <gtest/gtest.h>

#include "support/KitTypes.h"

namespace {

TEST(KitTypes, TablesHoldTheirColoursFromFirstToLast)
{
    const struct {
        const std::vector<TDefColorItem>& table;
        size_t count;
        TDefColorItem first, last;
    } cases[] = {
        {KitStandardColors(), 20, {0x000000, QStringLiteral("clBlack"), QStringLiteral("Black")},
         {0xA4A0A0, QStringLiteral("clMedGray"), QStringLiteral("Medium gray")}},
        {KitPaletteColors(), 40, {0x000000, QStringLiteral("clBlack"), QStringLiteral("Black")},
         {0xFFFFFF, QStringLiteral("clWhite"), QStringLiteral("White")}},
        {KitSystemColors(), 30, {0xFF000000u, QStringLiteral("clScrollBar"), QStringLiteral("Scroll bar")},
         {0xFF00001Du, QStringLiteral("clMenuHighlight"), QStringLiteral("Highlighted menu item")}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.table.size(), c.count);
        for (const auto& [got, want] : {std::pair(c.table.front(), c.first), std::pair(c.table.back(), c.last)}) {
            EXPECT_EQ(got.Value, want.Value);
            EXPECT_EQ(got.Constant, want.Constant);
            EXPECT_EQ(got.Description, want.Description);
        }
    }
    // A few rows between: the money green of the standard colours, a palette
    // colour in the colour order, the desktop among the system colours.
    EXPECT_EQ(KitStandardColors()[16].Description, QStringLiteral("Money green"));
    EXPECT_EQ(KitStandardColors()[16].Value, 0xC0DCC0u);
    EXPECT_EQ(KitPaletteColors()[9].Constant, QStringLiteral("clOrange"));
    EXPECT_EQ(KitPaletteColors()[9].Value, 0x0066FFu);  // red FF, green 66
    EXPECT_EQ(KitSystemColors()[1].Description, QStringLiteral("Desktop background"));
    for (const TDefColorItem& item : KitSystemColors())
        EXPECT_EQ(item.Value & 0xFFFFFF00u, 0xFF000000u) << item.Constant.toStdString();
}

TEST(KitTypes, ShutdownReleasesTheTables)
{
    KitTypesFinalization();
    EXPECT_TRUE(KitStandardColors().empty() && KitPaletteColors().empty() && KitSystemColors().empty());
    KitTypesInitialization();
    EXPECT_EQ(KitPaletteColors().size(), 40u);
}

}  // namespace
