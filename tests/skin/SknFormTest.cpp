// Skin image drawing, pixel by pixel: 9-slices, bars, frames, key-colour
// transparency, regions and painting the parent under a control.
#include <QApplication>
#include <QWindow>
#include <QImage>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMenu>

#include "platform/controls/ComCtrls.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"
#include "platform/graphics/SysMetrics.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "tests/harness/XPointer.h"
#include "tools/skinpack/SkinPack.h"

namespace {

constexpr TColor sentinel = 0x123456;

// A bitmap whose every pixel tells where it came from.
std::unique_ptr<TBitmap> coded(int w, int h)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bitmap->SetPixels(x, y, RGB(uint8_t(x), uint8_t(y), 77));
    return bitmap;
}

// A 30 x 15 frame in nine flat zones: edge columns 10 wide, edge rows 5 high.
std::unique_ptr<TBitmap> zoned(int frames = 1)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(30 * frames, 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 30 * frames; ++x)
            bitmap->SetPixels(x, y, RGB(uint8_t((x % 30) / 10 * 80), uint8_t(y / 5 * 80), uint8_t(x / 30)));
    return bitmap;
}

TColor zone(int column, int row, int frame = 0)
{
    return RGB(uint8_t(column * 80), uint8_t(row * 80), uint8_t(frame));
}

struct Surface {
    explicit Surface(int w, int h) : image(w, h, QImage::Format_RGB32), dc(&image)
    {
        image.fill(QColor(0x56, 0x34, 0x12));
    }
    TColor at(int x, int y) const
    {
        const QRgb p = image.pixel(x, y);
        return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
    }
    QImage image;
    TDeviceContext dc;
};

const TRect margins{10, 5, 10, 5};

}  // namespace

TEST(SknFormTest, NineSliceKeepsCornersAndStretchesTheRest)
{
    // Frame 2 of a three-frame strip of coded pixels, 30 x 15 each.
    const auto strip = coded(90, 15);
    const auto image = BuildSkinImage({0, 0, 40, 20}, strip.get(), margins, false, false, 3, 2);
    ASSERT_EQ(image->Width(), 40);
    ASSERT_EQ(image->Height(), 20);
    auto src = [](int x, int y) { return RGB(uint8_t(30 + x), uint8_t(y), 77); };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(image->Pixels(x, y), src(x, y));
            EXPECT_EQ(image->Pixels(30 + x, y), src(20 + x, y));
            EXPECT_EQ(image->Pixels(x, 15 + y), src(x, 10 + y));
            EXPECT_EQ(image->Pixels(30 + x, 15 + y), src(20 + x, 10 + y));
        }
    // Edges and centre twice as large as their 10 x 5 source parts.
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 5; ++j) {
            EXPECT_EQ(image->Pixels(10 + 2 * i, 5 + 2 * j), src(10 + i, 5 + j));
            EXPECT_EQ(image->Pixels(10 + 2 * i, j), src(10 + i, j));
            EXPECT_EQ(image->Pixels(j, 5 + i), src(j, 5 + i / 2));
        }
}

TEST(SknFormTest, NarrowTargetDropsTheEdgeColumns)
{
    const auto frame = zoned();
    // 15 wide, less than 10 + 10: the whole frame width is stretched across,
    // the top and bottom rows stay.
    const auto image = BuildSkinImage({0, 0, 15, 20}, frame.get(), margins, false, false, 1, 1);
    EXPECT_EQ(image->Pixels(0, 0), zone(0, 0));
    EXPECT_EQ(image->Pixels(14, 0), zone(2, 0));
    EXPECT_EQ(image->Pixels(0, 10), zone(0, 1));
    EXPECT_EQ(image->Pixels(7, 10), zone(1, 1));
    EXPECT_EQ(image->Pixels(14, 10), zone(2, 1));
    EXPECT_EQ(image->Pixels(7, 19), zone(1, 2));
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(image->Pixels(7, y), zone(1, 0));
    // Exactly 10 + 10 wide keeps the edges with an empty centre.
    const auto exact = BuildSkinImage({0, 0, 20, 20}, frame.get(), margins, false, false, 1, 1);
    EXPECT_EQ(exact->Pixels(9, 10), zone(0, 1));
    EXPECT_EQ(exact->Pixels(10, 10), zone(2, 1));
}

TEST(SknFormTest, TiledCentreIsCoveredByTheRightAndBottomEdges)
{
    auto frame = zoned();
    // A centre with its own pattern, so tiles can be told apart.
    for (int y = 5; y < 10; ++y)
        for (int x = 10; x < 20; ++x)
            frame->SetPixels(x, y, RGB(uint8_t(x), uint8_t(y), 200));
    const auto image = BuildSkinImage({0, 0, 45, 22}, frame.get(), margins, false, true, 1, 1);
    for (int y = 5; y < 17; ++y)
        for (int x = 10; x < 35; ++x)
            ASSERT_EQ(image->Pixels(x, y), RGB(uint8_t(10 + (x - 10) % 10), uint8_t(5 + (y - 5) % 5), 200)) << x << "," << y;
    for (int y = 5; y < 17; ++y)
        for (int x = 35; x < 45; ++x)
            ASSERT_EQ(image->Pixels(x, y), zone(2, 1)) << x << "," << y;
    for (int y = 17; y < 22; ++y)
        for (int x = 10; x < 35; ++x)
            ASSERT_EQ(image->Pixels(x, y), zone(1, 2)) << x << "," << y;
}

TEST(SknFormTest, FramesAreCutFromTheStrip)
{
    const auto strip = coded(100, 10);
    struct Case {
        int index;
        int firstColumn;
    };
    // Frame 2 of 5 is columns 20-39; indices outside 1..5 go to the nearest end.
    for (const Case c : {Case{2, 20}, Case{5, 80}, Case{9, 80}, Case{0, 0}, Case{-3, 0}}) {
        SCOPED_TRACE(c.index);
        Surface s(20, 10);
        DrawSkinFrame(&s.dc, {0, 0, 20, 10}, strip.get(), 5, c.index, false);
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(s.at(x, 3), RGB(uint8_t(c.firstColumn + x), 3, 77));
    }
    // A frame count of 0 is one frame: the whole strip.
    Surface whole(100, 10);
    DrawSkinFrame(&whole.dc, {0, 0, 100, 10}, strip.get(), 0, 1, false);
    EXPECT_EQ(whole.at(99, 0), RGB(99, 0, 77));
    // Vertical strips stack their frames.
    const auto stacked = coded(10, 40);
    const auto second = BuildSkinImage({0, 0, 10, 10}, stacked.get(), {}, true, false, 4, 2);
    EXPECT_EQ(second->Pixels(3, 0), RGB(3, 10, 77));
}

TEST(SknFormTest, TransparentDrawingKeepsTheDestination)
{
    auto frame = coded(20, 10);
    for (int x = 0; x < 20; x += 2)
        frame->SetPixels(x, 4, clFuchsia);
    Surface image(20, 10);
    DrawSkinImage(&image.dc, {0, 0, 20, 10}, frame.get(), {}, false, false, true, 1, 1);
    Surface bar(20, 10);
    TCanvas canvas;
    canvas.SetHandle(&bar.dc);
    DrawSkinBar(&canvas, {0, 0, 20, 10}, frame.get(), {5, 0, 5, 0}, false, true, 1, 1);
    canvas.SetHandle(nullptr);
    Surface direct(20, 10);
    DrawTransparentBitmap(&direct.dc, {0, 0, 20, 10}, frame.get(), SkinKeyColor);
    for (Surface* s : {&image, &bar, &direct})
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(s->at(x, 4), x % 2 == 0 ? sentinel : RGB(uint8_t(x), 4, 77)) << x;
            EXPECT_EQ(s->at(x, 3), RGB(uint8_t(x), 3, 77)) << x;
        }
    // Opaque, the key colour is drawn like any other.
    Surface opaque(20, 10);
    DrawSkinImage(&opaque.dc, {0, 0, 20, 10}, frame.get(), {}, false, false, false, 1, 1);
    EXPECT_EQ(opaque.at(0, 4), clFuchsia);
}

TEST(SknFormTest, BarsAndCentredFrames)
{
    const auto frame = zoned();
    // Caps that leave no middle: the caps only, and the call returns.
    Surface capsOnly(40, 15);
    TCanvas canvas;
    canvas.SetHandle(&capsOnly.dc);
    DrawSkinBar(&canvas, {0, 0, 40, 15}, frame.get(), {16, 0, 16, 0}, false, false, 1, 1);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(capsOnly.at(0, 7), zone(0, 1));
    EXPECT_EQ(capsOnly.at(39, 7), zone(2, 1));
    // A bar's middle is tiled at full frame height.
    Surface tiled(50, 15);
    canvas.SetHandle(&tiled.dc);
    DrawSkinBar(&canvas, {0, 0, 50, 15}, frame.get(), {10, 0, 10, 0}, false, false, 1, 1);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(tiled.at(25, 7), zone(1, 1));
    EXPECT_EQ(tiled.at(45, 7), zone(2, 1));
    // A frame wider than the target is squeezed whole into it.
    Surface squeezed(15, 15);
    DrawSkinImageH(&squeezed.dc, {0, 0, 15, 15}, frame.get(), margins, false, 1, 1);
    EXPECT_EQ(squeezed.at(0, 7), zone(0, 1));
    EXPECT_EQ(squeezed.at(14, 7), zone(2, 1));
    Surface wide(50, 15);
    DrawSkinImageH(&wide.dc, {0, 0, 50, 15}, frame.get(), margins, false, 1, 1);
    EXPECT_EQ(wide.at(9, 7), zone(0, 1));
    EXPECT_EQ(wide.at(30, 7), zone(1, 1));
    EXPECT_EQ(wide.at(40, 7), zone(2, 1));
    // Centred, unscaled; an inverted rectangle draws nothing.
    Surface centred(50, 25);
    DrawSkinFrameCentred(&centred.dc, {0, 0, 50, 25}, frame.get(), 1, 1, false);
    EXPECT_EQ(centred.at(9, 4), sentinel);
    EXPECT_EQ(centred.at(10, 5), zone(0, 0));
    EXPECT_EQ(centred.at(39, 19), zone(2, 2));
    EXPECT_EQ(centred.at(40, 19), sentinel);
    Surface inverted(20, 20);
    DrawSkinImage(&inverted.dc, {10, 10, 5, 20}, frame.get(), margins, false, false, false, 1, 1);
    DrawSkinFrame(&inverted.dc, {10, 10, 20, 5}, frame.get(), 1, 1, false);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(inverted.at(x, y), sentinel);
}

TEST(SknFormTest, RegionFromOpaquePixels)
{
    TBitmap allKey;
    allKey.SetPixelFormat(pf24bit);
    allKey.SetSize(12, 7);
    allKey.Canvas()->Brush()->SetColor(clFuchsia);
    allKey.Canvas()->FillRect({0, 0, 12, 7});
    EXPECT_TRUE(CreateRegionFromBitmap(&allKey, 0, 0, 1, 1, 1, SkinKeyColor).Region().isEmpty());

    TBitmap row;
    row.SetPixelFormat(pf24bit);
    row.SetSize(5, 1);
    const TColor pixels[] = {clRed, clBlue, RGB(255, 1, 255), RGB(254, 0, 255), clFuchsia};
    for (int x = 0; x < 5; ++x)
        row.SetPixels(x, 0, pixels[x]);
    // (255, 1, 255) is within the tolerance of 1; (254, 0, 255) lies below the key.
    const QRegion region = CreateRegionFromBitmap(&row, 10, 20, 1, 1, 1, SkinKeyColor).Region();
    const std::vector<QRect> rects(region.begin(), region.end());
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0], QRect(10, 20, 2, 1));
    EXPECT_EQ(rects[1], QRect(13, 20, 1, 1));

    // More rectangles than one batch holds: every other pixel of 100 rows.
    TBitmap stripes;
    stripes.SetPixelFormat(pf24bit);
    stripes.SetSize(60, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 60; x += 2)
            stripes.SetPixels(x, y, clFuchsia);
    const QRegion many = CreateRegionFromBitmap(&stripes, 0, 0, 0, 0, 0, SkinKeyColor).Region();
    EXPECT_TRUE(many.contains(QPoint(59, 99)));
    EXPECT_FALSE(many.contains(QPoint(58, 99)));
    EXPECT_EQ(many.boundingRect(), QRect(1, 0, 59, 100));
}

