// Opening the output of a task: the container, the choice of streams, the
// attachments, chapters and metadata, and the file, which is written under a
// temporary name until the task has ended well.
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"
#include "engine/MyUtils.h"

using namespace FFTaskConsts;

namespace {

bool isProtocolName(const AnsiString& name)
{
    const qsizetype colon = name.indexOf(':');
    if (colon <= 1)
        return false;
    const AnsiString prefix = name.left(colon);
    if (prefix == "file")
        return false;
    void* opaque = nullptr;
    while (const char* protocol = ff::avio_enum_protocols(&opaque, 1))
        if (prefix == protocol)
            return true;
    return false;
}

// The longest name the folder takes, in bytes.
size_t nameLimit(const String& folder)
{
    const long limit = pathconf(Utf8FileName(folder.isEmpty() ? String(QLatin1String(".")) : folder).constData(),
                                _PC_NAME_MAX);
    return limit > 0 ? size_t(limit) : 255;
}

// The first characters of text whose UTF-8 form takes at most bytes bytes.
String utf8Prefix(const String& text, size_t bytes)
{
    String kept;
    size_t used = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype step = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const size_t size = size_t(text.mid(i, step).toUtf8().size());
        if (used + size > bytes)
            break;
        kept += text.mid(i, step);
        used += size;
        i += step;
    }
    return kept;
}

// A name beside the final one, hidden, with the same extension; its base is
// shortened where the whole would not fit the folder's name limit.
String temporaryNameFor(const String& fileName)
{
    const QFileInfo info(fileName);
    const String suffix = info.suffix().isEmpty() ? String() : QLatin1Char('.') + info.suffix();
    const size_t limit = nameLimit(info.path());
    for (;;) {
        const String tail = QLatin1String(".part-") + String::number(QRandomGenerator::global()->generate(), 16) + suffix;
        const size_t fixed = size_t(1 + tail.toUtf8().size());
        const String base = fixed < limit ? utf8Prefix(info.completeBaseName(), limit - fixed) : String();
        const String name = info.path() + QLatin1String("/.") + base + tail;
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return name;
    }
}

// Where writing to the name ends up: a symbolic link is followed to the
// file it names (which may not exist yet), so that the link stays a link.
String resolvedOutputName(const String& fileName)
{
    namespace fs = std::filesystem;
    fs::path path(fileName.toStdU16String());
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec)))
            break;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return String::fromStdU16String(path.lexically_normal().u16string());
}

// Whether the output names the input's file: the same device and inode when
// both exist, the same canonical path when neither does.
bool sameFile(const String& output, const String& input)
{
    struct stat a {}, b {};
    const bool outputExists = ::stat(Utf8FileName(output).constData(), &a) == 0;
    const bool inputExists = ::stat(Utf8FileName(input).constData(), &b) == 0;
    if (outputExists && inputExists)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    if (outputExists || inputExists)
        return false;
    std::error_code ec1, ec2;
    const auto p1 = std::filesystem::weakly_canonical(std::filesystem::path(output.toStdU16String()), ec1);
    const auto p2 = std::filesystem::weakly_canonical(std::filesystem::path(input.toStdU16String()), ec2);
    return !ec1 && !ec2 && p1 == p2;
}

// A file name without the "file:" protocol prefix.
String plainFileName(const String& name)
{
    return name.startsWith(QLatin1String("file:")) ? name.mid(5) : name;
}

// metadata specifier: "g" (or empty), "s[:index]", "c[:index]", "p[:index]".
bool parseMetaSpecifier(const AnsiString& spec, char& type, int& index)
{
    type = spec.isEmpty() ? 'g' : spec[0];
    index = 0;
    if (spec.size() > 1) {
        if (spec[1] != ':')
            return false;
        bool ok = false;
        index = spec.mid(2).toInt(&ok);
        if (!ok)
            return false;
    }
    return true;
}

}  // namespace

