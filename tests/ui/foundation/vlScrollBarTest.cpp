// Tests of the self-drawn scroll bar: its geometry, the parameter rules,
// the press repeat on a clock advanced by hand, and thumb tracking.
#include <QCursor>
#include <gtest/gtest.h>

#include "ControlFixtures.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Startup.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vlScrollBar.h"

namespace {

struct ScrollBar : TControlUnitFixture {
    ScrollBar()
    {
        Bar = new TvlScrollBar(Form.get());
        Bar->SetParent(Form.get());
        Bar->SetLeft(10);
        Bar->SetTop(10);
        Bar->OnScroll = TScrollEvent(this, &ScrollBar::scrolled);
        Bar->OnChange = TNotifyEvent(this, &ScrollBar::changed);
    }
    void scrolled(TObject*, TScrollCode Code, int& Pos)
    {
        Codes.push_back(Code);
        if (ForcedPos != INT_MIN)
            Pos = ForcedPos;
    }
    void changed(TObject*) { ++Changes; }
    const TvlScrollBarViewInfo& info() const { return *Bar->ViewInfo(); }
    // Presses, moves and releases as the window would deliver them.
    void press(TPoint P) { Bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(P.X, P.Y)); }
    void move(TPoint P) { Bar->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(P.X, P.Y)); }
    void release(TPoint P) { Bar->Perform(WM_LBUTTONUP, 0, MakeLParam(P.X, P.Y)); }
    void pointAt(TPoint P) { Mouse->SetCursorPos(Bar->ClientToScreen(P)); }

    TvlScrollBar* Bar = nullptr;
    std::vector<TScrollCode> Codes;
    int Changes = 0;
    int ForcedPos = INT_MIN;
};

TEST_F(ScrollBar, Geometry)
{
    // A new bar: 121 x 17, the system arrows, the system thumb at the start.
    EXPECT_EQ(Bar->Width(), 121);
    EXPECT_EQ(Bar->Height(), 17);
    EXPECT_EQ(info().TopLeftArrowRect(), Rect(0, 0, 17, 17));
    EXPECT_EQ(info().BottomRightArrowRect(), Rect(104, 0, 121, 17));
    EXPECT_EQ(info().ThumbRect(), Rect(17, 0, 34, 17));
    EXPECT_EQ(info().PageUpRect(), Rect(17, 0, 17, 17));
    EXPECT_EQ(info().PageDownRect(), Rect(34, 0, 104, 17));

    // Narrower than two arrows: half arrows, no track, no thumb, no pages.
    Bar->SetWidth(20);
    EXPECT_EQ(info().TopLeftArrowRect(), Rect(0, 0, 10, 17));
    EXPECT_EQ(info().BottomRightArrowRect(), Rect(10, 0, 20, 17));
    EXPECT_TRUE(info().ThumbRect().IsEmpty());
    EXPECT_TRUE(info().PageDownRect().IsEmpty());
    EXPECT_EQ(Bar->HitTest(Point(15, 5)), sbpLineDown);

    // Disabled: no thumb, every part drawn disabled.
    Bar->SetWidth(121);
    Bar->SetEnabled(false);
    EXPECT_TRUE(info().ThumbRect().IsEmpty());
    EXPECT_EQ(Bar->GetPartState(sbpLineUp), vlbsDisabled);
    Bar->SetEnabled(true);

    // Max = Min: no thumb with a page, a thumb at the track start without.
    Bar->SetScrollParams(5, 5, 5, 1);
    EXPECT_TRUE(info().ThumbRect().IsEmpty());
    Bar->SetScrollParams(5, 5, 5, 0);
    EXPECT_EQ(info().ThumbRect().Left, 17);

    // 0..99, page 10, track 200: a 20 pixel thumb that reaches the second
    // arrow at position 90 and stays there at 99.
    Bar->SetWidth(234);
    Bar->SetScrollParams(0, 99, 90, 10);
    EXPECT_EQ(info().ThumbLength(), 20);
    EXPECT_EQ(info().ThumbRect().Right, info().TrackEnd());
    Bar->SetPosition(99);
    EXPECT_EQ(info().ThumbRect().Right, info().TrackEnd());
    Bar->SetPosition(0);
    EXPECT_EQ(info().ThumbRect().Left, 17);

    // A page covering the whole range: the thumb fills the track from its
    // start instead of reaching into the first arrow.
    Bar->SetScrollParams(0, 9, 5, 10);
    EXPECT_EQ(info().ThumbRect(), Rect(17, 0, 217, 17));

    // Changing the kind swaps width and height.
    Bar->SetBounds(10, 10, 121, 17);
    Bar->SetKind(sbVertical);
    EXPECT_EQ(Bar->Width(), 17);
    EXPECT_EQ(Bar->Height(), 121);
    EXPECT_EQ(info().BottomRightArrowRect(), Rect(0, 104, 17, 121));
}

