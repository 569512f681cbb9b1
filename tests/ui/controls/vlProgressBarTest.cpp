// Tests of the progress bar: the value and setter rules, the job list's
// cell pixel for pixel, the other styles, the marquee driven tick by tick,
// standalone bars, and the registration the grid's columns rely on.
#include <QImage>
#include <gtest/gtest.h>

#include "tests/ui/foundation/ControlFixtures.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/TypInfo.h"
#include "ui/controls/vlExtEditConsts.h"
#include "ui/controls/vlProgressBar.h"

namespace {

constexpr TColor kBegin = 16360823;  // RGB 119,165,249
const QRgb kMagenta = qRgb(255, 0, 255);

QRgb rgbOf(TColor c)
{
    const TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}

// Paints one bar as a grid cell (or a standalone bar without a control)
// into a magenta image through the view data, as the grid does.
struct BarCanvas {
    QImage image;
    TFont font;
    // A cell's style is a plain record; a standalone editor's style looks
    // its values up (the border among them).
    TvlEditStyle cellStyle{nullptr, csNormal, nullptr, true};
    TvlEditStyle ownStyle{nullptr, csNormal, nullptr, false};
    std::unique_ptr<TvlCustomEditViewInfo> info;

    explicit BarCanvas(int AWidth = 220, int AHeight = 40) : image(AWidth, AHeight, QImage::Format_RGB32)
    {
        font.SetHeight(-11);
    }
    TvlCustomProgressBarViewInfo* bar() const { return static_cast<TvlCustomProgressBarViewInfo*>(info.get()); }

    void render(const TvlCustomProgressBarProperties& AProps, const Variant& AValue, const TRect& AQ, TColor ABg,
                bool AInplace = true, TvlEditBorderStyle ABorder = ebsNone)
    {
        image.fill(kMagenta);
        TvlEditStyle& style = AInplace ? cellStyle : ownStyle;
        TDeviceContext dc(&image);
        TCanvas canvas;
        canvas.SetHandle(&dc);
        TvlCanvas vc(&canvas);
        style.SetColor(ABg);
        style.SetTextColor(clWindowText);
        style.SetFont(&font);
        style.SetBorderStyle(ABorder);
        style.SetTransparentBorder(false);
        style.LookAndFeel()->SetKind(lfStandard);
        style.LookAndFeel()->SetNativeStyle(false);
        if (!info)
            info = AProps.CreateViewInfo();
        auto data = AProps.CreateViewData(&style, AInplace);
        // The grid's text margins: a bar in a cell fills the cell anyway.
        data->ContentOffset = Rect(2, 0, 2, 0);
        data->EditValueToDrawValue(AValue, info.get());
        data->Calculate(&vc, AQ, TPoint{-1, -1}, cxmbNone, TShiftState{}, info.get(), false);
        info->Paint(&vc);
        canvas.SetHandle(nullptr);
    }