namespace {

// A parent that paints a known picture through its messages, and counts them.
class TPaintedParent : public TWinControl {
public:
    TPaintedParent() : TWinControl(nullptr) {}
    int Erased = 0;
    int Painted = 0;
    bool Fail = false;

protected:
    void WndProc(TMessage& Message) override
    {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        if (Message.Msg == WM_ERASEBKGND && dc != nullptr) {
            ++Erased;
            const TDCBrush red{clRed, dbsSolid};
            FillRect(dc, {0, 0, 100, 100}, &red);
            return;
        }
        if (Message.Msg == WM_PAINT && dc != nullptr) {
            ++Painted;
            if (Fail)
                throw Exception("paint failed");
            SetPixel(dc, 30, 20, clBlue);
            return;
        }
        TWinControl::WndProc(Message);
    }
};

}  // namespace

TEST(SknFormTest, ParentBackgroundIsPaintedUnderTheControl)
{
    TPaintedParent parent;
    parent.SetBounds(0, 0, 100, 100);
    TWinControl child(nullptr);
    child.SetBounds(25, 15, 10, 10);
    child.SetParent(&parent);

    Surface s(20, 20);
    DrawParentBackground(&child, &s.dc);
    EXPECT_EQ(parent.Erased, 1);
    EXPECT_EQ(parent.Painted, 1);
    EXPECT_EQ(s.at(5, 5), clBlue);   // the parent's (30, 20)
    EXPECT_EQ(s.at(0, 0), clRed);
    EXPECT_EQ(s.at(12, 12), sentinel);  // outside the control's client area
    // The DC is as it was.
    TPoint origin;
    GetViewportOrgEx(&s.dc, origin);
    EXPECT_EQ(origin, (TPoint{0, 0}));
    EXPECT_FALSE(s.dc.HasClip());

    parent.Fail = true;
    EXPECT_THROW(DrawParentBackground(&child, &s.dc), Exception);
    EXPECT_FALSE(s.dc.HasClip());
    child.SetParent(nullptr);
    DrawParentBackground(&child, &s.dc);  // no parent: nothing
    EXPECT_EQ(parent.Painted, 2);
}

TEST(SknFormTest, WorkBitmapLivesBetweenStartAndEnd)
{
    SknFormInitialization();
    ASSERT_NE(SkinWorkBitmap(), nullptr);
    SkinWorkBitmap()->SetSize(4, 4);
    SknFormFinalization();
    EXPECT_EQ(SkinWorkBitmap(), nullptr);
}

// ---- the skinned frame and its caption buttons -------------------------------

namespace {

QRgb codedFrame(int seed, int k)
{
    return qRgb(seed, 40 * k, 200 - 30 * k);
}

// A strip of flat frames, each w x h; Key puts a magenta pixel at each
// frame's top-left.
QByteArray frameStrip(int w, int h, int frames, int seed, bool stacked, bool key = false)
{
    QImage image(stacked ? w : w * frames, stacked ? h * frames : h, QImage::Format_RGB32);
    for (int k = 1; k <= frames; ++k)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(stacked ? x : (k - 1) * w + x, stacked ? (k - 1) * h + y : y,
                               key && x == 0 && y == 0 ? qRgb(255, 0, 255) : codedFrame(seed, k));
    return skinpack::WriteBmp(image);
}

TColor colourOf(QRgb p)
{
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

// Top 278 x 42 with two frames (21 high), Left and Right 16 x 60 with two
// frames (8 wide), Bottom 20 x 8 with two frames (4 high).
QByteArray frameSkin(bool trans)
{
    QByteArray description =
        "[Personality]\n"
        "Left=left.bmp\nLeftFrame=2\nRight=right.bmp\nRightFrame=2\n"
        "Top=top.bmp\nTopFrame=2\nTopTopHeight=4\nTopBotHeight=4\nBottom=bottom.bmp\nBottomFrame=2\n"
        "TextShift=30\nTextShiftVert=0\nTextRightClip=90\nTextAlignment=0\n"
        "[Colours]\nTitleTextActive=255 255 255\nTitleTextNoActive=0 0 0\n"
        "[BUTTON1]\nAction=0\nAlign=1\nXcoord=70\nYcoord=0\nButtonImage=close.bmp\n"
        "[BUTTON2]\nAction=57\nAlign=0\nXcoord=40\nYcoord=2\nButtonImage=close.bmp\n"
        "[BUTTON3]\nAction=1\nAlign=1\nXcoord=120\nYcoord=0\nVisibility=1\nButtonImage=close.bmp\n"
        "[BUTTON4]\nAction=12\nAlign=0\nXcoord=4\nYcoord=2\nButtonImage=close.bmp\n";
    std::vector<skinpack::SkinEntry> bitmaps{
        {"skin.ini", trans ? description : description.replace("LeftFrame=2\n", "LeftFrame=2\nLeftTrans=0\n")
                                                          .replace("RightFrame=2\n", "RightFrame=2\nRightTrans=0\n")
                                                          .replace("TopFrame=2\n", "TopFrame=2\nTopTrans=0\n")
                                                          .replace("BottomFrame=2\n", "BottomFrame=2\nBottomTrans=0\n")},
        {"left.bmp", frameStrip(8, 60, 2, 10, false)},
        {"right.bmp", frameStrip(8, 60, 2, 20, false)},
        {"top.bmp", frameStrip(278, 21, 2, 30, true, true)},
        {"bottom.bmp", frameStrip(20, 4, 2, 40, true)},
        {"close.bmp", frameStrip(16, 21, 3, 50, false)},
    };
    return skinpack::PackSkinFile(skinpack::WriteContainer(bitmaps));
}

class SkinnedFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreeSkinManager();
        if (Application == nullptr)
            app = std::make_unique<TApplication>(nullptr);
        data = std::make_unique<TSkinData>(nullptr);
        data->Loading();
        ASSERT_TRUE(data->LoadSkin(frameSkin(true)));
        data->Loaded();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(50, 60, 400, 300);
        skinner = new TSknForm(form.get());
        attach();
    }
    void TearDown() override
    {
        form.reset();
        data.reset();
        FreeSkinManager();
        app.reset();
    }
    void attach()
    {
        skinner->AttachForm(form.get(), data.get());
        skinner->ReadStyles();
        skinner->ComputeFrameMetrics();
    }
    QImage paint(int w = 400, int h = 300)
    {
        TBitmap target;
        target.SetPixelFormat(pf24bit);
        target.SetSize(w, h);
        skinner->PaintNC(target.Canvas(), w, h);
        return target.Image();
    }
    TWinSysButton* button(int action) const
    {
        for (const auto& b : skinner->CaptionButtons())
            if (b->SkinButton->Action == action)
                return b.get();
        return nullptr;
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TSkinData> data;
    std::unique_ptr<TForm> form;
    TSknForm* skinner = nullptr;  // owned by the form
};

}  // namespace

TEST_F(SkinnedFrame, MetricsComeFromTheBorderImagesAndPlaceTheClient)
{
    EXPECT_TRUE(skinner->FrameSkinning());
    EXPECT_EQ(skinner->TopHeight(), 21);
    EXPECT_EQ(skinner->LeftWidth(), 8);
    EXPECT_EQ(skinner->RightWidth(), 8);
    EXPECT_EQ(skinner->BottomHeight(), 4);
    EXPECT_EQ(skinner->MenuHeight(), 0);
    EXPECT_EQ(skinner->ClientInWindow(TRect{100, 100, 500, 400}), (TRect{108, 121, 492, 396}));

    // A window without caption keeps its whole area.
    form->SetBorderStyle(bsNone);
    skinner->ReadStyles();
    skinner->ComputeFrameMetrics();
    EXPECT_EQ(skinner->TopHeight(), 0);
    EXPECT_EQ(skinner->ClientInWindow(TRect{100, 100, 500, 400}), (TRect{100, 100, 500, 400}));
}

TEST_F(SkinnedFrame, HitTestGivesTheCaptionAndLeavesBordersAndClient)
{
    const struct {
        TPoint p;
        LRESULT previous, expected;
    } cases[] = {
        {{200, 2}, HTNOWHERE, HTNOWHERE},  {{200, 10}, HTNOWHERE, HTCAPTION}, {{200, 10}, HTCAPTION, HTCAPTION},
        {{200, 2}, HTTOP, HTTOP},          {{2, 100}, HTLEFT, HTLEFT},        {{398, 100}, HTRIGHT, HTRIGHT},
        {{200, 298}, HTBOTTOM, HTBOTTOM},  {{1, 1}, HTTOPLEFT, HTTOPLEFT},    {{398, 1}, HTTOPRIGHT, HTTOPRIGHT},
        {{1, 298}, HTBOTTOMLEFT, HTBOTTOMLEFT}, {{398, 298}, HTBOTTOMRIGHT, HTBOTTOMRIGHT},
        {{200, 150}, HTCLIENT, HTCLIENT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(skinner->HitTest(c.p, c.previous), c.expected) << c.p.X << "," << c.p.Y << " " << c.previous;
}

TEST_F(SkinnedFrame, BordersShowFrameOneActiveAndFrameTwoInactive)
{
    for (const bool active : {true, false}) {
        SCOPED_TRACE(active);
        skinner->SetActiveFlag(active);
        const QImage shot = paint();
        const int k = active ? 1 : 2;
        EXPECT_EQ(colourOf(shot.pixel(3, 150)), colourOf(codedFrame(10, k)));    // left
        EXPECT_EQ(colourOf(shot.pixel(396, 150)), colourOf(codedFrame(20, k)));  // right
        EXPECT_EQ(colourOf(shot.pixel(200, 298)), colourOf(codedFrame(40, k)));  // bottom
        EXPECT_EQ(colourOf(shot.pixel(250, 12)), colourOf(codedFrame(30, k)));   // caption
    }
}

TEST_F(SkinnedFrame, RegionCutsTheKeyCornersOnlyWhenABorderIsTrans)
{
    const QRegion region = skinner->WindowRegion(400, 300).Region();
    EXPECT_FALSE(region.contains(QPoint(8, 0)));  // the Top image's magenta corner
    EXPECT_TRUE(region.contains(QPoint(9, 0)));
    EXPECT_TRUE(region.contains(QPoint(8, 1)));
    EXPECT_TRUE(region.contains(QPoint(0, 0)));   // the Left border has no key pixel
    EXPECT_TRUE(region.contains(QPoint(200, 150)));
    EXPECT_TRUE(region.contains(QPoint(399, 299)));
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 400, 300));

    ASSERT_TRUE(data->LoadSkin(frameSkin(false)));
    skinner->ComputeFrameMetrics();
    EXPECT_TRUE(skinner->WindowRegion(400, 300).Region().isEmpty());  // no shape: the whole window
}

// Each visibility code, in either column, for the window facts it reads.
struct VisibilityCase {
    int code;
    bool maximised, active, minBox, maxBox, help, sysMenu, dialog;
    bool first, second;
};

class CaptionButtonVisibility : public SkinnedFrame, public ::testing::WithParamInterface<VisibilityCase> {};

