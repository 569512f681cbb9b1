// Video-hook plug-ins: the process-wide registry of loaded libraries and a
// task's chain of configured plug-ins.
#include "engine/VideoHookChain.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

#include "engine/AVUtilStubs.h"

using namespace VideoHookConsts;

namespace {

// Libraries stay loaded for the life of the process: a plug-in's code may
// still be referred to by a context another task has not released yet.
struct TRegistry {
    std::mutex Lock;
    std::map<std::string, void*> Modules;  // absolute file name -> handle
};

TRegistry& registry()
{
    static TRegistry instance;
    return instance;
}

void logError(const String& text)
{
    if (ff::av_log)
        ff::av_log(nullptr, AV_LOG_ERROR, "%s", text.toUtf8().constData());
}

// Resolved against the current directory without changing it.
std::string absoluteName(const AnsiString& fileName)
{
    std::error_code ec;
    const std::filesystem::path path(fileName.toStdString());
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec)
        absolute = path;
    return absolute.lexically_normal().string();
}

}  // namespace

std::vector<AnsiString> SplitVideoHookValue(const AnsiString& value)
{
    const bool bars = value.contains('|');
    std::vector<AnsiString> parts;
    AnsiString part;
    auto flush = [&] {
        if (!part.isEmpty())
            parts.push_back(part);
        part.clear();
    };
    for (const char c : value) {
        if (bars ? c == '|' : c == ' ')
            flush();
        else
            part += c;
    }
    flush();
    return parts;
}

int LoadedVideoHookCount()
{
    TRegistry& r = registry();
    const std::lock_guard guard(r.Lock);
    return int(r.Modules.size());
}

int TVideoHookChain::AddHook(const std::vector<AnsiString>& args)
{
    const int count = int(args.size());
    if (count <= 0)
        return -2;
    const String name = String::fromUtf8(args[0]);
    if (count > VideoHookArgumentSlots - 1) {
        logError(LoadResStringFmt(STooManyArguments, {name, VideoHookArgumentSlots - 1}));
        return AVERROR(EINVAL);
    }

    void* module = nullptr;
    {
        TRegistry& r = registry();
        const std::lock_guard guard(r.Lock);
        const std::string file = absoluteName(args[0]);
        const auto found = r.Modules.find(file);
        if (found != r.Modules.end()) {
            module = found->second;
        } else {
            module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!module) {
                const char* reason = dlerror();
                logError(LoadResStringFmt(SLoadFailed, {String::fromLocal8Bit(reason ? reason : file.c_str())}));
                return -1;
            }
            r.Modules.emplace(file, module);
        }
    }

    return AddHookProcs(args, reinterpret_cast<VideoHookConfigureProc>(dlsym(module, "Configure")),
                        reinterpret_cast<VideoHookProcessProc>(dlsym(module, "Process")),
                        reinterpret_cast<VideoHookReleaseProc>(dlsym(module, "Release")));
}

int TVideoHookChain::AddHookProcs(const std::vector<AnsiString>& args, VideoHookConfigureProc configure,
                                  VideoHookProcessProc process, VideoHookReleaseProc release)
{
    const int count = int(args.size());
    if (count <= 0)
        return -2;
    const String name = String::fromUtf8(args[0]);
    if (count > VideoHookArgumentSlots - 1) {
        logError(LoadResStringFmt(STooManyArguments, {name, VideoHookArgumentSlots - 1}));
        return AVERROR(EINVAL);
    }
    if (!process) {
        logError(LoadResStringFmt(SNoProcess, {name}));
        return -2;
    }
    if (!configure && count > 1) {
        logError(LoadResStringFmt(SNoConfigure, {name}));
        return -2;
    }
    // The entry gets its final address before "Configure" sees its slot.
    auto entry = std::make_unique<TEntry>();
    entry->Configure = configure;
    entry->Process = process;
    entry->Release = release;
    entry->Arguments = std::make_unique<std::array<char*, VideoHookArgumentSlots>>();
    entry->Arguments->fill(nullptr);
    for (int i = 0; i < count; ++i) {
        auto text = std::make_unique<char[]>(size_t(args[size_t(i)].size()) + 1);
        std::memcpy(text.get(), args[size_t(i)].constData(), size_t(args[size_t(i)].size()) + 1);
        (*entry->Arguments)[size_t(i)] = text.get();
        entry->Strings.push_back(std::move(text));
    }
    if (entry->Configure &&
        entry->Configure(&entry->Context, count, entry->Arguments->data(), VideoHookArgumentSlots - 1) != 0) {
        logError(LoadResStringFmt(SConfigureFailed, {name}));
        return AVERROR(EINVAL);
    }
    FEntries.push_back(std::move(entry));
    return 0;
}

void TVideoHookChain::Append(TVideoHookChain& other)
{
    for (auto& entry : other.FEntries)
        FEntries.push_back(std::move(entry));
    other.FEntries.clear();
}

void TVideoHookChain::CallHooks(VideoHookPicture* picture, int pixelFormat, int width, int height, int64_t pts) const
{
    for (const auto& entry : FEntries)
        entry->Process(entry->Context, picture, pixelFormat, width, height, pts);
}

void TVideoHookChain::ReleaseHooks()
{
    for (const auto& entry : FEntries)
        if (entry->Release)
            entry->Release(entry->Context);
    FEntries.clear();
}
