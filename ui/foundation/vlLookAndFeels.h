// vlLookAndFeels.h - a control's chosen look (kind, native style, skin
// name) in a tree of masters under one root; the painter it draws with; the
// controller that sets the root; and the process-wide listener that tells
// painters' caches and looks of system colour changes.
#pragma once
#include <memory>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/TypInfo.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vxThemeManager.h"

class TStartupList;

enum TvlLookAndFeelValue { lfvKind, lfvNativeStyle, lfvSkinName };
using TvlLookAndFeelValues = TSet<TvlLookAndFeelValue>;
using TvxSkinName = String;
// Painters are shared and never made per look: a painter is a reference.
using TvlLookAndFeelPainterClass = const TvlCustomLookAndFeelPainter*;

extern const TEnumInfo TvlLookAndFeelKindInfo;
extern const TEnumInfo TvlLookAndFeelValueInfo;

struct TvlLookAndFeelData {
    TvlLookAndFeelKind Kind = lfUltraFlat;
    bool NativeStyle = false;
    TvxSkinName SkinName;
    TvlLookAndFeelPainterClass Painter = nullptr;
    bool UsingSkins = true;
};

class TvlLookAndFeel;

class IvlLookAndFeelObserver {
public:
    virtual ~IvlLookAndFeelObserver() = default;
    virtual TObject* GetObserverObject() = 0;
    virtual void MasterLookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues) = 0;
    virtual void MasterLookAndFeelRemoved(TvlLookAndFeel* Sender) = 0;
};

// A control that owns a look and feel of its own.
class IvlLookAndFeelOwner {
public:
    virtual ~IvlLookAndFeelOwner() = default;
    virtual TvlLookAndFeel* GetLookAndFeel() = 0;
};

using TvlLookAndFeelNotifyEvent = TDelegate<void(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues)>;

// Tells its owner of system colour changes. Primary notifiers (the painters'
// caches) hear first, each list from its last member to its first.
class TvlSystemPaletteChangedNotifier : public TObject {
public:
    explicit TvlSystemPaletteChangedNotifier(bool APrimary = false);
    ~TvlSystemPaletteChangedNotifier() override;
    String ClassName() const override { return String::fromLatin1("TvlSystemPaletteChangedNotifier"); }
    bool Primary() const { return FPrimary; }
    virtual void NotifyChanged();
    TNotifyEvent OnSysColorsChanged;

private:
    bool FPrimary;
};

// What the listener does on a system colour change: the Office 11 colours
// again, then every notifier.
void BroadcastSystemPaletteChange();
bool SystemPaletteChangedListenerExists();

