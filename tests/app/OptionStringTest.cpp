#include <gtest/gtest.h>

#include "tests/app/ProfileLineCases.h"

namespace {

using namespace vorlane::test;

class OptionStringTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FDocument = LoadProfilesFromResource(QStringLiteral("video")); }
    static void TearDownTestSuite() { FDocument = QDomDocument(); }

    TXMLRootType Root() const { return Getroot(FDocument); }
    TOptionValues Values(const char* desc, const TSourceStreamInfo& source, TProfilePath path = ppPreset) const
    {
        return ValuesFor(Root(), QString::fromUtf8(desc), source, path);
    }
    TBuiltOutputOptions Build(const TOptionValues& values, const TSourceStreamInfo& source,
                              const TBuildEnvironment& environment = TestEnvironment()) const
    {
        return BuildOutputOptions(values, Root(), source, environment);
    }

    static inline QDomDocument FDocument;
};

TEST_F(OptionStringTest, EveryProfileWithItsDefaultsInBothPaths)
{
    for (const TProfileLineCase& c : ProfileLineCases()) {
        const TSourceStreamInfo source = SourceOf(c.SourceWidth, c.SourceHeight);
        const TBuiltOutputOptions out = Build(Values(c.Desc, source, c.Path), source);
        SCOPED_TRACE(testing::Message() << c.Desc << " " << c.SourceWidth << "x" << c.SourceHeight
                                        << (c.Path == ppCombo ? " combo" : " preset"));
        EXPECT_EQ(out.Options.toStdString(), c.Line);
        EXPECT_EQ(out.Extension.toStdString(), c.Extension);
    }
}

