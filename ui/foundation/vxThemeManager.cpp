#include "ui/foundation/vxThemeManager.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <memory>

#include "platform/controls/Forms.h"
#include "platform/rtl/Startup.h"

namespace {

constexpr std::array<const char*, 25> classNames = {
    "Button", "Clock", "ComboBox", "Edit", "ExplorerBar", "Header", "ListBox", "ListView", "Menu",
    "Page", "Progress", "Rebar", "ScrollBar", "Spin", "StartPanel", "Status", "Tab", "TaskBand",
    "TaskBar", "ToolBar", "ToolTip", "TrackBar", "TrayNotify", "TreeView", "Window"};

struct TvxThemeData {
    HTHEME Theme = 0;
    String ClassList;
};

// The palette or style of the application changed: the counterpart of the
// theme and system-colour messages.
class TReceiver : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == qApp &&
            (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::StyleChange)) {
            try {
                ThemeChanged();
            } catch (...) {
                if (Application != nullptr)
                    Application->HandleException(nullptr);
            }
        }
        return false;
    }
};

// Process-wide, main thread only, as the original's unit variables.
struct TThemeManager {
    std::array<TvxThemeData, 25> Cache;
    bool Active = false;
    std::unique_ptr<TReceiver> Receiver;
    std::unique_ptr<std::vector<TvxThemeChangedNotificator*>> Notificators;  // not owned
};

TThemeManager& manager()
{
    static TThemeManager m;
    return m;
}

}  // namespace

bool AreVisualStylesAvailable(TvxThemedObjectTypes ATypes)
{
    if (!manager().Active || !IsUxThemeLoaded())
        return false;
    for (int i = 0; i < int(classNames.size()); ++i)
        if (ATypes.Contains(TvxThemedObjectType(i)) && OpenTheme(TvxThemedObjectType(i)) == 0)
            return false;
    return true;
}

bool IsVisualStyleAvailable(TvxThemedObjectType AType) { return AreVisualStylesAvailable({AType}); }

HTHEME OpenTheme(TvxThemedObjectType AType, const String& AClassList)
{
    if (!AreVisualStylesAvailable())
        return 0;
    TvxThemeData& data = manager().Cache[size_t(AType)];
    if (data.Theme != 0) {
        if (AClassList.isEmpty() || AClassList.toUpper() == data.ClassList.toUpper())
            return data.Theme;
        ReleaseThemeHandle(AType);
    }
    String classList = AClassList;
    if (classList.isEmpty())
        classList = data.ClassList.isEmpty() ? String::fromLatin1(classNames[size_t(AType)]) : data.ClassList;
    data.Theme = ThemeLibrary()->OpenThemeData(classList);
    data.ClassList = data.Theme != 0 ? classList : String();
    return data.Theme;
}

int32_t ReleaseThemeHandle(TvxThemedObjectType AType)
{
    if (!AreVisualStylesAvailable())
        return 1;
    TvxThemeData& data = manager().Cache[size_t(AType)];
    if (data.Theme == 0)
        return 0;
    const int32_t result = ThemeLibrary()->CloseThemeData(data.Theme);
    data.Theme = 0;
    data.ClassList.clear();
    return result;
}

void ReleaseAllThemeHandles()
{
    for (TvxThemeData& data : manager().Cache)
        if (data.Theme != 0) {
            ThemeLibrary()->CloseThemeData(data.Theme);
            data.Theme = 0;
        }
}

bool IsStandardTheme()
{
    if (!AreVisualStylesAvailable())
        return false;
    String file, colour, size;
    if (ThemeLibrary()->GetCurrentThemeName(file, colour, size) != S_OK)
        return false;
    const String name = QFileInfo(String(file).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName().toUpper();
    return name == QLatin1String("LUNA.MSSTYLES") || name == QLatin1String("ROYALE.MSSTYLES");
}

TvxThemeChangedNotificator::TvxThemeChangedNotificator()
{
    if (IsUxThemeLoaded() && manager().Notificators != nullptr)
        manager().Notificators->push_back(this);
}

TvxThemeChangedNotificator::~TvxThemeChangedNotificator()
{
    if (manager().Notificators != nullptr)
        std::erase(*manager().Notificators, this);
}

void TvxThemeChangedNotificator::DoThemeChanged()
{
    if (OnThemeChanged)
        OnThemeChanged();
}

void ThemeChanged()
{
    ReleaseAllThemeHandles();
    manager().Active = ThemeLibrary()->IsThemeActive();
    if (manager().Notificators == nullptr)
        return;
    // A notificator may go away while others are told.
    const std::vector<TvxThemeChangedNotificator*> list = *manager().Notificators;
    for (TvxThemeChangedNotificator* n : list)
        if (std::find(manager().Notificators->begin(), manager().Notificators->end(), n) !=
            manager().Notificators->end())
            n->DoThemeChanged();
}

int ThemeChangedNotificatorCount()
{
    return manager().Notificators != nullptr ? int(manager().Notificators->size()) : 0;
}

void AddvxThemeManagerUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vxThemeManager"),
        [] {
            TThemeManager& m = manager();
            if (!IsUxThemeLoaded())
                return;
            m.Active = ThemeLibrary()->IsThemeActive();
            m.Notificators = std::make_unique<std::vector<TvxThemeChangedNotificator*>>();
            if (qApp != nullptr) {
                m.Receiver = std::make_unique<TReceiver>();
                qApp->installEventFilter(m.Receiver.get());
            }
        },
        [] {
            TThemeManager& m = manager();
            m.Receiver.reset();
            m.Active = false;
            ReleaseAllThemeHandles();
            m.Notificators.reset();
            for (TvxThemeData& data : m.Cache)
                data = TvxThemeData();
        });
}
