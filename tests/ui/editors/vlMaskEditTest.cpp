// The masked editor: its settings, the standard mode's key scripts over a
// phone mask and a mask without literals in the value, pastes, display
// forms and validation.
#include <QClipboard>
#include <QLineEdit>

#include "TextEditFixture.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlMaskEdit.h"

namespace {

const char* const kPhone = "!(999) 000-0000;1;_";
const char* const kPlain = "000-00;0;_";

String S(const char* AText) { return String::fromUtf8(AText); }

struct TChangeCounter {
    explicit TChangeCounter(TvlCustomEditProperties* AProperties)
    {
        AProperties->OnPropertiesChanged = TNotifyEvent(this, &TChangeCounter::changed);
    }
    void changed(TObject*) { ++Count; }
    int Count = 0;
};

}  // namespace

TEST(vlMaskEditProperties, SettingsAndTheirChangeReports)
{
    TvlMaskEditProperties p(nullptr);
    TChangeCounter changes(&p);
    EXPECT_TRUE(p.ValidateOnEnter());
    EXPECT_TRUE(p.CaseInsensitive());
    EXPECT_FALSE(p.IsMasked());

    p.SetEditMask(S(kPhone));
    EXPECT_EQ(changes.Count, 1);
    p.SetEditMask(S(kPhone));  // the same mask: stored, nothing reported
    EXPECT_EQ(changes.Count, 1);
    EXPECT_TRUE(p.IsMasked());
    EXPECT_EQ(p.GetDisplayFormatOptions(), 0u);
    EXPECT_FALSE(p.HasLookupData());

    // A masked editor keeps no length limit.
    p.SetMaxLength(5);
    EXPECT_EQ(p.MaxLength(), 0);

    // An upper-case editor compares without case whatever was asked.
    p.SetCharCase(ecUpperCase);
    p.SetCaseInsensitive(false);
    EXPECT_TRUE(p.CaseInsensitive());
    p.SetCharCase(ecNormal);
    p.SetCaseInsensitive(false);
    EXPECT_FALSE(p.CaseInsensitive());

    // A mask of blanks is no mask: lengths and lookup items work as in the
    // text editor.
    p.SetEditMask(S(" \t "));
    EXPECT_FALSE(p.IsMasked());
    EXPECT_EQ(p.GetEditMask(), String());
    p.SetMaxLength(5);
    EXPECT_EQ(p.MaxLength(), 5);
    EXPECT_TRUE(p.HasLookupData());
}

TEST(vlMaskEditProperties, AssignCopiesTheMaskSettings)
{
    TvlMaskEditProperties source(nullptr), target(nullptr);
    source.SetEditMask(S(kPlain));
    source.SetIgnoreMaskBlank(true);
    source.SetAlwaysShowBlanksAndLiterals(true);
    source.SetCaseInsensitive(false);
    TChangeCounter changes(&target);
    target.Assign(&source);
    EXPECT_EQ(target.GetEditMask(), S(kPlain));
    EXPECT_TRUE(target.IgnoreMaskBlank());
    EXPECT_TRUE(target.AlwaysShowBlanksAndLiterals());
    EXPECT_FALSE(target.CaseInsensitive());
    EXPECT_EQ(changes.Count, 1);  // one report for the whole copy
    // Plain text settings copy only the text part.
    TvlTextEditProperties text(nullptr);
    text.SetMaxLength(7);
    target.Assign(&text);
    EXPECT_EQ(target.GetEditMask(), S(kPlain));
}

TEST(vlMaskEditProperties, DisplayValuesFocusedAndUnfocused)
{
    TvlMaskEditProperties p(nullptr);
    p.SetEditMask(S(kPhone));
    struct TCase {
        const char* Value;
        bool Focused;
        bool AlwaysShow;
        const char* Shown;
    };
    const TCase cases[] = {
        {"5551234567", true, false, "(555) 123-4567"},
        {"5551234567", false, false, "(555) 123-4567"},
        {"555", true, false, "(___) ___-_555"},
        {"555", false, false, "(   )    - 555"},
        {"555", false, true, "(___) ___-_555"},
        {"", false, false, "(   )    -    "},
    };
    for (const TCase& c : cases) {
        p.SetAlwaysShowBlanksAndLiterals(c.AlwaysShow);
        Variant shown;
        p.PrepareDisplayValue(Variant(S(c.Value)), shown, c.Focused);
        EXPECT_EQ(VarToStr(shown), S(c.Shown)) << c.Value << " focused " << c.Focused;
    }
}

