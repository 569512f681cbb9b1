// AppEventHooks.h - hooks that see every event of the application before
// its receiver does: the stand-in for per-thread message hooks (popups
// closing on outside clicks, keyboard watchers).
#pragma once
#include <functional>

class QEvent;
class QObject;

// True consumes the event (the receiver never sees it).
using TAppEventHook = std::function<bool(QObject* Receiver, QEvent* Event)>;

// Returns a non-zero id. The hook installed last is asked first, as a
// chain of thread hooks runs. Needs a QCoreApplication when events flow;
// hooks may be added and removed at any time, also from inside a hook.
int AddAppEventHook(TAppEventHook Hook);
// Unknown ids (and 0) are ignored.
void RemoveAppEventHook(int Id);
int AppEventHookCount();
