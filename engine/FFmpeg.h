// FFmpeg.h - one conversion task: the command-line tool's settings, the
// options context option strings are parsed into, and its opened inputs.
#pragma once
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

#include "engine/FFDecode.h"
#include "engine/FFLog.h"
#include "engine/FFOptions.h"
#include "engine/FFOwnFilters.h"
#include "engine/FormatConverter.h"
#include "engine/FrameHook.h"
#include "engine/Previewer.h"
#include "engine/VideoHookChain.h"
#include "engine/FFUtils.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Thread.h"

namespace FFmpegConsts {
VORLANE_RESOURCESTRING(SParseOptions, "ParseOptions: %s");
VORLANE_RESOURCESTRING(SParsePresets, "ParsePresets: %s");
VORLANE_RESOURCESTRING(SMissingArgument, "Missing argument for option \"%s\"");
VORLANE_RESOURCESTRING(SFailedToSetValue, "Failed to set value \"%s\" for option \"%s\"");
VORLANE_RESOURCESTRING(SFailedToParseOptions, "Failed to parse options");
VORLANE_RESOURCESTRING(SFailedToParseOptionsOn, "Failed to parse options on %s");
VORLANE_RESOURCESTRING(SInvalidOptionIgnore, "Invalid option found while parsing options, ignore");
VORLANE_RESOURCESTRING(SInvalidSyntax, "Invalid syntax: \"%s\"");
VORLANE_RESOURCESTRING(SInvalidOptionOrArgument, "Invalid option or argument: \"%s\", parsed as \"%s\" = \"%s\"");
VORLANE_RESOURCESTRING(SPresetNotFound, "Preset file \"%s\" not found");
VORLANE_RESOURCESTRING(SPresetInvalidSyntax, "%s: Invalid syntax: \"%s\"");
VORLANE_RESOURCESTRING(SPresetInvalidOption, "%s: Invalid option or argument: \"%s\", parsed as \"%s\" = \"%s\"");
VORLANE_RESOURCESTRING(SNotSupportedIgnore, "options \"%s\" not supported, ignore");
VORLANE_RESOURCESTRING(SNotSupported, "options \"%s\" not supported");
VORLANE_RESOURCESTRING(SCropRemoved, "Option \"%s\" has been removed, use the crop filter instead");
VORLANE_RESOURCESTRING(SPadRemoved, "Option \"%s\" has been removed, use the pad filter instead");
VORLANE_RESOURCESTRING(SChannelDeprecated, "This option is deprecated, use -channel.");
VORLANE_RESOURCESTRING(SStandardDeprecated, "This option is deprecated, use -standard.");
VORLANE_RESOURCESTRING(SInvalidLogLevel, "Invalid loglevel \"%s\". Possible levels are numbers or:\r\n");
VORLANE_RESOURCESTRING(SBitrateAmbiguous, "Please use -b:a or -b:v, -b is ambiguous");
VORLANE_RESOURCESTRING(SMapMetaDataDeprecated,
                       "-map_meta_data is deprecated and will be removed soon. Use -map_metadata instead.");
VORLANE_RESOURCESTRING(STimestampDeprecated, "%s is deprecated, set the \"creation_time\" metadata tag instead.");
VORLANE_RESOURCESTRING(SInvalidSyncFileIndex, "Invalid sync file index: %d.");
VORLANE_RESOURCESTRING(SSyncStreamNoMatch, "Sync stream specification in map %s does not match any streams.");
VORLANE_RESOURCESTRING(SInvalidInputFileIndex, "Invalid input file index: %d.");
VORLANE_RESOURCESTRING(SStreamMapNoMatch, "Stream map \"%s\" matches no streams.");
VORLANE_RESOURCESTRING(SMapChanSyntax,
                       "Syntax error, mapchan usage: [file.stream.channel|-1][:syncfile:syncstream]");
VORLANE_RESOURCESTRING(SMapChanInputFile, "mapchan: invalid input file index: %d");
VORLANE_RESOURCESTRING(SMapChanInputStream, "mapchan: invalid input file stream index #%d.%d");
VORLANE_RESOURCESTRING(SMapChanNotAudio, "mapchan: stream #%d.%d is not an audio stream.");
VORLANE_RESOURCESTRING(SMapChanChannel, "mapchan: invalid audio channel #%d.%d.%d");
VORLANE_RESOURCESTRING(SInvalidMetadataType, "Invalid metadata type %s.");
VORLANE_RESOURCESTRING(SIncorrectAspect, "Incorrect aspect ratio specification.");
VORLANE_RESOURCESTRING(SInvalidCodecType, "Invalid %s type '%s'");
VORLANE_RESOURCESTRING(SUnknownCodec, "Unknown %s '%s'");
VORLANE_RESOURCESTRING(SInvalidBitsPixel, "Invalid BitsPixel %d");
VORLANE_RESOURCESTRING(SValueNotWithin, "The value for \"%s\" was \"%s\" which is not within %d - %d");
VORLANE_RESOURCESTRING(SStreamIdSyntax, "Invalid value \"%s\" for option \"%s\", required syntax is \"index:value\"");
VORLANE_RESOURCESTRING(SCheckStreamSpecifier, "check_stream_specifier");
VORLANE_RESOURCESTRING(SUnknownTarget, "Unknown target: %s");
VORLANE_RESOURCESTRING(SCouldNotDetermineNorm,
                       "Could not determine norm (PAL/NTSC/NTSC-Film) for target.\r\nPlease prefix target with "
                       "\"pal-\", \"ntsc-\" or \"film-\",\r\nor set a framerate with \"-r xxx\".");
VORLANE_RESOURCESTRING(SAssumingNorm, "Assuming %s for target.");
}  // namespace FFmpegConsts

