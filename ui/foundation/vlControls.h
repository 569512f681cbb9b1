// vlControls.h - the base of the grid family's controls: a custom-painted
// window with a look, a border, a painted vertical scroll bar and the
// canvas its painters draw on.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Startup.h"

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vlScrollBar.h"
#include "ui/foundation/vxCore.h"

enum TvlControlBorderStyle { vlcbsNone, vlcbsDefault };

enum TvlDragAndDropState { ddsIdle, ddsPending, ddsRunning };
enum TvlMouseWheelScrollingKind { mwskNone, mwskHorizontal, mwskVertical };

class TvlControl;
class TvlDragAndDropObject;
class TvlDragImageList;

// Classes the control makes on demand; descendants name their own.
using TvlDragAndDropObjectClass = std::unique_ptr<TvlDragAndDropObject> (*)(TvlControl* AControl);
using TvlDragControlObjectClass = std::unique_ptr<TDragObject> (*)(TvlControl* AControl);
using TvlDragImagesClass = std::unique_ptr<TvlDragImageList> (*)();

// Posted to a control to have it take the system's scroll-bar sizes again.
enum : UINT { CM_VLSYSTEMMETRICS = 0x8065 };

enum TvlControlKey { kAll, kArrows, kChars, kTab };
using TvlControlKeys = TSet<TvlControlKey>;

// Told of each font change of a control it listens to.
class IvlFontChangeListener {
public:
    virtual ~IvlFontChangeListener() = default;
    virtual void Changed(TObject* Sender, TFont* AFont) = 0;
};

// An object that may hold a control's mouse capture; told when it loses it.
class IvlCaptureOwner {
public:
    virtual ~IvlCaptureOwner() = default;
    virtual void CaptureLost() = 0;
};

// A component that can stand where a popup menu is expected.
class IvlPopupMenuSupport {
public:
    virtual ~IvlPopupMenuSupport() = default;
    virtual bool IsShortCut(TMessage& Message) = 0;
    virtual void Popup(int X, int Y) = 0;
};

// What the drag-detect loop decided.
enum TDragDetectResult { ddrNone, ddrDrag, ddrCancel };

// One input event as a modal mouse loop sees it: the message it stands
// for, the control it goes to and the pointer's screen position.
struct TvlModalMessage {
    UINT Msg = WM_NULL;
    WPARAM WParam = 0;
    TWinControl* Control = nullptr;
    TPoint ScreenPos;
};

// Runs the modal loops of the drag-detect and middle-button modes: every
// input event of the application is first offered to the filter, which
// answers true to stop it there (it is not dispatched). Tests put a
// scripted loop in place of the real one.
class IvlModalLoop {
public:
    virtual ~IvlModalLoop() = default;
    virtual void Run(const std::function<bool(const TvlModalMessage&)>& Filter) = 0;
    // Ends Run once the message being handled has been dispatched.
    virtual void Quit() = 0;
};
// nullptr restores the real loop. Not owned.
void SetModalLoop(IvlModalLoop* ALoop);
IvlModalLoop* GetModalLoop();

// What SetScrollBarInfo decided for one bar; ApplyData carries it over.
struct TvlScrollBarData {
    int Min = 0;
    int Max = 0;
    int Position = 0;
    int PageSize = 0;
    TScrollBarInc SmallChange = 0;
    TScrollBarInc LargeChange = 0;
    bool Enabled = false;
    bool Visible = false;
    bool AllowShow = false;
    bool AllowHide = false;
};

// A scroll bar that a TvlControl owns and lays out inside itself.
class TvlControlScrollBar : public TvlScrollBar {
public:
    explicit TvlControlScrollBar(TComponent* AOwner);
    ~TvlControlScrollBar() override;
    String ClassName() const override { return String::fromLatin1("TvlControlScrollBar"); }
    TvlScrollBarData Data;
    // Shows the decided range, page and position (a hidden bar keeps its
    // old range), enables and shows or hides the bar.
    void ApplyData();
    virtual void FocusParent();

protected:
    void Dispatch(TMessage& Message) override;
};

