// SxVersionResource.h - the version resource of a file: a blob in the
// original's version-resource byte format that the build places in the ELF
// section ".vorlane_version"; found by reading the file's own ELF headers.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/rtl/String.h"

inline constexpr const char* VersionSectionName = ".vorlane_version";
// A version resource's lengths are 16 bits wide.
inline constexpr int64_t MaxVersionBlobSize = 0xFFFF;

// The section's bytes; false for a file that is not ELF, is damaged, has no
// such section or one larger than a version resource can be.
bool ReadElfSection(const String& FileName, const char* SectionName, AnsiString& Data);
// 0 when the file has no version resource.
uint32_t GetFileVersionInfoSize(const String& FileName);
bool GetFileVersionInfo(const String& FileName, AnsiString& Data);

// The fixed part of a version resource (52 bytes, signature 0xFEEF04BD).
struct VS_FIXEDFILEINFO {
    uint32_t dwSignature = 0xFEEF04BD;
    uint32_t dwStrucVersion = 0x00010000;
    uint32_t dwFileVersionMS = 0;
    uint32_t dwFileVersionLS = 0;
    uint32_t dwProductVersionMS = 0;
    uint32_t dwProductVersionLS = 0;
    uint32_t dwFileFlagsMask = 0x3F;
    uint32_t dwFileFlags = 0;
    uint32_t dwFileOS = 0;
    uint32_t dwFileType = 1;
    uint32_t dwFileSubtype = 0;
    uint32_t dwFileDateMS = 0;
    uint32_t dwFileDateLS = 0;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

// The root's fixed record, bounds-checked; false for a damaged blob.
bool QueryFixedFileInfo(const AnsiString& Data, VS_FIXEDFILEINFO& Fixed);

// Writes version resources: one node of the tree, in the 32-bit Unicode
// layout or the older 8-bit one. Text values are stored with their NUL;
// a null Text (or empty Binary) writes no value.
struct TVersionNode {
    String Key;
    bool IsText = false;
    AnsiString Binary;  // IsText false
    String Text;        // IsText true
    std::vector<TVersionNode> Children;
};
AnsiString WriteVersionNode(const TVersionNode& Node, bool Unicode = true);

// The usual resource: fixed record, one string table "040904b0" with the
// given name=value pairs, and the translation 0x0409/0x04B0.
AnsiString BuildVersionBlob(const VS_FIXEDFILEINFO& Fixed, const std::vector<std::pair<String, String>>& Strings);