#include "engine/FFTaskConsts.h"

// Every fatal error inside a task.
VORLANE_DECLARE_EXCEPTION(FFmpegException, Exception);

// Closes an input's format context while the format library is bound.
struct TAVInputContextDeleter {
    void operator()(AVFormatContext* ctx) const;
};
using TAVInputContextPtr = std::unique_ptr<AVFormatContext, TAVInputContextDeleter>;

// Closes an output's file (when the container writes one) and frees its context.
struct TAVOutputContextDeleter {
    void operator()(AVFormatContext* ctx) const;
};
using TAVOutputContextPtr = std::unique_ptr<AVFormatContext, TAVOutputContextDeleter>;

struct TFilterGraphDeleter {
    void operator()(AVFilterGraph* graph) const;
};
using TFilterGraphPtr = std::unique_ptr<AVFilterGraph, TFilterGraphDeleter>;

struct TBSFDeleter {
    void operator()(AVBSFContext* bsf) const;
};
using TBSFPtr = std::unique_ptr<AVBSFContext, TBSFDeleter>;

// ---- audio path and statistics ----
struct TSwrDeleter {
    void operator()(SwrContext* swr) const;
};
using TSwrPtr = std::unique_ptr<SwrContext, TSwrDeleter>;

struct TAudioFifoDeleter {
    void operator()(AVAudioFifo* fifo) const;
};
using TAudioFifoPtr = std::unique_ptr<AVAudioFifo, TAudioFifoDeleter>;

struct TFileCloser {
    void operator()(FILE* f) const;
};
using TFilePtr = std::unique_ptr<FILE, TFileCloser>;

// Scales samples in place by volume / 256 with the tool's rounding and
// clipping; planes as the libraries lay them out (one plane of interleaved
// values for packed formats, one per channel for planar ones). False, with
// nothing changed, for a format it cannot scale.
bool ScaleSamples(uint8_t* const* planes, int planeCount, int valuesPerPlane, AVSampleFormat format, int volume);

// "size=... time=hh:mm:ss.hh bitrate=...kbits/s" of a status line: bytes
// written and the output time in µs; a time of 0 gives a bit rate of 0.
String StatusSizeText(int64_t bytesWritten, int64_t time, double* bitRate = nullptr);

// One opened input.
struct TSourceFile {
    TAVInputContextPtr Context;
    String FileName;  // as the input was named
    bool EndReached = false;
    int FirstStream = 0;
    int64_t TSOffset = 0;  // microseconds, added to every packet time stamp
    int StreamCount = 0;   // streams that appear later are ignored
    bool RateEmu = false;
    int64_t Duration = -1;  // µs after the start option; -1 unknown
    // Reads the input's information once, when it is opened; it never
    // touches the context again, so the task may free it at any time.
    std::unique_ptr<TFFDecoder> Decoder;
};

// One stream of an opened input.
struct TSourceStream {
    int FileIndex = 0;
    AVStream* Stream = nullptr;
    bool Discard = true;
    bool DecodingNeeded = false;
    const AVCodec* Decoder = nullptr;
    TCodecContextPtr DecoderContext;  // opened by the set-up when decoding is needed
    TFramePtr DecodedFrame;
    TFramePtr FilteredFrame;
    int64_t Start = 0;     // clock at the start, for rate emulation
    int64_t NextTime = AV_NOPTS_VALUE;  // microseconds
    int64_t Time = 0;      // microseconds
    double TSScale = 1.0;
    bool AtStart = true;
    bool ShowedMultiFrameWarning = false;
    TAVDictionaryPtr Options;
    int FrameCounter = 0;
    bool Flushed = false;
    // Presentation and decoding times of the packet being decoded (µs).
    int64_t KeptPts = AV_NOPTS_VALUE;
    int64_t KeptDts = AV_NOPTS_VALUE;
};

