// vlButtonGroup.cpp - the items, columns and button rectangles of a button
// group, and the child buttons kept in step with the items.
#include "ui/controls/vlButtonGroup.h"

#include <algorithm>

#include "platform/controls/Messages.h"
#include "ui/editors/vlEditPaintUtils.h"

namespace {

int ceilDiv(int A, int B) { return B <= 0 ? 0 : (A + B - 1) / B; }

}  // namespace

// ---- items -------------------------------------------------------------------------------

const TClassInfo* TvlButtonGroupItem::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlButtonGroupItem::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlButtonGroupItem>("TvlButtonGroupItem", &TvlCaptionItem::StaticClassInfo())
            .Bool("Enabled", &TvlButtonGroupItem::Enabled, &TvlButtonGroupItem::SetEnabled, true)
            .Build();
    return info;
}

void TvlButtonGroupItem::Assign(const TPersistent* Source)
{
    if (const auto* item = dynamic_cast<const TvlButtonGroupItem*>(Source))
        SetEnabled(item->Enabled());
    TvlCaptionItem::Assign(Source);
}

void TvlButtonGroupItem::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    Changed(false);
}

TvlButtonGroupItems::TvlButtonGroupItems(TPersistent* AOwner, TCollectionItemClass AItemClass)
    : TvlCaptionItems(AOwner, std::move(AItemClass))
{
}

TvlCustomEditProperties* TvlButtonGroupItems::ownerProperties() const
{
    return dynamic_cast<TvlCustomEditProperties*>(Owner());
}

void TvlButtonGroupItems::notifyItemChanged(int AIndex, int AOperation)
{
    TvlCustomEditProperties* owner = ownerProperties();
    if (owner == nullptr || IsDestroying())
        return;
    if (owner->IsChangedLocked() || AIndex < 0) {
        owner->Changed();
        return;
    }
    FChangedItemIndex = AIndex;
    FChangedItemOperation = AOperation;
    FItemChanged = true;
    try {
        owner->Changed();
    } catch (...) {
        FItemChanged = false;
        throw;
    }
    FItemChanged = false;
}

void TvlButtonGroupItems::Update(TCollectionItem* Item)
{
    std::vector<int> ids;
    for (int i = 0; i < Count(); ++i)
        ids.push_back(TCollection::Items(i)->ID());
    int index = -1;
    int operation = bgoChange;
    if (Item != nullptr)
        index = Item->Index();
    else {
        // One item more or one less, the others in their order: a single
        // add or delete.
        const std::vector<int>& longer = ids.size() > FItemIDs.size() ? ids : FItemIDs;
        const std::vector<int>& shorter = ids.size() > FItemIDs.size() ? FItemIDs : ids;
        if (longer.size() == shorter.size() + 1) {
            size_t at = 0;
            while (at < shorter.size() && shorter[at] == longer[at])
                ++at;
            if (std::equal(shorter.begin() + qsizetype(at), shorter.end(), longer.begin() + qsizetype(at) + 1)) {
                index = int(at);
                operation = ids.size() > FItemIDs.size() ? bgoAdd : bgoDelete;
            }
        }
    }
    FItemIDs = std::move(ids);
    TvlCaptionItems::Update(Item);
    notifyItemChanged(index, operation);
}

// ---- properties ----------------------------------------------------------------------------

TvlCustomButtonGroupProperties::~TvlCustomButtonGroupProperties()
{
    if (FItems != nullptr) {
        LockUpdate(true);
        FItems.reset();
    }
}

std::unique_ptr<TvlButtonGroupItems> TvlCustomButtonGroupProperties::CreateItems() const
{
    return std::make_unique<TvlButtonGroupItems>(const_cast<TvlCustomButtonGroupProperties*>(this),
                                                 ItemClassOf<TvlButtonGroupItem>());
}

TvlButtonGroupItems* TvlCustomButtonGroupProperties::Items() const
{
    if (FItems == nullptr)
        FItems = CreateItems();
    return FItems.get();
}

void TvlCustomButtonGroupProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomButtonGroupProperties*>(Source);
    if (source == nullptr) {
        TvlCustomGroupBoxProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TvlCustomGroupBoxProperties::Assign(Source);
        SetColumns(source->Columns());
        Items()->Assign(source->Items());
        SetWordWrap(source->WordWrap());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlCustomButtonGroupProperties::SetColumns(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FColumns)
        return;
    FColumns = Value;
    Changed();
}

void TvlCustomButtonGroupProperties::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    Changed();
}

int TvlCustomButtonGroupProperties::GetColumnCount() const
{
    const int count = Items()->Count();
    const int columns = std::min(FColumns, count);
    if (count == 0)
        return columns;
    const int rows = ceilDiv(count, columns);
    return ceilDiv(count, rows);
}

