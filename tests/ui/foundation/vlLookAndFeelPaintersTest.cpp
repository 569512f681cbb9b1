// Tests of the painters: one instance per class in the look tree, the base
// painter's colour cascade, arrow geometry and the elements drawn from it,
// probed pixel by pixel on a sentinel-filled surface.
#include <QImage>
#include <QRegion>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/Startup.h"
#include "tests/ui/foundation/SentinelSurface.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vxOffice11.h"
#include "ui/foundation/vxThemeManager.h"

namespace {

// Every test starts from the classic system colours (tests that change them
// put them back); text is drawn without antialiasing.
class ClassicColors : public ::testing::Environment {
public:
    void SetUp() override { ResetSysColors(); }
};
// gtest owns its environments.
const ::testing::Environment* const classicColors = ::testing::AddGlobalTestEnvironment(new ClassicColors);

// The system colours of the looks' tests: each colour the painters use is
// distinct, so a map can name every one; the Office 11 scheme follows them.
struct LookColors {
    LookColors()
    {
        const int elements[] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW,
                                COLOR_3DLIGHT, COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNTEXT,
                                COLOR_WINDOWFRAME, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT};
        const TColor values[] = {0xC0C0C0, 0x808080, 0xFFFFFF, 0x404040, 0xE0E0E0, 0xFAFAFA,
                                 0x000020, 0x200000, 0x002000, 0x800000, 0xFEFEFE, 0x909090};
        SetSysColors(elements, values);
        vxOffice11::AcquireOffice11Scheme();
        vxOffice11::UpdateOffice11Scheme();
    }
    ~LookColors()
    {
        ResetSysColors();
        vxOffice11::UpdateOffice11Scheme();
        vxOffice11::ReleaseOffice11Scheme();
    }
};

QRgb rgbOf(TColor c);

// One letter per system colour of LookColors, black as K.
std::vector<std::pair<QRgb, char>> lookLegend()
{
    return {{rgbOf(clBtnFace), 'F'},      {rgbOf(clBtnShadow), 'S'},    {rgbOf(clBtnHighlight), 'H'},
            {rgbOf(cl3DDkShadow), 'D'},   {rgbOf(cl3DLight), 'L'},      {rgbOf(clWindow), 'W'},
            {rgbOf(clWindowText), 'w'},   {rgbOf(clBtnText), 'T'},      {rgbOf(clWindowFrame), 'f'},
            {rgbOf(clHighlight), 'h'},    {rgbOf(clHighlightText), 't'}, {rgbOf(clGrayText), 'g'},
            {rgbOf(clBlack), 'K'}};
}

// An N x N picture: a one-pixel frame of one letter around another.
std::string framedMap(int N, char AFrame, char AInside)
{
    std::string text;
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x)
            text += x == 0 || y == 0 || x == N - 1 || y == N - 1 ? AFrame : AInside;
        text += '\n';
    }
    return text;
}

// The automatic-size down arrow of a 9 x 9 rectangle.
constexpr const char* downArrow9x9 = ".........\n"
                                     ".........\n"
                                     ".........\n"
                                     "..#####..\n"
                                     "...###...\n"
                                     "....#....\n"
                                     ".........\n"
                                     ".........\n"
                                     ".........\n";

QRgb rgbOf(TColor c) { return ColorToQColor(c).rgb() | 0xFF000000; }

TEST(vlLookAndFeelPainters, EachLookHasOnePainterInTheTree)
{
    struct Row {
        TvlLookAndFeelKind Kind;
        TvlLookAndFeelPainterClass Painter;
        TvlLookAndFeelStyle Style;
    };
    const Row rows[] = {
        {lfFlat, TvlFlatLookAndFeelPainter::Instance(), lfsFlat},
        {lfStandard, TvlStandardLookAndFeelPainter::Instance(), lfsStandard},
        {lfUltraFlat, TvlUltraFlatLookAndFeelPainter::Instance(), lfsUltraFlat},
        {lfOffice11, TvlOffice11LookAndFeelPainter::Instance(), lfsOffice11},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(GetLookAndFeelPainterClass(row.Kind), row.Painter);
        EXPECT_EQ(row.Painter->LookAndFeelStyle(), row.Style);
        EXPECT_EQ(KindOfLookAndFeelStyle(row.Style), row.Kind);
    }
    EXPECT_EQ(KindOfLookAndFeelStyle(lfsNative), lfStandard);
    EXPECT_EQ(GetNativeLookAndFeelPainterClass(), TvlWinXPLookAndFeelPainter::Instance());
    EXPECT_NE(dynamic_cast<const TvlUltraFlatLookAndFeelPainter*>(TvlOffice11LookAndFeelPainter::Instance()), nullptr);
    EXPECT_NE(dynamic_cast<const TvlStandardLookAndFeelPainter*>(TvlWinXPLookAndFeelPainter::Instance()), nullptr);
    EXPECT_EQ(dynamic_cast<const TvlStandardLookAndFeelPainter*>(TvlFlatLookAndFeelPainter::Instance()), nullptr);
}

// A look that only changes the header colour: everything defined through it
// follows.
class TDarkHeaderPainter : public TvlCustomLookAndFeelPainter {
public:
    static const TDarkHeaderPainter* Instance()
    {
        static const TDarkHeaderPainter painter;
        return &painter;
    }
    TColor DefaultHeaderColor() const override { return clMaroon; }
    TColor DefaultHeaderTextColor() const override { return clYellow; }
    TColor DefaultGridLineColor() const override { return clLime; }
    TColor DefaultEditorBackgroundColorForState(TvlEditStateColorKind AKind) const override
    {
        return AKind == esckDisabled ? clSilver : clDefault;
    }
};

TEST(vlLookAndFeelPainters, ColoursDefinedThroughOthersFollowAnOverride)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    const auto* dark = TDarkHeaderPainter::Instance();
    EXPECT_EQ(base->DefaultMiscColorB(), clBtnFace);
    for (TColor c : {dark->DefaultMiscColorB(), dark->DefaultMiscColorD(), dark->DefaultViewColorF()})
        EXPECT_EQ(c, clMaroon);
    for (TColor c : {dark->DefaultMiscColorE(), dark->DefaultViewColorG(), dark->DefaultCalendarColorC(false)})
        EXPECT_EQ(c, clYellow);
    EXPECT_EQ(dark->DefaultRecordSeparatorColor(), clLime);
    EXPECT_EQ(dark->DefaultEditorBackgroundColor(true), clSilver);
    // The calendar falls back on the content colour where the editor has none.
    EXPECT_EQ(dark->DefaultCalendarColorA(), clWindow);
    EXPECT_EQ(base->DefaultMiscColorA(), TColor(0));
    EXPECT_EQ(base->DefaultCalendarColorC(true), TColor(0xCC6600));
}

TEST(vlLookAndFeelPainters, ArrowPoints)
{
    struct Row {
        TRect R;
        TvlArrowDirection Direction;
        bool Proportional;
        TvlArrowPoints Expected;
    };
    const Row rows[] = {
        // 9 x 9, automatic size: s = 3, 5 wide and 3 high, apex bottom centre.
        {Rect(0, 0, 9, 9), adDown, false, {TPoint{6, 3}, TPoint{4, 5}, TPoint{2, 3}}},
        {Rect(0, 0, 9, 9), adUp, false, {TPoint{2, 5}, TPoint{4, 3}, TPoint{6, 5}}},
        {Rect(0, 0, 9, 9), adLeft, false, {TPoint{5, 6}, TPoint{3, 4}, TPoint{5, 2}}},
        {Rect(0, 0, 9, 9), adRight, false, {TPoint{3, 2}, TPoint{5, 4}, TPoint{3, 6}}},
        // 20 x 10 proportional: the arrow of the central square 5..15.
        {Rect(0, 0, 20, 10), adDown, true, {TPoint{11, 4}, TPoint{9, 6}, TPoint{7, 4}}},
        // Not proportional: sized by the full width.
        {Rect(0, 0, 20, 10), adDown, false, {TPoint{13, 3}, TPoint{9, 7}, TPoint{5, 3}}},
    };
    for (const Row& row : rows) {
        TvlArrowPoints points{};
        CalculateArrowPoints(row.R, points, row.Direction, row.Proportional);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(points[i], row.Expected[i]) << "direction " << row.Direction << " point " << i;
    }
    TvlArrowPoints sized{};
    CalculateArrowPoints(Rect(0, 0, 9, 9), sized, adDown, false, 2);
    EXPECT_EQ(sized[0], (TPoint{5, 4}));
    EXPECT_EQ(sized[1], (TPoint{4, 5}));
}

TEST(vlLookAndFeelPainters, BaseMetrics)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    EXPECT_EQ(base->BorderSize(), 0);
    EXPECT_EQ(TvlStandardLookAndFeelPainter::Instance()->BorderSize(), 2);
    TRect r;
    base->GetButtonGroupBorders(1, 0, r);
    EXPECT_EQ(r, (TRect{0, 0, 0, 0}));
    base->GetButtonFocusBounds(nullptr, Rect(0, 0, 20, 20), r);
    EXPECT_EQ(r, Rect(4, 4, 16, 16));
    base->GetButtonFocusBounds(nullptr, Rect(0, 0, 8, 20), r);
    EXPECT_EQ(r, Rect(0, 0, 8, 20));
    base->GetCenteredStripBounds(Rect(10, 0, 31, 5), 4, true, r);
    EXPECT_EQ(r, Rect(18, 0, 22, 5));
    base->GetCenteredStripBounds(Rect(0, 0, 5, 10), 3, false, r);
    EXPECT_EQ(r, Rect(0, 4, 5, 7));
    EXPECT_EQ(base->ButtonGlyphColor(vlbsDisabled, clRed), clBtnShadow);
    EXPECT_EQ(base->ButtonGlyphColor(vlbsHot, clDefault), clBtnText);
    EXPECT_EQ(base->ButtonGlyphColor(vlbsHot, clRed), clRed);
    EXPECT_EQ(base->CheckFaceColor(vlbsHot), clWindow);
    EXPECT_EQ(base->CheckFaceColor(vlbsPressed), clBtnFace);
}

TEST(vlLookAndFeelPainters, ArrowIsTheFilledPolygon)
{
    Surface s(9, 9);
    TvlCustomLookAndFeelPainter::Instance()->DrawArrow(&s.Vl, Rect(0, 0, 9, 9), adDown, clRed);
    EXPECT_EQ(s.map({{rgbOf(clRed), '#'}}), downArrow9x9);
}

TEST(vlLookAndFeelPainters, DisabledStateArrowIsEmbossed)
{
    Surface s(9, 9);
    TvlCustomLookAndFeelPainter::Instance()->DrawStateArrow(&s.Vl, Rect(0, 0, 9, 9), vlbsDisabled, adDown);
    const char* expected = ".........\n"
                           ".........\n"
                           ".........\n"
                           "..#####..\n"
                           "...###++.\n"
                           "....#++..\n"
                           ".....+...\n"
                           ".........\n"
                           ".........\n";
    EXPECT_EQ(s.map({{rgbOf(clBtnShadow), '#'}, {rgbOf(clBtnHighlight), '+'}}), expected);
}

TEST(vlLookAndFeelPainters, SmallExpandButtonSigns)
{
    for (bool expanded : {false, true}) {
        Surface s(9, 9);
        TvlCustomLookAndFeelPainter::Instance()->DrawSmallExpandButton(&s.Vl, Rect(0, 0, 9, 9), expanded, clRed,
                                                                       clWhite);
        const char* plus = "#########\n"
                           "#       #\n"
                           "#   +   #\n"
                           "#   +   #\n"
                           "# +++++ #\n"
                           "#   +   #\n"
                           "#   +   #\n"
                           "#       #\n"
                           "#########\n";
        const char* minus = "#########\n"
                            "#       #\n"
                            "#       #\n"
                            "#       #\n"
                            "# +++++ #\n"
                            "#       #\n"
                            "#       #\n"
                            "#       #\n"
                            "#########\n";
        EXPECT_EQ(s.map({{rgbOf(clRed), '#'}, {rgbOf(clWhite), ' '}, {rgbOf(clBtnText), '+'}}),
                  expanded ? minus : plus);
    }
}

TEST(vlLookAndFeelPainters, BackgroundAndLabelLine)
{
    Surface s(6, 6);
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    base->DrawBackground(&s.Vl, Rect(0, 0, 6, 6), true, clRed, nullptr);
    EXPECT_EQ(s.at(2, 2), sentinel);
    base->DrawBackground(&s.Vl, Rect(0, 0, 6, 6), false, clRed, nullptr);
    EXPECT_EQ(s.at(5, 5), rgbOf(clRed));
    base->DrawLabelLine(&s.Vl, Rect(0, 1, 6, 3), clDefault, clDefault, false);
    EXPECT_EQ(s.at(3, 1), rgbOf(clBtnShadow));
    EXPECT_EQ(s.at(3, 2), rgbOf(clBtnHighlight));
    EXPECT_EQ(s.at(3, 3), rgbOf(clRed));
}

// A look whose buttons only change face and glyph colours.
class TRedButtonPainter : public TvlCustomLookAndFeelPainter {
public:
    static const TRedButtonPainter* Instance()
    {
        static const TRedButtonPainter painter;
        return &painter;
    }
    TColor ButtonFaceColor(TvlButtonState) const override { return clRed; }
    TColor ButtonGlyphColor(TvlButtonState, TColor) const override { return clLime; }
};

TEST(vlLookAndFeelPainters, DefaultButtonColoursComeFromThePainter)
{
    Surface s(9, 9);
    const auto* red = TRedButtonPainter::Instance();
    red->DrawButtonInGroup(&s.Vl, Rect(0, 0, 9, 9), vlbsNormal, 3, 1, clBlue);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(s.at(x, y), rgbOf(clRed)) << x << "," << y;
    red->DrawArrowButton(&s.Vl, Rect(0, 0, 9, 9), vlbsNormal, adDown, false);
    EXPECT_EQ(s.map({{rgbOf(clRed), '.'}, {rgbOf(clLime), '#'}}), downArrow9x9);
    // An explicit colour wins over the painter's.
    red->DrawButton(&s.Vl, Rect(0, 0, 9, 9), String(), vlbsNormal, true, clBlue);
    EXPECT_EQ(s.at(4, 4), rgbOf(clBlue));
}

TEST(vlLookAndFeelPainters, CheckButtonTickAndGrayedBox)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    Surface checked(13, 13);
    base->DrawCheckButton(&checked.Vl, Rect(0, 0, 13, 13), vlbsNormal, cbsChecked);
    // The border is left to the looks; the face and a tick inside it, its
    // lowest point in the middle column.
    EXPECT_EQ(checked.map({{rgbOf(clWindow), ' '}, {rgbOf(clBtnText), '#'}}), ".............\n"
                                                                            ".............\n"
                                                                            "..         ..\n"
                                                                            "..       # ..\n"
                                                                            "..  #   ## ..\n"
                                                                            "..  ## ### ..\n"
                                                                            "..  #####  ..\n"
                                                                            "..   ###   ..\n"
                                                                            "..    #    ..\n"
                                                                            "..         ..\n"
                                                                            "..         ..\n"
                                                                            ".............\n"
                                                                            ".............\n");

    Surface grayed(13, 13);
    base->DrawCheckButton(&grayed.Vl, Rect(0, 0, 13, 13), vlbsNormal, cbsGrayed);
    const std::string box = grayed.map({{rgbOf(clWindow), ' '}});
    EXPECT_EQ(std::count(box.begin(), box.end(), ' '), 81) << box;
    Surface disabled(13, 13);
    base->DrawCheckBox(&disabled.Vl, Rect(0, 0, 13, 13), vlbsDisabled, true);
    EXPECT_EQ(disabled.at(2, 2), rgbOf(clBtnFace));
    EXPECT_EQ(disabled.at(6, 8), rgbOf(clGrayText));
}

// A look with a two-pixel header border that hands the left and top sides
// to a neighbour there, framed footer cells, a thin splitter and its own
// progress text colours.
class TNeighbourPainter : public TvlCustomLookAndFeelPainter {
public:
    static const TNeighbourPainter* Instance()
    {
        static const TNeighbourPainter painter;
        return &painter;
    }
    int HeaderBorderWidth() const override { return 2; }
    int FooterCellBorderWidth() const override { return 1; }
    TvlBorders HeaderBorders(TvlBorders ANeighbors) const override
    {
        return vlBordersAll - (ANeighbors * TvlBorders{bLeft, bTop});
    }
    TColor ProgressBarTextColorEx(bool AIsOverBar) const override { return AIsOverBar ? clRed : clBlue; }
    void GetSplitterSize(bool AHorizontal, TSize& ASize) const override
    {
        ASize = AHorizontal ? TSize{17, 1} : TSize{1, 17};
    }
};

