#include "support/SxSysInfo.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <pwd.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <array>
#include <mutex>

namespace {

String rooted(const String& Root, const char* Path)
{
    return Root + String::fromLatin1(Path);
}

// A small text file of /proc or /sys, trimmed; empty when it cannot be read.
QByteArray readSmall(const String& Path)
{
    QFile f(Path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(64 * 1024).trimmed();
}

bool readNumber(const String& Path, int64_t& Value)
{
    const QByteArray text = readSmall(Path);
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (ok)
        Value = v;
    return ok;
}

TSystemFacts initSystemFacts()
{
    TSystemFacts facts;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0 && CPU_COUNT(&set) > 0)
        facts.ProcessorCount = static_cast<uint32_t>(CPU_COUNT(&set));
    else if (const long n = sysconf(_SC_NPROCESSORS_ONLN); n > 0)
        facts.ProcessorCount = static_cast<uint32_t>(n);
    if (const long page = sysconf(_SC_PAGESIZE); page > 0) {
        facts.PageSize = static_cast<uint32_t>(page);
        facts.AllocationGranularity = facts.PageSize;
    }
    SetVersionFlags(facts, QueryWindowsVersion());
    return facts;
}

// "KEY=value" lines; the value may be quoted.
String osReleaseValue(const QByteArray& Text, const QByteArray& Key)
{
    for (const QByteArray& raw : Text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.startsWith(Key + '='))
            continue;
        QByteArray value = line.mid(Key.size() + 1);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        value.replace("\\\"", "\"").replace("\\\\", "\\");
        return String::fromUtf8(value);
    }
    return {};
}

}  // namespace

// ---- operating system -----------------------------------------------------

const TSystemFacts& SystemFacts()
{
    static const TSystemFacts facts = initSystemFacts();
    return facts;
}

void InitSystemFacts() { (void)SystemFacts(); }

void SetVersionFlags(TSystemFacts& Facts, TWindowsVersion Version)
{
    if (Version == wvUnknown)
        return;
    Facts.VersionFlags[Version] = true;
    if (Version == wvWinNT31 || Version == wvWinNT35)
        Facts.IsWinNT3 = true;
    if (Version == wvWinNT351) {
        Facts.IsWinNT3 = true;
        Facts.VersionFlags[wvWinNT35] = true;
    }
}

TWindowsVersion QueryWindowsVersion() { return wvUnknown; }
TNtProductType QueryNtProductType() { return ptUnknown; }
int QueryServicePackMajor() { return 0; }

bool IsNative64Bit()
{
    utsname u{};
    if (uname(&u) != 0)
        return sizeof(void*) == 8;
    const QByteArray machine(u.machine);
    return machine.contains("64") || machine == "s390x";
}

TKernelVersion ParseKernelRelease(const String& Release)
{
    TKernelVersion v;
    v.Release = Release;
    static const QRegularExpression re(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch m = re.match(Release);
    if (m.hasMatch()) {
        v.Major = m.captured(1).toUInt();
        v.Minor = m.captured(2).toUInt();
        v.Build = m.captured(3).toUInt();
    }
    return v;
}

TKernelVersion QueryKernelVersion()
{
    utsname u{};
    if (uname(&u) != 0)
        return {};
    return ParseKernelRelease(String::fromUtf8(u.release));
}

String QueryOsProductName(const String& Root)
{
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile f(rooted(Root, path));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = f.read(64 * 1024);
        String name = osReleaseValue(text, "PRETTY_NAME");
        if (name.isEmpty())
            name = osReleaseValue(text, "NAME");
        return name;
    }
    return {};
}

// ---- identification --------------------------------------------------------

String QueryIPAddress(const String& Host)
{
    if (!Host.isEmpty()) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* list = nullptr;
        if (getaddrinfo(Host.toUtf8().constData(), nullptr, &hints, &list) != 0 || list == nullptr)
            return {};
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(list->ai_addr);
        const bool ok = inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text)) != nullptr;
        freeaddrinfo(list);
        return ok ? String::fromLatin1(text) : String();
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    String v4, v6;
    for (const ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
        if (a->ifa_addr == nullptr || (a->ifa_flags & IFF_UP) == 0 || (a->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        char text[INET6_ADDRSTRLEN] = {};
        if (a->ifa_addr->sa_family == AF_INET && v4.isEmpty()) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
            if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text)) != nullptr)
                v4 = String::fromLatin1(text);
        } else if (a->ifa_addr->sa_family == AF_INET6 && v6.isEmpty()) {
            const auto* in6 = reinterpret_cast<const sockaddr_in6*>(a->ifa_addr);
            if (!IN6_IS_ADDR_LINKLOCAL(&in6->sin6_addr) && inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof(text)) != nullptr)
                v6 = String::fromLatin1(text);
        }
    }
    freeifaddrs(list);
    return v4.isEmpty() ? v6 : v4;
}

String QueryComputerName()
{
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return String::fromUtf8(name.data());
}

String QueryUserName()
{
    std::array<char, 4096> buffer{};
    passwd pw{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &result) != 0 || result == nullptr)
        return {};
    return String::fromUtf8(result->pw_name);
}

