// VideoHookChain.h - a task's chain of video-hook plug-ins ("-vhook"): the
// libraries are loaded once per process and shared; each task configures
// its own context of every plug-in it names and releases it at its end.
#pragma once
#include <array>
#include <memory>
#include <vector>

#include "engine/VideoHook.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"

namespace VideoHookConsts {
VORLANE_RESOURCESTRING(SLoadFailed, "%s\n");
VORLANE_RESOURCESTRING(SNoProcess, "Failed to find Process entrypoint in %s\n");
VORLANE_RESOURCESTRING(SNoConfigure, "Failed to find Configure entrypoint in %s\n");
VORLANE_RESOURCESTRING(SConfigureFailed, "Failed to Configure %s\n");
VORLANE_RESOURCESTRING(STooManyArguments, "Too many arguments for %s: at most %d are passed\n");
VORLANE_RESOURCESTRING(SAddHookFailed, "Failed to add video hook function: ");
}  // namespace VideoHookConsts

// The argument array holds this many entries; the last stays NULL.
inline constexpr int VideoHookArgumentSlots = 64;

// The parts of a "-vhook" value: split at "|" when it holds one (so that a
// path with blanks can be given), otherwise at blanks; empty parts are
// dropped. The first part is the plug-in's file name.
std::vector<AnsiString> SplitVideoHookValue(const AnsiString& value);

// Plug-in libraries loaded by this process so far; each is loaded once.
int LoadedVideoHookCount();

class TVideoHookChain {
public:
    TVideoHookChain() = default;
    TVideoHookChain(const TVideoHookChain&) = delete;
    TVideoHookChain& operator=(const TVideoHookChain&) = delete;
    ~TVideoHookChain() { ReleaseHooks(); }

    // Loads the plug-in args[0] (a relative name is taken from the current
    // directory, which stays as it is), configures it with the arguments and
    // appends it. 0; -1 when it cannot be loaded, -2 without arguments or
    // without a needed entry point, -22 when it refuses its arguments or
    // gets more than 63 parts. The reason goes to the libraries' log.
    int AddHook(const std::vector<AnsiString>& args);
    // The same for a plug-in whose entry points are already at hand (one
    // linked into the program); args[0] names it in messages.
    int AddHookProcs(const std::vector<AnsiString>& args, VideoHookConfigureProc configure,
                     VideoHookProcessProc process, VideoHookReleaseProc release);
    // Moves every plug-in of other, configured as it is, to the end of this
    // chain; other is empty afterwards.
    void Append(TVideoHookChain& other);
    // "Process" of every plug-in, in the order they were added.
    void CallHooks(VideoHookPicture* picture, int pixelFormat, int width, int height, int64_t pts) const;
    // "Release" of every plug-in that has it; the chain is empty afterwards.
    void ReleaseHooks();

    bool Empty() const { return FEntries.empty(); }
    int Count() const { return int(FEntries.size()); }

private:
    struct TEntry {
        VideoHookConfigureProc Configure = nullptr;
        VideoHookProcessProc Process = nullptr;
        VideoHookReleaseProc Release = nullptr;
        void* Context = nullptr;
        // The plug-in may keep pointers into its arguments until it is released.
        std::vector<std::unique_ptr<char[]>> Strings;
        std::unique_ptr<std::array<char*, VideoHookArgumentSlots>> Arguments;
    };
    // Each entry stays where it was made: a plug-in may keep the address of
    // its context slot that "Configure" was given.
    std::vector<std::unique_ptr<TEntry>> FEntries;
};
