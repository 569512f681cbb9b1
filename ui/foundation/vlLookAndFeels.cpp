#include "ui/foundation/vlLookAndFeels.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/rtl/Startup.h"
#include "ui/foundation/vxOffice11.h"

namespace {

constexpr const char* kindNames[] = {"lfFlat", "lfStandard", "lfUltraFlat", "lfOffice11"};
constexpr const char* valueNames[] = {"lfvKind", "lfvNativeStyle", "lfvSkinName"};

// The application's palette changed: the counterpart of the system colour message.
class TPaletteReceiver : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
            try {
                BroadcastSystemPaletteChange();
            } catch (...) {
                if (Application != nullptr)
                    Application->HandleException(nullptr);
            }
        }
        return false;
    }
};

struct TPaletteListener {
    TPaletteListener()
    {
        vxOffice11::AcquireOffice11Scheme();
        if (qApp != nullptr)
            qApp->installEventFilter(&Receiver);
    }
    ~TPaletteListener() { vxOffice11::ReleaseOffice11Scheme(); }
    std::vector<TvlSystemPaletteChangedNotifier*> Notifiers, PrimaryNotifiers;  // not owned
    TPaletteReceiver Receiver;
};

// The unit's process-wide state (main thread only).
struct TLookAndFeels {
    std::unique_ptr<TvlLookAndFeel> Root;
    int ControllerCount = 0;
    std::unique_ptr<TPaletteListener> Listener;
    bool SkinPaintersEnabled = true;
};

TLookAndFeels& unit()
{
    static TLookAndFeels u;
    return u;
}

IvlLookAndFeelObserver* observerOf(TObject* AObject) { return dynamic_cast<IvlLookAndFeelObserver*>(AObject); }

}  // namespace

const TEnumInfo TvlLookAndFeelKindInfo{"TvlLookAndFeelKind", kindNames};
const TEnumInfo TvlLookAndFeelValueInfo{"TvlLookAndFeelValue", valueNames};

TvlLookAndFeelPainterClass GetLookAndFeelPainterClass(TvlLookAndFeelKind AKind)
{
    switch (AKind) {
    case lfFlat: return TvlFlatLookAndFeelPainter::Instance();
    case lfUltraFlat: return TvlUltraFlatLookAndFeelPainter::Instance();
    case lfOffice11: return TvlOffice11LookAndFeelPainter::Instance();
    case lfStandard: break;
    }
    return TvlStandardLookAndFeelPainter::Instance();
}

TvlLookAndFeelPainterClass GetNativeLookAndFeelPainterClass() { return TvlWinXPLookAndFeelPainter::Instance(); }

TvlLookAndFeelKind KindOfLookAndFeelStyle(TvlLookAndFeelStyle AStyle)
{
    switch (AStyle) {
    case lfsFlat: return lfFlat;
    case lfsUltraFlat: return lfUltraFlat;
    case lfsOffice11: return lfOffice11;
    case lfsStandard:
    case lfsNative: break;
    }
    return lfStandard;
}

TvlLookAndFeel* GetRootLookAndFeel() { return unit().Root.get(); }

int LookAndFeelControllerCount() { return unit().ControllerCount; }

// ---------------------------------------------------------------- palette notification

TvlSystemPaletteChangedNotifier::TvlSystemPaletteChangedNotifier(bool APrimary) : FPrimary(APrimary)
{
    auto& listener = unit().Listener;
    if (listener == nullptr)
        listener = std::make_unique<TPaletteListener>();
    (FPrimary ? listener->PrimaryNotifiers : listener->Notifiers).push_back(this);
}

TvlSystemPaletteChangedNotifier::~TvlSystemPaletteChangedNotifier()
{
    auto& listener = unit().Listener;
    if (listener == nullptr)
        return;
    std::erase(FPrimary ? listener->PrimaryNotifiers : listener->Notifiers, this);
    if (listener->PrimaryNotifiers.empty() && listener->Notifiers.empty())
        listener.reset();
}

void TvlSystemPaletteChangedNotifier::NotifyChanged()
{
    if (OnSysColorsChanged.Assigned())
        OnSysColorsChanged(this);
}

bool SystemPaletteChangedListenerExists() { return unit().Listener != nullptr; }

void BroadcastSystemPaletteChange()
{
    vxOffice11::UpdateOffice11Scheme();
    for (bool primary : {true, false}) {
        // From the last to the first; a notifier may go while others are told.
        for (size_t i = 0;; ++i) {
            TPaletteListener* listener = unit().Listener.get();
            if (listener == nullptr)
                return;
            auto& list = primary ? listener->PrimaryNotifiers : listener->Notifiers;
            if (i >= list.size())
                break;
            list[list.size() - 1 - i]->NotifyChanged();
        }
    }
}

