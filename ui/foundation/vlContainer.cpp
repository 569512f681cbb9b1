#include "ui/foundation/vlContainer.h"

namespace {
constexpr const char* styleValueNames[] = {"BorderColor", "BorderStyle", "Color",     "Edges",
                                           "Font",        "HotTrack",    "Shadow",    "TextColor",
                                           "TextStyle",   "TransparentBorder"};
constexpr const char* borderStyleNames[] = {"cbsNone", "cbsSingle",     "cbsThick",   "cbsFlat",
                                            "cbs3D",   "cbsUltraFlat", "cbsOffice11"};
constexpr const char* borderNames[] = {"bLeft", "bTop", "bRight", "bBottom"};
}  // namespace

const TEnumInfo TvlContainerStyleValueInfo{"TvlContainerStyleValue", styleValueNames};
const TEnumInfo TvlContainerBorderStyleInfo{"TvlContainerBorderStyle", borderStyleNames};
const TEnumInfo TvlBorderInfo{"TvlBorder", borderNames};

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QWidget>

#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/SysMetrics.h"
#include "ui/foundation/vxOffice11.h"

TvlLookAndFeelPainterClass GetLookAndFeelSkinPainter(const TvlLookAndFeel* ALookAndFeel)
{
    if (ALookAndFeel == nullptr)
        return nullptr;
    const TvlLookAndFeelPainterClass painter = ALookAndFeel->Painter();
    if (painter == nullptr || painter == GetLookAndFeelPainterClass(ALookAndFeel->Kind())
        || painter == GetNativeLookAndFeelPainterClass())
        return nullptr;
    return painter;
}

namespace {

bool sameFont(const TFont* A, const TFont* B)
{
    return A->Name() == B->Name() && A->Height() == B->Height() && A->Style() == B->Style()
           && A->Color() == B->Color() && A->Pitch() == B->Pitch() && A->Charset() == B->Charset()
           && A->Quality() == B->Quality() && A->Orientation() == B->Orientation();
}

// Sets a flag for the duration of a scope (also when it is left by an exception).
class TFlagScope {
public:
    explicit TFlagScope(bool& AFlag) : FFlag(AFlag), FOld(AFlag) { FFlag = true; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

class TCountScope {
public:
    explicit TCountScope(int& ACount) : FCount(ACount) { ++FCount; }
    ~TCountScope() { --FCount; }
    TCountScope(const TCountScope&) = delete;
    TCountScope& operator=(const TCountScope&) = delete;

private:
    int& FCount;
};

bool menuHasShortCut(const TMenuItem* AItem, TShortCut AShortCut)
{
    if (AItem == nullptr)
        return false;
    if (AItem->ShortCut() == AShortCut && AShortCut != 0)
        return true;
    for (int i = 0; i < AItem->Count(); ++i)
        if (menuHasShortCut(AItem->Items(i), AShortCut))
            return true;
    return false;
}

// Moves the focus from AControl to the next (or previous) tab stop of its
// form, passing over the controls inside it.
void selectNext(TWinControl* AControl, bool AGoForward)
{
    TCustomForm* form = GetParentForm(AControl);
    if (form == nullptr)
        return;
    std::vector<TWinControl*> list;
    form->GetTabOrderList(list);
    const auto inside = [AControl](const TWinControl* C) {
        for (const TControl* p = C->Parent(); p != nullptr; p = p->Parent())
            if (p == AControl)
                return true;
        return false;
    };
    std::vector<TWinControl*> stops;
    int current = -1;
    for (TWinControl* c : list) {
        if (c == AControl)
            current = int(stops.size());
        if (c == AControl || (!inside(c) && c->TabStop() && c->CanFocus()))
            stops.push_back(c);
    }
    if (current < 0 || stops.size() < 2)
        return;
    const int n = int(stops.size());
    const int next = (current + (AGoForward ? 1 : n - 1)) % n;
    stops[size_t(next)]->SetFocus();
}

}  // namespace

// ---------------------------------------------------------------- container

TvlContainer::TvlContainer(TComponent* AOwner)
    : TvlContainer(AOwner, &vlCreateContainerStyles<TvlContainerStyles>, &vlCreateContainerStyle<TvlContainerStyle>,
                   &vlCreateContainerViewInfo<TvlContainerViewInfo>)
{
}

TvlContainer::TvlContainer(TComponent* AOwner, TvlContainerStylesClass AStylesClass,
                           TvlContainerStyleClass AStyleClass, TvlContainerViewInfoClass AViewInfoClass)
    : TvlControl(AOwner)
{
    init(AStylesClass, AStyleClass, AViewInfoClass);
}

void TvlContainer::init(TvlContainerStylesClass AStylesClass, TvlContainerStyleClass AStyleClass,
                        TvlContainerViewInfoClass AViewInfoClass)
{
    FIsCreating = true;
    FSizeGripData.Visible = false;
    FStyles = AStylesClass(this, AStyleClass);
    FStyles->SetChangeHandler(TNotifyEvent(this, &TvlContainer::ContainerStyleChanged));
    FActiveStyleState = TvlContainerState{csNormal};
    FActiveStyle = GetStyle();
    FViewInfo = AViewInfoClass();
    LookAndFeel()->SetMasterLookAndFeel(GetStyle()->LookAndFeel());
    FControlStyle.Include(csCaptureMouse);
    FControlStyle.Include(csSetCaption);
    SetTabStop(true);
    InitParentColor();
    ResetInnerControlBounds();
    FIsCreating = false;
}

void TvlContainer::InitParentColor()
{
    const TFlagScope internal(FInternalSetting);
    const bool parentColor = DefaultParentColor() && !IsInplace() && !GetStyle()->IsValueAssigned(csvColor);
    SetParentColor(parentColor);
    if (!parentColor)
        SetColor(clWindow);
}

TvlContainer::~TvlContainer()
{
    Destroying();
    EndMouseTracking(this);
    FViewInfo.reset();
    FStyles->SetChangeHandler(TNotifyEvent());
    LookAndFeel()->SetMasterLookAndFeel(nullptr);
    FStyles.reset();
    FActiveStyle = nullptr;
}

const TClassInfo& TvlContainer::StaticClassInfo()
{
    using C = TvlContainer;
    static const TClassInfo info = TClassInfoBuilder<C>("TvlContainer", &TControl::StaticClassInfo())
                                       .Bool("TabStop", &C::TabStop, &C::SetTabStop, true)
                                       .Object("FakeStyleController", &C::FakeStyleController,
                                               &C::SetFakeStyleController)
                                       .Build();
    return info;
}

TvlStyleController* TvlContainer::FakeStyleController() const { return GetStyle()->StyleController(); }

void TvlContainer::Loaded()
{
    TvlControl::Loaded();
    AdjustInnerControlBounds();
    ContainerStyleChanged(GetStyle());
}

void TvlContainer::Notification(TComponent* AComponent, TOperation Operation)
{
    TvlControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FInnerControl)
        FInnerControl = nullptr;
}

void TvlContainer::SetInnerControl(TWinControl* Value)
{
    if (Value == FInnerControl)
        return;
    if (FInnerControl != nullptr)
        FInnerControl->RemoveFreeNotification(this);
    FInnerControl = Value;
    if (FInnerControl != nullptr)
        FInnerControl->FreeNotification(this);
}

// ---- refresh

void TvlContainer::ShortRefreshContainer(bool IsMouseEvent)
{
    TPoint p{-1, -1};
    if (HandleAllocated()) {
        TPoint cursor;
        InternalGetCursorPos(cursor);
        QWidget* under = QApplication::widgetAt(QPoint(cursor.X, cursor.Y));
        QWidget* own = Widget();
        if (under != nullptr && (under == own || own->isAncestorOf(under)))
            p = ScreenToClient(cursor);
    }
    InternalRefreshContainer(p, cxmbNone, InternalGetShiftState(), IsMouseEvent);
}

bool TvlContainer::InternalRefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift,
                                            bool IsMouseEvent)
{
    FRefreshPending = true;
    bool result = false;
    if (CanRefreshContainer()) {
        const TCountScope lock(FRefreshLockCount);
        FRefreshPending = false;
        result = RefreshContainer(P, Button, Shift, IsMouseEvent);
    }
    if (IsMouseEvent && CanRefreshContainer() && FProcessEventsLockCount == 0) {
        const TCountScope lock(FProcessEventsLockCount);
        ProcessViewInfoChanges();
    }
    FViewInfoCalculated = result && !FRefreshPending;
    return result;
}

