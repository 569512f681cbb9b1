// The text editor: display text of its properties, number text with
// thousand separators, bounds, lookup data and the drawing of text cells.
#include "ui/editors/vlTextEdit.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <gtest/gtest.h>

#include <memory>

#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct ChangeRecorder {
    int Changes = 0;
    bool ChangingSeen = false;
    bool Throw = false;
    void Changed(TObject* Sender)
    {
        ++Changes;
        ChangingSeen = static_cast<TvlCustomTextEditProperties*>(Sender)->FormatChanging();
        if (Throw)
            throw Exception(QStringLiteral("refused"));
    }
};

// Restores the process's format settings after a test changes them.
struct SettingsGuard {
    TFormatSettings Saved = FormatSettings;
    ~SettingsGuard() { FormatSettings = Saved; }
};

TEST(TextEditProperties, HearFormatChangesWhileTheyLive)
{
    const TFormatSettings saved = FormatSettings;
    TvlFormatController* controller = vlFormatController();
    const int before = controller->ListenerCount();
    ChangeRecorder recorder;
    {
        auto properties = std::make_unique<TvlTextEditProperties>(nullptr);
        const TvlTextEditProperties other(nullptr);
        EXPECT_EQ(controller->ListenerCount(), before + 2);
        properties->OnPropertiesChanged = TNotifyEvent(&recorder, &ChangeRecorder::Changed);
        FormatSettings.ShortDateFormat = QStringLiteral("yyyy-MM-dd");
        controller->TranslationChanged();
        EXPECT_EQ(recorder.Changes, 1);
        EXPECT_TRUE(recorder.ChangingSeen);
        EXPECT_FALSE(properties->FormatChanging());
        EXPECT_EQ(controller->DateStandardMask(), QStringLiteral("!9999\\-99\\-99;1; "));
        properties.reset();
        EXPECT_EQ(controller->ListenerCount(), before + 1);
        controller->TranslationChanged();  // the freed properties hear nothing
        EXPECT_EQ(recorder.Changes, 1);
    }
    EXPECT_EQ(controller->ListenerCount(), before);
    FormatSettings = saved;
    controller->RefreshFormats();
}

TEST(TextEditProperties, TheChangingFlagSurvivesAnException)
{
    ChangeRecorder recorder;
    recorder.Throw = true;
    TvlTextEditProperties properties(nullptr);
    properties.OnPropertiesChanged = TNotifyEvent(&recorder, &ChangeRecorder::Changed);
    EXPECT_THROW(properties.FormatChanged(), Exception);
    EXPECT_TRUE(recorder.ChangingSeen);
    EXPECT_FALSE(properties.FormatChanging());
}

// A numeric editor's settings, as the spin and currency editors make them.
class NumericProperties : public TvlCustomTextEditProperties {
public:
    using TvlCustomTextEditProperties::TvlCustomTextEditProperties;
    bool IsEditValueNumeric() const override { return true; }
    bool ThousandSeparatorsWhileEditing(bool) const override { return Separators; }
    bool Separators = false;
};

class CurrencyProvider : public TvlCustomEditDefaultValuesProvider {
public:
    CurrencyProvider() : TvlCustomEditDefaultValuesProvider(nullptr) {}
    bool IsCurrency() const override { return true; }
};

