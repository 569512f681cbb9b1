// The inner list box of the list editors: input handed to the container
// first, items drawn on a canvas, vl scroll bars over the list's own, and
// an incremental search.
#include <QAbstractItemView>
#include <QDateTime>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "platform/controls/ToolkitWidget.h"
#include "platform/graphics/Graphics.h"
#include "ui/foundation/vlContainer.h"

namespace {

// The container's own handlers, which its inner controls call as if they
// were the container's.
struct TContainerAccess : TvlContainer {
    using TvlContainer::Click;
    using TvlContainer::DblClick;
    using TvlContainer::DoMouseWheel;
    using TvlContainer::FInnerControlMouseDown;
    using TvlContainer::InnerControlMenuHandler;
    using TvlContainer::KeyDown;
    using TvlContainer::KeyPress;
    using TvlContainer::KeyUp;
};

void containerKeyDown(TvlContainer* C, uint16_t& Key, TShiftState Shift) { (C->*&TContainerAccess::KeyDown)(Key, Shift); }
void containerKeyUp(TvlContainer* C, uint16_t& Key, TShiftState Shift) { (C->*&TContainerAccess::KeyUp)(Key, Shift); }
void containerKeyPress(TvlContainer* C, QChar& Key) { (C->*&TContainerAccess::KeyPress)(Key); }
void containerClick(TvlContainer* C) { (C->*&TContainerAccess::Click)(); }
void containerDblClick(TvlContainer* C) { (C->*&TContainerAccess::DblClick)(); }
bool containerMouseWheel(TvlContainer* C, TShiftState Shift, int Delta, TPoint P)
{
    return (C->*&TContainerAccess::DoMouseWheel)(Shift, Delta, P);
}
bool containerMenuHandler(TvlContainer* C, TMessage& Message)
{
    return (C->*&TContainerAccess::InnerControlMenuHandler)(Message);
}
bool& innerMouseDown(TvlContainer* C) { return C->*&TContainerAccess::FInnerControlMouseDown; }

uint32_t systemTickCount()
{
    static const QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return uint32_t(started.elapsed());
}

bool isDestroying(const TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDestroying); }

// The list widget with no search of its own: typing is the list box's.
class TInnerListWidget : public QListWidget {
public:
    using QListWidget::QListWidget;
    void keyboardSearch(const QString&) override {}
};

// Brings the vl bars up to date when the list's own bars change. The list
// changes them while it lays out or paints its items, so the update comes
// after the event being handled (once for any number of changes).
class TBarWatch : public QObject {
public:
    TBarWatch(TvlCustomInnerListBox* ABox, QListWidget* AList) : Watched(AList), FBox(ABox) {}

    QPointer<QListWidget> Watched;

    void Schedule()
    {
        if (FPending)
            return;
        FPending = true;
        QMetaObject::invokeMethod(this, [this] {
            FPending = false;
            FBox->UpdateScrollBars();
        }, Qt::QueuedConnection);
    }

protected:
    bool eventFilter(QObject*, QEvent* E) override
    {
        switch (E->type()) {
        case QEvent::Show: case QEvent::Hide: case QEvent::Move: case QEvent::Resize:
            Schedule();
            break;
        default:
            break;
        }
        return false;
    }

private:
    TvlCustomInnerListBox* FBox;
    bool FPending = false;
};

QScrollBar* systemBar(QListWidget* W, TScrollBarKind Kind)
{
    return Kind == sbHorizontal ? W->horizontalScrollBar() : W->verticalScrollBar();
}

}  // namespace

// Paints every item through the list box's canvas.
class TvlCustomInnerListBox::TItemDelegate : public QStyledItemDelegate {
public:
    TItemDelegate(TvlCustomInnerListBox* ABox, QObject* AParent) : QStyledItemDelegate(AParent), FBox(ABox) {}

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const QRect r = Option.rect;
        if (r.isEmpty())
            return;
        QImage image(r.size(), QImage::Format_RGB32);
        TDeviceContext dc(&image);
        TOwnerDrawState state;
        if (Option.state & QStyle::State_Selected)
            state.Include(odSelected);
        if (Option.state & QStyle::State_HasFocus)
            state.Include(odFocused);
        if (!(Option.state & QStyle::State_Enabled))
            state.Include(odDisabled);
        FBox->DrawListItem(&dc, Index.row(), Rect(0, 0, r.width(), r.height()), state);
        Painter->drawImage(r.topLeft(), image);
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(Option, Index);
        if (const int h = FBox->MeasureItemHeight(Index.row()); h > 0)
            size.setHeight(h);
        return size;
    }

