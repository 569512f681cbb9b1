// The life cycle of a conversion task: the inline run, the stop, the I/O
// interrupts and the clean-up that decides what becomes of its outputs.
#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLoad.h"
#include "engine/FFmpeg.h"
#include "engine/MyUtils.h"

using namespace FFTaskConsts;

void TAVOutputContextDeleter::operator()(AVFormatContext* ctx) const
{
    if (!ctx || !ff::avformat_free_context)
        return;
    if (ctx->oformat && !(ctx->oformat->flags & AVFMT_NOFILE) && ctx->pb)
        ff::avio_closep(&ctx->pb);
    ff::avformat_free_context(ctx);
}

void TFilterGraphDeleter::operator()(AVFilterGraph* graph) const
{
    if (graph && ff::avfilter_graph_free)
        ff::avfilter_graph_free(&graph);
}

void TBSFDeleter::operator()(AVBSFContext* bsf) const
{
    if (bsf && ff::av_bsf_free)
        ff::av_bsf_free(&bsf);
}

void TCustomFFmpeg::setReadMark()
{
    FReadMark.store(ff::av_gettime_relative());
}

void TCustomFFmpeg::setWriteMark()
{
    FWriteMark.store(ff::av_gettime_relative());
}

int TCustomFFmpeg::ReadInterrupt(void* opaque)
{
    auto* task = static_cast<TCustomFFmpeg*>(opaque);
    if (task->FAbort.load()) {
        task->logText(llInfo, LoadResString(SReadingBroken));
        return 1;
    }
    const int64_t mark = task->FReadMark.load();
    const int timeout = task->FReadTimeout.load();
    if (mark == INT64_MAX || timeout <= 0)
        return 0;
    if (ff::av_gettime_relative() - mark > int64_t(timeout) * 1000) {
        task->logText(llInfo, LoadResString(SReadingTimeout));
        return 1;
    }
    return 0;
}

// A stop does not break writing: what was encoded is still written and the
// trailer completes the file. Only a write that hangs ends it.
int TCustomFFmpeg::WriteInterrupt(void* opaque)
{
    auto* task = static_cast<TCustomFFmpeg*>(opaque);
    const int64_t mark = task->FWriteMark.load();
    const int timeout = task->FWriteTimeout.load();
    if (mark == INT64_MAX || timeout <= 0)
        return 0;
    if (ff::av_gettime_relative() - mark > int64_t(timeout) * 1000) {
        task->logText(llInfo, LoadResString(SWritingTimeout));
        return 1;
    }
    return 0;
}

// False after delivering the failure of a task without output or input.
bool TCustomFFmpeg::refuseWithoutFiles()
{
    auto planned = [this](bool output) {
        for (const TBuildStep& step : FBuildSteps)
            if (step.Output == output)
                return true;
        return false;
    };
    try {
        if (FParked ? !planned(true) : FTargetFiles.empty()) {
            Cleanup();
            throw Exception(LoadResString(SNoOutputFile));
        }
        if (FParked ? !planned(false) : FSourceFiles.empty()) {
            Cleanup();
            throw Exception(LoadResString(SNoInputFile));
        }
    } catch (const Exception& e) {
        logText(llQuiet, e.Message());
        FFailed = true;
        FErrorText = e.Message();
        DeliverTerminate();
        return false;
    }
    return true;
}

void TCustomFFmpeg::Start()
{
    if (FRunning || FEnded)
        return;
    if (!refuseWithoutFiles())
        return;
    FRunning = true;
    FAbort.store(false);
    FFinished = false;
    FEnded = false;
    Run();
}

bool TCustomFFmpeg::StartThread(TThreadPriority priority)
{
    bool expected = false;
    if (FEnded || !FRunning.compare_exchange_strong(expected, true))
        return false;
    const std::lock_guard guard(FThreadLock);
    if (FThread.joinable())
        FThread.join();
    FAbort.store(false);
    FFinished = false;
    FThreadDone.store(false);
    FThread = std::thread([this, priority] { threadMain(priority); });
    return true;
}

namespace {

// Lower priorities become positive nice values; raising one needs a
// privilege, and without it the thread keeps the normal priority.
void applyThreadPriority(TThreadPriority priority)
{
    static constexpr int nices[] = {19, 10, 5, 0, -5, -10, -15};
    const int nice = nices[int(priority)];
    if (nice != 0)
        setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), nice);
}

