#include <gtest/gtest.h>

#include "platform/graphics/SysMetrics.h"

namespace {

TEST(SysMetricsTest, ClassicDefaults)
{
    struct Case {
        int Index;
        int Value;
    };
    const Case cases[] = {
        {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17}, {SM_CYVTHUMB, 17}, {SM_CXHTHUMB, 17}, {SM_CXEDGE, 2},
        {SM_CYEDGE, 2},     {SM_CXBORDER, 1},   {SM_CYBORDER, 1},  {SM_CYCAPTION, 19}, {SM_CYMENU, 19},
        {SM_CXFRAME, 4},    {SM_CXDLGFRAME, 3}, {SM_CXICON, 32},   {SM_CYICON, 32},   {SM_CXSMICON, 16},
        {SM_CYSMICON, 16},  {SM_CXCURSOR, 32},  {SM_CXSIZE, 18},   {SM_CYSIZE, 18},   {SM_SERVERR2, 0},
        {SM_CMONITORS, 1},  {-5, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetSystemMetrics(c.Index), c.Value) << c.Index;
}

TEST(SysMetricsTest, OffscreenScreenIsFixed)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

}  // namespace