// The square between the two scroll bars.
class TvlSizeGrip : public TCustomControl {
public:
    explicit TvlSizeGrip(TComponent* AOwner);
    ~TvlSizeGrip() override;
    String ClassName() const override { return String::fromLatin1("TvlSizeGrip"); }
    TvlLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }

protected:
    void Paint() override;
    void EraseBackground(HDC DC) override { (void)DC; }

private:
    void lookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues) { Invalidate(); }
    std::unique_ptr<TvlLookAndFeel> FLookAndFeel;
};

class TvlControlChildComponent;

// The windowed base control of the grid family: a canvas and a look of its
// own, a border drawn by the painter, and two scroll bars and a size grip
// laid out inside its client area, fed by descendants through
// SetScrollBarInfo.
class TvlControl : public TCustomControl, public IvxResourceStringsListener {
public:
    explicit TvlControl(TComponent* AOwner);
    ~TvlControl() override;
    String ClassName() const override { return String::fromLatin1("TvlControl"); }

    TvlCanvas* Canvas() const { return FCanvas.get(); }
    TvlLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    void SetLookAndFeel(const TvlLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
    TvlLookAndFeelPainterClass LookAndFeelPainter() const { return FLookAndFeel->Painter(); }
    TvlControlBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TvlControlBorderStyle Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool FocusOnClick() const { return FFocusOnClick; }
    void SetFocusOnClick(bool Value) { FFocusOnClick = Value; }

    virtual int GetBorderSize() const;
    // The client rectangle (or the bounds before the window exists).
    virtual TRect GetBounds() const;
    // Inside the border, without the visible scroll bars.
    virtual TRect GetClientBounds() const;
    virtual TRect GetHScrollBarBounds() const;
    virtual TRect GetVScrollBarBounds() const;
    virtual TRect GetSizeGripBounds() const;
    virtual bool HasScrollBars() const { return true; }
    // The bar exists and shows; while UpdateScrollBars calculates, the
    // visibility it calculated.
    bool IsHScrollBarVisible() const;
    bool IsVScrollBarVisible() const;
    TvlControlScrollBar* HScrollBar() const { return FHScrollBar.get(); }
    TvlControlScrollBar* VScrollBar() const { return FVScrollBar.get(); }
    TvlSizeGrip* SizeGrip() const { return FSizeGrip.get(); }

    // Decides a bar from its parameters: shown and enabled when there is
    // something to scroll; otherwise hidden (AllowHide) or shown disabled.
    void SetScrollBarInfo(TScrollBarKind AScrollBarKind, int AMin, int AMax, int AStep, int APage, int APos,
                          bool AAllowShow, bool AAllowHide);
    virtual void UpdateScrollBars();
    // True while UpdateScrollBars runs.
    bool IsUpdatingScrollBars() const { return FUpdatingScrollBars; }
    void BeginScrollBarsUpdate();
    void EndScrollBarsUpdate();
    // Makes the scroll bars and the grip exist exactly when HasScrollBars.
    void InitScrollBars();

    TvlDragAndDropState DragAndDropState() const { return FDragAndDropState; }
    void FinishDragAndDrop(bool Accepted);
    // The running internal drag-and-drop's object, made on first use.
    TvlDragAndDropObject* GetDragAndDropObject();
    // The object that holds the mouse capture (not owned); setting another
    // tells the old one it lost it.
    TObject* MouseCaptureObject() const { return FMouseCaptureObject; }
    void SetMouseCaptureObject(TObject* Value);
    // True while the middle-button auto-scroll mode runs.
    bool ScrollingContent() const { return FScrollingContent; }
    TvlControlKeys Keys() const { return FKeys; }
    void SetKeys(TvlControlKeys Value) { FKeys = Value; }

    // Dragging the control to other controls.
    void DoStartDrag(TDragObject*& DragObject) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    // The pictures of the control while it is dragged (HasDragImages), made
    // once and offered while they hold an image.
    TDragImageList* GetDragImages() override;
    // Ctrl is held: a drop copies.
    virtual bool IsCopyDragDrop() const;

    // Listeners hear of each font change, in the order they were added.
    void AddFontListener(IvlFontChangeListener* AListener);
    void RemoveFontListener(IvlFontChangeListener* AListener);
    virtual void AddChildComponent(TvlControlChildComponent* AComponent);
    virtual void RemoveChildComponent(TvlControlChildComponent* AComponent);
    // One line of scrolling in ADirection, as a press on an arrow.
    void ScrollContent(TvlDirection ADirection);
    bool IsMouseInPressedArea(int X, int Y) const;
    void InvalidateRect(const TRect& R, bool EraseBackground);
    // Nothing for an empty region or before the window exists.
    void InvalidateRegion(const TvlRegion* ARegion, bool EraseBackground);
    void InvalidateWithChildren();
    void UpdateWithChildren();
    // Redraws R with its content moved by DX, DY; a drag image over the
    // window is hidden meanwhile.
    void ScrollWindow(int DX, int DY, const TRect& R);
    // Has the control look at the pointer again (a still pointer over
    // changed content): a move to P, by default where the pointer is.
    void PostMouseMove();
    void PostMouseMove(const TPoint& P);
    // The control's canvas while its window paints; otherwise a screen
    // canvas to measure with.
    TvlCanvas* GetActiveCanvas();

    // The menu of the control: a TPopupMenu or a component supporting
    // IvlPopupMenuSupport; any other component is taken as none. Not owned.
    TComponent* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TComponent* Value);
    // The menu when it is a TPopupMenu.
    TPopupMenu* GetPopupMenu() const;
    // Tells AControl's parent that AControl is being redrawn; invalidates
    // AControl itself (NeedInvalidateSelf) and then its windowed children
    // that do not paint all of themselves (NeedInvalidateChildren).
    static void InvalidateControl(TWinControl* AControl, bool NeedInvalidateSelf, bool NeedInvalidateChildren);
    // The cursor shown where GetCurrentCursor has nothing special.
    TCursor DefaultCursor() const { return FDefaultCursor; }
    void TranslationChanged() override {}

