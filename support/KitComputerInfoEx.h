// KitComputerInfoEx.h - the computer-information component: one published
// sub-object per area of system facts, each read afresh at every property read.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/graphics/Color.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypInfo.h"
#include "support/KitUtils.h"
#include "support/SxSysInfo.h"

namespace KitResources {
VORLANE_RESOURCESTRING(RsKitReadOnlyProperty, "This value is read-only and cannot be changed.");
VORLANE_RESOURCESTRING(RsKitFileTypeFmt, "%s file");
}  // namespace KitResources

VORLANE_DECLARE_EXCEPTION(EKitComputerInfoEx, Exception);

// Raises EKitComputerInfoEx when Force is set or no instance is being
// designed; while designing, a write is dropped silently.
void RefuseReadOnlyWrite(bool Force);
// The unit-wide design flag: the last constructed component sets it.
bool KitComputerInfoDesigning();

#define KIT_INFO_CLASS(Name)                                                      \
    String ClassName() const override { return String::fromLatin1(#Name); }     \
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); } \
    static const TClassInfo& StaticClassInfo()

class TKitReadOnlyInfo : public TPersistent {
public:
    KIT_INFO_CLASS(TKitReadOnlyInfo);
};

class TKitWriteableInfo : public TPersistent {
public:
    KIT_INFO_CLASS(TKitWriteableInfo);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

protected:
    // True when a write may reach the system; otherwise refuses by the rule.
    bool WriteAllowed() const;

private:
    bool FReadOnly = true;
};

// ---- folders --------------------------------------------------------------

class TKitSystemFolders : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitSystemFolders);

    bool TrailingPathDelimiter() const { return FTrailingPathDelimiter; }
    void SetTrailingPathDelimiter(bool Value) { FTrailingPathDelimiter = Value; }

    String CommonFiles() const;
    String ProgramFiles() const;
    String Windows() const;
    String System() const;
    String Temp() const;
    String Current() const;
    // Changes the process's current folder when writing is allowed.
    void SetCurrent(const String& Value);

    // Any shell folder id; the writes always refuse.
    String GetFolder(int FolderId) const;
    void SetFolder(int FolderId, const String& Value);

#define KIT_FOLDER(Name, Id) \
    String Name() const { return GetFolder(Id); }
    KIT_FOLDER(Desktop, 0) KIT_FOLDER(Programs, 2) KIT_FOLDER(Personal, 5) KIT_FOLDER(Favorites, 6)
    KIT_FOLDER(Startup, 7) KIT_FOLDER(Recent, 8) KIT_FOLDER(SendTo, 9) KIT_FOLDER(StartMenu, 11)
    KIT_FOLDER(DesktopDirectory, 16) KIT_FOLDER(Nethood, 19) KIT_FOLDER(Fonts, 20) KIT_FOLDER(Templates, 21)
    KIT_FOLDER(CommonStartmenu, 22) KIT_FOLDER(CommonPrograms, 23) KIT_FOLDER(CommonStartup, 24)
    KIT_FOLDER(CommonDesktopDirectory, 25) KIT_FOLDER(AppData, 26) KIT_FOLDER(Printhood, 27)
    KIT_FOLDER(CommonFavorites, 31) KIT_FOLDER(InternetCache, 32) KIT_FOLDER(Cookies, 33) KIT_FOLDER(History, 34)
    KIT_FOLDER(CommonAppData, 35) KIT_FOLDER(Profile, 40)
#undef KIT_FOLDER

private:
    String delimited(String Path) const;
    bool FTrailingPathDelimiter = false;
};

// ---- operating system and processor ----------------------------------------

class TKitOSVersionInfo : public TKitReadOnlyInfo {
public:
    KIT_INFO_CLASS(TKitOSVersionInfo);
    TWindowsVersion OSVersion() const { return QueryWindowsVersion(); }
    TNtProductType ProductType() const { return QueryNtProductType(); }
    String ProductID() const { return {}; }
    // The distribution's name from os-release.
    String ProductName() const { return QueryOsProductName(); }
    uint32_t ServicePackVersion() const { return static_cast<uint32_t>(QueryServicePackMajor()); }
    // The kernel's release numbers.
    uint32_t VersionBuild() const { return QueryKernelVersion().Build; }
    uint32_t VersionMajor() const { return QueryKernelVersion().Major; }
    uint32_t VersionMinor() const { return QueryKernelVersion().Minor; }
    String VersionCSDString() const { return {}; }
};

