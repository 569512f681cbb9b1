// vlPCControl.cpp - the tab control's window: style and painter, selection
// and its events, the navigator buttons with their repeat, hot tracking,
// keys, the wheel and the go dialog.
#include <QCollator>
#include <QGuiApplication>
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/rtl/TypInfo.h"
#include "ui/controls/vlPC.h"
#include "ui/controls/vlPCConsts.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlContainer.h"

namespace {

// Options whose change moves tabs or buttons, and those that only repaint.
const TvlPCOptions layoutOptions{pcoAlwaysShowGoDialogButton, pcoCloseButton, pcoFixedTabWidthWhenRotated,
                                 pcoGoDialog, pcoGradient, pcoGradientClientArea, pcoNoArrows,
                                 pcoTopToBottomText};
const TvlPCOptions repaintOptions{pcoGradient, pcoGradientClientArea, pcoUsePageColorForTab};

constexpr unsigned firstRepeatInterval = 300;
constexpr unsigned repeatInterval = 150;

std::unique_ptr<std::vector<const TClassInfo*>>& classListHolder()
{
    static std::unique_ptr<std::vector<const TClassInfo*>> holder;
    return holder;
}

}  // namespace

// ---- TvlPCGoDialog -----------------------------------------------------------------

TvlPCGoDialog::TvlPCGoDialog(TvlCustomTabControl* AOwner) : TPopupMenu(AOwner), FControl(AOwner) {}

std::vector<TvlTab*> TvlPCGoDialog::FillTabList(bool ASort) const
{
    struct Entry {
        String Key;
        TvlTab* Tab;
    };
    std::vector<Entry> entries;
    const TvlVisibleTabList* list = FControl->VisibleTabList();
    for (int v = 0; v < list->Count(); ++v) {
        TvlTab* t = list->GetTab(v);
        if (t->IsEnabled())
            entries.push_back({RemoveAccelChars(t->Caption(), false), t});
    }
    if (ASort) {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(entries.begin(), entries.end(),
                         [&](const Entry& a, const Entry& b) { return collator.compare(a.Key, b.Key) < 0; });
    }
    std::vector<TvlTab*> result;
    result.reserve(entries.size());
    for (const Entry& e : entries)
        result.push_back(e.Tab);
    return result;
}

void TvlPCGoDialog::BuildItems(bool ASort)
{
    const std::vector<TvlTab*> tabs = FillTabList(ASort);
    SetImages(FControl->Images());
    while (Items()->Count() > 0) {
        std::unique_ptr<TMenuItem> doomed(Items()->Items(Items()->Count() - 1));
        Items()->Remove(doomed.get());
    }
    for (TvlTab* t : tabs) {
        auto* item = new TMenuItem(this);  // owned by the dialog
        item->SetCaption(t->Caption());
        item->SetTag(t->Index());
        const bool selected = t->Index() == FControl->TabIndex();
        item->SetChecked(selected);
        item->SetDefault(selected);
        item->SetImageIndex(FControl->GetTabImageIndex(t->Index()));
        item->OnClick = TNotifyEvent(this, &TvlPCGoDialog::itemClick);
        Items()->Add(item);
    }
}

TPoint TvlPCGoDialog::GetPopupPoint() const
{
    TRect r;
    if (FControl->Painter() != nullptr)
        FControl->Painter()->GetGoDialogButtonBounds(r);
    return FControl->ClientToScreen(Point(r.Left, r.Bottom));
}

void TvlPCGoDialog::Popup(bool ASort)
{
    BuildItems(ASort);
    ShowAt(GetPopupPoint());
}

void TvlPCGoDialog::ShowAt(TPoint P)
{
    if (OnPopup)
        OnPopup(this);
    QMenu* menu = Items()->BuildMenu();
    if (menu != FMenu.data()) {
        FMenu = menu;
        QObject::connect(menu, &QMenu::aboutToHide, menu, [this] { menuClosed(); });
    }
    menu->popup(QPoint(P.X, P.Y));
}

void TvlPCGoDialog::menuClosed()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TvlPCGoDialog::itemClick(TObject* Sender)
{
    DoClick(int(static_cast<TMenuItem*>(Sender)->Tag()));
}

void TvlPCGoDialog::DoClick(int ATabIndex)
{
    if (OnClick.Assigned())
        OnClick(ATabIndex);
}

// ---- TvlCustomTabControl: construction and settings -----------------------------

TvlCustomTabControl::TvlCustomTabControl(TComponent* AOwner) : TvlControl(AOwner)
{
    FControlStyle += TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks,
                                   csParentBackground};
    SetBounds(Left(), Top(), 289, 193);
    SetTabStop(true);
    SetKeys(TvlControlKeys{kArrows});
    TabSlants()->OnChange = TNotifyEvent(this, &TvlCustomTabControl::slantsChanged);
    ImageList()->OnChange = TNotifyEvent(this, &TvlCustomTabControl::imagesChanged);
    ImageList()->OnPrepareBitmap = TvlPCPrepareBitmapEvent::FromFunction([this](TBitmap* ABitmap) {
        if (Painter() != nullptr)
            Painter()->PrepareTabContentBitmap(ABitmap, Painter()->ContentLayout().ImageRect,
                                               Painter()->ContentLayout().VisibleIndex);
    });
    SetStyle(0);
    if (!ComponentState().Contains(csDesigning)) {
        FGoDialog = new TvlPCGoDialog(this);
        FGoDialog->OnClick = TvlPCGoDialogClickEvent::FromFunction([this](int AIndex) { SelectFromGoDialog(AIndex); });
        FGoDialog->OnCloseUp = TNotifyEvent(this, &TvlCustomTabControl::goDialogClosed);
    }
}