private:
    TvlCustomInnerListBox* FBox;
};

TvlCustomInnerListBox::TvlCustomInnerListBox(TComponent* AOwner)
    : TListBox(AOwner), FTickCount(systemTickCount)
{
    FBaseCanvas = std::make_unique<TCanvas>();
    FCanvas = std::make_unique<TvlCanvas>(FBaseCanvas.get());
    FLookAndFeel = std::make_unique<TvlLookAndFeel>(this);
    FLookAndFeel->OnChanged = TvlLookAndFeelNotifyEvent(this, &TvlCustomInnerListBox::lookAndFeelChanged);
    auto makeBar = [this](TScrollBarKind AKind, void (TvlCustomInnerListBox::*AHandler)(TObject*, TScrollCode, int&)) {
        auto bar = std::make_unique<TvlScrollBar>(nullptr);
        bar->FreeNotification(this);
        bar->SetKind(AKind);
        bar->OnScroll = TScrollEvent(this, AHandler);
        bar->SetSmallChange(1);
        bar->SetVisible(false);
        bar->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
        return bar;
    };
    FHScrollBar = makeBar(sbHorizontal, &TvlCustomInnerListBox::HScrollHandler);
    FVScrollBar = makeBar(sbVertical, &TvlCustomInnerListBox::VScrollHandler);
    SetControlStyle((ControlStyle() - TControlStyle{csOpaque}) + TControlStyle{csDoubleClicks});
    SetParentColor(false);
    SetParentFont(true);
}

TvlCustomInnerListBox::~TvlCustomInnerListBox()
{
    FBarWatch.reset();
    FHScrollBar.reset();
    FVScrollBar.reset();
    FLookAndFeel.reset();
    FCanvas.reset();
    FBaseCanvas.reset();
    if (FContainer != nullptr)
        FContainer->RemoveFreeNotification(this);
}

void TvlCustomInnerListBox::SetContainer(TvlContainer* Value)
{
    if (FContainer == Value)
        return;
    if (FContainer != nullptr)
        FContainer->RemoveFreeNotification(this);
    FContainer = Value;
    if (FContainer != nullptr)
        FContainer->FreeNotification(this);
}

void TvlCustomInnerListBox::SetTickCount(std::function<uint32_t()> Value)
{
    FTickCount = Value ? std::move(Value) : std::function<uint32_t()>(systemTickCount);
}

void TvlCustomInnerListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TListBox::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FContainer)
        FContainer = nullptr;
    if (AComponent == FHScrollBar.get())
        (void)FHScrollBar.release();
    if (AComponent == FVScrollBar.get())
        (void)FVScrollBar.release();
}

std::unique_ptr<QWidget> TvlCustomInnerListBox::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TToolkitWidget<TInnerListWidget>>(this, ParentWidget);
    w->setFrameShape(QFrame::NoFrame);
    w->setItemDelegate(new TItemDelegate(this, w.get()));
    QObject::connect(w.get(), &QListWidget::currentRowChanged, [this] {
        SafeCall([&] { Perform(CN_COMMAND, MakeWParam(0, LBN_SELCHANGE), 0); });
    });
    return w;
}

void TvlCustomInnerListBox::watchSystemBars()
{
    QListWidget* w = listWidget();
    if (w == nullptr || (FBarWatch != nullptr && static_cast<TBarWatch*>(FBarWatch.get())->Watched == w))
        return;
    auto watch = std::make_unique<TBarWatch>(this, w);
    for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
        QScrollBar* bar = systemBar(w, kind);
        bar->installEventFilter(watch.get());
        if (bar->parentWidget() != nullptr && bar->parentWidget() != w)
            bar->parentWidget()->installEventFilter(watch.get());
        TBarWatch* target = watch.get();
        QObject::connect(bar, &QScrollBar::rangeChanged, target, [target] { target->Schedule(); });
        QObject::connect(bar, &QScrollBar::valueChanged, target, [target] { target->Schedule(); });
    }
    FBarWatch = std::move(watch);
}

// ------------------------------------------------------------ forwarding