thread_local TCustomFFmpeg* threadTask = nullptr;

}  // namespace

TCustomFFmpeg* TCustomFFmpeg::CurrentThreadTask()
{
    return threadTask;
}

void TCustomFFmpeg::threadMain(TThreadPriority priority)
{
    threadTask = this;
    applyThreadPriority(priority);
    // The checks of an inline start run here, so that their terminate call
    // comes from this thread too.
    if (refuseWithoutFiles())
        Run();
    FThreadDone.store(true);
}

void TCustomFFmpeg::WaitForThread()
{
    {
        const std::lock_guard guard(FThreadLock);
        if (!FThread.joinable() || FThread.get_id() == std::this_thread::get_id())
            return;
    }
    // The thread never waits for the main thread, so a plain wait would do;
    // serving the queue keeps the application's events flowing meanwhile.
    if (TThread::CurrentThreadID() == TThread::MainThreadID())
        while (!FThreadDone.load())
            CheckSynchronize(20);
    JoinThread();
}

void TCustomFFmpeg::JoinThread()
{
    const std::lock_guard guard(FThreadLock);
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id())
        FThread.join();
}

void TCustomFFmpeg::Run()
{
    FFinished = false;
    auto guarded = [this](auto&& step) {
        try {
            step();
        } catch (const Exception& e) {
            logText(llQuiet, e.Message());
            FFailed = true;
            FErrorText = e.Message();
        } catch (const std::exception& e) {
            const String text = String::fromUtf8(e.what());
            logText(llQuiet, text);
            FFailed = true;
            FErrorText = text;
        }
    };
    // A queued task opens its files now; a stop meanwhile ends it before
    // anything was converted, which is no failure.
    bool opened = true;
    if (FParked || hasDeferredOutputs()) {
        guarded([this] { Reopen(true); });
        // A probe cut short by the stop may have left streams half known.
        opened = !FFailed && !FAbort.load();
        if (FFailed && FAbort.load()) {
            FFailed = false;
            FErrorText.clear();
        }
    }
    if (opened)
        guarded([this] { Transcode(); });
    guarded([this] { finishTranscode(); });
    guarded([this, opened] { endOutputs(opened && !FFailed); });
    guarded([this] { Cleanup(); });
    // An ended task never runs again: what only a run needs goes now, so
    // that a long list of ended tasks stays small.
    std::vector<uint8_t>().swap(FAudioBuffer);
    std::vector<uint8_t>().swap(FSilenceBuffer);
    std::vector<uint8_t>().swap(FHookBuffer);
    std::vector<uint8_t>().swap(FChannelMapBuffer);
    FInputConverter.reset();
    FOutputConverter.reset();
    FOutputHookFrame.reset();
    UninitOpts(FLibavOpts);
    guarded([this] { DeliverTerminate(); });
    // Completes a library line left without its end.
    ff::av_log(nullptr, AV_LOG_QUIET, "%s", "");
}

void TCustomFFmpeg::Stop(bool wait)
{
    // An inline run ends at its next packet when stopped from inside (a
    // progress handler); a paused thread is woken to see the flag.
    FAbort.store(true);
    FPauseGate.Wake();
    if (wait)
        WaitForThread();
}

void TCustomFFmpeg::Terminate(bool wait)
{
    if (FRunning) {
        Stop(wait);
    } else if (!FEnded) {
        FAbort.store(true);
        DeliverTerminate();
    }
}

void TCustomFFmpeg::DeliverTerminate()
{
    // Ended first: another thread must never see the task as not running
    // and not ended, which would make it deliver the end a second time.
    FEnded = true;
    FRunning = false;
    if (OnTerminate.Assigned())
        OnTerminate(this);
}

// Outputs are written under a temporary name: kept ones replace the file
// asked for, others go, and the file they would have replaced stays.
void TCustomFFmpeg::endOutputs(bool keep)
{
    for (TTargetFile& of : FTargetFiles) {
        AVFormatContext* oc = of.Context.get();
        const bool writesFile = oc && !(oc->oformat->flags & AVFMT_NOFILE);
        if (writesFile && oc->pb)
            ff::avio_closep(&oc->pb);
        if (!writesFile || of.WritingName.isEmpty())
            continue;
        const std::filesystem::path written(of.WritingName.toStdU16String());
        std::error_code ec;
        const int64_t size = FileSizeByName(of.WritingName);
        if (of.WritingName != of.FileName) {
            if (keep && size > 0) {
                const String target = of.TargetName.isEmpty() ? of.FileName : of.TargetName;
                std::filesystem::rename(written, std::filesystem::path(target.toStdU16String()), ec);
                if (ec) {
                    std::filesystem::remove(written, ec);
                    of.WritingName.clear();
                    RaiseError(SRenameFailed, {of.FileName, String::fromStdString(ec.message())});
                }
            } else {
                std::filesystem::remove(written, ec);
            }
        } else if (size == 0) {
            std::filesystem::remove(written, ec);
        }
        of.WritingName.clear();
    }
}