TvlCustomTabControl::~TvlCustomTabControl()
{
    Destroying();
    FTimer.reset();
    if (FGoDialog != nullptr) {
        FGoDialog->OnClick = TvlPCGoDialogClickEvent();
        FGoDialog->OnCloseUp = TNotifyEvent();
    }
    TabSlants()->OnChange = TNotifyEvent();
    ImageList()->OnChange = TNotifyEvent();
    ImageList()->OnPrepareBitmap = TvlPCPrepareBitmapEvent();
    SetPainter(nullptr);
}

const TClassInfo& TvlCustomTabControl::StaticClassInfo()
{
    using C = TvlCustomTabControl;
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlCustomTabControl", &TControl::StaticClassInfo())
            .Int("ClientRectBottom", &C::ClientRectBottom, &C::SetClientRectBottom)
            .Stored(&C::ClientRectBottomStored)
            .Int("ClientRectLeft", &C::ClientRectLeft, &C::SetClientRectLeft)
            .Stored(&C::ClientRectLeftStored)
            .Int("ClientRectRight", &C::ClientRectRight, &C::SetClientRectRight)
            .Int("ClientRectTop", &C::ClientRectTop, &C::SetClientRectTop)
            .Build();
    return info;
}

const TClassInfo* TvlCustomTabControl::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlTabControl::StaticClassInfo()
{
    using C = TvlTabControl;
    static const TClassInfo info = TClassInfoBuilder<C>("TvlTabControl", &TvlCustomTabControl::StaticClassInfo())
                                       .Int("TabIndex", &C::TabIndex, &C::SetTabIndex, -1)
                                       .Build();
    return info;
}

const TClassInfo* TvlTabControl::ClassInfo() const { return &StaticClassInfo(); }

TvlCanvas* TvlCustomTabControl::Canvas() const
{
    // The window's canvas while it paints, a measuring canvas otherwise.
    return const_cast<TvlCustomTabControl*>(this)->GetActiveCanvas();
}

void TvlCustomTabControl::InvalidateRect(const TRect& R)
{
    if (HandleAllocated())
        TvlControl::InvalidateRect(R, false);
}

TControl* TvlCustomTabControl::TabPage(int AVisibleIndex) const
{
    if (AVisibleIndex < 0 || AVisibleIndex >= VisibleTabList()->Count())
        return nullptr;
    return GetTabPage(VisibleTabList()->Items(AVisibleIndex));
}

bool TvlCustomTabControl::DrawTabByHandler(TvlTab* ATab)
{
    if (!OnDrawTab.Assigned())
        return false;
    bool defaultDraw = true;
    OnDrawTab(this, ATab, defaultDraw);
    return !defaultDraw;
}

void TvlCustomTabControl::SetFocusable(bool Value)
{
    FFocusable = Value;
    if (!Value && Focused() && ParentForm() != nullptr)
        ParentForm()->SetActiveControl(nullptr);
}

void TvlCustomTabControl::SetHideTabs(bool Value)
{
    if (HideTabs() == Value)
        return;
    TvlPCTabControlCore::SetHideTabs(Value);
    RecalculateLayout();
    Invalidate();
}

void TvlCustomTabControl::SetHotTrack(bool Value)
{
    if (FHotTrack == Value)
        return;
    FHotTrack = Value;
    UpdateHotTrackingState();
}

void TvlCustomTabControl::SetImageBorder(int Value)
{
    if (Value < 0 || Value == ImageBorder())
        return;
    TvlPCTabControlCore::SetImageBorder(Value);
    if (VisibleTabList()->Count() > 0)
        RecalculateLayout();
}

void TvlCustomTabControl::SetImages(TImageList* Value)
{
    ImageList()->SetBaseImages(Value);
}

int TvlCustomTabControl::GetMaxRotatedTabWidth()
{
    if (FMaxRotatedTabWidth > 0 && Painter() != nullptr)
        FMaxRotatedTabWidth = std::max(FMaxRotatedTabWidth, Painter()->GetMinTabWidth(-1));
    return FMaxRotatedTabWidth;
}

void TvlCustomTabControl::SetMaxRotatedTabWidth(int Value)
{
    if (Value < 0)
        Value = 0;
    if (Value > 0 && Painter() != nullptr)
        Value = std::max(Value, Painter()->GetMinTabWidth(-1));
    if (Value == FMaxRotatedTabWidth)
        return;
    FMaxRotatedTabWidth = Value;
    if (Rotate() && VisibleTabList()->Count() > 0)
        RecalculateLayout();
}

