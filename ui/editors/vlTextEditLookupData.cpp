// The text editor's lookup data and the list box of editor popups.
#include "platform/controls/Messages.h"
#include "ui/editors/vlTextEdit.h"

namespace {

struct TLookupChangingScope {
    IvlTextEditLookupDataOwner* Owner;
    bool Saved;
    explicit TLookupChangingScope(IvlTextEditLookupDataOwner* AOwner) : Owner(AOwner), Saved(AOwner->LookupChanging())
    {
        Owner->SetLookupChanging(true);
    }
    ~TLookupChangingScope() { Owner->SetLookupChanging(Saved); }
    TLookupChangingScope(const TLookupChangingScope&) = delete;
    TLookupChangingScope& operator=(const TLookupChangingScope&) = delete;
};

}  // namespace

// ------------------------------------------------------------ lookup data

TvlCustomTextEditLookupData::TvlCustomTextEditLookupData(IvlTextEditLookupDataOwner* AOwner)
    : TvlInterfacedPersistent(nullptr), FOwner(AOwner)
{
}

TvlCustomTextEditLookupData::~TvlCustomTextEditLookupData()
{
    if (FListLink != nullptr)
        RemoveObjectLink(FListLink);
}

String TvlCustomTextEditLookupData::GetItem(int AIndex) const { return Properties()->LookupItems()->Strings(AIndex); }

int TvlCustomTextEditLookupData::GetItemCount() const { return Properties()->LookupItems()->Count(); }

TWinControl* TvlCustomTextEditLookupData::GetListControl() const
{
    return FListLink != nullptr && FListLink->Ref != nullptr ? FList : nullptr;
}

void TvlCustomTextEditLookupData::CloseList()
{
    if (!FOwner->IsInsideDoEditing())
        SetListItemIndex(FCurrentKey);
}

String TvlCustomTextEditLookupData::GetKeyDisplayText(const Variant& AKey) const
{
    if (VarIsNull(AKey) || VarIsEmpty(AKey))
        return String();
    const int key = AKey.AsInteger();
    return key >= 0 && key < GetItemCount() ? GetItem(key) : String();
}

int TvlCustomTextEditLookupData::FindItemIndex(const String& AText) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (InternalCompareString(AText, GetItem(i), false))
            return i;
    return -1;
}

void TvlCustomTextEditLookupData::InternalSetCurrentKey(int AIndex)
{
    if (AIndex < -1 || AIndex >= GetItemCount())
        return;
    FCurrentKey = AIndex;
    SetListItemIndex(AIndex);
}

void TvlCustomTextEditLookupData::SetListItemIndex(int AIndex)
{
    if (AIndex < -1 || AIndex >= GetItemCount() || (AIndex == FItemIndex && AIndex != -1))
        return;
    if (TvlCustomEditListBox* list = static_cast<TvlCustomEditListBox*>(GetListControl());
        list != nullptr && GetItemCount() > 0) {
        // From -1 the list first goes to its top.
        if (AIndex == -1)
            list->SetItemIndex(0);
        list->SetItemIndex(AIndex);
    }
    FItemIndex = AIndex;
}

void TvlCustomTextEditLookupData::ListItemIndexChanged(TObject*)
{
    if (TvlCustomEditListBox* list = static_cast<TvlCustomEditListBox*>(GetListControl()))
        FItemIndex = list->ItemIndex();
}

void TvlCustomTextEditLookupData::SetCurrentKey(const Variant& AKey)
{
    const int oldKey = FCurrentKey;
    InternalSetCurrentKey(VarIsNull(AKey) || VarIsEmpty(AKey) ? -1 : AKey.AsInteger());
    TLookupChangingScope changing(FOwner);
    if (FCurrentKey != oldKey)
        DoSelectItem();
    else if (FCurrentKey >= 0 && FCurrentKey < GetItemCount() && GetItem(FCurrentKey) != FOwner->LookupEditText())
        DoSelectItem();
}

void TvlCustomTextEditLookupData::SelectHighlightedItem()
{
    if (FItemIndex == -1)
        return;
    if (FItemIndex != FCurrentKey && !FOwner->LookupDoEditing())
        return;
    const int oldKey = FCurrentKey;
    SetCurrentKey(Variant(FItemIndex));
    // The current item chosen again still counts as a choice.
    if (FCurrentKey == oldKey)
        DoSelectItem();
}

