#include "app/OptionString.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>
#include <QThread>

#include "engine/AVCodecStubs.h"
#include "engine/FFLoad.h"
#include "platform/rtl/SysUtils.h"
#include "support/SxStrings.h"

namespace {

const String AudioGroup = QStringLiteral("mp3_v");

// Cut before the first blank unless the text starts with it: "720x480 (DVD)" gives "720x480".
String cutAtBlank(const String& text)
{
    const qsizetype blank = text.indexOf(u' ');
    return blank > 0 ? text.left(blank) : text;
}

int lenientInt(const String& text)
{
    return static_cast<int>(StrToIntLenient(text));
}

// 0 stands for "unknown": no picture size, no aspect.
double ratio(int a, int b)
{
    return a > 0 && b > 0 ? double(a) / double(b) : 0.0;
}

String replaceAll(const String& text, const String& from, const String& to)
{
    String result = text;
    return result.replace(from, to);
}

// A frame-rate text as a number: "25", "29.97", "30000/1001"; 0 when unreadable.
double rateValue(const String& text)
{
    bool ok = false;
    const qsizetype slash = text.indexOf(u'/');
    if (slash < 0) {
        const double value = text.toDouble(&ok);
        return ok ? value : 0.0;
    }
    const double num = text.left(slash).toDouble(&ok);
    if (!ok)
        return 0.0;
    const double den = text.mid(slash + 1).toDouble(&ok);
    return ok && den > 0.0 ? num / den : 0.0;
}

// Whether a disc norm plays a rate: PAL discs run at 25, NTSC discs at
// 29.97 (or 23.976 for film). With no norm chosen the target option picks
// it from the source, and the rate with it.
bool normPlaysRate(const String& tv, const String& fps)
{
    const double rate = rateValue(fps);
    const auto near = [rate](double wanted) { return std::fabs(rate - wanted) < 0.01; };
    if (tv == QLatin1String("pal"))
        return near(25.0);
    if (tv == QLatin1String("ntsc"))
        return near(30000.0 / 1001.0) || near(24000.0 / 1001.0);
    return false;
}

}  // namespace

void TBuiltOutputOptions::AddOutputOption(const String& Option)
{
    // The line is 8-bit text; file names in it go to the libraries as UTF-8.
    Options += ' ';
    Options += Option.toUtf8();
}

void TBuiltOutputOptions::AddVideoFilter(const String& Filter)
{
    if (Filter.isEmpty())
        return;
    VideoFilters = VideoFilters.isEmpty() ? Filter : VideoFilters + u',' + Filter;
}

int ProcessorCount()
{
    return QThread::idealThreadCount();
}

String AacEncoderName()
{
    const TFFLoader* loader = FFLoader();
    if (loader != nullptr && loader->IsLoaded(libAVCodec) && ff::avcodec_find_encoder_by_name != nullptr &&
        ff::avcodec_find_encoder_by_name("libfaac") != nullptr)
        return QStringLiteral("libfaac");
    return QStringLiteral("aac");
}

TBuildEnvironment SystemBuildEnvironment()
{
    TBuildEnvironment environment;
    environment.ProcessorCount = ProcessorCount();
    environment.AacEncoderName = AacEncoderName();
    environment.FileExists = [](const String& fileName) { return QFileInfo(fileName).isFile(); };
    return environment;
}

String BuildPadFilter(int Top, int Bottom, int Left, int Right, const String& SizeText, int SourceWidth,
                      int SourceHeight)
{
    String s = SizeText.toLower();
    if (s == QLatin1String("original"))
        s = QStringLiteral("%1x%2").arg(SourceWidth).arg(SourceHeight);
    s = Trim(cutAtBlank(s));
    const int w = lenientInt(TextBefore(QStringLiteral("x"), s));
    const int h = lenientInt(TextAfter(QStringLiteral("x"), s));
    if (Top <= 0 && Bottom <= 0 && Left <= 0 && Right <= 0)
        return String();
    const int innerWidth = w - Left - Right;
    const int innerHeight = h - Top - Bottom;
    return Format(QStringLiteral("pad=%d:%d:%d:%d:black"),
                  {innerWidth + Left + Right, innerHeight + Top + Bottom, Left, Top});
}

