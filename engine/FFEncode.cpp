// The encoder component: its tasks, the run that starts them, and the one
// queue through which every event reaches the application.
#include "engine/FFEncode.h"

#include <deque>
#include <functional>

#include "engine/FFLoad.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exception.h"

using namespace FFEncodeConsts;

// Every delivery of an encoder, in the order it was posted. One thread
// delivers at a time and handlers never overlap; a delivery posted while one
// runs waits for the next turn of the loop. Once the encoder is gone the
// queue drops what is left, which is how queued deliveries outlive nothing.
class TEncoderEvents {
public:
    ~TEncoderEvents() { StopWorker(); }

    void Push(std::function<void()> delivery)
    {
        const std::lock_guard guard(FLock);
        if (FAlive)
            FItems.push_back(std::move(delivery));
    }

    void Pump()
    {
        std::unique_lock lock(FLock);
        if (FDelivering)  // a handler's own wait, or another thread already delivering
            return;
        FDelivering = true;
        while (FAlive && !FItems.empty()) {
            std::function<void()> delivery = std::move(FItems.front());
            FItems.pop_front();
            lock.unlock();
            SafeCall(delivery);
            delivery = nullptr;
            lock.lock();
        }
        FDelivering = false;
    }

    void Kill()
    {
        std::deque<std::function<void()>> dropped;
        const std::lock_guard guard(FLock);
        FAlive = false;
        dropped.swap(FItems);
    }

    // The worker that delivers when events are not for the main thread.
    void SignalWorker()
    {
        const std::lock_guard guard(FLock);
        if (!FAlive || FStop)
            return;
        if (!FWorker.joinable())
            FWorker = std::thread([this] { workerLoop(); });
        FSignalled = true;
        FWake.notify_one();
    }

    void StopWorker()
    {
        {
            const std::lock_guard guard(FLock);
            FStop = true;
            FWake.notify_one();
        }
        if (FWorker.joinable() && FWorker.get_id() != std::this_thread::get_id())
            FWorker.join();
    }

private:
    void workerLoop()
    {
        std::unique_lock lock(FLock);
        for (;;) {
            FWake.wait(lock, [this] { return FStop || FSignalled; });
            if (FStop)
                return;
            FSignalled = false;
            lock.unlock();
            Pump();
            lock.lock();
        }
    }

    std::mutex FLock;
    std::condition_variable FWake;
    std::deque<std::function<void()>> FItems;
    bool FDelivering = false;
    bool FAlive = true;
    bool FStop = false;
    bool FSignalled = false;
    std::thread FWorker;
};

namespace {

bool inMainThread()
{
    return TThread::CurrentThreadID() == TThread::MainThreadID();
}

// Set while this thread holds the run lock for Stop: the records it causes
// are handed over once the lock is released.
thread_local int deferDispatch = 0;

}  // namespace

// ---- option records ------------------------------------------------------------

void InitInputOptions(TInputOptions& options)
{
    options = TInputOptions{};
}

void InitOutputOptions(TOutputOptions& options)
{
    options = TOutputOptions{};
}

// ---- TFFmpeg --------------------------------------------------------------------

TFFmpeg::TFFmpeg(TCustomEncoder* encoder) : FEncoder(encoder) {}

TFFmpeg::~TFFmpeg()
{
    // The thread may be inside a call-back: it ends before they go.
    Stop(false);
    JoinThread();
    OnAudioHook = nullptr;
    OnVideoInputHook = nullptr;
    OnVideoOutputHook = nullptr;
    OnFrameInputHook = nullptr;
    OnFrameOutputHook = nullptr;
    OnPreviewBitmap = nullptr;
    OnProgress = nullptr;
    OnTerminate = nullptr;
    OnBeforeFindStreamInfo = nullptr;
}

TFFDecoder* TFFmpeg::InputDecoder(int index)
{
    if (index < 0)
        return nullptr;
    if (size_t(index) >= FInputDecoders.size())
        FInputDecoders.resize(size_t(index) + 1);
    auto& slot = FInputDecoders[size_t(index)];
    if (!slot)
        slot = std::make_unique<TFFDecoder>(nullptr);
    return slot.get();
}