void TvlContainer::CalculateViewInfoIfNeeded()
{
    if (!FViewInfoCalculated)
        ShortRefreshContainer(false);
}

bool TvlContainer::CanRefreshContainer() const
{
    return FRefreshLockCount == 0 && !FIsCreating && !GetIsDestroying()
           && !ControlState().Contains(csDestroyingHandle) && HandleAllocated();
}

bool TvlContainer::RefreshContainer(const TPoint& P, TvlMouseButton, TShiftState Shift, bool)
{
    CalculateViewInfo(P, ShiftStateMoveOnly(Shift) && GetActiveStyle()->HotTrack());
    AdjustInnerControlBounds();
    AdjustInnerControl();
    UpdateWindowRegion();
    const TRect bounds = GetControlRect(this);
    if (FInnerControl == nullptr)
        ::InvalidateRect(Handle(), &bounds, false);
    else
        InternalInvalidate(Handle(), bounds, FViewInfo->BorderRect, false);
    if (FViewInfo->ContainerState.Contains(csHotTrack))
        beginMouseTracking();
    return true;
}

void TvlContainer::CalculateViewInfo(const TPoint& P, bool AIsMouseEvent)
{
    TvlContainerViewInfo& vi = *FViewInfo;
    vi.NativeStyle = IsNativeStyle();
    vi.Painter = GetLookAndFeelSkinPainter(GetStyle()->LookAndFeel());
    const int previousBorderWidth = GetContainerBorderWidth(vi.BorderStyle);
    const auto calculateState = [&] {
        TvlContainerState state;
        if (!Enabled())
            state = {csDisabled};
        else if (ComponentState().Contains(csDesigning))
            state = {csNormal};
        else {
            state = {Focused() ? csActive : csNormal};
            TRect visible;
            GetVisibleBounds(visible);
            if (AIsMouseEvent && visible.Contains(P))
                state.Include(csHotTrack);
        }
        vi.ContainerState = state;
        TvlContainerStyle* style = GetActiveStyle();
        if (!style->HotTrack())
            vi.HotState = 0;
        else
            vi.HotState = state.Contains(csActive) || state.Contains(csHotTrack) ? 2 : 1;
        if (vi.NativeStyle)
            vi.BorderStyle = GetStyle()->BorderStyle();
        else {
            const TvlContainerBorderStyle borderStyle = style->BorderStyle();
            vi.BorderStyle = borderStyle == cbsUltraFlat || borderStyle == cbsOffice11 ? cbsSingle : borderStyle;
        }
    };
    calculateState();
    // The hot-test area depends on the border.
    if (!vi.NativeStyle && GetContainerBorderWidth(vi.BorderStyle) < previousBorderWidth)
        calculateState();
    if (vi.NativeStyle) {
        vi.ThemedObjectType = GetThemedObjectType();
        vi.NativePart = GetNativePart();
        vi.NativeState = GetNativeState();
    }
    vi.Bounds = TRect{0, 0, Width(), Height()};
    TRect extent;
    GetBorderExtent(extent);
    vi.BorderRect = TRect{vi.Bounds.Left + extent.Left, vi.Bounds.Top + extent.Top, vi.Bounds.Right - extent.Right,
                          vi.Bounds.Bottom - extent.Bottom};
    vi.ClientRect = vi.BorderRect;
    vi.BorderWidth = GetSkinContainerBorderWidth(vi.BorderStyle, vi.Painter);
    vi.Edges = GetActiveStyle()->Edges();
    vi.Shadow = HasShadow();
    vi.BorderColor = GetBorderColor();
    vi.SetBackgroundColor(GetBackgroundColor());
}