TEST_P(CaptionButtonVisibility, FollowsTheTable)
{
    const VisibilityCase c = GetParam();
    TBorderIcons icons;
    if (c.minBox)
        icons.Include(biMinimize);
    if (c.maxBox)
        icons.Include(biMaximize);
    if (c.help)
        icons.Include(biHelp);
    if (c.sysMenu)
        icons.Include(biSystemMenu);
    form->SetBorderIcons(icons);
    form->SetBorderStyle(c.dialog ? bsDialog : bsSizeable);
    skinner->ReadStyles();
    skinner->SetWindowStateKind(c.maximised ? wkMaximized : wkNormal);
    skinner->SetActiveFlag(c.active);
    TDataSkinSysButton* sb = button(57)->SkinButton;
    const int index = int(std::find_if(skinner->CaptionButtons().begin(), skinner->CaptionButtons().end(),
                                       [&](const auto& b) { return b->SkinButton == sb; }) -
                          skinner->CaptionButtons().begin());
    sb->Visibility = c.code;
    sb->Visibility1 = 0;
    EXPECT_EQ(skinner->IsCaptionButtonVisible(index), c.first) << "Visibility " << c.code;
    sb->Visibility = 0;
    sb->Visibility1 = c.code;
    EXPECT_EQ(skinner->IsCaptionButtonVisible(index), c.second) << "Visibility1 " << c.code;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CaptionButtonVisibility,
    ::testing::Values(
        // code max  act  min  maxb help sys  dlg   first  second
        VisibilityCase{-1, false, true, true, true, false, true, false, false, false},
        VisibilityCase{0, false, true, true, true, false, true, false, true, true},
        VisibilityCase{1, true, true, true, true, false, true, false, true, true},
        VisibilityCase{1, false, true, true, true, false, true, false, false, false},
        VisibilityCase{2, false, true, true, true, false, true, false, true, true},
        VisibilityCase{2, true, true, true, true, false, true, false, false, false},
        VisibilityCase{3, false, true, true, true, false, true, false, true, true},
        VisibilityCase{3, false, false, true, true, false, true, false, false, false},
        VisibilityCase{4, false, false, true, true, false, true, false, true, true},
        VisibilityCase{4, false, true, true, true, false, true, false, false, false},
        VisibilityCase{5, false, true, true, true, false, true, false, false, false},
        VisibilityCase{6, false, true, true, false, false, true, false, true, true},
        VisibilityCase{6, false, true, false, true, false, false, false, false, true},
        VisibilityCase{6, false, true, false, false, false, true, false, false, false},
        VisibilityCase{8, false, true, false, true, false, false, false, false, true},
        VisibilityCase{7, false, true, true, false, false, true, false, true, true},
        VisibilityCase{7, false, true, true, true, false, true, false, false, false},
        VisibilityCase{9, false, true, false, true, false, true, false, true, true},
        VisibilityCase{9, false, true, true, true, false, true, false, false, false},
        VisibilityCase{10, false, true, false, false, true, true, false, true, true},
        VisibilityCase{10, false, true, true, false, true, true, false, false, true},
        VisibilityCase{10, false, true, false, false, false, true, false, false, false},
        VisibilityCase{100, false, true, true, true, false, true, false, false, true},
        VisibilityCase{200, false, true, true, true, false, true, true, true, true},
        VisibilityCase{200, false, true, true, true, false, true, false, false, false},
        VisibilityCase{201, false, true, true, true, false, true, false, true, true},
        VisibilityCase{999, false, true, true, true, false, true, false, true, true},
        VisibilityCase{3000, false, true, true, true, false, true, false, false, false}));

TEST_F(SkinnedFrame, ActionsHideOrDisableTheirButtons)
{
    // A dialog frame shows no system-menu button; close needs a system menu.
    skinner->LayoutCaptionButtons(400);
    EXPECT_TRUE(button(12)->Visible);
    EXPECT_TRUE(button(0)->Visible);
    EXPECT_FALSE(button(1)->Visible);  // Visibility 1: only while maximised
    form->SetBorderStyle(bsDialog);
    form->SetBorderIcons(TBorderIcons{});
    skinner->ReadStyles();
    skinner->LayoutCaptionButtons(400);
    EXPECT_FALSE(button(12)->Visible);
    EXPECT_FALSE(button(0)->Visible);
    // Maximise is shown while maximised but disabled without its box.
    form->SetBorderStyle(bsSizeable);
    form->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    skinner->ReadStyles();
    skinner->SetWindowStateKind(wkMaximized);
    skinner->LayoutCaptionButtons(400);
    EXPECT_TRUE(button(1)->Visible);
    EXPECT_FALSE(button(1)->Enabled);
    // A button whose visibility code is -1 is never shown.
    button(57)->SkinButton->Visibility = -1;
    skinner->LayoutCaptionButtons(400);
    EXPECT_FALSE(button(57)->Visible);
}

TEST_F(SkinnedFrame, RightAlignedButtonSitsAtWidthMinusXCoordAndAFrameWide)
{
    skinner->LayoutCaptionButtons(400);
    EXPECT_EQ(button(0)->Rect, (TRect{330, 0, 346, 21}));  // 48 x 21 in three frames
    EXPECT_EQ(button(57)->Rect, (TRect{40, 2, 56, 23}));
    EXPECT_EQ(skinner->CaptionButtonAt(TPoint{335, 5}), button(0));
    EXPECT_EQ(skinner->CaptionButtonAt(TPoint{300, 5}), nullptr);
}

TEST_F(SkinnedFrame, HoverAndPressPickTheirFramesAndOnlyAReleaseOnTheButtonActs)
{
    form->Show();
    std::vector<std::pair<UINT, WPARAM>> posted;
    TWndMethod old = form->WindowProc;
    form->WindowProc = TWndMethod::FromFunction([&](TMessage& M) {
        if (M.Msg == SKIN_CUSTOM_ACTION || M.Msg == WM_SYSCOMMAND)
            posted.emplace_back(M.Msg, M.WParam);
        old(M);
    });
    auto frameAt = [&](TWinSysButton* b) {
        const QImage shot = paint();
        return colourOf(shot.pixel(b->Rect.Left + 8, b->Rect.Top + 10));
    };
    TWinSysButton* custom = button(57);
    EXPECT_EQ(frameAt(custom), colourOf(codedFrame(50, 1)));
    custom->MouseMove();
    EXPECT_EQ(skinner->MouseObject(), custom);
    EXPECT_EQ(custom->State, 3);
    EXPECT_EQ(frameAt(custom), colourOf(codedFrame(50, 3)));
    custom->MouseDown();
    EXPECT_EQ(frameAt(custom), colourOf(codedFrame(50, 2)));
    // Released elsewhere: no button there, nothing runs.
    EXPECT_EQ(skinner->CaptionButtonAt(TPoint{200, 100}), nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(posted.empty());
    // The paint the button's change asked for keeps the object under the
    // mouse; a paint of the whole frame forgets it. Press again.
    EXPECT_EQ(skinner->MouseObject(), custom);
    paint();
    EXPECT_EQ(skinner->MouseObject(), nullptr);
    custom->MouseDown();
    custom->MouseUp();
    skinner->ExecuteCaptionButton(custom->Rect.Left, custom->Rect.Top);
    QApplication::processEvents();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], (std::pair<UINT, WPARAM>{SKIN_CUSTOM_ACTION, 57}));
    custom->MouseLeave();
    EXPECT_EQ(skinner->MouseObject(), nullptr);
    EXPECT_EQ(custom->State, 1);

    // Close closes.
    button(0)->MouseMove();
    skinner->ExecuteCaptionButton(0, 0);
    QApplication::processEvents();
    EXPECT_EQ(posted.back(), (std::pair<UINT, WPARAM>{WM_SYSCOMMAND, SC_CLOSE}));
    EXPECT_FALSE(form->Visible());
    form->WindowProc = old;
}

TEST_F(SkinnedFrame, CaptionTextStaysInsideItsRectangle)
{
    form->SetCaption(QString(60, QChar('W')));
    skinner->LayoutCaptionButtons(400);
    paint();
    const TRect text = skinner->CaptionTextRect();
    EXPECT_EQ(text.Left, 30);             // TextShift
    EXPECT_EQ(text.Right, 400 - 90);      // clipped at TextRightClip
    form->SetCaption(QStringLiteral("Hi"));
    skinner->SetRightToLeft(true);
    paint();
    const TRect rtl = skinner->CaptionTextRect();
    // Right-aligned before the right-aligned buttons (the largest XCoord
    // of the visible ones, 70 here), then 10 pixels to the right.
    EXPECT_EQ(rtl.Right, 400 - 70 + 10);
    EXPECT_GT(rtl.Left, 200);
}

TEST(SkinnedFrameHints, HintTextsByAction)
{
    const struct {
        int action;
        const char* text;
    } cases[] = {{0, "Close"},    {9, "Close"},    {62, "Close"},    {1, "Maximize"}, {22, "Maximize"},
                 {2, "Minimize"}, {7, "Minimize"}, {23, "Minimize"}, {60, "Minimize"}, {8, "Restore"},
                 {61, "Restore"}, {3, ""},         {57, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(TSknForm::CaptionButtonHint(c.action), QString::fromLatin1(c.text)) << c.action;
}

namespace {
// A window point of the skinned form in screen coordinates.
LPARAM screenAt(TSknForm* skinner, TForm* form, TPoint p)
{
    const TPoint origin = form->ClientToScreen(TPoint{0, 0});
    return MakeLParam(origin.X + p.X - skinner->LeftWidth(), origin.Y + p.Y - skinner->TopHeight());
}
}  // namespace

TEST_F(SkinnedFrame, FrameMessagesWaitForFinishThenReachTheSkinner)
{
    form->Show();
    EXPECT_EQ(skinner->State(), 0);
    EXPECT_EQ(form->Perform(WM_NCACTIVATE, 0), 0);  // not before finishing
    EXPECT_TRUE(skinner->Active());
    int afterSkin = 0;
    TWndMethod old = form->WindowProc;
    form->WindowProc = TWndMethod::FromFunction([&](TMessage& M) {
        if (M.Msg == SKIN_AFTER_SKIN && M.LParam == 16802)
            ++afterSkin;
        old(M);
    });
    form->Perform(SKIN_FINISH, 0, 1000);
    EXPECT_EQ(skinner->State(), 1);
    EXPECT_EQ(afterSkin, 1);

    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = TRect{100, 100, 500, 400};
    EXPECT_EQ(form->Perform(WM_NCCALCSIZE, 1, LPARAM(&params)), WVR_VALIDRECTS);
    EXPECT_EQ(params.rgrc[0], (TRect{108, 121, 492, 396}));
    EXPECT_EQ(params.rgrc[1], params.rgrc[0]);

    EXPECT_EQ(form->Perform(WM_NCACTIVATE, 0), 1);
    EXPECT_FALSE(skinner->Active());
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(form->Width(), form->Height());
    form->Perform(WM_NCPAINT, WPARAM(target.Canvas()->Handle()));
    EXPECT_EQ(target.Canvas()->Pixels(3, 150), colourOf(codedFrame(10, 2)));
    form->Perform(WM_NCACTIVATE, 1);
    form->Perform(WM_NCPAINT, WPARAM(target.Canvas()->Handle()));
    EXPECT_EQ(target.Canvas()->Pixels(3, 150), colourOf(codedFrame(10, 1)));
    form->WindowProc = old;
}

TEST_F(SkinnedFrame, CaptionMouseMessagesPressReleaseAndDoubleClick)
{
    form->Show();
    form->Perform(SKIN_FINISH, 0, 1000);
    skinner->LayoutCaptionButtons(form->Width());
    std::vector<WPARAM> commands;
    TWndMethod old = form->WindowProc;
    form->WindowProc = TWndMethod::FromFunction([&](TMessage& M) {
        if (M.Msg == WM_SYSCOMMAND)
            commands.push_back(M.WParam);
        if (M.Msg != WM_SYSCOMMAND || M.WParam != SC_CLOSE)
            old(M);
    });
    TWinSysButton* close = button(0);
    const LPARAM onClose = screenAt(skinner, form.get(), TPoint{close->Rect.Left + 4, 5});
    const LPARAM onCaption = screenAt(skinner, form.get(), TPoint{250, 10});
    form->Perform(WM_NCMOUSEMOVE, HTCAPTION, onClose);
    EXPECT_EQ(skinner->MouseObject(), close);
    EXPECT_EQ(close->State, 3);
    form->Perform(WM_NCLBUTTONDOWN, HTCAPTION, onClose);
    EXPECT_EQ(close->State, 2);
    form->Perform(WM_NCLBUTTONUP, HTCAPTION, onCaption);  // released elsewhere
    QApplication::processEvents();
    EXPECT_TRUE(commands.empty());
    form->Perform(WM_NCLBUTTONUP, HTCAPTION, onClose);
    QApplication::processEvents();
    EXPECT_EQ(commands, std::vector<WPARAM>{SC_CLOSE});

    // A double click on the caption maximises, and another restores.
    commands.clear();
    form->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, onCaption);
    QApplication::processEvents();
    EXPECT_EQ(commands, std::vector<WPARAM>{SC_MAXIMIZE});
    EXPECT_EQ(skinner->WindowStateKind(), wkMaximized);
    form->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, onCaption);
    QApplication::processEvents();
    EXPECT_EQ(commands.back(), WPARAM(SC_RESTORE));
    EXPECT_EQ(skinner->WindowStateKind(), wkNormal);
    form->WindowProc = old;
}