// One output. Written under a temporary name next to FileName when the
// container writes one file; renamed over FileName when the task ends well.
struct TTargetFile {
    TAVOutputContextPtr Context;
    TAVDictionaryPtr Options;
    int FirstStream = 0;
    int64_t RecordingTime = INT64_MAX;
    int64_t StartTime = 0;
    int64_t LimitFileSize = INT64_MAX;
    String FileName;      // the name asked for
    String WritingName;   // the name written (FileName or the temporary one)
    // Where a kept output goes: FileName, or the file its symbolic link names.
    String TargetName;
    // Checked but not yet made: the file is made when the task starts.
    bool Deferred = false;
    bool HeaderWritten = false;
};

// One output stream.
struct TTargetStream {
    int FileIndex = 0;
    int Index = 0;
    int Source = -1;       // TSourceStream index; -1 none
    AVStream* Stream = nullptr;
    TCodecContextPtr Encoder;  // the encoder context (also used for copied streams' parameters)
    bool EncodingNeeded = false;
    int FrameNumber = 0;
    int SyncSource = -1;
    int64_t OutputClock = 0;  // next output time in the encoder time base
    std::vector<TBSFPtr> BitstreamFilters;
    const AVCodec* Codec = nullptr;
    int64_t MaxFrames = INT64_MAX;
    bool VideoResample = false;
    int ResampleHeight = 0, ResampleWidth = 0, ResamplePixFmt = -1;
    AVRational FrameRate{0, 0};
    bool ForceFps = false;
    int TopFieldFirst = -1;
    float FrameAspect = 0;
    std::vector<int64_t> ForcedKeyFrames;
    int NextForcedKeyFrame = 0;
    TFilterGraphPtr FilterGraph;
    AVFilterContext* FilterSource = nullptr;
    AVFilterContext* FilterSink = nullptr;
    AnsiString FilterChain;
    TOwnFilterChainPtr OwnFilters;  // the chain's own filters and the graphs after them
    int SwsFlags = 0;
    TAVDictionaryPtr EncoderOptions;
    bool PastRecordingTime = false;
    bool Copy = false;
    AnsiString AttachmentFileName;
    bool CopyInitialNonKeyframes = false;
    bool Drained = false;
    int64_t LastWrittenDts = AV_NOPTS_VALUE;
    std::vector<uint16_t> IntraMatrix, InterMatrix;  // kept until the encoder is opened
    std::vector<RcOverride> RcOverrides;
    int LastQuality = -1;  // lambda of the last encoded picture, -1 none
    bool Opened = false;
    // ---- audio path ----
    bool AudioResample = false;
    int ResampleSampleFmt = -1, ResampleChannels = 0, ResampleSampleRate = 0;  // the decoder's, as last seen
    TSwrPtr Resampler;
    TAudioFifoPtr SampleQueue;  // encoder samples waiting for a whole frame
    float RematrixVolume = 1.0f;
    std::vector<TChannelMapEntry> ChannelMapEntries;  // the "map_channel" entries naming this output stream
    std::vector<int> ChannelMap;  // source channel of each channel; -1 silent (set-up keeps those of its source)
    // ---- statistics of the last packet, two-pass files ----
    int LastPictType = 0;
    int64_t LastErrors[4] = {};
    TFilePtr PassLog;               // first pass: the encoder's statistics go here
    std::vector<char> PassStatsIn;  // second pass: what the encoder reads (kept here, never moved)
    // ---- joining ----
    // The source of this stream in each join group (the first is Source);
    // empty when the output joins nothing.
    std::vector<int> JoinSources;
    // The encoder's settings before it was first opened: every later group
    // gets a fresh encoder made from them.
    TCodecContextPtr EncoderTemplate;
    AnsiString JoinFilterChain;  // the filter chain of every group's graph
};

// The progress report: file index (-1 on the last), frame number, frames per
// second, quality, bit rate (kbit/s), bytes written, current and total duration (µs).
using TProgressEvent = TDelegate<void(TObject* Sender, int fileIndex, int frameNumber, int fps, float quality,
                                      float bitRate, int64_t bytesWritten, int64_t currentDuration,
                                      int64_t totalDuration)>;
using TTerminateEvent = TDelegate<void(TObject* Sender)>;

class TCustomFFmpeg : public TObject {
public:
    TCustomFFmpeg();
    ~TCustomFFmpeg() override;

    String ClassName() const override { return String::fromLatin1("TCustomFFmpeg"); }

    // Requires the libraries: every setting gets its default, the option
    // table is built and the options context reset.
    void ResetDefaults();

