#include "skin/SknLZH.h"

#include <array>
#include <memory>
#include <new>

namespace {

constexpr int N = 4096;           // ring size
constexpr int F = 60;             // longest match
constexpr int THRESHOLD = 2;      // matches are longer than this
constexpr int N_CHAR = 256 - THRESHOLD + F;  // 314 symbols
constexpr int T = N_CHAR * 2 - 1;            // 627 tree nodes
constexpr int R = T - 1;                     // root
constexpr uint16_t MAX_FREQ = 0x8000;

// The prefix code of the upper six bits of a match position, indexed by
// the next eight input bits: its value and its length.
struct PositionTables {
    std::array<uint8_t, 256> d_code{};
    std::array<uint8_t, 256> d_len{};
    PositionTables()
    {
        // (entries per value, first value, last value, code length)
        static constexpr int runs[][4] = {{32, 0, 0, 3},   {16, 1, 3, 4},   {8, 4, 11, 5},
                                          {4, 12, 23, 6},  {2, 24, 47, 7},  {1, 48, 63, 8}};
        int i = 0;
        for (const auto& run : runs)
            for (int value = run[1]; value <= run[2]; ++value)
                for (int k = 0; k < run[0]; ++k, ++i) {
                    d_code[size_t(i)] = uint8_t(value);
                    d_len[size_t(i)] = uint8_t(run[3]);
                }
    }
};

const PositionTables& positionTables()
{
    static const PositionTables tables;
    return tables;
}

struct Decoder {
    // The whole ring is defined: a crafted position that reaches bytes not
    // yet written reads zeros, never stale memory.
    std::array<uint8_t, N + F - 1> text_buf{};
    std::array<uint16_t, T + 1> freq{};
    std::array<int16_t, T + N_CHAR> prnt{};
    std::array<int16_t, T> son{};

    const uint8_t* in = nullptr;
    int64_t inSize = 0;
    int64_t inPos = 0;
    int64_t bitsUsed = 0;  // bits taken by the decoder (not merely buffered)
    uint16_t getbuf = 0;
    uint8_t getlen = 0;

    void fill()
    {
        while (getlen <= 8) {
            const unsigned byte = inPos < inSize ? in[inPos] : 0u;
            ++inPos;
            getbuf = uint16_t(getbuf | (byte << (8 - getlen)));
            getlen = uint8_t(getlen + 8);
        }
    }
    int getBit()
    {
        fill();
        const int bit = getbuf >> 15;
        getbuf = uint16_t(getbuf << 1);
        --getlen;
        ++bitsUsed;
        return bit;
    }
    int getByte()
    {
        fill();
        const int byte = getbuf >> 8;
        getbuf = uint16_t(getbuf << 8);
        getlen = uint8_t(getlen - 8);
        bitsUsed += 8;
        return byte;
    }

    void startHuff()
    {
        for (int i = 0; i < N_CHAR; ++i) {
            freq[size_t(i)] = 1;
            son[size_t(i)] = int16_t(i + T);
            prnt[size_t(i + T)] = int16_t(i);
        }
        for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
            freq[size_t(j)] = uint16_t(freq[size_t(i)] + freq[size_t(i + 1)]);
            son[size_t(j)] = int16_t(i);
            prnt[size_t(i)] = prnt[size_t(i + 1)] = int16_t(j);
        }
        freq[T] = 0xFFFF;
        prnt[R] = 0;
    }

