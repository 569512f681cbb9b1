// vxGDIPlusAPI.h - what the library's image units need of an imaging
// service: its error type, its availability, and the ordered start and stop
// of the units built on it. The imaging itself is Qt's, always present.
#pragma once
#include <functional>
#include <vector>

#include "ui/foundation/vxCore.h"

class TStartupList;

namespace vxGDIPlusConsts {
VORLANE_RESOURCESTRING(SvxGdipInvalidOperation, "Invalid operation in GDI+ (Code: %d)");
}  // namespace vxGDIPlusConsts

// Status codes of the imaging operations (0 is success).
enum : int { GdipOk = 0, GdipGenericError = 1, GdipInvalidParameter = 2 };

class EvxGdipException : public EvxException {
public:
    explicit EvxGdipException(int AStatus);
    const char* ClassName() const override { return "EvxGdipException"; }
    int Status() const { return FStatus; }

private:
    int FStatus;
};

// Always true: the imaging is built in.
bool CheckGdiPlus();
// Raises EvxGdipException (AStatus) unless AStatus is 0.
void CheckGdipStatus(int AStatus);

// Start and stop procedures of units, run in order.
class TvxUnitsLoader {
public:
    using TProc = std::function<void()>;
    ~TvxUnitsLoader();
    // Runs AInitProc at once; AFinalizeProc runs at RunFinalizers (or at
    // UnregisterUnit). The key identifies the unit for UnregisterUnit.
    void RegisterUnit(const String& AKey, const TProc& AInitProc, const TProc& AFinalizeProc);
    // Runs the unit's finalize procedure now when it is registered.
    void UnregisterUnit(const String& AKey);
    // Last registered first; then the list is empty.
    void RunFinalizers();
    int Count() const { return int(FFinalizers.size()); }

private:
    std::vector<std::pair<String, TProc>> FFinalizers;
    bool FInitialized = false;
};

// Created on first use; the unit's finalization frees it.
TvxUnitsLoader* GetUnitsLoader();

void AddvxGDIPlusAPIUnit(TStartupList& AList);
