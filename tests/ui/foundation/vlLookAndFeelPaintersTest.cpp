// Tests of the painters: one instance per class in the look tree, the base
// painter's colour cascade, arrow geometry and the elements drawn from it,
// probed pixel by pixel on a sentinel-filled surface.
#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vlLookAndFeels.h"

namespace {

constexpr QRgb sentinel = 0xFF123456;

struct Surface {
    explicit Surface(int w, int h) : Image(w, h, QImage::Format_RGB32), DC(&Image), Vl(&Canvas)
    {
        Image.fill(sentinel);
        Canvas.SetHandle(&DC);
    }
    ~Surface() { Canvas.SetHandle(nullptr); }
    QRgb at(int x, int y) const { return Image.pixel(x, y) | 0xFF000000; }
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

}  // namespace
