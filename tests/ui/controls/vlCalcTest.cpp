// Tests of the calculator: the engine driven by key scripts against a
// display of its own, and the control's layout, sizing, painting, keys,
// mouse and clipboard.
#include <QClipboard>
#include <QApplication>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "fuzz/FuzzCalc.h"
#include "tests/harness/DefaultFormats.h"
#include "tests/harness/Mutation.h"
#include "tests/ui/foundation/ControlFixtures.h"
#include "ui/controls/vlCalc.h"

namespace {

// A display and counters of what the engine signals.
class ScriptHost : public IvlCalcEngineHost {
public:
    String GetDisplayText() const override { return Display; }
    void SetDisplayText(const String& AText) override { Display = AText; }
    void Beep() override { ++Beeps; }
    void ResultShown() override { ++Results; }
    void LockTextChange(bool ALock, bool AReport) override
    {
        if (!ALock && AReport)
            ++Reports;
    }

    String Display = QStringLiteral("0");
    int Beeps = 0;
    int Results = 0;
    int Reports = 0;
};

// Runs a script: characters as typed, "{name}" for the keys without one,
// "{paste:text}" for a paste.
void run(TvlCalcEngine& AEngine, const std::string& AScript)
{
    static const std::map<std::string, TvlCalcButtonKind> names = {
        {"Back", cbBack}, {"CE", cbCE},     {"C", cbC},         {"MC", cbMC},          {"MR", cbMR},
        {"MS", cbMS},     {"M+", cbMPlus},  {"+/-", cbSign},    {"sqrt", cbSqrt},      {"1/x", cbReciprocal}};
    for (size_t i = 0; i < AScript.size(); ++i) {
        if (AScript[i] != '{') {
            const TvlCalcButtonKind kind = TvlCustomCalculator::CharToButton(QChar(AScript[i]));
            ASSERT_NE(kind, cbNone) << AScript[i];
            AEngine.ButtonClick(kind);
            continue;
        }
        const size_t end = AScript.find('}', i);
        const std::string token = AScript.substr(i + 1, end - i - 1);
        i = end;
        if (token.rfind("paste:", 0) == 0)
            AEngine.Paste(QString::fromStdString(token.substr(6)));
        else
            AEngine.ButtonClick(names.at(token));
    }
}

struct EngineCase {
    std::string script;
    const char* display;
    int status;
    bool memoryEmpty;
    int beeps;
    int results;
};

class CalcEngineTest : public vorlane::test::DefaultFormatSettingsTest {};

TEST_F(CalcEngineTest, ScriptsGiveTheirDisplayStatusMemoryBeepsAndResults)
{
    const EngineCase cases[] = {
        {"2+3=", "5", csResult, true, 0, 1},
        {"2+3==", "5", csResult, true, 0, 2},  // no repeat of the last operation
        {"50+10%", "55", csResult, true, 0, 1},
        {"50*10%", "5", csResult, true, 0, 1},
        {"50-10%", "45", csResult, true, 0, 1},
        {"1/0=", "Error", csError, true, 1, 1},
        {"1/0=5", "Error", csError, true, 2, 1},
        {"1/0=5{C}", "0", csResult, true, 2, 1},
        {"1/0=5{CE}7", "7", csEntering, true, 2, 1},
        {"123456789012345", "123456789012345", csEntering, true, 0, 0},
        {"1234567890123456", "123456789012345", csEntering, true, 1, 0},
        {"1234567.89012345", "1234567.8901234", csEntering, true, 1, 0},  // the separator counts
        {"12345678901234{+/-}5", "-123456789012345", csEntering, true, 0, 0},  // the minus does not
        {"7{Back}", "0", csEntering, true, 0, 0},
        {"7{+/-}{Back}", "0", csEntering, true, 0, 0},
        {"123{Back}", "12", csEntering, true, 0, 0},
        {"1..5", "1.5", csEntering, true, 0, 0},
        {"{MS}", "0", csResult, true, 0, 0},
        {"3{M+}", "3", csResult, false, 0, 0},
        {"3{MS}{C}{MR}", "3", csEntering, false, 0, 0},
        {"3{MS}{MC}", "3", csResult, true, 0, 0},
        {"4{+/-}{sqrt}", "Error", csError, true, 1, 0},
        {"0{1/x}", "Error", csError, true, 1, 0},
        {"4{1/x}", "0.25", csResult, true, 0, 0},
        {"2+9@", "3", csEntering, true, 0, 0},
        {"2+9@=", "5", csResult, true, 0, 1},
        {"5+=", "10", csResult, true, 0, 1},
        {"2++", "4", csResult, true, 0, 0},
        {"6*=", "36", csResult, true, 0, 1},
        {"{paste:$1,234.5}", "1234.5", csEntering, true, 0, 0},
        {"{paste: 12 }*2=", "24", csResult, true, 0, 1},
        {"{paste:abc}", "0", csEntering, true, 0, 0},
        {"{paste:inf}", "0", csEntering, true, 0, 0},
        {"{paste:nan}", "0", csEntering, true, 0, 0},
        {"{paste:0x10}", "0", csEntering, true, 0, 0},
        {"{paste:1E4000}", "1E4000", csEntering, true, 0, 0},
        {"{paste:1E4000}7", "1E4000", csEntering, true, 1, 0},  // 1E40007 is no finite number
        {"{paste:1E4000}.", "1E4000", csEntering, true, 0, 0},
        {"{paste:1E-5}{Back}", "1", csEntering, true, 0, 0},
        {"{paste:1E4000}*=", "Error", csError, true, 1, 1},
        {"{paste:1E4932}{MS}{paste:1E4932}{M+}", "Error", csError, false, 1, 0},
        {"1/3=", "0.333333333333333", csResult, true, 0, 1},
        {"1/0={paste:8}+1=", "9", csResult, true, 1, 2},
    };
    for (const EngineCase& c : cases) {
        ScriptHost host;
        TvlCalcEngine engine(&host);
        run(engine, c.script);
        EXPECT_EQ(host.Display, QString::fromLatin1(c.display)) << c.script;
        EXPECT_EQ(engine.Status(), c.status) << c.script;
        EXPECT_EQ(engine.Memory() == 0, c.memoryEmpty) << c.script;
        EXPECT_EQ(host.Beeps, c.beeps) << c.script;
        EXPECT_EQ(host.Results, c.results) << c.script;
    }
}

TEST_F(CalcEngineTest, ErrorsAreSilentWithoutBeepOnErrorAndAPressReportsOneChange)
{
    ScriptHost host;
    TvlCalcEngine engine(&host);
    engine.SetBeepOnError(false);
    run(engine, "1/0=5");
    EXPECT_EQ(host.Beeps, 0);
    EXPECT_EQ(engine.Status(), csError);

    ScriptHost counted;
    TvlCalcEngine second(&counted);
    run(second, "12+");
    // "1" and "2" changed the text, "+" left it as it was.
    EXPECT_EQ(counted.Reports, 2);
}

TEST_F(CalcEngineTest, CommaLocaleAndADisplayWithThousandSeparatorsRead)
{
    FormatSettings.DecimalSeparator = QLatin1Char(',');
    FormatSettings.ThousandSeparator = QLatin1Char('.');
    ScriptHost host;
    TvlCalcEngine engine(&host);
    run(engine, "1.5*2=");  // '.' is the decimal key too
    EXPECT_EQ(host.Display, QStringLiteral("3"));
    host.Display = QStringLiteral("1.234,5");
    EXPECT_EQ(engine.GetNumber(), 1234.5L);
    host.Display = QStringLiteral("12x");
    EXPECT_EQ(engine.GetNumber(), 0.0L);
}

TEST_F(CalcEngineTest, FixedSeedMutationsKeepTheDisplayReadable)
{
    const std::vector<QByteArray> seeds = {"$1,234.5\n2+3=", "1E4000\n**==", "-0.5\n@\x19%\x05\x04",
                                           "1e-4950\n/=\x01\x02", "0x1p3\n9999999999999999.9"};
    vorlane::test::ForEachMutation(seeds, 54, 3000, [](const QByteArray& mutant) {
        String display;
        EXPECT_TRUE(RunCalcScript(String::fromUtf8(mutant), display)) << display.toStdString();
    });
}

TEST(CalcKeys, CharactersAndKeysMapToButtons)
{
    const std::pair<char16_t, TvlCalcButtonKind> chars[] = {
        {8, cbBack}, {u'0', cb0}, {u'9', cb9}, {u',', cbDecimal}, {u'.', cbDecimal}, {u'+', cbAdd},
        {u'-', cbSubtract}, {u'*', cbMultiply}, {u'/', cbDivide}, {u'%', cbPercent}, {u'@', cbSqrt},
        {u'=', cbEqual}, {u'a', cbNone}};
    for (const auto& [ch, kind] : chars)
        EXPECT_EQ(TvlCustomCalculator::CharToButton(QChar(ch)), kind) << int(ch);
    const TShiftState ctrl{ssCtrl};
    const std::tuple<uint16_t, TShiftState, TvlCalcButtonKind> keys[] = {
        {VK_RETURN, {}, cbEqual}, {VK_ESCAPE, {}, cbC}, {VK_DELETE, {}, cbCE}, {'C', {}, cbC}, {'C', ctrl, cbNone},
        {'L', ctrl, cbMC}, {'L', {}, cbNone}, {'R', ctrl, cbMR}, {'R', {}, cbReciprocal}, {'M', ctrl, cbMS},
        {'P', ctrl, cbMPlus}, {uint16_t(VK_F1 + 8), {}, cbSign}};
    for (const auto& [key, shift, kind] : keys)
        EXPECT_EQ(TvlCustomCalculator::KeyToButton(key, shift), kind) << key;
}

TEST(CalcColors, CaptionColoursByKind)
{
    EXPECT_EQ(CalcButtonTextColor(cbBack), clMaroon);
    EXPECT_EQ(CalcButtonTextColor(cbC), clMaroon);
    EXPECT_EQ(CalcButtonTextColor(cbMR), clRed);
    EXPECT_EQ(CalcButtonTextColor(cbDivide), clRed);
    EXPECT_EQ(CalcButtonTextColor(cbEqual), clRed);
    EXPECT_EQ(CalcButtonTextColor(cb5), clBlue);
    EXPECT_EQ(CalcButtonTextColor(cbSign), clBlue);
    EXPECT_EQ(CalcButtonTextColor(cbDecimal), clBlue);
    EXPECT_EQ(CalcButtonTextColor(cbSqrt), clNavy);
    EXPECT_EQ(CalcButtonTextColor(cbReciprocal), clNavy);
}

// ---------------------------------------------------------------- the control

// Remembers every button the calculator draws.
class RecordingPainter : public TvlStandardLookAndFeelPainter {
public:
    void DrawButton(TvlCanvas* ACanvas, const TRect& R, const String& ACaption, TvlButtonState AState,
                    bool ADrawBorder, TColor AColor, TColor ATextColor, bool AWordWrap,
                    bool AIsToolButton) const override
    {
        States.emplace_back(R, AState);
        TvlStandardLookAndFeelPainter::DrawButton(ACanvas, R, ACaption, AState, ADrawBorder, AColor, ATextColor,
                                                  AWordWrap, AIsToolButton);
    }
    bool IsButtonHotTrack() const override { return HotTrack; }
    TvlButtonState stateOf(const TRect& R) const
    {
        for (auto it = States.rbegin(); it != States.rend(); ++it)
            if (it->first == R)
                return it->second;
        return TvlButtonState(-1);
    }
    mutable std::vector<std::pair<TRect, TvlButtonState>> States;
    bool HotTrack = false;
};

class TestCalculator : public TvlCustomCalculator {
public:
    using TvlCustomCalculator::TvlCustomCalculator;
    using TvlCustomCalculator::KeyDown;
    using TvlCustomCalculator::KeyPress;
    using TvlCustomCalculator::KeyUp;
    using TvlCustomCalculator::MouseDown;
    using TvlCustomCalculator::MouseMove;
    using TvlCustomCalculator::MouseUp;
    String Display = QStringLiteral("0");
    int Beeps = 0;
    RecordingPainter Painter;

