// The processor half of SxSysInfo: the CPUID decoders per vendor, the
// divide self-test and the time-stamp clock measurement.
#include "support/SxSysInfo.h"

#include <cmath>
#include <cstring>
#include <ctime>

#include "platform/rtl/Format.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define SX_HAVE_CPUID 1
#else
#define SX_HAVE_CPUID 0
#endif

namespace {

enum TDescriptorKind : uint8_t { dkL1Code = 2, dkL1Data = 3, dkL2 = 4, dkL3 = 6 };

struct TCacheDescriptor {
    uint8_t Descriptor;
    TDescriptorKind Kind;
    uint32_t Size;
    uint8_t Associativity;
    uint8_t LineSize;
    uint8_t LinesPerSector;
};

// The cache rows of the maker's leaf-2 descriptor list; the translation
// buffer and trace cache rows never reach a field and are left out.
constexpr TCacheDescriptor CacheDescriptors[] = {
    {0x06, dkL1Code, 8, 4, 32, 0},      {0x08, dkL1Code, 16, 4, 32, 0},     {0x09, dkL1Code, 32, 4, 64, 0},
    {0x0A, dkL1Data, 8, 2, 32, 0},      {0x0C, dkL1Data, 16, 4, 32, 0},     {0x0D, dkL1Data, 16, 4, 64, 0},
    {0x0E, dkL1Data, 24, 4, 64, 0},     {0x21, dkL2, 256, 4, 64, 0},        {0x22, dkL3, 512, 4, 64, 2},
    {0x23, dkL3, 1024, 8, 64, 2},       {0x25, dkL3, 2048, 8, 64, 2},       {0x29, dkL3, 4096, 8, 64, 2},
    {0x2C, dkL1Data, 32, 8, 64, 0},     {0x30, dkL1Code, 32, 8, 64, 0},     {0x39, dkL2, 128, 4, 64, 0},
    {0x3A, dkL2, 192, 6, 64, 0},        {0x3B, dkL2, 128, 2, 64, 0},        {0x3C, dkL2, 256, 4, 64, 0},
    {0x3D, dkL2, 384, 6, 64, 0},        {0x3E, dkL2, 512, 4, 64, 0},        {0x41, dkL2, 128, 4, 32, 0},
    {0x42, dkL2, 256, 4, 32, 0},        {0x43, dkL2, 512, 4, 32, 0},        {0x44, dkL2, 1024, 4, 32, 0},
    {0x45, dkL2, 2048, 4, 32, 0},       {0x46, dkL3, 4096, 4, 64, 0},       {0x47, dkL3, 8192, 8, 64, 0},
    {0x48, dkL2, 3072, 12, 64, 0},      {0x49, dkL2, 4096, 16, 64, 0},      {0x4A, dkL3, 6144, 12, 64, 0},
    {0x4B, dkL3, 8192, 16, 64, 0},      {0x4C, dkL3, 12288, 12, 64, 0},     {0x4D, dkL3, 16384, 16, 64, 0},
    {0x4E, dkL3, 6144, 24, 64, 0},      {0x60, dkL1Data, 16, 8, 64, 0},     {0x66, dkL1Data, 8, 4, 64, 0},
    {0x67, dkL1Data, 16, 4, 64, 0},     {0x68, dkL1Data, 32, 4, 64, 0},     {0x78, dkL2, 1024, 4, 64, 0},
    {0x79, dkL2, 128, 8, 64, 2},        {0x7A, dkL2, 256, 8, 64, 2},        {0x7B, dkL2, 512, 8, 64, 2},
    {0x7C, dkL2, 1024, 8, 64, 2},       {0x7D, dkL2, 2048, 8, 64, 0},       {0x7F, dkL2, 512, 2, 64, 0},
    {0x80, dkL2, 512, 8, 64, 0},        {0x82, dkL2, 256, 8, 32, 0},        {0x83, dkL2, 512, 8, 32, 0},
    {0x84, dkL2, 1024, 8, 32, 0},       {0x85, dkL2, 2048, 8, 32, 0},       {0x86, dkL2, 512, 4, 64, 0},
    {0x87, dkL2, 1024, 8, 64, 0},       {0xD0, dkL3, 512, 4, 64, 0},        {0xD1, dkL3, 1024, 4, 64, 0},
    {0xD2, dkL3, 2048, 4, 64, 0},       {0xD6, dkL3, 1024, 8, 64, 0},       {0xD7, dkL3, 2048, 8, 64, 0},
    {0xD8, dkL3, 4096, 8, 64, 0},       {0xDC, dkL3, 1536, 12, 64, 0},      {0xDD, dkL3, 3072, 12, 64, 0},
    {0xDE, dkL3, 6144, 12, 64, 0},      {0xE2, dkL3, 2048, 16, 64, 0},      {0xE3, dkL3, 4096, 16, 64, 0},
    {0xE4, dkL3, 8192, 16, 64, 0},      {0xEA, dkL3, 12288, 24, 64, 0},     {0xEB, dkL3, 18432, 24, 64, 0},
    {0xEC, dkL3, 24576, 24, 64, 0},
};

bool bit(uint32_t value, int n)
{
    return ((value >> n) & 1u) != 0;
}

template <size_t N>
void setText(char (&field)[N], const QByteArray& text)
{
    std::memset(field, 0, N);
    std::memcpy(field, text.constData(), std::min<size_t>(N, static_cast<size_t>(text.size())));
}

void putRegs(char* dest, const TCpuidRegs& r)
{
    const uint32_t regs[4] = {r.EAX, r.EBX, r.ECX, r.EDX};
    for (int i = 0; i < 4; ++i)
        for (int b = 0; b < 4; ++b)
            dest[i * 4 + b] = static_cast<char>((regs[i] >> (8 * b)) & 0xFF);
}

void putReg(char* dest, uint32_t reg)
{
    for (int b = 0; b < 4; ++b)
        dest[b] = static_cast<char>((reg >> (8 * b)) & 0xFF);
}

// The fields of a leaf-1 style signature.
void decodeSignature(TProcessorRecord& Info, uint32_t eax, uint32_t kindMask)
{
    Info.ProcessorKind = static_cast<uint8_t>((eax >> 12) & kindMask);
    Info.Family = static_cast<uint8_t>((eax >> 8) & 0xF);
    Info.Model = static_cast<uint8_t>((eax >> 4) & 0xF);
    Info.Stepping = static_cast<uint8_t>(eax & 0xF);
    Info.ModelExtension = static_cast<uint8_t>((eax >> 16) & 0xF);
    Info.FamilyExtension = static_cast<uint8_t>((eax >> 20) & 0xFF);
}

void keepLeaf1Ebx(TProcessorRecord& Info, uint32_t ebx, uint32_t edx)
{
    Info.Raw.Leaf1Ebx = ebx;
    Info.Raw.BrandIndex = static_cast<uint8_t>(ebx & 0xFF);
    Info.Raw.FlushLineSize = static_cast<uint8_t>((ebx >> 8) & 0xFF);
    Info.Raw.ApicId = static_cast<uint8_t>(ebx >> 24);
    Info.HyperThreadingTechnology = bit(edx, 28);
    if (Info.HyperThreadingTechnology) {
        const uint8_t logical = static_cast<uint8_t>((ebx >> 16) & 0xFF);
        Info.LogicalCore = logical == 0 ? 1 : logical;
    }
}

// size in bits 24-31, ways in 16-23, line in 0-7 (the L1 layout of 0x80000005).
TCacheInfo amdL1(uint32_t reg)
{
    return {reg >> 24, static_cast<uint8_t>(reg & 0xFF), static_cast<uint8_t>((reg >> 16) & 0xFF), 0};
}

TCacheInfo amdL2(uint32_t reg)
{
    return {reg >> 16, static_cast<uint8_t>(reg & 0xFF), static_cast<uint8_t>((reg >> 12) & 0xF), 0};
}

void brandString(TProcessorRecord& Info, uint32_t hiExt, const TCpuidFunc& cpuid)
{
    for (uint32_t i = 0; i < 3; ++i)
        if (hiExt >= 0x80000002 + i)
            putRegs(Info.Name + 16 * i, cpuid(0x80000002 + i, 0));
}

void decodeStandardLeaves(TProcessorRecord& Info, uint32_t hiVal, const TCpuidFunc& cpuid)
{
    if (hiVal == 0)
        return;
    const TCpuidRegs r1 = cpuid(1, 0);
    Info.FeatureBits = r1.EDX;
    decodeSignature(Info, r1.EAX, 0x3);
    if (Info.VendorCode == 1) {
        Info.Raw.Leaf1Ecx = r1.ECX;
        keepLeaf1Ebx(Info, r1.EBX, r1.EDX);
    }
    if (hiVal >= 2) {
        Info.HasCacheInfo = true;
        putRegs(reinterpret_cast<char*>(Info.Raw.Descriptors), cpuid(2, 0));
    }
}

QByteArray intelName(const TProcessorRecord& Info)
{
    const int model = Info.Model;
    const uint32_t l2 = Info.L2Cache.Size;
    switch (Info.Family) {
    case 4:
        switch (model) {
        case 1: return "Intel 486DX Processor";
        case 2: return "Intel 486SX Processor";
        case 3: return "Intel DX2 Processor";
        case 5: return "Intel SX2 Processor";
        case 7: return "Write-Back Enhanced Intel DX2 Processor";
        case 8: return "Intel DX4 Processor";
        default: return "Intel 486 Processor";
        }
    case 5: return "Pentium";
    case 6:
        switch (model) {
        case 1: return "Pentium Pro";
        case 3: return "Pentium II";
        case 5: return l2 == 0 ? "Celeron" : (l2 == 1024 || l2 == 2048) ? "Pentium II Xeon" : "Pentium II";
        case 6: return (l2 == 0 || l2 == 128) ? "Celeron" : "Pentium II";
        case 7: return (l2 == 1024 || l2 == 2048) ? "Pentium III Xeon" : "Pentium III";
        case 8: return Info.Raw.BrandIndex == 1 ? "Celeron" : Info.Raw.BrandIndex == 3 ? "Pentium III Xeon" : "Pentium III";
        case 10: return "Pentium III Xeon";
        case 11: return "Pentium III";
        default: return "P6 (Model " + QByteArray::number(model) + ")";
        }
    case 15: return Info.Raw.BrandIndex == 1 ? "Celeron" : Info.Raw.BrandIndex == 14 ? "Xeon" : "Pentium 4";
    default: return "P" + QByteArray::number(Info.Family);
    }
}

void probeIntel(TProcessorRecord& Info, uint32_t hiVal, const TCpuidFunc& cpuid)
{
    Info.VendorCode = 1;
    setText(Info.Manufacturer, "Intel");
    decodeStandardLeaves(Info, hiVal, cpuid);
    if (hiVal >= 4)
        Info.PhysicalCore = static_cast<uint8_t>(((cpuid(4, 0).EAX >> 26) & 0x3F) + 1);
    if (hiVal >= 6)
        Info.Raw.Leaf6Eax = cpuid(6, 0).EAX;
    const uint32_t hiExt = cpuid(0x80000000, 0).EAX;
    if (hiExt >= 0x80000001) {
        Info.HasExtendedInfo = true;
        const TCpuidRegs r = cpuid(0x80000001, 0);
        Info.Raw.ExtEdx = r.EDX;
        Info.Raw.ExtEcx = r.ECX;
    }
    brandString(Info, hiExt, cpuid);
    if (hiExt >= 0x80000006)
        Info.Raw.L2Ecx = cpuid(0x80000006, 0).ECX;
    if (hiExt >= 0x80000008) {
        const uint32_t eax = cpuid(0x80000008, 0).EAX;
        Info.Raw.PhysicalAddressBits = static_cast<uint8_t>(eax & 0xFF);
        Info.Raw.VirtualAddressBits = static_cast<uint8_t>((eax >> 8) & 0xFF);
    }
    if (Info.HasCacheInfo) {
        if (Info.Raw.L2Ecx != 0)
            Info.L2Cache = amdL2(Info.Raw.L2Ecx);
        for (const uint8_t d : Info.Raw.Descriptors) {
            if (d == 0)
                continue;
            for (const TCacheDescriptor& row : CacheDescriptors) {
                if (row.Descriptor != d)
                    continue;
                TCacheInfo* target = nullptr;
                switch (row.Kind) {
                case dkL1Code: target = &Info.L1CodeCache; break;
                case dkL1Data: target = &Info.L1DataCache; break;
                case dkL2: target = Info.Raw.L2Ecx == 0 ? &Info.L2Cache : nullptr; break;
                case dkL3: target = &Info.L3Cache; break;
                }
                if (target == nullptr)
                    continue;
                target->Size += row.Size;
                target->LineSize = row.LineSize;
                target->Associativity = row.Associativity;
                if (row.Kind == dkL3)
                    target->LinesPerSector = row.LinesPerSector;
            }
        }
    }
    if (!Info.HasExtendedInfo)
        setText(Info.Name, intelName(Info));
    Info.SharedCores = Info.LogicalCore != Info.PhysicalCore;
    Info.HasAES = bit(Info.Raw.Leaf1Ecx, 25);
    Info.MMX = bit(Info.FeatureBits, 23);
    if (bit(Info.FeatureBits, 25)) Info.SSE.Include(sse);
    if (bit(Info.FeatureBits, 26)) Info.SSE.Include(sse2);
    if (bit(Info.Raw.Leaf1Ecx, 0)) Info.SSE.Include(sse3);
    if (bit(Info.Raw.Leaf1Ecx, 9)) Info.SSE.Include(ssse3);
    if (bit(Info.Raw.Leaf1Ecx, 19)) Info.SSE.Include(sse41);
    if (bit(Info.Raw.Leaf1Ecx, 20)) Info.SSE.Include(sse42);
    if (bit(Info.Raw.Leaf1Ecx, 28)) Info.SSE.Include(avx);
    Info.Is64Bits = Info.HasExtendedInfo && bit(Info.Raw.ExtEdx, 29);
    Info.DEPCapable = Info.HasExtendedInfo && bit(Info.Raw.ExtEdx, 20);
}

// 0xAE and 0x99 are the registered and trade mark signs of Windows-1252.
QByteArray amdName(const TProcessorRecord& Info)
{
    const QByteArray model = QByteArray::number(Info.Model);
    const QByteArray unknown = "Unknown AMD (Model " + model + ")";
    switch (Info.Family) {
    case 4: return "Am486(R) or Am5x86";
    case 5:
        switch (Info.Model) {
        case 0: case 1: case 2: case 3: return "AMD-K5 (Model " + model + ")";
        case 6: return "AMD-K6\xAE (Model 6)";
        case 7: return "AMD-K6\xAE (Model 7)";
        case 8: return "AMD-K6\xAE-2 (Model 8)";
        case 9: return "AMD-K6\xAE-III (Model 9)";
        default: return unknown;
        }
    case 6:
        switch (Info.Model) {
        case 1: case 2: case 4: return "AMD Athlon\x99 (Model " + model + ")";
        case 3: case 7: return "AMD Duron\x99 (Model " + model + ")";
        case 6: case 8: case 10: return "AMD Athlon\x99 XP (Model " + model + ")";
        default: return unknown;
        }
    case 8: return {};
    default: return "Unknown AMD Chip";
    }
}

void probeAmd(TProcessorRecord& Info, uint32_t hiVal, const TCpuidFunc& cpuid)
{
    Info.VendorCode = 3;
    setText(Info.Manufacturer, "AMD");
    if (hiVal >= 1) {
        const TCpuidRegs r1 = cpuid(1, 0);
        Info.FeatureBits = r1.EDX;
        Info.Raw.Leaf1Ecx = r1.ECX;
        keepLeaf1Ebx(Info, r1.EBX, r1.EDX);
    }
    const uint32_t hiExt = cpuid(0x80000000, 0).EAX;
    if (hiExt == 0) {
        decodeStandardLeaves(Info, hiVal, cpuid);
        setText(Info.Name, amdName(Info));
    } else {
        Info.HasExtendedInfo = true;
        if (hiExt >= 0x80000001) {
            const TCpuidRegs r = cpuid(0x80000001, 0);
            decodeSignature(Info, r.EAX, 0x3);
            Info.ProcessorKind = 0;
            Info.Raw.BrandId = static_cast<uint16_t>(r.EBX & 0xFFFF);
            Info.Raw.ExtEdx = r.EDX;
            Info.Raw.ExtEcx = r.ECX;
        }
        brandString(Info, hiExt, cpuid);
        TCpuidRegs r5, r6;
        if (hiExt >= 0x80000005) {
            Info.HasCacheInfo = true;
            r5 = cpuid(0x80000005, 0);
        }
        if (hiExt >= 0x80000006)
            r6 = cpuid(0x80000006, 0);
        if (Info.HasCacheInfo) {
            Info.L1DataCache = amdL1(r5.ECX);
            Info.L1CodeCache = amdL1(r5.EDX);
            Info.L2Cache = amdL2(r6.ECX);
            // Bits 18-31 count 512 KB blocks; kept in KB like every other size.
            Info.L3Cache = {(r6.EDX >> 18) * 512, static_cast<uint8_t>(r6.EDX & 0xFF),
                            static_cast<uint8_t>((r6.EDX >> 12) & 0xF), 0};
        }
        if (hiExt >= 0x80000007)
            Info.Raw.PowerManagement = cpuid(0x80000007, 0).EDX;
        if (hiExt >= 0x80000008) {
            const TCpuidRegs r8 = cpuid(0x80000008, 0);
            Info.Raw.PhysicalAddressBits = static_cast<uint8_t>(r8.EAX & 0xFF);
            Info.Raw.VirtualAddressBits = static_cast<uint8_t>((r8.EAX >> 8) & 0xFF);
            Info.PhysicalCore = static_cast<uint8_t>((r8.ECX & 0xFF) + 1);
        }
    }
    const bool ext = Info.HasExtendedInfo;
    const uint32_t edx = Info.Raw.ExtEdx;
    Info.SharedCores = Info.LogicalCore != Info.PhysicalCore;
    Info.HasAES = bit(Info.Raw.Leaf1Ecx, 25);
    Info.MMX = bit(Info.FeatureBits, 23);
    Info.ExMMX = ext && bit(edx, 22);
    Info._3DNow = ext && bit(edx, 31);
    Info.Ex3DNow = ext && bit(edx, 30);
    if (bit(Info.FeatureBits, 25)) Info.SSE.Include(sse);
    if (bit(Info.FeatureBits, 26)) Info.SSE.Include(sse2);
    if (bit(Info.Raw.Leaf1Ecx, 0)) Info.SSE.Include(sse3);
    if (ext) {
        if (bit(Info.Raw.ExtEcx, 6)) Info.SSE.Include(sse4A);
        if (bit(Info.Raw.Leaf1Ecx, 19)) Info.SSE.Include(sse41);
        if (bit(Info.Raw.Leaf1Ecx, 20)) Info.SSE.Include(sse42);
    }
    Info.Is64Bits = ext && bit(edx, 29);
    Info.DEPCapable = ext && bit(edx, 20);
}

void probeCyrix(TProcessorRecord& Info, uint32_t hiVal, const TCpuidFunc& cpuid)
{
    Info.VendorCode = 2;
    setText(Info.Manufacturer, "Cyrix");
    const uint32_t hiExt = cpuid(0x80000000, 0).EAX;
    if (hiExt != 0) {
        Info.HasExtendedInfo = true;
        if (hiExt >= 0x80000001) {
            const TCpuidRegs r = cpuid(0x80000001, 0);
            Info.FeatureBits = r.EDX;
            decodeSignature(Info, r.EAX, 0xF);
            Info.ModelExtension = Info.FamilyExtension = 0;
        }
        brandString(Info, hiExt, cpuid);
        if (hiExt >= 0x80000005) {
            Info.HasCacheInfo = true;
            const TCpuidRegs r5 = cpuid(0x80000005, 0);
            Info.Raw.ExtEcx = r5.ECX;
            Info.Raw.ExtEdx = r5.EDX;
        }
        return;
    }
    decodeStandardLeaves(Info, hiVal, cpuid);
    switch (Info.Family) {
    case 4: setText(Info.Name, "Cyrix MediaGX"); break;
    case 5:
        if (Info.Model == 2)
            setText(Info.Name, "Cyrix 6x86");
        else if (Info.Model == 4)
            setText(Info.Name, "Cyrix GXm");
        break;
    case 6: setText(Info.Name, "6x86MX"); break;
    default: setText(Info.Name, QByteArray::number(Info.Family) + "x86"); break;
    }
}

void probeVia(TProcessorRecord& Info, uint32_t hiVal, const TCpuidFunc& cpuid)
{
    Info.VendorCode = 5;
    setText(Info.Manufacturer, "Via");
    const uint32_t hiExt = cpuid(0x80000000, 0).EAX;
    uint32_t extendedFeatures = 0;
    if (hiExt == 0) {
        decodeStandardLeaves(Info, hiVal, cpuid);
        extendedFeatures = Info.FeatureBits;
    } else {
        // The MMX and SSE bits live in leaf 1 on this path too.
        if (hiVal >= 1)
            Info.FeatureBits = cpuid(1, 0).EDX;
        if (hiExt >= 0x80000001) {
            Info.HasExtendedInfo = true;
            const TCpuidRegs r = cpuid(0x80000001, 0);
            decodeSignature(Info, r.EAX, 0x3);
            Info.ModelExtension = Info.FamilyExtension = 0;
            Info.Raw.ExtEdx = extendedFeatures = r.EDX;
        }
        brandString(Info, hiExt, cpuid);
        if (hiExt >= 0x80000005) {
            Info.HasCacheInfo = true;
            const TCpuidRegs r5 = cpuid(0x80000005, 0);
            Info.L1DataCache = amdL1(r5.ECX);
            Info.L1CodeCache = amdL1(r5.EDX);
        }
        if (hiExt >= 0x80000006)
            Info.L2Cache = amdL2(cpuid(0x80000006, 0).ECX);
        if (cpuid(0xC0000000, 0).EAX >= 0xC0000001)
            Info.Raw.ExtEdx = cpuid(0xC0000001, 0).EDX;
    }
    if (!Info.HasExtendedInfo)
        setText(Info.Name, "C3");
    Info.MMX = bit(Info.FeatureBits, 23);
    if (bit(Info.FeatureBits, 25))
        Info.SSE.Include(sse);
    Info._3DNow = bit(extendedFeatures, 31);
}

void probeTransmeta(TProcessorRecord& Info, uint32_t hiVal, const TCpuidFunc& cpuid)
{
    Info.VendorCode = 4;
    setText(Info.Manufacturer, "Transmeta");
    if (hiVal != 0) {
        const TCpuidRegs r1 = cpuid(1, 0);
        Info.FeatureBits = r1.EDX;
        decodeSignature(Info, r1.EAX, 0x3);
    }
    const TCpuidRegs r0 = cpuid(0x80000000, 0);
    const uint32_t hiExt = r0.EAX;
    putReg(Info.Name, r0.EBX);
    putReg(Info.Name + 4, r0.EDX);
    putReg(Info.Name + 8, r0.ECX);
    if (hiExt != 0) {
        Info.HasExtendedInfo = true;
        if (hiExt >= 0x80000001)
            Info.Raw.ExtEdx = cpuid(0x80000001, 0).EDX;
        brandString(Info, hiExt, cpuid);
        if (hiExt >= 0x80000005) {
            Info.HasCacheInfo = true;
            const TCpuidRegs r5 = cpuid(0x80000005, 0);
            Info.L1DataCache = amdL1(r5.ECX);
            Info.L1CodeCache = amdL1(r5.EDX);
        }
        if (hiExt >= 0x80000006)
            Info.L2Cache = amdL2(cpuid(0x80000006, 0).ECX);
    } else {
        setText(Info.Name, "Crusoe");
    }
    Info.MMX = bit(Info.FeatureBits, 23);
}

TCpuidFunc nativeCpuid()
{
    return [](uint32_t leaf, uint32_t subLeaf) { return ExecuteCpuid(leaf, subLeaf); };
}

// The performance counter: the monotonic clock in 100 ns ticks.
constexpr int64_t CounterFrequency = 10'000'000;

int64_t readCounter()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return static_cast<int64_t>(ts.tv_sec) * CounterFrequency + ts.tv_nsec / 100;
}