// ---------------------------------------------------------------- look and feel

TvlLookAndFeel::TvlLookAndFeel(TPersistent* AOwner) : TvlInterfacedPersistent(AOwner)
{
    FCurrentState = FData;
    FSystemPaletteChangedNotifier = std::make_unique<TvlSystemPaletteChangedNotifier>(false);
    FSystemPaletteChangedNotifier->OnSysColorsChanged = TNotifyEvent(this, &TvlLookAndFeel::sysColorsChanged);
    if (TvlLookAndFeel* root = GetRootLookAndFeel())
        root->AddObserver(this);
    UpdateCurrentState();
    FCurrentState.Painter = GetAvailablePainter();
}

TvlLookAndFeel::~TvlLookAndFeel()
{
    if (TvlExtendedStylePainters* registry = GetSkinPainterRegistry())
        registry->RemoveObserver(this);
    FSystemPaletteChangedNotifier.reset();
    FIsDestroying = true;
    // Observers leave the list as they are told (they turn to the root).
    const std::vector<IvlLookAndFeelObserver*> observers = FObservers;
    for (IvlLookAndFeelObserver* o : observers)
        o->MasterLookAndFeelRemoved(this);
    FIsDestroying = false;
    FObservers.clear();
    if (TvlLookAndFeel* master = GetEffectiveMaster())
        master->RemoveObserver(this);
}

const TClassInfo& TvlLookAndFeel::StaticClassInfo()
{
    static const TClassInfo info = [] {
        TClassInfo i =
            TClassInfoBuilder<TvlLookAndFeel>("TvlLookAndFeel")
                .Set("AssignedValues", TvlLookAndFeelValueInfo, &TvlLookAndFeel::AssignedValues,
                     &TvlLookAndFeel::SetAssignedValues)
                .Enum("Kind", TvlLookAndFeelKindInfo, &TvlLookAndFeel::Kind, &TvlLookAndFeel::SetKind)
                .Stored([](const TvlLookAndFeel& L) { return L.AssignedValues().Contains(lfvKind); })
                .Bool("NativeStyle", &TvlLookAndFeel::NativeStyle, &TvlLookAndFeel::SetNativeStyle)
                .Stored([](const TvlLookAndFeel& L) { return L.AssignedValues().Contains(lfvNativeStyle); })
                .Str("SkinName", &TvlLookAndFeel::SkinName, &TvlLookAndFeel::SetSkinName)
                .Stored([](const TvlLookAndFeel& L) { return L.AssignedValues().Contains(lfvSkinName); })
                .Build();
        // An assigned empty name is stored too: without a default, empty is a value.
        i.Props.back().Default.reset();
        return i;
    }();
    return info;
}

void TvlLookAndFeel::Assign(const TPersistent* Source)
{
    const auto* other = dynamic_cast<const TvlLookAndFeel*>(Source);
    if (other == nullptr) {
        TvlInterfacedPersistent::Assign(Source);
        return;
    }
    if (other == this)
        return;
    saveState();
    FData = other->FData;
    FAssignedValues = other->FAssignedValues;
    SetMasterLookAndFeel(other->GetEffectiveMaster());
    checkStateChanges();
}

TvlLookAndFeel* TvlLookAndFeel::GetEffectiveMaster() const
{
    if (FIsRoot)
        return nullptr;
    return FMasterLookAndFeel != nullptr ? FMasterLookAndFeel : GetRootLookAndFeel();
}

TvlLookAndFeelKind TvlLookAndFeel::ResolveKind() const
{
    if (FAssignedValues.Contains(lfvKind))
        return FData.Kind;
    const TvlLookAndFeel* master = GetEffectiveMaster();
    return master != nullptr ? master->Kind() : TvlLookAndFeelData().Kind;
}

bool TvlLookAndFeel::ResolveNativeStyle() const
{
    if (FAssignedValues.Contains(lfvNativeStyle))
        return FData.NativeStyle;
    const TvlLookAndFeel* master = GetEffectiveMaster();
    return master != nullptr && master->NativeStyle();
}

TvxSkinName TvlLookAndFeel::ResolveSkinName() const
{
    if (FAssignedValues.Contains(lfvSkinName))
        return FData.SkinName;
    const TvlLookAndFeel* master = GetEffectiveMaster();
    return master != nullptr ? master->SkinName() : TvxSkinName();
}

TvlLookAndFeelPainterClass TvlLookAndFeel::ResolveSkinPainter() const
{
    TvlLookAndFeelPainterClass painter = nullptr;
    if (FAssignedValues.Contains(lfvSkinName)) {
        FindSkinPainter(FData.SkinName, painter);
    } else if (const TvlLookAndFeel* master = GetEffectiveMaster()) {
        master->FindSkinPainter(master->SkinName(), painter);
    }
    return painter;
}

