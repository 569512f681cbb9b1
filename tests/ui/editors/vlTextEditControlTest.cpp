// The text editor control: replacing the selection under MaxLength and the
// lookup rules, refused changes, the text messages, live thousand
// separators keeping the caret, the inner edit's place and settings, and the
// drawn text of the list styles.
#include "TextEditFixture.h"

#include <QClipboard>

#include "platform/rtl/SysUtils.h"

namespace {

using TTextEditControl = TTextEditFixture;

struct SettingsGuard {
    TFormatSettings Saved = FormatSettings;
    ~SettingsGuard() { FormatSettings = Saved; }
};

TEST_F(TTextEditControl, PasteKeepsMaxLengthAndPutsTheCaretAfterThePastedPart)
{
    const struct {
        const char* Text;
        int MaxLength, SelStart, SelLength;
        const char* Clipboard;
        const char* Expected;
        int Caret;
    } cases[] = {
        {"abc", 5, 1, 1, "xyz", "axyzc", 4},
        {"abc", 5, 1, 1, "wxyz", "awxyc", 4},  // only what fits is pasted
        {"abc", 5, 3, 0, "wxyz", "abcwx", 5},
        {"abc", 0, 3, 0, "def", "abcdef", 6},
    };
    TStyledTextEdit* edit = MakeTextEdit();
    edit->SetFocus();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Clipboard);
        edit->Props()->SetMaxLength(c.MaxLength);
        edit->SetEditValue(Variant(S(c.Text)));
        edit->SetSelection(c.SelStart, c.SelLength);
        QApplication::clipboard()->setText(QString::fromLatin1(c.Clipboard));
        for (const bool byKey : {false, true}) {
            SCOPED_TRACE(byKey ? "Ctrl+V" : "PasteFromClipboard");
            edit->SetEditValue(Variant(S(c.Text)));
            edit->SetSelection(c.SelStart, c.SelLength);
            if (byKey)
                Key(edit->InnerWidget(), Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
            else
                edit->PasteFromClipboard();
            EXPECT_EQ(edit->Text(), S(c.Expected));
            EXPECT_EQ(edit->SelStart(), c.Caret);
        }
    }
}

TEST_F(TTextEditControl, SelTextWhileUnfocusedFollowsTheLengthRule)
{
    TStyledTextEdit* edit = MakeTextEdit();
    Unfocus();
    edit->Props()->SetMaxLength(5);
    edit->SetEditValue(Variant(S("abc")));
    edit->SetSelection(1, 1);
    {
        const TvlCustomEdit::TUserActionScope typing(edit);
        edit->SetSelText(S("wxyz"));
    }
    // Not focused, it is the program's change: the length rule of typing
    // does not apply, the inner edit's limit does.
    EXPECT_EQ(edit->Text(), S("awxyz"));
    EXPECT_EQ(edit->EditValue(), Variant(S("awxyz")));
}

TEST_F(TTextEditControl, RefusedChangesKeepTextAndSelection)
{
    TStyledTextEdit* edit = MakeTextEdit(esEditList, Fruit());
    edit->SetEditValue(Variant(S("Banana")));
    edit->SetFocus();
    edit->SetSelection(1, 2);
    int changes = 0;
    edit->Properties()->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });

    // Not a lookup item.
    QApplication::clipboard()->setText(QStringLiteral("zz"));
    edit->PasteFromClipboard();
    Key(edit->InnerWidget(), Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    edit->SetText(S("Cherry"));
    EXPECT_EQ(edit->Text(), S("Banana"));
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 2);
    // The user may not edit (asked again once the value is not being edited).
    bool allow = false;
    edit->OnEditing = TvlEditEditingEvent::FromFunction([&](TObject*, bool& ACanEdit) { ACanEdit = allow; });
    edit->SetEditModified(false);
    QApplication::clipboard()->setText(QStringLiteral("Apple"));
    edit->SelectAll();
    {
        const TvlCustomEdit::TUserActionScope user(edit);
        edit->CutToClipboard();
        edit->PasteFromClipboard();
    }
    EXPECT_EQ(edit->Text(), S("Banana"));
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 6);
    EXPECT_EQ(changes, 0);

    // Allowed, a lookup item replaces the whole text.
    allow = true;
    edit->SelectAll();
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), S("Apple"));
    EXPECT_EQ(changes, 1);
}