TEST(TextEditProperties, DisplayTextOfValues)
{
    const SettingsGuard guard;
    FormatSettings.DecimalSeparator = u'.';
    FormatSettings.ThousandSeparator = u',';
    FormatSettings.CurrencyDecimals = 2;
    struct Case {
        const char* Name;
        std::function<void(NumericProperties&)> Setup;
        bool Numeric;
        Variant Value;
        bool Focused;
        const char* Expected;
    };
    const std::vector<Case> cases = {
        {"text", nullptr, false, Variant("abc"), false, "abc"},
        {"int64", nullptr, false, Variant(123456789012LL), false, "123456789012"},
        {"null", nullptr, false, Null(), false, ""},
        {"double", nullptr, false, Variant(2.5), true, "2.5"},
        {"numeric null", nullptr, true, Null(), true, ""},
        {"display format unfocused", [](NumericProperties& p) { p.SetDisplayFormat(QStringLiteral("0.00")); }, true,
         Variant(1234.5), false, "1234.50"},
        {"display format not used focused", [](NumericProperties& p) { p.SetDisplayFormat(QStringLiteral("0.00")); },
         true, Variant(1234.5), true, "1234.5"},
        {"display format used focused",
         [](NumericProperties& p) {
             p.SetDisplayFormat(QStringLiteral("0.00"));
             p.SetUseDisplayFormatWhenEditing(true);
         },
         true, Variant(1234.5), true, "1234.50"},
        {"edit format focused", [](NumericProperties& p) { p.SetEditFormat(QStringLiteral("#,##0.0")); }, true,
         Variant(1234.5), true, "1,234.5"},
        {"number text from a string", nullptr, true, Variant("1234.5"), true, "1234.5"},
        {"separators while editing", [](NumericProperties& p) { p.Separators = true; }, true, Variant(1234567.25),
         true, "1,234,567.25"},
        {"fifteen digits", nullptr, true, Variant(0.1 + 0.2), true, "0.3"},
        {"upper case", [](NumericProperties& p) { p.SetCharCase(ecUpperCase); }, false, Variant("MiXed"), false,
         "MIXED"},
        {"lower case", [](NumericProperties& p) { p.SetCharCase(ecLowerCase); }, false, Variant("MiXed"), false,
         "mixed"},
        {"password", [](NumericProperties& p) { p.SetEchoMode(eemPassword); }, false, Variant("hello"), false,
         "*****"},
        {"password char",
         [](NumericProperties& p) {
             p.SetEchoMode(eemPassword);
             p.SetPasswordChar(u'#');
             p.SetCharCase(ecUpperCase);
         },
         false, Variant("abc"), false, "###"},
    };
    for (const Case& c : cases) {
        NumericProperties numeric(nullptr);
        TvlTextEditProperties text(nullptr);
        if (c.Setup)
            c.Setup(numeric);
        if (!c.Numeric)
            text.Assign(&numeric);
        const TvlCustomTextEditProperties& p = c.Numeric ? static_cast<const TvlCustomTextEditProperties&>(numeric)
                                                         : text;
        Variant display;
        p.PrepareDisplayValue(c.Value, display, c.Focused);
        String shown = VarToStr(display);
        p.DisplayValueToDisplayText(shown);
        EXPECT_EQ(shown, QString::fromUtf8(c.Expected)) << c.Name;
        if (!c.Focused) {
            EXPECT_EQ(p.GetDisplayText(c.Value), QString::fromUtf8(c.Expected)) << c.Name;
        }
    }
}

TEST(TextEditProperties, CurrencyTextWhileEditingAndValuesThatAreNoNumbers)
{
    const SettingsGuard guard;
    FormatSettings.DecimalSeparator = u'.';
    FormatSettings.CurrencyDecimals = 2;
    CurrencyProvider provider;
    NumericProperties p(nullptr);
    p.SetDefaultValuesProvider(&provider);
    Variant display;
    p.PrepareDisplayValue(Variant(1234.5), display, true);
    EXPECT_EQ(VarToStr(display), QStringLiteral("1234.50"));
    p.PrepareDisplayValue(Variant(1234.5), display, false);
    EXPECT_EQ(VarToStr(display), QStringLiteral("1234.5"));
    p.SetDefaultValuesProvider(nullptr);
    try {
        p.PrepareDisplayValue(VarFromDateTime(EncodeDate(2020, 1, 2)), display, true);
        FAIL() << "a date is no number";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Could not convert to numeric value"));
    }
}

TEST(TextEditProperties, ThousandSeparators)
{
    const SettingsGuard guard;
    FormatSettings.DecimalSeparator = u'.';
    FormatSettings.ThousandSeparator = u',';
    const std::pair<const char*, const char*> cases[] = {
        {"123", "123"},
        {"1234", "1,234"},
        {"-123456", "-123,456"},
        {"-1234567", "-1,234,567"},
        {"  12345.678E+10  ", "  12,345.678E+10  "},
        {"1,23,4567.5", "1,234,567.5"},
        {"", ""},
        {"-", "-"},
    };
    for (const auto& [text, expected] : cases) {
        String s = QString::fromLatin1(text);
        AddThousandSeparators(s);
        EXPECT_EQ(s, QString::fromLatin1(expected)) << text;
    }
    // A locale whose thousand separator is the decimal point leaves numbers
    // as they are instead of turning 1234.5 into 12.345.
    FormatSettings.ThousandSeparator = u'.';
    String s = QStringLiteral("1234.5");
    AddThousandSeparators(s);
    EXPECT_EQ(s, QStringLiteral("1234.5"));
    RemoveThousandSeparators(s);
    EXPECT_EQ(s, QStringLiteral("1234.5"));
}

