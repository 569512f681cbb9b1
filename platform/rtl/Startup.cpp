#include "platform/rtl/Startup.h"

#include <cstdio>
#include <exception>

#include "platform/rtl/Exception.h"

void TStartupList::Add(const String& unitName, TUnitProc initialization, TUnitProc finalization)
{
    FUnits.push_back({unitName, std::move(initialization), std::move(finalization)});
}

void TStartupList::Initialize()
{
    for (size_t i = FInitializedCount; i < FUnits.size(); ++i) {
        try {
            if (FUnits[i].Initialization)
                FUnits[i].Initialization();
        } catch (...) {
            Finalize();
            throw;
        }
        FInitializedCount = i + 1;
    }
}

void TStartupList::Finalize() noexcept
{
    while (FInitializedCount > 0) {
        const TUnit& unit = FUnits[--FInitializedCount];
        if (!unit.Finalization)
            continue;
        try {
            unit.Finalization();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "finalization of %s failed: %s\n", unit.Name.toUtf8().constData(), e.what());
        } catch (...) {
            std::fprintf(stderr, "finalization of %s failed\n", unit.Name.toUtf8().constData());
        }
    }
}

std::vector<String> TStartupList::UnitNames() const
{
    std::vector<String> names;
    for (const TUnit& unit : FUnits)
        names.push_back(unit.Name);
    return names;
}

TStartupScope::TStartupScope()
{
    AddPlatformUnits(FUnits);
    FUnits.Initialize();
}

TStartupScope::TStartupScope(TStartupList units)
    : FUnits(std::move(units))
{
    FUnits.Initialize();
}

TStartupScope::~TStartupScope()
{
    FUnits.Finalize();
}
