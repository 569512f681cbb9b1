#include <gtest/gtest.h>

#include "app/OptionValues.h"

namespace {

class OptionValuesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FDocument = LoadProfilesFromResource(QStringLiteral("VIDEO")); }
    static void TearDownTestSuite() { FDocument = QDomDocument(); }

    TXMLRootType Root() const { return Getroot(FDocument); }
    // A dialog opened to add a 640 x 480 file, then given another format.
    TOptionValues Opened() const
    {
        TOptionValues v;
        SelectProfile(v, Root(), QStringLiteral("mpeg_v"), QStringLiteral("MPEG-I Movie (*.mpg)"), 640, 480);
        return v;
    }
    void PickFormat(TOptionValues& v, const QString& desc) const
    {
        v.cmbFormats.Text = desc;
        LoadProfile(v, Root(), desc);
    }

    static inline QDomDocument FDocument;
};

TEST_F(OptionValuesTest, FormatListHoldsTheEightProfilesInOrder)
{
    const TOptionValues v = Opened();
    EXPECT_EQ(v.cmbFormats.Items,
              QStringList({"MPEG-I Movie (*.mpg)", "MPEG-II Movie (*.mpg)", "M1V Format no audio (*.m1v)",
                           "M2V Format no audio (*.m2v)", "VCD Video (*.mpg)", "SVCD Video (*.mpg)",
                           "DVD Video NTSC Movie (*.mpg)", "DVD Video PAL Movie (*.mpg)"}));
    EXPECT_EQ(v.cmbFormats.Text, QStringLiteral("MPEG-I Movie (*.mpg)"));
    EXPECT_EQ(v.cmbQuality.Text, QStringLiteral("Same as source"));
    EXPECT_EQ(v.cmbQuality.Items.size(), 6);
    EXPECT_EQ(v.cmbFrameSize.Text, QStringLiteral("Original"));
    EXPECT_EQ(v.cmbFrameRate.Text, QStringLiteral("25"));
    EXPECT_EQ(v.grpAspectRatio.Items, QStringList({"Auto", "4:3", "16:9"}));
    EXPECT_EQ(v.grpAspectRatio.SelectedText(), QStringLiteral("Auto"));
    EXPECT_EQ(v.trcBitRate.Position, 1024);
    EXPECT_EQ(v.trcAudioBitrate.Position, 128);
    EXPECT_EQ(v.cmbAudioChannels.Items, QStringList({"2 Stereo", "1 Mono"}));
    EXPECT_FALSE(v.grpNorm.Visible);
    EXPECT_EQ(v.DescExtension, QStringLiteral("*.mpg"));
    EXPECT_EQ(v.CommandOutput, QStringLiteral("mpeg"));
    EXPECT_EQ(v.DisableAudio, QStringLiteral("No"));
    EXPECT_EQ(v.Level, QStringLiteral("31"));
    EXPECT_EQ(v.SourceWidth, 640);
}

TEST_F(OptionValuesTest, DvdNtscSelected)
{
    TOptionValues v = Opened();
    SelectProfile(v, Root(), QStringLiteral("mpeg_v"), QStringLiteral("DVD Video NTSC Movie (*.mpg)"), 640, 480);
    EXPECT_EQ(v.grpAspectRatio.Items, QStringList({"4:3", "16:9"}));
    EXPECT_EQ(v.grpAspectRatio.SelectedText(), QStringLiteral("16:9"));
    EXPECT_TRUE(v.grpNorm.Visible);
    EXPECT_FALSE(v.grpNorm.Enabled);
    EXPECT_EQ(v.grpNorm.ItemIndex, 1);  // NTSC
    EXPECT_FALSE(v.cmbFrameRate.Enabled);
    EXPECT_EQ(v.cmbFrameRate.Text, QStringLiteral("Auto"));  // set by "3. High"
    EXPECT_EQ(v.cmbQuality.Text, QStringLiteral("3. High"));
    // The slider reaches the profile's own 8000 kbit/s instead of stopping at 5000.
    EXPECT_EQ(v.trcBitRate.Max, 8000);
    EXPECT_EQ(v.trcBitRate.Position, 8000);
    EXPECT_EQ(v.cmbAudioChannels.Items, QStringList({"2 Stereo", "6 Surround 5.1", "4 Dolby"}));
    EXPECT_EQ(v.cmbAudioSampleRate.Text, QStringLiteral("48000"));
    EXPECT_EQ(v.trcAudioBitrate.Position, 448);

    v.cmbQuality.Text = QStringLiteral("2. Medium");
    ApplyQualityPreset(v, Root());
    EXPECT_EQ(v.trcBitRate.Position, 5000);
}

