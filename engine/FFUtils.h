// FFUtils.h - what the option parser, the conversion task and the decoder share:
// value parsing, the catch-all library option setter, stream specifiers, names and times.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libswscale/swscale.h>
}

#include "engine/CommandLine.h"
#include "engine/FFErrors.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"

namespace FFUtilsConsts {
VORLANE_RESOURCESTRING(SExpectedInteger, "Expected integer for %s but found %s");
VORLANE_RESOURCESTRING(SExpectedInt64, "Expected int64 for %s but found %s");
VORLANE_RESOURCESTRING(SExpectedFloat, "Expected float for %s but found %s");
VORLANE_RESOURCESTRING(SExpectedDouble, "Expected double for %s but found %s");
VORLANE_RESOURCESTRING(SInvalidTimeSpec, "Invalid %s specification for %s: %s");
VORLANE_RESOURCESTRING(SUnrecognizedOption, "Unrecognized option \"%s\"");
VORLANE_RESOURCESTRING(SErrorSettingOption, "Error setting option \"%s\"");
VORLANE_RESOURCESTRING(SArrayTooBig, "Array too big.");
VORLANE_RESOURCESTRING(SCouldNotAllocBuffer, "Could not alloc buffer.");
}  // namespace FFUtilsConsts

// The value parsers raise this with the texts above; the option parser lets
// it end the parse.
VORLANE_DECLARE_EXCEPTION(EFFOptionError, Exception);

// ---- value parsing ---------------------------------------------------------
// Numbers are read the same whatever the process locale. Integers: leading
// blanks, a sign, the "$", "x" and "0x" hexadecimal prefixes. Floats: blanks
// around, "." as the decimal separator, an exponent. Values outside the type raise.

int ParseIntOption(const AnsiString& name, const AnsiString& value);
int64_t ParseInt64Option(const AnsiString& name, const AnsiString& value);
float ParseFloatOption(const AnsiString& name, const AnsiString& value);
double ParseDoubleOption(const AnsiString& name, const AnsiString& value);
// Microseconds; a duration ("1:02:03.5", "90") or a date.
int64_t ParseTimeOption(const AnsiString& name, const AnsiString& value, bool isDuration);

// ---- the library option set ------------------------------------------------

// Frees a dictionary while the utility library is bound (after an unload
// there is nothing left to free it with).
struct TAVDictionaryDeleter {
    void operator()(AVDictionary* dict) const;
};
using TAVDictionaryPtr = std::unique_ptr<AVDictionary, TAVDictionaryDeleter>;

// A task's or the decoder's library options, owned by it: the scaler
// options live in a scaler context made only to hold them.
struct TLibavOptions {
    SwsContext* SwsOpts = nullptr;
    AVDictionary* FormatOpts = nullptr;
    AVDictionary* CodecOpts = nullptr;

    TLibavOptions() = default;
    TLibavOptions(const TLibavOptions&) = delete;
    TLibavOptions& operator=(const TLibavOptions&) = delete;
    ~TLibavOptions();
};

// Starts an empty set whose scaler context has the given flags.
void InitOpts(TLibavOptions& opts, int swsFlags);
void UninitOpts(TLibavOptions& opts);

// Routes an option the option table does not hold to the codec, format or
// scaler options (a key keeps its ":specifier"); flags-type codec and format
// options given again are appended. Returns 0 or a negative library code,
// with the failure text in OptionError (left alone on success).
int OptDefault(TLibavOptions& opts, const AnsiString& opt, const AnsiString& arg, String& OptionError);

// ---- streams -----------------------------------------------------------------

// 1 when specifier selects the stream, 0 when not, AVERROR(EINVAL) (logged) when
// specifier is not a stream specifier.
int MatchStreamSpecifier(AVFormatContext* s, AVStream* st, const char* specifier);

// The options of opts that apply to this stream and codec, with the
// specifiers and type prefixes taken off the keys; none when nothing
// applies or a specifier is invalid.
TAVDictionaryPtr FilterCodecOptions(const AVDictionary* opts, const AVCodec* codec, AVFormatContext* s,
                                    AVStream* st);

// One option dictionary per stream of s, in the array form the stream
// probing call takes; empty when s has no streams.
class TStreamInfoOptions {
public:
    TStreamInfoOptions() = default;
    TStreamInfoOptions(TStreamInfoOptions&&) noexcept = default;
    TStreamInfoOptions& operator=(TStreamInfoOptions&& other) noexcept;
    ~TStreamInfoOptions();

    int Count() const { return int(FDicts.size()); }
    AVDictionary** Data() { return FDicts.empty() ? nullptr : FDicts.data(); }
    AVDictionary* operator[](int i) const { return FDicts[size_t(i)]; }

private:
    friend TStreamInfoOptions StreamInfoOptions(AVFormatContext* s, const AVDictionary* codecOpts);
    void clear();
    std::vector<AVDictionary*> FDicts;
};
TStreamInfoOptions StreamInfoOptions(AVFormatContext* s, const AVDictionary* codecOpts);

// ---- memory and files --------------------------------------------------------

// Grows a library-allocated array to newCount elements (zeroed), never
// shrinks; the array may move. Raises "Array too big." or "Could not alloc buffer.".
void* GrowArray(void* array, int elemSize, int& count, int newCount);

struct TAVFreeDeleter {
    void operator()(void* p) const;
};
using TAVBufferPtr = std::unique_ptr<uint8_t, TAVFreeDeleter>;

// The whole file in a library buffer with a zero byte behind it; size counts
// that zero. 0, or a negative code (logged) with buffer none.
int ReadFileContents(const AnsiString& fileName, TAVBufferPtr& buffer, int& size);

// ---- names and times -----------------------------------------------------------

// "name(long name)" of the context's codec, else a name from the id or the tag.
String CodecDescription(const AVCodecContext* ctx, bool encoder);
String MediaTypeName(int mediaType);
String PictureTypeName(int pictureType);
// The value of the entry with exactly that key (case included), else defaultValue.
String DictionaryValue(const AVDictionary* dict, const AnsiString& key, const String& defaultValue);

// "hh:mm:ss.zzz" (hours not wrapped), "-" in front of a negative time, "N/A"
// for the libraries' no-value time.
String MicrosecondsToText(int64_t t);
// One frame at rate num/den in microseconds; 40000 (25 per second) when unknown.
int64_t FrameDurationOf(AVRational rate);

// The standard time offset of the local zone, daylight saving not applied:
// "UTC", or "UTC+hh:mm" / "UTC-hh:mm" (east of Greenwich is "+").
String TimeZoneText();
// The standard offset in days (east positive).
TDateTime LocalTimeOffset();
// A Unix time as a local date-time with the standard offset.
TDateTime UnixTimeToLocal(int64_t seconds);
