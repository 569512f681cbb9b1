#include "support/KitFormStorage.h"

#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/TypInfo.h"
#include "support/KitPropertyStorage.h"
#include "support/SxStrings.h"

namespace {
VORLANE_RESOURCESTRING(RsDuplicateString, "String list does not allow duplicates");

const String formNameMacro = QStringLiteral("%FORM_NAME%");

class TUpdateScope {
public:
    explicit TUpdateScope(TKitCustomAppStorage* S) : FStorage(S) { FStorage->BeginUpdate(); }
    ~TUpdateScope() { FStorage->EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TKitCustomAppStorage* FStorage;
};

template <class F>
void toApplication(TObject* Sender, F&& Body)
{
    try {
        Body();
    } catch (...) {
        if (Application != nullptr)
            Application->HandleException(Sender);
    }
}
}  // namespace

// --------------------------------------------------------- TKitWinMinMaxInfo

const TClassInfo* TKitWinMinMaxInfo::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TKitWinMinMaxInfo::StaticClassInfo()
{
    using C = TKitWinMinMaxInfo;
    auto get = [](int i) { return [i](const C& c) { return c.Value(i); }; };
    auto set = [](int i) { return [i](C& c, int v) { c.SetValue(i, v); }; };
    static const TClassInfo info = TClassInfoBuilder<C>("TKitWinMinMaxInfo")
                                       .Int("MaxPosLeft", get(0), set(0), 0)
                                       .Int("MaxPosTop", get(1), set(1), 0)
                                       .Int("MaxSizeHeight", get(3), set(3), 0)
                                       .Int("MaxSizeWidth", get(2), set(2), 0)
                                       .Int("MaxTrackHeight", get(5), set(5), 0)
                                       .Int("MaxTrackWidth", get(4), set(4), 0)
                                       .Int("MinTrackHeight", get(7), set(7), 0)
                                       .Int("MinTrackWidth", get(6), set(6), 0)
                                       .Build();
    return info;
}

void TKitWinMinMaxInfo::SetValue(int Index, int Value)
{
    if (FValues[Index] == Value)
        return;
    FValues[Index] = Value;
    if (FOwner != nullptr)
        FOwner->MinMaxInfoModified();
}

void TKitWinMinMaxInfo::Assign(const TPersistent* Source)
{
    if (auto* m = dynamic_cast<const TKitWinMinMaxInfo*>(Source)) {
        std::copy(std::begin(m->FValues), std::end(m->FValues), std::begin(FValues));
        if (FOwner != nullptr)
            FOwner->MinMaxInfoModified();
        return;
    }
    TPersistent::Assign(Source);
}

bool TKitWinMinMaxInfo::DefaultMinMaxInfo() const
{
    return std::all_of(std::begin(FValues), std::end(FValues), [](int v) { return v == 0; });
}

// --------------------------------------------------------- TKitFormPlacement

TKitFormPlacement::TKitFormPlacement(TComponent* AOwner)
    : TKitComponent(AOwner), FMinMaxInfo(std::make_unique<TKitWinMinMaxInfo>(this)),
      FWinHook(std::make_unique<TKitWindowHook>(nullptr))
{
    if (dynamic_cast<TCustomForm*>(AOwner) != nullptr)
        FOptions = TPlacementOptions{fpState, fpSize, fpLocation};
    FWinHook->SetAfterMessage(TKitHookMessageEvent(this, &TKitFormPlacement::afterWindowMessage));
}

TKitFormPlacement::~TKitFormPlacement()
{
    FWinHook.reset();
    if (FHooked && !FFormGone)
        if (TCustomForm* form = Form()) {
            form->OnShow = FSaveFormShow;
            form->OnCloseQuery = FSaveFormCloseQuery;
            form->OnDestroy = FSaveFormDestroy;
        }
    if (FAppStorage != nullptr)
        FAppStorage->RemoveFreeNotification(this);
}

void TKitFormPlacement::SetAppStorage(TKitCustomAppStorage* Value) { ReplaceComponentReference(this, Value, FAppStorage); }

void TKitFormPlacement::SetAppStoragePath(const String& Value)
{
    FAppStoragePath = Value;
    if (!FAppStoragePath.isEmpty() && !FAppStoragePath.endsWith(u'\\'))
        FAppStoragePath += u'\\';
    if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDesigning))
        ResolveAppStoragePath();
}

