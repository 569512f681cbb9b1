// Forms.h - top-level windows, the application object that runs the event
// loop (and the main-thread queue of the threads), and the screen.
#pragma once
#include <QApplication>
#include <memory>
#include <vector>

#include "platform/controls/Controls.h"

class TMainMenu;
class IDialogService;
class TIcon;
class QTimer;

namespace FormsConsts {
VORLANE_RESOURCESTRING(SCannotShowModal, "Cannot make a visible window modal");
}  // namespace FormsConsts

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;

// WM_SYSCOMMAND commands a form carries out itself.
enum : WPARAM {
    SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030, SC_NEXTWINDOW = 0xF040,
    SC_PREVWINDOW = 0xF050, SC_CLOSE = 0xF060, SC_KEYMENU = 0xF100, SC_RESTORE = 0xF120, SC_CONTEXTHELP = 0xF180
};
// Show commands of the window placement record.
enum : UINT {
    SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5, SW_MINIMIZE = 6,
    SW_SHOWMINNOACTIVE = 7, SW_RESTORE = 9
};
enum : UINT { WPF_SETMINPOSITION = 1 };

// One entry of a window's system menu: a WM_SYSCOMMAND command (0 for a
// separator), its text and its state (MF_ flags).
enum : UINT { MF_ENABLED = 0, MF_GRAYED = 1, MF_DISABLED = 2, MF_CHECKED = 8 };
struct TSystemMenuItem {
    WPARAM Command = 0;
    String Text;
    UINT State = MF_ENABLED;
};