TEST_F(OptionValuesTest, VcdSelected)
{
    TOptionValues v = Opened();
    SelectProfile(v, Root(), QStringLiteral("mpeg_v"), QStringLiteral("VCD Video (*.mpg)"), 640, 480);
    EXPECT_FALSE(v.cmbAudioChannels.Enabled);
    EXPECT_EQ(v.cmbAudioChannels.Text, QStringLiteral("2 Stereo"));
    EXPECT_TRUE(v.grpNorm.Visible && v.grpNorm.Enabled);
    EXPECT_EQ(v.grpNorm.ItemIndex, 1);
    EXPECT_EQ(v.cmbFrameRate.Text, QStringLiteral("Auto"));
    EXPECT_EQ(v.cmbFrameSize.Text, QStringLiteral("352x240"));
    EXPECT_EQ(v.grpAspectRatio.SelectedText(), QStringLiteral("4:3"));
}

TEST_F(OptionValuesTest, M1vLoadedFromTheListHasNoAudioValues)
{
    TOptionValues v = Opened();
    v.trcAudioBitrate.SetPosition(96);
    PickFormat(v, QStringLiteral("M1V Format no audio (*.m1v)"));
    EXPECT_EQ(v.cmbAudioCodec.Text, QStringLiteral("None"));
    EXPECT_TRUE(v.cmbAudioSampleRate.Text.isEmpty() && v.cmbAudioSampleRate.Items.isEmpty());
    EXPECT_TRUE(v.cmbAudioChannels.Text.isEmpty() && v.cmbAudioChannels.Items.isEmpty());
    EXPECT_EQ(v.trcAudioBitrate.Position, 96);
    EXPECT_EQ(v.DisableAudio, QStringLiteral("yes"));
    EXPECT_EQ(v.CommandOutput, QStringLiteral("mpeg1video"));
    EXPECT_EQ(v.DescExtension, QStringLiteral("*.m1v"));
}

TEST_F(OptionValuesTest, PickingAFormatKeepsItsListValuesUntilAQualityIsChosen)
{
    TOptionValues v = Opened();
    PickFormat(v, QStringLiteral("SVCD Video (*.mpg)"));
    EXPECT_EQ(v.cmbQuality.Text, QStringLiteral("6. High Quality  Video:2500kbps /Audio:224kbps"));
    EXPECT_EQ(v.trcBitRate.Position, 2000);
    EXPECT_EQ(v.cmbFrameRate.Text, QStringLiteral("29.97"));
    ApplyQualityPreset(v, Root());
    EXPECT_EQ(v.trcBitRate.Position, 2600);
    EXPECT_EQ(v.cmbFrameRate.Text, QStringLiteral("Auto"));
    // "Same as source" changes nothing.
    v.cmbQuality.Text = QStringLiteral("Same as source");
    v.trcBitRate.SetPosition(1234);
    ApplyQualityPreset(v, Root());
    EXPECT_EQ(v.trcBitRate.Position, 1234);
    // A disabled quality box applies nothing.
    v.cmbQuality.Text = QStringLiteral("7. SuperB Quality  Video:3000kbps /Audio:224kbps");
    v.cmbQuality.Enabled = false;
    ApplyQualityPreset(v, Root());
    EXPECT_EQ(v.trcBitRate.Position, 1234);
}

TEST_F(OptionValuesTest, NothingLeaksFromTheProfileLoadedBefore)
{
    TOptionValues v = Opened();
    PickFormat(v, QStringLiteral("DVD Video PAL Movie (*.mpg)"));
    EXPECT_FALSE(v.cmbFrameRate.Enabled);
    PickFormat(v, QStringLiteral("MPEG-II Movie (*.mpg)"));
    EXPECT_TRUE(v.cmbFrameRate.Enabled);
    EXPECT_FALSE(v.grpNorm.Visible);
    EXPECT_EQ(v.trcBitRate.Position, 2000);
}

TEST_F(OptionValuesTest, DescriptionsOutsideTheDocument)
{
    TOptionValues v = Opened();
    const TOptionValues before = v;
    LoadProfile(v, Root(), QStringLiteral("abc"));
    EXPECT_EQ(v.DescExtension, QStringLiteral("ab"));
    EXPECT_EQ(v.ProfileDesc, QStringLiteral("abc"));
    EXPECT_EQ(v.cmbQuality.Text, before.cmbQuality.Text);
    EXPECT_EQ(v.trcBitRate.Position, before.trcBitRate.Position);
    EXPECT_TRUE(v.CommandOutput.isEmpty());
    EXPECT_TRUE(FindProfileByDesc(Root(), QStringLiteral("mpeg-i movie (*.mpg)")).IsNull());

    LoadProfile(v, Root(), QStringLiteral("MP3 Audio (*.mp3)"));
    EXPECT_EQ(v.cmbFrameSize.Text, QStringLiteral("N/A"));
    EXPECT_EQ(v.cmbVideoCodec.Text, QStringLiteral("N/A"));
}

}  // namespace
