#include "tests/harness/XPointer.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

namespace xpointer {

namespace {
QString program()
{
    return QStandardPaths::findExecutable(QStringLiteral("xdotool"));
}
}  // namespace

QString Unavailable()
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        return QStringLiteral("needs an X server");
    if (program().isEmpty())
        return QStringLiteral("needs xdotool");
    return QString();
}

bool WaitFor(const std::function<bool()>& Condition, int TimeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!Condition()) {
        if (clock.elapsed() > TimeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

bool Xdotool(const QStringList& Arguments)
{
    QApplication::processEvents();
    const bool ok = QProcess::execute(program(), Arguments) == 0;
    QApplication::processEvents();
    return ok;
}

bool MoveTo(QPoint Screen)
{
    return Xdotool({QStringLiteral("mousemove"), QString::number(Screen.x()), QString::number(Screen.y())})
           && WaitFor([Screen] { return QCursor::pos() == Screen; });
}

bool Press()
{
    return Xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
}

bool Release()
{
    return Xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
}

bool Click(int Count)
{
    return Xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(Count),
                    QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")});
}

}  // namespace xpointer