TEST(vlLookAndFeelPainters, ElementMetrics)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    const auto* standard = TvlStandardLookAndFeelPainter::Instance();
    Surface s(4, 4);
    EXPECT_EQ(base->HeaderWidth(&s.Vl, {}, String(), nullptr), 4);
    EXPECT_EQ(standard->HeaderWidth(&s.Vl, {bLeft}, String(), nullptr), 5);
    EXPECT_EQ(standard->HeaderWidth(&s.Vl, vlBordersAll, String(), nullptr), 4);
    EXPECT_EQ(standard->HeaderHeightForText(13), 19);

    TRect r;
    const TRect cell = Rect(10, 10, 30, 20);
    // The base keeps every side; a look that hands sides to neighbours
    // grows only the sides it keeps.
    base->GetHeaderOuterBounds(cell, {bLeft}, vlBordersAll, r);
    EXPECT_EQ(r, cell);
    const auto* n = TNeighbourPainter::Instance();
    n->GetHeaderOuterBounds(cell, {bLeft}, vlBordersAll, r);
    EXPECT_EQ(r, Rect(8, 10, 30, 20));
    n->GetHeaderOuterBounds(cell, {bLeft, bTop}, TvlBorders{bLeft, bRight}, r);
    EXPECT_EQ(r, Rect(8, 10, 30, 20));
    n->GetHeaderContentBounds(cell, {bTop, bRight}, r);
    EXPECT_EQ(r, Rect(10, 12, 28, 20));
    base->GetHeaderSectionTextBounds(cell, vlbsPressed, r);
    EXPECT_EQ(r, Rect(11, 11, 31, 21));
    base->GetHeaderSectionContentBounds(cell, vlbsNormal, r);
    EXPECT_EQ(r, Rect(11, 11, 29, 19));

    TPoint p;
    base->FilterButtonSize(p);
    EXPECT_EQ(p, (TPoint{15, 0}));
    base->FilterCheckSize(p);
    EXPECT_EQ(p, (TPoint{13, 13}));
    base->SortingMarkAreaSize(p);
    EXPECT_EQ(p, (TPoint{16, 0}));
    TSize size;
    base->GetSplitterSize(true, size);
    EXPECT_EQ(size, (TSize{17, 2}));
    base->GetSplitterSize(false, size);
    EXPECT_EQ(size, (TSize{2, 17}));
    base->CheckButtonSize(size);
    EXPECT_EQ(size, (TSize{13, 13}));
    base->ScrollBarSize(size);
    EXPECT_EQ(size, (TSize{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}));
    base->CaptionButtonSize(size);
    const int caption = std::min(GetSystemMetrics(SM_CXSIZE), GetSystemMetrics(SM_CYHSCROLL) - 3);
    EXPECT_EQ(size, (TSize{caption, caption}));

    EXPECT_EQ(base->ProgressBarTextColor(), clWindowText);
    EXPECT_EQ(base->ProgressBarTextColorEx(true), clDefault);
    EXPECT_EQ(base->GroupBoxPanelTextColor(), clWindowText);
    EXPECT_EQ(base->GroupBoxCaptionTextColor(false), clBtnShadow);
    EXPECT_EQ(base->NavigationButtonTextColor(true, vlbsDisabled, clRed), clBtnShadow);

    // The frame colour table has six kinds; any other has no colour.
    const std::pair<int, TColor> frames[] = {{0, clMaroon}, {2, clMaroon}, {3, clRed}, {5, clRed},
                                             {-1, clDefault}, {6, clDefault}, {1000, clDefault}};
    for (const auto& [kind, color] : frames)
        EXPECT_EQ(base->PageFrameColor(kind), color) << kind;
}

TEST(vlLookAndFeelPainters, NavigationButtonLayout)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    TRect borders;
    TSize arrow;
    bool hasText = false;
    base->NavigationButtonMetrics(true, borders, arrow, hasText);
    EXPECT_EQ(borders, (TRect{2, 6, 0, 6}));
    EXPECT_EQ(arrow, (TSize{7, 7}));
    EXPECT_TRUE(hasText);

    // The previous button: borders (0, 6, 2, 6); the arrow in the top 21
    // rows of the inner area, the text 5 rows below it, 14 above the bottom.
    TRect r = Rect(0, 0, 20, 100), text, arrowR;
    base->CalculateNavigationButtonRects(false, false, 0, TSize{10, 30}, r, text, arrowR);
    EXPECT_EQ(r, Rect(0, 0, 20, 100));
    EXPECT_EQ(arrowR, Rect(5, 13, 12, 20));
    EXPECT_EQ(text, Rect(0, 32, 18, 80));
    // A text longer than the room grows the button upwards.
    base->CalculateNavigationButtonRects(false, false, 0, TSize{58, 10}, r, text, arrowR);
    EXPECT_EQ(r, Rect(0, -10, 20, 100));
    EXPECT_EQ(text, Rect(0, 22, 18, 80));
    EXPECT_EQ(arrowR, Rect(5, 3, 12, 10));
    // Only the arrow: the button is as high as its borders and three arrows.
    r = Rect(0, 0, 20, 100);
    base->CalculateNavigationButtonRects(true, true, 0, TSize{10, 30}, r, text, arrowR);
    EXPECT_EQ(r, Rect(0, 33, 20, 66));
    EXPECT_TRUE(IsRectEmpty(text));
    EXPECT_EQ(arrowR, Rect(6, 46, 13, 53));
}

TEST(vlLookAndFeelPainters, StandardHeaderBorderWithAndWithoutNeighbours)
{
    const std::vector<std::pair<QRgb, char>> legend = {
        {rgbOf(clBtnHighlight), 'H'}, {rgbOf(clBtnShadow), 'S'}, {rgbOf(clBtnFace), 'F'}};
    const auto* standard = TvlStandardLookAndFeelPainter::Instance();
    const std::pair<TvlBorders, const char*> rows[] = {
        {{}, "HHHHHHS\n"
             "H.....S\n"
             "H.....S\n"
             "H.....S\n"
             "SSSSSSS\n"},
        // Touching cells on both sides: the edges run on without a notch.
        {{bLeft, bRight}, "HHHHHHH\n"
                          "F.....F\n"
                          "H.....S\n"
                          "F.....F\n"
                          "SSSSSSS\n"},
    };
    for (const auto& [neighbors, expected] : rows) {
        Surface s(7, 5);
        standard->DrawHeaderBorder(&s.Vl, Rect(0, 0, 7, 5), neighbors, vlBordersAll);
        EXPECT_EQ(s.map(legend), expected);
    }

    // The whole header: border, the background inside it, centred text.
    Surface header(40, 16);
    header.Canvas.Font()->SetColor(clRed);
    standard->DrawHeader(&header.Vl, Rect(0, 0, 40, 16), Rect(1, 1, 39, 15), {}, vlBordersAll, vlbsNormal, taCenter,
                         vaCenter, false, false, QString(3, QChar(0x2588)), nullptr, clBlue, clYellow);
    EXPECT_EQ(header.at(0, 0), rgbOf(clBtnHighlight));
    EXPECT_EQ(header.at(39, 15), rgbOf(clBtnShadow));
    EXPECT_EQ(header.at(2, 2), rgbOf(clYellow));
    EXPECT_EQ(header.at(20, 8), rgbOf(clBlue));
    EXPECT_TRUE(header.of(rgbOf(clRed)).isEmpty());
}

TEST(vlLookAndFeelPainters, PressedHeaderInvertsExactlyItsRectangle)
{
    Surface s(12, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            s.Image.setPixel(x, y, qRgb(x * 20, y * 25, 77));
    const QImage before = s.Image.copy();
    TvlCustomLookAndFeelPainter::Instance()->DrawHeaderPressed(&s.Vl, Rect(2, 3, 9, 7));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 2 && x < 9 && y >= 3 && y < 7;
            const QRgb old = before.pixel(x, y) & 0xFFFFFF;
            EXPECT_EQ(s.Image.pixel(x, y) & 0xFFFFFF, inside ? old ^ 0xFFFFFF : old) << x << "," << y;
        }
}

TEST(vlLookAndFeelPainters, StandardScrollBarParts)
{
    const auto* standard = TvlStandardLookAndFeelPainter::Instance();
    const std::vector<std::pair<QRgb, char>> legend = {{rgbOf(clBtnFace), 'F'},
                                                       {rgbOf(cl3DDkShadow), 'D'},
                                                       {rgbOf(clBtnHighlight), 'H'},
                                                       {rgbOf(clBtnShadow), 'S'}};
    // An arrow: outer ring face and dark shadow, inner ring highlight and
    // shadow, the glyph in the button text colour inside.
    Surface arrow(17, 17);
    standard->DrawScrollBarPart(&arrow.Vl, false, Rect(0, 0, 17, 17), sbpLineUp, vlbsNormal);
    const std::string map = arrow.map(legend);
    EXPECT_EQ(map.substr(0, 18), "FFFFFFFFFFFFFFFFD\n") << map;
    EXPECT_EQ(map.substr(18, 18), "FHHHHHHHHHHHHHHSD\n") << map;
    EXPECT_EQ(map.substr(16 * 18, 18), "DDDDDDDDDDDDDDDDD\n") << map;
    EXPECT_TRUE(arrow.of(rgbOf(clBtnText)).intersects(QRect(5, 5, 7, 7))) << map;
    // Pressed: a shadow ring and a flat face ring.
    Surface pressed(17, 17);
    standard->DrawScrollBarPart(&pressed.Vl, false, Rect(0, 0, 17, 17), sbpLineDown, vlbsPressed);
    EXPECT_EQ(pressed.at(0, 0), rgbOf(clBtnShadow));
    EXPECT_EQ(pressed.at(16, 16), rgbOf(clBtnShadow));
    EXPECT_EQ(pressed.at(1, 1), rgbOf(clBtnFace));
    // A disabled arrow's glyph is grey; a disabled bar has no thumb.
    Surface disabled(17, 17);
    standard->DrawScrollBarPart(&disabled.Vl, true, Rect(0, 0, 17, 17), sbpLineDown, vlbsDisabled);
    EXPECT_TRUE(disabled.of(rgbOf(clBtnText)).isEmpty());
    Surface thumb(17, 30);
    standard->DrawScrollBarPart(&thumb.Vl, false, Rect(0, 0, 17, 30), sbpThumbnail, vlbsDisabled);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 17; ++x)
            ASSERT_EQ(thumb.at(x, y), sentinel);
    standard->DrawScrollBarPart(&thumb.Vl, false, Rect(0, 0, 17, 30), sbpThumbnail, vlbsNormal);
    EXPECT_EQ(thumb.at(8, 15), rgbOf(clBtnFace));
    EXPECT_EQ(thumb.at(16, 15), rgbOf(cl3DDkShadow));
}

TEST(vlLookAndFeelPainters, SizeGripTurnsToItsCorner)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    constexpr int n = 13;
    auto draw = [&](TvlCorner ACorner) {
        Surface s(n, n);
        base->DrawSizeGripInCorner(&s.Vl, Rect(0, 0, n, n), clYellow, ACorner);
        return s.Image.copy();
    };
    Surface plain(n, n);
    plain.Vl.FillRectByColor(Rect(0, 0, n, n), clYellow);
    base->DrawSizeGrip(&plain.Vl, Rect(0, 0, n, n));
    const QImage br = draw(coBottomRight), tl = draw(coTopLeft), tr = draw(coTopRight), bl = draw(coBottomLeft);
    EXPECT_EQ(br, plain.Image);
    // The grip's lines lie in its own corner's half.
    int lines = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if ((br.pixel(x, y) | 0xFF000000) != rgbOf(clBtnFace)) {
                ++lines;
                EXPECT_GE(x + y, n - 1) << x << "," << y;
            }
    EXPECT_GT(lines, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            EXPECT_EQ(tl.pixel(x, y), br.pixel(n - 1 - x, n - 1 - y)) << x << "," << y;
            EXPECT_EQ(tr.pixel(x, y), br.pixel(n - 1 - y, x)) << x << "," << y;
            EXPECT_EQ(bl.pixel(x, y), br.pixel(y, n - 1 - x)) << x << "," << y;
        }
}

TEST(vlLookAndFeelPainters, SplitterGripHasGapsAroundTheCentre)
{
    Surface s(40, 6);
    TvlCustomLookAndFeelPainter::Instance()->DrawSplitter(&s.Vl, Rect(0, 0, 40, 6), false, false, true);
    // Centre 20: a 17-pixel grip from 12, gaps at 15, 18, 21 and 24; the
    // inner colour one pixel right and down.
    const std::vector<std::pair<QRgb, char>> legend = {{rgbOf(clBtnShadow), 'o'}, {rgbOf(clWhite), 'i'}};
    EXPECT_EQ(s.map(legend), "........................................\n"
                             "........................................\n"
                             "............ooo.oo.oo.oo.oooo...........\n"
                             ".............iii.ii.ii.ii.iiii..........\n"
                             "........................................\n"
                             "........................................\n");
    // A one-pixel splitter draws the line once; vertical ones run down.
    Surface thin(6, 40);
    TNeighbourPainter::Instance()->DrawSplitter(&thin.Vl, Rect(0, 0, 6, 40), true, false, false);
    EXPECT_TRUE(thin.of(rgbOf(clWhite)).isEmpty());
    const QRegion outer = thin.of(rgbOf(clBtnShadow));
    EXPECT_EQ(outer.boundingRect(), QRect(3, 12, 1, 17));
    for (int gap : {15, 18, 21, 24})
        EXPECT_FALSE(outer.contains(QPoint(3, gap))) << gap;
    EXPECT_EQ(outer.rectCount(), 5);
}

// The pixels of a run of solid blocks drawn as progress text.
QRect textBox(const Surface& s, QRgb ABackground)
{
    QRect box;
    for (int y = 0; y < s.Image.height(); ++y)
        for (int x = 0; x < s.Image.width(); ++x)
            if (s.at(x, y) != ABackground)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(vlLookAndFeelPainters, ProgressTextChangesColourAtTheBarEdge)
{
    const String blocks(5, QChar(0x2588));
    const TRect r = Rect(0, 0, 80, 24);
    // Two colours: the bar covers the first 23 columns.
    Surface two(80, 24);
    TNeighbourPainter::Instance()->DrawProgressBarText(&two.Vl, false, false, blocks, r, r, Rect(0, 0, 23, 24),
                                                       clDefault);
    const QRect box = textBox(two, sentinel);
    ASSERT_TRUE(box.left() < 21 && box.right() > 24) << two.map({{rgbOf(clRed), 'r'}, {rgbOf(clBlue), 'b'}});
    const int y = box.center().y();
    EXPECT_EQ(two.at(21, y), rgbOf(clRed));
    EXPECT_EQ(two.at(22, y), rgbOf(clRed));
    EXPECT_EQ(two.at(23, y), rgbOf(clBlue));
    EXPECT_EQ(two.at(24, y), rgbOf(clBlue));
    // Clear of the bar: one colour only.
    Surface clear(80, 24);
    TNeighbourPainter::Instance()->DrawProgressBarText(&clear.Vl, false, false, blocks, r, r, Rect(90, 0, 99, 24),
                                                       clDefault);
    EXPECT_TRUE(clear.of(rgbOf(clRed)).isEmpty());
    EXPECT_EQ(clear.of(rgbOf(clBlue)).boundingRect(), box);

    // Solid: the given colour, or the painter's for clDefault.
    Surface solid(80, 24);
    TvlCustomLookAndFeelPainter::Instance()->DrawProgressBarText(&solid.Vl, false, true, blocks, r, r,
                                                                 Rect(0, 0, 23, 24), clLime);
    EXPECT_EQ(solid.of(rgbOf(clLime)).boundingRect(), box);

    // The base look inverts whatever lies beneath the text.
    Surface inverted(80, 24);
    inverted.Vl.FillRectByColor(Rect(0, 0, 23, 24), clRed);
    inverted.Vl.FillRectByColor(Rect(23, 0, 80, 24), clWhite);
    TvlCustomLookAndFeelPainter::Instance()->DrawProgressBarText(&inverted.Vl, false, false, blocks, r, r,
                                                                 Rect(0, 0, 23, 24), clDefault);
    EXPECT_EQ(inverted.at(22, y), rgbOf(clAqua));
    EXPECT_EQ(inverted.at(23, y), rgbOf(clBlack));
    EXPECT_EQ(inverted.of(rgbOf(clAqua)) + inverted.of(rgbOf(clBlack)), QRegion(box));
    EXPECT_EQ(inverted.at(box.right() + 1, y), rgbOf(clWhite));

    // Turned a quarter: the blocks run down the right edge.
    Surface vertical(24, 80);
    TvlCustomLookAndFeelPainter::Instance()->DrawProgressBarText(&vertical.Vl, true, true, blocks, Rect(0, 0, 24, 80),
                                                                 Rect(0, 0, 24, 80), Rect(0, 0, 24, 80), clLime);
    const QRect turned = vertical.of(rgbOf(clLime)).boundingRect();
    EXPECT_EQ(turned.width(), box.height());
    EXPECT_NEAR(turned.height(), box.width(), 1);
    EXPECT_LE(turned.right(), 23);
    EXPECT_GE(turned.left(), 24 - box.bottom() - 2);
}

TEST(vlLookAndFeelPainters, ContentBackgroundAndText)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    Surface s(30, 12);
    base->DrawContent(&s.Vl, Rect(0, 0, 30, 12), Rect(0, 0, 30, 12), vlbsNormal, taLeftJustify, vaTop, false, false,
                      String(), nullptr, clRed, clYellow);
    EXPECT_EQ(s.of(rgbOf(clYellow)).boundingRect(), QRect(0, 0, 30, 12));
    // A handler that draws the background itself suppresses the fill.
    Surface handled(30, 12);
    int calls = 0;
    const auto handler = TvlDrawBackgroundEvent::FromFunction([&](TvlCanvas*, const TRect& R) {
        ++calls;
        EXPECT_EQ(R, Rect(0, 0, 30, 12));
        return true;
    });
    base->DrawContent(&handled.Vl, Rect(0, 0, 30, 12), Rect(0, 0, 30, 12), vlbsNormal, taRightJustify, vaBottom,
                      false, false, String(1, QChar(0x2588)), nullptr, clRed, clYellow, handler);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(handled.of(rgbOf(clYellow)).isEmpty());
    const QRect text = handled.of(rgbOf(clRed)).boundingRect();
    EXPECT_EQ(text.right(), 29);
    EXPECT_GE(text.bottom(), 9);
}

TEST(vlLookAndFeelPainters, ChevronButtons)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    Surface up(15, 15);
    base->DrawGroupExpandButton(&up.Vl, Rect(0, 0, 15, 15), true, vlbsNormal);
    const std::vector<std::pair<QRgb, char>> legend = {{rgbOf(clBtnFace), ' '}, {rgbOf(clBtnText), '#'}};
    EXPECT_EQ(up.map(legend), "               \n"
                              "               \n"
                              "               \n"
                              "       #       \n"
                              "      ###      \n"
                              "     ## ##     \n"
                              "    ##   ##    \n"
                              "    #  #  #    \n"
                              "      ###      \n"
                              "     ## ##     \n"
                              "    ##   ##    \n"
                              "    #     #    \n"
                              "               \n"
                              "               \n"
                              "               \n");
    // The turned button is the upright one on its side.
    Surface upright(15, 15), turned(15, 15);
    base->DrawExpandChevronButton(&upright.Vl, Rect(0, 0, 15, 15), vlbsNormal, false, ra0);
    base->DrawExpandChevronButton(&turned.Vl, Rect(0, 0, 15, 15), vlbsNormal, false, raPlus90);
    ASSERT_FALSE(upright.of(rgbOf(clBtnText)).isEmpty());
    EXPECT_EQ(turned.of(rgbOf(clBtnText)).boundingRect().width(), upright.of(rgbOf(clBtnText)).boundingRect().height());
    EXPECT_EQ(turned.of(rgbOf(clBtnText)).boundingRect().height(), upright.of(rgbOf(clBtnText)).boundingRect().width());
}

