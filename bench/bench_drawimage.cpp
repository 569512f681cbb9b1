// Measures image drawing by hand (ctest never runs it): a faded 32-bit
// glyph drawn many times, and smooth and Lanczos resizes of a 256 x 256 image.
//   QT_QPA_PLATFORM=offscreen build/bench/vorlane_bench_drawimage
#include <QGuiApplication>
#include <chrono>
#include <cstdio>

#include "ui/foundation/vlGraphics.h"

namespace {

template <class F>
double milliseconds(F&& f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void fill(TvlBitmap32& b)
{
    for (int y = 0; y < b.Height(); ++y) {
        auto* row = static_cast<uint32_t*>(b.ScanLine(y));
        for (int x = 0; x < b.Width(); ++x) {
            const uint32_t a = uint32_t((x * 7 + y * 3) & 0xFF);
            row[x] = a << 24 | (a * uint32_t(x) / 256) << 16 | (a / 2) << 8 | (a * uint32_t(y) / 256);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TvlBitmap32 surface(400, 300, true);
    TvlBitmap32 glyph(16, 16);
    fill(glyph);
    const int glyphs = 2000;
    const double faded = milliseconds([&] {
        for (int i = 0; i < glyphs; ++i) {
            const TRect r = Bounds((i % 20) * 20, (i / 20 % 15) * 20, 16, 16);
            DrawImage(surface.Canvas()->Handle(), r, r, &glyph, nullptr, -1, idmFaded);
        }
    });
    TvlBitmap32 source(256, 256);
    fill(source);
    TvlBitmap32 up(384, 384), down(100, 100);
    const double smooth = milliseconds([&] {
        for (int i = 0; i < 10; ++i) {
            SmoothResizeBitmap(&source, &up);
            SmoothResizeBitmap(&source, &down);
        }
    });
    const double lanczos = milliseconds([&] {
        for (int i = 0; i < 10; ++i) {
            SmoothResizeBitmap(&source, &up, true);
            SmoothResizeBitmap(&source, &down, true);
        }
    });
    std::printf("faded DrawImage 16x16: %.1f us per glyph\n", faded * 1000 / glyphs);
    std::printf("256x256 -> 384x384 and -> 100x100, smooth: %.2f ms per pair\n", smooth / 10);
    std::printf("256x256 -> 384x384 and -> 100x100, Lanczos-3: %.2f ms per pair\n", lanczos / 10);
    return 0;
}
