// The editor control: values and change events, validation, Enter and
// Escape, posting in and out of place, the repository link, activation by
// key and mouse, buttons under the mouse and auto size.
#include "EditControlFixture.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/TypInfo.h"

namespace {

using TEditControl = TEditControlFixture;

// Counts the exceptions that reach a dispatch point.
struct TReportedErrors {
    TReportedErrors()
    {
        SetApplicationExceptionHandler([this](const Exception& E) { Texts.push_back(E.Message()); });
    }
    ~TReportedErrors() { SetApplicationExceptionHandler(nullptr); }
    std::vector<String> Texts;
};

struct TCounter {
    int Count = 0;
    void Handle(TObject*) { ++Count; }
};

TEST_F(TEditControl, TwoValuesInALockGiveOneChangeAndNoneWhenDropped)
{
    TTestEdit* edit = MakeEdit();
    TCounter changes, valueChanges;
    edit->Properties()->OnChange = TNotifyEvent(&changes, &TCounter::Handle);
    edit->Properties()->OnEditValueChanged = TNotifyEvent(&valueChanges, &TCounter::Handle);

    edit->LockChangeEvents(true);
    edit->SetEditValue(Variant(String::fromLatin1("a")));
    edit->SetEditValue(Variant(String::fromLatin1("b")));
    EXPECT_EQ(changes.Count, 0);
    edit->LockChangeEvents(false);
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(valueChanges.Count, 1);

    edit->LockChangeEvents(true);
    edit->SetEditValue(Variant(String::fromLatin1("c")));
    edit->LockChangeEvents(false, false);
    EXPECT_EQ(changes.Count, 1);

    // The same value (1 and 1.0 are equal) fires nothing.
    edit->SetEditValue(Variant(1));
    edit->SetEditValue(Variant(1.0));
    EXPECT_EQ(changes.Count, 2);
    EXPECT_EQ(edit->Text(), String::fromLatin1("1"));
}

TEST_F(TEditControl, EnterValidatesOnceAndEscapeRestoresTheEnteredValue)
{
    TTestEdit* edit = MakeEdit();
    edit->Properties()->SetValidateOnEnter(true);
    Unfocus();
    edit->SetEditValue(Variant(String::fromLatin1("start")));
    int validations = 0;
    edit->Properties()->OnValidate = TvlEditValidateEvent::FromFunction(
        [&](TObject*, Variant&, String&, bool&) { ++validations; });
    edit->SetFocus();
    ASSERT_TRUE(edit->Focused());

    edit->Inner()->SelectAll();
    Type(edit->InnerWidget(), QStringLiteral("abc"));
    EXPECT_TRUE(edit->ModifiedAfterEnter());
    Key(edit->InnerWidget(), Qt::Key_Return);
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(VarToStr(edit->EditValue()), String::fromLatin1("abc"));
    Key(edit->InnerWidget(), Qt::Key_Return);
    EXPECT_EQ(validations, 1);

    // Escape puts back what the editor held when it was entered.
    Type(edit->InnerWidget(), QStringLiteral("de"));
    Key(edit->InnerWidget(), Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), String::fromLatin1("start"));
    EXPECT_EQ(VarToStr(edit->EditValue()), String::fromLatin1("start"));
    EXPECT_FALSE(edit->ModifiedAfterEnter());
}

TEST_F(TEditControl, ValidationErrorKeepsTheFocusAndTheTypedText)
{
    TTestEdit* edit = MakeEdit();
    TTestEdit* other = MakeEdit();
    other->SetTop(40);
    edit->Properties()->SetValidateOnEnter(true);
    edit->Properties()->OnValidate = TvlEditValidateEvent::FromFunction([](TObject*, Variant&, String& AText, bool& AError) {
        AText = String::fromLatin1("Not a number");
        AError = true;
    });
    edit->SetFocus();
    Type(edit->InnerWidget(), QStringLiteral("xy"));

    // Enter: the error reaches the application's handler, not the toolkit.
    TReportedErrors errors;
    Key(edit->InnerWidget(), Qt::Key_Return);
    ASSERT_EQ(errors.Texts.size(), 1u);
    EXPECT_EQ(errors.Texts[0], String::fromLatin1("Not a number"));
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->Text(), String::fromLatin1("xy"));

    // Leaving: the focus comes back once the focus change is over.
    other->SetFocus();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(errors.Texts.size(), 2u);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->Text(), String::fromLatin1("xy"));
    EXPECT_TRUE(edit->ModifiedAfterEnter());
}

TEST_F(TEditControl, PostingErrorReachesTheCallerInPlaceAndStandalone)
{
    TTestEdit* cell = MakeEdit(true);
    cell->OnValuePosted = TNotifyEvent::FromFunction([](TObject*) { throw EvlEditError(String::fromLatin1("disk full")); });
    cell->SetModifiedAfterEnter(true);
    EXPECT_THROW(cell->InternalPostEditValue(false), EvlEditError);
    EXPECT_TRUE(cell->EditModified());  // still to be posted
    EXPECT_FALSE(cell->IsPosting());

    TTestEdit* edit = MakeEdit();
    edit->FailWrite = true;
    edit->SetModifiedAfterEnter(true);
    EXPECT_THROW(edit->InternalPostEditValue(false), EvlEditError);
    EXPECT_FALSE(edit->IsPosting());
}

