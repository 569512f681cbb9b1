// The published properties of the computer-information component and its
// sub-objects. Only Folders.TrailingPathDelimiter, ReadOnly and the four
// properties the original marks are stored; the rest exist to be shown.
#include "platform/graphics/SysMetrics.h"
#include "support/KitComputerInfoEx.h"

namespace {

// Every write that the system cannot take here goes through the read-only rule.
constexpr auto refuse = [](auto&, const auto&) { RefuseReadOnlyWrite(false); };
constexpr auto ignore = [](auto&, const auto&) {};

#define KIT_ENUM(Info, Type, ...)                                  \
    constexpr const char* Info##Names[] = {__VA_ARGS__};          \
    constexpr TEnumInfo Info{Type, Info##Names}

KIT_ENUM(WindowsVersionInfo, "TWindowsVersion", "wvUnknown", "wvWin95", "wvWin95OSR2", "wvWin98", "wvWin98SE",
         "wvWinME", "wvWinNT31", "wvWinNT35", "wvWinNT351", "wvWinNT4", "wvWin2000", "wvWinXP", "wvWin2003",
         "wvWinXP64", "wvWin2003R2", "wvWinVista", "wvWinServer2008", "wvWin7", "wvWinServer2008R2");
KIT_ENUM(NtProductTypeInfo, "TNtProductType", "ptUnknown", "ptWorkStation", "ptServer", "ptAdvancedServer",
         "ptPersonal", "ptProfessional", "ptDatacenterServer", "ptEnterprise", "ptWebEdition");
KIT_ENUM(SSESupportInfo, "TSSESupport", "sse", "sse2", "sse3", "ssse3", "sse41", "sse42", "sse4A", "sse5", "avx");
KIT_ENUM(CPUTypeInfo, "TKitCPUType", "cpuUnknown", "cpuIntel", "cpuCyrix", "cpuAMD", "cpuCrusoe");
KIT_ENUM(LineStatusInfo, "TAPMLineStatus", "alsOffline", "alsOnline", "alsUnknown");
KIT_ENUM(BatteryFlagInfo, "TAPMBatteryFlag", "abfHigh", "abfLow", "abfCritical", "abfCharging", "abfNoBattery",
         "abfUnknown");
KIT_ENUM(AccessTimeOutFlagInfo, "TKitAccessTimeOutFlag", "atfOnOffFeedback", "atfTimeOutOn");
KIT_ENUM(FilterKeyFlagInfo, "TKitFilterKeyFlag", "fkfAvailable", "fkfClickOn", "fkfFilterKeysOn", "fkfHotkeyActive",
         "fkfHotkeySound", "fkfConfirmHotkey", "fkfIndicator");
KIT_ENUM(HighContrastFlagInfo, "TKitHighContrastFlag", "hcfAvailable", "hcfConfirmHotKey", "hcfHighContrastOn",
         "hcfHotkeyActive", "hcfHotkeyAvailable", "hcfHotkeySound", "hcfIndicator");
KIT_ENUM(MouseKeysFlagInfo, "TKitMouseKeysFlag", "mkfAvailable", "mkfConfirmHotKey", "mkfHotkeyActive",
         "mkfHotkeySound", "mkfIndicator", "mkfMouseKeysOn", "mkfModifiers", "mkfReplaceNumbers");
KIT_ENUM(SerialKeysFlagInfo, "TKitSerialKeysFlag", "serkfAvailable", "serkfIndicator", "serkfSerialKeysOn");
KIT_ENUM(SoundSentryFlagInfo, "TKitSoundSentryFlag", "ssfAvailable", "ssfSoundSentryOn", "ssfIndicator");
KIT_ENUM(ToggleKeysFlagInfo, "TKitToggleKeysFlag", "tkfAvailable", "tkfConfirmHotkey", "tkfHotkeyActive",
         "tkfHotkeySound", "tkfToggleKeysOn");
KIT_ENUM(StickyKeysFlagInfo, "TKitStickyKeysFlag", "skfStickyKeysOn", "skfAvailable", "skfHotkeyActive",
         "skfConfirmHotkey", "skfHotkeySound", "skfIndicator", "skfAudibleFeedback", "skfTriState", "skfTwoKeysOff",
         "skfLeftAltLatched", "skfLeftCtrlLatched", "skfLeftShiftLatched", "skfRightAltLatched",
         "skfRightCtrlLatched", "skfRightShiftLatched", "skfLeftWinLatched", "skfRightWinLatched",
         "skfLeftAltLocked", "skfLeftCtrlLocked", "skfLeftShiftLocked", "skfRightAltLocked", "skfRightCtrlLocked",
         "skfRightShiftLocked", "skfLeftWinLocked", "skfRightWinLocked");
KIT_ENUM(FontSmoothingTypeInfo, "TKitFontSmoothingType", "fstStandard", "fstClearType", "fstDocking");
KIT_ENUM(PortStateInfo, "TKitSerialKeysPortState", "psSerialKeysIgnored", "psSerialKeysAware",
         "psSerialKeysAlways");
KIT_ENUM(TextEffectInfo, "TKitSoundSentryTextEffect", "sstfNone", "sstfChars", "sstfBorder", "sstfDisplay");
KIT_ENUM(GrafEffectInfo, "TKitSoundSentryGrafEffect", "ssgfNone", "ssgfDisplay");
KIT_ENUM(WindowsEffectInfo, "TKitSoundSentryWindowsEffect", "sswfNone", "sswfTitle", "sswfWindow", "sswfDisplay",
         "sswfCustom");
KIT_ENUM(ArrangeInfo, "TKitWindowsArrangeItem", "waDown", "waLeft", "waRight", "waUp", "waBottomLeft",
         "waBottomRight", "waHide", "waTopLeft", "waTopRight");
KIT_ENUM(CleanBootInfo, "TKitCleanBoot", "cbNormal", "cbFailSafe", "cbFailSafeNetwork");
KIT_ENUM(DisplayFlagInfo, "TKitDisplayFlag", "dmGrayScale", "dmInterlaced");
KIT_ENUM(WallpaperStyleInfo, "TKitWallpaperStyle", "wsCenter", "wsUnused", "wsStretch");
KIT_ENUM(DockInfoInfo, "TKitHWDockInfoItem", "diDocked", "diUndocked", "diUserSupplied", "diUserDocked",
         "diUserUndocked");
KIT_ENUM(ExeTypeInfo, "TKitExeType", "etNone", "etMSDos", "etWin16", "etWin32", "etConsole");
KIT_ENUM(IconModifierInfo, "TKitIconModifier", "imNormal", "imOverlay", "imSelected", "imOpen", "imShellSize",
         "imSmall");
#undef KIT_ENUM

struct TNamedIndex {
    const char* Name;
    int Index;
};

struct TNamedSetting {
    const char* Name;
    int GetCode;
};

constexpr TNamedIndex IntegerMetrics[] = {
    {"ScreenWidth", 0}, {"ScreenHeight", 1}, {"ScrollWidth", 2}, {"ScrollArrowHeight", 3},
    {"WindowCaptionHeight", 4}, {"BorderWidth", 5}, {"BorderHeight", 6}, {"DialogFrameWidth", 7},
    {"DialogFrameHeight", 8}, {"FixedFrameWidth", 7}, {"FixedFrameHeight", 8}, {"ScrollThumbHeight", 9},
    {"ScrollThumbWidth", 10}, {"IconWidth", 11}, {"IconHeight", 12}, {"CursorWidth", 13}, {"CursorHeight", 14},
    {"MenuItemHeight", 15}, {"ScreenClientWidth", 16}, {"ScreenClientHeight", 17}, {"KanjiWindowHeight", 18},
    {"ScrollHeight", 20}, {"ScrollArrowWidth", 21}, {"MinWindowWidth", 28}, {"MinWindowHeight", 29},
    {"CaptionButtonWidth", 30}, {"CaptionButtonheight", 31}, {"FrameWidth", 32}, {"FrameHeight", 33},
    {"ResizeBorderWidth", 32}, {"ResizeBorderHeight", 33}, {"MinDragWindowWidth", 34},
    {"MinDragWindowHeight", 35}, {"DoubleClickWidth", 36}, {"DoubleClickHeight", 37}, {"IconSpacingWidth", 38},
    {"IconSpacingHeight", 39}, {"MouseButtons", 43}, {"EdgeWidth", 45}, {"EdgeHeight", 46},
    {"MinimizedWindowSpacingWidth", 47}, {"MinimizedWindowSpacingHeight", 48}, {"SmallIconWidth", 49},
    {"SmallIconHeight", 50}, {"SmallWindowCaptionHeight", 51}, {"SmallCaptionButtonWidth", 52},
    {"SmallCaptionButtonHeight", 53}, {"MenuButtonWidth", 54}, {"MenuButtonHeight", 55},
    {"MinimizedWindowWidth", 57}, {"MinimizedWindowHeight", 58}, {"MaxDragWindowWidth", 59},
    {"MaxDragWindowHeight", 60}, {"MaximizedWindowWidth", 61}, {"MaximizedWindowHeight", 62}, {"DragWidth", 68},
    {"DragHeight", 69}, {"MenuCheckWidth", 71}, {"MenuCheckHeight", 72},
};

constexpr TNamedIndex BooleanMetrics[] = {
    {"MousePresent", 19}, {"Debug", 22}, {"MouseButtonsSwapped", 23}, {"MenuRightAligned", 40},
    {"PenWindows", 41}, {"DBCSEnabled", 42}, {"Secure", 44}, {"Networked", 63}, {"ShowSounds", 70},
    {"SlowMachine", 73}, {"MidEastEnabled", 74}, {"MouseWheelPresent", 75},
};

constexpr TNamedSetting BooleanSettings[] = {
    {"Beep", 1}, {"ScreenSaverActive", 16}, {"IconTitleWrap", 25}, {"MenuLeftAligned", 27},
    {"DragFullWindows", 38}, {"ShowSounds", 56}, {"KeyboardPreferred", 68}, {"ScreenReader", 70},
    {"FontSmoothing", 74}, {"LowPowerActive", 83}, {"PowerOffActive", 84}, {"WindowsExtensions", 92},
    {"SnapToDefaultButton", 95}, {"ShowIMEUI", 110}, {"ScreenSaverRunning", 114},
    {"ActiveWindowTracking", 0x1000}, {"MenuAnimation", 0x1002}, {"ComboboxAnimation", 0x1004},
    {"ListboxSmoothScrolling", 0x1006}, {"GradientCaptions", 0x1008}, {"MenuUnderLines", 0x100A},
    {"ActiveWindowTrackZOrder", 0x100C}, {"HotTracking", 0x100E}, {"MenuFade", 0x1012},
    {"SelectionFade", 0x1014}, {"ToolTipAnimation", 0x1016}, {"ToolTipFade", 0x1018}, {"CursorShadow", 0x101A},
    {"MouseSonar", 0x101C}, {"MouseClickLock", 0x101E}, {"MouseVanish", 0x1020}, {"FlatMenu", 0x1022},
    {"DropShadow", 0x1024}, {"UIEffects", 0x103E},
};

constexpr TNamedSetting IntegerSettings[] = {
    {"BorderMultiplier", 5}, {"KeyboardSpeed", 10}, {"ScreenSaveTimeOut", 14}, {"GridGranularity", 18},
    {"KeyboardDelay", 22}, {"LowPowerTimeOut", 79}, {"PowerOffTimeout", 80}, {"DefaultInputLanguage", 89},
    {"MouseTrails", 94}, {"MouseHoverWidth", 98}, {"MouseHoverHeight", 100}, {"MouseHoverTime", 102},
    {"WheelScrollLines", 104}, {"MenuShowDelay", 106}, {"MouseSpeed", 112}, {"ForegroundLockTimeOut", 0x2000},
    {"ActiveWindowTrackTimeOut", 0x2002}, {"ForegroundFlashCount", 0x2004}, {"CaretWidth", 0x2006},
    {"MouseClickLockTime", 0x2008}, {"FontSmoothingContrast", 0x200C}, {"FocusBorderWidth", 0x200E},
    {"FocusBorderHeight", 0x2010},
};

constexpr TNamedIndex SystemColors[] = {
    {"ColorScrollBar", 0}, {"ColorBackground", 1}, {"ColorActiveCaption", 2}, {"ColorInactiveCaption", 3},
    {"ColorMenu", 4}, {"ColorWindow", 5}, {"ColorWindowFrame", 6}, {"ColorMenuText", 7}, {"ColorWindowText", 8},
    {"ColorCaptionText", 9}, {"ColorActiveBorder", 10}, {"ColorInactiveBorder", 11}, {"ColorAppWorkspace", 12},
    {"ColorHighlight", 13}, {"ColorHighlightText", 14}, {"Color3DFace", 15}, {"ColorBtnFace", 15},
    {"Color3DShadow", 16}, {"ColorGrayText", 17}, {"ColorBtnText", 18}, {"ColorInactiveCaptionText", 19},
    {"Color3DHighlight", 20}, {"Color3DDarkShadow", 21}, {"Color3DLight", 22}, {"ColorInfoText", 23},
    {"ColorInfoBk", 24}, {"ColorHotLight", 26}, {"ColorGradientActiveCaption", 27},
    {"ColorGradientInactiveCaption", 28}, {"ColorMenuHighlight", 29}, {"ColorMenuBar", 30},
};

template <class C>
TClassInfoBuilder<C> readOnlyBuilder(const char* Name)
{
    return TClassInfoBuilder<C>(Name, &TKitReadOnlyInfo::StaticClassInfo());
}

template <class C>
TClassInfoBuilder<C> writeableBuilder(const char* Name)
{
    return TClassInfoBuilder<C>(Name, &TKitWriteableInfo::StaticClassInfo());
}

}  // namespace

const TClassInfo& TKitReadOnlyInfo::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TKitReadOnlyInfo>("TKitReadOnlyInfo").Build();
    return info;
}

