// The theme manager started over a given theme library (the recording fake
// by default) for a test's lifetime; the previous library comes back after.
#pragma once
#include <memory>

#include "platform/rtl/Startup.h"
#include "ui/foundation/vxThemeManager.h"
#include "ui/foundation/vxUxTheme.h"

struct Themed {
    explicit Themed(std::unique_ptr<IvxThemeLibrary> ALibrary = std::make_unique<TvxRecordingThemeLibrary>())
        : Previous(SetThemeLibrary(std::move(ALibrary)))
    {
        AddvxThemeManagerUnit(Units);
        Units.Initialize();
    }
    ~Themed()
    {
        Units.Finalize();
        SetThemeLibrary(std::move(Previous));
    }
    TvxRecordingThemeLibrary* fake() const { return dynamic_cast<TvxRecordingThemeLibrary*>(ThemeLibrary()); }
    std::unique_ptr<IvxThemeLibrary> Previous;
    TStartupList Units;
};
