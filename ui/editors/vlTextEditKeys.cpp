// vlTextEditKeys.cpp - the text editor's keys and wheel: caret handling
// around a completed lookup text, incremental search that completes typed
// text from the lookup items, moving through the items, and the item index.
#include "ui/editors/vlEditScopes.h"
#include "ui/editors/vlTextEditScopes.h"
#include "ui/editors/vlTextEdit.h"

namespace {

const QChar kBackspace(char16_t(8));

bool isLookupNavigationKey(uint16_t Key) { return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN; }

}  // namespace

// ------------------------------------------------------------ keys

void TvlCustomTextEdit::DoEditKeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlCustomTextEditProperties* properties = ActiveProperties();
    const TvlEditEditingStyle style = editingStyle();
    if (style == esFixedList && (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DELETE)) {
        const TShortCut shortCut =
            ShortCut(Key, Shift.Contains(ssShift), Shift.Contains(ssCtrl), Shift.Contains(ssAlt));
        const bool clearKey = properties->ClearKey() != 0 && shortCut == properties->ClearKey();
        if (!clearKey && !IsClickKey(Key, Shift)) {
            FLookupSelection = false;
            DoAfterKeyDown(Key, Shift);
            Key = 0;
            return;
        }
    }
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (inner != nullptr)
        inner->SetInternalUpdating(true);
    TvlCustomEdit::DoEditKeyDown(Key, Shift);
    if (Key == 0)
        return;
    switch (Key) {
    case VK_RETURN:
        if (FLookupSelection) {
            if (FLookupData)
                FLookupData->SelectHighlightedItem();
            SelectAll();
        }
        break;
    case VK_LEFT: case VK_RIGHT:
        if (!Shift.Contains(ssShift) && inner != nullptr && inner->GetSelLength() > 0) {
            const int start = inner->GetSelStart();
            inner->SetSelStart(Key == VK_LEFT ? start : start + inner->GetSelLength());
            Key = 0;
        }
        FLookupSelection = false;
        break;
    case VK_DELETE:
        if (style == esEditList) {
            DoAfterKeyDown(Key, Shift);
            Key = 0;
        } else {
            FLookupSelection = false;
        }
        break;
    default:
        break;
    }
    if (Key == 0)
        return;
    if (isLookupNavigationKey(Key) || (style == esFixedList && (Key == VK_HOME || Key == VK_END))) {
        if (properties->UseLookupData() && CanNavigateLookupItems(false) && FLookupData && !FLookupData->IsEmpty()) {
            navigate(Key, Shift);
            Key = 0;
        } else if (Key != VK_HOME && Key != VK_END && (inner == nullptr || !inner->GetMultiLine())) {
            DoAfterKeyDown(Key, Shift);
            Key = 0;
        }
    }
    if (Key == VK_END && style != esFixedList && SelLength() == 0)
        FLookupSelection = false;
    if (Key == VK_BACK) {
        // The platform types no character for Backspace: the inner edit
        // deletes on the key itself, so the character's handling (the
        // incremental search) runs here, before it.
        QChar ch(char16_t(8));
        KeyPress(ch);
        if (ch.isNull())
            Key = 0;
    }
    if (Key != 0 && inner != nullptr)
        inner->SetInternalUpdating(false);
}

void TvlCustomTextEdit::navigate(uint16_t Key, TShiftState Shift)
{
    TvlEditLookupDirection direction = egdNext;
    switch (Key) {
    case VK_PRIOR: direction = Shift.Contains(ssCtrl) ? egdFirst : egdPageUp; break;
    case VK_NEXT: direction = Shift.Contains(ssCtrl) ? egdLast : egdPageDown; break;
    case VK_END: direction = egdLast; break;
    case VK_HOME: direction = egdFirst; break;
    case VK_UP: direction = egdPrior; break;
    default: break;
    }
    goLookup(direction);
}

void TvlCustomTextEdit::goLookup(TvlEditLookupDirection ADirection)
{
    TvlTextEditChangeEventsHold hold(this);
    const TvlEditRestore<bool> navigating(FNavigating, true);
    TvlTextEditClickLock clickLock(this);
    const int before = GetItemIndex();
    FLookupData->Go(ADirection, false);
    if (GetItemIndex() == before)
        return;
    NotifyUserModification();
    if (CanPostEditValue() && ActiveProperties()->ImmediatePost() && ValidateEdit(true))
        InternalPostEditValue(false);
}