bool TCustomFFmpeg::chooseSources(TFileOptions& o, AVFormatContext* oc, int onlyInput,
                                  std::vector<TStreamChoice>& chosen)
{
    chosen.clear();
    if (!o.StreamMaps.empty()) {
        for (const TStreamMapEntry& m : o.StreamMaps) {
            if (m.Disabled || (onlyInput >= 0 && m.FileIndex != onlyInput))
                continue;
            const int source = FSourceFiles[size_t(m.FileIndex)].FirstStream + m.StreamIndex;
            const AVMediaType type = FSourceStreams[size_t(source)].Stream->codecpar->codec_type;
            if ((type == AVMEDIA_TYPE_VIDEO && o.VideoDisable) || (type == AVMEDIA_TYPE_AUDIO && o.AudioDisable) ||
                (type == AVMEDIA_TYPE_SUBTITLE && o.SubtitleDisable) || (type == AVMEDIA_TYPE_DATA && o.DataDisable))
                continue;
            if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_DATA &&
                type != AVMEDIA_TYPE_SUBTITLE && type != AVMEDIA_TYPE_ATTACHMENT) {
                FLastErrorText = LoadResStringFmt(SCannotMapStream, {m.FileIndex, m.StreamIndex});
                return false;
            }
            chosen.push_back({source, FSourceFiles[size_t(m.SyncFileIndex)].FirstStream + m.SyncStreamIndex});
        }
        return true;
    }

    auto best = [&](AVMediaType type, auto measure) {
        int found = -1;
        int64_t most = 0;
        for (size_t i = 0; i < FSourceStreams.size(); ++i) {
            const AVStream* st = FSourceStreams[i].Stream;
            if (st->codecpar->codec_type != type || (onlyInput >= 0 && FSourceStreams[i].FileIndex != onlyInput))
                continue;
            const int64_t m = measure(st->codecpar);
            if (m > most) {
                most = m;
                found = int(i);
            }
        }
        if (found >= 0)
            chosen.push_back({found, found});
    };
    if (!o.VideoDisable && oc->oformat->video_codec != AV_CODEC_ID_NONE)
        best(AVMEDIA_TYPE_VIDEO, [](const AVCodecParameters* p) { return int64_t(p->width) * p->height; });
    if (!o.AudioDisable && oc->oformat->audio_codec != AV_CODEC_ID_NONE)
        best(AVMEDIA_TYPE_AUDIO, [](const AVCodecParameters* p) { return int64_t(p->ch_layout.nb_channels); });
    if (!o.SubtitleDisable &&
        (oc->oformat->subtitle_codec != AV_CODEC_ID_NONE || !FSettings.SubtitleCodecName.isEmpty()))
        best(AVMEDIA_TYPE_SUBTITLE, [](const AVCodecParameters*) { return int64_t(1); });
    return true;
}

int TCustomFFmpeg::chooseStreams(TFileOptions& o, AVFormatContext* oc, int onlyInput)
{
    std::vector<TStreamChoice> chosen;
    if (!chooseSources(o, oc, onlyInput, chosen))
        return -1;
    for (const TStreamChoice& c : chosen) {
        const int created = int(FTargetStreams.size());
        switch (FSourceStreams[size_t(c.Source)].Stream->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO: CreateVideoStream(o, oc); break;
        case AVMEDIA_TYPE_AUDIO: CreateAudioStream(o, oc); break;
        case AVMEDIA_TYPE_DATA: CreateDataStream(o, oc); break;
        case AVMEDIA_TYPE_SUBTITLE: CreateSubtitleStream(o, oc); break;
        default: CreateAttachmentStream(o, oc); break;
        }
        FTargetStreams[size_t(created)].Source = c.Source;
        FTargetStreams[size_t(created)].SyncSource = c.SyncSource;
        FSourceStreams[size_t(c.Source)].Discard = false;
    }
    return 0;
}

int TCustomFFmpeg::AddJoinOutput(TFileOptions& o, AVFormatContext* oc, int firstStream, int input)
{
    std::vector<TStreamChoice> chosen;
    if (!chooseSources(o, oc, input, chosen))
        return -1;
    const size_t group = size_t(input);
    for (const TStreamChoice& c : chosen) {
        const AVMediaType type = FSourceStreams[size_t(c.Source)].Stream->codecpar->codec_type;
        for (size_t j = size_t(firstStream); j < FTargetStreams.size(); ++j) {
            TTargetStream& ost = FTargetStreams[j];
            if (ost.Source >= 0 && ost.JoinSources.size() == group && ost.Stream->codecpar->codec_type == type) {
                ost.JoinSources.push_back(c.Source);
                FSourceStreams[size_t(c.Source)].Discard = false;
                break;
            }
        }
    }
    // A stream the input cannot continue would be left without a source.
    for (size_t j = size_t(firstStream); j < FTargetStreams.size(); ++j) {
        const TTargetStream& ost = FTargetStreams[j];
        if (ost.Source >= 0 && ost.JoinSources.size() == group) {
            const AVFormatContext* ic = FSourceFiles[group].Context.get();
            FLastErrorText = LoadResStringFmt(
                SJoinMissingStream,
                {input, String::fromUtf8(ic->url), MediaTypeName(ost.Stream->codecpar->codec_type).toLower()});
            return -1;
        }
    }
    return input;
}

