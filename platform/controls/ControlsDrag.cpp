// ControlsDrag.cpp - dragging between the program's controls: one drag at
// a time, driven by the application's event hooks, with drag objects and
// the image that follows the pointer.
#include <QApplication>
#include <QBitmap>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <cstdlib>

#include "platform/controls/AppEventHooks.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ToolkitWidget.h"

// The running drag. Main thread only, like the pointer it follows.
struct TDragDriver {
    bool Active = false;     // between BeginDrag and the end of DragDone
    bool Started = false;    // the pointer went beyond the threshold
    bool Finishing = false;  // DragDone is telling target and source
    bool SourceGone = false;
    TControl* Source = nullptr;
    TDragObject* Object = nullptr;
    std::unique_ptr<TDragObject> Owned;
    TControl* Target = nullptr;
    bool Accepted = false;  // the target's last answer
    TPoint StartPos;
    int Threshold = 0;
    int HookId = 0;
    TCursor SavedCursor = crDefault;
    TDragImageList* Images = nullptr;
    // Qt offers one input event to the hooks once per widget it passes;
    // the first sighting is the one that counts.
    QEvent::Type LastType = QEvent::None;
    quint64 LastTimestamp = 0;
    QPointF LastPos;

    static TDragDriver& Get()
    {
        static TDragDriver d;
        return d;
    }
    static void SetObjectPos(TDragObject* O, TPoint P) { O->FDragPos = P; }
    static void SetObjectTarget(TDragObject* O, TControl* T, TPoint TP)
    {
        O->FDragTarget = T;
        O->FDragTargetPos = TP;
    }
    static void SetObjectEnd(TDragObject* O, bool Cancelling, bool Dropped)
    {
        O->FCancelling = Cancelling;
        O->FDropped = Dropped;
    }
};

namespace {

TObject* sourceOf(TDragObject* Object)
{
    if (auto* c = dynamic_cast<TBaseDragControlObject*>(Object))
        return c->Control();
    return Object;
}

bool seenBefore(QEvent::Type T, quint64 Timestamp, QPointF Pos)
{
    TDragDriver& d = TDragDriver::Get();
    if (d.LastType == T && d.LastTimestamp == Timestamp && d.LastPos == Pos)
        return true;
    d.LastType = T;
    d.LastTimestamp = Timestamp;
    d.LastPos = Pos;
    return false;
}

bool dragHook(QObject* Receiver, QEvent* E)
{
    TDragDriver& d = TDragDriver::Get();
    if (!d.Active || d.Finishing || qobject_cast<QWidget*>(Receiver) == nullptr)
        return false;
    switch (E->type()) {
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(E);
        const QPointF g = m->globalPosition();
        if (seenBefore(E->type(), m->timestamp(), g))
            return d.Started;
        const TPoint p{int(g.x()), int(g.y())};
        if (!d.Started) {
            if (std::abs(p.X - d.StartPos.X) < d.Threshold && std::abs(p.Y - d.StartPos.Y) < d.Threshold)
                return false;
        }
        DragTo(p);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(E);
        if (seenBefore(E->type(), m->timestamp(), m->globalPosition()))
            return true;
        // Released before the threshold: no drag, the click goes on.
        const bool started = d.Started;
        DragDone(started);
        return started;
    }
    case QEvent::MouseButtonPress: case QEvent::MouseButtonDblClick:
        return d.Started;
    case QEvent::KeyPress: case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(E);
        // A key has no position: its code and modifiers stand in for one.
        if (seenBefore(E->type(), k->timestamp(), QPointF(k->key(), int(k->modifiers()))))
            return true;
        if (k->key() == Qt::Key_Escape) {
            if (E->type() == QEvent::KeyPress)
                DragDone(false);
            return true;
        }
        if (d.Started && (k->key() == Qt::Key_Control || k->key() == Qt::Key_Shift) && d.Object != nullptr)
            DragTo(d.Object->DragPos());  // the cursor may change with the modifier
        return d.Started;
    }
    default:
        return false;
    }
}

