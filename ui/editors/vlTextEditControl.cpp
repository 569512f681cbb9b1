// vlTextEditControl.cpp - the text editor control: text and value in step,
// replacing the selection under the length and lookup rules, the
// clipboard, live thousand separators, the inner edit's layout and the
// drawn value of the list and read-only styles.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlEditScopes.h"
#include "ui/editors/vlTextEditScopes.h"
#include "ui/editors/vlTextEdit.h"
#include "ui/foundation/vlGraphics.h"

TvlTextEditLookupDataClass TvlCustomTextEditProperties::GetLookupDataClass() const
{
    return [](IvlTextEditLookupDataOwner* AOwner) { return std::make_unique<TvlCustomTextEditLookupData>(AOwner); };
}

TvlCustomEditClass TvlCustomTextEditProperties::GetContainerClass() const
{
    return [](TComponent* AOwner, bool AIsInplace) -> TvlCustomEdit* {
        return TvlCustomEdit::CreateInplace<TvlTextEdit>(AOwner, AIsInplace);
    };
}

namespace {

bool isNumericText(String S)
{
    S = S.trimmed();
    if (S.isEmpty())
        return false;
    RemoveThousandSeparators(S);
    double value = 0;
    return TryStrToFloat(S, value);
}

bool isThousandSeparator(QChar C) { return C == FormatSettings.ThousandSeparator; }

// The number of characters other than thousand separators before APos.
int digitsBefore(const String& S, int APos)
{
    int count = 0;
    for (int i = 0; i < std::min<int>(APos, int(S.size())); ++i)
        if (!isThousandSeparator(S[i]))
            ++count;
    return count;
}

// The position just after ACount characters other than thousand separators.
int positionAfterDigits(const String& S, int ACount)
{
    int i = 0;
    for (; i < int(S.size()) && ACount > 0; ++i)
        if (!isThousandSeparator(S[i]))
            --ACount;
    return i;
}

}  // namespace

// The format controller tells the editor that the locale's formats changed.
class TvlCustomTextEdit::TFormatListener : public IvlFormatChangeListener {
public:
    explicit TFormatListener(TvlCustomTextEdit* AEdit) : FEdit(AEdit) {}
    void FormatChanged() override { FEdit->formatListenerChanged(); }

private:
    TvlCustomTextEdit* FEdit;
};

// ------------------------------------------------------------ making

TvlCustomTextEdit::TvlCustomTextEdit(TComponent* AOwner, bool AIsInplace)
    : TvlCustomTextEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlCustomTextEdit::TvlCustomTextEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlCustomEdit(AOwner, AIsInplace, TDeferInitialize{})
{
}

TvlCustomTextEdit::~TvlCustomTextEdit()
{
    FSavedText = Text();
    if (FFormatListener)
        if (TvlFormatController* controller = vlFormatControllerAssigned())
            controller->RemoveListener(FFormatListener.get());
    FFormatListener.reset();
    FLookupData.reset();
    // The inner edit outlives this part of the editor: its changes are no
    // longer this editor's.
    if (InnerEdit() != nullptr) {
        InnerEdit()->SetOnChange(TNotifyEvent());
        if (IvlInnerTextEdit* inner = InnerTextEdit())
            inner->SetOnSelChange(TNotifyEvent());
    }
}

void TvlCustomTextEdit::Initialize()
{
    if (Initialized())
        return;
    TvlCustomEdit::Initialize();
    init();
}

