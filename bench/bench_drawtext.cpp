// Measures the text layout engine by hand (ctest never runs it):
// 10,000 short cells, then one long text wrapped into a narrow column.
//   QT_QPA_PLATFORM=offscreen build/bench/vorlane_bench_drawtext
#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <cstdio>

#include "platform/graphics/Graphics.h"
#include "ui/foundation/vlDrawTextUtils.h"

namespace {

template <class F>
double milliseconds(F&& f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    TDeviceContext dc(&image);
    TFont font;
    const double cells = milliseconds([&] {
        for (int i = 0; i < 10000; ++i) {
            TRect r = Bounds((i % 8) * 100, (i / 8 % 30) * 20, 100, 20);
            DrawFormattedText(&dc, QStringLiteral("Job %1.mpg").arg(i), r, vltoCenterVert | vltoEndEllipsis | vltoSingleLine,
                              0, 0, &font);
        }
    });
    String longText;
    for (int i = 0; i < 2000; ++i)
        longText += QStringLiteral("word%1 ").arg(i % 97);
    int height = 0;
    const double wrapped = milliseconds([&] {
        TRect r = Rect(0, 0, 300, 100000);
        height = DrawFormattedText(&dc, longText, r, vltoWordBreak, 0, 0, &font);
    });
    std::printf("10000 short cells: %.1f ms (%.2f us per cell)\n", cells, cells * 1000 / 10000);
    std::printf("long text (%lld characters) wrapped at 300 px: %.1f ms, %d px high\n",
                static_cast<long long>(longText.size()), wrapped, height);
    return 0;
}
