// FFLoad.h - the one loader of the media libraries: it opens them by soname at
// run time, binds every entry point the engine uses, and keeps the last error.
#pragma once
#include <cstdint>

#include "platform/rtl/ResString.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"

namespace FFLoadConsts {
VORLANE_RESOURCESTRING(SLoadLibraryError, "Load library %s error: %s");
VORLANE_RESOURCESTRING(SLibraryNotLoaded, "Library %s not loaded.");
VORLANE_RESOURCESTRING(SWrongMajorVersion, "major version %d found, %d expected");
}  // namespace FFLoadConsts

// The table order: the bit order of the sets and the order of the texts.
enum TFFLibrary { libAVCodec, libAVDevice, libAVFilter, libAVFormat, libAVUtil, libSwResample, libSwScale, libCRuntime };
using TFFLibraries = TSet<TFFLibrary>;

inline constexpr TFFLibraries AllLibraries = TFFLibraries::fromBits(0xFF);
inline constexpr TFFLibraries EncoderLibraries = TFFLibraries::fromBits(0xFF);
inline constexpr TFFLibraries DecoderLibraries = TFFLibraries::fromBits(0xF9);

// One constant row of the library table.
struct TLibraryItem {
    TFFLibrary Library;
    const char* Name;       // base name: "avcodec" ... "c"
    bool IsSystem;          // always from the system, never from LibraryPath
    int MajorVersion;       // the soname's major; -1 for none
    void (*Bind)(const String& fileName, void* handle);
    void (*Unbind)();
    unsigned (*Version)();  // the library's own version word once bound, or nullptr
};

const TLibraryItem& LibraryItem(TFFLibrary lib);

// Used from the main thread only, like the Parts that load and unload.
class TFFLoader {
public:
    TFFLoader() = default;
    ~TFFLoader();
    TFFLoader(const TFFLoader&) = delete;
    TFFLoader& operator=(const TFFLoader&) = delete;

    bool UseLogCallback() const { return FUseLogCallback; }
    // The folder the set is loaded from when it holds the utility library;
    // otherwise every library comes from the system.
    const String& LibraryPath() const { return FLibraryPath; }
    void SetLibraryPath(const String& value) { FLibraryPath = value; }
    const String& LastError() const { return FLastError; }

    // "lib" + Name + ".so." + major: libavcodec.so.59, libc.so.6.
    String GetLibraryFileName(TFFLibrary lib) const;

    bool LoadLib(TFFLibrary lib);
    // In dependency order (utility library first); on a failure the whole
    // set is unloaded again and the result is false.
    bool LoadLibs(TFFLibraries libs);
    bool IsLoaded(TFFLibrary lib) const;
    bool AreLoaded(TFFLibraries libs) const;
    // Raises Exception "Library %s not loaded." for the first missing one.
    void CheckLoaded(TFFLibraries libs) const;
    void UnloadLib(TFFLibrary lib);
    // In reverse dependency order.
    void UnloadLibs(TFFLibraries libs);

    // Where the loaded set came from: a folder with a trailing delimiter,
    // or empty for the system.
    const String& LoadedFrom() const { return FLoadedFrom; }

private:
    struct TLibraryStatus {
        void* Handle = nullptr;
        bool Bound = false;
    };

    String chooseFolder() const;
    bool anyLibraryLoaded() const;

    bool FUseLogCallback = true;
    String FLibraryPath;
    String FLastError;
    String FLoadedFrom;
    TLibraryStatus FStatus[8];
};

// The loader; nullptr outside the unit's lifetime.
TFFLoader* FFLoader();

void FFLoadInitialization();
void FFLoadFinalization();
