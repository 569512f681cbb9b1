// Tests of the drag-and-drop pieces: the arrow's bounds and outline, and the
// Dirty protocol of an operation.
#include <gtest/gtest.h>

#include "ui/foundation/vlDragAndDrop.h"

namespace {

TEST(DragAndDropArrow, Bounds)
{
    struct TCase {
        TRect R, Clip;
        TvlDragAndDropArrowPlace Place;
        TRect Expected;
    };
    const TRect r = Rect(100, 50, 200, 80);
    const TCase cases[] = {
        {r, {}, apLeft, Rect(91, 45, 100, 56)},
        {r, {}, apBottom, Rect(95, 80, 106, 89)},
        {r, {}, apTop, Rect(95, 41, 106, 50)},
        {r, {}, apRight, Rect(200, 45, 209, 56)},
        {r, Rect(0, 0, 150, 300), apRight, Rect(149, 45, 158, 56)},  // Right clamped to 149
        {r, Rect(120, 60, 400, 300), apLeft, Rect(111, 55, 120, 66)},
    };
    for (const TCase& c : cases) {
        TRect result;
        GetDragAndDropArrowBounds(c.R, c.Clip, c.Place, result);
        EXPECT_EQ(result, c.Expected) << int(c.Place);
    }
}

TEST(DragAndDropArrow, TheRegionOutlinesOfTopAndBottomMirrorEachOther)
{
    // The region outline (d = 1) of the upward arrow is the downward one
    // mirrored: every base point sits one pixel lower than for drawing.
    const TRect r = Rect(0, 0, 11, 9);
    TvlArrowPolygon draw, region;
    GetDragAndDropArrowPoints(r, apBottom, draw, false);
    GetDragAndDropArrowPoints(r, apBottom, region, true);
    for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u})
        EXPECT_EQ(region[i].Y, draw[i].Y + 1) << i;
    EXPECT_EQ(region[6], (TPoint{3, 6}));  // not (3, 5): the base is not cut short on one side
    TvlArrowPolygon top;
    GetDragAndDropArrowPoints(r, apTop, top, false);
    EXPECT_EQ(top[4], (TPoint{5, 8}));  // the apex points down
    EXPECT_EQ(draw[4], (TPoint{5, 0}));  // and up
}

class TRecordingObject : public TvlDragAndDropObject {
public:
    using TvlDragAndDropObject::TvlDragAndDropObject;
    int DirtyChanges = 0;

protected:
    void DirtyChanged() override { ++DirtyChanges; }
};

TEST(DragAndDropObject, DirtyIsReportedOnlyWhenItChanges)
{
    TRecordingObject o(nullptr);
    EXPECT_EQ(o.CurMousePos(), (TPoint{-1, -1}));
    o.SetDirty(false);
    EXPECT_EQ(o.DirtyChanges, 0);
    bool accepted = true;
    o.DoDragAndDrop(Point(3, 4), accepted);
    o.DoDragAndDrop(Point(5, 6), accepted);
    EXPECT_EQ(o.PrevMousePos(), (TPoint{3, 4}));
    EXPECT_EQ(o.CurMousePos(), (TPoint{5, 6}));
    o.DoEndDragAndDrop(false);
    EXPECT_TRUE(o.Dirty());
    EXPECT_EQ(o.DirtyChanges, 1);
}

}  // namespace