int64_t roundEven(double v)
{
    return static_cast<int64_t>(std::nearbyint(v));
}

String fixedText(const char* field, size_t size)
{
    const size_t n = strnlen(field, size);
    String result;
    result.reserve(static_cast<qsizetype>(n));
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(field[i]);
        result += c == 0x99 ? QChar(0x2122) : QChar(c);
    }
    return result;
}

}  // namespace

String TProcessorRecord::NameText() const { return fixedText(Name, sizeof(Name)); }
String TProcessorRecord::ManufacturerText() const { return fixedText(Manufacturer, sizeof(Manufacturer)); }
String TProcessorRecord::VendorText() const { return String::fromLatin1(VendorIDString, 12); }

bool CpuidAvailable()
{
#if SX_HAVE_CPUID
    return __get_cpuid_max(0, nullptr) != 0;
#else
    return false;
#endif
}

TCpuidRegs ExecuteCpuid(uint32_t Leaf, uint32_t SubLeaf)
{
    TCpuidRegs r;
#if SX_HAVE_CPUID
    __cpuid_count(Leaf, SubLeaf, r.EAX, r.EBX, r.ECX, r.EDX);
#else
    (void)Leaf;
    (void)SubLeaf;
#endif
    return r;
}

uint64_t ReadTimeStamp()
{
#if SX_HAVE_CPUID
    return __rdtsc();
#else
    return 0;
#endif
}