// Dock drags ask dock sites (Accept starts true: the site agreed to take
// the client already), other drags their targets.
bool askTarget(TControl* Target, TDragObject* Object, TPoint TP, TDragState State)
{
    if (auto* dock = dynamic_cast<TDragDockObject*>(Object)) {
        bool accept = true;
        static_cast<TWinControl*>(Target)->DockOver(dock, TP.X, TP.Y, State, accept);
        return accept;
    }
    bool accept = false;
    Target->DragOver(sourceOf(Object), TP.X, TP.Y, State, accept);
    return accept;
}

// A dock drag let go: into the accepting site, else floating where the
// pointer is (when the client can float at all).
void dockDropped(TDragDockObject* Object, TWinControl* Site, TPoint TP)
{
    TControl* client = Object->Control();
    if (client == nullptr)
        return;
    if (Site != nullptr) {
        TWinControl* host = client->HostDockSite();
        if (host != nullptr && host != Site && !host->DoUnDock(Site, client))
            return;
        Site->DockDrop(Object, TP.X, TP.Y);
        return;
    }
    const TPoint p = Object->DragPos();
    if (client->HostDockSite() != nullptr && dynamic_cast<TCustomForm*>(client) != nullptr
        && client->HostDockSite()->DoUnDock(nullptr, client))
        client->Dock(nullptr, Bounds(p.X, p.Y, client->UndockWidth(), client->UndockHeight()));
}

void resetDriver()
{
    TDragDriver& d = TDragDriver::Get();
    if (d.HookId != 0)
        RemoveAppEventHook(d.HookId);
    d = TDragDriver{};
}

}  // namespace

void DragControlGone(TControl* Control)
{
    TDragDriver& d = TDragDriver::Get();
    if (!d.Active)
        return;
    if (d.Target == Control)
        d.Target = nullptr;
    if (d.Object != nullptr && d.Object->DragTarget() == Control)
        TDragDriver::SetObjectTarget(d.Object, nullptr, TPoint{0, 0});
    if (d.Source == Control) {
        // A source going away cannot hear how its drag ended.
        d.Source = nullptr;
        d.SourceGone = true;
        if (!d.Finishing)
            DragDone(false);
    }
}

// ---------------------------------------------------------------- objects

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }

void TDragObject::Finished(TObject*, int, int, bool) {}

void TDragObject::HideDragImage()
{
    if (TDragImageList* images = GetDragImages())
        images->HideDragImage();
}

void TDragObject::ShowDragImage()
{
    if (TDragImageList* images = GetDragImages())
        images->ShowDragImage();
}

void TBaseDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted)
{
    TDragObject::Finished(Target, X, Y, Accepted);
    if (FControl != nullptr)
        FControl->DoEndDrag(Target, X, Y);
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int X, int Y)
{
    if (Accepted && Control() != nullptr)
        return Control()->DragCursor();
    return TDragObject::GetDragCursor(Accepted, X, Y);
}

TDragImageList* TDragControlObject::GetDragImages()
{
    return Control() != nullptr ? Control()->GetDragImages() : nullptr;
}

// ------------------------------------------------------------ image list

TDragImageList::TDragImageList(TComponent* AOwner) : TImageList(AOwner) {}

TDragImageList::~TDragImageList() = default;

bool TDragImageList::SetDragImage(int Index, int HotSpotX, int HotSpotY)
{
    if (Index < 0 || Index >= Count())
        return false;
    FDragIndex = Index;
    FHotSpot = TPoint{HotSpotX, HotSpotY};
    return true;
}