void TCustomFFmpeg::Cleanup()
{
    if (!FFLoader() || !FFLoader()->AreLoaded(EncoderLibraries))
        AssertionFailure();
    endOutputs(false);
    FTargetStreams.clear();
    FTargetFiles.clear();
    FSourceStreams.clear();
    FSourceFiles.clear();
    if (FOptionTable)
        ResetOptionsContext(FOptions, false);
}

// ---- queued tasks ----

namespace {

// A regular file's identity: false for anything else.
bool fileIdentity(const String& fileName, TCustomFFmpeg::TBuildStep& step)
{
    const String name = fileName.startsWith(QLatin1String("file:")) ? fileName.mid(5) : fileName;
    struct stat st {};
    if (::stat(Utf8FileName(name).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    step.Device = uint64_t(st.st_dev);
    step.Inode = uint64_t(st.st_ino);
    step.Size = int64_t(st.st_size);
    step.Modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

}  // namespace

void TCustomFFmpeg::RecordBuildStep(TBuildStep step)
{
    if (!step.Output)
        step.Known = fileIdentity(step.FileName, step);
    FBuildSteps.push_back(std::move(step));
}

bool TCustomFFmpeg::CanPark() const
{
    size_t inputs = 0, outputs = 0;
    for (const TBuildStep& step : FBuildSteps) {
        if (step.Output) {
            ++outputs;
        } else {
            ++inputs;
            if (!step.Known)
                return false;
        }
    }
    return inputs > 0 && (FParked || (inputs == FSourceFiles.size() && outputs == FTargetFiles.size()));
}

bool TCustomFFmpeg::hasDeferredOutputs() const
{
    for (const TTargetFile& of : FTargetFiles)
        if (of.Deferred)
            return true;
    return false;
}

bool TCustomFFmpeg::Park()
{
    if (FParked)
        return true;
    if (FRunning || FEnded || !CanPark())
        return false;
    // An output file already made stays with its task.
    for (const TTargetFile& of : FTargetFiles)
        if (!of.WritingName.isEmpty())
            return false;
    resetBuild();
    UninitOpts(FLibavOpts);
    FParked = true;
    return true;
}

void TCustomFFmpeg::resetBuild()
{
    Cleanup();
    FSettings = TFFmpegSettings{};
    FTotalDuration = -1;
    FLongestInputDuration = -1;
    FJoinMode = false;
    FJoinGroupCount = 0;
    FJoinGroup = 0;
    FVideoHookChain.reset();
    FVideoHooksLoaded = 0;
    FVideoHookCount = 0;
    FOptionError.clear();
}

void TCustomFFmpeg::Reopen(bool createOutputs)
{
    resetBuild();
    FParked = false;
    const bool strict = FStrictOptions;
    struct TRestore {
        TCustomFFmpeg& Task;
        bool Defer, Strict;
        ~TRestore()
        {
            Task.FDeferOutputFiles = Defer;
            Task.FStrictOptions = Strict;
        }
    } restore{*this, FDeferOutputFiles, strict};
    FDeferOutputFiles = !createOutputs;
    for (const TBuildStep& step : FBuildSteps) {
        FStrictOptions = step.Strict;
        if (step.HasOptions) {
            ParseOptions(step.Options);
            ParsePresets(step.Presets);
        }
        if (step.Output) {
            if (OpenOutput(step.FileName, step.Join) < 0)
                RaiseError(FLastErrorText);
            continue;
        }
        if (step.Known) {
            TBuildStep now;
            if (!fileIdentity(step.FileName, now) || now.Device != step.Device || now.Inode != step.Inode ||
                now.Size != step.Size || now.Modified != step.Modified)
                RaiseError(SInputChanged, {step.FileName});
        }
        if (OpenInput(nullptr, step.FileName) < 0)
            RaiseError(FLastErrorText);
    }
}
