#include "engine/FFLoad.h"

#include <dlfcn.h>

#include <cerrno>
#include <cfenv>
#include <cstring>
#include <iterator>
#include <memory>

#include "engine/AVCodecStubs.h"
#include "engine/AVDeviceStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLog.h"
#include "engine/MyUtilStubs.h"
#include "engine/MyUtils.h"
#include "engine/SwResampleStubs.h"
#include "engine/SwScaleStubs.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/SysUtils.h"

namespace {

// The majors come from the headers the engine was built with: a library of
// another generation has other structures, so only this one may be bound.
const TLibraryItem libraryTable[] = {
    {libAVCodec, "avcodec", false, LIBAVCODEC_VERSION_MAJOR, &AVCodecBind, &AVCodecUnbind,
     [] { return ff::avcodec_version(); }},
    {libAVDevice, "avdevice", false, LIBAVDEVICE_VERSION_MAJOR, &AVDeviceBind, &AVDeviceUnbind,
     [] { return ff::avdevice_version(); }},
    {libAVFilter, "avfilter", false, LIBAVFILTER_VERSION_MAJOR, &AVFilterBind, &AVFilterUnbind,
     [] { return ff::avfilter_version(); }},
    {libAVFormat, "avformat", false, LIBAVFORMAT_VERSION_MAJOR, &AVFormatBind, &AVFormatUnbind,
     [] { return ff::avformat_version(); }},
    {libAVUtil, "avutil", false, LIBAVUTIL_VERSION_MAJOR, &AVUtilBind, &AVUtilUnbind,
     [] { return ff::avutil_version(); }},
    {libSwResample, "swresample", false, LIBSWRESAMPLE_VERSION_MAJOR, &SwResampleBind, &SwResampleUnbind,
     [] { return ff::swresample_version(); }},
    {libSwScale, "swscale", false, LIBSWSCALE_VERSION_MAJOR, &SwScaleBind, &SwScaleUnbind,
     [] { return ff::swscale_version(); }},
    {libCRuntime, "c", true, 6, &MyUtilBind, &MyUtilUnbind, nullptr},
};

// Each library after the ones it links against, so that dlopen finds them
// already loaded by soname (from the same place) instead of searching.
constexpr TFFLibrary loadOrder[] = {libAVUtil, libSwResample, libSwScale, libAVCodec,
                                    libAVFormat, libAVFilter, libAVDevice, libCRuntime};

std::unique_ptr<TFFLoader> loader;
fenv_t savedFloatEnvironment;

}  // namespace

const TLibraryItem& LibraryItem(TFFLibrary lib)
{
    return libraryTable[lib];
}

TFFLoader* FFLoader()
{
    return loader.get();
}

TFFLoader::~TFFLoader()
{
    UnloadLibs(AllLibraries);
}

String TFFLoader::GetLibraryFileName(TFFLibrary lib) const
{
    const TLibraryItem& item = LibraryItem(lib);
    String name = String::fromLatin1("lib") + String::fromLatin1(item.Name) + String::fromLatin1(".so");
    if (item.MajorVersion >= 0)
        name += String::fromLatin1(".") + String::number(item.MajorVersion);
    return name;
}

bool TFFLoader::anyLibraryLoaded() const
{
    for (const TLibraryItem& item : libraryTable)
        if (!item.IsSystem && FStatus[item.Library].Handle != nullptr)
            return true;
    return false;
}

// The whole set from one place: two copies of the utility library in one
// process would split its state (the log call-back among it).
String TFFLoader::chooseFolder() const
{
    if (anyLibraryLoaded())
        return FLoadedFrom;
    if (FLibraryPath.isEmpty())
        return String();
    const String folder = IncludeTrailingPathDelimiter(FLibraryPath);
    return FileExists(folder + GetLibraryFileName(libAVUtil)) ? folder : String();
}

