// Whole conversions by one task, inline: byte parity with the tool, the
// frame-rate rules, stream copy, set-up failures, stop and the output file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

#include <unistd.h>

#include "engine/FFLoad.h"
#include "engine/FFmpeg.h"
#include "platform/rtl/Thread.h"
#include "tests/engine/Authoring.h"
#include "tests/harness/Fixtures.h"

namespace {

String fixture(const char* name)
{
    return QString::fromStdString(vorlane::test::FixturePath(name));
}

QByteArray readAll(const String& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const String& name, const QByteArray& data)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QString tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

int countFrames(const String& file)
{
    return tool(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                                            QStringLiteral("-select_streams"), QStringLiteral("v:0"),
                                            QStringLiteral("-show_entries"), QStringLiteral("stream=nb_read_frames"),
                                            QStringLiteral("-of"), QStringLiteral("csv=p=0"), file})
        .section(QLatin1Char('\n'), 0, 0)
        .section(QLatin1Char(','), 0, 0)
        .toInt();
}

QStringList packetTimes(const String& file)
{
    return tool(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                                            QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                                            QStringLiteral("packet=pts_time,flags"), QStringLiteral("-of"),
                                            QStringLiteral("csv=p=0"), file})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// What a task did: the error text of a failed set-up or run, empty otherwise.
struct TRunResult {
    String Error;
    bool Finished = false;
    bool Failed = false;
    int Dup = 0;
    int Drop = 0;
};

class TTestTask : public TCustomFFmpeg {
public:
    using TCustomFFmpeg::FSourceStreams;
    using TCustomFFmpeg::FTargetFiles;
};

TRunResult convert(const String& input, const AnsiString& outputOptions, const String& output,
                   const std::function<void(TTestTask&)>& prepare = {})
{
    TRunResult result;
    TTestTask task;
    try {
        if (task.OpenInput(nullptr, input) < 0)
            throw Exception(task.LastErrorText());
        task.ParseOptions(outputOptions);
        if (task.OpenOutput(output) < 0)
            throw Exception(task.LastErrorText());
    } catch (const Exception& e) {
        result.Error = e.Message();
        result.Failed = true;
        return result;
    }
    if (prepare)
        prepare(task);
    task.Start();
    result.Failed = task.Failed();
    result.Error = task.ErrorMessage();
    result.Finished = task.Finished();
    result.Dup = task.DupFrames();
    result.Drop = task.DropFrames();
    return result;
}

class FFmpegTaskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(EncoderLibraries)) << FFLoader()->LastError().toStdString();
        ASSERT_TRUE(FDir.isValid());
    }
    void TearDown() override
    {
        CheckSynchronize();
        FFLoader()->UnloadLibs(EncoderLibraries);
    }
    String path(const char* name) const { return FDir.filePath(String::fromUtf8(name)); }
    QStringList entries() const { return QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir FDir;
};

TEST_F(FFmpegTaskTest, MpegVideoIsByteForByteTheToolsOutput)
{
    struct Case {
        const char* Format;
        const char* Codec;
        const char* Name;
    } cases[] = {{"mpeg1video", "mpeg1video", "a.m1v"},
                 {"mpeg2video", "mpeg2video", "a.m2v"},
                 {"mpeg", "mpeg1video", "a.mpg"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Format);
        const AnsiString options = AnsiString("-an -f ") + c.Format + " -c:v " + c.Codec +
                                   " -b:v 1024k -r 25 -vf scale=352:288 -threads 1";
        const TRunResult r = convert(fixture("h264_aac_640.mp4"), options, path(c.Name));
        ASSERT_FALSE(r.Failed) << r.Error.toStdString();
        EXPECT_TRUE(r.Finished);
        const String reference = path("reference");
        QStringList args = {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                            QStringLiteral("-y"), QStringLiteral("-i"), fixture("h264_aac_640.mp4"),
                            QStringLiteral("-threads"), QStringLiteral("1")};
        args += QString::fromLatin1(options).split(QLatin1Char(' '));
        args.removeAt(args.indexOf(QStringLiteral("-threads"), 8));  // given once above
        args.removeAt(args.indexOf(QStringLiteral("1"), 8));
        args << reference;
        tool(QStringLiteral("ffmpeg"), args);
        const QByteArray expected = readAll(reference);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_TRUE(readAll(path(c.Name)) == expected) << "sizes " << readAll(path(c.Name)).size() << " and "
                                                       << expected.size();
    }
}