void TFFmpeg::SetInputOptions(int index, const TInputOptions* options)
{
    if (size_t(index) >= FInputOptions.size())
        FInputOptions.resize(size_t(index) + 1);
    auto& slot = FInputOptions[size_t(index)];
    if (options) {
        if (!slot)
            slot = std::make_unique<TInputOptions>();
        *slot = *options;
    } else if (slot) {
        InitInputOptions(*slot);
    }
}

void TFFmpeg::SetOutputOptions(int index, const TOutputOptions* options)
{
    if (size_t(index) >= FOutputOptions.size())
        FOutputOptions.resize(size_t(index) + 1);
    auto& slot = FOutputOptions[size_t(index)];
    if (options) {
        if (!slot)
            slot = std::make_unique<TOutputOptions>();
        *slot = *options;
    } else if (slot) {
        InitOutputOptions(*slot);
    }
}

const TInputOptions* TFFmpeg::InputOptions(int index) const
{
    return index >= 0 && size_t(index) < FInputOptions.size() ? FInputOptions[size_t(index)].get() : nullptr;
}

const TOutputOptions* TFFmpeg::OutputOptions(int index) const
{
    return index >= 0 && size_t(index) < FOutputOptions.size() ? FOutputOptions[size_t(index)].get() : nullptr;
}

// ---- TFFmpegList ----------------------------------------------------------------

TFFmpegList::~TFFmpegList()
{
    Clear();
}

int TFFmpegList::Add(std::unique_ptr<TFFmpeg> task)
{
    FItems.push_back(std::move(task));
    return int(FItems.size()) - 1;
}

void TFFmpegList::Clear()
{
    // Tasks are freed before the list forgets them, as the list always did.
    std::vector<std::unique_ptr<TFFmpeg>> items = Take();
    items.clear();
}

void TFFmpegList::Delete(int index)
{
    Items(index);
    std::unique_ptr<TFFmpeg> task = std::move(FItems[size_t(index)]);
    FItems.erase(FItems.begin() + index);
}

TFFmpeg* TFFmpegList::Items(int index) const
{
    if (index < 0 || size_t(index) >= FItems.size())
        throw EListError(LoadResString(RtlConsts::SListIndexError), {index});
    return FItems[size_t(index)].get();
}

int TFFmpegList::IndexOf(const TObject* task) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == task)
            return int(i);
    return -1;
}

void TFFmpegList::PauseAll()
{
    for (auto& task : FItems)
        task->Pause();
}

void TFFmpegList::ResumeAll()
{
    for (auto& task : FItems)
        task->Resume();
}

void TFFmpegList::TerminateAll(bool wait)
{
    for (auto& task : FItems)
        task->Terminate(false);
    if (wait)
        for (auto& task : FItems)
            task->WaitForThread();
}

void TFFmpegList::SetPreviewAll(bool on)
{
    for (auto& task : FItems)
        task->SetPreviewFlags(uint8_t((task->PreviewFlags() & ~1u) | (on ? 1u : 0u)));
}

void TFFmpegList::SetPreviewBitmapAll(bool on)
{
    for (auto& task : FItems)
        task->SetPreviewFlags(uint8_t((task->PreviewFlags() & ~2u) | (on ? 2u : 0u)));
}

std::vector<std::unique_ptr<TFFmpeg>> TFFmpegList::Take()
{
    std::vector<std::unique_ptr<TFFmpeg>> items;
    items.swap(FItems);
    return items;
}

// ---- TCustomEncoder: building -------------------------------------------------

TCustomEncoder::TCustomEncoder(TComponent* AOwner)
    : TFFBaseComponent(AOwner), FDecoder(std::make_unique<TFFDecoder>(nullptr)),
      FEvents(std::make_shared<TEncoderEvents>())
{
}