enum TKitCPUType { cpuUnknown, cpuIntel, cpuCyrix, cpuAMD, cpuCrusoe };

// Every read runs the whole identification, clock measurement included.
class TKitCPUInfo : public TKitReadOnlyInfo {
public:
    KIT_INFO_CLASS(TKitCPUInfo);
    static TProcessorRecord Read();
    bool HasInstruction() const { return Read().HasInstruction; }
    bool MMX() const { return Read().MMX; }
    TSSESupports SSE() const { return Read().SSE; }
    bool IsFDIVOK() const { return Read().IsFDIVOK; }
    bool HasCacheInfo() const { return Read().HasCacheInfo; }
    bool HasExtendedInfo() const { return Read().HasExtendedInfo; }
    // VIA (vendor code 5) has no member and reads as cpuUnknown.
    TKitCPUType CPUType() const;
    uint8_t Family() const { return Read().Family; }
    uint8_t Model() const { return Read().Model; }
    uint8_t Stepping() const { return Read().Stepping; }
    String VendorIDString() const { return Read().VendorText(); }
    String Manufacturer() const { return Read().ManufacturerText(); }
    String Name() const { return Read().NameText(); }
    int ProcessorCount() const { return static_cast<int>(SystemFacts().ProcessorCount); }
    bool Is64Bits() const { return Read().Is64Bits; }
    bool ExMMX() const { return Read().ExMMX; }
    bool _3DNow() const { return Read()._3DNow; }
    bool Ex3DNow() const { return Read().Ex3DNow; }
    uint32_t L1DataCache() const { return Read().L1DataCache.Size; }
    uint32_t L1CodeCache() const { return Read().L1CodeCache.Size; }
    uint32_t L2Cache() const { return Read().L2Cache.Size; }
    uint32_t L3Cache() const { return Read().L3Cache.Size; }
    int64_t RawFreq() const { return Read().Clock.RawFreq; }
    int64_t NormFreq() const { return Read().Clock.NormFreq; }
    bool DEPCapable() const { return Read().DEPCapable; }
    uint8_t PhysicalCore() const { return Read().PhysicalCore; }
    uint8_t LogicalCore() const { return Read().LogicalCore; }
    bool HyperThreadingTechnology() const { return Read().HyperThreadingTechnology; }
};

// ---- identification, memory, power, BIOS, keyboard ------------------------

class TKitIdentification : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitIdentification);
    String IPAddress() const { return QueryIPAddress(); }
    String LocalComputerName() const { return QueryComputerName(); }
    String LocalUserName() const { return QueryUserName(); }
    String LocalWorkgroup() const { return {}; }
    String DomainName() const { return QueryDomainName(); }
    String RegisteredCompany() const { return {}; }
    String RegisteredOwner() const { return {}; }
    String Comment() const { return {}; }
};

class TKitMemInfo : public TKitReadOnlyInfo {
public:
    KIT_INFO_CLASS(TKitMemInfo);
    // 64-bit addresses do not fit the original's 32-bit Integer.
    int64_t MaxAppAddress() const { return ::MaxAppAddress(); }
    int64_t MinAppAddress() const { return ::MinAppAddress(); }
    int64_t MemoryLoad() const { return QueryMemoryStatus().MemoryLoad; }
    int64_t SwapFileSize() const;
    int SwapFileUsage() const { return ::SwapFileUsage(QueryMemoryStatus()); }
    int64_t TotalPhysicalMemory() const { return QueryMemoryStatus().TotalPhys; }
    int64_t FreePhysicalMemory() const { return QueryMemoryStatus().AvailPhys; }
    int64_t TotalPageFileMemory() const { return QueryMemoryStatus().TotalPageFile; }
    int64_t FreePageFileMemory() const { return QueryMemoryStatus().AvailPageFile; }
    int64_t TotalVirtualMemory() const { return QueryMemoryStatus().TotalVirtual; }
    int64_t FreeVirtualMemory() const { return QueryMemoryStatus().AvailVirtual; }
};

