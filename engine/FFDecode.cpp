#include "engine/FFDecode.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/Deinterlace.h"
#include "engine/FFLoad.h"
#include "engine/MyUtils.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"

using namespace FFDecodeConsts;

namespace {

constexpr AVRational microseconds{1, 1000000};

// A zero denominator would make every rescale divide by zero.
AVRational usableTimeBase(AVRational tb)
{
    if (tb.den == 0)
        tb.den = tb.num != 0 ? tb.num : 1;
    return tb;
}

// Case as the libraries compare keys by default (ignored).
String metadataText(const AVDictionary* dict, const char* key)
{
    const AVDictionaryEntry* entry = ff::av_dict_get(dict, key, nullptr, 0);
    return entry && entry->value ? LibraryText(entry->value) : String();
}

int metadataNumber(const AVDictionary* dict, const char* key)
{
    bool ok = false;
    const int value = metadataText(dict, key).trimmed().toInt(&ok);
    return ok ? value : 0;
}

int clampToInt(int64_t value)
{
    return int(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void fileStreamInfoOf(const AVFormatContext* ctx, TFileStreamInfo& info)
{
    info.StartTime = ctx->start_time;
    info.Duration = ctx->duration == AV_NOPTS_VALUE ? -1 : ctx->duration;
    info.BitRate = clampToInt(ctx->bit_rate);
    // The container no longer carries a time stamp field; its creation time
    // tag is the same information.
    info.Timestamp = -1;
    const String created = metadataText(ctx->metadata, "creation_time");
    if (!created.isEmpty()) {
        int64_t t = 0;
        if (ff::av_parse_time(&t, created.toUtf8().constData(), 0) == 0)
            info.Timestamp = t;
    }
    info.Year = metadataNumber(ctx->metadata, "year");
    info.Track = metadataNumber(ctx->metadata, "track");
    info.Title = metadataText(ctx->metadata, "title");
    info.Author = metadataText(ctx->metadata, "author");
    info.Copyright = metadataText(ctx->metadata, "copyright");
    info.Comment = metadataText(ctx->metadata, "comment");
    info.Album = metadataText(ctx->metadata, "album");
    info.Genre = metadataText(ctx->metadata, "genre");
}

AVRational streamFrameRate(const AVStream* st)
{
    if (st->avg_frame_rate.num != 0 && st->avg_frame_rate.den != 0)
        return st->avg_frame_rate;
    return st->r_frame_rate;
}

void videoStreamInfoOf(const AVFormatContext* ctx, int index, TVideoStreamInfo& info)
{
    const AVStream* st = ctx->streams[index];
    const AVCodecParameters* par = st->codecpar;
    info.Language = metadataText(st->metadata, "language");
    {
        TCodecContextPtr codec(ff::avcodec_alloc_context3(nullptr));
        if (codec && ff::avcodec_parameters_to_context(codec.get(), par) >= 0)
            info.CodecName = CodecDescription(codec.get(), false);
    }
    const AVRational tb = usableTimeBase(st->time_base);
    if (st->start_time != AV_NOPTS_VALUE) {
        info.StreamStartTime = st->start_time;
        info.StartTime = ff::av_rescale_q(st->start_time, tb, microseconds);
    }
    if (st->duration != AV_NOPTS_VALUE) {
        info.StreamDuration = st->duration;
        info.Duration = ff::av_rescale_q(st->duration, tb, microseconds);
    }
    info.BitRate = clampToInt(par->bit_rate);
    info.Height = par->height;
    info.Width = par->width;
    // An unknown sample aspect (0/1 or x/0) means square pixels, not a
    // zero or infinite display aspect.
    if (par->height > 0) {
        const AVRational sar = par->sample_aspect_ratio;
        const double pixelAspect = sar.num > 0 && sar.den > 0 ? double(sar.num) / sar.den : 1.0;
        info.DisplayAspectRatio = float(par->width * pixelAspect / par->height);
    }
    info.PixelFormat = par->format;
    const AVRational rate = streamFrameRate(st);
    info.FrameRateNum = rate.num;
    info.FrameRateDen = rate.den;
}

// Marks the span of one blocking library call for the interrupt call-back;
// outside such a span the call-back never aborts (a seek a minute after the
// last read must not count that minute).
class TBlockingCall {
public:
    explicit TBlockingCall(int64_t& start) : FStart(start) { FStart = ff::av_gettime_relative(); }
    ~TBlockingCall() { FStart = INT64_MAX; }
    TBlockingCall(const TBlockingCall&) = delete;
    TBlockingCall& operator=(const TBlockingCall&) = delete;

private:
    int64_t& FStart;
};

// The single-picture readers: "image2" and, since the libraries pick the
// content-probed readers for picture files, the "*_pipe" ones ("png_pipe").
bool isStillImageFormat(const String& name)
{
    return name == QLatin1String("image2") || name == QLatin1String("image2pipe") ||
           name.endsWith(QLatin1String("_pipe"));
}

}  // namespace

// ---- deleters ------------------------------------------------------------------

void TFormatContextCloser::operator()(AVFormatContext* ctx) const
{
    if (ff::avformat_close_input)
        ff::avformat_close_input(&ctx);
}

void TCodecContextDeleter::operator()(AVCodecContext* ctx) const
{
    if (ff::avcodec_free_context)
        ff::avcodec_free_context(&ctx);
}

void TFrameDeleter::operator()(AVFrame* frame) const
{
    if (ff::av_frame_free)
        ff::av_frame_free(&frame);
}

void TPacketDeleter::operator()(AVPacket* packet) const
{
    if (ff::av_packet_free)
        ff::av_packet_free(&packet);
}

// ---- TCustomDecoder ------------------------------------------------------------------

struct TCustomDecoder::TSnapshot {
    String FileName;
    String FormatName;
    TFileStreamInfo FileInfo;
    std::vector<int> MediaTypes;
    std::vector<TVideoStreamInfo> Video;  // per stream; filled for video streams
};

int DecoderInterrupt(void* opaque)
{
    auto* decoder = static_cast<TCustomDecoder*>(opaque);
    const int64_t start = decoder->FStartTime;
    const int timeout = decoder->ReadTimeout();
    if (start == INT64_MAX || timeout <= 0)
        return 0;
    if (ff::av_gettime_relative() - start > int64_t(timeout) * 1000) {
        decoder->log(llInfo, LoadResString(start == 0 ? SReadingCanceled : SReadingTimeout));
        return 1;
    }
    return 0;
}

TCustomDecoder::TCustomDecoder(TComponent* AOwner) : TFFBaseComponent(AOwner) {}

TCustomDecoder::~TCustomDecoder() = default;

void TCustomDecoder::log(TLogLevel level, const String& text)
{
    GetLogger()->Log(this, level, text);
}

void TCustomDecoder::fail(TLogLevel level, const String& text)
{
    FLastError = text;
    log(level, text);
}

void TCustomDecoder::freeOptions()
{
    UninitOpts(FOptions);
}

AVStream* TCustomDecoder::streamAt(int index) const
{
    return FContext && index >= 0 && index < int(FContext->nb_streams) ? FContext->streams[index] : nullptr;
}

bool TCustomDecoder::LoadFile(const String& fileName, const String& formatName)
{
    FFLoader()->CheckLoaded(DecoderLibraries);
    FKeep = true;
    try {
        CloseFile();
    } catch (...) {
        FKeep = false;
        throw;
    }
    FKeep = false;

    const AVInputFormat* format = nullptr;
    if (!formatName.isEmpty()) {
        format = ff::av_find_input_format(formatName.toUtf8().constData());
        if (!format) {
            fail(llError, Format(LoadResString(SUnknownInputFormat), {formatName}));
            CloseFile();
            return false;
        }
    }

    AVFormatContext* ic = ff::avformat_alloc_context();
    if (!ic)
        throw Exception(LoadResString(FFUtilsConsts::SCouldNotAllocBuffer));
    ic->interrupt_callback.callback = DecoderInterrupt;
    ic->interrupt_callback.opaque = this;
    int ret = 0;
    {
        const TBlockingCall operation(FStartTime);
        // On failure the call frees the context itself.
        ret = ff::avformat_open_input(&ic, Utf8FileName(fileName).constData(), format, &FOptions.FormatOpts);
    }
    if (ret < 0) {
        fail(llError, ErrorText(fileName, ret));
        CloseFile();
        return false;
    }
    FContext.reset(ic);

    const AVDictionaryEntry* unused = nullptr;
    while ((unused = ff::av_dict_get(FOptions.FormatOpts, "", unused, AV_DICT_IGNORE_SUFFIX)))
        log(llError, Format(LoadResString(SOptionNotFound), {unused->key}));

    ic->flags |= AVFMT_FLAG_NONBLOCK;

    if (OnBeforeFindStreamInfo.Assigned()) {
        const TBeforeFindStreamInfoEvent handler = OnBeforeFindStreamInfo;
        if (FTriggerEventInMainThread)
            CallInMainThread([this, handler, ic] { handler(this, ic); });
        else
            handler(this, ic);
    }

    {
        TStreamInfoOptions streamOptions = StreamInfoOptions(ic, FOptions.CodecOpts);
        const TBlockingCall operation(FStartTime);
        ret = ff::avformat_find_stream_info(ic, streamOptions.Data());
    }
    if (ret < 0) {
        fail(llError, Format(LoadResString(SCouldNotFindCodecParameters), {fileName}));
        CloseFile();
        return false;
    }

    if (ic->pb) {
        ic->pb->eof_reached = 0;
        ic->pb->error = 0;
    }
    FFileName = fileName;
    ReadFileInfo();
    freeOptions();
    FForcedFormat = formatName;
    return true;
}

void TCustomDecoder::ReadFileInfo()
{
    readFileInfoOf(FContext.get());
}

void TCustomDecoder::readFileInfoOf(const AVFormatContext* ctx)
{
    FFileSize = -1;
    FStreamCount = FProgramCount = -1;
    FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = -1;
    FFirstAudioStream = FFirstVideoStream = FFirstSubtitleStream = -1;
    if (!ctx)
        return;
    const int64_t containerSize = ctx->pb ? ff::avio_size(ctx->pb) : 0;
    FFileSize = containerSize;
    if (containerSize <= 0) {
        const int64_t onDisk = FileSizeByName(LibraryText(ctx->url));
        if (onDisk >= 0)
            FFileSize = onDisk;
    }
    FStreamCount = int(ctx->nb_streams);
    FProgramCount = int(ctx->nb_programs);
    FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = 0;
    for (int i = 0; i < FStreamCount; ++i) {
        switch (ctx->streams[i]->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            if (FVideoStreamCount++ == 0)
                FFirstVideoStream = i;
            break;
        case AVMEDIA_TYPE_AUDIO:
            if (FAudioStreamCount++ == 0)
                FFirstAudioStream = i;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            if (FSubtitleStreamCount++ == 0)
                FFirstSubtitleStream = i;
            break;
        default:
            break;
        }
    }
}

// The container stays the owner's: everything the decoder will ever report
// about it is read here, and the pointer is not kept, so the owner may free
// it at any time.
void TCustomDecoder::AttachFormatContext(AVFormatContext* context)
{
    if (context != nullptr && context == FContext.get())
        return;
    FFLoader()->CheckLoaded(DecoderLibraries);
    CloseFile();
    if (!context)
        return;

    auto snapshot = std::make_unique<TSnapshot>();
    snapshot->FileName = LibraryText(context->url);
    snapshot->FormatName = context->iformat ? LibraryText(context->iformat->name) : String();
    fileStreamInfoOf(context, snapshot->FileInfo);
    snapshot->MediaTypes.resize(context->nb_streams);
    snapshot->Video.resize(context->nb_streams);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        snapshot->MediaTypes[i] = context->streams[i]->codecpar->codec_type;
        if (snapshot->MediaTypes[i] == AVMEDIA_TYPE_VIDEO)
            videoStreamInfoOf(context, int(i), snapshot->Video[i]);
    }
    readFileInfoOf(context);
    FSnapshot = std::move(snapshot);
    FAttached = true;
}

void TCustomDecoder::CloseFile()
{
    if (!FKeep) {
        freeOptions();
        FForcedFormat.clear();
    }
    FContext.reset();
    FAttached = false;
    FSnapshot.reset();
    FFileName.clear();
    ReadFileInfo();
}

bool TCustomDecoder::checkOpen(TLogLevel level)
{
    if (FContext || FAttached)
        return true;
    fail(level, LoadResString(SFileNotLoaded));
    return false;
}

void TCustomDecoder::GetFileStreamInfo(TFileStreamInfo& info)
{
    info = TFileStreamInfo{};
    if (!checkOpen(llWarning))
        return;
    if (FAttached)
        info = FSnapshot->FileInfo;
    else
        fileStreamInfoOf(FContext.get(), info);
}

void TCustomDecoder::GetVideoStreamInfoByIndex(int index, TVideoStreamInfo& info)
{
    info = TVideoStreamInfo{};
    if (!checkOpen(llWarning))
        return;
    if (index == -1) {
        index = FFirstVideoStream;
        if (index < 0) {
            fail(llError, LoadResString(SNoVideoStream));
            return;
        }
    }
    if (index < 0 || index >= FStreamCount) {
        fail(llError, Format(LoadResString(SStreamIndexInvalid), {index}));
        return;
    }
    if (!IsVideoStream(index)) {
        fail(llError, Format(LoadResString(SNotVideoStream), {index}));
        return;
    }
    if (FAttached)
        info = FSnapshot->Video[size_t(index)];
    else
        videoStreamInfoOf(FContext.get(), index, info);
}

String TCustomDecoder::GetFileName() const
{
    if (FAttached)
        return FSnapshot->FileName;
    return FContext ? LibraryText(FContext->url) : String();
}

String TCustomDecoder::GetFormatName() const
{
    if (FAttached)
        return FSnapshot->FormatName;
    return FContext && FContext->iformat ? LibraryText(FContext->iformat->name) : String();
}

bool TCustomDecoder::IsVideoStream(int index) const
{
    if (FAttached)
        return index >= 0 && index < int(FSnapshot->MediaTypes.size()) &&
               FSnapshot->MediaTypes[size_t(index)] == AVMEDIA_TYPE_VIDEO;
    const AVStream* st = streamAt(index);
    return st && st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
}

// ---- TFFDecoder ------------------------------------------------------------------------

TFFDecoder::TFFDecoder(TComponent* AOwner) : TCustomDecoder(AOwner) {}

TFFDecoder::~TFFDecoder() = default;

void TFFDecoder::resetPicture()
{
    if (FFramePTS != AV_NOPTS_VALUE)
        FPrevPTS = FFramePTS;
    FFramePTS = FPacketDTS = FPacketPTS = AV_NOPTS_VALUE;
    FPixFmt = FWidth = FHeight = -1;
    FPacketStream = -1;
    FPacketPos = -1;
    FPictureReady = false;
}

void TFFDecoder::CloseFile()
{
    FVideoStreamIndex = FCurrentStreamIndex = -1;
    FFrameRate = AVRational{0, 0};
    FEOF = FFlushing = false;
    resetPicture();
    FPrevPTS = AV_NOPTS_VALUE;
    FCodec.reset();
    FCodecStream = -1;
    FPicture.reset();
    FPlanes = TAVPicture{};
    TCustomDecoder::CloseFile();
}

bool TFFDecoder::checkOwnedFile()
{
    FFLoader()->CheckLoaded(DecoderLibraries);
    if (Attached()) {
        const String text = LoadResString(SHandleReadonly);
        fail(llWarning, text);
        throw Exception(text);
    }
    if (!FContext) {
        fail(llWarning, LoadResString(SFileNotLoaded));
        return false;
    }
    return true;
}

int64_t TFFDecoder::frameDuration() const
{
    return FrameDurationOf(FFrameRate);
}

int64_t TFFDecoder::ioPosition() const
{
    return FContext && FContext->pb ? ff::avio_seek(FContext->pb, 0, SEEK_CUR) : -1;
}

int TFFDecoder::chooseStream(int streamIndex)
{
    int index = streamIndex;
    if (index == -1)
        index = FVideoStreamIndex >= 0 ? FVideoStreamIndex : FirstVideoStream();
    if (index == -1) {
        fail(llError, LoadResString(SNoVideoStream));
        return -1;
    }
    const AVStream* st = streamAt(index);
    if (!st) {
        fail(llError, Format(LoadResString(SStreamIndexInvalid), {index}));
        return -1;
    }
    if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
        fail(llError, Format(LoadResString(SNotVideoStream), {index}));
        return -1;
    }
    if (index != FVideoStreamIndex) {
        resetPicture();
        FFrameRate = streamFrameRate(st);
    }
    FVideoStreamIndex = FCurrentStreamIndex = index;
    return index;
}