TvlContainerStyle* TvlContainer::GetActiveStyle()
{
    if (FViewInfo == nullptr)
        return GetStyle();
    if (FActiveStyle != nullptr && FViewInfo->ContainerState == FActiveStyleState)
        return FActiveStyle;
    FActiveStyleState = FViewInfo->ContainerState;
    FActiveStyle = InternalGetActiveStyle();
    return FActiveStyle;
}

TvlContainerStyle* TvlContainer::InternalGetActiveStyle()
{
    const TvlContainerState state = FViewInfo->ContainerState;
    if (state.Contains(csDisabled))
        return GetStyleDisabled();
    if (state.Contains(csActive))
        return GetStyleFocused();
    if (GetStyle()->HotTrack() && state.Contains(csHotTrack))
        return GetStyleHot();
    return GetStyle();
}

// ---- colours

TvlEditStateColorKind TvlContainer::GetEditStateColorKind() const
{
    if (!Enabled())
        return esckDisabled;
    return Focused() ? esckNormal : esckInactive;
}

void TvlContainer::GetColorSettingsByPainter(TColor& ABackgroundColor, TColor& ATextColor)
{
    ABackgroundColor = clDefault;
    ATextColor = clDefault;
    const TvlLookAndFeelPainterClass painter = FViewInfo->Painter;
    if (painter == nullptr)
        return;
    TvlContainerStyle* active = GetActiveStyle();
    const auto assigned = [&](TvlContainerStyleValue V) {
        return GetStyle()->AssignedValues().Contains(V) || active->AssignedValues().Contains(V);
    };
    if (!assigned(csvTextColor))
        ATextColor = painter->DefaultEditorTextColorForState(GetEditStateColorKind());
    if (!ParentColor() && !assigned(csvColor))
        ABackgroundColor = painter->DefaultEditorBackgroundColorForState(GetEditStateColorKind());
}

TColor TvlContainer::GetBackgroundColor()
{
    TColor background, text;
    GetColorSettingsByPainter(background, text);
    if (background != clDefault)
        return background;
    TvlContainerStyle* active = GetActiveStyle();
    TColor result = active->GetColor();
    if (!Enabled() && FViewInfo->NativeStyle && !active->AssignedValues().Contains(csvColor)) {
        if (const HTHEME theme = OpenTheme(FViewInfo->ThemedObjectType)) {
            TColor fill = clNone;
            if (ThemeLibrary()->GetThemeColor(theme, FViewInfo->NativePart, FViewInfo->NativeState, 3802, fill)
                == S_OK)
                result = fill;
        }
    }
    return result;
}

TColor TvlContainer::GetBorderColor()
{
    TvlContainerStyle* active = GetActiveStyle();
    const TvlContainerState state = FViewInfo->ContainerState;
    const bool highlighted = state.Contains(csActive) || (state.Contains(csHotTrack) && active->HotTrack())
                             || (ComponentState().Contains(csDesigning) && Enabled());
    if (FViewInfo->Painter != nullptr)
        return FViewInfo->Painter->GetContainerBorderColor(highlighted);
    const TvlContainerBorderStyle borderStyle = active->BorderStyle();
    if (borderStyle != cbsUltraFlat && borderStyle != cbsOffice11)
        return active->BorderColor();
    if (!highlighted)
        return clBtnShadow;
    return borderStyle == cbsOffice11 ? Office11HotBorderColor : clHighlight;
}

TFont* TvlContainer::GetVisibleFont()
{
    TFont* font = GetActiveStyle()->GetVisibleFont();
    TColor background, text;
    GetColorSettingsByPainter(background, text);
    if (text != clDefault)
        font->SetColor(text);
    return font;
}