TEST_F(SkinnedFrame, HoverHintAppearsAfterTwiceTheHintPause)
{
    form->Show();
    form->Perform(SKIN_FINISH, 0, 1000);
    skinner->LayoutCaptionButtons(form->Width());
    Application->SetHintPause(500);
    Application->SetHintHidePause(2500);
    TWinSysButton* close = button(0);
    const LPARAM at = screenAt(skinner, form.get(), TPoint{close->Rect.Left + 4, 5});
    form->Perform(WM_NCMOUSEMOVE, HTCAPTION, at);
    ASSERT_EQ(skinner->MouseObject(), close);
    const TPoint pointer = PointFromLParam(at);
    int ticks = 0;
    while (!data->HintShown() && ticks < 100) {
        skinner->HoverTick(pointer);
        ++ticks;
    }
    EXPECT_EQ(ticks * TSknForm::HoverInterval, 2 * 500);
    EXPECT_EQ(data->CaptionHintWindow()->Caption(), QStringLiteral("Close"));
    EXPECT_EQ(data->CaptionHintWindow()->Top(), pointer.Y + 24);
    while (data->HintShown() && ticks < 100) {
        skinner->HoverTick(pointer);
        ++ticks;
    }
    EXPECT_EQ(ticks * TSknForm::HoverInterval, 2 * 500 + 2500);
    // Leaving the button forgets it and resets the time.
    skinner->HoverTick(TPoint{pointer.X - 200, pointer.Y + 100});
    EXPECT_EQ(skinner->MouseObject(), nullptr);
    EXPECT_EQ(close->State, 1);
    EXPECT_EQ(data->HintTime, 0);
}

// ---- skinned forms on screen: the form's own frame, grabbed --------------

namespace {

// Empty when the images are the same; else where they first differ.
std::string firstDifference(const QImage& A, const QImage& B)
{
    if (A.size() != B.size())
        return "sizes differ";
    for (int y = 0; y < A.height(); ++y)
        for (int x = 0; x < A.width(); ++x)
            if (A.pixel(x, y) != B.pixel(x, y))
                return std::to_string(x) + "," + std::to_string(y);
    return std::string();
}

// A form as the program shows it, skinned to the end (the finish message).
class SkinnedForm : public SkinnedFrame {
protected:
    void SetUp() override
    {
        SkinnedFrame::SetUp();
        // The form's own colour first, then the skinner that keeps it.
        skinner->Unskin(false);
        delete skinner;
        form->SetCaption(QStringLiteral("Skinned"));
        form->SetColor(clWhite);
        skinner = new TSknForm(form.get());
        attach();
        form->SetClientWidth(400);
        form->SetClientHeight(300);
        panel = new TWinControl(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(20, 30, 100, 50);
        panel->SetColor(clNavy);
    }
    void finish()
    {
        form->Show();
        form->Perform(SKIN_FINISH, 0, 1000);
        QApplication::processEvents();
    }
    QImage grab()
    {
        QApplication::processEvents();
        return form->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // A mouse event on the form's window at a point of the window.
    void mouse(QEvent::Type Type, TPoint WindowPoint, Qt::MouseButtons Buttons, TPoint Global)
    {
        QMouseEvent e(Type, QPointF(WindowPoint.X, WindowPoint.Y), QPointF(Global.X, Global.Y),
                      Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Buttons, Qt::NoModifier);
        QApplication::sendEvent(form->Widget(), &e);
    }
    TPoint screenOf(TPoint WindowPoint)
    {
        const QPoint g = form->Widget()->mapToGlobal(QPoint(WindowPoint.X, WindowPoint.Y));
        return TPoint{g.x(), g.y()};
    }
    TWinControl* panel = nullptr;  // owned by the form
};

}  // namespace

TEST_F(SkinnedForm, FrameSurroundsTheClientAtItsSizeAndFollowsActivation)
{
    finish();
    ASSERT_TRUE(form->CustomFrame());
    EXPECT_EQ(form->ClientWidth(), 400);
    EXPECT_EQ(form->ClientHeight(), 300);
    EXPECT_EQ(form->Width(), 416);
    EXPECT_EQ(form->Height(), 325);
    EXPECT_EQ(form->NonClientMargins(), (TRect{8, 21, 8, 4}));
    // The client sits at (left, top + menu) inside the window.
    EXPECT_EQ(panel->Widget()->geometry(), QRect(8 + 20, 21 + 30, 100, 50));
    EXPECT_EQ(form->ClientToScreen(TPoint{0, 0}), screenOf(TPoint{8, 21}));

    QImage shot = grab();
    ASSERT_EQ(shot.size(), QSize(416, 325));
    EXPECT_EQ(colourOf(shot.pixel(3, 150)), colourOf(codedFrame(10, 1)));
    EXPECT_EQ(colourOf(shot.pixel(412, 150)), colourOf(codedFrame(20, 1)));
    EXPECT_EQ(colourOf(shot.pixel(200, 323)), colourOf(codedFrame(40, 1)));
    EXPECT_EQ(colourOf(shot.pixel(250, 12)), colourOf(codedFrame(30, 1)));
    EXPECT_EQ(colourOf(shot.pixel(8 + 5, 21 + 5)), ColorToRGB(data->Colors[scButtonFace].Color));
    EXPECT_EQ(colourOf(shot.pixel(8 + 20 + 50, 21 + 30 + 25)), clNavy);

    form->Perform(WM_NCACTIVATE, 0, 0);
    shot = grab();
    EXPECT_EQ(colourOf(shot.pixel(3, 150)), colourOf(codedFrame(10, 2)));
    EXPECT_EQ(colourOf(shot.pixel(412, 150)), colourOf(codedFrame(20, 2)));
    EXPECT_EQ(colourOf(shot.pixel(200, 323)), colourOf(codedFrame(40, 2)));
    EXPECT_EQ(colourOf(shot.pixel(250, 12)), colourOf(codedFrame(30, 2)));
}

TEST_F(SkinnedForm, SkinUnskinAndReskinKeepTheClientAndTheLook)
{
    skinner->Unskin(false);
    delete skinner;
    form->Show();
    const TRect before = form->BoundsRect();
    const QImage unskinned = grab();
    skinner = new TSknForm(form.get());
    attach();
    finish();
    // The offscreen window system is slow to tell of activation: the frame
    // is told to be active here.
    form->Perform(WM_NCACTIVATE, 1, 0);
    const QImage skinned = grab();
    EXPECT_EQ(form->ClientWidth(), 400);

    skinner->Unskin(true);
    EXPECT_FALSE(form->CustomFrame());
    EXPECT_FALSE(form->HasWindowRegion());
    EXPECT_EQ(form->BoundsRect(), before);
    EXPECT_EQ(panel->Widget()->geometry(), QRect(20, 30, 100, 50));
    EXPECT_EQ(firstDifference(grab(), unskinned), "");

    skinner = new TSknForm(form.get());
    attach();
    form->Perform(SKIN_FINISH, 0, 1000);
    EXPECT_EQ(form->ClientWidth(), 400);
    EXPECT_EQ(form->ClientHeight(), 300);
    form->Perform(WM_NCACTIVATE, 1, 0);
    EXPECT_EQ(firstDifference(grab(), skinned), "");
}

TEST_F(SkinnedForm, ShapeCutsExactlyTheKeyPixelsOfTheFrame)
{
    finish();
    ASSERT_TRUE(form->HasWindowRegion());
    const QRegion mask = form->Widget()->mask();
    const QImage shot = grab();
    int cut = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const bool key = colourOf(shot.pixel(x, y)) == SkinKeyColor;
            cut += key ? 1 : 0;
            ASSERT_EQ(mask.contains(QPoint(x, y)), !key) << x << "," << y;
        }
    EXPECT_GT(cut, 0);

    // A size change gives the window the shape of its new size.
    form->SetWidth(500);
    EXPECT_EQ(form->Widget()->mask().boundingRect(), QRect(0, 0, 500, 325));

