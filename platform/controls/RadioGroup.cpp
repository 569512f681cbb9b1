#include "platform/controls/RadioGroup.h"

#include <algorithm>

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner), FItems(std::make_unique<TStringList>())
{
    FItems->OnChange = TNotifyEvent(this, &TRadioGroup::itemsChanged);
}

TRadioGroup::~TRadioGroup()
{
    FItems->OnChange = nullptr;
    FButtons.clear();
}

void TRadioGroup::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= int(FButtons.size()))
        Value = -1;
    FItemIndex = Value;
    // Checking a button unchecks its siblings and reports a click; a change
    // made by the program is not a user's click.
    FUpdating = true;
    for (size_t i = 0; i < FButtons.size(); ++i)
        FButtons[i]->SetChecked(int(i) == FItemIndex);
    FUpdating = false;
}

void TRadioGroup::SetColumns(int Value)
{
    FColumns = std::clamp(Value, 1, 16);
    arrangeButtons();
}

void TRadioGroup::Resize()
{
    TGroupBox::Resize();
    arrangeButtons();
}

void TRadioGroup::itemsChanged(TObject*)
{
    const int keep = FItemIndex;
    FUpdating = true;
    while (int(FButtons.size()) > FItems->Count())
        FButtons.pop_back();
    while (int(FButtons.size()) < FItems->Count()) {
        auto button = std::make_unique<TRadioButton>(nullptr);
        button->SetParent(this);
        button->OnClick = TNotifyEvent(this, &TRadioGroup::buttonClick);
        FButtons.push_back(std::move(button));
    }
    for (size_t i = 0; i < FButtons.size(); ++i)
        FButtons[i]->SetCaption(FItems->Strings(int(i)));
    FUpdating = false;
    arrangeButtons();
    SetItemIndex(keep);
}

void TRadioGroup::buttonClick(TObject* Sender)
{
    if (FUpdating)
        return;
    for (size_t i = 0; i < FButtons.size(); ++i)
        if (FButtons[i].get() == Sender && FButtons[i]->Checked()) {
            FItemIndex = int(i);
            Click();
        }
}

void TRadioGroup::arrangeButtons()
{
    if (FButtons.empty())
        return;
    TRect r = ClientRect();
    AdjustClientRect(r);
    const int count = int(FButtons.size());
    const int rows = (count + FColumns - 1) / FColumns;
    const int columnWidth = std::max(1, (r.Width() - 8) / FColumns);
    const int rowHeight = std::max(1, r.Height() / rows);
    for (int i = 0; i < count; ++i) {
        const int column = i / rows;
        const int row = i % rows;
        FButtons[size_t(i)]->SetBounds(r.Left + 8 + column * columnWidth, r.Top + row * rowHeight,
                                       columnWidth, std::min(rowHeight, 17));
    }
}