    TNotifyEvent OnFocusChanged;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    virtual void BoundsChanged();
    using TCustomControl::BoundsChanged;
    void BoundsChanged(bool Moved, bool Resized) override;
    // Descendants call SetScrollBarInfo for both kinds here.
    virtual void InitScrollBarsParameters() {}
    virtual bool IsPixelScrollBar(TScrollBarKind AKind) const { (void)AKind; return false; }
    virtual bool CanScrollWithoutScrollBars(TvlDirection ADirection) const { (void)ADirection; return false; }
    virtual bool NeedsRedrawOnResize() const { return false; }
    virtual void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos);
    virtual void SetInternalControlsBounds();
    virtual void BringInternalControlsToFront();
    virtual bool CanBringInternalControlsToFront() const { return true; }
    virtual TvlMouseWheelScrollingKind GetMouseWheelScrollingKind() const;
    virtual void LookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues);
    virtual void FocusChanged();
    // The notification hooks: each runs when its property changed.
    virtual void ColorChanged() {}
    virtual void CursorChanged() { FDefaultCursor = Cursor(); }
    virtual void TextChanged() {}
    virtual void VisibleChanged() {}
    // The pointer entered or left AControl (the control itself or one of its
    // graphic children).
    virtual void MouseEnter(TControl* AControl);
    virtual void MouseLeave(TControl* AControl);
    virtual TCursor GetCurrentCursor(int X, int Y) const { (void)X; (void)Y; return FDefaultCursor; }
    // A context-menu request at MousePos (client coordinates; (-1, -1) from
    // the keyboard): OnContextPopup first, then the control's menu.
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    virtual bool DoShowPopupMenu(TComponent* AMenu, int X, int Y);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanFocusOnClick() const;
    virtual bool AllowMouseDownWithoutFocus() const { return false; }
    virtual bool IsFocused() const { return Focused(); }
    virtual bool StartDragAndDrop(const TPoint& P) { (void)P; return false; }
    virtual void BeginDragAndDrop();
    virtual void DragAndDrop(const TPoint& P, bool& Accepted);
    virtual void EndDragAndDrop(bool Accepted);
    virtual void CancelMouseOperations();
    virtual void FinishMouseOperations();
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    // After a press reached the control: the left button may start a drag
    // of the control (DragMode dmAutomatic), the middle one the auto-scroll
    // mode.
    virtual void AfterMouseDown(TMouseButton Button, int X, int Y);
    virtual void BeforeMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
    {
        (void)Button; (void)Shift; (void)X; (void)Y;
    }
    virtual bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
    virtual bool CanDrag(int X, int Y) const { (void)X; (void)Y; return FDragAndDropState == ddsIdle; }
    virtual bool AllowAutoDragAndDropAtDesignTime(int X, int Y, TShiftState Shift) const
    {
        (void)X; (void)Y; (void)Shift;
        return true;
    }
    // False cancels a drag that is starting.
    virtual bool StartDrag(TDragObject* DragObject) { (void)DragObject; return true; }
    virtual TvlDragControlObjectClass GetDragObjectClass() const;
    virtual bool HasDragImages() const { return false; }
    virtual TvlDragImagesClass GetDragImagesClass() const;
    virtual TPoint GetDragImagesSize() const { return TPoint{0, 0}; }
    virtual void DrawDragImage(TvlCanvas* ACanvas, const TRect& R) { (void)ACanvas; (void)R; }
    virtual void InitDragImages(TvlDragImageList* AImages);
    virtual std::unique_ptr<TvlDragAndDropObject> CreateDragAndDropObject();
    virtual TvlDragAndDropObjectClass GetDragAndDropObjectClass() const { return FDragAndDropObjectClass; }
    void SetDragAndDropObjectClass(TvlDragAndDropObjectClass Value) { FDragAndDropObjectClass = Value; }

    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void EraseBackground(HDC DC) override { (void)DC; }
    void InitializeWidget() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void SetDragAndDropState(TvlDragAndDropState Value);

