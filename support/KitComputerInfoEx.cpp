#include "support/KitComputerInfoEx.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QScreen>
#include <QStyleHints>

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <atomic>
#include <bit>
#include <ctime>

#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "support/SxShell.h"

namespace {

// Written by constructors only; the last constructed component wins.
std::atomic<bool> designing{false};

// The screen of a graphical application, unless it runs offscreen, where
// the drawing layer's fixed screen applies.
const QScreen* guiScreen()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return nullptr;
    return QGuiApplication::primaryScreen();
}

const QStyleHints* styleHints()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    return QGuiApplication::styleHints();
}

template <class T>
T* lazy(std::unique_ptr<T>& Slot)
{
    if (!Slot)
        Slot = std::make_unique<T>();
    return Slot.get();
}

}  // namespace

void RefuseReadOnlyWrite(bool Force)
{
    if (Force || !designing.load())
        throw EKitComputerInfoEx(LoadResString(KitResources::RsKitReadOnlyProperty));
}

bool KitComputerInfoDesigning()
{
    return designing.load();
}

bool TKitWriteableInfo::WriteAllowed() const
{
    if (designing.load() || FReadOnly) {
        RefuseReadOnlyWrite(false);
        return false;
    }
    return true;
}

// ---- folders --------------------------------------------------------------

// An unknown folder stays empty whatever the delimiter setting: a lone "/"
// would name the root folder.
String TKitSystemFolders::delimited(String Path) const
{
    if (Path.isEmpty())
        return Path;
    if (FTrailingPathDelimiter)
        return IncludeTrailingPathDelimiter(Path);
    while (Path.size() > 1 && Path.endsWith(PathDelim))
        Path.chop(1);
    return Path;
}

String TKitSystemFolders::CommonFiles() const { return {}; }
String TKitSystemFolders::ProgramFiles() const { return {}; }
String TKitSystemFolders::Windows() const { return {}; }
String TKitSystemFolders::System() const { return {}; }

String TKitSystemFolders::Current() const
{
    return delimited(QDir::currentPath());
}

void TKitSystemFolders::SetCurrent(const String& Value)
{
    if (WriteAllowed())
        QDir::setCurrent(Value);
}

// TMPDIR is where programs here look first; TMP and TEMP follow in the
// original order, then the current folder.
String TKitSystemFolders::Temp() const
{
    String path;
    for (const char* name : {"TMPDIR", "TMP", "TEMP"}) {
        path = qEnvironmentVariable(name);
        if (!path.isEmpty())
            break;
    }
    if (path.isEmpty())
        path = QDir::currentPath();
    if (path.isEmpty())
        return path;
    return delimited(ExpandToLongPath(path));
}

String TKitSystemFolders::GetFolder(int FolderId) const
{
    return delimited(SpecialFolderPath(FolderId));
}

void TKitSystemFolders::SetFolder(int, const String&)
{
    RefuseReadOnlyWrite(false);
}

// ---- processor, memory, power --------------------------------------------

TProcessorRecord TKitCPUInfo::Read()
{
    TProcessorRecord r;
    ReadProcessorInfo(r);
    return r;
}

TKitCPUType TKitCPUInfo::CPUType() const
{
    const uint8_t code = Read().VendorCode;
    return code <= cpuCrusoe ? static_cast<TKitCPUType>(code) : cpuUnknown;
}

int64_t TKitMemInfo::SwapFileSize() const
{
    const TMemoryStatus s = QueryMemoryStatus();
    return s.TotalPageFile - s.AvailPageFile;
}

TAPMLineStatus TKitAPMInfo::LineStatus() const
{
    return BatteryFlag() == abfNoBattery ? alsUnknown : QueryLineStatus();
}

int TKitAPMInfo::BatteryLifePercent() const
{
    return BatteryFlag() == abfNoBattery ? 0 : QueryBatteryPercent();
}

uint32_t TKitAPMInfo::BatteryLifeTime() const
{
    return BatteryFlag() == abfNoBattery ? 0 : static_cast<uint32_t>(QueryBatteryLifeTime());
}

uint32_t TKitAPMInfo::BatteryFullLifeTime() const
{
    return BatteryFlag() == abfNoBattery ? 0 : static_cast<uint32_t>(QueryBatteryFullLifeTime());
}

// ---- system parameters -----------------------------------------------------

TKitWindowsArrange ArrangeFromPlatform(int Value)
{
    if ((Value & 8) != 0)
        return {waHide};
    static constexpr TKitWindowsArrangeItem corners[] = {waBottomLeft, waBottomRight, waTopLeft, waTopRight};
    const int corner = Value & 3;
    TKitWindowsArrange result{corners[corner]};
    const bool bottom = corner < 2;
    const bool left = corner == 0 || corner == 2;
    if ((Value & 4) != 0)
        result.Include(bottom ? waUp : waDown);
    else
        result.Include(left ? waRight : waLeft);
    return result;
}