void TvlCustomInnerListBox::DefaultHandler(TMessage& Message)
{
    if (FContainer == nullptr || !FContainer->InnerControlDefaultHandler(Message))
        TListBox::DefaultHandler(Message);
}

void TvlCustomInnerListBox::WndProc(TMessage& Message)
{
    if (FContainer != nullptr && containerMenuHandler(FContainer, Message))
        return;
    TListBox::WndProc(Message);
    switch (Message.Msg) {
    case WM_SIZE: case WM_MOVE: case WM_HSCROLL: case WM_VSCROLL: case WM_MOUSEWHEEL: case LB_SETCURSEL:
        UpdateScrollBars();
        break;
    default:
        break;
    }
}

void TvlCustomInnerListBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        leftButtonDown(Message);
        return;
    case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR:
        TListBox::Dispatch(Message);
        // The container has had the key already (first, through the key
        // handlers): the key goes no further.
        if (TToolkitEvent* e = CurrentToolkitEvent(); e != nullptr && e->Event != nullptr && FContainer != nullptr)
            e->Event->accept();
        return;
    case WM_MOUSEWHEEL:
        if (FContainer != nullptr) {
            const TPoint p = PointFromLParam(Message.LParam);
            if (containerMouseWheel(FContainer, KeysToShiftState(LoWord(Message.WParam)), int16_t(HiWord(Message.WParam)), p))
                return;
        }
        TListBox::Dispatch(Message);
        return;
    case WM_SETFOCUS: case WM_KILLFOCUS:
        TListBox::Dispatch(Message);
        if (FContainer != nullptr && !isDestroying(FContainer) && !isDestroying(this))
            FContainer->FocusChanged();
        return;
    case CM_MOUSEENTER:
        TListBox::Dispatch(Message);
        MouseEnter(MouseMessageControl(Message, this));
        return;
    case CM_MOUSELEAVE:
        TListBox::Dispatch(Message);
        MouseLeave(MouseMessageControl(Message, this));
        return;
    default:
        TListBox::Dispatch(Message);
    }
}

void TvlCustomInnerListBox::MouseLeave(TControl*)
{
    if (FContainer != nullptr)
        FContainer->ShortRefreshContainer(true);
}

void TvlCustomInnerListBox::KeyDown(uint16_t& Key, TShiftState Shift)
{
    const uint16_t pressed = Key;
    if (FContainer != nullptr)
        containerKeyDown(FContainer, Key, Shift);
    if (Key != 0)
        TListBox::KeyDown(Key, Shift);
    // These keys give no character message here; the list box raises the
    // character the keyboard stands for (whatever the key handlers did with
    // the key), as the search and the container expect one.
    if (pressed == VK_BACK || pressed == VK_RETURN || pressed == VK_ESCAPE) {
        QChar ch(char16_t(pressed == VK_BACK ? 8 : pressed == VK_RETURN ? 13 : 27));
        KeyPress(ch);
    }
}

void TvlCustomInnerListBox::KeyPress(QChar& Key)
{
    if (Key == QChar(9))
        Key = QChar(0);
    if (Key != QChar(0) && FContainer != nullptr)
        containerKeyPress(FContainer, Key);
    if (Key == QChar(13))
        Key = QChar(0);
    if (Key != QChar(0) && OnKeyPress)
        OnKeyPress(this, Key);
    if (Key != QChar(0))
        DoAutoComplete(Key);
}

void TvlCustomInnerListBox::KeyUp(uint16_t& Key, TShiftState Shift)
{
    if (Key == VK_TAB)
        Key = 0;
    if (FContainer != nullptr)
        containerKeyUp(FContainer, Key, Shift);
    if (Key != 0)
        TListBox::KeyUp(Key, Shift);
}

void TvlCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TListBox::MouseDown(Button, Shift, X, Y);
    if (FContainer == nullptr)
        return;
    bool& mark = innerMouseDown(FContainer);
    mark = true;
    try {
        FContainer->MouseDown(Button, Shift, X + Left(), Y + Top());
    } catch (...) {
        mark = false;
        throw;
    }
    mark = false;
}

void TvlCustomInnerListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TListBox::MouseMove(Shift, X, Y);
    if (FContainer != nullptr)
        FContainer->MouseMove(Shift, X + Left(), Y + Top());
}

void TvlCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TListBox::MouseUp(Button, Shift, X, Y);
    if (FContainer != nullptr)
        FContainer->MouseUp(Button, Shift, X + Left(), Y + Top());
}

