// Feeds arbitrary text to the calculator engine as pasted text and as keys:
// whatever comes in, the display must stay a finite number or the error
// text, so the next key can always read it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/SysUtils.h"
#include "ui/controls/vlCalc.h"

namespace {

class Host : public IvlCalcEngineHost {
public:
    String GetDisplayText() const override { return Display; }
    void SetDisplayText(const String& AText) override { Display = AText; }
    void Beep() override {}
    String Display = QStringLiteral("0");
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const String input = String::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    Host host;
    TvlCalcEngine engine(&host);
    const qsizetype split = input.indexOf(QChar(u'\n'));
    engine.Paste(split < 0 ? input : input.left(split));
    for (const QChar ch : split < 0 ? String() : input.mid(split + 1)) {
        // Characters as typed; control characters stand for the other keys.
        TvlCalcButtonKind kind = TvlCustomCalculator::CharToButton(ch);
        if (kind == cbNone && ch.unicode() < 32)
            kind = TvlCalcButtonKind(ch.unicode() % vlCalcButtonCount);
        engine.ButtonClick(kind);
        long double value = 0;
        if (engine.Status() != csError && (!TryStrToFloat(host.Display, value) || !std::isfinite(value)))
            std::abort();
    }
    return 0;
}
