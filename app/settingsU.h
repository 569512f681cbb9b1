// settingsU.h - the settings dialog: the program's options, kept in the
// registry by a form storage and handed to the main window as applied values.
#pragma once
#include "engine/FFLog.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/RadioGroup.h"
#include "platform/controls/StdCtrls.h"
#include "platform/rtl/Thread.h"
#include "support/KitFormStorage.h"

// The values the program runs with: those of the last OK (or of the restore).
struct TSettingsValues {
    bool OpenOutputFolder = false;
    bool PlayVideoAfter = false;
    bool OverwriteFiles = false;
    bool KeepAspect = false;
    bool ErrorMessages = true;
    bool JoinFiles = false;
    String ThreadNumber = QStringLiteral("1");
    TLogLevel LogLevel = llInfo;
    TThreadPriority ThreadPriority = tpNormal;

    // The thread count as a number: lenient, within 1 .. 4.
    int ThreadCount() const;
    bool operator==(const TSettingsValues&) const = default;
};

class TfrmSettings : public TForm {
public:
    // Storage is the main window's registry storage (not owned; may be nullptr).
    TfrmSettings(TComponent* AOwner, TKitCustomAppStorage* Storage);
    String ClassName() const override { return String::fromLatin1("TfrmSettings"); }

    TPageControl* PageControl1;
    TTabSheet* tsProgram;
    TTabSheet* tsLogLevel;
    TTabSheet* tsThreadPriority;
    TGroupBox* GroupBox1;
    TCheckBox* OpenOutputFolder;
    TCheckBox* PlayVideoAfter;
    TCheckBox* OverwriteFiles;
    TCheckBox* KeepAspect;
    TCheckBox* ErrorMessages;
    TCheckBox* JoinFiles;
    TLabel* Label1;
    TComboBox* ThreadNumber;
    TRadioGroup* LogLevel;
    TRadioGroup* ThreadPriority;
    TButton* bOk;
    TKitFormStorage* KitFormStorage1;

    // The deferred start-up's restore: stored values into the controls,
    // out-of-range indexes back to their defaults, then taken as applied.
    void RestoreSettings();
    // OK: saves the controls and makes them the applied values.
    void bOkClick(TObject* Sender);
    void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    // Shows the dialog; anything but OK puts the applied values back into the controls.
    TModalResult Execute();

    const TSettingsValues& Applied() const { return FApplied; }
    TSettingsValues ControlValues() const;
    void SetControlValues(const TSettingsValues& Values);

private:
    TSettingsValues FApplied;
};