void TvlCustomInnerListBox::Click()
{
    TListBox::Click();
    if (FVScrollBar != nullptr)
        FVScrollBar->SetPosition(TopIndex());
    if (FContainer != nullptr)
        containerClick(FContainer);
}

void TvlCustomInnerListBox::DblClick()
{
    TListBox::DblClick();
    if (FContainer != nullptr)
        containerDblClick(FContainer);
}

void TvlCustomInnerListBox::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = false;
    if (FContainer != nullptr)
        FContainer->DragOver(Source, X + Left(), Y + Top(), State, Accept);
}

void TvlCustomInnerListBox::DragDrop(TObject* Source, int X, int Y)
{
    if (FContainer != nullptr)
        FContainer->DragDrop(Source, X + Left(), Y + Top());
}

void TvlCustomInnerListBox::leftButtonDown(TMessage& Message)
{
    if (FContainer == nullptr || FContainer->ComponentState().Contains(csDesigning) || DragMode() != dmAutomatic) {
        TListBox::Dispatch(Message);
        return;
    }
    // The press runs without the list box's own automatic drag; the
    // container's drag stands for it.
    SetDragMode(dmManual);
    try {
        const TShiftState shift = KeysToShiftState(Message.WParam);
        const bool shiftOnly = shift.Contains(ssShift) && !shift.Contains(ssCtrl);
        const int item = ItemAtPos(PointFromLParam(Message.LParam), true);
        // A press on a selected item of a multi-select list keeps the whole
        // selection for the drag that may follow.
        if (MultiSelect() && !shiftOnly && item >= 0 && Selected(item))
            FContainer->BeginDrag(false, -1);
        else {
            TListBox::Dispatch(Message);
            if (!(MultiSelect() && (shift.Contains(ssCtrl) || shift.Contains(ssShift))))
                FContainer->BeginDrag(false, -1);
        }
    } catch (...) {
        SetDragMode(dmAutomatic);
        throw;
    }
    SetDragMode(dmAutomatic);
}

// ------------------------------------------------------------ the search

void TvlCustomInnerListBox::DoAutoComplete(QChar& Key)
{
    if (!AutoComplete())
        return;
    const uint32_t now = FTickCount();
    if (now - FLastKeyTime >= AutoCompleteDelay())
        FSearchText.clear();
    FLastKeyTime = now;
    if (Key == QChar(8)) {
        if (!FSearchText.isEmpty())
            FSearchText.chop(1);
    } else {
        FSearchText += Key;
    }
    if (FSearchText.isEmpty()) {
        SetItemIndex(0);
        Click();
        return;
    }
    int found = -1;
    for (int i = 0; i < Items()->Count(); ++i)
        if (Items()->Strings(i).startsWith(FSearchText, Qt::CaseInsensitive)) {
            found = i;
            break;
        }
    if (found < 0)
        return;
    if (MultiSelect()) {
        ClearSelection();
        SetSelected(found, true);
    }
    SetItemIndex(found);
    Click();
    if (Key != QChar(8) && Key != QChar(13) && Key != QChar(27))
        Key = QChar(0);
}

// ------------------------------------------------------------ drawing

void TvlCustomInnerListBox::DrawListItem(HDC DC, int Index, const TRect& Rect, TOwnerDrawState State)
{
    FBaseCanvas->SetHandle(DC);
    FBaseCanvas->Font()->Assign(Font());
    FBaseCanvas->Brush()->SetColor(Color());
    if (Index >= 0 && State.Contains(odSelected)) {
        FBaseCanvas->Brush()->SetColor(clHighlight);
        FBaseCanvas->Font()->SetColor(clHighlightText);
    }
    if (Index < 0)
        FBaseCanvas->FillRect(Rect);
    else
        DrawItem(Index, Rect, State);
    if (State.Contains(odFocused) && NeedDrawFocusRect())
        FBaseCanvas->DrawFocusRect(Rect);
    FBaseCanvas->SetHandle(nullptr);
}

void TvlCustomInnerListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FBaseCanvas->FillRect(Rect);
    if (Index < Items()->Count())
        FBaseCanvas->TextOut(Rect.Left + 2, Rect.Top, Items()->Strings(Index));
}

// ------------------------------------------------------------ scroll bars

void TvlCustomInnerListBox::ItemsChanged()
{
    TListBox::ItemsChanged();
    UpdateScrollBars();
}