bool TFFDecoder::openCodec(int streamIndex)
{
    const AVStream* st = streamAt(streamIndex);
    const AVCodecParameters* par = st->codecpar;
    if (par->width == 0 || par->height == 0) {
        fail(llError, LoadResString(SFrameSizeInvalid));
        return false;
    }
    if (FCodec && FCodecStream == streamIndex)
        return true;
    FCodec.reset();
    FCodecStream = -1;
    const AVCodec* codec = ff::avcodec_find_decoder(par->codec_id);
    if (!codec) {
        fail(llError, Format(LoadResString(SUnsupportedCodec), {int(par->codec_id), streamIndex}));
        return false;
    }
    TCodecContextPtr ctx(ff::avcodec_alloc_context3(codec));
    if (!ctx || ff::avcodec_parameters_to_context(ctx.get(), par) < 0 ||
        (ctx->pkt_timebase = st->time_base, ff::avcodec_open2(ctx.get(), codec, nullptr) < 0)) {
        fail(llError, Format(LoadResString(SErrorOpeningCodec), {streamIndex}));
        return false;
    }
    FCodec = std::move(ctx);
    FCodecStream = streamIndex;
    return true;
}

// The old library deinterlacer: planar 4:2:0, 4:2:2, 4:4:4, 4:1:1 and grey,
// sizes multiples of 4.
bool TFFDecoder::deinterlace(AVFrame* frame)
{
    const int width = frame->width;
    const int height = frame->height;
    const auto fmt = AVPixelFormat(frame->format);
    if (!CanDeinterlace(fmt, width, height)) {
        fail(llError, LoadResString(SDeinterlaceFailed));
        return false;
    }
    const int size = ff::av_image_get_buffer_size(fmt, width, height, 1);
    if (size > FDeinterlaceSize) {
        FDeinterlaceBuffer.reset(static_cast<uint8_t*>(ff::av_malloc(size_t(size))));
        FDeinterlaceSize = FDeinterlaceBuffer ? size : 0;
    }
    if (!FDeinterlaceBuffer) {
        fail(llError, LoadResString(SDeinterlaceMalloc));
        return false;
    }
    TAVPicture out;
    ff::av_image_fill_arrays(out.data, out.linesize, FDeinterlaceBuffer.get(), fmt, width, height, 1);
    DeinterlacePicture(out, PictureOf(frame), fmt, width, height);
    FPlanes = out;
    return true;
}