bool TvlCustomTextEdit::CanKeyDownModifyEdit(uint16_t Key, TShiftState Shift) const
{
    const bool result = TvlCustomEdit::CanKeyDownModifyEdit(Key, Shift) || Key == VK_DELETE;
    const TvlCustomTextEditProperties* properties = ActiveProperties();
    if (properties->UseLookupData() && FLookupData && !FLookupData->IsEmpty() && CanNavigateLookupItems(false)) {
        if (Key == VK_PRIOR || Key == VK_NEXT)
            return !HasPopupWindow();
        if (Key == VK_UP || Key == VK_DOWN)
            return !Shift.Contains(ssAlt) && !HasPopupWindow();
    }
    return result;
}

bool TvlCustomTextEdit::CanKeyPressModifyEdit(QChar Key) const
{
    return Key == kBackspace || Key == QChar(char16_t(0x16)) || Key == QChar(char16_t(0x18))
           || Key.category() != QChar::Other_Control;
}

// ------------------------------------------------------------ incremental search

void TvlCustomTextEdit::DoEditKeyPress(QChar& Key)
{
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (inner != nullptr)
        inner->SetInternalUpdating(true);
    TvlCustomEdit::DoEditKeyPress(Key);
    if (Key.isNull())
        return;
    FLookupChanging = false;
    TvlCustomTextEditProperties* properties = ActiveProperties();
    const TvlEditEditingStyle style = editingStyle();
    bool consumed = false;
    int before = -1;
    {
        const TUserActionScope userInput(this);
        if (style == esFixedList && Key == kBackspace && !properties->FixedListTypedSelection()) {
            FLookupSelection = false;
            Key = QChar(0);
            return;
        }
        before = GetItemIndex();
        const TvlTextEditClickLock clickLock(this);
        const bool searchActive = properties->UseLookupData() && FLookupData
                                  && (style == esEditList || style == esFixedList
                                      || (style == esEdit && properties->IncrementalSearch()));
        const String text = GetInnerEditTextValue();
        const int selStart = inner != nullptr ? inner->GetSelStart() : 0;
        const int selLength = inner != nullptr ? inner->GetSelLength() : 0;
        if (Key == kBackspace) {
            if (searchActive) {
                if (style == esEditList && !text.isEmpty() && !FLookupSelection && inner != nullptr) {
                    inner->SetSelLength(int(text.size()) - selStart);
                    FLookupSelection = true;
                }
                if (FLookupSelection && inner != nullptr) {
                    String typed = text.left(int(text.size()) - inner->GetSelLength());
                    typed.chop(1);
                    // An empty typed part empties the editor; a shorter one
                    // completes again.
                    if (LocateTypedText(typed) || typed.isEmpty())
                        consumed = true;
                }
                if (style == esFixedList)
                    consumed = true;
            }
        } else if (Key.unicode() >= 32 && searchActive
                   && (style != esEdit || selLength > 0 || FLookupSelection || selStart == int(text.size()))) {
            const bool lookupSelection = FLookupSelection;
            FLookupChanging = true;
            String candidate;
            bool found = false;
            if (selLength > 0) {
                candidate = text.left(selStart) + Key;
                found = LocateTypedText(candidate);
            } else if (style != esFixedList) {
                candidate = text;
                candidate.insert(selStart, Key);
                found = LocateTypedText(candidate);
            } else if (lookupSelection) {
                candidate = text + Key;
                found = LocateTypedText(candidate);
                if (!found) {
                    candidate = String(Key);
                    found = LocateTypedText(candidate);
                }
            } else {
                candidate = String(Key);
                found = LocateTypedText(candidate);
            }
            if (!found && style == esFixedList && !properties->FixedListTypedSelection()) {
                candidate = String(Key);
                found = LocateTypedText(candidate);
            }
            if (found) {
                consumed = true;
            } else if (style == esEditList || style == esFixedList) {
                consumed = true;
                if ((style == esEditList && !GetInnerEditTextValue().isEmpty())
                    || (style == esFixedList && properties->FixedListTypedSelection() && lookupSelection))
                    FLookupSelection = true;
            }
        }
    }
    // Clicks are unlocked by now: the user changed the value.
    if (GetItemIndex() != before)
        NotifyUserModification();
    if (consumed)
        Key = QChar(0);
    if (!Key.isNull() && inner != nullptr)
        inner->SetInternalUpdating(false);
}