int TCustomFFmpeg::checkJoinedCopies(int firstStream)
{
    for (size_t j = size_t(firstStream); j < FTargetStreams.size(); ++j) {
        const TTargetStream& ost = FTargetStreams[j];
        if (!ost.Copy || ost.JoinSources.empty())
            continue;
        const AVCodecParameters* first = FSourceStreams[size_t(ost.JoinSources[0])].Stream->codecpar;
        for (size_t g = 1; g < ost.JoinSources.size(); ++g) {
            const TSourceStream& ist = FSourceStreams[size_t(ost.JoinSources[g])];
            const AVCodecParameters* p = ist.Stream->codecpar;
            String reason;
            if (p->codec_id != first->codec_id)
                reason = LoadResStringFmt(SJoinCopyCodec, {ff::avcodec_get_name(p->codec_id),
                                                           ff::avcodec_get_name(first->codec_id)});
            else if (p->codec_type == AVMEDIA_TYPE_VIDEO && (p->width != first->width || p->height != first->height))
                reason = LoadResStringFmt(SJoinCopySize, {p->width, p->height, first->width, first->height});
            else if (p->codec_type == AVMEDIA_TYPE_AUDIO && p->sample_rate != first->sample_rate)
                reason = LoadResStringFmt(SJoinCopySampleRate, {p->sample_rate, first->sample_rate});
            else if (p->codec_type == AVMEDIA_TYPE_AUDIO && p->ch_layout.nb_channels != first->ch_layout.nb_channels)
                reason = LoadResStringFmt(SJoinCopyChannels, {p->ch_layout.nb_channels, first->ch_layout.nb_channels});
            else if (p->extradata_size != first->extradata_size ||
                     (p->extradata_size > 0 && std::memcmp(p->extradata, first->extradata, size_t(p->extradata_size))))
                reason = LoadResString(SJoinCopyExtradata);
            if (reason.isEmpty())
                continue;
            const AVFormatContext* ic = FSourceFiles[size_t(ist.FileIndex)].Context.get();
            FLastErrorText = LoadResStringFmt(SJoinCopyDiffers, {ist.FileIndex, String::fromUtf8(ic->url),
                                                                 MediaTypeName(p->codec_type).toLower(), reason});
            return -1;
        }
    }
    return 0;
}

int TCustomFFmpeg::Join(TFileOptions& o, AVFormatContext* oc, int firstStream)
{
    for (size_t j = size_t(firstStream); j < FTargetStreams.size(); ++j)
        if (FTargetStreams[j].Source >= 0)
            FTargetStreams[j].JoinSources = {FTargetStreams[j].Source};
    for (int input = 1; input < SourceFileCount(); ++input)
        if (AddJoinOutput(o, oc, firstStream, input) < 0)
            return -1;
    if (checkJoinedCopies(firstStream) < 0)
        return -1;
    int64_t total = 0;
    for (const TSourceFile& file : FSourceFiles)
        if (file.Duration > 0)
            total += file.Duration;
    // A recording time shorter than the inputs ends the output earlier.
    if (o.RecordingTime != INT64_MAX && total > o.RecordingTime)
        total = o.RecordingTime;
    FTotalDuration = total > 0 ? total : -1;
    FJoinGroupCount = SourceFileCount();
    FJoinGroup = 0;
    return 0;
}

int TCustomFFmpeg::loadVideoHooks(TVideoHookChain& pending)
{
    for (size_t i = FVideoHooksLoaded; i < FSettings.VideoHooks.size(); ++i) {
        const AnsiString value = FSettings.VideoHooks[i];
        if (pending.AddHook(SplitVideoHookValue(value)) != 0) {
            FLastErrorText = LoadResString(VideoHookConsts::SAddHookFailed) + LibraryText(value);
            logText(llFatal, FLastErrorText);
            return -1;
        }
    }
    return 0;
}

