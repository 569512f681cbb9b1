// vlRadioGroup.cpp - the radio group's value to item mapping, its child
// radio buttons and the painting of its buttons in a cell.
#include "ui/controls/vlRadioGroup.h"

#include <algorithm>

#include "platform/controls/Menus.h"
#include "platform/controls/Messages.h"
#include "platform/rtl/Startup.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlEditPaintUtils.h"

// ---- items ---------------------------------------------------------------------------------

const TClassInfo* TvlRadioGroupItem::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlRadioGroupItem::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlRadioGroupItem>("TvlRadioGroupItem", &TvlButtonGroupItem::StaticClassInfo()).Build();
    return info;
}

void TvlRadioGroupItem::Assign(const TPersistent* Source)
{
    if (const auto* item = dynamic_cast<const TvlRadioGroupItem*>(Source))
        SetValue(item->Value());
    TvlButtonGroupItem::Assign(Source);
}

void TvlRadioGroupItem::SetValue(const Variant& Value)
{
    if (InternalVarEqualsExact(Value, FValue))
        return;
    FValue = Value;
    Changed(false);
}

// ---- properties --------------------------------------------------------------------------------

TvlCustomRadioGroupProperties::TvlCustomRadioGroupProperties(TPersistent* AOwner)
    : TvlCustomButtonGroupProperties(AOwner),
      FDefaultCaption(GetResourceString(vlEditConsts::vlSRadioGroupDefaultCaption))
{
}

std::unique_ptr<TvlButtonGroupItems> TvlCustomRadioGroupProperties::CreateItems() const
{
    return std::make_unique<TvlRadioGroupItems>(const_cast<TvlCustomRadioGroupProperties*>(this),
                                                ItemClassOf<TvlRadioGroupItem>());
}

void TvlCustomRadioGroupProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomRadioGroupProperties*>(Source);
    if (source == nullptr) {
        TvlCustomButtonGroupProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TvlCustomButtonGroupProperties::Assign(Source);
        SetDefaultCaption(source->DefaultCaption());
        SetDefaultValue(source->DefaultValue());
        SetWordWrap(source->WordWrap());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlCustomRadioGroupProperties::SetDefaultCaption(const String& Value)
{
    if (Value == FDefaultCaption)
        return;
    FDefaultCaption = Value;
    Changed();
}

bool TvlCustomRadioGroupProperties::IsDefaultCaptionStored() const
{
    return FDefaultCaption != GetResourceString(vlEditConsts::vlSRadioGroupDefaultCaption);
}

void TvlCustomRadioGroupProperties::SetDefaultValue(const Variant& Value)
{
    if (InternalVarEqualsExact(Value, FDefaultValue))
        return;
    FDefaultValue = Value;
    Changed();
}

int TvlCustomRadioGroupProperties::GetItemIndexOfValue(const Variant& AEditValue) const
{
    const TvlRadioGroupItems* items = Items();
    for (int i = 0; i < items->Count(); ++i) {
        const TvlRadioGroupItem* item = items->Items(i);
        if (VarIsNull(item->Value())) {
            String text;
            try {
                text = VarToStr(AEditValue);
            } catch (const std::exception&) {
                continue;
            }
            if (item->Caption() == text)
                return i;
        } else {
            try {
                if (VarEqualsExact(item->Value(), AEditValue))
                    return i;
            } catch (const std::exception&) {
                // A value that does not compare (a text against a number)
                // is simply another value.
            }
        }
    }
    return -1;
}

Variant TvlCustomRadioGroupProperties::GetValueOfItemIndex(int AIndex) const
{
    if (AIndex < 0 || AIndex >= Items()->Count())
        return FDefaultValue;
    const TvlRadioGroupItem* item = Items()->Items(AIndex);
    return VarIsNull(item->Value()) ? Variant(item->Caption()) : item->Value();
}

void TvlCustomRadioGroupProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) const
{
    DisplayValue = GetItemIndexOfValue(AEditValue);
}

bool TvlCustomRadioGroupProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) const
{
    return GetItemIndexOfValue(AEditValue1) == GetItemIndexOfValue(AEditValue2);
}

String TvlCustomRadioGroupProperties::GetDisplayText(const Variant& AEditValue, bool, bool) const
{
    const int index = GetItemIndexOfValue(AEditValue);
    return index < 0 ? FDefaultCaption : Items()->Items(index)->Caption();
}

uint32_t TvlCustomRadioGroupProperties::GetSupportedOperations() const
{
    return TvlCustomButtonGroupProperties::GetSupportedOperations() | 0x210;
}

int TvlCustomRadioGroupProperties::GetColumnCount() const
{
    return std::max(1, std::min(Columns(), Items()->Count()));
}

TvlCustomEditClass TvlCustomRadioGroupProperties::GetContainerClass() const
{
    return [](TComponent* AOwner, bool AIsInplace) -> TvlCustomEdit* {
        return TvlCustomEdit::CreateInplace<TvlRadioGroup>(AOwner, AIsInplace);
    };
}

std::unique_ptr<TvlCustomEditViewInfo> TvlCustomRadioGroupProperties::CreateViewInfo() const
{
    // The shared glyphs of the looks.
    GetRadioButtonImageList();
    auto info = std::make_unique<TvlCustomRadioGroupViewInfo>();
    info->Properties = this;
    return info;
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomRadioGroupProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                                     bool AIsInplace,
                                                                                     bool APreviewMode) const
{
    auto data = std::make_unique<TvlCustomRadioGroupViewData>(this, AStyle, AIsInplace);
    data->PreviewMode = APreviewMode;
    return data;
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomRadioGroupProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomRadioGroupProperties>(AOwner);
}

const TClassInfo* TvlCustomRadioGroupProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomRadioGroupProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomRadioGroupProperties>(
                                       "TvlCustomRadioGroupProperties", &TvlCustomEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

const TClassInfo* TvlRadioGroupProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlRadioGroupProperties::StaticClassInfo()
{
    using C = TvlRadioGroupProperties;
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlRadioGroupProperties", &TvlCustomRadioGroupProperties::StaticClassInfo())
            .Int("Columns", &C::Columns, &C::SetColumns)
            .Str("DefaultCaption", &C::DefaultCaption, &C::SetDefaultCaption)
            .Stored(&C::IsDefaultCaptionStored)
            .Collection("Items", &C::Items)
            .Bool("WordWrap", &C::WordWrap, &C::SetWordWrap)
            .Build();
    return info;
}

std::unique_ptr<TvlCustomEditProperties> TvlRadioGroupProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlRadioGroupProperties>(AOwner);
}

// ---- view data and view info ------------------------------------------------------------------

void TvlCustomRadioGroupViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                            TvlMouseButton AButton, TShiftState AShift,
                                            TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    auto* vi = static_cast<TvlCustomRadioGroupViewInfo*>(AViewInfo);
    vi->ButtonAlignment = taRightJustify;
    TvlButtonGroupViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    Style()->LookAndFeel()->GetAvailablePainterForType(totButton)->RadioButtonSize(vi->GlyphSize);
    vi->SetBackgroundColor(Style()->GetVisibleColor());
    if (Edit != nullptr)
        EditValueToDrawValue(Edit->EditValue(), vi);
}

void TvlCustomRadioGroupViewData::EditValueToDrawValue(const Variant& AEditValue,
                                                       TvlCustomEditViewInfo* AViewInfo) const
{
    auto* vi = static_cast<TvlCustomRadioGroupViewInfo*>(AViewInfo);
    vi->CheckedItemIndex = PreviewMode ? 0 : Properties()->GetItemIndexOfValue(AEditValue);
    if ((PaintOptions & vlepoAutoHeight) != 0)
        vi->PaintOptions |= vlepoAutoHeight;
}