// ---- geometry

void TvlContainer::GetBorderExtent(TRect& R)
{
    TvlContainerStyle* active = GetActiveStyle();
    const bool native = FViewInfo->NativeStyle;
    if (active->TransparentBorder())
        R = TRect{2, 2, 2, 2};
    else if (!active->HasBorder() || (native && GetStyle()->BorderStyle() == cbsNone))
        R = TRect{0, 0, 0, 0};
    else if (native)
        R = TRect{2, 2, 2, 2};
    else {
        const int width = GetContainerBorderWidth(FViewInfo->BorderStyle);
        const TvlBorders edges = active->Edges();
        R = TRect{edges.Contains(bLeft) ? width : 0, edges.Contains(bTop) ? width : 0,
                  edges.Contains(bRight) ? width : 0, edges.Contains(bBottom) ? width : 0};
    }
    if (HasShadow()) {
        R.Right += cxContainerShadowWidth;
        R.Bottom += cxContainerShadowWidth;
    }
}

void TvlContainer::GetShadowBounds(TRect& R)
{
    TRect extent;
    GetBorderExtent(extent);
    const TRect& b = FViewInfo->Bounds;
    R = TRect{b.Left + extent.Left, b.Top + extent.Top, b.Right - extent.Right, b.Bottom - extent.Bottom};
    const int width = GetSkinContainerBorderWidth(FViewInfo->BorderStyle, FViewInfo->Painter);
    InflateRect(R, width, width);
    DeflateRectByMissingEdges(R, width, GetActiveStyle()->Edges());
}

void TvlContainer::GetVisibleBounds(TRect& R) const
{
    R = TRect{0, 0, Width(), Height()};
    if (!IsInplace()) {
        const TvlContainerStyle* style = GetStyle();
        if (FViewInfo->Shadow) {
            R.Right -= cxContainerShadowWidth;
            R.Bottom -= cxContainerShadowWidth;
        }
        if (style->HasBorder()) {
            if (FViewInfo->NativeStyle) {
                if (style->TransparentBorder() && style->BorderStyle() == cbsNone)
                    InflateRect(R, -2, -2);
            } else if (style->TransparentBorder()) {
                const int width = FViewInfo->BorderWidth;
                InflateRect(R, width - 2, width - 2);
                DeflateRectByMissingEdges(R, width, FViewInfo->Edges);
            }
        } else if (style->TransparentBorder())
            InflateRect(R, -2, -2);
    }
    if (R.Bottom < R.Top)
        R.Top = R.Bottom = 0;
}

bool TvlContainer::HasShadow() { return GetActiveStyle()->Shadow() && !IsNativeStyle(); }

bool TvlContainer::IsNativeStyle() const
{
    return AreVisualStylesMustBeUsed(GetStyle()->LookAndFeel()->NativeStyle(), GetThemedObjectType());
}

bool TvlContainer::NeedsWindowRegion() const
{
    return !(FViewInfo->NativeStyle && FViewInfo->BorderStyle != cbsNone);
}

int TvlContainer::GetNativeState() const
{
    if (!Enabled())
        return 4;
    if (IsReadOnly())
        return 6;
    if (Focused())
        return 5;
    if (FViewInfo->ContainerState.Contains(csHotTrack))
        return 2;
    return 1;
}

std::unique_ptr<TvlRegion> TvlContainer::GetWindowRegion()
{
    TRect shadowBounds, extent;
    GetShadowBounds(shadowBounds);
    GetShadowBoundsExtent(extent);
    std::unique_ptr<TRegion> region =
        BuildShadowRegion(this, shadowBounds, extent, TRect{}, FViewInfo->Shadow,
                          FViewInfo->NativeStyle && FViewInfo->BorderStyle != cbsNone);
    if (NeedsWindowRegion()) {
        const TRegion bounds = CreateRectRgnIndirect(shadowBounds);
        if (region != nullptr)
            CombineRgn(*region, *region, bounds, RGN_OR);
        else
            region = std::make_unique<TRegion>(bounds);
    }
    return region != nullptr ? std::make_unique<TvlRegion>(*region) : nullptr;
}

void TvlContainer::UpdateWindowRegion()
{
    if (!HandleAllocated())
        return;
    std::unique_ptr<TvlRegion> region = GetWindowRegion();
    ApplyWindowRegion(this, region != nullptr ? std::make_unique<TRegion>(region->Handle()) : nullptr);
}

void TvlContainer::ClipToShadowRegion()
{
    TRect shadowBounds, extent;
    GetShadowBounds(shadowBounds);
    GetShadowBoundsExtent(extent);
    std::unique_ptr<TRegion> region =
        BuildShadowRegion(this, shadowBounds, extent, TRect{}, FViewInfo->Shadow, !NeedsWindowRegion());
    if (region != nullptr)
        Canvas()->SetClipRegion(std::make_unique<TvlRegion>(*region), roIntersect);
}

TRect TvlContainer::GetClientBounds() const { return FViewInfo->ClientRect; }

void TvlContainer::AdjustClientRect(TRect& R) const
{
    if (!GetIsDestroying() && FViewInfo != nullptr)
        R = FViewInfo->ClientRect;
}