TEST(vlLookAndFeelPainters, RadioGlyph)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    TSize size;
    base->RadioButtonSize(size);
    EXPECT_EQ(size.cx, size.cy);
    ASSERT_GE(size.cx, 12);
    // At (1, 1): the dot in the middle, the given background in the corner
    // outside the circle, nothing beyond the glyph.
    Surface checked(15, 15);
    base->DrawRadioButton(&checked.Vl, 1, 1, vlbsNormal, true, false, clYellow);
    EXPECT_EQ(checked.at(7, 7), rgbOf(clWindowText));
    EXPECT_EQ(checked.at(1, 1), rgbOf(clYellow));
    EXPECT_EQ(checked.at(0, 0), sentinel);
    EXPECT_EQ(checked.at(14, 14), sentinel);
    Surface unchecked(15, 15);
    base->DrawRadioButton(&unchecked.Vl, 1, 1, vlbsNormal, false, false);
    EXPECT_EQ(unchecked.at(7, 7), rgbOf(clWindow));
    EXPECT_EQ(unchecked.at(1, 1), sentinel);
}

TEST(vlLookAndFeelPainters, ClockHandsAndMarks)
{
    Surface s(41, 41);
    TvlCustomLookAndFeelPainter::Instance()->DrawClock(&s.Vl, Rect(0, 0, 41, 41), EncodeTime(3, 0, 0, 0), clWhite);
    const QRgb hand = rgbOf(TColor(0x808000));
    // At three the hour hand points right, the minute hand up.
    EXPECT_EQ(s.at(28, 20), hand);
    EXPECT_EQ(s.at(21, 12), hand);
    EXPECT_EQ(s.at(20, 8), rgbOf(clRed));  // the second hand over it
    EXPECT_EQ(s.at(12, 20), rgbOf(clWhite));
    // The mark at twelve: the dot with its light and dark edges.
    EXPECT_EQ(s.at(20, 2), hand);
    EXPECT_EQ(s.at(19, 2), rgbOf(TColor(0xFFFF00)));
    EXPECT_EQ(s.at(21, 2), rgbOf(clBtnText));
}

TEST(vlLookAndFeelPainters, PageWithFrameAndShadow)
{
    Surface s(12, 12);
    TvlCustomLookAndFeelPainter::Instance()->DrawPage(&s.Vl, Rect(0, 0, 12, 12), Rect(3, 3, 7, 7), 0, true);
    const std::vector<std::pair<QRgb, char>> legend = {{rgbOf(clWindowText), '#'}, {rgbOf(clWindow), ' '}};
    // The page less two pixels, one more all round for kind 0; the content
    // left out; the shadow two pixels right and down.
    EXPECT_EQ(s.map(legend), "............\n"
                             ".########...\n"
                             ".########...\n"
                             ".##    ####.\n"
                             ".##    ####.\n"
                             ".##    ####.\n"
                             ".##    ####.\n"
                             ".##########.\n"
                             ".##########.\n"
                             "...########.\n"
                             "...########.\n"
                             "............\n");
}

TEST(vlLookAndFeelPainters, FootersAndGroupPanels)
{
    TRect r;
    TNeighbourPainter::Instance()->FooterCellContentBounds(Rect(0, 0, 20, 10), r);
    EXPECT_EQ(r, Rect(1, 1, 19, 9));
    TNeighbourPainter::Instance()->FooterCellTextAreaBounds(Rect(0, 0, 20, 10), r);
    EXPECT_EQ(r, Rect(3, 3, 17, 7));

    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    // The separator on top; the base border below it draws nothing.
    Surface area(4, 3);
    base->DrawFooterArea(&area.Vl, Rect(0, 0, 4, 3));
    EXPECT_EQ(area.map({{rgbOf(clBtnShadow), 'S'}}), "SSSS\n....\n....\n");

    // A group panel item: its frame, left out of the fill that follows.
    const std::vector<std::pair<QRgb, char>> legend = {
        {rgbOf(clBtnShadow), 'S'}, {rgbOf(clBtnFace), 'F'}, {rgbOf(clHighlight), 'H'}};
    Surface item(5, 4);
    base->DrawGroupPanelItemEx(&item.Vl, Rect(0, 0, 5, 4), false, vlbsNormal, {bRight, bBottom});
    EXPECT_EQ(item.map(legend), "FFFFS\nFFFFS\nFFFFS\nSSSSS\n");
    Surface hot(5, 4);
    base->DrawGroupPanelItem(&hot.Vl, Rect(0, 0, 5, 4), false, vlbsHot);
    EXPECT_EQ(hot.map(legend), "HHHHH\nHHHHH\nHHHHH\nHHHHH\n");
    // The frame stays out of the caller's later painting.
    hot.Vl.FillRectByColor(Rect(0, 0, 5, 4), clBtnFace);
    EXPECT_EQ(hot.at(0, 0), rgbOf(clHighlight));
}

TEST(vlLookAndFeelPainters, DisabledSectionTextIsEmbossed)
{
    Surface s(20, 16);
    TvlCustomLookAndFeelPainter::Instance()->DrawHeaderSection(
        &s.Vl, Rect(0, 0, 20, 16), Rect(2, 2, 18, 14), {}, vlBordersAll, vlbsDisabled, taCenter, vaCenter, false,
        false, String(1, QChar(0x2588)), nullptr, clRed, clYellow);
    const QRegion shadow = s.of(rgbOf(clBtnShadow)), light = s.of(rgbOf(clBtnHighlight));
    ASSERT_FALSE(shadow.isEmpty());
    // The highlight copy lies one pixel right and down, under the shadow.
    EXPECT_TRUE((light - QRegion(shadow.boundingRect().translated(1, 1))).isEmpty());
    EXPECT_EQ(light.boundingRect().bottomRight(), shadow.boundingRect().bottomRight() + QPoint(1, 1));
    EXPECT_TRUE(s.of(rgbOf(clRed)).isEmpty());
    EXPECT_EQ(s.at(1, 1), rgbOf(clYellow));
}

TEST(vlLookAndFeelPainters, CloseCrossAndNavigationArrow)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    Surface cross(11, 9);
    base->DrawFilterPanelCloseButton(&cross.Vl, Rect(0, 0, 11, 9), vlbsNormal);
    EXPECT_EQ(cross.map({{rgbOf(clBtnFace), ' '}, {rgbOf(clBtnText), '#'}}), "           \n"
                                                                             "  ##    ## \n"
                                                                             "   ##  ##  \n"
                                                                             "    ####   \n"
                                                                             "     ##    \n"
                                                                             "    ####   \n"
                                                                             "   ##  ##  \n"
                                                                             "  ##    ## \n"
                                                                             "           \n");
    Surface arrow(7, 7);
    base->DrawNavigationArrow(&arrow.Vl, Rect(0, 0, 7, 7), true, clRed);
    EXPECT_EQ(arrow.map({{rgbOf(clRed), '#'}}), "...##.#\n"
                                                "..##..#\n"
                                                ".##...#\n"
                                                "##....#\n"
                                                ".##...#\n"
                                                "..##..#\n"
                                                "...##.#\n");
}

TEST(vlLookAndFeelPainters, TrackBarThumbPointsWhereItsShapeSays)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    TRect r = Rect(0, 0, 10, 14);
    base->AdjustTrackBarThumbBounds(nullptr, r, true, tbtsPointedTop);
    EXPECT_EQ(r, Rect(0, 0, 11, 15));
    struct Row {
        bool Horizontal;
        TvlTrackBarThumbShape Shape;
        TPoint Tip, Cut, Square;  // the point, a cut-off corner, a full corner
    };
    const Row rows[] = {
        {true, tbtsPointedTop, TPoint{5, 0}, TPoint{0, 0}, TPoint{0, 14}},
        {true, tbtsPointedBottom, TPoint{5, 14}, TPoint{10, 14}, TPoint{10, 0}},
        {false, tbtsPointedTop, TPoint{0, 5}, TPoint{0, 10}, TPoint{14, 10}},
        {false, tbtsPointedBottom, TPoint{14, 5}, TPoint{14, 0}, TPoint{0, 0}},
        {true, tbtsRectangle, TPoint{5, 0}, TPoint{10, 14}, TPoint{0, 0}},
    };
    for (const Row& row : rows) {
        Surface s(15, 15);
        base->DrawTrackBarThumb(&s.Vl, row.Horizontal ? Rect(0, 0, 11, 15) : Rect(0, 0, 15, 11), vlbsNormal,
                                row.Horizontal, row.Shape, clRed);
        const std::string map = s.map({{rgbOf(clRed), '#'}});
        EXPECT_EQ(s.at(row.Tip.X, row.Tip.Y), rgbOf(clRed)) << map;
        EXPECT_EQ(s.at(row.Square.X, row.Square.Y), rgbOf(clRed)) << map;
        if (row.Shape == tbtsRectangle)
            EXPECT_EQ(s.at(row.Cut.X, row.Cut.Y), rgbOf(clRed)) << map;
        else
            EXPECT_EQ(s.at(row.Cut.X, row.Cut.Y), sentinel) << map;
    }
}

TEST(vlLookAndFeelPainters, HeaderWithScrollArrows)
{
    Surface s(40, 13);
    TvlViewParams params;
    params.Color = clYellow;
    params.TextColor = clRed;
    TvlCustomLookAndFeelPainter::Instance()->DrawHeaderWithScrollArrows(&s.Vl, Rect(0, 0, 40, 13), String(), {},
                                                                        params, 3, 6);
    // The bases stand 5 pixels in from either edge, the points outwards.
    const QRegion arrows = s.of(rgbOf(clWindowText));
    const QRect left = (arrows & QRect(0, 0, 20, 13)).boundingRect();
    const QRect right = (arrows & QRect(20, 0, 20, 13)).boundingRect();
    EXPECT_EQ(left.right(), 5) << s.map({{rgbOf(clWindowText), '#'}, {rgbOf(clYellow), ' '}});
    EXPECT_EQ(right.left(), 34);
    EXPECT_EQ(left.height() % 2, 1);
    EXPECT_EQ(left.height(), right.height());
    EXPECT_EQ(left.width(), right.width());
    EXPECT_LT(left.left(), left.right());
    EXPECT_TRUE(s.of(rgbOf(clYellow)).contains(QPoint(20, 6)));
}

// ---------------------------------------------------------------- the looks

const TvlCustomLookAndFeelPainter* standardLook() { return TvlStandardLookAndFeelPainter::Instance(); }
const TvlCustomLookAndFeelPainter* flatLook() { return TvlFlatLookAndFeelPainter::Instance(); }
const TvlUltraFlatLookAndFeelPainter* ultraFlatLook() { return TvlUltraFlatLookAndFeelPainter::Instance(); }
const TvlOffice11LookAndFeelPainter* office11Look() { return TvlOffice11LookAndFeelPainter::Instance(); }

TEST(vlLookAndFeelPainters, MetricsOfTheLooks)
{
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        int Border, DefaultButtonBorder, ButtonBorder, Indent, Shift, Expand;
        bool HotTrack;
    };
    const Row rows[] = {
        {standardLook(), 2, 3, 2, 1, 1, 12, false},
        {flatLook(), 1, 2, 1, 1, 1, 11, false},
        {ultraFlatLook(), 1, 2, 1, 2, 0, 11, true},
        {office11Look(), 1, 2, 1, 2, 0, 11, true},
    };
    for (const Row& row : rows) {
        const auto* p = row.Painter;
        EXPECT_EQ(p->BorderSize(), row.Border) << p->LookAndFeelStyle();
        EXPECT_EQ(p->ButtonBorderWidth(vlbsDefault), row.DefaultButtonBorder) << p->LookAndFeelStyle();
        EXPECT_EQ(p->ButtonBorderWidth(vlbsPressed), row.ButtonBorder) << p->LookAndFeelStyle();
        EXPECT_EQ(p->ButtonTextIndent(), row.Indent) << p->LookAndFeelStyle();
        EXPECT_EQ(p->ButtonPressedTextShift(), row.Shift) << p->LookAndFeelStyle();
        EXPECT_EQ(p->ExpandButtonSize(), row.Expand) << p->LookAndFeelStyle();
        EXPECT_EQ(p->IsButtonHotTrack(), row.HotTrack) << p->LookAndFeelStyle();
    }
    EXPECT_EQ(office11Look()->SmallExpandButtonSize(), 11);
    EXPECT_FALSE(office11Look()->DrawExpandButtonFirst());
    EXPECT_TRUE(office11Look()->NeedRedrawOnResize());
    EXPECT_EQ(standardLook()->DefaultViewContentColor(), clWindow);
    EXPECT_EQ(ultraFlatLook()->DefaultViewContentColor(), TColor(0xD5FFFF));

    // A row of buttons: the outer ends are wider.
    struct Group {
        int Count, Index;
        TRect Expected;
    };
    for (const Group& g : {Group{3, 0, TRect{2, 2, 1, 2}}, Group{3, 1, TRect{1, 2, 1, 2}},
                           Group{3, 2, TRect{1, 2, 2, 2}}, Group{1, 0, TRect{2, 2, 1, 2}}}) {
        TRect r;
        ultraFlatLook()->GetButtonGroupBorders(g.Count, g.Index, r);
        EXPECT_EQ(r, g.Expected) << g.Count << " " << g.Index;
    }
    TRect focus;
    ultraFlatLook()->GetButtonFocusBounds(nullptr, Rect(0, 0, 20, 20), focus);
    EXPECT_EQ(focus, Rect(3, 3, 17, 17));
}

TEST(vlLookAndFeelPainters, SymbolAndFaceColoursOfTheFlatLooks)
{
    const LookColors colors;
    const auto* u = ultraFlatLook();
    // The symbol changes only when pressed (light) or disabled (shadow).
    EXPECT_EQ(u->ButtonGlyphColor(vlbsNormal, clDefault), clBtnText);
    EXPECT_EQ(u->ButtonGlyphColor(vlbsHot, clDefault), clBtnText);
    EXPECT_EQ(u->ButtonGlyphColor(vlbsPressed, clRed), clHighlightText);
    EXPECT_EQ(u->ButtonGlyphColor(vlbsDisabled, clRed), clBtnShadow);
    EXPECT_EQ(u->ButtonGlyphState(vlbsDisabled), vlbsNormal);
    EXPECT_EQ(u->ButtonFaceColor(vlbsHot), LightHotColor());
    EXPECT_EQ(u->ButtonFaceColor(vlbsPressed), LightDownColor());
    EXPECT_EQ(u->ButtonBorderColorForState(vlbsNormal), clBtnShadow);
    EXPECT_EQ(u->ButtonBorderColorForState(vlbsDisabled), clHighlight);

    const auto* o = office11Look();
    EXPECT_EQ(o->ButtonFaceColor(vlbsNormal), Office11ControlFaceColor);
    EXPECT_EQ(o->ButtonFaceColor(vlbsHot), Office11HotFaceColor);
    EXPECT_EQ(o->ButtonFaceColor(vlbsDisabled), clBtnFace);
    EXPECT_EQ(o->CheckFaceColor(vlbsHot), Office11HotFaceColor);
    EXPECT_EQ(o->CheckFaceColor(vlbsNormal), clWindow);
    EXPECT_EQ(o->ButtonGlyphColor(vlbsNormal, clRed), Office11GlyphColor);
    EXPECT_EQ(o->ButtonGlyphColor(vlbsDisabled, clRed), Office11DisabledGlyphColor);
    // Without a standard themed scheme the pressed symbol is light.
    ASSERT_FALSE(vxOffice11::UsesStandardXPColors());
    EXPECT_EQ(o->ButtonGlyphColor(vlbsPressed, clRed), clHighlightText);
    EXPECT_EQ(o->GradientMiddleColor(),
              vxOffice11::MixColors(Office11GradientLightColor, Office11GradientDarkColor, 50));
    // Colours defined through others follow this look's.
    EXPECT_EQ(o->DefaultHeaderColor(), o->GradientMiddleColor());
    EXPECT_EQ(o->DefaultMiscColorB(), o->GradientMiddleColor());
    EXPECT_EQ(o->DefaultHeaderColorA(), Office11GroupByBoxLineColor);
    EXPECT_EQ(o->ButtonBorderColorForState(vlbsNormal), Office11SeparatorDarkColor);
    EXPECT_EQ(o->BorderLineColor(), Office11SeparatorDarkColor);
    EXPECT_EQ(o->DarkBorderLineColor(), clBtnText);
}

TEST(vlLookAndFeelPainters, BordersOfTheLooks)
{
    const LookColors colors;
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        const char* Expected;
    };
    const Row rows[] = {
        {standardLook(), "SSSSSH\nSDDDLH\nSD..LH\nSD..LH\nSLLLLH\nHHHHHH\n"},
        {flatLook(), "SSSSSH\nS....H\nS....H\nS....H\nS....H\nHHHHHH\n"},
        {ultraFlatLook(), "SSSSSS\nS....S\nS....S\nS....S\nS....S\nSSSSSS\n"},
        // The scheme's border colour is the shadow without a themed system.
        {office11Look(), "SSSSSS\nS....S\nS....S\nS....S\nS....S\nSSSSSS\n"},
    };
    for (const Row& row : rows) {
        Surface s(6, 6);
        row.Painter->DrawBorder(&s.Vl, Rect(0, 0, 6, 6));
        EXPECT_EQ(s.map(lookLegend()), row.Expected) << row.Painter->LookAndFeelStyle();
    }
}