TEST_F(FFmpegTaskTest, HalfRateInputIsDuplicatedFrameByFrame)
{
    const TRunResult r = convert(fixture("rate12_5.avi"), "-f mpeg1video -c:v mpeg1video -r 25", path("d.m1v"));
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_EQ(r.Dup, 25);  // one for each of the 25 input pictures
    EXPECT_EQ(r.Drop, 0);
    EXPECT_EQ(countFrames(path("d.m1v")), 50);
}

TEST_F(FFmpegTaskTest, AFrameLimitEndsTheStreamWithoutCountingTheRest)
{
    const TRunResult r = convert(fixture("gop12.mp4"), "-frames:v 10 -f mpeg1video -c:v mpeg1video", path("f.m1v"));
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_TRUE(r.Finished);
    EXPECT_EQ(r.Dup + r.Drop, 0);
    EXPECT_EQ(countFrames(path("f.m1v")), 10);
}

TEST_F(FFmpegTaskTest, VariableRateBecomesConstantRate)
{
    const TRunResult r = convert(fixture("vfr.mkv"), "-vsync 1 -r 25 -c:v mpeg4", path("c.mkv"));
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_EQ(r.Dup, 18);  // two pictures fill each of the nine 120 ms gaps
    const QStringList packets = packetTimes(path("c.mkv"));
    ASSERT_EQ(packets.size(), 30 + 18);
    for (int i = 0; i < packets.size(); ++i)
        EXPECT_NEAR(packets[i].section(QLatin1Char(','), 0, 0).toDouble(), i * 0.04, 1e-6) << i;
}

TEST_F(FFmpegTaskTest, StreamCopyOfATransportStreamStartsAtTheFirstKeyFrame)
{
    const TRunResult r = convert(fixture("nokeystart.ts"), "-c copy", path("copy.ts"));
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_TRUE(r.Finished);
    const QStringList packets = packetTimes(path("copy.ts"));
    ASSERT_FALSE(packets.isEmpty());
    EXPECT_TRUE(packets.first().contains(QLatin1Char('K'))) << packets.first().toStdString();
    // The cut input's pictures before its first key frame are dropped.
    const int inputPictures = packetTimes(fixture("nokeystart.ts")).size();
    EXPECT_LT(packets.size(), inputPictures);
    EXPECT_EQ(countFrames(path("copy.ts")), packets.size());
}

TEST_F(FFmpegTaskTest, SetUpFailuresKeepTheExistingFileAndLeaveNothingElse)
{
    AnsiString matrix63;
    for (int i = 0; i < 63; ++i)
        matrix63 += (i ? "," : "") + AnsiString::number(16 + i);
    struct Case {
        const char* Input;
        AnsiString Options;
        String Error;
    } cases[] = {
        {"gop12.mp4", "-vn -f mpeg1video", QStringLiteral("Output file #0 does not contain any stream")},
        {"gop12.mp4", "-c:v nosuchencoder", QStringLiteral("Unknown encoder 'nosuchencoder'")},
        {"gop12.mp4", "-r abc", QStringLiteral("Invalid framerate value: abc")},
        {"gop12.mp4", "-map 5", QStringLiteral("Invalid input file index: 5.")},
        {"gop12.mp4", "-intra_matrix " + matrix63,
         QStringLiteral("Syntax error in matrix \"%1\" at coeff 62").arg(QString::fromLatin1(matrix63))},
        {"h264_aac.mp4", "-c:v mpeg4 -c:a copy -vol 300",
         QStringLiteral("-acodec copy and -vol are incompatible (frames are not decoded)")},
    };
    const String output = path("out.avi");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Options.constData());
        writeFile(output, "the old file");
        const TRunResult r = convert(fixture(c.Input), c.Options, output);
        EXPECT_TRUE(r.Failed);
        EXPECT_EQ(r.Error, c.Error);
        EXPECT_EQ(readAll(output), QByteArray("the old file"));
        EXPECT_EQ(entries(), QStringList{QStringLiteral("out.avi")});
    }
}