void TvlCustomTabControl::SetMultiLine(bool Value)
{
    if (MultiLine() == Value)
        return;
    TvlPCTabControlCore::SetMultiLine(Value);
    RecalculateLayout();
}

void TvlCustomTabControl::SetNavigatorPosition(TvlPCNavigatorPosition Value)
{
    if (NavigatorPosition() == Value)
        return;
    TvlPCTabControlCore::SetNavigatorPosition(Value);
    RecalculateLayout();
}

void TvlCustomTabControl::SetOptions(TvlPCOptions Value)
{
    const TvlPCOptions old = Options();
    if (old == Value)
        return;
    const TvlPCOptions changed = (old - Value) + (Value - old);
    TvlPCTabControlCore::SetOptions(Value);
    if (!(changed * layoutOptions).Empty())
        RecalculateLayout();
    else if (!(changed * repaintOptions).Empty())
        Invalidate();
}

void TvlCustomTabControl::SetOwnerDraw(bool Value)
{
    if (FOwnerDraw == Value)
        return;
    FOwnerDraw = Value;
    Invalidate();
}

void TvlCustomTabControl::SetRaggedRight(bool Value)
{
    if (RaggedRight() == Value)
        return;
    TvlPCTabControlCore::SetRaggedRight(Value);
    if (MultiLine())
        RecalculateLayout();
}

void TvlCustomTabControl::SetRotate(bool Value)
{
    if (Value && Painter() != nullptr && !Painter()->AllowRotate())
        throw EvxException(Format(GetResourceString(vlPCConsts::svlPCAllowRotateError),
                                  {Painter()->PainterClass()->GetStyleName()}));
    if (Rotate() == Value)
        return;
    TvlPCTabControlCore::SetRotate(Value);
    RecalculateLayout();
}

void TvlCustomTabControl::SetScrollOpposite(bool Value)
{
    if (ScrollOpposite() == Value)
        return;
    TvlPCTabControlCore::SetScrollOpposite(Value);
    if (!MultiLine())
        return;
    if (MainTabVisibleIndex() != -1) {
        UpdateRowOrder();
        realign();
        Invalidate();
    } else
        realign();
}

void TvlCustomTabControl::SetShowFrame(bool Value)
{
    if (ShowFrame() == Value)
        return;
    TvlPCTabControlCore::SetShowFrame(Value);
    RecalculateLayout();
}

void TvlCustomTabControl::SetTabHeight(int Value)
{
    if (TabHeight() == Value)
        return;
    TvlPCTabControlCore::SetTabHeight(Value);
    RecalculateLayout();
}

void TvlCustomTabControl::SetTabWidth(int Value)
{
    if (TabWidth() == Value)
        return;
    TvlPCTabControlCore::SetTabWidth(Value);
    RecalculateLayout();
}

void TvlCustomTabControl::SetTabPosition(TvlTabPosition Value)
{
    if (TabPosition() == Value)
        return;
    TvlPCTabControlCore::SetTabPosition(Value);
    RecalculateLayout();
}

void TvlCustomTabControl::SetTabCaptionAlignment(TAlignment Value)
{
    if (TabCaptionAlignment() == Value)
        return;
    TvlPCTabControlCore::SetTabCaptionAlignment(Value);
    Invalidate();
}

// ---- style and painter ------------------------------------------------------------

void TvlCustomTabControl::SetStyle(TvlPCStyleID Value)
{
    const TvlPCPaintersFactory* factory = PaintersFactory();
    if (factory == nullptr)
        return;
    if (Value == 0) {
        TvlPCStyleID id = factory->GetStyleIDByLookAndFeel(LookAndFeel());
        if (id == -1)
            id = factory->GetDefaultStyleID(LookAndFeel());
        applyStyle(id);
        FStyle = 0;
        return;
    }
    if (Value == FStyle || factory->GetPainterClass(Value) == nullptr)
        return;
    applyStyle(Value);
    FStyle = Value;
}

void TvlCustomTabControl::applyStyle(TvlPCStyleID AStyleID)
{
    const TvlPCPaintersFactory* factory = PaintersFactory();
    const TvlPCPainterClass cls = factory->GetPainterClass(AStyleID);
    if (cls == nullptr)
        return;
    if (Painter() == nullptr || Painter()->PainterClass() != cls) {
        if (Painter() != nullptr)
            SetPainter(nullptr);
        SetPainter(factory->GetPainterInstance(cls, this));
    }
    if (Rotate() && !cls->AllowRotate())
        TvlPCTabControlCore::SetRotate(false);
    Tabs()->DropCaptionBitmaps();
    RecalculateLayout();
    Invalidate();
}

void TvlCustomTabControl::LookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues)
{
    TvlControl::LookAndFeelChanged(Sender, AChangedValues);
    if (FStyle == 0)
        SetStyle(0);
    RecalculateLayout();
    if (AChangedValues.Contains(lfvNativeStyle))
        InvalidateWithChildren();
}

bool TvlCustomTabControl::NeedsRedrawOnResize() const
{
    return Options().Contains(pcoRedrawOnResize) && Painter() != nullptr && Painter()->NeedRedrawOnResize();
}

// ---- selection ---------------------------------------------------------------------

