// The text editor's keys and wheel: incremental search completing typed
// text from the lookup items, Backspace in the edit-list style, the
// fixed-list keys, moving through the items by keys and the wheel, and the
// item index.
#include "TextEditFixture.h"

namespace {

using TTextEditKeys = TTextEditFixture;

void backspace(QWidget* W) { TEditControlFixture::Key(W, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b")); }

TEST_F(TTextEditKeys, TypedTextCompletesFromTheItemsWithTheTailSelected)
{
    TStyledTextEdit* edit = MakeTextEdit(esEditList, Fruit());
    edit->SetFocus();
    int clicks = 0;
    edit->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });

    Type(edit->InnerWidget(), QStringLiteral("ap"));
    EXPECT_EQ(edit->Text(), S("Apple"));
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 3);
    EXPECT_EQ(edit->SelText(), S("ple"));
    EXPECT_TRUE(edit->LookupSelection());
    EXPECT_EQ(edit->ItemIndex(), 0);
    EXPECT_EQ(clicks, 1);  // the item changed once
    EXPECT_TRUE(edit->ModifiedAfterEnter());

    Type(edit->InnerWidget(), QStringLiteral("r"));
    EXPECT_EQ(edit->Text(), S("apricot"));
    EXPECT_EQ(edit->SelText(), S("icot"));
    EXPECT_EQ(edit->ItemIndex(), 1);

    // Nothing starts with "apx": the edit-list style drops the character.
    Type(edit->InnerWidget(), QStringLiteral("x"));
    EXPECT_EQ(edit->Text(), S("apricot"));
    EXPECT_TRUE(edit->LookupSelection());

    // Enter takes the completed item as the value.
    Key(edit->InnerWidget(), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(edit->EditValue(), Variant(S("apricot")));
}

TEST_F(TTextEditKeys, BackspaceInTheEditListStyleSelectsTheTailThenShortensTheTypedPart)
{
    TStyledTextEdit* edit = MakeTextEdit(esEditList, Fruit());
    edit->SetEditValue(Variant(S("Banana")));
    edit->SetFocus();
    edit->SetSelection(3, 0);
    ASSERT_FALSE(edit->LookupSelection());

    backspace(edit->InnerWidget());
    EXPECT_EQ(edit->Text(), S("Banana"));
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelText(), S("nana"));
    EXPECT_TRUE(edit->LookupSelection());

    backspace(edit->InnerWidget());
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelText(), S("anana"));

    // The whole typed part gone: the editor is empty.
    backspace(edit->InnerWidget());
    EXPECT_EQ(edit->Text(), String());
    EXPECT_FALSE(edit->LookupSelection());
}

TEST_F(TTextEditKeys, PlainEditorSearchesOnlyAtTheEndOrOverASelection)
{
    TStyledTextEdit* edit = MakeTextEdit(esEdit, Fruit());
    edit->SetFocus();
    edit->SetEditValue(Variant(S("ab")));
    edit->SetSelection(1, 0);
    Type(edit->InnerWidget(), QStringLiteral("p"));
    EXPECT_EQ(edit->Text(), S("apb"));
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(edit->ItemIndex(), -1);

    edit->SetEditValue(Variant(S("b")));
    edit->SetSelection(1, 0);
    Type(edit->InnerWidget(), QStringLiteral("a"));
    EXPECT_EQ(edit->Text(), S("banana"));  // the plain style keeps the typed spelling
    EXPECT_EQ(edit->SelText(), S("nana"));

    // Not found: the character is typed as it is.
    edit->SetEditValue(Variant(S("q")));
    edit->SetSelection(1, 0);
    Type(edit->InnerWidget(), QStringLiteral("z"));
    EXPECT_EQ(edit->Text(), S("qz"));

    edit->Props()->SetIncrementalSearch(false);
    edit->SetEditValue(Variant(String()));
    Type(edit->InnerWidget(), QStringLiteral("ap"));
    EXPECT_EQ(edit->Text(), S("ap"));
}

