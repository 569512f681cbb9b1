// Controls.h - the control tree: controls with bounds, alignment and
// messages, windowed controls backed by one QWidget each, graphic controls
// painted on their parent, and custom-painted controls with a canvas.
#pragma once
#include <QImage>
#include <QRegion>
#include <functional>
#include <memory>
#include <vector>

#include "platform/controls/Messages.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/ImgList.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Exception.h"

class QWidget;
class QCursor;
class QEvent;
class TFont;
class TCanvas;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TDragObject;
class TDragImageList;
class TBasicAction;
class TControlActionLink;
class TControl;

// Points AField of AHolder at Value and moves AHolder's free notification
// from the old component to the new one, so that AHolder's Notification
// can forget the component when it goes. False when nothing changed.
template <class T>
bool SetNotifiedReference(TComponent* AHolder, T*& AField, T* Value)
{
    if (AField == Value)
        return false;
    if (AField != nullptr)
        AField->RemoveFreeNotification(AHolder);
    AField = Value;
    if (AField != nullptr)
        AField->FreeNotification(AHolder);
    return true;
}

// Makes the link through which a control follows its action (ActnList.h).
using TControlActionLinkClass = std::function<std::unique_ptr<TControlActionLink>(TControl* AClient)>;

namespace ControlsConsts {
VORLANE_RESOURCESTRING(SControlParentSetToSelf, "A control cannot have itself as its parent");
VORLANE_RESOURCESTRING(SCannotFocus, "Cannot focus a disabled or invisible window");
VORLANE_RESOURCESTRING(SParentRequired, "Control '%s' has no parent window");
}  // namespace ControlsConsts

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
    csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
    csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
    csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;

using TCursor = int;
enum : TCursor {
    crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22, crSizeNESW = -6,
    crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
    crNoDrop = -13, crHSplit = -14, crVSplit = -15, crNo = -18, crAppStart = -19, crHelp = -20,
    crHandPoint = -21, crSizeAll = -22
};

using TModalResult = int;
enum : TModalResult {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
    mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

using TMouseEvent = TDelegate<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TDelegate<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TDelegate<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = TDelegate<void(TObject* Sender, QChar& Key)>;

enum TDragMode { dmManual, dmAutomatic };
// A drag moves the control onto a target (dkDrag) or docks it (dkDock).
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TDragOverEvent =
    TDelegate<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TDelegate<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = TDelegate<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = TDelegate<void(TObject* Sender, TObject* Target, int X, int Y)>;
class TControl;
class TDragDockObject;
using TDockDropEvent = TDelegate<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
using TDockOverEvent =
    TDelegate<void(TObject* Sender, TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TGetSiteInfoEvent =
    TDelegate<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect, TPoint MousePos, bool& CanDock)>;
using TUnDockEvent = TDelegate<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;

// What an owner-drawn control is asked to paint (the LParam of CN_DRAWITEM):
// its state as ODS_ flags, the DC and the rectangle to fill.
enum : UINT { ODS_SELECTED = 0x0001, ODS_GRAYED = 0x0002, ODS_DISABLED = 0x0004, ODS_CHECKED = 0x0008,
              ODS_FOCUS = 0x0010 };
enum : UINT { ODT_BUTTON = 4 };
struct DRAWITEMSTRUCT {
    UINT CtlType = ODT_BUTTON;
    UINT itemState = 0;
    HDC hDC = nullptr;
    TRect rcItem;
};

struct TSizeConstraints {
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;  // 0: no limit
};

// The base of everything visible. Every message reaches the control through
// WindowProc, which is WndProc until someone replaces it; a replacement
// keeps the old value and calls it for the default behaviour.
class TControl : public TComponent, public TMessageReceiver {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    String ClassName() const override { return String::fromLatin1("TControl"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TWndMethod WindowProc;
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    void ReceiveMessage(TMessage& Message) override { WindowProc(Message); }

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int Value) { SetWidth(FWidth - ClientWidth() + Value); }
    void SetClientHeight(int Value) { SetHeight(FHeight - ClientHeight() + Value); }
    // Client coordinates to the screen and back.
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    // The offset of this control's client origin in its nearest windowed
    // ancestor that has a widget (itself for windowed controls).
    TPoint OriginInWindow() const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints Constraints() const { return FConstraints; }
    void SetConstraints(const TSizeConstraints& Value);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible here and in every parent up to a visible form.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