class TvlLookAndFeel : public TvlInterfacedPersistent,
                       public IvlLookAndFeelObserver,
                       public IvlSkinRegistryObserver {
public:
    explicit TvlLookAndFeel(TPersistent* AOwner);
    ~TvlLookAndFeel() override;
    String ClassName() const override { return String::fromLatin1("TvlLookAndFeel"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    // From another look: its assigned values and its master.
    void Assign(const TPersistent* Source) override;

    TvlLookAndFeelValues AssignedValues() const { return FAssignedValues; }
    void SetAssignedValues(TvlLookAndFeelValues Value);
    // The values in effect.
    TvlLookAndFeelKind Kind() const { return FCurrentState.Kind; }
    void SetKind(TvlLookAndFeelKind Value);
    bool NativeStyle() const { return FCurrentState.NativeStyle; }
    void SetNativeStyle(bool Value);
    const TvxSkinName& SkinName() const { return FCurrentState.SkinName; }
    void SetSkinName(const TvxSkinName& Value);

    TvlLookAndFeelPainterClass Painter() const { return FCurrentState.Painter; }
    // The skin painter in effect, or nullptr while no skin is used.
    TvlLookAndFeelPainterClass SkinPainter() const { return FSkinPainter; }
    TvlLookAndFeelPainterClass GetAvailablePainter(TvxThemedObjectTypes ATypes = {}) const;
    TvlLookAndFeelPainterClass GetAvailablePainterForType(TvxThemedObjectType AType) const;
    TvlLookAndFeel* MasterLookAndFeel() const { return FMasterLookAndFeel; }
    void SetMasterLookAndFeel(TvlLookAndFeel* Value);
    // nullptr for the root; else the master, else the root.
    TvlLookAndFeel* GetEffectiveMaster() const;
    bool IsRoot() const { return FIsRoot; }

    // Only observers (looks, controllers) are taken; controllers only by the root.
    void AddObserver(TObject* AObserver);
    void RemoveObserver(TObject* AObserver);
    int ObserverCount() const { return int(FObservers.size()); }
    void Reset() { SetAssignedValues({}); }

    TvlLookAndFeelNotifyEvent OnChanged;

    // IvlLookAndFeelObserver
    TObject* GetObserverObject() override { return this; }
    void MasterLookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues) override;
    void MasterLookAndFeelRemoved(TvlLookAndFeel* Sender) override;
    // IvlSkinRegistryObserver
    void SkinRegistryChanged() override;

protected:
    virtual void UpdateCurrentState();
    virtual TvlLookAndFeelKind ResolveKind() const;
    virtual bool ResolveNativeStyle() const;
    virtual TvxSkinName ResolveSkinName() const;
    virtual TvlLookAndFeelPainterClass ResolveSkinPainter() const;
    // Through the skin-painter registry; nothing for an empty name.
    virtual bool FindSkinPainter(const TvxSkinName& AName, TvlLookAndFeelPainterClass& APainter) const;
    virtual void SysColorsChanged();
    void Changed(TvlLookAndFeelValues AChangedValues);

private:
    friend void AddvlLookAndFeelsUnit(TStartupList& AList);
    void sysColorsChanged(TObject* Sender);
    void saveState();
    void checkStateChanges();

    TvlLookAndFeelValues FAssignedValues;
    std::vector<IvlLookAndFeelObserver*> FObservers;  // not owned
    TvlLookAndFeelData FCurrentState;
    TvlLookAndFeelData FData;
    bool FIsDestroying = false;
    bool FIsRoot = false;
    TvlLookAndFeel* FMasterLookAndFeel = nullptr;
    TvlLookAndFeelPainterClass FSkinPainter = nullptr;
    TvlLookAndFeelData FPrevState;
    std::unique_ptr<TvlSystemPaletteChangedNotifier> FSystemPaletteChangedNotifier;
};

// Sets the root's values, and with it every look that is not told otherwise.
class TvlLookAndFeelController : public TComponent, public IvlLookAndFeelObserver {
public:
    explicit TvlLookAndFeelController(TComponent* AOwner);
    ~TvlLookAndFeelController() override;
    String ClassName() const override { return String::fromLatin1("TvlLookAndFeelController"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TvlLookAndFeelKind Kind() const;
    void SetKind(TvlLookAndFeelKind Value);
    bool NativeStyle() const;
    void SetNativeStyle(bool Value);
    TvxSkinName SkinName() const;
    void SetSkinName(const TvxSkinName& Value);
    virtual void RestoreDefaults();

    TObject* GetObserverObject() override { return this; }
    // Only a form designer would hear of these.
    void MasterLookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues) override {}
    void MasterLookAndFeelRemoved(TvlLookAndFeel*) override {}
};

// nullptr outside the unit's lifetime.
TvlLookAndFeel* GetRootLookAndFeel();
int LookAndFeelControllerCount();
// The painter of each kind, and the one of the native style.
TvlLookAndFeelPainterClass GetLookAndFeelPainterClass(TvlLookAndFeelKind AKind);
TvlLookAndFeelPainterClass GetNativeLookAndFeelPainterClass();

void AddvlLookAndFeelsUnit(TStartupList& AList);
