// SknLZH.h - the decoder of packed skins: LZSS over a 4 KB ring whose
// literals and match lengths are coded with an adaptive Huffman tree and
// whose match positions use a fixed prefix code (the LZHUF layout).
#pragma once
#include <QByteArray>
#include <cstdint>

#include "platform/rtl/Exception.h"

VORLANE_DECLARE_EXCEPTION(ElzhException, Exception);

namespace SknLZHConsts {
VORLANE_RESOURCESTRING(SLzhNoMemory, "LZH : Cannot get memory for dictionary tables");
VORLANE_RESOURCESTRING(SLzhTruncated, "LZH : The packed data ends before the unpacked size is reached");
}  // namespace SknLZHConsts

class TLZH {
public:
    // Decodes exactly Size bytes (a last match is cut at Size) from Packed.
    // Packed data that runs out reads as zero bits; in strict mode that is
    // an ElzhException instead, raised as soon as a symbol needed bits
    // past the end. ElzhException also when the output cannot be allocated.
    QByteArray Decode(int64_t Size, const QByteArray& Packed);

    bool Strict() const { return FStrict; }
    void SetStrict(bool Value) { FStrict = Value; }

private:
    bool FStrict = false;
};
