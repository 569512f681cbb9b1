#include "app/OptionValues.h"

#include <algorithm>
#include <cmath>

#include "support/SxStrings.h"

namespace {

const String SameAsSource = QStringLiteral("Same as source");
const String AudioGroup = QStringLiteral("mp3_v");

bool isAudioDesc(const String& desc)
{
    return desc == QLatin1String("MP3 Audio (*.mp3)") || desc == QLatin1String("MP2 Audio (*.mp2)");
}

// The list rule: the text is the last item marked default, else the first.
template <class TextOf, class IsDefault>
void fillCombo(TComboBoxValues& combo, int count, TextOf textOf, IsDefault isDefault)
{
    for (int i = 0; i < count; ++i) {
        const String text = textOf(i);
        if (i == 0)
            combo.Text = text;
        combo.Items << text;
        if (isDefault(i))
            combo.Text = text;
    }
}

// The same rule for a slider, whose range clamps the position.
template <class ValueOf, class IsDefault>
void fillTrackBar(TTrackBarValues& bar, int count, ValueOf valueOf, IsDefault isDefault)
{
    for (int i = 0; i < count; ++i) {
        if (i == 0 || isDefault(i))
            bar.SetPosition(int(std::trunc(valueOf(i))));
    }
}

bool plainDefault(const TXMLNodeCollection& list, int i)
{
    return list.ItemNode(i).AttributeInt(QStringLiteral("default")) == 1;
}

// A slider's maximum covers the largest value of the profile's own list, so
// that a profile's preset rates (DVD's 8000 kbit/s) are not cut to the design maximum.
void widenRange(TTrackBarValues& bar, int designMax, const TXMLFloatList& list)
{
    bar.Max = designMax;
    for (int i = 0; i < list.Count(); ++i)
        bar.Max = std::max(bar.Max, int(std::trunc(list.Value(i))));
    bar.SetPosition(bar.Position);
}

String channelsText(const String& value)
{
    if (value == QLatin1String("2"))
        return QStringLiteral("2 Stereo");
    if (value == QLatin1String("1"))
        return QStringLiteral("1 Mono");
    if (value == QLatin1String("4"))
        return QStringLiteral("4 Dolby");
    if (value == QLatin1String("6"))
        return QStringLiteral("6 Surround 5.1");
    return value;
}

void fillQuality(TComboBoxValues& combo, const TXMLQualityType& quality)
{
    fillCombo(
        combo, quality.Count(), [&](int i) { return quality.Option(i).Name(); },
        [&](int i) { return quality.Option(i).Default() == 1; });
}

}  // namespace

TXMLProfileType FindProfileByDesc(const TXMLRootType& ProfileRoot, const String& Desc)
{
    const TXMLProfilesType profiles = ProfileRoot.Profiles();
    for (int i = 0; i < profiles.Count(); ++i) {
        const TXMLProfileType profile = profiles.Profile(i);
        if (profile.Desc() == Desc)
            return profile;
    }
    return TXMLProfileType();
}

void FillFormatList(TOptionValues& Values, const TXMLRootType& ProfileRoot, const String& Group)
{
    Values.ProfileGroup = Group;
    Values.cmbFormats.Clear();
    const TXMLProfilesType profiles = ProfileRoot.Profiles();
    for (int i = 0; i < profiles.Count(); ++i) {
        const TXMLProfileType profile = profiles.Profile(i);
        if (profile.Groups() == Group)
            Values.cmbFormats.Items << profile.Desc();
    }
    if (!Values.cmbFormats.Items.isEmpty())
        Values.cmbFormats.Text = Values.cmbFormats.Items.first();
    const bool video = Group != AudioGroup;
    Values.cmbFrameRate.Enabled = video;
    Values.cmbVideoCodec.Enabled = video;
    Values.cmbFrameSize.Enabled = video;
}

