// Startup.h - the ordered start-up and finalization lists. Every unit that
// needs set-up registers one function pair here, in an order the program
// states explicitly; finalization runs in the reverse order and never throws.
// Nothing depends on the order of C++ static initialisation.
#pragma once
#include <functional>
#include <vector>

#include "platform/rtl/String.h"

class TStartupList {
public:
    using TUnitProc = std::function<void()>;

    // Appends a unit; either procedure may be empty.
    void Add(const String& unitName, TUnitProc initialization, TUnitProc finalization = {});

    // Runs the initializations in order. If one throws, the units already
    // initialized are finalized in reverse order and the exception goes on.
    void Initialize();

    // Runs the finalizations of the initialized units in reverse order; a
    // failure is reported to standard error and the next unit still runs.
    void Finalize() noexcept;

    bool Initialized() const { return FInitializedCount > 0; }
    std::vector<String> UnitNames() const;

private:
    struct TUnit {
        String Name;
        TUnitProc Initialization;
        TUnitProc Finalization;
    };
    std::vector<TUnit> FUnits;
    size_t FInitializedCount = 0;
};

// The platform's own units, in their order.
void AddPlatformUnits(TStartupList& list);

// Initializes the platform's units (and any extra ones appended by the
// caller through Units() before Start) for the lifetime of the scope.
class TStartupScope {
public:
    TStartupScope();
    explicit TStartupScope(TStartupList units);
    ~TStartupScope();
    TStartupScope(const TStartupScope&) = delete;
    TStartupScope& operator=(const TStartupScope&) = delete;

private:
    TStartupList FUnits;
};
