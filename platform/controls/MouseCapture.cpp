// MouseCapture.cpp - the explicit mouse capture, the pointer object and the
// screen cursor list.
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <map>

#include "platform/controls/AppEventHooks.h"
#include "platform/controls/Controls.h"

Qt::CursorShape ControlsCursorShape(TCursor C);

namespace {

struct TCaptureState {
    TWinControl* Control = nullptr;
    QPointer<QWidget> Widget;
    int HookId = 0;
    int Routing = 0;  // nesting of events being handed to the holder
};

// Main thread only: the capture is one per application, as the system's was.
TCaptureState& captureState()
{
    static TCaptureState s;
    return s;
}

bool isRoutedMouseEvent(QEvent::Type T)
{
    return T == QEvent::MouseButtonPress || T == QEvent::MouseButtonRelease || T == QEvent::MouseButtonDblClick
        || T == QEvent::MouseMove;
}

bool routeToCapture(QObject* Receiver, QEvent* Event)
{
    TCaptureState& s = captureState();
    if (s.Control == nullptr || !isRoutedMouseEvent(Event->type()))
        return false;
    auto* widget = qobject_cast<QWidget*>(Receiver);
    if (widget == nullptr || s.Widget == nullptr)
        return false;
    if (widget == s.Widget)
        return false;  // already on its way to the holder
    // An event the holder left unaccepted travels on to its parents: it has
    // been delivered, so it stops here.
    if (s.Routing > 0 && widget->isAncestorOf(s.Widget))
        return true;
    // Qt delivers a mouse event to the window first and then to the widget
    // under the pointer; only widgets (not their windows) are redirected.
    auto* m = static_cast<QMouseEvent*>(Event);
    const QPointF global = m->globalPosition();
    const QPointF local = s.Widget->mapFromGlobal(global);
    QMouseEvent routed(Event->type(), local, global, m->button(), m->buttons(), m->modifiers());
    QWidget* target = s.Widget;
    ++s.Routing;
    try {
        QCoreApplication::sendEvent(target, &routed);
    } catch (...) {
        --s.Routing;
        throw;
    }
    --s.Routing;
    return true;
}

std::map<TCursor, QCursor>& cursorList()
{
    static std::map<TCursor, QCursor> list;
    return list;
}

TMouse mouseObject;

}  // namespace

TMouse* const Mouse = &mouseObject;

void SetCaptureControl(TWinControl* Control)
{
    TCaptureState& s = captureState();
    if (Control == s.Control)
        return;
    TWinControl* old = s.Control;
    s.Control = Control;
    s.Widget = Control != nullptr ? Control->Widget() : nullptr;
    if (Control != nullptr && s.HookId == 0)
        s.HookId = AddAppEventHook(routeToCapture);
    else if (Control == nullptr && s.HookId != 0) {
        RemoveAppEventHook(s.HookId);
        s.HookId = 0;
    }
    if (old != nullptr)
        old->Perform(WM_CAPTURECHANGED, 0, Control != nullptr ? reinterpret_cast<LPARAM>(Control->Handle()) : 0);
}

TWinControl* GetCaptureControl()
{
    TCaptureState& s = captureState();
    if (s.Control != nullptr && s.Widget == nullptr) {
        // The holder's window went away.
        s.Control = nullptr;
        RemoveAppEventHook(s.HookId);
        s.HookId = 0;
    }
    return s.Control;
}

bool HasMouseCapture(const TWinControl* Control) { return Control != nullptr && GetCaptureControl() == Control; }

void SetMouseCapture(TWinControl* Control, bool Value)
{
    if (Value)
        SetCaptureControl(Control);
    else if (HasMouseCapture(Control))
        SetCaptureControl(nullptr);
}

void ForgetCaptureControl(TWinControl* Control)
{
    TCaptureState& s = captureState();
    if (s.Control != Control)
        return;
    s.Control = nullptr;
    s.Widget = nullptr;
    RemoveAppEventHook(s.HookId);
    s.HookId = 0;
}

TPoint TMouse::CursorPos() const
{
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

void TMouse::SetCursorPos(TPoint Value) { QCursor::setPos(Value.X, Value.Y); }

void RegisterScreenCursor(TCursor Value, const QCursor& Cursor) { cursorList()[Value] = Cursor; }
void UnregisterScreenCursor(TCursor Value) { cursorList().erase(Value); }
bool IsScreenCursorRegistered(TCursor Value) { return cursorList().contains(Value); }

QCursor ScreenCursor(TCursor Value)
{
    const auto& list = cursorList();
    if (const auto it = list.find(Value); it != list.end())
        return it->second;
    return QCursor(ControlsCursorShape(Value));
}
