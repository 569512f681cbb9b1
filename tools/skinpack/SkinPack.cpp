#include "tools/skinpack/SkinPack.h"

#include <array>
#include <memory>
#include <random>

namespace skinpack {

namespace {

constexpr int RingSize = 4096;
constexpr int Lookahead = 60;
constexpr int MinMatch = 3;
constexpr int Symbols = 256 + Lookahead - MinMatch + 1;  // literals, then lengths 3..60
constexpr int Nodes = 2 * Symbols - 1;
constexpr int Root = Nodes - 1;
constexpr int InitialSpaces = RingSize - Lookahead;
constexpr uint16_t RebuildAt = 0x8000;

void appendLE32(QByteArray& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

void appendLE16(QByteArray& out, uint16_t value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

class BitWriter {
public:
    void put(int bit)
    {
        FByte = uint8_t((FByte << 1) | (bit & 1));
        if (++FCount == 8) {
            FOut.append(char(FByte));
            FByte = 0;
            FCount = 0;
        }
    }
    void put(uint32_t value, int bits)
    {
        for (int b = bits - 1; b >= 0; --b)
            put(int((value >> b) & 1));
    }
    QByteArray finish()
    {
        if (FCount > 0)
            FOut.append(char(uint8_t(FByte << (8 - FCount))));
        FByte = 0;
        FCount = 0;
        return FOut;
    }

private:
    QByteArray FOut;
    uint8_t FByte = 0;
    int FCount = 0;
};

// The adaptive code: a sibling-ordered tree whose nodes are kept sorted by
// weight; leaves are numbered Nodes + symbol in `child`, and every internal
// node's children sit at child[n] and child[n] + 1.
class AdaptiveTree {
public:
    AdaptiveTree()
    {
        for (int s = 0; s < Symbols; ++s) {
            weight[size_t(s)] = 1;
            child[size_t(s)] = s + Nodes;
            parent[size_t(s + Nodes)] = s;
        }
        int pair = 0;
        for (int n = Symbols; n < Nodes; ++n, pair += 2) {
            weight[size_t(n)] = uint16_t(weight[size_t(pair)] + weight[size_t(pair + 1)]);
            child[size_t(n)] = pair;
            parent[size_t(pair)] = parent[size_t(pair + 1)] = n;
        }
        weight[Nodes] = 0xFFFF;  // stops the search for a swap partner
        parent[Root] = 0;
    }

    // The bits from the root to the symbol's leaf node: at each step,
    // which of the two siblings the path takes.
    void code(int symbol, BitWriter& out)
    {
        std::vector<int> path;
        for (int node = parent[size_t(symbol + Nodes)]; node != Root; node = parent[size_t(node)])
            path.push_back(node - child[size_t(parent[size_t(node)])]);
        for (auto it = path.rbegin(); it != path.rend(); ++it)
            out.put(*it);
        adapt(symbol);
    }

private:
    void rebuild()
    {
        int kept = 0;
        for (int n = 0; n < Nodes; ++n)
            if (child[size_t(n)] >= Nodes) {
                weight[size_t(kept)] = uint16_t((weight[size_t(n)] + 1) / 2);
                child[size_t(kept)] = child[size_t(n)];
                ++kept;
            }
        for (int pair = 0, n = Symbols; n < Nodes; pair += 2, ++n) {
            const uint16_t w = uint16_t(weight[size_t(pair)] + weight[size_t(pair + 1)]);
            int at = n;
            while (at > 0 && weight[size_t(at - 1)] > w) {
                weight[size_t(at)] = weight[size_t(at - 1)];
                child[size_t(at)] = child[size_t(at - 1)];
                --at;
            }
            weight[size_t(at)] = w;
            child[size_t(at)] = pair;
        }
        for (int n = 0; n < Nodes; ++n) {
            const int c = child[size_t(n)];
            parent[size_t(c)] = n;
            if (c < Nodes)
                parent[size_t(c + 1)] = n;
        }
    }

    void adapt(int symbol)
    {
        if (weight[Root] == RebuildAt)
            rebuild();
        int n = parent[size_t(symbol + Nodes)];
        while (true) {
            const uint16_t w = ++weight[size_t(n)];
            if (w > weight[size_t(n + 1)]) {
                // The highest-numbered node still lighter than w takes n's place.
                int m = n + 1;
                while (weight[size_t(m + 1)] < w)
                    ++m;
                weight[size_t(n)] = weight[size_t(m)];
                weight[size_t(m)] = w;
                const int cn = child[size_t(n)];
                const int cm = child[size_t(m)];
                child[size_t(n)] = cm;
                child[size_t(m)] = cn;
                parent[size_t(cn)] = m;
                if (cn < Nodes)
                    parent[size_t(cn + 1)] = m;
                parent[size_t(cm)] = n;
                if (cm < Nodes)
                    parent[size_t(cm + 1)] = n;
                n = m;
            }
            n = parent[size_t(n)];
            if (n == 0)
                break;
        }
    }

    std::array<uint16_t, Nodes + 1> weight{};
    std::array<int, Nodes> child{};
    std::array<int, Nodes + Symbols> parent{};
};

// The position code: the upper six bits of a position go as a prefix code
// whose lengths run 3 (value 0), 4 (1-3), 5 (4-11), 6 (12-23), 7 (24-47)
// and 8 (48-63) bits, assigned in order as canonical codes; the lower six
// bits follow plainly.
struct PositionCode {
    std::array<uint8_t, 64> length{};
    std::array<uint8_t, 64> code{};
    PositionCode()
    {
        uint32_t next = 0;  // the next free code, as an 8-bit left-aligned value
        for (int hi = 0; hi < 64; ++hi) {
            const int len = hi == 0 ? 3 : hi < 4 ? 4 : hi < 12 ? 5 : hi < 24 ? 6 : hi < 48 ? 7 : 8;
            length[size_t(hi)] = uint8_t(len);
            code[size_t(hi)] = uint8_t(next >> (8 - len));
            next += 1u << (8 - len);
        }
    }
};

void emitPosition(int position, BitWriter& out)
{
    static const PositionCode table;
    const int hi = position >> 6;
    out.put(table.code[size_t(hi)], table.length[size_t(hi)]);
    out.put(uint32_t(position & 0x3F), 6);
}

// Finds matches in the text seen so far (with the initial spaces in
// front), through chains of earlier positions sharing the same three bytes.
class MatchFinder {
public:
    explicit MatchFinder(const QByteArray& input)
        : FText(QByteArray(InitialSpaces, ' ') + input), FHead(1 << 16, -1), FPrev(size_t(FText.size()), -1)
    {
        for (int p = 0; p + MinMatch <= InitialSpaces; ++p)
            insert(p);
    }

    // Longest match for the input byte at `at` (index into the input).
    void find(int at, int remaining, int& length, int& distance)
    {
        length = 0;
        distance = 0;
        const int cur = at + InitialSpaces;
        if (remaining < MinMatch)
            return;
        const int maxLength = std::min(Lookahead, remaining);
        const auto* text = reinterpret_cast<const uint8_t*>(FText.constData());
        int steps = 0;
        for (int cand = FHead[size_t(hash(cur))]; cand >= 0 && steps < 512; cand = FPrev[size_t(cand)], ++steps) {
            const int d = cur - cand;
            if (d > RingSize)
                break;
            int k = 0;
            while (k < maxLength && text[cand + k] == text[cur + k])
                ++k;
            if (k > length) {
                length = k;
                distance = d;
                if (k == maxLength)
                    break;
            }
        }
        if (length < MinMatch)
            length = 0;
    }

    void advance(int at) { insert(at + InitialSpaces); }

private:
    int hash(int p) const
    {
        if (p + MinMatch > FText.size())
            return 0;
        const auto* t = reinterpret_cast<const uint8_t*>(FText.constData());
        return ((t[p] << 8) ^ (t[p + 1] << 4) ^ t[p + 2]) & 0xFFFF;
    }
    void insert(int p)
    {
        if (p + MinMatch > FText.size())
            return;
        const int h = hash(p);
        FPrev[size_t(p)] = FHead[size_t(h)];
        FHead[size_t(h)] = p;
    }

    QByteArray FText;
    std::vector<int> FHead;
    std::vector<int> FPrev;
};

}  // namespace

QByteArray LzhufEncode(const QByteArray& input, LzhufMode mode)
{
    auto tree = std::make_unique<AdaptiveTree>();
    BitWriter out;
    const int size = int(input.size());
    std::unique_ptr<MatchFinder> finder;
    if (mode == LzhufMode::Greedy)
        finder = std::make_unique<MatchFinder>(input);
    for (int at = 0; at < size;) {
        int length = 0;
        int distance = 0;
        if (finder)
            finder->find(at, size - at, length, distance);
        if (length >= MinMatch) {
            tree->code(256 + length - MinMatch, out);
            emitPosition(distance - 1, out);
            for (int k = 0; k < length; ++k)
                finder->advance(at + k);
            at += length;
        } else {
            tree->code(uint8_t(input[at]), out);
            if (finder)
                finder->advance(at);
            ++at;
        }
    }
    return out.finish();
}

QByteArray PackSkinFile(const QByteArray& container, LzhufMode mode)
{
    QByteArray file;
    appendLE32(file, uint32_t(container.size()));
    return file + LzhufEncode(container, mode);
}

QByteArray SkinStreamValue(const QByteArray& skinFile)
{
    QByteArray value;
    appendLE32(value, uint32_t(skinFile.size()));
    return value + skinFile;
}

int ExtraBlockSize(int32_t formatCode)
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

QByteArray WriteContainer(const std::vector<SkinEntry>& entries, const ContainerOptions& options)
{
    QByteArray names;
    for (size_t i = 0; i < entries.size(); ++i) {
        names += entries[i].Name;
        if (i + 1 < entries.size() || options.TrailingBreak)
            names += options.LineBreak;
    }
    QByteArray out;
    appendLE32(out, uint32_t(options.FormatCode));
    appendLE32(out, uint32_t(names.size()));
    out.append(8, '\0');
    std::mt19937 rng(options.ExtraSeed);
    for (int i = 0; i < std::max(0, ExtraBlockSize(options.FormatCode)); ++i)
        out.append(char(rng() & 0xFF));
    out += names;
    for (const SkinEntry& entry : entries)
        appendLE32(out, uint32_t(entry.Data.size()));
    for (const SkinEntry& entry : entries)
        out += entry.Data;
    return out;
}

QByteArray WriteBmp(const QImage& image, int bitsPerPixel, bool topDown)
{
    const int width = image.width();
    const int height = image.height();
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QList<QRgb> palette = bitsPerPixel == 8 ? image.colorTable() : QList<QRgb>();
    const int stride = ((width * bitsPerPixel + 31) / 32) * 4;
    const uint32_t offBits = 14 + 40 + uint32_t(palette.size()) * 4;
    const uint32_t imageSize = uint32_t(stride) * uint32_t(height);

    QByteArray out;
    out.append("BM", 2);
    appendLE32(out, offBits + imageSize);
    appendLE32(out, 0);
    appendLE32(out, offBits);
    appendLE32(out, 40);
    appendLE32(out, uint32_t(width));
    appendLE32(out, uint32_t(topDown ? -height : height));
    appendLE16(out, 1);
    appendLE16(out, uint16_t(bitsPerPixel));
    appendLE32(out, 0);  // no compression
    appendLE32(out, imageSize);
    appendLE32(out, 3780);
    appendLE32(out, 3780);
    appendLE32(out, uint32_t(palette.size()));
    appendLE32(out, 0);
    for (QRgb entry : palette) {
        out.append(char(qBlue(entry)));
        out.append(char(qGreen(entry)));
        out.append(char(qRed(entry)));
        out.append('\0');
    }
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        QByteArray line;
        for (int x = 0; x < width; ++x) {
            if (bitsPerPixel == 8) {
                line.append(char(image.pixelIndex(x, y)));
                continue;
            }
            const QRgb p = rgb.pixel(x, y);
            line.append(char(qBlue(p)));
            line.append(char(qGreen(p)));
            line.append(char(qRed(p)));
            if (bitsPerPixel == 32)
                line.append('\0');
        }
        line.append(stride - int(line.size()), '\0');
        out += line;
    }
    return out;
}

}  // namespace skinpack