void TvlCustomTabControl::LockChangeEvents(bool ALock)
{
    if (ALock)
        ++FChangeEventLockCount;
    else if (FChangeEventLockCount > 0)
        --FChangeEventLockCount;
}

bool TvlCustomTabControl::CanChange(int)
{
    bool allow = true;
    if (!ChangeEventsLocked() && !IsLoading() && OnChanging.Assigned())
        OnChanging(this, allow);
    return allow;
}

void TvlCustomTabControl::Change()
{
    if (!ChangeEventsLocked() && !IsLoading() && OnChange)
        OnChange(this);
}

void TvlCustomTabControl::SetTabIndex(int Value)
{
    if (IsLoading()) {
        SetTabIndexDirect(Value);
        return;
    }
    if (Value < -1 || Value >= Tabs()->Count())
        return;
    if (Value != -1 && NeedsVisibleSelection() && !Tabs()->GetTab(Value)->Visible())
        Value = -1;
    if (Value == TabIndex() || !CanChange(Value))
        return;
    doSetTabIndex(Value);
}

void TvlCustomTabControl::doSetTabIndex(int Value)
{
    SetTabIndexDirect(-1);
    for (int i = 0; i < Tabs()->Count(); ++i)
        Tabs()->GetTab(i)->SetSelected(false);
    Tabs()->SetTrackingTab(-1);
    SetTabIndexDirect(Value);
    Tabs()->UpdateMainTab();
    if (!MultiLine()) {
        if (MainTabVisibleIndex() != -1)
            MakeTabVisible(MainTabVisibleIndex());
        RecalculateLayout();
    } else {
        UpdateRowOrder();
        realign();
        Invalidate();
    }
    UpdateNavigatorButtonStates();
    UpdateHotTrackingState();
    Change();
}

void TvlCustomTabControl::Loaded()
{
    TvlControl::Loaded();
    Tabs()->NotifyChanged(-1, tckLayout);
    const int streamed = TabIndex();
    if (streamed != -1) {
        SetTabIndexDirect(-1);
        LockChangeEvents(true);
        SetTabIndex(streamed);
        LockChangeEvents(false);
    }
}

void TvlCustomTabControl::ClickTab(int AVisibleIndex, bool ACtrl)
{
    TvlTab* tab = VisibleTab(AVisibleIndex);
    if (FMultiSelect && Painter() != nullptr && Painter()->AllowMultiSelect() && ACtrl) {
        if (AVisibleIndex == MainTabVisibleIndex())
            SetTabIndex(-1);
        else
            tab->SetSelected(!tab->Selected());
        return;
    }
    // OnChange may free the control: nothing of it is touched afterwards
    // unless it still exists.
    const TvlObjectGuard guard(this);
    SetTabIndex(tab->Index());
    if (guard.Destroyed())
        return;
}

bool TvlCustomTabControl::CanSelectTab(int ATabIndex) const
{
    const TvlTab* t = Tabs()->GetTab(ATabIndex);
    return t->Visible() && t->IsEnabled();
}

int TvlCustomTabControl::GetTabIndexAt(int X, int Y)
{
    const int v = GetTabVisibleIndexAt(X, Y);
    return v == -1 ? -1 : VisibleTabList()->Items(v);
}

int TvlCustomTabControl::GetTabImageIndex(int ATabIndex) const
{
    int index = Tabs()->GetTab(ATabIndex)->RawImageIndex();
    if (OnGetImageIndex.Assigned())
        OnGetImageIndex(const_cast<TvlCustomTabControl*>(this), ATabIndex, index);
    if (index < 0)
        return -1;
    const TImageList* images = ImageList()->BaseImages();
    if (images == nullptr || images->Width() <= 0 || images->Height() <= 0 || index >= images->Count())
        return -1;
    return index;
}

void TvlCustomTabControl::PrepareTabCanvasFont(TvlTab* ATab, TvlCanvas* ACanvas)
{
    TvlPCTabControlCore::PrepareTabCanvasFont(ATab, ACanvas);
    if (OnDrawTabEx.Assigned())
        OnDrawTabEx(this, ATab, ACanvas->Font());
}

bool TvlCustomTabControl::CanClose()
{
    bool canClose = true;
    if (OnCanClose.Assigned())
        OnCanClose(this, canClose);
    return canClose;
}

void TvlCustomTabControl::DoClose()
{
    if (TabIndex() != -1)
        Tabs()->Delete(TabIndex());
    Change();
}

// ---- layout -------------------------------------------------------------------------

void TvlCustomTabControl::RecalculateLayout()
{
    if (IsLoading() || FLayoutRunning || Painter() == nullptr || IsDestroying())
        return;
    GetMaxRotatedTabWidth();
    TvlPCTabControlCore::RecalculateLayout();
    realign();
    Tabs()->UpdateMainTab();
    Tabs()->RefreshImages();
    UpdateHotTrackingState();
}

void TvlCustomTabControl::realign()
{
    if (!IsLoading() && !IsDestroying())
        Realign();
}