bool TDragImageList::BeginDrag(int X, int Y)
{
    if (FDragIndex < 0 || FDragIndex >= Count())
        return false;
    const QPixmap picture = QPixmap::fromImage(ImageAt(FDragIndex));
    auto label = std::make_unique<QLabel>(
        nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAttribute(Qt::WA_ShowWithoutActivating);
    label->setPixmap(picture);
    label->resize(picture.size());
    // Without a compositor the hidden pixels must be cut away.
    label->setMask(picture.mask());
    FWindow = std::move(label);
    FDragging = true;
    DragMove(X, Y);
    FWindow->show();
    return true;
}

bool TDragImageList::DragMove(int X, int Y)
{
    if (!FDragging || FWindow == nullptr)
        return false;
    FWindow->move(X - FHotSpot.X, Y - FHotSpot.Y);
    return true;
}

bool TDragImageList::EndDrag()
{
    if (!FDragging)
        return false;
    FWindow.reset();
    FDragging = false;
    return true;
}

void TDragImageList::ShowDragImage()
{
    if (FWindow != nullptr)
        FWindow->show();
}

void TDragImageList::HideDragImage()
{
    if (FWindow != nullptr)
        FWindow->hide();
}

// ------------------------------------------------------------------ drag

TDragObject* GetDragObject()
{
    const TDragDriver& d = TDragDriver::Get();
    return d.Active ? d.Object : nullptr;
}

TDragObject* AdoptDragObject(std::unique_ptr<TDragObject> Object)
{
    TDragDriver& d = TDragDriver::Get();
    d.Owned = std::move(Object);
    return d.Owned.get();
}

bool TControl::Dragging() const
{
    const TDragDriver& d = TDragDriver::Get();
    return d.Active && d.Source == this;
}

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    TDragDriver& d = TDragDriver::Get();
    if (d.Active)
        return;
    d.Active = true;
    d.Source = this;
    d.StartPos = Mouse->CursorPos();
    d.Threshold = Threshold < 0 ? Mouse->DragThreshold() : Threshold;
    TDragObject* object = nullptr;
    DoStartDrag(object);
    if (!d.Active || d.Source != this)
        return;  // cancelled, or gone, while starting
    if (object == nullptr && FDragKind == dkDock)
        object = AdoptDragObject(std::make_unique<TDragDockObject>(this));
    if (object == nullptr)
        object = AdoptDragObject(std::make_unique<TDragControlObject>(this));
    d.Object = object;
    TDragDriver::SetObjectPos(object, d.StartPos);
    // The drag follows the pointer now; whoever held it lets go.
    if (GetCaptureControl() != nullptr)
        SetCaptureControl(nullptr);
    d.HookId = AddAppEventHook(dragHook);
    d.SavedCursor = Screen != nullptr ? Screen->Cursor() : crDefault;
    if (Immediate)
        DragTo(d.StartPos);
}