    // The text becomes the last error text, is logged at llFatal and raised.
    [[noreturn]] void RaiseError(const String& text);
    [[noreturn]] void RaiseError(const TResStringRec& format, TVarRecs args);

    // ---- option strings ----
    void ParseOptions(const AnsiString& text);
    void ParsePresets(const AnsiString& text);

    bool StrictOptions() const { return FStrictOptions; }
    void SetStrictOptions(bool value) { FStrictOptions = value; }
    const String& OptionError() const { return FOptionError; }
    const String& LastErrorText() const { return FLastErrorText; }

    const TFFmpegSettings& Settings() const { return FSettings; }
    TFileOptions& OptionsContext() { return FOptions; }
    const TFileOptions& OptionsContext() const { return FOptions; }
    const TLibavOptions& LibavOptions() const { return FLibavOpts; }
    const TOptionDef* OptionTable() const { return FOptionTable; }

    void BuildOptionTable();
    // Clears the context for the next file; after an input the recording
    // time stays (an input's -t applies to the output options that follow).
    void ResetOptionsContext(TFileOptions& o, bool isInput);

    // The last entry of list whose specifier selects the stream is stored
    // into var (var keeps its value when none does); an invalid specifier
    // is the task's fatal error.
    template <class T>
    void MatchPerStreamOpt(const TStreamValues& list, AVFormatContext* s, AVStream* st, T& var);

    // ---- the option parser's steps ----
    static const TOptionDef* FindOption(const TOptionDef* table, const AnsiString& name);
    int ParseOption(TFileOptions& o, const AnsiString& name, const AnsiString* value);
    int ParseOptionList(TFileOptions& o, const std::vector<AnsiString>& words, bool strict);
    static int LocateOption(const std::vector<AnsiString>& words, const TOptionDef* table, const AnsiString& name);

    // ---- routines used when files are opened ----
    double ParseAspectRatio(const AnsiString& text);
    const AVCodec* FindCodecOrFail(const AnsiString& name, AVMediaType type, bool encoder);
    const AVCodec* ChooseDecoder(TFileOptions& o, AVFormatContext* s, AVStream* st);

    int SourceFileCount() const { return int(FSourceFiles.size()); }
    int TargetFileCount() const { return int(FTargetFiles.size()); }
    const TSourceFile& SourceFile(int i) const { return FSourceFiles[size_t(i)]; }
    const TTargetFile& TargetFile(int i) const { return FTargetFiles[size_t(i)]; }
    int SourceStreamCount() const { return int(FSourceStreams.size()); }
    int TargetStreamCount() const { return int(FTargetStreams.size()); }
    const TTargetStream& TargetStream(int i) const { return FTargetStreams[size_t(i)]; }

    // ---- inputs ----
    // The new input's index, or a negative library code with the last error text.
    int OpenInput(TFileOptions* o, const String& fileName);
    void RegisterInputStreams(TFileOptions& o, AVFormatContext* ic, const AVCodec* const* decoders);
    void SaveAttachment(AVStream* st, const AnsiString& fileName);
    bool CheckOverwrite(const String& fileName);

    // ---- outputs ----
    // 0, or -1 with the last error text; no trace of the output is left on failure.
    // With join and several inputs the inputs are written one after another
    // into the one output (see Join).
    int OpenOutput(const String& fileName, bool join = false);
    // Join mode: whether the output joins the inputs, how many inputs it
    // joins (the groups), and the group being converted.
    bool JoinMode() const { return FJoinMode; }
    // Both may be read from any thread while the task runs.
    int JoinGroupCount() const { return FJoinGroupCount.load(); }
    int JoinGroup() const { return FJoinGroup.load(); }
    // The plug-ins of "-vhook" configured for this task now (none once a
    // conversion has ended and released them).
    int VideoHookCount() const { return FVideoHookCount.load(); }

    // ---- output streams ----
    TTargetStream& CreateOutputStream(TFileOptions& o, AVFormatContext* oc, AVMediaType type);
    TTargetStream& CreateVideoStream(TFileOptions& o, AVFormatContext* oc);
    TTargetStream& CreateAudioStream(TFileOptions& o, AVFormatContext* oc);
    TTargetStream& CreateDataStream(TFileOptions& o, AVFormatContext* oc);
    TTargetStream& CreateSubtitleStream(TFileOptions& o, AVFormatContext* oc);
    TTargetStream& CreateAttachmentStream(TFileOptions& o, AVFormatContext* oc);
    void PickEncoder(TFileOptions& o, AVFormatContext* oc, TTargetStream& ost);
    void ReadKeyFrameTimes(const AnsiString& text, TTargetStream& ost);
    // 64 coefficients; raises "Syntax error in matrix ..." when fewer are given.
    void ReadQuantMatrix(uint16_t* matrix, const AnsiString& text);