// ---- inner control

void TvlContainer::AdjustInnerControl()
{
    if (FInnerControl == nullptr)
        return;
    if (FInnerControl->Color() != FViewInfo->BackgroundColor())
        FInnerControl->SetColor(FViewInfo->BackgroundColor());
    const TFont* font = GetVisibleFont();
    if (!sameFont(FInnerControl->Font(), font))
        FInnerControl->SetFont(font);
}

void TvlContainer::AdjustInnerControlBounds()
{
    if (FInnerControl == nullptr || FInnerControl->BoundsRect() == FViewInfo->ClientRect)
        return;
    const TCountScope lock(FRefreshLockCount);
    FInnerControl->SetBoundsRect(FViewInfo->ClientRect);
}

void TvlContainer::ResetInnerControlBounds() { FInnerControlBounds.IsEmpty = true; }

bool TvlContainer::IsInternalControl(const TControl* AControl) const
{
    return AControl != nullptr
           && (AControl == HScrollBar() || AControl == VScrollBar() || AControl == SizeGrip());
}

void TvlContainer::AlignControls(TControl* AControl)
{
    if (IsContainerClass()) {
        TvlControl::AlignControls(AControl);
        return;
    }
    if (FLockAlignControlsCount > 0 || IsInternalControl(AControl))
        return;
    TvlControl::AlignControls(AControl);
    if (FIsCreating)
        return;
    // The layer aligns all children at once: the inner control is clipped
    // to the client area whichever child asked.
    auto* control = dynamic_cast<TWinControl*>(AControl != nullptr ? AControl : FInnerControl);
    if (control == nullptr || control != FInnerControl || !control->HandleAllocated())
        return;
    TRect rect = ClientRect();
    AdjustClientRect(rect);
    TvlInnerControlBounds bounds;
    GetInnerControlBounds(rect, control, bounds);
    const bool differs = bounds.IsEmpty != FInnerControlBounds.IsEmpty
                         || (!bounds.IsEmpty && bounds.Rect != FInnerControlBounds.Rect);
    if (differs) {
        SetInnerControlRegion(control, bounds);
        FInnerControlBounds = bounds;
    }
}

void TvlContainer::GetInnerControlBounds(const TRect& R, TControl* AControl, TvlInnerControlBounds& ABounds) const
{
    if (AControl == nullptr) {
        ABounds.IsEmpty = true;
        return;
    }
    TRect visible{0, 0, AControl->Width(), AControl->Height()};
    const TRect b = AControl->BoundsRect();
    bool cut = false;
    if (b.Left < R.Left) {
        visible.Left += R.Left - b.Left;
        cut = true;
    }
    if (b.Top < R.Top) {
        visible.Top += R.Top - b.Top;
        cut = true;
    }
    if (b.Right > R.Right) {
        visible.Right -= b.Right - R.Right;
        cut = true;
    }
    if (b.Bottom > R.Bottom) {
        visible.Bottom -= b.Bottom - R.Bottom;
        cut = true;
    }
    ABounds.IsEmpty = !cut;
    ABounds.Rect = visible;
}

bool TvlContainer::InnerControlDefaultHandler(TMessage& Message)
{
    return FInnerControl != nullptr && !GetIsDestroying() && DoInnerControlDefaultHandler(Message);
}

void TvlContainer::CallInnerControlWndProc(TMessage& Message)
{
    if (FInnerControlWndProc)
        FInnerControlWndProc(Message);
}

bool TvlContainer::InnerControlMenuHandler(TMessage& Message)
{
    if (Message.Msg != CN_KEYDOWN && Message.Msg != UINT(CN_BASE) + UINT(WM_SYSKEYDOWN))
        return false;
    const TShiftState shift = KeyDataToShiftState(Message.LParam);
    const TShortCut shortCut =
        ShortCut(uint16_t(Message.WParam), shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt));
    for (TControl* c = this; c != nullptr; c = c->Parent()) {
        if (c != this && dynamic_cast<TvlControl*>(c) == nullptr)
            break;
        if (TPopupMenu* menu = c->PopupMenu(); menu != nullptr && menuHasShortCut(menu->Items(), shortCut)) {
            Message.Result = 1;
            return true;
        }
    }
    return false;
}

void TvlContainer::FocusInnerControl()
{
    if (FInnerControl != nullptr && FInnerControl->CanFocus())
        FInnerControl->SetFocus();
}

bool TvlContainer::IsStylePublished(const String& APropertyName, bool ACheckExtended) const
{
    if (ACheckExtended && !GetStyle()->IsExtendedValuePublished(APropertyName))
        return false;
    TvlContainerStyleValue value = 0;
    if (GetStyle()->FindStyleValue(APropertyName, value))
        return !GetNotPublishedStyleValues().Contains(value);
    return true;
}

void TvlContainer::LockAlignControls(bool Lock)
{
    if (Lock)
        ++FLockAlignControlsCount;
    else if (FLockAlignControlsCount > 0)
        --FLockAlignControlsCount;
}

// ---- painting

void TvlContainer::Paint()
{
    CalculateViewInfoIfNeeded();
    if (!Canvas()->RectVisible(FViewInfo->Bounds))
        return;
    if (ControlState().Contains(csPaintCopy))
        ClipToShadowRegion();
    FViewInfo->Paint(Canvas());
    if (FSizeGripData.Visible)
        FillSizeGripArea(this, FSizeGripData.Bounds);
}