class TKitAPMInfo : public TKitReadOnlyInfo {
public:
    KIT_INFO_CLASS(TKitAPMInfo);
    TAPMBatteryFlag BatteryFlag() const { return QueryBatteryFlag(); }
    TAPMLineStatus LineStatus() const;
    int BatteryLifePercent() const;
    uint32_t BatteryLifeTime() const;
    uint32_t BatteryFullLifeTime() const;
};

class TKitBIOSInfo : public TKitReadOnlyInfo {
public:
    KIT_INFO_CLASS(TKitBIOSInfo);
    String Name() const { return QueryBiosName(); }
    String Copyright() const { return QueryBiosCopyright(); }
    String ExtendedInfo() const { return QueryBiosExtendedInfo(); }
    TDateTime Date() const { return QueryBiosDate(); }
};

class TKitKeyInfo : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitKeyInfo);
    bool NumLock() const { return NumLockToggled(); }
    bool ScrollLock() const { return ScrollLockToggled(); }
    bool CapsLock() const { return CapsLockToggled(); }
};

// ---- system parameters -----------------------------------------------------

enum TKitAccessTimeOutFlag { atfOnOffFeedback, atfTimeOutOn };
using TKitAccessTimeOutFlags = TSet<TKitAccessTimeOutFlag>;
enum TKitFilterKeyFlag { fkfAvailable, fkfClickOn, fkfFilterKeysOn, fkfHotkeyActive, fkfHotkeySound, fkfConfirmHotkey, fkfIndicator };
using TKitFilterKeyFlags = TSet<TKitFilterKeyFlag>;
enum TKitHighContrastFlag { hcfAvailable, hcfConfirmHotKey, hcfHighContrastOn, hcfHotkeyActive, hcfHotkeyAvailable, hcfHotkeySound, hcfIndicator };
using TKitHighContrastFlags = TSet<TKitHighContrastFlag>;
enum TKitMouseKeysFlag { mkfAvailable, mkfConfirmHotKey, mkfHotkeyActive, mkfHotkeySound, mkfIndicator, mkfMouseKeysOn, mkfModifiers, mkfReplaceNumbers };
using TKitMouseKeysFlags = TSet<TKitMouseKeysFlag>;
enum TKitSerialKeysFlag { serkfAvailable, serkfIndicator, serkfSerialKeysOn };
using TKitSerialKeysFlags = TSet<TKitSerialKeysFlag>;
enum TKitSoundSentryFlag { ssfAvailable, ssfSoundSentryOn, ssfIndicator };
using TKitSoundSentryFlags = TSet<TKitSoundSentryFlag>;
enum TKitToggleKeysFlag { tkfAvailable, tkfConfirmHotkey, tkfHotkeyActive, tkfHotkeySound, tkfToggleKeysOn };
using TKitToggleKeysFlags = TSet<TKitToggleKeysFlag>;
enum TKitStickyKeysFlag {
    skfStickyKeysOn, skfAvailable, skfHotkeyActive, skfConfirmHotkey, skfHotkeySound, skfIndicator,
    skfAudibleFeedback, skfTriState, skfTwoKeysOff, skfLeftAltLatched, skfLeftCtrlLatched, skfLeftShiftLatched,
    skfRightAltLatched, skfRightCtrlLatched, skfRightShiftLatched, skfLeftWinLatched, skfRightWinLatched,
    skfLeftAltLocked, skfLeftCtrlLocked, skfLeftShiftLocked, skfRightAltLocked, skfRightCtrlLocked,
    skfRightShiftLocked, skfLeftWinLocked, skfRightWinLocked
};
using TKitStickyKeysFlags = TSet<TKitStickyKeysFlag>;
enum TKitFontSmoothingType { fstStandard, fstClearType, fstDocking };
enum TKitSerialKeysPortState { psSerialKeysIgnored, psSerialKeysAware, psSerialKeysAlways };
enum TKitSoundSentryTextEffect { sstfNone, sstfChars, sstfBorder, sstfDisplay };
enum TKitSoundSentryGrafEffect { ssgfNone, ssgfDisplay };
enum TKitSoundSentryWindowsEffect { sswfNone, sswfTitle, sswfWindow, sswfDisplay, sswfCustom };
enum TKitWindowsArrangeItem { waDown, waLeft, waRight, waUp, waBottomLeft, waBottomRight, waHide, waTopLeft, waTopRight };
using TKitWindowsArrange = TSet<TKitWindowsArrangeItem>;

