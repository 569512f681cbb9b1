// uTaskBarList.h - the base of the taskbar components: a hidden message
// window and the desktop's launcher entry (a D-Bus signal) for the program.
#pragma once
#include <memory>

#include "platform/controls/Messages.h"
#include "platform/rtl/Component.h"

// The program's launcher entry: its desktop file's application URI.
inline constexpr const char* LauncherAppUri = "application://vorlane.desktop";
inline constexpr const char* LauncherInterface = "com.canonical.Unity.LauncherEntry";
// The object path the entry's signals come from.
String LauncherEntryPath();

class TTaskBarListComponent : public TComponent {
public:
    explicit TTaskBarListComponent(TComponent* AOwner);
    ~TTaskBarListComponent() override;
    String ClassName() const override { return String::fromLatin1("TTaskBarListComponent"); }

    bool AutoInitialize() const { return FAutoInitialize; }
    void SetAutoInitialize(bool Value) { FAutoInitialize = Value; }
    bool Initialized() const { return FInitialized; }
    // False where no session bus exists: updates then change nothing.
    bool TaskbarAvailable() const { return FTaskbarAvailable; }
    HWND Handle() const { return FWindow ? FWindow->ReceiverHandle() : nullptr; }

    // The three messages of the hidden window.
    static const UINT WM_AUTOINIT, WM_INITIALIZE, WM_UPDATE;

protected:
    virtual void WndProc(TMessage& Message);
    virtual void Initialize() { FInitialized = true; }
    virtual void UpdateTaskBar() {}
    void PostUpdate();
    // Sends the entry's properties: progress (0..1) and whether it shows.
    void SendLauncherUpdate(double Progress, bool Visible, bool Urgent);

    bool FInitialized = false;

private:
    void wndProc(TMessage& Message) { WndProc(Message); }
    std::unique_ptr<TMessageWindow> FWindow;
    bool FAutoInitialize = false;
    bool FTaskbarAvailable = false;
};
