// formdemo - a small form built on the window layer; it closes itself
// through a posted message once the loop runs, so it checks that a program
// on the layer starts and stops under a given display.
#include <cstdio>

#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/rtl/Startup.h"

int main(int argc, char** argv)
{
    TApplication application(nullptr);
    application.Initialize(argc, argv);
    const TStartupScope startup;
    application.SetTitle(QStringLiteral("formdemo"));
    TForm* form = nullptr;
    application.CreateForm(form);
    form->SetCaption(QStringLiteral("Vorlane form demo"));
    auto* label = new TLabel(form);
    label->SetCaption(QStringLiteral("Hello"));
    label->SetParent(form);
    auto* button = new TButton(form);
    button->SetCaption(QStringLiteral("Close"));
    button->SetBounds(10, 40, 75, 25);
    button->SetParent(form);
    bool shown = false;
    form->OnShow = TNotifyEvent::FromFunction([&](TObject*) {
        shown = true;
        PostMessage(form->Handle(), WM_CLOSE, 0, 0);
    });
    application.Run();
    std::printf("formdemo: %s on %s\n", shown ? "shown and closed" : "never shown",
                qPrintable(QGuiApplication::platformName()));
    return shown ? 0 : 1;
}
