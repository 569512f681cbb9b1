// Messages.h - window messages as the controls exchange them: the message
// record, the numbers the program uses, window handles that may outlive their
// window, and posting through the Qt event loop (handled after the current one).
#pragma once
#include <QStringList>
#include <cstdint>
#include <memory>

#include "platform/rtl/Delegate.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

using TWndMethod = TDelegate<void(TMessage& Message)>;

constexpr int16_t LoWord16(LPARAM v) { return int16_t(uint16_t(uintptr_t(v) & 0xFFFF)); }
constexpr int16_t HiWord16(LPARAM v) { return int16_t(uint16_t((uintptr_t(v) >> 16) & 0xFFFF)); }
constexpr LPARAM MakeLParam(int lo, int hi) { return LPARAM(uint32_t(uint16_t(lo)) | (uint32_t(uint16_t(hi)) << 16)); }
constexpr uint16_t LoWord(uintptr_t v) { return uint16_t(v & 0xFFFF); }
constexpr uint16_t HiWord(uintptr_t v) { return uint16_t((v >> 16) & 0xFFFF); }
constexpr WPARAM MakeWParam(int lo, int hi) { return WPARAM(uint32_t(uint16_t(lo)) | (uint32_t(uint16_t(hi)) << 16)); }
// The point of a mouse message: client coordinates, signed 16-bit each.
constexpr TPoint PointFromLParam(LPARAM v) { return {LoWord16(v), HiWord16(v)}; }

// A context menu is asked for: WParam the window, LParam the screen point
// ((-1, -1) from the keyboard). A non-zero Result means the control handled
// it and no popup menu is shown.
enum : UINT { WM_CONTEXTMENU = 0x007B };
// Clipboard requests to an edit control (the default handling does them).
enum : UINT { WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304 };
// Sent to every form after the system colours changed.
enum : UINT { WM_SYSCOLORCHANGE = 0x0015 };
// A modal mode (a press, a drag, a scroll) is to end at once
// (the mouse capture is taken away).
enum : UINT { WM_CANCELMODE = 0x001F };

// Which keys a control asks for itself instead of leaving them to the
// window's dialog navigation (the sum of the DLGC_ codes it answers).
enum : UINT { WM_GETDLGCODE = 0x0087 };
// Sent to a form: wParam 0 moves the focus to the next tab stop, otherwise
// to the previous one (lParam 0).
enum : UINT { WM_NEXTDLGCTL = 0x0028 };
enum : LRESULT {
    DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_HASSETSEL = 0x8,
    DLGC_WANTCHARS = 0x80, DLGC_BUTTON = 0x2000
};

enum : UINT {
    WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A,
    WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014, WM_SHOWWINDOW = 0x0018, WM_SETCURSOR = 0x0020, WM_GETMINMAXINFO = 0x0024,
    WM_GETFONT = 0x0031, WM_GETICON = 0x007F, WM_SETICON = 0x0080,
    WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082, WM_NCCALCSIZE = 0x0083, WM_NCHITTEST = 0x0084,
    WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086, WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1,
    WM_NCLBUTTONUP = 0x00A2, WM_NCLBUTTONDBLCLK = 0x00A3, WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5,
    WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105,
    WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115,
    WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A, WM_CAPTURECHANGED = 0x0215,
    WM_MOUSELEAVE = 0x02A3,
    WM_DROPFILES = 0x0233,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
};

// Messages of the class library itself, and notifications reflected back to
// the control that sent them (CN_ = the parent's notification + CN_BASE).
enum : UINT {
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1,
    CM_DIALOGKEY = CM_BASE + 5, CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
    CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11, CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13, CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
    CM_TEXTCHANGED = CM_BASE + 18, CM_EXIT = CM_BASE + 27, CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20,
    // A grouped button went down: WParam its group, LParam the button.
    CM_BUTTONPRESSED = CM_BASE + 24,
    CM_RELEASE = CM_BASE + 33, CM_HINTSHOW = CM_BASE + 48,
    CM_CONTROLLISTCHANGE = CM_BASE + 44, CM_CONTROLCHANGE = CM_BASE + 54,
    // To a control's parent while the control is redrawn (WParam 1), or to a
    // control to have it redrawn (WParam 0).
    CM_INVALIDATE = CM_BASE + 52,
    // To a dock site: a client is leaving it for another site or floating
    // (WParam the new site or 0, LParam the client).
    CM_UNDOCKCLIENT = CM_BASE + 62,
    // To a dock site: a docked client got a message the site may follow
    // (WParam the client, LParam a TDockNotifyRec).
    CM_DOCKNOTIFICATION = CM_BASE + 67,
    CN_BASE = 0xBC00,
    CN_COMMAND = CN_BASE + WM_COMMAND, CN_HSCROLL = CN_BASE + WM_HSCROLL, CN_VSCROLL = CN_BASE + WM_VSCROLL,
    CN_KEYDOWN = CN_BASE + WM_KEYDOWN, CN_CHAR = CN_BASE + WM_CHAR, CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
    CN_DRAWITEM = CN_BASE + 0x002B,
};


// What CM_DOCKNOTIFICATION passes on: the message the docked client got
// (WM_SETTEXT with the text's String pointer, CM_VISIBLECHANGED).
struct TDockNotifyRec {
    UINT ClientMsg = 0;
    WPARAM MsgWParam = 0;
    LPARAM MsgLParam = 0;
};

