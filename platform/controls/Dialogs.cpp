#include "platform/controls/Dialogs.h"

#include <QFileDialog>

#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/StringList.h"

// ------------------------------------------------------------- TOpenDialog

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

TStrings* TOpenDialog::Files() const { return FFiles.get(); }

std::vector<TOpenDialog::TFilterEntry> TOpenDialog::ParseFilter(const String& Filter)
{
    std::vector<TFilterEntry> result;
    const QStringList parts = Filter.split(QChar('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        TFilterEntry entry;
        entry.Name = parts[i];
        for (const QString& p : parts[i + 1].split(QChar(';'), Qt::SkipEmptyParts))
            entry.Patterns.push_back(p.trimmed());
        result.push_back(entry);
    }
    return result;
}

bool TOpenDialog::Execute()
{
    FFiles->Clear();
    if (Application == nullptr)
        return false;
    const bool ok = Application->DialogService()->ExecuteOpen(*this);
    if (ok && FFiles->Count() > 0)
        FFileName = FFiles->Strings(0);
    return ok;
}

bool SelectDirectory(const String& Caption, String& Directory)
{
    return Application != nullptr && Application->DialogService()->BrowseForFolder(Caption, Directory);
}

TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int)
{
    return Application != nullptr ? Application->DialogService()->MessageDlg(Msg, DlgType, Buttons) : mrCancel;
}

int MessageBox(const String& Text, const String& Caption, UINT Flags)
{
    return Application != nullptr ? Application->DialogService()->MessageBox(Text, Caption, Flags) : IDCANCEL;
}

void ShowMessage(const String& Msg)
{
    MessageDlg(Msg, mtCustom, {mbOK});
}

// ------------------------------------------------------ the message dialog

namespace {

struct TButtonInfo {
    TMsgDlgBtn Button;
    const TResStringRec* Caption;
    TModalResult Result;
};
const TButtonInfo buttonInfos[] = {
    {mbYes, &DialogsConsts::SMsgDlgYes, mrYes}, {mbNo, &DialogsConsts::SMsgDlgNo, mrNo},
    {mbOK, &DialogsConsts::SMsgDlgOK, mrOk}, {mbCancel, &DialogsConsts::SMsgDlgCancel, mrCancel},
    {mbAbort, &DialogsConsts::SMsgDlgAbort, mrAbort}, {mbRetry, &DialogsConsts::SMsgDlgRetry, mrRetry},
    {mbIgnore, &DialogsConsts::SMsgDlgIgnore, mrIgnore}, {mbAll, &DialogsConsts::SMsgDlgAll, mrAll},
    {mbNoToAll, &DialogsConsts::SMsgDlgNoToAll, mrNoToAll}, {mbYesToAll, &DialogsConsts::SMsgDlgYesToAll, mrYesToAll},
};

String dialogCaption(TMsgDlgType DlgType)
{
    switch (DlgType) {
    case mtWarning: return LoadResString(DialogsConsts::SMsgDlgWarning);
    case mtError: return LoadResString(DialogsConsts::SMsgDlgError);
    case mtInformation: return LoadResString(DialogsConsts::SMsgDlgInformation);
    case mtConfirmation: return LoadResString(DialogsConsts::SMsgDlgConfirm);
    default: return Application != nullptr ? Application->Title() : String();
    }
}

class TMessageForm : public TForm {
public:
    using TForm::TForm;
    String ClassName() const override { return String::fromLatin1("TMessageForm"); }
};

class TDefaultDialogService : public IDialogService {
public:
    bool ExecuteOpen(TOpenDialog& Dialog) override
    {
        QStringList filters;
        for (const auto& entry : TOpenDialog::ParseFilter(Dialog.Filter()))
            filters.push_back(entry.Name + QStringLiteral(" (") + entry.Patterns.join(QChar(' ')) + QChar(')'));
        QFileDialog dialog(nullptr, Dialog.Title(), Dialog.InitialDir());
        dialog.setNameFilters(filters);
        if (Dialog.FilterIndex() >= 1 && Dialog.FilterIndex() <= filters.size())
            dialog.selectNameFilter(filters[Dialog.FilterIndex() - 1]);
        dialog.setFileMode(Dialog.Options().Contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                                          : QFileDialog::ExistingFile);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        for (const QString& f : dialog.selectedFiles())
            Dialog.Files()->Add(f);
        Dialog.SetFilterIndex(int(filters.indexOf(dialog.selectedNameFilter())) + 1);
        return true;
    }