TEST_F(OptionStringTest, VcdForAnNtscSourceTakesTheNormsRate)
{
    const TSourceStreamInfo source = SourceOf(720, 480, 30000, 1001);
    const TBuiltOutputOptions out = Build(Values("VCD Video (*.mpg)", source), source);
    EXPECT_EQ(out.Options.toStdString(),
              " -target ntsc-vcd -f vcd -c:v mpeg1video -aspect 4:3 -b:v 1150k -c:a mp2 -ac 2 -ar 44100"
              " -b:a 224k -vf \"setdar=4:3,scale=352:240\"");
    EXPECT_EQ(out.VideoFilters, QStringLiteral("setdar=4:3,scale=352:240"));
    EXPECT_EQ(out.TargetWidth, 352);
    EXPECT_EQ(out.TargetHeight, 240);
    EXPECT_DOUBLE_EQ(out.TargetAspect, 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(out.SourceAspect, 1.5);
}

// A disc's rate is its norm's: "Auto" and a rate of the other norm give no
// -r (the target sets it); a rate the norm plays stays.
TEST_F(OptionStringTest, DiscRatesFollowTheNorm)
{
    const struct {
        const char* Desc;
        int Norm;  // grpNorm index: 0 PAL, 1 NTSC, -1 hidden
        const char* Rate;
        int SourceNum, SourceDen;
        const char* Expected;  // the -r option, or "" for none
    } cases[] = {
        {"VCD Video (*.mpg)", 1, "Auto", 25, 1, ""},
        {"VCD Video (*.mpg)", 0, "Auto", 30000, 1001, ""},
        {"VCD Video (*.mpg)", 1, "25", 25, 1, ""},
        {"VCD Video (*.mpg)", 1, "23.976", 25, 1, " -r 23.976 "},
        {"VCD Video (*.mpg)", 1, "29.97", 25, 1, " -r 29.97 "},
        {"VCD Video (*.mpg)", 0, "25", 30000, 1001, " -r 25 "},
        {"VCD Video (*.mpg)", 0, "29.97", 25, 1, ""},
        {"SVCD Video (*.mpg)", 1, "Auto", 25, 1, ""},
        {"SVCD Video (*.mpg)", 0, "30000/1001", 25, 1, ""},
        {"SVCD Video (*.mpg)", 1, "30000/1001", 25, 1, " -r 30000/1001 "},
        {"SVCD Video (*.mpg)", -1, "25", 25, 1, ""},  // the target guesses the norm from the source
        {"SVCD Video (*.mpg)", -1, "Auto", 25, 1, ""},
    };
    for (const auto& c : cases) {
        const TSourceStreamInfo source = SourceOf(640, 480, c.SourceNum, c.SourceDen);
        TOptionValues v = Values(c.Desc, source);
        v.grpNorm.Visible = c.Norm >= 0;
        v.grpNorm.ItemIndex = c.Norm;
        v.cmbFrameRate.Text = QString::fromLatin1(c.Rate);
        const std::string line = Build(v, source).Options.toStdString();
        SCOPED_TRACE(testing::Message() << c.Desc << " norm " << c.Norm << " rate " << c.Rate << ": " << line);
        if (*c.Expected == 0)
            EXPECT_EQ(line.find(" -r "), std::string::npos);
        else
            EXPECT_NE(line.find(c.Expected), std::string::npos);
    }
    // Other profiles keep the source's rate for "Auto".
    const TSourceStreamInfo source = SourceOf(640, 480, 30000, 1001);
    TOptionValues v = Values("MPEG-II Movie (*.mpg)", source);
    v.cmbFrameRate.Text = QStringLiteral("Auto");
    EXPECT_TRUE(Build(v, source).Options.contains(" -r 30000/1001 "));
}

// Past a disc target's video bit rate limits the encoder would not open.
TEST_F(OptionStringTest, DiscBitRatesStayWithinTheTargetsLimits)
{
    const struct {
        const char* Desc;
        int Kbps;
        const char* Expected;
    } cases[] = {
        {"VCD Video (*.mpg)", 2000, " -b:v 1150k "},          {"VCD Video (*.mpg)", 800, " -b:v 1150k "},
        {"SVCD Video (*.mpg)", 3000, " -b:v 2516k "},         {"SVCD Video (*.mpg)", 1800, " -b:v 1800k "},
        {"DVD Video PAL Movie (*.mpg)", 9800, " -b:v 9000k "}, {"DVD Video PAL Movie (*.mpg)", 5000, " -b:v 5000k "},
        {"MPEG-II Movie (*.mpg)", 9800, " -b:v 9800k "},
    };
    for (const auto& c : cases) {
        const TSourceStreamInfo source = SourceOf(720, 576);
        TOptionValues v = Values(c.Desc, source);
        v.trcBitRate.Position = c.Kbps;
        const AnsiString line = Build(v, source).Options;
        EXPECT_TRUE(line.contains(c.Expected)) << c.Desc << " " << c.Kbps << ": " << line.constData();
    }
}

TEST_F(OptionStringTest, KeepAspectLetterboxesWithScaleAndPad)
{
    {  // a wider source: bars above and below
        const TSourceStreamInfo source = SourceOf(1280, 720);
        TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
        v.cmbFrameSize.Text = QStringLiteral("720x480");
        v.grpAspectRatio.ItemIndex = 1;  // 4:3
        v.chkKeepAspect = true;
        const TBuiltOutputOptions out = Build(v, source);
        EXPECT_EQ(out.VideoFilters, QStringLiteral("setdar=4:3,scale=720:360,pad=720:480:0:60:black"));
        EXPECT_TRUE(out.Options.endsWith(" -vf \"setdar=4:3,scale=720:360,pad=720:480:0:60:black\""));
    }
    {  // a narrower source: bars left and right
        const TSourceStreamInfo source = SourceOf(640, 480);
        TOptionValues v = Values("DVD Video NTSC Movie (*.mpg)", source);
        v.chkKeepAspect = true;
        EXPECT_EQ(Build(v, source).VideoFilters, QStringLiteral("setdar=16:9,scale=540:480,pad=720:480:90:0:black"));
    }
    {  // equal aspects: nothing to pad
        const TSourceStreamInfo source = SourceOf(640, 480);
        TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
        v.chkKeepAspect = true;
        EXPECT_EQ(Build(v, source).VideoFilters, QStringLiteral("setdar=1.333,scale=640:480"));
    }
}

TEST_F(OptionStringTest, AutoAspectComesFromTheTargetSize)
{
    const TSourceStreamInfo source = SourceOf(640, 480);
    TOptionValues v = Values("MPEG-II Movie (*.mpg)", source);
    v.cmbFrameSize.Text = QStringLiteral("720x576 (PAL)");
    const TBuiltOutputOptions out = Build(v, source);
    EXPECT_TRUE(out.Options.contains(" -aspect 1.250 ")) << out.Options.constData();
    EXPECT_EQ(out.VideoFilters, QStringLiteral("setdar=1.250,scale=720:576"));
    EXPECT_DOUBLE_EQ(out.TargetAspect, 1.25);
}

TEST_F(OptionStringTest, AnEmptyChainGivesNoVideoFilterOption)
{
    const TSourceStreamInfo source = SourceOf(640, 480);
    TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
    v.cmbFrameSize.Enabled = false;
    v.grpAspectRatio.Visible = false;
    const TBuiltOutputOptions out = Build(v, source);
    EXPECT_TRUE(out.VideoFilters.isEmpty());
    EXPECT_EQ(out.Options.toStdString(),
              " -f mpeg -c:v mpeg1video -r 25 -b:v 1024k -c:a mp2 -ac 2 -ar 44100 -b:a 128k -sameq");
}

TEST_F(OptionStringTest, VolumeOnlyWhenAdjustedAndNotNormal)
{
    const TSourceStreamInfo source = SourceOf(640, 480);
    const struct {
        int Volume;
        bool Checked;
        bool Expected;
    } cases[] = {{256, true, false}, {300, false, false}, {300, true, true}, {0, true, true}};
    for (const auto& c : cases) {
        TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
        v.trcVolume.SetPosition(c.Volume);
        v.chkAudioVolume = c.Checked;
        const AnsiString line = Build(v, source).Options;
        EXPECT_EQ(line.contains(" -vol "), c.Expected) << line.constData();
        if (c.Expected) {
            EXPECT_TRUE(line.contains(" -b:a 128k -vol " + AnsiString::number(c.Volume) + " -sameq"))
                << line.constData();
        }
    }
}

TEST_F(OptionStringTest, AudioCodecAndChannelRules)
{
    const TSourceStreamInfo source = SourceOf(640, 480);
    const struct {
        const char* Codec;
        const char* Channels;
        const char* Format;  // empty: the profile's own
        const char* AacEncoder;
        const char* Audio;   // the audio options of the line
    } cases[] = {
        {"None", "2 Stereo", "", "aac", " -ac 2 -ar 44100 -b:a 128k"},
        {"AAC", "2 Stereo", "", "aac", " -astrict experimental -c:a aac -ac 2 -ar 44100 -b:a 128k"},
        {"AAC", "2 Stereo", "", "libfaac", " -c:a libfaac -ac 2 -ar 44100 -b:a 128k"},
        {"mp3", "2 Stereo", "3gp", "aac", " -c:a libmp3lame -ac 1 -ar 8000 -b:a 128k"},
        {"AAC", "2 Stereo", "3gp", "aac", " -astrict experimental -c:a aac -ac 2 -ar 8000 -b:a 128k"},
        {"mp2", "6 Surround 5.1", "", "aac", " -c:a mp2 -ac 2 -ar 44100 -b:a 128k"},
        {"ac3", "6 Surround 5.1", "", "aac", " -c:a ac3 -ac 6 -ar 44100 -b:a 128k"},
        {"PCM", "6 Surround 5.1", "", "aac", " -c:a pcm_s16le -ac 6 -ar 44100 -b:a 128k"},
        {"Vorbis", "4 Dolby", "", "aac", " -c:a libvorbis -ac 2 -ar 44100 -b:a 128k"},
    };
    for (const auto& c : cases) {
        TOptionValues v = Values("MPEG-II Movie (*.mpg)", source);
        v.cmbAudioCodec.Text = QString::fromUtf8(c.Codec);
        v.cmbAudioChannels.Text = QString::fromUtf8(c.Channels);
        if (*c.Format)
            v.CommandOutput = QString::fromUtf8(c.Format);
        TBuildEnvironment environment = TestEnvironment();
        environment.AacEncoderName = QString::fromUtf8(c.AacEncoder);
        const AnsiString line = Build(v, source, environment).Options;
        const AnsiString expected = AnsiString(" -b:v 2000k") + c.Audio + " -sameq";
        EXPECT_TRUE(line.contains(expected)) << c.Codec << " " << c.Format << ": " << line.constData();
        EXPECT_FALSE(line.contains(" -an")) << line.constData();
    }
}

TEST_F(OptionStringTest, FlvWithX264BecomesF4vWithLevelAndThreads)
{
    const TSourceStreamInfo source = SourceOf(640, 480);
    TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
    v.DescExtension = QStringLiteral("*.flv");
    v.CommandOutput = QStringLiteral("flv");
    v.cmbVideoCodec.Text = QStringLiteral("X264");
    const TBuiltOutputOptions out = Build(v, source);
    EXPECT_EQ(out.Extension, QStringLiteral(".f4v"));
    EXPECT_TRUE(out.Options.startsWith(" -f flv -c:v libx264 -aspect 1.333 -r 25 -b:v 1024k -level 31 -c:a mp2"))
        << out.Options.constData();
    EXPECT_TRUE(out.Options.contains(" -sameq -threads 4 -vf ")) << out.Options.constData();

    TBuildEnvironment single = TestEnvironment();
    single.ProcessorCount = 1;
    EXPECT_FALSE(Build(v, source, single).Options.contains("-threads"));
}

TEST_F(OptionStringTest, DivxTagAndPresetFile)
{
    const TSourceStreamInfo source = SourceOf(640, 480);
    TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
    v.cmbVideoCodec.Text = QStringLiteral("DivX");
    v.VideoTag = QStringLiteral("dx50");
    v.VideoPreset = QStringLiteral("/presets/my preset.ffpreset");
    TBuildEnvironment environment = TestEnvironment();
    environment.FileExists = [](const QString& name) { return name == QLatin1String("/presets/my preset.ffpreset"); };
    const AnsiString line = Build(v, source, environment).Options;
    EXPECT_TRUE(line.startsWith(" -vstrict unofficial -tag:v DX50 -f mpeg -c:v mpeg4 -aspect 1.333 -r 25 -b:v 1024k"
                                " -fpre \"/presets/my preset.ffpreset\" -c:a mp2"))
        << line.constData();
    environment.FileExists = [](const QString&) { return false; };
    EXPECT_FALSE(Build(v, source, environment).Options.contains("-fpre"));
}

TEST_F(OptionStringTest, TvSystemPrefixesTheTarget)
{
    const TSourceStreamInfo source = SourceOf(720, 576);
    TOptionValues v = Values("DVD Video PAL Movie (*.mpg)", source);
    v.grpNorm.ItemIndex = 1;
    EXPECT_TRUE(Build(v, source).Options.startsWith(" -target ntsc-dvd -f dvd "));
    v.grpNorm.Visible = false;
    EXPECT_TRUE(Build(v, source).Options.startsWith(" -target dvd -f dvd "));
}

TEST_F(OptionStringTest, AnAudioOnlySourceLeavesOutWhatItLacks)
{
    TSourceStreamInfo source;  // no video stream: every picture value is unknown
    source.FileName = QStringLiteral("/music/song.mp3");
    TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
    v.cmbQuality.Text = QStringLiteral("2. Normal Quality  Video:768kbps /Audio:128kbps");
    ApplyQualityPreset(v, Root());  // its rate is "Auto"
    v.chkKeepAspect = true;
    const TBuiltOutputOptions out = Build(v, source);
    EXPECT_EQ(out.Options.toStdString(), " -f mpeg -c:v mpeg1video -b:v 768k -c:a mp2 -ac 2 -ar 44100 -b:a 128k");
    EXPECT_FALSE(out.Options.contains("-1"));
    EXPECT_TRUE(out.VideoFilters.isEmpty());
}

TEST_F(OptionStringTest, FilterChainOrder)
{
    const TSourceStreamInfo source = SourceOf(640, 480);
    TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
    v.FlipText = QStringLiteral("XY Flip");
    v.RotateText = QStringLiteral("Right");
    v.BrightnessOn = true;
    v.Brightness = -20;
    v.ContrastOn = true;
    v.Contrast = 30;
    v.SaturationOn = true;
    v.Saturation = 50;
    EXPECT_EQ(Build(v, source).VideoFilters,
              QStringLiteral("setdar=1.333,scale=640:480,vflip,hflip,rotate=90,nativeeq=-20:30,nativehue=0:50"));
    v.FlipText = QStringLiteral("Vertical Flip");
    v.RotateText = QStringLiteral("Left");
    v.BrightnessOn = false;
    v.SaturationOn = false;
    EXPECT_EQ(Build(v, source).VideoFilters, QStringLiteral("setdar=1.333,scale=640:480,vflip,rotate=-90,nativeeq=0:30"));
}

TEST_F(OptionStringTest, UserPaddingAndCropWhenKeepAspectDidNotPad)
{
    const TSourceStreamInfo source = SourceOf(640, 480);
    TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
    v.PadOn = true;
    v.PadTop = v.PadBottom = 40;
    v.CropOn = true;
    v.CropFilter = QStringLiteral("crop=600:440");
    const TBuiltOutputOptions out = Build(v, source);
    EXPECT_EQ(out.VideoFilters, QStringLiteral("setdar=1.333,scale=640:400,crop=600:440,pad=640:480:0:40:black"));
    EXPECT_EQ(out.PadFilter, QStringLiteral("pad=640:480:0:40:black"));
}

TEST_F(OptionStringTest, JoinFileNameAndEditMode)
{
    const TSourceStreamInfo source = SourceOf(640, 480);
    TOptionValues v = Values("MPEG-I Movie (*.mpg)", source);
    v.JoinMode = true;
    v.OutputFileName = QStringLiteral("/out/a.mpg");
    TBuiltOutputOptions out = Build(v, source);
    EXPECT_TRUE(out.Join);
    EXPECT_EQ(out.FileName, QStringLiteral("/out/a.mpg"));
    // In edit mode the join switch stays off, and the source aspect is the dialog's.
    v.EditMode = true;
    v.SourceWidth = 1280;
    v.SourceHeight = 720;
    out = Build(v, source);
    EXPECT_FALSE(out.Join);
    EXPECT_DOUBLE_EQ(out.SourceAspect, 1280.0 / 720.0);
}

TEST_F(OptionStringTest, ResetInputOptionsTakesTheForcedFormatAndClearsTheFilters)
{
    TSourceStreamInfo source = SourceOf(640, 480);
    source.ForcedFormat = QStringLiteral("rawvideo");
    TOptionValues v;
    v.BrightnessOn = v.PadOn = v.CropOn = true;
    v.Saturation = 40;
    v.CropFilter = QStringLiteral("crop=1:1");
    const TBuiltInputOptions input = ResetInputOptions(v, source);
    EXPECT_EQ(input.FileName, QStringLiteral("/videos/in.avi"));
    EXPECT_EQ(input.Options, AnsiString(" -f rawvideo"));
    EXPECT_FALSE(v.BrightnessOn || v.PadOn || v.CropOn);
    EXPECT_EQ(v.Saturation, 0);
    EXPECT_TRUE(v.CropFilter.isEmpty());
    EXPECT_TRUE(ResetInputOptions(v, SourceOf(1, 1)).Options.isEmpty());
}

TEST(OptionStringHelpersTest, PadScaleAndAspectValues)
{
    EXPECT_EQ(BuildPadFilter(60, 60, 0, 0, QStringLiteral("720x480"), 0, 0), QStringLiteral("pad=720:480:0:60:black"));
    EXPECT_EQ(BuildPadFilter(0, 0, 90, 90, QStringLiteral("Original"), 720, 480),
              QStringLiteral("pad=720:480:90:0:black"));
    EXPECT_EQ(BuildPadFilter(0, 0, 0, 0, QStringLiteral("720x480"), 0, 0), QString());
    EXPECT_EQ(BuildScaleSize(QStringLiteral("720x480"), 0, 120), QStringLiteral("720:360"));
    EXPECT_DOUBLE_EQ(AspectRatioValue(QStringLiteral("16:9")), 16.0 / 9.0);
    EXPECT_DOUBLE_EQ(AspectRatioValue(QStringLiteral(" 4 : 3 ")), 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(AspectRatioValue(QStringLiteral("4:0")), 0.0);
    EXPECT_GE(ProcessorCount(), 1);
}

}  // namespace