int TvlCustomButtonGroupProperties::GetRowCount() const { return ceilDiv(Items()->Count(), GetColumnCount()); }

uint32_t TvlCustomButtonGroupProperties::GetSpecialFeatures() const
{
    return TvlCustomGroupBoxProperties::GetSpecialFeatures() | (1u << 1);
}

uint32_t TvlCustomButtonGroupProperties::GetSupportedOperations() const
{
    return Items()->Count() == 0 ? 0x58F : 0x5AF;
}

// ---- view info ------------------------------------------------------------------------------

TRect TvlGroupBoxButtonViewInfo::GetGlyphRect(const TSize& AGlyphSize, TAlignment AAlignment) const
{
    TRect r;
    r.Top = Bounds.Top + (Bounds.Height() - AGlyphSize.cy) / 2;
    r.Bottom = r.Top + AGlyphSize.cy;
    if (AAlignment == taRightJustify) {
        r.Left = Bounds.Left;
        r.Right = r.Left + AGlyphSize.cx;
    } else {
        r.Right = Bounds.Right;
        r.Left = r.Right - AGlyphSize.cx;
    }
    return r;
}

std::unique_ptr<TvlGroupBoxButtonViewInfo> TvlButtonGroupViewInfo::CreateGroupButton() const
{
    return std::make_unique<TvlGroupBoxButtonViewInfo>();
}

void TvlButtonGroupViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    TvlGroupBoxViewInfo::InternalPaint(ACanvas);
    // Standalone, the child buttons draw themselves.
    if (!IsInplace)
        return;
    for (int i = 0; i < int(GroupButtons.size()); ++i) {
        const TRect glyph = GroupButton(i)->GetGlyphRect(GlyphSize, ButtonAlignment);
        DrawButtonGlyph(ACanvas, i, glyph);
        DrawButtonCaption(ACanvas, i, glyph);
    }
}

// ---- view data ----------------------------------------------------------------------------

int TvlButtonGroupViewData::GetDrawTextFlags() const
{
    const bool autoHeight = (PaintOptions & vlepoAutoHeight) != 0;
    return autoHeight && Properties()->WordWrap() ? 0x6A1 : 0x261;
}

bool TvlButtonGroupViewData::IsButtonNativeStyle(const TvlLookAndFeel* ALookAndFeel) const
{
    return AreVisualStylesMustBeUsed(ALookAndFeel->NativeStyle(), totButton);
}

void TvlButtonGroupViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                       TvlMouseButton AButton, TShiftState AShift, TvlCustomEditViewInfo* AViewInfo,
                                       bool AIsMouseEvent)
{
    TvlGroupBoxViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* vi = static_cast<TvlButtonGroupViewInfo*>(AViewInfo);
    vi->DrawTextFlags = uint32_t(GetDrawTextFlags());
    const int count = Properties()->Items()->Count();
    vi->GroupButtons.resize(size_t(count));
    for (auto& button : vi->GroupButtons)
        if (button == nullptr)
            button = vi->CreateGroupButton();
    if (count == 0)
        return;
    InitButtons(vi);
    LayoutButtons(vi);
    CalculateButtonStates(vi, AMousePos, AButton, AShift);
}

void TvlButtonGroupViewData::InitButtons(TvlButtonGroupViewInfo* AViewInfo) const
{
    const int rows = Properties()->GetRowCount();
    const TvlEditBorderStyle border = Style()->GetBorderStyle();
    TvlEditButtonStyle style = bts3D;
    if (IsInplace) {
        switch (Style()->LookAndFeel()->Kind()) {
        case lfFlat: style = btsFlat; break;
        case lfUltraFlat: style = btsUltraFlat; break;
        case lfOffice11: style = btsOffice11; break;
        default: style = bts3D; break;
        }
    } else if (border == ebsUltraFlat)
        style = btsUltraFlat;
    else if (border == ebsOffice11)
        style = btsOffice11;
    else
        style = AViewInfo->EditBorderStyle == ebsNone || AViewInfo->EditBorderStyle == ebs3D ? bts3D : btsFlat;
    for (int i = 0; i < int(AViewInfo->GroupButtons.size()); ++i) {
        TvlGroupBoxButtonViewInfo* b = AViewInfo->GroupButton(i);
        b->Index = i;
        b->HasBackground = AViewInfo->HasBackground;
        b->Data.Caption = Properties()->Items()->Items(i)->Caption();
        b->Column = i / rows;
        b->Row = i % rows;
        b->Data.Style = style;
    }
}

