// SknForm.h - painting from skin images: one frame cut out of a strip of
// frames and composed at any size (9-slice, three-part bars, stretched or
// centred), key-colour transparency, window regions from the opaque pixels
// of a bitmap, painting a parent under a control, and the shared work
// bitmap of the skinned menu bar and status bar.
#pragma once
#include <QMenu>
#include <QPointer>
#include <memory>
#include <vector>

#include "platform/controls/ComCtrls.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/rtl/Types.h"

class QTimer;
class TBitmap;
class TCanvas;
class TControl;

// Pixels of this colour are see-through when an image is drawn transparent.
constexpr TColor SkinKeyColor = 0xFF00FF;

// Frames are numbered from 1; a count below 1 counts as 1 and an index
// outside 1..count is brought to the nearest end. A vertical strip stacks
// its frames. Margins hold the fixed left, top, right and bottom edges of a
// frame in source pixels. Stretching is nearest-neighbour throughout.
// Every routine draws nothing for an inverted target rectangle or an
// empty bitmap.

// A new bitmap of the target's size holding the composed frame: corners
// kept, edges and centre stretched (the centre tiled when TileCentre).
// Margins that do not fit the target (left + right wider, or top + bottom
// taller) are dropped in that direction.
std::unique_ptr<TBitmap> BuildSkinImage(const TRect& R, TBitmap* Source, const TRect& Margins, bool Vertical,
                                        bool TileCentre, int FrameCount, int FrameIndex);
void DrawSkinImage(HDC DC, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical, bool TileCentre,
                   bool Transparent, int FrameCount, int FrameIndex);
// Left cap, tiled middle, right cap (Margins.Left and .Right); a frame
// whose caps leave no middle draws the caps only.
void DrawSkinBar(TCanvas* Canvas, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical,
                 bool Transparent, int FrameCount, int FrameIndex);
// Left cap, stretched middle, right cap straight to the DC; a frame wider
// than the target is squeezed whole into it.
void DrawSkinImageH(HDC DC, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical, int FrameCount,
                    int FrameIndex);
// A frame of a horizontal strip, stretched to R / unscaled and centred in R.
void DrawSkinFrame(HDC DC, const TRect& R, TBitmap* Bitmap, int FrameCount, int FrameIndex, bool Transparent);
void DrawSkinFrameCentred(HDC DC, const TRect& R, TBitmap* Bitmap, int FrameCount, int FrameIndex,
                          bool Transparent);
// Fills DestRect with whole copies of SourceRect; the last row and column
// may reach past DestRect.
void TileSkinImage(TCanvas* Dest, const TRect& DestRect, TBitmap* Source, const TRect& SourceRect);
// The top-left of Bitmap (R's size) copied to R except its KeyColor pixels.
void DrawTransparentBitmap(HDC DC, const TRect& R, TBitmap* Bitmap, TColor KeyColor);
// Every pixel of Bitmap outside the key colour (each channel from the
// key's value up to that plus its tolerance), shifted by the offsets.
TRegion CreateRegionFromBitmap(TBitmap* Bitmap, int XOffset, int YOffset, int RedTolerance, int GreenTolerance,
                               int BlueTolerance, TColor KeyColor);
// Paints the control's parent (background erase, then paint) into DC,
// shifted and clipped so that DC shows what lies under the control. A
// failure of the parent's painting propagates, except at design time.
void DrawParentBackground(TControl* Control, HDC DC);

// The process-wide scratch bitmap (exists between the unit's start and end).
TBitmap* SkinWorkBitmap();
void SknFormInitialization();
void SknFormFinalization();

// ---- the form skinner -------------------------------------------------------

class TCustomForm;
class TSkinData;
class TSknForm;
class TDataSkinSysButton;
class TPopupMenu;
class TMainMenu;
class TMenu;
class TMenuItem;
class TMenuWindow;
class TToolBar;
class TToolButton;
class TSkinControl;
class TWinControl;
class QMenu;

// Something clickable in a skinned window's frame. States: 1 normal,
// 2 pressed, 3 hot. Rect is in window coordinates.
class TNCObject {
public:
    explicit TNCObject(TSknForm* Owner) : FOwner(Owner) {}
    virtual ~TNCObject() = default;
    TNCObject(const TNCObject&) = delete;
    TNCObject& operator=(const TNCObject&) = delete;

