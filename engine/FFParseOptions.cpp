// The option parser: option strings and presets become settings, context
// values and library options of the task.
#include <QFile>
#include <QTextStream>

#include "engine/AVUtilStubs.h"
#include "engine/CommandLine.h"
#include "engine/FFmpeg.h"
#include "engine/MyUtils.h"

using namespace FFmpegConsts;

namespace {

AnsiString nameBeforeColon(const AnsiString& name)
{
    const qsizetype colon = name.indexOf(':');
    return colon < 0 ? name : name.left(colon);
}

void libavError(const String& text)
{
    const AnsiString line = text.toUtf8() + '\n';
    ff::av_log(nullptr, AV_LOG_ERROR, "%s", line.constData());
}

// The type of the row decides which member of the variant it must name; a
// row whose target does not fit is a fault of the table.
template <class Owner, class T>
T& field(const TOptionTarget& target, Owner& owner)
{
    auto* member = std::get_if<T Owner::*>(&target);
    if (!member)
        AssertionFailure();
    return owner.**member;
}

// Cuts a presets line at its first "=": nothing is trimmed again.
void cutKeyValue(const String& line, String& key, String& value)
{
    value = line;
    CutAtSeparator(value, String::fromLatin1("="), true, key);
}

// The row an option name selects; boolValue is 0 for the "no" form of a
// boolean row. Only a boolean row has a "no" form: any other name that
// merely begins with "no" (noise_reduction) goes to the library options.
const TOptionDef* resolveRow(const TOptionDef* table, const AnsiString& name, int& boolValue)
{
    boolValue = 1;
    const TOptionDef* po = TCustomFFmpeg::FindOption(table, name);
    if (!po->Name && name.startsWith("no")) {
        const TOptionDef* negated = TCustomFFmpeg::FindOption(table, name.mid(2));
        if (negated->Name && (negated->Flags & ofBool)) {
            po = negated;
            boolValue = 0;
        }
    }
    if (!po->Name)
        po = TCustomFFmpeg::FindOption(table, "default");
    return po;
}

}  // namespace

const TOptionDef* TCustomFFmpeg::FindOption(const TOptionDef* table, const AnsiString& name)
{
    const AnsiString wanted = nameBeforeColon(name);
    const TOptionDef* po = table;
    while (po->Name && wanted != po->Name)
        ++po;
    return po;
}

