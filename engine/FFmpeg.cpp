#include "engine/FFmpeg.h"

#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLoad.h"
#include "engine/MyUtils.h"

using namespace FFmpegConsts;

void TAVInputContextDeleter::operator()(AVFormatContext* ctx) const
{
    if (ctx && ff::avformat_close_input)
        ff::avformat_close_input(&ctx);
}

TCustomFFmpeg::TCustomFFmpeg()
{
    FReadInterruptCB = AVIOInterruptCB{&TCustomFFmpeg::ReadInterrupt, this};
    FWriteInterruptCB = AVIOInterruptCB{&TCustomFFmpeg::WriteInterrupt, this};
    ResetDefaults();
}

TCustomFFmpeg::~TCustomFFmpeg()
{
    FAbort.store(true);
    // The thread never waits for anyone, so it ends soon after the abort.
    FPauseGate.Wake();
    if (FThread.joinable())
        FThread.join();
    // Temporary files of a task that never ran go with it.
    if (FFLoader() && FFLoader()->AreLoaded(EncoderLibraries)) {
        try {
            Cleanup();
        } catch (const Exception&) {
        }
    }
}

void TCustomFFmpeg::ResetDefaults()
{
    if (!FFLoader() || !FFLoader()->AreLoaded(EncoderLibraries))
        AssertionFailure();
    FSettings = TFFmpegSettings{};
    BuildOptionTable();
    ResetOptionsContext(FOptions, false);
}

void TCustomFFmpeg::RaiseError(const String& text)
{
    FLastErrorText = text;
    GetLogger()->Log(this, llFatal, text);
    throw FFmpegException(text);
}

void TCustomFFmpeg::RaiseError(const TResStringRec& format, TVarRecs args)
{
    RaiseError(LoadResStringFmt(format, args));
}

void TCustomFFmpeg::BuildOptionTable()
{
    if (!FOptionTable)
        FOptionTable = OptionTableRows();
}

void TCustomFFmpeg::ResetOptionsContext(TFileOptions& o, bool isInput)
{
    BuildOptionTable();
    const int64_t recordingTime = o.RecordingTime;
    // A fresh value frees every list, the attachments included.
    o = TFileOptions{};
    if (isInput)
        o.RecordingTime = recordingTime;
    InitOpts(FLibavOpts, SWS_BICUBIC);
}

void TCustomFFmpeg::logText(TLogLevel level, const String& text)
{
    GetLogger()->Log(this, level, text);
}

void TCustomFFmpeg::appendOptionError(const String& text)
{
    if (FOptionError.isEmpty())
        FOptionError = text;
    else
        FOptionError += QLatin1String("\r\n") + text;
}

int TCustomFFmpeg::failOption(const String& text, TLogLevel level, int code)
{
    FOptionError = text;
    logText(level, text);
    return code;
}
