#include <gtest/gtest.h>

#include "engine/FFLoad.h"
#include "engine/FFmpeg.h"
#include "tests/app/ProfileLineCases.h"

namespace {

using namespace vorlane::test;

// Every line the builder makes must be accepted by the engine's parser in
// strict mode, which refuses unknown options and bad values.
class OptionLineParseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(EncoderLibraries)) << FFLoader()->LastError().toStdString();
        FDocument = LoadProfilesFromResource(QStringLiteral("video"));
    }

    void ExpectParses(const AnsiString& line)
    {
        TCustomFFmpeg task;
        ASSERT_TRUE(task.StrictOptions());
        try {
            task.ParseOptions(line);
        } catch (const Exception& e) {
            ADD_FAILURE() << line.constData() << "\n  " << e.Message().toStdString();
        }
    }

    QDomDocument FDocument;
};

TEST_F(OptionLineParseTest, ProfileDefaultsParse)
{
    const TXMLRootType root = Getroot(FDocument);
    for (const TProfileLineCase& c : ProfileLineCases()) {
        const TSourceStreamInfo source = SourceOf(c.SourceWidth, c.SourceHeight);
        const TOptionValues values = ValuesFor(root, QString::fromUtf8(c.Desc), source, c.Path);
        ExpectParses(BuildOutputOptions(values, root, source, TestEnvironment()).Options);
    }
}

TEST_F(OptionLineParseTest, ChangedValuesParse)
{
    const TXMLRootType root = Getroot(FDocument);
    const TSourceStreamInfo source = SourceOf(1280, 720, 30000, 1001);
    const auto build = [&](const char* desc, const auto& change) {
        TOptionValues v = ValuesFor(root, QString::fromUtf8(desc), source, ppPreset);
        change(v);
        return BuildOutputOptions(v, root, source, TestEnvironment()).Options;
    };
    const AnsiString lines[] = {
        build("VCD Video (*.mpg)", [](TOptionValues&) {}),
        build("DVD Video PAL Movie (*.mpg)",
              [](TOptionValues& v) {
                  v.chkKeepAspect = true;
                  v.chkAudioVolume = true;
                  v.trcVolume.SetPosition(300);
                  v.FlipText = QStringLiteral("XY Flip");
                  v.ContrastOn = true;
                  v.Contrast = 10;
                  v.SaturationOn = true;
                  v.Saturation = -10;
              }),
        build("MPEG-II Movie (*.mpg)",
              [](TOptionValues& v) {
                  v.cmbVideoCodec.Text = QStringLiteral("x264");
                  v.cmbAudioCodec.Text = QStringLiteral("AAC");
                  v.cmbAudioChannels.Text = QStringLiteral("6 Surround 5.1");
                  v.grpAspectRatio.ItemIndex = 2;
              }),
        build("MPEG-I Movie (*.mpg)",
              [](TOptionValues& v) {
                  v.cmbVideoCodec.Text = QStringLiteral("DivX");
                  v.VideoTag = QStringLiteral("dx50");
                  v.cmbFrameSize.Text = QStringLiteral("320x240");
                  v.cmbFrameRate.Text = QStringLiteral("Auto");
              }),
        build("SVCD Video (*.mpg)", [](TOptionValues& v) { v.grpNorm.ItemIndex = 0; }),
    };
    for (const AnsiString& line : lines)
        ExpectParses(line);

    TSourceStreamInfo audioOnly;
    TOptionValues v = ValuesFor(root, QStringLiteral("MPEG-II Movie (*.mpg)"), audioOnly, ppPreset);
    v.cmbQuality.Text = QStringLiteral("4. Normal Quality  Video:1200kbps /Audio:128kbps");
    ApplyQualityPreset(v, root);
    ExpectParses(BuildOutputOptions(v, root, audioOnly, TestEnvironment()).Options);
}

}  // namespace