void TFFDecoder::storePicture(AVFrame* frame)
{
    if (!FPicture)
        FPicture.reset(ff::av_frame_alloc());
    if (!FPicture)
        throw Exception(LoadResString(FFUtilsConsts::SCouldNotAllocBuffer));
    ff::av_frame_unref(FPicture.get());
    ff::av_frame_move_ref(FPicture.get(), frame);
    AVFrame* pic = FPicture.get();
    const AVStream* st = streamAt(FCurrentStreamIndex);

    GetLogger()->LogFmt(this, llDebug, LoadResString(SDecodedPacket),
                        {FCurrentStreamIndex, pic->pkt_dts, pic->pts, pic->key_frame, int(pic->pict_type),
                         PictureTypeName(pic->pict_type)});

    FPlanes = PictureOf(pic);
    if (FDeinterlace && !deinterlace(pic)) {
        FDeinterlace = false;
        FPlanes = PictureOf(pic);
    }
    FPixFmt = pic->format;
    FWidth = pic->width;
    FHeight = pic->height;
    FKeyFrame = pic->key_frame == 1;
    FPictType = pic->pict_type;

    // The decoding time of the packet that completed the picture, else the
    // presentation time the codec carried through its reordering.
    int64_t t = pic->pkt_dts != AV_NOPTS_VALUE ? pic->pkt_dts : pic->pts != AV_NOPTS_VALUE ? pic->pts : FLastPacketPTS;
    int64_t extrapolated = AV_NOPTS_VALUE;
    if (t == AV_NOPTS_VALUE && FFlushing && FFramePTS != AV_NOPTS_VALUE && FPrevPTS != AV_NOPTS_VALUE)
        extrapolated = 2 * FFramePTS - FPrevPTS;
    if (FFramePTS != AV_NOPTS_VALUE)
        FPrevPTS = FFramePTS;
    if (t != AV_NOPTS_VALUE) {
        if (st->start_time != AV_NOPTS_VALUE)
            t -= st->start_time;
        FFramePTS = ff::av_rescale_q(t, usableTimeBase(st->time_base), microseconds);
        GetLogger()->LogFmt(this, llDebug, LoadResString(SDecodePTS), {double(FFramePTS) / 1000000.0});
    } else {
        FFramePTS = extrapolated;
    }
    FPacketDTS = pic->pkt_dts;
    FPacketPTS = pic->pts != AV_NOPTS_VALUE ? pic->pts : FLastPacketPTS;
    FPacketStream = FCurrentStreamIndex;
    FPacketPos = FLastPacketPos;
    FPictureReady = true;
}