TCustomEncoder::~TCustomEncoder()
{
    // Nothing queued reaches a handler from here on.
    FEvents->Kill();
    std::vector<std::unique_ptr<TFFmpeg>> tasks;
    {
        const std::lock_guard guard(FRunLock);
        FRemaining = 0;
        FBuilding = nullptr;
        FUnjoined.clear();
        tasks = FTasks.Take();
        for (auto& task : FGraveyard)
            tasks.push_back(std::move(task));
        FGraveyard.clear();
    }
    // The tasks never wait for this thread, so they end once told to; every
    // task is told before the first is joined.
    for (auto& task : tasks)
        task->Stop(false);
    tasks.clear();
    FEvents->StopWorker();
    // No other thread calls a handler now. A hook handler still running
    // would hold its lock until it returns.
    for (std::mutex* lock : {&FAudioHookLock, &FVideoHookLock, &FFrameHookLock, &FBeforeFindStreamInfoLock})
        const std::lock_guard guard(*lock);
    OnAudioHook = nullptr;
    OnVideoInputHook = nullptr;
    OnVideoOutputHook = nullptr;
    OnFrameInputHook = nullptr;
    OnFrameOutputHook = nullptr;
    OnPreviewBitmap = nullptr;
    OnProgress = nullptr;
    OnTerminate = nullptr;
}

bool TCustomEncoder::LoadAVLibs(const String& libraryFolder)
{
    FFLoader()->SetLibraryPath(libraryFolder);
    const bool ok = FFLoader()->LoadLibs(EncoderLibraries);
    if (!ok)
        FLastError = FFLoader()->LastError();
    return ok;
}

void TCustomEncoder::UnloadAVLibs()
{
    FFLoader()->UnloadLibs(EncoderLibraries);
}

void TCustomEncoder::refuseWhileWorking(const char* operation) const
{
    if (Working())
        throw Exception(LoadResString(SCannotWhileWorking), {String::fromLatin1(operation)});
}

void TCustomEncoder::applyPreviewFlags(TFFmpeg& task) const
{
    const unsigned kept = task.PreviewFlags() & ~3u;
    task.SetPreviewFlags(uint8_t(kept | (Preview() ? 1u : 0u) | (PreviewBitmap() ? 2u : 0u)));
}

void TCustomEncoder::parkBuilding(const TFFmpeg* keep)
{
    if (FBuilding && FBuilding != keep)
        FBuilding->Park();
    if (FBuilding != keep)
        FBuilding = nullptr;
}

bool TCustomEncoder::reopenForBuilding(TFFmpeg* task)
{
    parkBuilding(task);
    if (!task->Parked())
        return true;
    try {
        task->Reopen(false);
        return true;
    } catch (const Exception& e) {
        FLastError = e.Message();
        task->Park();
        return false;
    }
}

namespace {

TCustomFFmpeg::TBuildStep buildStep(bool output, const String& fileName, const TInputOptions* in,
                                    const TOutputOptions* out, bool strict)
{
    TCustomFFmpeg::TBuildStep step;
    step.Output = output;
    step.FileName = fileName;
    step.Strict = strict;
    if (in) {
        step.HasOptions = true;
        step.Options = in->Options;
        step.Presets = in->Presets;
    } else if (out) {
        step.HasOptions = true;
        step.Options = out->Options;
        step.Presets = out->Presets;
        step.Join = out->Join;
    }
    return step;
}

}  // namespace

int TCustomEncoder::AddTask(const String& fileName, PInputOptions options)
{
    refuseWhileWorking("AddTask");
    // The task built before holds its files no longer.
    parkBuilding(nullptr);
    try {
        auto task = std::make_unique<TFFmpeg>(this);
        task->OnBeforeFindStreamInfo = TBeforeFindStreamInfoEvent(this, &TCustomEncoder::DoBeforeFindStreamInfo);
        task->OnPreviewBitmap = TPreviewBitmapProc(this, &TCustomEncoder::DoPreviewBitmap);
        applyPreviewFlags(*task);
        task->SetStrictOptions(FStrictOptions);
        const int slot = task->SourceFileCount();
        if (options) {
            if (options->FileName.isEmpty())
                options->FileName = fileName;
            task->SetInputOptions(slot, options);
            task->ParseOptions(options->Options);
            task->ParsePresets(options->Presets);
        } else {
            task->SetInputOptions(slot, nullptr);
        }
        task->SetReadTimeout(ReadTimeout());
        task->SetWriteTimeout(WriteTimeout());
        const int r = task->OpenInput(nullptr, fileName);
        if (r < 0) {
            FLastError = task->LastErrorText();
            return r;
        }
        const int input = task->SourceFileCount() - 1;
        task->InputDecoder(input)->AttachFormatContext(task->SourceFile(input).Context.get());
        task->OnProgress = ::TProgressEvent(this, &TCustomEncoder::DoProgress);
        task->OnTerminate = ::TTerminateEvent(this, &TCustomEncoder::DoTerminate);
        task->RecordBuildStep(buildStep(false, fileName, options, nullptr, FStrictOptions));
        FBuilding = task.get();
        return FTasks.Add(std::move(task));
    } catch (const Exception& e) {
        FLastError = e.Message();
        return -1;
    }
}

