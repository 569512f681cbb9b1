// SkinPack.h - producing skin files: an LZHUF encoder (4 KB ring starting
// with 4036 spaces, longest match 60, adaptive Huffman code of 314 symbols,
// six-bit position prefixes), the unpacked container with its names, sizes
// and entries, and 24/32/8-bit Windows bitmap files.
#pragma once
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <vector>

namespace skinpack {

// LiteralOnly codes every byte as a literal: the one canonical stream for
// an input. Greedy takes the longest match (3 to 60 bytes) at each step.
enum class LzhufMode { LiteralOnly, Greedy };

// The packed bit stream alone (no size in front); the last byte is padded
// with zero bits.
QByteArray LzhufEncode(const QByteArray& input, LzhufMode mode);

// A skin file: the unpacked size as a little-endian int32, then the stream.
QByteArray PackSkinFile(const QByteArray& container, LzhufMode mode = LzhufMode::Greedy);
// The form property's value: a little-endian int32 count, then the file.
QByteArray SkinStreamValue(const QByteArray& skinFile);

struct SkinEntry {
    QByteArray Name;
    QByteArray Data;
};

struct ContainerOptions {
    int32_t FormatCode = 20000;
    QByteArray LineBreak = "\r\n";  // any of CR LF, CR, LF (or a mix, by hand)
    bool TrailingBreak = false;     // a break after the last name too
    uint32_t ExtraSeed = 1;         // the extra block of codes above 20000 is random bytes
};

// Bytes of the extra block after the header for a format code (-1: unknown).
int ExtraBlockSize(int32_t formatCode);
// The unpacked container. An unknown code writes no extra block.
QByteArray WriteContainer(const std::vector<SkinEntry>& entries, const ContainerOptions& options = {});

// A Windows bitmap file (file header, 40-byte info header, palette, rows
// padded to four bytes, bottom-up unless topDown). bitsPerPixel is 24 or
// 32 (any image), or 8 (an Indexed8 image, its colour table written).
QByteArray WriteBmp(const QImage& image, int bitsPerPixel = 24, bool topDown = false);

}  // namespace skinpack