TRect TvlCustomTabControl::GetPageRect() const
{
    if (IsLoading())
        return FClientRectRead ? FStoredClientRect : Rect(0, 0, Width(), Height());
    if (Painter() == nullptr)
        return Rect(0, 0, Width(), Height());
    TRect r = const_cast<TvlCustomTabControl*>(this)->GetDisplayRect();
    if (r.Right < r.Left)
        r.Right = r.Left;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top;
    return r;
}

void TvlCustomTabControl::AdjustClientRect(TRect& R) const
{
    R = GetPageRect();
}

int TvlCustomTabControl::ClientRectLeft() const
{
    return IsLoading() ? FStoredClientRect.Left : GetPageRect().Left;
}

int TvlCustomTabControl::ClientRectTop() const
{
    return IsLoading() ? FStoredClientRect.Top : GetPageRect().Top;
}

int TvlCustomTabControl::ClientRectRight() const
{
    return IsLoading() ? FStoredClientRect.Right : GetPageRect().Right;
}

int TvlCustomTabControl::ClientRectBottom() const
{
    return IsLoading() ? FStoredClientRect.Bottom : GetPageRect().Bottom;
}

void TvlCustomTabControl::SetClientRectTop(int Value)
{
    FStoredClientRect.Top = Value;
    FClientRectRead = true;
}

void TvlCustomTabControl::BoundsChanged()
{
    RecalculateLayout();
    TvlControl::BoundsChanged();
}

void TvlCustomTabControl::FontChanged()
{
    TvlControl::FontChanged();
    RecalculateLayout();
}

void TvlCustomTabControl::FocusChanged()
{
    TvlControl::FocusChanged();
    if (IsDestroying())
        return;
    const int m = MainTabVisibleIndex();
    if (m != -1 && VisibleTab(m)->IsOnScreen())
        Tabs()->NotifyChanged(m, tckFocus);
}

// ---- navigator buttons ------------------------------------------------------------

bool TvlCustomTabControl::navigatorButtonEnabled(TvlPCNavigatorButton AButton) const
{
    const int n = VisibleTabList()->Count();
    const TvlPCNavigatorButton forward = isReversedRow() ? nbTopLeft : nbBottomRight;
    switch (AButton) {
    case nbClose: return MainTabVisibleIndex() != -1;
    case nbGoDialog: return true;
    default:
        if (AButton == forward)
            return !(n == 0 || (LastVisibleTab() == n - 1 &&
                                (IsLastTabFullyVisible() || FirstVisibleTab() == LastVisibleTab())));
        return FirstVisibleTab() > 0;
    }
}

void TvlCustomTabControl::UpdateNavigatorButtonStates()
{
    bool changed = false;
    for (TvlPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbClose}) {
        if (!NavigatorButtons().Contains(b))
            continue;
        const TvlPCNavigatorButtonState state = NavigatorButtonState(b);
        if (!navigatorButtonEnabled(b)) {
            FHotNavigatorButton.Exclude(b);
            FPressedNavigatorButton.Exclude(b);
            if (state != nbsDisabled) {
                setNavigatorButtonState(b, nbsDisabled);
                changed = true;
            }
        } else if (state == nbsDisabled) {
            setNavigatorButtonState(b, nbsNormal);
            changed = true;
        }
    }
    if (changed)
        UpdateHotTrackingState();
}

void TvlCustomTabControl::setNavigatorButtonState(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState)
{
    const TvlPCNavigatorButtonState previous = NavigatorButtonState(AButton);
    if (previous == AState)
        return;
    SetNavigatorButtonState(AButton, AState);
    if (Painter() != nullptr)
        Painter()->RepaintNavigatorButton(AButton, previous);
}

void TvlCustomTabControl::setHotNavigatorButton(TvlPCNavigatorButtons AButton)
{
    if (AButton == FHotNavigatorButton)
        return;
    const TvlPCNavigatorButtons old = FHotNavigatorButton;
    FHotNavigatorButton = AButton;
    for (TvlPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose}) {
        if (old.Contains(b) && NavigatorButtonState(b) == nbsHot)
            setNavigatorButtonState(b, nbsNormal);
        if (AButton.Contains(b))
            setNavigatorButtonState(b, nbsHot);
    }
}

void TvlCustomTabControl::pressNavigatorButton(TvlPCNavigatorButton AButton)
{
    const TvlPCNavigatorButtonState state = NavigatorButtonState(AButton);
    if (state == nbsPressed || state == nbsDisabled)
        return;
    FPressedNavigatorButton = TvlPCNavigatorButtons{AButton};
    setNavigatorButtonState(AButton, nbsPressed);
    if (AButton != nbTopLeft && AButton != nbBottomRight)
        return;
    scrollStep(AButton);
    if (!FPressedNavigatorButton.Contains(AButton))
        return;
    if (FTimer == nullptr) {
        FTimer = std::make_unique<TvlTimer>(nullptr);
        FTimer->SetEnabled(false);
        FTimer->SetOnTimer(TNotifyEvent(this, &TvlCustomTabControl::timerHandler));
    }
    FTimer->SetEnabled(false);
    FTimer->SetInterval(firstRepeatInterval);
    FTimer->SetEnabled(true);
}

