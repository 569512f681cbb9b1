// vlMaskEditModes.cpp - the mask modes: the common synchronisation with
// the editor and the standard mode, whose caret is a one-character block
// that typing overwrites, and whose Delete and Backspace blank places
// instead of shortening the text.
#include <QApplication>

#include "ui/editors/vlMaskEdit.h"

namespace {

TvlMaskBeepProc& beepProc()
{
    static TvlMaskBeepProc proc;
    return proc;
}

}  // namespace

void SetMaskBeepProc(TvlMaskBeepProc AProc) { beepProc() = std::move(AProc); }

// ------------------------------------------------------------ common

TvlMaskEditCustomMode::TvlMaskEditCustomMode(TvlCustomMaskEdit* AEdit, TvlCustomMaskEditProperties* AProperties)
    : FOwnerEdit(AEdit), FOwnProperties(AProperties)
{
}

TvlMaskEditCustomMode::~TvlMaskEditCustomMode() = default;

TvlCustomMaskEditProperties* TvlMaskEditCustomMode::Properties() const
{
    return FOwnerEdit != nullptr ? FOwnerEdit->ActiveProperties() : FOwnProperties;
}

bool TvlMaskEditCustomMode::HasEditor() const
{
    return FOwnerEdit != nullptr && FOwnerEdit->InnerTextEdit() != nullptr;
}

bool TvlMaskEditCustomMode::HasWindow() const { return HasEditor() && FOwnerEdit->HandleAllocated(); }

void TvlMaskEditCustomMode::MaskBeep() const
{
    if (!Properties()->BeepOnError())
        return;
    if (beepProc())
        beepProc()();
    else
        QApplication::beep();
}

String TvlMaskEditCustomMode::EditText() const
{
    String text;
    if (HasEditor())
        FOwnerEdit->GetInnerEditText(text);
    return text;
}

int TvlMaskEditCustomMode::SelStart() const
{
    return HasEditor() ? FOwnerEdit->InnerTextEdit()->GetSelStart() : 0;
}

int TvlMaskEditCustomMode::SelLength() const
{
    return HasEditor() ? FOwnerEdit->InnerTextEdit()->GetSelLength() : 0;
}

int TvlMaskEditCustomMode::CaretPos() const { return HasEditor() ? FOwnerEdit->GetCaretCharIndex() : 0; }

void TvlMaskEditCustomMode::SetSelStart(int Value)
{
    if (HasEditor())
        FOwnerEdit->InnerTextEdit()->SetSelStart(Value);
}

void TvlMaskEditCustomMode::SetSelLength(int Value)
{
    if (HasEditor())
        FOwnerEdit->InnerTextEdit()->SetSelLength(Value);
}

void TvlMaskEditCustomMode::InternalSetSelStart(int Value)
{
    if (HasEditor())
        FOwnerEdit->InternalSetSelStart(Value);
}

void TvlMaskEditCustomMode::InternalSetSelLength(int Value)
{
    if (HasEditor())
        FOwnerEdit->InternalSetSelLength(Value);
}

void TvlMaskEditCustomMode::SendKeyDown(uint16_t Key, TShiftState Shift)
{
    if (HasEditor())
        FOwnerEdit->SendKeyDownToInnerEdit(Key, Shift);
}

void TvlMaskEditCustomMode::SendChar(QChar AChar)
{
    if (HasEditor())
        FOwnerEdit->SendCharToInnerEdit(AChar);
}

void TvlMaskEditCustomMode::SetInnerEditDisplayValue(const String& AText)
{
    if (HasEditor())
        FOwnerEdit->SetInnerEditDisplayValue(Variant(AText));
}

void TvlMaskEditCustomMode::SetEditValue(const Variant& AValue)
{
    if (FOwnerEdit != nullptr)
        FOwnerEdit->SetEditValue(AValue);
}

bool TvlMaskEditCustomMode::ShiftSelecting() const { return FOwnerEdit != nullptr && FOwnerEdit->ShiftSelecting(); }

void TvlMaskEditCustomMode::SetShiftSelecting(bool Value)
{
    if (FOwnerEdit != nullptr)
        FOwnerEdit->SetShiftSelecting(Value);
}