// Footer cells, track-bar bounds and thumbs, group boxes: one 4 x 4 map of
// each per look, in a row.
TEST(vlLookAndFeelPainters, FramesOfTheLooks)
{
    const LookColors colors;
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        const char* Expected;
    };
    const Row rows[] = {
        // The group box's shadow frame is left out of later painting: the
        // highlight frame shows only where the shadow is not.
        {standardLook(), "SSSH HHHS SSSH HHHD SSS.\n"
                         "S..H H..S SDLH HLSD SHSH\n"
                         "S..H H..S SLLH HSSD SSSH\n"
                         "HHHH SSSS HHHH DDDD .HHH\n"},
        {flatLook(), "SSSH HHHS SSSH HHHS SSSS\n"
                     "S..H H..S SFFH H..S SHHS\n"
                     "S..H H..S SFFH H..S SHHS\n"
                     "HHHH SSSS HHHH SSSS SSSS\n"},
        {ultraFlatLook(), "SSSS ...S wwww wwww hhhh\n"
                          "S..S ...S w..w w..w h..h\n"
                          "S..S ...S w..w w..w h..h\n"
                          "SSSS SSSS wwww wwww hhhh\n"},
    };
    for (const Row& row : rows) {
        Surface s(24, 4);
        row.Painter->DrawFooterCellBorder(&s.Vl, Rect(0, 0, 4, 4));
        row.Painter->DrawFooterBorder(&s.Vl, Rect(5, 0, 9, 4));
        row.Painter->DrawTrackBarTrackBounds(&s.Vl, Rect(10, 0, 14, 4));
        row.Painter->DrawTrackBarThumbBorder(&s.Vl, Rect(15, 0, 19, 4));
        row.Painter->DrawGroupBoxFrame(&s.Vl, Rect(20, 0, 24, 4), true, 0, vlBordersAll);
        std::string map = s.map(lookLegend());
        for (int y = 0; y < 4; ++y)
            for (int x : {4, 9, 14, 19})
                map[y * 25 + x] = ' ';
        EXPECT_EQ(map, row.Expected) << row.Painter->LookAndFeelStyle();
    }
    // A disabled ultra-flat group box is drawn in the shadow colour, on the
    // sides asked for only.
    Surface box(4, 4);
    ultraFlatLook()->DrawGroupBoxFrame(&box.Vl, Rect(0, 0, 4, 4), false, 0, TvlBorders{bLeft, bBottom});
    EXPECT_EQ(box.map(lookLegend()), "S...\nS...\nS...\nSSSS\n");
    // Office 11: frames in the button text colour, the calendar keeps R.
    Surface office(10, 4);
    office11Look()->DrawTrackBarTrackBounds(&office.Vl, Rect(0, 0, 4, 4));
    office11Look()->DrawTrackBarThumbBorder(&office.Vl, Rect(5, 0, 9, 4));
    EXPECT_EQ(office.map(lookLegend()), "TTTT.TTTT.\nT..T.T..T.\nT..T.T..T.\nTTTT.TTTT.\n");
    TRect calendar = Rect(0, 0, 10, 4);
    office11Look()->DrawCalendarBorder(&office.Vl, calendar);
    EXPECT_EQ(calendar, Rect(0, 0, 10, 4));
    EXPECT_EQ(office.of(rgbOf(office11Look()->DefaultCalendarColorB())), QRegion(0, 0, 10, 4));
}

// Header cells and sections of the classic looks, normal and pressed, side
// by side; then what touching cells leave out.
TEST(vlLookAndFeelPainters, HeadersOfTheLooks)
{
    const LookColors colors;
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        const char* Expected;
    };
    const Row rows[] = {
        {standardLook(), "HHHS HHHD SSSS\n"
                         "H..S HLSD S..S\n"
                         "H..S HSSD S..S\n"
                         "SSSS DDDD SSSS\n"},
        {flatLook(), "HHHS HHHS SSSH\n"
                     "H..S H..S S..H\n"
                     "H..S H..S S..H\n"
                     "SSSS SSSS HHHH\n"},
        {ultraFlatLook(), "TTTT KKKK KKKK\n"
                          "T..T K..K K..K\n"
                          "T..T K..K K..K\n"
                          "TTTT KKKK KKKK\n"},
    };
    for (const Row& row : rows) {
        Surface s(14, 4);
        row.Painter->DrawHeaderBorder(&s.Vl, Rect(0, 0, 4, 4), {}, vlBordersAll);
        row.Painter->DrawHeaderSectionBorder(&s.Vl, Rect(5, 0, 9, 4), vlBordersAll, vlbsNormal);
        row.Painter->DrawHeaderSectionBorder(&s.Vl, Rect(10, 0, 14, 4), vlBordersAll, vlbsPressed);
        std::string map = s.map(lookLegend());
        for (int y = 0; y < 4; ++y)
            for (int x : {4, 9})
                map[y * 15 + x] = ' ';
        EXPECT_EQ(map, row.Expected) << row.Painter->LookAndFeelStyle();
    }
    // Ultra-flat: a cell with neighbours on the left and above draws only its
    // right and bottom lines; a disabled section is framed in the shadow.
    const auto* ultraFlat = ultraFlatLook();
    const TvlBorders borders = ultraFlat->HeaderBorders(TvlBorders{bLeft, bTop});
    EXPECT_EQ(borders, (TvlBorders{bRight, bBottom}));
    Surface cell(4, 4);
    ultraFlat->DrawHeaderBorder(&cell.Vl, Rect(0, 0, 4, 4), TvlBorders{bLeft, bTop}, borders);
    EXPECT_EQ(cell.map(lookLegend()), "...T\n...T\n...T\nTTTT\n");
    Surface disabled(4, 4);
    ultraFlat->DrawHeaderSectionBorder(&disabled.Vl, Rect(0, 0, 4, 4), TvlBorders{bTop}, vlbsDisabled);
    EXPECT_EQ(disabled.map(lookLegend()), "SSSS\n....\n....\n....\n");
    EXPECT_EQ(office11Look()->HeaderBorders(TvlBorders{bLeft, bTop}), vlBordersAll);
    // The standard section's border is thinner while pressed.
    EXPECT_EQ(standardLook()->HeaderSectionBorderWidth(vlbsNormal), 2);
    EXPECT_EQ(standardLook()->HeaderSectionBorderWidth(vlbsPressed), 1);
}

// Sizes and splitter colours that differ between the looks.
TEST(vlLookAndFeelPainters, SizesAndSplitterColoursOfTheLooks)
{
    const LookColors colors;
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        TPoint SortingMark;
        int CellSpacing;
        TSize Splitter;
        TColor Outer, HotOuter;
    };
    const Row rows[] = {
        {standardLook(), TPoint{8, 7}, 1, TSize{17, 2}, clBtnShadow, clBtnShadow},
        {flatLook(), TPoint{8, 7}, 1, TSize{17, 2}, clBtnShadow, cl3DDkShadow},
        {ultraFlatLook(), TPoint{7, 8}, 2, TSize{17, 1}, clBtnShadow, clHighlight},
        {office11Look(), TPoint{7, 8}, 2, TSize{17, 2}, Office11SeparatorDarkColor, Office11HotBorderColor},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Painter->LookAndFeelStyle());
        TPoint mark;
        row.Painter->SortingMarkSize(mark);
        EXPECT_EQ(mark, row.SortingMark);
        EXPECT_EQ(row.Painter->FooterCellSpacing(), row.CellSpacing);
        EXPECT_EQ(row.Painter->FooterBorderWidth(), 1);
        EXPECT_EQ(row.Painter->TabBorderWidth(false), 1);
        TSize splitter, vertical;
        row.Painter->GetSplitterSize(true, splitter);
        row.Painter->GetSplitterSize(false, vertical);
        EXPECT_EQ(splitter, row.Splitter);
        EXPECT_EQ(vertical, (TSize{row.Splitter.cy, row.Splitter.cx}));
        EXPECT_EQ(row.Painter->GetSplitterOuterColor(false), row.Outer);
        EXPECT_EQ(row.Painter->GetSplitterOuterColor(true), row.HotOuter);
    }
    EXPECT_EQ(office11Look()->FooterSeparatorColor(), office11Look()->SeparatorDarkColor());
    EXPECT_EQ(ultraFlatLook()->GroupPanelBorders(), (TvlBorders{bRight, bBottom}));
}

TEST(vlLookAndFeelPainters, ButtonsOfTheLooks)
{
    const LookColors colors;
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        TvlButtonState State;
        std::string Expected;
    };
    const Row rows[] = {
        {standardLook(), vlbsNormal, "HHHHHHD\nHLLLLSD\nHLFFFSD\nHLFFFSD\nHLFFFSD\nHSSSSSD\nDDDDDDD\n"},
        // The default button: a black frame and three pixels of border.
        {standardLook(), vlbsDefault, "KKKKKKK\nKHHHHDK\nKHLLSDK\nKHLFSDK\nKHSSSDK\nKDDDDDK\nKKKKKKK\n"},
        {standardLook(), vlbsPressed, "KKKKKKK\nKSSSSSK\nKSFFFSK\nKSFFFSK\nKSFFFSK\nKSSSSSK\nKKKKKKK\n"},
        {flatLook(), vlbsNormal, "HHHHHHS\nHFFFFFS\nHFFFFFS\nHFFFFFS\nHFFFFFS\nHFFFFFS\nSSSSSSS\n"},
        {flatLook(), vlbsDefault, "KKKKKKK\nKHHHHSK\nKHFFFSK\nKHFFFSK\nKHFFFSK\nKSSSSSK\nKKKKKKK\n"},
        {flatLook(), vlbsPressed, "SSSSSSH\nSFFFFFH\nSFFFFFH\nSFFFFFH\nSFFFFFH\nSFFFFFH\nHHHHHHH\n"},
        {ultraFlatLook(), vlbsNormal, framedMap(7, 'T', 'F')},
        {ultraFlatLook(), vlbsDisabled, framedMap(7, 'S', 'F')},
        {ultraFlatLook(), vlbsDefault, "fffffff\nfffffff\nffFFFff\nffFFFff\nffFFFff\nfffffff\nfffffff\n"},
        {ultraFlatLook(), vlbsHot, framedMap(7, 'h', 'o')},
        {ultraFlatLook(), vlbsPressed, framedMap(7, 'h', 'p')},
        {office11Look(), vlbsNormal, framedMap(7, 'T', 'F')},
        {office11Look(), vlbsDisabled, framedMap(7, 'g', 'F')},
        // Without a themed system the scheme's hot face is the light hot colour.
        {office11Look(), vlbsHot, framedMap(7, 'h', 'o')},
    };
    auto legend = lookLegend();
    legend.push_back({rgbOf(LightHotColor()), 'o'});
    legend.push_back({rgbOf(LightDownColor()), 'p'});
    for (const Row& row : rows) {
        Surface s(7, 7);
        row.Painter->DrawButton(&s.Vl, Rect(0, 0, 7, 7), String(), row.State);
        EXPECT_EQ(s.map(legend), row.Expected) << row.Painter->LookAndFeelStyle() << " state " << row.State;
    }
}

TEST(vlLookAndFeelPainters, UltraFlatButtonsInARow)
{
    const LookColors colors;
    struct Row {
        TvlButtonState State;
        int Index;
        const char* Expected;
    };
    const Row rows[] = {
        // Normal: a frame in the given colour, inset at the top and bottom
        // and at the outer end of the row.
        {vlbsNormal, 0, "......\n.rrrrr\n.rFFFr\n.rrrrr\n......\n"},
        {vlbsNormal, 1, "......\nrrrrrr\nrFFFFr\nrrrrrr\n......\n"},
        // Hot: strips of the hot colour between the buttons, no frame.
        {vlbsHot, 1, "......\nhooooh\nhooooh\nhooooh\n......\n"},
        {vlbsHot, 2, "......\nhoooo.\nhoooo.\nhoooo.\n......\n"},
    };
    auto legend = lookLegend();
    legend.push_back({rgbOf(clRed), 'r'});
    legend.push_back({rgbOf(LightHotColor()), 'o'});
    for (const Row& row : rows) {
        Surface s(6, 5);
        ultraFlatLook()->DrawButtonInGroup(&s.Vl, Rect(0, 0, 6, 5), row.State, 3, row.Index, clRed);
        EXPECT_EQ(s.map(legend), row.Expected) << row.State << " " << row.Index;
    }
    Surface s(6, 5);
    ultraFlatLook()->DrawNavigatorBorder(&s.Vl, Rect(0, 0, 6, 5), false, true);
    EXPECT_EQ(s.at(0, 0), rgbOf(clHighlight));
    ultraFlatLook()->DrawNavigatorBorder(&s.Vl, Rect(0, 0, 6, 5), true, true);
    EXPECT_EQ(s.at(0, 0), rgbOf(clBtnText));
}

TEST(vlLookAndFeelPainters, SeparatorsAndCheckBorders)
{
    const LookColors colors;
    struct Separator {
        const TvlCustomLookAndFeelPainter* Painter;
        const char* Expected;
    };
    // A horizontal 6 x 6 area: a strip across the middle columns.
    const Separator separators[] = {
        {standardLook(), "..S...\n..SH..\n..SH..\n..SH..\n..SH..\n...H..\n"},
        {flatLook(), "..S...\n..SH..\n..SH..\n..SH..\n..SH..\n...H..\n"},
        {ultraFlatLook(), "...S..\n...S..\n...S..\n...S..\n...S..\n...S..\n"},
    };
    for (const Separator& row : separators) {
        Surface s(6, 6);
        row.Painter->DrawSeparator(&s.Vl, Rect(0, 0, 6, 6), true);
        EXPECT_EQ(s.map(lookLegend()), row.Expected) << row.Painter->LookAndFeelStyle();
    }
    Surface office(6, 6);
    office11Look()->DrawSeparator(&office.Vl, Rect(0, 0, 6, 6), false);
    EXPECT_EQ(office.map({{rgbOf(Office11SeparatorDarkColor), 'd'}, {rgbOf(Office11SeparatorLightColor), 'l'}}),
              "......\n......\nddddd.\n.lllll\n......\n......\n");

    struct Check {
        const TvlCustomLookAndFeelPainter* Painter;
        TvlButtonState State;
        const char* Expected;
    };
    const Check checks[] = {
        {standardLook(), vlbsNormal, "DDDDL\nDSSHL\nDS.HL\nDHHHL\nLLLLL\n"},
        {flatLook(), vlbsNormal, "SSSSH\nSWWWH\nSW.WH\nSWWWH\nHHHHH\n"},
        {ultraFlatLook(), vlbsDisabled, "TTTTT\nTFFFT\nTF.FT\nTFFFT\nTTTTT\n"},
    };
    for (const Check& row : checks) {
        Surface s(5, 5);
        row.Painter->DrawCheckBorder(&s.Vl, Rect(0, 0, 5, 5), row.State);
        EXPECT_EQ(s.map(lookLegend()), row.Expected) << row.Painter->LookAndFeelStyle();
    }
}

TEST(vlLookAndFeelPainters, ExpandButtonsOfTheLooks)
{
    const LookColors colors;
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        bool Expanded;
        const char* Expected;
    };
    const Row rows[] = {
        // Raised: light left and top, dark right and bottom, shadow inside them.
        {standardLook(), false, "HHHHHHHHD\nHFFFFFFSD\nHFFFTFFSD\nHFFFTFFSD\nHFTTTTTSD\n"
                                "HFFFTFFSD\nHFFFTFFSD\nHSSSSSSSD\nDDDDDDDDD\n"},
        {ultraFlatLook(), true, "SSSSSSSSS\nSFFFFFFFS\nSFFFFFFFS\nSFFFFFFFS\nSFTTTTTFS\n"
                                "SFFFFFFFS\nSFFFFFFFS\nSFFFFFFFS\nSSSSSSSSS\n"},
        // A button of face colour with the sign in the inner rectangle.
        {flatLook(), true, "HHHHHHHHS\nHFFFFFFFS\nHFFFFFFFS\nHFFFFFFFS\nHFFTTTFFS\n"
                           "HFFFFFFFS\nHFFFFFFFS\nHFFFFFFFS\nSSSSSSSSS\n"},
    };
    for (const Row& row : rows) {
        Surface s(9, 9);
        row.Painter->DrawExpandButton(&s.Vl, Rect(0, 0, 9, 9), row.Expanded, clDefault);
        EXPECT_EQ(s.map(lookLegend()), row.Expected) << row.Painter->LookAndFeelStyle();
        // The button keeps what later painting would put over it.
        s.Vl.FillRectByColor(Rect(0, 0, 9, 9), clRed);
        EXPECT_EQ(s.map(lookLegend()), row.Expected) << row.Painter->LookAndFeelStyle();
    }
}

TEST(vlLookAndFeelPainters, Office11ExpandButtonBlendsItsCorners)
{
    const LookColors colors;
    Surface s(14, 14);
    s.Vl.FillRectByColor(Rect(0, 0, 14, 14), clRed);
    s.Vl.FillRectByColor(Rect(13, 13, 14, 14), clBlue);
    // The bitmap is 11 x 11 at the top-left whatever the rectangle's size.
    office11Look()->DrawExpandButton(&s.Vl, Rect(0, 0, 14, 14), true, clDefault);
    const TColor light = vxOffice11::MixColors(Office11GlyphCornerLightColor, clRed, 25);
    const TColor dark = vxOffice11::MixColors(Office11GlyphCornerDarkColor, clBlue, 25);
    EXPECT_EQ(s.at(0, 0), rgbOf(light));
    for (auto [x, y] : {std::pair{10, 10}, std::pair{0, 10}, std::pair{10, 0}})
        EXPECT_EQ(s.at(x, y), rgbOf(dark)) << x << "," << y;
    EXPECT_EQ(s.at(11, 5), rgbOf(clRed));
    EXPECT_EQ(s.at(5, 11), rgbOf(clRed));
    EXPECT_NE(s.at(5, 5), rgbOf(clRed));
}

TEST(vlLookAndFeelPainters, Office11ContentGradientsAndTheHotStripStayInside)
{
    const LookColors colors;
    const auto* office11 = office11Look();
    const QRgb middle = rgbOf(office11->GradientMiddleColor()), end = rgbOf(office11->GradientEndColor());
    const auto draw = [&](Surface& s, TvlButtonState AState, bool APlain) {
        office11->DrawContent(&s.Vl, Rect(2, 2, 12, 12), Rect(2, 2, 12, 12), AState, taLeftJustify, vaTop, false,
                              false, String(), nullptr, clDefault, clRed, nullptr, APlain);
    };
    // Normal: the middle colour above a 4-row gradient to the end colour.
    Surface normal(14, 14);
    draw(normal, vlbsNormal, false);
    EXPECT_EQ(normal.at(2, 2), middle);
    EXPECT_EQ(normal.at(11, 8), middle);
    EXPECT_EQ(normal.at(5, 11), end);
    EXPECT_TRUE(normal.of(rgbOf(clRed)).isEmpty());
    Surface plain(14, 14);
    draw(plain, vlbsNormal, true);
    EXPECT_EQ(plain.of(middle), QRegion(2, 2, 10, 10));
    // Hot: the light colour, and the hot strip in the bottom three rows of
    // the element itself, nothing left of it or below it.
    Surface hot(14, 14);
    draw(hot, vlbsHot, false);
    EXPECT_EQ(hot.at(5, 4), rgbOf(Office11GradientLightColor));
    EXPECT_EQ(hot.at(5, 9), rgbOf(Office11HotFaceColor));
    EXPECT_EQ(hot.at(2, 11), rgbOf(Office11HotFaceDarkColor));
    EXPECT_EQ(hot.at(11, 11), rgbOf(Office11HotFaceDarkColor));
    for (int y = 0; y < 14; ++y) {
        EXPECT_EQ(hot.at(1, y), sentinel) << y;
        EXPECT_EQ(hot.at(12, y), sentinel) << y;
    }
    for (int x = 0; x < 14; ++x)
        EXPECT_EQ(hot.at(x, 12), sentinel) << x;
    // A handler that paints takes the background's place; the strip stays.
    Surface handled(14, 14);
    const auto handler = TvlDrawBackgroundEvent::FromFunction([](TvlCanvas* C, const TRect& R) {
        C->FillRectByColor(R, clBlue);
        return true;
    });
    office11->DrawContent(&handled.Vl, Rect(2, 2, 12, 12), Rect(2, 2, 12, 12), vlbsHot, taLeftJustify, vaTop, false,
                          false, String(), nullptr, clDefault, clRed, handler);
    EXPECT_EQ(handled.at(5, 5), rgbOf(clBlue));
    EXPECT_EQ(handled.at(5, 11), rgbOf(Office11HotFaceDarkColor));
}