    // Halves the frequencies and rebuilds the tree from the leaves.
    void reconst()
    {
        int j = 0;
        for (int i = 0; i < T; ++i)
            if (son[size_t(i)] >= T) {
                freq[size_t(j)] = uint16_t((freq[size_t(i)] + 1) / 2);
                son[size_t(j)] = son[size_t(i)];
                ++j;
            }
        for (int i = 0, jj = N_CHAR; jj < T; i += 2, ++jj) {
            const uint16_t f = uint16_t(freq[size_t(i)] + freq[size_t(i + 1)]);
            int k = jj - 1;
            while (f < freq[size_t(k)])
                --k;
            ++k;
            for (int m = jj; m > k; --m) {
                freq[size_t(m)] = freq[size_t(m - 1)];
                son[size_t(m)] = son[size_t(m - 1)];
            }
            freq[size_t(k)] = f;
            son[size_t(k)] = int16_t(i);
        }
        for (int i = 0; i < T; ++i) {
            const int k = son[size_t(i)];
            if (k >= T)
                prnt[size_t(k)] = int16_t(i);
            else
                prnt[size_t(k)] = prnt[size_t(k + 1)] = int16_t(i);
        }
    }

    void update(int c)
    {
        if (freq[R] == MAX_FREQ)
            reconst();
        c = prnt[size_t(c + T)];
        do {
            const uint16_t k = ++freq[size_t(c)];
            int l = c + 1;
            if (k > freq[size_t(l)]) {
                while (k > freq[size_t(++l)]) {
                }
                --l;
                freq[size_t(c)] = freq[size_t(l)];
                freq[size_t(l)] = k;

                const int i = son[size_t(c)];
                prnt[size_t(i)] = int16_t(l);
                if (i < T)
                    prnt[size_t(i + 1)] = int16_t(l);
                const int j = son[size_t(l)];
                son[size_t(l)] = int16_t(i);
                prnt[size_t(j)] = int16_t(c);
                if (j < T)
                    prnt[size_t(j + 1)] = int16_t(c);
                son[size_t(c)] = int16_t(j);
                c = l;
            }
            c = prnt[size_t(c)];
        } while (c != 0);
    }

    int decodeChar()
    {
        int c = son[R];
        while (c < T)
            c = son[size_t(c + getBit())];
        c -= T;
        update(c);
        return c;
    }

    int decodePosition()
    {
        const PositionTables& tables = positionTables();
        int i = getByte();
        const int c = tables.d_code[size_t(i)] << 6;
        int j = tables.d_len[size_t(i)] - 2;
        while (j-- > 0)
            i = (i << 1) + getBit();
        return c | (i & 0x3F);
    }
};

}  // namespace

QByteArray TLZH::Decode(int64_t Size, const QByteArray& Packed)
{
    if (Size <= 0)
        return QByteArray();
    std::unique_ptr<Decoder> d;
    QByteArray out;
    try {
        d = std::make_unique<Decoder>();
        out.resize(qsizetype(Size));
    } catch (const std::bad_alloc&) {
        throw ElzhException(LoadResString(SknLZHConsts::SLzhNoMemory));
    }
    d->in = reinterpret_cast<const uint8_t*>(Packed.constData());
    d->inSize = Packed.size();
    d->startHuff();
    std::fill(d->text_buf.begin(), d->text_buf.begin() + (N - F), uint8_t(' '));
    int r = N - F;
    const int64_t bitsAvailable = d->inSize * 8;
    char* const dst = out.data();
    int64_t count = 0;
    while (count < Size) {
        const int c = d->decodeChar();
        if (c < 256) {
            dst[count++] = char(c);
            d->text_buf[size_t(r)] = uint8_t(c);
            r = (r + 1) & (N - 1);
        } else {
            const int i = (r - d->decodePosition() - 1) & (N - 1);
            const int length = c - 255 + THRESHOLD;
            for (int k = 0; k < length && count < Size; ++k) {
                const uint8_t byte = d->text_buf[size_t((i + k) & (N - 1))];
                dst[count++] = char(byte);
                d->text_buf[size_t(r)] = byte;
                r = (r + 1) & (N - 1);
            }
        }
        if (FStrict && d->bitsUsed > bitsAvailable)
            throw ElzhException(LoadResString(SknLZHConsts::SLzhTruncated));
    }
    return out;
}
