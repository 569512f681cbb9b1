#include "platform/controls/Messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <deque>
#include <mutex>
#include <unordered_map>

#include "platform/rtl/Exception.h"

namespace {

const QEvent::Type postedMessageType = static_cast<QEvent::Type>(QEvent::registerEventType());

// A posted message waiting for the event loop; it stays listed until it is
// handled or taken out of the queue, so callers can look into the queue.
struct TPendingMessage {
    HWND Wnd;
    TMessage Message;
    bool Removed = false;
};

class TPostedMessageEvent : public QEvent {
public:
    explicit TPostedMessageEvent(std::shared_ptr<TPendingMessage> Pending)
        : QEvent(postedMessageType), FPending(std::move(Pending))
    {
    }
    std::shared_ptr<TPendingMessage> FPending;
};

bool takePending(const std::shared_ptr<TPendingMessage>& Pending);

// Receives posted messages in the main thread and hands them to the window
// that owns the handle then, if any.
class TPostTarget : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != postedMessageType)
            return QObject::event(e);
        auto* posted = static_cast<TPostedMessageEvent*>(e);
        if (!takePending(posted->FPending))
            return true;  // taken out of the queue meanwhile
        if (TMessageReceiver* receiver = FindReceiver(posted->FPending->Wnd)) {
            TMessage message = posted->FPending->Message;
            SafeCall([&] { receiver->ReceiveMessage(message); });
        }
        return true;
    }
};

// The live handles. Handles are never reused while the program runs, so a
// stale handle can never reach a newer window.
struct THandleTable {
    std::mutex Lock;
    std::unordered_map<uintptr_t, TMessageReceiver*> Receivers;
    uintptr_t NextId = 0x1000;
    std::unique_ptr<TPostTarget> Target;  // exists while any receiver does
    std::deque<std::shared_ptr<TPendingMessage>> Pending;  // posting order
};

THandleTable& table()
{
    static THandleTable instance;
    return instance;
}

// Unlists a message the loop is about to handle; false when it was taken
// out of the queue before.
bool takePending(const std::shared_ptr<TPendingMessage>& Pending)
{
    auto& t = table();
    const std::lock_guard guard(t.Lock);
    const auto it = std::find(t.Pending.begin(), t.Pending.end(), Pending);
    if (it != t.Pending.end())
        t.Pending.erase(it);
    return !Pending->Removed;
}

}  // namespace

TMessageReceiver::TMessageReceiver()
{
    auto& t = table();
    std::unique_ptr<TPostTarget> created;
    if (QCoreApplication::instance() != nullptr)
        created = std::make_unique<TPostTarget>();  // in the constructing (main) thread
    const std::lock_guard guard(t.Lock);
    t.NextId += 4;
    FHandle = reinterpret_cast<HWND>(t.NextId);
    t.Receivers.emplace(t.NextId, this);
    if (!t.Target && created)
        t.Target = std::move(created);
}

TMessageReceiver::~TMessageReceiver()
{
    auto& t = table();
    std::unique_ptr<TPostTarget> gone;
    {
        const std::lock_guard guard(t.Lock);
        t.Receivers.erase(reinterpret_cast<uintptr_t>(FHandle));
        if (t.Receivers.empty()) {
            gone = std::move(t.Target);  // its pending events are dropped with it
            t.Pending.clear();
        }
    }
}

TMessageReceiver* FindReceiver(HWND Wnd)
{
    auto& t = table();
    const std::lock_guard guard(t.Lock);
    const auto it = t.Receivers.find(reinterpret_cast<uintptr_t>(Wnd));
    return it == t.Receivers.end() ? nullptr : it->second;
}

bool IsWindow(HWND Wnd) { return FindReceiver(Wnd) != nullptr; }

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto& t = table();
    const std::lock_guard guard(t.Lock);
    if (!t.Target || t.Receivers.find(reinterpret_cast<uintptr_t>(Wnd)) == t.Receivers.end())
        return false;
    auto pending = std::make_shared<TPendingMessage>(TPendingMessage{Wnd, TMessage{Msg, WParam, LParam, 0}});
    t.Pending.push_back(pending);
    QCoreApplication::postEvent(t.Target.get(), new TPostedMessageEvent(std::move(pending)));
    return true;
}

bool PeekPostedMessage(HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax, TMessage* Found, bool Remove)
{
    auto& t = table();
    const std::lock_guard guard(t.Lock);
    const bool anyMessage = MsgFilterMin == 0 && MsgFilterMax == 0;
    for (auto it = t.Pending.begin(); it != t.Pending.end(); ++it) {
        const TPendingMessage& p = **it;
        if (Wnd != nullptr && p.Wnd != Wnd)
            continue;
        if (!anyMessage && (p.Message.Msg < MsgFilterMin || p.Message.Msg > MsgFilterMax))
            continue;
        if (Found != nullptr)
            *Found = p.Message;
        if (Remove) {
            (*it)->Removed = true;
            t.Pending.erase(it);
        }
        return true;
    }
    return false;
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessageReceiver* receiver = FindReceiver(Wnd);
    if (receiver == nullptr)
        return 0;
    TMessage message{Msg, WParam, LParam, 0};
    receiver->ReceiveMessage(message);
    return message.Result;
}

void TMessageWindow::ReceiveMessage(TMessage& Message)
{
    if (FMethod)
        FMethod(Message);
}

std::unique_ptr<TMessageWindow> AllocateHWnd(TWndMethod Method)
{
    return std::make_unique<TMessageWindow>(std::move(Method));
}

TShiftState KeysToShiftState(WPARAM Keys)
{
    TShiftState result;
    if (Keys & MK_SHIFT) result.Include(ssShift);
    if (Keys & MK_CONTROL) result.Include(ssCtrl);
    if (Keys & MK_LBUTTON) result.Include(ssLeft);
    if (Keys & MK_RBUTTON) result.Include(ssRight);
    if (Keys & MK_MBUTTON) result.Include(ssMiddle);
    return result;
}

TShiftState KeyDataToShiftState(LPARAM KeyData)
{
    // The key messages carry Shift and Ctrl in bits the original read from
    // the keyboard state; the layer puts them in the unused bits 26 and 27.
    TShiftState result;
    if (KeyData & (LPARAM(1) << 26)) result.Include(ssShift);
    if (KeyData & (LPARAM(1) << 27)) result.Include(ssCtrl);
    if (KeyData & KF_ALTDOWN_LPARAM) result.Include(ssAlt);
    return result;
}

int DragQueryFileCount(HDROP Drop)
{
    return Drop ? reinterpret_cast<TDropFiles*>(Drop)->Files.size() : 0;
}

String DragQueryFile(HDROP Drop, int Index)
{
    if (!Drop)
        return {};
    const auto& files = reinterpret_cast<TDropFiles*>(Drop)->Files;
    return Index >= 0 && Index < files.size() ? files[Index] : String();
}

TPoint DragQueryPoint(HDROP Drop)
{
    return Drop ? reinterpret_cast<TDropFiles*>(Drop)->Point : TPoint{};
}

void DragFinish(HDROP) {}
