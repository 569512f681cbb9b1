#include "app/settingsU.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "support/SxStrings.h"

namespace {
TCheckBox* checkBox(TWinControl* Parent, const char* Name, const char* Caption, int Top, bool Checked)
{
    auto* c = new TCheckBox(Parent->Owner());  // owned by the form
    c->SetName(QString::fromLatin1(Name));
    c->SetParent(Parent);
    c->SetBounds(10, Top, 260, 17);
    c->SetCaption(QString::fromLatin1(Caption));
    c->SetChecked(Checked);
    return c;
}

TTabSheet* page(TfrmSettings* Form, const char* Name, const char* Caption)
{
    auto* p = new TTabSheet(Form);
    p->SetName(QString::fromLatin1(Name));
    p->SetPageControl(Form->PageControl1);
    p->SetCaption(QString::fromLatin1(Caption));
    return p;
}

TRadioGroup* radioGroup(TfrmSettings* Form, TWinControl* Parent, const char* Name, const char* Caption,
                        std::initializer_list<const char*> Items, int Index)
{
    auto* g = new TRadioGroup(Form);
    g->SetName(QString::fromLatin1(Name));
    g->SetParent(Parent);
    g->SetBounds(8, 6, 322, 196);
    g->SetCaption(QString::fromLatin1(Caption));
    for (const char* item : Items)
        g->Items()->Add(QString::fromLatin1(item));
    g->SetItemIndex(Index);
    return g;
}
}  // namespace

int TSettingsValues::ThreadCount() const
{
    // The dialog offers 1 to 4; a typed text outside that is kept within it.
    return int(std::clamp<int64_t>(StrToIntLenient(ThreadNumber), 1, 4));
}

TfrmSettings::TfrmSettings(TComponent* AOwner, TKitCustomAppStorage* Storage) : TForm(AOwner)
{
    Loading();
    SetName(QStringLiteral("frmSettings"));
    SetCaption(QStringLiteral("Settings"));
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetKeyPreview(true);
    SetClientWidth(362);
    SetClientHeight(284);

    PageControl1 = new TPageControl(this);
    PageControl1->SetName(QStringLiteral("PageControl1"));
    PageControl1->SetParent(this);
    PageControl1->SetBounds(8, 8, 346, 236);
    tsProgram = page(this, "tsProgram", "Program");
    tsLogLevel = page(this, "tsLogLevel", "Log Level");
    tsThreadPriority = page(this, "tsThreadPriority", "Thread Priority");
    PageControl1->SetActivePage(tsProgram);

    GroupBox1 = new TGroupBox(this);
    GroupBox1->SetName(QStringLiteral("GroupBox1"));
    GroupBox1->SetParent(tsProgram);
    GroupBox1->SetBounds(8, 6, 322, 196);
    GroupBox1->SetCaption(QStringLiteral("Program Settings "));
    OpenOutputFolder = checkBox(GroupBox1, "OpenOutputFolder", "Open Output folder after conversion", 20, false);
    PlayVideoAfter = checkBox(GroupBox1, "PlayVideoAfter", "Play Video after conversion", 44, false);
    OverwriteFiles = checkBox(GroupBox1, "OverwriteFiles", "Overwrite Files", 68, false);
    KeepAspect = checkBox(GroupBox1, "KeepAspect", "Keep Aspect by Default", 92, false);
    ErrorMessages = checkBox(GroupBox1, "ErrorMessages", "Don't show error messages in dialogs", 116, true);
    JoinFiles = checkBox(GroupBox1, "JoinFiles", "Join Multiple Files", 170, false);
    JoinFiles->SetVisible(false);
    Label1 = new TLabel(this);
    Label1->SetName(QStringLiteral("Label1"));
    Label1->SetParent(GroupBox1);
    Label1->SetBounds(10, 146, 120, 13);
    Label1->SetCaption(QStringLiteral("Number of Threads"));
    ThreadNumber = new TComboBox(this);
    ThreadNumber->SetName(QStringLiteral("ThreadNumber"));
    ThreadNumber->SetParent(GroupBox1);
    ThreadNumber->SetBounds(140, 142, 60, 21);
    ThreadNumber->SetStyle(csDropDown);
    for (const char* n : {"1", "2", "3", "4"})
        ThreadNumber->Items()->Add(QString::fromLatin1(n));
    ThreadNumber->SetText(QStringLiteral("1"));

    LogLevel = radioGroup(this, tsLogLevel, "LogLevel", " Logging Level  ",
                          {"Quiet", "Panic", "Fatal", "Error", "Warning", "Info", "Verbose", "Debug"}, llInfo);
    ThreadPriority = radioGroup(this, tsThreadPriority, "ThreadPriority", "Thread Priority ",
                                {"Idle", "Lowest", "Lower", "Normal", "Higher", "Highest", "Time Critical"}, tpNormal);

    bOk = new TButton(this);
    bOk->SetName(QStringLiteral("bOk"));
    bOk->SetParent(this);
    bOk->SetBounds(ClientWidth() - 83, 251, 75, 25);
    bOk->SetCaption(QStringLiteral("OK"));
    bOk->SetModalResult(mrOk);
    bOk->OnClick = TNotifyEvent(this, &TfrmSettings::bOkClick);

    KitFormStorage1 = new TKitFormStorage(this);
    KitFormStorage1->Loading();
    KitFormStorage1->SetName(QStringLiteral("KitFormStorage1"));
    KitFormStorage1->SetActive(false);
    KitFormStorage1->SetAppStorage(Storage);
    KitFormStorage1->SetAppStoragePath(QStringLiteral("Vorlane\\"));
    KitFormStorage1->SetOptions({});
    KitFormStorage1->SetStoredPropsPath(QStringLiteral("Options"));
    TStringList props;
    for (const char* p : {"PlayVideoAfter.Checked", "ThreadPriority.ItemIndex", "LogLevel.ItemIndex",
                          "KeepAspect.Checked", "OpenOutputFolder.Checked", "OverwriteFiles.Checked",
                          "ErrorMessages.Checked", "JoinFiles.Checked", "ThreadNumber.Text"})
        props.Add(QString::fromLatin1(p));
    KitFormStorage1->StoredProps()->Assign(&props);
    KitFormStorage1->Loaded();

    OnKeyDown = TKeyEvent(this, &TfrmSettings::FormKeyDown);
    Loaded();
    FApplied = ControlValues();
}