bool TFFDecoder::DecodeNextFrame(int streamIndex)
{
    if (!checkOwnedFile())
        return false;
    const int index = chooseStream(streamIndex);
    if (index < 0)
        return false;
    if (FPictureReady && isStillImageFormat(GetFormatName()))
        return true;
    if (FEOF && FFlushing) {
        fail(llInfo, LoadResString(SStreamEOF));
        return false;
    }
    if (!openCodec(index))
        return false;
    if (!FFrame)
        FFrame.reset(ff::av_frame_alloc());
    if (!FPacket)
        FPacket.reset(ff::av_packet_alloc());
    if (!FFrame || !FPacket)
        throw Exception(LoadResString(FFUtilsConsts::SCouldNotAllocBuffer));

    for (;;) {
        const int received = ff::avcodec_receive_frame(FCodec.get(), FFrame.get());
        if (received >= 0) {
            storePicture(FFrame.get());
            return true;
        }
        // Drained: every delayed picture is out.
        if (received == AVERROR_EOF || FFlushing)
            break;
        // A damaged packet gives an error here; the next packet may decode.
        int ret = 0;
        {
            const TBlockingCall operation(FStartTime);
            ret = ff::av_read_frame(FContext.get(), FPacket.get());
        }
        if (ret == AVERROR(EAGAIN)) {
            fail(llInfo, LoadResString(SNoDataTryAgain));
            return false;
        }
        if (ret < 0) {
            FReadError = ret;
            FFlushing = true;
            FLastPacketPTS = AV_NOPTS_VALUE;
            ff::avcodec_send_packet(FCodec.get(), nullptr);
            continue;
        }
        if (FPacket->stream_index == index) {
            FLastPacketPTS = FPacket->pts;
            FLastPacketPos = FPacket->pos;
            ff::avcodec_send_packet(FCodec.get(), FPacket.get());
        }
        ff::av_packet_unref(FPacket.get());
    }

    const AVIOContext* pb = FContext->pb;
    if (FReadError != AVERROR_EOF && FReadError != -32 && !(pb && pb->eof_reached)) {
        fail(llInfo, Format(LoadResString(SUnknownError), {FReadError}));
        return false;
    }
    fail(llInfo, LoadResString(SStreamEOF));
    FEOF = true;
    return false;
}