    // A skin whose borders are not Trans leaves the window unshaped.
    skinner->Unskin(true);
    ASSERT_TRUE(data->LoadSkin(frameSkin(false)));
    skinner = new TSknForm(form.get());
    attach();
    form->Perform(SKIN_FINISH, 0, 1000);
    EXPECT_TRUE(form->CustomFrame());
    EXPECT_FALSE(form->HasWindowRegion());
}

TEST_F(SkinnedForm, HitTestOfTheFrame)
{
    finish();
    const int w = form->Width(), h = form->Height();
    const struct {
        TPoint p;
        LRESULT expected;
    } cases[] = {
        {{200, 10}, HTCAPTION},     {{2, 150}, HTLEFT},           {{w - 2, 150}, HTRIGHT},
        {{200, 1}, HTTOP},          {{200, h - 2}, HTBOTTOM},     {{1, 1}, HTTOPLEFT},
        {{w - 2, 1}, HTTOPRIGHT},   {{1, h - 2}, HTBOTTOMLEFT},   {{w - 2, h - 2}, HTBOTTOMRIGHT},
        {{200, 150}, HTCLIENT},
    };
    for (const auto& c : cases) {
        const TPoint s = screenOf(c.p);
        EXPECT_EQ(form->Perform(WM_NCHITTEST, 0, MakeLParam(s.X, s.Y)), c.expected) << c.p.X << "," << c.p.Y;
    }
    // A fixed frame has no edges to size by.
    form->SetBorderStyle(bsSingle);
    const TPoint s = screenOf(TPoint{2, 150});
    EXPECT_EQ(form->Perform(WM_NCHITTEST, 0, MakeLParam(s.X, s.Y)), HTBORDER);
}

TEST_F(SkinnedForm, WithoutAWindowManagerTheFormFollowsThePointer)
{
    form->SetConstraints(TSizeConstraints{0, 0, 600, 0});
    finish();
    // The caption moves the window by the pointer's delta.
    const TRect start = form->BoundsRect();
    TPoint g = screenOf(TPoint{200, 10});
    mouse(QEvent::MouseButtonPress, TPoint{200, 10}, Qt::LeftButton, g);
    EXPECT_TRUE(form->MovingOrSizing());
    mouse(QEvent::MouseMove, TPoint{230, 30}, Qt::LeftButton, TPoint{g.X + 30, g.Y + 20});
    mouse(QEvent::MouseButtonRelease, TPoint{230, 30}, Qt::NoButton, TPoint{g.X + 35, g.Y + 25});
    EXPECT_FALSE(form->MovingOrSizing());
    EXPECT_EQ(form->BoundsRect(), (TRect{start.Left + 35, start.Top + 25, start.Right + 35, start.Bottom + 25}));

    // The bottom-right corner sizes it, within its constraints.
    const TRect moved = form->BoundsRect();
    const TPoint corner{moved.Width() - 2, moved.Height() - 2};
    g = screenOf(corner);
    mouse(QEvent::MouseButtonPress, corner, Qt::LeftButton, g);
    mouse(QEvent::MouseMove, corner, Qt::LeftButton, TPoint{g.X + 40, g.Y + 30});
    EXPECT_EQ(form->Width(), moved.Width() + 40);
    EXPECT_EQ(form->Height(), moved.Height() + 30);
    EXPECT_EQ(form->ClientWidth(), 440);
    mouse(QEvent::MouseMove, corner, Qt::LeftButton, TPoint{g.X + 400, g.Y + 30});
    mouse(QEvent::MouseButtonRelease, corner, Qt::NoButton, TPoint{g.X + 400, g.Y + 30});
    EXPECT_EQ(form->Width(), 600);
    EXPECT_EQ(form->Left(), moved.Left);

    // The left edge keeps the right edge where it is.
    const TRect sized = form->BoundsRect();
    g = screenOf(TPoint{2, 150});
    mouse(QEvent::MouseButtonPress, TPoint{2, 150}, Qt::LeftButton, g);
    mouse(QEvent::MouseButtonRelease, TPoint{2, 150}, Qt::NoButton, TPoint{g.X + 50, g.Y});
    EXPECT_EQ(form->Left(), sized.Left + 50);
    EXPECT_EQ(form->BoundsRect().Right, sized.Right);
}

TEST_F(SkinnedForm, MaximiseFillsTheScreenAndRestoreComesBack)
{
    finish();
    const TRect normal = form->BoundsRect();
    form->Perform(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(skinner->WindowStateKind(), wkMaximized);
    EXPECT_EQ(form->BoundsRect(), form->MaximizedBounds());
    // A maximised window is not dragged by its caption.
    const TPoint g = screenOf(TPoint{200, 10});
    mouse(QEvent::MouseButtonPress, TPoint{200, 10}, Qt::LeftButton, g);
    EXPECT_FALSE(form->MovingOrSizing());
    mouse(QEvent::MouseButtonRelease, TPoint{200, 10}, Qt::NoButton, g);
    form->Perform(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(form->WindowState(), wsNormal);
    EXPECT_EQ(form->BoundsRect(), normal);

    // Minimised, the window comes back at the first press on it.
    form->Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(form->WindowState(), wsMinimized);
    mouse(QEvent::MouseButtonPress, TPoint{200, 100}, Qt::LeftButton, screenOf(TPoint{200, 100}));
    mouse(QEvent::MouseButtonRelease, TPoint{200, 100}, Qt::NoButton, screenOf(TPoint{200, 100}));
    EXPECT_EQ(form->WindowState(), wsNormal);
    EXPECT_EQ(form->BoundsRect(), normal);
}

TEST_F(SkinnedForm, SystemMenuCopiesTheFormsMenu)
{
    finish();
    skinner->BuildSystemMenu();
    TPopupMenu* menu = skinner->SystemPopupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Tag(), TSknForm::SystemMenuTag);
    const std::vector<TSystemMenuItem> model = form->SystemMenu();
    ASSERT_EQ(menu->Items()->Count(), int(model.size()));
    struct Expected {
        WPARAM command;
        bool enabled;
        int image;
    };
    const Expected expected[] = {{SC_RESTORE, false, 0}, {SC_MOVE, true, -1},    {SC_SIZE, true, -1},
                                 {SC_MINIMIZE, true, 2}, {SC_MAXIMIZE, true, 1}, {0, true, -1},
                                 {SC_CLOSE, true, 3}};
    ASSERT_EQ(model.size(), std::size(expected));
    for (size_t i = 0; i < model.size(); ++i) {
        TMenuItem* item = menu->Items()->Items(int(i));
        EXPECT_EQ(WPARAM(item->Tag()), expected[i].command) << i;
        EXPECT_EQ(item->Enabled(), expected[i].enabled) << i;
        EXPECT_EQ(item->ImageIndex(), expected[i].image) << i;
    }
    EXPECT_EQ(menu->Items()->Items(5)->Caption(), QStringLiteral("-"));

    // Maximised: restore on, move, size and maximise off; a click posts the command.
    form->Perform(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    skinner->BuildSystemMenu();
    menu = skinner->SystemPopupMenu();
    EXPECT_TRUE(menu->Items()->Items(0)->Enabled());
    EXPECT_FALSE(menu->Items()->Items(1)->Enabled());
    EXPECT_FALSE(menu->Items()->Items(4)->Enabled());
    menu->Items()->Items(0)->Click();
    QApplication::processEvents();
    EXPECT_EQ(form->WindowState(), wsNormal);

    // A dialog's menu holds move and close only.
    form->SetBorderStyle(bsDialog);
    std::vector<WPARAM> commands;
    for (const TSystemMenuItem& item : form->SystemMenu())
        commands.push_back(item.Command);
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_MOVE, 0, SC_CLOSE}));
}

namespace {
class TMessageForm : public TForm {
public:
    using TForm::TForm;
    String ClassName() const override { return String::fromLatin1("TMessageForm"); }
};
}  // namespace

TEST_F(SkinnedForm, DialogWidensToFitItsCaption)
{
    TMessageForm dialog(nullptr);
    dialog.SetBorderStyle(bsDialog);
    dialog.SetCaption(QStringLiteral("A rather long caption for so small a dialog box"));
    dialog.SetClientWidth(120);
    dialog.SetClientHeight(60);
    auto* button = new TWinControl(&dialog);
    button->SetParent(&dialog);
    button->SetBounds(10, 10, 50, 20);
    auto* dialogSkinner = new TSknForm(&dialog);
    dialogSkinner->AttachForm(&dialog, data.get());
    ASSERT_TRUE(dialogSkinner->DialogBox());
    dialog.Show();
    dialog.Perform(SKIN_FINISH, 0, 1000);

    TBitmap measure;
    measure.SetSize(1, 1);
    measure.Canvas()->Font()->Assign(data->CaptionFont());
    const int need = 30 + measure.Canvas()->TextWidth(QStringLiteral("  ") + dialog.Caption() + u' ') + 90;
    ASSERT_GT(need, 120 + 16);
    EXPECT_EQ(dialog.Width(), need);
    EXPECT_EQ(dialog.ClientHeight(), 60);
    EXPECT_EQ(button->Left(), 10 + (need - 136) / 2);
}

TEST_F(SkinnedForm, CaptionChangeRepaintsTheFrame)
{
    finish();
    const QImage first = grab();
    form->SetCaption(QStringLiteral("Another caption entirely"));
    const QImage second = grab();
    EXPECT_FALSE(first.copy(0, 0, form->Width(), 21) == second.copy(0, 0, form->Width(), 21));
    EXPECT_TRUE(first.copy(0, 21, form->Width(), 300) == second.copy(0, 21, form->Width(), 300));
}

// ---- a real X server without a window manager, driven by real input --------

