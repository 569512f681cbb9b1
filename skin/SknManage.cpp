#include "skin/SknManage.h"

#include <QTimer>
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/WindowHook.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"

namespace {
std::unique_ptr<TSkinManage> manager;
}

TSkinManage* SkinManager()
{
    return manager.get();
}

TSkinManage& CreateSkinManager()
{
    if (!manager)
        manager = std::make_unique<TSkinManage>();
    return *manager;
}

void FreeSkinManager()
{
    manager.reset();
}

TSkinManage::TSkinManage() : FTimer(std::make_unique<QTimer>())
{
    FTimer->setSingleShot(true);
    QObject::connect(FTimer.get(), &QTimer::timeout, [this] { DoAction(); });
    FScheduler = [this](int ms) { FTimer->start(ms); };
}

TSkinManage::~TSkinManage()
{
    FOn = false;
    FStartState = 4;
    FTimer->stop();
    FHook.reset();
    // Give every form its own look back; the forms still own the skinners.
    const std::vector<TSknForm*> skinners = FSkinners;
    for (TSknForm* skinner : skinners)
        skinner->Unskin(false);
    for (const auto& popup : FPopups)
        popup->Unhook();
    FPopups.clear();
    FClosing = true;
    FSkinners.clear();
}

void TSkinManage::InstallHook()
{
    if (FHook)
        return;
    TWindowHookEvents events;
    events.FormShown = [this](TCustomForm* form) {
        if (FStartState != 0)
            SkinWindow(form);
    };
    events.FormActivated = [this](TCustomForm* form) {
        WindowActivated();
        SkinWindow(form);
    };
    events.MenuShown = [this](QWidget* menu) { SkinMenuWindow(MenuWindowOf(menu)); };
    events.MenuHidden = [this](QWidget* menu) { UnskinMenuWindow(MenuWindowOf(menu)); };
    FHook = std::make_unique<TWindowHook>(std::move(events));
}

TSknForm* TSkinManage::FindSkinner(const TCustomForm* Form) const
{
    for (TSknForm* skinner : FSkinners)
        if (skinner->Form() == Form && skinner->State() != 6)
            return skinner;
    return nullptr;
}

void TSkinManage::RemoveSkinner(TSknForm* Skinner)
{
    if (!FClosing)
        std::erase(FSkinners, Skinner);
}

void TSkinManage::dropDeadSkinners()
{
    std::vector<TSknForm*> dead;
    for (TSknForm* skinner : FSkinners)
        if (skinner->State() == 6)
            dead.push_back(skinner);
    for (TSknForm* skinner : dead)
        delete skinner;  // owned by its form; the destructor leaves the list
}

bool TSkinManage::SkinWindow(TCustomForm* Form)
{
    if (!FOn || Form == nullptr)
        return false;
    dropDeadSkinners();
    if (FindSkinner(Form) != nullptr)
        return false;
    if (Form->Perform(SKIN_QUERY_SKINNED) == 1)
        return false;
    const String className = Form->ClassName();
    if (Form->Width() == 0 || Form->Height() == 0)
        return false;
    if (Form->Tag() == 99)
        return false;
    if (className.contains(QLatin1String("TvlPopupEditPopupWindow")) ||
        className.contains(QLatin1String("TTERenderWindow")) || className == QLatin1String("TApplication"))
        return false;
    if (!CanSkin(className))
        return false;
    TSkinData* data = SelectSkinData(Form, className);
    if (data == nullptr || !data->SkinLoaded())
        return false;
    if (data->OnBeforeSkinForm)
        data->OnBeforeSkinForm(data, reinterpret_cast<intptr_t>(Form->Handle()), Form->Name());
    auto* skinner = new TSknForm(Form);  // the form owns it
    skinner->AttachForm(Form, data);
    FSkinners.push_back(skinner);
    PostMessage(Form->Handle(), SKIN_FINISH, 0, 1000);
    return true;
}

void TSkinManage::ReskinWindow(TCustomForm* Form, int Interval)
{
    FReskinForm = Form;
    QueueAction(7, Interval);
}

void TSkinManage::skinAll()
{
    FSkinningAll = true;
    dropDeadSkinners();
    if (Screen != nullptr)
        for (int i = Screen->FormCount() - 1; i >= 0; --i)
            SkinWindow(Screen->Forms(i));
    FSkinningAll = false;
}


void TSkinManage::SetScheduler(TScheduler Scheduler)
{
    FTimer->stop();
    FScheduler = std::move(Scheduler);
}

void TSkinManage::RegisterSkinData(TSkinData* SkinData)
{
    if (SkinData == nullptr || std::find(FSkinDatas.begin(), FSkinDatas.end(), SkinData) != FSkinDatas.end())
        return;
    FSkinDatas.push_back(SkinData);
    if (FMainSkinData == nullptr && SkinData->SkinFormtype() == sfMainform)
        FMainSkinData = SkinData;
}

void TSkinManage::UnregisterSkinData(TSkinData* SkinData)
{
    // Forms skinned from a skin that goes away get their own look back.
    for (TSknForm* skinner : std::vector<TSknForm*>(FSkinners))
        if (skinner->SkinData() == SkinData)
            skinner->Unskin(true);
    std::erase(FSkinDatas, SkinData);
    if (FMainSkinData == SkinData)
        FMainSkinData = nullptr;
    if (FCurrentSkinData == SkinData)
        FCurrentSkinData = nullptr;
}

void TSkinManage::WindowActivated()
{
    if (FStartState == 0)
        FStartState = 1;
}

