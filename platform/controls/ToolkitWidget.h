// ToolkitWidget.h - the QWidget classes behind windowed controls: any Qt
// widget class wrapped so that all its events pass to the control first.
#pragma once
#include <QEvent>
#include <QWidget>
#include <utility>

#include "platform/controls/Controls.h"

// What the layer needs of every widget it creates.
class IToolkitWidget {
public:
    virtual ~IToolkitWidget() = default;
    // The widget class's own handling of E (what WM_ defaults end in).
    virtual bool CallBase(QEvent* E) = 0;
    // The control is going away; events go straight to the widget class.
    virtual void Detach() = 0;
    // The control behind the widget (nullptr once detached).
    virtual TWinControl* OwnerControl() const = 0;
};

template <class Base>
class TToolkitWidget : public Base, public IToolkitWidget {
public:
    template <class... A>
    explicit TToolkitWidget(TWinControl* Control, A&&... Args) : Base(std::forward<A>(Args)...), FControl(Control)
    {
    }
    bool CallBase(QEvent* E) override { return Base::event(E); }
    void Detach() override { FControl = nullptr; }
    TWinControl* OwnerControl() const override { return FControl; }

protected:
    bool event(QEvent* E) override
    {
        if (FControl == nullptr)
            return Base::event(E);
        return FControl->ToolkitEvent(this, E, [this](QEvent* e) { return Base::event(e); });
    }

private:
    TWinControl* FControl;
};