void TvlCustomTextEdit::init()
{
    SetBeepOnEnter(true);
    FLookupSelection = false;
    if (IvlInnerTextEdit* inner = InnerTextEdit()) {
        inner->GetControl()->SetColor(clWindow);
        inner->SetOnSelChange(TNotifyEvent(this, &TvlCustomTextEdit::HandleInnerEditSelChange));
    }
    SetBounds(Left(), Top(), 121, 21);
    if (TvlTextEditLookupDataClass lookupClass = ActiveProperties()->GetLookupDataClass()) {
        FLookupData = lookupClass(this);
        FLookupData->SetOnSelectItem(TNotifyEvent(this, &TvlCustomTextEdit::HandleSelectItem));
    }
    FFormatListener = std::make_unique<TFormatListener>(this);
    vlFormatController()->AddListener(FFormatListener.get());
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomTextEdit::CreateProperties()
{
    return std::make_unique<TvlCustomTextEditProperties>(this);
}

TvlInnerEditClass TvlCustomTextEdit::GetInnerEditClass() const
{
    return [](TvlCustomEdit* AEdit) { return std::make_unique<TvlCustomInnerTextEdit>(AEdit); };
}

IvlInnerTextEdit* TvlCustomTextEdit::InnerTextEdit() const { return dynamic_cast<IvlInnerTextEdit*>(InnerEdit()); }

IvlTextEditLookupData* TvlCustomTextEdit::ILookupData() const { return FLookupData.get(); }

TvlCustomTextEditViewInfo* TvlCustomTextEdit::ViewInfo() const
{
    return static_cast<TvlCustomTextEditViewInfo*>(EditViewInfo());
}

TvlEditEditingStyle TvlCustomTextEdit::editingStyle() const { return ActiveProperties()->GetEditingStyle(); }

bool TvlCustomTextEdit::isEditStyle(TvlEditEditingStyle AStyle) const { return editingStyle() == AStyle; }

void TvlCustomTextEdit::Loaded()
{
    TvlCustomEdit::Loaded();
    ShortRefreshContainer(false);
}

void TvlCustomTextEdit::FormatChanged()
{
    if (ComponentState().Contains(csDestroying) || !Initialized())
        return;
    // What the user typed stays; a value shown from the data takes the
    // new formats.
    if (!ModifiedAfterEnter())
        SynchronizeDisplayValue();
    else
        UpdateDrawValue();
}

// ------------------------------------------------------------ properties

void TvlCustomTextEdit::PropertiesChanged(TObject* Sender)
{
    if (ComponentState().Contains(csDestroying) || !Initialized())
        return;
    TvlCustomTextEditProperties* properties = ActiveProperties();
    if (properties->UseLookupData() && FLookupData) {
        FLookupData->PropertiesChanged();
        if (!FLookupChanging)
            FLookupData->TextChanged();
    }
    if (!IsInnerEditPending() && !IsTextEditable())
        UpdateDrawValue();
    if (IvlInnerTextEdit* inner = InnerTextEdit()) {
        inner->SetAlignment(properties->Alignment()->Horz());
        inner->SetUseLeftAlignmentOnEditing(properties->UseLeftAlignmentOnEditing());
        if (!IsInplace())
            inner->SetAutoSelect(properties->AutoSelect());
        inner->SetCharCase(properties->CharCase());
        inner->SetEchoMode(properties->EchoMode());
        inner->SetHideSelection(properties->HideSelection());
        inner->SetImeMode(properties->ImeMode());
        inner->SetImeName(properties->ImeName());
        inner->SetMaxLength(properties->MaxLength());
        inner->SetOEMConvert(properties->OEMConvert());
        inner->SetPasswordChar(properties->PasswordChar());
    }
    CheckEditorValueBounds();
    if (!IsPosting())
        CheckLookupText();
    UpdateDrawValue();
    TvlCustomEdit::PropertiesChanged(Sender);
    if (InnerEdit() != nullptr)
        InnerEdit()->GetControl()->Invalidate();
}

void TvlCustomTextEdit::CheckEditorValueBounds()
{
    if (!ActiveProperties()->IsEditValueNumeric() || InnerEdit() == nullptr)
        return;
    if (!DataBinding()->CanRefreshFromData() || !ActiveProperties()->IsValueBoundsDefined())
        return;
    InternalCheckEditorValueBounds();
}

bool TvlCustomTextEdit::CanCheckLookupText() const
{
    return !IsInplace() && !DataBinding()->IsDataAware();
}

void TvlCustomTextEdit::CheckLookupText()
{
    const TvlEditEditingStyle style = editingStyle();
    if (style != esEditList && style != esFixedList) {
        if (!ModifiedAfterEnter())
            DataBinding()->RefreshDisplay();
        return;
    }
    if ((ModifiedAfterEnter() && !IsValidated()) || CanCheckLookupText()) {
        Variant text(GetInnerEditTextValue());
        if (!ActiveProperties()->IsDisplayValueValid(text, Focused())) {
            Variant empty;
            ActiveProperties()->GetEmptyDisplayValue(empty);
            SaveModified();
            try {
                DataBinding()->WriteDisplayValue(empty);
            } catch (...) {
                RestoreModified();
                throw;
            }
            RestoreModified();
            if (!ModifiedAfterEnter())
                SynchronizeEditValue();
        }
        return;
    }
    SynchronizeDisplayValue();
}

String TvlCustomTextEdit::GetInnerEditTextValue() const
{
    String text;
    GetInnerEditText(text);
    return text;
}

// ------------------------------------------------------------ text and value

String TvlCustomTextEdit::Text() const { return Initialized() ? GetEditingText() : FSavedText; }

String TvlCustomTextEdit::GetEditingText() const { return GetInnerEditTextValue(); }

String TvlCustomTextEdit::TextHint() const
{
    const IvlInnerTextEdit* inner = InnerTextEdit();
    return inner != nullptr ? inner->GetTextHint() : String();
}

void TvlCustomTextEdit::SetTextHint(const String& Value)
{
    if (IvlInnerTextEdit* inner = InnerTextEdit())
        inner->SetTextHint(Value);
}

void TvlCustomTextEdit::GetDisplayValue(Variant& V) const { V = Variant(Text()); }

void TvlCustomTextEdit::GetInnerEditText(String& AText) const { TvlCustomEdit::GetInnerEditText(AText); }

void TvlCustomTextEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool)
{
    AEditValue = ADisplayValue;
}