void TvlContainer::Invalidate()
{
    TvlControl::Invalidate();
    if (FInnerControl != nullptr)
        FInnerControl->Invalidate();
}

void TvlContainer::Update()
{
    TvlControl::Update();
    if (FInnerControl != nullptr)
        FInnerControl->Update();
}

// ---- focus and keys

bool TvlContainer::Focused() const
{
    if (ComponentState().Contains(csDesigning) || ControlState().Contains(csDestroyingHandle))
        return false;
    return TvlControl::Focused() || (FInnerControl != nullptr && FInnerControl->Focused());
}

void TvlContainer::SetFocus()
{
    if (ComponentState().Contains(csDesigning) || InternalFocused())
        return;
    TvlControl::SetFocus();
    if (FInnerControl != nullptr && FInnerControl->HandleAllocated() && TvlControl::Focused())
        FocusInnerControl();
}

bool TvlContainer::CanFocusOnClick() const
{
    return TvlControl::CanFocusOnClick() && !(FInnerControl != nullptr && FInnerControl->Focused())
           && !FInnerControlMouseDown;
}

void TvlContainer::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlControl::KeyDown(Key, Shift);
    if (Key != VK_TAB || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt) || !Focused() || !HandlesTabKey())
        return;
    Key = 0;
    selectNext(this, !Shift.Contains(ssShift));
    if (TvlControl::Focused() && FInnerControl != nullptr)
        FocusInnerControl();
}

void TvlContainer::FocusChanged()
{
    TvlControl::FocusChanged();
    ShortRefreshContainer(false);
}

void TvlContainer::handleSetFocus(TMessage& Message)
{
    if (GetIsDestroying() || !HandleAllocated() || FInnerControl == nullptr || !FInnerControl->HandleAllocated()) {
        TvlControl::Dispatch(Message);
        return;
    }
    TvlControl::Dispatch(Message);
    if (FInnerControl->CanFocus())
        FInnerControl->SetFocus();
}

void TvlContainer::handleKillFocus(TMessage& Message)
{
    // The focus moving into the inner control stays inside the container.
    if (FInnerControl != nullptr && FInnerControl->HandleAllocated()) {
        QWidget* focus = QApplication::focusWidget();
        QWidget* inner = FInnerControl->Widget();
        if (focus != nullptr && (focus == inner || inner->isAncestorOf(focus))) {
            Message.Result = 0;
            return;
        }
    }
    TvlControl::Dispatch(Message);
}

// ---- mouse

void TvlContainer::beginMouseTracking() { BeginMouseTracking(this, GetBounds(), this); }
void TvlContainer::endMouseTracking() { EndMouseTracking(this); }

bool TvlContainer::IsTrackingMouse() { return IsCallerMouseTracked(this); }

void TvlContainer::MouseTrackingCallerMouseLeave()
{
    MouseLeave(nullptr);
    endMouseTracking();
}

void TvlContainer::MouseEnter(TControl* AControl)
{
    TvlControl::MouseEnter(AControl);
    ShortRefreshContainer(true);
    beginMouseTracking();
}

void TvlContainer::MouseLeave(TControl* AControl)
{
    TvlControl::MouseLeave(AControl);
    ShortRefreshContainer(true);
    endMouseTracking();
}

void TvlContainer::MouseMove(TShiftState Shift, int X, int Y)
{
    TvlControl::MouseMove(Shift, X, Y);
    InternalRefreshContainer(TPoint{X, Y}, cxmbNone, Shift, true);
    beginMouseTracking();
}

void TvlContainer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TvlControl::MouseDown(Button, Shift, X, Y);
    if (IsTrackingMouse())
        InternalRefreshContainer(TPoint{X, Y}, ButtonToCxMouseButton(Button), Shift, true);
}

void TvlContainer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TvlControl::MouseUp(Button, Shift, X, Y);
    InternalRefreshContainer(TPoint{X, Y}, ButtonToCxMouseButton(Button), Shift, true);
}

void TvlContainer::handleSetCursor(TMessage& Message)
{
    if (FInnerControl != nullptr && HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == Handle()
        && LoWord(uintptr_t(Message.LParam)) == HTCLIENT) {
        const TPoint p = ScreenToClient(Mouse->CursorPos());
        if (!FViewInfo->ClientRect.Contains(p)) {
            Widget()->setCursor(ScreenCursor(crArrow));
            Message.Result = 1;
            return;
        }
    }
    TvlControl::Dispatch(Message);
}

void TvlContainer::doContextPopup(TMessage& Message)
{
    const TPoint screen = PointFromLParam(Message.LParam);
    const bool keyboard = screen.X == -1 && screen.Y == -1;
    if (FPopupMenuLockCount == 0 && (keyboard || CanShowPopupMenu(ScreenToClient(screen)))) {
        TvlControl::Dispatch(Message);
        return;
    }
    Message.Result = 1;  // handled: no menu
}

// ---- style and property changes

bool TvlContainer::fontDiffers(const TFont* AFont) const { return AFont != nullptr && !sameFont(Font(), AFont); }