bool TvlMaskEditCustomMode::IsMaskCharAllowed(QChar& AChar, int APosition) const
{
    return FOwnerEdit == nullptr || FOwnerEdit->IsMaskCharAllowed(AChar, APosition);
}

void TvlMaskEditCustomMode::SyncEditValue()
{
    if (!HasEditor())
        return;
    Variant shown;
    if (FOwnerEdit->ModifiedAfterEnter()) {
        // What the user typed is kept, shaped by the new mask.
        shown = Variant(FormatText(EditText(), true));
    } else {
        Properties()->PrepareDisplayValue(FOwnerEdit->EditValue(), shown, FOwnerEdit->Focused());
    }
    FOwnerEdit->SetInnerEditDisplayValue(shown);
}

// ------------------------------------------------------------ standard mode

TvlMaskEditStandardMode::TvlMaskEditStandardMode(TvlCustomMaskEdit* AEdit, TvlCustomMaskEditProperties* AProperties)
    : TvlMaskEditCustomMode(AEdit, AProperties)
{
}

void TvlMaskEditStandardMode::CompileMask(const String& AMask)
{
    FCompiledMask = AMask;
    if (IsBlankMask(AMask)) {
        FStandardMask.Clear();
        return;
    }
    FStandardMask.SetMaskText(AMask);
    // Without the editor's window the blank value waits for a later change.
    FEditValuePending = !HasWindow();
}

bool TvlMaskEditStandardMode::isLiteral(int APosition) const
{
    return APosition >= 0 && APosition < FStandardMask.ItemCount()
           && dynamic_cast<const TvlStandardMaskLiteralItem*>(FStandardMask.Item(APosition)) != nullptr;
}

int TvlMaskEditStandardMode::firstPlaceholder() const
{
    for (int i = 0; i < FStandardMask.ItemCount(); ++i)
        if (!isLiteral(i))
            return i;
    // A mask of literals only: the caret has no place to start before.
    return FStandardMask.ItemCount();
}

String TvlMaskEditStandardMode::GetBlankText() const { return FStandardMask.SpaceText(); }

String TvlMaskEditStandardMode::FormatText(const String& AText, bool ATextHasLiterals) const
{
    String text = AText;
    FStandardMask.FitText(text, true, ATextHasLiterals);
    return text;
}

String TvlMaskEditStandardMode::StripText(const String& AText, bool ATextHasLiterals) const
{
    if (FStandardMask.ItemCount() == 0)
        return AText;
    String text = AText;
    FStandardMask.FitText(text, Properties()->CharCase() == ecNormal, ATextHasLiterals);
    FStandardMask.ValueText(text);
    return text;
}

QChar TvlMaskEditStandardMode::BlankCharAt(int) const { return FStandardMask.BlankChar(); }

void TvlMaskEditStandardMode::CaretMoved()
{
    if (!HasWindow() || IsBlankMask(FCompiledMask) || SelLength() != 0)
        return;
    // The caret shows as a block over the character that typing replaces.
    InternalSetSelLength(1);
}

bool TvlMaskEditStandardMode::IsCaretAtStart() const
{
    return SelStart() <= firstPlaceholder() && (SelLength() < 2 || CaretPos() == SelStart());
}

bool TvlMaskEditStandardMode::IsCaretAtEnd() const { return SelStart() == int(EditText().size()); }

bool TvlMaskEditStandardMode::KeyLeft()
{
    const int start = SelStart();
    const int length = SelLength();
    if (ShiftSelecting()) {
        if (length == 1) {
            InternalSetSelStart(start + 1);
            SendKeyDown(VK_LEFT, TShiftState{ssShift});
            SendKeyDown(VK_LEFT, TShiftState{ssShift});
        }
        return true;
    }
    if (length >= 2) {
        const int end = start + length;
        int target = start;
        while (target < end && isLiteral(target))
            ++target;
        if (target == end)
            target = end == int(EditText().size()) ? end : start;
        SetSelStart(0);
        SetSelStart(target);
        return false;
    }
    int literals = 0;
    while (isLiteral(start - 1 - literals))
        ++literals;
    if (literals < start)
        SetSelStart(start - literals - 1);
    return false;
}