bool FdivSelfTest()
{
    // Volatile so the compiler cannot fold the flawed-divider check away.
    volatile double x = 2658955.0;
    volatile double pi = 3.141592653589793;
    const double r = x - (x / pi) * pi;
    return r < 1.0;
}

int SnapFrequency(int MHz)
{
    if (MHz < 0)
        return MHz;
    static constexpr int table[] = {0, 20, 33, 50, 60, 66, 80, 90, 100};
    const int r = MHz % 100;
    int i = 1;
    while (!(r < table[i]))
        ++i;
    const int lower = table[i - 1], upper = table[i];
    return r - lower < upper - r ? MHz - (r - lower) : MHz + (upper - r);
}

bool MeasureProcessorClock(TProcessorFrequency& Freq)
{
    const int64_t f = CounterFrequency;
    int64_t e0 = 0, e1 = 0, e2 = 0, s = 0, cycles = 0;
    double micro = 0.0;
    int i = 0;
    const auto spread = [&] {
        return std::llabs(3 * e0 - s) > 3 || std::llabs(3 * e1 - s) > 3 || std::llabs(3 * e2 - s) > 3;
    };
    // No priority raise: a time-critical thread needs a capability here.
    while (i < 3 || (i < 20 && spread())) {
        ++i;
        e2 = e1;
        e1 = e0;
        int64_t t0 = readCounter(), now = t0;
        uint64_t start = 0, stop = 0;
        do {
            now = readCounter();
            start = ReadTimeStamp();
        } while (now - t0 < 50);
        t0 = now;
        do {
            now = readCounter();
            stop = ReadTimeStamp();
        } while (now - t0 < 1000);
        const int64_t c = static_cast<int64_t>(stop - start);
        const double m = static_cast<double>(now - t0) * 100000.0 / (static_cast<double>(f) / 10.0);
        micro += m;
        cycles += c;
        e0 = m == 0.0 ? INT64_MAX : roundEven(static_cast<double>(c) / m);
        s = e0 + e1 + e2;
    }
    int64_t d10 = 0, d100 = 0;
    if (micro == 0.0) {
        Freq.RawFreq = d10 = d100 = INT64_MAX;
    } else {
        d10 = roundEven(static_cast<double>(cycles) * 10.0 / micro);
        d100 = roundEven(static_cast<double>(cycles) * 100.0 / micro);
        Freq.RawFreq = roundEven(static_cast<double>(cycles) / micro);
    }
    Freq.NormFreq = Freq.RawFreq;
    if (d100 - d10 * 10 >= 6)
        ++d10;
    if (d10 - Freq.RawFreq * 10 >= 6)
        ++Freq.NormFreq;
    Freq.TotalMicroseconds = roundEven(micro);
    Freq.TotalCycles = cycles;
    Freq.NormFreq = SnapFrequency(static_cast<int32_t>(static_cast<uint32_t>(Freq.NormFreq & 0xFFFFFFFF)));
    return true;
}