void TvlContainer::ContainerStyleChanged(TObject*)
{
    if (FIsCreating || ComponentState().Contains(csLoading))
        return;
    ShortRefreshContainer(false);
    TvlContainerStyle* style = GetStyle();
    {
        const TFlagScope internal(FInternalSetting);
        if (!ParentColor() || style->AssignedValues().Contains(csvColor)) {
            const TColor color = style->GetVisibleColor();
            // Setting the same colour would still end ParentColor.
            if (color != Color())
                SetColor(color);
        }
        if (fontDiffers(style->Font()))
            SetFont(style->Font());
    }
    if (style->AssignedValues().Contains(csvFont))
        SetParentFont(false);
}

void TvlContainer::handleColorChanged(TMessage& Message)
{
    TvlControl::Dispatch(Message);
    if (FInternalSetting || FIsCreating)
        ShortRefreshContainer(false);
    else
        GetStyle()->SetColor(Color());
}

void TvlContainer::handleFontChanged(TMessage& Message)
{
    if (FInternalSetting) {
        TvlControl::Dispatch(Message);
        AdjustInnerControlBounds();
        SetScrollBarsParameters(false);
        ShortRefreshContainer(false);
        return;
    }
    TvlContainerStyle* style = GetStyle();
    const bool wasAssigned = style->AssignedValues().Contains(csvFont);
    style->BeginUpdate();
    try {
        style->SetFont(Font());
        if (!wasAssigned)
            style->GetBaseStyle()->FAssignedValues.Exclude(csvFont);
    } catch (...) {
        style->EndUpdate();
        throw;
    }
    style->EndUpdate();
    TvlControl::Dispatch(Message);
}

void TvlContainer::handleParentColorChanged(TMessage& Message)
{
    TvlContainerStyle* style = GetStyle();
    const bool wasAssigned = style->AssignedValues().Contains(csvColor);
    TvlControl::Dispatch(Message);
    if (!wasAssigned || ParentColor())
        style->FAssignedValues.Exclude(csvColor);
    if (style->GetColor() != Color())
        ContainerStyleChanged(style);
    if (IsTransparentBackground() && !ParentColor())
        Invalidate();
}

void TvlContainer::handleParentFontChanged(TMessage& Message)
{
    TvlContainerStyle* style = GetStyle();
    const bool wasAssigned = style->AssignedValues().Contains(csvFont);
    TvlControl::Dispatch(Message);
    if (!ParentFont())
        style->RefreshFont();
    if (!wasAssigned || ParentFont())
        style->GetBaseStyle()->FAssignedValues.Exclude(csvFont);
}

void TvlContainer::EnabledChanged()
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* bar = dynamic_cast<TvlScrollBar*>(Controls(i)))
            bar->SetEnabled(Enabled());
    ShortRefreshContainer(false);
}

void TvlContainer::Resize()
{
    TvlControl::Resize();
    ShortRefreshContainer(false);
}

// ---- scroll bars

namespace {

QScrollBar* innerScrollBar(TWinControl* AInner, TScrollBarKind AKind)
{
    if (AInner == nullptr || !AInner->HandleAllocated())
        return nullptr;
    auto* area = qobject_cast<QAbstractScrollArea*>(AInner->Widget());
    if (area == nullptr)
        return nullptr;
    return AKind == sbHorizontal ? area->horizontalScrollBar() : area->verticalScrollBar();
}

}  // namespace

void TvlContainer::SetInternalControlsBounds()
{
    if (HasScrollBars())
        SetScrollBarsParameters(false);
}

bool TvlContainer::IsScrollBarVisible(TScrollBarKind AKind) const
{
    // The inner control's own bar is never shown: it would show while
    // there is something to scroll.
    const QScrollBar* bar = innerScrollBar(FInnerControl, AKind);
    return bar != nullptr && bar->maximum() > bar->minimum();
}

bool TvlContainer::GetScrollBarEnabled(TvlScrollBar* AScrollBar) const
{
    const QScrollBar* bar = innerScrollBar(FInnerControl, AScrollBar->Kind());
    return AScrollBar->Parent() != nullptr && AScrollBar->Parent()->Enabled() && bar != nullptr && bar->isEnabled();
}

void TvlContainer::GetScrollBarBounds(const TRect& AScreenRect, TRect& R) const
{
    const TPoint topLeft = ScreenToClient(TPoint{AScreenRect.Left, AScreenRect.Top});
    R = TRect{topLeft.X, topLeft.Y, AScreenRect.Width(), AScreenRect.Height()};
    if (R.Left < 0 || R.Top < 0 || R.Right > Width() || R.Bottom > Height())
        R = TRect{0, 0, 0, 0};
}

void TvlContainer::SetScrollBarVisible(TvlScrollBar* AScrollBar, bool AVisible)
{
    AScrollBar->SetVisible(AVisible);
    if (AVisible)
        AScrollBar->BringToFront();
}

