// FFEncode.h - the encoder component: an ordered list of conversion tasks that
// run one after another or in worker threads, and the events they report.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/FFDecode.h"
#include "engine/FFLog.h"
#include "engine/FFmpeg.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Thread.h"

class TBitmap;

namespace FFEncodeConsts {
VORLANE_RESOURCESTRING(SCannotWhileWorking, "Cannot %s while working.");
VORLANE_RESOURCESTRING(SCannotClearTasks, "Cannot ClearTasks while working.");
}  // namespace FFEncodeConsts

using TPathFileName = String;

struct TInputOptions {
    TPathFileName FileName;  // when empty, AddTask/AddInput put their file name here
    AnsiString Options;
    AnsiString Presets;
};
using PInputOptions = TInputOptions*;

struct TOutputOptions {
    TPathFileName FileName;  // when empty, SetOutput puts its file name here
    AnsiString Options;
    AnsiString Presets;
    bool AudioHook = false;
    bool VideoInputHook = false;
    bool VideoOutputHook = false;
    int VideoHookBitsPixel = 24;
    bool FrameInputHook = false;
    bool FrameOutputHook = false;
    bool Join = false;
};
using POutputOptions = TOutputOptions*;

void InitInputOptions(TInputOptions& options);
void InitOutputOptions(TOutputOptions& options);

struct TProgressInfo {
    int TaskIndex = 0;
    int FileIndex = 0;  // -1 on the task's last report
    int FrameNumber = 0;
    int FPS = 0;
    float Quality = 0;
    float BitRate = 0;  // kbit/s
    int64_t CurrentSize = 0;
    int64_t CurrentDuration = 0;  // µs
    int64_t TotalDuration = -1;   // µs, -1 unknown
};
using PProgressInfo = TProgressInfo*;

// TaskIndex -1 is the final record of a run.
struct TTerminateInfo {
    int TaskIndex = -1;
    bool Finished = true;
    bool Failed = false;
    String ErrorMessage;
};

struct TPreviewInfo {
    int TaskIndex = 0;
    TBitmap* Bitmap = nullptr;
    int FrameNumber = 0;
    int64_t PTS = 0;
};

struct THookInfo {
    int TaskIndex = 0;
    TBitmap* Bitmap = nullptr;
    int FrameNumber = 0;
    int64_t PTS = 0;
    bool Update = false;
    bool StopHook = false;
};
using PHookInfo = THookInfo*;

struct TFrameHookInfo {
    int TaskIndex = 0;
    int FrameNumber = 0;
    void* Picture = nullptr;
    int PixelFormat = -1;
    int Width = 0;
    int Height = 0;
    int64_t PTS = 0;
};
using PFrameHookInfo = TFrameHookInfo*;

class TCustomEncoder;

// One conversion task of an encoder.
class TFFmpeg : public TCustomFFmpeg {
public:
    explicit TFFmpeg(TCustomEncoder* encoder);
    ~TFFmpeg() override;

    String ClassName() const override { return String::fromLatin1("TFFmpeg"); }

    TCustomEncoder* Encoder() const { return FEncoder; }
    // Slot i is created on first use. The decoders hold copies of what they
    // read, so they stay readable after the run has freed its inputs.
    TFFDecoder* InputDecoder(int index);
    int InputDecoderCount() const { return int(FInputDecoders.size()); }

    // nullptr resets the slot to the defaults.
    void SetInputOptions(int index, const TInputOptions* options);
    void SetOutputOptions(int index, const TOutputOptions* options);
    // nullptr when the slot does not exist.
    const TInputOptions* InputOptions(int index) const;
    const TOutputOptions* OutputOptions(int index) const;

private:
    TCustomEncoder* FEncoder;
    std::vector<std::unique_ptr<TFFDecoder>> FInputDecoders;
    std::vector<std::unique_ptr<TInputOptions>> FInputOptions;
    std::vector<std::unique_ptr<TOutputOptions>> FOutputOptions;
};

// Owns its tasks.
class TFFmpegList : public TObject {
public:
    ~TFFmpegList() override;

