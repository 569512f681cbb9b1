// The grid's cursors and small shared routines.
#include "ui/grid/vlGridCommon.h"

#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"

namespace {

TEST(GridCommon, CellStatesMapToButtonStates)
{
    EXPECT_EQ(GridCellStateToButtonState(gcmsNormal), vlbsNormal);
    EXPECT_EQ(GridCellStateToButtonState(gcmsHot), vlbsHot);
    EXPECT_EQ(GridCellStateToButtonState(gcmsPressed), vlbsPressed);
    int width = 10;
    AddTextMargins(width);
    EXPECT_EQ(width, 14);
}

TEST(GridCommon, CursorsAreSetAtTheUnitsStart)
{
    TStartupList units;
    AddvlGridCommonUnit(units);
    units.Initialize();
    EXPECT_EQ(crGridColumnSizing, 2110);
    EXPECT_EQ(crGridRowSizing, 2109);
    EXPECT_EQ(crGridItemRemove, 2108);
    EXPECT_EQ(crGridNoDrop, 2112);
    EXPECT_EQ(crGridRecordDrag, 2113);
    EXPECT_EQ(crGridRecordsDrag, 2111);
    EXPECT_TRUE(IsScreenCursorRegistered(crGridSelectRow));
    EXPECT_EQ(ScreenCursor(crGridSelectRow).shape(), Qt::BitmapCursor);
    units.Finalize();
    EXPECT_FALSE(IsScreenCursorRegistered(crGridSelectRow));
}

}  // namespace