// The platform's arrange value (ARW_ bits) and back.
TKitWindowsArrange ArrangeFromPlatform(int Value);
int ArrangeToPlatform(TKitWindowsArrange Value);

// The accessibility records have no desktop-independent source: every read
// gives the failed-read values and every write refuses.
class TKitAccessTimeOut : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitAccessTimeOut);
    TKitAccessTimeOutFlags Flags() const { return {}; }
    uint32_t TimeOutMS() const { return 0; }
};
class TKitFilterKeys : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitFilterKeys);
    TKitFilterKeyFlags Flags() const { return {}; }
    uint32_t WaitMSec() const { return 0; }
    uint32_t DelayMSec() const { return 0; }
    uint32_t RepeatMSec() const { return 0; }
    uint32_t BounceMSec() const { return 0; }
};
class TKitHighContrast : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitHighContrast);
    TKitHighContrastFlags Flags() const { return {}; }
    String DefaultScheme() const { return {}; }
};
class TKitIconMetrics : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitIconMetrics);
    int HorzSpacing() const;
    int VertSpacing() const;
    bool TitleWrap() const { return false; }
    TFont* Font() const;

private:
    mutable std::unique_ptr<TFont> FFont;
};
class TKitMinimizedMetrics : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitMinimizedMetrics);
    int Width() const;
    int HorzGap() const { return 0; }
    int VertGap() const { return 0; }
    TKitWindowsArrange Arrange() const { return ArrangeFromPlatform(0); }
};
class TKitMouseKeys : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitMouseKeys);
    TKitMouseKeysFlags Flags() const { return {}; }
    int MaxSpeed() const { return 0; }
    int TimeToMaxSpeed() const { return 0; }
    int CtrlSpeed() const { return 0; }
};
// The frame sizes come from the drawing layer's metric table.
class TKitNonClientMetrics : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitNonClientMetrics);
    int BorderWidth() const;
    int ScrollWidth() const;
    int ScrollHeight() const;
    int CaptionWidth() const;
    int CaptionHeight() const;
    int SmallCaptionWidth() const;
    int SmallCaptionHeight() const;
    int MenuWidth() const;
    int MenuHeight() const;
    TFont* CaptionFont() const { return font(0); }
    TFont* SmallCaptionFont() const { return font(1); }
    TFont* MenuFont() const { return font(2); }
    TFont* StatusFont() const { return font(3); }
    TFont* MessageFont() const { return font(4); }

private:
    TFont* font(int Index) const;
    mutable std::unique_ptr<TFont> FFonts[5];
};
class TKitSerialKeys : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitSerialKeys);
    TKitSerialKeysFlags Flags() const { return {}; }
    String ActivePort() const { return {}; }
    String Port() const { return {}; }
    uint32_t BaudRate() const { return 0; }
    TKitSerialKeysPortState PortState() const { return psSerialKeysIgnored; }
    bool Active() const { return false; }
};
class TKitSoundSentry : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitSoundSentry);
    TKitSoundSentryFlags Flags() const { return {}; }
    TKitSoundSentryTextEffect TextEffect() const { return sstfNone; }
    uint32_t TextEffectMSec() const { return 0; }
    TColor TextEffectColor() const { return 0; }
    TKitSoundSentryGrafEffect GrafEffect() const { return ssgfNone; }
    uint32_t GrafEffectMSec() const { return 0; }
    TColor GrafEffectColor() const { return 0; }
    TKitSoundSentryWindowsEffect WindowsEffect() const { return sswfNone; }
    uint32_t WindowsEffectMSec() const { return 0; }
    String WindowsEffectDLL() const { return {}; }
};