void TvlCustomTextEdit::SetInnerEditDisplayValue(const Variant& V)
{
    if (InnerEdit() != nullptr)
        InnerEdit()->SetEditValue(Variant(VarToStr(V)));
}

void TvlCustomTextEdit::SynchronizeDisplayValue()
{
    TvlCustomTextEditProperties* properties = ActiveProperties();
    const bool focused = Focused();
    const Variant editValue = EditValue();
    Variant displayValue;
    if (properties->CanValidate()) {
        Variant checked = editValue;
        const bool valid = properties->IsEditValueValid(checked, focused);
        if (valid)
            PrepareDisplayValue(editValue, displayValue, focused);
        else if (focused)
            properties->GetEmptyDisplayValue(displayValue);
        else {
            // A value the editor cannot take is shown as it is, and as
            // nothing when it has no text either.
            try {
                displayValue = Variant(VarToStr(editValue));
            } catch (const EVariantError&) {
                displayValue = Variant(String());
            }
        }
    } else {
        PrepareDisplayValue(editValue, displayValue, focused);
    }
    SaveModified();
    try {
        const TvlEditRestore<bool> synchronizing(FSynchronizing, true);
        DataBinding()->WriteDisplayValue(displayValue);
    } catch (...) {
        RestoreModified();
        throw;
    }
    RestoreModified();
    ResetTextCursorState();
    UpdateDrawValue();
}

void TvlCustomTextEdit::SynchronizeEditValue()
{
    const bool hasDisplayValue = ActiveProperties()->HasDisplayValue();
    const Variant oldValue = hasDisplayValue ? EditValue() : Variant();
    Variant newValue;
    PrepareEditValue(Variant(GetInnerEditTextValue()), newValue, true);
    StoreEditValue(newValue);
    if (IsUserAction())
        SetModifiedAfterEnter(true);
    else
        SetEditModified(false);
    if (hasDisplayValue && !EditValueVarEquals(oldValue, newValue)) {
        DoEditValueChanged();
        if (!ActiveProperties()->UsesInnerEditChangeEvent())
            DoChange();
    }
}

void TvlCustomTextEdit::SetInternalDisplayValue(const Variant& V)
{
    DataBinding()->WriteDisplayValue(V);
    if (!IsUserAction()) {
        ResetTextCursorState();
        SynchronizeEditValue();
        SetEditModified(false);
    }
}

void TvlCustomTextEdit::SetDisplayValue(const Variant& V)
{
    if (isEditStyle(esEdit) && ActiveProperties()->UseLookupData() && FLookupData
        && !FLookupData->FindText(VarToStr(V)))
        DoOnNewLookupDisplayText(VarToStr(V));
    TvlCustomEdit::SetDisplayValue(V);
}

