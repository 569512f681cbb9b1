// The progress, track bar and up-down skinners on a colour-coded skin.
#include "platform/controls/ComCtrls.h"
#include "tests/skin/SkinnerFixture.h"

using namespace skintest;

namespace {

TColor progressFrame(int k) { return RGB(200, uint8_t(50 * k), 40); }
TColor chunkColour(int) { return RGB(10, 220, 220); }
TColor thumbFrame(int k) { return RGB(uint8_t(30 * k), 100, 250); }
TColor updownFrame(int k) { return RGB(250, uint8_t(25 * k), 100); }
const TColor trackColour = RGB(5, 150, 5);
const TColor face = RGB(90, 90, 90);
const TColor shadow = RGB(20, 40, 60);

struct TValueSkin {
    bool Progress = true;
    int ProgressStyle = 0;
    bool Thumb = true;
    bool UpDown = true;
};

QByteArray valueSkin(const TValueSkin& S)
{
    QByteArray ini = "[Colours]\nButtonFace=90 90 90\nButtonShadow=20 40 60\n"
                     "[Track]\nImage=track.bmp\nLeftWidth=2\nRightWidth=2\n"
                     "[TRACKVERT]\nImage=trackvert.bmp\nTopHeight=2\nBottomHeight=2\n";
    if (S.Progress)
        ini += "[Progress]\nBitmap=progress.bmp\nStyle=" + QByteArray::number(S.ProgressStyle) +
               "\n[Progress.Chunk]\nImage=chunk.bmp\nTile=1\n";
    if (S.Thumb)
        ini += "[Trackbar.ThumbHorz]\nImage=thumb.bmp\n";
    if (S.UpDown)
        ini += "[UpDown.Vert]\nImage=updown.bmp\n[UpDown.Horz]\nImage=updown.bmp\n";
    return packSkin({{"skin.ini", ini},
                     {"progress.bmp", strip(10, 10, S.ProgressStyle == 1 ? 1 : 2, progressFrame)},
                     {"chunk.bmp", strip(5, 6, 1, chunkColour)},
                     {"track.bmp", strip(12, 4, 1, [](int) { return trackColour; })},
                     {"trackvert.bmp", strip(4, 12, 1, [](int) { return trackColour; })},
                     {"thumb.bmp", strip(6, 6, 5, thumbFrame)},
                     {"updown.bmp", strip(6, 6, 8, updownFrame)}});
}

class ValueSkinners : public SkinnerTest {
protected:
    void SetUp() override
    {
        SkinnerTest::SetUp();
        loadSkin(valueSkin({}));
    }
    // The first column of y where the bar shows its empty frame.
    static int filledTo(const QImage& Shot, int Y, TColor Filled)
    {
        int x = 0;
        while (x < Shot.width() && colourAt(Shot, x, Y) == Filled)
            ++x;
        return x;
    }
};

}  // namespace

TEST_F(ValueSkinners, ProgressFillFollowsTheRange)
{
    struct Case {
        int Low, High, Position, Filled;
    };
    const Case cases[] = {
        {0, 100, 50, 100}, {20, 100, 50, 75}, {0, 100, 100, 200}, {0, 100, 0, 0},
        {50, 50, 50, 0},  // an empty range fills nothing
        {-100, 100, 0, 100},
    };
    auto* bar = control<TProgressBar>(10, 10, 200, 20);
    show();
    skin<TSkinProgress>(bar);
    for (const Case& c : cases) {
        bar->SetRange(c.Low, c.High);
        bar->SetPosition(c.Position);
        bar->Repaint();
        const QImage shot = grab(bar);
        EXPECT_EQ(filledTo(shot, 10, progressFrame(2)), c.Filled) << c.Low << ".." << c.High << " at " << c.Position;
        EXPECT_EQ(colourAt(shot, 199, 10), c.Filled == 200 ? progressFrame(2) : progressFrame(1));
    }
    EXPECT_EQ(TSkinProgress::FilledLength(200, 500, 0, 100), 200);  // kept within the range
    EXPECT_EQ(TSkinProgress::FilledLength(200, 10, 20, 10), 0);
}

