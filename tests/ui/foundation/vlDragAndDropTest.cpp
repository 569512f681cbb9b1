// Tests of the drag-and-drop pieces: the arrow's bounds and outline, and the
// Dirty protocol of an operation.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "ControlFixtures.h"
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

using DragWindows = TControlUnitFixture;

// The pixels of a window's shape, row by row ('#' shown, '.' not).
std::vector<std::string> shapeOf(const TCustomForm& W)
{
    std::vector<std::string> rows;
    const QRegion r = W.WindowRegion();
    for (int y = 0; y < W.Height(); ++y) {
        std::string row;
        for (int x = 0; x < W.Width(); ++x)
            row += r.contains(QPoint(x, y)) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST_F(DragWindows, ArrowShapesForEachPlace)
{
    // Left and right mirror each other across a vertical line, top and
    // bottom across a horizontal one; the colour key gives the drawn arrow.
    std::vector<std::string> shapes[4], keyed[4];
    for (int place = apLeft; place <= apBottom; ++place) {
        TvlDragAndDropArrow arrow(false);
        arrow.Init(nullptr, Rect(100, 50, 200, 80), TRect{}, TvlDragAndDropArrowPlace(place));
        TRect expected;
        GetDragAndDropArrowBounds(Rect(100, 50, 200, 80), TRect{}, TvlDragAndDropArrowPlace(place), expected);
        EXPECT_EQ(arrow.BoundsRect(), expected) << place;
        shapes[place] = shapeOf(arrow);
        TvlDragAndDropArrow transparent(true);
        transparent.Init(nullptr, Rect(100, 50, 200, 80), TRect{}, TvlDragAndDropArrowPlace(place));
        keyed[place] = shapeOf(transparent);
        EXPECT_TRUE(transparent.HasWindowRegion());
    }
    // The arrow pointing left: its head reaches the left edge in the middle
    // row, its shaft stands at the right in the middle rows only.
    EXPECT_EQ(shapes[apRight][5], std::string(9, '#'));
    EXPECT_EQ(shapes[apRight][0].back(), '.');
    EXPECT_EQ(shapes[apRight][4].back(), '#');
    for (size_t y = 0; y < shapes[apLeft].size(); ++y) {
        std::string mirrored(shapes[apRight][y].rbegin(), shapes[apRight][y].rend());
        EXPECT_EQ(shapes[apLeft][y], mirrored) << y;
    }
    for (size_t y = 0; y < shapes[apTop].size(); ++y)
        EXPECT_EQ(shapes[apTop][y], shapes[apBottom][shapes[apBottom].size() - 1 - y]) << y;
    // The colour key shows the drawn arrow inside the region.
    for (int place = apLeft; place <= apBottom; ++place)
        for (size_t y = 0; y < keyed[place].size(); ++y)
            for (size_t x = 0; x < keyed[place][y].size(); ++x)
                if (keyed[place][y][x] == '#') {
                    EXPECT_EQ(shapes[place][y][x], '#') << place << " " << x << "," << y;
                }
}

TEST_F(DragWindows, SizeFrameShowsARingAndKeepsItsShapeWhenTooSmall)
{
    TvlSizeFrame frame(2);
    frame.HandleNeeded();
    frame.DrawSizeFrame(Rect(10, 10, 30, 26));  // 20 x 16
    ASSERT_TRUE(frame.HasWindowRegion());
    const std::vector<std::string> ring = shapeOf(frame);
    EXPECT_EQ(ring[0], std::string(20, '#'));
    EXPECT_EQ(ring[1], std::string(20, '#'));
    EXPECT_EQ(ring[2], "##" + std::string(16, '.') + "##");
    EXPECT_EQ(ring[15], std::string(20, '#'));
    EXPECT_EQ(frame.BoundsRect(), Rect(10, 10, 30, 26));

    // 4 x 10 cannot hold a ring two pixels wide: the old shape stays.
    frame.DrawSizeFrame(Rect(40, 40, 44, 50));
    EXPECT_EQ(frame.BoundsRect(), Rect(40, 40, 44, 50));
    EXPECT_EQ(frame.WindowRegion(), QRegion(QRect(0, 0, 20, 16)).subtracted(QRegion(QRect(2, 2, 16, 12))));
    // The hatch: neighbouring pixels alternate.
    QImage image(20, 16, QImage::Format_RGB32);
    frame.DrawSizeFrame(Rect(10, 10, 30, 26));
    frame.PaintTo(image);
    EXPECT_NE(image.pixel(0, 0), image.pixel(1, 0));
    EXPECT_EQ(image.pixel(0, 0), image.pixel(1, 1));
}

TEST_F(DragWindows, DragImagesLetTheMouseThroughAndFollowThePointer)
{
    TvlDragImage image;
    image.Init(Rect(100, 100, 140, 120), TPoint{110, 105});
    EXPECT_EQ(image.PositionOffset(), (TPoint{10, 5}));
    EXPECT_EQ(image.Image()->Width(), 40);
    image.MoveTo(TPoint{300, 200});
    EXPECT_EQ(image.BoundsRect(), Rect(290, 195, 330, 215));
    image.SetImageVisible(true);
    QWidget* w = image.Widget();
    EXPECT_TRUE(image.ImageVisible());
    EXPECT_TRUE(w->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_NEAR(w->windowOpacity(), 180 / 255.0, 0.01);
    // A drag target under the image is found through it.
    EXPECT_EQ(FindDragTarget(TPoint{300, 200}, false), nullptr);
    Form->SetBounds(280, 180, 100, 100);
    Form->Show();
    EXPECT_EQ(FindDragTarget(TPoint{300, 200}, false), Form.get());
    image.SetImageVisible(false);
    EXPECT_FALSE(image.ImageVisible());
}

}  // namespace
