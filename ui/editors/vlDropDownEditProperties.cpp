// The settings of the drop-down family (drop-down editor, combo box, popup
// editor), their view data and view info, and the row snapping of a
// sizeable combo list.
#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/TypInfo.h"
#include "ui/editors/vlDropDownEdit.h"
#include "ui/foundation/vxThemeManager.h"

// ------------------------------------------------------------ drop-down properties

TvlCustomDropDownEditProperties::TvlCustomDropDownEditProperties(TPersistent* AOwner)
    : TvlCustomTextEditProperties(AOwner)
{
    Buttons()->Add()->SetKind(bkDown);
    FGlyphButtonIndex = GetDropDownButtonIndex();
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomDropDownEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomDropDownEditProperties>(AOwner);
}

void TvlCustomDropDownEditProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomDropDownEditProperties*>(Source);
    if (source == nullptr) {
        TvlCustomTextEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    struct TEnd {
        TvlCustomEditProperties* P;
        ~TEnd() { P->EndUpdate(); }
    } end{this};
    TvlCustomTextEditProperties::Assign(Source);
    FGlyphButtonIndex = source->FGlyphButtonIndex;
    FImmediateDropDown = source->FImmediateDropDown;
    FImmediatePopup = source->FImmediatePopup;
    SetKeepArrowButtonPressed(source->FKeepArrowButtonPressed);
    FPopupAutoSize = source->FPopupAutoSize;
    SetPopupClientEdge(source->FPopupClientEdge);
    FPopupVertical = source->FPopupVertical;
    SetPopupHorzAlignment(source->FPopupHorzAlignment);
    FPopupVertAlignment = source->FPopupVertAlignment;
    // Minima first: the sizes are raised to them.
    FPopupMinHeight = source->FPopupMinHeight;
    FPopupMinWidth = source->FPopupMinWidth;
    FPopupHeight = source->FPopupHeight;
    FPopupWidth = source->FPopupWidth;
    SetPopupSizeable(source->FPopupSizeable);
    SetPopupSysPanelStyle(source->FPopupSysPanelStyle);
    FPostPopupValueOnTab = source->FPostPopupValueOnTab;
    OnCloseQuery = source->OnCloseQuery;
    OnCloseUp = source->OnCloseUp;
    OnFinalizePopup = source->OnFinalizePopup;
    OnInitPopup = source->OnInitPopup;
    OnPopup = source->OnPopup;
    Changed();
}

TBitmap* TvlCustomDropDownEditProperties::ButtonGlyph() const
{
    if (FGlyphButtonIndex < 0 || FGlyphButtonIndex >= Buttons()->Count())
        return nullptr;
    return Buttons()->Items(FGlyphButtonIndex)->Glyph();
}

void TvlCustomDropDownEditProperties::SyncGlyphButtonKind()
{
    if (FGlyphButtonIndex < 0 || FGlyphButtonIndex >= Buttons()->Count())
        return;
    TvlEditButton* button = Buttons()->Items(FGlyphButtonIndex);
    const TBitmap* glyph = button->GlyphIfAny();
    const bool hasGlyph = glyph != nullptr && !glyph->Empty();
    if (hasGlyph)
        button->SetKind(bkGlyph);
    else if (button->Kind() == bkGlyph)
        button->SetKind(bkDown);
}

void TvlCustomDropDownEditProperties::SetButtonGlyph(const TBitmap* Value)
{
    if (FGlyphButtonIndex < 0 || FGlyphButtonIndex >= Buttons()->Count())
        return;
    BeginUpdate();
    Buttons()->Items(FGlyphButtonIndex)->SetGlyph(Value);
    SyncGlyphButtonKind();
    EndUpdate();
}

