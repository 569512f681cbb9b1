#include "skin/SknReader.h"

#include <QtEndian>

#include "platform/rtl/Stream.h"
#include "skin/SknLZH.h"

namespace {

constexpr int HeaderSize = 16;
// Each symbol of the packed stream costs at least one bit, and a match of
// at most 60 bytes carries a position of at least nine bits: no stream
// unpacks to more than 48 bytes per packed byte.
constexpr int64_t MaxExpansion = 48;

int extraBlockSize(int32_t formatCode)
{
    switch (formatCode) {
    case 20000: return 0;
    case 30000: return 256;
    case 40000: return 80;
    case 50000: return 48;
    case 60000: return 117;
    case 70000: return 69;
    default: return -1;
    }
}

int32_t readInt32(const QByteArray& data, int64_t offset)
{
    return qFromLittleEndian<int32_t>(data.constData() + offset);
}

// One name per line (CR LF, CR or LF); a break at the very end adds no
// empty name, an empty line between others is an empty name.
std::vector<String> splitNames(const String& text)
{
    std::vector<String> names;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        names.push_back(text.mid(start, end - start));
        if (end < size && text[end] == u'\r')
            ++end;
        if (end < size && text[end] == u'\n')
            ++end;
        start = end;
    }
    return names;
}

}  // namespace

TSkinReader::TSkinReader() = default;
TSkinReader::~TSkinReader() = default;

void TSkinReader::Decompress(TStream* Packed, TStream* Output)
{
    Packed->SetPosition(0);
    Output->SetPosition(0);
    const int64_t packedSize = Packed->Size() - 4;
    int32_t unpacked = 0;
    if (packedSize < 0 || Packed->Read(&unpacked, 4) != 4)
        throw ESkinReadError(LoadResString(SknReaderConsts::SBadUnpackedSize));
    unpacked = qFromLittleEndian(unpacked);
    if (unpacked < HeaderSize || unpacked > MaxUnpackedSize || unpacked > packedSize * MaxExpansion)
        throw ESkinReadError(LoadResString(SknReaderConsts::SBadUnpackedSize));
    QByteArray packed = Packed->ReadBytes(packedSize);
    TLZH lzh;
    lzh.SetStrict(true);
    const QByteArray data = lzh.Decode(unpacked, packed);
    Output->WriteBuffer(data.constData(), data.size());
}

bool TSkinReader::ReadContainer(TMemoryStream* Packed)
{
    try {
        TMemoryStream unpacked;
        Decompress(Packed, &unpacked);
        const QByteArray data(static_cast<const char*>(unpacked.Memory()), qsizetype(unpacked.Size()));
        const int64_t size = data.size();
        if (size < HeaderSize)
            throw ESkinReadError(LoadResString(SknReaderConsts::SBadHeader));
        const int32_t formatCode = readInt32(data, 0);
        const int32_t nameLength = readInt32(data, 4);
        const int extra = extraBlockSize(formatCode);
        if (extra < 0) {
            FLastError = LoadResString(SknReaderConsts::SOlderSkin);
            return false;
        }
        const int64_t namesAt = HeaderSize + int64_t(extra);
        if (nameLength < 0 || namesAt + nameLength > size)
            throw ESkinReadError(LoadResString(SknReaderConsts::SBadHeader));

        QByteArray nameBytes = data.mid(qsizetype(namesAt), nameLength);
        const qsizetype nul = nameBytes.indexOf('\0');
        if (nul >= 0)
            nameBytes.truncate(nul);
        std::vector<String> names = splitNames(String::fromLatin1(nameBytes).toLower());
        const int64_t count = int64_t(names.size());
        if (count > MaxEntries)
            throw ESkinReadError(LoadResString(SknReaderConsts::STooManyEntries));
        const int64_t sizesAt = namesAt + nameLength;
        if (sizesAt + 4 * count > size)
            throw ESkinReadError(LoadResString(SknReaderConsts::SBadHeader));

        const int64_t dataAt = sizesAt + 4 * count;
        std::vector<int32_t> sizes;
        std::vector<int64_t> offsets;
        int64_t sum = 0;
        for (int64_t i = 0; i < count; ++i) {
            const int32_t entrySize = readInt32(data, sizesAt + 4 * i);
            if (entrySize < 0 || sum + entrySize > size - dataAt)
                throw ESkinReadError(LoadResString(SknReaderConsts::SBadEntrySizes));
            sizes.push_back(entrySize);
            offsets.push_back(sum);
            sum += entrySize;
        }

        FNames = std::move(names);
        FSizes = std::move(sizes);
        FOffsets = std::move(offsets);
        FData = data.mid(qsizetype(dataAt));
        FFormatCode = formatCode;
        FLastError.clear();
        return true;
    } catch (const Exception& e) {
        FLastError = e.Message();
        return false;
    }
}

void TSkinReader::writeEntry(size_t index, TMemoryStream* Dest) const
{
    Dest->WriteBuffer(FData.constData() + FOffsets[index], FSizes[index]);
    Dest->SetPosition(0);
}

void TSkinReader::ExtractEntry(const String& Name, TMemoryStream* Dest) const
{
    Dest->Clear();
    const String wanted = Name.toLower();
    for (size_t i = 0; i < FNames.size(); ++i)
        if (FNames[i] == wanted) {
            writeEntry(i, Dest);
            return;
        }
}

void TSkinReader::ExtractEntryContaining(const String& Fragment, TMemoryStream* Dest, String& Name) const
{
    Dest->Clear();
    for (size_t i = 0; i < FNames.size(); ++i)
        if (FNames[i].contains(Fragment)) {
            writeEntry(i, Dest);
            Name = FNames[i];
            return;
        }
}
