// Runs the engine's units around the whole test program, after the
// platform's own start-up, as the program does.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include "engine/EngineUnits.h"
#include "engine/FFLoad.h"

namespace {

class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        AddEngineUnits(FUnits);
        FUnits.Initialize();
        // The media libraries' own dependencies allocate when they are
        // mapped and keep that memory in their static data; unmapping them
        // between tests would report it as leaked. The system's copies stay
        // mapped for the whole program (a folder that links to them maps
        // the same files), while the loader still loads and unloads them.
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
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

}  // namespace