TEST_F(ValueSkinners, ChunksUseTheRangeAndVerticalBarsFillUpwards)
{
    loadSkin(valueSkin({true, 1, true, true}));
    auto* bar = control<TProgressBar>(10, 10, 200, 20);
    bar->SetRange(20, 100);
    bar->SetPosition(50);
    show();
    auto* first = skin<TSkinProgress>(bar);
    bar->Repaint();
    QImage shot = grab(bar);
    // Chunks from x = 2 up to the filled length of 75.
    EXPECT_EQ(colourAt(shot, 1, 10), progressFrame(1));
    EXPECT_EQ(colourAt(shot, 2, 10), chunkColour(1));
    EXPECT_EQ(colourAt(shot, 74, 10), chunkColour(1));
    EXPECT_EQ(colourAt(shot, 75, 10), progressFrame(1));

    loadSkin(valueSkin({}));
    first->SkinData = data.get();
    auto* vertical = control<TProgressBar>(250, 10, 20, 200);
    vertical->SetOrientation(pbVertical);
    vertical->SetPosition(50);
    show();
    skin<TSkinProgress>(vertical);
    vertical->Repaint();
    shot = grab(vertical);
    EXPECT_EQ(colourAt(shot, 10, 199), progressFrame(2));
    EXPECT_EQ(colourAt(shot, 10, 100), progressFrame(2));
    EXPECT_EQ(colourAt(shot, 10, 99), progressFrame(1));
    EXPECT_EQ(colourAt(shot, 10, 0), progressFrame(1));
}

TEST_F(ValueSkinners, ProgressWithoutImagePaintsNatively)
{
    loadSkin(valueSkin({false, 0, true, true}));
    auto* bar = control<TProgressBar>(10, 10, 200, 20);
    bar->SetPosition(40);
    show();
    const QImage plain = grab(bar);
    skin<TSkinProgress>(bar);
    bar->Repaint();
    EXPECT_EQ(grab(bar), plain);
}