TSettingsValues TfrmSettings::ControlValues() const
{
    TSettingsValues v;
    v.OpenOutputFolder = OpenOutputFolder->Checked();
    v.PlayVideoAfter = PlayVideoAfter->Checked();
    v.OverwriteFiles = OverwriteFiles->Checked();
    v.KeepAspect = KeepAspect->Checked();
    v.ErrorMessages = ErrorMessages->Checked();
    v.JoinFiles = JoinFiles->Checked();
    v.ThreadNumber = ThreadNumber->Text();
    v.LogLevel = TLogLevel(LogLevel->ItemIndex());
    v.ThreadPriority = TThreadPriority(ThreadPriority->ItemIndex());
    return v;
}

void TfrmSettings::SetControlValues(const TSettingsValues& Values)
{
    OpenOutputFolder->SetChecked(Values.OpenOutputFolder);
    PlayVideoAfter->SetChecked(Values.PlayVideoAfter);
    OverwriteFiles->SetChecked(Values.OverwriteFiles);
    KeepAspect->SetChecked(Values.KeepAspect);
    ErrorMessages->SetChecked(Values.ErrorMessages);
    JoinFiles->SetChecked(Values.JoinFiles);
    ThreadNumber->SetText(Values.ThreadNumber);
    LogLevel->SetItemIndex(Values.LogLevel);
    ThreadPriority->SetItemIndex(Values.ThreadPriority);
}

void TfrmSettings::RestoreSettings()
{
    KitFormStorage1->RestorePlacement();
    // A hand-edited or damaged index would name no level or priority.
    if (LogLevel->ItemIndex() < llQuiet || LogLevel->ItemIndex() > llDebug)
        LogLevel->SetItemIndex(llInfo);
    if (ThreadPriority->ItemIndex() < tpIdle || ThreadPriority->ItemIndex() > tpTimeCritical)
        ThreadPriority->SetItemIndex(tpNormal);
    FApplied = ControlValues();
}

void TfrmSettings::bOkClick(TObject*)
{
    KitFormStorage1->SavePlacement();
    FApplied = ControlValues();
}

void TfrmSettings::FormKeyDown(TObject*, uint16_t& Key, TShiftState)
{
    if (Key == VK_ESCAPE) {
        SetModalResult(mrCancel);
        Close();
    }
}

TModalResult TfrmSettings::Execute()
{
    const TModalResult result = ShowModal();
    if (result != mrOk)
        SetControlValues(FApplied);
    return result;
}