using TCloseEvent = TDelegate<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TDelegate<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    String ClassName() const override { return String::fromLatin1("TCustomForm"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // Runs OnCreate; TApplication::CreateForm calls it once the form is built.
    virtual void AfterConstruction();

    void Show();
    void Hide() { SetVisible(false); }
    // A form docked into a site (given a parent) is a child window there
    // without a frame; taken out again it is a window of its own.
    void SetParent(TWinControl* AParent) override;
    // Shows the form and runs the event loop until ModalResult is set (by a
    // button's ModalResult, Close, or the program); hides it and returns it.
    virtual TModalResult ShowModal();
    // CloseQuery, then OnClose decides: hide (the default), free (a form
    // with an owner is freed after the current message), minimize or stay.
    // Closing the main form ends the application.
    void Close();
    virtual bool CloseQuery();
    // Frees the form after the message being handled (only forms with an owner).
    void Release();
    bool Modal() const { return FModal; }

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    // The window's own icon (empty: the application's). A change reaches
    // the window as WM_SETICON; WM_GETICON answers the icon shown.
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(const TIcon* Value);

    // The state follows the window when the user or the window manager
    // changes it; a hidden form keeps the state it will be shown in.
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    // The bounds the window has, or returns to, in the normal state. Setting
    // them while minimised or maximised keeps the state.
    TRect NormalBounds() const;
    void SetNormalBounds(const TRect& Value);

    // ---- the frame drawn by the program
    // With a custom frame the window has no frame of the window system: the
    // form's bounds are the whole window, WM_NCCALCSIZE places the client
    // area inside it, WM_NCPAINT paints the rest (with a DC over the whole
    // window), WM_NCHITTEST tells the parts apart (the default gives the
    // borders, corners and caption), presses on it arrive as WM_NC* mouse
    // messages and activation as WM_NCACTIVATE. Switching recreates the
    // native window at the same place, client size and focus.
    bool CustomFrame() const { return FCustomFrame; }
    void SetCustomFrame(bool Value);
    TRect NonClientMargins() const override;
    TRect ClientRect() const override;
    // Asks WM_NCCALCSIZE again, places the client area and repaints.
    void FrameChanged();
    // The window's shape (nullptr or an empty region: the whole window).
    void SetWindowRegion(const TRegion* Region);
    bool HasWindowRegion() const { return !FWindowRegion.isEmpty(); }
    QRegion WindowRegion() const { return FWindowRegion; }
    // Moves the window with the pointer (Hit HTCAPTION) or sizes it by the
    // edge or corner Hit names, from the pointer's screen position Start.
    // The window system does it when it can; otherwise the form grabs the
    // pointer and follows it itself, within its constraints.
    void StartMoveSize(LRESULT Hit, TPoint Start);
    bool MovingOrSizing() const { return FDrag.Hit != HTNOWHERE; }
    // The system menu as it stands now: restore, move, size, minimise,
    // maximise, a separator and close, enabled by state and border icons.
    std::vector<TSystemMenuItem> SystemMenu() const;
    // The area a maximised window fills: the available part of its screen.
    TRect MaximizedBounds() const;
    // The menu keys, from any control of the form as they go down and up:
    // Alt with a letter or digit (and no other shift key) is offered as
    // CM_DIALOGCHAR; F10, Alt pressed and released alone, and Alt+Space
    // become WM_SYSCOMMAND SC_KEYMENU with the key (0 for the first two).
    // True when the key was taken.
    bool MenuKey(uint16_t Key, TShiftState Shift, LPARAM KeyData, bool Down);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;
    void AdjustClientRect(TRect& R) const override;
    bool NonClientMouse(QEvent* E) override;
    void BoundsChanged(bool Moved, bool Resized) override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    // The last word on the window's kind and hints, after the border and
    // form styles chose them (a tool window, one that lets input through).
    virtual void AdjustWindowFlags(Qt::WindowFlags& Flags) const { (void)Flags; }

private:
    void selectNextTabStop(bool GoForward);
    void applyPosition();
    void applyWindowFlags();

    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FKeyPreview = false;
    bool FShown = false;      // the widget is showing
    bool FPositioned = false;
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TMainMenu* FMenu = nullptr;
    TWinControl* FActiveControl = nullptr;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TWindowState FWindowState = wsNormal;
    TRect FNormalBounds;
    bool FApplyingState = false;
    std::unique_ptr<TIcon> FIcon;
    bool FCustomFrame = false;
    TRect FNCMargins{0, 0, 0, 0};
    QRegion FWindowRegion;
    TWindowState FStateBeforeMinimize = wsNormal;
    bool FAltAlone = false;  // Alt is down and no other key came since
    struct TDrag {
        LRESULT Hit = HTNOWHERE;
        TPoint Start;
        TRect Bounds;
    } FDrag;
    void recalcNonClient();
    bool sizeable() const;
    void dragTo(TPoint Pos);
    void endDrag();
    LRESULT defaultHitTest(TPoint ScreenPos) const;
    void applyWindowState();
    void iconChanged(TObject* Sender);
};

// The window system's placement record of a form: its show command and the
// bounds of its normal state. Positions of the minimised and maximised
// window are not kept by the toolkit and read as (-1, -1).
struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = SW_SHOWNORMAL;
    TPoint ptMinPosition{-1, -1};
    TPoint ptMaxPosition{-1, -1};
    TRect rcNormalPosition;
};
// False when Wnd names no form. A show command of SW_HIDE leaves the form's
// visibility and state alone.
bool GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement);
bool SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement);
bool IsIconic(HWND Wnd);

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TForm"); }
};

using TExceptionEvent = TDelegate<void(TObject* Sender, const Exception& E)>;
using TShowHintEvent = TDelegate<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// The small window that shows a hint: a border and wrapped text on the
// hint colour, never taking the activation from the window under it.
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    ~THintWindow() override;
    String ClassName() const override { return String::fromLatin1("THintWindow"); }

    // The bounds AHint needs at (0, 0), its lines wrapped at words to no
    // more than MaxWidth.
    virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
    // Shows AHint at Rect (screen coordinates), moved to lie on the screen.
    virtual void ActivateHint(TRect Rect, const String& AHint);
    virtual void ActivateHintData(const TRect& Rect, const String& AHint, void* AData);
    // Hides the window and frees its widget.
    void ReleaseHandle();

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Paint() override;
};

// Extracts the part of a hint before the first '|' (the short hint) or
// after it (the long hint); a hint without '|' is both.
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);