bool TvlCustomTextEdit::LocateTypedText(String& ATypedText)
{
    IvlInnerTextEdit* inner = InnerTextEdit();
    const QChar pending = inner != nullptr ? inner->GetImeLastChar() : QChar(0);
    String tail;
    bool found = false;
    if (FLookupData && !ATypedText.isEmpty()) {
        String text = pending.isNull() ? ATypedText : ATypedText + pending;
        found = FLookupData->Locate(text, tail, false);
        if (found) {
            ATypedText = pending.isNull() ? text : text.left(text.size() - 1);
            if (!pending.isNull())
                tail.prepend(pending);
        }
    }
    FLookupSelection = found;
    const TvlEditRestore<bool> changing(FLookupChanging, true);
    if (ATypedText.isEmpty()) {
        if (!isEditStyle(esFixedList))
            SetInternalDisplayValue(Variant(String()));
        FLookupSelection = false;
    } else if (found) {
        SetInternalDisplayValue(Variant(ATypedText + tail));
        if (inner != nullptr) {
            inner->SetSelStart(int(ATypedText.size()));
            inner->SetSelLength(int(tail.size()));
        }
    }
    UpdateDrawValue();
    return found;
}

void TvlCustomTextEdit::KeyPress(QChar& Key)
{
    if ((Key == QChar('\r') || Key == QChar(char16_t(27))) && FSwallowNextEnterEscape) {
        // A key that closed a popup produced this character.
        FSwallowNextEnterEscape = false;
        Key = QChar(0);
        return;
    }
    TvlCustomEdit::KeyPress(Key);
}

void TvlCustomTextEdit::DoExit()
{
    TvlCustomEdit::DoExit();
    FLookupSelection = false;
}

// ------------------------------------------------------------ wheel

bool TvlCustomTextEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TvlCustomEdit::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    const TvlCustomTextEditProperties* properties = ActiveProperties();
    if (!CanNavigateLookupItems(true) || HasPopupWindow() || !properties->UseLookupData() || !FLookupData
        || FLookupData->IsEmpty() || !CanProcessMouseWheel(Shift))
        return false;
    if (DoEditing())
        goLookup(WheelDelta > 0 ? egdPrior : egdNext);
    return true;
}

// ------------------------------------------------------------ lookup items

int TvlCustomTextEdit::GetItemIndex() const
{
    return FLookupData ? LookupKeyToItemIndex(FLookupData->GetCurrentKey()) : -1;
}

int TvlCustomTextEdit::LookupKeyToItemIndex(const Variant& AKey) const
{
    return VarIsNull(AKey) || VarIsEmpty(AKey) ? -1 : AKey.AsInteger();
}

Variant TvlCustomTextEdit::LookupKeyToEditValue(const Variant& AKey) const
{
    Variant value;
    const_cast<TvlCustomTextEdit*>(this)->PrepareEditValue(
        Variant(FLookupData ? FLookupData->GetKeyDisplayText(AKey) : String()), value, true);
    return value;
}

TObject* TvlCustomTextEdit::GetItemObject() const
{
    const int index = GetItemIndex();
    const TStringList* items = ActiveProperties()->LookupItems();
    return index >= 0 && index < items->Count() ? items->Objects(index) : nullptr;
}

void TvlCustomTextEdit::SetItemIndex(int Value)
{
    if (!FLookupData)
        return;
    const int before = GetItemIndex();
    {
        TvlTextEditClickLock clickLock(this);
        FLookupData->SetCurrentKey(ItemIndexToLookupKey(Value));
        const Variant value = LookupKeyToEditValue(FLookupData->GetCurrentKey());
        if (!EditValueVarEquals(value, EditValue())) {
            const TvlEditRestore<bool> changing(FLookupChanging, true);
            SetEditValue(value);
        }
    }
    if (GetItemIndex() != before) {
        SetEditModified(false);
        Click();
    }
}

void TvlCustomTextEdit::HandleSelectItem(TObject*)
{
    if (!FLookupData)
        return;
    const Variant value = LookupKeyToEditValue(FLookupData->GetCurrentKey());
    const bool changed = !EditValueVarEquals(value, EditValue());
    if (changed && !DoEditing())
        return;
    SaveModified();
    try {
        const TvlEditRestore<bool> changing(FLookupChanging, true);
        SetInternalEditValue(value);
    } catch (...) {
        RestoreModified();
        throw;
    }
    RestoreModified();
    if (changed)
        SetModifiedAfterEnter(true);
    SelectAll();
    ShortRefreshContainer(false);
}

void TvlCustomTextEdit::ResetTextCursorState()
{
    if (ActiveProperties()->UseLookupData())
        FLookupSelection = false;
}