TEST_F(TTextEditKeys, FixedListKeys)
{
    TStyledTextEdit* edit = MakeTextEdit(esFixedList, Fruit());
    edit->SetEditValue(Variant(S("Banana")));
    edit->SetFocus();
    std::vector<uint16_t> afterKeyDown;
    edit->OnAfterKeyDown =
        TKeyEvent::FromFunction([&](TObject*, uint16_t& AKey, TShiftState) { afterKeyDown.push_back(AKey); });

    for (const int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Delete})
        Key(edit->InnerWidget(), key);
    EXPECT_EQ(edit->Text(), S("Banana"));
    EXPECT_EQ(afterKeyDown, (std::vector<uint16_t>{VK_LEFT, VK_RIGHT, VK_DELETE}));

    // Delete as the clear key still clears.
    edit->Props()->SetClearKey(ShortCut(VK_DELETE, false, false, false));
    Key(edit->InnerWidget(), Qt::Key_Delete);
    EXPECT_TRUE(VarIsNull(edit->EditValue()) || edit->Text().isEmpty());

    // Typing finds an item by its first letters; with the typed part kept
    // a letter that continues no item is dropped, without it a new first
    // letter starts again.
    edit->SetEditValue(Variant(S("Banana")));
    Type(edit->InnerWidget(), QStringLiteral("a"));
    EXPECT_EQ(edit->Text(), S("Apple"));
    Type(edit->InnerWidget(), QStringLiteral("pr"));
    EXPECT_EQ(edit->Text(), S("apricot"));
    EXPECT_EQ(edit->SelText(), S("icot"));
    Type(edit->InnerWidget(), QStringLiteral("b"));
    EXPECT_EQ(edit->Text(), S("apricot"));
    edit->Props()->SetFixedListTypedSelection(false);
    Type(edit->InnerWidget(), QStringLiteral("b"));
    EXPECT_EQ(edit->Text(), S("Banana"));
    Type(edit->InnerWidget(), QStringLiteral("z"));
    EXPECT_EQ(edit->Text(), S("Banana"));
}

TEST_F(TTextEditKeys, NavigationKeysAndTheWheelMoveThroughTheItemsWithoutCycling)
{
    TStyledTextEdit* edit = MakeTextEdit(esFixedList, Fruit());
    edit->SetFocus();
    // A plain text editor does not navigate its items.
    Key(edit->InnerWidget(), Qt::Key_Down);
    EXPECT_FALSE(edit->WheelAt(-120));
    EXPECT_EQ(edit->ItemIndex(), -1);

    edit->Navigates = true;
    int changes = 0;
    edit->Properties()->OnEditValueChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    const struct {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        int Expected;
    } keys[] = {
        {Qt::Key_Down, Qt::NoModifier, 0}, {Qt::Key_Down, Qt::NoModifier, 1}, {Qt::Key_Down, Qt::NoModifier, 2},
        {Qt::Key_Down, Qt::NoModifier, 2}, {Qt::Key_Up, Qt::NoModifier, 1},    {Qt::Key_Home, Qt::NoModifier, 0},
        {Qt::Key_End, Qt::NoModifier, 2},  {Qt::Key_PageUp, Qt::NoModifier, 0}, {Qt::Key_PageDown, Qt::NoModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 0},
    };
    for (const auto& k : keys) {
        Key(edit->InnerWidget(), k.Key, k.Modifiers);
        EXPECT_EQ(edit->ItemIndex(), k.Expected) << k.Key;
        EXPECT_EQ(edit->Text(), Fruit().at(k.Expected));
    }
    EXPECT_EQ(changes, 9);  // Down on the last item changes nothing

    // One item per notch, stopping at the ends.
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(edit->WheelAt(-120));
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_TRUE(edit->WheelAt(120));
    EXPECT_EQ(edit->ItemIndex(), 1);
    for (int i = 0; i < 3; ++i)
        edit->WheelAt(120);
    EXPECT_EQ(edit->ItemIndex(), 0);
    EXPECT_EQ(edit->EditValue(), Variant(S("Apple")));

    // A refused edit takes the wheel but moves nothing.
    edit->OnEditing = TvlEditEditingEvent::FromFunction([](TObject*, bool& ACanEdit) { ACanEdit = false; });
    edit->SetEditModified(false);
    EXPECT_TRUE(edit->WheelAt(-120));
    EXPECT_EQ(edit->ItemIndex(), 0);
}

TEST_F(TTextEditKeys, ItemIndexSetsTheValueAndClicksOnAChange)
{
    TStyledTextEdit* edit = MakeTextEdit(esEditList, Fruit());
    TObject marker;
    edit->Props()->LookupItems()->PutObject(1, &marker);
    int clicks = 0;
    edit->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });

    edit->SetItemIndex(1);
    EXPECT_EQ(edit->Text(), S("apricot"));
    EXPECT_EQ(edit->EditValue(), Variant(S("apricot")));
    EXPECT_EQ(edit->ItemObject(), &marker);
    EXPECT_FALSE(edit->EditModified());
    EXPECT_EQ(clicks, 1);
    edit->SetItemIndex(1);
    EXPECT_EQ(clicks, 1);
    edit->SetItemIndex(-1);
    EXPECT_EQ(edit->ItemIndex(), -1);
    EXPECT_EQ(edit->ItemObject(), nullptr);
    EXPECT_EQ(edit->Text(), String());
    EXPECT_EQ(clicks, 2);

    // A value set from outside makes its item current.
    edit->SetEditValue(Variant(S("banana")));
    EXPECT_EQ(edit->ItemIndex(), 2);
}

}  // namespace
