#include "support/SxSysInfo.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include <cstring>
#include <algorithm>
#include <map>
#include <vector>

namespace {

// ---- recorded processors ------------------------------------------------------

using TDump = std::map<uint32_t, TCpuidRegs>;

uint32_t word(const char* text)
{
    uint32_t w = 0;
    std::memcpy(&w, text, 4);
    return w;
}

// Leaves 0x80000002 to 0x80000004 for a brand text, zero-padded to 48 bytes.
void putBrand(TDump& dump, const char* brand)
{
    char bytes[48] = {};
    std::memcpy(bytes, brand, std::min<size_t>(48, std::strlen(brand)));
    for (uint32_t leaf = 0; leaf < 3; ++leaf) {
        uint32_t r[4];
        std::memcpy(r, bytes + 16 * leaf, 16);
        dump[0x80000002 + leaf] = {r[0], r[1], r[2], r[3]};
    }
}

void putVendor(TDump& dump, uint32_t hiVal, const char* vendor)
{
    dump[0] = {hiVal, word(vendor), word(vendor + 8), word(vendor + 4)};
}

// An Intel Core 2 Duo E8400 (family 6, model 0x17 stepping 10).
TDump core2DuoE8400()
{
    TDump d;
    putVendor(d, 0x0000000D, "GenuineIntel");
    d[1] = {0x0001067A, 0x00020800, 0x0408E3BD, 0xBFEBFBFF};
    d[2] = {0x05B0B101, 0x005657F0, 0x00000000, 0x2CB4304E};
    d[4] = {0x04000121, 0x01C0003F, 0x0000003F, 0x00000001};
    d[6] = {0x00000001, 0x00000002, 0x00000003, 0x00000000};
    d[0x80000000] = {0x80000008, 0, 0, 0};
    d[0x80000001] = {0x00000000, 0x00000000, 0x00000001, 0x20100800};
    putBrand(d, "Intel(R) Core(TM)2 Duo CPU     E8400  @ 3.00GHz");
    d[0x80000006] = {0x00000000, 0x00000000, 0x18008040, 0x00000000};
    d[0x80000008] = {0x00003024, 0, 0, 0};
    return d;
}

// An AMD Phenom II X4 940 (family 0x10, model 4, stepping 2).
TDump phenomII940()
{
    TDump d;
    putVendor(d, 0x00000005, "AuthenticAMD");
    d[1] = {0x00100F42, 0x00040800, 0x00802009, 0x178BFBFF};
    d[0x80000000] = {0x8000001B, 0, 0, 0};
    d[0x80000001] = {0x00100F42, 0x10001B00, 0x000037FF, 0xEFD3FBFF};
    putBrand(d, "AMD Phenom(tm) II X4 940 Processor");
    d[0x80000005] = {0xFF30FF10, 0xFF30FF20, 0x40020140, 0x40020140};
    d[0x80000006] = {0x20800000, 0x42004200, 0x02004140, 0x0030A040};
    d[0x80000007] = {0, 0, 0, 0x000001F9};
    d[0x80000008] = {0x00003030, 0, 0x00000003, 0};
    return d;
}

TProcessorRecord probe(const TDump& dump)
{
    TProcessorRecord r;
    ProbeProcessor(r, true, [&dump](uint32_t leaf, uint32_t) {
        const auto it = dump.find(leaf);
        return it == dump.end() ? TCpuidRegs{} : it->second;
    });
    return r;
}

TEST(SxSysInfoCpu, DecodesRecordedIntelAndAmdProcessors)
{
    struct Case {
        const char* label;
        TDump dump;
        uint8_t vendor, family, model, stepping, logical, physical;
        const char* manufacturer;
        const char* name;
        uint32_t l1d, l1i, l2;
        TSSESupports sse;
        bool mmx, ext3dnow, is64, dep, aes, ht;
    };
    const Case cases[] = {
        {"Core 2 Duo E8400", core2DuoE8400(), 1, 6, 7, 10, 2, 2, "Intel",
         "Intel(R) Core(TM)2 Duo CPU     E8400  @ 3.00GHz", 32, 32, 6144,
         TSSESupports{sse, sse2, sse3, ssse3, sse41}, true, false, true, true, false, true},
        {"Phenom II X4 940", phenomII940(), 3, 0xF, 4, 2, 4, 4, "AMD", "AMD Phenom(tm) II X4 940 Processor", 64, 64,
         512, TSSESupports{sse, sse2, sse3, sse4A}, true, true, true, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const TProcessorRecord r = probe(c.dump);
        EXPECT_TRUE(r.HasInstruction);
        EXPECT_EQ(r.VendorCode, c.vendor);
        EXPECT_EQ(r.ManufacturerText(), QString::fromLatin1(c.manufacturer));
        EXPECT_EQ(r.NameText(), QString::fromLatin1(c.name));
        EXPECT_EQ(r.Family, c.family);
        EXPECT_EQ(r.Model, c.model);
        EXPECT_EQ(r.Stepping, c.stepping);
        EXPECT_EQ(r.LogicalCore, c.logical);
        EXPECT_EQ(r.PhysicalCore, c.physical);
        EXPECT_EQ(r.SharedCores, c.logical != c.physical);
        EXPECT_EQ(r.L1DataCache.Size, c.l1d);
        EXPECT_EQ(r.L1CodeCache.Size, c.l1i);
        EXPECT_EQ(r.L2Cache.Size, c.l2);
        EXPECT_EQ(r.SSE, c.sse) << r.SSE.Bits();
        EXPECT_EQ(r.MMX, c.mmx);
        EXPECT_EQ(r.Ex3DNow, c.ext3dnow);
        EXPECT_EQ(r._3DNow, c.ext3dnow);
        EXPECT_EQ(r.Is64Bits, c.is64);
        EXPECT_EQ(r.DEPCapable, c.dep);
        EXPECT_EQ(r.HasAES, c.aes);
        EXPECT_EQ(r.HyperThreadingTechnology, c.ht);
        EXPECT_TRUE(r.HasCacheInfo);
        EXPECT_TRUE(r.HasExtendedInfo);
    }
}

TEST(SxSysInfoCpu, IntelL2FromExtendedLeafAndLineDetails)
{
    const TProcessorRecord r = probe(core2DuoE8400());
    EXPECT_EQ(r.L2Cache.LineSize, 64);
    EXPECT_EQ(r.L2Cache.Associativity, 8);  // the leaf's encoded field, as is
    EXPECT_EQ(r.L1DataCache.Associativity, 8);
    EXPECT_EQ(r.L1CodeCache.LineSize, 64);
    EXPECT_EQ(r.VendorText(), QStringLiteral("GenuineIntel"));
}

TEST(SxSysInfoCpu, AmdL3IsGivenInKilobytesLikeTheOtherCaches)
{
    const TProcessorRecord r = probe(phenomII940());
    EXPECT_EQ(r.L3Cache.Size, 6144u);  // 12 blocks of 512 KB
    EXPECT_EQ(r.L3Cache.LineSize, 64);
    EXPECT_EQ(r.L1DataCache.Associativity, 2);
}

TEST(SxSysInfoCpu, AmdFamilyComesFromTheExtendedLeaf)
{
    TDump d = phenomII940();
    d[1].EAX = 0x00000F11;
    const TProcessorRecord r = probe(d);
    EXPECT_EQ(r.Family, 0xF);
    EXPECT_EQ(r.Model, 4);
    EXPECT_EQ(r.Stepping, 2);
}

TEST(SxSysInfoCpu, AmdWithoutExtendedLeavesTakesTheNameTable)
{
    TDump d;
    putVendor(d, 1, "AuthenticAMD");
    d[1] = {0x00000580, 0, 0, 0x008001BF};  // K6-2: family 5, model 8
    const TProcessorRecord r = probe(d);
    EXPECT_FALSE(r.HasExtendedInfo);
    EXPECT_EQ(r.NameText(), QString::fromUtf8("AMD-K6\u00AE-2 (Model 8)"));
    EXPECT_TRUE(r.MMX);
    EXPECT_FALSE(r.Is64Bits);
}

TEST(SxSysInfoCpu, IntelWithoutExtendedLeavesTakesTheNameTable)
{
    struct Case {
        uint32_t leaf1Eax;
        uint8_t brandIndex;
        const char* name;
    };
    const Case cases[] = {
        {0x00000683, 2, "Pentium III"},  // family 6 model 8
        {0x00000683, 1, "Celeron"},
        {0x00000683, 3, "Pentium III Xeon"},
        {0x00000F24, 14, "Xeon"},        // family 15
        {0x00000F24, 0, "Pentium 4"},
        {0x00000690, 0, "P6 (Model 9)"},
        {0x00000480, 0, "Intel DX4 Processor"},
        {0x00000700, 0, "P7"},
    };
    for (const Case& c : cases) {
        TDump d;
        putVendor(d, 1, "GenuineIntel");
        d[1] = {c.leaf1Eax, c.brandIndex, 0, 0};
        const TProcessorRecord r = probe(d);
        EXPECT_EQ(r.NameText(), QString::fromLatin1(c.name)) << std::hex << c.leaf1Eax << " " << int(c.brandIndex);
    }
}

TEST(SxSysInfoCpu, IntelDescriptorWalk)
{
    TDump d;
    putVendor(d, 2, "GenuineIntel");
    d[1] = {0x00000683, 0, 0, 0};
    // 0x0D twice adds its 16 KB twice; 0x49 counts while leaf 0x80000006 is absent.
    d[2] = {0x000D0D01, 0x00000049, 0, 0x00000030};
    TProcessorRecord r = probe(d);
    EXPECT_EQ(r.L1DataCache.Size, 32u);
    EXPECT_EQ(r.L1CodeCache.Size, 32u);
    EXPECT_EQ(r.L2Cache.Size, 4096u);

    d[0x80000000] = {0x80000006, 0, 0, 0};
    d[0x80000006] = {0, 0, 0x01006040, 0};
    r = probe(d);
    EXPECT_EQ(r.L2Cache.Size, 256u);  // 0x49 is ignored once the extended leaf reports L2
}

TEST(SxSysInfoCpu, OtherVendorsAndNoCpuid)
{
    TDump d;
    putVendor(d, 0x10, "HygonGenuine");
    d[1] = {0x00900F01, 0, 0, 0x178BFBFF};
    TProcessorRecord r = probe(d);
    EXPECT_TRUE(r.HasInstruction);
    EXPECT_EQ(r.VendorCode, 0);
    EXPECT_EQ(r.Family, 0xF);
    EXPECT_EQ(r.Stepping, 1);
    EXPECT_EQ(r.ManufacturerText(), QStringLiteral("Unknown"));
    EXPECT_EQ(r.NameText(), QStringLiteral("Unknown"));
    EXPECT_FALSE(r.MMX);  // the generic path derives no flags

    ProbeProcessor(r, false, [](uint32_t, uint32_t) -> TCpuidRegs { ADD_FAILURE() << "CPUID used"; return {}; });
    EXPECT_FALSE(r.HasInstruction);
    EXPECT_EQ(r.Family, 4);
    EXPECT_EQ(r.NameText(), QStringLiteral("Unknown"));
    EXPECT_EQ(r.L2Cache.Size, 0u);
}

TEST(SxSysInfoCpu, ViaTakesMmxAndSseFromLeafOne)
{
    TDump d;
    putVendor(d, 1, "CentaurHauls");
    d[1] = {0x000006A9, 0, 0, 0x02800000};
    d[0x80000000] = {0x80000006, 0, 0, 0};
    d[0x80000001] = {0x000006A9, 0, 0, 0x80000000};
    d[0x80000005] = {0, 0, 0x40040140, 0x40040140};
    const TProcessorRecord r = probe(d);
    EXPECT_EQ(r.VendorCode, 5);
    EXPECT_TRUE(r.MMX);
    EXPECT_TRUE(r.SSE.Contains(sse));
    EXPECT_TRUE(r._3DNow);
    EXPECT_EQ(r.L1DataCache.Size, 64u);
}

TEST(SxSysInfoCpu, SnapFrequency)
{
    const std::pair<int, int> cases[] = {{2399, 2400}, {2166, 2166}, {2126, 2120}, {2177, 2180}, {1999, 2000},
                                         {2133, 2133}, {2145, 2150}, {2164, 2166}, {0, 0},        {-5, -5}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(SnapFrequency(in), out) << in;
}

TEST(SxSysInfoCpu, ThisProcessor)
{
    TProcessorRecord r;
    ReadProcessorInfo(r);
    EXPECT_TRUE(r.IsFDIVOK);
#if defined(__x86_64__)
    EXPECT_TRUE(r.HasInstruction);
    EXPECT_NE(r.VendorText(), QString());
    if (r.FeatureBits & 0x10) {
        EXPECT_GT(r.Clock.RawFreq, 0);
        EXPECT_EQ(r.Clock.NormFreq, SnapFrequency(static_cast<int>(r.Clock.NormFreq)));
    }
#else
    EXPECT_FALSE(r.HasInstruction);
#endif
}

// ---- fixture trees ---------------------------------------------------------

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(text);
}

TEST(SxSysInfoFixtures, MemInfo)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    writeFile(root.filePath("proc/meminfo"),
              "MemTotal:       16318412 kB\n"
              "MemFree:         1234567 kB\n"
              "MemAvailable:    8159206 kB\n"
              "Buffers:          123456 kB\n"
              "SwapTotal:       2097148 kB\n"
              "SwapFree:        1048500 kB\n");
    writeFile(root.filePath("proc/self/status"), "Name:\tx\nVmSize:\t  204800 kB\n");
    const TMemoryStatus s = QueryMemoryStatus(root.path());
    EXPECT_EQ(s.TotalPhys, 16318412LL * 1024);
    EXPECT_EQ(s.AvailPhys, 8159206LL * 1024);
    EXPECT_EQ(s.TotalPageFile, 2097148LL * 1024);
    EXPECT_EQ(s.AvailPageFile, 1048500LL * 1024);
    EXPECT_EQ(s.MemoryLoad, 50u);
    EXPECT_EQ(SwapFileUsage(s), 51);  // 100 minus the whole 49.99 percent free
    EXPECT_EQ(s.TotalVirtual - s.AvailVirtual, 204800LL * 1024);

    // An older kernel without MemAvailable: the free figure stands in.
    writeFile(root.filePath("proc/meminfo"), "MemTotal: 1000 kB\nMemFree: 250 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n");
    const TMemoryStatus old = QueryMemoryStatus(root.path());
    EXPECT_EQ(old.AvailPhys, 250 * 1024);
    EXPECT_EQ(old.MemoryLoad, 75u);
    EXPECT_EQ(SwapFileUsage(old), 0);

    const TMemoryStatus missing = QueryMemoryStatus(root.filePath("nowhere"));
    EXPECT_EQ(missing.TotalPhys, 0);
    EXPECT_EQ(missing.MemoryLoad, 0u);
}

struct Supply {
    const char* name;
    std::map<std::string, std::string> files;
};

TEST(SxSysInfoFixtures, PowerSupplies)
{
    struct Case {
        const char* label;
        std::vector<Supply> supplies;
        TAPMBatteryFlag flag;
        TAPMLineStatus line;
        int percent, lifeTime, fullLifeTime;
    };
    const std::map<std::string, std::string> mains{{"type", "Mains"}, {"online", "1"}};
    const Case cases[] = {
        {"laptop on mains, charging at 80%",
         {{"AC", mains}, {"BAT0", {{"type", "Battery"}, {"status", "Charging"}, {"capacity", "80"}}}},
         abfUnknown, alsOnline, 80, -1, -1},
        {"desktop without battery", {{"AC", mains}}, abfNoBattery, alsOnline, 255, -1, -1},
        {"discharging at 20%",
         {{"AC", {{"type", "Mains"}, {"online", "0"}}},
          {"BAT0", {{"type", "Battery"}, {"status", "Discharging"}, {"capacity", "20"}, {"energy_now", "20000000"},
                    {"energy_full", "50000000"}, {"power_now", "10000000"}}}},
         abfLow, alsOffline, 20, 7200, 18000},
        {"nearly empty, charge counters, no mains supply",
         {{"BAT1", {{"type", "Battery"}, {"status", "Discharging"}, {"capacity", "3"}, {"charge_now", "100000"},
                    {"charge_full", "4000000"}, {"current_now", "400000"}}}},
         abfCritical, alsOffline, 3, 900, 36000},
        {"full battery on a level only",
         {{"BAT0", {{"type", "Battery"}, {"status", "Full"}, {"capacity_level", "Full"}}}}, abfHigh, alsOnline, 255,
         -1, -1},
        {"a mouse battery is not the machine's",
         {{"hidpp_battery_0", {{"type", "Battery"}, {"scope", "Device"}, {"capacity", "50"}}}}, abfNoBattery,
         alsUnknown, 255, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        QDir().mkpath(root.filePath("sys/class/power_supply"));
        for (const Supply& s : c.supplies)
            for (const auto& [file, text] : s.files)
                writeFile(root.filePath(QStringLiteral("sys/class/power_supply/%1/%2")
                                            .arg(QLatin1String(s.name), QString::fromStdString(file))),
                          QByteArray::fromStdString(text + "\n"));
        EXPECT_EQ(QueryBatteryFlag(root.path()), c.flag);
        EXPECT_EQ(QueryLineStatus(root.path()), c.line);
        EXPECT_EQ(QueryBatteryPercent(root.path()), c.percent);
        EXPECT_EQ(QueryBatteryLifeTime(root.path()), c.lifeTime);
        EXPECT_EQ(QueryBatteryFullLifeTime(root.path()), c.fullLifeTime);
    }

    QTemporaryDir empty;
    EXPECT_EQ(QueryBatteryFlag(empty.filePath("none")), abfUnknown);
    EXPECT_EQ(QueryLineStatus(empty.filePath("none")), alsUnknown);
}

TEST(SxSysInfoFixtures, DmiAndBiosDate)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    writeFile(root.filePath("sys/class/dmi/id/bios_vendor"), "American Megatrends Inc.\n");
    writeFile(root.filePath("sys/class/dmi/id/bios_version"), "F12\n");
    writeFile(root.filePath("sys/class/dmi/id/bios_date"), "07/15/2010\n");
    EXPECT_EQ(QueryBiosName(root.path()), QStringLiteral("American Megatrends Inc."));
    EXPECT_EQ(QueryBiosExtendedInfo(root.path()), QStringLiteral("F12"));
    EXPECT_EQ(QueryBiosCopyright(root.path()), QString());
    EXPECT_EQ(QueryBiosDate(root.path()), EncodeDate(2010, 7, 15));

    const QString missing = root.filePath("nowhere");
    EXPECT_EQ(QueryBiosName(missing), QString());
    EXPECT_EQ(QueryBiosDate(missing), 0.0);

    const std::pair<const char*, TDateTime> dates[] = {
        {"07/15/10", EncodeDate(2010, 7, 15)}, {"2010/07/15", EncodeDate(2010, 7, 15)},
        {"15.07.2010", 0.0}, {"13/45/2010", 0.0}, {"", 0.0}, {"1/2/99", EncodeDate(1999, 1, 2)},
    };
    for (const auto& [text, date] : dates)
        EXPECT_EQ(ParseBiosDate(QString::fromLatin1(text)), date) << text;
}

TEST(SxSysInfoFixtures, LockKeyLights)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    writeFile(root.filePath("sys/class/leds/input3::capslock/brightness"), "1\n");
    writeFile(root.filePath("sys/class/leds/input3::numlock/brightness"), "0\n");
    writeFile(root.filePath("sys/class/leds/input9::numlock/brightness"), "0\n");
    EXPECT_TRUE(CapsLockToggled(root.path()));
    EXPECT_FALSE(NumLockToggled(root.path()));
    EXPECT_FALSE(ScrollLockToggled(root.path()));
    EXPECT_FALSE(KeyToggled(65, root.path()));
    EXPECT_FALSE(CapsLockToggled(root.filePath("nowhere")));
}