    String Caption() const { return FText; }
    void SetCaption(const String& Value) { SetText(Value); }
    String Text() const { return FText; }
    // Goes through WindowProc as WM_SETTEXT.
    void SetText(const String& Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    String Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    // Code that paints a control outside its own paint (as a copy, behind a
    // transparent neighbour) marks it with csPaintCopy for the duration.
    void SetControlState(TControlState Value) { FControlState = Value; }

    // Repaints the control: the widget's, or the part of the parent it covers.
    virtual void Invalidate();
    virtual void Update();
    void Repaint() { Invalidate(); Update(); }
    void BringToFront();
    void SendToBack();

    // The control's click, as a user's press and release would give it
    // (for code that takes the mouse from the control and clicks for it).
    void PerformClick() { Click(); }

    // ---- actions (ActnList.h): the linked action's caption, enabled,
    // hint, visible state and handler become the control's; a click runs it.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TControlActionLink* ActionLink() const { return FActionLink.get(); }
    // Brings the linked action up to date (its OnUpdate).
    void InitiateAction();
    // An action without a handler of its own asks the focused control and
    // its parents whether they act on it: True when this one did.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;

    // ---- dragging between controls of the program (see BeginDrag below)
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    // Shown over a target that accepts.
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    // Starts dragging this control: at once, or once the pointer has moved
    // Threshold pixels (-1: the mouse's DragThreshold) with a button held.
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends a drag of this control; Drop lets an accepting target take it.
    void EndDrag(bool Drop);
    bool Dragging() const;
    // A target is asked (Accept starts true only with an OnDragOver handler).
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    // The source hears where its drag ended (Target nullptr: nowhere).
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    // The source may supply its own drag object (OnStartDrag); nullptr
    // leaves the plain control object.
    virtual void DoStartDrag(TDragObject*& DragObject);
    // The pictures shown under the pointer while this control is dragged.
    virtual TDragImageList* GetDragImages() { return nullptr; }
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

    // ---- docking (see ControlsDock.cpp): with DragKind dkDock a drag of
    // the control looks for dock sites instead of drop targets.
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    // The site the control is docked in; nullptr when not docked.
    TWinControl* HostDockSite() const { return FHostDockSite; }
    // Docks the control into NewDockSite as a drop there would; nullptr
    // floats it (only a form can be a free window). False when the old
    // site keeps it (OnUnDock) or it cannot float. DropControl and
    // ControlSide reach the site in the dock object.
    bool ManualDock(TWinControl* NewDockSite, TControl* DropControl = nullptr, TAlign ControlSide = alNone);
    // Moves the control into NewDockSite (nullptr: floating at ARect, screen
    // coordinates), telling the site it leaves and the one it joins.
    virtual void Dock(TWinControl* NewDockSite, const TRect& ARect);
    // The size the control had before it was docked: it floats at that size.
    int UndockWidth() const { return FUndockWidth; }
    int UndockHeight() const { return FUndockHeight; }

    // The default window procedure; exposed so a replaced WindowProc can be
    // restored with WindowProc = TWndMethod(control, &TControl::WndProc).
    virtual void WndProc(TMessage& Message);

protected:
    // Routes the message to its handler; each class handles its messages and
    // hands the rest to its base class. The end of the chain is DefaultHandler.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual void Changed() {}
    // The toolkit must follow a property change (colour, font, text...).
    virtual void UpdateWidget() {}
    // Called after the control moved or resized.
    virtual void BoundsChanged(bool Moved, bool Resized);
    virtual void RequestAlign();
    // An action was linked: the control takes its settings (with
    // CheckDefaults only those the control has not set itself).
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    virtual TControlActionLinkClass GetActionLinkClass() const;

    // Font and colour changes travel to children that follow their parent.
    virtual void FontChanged();
    virtual void NotifyColorChanged();

    TCustomForm* ParentForm() const;
    TControlStyle FControlStyle;
    TControlState FControlState;
    String FText;

private:
    friend class TWinControl;
    void handleMouseDown(TMessage& Message, TMouseButton Button);
    void handleMouseUp(TMessage& Message, TMouseButton Button);
    void fontChangedEvent(TObject* Sender);
    void updateAnchorRules();

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    TRect FAnchorRules;  // distances kept by anchors: Left, Top, right gap, bottom gap
    TSizeConstraints FConstraints;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = false;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FUpdatingFont = false;
    String FHint;
    bool FShowHint = false;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    TDragMode FDragMode = dmManual;
    TCursor FDragCursor = crDrag;
    TDragKind FDragKind = dkDrag;
    TWinControl* FHostDockSite = nullptr;
    int FUndockWidth = 0, FUndockHeight = 0;
    std::unique_ptr<TControlActionLink> FActionLink;
};

// What the application is about to show as a hint: CM_HINTSHOW carries a
// pointer to it (LParam) to the control, which may change it or answer
// non-zero to show nothing. Points are in screen coordinates except
// CursorPos and CursorRect, which are the control's client coordinates.
struct THintInfo {
    TControl* HintControl = nullptr;
    const void* HintWindowClass = nullptr;
    TPoint HintPos;
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;       // the hint stays while the pointer is inside
    TPoint CursorPos;
    int ReshowTimeout = 0;  // ms; above 0 the hint is asked for again after it
    int HideTimeout = 0;    // ms; 0 keeps the hint until the pointer leaves
    String HintStr;
    void* HintData = nullptr;
};

// A control without a window: it paints on its parent's surface during the
// parent's paint, in z-order, and gets the mouse messages for its area.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    String ClassName() const override { return String::fromLatin1("TGraphicControl"); }
    // Valid during Paint.
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    void Dispatch(TMessage& Message) override;
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// Asks for WM_MOUSELEAVE once the pointer leaves the window (TME_LEAVE),
// or withdraws the request (with TME_CANCEL). A window the pointer is not
// over gets the message at once (posted). False when the window is gone.
enum : uint32_t { TME_LEAVE = 0x00000002, TME_CANCEL = 0x80000000 };
struct TRACKMOUSEEVENT {
    uint32_t cbSize = sizeof(TRACKMOUSEEVENT);
    uint32_t dwFlags = 0;
    HWND hwndTrack = nullptr;
    uint32_t dwHoverTime = 0;
};
bool TrackMouseEvent(TRACKMOUSEEVENT& EventTrack);

// The window's bounds in screen coordinates (frame included); false when
// Wnd names no windowed control.
bool GetWindowRect(HWND Wnd, TRect& R);

// The toolkit's default handling of the event being translated now.
struct TToolkitEvent {
    QEvent* Event = nullptr;
    UINT Msg = 0;
    std::function<bool(QEvent*)> Base;  // calls the widget class's own handler
    bool BaseCalled = false;
};

// A control with a QWidget of its own. The widget is made when first
// needed, by CreateWidget, the one place where each class names its widget.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    String ClassName() const override { return String::fromLatin1("TWinControl"); }