bool TFFDecoder::Seek(TSeekFlags flags, int64_t position)
{
    if (!checkOwnedFile())
        return false;
    if (isStillImageFormat(GetFormatName())) {
        fail(llInfo, Format(LoadResString(SCannotBeSeeked), {GetFormatName()}));
        return false;
    }
    AVFormatContext* ctx = FContext.get();
    if (ctx->pb)
        GetLogger()->LogFmt(this, llDebug, LoadResString(SCurrentPosition), {ioPosition()});

    const AVStream* st = streamAt(FCurrentStreamIndex);
    int64_t target = position;
    if (position == 0 && FFrameRate.den != 0 && st && st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
        target = -(frameDuration() / 2);
    if (!flags.Contains(sfByte)) {
        if (!st) {
            if (ctx->start_time != AV_NOPTS_VALUE)
                target += ctx->start_time;
        } else {
            target = ff::av_rescale_q(target, microseconds, usableTimeBase(st->time_base));
            if (st->start_time != AV_NOPTS_VALUE)
                target += st->start_time;
        }
    }

    if (FCodec)
        ff::avcodec_flush_buffers(FCodec.get());
    FEOF = FFlushing = false;
    FReadError = 0;
    resetPicture();

    const int avFlags = SeekFlagsToAV(flags);
    const int streamIndex = st ? FCurrentStreamIndex : -1;
    int ret = 0;
    {
        const TBlockingCall operation(FStartTime);
        ret = ff::avformat_seek_file(ctx, streamIndex, INT64_MIN, target, INT64_MAX, avFlags);
        if (ret < 0)
            ret = ff::av_seek_frame(ctx, streamIndex, target, avFlags);
        if (ret < 0)
            ret = ff::av_seek_frame(ctx, streamIndex, target, avFlags ^ AVSEEK_FLAG_BACKWARD);
    }
    if (ret < 0) {
        if (flags.Contains(sfByte))
            fail(llError, Format(LoadResString(SCouldNotSeekBytes), {position}));
        else
            fail(llError, Format(LoadResString(SCouldNotSeekSeconds), {double(position) / 1000000.0}));
        return false;
    }
    if (ctx->pb)
        GetLogger()->LogFmt(this, llDebug, LoadResString(SSeekToPosition), {ioPosition()});
    return true;
}

bool TFFDecoder::seekPreviousKeyFrame(int streamIndex)
{
    const int index = chooseStream(streamIndex);
    if (index >= 0) {
        const int64_t d = frameDuration();
        int64_t r = 0;
        if (FFramePTS != AV_NOPTS_VALUE)
            r = FFramePTS;
        else if (FPrevPTS != AV_NOPTS_VALUE)
            r = FPrevPTS;
        else if (FContext->duration != AV_NOPTS_VALUE)
            r = FContext->duration;
        const int64_t p0 = ioPosition();
        for (int64_t l = 1;; ++l) {
            // Once a target before the start has been tried, earlier ones
            // land on the same frame: give up instead of looping forever.
            if (l > 1 && r - (l - 1) * d < -2 * d)
                break;
            const int64_t before = ioPosition();
            if (!Seek(TSeekFlags{sfBackward}, r - l * d))
                break;
            const int64_t after = ioPosition();
            if (p0 > 0 && after >= p0 && after != before && r >= l * d)
                continue;
            if (DecodeNextFrame(index)) {
                if (FFramePTS < r || FFramePTS <= 0)
                    return true;
                if (FFramePTS == r && r < l * d)
                    return true;
                continue;
            }
            if (r < l * d || FEOF)
                break;
        }
    }
    fail(llError, LoadResString(SNoPreviousKeyFrame) + FLastError);
    return false;
}

bool TFFDecoder::DecodePreviousFrame(int streamIndex)
{
    if (!checkOwnedFile())
        return false;
    const int index = chooseStream(streamIndex);
    if (index < 0)
        return false;
    const int64_t d = frameDuration();
    int64_t r = 0;
    int64_t target = -2 * d;
    if (FFramePTS != AV_NOPTS_VALUE || FPrevPTS != AV_NOPTS_VALUE) {
        r = FFramePTS != AV_NOPTS_VALUE ? FFramePTS : FPrevPTS;
        target = r - 2 * d;
    }
    if (!seekPreviousKeyFrame(index))
        return false;
    for (;;) {
        if (target < FFramePTS)
            return true;
        if (!DecodeNextFrame(index))
            return false;
        if (FFramePTS == r && seekPreviousKeyFrame(index))
            return true;
    }
}

bool TFFDecoder::CopyToBitmap(TBitmap* bitmap)
{
    if (!checkOwnedFile())
        return false;
    if (!FPictureReady) {
        fail(llError, LoadResString(SPictureNotReady));
        return false;
    }
    if (!FConverter.FromPicture(FPlanes, AVPixelFormat(FPixFmt), FWidth, FHeight, true)) {
        bitmap->SetSize(FWidth, FHeight);
        for (int y = 0; y < bitmap->Height(); ++y) {
            if (bitmap->PixelFormat() == pf1bit || bitmap->PixelFormat() == pf8bit)
                for (int x = 0; x < bitmap->Width(); ++x)
                    bitmap->SetPixels(x, y, clBlack);
            else
                std::memset(bitmap->ScanLine(y), 0, size_t(bitmap->BytesPerScanLine()));
        }
        fail(llError, FConverter.LastError());
        return false;
    }
    bitmap->Assign(FConverter.Bitmap());
    return true;
}