const TClassInfo& TKitWriteableInfo::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TKitWriteableInfo>("TKitWriteableInfo").Build();
    return info;
}

const TClassInfo& TKitSystemFolders::StaticClassInfo()
{
    using C = TKitSystemFolders;
    static const TClassInfo info = [] {
        auto b = writeableBuilder<C>("TKitSystemFolders");
        b.Bool("TrailingPathDelimiter", &C::TrailingPathDelimiter, &C::SetTrailingPathDelimiter, false);
        b.Str("CommonFiles", &C::CommonFiles, refuse).Stored(false);
        b.Str("Current", &C::Current, &C::SetCurrent).Stored(false);
        b.Str("ProgramFiles", &C::ProgramFiles, refuse).Stored(false);
        b.Str("Windows", &C::Windows, refuse).Stored(false);
        b.Str("System", &C::System, refuse).Stored(false);
        b.Str("Temp", &C::Temp, refuse).Stored(false);
        static constexpr TNamedIndex folders[] = {
            {"Desktop", 0}, {"Programs", 2}, {"Personal", 5}, {"Favorites", 6}, {"Startup", 7}, {"Recent", 8},
            {"SendTo", 9}, {"StartMenu", 11}, {"DesktopDirectory", 16}, {"Nethood", 19}, {"Fonts", 20},
            {"Templates", 21}, {"CommonStartmenu", 22}, {"CommonPrograms", 23}, {"CommonStartup", 24},
            {"CommonDesktopDirectory", 25}, {"AppData", 26}, {"Printhood", 27}, {"CommonFavorites", 31},
            {"InternetCache", 32}, {"Cookies", 33}, {"History", 34}, {"CommonAppData", 35}, {"Profile", 40},
        };
        for (const TNamedIndex& f : folders) {
            const int id = f.Index;
            b.Str(f.Name, [id](const C& s) { return s.GetFolder(id); },
                  [id](C& s, const String& v) { s.SetFolder(id, v); })
                .Stored(false);
        }
        return b.Build();
    }();
    return info;
}