bool TvlLookAndFeel::FindSkinPainter(const TvxSkinName& AName, TvlLookAndFeelPainterClass& APainter) const
{
    APainter = nullptr;
    const TvlExtendedStylePainters* registry = GetSkinPainterRegistry();
    if (AName.isEmpty() || registry == nullptr)
        return false;
    const bool found = registry->FindPainterByName(AName, APainter);
    if (!unit().SkinPaintersEnabled)
        APainter = nullptr;
    return found;
}

void TvlLookAndFeel::UpdateCurrentState()
{
    FCurrentState.Kind = ResolveKind();
    FCurrentState.NativeStyle = ResolveNativeStyle();
    FCurrentState.SkinName = ResolveSkinName();
    FCurrentState.UsingSkins = unit().SkinPaintersEnabled;
    FSkinPainter = FCurrentState.NativeStyle ? nullptr : ResolveSkinPainter();
}

TvlLookAndFeelPainterClass TvlLookAndFeel::GetAvailablePainter(TvxThemedObjectTypes ATypes) const
{
    if (FCurrentState.NativeStyle && AreVisualStylesAvailable(ATypes))
        return GetNativeLookAndFeelPainterClass();
    if (FSkinPainter != nullptr)
        return FSkinPainter;
    return GetLookAndFeelPainterClass(FCurrentState.Kind);
}

TvlLookAndFeelPainterClass TvlLookAndFeel::GetAvailablePainterForType(TvxThemedObjectType AType) const
{
    if (FCurrentState.NativeStyle && IsVisualStyleAvailable(AType))
        return GetNativeLookAndFeelPainterClass();
    if (FSkinPainter != nullptr)
        return FSkinPainter;
    return GetLookAndFeelPainterClass(FCurrentState.Kind);
}

void TvlLookAndFeel::Changed(TvlLookAndFeelValues AChangedValues)
{
    if (AChangedValues.Empty() && FCurrentState.UsingSkins == unit().SkinPaintersEnabled)
        return;
    if (FIsDestroying)
        return;
    UpdateCurrentState();
    FCurrentState.Painter = GetAvailablePainter();
    if (TvlExtendedStylePainters* registry = GetSkinPainterRegistry()) {
        if (FSkinPainter != nullptr)
            registry->AddObserver(this);
        else
            registry->RemoveObserver(this);
    }
    // An observer may remove itself meanwhile: then the same index holds the next one.
    for (size_t i = 0; i < FObservers.size();) {
        const size_t count = FObservers.size();
        FObservers[i]->MasterLookAndFeelChanged(this, AChangedValues);
        if (FObservers.size() == count)
            ++i;
    }
    if (OnChanged)
        OnChanged(this, AChangedValues);
}

void TvlLookAndFeel::SetKind(TvlLookAndFeelKind Value)
{
    const TvlLookAndFeelKind previous = FCurrentState.Kind;
    FAssignedValues.Include(lfvKind);
    FData.Kind = Value;
    if (ResolveKind() != previous)
        Changed({lfvKind});
}

void TvlLookAndFeel::SetNativeStyle(bool Value)
{
    const bool previous = FCurrentState.NativeStyle;
    FAssignedValues.Include(lfvNativeStyle);
    FData.NativeStyle = Value;
    if (ResolveNativeStyle() != previous)
        Changed({lfvNativeStyle});
}

void TvlLookAndFeel::SetSkinName(const TvxSkinName& Value)
{
    const TvxSkinName previous = FCurrentState.SkinName;
    FAssignedValues.Include(lfvSkinName);
    FData.SkinName = Value;
    if (ResolveSkinName() != previous)
        Changed({lfvSkinName});
}

void TvlLookAndFeel::SetAssignedValues(TvlLookAndFeelValues Value)
{
    if (Value == FAssignedValues)
        return;
    saveState();
    FAssignedValues = Value;
    checkStateChanges();
}

void TvlLookAndFeel::saveState() { FPrevState = FCurrentState; }

void TvlLookAndFeel::checkStateChanges()
{
    TvlLookAndFeelValues changed;
    if (ResolveKind() != FPrevState.Kind)
        changed.Include(lfvKind);
    if (ResolveNativeStyle() != FPrevState.NativeStyle)
        changed.Include(lfvNativeStyle);
    if (ResolveSkinName() != FPrevState.SkinName)
        changed.Include(lfvSkinName);
    Changed(changed);
}