void TKitFormPlacement::ResolveAppStoragePath()
{
    const int at = int(FAppStoragePath.indexOf(formNameMacro, 0, Qt::CaseInsensitive));
    if (at >= 0 && Form() != nullptr)
        FAppStoragePath.replace(at, formNameMacro.size(), Form()->Name());
}

void TKitFormPlacement::Notification(TComponent* AComponent, TOperation Operation)
{
    TKitComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAppStorage)
        FAppStorage = nullptr;
}

void TKitFormPlacement::Loaded()
{
    const bool loading = ComponentState().Contains(csLoading);
    TKitComponent::Loaded();
    if (ComponentState().Contains(csDesigning))
        return;
    ResolveAppStoragePath();
    TCustomForm* form = Form();
    if (loading && form != nullptr && !FHooked) {
        FSaveFormShow = form->OnShow;
        FSaveFormCloseQuery = form->OnCloseQuery;
        FSaveFormDestroy = form->OnDestroy;
        form->OnShow = TNotifyEvent(this, &TKitFormPlacement::formShow);
        form->OnCloseQuery = TCloseQueryEvent(this, &TKitFormPlacement::formCloseQuery);
        form->OnDestroy = TNotifyEvent(this, &TKitFormPlacement::formDestroy);
        FHooked = true;
        FDefMaximize = form->BorderIcons().Contains(biMaximize);
        if (FPreventResize)
            UpdatePreventResize();
    }
    UpdateWindowHook();
}

void TKitFormPlacement::formShow(TObject* Sender)
{
    if (IsActive() && !FRestored)
        toApplication(this, [&] { RestorePlacement(); });
    if (FSaveFormShow)
        FSaveFormShow(Sender);
}

void TKitFormPlacement::formCloseQuery(TObject* Sender, bool& CanClose)
{
    if (FSaveFormCloseQuery)
        FSaveFormCloseQuery(Sender, CanClose);
    if (CanClose && IsActive() && Form() != nullptr && Form()->HandleAllocated())
        toApplication(this, [&] { SavePlacement(); });
}

void TKitFormPlacement::formDestroy(TObject* Sender)
{
    if (IsActive() && !FSaved) {
        FDestroying = true;
        toApplication(this, [&] { SavePlacement(); });
        FDestroying = false;
    }
    // The form is going: its handlers are not put back, nor its window hooked.
    FFormGone = true;
    FWinHook->SetControl(nullptr);
    if (FSaveFormDestroy)
        FSaveFormDestroy(Sender);
}

String TKitFormPlacement::storagePath(const String& Name, bool Reading)
{
    return FAppStorage->JoinPaths({FAppStoragePath, FAppStorage->TranslatePropertyName(this, Name, Reading)});
}

String TKitFormPlacement::ReadString(const String& Name, const String& Default)
{
    return FAppStorage == nullptr || Name.isEmpty() ? Default : FAppStorage->ReadString(storagePath(Name, true), Default);
}
void TKitFormPlacement::WriteString(const String& Name, const String& Value)
{
    if (FAppStorage != nullptr && !Name.isEmpty())
        FAppStorage->WriteString(storagePath(Name, false), Value);
}
int TKitFormPlacement::ReadInteger(const String& Name, int Default)
{
    return FAppStorage == nullptr || Name.isEmpty() ? Default : FAppStorage->ReadInteger(storagePath(Name, true), Default);
}
void TKitFormPlacement::WriteInteger(const String& Name, int Value)
{
    if (FAppStorage != nullptr && !Name.isEmpty())
        FAppStorage->WriteInteger(storagePath(Name, false), Value);
}
bool TKitFormPlacement::ReadBoolean(const String& Name, bool Default)
{
    return FAppStorage == nullptr || Name.isEmpty() ? Default : FAppStorage->ReadBoolean(storagePath(Name, true), Default);
}
void TKitFormPlacement::WriteBoolean(const String& Name, bool Value)
{
    if (FAppStorage != nullptr && !Name.isEmpty())
        FAppStorage->WriteBoolean(storagePath(Name, false), Value);
}
long double TKitFormPlacement::ReadFloat(const String& Name, long double Default)
{
    return FAppStorage == nullptr || Name.isEmpty() ? Default : FAppStorage->ReadFloat(storagePath(Name, true), Default);
}
void TKitFormPlacement::WriteFloat(const String& Name, long double Value)
{
    if (FAppStorage != nullptr && !Name.isEmpty())
        FAppStorage->WriteFloat(storagePath(Name, false), Value);
}
TDateTime TKitFormPlacement::ReadDateTime(const String& Name, TDateTime Default)
{
    return FAppStorage == nullptr || Name.isEmpty() ? Default
                                                    : FAppStorage->ReadDateTime(storagePath(Name, true), Default);
}
void TKitFormPlacement::WriteDateTime(const String& Name, TDateTime Value)
{
    if (FAppStorage != nullptr && !Name.isEmpty())
        FAppStorage->WriteDateTime(storagePath(Name, false), Value);
}

