#include "platform/graphics/Color.h"

#include <array>
#include <functional>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"

namespace {

// The classic "Windows Standard" scheme, indexed by COLOR_ value.
constexpr std::array<TColor, COLOR_ENDCOLORS + 1> defaultSysColors = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // 25 is not assigned
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(49, 106, 197),   // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

struct TColorName {
    TColor Value;
    const char* Name;
};

// Aliases (clLtGray, clDkGray) come after the names they duplicate, so a
// value turns into its first name.
constexpr TColorName colorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"},
    {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"}, {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"}, {clCaptionText, "clCaptionText"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"}, {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"}, {clMenuText, "clMenuText"}, {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
    {clNone, "clNone"}, {clDefault, "clDefault"},
};

[[noreturn]] void invalidInteger(const String& S)
{
    throw EConvertError(LoadResString(RtlConsts::SInvalidInteger), {S});
}

// The runtime's integer syntax: optional sign, decimal, or "$"/"0x" hex of
// up to 32 bits (wrapping into the negative range, as colours need).
TColor parseInteger(const String& S)
{
    const String text = S.trimmed();
    int pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    int base = 10;
    if (pos < text.size() && text[pos] == u'$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == u'0' && (text[pos + 1] == u'x' || text[pos + 1] == u'X')) {
        base = 16;
        pos += 2;
    }
    const String digits = text.mid(pos);
    if (digits.isEmpty())
        invalidInteger(S);
    bool ok = false;
    const qulonglong magnitude = digits.toULongLong(&ok, base);
    if (!ok || digits.startsWith(u'+') || digits.startsWith(u'-') || digits.contains(u' '))
        invalidInteger(S);
    const qulonglong limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (magnitude > limit)
        invalidInteger(S);
    const uint32_t bits = negative ? uint32_t(0) - uint32_t(magnitude) : uint32_t(magnitude);
    return TColor(bits);
}

}  // namespace

namespace {

// The current table: the defaults until SetSysColors changes it (main thread).
std::array<TColor, COLOR_ENDCOLORS + 1> sysColors = defaultSysColors;
std::function<void()> sysColorsChanged;

}  // namespace

bool SetSysColors(std::span<const int> Elements, std::span<const TColor> Values)
{
    if (Elements.size() != Values.size())
        return false;
    for (size_t i = 0; i < Elements.size(); ++i)
        if (Elements[i] < 0 || Elements[i] > COLOR_ENDCOLORS)
            return false;
    for (size_t i = 0; i < Elements.size(); ++i)
        sysColors[size_t(Elements[i])] = ColorToRGB(Values[i]) & 0xFFFFFF;
    if (sysColorsChanged)
        sysColorsChanged();
    return true;
}

void ResetSysColors()
{
    sysColors = defaultSysColors;
    if (sysColorsChanged)
        sysColorsChanged();
}

void SetSysColorsChangedHandler(std::function<void()> Handler)
{
    sysColorsChanged = std::move(Handler);
}

TColor GetSysColor(int nIndex)
{
    if (nIndex < 0 || nIndex >= int(sysColors.size()))
        return 0;
    return sysColors[size_t(nIndex)];
}

TColor ColorToRGB(TColor Color)
{
    return Color < 0 ? GetSysColor(Color & 0xFF) : Color;
}

QColor ColorToQColor(TColor Color)
{
    if (Color == clNone)
        return QColor(0, 0, 0, 0);
    const TColor rgb = ColorToRGB(Color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor QColorToColor(const QColor& Color)
{
    if (!Color.isValid() || Color.alpha() == 0)
        return clNone;
    const QColor c = Color.toRgb();
    return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

bool ColorToIdent(TColor Color, String& Ident)
{
    for (const TColorName& entry : colorNames) {
        if (entry.Value == Color) {
            Ident = String::fromLatin1(entry.Name);
            return true;
        }
    }
    return false;
}

bool IdentToColor(const String& Ident, TColor& Color)
{
    for (const TColorName& entry : colorNames) {
        if (Ident.compare(String::fromLatin1(entry.Name), Qt::CaseInsensitive) == 0) {
            Color = entry.Value;
            return true;
        }
    }
    return false;
}

String ColorToString(TColor Color)
{
    String name;
    if (ColorToIdent(Color, name))
        return name;
    return u'$' + String::number(uint32_t(Color), 16).toUpper().rightJustified(8, u'0');
}

TColor StringToColor(const String& S)
{
    TColor color = 0;
    if (IdentToColor(S, color))
        return color;
    return parseInteger(S);
}
