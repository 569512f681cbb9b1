// SknReader.h - the skin container: a skin file (the unpacked size, then
// the packed container) unpacked into named entries, the skin description
// and its bitmaps, handed out by name.
#pragma once
#include <QByteArray>
#include <cstdint>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/String.h"

class TStream;
class TMemoryStream;

VORLANE_DECLARE_EXCEPTION(ESkinReadError, Exception);

namespace SknReaderConsts {
VORLANE_RESOURCESTRING(SOlderSkin, "This is Older Skin File\rPlease update to new version !");
VORLANE_RESOURCESTRING(SBadUnpackedSize, "The skin file is damaged: its unpacked size is not possible");
VORLANE_RESOURCESTRING(SBadHeader, "The skin file is damaged: the container is cut short");
VORLANE_RESOURCESTRING(STooManyEntries, "The skin file is damaged: it names more than 1001 entries");
VORLANE_RESOURCESTRING(SBadEntrySizes, "The skin file is damaged: the entry sizes do not fit its data");
}  // namespace SknReaderConsts

class TSkinReader {
public:
    static constexpr int MaxEntries = 1001;
    // Real skins unpack to a few hundred kilobytes.
    static constexpr int64_t MaxUnpackedSize = 64 * 1024 * 1024;

    TSkinReader();
    ~TSkinReader();
    TSkinReader(const TSkinReader&) = delete;
    TSkinReader& operator=(const TSkinReader&) = delete;

    // Unpacks a skin file held in Packed and takes its entries. False with
    // LastError set when the file is refused (an unknown format code gives
    // the "older skin" text); the entries of the last good load stay.
    bool ReadContainer(TMemoryStream* Packed);
    const String& LastError() const { return FLastError; }

    // Reads the unpacked size at the start of Packed and writes that many
    // decoded bytes to Output (both from position 0). ESkinReadError for a
    // size no stream of this length can unpack to, ElzhException for packed
    // data that ends too early.
    void Decompress(TStream* Packed, TStream* Output);

    // The bytes of the first entry named Name (compared in lower case),
    // with Dest's position at 0; an absent name leaves Dest empty.
    void ExtractEntry(const String& Name, TMemoryStream* Dest) const;
    // The first entry whose lower-case name contains Fragment exactly as
    // given; its name goes to Name. Nothing found: Dest empty, Name unchanged.
    void ExtractEntryContaining(const String& Fragment, TMemoryStream* Dest, String& Name) const;

    int Count() const { return int(FNames.size()); }
    const std::vector<String>& Names() const { return FNames; }
    int32_t FormatCode() const { return FFormatCode; }

private:
    void writeEntry(size_t index, TMemoryStream* Dest) const;

    std::vector<String> FNames;
    std::vector<int32_t> FSizes;
    std::vector<int64_t> FOffsets;
    QByteArray FData;
    int32_t FFormatCode = 0;
    String FLastError;
};
