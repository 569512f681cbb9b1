#include "platform/graphics/SysMetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

// The primary screen's size; fixed on the offscreen platform so that tests
// and headless runs lay out alike.
QSize screenSize()
{
    if (QGuiApplication::instance() == nullptr || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return QSize(1024, 768);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return QSize(1024, 768);
    return screen->geometry().size();
}

}  // namespace

int GetSystemMetrics(int Index)
{
    switch (Index) {
    case SM_CXSCREEN: return screenSize().width();
    case SM_CYSCREEN: return screenSize().height();
    case SM_CXVIRTUALSCREEN: return screenSize().width();
    case SM_CYVIRTUALSCREEN: return screenSize().height();
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN: return 0;
    case SM_CXFULLSCREEN: return screenSize().width();
    case SM_CYFULLSCREEN: return screenSize().height() - 19;
    case SM_CXMAXTRACK: return screenSize().width() + 12;
    case SM_CYMAXTRACK: return screenSize().height() + 12;
    case SM_CXMAXIMIZED: return screenSize().width() + 8;
    case SM_CYMAXIMIZED: return screenSize().height() + 8;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CYMENU: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 16;
    case SM_CXSMSIZE: return 15;
    case SM_CYSMSIZE: return 15;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return 18;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXMINTRACK: return 112;
    case SM_CYMINTRACK: return 27;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return 75;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER: return 1;
    case SM_MOUSEPRESENT: return 1;
    case SM_CMONITORS: return 1;
    default: return 0;
    }
}

NONCLIENTMETRICS GetNonClientMetrics()
{
    NONCLIENTMETRICS metrics;
    // The caption bar is the caption metric without its one-pixel line.
    metrics.iCaptionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
    metrics.iMenuHeight = GetSystemMetrics(SM_CYMENU) - 1;
    metrics.iSmCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    metrics.iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    metrics.iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    return metrics;
}