TEST_F(TTextEditControl, TextMessages)
{
    TStyledTextEdit* edit = MakeTextEdit(esEditList, Fruit());
    edit->SetText(S("apricot"));
    EXPECT_EQ(edit->Text(), S("apricot"));
    const String refused = S("Cherry");
    EXPECT_EQ(edit->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&refused)), 0);
    EXPECT_EQ(edit->Text(), S("apricot"));

    const struct {
        int TextMax;
        const char* Expected;
    } buffers[] = {{0, ""}, {1, ""}, {4, "apr"}, {100, "apricot"}};
    for (const auto& b : buffers) {
        SCOPED_TRACE(b.TextMax);
        String out = S("untouched");
        const LRESULT copied = edit->Perform(WM_GETTEXT, WPARAM(b.TextMax), reinterpret_cast<LPARAM>(&out));
        EXPECT_EQ(copied, LRESULT(std::strlen(b.Expected)));
        if (b.TextMax > 0) {
            EXPECT_EQ(out, S(b.Expected));
        }
    }
}

TEST_F(TTextEditControl, ThousandSeparatorsAppearWhileTypingAndTheCaretStaysBehindItsDigit)
{
    SettingsGuard guard;
    FormatSettings.ThousandSeparator = QChar(',');
    FormatSettings.DecimalSeparator = QChar('.');
    TStyledTextEdit* edit = MakeTextEdit();
    edit->Props()->Numeric = true;
    edit->SetFocus();
    int changes = 0;
    edit->Properties()->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });

    Type(edit->InnerWidget(), QStringLiteral("1234567"));
    EXPECT_EQ(edit->Text(), S("1,234,567"));
    EXPECT_EQ(edit->SelStart(), 9);
    EXPECT_EQ(changes, 7);  // one per key, the separators included

    // Typed after the "2": the caret stays behind the typed digit.
    edit->SetSelection(3, 0);
    Type(edit->InnerWidget(), QStringLiteral("9"));
    EXPECT_EQ(edit->Text(), S("12,934,567"));
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(edit->Text().at(3), QChar('9'));

    // A deleted digit: the separators move, the caret stays after the "4".
    edit->SetSelection(8, 0);
    Key(edit->InnerWidget(), Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    EXPECT_EQ(edit->Text(), S("1,293,467"));
    EXPECT_EQ(edit->Text().left(edit->SelStart()), S("1,293,4"));

    // Text that is no number is left as typed.
    edit->SetEditValue(Variant(String()));
    Type(edit->InnerWidget(), QStringLiteral("12a45"));
    EXPECT_EQ(edit->Text(), S("12a45"));
}

TEST_F(TTextEditControl, InnerEditTakesTheSettingsAndSitsCentredOneTextLineHigh)
{
    TStyledTextEdit* edit = MakeTextEdit();
    edit->SetAutoSize(false);
    edit->SetBounds(10, 40, 120, 40);
    TStyledTextProperties* p = edit->Props();
    p->Alignment()->SetHorz(taRightJustify);
    p->Alignment()->SetVert(taVCenter);
    p->SetEchoMode(eemPassword);
    p->SetMaxLength(7);
    p->SetCharCase(ecUpperCase);
    auto* inner = dynamic_cast<IvlInnerTextEdit*>(edit->InnerEdit());
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->GetAlignment(), taRightJustify);
    EXPECT_EQ(inner->GetEchoMode(), eemPassword);
    EXPECT_EQ(inner->GetMaxLength(), 7);
    EXPECT_EQ(inner->GetCharCase(), ecUpperCase);

    const int h = TextExtentForFont(edit->InnerEdit()->GetControl()->Font(), QStringLiteral("Wg")).cy;
    const TRect client = edit->ViewInfo()->ClientRect;
    const TRect bounds = edit->InnerEdit()->GetControl()->BoundsRect();
    EXPECT_EQ(bounds.Height(), h);
    EXPECT_EQ(bounds.Top, client.Top + (client.Height() - h) / 2);
    EXPECT_EQ(bounds.Left, client.Left);
    EXPECT_EQ(bounds.Width(), client.Width() + 1);

    p->Alignment()->SetVert(taBottomJustify);
    EXPECT_EQ(edit->InnerEdit()->GetControl()->BoundsRect().Bottom, client.Bottom);
}

