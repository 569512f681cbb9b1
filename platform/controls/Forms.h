// Forms.h - top-level windows, the application object that runs the event
// loop (and the main-thread queue of the threads), and the screen.
#pragma once
#include <QApplication>
#include <memory>
#include <vector>

#include "platform/controls/Controls.h"

class TMainMenu;
class IDialogService;

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
enum : WPARAM { SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030, SC_RESTORE = 0xF120 };
// Show commands of the window placement record.
enum : UINT {
    SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5, SW_MINIMIZE = 6,
    SW_SHOWMINNOACTIVE = 7, SW_RESTORE = 9
};
enum : UINT { WPF_SETMINPOSITION = 1 };

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

    // The state follows the window when the user or the window manager
    // changes it; a hidden form keeps the state it will be shown in.
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    // The bounds the window has, or returns to, in the normal state. Setting
    // them while minimised or maximised keeps the state.
    TRect NormalBounds() const;
    void SetNormalBounds(const TRect& Value);

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
    bool NonClientPress(TPoint ScreenPos) override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);

private:
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
    void applyWindowState();
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

// Set while a TApplication exists.
extern TApplication* Application;
extern TScreen* Screen;