int TCustomFFmpeg::ParseOption(TFileOptions& o, const AnsiString& name, const AnsiString* value)
{
    BuildOptionTable();
    int boolValue = 1;
    const TOptionDef* po = resolveRow(FOptionTable, name, boolValue);
    if (!po->Name) {
        FOptionError = LoadResStringFmt(FFUtilsConsts::SUnrecognizedOption, {name});
        libavError(FOptionError);
        return AVERROR(EINVAL);
    }
    if ((po->Flags & ofHasArg) && !value) {
        FOptionError = LoadResStringFmt(SMissingArgument, {name});
        libavError(FOptionError);
        return AVERROR(EINVAL);
    }
    const AnsiString arg = value ? *value : AnsiString();
    const int flags = po->Flags;

    // A handler row always runs its handler: "pre" carries the string flag
    // but names a handler, and a string must never be stored over it.
    const bool isHandler = std::holds_alternative<TOptionHandler>(po->Target) ||
                           std::holds_alternative<TOptionContextHandler>(po->Target);
    if (isHandler) {
        // handled below
    } else if (flags & ofPerStream) {
        TStreamValues& list = field<TFileOptions, TStreamValues>(po->Target, o);
        TStreamValue entry;
        const qsizetype colon = name.indexOf(':');
        entry.Specifier = colon < 0 ? AnsiString("") : name.mid(colon + 1);
        if (flags & ofString)
            entry.Value = arg;
        else if (flags & ofBool)
            entry.Value = boolValue;
        else if (flags & ofInt)
            entry.Value = ParseIntOption(name, arg);
        else if (flags & ofInt64)
            entry.Value = ParseInt64Option(name, arg);
        else if (flags & ofTime)
            entry.Value = ParseTimeOption(name, arg, true);
        else if (flags & ofFloat)
            entry.Value = ParseFloatOption(name, arg);
        else if (flags & ofDouble)
            entry.Value = ParseDoubleOption(name, arg);
        else
            AssertionFailure();
        list.push_back(std::move(entry));
    } else if (flags & (ofString | ofBool | ofInt | ofInt64 | ofTime | ofFloat | ofDouble)) {
        const bool inContext = flags & ofOffset;
        if (flags & ofString)
            field<TFileOptions, AnsiString>(po->Target, o) = arg;
        else if (flags & ofBool)
            (inContext ? field<TFileOptions, int>(po->Target, o) : field<TFFmpegSettings, int>(po->Target, FSettings)) =
                boolValue;
        else if (flags & ofInt) {
            const int v = ParseIntOption(name, arg);
            (inContext ? field<TFileOptions, int>(po->Target, o) : field<TFFmpegSettings, int>(po->Target, FSettings)) = v;
        } else if (flags & ofInt64)
            field<TFileOptions, int64_t>(po->Target, o) = ParseInt64Option(name, arg);
        else if (flags & ofTime)
            field<TFileOptions, int64_t>(po->Target, o) = ParseTimeOption(name, arg, true);
        else if (flags & ofFloat) {
            const float v = ParseFloatOption(name, arg);
            (inContext ? field<TFileOptions, float>(po->Target, o)
                       : field<TFFmpegSettings, float>(po->Target, FSettings)) = v;
        } else
            AssertionFailure();  // no row stores a single double
    } else {
        AssertionFailure();
    }
    if (isHandler) {
        FOptionError.clear();
        int r = 0;
        if (auto* h = std::get_if<TOptionContextHandler>(&po->Target))
            r = (this->**h)(o, name, arg);
        else
            r = (this->*std::get<TOptionHandler>(po->Target))(name, arg);
        if (r < 0) {
            const String text = LoadResStringFmt(SFailedToSetValue, {arg, name});
            appendOptionError(text);
            libavError(text);
            return r;
        }
    }
    return (flags & ofHasArg) ? 1 : 0;
}

int TCustomFFmpeg::ParseOptionList(TFileOptions& o, const std::vector<AnsiString>& words, bool strict)
{
    BuildOptionTable();
    const size_t count = words.size();
    size_t i = 0;
    while (i < count) {
        const AnsiString& w = words[i++];
        if (w.startsWith('-') && w.size() > 1) {
            FOptionError.clear();
            const AnsiString name = w.mid(1);
            const int n = ParseOption(o, name, i < count ? &words[i] : nullptr);
            if (n < 0) {
                if (strict) {
                    if (FOptionError.isEmpty())
                        FOptionError = ErrorText(LoadResString(SFailedToParseOptions), n);
                    return n;
                }
                // The failed option's value was meant for it, not a word of its own.
                int boolValue = 1;
                const TOptionDef* po = resolveRow(FOptionTable, name, boolValue);
                if (po->Name && (po->Flags & ofHasArg) && i < count)
                    ++i;
            } else {
                i += size_t(n);
            }
            continue;
        }
        if (strict) {
            if (!w.isEmpty()) {
                FOptionError = LoadResStringFmt(SFailedToParseOptionsOn, {w});
            } else {
                FOptionError = LoadResString(SFailedToParseOptions);
            }
            libavError(FOptionError);
            return -1;
        }
        ff::av_log(nullptr, AV_LOG_ERROR, "%s", "Invalid option found while parsing options, ignore\n");
    }
    return 0;
}