TEST(vlLookAndFeelPainters, Office11HeaderBorderCornersBlend)
{
    const LookColors colors;
    const auto* office11 = office11Look();
    const TColor middle = office11->GradientMiddleColor(), end = office11->GradientEndColor();
    const TColor dark = office11->SeparatorDarkColor(), light = office11->SeparatorLightColor();
    const std::vector<std::pair<QRgb, char>> legend = {
        {rgbOf(middle), 'M'},
        {rgbOf(end), 'E'},
        {rgbOf(dark), 'D'},
        {rgbOf(light), 'L'},
        {rgbOf(vxOffice11::MixColors(middle, end, 25)), 'n'},
        {rgbOf(vxOffice11::MixColors(middle, dark, 50)), 'a'},
        {rgbOf(vxOffice11::MixColors(end, dark, 50)), 'b'}};
    const std::pair<TvlBorders, const char*> rows[] = {
        {{}, "MMMMa\n"
             "M...D\n"
             "L...D\n"
             "L...D\n"
             "L...D\n"
             "E...b\n"
             "DDDDD\n"},
        {{bLeft, bRight}, "MMMMM\n"
                          "M...M\n"
                          "M...M\n"
                          "L...D\n"
                          "n...n\n"
                          "E...E\n"
                          "DDDDD\n"},
    };
    for (const auto& [neighbors, expected] : rows) {
        Surface s(5, 7);
        office11->DrawHeaderBorder(&s.Vl, Rect(0, 0, 5, 7), neighbors, vlBordersAll);
        EXPECT_EQ(s.map(legend), expected);
    }
    // Only the borders asked for.
    Surface none(5, 7);
    office11->DrawHeaderBorder(&none.Vl, Rect(0, 0, 5, 7), {}, {});
    EXPECT_EQ(none.of(sentinel), QRegion(0, 0, 5, 7));
}

// The Office 11 scheme's colours as letters, over the system colours.
std::vector<std::pair<QRgb, char>> office11Legend()
{
    const auto* office11 = office11Look();
    std::vector<std::pair<QRgb, char>> legend = lookLegend();
    // Those the classic colours give values of their own; the others (the
    // control face, line, glyph and hot border colours) show as the system
    // colours they are.
    const std::pair<TColor, char> scheme[] = {
        {Office11HotFaceColor, 'O'},           {Office11PressedFaceColor, 'P'},
        {office11->GradientMiddleColor(), 'M'}, {office11->GradientEndColor(), 'E'},
        {Office11SeparatorDarkColor, 'A'},     {Office11SeparatorLightColor, 'i'},
        {Office11GradientLightColor, 'l'},
        {clBlue, 'b'}};
    for (const auto& [color, letter] : scheme)
        legend.insert(legend.begin(), {rgbOf(color), letter});
    return legend;
}

TEST(vlLookAndFeelPainters, Office11GroupPanelItemsAndFilterButtons)
{
    const LookColors colors;
    const auto legend = office11Legend();
    // The frame in the group panel's colours, the content background inside:
    // plain across, with the bottom gradient standing.
    const std::tuple<bool, TvlButtonState, const char*> items[] = {
        {false, vlbsNormal, "SSSSS\nSMMMS\nSMMMS\nSMMMS\nSMMMS\nSMMMS\nSSSSS\n"},
        {true, vlbsNormal, "SSSSS\nSMMMS\nSMMMS\nSMMMS\nS???S\nS???S\nSSSSS\n"},
        {false, vlbsHot, "hhhhh\nhlllh\nhlllh\nhlllh\nhOOOh\nhOOOh\nhhhhh\n"},
    };
    for (const auto& [vertical, state, expected] : items) {
        Surface s(5, 7);
        office11Look()->DrawGroupPanelItem(&s.Vl, Rect(0, 0, 5, 7), vertical, state);
        EXPECT_EQ(s.map(legend), expected) << vertical << state;
    }
    // Filter buttons: a frame in the state's border colour, the face, and the
    // arrow in blue when the filter is active.
    const std::tuple<TvlButtonState, bool, const char*> buttons[] = {
        {vlbsNormal, false, "AAAAAAA\nAFFFFFA\nAFFFFFA\nAFTTTFA\nAFFTFFA\nAFFFFFA\nAAAAAAA\n"},
        {vlbsHot, true, "hhhhhhh\nhOOOOOh\nhOOOOOh\nhObbbOh\nhOObOOh\nhOOOOOh\nhhhhhhh\n"},
        {vlbsPressed, false, "hhhhhhh\nhPPPPPh\nhPPPPPh\nhPtttPh\nhPPtPPh\nhPPPPPh\nhhhhhhh\n"},
    };
    for (const auto& [state, active, expected] : buttons) {
        Surface s(7, 7);
        office11Look()->DrawFilterButton(&s.Vl, Rect(0, 0, 7, 7), state, active);
        EXPECT_EQ(s.map(legend), expected) << state;
    }
}

// The outlined triangle in the separator colours: light on the edges facing
// down and right, dark on those facing up and left.
TEST(vlLookAndFeelPainters, Office11SortingMarks)
{
    const LookColors colors;
    // The light separator colour is the button highlight here.
    const std::pair<bool, const char*> marks[] = {
        {true, ".........\n....H....\n...A.H...\n...A.H...\n..A...H..\n"
               "..A...H..\n.A.....H.\n.A.....H.\n.HHHHHHH.\n.........\n"},
        {false, ".........\n.AAAAAAA.\n.A.....H.\n.A.....H.\n..A...H..\n"
                "..A...H..\n...A.H...\n...A.H...\n....H....\n.........\n"},
    };
    for (const auto& [ascending, expected] : marks) {
        Surface s(9, 10);
        office11Look()->DrawSortingMark(&s.Vl, Rect(0, 0, 9, 10), ascending);
        EXPECT_EQ(s.map(office11Legend()), expected) << ascending;
    }
}

TEST(vlLookAndFeelPainters, Office11NavigationButtonsAndHeaderWithScrollArrows)
{
    const LookColors colors;
    const auto legend = office11Legend();
    // The face of the state, a line frame open towards the content, the
    // arrow in the glyph colour.
    const std::tuple<bool, TvlButtonState, const char*> buttons[] = {
        {true, vlbsNormal,
         "SSSSSSSSS\nSFTTFFFFF\nSFTTTFFFF\nSFTFTTFFF\nSFTFFTTFF\nSFTFTTFFF\nSFTTTFFFF\nSFTTFFFFF\nSSSSSSSSS\n"},
        {false, vlbsHot,
         "SSSSSSSSS\nOOOOOTTOS\nOOOOTTTOS\nOOOTTOTOS\nOOTTOOTOS\nOOOTTOTOS\nOOOOTTTOS\nOOOOOTTOS\nSSSSSSSSS\n"},
        {false, vlbsPressed,
         "SSSSSSSSS\nPPPPPttPS\nPPPPtttPS\nPPPttPtPS\nPPttPPtPS\nPPPttPtPS\nPPPPtttPS\nPPPPPttPS\nSSSSSSSSS\n"},
    };
    for (const auto& [next, state, expected] : buttons) {
        Surface s(9, 9);
        office11Look()->DrawNavigationButtonContent(&s.Vl, Rect(0, 0, 9, 9), Rect(2, 1, 7, 8), next, state);
        EXPECT_EQ(s.map(legend), expected) << next << state;
    }
    // Header with scroll arrows: no borders, a one-pixel margin left as it
    // was, the view colour inside and the arrows in window text.
    TvlViewParams params;
    params.Color = clBtnFace;
    params.TextColor = clWindowText;
    Surface s(16, 9);
    office11Look()->DrawHeaderWithScrollArrows(&s.Vl, Rect(0, 0, 16, 9), String(), {}, params, 3, 4);
    EXPECT_EQ(s.map(legend), "................\n"
                             ".FFFFFFFFFFFFFF.\n"
                             ".FFFFFFFFFFFFFF.\n"
                             ".FFFFFFFFFFFFFF.\n"
                             ".FwwFFFFFFFFwFF.\n"
                             ".wwwFFFFFFFFwww.\n"
                             ".FwwFFFFFFFFwwF.\n"
                             ".FFFFFFFFFFFFFF.\n"
                             "................\n");
    // A handler that paints takes the view colour's place.
    Surface handled(16, 9);
    office11Look()->DrawHeaderWithScrollArrows(
        &handled.Vl, Rect(0, 0, 16, 9), String(), {}, params, 0, 4,
        TvlDrawBackgroundEvent::FromFunction([](TvlCanvas* C, const TRect& R) {
            C->FillRectByColor(R, clBlue);
            return true;
        }));
    EXPECT_EQ(handled.of(rgbOf(clBlue)), QRegion(1, 1, 14, 7));
}

TEST(vlLookAndFeelPainters, Office11PanelsGroupBoxesAndPointedThumbs)
{
    const LookColors colors;
    const auto legend = office11Legend();
    // Page panels and two-colour group-box backgrounds run from top to
    // bottom; one colour is plain.
    Surface page(3, 8);
    office11Look()->DrawPagePanel(&page.Vl, Rect(0, 0, 3, 8));
    EXPECT_EQ(page.at(1, 0), rgbOf(Office11GradientLightColor));
    EXPECT_EQ(page.at(1, 7), rgbOf(Office11GradientDarkColor));
    EXPECT_EQ(page.at(0, 3), page.at(2, 3));
    Surface box(3, 8);
    office11Look()->DrawGroupBoxBackground(&box.Vl, nullptr, Rect(0, 0, 3, 8), clRed, clBlue);
    EXPECT_EQ(box.at(1, 0), rgbOf(clRed));
    EXPECT_EQ(box.at(1, 7), rgbOf(clBlue));
    office11Look()->DrawGroupBoxBackground(&box.Vl, nullptr, Rect(0, 0, 3, 8), clGreen, clDefault);
    EXPECT_EQ(box.of(rgbOf(clGreen)), QRegion(0, 0, 3, 8));
    // Without visual styles: the ultra-flat group-box frame, the base
    // caption colours.
    Surface office(4, 4), ultraFlat(4, 4);
    office11Look()->DrawGroupBoxFrame(&office.Vl, Rect(0, 0, 4, 4), true, 0, vlBordersAll);
    ultraFlatLook()->DrawGroupBoxFrame(&ultraFlat.Vl, Rect(0, 0, 4, 4), true, 0, vlBordersAll);
    EXPECT_EQ(office.Image, ultraFlat.Image);
    EXPECT_EQ(office11Look()->GroupBoxCaptionTextColor(true), clWindowText);
    EXPECT_EQ(office11Look()->GroupBoxCaptionTextColor(false), clBtnShadow);
    // A pointed thumb: its outline in button text around the thumb colour.
    Surface thumb(7, 6);
    office11Look()->DrawTrackBarThumb(&thumb.Vl, Rect(0, 0, 7, 6), vlbsNormal, true, tbtsPointedTop, clBlue);
    EXPECT_EQ(thumb.map(legend), "...T...\n"
                                 "..TbT..\n"
                                 ".TbbbT.\n"
                                 "TbbbbbT\n"
                                 "TbbbbbT\n"
                                 "TTTTTTT\n");
    // The size grip is the scheme's own, not the system's frame control.
    Surface grip(12, 12);
    office11Look()->DrawSizeGrip(&grip.Vl, Rect(0, 0, 12, 12));
    EXPECT_FALSE(grip.of(rgbOf(Office11SizeGripDarkColor)).isEmpty());
    EXPECT_TRUE(grip.of(rgbOf(clBtnHighlight)).isEmpty());
}

// The outlined sorting triangles, centred in the area the looks ask for: the
// edges facing up and left dark, those facing down and right light.
TEST(vlLookAndFeelPainters, SortingMarksOfTheLooks)
{
    const LookColors colors;
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        bool Ascending;
        const char* Expected;
    };
    const Row rows[] = {
        {standardLook(), true, ".......SH.......\n"
                                "......S..H......\n"
                                "......S..H......\n"
                                ".....S....H.....\n"
                                ".....S....H.....\n"
                                "....S......H....\n"
                                "....HHHHHHHH....\n"},
        {standardLook(), false, "....SSSSSSSS....\n"
                                 "....S......H....\n"
                                 ".....S....H.....\n"
                                 ".....S....H.....\n"
                                 "......S..H......\n"
                                 "......S..H......\n"
                                 ".......SH.......\n"},
        {ultraFlatLook(), true, ".......S........\n"
                                 "......S.S.......\n"
                                 "......S.S.......\n"
                                 ".....S...S......\n"
                                 ".....S...S......\n"
                                 "....S.....S.....\n"
                                 "....S.....S.....\n"
                                 "....SSSSSSS.....\n"},
        {ultraFlatLook(), false, "....SSSSSSS.....\n"
                                  "....S.....S.....\n"
                                  "....S.....S.....\n"
                                  ".....S...S......\n"
                                  ".....S...S......\n"
                                  "......S.S.......\n"
                                  "......S.S.......\n"
                                  ".......S........\n"},
    };
    for (const Row& row : rows) {
        TPoint area;
        row.Painter->SortingMarkAreaSize(area);
        Surface s(area.X, area.Y);
        row.Painter->DrawSortingMark(&s.Vl, Rect(0, 0, area.X, area.Y), row.Ascending);
        EXPECT_EQ(s.map(lookLegend()), row.Expected) << row.Painter->LookAndFeelStyle() << row.Ascending;
        // The flat look shares the standard mark.
        if (row.Painter == standardLook()) {
            Surface flat(area.X, area.Y);
            flatLook()->DrawSortingMark(&flat.Vl, Rect(0, 0, area.X, area.Y), row.Ascending);
            EXPECT_EQ(flat.Image, s.Image);
        }
    }
}

// Filter drop-downs: a raised or sunken edge (classic) or a state frame
// (ultra-flat) around the arrow, blue while a filter is active.
TEST(vlLookAndFeelPainters, FilterButtonsOfTheLooks)
{
    const LookColors colors;
    auto legend = lookLegend();
    legend.push_back({rgbOf(clBlue), 'B'});
    legend.push_back({rgbOf(LightHotColor()), 'l'});
    legend.push_back({rgbOf(LightDownColor()), 'd'});
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        TvlButtonState State;
        bool Active;
        const char* Expected;
    };
    const Row rows[] = {
        {standardLook(), vlbsNormal, false, "LLLLLLLLD\n"
                                            "LHHHHHHSD\n"
                                            "LHFFFFFSD\n"
                                            "LHFTTTFSD\n"
                                            "LHFFTFFSD\n"
                                            "LHFFFFFSD\n"
                                            "LSSSSSSSD\n"
                                            "DDDDDDDDD\n"},
        {standardLook(), vlbsPressed, true, "SSSSSSSSH\n"
                                            "SDDDDDDLH\n"
                                            "SDFFFFFLH\n"
                                            "SDFBBBFLH\n"
                                            "SDFFBFFLH\n"
                                            "SDFFFFFLH\n"
                                            "SLLLLLLLH\n"
                                            "HHHHHHHHH\n"},
        {ultraFlatLook(), vlbsNormal, false, "SSSSSSSSS\n"
                                             "SFFFFFFFS\n"
                                             "SFFFFFFFS\n"
                                             "SFFTTTFFS\n"
                                             "SFFFTFFFS\n"
                                             "SFFFFFFFS\n"
                                             "SFFFFFFFS\n"
                                             "SSSSSSSSS\n"},
        {ultraFlatLook(), vlbsHot, true, "hhhhhhhhh\n"
                                         "hlllllllh\n"
                                         "hlllllllh\n"
                                         "hllBBBllh\n"
                                         "hlllBlllh\n"
                                         "hlllllllh\n"
                                         "hlllllllh\n"
                                         "hhhhhhhhh\n"},
        {ultraFlatLook(), vlbsPressed, false, "hhhhhhhhh\n"
                                              "hdddddddh\n"
                                              "hdddddddh\n"
                                              "hddtttddh\n"
                                              "hdddtdddh\n"
                                              "hdddddddh\n"
                                              "hdddddddh\n"
                                              "hhhhhhhhh\n"},
    };
    for (const Row& row : rows) {
        Surface s(9, 8);
        row.Painter->DrawFilterButton(&s.Vl, Rect(0, 0, 9, 8), row.State, row.Active);
        EXPECT_EQ(s.map(legend), row.Expected) << row.Painter->LookAndFeelStyle() << " " << row.State;
        if (row.Painter == standardLook()) {
            Surface flat(9, 8);
            flatLook()->DrawFilterButton(&flat.Vl, Rect(0, 0, 9, 8), row.State, row.Active);
            EXPECT_EQ(flat.Image, s.Image);
        }
    }
}