String TKitFormPlacement::JoinPaths(const QStringList& Parts) const
{
    return FAppStorage != nullptr ? TKitCustomAppStorage::JoinPaths(Parts) : String();
}

void TKitFormPlacement::DoSavePlacement()
{
    if (OnSavePlacement)
        OnSavePlacement(this);
}

void TKitFormPlacement::DoRestorePlacement()
{
    if (OnRestorePlacement)
        OnRestorePlacement(this);
}

void TKitFormPlacement::SavePlacement()
{
    if (FAppStorage == nullptr)
        return;
    TUpdateScope update(FAppStorage);
    ResolveAppStoragePath();
    if (BeforeSavePlacement)
        BeforeSavePlacement(this);
    if (FVersionCheck != fpvcNocheck)
        WriteInteger(QStringLiteral("FormVersion"), FVersion);
    DoSavePlacement();
    StorePlacement();
    if (AfterSavePlacement)
        AfterSavePlacement(this);
    FSaved = true;
}

void TKitFormPlacement::RestorePlacement()
{
    ResolveAppStoragePath();
    if (FAppStorage != nullptr) {
        TUpdateScope update(FAppStorage);
        struct MarkRestored {
            bool& Flag;
            ~MarkRestored() { Flag = true; }
        } mark{FRestored};
        FSaved = false;
        const int stored = ReadInteger(QStringLiteral("FormVersion"), 0);
        const bool passes = FVersionCheck == fpvcNocheck ||
                            (FVersionCheck == fpvcCheckGreaterEqual && stored >= FVersion) ||
                            (FVersionCheck == fpvcCheckEqual && stored == FVersion);
        if (passes) {
            if (BeforeRestorePlacement)
                BeforeRestorePlacement(this);
            LoadPlacement();
            FRestored = true;
            DoRestorePlacement();
            if (FOptions.Contains(fpActiveControl) && Form() != nullptr) {
                const String name = FAppStorage->ReadString(JoinPaths({FAppStoragePath, QStringLiteral("ActiveControl")}));
                auto* c = dynamic_cast<TWinControl*>(Form()->FindComponent(name));
                if (c != nullptr && c->CanFocus())
                    Form()->SetActiveControl(c);
            }
            if (AfterRestorePlacement)
                AfterRestorePlacement(this);
        }
    }
    UpdatePlacement();
}

void TKitFormPlacement::StorePlacement()
{
    TCustomForm* form = Form();
    if (form == nullptr)
        return;
    if (FOptions != TPlacementOptions{fpActiveControl})
        StoreWindowPlacement(form, FAppStorage, FAppStoragePath, FOptions);
    if (FOptions.Contains(fpActiveControl) && form->ActiveControl() != nullptr)
        FAppStorage->WriteString(JoinPaths({FAppStoragePath, QStringLiteral("ActiveControl")}),
                                 form->ActiveControl()->Name());
}

void TKitFormPlacement::LoadPlacement()
{
    if (TCustomForm* form = Form())
        LoadWindowPlacement(form, FAppStorage, FAppStoragePath, FOptions);
}