    int Add(std::unique_ptr<TFFmpeg> task);
    void Clear();
    void Delete(int index);
    TFFmpeg* Items(int index) const;
    int IndexOf(const TObject* task) const;
    int Count() const { return int(FItems.size()); }
    void PauseAll();
    void ResumeAll();
    // Stops every task first and only then waits, so that no task waits
    // for one that has not been told to stop.
    void TerminateAll(bool wait);
    void SetPreviewAll(bool on);
    void SetPreviewBitmapAll(bool on);
    // Hands the tasks over and leaves the list empty.
    std::vector<std::unique_ptr<TFFmpeg>> Take();

private:
    std::vector<std::unique_ptr<TFFmpeg>> FItems;
};

class TEncoderEvents;  // the one queue of the encoder's deliveries

class TCustomEncoder : public TFFBaseComponent {
public:
    using TProgressEvent = TDelegate<void(TObject* Sender, PProgressInfo AProgressInfo)>;
    using TTerminateEvent = TDelegate<void(TObject* Sender, const TTerminateInfo& ATerminateInfo)>;
    using TPreviewBitmapEvent = TDelegate<void(TObject* Sender, const TPreviewInfo& APreviewInfo)>;
    using TVideoHookEvent = TDelegate<void(TObject* Sender, PHookInfo AHookInfo)>;
    using TFrameHookEvent = TDelegate<void(TObject* Sender, PFrameHookInfo AHookInfo)>;
    using TAudioHookEvent = TDelegate<void(TObject* Sender, int ATaskIndex, const int64_t APTS, uint8_t* ASample,
                                           int ASize, int ASampleRate, int AChannels, AVSampleFormat ASampleFormat)>;
    using TBeforeFindStreamInfoEvent = ::TBeforeFindStreamInfoEvent;

    explicit TCustomEncoder(TComponent* AOwner);
    ~TCustomEncoder() override;

    String ClassName() const override { return String::fromLatin1("TCustomEncoder"); }

    bool LoadAVLibs(const String& libraryFolder);
    void UnloadAVLibs();

    // The task's index, or a negative value with LastError.
    int AddTask(const String& fileName, PInputOptions options = nullptr);
    int AddInput(int taskIndex, const String& fileName, PInputOptions options = nullptr);
    int SetOutput(int taskIndex, const String& fileName, POutputOptions options = nullptr);
    // threadCount > 0: at most that many tasks convert at once, each in its
    // own thread, and the call returns at once. 0 or less: every task runs
    // in the calling thread before the call returns.
    void StartTask(int threadCount);
    void Pause();
    void Resume();
    // No task starts any more; running ones stop at their next packet and
    // those never started deliver their terminate record now. With wait,
    // returns when every task has ended, serving the main thread's queue.
    void Stop(bool wait);
    void RemoveTask(int index);
    void ClearTasks();

    int TaskCount() const;
    TFFmpeg* Tasks(int index) const { return FTasks.Items(index); }
    TFFDecoder* InputDecoders(int taskIndex, int inputIndex);
    TFFDecoder* Decoder() const { return FDecoder.get(); }
    const String& LastError() const { return FLastError; }

    bool Working() const;
    bool AllDone() const;
    bool Paused() const;
    bool Threaded() const;
    int FinishedCount() const;
    int NextIndex() const;
    int Remaining() const;