int TCustomFFmpeg::copyMetadata(TFileOptions& o, AVFormatContext* oc, int fileIndex)
{
    auto dictionaryOf = [&](AVFormatContext* ctx, const TMetadataMapEntry& e, bool input,
                            AVDictionary**& dict) -> bool {
        const int count = e.Type == 's' ? int(ctx->nb_streams)
                          : e.Type == 'c' ? int(ctx->nb_chapters)
                          : e.Type == 'p' ? int(ctx->nb_programs)
                                          : 1;
        if (e.Type != 'g' && e.Type != 's' && e.Type != 'c' && e.Type != 'p')
            RaiseError(LoadResString(SNeverOccurLower));
        if (e.Type != 'g' && (e.Index < 0 || e.Index >= count)) {
            const char* word = e.Type == 's' ? "stream" : e.Type == 'c' ? "chapter" : "program";
            FLastErrorText = LoadResStringFmt(SInvalidMetadataMapIndex, {word, e.Index});
            return false;
        }
        (void)input;
        dict = e.Type == 'g' ? &ctx->metadata
               : e.Type == 's' ? &ctx->streams[e.Index]->metadata
               : e.Type == 'c' ? &ctx->chapters[e.Index]->metadata
                               : &ctx->programs[e.Index]->metadata;
        return true;
    };
    for (const TMetadataMapPair& pair : o.MetaDataMaps) {
        if (pair.Input.FileIndex < 0)
            continue;
        if (pair.Input.FileIndex >= SourceFileCount()) {
            FLastErrorText = LoadResStringFmt(SInvalidMetadataMapIndex, {"input file", pair.Input.FileIndex});
            return -1;
        }
        AVDictionary** out = nullptr;
        AVDictionary** in = nullptr;
        if (!dictionaryOf(oc, pair.Output, false, out) ||
            !dictionaryOf(FSourceFiles[size_t(pair.Input.FileIndex)].Context.get(), pair.Input, true, in))
            return -1;
        ff::av_dict_copy(out, *in, AV_DICT_DONT_OVERWRITE);
    }
    if (!o.MetadataGlobalManual && !FSourceFiles.empty()) {
        ff::av_dict_copy(&oc->metadata, FSourceFiles[0].Context->metadata, AV_DICT_DONT_OVERWRITE);
        if (o.RecordingTime != INT64_MAX)
            ff::av_dict_set(&oc->metadata, "duration", nullptr, 0);
    }
    if (!o.MetadataStreamsManual) {
        for (size_t i = 0; i < FTargetStreams.size(); ++i) {
            const TTargetStream& ost = FTargetStreams[i];
            if (ost.FileIndex == fileIndex && ost.Source >= 0)
                ff::av_dict_copy(&ost.Stream->metadata, FSourceStreams[size_t(ost.Source)].Stream->metadata,
                                 AV_DICT_DONT_OVERWRITE);
        }
    }
    for (const TStreamValue& entry : o.Metadata) {
        const AnsiString text = std::get<AnsiString>(entry.Value);
        const qsizetype eq = text.indexOf('=');
        if (eq < 0) {
            FLastErrorText = LoadResStringFmt(SNoEqualInMetadata, {text});
            return -1;
        }
        char type = 'g';
        int index = 0;
        if (!parseMetaSpecifier(entry.Specifier, type, index)) {
            FLastErrorText = LoadResStringFmt(SInvalidMetadataSpecifier, {entry.Specifier});
            return -1;
        }
        AVDictionary** dict = nullptr;
        if (type == 'g') {
            dict = &oc->metadata;
        } else if (type == 's') {
            if (index < 0 || index >= int(oc->nb_streams)) {
                FLastErrorText = LoadResStringFmt(SInvalidMetadataStream, {index});
                return -1;
            }
            dict = &oc->streams[index]->metadata;
        } else if (type == 'c') {
            if (index < 0 || index >= int(oc->nb_chapters)) {
                FLastErrorText = LoadResStringFmt(SInvalidMetadataChapter, {index});
                return -1;
            }
            dict = &oc->chapters[index]->metadata;
        } else {
            FLastErrorText = LoadResStringFmt(SInvalidMetadataSpecifier, {entry.Specifier});
            return -1;
        }
        const AnsiString value = text.mid(eq + 1);
        ff::av_dict_set(dict, text.left(eq).constData(), value.isEmpty() ? nullptr : value.constData(), 0);
    }
    return 0;
}