String BuildScaleSize(const String& SizeText, int WidthCut, int HeightCut)
{
    const int w = lenientInt(TextBefore(QStringLiteral("x"), SizeText));
    const int h = lenientInt(TextAfter(QStringLiteral("x"), SizeText));
    return QStringLiteral("%1:%2").arg(w - WidthCut).arg(h - HeightCut);
}

double AspectRatioValue(const String& Text)
{
    const qsizetype colon = Text.indexOf(u':');
    const String a = colon < 0 ? Text : Text.left(colon);
    const String b = colon < 0 ? String() : Text.mid(colon + 1);
    const int den = lenientInt(Trim(b));
    return den == 0 ? 0.0 : double(lenientInt(Trim(a))) / double(den);
}

TBuiltInputOptions ResetInputOptions(TOptionValues& Values, const TSourceStreamInfo& Source)
{
    TBuiltInputOptions input;
    input.FileName = Source.FileName;
    if (!Source.ForcedFormat.isEmpty())
        input.Options += " -f " + Source.ForcedFormat.toUtf8();
    ResetFilterValues(Values);
    return input;
}

TBuiltOutputOptions BuildOutputOptions(const TOptionValues& Values, const TXMLRootType& ProfileRoot,
                                       const TSourceStreamInfo& Source, const TBuildEnvironment& Environment)
{
    const TOptionValues& v = Values;
    TBuiltOutputOptions out;
    out.TargetWidth = v.TargetWidth;
    out.TargetHeight = v.TargetHeight;

    const TXMLProfileType profile = FindProfileByDesc(ProfileRoot, v.cmbFormats.Text);
    const bool videoAllowed = profile.Groups() != AudioGroup;
    const bool sourceHasVideo = Source.FirstVideoStream >= 0;

    String ext = replaceAll(v.DescExtension, QStringLiteral("*"), String());
    const String format = v.CommandOutput;
    const String quality = v.cmbQuality.Text.toLower();

    const bool videoCodecOn = v.cmbVideoCodec.Enabled;
    String vcodec = videoCodecOn ? v.cmbVideoCodec.Text.toLower() : String();

    String acodec = v.cmbAudioCodec.Text.toLower();
    if (acodec == QLatin1String("aac"))
        acodec = Environment.AacEncoderName;
    else if (acodec == QLatin1String("mp3"))
        acodec = QStringLiteral("libmp3lame");
    else if (acodec == QLatin1String("pcm"))
        acodec = QStringLiteral("pcm_s16le");
    else if (acodec == QLatin1String("amr nb"))
        acodec = QStringLiteral("libopencore_amrnb");
    else if (acodec == QLatin1String("vorbis"))
        acodec = QStringLiteral("libvorbis");
    else if (acodec == QLatin1String("mmf"))
        acodec = QStringLiteral("adpcm_yamaha");
    if (acodec.toLower() == QLatin1String("none"))
        acodec.clear();

    String channels = Trim(TextBefore(QStringLiteral(" "), v.cmbAudioChannels.Text));
    String rate = v.cmbAudioSampleRate.Text;
    const String volume = String::number(v.trcVolume.Position);

    String size;
    if (v.cmbFrameSize.Enabled && videoAllowed) {
        String s = v.cmbFrameSize.Text.toLower();
        if (s != QLatin1String("original")) {
            size = Trim(cutAtBlank(s));
            out.TargetWidth = lenientInt(TextBefore(QStringLiteral("x"), size));
            out.TargetHeight = lenientInt(TextAfter(QStringLiteral("x"), size));
        } else {
            out.TargetWidth = Source.Width;
            out.TargetHeight = Source.Height;
            if (Source.Width > 0 && Source.Height > 0)
                size = QStringLiteral("%1x%2").arg(Source.Width).arg(Source.Height);
        }
    }

    String fps;
    bool sourceRate = false;
    if (v.cmbFrameRate.Enabled && videoAllowed) {
        const String r = v.cmbFrameRate.Text.toLower();
        sourceRate = r == QLatin1String("auto");
        if (!sourceRate)
            fps = r;
        else if (Source.FrameRateNum > 0 && Source.FrameRateDen > 0)
            fps = QStringLiteral("%1/%2").arg(Source.FrameRateNum).arg(Source.FrameRateDen);
    }

    out.SourceAspect = v.EditMode ? ratio(v.SourceWidth, v.SourceHeight) : ratio(Source.Width, Source.Height);
    out.TargetAspect = ratio(out.TargetWidth, out.TargetHeight);

    String aspect;
    if (v.grpAspectRatio.Visible && videoAllowed) {
        String a = Trim(TextBefore(QStringLiteral("-"), v.grpAspectRatio.SelectedText())).toLower();
        a = cutAtBlank(replaceAll(a, QStringLiteral("/"), QStringLiteral(":")));
        if (a == QLatin1String("auto") || a.isEmpty()) {
            out.TargetAspect = ratio(out.TargetWidth, out.TargetHeight);
            if (out.TargetAspect > 0.0) {
                aspect = String::number(out.TargetAspect, 'f', 3);
                out.AddVideoFilter(QStringLiteral("setdar=") + aspect);
            }
        } else {
            out.TargetAspect = AspectRatioValue(a);
            aspect = a;
            out.AddVideoFilter(QStringLiteral("setdar=") + a);
        }
    }

    // A disc's video bit rate stays within what its target allows, or the
    // encoder refuses to open: a VCD runs at 1150 kbit/s exactly, an SVCD
    // at most 2516, a DVD at most 9000 (the SVCD "High" presets ask for more).
    int videoKbps = v.trcBitRate.Position;
    if (format == QLatin1String("vcd"))
        videoKbps = 1150;
    else if (format == QLatin1String("svcd"))
        videoKbps = std::min(videoKbps, 2516);
    else if (format == QLatin1String("dvd"))
        videoKbps = std::min(videoKbps, 9000);
    const String vbit = String::number(videoKbps);
    const String abit = String::number(v.trcAudioBitrate.Position);

    String tv;
    if (v.grpNorm.Visible) {
        tv = String::number(v.grpNorm.ItemIndex);
        if (tv == QLatin1String("0"))
            tv = QStringLiteral("pal");
        else if (tv == QLatin1String("1"))
            tv = QStringLiteral("ntsc");
    }

    if (format != QLatin1String("psp") && format != QLatin1String(".ipod")) {
        if (format == QLatin1String("3gp") || format == QLatin1String("3g2")) {
            if (acodec != QLatin1String("aac") && acodec != QLatin1String("libfaac"))
                channels = QStringLiteral("1");
            rate = QStringLiteral("8000");
        } else if (ext == QLatin1String(".flv") && vcodec == QLatin1String("x264")) {
            ext = QStringLiteral(".f4v");
        }
    }

    if (format == QLatin1String("vcd") || format == QLatin1String("svcd") || format == QLatin1String("dvd")) {
        // A disc runs at its norm's rate: the target option sets it. "Auto"
        // (the source's rate) or a rate of the other norm would make a disc
        // no player takes, such as a 352x240 VCD at 25 fps.
        if (sourceRate || !normPlaysRate(tv.toLower(), fps))
            fps.clear();
        String target = format;
        if (tv.toUpper() == QLatin1String("PAL"))
            target = QStringLiteral("pal-") + format;
        else if (tv.toUpper() == QLatin1String("NTSC"))
            target = QStringLiteral("ntsc-") + format;
        out.AddOutputOption(QStringLiteral("-target ") + target);
    }

    if (!Trim(channels).isEmpty() && acodec != QLatin1String("libfaac") && acodec != QLatin1String("aac") &&
        acodec != QLatin1String("ac3") && !acodec.startsWith(QLatin1String("pcm")) && lenientInt(channels) > 2)
        channels = QStringLiteral("2");

    if (videoCodecOn) {
        if (vcodec == QLatin1String("divx")) {
            vcodec = QStringLiteral("mpeg4");
            out.AddOutputOption(QStringLiteral("-vstrict unofficial"));
            // A tag option without its value would break the whole line.
            if (!v.VideoTag.isEmpty())
                out.AddOutputOption(QStringLiteral("-tag:v ") + v.VideoTag.toUpper());
        } else if (vcodec == QLatin1String("xvid")) {
            vcodec = QStringLiteral("libxvid");
        } else if (vcodec == QLatin1String("x264")) {
            vcodec = QStringLiteral("libx264");
        }
    }

    if (!format.isEmpty())
        out.AddOutputOption(QStringLiteral("-f ") + format);
    if (v.DisableVideo == QLatin1String("yes"))
        out.AddOutputOption(QStringLiteral("-vn"));
    if (videoCodecOn && videoAllowed) {
        if (!vcodec.isEmpty())
            out.AddOutputOption(QStringLiteral("-c:v ") + vcodec);
        if (!aspect.isEmpty())
            out.AddOutputOption(QStringLiteral("-aspect ") + aspect);
        if (!fps.isEmpty())
            out.AddOutputOption(QStringLiteral("-r ") + fps);
        if (!vbit.isEmpty())
            out.AddOutputOption(QStringLiteral("-b:v ") + vbit + u'k');
        if (vcodec == QLatin1String("libx264") && !v.Level.isEmpty())
            out.AddOutputOption(QStringLiteral("-level ") + v.Level);
        if (!v.VideoPreset.isEmpty() && Environment.FileExists && Environment.FileExists(v.VideoPreset))
            out.AddOutputOption(QStringLiteral("-fpre \"") + v.VideoPreset + u'"');
    }

    // A profile that disables its audio stream gets no audio option at all:
    // a bit rate or codec for a stream that is not there is noise at best.
    const bool audioDisabled = v.DisableAudio.toLower() == QLatin1String("yes");
    if (audioDisabled) {
        out.AddOutputOption(QStringLiteral("-an"));
    } else {
        if (acodec == QLatin1String("aac"))
            out.AddOutputOption(QStringLiteral("-astrict experimental"));
        if (!acodec.isEmpty())
            out.AddOutputOption(QStringLiteral("-c:a ") + acodec);
        if (!channels.isEmpty())
            out.AddOutputOption(QStringLiteral("-ac ") + TextBefore(QStringLiteral(" "), channels));
        if (!rate.isEmpty())
            out.AddOutputOption(QStringLiteral("-ar ") + rate);
        if (!abit.isEmpty())
            out.AddOutputOption(QStringLiteral("-b:a ") + abit + u'k');
        if (!volume.isEmpty() && volume != QLatin1String("256") && v.chkAudioVolume)
            out.AddOutputOption(QStringLiteral("-vol ") + volume);
    }
    if (!v.CommandExtra.isEmpty())
        out.AddOutputOption(v.CommandExtra);
    if (quality == QLatin1String("same as source"))
        out.AddOutputOption(QStringLiteral("-sameq"));
    if (vcodec == QLatin1String("libx264") && Environment.ProcessorCount > 1)
        out.AddOutputOption(QStringLiteral("-threads ") + String::number(Environment.ProcessorCount));

    if (videoCodecOn && videoAllowed) {
        bool padded = false;
        int top = 0, bottom = 0, left = 0, right = 0;
        String padText;
        // Letterboxing needs both aspects; a source without a picture has none.
        if (v.chkKeepAspect && out.SourceAspect > 0.0 && out.TargetAspect > 0.0) {
            if (out.SourceAspect > out.TargetAspect) {
                const double k = out.SourceAspect / out.TargetAspect;
                const int t = (out.TargetHeight - int(std::nearbyint(out.TargetHeight / k))) / 2;
                top = bottom = t;
                padded = true;
                padText = BuildPadFilter(t, t, 0, 0, v.cmbFrameSize.Text, v.SourceWidth, v.SourceHeight);
            } else if (out.SourceAspect < out.TargetAspect) {
                const double k = out.TargetAspect / out.SourceAspect;
                const int t = (out.TargetWidth - int(std::nearbyint(out.TargetWidth / k))) / 2;
                left = right = t;
                padded = true;
                padText = BuildPadFilter(0, 0, t, t, v.cmbFrameSize.Text, v.SourceWidth, v.SourceHeight);
            }
        }
        if (!padded && v.PadOn && (v.PadLeft > 0 || v.PadTop > 0 || v.PadBottom > 0 || v.PadRight > 0)) {
            top = v.PadTop;
            bottom = v.PadBottom;
            left = v.PadLeft;
            right = v.PadRight;
            padded = true;
            padText = BuildPadFilter(top, bottom, left, right, v.cmbFrameSize.Text, v.SourceWidth, v.SourceHeight);
            out.PadFilter = padText;
        }

        if (!size.isEmpty()) {
            if (!padded) {
                const qsizetype x = size.indexOf(u'x');
                out.AddVideoFilter(QStringLiteral("scale=") + (x < 0 ? size : size.left(x) + u':' + size.mid(x + 1)));
            } else {
                out.AddVideoFilter(QStringLiteral("scale=") + BuildScaleSize(size, left + right, top + bottom));
            }
        }
        if (v.CropOn && sourceHasVideo)
            out.AddVideoFilter(v.CropFilter);
        if (padded && sourceHasVideo)
            out.AddVideoFilter(padText);

        const String flip = v.FlipText.toLower();
        if (flip == QLatin1String("vertical flip")) {
            out.AddVideoFilter(QStringLiteral("vflip"));
        } else if (flip == QLatin1String("horizontal flip")) {
            out.AddVideoFilter(QStringLiteral("hflip"));
        } else if (flip == QLatin1String("xy flip")) {
            out.AddVideoFilter(QStringLiteral("vflip"));
            out.AddVideoFilter(QStringLiteral("hflip"));
        }
        const String rotate = v.RotateText.toLower();
        if (rotate == QLatin1String("right"))
            out.AddVideoFilter(QStringLiteral("rotate=90"));
        else if (rotate == QLatin1String("left"))
            out.AddVideoFilter(QStringLiteral("rotate=-90"));

        if (v.BrightnessOn && v.ContrastOn)
            out.AddVideoFilter(Format(QStringLiteral("nativeeq=%d:%d"), {v.Brightness, v.Contrast}));
        else if (v.BrightnessOn)
            out.AddVideoFilter(Format(QStringLiteral("nativeeq=%d:%d"), {v.Brightness, 0}));
        else if (v.ContrastOn)
            out.AddVideoFilter(Format(QStringLiteral("nativeeq=%d:%d"), {0, v.Contrast}));
        if (v.SaturationOn)
            out.AddVideoFilter(Format(QStringLiteral("nativehue=%d:%d"), {0, v.Saturation}));

        if (!out.VideoFilters.isEmpty())
            out.AddOutputOption(QStringLiteral("-vf \"") + out.VideoFilters + u'"');
    }

    out.Extension = ext;
    if (!v.EditMode)
        out.Join = v.JoinMode;
    out.FileName = v.OutputFileName;
    return out;
}