    bool BrowseForFolder(const String& Caption, String& Folder) override
    {
        const QString chosen = QFileDialog::getExistingDirectory(nullptr, Caption, Folder);
        if (chosen.isEmpty())
            return false;
        Folder = chosen;
        return true;
    }

    int MessageBox(const String& Text, const String& Caption, UINT Flags) override
    {
        TMsgDlgButtons buttons;
        switch (Flags & 0xF) {
        case MB_OKCANCEL: buttons = {mbOK, mbCancel}; break;
        case MB_ABORTRETRYIGNORE: buttons = {mbAbort, mbRetry, mbIgnore}; break;
        case MB_YESNOCANCEL: buttons = {mbYes, mbNo, mbCancel}; break;
        case MB_YESNO: buttons = {mbYes, mbNo}; break;
        case MB_RETRYCANCEL: buttons = {mbRetry, mbCancel}; break;
        default: buttons = {mbOK}; break;
        }
        TMsgDlgType type = mtCustom;
        switch (Flags & 0xF0) {
        case MB_ICONSTOP: type = mtError; break;
        case MB_ICONQUESTION: type = mtConfirmation; break;
        case MB_ICONWARNING: type = mtWarning; break;
        case MB_ICONINFORMATION: type = mtInformation; break;
        default: break;
        }
        auto form = CreateMessageDialog(Text, type, buttons);
        form->SetCaption(Caption);
        const TModalResult r = form->ShowModal();
        return r == mrNone ? IDCANCEL : int(r);  // the mr and ID values coincide
    }

    TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) override
    {
        return CreateMessageDialog(Msg, DlgType, Buttons)->ShowModal();
    }
};

}  // namespace

std::unique_ptr<IDialogService> CreateDefaultDialogService() { return std::make_unique<TDefaultDialogService>(); }

std::unique_ptr<TCustomForm> CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    auto form = std::make_unique<TMessageForm>(nullptr);
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetCaption(dialogCaption(DlgType));
    auto* text = new TLabel(form.get());
    text->SetName(QStringLiteral("Message"));
    text->SetShowAccelChar(false);
    text->SetCaption(Msg);
    text->SetParent(form.get());
    text->SetLeft(12);
    text->SetTop(12);

    std::vector<TButton*> buttons;
    for (const auto& info : buttonInfos) {
        if (!Buttons.Contains(info.Button))
            continue;
        auto* b = new TButton(form.get());
        b->SetCaption(LoadResString(*info.Caption));
        b->SetModalResult(info.Result);
        b->SetParent(form.get());
        buttons.push_back(b);
    }
    if (buttons.empty())
        return form;
    buttons.front()->SetDefault(true);
    // Escape is the cancel button's, else the only button's.
    for (TButton* b : buttons)
        if (b->ModalResult() == mrCancel || b->ModalResult() == mrNo || buttons.size() == 1)
            b->SetCancel(true);
    const int buttonWidth = 75, gap = 8;
    const int rowWidth = int(buttons.size()) * buttonWidth + int(buttons.size() - 1) * gap;
    const int width = std::max(text->Width() + 24, rowWidth + 24);
    const int top = text->Top() + text->Height() + 16;
    int x = (width - rowWidth) / 2;
    for (TButton* b : buttons) {
        b->SetBounds(x, top, buttonWidth, 25);
        x += buttonWidth + gap;
    }
    form->SetBounds(0, 0, width, top + 25 + 12);
    return form;
}