// Our windows have no WM_GETMINMAXINFO from the window system: the limits
// reach the real window as the form's size constraints. A limit the
// placement does not set keeps the form's own, and the form's own come back
// when the placement no longer limits the window.
void TKitFormPlacement::applyConstraints(bool Wanted)
{
    TCustomForm* form = Form();
    if (form == nullptr || FFormGone)
        return;
    if (!Wanted) {
        if (FOwnConstraints) {
            const TSizeConstraints own = *FOwnConstraints;
            FOwnConstraints.reset();
            form->SetConstraints(own);
        }
        return;
    }
    if (!FOwnConstraints)
        FOwnConstraints = form->Constraints();
    TSizeConstraints c = *FOwnConstraints;
    if (FPreventResize)
        c = TSizeConstraints{form->Width(), form->Height(), form->Width(), form->Height()};
    else {
        auto take = [&](int index, int& member) {
            if (FMinMaxInfo->Value(index) != 0)
                member = FMinMaxInfo->Value(index);
        };
        take(6, c.MinWidth);
        take(7, c.MinHeight);
        take(4, c.MaxWidth);
        take(5, c.MaxHeight);
    }
    form->SetConstraints(c);
}

void TKitFormPlacement::UpdatePlacement()
{
    TCustomForm* form = Form();
    if (form == nullptr || !form->HandleAllocated() || ComponentState().Contains(csLoading) || FPreventResize ||
        !FMinMaxInfo->DefaultMinMaxInfo())
        return;
    // The maximised position the window system would use for the border;
    // our toolkit places maximised windows itself, so the record only keeps it.
    WINDOWPLACEMENT p;
    GetWindowPlacement(form->Handle(), &p);
    if (!form->Visible())
        p.showCmd = SW_HIDE;
    switch (form->BorderStyle()) {
    case bsSingle: case bsToolWindow: p.ptMaxPosition = {-GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER)}; break;
    case bsSizeable: case bsSizeToolWin: p.ptMaxPosition = {-GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME)}; break;
    case bsDialog: p.ptMaxPosition = {-GetSystemMetrics(SM_CXDLGFRAME), -GetSystemMetrics(SM_CYDLGFRAME)}; break;
    default: p.ptMaxPosition = {0, 0}; break;
    }
    SetWindowPlacement(form->Handle(), &p);
}

void TKitFormPlacement::SetPreventResize(bool Value)
{
    if (FPreventResize == Value)
        return;
    FPreventResize = Value;
    if (Form() != nullptr && !ComponentState().Contains(csLoading))
        UpdatePreventResize();
    UpdatePlacement();
}

void TKitFormPlacement::UpdatePreventResize()
{
    TCustomForm* form = Form();
    if (form == nullptr || ComponentState().Contains(csDesigning) || FFormGone)
        return;
    const bool wasActive = FActive;
    FActive = false;
    if (FPreventResize)
        FDefMaximize = form->BorderIcons().Contains(biMaximize);
    TBorderIcons icons = form->BorderIcons();
    if (FPreventResize || !FDefMaximize || form->BorderStyle() == bsDialog)
        icons.Exclude(biMaximize);
    else
        icons.Include(biMaximize);
    form->SetBorderIcons(icons);
    FActive = wasActive;
    if (!ComponentState().Contains(csLoading))
        UpdateWindowHook();
}

void TKitFormPlacement::UpdateWindowHook()
{
    TCustomForm* form = Form();
    const bool wanted = form != nullptr && !FFormGone && !ComponentState().Contains(csDesigning) &&
                        (!FMinMaxInfo->DefaultMinMaxInfo() || FPreventResize);
    FWinHook->SetControl(wanted ? form : nullptr);
    applyConstraints(wanted);
}

void TKitFormPlacement::MinMaxInfoModified()
{
    UpdatePlacement();
    if (!ComponentState().Contains(csLoading))
        UpdateWindowHook();
}

