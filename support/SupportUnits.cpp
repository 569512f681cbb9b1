#include "support/SupportUnits.h"

#include <functional>

#include "support/BxButton.h"
#include "support/KitExExtCtrls.h"
#include "support/KitGettext.h"
#include "support/KitTypes.h"
#include "support/SxBase.h"
#include "support/SxSysInfo.h"
#include "support/SxSysUtils.h"
#include "support/SxUnitVersioning.h"

namespace {

#define SX_UNIT_RECORD(Unit, Path, Revision, Date)                                                          \
    constexpr UnitVersionRecord Unit##Record{u"$URL: vorlane/support/" #Unit " $", u"$Revision: " Revision " $", \
                                             u"$Date: " Date " $", u"SX\\source\\" Path, u"", nullptr}

#define SX_DATE u"2012-03-05 10:14:02 +0100 (Mon, 05 Mar 2012)"
SX_UNIT_RECORD(SxResources, "common", "1199", "2012-02-27 16:31:48 +0100 (Mon, 27 Feb 2012)");
SX_UNIT_RECORD(SxWin32, "windows", "1207", SX_DATE);
SX_UNIT_RECORD(SxWideStrings, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxStringConversions, "common", "1207", SX_DATE);
SX_UNIT_RECORD(Sx8087, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxMath, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxCharsets, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxStreams, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxLogic, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxDateTime, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxRegistry, "windows", "1207", SX_DATE);
SX_UNIT_RECORD(SxSecurity, "windows", "1207", SX_DATE);
SX_UNIT_RECORD(SxShell, "windows", "1207", SX_DATE);
SX_UNIT_RECORD(SxFileUtils, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxIniFiles, "common", "1207", SX_DATE);
SX_UNIT_RECORD(Snmp, "windows", "1207", SX_DATE);
SX_UNIT_RECORD(SxSysInfo, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxConsole, "windows", "1207", SX_DATE);
SX_UNIT_RECORD(SxSysUtils, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxAnsiStrings, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxStrings, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxSynch, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxUnitVersioning, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxBase, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxMime, "common", "1207", SX_DATE);
SX_UNIT_RECORD(SxRTTI, "common", "1207", SX_DATE);
#undef SX_DATE
#undef SX_UNIT_RECORD

// A unit whose start-up is its registration (and, optionally, more work).
void addUnit(TStartupList& list, const char* name, const UnitVersionRecord& record,
             std::function<void()> init = {}, std::function<void()> fin = {})
{
    const UnitVersionRecord* r = &record;
    list.Add(
        String::fromLatin1(name),
        [r, init] {
            RegisterUnitRecord(SxModuleHandle(), r);
            if (init)
                init();
        },
        [fin] {
            UnregisterUnitRecords(SxModuleHandle());
            if (fin)
                fin();
        });
}

}  // namespace

// The registry's lock and block come from SxSysUtils and SxSynch; the first
// registration makes them.
void AddSupportUnits(TStartupList& list)
{
    // Every later unit loads its texts through the catalogues.
    list.Add(QStringLiteral("KitGettext"), &KitGettextInitialization, &KitGettextFinalization);
    list.Add(QStringLiteral("KitTypes"), &KitTypesInitialization, &KitTypesFinalization);
    addUnit(list, "SxResources", SxResourcesRecord);
    addUnit(list, "SxWin32", SxWin32Record);
    addUnit(list, "SxWideStrings", SxWideStringsRecord);
    addUnit(list, "SxStringConversions", SxStringConversionsRecord);
    addUnit(list, "Sx8087", Sx8087Record);
    addUnit(list, "SxMath", SxMathRecord);
    addUnit(list, "SxCharsets", SxCharsetsRecord);
    addUnit(list, "SxStreams", SxStreamsRecord);
    addUnit(list, "SxLogic", SxLogicRecord);
    addUnit(list, "SxDateTime", SxDateTimeRecord);
    addUnit(list, "SxRegistry", SxRegistryRecord);
    addUnit(list, "SxSecurity", SxSecurityRecord);
    addUnit(list, "SxShell", SxShellRecord);
    addUnit(list, "SxFileUtils", SxFileUtilsRecord);
    addUnit(list, "SxIniFiles", SxIniFilesRecord);
    addUnit(list, "Snmp", SnmpRecord);
    // The machine's facts are read before the unit registers.
    list.Add(
        QStringLiteral("SxSysInfo"),
        [] {
            InitSystemFacts();
            RegisterUnitRecord(SxModuleHandle(), &SxSysInfoRecord);
        },
        [] { UnregisterUnitRecords(SxModuleHandle()); });
    addUnit(list, "SxConsole", SxConsoleRecord);
    addUnit(list, "SxSysUtils", SxSysUtilsRecord, {}, &SxSysUtilsFinalization);
    addUnit(list, "SxAnsiStrings", SxAnsiStringsRecord);
    addUnit(list, "SxStrings", SxStringsRecord);
    addUnit(list, "SxSynch", SxSynchRecord);
    addUnit(list, "SxUnitVersioning", SxUnitVersioningRecord, {}, &ShutdownUnitRegistry);
    addUnit(list, "SxBase", SxBaseRecord, &LoadAnsiDefaultChar);
    addUnit(list, "SxMime", SxMimeRecord);
    addUnit(list, "SxRTTI", SxRTTIRecord);
    list.Add(QStringLiteral("KitExExtCtrls"), &KitExExtCtrlsInitialization);
    list.Add(QStringLiteral("BxButton"), &BxButtonInitialization, &BxButtonFinalization);
}