TEST(TextEditProperties, ValueBounds)
{
    struct Case {
        bool MinAssigned;
        double Min;
        bool MaxAssigned;
        double Max;
        bool MinDefined;
        bool MaxDefined;
        bool FiveOut;
        bool ThousandOut;
    };
    const Case cases[] = {
        {true, 10, false, 0, true, false, true, false},
        {false, 0, true, 100, false, true, false, true},
        {false, 0, false, 0, false, false, false, false},
        {true, 1, true, 100, true, true, false, true},
        {true, 100, true, 100, false, false, false, false},
        {true, 100, true, 10, false, false, false, false},
    };
    for (const Case& c : cases) {
        NumericProperties p(nullptr);
        if (c.MinAssigned)
            p.SetMinValue(c.Min);
        if (c.MaxAssigned)
            p.SetMaxValue(c.Max);
        EXPECT_EQ(p.IsValueBoundDefined(false), c.MinDefined) << c.Min << " " << c.Max;
        EXPECT_EQ(p.IsValueBoundDefined(true), c.MaxDefined) << c.Min << " " << c.Max;
        for (const auto& [value, out] : {std::pair{5.0, c.FiveOut}, std::pair{1000.0, c.ThousandOut}}) {
            Variant display(String::number(value));
            String error;
            bool failed = false;
            p.ValidateDisplayValue(display, error, failed, nullptr);
            EXPECT_EQ(failed, out) << value << " in " << c.Min << ".." << c.Max;
            if (out) {
                EXPECT_EQ(error, QStringLiteral("Value out of bounds"));
            }
        }
    }
}

TEST(TextEditProperties, LengthFormatsAndTheirAssignedFlags)
{
    TvlTextEditProperties p(nullptr);
    ChangeRecorder recorder;
    p.OnPropertiesChanged = TNotifyEvent(&recorder, &ChangeRecorder::Changed);
    EXPECT_FALSE(p.AssignedValues()->MaxLength());
    p.SetMaxLength(-5);
    EXPECT_EQ(p.MaxLength(), 0);
    EXPECT_TRUE(p.AssignedValues()->MaxLength());
    EXPECT_EQ(recorder.Changes, 1);
    p.SetMaxLength(0);  // assigned and equal: nothing
    EXPECT_EQ(recorder.Changes, 1);
    // A display format assigned as empty is kept through the stream only by
    // its flag.
    EXPECT_FALSE(p.AssignedValues()->IsDisplayFormatStored());
    p.ReadIsDisplayFormatAssigned(true);
    EXPECT_TRUE(p.AssignedValues()->DisplayFormat());
    const TPropInfo* pseudo = TvlTextEditProperties::StaticClassInfo().FindProp(QStringLiteral("IsDisplayFormatAssigned"));
    ASSERT_NE(pseudo, nullptr);
    EXPECT_FALSE(pseudo->StoredFn(&p));
    // ViewStyle is the buttons layout with HideCursor.
    p.SetViewStyle(vsButtonsOnly);
    EXPECT_EQ(p.ButtonsLayout(), eblButtonsOnly);
    EXPECT_TRUE(p.HideCursor());
    p.SetViewStyle(vsNormal);
    EXPECT_EQ(p.ViewStyle(), vsNormal);
    EXPECT_EQ(p.GetEditingStyle(), esEdit);
    p.SetViewStyle(vsHideCursor);
    EXPECT_EQ(p.GetEditingStyle(), esNoEdit);
    EXPECT_EQ(p.GetSupportedOperations() & 0x15Eu, 0x15Eu);
}