void TvlCustomTabControl::timerHandler(TObject*)
{
    FTimer->SetInterval(repeatInterval);
    for (TvlPCNavigatorButton b : {nbTopLeft, nbBottomRight})
        if (FPressedNavigatorButton.Contains(b)) {
            scrollStep(b);
            return;
        }
    FTimer->SetEnabled(false);
}

void TvlCustomTabControl::scrollStep(TvlPCNavigatorButton AButton)
{
    if (NavigatorButtonState(AButton) == nbsDisabled || VisibleTabList()->Count() == 0)
        return;
    int step = AButton == nbBottomRight ? 1 : -1;
    if (isReversedRow())
        step = -step;
    SetFirstVisibleTabDirect(std::clamp(FirstVisibleTab() + step, 0, VisibleTabList()->Count() - 1));
    RecalculateLayout();
}

void TvlCustomTabControl::ScrollTabsBy(int ACount)
{
    if (MultiLine())
        return;
    const TvlPCNavigatorButton b = ACount > 0 ? nbBottomRight : nbTopLeft;
    for (int i = 0; i < std::abs(ACount); ++i)
        scrollStep(b);
}

// ---- hot tracking -------------------------------------------------------------------

TPoint TvlCustomTabControl::GetMouseCursorClientPos()
{
    TPoint p;
    InternalGetCursorPos(p);
    return ScreenToClient(p);
}

TShiftState TvlCustomTabControl::GetShiftState() const
{
    return InternalGetShiftState();
}

bool TvlCustomTabControl::IsClosingPressPending()
{
    // The press that closes an open menu reaches the window under the
    // pointer only after the menu has gone.
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
        return false;
    const TPoint p = GetMouseCursorClientPos();
    return PtInRect(Rect(0, 0, Width(), Height()), p);
}

void TvlCustomTabControl::UpdateHotTrackingState()
{
    if (IsLoading() || IsDesigning() || IsDestroying() || !HandleAllocated() || FGoDialogShowing ||
        Painter() == nullptr)
        return;
    TvlPCNavigatorButtons hotButton;
    int hotTab = -1;
    if (FHotTrack || Painter()->IsHotTrackRequired()) {
        const TPoint p = GetMouseCursorClientPos();
        const bool leftDown = GetShiftState().Contains(ssLeft);
        TvlPCNavigatorButton b;
        if (Enabled() && !HideTabs() && Painter()->GetNavigatorButtonAt(p.X, p.Y, b) &&
            NavigatorButtons().Contains(b) && NavigatorButtonState(b) != nbsPressed &&
            NavigatorButtonState(b) != nbsDisabled && !leftDown)
            hotButton = TvlPCNavigatorButtons{b};
        else if (!(leftDown && Painter()->IsButtonStyle())) {
            const int v = GetTabVisibleIndexAt(p.X, p.Y);
            if (v != -1 && VisibleTab(v)->Enabled())
                hotTab = v;
        }
    }
    setHotNavigatorButton(hotButton);
    Tabs()->SetHotTab(hotTab);
}

void TvlCustomTabControl::MouseLeave(TControl* AControl)
{
    TvlControl::MouseLeave(AControl);
    if (!FGoDialogShowing)
        UpdateHotTrackingState();
}

// ---- mouse --------------------------------------------------------------------------

void TvlCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool designing = IsDesigning();
    if ((Button != mbLeft && !designing) || (HideTabs() && !designing) || Painter() == nullptr) {
        TvlControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    const bool justClosed = FGoDialogJustClosed;
    FGoDialogJustClosed = false;
    const TvlObjectGuard guard(this);
    TvlControl::MouseDown(Button, Shift, X, Y);
    if (guard.Destroyed())
        return;
    UpdateHotTrackingState();
    TvlPCNavigatorButton b;
    if (Painter()->GetNavigatorButtonAt(X, Y, b) && NavigatorButtons().Contains(b)) {
        // The press that closed the menu does not open it again.
        if (!(b == nbGoDialog && justClosed))
            pressNavigatorButton(b);
        return;
    }
    FMouseDownTab = GetTabVisibleIndexAt(X, Y);
    if (FMouseDownTab == -1)
        return;
    if (!VisibleTab(FMouseDownTab)->IsEnabled() && !designing)
        return;
    if (Painter()->IsButtonStyle() && !designing) {
        SetPressedTabDirect(FMouseDownTab);
        Tabs()->NotifyChanged(FMouseDownTab, tckPressed);
    } else
        ClickTab(FMouseDownTab, Shift.Contains(ssCtrl));
}

void TvlCustomTabControl::MouseMove(TShiftState Shift, int X, int Y)
{
    TvlControl::MouseMove(Shift, X, Y);
    if (HideTabs() || FGoDialogShowing || Painter() == nullptr)
        return;
    for (TvlPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose}) {
        if (!FPressedNavigatorButton.Contains(b))
            continue;
        TvlPCNavigatorButton at;
        if (!(Painter()->GetNavigatorButtonAt(X, Y, at) && at == b)) {
            if (FTimer != nullptr)
                FTimer->SetEnabled(false);
            FPressedNavigatorButton = TvlPCNavigatorButtons();
            setNavigatorButtonState(b, nbsNormal);
        }
    }
    if (PressedTab() != -1 && GetTabVisibleIndexAt(X, Y) != PressedTab()) {
        const int old = PressedTab();
        SetPressedTabDirect(-1);
        Tabs()->NotifyChanged(old, tckPressed);
    }
    UpdateHotTrackingState();
}

void TvlCustomTabControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TvlObjectGuard guard(this);
    TvlControl::MouseUp(Button, Shift, X, Y);
    if (guard.Destroyed() || Button != mbLeft || HideTabs() || FGoDialogShowing || Painter() == nullptr)
        return;
    const bool designing = IsDesigning();
    const int mouseDownTab = FMouseDownTab;
    FMouseDownTab = -1;
    TvlPCNavigatorButton b;
    if (Painter()->GetNavigatorButtonAt(X, Y, b) && NavigatorButtons().Contains(b)) {
        if (FTimer != nullptr)
            FTimer->SetEnabled(false);
        if (NavigatorButtonState(b) == nbsDisabled)
            return;
        const bool wasPressed = FPressedNavigatorButton.Contains(b);
        if (!designing && b == nbGoDialog && wasPressed) {
            FGoDialogShowing = true;
            ShowGoDialog();
            return;
        }
        if (!wasPressed)
            return;
        FPressedNavigatorButton = TvlPCNavigatorButtons();
        setNavigatorButtonState(b, nbsNormal);
        UpdateHotTrackingState();
        if (b == nbClose && !designing && CanClose())
            DoClose();
        return;
    }
    // A pressed button released elsewhere lets go without acting.
    for (TvlPCNavigatorButton p : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
        if (FPressedNavigatorButton.Contains(p)) {
            if (FTimer != nullptr)
                FTimer->SetEnabled(false);
            FPressedNavigatorButton = TvlPCNavigatorButtons();
            setNavigatorButtonState(p, nbsNormal);
        }
    const int v = GetTabVisibleIndexAt(X, Y);
    if (v == -1 || !VisibleTab(v)->IsEnabled())
        return;
    if (Painter()->IsButtonStyle() && !designing && v == PressedTab()) {
        SetPressedTabDirect(-1);
        Tabs()->NotifyChanged(v, tckPressed);
        ClickTab(v, Shift.Contains(ssCtrl));
        if (guard.Destroyed())
            return;
    }
    UpdateHotTrackingState();
    if (v == mouseDownTab)
        TabClick(this, v, Shift);
}

bool TvlCustomTabControl::DoMouseWheel(TShiftState, int WheelDelta, TPoint MousePos)
{
    if (MultiLine() || HideTabs() || Painter() == nullptr || VisibleTabList()->Count() == 0 ||
        FirstVisibleTab() < 0 || WheelDelta == 0)
        return false;
    const TPoint p = ScreenToClient(MousePos);
    const TRect r = VisibleTab(FirstVisibleTab())->Bounds();
    const bool sides = TabPosition() == tpLeft || TabPosition() == tpRight;
    const bool inside = sides ? p.X >= r.Left && p.X < r.Right : p.Y >= r.Top && p.Y < r.Bottom;
    if (!inside)
        return false;
    scrollStep(WheelDelta < 0 ? nbBottomRight : nbTopLeft);
    return true;
}

bool TvlCustomTabControl::CanFocusOnClick() const
{
    if (!TvlControl::CanFocusOnClick())
        return false;
    auto* self = const_cast<TvlCustomTabControl*>(this);
    const TPoint p = self->GetMouseCursorClientPos();
    return TabIndex() != -1 && self->GetTabIndexAt(p.X, p.Y) == TabIndex();
}

// ---- go dialog ----------------------------------------------------------------------

void TvlCustomTabControl::ShowGoDialog()
{
    if (FGoDialog != nullptr)
        FGoDialog->Popup(Options().Contains(pcoSort));
    else
        goDialogReset(-1);
}

void TvlCustomTabControl::goDialogClosed(TObject*)
{
    goDialogReset(-1);
}

void TvlCustomTabControl::SelectFromGoDialog(int ATabIndex)
{
    goDialogReset(ATabIndex);
}

void TvlCustomTabControl::goDialogReset(int ATabIndex)
{
    if (IsClosingPressPending())
        FGoDialogJustClosed = true;
    FGoDialogShowing = false;
    FPressedNavigatorButton.Exclude(nbGoDialog);
    if (NavigatorButtonState(nbGoDialog) == nbsPressed)
        setNavigatorButtonState(nbGoDialog, nbsNormal);
    if (ATabIndex != -1)
        SetTabIndex(ATabIndex);
    UpdateHotTrackingState();
}

// ---- keys ---------------------------------------------------------------------------

