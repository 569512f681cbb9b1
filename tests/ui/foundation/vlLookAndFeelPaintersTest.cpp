// Tests of the painters: one instance per class in the look tree, the base
// painter's colour cascade, arrow geometry and the elements drawn from it,
// probed pixel by pixel on a sentinel-filled surface.
#include <QImage>
#include <QRegion>
#include <algorithm>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/graphics/SysMetrics.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vlLookAndFeels.h"

namespace {

constexpr QRgb sentinel = 0xFF123456;

struct Surface {
    explicit Surface(int w, int h) : Image(w, h, QImage::Format_RGB32), DC(&Image), Vl(&Canvas)
    {
        // The classic system colours, and text without antialiasing.
        ResetSysColors();
        Image.fill(sentinel);
        Canvas.SetHandle(&DC);
        Canvas.Font()->SetName(QStringLiteral("DejaVu Sans"));
    }
    ~Surface() { Canvas.SetHandle(nullptr); }
    QRgb at(int x, int y) const { return Image.pixel(x, y) | 0xFF000000; }
    // The pixels of one colour.
    QRegion of(QRgb c) const
    {
        QRegion r;
        for (int y = 0; y < Image.height(); ++y)
            for (int x = 0; x < Image.width(); ++x)
                if (at(x, y) == c)
                    r += QRect(x, y, 1, 1);
        return r;
    }
    // The picture as text, one letter per pixel from the legend, '.' for
    // the sentinel and '?' for anything else; printed when a probe fails.
    std::string map(const std::vector<std::pair<QRgb, char>>& legend) const
    {
        std::string text;
        for (int y = 0; y < Image.height(); ++y) {
            for (int x = 0; x < Image.width(); ++x) {
                char c = at(x, y) == sentinel ? '.' : '?';
                for (const auto& [rgb, letter] : legend)
                    if (at(x, y) == rgb)
                        c = letter;
                text += c;
            }
            text += '\n';
        }
        return text;
    }
    QImage Image;
    TDeviceContext DC;
    TCanvas Canvas;
    TvlCanvas Vl;
};

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
        {Rect(0, 0, 9, 9), adDown, false, {TPoint(6, 3), TPoint(4, 5), TPoint(2, 3)}},
        {Rect(0, 0, 9, 9), adUp, false, {TPoint(2, 5), TPoint(4, 3), TPoint(6, 5)}},
        {Rect(0, 0, 9, 9), adLeft, false, {TPoint(5, 6), TPoint(3, 4), TPoint(5, 2)}},
        {Rect(0, 0, 9, 9), adRight, false, {TPoint(3, 2), TPoint(5, 4), TPoint(3, 6)}},
        // 20 x 10 proportional: the arrow of the central square 5..15.
        {Rect(0, 0, 20, 10), adDown, true, {TPoint(11, 4), TPoint(9, 6), TPoint(7, 4)}},
        // Not proportional: sized by the full width.
        {Rect(0, 0, 20, 10), adDown, false, {TPoint(13, 3), TPoint(9, 7), TPoint(5, 3)}},
    };
    for (const Row& row : rows) {
        TvlArrowPoints points{};
        CalculateArrowPoints(row.R, points, row.Direction, row.Proportional);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(points[i], row.Expected[i]) << "direction " << row.Direction << " point " << i;
    }
    TvlArrowPoints sized{};
    CalculateArrowPoints(Rect(0, 0, 9, 9), sized, adDown, false, 2);
    EXPECT_EQ(sized[0], TPoint(5, 4));
    EXPECT_EQ(sized[1], TPoint(4, 5));
}

TEST(vlLookAndFeelPainters, BaseMetrics)
{
    const auto* base = TvlCustomLookAndFeelPainter::Instance();
    EXPECT_EQ(base->BorderSize(), 0);
    EXPECT_EQ(TvlStandardLookAndFeelPainter::Instance()->BorderSize(), 2);
    TRect r;
    base->GetButtonGroupBorders(false, false, r);
    EXPECT_EQ(r, TRect(0, 0, 0, 0));
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
        ASize = AHorizontal ? TSize(17, 1) : TSize(1, 17);
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
    EXPECT_EQ(p, TPoint(15, 0));
    base->FilterCheckSize(p);
    EXPECT_EQ(p, TPoint(13, 13));
    base->SortingMarkAreaSize(p);
    EXPECT_EQ(p, TPoint(16, 0));
    TSize size;
    base->GetSplitterSize(true, size);
    EXPECT_EQ(size, TSize(17, 2));
    base->GetSplitterSize(false, size);
    EXPECT_EQ(size, TSize(2, 17));
    base->CheckButtonSize(size);
    EXPECT_EQ(size, TSize(13, 13));
    base->ScrollBarSize(size);
    EXPECT_EQ(size, TSize(GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)));
    base->CaptionButtonSize(size);
    const int caption = std::min(GetSystemMetrics(SM_CXSIZE), GetSystemMetrics(SM_CYHSCROLL) - 3);
    EXPECT_EQ(size, TSize(caption, caption));

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
    EXPECT_EQ(borders, TRect(2, 6, 0, 6));
    EXPECT_EQ(arrow, TSize(7, 7));
    EXPECT_TRUE(hasText);

    // The previous button: borders (0, 6, 2, 6); the arrow in the top 21
    // rows of the inner area, the text 5 rows below it, 14 above the bottom.
    TRect r = Rect(0, 0, 20, 100), text, arrowR;
    base->CalculateNavigationButtonRects(false, false, 0, TSize(10, 30), r, text, arrowR);
    EXPECT_EQ(r, Rect(0, 0, 20, 100));
    EXPECT_EQ(arrowR, Rect(5, 13, 12, 20));
    EXPECT_EQ(text, Rect(0, 32, 18, 80));
    // A text longer than the room grows the button upwards.
    base->CalculateNavigationButtonRects(false, false, 0, TSize(58, 10), r, text, arrowR);
    EXPECT_EQ(r, Rect(0, -10, 20, 100));
    EXPECT_EQ(text, Rect(0, 22, 18, 80));
    EXPECT_EQ(arrowR, Rect(5, 3, 12, 10));
    // Only the arrow: the button is as high as its borders and three arrows.
    r = Rect(0, 0, 20, 100);
    base->CalculateNavigationButtonRects(true, true, 0, TSize(10, 30), r, text, arrowR);
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
        {true, tbtsPointedTop, TPoint(5, 0), TPoint(0, 0), TPoint(0, 14)},
        {true, tbtsPointedBottom, TPoint(5, 14), TPoint(10, 14), TPoint(10, 0)},
        {false, tbtsPointedTop, TPoint(0, 5), TPoint(0, 10), TPoint(14, 10)},
        {false, tbtsPointedBottom, TPoint(14, 5), TPoint(14, 0), TPoint(0, 0)},
        {true, tbtsRectangle, TPoint(5, 0), TPoint(10, 14), TPoint(0, 0)},
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

}  // namespace