void TKitFormPlacement::afterWindowMessage(TObject*, TMessage& Msg, bool& Handled)
{
    TCustomForm* form = Form();
    if (FPreventResize && form != nullptr) {
        switch (Msg.Msg) {
        case WM_GETMINMAXINFO:
            if (form->HandleAllocated() && form->Visible()) {
                auto* mmi = reinterpret_cast<MINMAXINFO*>(Msg.LParam);
                mmi->ptMinTrackSize = mmi->ptMaxTrackSize = TPoint{form->Width(), form->Height()};
                Msg.Result = 1;
            }
            break;
        case WM_NCHITTEST:
            if (Msg.Result >= HTLEFT && Msg.Result <= HTBOTTOMRIGHT)
                Msg.Result = HTNOWHERE;
            break;
        default: break;
        }
        return;
    }
    if (Msg.Msg != WM_GETMINMAXINFO)
        return;
    auto* mmi = reinterpret_cast<MINMAXINFO*>(Msg.LParam);
    if (FMinMaxInfo->DefaultMinMaxInfo())
        mmi->ptMaxPosition = TPoint{0, 0};
    else {
        auto take = [&](int index, int& member) {
            if (FMinMaxInfo->Value(index) != 0)
                member = FMinMaxInfo->Value(index);
        };
        take(0, mmi->ptMaxPosition.X);
        take(1, mmi->ptMaxPosition.Y);
        take(2, mmi->ptMaxSize.X);
        take(3, mmi->ptMaxSize.Y);
        take(4, mmi->ptMaxTrackSize.X);
        take(5, mmi->ptMaxTrackSize.Y);
        take(6, mmi->ptMinTrackSize.X);
        take(7, mmi->ptMinTrackSize.Y);
    }
    Msg.Result = 1;
    (void)Handled;
}

// -------------------------------------------------------------- stored values

TKitStoredValues::TKitStoredValues(TPersistent* AOwner) : TOwnedCollection(AOwner, ItemClassOf<TKitStoredValue>()) {}

TKitFormStorage* TKitStoredValues::Storage() const { return dynamic_cast<TKitFormStorage*>(GetOwner()); }

int TKitStoredValues::IndexOfName(const String& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (QString::localeAwareCompare(Items(i)->Name().toUpper(), Name.toUpper()) == 0)
            return i;
    return -1;
}

void TKitStoredValues::StoreAll()
{
    for (int i = 0; i < Count(); ++i)
        Items(i)->StoreValue();
}

void TKitStoredValues::LoadAll()
{
    for (int i = 0; i < Count(); ++i)
        Items(i)->RestoreValue();
}

TKitFormStorage* TKitStoredValue::storage() const
{
    auto* values = dynamic_cast<TKitStoredValues*>(Collection());
    return values != nullptr ? values->Storage() : nullptr;
}

void TKitStoredValue::SetName(const String& Value)
{
    auto* values = dynamic_cast<TKitStoredValues*>(Collection());
    if (!Value.isEmpty() && values != nullptr) {
        const int at = values->IndexOfName(Value);
        if (at >= 0 && values->Items(at) != this)
            throw EKitException(LoadResString(RsDuplicateString));
    }
    FName = Value;
}

void TKitStoredValue::Assign(const TPersistent* Source)
{
    if (auto* v = dynamic_cast<const TKitStoredValue*>(Source)) {
        FValue = v->FValue;
        SetName(v->FName);
        FKeyString = v->FKeyString;
        return;
    }
    TCollectionItem::Assign(Source);
}

void TKitStoredValue::StoreValue()
{
    TKitFormStorage* s = storage();
    if (s == nullptr)
        return;
    const auto* values = static_cast<const TKitStoredValues*>(Collection());
    const String path = TKitCustomAppStorage::JoinPaths({values->Path(), FName});
    Variant v = FValue;
    if (OnSave)
        OnSave(this, v);
    if (!FKeyString.isEmpty()) {
        s->WriteString(path, KeyXorHexEncode(FKeyString, v.AsString()));
        return;
    }
    switch (v.VType() & varTypeMask) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
        s->WriteInteger(path, v.AsInteger());
        break;
    case varSingle: case varDouble: case varCurrency: s->WriteFloat(path, v.AsDouble()); break;
    case varDate: s->WriteDateTime(path, v.AsDateTime()); break;
    case varBoolean: s->WriteBoolean(path, v.AsBoolean()); break;
    default: s->WriteString(path, v.AsString()); break;
    }
}