void TvlCustomRadioGroupViewData::GetButtonMetrics(bool AWithCanvas, TvlButtonGroupMetrics& AMetrics) const
{
    const bool native = IsButtonNativeStyle(Style()->LookAndFeel());
    AMetrics.Indent = IsInplace ? 1 : 6;
    AMetrics.LayoutWidthCorrection = IsInplace ? -2 : -6;
    AMetrics.ColumnSpacing = 0;
    if (!AWithCanvas)
        return;
    Style()->LookAndFeel()->GetAvailablePainterForType(totButton)->RadioButtonSize(AMetrics.GlyphSize);
    AMetrics.TextGap = native ? 1 : 3;
    AMetrics.MeasuringWidthCorrection = IsInplace ? -5 : -6;
    AMetrics.ColumnExtra = native ? 5 : 7;
    AMetrics.TotalExtra = IsInplace ? 1 : 6;
}

void TvlCustomRadioGroupViewInfo::DrawButtonGlyph(TvlCanvas* ACanvas, int AIndex, const TRect& AGlyphRect)
{
    const TvlGroupBoxButtonViewInfo* b = GroupButton(AIndex);
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(b->Bounds);
    TvlButtonState state = vlbsNormal;
    switch (b->Data.State) {
    case bdsDisabled: state = vlbsDisabled; break;
    case bdsPressed: state = vlbsPressed; break;
    case bdsHot: state = vlbsHot; break;
    case bdsNormal: break;
    }
    const TvlCustomLookAndFeelPainter* painter =
        Painter != nullptr ? Painter : GetPainterClass(false, LookAndFeelKindOfButtonStyle(b->Data.Style));
    painter->DrawRadioButton(ACanvas, AGlyphRect.Left, AGlyphRect.Top, state, AIndex == CheckedItemIndex, false,
                             IsBackgroundTransparent() ? clDefault : BackgroundColor(), IsDesigning);
    ACanvas->RestoreClipRegion();
}

void TvlCustomRadioGroupViewInfo::DrawButtonCaption(TvlCanvas* ACanvas, int AIndex, const TRect& AGlyphRect)
{
    const TvlGroupBoxButtonViewInfo* b = GroupButton(AIndex);
    if (Font != nullptr)
        ACanvas->SetFont(Font);
    ACanvas->Font()->SetColor(TextColor);
    TRect r = b->Bounds;
    if (ButtonAlignment == taRightJustify)
        r.Left = AGlyphRect.Right;
    else
        r.Right = AGlyphRect.Left;
    const TRect m = b->Data.NativeStyle ? TRect{3, -1, 0, -1} : TRect{5, 0, 1, 0};
    r = TRect{r.Left + m.Left, r.Top + m.Top, r.Right - m.Right, r.Bottom - m.Bottom};
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->DrawText(b->Data.Caption, r, int(DrawTextFlags), true);
    ACanvas->Brush()->SetStyle(bsSolid);
}

bool TvlCustomRadioGroupViewInfo::IsButtonGlyphTransparent(int AIndex) const
{
    return IsBackgroundTransparent() || GroupButton(AIndex)->Data.BackgroundPartiallyTransparent;
}

// ---- child button ----------------------------------------------------------------------------------

TvlCustomRadioGroupButton::TvlCustomRadioGroupButton(TvlCustomRadioGroup* AGroup)
    : TvlRadioButton(AGroup), FGroup(AGroup)
{
    AGroup->FButtons.push_back(this);
    LookAndFeel()->SetMasterLookAndFeel(AGroup->Style()->LookAndFeel());
}

TvlCustomRadioGroupButton::~TvlCustomRadioGroupButton()
{
    std::erase(FGroup->FButtons, static_cast<TWinControl*>(this));
}

bool TvlCustomRadioGroupButton::IsInplace() const { return FGroup->IsInplace(); }
bool TvlCustomRadioGroupButton::IsNativeStyle() const { return FGroup->IsButtonNativeStyle(); }
bool TvlCustomRadioGroupButton::IsTransparent() const { return FGroup->IsTransparent(); }

