// SxSysInfo.h - the machine's facts for the computer-information component:
// operating system, processor identification, memory, power, BIOS, identity and lock keys.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"

// ---- operating system -----------------------------------------------------

enum TWindowsVersion {
    wvUnknown, wvWin95, wvWin95OSR2, wvWin98, wvWin98SE, wvWinME, wvWinNT31, wvWinNT35, wvWinNT351,
    wvWinNT4, wvWin2000, wvWinXP, wvWin2003, wvWinXP64, wvWin2003R2, wvWinVista, wvWinServer2008,
    wvWin7, wvWinServer2008R2
};

enum TNtProductType {
    ptUnknown, ptWorkStation, ptServer, ptAdvancedServer, ptPersonal, ptProfessional,
    ptDatacenterServer, ptEnterprise, ptWebEdition
};

// Read once at the unit's start-up (or on first use, whichever comes first)
// and fixed for the process.
struct TSystemFacts {
    // The processors this process may run on (what `nproc` counts).
    uint32_t ProcessorCount = 1;
    uint32_t PageSize = 4096;
    // mmap works in pages here, so the granularity is the page size.
    uint32_t AllocationGranularity = 4096;
    // No 9x branch exists here; the NT paths are the ones that apply.
    bool IsNT = true;
    // The 9x kernel's product version; 0 on NT, so always 0 here.
    uint32_t KernelVersion = 0;
    // One flag per detected version (only the detected one is set; wvUnknown
    // sets none), plus the NT 3.x family flag.
    bool VersionFlags[wvWinServer2008R2 + 1] = {};
    bool IsWinNT3 = false;
};
const TSystemFacts& SystemFacts();
// Reads the facts now; the unit's start-up calls it before registering.
void InitSystemFacts();
// The version flags as start-up sets them for the detected version.
void SetVersionFlags(TSystemFacts& Facts, TWindowsVersion Version);

// No Windows to classify: always wvUnknown, ptUnknown and 0.
TWindowsVersion QueryWindowsVersion();
TNtProductType QueryNtProductType();
int QueryServicePackMajor();
// The machine's own 64-bit answer (uname's machine field).
bool IsNative64Bit();

// The kernel release ("6.1.0-18-amd64") split into its first three numbers.
struct TKernelVersion {
    uint32_t Major = 0, Minor = 0, Build = 0;
    String Release;  // uname's release text as is
};
TKernelVersion QueryKernelVersion();
TKernelVersion ParseKernelRelease(const String& Release);
// PRETTY_NAME of <Root>/etc/os-release, else of <Root>/usr/lib/os-release;
// NAME when PRETTY_NAME is missing; empty when neither file is there.
String QueryOsProductName(const String& Root = String());

// ---- processor ------------------------------------------------------------

enum TSSESupport { sse, sse2, sse3, ssse3, sse41, sse42, sse4A, sse5, avx };
using TSSESupports = TSet<TSSESupport, 16>;

struct TProcessorFrequency {
    int64_t RawFreq = 0;
    int64_t NormFreq = 0;
    int64_t TotalCycles = 0;
    int64_t TotalMicroseconds = 0;
};

struct TCacheInfo {
    uint32_t Size = 0;  // kilobytes
    uint8_t LineSize = 0;
    uint8_t Associativity = 0;
    uint8_t LinesPerSector = 0;  // L3 only
};

struct TProcessorRecord {
    bool HasInstruction = false;
    bool HasAES = false;
    bool MMX = false, ExMMX = false, _3DNow = false, Ex3DNow = false;
    TSSESupports SSE;
    bool IsFDIVOK = false;
    bool Is64Bits = false, DEPCapable = false, HasCacheInfo = false, HasExtendedInfo = false;
    uint8_t ProcessorKind = 0;
    uint8_t Family = 0, FamilyExtension = 0, Model = 0, ModelExtension = 0, Stepping = 0;
    uint32_t FeatureBits = 0;
    TProcessorFrequency Clock;
    char VendorIDString[12] = {};
    char Manufacturer[10] = {};
    char Name[48] = {};
    TCacheInfo L1DataCache, L1CodeCache, L2Cache, L3Cache;
    uint8_t LogicalCore = 1, PhysicalCore = 1;
    bool HyperThreadingTechnology = false;
    bool SharedCores = false;
    uint8_t VendorCode = 0;  // 0 unknown, 1 Intel, 2 Cyrix, 3 AMD, 4 Transmeta, 5 VIA
    // The raw registers the decoders keep; only some reach the fields above.
    struct {
        uint32_t Leaf1Ebx = 0, Leaf1Ecx = 0;
        uint32_t ExtEdx = 0, ExtEcx = 0;  // leaf 0x80000001 (VIA: 0xC0000001 EDX replaces ExtEdx)
        uint32_t Leaf6Eax = 0;
        uint32_t L2Ecx = 0;               // leaf 0x80000006 ECX
        uint8_t Descriptors[16] = {};
        uint8_t BrandIndex = 0, FlushLineSize = 0, ApicId = 0;
        uint16_t BrandId = 0;
        uint32_t PowerManagement = 0;     // leaf 0x80000007 EDX
        uint8_t PhysicalAddressBits = 0, VirtualAddressBits = 0;
    } Raw;