    virtual void MouseDown();
    virtual void MouseUp();
    virtual void MouseMove();
    virtual void MouseLeave();
    virtual void Paint() {}

    TSknForm* Owner() const { return FOwner; }
    TRect Rect;
    bool Visible = false;
    int State = 1;
    bool Enabled = true;

protected:
    TSknForm* FOwner;
};

// A caption button of the skin.
class TWinSysButton : public TNCObject {
public:
    TWinSysButton(TSknForm* Owner, TDataSkinSysButton* Button) : TNCObject(Owner), SkinButton(Button) {}
    void Paint() override;
    TDataSkinSysButton* SkinButton;
};

// A button of the skinned menu bar: one top-level item of the form's main
// menu. Rect is in window coordinates; State 2 pressed, 3 hot.
class TMenuBtn : public TNCObject {
public:
    explicit TMenuBtn(TSknForm* Owner) : TNCObject(Owner) {}
    void MouseDown() override;
    void Paint() override;
    String Caption;
    TMenuItem* Item = nullptr;
    bool HasSubmenu = false;
    uint16_t Command = 0;
};

// The menu bar a skinned window draws inside its frame in place of the
// form's own: one button per top-level item of the form's main menu.
class TSknMenu : public TComponent {
public:
    explicit TSknMenu(TSknForm* Owner);
    ~TSknMenu() override;
    String ClassName() const override { return String::fromLatin1("TSknMenu"); }
    // Rebuilds the buttons from the form's main menu and takes the
    // form's own bar off the window.
    void Build();
    // The buttons' rectangles (window coordinates), nothing painted.
    void Layout();
    // The bar on Canvas at Bar (window coordinates): background, captions,
    // then the frames of a pressed or hot button.
    void Paint(TCanvas* Canvas, const TRect& Bar);
    // The first button holding P whose caption is not empty.
    TMenuBtn* ButtonAt(TPoint P) const;
    int ButtonCount() const { return int(FButtons.size()); }
    TMenuBtn* Buttons(int Index) const { return FButtons.at(size_t(Index)).get(); }
    int IndexOf(const TMenuBtn* Button) const;
    TMainMenu* Menu() const { return FMenu; }
    TRect BarRect() const { return FBarRect; }
    // Where the first button starts from the bar's near edge.
    int Margin(int BarWidth) const;

private:
    void paintButton(TCanvas* Canvas, const TMenuBtn* Button);
    TSknForm* FSkinner;
    TMainMenu* FMenu = nullptr;
    std::vector<std::unique_ptr<TMenuBtn>> FButtons;
    TRect FBarRect;
    std::unique_ptr<TBitmap> FSnapshot;  // the painted bar without captions
};

// Skins one menu window: the skin's MenuBackground as its frame and
// background, composed at the window's size and kept so that the items can
// take their background from it. The window is its own menu here, so the
// skinner is bound to that menu from the start.
class TSknPopMenu {
public:
    TSknPopMenu();
    ~TSknPopMenu();
    TSknPopMenu(const TSknPopMenu&) = delete;
    TSknPopMenu& operator=(const TSknPopMenu&) = delete;

    void Hook(TMenuWindow* Window, TSkinData* SkinData);
    // Gives the window its procedure back and drops the cached background.
    void Unhook();
    bool Hooked() const { return FHooked; }
    void CallOriginal(TMessage& Message);
    void WndProc(TMessage& Message);
    void PaintFrame(TMessage& Message);
    void PrintWindow(TMessage& Message);
    TMenuWindow* Window() const { return FWindow; }
    // The menu whose items the window shows.
    const QMenu* BoundMenu() const;
    // The MenuBackground composed at the window's size at its last paint.
    TBitmap* Background() const { return FBackground.get(); }

private:
    bool composeBackground();
    TMenuWindow* FWindow = nullptr;
    TSkinData* FSkinData = nullptr;
    TWndMethod FOldWndProc;
    bool FHooked = false;
    std::unique_ptr<TBitmap> FBackground;
};

// The content of an owner-drawn menu item (Skinner's skin colours): glyph
// cell with the check mark or picture, caption and shortcut, mirrored for
// right-to-left menus. DrawMenuItemText draws or measures (DT_CALCRECT) one
// text of an item, a separator line for "-".
void DrawMenuItemText(TSknForm* Skinner, TMenuItem* Item, TCanvas* Canvas, uint32_t Flags, bool Selected,
                      TRect& R, const String& Text);