int TCustomEncoder::AddInput(int taskIndex, const String& fileName, PInputOptions options)
{
    refuseWhileWorking("AddInput");
    TFFmpeg* task = FTasks.Items(taskIndex);
    if (!reopenForBuilding(task))
        return -1;
    FBuilding = task;
    const int slot = task->SourceFileCount();
    try {
        task->SetStrictOptions(FStrictOptions);
        if (options) {
            if (options->FileName.isEmpty())
                options->FileName = fileName;
            task->SetInputOptions(slot, options);
            task->ParseOptions(options->Options);
            task->ParsePresets(options->Presets);
        } else {
            task->SetInputOptions(slot, nullptr);
        }
        task->SetReadTimeout(ReadTimeout());
        task->SetWriteTimeout(WriteTimeout());
        const int r = task->OpenInput(nullptr, fileName);
        if (r < 0) {
            task->SetInputOptions(slot, nullptr);
            FLastError = task->LastErrorText();
            return r;
        }
        const int input = task->SourceFileCount() - 1;
        task->InputDecoder(input)->AttachFormatContext(task->SourceFile(input).Context.get());
        task->RecordBuildStep(buildStep(false, fileName, options, nullptr, FStrictOptions));
        return r;
    } catch (const Exception& e) {
        task->SetInputOptions(slot, nullptr);
        FLastError = e.Message();
        return -1;
    }
}

int TCustomEncoder::SetOutput(int taskIndex, const String& fileName, POutputOptions options)
{
    refuseWhileWorking("SetOutput");
    TFFmpeg* task = FTasks.Items(taskIndex);
    if (!reopenForBuilding(task))
        return -1;
    FBuilding = task;
    const int slot = task->TargetFileCount();
    try {
        task->SetStrictOptions(FStrictOptions);
        bool join = false;
        if (options) {
            if (options->FileName.isEmpty())
                options->FileName = fileName;
            // The bit depth of the hook bitmaps stays in the slot.
            task->SetOutputOptions(slot, options);
            if (options->AudioHook)
                task->OnAudioHook = TAudioHookProc(this, &TCustomEncoder::DoAudioHook);
            if (options->VideoInputHook)
                task->OnVideoInputHook = TVideoHookProc(this, &TCustomEncoder::DoVideoInputHook);
            if (options->VideoOutputHook)
                task->OnVideoOutputHook = TVideoHookProc(this, &TCustomEncoder::DoVideoOutputHook);
            if (options->FrameInputHook)
                task->OnFrameInputHook = TFrameHookProc(this, &TCustomEncoder::DoFrameInputHook);
            if (options->FrameOutputHook)
                task->OnFrameOutputHook = TFrameHookProc(this, &TCustomEncoder::DoFrameOutputHook);
            task->ParseOptions(options->Options);
            task->ParsePresets(options->Presets);
            join = options->Join;
        } else {
            task->SetOutputOptions(slot, nullptr);
        }
        task->SetReadTimeout(ReadTimeout());
        task->SetWriteTimeout(WriteTimeout());
        // A task that can wait without its files makes its output when it
        // starts; until then the output is only checked.
        task->SetDeferOutputFiles(task->CanPark());
        const int r = task->OpenOutput(fileName, join);
        if (r < 0) {
            FLastError = task->LastErrorText();
            task->SetOutputOptions(slot, nullptr);
        } else {
            task->RecordBuildStep(buildStep(true, fileName, nullptr, options, FStrictOptions));
        }
        return r;
    } catch (const Exception& e) {
        task->SetOutputOptions(slot, nullptr);
        FLastError = e.Message();
        return -1;
    }
}

void TCustomEncoder::RemoveTask(int index)
{
    refuseWhileWorking("RemoveTask");
    if (FTasks.Items(index) == FBuilding)
        FBuilding = nullptr;
    FTasks.Delete(index);
}