bool TFFLoader::LoadLib(TFFLibrary lib)
{
    const TLibraryItem& item = LibraryItem(lib);
    TLibraryStatus& status = FStatus[lib];
    const String fileName = GetLibraryFileName(lib);
    const String folder = item.IsSystem ? String() : chooseFolder();
    if (status.Handle == nullptr) {
        String error;
        void* handle = nullptr;
        // A library missing from the chosen folder is an error, not a reason
        // to take the system's copy of it.
        if (folder.isEmpty() || FileExists(folder + fileName))
            handle = LoadLibraryFromFolder(folder, fileName, error);
        else
            error = LibraryText(std::strerror(ENOENT));
        if (handle == nullptr) {
            FLastError = LoadResStringFmt(FFLoadConsts::SLoadLibraryError, {folder + fileName, error});
            return false;
        }
        if (!item.IsSystem && !anyLibraryLoaded())
            FLoadedFrom = folder;
        status.Handle = handle;
    }
    if (!status.Bound) {
        try {
            item.Bind(fileName, status.Handle);
            if (item.Version != nullptr) {
                const int major = static_cast<int>(item.Version() >> 16);
                if (major != item.MajorVersion)
                    throw Exception(LoadResString(FFLoadConsts::SLoadLibraryError),
                                    {folder + fileName,
                                     LoadResStringFmt(FFLoadConsts::SWrongMajorVersion, {major, item.MajorVersion})});
            }
            status.Bound = true;
        } catch (const Exception& e) {
            FLastError = e.Message();
            // No pointer may keep pointing into a module that is about to go.
            item.Unbind();
        }
    }
    if (!status.Bound) {
        UnloadLib(lib);
        return false;
    }
    if (lib == libAVUtil && FUseLogCallback)
        GetLogger()->InstallLogCallback();
    else if (lib == libAVDevice)
        ff::avdevice_register_all();
    return true;
}

bool TFFLoader::LoadLibs(TFFLibraries libs)
{
    if (libs.Empty())
        AssertionFailure();
    for (TFFLibrary lib : loadOrder) {
        if (libs.Contains(lib) && !LoadLib(lib)) {
            UnloadLibs(libs);
            return false;
        }
    }
    return true;
}

bool TFFLoader::IsLoaded(TFFLibrary lib) const
{
    return FStatus[lib].Handle != nullptr && FStatus[lib].Bound;
}

bool TFFLoader::AreLoaded(TFFLibraries libs) const
{
    if (libs.Empty())
        AssertionFailure();
    for (const TLibraryItem& item : libraryTable)
        if (libs.Contains(item.Library) && !IsLoaded(item.Library))
            return false;
    return true;
}

void TFFLoader::CheckLoaded(TFFLibraries libs) const
{
    for (const TLibraryItem& item : libraryTable)
        if (libs.Contains(item.Library) && !IsLoaded(item.Library))
            throw Exception(LoadResString(FFLoadConsts::SLibraryNotLoaded), {item.Name});
}

void TFFLoader::UnloadLib(TFFLibrary lib)
{
    TLibraryStatus& status = FStatus[lib];
    if (status.Bound) {
        // The library may stay mapped (another library links against it):
        // it must not call into a logger that is about to go.
        if (lib == libAVUtil && ff::av_log_set_callback != nullptr && ff::av_log_default_callback != nullptr)
            ff::av_log_set_callback(ff::av_log_default_callback);
        LibraryItem(lib).Unbind();
        status.Bound = false;
    }
    if (status.Handle != nullptr) {
        dlclose(status.Handle);
        status.Handle = nullptr;
    }
    if (!anyLibraryLoaded())
        FLoadedFrom.clear();
}

void TFFLoader::UnloadLibs(TFFLibraries libs)
{
    if (libs.Empty())
        AssertionFailure();
    for (auto it = std::rbegin(loadOrder); it != std::rend(loadOrder); ++it)
        if (libs.Contains(*it))
            UnloadLib(*it);
}

void FFLoadInitialization()
{
    // Division by zero and invalid operations give infinities and NaNs in
    // every thread instead of traps; threads inherit this environment.
    fegetenv(&savedFloatEnvironment);
    fedisableexcept(FE_ALL_EXCEPT);
    loader = std::make_unique<TFFLoader>();
}

void FFLoadFinalization()
{
    loader.reset();
    fesetenv(&savedFloatEnvironment);
}
