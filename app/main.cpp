// The program: the units start in order, numbers are written with a point,
// and the main window runs until it is closed.
#include "app/Artwork.h"
#include "app/ProgramUnits.h"
#include "app/mainU.h"
#include "engine/preview/PreviewForm.h"
#include "platform/rtl/LocaleFormats.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/SysUtils.h"

int main(int argc, char** argv)
{
    TApplication application(nullptr);
    application.Initialize(argc, argv);
    TStartupList units;
    AddProgramUnits(units);
    const TStartupScope startup(std::move(units));
    InstallPreviewForm();

    SetFixedTimeFormats(QStringLiteral("HH:MM:SS"), u':', u'.');

    application.SetTitle(LoadResString(MainConsts::SAppTitle));
    LoadProgramIcon(application.Icon());
    TfrmMain* frmMain = nullptr;
    application.CreateForm(frmMain);
    application.Run();
    // The window and its tasks go before the units they use.
    delete frmMain;
    return 0;
}