void TvlCustomTextEdit::DoOnNewLookupDisplayText(const String& AText)
{
    if (Properties()->OnNewLookupDisplayText)
        Properties()->OnNewLookupDisplayText(this, AText);
    if (RepositoryItem() != nullptr && ActiveProperties()->OnNewLookupDisplayText)
        ActiveProperties()->OnNewLookupDisplayText(this, AText);
}

void TvlCustomTextEdit::DoEditValueChanged()
{
    // The current lookup item follows a value set from outside.
    if (ActiveProperties()->UseLookupData() && FLookupData && !FLookupChanging)
        FLookupData->TextChanged();
    TvlCustomEdit::DoEditValueChanged();
}

void TvlCustomTextEdit::DoValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError)
{
    TvlCustomTextEditProperties* properties = ActiveProperties();
    if (properties->CanValidate() && isEditStyle(esEdit) && properties->UseLookupData() && FLookupSelection
        && FLookupData) {
        const int index = GetItemIndex();
        if (index >= 0) {
            const String item = FLookupData->GetKeyDisplayText(Variant(index));
            if (item.compare(VarToStr(ADisplayValue), Qt::CaseInsensitive) == 0)
                ADisplayValue = Variant(item);
        }
    }
    TvlCustomEdit::DoValidateDisplayValue(ADisplayValue, AErrorText, AError);
}

bool TvlCustomTextEdit::DoEditing()
{
    const TvlEditRestore<bool> inside(FInsideDoEditing, true);
    return TvlCustomEdit::DoEditing();
}

// ------------------------------------------------------------ changing the text

bool TvlCustomTextEdit::CanChangeSelText(const String& AText, String& ANewText, int& ANewCaret)
{
    TvlCustomTextEditProperties* properties = ActiveProperties();
    const TvlEditEditingStyle style = editingStyle();
    if (IsUserAction() && style == esNoEdit)
        return false;
    if ((style == esFixedList || style == esNoEdit) && InnerTextEdit() != nullptr)
        InnerTextEdit()->SelectAll();
    const String text = GetInnerEditTextValue();
    const int selStart = std::clamp(InnerTextEdit() != nullptr ? InnerTextEdit()->GetSelStart() : 0, 0,
                                    int(text.size()));
    const int selLength = std::clamp(InnerTextEdit() != nullptr ? InnerTextEdit()->GetSelLength() : 0, 0,
                                     int(text.size()) - selStart);
    const String before = text.left(selStart);
    const String after = text.mid(selStart + selLength);
    const int maxLength = properties->MaxLength();
    if (IsUserAction() && style == esEdit && maxLength > 0) {
        ANewText = (before + AText).left(maxLength);
        ANewCaret = int(ANewText.size());
        if (ANewCaret < selStart)
            return false;
        ANewText = (ANewText + after).left(maxLength);
    } else {
        ANewText = style == esFixedList ? AText : before + AText + after;
        ANewCaret = selStart + int(AText.size());
    }
    Variant value(ANewText);
    if (!properties->IsDisplayValueValid(value, Focused()))
        return false;
    ANewText = VarToStr(value);
    return !IsUserAction() || DoEditing();
}

String TvlCustomTextEdit::SelText() const
{
    const IvlInnerTextEdit* inner = visibleSelection();
    return inner != nullptr ? inner->GetSelText() : String();
}

void TvlCustomTextEdit::SetSelText(const String& AText)
{
    const TUserActionScope userAction(this, (IsUserAction() && Focused()) || FAutoCorrect);
    String newText;
    int newCaret = 0;
    if (!CanChangeSelText(AText, newText, newCaret))
        return;
    SetInternalDisplayValue(Variant(newText));
    if (IvlInnerTextEdit* inner = InnerTextEdit())
        inner->SetSelStart(newCaret);
}

void TvlCustomTextEdit::ClearSelection()
{
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (inner == nullptr || inner->GetSelLength() == 0)
        return;
    const String text = GetInnerEditTextValue();
    const int start = inner->GetSelStart();
    const TUserActionScope userAction(this, (IsUserAction() && Focused()) || FAutoCorrect);
    if (!InternalSetEditingText(text.left(start) + text.mid(start + inner->GetSelLength())))
        return;
    inner->SetSelStart(start);
}

