// The decoder against golden streams, malformed streams, and round trips
// through the separately written encoder of the skin packer.
#include <QCryptographicHash>
#include <gtest/gtest.h>
#include <random>

#include "skin/SknLZH.h"
#include "tools/skinpack/SkinPack.h"

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray decode(int64_t size, const QByteArray& packed, bool strict = false)
{
    TLZH lzh;
    lzh.SetStrict(strict);
    return lzh.Decode(size, packed);
}

QByteArray sha256(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

QByteArray g8Input()
{
    QByteArray input;
    for (int i = 0; i < 40000; ++i)
        input.append(char((i * 7) % 251));
    return input;
}

// Text with runs and repeats (matches of every length and distance) mixed
// with noise (literals), reproducible from the seed.
QByteArray mixedText(int size, uint32_t seed)
{
    std::mt19937 rng(seed);
    QByteArray out;
    while (out.size() < size) {
        const uint32_t kind = rng() % 4;
        if (kind == 0 || out.size() < 8) {
            for (int i = 0, n = 1 + int(rng() % 40); i < n; ++i)
                out.append(char(rng() & 0xFF));
        } else if (kind == 1) {
            out.append(QByteArray(1 + int(rng() % 100), char(rng() & 0xFF)));
        } else {
            const int distance = 1 + int(rng() % std::min<qsizetype>(out.size(), 5000));
            const int length = 3 + int(rng() % 80);
            for (int i = 0; i < length; ++i)
                out.append(out[out.size() - distance]);
        }
    }
    out.truncate(size);
    return out;
}

}  // namespace

TEST(SknLZHTest, GoldenStreams)
{
    struct Case {
        const char* id;
        int size;
        const char* stream;
        QByteArray expected;
    };
    const Case cases[] = {
        {"G1 one literal", 1, "e680", "A"},
        {"G2 tree update", 2, "e6f380", "AB"},
        {"G3 overlapping match", 20, "e6ce0000", QByteArray(20, 'A')},
        {"G3' literal-only", 20, "e6e2e1c57e18616bdef7bdef5554", QByteArray(20, 'A')},
        {"G4 initial spaces", 10, "930000", QByteArray(10, ' ')},
        {"G5 longest match", 61, "06060000", QByteArray(61, 'z')},
        {"G6 long positions", 12, "f6fba300 3879ff8dfe80", QByteArray("ababa") + QByteArray(7, ' ')},
        // A last match that runs past the size is cut there.
        {"G7 final match cut", 2, "06060000", "zz"},
        // Positions that reach ring bytes not written yet read zeros.
        {"M1 unwritten tail", 3, "8cfffc", QByteArray(3, '\0')},
        {"M2 unwritten after a literal", 4, "e6c67ffc", hex("41000000")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(decode(c.size, hex(c.stream)), c.expected);
    }
}

TEST(SknLZHTest, LongLiteralStreamRebuildsTheTree)
{
    const QByteArray input = g8Input();
    ASSERT_EQ(sha256(input), "78d6e131e7976d55308432e73faac5fe5b3e08265f3a22cc30209d9fa0d0ea1d");
    const QByteArray packed = skinpack::LzhufEncode(input, skinpack::LzhufMode::LiteralOnly);
    EXPECT_EQ(packed.size(), 39975);
    EXPECT_EQ(sha256(packed), "437d4c97968ee6133db9516c8a8029db2f7b4771f9c7d1e99da54be684b9ad3f");
    EXPECT_EQ(decode(input.size(), packed, true), input);
}

TEST(SknLZHTest, EncoderLiteralOnlyIsCanonical)
{
    EXPECT_EQ(skinpack::LzhufEncode(QByteArray(20, 'A'), skinpack::LzhufMode::LiteralOnly),
              hex("e6e2e1c57e18616bdef7bdef5554"));
    EXPECT_EQ(skinpack::LzhufEncode("A", skinpack::LzhufMode::LiteralOnly), hex("e680"));
}

TEST(SknLZHTest, TruncatedInput)
{
    // Lenient: missing bits read as zeros and the size is still produced.
    EXPECT_EQ(decode(5, QByteArray()).size(), 5);
    // Strict: running out of packed bits is an error.
    EXPECT_THROW(decode(5, QByteArray(), true), ElzhException);
    const QByteArray text = mixedText(5000, 7);
    const QByteArray packed = skinpack::LzhufEncode(text, skinpack::LzhufMode::Greedy);
    EXPECT_EQ(decode(text.size(), packed, true), text);
    for (qsizetype cut : {qsizetype(0), qsizetype(1), packed.size() / 2, packed.size() - 2}) {
        SCOPED_TRACE(cut);
        EXPECT_THROW(decode(text.size(), packed.left(cut), true), ElzhException);
    }
    EXPECT_TRUE(decode(0, QByteArray(), true).isEmpty());
}

TEST(SknLZHTest, RoundTripsInBothModes)
{
    for (int size : {0, 1, 2, 3, 59, 60, 61, 4095, 4096, 4097, 40000, 200000}) {
        const QByteArray text = mixedText(size, uint32_t(size) + 1);
        for (auto mode : {skinpack::LzhufMode::LiteralOnly, skinpack::LzhufMode::Greedy}) {
            SCOPED_TRACE(testing::Message() << size << (mode == skinpack::LzhufMode::Greedy ? " greedy" : " literal"));
            const QByteArray packed = skinpack::LzhufEncode(text, mode);
            EXPECT_EQ(decode(size, packed, true), text);
        }
    }
    // The greedy mode really matches: repetitive text packs far smaller.
    const QByteArray runs = QByteArray(10000, 'x');
    EXPECT_LT(skinpack::LzhufEncode(runs, skinpack::LzhufMode::Greedy).size(), 400);
    EXPECT_EQ(decode(runs.size(), skinpack::LzhufEncode(runs, skinpack::LzhufMode::Greedy)), runs);
}