// The side strips of a horizontal tab (left, top, right) and of a vertical
// one (left, top, bottom), each drawn alone.
TEST(vlLookAndFeelPainters, TabSidesOfTheLooks)
{
    const LookColors colors;
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        bool Vertical;
        const char* Expected;
    };
    const Row rows[] = {
        {standardLook(), false, ".HHHHHH.\n"
                                 "H......H\n"
                                 "H......S\n"
                                 "H......S\n"
                                 "H......S\n"
                                 "H......S\n"},
        {standardLook(), true, ".HHHHH\n"
                                ".H....\n"
                                "H.....\n"
                                "H.....\n"
                                "H.....\n"
                                "H.....\n"
                                ".H....\n"
                                ".SSSSS\n"},
        {ultraFlatLook(), false, "SSSSSSST\n"
                                  "S......T\n"
                                  "S......T\n"
                                  "S......T\n"
                                  "S......T\n"
                                  "S.......\n"},
        {ultraFlatLook(), true, "SSSSSS\n"
                                 "S.....\n"
                                 "S.....\n"
                                 "S.....\n"
                                 "S.....\n"
                                 "S.....\n"
                                 "S.....\n"
                                 "TTTTTT\n"},
    };
    for (const Row& row : rows) {
        const int w = row.Vertical ? 6 : 8, h = row.Vertical ? 8 : 6;
        const TvlBorders borders = row.Vertical ? TvlBorders{bLeft, bTop, bBottom} : TvlBorders{bLeft, bTop, bRight};
        auto drawTab = [&](const TvlCustomLookAndFeelPainter* APainter, TvlCanvas* ACanvas) {
            for (TvlBorder side : {bLeft, bTop, bRight, bBottom})
                if (borders.Contains(side))
                    APainter->DrawTabItemBorder(ACanvas,
                                                side == bLeft    ? Rect(0, 0, 1, h)
                                                : side == bTop   ? Rect(0, 0, w, 1)
                                                : side == bRight ? Rect(w - 1, 0, w, h)
                                                                 : Rect(0, h - 1, w, h),
                                                side, borders, row.Vertical);
        };
        Surface s(w, h);
        drawTab(row.Painter, &s.Vl);
        EXPECT_EQ(s.map(lookLegend()), row.Expected) << row.Painter->LookAndFeelStyle() << row.Vertical;
        if (row.Painter == standardLook()) {
            Surface flat(w, h);
            drawTab(flatLook(), &flat.Vl);
            EXPECT_EQ(flat.Image, s.Image);
        }
    }
}

// Per look, side by side: the tabs area, a horizontal and a vertical view
// splitter over yellow view parameters.
TEST(vlLookAndFeelPainters, TabsAreasAndViewSplittersOfTheLooks)
{
    const LookColors colors;
    auto legend = lookLegend();
    legend.push_back({rgbOf(clYellow), 'Y'});
    TvlViewParams params;
    params.Color = clYellow;
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        const char* Expected;
    };
    const Row rows[] = {
        {standardLook(), "HHHS.FFFF.FHYSD\n"
                         "H..S.HHHH.FHYSD\n"
                         "H..S.YYYY.FHYSD\n"
                         "H..S.SSSS.FHYSD\n"
                         "SSSS.DDDD.FHYSD\n"},
        {flatLook(), "HHHS.HHHH.HYYYS\n"
                     "H..S.YYYY.HYYYS\n"
                     "H..S.YYYY.HYYYS\n"
                     "H..S.YYYY.HYYYS\n"
                     "SSSS.SSSS.HYYYS\n"},
        {ultraFlatLook(), "SSSS.SSSS.SYYYS\n"
                          "S..S.YYYY.SYYYS\n"
                          "S..S.YYYY.SYYYS\n"
                          "S..S.YYYY.SYYYS\n"
                          "SSSS.SSSS.SYYYS\n"},
    };
    for (const Row& row : rows) {
        Surface s(15, 5);
        row.Painter->DrawTabsArea(&s.Vl, Rect(0, 0, 4, 5), vlBordersAll);
        row.Painter->DrawViewSplitterBorder(&s.Vl, Rect(5, 0, 9, 5), params, true);
        row.Painter->DrawViewSplitterBorder(&s.Vl, Rect(10, 0, 15, 5), params, false);
        EXPECT_EQ(s.map(legend), row.Expected) << row.Painter->LookAndFeelStyle();
    }
    // Tabs areas keep to the sides asked for.
    Surface top(4, 3);
    ultraFlatLook()->DrawTabsArea(&top.Vl, Rect(0, 0, 4, 3), TvlBorders{bTop});
    EXPECT_EQ(top.map(legend), "SSSS\n....\n....\n");
}

// Pointed thumbs pointing up on a horizontal bar, filled yellow.
TEST(vlLookAndFeelPainters, PointedThumbEdgesOfTheLooks)
{
    const LookColors colors;
    auto legend = lookLegend();
    legend.push_back({rgbOf(clYellow), 'Y'});
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        const char* Expected;
    };
    const Row rows[] = {
        // The outer dark edge is drawn last and owns the point.
        {standardLook(), "...D...\n"
                         "..HSD..\n"
                         ".HYYSD.\n"
                         "HYYYYSD\n"
                         "HYYYYSD\n"
                         "HYYYYSD\n"
                         "HYYYYSD\n"
                         "HSSSSSD\n"
                         "DDDDDDD\n"},
        {flatLook(), "...S...\n"
                     "..HYS..\n"
                     ".HYYYS.\n"
                     "HYYYYYS\n"
                     "HYYYYYS\n"
                     "HYYYYYS\n"
                     "HYYYYYS\n"
                     "HYYYYYS\n"
                     "SSSSSSS\n"},
        {ultraFlatLook(), "...w...\n"
                          "..wYw..\n"
                          ".wYYYw.\n"
                          "wYYYYYw\n"
                          "wYYYYYw\n"
                          "wYYYYYw\n"
                          "wYYYYYw\n"
                          "wYYYYYw\n"
                          "wwwwwww\n"},
    };
    for (const Row& row : rows) {
        Surface s(7, 9);
        row.Painter->DrawTrackBarThumb(&s.Vl, Rect(0, 0, 7, 9), vlbsNormal, true, tbtsPointedTop, clYellow);
        EXPECT_EQ(s.map(legend), row.Expected) << row.Painter->LookAndFeelStyle();
    }
}

TEST(vlLookAndFeelPainters, FlatCalendarBorderGivesUpTheBottomRow)
{
    const LookColors colors;
    Surface s(5, 4);
    TRect r = Rect(0, 0, 5, 4);
    flatLook()->DrawCalendarBorder(&s.Vl, r);
    EXPECT_EQ(r, Rect(0, 0, 5, 3));
    EXPECT_EQ(s.of(rgbOf(clBtnFace)), QRegion(0, 0, 5, 4));
}

// The ultra-flat header: content over all of R, the lines one pixel inside.
TEST(vlLookAndFeelPainters, UltraFlatHeaderAndSectionContent)
{
    const LookColors colors;
    auto legend = lookLegend();
    legend.push_back({rgbOf(clYellow), 'Y'});
    const auto* u = ultraFlatLook();
    struct Row {
        TvlBorders Neighbors;
        const char* Expected;
    };
    const Row rows[] = {
        {{}, "YYYYYY\nYTTTTY\nYTYYTY\nYTTTTY\nYYYYYY\n"},
        {TvlBorders{bLeft, bTop}, "YYYYYY\nYYYYTY\nYYYYTY\nYTTTTY\nYYYYYY\n"},
    };
    for (const Row& row : rows) {
        Surface s(6, 5);
        u->DrawHeader(&s.Vl, Rect(0, 0, 6, 5), Rect(0, 0, 6, 5), row.Neighbors, u->HeaderBorders(row.Neighbors),
                      vlbsNormal, taLeftJustify, vaCenter, false, false, String(), nullptr, clBtnText, clYellow);
        EXPECT_EQ(s.map(legend), row.Expected);
    }
    // Sections: hot, pressed and disabled take the button face; the text
    // does not move when pressed, where the base moves it one pixel.
    const String block = QStringLiteral("\u2588");
    const TRect r = Rect(0, 0, 20, 16);
    QRegion normalText;
    for (TvlButtonState state : {vlbsNormal, vlbsHot, vlbsPressed, vlbsDisabled}) {
        Surface s(20, 16);
        u->DrawHeaderSectionContent(&s.Vl, r, r, state, taCenter, vaCenter, false, false, block, nullptr, clRed,
                                    clYellow);
        EXPECT_EQ(s.at(0, 0), rgbOf(state == vlbsNormal ? clYellow : u->ButtonFaceColor(state))) << state;
        if (state == vlbsNormal) {
            normalText = s.of(rgbOf(clRed));
        } else if (state != vlbsDisabled) {
            EXPECT_EQ(s.of(rgbOf(clRed)), normalText) << state;
        }
    }
    ASSERT_FALSE(normalText.isEmpty());
    Surface base(20, 16);
    TvlCustomLookAndFeelPainter::Instance()->DrawHeaderSectionContent(&base.Vl, r, r, vlbsPressed, taCenter, vaCenter,
                                                                      false, false, block, nullptr, clRed, clYellow);
    EXPECT_EQ(base.of(rgbOf(clRed)), normalText.translated(1, 1));
}

// Ultra-flat navigation buttons, navigator tool buttons and page areas.
TEST(vlLookAndFeelPainters, UltraFlatNavigationAndPageArea)
{
    const LookColors colors;
    auto legend = lookLegend();
    legend.push_back({rgbOf(LightHotColor()), 'l'});
    const auto* u = ultraFlatLook();
    // A previous button: open on the right, the frame dark unless hot.
    struct Row {
        TvlButtonState State;
        const char* Expected;
    };
    const Row rows[] = {
        {vlbsNormal, "TTTTTT\n"
                     "FFFFFT\n"
                     "FFFTTT\n"
                     "FFTTTT\n"
                     "FTTFTT\n"
                     "FFTTTT\n"
                     "FFFTTT\n"
                     "FFFFFT\n"
                     "TTTTTT\n"},
        {vlbsHot, "SSSSSS\n"
                  "FFFFFS\n"
                  "FFFTTS\n"
                  "FFTTTS\n"
                  "FTTFTS\n"
                  "FFTTTS\n"
                  "FFFTTS\n"
                  "FFFFFS\n"
                  "SSSSSS\n"},
    };
    for (const Row& row : rows) {
        Surface s(6, 9);
        u->DrawNavigationButtonContent(&s.Vl, Rect(0, 0, 6, 9), Rect(1, 2, 5, 7), false, row.State);
        EXPECT_EQ(s.map(legend), row.Expected) << row.State;
    }
    // Tool buttons show a border only while hot or pressed.
    Surface normal(4, 4), hot(4, 4);
    u->DrawNavigatorToolButton(&normal.Vl, Rect(0, 0, 4, 4), vlbsNormal);
    u->DrawNavigatorToolButton(&hot.Vl, Rect(0, 0, 4, 4), vlbsHot);
    EXPECT_EQ(normal.map(legend), "FFFF\nFFFF\nFFFF\nFFFF\n");
    EXPECT_EQ(hot.map(legend), framedMap(4, 'h', 'l'));
    // The page area: the shadow (0x808080) a third of the way to white.
    Surface page(3, 3);
    u->DrawPageAreaBackground(&page.Vl, Rect(0, 0, 3, 3));
    EXPECT_EQ(page.of(rgbOf(TColor(0xAAAAAA))), QRegion(0, 0, 3, 3));
    Surface standardPage(3, 3);
    standardLook()->DrawPageAreaBackground(&standardPage.Vl, Rect(0, 0, 3, 3));
    EXPECT_EQ(standardPage.of(rgbOf(clBtnShadow)), QRegion(0, 0, 3, 3));
}

// The standard look frames a scroll-arrow header in black, leaving the sides
// where a neighbour's line runs; its group expand button is the flat one.
TEST(vlLookAndFeelPainters, StandardScrollArrowHeaderAndGroupExpandButton)
{
    const LookColors colors;
    TvlViewParams params;
    params.Color = clYellow;
    const QRegion outline = QRegion(0, 0, 30, 13) - QRegion(1, 1, 28, 11);
    struct Row {
        TvlBorders Neighbors;
        QRegion Black;
    };
    for (const Row& row : {Row{{}, outline}, Row{TvlBorders{bLeft, bTop}, outline - QRegion(0, 0, 1, 12) -
                                                                            QRegion(0, 0, 29, 1)}}) {
        Surface s(30, 13);
        standardLook()->DrawHeaderWithScrollArrows(&s.Vl, Rect(0, 0, 30, 13), String(), row.Neighbors, params, 3, 6);
        EXPECT_TRUE((s.of(rgbOf(clBlack)) ^ row.Black).isEmpty()) << s.map(lookLegend());
        // The raised header edge and both arrows lie inside the frame.
        const TRect inner = row.Neighbors.Contains(bLeft) ? Rect(0, 0, 29, 12) : Rect(1, 1, 29, 12);
        EXPECT_EQ(s.at(inner.Left, inner.Top), rgbOf(clBtnHighlight));
        EXPECT_FALSE(s.of(rgbOf(clWindowText)).isEmpty());
    }
    for (TvlButtonState state : {vlbsNormal, vlbsHot, vlbsPressed, vlbsDisabled}) {
        Surface standard(15, 15), flat(15, 15);
        standardLook()->DrawGroupExpandButton(&standard.Vl, Rect(0, 0, 15, 15), true, state);
        flatLook()->DrawGroupExpandButton(&flat.Vl, Rect(0, 0, 15, 15), true, state);
        EXPECT_EQ(standard.Image, flat.Image) << state;
    }
}

// ---------------------------------------------------------------- shared resources

struct PaintersUnit : ::testing::Test {
    PaintersUnit()
    {
        AddvlLookAndFeelPaintersUnit(Units);
        Units.Initialize();
    }
    ~PaintersUnit() override { Units.Finalize(); }
    TStartupList Units;
};

TEST_F(PaintersUnit, SkinPainterRegistryFindsNothingUntilOneIsThere)
{
    TvlExtendedStylePainters* registry = GetSkinPainterRegistry();
    ASSERT_NE(registry, nullptr);
    const TvlCustomLookAndFeelPainter* painter = standardLook();
    EXPECT_FALSE(registry->FindPainterByName(QStringLiteral("Blue"), painter));
    EXPECT_EQ(painter, nullptr);
    // Names compare without regard to case; the first of a name wins.
    registry->Add(new TvlExtendedStylePainter(QStringLiteral("Blue"), flatLook()));
    registry->Add(new TvlExtendedStylePainter(QStringLiteral("BLUE"), standardLook()));
    EXPECT_TRUE(registry->FindPainterByName(QStringLiteral("bLuE"), painter));
    EXPECT_EQ(painter, flatLook());

    struct Observer : IvlSkinRegistryObserver {
        void SkinRegistryChanged() override {}
    } observer;
    registry->AddObserver(&observer);
    registry->AddObserver(&observer);
    EXPECT_EQ(registry->ObserverCount(), 1);
    registry->RemoveObserver(&observer);
    EXPECT_EQ(registry->ObserverCount(), 0);
}

TEST_F(PaintersUnit, LooksWithASkinPainterObserveTheRegistry)
{
    TvlExtendedStylePainters* registry = GetSkinPainterRegistry();
    registry->Add(new TvlExtendedStylePainter(QStringLiteral("Ours"), office11Look()));
    {
        TvlLookAndFeel look(nullptr);
        look.SetSkinName(QStringLiteral("ours"));
        EXPECT_EQ(look.Painter(), office11Look());
        EXPECT_EQ(registry->ObserverCount(), 1);
        look.SetSkinName(QStringLiteral("Missing"));
        EXPECT_EQ(look.Painter(), GetLookAndFeelPainterClass(look.Kind()));
        EXPECT_EQ(registry->ObserverCount(), 0);
        look.SetSkinName(QStringLiteral("Ours"));
    }
    EXPECT_EQ(registry->ObserverCount(), 0);
}

TEST_F(PaintersUnit, IndicatorGlyphsAndCheckerBrushes)
{
    TImageList* images = GetLibraryImageList();
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->Count(), 6);
    EXPECT_EQ(images->Width(), 12);
    // White is transparent: the arrow glyph leaves the background around it.
    Surface s(12, 12);
    images->Draw(&s.Canvas, 0, 0, 0);
    EXPECT_EQ(s.at(0, 0), sentinel);
    EXPECT_EQ(s.at(5, 5), rgbOf(clBlack));

    const LookColors colors;
    RefillCheckerBitmaps();
    for (bool pressed : {false, true}) {
        const TBitmap* checker = GetScrollBarCheckerBitmap(pressed);
        ASSERT_NE(checker, nullptr);
        ASSERT_EQ(checker->Width(), 8);
        ASSERT_EQ(checker->Height(), 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool odd = (x + y) % 2 != 0;
                const TColor expected = pressed ? (odd ? cl3DDkShadow : clBlack) : (odd ? clBtnHighlight : clBtnFace);
                ASSERT_EQ(checker->Pixels(x, y), ColorToRGB(expected)) << pressed << " " << x << "," << y;
            }
    }
    // Refilled from the colours of the moment.
    const int face[] = {COLOR_BTNFACE};
    const TColor red[] = {clRed};
    SetSysColors(face, red);
    RefillCheckerBitmaps();
    EXPECT_EQ(GetScrollBarCheckerBitmap(false)->Pixels(0, 0), clRed);
}

TEST_F(PaintersUnit, StandardPageCheckerIsAnchoredAtTheDeviceOrigin)
{
    const LookColors colors;
    RefillCheckerBitmaps();
    const auto* standard = TvlStandardLookAndFeelPainter::Instance();
    const std::vector<std::pair<QRgb, char>> legend = {{rgbOf(clBtnHighlight), 'H'}, {rgbOf(clBtnFace), 'F'},
                                                       {rgbOf(cl3DDkShadow), 'D'}, {rgbOf(clBlack), 'K'}};
    // The page starts on an odd column: its first pixel takes the parity of
    // the device, not of the rectangle. The brush is solid again afterwards.
    Surface s(6, 3);
    standard->DrawScrollBarPart(&s.Vl, true, Rect(1, 0, 5, 2), sbpPageUp, vlbsNormal);
    EXPECT_EQ(s.map(legend), ".HFHF.\n"
                             ".FHFH.\n"
                             "......\n");
    EXPECT_FALSE(s.Canvas.Brush()->HasBitmap());
    // Pressed, hot (as normal) and the background, after the logical origin
    // moved: still device parity.
    Surface moved(4, 2);
    moved.Vl.SetWindowOrg(TPoint{3, 0});
    standard->DrawScrollBarPart(&moved.Vl, false, Rect(3, 0, 7, 1), sbpPageDown, vlbsPressed);
    standard->DrawScrollBarPart(&moved.Vl, false, Rect(3, 1, 5, 2), sbpPageDown, vlbsHot);
    standard->DrawScrollBarBackground(&moved.Vl, Rect(5, 1, 7, 2), false);
    EXPECT_EQ(moved.map(legend), "KDKD\n"
                                 "HFHF\n");
}