void TControl::EndDrag(bool Drop)
{
    if (Dragging())
        DragDone(Drop);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

void TControl::DoStartDrag(TDragObject*& DragObject)
{
    if (OnStartDrag)
        OnStartDrag(this, DragObject);
}

void DragTo(TPoint P)
{
    TDragDriver& d = TDragDriver::Get();
    if (!d.Active || d.Finishing || d.Object == nullptr)
        return;
    d.Started = true;
    TDragObject* object = d.Object;
    TDragDriver::SetObjectPos(object, P);
    auto ask = [&](TControl* Target, TDragState State) {
        const TPoint tp = Target->ScreenToClient(P);
        TDragDriver::SetObjectTarget(object, Target, tp);
        return askTarget(Target, object, tp, State);
    };
    auto* dock = dynamic_cast<TDragDockObject*>(object);
    if (dock != nullptr && dock->Control() != nullptr) {
        // The client would land where the pointer has carried it; a site
        // may say otherwise in DockOver.
        const TControl* client = dock->Control();
        const TPoint origin = client->ClientToScreen(TPoint{0, 0});
        dock->SetDockRect(Bounds(origin.X + P.X - d.StartPos.X, origin.Y + P.Y - d.StartPos.Y, client->Width(),
                                 client->Height()));
    }
    TControl* target = dock != nullptr ? FindDockSite(dock->Control(), P) : FindDragTarget(P, false);
    if (target != d.Target) {
        if (d.Target != nullptr)
            ask(d.Target, dsDragLeave);
        if (!d.Active || d.Object != object)
            return;
        d.Target = target;
        if (target != nullptr)
            ask(target, dsDragEnter);
        if (!d.Active || d.Object != object)
            return;
    }
    d.Accepted = d.Target != nullptr && ask(d.Target, dsDragMove);
    if (!d.Active || d.Object != object)
        return;
    if (d.Target == nullptr)
        TDragDriver::SetObjectTarget(object, nullptr, TPoint{0, 0});
    if (Screen != nullptr)
        Screen->SetCursor(object->GetDragCursor(d.Accepted, P.X, P.Y));
    if (d.Images == nullptr && (d.Images = object->GetDragImages()) != nullptr)
        d.Images->BeginDrag(P.X, P.Y);
    else if (d.Images != nullptr)
        d.Images->DragMove(P.X, P.Y);
}

void DragDone(bool Drop)
{
    TDragDriver& d = TDragDriver::Get();
    if (!d.Active || d.Finishing)
        return;
    d.Finishing = true;
    if (d.HookId != 0) {
        RemoveAppEventHook(d.HookId);
        d.HookId = 0;
    }
    if (d.Images != nullptr)
        d.Images->EndDrag();
    if (Screen != nullptr)
        Screen->SetCursor(d.SavedCursor);
    TDragObject* object = d.Object;
    if (object != nullptr) {
        const bool accepted = Drop && d.Started && d.Target != nullptr && d.Accepted;
        TDragDriver::SetObjectEnd(object, !Drop, Drop);
        const TPoint p = object->DragPos();
        TPoint tp{0, 0};
        if (d.Target != nullptr && d.Started) {
            tp = d.Target->ScreenToClient(p);
            askTarget(d.Target, object, tp, dsDragLeave);
        }
        TControl* target = accepted ? d.Target : nullptr;
        auto* dock = dynamic_cast<TDragDockObject*>(object);
        if (dock != nullptr && Drop && d.Started && !d.SourceGone)
            dockDropped(dock, accepted ? static_cast<TWinControl*>(target) : nullptr, tp);
        else if (accepted && target != nullptr)
            target->DragDrop(sourceOf(object), tp.X, tp.Y);
        if (!accepted || d.Target == nullptr) {
            target = nullptr;
            tp = TPoint{0, 0};
        }
        if (!d.SourceGone)
            object->Finished(target, tp.X, tp.Y, accepted);
    }
    const std::unique_ptr<TDragObject> owned = std::move(d.Owned);
    resetDriver();
}

void CancelDrag() { DragDone(false); }

TControl* FindDragTarget(TPoint P, bool AllowDisabled)
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr)
        return nullptr;
    const QPoint p(P.X, P.Y);
    QWidget* w = QApplication::widgetAt(p);
    if (w != nullptr && w->window()->testAttribute(Qt::WA_TransparentForMouseEvents))
        w = nullptr;
    if (w == nullptr) {
        // The window found first lets the mouse through: look at the others
        // (the last made lies on top).
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (auto it = windows.rbegin(); it != windows.rend() && w == nullptr; ++it) {
            QWidget* top = *it;
            if (!top->isVisible() || top->testAttribute(Qt::WA_TransparentForMouseEvents)
                || !top->geometry().contains(p))
                continue;
            w = top->childAt(top->mapFromGlobal(p));
            if (w == nullptr)
                w = top;
        }
    }
    TWinControl* window = nullptr;
    for (; w != nullptr && window == nullptr; w = w->parentWidget())
        if (auto* bridge = dynamic_cast<IToolkitWidget*>(w))
            window = bridge->OwnerControl();
    if (window == nullptr)
        return nullptr;
    TControl* child = window->ControlAtPos(window->ScreenToClient(P), AllowDisabled);
    if (child != nullptr && dynamic_cast<TWinControl*>(child) == nullptr)
        return child;
    return window;
}