private:
    void lookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues);
    void createScrollBars();
    void destroyScrollBars();
    void scrollBarScrolled(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void calculateScrollBarsParams();
    TvlControlScrollBar* bar(TScrollBarKind AKind) const
    {
        return AKind == sbHorizontal ? FHScrollBar.get() : FVScrollBar.get();
    }

    std::unique_ptr<TvlCanvas> FCanvas;
    std::unique_ptr<TvlLookAndFeel> FLookAndFeel;
    TvlControlBorderStyle FBorderStyle = vlcbsNone;
    TScrollStyle FScrollBars = ssBoth;
    std::unique_ptr<TvlControlScrollBar> FHScrollBar;
    std::unique_ptr<TvlControlScrollBar> FVScrollBar;
    std::unique_ptr<TvlSizeGrip> FSizeGrip;
    bool FCalculatingScrollBarsParams = false;
    bool FUpdatingScrollBars = false;
    bool FInitialHScrollBarVisible = false;
    bool FInitialVScrollBarVisible = false;
    bool FInitialSettingsReached = false;
    int FScrollBarsLockCount = 0;
    bool FScrollBarsUpdateNeeded = false;
    bool FFocusOnClick = true;
    TvlDragAndDropState FDragAndDropState = ddsIdle;
    bool FFinishingDragAndDrop = false;
    TPoint FMouseDownPos;
    std::unique_ptr<TvlDragAndDropObject> FDragAndDropObject;
    TvlDragAndDropObjectClass FDragAndDropObjectClass = nullptr;
    TCursor FDragAndDropPrevCursor = crDefault;
    std::unique_ptr<TvlDragImageList> FDragImages;
    TObject* FMouseCaptureObject = nullptr;
    bool FMouseButtonPressed = false;
    bool FScrollingContent = false;
    TvlControlKeys FKeys;
    std::vector<IvlFontChangeListener*> FFontListeners;
    std::unique_ptr<TvlScreenCanvas> FScreenCanvas;
    TComponent* FPopupMenu = nullptr;
    TCursor FDefaultCursor = crDefault;
    bool isPopupMenuShortCut(TMessage& Message);
    // The notification messages that end in a hook; false for any other.
    bool dispatchHooks(TMessage& Message);
    void scrollContentMode();
    void systemMetricsChanged();
    bool WantsKey(uint16_t Key) const override;
};