int TCustomFFmpeg::LocateOption(const std::vector<AnsiString>& words, const TOptionDef* table, const AnsiString& name)
{
    for (size_t i = 0; i < words.size(); ++i) {
        const AnsiString& w = words[i];
        if (!w.startsWith('-'))
            continue;
        const AnsiString bare = w.mid(1);
        const TOptionDef* po = FindOption(table, bare);
        if (!po->Name && bare.startsWith("no"))
            po = FindOption(table, bare.mid(2));
        if ((!po->Name && bare == name) || (po->Name && name == po->Name))
            return int(i);
        if (po->Name && (po->Flags & ofHasArg))
            ++i;
    }
    return -1;
}

void TCustomFFmpeg::ParseOptions(const AnsiString& text)
{
    if (text.isEmpty())
        return;
    BuildOptionTable();
    logText(llInfo, LoadResStringFmt(SParseOptions, {text}));
    const std::vector<AnsiString> words = SplitCommandLine(text);

    int i = LocateOption(words, FOptionTable, "loglevel");
    if (i < 0)
        i = LocateOption(words, FOptionTable, "v");
    if (i >= 0 && size_t(i) + 1 < words.size())
        OptLogLevel("loglevel", words[size_t(i) + 1]);

    const int r = ParseOptionList(FOptions, words, FStrictOptions);
    if (FStrictOptions && r < 0)
        RaiseError(FOptionError.isEmpty() ? ErrorText(LoadResString(SFailedToParseOptions), r) : FOptionError);
}

int TCustomFFmpeg::applyPresetLine(const AnsiString& key, const AnsiString& value)
{
    const AnsiString lower = key.toLower();
    if (lower == "acodec")
        return OptAudioCodec(FOptions, key, value);
    if (lower == "vcodec")
        return OptVideoCodec(FOptions, key, value);
    if (lower == "scodec")
        return OptSubtitleCodec(FOptions, key, value);
    if (lower == "dcodec")
        return OptDataCodec(FOptions, key, value);
    return OptGeneric(key, value);
}

void TCustomFFmpeg::ParsePresets(const AnsiString& text)
{
    if (text.isEmpty())
        return;
    BuildOptionTable();
    logText(llInfo, LoadResStringFmt(SParsePresets, {text}));
    String rest = LibraryText(text).trimmed();
    rest.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    rest.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    rest.replace(QLatin1String("<CRLF>"), QLatin1String("\n"));
    while (!rest.isEmpty()) {
        String line;
        CutAtSeparator(rest, String::fromLatin1("\n"), true, line);
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        String key, value;
        cutKeyValue(line, key, value);
        if (key.isEmpty() || value.isEmpty()) {
            FOptionError = LoadResStringFmt(SInvalidSyntax, {line});
            if (FStrictOptions)
                RaiseError(FOptionError);
            logText(llError, FOptionError);
        }
        FOptionError.clear();
        const int r = applyPresetLine(key.toUtf8(), value.toUtf8());
        if (r < 0) {
            const String failure = LoadResStringFmt(SInvalidOptionOrArgument, {line, key, value});
            logText(llError, failure);
            appendOptionError(failure);
            if (FStrictOptions)
                RaiseError(FOptionError);
        }
    }
}

int TCustomFFmpeg::OptPreset(TFileOptions&, const AnsiString&, const AnsiString& arg)
{
    const String fileName = LibraryText(arg);
    QFile file(fileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return failOption(LoadResStringFmt(SPresetNotFound, {fileName}), llError, AVERROR(EINVAL));
    QTextStream in(&file);
    while (!in.atEnd()) {
        const String line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        String key, value;
        cutKeyValue(line, key, value);
        if (key.isEmpty() || value.isEmpty())
            return failOption(LoadResStringFmt(SPresetInvalidSyntax, {fileName, line}), llError, AVERROR(EINVAL));
        FOptionError.clear();
        const int r = applyPresetLine(key.toUtf8(), value.toUtf8());
        if (r < 0) {
            const String failure = LoadResStringFmt(SPresetInvalidOption, {fileName, line, key, value});
            logText(llError, failure);
            appendOptionError(failure);
            if (FStrictOptions)
                return r;
        }
    }
    return 0;
}