TEST(TextEditProperties, AssignCopiesItemsBeforeSortingAndOnlyAssignedValues)
{
    TvlTextEditProperties source(nullptr);
    for (const char* s : {"pear", "apple", "fig"})
        source.LookupItems()->Add(QString::fromLatin1(s));
    source.SetLookupItemsSorted(true);
    source.SetMaxLength(7);
    source.SetCharCase(ecUpperCase);
    source.SetEchoMode(eemPassword);
    TvlTextEditProperties target(nullptr);
    target.SetDisplayFormat(QStringLiteral("0.0"));
    target.LookupItems()->Add(QStringLiteral("old"));
    target.Assign(&source);
    EXPECT_EQ(target.LookupItems()->CommaText(), QStringLiteral("apple,fig,pear"));
    EXPECT_TRUE(target.LookupItemsSorted());
    EXPECT_EQ(target.MaxLength(), 7);
    EXPECT_TRUE(target.AssignedValues()->MaxLength());
    EXPECT_FALSE(target.AssignedValues()->DisplayFormat());  // unassigned in the source
    EXPECT_EQ(target.DisplayFormat(), String());
    EXPECT_EQ(target.CharCase(), ecUpperCase);
    EXPECT_EQ(target.EchoMode(), eemPassword);
}

// ---- lookup data

class ListProperties : public TvlTextEditProperties {
public:
    using TvlTextEditProperties::TvlTextEditProperties;
    TvlEditEditingStyle GetEditingStyle() const override { return Style; }
    int GetDropDownPageRowCount() const override { return Page; }
    TvlEditEditingStyle Style = esEditList;
    int Page = 8;
};

struct FakeEditor : IvlTextEditLookupDataOwner {
    ListProperties Properties{nullptr};
    String Text;
    bool Changing = false;
    int Selected = 0;
    const TvlCustomTextEditProperties* LookupProperties() const override { return &Properties; }
    String LookupEditText() const override { return Text; }
    bool IsInsideDoEditing() const override { return false; }
    bool LookupDoEditing() override { return true; }
    void SetLookupChanging(bool Value) override { Changing = Value; }
    bool LookupChanging() const override { return Changing; }
    void SelectItem(TObject*) { ++Selected; }
};

TEST(TextEditProperties, OnlyLookupItemsAreValidInTheListStyles)
{
    ListProperties p(nullptr);
    p.LookupItems()->Add(QStringLiteral("Apple"));
    p.LookupItems()->Add(QStringLiteral("Banana"));
    p.SetCharCase(ecUpperCase);
    struct Case {
        TvlEditEditingStyle Style;
        const char* Text;
        bool Valid;
        const char* After;
    };
    const Case cases[] = {
        {esEditList, "apple", true, "APPLE"}, {esFixedList, "BANANA", true, "BANANA"},
        {esEditList, "cherry", false, "cherry"}, {esFixedList, "", true, ""},
        {esEdit, "cherry", true, "CHERRY"},     {esNoEdit, "cherry", true, "CHERRY"},
    };
    for (const Case& c : cases) {
        p.Style = c.Style;
        Variant value(c.Text);
        EXPECT_EQ(p.IsDisplayValueValid(value, true), c.Valid) << c.Text << " in style " << int(c.Style);
        EXPECT_EQ(VarToStr(value), QString::fromLatin1(c.After)) << c.Text;
    }
    Variant number(5);
    EXPECT_TRUE(p.IsEditValueValid(number, true));  // only texts are checked
    EXPECT_TRUE(p.CompareDisplayValues(Variant("apple"), Variant("APPLE")));  // both show upper case
}