void TvlCustomTextEditLookupData::Go(TvlEditLookupDirection ADirection, bool ACycle)
{
    const int count = GetItemCount();
    if (count == 0)
        return;
    const int start = FItemIndex != -1 ? FItemIndex : FCurrentKey;
    // A page moves by one row less than it shows, but always by one at least:
    // a one-row list still pages.
    const int step = std::max(Properties()->GetDropDownPageRowCount() - 1, 1);
    int target = start;
    switch (ADirection) {
    case egdFirst:
        target = 0;
        break;
    case egdLast:
        target = count - 1;
        break;
    case egdNext:
        if (start >= count - 1)
            target = ACycle ? 0 : count - 1;
        else
            target = start + 1;
        break;
    case egdPrior:
        if (start - 1 < 0)
            target = ACycle ? count - 1 : start;
        else
            target = start - 1;
        break;
    case egdPageUp:
        if (start == -1)
            target = ACycle ? count - 1 : -1;
        else if (start == 0 && ACycle)
            target = count - 1;
        else
            target = std::max(start - step, 0);
        break;
    case egdPageDown:
        if (start == count - 1 && ACycle)
            target = 0;
        else
            target = std::min(start == -1 ? step : start + step, count - 1);
        break;
    }
    TvlCustomEditListBox* list = static_cast<TvlCustomEditListBox*>(GetListControl());
    if (list == nullptr || !list->IsVisible() ||
        (Properties()->ImmediateUpdateText() && FOwner->LookupDoEditing()))
        SetCurrentKey(Variant(target));
    else
        SetListItemIndex(target);
}

bool TvlCustomTextEditLookupData::InternalLocate(String& AText, String& ATail, bool AWholeText, bool ANext)
{
    const TvlEditEditingStyle style = Properties()->GetEditingStyle();
    auto fail = [&] {
        const bool clear = (style == esEditList && (AWholeText || AText.isEmpty())) ||
                           (style == esFixedList && AWholeText) || style == esEdit || style == esNoEdit;
        if (clear)
            InternalSetCurrentKey(-1);
        return false;
    };
    const int count = GetItemCount();
    if (count == 0)
        return fail();
    if (AWholeText && Properties()->ExactLookupMatch()) {
        const int index = FindItemIndex(AText);
        if (index < 0) {
            InternalSetCurrentKey(-1);
            return false;
        }
        ATail.clear();
        InternalSetCurrentKey(index);
        return true;
    }
    if (AText.isEmpty())
        return fail();
    const int length = int(AText.size());
    for (int i = ANext ? FItemIndex + 1 : 0; i < count; ++i) {
        const String item = GetItem(i);
        if (item.size() < length || !InternalCompareString(item.left(length), AText, false))
            continue;
        if (style != esEdit)
            AText = item.left(length);
        ATail = item.mid(length);
        InternalSetCurrentKey(i);
        return true;
    }
    return fail();
}

bool TvlCustomTextEditLookupData::Locate(String& AText, String& ATail, bool ANext)
{
    return InternalLocate(AText, ATail, false, ANext);
}

void TvlCustomTextEditLookupData::TextChanged()
{
    if (FOwner->IsInsideDoEditing())
        return;
    const String text = FOwner->LookupEditText();
    // Nothing current (-1) is no item: it has no text to compare.
    if (FItemIndex >= 0 && FItemIndex < GetItemCount() && InternalCompareString(GetItem(FItemIndex), text, false))
        return;
    String whole = text;
    String tail;
    InternalLocate(whole, tail, true, false);
}

void TvlCustomTextEditLookupData::UpdateListItemCount()
{
    if (TvlCustomEditListBox* list = static_cast<TvlCustomEditListBox*>(GetListControl()))
        list->SetItemCount(GetItemCount());
}

void TvlCustomTextEditLookupData::InitializeList(TWinControl* AParent)
{
    if (GetListControl() == nullptr) {
        if (const auto listClass = GetListBoxClass()) {
            if (FListLink != nullptr)
                RemoveObjectLink(FListLink);
            FList = listClass(AParent);
            FList->SetEdit(FOwner);
            FListLink = AddObjectLink(FList);
        }
    }
    TvlCustomEditListBox* list = static_cast<TvlCustomEditListBox*>(GetListControl());
    if (list == nullptr)
        return;
    list->SetColor(FOwner->LookupBackgroundColor());
    if (const TFont* font = FOwner->LookupFont()) {
        list->Font()->Assign(font);
        list->Canvas()->SetFont(font);
    }
    list->SetParent(AParent);
    list->OnSelectItem = TNotifyEvent(this, &TvlCustomTextEditLookupData::ListItemIndexChanged);
    list->SetItemCount(GetItemCount());
    list->SetItemIndex(FItemIndex);
    list->RecreateWindow();
    TextChanged();
}