void TvlButtonGroupViewData::LayoutButtons(TvlButtonGroupViewInfo* AViewInfo) const
{
    TvlButtonGroupMetrics m;
    GetButtonMetrics(false, m);
    TRect e;
    GetClientExtent(e);
    const int columns = std::max(1, Properties()->GetColumnCount());
    const int rows = std::max(1, Properties()->GetRowCount());
    const int columnWidth =
        (Bounds.Width() + m.LayoutWidthCorrection - e.Left - e.Right - (columns - 1) * m.ColumnSpacing) / columns;
    const int available = Bounds.Height() - e.Top - e.Bottom;
    const int rowHeight = available / rows;
    const int firstTop = Bounds.Top + e.Top + (available % rows) / 2;
    for (const auto& b : AViewInfo->GroupButtons) {
        const int left = Bounds.Left + e.Left + (columnWidth + m.ColumnSpacing) * b->Column + m.Indent;
        const int top = firstTop + rowHeight * b->Row;
        b->Bounds = TRect{left, top, left + columnWidth, top + rowHeight};
        b->VisibleBounds = b->Bounds;
    }
}

void TvlButtonGroupViewData::CalculateButtonStates(TvlButtonGroupViewInfo* AViewInfo, const TPoint& AMousePos,
                                                   TvlMouseButton AButton, TShiftState AShift) const
{
    AViewInfo->IsButtonReallyPressed = false;
    AViewInfo->PressedButton = -1;
    AViewInfo->SelectedButton = -1;
    const TvlEditButtonTransparency transparency = Style()->ButtonTransparency();
    const bool buttonsHeld = AShift.Contains(ssLeft) || AShift.Contains(ssRight) || AShift.Contains(ssMiddle);
    for (int i = 0; i < int(AViewInfo->GroupButtons.size()); ++i) {
        TvlGroupBoxButtonViewInfo* b = AViewInfo->GroupButton(i);
        b->Data.NativeStyle = IsButtonNativeStyle(Style()->LookAndFeel());
        b->Data.Transparent = transparency == ebtAlways || (transparency == ebtInactive && !Selected);
        b->Data.BackgroundColor = AViewInfo->BackgroundColor();
        if (!Enabled || !Properties()->Items()->Items(i)->Enabled())
            b->Data.State = bdsDisabled;
        else if (IsDesigning || !b->Bounds.Contains(AMousePos))
            b->Data.State = bdsNormal;
        else if (!buttonsHeld) {
            b->Data.State = bdsHot;
            AViewInfo->SelectedButton = i;
        } else if (AShift.Contains(ssLeft) && (AButton == cxmbLeft || b->Data.State == bdsPressed)) {
            b->Data.State = bdsPressed;
            AViewInfo->PressedButton = i;
            AViewInfo->IsButtonReallyPressed = true;
        } else
            b->Data.State = bdsNormal;
        CalculateButtonNativeInfo(b);
    }
}

// ---- control ----------------------------------------------------------------------------------

TvlCustomButtonGroup::~TvlCustomButtonGroup()
{
    while (!FButtons.empty())
        freeButton(int(FButtons.size()) - 1);
}

void TvlCustomButtonGroup::Initialize()
{
    TvlCustomGroupBox::Initialize();
    SetAutoSize(false);
    SetTabStop(true);
}

void TvlCustomButtonGroup::freeButton(int AIndex)
{
    TWinControl* button = FButtons.at(size_t(AIndex));
    FButtons.erase(FButtons.begin() + AIndex);
    delete button;  // owned by this group as a component
}

void TvlCustomButtonGroup::InitButton(TWinControl* AButton)
{
    AButton->SetParent(this);
}