TEST(TextEditLookupData, GoMovesThroughTwentyItems)
{
    struct Case {
        TvlEditLookupDirection Direction;
        bool Cycle;
        int Start;
        int Page;
        int Expected;
    };
    const Case cases[] = {
        {egdFirst, false, 10, 8, 0},      {egdLast, false, 10, 8, 19},      {egdLast, false, -1, 8, 19},
        {egdNext, false, -1, 8, 0},       {egdNext, false, 0, 8, 1},        {egdNext, false, 19, 8, 19},
        {egdNext, true, 19, 8, 0},        {egdPrior, false, 10, 8, 9},      {egdPrior, false, 0, 8, 0},
        {egdPrior, true, 0, 8, 19},       {egdPrior, false, -1, 8, -1},     {egdPrior, true, -1, 8, 19},
        {egdPageUp, false, -1, 8, -1},    {egdPageUp, true, -1, 8, 19},     {egdPageUp, false, 3, 8, 0},
        {egdPageUp, false, 10, 8, 3},     {egdPageUp, false, 0, 8, 0},      {egdPageUp, true, 0, 8, 19},
        {egdPageDown, false, -1, 8, 7},   {egdPageDown, false, 0, 8, 7},    {egdPageDown, false, 10, 8, 17},
        {egdPageDown, false, 15, 8, 19},  {egdPageDown, false, 19, 8, 19},  {egdPageDown, true, 19, 8, 0},
        // A one-row page still moves.
        {egdPageDown, false, 10, 1, 11},  {egdPageUp, false, 10, 1, 9},     {egdPageDown, false, -1, 1, 1},
    };
    for (const Case& c : cases) {
        FakeEditor editor;
        for (int i = 0; i < 20; ++i)
            editor.Properties.LookupItems()->Add(QStringLiteral("item%1").arg(i, 2, 10, QChar(u'0')));
        editor.Properties.Page = c.Page;
        TvlCustomTextEditLookupData data(&editor);
        data.OnSelectItem = TNotifyEvent(&editor, &FakeEditor::SelectItem);
        data.SetCurrentKey(Variant(c.Start));
        data.Go(c.Direction, c.Cycle);
        EXPECT_EQ(data.CurrentKey(), c.Expected)
            << "direction " << c.Direction << " cycle " << c.Cycle << " from " << c.Start << " page " << c.Page;
        EXPECT_EQ(data.ItemIndex(), c.Expected);
    }
    FakeEditor empty;
    TvlCustomTextEditLookupData data(&empty);
    data.Go(egdLast, false);
    EXPECT_EQ(data.CurrentKey(), -1);
}

TEST(TextEditLookupData, LocateCompletesFromThePrefixWithoutWrapping)
{
    FakeEditor editor;
    for (const char* s : {"Apple", "apricot", "Banana"})
        editor.Properties.LookupItems()->Add(QString::fromLatin1(s));
    TvlCustomTextEditLookupData data(&editor);
    String text = QStringLiteral("ap");
    String tail;
    ASSERT_TRUE(data.Locate(text, tail, false));
    EXPECT_EQ(text, QStringLiteral("Ap"));  // the item's spelling outside the plain style
    EXPECT_EQ(tail, QStringLiteral("ple"));
    EXPECT_EQ(data.CurrentKey(), 0);
    text = QStringLiteral("ap");
    ASSERT_TRUE(data.Locate(text, tail, true));
    EXPECT_EQ(text, QStringLiteral("ap"));
    EXPECT_EQ(tail, QStringLiteral("ricot"));
    EXPECT_EQ(data.CurrentKey(), 1);
    text = QStringLiteral("ap");
    EXPECT_FALSE(data.Locate(text, tail, true));
    EXPECT_EQ(data.CurrentKey(), 1);  // edit list: a failed prefix keeps the key
    text = QString();
    EXPECT_FALSE(data.Locate(text, tail, false));
    EXPECT_EQ(data.CurrentKey(), -1);
    // The plain style keeps the typed spelling and clears the key on failure.
    editor.Properties.Style = esEdit;
    text = QStringLiteral("BAN");
    ASSERT_TRUE(data.Locate(text, tail, false));
    EXPECT_EQ(text, QStringLiteral("BAN"));
    EXPECT_EQ(tail, QStringLiteral("ana"));
    text = QStringLiteral("cherry");
    EXPECT_FALSE(data.Locate(text, tail, false));
    EXPECT_EQ(data.CurrentKey(), -1);
}

TEST(TextEditLookupData, TextChangedWithNothingCurrentSearchesTheWholeText)
{
    FakeEditor editor;
    for (const char* s : {"Apple", "apricot"})
        editor.Properties.LookupItems()->Add(QString::fromLatin1(s));
    editor.Properties.SetExactLookupMatch(true);
    TvlCustomTextEditLookupData data(&editor);
    ASSERT_EQ(data.ItemIndex(), -1);
    editor.Text = QStringLiteral("APRICOT");
    data.TextChanged();
    EXPECT_EQ(data.CurrentKey(), 1);
    editor.Text = QStringLiteral("apri");
    data.TextChanged();
    EXPECT_EQ(data.CurrentKey(), -1);
    EXPECT_EQ(data.GetKeyDisplayText(Variant(1)), QStringLiteral("apricot"));
    EXPECT_EQ(data.GetKeyDisplayText(Variant(2)), String());
    EXPECT_EQ(data.GetKeyDisplayText(Variant(-1)), String());
}

