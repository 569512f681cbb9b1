// vxThemeManager.h - one open theme handle per kind of themed object,
// whether visual styles are on, the two standard themes, and the
// subscribers told when the theme or the system colours change (the
// application's palette and style changes stand for those messages here).
#pragma once
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Set.h"
#include "ui/foundation/vxUxTheme.h"

class TStartupList;

enum TvxThemedObjectType {
    totButton, totClock, totComboBox, totEdit, totExplorerBar, totHeader, totListBox, totListView, totMenu, totPage,
    totProgress, totRebar, totScrollBar, totSpin, totStartPanel, totStatus, totTab, totTaskBand, totTaskBar,
    totToolBar, totToolTip, totTrackBar, totTrayNotify, totTreeView, totWindow
};
using TvxThemedObjectTypes = TSet<TvxThemedObjectType>;

// The empty set asks only whether visual styles are on and the library is there.
bool AreVisualStylesAvailable(TvxThemedObjectTypes ATypes = {});
bool IsVisualStyleAvailable(TvxThemedObjectType AType);
// The cached handle; an empty AClassList means the remembered one (or the
// kind's window-class name). 0 without visual styles or when opening fails.
HTHEME OpenTheme(TvxThemedObjectType AType, const String& AClassList = String());
// 1 without visual styles, 0 when nothing is open, else the close result.
int32_t ReleaseThemeHandle(TvxThemedObjectType AType);
// Closes every handle; the class lists are kept for reopening.
void ReleaseAllThemeHandles();
bool IsStandardTheme();

class TvxThemeChangedNotificator : public TObject {
public:
    // Enters the notificator list when the theme library is loaded.
    TvxThemeChangedNotificator();
    ~TvxThemeChangedNotificator() override;
    String ClassName() const override { return String::fromLatin1("TvxThemeChangedNotificator"); }
    TDelegate<void()> OnThemeChanged;

protected:
    virtual void DoThemeChanged();

private:
    friend void ThemeChanged();
};

// What the receiver does on a theme or system-colour change: closes the
// handles, refreshes the active flag and tells every notificator in order.
void ThemeChanged();
int ThemeChangedNotificatorCount();

// Reads the active flag and starts listening when the library is loaded.
void AddvxThemeManagerUnit(TStartupList& AList);