TEST(vlMaskEditProperties, ValidationWithoutAnEditor)
{
    TvlMaskEditProperties p(nullptr);
    p.SetEditMask(S(kPhone));
    auto check = [&p](const char* AText) {
        Variant value(S(AText));
        String errorText;
        bool error = false;
        p.ValidateDisplayValue(value, errorText, error, nullptr);
        return error ? errorText : String();
    };
    EXPECT_EQ(check("(555) 123-4567"), String());
    EXPECT_EQ(check("(___) 123-4567"), String());  // the 9s are optional
    EXPECT_EQ(check("(555) 123-45__"), S("The edit value is invalid"));
    EXPECT_EQ(check("(___) ___-____"), S("The edit value is invalid"));
    p.SetIgnoreMaskBlank(true);
    EXPECT_EQ(check("(___) ___-____"), String());
    EXPECT_EQ(check("(555) 123-45__"), S("The edit value is invalid"));
}

// ---- the editor ----------------------------------------------------------------

namespace {

struct TMaskEditFixture : TTextEditFixture {
    TMaskEditFixture()
    {
        AddvlMaskEditUnit(MaskUnits);
        MaskUnits.Initialize();
        SetMaskBeepProc([this] { ++Beeps; });
    }
    ~TMaskEditFixture() override
    {
        SetMaskBeepProc(nullptr);
        MaskUnits.Finalize();
    }

    TvlMaskEdit* MakeMaskEdit(const char* AMask, bool AFocus = true)
    {
        auto* edit = TvlCustomEdit::Create<TvlMaskEdit>(Form.get());
        edit->Properties()->SetEditMask(S(AMask));
        edit->SetParent(Form.get());
        edit->SetBounds(10, 40, 120, 21);
        edit->HandleNeeded();
        edit->OnAfterKeyDown = TKeyEvent(this, &TMaskEditFixture::afterKeyDown);
        if (AFocus)
            edit->SetFocus();
        QApplication::processEvents();
        return edit;
    }
    static QLineEdit* Line(TvlCustomMaskEdit* AEdit)
    {
        return static_cast<QLineEdit*>(AEdit->InnerEdit()->GetControl()->Widget());
    }
    static String Shown(TvlCustomMaskEdit* AEdit) { return Line(AEdit)->text(); }
    static void Caret(TvlCustomMaskEdit* AEdit, int APosition) { AEdit->SetSelStart(APosition); }
    void afterKeyDown(TObject*, uint16_t& Key, TShiftState) { AfterKeys.push_back(Key); }

    TStartupList MaskUnits;
    std::vector<uint16_t> AfterKeys;
    int Beeps = 0;
};

}  // namespace

TEST_F(TMaskEditFixture, RegisteredAsMaskEdit)
{
    TvlRegisteredClasses* registry = GetRegisteredEditProperties();
    const int index = registry->IndexOf(&TvlMaskEditProperties::StaticClassInfo());
    ASSERT_GE(index, 0);
    EXPECT_EQ(registry->RegistrationTexts(index), S("MaskEdit|Represents a generic masked edit control."));
    EXPECT_EQ(GetFilterEditsController()->FindHelper(&TvlMaskEditProperties::StaticClassInfo()),
              TvlFilterMaskEditHelper::Instance());
}

TEST_F(TMaskEditFixture, TypingOverwritesAndSkipsLiterals)
{
    TvlMaskEdit* edit = MakeMaskEdit(kPhone);
    QLineEdit* line = Line(edit);
    EXPECT_EQ(Shown(edit), S("(___) ___-____"));
    Type(line, QStringLiteral("555"));
    EXPECT_EQ(Shown(edit), S("(555) ___-____"));
    // Past the ") " literals to the next place, with the block on it.
    EXPECT_EQ(edit->SelStart(), 6);
    EXPECT_EQ(edit->SelLength(), 1);
    Type(line, QStringLiteral("1234567"));
    EXPECT_EQ(Shown(edit), S("(555) 123-4567"));
    EXPECT_EQ(VarToStr(edit->EditingValue()), S("(555) 123-4567"));
    // A refused character changes nothing and, without BeepOnError, is silent.
    Caret(edit, 7);
    Type(line, QStringLiteral("x"));
    EXPECT_EQ(Shown(edit), S("(555) 123-4567"));
    // Typing on a literal types at the next place.
    Caret(edit, 4);
    Type(line, QStringLiteral("9"));
    EXPECT_EQ(Shown(edit), S("(555) 923-4567"));
    EXPECT_EQ(Beeps, 0);
}

