#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "engine/FFEncode.h"
#include "engine/FFLoad.h"
#include "engine/FFmpeg.h"
#include "platform/rtl/Thread.h"
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

// The disc profiles' lines converted by the engine: whatever the source's
// rate, the output runs at the norm's, and a hidden norm follows the source.
QString tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": " << p.readAllStandardError().constData();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

TEST_F(OptionLineParseTest, DiscLinesRunAtTheirNormsRate)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* Name;
        const char* Rate;
        int Num, Den;
    } sources[] = {{"pal.avi", "25", 25, 1}, {"ntsc.avi", "30000/1001", 30000, 1001}};
    for (const auto& s : sources)
        tool(QStringLiteral("ffmpeg"),
             {"-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
              QStringLiteral("testsrc=size=320x240:duration=0.4:rate=") + QLatin1String(s.Rate), "-f", "lavfi", "-i",
              "sine=frequency=440:sample_rate=44100:duration=0.4", "-c:v", "mpeg4", "-q:v", "5", "-c:a", "mp2",
              "-shortest", dir.filePath(QLatin1String(s.Name))});

    const struct {
        const char* Desc;
        int Norm;  // grpNorm index: 0 PAL, 1 NTSC, -1 the profile's own (NTSC but for DVD PAL), -2 hidden
        TProfilePath Path;
    } profiles[] = {
        {"VCD Video (*.mpg)", 0, ppPreset},
        {"VCD Video (*.mpg)", 1, ppPreset},
        {"VCD Video (*.mpg)", -1, ppCombo},  // the list's 29.97
        {"SVCD Video (*.mpg)", 0, ppPreset},
        {"SVCD Video (*.mpg)", 1, ppPreset},
        {"SVCD Video (*.mpg)", -2, ppPreset},
        {"SVCD Video (*.mpg)", -1, ppCombo},
        {"DVD Video NTSC Movie (*.mpg)", -1, ppPreset},
        {"DVD Video PAL Movie (*.mpg)", -1, ppPreset},
    };
    const TXMLRootType root = Getroot(FDocument);
    TFFEncoder encoder(nullptr);
    std::vector<std::pair<QString, QString>> expected;  // output, rate
    for (const auto& p : profiles)
        for (const auto& s : sources) {
            const String input = dir.filePath(QLatin1String(s.Name));
            TSourceStreamInfo source = SourceOf(320, 240, s.Num, s.Den);
            source.FileName = input;
            TOptionValues v = ValuesFor(root, QString::fromUtf8(p.Desc), source, p.Path);
            if (p.Norm >= 0)
                v.grpNorm.ItemIndex = p.Norm;
            v.grpNorm.Visible = p.Norm != -2;
            TOutputOptions out;
            out.Options = BuildOutputOptions(v, root, source, TestEnvironment()).Options;
            const bool pal = p.Norm == 0 || (p.Norm == -1 && QString::fromUtf8(p.Desc).contains("PAL")) ||
                             (p.Norm == -2 && s.Num == 25);
            const int task = encoder.AddTask(input);
            ASSERT_GE(task, 0) << encoder.LastError().toStdString();
            const QString output = dir.filePath(QStringLiteral("out%1.mpg").arg(task));
            ASSERT_GE(encoder.SetOutput(task, output, &out), 0) << out.Options.constData() << ": "
                                                                 << encoder.LastError().toStdString();
            expected.emplace_back(output, pal ? QStringLiteral("25/1") : QStringLiteral("30000/1001"));
            SCOPED_TRACE(out.Options.constData());
            if (p.Path == ppPreset) {
                EXPECT_FALSE(out.Options.contains(" -r ")) << "the presets' rate is \"Auto\"";
            }
        }
    std::vector<std::string> failures;
    encoder.OnTerminate = TFFEncoder::TTerminateEvent::FromFunction([&](TObject*, const TTerminateInfo& info) {
        if (info.Failed)
            failures.push_back(std::to_string(info.TaskIndex) + ": " + info.ErrorMessage.toStdString());
    });
    encoder.StartTask(0);
    CheckSynchronize();
    EXPECT_TRUE(failures.empty()) << failures.front();
    for (const auto& [output, rate] : expected) {
        const QString probed = tool(QStringLiteral("ffprobe"), {"-v", "error", "-select_streams", "v:0", "-show_entries",
                                                               "stream=r_frame_rate", "-of", "csv=p=0", output});
        EXPECT_EQ(probed.section(QLatin1Char('\n'), 0, 0).section(QLatin1Char(','), 0, 0).toStdString(),
                  rate.toStdString())
            << output.toStdString();
    }
}

}  // namespace