void DrawMenuItem(TSknForm* Skinner, TMenuItem* Item, TCanvas* Canvas, bool Selected, const TRect& R);
// The tool-bar button custom-draw handler: the skin's Buttons frame for the
// button's draw state behind its picture and caption.
void DrawToolButtonSkin(TSknForm* Skinner, TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                        bool& DefaultDraw);

// Caption-button flags of a skinned window.
enum : int { cbMaximize = 1, cbMinimize = 2, cbHelp = 4, cbSysMenu = 8, cbKeepSysMenu = 16 };
// Border kinds: sizeable, fixed with caption, no caption, dialog.
enum : int { bkSizeable = 0, bkFixed = 1, bkNoCaption = 2, bkDialog = 3 };
// Window states as the skinner keeps them.
enum : int { wkNormal = 0, wkMaximized = 1, wkMinimized = 2 };

// Skins one form: it takes the form's window procedure, finishes skinning
// when the manager's "finish" message arrives, answers the frame's
// messages, and gives everything back when unskinned. States: 0 attached
// (waiting for "finish"; a form without frame skinning skips it), 5 while
// sized, 1 normal, 3 while a skin change is applied, 4 while the window is
// destroyed, 6 done with (the manager drops it).
class TSknForm : public TComponent {
public:
    explicit TSknForm(TComponent* AOwner);
    ~TSknForm() override;
    String ClassName() const override { return String::fromLatin1("TSknForm"); }

    // Takes the form's window procedure and gives it the skin's face colour.
    void AttachForm(TCustomForm* Form, TSkinData* SkinData);
    // Reads the window's facts and, with frame skinning, the frame's sizes.
    void Init();
    // Gives the form its colour, window procedure and the window system's
    // frame back at the same client size; state 6.
    void Unskin(bool Repaint);
    // Sizes the window so that its client area keeps its size inside the
    // skinned frame (a maximised window only gets a frame change). Without
    // KeepClient a dialog box also widens to fit its caption, its controls
    // moving right by half the growth.
    void UpdateWindowSize(bool KeepClient);
    // The form's window procedure while the skinner is attached: caption
    // changes, the skin's own form messages, then the skinner's frame.
    void FormWindowProc(TMessage& Message);
    // The same without restoring anything (the window is going away).
    void Detach();
    // Applies the skin again after a skin change.
    void ApplySkinColours();
    // Sends the after-skin notification and calls OnAfterSkinForm.
    void FireAfterSkinForm();
    // One step of the hover timer: the pointer's leaving a caption button,
    // and its hint after twice the application's HintPause.
    void HoverTick(TPoint CursorPos);
    static constexpr int HoverInterval = 250;

    int State() const { return FState; }
    TCustomForm* Form() const { return FForm; }
    TSkinData* SkinData() const { return FSkinData; }

    // ---- the window's facts, read from the form's style
    void ReadStyles();
    bool FrameSkinning() const { return FFrameSkinning; }
    int BorderKind() const { return FBorderKind; }
    int CaptionButtonFlags() const { return FCaptionButtonFlags; }
    bool DialogBox() const { return FDialogBox; }
    bool RightToLeft() const { return FRightToLeft; }
    void SetRightToLeft(bool Value) { FRightToLeft = Value; }
    bool PopupWindow() const { return FPopupWindow; }
    int WindowStateKind() const { return FWindowState; }
    void SetWindowStateKind(int Value) { FWindowState = Value; }
    bool Active() const { return FActive; }
    void SetActiveFlag(bool Value) { FActive = Value; }

    // ---- the skinned frame
    // Border sizes from the border images (frames of the Top and Bottom
    // images stacked, of Left and Right side by side); all 0 without a
    // caption. Rebuilds the caption buttons.
    void ComputeFrameMetrics();
    int LeftWidth() const { return FLeftWidth; }
    int TopHeight() const { return FTopHeight; }
    int RightWidth() const { return FRightWidth; }
    int BottomHeight() const { return FBottomHeight; }
    int MenuHeight() const { return FMenuHeight; }
    // The client area inside a window of the given bounds.
    TRect ClientInWindow(const TRect& Window) const;
    // The skin's answer to a hit test the form answered Previous to (at P,
    // window coordinates): the caption and menu band take the place of
    // HTNOWHERE and HTCAPTION; every other answer stands.
    LRESULT HitTest(TPoint P, LRESULT Previous) const;
    // Screen to window coordinates.
    TPoint ScreenToWindow(TPoint P) const;
    // The whole frame of a W x H window on Canvas (window coordinates).
    void PaintNC(TCanvas* Canvas, int W, int H);
    // 1 Left, 2 Right, 3 Top, 4 Bottom.
    void PaintBorder(int Which, const TRect& R, TCanvas* Canvas);
    void PaintCaption(TCanvas* Canvas, int W);
    void PaintCaptionText(TCanvas* Canvas, const TRect& R);
    // The caption text's place at the last paint.
    TRect CaptionTextRect() const { return FCaptionTextRect; }
    // The window's shape at W x H: every pixel outside the key colour of
    // the borders marked Trans; an empty region when none is.
    TRegion WindowRegion(int W, int H);
    // Gives the window the shape of its size (not again for the same size).
    void UpdateWindowRegion();
    void RemoveWindowRegion();