    HWND Handle();
    bool HandleAllocated() const { return FWidget != nullptr; }
    void HandleNeeded();
    QWidget* Widget();  // allocates

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(size_t(Index)); }
    // The topmost visible, enabled child control at P (client coordinates).
    TControl* ControlAtPos(TPoint P, bool AllowDisabled = false) const;

    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    // Windowed children in tab order, depth first.
    virtual void GetTabOrderList(std::vector<TWinControl*>& List) const;

    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();

    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign() { AlignControls(nullptr); }

    void Invalidate() override;
    void Update() override;
    // The widths of a frame the program draws itself around the client
    // area inside the control's widget (left, top, right, bottom); none by
    // default. Children, painting and mouse positions lie inside it.
    virtual TRect NonClientMargins() const { return TRect{0, 0, 0, 0}; }
    TPoint ClientOffset() const
    {
        const TRect m = NonClientMargins();
        return TPoint{m.Left, m.Top};
    }
    // Paints the control's own surface into Buffer as a paint of its window
    // does (background, then the control and its graphic children; windowed
    // children not). A standard widget's own look is not drawn.
    void PaintTo(QImage& Buffer);

    // Desktop files dropped on the control arrive as WM_DROPFILES.
    void SetAcceptFiles(bool Value);
    bool AcceptFiles() const { return FAcceptFiles; }

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // ---- dock site: controls dragged with DragKind dkDock (or docked in
    // code) become its dock clients.
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool Value) { FDockSite = Value; }
    int DockClientCount() const { return int(FDockClients.size()); }
    TControl* DockClients(int Index) const { return FDockClients.at(size_t(Index)); }
    // May Client dock here, and where does the site catch it (screen
    // coordinates; the site's window grown by 10 px by default)?
    virtual void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock);
    // Asked while a client is dragged over the site (Accept starts true);
    // the source's DockRect is where the client would land.
    virtual void DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept);
    // Takes the dragged client in and fires OnDockDrop.
    virtual void DockDrop(TDragDockObject* Source, int X, int Y);
    // May Client leave for NewTarget (nullptr: floating)? OnUnDock decides.
    virtual bool DoUnDock(TWinControl* NewTarget, TControl* Client);
    TDockDropEvent OnDockDrop;
    TDockOverEvent OnDockOver;
    TGetSiteInfoEvent OnGetSiteInfo;
    TUnDockEvent OnUnDock;

    // The one place where toolkit events become messages. The widget classes
    // call it from their event(); Base runs the widget class's own handling.
    bool ToolkitEvent(QWidget* W, QEvent* E, const std::function<bool(QEvent*)>& Base);
    void WndProc(TMessage& Message) override;

