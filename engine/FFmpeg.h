// FFmpeg.h - one conversion task: the command-line tool's settings, the
// options context option strings are parsed into, and its opened inputs.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "engine/FFLog.h"
#include "engine/FFOptions.h"
#include "engine/FFUtils.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"

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

// Every fatal error inside a task.
VORLANE_DECLARE_EXCEPTION(FFmpegException, Exception);

// Closes an input's format context while the format library is bound.
struct TAVInputContextDeleter {
    void operator()(AVFormatContext* ctx) const;
};
using TAVInputContextPtr = std::unique_ptr<AVFormatContext, TAVInputContextDeleter>;

// One opened input. Opening inputs adds its further fields.
struct TSourceFile {
    TAVInputContextPtr Context;
};

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

private:
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

// The settings, the options context and the library options of a task that
// differ from their defaults, one "name = value" per line: what the test
// driver prints after a parse.
String DescribeOptions(const TCustomFFmpeg& task);