TEST_F(FFmpegTaskTest, NoOverwriteRefusesAnExistingOutput)
{
    const String output = path("kept.m1v");
    writeFile(output, "keep me");
    const TRunResult r = convert(fixture("gop12.mp4"), "-n -f mpeg1video", output);
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.Error, QStringLiteral("File \"%1\" already exists and overwriting is switched off (-n).").arg(output));
    EXPECT_EQ(readAll(output), QByteArray("keep me"));
    EXPECT_EQ(entries().size(), 1);
}

TEST_F(FFmpegTaskTest, TheOutputAppearsOnlyWhenTheTaskEnds)
{
    const String output = path("late.m1v");
    writeFile(output, "replaced at the end");
    int reports = 0;
    bool finalNameUntouched = true;
    int temporaryFiles = 0;
    const TRunResult r = convert(fixture("h264_aac.mp4"), "-an -f mpeg1video", output, [&](TTestTask& task) {
        task.SetProgressInterval(0);
        task.OnProgress = TProgressEvent::FromFunction(
            [&](TObject*, int, int, int, float, float, int64_t, int64_t, int64_t) {
                ++reports;
                finalNameUntouched = finalNameUntouched && readAll(output) == "replaced at the end";
                temporaryFiles = std::max(temporaryFiles, int(entries().size()) - 1);
            });
    });
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_GT(reports, 1);
    EXPECT_TRUE(finalNameUntouched);
    EXPECT_EQ(temporaryFiles, 1);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("late.m1v")});
    EXPECT_EQ(countFrames(output), 75);
}

TEST_F(FFmpegTaskTest, ADvdStoppedAtTheTenthReportIsWholeAndAuthorable)
{
    const String output = path("stopped.mpg");
    int reports = 0;
    int reportedFrames = -1;
    const TRunResult r = convert(fixture("gop12.mp4"), "-target pal-dvd -threads 1", output, [&](TTestTask& task) {
        task.SetProgressInterval(0);
        task.OnProgress = TProgressEvent::FromFunction(
            [&, t = &task](TObject*, int fileIndex, int frame, int, float, float, int64_t, int64_t, int64_t) {
                if (fileIndex >= 0 && ++reports == 10) {
                    reportedFrames = frame;
                    t->Stop();
                }
            });
    });
    EXPECT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_FALSE(r.Finished);
    ASSERT_GT(reportedFrames, 0);
    const int frames = countFrames(output);
    EXPECT_GE(frames, reportedFrames);
    EXPECT_LT(frames, 250);  // the 10 s input was not converted to its end
    // Whole sectors only: nothing follows the muxer's last pack.
    EXPECT_EQ(readAll(output).size() % 2048, 0);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("stopped.mpg")});
    const String authored = vorlane::test::dvdAuthor(output, path("dvd"), QStringLiteral("PAL"));
    EXPECT_TRUE(authored.isEmpty()) << authored.toStdString();
}

TEST_F(FFmpegTaskTest, NamesWithSpacesAndNonAsciiCharactersConvert)
{
    const String input = path("vidéo ümlaut 日本.mp4");
    ASSERT_TRUE(QFile::copy(fixture("h264_aac.mp4"), input));
    const String output = path("sortie été 日本 out.m2v");
    const TRunResult r = convert(input, "-an -f mpeg2video -c:v mpeg2video", output);
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_EQ(countFrames(output), 75);
    EXPECT_EQ(entries().size(), 2);
}

// The hidden name an output is written under fits the folder's limit, so
// the longest names convert.
TEST_F(FFmpegTaskTest, OutputNamesUpToTheFoldersLimitConvert)
{
    for (const String& name : {String(QString(125, QChar(0xE9)) + QStringLiteral("x.m1v")),  // 255 bytes
                               String(QString(237, QLatin1Char('a')) + QStringLiteral(".m1v"))}) {
        SCOPED_TRACE(name.toUtf8().size());
        const TRunResult r = convert(fixture("gop12.mp4"), "-t 0.4 -f mpeg1video", path(name.toUtf8().constData()));
        ASSERT_FALSE(r.Failed) << r.Error.toStdString();
        EXPECT_EQ(countFrames(path(name.toUtf8().constData())), 10);
        EXPECT_EQ(entries(), QStringList{name});
        QFile::remove(path(name.toUtf8().constData()));
    }
}

