// XPointer.h - real pointer input on an X server for tests of windows
// without a window manager: the pointer moved, pressed and released by the
// xdotool program, and waiting for the event loop to catch up.
#pragma once
#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>

namespace xpointer {

// Empty when the tests can run: an X server (the xcb platform) and xdotool.
QString Unavailable();
// Handles events until Condition holds; false after TimeoutMs.
bool WaitFor(const std::function<bool()>& Condition, int TimeoutMs = 5000);
// Runs xdotool with Arguments; false when it fails.
bool Xdotool(const QStringList& Arguments);
// Moves the pointer to a screen point and waits until the program sees it there.
bool MoveTo(QPoint Screen);
bool Press();
bool Release();
// Left clicks (Count 2: a double click) where the pointer is.
bool Click(int Count = 1);

}  // namespace xpointer