TEST(TextEditLookupData, SelectItemFiresOnAChangeOrADifferingText)
{
    FakeEditor editor;
    for (const char* s : {"one", "two"})
        editor.Properties.LookupItems()->Add(QString::fromLatin1(s));
    TvlCustomTextEditLookupData data(&editor);
    data.OnSelectItem = TNotifyEvent(&editor, &FakeEditor::SelectItem);
    data.SetCurrentKey(Variant(1));
    EXPECT_EQ(editor.Selected, 1);
    EXPECT_FALSE(editor.Changing);  // raised only during the call
    editor.Text = QStringLiteral("two");
    data.SetCurrentKey(Variant(1));
    EXPECT_EQ(editor.Selected, 1);
    editor.Text = QStringLiteral("TWO");
    data.SetCurrentKey(Variant(1));
    EXPECT_EQ(editor.Selected, 2);
    editor.Text = QStringLiteral("two");
    data.SetCurrentKey(Variant(5));  // out of range: ignored
    EXPECT_EQ(data.CurrentKey(), 1);
    EXPECT_EQ(editor.Selected, 2);
    // Choosing the current item again still counts.
    data.SelectHighlightedItem();
    EXPECT_EQ(editor.Selected, 3);
}

// ---- drawing

struct Surface {
    explicit Surface(int W, int H) : Image(W, H, QImage::Format_RGB32), DC(&Image)
    {
        Image.fill(Qt::magenta);
        Canvas.SetHandle(&DC);
        Font.SetName(QStringLiteral("DejaVu Sans"));
        Font.SetHeight(-11);
        Font.SetColor(clBlack);
    }
    ~Surface() { Canvas.SetHandle(nullptr); }
    // The smallest rectangle (edges included) around the black pixels in the
    // area; Left is -1 when there are none.
    TRect Ink(int X0, int X1, int Y0, int Y1) const
    {
        TRect r{-1, -1, -1, -1};
        for (int y = Y0; y < Y1; ++y)
            for (int x = X0; x < X1; ++x)
                if (Image.pixel(x, y) == qRgb(0, 0, 0)) {
                    r = r.Left < 0 ? TRect{x, y, x, y}
                                   : TRect{std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x), y};
                }
        return r;
    }
    QImage Image;
    TDeviceContext DC;
    TCanvas Canvas;
    TvlCanvas VC{&Canvas};
    TFont Font;
};