void TvlContainer::AdjustScrollBarPosition(TvlScrollBar* AScrollBar)
{
    bool visible = false;
    if (!GetIsDestroying() && Parent() != nullptr && HandleAllocated() && FInnerControl != nullptr
        && FInnerControl->HandleAllocated() && IsScrollBarVisible(AScrollBar->Kind())) {
        AScrollBar->SetEnabled(GetScrollBarEnabled(AScrollBar));
        // The system bar's place: along the bottom or the right side of the
        // inner control, leaving the corner to the other bar.
        const int size = GetSystemMetrics(AScrollBar->Kind() == sbHorizontal ? SM_CYHSCROLL : SM_CXVSCROLL);
        const bool other = IsScrollBarVisible(AScrollBar->Kind() == sbHorizontal ? sbVertical : sbHorizontal);
        const TPoint origin = FInnerControl->ClientToScreen(TPoint{0, 0});
        const int w = FInnerControl->Width(), h = FInnerControl->Height();
        const int cornerW = other ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        const int cornerH = other ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        TRect screen = AScrollBar->Kind() == sbHorizontal
                           ? TRect{origin.X, origin.Y + h - size, origin.X + w - cornerW, origin.Y + h}
                           : TRect{origin.X + w - size, origin.Y, origin.X + w, origin.Y + h - cornerH};
        TRect r;
        GetScrollBarBounds(screen, r);
        AScrollBar->SetBounds(r.Left, r.Top, r.Right, r.Bottom);
        visible = r.Right > 0 && r.Bottom > 0;
    }
    SetScrollBarVisible(AScrollBar, visible);
}

void TvlContainer::UpdateScrollBars()
{
    TvlControl::UpdateScrollBars();
    SetScrollBarsParameters(false);
}

void TvlContainer::PostSetScrollBarsParameters()
{
    if (!GetIsDestroying() && HandleAllocated() && FInnerControl != nullptr)
        PostMessage(Handle(), DXM_SETSCROLLBARSPARAMETERS, 0, 0);
}

void TvlContainer::SetScrollBarsParameters(bool AIsScrolling)
{
    if (FInnerControl == nullptr || !HasScrollBars() || GetIsDestroying() || !UsevlScrollBars()
        || FScrollBarsCalculating || HScrollBar() == nullptr || VScrollBar() == nullptr)
        return;
    const TFlagScope calculating(FScrollBarsCalculating);
    // The inner control's own bars never show; they only keep the range.
    if (FInnerControl->HandleAllocated())
        if (auto* area = qobject_cast<QAbstractScrollArea*>(FInnerControl->Widget())) {
            area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
    for (TvlScrollBar* bar : {static_cast<TvlScrollBar*>(HScrollBar()), static_cast<TvlScrollBar*>(VScrollBar())}) {
        if (!AIsScrolling)
            AdjustScrollBarPosition(bar);
        if (!bar->Visible())
            continue;
        const QScrollBar* inner = innerScrollBar(FInnerControl, bar->Kind());
        if (inner == nullptr)
            continue;
        // The toolkit's maximum is the last position; the bar's is the last
        // unit of the range.
        const int page = std::max(inner->pageStep(), 1);
        const int max = inner->maximum() + page - 1;
        bar->SetScrollParams(inner->minimum(), max, inner->value(), std::min(page, max));
    }
    TvlContainerSizeGripData grip;
    auto* innerControl = dynamic_cast<IvlContainerInnerControl*>(FInnerControl);
    grip.Visible = HScrollBar()->Visible() && VScrollBar()->Visible() && FInnerControl->HandleAllocated()
                   && innerControl != nullptr;
    if (grip.Visible)
        grip.Bounds = GetContainerSizeGripRect(innerControl);
    if (grip.Visible && (!FSizeGripData.Visible || grip.Bounds != FSizeGripData.Bounds)) {
        // The corner is painted by the container: the inner control leaves it.
        TRect r = grip.Bounds;
        const TPoint origin = ScreenToClient(FInnerControl->ClientToScreen(TPoint{0, 0}));
        OffsetRect(r, origin.X, origin.Y);
        InvalidateRect(r, false);
    }
    FSizeGripData = grip;
}

// ---- messages

void TvlContainer::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (!Visible())
            return;
        break;
    case WM_NCCALCSIZE:
        if (FRefreshLockCount > 0) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: case CN_KEYDOWN: case CN_CHAR:
    case UINT(CN_BASE) + UINT(WM_KEYUP):
        if (FInnerControl != nullptr) {
            Message.Result = FInnerControl->Perform(Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        break;
    default:
        break;
    }
    TvlControl::WndProc(Message);
}

void TvlContainer::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS: handleSetFocus(Message); return;
    case WM_KILLFOCUS: handleKillFocus(Message); return;
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_SETCURSOR: handleSetCursor(Message); return;
    case WM_CONTEXTMENU: doContextPopup(Message); return;
    case CM_COLORCHANGED: handleColorChanged(Message); return;
    case CM_FONTCHANGED: handleFontChanged(Message); return;
    case CM_PARENTCOLORCHANGED: handleParentColorChanged(Message); return;
    case CM_PARENTFONTCHANGED: handleParentFontChanged(Message); return;
    case CM_ENABLEDCHANGED:
        TvlControl::Dispatch(Message);
        EnabledChanged();
        return;
    case WM_SYSCOLORCHANGE:
        TvlControl::Dispatch(Message);
        ShortRefreshContainer(false);
        return;
    case DXM_SETSCROLLBARSPARAMETERS: SetScrollBarsParameters(false); return;
    default: break;
    }
    TvlControl::Dispatch(Message);
}