namespace {

// Runs only under an X server (the xvfb test of this folder) with the
// xdotool program at hand; skipped elsewhere.
class SkinnedX11 : public SkinnedForm {
protected:
    void SetUp() override
    {
        if (const QString why = xpointer::Unavailable(); !why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        SkinnedForm::SetUp();
        finish();
        ASSERT_TRUE(waitFor([&] { return form->Widget()->windowHandle()->isExposed(); }));
    }
    template <class F>
    bool waitFor(F Condition)
    {
        return xpointer::WaitFor(Condition);
    }
    void moveTo(TPoint Screen) { ASSERT_TRUE(xpointer::MoveTo(QPoint(Screen.X, Screen.Y))); }
    // Presses at From (window coordinates), moves by Delta and releases.
    void drag(TPoint From, TPoint Delta)
    {
        const TPoint s = screenOf(From);
        moveTo(s);
        ASSERT_TRUE(xpointer::Press());
        ASSERT_TRUE(waitFor([&] { return form->MovingOrSizing(); }));
        moveTo(TPoint{s.X + Delta.X / 2, s.Y + Delta.Y / 2});
        moveTo(TPoint{s.X + Delta.X, s.Y + Delta.Y});
        ASSERT_TRUE(xpointer::Release());
        ASSERT_TRUE(waitFor([&] { return !form->MovingOrSizing(); }));
    }
    void doubleClick(TPoint At)
    {
        moveTo(screenOf(At));
        ASSERT_TRUE(xpointer::Click(2));
    }
};

}  // namespace

TEST_F(SkinnedX11, CaptionDragMovesAndCornerDragSizes)
{
    const TRect start = form->BoundsRect();
    drag(TPoint{200, 10}, TPoint{60, 45});
    EXPECT_TRUE(waitFor([&] { return form->Left() == start.Left + 60 && form->Top() == start.Top + 45; }))
        << form->Left() << "," << form->Top();
    EXPECT_EQ(form->Width(), start.Width());
    EXPECT_EQ(form->Widget()->geometry(), QRect(start.Left + 60, start.Top + 45, start.Width(), start.Height()));

    const TRect moved = form->BoundsRect();
    drag(TPoint{moved.Width() - 2, moved.Height() - 2}, TPoint{50, 40});
    EXPECT_TRUE(waitFor([&] { return form->Width() == moved.Width() + 50; })) << form->Width();
    EXPECT_EQ(form->Height(), moved.Height() + 40);
    EXPECT_EQ(form->Left(), moved.Left);
    EXPECT_EQ(form->ClientWidth(), 450);
    EXPECT_EQ(form->Widget()->mask().boundingRect(), QRect(0, 0, form->Width(), form->Height()));
}

TEST_F(SkinnedX11, DoubleClickMaximisesAndRestoresAndCloseCloses)
{
    const TRect normal = form->BoundsRect();
    doubleClick(TPoint{200, 10});
    ASSERT_TRUE(waitFor([&] { return form->WindowState() == wsMaximized; }));
    EXPECT_EQ(form->BoundsRect(), form->MaximizedBounds());
    EXPECT_TRUE(waitFor([&] { return form->Widget()->geometry().size() == QSize(form->Width(), form->Height()); }));

    doubleClick(TPoint{200, 10});
    ASSERT_TRUE(waitFor([&] { return form->WindowState() == wsNormal; }));
    EXPECT_EQ(form->BoundsRect(), normal);

    TWinSysButton* close = button(0);
    ASSERT_NE(close, nullptr);
    skinner->LayoutCaptionButtons(form->Width());
    moveTo(screenOf(TPoint{close->Rect.Left + 8, close->Rect.Top + 10}));
    ASSERT_TRUE(xpointer::Click());
    EXPECT_TRUE(waitFor([&] { return !form->Visible(); }));
}

TEST_F(SkinnedForm, MissingBordersGiveAFrameOfNothing)
{
    const std::vector<skinpack::SkinEntry> entries{{"skin.ini", "[Personality]\nTopFrame=0\nLeftFrame=-3\n"}};
    ASSERT_TRUE(data->LoadSkin(skinpack::PackSkinFile(skinpack::WriteContainer(entries))));
    skinner->ComputeFrameMetrics();
    EXPECT_EQ(skinner->TopHeight(), 0);
    EXPECT_EQ(skinner->LeftWidth(), 0);
    finish();
    EXPECT_EQ(form->NonClientMargins(), (TRect{0, 0, 0, 0}));
    EXPECT_EQ(form->ClientWidth(), 400);
    EXPECT_EQ(grab().size(), QSize(400, 300));
}

// ---- skinned menus: popup windows, owner-drawn items, the bar, tool bars ------

namespace {

TColor coded64(int x, int y)
{
    return RGB(uint8_t((x % 64) * 3), uint8_t((y % 64) * 3), 90);
}

QByteArray solidStrip(int w, int h, const std::vector<QRgb>& frames)
{
    QImage image(w * int(frames.size()), h, QImage::Format_RGB32);
    for (size_t k = 0; k < frames.size(); ++k)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(int(k) * w + x, y, frames[k]);
    return skinpack::WriteBmp(image);
}

const TColor separatorColour = RGB(10, 220, 10), selectedColour = RGB(220, 10, 10);
const TColor menuColour = RGB(200, 100, 0), barColour = RGB(40, 40, 160), hilightColour = RGB(250, 250, 0);

// Borders as the frame skin has them; a tiled, position-coded
// MenuBackground; a MenuItem strip of five 20 x 6 frames (1 see-through,
// 2 the separator, 4 the selected item); a two-frame menu bar; five-frame
// Buttons coded by frame.
QByteArray menuSkin(bool barObject)
{
    QImage background(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            background.setPixel(x, y, qRgb(x * 3, y * 3, 90));
    auto rgb = [](TColor c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); };
    QByteArray description =
        "[Personality]\n"
        "Left=left.bmp\nLeftFrame=2\nRight=right.bmp\nRightFrame=2\n"
        "Top=top.bmp\nTopFrame=2\nBottom=bottom.bmp\nBottomFrame=2\n"
        "[MenuItem]\nImage=menuitem.bmp\nLeftWidth=4\nRightWidth=2\nTrans=1\n"
        "[MenuBackground]\nImage=menubg.bmp\nTile=1\n"
        "[Buttons]\nBitmap=buttons.bmp\nNormalColour2=1 2 3\n"
        "[Colours]\nMenu=200 100 0\nMenuText=0 0 0\nHilightText=255 255 255\nButtonShadow=0 0 0\n"
        "Hilight=0 0 128\nMenubar=30 30 30\nMenuBarText=250 250 250\nButtonHilight=250 250 0\n";
    if (barObject)
        description.replace("[Personality]\n", "[Personality]\nmenuBar=menubar.bmp\nTileLeftMenu=5\nTileRightMenu=5\n");
    const std::vector<skinpack::SkinEntry> entries{
        {"skin.ini", description},
        {"left.bmp", frameStrip(8, 60, 2, 10, false)},
        {"right.bmp", frameStrip(8, 60, 2, 20, false)},
        {"top.bmp", frameStrip(278, 21, 2, 30, true)},
        {"bottom.bmp", frameStrip(20, 4, 2, 40, true)},
        {"menubg.bmp", skinpack::WriteBmp(background)},
        {"menuitem.bmp", solidStrip(20, 6, {qRgb(255, 0, 255), rgb(separatorColour), qRgb(1, 1, 1),
                                            rgb(selectedColour), qRgb(2, 2, 2)})},
        {"menubar.bmp", solidStrip(20, 19, {rgb(barColour), qRgb(40, 160, 40)})},
        {"buttons.bmp", frameStrip(10, 10, 5, 70, false)},
    };
    return skinpack::PackSkinFile(skinpack::WriteContainer(entries));
}

TMenuItem* addItem(TMenuItem* Parent, const char* Caption)
{
    auto* item = new TMenuItem(nullptr);  // freed by its parent
    item->SetCaption(QString::fromUtf8(Caption));
    Parent->Add(item);
    return item;
}

class SkinnedMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreeSkinManager();
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        data = std::make_unique<TSkinData>(nullptr);
        data->Loading();
        ASSERT_TRUE(data->LoadSkin(menuSkin(true)));
        data->Loaded();
        data->SetSkinControls(TSkinControlTypes{xcMainMenu, xcPopupMenu, xcSystemMenu, xcToolbar});
        manager = SkinManager();
        ASSERT_NE(manager, nullptr);
        manager->SetOn(false);
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(50, 60, 400, 300);
        popup1 = new TPopupMenu(form.get());
        addItem(popup1->Items(), "One");
        addItem(popup1->Items(), "-");
        addItem(popup1->Items(), "&Three")->SetChecked(true);
        addItem(popup1->Items(), "Off")->SetEnabled(false);
        popup2 = new TPopupMenu(form.get());
        popup2->SetTag(data->DisableTag());
        addItem(popup2->Items(), "Plain");
        addItem(popup2->Items(), "-");
        main = new TMainMenu(form.get());
        addItem(addItem(main->Items(), "&File"), "Open");
        addItem(main->Items(), "");
        help = addItem(main->Items(), "&Help");
        help->OnClick = TNotifyEvent::FromFunction([this](TObject*) { ++helpClicks; });
        addItem(addItem(main->Items(), "&Edit"), "Copy");
        form->SetMenu(main);
    }
    void TearDown() override
    {
        for (TPopupMenu* p : {popup1, popup2})
            if (p != nullptr)
                if (QMenu* m = menuOf(p->Items()))
                    m->close();
        form.reset();
        data.reset();
        FreeSkinManager();
        app.reset();
    }
    void skin()
    {
        manager->SetOn(true);
        form->Show();
        manager->SkinWindow(form.get());
        QApplication::processEvents();
        skinner = manager->FindSkinner(form.get());
        ASSERT_NE(skinner, nullptr);
        ASSERT_EQ(skinner->State(), 1);
    }
    static QMenu* menuOf(const TMenuItem* Item)
    {
        return Item->MenuWindow() != nullptr ? Item->MenuWindow()->Menu() : nullptr;
    }
    QImage open(TPopupMenu* Menu)
    {
        Menu->Popup(100, 100);
        QApplication::processEvents();
        return grabMenu(Menu->Items());
    }
    static QImage grabMenu(const TMenuItem* Item)
    {
        return menuOf(Item)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static QRect itemRect(const TMenuItem* Parent, int Index)
    {
        QMenu* m = menuOf(Parent);
        return m->actionGeometry(m->actions().at(Index));
    }
    static TColor at(const QImage& Image, int X, int Y) { return colourOf(Image.pixel(X, Y)); }
    // Bar menus now open (visible submenus of the main menu's items).
    int openBarMenus() const
    {
        int n = 0;
        for (int i = 0; i < main->Items()->Count(); ++i)
            if (QMenu* m = menuOf(main->Items()->Items(i)); m != nullptr && m->isVisible())
                ++n;
        return n;
    }
    void key(QMenu* Menu, int Key)
    {
        QKeyEvent press(QEvent::KeyPress, Key, Qt::NoModifier);
        QApplication::sendEvent(Menu, &press);
        QApplication::processEvents();
    }

    std::unique_ptr<TApplication> app;
    std::unique_ptr<TSkinData> data;
    std::unique_ptr<TForm> form;
    TSkinManage* manager = nullptr;
    TSknForm* skinner = nullptr;
    TPopupMenu* popup1 = nullptr;  // owned by the form
    TPopupMenu* popup2 = nullptr;
    TMainMenu* main = nullptr;
    TMenuItem* help = nullptr;
    int helpClicks = 0;
};

}  // namespace

TEST_F(SkinnedMenus, PopupWindowShowsTheBackgroundAndItemsFromTheSkin)
{
    skin();
    QImage shot = open(popup1);
    QMenu* m = menuOf(popup1->Items());
    ASSERT_EQ(manager->PopupSkinners().size(), 1u);
    EXPECT_TRUE(popup1->OwnerDraw());
    const int w = shot.width(), h = shot.height();
    // MenuBackground at the corners.
    EXPECT_EQ(at(shot, 0, 0), coded64(0, 0));
    EXPECT_EQ(at(shot, w - 1, h - 1), coded64(w - 1, h - 1));
    EXPECT_EQ(at(shot, w - 1, 0), coded64(w - 1, 0));
    // An idle item: its background taken from the cache where it lies (the
    // MenuItem frame 1 is see-through), away from its text.
    const QRect one = itemRect(popup1->Items(), 0);
    EXPECT_EQ(at(shot, one.right() - 2, one.top() + 1), coded64(one.right() - 2, one.top() + 1));
    EXPECT_EQ(at(shot, one.right() - 2, one.bottom()), coded64(one.right() - 2, one.bottom()));
    // The separator: the frame's 6 rows at the bottom of its 8, the two
    // above them left to the background.
    const QRect line = itemRect(popup1->Items(), 1);
    ASSERT_EQ(line.height(), 8);
    EXPECT_EQ(at(shot, line.center().x(), line.top()), coded64(line.center().x(), line.top()));
    EXPECT_EQ(at(shot, line.center().x(), line.top() + 1), coded64(line.center().x(), line.top() + 1));
    for (int y = line.top() + 2; y <= line.bottom(); ++y)
        EXPECT_EQ(at(shot, line.center().x(), y), separatorColour) << y;
    // The selected item in MenuItem frame 4.
    m->setActiveAction(m->actions().at(0));
    shot = grabMenu(popup1->Items());
    EXPECT_EQ(at(shot, one.right() - 2, one.top() + 1), selectedColour);
    EXPECT_EQ(at(shot, one.left() + 1, one.bottom()), selectedColour);
}

TEST_F(SkinnedMenus, ItemBackgroundBeyondTheCacheIsTheMenuColour)
{
    skin();
    open(popup1);
    const QImage shot = grabMenu(popup1->Items());
    TMenuItem* one = popup1->Items()->Items(0);
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(40, 10);
    // Client coordinates reaching 20 pixels past the window's right edge.
    const int left = shot.width() - 3 - 20;
    SetViewportOrgEx(target.Canvas()->Handle(), -left, 0);
    skinner->DrawMenuItemHandler(one, target.Canvas(), TRect{left, 0, left + 40, 10}, false);
    const QImage drawn = target.Image();
    EXPECT_EQ(colourOf(drawn.pixel(19, 8)), coded64(left + 19 + 3, 8 + 3));
    EXPECT_EQ(colourOf(drawn.pixel(20, 8)), menuColour);
    EXPECT_EQ(colourOf(drawn.pixel(39, 8)), menuColour);
    // A separator taller than the frame below the window: its rows come from
    // the frame only, the rest stays the Menu colour.
    TMenuItem* line = popup1->Items()->Items(1);
    TBitmap tall;
    tall.SetPixelFormat(pf24bit);
    tall.SetSize(30, 20);
    SetViewportOrgEx(tall.Canvas()->Handle(), 0, -shot.height());
    skinner->DrawMenuItemHandler(line, tall.Canvas(), TRect{0, shot.height(), 30, shot.height() + 20}, false);
    const QImage line20 = tall.Image();
    EXPECT_EQ(colourOf(line20.pixel(15, 13)), menuColour);
    EXPECT_EQ(colourOf(line20.pixel(15, 14)), separatorColour);
    EXPECT_EQ(colourOf(line20.pixel(15, 19)), separatorColour);
}

TEST_F(SkinnedMenus, PlainPopupsAndTheSkinOffLookUnskinned)
{
    const QImage before1 = open(popup1);
    menuOf(popup1->Items())->close();
    const QImage before2 = open(popup2);
    menuOf(popup2->Items())->close();
    skin();
    // DisableTag: neither its items nor its window are skinned.
    EXPECT_FALSE(popup2->OwnerDraw());
    EXPECT_EQ(open(popup2), before2);
    EXPECT_TRUE(manager->PopupSkinners().empty());
    menuOf(popup2->Items())->close();
    EXPECT_NE(open(popup1), before1);
    menuOf(popup1->Items())->close();
    // Skin off: both look as before, pixel for pixel.
    skinner->Unskin(true);
    manager->SetOn(false);
    EXPECT_FALSE(popup1->OwnerDraw());
    EXPECT_FALSE(popup1->Items()->Items(0)->OnDrawItem);
    EXPECT_EQ(open(popup1), before1);
    menuOf(popup1->Items())->close();
    EXPECT_EQ(open(popup2), before2);
}