void ProbeProcessor(TProcessorRecord& Info, bool Available, const TCpuidFunc& Cpuid)
{
    Info = TProcessorRecord{};
    if (!Available) {
        Info.Family = 4;
    } else {
        Info.HasInstruction = true;
        const TCpuidRegs r0 = Cpuid(0, 0);
        const uint32_t hiVal = r0.EAX;
        putReg(Info.VendorIDString, r0.EBX);
        putReg(Info.VendorIDString + 4, r0.EDX);
        putReg(Info.VendorIDString + 8, r0.ECX);
        const QByteArray vendor(Info.VendorIDString, 12);
        if (vendor == "GenuineIntel")
            probeIntel(Info, hiVal, Cpuid);
        else if (vendor == "AuthenticAMD")
            probeAmd(Info, hiVal, Cpuid);
        else if (vendor == "CyrixInstead")
            probeCyrix(Info, hiVal, Cpuid);
        else if (vendor == "CentaurHauls")
            probeVia(Info, hiVal, Cpuid);
        else if (vendor == "GenuineTMx86")
            probeTransmeta(Info, hiVal, Cpuid);
        else
            decodeStandardLeaves(Info, hiVal, Cpuid);
    }
    if (Info.VendorCode == 0) {
        setText(Info.Manufacturer, "Unknown");
        setText(Info.Name, "Unknown");
    }
}

void ProbeProcessor(TProcessorRecord& Info)
{
    ProbeProcessor(Info, CpuidAvailable(), nativeCpuid());
}

void ReadProcessorInfo(TProcessorRecord& Info)
{
    ProbeProcessor(Info);
    Info.IsFDIVOK = FdivSelfTest();
    if (Info.HasInstruction && bit(Info.FeatureBits, 4))
        MeasureProcessorClock(Info.Clock);
}
