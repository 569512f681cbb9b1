// FuzzCalc.h - runs a text on the calculator engine as the fuzz target and
// its mutation test do: the part before the first line break is pasted, the
// rest typed, control characters standing for the keys without one.
#pragma once
#include <cmath>

#include "platform/rtl/SysUtils.h"
#include "ui/controls/vlCalc.h"

// False (with the display in AText) as soon as the display, outside the
// error state, stops reading as a finite number.
inline bool RunCalcScript(const String& AInput, String& AText)
{
    class Host : public IvlCalcEngineHost {
    public:
        String GetDisplayText() const override { return Display; }
        void SetDisplayText(const String& AText) override { Display = AText; }
        void Beep() override {}
        String Display = QStringLiteral("0");
    } host;
    TvlCalcEngine engine(&host);
    const qsizetype split = AInput.indexOf(QChar(u'\n'));
    engine.Paste(split < 0 ? AInput : AInput.left(split));
    for (const QChar ch : split < 0 ? String() : AInput.mid(split + 1)) {
        TvlCalcButtonKind kind = TvlCustomCalculator::CharToButton(ch);
        if (kind == cbNone && ch.unicode() < 32)
            kind = TvlCalcButtonKind(ch.unicode() % vlCalcButtonCount);
        engine.ButtonClick(kind);
        long double value = 0;
        AText = host.Display;
        if (engine.Status() != csError && (!TryStrToFloat(host.Display, value) || !std::isfinite(value)))
            return false;
    }
    return true;
}