TEST(TextEditViewInfo, JobListRowOfTextCells)
{
    const int widths[] = {252, 77, 78, 77, 79, 45};
    const char* texts[] = {"clip.avi", "00:01:40", "1.2 MB", "00:00:10", "2 MB", "25"};
    Surface s(620, 24);
    // Drawn as the job list draws its cells: an in-place view data in a
    // plain cell style, two pixels of content offset at the sides.
    TvlEditStyle style(nullptr, csNormal, nullptr, true);
    style.SetColor(clWhite);
    style.SetTextColor(clBlack);
    style.SetFont(&s.Font);
    int x = 0;
    for (int i = 0; i < 6; ++i) {
        TvlTextEditProperties p(nullptr);
        p.Alignment()->SetVert(taVCenter);
        if (i > 0)
            p.Alignment()->SetHorz(taCenter);
        auto data = p.CreateViewData(&style, true);
        data->ContentOffset = Rect(2, 0, 2, 0);
        auto info = p.CreateViewInfo();
        data->Calculate(&s.VC, Rect(x, 0, x + widths[i], 24), TPoint{-1, -1}, cxmbNone, TShiftState{}, info.get(),
                        false);
        info->Value = Variant(texts[i]);
        data->EditValueToDrawValue(info->Value, info.get());
        info->ShowEndEllipsis = true;
        info->Paint(&s.VC);
        x += widths[i];
    }
    // Every cell is painted, text stays in its cell, and is centred.
    EXPECT_EQ(s.Image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(s.Image.pixel(x - 1, 23), qRgb(255, 255, 255));
    EXPECT_EQ(s.Image.pixel(x, 0), qRgb(255, 0, 255));
    x = 0;
    for (int i = 0; i < 6; ++i) {
        const TRect ink = s.Ink(x, x + widths[i], 0, 24);
        const int left = ink.Left, right = ink.Right, top = ink.Top, bottom = ink.Bottom;
        ASSERT_GE(left, 0) << i;
        EXPECT_GE(left, x + 2) << i;
        EXPECT_LE(right, x + widths[i] - 3) << i;
        if (i == 0) {
            EXPECT_LE(left, x + 3);  // the file name sits left
        } else {
            EXPECT_LE(std::abs((left - x) - (x + widths[i] - 1 - right)), 3) << i;
        }
        EXPECT_LE(std::abs(top - (23 - bottom)), 4) << i;  // vertically centred (descender room)
        x += widths[i];
    }
}

TEST(TextEditViewInfo, LongTextEndsWithAnEllipsisInItsCell)
{
    Surface s(80, 24);
    TvlTextEditProperties p(nullptr);
    p.Alignment()->SetVert(taVCenter);
    auto info = p.CreateViewInfo();
    info->Bounds = Rect(0, 0, 60, 24);
    info->Value = Variant("a_very_long_file_name_that_does_not_fit.avi");
    info->SetBackgroundColor(clWhite);
    info->TextColor = clBlack;
    info->Font = &s.Font;
    info->ShowEndEllipsis = true;
    info->Paint(&s.VC);
    const int right = s.Ink(0, 80, 0, 24).Right;
    EXPECT_LE(right, 57);
    EXPECT_EQ(s.Image.pixel(60, 12), qRgb(255, 0, 255));  // nothing beyond the cell
    // The last ink is the ellipsis: three dots on the base line, nothing above.
    const TRect dot = s.Ink(right - 1, right + 1, 0, 24);
    EXPECT_LE(dot.Bottom - dot.Top, 2);
}

TEST(TextEditViewData, LayoutFlagsSizeAndSelection)
{
    Surface s(200, 40);
    TvlTextEditProperties p(nullptr);
    p.Alignment()->SetHorz(taCenter);
    p.Alignment()->SetVert(taVCenter);
    TvlEditStyle style(nullptr, csNormal, nullptr, true);
    style.SetFont(&s.Font);
    style.SetBorderStyle(ebsNone);
    auto data = std::unique_ptr<TvlCustomTextEditViewData>(
        static_cast<TvlCustomTextEditViewData*>(p.CreateViewData(&style, true).release()));
    data->PaintOptions = vlepoShowEndEllipsis;
    auto info = std::unique_ptr<TvlCustomTextEditViewInfo>(
        static_cast<TvlCustomTextEditViewInfo*>(p.CreateViewInfo().release()));
    data->Calculate(&s.VC, Rect(0, 0, 100, 24), TPoint{-1, -1}, cxmbNone, TShiftState{}, info.get(), false);
    EXPECT_EQ(info->DrawTextFlags, 0x1u | 0x10u | 0x200u | 0x40000u | 0x80000u | 0x800u);
    EXPECT_EQ(info->TextRect, info->ClientRect);

    // An empty text measures 0 wide, and 0 high where zero height is allowed.
    TvlEditMeasureParams natural;
    EXPECT_EQ(data->GetTextContentSize(&s.VC, String(), natural, data->GetDrawTextFlags()).cx, 0);
    TvlEditMeasureParams forWidth;
    forWidth.MaxWidth = 80;
    data->PaintOptions = vlepoAllowZeroHeight;
    EXPECT_EQ(data->GetTextContentSize(&s.VC, String(), forWidth, data->GetDrawTextFlags()).cy, 0);
    data->PaintOptions = 0;
    EXPECT_GT(data->GetTextContentSize(&s.VC, String(), forWidth, data->GetDrawTextFlags()).cy, 0);
    const int one = data->GetTextContentSize(&s.VC, QStringLiteral("word"), forWidth, data->GetDrawTextFlags()).cy;
    EXPECT_EQ(data->GetTextContentSize(&s.VC, QStringLiteral("word word word word word word"), forWidth,
                                       data->GetDrawTextFlags()).cy,
              3 * one);

    // Selection colours: a given text colour gets its inverse behind it.
    data->SelStart = 1;
    data->SelLength = 2;
    data->SelTextColor = clWhite;
    data->EditValueToDrawValue(Variant("abcd"), info.get());
    EXPECT_EQ(info->Text, QStringLiteral("abcd"));
    EXPECT_EQ(info->SelBackgroundColor, clBlack);
    data->SelTextColor = clDefault;
    data->SelBackgroundColor = clRed;
    data->EditValueToDrawValue(Variant("abcd"), info.get());
    EXPECT_EQ(ColorToRGB(info->SelTextColor), TColor(0xFFFF00));

    // A selection that starts past the text is not drawn.
    data->SelStart = 10;
    data->EditValueToDrawValue(Variant("abcd"), info.get());
    info->DrawText(&s.VC);
    EXPECT_EQ(info->TextOutData().SelLength, 0);
    EXPECT_GT(info->TextOutData().RowCount, 0);

    // Offset moves the prepared rows with the rectangle.
    const int x0 = info->TextOutData().TextRows[0].TextOriginX;
    const TRect r0 = info->TextRect;
    info->Offset(5, 7);
    EXPECT_EQ(info->TextOutData().TextRows[0].TextOriginX, x0 + 5);
    EXPECT_EQ(info->TextRect.Top, r0.Top + 7);
}

TEST(TextEditViewData, FixedListTextSitsLowerAndFurtherIn)
{
    Surface s(200, 40);
    ListProperties fixed(nullptr);
    fixed.Style = esFixedList;
    ListProperties plain(nullptr);
    plain.Style = esEdit;
    TvlEditStyle style(nullptr, csNormal, nullptr, true);
    style.SetFont(&s.Font);
    TRect rects[2];
    int i = 0;
    for (ListProperties* p : {&plain, &fixed}) {
        auto data = p->CreateViewData(&style, false);
        auto info = std::unique_ptr<TvlCustomTextEditViewInfo>(
            static_cast<TvlCustomTextEditViewInfo*>(p->CreateViewInfo().release()));
        data->Calculate(&s.VC, Rect(0, 0, 120, 21), TPoint{-1, -1}, cxmbNone, TShiftState{}, info.get(), false);
        rects[i++] = info->TextRect;
    }
    EXPECT_EQ(rects[1].Left, rects[0].Left + 1);
    EXPECT_EQ(rects[1].Top, rects[0].Top + 1);
    EXPECT_EQ(rects[1].Bottom, rects[0].Bottom + 1);
}

}  // namespace

