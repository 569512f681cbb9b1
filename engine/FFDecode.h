// FFDecode.h - the decoder component: opens one media file (or reads a container
// opened elsewhere) for its information, and decodes, seeks and steps its video.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "engine/FFLog.h"
#include "engine/FFUtils.h"
#include "engine/FormatConverter.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"

namespace FFDecodeConsts {
VORLANE_RESOURCESTRING(SUnknownInputFormat, "Unknown input format: %s");
VORLANE_RESOURCESTRING(SOptionNotFound, "Option %s not found, ignored.");
VORLANE_RESOURCESTRING(SCouldNotFindCodecParameters, "%s: could not find codec parameters");
VORLANE_RESOURCESTRING(SReadingCanceled, "connecting/reading canceled");
VORLANE_RESOURCESTRING(SReadingTimeout, "connecting/reading timeout");
VORLANE_RESOURCESTRING(SFileNotLoaded, "file not loaded.");
VORLANE_RESOURCESTRING(SNoVideoStream, "no video stream.");
VORLANE_RESOURCESTRING(SStreamIndexInvalid, "stream index #%d is invalid.");
VORLANE_RESOURCESTRING(SNotVideoStream, "stream #%d is not video stream.");
VORLANE_RESOURCESTRING(SHandleReadonly, "file cannot be seeked, handle is readonly.");
VORLANE_RESOURCESTRING(SCannotBeSeeked, "\"%s\" format cannot to be seeked.");
VORLANE_RESOURCESTRING(SFrameSizeInvalid, "frame size of codec is invalid.");
VORLANE_RESOURCESTRING(SUnsupportedCodec, "Unsupported codec (id=%d) for input file stream #%d");
VORLANE_RESOURCESTRING(SErrorOpeningCodec, "Error while opening codec for input file stream #%d");
VORLANE_RESOURCESTRING(SStreamEOF, "stream eof reached.");
VORLANE_RESOURCESTRING(SNoDataTryAgain, "no data, please try again.");
VORLANE_RESOURCESTRING(SDecodedPacket, "pkt.st_idx=%d, dts=%d, pts=%d, flags=%d, pict_type=%d(%s)");
VORLANE_RESOURCESTRING(SDeinterlaceMalloc, "deinterlace buffer malloc error.");
VORLANE_RESOURCESTRING(SDeinterlaceFailed, "deinterlacing failed.");
VORLANE_RESOURCESTRING(SDecodePTS, "decode PTS: %0.3f");
VORLANE_RESOURCESTRING(SUnknownError, "unknown error #%d.");
VORLANE_RESOURCESTRING(SCurrentPosition, "current position %d bytes");
VORLANE_RESOURCESTRING(SSeekToPosition, "seek to position %d bytes");
VORLANE_RESOURCESTRING(SCouldNotSeekBytes, "could not seek to position %d bytes");
VORLANE_RESOURCESTRING(SCouldNotSeekSeconds, "could not seek to position %0.3f seconds");
VORLANE_RESOURCESTRING(SNoPreviousKeyFrame, "Could not seek to the previous key-frame. ");
VORLANE_RESOURCESTRING(SPictureNotReady, "picture not ready, please decode first");
}  // namespace FFDecodeConsts

struct TFileStreamInfo {
    int64_t StartTime = AV_NOPTS_VALUE;  // microseconds
    int64_t Duration = -1;               // microseconds
    int BitRate = -1;                    // bit/s
    int64_t Timestamp = -1;              // creation time, microseconds since 1970
    int Year = -1;
    int Track = -1;
    String Title;
    String Author;
    String Copyright;
    String Comment;
    String Album;
    String Genre;
};

struct TVideoStreamInfo {
    String Language;
    String CodecName;
    int64_t StreamStartTime = -1;  // stream time base
    int64_t StartTime = -1;        // microseconds
    int64_t StreamDuration = -1;   // stream time base
    int64_t Duration = -1;         // microseconds
    int BitRate = -1;
    int Height = -1;
    int Width = -1;
    float DisplayAspectRatio = -1.0f;
    int PixelFormat = -1;
    int FrameRateNum = -1;
    int FrameRateDen = -1;
};