void TCustomFFmpeg::dropOutput(AVFormatContext* oc, const String& writingName, size_t streamsBefore)
{
    FTargetStreams.resize(streamsBefore);
    if (oc) {
        const bool writesFile = !(oc->oformat->flags & AVFMT_NOFILE);
        if (writesFile && oc->pb)
            ff::avio_closep(&oc->pb);
        if (writesFile && !writingName.isEmpty() && FileSizeByName(writingName) == 0) {
            std::error_code ec;
            std::filesystem::remove(std::filesystem::path(writingName.toStdU16String()), ec);
        }
        ff::avformat_free_context(oc);
    }
    ResetOptionsContext(FOptions, false);
}

int TCustomFFmpeg::OpenOutput(const String& fileName, bool join)
{
    TFileOptions& o = FOptions;
    if (FJoinMode || (join && SourceFileCount() > 1 && !FTargetFiles.empty())) {
        FLastErrorText = LoadResString(SCannotJoin);
        logText(llError, FLastErrorText);
        return -1;
    }
    const bool joining = join && SourceFileCount() > 1;
    // Whatever this call changes of the task is undone unless the output
    // is opened: the plug-ins it configured, the values of its "-vhook"
    // options and the total duration.
    TVideoHookChain pendingHooks;
    struct TUndo {
        TCustomFFmpeg& Task;
        const int64_t TotalBefore;
        bool Opened = false;
        ~TUndo()
        {
            if (Opened)
                return;
            Task.FSettings.VideoHooks.resize(Task.FVideoHooksLoaded);
            Task.FTotalDuration = TotalBefore;
            Task.FJoinGroupCount = 0;
            Task.FJoinGroup = 0;
        }
    } undo{*this, FTotalDuration};

    if (joining && FSettings.Pass != 0) {
        // Every group's fresh encoder would read the first pass's
        // statistics from the start.
        FLastErrorText = LoadResString(SJoinTwoPass);
        logText(llError, FLastErrorText);
        ResetOptionsContext(o, false);
        return -1;
    }
    if (loadVideoHooks(pendingHooks) < 0) {
        ResetOptionsContext(o, false);
        return -1;
    }
    const size_t streamsBefore = FTargetStreams.size();
    const AnsiString utf8 = Utf8FileName(fileName);
    AVFormatContext* oc = nullptr;
    int ret = ff::avformat_alloc_output_context2(&oc, nullptr, o.FormatName.isEmpty() ? nullptr : o.FormatName.constData(),
                                                 utf8.constData());
    if (ret < 0 || !oc) {
        FLastErrorText = ErrorText(fileName, ret < 0 ? ret : AVERROR(EINVAL));
        logText(llError, FLastErrorText);
        return -1;
    }
    String writingName;
    auto fail = [&](const String& text) {
        FLastErrorText = text;
        logText(llError, text);
        dropOutput(oc, writingName, streamsBefore);
        return -1;
    };
    oc->interrupt_callback = FWriteInterruptCB;
    if (o.RecordingTime != INT64_MAX && o.RecordingTime > FTotalDuration)
        FTotalDuration = o.RecordingTime;

    try {
        if (chooseStreams(o, oc, joining ? 0 : -1) < 0)
            return fail(FLastErrorText);
        for (const AnsiString& attachment : o.Attachments) {
            TAVBufferPtr data;
            int size = 0;
            setReadMark();
            if (ReadFileContents(attachment, data, size) < 0)
                return fail(LoadResStringFmt(SCouldNotOpenAttachment, {attachment}));
            if (size <= 1)
                return fail(LoadResStringFmt(SAttachmentSize, {attachment}));
            TTargetStream& ost = CreateAttachmentStream(o, oc);
            ost.AttachmentFileName = attachment;
            AVCodecParameters* par = ost.Stream->codecpar;
            par->extradata = data.release();
            par->extradata_size = size - 1;
            qsizetype slash = attachment.lastIndexOf('/');
            if (slash < 0)
                slash = attachment.lastIndexOf('\\');
            ff::av_dict_set(&ost.Stream->metadata, "filename", attachment.mid(slash + 1).constData(),
                            AV_DICT_DONT_OVERWRITE);
        }
        // Joining is settled before a file is made for it.
        if (joining && Join(o, oc, int(streamsBefore)) < 0)
            return fail(FLastErrorText);
    } catch (...) {
        dropOutput(oc, writingName, streamsBefore);
        throw;
    }

    if ((oc->oformat->flags & AVFMT_NEEDNUMBER) && !ff::av_filename_number_test(utf8.constData()))
        return fail(ErrorText(fileName, AVERROR(EINVAL)));

    AVDictionary* options = nullptr;
    ff::av_dict_copy(&options, FLibavOpts.FormatOpts, 0);
    TAVDictionaryPtr recordOptions(options);
    bool deferred = false;
    String targetName;
    if (!(oc->oformat->flags & AVFMT_NOFILE)) {
        const bool isFile = !isProtocolName(utf8);
        // Converting a file onto itself would destroy the input.
        if (isFile) {
            for (const TSourceFile& input : FSourceFiles)
                if (!input.FileName.isEmpty() && sameFile(plainFileName(fileName), plainFileName(input.FileName)))
                    return fail(LoadResStringFmt(SOutputIsInput, {fileName, input.FileName}));
        }
        if (isFile && FSettings.NeverOverwrite && QFileInfo::exists(fileName))
            return fail(LoadResStringFmt(SOutputExists, {fileName}));
        if (isFile && FDeferOutputFiles) {
            // The file is made when the task starts; its folder must take it.
            const QFileInfo target(resolvedOutputName(plainFileName(fileName)));
            const QFileInfo folder(target.path());
            if (!folder.isDir())
                return fail(ErrorText(fileName, AVERROR(ENOENT)));
            if (!folder.isWritable())
                return fail(ErrorText(fileName, AVERROR(EACCES)));
            if (size_t(target.fileName().toUtf8().size()) > nameLimit(target.path()))
                return fail(ErrorText(fileName, AVERROR(ENAMETOOLONG)));
            deferred = true;
        }
    }
    if (!(oc->oformat->flags & AVFMT_NOFILE) && !deferred) {
        const bool isFile = !isProtocolName(utf8);
        targetName = isFile ? resolvedOutputName(plainFileName(fileName)) : fileName;
        writingName = isFile ? temporaryNameFor(targetName) : fileName;
        setWriteMark();
        ret = ff::avio_open2(&oc->pb, Utf8FileName(writingName).constData(), AVIO_FLAG_WRITE, &oc->interrupt_callback,
                             &options);
        recordOptions.release();
        recordOptions.reset(options);
        if (ret < 0) {
            const String text = ErrorText(fileName, ret);
            writingName.clear();
            return fail(text);
        }
    }
    if (o.MuxPreload != 0.0f) {
        ff::av_dict_set_int(&options, "preload", int64_t(o.MuxPreload * 1000000), 0);
        recordOptions.release();
        recordOptions.reset(options);
    }
    oc->max_delay = int(o.MuxMaxDelay * 1000000);
    if (FSettings.LoopOutput >= 0) {
        logText(llWarning, LoadResString(SLoopOutputDeprecated));
        ff::av_dict_set_int(&options, "loop", FSettings.LoopOutput, 0);
        recordOptions.release();
        recordOptions.reset(options);
    }
    if (o.ChaptersInputFile != INT_MAX && o.ChaptersInputFile >= SourceFileCount())
        return fail(LoadResStringFmt(SInvalidChapterInput, {o.ChaptersInputFile}));
    if (copyMetadata(o, oc, int(FTargetFiles.size())) < 0)
        return fail(FLastErrorText);

    TTargetFile of;
    of.Context.reset(oc);
    of.Options = std::move(recordOptions);
    of.FirstStream = int(FTargetStreams.size()) - int(oc->nb_streams);
    of.RecordingTime = o.RecordingTime;
    of.StartTime = o.StartTime;
    of.LimitFileSize = o.LimitFileSize;
    of.FileName = fileName;
    of.WritingName = writingName;
    of.TargetName = targetName.isEmpty() ? fileName : targetName;
    of.Deferred = deferred;
    FTargetFiles.push_back(std::move(of));
    FJoinMode = joining;
    if (!FVideoHookChain)
        FVideoHookChain = std::make_unique<TVideoHookChain>();
    FVideoHookChain->Append(pendingHooks);
    FVideoHooksLoaded = FSettings.VideoHooks.size();
    FVideoHookCount = FVideoHookChain->Count();
    undo.Opened = true;
    ResetOptionsContext(o, false);
    return int(FTargetFiles.size()) - 1;
}