bool TvlCustomTabControl::HandleNavigationKey(uint16_t& Key, TShiftState Shift)
{
    const int n = VisibleTabList()->Count();
    if (HideTabs() || n == 0 || Shift == TShiftState{ssAlt} || Shift == TShiftState{ssShift, ssAlt})
        return false;
    int keyStep = 0;
    bool wrap = false;
    bool homeEnd = false;
    switch (Key) {
    case VK_TAB:
        if (!Shift.Contains(ssCtrl))
            return false;
        keyStep = Shift.Contains(ssShift) ? -1 : 1;
        wrap = true;
        break;
    case VK_RIGHT: case VK_DOWN: keyStep = 1; break;
    case VK_LEFT: case VK_UP: keyStep = -1; break;
    case VK_HOME: keyStep = -1; homeEnd = true; break;
    case VK_END: keyStep = 1; homeEnd = true; break;
    case VK_RETURN: case VK_SPACE:
        if (TrackingTab() == -1)
            return false;
        SetTabIndex(VisibleTab(TrackingTab())->Index());
        return true;
    default: return false;
    }
    // Steps follow the row's direction on the screen.
    const int s = isReversedRow() ? -keyStep : keyStep;
    int start, dir;
    if (homeEnd) {
        start = s == 1 ? n - 1 : 0;
        dir = -s;
    } else {
        const int base = TrackingTab() != -1 ? TrackingTab() : MainTabVisibleIndex();
        start = base != -1 ? base + s : (s == 1 ? 0 : n - 1);
        if (start < 0 || start >= n) {
            if (!wrap)
                return true;
            start = start < 0 ? n - 1 : 0;
        }
        dir = s;
    }
    int found = -1;
    for (int v = start;;) {
        if (VisibleTab(v)->IsEnabled()) {
            found = v;
            break;
        }
        v += dir;
        if (v < 0 || v >= n) {
            if (!wrap)
                break;
            v = v < 0 ? n - 1 : 0;
        }
        if (v == start)
            break;
    }
    if (found == -1)
        return true;
    if (Painter() != nullptr && Painter()->IsButtonStyle() && Key != VK_TAB)
        Tabs()->SetTrackingTab(found);
    else if (found != MainTabVisibleIndex())
        SetTabIndex(VisibleTab(found)->Index());
    return true;
}

void TvlCustomTabControl::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlControl::KeyDown(Key, Shift);
    // A handled key goes no further (Ctrl+Tab would reach the form too).
    if (Key != 0 && HandleNavigationKey(Key, Shift))
        Key = 0;
}

bool TvlCustomTabControl::ProcessDialogChar(QChar ACharCode)
{
    for (int i = 0; i < Tabs()->Count(); ++i)
        if (IsAccel(ACharCode, Tabs()->GetTab(i)->Caption()) && CanSelectTab(i) && CanFocus()) {
            SetTabIndex(i);
            return true;
        }
    return false;
}

// ---- messages and painting ----------------------------------------------------------

void TvlCustomTabControl::PaintOnDC(HDC DC)
{
    if (Painter() == nullptr)
        return;
    TCanvas* canvas = TCustomControl::Canvas();
    const HDC saved = canvas->HandleAllocated() ? canvas->Handle() : nullptr;
    canvas->SetHandle(DC);
    try {
        Painter()->PaintPageBackground();
    } catch (...) {
        canvas->SetHandle(saved);
        throw;
    }
    canvas->SetHandle(saved);
}

void TvlCustomTabControl::Paint()
{
    if (IsDestroying() || Painter() == nullptr)
        return;
    TvlCanvas* c = TvlControl::Canvas();
    c->SaveClipRegion();
    Painter()->Paint();
    c->RestoreClipRegion();
}

void TvlCustomTabControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGKEY: {
        const TCustomForm* form = ParentForm();
        bool focused = Focused();
        if (!focused && form != nullptr)
            for (const TControl* c = form->ActiveControl(); c != nullptr; c = c->Parent())
                if (c == this) {
                    focused = true;
                    break;
                }
        uint16_t key = uint16_t(Message.WParam);
        if (focused && HandleNavigationKey(key, KeyDataToShiftState(Message.LParam))) {
            Message.Result = 1;
            return;
        }
        break;
    }
    case CM_DIALOGCHAR:
        if (ProcessDialogChar(QChar(char16_t(Message.WParam)))) {
            Message.Result = 1;
            return;
        }
        break;
    case CM_MOUSELEAVE:
        TvlControl::Dispatch(Message);
        if (!FGoDialogShowing)
            UpdateHotTrackingState();
        return;
    case CM_ENABLEDCHANGED:
        TvlControl::Dispatch(Message);
        Tabs()->DropCaptionBitmaps();
        UpdateNavigatorButtonStates();
        Invalidate();
        return;
    case CM_PARENTCOLORCHANGED:
        TvlControl::Dispatch(Message);
        Invalidate();
        return;
    case WM_ERASEBKGND:
        // A page asks for the page background under it.
        if (Message.WParam != 0 && WPARAM(Message.LParam) == Message.WParam) {
            PaintOnDC(reinterpret_cast<HDC>(Message.WParam));
            Message.Result = 1;
            return;
        }
        break;
    default: break;
    }
    TvlControl::Dispatch(Message);
}

// ---- the unit -------------------------------------------------------------------------

std::vector<const TClassInfo*>* GetTabControlClassList()
{
    return classListHolder().get();
}

void AddvlPCUnit(TStartupList& AList)
{
    AList.Add(
        String::fromLatin1("vlPC"), [] { classListHolder() = std::make_unique<std::vector<const TClassInfo*>>(); },
        [] { classListHolder().reset(); });
}