    void press(uint16_t AKey, TShiftState AShift = {})
    {
        uint16_t key = AKey;
        KeyDown(key, AShift);
    }
    void type(QChar ACh)
    {
        QChar ch = ACh;
        KeyPress(ch);
        uint16_t key = 0;
        KeyUp(key, {});
    }
    TPoint centre(TvlCalcButtonKind AKind) const
    {
        const TRect& r = Button(AKind).Bounds;
        return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }

protected:
    TvlLookAndFeelPainterClass GetPainter() const override { return &Painter; }
    String GetDisplayText() const override { return Display; }
    void SetDisplayText(const String& AText) override { Display = AText; }
    void Beep() override { ++Beeps; }
};

class CalculatorTest : public TControlUnitFixture {
protected:
    void SetUp() override
    {
        saved = FormatSettings;
        FormatSettings = DefaultFormatSettings();
        Calc = new TestCalculator(Form.get());
        Calc->SetParent(Form.get());
    }
    void TearDown() override { FormatSettings = saved; }
    TestCalculator* Calc = nullptr;
    TFormatSettings saved;
};

TEST_F(CalculatorTest, DefaultLayoutPlacesTheKeypadAndTheClearRow)
{
    EXPECT_EQ(Calc->Width(), 198);
    EXPECT_EQ(Calc->Height(), 131);
    const std::pair<TvlCalcButtonKind, TRect> expected[] = {
        {cbMC, Rect(3, 28, 31, 50)},       {cbMPlus, Rect(3, 103, 31, 125)}, {cb7, Rect(41, 28, 69, 50)},
        {cb8, Rect(72, 28, 100, 50)},      {cbDivide, Rect(134, 28, 162, 50)}, {cbSqrt, Rect(165, 28, 193, 50)},
        {cb0, Rect(41, 103, 69, 125)},     {cbEqual, Rect(165, 103, 193, 125)}, {cbC, Rect(146, 3, 193, 25)},
        {cbCE, Rect(96, 3, 143, 25)},      {cbBack, Rect(46, 3, 93, 25)}};
    for (const auto& [kind, r] : expected)
        EXPECT_EQ(Calc->Button(kind).Bounds, r) << kind;
    EXPECT_EQ(Calc->Button(cbDecimal).Text, QStringLiteral("."));
    EXPECT_TRUE(Calc->Button(cbMC).Grayed);
    EXPECT_TRUE(Calc->Button(cbMR).Grayed);
    EXPECT_FALSE(Calc->Button(cbMS).Grayed);
}

TEST_F(CalculatorTest, SizingSettlesOnTheNearestButtonHeight)
{
    struct Row {
        int cw, ch, h, w, off, large, font, width, height;
    };
    const Row rows[] = {
        {198, 131, 23, 29, 3, 49, 8, 202, 133},  // the created size is no fixed point
        {100, 60, 22, 28, 3, 48, 8, 196, 128},   // too small keeps 22
        {396, 262, 45, 57, 6, 97, 16, 394, 261},
        {396, 134, 23, 29, 3, 49, 8, 202, 133},  // the height limits
    };
    for (const Row& r : rows) {
        Calc->CalcSize(r.cw, r.ch);
        EXPECT_EQ(Calc->ButtonHeight(), r.h) << r.cw << "x" << r.ch;
        EXPECT_EQ(Calc->ButtonWidth(), r.w);
        EXPECT_EQ(Calc->XOffset(), r.off);
        EXPECT_EQ(Calc->YOffset(), r.off);
        EXPECT_EQ(Calc->LargeButtonWidth(), r.large);
        EXPECT_EQ(Calc->CalcFontSize(), r.font);
        EXPECT_EQ(Calc->CalcWidth(), r.width);
        EXPECT_EQ(Calc->CalcHeight(), r.height);
    }
    Calc->SetBounds(0, 0, 198, 131);
    Calc->SetBounds(0, 0, 199, 131);
    EXPECT_EQ(Calc->ButtonHeight(), 23);
    EXPECT_EQ(Calc->ClientWidth(), 202);
    EXPECT_EQ(Calc->ClientHeight(), 133);
}

TEST_F(CalculatorTest, ResizingClearsMemoryAndThePendingOperation)
{
    Calc->type(u'7');
    Calc->press('M', {ssCtrl});
    Calc->type(u'+');
    EXPECT_FALSE(Calc->Button(cbMR).Grayed);
    Calc->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(Calc->Engine().Memory(), 0.0L);
    EXPECT_EQ(Calc->Engine().Operator(), cbEqual);
    EXPECT_TRUE(Calc->Button(cbMR).Grayed);
}

TEST_F(CalculatorTest, PaintingShowsEqualsAsDefaultWhenFocusedAndMemoryKeysGrey)
{
    Form->Show();
    Form->Widget()->activateWindow();
    QApplication::processEvents();
    Calc->SetFocus();
    QApplication::processEvents();
    ASSERT_TRUE(Calc->Focused());
    QImage image(Calc->Width(), Calc->Height(), QImage::Format_RGB32);
    Calc->Painter.States.clear();
    Calc->PaintTo(image);
    EXPECT_EQ(Calc->Painter.stateOf(Calc->Button(cbEqual).Bounds), vlbsDefault);
    EXPECT_EQ(Calc->Painter.stateOf(Calc->Button(cbMC).Bounds), vlbsDisabled);
    EXPECT_EQ(Calc->Painter.stateOf(Calc->Button(cbMR).Bounds), vlbsDisabled);
    EXPECT_EQ(Calc->Painter.stateOf(Calc->Button(cbMS).Bounds), vlbsNormal);
    EXPECT_EQ(Calc->Painter.States.size(), size_t(vlCalcButtonCount));

    // A digit's caption is blue, an operation's red.
    auto has = [&](const TRect& R, TColor AColor) {
        const TColor v = ColorToRGB(AColor);
        const QRgb rgb = qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (image.pixel(x, y) == rgb)
                    return true;
        return false;
    };
    EXPECT_TRUE(has(Calc->Button(cb7).Bounds, clBlue));
    EXPECT_FALSE(has(Calc->Button(cb7).Bounds, clRed));
    EXPECT_TRUE(has(Calc->Button(cbAdd).Bounds, clRed));

    Calc->type(u'3');
    Calc->press('M', {ssCtrl});
    Calc->Painter.States.clear();
    Calc->SetEnabled(false);
    Calc->PaintTo(image);
    EXPECT_EQ(Calc->Painter.stateOf(Calc->Button(cbMR).Bounds), vlbsDisabled);
    Calc->SetEnabled(true);
    Calc->Painter.States.clear();
    Calc->PaintTo(image);
    EXPECT_EQ(Calc->Painter.stateOf(Calc->Button(cbMR).Bounds), vlbsNormal);
}

TEST_F(CalculatorTest, KeysPressOnceButAHeldBackspaceRepeats)
{
    Calc->type(u'8');
    // A key held down sends its key message again without a release.
    Calc->press('R');
    Calc->press('R');
    EXPECT_EQ(Calc->Display, QStringLiteral("0.125"));
    EXPECT_TRUE(Calc->Button(cbReciprocal).Down);
    uint16_t key = 'R';
    Calc->KeyUp(key, {});
    EXPECT_FALSE(Calc->Button(cbReciprocal).Down);
    EXPECT_EQ(Calc->KeyPressedButton(), cbNone);

    Calc->press(VK_ESCAPE);
    Calc->KeyUp(key, {});
    for (QChar ch : QStringLiteral("9876"))
        Calc->type(ch);
    QChar back(8);
    Calc->KeyPress(back);
    EXPECT_EQ(Calc->Display, QStringLiteral("987"));
    back = QChar(8);
    Calc->KeyPress(back);
    back = QChar(8);
    Calc->KeyPress(back);
    EXPECT_EQ(Calc->Display, QStringLiteral("9"));
    Calc->KeyUp(key, {});
    EXPECT_EQ(Calc->KeyPressedButton(), cbNone);
}

TEST_F(CalculatorTest, ClipboardCopiesTheDisplayAndPastesNumbersOnly)
{
    for (QChar ch : QStringLiteral("12.5"))
        Calc->type(ch);
    QChar copy(3);
    Calc->KeyPress(copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("12.5"));
    QGuiApplication::clipboard()->setText(QStringLiteral(" $2,000 "));
    QChar paste(22);
    Calc->KeyPress(paste);
    EXPECT_EQ(Calc->Display, QStringLiteral("2000"));
    EXPECT_EQ(Calc->Engine().Status(), csEntering);
    QGuiApplication::clipboard()->setText(QStringLiteral("1e5000000"));
    Calc->PasteFromClipboard();
    EXPECT_EQ(Calc->Display, QStringLiteral("0"));
}

TEST_F(CalculatorTest, MouseClicksOnReleaseOverThePressedButtonOnly)
{
    const TPoint seven = Calc->centre(cb7);
    Calc->MouseDown(mbLeft, {ssLeft}, seven.X, seven.Y);
    EXPECT_TRUE(Calc->Button(cb7).Down);
    EXPECT_EQ(Calc->Display, QStringLiteral("0"));
    Calc->MouseUp(mbLeft, {}, seven.X, seven.Y);
    EXPECT_FALSE(Calc->Button(cb7).Down);
    EXPECT_EQ(Calc->Display, QStringLiteral("7"));

    // Pressed, dragged away and released elsewhere: no click.
    const TPoint eight = Calc->centre(cb8);
    Calc->MouseDown(mbLeft, {ssLeft}, eight.X, eight.Y);
    Calc->MouseMove({ssLeft}, seven.X, seven.Y);
    EXPECT_FALSE(Calc->Button(cb8).Down);
    EXPECT_FALSE(Calc->Button(cb7).Down);
    Calc->MouseMove({ssLeft}, eight.X, eight.Y);
    EXPECT_TRUE(Calc->Button(cb8).Down);
    Calc->MouseMove({ssLeft}, 1, 1);
    Calc->MouseUp(mbLeft, {}, 1, 1);
    EXPECT_EQ(Calc->Display, QStringLiteral("7"));

    // A grey button does not press.
    const TPoint mr = Calc->centre(cbMR);
    Calc->MouseDown(mbLeft, {ssLeft}, mr.X, mr.Y);
    EXPECT_FALSE(Calc->Button(cbMR).Down);
    Calc->MouseUp(mbLeft, {}, mr.X, mr.Y);

    // A double click is two presses.
    Calc->MouseDown(mbLeft, {ssLeft, ssDouble}, seven.X, seven.Y);
    Calc->MouseUp(mbLeft, {}, seven.X, seven.Y);
    EXPECT_EQ(Calc->Display, QStringLiteral("77"));
}

TEST_F(CalculatorTest, HotButtonFollowsThePointerWhenThePainterTracksIt)
{
    const TPoint seven = Calc->centre(cb7);
    Calc->MouseMove({}, seven.X, seven.Y);
    EXPECT_EQ(Calc->HotButton(), cbNone);
    Calc->Painter.HotTrack = true;
    Calc->MouseMove({}, seven.X, seven.Y);
    EXPECT_EQ(Calc->HotButton(), cb7);
    Calc->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(Calc->HotButton(), cbNone);
}

TEST_F(CalculatorTest, EventsReportButtonsResultsAndDisplayChanges)
{
    int results = 0, changes = 0;
    Calc->OnCalcResult = TNotifyEvent::FromFunction([&](TObject*) { ++results; });
    Calc->OnCalcDisplayChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    // The handler turns every "9" into a "1".
    Calc->OnCalcButtonClick = TvlButtonClickEvent::FromFunction([](TObject*, TvlCalcButtonKind& AKind) {
        if (AKind == cb9)
            AKind = cb1;
    });
    for (QChar ch : QStringLiteral("9+2="))
        Calc->type(ch);
    EXPECT_EQ(Calc->Display, QStringLiteral("3"));
    EXPECT_EQ(results, 1);
    EXPECT_EQ(changes, 3);  // "1", "2", "3"
}

}  // namespace