TEST_F(ScrollBar, ParameterRules)
{
    EXPECT_THROW(Bar->SetMax(-1), EInvalidOperation);
    EXPECT_THROW(Bar->SetScrollParams(0, 9, 0, 11), EInvalidOperation);
    EXPECT_EQ(Bar->Max(), 100);
    EXPECT_EQ(Bar->PageSize(), 0);
    // A negative Min with a page larger than Max is a valid range.
    EXPECT_NO_THROW(Bar->SetScrollParams(-10, 5, 0, 10));
    EXPECT_EQ(Bar->PageSize(), 10);

    Bar->SetScrollParams(0, 100, 0, 0);
    Changes = 0;
    Codes.clear();
    Bar->SetPosition(0);
    EXPECT_EQ(Changes, 0);
    Bar->SetPosition(500);  // clamped
    EXPECT_EQ(Bar->Position(), 100);
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(Codes.empty());
    Bar->SetEnabled(false);
    Bar->SetPosition(3);
    EXPECT_TRUE(Bar->Enabled());

    // What OnScroll asks for is clamped too.
    ForcedPos = 1000;
    Bar->Scroll(scLineDown);
    EXPECT_EQ(Bar->Position(), 100);
}

TEST_F(ScrollBar, HoldingAnArrowRepeatsAfterTheDelayAndPausesOffIt)
{
    Form->Show();
    Bar->SetScrollParams(0, 1000, 0, 0);
    const TPoint arrow = info().BottomRightArrowRect().CenterPoint();
    pointAt(arrow);
    press(arrow);  // t = 0: one step at once
    EXPECT_EQ(Bar->Position(), 1);
    EXPECT_EQ(GetCaptureControl(), Bar);
    Clock.Advance(399);
    EXPECT_EQ(Bar->Position(), 1);
    Clock.Advance(1);  // 400
    EXPECT_EQ(Bar->Position(), 2);
    Clock.Advance(60);  // 460
    EXPECT_EQ(Bar->Position(), 3);
    Clock.Advance(60);  // 520
    EXPECT_EQ(Bar->Position(), 4);

    // Off the arrow the repeat pauses without ending the press.
    const TPoint off(60, 5);
    pointAt(off);
    move(off);
    Clock.Advance(300);
    EXPECT_EQ(Bar->Position(), 4);
    EXPECT_EQ(Bar->PressedPart(), sbpLineDown);
    pointAt(arrow);
    move(arrow);
    Clock.Advance(60);
    EXPECT_EQ(Bar->Position(), 5);

    Codes.clear();
    release(arrow);
    EXPECT_EQ(Codes, std::vector<TScrollCode>{scEndScroll});
    EXPECT_EQ(Bar->PressedPart(), sbpNone);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    Clock.Advance(1000);
    EXPECT_EQ(Bar->Position(), 5);

    // Losing the capture ends the press at the next tick.
    press(arrow);
    SetCaptureControl(nullptr);
    Codes.clear();
    Clock.Advance(400);
    EXPECT_EQ(Codes, std::vector<TScrollCode>{scEndScroll});
}

TEST_F(ScrollBar, ThumbTracking)
{
    Form->Show();
    Bar->SetWidth(234);  // a 200 pixel track
    Bar->SetScrollParams(0, 99, 0, 10);
    const TPoint down = info().ThumbRect().CenterPoint();
    press(down);
    Codes.clear();
    move(Point(down.X + 90, down.Y));
    EXPECT_EQ(Bar->Position(), 45);
    EXPECT_EQ(Codes, std::vector<TScrollCode>{scTrack});
    EXPECT_EQ(Changes, 0);  // committed only at the end

    // Far above the bar the thumb goes back to where the drag started...
    move(Point(down.X + 90, -137));
    EXPECT_EQ(Bar->Position(), 0);
    EXPECT_EQ(info().ThumbRect().Left, 17);
    // ...and comes back with the pointer, measured from the press.
    move(Point(down.X + 90, down.Y + 100));
    EXPECT_EQ(Bar->Position(), 45);
    Codes.clear();
    release(Point(down.X + 90, down.Y + 100));
    EXPECT_EQ(Codes, (std::vector<TScrollCode>{scPosition, scEndScroll}));
    EXPECT_EQ(Bar->Position(), 45);

    // With unlimited tracking distance does not matter.
    Bar->SetUnlimitedTracking(true);
    Bar->SetPosition(0);
    press(down);
    move(Point(down.X + 90, down.Y - 500));
    EXPECT_EQ(Bar->Position(), 45);
    release(Point(down.X + 90, down.Y - 500));
}

TEST_F(ScrollBar, APressOnTheThumbAloneKeepsThePosition)
{
    Form->Show();
    // More positions than track pixels: the way through pixels is lossy.
    Bar->SetWidth(151);  // track 117, thumb 17, 100 pixels free
    Bar->SetScrollParams(0, 1000, 5, 0);
    Changes = 0;
    Codes.clear();
    const TPoint thumb = info().ThumbRect().CenterPoint();
    press(thumb);
    release(thumb);
    EXPECT_EQ(Bar->Position(), 5);
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Codes, (std::vector<TScrollCode>{scTrack, scPosition, scEndScroll}));

    // A thumb that fills the track stands for no other position either.
    Bar->SetScrollParams(0, 9, 5, 10);
    const TPoint full = info().ThumbRect().CenterPoint();
    press(full);
    move(Point(full.X + 30, full.Y));
    release(Point(full.X + 30, full.Y));
    EXPECT_EQ(Bar->Position(), 5);
    EXPECT_EQ(Changes, 0);
}

}  // namespace