bool TvlCustomTextEdit::InternalSetEditingText(const String& AText)
{
    Variant value(AText);
    if (!ActiveProperties()->IsDisplayValueValid(value, Focused()))
        return false;
    if (IsUserAction() && !DoEditing())
        return false;
    SetInternalDisplayValue(value);
    return true;
}

void TvlCustomTextEdit::SetEditingText(const String& AText)
{
    if (!DoEditing())
        return;
    SetText(AText);
    SetModifiedAfterEnter(true);
}

void TvlCustomTextEdit::InternalSetTextAndPost(const String& AText, bool APost)
{
    {
        const TvlEditRestore<bool> autoCorrect(FAutoCorrect, true);
        SetSelText(AText);
    }
    if (APost && !IsInplace() && !Focused() && CanPostEditValue()) {
        TvlTextEditChangeEventsHold hold(this);
        SetEditValueNoValidate(Variant(AText));
        InternalPostEditValue(false);
    }
    SetModifiedAfterEnter(true);
}

// ------------------------------------------------------------ selection

// The inner edit, when its selection is the editor's: never in the no-edit
// style, and in the fixed-list style only over a completed lookup text.
const IvlInnerTextEdit* TvlCustomTextEdit::visibleSelection() const
{
    const IvlInnerTextEdit* inner = InnerTextEdit();
    if (inner == nullptr || isEditStyle(esNoEdit) || (isEditStyle(esFixedList) && !FLookupSelection))
        return nullptr;
    return inner;
}

int TvlCustomTextEdit::SelStart() const
{
    const IvlInnerTextEdit* inner = visibleSelection();
    return inner != nullptr ? inner->GetSelStart() : 0;
}

void TvlCustomTextEdit::SetSelStart(int Value)
{
    if (IvlInnerTextEdit* inner = InnerTextEdit(); inner != nullptr && !isEditStyle(esNoEdit))
        inner->SetSelStart(Value);
}

int TvlCustomTextEdit::SelLength() const
{
    const IvlInnerTextEdit* inner = visibleSelection();
    return inner != nullptr ? inner->GetSelLength() : 0;
}

void TvlCustomTextEdit::SetSelLength(int Value)
{
    if (IvlInnerTextEdit* inner = InnerTextEdit(); inner != nullptr && !isEditStyle(esNoEdit))
        inner->SetSelLength(Value);
}

void TvlCustomTextEdit::SetSelection(int AStart, int ALength)
{
    SetSelStart(AStart);
    SetSelLength(ALength);
}

int TvlCustomTextEdit::GetCaretCharIndex() const
{
    const auto* inner = dynamic_cast<const TvlCustomInnerTextEdit*>(InnerEdit());
    return inner != nullptr ? inner->GetCaretCharIndex() : 0;
}

void TvlCustomTextEdit::SelectAll()
{
    if (IvlInnerTextEdit* inner = InnerTextEdit())
        inner->SelectAll();
}

void TvlCustomTextEdit::ResetLookupSelection(bool AState)
{
    if (!HandleAllocated() || FLookupSelection == AState)
        return;
    FLookupSelection = AState;
    CalculateViewInfoAtCursor();
    UpdateDrawValue();
}

// ------------------------------------------------------------ clipboard

String TvlCustomTextEdit::clipboardText() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText() ? data->text() : String();
}

void TvlCustomTextEdit::CopyToClipboard()
{
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (inner == nullptr)
        return;
    if (isEditStyle(esFixedList) || isEditStyle(esNoEdit))
        inner->SelectAll();
    if (inner->GetSelLength() > 0)
        inner->CopyToClipboard();
}

void TvlCustomTextEdit::CutToClipboard()
{
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (inner == nullptr || inner->GetSelLength() == 0)
        return;
    if (Focused()) {
        String newText;
        int newCaret = 0;
        if (CanChangeSelText(String(), newText, newCaret))
            inner->CallDefWndProc(WM_CUT, 0, 0);
        return;
    }
    inner->CopyToClipboard();
    SetSelText(String());
}