TEST_F(SkinnedMenus, MeasuresAddTheSkinsRoom)
{
    skin();
    TBitmap measure;
    measure.SetSize(1, 1);
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    const int leftWidth = data->MenuItem->LeftWidth;
    const struct {
        bool main, withImages;
        int extra;
    } cases[] = {
        {false, false, 12 + 23 + leftWidth}, {false, true, 12 + leftWidth},
        {true, false, 10 + 25 + leftWidth},  {true, true, 10 + leftWidth},
    };
    for (const auto& c : cases) {
        TPopupMenu menu(nullptr);
        TMenuItem* item = addItem(menu.Items(), "Measured");
        menu.SetImages(c.withImages ? &images : nullptr);
        int w0 = 0, h0 = 0;
        item->MeasureItem(measure.Canvas(), w0, h0);
        item->OnMeasureItem = c.main ? TMenuMeasureItemEvent(skinner, &TSknForm::MeasureMainMenuItem)
                                     : TMenuMeasureItemEvent(skinner, &TSknForm::MeasurePopupMenuItem);
        int w = 0, h = 0;
        item->MeasureItem(measure.Canvas(), w, h);
        EXPECT_EQ(w, w0 + c.extra) << c.main << c.withImages;
        EXPECT_EQ(h, h0);
    }
}

TEST_F(SkinnedMenus, ItemContentFollowsStateAndDirection)
{
    skin();
    TPopupMenu menu(nullptr);
    TMenuItem* item = addItem(menu.Items(), "Text");
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(200, 20);
    TCanvas* c = target.Canvas();
    auto clear = [&] {
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect{0, 0, 200, 20});
    };
    auto count = [&](TColor colour, int fromX = 0, int toX = 200) {
        int n = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = fromX; x < toX; ++x)
                n += c->Pixels(x, y) == ColorToRGB(colour);
        return n;
    };
    // "&" alone measures one line high.
    TRect r{0, 0, 100, 0};
    DrawMenuItemText(skinner, item, c, DT_SINGLELINE | DT_CALCRECT, false, r, QStringLiteral("&"));
    EXPECT_EQ(r.Height(), c->TextHeight(QStringLiteral("X")));
    // Disabled with ButtonShadow = MenuText: the system's shadow colour.
    item->SetEnabled(false);
    clear();
    DrawMenuItem(skinner, item, c, false, TRect{0, 0, 200, 20});
    EXPECT_GT(count(clBtnShadow), 0);
    EXPECT_EQ(count(clBlack), 0);
    item->SetEnabled(true);
    // Checked without a picture: the check mark in the glyph cell.
    item->SetChecked(true);
    clear();
    DrawMenuItem(skinner, item, c, false, TRect{0, 0, 200, 20});
    const int leftWidth = data->MenuItem->LeftWidth;
    const int markX = 1 + leftWidth + (16 - 7) / 2 + 1, markY = (20 - 7) / 2 + 1;
    EXPECT_EQ(count(clBtnText, 0, 1 + leftWidth + 16), 21);  // the mark's pixels
    EXPECT_EQ(c->Pixels(markX + 6, markY), ColorToRGB(clBtnText));
    // Checked with a picture: the picture on a dithered, sunken cell.
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    TBitmap dot;
    dot.SetSize(16, 16);
    dot.Canvas()->Brush()->SetColor(clWhite);
    dot.Canvas()->FillRect(TRect{0, 0, 16, 16});
    dot.Canvas()->Brush()->SetColor(clRed);
    dot.Canvas()->FillRect(TRect{6, 6, 10, 10});
    images.AddMasked(&dot, clWhite);
    menu.SetImages(&images);
    item->SetImageIndex(0);
    clear();
    DrawMenuItem(skinner, item, c, false, TRect{0, 0, 200, 20});
    const int cellX = 1 + leftWidth, cellY = (20 - 16) / 2;
    EXPECT_EQ(c->Pixels(cellX + 8, cellY + 8), ColorToRGB(clRed));
    EXPECT_NE(c->Pixels(cellX + 3, cellY + 3), c->Pixels(cellX + 4, cellY + 3));  // dithered
    EXPECT_EQ(c->Pixels(cellX, cellY + 8), ColorToRGB(cl3DDkShadow));             // sunken left edge
    // Right to left: the cell at the right edge, the shortcut at the left.
    menu.SetImages(nullptr);
    item->SetImageIndex(-1);
    item->SetShortCut(ShortCut('S', false, true, false));
    menu.SetRightToLeft(true);
    clear();
    DrawMenuItem(skinner, item, c, false, TRect{0, 0, 200, 20});
    EXPECT_EQ(count(clBtnText, 200 - 1 - leftWidth - 16, 200), 21);
    EXPECT_GT(count(clBlack, 11, 60), 0);
    EXPECT_EQ(count(clBlack, 0, 11), 0);
}

TEST_F(SkinnedMenus, BarButtonsLayOutFromTheMarginAndTakeTheFormsBar)
{
    skin();
    TSknMenu* bar = skinner->MenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(main->BarAttached());
    EXPECT_EQ(skinner->MenuHeight(), GetSystemMetrics(SM_CYMENU));
    ASSERT_EQ(bar->ButtonCount(), 4);
    TBitmap measure;
    measure.SetSize(1, 1);
    auto textWidth = [&](const char* caption) {
        TRect r{0, 0, 0, 0};
        measure.Canvas()->TextRect(r, QString::fromLatin1(caption), DT_SINGLELINE | DT_CALCRECT);
        return r.Width();
    };
    bar->Layout();
    const int left = skinner->LeftWidth() + 5 + 4;  // the bar object's LeftWidth + 4
    EXPECT_EQ(bar->Buttons(0)->Rect.Left, left);
    EXPECT_EQ(bar->Buttons(0)->Rect.Width(), textWidth("&File") + 10);
    EXPECT_EQ(bar->Buttons(1)->Rect.Width(), 0);
    EXPECT_EQ(bar->Buttons(2)->Rect.Left, bar->Buttons(0)->Rect.Right);
    EXPECT_EQ(bar->Buttons(0)->Rect.Height(), skinner->MenuHeight() - 1);
    EXPECT_EQ(bar->ButtonAt(TPoint{bar->Buttons(1)->Rect.Left, bar->Buttons(1)->Rect.Top + 2}), bar->Buttons(2));
    EXPECT_EQ(bar->ButtonAt(TPoint{left + 2, skinner->TopHeight() + 2}), bar->Buttons(0));
    // The bar's colour from frame 1 of its object, behind the captions.
    const QImage shot = form->Widget()->grab().toImage();
    EXPECT_EQ(colourOf(shot.pixel(form->Width() - skinner->RightWidth() - 20, skinner->TopHeight() + 2)), barColour);
    // Without a bar object: 6 pixels.
    data->MenuBar.reset();
    bar->Layout();
    EXPECT_EQ(bar->Buttons(0)->Rect.Left, skinner->LeftWidth() + 6);
    // Unskinned, the form has its own bar back.
    skinner->Unskin(false);
    EXPECT_TRUE(main->BarAttached());
}

TEST_F(SkinnedMenus, BarButtonsOpenTheirMenusAndSwitchByKeysAndPointer)
{
    skin();
    TSknMenu* bar = skinner->MenuBar();
    TMenuItem* file = main->Items()->Items(0);
    TMenuItem* edit = main->Items()->Items(3);
    // An item without sub-items runs its click and opens nothing.
    EXPECT_FALSE(skinner->ShowMenuButton(bar->Buttons(2)));
    EXPECT_EQ(helpClicks, 1);
    EXPECT_FALSE(skinner->BarMenuOpen());
    EXPECT_EQ(openBarMenus(), 0);

    ASSERT_TRUE(skinner->ShowMenuButton(bar->Buttons(0)));
    QApplication::processEvents();
    EXPECT_TRUE(menuOf(file)->isVisible());
    EXPECT_TRUE(manager->MenuBarOpen());
    EXPECT_EQ(manager->PopupSkinners().size(), 1u);
    EXPECT_TRUE(main->OwnerDraw());  // its items drawn from the skin
    // A second open while one is open opens nothing.
    EXPECT_FALSE(skinner->ShowMenuButton(bar->Buttons(3)));
    EXPECT_EQ(openBarMenus(), 1);
    // Left on the first wraps to the last.
    key(menuOf(file), Qt::Key_Left);
    EXPECT_EQ(skinner->TrackedButton(), 3);
    EXPECT_TRUE(menuOf(edit)->isVisible());
    EXPECT_EQ(openBarMenus(), 1);
    // Right on an item without sub-items wraps from the last to the first.
    key(menuOf(edit), Qt::Key_Right);
    EXPECT_EQ(skinner->TrackedButton(), 0);
    EXPECT_EQ(openBarMenus(), 1);
    // The pointer onto another button switches to it.
    const TRect r = bar->Buttons(3)->Rect;
    const QPoint g = form->Widget()->mapToGlobal(QPoint(r.Left + 3, r.Top + 3));
    QMouseEvent move(QEvent::MouseMove, QPointF(-5, -5), QPointF(g), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(menuOf(file), &move);
    QApplication::processEvents();
    EXPECT_EQ(skinner->TrackedButton(), 3);
    EXPECT_EQ(openBarMenus(), 1);
    // Switches that arrive before the menu closed open one menu: the last asked.
    skinner->SwitchToMenuButton(bar->Buttons(0));
    skinner->SwitchToMenuButton(bar->Buttons(2));
    skinner->SwitchToMenuButton(bar->Buttons(0));
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(skinner->TrackedButton(), 0);
    EXPECT_EQ(openBarMenus(), 1);
    // Escape closes it; the bar menu counts as closed.
    menuOf(file)->close();
    QApplication::processEvents();
    EXPECT_FALSE(skinner->BarMenuOpen());
    EXPECT_FALSE(manager->MenuBarOpen());
    EXPECT_EQ(openBarMenus(), 0);
}

TEST_F(SkinnedMenus, AltKeysOpenButtonsAndTheSystemMenu)
{
    skin();
    const LPARAM alt = KF_ALTDOWN_LPARAM, ctrlAlt = KF_ALTDOWN_LPARAM | (LPARAM(1) << 27);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'e', ctrlAlt), 0);
    QApplication::processEvents();
    EXPECT_EQ(openBarMenus(), 0);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'e', alt), 1);
    QApplication::processEvents();
    EXPECT_EQ(skinner->TrackedButton(), 3);
    menuOf(main->Items()->Items(3))->close();
    QApplication::processEvents();
    // F10 or Alt alone: the first button.
    form->Perform(WM_SYSCOMMAND, SC_KEYMENU, 0);
    QApplication::processEvents();
    EXPECT_EQ(skinner->TrackedButton(), 0);
    menuOf(main->Items()->Items(0))->close();
    QApplication::processEvents();
    // The same from the keyboard: Alt+E, then Alt pressed and released alone.
    auto press = [&](int Key, Qt::KeyboardModifiers Mods, QEvent::Type Type = QEvent::KeyPress) {
        QKeyEvent e(Type, Key, Mods);
        QApplication::sendEvent(form->Widget(), &e);
        QApplication::processEvents();
    };
    press(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(skinner->TrackedButton(), 3);
    menuOf(main->Items()->Items(3))->close();
    QApplication::processEvents();
    press(Qt::Key_Alt, Qt::AltModifier);
    press(Qt::Key_Alt, Qt::NoModifier, QEvent::KeyRelease);
    EXPECT_EQ(skinner->TrackedButton(), 0);
    menuOf(main->Items()->Items(0))->close();
    QApplication::processEvents();
    // Alt+Space: the skinned system menu at the client's top-left.
    form->Perform(WM_SYSCOMMAND, SC_KEYMENU, ' ');
    QApplication::processEvents();
    ASSERT_NE(skinner->SystemPopupMenu(), nullptr);
    QMenu* system = menuOf(skinner->SystemPopupMenu()->Items());
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(system->isVisible());
    EXPECT_EQ(manager->PopupSkinners().size(), 1u);
    system->close();
}