void TvlCustomButtonGroup::SetButtonCount(int ACount)
{
    const TvlButtonGroupItems* items = ActiveProperties()->Items();
    if (items->ItemChanged()) {
        const int index = items->ChangedItemIndex();
        switch (items->ChangedItemOperation()) {
        case bgoAdd: {
            TWinControl* button = CreateButton();
            // CreateButton appends; the new item's button goes to its place.
            FButtons.pop_back();
            FButtons.insert(FButtons.begin() + std::clamp(index, 0, int(FButtons.size())), button);
            InitButton(button);
            return;
        }
        case bgoDelete:
            if (index >= 0 && index < int(FButtons.size()))
                freeButton(index);
            return;
        default:
            return;
        }
    }
    if (ACount == int(FButtons.size()))
        return;
    DisableAlign();
    try {
        while (int(FButtons.size()) > ACount)
            freeButton(int(FButtons.size()) - 1);
        while (int(FButtons.size()) < ACount)
            InitButton(CreateButton());
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TvlCustomButtonGroup::SynchronizeButtonsStyle()
{
    for (TWinControl* button : FButtons)
        button->SetColor(GetBackgroundColor());
}

void TvlCustomButtonGroup::UpdateButtons()
{
    if (FUpdatingButtons || !Initialized())
        return;
    FUpdatingButtons = true;
    try {
        TvlButtonGroupItems* items = ActiveProperties()->Items();
        SetButtonCount(items->Count());
        ShortRefreshContainer(false);
        for (int i = 0; i < int(FButtons.size()) && i < items->Count(); ++i)
            FButtons[size_t(i)]->SetEnabled(Enabled() && items->Items(i)->Enabled());
        SynchronizeButtonsStyle();
        for (TWinControl* button : FButtons)
            button->SetCursor(Cursor());
    } catch (...) {
        FUpdatingButtons = false;
        throw;
    }
    FUpdatingButtons = false;
}

void TvlCustomButtonGroup::ArrangeButtons()
{
    const auto* vi = dynamic_cast<const TvlButtonGroupViewInfo*>(EditViewInfo());
    if (vi == nullptr)
        return;
    for (int i = 0; i < int(FButtons.size()) && i < int(vi->GroupButtons.size()); ++i) {
        const TRect& r = vi->GroupButtons[size_t(i)]->Bounds;
        FButtons[size_t(i)]->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    }
}

bool TvlCustomButtonGroup::RefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift,
                                            bool IsMouseEvent)
{
    const bool result = TvlCustomGroupBox::RefreshContainer(P, Button, Shift, IsMouseEvent);
    ArrangeButtons();
    return result;
}

void TvlCustomButtonGroup::PropertiesChanged(TObject* Sender)
{
    if (!ComponentState().Contains(csReading))
        UpdateButtons();
    TvlCustomGroupBox::PropertiesChanged(Sender);
}

int TvlCustomButtonGroup::GetButtonIndexAt(const TPoint& P) const
{
    for (int i = 0; i < int(FButtons.size()); ++i)
        if (FButtons[size_t(i)]->BoundsRect().Contains(P))
            return i;
    return -1;
}

int TvlCustomButtonGroup::GetFocusedButtonIndex() const
{
    for (int i = 0; i < int(FButtons.size()); ++i)
        if (FButtons[size_t(i)]->Focused())
            return i;
    return -1;
}

bool TvlCustomButtonGroup::FocusButton(int AIndex)
{
    if (AIndex < 0 || AIndex >= int(FButtons.size()))
        return false;
    TWinControl* button = FButtons[size_t(AIndex)];
    if (!button->Enabled() || !button->CanFocus())
        return false;
    button->SetFocus();
    return button->Focused();
}

bool TvlCustomButtonGroup::IsButtonNativeStyle() const
{
    return AreVisualStylesMustBeUsed(Style()->LookAndFeel()->NativeStyle(), totButton);
}

void TvlCustomButtonGroup::DoEditKeyDown(uint16_t& Key, TShiftState Shift)
{
    const int a = GetFocusedButtonIndex();
    if (a >= 0 && !FButtons.empty()) {
        const int count = int(FButtons.size());
        const int rows = std::max(1, ActiveProperties()->GetRowCount());
        const int column = a / rows, row = a % rows;
        const int rowsInColumn = std::min(rows, count - column * rows);
        int target = -1;
        switch (Key) {
        case VK_LEFT:
            if (column > 0)
                target = a - rows;
            break;
        case VK_UP:
            if (row > 0)
                target = a - 1;
            break;
        case VK_RIGHT:
            if (a + rows < count)
                target = a + rows;
            break;
        case VK_DOWN:
            if (row < rowsInColumn - 1)
                target = a + 1;
            break;
        default:
            break;
        }
        if (target >= 0 && FocusButton(target))
            Key = 0;
    }
    TvlCustomGroupBox::DoEditKeyDown(Key, Shift);
}

void TvlCustomButtonGroup::ActivateByMouse(TShiftState AShift, int AX, int AY, TvlCustomEditData*& AEditData)
{
    Activate(AEditData);
    const TPoint p = Parent() != nullptr ? TPoint{AX - Left(), AY - Top()} : TPoint{AX, AY};
    const int index = GetButtonIndexAt(p);
    if (index < 0)
        return;
    TWinControl* button = FButtons[size_t(index)];
    const TPoint centre{button->Width() / 2, button->Height() / 2};
    if (AShift.Contains(ssLeft)) {
        SendMouseMessage(button, WM_MOUSEMOVE, TShiftState{}, centre);
        SendMouseMessage(button, WM_LBUTTONDOWN, AShift, centre);
    } else
        SendMouseMessage(button, WM_LBUTTONUP, AShift, centre);
}
