// bench_regexpr - builds the format controller's date-time mask (the
// locale's date, its time and the smart words) and a mask that takes any
// number of characters, then types 10,000 characters into the latter and
// steps all of them back; prints the time of each and the graph's size.
//
// Usage: vorlane_bench_regexpr [build repetitions]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlFormats.h"
#include "ui/editors/vlRegExpr.h"

namespace {

double millis(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

void build(TvlRegExpr& expr, const String& mask)
{
    TMemoryStream stream;
    const QByteArray bytes = mask.toUtf8();
    stream.WriteBuffer(bytes.constData(), bytes.size());
    expr.BuildFromStream(&stream);
}

}  // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    FormatSettings = DefaultFormatSettings();
    FormatSettings.ShortDateFormat = QStringLiteral("dddd, d MMMM yyyy");
    FormatSettings.LongTimeFormat = QStringLiteral("h:mm:ss AMPM");
    TvlFormatController controller;
    const String mask = controller.DateTimeRegExprMask();

    auto start = std::chrono::steady_clock::now();
    int states = 0;
    for (int i = 0; i < repetitions; ++i) {
        TvlRegExpr expr;
        build(expr, mask);
        states = expr.StateCount();
    }
    std::printf("date-time mask: %d characters, %d states, %.3f ms a build\n", int(mask.size()), states,
                millis(start) / repetitions);

    TvlRegExpr expr;
    build(expr, QStringLiteral("(\\d|[a-z]|(ab|a)+|' ')*"));
    start = std::chrono::steady_clock::now();
    int accepted = 0;
    for (int i = 0; i < 10000; ++i) {
        QChar c = QChar(char16_t(u'a' + i % 3));
        accepted += expr.StepForward(c) ? 1 : 0;
    }
    const double typing = millis(start);
    start = std::chrono::steady_clock::now();
    int back = 0;
    while (expr.StepBack())
        ++back;
    std::printf("typed 10,000 characters (%d accepted) in %.3f ms, stepped %d back in %.3f ms\n", accepted, typing, back,
                millis(start));
    return 0;
}