String QueryDomainName()
{
    std::array<char, 256> name{};
    if (getdomainname(name.data(), name.size() - 1) != 0)
        return {};
    const String text = String::fromUtf8(name.data());
    return text == QLatin1String("(none)") ? String() : text;
}

// ---- memory ---------------------------------------------------------------

int64_t MinAppAddress()
{
    int64_t v = 0;
    if (readNumber(String::fromLatin1("/proc/sys/vm/mmap_min_addr"), v) && v > 0)
        return v;
    return 65536;
}

int64_t MaxAppAddress()
{
    // The top of a 47-bit user space less its guard page, as the common
    // 64-bit kernels lay it out; the 32-bit split at 3 GiB otherwise.
    if constexpr (sizeof(void*) == 8)
        return 0x7FFFFFFFEFFFLL;
    else
        return 0xBFFFFFFFLL;
}

TMemoryStatus QueryMemoryStatus(const String& Root)
{
    TMemoryStatus s;
    const QByteArray text = readSmall(rooted(Root, "/proc/meminfo"));
    int64_t memFree = -1, memAvailable = -1;
    for (const QByteArray& line : text.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray key = line.left(colon);
        const QList<QByteArray> parts = line.mid(colon + 1).simplified().split(' ');
        bool ok = false;
        int64_t value = parts.value(0).toLongLong(&ok);
        if (!ok)
            continue;
        if (parts.value(1) == "kB")
            value *= 1024;
        if (key == "MemTotal")
            s.TotalPhys = value;
        else if (key == "MemFree")
            memFree = value;
        else if (key == "MemAvailable")
            memAvailable = value;
        else if (key == "SwapTotal")
            s.TotalPageFile = value;
        else if (key == "SwapFree")
            s.AvailPageFile = value;
    }
    s.AvailPhys = memAvailable >= 0 ? memAvailable : (memFree >= 0 ? memFree : 0);
    if (s.TotalPhys > 0 && s.AvailPhys <= s.TotalPhys)
        s.MemoryLoad = static_cast<uint32_t>((s.TotalPhys - s.AvailPhys) * 100 / s.TotalPhys);

    s.TotalVirtual = MaxAppAddress() - MinAppAddress() + 1;
    int64_t vmSize = 0;
    const QByteArray status = readSmall(rooted(Root, "/proc/self/status"));
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith("VmSize:"))
            vmSize = line.mid(7).simplified().split(' ').value(0).toLongLong() * 1024;
    s.AvailVirtual = vmSize > 0 && vmSize < s.TotalVirtual ? s.TotalVirtual - vmSize : s.TotalVirtual;
    return s;
}

int SwapFileUsage(const TMemoryStatus& Status)
{
    if (Status.TotalPageFile == 0)
        return 0;
    return 100 - static_cast<int>(static_cast<double>(Status.AvailPageFile) / static_cast<double>(Status.TotalPageFile) * 100.0);
}

// ---- power ----------------------------------------------------------------

TPowerStatus QueryPowerStatus(const String& Root)
{
    TPowerStatus s;
    const QDir dir(rooted(Root, "/sys/class/power_supply"));
    if (!dir.exists())
        return s;
    bool haveMains = false, mainsOnline = false;
    String battery;
    for (const String& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const String base = dir.filePath(name) + u'/';
        const QByteArray type = readSmall(base + QLatin1String("type"));
        if (type == "Battery") {
            // Batteries of a mouse or a headset report scope "Device".
            if (battery.isEmpty() && readSmall(base + QLatin1String("scope")) != "Device")
                battery = base;
        } else if (!type.isEmpty()) {
            haveMains = true;
            int64_t online = 0;
            if (readNumber(base + QLatin1String("online"), online) && online != 0)
                mainsOnline = true;
        }
    }
    const QByteArray status = battery.isEmpty() ? QByteArray() : readSmall(battery + QLatin1String("status"));
    if (haveMains)
        s.ACLineStatus = mainsOnline ? 1 : 0;
    else if (status == "Discharging")
        s.ACLineStatus = 0;
    else if (status == "Charging" || status == "Full")
        s.ACLineStatus = 1;

    if (battery.isEmpty()) {
        s.BatteryFlag = 128;
        return s;
    }
    int64_t capacity = -1;
    if (!readNumber(battery + QLatin1String("capacity"), capacity) || capacity < 0 || capacity > 100)
        capacity = -1;
    uint8_t flag = 0;
    bool known = true;
    if (capacity >= 0) {
        s.BatteryLifePercent = static_cast<uint8_t>(capacity);
        if (capacity > 66)
            flag |= 1;
        else if (capacity < 5)
            flag |= 4;
        else if (capacity < 33)
            flag |= 2;
    } else {
        const QByteArray level = readSmall(battery + QLatin1String("capacity_level"));
        if (level == "Full" || level == "High")
            flag |= 1;
        else if (level == "Low")
            flag |= 2;
        else if (level == "Critical")
            flag |= 4;
        else if (level != "Normal")
            known = false;
    }
    if (status == "Charging")
        flag |= 8;
    s.BatteryFlag = known || flag != 0 ? flag : 255;

    if (status == "Discharging") {
        int64_t seconds = 0, now = 0, full = 0, rate = 0;
        if (readNumber(battery + QLatin1String("time_to_empty_now"), seconds) && seconds >= 0)
            s.BatteryLifeTime = static_cast<uint32_t>(seconds);
        const bool energy = readNumber(battery + QLatin1String("power_now"), rate) && rate > 0;
        const bool charge = !energy && readNumber(battery + QLatin1String("current_now"), rate) && rate > 0;
        if (energy || charge) {
            const char* nowName = energy ? "energy_now" : "charge_now";
            const char* fullName = energy ? "energy_full" : "charge_full";
            if (s.BatteryLifeTime == 0xFFFFFFFF && readNumber(battery + QLatin1String(nowName), now) && now >= 0)
                s.BatteryLifeTime = static_cast<uint32_t>(now * 3600 / rate);
            if (readNumber(battery + QLatin1String(fullName), full) && full >= 0)
                s.BatteryFullLifeTime = static_cast<uint32_t>(full * 3600 / rate);
        }
    }
    return s;
}