class TKitSystemParametersInfo : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitSystemParametersInfo);
    TKitSystemParametersInfo();
    ~TKitSystemParametersInfo() override;

    // The settings by their SPI get code (the tables of the published names).
    bool GetBoolSetting(int GetCode) const;
    int GetIntSetting(int GetCode) const;
    // Nothing here writes the desktop's settings: refuses by the rule
    // (ScreenSaverRunning refuses always, WindowsExtensions is ignored).
    void SetBoolSetting(int GetCode, bool Value);
    void SetIntSetting(int GetCode, int Value);

    bool Animation() const { return false; }
    String DeskWallpaper() const { return {}; }
    TKitFontSmoothingType FontSmoothingType() const { return fstStandard; }
    int IconHorizontalSpacing() const;
    int IconVerticalSpacing() const;
    TFont* IconTitleFont() const;
    String KeyboardLayoutName() const { return {}; }
    int MouseThreshold1() const { return 0; }
    int MouseThreshold2() const { return 0; }
    TKitStickyKeysFlags StickyKeys() const { return {}; }
    TKitToggleKeysFlags ToggleKeys() const { return {}; }
    // The primary screen's available area (the whole fixed screen offscreen).
    TKitRect* WorkArea() const;

    TKitAccessTimeOut* AccessTimeOut() const;
    TKitFilterKeys* FilterKeys() const;
    TKitHighContrast* HighContrast() const;
    TKitIconMetrics* IconMetrics() const;
    TKitMinimizedMetrics* MinimizedMetrics() const;
    TKitMouseKeys* MouseKeys() const;
    TKitNonClientMetrics* NonClientMetrics() const;
    TKitSerialKeys* SerialKeys() const;
    TKitSoundSentry* SoundSentry() const;

private:
    mutable std::unique_ptr<TKitAccessTimeOut> FAccessTimeOut;
    mutable std::unique_ptr<TKitFilterKeys> FFilterKeys;
    mutable std::unique_ptr<TKitHighContrast> FHighContrast;
    mutable std::unique_ptr<TKitIconMetrics> FIconMetrics;
    mutable std::unique_ptr<TKitMinimizedMetrics> FMinimizedMetrics;
    mutable std::unique_ptr<TKitMouseKeys> FMouseKeys;
    mutable std::unique_ptr<TKitNonClientMetrics> FNonClientMetrics;
    mutable std::unique_ptr<TKitSerialKeys> FSerialKeys;
    mutable std::unique_ptr<TKitSoundSentry> FSoundSentry;
    mutable std::unique_ptr<TFont> FIconTitleFont;
    std::unique_ptr<TKitRect> FWorkArea;
};

// ---- screen, metrics, colours ---------------------------------------------

enum TKitCleanBoot { cbNormal, cbFailSafe, cbFailSafeNetwork };

// GetSystemMetrics of the drawing layer's fixed table, plus the pointer,
// caret, code-page and timing values.
class TKitMetricsInfo : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitMetricsInfo);
    int Metric(int Index) const;
    TKitWindowsArrange Arrange() const;
    TKitCleanBoot CleanBoot() const;
    uint32_t CaretBlinkTime() const;
    int CaretX() const { return -1; }
    int CaretY() const { return -1; }
    // -1 without a graphical application, as a failed position read.
    int CursorX() const;
    int CursorY() const;
    int CodePageANSI() const { return 65001; }
    int CodePageOEM() const { return 65001; }
    int DialogBaseUnits() const;
    int DoubleClickTime() const;
};

enum TKitDisplayFlag { dmGrayScale, dmInterlaced };
using TKitDisplayFlags = TSet<TKitDisplayFlag>;

// The primary screen of a graphical application; the fixed offscreen
// screen (1024 x 768, 32 bits, 60 Hz) otherwise.
class TKitScreenInfo : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitScreenInfo);
    uint32_t BitsPerPixel() const;
    uint32_t Width() const;
    uint32_t Height() const;
    uint32_t Hz() const;
    TKitDisplayFlags Flags() const { return {}; }
};

// GetSysColor of the drawing layer's fixed table.
class TKitSystemColorsInfo : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitSystemColorsInfo);
    TColor Color(int Index) const { return GetSysColor(Index); }
};

// ---- miscellaneous and files ----------------------------------------------

enum TKitWallpaperStyle { wsCenter, wsUnused, wsStretch };
enum TKitHWDockInfoItem { diDocked, diUndocked, diUserSupplied, diUserDocked, diUserUndocked };
using TKitHWDockInfo = TSet<TKitHWDockInfoItem>;