int ArrangeToPlatform(TKitWindowsArrange Value)
{
    int result = 0;
    if (Value.Contains(waHide)) result |= 8;
    if (Value.Contains(waBottomRight)) result |= 1;
    if (Value.Contains(waTopLeft)) result |= 2;
    if (Value.Contains(waTopRight)) result |= 3;
    if (Value.Contains(waUp) || Value.Contains(waDown)) result |= 4;
    return result;
}

int TKitIconMetrics::HorzSpacing() const { return GetSystemMetrics(SM_CXICONSPACING); }
int TKitIconMetrics::VertSpacing() const { return GetSystemMetrics(SM_CYICONSPACING); }
TFont* TKitIconMetrics::Font() const { return lazy(FFont); }
int TKitMinimizedMetrics::Width() const { return GetSystemMetrics(SM_CXMINIMIZED); }

int TKitNonClientMetrics::BorderWidth() const { return GetSystemMetrics(SM_CXBORDER); }
int TKitNonClientMetrics::ScrollWidth() const { return GetSystemMetrics(SM_CXVSCROLL); }
int TKitNonClientMetrics::ScrollHeight() const { return GetSystemMetrics(SM_CYHSCROLL); }
int TKitNonClientMetrics::CaptionWidth() const { return GetSystemMetrics(SM_CXSIZE); }
int TKitNonClientMetrics::CaptionHeight() const { return GetSystemMetrics(SM_CYSIZE); }
int TKitNonClientMetrics::SmallCaptionWidth() const { return GetSystemMetrics(SM_CXSMSIZE); }
int TKitNonClientMetrics::SmallCaptionHeight() const { return GetSystemMetrics(SM_CYSMSIZE); }
int TKitNonClientMetrics::MenuWidth() const { return GetSystemMetrics(SM_CXMENUSIZE); }
int TKitNonClientMetrics::MenuHeight() const { return GetSystemMetrics(SM_CYMENUSIZE); }
TFont* TKitNonClientMetrics::font(int Index) const { return lazy(FFonts[Index]); }

TKitSystemParametersInfo::TKitSystemParametersInfo() : FWorkArea(std::make_unique<TKitRect>()) {}
TKitSystemParametersInfo::~TKitSystemParametersInfo() = default;

bool TKitSystemParametersInfo::GetBoolSetting(int) const
{
    return false;
}

int TKitSystemParametersInfo::GetIntSetting(int GetCode) const
{
    constexpr int SPI_GETWHEELSCROLLLINES = 104;
    if (GetCode == SPI_GETWHEELSCROLLLINES)
        if (const QStyleHints* hints = styleHints())
            return hints->wheelScrollLines();
    return 0;
}

// No desktop-independent service takes these settings, so a write the rule
// allows fails the way a refused one does (dropped while designing).
void TKitSystemParametersInfo::SetBoolSetting(int GetCode, bool)
{
    constexpr int SPI_GETWINDOWSEXTENSION = 92;
    if (GetCode != SPI_GETWINDOWSEXTENSION)
        RefuseReadOnlyWrite(false);
}

void TKitSystemParametersInfo::SetIntSetting(int, int)
{
    RefuseReadOnlyWrite(false);
}

int TKitSystemParametersInfo::IconHorizontalSpacing() const { return GetSystemMetrics(SM_CXICONSPACING); }
int TKitSystemParametersInfo::IconVerticalSpacing() const { return GetSystemMetrics(SM_CYICONSPACING); }
TFont* TKitSystemParametersInfo::IconTitleFont() const { return lazy(FIconTitleFont); }

