#include "app/ProgramUnits.h"

#include "engine/EngineUnits.h"
#include "platform/rtl/Startup.h"
#include "skin/SkinUnits.h"
#include "support/SupportUnits.h"
#include "ui/controls/vlButtonEdit.h"
#include "ui/controls/vlCheckBox.h"
#include "ui/controls/vlCurrencyEdit.h"
#include "ui/controls/vlEditRepositoryItems.h"
#include "ui/controls/vlExtEditConsts.h"
#include "ui/controls/vlNavigator.h"
#include "ui/controls/vlPC.h"
#include "ui/controls/vlPCConsts.h"
#include "ui/controls/vlPCPainters.h"
#include "ui/controls/vlProgressBar.h"
#include "ui/controls/vlRadioGroup.h"
#include "ui/data/vlDataStorage.h"
#include "ui/data/vlFilter.h"
#include "ui/editors/vlDateUtils.h"
#include "ui/editors/vlFilterControlUtils.h"
#include "ui/editors/vlFormats.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/editors/vlLibraryStrs.h"
#include "ui/editors/vlMaskEdit.h"
#include "ui/foundation/vlGeometry.h"
#include "ui/grid/vlGridCommon.h"
#include "ui/grid/vlGridCustomView.h"
#include "ui/grid/vlGridStrs.h"
#include "ui/grid/vlGridTableView.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlContainer.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vxCore.h"
#include "ui/foundation/vxGDIPlusAPI.h"
#include "ui/foundation/vxGDIPlusClasses.h"
#include "ui/foundation/vxThemeManager.h"

void AddProgramUnits(TStartupList& Units)
{
    AddPlatformUnits(Units);
    AddEngineUnits(Units);
    AddSupportUnits(Units);
    AddvxCoreUnit(Units);
    AddvlGeometryUnit(Units);
    AddvlGraphicsUnit(Units);
    AddvxGDIPlusAPIUnit(Units);
    AddvxGDIPlusClassesUnit(Units);
    AddvxThemeManagerUnit(Units);
    AddvlContainerUnit(Units);
    AddvlLookAndFeelsUnit(Units);
    AddvlLookAndFeelPaintersUnit(Units);
    AddvlControlsUnit(Units);
    AddvlFilterConstsUnit(Units);
    AddvlDataConstsUnit(Units);
    AddvlFilterControlStrsUnit(Units);
    Units.Add(String::fromLatin1("vlDataStorage"), &vlDataStorageInitialization, &vlDataStorageFinalization);
    AddvlLibraryStrsUnit(Units);
    AddvlEditConstsUnit(Units);
    AddvlEditPaintUtilsUnit(Units);
    AddvlEditUnit(Units);
    AddvlFormatsUnit(Units);
    AddvlDateUtilsUnit(Units);
    AddvlExtEditConstsUnit(Units);
    AddvlPCConstsUnit(Units);
    AddvlPCPaintersUnit(Units);
    AddvlPCUnit(Units);
    AddvlNavigatorUnit(Units);
    AddvlFilterControlUtilsUnit(Units);
    AddvlMaskEditUnit(Units);
    AddvlProgressBarUnit(Units);
    AddvlButtonEditUnit(Units);
    AddvlEditRepositoryItemsUnit(Units);
    AddvlCurrencyEditUnit(Units);
    AddvlCheckBoxUnit(Units);
    AddvlRadioGroupUnit(Units);
    AddvlGridStrsUnit(Units);
    AddvlGridCommonUnit(Units);
    AddvlGridCustomViewUnit(Units);
    AddvlGridTableViewUnit(Units);
    AddSkinUnits(Units);
}