// A component that belongs to one control and is kept as its child.
class TvlControlChildComponent : public TvlComponent {
public:
    explicit TvlControlChildComponent(TComponent* AOwner);
    ~TvlControlChildComponent() override;
    String ClassName() const override { return String::fromLatin1("TvlControlChildComponent"); }
    // Made for AControl, owned by its owner when AAssignOwner.
    template <class T = TvlControlChildComponent>
    static std::unique_ptr<T> CreateEx(TvlControl* AControl, bool AAssignOwner)
    {
        auto result = std::make_unique<T>(AAssignOwner && AControl != nullptr ? AControl->Owner() : nullptr);
        result->SetControl(AControl);
        return result;
    }
    TvlControl* Control() const { return FControl; }
    virtual void SetControl(TvlControl* Value) { FControl = Value; }
    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    bool HasParent() const { return FControl != nullptr; }
    TComponent* GetParentComponent() const { return FControl; }
    // A control as the parent takes the component as its child.
    void SetParentComponent(TComponent* Value);

protected:
    virtual void Initialize() {}

private:
    TvlControl* FControl = nullptr;
};

// Holds the capture of Wnd until the pointer leaves a square of twice the
// drag threshold around where it is now (ddrDrag), a button is released
// (ddrNone), or Escape or the loss of the capture cancels (ddrCancel).
TDragDetectResult CheckDragDetect(TWinControl* Wnd);
// The class-library drag object a control was last told of (nullptr after
// a drag leave).
TDragObject* GetCurrentDragObject();
bool IsControlKeyDown();

// The height a popup menu needs on the screen: its tallest column (an item
// with a Break starts a new one), measured in the menu font.
int GetPopupMenuHeight(TPopupMenu* APopupMenu);
// The key message is a shortcut of the menu (a TPopupMenu or a component
// supporting IvlPopupMenuSupport), which has run it.
bool IsPopupMenuShortCut(TComponent* APopupMenu, TMessage& Message);
// Shows the menu at the screen point; false when there is none to show.
bool ShowPopupMenu(TControl* AControl, TComponent* AMenu, int X, int Y);

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

// ------------------------------------------------------------ popup window

enum TvlPopupHorzAlignment { phaLeft, phaCenter, phaRight };
enum TvlPopupVertAlignment { pvaTop, pvaCenter, pvaBottom };
enum TvlPopupOpenDirection { podHorizontal, podVertical };
// 0 none, 1 a frame line, 2 a single raised edge, 3 a double one.
using TvlPopupBorderStyle = int;

// A borderless top-level window that opens beside or below a rectangle of
// an owner control and stays inside the work area of its monitor.
class TvlPopupWindow : public TForm {
public:
    TvlPopupWindow();
    ~TvlPopupWindow() override;
    String ClassName() const override { return String::fromLatin1("TvlPopupWindow"); }

    bool Adjustable = true;
    TvlPopupHorzAlignment AlignHorz = phaLeft;
    TvlPopupVertAlignment AlignVert = pvaBottom;
    int BorderSpace = 0;
    TvlPopupOpenDirection Direction = podVertical;
    TColor FrameColor = clWindowText;
    TRect OwnerBounds;             // OwnerParent's client coordinates
    TControl* OwnerParent = nullptr;

    TvlPopupBorderStyle PopupBorderStyle() const { return FBorderStyle; }
    void SetPopupBorderStyle(TvlPopupBorderStyle Value);

    // Where the window's top-left goes: beside the owner on the side of its
    // alignment, flipped when the other side has more room, and pushed into
    // the work area across its direction.
    virtual void CalculatePosition(TPoint& P);
    virtual void CalculateSize();
    virtual int GetBorderWidth(int ASide) const { (void)ASide; return GetFrameWidth() + BorderSpace; }
    virtual int GetFrameWidth() const;
    virtual void GetOwnerScreenBounds(TRect& R) const;
    virtual void InitPopup();
    virtual void Popup();
    virtual void CloseUp() { Hide(); }
    // The client rectangle inside the border widths of the four sides.
    virtual void GetClientBounds(TRect& R) const;
    virtual void DrawFrame();
    TvlCanvas* PopupCanvas() const { return FCanvas.get(); }

protected:
    // A frameless tool window of its own on top of the others.
    void AdjustWindowFlags(Qt::WindowFlags& Flags) const override { Flags |= Qt::Tool; }
    void Dispatch(TMessage& Message) override;
    void PaintWindow(HDC DC) override;
    virtual void Paint() {}
    // The window lost the activation (to another of the program's windows
    // or to another program): it closes.
    virtual void Deactivate() { CloseUp(); }

private:
    void restoreControlsBounds();
    TvlPopupBorderStyle FBorderStyle = 0;
    std::unique_ptr<TCanvas> FPaintCanvas;
    std::unique_ptr<TvlCanvas> FCanvas;
};