void TvlCustomTextEdit::PasteFromClipboard()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (data == nullptr || !data->hasText() || inner == nullptr)
        return;
    const String text = clipboardText();
    if (Focused()) {
        String newText;
        int newCaret = 0;
        if (CanChangeSelText(text, newText, newCaret))
            inner->CallDefWndProc(WM_PASTE, 0, 0);
        return;
    }
    SetSelText(text);
}

bool TvlCustomTextEdit::DoInnerControlDefaultHandler(TMessage& Message)
{
    // The inner edit's own clipboard keys are held to the same rules as the
    // editor's clipboard commands.
    switch (Message.Msg) {
    case WM_CUT: case WM_PASTE: {
        const TUserActionScope userAction(this);
        IvlInnerTextEdit* inner = InnerTextEdit();
        if (inner == nullptr || inner->GetReadOnly())
            return true;
        if (Message.Msg == WM_CUT && inner->GetSelLength() == 0)
            return true;
        if (Message.Msg == WM_PASTE && clipboardText().isEmpty())
            return true;
        if (!DoEditing()) {
            if (Message.Msg == WM_CUT)
                inner->CallDefWndProc(WM_COPY, 0, 0);
            return true;
        }
        String newText;
        int newCaret = 0;
        if (!CanChangeSelText(Message.Msg == WM_CUT ? String() : clipboardText(), newText, newCaret)) {
            if (Message.Msg == WM_CUT)
                inner->CallDefWndProc(WM_COPY, 0, 0);
            return true;
        }
        return false;
    }
    default:
        return TvlCustomEdit::DoInnerControlDefaultHandler(Message);
    }
}

// ------------------------------------------------------------ messages

void TvlCustomTextEdit::handleGetText(TMessage& Message)
{
    // WParam: the buffer's size in characters, the terminating zero
    // included; LParam: the String that receives the text.
    const String text = Text();
    const int textMax = int(Message.WParam);
    auto* out = reinterpret_cast<String*>(Message.LParam);
    if (textMax < 1 || out == nullptr) {
        Message.Result = 0;
        return;
    }
    *out = text.left(textMax - 1);
    Message.Result = LRESULT(out->size());
}

void TvlCustomTextEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETTEXT: {
        if (FSettingText || !Initialized()) {
            TvlCustomEdit::Dispatch(Message);
            return;
        }
        const TvlEditRestore<bool> setting(FSettingText, true);
        const String& text = *reinterpret_cast<const String*>(Message.LParam);
        Message.Result = SetEditingTextValue(text) ? 1 : 0;
        return;
    }
    case WM_GETTEXT:
        handleGetText(Message);
        return;
    case WM_CLEAR:
        if (IsUserAction() && !ActiveProperties()->ReadOnly() && DataBinding()->GetIsDataAvailable())
            ClearSelection();
        return;
    case WM_SETFOCUS:
        if (!IsInplace() && InnerEdit() != nullptr)
            InnerEdit()->GetControl()->HandleNeeded();
        break;
    default:
        break;
    }
    TvlCustomEdit::Dispatch(Message);
}

bool TvlCustomTextEdit::IsValidChar(QChar Key) const
{
    return TvlCustomEdit::IsValidChar(Key)
           || (Key.unicode() < 256 && ActiveProperties()->ExtraValidChars().test(Key.unicode() & 0xFF));
}

// ------------------------------------------------------------ numeric typing

void TvlCustomTextEdit::ChangeHandler(TObject* Sender)
{
    TvlTextEditChangeEventsHold hold(this);
    if (FSynchronizing)
        SaveModified();
    try {
        TvlCustomEdit::ChangeHandler(Sender);
    } catch (...) {
        if (FSynchronizing)
            RestoreModified();
        throw;
    }
    if (FSynchronizing)
        RestoreModified();
    if (!ViewInfo()->InnerEditShowsText || !IsTextEditable())
        UpdateDrawValue();
    const TvlCustomTextEditProperties* properties = ActiveProperties();
    if (Focused() && properties->IsEditValueNumeric() && properties->ThousandSeparatorsWhileEditing(FSynchronizing))
        CheckNumericEditText();
}