class TKitAppVersions : public TKitReadOnlyInfo {
public:
    KIT_INFO_CLASS(TKitAppVersions);
    String ADO() const { return {}; }
    String InternetExplorer() const { return {}; }
    String DirectX() const { return {}; }
    String OpenGL() const { return {}; }
    String BDE() const { return {}; }
};

class TKitHardwareProfile : public TKitReadOnlyInfo {
public:
    KIT_INFO_CLASS(TKitHardwareProfile);
    String GUID() const { return {}; }
    String Name() const { return {}; }
    TKitHWDockInfo DockInfo() const { return {}; }
};

class TKitMiscInfo : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitMiscInfo);
    TKitMiscInfo();
    ~TKitMiscInfo() override;
    // Milliseconds since boot, suspended time included.
    int64_t TimeRunning() const;
    String TimeRunningAsString() const;
    // An interface other than the loopback one is up and running.
    bool Online() const;
    String ScreenSaver() const { return {}; }
    int DVDRegion() const { return -1; }
    bool NetBIOS() const { return false; }
    bool WallpaperTiled() const { return false; }
    String Wallpaper() const { return {}; }
    TKitWallpaperStyle WallpaperStyle() const { return wsCenter; }
    String Pattern() const { return {}; }
    TStrings* ColorSchemes() const;
    String CurrentColorScheme() const { return {}; }
    TKitAppVersions* Versions() const;
    TKitHardwareProfile* HardwareProfile() const;

private:
    mutable std::unique_ptr<TKitAppVersions> FVersions;
    mutable std::unique_ptr<TKitHardwareProfile> FHardwareProfile;
    std::unique_ptr<TStringList> FColorSchemes;
};

// "%d %s": whole days and the time of day in the long time format.
String FormatTimeRunning(int64_t Milliseconds);

enum TKitExeType { etNone, etMSDos, etWin16, etWin32, etConsole };
enum TKitIconModifier { imNormal, imOverlay, imSelected, imOpen, imShellSize, imSmall };
using TKitIconModifiers = TSet<TKitIconModifier>;

class TKitFileInfo : public TKitWriteableInfo {
public:
    KIT_INFO_CLASS(TKitFileInfo);
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& Value) { FFileName = Value; }
    TKitIconModifiers Modifiers() const { return FModifiers; }
    // imNormal is always kept.
    void SetModifiers(TKitIconModifiers Value);
    int IconIndex() const { return 0; }
    String DisplayName() const;
    TKitExeType ExeType() const { return etNone; }
    // "D" for a folder, "H" for a dot name, "R" without write permission.
    String AttrString() const;
    String IconLocation() const { return {}; }
    // The MIME type's comment; "%s file" with the upper-case extension when
    // the type is unknown.
    String TypeString() const;

private:
    String FFileName;
    TKitIconModifiers FModifiers{imNormal};
};

// ---- the component ----------------------------------------------------------

using TKitDriveChangeEvent = TDelegate<void(TObject* Sender, QChar Drive)>;
using TKitSettingChangeEvent = TDelegate<void(TObject* Sender, int Flag, const String& Section)>;
using TKitCompactingEvent = TDelegate<void(TObject* Sender, int Ratio)>;
using TKitPowerBroadcastEvent = TDelegate<void(TObject* Sender, int Event, int Data)>;
using TKitDeviceChangeEvent = TDelegate<void(TObject* Sender, uint32_t Event, void* Data)>;
using TKitDevModeChangeEvent = TDelegate<void(TObject* Sender, const String& Device)>;
using TKitDisplayChangeEvent = TDelegate<void(TObject* Sender, int BitsPerPixel, int ScreenWidth, int ScreenHeight)>;
using TKitSpoolerChangeEvent = TDelegate<void(TObject* Sender, int JobStatus, int JobsLeft)>;
using TKitPaletteChangeEvent = TDelegate<void(TObject* Sender, uint32_t Wnd)>;

// The broadcast header and volume record of a device notice.
struct TDevBroadcastHdr {
    uint32_t dbch_size;
    uint32_t dbch_devicetype;
    uint32_t dbch_reserved;
};
struct TDevBroadcastVolume {
    TDevBroadcastHdr Header;
    uint32_t dbcv_unitmask;
    uint16_t dbcv_flags;
};

