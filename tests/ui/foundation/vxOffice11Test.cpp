// Tests of the Office 11 colours: the colour arithmetic, the scheme-0
// derivation from the system colours, the fixed variants through a themed
// fake, the band gradient and the size grip's pixels.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"
#include "ui/foundation/vxOffice11.h"
#include "ui/foundation/vxThemeManager.h"

namespace {

using namespace vxOffice11;

TEST(vxOffice11Colours, ColourArithmetic)
{
    const struct {
        TColor got, expected;
    } cases[] = {
        {MixColors(0x102030, 0xF0E0D0, 100), 0x102030},
        {MixColors(0x102030, 0xF0E0D0, 0), 0xF0E0D0},
        // 50%: MulDiv rounds halves away from zero (0x21 / 2 = 16.5 -> 17).
        {MixColors(0x000021, 0x000000, 50), 0x000011},
        {MixColors(clWhite, clBlack, 30), 0x4D4D4D},  // 76.5 -> 77
        {DarkenColor(0x0A0503, 50), 0x050202},        // 2.5 -> 2 and 1.5 -> 2: ties to even
        {DarkenColor(0xFFFFFF, 100), 0xFFFFFF},
        {LightenColor(0x000000, 0), 0xFFFFFF},
        {LightenColor(0x0000FD, 50), 0x8080FE},       // 255 - 127.5 = 127.5 -> 128; 255 - 1 = 254
        {LightenColor(0x123456, 100), 0x123456},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << std::hex << c.expected;
}

// System colours set for the test's lifetime.
struct SysColors {
    SysColors(TColor AFace, TColor AHighlight, TColor AWindow)
    {
        for (int i : {COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_WINDOW})
            Saved.push_back(GetSysColor(i));
        set({AFace, AHighlight, AWindow});
    }
    ~SysColors() { set(Saved); }
    static void set(const std::vector<TColor>& v)
    {
        const int elements[] = {COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_WINDOW};
        SetSysColors(elements, v);
    }
    std::vector<TColor> Saved;
};

TEST(vxOffice11Colours, SchemeZeroFromTheSystemColours)
{
    {
        const SysColors colors(0xC0C0C0, 0x800000, 0xFFFFFF);
        UpdateOffice11Scheme();
        EXPECT_EQ(GetOffice11Scheme(), 0);
        EXPECT_FALSE(UsesStandardXPColors());
        EXPECT_EQ(Office11HotBorderColor, 0x800000);
        EXPECT_EQ(Office11ControlFaceColor, 0xC0C0C0);
        // H = -2% face + 30% highlight + 72% window, per component.
        const int blue = MulDiv(0xC0, -2, 100) + MulDiv(0x80, 30, 100) + MulDiv(0xFF, 72, 100);
        const int other = MulDiv(0xC0, -2, 100) + MulDiv(0xFF, 72, 100);
        EXPECT_EQ(Office11HotFaceColor, RGB(uint8_t(other), uint8_t(other), uint8_t(blue)));
        EXPECT_EQ(Office11HotFaceDarkColor, Office11HotFaceColor);
        EXPECT_EQ(Office11AltFaceColor, MixColors(0xC0C0C0, 0xFFFFFF, 20));
    }
    for (TColor face : {TColor(0xFFFFFF), TColor(0)}) {
        const SysColors colors(face, 0x6A240A, 0xFFFFFF);
        UpdateOffice11Scheme();
        EXPECT_EQ(Office11HotFaceColor, 0x6A240A);
        EXPECT_EQ(Office11PressedFaceColor, 0x6A240A);
    }
    UpdateOffice11Scheme();
}

TEST(vxOffice11Colours, FixedVariantsThroughAThemedSystem)
{
    auto previous = SetThemeLibrary(std::make_unique<TvxRecordingThemeLibrary>());
    auto* fake = dynamic_cast<TvxRecordingThemeLibrary*>(ThemeLibrary());
    TStartupList units;
    AddvxThemeManagerUnit(units);
    units.Initialize();
    const struct {
        const char* colour;
        int scheme;
        TColor face;
    } cases[] = {{"NormalColor", 1, 0xF5BE9E}, {"homestead", 2, 0xA7D9D9}, {"Metallic", 3, 0xE5D7D7}, {"Royale", 0, 0}};
    for (const auto& c : cases) {
        fake->ColorName = QString::fromLatin1(c.colour);
        UpdateOffice11Scheme();
        EXPECT_EQ(GetOffice11Scheme(), c.scheme) << c.colour;
        EXPECT_EQ(UsesStandardXPColors(), c.scheme != 0);
        if (c.scheme != 0)
            EXPECT_EQ(Office11ControlFaceColor, c.face);
        else
            EXPECT_EQ(Office11ControlFaceColor, ColorToRGB(clBtnFace));
    }
    units.Finalize();
    SetThemeLibrary(std::move(previous));
    UpdateOffice11Scheme();
}

// A sentinel-filled 32-bit surface.
struct Surface {
    Surface(int w, int h) : Image(w, h, QImage::Format_RGB32), DC(&Image) { Image.fill(0xFF123456); }
    TColor at(int x, int y) const
    {
        const QRgb p = Image.pixel(x, y);
        return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
    }
    QImage Image;
    TDeviceContext DC;
};

TEST(vxOffice11Colours, GradientBands)
{
    Surface s(600, 2);
    FillGradientRect(&s.DC, Rect(0, 0, 600, 2), 0x000000, 0x0000FF, true);
    int bands = 1;
    for (int x = 1; x < 600; ++x)
        if (s.at(x, 0) != s.at(x - 1, 0))
            ++bands;
    EXPECT_EQ(bands, 256);
    EXPECT_EQ(s.at(0, 1), 0x000000);
    EXPECT_EQ(s.at(599, 1), 0x0000FF);
    // Band i ends at MulDiv(i + 1, 600, 256): band 0 covers 0..1, band 1 starts at 2.
    EXPECT_EQ(s.at(1, 0), 0);
    EXPECT_EQ(s.at(2, 0), 1);

    Surface one(3, 5);
    FillGradientRect(&one.DC, Rect(1, 0, 2, 5), 0x00FF00, 0x0000FF, true);
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(one.at(1, y), 0x00FF00);
        EXPECT_EQ(one.at(0, y), 0x563412);
    }
    Surface plain(4, 4);
    FillGradientRect(&plain.DC, Rect(0, 0, 4, 4), clBtnFace, ColorToRGB(clBtnFace), false);
    EXPECT_EQ(plain.at(3, 3), ColorToRGB(clBtnFace));
}

TEST(vxOffice11Colours, SizeGripPixelMap)
{
    Surface s(20, 20);
    DrawOffice11SizeGrip(&s.DC, Rect(2, 3, 20, 20), 0x000080, 0x00FF00);
    // D dark, L light, . untouched; the grip's 12 x 11 corner starts at (8, 9).
    const char* expected[11] = {
        "........DD..",
        "........DDL.",
        ".........LL.",
        "............",
        "....DD..DD..",
        "....DDL.DDL.",
        ".....LL..LL.",
        "............",
        "DD..DD..DD..",
        "DDL.DDL.DDL.",
        ".LL..LL..LL.",
    };
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            char c = '.';
            if (x >= 8 && y >= 9)
                c = expected[y - 9][x - 8];
            const TColor want = c == 'D' ? 0x000080 : c == 'L' ? 0x00FF00 : 0x563412;
            EXPECT_EQ(s.at(x, y), want) << x << "," << y;
        }
}

}  // namespace