TEST_F(PaintersUnit, ScrollBarPartsOfTheFlatLooks)
{
    const LookColors colors;
    RefillCheckerBitmaps();
    // Arrows are buttons with an arrow pointing the bar's way; the flat look
    // keeps the arrow off its border, the ultra-flat one centres it in R.
    for (const TvlCustomLookAndFeelPainter* painter :
         {flatLook(), static_cast<const TvlCustomLookAndFeelPainter*>(ultraFlatLook())}) {
        SCOPED_TRACE(painter->LookAndFeelStyle());
        Surface part(9, 9), button(9, 9);
        painter->DrawScrollBarPart(&part.Vl, false, Rect(0, 0, 9, 9), sbpLineDown, vlbsHot);
        painter->DrawButton(&button.Vl, Rect(0, 0, 9, 9), String(), vlbsNormal);
        const int inset = painter == flatLook() ? 1 : 0;
        painter->DrawStateArrow(&button.Vl, Rect(inset, inset, 9 - inset, 9 - inset), vlbsNormal, adDown);
        EXPECT_EQ(part.Image, button.Image);
        // Horizontal bars point left and right.
        Surface left(9, 9), expected(9, 9);
        painter->DrawScrollBarPart(&left.Vl, true, Rect(0, 0, 9, 9), sbpLineUp, vlbsPressed);
        painter->DrawButton(&expected.Vl, Rect(0, 0, 9, 9), String(), vlbsPressed);
        painter->DrawStateArrow(&expected.Vl, Rect(inset, inset, 9 - inset, 9 - inset), vlbsPressed, adLeft);
        EXPECT_EQ(left.Image, expected.Image);
        // The thumb of a disabled bar is not drawn; the pages are checkered.
        Surface thumb(9, 9);
        painter->DrawScrollBarPart(&thumb.Vl, false, Rect(0, 0, 9, 9), sbpThumbnail, vlbsDisabled);
        EXPECT_EQ(thumb.of(sentinel), QRegion(0, 0, 9, 9));
        Surface page(3, 1);
        painter->DrawScrollBarPart(&page.Vl, false, Rect(0, 0, 3, 1), sbpPageDown, vlbsNormal);
        EXPECT_EQ(page.map(lookLegend()), "FHF\n");
    }
    // Office 11 without visual styles: the standard parts, not the buttons.
    for (TvlScrollBarPartKind kind : {sbpLineUp, sbpThumbnail, sbpPageUp}) {
        Surface office(17, 17), standard(17, 17);
        office11Look()->DrawScrollBarPart(&office.Vl, false, Rect(0, 0, 17, 17), kind, vlbsNormal);
        standardLook()->DrawScrollBarPart(&standard.Vl, false, Rect(0, 0, 17, 17), kind, vlbsNormal);
        EXPECT_EQ(office.Image, standard.Image) << kind;
    }
}

TEST(vlLookAndFeelPainters, SharedResourcesLiveWithTheUnit)
{
    EXPECT_EQ(GetSkinPainterRegistry(), nullptr);
    EXPECT_EQ(GetScrollBarCheckerBitmap(false), nullptr);
    TSize size;
    standardLook()->CheckButtonSize(size);
    EXPECT_EQ(size, (TSize{13, 13}));
}

// The radio glyph's pattern: 1 and 2 the outer ring above and below the
// anti-diagonal, 3 and 4 the inner ring, 5 the face, 6 the check dot.
TEST(vlLookAndFeelPainters, RadioGlyphPatternFollowsOurCircle)
{
    const TvlRadioButtonImageList* list = GetRadioButtonImageList();
    EXPECT_EQ(list->GlyphRect(), Rect(0, 0, 12, 12));
    EXPECT_EQ(list->CheckRect(), Rect(4, 4, 8, 8));
    std::string pattern;
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x)
            pattern += char('0' + list->PatternCode(x, y));
        pattern += '\n';
    }
    EXPECT_EQ(pattern, "000011110000\n"
                       "001133331100\n"
                       "013355553420\n"
                       "013555555420\n"
                       "135556655542\n"
                       "135566665542\n"
                       "135566665542\n"
                       "135556655542\n"
                       "013555555420\n"
                       "013455554420\n"
                       "002244442200\n"
                       "000022220000\n");
    TSize size;
    ultraFlatLook()->RadioButtonSize(size);
    EXPECT_EQ(size, (TSize{12, 12}));
}

// Where each pattern code of the radio glyph lies, as drawn at (AX, AY).
std::string radioCodes(const Surface& AS, int AX, int AY, const std::vector<std::pair<QRgb, char>>& ALegend)
{
    const TvlRadioButtonImageList* list = GetRadioButtonImageList();
    std::string text;
    for (int code = 0; code <= 6; ++code) {
        std::string letters;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                if (list->PatternCode(x, y) == code) {
                    char c = AS.at(AX + x, AY + y) == sentinel ? '.' : '?';
                    for (const auto& [rgb, letter] : ALegend)
                        if (AS.at(AX + x, AY + y) == rgb)
                            c = letter;
                    if (letters.find(c) == std::string::npos)
                        letters += c;
                }
        text += std::to_string(code) + ":" + letters + " ";
    }
    return text;
}

TEST(vlLookAndFeelPainters, RadioGlyphColoursOfTheLooks)
{
    const LookColors colors;
    GetRadioButtonImageList()->Reset();
    auto legend = lookLegend();
    legend.push_back({rgbOf(LightHotColor()), 'o'});
    struct Row {
        const TvlCustomLookAndFeelPainter* Painter;
        TvlButtonState State;
        bool Checked, Focused;
        const char* Expected;
    };
    const Row rows[] = {
        // Hot and unchecked: the highlight ring round a light hot face.
        {ultraFlatLook(), vlbsHot, false, false, "0:. 1:h 2:h 3:o 4:o 5:o 6:o "},
        {ultraFlatLook(), vlbsNormal, true, false, "0:. 1:S 2:S 3:W 4:W 5:W 6:w "},
        {ultraFlatLook(), vlbsNormal, false, true, "0:. 1:h 2:h 3:W 4:W 5:W 6:W "},
        {standardLook(), vlbsNormal, true, false, "0:. 1:S 2:H 3:D 4:L 5:W 6:w "},
        {flatLook(), vlbsDisabled, true, false, "0:. 1:S 2:H 3:L 4:L 5:F 6:S "},
        // The scheme's hot border is the highlight without a themed system.
        {office11Look(), vlbsNormal, false, true, "0:. 1:h 2:h 3:W 4:W 5:W 6:W "},
        {office11Look(), vlbsDisabled, true, false, "0:. 1:g 2:g 3:F 4:F 5:F 6:g "},
    };
    for (const Row& row : rows) {
        Surface s(14, 14);
        row.Painter->DrawRadioButton(&s.Vl, 1, 1, row.State, row.Checked, false, clDefault, row.Focused);
        EXPECT_EQ(radioCodes(s, 1, 1, legend), row.Expected) << row.Painter->LookAndFeelStyle() << " " << row.State;
    }
    // Over a brush colour the corners take that colour.
    Surface s(14, 14);
    standardLook()->DrawRadioButton(&s.Vl, 1, 1, vlbsNormal, false, false, clRed);
    EXPECT_EQ(s.at(1, 1), rgbOf(clRed));
    EXPECT_EQ(s.at(0, 0), sentinel);
    GetRadioButtonImageList()->Reset();
}

TEST_F(PaintersUnit, RadioGlyphsAreRebuiltBeforeLooksHearOfNewColours)
{
    GetRadioButtonImageList();
    TvlLookAndFeel look(nullptr);
    look.SetKind(lfStandard);
    struct Listener {
        void changed(TvlLookAndFeel*, TvlLookAndFeelValues)
        {
            Surface s(12, 12);
            standardLook()->DrawRadioButton(&s.Vl, 0, 0, vlbsNormal, false, false, clDefault);
            Ring = s.at(0, 5);
        }
        QRgb Ring = 0;
    } listener;
    look.OnChanged = TvlLookAndFeelNotifyEvent(&listener, &Listener::changed);
    const int shadow[] = {COLOR_BTNSHADOW};
    const TColor red[] = {clRed};
    SetSysColors(shadow, red);
    BroadcastSystemPaletteChange();
    EXPECT_EQ(listener.Ring, rgbOf(clRed));
    ResetSysColors();
    BroadcastSystemPaletteChange();
    EXPECT_EQ(listener.Ring, rgbOf(clBtnShadow));
}

// ---------------------------------------------------------------- the native look

const TvlWinXPLookAndFeelPainter* nativeLook() { return TvlWinXPLookAndFeelPainter::Instance(); }

// The native painter over the recording theme library.
struct NativeLook : ::testing::Test {
    NativeLook() : Previous(SetThemeLibrary(std::make_unique<TvxRecordingThemeLibrary>()))
    {
        AddvxThemeManagerUnit(Units);
        Units.Initialize();
        fake()->Color = clRed;
    }
    ~NativeLook() override
    {
        Units.Finalize();
        SetThemeLibrary(std::move(Previous));
    }
    TvxRecordingThemeLibrary* fake() const { return dynamic_cast<TvxRecordingThemeLibrary*>(ThemeLibrary()); }
    // The drawing calls since the last look, as "class call part state".
    std::vector<std::string> drawn()
    {
        std::vector<std::string> calls;
        for (const auto& call : fake()->Log)
            if (call.Name.startsWith(QStringLiteral("Draw")))
                calls.push_back((call.ClassList + ' ' + call.Name + ' ' + QString::number(call.Part) + ' ' +
                                 QString::number(call.State))
                                    .toStdString());
        fake()->Log.clear();
        return calls;
    }
    std::unique_ptr<IvxThemeLibrary> Previous;
    TStartupList Units;
};

TEST_F(NativeLook, EachElementDrawsItsThemePart)
{
    using Calls = std::vector<std::string>;
    Surface s(20, 20);
    TvlCanvas* c = &s.Vl;
    const TRect r = Rect(0, 0, 20, 20);
    const auto* p = nativeLook();
    struct Row {
        std::function<void()> Draw;
        Calls Expected;
    };
    const Row rows[] = {
        {[&] { p->DrawButton(c, r, QStringLiteral("OK"), vlbsHot); },
         {"Button DrawThemeBackground 1 2", "Button DrawThemeText 1 2"}},
        {[&] { p->DrawButton(c, r, String(), vlbsDefault, true, clDefault, clDefault, false, true); },
         {"ToolBar DrawThemeBackground 1 5", "ToolBar DrawThemeText 1 5"}},
        {[&] { p->DrawArrowBorder(c, r, vlbsPressed); }, {"Button DrawThemeBackground 1 3"}},
        {[&] { p->DrawArrowButton(c, r, vlbsHot, adDown); }, {"ScrollBar DrawThemeBackground 1 6"}},
        {[&] { p->DrawArrowButton(c, r, vlbsDisabled, adRight); }, {"ScrollBar DrawThemeBackground 1 16"}},
        {[&] { p->DrawArrowButton(c, r, vlbsDefault, adUp); }, {"ScrollBar DrawThemeBackground 1 1"}},
        {[&] { p->DrawCheckButton(c, r, vlbsPressed, cbsChecked); }, {"Button DrawThemeBackground 3 7"}},
        {[&] { p->DrawCheckBox(c, r, vlbsNormal, false); }, {"Button DrawThemeBackground 3 1"}},
        {[&] { p->DrawRadioButton(c, 2, 3, vlbsDisabled, false, false, clDefault); },
         {"Button DrawThemeBackground 2 4"}},
        {[&] { p->DrawExpandButton(c, r, true, clDefault); }, {"TreeView DrawThemeBackground 2 2"}},
        {[&] { p->DrawSmallExpandButton(c, r, false, clRed, clBlue); }, {"TreeView DrawThemeBackground 2 1"}},
        {[&] { p->DrawSeparator(c, r, true); }, {"ToolBar DrawThemeBackground 5 1"}},
        {[&] { p->DrawSeparator(c, r, false); }, {"ToolBar DrawThemeBackground 6 1"}},
        {[&] { p->DrawBorder(c, r); }, {"ListView DrawThemeBackground 5 0"}},
    };
    for (const Row& row : rows) {
        row.Draw();
        EXPECT_EQ(drawn(), row.Expected);
    }
    // Themed text: nothing for an empty text.
    const HTHEME header = OpenTheme(totHeader);
    p->DrawThemedText(c, header, 1, 3, r, r, taCenter, taVCenter, false, false, false, String(), s.Canvas.Font(),
                      clRed, clNone);
    EXPECT_TRUE(drawn().empty());
    p->DrawThemedText(c, header, 1, 3, r, r, taCenter, taVCenter, false, false, false, QStringLiteral("A"),
                      s.Canvas.Font(), clRed, clNone);
    EXPECT_EQ(drawn(), Calls{"Header DrawThemeText 1 3"});
    // The radio part fills a rectangle of its true size at the point.
    p->DrawRadioButton(c, 2, 3, vlbsNormal, true, false, clDefault);
    EXPECT_EQ(fake()->Log.back().R, Rect(2, 3, 15, 16));
    EXPECT_EQ(fake()->Log.back().State, 5);
    // The themed expand button keeps what later painting would put over it.
    s.Vl.FillRectByColor(r, clRed);
    EXPECT_EQ(s.at(5, 5), sentinel);
}

TEST_F(NativeLook, MetricsAndColoursComeFromTheTheme)
{
    const auto* p = nativeLook();
    fake()->ContentMargins = Rect(3, 4, 5, 6);
    fake()->PartSize = TSize{15, 14};
    EXPECT_EQ(p->ButtonBorderWidth(vlbsNormal), 3);
    TRect borders;
    p->GetButtonGroupBorders(3, 1, borders);
    EXPECT_EQ(borders, (TRect{3, 4, 5, 6}));
    EXPECT_EQ(p->ExpandButtonSize(), 15);
    EXPECT_EQ(p->SmallExpandButtonSize(), 15);
    EXPECT_EQ(p->GroupExpandButtonSize(), 15);
    EXPECT_EQ(p->CheckBorderWidth(), 0);
    EXPECT_EQ(p->BorderSize(), 1);
    TSize size;
    p->CheckButtonSize(size);
    EXPECT_EQ(size, (TSize{15, 14}));
    EXPECT_EQ(p->ButtonFaceColor(vlbsHot), clRed);
    EXPECT_EQ(fake()->Log.back().ClassList, QStringLiteral("Button"));
    EXPECT_EQ(fake()->Log.back().R.Left, 204);
    EXPECT_EQ(p->ButtonGlyphColor(vlbsNormal, clDefault), clRed);
    EXPECT_EQ(fake()->Log.back().R.Left, 3803);
    EXPECT_EQ(p->DefaultViewColorC(), clRed);
    EXPECT_EQ(fake()->Log.back().ClassList, QStringLiteral("ComboBox"));
    EXPECT_EQ(p->ButtonTextIndent(), 2);
    EXPECT_TRUE(p->IsButtonHotTrack());
    EXPECT_TRUE(p->NeedRedrawOnResize());
    EXPECT_FALSE(p->DrawExpandButtonFirst());
    TRect focus;
    p->GetButtonFocusBounds(nullptr, Rect(0, 0, 20, 20), focus);
    EXPECT_EQ(focus, Rect(3, 4, 15, 14));
}

TEST_F(NativeLook, AClassTheThemeLacksFallsBack)
{
    fake()->Refused = {QStringLiteral("BUTTON")};
    EXPECT_EQ(nativeLook()->ButtonBorderWidth(vlbsDefault), 2);
    EXPECT_EQ(nativeLook()->CheckBorderWidth(), 2);
    Surface s(10, 10);
    nativeLook()->DrawArrowBorder(&s.Vl, Rect(0, 0, 10, 10), vlbsNormal);
    EXPECT_TRUE(drawn().empty());
    EXPECT_EQ(s.at(0, 0), rgbOf(clBtnHighlight));
    TSize size{1, 1};
    nativeLook()->RadioButtonSize(size);
    EXPECT_EQ(size, (TSize{0, 0}));
}