    // The reference ink: the string alone, centred in AQ, on plain ABg.
    QImage textAlone(const String& AText, const TRect& AQ, TColor ABg)
    {
        QImage plain(image.width(), image.height(), QImage::Format_RGB32);
        plain.fill(rgbOf(ABg));
        TDeviceContext dc(&plain);
        TCanvas canvas;
        canvas.SetHandle(&dc);
        TvlCanvas vc(&canvas);
        vc.SetFont(&font);
        const TSize e = vc.TextExtent(AText);
        vc.DrawText(AText, Bounds(AQ.Left + (AQ.Width() - e.cx) / 2, AQ.Top + (AQ.Height() - e.cy) / 2, e.cx, e.cy),
                    DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP, clWindowText);
        canvas.SetHandle(nullptr);
        return plain;
    }
    QRgb at(int X, int Y) const { return image.pixel(X, Y); }
};

void jobListSettings(TvlCustomProgressBarProperties& p)
{
    p.SetBarBevelOuter(vlbvRaised);
    p.SetBeginColor(kBegin);
    p.SetEndColor(kBegin);
    p.SetPeakColor(8404992);
    p.SetSolidTextColor(true);
}

TEST(vlProgressBar, ValueTextFollowsTheRoundingAndClampingRules)
{
    TvlProgressBarProperties p(nullptr);
    const struct {
        Variant value;
        const char* text;
    } rows[] = {
        {Variant(45), "45 %"},      {Null(), "0 %"},          {Variant(QStringLiteral("abc")), "0 %"},
        {Variant(QStringLiteral("50,5")), "0 %"}, {Variant(QStringLiteral("100")), "100 %"},
        {Variant(12.5), "12 %"},    {Variant(13.5), "14 %"},  {Variant(150), "100 %"},
        {Variant(-1), "0 %"},       {Variant(QStringLiteral("1e2")), "100 %"}, {Variant(), "0 %"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(p.GetDisplayText(r.value), QString::fromLatin1(r.text)) << r.text;
    p.SetShowTextStyle(vltsPosition);
    EXPECT_EQ(p.GetDisplayText(Variant(12.5)), QStringLiteral("12.5"));
    p.SetText(QStringLiteral("busy"));
    EXPECT_EQ(p.GetDisplayText(Variant(12.5)), QStringLiteral("busy"));
}

TEST(vlProgressBar, SettersPullTheRangeAndForceTheirCompanions)
{
    TvlProgressBarProperties p(nullptr);
    p.SetOverloadValue(90);
    p.SetPeakValue(95);
    p.SetMin(200);
    EXPECT_EQ(p.Min(), 200);
    EXPECT_EQ(p.Max(), 200);
    EXPECT_EQ(p.OverloadValue(), 200);
    EXPECT_EQ(p.PeakValue(), 200);
    p.SetMax(50);
    EXPECT_EQ(p.Min(), 50);
    EXPECT_EQ(p.OverloadValue(), 50);
    p.SetOverloadValue(10);
    EXPECT_EQ(p.OverloadValue(), 50);  // kept inside the range

    p.SetAnimationSpeed(50);
    EXPECT_EQ(p.AnimationSpeed(), 20);

    p.SetMarquee(true);
    EXPECT_EQ(p.ShowTextStyle(), vltsText);
    p.SetShowTextStyle(vltsPercent);
    EXPECT_EQ(p.ShowTextStyle(), vltsText);
    p.SetMarquee(false);
    p.SetShowTextStyle(vltsPercent);
    p.SetText(QStringLiteral("x"));
    EXPECT_EQ(p.ShowTextStyle(), vltsText);
    p.SetText(String());
    EXPECT_EQ(p.ShowTextStyle(), vltsText);

    p.SetBeginColor(clRed);
    p.SetBarStyle(vlbsAnimation);
    EXPECT_EQ(p.BeginColor(), TColor(54056));

    // An explicit bound of 0 is kept by its flag.
    TvlProgressBarProperties q(nullptr);
    EXPECT_FALSE(static_cast<TvlProgressBarPropertiesValues*>(q.AssignedValues())->IsMaxStored());
    q.SetMax(0);
    EXPECT_TRUE(static_cast<TvlProgressBarPropertiesValues*>(q.AssignedValues())->IsMaxStored());
    EXPECT_EQ(q.Max(), 0);
}

TEST(vlProgressBar, AssignCopiesEverySettingTextAndSpeedIncluded)
{
    TvlProgressBarProperties source(nullptr), target(nullptr);
    source.SetAnimationSpeed(3);
    source.SetText(QStringLiteral("copying"));
    source.SetBarStyle(vlbsAnimationLEDs);
    source.SetBeginColor(clTeal);
    source.SetMin(10);
    source.SetMax(20);
    source.SetPeakSize(5);
    source.SetShowPeak(true);
    target.Assign(&source);
    EXPECT_EQ(target.AnimationSpeed(), 3);
    EXPECT_EQ(target.Text(), QStringLiteral("copying"));
    EXPECT_EQ(target.ShowTextStyle(), vltsText);
    EXPECT_EQ(target.BarStyle(), vlbsAnimationLEDs);
    EXPECT_EQ(target.BeginColor(), TColor(clTeal));
    EXPECT_EQ(target.Min(), 10);
    EXPECT_EQ(target.Max(), 20);
    EXPECT_EQ(target.PeakSize(), 5);
    EXPECT_TRUE(target.ShowPeak());
}

// The job list's cell: nothing outside Q changes, the raised bar, the
// background after it, and the text ink exactly as the string alone.
TEST(vlProgressBar, JobListCellFollowsThePixelRules)
{
    struct Row {
        Variant value;
        int width;  // W
        int bar;    // w
        const char* text;
    };
    const std::vector<Row> rows = {
        {Variant(50), 181, 90, "50 %"},        {Variant(0), 181, 0, "0 %"},
        {Variant(100), 181, 181, "100 %"},     {Variant(150), 181, 181, "100 %"},
        {Variant(-1), 181, 0, "0 %"},          {Variant(QStringLiteral("100")), 181, 181, "100 %"},
        {Null(), 181, 0, "0 %"},               {Variant(12.5), 181, 22, "12 %"},
        {Variant(13.5), 181, 24, "14 %"},      {Variant(50.5), 181, 91, "50 %"},
        {Variant(QStringLiteral("50,5")), 181, 0, "0 %"}, {Variant(1), 150, 1, "1 %"},
        {Variant(int64_t(75)), 181, 135, "75 %"},
    };
    TvlProgressBarProperties props(nullptr);
    jobListSettings(props);
    const QRgb highlight = rgbOf(clBtnHighlight), shadow = rgbOf(clBtnShadow), ink = rgbOf(clWindowText);
    BarCanvas c;  // one view info for every row, as a grid column has
    for (TColor bg : {TColor(clWindow), TColor(0xEBEBEB)}) {
        for (const Row& r : rows) {
            SCOPED_TRACE(QString::fromLatin1(r.text).toStdString() + " W=" + std::to_string(r.width));
            EXPECT_EQ(props.GetDisplayText(r.value), QString::fromLatin1(r.text));
            const TRect q = Rect(10, 5, 10 + r.width, 27);
            c.render(props, r.value, q, bg);
            const QImage textOnly = c.textAlone(QString::fromLatin1(r.text), q, bg);
            const int w = r.bar, H = q.Height();
            const QRgb bgRgb = rgbOf(bg);
            for (int y = 0; y < c.image.height(); ++y)
                for (int x = 0; x < c.image.width(); ++x) {
                    const QRgb px = c.at(x, y);
                    if (!q.Contains(Point(x, y))) {
                        ASSERT_EQ(px, kMagenta) << x << "," << y;
                        continue;
                    }
                    if (textOnly.pixel(x, y) == ink) {
                        ASSERT_EQ(px, ink) << x << "," << y;
                        continue;
                    }
                    const int lx = x - q.Left, ly = y - q.Top;
                    QRgb want = bgRgb;
                    if (lx < w) {
                        want = rgbOf(kBegin);
                        if (ly == 0 || lx == 0)
                            want = highlight;
                        if (ly == H - 1 || lx == w - 1)
                            want = shadow;
                    }
                    ASSERT_EQ(px, want) << x << "," << y;
                }
        }
    }
}

TEST(vlProgressBar, UnboundedValuesStayInsideTheBarWhenTheRangeIsEmpty)
{
    TvlProgressBarProperties props(nullptr);
    jobListSettings(props);
    props.SetShowText(false);
    props.SetMax(0);  // Max <= Min: nothing is clamped
    BarCanvas c;
    const TRect q = Rect(10, 5, 110, 27);
    for (const Variant& v : {Variant(1e12), Variant(-1e12), Variant(-50)}) {
        c.render(props, v, q, clWindow);
        const auto* bar = c.bar();
        EXPECT_GE(bar->ProgressBarRect.Right, q.Left);
        EXPECT_LE(bar->ProgressBarRect.Right, q.Right);
        const int percent = bar->GetPercentDone();
        EXPECT_GE(percent, 0);
        EXPECT_LE(percent, 100);
        EXPECT_EQ(c.at(q.Left - 1, q.Top + 5), kMagenta);
        EXPECT_EQ(c.at(q.Right, q.Top + 5), kMagenta);
    }
    EXPECT_EQ(props.GetDisplayText(Variant(-50)), QStringLiteral("0 %"));
    EXPECT_EQ(props.GetDisplayText(Variant(1e12)), QStringLiteral("100 %"));
}

TEST(vlProgressBar, LEDsOverloadPeakAndVerticalBars)
{
    BarCanvas c;
    const TRect q = Rect(10, 5, 110, 23);  // 100 x 18
    const QRgb bg = rgbOf(clWindow);
    {
        // LEDs at height 18: S = 14, 12 pixels of fill then a 2-pixel gap.
        TvlProgressBarProperties p(nullptr);
        p.SetBarStyle(vlbsLEDs);
        p.SetShowText(false);
        p.SetBeginColor(clRed);
        c.info.reset();
        c.render(p, Variant(100), q, clWindow);
        for (int x = q.Left; x < q.Right; ++x) {
            const int i = x - q.Left;
            const bool gap = i % 14 >= 12 && i < (100 / 14) * 14;
            EXPECT_EQ(c.at(x, q.Top + 5), gap ? bg : rgbOf(clRed)) << i;
        }
    }
    {
        // Overload 80 at 90 on width 100: normal 0..80, overload 80..90.
        TvlProgressBarProperties p(nullptr);
        p.SetShowText(false);
        p.SetShowOverload(true);
        p.SetBeginColor(clNavy);
        c.info.reset();
        c.render(p, Variant(90), q, clWindow);
        EXPECT_EQ(c.at(q.Left + 79, q.Top + 5), rgbOf(clNavy));
        EXPECT_EQ(c.at(q.Left + 80, q.Top + 5), rgbOf(TColor(0x8080FF)));
        EXPECT_EQ(c.at(q.Left + 89, q.Top + 5), rgbOf(TColor(0x8080FF)));
        EXPECT_EQ(c.at(q.Left + 90, q.Top + 5), bg);
    }
    {
        // A peak at the right end stays inside the bar.
        TvlProgressBarProperties p(nullptr);
        p.SetShowText(false);
        p.SetShowPeak(true);
        p.SetPeakValue(100);
        c.info.reset();
        c.render(p, Variant(10), q, clWindow);
        EXPECT_EQ(c.at(q.Right - 1, q.Top + 5), rgbOf(clRed));
        EXPECT_EQ(c.at(q.Right - 2, q.Top + 5), rgbOf(clRed));
        EXPECT_EQ(c.at(q.Right - 3, q.Top + 5), bg);
        EXPECT_EQ(c.at(q.Right, q.Top + 5), kMagenta);
    }
    {
        // Vertical: filled from the bottom, the gradient's end colour on top.
        TvlProgressBarProperties p(nullptr);
        p.SetShowText(false);
        p.SetOrientation(vlorVertical);
        p.SetBarStyle(vlbsGradient);
        p.SetBeginColor(clBlue);
        p.SetEndColor(clWhite);
        const TRect v = Rect(10, 2, 30, 38);  // 20 x 36
        c.info.reset();
        c.render(p, Variant(50), v, clBlack);
        EXPECT_EQ(c.at(v.Left + 5, v.Top + 5), rgbOf(clBlack));          // the upper half stays empty
        EXPECT_EQ(c.at(v.Left + 5, v.Bottom - 1), rgbOf(clBlue));        // begin colour at the bottom
        const QRgb upper = c.at(v.Left + 5, v.Top + 19), lower = c.at(v.Left + 5, v.Bottom - 2);
        EXPECT_GT(qRed(upper), qRed(lower));  // lighter (nearer the end colour) higher up
        EXPECT_GT(qBlue(upper), 0);
    }
}

TEST(vlProgressBar, LayoutNeverWritesThePeakIntoTheProperties)
{
    TvlProgressBarProperties p(nullptr);
    p.SetShowPeak(true);
    p.SetShowText(false);
    BarCanvas standalone;
    const TRect q = Rect(10, 5, 110, 27);
    for (int v : {30, 70, 40})
        standalone.render(p, Variant(v), q, clWindow, false);
    EXPECT_EQ(standalone.bar()->PeakValue, 70);
    EXPECT_EQ(p.PeakValue(), 0);
    // Cells share the properties: each shows its own value.
    BarCanvas cell;
    cell.render(p, Variant(70), q, clWindow);
    cell.render(p, Variant(40), q, clWindow);
    EXPECT_EQ(cell.bar()->PeakValue, 40);
    EXPECT_EQ(cell.at(q.Left + 40, q.Top + 5), rgbOf(clRed));
}

TEST(vlProgressBar, StandaloneBarsStartAtTheirBorderWhateverItsWidth)
{
    TvlProgressBarProperties p(nullptr);
    p.SetShowText(false);
    p.SetBeginColor(clRed);
    const TRect bounds = Rect(0, 0, 100, 20);
    for (const auto& [border, width] : {std::pair{ebsNone, 0}, std::pair{ebsSingle, 1}, std::pair{ebs3D, 2}}) {
        SCOPED_TRACE(width);
        BarCanvas c(100, 20);
        c.render(p, Variant(100), bounds, clWindow, false, border);

        // The bar fills the inside of the border exactly.
        EXPECT_EQ(c.at(width, width), rgbOf(clRed));
        EXPECT_EQ(c.at(99 - width, 19 - width), rgbOf(clRed));
        if (width > 0) {
            EXPECT_NE(c.at(width - 1, 10), rgbOf(clRed));
            EXPECT_NE(c.at(100 - width, 10), rgbOf(clRed));
        }
    }
}

// The timers live in the controls unit's timer window.
struct vlProgressBarTimers : TControlUnitFixture {};

// A position change of less than a pixel leaves the layout unchanged, and
// a paint request still paints the whole bar.
TEST(vlProgressBar, APaintAfterASubPixelChangeStillPaints)
{
    TvlProgressBarProperties p(nullptr);
    p.SetShowText(false);
    p.SetBeginColor(clRed);
    BarCanvas c(100, 20);
    const TRect bounds = Rect(0, 0, 100, 20);
    c.render(p, Variant(50.0), bounds, clWindow, false);
    p.SetChangedPosition(true);
    c.render(p, Variant(50.2), bounds, clWindow, false);  // the image starts magenta again
    EXPECT_FALSE(c.bar()->ChangedBounds());
    EXPECT_EQ(c.at(10, 10), rgbOf(clRed));
    EXPECT_EQ(c.at(60, 10), rgbOf(clWindow));
}

TEST_F(vlProgressBarTimers, MarqueeMovesTickByTickAndPausesBetweenRuns)
{
    TvlProgressBarProperties p(nullptr);
    p.SetShowText(false);
    p.SetMarquee(true);
    p.SetAnimationSpeed(10);
    p.SetMin(20);  // the path still spans the bar
    BarCanvas c(200, 20);
    const TRect bounds = Rect(0, 0, 200, 20);
    c.render(p, Variant(0), bounds, clWindow, false);
    TvlCustomProgressBarViewInfo* bar = c.bar();
    ASSERT_NE(bar->AnimationTimer(), nullptr);
    EXPECT_EQ(bar->AnimationTimer()->Interval(), 30u);
    EXPECT_EQ(bar->AnimationPosition(), -25);
    bar->AnimationTimer()->TimeOut();
    EXPECT_EQ(bar->AnimationPosition(), -5);
    for (int i = 0; i < 4; ++i)
        bar->AnimationTimer()->TimeOut();
    EXPECT_EQ(bar->AnimationPosition(), 75);
    // The block drawn is 50 pixels around the position, in the begin colour.
    c.render(p, Variant(0), bounds, clWindow, false);
    EXPECT_EQ(c.at(51, 10), rgbOf(clNavy));
    EXPECT_EQ(c.at(99, 10), rgbOf(clNavy));
    EXPECT_NE(c.at(49, 10), rgbOf(clNavy));
    EXPECT_NE(c.at(101, 10), rgbOf(clNavy));
    // Past the end (200 + 25) the run starts again, after the delay.
    bar->AnimationRestartDelay = 500;
    int ticks = 0;
    while (bar->AnimationPosition() > 0 && ticks < 100) {
        bar->AnimationTimer()->TimeOut();
        ++ticks;
    }
    EXPECT_EQ(ticks, 8);  // 75 -> 235 > 225
    EXPECT_EQ(bar->AnimationPosition(), -25);
    ASSERT_NE(bar->AnimationRestartDelayTimer(), nullptr);
    EXPECT_EQ(bar->AnimationRestartDelayTimer()->Interval(), 500u);
    bar->AnimationTimer()->TimeOut();
    EXPECT_EQ(bar->AnimationPosition(), -25);  // paused
    bar->AnimationRestartDelayTimer()->TimeOut();
    bar->AnimationTimer()->TimeOut();
    EXPECT_EQ(bar->AnimationPosition(), -5);

    // In a cell nothing animates and the bar shows its full length.
    BarCanvas cell(200, 20);
    cell.render(p, Variant(0), bounds, clWindow, true);
    EXPECT_EQ(cell.bar()->AnimationTimer(), nullptr);
    EXPECT_EQ(cell.at(10, 10), rgbOf(clNavy));
    EXPECT_EQ(cell.at(190, 10), rgbOf(clNavy));
}

TEST_F(vlProgressBarTimers, PingPongTurnsWithinHalfABlockOfTheEnd)
{
    TvlProgressBarProperties p(nullptr);
    p.SetShowText(false);
    p.SetBarStyle(vlbsAnimation);
    p.SetAnimationPath(vlapPingPong);
    p.SetAnimationSpeed(5);
    BarCanvas c(200, 20);
    const TRect bounds = Rect(0, 0, 200, 20);
    c.render(p, Variant(50), bounds, clWindow, false);  // the filled part ends at 100
    TvlCustomProgressBarViewInfo* bar = c.bar();
    ASSERT_NE(bar->AnimationTimer(), nullptr);
    EXPECT_EQ(bar->AnimationPosition(), 25);
    int turnedAt = -1;
    for (int i = 0; i < 20 && turnedAt < 0; ++i) {
        bar->AnimationTimer()->TimeOut();
        if (bar->AnimationDirection() < 0)
            turnedAt = bar->AnimationPosition();
    }
    EXPECT_EQ(turnedAt, 84);  // 85 > 100 - 25, then one back
    for (int i = 0; i < 20 && bar->AnimationDirection() < 0; ++i)
        bar->AnimationTimer()->TimeOut();
    EXPECT_GT(bar->AnimationDirection(), 0);
    EXPECT_EQ(bar->AnimationPosition(), 25);  // 24 < 0 + 25, then one forward
    // The glow lightens the band under the animation rectangle.
    c.render(p, Variant(50), bounds, clWindow, false);
    EXPECT_NE(c.at(bar->AnimationPosition(), 10), c.at(95, 10));
}

TEST_F(vlProgressBarTimers, TheStandaloneControl)
{
    TvlProgressBar bar(nullptr);
    EXPECT_EQ(bar.Width(), 121);
    EXPECT_FALSE(bar.CanFocus());
    EXPECT_FALSE(bar.ControlStyle().Contains(csCaptureMouse));
    bar.SetPosition(150);
    EXPECT_EQ(bar.Position(), 100);
    bar.SetPosition(-5);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetPosition(40);
    bar.Properties()->SetMax(30);  // pulls the edit value in
    EXPECT_EQ(bar.Position(), 30);
    EXPECT_EQ(bar.EditValue().AsDouble(), 30);
    TvlProgressBarProperties other(nullptr);
    other.SetText(QStringLiteral("t"));
    bar.SetProperties(&other);
    EXPECT_EQ(bar.Properties()->Text(), QStringLiteral("t"));
}

// The grid names its editors by class name: the unit's start-up makes the
// name known, and the job list's values are set through the property tables.
TEST(vlProgressBar, ColumnsFindTheClassByNameOnlyWhileTheUnitLives)
{
    const String name = QStringLiteral("TvlProgressBarProperties");
    UnregisterEditProperties(&TvlProgressBarProperties::StaticClassInfo());
    EXPECT_EQ(FindEditPropertiesClass(name), nullptr);
    TStartupList units;
    AddvlExtEditConstsUnit(units);
    AddvlProgressBarUnit(units);
    units.Initialize();
    const TvlClass cls = FindEditPropertiesClass(name);
    ASSERT_EQ(cls, &TvlProgressBarProperties::StaticClassInfo());
    std::unique_ptr<TvlCustomEditProperties> props = CreateEditProperties(cls, nullptr);
    ASSERT_NE(props, nullptr);
    EXPECT_EQ(props->ClassName(), name);
    const TPropInfo* bevel = GetPropInfo(props.get(), QStringLiteral("BarBevelOuter"));
    ASSERT_NE(bevel, nullptr);
    SetOrdProp(props.get(), bevel, GetEnumValue(*bevel->EnumInfo, QStringLiteral("vlbvRaised")));
    SetOrdProp(props.get(), QStringLiteral("BeginColor"), 16360823);
    SetOrdProp(props.get(), QStringLiteral("EndColor"), 16360823);
    SetOrdProp(props.get(), QStringLiteral("PeakColor"), 8404992);
    SetOrdProp(props.get(), QStringLiteral("SolidTextColor"), 1);
    const auto* bar = dynamic_cast<const TvlProgressBarProperties*>(props.get());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->BarBevelOuter(), vlbvRaised);
    EXPECT_EQ(bar->BeginColor(), TColor(16360823));
    EXPECT_EQ(GetOrdProp(props.get(), QStringLiteral("EndColor")), 16360823);
    EXPECT_EQ(bar->PeakColor(), TColor(8404992));
    EXPECT_TRUE(bar->SolidTextColor());
    const int index = GetRegisteredEditProperties()->IndexOf(cls);
    ASSERT_GE(index, 0);
    EXPECT_EQ(GetRegisteredEditProperties()->RegistrationTexts(index),
              QStringLiteral("ProgressBar|Represents a ProgressBar"));
    units.Finalize();
    EXPECT_EQ(FindEditPropertiesClass(name), nullptr);
}

TEST(vlProgressBar, ValueChecksOfTheCheckListBox)
{
    EXPECT_TRUE(IsNullOrEmptyValue(Null()));
    EXPECT_TRUE(IsNullOrEmptyValue(Variant()));
    EXPECT_FALSE(IsNullOrEmptyValue(Variant(0)));
    EXPECT_TRUE(IsIntegerText(QStringLiteral(" 42 ")));
    EXPECT_FALSE(IsIntegerText(QStringLiteral("2147483648")));
    EXPECT_FALSE(IsIntegerText(QStringLiteral("")));
    EXPECT_TRUE(IsFloatText(QStringLiteral("-1.5")));
    EXPECT_FALSE(IsFloatText(QStringLiteral("1-5")));
    EXPECT_FALSE(IsFloatText(QStringLiteral("1.5.5")));
    EXPECT_FALSE(IsFloatText(QStringLiteral("1e5")));
    EXPECT_FALSE(IsFloatText(QStringLiteral(" ")));
}

}  // namespace
