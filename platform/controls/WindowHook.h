// WindowHook.h - one application-wide watch over top-level windows: it
// reports forms being shown, activated and destroyed, and menu windows
// opening and closing, to whoever installed it (the skin manager).
#pragma once
#include <functional>
#include <memory>

class QWidget;
class TCustomForm;

struct TWindowHookEvents {
    std::function<void(TCustomForm*)> FormShown;
    std::function<void(TCustomForm*)> FormActivated;
    std::function<void(TCustomForm*)> FormDestroyed;
    std::function<void(QWidget*)> MenuShown;
    std::function<void(QWidget*)> MenuHidden;
};

class TWindowHook {
public:
    // Installs the filter on the running QApplication; removed on destruction.
    explicit TWindowHook(TWindowHookEvents Events);
    ~TWindowHook();
    TWindowHook(const TWindowHook&) = delete;
    TWindowHook& operator=(const TWindowHook&) = delete;

private:
    class Filter;
    std::unique_ptr<Filter> FFilter;
};

// The form whose window is Widget, among the screen's forms; nullptr for
// any other widget.
TCustomForm* FormOfWidget(const QWidget* Widget);