TEST(SxSysInfoFixtures, OsReleaseAndKernel)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    writeFile(root.filePath("usr/lib/os-release"), "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
    EXPECT_EQ(QueryOsProductName(root.path()), QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    writeFile(root.filePath("etc/os-release"), "NAME='Other'\n");
    EXPECT_EQ(QueryOsProductName(root.path()), QStringLiteral("Other"));
    EXPECT_EQ(QueryOsProductName(root.filePath("nowhere")), QString());

    const TKernelVersion v = ParseKernelRelease(QStringLiteral("6.1.0-18-amd64"));
    EXPECT_EQ(v.Major, 6u);
    EXPECT_EQ(v.Minor, 1u);
    EXPECT_EQ(v.Build, 0u);
    const TKernelVersion w = ParseKernelRelease(QStringLiteral("5.15"));
    EXPECT_EQ(w.Minor, 15u);
    EXPECT_EQ(w.Build, 0u);
    EXPECT_EQ(ParseKernelRelease(QStringLiteral("garbage")).Major, 0u);
}

TEST(SxSysInfoFacts, StartUpFactsOfThisMachine)
{
    const TSystemFacts& f = SystemFacts();
    EXPECT_GE(f.ProcessorCount, 1u);
    EXPECT_LE(f.ProcessorCount, static_cast<uint32_t>(sysconf(_SC_NPROCESSORS_CONF)));
    EXPECT_EQ(f.PageSize, static_cast<uint32_t>(sysconf(_SC_PAGESIZE)));
    EXPECT_EQ(f.AllocationGranularity, f.PageSize);
    EXPECT_TRUE(f.IsNT);
    EXPECT_EQ(f.KernelVersion, 0u);
    // The version here is unknown, so no flag is set.
    for (bool flag : f.VersionFlags)
        EXPECT_FALSE(flag);
    EXPECT_FALSE(f.IsWinNT3);
}

TEST(SxSysInfoFacts, VersionFlagsOfEachVersion)
{
    struct Case {
        TWindowsVersion Version;
        std::vector<TWindowsVersion> Set;
        bool NT3;
    };
    const Case cases[] = {
        {wvUnknown, {}, false},
        {wvWin95, {wvWin95}, false},
        {wvWinNT31, {wvWinNT31}, true},
        {wvWinNT35, {wvWinNT35}, true},
        {wvWinNT351, {wvWinNT351, wvWinNT35}, true},
        {wvWinNT4, {wvWinNT4}, false},
        {wvWinServer2008R2, {wvWinServer2008R2}, false},
    };
    for (const Case& c : cases) {
        TSystemFacts f;
        SetVersionFlags(f, c.Version);
        for (int v = wvUnknown; v <= wvWinServer2008R2; ++v) {
            const bool expected = std::find(c.Set.begin(), c.Set.end(), v) != c.Set.end();
            EXPECT_EQ(f.VersionFlags[v], expected) << "version " << c.Version << ", flag " << v;
        }
        EXPECT_EQ(f.IsWinNT3, c.NT3) << "version " << c.Version;
    }
}

}  // namespace
