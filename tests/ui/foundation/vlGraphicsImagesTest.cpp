// Tests of image drawing: the blend formula, DrawImage's modes over a known
// background, and the Lanczos resize on sources shorter than its reach.
#include <gtest/gtest.h>

#include "ui/foundation/vlGraphics.h"

namespace {

uint32_t quad(int b, int g, int r, int a)
{
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24;
}

TEST(vlBlendPixel, Table)
{
    const struct {
        uint32_t src, dst;
        int alpha;
        uint32_t out;
    } cases[] = {
        {quad(10, 20, 30, 255), quad(200, 200, 200, 255), 255, quad(10, 20, 30, 255)},  // opaque source wins
        {0, quad(200, 100, 50, 77), 255, quad(200, 100, 50, 77)},                       // transparent: unchanged
        {quad(100, 100, 100, 255), quad(0, 0, 0, 0), 0, quad(0, 0, 0, 0)},              // constant alpha 0
        // Premultiplied half: 64 + 0.498 x 200 = 163.6.
        {quad(64, 64, 64, 128), quad(200, 200, 200, 255), 255, quad(164, 164, 164, 255)},
        // c = 64/255: 0.251 x 200 + 0.749 x 100 = 125.1; alpha 64 + 0.749 x 0.
        {quad(200, 200, 200, 255), quad(100, 100, 100, 0), 64, quad(125, 125, 125, 64)},
        // Sums past 255 clamp (a source that is not truly premultiplied).
        {quad(255, 255, 255, 0), quad(255, 255, 255, 255), 255, quad(255, 255, 255, 255)},
        // a = 2, k = 1 - 2/255: colour 2.976, alpha 2 + 2.976.
        {quad(0, 0, 0, 255), quad(3, 3, 3, 3), 2, quad(3, 3, 3, 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.src << " over " << c.dst << " at " << std::dec << c.alpha);
        uint32_t d = c.dst;
        BlendPixel(c.src, d, uint8_t(c.alpha));
        EXPECT_EQ(d, c.out);
    }
}

// A 32-bit surface with a striped background, drawn through a platform canvas.
struct Surface {
    Surface() : Bitmap(24, 16)
    {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 24; ++x)
                at(x, y) = (x / 2) % 2 ? quad(0, 128, 0, 0) : quad(0, 0, 200, 0);
    }
    uint32_t& at(int x, int y) { return static_cast<uint32_t*>(Bitmap.ScanLine(y))[x]; }
    HDC dc() { return Bitmap.Canvas()->Handle(); }
    TvlBitmap32 Bitmap;
};

TEST(vlDrawImage, NothingWithoutAGlyphOrAValidIndex)
{
    Surface s;
    TvlBitmap32 before(24, 16);
    before.Assign(&s.Bitmap);
    TImageList list(nullptr);
    DrawImage(s.dc(), Rect(0, 0, 8, 8), Rect(0, 0, 24, 16), nullptr, &list, 0, idmNormal);
    TBitmap empty;
    DrawImage(s.dc(), Rect(0, 0, 8, 8), Rect(0, 0, 24, 16), &empty, nullptr, -1, idmNormal);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(s.at(x, y), static_cast<uint32_t*>(before.ScanLine(y))[x]);
}

TEST(vlDrawImage, FuchsiaKeyedGlyphShowsTheBackground)
{
    Surface s;
    TvlBitmap glyph(8, 8, pf24bit);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            glyph.SetPixels(x, y, (x + y) % 3 == 0 ? clFuchsia : RGB(10, 20, 30));
    Surface before;
    DrawImage(s.dc(), Rect(5, 4, 13, 12), Rect(2, 2, 22, 14), &glyph, nullptr, -1, idmNormal, false, nullptr,
              clFuchsia);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) {
            const bool inGlyph = x >= 5 && x < 13 && y >= 4 && y < 12;
            const bool key = inGlyph && (x - 5 + y - 4) % 3 == 0;
            SCOPED_TRACE(testing::Message() << x << "," << y);
            if (inGlyph && !key)
                EXPECT_EQ(s.at(x, y) & 0xFFFFFF, quad(30, 20, 10, 0));
            else
                EXPECT_EQ(s.at(x, y) & 0xFFFFFF, before.at(x, y) & 0xFFFFFF);
        }
}

