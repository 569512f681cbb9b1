#include <gtest/gtest.h>

#include "platform/graphics/Color.h"
#include "platform/rtl/Exception.h"

namespace {

TEST(ColorTest, ValuesAreStoredAsBlueGreenRed)
{
    const TColor lightBlue = 16360823;
    EXPECT_EQ(lightBlue, 0x00F9A577);
    EXPECT_EQ(GetRValue(lightBlue), 0x77);
    EXPECT_EQ(GetGValue(lightBlue), 0xA5);
    EXPECT_EQ(GetBValue(lightBlue), 0xF9);
    EXPECT_EQ(RGB(0x77, 0xA5, 0xF9), lightBlue);
    EXPECT_EQ(RGB(255, 0, 0), clRed);
    EXPECT_EQ(RGB(0, 0, 255), clBlue);
    EXPECT_EQ(RGB(0, 128, 128), clTeal);

    EXPECT_EQ(ColorToQColor(lightBlue), QColor(0x77, 0xA5, 0xF9));
    EXPECT_EQ(QColorToColor(QColor(0x77, 0xA5, 0xF9)), lightBlue);
}

TEST(ColorTest, SystemColoursResolveThroughTheClassicTable)
{
    EXPECT_EQ(clBtnFace, TColor(0xFF00000F));
    EXPECT_LT(clBtnFace, 0);
    const struct {
        TColor color;
        TColor rgb;
    } cases[] = {
        {clScrollBar, RGB(212, 208, 200)},   {clBackground, RGB(58, 110, 165)},
        {clBtnFace, RGB(212, 208, 200)},     {clWindow, RGB(255, 255, 255)},
        {clWindowText, RGB(0, 0, 0)},        {clHighlight, RGB(10, 36, 106)},
        {clHighlightText, RGB(255, 255, 255)}, {clGrayText, RGB(128, 128, 128)},
        {cl3DDkShadow, RGB(64, 64, 64)},     {clInfoBk, RGB(255, 255, 225)},
        {clInactiveCaptionText, RGB(212, 208, 200)},
        {clHotLight, RGB(0, 0, 128)},        {clGradientActiveCaption, RGB(166, 202, 240)},
        {clGradientInactiveCaption, RGB(192, 192, 192)},
        {clMenuHighlight, RGB(49, 106, 197)}, {clMenuBar, RGB(212, 208, 200)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorToRGB(c.color), c.rgb) << ColorToString(c.color).toStdString();
        EXPECT_EQ(GetSysColor(c.color & 0xFF), c.rgb);
        EXPECT_EQ(ColorToQColor(c.color), QColor(GetRValue(c.rgb), GetGValue(c.rgb), GetBValue(c.rgb)));
    }
    EXPECT_EQ(GetSysColor(-1), 0);
    EXPECT_EQ(GetSysColor(COLOR_MENUBAR + 1), 0);
    // Plain values, clNone and clDefault pass through unchanged.
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
}

TEST(ColorTest, NoneIsTransparentForQt)
{
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
    EXPECT_EQ(QColorToColor(ColorToQColor(clNone)), clNone);
    EXPECT_EQ(QColorToColor(QColor()), clNone);
    EXPECT_EQ(QColorToColor(QColor(10, 20, 30, 128)), RGB(10, 20, 30));
}

TEST(ColorTest, StringRoundTrip)
{
    const struct {
        TColor color;
        const char* text;
    } cases[] = {
        {clRed, "clRed"},
        {clSilver, "clSilver"},  // not its alias clLtGray
        {clMoneyGreen, "clMoneyGreen"},
        {clBtnFace, "clBtnFace"},
        {cl3DDkShadow, "cl3DDkShadow"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
        {16360823, "$00F9A577"},
        {TColor(0xFF000019), "$FF000019"},  // a system index without a name
        {-1, "$FFFFFFFF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorToString(c.color), QString::fromLatin1(c.text));
        EXPECT_EQ(StringToColor(QString::fromLatin1(c.text)), c.color) << c.text;
    }
}

TEST(ColorTest, StringToColorAcceptsAnyCaseAndNumbers)
{
    EXPECT_EQ(StringToColor(QStringLiteral("CLRED")), clRed);
    EXPECT_EQ(StringToColor(QStringLiteral("clltgray")), clSilver);
    EXPECT_EQ(StringToColor(QStringLiteral("$ff")), 255);
    EXPECT_EQ(StringToColor(QStringLiteral("0x10")), 16);
    EXPECT_EQ(StringToColor(QStringLiteral("16360823")), 16360823);
    EXPECT_EQ(StringToColor(QStringLiteral("-16777201")), clBtnFace);

    TColor color = 123;
    EXPECT_FALSE(IdentToColor(QStringLiteral("clNotAColour"), color));
    EXPECT_EQ(color, 123);
    String ident;
    EXPECT_FALSE(ColorToIdent(0x123456, ident));

    for (const char* bad : {"", "clNotAColour", "$", "12z", "$1FFFFFFFF", "2147483648", "--1", "$-1"}) {
        try {
            StringToColor(QString::fromLatin1(bad));
            ADD_FAILURE() << "no error for '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(bad)));
        }
    }
}

}  // namespace

namespace {

TEST(ColorSysColors, SettableTableCallsTheHandlerAndResets)
{
    int calls = 0;
    SetSysColorsChangedHandler([&] { ++calls; });
    const int bad[] = {COLOR_ENDCOLORS + 1};
    const TColor value[] = {clRed};
    EXPECT_FALSE(SetSysColors(bad, value));
    EXPECT_EQ(calls, 0);
    const int face[] = {COLOR_BTNFACE};
    const TColor white[] = {clWhite};
    EXPECT_TRUE(SetSysColors(face, white));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ColorToRGB(clBtnFace), clWhite);
    ResetSysColors();
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    SetSysColorsChangedHandler({});
}

}  // namespace