TEST_F(NativeLook, HeadersFootersTabsAndOtherElementsDrawTheirThemeParts)
{
    using Calls = std::vector<std::string>;
    // The blue scheme of the fake's theme closes a last header on the right.
    const LookColors colors;
    ASSERT_EQ(vxOffice11::GetOffice11Scheme(), 1);
    Surface s(20, 20);
    TvlCanvas* c = &s.Vl;
    const TRect r = Rect(0, 0, 20, 20);
    const auto* p = nativeLook();
    const String text = QStringLiteral("A");
    const TFont* font = s.Canvas.Font();
    TvlViewParams params;
    params.Color = clBtnFace;
    struct Row {
        std::function<void()> Draw;
        Calls Expected;
    };
    const Row rows[] = {
        {[&] { p->DrawGroupExpandButton(c, r, true, vlbsHot); }, {"ExplorerBar DrawThemeBackground 6 2"}},
        {[&] { p->DrawGroupExpandButton(c, r, false, vlbsDisabled); }, {"ExplorerBar DrawThemeBackground 7 1"}},
        {[&] {
             p->DrawHeaderEx(c, r, r, {}, vlBordersAll, vlbsNormal, taLeftJustify, vaTop, false, false, text, font,
                             clRed, clNone, nullptr, true);
         },
         {"Header DrawThemeBackground 3 1", "Header DrawThemeText 3 1"}},
        {[&] {
             p->DrawHeaderEx(c, r, r, {}, vlBordersAll, vlbsHot, taLeftJustify, vaTop, false, false, text, font,
                             clRed, clNone, nullptr, true);
         },
         {"Header DrawThemeBackground 1 2", "Header DrawThemeText 1 2"}},
        {[&] { p->DrawCalendarBorder(c, const_cast<TRect&>(r)); }, {"Header DrawThemeBackground 2 1"}},
        {[&] { p->DrawFooterBorder(c, r); }, {"Edit DrawThemeEdge 0 0"}},
        {[&] { p->DrawFooterCell(c, r, taLeftJustify, vaTop, false, text, font, clRed, clNone); },
         {"TrackBar DrawThemeBackground 1 1", "TrackBar DrawThemeText 1 1"}},
        {[&] { p->DrawFilterPanelCloseButton(c, r, vlbsPressed); }, {"Window DrawThemeBackground 19 3"}},
        {[&] { p->DrawFilterButton(c, r, vlbsDisabled, true); }, {"ComboBox DrawThemeBackground 1 4"}},
        {[&] { p->DrawGroupPanelItem(c, r, false, vlbsHot); }, {"Tab DrawThemeBackground 1 2"}},
        {[&] { p->DrawTabItem(c, r, vlBordersAll, text, vlbsPressed, false, font, clRed, clNone); },
         {"Tab DrawThemeBackground 1 3", "Tab DrawThemeText 1 3"}},
        {[&] { p->DrawTabItem(c, r, vlBordersAll, String(), vlbsDefault, true, font, clRed, clNone); },
         {"Tab DrawThemeBackground 1 1"}},
        {[&] { p->DrawTabItemBorder(c, r, bLeft, vlBordersAll, false); }, {}},
        {[&] { p->DrawTabsArea(c, r); }, {"Tab DrawThemeBackground 9 0"}},
        {[&] { p->DrawScrollBarPart(c, false, r, sbpLineUp, vlbsHot); }, {"ScrollBar DrawThemeBackground 1 2"}},
        {[&] { p->DrawScrollBarPart(c, true, r, sbpLineDown, vlbsPressed); }, {"ScrollBar DrawThemeBackground 1 15"}},
        // The thumb with its gripper; a gripper as long as the thumb is left
        // out.
        {[&] { p->DrawScrollBarPart(c, false, r, sbpThumbnail, vlbsPressed); },
         {"ScrollBar DrawThemeBackground 3 3", "ScrollBar DrawThemeBackground 9 3"}},
        {[&] { p->DrawScrollBarPart(c, true, Rect(0, 0, 13, 20), sbpThumbnail, vlbsNormal); },
         {"ScrollBar DrawThemeBackground 2 1"}},
        {[&] { p->DrawScrollBarPart(c, false, r, sbpPageUp, vlbsDisabled); }, {"ScrollBar DrawThemeBackground 6 4"}},
        {[&] { p->DrawScrollBarPart(c, true, r, sbpPageDown, vlbsDefault); }, {"ScrollBar DrawThemeBackground 5 1"}},
        {[&] { p->DrawScrollBarPart(c, true, Rect(3, 3, 3, 9), sbpPageDown, vlbsNormal); }, {}},
        {[&] { p->DrawSizeGrip(c, r); }, {"ScrollBar DrawThemeBackground 10 1"}},
        {[&] { p->DrawCaptionButton(c, r, true, false, false, clRed); }, {"Window DrawThemeBackground 19 2"}},
        {[&] { p->DrawCaptionButton(c, r, true, true, false, clRed); }, {"Window DrawThemeBackground 19 3"}},
        {[&] { p->DrawNavigationButtonContent(c, r, Rect(5, 5, 12, 12), true, vlbsPressed); },
         {"Tab DrawThemeBackground 1 3"}},
        {[&] { p->DrawHeaderWithScrollArrows(c, r, text, {}, params, 3, 4); },
         {"Header DrawThemeBackground 3 1", "Header DrawThemeText 3 1"}},
        {[&] { p->DrawHeaderWithScrollArrows(c, r, String(), TvlBorders{bRight}, params, 3, 4); },
         {"Header DrawThemeBackground 1 1"}},
        {[&] { p->DrawProgressMarker(c, r, Rect(2, 2, 8, 18), params, false); },
         {"Progress DrawThemeBackground 1 0", "Progress DrawThemeBackground 3 0"}},
        {[&] { p->DrawNavigatorToolButton(c, r, vlbsNormal); }, {"ToolBar DrawThemeBackground 1 2"}},
        {[&] { p->DrawNavigatorToolButton(c, r, vlbsHot); }, {"ToolBar DrawThemeBackground 1 5"}},
        {[&] { p->DrawGroupBoxFrame(c, r, false, 0, vlBordersAll); }, {"Button DrawThemeBackground 4 2"}},
        {[&] { p->DrawTrackBarTrack(c, r, r, false, clNone, false, clRed); }, {"TrackBar DrawThemeBackground 2 1"}},
        {[&] { p->DrawTrackBarThumb(c, r, vlbsDisabled, false, tbtsPointedBottom, clRed); },
         {"TrackBar DrawThemeBackground 8 5"}},
        {[&] { p->DrawTrackBarThumb(c, r, vlbsDefault, true, tbtsPointedTop, clRed); },
         {"TrackBar DrawThemeBackground 5 2"}},
        {[&] { p->DrawTrackBarThumb(c, r, vlbsNormal, true, tbtsRectangle, clRed); },
         {"TrackBar DrawThemeBackground 3 1"}},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        rows[i].Draw();
        EXPECT_EQ(drawn(), rows[i].Expected) << i;
    }
    // A pressed header: its text one pixel right and down, nothing inverted.
    Surface section(20, 20);
    p->DrawHeaderSection(&section.Vl, r, Rect(2, 2, 18, 18), {}, vlBordersAll, vlbsPressed, taLeftJustify, vaTop,
                         false, false, text, font, clRed, clNone);
    ASSERT_EQ(drawn(), (Calls{"Header DrawThemeBackground 1 3", "Header DrawThemeText 1 3"}));
    EXPECT_EQ(section.of(rgbOf(clBtnFace)), QRegion(0, 0, 20, 20));
    p->DrawHeaderEx(c, r, Rect(2, 2, 18, 18), {}, vlBordersAll, vlbsPressed, taLeftJustify, vaTop, false, false,
                    text, font, clRed, clNone);
    EXPECT_EQ(fake()->Log.back().R, Rect(3, 3, 19, 19));
    // The selected tab reaches into the pane; the sides it is not given lie
    // outside R.
    fake()->Log.clear();
    p->DrawTabItem(c, Rect(4, 4, 14, 10), TvlBorders{bLeft}, String(), vlbsPressed, false, font, clRed, clNone);
    EXPECT_EQ(fake()->Log.front().R, Rect(4, 4, 16, 11));
    fake()->Log.clear();
    p->DrawTabItem(c, Rect(4, 4, 14, 10), vlBordersAll, String(), vlbsNormal, false, font, clRed, clNone);
    EXPECT_EQ(fake()->Log.front().R, Rect(4, 3, 14, 10));
    // The splitter draws nothing; the indicator is the flat look's.
    Surface splitter(20, 20);
    p->DrawSplitter(&splitter.Vl, r, true, false, true);
    EXPECT_EQ(splitter.of(sentinel), QRegion(0, 0, 20, 20));
    Surface indicator(12, 12), flat(12, 12);
    fake()->Log.clear();
    p->DrawIndicatorItemEx(&indicator.Vl, Rect(0, 0, 12, 12), ikNone, clBtnFace);
    EXPECT_TRUE(drawn().empty());
    TvlFlatLookAndFeelPainter::Instance()->DrawIndicatorItemEx(&flat.Vl, Rect(0, 0, 12, 12), ikNone, clBtnFace);
    EXPECT_EQ(indicator.Image, flat.Image);
}

TEST_F(NativeLook, ElementMetricsComeFromTheTheme)
{
    const auto* p = nativeLook();
    fake()->ContentMargins = Rect(3, 4, 5, 6);
    fake()->PartSize = TSize{15, 14};
    EXPECT_EQ(p->HeaderBorderWidth(), 3);
    EXPECT_EQ(p->HeaderSectionBorderWidth(vlbsNormal), 3);
    TRect content;
    p->GetHeaderSectionContentBounds(Rect(0, 0, 20, 20), vlbsPressed, content);
    EXPECT_EQ(content, Rect(3, 3, 17, 17));
    EXPECT_EQ(p->FooterCellBorderWidth(), 3);
    EXPECT_EQ(p->FooterBorderWidth(), 1);
    EXPECT_EQ(p->FooterCellSpacing(), 1);
    EXPECT_FALSE(p->FooterCellsDrawnFirst());
    TPoint point;
    p->FilterCheckSize(point);
    EXPECT_EQ(point, (TPoint{15, 14}));
    p->FilterPanelCloseButtonSize(point);
    EXPECT_EQ(point, (TPoint{19, 18}));
    p->SortingMarkSize(point);
    EXPECT_EQ(point, (TPoint{7, 8}));
    TSize size;
    p->CaptionButtonSize(size);
    EXPECT_EQ(size, (TSize{15, 14}));
    // The gripper's minimum along the bar, never below 8.
    EXPECT_EQ(p->ScrollBarMinimalThumbSize(true), 14);
    EXPECT_EQ(p->ScrollBarMinimalThumbSize(false), 15);
    fake()->PartSize = TSize{5, 3};
    EXPECT_EQ(p->ScrollBarMinimalThumbSize(true), 8);
    // A thumb of the theme's drawn size, centred.
    fake()->PartSize = TSize{15, 14};
    TRect thumb = Rect(0, 0, 21, 20);
    p->AdjustTrackBarThumbBounds(nullptr, thumb, true, tbtsRectangle);
    EXPECT_EQ(thumb, Rect(3, 3, 18, 17));
    TRect offsets;
    p->ProgressMarkerOffsets(offsets);
    EXPECT_EQ(offsets, (TRect{3, 3, 3, 3}));
    EXPECT_TRUE(p->IsTabDrawingSupported());
    EXPECT_TRUE(p->IsTabHotTrack());
    EXPECT_EQ(p->TabBorderWidth(true), 1);
    EXPECT_TRUE(p->IsHeaderHotTrack());
    EXPECT_EQ(p->GroupBoxCaptionTextColor(false), clRed);
    EXPECT_EQ(fake()->Log.back().Part, 4);
    EXPECT_EQ(fake()->Log.back().State, 2);
    EXPECT_EQ(fake()->Log.back().R.Left, 3803);
    // The view splitter's long sides in the combo box's border colour, the
    // rest in the view's.
    Surface s(6, 4);
    TvlViewParams params;
    params.Color = clBlue;
    p->DrawViewSplitterBorder(&s.Vl, Rect(0, 0, 6, 4), params, true);
    EXPECT_EQ(s.of(rgbOf(clRed)), QRegion(0, 0, 6, 1) + QRegion(0, 3, 6, 1));
    EXPECT_EQ(s.of(rgbOf(clBlue)), QRegion(0, 1, 6, 2));
}

// Office 11 takes the native look's scroll bars, group boxes and navigator
// buttons where the theme has them.
TEST_F(NativeLook, Office11UsesTheNativeLookWhereTheThemeHasTheElement)
{
    using Calls = std::vector<std::string>;
    Surface s(20, 20);
    const auto* o = TvlOffice11LookAndFeelPainter::Instance();
    o->DrawScrollBarPart(&s.Vl, false, Rect(0, 0, 20, 20), sbpPageDown, vlbsNormal);
    EXPECT_EQ(drawn(), Calls{"ScrollBar DrawThemeBackground 7 1"});
    o->DrawGroupBoxFrame(&s.Vl, Rect(0, 0, 20, 20), true, 0, vlBordersAll);
    EXPECT_EQ(drawn(), Calls{"Button DrawThemeBackground 4 1"});
    o->DrawNavigatorToolButton(&s.Vl, Rect(0, 0, 20, 20), vlbsPressed);
    EXPECT_EQ(drawn(), Calls{"ToolBar DrawThemeBackground 1 3"});
    EXPECT_EQ(o->GroupBoxCaptionTextColor(true), clRed);
    EXPECT_EQ(s.of(sentinel), QRegion(0, 0, 20, 20));
}

// Without visual styles the native look draws as the standard one.
TEST(vlLookAndFeelPainters, NativeLookWithoutStylesDrawsTheStandardLook)
{
    ASSERT_FALSE(AreVisualStylesAvailable());
    using Draw = std::function<void(const TvlCustomLookAndFeelPainter*, TvlCanvas*)>;
    const TRect r = Rect(1, 1, 16, 14);
    std::vector<std::pair<const char*, Draw>> calls = {
        {"border", [&](auto* p, TvlCanvas* c) { p->DrawBorder(c, r); }},
        {"separator", [&](auto* p, TvlCanvas* c) { p->DrawSeparator(c, r, true); }},
        {"expand", [&](auto* p, TvlCanvas* c) { p->DrawExpandButton(c, Rect(2, 2, 11, 11), false, clDefault); }},
        {"check border", [&](auto* p, TvlCanvas* c) { p->DrawCheckButton(c, Rect(1, 1, 14, 14), vlbsHot, cbsChecked); }},
        {"check box", [&](auto* p, TvlCanvas* c) { p->DrawCheckBox(c, Rect(1, 1, 14, 14), vlbsDisabled, false); }},
    };
    for (TvlButtonState state : {vlbsNormal, vlbsHot, vlbsPressed, vlbsDisabled}) {
        calls.push_back({"button", [state, r](auto* p, TvlCanvas* c) { p->DrawButton(c, r, String(), state); }});
        calls.push_back({"arrow border", [state, r](auto* p, TvlCanvas* c) { p->DrawArrowBorder(c, r, state); }});
        for (TvlArrowDirection direction : {adUp, adDown, adLeft, adRight})
            calls.push_back({"arrow button", [state, direction, r](auto* p, TvlCanvas* c) {
                                 p->DrawArrowButton(c, r, state, direction);
                             }});
    }
    calls.push_back({"caption", [&](auto* p, TvlCanvas* c) {
                         p->DrawButton(c, r, QStringLiteral("\u2588\u2588"), vlbsNormal);
                     }});
    TvlViewParams params;
    params.Color = clBtnFace;
    params.TextColor = clWindowText;
    const std::vector<std::pair<const char*, Draw>> elements = {
        {"header", [&](auto* p, TvlCanvas* c) {
             p->DrawHeaderEx(c, r, r, {}, vlBordersAll, vlbsHot, taLeftJustify, vaTop, false, false, String(),
                             nullptr, clNone, clBtnFace, nullptr, true);
         }},
        {"header section", [&](auto* p, TvlCanvas* c) {
             p->DrawHeaderSection(c, r, r, {}, vlBordersAll, vlbsPressed, taLeftJustify, vaTop, false, false,
                                  String(), nullptr, clNone, clWindow);
         }},
        {"header with arrows", [&](auto* p, TvlCanvas* c) {
             p->DrawHeaderWithScrollArrows(c, r, String(), TvlBorders{bLeft}, params, 3, 4);
         }},
        {"footer border", [&](auto* p, TvlCanvas* c) { p->DrawFooterBorder(c, r); }},
        {"footer cell", [&](auto* p, TvlCanvas* c) {
             p->DrawFooterCell(c, r, taLeftJustify, vaTop, false, String(), nullptr, clNone, clWindow);
         }},
        {"filter close", [&](auto* p, TvlCanvas* c) { p->DrawFilterPanelCloseButton(c, r, vlbsHot); }},
        {"filter button", [&](auto* p, TvlCanvas* c) { p->DrawFilterButton(c, r, vlbsPressed, true); }},
        {"group panel item", [&](auto* p, TvlCanvas* c) { p->DrawGroupPanelItem(c, r, false, vlbsHot); }},
        {"group expand", [&](auto* p, TvlCanvas* c) { p->DrawGroupExpandButton(c, r, true, vlbsHot); }},
        {"tab border", [&](auto* p, TvlCanvas* c) { p->DrawTabItemBorder(c, r, bTop, vlBordersAll, false); }},
        {"tabs area", [&](auto* p, TvlCanvas* c) { p->DrawTabsArea(c, r); }},
        {"size grip", [&](auto* p, TvlCanvas* c) { p->DrawSizeGrip(c, r); }},
        {"navigation", [&](auto* p, TvlCanvas* c) {
             p->DrawNavigationButtonContent(c, r, Rect(4, 3, 11, 10), false, vlbsPressed);
         }},
        {"progress marker", [&](auto* p, TvlCanvas* c) { p->DrawProgressMarker(c, r, Rect(2, 2, 6, 12), params, false); }},
        {"navigator button", [&](auto* p, TvlCanvas* c) { p->DrawNavigatorToolButton(c, r, vlbsHot); }},
        {"view splitter", [&](auto* p, TvlCanvas* c) { p->DrawViewSplitterBorder(c, r, params, true); }},
        {"group box", [&](auto* p, TvlCanvas* c) { p->DrawGroupBoxFrame(c, r, false, 0, vlBordersAll); }},
        {"track", [&](auto* p, TvlCanvas* c) { p->DrawTrackBarTrack(c, r, r, false, clNone, true, clWindow); }},
        {"thumb", [&](auto* p, TvlCanvas* c) {
             p->DrawTrackBarThumb(c, Rect(2, 2, 11, 9), vlbsHot, true, tbtsPointedTop, clBtnFace);
         }},
    };
    calls.insert(calls.end(), elements.begin(), elements.end());
    for (bool horizontal : {false, true})
        for (TvlScrollBarPartKind kind : {sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown})
            calls.push_back({"scroll bar", [horizontal, kind, r](auto* p, TvlCanvas* c) {
                                 p->DrawScrollBarPart(c, horizontal, r, kind, vlbsPressed);
                             }});
    for (const auto& [name, draw] : calls) {
        Surface standard(18, 16), native(18, 16);
        draw(standardLook(), &standard.Vl);
        draw(nativeLook(), &native.Vl);
        EXPECT_EQ(native.Image, standard.Image) << name;
    }
    EXPECT_EQ(nativeLook()->BorderSize(), 2);
    EXPECT_EQ(nativeLook()->ExpandButtonSize(), 12);
    EXPECT_EQ(nativeLook()->DefaultViewColorC(), TColor(0x9D9DA1));
    // Metrics, and the caption button that needs the theme.
    EXPECT_EQ(nativeLook()->HeaderBorderWidth(), 1);
    EXPECT_EQ(nativeLook()->FooterCellBorderWidth(), 1);
    EXPECT_EQ(nativeLook()->ScrollBarMinimalThumbSize(true), 8);
    EXPECT_FALSE(nativeLook()->IsTabDrawingSupported());
    TPoint check;
    nativeLook()->FilterCheckSize(check);
    EXPECT_EQ(check, (TPoint{13, 13}));
    TSize caption{1, 1};
    nativeLook()->CaptionButtonSize(caption);
    EXPECT_EQ(caption, (TSize{0, 0}));
    Surface nothing(18, 16);
    nativeLook()->DrawCaptionButton(&nothing.Vl, r, true, false, false, clRed);
    EXPECT_EQ(nothing.of(sentinel), QRegion(0, 0, 18, 16));
}

}  // namespace