    // ---- queued tasks ----
    // A task waiting in a queue holds no file and little memory: its owner
    // records how it was built, step by step, and parks it (inputs closed,
    // outputs checked but not made); the task opens everything again, the
    // same way, when it starts.
    struct TBuildStep {
        bool Output = false;
        String FileName;
        bool HasOptions = false;  // whether the option and preset texts were applied
        AnsiString Options, Presets;
        bool Join = false;
        bool Strict = true;
        // An input file as it was probed; known for regular files only.
        bool Known = false;
        uint64_t Device = 0, Inode = 0;
        int64_t Size = 0, Modified = 0;  // bytes, ns
    };
    // The identity of an input is taken now.
    void RecordBuildStep(TBuildStep step);
    const std::vector<TBuildStep>& BuildSteps() const { return FBuildSteps; }
    // While set, OpenOutput checks a file output without making it; the
    // task makes it when it starts.
    bool DeferOutputFiles() const { return FDeferOutputFiles; }
    void SetDeferOutputFiles(bool value) { FDeferOutputFiles = value; }
    // Whether the task was built from recorded steps only and every input
    // is a regular file, which can be opened again.
    bool CanPark() const;
    bool Parked() const { return FParked; }
    // Closes the inputs and forgets the outputs' set-up; false, with
    // nothing changed, when the task cannot be parked.
    bool Park();
    // Builds the task again from its steps, checking that every input is
    // still the file that was probed; outputs are made when createOutputs
    // is set, else only checked. Raises FFmpegException with the reason.
    void Reopen(bool createOutputs);

    // ---- set-up ----
    int PrepareConversion();
    int OpenInputDecoder(int sourceIndex, String& error);
    void LogStreamMapping();
    void CheckUnusedOptions(const AVDictionary* dict);
    void RefuseExperimental(const AVCodecContext* ctx, bool isEncoder);
    void FitSampleFormat(AVCodecContext* enc, const AVCodec* codec);
    void FitSampleRate(AVCodecContext* enc, const AVCodec* codec);
    void FitPixelFormat(AVCodecContext* enc, const AVCodec* codec);

    // ---- the conversion ----
    void Transcode();
    int ProcessPacket(int sourceIndex, const AVPacket* packet);
    bool StreamWantsPacket(int sourceIndex, TTargetStream& ost);
    void CopyPacket(int sourceIndex, TTargetStream& ost, const AVPacket* packet);
    void WaitRateEmulation(int sourceIndex);
    void DrainEncoders();
    void WritePacket(TTargetStream& ost, AVPacket* packet);
    void ReportProgress(int64_t currentTime, int64_t timerStart, bool isLast, int fileIndex);
    // laterGroup: the graph of a later join group, whose encoder keeps the
    // first group's size and aspect; the chain runs on the new input as it
    // is and one scale after it fits its pictures to the encoder.
    int BuildVideoFilterGraph(int sourceIndex, TTargetStream& ost, bool laterGroup = false);
    int DecodeVideo(int sourceIndex, const AVPacket* packet);
    void EncodeVideo(TTargetStream& ost, AVFrame* picture, float quality, int sourceIndex);
    int DecodeAudio(int sourceIndex, const AVPacket* packet);
    void EncodeAudio(TTargetStream& ost, int sourceIndex, AVFrame* frame);
    // The resampler's and the queue's last samples, then the encoder's.
    void DrainAudio(TTargetStream& ost);
    void WriteVideoStats(TTargetStream& ost, int frameSize, int frameNumber);
    // Two-pass log of an encoded stream: 0, or a negative code with the last error text.
    int OpenPassLog(TTargetStream& ost, int streamIndex);

    // The audio hook: decoded samples (packed, whatever the decoder gives)
    // that the handler may change in place; by default OnAudioHook.
    virtual bool AudioHookAssigned() const { return OnAudioHook.Assigned(); }
    virtual void CallAudioHook(uint8_t* samples, int64_t time, int size, int sampleRate, int channels,
                               AVSampleFormat format)
    {
        if (OnAudioHook.Assigned())
            OnAudioHook(this, samples, time, size, sampleRate, channels, format);
    }