void LoadProfile(TOptionValues& Values, const TXMLRootType& ProfileRoot, const String& Desc)
{
    TOptionValues& v = Values;
    v.PadLeft = v.PadTop = v.PadBottom = v.PadRight = 0;
    v.CropLeft = v.CropTop = v.CropBottom = v.CropRight = 0;
    v.CommandExtra.clear();
    v.CommandOutput.clear();
    v.PadFilter.clear();

    // "MPEG-I Movie (*.mpg)" gives "*.mpg".
    const String afterParen = Desc.mid(LastPosOf(QStringLiteral("("), Desc), 10);
    v.DescExtension = afterParen.left(afterParen.size() - 1);
    v.ProfileDesc = Desc;

    const TXMLProfileType profile = FindProfileByDesc(ProfileRoot, Desc);
    if (!profile.IsNull()) {
        // What a profile's attributes switch is switched back first; the
        // profile loaded before must not leave a box disabled or hidden.
        const bool video = v.ProfileGroup != AudioGroup;
        v.cmbQuality.Enabled = v.cmbQuality.Visible = true;
        v.cmbVideoCodec.Visible = true;
        v.cmbVideoCodec.Enabled = v.cmbFrameSize.Enabled = v.cmbFrameRate.Enabled = video;
        v.cmbFrameRate.Visible = true;
        v.grpAspectRatio.Enabled = v.grpAspectRatio.Visible = true;
        v.trcBitRate.Enabled = v.trcBitRate.Visible = true;
        v.trcAudioBitrate.Enabled = true;
        v.cmbAudioCodec.Enabled = v.cmbAudioSampleRate.Enabled = v.cmbAudioChannels.Enabled = true;

        const TXMLVideoType videoParams = profile.Params().Video();
        const TXMLAudioType2 audio = profile.Params().Audio();

        v.cmbQuality.Clear();
        const TXMLQualityType quality = videoParams.Quality();
        if (quality.Count() > 0) {
            if (quality.HasAttribute(QStringLiteral("visible")))
                v.cmbQuality.Visible = quality.Visible() == 1;
            fillQuality(v.cmbQuality, quality);
        }
        if (isAudioDesc(Desc)) {
            v.cmbQuality.Clear();
            const TXMLQualityType audioQuality = audio.Quality();
            if (audioQuality.Count() > 0) {
                if (audioQuality.HasAttribute(QStringLiteral("visible")))
                    v.cmbQuality.Enabled = audioQuality.Visible() == 1;
                fillQuality(v.cmbQuality, audioQuality);
            }
            v.cmbQuality.Text = SameAsSource;
        }

        const TXMLCodecType vcodec = videoParams.Codec();
        v.cmbVideoCodec.Clear();
        if (vcodec.Count() > 0) {
            v.cmbVideoCodec.Visible = vcodec.Visible() == 1;
            fillCombo(
                v.cmbVideoCodec, vcodec.Count(), [&](int i) { return vcodec.Value(i).Text(); },
                [&](int i) { return vcodec.Value(i).Default() == 1; });
        }

        const TXMLSizeType size = videoParams.Size();
        v.cmbFrameSize.Clear();
        if (size.Count() > 0) {
            v.cmbFrameSize.Enabled = size.Visible() == 1;
            fillCombo(
                v.cmbFrameSize, size.Count(), [&](int i) { return size.Value(i).Text(); },
                [&](int i) { return size.Value(i).Default() == 1; });
        }

        // Entries "Auto", "4:3", "16:9" for the values 0, 1, 2; the selected
        // index is a value, taken as a position in the rebuilt list.
        const TXMLAspectType aspect = videoParams.Aspect();
        v.grpAspectRatio.Items.clear();
        v.grpAspectRatio.ItemIndex = -1;
        if (aspect.Count() == 0) {
            v.grpAspectRatio.Visible = false;
        } else {
            if (aspect.HasAttribute(QStringLiteral("readonly")))
                v.grpAspectRatio.Enabled = aspect.AttributeInt(QStringLiteral("readonly")) == 1;
            v.grpAspectRatio.Visible = aspect.Visible() == 1;
            for (int i = 0; i < aspect.Count(); ++i) {
                const String value = aspect.Value(i);
                if (value == QLatin1String("0"))
                    v.grpAspectRatio.Items << QStringLiteral("Auto");
                else if (value == QLatin1String("1"))
                    v.grpAspectRatio.Items << QStringLiteral("4:3");
                else if (value == QLatin1String("2"))
                    v.grpAspectRatio.Items << QStringLiteral("16:9");
                if (i == 0 || plainDefault(aspect, i))
                    v.grpAspectRatio.ItemIndex = int(StrToIntLenient(value));
            }
            v.grpAspectRatio.ItemIndex = std::min(v.grpAspectRatio.ItemIndex, int(v.grpAspectRatio.Items.size()) - 1);
        }

        const TXMLBitrateType vbitrate = videoParams.Bitrate();
        widenRange(v.trcBitRate, 5000, vbitrate);
        if (vbitrate.Count() > 0) {
            if (vbitrate.HasAttribute(QStringLiteral("readonly")))
                v.trcBitRate.Enabled = vbitrate.AttributeInt(QStringLiteral("readonly")) == 1;
            v.trcBitRate.Visible = vbitrate.Visible() == 1;
            fillTrackBar(
                v.trcBitRate, vbitrate.Count(), [&](int i) { return vbitrate.Value(i); },
                [&](int i) { return plainDefault(vbitrate, i); });
        }

        const TXMLFramerateType framerate = videoParams.Framerate();
        v.cmbFrameRate.Clear();
        if (framerate.Count() > 0) {
            if (framerate.HasAttribute(QStringLiteral("readonly")))
                v.cmbFrameRate.Enabled = framerate.Readonly() == 1;
            if (framerate.HasAttribute(QStringLiteral("enabled")))
                v.cmbFrameRate.Enabled = framerate.Enabled() == 1;
            v.cmbFrameRate.Visible = framerate.Visible() == 1;
            fillCombo(
                v.cmbFrameRate, framerate.Count(), [&](int i) { return framerate.Value(i); },
                [&](int i) { return plainDefault(framerate, i); });
        }

        v.VideoTag.clear();
        if (!videoParams.Videotag().Name().isEmpty())
            v.VideoTag = videoParams.Videotag().Value();
        v.Level = QStringLiteral("31");
        if (!videoParams.Level().Name().isEmpty())
            v.Level = videoParams.Level().Value().Text();
        v.VideoPreset.clear();
        if (videoParams.Videopreset().Count() > 0)
            v.VideoPreset = videoParams.Videopreset().Value(0);

        const TXMLTvtypeType tvtype = videoParams.Tvtype();
        if (tvtype.Count() == 0) {
            v.grpNorm.Visible = false;
        } else {
            v.grpNorm.Visible = v.grpNorm.Enabled = true;
            if (tvtype.HasAttribute(QStringLiteral("enabled")))
                v.grpNorm.Enabled = tvtype.Enabled() == 1;
            for (int i = 0; i < tvtype.Count(); ++i) {
                if (i == 0 || plainDefault(tvtype, i))
                    v.grpNorm.ItemIndex = int(StrToIntLenient(tvtype.Value(i)));
            }
            // The group keeps its two entries; a value beyond them selects the last.
            v.grpNorm.ItemIndex = std::clamp(v.grpNorm.ItemIndex, -1, int(v.grpNorm.Items.size()) - 1);
        }

        if (audio.Disable_streamvideo().Count() > 0)
            v.DisableVideo = audio.Disable_streamvideo().Value(0).Text();

        const TXMLCommandsType commands = profile.Commands();
        bool haveOutput = false;
        bool haveExtra = false;
        for (int i = 0; i < commands.Count(); ++i) {
            const TXMLCommandType command = commands.Command(i);
            if (!haveOutput && command.HasAttribute(QStringLiteral("output"))) {
                v.CommandOutput = command.Output();
                haveOutput = true;
            }
            if (!haveExtra && command.HasAttribute(QStringLiteral("extra"))) {
                v.CommandExtra = command.Extra();
                haveExtra = true;
            }
        }

        const TXMLCodecType acodec = audio.Codec();
        v.cmbAudioCodec.Clear();
        if (acodec.Count() > 0) {
            v.cmbAudioCodec.Enabled = acodec.Visible() == 1;
            fillCombo(
                v.cmbAudioCodec, acodec.Count(), [&](int i) { return acodec.Value(i).Text(); },
                [&](int i) { return acodec.Value(i).Default() == 1; });
        }

        const TXMLBitrateType abitrate = audio.Bitrate();
        widenRange(v.trcAudioBitrate, 448, abitrate);
        if (abitrate.Count() > 0) {
            v.trcAudioBitrate.Enabled = abitrate.Visible() == 1;
            fillTrackBar(
                v.trcAudioBitrate, abitrate.Count(), [&](int i) { return abitrate.Value(i); },
                [&](int i) { return plainDefault(abitrate, i); });
        }

        const TXMLSamplerateType samplerate = audio.Samplerate();
        v.cmbAudioSampleRate.Clear();
        if (samplerate.Count() > 0) {
            v.cmbAudioSampleRate.Enabled = samplerate.Visible() == 1;
            fillCombo(
                v.cmbAudioSampleRate, samplerate.Count(), [&](int i) { return String::number(samplerate.Value(i)); },
                [&](int i) { return plainDefault(samplerate, i); });
        }
        const TXMLChannelType channel = audio.Channel();
        v.cmbAudioChannels.Clear();
        if (channel.Count() > 0) {
            v.cmbAudioChannels.Enabled = channel.Visible() == 1;
            fillCombo(
                v.cmbAudioChannels, channel.Count(), [&](int i) { return String::number(channel.Value(i)); },
                [&](int i) { return plainDefault(channel, i); });
        }
        for (String& item : v.cmbAudioChannels.Items)
            item = channelsText(item);
        v.cmbAudioChannels.Text = channelsText(v.cmbAudioChannels.Text);
        if (audio.Disable_stream().Count() > 0)
            v.DisableAudio = audio.Disable_stream().Value(0);
    }

    if (isAudioDesc(Desc)) {
        const String na = QStringLiteral("N/A");
        v.cmbFrameRate.Text = v.cmbVideoCodec.Text = v.cmbFrameSize.Text = na;
    }
}