TKitRect* TKitSystemParametersInfo::WorkArea() const
{
    QRect area(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (const QScreen* screen = guiScreen())
        area = screen->availableGeometry();
    FWorkArea->SetTop(area.top());
    FWorkArea->SetLeft(area.left());
    FWorkArea->SetBottom(area.top() + area.height());
    FWorkArea->SetRight(area.left() + area.width());
    return FWorkArea.get();
}

TKitAccessTimeOut* TKitSystemParametersInfo::AccessTimeOut() const { return lazy(FAccessTimeOut); }
TKitFilterKeys* TKitSystemParametersInfo::FilterKeys() const { return lazy(FFilterKeys); }
TKitHighContrast* TKitSystemParametersInfo::HighContrast() const { return lazy(FHighContrast); }
TKitIconMetrics* TKitSystemParametersInfo::IconMetrics() const { return lazy(FIconMetrics); }
TKitMinimizedMetrics* TKitSystemParametersInfo::MinimizedMetrics() const { return lazy(FMinimizedMetrics); }
TKitMouseKeys* TKitSystemParametersInfo::MouseKeys() const { return lazy(FMouseKeys); }
TKitNonClientMetrics* TKitSystemParametersInfo::NonClientMetrics() const { return lazy(FNonClientMetrics); }
TKitSerialKeys* TKitSystemParametersInfo::SerialKeys() const { return lazy(FSerialKeys); }
TKitSoundSentry* TKitSystemParametersInfo::SoundSentry() const { return lazy(FSoundSentry); }

// ---- metrics and screen ----------------------------------------------------

int TKitMetricsInfo::Metric(int Index) const
{
    return GetSystemMetrics(Index);
}

TKitWindowsArrange TKitMetricsInfo::Arrange() const
{
    constexpr int SM_ARRANGE = 56;
    return ArrangeFromPlatform(GetSystemMetrics(SM_ARRANGE));
}

TKitCleanBoot TKitMetricsInfo::CleanBoot() const
{
    constexpr int SM_CLEANBOOT = 67;
    const int v = GetSystemMetrics(SM_CLEANBOOT);
    return v >= cbNormal && v <= cbFailSafeNetwork ? static_cast<TKitCleanBoot>(v) : cbNormal;
}

// Half of the toolkit's full blink cycle; the classic 530 ms without one.
uint32_t TKitMetricsInfo::CaretBlinkTime() const
{
    if (const QStyleHints* hints = styleHints(); hints != nullptr && hints->cursorFlashTime() > 0)
        return static_cast<uint32_t>(hints->cursorFlashTime() / 2);
    return 530;
}

int TKitMetricsInfo::CursorX() const
{
    return guiScreen() != nullptr ? QCursor::pos().x() : -1;
}

int TKitMetricsInfo::CursorY() const
{
    return guiScreen() != nullptr ? QCursor::pos().y() : -1;
}

// 8 x 16 pixels, the base units of the classic system font, packed as the
// platform packs them.
int TKitMetricsInfo::DialogBaseUnits() const
{
    return (16 << 16) | 8;
}

int TKitMetricsInfo::DoubleClickTime() const
{
    if (const QStyleHints* hints = styleHints())
        return hints->mouseDoubleClickInterval();
    return 500;
}

uint32_t TKitScreenInfo::BitsPerPixel() const
{
    const QScreen* screen = guiScreen();
    return screen != nullptr ? static_cast<uint32_t>(screen->depth()) : 32;
}

uint32_t TKitScreenInfo::Width() const
{
    return static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN));
}

uint32_t TKitScreenInfo::Height() const
{
    return static_cast<uint32_t>(GetSystemMetrics(SM_CYSCREEN));
}

uint32_t TKitScreenInfo::Hz() const
{
    const QScreen* screen = guiScreen();
    const auto hz = screen != nullptr ? static_cast<uint32_t>(qRound(screen->refreshRate())) : 0u;
    return hz <= 1 ? 60 : hz;
}

// ---- miscellaneous and files ----------------------------------------------

TKitMiscInfo::TKitMiscInfo() : FColorSchemes(std::make_unique<TStringList>()) {}
TKitMiscInfo::~TKitMiscInfo() = default;

int64_t TKitMiscInfo::TimeRunning() const
{
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0 && clock_gettime(CLOCK_MONOTONIC, &ts) != 0)
        return 0;
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

String FormatTimeRunning(int64_t Milliseconds)
{
    constexpr int64_t day = 86400000;
    const int64_t days = Milliseconds / day;
    const double fraction = static_cast<double>(Milliseconds % day) / static_cast<double>(day);
    return Format(String::fromLatin1("%d %s"), {days, TimeToStr(fraction)});
}

String TKitMiscInfo::TimeRunningAsString() const
{
    return FormatTimeRunning(TimeRunning());
}

