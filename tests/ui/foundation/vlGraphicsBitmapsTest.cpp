// Tests of the library's bitmaps: the compressed stored form (golden run
// codes, round trips, damaged headers), change batching, the 32-bit depth
// rule and the per-pixel effects.
#include <QtEndian>
#include <gtest/gtest.h>

#include "tests/harness/Mutation.h"
#include "ui/foundation/vlGraphics.h"

namespace {

QByteArray runsOf(const QByteArray& blocks, int blockSize)
{
    TMemoryStream s;
    vlEncodeRuns(&s, reinterpret_cast<const uint8_t*>(blocks.constData()), size_t(blocks.size()), blockSize);
    return QByteArray(static_cast<const char*>(s.Memory()), qsizetype(s.Size()));
}

TEST(vlBitmapCompression, RunCodesFollowTheGoldenVectors)
{
    EXPECT_EQ(runsOf(QByteArray(300, 'x'), 1), QByteArray::fromHex("7d78" "7d78" "3278"));
    EXPECT_EQ(runsOf("ABCCC", 1), QByteArray("\x82" "AB" "\x03" "C"));
    EXPECT_EQ(runsOf("CCCD", 1), QByteArray("\x03" "C" "\x81" "D"));
    // Blocks of three bytes compare whole.
    EXPECT_EQ(runsOf("abcabcabd", 3), QByteArray("\x02" "abc" "\x81" "abd"));
    // A literal run stops at 125 blocks.
    QByteArray ramp;
    for (int i = 0; i < 130; ++i)
        ramp.append(char(i));
    const QByteArray coded = runsOf(ramp, 1);
    EXPECT_EQ(uint8_t(coded[0]), 0x80 + 125);
    EXPECT_EQ(uint8_t(coded[126]), 0x80 + 5);
}

// A bitmap of pixels that compress into both kinds of run.
std::unique_ptr<TvlBitmap> sample(TPixelFormat AFormat)
{
    auto b = AFormat == pf32bit ? std::make_unique<TvlBitmap32>(7, 5) : std::make_unique<TvlBitmap>(7, 5, AFormat);
    const int bytes = 7 * (AFormat == pf32bit ? 4 : AFormat == pf24bit ? 3 : 1);  // not the row padding
    for (int y = 0; y < 5; ++y) {
        auto* row = static_cast<uint8_t*>(b->ScanLine(y));
        for (int x = 0; x < bytes; ++x)
            row[x] = uint8_t(y < 2 ? 0x40 : x * 37 + y);
    }
    return b;
}

QByteArray storedOf(const TBitmap& b)
{
    TMemoryStream s;
    b.WriteData(&s);
    return QByteArray(static_cast<const char*>(s.Memory()), qsizetype(s.Size()));
}

void readInto(TBitmap& b, const QByteArray& data)
{
    TMemoryStream s;
    s.WriteBuffer(data.constData(), data.size());
    s.SetPosition(0);
    b.ReadData(&s);
}

TEST(vlBitmapCompression, RoundTripsKeepEveryByte)
{
    for (TPixelFormat format : {pf24bit, pf32bit, pf8bit}) {
        SCOPED_TRACE(int(format));
        const auto original = sample(format);
        const QByteArray plain = storedOf(*original);
        original->SetCompressData(true);
        const QByteArray packed = storedOf(*original);
        ASSERT_EQ(packed.mid(4, 4), "XDBM");
        EXPECT_EQ(qFromLittleEndian<uint16_t>(packed.constData() + 8), 2);
        EXPECT_EQ(qFromLittleEndian<uint32_t>(packed.constData()), uint32_t(packed.size() - 10));
        const int blockSize = format == pf32bit ? 4 : format == pf24bit ? 3 : 1;
        EXPECT_EQ(packed[10], blockSize);
        EXPECT_EQ(packed[11], plain.size() % blockSize);
        EXPECT_LT(packed.size(), plain.size());

        TvlBitmap copy;
        readInto(copy, packed);
        EXPECT_EQ(storedOf(copy), plain);
        // The plain form is read as the platform reads it.
        TvlBitmap fromPlain;
        readInto(fromPlain, plain);
        EXPECT_EQ(storedOf(fromPlain), plain);
    }
}

TEST(vlBitmapCompression, VersionOneHasBlocksOfOneByteAndNoShift)
{
    const QByteArray plain = storedOf(*sample(pf24bit));
    const QByteArray runs = runsOf(plain, 1);
    QByteArray v1(10, 0);
    qToLittleEndian(uint32_t(runs.size()), v1.data());
    v1.replace(4, 4, "XDBM");
    v1[8] = 1;
    TvlBitmap b;
    readInto(b, v1 + runs);
    EXPECT_EQ(storedOf(b), plain);
}

TEST(vlBitmapCompression, DamagedHeadersAreRefusedAndChangeNothing)
{
    auto original = sample(pf24bit);
    original->SetCompressData(true);
    const QByteArray good = storedOf(*original);
    auto patched = [&](int offset, QByteArray bytes) { return QByteArray(good).replace(offset, bytes.size(), bytes); };
    QByteArray tooLong = good;
    qToLittleEndian(uint32_t(good.size()), tooLong.data());
    // Repeat runs that decode to far more than the declared payload.
    QByteArray bomb = good.left(12) + good.mid(12, 6);
    for (int i = 0; i < 200; ++i)
        bomb += QByteArray("\x7d\x01\x02\x03", 4);
    qToLittleEndian(uint32_t(bomb.size() - 10), bomb.data());
    const struct {
        const char* name;
        QByteArray data;
    } cases[] = {
        {"version 3", patched(8, QByteArray("\x03\x00", 2))},
        {"version 0", patched(8, QByteArray("\x00\x00", 2))},
        {"block size 0", patched(10, QByteArray("\x00", 1))},
        {"block size 5", patched(10, QByteArray("\x05", 1))},
        {"size beyond the stream", tooLong},
        {"oversized output", bomb},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TvlBitmap b(3, 2);
        b.Canvas()->SetPixels(1, 1, clRed);
        const QByteArray before = storedOf(b);
        EXPECT_THROW(readInto(b, c.data), EInvalidGraphic);
        EXPECT_EQ(storedOf(b), before);
    }
    // Data cut short decodes what is there, and the platform refuses the
    // incomplete bitmap.
    TvlBitmap b;
    QByteArray cut = good.left(good.size() / 2);
    qToLittleEndian(uint32_t(cut.size() - 10), cut.data());
    EXPECT_THROW(readInto(b, cut), EInvalidGraphic);
}

TEST(vlBitmapCompressionMutation, ReadingAnyBytesNeverCrashes)
{
    std::vector<QByteArray> seeds;
    for (TPixelFormat format : {pf24bit, pf32bit, pf8bit}) {
        auto b = sample(format);
        b->SetCompressData(true);
        seeds.push_back(storedOf(*b));
    }
    auto check = [](const QByteArray& in) {
        TvlBitmap b;
        try {
            readInto(b, in);
        } catch (const Exception&) {
        }
    };
    vorlane::test::ForEachMutation(seeds, 109, 300, check);
    vorlane::test::ForEachTruncation(seeds[0], check);
}

TEST(vlBitmap, SizeAndChangeBatching)
{
    TvlBitmap b;
    int changes = 0;
    struct Counter {
        int* N;
        void Changed(TObject*) { ++*N; }
    } counter{&changes};
    b.OnChange = TNotifyEvent(&counter, &Counter::Changed);
    b.SetSize(-5, 10);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 10);
    EXPECT_EQ(changes, 1);
    b.SetSize(0, 10);
    EXPECT_EQ(changes, 1);
    b.BeginUpdate();
    b.BeginUpdate();
    b.SetSize(4, 4);
    b.SetSize(6, 3);
    b.EndUpdate();
    EXPECT_EQ(changes, 1);
    b.EndUpdate();
    EXPECT_EQ(changes, 2);
    b.SetSize(6, 3);
    EXPECT_EQ(changes, 2);
    b.BeginUpdate();
    b.EndUpdate(true);
    EXPECT_EQ(changes, 3);
}