void TvlCustomTextEdit::CheckNumericEditText()
{
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (inner == nullptr)
        return;
    const String oldText = GetInnerEditTextValue();
    String newText = oldText;
    AddThousandSeparators(newText);
    if (newText == oldText || !isNumericText(newText))
        return;
    const int caret = GetCaretCharIndex();
    const int digits = digitsBefore(oldText, caret);
    {
        const TvlEditRestore<bool> synchronizing(FSynchronizing, true);
        inner->SetEditValue(Variant(newText));
    }
    if (digits > 0)
        inner->SetSelStart(positionAfterDigits(newText, digits));
}

// ------------------------------------------------------------ layout and drawing

bool TvlCustomTextEdit::IsTextEditable() const
{
    const TvlEditEditingStyle style = editingStyle();
    return (style == esEdit || style == esEditList) && !IsInnerEditPending();
}

bool TvlCustomTextEdit::CanStartEditing() const { return !isEditStyle(esNoEdit); }

int TvlCustomTextEdit::GetInnerEditTextHeight() const
{
    const TWinControl* control = InnerEdit() != nullptr ? InnerEdit()->GetControl() : nullptr;
    return TextExtentForFont(control != nullptr ? control->Font() : Font(), QStringLiteral("Wg")).cy;
}

void TvlCustomTextEdit::AdjustInnerEditPosition()
{
    if (FPositioning || InnerEdit() == nullptr)
        return;
    const TvlEditRestore<bool> positioning(FPositioning, true);
    TWinControl* control = InnerEdit()->GetControl();
    if (!IsTextEditable()) {
        // The view info draws the text; the inner edit only takes the keys.
        if (control->BoundsRect() != TRect{})
            control->SetBoundsRect(TRect{});
        return;
    }
    const TvlCustomTextEditViewInfo* vi = ViewInfo();
    const TRect client = vi->ClientRect;
    TRect offsets;
    if (!IsInplace()) {
        std::unique_ptr<TvlCustomEditViewData> viewData = CreateViewData();
        offsets = viewData->ContentOffset;
    }
    const int h = GetInnerEditTextHeight();
    int top = client.Top + offsets.Top;
    switch (ActiveProperties()->Alignment()->Vert()) {
    case taBottomJustify:
        top = client.Bottom - h - offsets.Bottom;
        break;
    case taVCenter:
        top = client.Top + offsets.Top + (client.Height() - h - offsets.Top - offsets.Bottom) / 2;
        break;
    case taTopJustify:
        break;
    }
    top = std::max(top, client.Top + offsets.Top);
    const TRect bounds = Bounds(client.Left + offsets.Left, top,
                                client.Width() - offsets.Left - offsets.Right + 1, h);
    if (control->BoundsRect() != bounds)
        control->SetBoundsRect(bounds);
}

void TvlCustomTextEdit::GetInnerControlBounds(const TRect& R, TControl* AControl,
                                             TvlInnerControlBounds& ABounds) const
{
    if (IsTextEditable()) {
        TvlCustomEdit::GetInnerControlBounds(R, AControl, ABounds);
        return;
    }
    ABounds.IsEmpty = false;
    ABounds.Rect = TRect{};
}

void TvlCustomTextEdit::GetEditSizeProperties(TvlEditSizeProperties& AMeasureParams) const
{
    AMeasureParams.Height = -1;
    AMeasureParams.Width = -1;
    AMeasureParams.MaxLineCount = 1;
}

void TvlCustomTextEdit::UpdateDrawValue()
{
    if (!Initialized() || ComponentState().Contains(csDestroying))
        return;
    std::unique_ptr<TvlCustomEditViewData> viewData = CreateViewData();
    auto* textViewData = dynamic_cast<TvlCustomTextEditViewData*>(viewData.get());
    TvlCustomTextEditViewInfo* vi = ViewInfo();
    if (textViewData != nullptr)
        textViewData->DisplayValueToDrawValue(Variant(GetInnerEditTextValue()), vi);
    else
        vi->Text = GetInnerEditTextValue();
    if (HandleAllocated())
        CalculateViewInfoAtCursor();
    const TvlEditEditingStyle style = editingStyle();
    if (style == esFixedList || style == esNoEdit) {
        const IvlInnerTextEdit* inner = InnerTextEdit();
        if (style == esNoEdit || !FLookupSelection || !ActiveProperties()->FixedListTypedSelection()
            || inner == nullptr) {
            vi->SelStart = 0;
            vi->SelLength = 0;
        } else if (vi->DrawSelectionBar) {
            vi->SelStart = 0;
            vi->SelLength = int(vi->Text.size()) - inner->GetSelLength();
            vi->SelTextColor = clHighlight;
            vi->SelBackgroundColor = clHighlightText;
        } else {
            vi->SelStart = inner->GetSelStart();
            vi->SelLength = inner->GetSelLength();
            vi->SelTextColor = clHighlightText;
            vi->SelBackgroundColor = clHighlight;
        }
        vi->ResetTextOutData();
    }
    if (HandleAllocated())
        Invalidate();
}