bool TvlMaskEditStandardMode::KeyRight()
{
    const int start = SelStart();
    const int length = SelLength();
    const int textLength = int(EditText().size());
    if (ShiftSelecting()) {
        if (length == 1 && CaretPos() == start)
            InternalSetSelLength(0);
        return true;
    }
    if (length < 2) {
        int literals = 0;
        while (isLiteral(start + 1 + literals))
            ++literals;
        const int target = start + literals + 1;
        SetSelStart(target > textLength ? start : target);
        return false;
    }
    const int end = start + length;
    if (end < textLength) {
        int target = end - 1;
        while (target > start && isLiteral(target))
            --target;
        SetSelStart(target);
    } else {
        SetSelStart(end);
    }
    return false;
}

bool TvlMaskEditStandardMode::KeyHome()
{
    if (ShiftSelecting())
        return true;
    SetSelStart(0);
    if (FStandardMask.ItemCount() > 0 && isLiteral(0))
        KeyRight();
    return false;
}

bool TvlMaskEditStandardMode::KeyEnd()
{
    if (ShiftSelecting())
        return true;
    SetSelStart(int(EditText().size()));
    return false;
}

bool TvlMaskEditStandardMode::KeyDelete()
{
    const int start = SelStart();
    const int length = SelLength();
    String text = EditText();
    const int end = std::min(start + length, int(text.size()));
    for (int i = start; i < end; ++i) {
        const QChar blank = BlankCharAt(i);
        if (!isLiteral(i) && !blank.isNull())
            text[i] = blank;
    }
    // Nothing is removed: places are blanked and the text keeps its length.
    SetInnerEditDisplayValue(text);
    SetSelStart(start);
    return false;
}

bool TvlMaskEditStandardMode::KeyBackspace()
{
    if (SelLength() <= 1)
        KeyLeft();
    KeyDelete();
    return false;
}

bool TvlMaskEditStandardMode::KeyChar(QChar& AChar)
{
    String text = EditText();
    const int start = SelStart();
    if (text.isEmpty() || start >= int(text.size()) || start >= FStandardMask.ItemCount())
        return false;
    if (isLiteral(start)) {
        SetShiftSelecting(false);
        if (SelLength() > 1)
            KeyDelete();
        KeyRight();
        if (SelStart() != start)
            return KeyChar(AChar);
        return false;
    }
    QChar c = AChar;
    const bool accepted = FStandardMask.Item(start)->AcceptChar(c) && IsMaskCharAllowed(c, start + 1);
    if (accepted && !c.isNull()) {
        if (SelLength() > 1) {
            KeyDelete();
            text = EditText();
        }
        text[start] = c;
        SetInnerEditDisplayValue(text);
        InternalSetSelStart(start);
        SetShiftSelecting(false);
        KeyRight();
    } else if (c.isNull()) {
        MaskBeep();
    }
    return false;
}

void TvlMaskEditStandardMode::BeginPaste()
{
    FPasteStart = SelStart();
    InternalSetSelStart(FPasteStart);
    InternalSetSelLength(FPasteLength);
}

void TvlMaskEditStandardMode::FinishPaste()
{
    const int textLength = int(EditText().size());
    const int target = std::max(0, std::min(FPasteStart + FPasteLength, textLength - 1));
    SetSelStart(target);
    if (isLiteral(target)) {
        SetShiftSelecting(false);
        KeyRight();
    }
}

void TvlMaskEditStandardMode::TextAssigned(const String&) { CaretMoved(); }

void TvlMaskEditStandardMode::SyncEditValue()
{
    TvlMaskEditCustomMode::SyncEditValue();
    CaretMoved();
}

void TvlMaskEditStandardMode::ApplyPendingEditValue()
{
    if (!FEditValuePending)
        return;
    FEditValuePending = false;
    SetEditValue(Variant(GetBlankText()));
}

bool TvlMaskEditStandardMode::IsTextComplete(const String& AText) const
{
    String text = AText;
    if (FStandardMask.IsTextComplete(text))
        return true;
    return Properties()->IgnoreMaskBlank() && AText == FormatText(String(), true);
}