TAPMLineStatus QueryLineStatus(const String& Root)
{
    switch (QueryPowerStatus(Root).ACLineStatus) {
    case 0: return alsOffline;
    case 1: return alsOnline;
    default: return alsUnknown;
    }
}

TAPMBatteryFlag QueryBatteryFlag(const String& Root)
{
    switch (QueryPowerStatus(Root).BatteryFlag) {
    case 1: return abfHigh;
    case 2: return abfLow;
    case 4: return abfCritical;
    case 8: return abfCharging;
    case 128: return abfNoBattery;
    default: return abfUnknown;
    }
}

int QueryBatteryPercent(const String& Root) { return QueryPowerStatus(Root).BatteryLifePercent; }
int QueryBatteryLifeTime(const String& Root) { return static_cast<int>(QueryPowerStatus(Root).BatteryLifeTime); }
int QueryBatteryFullLifeTime(const String& Root) { return static_cast<int>(QueryPowerStatus(Root).BatteryFullLifeTime); }

// ---- BIOS -----------------------------------------------------------------

String QueryBiosName(const String& Root)
{
    return String::fromUtf8(readSmall(rooted(Root, "/sys/class/dmi/id/bios_vendor")));
}

String QueryBiosCopyright(const String&)
{
    return {};
}

String QueryBiosExtendedInfo(const String& Root)
{
    return String::fromUtf8(readSmall(rooted(Root, "/sys/class/dmi/id/bios_version")));
}

namespace {

// A year of one or two digits falls into the 100 years that end 50 years
// after this one, as the class library's date reading does.
int expandYear(int year, int digits)
{
    if (digits > 2)
        return year;
    int thisYear = 0, month = 0, day = 0;
    DecodeDate(Date(), thisYear, month, day);
    const int base = thisYear - 50;
    year += base / 100 * 100;
    if (year < base)
        year += 100;
    return year;
}

bool tryDate(const QStringList& parts, int yIndex, int mIndex, int dIndex, TDateTime& result)
{
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const String p = parts[i];
        if (p.isEmpty() || p.size() > 4)
            return false;
        for (const QChar c : p)
            if (!c.isDigit())
                return false;
        values[i] = p.toInt();
    }
    const int year = expandYear(values[yIndex], static_cast<int>(parts[yIndex].size()));
    return TryEncodeDate(year, values[mIndex], values[dIndex], result);
}

}  // namespace

TDateTime ParseBiosDate(const String& Text)
{
    const QStringList parts = Text.trimmed().split(u'/');
    TDateTime result = 0;
    if (parts.size() != 3)
        return 0;
    if (tryDate(parts, 2, 0, 1, result))
        return result;
    if (tryDate(parts, 0, 1, 2, result))
        return result;
    return 0;
}

TDateTime QueryBiosDate(const String& Root)
{
    return ParseBiosDate(String::fromUtf8(readSmall(rooted(Root, "/sys/class/dmi/id/bios_date"))));
}

// ---- keyboard -------------------------------------------------------------

bool KeyToggled(int VirtualKey, const String& Root)
{
    const char* suffix = nullptr;
    switch (VirtualKey) {
    case 144: suffix = "::numlock"; break;
    case 145: suffix = "::scrolllock"; break;
    case 20: suffix = "::capslock"; break;
    default: return false;
    }
    const QDir dir(rooted(Root, "/sys/class/leds"));
    for (const String& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        if (!name.endsWith(QLatin1String(suffix)))
            continue;
        int64_t brightness = 0;
        if (readNumber(dir.filePath(name) + QLatin1String("/brightness"), brightness) && brightness != 0)
            return true;
    }
    return false;
}

bool NumLockToggled(const String& Root) { return KeyToggled(144, Root); }
bool ScrollLockToggled(const String& Root) { return KeyToggled(145, Root); }
bool CapsLockToggled(const String& Root) { return KeyToggled(20, Root); }
