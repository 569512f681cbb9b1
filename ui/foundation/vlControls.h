// vlControls.h - the base of the grid family's controls: a custom-painted
// window with a look, a border, a painted vertical scroll bar and the
// canvas its painters draw on.
#pragma once
#include <memory>

#include "platform/rtl/Startup.h"

#include "platform/controls/Controls.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vlScrollBar.h"

enum TvlControlBorderStyle { vlcbsNone, vlcbsDefault };

class TvlControl : public TCustomControl {
public:
    explicit TvlControl(TComponent* AOwner);
    ~TvlControl() override;
    String ClassName() const override { return String::fromLatin1("TvlControl"); }

    // Valid during Paint.
    TvlCanvas* Canvas() const { return FCanvas.get(); }
    TvlLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    const TvlCustomLookAndFeelPainter* LookAndFeelPainter() const { return FLookAndFeel->Painter(); }
    TvlControlBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TvlControlBorderStyle Value);
    int BorderSize() const;

    // The client area without the border and the visible scroll bar.
    TRect GetClientBounds() const;
    TRect GetVScrollBarBounds() const;
    // The vertical scroll bar: shown when Visible; positions Min..Max with
    // a page of PageSize (a thumb proportional to it); the position is
    // clamped to Min..Max-PageSize+1.
    void SetVScrollBarParams(bool AVisible, int AMin, int AMax, int APageSize, int APosition);
    bool IsVScrollBarVisible() const { return FVScroll.Visible; }
    int VScrollBarPosition() const { return FVScroll.Position; }

protected:
    void Paint() override;
    // Paints the area inside the border and beside the scroll bar.
    virtual void PaintContent() {}
    void Dispatch(TMessage& Message) override;
    void EraseBackground(HDC DC) override { (void)DC; }  // the content covers everything
    // The user moved the scroll bar; APos is the asked-for position.
    virtual void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos);
    virtual void LookAndFeelChanged() { Invalidate(); }

private:
    struct TScrollState {
        bool Visible = false;
        int Min = 0, Max = 0, PageSize = 1, Position = 0;
    };
    enum TScrollPart { spNone, spLineUp, spLineDown, spPageUp, spPageDown, spThumb };
    TRect thumbBounds() const;
    TScrollPart scrollPartAt(TPoint P) const;
    bool handleScrollMouse(TMessage& Message);
    void lookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues);
    void paintScrollBar();

    std::unique_ptr<TvlCanvas> FCanvas;
    std::unique_ptr<TvlLookAndFeel> FLookAndFeel;
    TvlControlBorderStyle FBorderStyle = vlcbsDefault;
    TScrollState FVScroll;
    TScrollPart FPressedPart = spNone;
    int FThumbGrabOffset = 0;
};

// ------------------------------------------------------------ message window

// An invisible window of its own whose messages go to WndProc.
class TvlMessageWindow : public TObject {
public:
    TvlMessageWindow();
    ~TvlMessageWindow() override;
    TvlMessageWindow(const TvlMessageWindow&) = delete;
    TvlMessageWindow& operator=(const TvlMessageWindow&) = delete;
    HWND Handle() const { return FHandle; }

protected:
    // Nothing here: the default window procedure.
    virtual void WndProc(TMessage& Message) { (void)Message; }

private:
    void windowProc(TMessage& Message) { WndProc(Message); }
    std::unique_ptr<TMessageWindow> FWindow;
    HWND FHandle = nullptr;
};

// The shared window for callers that need any window; made on first use,
// nullptr once the unit has been finalized.
TvlMessageWindow* GetMessageWindow();

// ------------------------------------------------------------------- timer

// What runs the system timers of the timer window: the real clock by
// default; tests put one in its place that they advance by hand. A running
// timer delivers WM_TIMER (WParam the timer's id) to Wnd each interval.
class IvlTimerClock {
public:
    virtual ~IvlTimerClock() = default;
    virtual bool StartTimer(HWND Wnd, uintptr_t Id, unsigned Interval) = 0;
    virtual void StopTimer(HWND Wnd, uintptr_t Id) = 0;
};
// nullptr restores the real clock. Not owned.
void SetTimerClock(IvlTimerClock* AClock);
IvlTimerClock* GetTimerClock();

// A timer component. Every instance's system timer runs on one shared
// hidden window; it runs exactly while the timer is Enabled, has an OnTimer
// handler and a system timer could be made. Each change of Enabled,
// Interval or OnTimer starts it again from zero.
class TvlTimer : public TComponent {
public:
    explicit TvlTimer(TComponent* AOwner);
    ~TvlTimer() override;
    String ClassName() const override { return String::fromLatin1("TvlTimer"); }

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds; 0 and the current value are ignored.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    // Always starts the timer again, also with the same handler.
    void SetOnTimer(const TNotifyEvent& Value);
    bool Running() const { return FRunning; }
    uintptr_t EventID() const { return reinterpret_cast<uintptr_t>(this); }

    // Fires OnTimer; the timer window calls it for each tick.
    virtual void TimeOut();

private:
    bool canStart() const { return FEnabled && !FRunning && bool(FOnTimer); }
    void restart();
    void start();
    void stop();
    void setRunning(bool Value);

    bool FEnabled = true;
    unsigned FInterval = 1000;
    bool FRunning = false;
    TNotifyEvent FOnTimer;
};

// The window that owns every timer's system timer: a WM_TIMER whose id is
// a running timer's calls its TimeOut; any other WM_TIMER is dropped.
class TvlTimerWindow : public TvlMessageWindow {
protected:
    void WndProc(TMessage& Message) override;
};
TvlTimerWindow* GetTimerWindow();

// The text without its accelerator marks: a single "&" goes, "&&" becomes "&".
String RemoveAccelChars(const String& S);

// The unit's start (the cursors) and its end (the shared windows and lists
// are freed; nothing of them is made afterwards).
void AddvlControlsUnit(TStartupList& AList);