const TClassInfo& TKitOSVersionInfo::StaticClassInfo()
{
    using C = TKitOSVersionInfo;
    static const TClassInfo info = readOnlyBuilder<C>("TKitOSVersionInfo")
        .Enum("OSVersion", WindowsVersionInfo, &C::OSVersion, refuse).Stored(false)
        .Enum("ProductType", NtProductTypeInfo, &C::ProductType, refuse).Stored(false)
        .Str("ProductID", &C::ProductID, refuse).Stored(false)
        .Str("ProductName", &C::ProductName, refuse).Stored(false)
        .Int64("ServicePackVersion", &C::ServicePackVersion, refuse).Stored(false)
        .Int64("VersionBuild", &C::VersionBuild, refuse).Stored(false)
        .Int64("VersionMajor", &C::VersionMajor, refuse).Stored(false)
        .Int64("VersionMinor", &C::VersionMinor, refuse).Stored(false)
        .Str("VersionCSDString", &C::VersionCSDString, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitCPUInfo::StaticClassInfo()
{
    using C = TKitCPUInfo;
    static const TClassInfo info = readOnlyBuilder<C>("TKitCPUInfo")
        .Bool("HasInstruction", &C::HasInstruction, refuse).Stored(false)
        .Bool("MMX", &C::MMX, refuse).Stored(false)
        .Set("SSE", SSESupportInfo, &C::SSE, refuse).Stored(false)
        .Bool("IsFDIVOK", &C::IsFDIVOK, refuse).Stored(false)
        .Bool("HasCacheInfo", &C::HasCacheInfo, refuse).Stored(false)
        .Bool("HasExtendedInfo", &C::HasExtendedInfo, refuse).Stored(false)
        .Enum("CPUType", CPUTypeInfo, &C::CPUType, refuse).Stored(false)
        .Int("Family", &C::Family, refuse).Stored(false)
        .Int("Model", &C::Model, refuse).Stored(false)
        .Int("Stepping", &C::Stepping, refuse).Stored(false)
        .Str("VendorIDString", &C::VendorIDString, refuse).Stored(false)
        .Str("Manufacturer", &C::Manufacturer, refuse).Stored(false)
        .Str("Name", &C::Name, refuse).Stored(false)
        .Int("ProcessorCount", &C::ProcessorCount, refuse).Stored(false)
        .Bool("Is64Bits", &C::Is64Bits, refuse).Stored(false)
        .Bool("ExMMX", &C::ExMMX, refuse).Stored(false)
        .Bool("_3DNow", &C::_3DNow, refuse).Stored(false)
        .Bool("Ex3DNow", &C::Ex3DNow, refuse).Stored(false)
        .Int64("L1DataCache", &C::L1DataCache, refuse).Stored(false)
        .Int64("L1CodeCache", &C::L1CodeCache, refuse).Stored(false)
        .Int64("L2Cache", &C::L2Cache, refuse).Stored(false)
        .Int64("L3Cache", &C::L3Cache, refuse).Stored(false)
        .Int64("RawFreq", &C::RawFreq, refuse).Stored(false)
        .Int64("NormFreq", &C::NormFreq, refuse).Stored(false)
        .Bool("DEPCapable", &C::DEPCapable, refuse).Stored(false)
        .Int("PhysicalCore", &C::PhysicalCore, refuse).Stored(false)
        .Int("LogicalCore", &C::LogicalCore, refuse).Stored(false)
        .Bool("HyperThreadingTechnology", &C::HyperThreadingTechnology, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitIdentification::StaticClassInfo()
{
    using C = TKitIdentification;
    static const TClassInfo info = writeableBuilder<C>("TKitIdentification")
        .Str("IPAddress", &C::IPAddress, refuse)
        .Str("LocalComputerName", &C::LocalComputerName, refuse).Stored(false)
        .Str("LocalUserName", &C::LocalUserName, refuse).Stored(false)
        .Str("LocalWorkgroup", &C::LocalWorkgroup, refuse).Stored(false)
        .Str("DomainName", &C::DomainName, refuse).Stored(false)
        .Str("RegisteredCompany", &C::RegisteredCompany, refuse).Stored(false)
        .Str("RegisteredOwner", &C::RegisteredOwner, refuse).Stored(false)
        .Str("Comment", &C::Comment, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitMemInfo::StaticClassInfo()
{
    using C = TKitMemInfo;
    static const TClassInfo info = readOnlyBuilder<C>("TKitMemInfo")
        .Int64("MaxAppAddress", &C::MaxAppAddress, refuse).Stored(false)
        .Int64("MinAppAddress", &C::MinAppAddress, refuse).Stored(false)
        .Int64("MemoryLoad", &C::MemoryLoad, refuse).Stored(false)
        .Int64("SwapFileSize", &C::SwapFileSize, refuse).Stored(false)
        .Int("SwapFileUsage", &C::SwapFileUsage, refuse).Stored(false)
        .Int64("TotalPhysicalMemory", &C::TotalPhysicalMemory, refuse).Stored(false)
        .Int64("FreePhysicalMemory", &C::FreePhysicalMemory, refuse).Stored(false)
        .Int64("TotalPageFileMemory", &C::TotalPageFileMemory, refuse).Stored(false)
        .Int64("FreePageFileMemory", &C::FreePageFileMemory, refuse).Stored(false)
        .Int64("TotalVirtualMemory", &C::TotalVirtualMemory, refuse).Stored(false)
        .Int64("FreeVirtualMemory", &C::FreeVirtualMemory, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitAPMInfo::StaticClassInfo()
{
    using C = TKitAPMInfo;
    static const TClassInfo info = readOnlyBuilder<C>("TKitAPMInfo")
        .Enum("BatteryFlag", BatteryFlagInfo, &C::BatteryFlag, refuse).Stored(false)
        .Enum("LineStatus", LineStatusInfo, &C::LineStatus, refuse).Stored(false)
        .Int("BatteryLifePercent", &C::BatteryLifePercent, refuse).Stored(false)
        .Int64("BatteryLifeTime", &C::BatteryLifeTime, refuse).Stored(false)
        .Int64("BatteryFullLifeTime", &C::BatteryFullLifeTime, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitBIOSInfo::StaticClassInfo()
{
    using C = TKitBIOSInfo;
    static const TClassInfo info = readOnlyBuilder<C>("TKitBIOSInfo")
        .Str("Name", &C::Name, refuse).Stored(false)
        .Str("Copyright", &C::Copyright, refuse).Stored(false)
        .Str("ExtendedInfo", &C::ExtendedInfo, refuse).Stored(false)
        .Float("Date", &C::Date, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitKeyInfo::StaticClassInfo()
{
    using C = TKitKeyInfo;
    static const TClassInfo info = writeableBuilder<C>("TKitKeyInfo")
        .Bool("NumLock", &C::NumLock, refuse).Stored(false)
        .Bool("ScrollLock", &C::ScrollLock, refuse).Stored(false)
        .Bool("CapsLock", &C::CapsLock, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitAccessTimeOut::StaticClassInfo()
{
    using C = TKitAccessTimeOut;
    static const TClassInfo info = writeableBuilder<C>("TKitAccessTimeOut")
        .Set("Flags", AccessTimeOutFlagInfo, &C::Flags, refuse).Stored(false)
        .Int64("TimeOutMS", &C::TimeOutMS, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitFilterKeys::StaticClassInfo()
{
    using C = TKitFilterKeys;
    static const TClassInfo info = writeableBuilder<C>("TKitFilterKeys")
        .Set("Flags", FilterKeyFlagInfo, &C::Flags, refuse).Stored(false)
        .Int64("WaitMSec", &C::WaitMSec, refuse).Stored(false)
        .Int64("DelayMSec", &C::DelayMSec, refuse).Stored(false)
        .Int64("RepeatMSec", &C::RepeatMSec, refuse).Stored(false)
        .Int64("BounceMSec", &C::BounceMSec, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitHighContrast::StaticClassInfo()
{
    using C = TKitHighContrast;
    static const TClassInfo info = writeableBuilder<C>("TKitHighContrast")
        .Set("Flags", HighContrastFlagInfo, &C::Flags, refuse).Stored(false)
        .Str("DefaultScheme", &C::DefaultScheme, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitIconMetrics::StaticClassInfo()
{
    using C = TKitIconMetrics;
    static const TClassInfo info = writeableBuilder<C>("TKitIconMetrics")
        .Int("HorzSpacing", &C::HorzSpacing, refuse).Stored(false)
        .Int("VertSpacing", &C::VertSpacing, refuse).Stored(false)
        .Bool("TitleWrap", &C::TitleWrap, refuse).Stored(false)
        .Object("Font", &C::Font, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitMinimizedMetrics::StaticClassInfo()
{
    using C = TKitMinimizedMetrics;
    static const TClassInfo info = writeableBuilder<C>("TKitMinimizedMetrics")
        .Int("Width", &C::Width, refuse).Stored(false)
        .Int("HorzGap", &C::HorzGap, refuse).Stored(false)
        .Int("VertGap", &C::VertGap, refuse).Stored(false)
        .Set("Arrange", ArrangeInfo, &C::Arrange, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitMouseKeys::StaticClassInfo()
{
    using C = TKitMouseKeys;
    static const TClassInfo info = writeableBuilder<C>("TKitMouseKeys")
        .Set("Flags", MouseKeysFlagInfo, &C::Flags, refuse).Stored(false)
        .Int("MaxSpeed", &C::MaxSpeed, refuse).Stored(false)
        .Int("TimeToMaxSpeed", &C::TimeToMaxSpeed, refuse).Stored(false)
        .Int("CtrlSpeed", &C::CtrlSpeed, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitNonClientMetrics::StaticClassInfo()
{
    using C = TKitNonClientMetrics;
    static const TClassInfo info = writeableBuilder<C>("TKitNonClientMetrics")
        .Int("BorderWidth", &C::BorderWidth, refuse).Stored(false)
        .Int("ScrollWidth", &C::ScrollWidth, refuse).Stored(false)
        .Int("ScrollHeight", &C::ScrollHeight, refuse).Stored(false)
        .Int("CaptionWidth", &C::CaptionWidth, refuse).Stored(false)
        .Int("CaptionHeight", &C::CaptionHeight, refuse).Stored(false)
        .Int("SmallCaptionWidth", &C::SmallCaptionWidth, refuse).Stored(false)
        .Int("SmallCaptionHeight", &C::SmallCaptionHeight, refuse).Stored(false)
        .Int("MenuWidth", &C::MenuWidth, refuse).Stored(false)
        .Int("MenuHeight", &C::MenuHeight, refuse).Stored(false)
        .Object("CaptionFont", &C::CaptionFont, refuse).Stored(false)
        .Object("SmallCaptionFont", &C::SmallCaptionFont, refuse).Stored(false)
        .Object("MenuFont", &C::MenuFont, refuse).Stored(false)
        .Object("StatusFont", &C::StatusFont, refuse).Stored(false)
        .Object("MessageFont", &C::MessageFont, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitSerialKeys::StaticClassInfo()
{
    using C = TKitSerialKeys;
    static const TClassInfo info = writeableBuilder<C>("TKitSerialKeys")
        .Set("Flags", SerialKeysFlagInfo, &C::Flags, refuse).Stored(false)
        .Str("ActivePort", &C::ActivePort, refuse).Stored(false)
        .Str("Port", &C::Port, refuse).Stored(false)
        .Int64("BaudRate", &C::BaudRate, refuse).Stored(false)
        .Enum("PortState", PortStateInfo, &C::PortState, refuse).Stored(false)
        .Bool("Active", &C::Active, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitSoundSentry::StaticClassInfo()
{
    using C = TKitSoundSentry;
    static const TClassInfo info = writeableBuilder<C>("TKitSoundSentry")
        .Set("Flags", SoundSentryFlagInfo, &C::Flags, refuse).Stored(false)
        .Enum("TextEffect", TextEffectInfo, &C::TextEffect, refuse).Stored(false)
        .Int64("TextEffectMSec", &C::TextEffectMSec, refuse).Stored(false)
        .Int("TextEffectColor", &C::TextEffectColor, refuse).Stored(false)
        .Enum("GrafEffect", GrafEffectInfo, &C::GrafEffect, refuse).Stored(false)
        .Int64("GrafEffectMSec", &C::GrafEffectMSec, refuse).Stored(false)
        .Int("GrafEffectColor", &C::GrafEffectColor, refuse).Stored(false)
        .Enum("WindowsEffect", WindowsEffectInfo, &C::WindowsEffect, refuse).Stored(false)
        .Int64("WindowsEffectMSec", &C::WindowsEffectMSec, refuse).Stored(false)
        .Str("WindowsEffectDLL", &C::WindowsEffectDLL, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitSystemParametersInfo::StaticClassInfo()
{
    using C = TKitSystemParametersInfo;
    static const TClassInfo info = [] {
        auto b = writeableBuilder<C>("TKitSystemParametersInfo");
        for (const TNamedSetting& s : BooleanSettings) {
            const int code = s.GetCode;
            b.Bool(s.Name, [code](const C& c) { return c.GetBoolSetting(code); },
                   [code](C& c, bool v) { c.SetBoolSetting(code, v); })
                .Stored(false);
        }
        for (const TNamedSetting& s : IntegerSettings) {
            const int code = s.GetCode;
            b.Int(s.Name, [code](const C& c) { return c.GetIntSetting(code); },
                  [code](C& c, int v) { c.SetIntSetting(code, v); })
                .Stored(false);
        }
        b.Bool("Animation", &C::Animation, refuse).Stored(false);
        b.Str("DeskWallpaper", &C::DeskWallpaper, refuse).Stored(false);
        b.Enum("FontSmoothingType", FontSmoothingTypeInfo, &C::FontSmoothingType, refuse).Stored(false);
        b.Int("IconHorizontalSpacing", &C::IconHorizontalSpacing, refuse).Stored(false);
        b.Int("IconVerticalSpacing", &C::IconVerticalSpacing, refuse).Stored(false);
        b.Object("IconTitleFont", &C::IconTitleFont, refuse).Stored(false);
        b.Str("KeyboardLayoutName", &C::KeyboardLayoutName, refuse).Stored(false);
        b.Int("MouseThreshold1", &C::MouseThreshold1, refuse).Stored(false);
        b.Int("MouseThreshold2", &C::MouseThreshold2, refuse).Stored(false);
        b.Set("StickyKeys", StickyKeysFlagInfo, &C::StickyKeys, refuse).Stored(false);
        b.Set("ToggleKeys", ToggleKeysFlagInfo, &C::ToggleKeys, refuse).Stored(false);
        b.Object("WorkArea", &C::WorkArea, refuse).Stored(false);
        b.Object("AccessTimeOut", &C::AccessTimeOut, ignore).Stored(false);
        b.Object("FilterKeys", &C::FilterKeys, ignore).Stored(false);
        b.Object("HighContrast", &C::HighContrast, ignore).Stored(false);
        b.Object("IconMetrics", &C::IconMetrics, ignore).Stored(false);
        b.Object("MinimizedMetrics", &C::MinimizedMetrics, ignore).Stored(false);
        b.Object("MouseKeys", &C::MouseKeys, ignore).Stored(false);
        b.Object("NonClientMetrics", &C::NonClientMetrics, ignore).Stored(false);
        b.Object("SerialKeys", &C::SerialKeys, ignore).Stored(false);
        b.Object("SoundSentry", &C::SoundSentry, ignore).Stored(false);
        return b.Build();
    }();
    return info;
}

const TClassInfo& TKitMetricsInfo::StaticClassInfo()
{
    using C = TKitMetricsInfo;
    static const TClassInfo info = [] {
        auto b = writeableBuilder<C>("TKitMetricsInfo");
        for (const TNamedIndex& m : IntegerMetrics) {
            const int index = m.Index;
            b.Int(m.Name, [index](const C& c) { return c.Metric(index); }, refuse).Stored(false);
        }
        for (const TNamedIndex& m : BooleanMetrics) {
            const int index = m.Index;
            b.Bool(m.Name, [index](const C& c) { return c.Metric(index) != 0; }, refuse).Stored(false);
        }
        b.Set("Arrange", ArrangeInfo, &C::Arrange, refuse).Stored(false);
        b.Enum("CleanBoot", CleanBootInfo, &C::CleanBoot, refuse).Stored(false);
        b.Int64("CaretBlinkTime", &C::CaretBlinkTime, refuse).Stored(false);
        b.Int("CaretX", &C::CaretX, refuse).Stored(false);
        b.Int("CaretY", &C::CaretY, refuse).Stored(false);
        b.Int("CursorX", &C::CursorX, refuse).Stored(false);
        b.Int("CursorY", &C::CursorY, refuse).Stored(false);
        b.Int("CodePageANSI", &C::CodePageANSI, refuse).Stored(false);
        b.Int("CodePageOEM", &C::CodePageOEM, refuse).Stored(false);
        b.Int("DialogBaseUnits", &C::DialogBaseUnits, refuse).Stored(false);
        b.Int("DoubleClickTime", &C::DoubleClickTime, ignore).Stored(false);
        return b.Build();
    }();
    return info;
}

const TClassInfo& TKitScreenInfo::StaticClassInfo()
{
    using C = TKitScreenInfo;
    static const TClassInfo info = writeableBuilder<C>("TKitScreenInfo")
        .Int64("BitsPerPixel", &C::BitsPerPixel, refuse).Stored(false)
        .Int64("Width", &C::Width, refuse).Stored(false)
        .Int64("Height", &C::Height, refuse).Stored(false)
        .Int64("Hz", &C::Hz, refuse).Stored(false)
        .Set("Flags", DisplayFlagInfo, &C::Flags, refuse)
        .Build();
    return info;
}

const TClassInfo& TKitSystemColorsInfo::StaticClassInfo()
{
    using C = TKitSystemColorsInfo;
    static const TClassInfo info = [] {
        auto b = writeableBuilder<C>("TKitSystemColorsInfo");
        for (const TNamedIndex& c : SystemColors) {
            const int index = c.Index;
            b.Int(c.Name, [index](const C& s) { return s.Color(index); }, refuse).Stored(false);
        }
        return b.Build();
    }();
    return info;
}

const TClassInfo& TKitAppVersions::StaticClassInfo()
{
    using C = TKitAppVersions;
    static const TClassInfo info = readOnlyBuilder<C>("TKitAppVersions")
        .Str("ADO", &C::ADO, refuse).Stored(false)
        .Str("InternetExplorer", &C::InternetExplorer, refuse).Stored(false)
        .Str("DirectX", &C::DirectX, refuse).Stored(false)
        .Str("OpenGL", &C::OpenGL, refuse).Stored(false)
        .Str("BDE", &C::BDE, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitHardwareProfile::StaticClassInfo()
{
    using C = TKitHardwareProfile;
    static const TClassInfo info = readOnlyBuilder<C>("TKitHardwareProfile")
        .Str("GUID", &C::GUID, refuse).Stored(false)
        .Str("Name", &C::Name, refuse).Stored(false)
        .Set("DockInfo", DockInfoInfo, &C::DockInfo, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitMiscInfo::StaticClassInfo()
{
    using C = TKitMiscInfo;
    static const TClassInfo info = writeableBuilder<C>("TKitMiscInfo")
        .Int64("TimeRunning", &C::TimeRunning, refuse).Stored(false)
        .Str("TimeRunningAsString", &C::TimeRunningAsString, refuse).Stored(false)
        .Bool("Online", &C::Online, refuse).Stored(false)
        .Str("ScreenSaver", &C::ScreenSaver, refuse).Stored(false)
        .Int("DVDRegion", &C::DVDRegion, refuse).Stored(false)
        .Bool("NetBIOS", &C::NetBIOS, refuse).Stored(false)
        .Bool("WallpaperTiled", &C::WallpaperTiled, refuse).Stored(false)
        .Str("Wallpaper", &C::Wallpaper, refuse).Stored(false)
        .Enum("WallpaperStyle", WallpaperStyleInfo, &C::WallpaperStyle, refuse).Stored(false)
        .Str("Pattern", &C::Pattern, refuse).Stored(false)
        .Object("ColorSchemes", &C::ColorSchemes, refuse).Stored(false)
        .Str("CurrentColorScheme", &C::CurrentColorScheme, refuse).Stored(false)
        .Object("Versions", &C::Versions, ignore).Stored(false)
        .Object("HardwareProfile", &C::HardwareProfile, ignore).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitFileInfo::StaticClassInfo()
{
    using C = TKitFileInfo;
    static const TClassInfo info = writeableBuilder<C>("TKitFileInfo")
        .Str("FileName", &C::FileName, &C::SetFileName).Stored(false)
        .Set("Modifiers", IconModifierInfo, &C::Modifiers, &C::SetModifiers, TKitIconModifiers{imNormal})
        .Int("IconIndex", &C::IconIndex, refuse).Stored(false)
        .Str("DisplayName", &C::DisplayName, refuse).Stored(false)
        .Enum("ExeType", ExeTypeInfo, &C::ExeType, refuse).Stored(false)
        .Str("AttrString", &C::AttrString, refuse).Stored(false)
        .Str("IconLocation", &C::IconLocation, refuse).Stored(false)
        .Str("TypeString", &C::TypeString, refuse).Stored(false)
        .Build();
    return info;
}

const TClassInfo& TKitComputerInfoEx::StaticClassInfo()
{
    using C = TKitComputerInfoEx;
    static const TClassInfo info = TClassInfoBuilder<C>("TKitComputerInfoEx", &TComponent::StaticClassInfo())
        .Object("APM", &C::APM, ignore).Stored(false)
        .Object("BIOS", &C::BIOS, ignore).Stored(false)
        .Object("Colors", &C::Colors, ignore).Stored(false)
        .Object("CPU", &C::CPU, ignore).Stored(false)
        .Object("FileInfo", &C::FileInfo, ignore).Stored(false)
        .Object("Folders", &C::Folders, ignore)
        .Object("Identification", &C::Identification, ignore).Stored(false)
        .Object("Keyboard", &C::Keyboard, ignore).Stored(false)
        .Object("Memory", &C::Memory, ignore).Stored(false)
        .Object("Metrics", &C::Metrics, ignore)
        .Object("Misc", &C::Misc, ignore).Stored(false)
        .Object("OS", &C::OS, ignore).Stored(false)
        .Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly, true)
        .Object("Screen", &C::Screen, ignore).Stored(false)
        .Object("System", &C::System, ignore).Stored(false)
        .Build();
    return info;
}