class TKitComputerInfoEx : public TComponent {
public:
    explicit TKitComputerInfoEx(TComponent* AOwner);
    ~TKitComputerInfoEx() override;
    KIT_INFO_CLASS(TKitComputerInfoEx);

    TKitAPMInfo* APM() const;
    TKitBIOSInfo* BIOS() const;
    TKitSystemColorsInfo* Colors() const;
    TKitCPUInfo* CPU() const;
    TKitFileInfo* FileInfo() const;
    TKitSystemFolders* Folders() const;
    TKitIdentification* Identification() const;
    TKitKeyInfo* Keyboard() const;
    TKitMemInfo* Memory() const;
    TKitMetricsInfo* Metrics() const;
    TKitMiscInfo* Misc() const;
    TKitOSVersionInfo* OS() const;
    TKitScreenInfo* Screen() const;
    TKitSystemParametersInfo* System() const;

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    // The window procedure of the notification window, by message number
    // (WM_SYSCOLORCHANGE ... WM_PALETTECHANGED). Nothing on this platform
    // broadcasts those messages; a layer that learns of such a change can
    // hand it in here.
    void NotificationProc(uint32_t Msg, uintptr_t WParam, intptr_t LParam);

    TKitDriveChangeEvent OnDeviceAdded;
    TKitDriveChangeEvent OnDeviceRemoved;
    TKitSettingChangeEvent OnSettingChange;
    TKitCompactingEvent OnCompacting;
    TKitPowerBroadcastEvent OnPowerBroadcast;
    TNotifyEvent OnUserChanged;
    TKitDeviceChangeEvent OnDeviceChange;
    TKitDevModeChangeEvent OnDeviceModeChange;
    TKitDisplayChangeEvent OnDisplayChange;
    TNotifyEvent OnTimeChange;
    TNotifyEvent OnFontChange;
    TNotifyEvent OnSysColorChange;
    TKitSpoolerChangeEvent OnSpoolerStatusChange;
    TKitPaletteChangeEvent OnPaletteChanging;
    TKitPaletteChangeEvent OnPaletteChanged;

protected:
    virtual void NotifySettingChange(int Flag, const String& Section);
    virtual void NotifyDriveChange(QChar Drive, bool Removed);
    virtual void NotifyCompacting(int Ratio);
    virtual void NotifyPowerBroadcast(int Event, int Data);
    virtual void NotifyUserChanged();
    virtual void NotifyDeviceChange(uint32_t Event, void* Data);
    virtual void NotifyDeviceModeChange(const String& Device);
    virtual void NotifyTimeChange();
    virtual void NotifyFontChange();
    virtual void NotifySysColorChange();
    virtual void NotifySpoolerStatusChange(int JobStatus, int JobsLeft);
    virtual void NotifyPaletteChanging(uint32_t Wnd);
    virtual void NotifyPaletteChanged(uint32_t Wnd);

private:
    template <class T>
    T* writeable(std::unique_ptr<T>& Slot, bool FollowReadOnly) const;

    mutable std::unique_ptr<TKitAPMInfo> FAPM;
    mutable std::unique_ptr<TKitBIOSInfo> FBIOS;
    mutable std::unique_ptr<TKitCPUInfo> FCPU;
    mutable std::unique_ptr<TKitIdentification> FIdentification;
    mutable std::unique_ptr<TKitKeyInfo> FKeyboard;
    mutable std::unique_ptr<TKitMemInfo> FMemory;
    mutable std::unique_ptr<TKitMiscInfo> FMisc;
    mutable std::unique_ptr<TKitOSVersionInfo> FOS;
    mutable std::unique_ptr<TKitScreenInfo> FScreen;
    mutable std::unique_ptr<TKitSystemFolders> FFolders;
    mutable std::unique_ptr<TKitMetricsInfo> FMetrics;
    mutable std::unique_ptr<TKitSystemParametersInfo> FSystem;
    mutable std::unique_ptr<TKitSystemColorsInfo> FColors;
    mutable std::unique_ptr<TKitFileInfo> FFileInfo;
    bool FReadOnly = true;
};

#undef KIT_INFO_CLASS
