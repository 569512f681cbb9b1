#include "platform/controls/WindowHook.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>

#include "platform/controls/Forms.h"

TCustomForm* FormOfWidget(const QWidget* Widget)
{
    if (Screen == nullptr || Widget == nullptr)
        return nullptr;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (form->HandleAllocated() && form->Widget() == Widget)
            return form;
    }
    return nullptr;
}

class TWindowHook::Filter : public QObject {
public:
    explicit Filter(TWindowHookEvents events) : FEvents(std::move(events)) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::WindowActivate)
            return false;
        if (!widget->isWindow())
            return false;
        if (qobject_cast<QMenu*>(widget) != nullptr) {
            if (type == QEvent::Show && FEvents.MenuShown)
                FEvents.MenuShown(widget);
            else if (type == QEvent::Hide && FEvents.MenuHidden)
                FEvents.MenuHidden(widget);
            return false;
        }
        TCustomForm* form = FormOfWidget(widget);
        if (form == nullptr)
            return false;
        if (type == QEvent::Show) {
            watchDestruction(widget, form);
            if (FEvents.FormShown)
                FEvents.FormShown(form);
        } else if (type == QEvent::WindowActivate && FEvents.FormActivated) {
            FEvents.FormActivated(form);
        }
        return false;
    }

private:
    void watchDestruction(QWidget* widget, TCustomForm* form)
    {
        if (widget->property("vorlaneHookWatched").toBool())
            return;
        widget->setProperty("vorlaneHookWatched", true);
        QObject::connect(widget, &QObject::destroyed, this, [this, form] {
            if (FEvents.FormDestroyed)
                FEvents.FormDestroyed(form);
        });
    }

    TWindowHookEvents FEvents;
};

TWindowHook::TWindowHook(TWindowHookEvents Events) : FFilter(std::make_unique<Filter>(std::move(Events)))
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(FFilter.get());
}

TWindowHook::~TWindowHook()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(FFilter.get());
}
