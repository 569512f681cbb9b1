// Runs the engine's units around the whole test program, as the program
// does, so that the main window can load the media libraries and convert.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include "engine/EngineUnits.h"
#include "engine/FFLoad.h"

namespace {

class MainEngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        AddEngineUnits(FUnits);
        FUnits.Initialize();
        // The media libraries' dependencies keep allocations in their static
        // data; keeping the system's copies mapped stops those reading as leaks.
        for (int lib = libAVCodec; lib <= libSwScale; ++lib) {
            const AnsiString name = FFLoader()->GetLibraryFileName(static_cast<TFFLibrary>(lib)).toUtf8();
            if (void* handle = dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE))
                FPinned.push_back(handle);
        }
    }
    void TearDown() override
    {
        for (void* handle : FPinned)
            dlclose(handle);
        FUnits.Finalize();
    }

private:
    TStartupList FUnits;
    std::vector<void*> FPinned;
};

// gtest owns registered environments.
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new MainEngineEnvironment);

}  // namespace