    // ---- caption buttons
    void BuildCaptionButtons();
    const std::vector<std::unique_ptr<TWinSysButton>>& CaptionButtons() const { return FCaptionButtons; }
    bool IsCaptionButtonVisible(int Index) const;
    void LayoutCaptionButtons(int WindowWidth);
    void PaintCaptionButtons(TCanvas* Canvas);
    void PaintCaptionButton(TWinSysButton* Button, int State);
    TNCObject* CaptionButtonAt(TPoint P) const;
    TNCObject* MouseObject() const { return FMouseObject; }
    void SetMouseObject(TNCObject* Value) { FMouseObject = Value; }
    // Carries out the action of the button under the mouse (X, Y: window
    // coordinates, where the system menu opens).
    void ExecuteCaptionButton(int X, int Y);
    // The hover hint of an action: "Close", "Maximize", "Minimize",
    // "Restore" or nothing.
    static String CaptionButtonHint(int Action);
    // The window icon on magenta, small-icon size.
    TBitmap* WindowIconBitmap() const { return FWindowIcon.get(); }
    void BuildWindowIcon();
    // Repaints the frame at once (the form's non-client paint).
    void InvalidateFrame();
    // The skinned system menu at a screen point; a second request within
    // the double-click time closes the window instead when it came from a
    // caption button.
    void ShowSystemMenu(TPoint P);
    // A new popup menu (Tag 33333) with one item per entry of the form's
    // system menu, enabled by the window's state and boxes.
    void BuildSystemMenu();
    TPopupMenu* SystemPopupMenu() const { return FSystemMenu.get(); }
    static constexpr intptr_t SystemMenuTag = 33333;

    // ---- the skinned menu bar
    TSknMenu* MenuBar() const { return FMenuBar.get(); }
    // Opens the button's submenu below it (after running the item's
    // click); false for an item without one.
    bool ShowMenuButton(TMenuBtn* Button);
    // Closes the open bar menu and opens Button's once it is closed.
    void SwitchToMenuButton(TMenuBtn* Button);
    // The first enabled, visible button whose caption marks Key.
    TMenuBtn* FindMenuButtonByAccel(QChar Key) const;
    bool BarMenuOpen() const { return FBarMenuOpen; }
    // Repaints the bar for a button's change of state.
    void PaintMenuButton(TMenuBtn* Button);
    // The button whose menu is open (-1: none).
    int TrackedButton() const { return FTrackIndex; }
    QMenu* TrackedMenu() const;

