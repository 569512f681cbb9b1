// The editor control: values and change events, validation, Enter and
// Escape, posting in and out of place, the repository link, activation by
// key and mouse, buttons under the mouse and auto size.
#include "EditControlFixture.h"

#include <algorithm>

#include "platform/controls/ActnList.h"
#include "platform/controls/ExtCtrls.h"
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

// A repository item whose properties are the test editor's kind.
class TTestRepositoryItem : public TvlEditRepositoryItem {
public:
    explicit TTestRepositoryItem(TComponent* AOwner) : TvlEditRepositoryItem(AOwner) { RecreateProperties(); }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreatePropertiesOfItem() override
    {
        return std::make_unique<TTestEditProperties>(this);
    }
};

TEST_F(TEditControl, HandlersRunOwnThenItemsAndAnErrorKeepsTheTypedTextUnlessReplaced)
{
    TTestEdit* edit = MakeEdit();
    auto* item = new TTestRepositoryItem(Form.get());
    edit->SetRepositoryItem(item);
    std::vector<std::string> order;
    Variant replacement = Null();
    edit->Properties()->OnValidate = TvlEditValidateEvent::FromFunction(
        [&](TObject* ASender, Variant&, String&, bool& AError) {
            order.push_back(ASender == edit ? "own by editor" : "own");
            AError = true;
        });
    item->Properties()->OnValidate = TvlEditValidateEvent::FromFunction(
        [&](TObject* ASender, Variant& AValue, String&, bool&) {
            order.push_back(ASender == edit ? "item by editor" : "item");
            if (!VarIsNull(replacement))
                AValue = replacement;
        });
    edit->SetFocus();
    Type(edit->InnerWidget(), QStringLiteral("typed"));
    auto* properties = static_cast<TTestEditProperties*>(edit->ActiveProperties());

    // The value handed in is not what the user typed: an error that leaves
    // it alone gives the typed text back.
    Variant display(String::fromLatin1("stale"));
    String text;
    bool error = false, userValue = true;
    properties->DoValidate(display, text, userValue, edit, error);
    EXPECT_EQ(order, (std::vector<std::string>{"own by editor", "item by editor"}));
    EXPECT_TRUE(error);
    EXPECT_FALSE(userValue);
    EXPECT_EQ(VarToStr(display), String::fromLatin1("typed"));

    replacement = Variant(String::fromLatin1("fixed"));
    error = false;
    properties->DoValidate(display, text, userValue, edit, error);
    EXPECT_TRUE(userValue);
    EXPECT_EQ(VarToStr(display), String::fromLatin1("fixed"));

    // Through the editor: the default text, and the handler's value shown.
    EXPECT_FALSE(edit->ValidateEdit(false));
    EXPECT_EQ(edit->Text(), String::fromLatin1("fixed"));
    text.clear();
    error = false;
    properties->ValidateDisplayValue(display, text, error, edit);
    EXPECT_EQ(text, String::fromLatin1("Invalid input value. Use escape key to abandon changes"));
    edit->SetRepositoryItem(nullptr);
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

namespace {

// ---- the editor's window as its view info sees it, streaming, actions

// What a data-aware view data was asked to draw, and whether as a copy.
std::vector<std::string> drawnValues;

class TRecordingViewData : public TvlCustomEditViewData {
public:
    using TvlCustomEditViewData::TvlCustomEditViewData;
    void EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo*) const override
    {
        drawnValues.push_back(VarToStr(AEditValue).toStdString());
    }
    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override
    {
        TvlCustomEditViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
        if (AViewInfo->IsPaintCopyDrawing)
            drawnValues.push_back("as a copy");
    }
};

class TRecordingProperties : public TTestEditProperties {
public:
    using TTestEditProperties::TTestEditProperties;
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override
    {
        auto data = std::make_unique<TRecordingViewData>(this, AStyle, AIsInplace);
        data->PreviewMode = APreviewMode;
        return data;
    }

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override
    {
        return std::make_unique<TRecordingProperties>(AOwner);
    }
};

// An editor over data: a stored value of its own, and a binding that
// counts its unbound refreshes and acts on every action.
class TDataEdit : public TTestEdit {
public:
    using TTestEdit::TTestEdit;
    bool DataAware = true;
    bool ButtonDC = false;
    int UnboundRefreshes = 0;
    int BindingActions = 0;
    bool IsButtonDC(HDC) const override { return ButtonDC; }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override
    {
        return std::make_unique<TRecordingProperties>(this);
    }
    TvlEditDataBindingClass GetDataBindingClass() const override
    {
        return [](TvlCustomEdit* AEdit) { return std::make_unique<TDataBinding>(AEdit); };
    }

private:
    class TDataBinding : public TvlEditDataBinding {
    public:
        using TvlEditDataBinding::TvlEditDataBinding;
        TDataEdit* Owner() const { return static_cast<TDataEdit*>(Edit()); }
        bool IsDataAware() const override { return Owner()->DataAware; }
        void ReadStoredValue(Variant& V) const override { V = Variant(String::fromLatin1("stored")); }
        void RefreshUnboundDisplay() override { ++Owner()->UnboundRefreshes; }
        bool ExecuteAction(TBasicAction*) override
        {
            ++Owner()->BindingActions;
            return true;
        }
    };
};

TEST_F(TEditControl, TheViewInfoKnowsTheEditorsWindowAndRepaintsOnlyWhatChanged)
{
    TTestEdit* edit = MakeEdit();
    // The test editor measures no content: keep its height.
    edit->SetAutoSize(false);
    edit->SetHeight(21);
    TvlCustomEditViewInfo* vi = edit->EditViewInfo();
    EXPECT_TRUE(vi->HasInnerEdit);
    EXPECT_EQ(vi->InnerEditRect, edit->Inner()->BoundsRect());
    EXPECT_FALSE(vi->IsContainerInnerControl);
    EXPECT_FALSE(vi->IsPaintCopyDrawing);
    // A transparent editor is not opaque: its repaints erase.
    edit->SetTransparent(true);
    EXPECT_TRUE(vi->HasBackground);
    edit->SetTransparent(false);
    EXPECT_FALSE(vi->HasBackground);
    edit->Inner()->SetVisible(false);
    edit->CalculateViewInfoAtCursor();
    EXPECT_FALSE(vi->HasInnerEdit);
    edit->Inner()->SetVisible(true);
    edit->CalculateViewInfoAtCursor();

    auto old = edit->ActiveProperties()->CreateViewInfo();
    old->Assign(vi);
    EXPECT_FALSE(vi->RepaintExceptInnerEdit(edit, vi->InnerEditRect, old.get()));
    old->ButtonsInfo[0]->Data.State = bdsDisabled;
    EXPECT_TRUE(vi->RepaintExceptInnerEdit(edit, vi->InnerEditRect, old.get()));
    old->Assign(vi);
    old->ContainerState = TvlContainerState{csDisabled};
    EXPECT_TRUE(vi->Repaint(edit, old.get()));
}

TEST_F(TEditControl, AButtonLeftAndEnteredAgainWithTheButtonHeldShowsPressedAgain)
{
    TTestEdit* edit = MakeEdit(true);
    QWidget* w = edit->Widget();
    const QPoint button(edit->Width() - 4, 10);
    const auto state = [&] { return edit->EditViewInfo()->ButtonsInfo[0]->Data.State; };
    edit->SetFocus();  // the press changes no focus
    QApplication::processEvents();
    Mouse(w, QEvent::MouseMove, button, Qt::NoButton, Qt::NoButton);
    Mouse(w, QEvent::MouseButtonPress, button, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(edit->CapturedButton(), 0);
    EXPECT_EQ(state(), bdsPressed);
    EXPECT_TRUE(edit->LeftButtonDownOnButton());
    Mouse(w, QEvent::MouseMove, QPoint(40, 10), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(state(), bdsNormal);
    Mouse(w, QEvent::MouseMove, button, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(state(), bdsPressed);
    EXPECT_TRUE(edit->EditViewInfo()->IsButtonReallyPressed);
    Mouse(w, QEvent::MouseButtonRelease, button, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(edit->LeftButtonDownOnButton());
    EXPECT_EQ(edit->Log, (std::vector<std::string>{"down 0", "up 0", "down 0", "up 0", "click 0"}));
}

TEST_F(TEditControl, DataAwareEditorPaintedAsACopyShowsTheStoredValue)
{
    auto* edit = TvlCustomEdit::Create<TDataEdit>(Form.get());
    edit->SetAutoSize(false);
    edit->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
    edit->SetParent(Form.get());
    edit->SetBounds(10, 10, 120, 21);
    edit->SetEditValue(Variant(String::fromLatin1("own")));
    edit->HandleNeeded();
    QApplication::processEvents();
    QImage image(edit->Width(), edit->Height(), QImage::Format_ARGB32);

    drawnValues.clear();
    edit->SetControlState(edit->ControlState() + TControlState{csPaintCopy});
    EXPECT_TRUE(edit->IsDBEditPaintCopyDrawing());
    edit->PaintTo(image);
    EXPECT_EQ(drawnValues, (std::vector<std::string>{"stored", "as a copy"}));
    edit->SetControlState(edit->ControlState() - TControlState{csPaintCopy});
    drawnValues.clear();
    edit->PaintTo(image);
    EXPECT_TRUE(drawnValues.empty());
    edit->DataAware = false;
    edit->SetControlState(edit->ControlState() + TControlState{csPaintCopy});
    EXPECT_FALSE(edit->IsDBEditPaintCopyDrawing());
    edit->SetControlState(edit->ControlState() - TControlState{csPaintCopy});

    // An editor that paints its buttons on the context itself gets none.
    int buttons = 0;
    edit->EditViewInfo()->OnCustomDrawButton = [&](TObject*, TvlCanvas*, int, bool&) { ++buttons; };
    edit->PaintTo(image);
    EXPECT_EQ(buttons, 1);
    edit->ButtonDC = true;
    edit->PaintTo(image);
    EXPECT_EQ(buttons, 1);
}

TEST_F(TEditControl, ReadingHoldsPropertyChangesAndTheFirstParentingRefreshes)
{
    auto* edit = TvlCustomEdit::Create<TDataEdit>(Form.get());
    EXPECT_EQ(edit->UnboundRefreshes, 0);
    edit->SetParent(Form.get());
    EXPECT_EQ(edit->UnboundRefreshes, 1);
    edit->SetParent(nullptr);
    edit->SetParent(Form.get());
    EXPECT_EQ(edit->UnboundRefreshes, 1);
    edit->SetName(QStringLiteral("Edit1"));
    EXPECT_EQ(edit->UnboundRefreshes, 2);

    edit->SetModifiedAfterEnter(true);
    TComponent* component = edit;
    component->Loading();
    edit->Properties()->SetReadOnly(true);
    EXPECT_TRUE(edit->ModifiedAfterEnter());  // nothing applied while reading
    component->Loaded();
    EXPECT_FALSE(edit->ModifiedAfterEnter());
    edit->Properties()->SetReadOnly(false);
    edit->SetModifiedAfterEnter(true);
    edit->Properties()->SetReadOnly(true);  // attached again
    EXPECT_FALSE(edit->ModifiedAfterEnter());
}

TEST_F(TEditControl, InPlaceEditorTakesItsParentsTabPlaceAndActionsReachTheBinding)
{
    auto* panel = new TPanel(Form.get());
    panel->SetParent(Form.get());
    panel->SetBounds(0, 100, 200, 50);
    auto* cell = TvlCustomEdit::CreateInplace<TDataEdit>(Form.get(), true);
    cell->SetParent(panel);
    cell->SetBounds(0, 0, 100, 20);
    std::vector<TWinControl*> list;
    Form->GetTabOrderList(list);
    EXPECT_EQ(std::count(list.begin(), list.end(), panel), 0);
    EXPECT_EQ(std::count(list.begin(), list.end(), cell), 1);
    cell->SetVisible(false);
    list.clear();
    Form->GetTabOrderList(list);
    EXPECT_EQ(std::count(list.begin(), list.end(), panel), 1);

    auto* edit = TvlCustomEdit::Create<TDataEdit>(Form.get());
    edit->SetParent(Form.get());
    edit->SetBounds(10, 10, 120, 21);
    edit->SetFocus();
    QApplication::processEvents();
    TAction action(nullptr);
    EXPECT_TRUE(action.Execute());
    EXPECT_EQ(edit->BindingActions, 1);
}

}  // namespace
