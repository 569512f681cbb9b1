#include "skin/SknManage.h"

#include <QTimer>
#include <algorithm>

#include "skin/SknData.h"

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
    FTimer->stop();
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
    switch (FAction) {
    case 1:
        FOn = true;
        break;
    case 2: FOn = false; break;
    case 7: FAction = 0; return;  // re-skinning one window is not a skin change
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