void TvlLookAndFeel::SetMasterLookAndFeel(TvlLookAndFeel* Value)
{
    if (FIsRoot || Value == this || Value == GetEffectiveMaster())
        return;
    saveState();
    if (TvlLookAndFeel* master = GetEffectiveMaster())
        master->RemoveObserver(this);
    FMasterLookAndFeel = Value;
    if (TvlLookAndFeel* master = GetEffectiveMaster())
        master->AddObserver(this);
    checkStateChanges();
}

void TvlLookAndFeel::AddObserver(TObject* AObserver)
{
    IvlLookAndFeelObserver* observer = observerOf(AObserver);
    if (observer == nullptr)
        return;
    const bool controller = dynamic_cast<TvlLookAndFeelController*>(AObserver) != nullptr;
    if (controller && !FIsRoot)
        return;
    if (std::find(FObservers.begin(), FObservers.end(), observer) != FObservers.end())
        return;
    FObservers.push_back(observer);
    if (controller)
        ++unit().ControllerCount;
}

void TvlLookAndFeel::RemoveObserver(TObject* AObserver)
{
    IvlLookAndFeelObserver* observer = observerOf(AObserver);
    const auto it = std::find(FObservers.begin(), FObservers.end(), observer);
    if (observer == nullptr || it == FObservers.end())
        return;
    if (!FIsDestroying)
        FObservers.erase(it);
    if (FIsRoot && dynamic_cast<TvlLookAndFeelController*>(AObserver) != nullptr && --unit().ControllerCount == 0)
        Reset();
}

void TvlLookAndFeel::MasterLookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues AChangedValues)
{
    Changed(AChangedValues - FAssignedValues);
}

void TvlLookAndFeel::MasterLookAndFeelRemoved(TvlLookAndFeel*) { SetMasterLookAndFeel(nullptr); }

void TvlLookAndFeel::SkinRegistryChanged() { Changed({lfvKind, lfvNativeStyle, lfvSkinName}); }

void TvlLookAndFeel::SysColorsChanged() { Changed({lfvNativeStyle}); }

void TvlLookAndFeel::sysColorsChanged(TObject*) { SysColorsChanged(); }

// ---------------------------------------------------------------- controller

TvlLookAndFeelController::TvlLookAndFeelController(TComponent* AOwner) : TComponent(AOwner)
{
    if (TvlLookAndFeel* root = GetRootLookAndFeel())
        root->AddObserver(this);
}

TvlLookAndFeelController::~TvlLookAndFeelController()
{
    if (TvlLookAndFeel* root = GetRootLookAndFeel())
        root->RemoveObserver(this);
}

const TClassInfo& TvlLookAndFeelController::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlLookAndFeelController>("TvlLookAndFeelController", &TComponent::StaticClassInfo())
            .Enum("Kind", TvlLookAndFeelKindInfo, &TvlLookAndFeelController::Kind,
                  &TvlLookAndFeelController::SetKind, lfUltraFlat)
            .Bool("NativeStyle", &TvlLookAndFeelController::NativeStyle, &TvlLookAndFeelController::SetNativeStyle,
                  false)
            .Str("SkinName", &TvlLookAndFeelController::SkinName, &TvlLookAndFeelController::SetSkinName)
            .Build();
    return info;
}

TvlLookAndFeelKind TvlLookAndFeelController::Kind() const
{
    return GetRootLookAndFeel() != nullptr ? GetRootLookAndFeel()->Kind() : lfUltraFlat;
}

void TvlLookAndFeelController::SetKind(TvlLookAndFeelKind Value)
{
    if (GetRootLookAndFeel() != nullptr)
        GetRootLookAndFeel()->SetKind(Value);
}

bool TvlLookAndFeelController::NativeStyle() const
{
    return GetRootLookAndFeel() != nullptr && GetRootLookAndFeel()->NativeStyle();
}

void TvlLookAndFeelController::SetNativeStyle(bool Value)
{
    if (GetRootLookAndFeel() != nullptr)
        GetRootLookAndFeel()->SetNativeStyle(Value);
}

TvxSkinName TvlLookAndFeelController::SkinName() const
{
    return GetRootLookAndFeel() != nullptr ? GetRootLookAndFeel()->SkinName() : TvxSkinName();
}

void TvlLookAndFeelController::SetSkinName(const TvxSkinName& Value)
{
    if (GetRootLookAndFeel() != nullptr)
        GetRootLookAndFeel()->SetSkinName(Value);
}

void TvlLookAndFeelController::RestoreDefaults()
{
    SetKind(lfUltraFlat);
    SetNativeStyle(false);
    SetSkinName(TvxSkinName());
}

void AddvlLookAndFeelsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlLookAndFeels"),
        [] {
            auto root = std::make_unique<TvlLookAndFeel>(nullptr);
            root->FIsRoot = true;
            unit().Root = std::move(root);
        },
        [] {
            unit().Root.reset();
            unit().ControllerCount = 0;
        });
}