int TCustomEncoder::TaskCount() const
{
    const std::lock_guard guard(FRunLock);
    return FTasks.Count();
}

TFFDecoder* TCustomEncoder::InputDecoders(int taskIndex, int inputIndex)
{
    return FTasks.Items(taskIndex)->InputDecoder(inputIndex);
}

void TCustomEncoder::SetPreview(bool value)
{
    FPreview.store(value);
    FTasks.SetPreviewAll(value);
}

void TCustomEncoder::SetPreviewBitmap(bool value)
{
    FPreviewBitmap.store(value);
    FTasks.SetPreviewBitmapAll(value);
}

// ---- TCustomEncoder: the run --------------------------------------------------

bool TCustomEncoder::Working() const
{
    const std::lock_guard guard(FRunLock);
    return FWorking;
}

bool TCustomEncoder::AllDone() const
{
    const std::lock_guard guard(FRunLock);
    return FAllDone;
}

bool TCustomEncoder::Paused() const
{
    const std::lock_guard guard(FRunLock);
    return FPaused;
}

bool TCustomEncoder::Threaded() const
{
    const std::lock_guard guard(FRunLock);
    return FThreaded;
}

int TCustomEncoder::FinishedCount() const
{
    const std::lock_guard guard(FRunLock);
    return FFinishedCount;
}

int TCustomEncoder::NextIndex() const
{
    const std::lock_guard guard(FRunLock);
    return FNextIndex;
}

int TCustomEncoder::Remaining() const
{
    const std::lock_guard guard(FRunLock);
    return FRemaining;
}

TFFmpeg* TCustomEncoder::startNextLocked()
{
    if (FRemaining <= 0)
        return nullptr;
    --FRemaining;
    TFFmpeg* task = FTasks.Items(FNextIndex);
    ++FNextIndex;
    task->SetProgressInterval(int64_t(ProgressInterval()) * 1000);
    if (FThreaded) {
        // A task started while the run is paused waits at its gate.
        if (FPaused)
            task->Pause();
        // An ended thread keeps its stack until it is joined: those of the
        // tasks that have ended are joined as the run goes on.
        std::erase_if(FUnjoined, [](TFFmpeg* started) {
            if (!started->ThreadDone())
                return false;
            started->JoinThread();
            return true;
        });
        task->StartThread(ThreadPriority());
        FUnjoined.push_back(task);
    }
    return task;
}

void TCustomEncoder::StartTask(int threadCount)
{
    refuseWhileWorking("StartTask");
    // Every task waits without its files; each opens them when it starts.
    parkBuilding(nullptr);
    std::unique_lock lock(FRunLock);
    FFinishedCount = 0;
    FNextIndex = 0;
    FRemaining = FTasks.Count();
    FAllDone = false;
    FThreaded = threadCount > 0;
    FWorking = true;
    FPaused = false;
    // Nothing to run: the run ends at once, so that ClearTasks can follow.
    if (FTasks.Count() == 0) {
        finalRecordLocked();
        lock.unlock();
        dispatch();
        return;
    }
    if (FThreaded) {
        for (int n = threadCount; n > 0 && FRemaining > 0; --n)
            startNextLocked();
        return;
    }
    FInlineThread.store(std::this_thread::get_id());
    ++FInlineDepth;
    for (;;) {
        TFFmpeg* task = startNextLocked();
        if (!task)
            break;
        lock.unlock();
        task->Start();
        lock.lock();
    }
    if (--FInlineDepth == 0)
        FInlineThread.store(std::thread::id());
    lock.unlock();
    dispatch();
    releaseGraveyard();
}

void TCustomEncoder::releaseGraveyard()
{
    std::vector<std::unique_ptr<TFFmpeg>> dead;
    {
        const std::lock_guard guard(FRunLock);
        if (FInlineDepth > 0)
            return;
        dead.swap(FGraveyard);
    }
}

void TCustomEncoder::Pause()
{
    const std::lock_guard guard(FRunLock);
    if (!FWorking || FPaused)
        return;
    // An inline task would wait for itself.
    if (FThreaded)
        FTasks.PauseAll();
    FPaused = true;
}

void TCustomEncoder::Resume()
{
    const std::lock_guard guard(FRunLock);
    if (!FWorking || !FPaused)
        return;
    FTasks.ResumeAll();
    FPaused = false;
}