// ---------------------------------------------------------------- services

// The text without its accelerator marks: "&x" gives "x", "&&" gives "&";
// a lone "&" at the end gives "_" with AAppendUnderscore, else nothing.
String RemoveAccelChars(const String& S, bool AAppendUnderscore = false);
bool IsTextChar(QChar Ch);
// A character that starts editing: text, Backspace, Ctrl+V or Ctrl+X.
bool IsEditStartChar(QChar Ch);
bool IsIncSearchStartChar(QChar Ch);
// ANumberKind 0: integer, 1: float, 2: float with exponent.
bool IsNumericChar(QChar Ch, int ANumberKind);
// A key that is no text: Enter, Esc, arrows, function keys and the like.
bool IsSysKey(uint16_t Key);
bool ShiftStateMoveOnly(TShiftState Shift);
bool ShiftStateLeftOnly(TShiftState Shift, bool CanIncludeDouble = false);
WPARAM ShiftStateToKeys(TShiftState Shift);
bool IsPointInDragDetectArea(const TPoint& MouseDownPos, int X, int Y);

// The work area of the monitor nearest to P.
void GetDesktopWorkArea(const TPoint& P, TRect& R);
// Moves Bounds into the work area for P; one larger than it ends on its
// left and top edges.
void MakeVisibleOnDesktop(TRect& Bounds, const TPoint& P);

// The hourglass over everything, nestable.
void ShowHourglassCursor();
void HideHourglassCursor();

// Mouse tracking: a caller is told once the pointer has left an area.
class IvlMouseTrackingCaller {
public:
    virtual ~IvlMouseTrackingCaller() = default;
    virtual void MouseLeave() = 0;
};
// A caller that decides itself which points of the control are inside.
class IvlMouseTrackingCallerEx : public IvlMouseTrackingCaller {
public:
    virtual bool ContainsPoint(const TPoint& P) = 0;  // the control's client point
};

// Polls the pointer every 10 ms for one caller.
class TMouseTrackingTimer : public TvlTimer {
public:
    explicit TMouseTrackingTimer(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TMouseTrackingTimer"); }
    IvlMouseTrackingCaller* Caller = nullptr;
    TWinControl* Control = nullptr;
    TRect Bounds;  // screen coordinates

private:
    void tick(TObject* Sender);
};

// ABounds are AControl's client coordinates (screen coordinates without a
// control). A caller already tracked keeps its first area.
void BeginMouseTracking(TWinControl* AControl, const TRect& ABounds, IvlMouseTrackingCaller* ACaller);
void EndMouseTracking(IvlMouseTrackingCaller* ACaller);
bool IsCallerMouseTracked(IvlMouseTrackingCaller* ACaller);
TMouseTrackingTimer* FindMouseTrackingTimer(IvlMouseTrackingCaller* ACaller);

// The framework's cursors, registered with the screen at the unit's start.
enum : TCursor {
    crvlDragCopy = 2100, crvlFullScroll = 2101, crvlHorScroll = 2102, crvlVerScroll = 2103, crvlUpScroll = 2104,
    crvlRightScroll = 2105, crvlDownScroll = 2106, crvlLeftScroll = 2107, crvlRemove = 2108, crvlVertSize = 2109,
    crvlHorzSize = 2110, crvlMultiDrag = 2111, crvlNoDrop = 2112, crvlDrag = 2113, crvlHandPoint = -2099,
    crvlColorPicker = 2114, crvlMultiDragCopy = 2115
};

// The unit's start (the cursors) and its end (the shared windows and lists
// are freed; nothing of them is made afterwards).
void AddvlControlsUnit(TStartupList& AList);
