// Feeds arbitrary text to the regular-expression mask: the part before the
// first line break is the mask, the rest a script of typed characters in
// which "<" steps back, "^" restarts and "~" switches auto-completion. No
// mask may crash the build, hang it or make it grow without bound.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/Stream.h"
#include "ui/editors/vlRegExpr.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const String input = String::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf(QChar(u'\n'));
    const QByteArray mask = (split < 0 ? input : input.left(split)).toUtf8();
    TMemoryStream stream;
    stream.WriteBuffer(mask.constData(), mask.size());
    TvlRegExpr expr;
    try {
        expr.BuildFromStream(&stream);
    } catch (const EvlRegExprError&) {
        return 0;
    }
    for (const QChar c : split < 0 ? String() : input.mid(split + 1)) {
        if (c == QLatin1Char('<'))
            expr.StepBack();
        else if (c == QLatin1Char('^'))
            expr.Restart();
        else if (c == QLatin1Char('~'))
            expr.SetAutoComplete(!expr.AutoComplete());
        else {
            QChar ch = c;
            expr.StepForward(ch);
        }
        expr.AtFinal();
    }
    return 0;
}