void TvlCustomTextEditLookupData::PositionList(const TRect& R)
{
    TvlCustomEditListBox* list = static_cast<TvlCustomEditListBox*>(GetListControl());
    if (list == nullptr)
        return;
    list->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    if (list->HandleAllocated())
        list->SetScrollWidth(list->ScrollWidth());
}

bool TvlCustomTextEditLookupData::IsMouseOverList(const TPoint& AScreenPoint) const
{
    const TWinControl* list = GetListControl();
    if (list == nullptr)
        return false;
    // The point in the list's own coordinates, against its own rectangle.
    const TPoint p = list->ScreenToClient(AScreenPoint);
    return Rect(0, 0, list->Width(), list->Height()).Contains(p);
}

// ------------------------------------------------------------ list box

TvlCustomEditListBox::TvlCustomEditListBox(TComponent* AOwner) : TvlCustomInnerListBox(AOwner) {}

bool TvlCustomEditListBox::IsVisible() const { return HandleAllocated() && Visible(); }

void TvlCustomEditListBox::SetScrollWidth(int AWidth)
{
    // 0 first: the same width again still recalculates.
    FScrollWidth = 0;
    FScrollWidth = AWidth;
    UpdateScrollBars();
}

void TvlCustomEditListBox::SetItemCount(int ACount)
{
    TStrings* items = Items();
    if (items->Count() == ACount)
        return;
    items->BeginUpdate();
    while (items->Count() < ACount)
        items->Add(String());
    while (items->Count() > ACount)
        items->Delete(items->Count() - 1);
    items->EndUpdate();
}

void TvlCustomEditListBox::SetItemIndexAndNotify(int Value)
{
    {
        // The list widget reports a selection set from here as a click too:
        // the event below is the one for it.
        const bool saved = FSettingItemIndex;
        FSettingItemIndex = true;
        SetItemIndex(Value);
        FSettingItemIndex = saved;
    }
    UpdateScrollBars();
    OnSelectItem(this);
}

int TvlCustomEditListBox::GetItemHeight() const
{
    return TextExtentForFont(Font(), QStringLiteral("Wg")).cy;
}

int TvlCustomEditListBox::GetItemWidth(int AIndex) const
{
    return TextExtentForFont(Font(), GetItemText(AIndex)).cx;
}

bool TvlCustomEditListBox::NeedDrawFocusRect() const
{
    if (FEdit == nullptr)
        return false;
    const TvlEditEditingStyle style = FEdit->LookupProperties()->GetEditingStyle();
    return style == esFixedList || style == esNoEdit;
}

void TvlCustomEditListBox::DrawItem(int AIndex, const TRect& R, TOwnerDrawState AState)
{
    if (DoDrawItem(AIndex, R, AState))
        return;
    Canvas()->FillRect(R);
    if (AIndex < 0 || AIndex >= Items()->Count())
        return;
    TRect textRect = R;
    textRect.Left += 2;
    DrawTextOnCanvas(Canvas()->Canvas(), GetItemText(AIndex), textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX,
                     clDefault);
}

void TvlCustomEditListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TvlCustomInnerListBox::MouseMove(Shift, X, Y);
    if (!FHotTrack || HasMouseCapture(this))
        return;
    const int index = ItemAtPos(TPoint{X, Y}, true);
    if (index >= 0 && index != ItemIndex())
        SetItemIndexAndNotify(index);
}

void TvlCustomEditListBox::Click()
{
    TvlCustomInnerListBox::Click();
    if (FSettingItemIndex)
        return;
    UpdateScrollBars();
    OnSelectItem(this);
}

bool TvlCustomEditListBox::DoMouseWheel(TShiftState, int WheelDelta, const TPoint&)
{
    const int lines = std::max(Mouse->WheelScrollLines(), 1);
    const int maxTop = std::max(Items()->Count() - 1, 0);
    bool moved = false;
    for (int i = 0; i < lines; ++i) {
        const int top = TopIndex();
        const int next = std::clamp(WheelDelta > 0 ? top - 1 : top + 1, 0, maxTop);
        SetTopIndex(next);
        moved = TopIndex() != top;
    }
    return moved;
}

void TvlCustomEditListBox::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_MOUSEWHEEL && Container() == nullptr) {
        const TPoint p = PointFromLParam(Message.LParam);
        if (DoMouseWheel(KeysToShiftState(LoWord(Message.WParam)), int16_t(HiWord(Message.WParam)), p))
            return;
    }
    TvlCustomInnerListBox::Dispatch(Message);
}