protected:
    virtual std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget);
    // Pushes the control's state into a new widget.
    virtual void InitializeWidget();
    virtual void DestroyWidget();
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void UpdateWidget() override;
    void BoundsChanged(bool Moved, bool Resized) override;
    void FontChanged() override;
    void NotifyColorChanged() override;

    virtual void AlignControls(TControl* AControl);
    virtual void AdjustClientRect(TRect& R) const { (void)R; }
    // Paints the control itself (the standard ones call the toolkit), then
    // its graphic children.
    virtual void PaintWindow(HDC DC);
    void PaintControls(HDC DC);
    virtual void EraseBackground(HDC DC);
    // Places the widgets of the windowed children again (after the client
    // area moved inside the widget).
    void PlaceChildWidgets();

    virtual void KeyDown(uint16_t& Key, TShiftState Shift);
    virtual void KeyUp(uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(QChar& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // True when the control wants the key itself (arrows in an edit...).
    virtual bool WantsKey(uint16_t Key) const { (void)Key; return false; }
    // Standard widgets draw themselves: their WM_PAINT default renders the
    // toolkit's look into the buffer.
    virtual bool ToolkitPaints() const { return false; }
    // A mouse event on a top-level window's own widget: true when the
    // window's frame took it (frame messages, moving or sizing the window).
    virtual bool NonClientMouse(QEvent* E) { (void)E; return false; }
    // A client joins (made a child here, at ARect in screen coordinates) or
    // has left (it has its new parent already).
    virtual void DoAddDockClient(TControl* Client, const TRect& ARect);
    virtual void DoRemoveDockClient(TControl* Client);
    // A right click: shows the popup menu of the control at P.
    void ContextPopup(TPoint P);
    // Runs fn with toolkit signals of the widget blocked, so a change the
    // program makes is not reported back as a user's change.
    void WithSignalsBlocked(const std::function<void()>& Fn);
    TToolkitEvent* CurrentToolkitEvent() const { return FToolkitEvent; }

private:
    friend class TControl;
    void insertControl(TControl* C);
    void removeControl(TControl* C);
    friend bool InvalidateRect(HWND Wnd, const TRect* R, bool Erase);
    // Marks Area (nullptr: the whole client area) for the next paint.
    void invalidate(const QRect* Area, bool Erase);
    void paintFromToolkit(QWidget* W, QEvent* E);
    // Clip (buffer coordinates) limits the paint to the part that needs it;
    // without Erase no WM_ERASEBKGND is sent.
    void paintBuffer(QImage& Buffer, TToolkitEvent* ToolkitPaint, const QRegion* Clip = nullptr, bool Erase = true);
    void createChildWidgets();
    void placeWidget();
    void dropFiles(QEvent* E);
    bool mouseToGraphicChild(TMessage& Message);
    void releaseGraphicCapture();
    // The graphic child under the pointer gets CM_MOUSEENTER / CM_MOUSELEAVE.
    void setHotControl(TControl* C);
    void syncZOrder();

    std::unique_ptr<QWidget> FWidget;
    std::vector<TControl*> FControls;     // z-order, bottom first (not owned)
    std::vector<TWinControl*> FTabList;   // tab order
    int FAlignLevel = 0;
    bool FTabStop = false;
    bool FAcceptFiles = false;
    bool FDockSite = false;
    std::vector<TControl*> FDockClients;  // not owned
    bool FTrackingLeave = false;  // TrackMouseEvent asked for WM_MOUSELEAVE
    bool FRenderingToolkit = false;
    bool FPlacing = false;
    QImage FBuffer;
    QRegion FNoEraseRegion;  // marked for painting without erase, not yet painted
    TToolkitEvent* FToolkitEvent = nullptr;
    TControl* FMouseControl = nullptr;  // graphic child holding the mouse
    TControl* FHotControl = nullptr;    // graphic child under the pointer
    friend class TCustomControl;
    friend bool TrackMouseEvent(TRACKMOUSEEVENT& EventTrack);
};

// A windowed control that paints itself through Paint on its Canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    String ClassName() const override { return String::fromLatin1("TCustomControl"); }
    // Valid during Paint.
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    void PaintWindow(HDC DC) override;
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// Marks R (the window's client coordinates; nullptr: the whole client area)
// for repainting. Marks add up until the window paints; the paint redraws
// only the marked parts, clipped to them, and erases the background first
// (WM_ERASEBKGND) unless all of it was marked without Erase. False when Wnd
// names no windowed control.
bool InvalidateRect(HWND Wnd, const TRect* R, bool Erase);

// The form that contains Control, or nullptr.
TCustomForm* GetParentForm(const TControl* Control);

// Qt key code <-> virtual key.
uint16_t QtKeyToVirtualKey(int QtKey);

// Explicit mouse capture. While a windowed control holds it, every mouse
// press, release and move of the application reaches that control (its
// client coordinates), whatever window is under the pointer; the routing
// runs through the application event hooks, so it works without a window
// system grab. Setting another holder (or nullptr) sends the old one
// WM_CAPTURECHANGED; a holder whose window goes away loses it silently.
void SetCaptureControl(TWinControl* Control);
TWinControl* GetCaptureControl();
// Convenience for a control that takes or gives up the capture itself.
bool HasMouseCapture(const TWinControl* Control);
void SetMouseCapture(TWinControl* Control, bool Value);

// The pointer: its position and the user's settings for it.
class TMouse {
public:
    // Lines one notch of the wheel scrolls (the system's default 3).
    int WheelScrollLines() const { return FWheelScrollLines; }
    void SetWheelScrollLines(int Value) { FWheelScrollLines = Value; }
    // Pixels the pointer must move with a button held before a drag starts.
    int DragThreshold() const { return FDragThreshold; }
    void SetDragThreshold(int Value) { FDragThreshold = Value; }
    TPoint CursorPos() const;
    void SetCursorPos(TPoint Value);
    TWinControl* Capture() const { return GetCaptureControl(); }

private:
    int FWheelScrollLines = 3;
    int FDragThreshold = 5;
};
// Always present.
extern TMouse* const Mouse;

// The screen cursor list: TCursor values beyond the built-in ones name
// cursors the program registers (its own pictures). A registered value
// also replaces a built-in one.
void RegisterScreenCursor(TCursor Value, const QCursor& Cursor);
void UnregisterScreenCursor(TCursor Value);
bool IsScreenCursorRegistered(TCursor Value);
// The cursor for Value: the registered one, else the built-in shape.
QCursor ScreenCursor(TCursor Value);

// ------------------------------------------------ dragging between controls
//
// One drag at a time runs in the program. It follows the pointer through
// the application's event hooks (no window-system drag): moves find the
// control under the pointer and ask it through DragOver, a release drops
// on an accepting target, Escape or losing the source cancels. Pressing or
// releasing a modifier asks the target again (the cursor may change).

// What is being dragged. A drag made by the program owns its object until
// the drag has finished; an object supplied by OnStartDrag stays its
// supplier's.
class TDragObject : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TDragObject"); }
    // crDrag over an accepting target, crNoDrop elsewhere.
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
    virtual TDragImageList* GetDragImages() { return nullptr; }
    // The drag is over: Target took it (Accepted) or not (Target nullptr).
    virtual void Finished(TObject* Target, int X, int Y, bool Accepted);
    virtual void HideDragImage();
    virtual void ShowDragImage();
    TPoint DragPos() const { return FDragPos; }  // screen
    TControl* DragTarget() const { return FDragTarget; }
    TPoint DragTargetPos() const { return FDragTargetPos; }  // the target's client coordinates
    bool Cancelling() const { return FCancelling; }
    bool Dropped() const { return FDropped; }

private:
    friend struct TDragDriver;
    TPoint FDragPos;
    TControl* FDragTarget = nullptr;
    TPoint FDragTargetPos;
    bool FCancelling = false;
    bool FDropped = false;
};