TEST_F(ValueSkinners, TrackBarChannelAndThumbThroughCustomDraw)
{
    auto* track = control<TTrackBar>(10, 10, 150, 40);
    track->SetMax(10);
    track->SetPosition(5);
    show();
    const QImage plain = grab(track);
    auto* s = skin<TSkinTrackBar>(track);
    track->Repaint();
    QImage shot = grab(track);
    TRect channel, thumb;
    track->Perform(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    track->Perform(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    ASSERT_GT(channel.Width(), 20);
    ASSERT_GT(thumb.Width(), 2);
    // The three-piece channel, 4 rows high, centred across the channel.
    const int top = channel.Height() > 4 ? channel.Top + (channel.Height() - 4) / 2 : channel.Top;
    EXPECT_EQ(colourAt(shot, channel.Left + 1, top + 1), trackColour);
    EXPECT_EQ(colourAt(shot, channel.Right - 1, top + 3), trackColour);
    // The thumb: frame 2 of the thumb strip over the thumb rectangle.
    EXPECT_EQ(colourAt(shot, (thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2), thumbFrame(2));

    // Without a thumb image: a shadow outline.
    loadSkin(valueSkin({true, 0, false, true}));
    s->SkinData = data.get();
    track->Repaint();
    shot = grab(track);
    EXPECT_EQ(colourAt(shot, thumb.Left, (thumb.Top + thumb.Bottom) / 2), shadow);
    EXPECT_EQ(colourAt(shot, (thumb.Left + thumb.Right) / 2, thumb.Top), shadow);
    EXPECT_EQ(colourAt(shot, (thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2), face);
    // Switched off, the toolkit's own look.
    track->Perform(SKIN_ON_OFF, 0);
    track->Repaint();
    EXPECT_EQ(grab(track), plain);
}

TEST_F(ValueSkinners, VerticalTrackChannelStaysCentred)
{
    auto* track = control<TTrackBar>(10, 10, 40, 150);
    track->SetOrientation(trVertical);
    show();
    skin<TSkinTrackBar>(track);
    track->Repaint();
    const QImage shot = grab(track);
    TRect ch;
    track->Perform(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&ch));
    ch = TRect{ch.Top, ch.Left, ch.Bottom, ch.Right};  // reported lying down
    const int x = ch.Width() > 4 ? ch.Left + (ch.Width() - 4) / 2 : ch.Left;
    EXPECT_EQ(colourAt(shot, x, ch.Top + 1), trackColour);
    EXPECT_EQ(colourAt(shot, x + 3, ch.Top + ch.Height() / 3), trackColour);
    if (ch.Width() > 5) {
        EXPECT_NE(colourAt(shot, x + 4, ch.Top + 10), trackColour);
    }
}

TEST_F(ValueSkinners, UpDownPressesOnlyTheHalfUnderThePointer)
{
    auto* updown = control<TUpDown>(10, 10, 16, 24);
    show();
    auto* s = skin<TSkinUpDown>(updown);
    const TRect r{0, 0, 16, 24};
    s->WindowEnabled = true;
    EXPECT_EQ(s->ButtonFrames(TPoint{8, 4}, r), (std::pair{1, 1}));
    s->MouseState.Include(msHot);
    EXPECT_EQ(s->ButtonFrames(TPoint{8, 4}, r), (std::pair{4, 1}));
    s->MouseState.Include(msPressed);
    EXPECT_EQ(s->ButtonFrames(TPoint{8, 20}, r), (std::pair{1, 2}));
    s->WindowEnabled = false;
    EXPECT_EQ(s->ButtonFrames(TPoint{8, 20}, r), (std::pair{3, 3}));
    s->MouseState = TSkinMouseState();

    // Painted: the up button from frames 1-4, the down one from 5-8.
    updown->Repaint();
    QImage shot = grab(updown);
    EXPECT_EQ(colourAt(shot, 8, 5), updownFrame(1));
    EXPECT_EQ(colourAt(shot, 8, 18), updownFrame(5));
    // A press on the lower half: only that half shows pressed (frame 6).
    Mouse->SetCursorPos(updown->ClientToScreen(TPoint{8, 18}));
    const TPoint at = updown->ScreenToClient(Mouse->CursorPos());
    if (at == TPoint{8, 18}) {
        updown->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(8, 18));
        shot = grab(updown);
        EXPECT_EQ(colourAt(shot, 8, 5), updownFrame(1));
        EXPECT_EQ(colourAt(shot, 8, 18), updownFrame(6));
        updown->Perform(WM_LBUTTONUP, 0, MakeLParam(8, 18));
    }
    updown->SetEnabled(false);
    updown->Repaint();
    shot = grab(updown);
    EXPECT_EQ(colourAt(shot, 8, 5), updownFrame(3));
    EXPECT_EQ(colourAt(shot, 8, 18), updownFrame(7));

    // Horizontal pairs: left frames 1-4, right 5-8; a skin without the
    // strips draws plain buttons with arrows.
    updown->SetEnabled(true);
    updown->SetOrientation(udHorizontal);
    updown->SetBounds(10, 10, 24, 16);
    updown->Repaint();
    shot = grab(updown);
    EXPECT_EQ(colourAt(shot, 4, 8), updownFrame(1));
    EXPECT_EQ(colourAt(shot, 18, 8), updownFrame(5));
    loadSkin(valueSkin({true, 0, true, false}));
    s->SkinData = data.get();
    updown->Repaint();
    shot = grab(updown);
    EXPECT_EQ(colourAt(shot, 0, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(colourAt(shot, 2, 2), face);
}