void TvlCustomRadioGroupButton::SetChecked(bool Value)
{
    if (Value == Checked())
        return;
    ++FClicksDisabled;
    try {
        TvlRadioButton::SetChecked(Value);
    } catch (...) {
        --FClicksDisabled;
        throw;
    }
    --FClicksDisabled;
    if (Value && !FInternalSetting)
        FGroup->ButtonChecked(this);
}

void TvlCustomRadioGroupButton::SetCheckedInternally(bool Value)
{
    const bool saved = FInternalSetting;
    FInternalSetting = true;
    try {
        SetChecked(Value);
    } catch (...) {
        FInternalSetting = saved;
        throw;
    }
    FInternalSetting = saved;
}

void TvlCustomRadioGroupButton::ButtonClicked()
{
    // A read-only group, or one whose editing is refused, keeps its choice.
    if (Checked() || (FGroup->CanModify() && FGroup->DoEditing()))
        SetChecked(true);
}

void TvlCustomRadioGroupButton::DoEnter()
{
    FGroup->ShortRefreshContainer(false);
    TvlControl::DoEnter();
    if (!Checked() && !FGroup->IsInplace() && !FFocusingByMouse && FGroup->DoEditing())
        SetChecked(true);
}

void TvlCustomRadioGroupButton::DoExit()
{
    TvlRadioButton::DoExit();
    FGroup->ShortRefreshContainer(false);
}

void TvlCustomRadioGroupButton::Click()
{
    TvlRadioButton::Click();
    if (!FGroup->IsLoadingState())
        FGroup->Click();
}

void TvlCustomRadioGroupButton::KeyDown(uint16_t& Key, TShiftState Shift)
{
    // The group moves the focus between its buttons with the arrows.
    FGroup->KeyDown(Key, Shift);
    if (Key != 0)
        TvlRadioButton::KeyDown(Key, Shift);
}

void TvlCustomRadioGroupButton::KeyPress(QChar& Key)
{
    if ((Key == QChar(8) || Key == QLatin1Char(' ')) && !FGroup->CanModify()) {
        Key = QChar(0);
        return;
    }
    TvlRadioButton::KeyPress(Key);
}

void TvlCustomRadioGroupButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FFocusingByMouse = true;
    try {
        TvlRadioButton::MouseDown(Button, Shift, X, Y);
    } catch (...) {
        FFocusingByMouse = false;
        throw;
    }
    FFocusingByMouse = false;
}

// ---- group -------------------------------------------------------------------------------------------

std::unique_ptr<TvlCustomEditProperties> TvlCustomRadioGroup::CreateProperties()
{
    return std::make_unique<TvlCustomRadioGroupProperties>(this);
}

std::unique_ptr<TvlCustomEditProperties> TvlRadioGroup::CreateProperties()
{
    return std::make_unique<TvlRadioGroupProperties>(this);
}

void TvlCustomRadioGroup::Initialize()
{
    TvlCustomButtonGroup::Initialize();
    FControlStyle.Exclude(csAcceptsControls);
    FControlStyle.Include(csDoubleClicks);
    FStoredItemIndex = -1;
    SetWidth(185);
    SetHeight(105);
    // The group's buttons take its place in the tab order.
    SetTabStop(false);
    UpdateButtons();
}

bool TvlCustomRadioGroup::IsLoadingState() const
{
    const TComponentState state = ComponentState();
    return state.Contains(csLoading) || state.Contains(csReading) || state.Contains(csUpdating);
}

TWinControl* TvlCustomRadioGroup::CreateButton() { return new TvlCustomRadioGroupButton(this); }

int TvlCustomRadioGroup::GetCheckedIndex() const
{
    for (int i = 0; i < ButtonCount(); ++i)
        if (RadioButton(i)->Checked())
            return i;
    return -1;
}

int TvlCustomRadioGroup::ItemIndex() const
{
    if (IsLoadingState() || ComponentState().Contains(csDesigning))
        return FStoredItemIndex;
    return GetCheckedIndex();
}

