// SknManage.h - the skin manager: one per program. It knows the skin data
// components, decides which skin data a window gets, and runs the actions
// skin all (1), unskin all (2), skin changed (3), drop destroyed
// skinners (6) and re-skin one window (7), deferred on a timer.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/String.h"

class QTimer;
class TComponent;
class TCustomForm;
class TSknForm;
class TSknPopMenu;
class TMenuWindow;
class TBitmap;
class QMenu;
class TWindowHook;
class TSkinData;

// The engine's private window messages, in a range of their own, clear of
// the class library's CM_ and CN_ messages (those start at 0xB000 and
// 0xBC00): a handler of reflected notifications never sees one of these.
enum : unsigned {
    SKIN_MSG_BASE = 0xA800,
    SKIN_NC_PAINT = SKIN_MSG_BASE + 0x02,    // repaint the skinned frame now
    SKIN_FINISH = SKIN_MSG_BASE + 0x03,      // posted to a newly skinned window (lParam 1000)
    SKIN_ON_OFF = SKIN_MSG_BASE + 0x06,      // a control skinner: wParam above 0 on, else off
    SKIN_CLOSE_TAB = SKIN_MSG_BASE + 0x07,   // may a page close? wParam the tab control, lParam the page; 0 closes
    SKIN_CUSTOM_ACTION = SKIN_MSG_BASE + 0x14,  // a caption button with an action of its own (wParam)
    SKIN_BUTTON_VISIBLE = SKIN_MSG_BASE + 0x15, // wParam code, lParam action: above 0 shows the button
    SKIN_REDRAW_FRAME = SKIN_MSG_BASE + 0x16,
    SKIN_REPLACE_SCROLLBAR = SKIN_MSG_BASE + 0x17,  // wParam: the window whose scroll-bar skinner is renewed
    SKIN_MENU_CLICK = SKIN_MSG_BASE + 0x18,     // a press on the skinned menu bar (lParam: window point)
    SKIN_QUERY_SKINNED = SKIN_MSG_BASE + 0x23,  // a window answering 1 is never skinned again
    SKIN_APPLY_COLOURS = SKIN_MSG_BASE + 0x41,
    SKIN_FORM_4B = SKIN_MSG_BASE + 0x4B,     // the form skinner's own procedure messages
    SKIN_FORM_4D = SKIN_MSG_BASE + 0x4D,
    SKIN_AFTER_SKIN = SKIN_MSG_BASE + 0x4E,  // after-skin notification (lParam 16802)
    SKIN_MSG_LAST = SKIN_MSG_BASE + 0x7F
};

class TSkinManage {
public:
    // Starts a deferred action: the manager calls it with the interval and
    // expects DoAction to be called once it elapses. Tests inject their own.
    using TScheduler = std::function<void(int Milliseconds)>;

    TSkinManage();
    ~TSkinManage();
    TSkinManage(const TSkinManage&) = delete;
    TSkinManage& operator=(const TSkinManage&) = delete;

    void SetScheduler(TScheduler Scheduler);

    // The first sfMainform component registered becomes the main skin data.
    void RegisterSkinData(TSkinData* SkinData);
    void UnregisterSkinData(TSkinData* SkinData);
    TSkinData* MainSkinData() const { return FMainSkinData; }
    const std::vector<TSkinData*>& SkinDatas() const { return FSkinDatas; }
    TSkinData* CurrentSkinData() const { return FCurrentSkinData; }
    void SetCurrentSkinData(TSkinData* Value) { FCurrentSkinData = Value; }

    bool On() const { return FOn; }
    void SetOn(bool Value) { FOn = Value; }
    // 0 until the first window activation, then 1.
    int StartState() const { return FStartState; }
    void SetStartState(int Value) { FStartState = Value; }
    int StartCount() const { return FStartCount; }
    void AddStart() { ++FStartCount; }
    bool HookInstalled() const { return FHook != nullptr; }
    // Watches forms being shown and activated: the first activation starts
    // the manager, and every form shown or activated after it is skinned.
    void InstallHook();
    // The first activation of any window.
    void WindowActivated();

    // Skins one form (only while on): not twice, not a form with Tag 99
    // (whatever DisableTag says), not an empty one, not one CanSkin or the
    // skin data refuses. True when a skinner was attached.
    bool SkinWindow(TCustomForm* Form);
    TSknForm* FindSkinner(const TCustomForm* Form) const;
    // Removes (does not free) a skinner; its destructor calls this.
    void RemoveSkinner(TSknForm* Skinner);
    const std::vector<TSknForm*>& Skinners() const { return FSkinners; }
    // Action 7 for one form.
    void ReskinWindow(TCustomForm* Form, int Interval);

    // Records the action; once started, runs it after Interval ms.
    // Before the first activation, 1 only switches on and 2 off.
    void QueueAction(int Action, int Interval);
    int PendingAction() const { return FAction; }
    bool TimerEnabled() const { return FTimerEnabled; }
    // The timer's handler.
    void DoAction();

    // Whether a window of this class may be skinned at all.
    bool CanSkin(const String& ClassName, unsigned Style = 0) const;
    // The skin data for a window: its own sfOnlyThisForm component, the
    // dialog one for message boxes, the main one, else the first.
    TSkinData* SelectSkinData(const TComponent* Form, const String& ClassName) const;

    // ---- menu windows
    // The kind of the next menu window: 0 a context menu, 1 a menu of the
    // skinned bar, 2 the system menu.
    int MenuKind() const { return FMenuKind; }
    void SetMenuKind(int Value) { FMenuKind = Value; }
    bool MenuBarOpen() const { return FMenuBarOpen; }
    void SetMenuBarOpen(bool Value) { FMenuBarOpen = Value; }
    // Gives a menu window that opens a popup skinner (only while on, when
    // its kind is among the skin data's SkinControls; not a popup menu
    // whose Tag is the skin data's DisableTag).
    void SkinMenuWindow(TMenuWindow* Window);
    // Frees the window's skinner; the last one gone resets the kind to 0
    // and the bar menu to closed.
    void UnskinMenuWindow(TMenuWindow* Window);
    const std::vector<std::unique_ptr<TSknPopMenu>>& PopupSkinners() const { return FPopups; }
    // The cached background of the skinner of the window showing Menu.
    TBitmap* FindPopupBackground(const QMenu* Menu) const;

private:
    std::vector<std::unique_ptr<TSknPopMenu>> FPopups;
    int FMenuKind = 0;
    bool FMenuBarOpen = false;
    std::vector<TSkinData*> FSkinDatas;
    TSkinData* FMainSkinData = nullptr;
    TSkinData* FCurrentSkinData = nullptr;
    TScheduler FScheduler;
    std::unique_ptr<QTimer> FTimer;  // the default scheduler's timer
    bool FOn = false;
    int FStartState = 0;
    int FStartCount = 0;
    std::unique_ptr<TWindowHook> FHook;
    std::vector<TSknForm*> FSkinners;  // owned by their forms
    TCustomForm* FReskinForm = nullptr;
    bool FSkinningAll = false;
    bool FClosing = false;

    void dropDeadSkinners();
    void skinAll();
    int FAction = 0;
    bool FTimerEnabled = false;
};

// The program's manager, nil until a skin data component creates it.
TSkinManage* SkinManager();
TSkinManage& CreateSkinManager();
void FreeSkinManager();