void TvlCustomInnerListBox::BoundsChanged(bool Moved, bool Resized)
{
    TListBox::BoundsChanged(Moved, Resized);
    UpdateScrollBars();
}

void TvlCustomInnerListBox::LookAndFeelChanged()
{
    if (HandleAllocated())
        Invalidate();
}

void TvlCustomInnerListBox::UpdateScrollBars()
{
    if (isDestroying(this) || FScrollBarLockCount > 0 || FCalculating || !UsevlScrollBars())
        return;
    watchSystemBars();
    FCalculating = true;
    try {
        if (FHScrollBar != nullptr)
            SyncScrollBar(FHScrollBar.get());
        if (FVScrollBar != nullptr)
            SyncScrollBar(FVScrollBar.get());
    } catch (...) {
        FCalculating = false;
        throw;
    }
    FCalculating = false;
}

void TvlCustomInnerListBox::SyncScrollBar(TvlScrollBar* AScrollBar)
{
    QListWidget* w = listWidget();
    QScrollBar* system = w != nullptr ? systemBar(w, AScrollBar->Kind()) : nullptr;
    bool visible = false;
    if (Parent() != nullptr && system != nullptr && system->isVisibleTo(w)) {
        visible = true;
        AScrollBar->SetEnabled(system->isEnabled() && Parent()->Enabled());
        const QPoint origin = system->mapTo(w, QPoint(0, 0));
        const TRect r = Bounds(Left() + origin.x(), Top() + origin.y(), system->width(), system->height());
        if (r.Left < 0 || r.Top < 0 || r.Width() > Width() || r.Height() > Height())
            visible = false;
        else
            AScrollBar->SetBoundsRect(r);
    }
    if (visible) {
        ++FScrollBarLockCount;
        try {
            AScrollBar->SetParent(Parent());
            AScrollBar->BringToFront();
        } catch (...) {
            --FScrollBarLockCount;
            throw;
        }
        --FScrollBarLockCount;
    } else {
        AScrollBar->SetBounds(0, 0, 0, 0);
    }
    AScrollBar->SetVisible(visible);
    if (!visible)
        return;
    // The list's bar counts its positions; the vl bar takes the range of
    // units with the page as the last position's extent.
    const int page = system->pageStep();
    const int max = system->maximum() + page - 1;
    AScrollBar->SetScrollParams(system->minimum(), max, system->value(), std::min(page, max));
}

void TvlCustomInnerListBox::HScrollHandler(TObject*, TScrollCode ScrollCode, int& ScrollPos)
{
    QListWidget* w = listWidget();
    if (w == nullptr)
        return;
    QScrollBar* system = w->horizontalScrollBar();
    switch (ScrollCode) {
    case scLineUp: system->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case scLineDown: system->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case scPageUp: system->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case scPageDown: system->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case scTop: system->triggerAction(QAbstractSlider::SliderToMinimum); break;
    case scBottom: system->triggerAction(QAbstractSlider::SliderToMaximum); break;
    case scPosition: case scTrack: system->setValue(ScrollPos); break;
    case scEndScroll: break;
    }
    ScrollPos = system->value();
}

void TvlCustomInnerListBox::VScrollHandler(TObject*, TScrollCode ScrollCode, int& ScrollPos)
{
    QListWidget* w = listWidget();
    if (w == nullptr)
        return;
    QScrollBar* system = w->verticalScrollBar();
    switch (ScrollCode) {
    case scLineUp: case scLineDown:
        SetTopIndex(ScrollPos);
        return;
    case scPosition: case scTrack:
        SetTopIndex(ScrollPos);
        break;
    case scPageUp: system->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case scPageDown: system->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case scTop: system->triggerAction(QAbstractSlider::SliderToMinimum); break;
    case scBottom: system->triggerAction(QAbstractSlider::SliderToMaximum); break;
    case scEndScroll: break;
    }
    ScrollPos = system->value();
}

TRect TvlCustomInnerListBox::GetSizeGripRect() const
{
    if (FHScrollBar == nullptr || FVScrollBar == nullptr || !FHScrollBar->Visible() || !FVScrollBar->Visible())
        return TRect{0, 0, 0, 0};
    return Bounds(FVScrollBar->Left() - Left(), FHScrollBar->Top() - Top(), FVScrollBar->Width(), FHScrollBar->Height());
}