    // ---- frame hooks and preview (FrameHook.cpp) ----
    // Bound by the owner before the run; a hook whose handler asks to stop
    // is cleared by the task's thread.
    TAudioHookProc OnAudioHook;
    TVideoHookProc OnVideoInputHook;
    TVideoHookProc OnVideoOutputHook;
    TFrameHookProc OnFrameInputHook;
    TFrameHookProc OnFrameOutputHook;
    TPreviewBitmapProc OnPreviewBitmap;
    // Every decoded picture: deinterlacing and the input-side hooks; the
    // picture then carries what they made of it.
    void PrepareInputPicture(int sourceIndex, AVFrame* picture);
    // A picture about to be encoded, after the output-side hooks and the
    // preview: picture itself, or the task's hooked copy of it.
    AVFrame* PrepareOutputPicture(TTargetStream& ost, AVFrame* picture);
    // converted: whether the converter's bitmap shows the picture.
    void CallBitmapHook(TVideoHookProc& hook, TFormatConverter& converter, bool& converted, AVFrame* picture,
                        int64_t frameTime, int frameNumber);
    void ShowPreview(AVFrame* picture, bool converted, int64_t frameTime, int frameNumber);
    // The clock previews are timed by (µs); the library's by default.
    void SetPreviewClock(std::function<int64_t()> clock) { FPreviewClock = std::move(clock); }
    // The window previews of this task; the installed factory by default.
    void SetPreviewWindowFactory(TPreviewWindowFactory factory) { FPreviewWindowFactory = std::move(factory); }

    // ---- life cycle ----
    // Not threaded: runs the conversion in the calling thread and returns
    // after the terminate call. Threaded runs come with the thread.
    void Start();
    void Run();
    // Stops reading and opening; what was encoded is still written and the
    // output ends properly.
    void Stop(bool wait = false);
    void DeliverTerminate();
    void Cleanup();
    static int ReadInterrupt(void* opaque);
    static int WriteInterrupt(void* opaque);
    void SetPreviewFlags(uint8_t flags)
    {
        FPreviewFlags.store(flags);
        FPreviewChanged.store(true);
    }
    uint8_t PreviewFlags() const { return FPreviewFlags.load(); }

    // ---- threads ----
    // Runs the conversion in the task's own thread, owned and joined by the
    // task. The task counts as running from this call on. False when it is
    // running or has ended; a task without output or input still gets its
    // thread, which delivers the failure.
    bool StartThread(TThreadPriority priority = tpNormal);
    // Running: Stop(wait); ended: nothing; never started: the terminate call
    // now, in the calling thread.
    void Terminate(bool wait);
    // Cooperative: the conversion stops at its next packet or duplicated
    // frame; a task started while paused waits before its first packet.
    void Pause() { FPauseGate.Pause(); }
    void Resume() { FPauseGate.Resume(); }
    bool Paused() const { return FPauseGate.Paused(); }
    // True while the conversion waits at its pause gate.
    bool WaitingAtGate() const { return FPauseGate.WaitingCount() > 0; }
    // The conversion's pause point, where it holds no lock: waits while
    // paused; false once the task is stopped.
    bool PassPauseGate() { return FPauseGate.WaitWhilePaused(FAbort); }
    // Waits for the task's thread and joins it; keeps the main thread's
    // queue served meanwhile. Does nothing in the task's own thread.
    void WaitForThread();
    // Joins an ended thread without serving anything; for callers that know
    // the conversion no longer needs them.
    void JoinThread();
    bool ThreadDone() const { return FThreadDone.load(); }
    // The task whose thread is calling; nullptr outside the tasks' threads.
    static TCustomFFmpeg* CurrentThreadTask();

    bool Running() const { return FRunning; }
    bool Ended() const { return FEnded; }
    bool Finished() const { return FFinished; }
    bool Failed() const { return FFailed; }
    const String& ErrorMessage() const { return FErrorText; }
    bool Aborted() const { return FAbort.load(); }
    int DupFrames() const { return FDupFrames; }
    int DropFrames() const { return FDropFrames; }
    int64_t TotalDuration() const { return FTotalDuration; }
    int64_t ProgressInterval() const { return FProgressInterval; }
    void SetProgressInterval(int64_t microseconds) { FProgressInterval = microseconds; }
    int ReadTimeout() const { return FReadTimeout.load(); }
    void SetReadTimeout(int ms) { FReadTimeout.store(ms); }
    int WriteTimeout() const { return FWriteTimeout.load(); }
    void SetWriteTimeout(int ms) { FWriteTimeout.store(ms); }

    TProgressEvent OnProgress;
    TTerminateEvent OnTerminate;
    TBeforeFindStreamInfoEvent OnBeforeFindStreamInfo;