void TvlCustomDropDownEditProperties::SetGlyphButtonIndex(int Value)
{
    if (Value == FGlyphButtonIndex)
        return;
    BeginUpdate();
    std::unique_ptr<TBitmap> glyph;
    if (FGlyphButtonIndex >= 0 && FGlyphButtonIndex < Buttons()->Count()) {
        TvlEditButton* old = Buttons()->Items(FGlyphButtonIndex);
        if (const TBitmap* g = old->GlyphIfAny()) {
            glyph = std::make_unique<TBitmap>();
            glyph->Assign(g);
        }
        old->SetGlyph(nullptr);
        if (old->Kind() == bkGlyph)
            old->SetKind(bkDown);
    }
    FGlyphButtonIndex = Value;
    if (Value >= 0 && Value < Buttons()->Count() && glyph != nullptr) {
        Buttons()->Items(Value)->SetGlyph(glyph.get());
        Buttons()->Items(Value)->SetKind(bkGlyph);
    }
    Changed();
    EndUpdate();
}

void TvlCustomDropDownEditProperties::DoChanged()
{
    BeginUpdate();
    SyncGlyphButtonKind();
    // The kind change above is reported by this very notification.
    EndUpdate(false);
    TvlCustomTextEditProperties::DoChanged();
}

TAlignment TvlCustomDropDownEditProperties::PopupAlignment() const
{
    switch (FPopupHorzAlignment) {
    case phaRight:
        return taRightJustify;
    case phaCenter:
        return taCenter;
    case phaLeft:
        break;
    }
    return taLeftJustify;
}

void TvlCustomDropDownEditProperties::SetPopupAlignment(TAlignment Value)
{
    switch (Value) {
    case taRightJustify:
        SetPopupHorzAlignment(phaRight);
        break;
    case taCenter:
        SetPopupHorzAlignment(phaCenter);
        break;
    case taLeftJustify:
        SetPopupHorzAlignment(phaLeft);
        break;
    }
}

void TvlCustomDropDownEditProperties::SetPopupHeight(int Value) { FPopupHeight = std::max(Value, FPopupMinHeight); }

void TvlCustomDropDownEditProperties::SetPopupWidth(int Value)
{
    FPopupWidth = Value <= 0 ? 0 : std::max(Value, FPopupMinWidth);
}

void TvlCustomDropDownEditProperties::SetPopupMinHeight(int Value)
{
    FPopupMinHeight = std::max(Value, 0);
    SetPopupHeight(FPopupHeight);
}

void TvlCustomDropDownEditProperties::SetPopupMinWidth(int Value)
{
    FPopupMinWidth = std::max(Value, 0);
    SetPopupWidth(FPopupWidth);
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomDropDownEditProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                                       bool AIsInplace,
                                                                                       bool APreviewMode) const
{
    auto data = std::make_unique<TvlCustomDropDownEditViewData>(this, AStyle, AIsInplace);
    data->PreviewMode = APreviewMode;
    return data;
}

const TClassInfo* TvlCustomDropDownEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomDropDownEditProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomDropDownEditProperties>(
                                       "TvlCustomDropDownEditProperties", &TvlCustomTextEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

// ------------------------------------------------------------ drop-down view data

void TvlCustomDropDownEditViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                              TvlMouseButton AButton, TShiftState AShift,
                                              TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    KeepArrowPressed = Properties()->KeepArrowButtonPressed() || (NativeStyle && AreVisualStylesAvailable());
    TvlCustomTextEditViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* info = static_cast<TvlCustomTextEditViewInfo*>(AViewInfo);
    info->HasPopupWindow = PopupOpen;
    // Only a focused standalone fixed list without an open popup shows the
    // selection bar; one that shows its text cursor does not.
    info->DrawSelectionBar = !IsInplace && EditingStyle() == esFixedList && Focused && !info->Transparent &&
                             !PopupOpen && !(NativeStyle && AreVisualStylesAvailable()) &&
                             !info->InnerEditShowsText;
}