void TCustomEncoder::Stop(bool wait)
{
    bool waitHere = false;
    {
        const std::lock_guard guard(FRunLock);
        FRemaining = 0;
        if (!FWorking)
            return;
        // Every task is told first; only then does anyone wait.
        ++deferDispatch;
        for (int i = 0; i < FTasks.Count(); ++i)
            FTasks.Items(i)->Terminate(false);
        --deferDispatch;
        FPaused = false;
        // An inline run, or a task's own thread, would wait for itself.
        waitHere = wait && FThreaded && !TCustomFFmpeg::CurrentThreadTask();
    }
    dispatch();
    if (waitHere)
        waitUntilAllDone();
}

void TCustomEncoder::waitUntilAllDone()
{
    // A final-record handler delivered during the wait may clear the tasks,
    // which ends the run as surely as its last task does.
    if (inMainThread()) {
        while (Working() && !AllDone()) {
            CheckSynchronize(20);
            FEvents->Pump();
        }
    } else {
        std::unique_lock lock(FRunLock);
        FRunChanged.wait(lock, [this] { return FAllDone || !FWorking; });
    }
    // Each task has reported its end and only returns from its thread now.
    const std::lock_guard guard(FRunLock);
    for (int i = 0; i < FTasks.Count(); ++i)
        FTasks.Items(i)->JoinThread();
}

void TCustomEncoder::ClearTasks()
{
    std::vector<std::unique_ptr<TFFmpeg>> tasks;
    {
        const std::lock_guard guard(FRunLock);
        if (FWorking && !FAllDone)
            throw Exception(LoadResString(SCannotClearTasks));
        tasks = FTasks.Take();
        FBuilding = nullptr;
        FUnjoined.clear();
        FLastError.clear();
        FFinishedCount = 0;
        FNextIndex = -1;
        FRemaining = 0;
        FAllDone = FThreaded = FWorking = FPaused = false;
        FRunChanged.notify_all();
        // An inline task still on this thread's stack is freed when it returns.
        if (FInlineDepth > 0) {
            for (auto& task : tasks)
                FGraveyard.push_back(std::move(task));
            return;
        }
    }
    // Freeing joins each thread; none of them waits for anyone by now.
}

// ---- TCustomEncoder: events ---------------------------------------------------

void TCustomEncoder::post(std::function<void()> delivery)
{
    FEvents->Push(std::move(delivery));
}

// Lock-free: a task's thread dispatches its last record while the main
// thread may hold the run lock to join it.
bool TCustomEncoder::inlineRunHere() const
{
    return FInlineThread.load() == std::this_thread::get_id();
}

void TCustomEncoder::dispatch()
{
    if (deferDispatch > 0)
        return;
    if (inlineRunHere()) {
        FEvents->Pump();
    } else if (TriggerEventInMainThread()) {
        if (inMainThread()) {
            FEvents->Pump();
        } else {
            std::weak_ptr<TEncoderEvents> events = FEvents;
            TThread::Queue(nullptr, [events] {
                if (auto alive = events.lock())
                    alive->Pump();
            });
        }
    } else {
        FEvents->SignalWorker();
    }
}

void TCustomEncoder::DoProgress(TObject* task, int fileIndex, int frameNumber, int fps, float quality, float bitRate,
                                int64_t currentSize, int64_t currentDuration, int64_t totalDuration)
{
    if (!OnProgress.Assigned())
        return;
    TProgressInfo info{taskIndex(task), fileIndex,   frameNumber,     fps,          quality,
                       bitRate,             currentSize, currentDuration, totalDuration};
    post([this, info]() mutable {
        if (OnProgress.Assigned())
            OnProgress(this, &info);
    });
    dispatch();
}

int TCustomEncoder::taskIndex(const TObject* task) const
{
    const std::lock_guard guard(FRunLock);
    return FTasks.IndexOf(task);
}

void TCustomEncoder::DoPreviewBitmap(TObject* task, TBitmap* bitmap, int frameNumber, int64_t pts)
{
    if (!OnPreviewBitmap.Assigned() || !bitmap)
        return;
    // The task draws its next frame into its bitmap; the handler gets a copy.
    auto copy = std::make_shared<TBitmap>();
    copy->Assign(bitmap);
    const TPreviewInfo info{taskIndex(task), nullptr, frameNumber, pts};
    post([this, info, copy] {
        TPreviewInfo shown = info;
        shown.Bitmap = copy.get();
        if (OnPreviewBitmap.Assigned())
            OnPreviewBitmap(this, shown);
    });
    dispatch();
}