using TBeforeFindStreamInfoEvent = TDelegate<void(TObject* Sender, AVFormatContext* context)>;

struct TFormatContextCloser {
    void operator()(AVFormatContext* ctx) const;
};
struct TCodecContextDeleter {
    void operator()(AVCodecContext* ctx) const;
};
struct TFrameDeleter {
    void operator()(AVFrame* frame) const;
};
struct TPacketDeleter {
    void operator()(AVPacket* packet) const;
};
using TCodecContextPtr = std::unique_ptr<AVCodecContext, TCodecContextDeleter>;
using TFramePtr = std::unique_ptr<AVFrame, TFrameDeleter>;
using TPacketPtr = std::unique_ptr<AVPacket, TPacketDeleter>;

// Opening, attaching, closing and the information records. Used by one thread
// at a time. An attached container is read once, at AttachFormatContext: its
// owner may free it afterwards without the decoder ever touching it again.
class TCustomDecoder : public TFFBaseComponent {
public:
    explicit TCustomDecoder(TComponent* AOwner);
    ~TCustomDecoder() override;

    String ClassName() const override { return String::fromLatin1("TCustomDecoder"); }

    // format name empty = detect. False with LastError on any failure.
    bool LoadFile(const String& fileName, const String& formatName = String());
    // Takes the information of a container opened elsewhere; the decoder
    // neither owns nor keeps the context.
    virtual void AttachFormatContext(AVFormatContext* context);
    virtual void CloseFile();

    void GetFileStreamInfo(TFileStreamInfo& info);
    void GetVideoStreamInfo(TVideoStreamInfo& info) { GetVideoStreamInfoByIndex(-1, info); }
    void GetVideoStreamInfoByIndex(int index, TVideoStreamInfo& info);
    String GetFileName() const;
    String GetFormatName() const;
    bool IsVideoStream(int index) const;

    // True when a file is open or a container attached.
    bool Loaded() const { return FContext != nullptr || FAttached; }
    bool Attached() const { return FAttached; }
    // The container this decoder opened itself; nullptr when attached.
    AVFormatContext* FormatContext() const { return FContext.get(); }

    const String& LastError() const { return FLastError; }
    const String& ForcedFormat() const { return FForcedFormat; }
    // The options of the next LoadFile (format options, per-stream codec
    // options); fill them with OptDefault. Freed after a successful open.
    TLibavOptions& Options() { return FOptions; }

    int64_t FileSize() const { return FFileSize; }
    int StreamCount() const { return FStreamCount; }
    int ProgramCount() const { return FProgramCount; }
    int AudioStreamCount() const { return FAudioStreamCount; }
    int VideoStreamCount() const { return FVideoStreamCount; }
    int SubtitleStreamCount() const { return FSubtitleStreamCount; }
    int FirstAudioStream() const { return FFirstAudioStream; }
    int FirstVideoStream() const { return FFirstVideoStream; }
    int FirstSubtitleStream() const { return FFirstSubtitleStream; }

    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
    void SetTriggerEventInMainThread(bool value) { FTriggerEventInMainThread = value; }
    TBeforeFindStreamInfoEvent OnBeforeFindStreamInfo;

protected:
    virtual void ReadFileInfo();
    void fail(TLogLevel level, const String& text);
    void log(TLogLevel level, const String& text);
    void startOperation();
    AVStream* streamAt(int index) const;

    std::unique_ptr<AVFormatContext, TFormatContextCloser> FContext;
    String FLastError;
    // When the current blocking library call began (libraries' monotonic
    // clock); the largest value outside such a call.
    int64_t FStartTime = INT64_MAX;

private:
    friend int DecoderInterrupt(void* opaque);
    struct TSnapshot;

    void freeOptions();
    void readFileInfoOf(const AVFormatContext* ctx);
    bool checkOpen(TLogLevel level);

