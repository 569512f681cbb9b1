// The log panel and error reporting: the engine's log lines and the window's
// own in the memo of the caption panel, and exceptions that reach the loop.
#include "app/mainU.h"
#include "app/settingsU.h"

void TfrmMain::AddLog(const String& Line)
{
    mmoLog->Lines()->Add(Line);
}

void TfrmMain::FFLogger1Log(TObject*, uint32_t AThreadID, TLogLevel ALogLevel, const String& ALogMsg)
{
    AddLog(u'#' + String::number(AThreadID) + u'.' + String::number(int(ALogLevel)) + QStringLiteral(": ") + ALogMsg);
}

void TfrmMain::ShowLogPanel()
{
    // Bottom-aligned controls stack by their positions: a panel that ends
    // where the progress bar begins lands directly above it.
    KitCaptionPanel1->SetTop(ProgressBar1->Top() - KitCaptionPanel1->Height());
    KitCaptionPanel1->SetVisible(ShowLog1->Checked());
}

void TfrmMain::ShowLog1Click(TObject*)
{
    ShowLog1->SetChecked(!ShowLog1->Checked());
    ShowLogPanel();
}

void TfrmMain::KitCaptionPanel1ButtonClick(TObject*, TKitCapBtnStyle Button)
{
    if (Button == capClose)
        KitCaptionPanel1->SetVisible(false);
    ShowLog1->SetChecked(KitCaptionPanel1->Visible());
}

void TfrmMain::AppException(TObject*, const Exception& E)
{
    String text = E.Message();
    if (!text.isEmpty() && text.back() > u'.')
        text += u'.';
    // The log always keeps the error; the setting only spares the dialog.
    AddLog(text);
    if (ErrorMessagesHidden())
        return;
    const UINT icon = dynamic_cast<const FFmpegException*>(&E) != nullptr ? MB_ICONWARNING : MB_ICONERROR;
    Application->DialogService()->MessageBox(text, Application->Title(), MB_OK | icon);
}