TEST_F(TMaskEditFixture, DeleteAndBackspaceBlankWithoutShortening)
{
    TvlMaskEdit* edit = MakeMaskEdit(kPhone);
    QLineEdit* line = Line(edit);
    Type(line, QStringLiteral("5551234567"));
    struct TStep {
        int Caret;
        int Key;
        Qt::KeyboardModifiers Modifiers;
        const char* Shown;
        int SelStart;
    };
    const TStep steps[] = {
        {14, Qt::Key_Delete, Qt::ShiftModifier, "(555) 123-456_", 13},  // Shift+Delete alone is Backspace
        {10, Qt::Key_Backspace, Qt::NoModifier, "(555) 12_-456_", 8},  // over the "-" to the place before
        {2, Qt::Key_Delete, Qt::NoModifier, "(5_5) 12_-456_", 2},
        {12, Qt::Key_Delete, Qt::ShiftModifier, "(5_5) 12_-45__", 12},  // cuts the block under the caret
    };
    for (const TStep& s : steps) {
        Caret(edit, s.Caret);
        Key(line, s.Key, s.Modifiers);
        EXPECT_EQ(Shown(edit), S(s.Shown)) << s.Caret;
        EXPECT_EQ(edit->SelStart(), s.SelStart) << s.Caret;
    }
    // A selection blanks its places and keeps the literals.
    edit->SetSelection(3, 6);
    Key(line, Qt::Key_Delete);
    EXPECT_EQ(Shown(edit), S("(5__) ___-45__"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("6"));
}

TEST_F(TMaskEditFixture, CaretKeys)
{
    TvlMaskEdit* edit = MakeMaskEdit(kPhone);
    QLineEdit* line = Line(edit);
    Type(line, QStringLiteral("5551234567"));
    Key(line, Qt::Key_Home);
    EXPECT_EQ(edit->SelStart(), 1);  // the first place, past "("
    EXPECT_EQ(edit->SelLength(), 1);
    // Left at the first place stays, and tells the grid.
    AfterKeys.clear();
    Key(line, Qt::Key_Left);
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(AfterKeys, std::vector<uint16_t>{VK_LEFT});
    Caret(edit, 6);
    Key(line, Qt::Key_Left);  // over ") " to the last 9
    EXPECT_EQ(edit->SelStart(), 3);
    Key(line, Qt::Key_Right);
    EXPECT_EQ(edit->SelStart(), 6);
    Key(line, Qt::Key_End);
    EXPECT_EQ(edit->SelStart(), 14);
    AfterKeys.clear();
    Key(line, Qt::Key_Right);
    EXPECT_EQ(edit->SelStart(), 14);
    EXPECT_EQ(AfterKeys, std::vector<uint16_t>{VK_RIGHT});
    // Ctrl+Left and Ctrl+Right: the first place and the end.
    Caret(edit, 8);
    Key(line, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(edit->SelStart(), 1);
    Key(line, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(edit->SelStart(), 14);
    // Up and Down without a popup only tell.
    AfterKeys.clear();
    Key(line, Qt::Key_Up);
    EXPECT_EQ(AfterKeys, std::vector<uint16_t>{VK_UP});
}

TEST_F(TMaskEditFixture, PasteAndSelTextOverwriteTheirOwnLength)
{
    TvlMaskEdit* edit = MakeMaskEdit(kPhone);
    // The clipboard holds something else than what SelText writes: the
    // written text decides how much is overwritten.
    QApplication::clipboard()->setText(QStringLiteral("99"));
    Caret(edit, 1);
    edit->SetSelText(S("123"));
    EXPECT_EQ(Shown(edit), S("(123) ___-____"));
    EXPECT_EQ(edit->SelStart(), 6);  // after the pasted places, past ") "
    // A paste overwrites as many places as the clipboard brings.
    QApplication::clipboard()->setText(QStringLiteral("456"));
    Caret(edit, 6);
    edit->PasteFromClipboard();
    EXPECT_EQ(Shown(edit), S("(123) 456-____"));
    EXPECT_EQ(edit->SelStart(), 10);  // past the "-"
    // The keyboard's paste takes the same way.
    QApplication::clipboard()->setText(QStringLiteral("7890"));
    Key(Line(edit), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Shown(edit), S("(123) 456-7890"));
    EXPECT_EQ(edit->SelStart(), 13);
}

TEST_F(TMaskEditFixture, MaskWithoutLiteralsInTheValue)
{
    TvlMaskEdit* edit = MakeMaskEdit(kPlain);
    QLineEdit* line = Line(edit);
    EXPECT_EQ(Shown(edit), S("___-__"));
    Type(line, QStringLiteral("12345"));
    EXPECT_EQ(Shown(edit), S("123-45"));
    EXPECT_EQ(VarToStr(edit->EditingValue()), S("12345"));
    Caret(edit, 4);
    Key(line, Qt::Key_Backspace);
    EXPECT_EQ(Shown(edit), S("12_-45"));
    EXPECT_EQ(VarToStr(edit->EditingValue()), S("12 45"));
}

TEST_F(TMaskEditFixture, UnfocusedEditorHidesItsBlanks)
{
    TvlMaskEdit* edit = MakeMaskEdit(kPhone, false);
    Unfocus();
    edit->SetEditValue(Variant(S("5551234")));
    EXPECT_EQ(Shown(edit), S("(   ) 555-1234"));
    edit->Properties()->SetAlwaysShowBlanksAndLiterals(true);
    EXPECT_EQ(Shown(edit), S("(___) 555-1234"));
    edit->SetFocus();
    QApplication::processEvents();
    EXPECT_EQ(Shown(edit), S("(___) 555-1234"));
}

TEST_F(TMaskEditFixture, AnIncompleteTextIsInvalid)
{
    TvlMaskEdit* edit = MakeMaskEdit(kPhone);
    Type(Line(edit), QStringLiteral("55512"));
    EXPECT_FALSE(edit->ValidateEdit(false));
    try {
        edit->ValidateEdit(true);
        FAIL() << "no error";
    } catch (const EvlEditValidationError& e) {
        EXPECT_EQ(e.Message(), S("The edit value is invalid"));
    }
    Caret(edit, 8);
    Type(Line(edit), QStringLiteral("34567"));
    EXPECT_TRUE(edit->ValidateEdit(false));
}

TEST_F(TMaskEditFixture, AValueSetBeforeTheWindowSurvives)
{
    auto* edit = TvlCustomEdit::Create<TvlMaskEdit>(Form.get());
    ASSERT_FALSE(edit->HandleAllocated());
    edit->SetEditValue(Variant(S("5551234567")));
    edit->Properties()->SetEditMask(S(kPhone));
    edit->Properties()->SetEchoMode(eemPassword);  // any later change of the settings
    edit->Properties()->SetEchoMode(eemNormal);
    EXPECT_EQ(VarToStr(edit->EditValue()), S("5551234567"));
    edit->SetParent(Form.get());
    edit->HandleNeeded();
    QApplication::processEvents();
    EXPECT_EQ(Shown(edit), S("(555) 123-4567"));
    // Without a value the blank mask goes in.
    auto* empty = TvlCustomEdit::Create<TvlMaskEdit>(Form.get());
    empty->Properties()->SetEditMask(S(kPhone));
    empty->Properties()->SetEchoMode(eemPassword);
    EXPECT_EQ(VarToStr(empty->EditValue()), S("(   )    -    "));
}

TEST_F(TMaskEditFixture, KindSwitchClearsTheMaskUnlessBothChangeTogether)
{
    TvlMaskEdit* edit = MakeMaskEdit(kPhone);
    TvlMaskEditProperties* p = edit->Properties();
    p->SetMaskKind(emkRegExpr);
    EXPECT_EQ(p->GetEditMask(), String());
    EXPECT_EQ(edit->MaskMode()->CompiledMask(), String());
    p->BeginUpdate();
    p->SetMaskKind(emkStandard);
    p->SetEditMask(S(kPlain));
    p->EndUpdate();
    EXPECT_EQ(p->GetEditMask(), S(kPlain));
    EXPECT_EQ(Shown(edit), S("___-__"));
    // The mode follows the editor's mask through every change.
    p->SetEditMask(String());
    EXPECT_FALSE(edit->IsMasked());
    Type(Line(edit), QStringLiteral("abc"));
    EXPECT_EQ(Shown(edit).right(3), S("abc"));
}

TEST_F(TMaskEditFixture, FilterHelper)
{
    const TvlFilterMaskEditHelper* helper = TvlFilterMaskEditHelper::Instance();
    auto ops = [](std::initializer_list<int> AOperators) {
        TvlFilterControlOperators result = 0;
        for (const int op : AOperators)
            result |= FilterControlOperatorBit(op);
        return result;
    };
    TvlMaskEditProperties source(nullptr);
    EXPECT_EQ(helper->SupportedOperators(&source, TvlStringValueType::Instance(), false),
              ops({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(helper->SupportedOperators(&source, TvlIntegerValueType::Instance(), false),
              ops({1, 2, 3, 4, 5, 6, 9, 10}));
    source.SetEditMask(S(kPlain));
    // No pattern comparisons over a masked text.
    EXPECT_EQ(helper->SupportedOperators(&source, TvlStringValueType::Instance(), true),
              ops({1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}));
    TvlMaskEditProperties target(nullptr);
    source.SetMaskKind(emkRegExpr);
    helper->InitializeProperties(&target, &source, false);
    EXPECT_EQ(target.MaskKind(), emkRegExprEx);  // the filter editor inserts forced characters
    EXPECT_FALSE(target.AutoSelect());
}

TEST_F(TMaskEditFixture, AClickLeavesTheCaretAsABlock)
{
    TvlMaskEdit* edit = MakeMaskEdit(kPhone);
    Type(Line(edit), QStringLiteral("5551234567"));
    const QPoint p(Line(edit)->width() / 3, Line(edit)->height() / 2);
    Mouse(Line(edit), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    Mouse(Line(edit), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    EXPECT_LT(edit->SelStart(), 14);
    EXPECT_EQ(edit->SelLength(), 1);
}