    // ---- handlers (name, value) ----
    int OptNotSupportedIgnore(const AnsiString& opt, const AnsiString& arg);
    int OptIgnore(const AnsiString& opt, const AnsiString& arg);
    int OptNotSupported(const AnsiString& opt, const AnsiString& arg);
    int OptCropRemoved(const AnsiString& opt, const AnsiString& arg);
    int OptPadRemoved(const AnsiString& opt, const AnsiString& arg);
    int OptVideoChannel(const AnsiString& opt, const AnsiString& arg);
    int OptVideoStandard(const AnsiString& opt, const AnsiString& arg);
    int OptVstatsFile(const AnsiString& opt, const AnsiString& arg);
    int OptVstats(const AnsiString& opt, const AnsiString& arg);
    int OptPassLogFile(const AnsiString& opt, const AnsiString& arg);
    int OptPass(const AnsiString& opt, const AnsiString& arg);
    int OptVideoHook(const AnsiString& opt, const AnsiString& arg);
    int OptVideoHookBitsPixel(const AnsiString& opt, const AnsiString& arg);
    int OptLogLevel(const AnsiString& opt, const AnsiString& arg);
    int OptDebug(const AnsiString& opt, const AnsiString& arg);
    int OptGeneric(const AnsiString& opt, const AnsiString& arg);