void TvlCustomTextEdit::UpdateInnerEditAppearance()
{
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (inner == nullptr)
        return;
    TWinControl* control = inner->GetControl();
    const TvlCustomTextEditViewInfo* vi = ViewInfo();
    LockInnerEditRepainting();
    try {
        if (control->Color() != vi->BackgroundColor())
            control->SetColor(vi->BackgroundColor());
        TFont* visible = GetVisibleFont();
        if (visible != nullptr) {
            TFont font;
            font.Assign(visible);
            font.SetColor(vi->TextColor);
            const TFont* current = control->Font();
            if (current->Name() != font.Name() || current->Height() != font.Height()
                || current->Style() != font.Style() || current->Color() != font.Color())
                control->Font()->Assign(&font);
        }
    } catch (...) {
        UnlockInnerEditRepainting();
        throw;
    }
    UnlockInnerEditRepainting();
}

bool TvlCustomTextEdit::RefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift,
                                         bool IsMouseEvent)
{
    const bool result = TvlCustomEdit::RefreshContainer(P, Button, Shift, IsMouseEvent);
    if (result)
        UpdateInnerEditAppearance();
    return result;
}

void TvlCustomTextEdit::ContainerStyleChanged(TObject* Sender)
{
    // The inner edit reads its password character from its own style, so a
    // change of the editor's style needs no new window for it.
    TvlCustomEdit::ContainerStyleChanged(Sender);
}

int TvlCustomTextEdit::GetTextBaseLine() const { return ViewInfo()->GetTextBaseLine(); }

bool TvlCustomTextEdit::CanSpellCheck() const
{
    return ActiveProperties()->EchoMode() == eemNormal && !ActiveProperties()->ReadOnly();
}

TColor TvlCustomTextEdit::LookupBackgroundColor() const { return ViewInfo()->BackgroundColor(); }

const TFont* TvlCustomTextEdit::LookupFont() const { return const_cast<TvlCustomTextEdit*>(this)->GetVisibleFont(); }

String TvlCustomTextEdit::LookupEditText() const { return Text(); }

// ------------------------------------------------------------ focus and activation

void TvlCustomTextEdit::DoFocusChanged()
{
    TvlCustomEdit::DoFocusChanged();
    if (InnerEdit() != nullptr)
        InnerEdit()->GetControl()->Invalidate();
}

void TvlCustomTextEdit::Activate(TvlCustomEditData*& AEditData)
{
    TvlCustomEdit::Activate(AEditData);
    SetSelStart(0);
    if (ActiveProperties()->AutoSelect())
        SelectAll();
}

void TvlCustomTextEdit::UnlockInnerEditRepainting()
{
    // The inner edit took the focus while locked without selecting (it
    // keeps the key typed into it): nothing to repeat here.
    TvlCustomEdit::UnlockInnerEditRepainting();
}

// ------------------------------------------------------------ the published editor

TvlTextEdit::TvlTextEdit(TComponent* AOwner, bool AIsInplace) : TvlTextEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlTextEdit::TvlTextEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlCustomTextEdit(AOwner, AIsInplace, TDeferInitialize{})
{
}

std::unique_ptr<TvlCustomEditProperties> TvlTextEdit::CreateProperties()
{
    return std::make_unique<TvlTextEditProperties>(this);
}

const TClassInfo& TvlTextEdit::StaticClassInfo()
{
    using C = TvlTextEdit;
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlTextEdit", &TvlCustomEdit::StaticClassInfo())
            .Bool("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter, true)
            .Build();
    return info;
}
