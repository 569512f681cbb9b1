#include "platform/controls/AppEventHooks.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

namespace {

struct THookEntry {
    int Id;
    std::shared_ptr<TAppEventHook> Hook;
};

class THookFilter : public QObject {
public:
    std::vector<THookEntry> Hooks;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A copy: a hook may add or remove hooks while it runs.
        const std::vector<THookEntry> hooks = Hooks;
        for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
            if ((*it->Hook)(watched, event))
                return true;
        return false;
    }
};

struct THookState {
    std::unique_ptr<THookFilter> Filter;
    QPointer<QCoreApplication> InstalledOn;
    int NextId = 1;
};

// Main thread only.
THookState& state()
{
    static THookState s;
    return s;
}

void attach()
{
    THookState& s = state();
    QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && s.InstalledOn != app) {
        app->installEventFilter(s.Filter.get());
        s.InstalledOn = app;
    }
}

}  // namespace

int AddAppEventHook(TAppEventHook Hook)
{
    THookState& s = state();
    if (s.Filter == nullptr)
        s.Filter = std::make_unique<THookFilter>();
    const int id = s.NextId++;
    s.Filter->Hooks.push_back({id, std::make_shared<TAppEventHook>(std::move(Hook))});
    attach();
    return id;
}

void RemoveAppEventHook(int Id)
{
    THookState& s = state();
    if (s.Filter == nullptr || Id == 0)
        return;
    std::erase_if(s.Filter->Hooks, [Id](const THookEntry& e) { return e.Id == Id; });
    if (s.Filter->Hooks.empty()) {
        if (s.InstalledOn != nullptr)
            s.InstalledOn->removeEventFilter(s.Filter.get());
        s.InstalledOn = nullptr;
    }
}

int AppEventHookCount()
{
    const THookState& s = state();
    return s.Filter == nullptr ? 0 : int(s.Filter->Hooks.size());
}