    // ---- handlers (context, name, value) ----
    int OptAudioCodec(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptVideoCodec(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptSubtitleCodec(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptDataCodec(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptVideoFrames(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptAudioFrames(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptDataFrames(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptVideoFilters(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptOldTag(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptBitrate(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptAttach(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptMap(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptMapChannel(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptMapMetadata(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptMapMetaData(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptRecordingTimestamp(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptAudioQuality(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptStreamId(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptPreset(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);
    int OptTarget(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);

protected:
    // The encoder reaches the task through a subclass, and so do tests.
    std::vector<TSourceFile> FSourceFiles;
    std::vector<TSourceStream> FSourceStreams;
    std::vector<TTargetFile> FTargetFiles;
    std::vector<TTargetStream> FTargetStreams;

private:
    void dropOutput(AVFormatContext* oc, const String& writingName, size_t streamsBefore);
    // Back to a task with no files and default settings.
    void resetBuild();
    bool hasDeferredOutputs() const;
    std::vector<TBuildStep> FBuildSteps;
    bool FDeferOutputFiles = false;
    bool FParked = false;
    // The source streams an output takes, in order, with their sync
    // sources; only those of one input when onlyInput is not negative.
    // False with the last error text for a map of an unsupported kind.
    struct TStreamChoice {
        int Source = -1;
        int SyncSource = -1;
    };
    bool chooseSources(TFileOptions& o, AVFormatContext* oc, int onlyInput, std::vector<TStreamChoice>& chosen);
    // Join mode: the output's streams get a source in every further input
    // (AddJoinOutput), the total duration becomes the sum of the inputs'.
    // 0, or -1 with the last error text.
    int Join(TFileOptions& o, AVFormatContext* oc, int firstStream);
    int AddJoinOutput(TFileOptions& o, AVFormatContext* oc, int firstStream, int input);
    // The end of a join group: what is left of it is encoded, and every
    // stream goes on with the next input and fresh encoders.
    void switchJoinGroup();
    int openEncoder(TTargetStream& ost, bool firstGroup);
    // Loads and configures the "-vhook" plug-ins given since the last
    // output into pending, which joins the task's chain only when the
    // output is opened. 0, or -1 with the last error text.
    int loadVideoHooks(TVideoHookChain& pending);
    // A copied stream goes on with the next input's packets as they are:
    // they must be of the same kind. 0, or -1 with the last error text.
    int checkJoinedCopies(int firstStream);
    void callVideoHooks(AVFrame* picture, int64_t time);
    void finishTranscode();
    void encodeFrame(TTargetStream& ost, AVFrame* frame);
    void flushFilteredFrames(int sourceIndex, TTargetStream& ost, float quality);
    void pushCopyPicture(TTargetStream& ost);
    int chooseStreams(TFileOptions& o, AVFormatContext* oc, int onlyInput = -1);
    int copyMetadata(TFileOptions& o, AVFormatContext* oc, int fileIndex);
    int prepareStream(TTargetStream& ost);
    int prepareAudioStream(TTargetStream& ost);
    void endOutputs(bool keep);
    void logInfo(TLogLevel level, const String& text) { logText(level, text); }
    void encodeQueuedAudio(TTargetStream& ost, bool last);
    void noteEncodedPacket(TTargetStream& ost, const AVPacket* packet, int frameNumber);

    // Join mode, set when the output is opened; the task's thread advances
    // the group.
    bool FJoinMode = false;
    std::atomic<int> FJoinGroupCount{0};
    std::atomic<int> FJoinGroup{0};
    // The "-vhook" plug-ins, configured for this task; the count mirrors the
    // chain for readers on other threads.
    std::unique_ptr<TVideoHookChain> FVideoHookChain;
    size_t FVideoHooksLoaded = 0;
    std::atomic<int> FVideoHookCount{0};

    // Working state of a conversion.
    int64_t FVideoBytes = 0, FAudioBytes = 0, FHeaderBytes = 0;
    int FDupFrames = 0, FDropFrames = 0;
    bool FDupOrDropChanged = false;
    int FVideoBufferSize = 262144;
    int64_t FLongestInputDuration = -1;
    int64_t FTotalDuration = -1;
    // Audio path: reused for the whole conversion, they only grow.
    std::vector<uint8_t> FAudioBuffer, FSilenceBuffer, FHookBuffer, FChannelMapBuffer;
    // Statistics.
    int FQPHistogram[52] = {};
    TFilePtr FVStatsFile;

    // Run control. The flags are read by the encoder's thread while the
    // task's thread writes them.
    std::atomic<bool> FRunning{false};
    std::atomic<bool> FAbort{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FEnded{false};
    std::atomic<bool> FFailed{false};
    std::thread FThread;
    std::mutex FThreadLock;  // two waiters must not join at once
    std::atomic<bool> FThreadDone{true};
    TPauseGate FPauseGate;
    bool refuseWithoutFiles();
    void threadMain(TThreadPriority priority);
    String FErrorText;
    AVIOInterruptCB FReadInterruptCB{};
    AVIOInterruptCB FWriteInterruptCB{};
    std::atomic<int64_t> FReadMark{INT64_MAX};
    std::atomic<int64_t> FWriteMark{INT64_MAX};
    std::atomic<int> FReadTimeout{30000};
    std::atomic<int> FWriteTimeout{30000};
    int64_t FProgressInterval = 500000;
    std::atomic<uint8_t> FPreviewFlags{0};
    // Frame hooks and preview: used by the task's thread only, except the
    // changed flag, which the owner sets with the switches.
    std::atomic<bool> FPreviewChanged{true};
    std::unique_ptr<TFormatConverter> FInputConverter, FOutputConverter;
    TFramePtr FOutputHookFrame;
    std::unique_ptr<TPreviewer> FPreviewer;
    TPreviewWindowFactory FPreviewWindowFactory = PreviewWindowFactory();
    std::function<int64_t()> FPreviewClock;
    int64_t FLastPreview = INT64_MIN;
    void setReadMark();
    void setWriteMark();

    // Applies one key=value line of a presets text or file (the codec keys
    // go to their handlers, every other key to the library options).
    int applyPresetLine(const AnsiString& key, const AnsiString& value);
    void appendOptionError(const String& text);
    int failOption(const String& text, TLogLevel level, int code);
    void logText(TLogLevel level, const String& text);

    TFFmpegSettings FSettings;
    TFileOptions FOptions;
    TLibavOptions FLibavOpts;
    const TOptionDef* FOptionTable = nullptr;
    String FOptionError;
    String FLastErrorText;
    bool FStrictOptions = true;
};

template <class T>
void TCustomFFmpeg::MatchPerStreamOpt(const TStreamValues& list, AVFormatContext* s, AVStream* st, T& var)
{
    for (const TStreamValue& entry : list) {
        const int r = MatchStreamSpecifier(s, st, entry.Specifier.constData());
        if (r > 0)
            var = std::get<T>(entry.Value);
        else if (r < 0)
            RaiseError(ErrorText(LoadResString(FFmpegConsts::SCheckStreamSpecifier), r));
    }
}

// ---- same quantiser ----------------------------------------------------------------
// Decoders no longer report the quality of their frames, so "-sameq" keeps
// the source's quality through its bit rate: the source video stream's rate,
// never below a bit rate the line asks for, within the line's (or the
// target's) minimum and maximum rate. Without a source rate it is a fixed
// quantiser, unless a maximum rate is set: a fixed quantiser would ignore it.
// An explicit -q/-qscale for the stream wins over all of this.
inline constexpr int SameQuantFallbackQScale = 3;

struct TSameQuantRate {
    int64_t BitRate = 0;  // > 0: encode at this bit rate
    int QScale = 0;       // > 0: encode at this fixed quantiser instead
};

// Rates in bit/s; 0 = not given.
TSameQuantRate SameQuantRate(int64_t sourceBitRate, int64_t requestedBitRate, int64_t minRate, int64_t maxRate);

// Applies the stream's codec options (opts, filtered for the stream; what
// the encoder context does not know stays in opts for the encoder's open)
// and then the same-quantiser rate to an encoder not yet opened.
// 0 or a negative library code.
int ApplySameQuant(AVCodecContext* enc, AVDictionary** opts, int64_t sourceBitRate);

// A fresh, unopened encoder context with the settings a task gave src
// before src was opened (sizes, formats, rates, flags, matrices); empty
// when memory runs out.
TCodecContextPtr CloneEncoderSettings(const AVCodecContext* src, const AVCodec* codec);

// The settings, the options context and the library options of a task that
// differ from their defaults, one "name = value" per line: what the test
// driver prints after a parse.
String DescribeOptions(const TCustomFFmpeg& task);