void TCustomEncoder::DoVideoInputHook(TObject* task, TBitmap* bitmap, int frameNumber, int64_t pts, bool& update,
                                      bool& stopHook)
{
    if (!OnVideoInputHook.Assigned())
        return;
    const std::lock_guard guard(FVideoHookLock);
    THookInfo info{taskIndex(task), bitmap, frameNumber, pts, update, stopHook};
    OnVideoInputHook(this, &info);
    update = info.Update;
    stopHook = info.StopHook;
}

void TCustomEncoder::DoVideoOutputHook(TObject* task, TBitmap* bitmap, int frameNumber, int64_t pts, bool& update,
                                       bool& stopHook)
{
    if (!OnVideoOutputHook.Assigned())
        return;
    const std::lock_guard guard(FVideoHookLock);
    THookInfo info{taskIndex(task), bitmap, frameNumber, pts, update, stopHook};
    OnVideoOutputHook(this, &info);
    update = info.Update;
    stopHook = info.StopHook;
}

void TCustomEncoder::DoFrameInputHook(TObject* task, void* picture, int pixelFormat, int frameNumber, int width,
                                      int height, int64_t pts)
{
    if (!OnFrameInputHook.Assigned())
        return;
    const std::lock_guard guard(FFrameHookLock);
    TFrameHookInfo info{taskIndex(task), frameNumber, picture, pixelFormat, width, height, pts};
    OnFrameInputHook(this, &info);
}

void TCustomEncoder::DoFrameOutputHook(TObject* task, void* picture, int pixelFormat, int frameNumber, int width,
                                       int height, int64_t pts)
{
    if (!OnFrameOutputHook.Assigned())
        return;
    const std::lock_guard guard(FFrameHookLock);
    TFrameHookInfo info{taskIndex(task), frameNumber, picture, pixelFormat, width, height, pts};
    OnFrameOutputHook(this, &info);
}

void TCustomEncoder::DoAudioHook(TObject* task, uint8_t* sample, int64_t pts, int size, int sampleRate, int channels,
                                 AVSampleFormat sampleFormat)
{
    if (!OnAudioHook.Assigned())
        return;
    const std::lock_guard guard(FAudioHookLock);
    OnAudioHook(this, taskIndex(task), pts, sample, size, sampleRate, channels, sampleFormat);
}

// The context is live only during this call, so the handler runs here, in
// the thread that opens the input.
void TCustomEncoder::DoBeforeFindStreamInfo(TObject* task, AVFormatContext* context)
{
    if (!OnBeforeFindStreamInfo.Assigned())
        return;
    const std::lock_guard guard(FBeforeFindStreamInfoLock);
    OnBeforeFindStreamInfo(task, context);
}

void TCustomEncoder::finalRecordLocked()
{
    FAllDone = true;
    FRunChanged.notify_all();
    post([this] {
        if (OnTerminate.Assigned())
            OnTerminate(this, TTerminateInfo{});
    });
}

// Records are posted under the run lock, so the queue holds them in the
// order the tasks ended, and the final record after the last of them.
void TCustomEncoder::DoTerminate(TObject* task)
{
    {
        const std::lock_guard guard(FRunLock);
        auto* ffmpeg = dynamic_cast<TCustomFFmpeg*>(task);
        if (!ffmpeg) {
            finalRecordLocked();
        } else {
            const TTerminateInfo info{taskIndex(task), ffmpeg->Finished(), ffmpeg->Failed(),
                                      ffmpeg->ErrorMessage()};
            post([this, info] {
                if (OnTerminate.Assigned())
                    OnTerminate(this, info);
            });
            if (FWorking) {
                ++FFinishedCount;
                FRunChanged.notify_all();
                if (FRemaining < 1) {
                    if (FFinishedCount >= FTasks.Count() && !FAllDone)
                        finalRecordLocked();
                } else if (FThreaded) {
                    startNextLocked();
                }
            }
        }
    }
    dispatch();
}