void TvlCustomRadioGroup::SetItemIndex(int Value)
{
    if (!IsLoadingState()) {
        Value = std::clamp(Value, -1, ButtonCount() - 1);
        Variant value;
        PrepareEditValue(Variant(Value), value, Focused());
        SetEditValueAndCheck(value, true, false);
    }
    if (IsLoadingState() || ComponentState().Contains(csDesigning))
        FStoredItemIndex = Value;
}

void TvlCustomRadioGroup::SetGroupTabStop(bool Value)
{
    FGroupTabStop = Value;
    updateTabStops();
}

void TvlCustomRadioGroup::updateTabStops()
{
    // With nothing checked the group is left out of the tab order.
    const bool inOrder = (FGroupTabStop || IsGroupFocused()) && GetCheckedIndex() != -1;
    for (TWinControl* button : FButtons)
        button->SetTabStop(inOrder && button->Enabled());
}

bool TvlCustomRadioGroup::IsGroupFocused() const
{
    if (Focused())
        return true;
    return GetFocusedButtonIndex() >= 0;
}

void TvlCustomRadioGroup::PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool)
{
    AEditValue = ActiveProperties()->GetValueOfItemIndex(ADisplayValue.AsInteger());
}

void TvlCustomRadioGroup::InternalSetEditValue(const Variant& AValue, bool AValidateEditValue)
{
    SetEditValueAndCheck(AValue, AValidateEditValue, false);
}

void TvlCustomRadioGroup::SetEditValueAndCheck(const Variant& AValue, bool AValidate, bool AForced)
{
    LockChangeEvents(true);
    try {
        TvlCustomButtonGroup::InternalSetEditValue(AValue, AValidate);
        const int index = ActiveProperties()->GetItemIndexOfValue(AValue);
        if (AForced || index != GetCheckedIndex()) {
            CheckButton(index, AForced);
            NotifyUserModification();
            DoChange();
        }
        if (!IsUserAction())
            SetEditModified(false);
    } catch (...) {
        LockChangeEvents(false);
        throw;
    }
    LockChangeEvents(false);
    updateTabStops();
    ShortRefreshContainer(false);
}

void TvlCustomRadioGroup::CheckButton(int AIndex, bool AForced)
{
    auto focusIfGroupFocused = [this](int AButton) {
        if (AButton >= 0 && AButton < ButtonCount() && IsGroupFocused() && !Focused())
            FocusButton(AButton);
    };
    if (AForced) {
        focusIfGroupFocused(AIndex);
        return;
    }
    if (AIndex < 0) {
        const int checked = GetCheckedIndex();
        if (checked >= 0)
            RadioButton(checked)->SetCheckedInternally(false);
    } else if (AIndex < ButtonCount()) {
        RadioButton(AIndex)->SetCheckedInternally(true);
        focusIfGroupFocused(AIndex);
    }
    if (IsLoadingState() || ComponentState().Contains(csDesigning))
        FStoredItemIndex = AIndex;
}

void TvlCustomRadioGroup::ButtonChecked(TvlCustomRadioGroupButton* AButton)
{
    LockChangeEvents(true);
    try {
        const TUserActionScope userAction(this, IsGroupFocused());
        if (!IsLoadingState()) {
            const auto at = std::find(FButtons.begin(), FButtons.end(), static_cast<TWinControl*>(AButton));
            Variant value;
            PrepareEditValue(Variant(int(at - FButtons.begin())), value, Focused());
            SetEditValueAndCheck(value, true, true);
        }
    } catch (...) {
        LockChangeEvents(false);
        throw;
    }
    LockChangeEvents(false);
    if (IsGroupFocused() && ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(false))
        InternalPostEditValue(true);
}

void TvlCustomRadioGroup::Loaded()
{
    TvlCustomButtonGroup::Loaded();
    ApplyStoredState();
}