bool TvlCustomDropDownEditViewData::IsButtonPressable(const TvlCustomEditViewInfo* AViewInfo,
                                                      int AButtonVisibleIndex) const
{
    const int index = AViewInfo->ButtonsInfo[size_t(AButtonVisibleIndex)]->Index;
    return !(HotAndPopup && index == Properties()->GetDropDownButtonIndex());
}

bool TvlCustomDropDownEditViewData::IsButtonHeldPressed(const TvlCustomEditViewInfo* AViewInfo,
                                                        int AButtonVisibleIndex) const
{
    const int index = AViewInfo->ButtonsInfo[size_t(AButtonVisibleIndex)]->Index;
    return KeepArrowPressed && (PopupOpen || HotAndPopup) && index == Properties()->GetDropDownButtonIndex();
}

int TvlCustomDropDownEditViewData::EditThemeState(const TvlCustomEditViewInfo* AViewInfo) const
{
    if (EditingStyle() != esFixedList)
        return TvlCustomTextEditViewData::EditThemeState(AViewInfo);
    if (!Enabled)
        return 4;
    if (PopupOpen)
        return 3;
    if (AViewInfo->ContainerState.Contains(csHotTrack))
        return 2;
    return 1;
}

// ------------------------------------------------------------ combo box properties

TvlCustomComboBoxProperties::TvlCustomComboBoxProperties(TPersistent* AOwner)
    : TvlCustomDropDownEditProperties(AOwner)
{
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomComboBoxProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomComboBoxProperties>(AOwner);
}

void TvlCustomComboBoxProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomComboBoxProperties*>(Source);
    BeginUpdate();
    TvlCustomDropDownEditProperties::Assign(Source);
    if (source != nullptr) {
        SetDropDownListStyle(source->FDropDownListStyle);
        SetDropDownRows(source->FDropDownRows);
        SetItemHeight(source->FItemHeight);
        FRevertable = source->FRevertable;
        OnDrawItem = source->OnDrawItem;
        OnMeasureItem = source->OnMeasureItem;
    }
    EndUpdate();
}

void TvlCustomComboBoxProperties::SetDropDownListStyle(TvlEditDropDownListStyle Value)
{
    if (Value == FDropDownListStyle)
        return;
    FDropDownListStyle = Value;
    Changed();
}

void TvlCustomComboBoxProperties::SetDropDownRows(int Value)
{
    if (Value <= 0 || Value == FDropDownRows)
        return;
    FDropDownRows = Value;
    Changed();
}

void TvlCustomComboBoxProperties::SetItemHeight(int Value)
{
    if (Value == FItemHeight)
        return;
    FItemHeight = Value;
    Changed();
}

TvlEditEditingStyle TvlCustomComboBoxProperties::GetEditingStyle() const
{
    switch (FDropDownListStyle) {
    case lsEditFixedList:
        return esEditList;
    case lsFixedList:
        return esFixedList;
    case lsEditList:
        break;
    }
    return esEdit;
}

std::unique_ptr<TvlCustomEditViewInfo> TvlCustomComboBoxProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlCustomComboBoxViewInfo>();
    info->Properties = this;
    return info;
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomComboBoxProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                                   bool AIsInplace,
                                                                                   bool APreviewMode) const
{
    auto data = std::make_unique<TvlCustomComboBoxViewData>(this, AStyle, AIsInplace);
    data->PreviewMode = APreviewMode;
    return data;
}

const TClassInfo* TvlCustomComboBoxProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomComboBoxProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomComboBoxProperties>(
                                       "TvlCustomComboBoxProperties", &TvlCustomDropDownEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

namespace {

const char* const listStyleNames[] = {"lsEditFixedList", "lsEditList", "lsFixedList"};
const TEnumInfo listStyleInfo{"TvlEditDropDownListStyle", listStyleNames};
const char* const alignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
const TEnumInfo alignmentInfo{"TAlignment", alignmentNames};

}  // namespace

std::unique_ptr<TvlCustomEditProperties> TvlComboBoxProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlComboBoxProperties>(AOwner);
}

