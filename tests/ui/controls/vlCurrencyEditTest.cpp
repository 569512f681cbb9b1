// Tests of the money editor: reading numbers, the decimals and characters
// typing accepts, the edit value and text of an empty editor, bounds, and
// its registration.
#include <cmath>

#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"
#include "tests/harness/Mutation.h"
#include "tests/ui/editors/EditControlFixture.h"
#include "ui/controls/vlCurrencyEdit.h"
#include "ui/editors/vlFormats.h"

namespace {

struct TCurrencyEditTest : TEditControlFixture {
    TCurrencyEditTest()
    {
        Saved = FormatSettings;
        FormatSettings = DefaultFormatSettings();
        AddvlFilterControlUtilsUnit(Units2);
        AddvlCurrencyEditUnit(Units2);
        Units2.Initialize();
    }
    ~TCurrencyEditTest() override
    {
        Units2.Finalize();
        FormatSettings = Saved;
    }
    TvlCurrencyEdit* Make()
    {
        auto* edit = TvlCustomEdit::Create<TvlCurrencyEdit>(Form.get());
        edit->SetParent(Form.get());
        edit->SetBounds(10, 40, 120, 21);
        edit->HandleNeeded();
        QApplication::processEvents();
        return edit;
    }
    static QWidget* Inner(TvlCurrencyEdit* AEdit) { return AEdit->InnerEdit()->GetControl()->Widget(); }
    TFormatSettings Saved;
    TStartupList Units2;
};

TEST_F(TCurrencyEditTest, TextsReadAsNumbersOfADoublesRange)
{
    TvlCurrencyEditProperties p(nullptr);
    const std::tuple<const char*, bool, double> cases[] = {
        {"1.5E3", true, 1500},  {"", true, 0},         {"0", true, 0},          {"1,234.50", true, 1234.5},
        {"-2.25", true, -2.25}, {"1e-330", false, 0},  {"5e-324", true, 5e-324}, {"1e309", false, 0},
        {"abc", false, 0},      {"-", false, 0},       {"inf", false, 0},       {"0x10", false, 0}};
    for (const auto& [text, ok, value] : cases) {
        double v = 7;
        EXPECT_EQ(p.StrToCurrencyValue(QString::fromLatin1(text), v), ok) << text;
        EXPECT_EQ(v, value) << text;
    }
}

TEST_F(TCurrencyEditTest, FixedSeedMutationsReadAsFiniteNumbersOrNothing)
{
    TvlCurrencyEditProperties p(nullptr);
    const std::vector<QByteArray> seeds = {"1,234.50", "1.5E3", "-1e-330", "1.7e308", "5e-324", "  -0 "};
    vorlane::test::ForEachMutation(seeds, 131, 3000, [&](const QByteArray& mutant) {
        const String text = String::fromUtf8(mutant);
        double value = 1;
        if (p.StrToCurrencyValue(text, value))
            EXPECT_TRUE(std::isfinite(value) && std::fabs(value) <= 1.7e308) << mutant.toStdString();
        else
            EXPECT_EQ(value, 0.0);
        const Variant edit = p.TextToEditValue(text);
        EXPECT_TRUE(VarIsNull(edit) || std::isfinite(edit.AsDouble()));
    });
}

TEST_F(TCurrencyEditTest, ValidationFlagsTextThatIsNoNumber)
{
    TvlCurrencyEditProperties p(nullptr);
    Variant text(QStringLiteral(" 12.5 "));
    EXPECT_TRUE(p.IsDisplayValueValid(text, true));
    EXPECT_EQ(VarToStr(text), QStringLiteral("12.5"));  // trimmed
    Variant bad(QStringLiteral("12x"));
    EXPECT_FALSE(p.IsDisplayValueValid(bad, true));
    EXPECT_TRUE(p.IsDisplayValueValid(bad, false));
    String error;
    bool failed = false;
    p.ValidateDisplayValue(bad, error, failed, nullptr);
    EXPECT_TRUE(failed);
    EXPECT_EQ(error, QStringLiteral("Invalid input value. Use escape key to abandon changes"));
    failed = false;
    error.clear();
    p.ValidateDisplayValue(text, error, failed, nullptr);
    EXPECT_FALSE(failed);
}

TEST_F(TCurrencyEditTest, TypingKeepsToDecimalPlacesAndNumberCharacters)
{
    TvlCurrencyEdit* edit = Make();
    edit->Properties()->SetDecimalPlaces(2);
    edit->SetFocus();
    Type(Inner(edit), QStringLiteral("12.345"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12.34"));  // the third decimal is refused
    EXPECT_TRUE(edit->CheckDecimals(QStringLiteral("1.5E3")));
    EXPECT_FALSE(edit->CheckDecimals(QStringLiteral("1.555E3")));

    edit->SetEditValue(Null());
    Type(Inner(edit), QStringLiteral("-"));
    EXPECT_EQ(edit->Text(), QStringLiteral("-"));  // a lone minus starts a number
    Type(Inner(edit), QStringLiteral("3x,5"));
    EXPECT_EQ(edit->Text(), QStringLiteral("-3.5"));  // a comma is the decimal key

    // Every step must leave a number: the exponent goes in after the digits,
    // and 1e-330 is below a double's range.
    edit->SetEditValue(Null());
    Type(Inner(edit), QStringLiteral("133e"));
    EXPECT_EQ(edit->Text(), QStringLiteral("133"));
    edit->SetSelection(1, 0);
    Type(Inner(edit), QStringLiteral("e-"));
    EXPECT_EQ(edit->Text(), QStringLiteral("1e-33"));
    edit->SetSelection(5, 0);
    Type(Inner(edit), QStringLiteral("0"));
    EXPECT_EQ(edit->Text(), QStringLiteral("1e-33"));

    edit->SetEditValue(Null());
    edit->Properties()->SetUseThousandSeparator(true);
    Type(Inner(edit), QStringLiteral("1234"));
    EXPECT_EQ(edit->Text(), QStringLiteral("1,234"));
    EXPECT_EQ(edit->Value(), 1234.0);
}

TEST_F(TCurrencyEditTest, AnEmptyTextIsNullOrADoubleZero)
{
    TvlCurrencyEditProperties p(nullptr);
    EXPECT_TRUE(VarIsNull(p.TextToEditValue(String())));
    p.SetNullString(QStringLiteral("n/a"));
    EXPECT_TRUE(VarIsNull(p.TextToEditValue(QStringLiteral("n/a"))));
    EXPECT_TRUE(VarIsNull(p.TextToEditValue(QStringLiteral("x"))));
    EXPECT_EQ(p.TextToEditValue(QStringLiteral("2.5")).AsDouble(), 2.5);
    EXPECT_EQ(VarType(p.TextToEditValue(QStringLiteral("2.5"))), varDouble);
    p.SetNullable(false);
    const Variant zero = p.TextToEditValue(String());
    EXPECT_EQ(VarType(zero), varDouble);
    EXPECT_EQ(zero.AsDouble(), 0.0);

    p.SetNullable(true);
    Variant shown;
    p.PrepareDisplayValue(Null(), shown, false);
    EXPECT_EQ(VarToStr(shown), QStringLiteral("n/a"));
    p.PrepareDisplayValue(Null(), shown, true);
    EXPECT_EQ(VarToStr(shown), String());
    p.SetNullable(false);
    p.PrepareDisplayValue(Null(), shown, false);
    EXPECT_EQ(VarToStr(shown), FormatFloat(vlFormatController()->CurrencyDisplayFormat(), 0));
    p.PrepareDisplayValue(Variant(1234.5), shown, false);
    EXPECT_EQ(VarToStr(shown), FormatFloat(vlFormatController()->CurrencyDisplayFormat(), 1234.5));
}

TEST_F(TCurrencyEditTest, UnfocusedTheValueShowsInTheCurrencyFormatFocusedAsAPlainNumber)
{
    TvlCurrencyEdit* edit = Make();
    Unfocus();
    QApplication::processEvents();
    ASSERT_FALSE(edit->Focused());
    edit->SetValue(1234.5);
    EXPECT_EQ(edit->Text(), FormatFloat(vlFormatController()->CurrencyDisplayFormat(), 1234.5));
    edit->SetFocus();
    QApplication::processEvents();
    ASSERT_TRUE(edit->Focused());
    EXPECT_EQ(edit->Text(), QStringLiteral("1234.5"));
    // Emptied and left: null, shown as the null string.
    edit->Properties()->SetNullString(QStringLiteral("none"));
    edit->SelectAll();
    Key(Inner(edit), Qt::Key_Delete);
    EXPECT_EQ(edit->Text(), String());
    Unfocus();
    QApplication::processEvents();
    EXPECT_TRUE(VarIsNull(edit->EditValue()));
    EXPECT_EQ(edit->Text(), QStringLiteral("none"));
}

TEST_F(TCurrencyEditTest, ValueKeepsInsideTheBounds)
{
    TvlCurrencyEdit* edit = Make();
    edit->Properties()->SetMinValue(10);
    edit->SetValue(5);
    EXPECT_EQ(edit->Value(), 10.0);
    EXPECT_EQ(edit->EditValue().AsDouble(), 10.0);
    edit->SetValue(50);
    EXPECT_EQ(edit->Value(), 50.0);
    edit->Properties()->SetMaxValue(20);
    edit->SetValue(50);
    EXPECT_EQ(edit->Value(), 20.0);
    edit->SetEditValue(Variant(QStringLiteral("zz")));
    EXPECT_EQ(edit->Value(), 0.0);
}

TEST_F(TCurrencyEditTest, DecimalPlacesFollowTheLocaleUntilSetAndAssignCopiesTheSettings)
{
    TvlCurrencyEditProperties a(nullptr);
    FormatSettings.CurrencyDecimals = 3;
    EXPECT_EQ(a.DecimalPlaces(), 3);
    EXPECT_FALSE(a.IsDecimalPlacesStored());
    a.SetDecimalPlaces(1);
    a.SetNullString(QStringLiteral("-"));
    a.SetUseThousandSeparator(true);
    a.SetNullable(false);
    TvlCurrencyEditProperties b(nullptr);
    b.Assign(&a);
    EXPECT_EQ(b.DecimalPlaces(), 1);
    EXPECT_TRUE(b.IsDecimalPlacesStored());
    EXPECT_EQ(b.NullString(), QStringLiteral("-"));
    EXPECT_TRUE(b.UseThousandSeparator());
    EXPECT_FALSE(b.Nullable());
    EXPECT_TRUE(b.ValidateOnEnter());
    a.AssignedValues()->RestoreDefaults();
    EXPECT_EQ(a.DecimalPlaces(), 3);
}

TEST_F(TCurrencyEditTest, RegistersTheEditorAndItsFilterHelper)
{
    EXPECT_EQ(FindEditPropertiesClass(QStringLiteral("TvlCurrencyEditProperties")),
              &TvlCurrencyEditProperties::StaticClassInfo());
    EXPECT_EQ(GetFilterEditsController()->FindHelper(&TvlCurrencyEditProperties::StaticClassInfo()),
              TvlFilterCurrencyEditHelper::Instance());
    const TvlFilterControlOperators ops =
        TvlFilterCurrencyEditHelper::Instance()->SupportedOperators(nullptr, nullptr, false);
    EXPECT_FALSE(ops & FilterControlOperatorBit(7));
    EXPECT_TRUE(ops & FilterControlOperatorBit(3));
    TvlCurrencyEditProperties source(nullptr);
    auto edit = TvlFilterCurrencyEditHelper::Instance()->GetFilterEdit(&source);
    ASSERT_NE(edit, nullptr);
    EXPECT_NE(dynamic_cast<TvlCurrencyEdit*>(edit.get()), nullptr);
}

}  // namespace