void TKitStoredValue::RestoreValue()
{
    TKitFormStorage* s = storage();
    if (s == nullptr)
        return;
    const auto* values = static_cast<const TKitStoredValues*>(Collection());
    const String path = TKitCustomAppStorage::JoinPaths({values->Path(), FName});
    Variant v;
    if (!FKeyString.isEmpty())
        v = Variant(KeyXorHexDecode(FKeyString, s->ReadString(path, KeyXorHexEncode(FKeyString, FValue.AsString()))));
    else {
        switch (FValue.VType() & varTypeMask) {
        case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
            v = Variant(s->ReadInteger(path, FValue.AsInteger()));
            break;
        case varSingle: case varDouble: case varCurrency: v = Variant(double(s->ReadFloat(path, FValue.AsDouble()))); break;
        case varDate: v = VarFromDateTime(s->ReadDateTime(path, FValue.AsDateTime())); break;
        case varBoolean: v = Variant(s->ReadBoolean(path, FValue.AsBoolean())); break;
        default: v = Variant(s->ReadString(path, FValue.AsString())); break;
        }
    }
    if (OnRestore)
        OnRestore(this, v);
    FValue = v;
}

// ------------------------------------------------------------ TKitFormStorage

TKitFormStorage::TKitFormStorage(TComponent* AOwner)
    : TKitFormPlacement(AOwner), FStoredProps(std::make_unique<TStringList>()),
      FStoredValues(std::make_unique<TKitStoredValues>(this))
{
}

TKitFormStorage::~TKitFormStorage()
{
    FStorageDestroying = true;
    for (int i = 0; i < FStoredProps->Count(); ++i)
        if (auto* c = dynamic_cast<TComponent*>(FStoredProps->Objects(i)))
            c->RemoveFreeNotification(this);
    FStoredProps.reset();
    FStoredValues.reset();
}

void TKitFormStorage::resolve()
{
    if (ComponentState().Contains(csLoading) || Owner() == nullptr)
        return;
    ResolveStoredProps(Owner(), FStoredProps.get(), true);
    for (int i = 0; i < FStoredProps->Count(); ++i)
        if (auto* c = dynamic_cast<TComponent*>(FStoredProps->Objects(i)))
            c->FreeNotification(this);
}

void TKitFormStorage::SetStoredProps(const TStrings* Value)
{
    FStoredProps->Assign(Value);
    resolve();
}

void TKitFormStorage::Loaded()
{
    TKitFormPlacement::Loaded();
    resolve();
}

void TKitFormStorage::Notification(TComponent* AComponent, TOperation Operation)
{
    TKitFormPlacement::Notification(AComponent, Operation);
    if (Operation != opRemove || FStorageDestroying || !FStoredProps)
        return;
    for (int i = FStoredProps->Count() - 1; i >= 0; --i)
        if (FStoredProps->Objects(i) == AComponent)
            FStoredProps->Delete(i);
}

void TKitFormStorage::StorePlacement()
{
    if (!FRestored)
        return;  // a storage never restored would write its design values over the stored ones
    TKitFormPlacement::StorePlacement();
    StoreStoredProps();
    FStoredValues->StoreAll();
}

void TKitFormStorage::LoadPlacement()
{
    TKitFormPlacement::LoadPlacement();
    FRestored = true;
    LoadStoredProps();
    FStoredValues->LoadAll();
}

void TKitFormStorage::StoreStoredProps()
{
    TKitPropertyStorage props;
    props.SetAppStorage(AppStorage());
    props.SetAppStoragePath(JoinPaths({AppStoragePath(), FStoredPropsPath}));
    props.StoreComponentProps(Owner(), FStoredProps.get());
}

void TKitFormStorage::LoadStoredProps()
{
    try {
        TKitPropertyStorage props;
        props.SetAppStorage(AppStorage());
        props.SetAppStoragePath(JoinPaths({AppStoragePath(), FStoredPropsPath}));
        props.LoadComponentProps(Owner(), FStoredProps.get());
    } catch (const Exception&) {
        // a storage that cannot be read leaves the design values
    }
}