TEST_F(SkinnedMenus, ToolBarButtonFramesFollowTheDrawState)
{
    skin();
    auto* toolbar = new TToolBar(form.get());
    toolbar->SetParent(form.get());
    auto* button = new TToolButton(form.get());
    button->SetParent(toolbar);
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(toolbar->Width(), toolbar->Height());
    const TPoint probe{button->Left() + 3, button->Top() + 3};
    const struct {
        TCustomDrawState state;
        int frame;  // 0: no skin
    } cases[] = {
        {TCustomDrawState{cdsSelected, cdsHot}, 2}, {TCustomDrawState{cdsFocused}, 4}, {TCustomDrawState{cdsHot}, 4},
        {TCustomDrawState{cdsGrayed}, 0},          {TCustomDrawState{cdsDisabled}, 0}, {TCustomDrawState{cdsDefault}, 1},
        {TCustomDrawState{}, 0},
    };
    for (const auto& c : cases) {
        target.Canvas()->Brush()->SetColor(clWhite);
        target.Canvas()->FillRect(TRect{0, 0, target.Width(), target.Height()});
        toolbar->Canvas()->SetHandle(target.Canvas()->Handle());
        bool defaultDraw = true;
        DrawToolButtonSkin(skinner, toolbar, button, c.state, defaultDraw);
        toolbar->Canvas()->SetHandle(nullptr);
        EXPECT_TRUE(defaultDraw);
        const QRgb expected = c.frame == 0 ? qRgb(255, 255, 255) : codedFrame(70, c.frame);
        EXPECT_EQ(target.Canvas()->Pixels(probe.X, probe.Y), colourOf(expected)) << c.frame;
        // The frame keeps one pixel clear around the button.
        EXPECT_EQ(target.Canvas()->Pixels(button->Left(), button->Top()), clWhite);
    }
    // Frame 1 gives the caption the skin's NormalColour2.
    bool defaultDraw = true;
    toolbar->Canvas()->SetHandle(target.Canvas()->Handle());
    DrawToolButtonSkin(skinner, toolbar, button, TCustomDrawState{cdsDefault}, defaultDraw);
    EXPECT_EQ(toolbar->Canvas()->Font()->Color(), RGB(1, 2, 3));
    toolbar->Canvas()->SetHandle(nullptr);
    // xoToolbarButton leaves tool bars alone.
    data->SetOptions(TSkinOptions{xoToolbarButton});
    target.Canvas()->FillRect(TRect{0, 0, target.Width(), target.Height()});
    toolbar->Canvas()->SetHandle(target.Canvas()->Handle());
    DrawToolButtonSkin(skinner, toolbar, button, TCustomDrawState{cdsHot}, defaultDraw);
    toolbar->Canvas()->SetHandle(nullptr);
    EXPECT_EQ(target.Canvas()->Pixels(probe.X, probe.Y), clWhite);
}

TEST_F(SkinnedMenus, AMenuFreedWhileOpenTakesItsSkinnerWithIt)
{
    skin();
    open(popup1);
    ASSERT_EQ(manager->PopupSkinners().size(), 1u);
    delete popup1;
    popup1 = nullptr;
    EXPECT_TRUE(manager->PopupSkinners().empty());
    // Unskinning afterwards touches nothing of it.
    skinner->Unskin(true);
}

// ---- which skinner each control gets ----------------------------------------------

#include "platform/controls/Buttons.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/RadioGroup.h"
#include "platform/controls/StdCtrls.h"
#include "platform/rtl/StringList.h"
#include "skin/SknSubClass.h"

namespace {

class SkinnerAssignment : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreeSkinManager();
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        data = std::make_unique<TSkinData>(nullptr);
        data->Loading();
        ASSERT_TRUE(data->LoadSkin(menuSkin(false)));
        data->Loaded();
        data->SetSkinControls(TSkinControlTypes{xcButton, xcBitBtn, xcCheckBox, xcRadioButton, xcSpeedButton});
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(50, 60, 400, 300);
        skinner = new TSknForm(form.get());  // the form owns it
        skinner->AttachForm(form.get(), data.get());
    }
    void TearDown() override
    {
        form.reset();
        data.reset();
        FreeSkinManager();
        app.reset();
    }
    template <class T>
    T* add(TWinControl* Parent, const char* Name = nullptr)
    {
        auto* c = new T(form.get());  // the form owns it
        c->SetParent(Parent);
        if (Name != nullptr)
            c->SetName(QString::fromLatin1(Name));
        return c;
    }
    String skinnerOf(TControl* C) const
    {
        TSkinControl* s = skinner->FindControlSkinner(C);
        return s != nullptr ? s->ClassName() : String::fromLatin1("-");
    }
    void skinAll()
    {
        form->Show();
        QApplication::processEvents();
        skinner->SkinChildControls();
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TSkinData> data;
    std::unique_ptr<TForm> form;
    TSknForm* skinner = nullptr;
};

// A panel of another library, named in the Skin3rd map.
class TOtherPanel : public TPanel {
public:
    using TPanel::TPanel;
    String ClassName() const override { return String::fromLatin1("TOtherPanel"); }
};

class TOtherButton : public TButton {
public:
    using TButton::TButton;
    String ClassName() const override { return String::fromLatin1("TOtherButton"); }
};

}  // namespace

TEST_F(SkinnerAssignment, BuiltInTableByClassAndKind)
{
    auto* button = add<TButton>(form.get());
    auto* bit = add<TBitBtn>(form.get());
    auto* check = add<TCheckBox>(form.get());
    auto* radio = add<TRadioButton>(form.get());
    auto* speed = add<TSpeedButton>(form.get());
    auto* edit = add<TEdit>(form.get());
    auto* group = add<TRadioGroup>(form.get());
    group->Items()->Add(QStringLiteral("a"));
    group->Items()->Add(QStringLiteral("b"));
    skinAll();
    EXPECT_EQ(skinnerOf(button), QStringLiteral("TSkinButton"));
    EXPECT_EQ(skinnerOf(bit), QStringLiteral("TSkinBitButton"));
    EXPECT_EQ(skinnerOf(check), QStringLiteral("TSkinCheckBox"));
    EXPECT_EQ(skinnerOf(radio), QStringLiteral("TSkinRadioButton"));
    EXPECT_EQ(skinnerOf(speed), QStringLiteral("TSkinSpeedButton"));
    EXPECT_EQ(skinnerOf(edit), QStringLiteral("-"));  // xcEdit is off
    EXPECT_EQ(skinnerOf(group->Buttons(0)), QStringLiteral("TSkinRadioButton"));
    EXPECT_EQ(skinnerOf(group->Buttons(1)), QStringLiteral("TSkinRadioButton"));
    // Asked again, nothing is attached twice.
    const size_t count = skinner->ControlSkinners().size();
    skinner->SkinChildControls();
    EXPECT_EQ(skinner->ControlSkinners().size(), count);
}

TEST_F(SkinnerAssignment, BitButtonWithoutItsKindStaysPlainEvenWithButtons)
{
    data->SetSkinControls(TSkinControlTypes{xcButton});
    auto* bit = add<TBitBtn>(form.get());
    auto* button = add<TButton>(form.get());
    skinAll();
    EXPECT_EQ(skinnerOf(bit), QStringLiteral("-"));
    EXPECT_EQ(skinnerOf(button), QStringLiteral("TSkinButton"));
}

TEST_F(SkinnerAssignment, DisableTagKeepsControlsAndAGroupsButtonsPlain)
{
    auto* button = add<TButton>(form.get());
    button->SetTag(data->DisableTag());
    auto* group = add<TRadioGroup>(form.get());
    group->Items()->Add(QStringLiteral("a"));
    group->SetTag(data->DisableTag());
    skinAll();
    EXPECT_EQ(skinnerOf(button), QStringLiteral("-"));
    EXPECT_EQ(skinnerOf(group->Buttons(0)), QStringLiteral("-"));
    EXPECT_EQ(group->Buttons(0)->Tag(), data->DisableTag());
}

TEST_F(SkinnerAssignment, ApplicationDecidesFirst)
{
    auto* mine = add<TButton>(form.get());
    auto* none = add<TButton>(form.get());
    auto* other = add<TButton>(form.get());
    TComponent* stranger = new TComponent(form.get());  // the form owns it
    std::vector<String> classes;
    data->OnSkinControl = TOnSkinControl::FromFunction(
        [&](TComponent*, TSkinData*, TControl*, TControl* Control, String ControlClass, TComponent*& Skinned) {
            classes.push_back(ControlClass);
            if (Control == mine)
                Skinned = std::make_unique<TSkinCheckBox>(Control).release();  // the control owns it
            else if (Control == other)
                Skinned = stranger;
        });
    skinAll();
    EXPECT_EQ(skinnerOf(mine), QStringLiteral("TSkinCheckBox"));
    EXPECT_EQ(skinnerOf(none), QStringLiteral("TSkinButton"));  // nil: the built-in rules
    EXPECT_EQ(skinnerOf(other), QStringLiteral("-"));           // not a skinner: left plain
    EXPECT_NE(std::find(classes.begin(), classes.end(), QStringLiteral("TBUTTON")), classes.end());
}

TEST_F(SkinnerAssignment, Skin3rdFirstMatchWinsAndNilKeepsPlain)
{
    data->SetSkinControls(TSkinControlTypes{xcButton, xcPanel, xcCheckBox});
    TStringList map;
    map.Add(QStringLiteral("TOtherButton=checkbox"));
    map.Add(QStringLiteral("totherbutton=button"));
    map.Add(QStringLiteral("TOtherPanel=nil"));
    map.Add(QStringLiteral("TOtherPanelX=panel"));
    data->SetSkin3rd(&map);
    auto* button = add<TOtherButton>(form.get());
    auto* panel = add<TOtherPanel>(form.get());
    auto* inside = add<TCheckBox>(panel);
    skinAll();
    EXPECT_EQ(skinnerOf(button), QStringLiteral("TSkinCheckBox"));
    EXPECT_EQ(skinnerOf(panel), QStringLiteral("-"));
    // Its children are reached on their own (in tab order).
    EXPECT_EQ(skinnerOf(inside), QStringLiteral("TSkinCheckBox"));
    EXPECT_TRUE(skinner->MapBySkin3rd(QStringLiteral("TOTHERPANEL"), panel));
    EXPECT_FALSE(skinner->MapBySkin3rd(QStringLiteral("TNOTLISTED"), panel));
}

TEST_F(SkinnerAssignment, UnskinGivesEveryControlItsLookBack)
{
    auto* button = add<TButton>(form.get());
    button->SetBounds(10, 10, 80, 25);
    form->Show();
    QApplication::processEvents();
    const QImage plain = button->Widget()->grab().toImage();
    skinner->SkinChildControls();
    QApplication::processEvents();
    EXPECT_NE(button->Widget()->grab().toImage(), plain);
    skinner->Unskin(true);
    QApplication::processEvents();
    EXPECT_TRUE(skinner->ControlSkinners().empty());
    EXPECT_EQ(button->Perform(SKIN_QUERY_SKINNED), 0);
    EXPECT_EQ(button->Widget()->grab().toImage(), plain);
}