TEST(vlDrawImage, FadedAlphaGlyphBlendsAtSixtyFour)
{
    Surface s;
    Surface before;
    TvlBitmap32 glyph(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const int a = x * 50;  // premultiplied: no colour above alpha
            static_cast<uint32_t*>(glyph.ScanLine(y))[x] = quad(a * y / 6, a / 2, a, a);
        }
    TvlAlphaBitmap faded(6, 6);
    faded.CopyBitmap(&glyph);
    faded.ApplyEffect(ieFade);
    DrawImage(s.dc(), Rect(3, 3, 9, 9), Rect(0, 0, 24, 16), &glyph, nullptr, -1, idmFaded);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            uint32_t expected = before.at(x + 3, y + 3);
            BlendPixel(static_cast<uint32_t*>(faded.ScanLine(y))[x], expected, 64);
            ASSERT_EQ(s.at(x + 3, y + 3), expected) << x << "," << y;
        }
}

TEST(vlDrawImage, DisabledGlyphWithoutAlphaHasAHighlightShadow)
{
    TvlBitmap32 s(10, 10);
    s.Canvas()->Brush()->SetColor(clBlack);
    s.Canvas()->FillRect(Rect(0, 0, 10, 10));
    TvlBitmap glyph(6, 6, pf24bit);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(Rect(0, 0, 6, 6));
    glyph.Canvas()->Brush()->SetColor(RGB(0, 0, 0));
    glyph.Canvas()->FillRect(Rect(1, 1, 4, 4));
    DrawImage(s.Canvas()->Handle(), Rect(2, 2, 8, 8), Rect(0, 0, 10, 10), &glyph, nullptr, -1, idmDisabled, false,
              nullptr, clFuchsia);
    const TColor highlight = ColorToRGB(clBtnHighlight);
    int highlighted = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (s.Canvas()->Pixels(x, y) == highlight) {
                ++highlighted;
                // Only the shadow's right column and bottom row stick out.
                EXPECT_TRUE((x == 6 && y >= 4 && y <= 6) || (y == 6 && x >= 4 && x <= 6)) << x << "," << y;
            }
    EXPECT_EQ(highlighted, 5);
    // The glyph itself is the dirty grey, not black.
    EXPECT_NE(s.Canvas()->Pixels(4, 4), clBlack);
}

TEST(vlSmoothResize, LanczosOnTinySourcesStaysInside)
{
    TvlBitmap32 source(2, 2);
    const uint32_t pixels[4] = {quad(255, 0, 0, 255), quad(0, 255, 0, 255), quad(0, 0, 255, 255),
                                quad(255, 255, 255, 255)};
    for (int i = 0; i < 4; ++i)
        static_cast<uint32_t*>(source.ScanLine(i / 2))[i % 2] = pixels[i];
    for (int size : {9, 1, 3}) {
        SCOPED_TRACE(size);
        TvlBitmap32 dest(size, size, true);
        SmoothResizeBitmap(&source, &dest, true);
        // Corners of an upscale keep the corner pixels (weight 256 at the centre).
        if (size == 9) {
            EXPECT_EQ(static_cast<uint32_t*>(dest.ScanLine(0))[0], pixels[0]);
            EXPECT_EQ(static_cast<uint32_t*>(dest.ScanLine(8))[8], pixels[3]);
        }
        EXPECT_TRUE(BitmapHasAlpha(&dest));
    }
    // Zero sizes change nothing.
    TvlBitmap32 empty;
    TvlBitmap32 dest(3, 3, true);
    SmoothResizeBitmap(&empty, &dest, true);
    SmoothResizeBitmap(&source, &empty, false);
    EXPECT_FALSE(BitmapHasAlpha(&dest));
    // The smooth stretch keeps a flat colour flat.
    TvlBitmap32 flat(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            static_cast<uint32_t*>(flat.ScanLine(y))[x] = quad(10, 20, 30, 255);
    SmoothResizeBitmap(&flat, &dest);
    EXPECT_EQ(static_cast<uint32_t*>(dest.ScanLine(1))[1], quad(10, 20, 30, 255));
}

}  // namespace