TEST_F(TEditControl, ActivationByKeyTypesTheKey)
{
    TTestEdit* edit = MakeEdit(true);
    edit->SetVisible(false);
    edit->SetEditValue(Variant(String::fromLatin1("old")));
    TvlCustomEditData* data = nullptr;
    edit->ActivateByKey(QChar('x'), data);
    EXPECT_TRUE(edit->Visible());
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->Text(), String::fromLatin1("x"));
    EXPECT_TRUE(edit->InnerWidget()->updatesEnabled());
}

TEST_F(TEditControl, ActivationByMouseOnTheButtonPressesAndReleasesWithoutAGrabLeft)
{
    TTestEdit* edit = MakeEdit(true);
    edit->SetVisible(false);
    TvlCustomEditData* data = nullptr;
    // On the button, in the form's coordinates; the button is no longer
    // held when the editor gets the replayed press.
    edit->ActivateByMouse(TShiftState{ssLeft}, edit->Left() + edit->Width() - 4, edit->Top() + 10, data);
    EXPECT_EQ(edit->Log, (std::vector<std::string>{"down 0", "up 0", "click 0"}));
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(edit->DoubleClickTimer()->Enabled());

    // A press and a release outside the button: up without click.
    edit->Log.clear();
    QWidget* w = edit->Widget();
    const QPoint button(edit->Width() - 4, 10);
    Mouse(w, QEvent::MouseMove, button, Qt::NoButton, Qt::NoButton);
    edit->DoubleClickTimer()->SetEnabled(false);
    Mouse(w, QEvent::MouseButtonPress, button, Qt::LeftButton, Qt::LeftButton);
    Mouse(w, QEvent::MouseMove, QPoint(200, 10), Qt::NoButton, Qt::LeftButton);
    Mouse(w, QEvent::MouseButtonRelease, QPoint(200, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(edit->Log, (std::vector<std::string>{"down 0", "up 0"}));
}

TEST_F(TEditControl, ClickAfterAnActivatingClickIsADoubleClickUntilTheTimerEnds)
{
    TTestEdit* edit = MakeEdit(true);
    int doubleClicks = 0;
    edit->OnDblClick = TNotifyEvent::FromFunction([&](TObject*) { ++doubleClicks; });
    TvlCustomEditData* data = nullptr;
    const QPoint text(5, 10);
    edit->ActivateByMouse(TShiftState{ssLeft}, edit->Left() + text.x(), edit->Top() + text.y(), data);
    Mouse(edit->InnerWidget(), QEvent::MouseButtonPress, text, Qt::LeftButton, Qt::LeftButton);
    Mouse(edit->InnerWidget(), QEvent::MouseButtonRelease, text, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(doubleClicks, 1);

    edit->ActivateByMouse(TShiftState{ssLeft}, edit->Left() + text.x(), edit->Top() + text.y(), data);
    Clock.Advance(unsigned(QApplication::doubleClickInterval()) + 1);
    Mouse(edit->InnerWidget(), QEvent::MouseButtonPress, text, Qt::LeftButton, Qt::LeftButton);
    Mouse(edit->InnerWidget(), QEvent::MouseButtonRelease, text, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_TRUE(edit->Log.empty());
}

TEST_F(TEditControl, AutoSizeWithAlignTopKeepsTheWidth)
{
    TTestEdit* measured = MakeEdit();
    measured->SetHeight(80);
    const int height = measured->Height();
    TTestEdit* edit = MakeEdit();
    edit->SetAlign(alTop);
    QApplication::processEvents();
    EXPECT_EQ(edit->Width(), Form->ClientWidth());
    EXPECT_EQ(edit->Height(), height);
    EXPECT_NE(height, 80);

    TTestEdit* client = MakeEdit();
    client->SetAlign(alClient);
    QApplication::processEvents();
    EXPECT_EQ(client->Width(), Form->ClientWidth());
    EXPECT_GT(client->Height(), height);
}

TEST_F(TEditControl, AutoSizedEditorDoesNotWriteItsHeight)
{
    TTestEdit* edit = MakeEdit();
    EXPECT_FALSE(IsStoredProp(edit, String::fromLatin1("Height")));
    EXPECT_TRUE(IsStoredProp(edit, String::fromLatin1("Width")));
    edit->SetAutoSize(false);
    EXPECT_TRUE(IsStoredProp(edit, String::fromLatin1("Height")));
    EXPECT_FALSE(IsStoredProp(edit, String::fromLatin1("AnchorX")));
}

}  // namespace