const TClassInfo* TvlComboBoxProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlComboBoxProperties::StaticClassInfo()
{
    using P = TvlComboBoxProperties;
    static const TClassInfo info =
        TClassInfoBuilder<P>("TvlComboBoxProperties", &TvlCustomComboBoxProperties::StaticClassInfo())
            .Object("Alignment", &P::Alignment, &P::SetAlignment)
            .Stored([](const P& p) { return p.IsAlignmentStored(); })
            .Bool("AutoSelect", &P::AutoSelect, &P::SetAutoSelect, true)
            .Bool("BeepOnError", &P::BeepOnError, &P::SetBeepOnError, false)
            .Bool("DropDownAutoWidth", &P::DropDownAutoWidth, &P::SetDropDownAutoWidth, true)
            .Enum("DropDownListStyle", listStyleInfo, &P::DropDownListStyle, &P::SetDropDownListStyle, lsEditList)
            .Int("DropDownRows", &P::DropDownRows, &P::SetDropDownRows, 8)
            .Bool("DropDownSizeable", &P::DropDownSizeable, &P::SetDropDownSizeable, false)
            .Int("DropDownWidth", &P::DropDownWidth, &P::SetDropDownWidth, 0)
            .Bool("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown, true)
            .Bool("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost, false)
            .Bool("ImmediateUpdateText", &P::ImmediateUpdateText, &P::SetImmediateUpdateText, false)
            .Bool("IncrementalSearch", &P::IncrementalSearch, &P::SetIncrementalSearch, true)
            .Int("ItemHeight", &P::ItemHeight, &P::SetItemHeight, 0)
            .Object("Items", &P::Items, &P::SetItems)
            .Enum("PopupAlignment", alignmentInfo, &P::PopupAlignment, &P::SetPopupAlignment, taLeftJustify)
            .Bool("PostPopupValueOnTab", &P::PostPopupValueOnTab, &P::SetPostPopupValueOnTab, false)
            .Bool("ReadOnly", &P::ReadOnly, &P::SetReadOnly)
            .Stored([](const P& p) { return p.IsReadOnlyStored(); })
            .Bool("Revertable", &P::Revertable, &P::SetRevertable, false)
            .Bool("Sorted", &P::Sorted, &P::SetSorted, false)
            .Bool("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter, false)
            .Build();
    return info;
}

// ------------------------------------------------------------ combo box view

bool IsComboBoxCustomDrawing(const TvlCustomComboBoxProperties* AProperties, const TvlCustomEdit* AEdit)
{
    if (AProperties->OnDrawItem)
        return true;
    const TvlEditRepositoryItem* item = AEdit != nullptr ? AEdit->RepositoryItem() : nullptr;
    const auto* repository =
        item != nullptr ? dynamic_cast<const TvlCustomComboBoxProperties*>(item->Properties()) : nullptr;
    return repository != nullptr && bool(repository->OnDrawItem);
}

bool IsComboBoxCustomMeasuring(const TvlCustomComboBoxProperties* AProperties, const TvlCustomEdit* AEdit)
{
    if (AProperties->OnMeasureItem)
        return true;
    const TvlEditRepositoryItem* item = AEdit != nullptr ? AEdit->RepositoryItem() : nullptr;
    const auto* repository =
        item != nullptr ? dynamic_cast<const TvlCustomComboBoxProperties*>(item->Properties()) : nullptr;
    return repository != nullptr && bool(repository->OnMeasureItem);
}

TvlCustomComboBoxViewInfo::TvlCustomComboBoxViewInfo()
{
    OnOwnerDraw = [this](TvlCanvas* ACanvas, TRect& R) { DrawItem(ACanvas, R); };
}

void TvlCustomComboBoxViewInfo::DrawItem(TvlCanvas* ACanvas, TRect& R)
{
    if (Font != nullptr)
        ACanvas->SetFont(Font);
    if (DrawSelectionBar) {
        ACanvas->SetBrushColor(clHighlight);
        ACanvas->Canvas()->Font()->SetColor(clHighlightText);
    } else {
        ACanvas->SetBrushColor(BackgroundColor());
        ACanvas->Canvas()->Font()->SetColor(TextColor);
    }
    TOwnerDrawState state{odComboBoxEdit};
    if (Focused) {
        state.Include(odSelected);
        state.Include(odFocused);
    }
    const auto* properties = static_cast<const TvlCustomComboBoxProperties*>(Properties);
    // The control argument stays empty until the combo box control exists.
    TvlCustomComboBox* combo = nullptr;
    if (properties->OnDrawItem) {
        properties->OnDrawItem(combo, ACanvas, ItemIndex, R, state);
        return;
    }
    const TvlEditRepositoryItem* item = Edit != nullptr ? Edit->RepositoryItem() : nullptr;
    if (const auto* repository =
            item != nullptr ? dynamic_cast<const TvlCustomComboBoxProperties*>(item->Properties()) : nullptr;
        repository != nullptr && repository->OnDrawItem)
        repository->OnDrawItem(combo, ACanvas, ItemIndex, R, state);
}

void TvlCustomComboBoxViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                          TvlMouseButton AButton, TShiftState AShift,
                                          TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TvlCustomDropDownEditViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* info = static_cast<TvlCustomComboBoxViewInfo*>(AViewInfo);
    const auto* text = dynamic_cast<const TvlCustomTextEdit*>(Edit);
    if (Properties()->DropDownListStyle() == lsFixedList && IsComboBoxCustomDrawing(Properties(), Edit) &&
        text != nullptr)
        info->ItemIndex = text->ItemIndex();
    else
        info->ItemIndex = -1;
    info->IsOwnerDrawing = info->ItemIndex != -1;
}

void TvlCustomComboBoxViewData::EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const
{
    TvlCustomDropDownEditViewData::EditValueToDrawValue(AEditValue, AViewInfo);
    auto* info = static_cast<TvlCustomComboBoxViewInfo*>(AViewInfo);
    if (Properties()->DropDownListStyle() == lsFixedList && IsComboBoxCustomDrawing(Properties(), Edit))
        info->ItemIndex = Properties()->Items()->IndexOf(info->Text);
    else
        info->ItemIndex = -1;
    info->IsOwnerDrawing = info->ItemIndex != -1;
}

// ------------------------------------------------------------ popup editor properties

TvlCustomPopupEditProperties::TvlCustomPopupEditProperties(TPersistent* AOwner)
    : TvlCustomDropDownEditProperties(AOwner)
{
    SetPopupAutoSize(true);
    SetPopupMinHeight(100);
    SetPopupMinWidth(100);
    SetPopupHeight(200);
    SetPopupWidth(250);
    SetPopupSizeable(true);
}

TvlCustomPopupEditProperties::~TvlCustomPopupEditProperties()
{
    if (FPopupControl != nullptr && FreeNotificator() != nullptr)
        FreeNotificator()->RemoveSender(FPopupControl);
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomPopupEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomPopupEditProperties>(AOwner);
}

void TvlCustomPopupEditProperties::Assign(const TPersistent* Source)
{
    BeginUpdate();
    TvlCustomDropDownEditProperties::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlCustomPopupEditProperties*>(Source))
        SetPopupControl(source->FPopupControl);
    EndUpdate();
}

void TvlCustomPopupEditProperties::SetPopupControl(TControl* Value)
{
    if (Value == FPopupControl)
        return;
    if (FPopupControl != nullptr)
        FreeNotificator()->RemoveSender(FPopupControl);
    FPopupControl = Value;
    if (FPopupControl != nullptr)
        FreeNotificator()->AddSender(FPopupControl);
    Changed();
}

void TvlCustomPopupEditProperties::FreeNotification(TComponent* AComponent)
{
    TvlCustomDropDownEditProperties::FreeNotification(AComponent);
    if (AComponent == FPopupControl)
        FPopupControl = nullptr;
}

const TClassInfo* TvlCustomPopupEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomPopupEditProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomPopupEditProperties>(
                                       "TvlCustomPopupEditProperties", &TvlCustomDropDownEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

TvlPopupEditProperties::TvlPopupEditProperties(TPersistent* AOwner) : TvlCustomPopupEditProperties(AOwner)
{
    SetImmediateDropDown(true);
    SetImmediatePopup(true);
}

std::unique_ptr<TvlCustomEditProperties> TvlPopupEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlPopupEditProperties>(AOwner);
}

const TClassInfo* TvlPopupEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlPopupEditProperties::StaticClassInfo()
{
    using P = TvlPopupEditProperties;
    static const TClassInfo info =
        TClassInfoBuilder<P>("TvlPopupEditProperties", &TvlCustomPopupEditProperties::StaticClassInfo())
            .Bool("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown, true)
            .Bool("ImmediatePopup", &P::ImmediatePopup, &P::SetImmediatePopup, true)
            .Enum("PopupAlignment", alignmentInfo, &P::PopupAlignment, &P::SetPopupAlignment, taLeftJustify)
            .Bool("PopupAutoSize", &P::PopupAutoSize, &P::SetPopupAutoSize, true)
            .Bool("PopupClientEdge", &P::PopupClientEdge, &P::SetPopupClientEdge, false)
            .Int("PopupHeight", &P::PopupHeight, &P::SetPopupHeight, 200)
            .Int("PopupMinHeight", &P::PopupMinHeight, &P::SetPopupMinHeight, 100)
            .Int("PopupMinWidth", &P::PopupMinWidth, &P::SetPopupMinWidth, 100)
            .Bool("PopupSizeable", &P::PopupSizeable, &P::SetPopupSizeable, true)
            .Bool("PopupSysPanelStyle", &P::PopupSysPanelStyle, &P::SetPopupSysPanelStyle, false)
            .Int("PopupWidth", &P::PopupWidth, &P::SetPopupWidth, 250)
            .Build();
    return info;
}

// ------------------------------------------------------------ row snapping

bool SnapComboListToRows(const std::vector<int>& ARowHeights, const TvlComboListSize& ACurrent,
                         TvlComboListSize& ANew, int AMaxWidth, int AMaxHeight, int AScrollWidth)
{
    if (ANew.Width == ACurrent.Width && ANew.Height == ACurrent.Height)
        return false;
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = GetSystemMetrics(SM_CYHSCROLL);
    const int count = int(ARowHeights.size());
    const bool shrinking = ANew.Height < ACurrent.Height;
    int height = 0;
    bool vertBar = false;
    bool horzBar = false;
    int rows = 0;
    for (int i = 0; i < count; ++i) {
        const int sum = rows == 0 ? ARowHeights[size_t(i)] : height - (horzBar ? barHeight : 0) + ARowHeights[size_t(i)];
        const bool itemVertBar = i < count - 1;
        const int clientWidth = ANew.Width - (itemVertBar ? barWidth : 0);
        const bool itemHorzBar = AScrollWidth > clientWidth || (AMaxWidth > 0 && ANew.Width > AMaxWidth);
        const int total = sum + (itemHorzBar ? barHeight : 0);
        if (AMaxHeight > 0 && total > AMaxHeight)
            break;  // this row is dropped
        if (total > ANew.Height && !shrinking && rows > 0)
            break;  // growing or kept: a row that does not fit whole is dropped
        height = total;
        vertBar = itemVertBar;
        horzBar = itemHorzBar;
        ++rows;
        if (total >= ANew.Height)
            break;  // exactly fits, or the row that passed it stays while shrinking
    }
    ANew.Height = height;
    const int minWidth = (vertBar ? barWidth : 0) + (horzBar ? barWidth : 0);
    ANew.Width = std::max(ANew.Width, minWidth);
    return true;
}