bool TKitMiscInfo::Online() const
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool online = false;
    for (const ifaddrs* a = list; a != nullptr && !online; a = a->ifa_next) {
        if (a->ifa_addr == nullptr || (a->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        const bool up = (a->ifa_flags & IFF_UP) != 0 && (a->ifa_flags & IFF_RUNNING) != 0;
        online = up && (a->ifa_addr->sa_family == AF_INET || a->ifa_addr->sa_family == AF_INET6);
    }
    freeifaddrs(list);
    return online;
}

TStrings* TKitMiscInfo::ColorSchemes() const
{
    FColorSchemes->Clear();
    return FColorSchemes.get();
}

TKitAppVersions* TKitMiscInfo::Versions() const { return lazy(FVersions); }
TKitHardwareProfile* TKitMiscInfo::HardwareProfile() const { return lazy(FHardwareProfile); }

void TKitFileInfo::SetModifiers(TKitIconModifiers Value)
{
    if (Value != FModifiers)
        FModifiers = Value + TKitIconModifiers{imNormal};
}

String TKitFileInfo::DisplayName() const
{
    const QFileInfo fi(FFileName);
    return fi.exists() ? fi.fileName() : String();
}

String TKitFileInfo::AttrString() const
{
    const QFileInfo fi(FFileName);
    if (FFileName.isEmpty() || !fi.exists())
        return {};
    String result;
    if (fi.isDir())
        result += u'D';
    if (fi.fileName().startsWith(u'.'))
        result += u'H';
    if (!(fi.permissions() & QFileDevice::WriteOwner))
        result += u'R';
    return result;
}

String TKitFileInfo::TypeString() const
{
    if (!FFileName.isEmpty()) {
        const QMimeType mime = QMimeDatabase().mimeTypeForFile(FFileName);
        if (mime.isValid() && !mime.isDefault() && !mime.comment().isEmpty())
            return mime.comment();
    }
    return LoadResStringFmt(KitResources::RsKitFileTypeFmt, {QFileInfo(FFileName).suffix().toUpper()});
}

// ---- the component ----------------------------------------------------------

TKitComputerInfoEx::TKitComputerInfoEx(TComponent* AOwner) : TComponent(AOwner)
{
    // A component placed on a form that is being designed is designed too.
    if (AOwner != nullptr && AOwner->ComponentState().Contains(csDesigning))
        SetDesigning(true);
    designing.store(ComponentState().Contains(csDesigning));
}

TKitComputerInfoEx::~TKitComputerInfoEx()
{
    FAPM.reset();
    FBIOS.reset();
    FColors.reset();
    FCPU.reset();
    FIdentification.reset();
    FKeyboard.reset();
    FMemory.reset();
    FMisc.reset();
    FOS.reset();
    FScreen.reset();
    FFolders.reset();
    FMetrics.reset();
    FSystem.reset();
    FFileInfo.reset();
}

template <class T>
T* TKitComputerInfoEx::writeable(std::unique_ptr<T>& Slot, bool FollowReadOnly) const
{
    if (!Slot) {
        Slot = std::make_unique<T>();
        if (FollowReadOnly)
            Slot->SetReadOnly(FReadOnly);
    }
    return Slot.get();
}

TKitAPMInfo* TKitComputerInfoEx::APM() const { return lazy(FAPM); }
TKitBIOSInfo* TKitComputerInfoEx::BIOS() const { return lazy(FBIOS); }
TKitCPUInfo* TKitComputerInfoEx::CPU() const { return lazy(FCPU); }
TKitMemInfo* TKitComputerInfoEx::Memory() const { return lazy(FMemory); }
TKitOSVersionInfo* TKitComputerInfoEx::OS() const { return lazy(FOS); }
TKitSystemColorsInfo* TKitComputerInfoEx::Colors() const { return writeable(FColors, true); }
TKitIdentification* TKitComputerInfoEx::Identification() const { return writeable(FIdentification, true); }
TKitKeyInfo* TKitComputerInfoEx::Keyboard() const { return writeable(FKeyboard, true); }
TKitMiscInfo* TKitComputerInfoEx::Misc() const { return writeable(FMisc, true); }
TKitScreenInfo* TKitComputerInfoEx::Screen() const { return writeable(FScreen, true); }
TKitSystemParametersInfo* TKitComputerInfoEx::System() const { return writeable(FSystem, true); }
TKitSystemFolders* TKitComputerInfoEx::Folders() const { return writeable(FFolders, true); }
TKitMetricsInfo* TKitComputerInfoEx::Metrics() const { return writeable(FMetrics, true); }
TKitFileInfo* TKitComputerInfoEx::FileInfo() const { return writeable(FFileInfo, false); }

void TKitComputerInfoEx::SetReadOnly(bool Value)
{
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    TKitWriteableInfo* const followers[] = {FColors.get(), FIdentification.get(), FKeyboard.get(), FMisc.get(),
                                            FScreen.get(), FSystem.get(), FFolders.get(), FMetrics.get()};
    for (TKitWriteableInfo* info : followers)
        if (info != nullptr)
            info->SetReadOnly(Value);
}

void TKitComputerInfoEx::NotificationProc(uint32_t Msg, uintptr_t WParam, intptr_t LParam)
{
    const auto text = [](intptr_t p) {
        return p == 0 ? String() : String::fromUtf16(reinterpret_cast<const char16_t*>(p));
    };
    switch (Msg) {
    case 0x15: NotifySysColorChange(); break;
    case 0x1A: NotifySettingChange(static_cast<int>(WParam), text(LParam)); break;
    case 0x1B: NotifyDeviceModeChange(text(LParam)); break;
    case 0x1D: NotifyFontChange(); break;
    case 0x1E: NotifyTimeChange(); break;
    case 0x2A: NotifySpoolerStatusChange(static_cast<int>(WParam), static_cast<int>(LParam & 0xFFFF)); break;
    case 0x41: NotifyCompacting(static_cast<int>(WParam)); break;
    case 0x48:
    case 0x218: NotifyPowerBroadcast(static_cast<int>(WParam), static_cast<int>(LParam)); break;
    case 0x54: NotifyUserChanged(); break;
    case 0x7E:
        if (OnDisplayChange.Assigned())
            OnDisplayChange(this, static_cast<int>(WParam), static_cast<int>(LParam & 0xFFFF),
                            static_cast<int>((LParam >> 16) & 0xFFFF));
        break;
    case 0x219:
        if (WParam == 0x8000 || WParam == 0x8004) {
            const auto* header = reinterpret_cast<const TDevBroadcastHdr*>(LParam);
            if (header == nullptr || header->dbch_devicetype != 2)
                break;
            const auto* volume = reinterpret_cast<const TDevBroadcastVolume*>(LParam);
            if ((volume->dbcv_flags & 1) == 0 || volume->dbcv_unitmask == 0)
                break;
            const QChar drive(u'A' + std::countr_zero(volume->dbcv_unitmask));
            NotifyDriveChange(drive, WParam == 0x8004);
        } else {
            NotifyDeviceChange(static_cast<uint32_t>(WParam), reinterpret_cast<void*>(LParam));
        }
        break;
    case 0x310: NotifyPaletteChanging(static_cast<uint32_t>(WParam)); break;
    case 0x311: NotifyPaletteChanged(static_cast<uint32_t>(WParam)); break;
    default: break;
    }
}

void TKitComputerInfoEx::NotifySettingChange(int Flag, const String& Section)
{
    if (OnSettingChange.Assigned())
        OnSettingChange(this, Flag, Section);
}

void TKitComputerInfoEx::NotifyDriveChange(QChar Drive, bool Removed)
{
    const TKitDriveChangeEvent& handler = Removed ? OnDeviceRemoved : OnDeviceAdded;
    if (handler.Assigned())
        handler(this, Drive);
}

void TKitComputerInfoEx::NotifyCompacting(int Ratio)
{
    if (OnCompacting.Assigned())
        OnCompacting(this, Ratio);
}

void TKitComputerInfoEx::NotifyPowerBroadcast(int Event, int Data)
{
    if (OnPowerBroadcast.Assigned())
        OnPowerBroadcast(this, Event, Data);
}

void TKitComputerInfoEx::NotifyUserChanged()
{
    if (OnUserChanged.Assigned())
        OnUserChanged(this);
}

void TKitComputerInfoEx::NotifyDeviceChange(uint32_t Event, void* Data)
{
    if (OnDeviceChange.Assigned())
        OnDeviceChange(this, Event, Data);
}

void TKitComputerInfoEx::NotifyDeviceModeChange(const String& Device)
{
    if (OnDeviceModeChange.Assigned())
        OnDeviceModeChange(this, Device);
}

void TKitComputerInfoEx::NotifyTimeChange()
{
    if (OnTimeChange.Assigned())
        OnTimeChange(this);
}

void TKitComputerInfoEx::NotifyFontChange()
{
    if (OnFontChange.Assigned())
        OnFontChange(this);
}

void TKitComputerInfoEx::NotifySysColorChange()
{
    if (OnSysColorChange.Assigned())
        OnSysColorChange(this);
}

void TKitComputerInfoEx::NotifySpoolerStatusChange(int JobStatus, int JobsLeft)
{
    if (OnSpoolerStatusChange.Assigned())
        OnSpoolerStatusChange(this, JobStatus, JobsLeft);
}

void TKitComputerInfoEx::NotifyPaletteChanging(uint32_t Wnd)
{
    if (OnPaletteChanging.Assigned())
        OnPaletteChanging(this, Wnd);
}

void TKitComputerInfoEx::NotifyPaletteChanged(uint32_t Wnd)
{
    if (OnPaletteChanged.Assigned())
        OnPaletteChanged(this, Wnd);
}