    String NameText() const;
    String ManufacturerText() const;
    String VendorText() const;
};

struct TCpuidRegs {
    uint32_t EAX = 0, EBX = 0, ECX = 0, EDX = 0;
};
// One CPUID instruction; a recorded dump stands in for the processor in tests.
using TCpuidFunc = std::function<TCpuidRegs(uint32_t Leaf, uint32_t SubLeaf)>;

bool CpuidAvailable();
TCpuidRegs ExecuteCpuid(uint32_t Leaf, uint32_t SubLeaf = 0);
uint64_t ReadTimeStamp();
bool FdivSelfTest();
int SnapFrequency(int MHz);
bool MeasureProcessorClock(TProcessorFrequency& Freq);

// The identification of this processor, or of a recorded one (Available
// False takes the "no CPUID" path whatever Cpuid is).
void ProbeProcessor(TProcessorRecord& Info);
void ProbeProcessor(TProcessorRecord& Info, bool Available, const TCpuidFunc& Cpuid);
// ProbeProcessor, the divide test and, with a time-stamp counter, the clock.
void ReadProcessorInfo(TProcessorRecord& Info);

// ---- identification --------------------------------------------------------

// The first address of an interface that is up and not the loopback one
// (IPv4 first); Host, when given, is resolved instead.
String QueryIPAddress(const String& Host = String());
String QueryComputerName();
String QueryUserName();
// The NIS domain name; empty when none is set ("(none)").
String QueryDomainName();

// ---- memory ---------------------------------------------------------------

// Figures of <Root>/proc/meminfo in bytes; a missing file or line gives 0.
struct TMemoryStatus {
    int64_t TotalPhys = 0, AvailPhys = 0;
    int64_t TotalPageFile = 0, AvailPageFile = 0;
    int64_t TotalVirtual = 0, AvailVirtual = 0;
    uint32_t MemoryLoad = 0;  // percent of physical memory in use
};
TMemoryStatus QueryMemoryStatus(const String& Root = String());
// 100 minus the whole percentage still free; 0 without a swap area.
int SwapFileUsage(const TMemoryStatus& Status);
int64_t MinAppAddress();
int64_t MaxAppAddress();

// ---- power ----------------------------------------------------------------

enum TAPMLineStatus { alsOffline, alsOnline, alsUnknown };
enum TAPMBatteryFlag { abfHigh, abfLow, abfCritical, abfCharging, abfNoBattery, abfUnknown };

// The platform's power record built from <Root>/sys/class/power_supply:
// battery flag bits 1 high, 2 low, 4 critical, 8 charging, 128 no battery,
// 255 unknown; percent 255 and times 0xFFFFFFFF when unknown.
struct TPowerStatus {
    uint8_t ACLineStatus = 255;  // 0 offline, 1 online, 255 unknown
    uint8_t BatteryFlag = 255;
    uint8_t BatteryLifePercent = 255;
    uint32_t BatteryLifeTime = 0xFFFFFFFF;
    uint32_t BatteryFullLifeTime = 0xFFFFFFFF;
};
TPowerStatus QueryPowerStatus(const String& Root = String());
TAPMLineStatus QueryLineStatus(const String& Root = String());
TAPMBatteryFlag QueryBatteryFlag(const String& Root = String());
int QueryBatteryPercent(const String& Root = String());
int QueryBatteryLifeTime(const String& Root = String());
int QueryBatteryFullLifeTime(const String& Root = String());

// ---- BIOS -----------------------------------------------------------------

// From <Root>/sys/class/dmi/id: the vendor, the version, the release date.
String QueryBiosName(const String& Root = String());
String QueryBiosCopyright(const String& Root = String());
String QueryBiosExtendedInfo(const String& Root = String());
TDateTime QueryBiosDate(const String& Root = String());
// "m/d/y", then "y/m/d"; 0 when neither reads.
TDateTime ParseBiosDate(const String& Text);

// ---- keyboard -------------------------------------------------------------

// The lock key's light (<Root>/sys/class/leds/*::numlock and so on): the
// kernel keeps it whatever the display server; no light reads as off.
bool KeyToggled(int VirtualKey, const String& Root = String());
bool NumLockToggled(const String& Root = String());
bool ScrollLockToggled(const String& Root = String());
bool CapsLockToggled(const String& Root = String());
