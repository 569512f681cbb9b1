// Dialogs.h - the open-file dialog, the folder browser and message boxes,
// all behind one service that tests replace; message boxes are our own forms.
#pragma once
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/rtl/Set.h"

class TStrings;
class TStringList;
class TCustomForm;

namespace DialogsConsts {
VORLANE_RESOURCESTRING(SMsgDlgWarning, "Warning");
VORLANE_RESOURCESTRING(SMsgDlgError, "Error");
VORLANE_RESOURCESTRING(SMsgDlgInformation, "Information");
VORLANE_RESOURCESTRING(SMsgDlgConfirm, "Confirm");
VORLANE_RESOURCESTRING(SMsgDlgYes, "&Yes");
VORLANE_RESOURCESTRING(SMsgDlgNo, "&No");
VORLANE_RESOURCESTRING(SMsgDlgOK, "OK");
VORLANE_RESOURCESTRING(SMsgDlgCancel, "Cancel");
VORLANE_RESOURCESTRING(SMsgDlgAbort, "&Abort");
VORLANE_RESOURCESTRING(SMsgDlgRetry, "&Retry");
VORLANE_RESOURCESTRING(SMsgDlgIgnore, "&Ignore");
VORLANE_RESOURCESTRING(SMsgDlgAll, "&All");
VORLANE_RESOURCESTRING(SMsgDlgNoToAll, "N&o to All");
VORLANE_RESOURCESTRING(SMsgDlgYesToAll, "Yes to &All");
}  // namespace DialogsConsts

// MessageBox flags and results.
enum : UINT {
    MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5, MB_ICONSTOP = 0x10, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30, MB_ICONEXCLAMATION = 0x30, MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

enum TOpenOption { ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
                   ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
                   ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
                   ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent,
                   ofForceShowHidden };
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog;

// Where dialogs come from. The built-in service shows real dialogs; a test
// puts its own in Application->SetDialogService.
class IDialogService {
public:
    virtual ~IDialogService() = default;
    // Fills the dialog's Files and FileName (and FilterIndex) on success.
    virtual bool ExecuteOpen(TOpenDialog& Dialog) = 0;
    virtual bool BrowseForFolder(const String& Caption, String& Folder) = 0;
    // Returns IDOK, IDCANCEL, IDYES...
    virtual int MessageBox(const String& Text, const String& Caption, UINT Flags) = 0;
    // Returns mrOk, mrYes...
    virtual TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) = 0;
};

std::unique_ptr<IDialogService> CreateDefaultDialogService();

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    String ClassName() const override { return String::fromLatin1("TOpenDialog"); }

    bool Execute();

    // "Text files (*.txt)|*.txt|All files|*.*"; FilterIndex counts from 1.
    const String& Filter() const { return FFilter; }
    void SetFilter(const String& Value) { FFilter = Value; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& Value) { FFileName = Value; }
    const String& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const String& Value) { FInitialDir = Value; }
    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }
    const String& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const String& Value) { FDefaultExt = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    // The chosen files (one unless ofAllowMultiSelect).
    TStrings* Files() const;

    // The filter as (name, patterns) pairs; a trailing name without a
    // pattern is dropped.
    struct TFilterEntry {
        String Name;
        QStringList Patterns;
    };
    static std::vector<TFilterEntry> ParseFilter(const String& Filter);

private:
    String FFilter, FFileName, FInitialDir, FTitle, FDefaultExt;
    int FFilterIndex = 1;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
    std::unique_ptr<TStringList> FFiles;
};

// The folder browser; false when the user cancelled.
bool SelectDirectory(const String& Caption, String& Directory);

TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
int MessageBox(const String& Text, const String& Caption, UINT Flags);
void ShowMessage(const String& Msg);

// The form the built-in service shows: a text, an icon and a row of buttons
// whose ModalResults end it. Owned by the caller.
std::unique_ptr<TCustomForm> CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