// Writing through a symbolic link fills the file it names, in its own
// folder, and the link stays a link; a dangling link gets its file.
TEST_F(FFmpegTaskTest, AnOutputThatIsASymbolicLinkFillsItsTarget)
{
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("real")));
    const String existing = path("real/old.m1v");
    writeFile(existing, "replaced");
    ASSERT_EQ(::symlink(existing.toUtf8().constData(), path("toold.m1v").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink("real/new.m1v", path("tonew.m1v").toUtf8().constData()), 0);
    for (const char* link : {"toold.m1v", "tonew.m1v"}) {
        SCOPED_TRACE(link);
        const TRunResult r = convert(fixture("gop12.mp4"), "-t 0.4 -f mpeg1video", path(link));
        ASSERT_FALSE(r.Failed) << r.Error.toStdString();
        EXPECT_TRUE(QFileInfo(path(link)).isSymLink());
        EXPECT_EQ(countFrames(path(link)), 10);
    }
    EXPECT_EQ(countFrames(path("real/old.m1v")), 10);
    EXPECT_EQ(countFrames(path("real/new.m1v")), 10);
    EXPECT_EQ(QDir(path("real")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("new.m1v"), QStringLiteral("old.m1v")}));
}

TEST_F(FFmpegTaskTest, StartWithoutOutputFailsOnceWithThePartsText)
{
    TCustomFFmpeg task;
    ASSERT_GE(task.OpenInput(nullptr, fixture("gop12.mp4")), 0);
    int terminates = 0;
    task.OnTerminate = TTerminateEvent::FromFunction([&](TObject*) { ++terminates; });
    task.Start();
    task.Start();  // an ended task never runs again
    EXPECT_EQ(terminates, 1);
    EXPECT_TRUE(task.Failed());
    EXPECT_EQ(task.ErrorMessage(), QStringLiteral("At least one output file must be specified"));
}

TEST_F(FFmpegTaskTest, ATaskThatNeverRunsRemovesItsTemporaryFile)
{
    {
        TCustomFFmpeg task;
        ASSERT_GE(task.OpenInput(nullptr, fixture("gop12.mp4")), 0);
        task.ParseOptions("-f mpeg1video");
        ASSERT_EQ(task.OpenOutput(path("never.m1v")), 0);
        EXPECT_EQ(entries().size(), 1);  // the temporary file
    }
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(FFmpegTaskTest, AMissingInputGivesTheLibrariesTextForTheFile)
{
    TCustomFFmpeg task;
    EXPECT_LT(task.OpenInput(nullptr, path("missing.mp4")), 0);
    EXPECT_EQ(task.LastErrorText(), path("missing.mp4") + QStringLiteral(": No such file or directory"));
    task.ParseOptions("-f nosuchformat");
    EXPECT_EQ(task.OpenInput(nullptr, fixture("gop12.mp4")), AVERROR(EINVAL));
    EXPECT_EQ(task.LastErrorText(), QStringLiteral("Unknown input format: \"nosuchformat\""));
}

// A program stream announces no streams in its header: they are found while
// probing, and each of them still gets its decoder.
TEST_F(FFmpegTaskTest, StreamsFoundWhileProbingAreDecoded)
{
    TTestTask task;
    ASSERT_GE(task.OpenInput(nullptr, fixture("program.mpg")), 0) << task.LastErrorText().toStdString();
    ASSERT_EQ(task.SourceStreamCount(), 2);
    for (const TSourceStream& ist : task.FSourceStreams)
        EXPECT_NE(ist.Decoder, nullptr) << ist.Stream->index;

    const String output = path("from_program.avi");
    const TRunResult r = convert(fixture("program.mpg"), "-c:v mpeg4 -c:a mp2 -threads 1", output);
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_NEAR(countFrames(output), 25, 1);
    EXPECT_EQ(tool(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                               QStringLiteral("stream=codec_name"), QStringLiteral("-of"),
                                               QStringLiteral("csv=p=0"), output}),
              QStringLiteral("mpeg4\nmp2"));
}

}  // namespace