void TvlCustomRadioGroup::ApplyStoredState()
{
    LockChangeEvents(true);
    LockClick(true);
    try {
        if (!DataBinding()->IsDataAware())
            StoreEditValue(ActiveProperties()->DefaultValue());
        SetItemIndex(FStoredItemIndex);
    } catch (...) {
        LockClick(false);
        LockChangeEvents(false, false);
        throw;
    }
    LockClick(false);
    LockChangeEvents(false, false);
    UpdateButtons();
}

void TvlCustomRadioGroup::UpdateButtons()
{
    if (FUpdatingButtons || !Initialized())
        return;
    const int previous = ItemIndex();
    TvlCustomButtonGroup::UpdateButtons();
    if (!IsLoadingState() && GetCheckedIndex() != previous && previous < ButtonCount())
        SetItemIndex(previous);
    const TvlRadioGroupItems* items = ActiveProperties()->Items();
    for (int i = 0; i < ButtonCount() && i < items->Count(); ++i) {
        TvlCustomRadioGroupButton* button = RadioButton(i);
        button->SetCaption(items->Items(i)->Caption());
        button->SetWordWrap(ActiveProperties()->WordWrap());
        button->Invalidate();
    }
    updateTabStops();
}

void TvlCustomRadioGroup::SynchronizeButtonsStyle()
{
    TvlCustomButtonGroup::SynchronizeButtonsStyle();
    const auto* vi = dynamic_cast<const TvlButtonGroupViewInfo*>(EditViewInfo());
    for (int i = 0; i < ButtonCount(); ++i) {
        TvlCustomRadioGroupButton* button = RadioButton(i);
        if (vi != nullptr && i < int(vi->GroupButtons.size()))
            button->LookAndFeel()->SetKind(LookAndFeelKindOfButtonStyle(vi->GroupButtons[size_t(i)]->Data.Style));
        button->SetTransparent(Transparent());
    }
}

void TvlCustomRadioGroup::SetFocus()
{
    const int checked = GetCheckedIndex();
    if (checked >= 0 && RadioButton(checked)->CanFocus())
        RadioButton(checked)->SetFocus();
    else
        TvlCustomButtonGroup::SetFocus();
}

void TvlCustomRadioGroup::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR && IsAccel(QChar(char16_t(Message.WParam)), Caption()) && CanFocus()) {
        SelectFirstChild();
        Message.Result = 1;
        return;
    }
    TvlCustomButtonGroup::Dispatch(Message);
}

// ---- filter helper and unit ------------------------------------------------------------------------

const TClassInfo& TvlFilterRadioGroupHelper::HelperClass() const
{
    static const TClassInfo info{String::fromLatin1("TvlFilterRadioGroupHelper"),
                                 &TvlCustomFilterEditHelper::StaticClassInfo(), {}};
    return info;
}

const TvlFilterRadioGroupHelper* TvlFilterRadioGroupHelper::Instance()
{
    static const TvlFilterRadioGroupHelper instance;
    return &instance;
}

TvlFilterControlOperators TvlFilterRadioGroupHelper::SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                                        TvlValueTypeClass AValueTypeClass,
                                                                        bool AExtended) const
{
    // The comparisons of a fixed list of items, as in the drop-down lists.
    return TvlFilterImageComboBoxHelper::Instance()->SupportedOperators(AProperties, AValueTypeClass, AExtended);
}

void AddvlRadioGroupUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlRadioGroup"),
        [] {
            RegisterEditProperties(&TvlRadioGroupProperties::StaticClassInfo(),
                                   GetResourceString(vlEditConsts::svlSEditRepositoryRadioGroupItem),
                                   [](TPersistent* AOwner) { return std::make_unique<TvlRadioGroupProperties>(AOwner); });
            GetFilterEditsController()->Register(&TvlRadioGroupProperties::StaticClassInfo(),
                                                 TvlFilterRadioGroupHelper::Instance());
        },
        [] {
            GetFilterEditsController()->Unregister(&TvlRadioGroupProperties::StaticClassInfo(),
                                                   TvlFilterRadioGroupHelper::Instance());
            UnregisterEditProperties(&TvlRadioGroupProperties::StaticClassInfo());
        });
}