// WM_NCCALCSIZE with WParam 1: LParam points here. rgrc[0] comes in as the
// window's new bounds and goes out as its client area.
struct NCCALCSIZE_PARAMS {
    TRect rgrc[3];
};
enum : LRESULT { WVR_VALIDRECTS = 0x0400 };
// WParam of WM_SIZE.
enum : WPARAM { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

// Which icon WM_GETICON and WM_SETICON name (WParam); the LParam of
// WM_SETICON and the result of WM_GETICON are a TIcon pointer (0: none).
enum : WPARAM { ICON_SMALL = 0, ICON_BIG = 1 };

// Notification codes (high word of WParam of WM_COMMAND / CN_COMMAND).
enum : uint16_t {
    BN_CLICKED = 0,
    EN_CHANGE = 0x0300,
    CBN_SELCHANGE = 1,
    LBN_SELCHANGE = 1,
};

// Control messages whose default handling changes the toolkit's widget.
enum : UINT {
    BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2,
    PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2, PBM_SETRANGE32 = WM_USER + 6,
    TBM_SETPOS = WM_USER + 5, TBM_SETRANGEMIN = WM_USER + 7, TBM_SETRANGEMAX = WM_USER + 8,
    CB_SETCURSEL = 0x014E, LB_SETCURSEL = 0x0186,
};

enum : WPARAM { BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2 };
// BM_GETSTATE adds these to the check state: the button is held down, has the focus.
enum : LRESULT { BST_PUSHED = 0x0004, BST_FOCUS = 0x0008 };

// WM_NCHITTEST results the frameless-window seam understands.
enum : LRESULT {
    HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3, HTMENU = 5, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12,
    HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17, HTBORDER = 18,
};
// WParam of WM_ACTIVATE.
enum : WPARAM { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

// Mouse key flags of the WParam of mouse messages.
enum : WPARAM { MK_LBUTTON = 0x01, MK_RBUTTON = 0x02, MK_SHIFT = 0x04, MK_CONTROL = 0x08, MK_MBUTTON = 0x10 };

// Virtual keys.
enum : uint16_t {
    VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08, VK_TAB = 0x09,
    VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
    VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_HELP = 0x2F,
    VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
    VK_F1 = 0x70, VK_F12 = 0x7B, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91,
};

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// KF_ALTDOWN in the high word of a key message's LParam.
constexpr LPARAM KF_ALTDOWN_LPARAM = LPARAM(0x20000000);

TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);

// A window handle: an id that names a window while it exists. Messages
// posted to a handle whose window has gone are dropped, as the original's
// handles were, so a worker may post without knowing the window's lifetime.
struct HWND__;
using HWND = HWND__*;

// Something that owns a handle and receives its messages (controls and
// hidden message windows).
class TMessageReceiver {
public:
    TMessageReceiver();
    virtual ~TMessageReceiver();
    TMessageReceiver(const TMessageReceiver&) = delete;
    TMessageReceiver& operator=(const TMessageReceiver&) = delete;

    HWND ReceiverHandle() const { return FHandle; }
    // Runs the message through the receiver's window procedure.
    virtual void ReceiveMessage(TMessage& Message) = 0;

private:
    HWND FHandle;
};

// The receiver that owns Wnd now, or nullptr. Main thread only.
TMessageReceiver* FindReceiver(HWND Wnd);
bool IsWindow(HWND Wnd);

// Queues a message for Wnd; it is handled by the event loop after the event
// being handled now. Any thread may post. False when Wnd names no window.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Looks through the messages posted and not yet handled, oldest first, for
// one to Wnd (nullptr: any window) in MsgFilterMin..MsgFilterMax (both 0:
// any message); copies the first into Found and, with Remove, takes it out
// of the queue. False when none waits.
bool PeekPostedMessage(HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax, TMessage* Found, bool Remove);
// Handles the message now (main thread) and returns its Result; 0 when Wnd
// names no window.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// A hidden window whose messages go to a method (for timers and components
// that need a handle but no widget).
class TMessageWindow : public TMessageReceiver {
public:
    explicit TMessageWindow(TWndMethod Method) : FMethod(std::move(Method)) {}
    void ReceiveMessage(TMessage& Message) override;

private:
    TWndMethod FMethod;
};
std::unique_ptr<TMessageWindow> AllocateHWnd(TWndMethod Method);

// Files dropped from the desktop: the WParam of WM_DROPFILES. The handle is
// valid while the message is being handled.
struct HDROP__;
using HDROP = HDROP__*;
// Index 0xFFFFFFFF gives the count as text-free query: use DragQueryFileCount.
int DragQueryFileCount(HDROP Drop);
String DragQueryFile(HDROP Drop, int Index);
// The drop point in the client coordinates of the receiving window.
TPoint DragQueryPoint(HDROP Drop);
// The layer frees the drop data itself after the message; kept for callers.
void DragFinish(HDROP Drop);

// The drop data the layer builds and hands out as an HDROP.
struct TDropFiles {
    QStringList Files;
    TPoint Point;
    HDROP AsHandle() { return reinterpret_cast<HDROP>(this); }
};