void ApplyQualityPreset(TOptionValues& Values, const TXMLRootType& ProfileRoot)
{
    if (!Values.cmbQuality.Enabled)
        return;
    const TXMLProfileType profile = FindProfileByDesc(ProfileRoot, Values.cmbFormats.Text);
    if (profile.IsNull())
        return;
    const TXMLQualityType quality = profile.Params().Video().Quality();
    for (int i = 0; i < quality.Count(); ++i) {
        const TXMLOptionType option = quality.Option(i);
        if (option.Name() == SameAsSource || option.Name() != Values.cmbQuality.Text)
            continue;
        Values.trcBitRate.SetPosition(option.Video().Bitrate());
        Values.cmbFrameRate.Text = option.Video().Framerate();
        Values.cmbAudioSampleRate.Text = String::number(option.Audio().Samplerate());
        Values.trcAudioBitrate.SetPosition(option.Audio().Bitrate());
        return;
    }
}

void ResetFilterValues(TOptionValues& Values)
{
    Values.PadFilter.clear();
    Values.CropFilter.clear();
    Values.Brightness = Values.Contrast = Values.Saturation = 0;
    Values.BrightnessOn = Values.ContrastOn = Values.SaturationOn = false;
    Values.CropOn = Values.PadOn = false;
}

void SelectProfile(TOptionValues& Values, const TXMLRootType& ProfileRoot, const String& Group, const String& Desc,
                   int SourceWidth, int SourceHeight)
{
    ResetFilterValues(Values);
    Values.SourceWidth = SourceWidth;
    Values.SourceHeight = SourceHeight;
    FillFormatList(Values, ProfileRoot, Group);
    LoadProfile(Values, ProfileRoot, Desc);
    Values.cmbFormats.Text = Desc;
    ApplyQualityPreset(Values, ProfileRoot);
}