    bool FKeep = false;
    bool FAttached = false;
    std::unique_ptr<TSnapshot> FSnapshot;  // the attached container's information
    TLibavOptions FOptions;
    String FForcedFormat;
    String FFileName;
    int64_t FFileSize = -1;
    int FStreamCount = -1;
    int FProgramCount = -1;
    int FAudioStreamCount = -1;
    int FVideoStreamCount = -1;
    int FSubtitleStreamCount = -1;
    int FFirstAudioStream = -1;
    int FFirstVideoStream = -1;
    int FFirstSubtitleStream = -1;
    bool FTriggerEventInMainThread = true;
};

// The frame operations; they refuse an attached container.
class TFFDecoder : public TCustomDecoder {
public:
    explicit TFFDecoder(TComponent* AOwner);
    ~TFFDecoder() override;

    String ClassName() const override { return String::fromLatin1("TFFDecoder"); }

    void CloseFile() override;

    // position in microseconds, or bytes with sfByte.
    bool Seek(TSeekFlags flags, int64_t position);
    // -1 = the selected (else the first) video stream.
    bool DecodeNextFrame(int streamIndex = -1);
    bool DecodePreviousFrame(int streamIndex = -1);
    bool CopyToBitmap(TBitmap* bitmap);

    bool Deinterlace() const { return FDeinterlace; }
    void SetDeinterlace(bool value) { FDeinterlace = value; }
    // The converter's depth decides CopyToBitmap's pixel format.
    TFormatConverter& Converter() { return FConverter; }

    // Microseconds from the stream's start; AV_NOPTS_VALUE when unknown.
    int64_t FramePTS() const { return FFramePTS; }
    int64_t PreviousPTS() const { return FPrevPTS; }
    bool PictureReady() const { return FPictureReady; }
    bool KeyFrame() const { return FKeyFrame; }
    int PictureType() const { return FPictType; }
    int PicturePixelFormat() const { return FPixFmt; }
    int PictureWidth() const { return FWidth; }
    int PictureHeight() const { return FHeight; }
    int64_t PacketDTS() const { return FPacketDTS; }
    int64_t PacketPTS() const { return FPacketPTS; }
    int PacketStreamIndex() const { return FPacketStream; }
    int64_t PacketPosition() const { return FPacketPos; }
    bool EndOfStream() const { return FEOF; }
    bool Flushing() const { return FFlushing; }
    int StreamIndex() const { return FVideoStreamIndex; }

private:
    bool checkOwnedFile();
    int chooseStream(int streamIndex);
    bool openCodec(int streamIndex);
    void resetPicture();
    void storePicture(AVFrame* frame);
    bool deinterlace(AVFrame* frame);
    int64_t frameDuration() const;
    bool seekPreviousKeyFrame(int streamIndex);
    int64_t ioPosition() const;

    int FVideoStreamIndex = -1;
    int FCurrentStreamIndex = -1;
    AVRational FFrameRate{0, 0};
    TCodecContextPtr FCodec;
    int FCodecStream = -1;
    bool FDeinterlace = false;
    TAVBufferPtr FDeinterlaceBuffer;
    int FDeinterlaceSize = 0;
    bool FEOF = false;
    bool FFlushing = false;
    int FReadError = 0;                       // the read error that started flushing
    int64_t FLastPacketPTS = AV_NOPTS_VALUE;  // of the last packet given to the codec
    int64_t FLastPacketPos = -1;

    TFramePtr FFrame;    // what the codec hands out
    TFramePtr FPicture;  // a reference to the last decoded picture
    TAVPicture FPlanes;  // its planes, or the deinterlaced copy's
    TPacketPtr FPacket;
    int FPixFmt = -1;
    int FWidth = -1;
    int FHeight = -1;
    bool FKeyFrame = false;
    int FPictType = 0;
    bool FPictureReady = false;
    int64_t FFramePTS = AV_NOPTS_VALUE;
    int64_t FPrevPTS = AV_NOPTS_VALUE;
    int64_t FPacketDTS = AV_NOPTS_VALUE;
    int64_t FPacketPTS = AV_NOPTS_VALUE;
    int FPacketStream = -1;
    int64_t FPacketPos = -1;
    TFormatConverter FConverter;
};