    // ---- owner-drawn menu items
    void DrawMenuItemHandler(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected);
    void MeasureMainMenuItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void MeasurePopupMenuItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    // Owner draw for the form's main menus (with xcMenuItem) and its
    // popup menus (with xcPopupMenu, Tag not DisableTag), and the forms'
    // it owns; SkinToolButtonMenu for a tool-bar button's item and all
    // below it. UnskinMenus takes it all back.
    void SkinMenus();
    void SkinMainMenu(TMainMenu* Menu);
    void SkinPopupMenu(TPopupMenu* Menu);
    void SkinToolButtonMenu(TMenuItem* Item);
    void UnskinMenus();
    // The tool-bar button handler bound to this skinner.
    void DrawToolButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw);

    // ---- control skinners
    // Skins the form's controls: its owned components, then its windowed
    // controls in tab order, each that is not yet handled.
    void SkinChildControls();
    void SkinOwnedComponents(TComponent* Component);
    void SkinChildren(TWinControl* Control);
    // Picks and attaches the skinner of one control (Form: the form or
    // component the control was reached from): Tag = DisableTag (with the
    // buttons of a radio or check group), OnSkinControl, the Skin3rd map,
    // then the built-in table of control classes.
    void SkinControl(TControl* Control, TComponent* Form);
    // The Skin3rd line for the lower-case ClassName (the first wins) and
    // its kind's skinner; true whenever a line matched.
    bool MapBySkin3rd(const String& ClassName, TControl* Control);
    bool IsControlSkinned(TControl* Control) const;
    bool IsHandled(TControl* Control) const;
    // True when it was listed already (it is added when not).
    bool AddSkinner(TSkinControl* Skinner);
    void RemoveSkinnerFromList(TSkinControl* Skinner);
    // Frees every control skinner; Unskin first gives each its control's
    // look back (not for a skinner whose window is gone).
    void FreeSkinners(bool Unskin);
    // Frees the skinner of the window and attaches a new scroll-bar
    // skinner to its control.
    void ReplaceScrollbarSkinner(HWND Window);
    // The tool bar's background from the skin's made Toolbar image.
    void DrawToolBarBackground(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw);
    const std::vector<TSkinControl*>& ControlSkinners() const { return FControlSkinners; }
    // The skinner attached to Control (as its control or repaint target).
    TSkinControl* FindControlSkinner(const TControl* Control) const;
    // Makes the named skinner for Control and attaches it; nullptr when
    // no skinner of that name exists.
    TSkinControl* AttachSkinner(const String& SkinnerClass, TControl* Control, bool SetColor, int Variant = 0);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TSkinControl*> FControlSkinners;  // owned by their controls
    std::vector<TToolBar*> FCustomDrawnToolBars;  // tool bars given our handlers
    std::unique_ptr<TCanvas> FControlCanvas;     // lent to the control skinners
    void skinByKind(const String& Kind, TControl* Control);
    bool builtInTable(TControl* Control, TComponent* Form);
    void menuMessage(TMessage& Message);
    bool menuKey(TMessage& Message);
    void startMenuTracking(QMenu* Menu);
    void stopMenuTracking();
    bool trackEvent(QObject* Receiver, QEvent* Event);
    void markOwnerDrawn(TMenu* Menu);
    void clearMenuHandlers(TMenuItem* Item);
    std::unique_ptr<TSknMenu> FMenuBar;
    std::vector<TMenu*> FOwnerDrawnMenus;     // menus made owner-drawn here
    std::vector<TMenuItem*> FOwnerDrawnItems;  // tool-bar items given the handlers
    bool FBarMenuOpen = false;
    int FTrackIndex = -1;
    int FPendingIndex = -1;   // the button to open once the open menu closed
    bool FSwitching = false;
    int FTrackHook = 0;
    TPoint FLastMouse;
    QPointer<QMenu> FTrackedMenu;
    QMetaObject::Connection FHideConnection;

private:
    void SkinWndProc(TMessage& Message);
    // The frame's messages; true when handled here.
    bool frameMessage(TMessage& Message);
    void finish();
    void startHoverTimer();
    void stopHoverTimer();

    TCustomForm* FForm = nullptr;
    TSkinData* FSkinData = nullptr;
    TWndMethod FOldWndProc;
    TColor FOldColor = clBtnFace;
    bool FAttached = false;
    int FState = 0;

    bool FFrameSkinning = false;
    int FBorderKind = bkSizeable;
    int FCaptionButtonFlags = 0;
    bool FDialogBox = false;
    bool FRightToLeft = false;
    bool FPopupWindow = false;
    int FWindowState = wkNormal;
    bool FActive = true;
    int FLeftWidth = 0, FTopHeight = 0, FRightWidth = 0, FBottomHeight = 0, FMenuHeight = 0;
    TRect FCaptionTextRect;
    std::vector<std::unique_ptr<TWinSysButton>> FCaptionButtons;
    TNCObject* FMouseObject = nullptr;
    std::unique_ptr<TBitmap> FWindowIcon;
    std::unique_ptr<QTimer> FHoverTimer;
    std::unique_ptr<TPopupMenu> FSystemMenu;
    int64_t FSystemMenuShown = -1;  // ms of a steady clock; -1: never
    int FRegionWidth = 0, FRegionHeight = 0;
    bool FRegionSet = false;
    bool FButtonPaintPending = false;
    TPoint windowToScreen(TPoint P) const;
    bool visibilityHolds(int Code, bool Second, int Action) const;
};