// A drag of a control: targets see the control as the source.
class TBaseDragControlObject : public TDragObject {
public:
    explicit TBaseDragControlObject(TControl* AControl) : FControl(AControl) {}
    String ClassName() const override { return String::fromLatin1("TBaseDragControlObject"); }
    TControl* Control() const { return FControl; }
    // Tells the control (DoEndDrag).
    void Finished(TObject* Target, int X, int Y, bool Accepted) override;

private:
    TControl* FControl;
};

class TDragControlObject : public TBaseDragControlObject {
public:
    using TBaseDragControlObject::TBaseDragControlObject;
    String ClassName() const override { return String::fromLatin1("TDragControlObject"); }
    // The control's DragCursor over an accepting target.
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;
    TDragImageList* GetDragImages() override;
};

// A drag (or a docking in code) of a control towards dock sites.
class TDragDockObject : public TBaseDragControlObject {
public:
    explicit TDragDockObject(TControl* AControl);
    String ClassName() const override { return String::fromLatin1("TDragDockObject"); }
    // Where the client would land, in screen coordinates; a site's
    // DockOver may change it.
    TRect DockRect() const { return FDockRect; }
    void SetDockRect(const TRect& Value) { FDockRect = Value; }
    TAlign DropAlign() const { return FDropAlign; }
    TControl* DropOnControl() const { return FDropOnControl; }

private:
    friend class TControl;
    TRect FDockRect;
    TAlign FDropAlign = alNone;
    TControl* FDropOnControl = nullptr;
};

