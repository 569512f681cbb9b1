// How far a conversion is: the progress report and status line, the totals,
// the per-picture statistics file and the two-pass log files.
#include <cmath>
#include <cstring>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"

using namespace FFTaskConsts;

namespace FFProgressConsts {
VORLANE_RESOURCESTRING(SStatsFileFailed, "fopen fail: ");
VORLANE_RESOURCESTRING(SPassLogNoMemory,
                       "Could not allocate file buffer: Error reading log file \"%s\" for pass-2 encoding");
VORLANE_RESOURCESTRING(SPassLogRead, "Error reading log file \"%s\" for pass-2 encoding");
VORLANE_RESOURCESTRING(SPassLogWrite, "Cannot write log file %s for pass-1 encoding");
VORLANE_RESOURCESTRING(SPassLogPrefix, "ffencoder2pass");
VORLANE_RESOURCESTRING(SVStatsFrame, "frame= %5d q= %2.1f ");
VORLANE_RESOURCESTRING(SVStatsPSNR, "PSNR= %6.2f ");
VORLANE_RESOURCESTRING(SVStatsSize, "f_size= %6d ");
VORLANE_RESOURCESTRING(SVStatsRates, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ");
VORLANE_RESOURCESTRING(SVStatsType, "type= %s\n");
}  // namespace FFProgressConsts

using namespace FFProgressConsts;

namespace {

// Where the output stream is, in microseconds.
int64_t outputTime(const TTargetStream& ost)
{
    if (ost.EncodingNeeded)
        return ff::av_rescale_q(ost.OutputClock, ost.Encoder->time_base, AV_TIME_BASE_Q);
    if (ost.LastWrittenDts == AV_NOPTS_VALUE)
        return 0;
    return ff::av_rescale_q(ost.LastWrittenDts, ost.Stream->time_base, AV_TIME_BASE_Q);
}

double psnr(double error)
{
    return -10.0 * std::log10(error);
}

}  // namespace

String StatusSizeText(int64_t bytesWritten, int64_t time, double* bitRate)
{
    const int64_t secs = time / 1000000;
    const double rate = time ? double(bytesWritten) * 8 / (double(time) / 1000.0) : 0;
    if (bitRate)
        *bitRate = rate;
    return LoadResStringFmt(SStatusSize, {double(bytesWritten) / 1024, int(secs / 3600), int((secs / 60) % 60),
                                          int(secs % 60), int((time % 1000000) * 100 / 1000000), rate});
}

void TCustomFFmpeg::ReportProgress(int64_t currentTime, int64_t timerStart, bool isLast, int fileIndex)
{
    if (!FSettings.PrintStats && !isLast && !OnProgress.Assigned())
        return;
    int64_t bytes = 0;
    if (!FTargetFiles.empty() && FTargetFiles[0].Context) {
        AVIOContext* pb = FTargetFiles[0].Context->pb;
        if (pb) {
            bytes = ff::avio_size(pb);
            if (bytes < 0)
                bytes = ff::avio_seek(pb, 0, SEEK_CUR);
            if (bytes < 0)
                bytes = 0;
        }
    }
    int frameNumber = -1, fps = -1;
    float quality = -1;
    int64_t time = INT64_MAX, current = 0;
    bool videoSeen = false;
    String line;
    for (const TTargetStream& ost : FTargetStreams) {
        const AVCodecContext* enc = ost.EncodingNeeded ? ost.Encoder.get() : nullptr;
        const float q = ost.Copy || ost.LastQuality < 0 ? -1.0f : float(ost.LastQuality) / FF_QP2LAMBDA;
        quality = q;
        const bool video = ost.Stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        if (video && videoSeen)
            line += Format(String::fromLatin1("q=%2.1f "), {double(q)});
        if (video && !videoSeen) {
            // A stream without a picture yet is not reported: the record
            // keeps -1 for its frame number.
            if (ost.FrameNumber < 1)
                continue;
            frameNumber = ost.FrameNumber;
            const double t = double(currentTime - timerStart) / 1000000.0;
            fps = t > 1 ? int(std::trunc(frameNumber / t + 0.5)) : 0;
            line += LoadResStringFmt(SStatusFrame, {frameNumber, fps, double(q)});
            if (isLast)
                line += QLatin1Char('L');
            if (FSettings.QPHist) {
                const long bucket = std::lround(q);
                if (bucket >= 0 && bucket < 52)
                    ++FQPHistogram[bucket];
                for (int j = 0; j < 32; ++j)
                    line += Format(String::fromLatin1("%X"), {int(std::lround(std::log2(FQPHistogram[j] + 1)))});
            }
            if (enc && (enc->flags & AV_CODEC_FLAG_PSNR)) {
                static const char* const letters[] = {"Y", "U", "V"};
                double errorSum = 0, scaleSum = 0;
                line += QLatin1String("PSNR=");
                for (int j = 0; j < 3; ++j) {
                    double error = double(isLast ? enc->error[j] : ost.LastErrors[j]);
                    double scale = double(enc->width) * enc->height * 255.0 * 255.0;
                    if (isLast)
                        scale *= frameNumber;
                    if (j)
                        scale /= 4;
                    errorSum += error;
                    scaleSum += scale;
                    line += Format(String::fromLatin1("%s:%2.2f "), {letters[j], psnr(error / scale)});
                }
                line += Format(String::fromLatin1("*:%2.2f "), {psnr(errorSum / scaleSum)});
            }
            videoSeen = true;
        }
        current = outputTime(ost);
        time = std::min(time, current);
    }
    // A report without any stream taken has no time yet.
    if (time == INT64_MAX)
        time = 0;
    double bitRate = 0;
    line += StatusSizeText(bytes, time, &bitRate);
    if (FDupFrames || FDropFrames) {
        line += LoadResStringFmt(SStatusDupDrop, {FDupFrames, FDropFrames});
        if (OnProgress.Assigned() && FDupOrDropChanged) {
            FDupOrDropChanged = false;
            logText(llInfo, line);
        }
    }
    if (OnProgress.Assigned())
        OnProgress(this, isLast ? -1 : fileIndex, frameNumber, fps, quality, float(bitRate), bytes, current,
                   FTotalDuration);
    else if (FSettings.PrintStats)
        logText(llInfo, line);
    if (isLast) {
        const int64_t total = FVideoBytes + FAudioBytes + FHeaderBytes;
        logText(llInfo, LoadResStringFmt(STotals, {double(FVideoBytes) / 1024, double(FAudioBytes) / 1024,
                                                   double(FHeaderBytes) / 1024,
                                                   total ? double(bytes - total) * 100 / double(total) : 0.0}));
        if (total == 0)
            logText(llWarning, LoadResString(SOutputEmpty));
    }
}

// The quality, picture type and plane errors the encoder attached to the
// packet; then the first pass's statistics and the statistics file.
void TCustomFFmpeg::noteEncodedPacket(TTargetStream& ost, const AVPacket* packet, int frameNumber)
{
    AVCodecContext* enc = ost.Encoder.get();
    size_t size = 0;
    if (const uint8_t* stats = ff::av_packet_get_side_data(packet, AV_PKT_DATA_QUALITY_STATS, &size);
        stats && size >= 6) {
        auto le32 = [](const uint8_t* p) {
            return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        };
        ost.LastQuality = int(le32(stats));
        ost.LastPictType = stats[4];
        const int errors = std::min<int>(stats[5], 4);
        for (int i = 0; i < errors && size >= size_t(8 + 8 * (i + 1)); ++i) {
            uint64_t v = 0;
            for (int b = 7; b >= 0; --b)
                v = v << 8 | stats[8 + 8 * i + b];
            ost.LastErrors[i] = int64_t(v);
        }
    }
    if (ost.PassLog && enc->stats_out)
        std::fputs(enc->stats_out, ost.PassLog.get());
    if (enc->codec_type == AVMEDIA_TYPE_VIDEO && !FSettings.VStatsFileName.isEmpty())
        WriteVideoStats(ost, packet->size, frameNumber);
}

void TCustomFFmpeg::WriteVideoStats(TTargetStream& ost, int frameSize, int frameNumber)
{
    if (!FVStatsFile) {
        FVStatsFile.reset(std::fopen(FSettings.VStatsFileName.constData(), "w"));
        if (!FVStatsFile)
            RaiseError(LoadResString(SStatsFileFailed) + LibraryText(FSettings.VStatsFileName));
    }
    const AVCodecContext* enc = ost.Encoder.get();
    if (enc->codec_type != AVMEDIA_TYPE_VIDEO)
        return;
    String line = LoadResStringFmt(SVStatsFrame, {frameNumber, double(ost.LastQuality) / FF_QP2LAMBDA});
    if (enc->flags & AV_CODEC_FLAG_PSNR)
        line += LoadResStringFmt(SVStatsPSNR,
                                 {psnr(double(ost.LastErrors[0]) / (double(enc->width) * enc->height * 255.0 * 255.0))});
    line += LoadResStringFmt(SVStatsSize, {frameSize});
    const double tb = av_q2d(enc->time_base);
    const double t = std::max(double(ost.OutputClock) * tb, 0.01);
    const double bitRate = tb > 0 ? double(frameSize) * 8 / tb / 1000.0 : 0;
    const double average = double(FVideoBytes) * 8 / t / 1000.0;
    line += LoadResStringFmt(SVStatsRates, {double(FVideoBytes) / 1024, t, bitRate, average});
    const char type[2] = {ff::av_get_picture_type_char(AVPictureType(ost.LastPictType)), 0};
    line += LoadResStringFmt(SVStatsType, {type});
    std::fputs(line.toUtf8().constData(), FVStatsFile.get());
}

int TCustomFFmpeg::OpenPassLog(TTargetStream& ost, int streamIndex)
{
    AVCodecContext* enc = ost.Encoder.get();
    if (!ost.EncodingNeeded || enc->codec_id == AV_CODEC_ID_H264 ||
        !(enc->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2)))
        return 0;
    auto fail = [this](const String& text, int code) {
        FLastErrorText = text;
        logText(llError, text);
        return code;
    };
    AnsiString name = (FSettings.PassLogPrefix.isEmpty() ? LoadResString(SPassLogPrefix).toLatin1()
                                                         : FSettings.PassLogPrefix) +
                      "-" + AnsiString::number(streamIndex) + ".log";
    if (name.size() > 1023)
        name.truncate(1023);
    if (enc->flags & AV_CODEC_FLAG_PASS2) {
        TFilePtr f(std::fopen(name.constData(), "rb"));
        if (!f)
            return fail(LoadResStringFmt(SPassLogRead, {name}), -1);
        std::vector<char> text;
        try {
            char chunk[65536];
            size_t n;
            while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0)
                text.insert(text.end(), chunk, chunk + n);
            text.push_back('\0');
        } catch (const std::bad_alloc&) {
            return fail(LoadResStringFmt(SPassLogNoMemory, {name}), AVERROR(ENOMEM));
        }
        if (std::ferror(f.get()))
            return fail(LoadResStringFmt(SPassLogRead, {name}), -1);
        ost.PassStatsIn = std::move(text);
        enc->stats_in = ost.PassStatsIn.data();
    }
    if (enc->flags & AV_CODEC_FLAG_PASS1) {
        ost.PassLog.reset(std::fopen(name.constData(), "wb"));
        if (!ost.PassLog)
            return fail(LoadResStringFmt(SPassLogWrite, {name}), -1);
    }
    return 0;
}