TEST_F(TTextEditControl, ListStylesDrawTheTextThemselves)
{
    for (const TvlEditEditingStyle style : {esFixedList, esNoEdit}) {
        SCOPED_TRACE(int(style));
        TStyledTextEdit* edit = MakeTextEdit(style, Fruit());
        edit->SetEditValue(Variant(S("apricot")));
        EXPECT_FALSE(edit->IsTextEditable());
        EXPECT_TRUE(edit->InnerEdit()->GetControl()->BoundsRect().IsEmpty());
        EXPECT_EQ(edit->ViewInfo()->Text, S("apricot"));
        EXPECT_EQ(edit->SelStart(), 0);
        EXPECT_EQ(edit->SelLength(), 0);
        EXPECT_EQ(edit->DoEditing(), style != esNoEdit);
    }
    TStyledTextEdit* plain = MakeTextEdit();
    EXPECT_TRUE(plain->IsTextEditable());
    EXPECT_FALSE(plain->InnerEdit()->GetControl()->BoundsRect().IsEmpty());
}

TEST_F(TTextEditControl, LookupRulesForNewTextsAndValidation)
{
    TStyledTextEdit* edit = MakeTextEdit(esEdit, Fruit());
    std::vector<String> newTexts;
    edit->Properties()->OnNewLookupDisplayText = TvlNewLookupDisplayTextEvent::FromFunction(
        [&](TObject*, const String& AText) { newTexts.push_back(AText); });
    edit->SetDisplayValue(Variant(S("Cherry")));
    edit->SetDisplayValue(Variant(S("banana")));
    EXPECT_EQ(newTexts, std::vector<String>{S("Cherry")});

    // Completed from an item in other letters: validation takes the item's.
    edit->SetEditValue(Variant(String()));
    edit->SetFocus();
    Type(edit->InnerWidget(), QStringLiteral("ba"));
    ASSERT_EQ(edit->Text(), S("banana"));
    EXPECT_TRUE(edit->ValidateEdit(false));
    EXPECT_EQ(edit->EditValue(), Variant(S("Banana")));

    // Made an edit list, a text that is no item goes.
    Unfocus();
    edit->SetEditValue(Variant(S("Cherry")));
    edit->Props()->Style = esEditList;
    edit->Props()->ReportChange();
    EXPECT_EQ(edit->Text(), String());
    EXPECT_EQ(edit->EditValue(), Variant(String()));
}

TEST_F(TTextEditControl, NumbersOutOfBoundsFailValidationBeforeTheHandlers)
{
    TStyledTextEdit* edit = MakeTextEdit();
    edit->Props()->Numeric = true;
    edit->Props()->SetMaxValue(100);
    std::vector<String> seen;
    edit->Props()->OnValidate = TvlEditValidateEvent::FromFunction(
        [&](TObject*, Variant&, String& AText, bool& AError) { seen.push_back(AError ? AText : S("ok")); });
    edit->SetFocus();
    Type(edit->InnerWidget(), QStringLiteral("150"));
    EXPECT_FALSE(edit->ValidateEdit(false));
    EXPECT_EQ(seen, std::vector<String>{S("Value out of bounds")});
    EXPECT_TRUE(VarIsNull(edit->EditValue()) || VarToStr(edit->EditValue()).isEmpty());

    edit->Line()->selectAll();
    Type(edit->InnerWidget(), QStringLiteral("99"));
    EXPECT_TRUE(edit->ValidateEdit(false));
    EXPECT_EQ(seen.back(), S("ok"));
}

TEST_F(TTextEditControl, TheEditorClassOfTheTextSettings)
{
    TvlTextEditProperties properties(nullptr);
    std::unique_ptr<TvlCustomEdit> edit(properties.GetContainerClass()(nullptr, true));
    auto* textEdit = dynamic_cast<TvlTextEdit*>(edit.get());
    ASSERT_NE(textEdit, nullptr);
    EXPECT_TRUE(textEdit->IsInplace());
    EXPECT_NE(dynamic_cast<TvlTextEditProperties*>(textEdit->Properties()), nullptr);
    EXPECT_NE(textEdit->LookupData(), nullptr);
    EXPECT_TRUE(textEdit->BeepOnEnter());
}

}  // namespace