// Image lists whose one chosen image follows the pointer during a drag, in
// a small window that never takes the mouse nor the activation.
class TDragImageList : public TImageList {
public:
    explicit TDragImageList(TComponent* AOwner);
    ~TDragImageList() override;
    String ClassName() const override { return String::fromLatin1("TDragImageList"); }
    // The image shown and the point of it that lies under the pointer.
    bool SetDragImage(int Index, int HotSpotX, int HotSpotY);
    TPoint DragHotspot() const { return FHotSpot; }
    // X, Y: the pointer's screen position.
    bool BeginDrag(int X, int Y);
    bool DragMove(int X, int Y);
    bool EndDrag();
    void ShowDragImage();
    void HideDragImage();
    bool Dragging() const { return FDragging; }
    // The window that shows the image (nullptr outside a drag).
    QWidget* DragWindow() const { return FWindow.get(); }

private:
    int FDragIndex = 0;
    TPoint FHotSpot;
    bool FDragging = false;
    std::unique_ptr<QWidget> FWindow;
};

// The running drag's object (nullptr when none runs).
TDragObject* GetDragObject();
// Hands the program-made object of the drag that is starting to the drag,
// which frees it once Finished has run. Returns it.
TDragObject* AdoptDragObject(std::unique_ptr<TDragObject> Object);
// The pointer is at P (screen): the target under it is asked. The event
// hooks call it for every move; code driving a drag without a pointer too.
void DragTo(TPoint P);
// Ends the running drag; Drop lets an accepting target take it.
void DragDone(bool Drop);
void CancelDrag();
// The control under the screen point P that may be a drag's target: the
// topmost windowed control of the window there (windows that let the mouse
// through are skipped), or its graphic child at P.
TControl* FindDragTarget(TPoint P, bool AllowDisabled);
// The dock site under P (screen) that takes Client in: the windowed control
// there or the nearest of its parents that is a DockSite, is not Client nor
// inside it, and agrees through GetSiteInfo. nullptr when none.
TWinControl* FindDockSite(TControl* Client, TPoint P);