    bool Preview() const { return FPreview.load(); }
    void SetPreview(bool value);
    bool PreviewBitmap() const { return FPreviewBitmap.load(); }
    void SetPreviewBitmap(bool value);
    int ProgressInterval() const { return FProgressInterval.load(); }
    void SetProgressInterval(int value) { FProgressInterval.store(value <= 100 ? 100 : value); }
    TThreadPriority ThreadPriority() const { return FThreadPriority.load(); }
    void SetThreadPriority(TThreadPriority value) { FThreadPriority.store(value); }
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread.load(); }
    void SetTriggerEventInMainThread(bool value) { FTriggerEventInMainThread.store(value); }

    TAudioHookEvent OnAudioHook;
    TBeforeFindStreamInfoEvent OnBeforeFindStreamInfo;
    TVideoHookEvent OnVideoInputHook;
    TVideoHookEvent OnVideoOutputHook;
    TPreviewBitmapEvent OnPreviewBitmap;
    TProgressEvent OnProgress;
    TTerminateEvent OnTerminate;
    TFrameHookEvent OnFrameInputHook;
    TFrameHookEvent OnFrameOutputHook;

    // ---- what the tasks call, from their own threads ----
    virtual void DoVideoInputHook(TObject* task, TBitmap* bitmap, int frameNumber, int64_t pts, bool& update,
                                  bool& stopHook);
    virtual void DoVideoOutputHook(TObject* task, TBitmap* bitmap, int frameNumber, int64_t pts, bool& update,
                                   bool& stopHook);
    virtual void DoFrameInputHook(TObject* task, void* picture, int pixelFormat, int frameNumber, int width,
                                  int height, int64_t pts);
    virtual void DoFrameOutputHook(TObject* task, void* picture, int pixelFormat, int frameNumber, int width,
                                   int height, int64_t pts);
    virtual void DoPreviewBitmap(TObject* task, TBitmap* bitmap, int frameNumber, int64_t pts);
    virtual void DoProgress(TObject* task, int fileIndex, int frameNumber, int fps, float quality, float bitRate,
                            int64_t currentSize, int64_t currentDuration, int64_t totalDuration);
    // nullptr: the final record now.
    virtual void DoTerminate(TObject* task);
    void DoAudioHook(TObject* task, uint8_t* sample, int64_t pts, int size, int sampleRate, int channels,
                     AVSampleFormat sampleFormat);
    void DoBeforeFindStreamInfo(TObject* task, AVFormatContext* context);

private:
    void refuseWhileWorking(const char* operation) const;
    // The task being built keeps its files open between the calls that
    // build it; any other is parked (see TCustomFFmpeg::Park).
    void parkBuilding(const TFFmpeg* keep);
    // Parks the others and opens a parked task again for a further step;
    // false with LastError when its files cannot be opened again.
    bool reopenForBuilding(TFFmpeg* task);
    bool inlineRunHere() const;
    // FRunLock held: starts (threaded) or picks (inline) the next task.
    TFFmpeg* startNextLocked();
    void finalRecordLocked();
    void post(std::function<void()> delivery);
    // Hands what was posted to the thread that delivers it. Never called
    // with FRunLock held: in the delivering thread it delivers at once.
    void dispatch();
    void waitUntilAllDone();
    void releaseGraveyard();
    void applyPreviewFlags(TFFmpeg& task) const;
    int taskIndex(const TObject* task) const;

    bool FStrictOptions = true;
    std::atomic<bool> FPreview{false};
    std::atomic<bool> FPreviewBitmap{false};
    std::atomic<int> FProgressInterval{500};
    std::atomic<TThreadPriority> FThreadPriority{tpNormal};
    std::atomic<bool> FTriggerEventInMainThread{true};
    String FLastError;

    // Serialise the hook handlers across tasks; no lock is held while
    // anything waits for the main thread.
    std::mutex FAudioHookLock, FVideoHookLock, FFrameHookLock, FBeforeFindStreamInfoLock;

    std::unique_ptr<TFFDecoder> FDecoder;
    TFFmpegList FTasks;
    TFFmpeg* FBuilding = nullptr;  // the task whose files are open while it is built
    std::vector<TFFmpeg*> FUnjoined;  // started in threads and not yet joined (FRunLock)

    // The run: guarded by FRunLock (re-entrant: a task that never started
    // reports its end from inside Stop).
    mutable std::recursive_mutex FRunLock;
    std::condition_variable_any FRunChanged;
    int FFinishedCount = 0;
    int FNextIndex = -1;
    int FRemaining = 0;
    bool FAllDone = false;
    bool FThreaded = false;
    bool FWorking = false;
    bool FPaused = false;
    std::atomic<std::thread::id> FInlineThread{};  // the thread running an inline run
    int FInlineDepth = 0;                          // inline runs on the stack
    std::vector<std::unique_ptr<TFFmpeg>> FGraveyard;  // cleared while a task was on the stack

    std::shared_ptr<TEncoderEvents> FEvents;
};

class TFFEncoder : public TCustomEncoder {
public:
    explicit TFFEncoder(TComponent* AOwner) : TCustomEncoder(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TFFEncoder"); }
};