// The program: one per process, reachable as Application. It wraps the
// QApplication (making one, with high-DPI scaling off, if none exists),
// runs queued thread calls from the loop and receives every exception that
// reaches a dispatch point.
class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;
    String ClassName() const override { return String::fromLatin1("TApplication"); }

    // Makes the QApplication when none exists yet.
    void Initialize();
    void Initialize(int& Argc, char** Argv);

    String Title() const { return FTitle; }
    void SetTitle(const String& Value);

    // Creates a form owned by the application; the first becomes MainForm.
    template <class T>
    void CreateForm(T*& Reference)
    {
        auto form = std::make_unique<T>(this);
        Reference = form.get();
        if (FMainForm == nullptr)
            FMainForm = Reference;
        form.release();  // owned by the application (TComponent ownership)
        Reference->AfterConstruction();
    }
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* Value) { FMainForm = Value; }

    // Shows the main form and handles events until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles the pending events and queued thread calls, then returns.
    void ProcessMessages();
    // Waits for and handles events once.
    void HandleMessage();

    // Call inside a catch block: hands the exception to OnException, or
    // shows it in a message box.
    void HandleException(TObject* Sender);
    void ShowException(const Exception& E);
    TExceptionEvent OnException;

    // The program's icon, shown by windows without one of their own.
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(const TIcon* Value);

    // Hints: the pointer resting HintPause ms on a control whose ShowHint
    // (or a parent's) is set shows its short hint for HintHidePause ms;
    // moving to another control while one shows takes HintShortPause ms.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    // Asked before a hint shows: may change the text and the placement, or
    // refuse.
    TShowHintEvent OnShowHint;
    // Every mouse message of a control passes here (see TControl::WndProc).
    void HintMouseMessage(TControl* Control, TMessage& Message);
    // Shows the hint of the control under the pointer now (CursorPos in
    // screen coordinates).
    void ActivateHint(TPoint CursorPos);
    // Hides the hint and forgets the control; the next move starts anew.
    void CancelHint();
    // Hides the hint; it comes back once the pointer leaves its area.
    void HideHint();
    // nullptr until a hint was shown.
    THintWindow* HintWindow() const { return FHintWindow.get(); }
    TControl* HintControl() const { return FHintControl; }
    // Forgets a hint control that goes away.
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Dialogs go through this service; tests put their own in its place.
    IDialogService* DialogService() const;

    // While True (the default), a change of the regional settings reaches
    // the runtime's format settings and the formats built from them.
    bool UpdateFormatSettings() const { return FUpdateFormatSettings; }
    void SetUpdateFormatSettings(bool Value) { FUpdateFormatSettings = Value; }
    // nullptr restores the built-in service. Not owned.
    void SetDialogService(IDialogService* Value) { FDialogService = Value; }

private:
    void exceptionReached(const Exception& E);
    // A termination signal arrived while Run was handling events.
    void sessionEnding();

    String FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FShowingException = false;
    bool FUpdateFormatSettings = true;
    std::unique_ptr<QApplication> FOwnQtApp;
    std::unique_ptr<IDialogService> FDefaultDialogs;
    IDialogService* FDialogService = nullptr;
    int FArgc = 1;
    char* FArgv[2] = {nullptr, nullptr};

    enum THintTimer { htNone, htShow, htReshow, htHide };
    void startHintTimer(int Milliseconds, THintTimer Kind);
    void hintTimerExpired();
    void setHintControl(TControl* Control);
    std::unique_ptr<TIcon> FIcon;
    bool FShowHint = true;
    TColor FHintColor = clInfoBk;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    TControl* FHintControl = nullptr;
    bool FHintActive = false;
    TRect FHintCursorRect;
    TPoint FHintMousePos;  // screen coordinates of the last move
    THintTimer FHintTimerKind = htNone;
    std::unique_ptr<QTimer> FHintTimer;
    std::unique_ptr<THintWindow> FHintWindow;
};

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TScreen"); }
    int Width() const;
    int Height() const;
    // The application-wide cursor (crDefault lets each control choose).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(size_t(Index)); }
    int PixelsPerInch() const { return 96; }
    // The rectangle around every monitor.
    int DesktopLeft() const;
    int DesktopTop() const;
    int DesktopWidth() const;
    int DesktopHeight() const;
    // The monitor that holds P, or -1 when P lies on none.
    int MonitorIndexFromPoint(TPoint P) const;

private:
    friend class TCustomForm;
    TCursor FCursor = crDefault;
    std::vector<TCustomForm*> FForms;
};

// The work area (the screen without panels the desktop keeps for itself) of
// the monitor nearest to P; the primary screen's when no monitor is known.
TRect GetMonitorWorkArea(TPoint P);

// Set while a TApplication exists.
extern TApplication* Application;
extern TScreen* Screen;