void TSkinManage::QueueAction(int Action, int Interval)
{
    FAction = Action;
    if (FStartState == 0) {
        // Before the first activation windows are skinned as they appear.
        if (Action == 1)
            FOn = true;
        else if (Action == 2)
            FOn = false;
        return;
    }
    FTimerEnabled = true;
    if (FScheduler)
        FScheduler(Interval);
}

void TSkinManage::DoAction()
{
    FTimerEnabled = false;
    TSkinData* current = FCurrentSkinData;
    if (current == nullptr)
        return;
    const bool onlyOwner = current->SkinFormtype() == sfOnlyThisForm;
    auto* ownerForm = dynamic_cast<TCustomForm*>(current->Owner());
    switch (FAction) {
    case 1:
        FOn = true;
        if (onlyOwner) {
            FSkinningAll = true;
            SkinWindow(ownerForm);
            FSkinningAll = false;
        } else {
            skinAll();
        }
        break;
    case 2:
        FOn = false;
        dropDeadSkinners();
        for (TSknForm* skinner : std::vector<TSknForm*>(FSkinners))
            if (!onlyOwner || skinner->SkinData() == current) {
                skinner->Unskin(true);
                delete skinner;
            }
        break;
    case 3:
        dropDeadSkinners();
        for (TSknForm* skinner : FSkinners)
            if (skinner->SkinData() == current)
                skinner->ApplySkinColours();
        break;
    case 6: dropDeadSkinners(); break;
    case 7: {
        // Re-skinning one window is not a skin change: no notification.
        FAction = 0;
        TCustomForm* form = FReskinForm;
        FReskinForm = nullptr;
        if (TSknForm* skinner = FindSkinner(form))
            skinner->Unskin(false);
        dropDeadSkinners();
        SkinWindow(form);
        return;
    }
    default: break;
    }
    FAction = 0;
    current->DoSkinChanged();
    FCurrentSkinData = nullptr;
}

bool TSkinManage::CanSkin(const String& ClassName, unsigned Style) const
{
    if (FMainSkinData == nullptr)
        return true;
    const String lower = ClassName.toLower();
    if (!FMainSkinData->Options().Contains(xoPreview) && lower.contains(QLatin1String("preview")))
        return false;
    if (ClassName == QLatin1String("#32770") && (Style & 0x200) != 0)
        return false;
    if (lower == QLatin1String("tpopupdbtreeview"))
        return false;
    bool doSkin = true;
    FMainSkinData->DoFormSkin(0, ClassName, doSkin);
    return doSkin;
}

TSkinData* TSkinManage::SelectSkinData(const TComponent* Form, const String& ClassName) const
{
    TSkinData* found = nullptr;
    for (TSkinData* data : FSkinDatas)
        if (data->SkinFormtype() == sfOnlyThisForm && Form != nullptr && data->Owner() == Form)
            found = data;
    if (found != nullptr)
        return found;
    const String lower = ClassName.toLower();
    if (lower == QLatin1String("tmessageform") || lower == QLatin1String("#32770"))
        for (TSkinData* data : FSkinDatas)
            if (data->SkinFormtype() == sfDialog)
                found = data;
    if (found != nullptr)
        return found;
    for (TSkinData* data : FSkinDatas)
        if (data->SkinFormtype() == sfMainform)
            found = data;
    if (found != nullptr)
        return found;
    return FSkinDatas.empty() ? nullptr : FSkinDatas.front();
}

// ---- menu windows -----------------------------------------------------------

void TSkinManage::SkinMenuWindow(TMenuWindow* Window)
{
    if (!FOn || Window == nullptr)
        return;
    if (SendMessage(Window->Handle(), SKIN_QUERY_SKINNED, 0, 0) == 1)
        return;
    for (const auto& popup : FPopups)
        if (popup->Window() == Window)
            return;
    TSkinData* data = SelectSkinData(nullptr, String::fromLatin1("#32768"));
    if (data == nullptr || !data->SkinLoaded())
        return;
    const TSkinControlTypes kinds = data->SkinControls();
    switch (FMenuKind) {
    case 1:
        if (!kinds.Contains(xcMainMenu) && !kinds.Contains(xcMenuItem))
            return;
        break;
    case 2:
        if (!kinds.Contains(xcSystemMenu))
            return;
        break;
    default:
        if (!kinds.Contains(xcPopupMenu))
            return;
        break;
    }
    // A popup menu the program keeps plain keeps a plain window too.
    if (TMenuItem* item = Window->Item())
        if (auto* popup = dynamic_cast<TPopupMenu*>(item->GetParentMenu());
            popup != nullptr && popup->Tag() == data->DisableTag())
            return;
    auto skinner = std::make_unique<TSknPopMenu>();
    skinner->Hook(Window, data);
    FPopups.push_back(std::move(skinner));
}

void TSkinManage::UnskinMenuWindow(TMenuWindow* Window)
{
    if (Window == nullptr)
        return;
    const auto it = std::find_if(FPopups.begin(), FPopups.end(),
                                 [Window](const auto& p) { return p->Window() == Window; });
    if (it != FPopups.end()) {
        (*it)->Unhook();
        FPopups.erase(it);
    }
    if (FPopups.empty()) {
        FMenuBarOpen = false;
        FMenuKind = 0;
    }
}

TBitmap* TSkinManage::FindPopupBackground(const QMenu* Menu) const
{
    if (Menu == nullptr)
        return nullptr;
    for (const auto& popup : FPopups)
        if (popup->BoundMenu() == Menu)
            return popup->Background();
    return nullptr;
}