TEST(vlBitmap, Bitmap32RefusesOtherDepths)
{
    TvlBitmap32 b(2, 2);
    try {
        b.SetPixelFormat(pf24bit);
        FAIL() << "no exception";
    } catch (const EvxException& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Wrong PixelFormat"));
    }
    TvlBitmap32 c(2, 2);
    c.BeginUpdate();
    c.SetPixelFormat(pf24bit);
    c.SetPixelFormat(pf32bit);
    EXPECT_NO_THROW(c.EndUpdate(true));
    // Loading a 24-bit file still leaves 32 bits.
    TMemoryStream s;
    TvlBitmap(3, 3).SaveToStream(&s);
    s.SetPosition(0);
    c.LoadFromStream(&s);
    EXPECT_EQ(c.PixelFormat(), pf32bit);
    EXPECT_EQ(c.Width(), 3);
}

uint32_t quad(int b, int g, int r, int a)
{
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24;
}

TEST(vlAlphaBitmap, EachEffectPerPixel)
{
    const struct {
        TvlImageEffect effect;
        uint32_t bk, in, out;
    } cases[] = {
        {ieDingy, 0, quad(100, 0, 255, 255), quad(147, 77, 255, 255)},      // MulDiv rounds 46.5 and 76.5 up
        {ieDingy, 0, quad(100, 50, 200, 128), quad(78, 39, 157, 100)},      // translucent: all four scaled
        {ieDingy, 0, 0, 0},                                                 // transparent: left alone
        {ieGreyScale, 0, quad(10, 20, 31, 255), quad(20, 20, 20, 255)},
        {ieSetOpaque, 0, 0, quad(0, 0, 0, 255)},
        {ieMakeMask, 0, 0, 0xFFFFFFFF},
        {ieMakeMask, 0, quad(0, 0, 0, 1), 0},
        {ieFade, 0, quad(0, 0, 255, 255), quad(76, 76, 76, 255)},           // 255 x 0.299 = 76.2
        {ieDisable, 0, quad(0, 0, 255, 255), quad(19, 19, 19, 255)},        // the red weight is 0.0729
        {ieDisable, 0, quad(255, 0, 0, 7), quad(54, 54, 54, 7)},            // blue 0.2125: 54.2
        {ieMarkOpaque, 0, quad(0x30, 0x20, 0x10, 0), quad(0x30, 0x20, 0x10, 255)},
        {ieMarkOpaque, 0, 0, 0},
        {ieMarkOpaque, quad(1, 2, 3, 0), quad(1, 2, 3, 0), quad(1, 2, 3, 0)},
        {ieClear, quad(0, 0, 255, 128), quad(9, 9, 9, 9), quad(0, 0, 255, 128)},
        {ieResetAlpha, 0, quad(1, 2, 3, 255), quad(1, 2, 3, 0)},
        // Grey 0, then the shadow colour (128) at alpha 0xC0 blended at 238.
        {ieDirty, 0, quad(0, 0, 0, 255), quad(119, 119, 119, 255)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.effect) << " " << std::hex << c.in);
        TvlAlphaBitmap b(1, 1, c.bk);
        *static_cast<uint32_t*>(b.ScanLine(0)) = c.in;
        b.ApplyEffect(c.effect);
        EXPECT_EQ(*static_cast<uint32_t*>(b.ScanLine(0)), c.out);
    }
}

TEST(vlAlphaBitmap, TransparentColourAndClear)
{
    TvlAlphaBitmap b(2, 1);
    auto* row = static_cast<uint32_t*>(b.ScanLine(0));
    row[0] = quad(255, 0, 255, 0);  // fuchsia
    row[1] = quad(1, 2, 3, 0);
    b.SetTransparentColor(clFuchsia);
    EXPECT_EQ(row[0], quad(255, 0, 255, 0));
    EXPECT_EQ(row[1], quad(1, 2, 3, 255));
    b.ApplyEffect(ieMakeMask);
    EXPECT_EQ(row[0], 0xFFFFFFFFu);
    EXPECT_EQ(row[1], 0u);
    TvlAlphaBitmap cleared(2, 2, 0x80102030);
    cleared.RecalculateImage(3, 1);
    EXPECT_EQ(static_cast<uint32_t*>(cleared.ScanLine(0))[2], 0x80102030u);
}

}  // namespace
