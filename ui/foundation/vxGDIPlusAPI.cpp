#include "ui/foundation/vxGDIPlusAPI.h"

#include <memory>

#include "platform/rtl/Startup.h"

EvxGdipException::EvxGdipException(int AStatus)
    : EvxException(LoadResString(vxGDIPlusConsts::SvxGdipInvalidOperation), {AStatus}), FStatus(AStatus)
{
}

bool CheckGdiPlus() { return true; }

void CheckGdipStatus(int AStatus)
{
    if (AStatus != GdipOk)
        throw EvxGdipException(AStatus);
}

TvxUnitsLoader::~TvxUnitsLoader() { RunFinalizers(); }

void TvxUnitsLoader::RegisterUnit(const String& AKey, const TProc& AInitProc, const TProc& AFinalizeProc)
{
    if (AInitProc)
        AInitProc();
    FInitialized = true;
    FFinalizers.emplace_back(AKey, AFinalizeProc);
}

void TvxUnitsLoader::UnregisterUnit(const String& AKey)
{
    for (auto it = FFinalizers.begin(); it != FFinalizers.end(); ++it)
        if (it->first == AKey) {
            const TProc proc = it->second;
            FFinalizers.erase(it);
            if (proc)
                proc();
            return;
        }
}

void TvxUnitsLoader::RunFinalizers()
{
    if (FInitialized)
        while (!FFinalizers.empty()) {
            const TProc proc = FFinalizers.back().second;
            FFinalizers.pop_back();
            if (proc)
                proc();
        }
    FInitialized = false;
    FFinalizers.clear();
}

namespace {
std::unique_ptr<TvxUnitsLoader>& loader()
{
    static std::unique_ptr<TvxUnitsLoader> l;
    return l;
}
}  // namespace

TvxUnitsLoader* GetUnitsLoader()
{
    if (loader() == nullptr)
        loader() = std::make_unique<TvxUnitsLoader>();
    return loader().get();
}

void AddvxGDIPlusAPIUnit(TStartupList& AList)
{
    AList.Add(QStringLiteral("vxGDIPlusAPI"), [] { GetUnitsLoader(); }, [] { loader().reset(); });
}