namespace {

// ---- the list box of editor popups

struct ListBox : TvlCustomEditListBox {
    using TvlCustomEditListBox::TvlCustomEditListBox;
    using TvlCustomEditListBox::DoMouseWheel;
    using TvlCustomEditListBox::MouseMove;
};

TEST(TextEditListBox, HotTracksTheItemUnderThePointerAndScrollsByTheWheel)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 200);
    auto* box = new ListBox(&form);
    box->SetParent(&form);
    box->SetBounds(0, 0, 150, 100);
    box->SetItemCount(20);
    EXPECT_EQ(box->Items()->Count(), 20);
    int selected = 0;
    box->OnSelectItem = TNotifyEvent::FromFunction([&selected](TObject*) { ++selected; });
    form.Show();
    QApplication::processEvents();
    selected = 0;  // taking the focus made row 0 current
    auto* list = static_cast<QListWidget*>(box->Widget());
    const QPoint second = list->visualItemRect(list->item(2)).center();
    box->MouseMove(TShiftState{}, second.x(), second.y());
    EXPECT_EQ(box->ItemIndex(), 2);
    EXPECT_EQ(selected, 1);
    box->MouseMove(TShiftState{}, second.x(), second.y());  // the same item: nothing new
    EXPECT_EQ(selected, 1);
    box->SetHotTrack(false);
    const QPoint third = list->visualItemRect(list->item(3)).center();
    box->MouseMove(TShiftState{}, third.x(), third.y());
    EXPECT_EQ(box->ItemIndex(), 2);

    ASSERT_EQ(box->TopIndex(), 0);
    EXPECT_FALSE(box->DoMouseWheel(TShiftState{}, 120, TPoint{}));  // already at the top
    EXPECT_TRUE(box->DoMouseWheel(TShiftState{}, -120, TPoint{}));
    EXPECT_EQ(box->TopIndex(), Mouse->WheelScrollLines());
    box->SetItemCount(4);
    EXPECT_EQ(box->Items()->Count(), 4);
}

}  // namespace
