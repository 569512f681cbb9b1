// The job record's texts and the output names of a run: sizes and times as
// the list shows them, and names that never collide with each other, with
// existing files (unless overwriting) or with the run's inputs.
#include "app/OutFileData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/harness/CommaLocale.h"

namespace {

TEST(FormatFileSize, UnitsAndDecimals)
{
    const struct {
        int64_t bytes;
        const char* text;
    } cases[] = {
        {0, " b"},
        {1, "1 b"},
        {-5, "-5 b"},
        {1023, "1023 b"},
        {1024, "1 KB"},
        {1536, "1.5 KB"},
        {1126, "1.1 KB"},  // 1.0996 rounds to two decimals, trailing zero dropped
        {1048575, "1024 KB"},
        {1048576, "1 MB"},
        {1572864, "1.5 MB"},
        {1073741823, "1024 MB"},
        {1073741824, "1 GB"},
        {3221225472LL, "3 GB"},
        {int64_t(5) << 40, "5120 GB"},  // beyond 32 bits, no larger unit
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFileSize(c.bytes), QString::fromLatin1(c.text)) << c.bytes;

    // The process locale has no say in the decimal point.
    vorlane::test::ScopedCommaLocale comma;
    if (comma.Available()) {
        EXPECT_EQ(FormatFileSize(1536), QStringLiteral("1.5 KB"));
    }
}

TEST(FormatSeconds, HoursMinutesSeconds)
{
    const struct {
        int64_t seconds;
        const char* text;
    } cases[] = {
        {0, "00:00:00"},          {59, "00:00:59"},  {60, "00:01:00"},
        {3599, "00:59:59"},       {3725, "01:02:05"}, {86399, "23:59:59"},
        {360000, "100:00:00"},  // a part longer than two digits is kept whole
        {int64_t(1) << 33, "2386092:56:32"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatSeconds(c.seconds), QString::fromLatin1(c.text)) << c.seconds;
}

TEST(OutFileData, TargetSizeFollowsTheFrameSizeBoxWhileItIsEnabled)
{
    TOutFileData job{TOutputOptions{}, TInputOptions{}};
    TOptionValues v;
    v.SourceWidth = 352;
    v.SourceHeight = 288;
    v.cmbFrameSize.Text = QStringLiteral("Original");
    job.SetValues(v, false);
    EXPECT_EQ(job.TargetWidth, 352);
    EXPECT_EQ(job.TargetHeight, 288);

    // Editing keeps the source size the job was added with.
    v.SourceWidth = 1;
    v.SourceHeight = 1;
    v.cmbFrameSize.Text = QStringLiteral("640x480");
    job.SetValues(v, true);
    EXPECT_EQ(job.SourceWidth(), 352);
    EXPECT_EQ(job.SourceHeight(), 288);
    EXPECT_EQ(job.TargetWidth, 640);
    EXPECT_EQ(job.TargetHeight, 480);

    // A disabled box leaves the target alone.
    v.cmbFrameSize.Text = QStringLiteral("128x96");
    v.cmbFrameSize.Enabled = false;
    job.SetValues(v, true);
    EXPECT_EQ(job.TargetWidth, 640);
    EXPECT_EQ(job.TargetHeight, 480);
    EXPECT_EQ(job.FrameSizeText(), QStringLiteral("128x96"));
}

// Output names in a temporary folder: "in" holds inputs, "out" the outputs.
class OutputNamer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        ASSERT_TRUE(QDir(FDir.path()).mkpath(QStringLiteral("in/x")));
        ASSERT_TRUE(QDir(FDir.path()).mkpath(QStringLiteral("out")));
        out = FDir.filePath(QStringLiteral("out")) + u'/';
    }
    String path(const QString& relative) const { return FDir.filePath(relative); }
    void touch(const QString& relative) const
    {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << relative.toStdString();
        f.write("x");
    }
    // An MPEG-1 job's name for that input.
    static String mpeg(TOutputNamer& namer, const String& folder, const String& input)
    {
        return namer.MakeOutputFileName(folder, input, QStringLiteral("mpeg"), QStringLiteral("0"),
                                        QStringLiteral(".mpg"));
    }
    QTemporaryDir FDir;
    String out;
};

TEST_F(OutputNamer, AnExistingOutputIsNumberedUnlessOverwriting)
{
    const String input = path(QStringLiteral("in/a.avi"));
    touch(QStringLiteral("out/a.mpg"));
    {
        TOutputNamer namer({input}, false);
        EXPECT_EQ(mpeg(namer, out, input), out + QStringLiteral("a_(1).mpg"));
    }
    touch(QStringLiteral("out/a_(1).mpg"));
    {
        TOutputNamer namer({input}, false);
        EXPECT_EQ(mpeg(namer, out, input), out + QStringLiteral("a_(2).mpg"));
    }
    {
        TOutputNamer namer({input}, true);
        EXPECT_EQ(mpeg(namer, out, input), out + QStringLiteral("a.mpg"));
    }
    // Nothing was written or removed by naming.
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 2);
}

TEST_F(OutputNamer, JobsOfOneRunNeverShareAnOutput)
{
    const String a1 = path(QStringLiteral("in/a.avi"));
    const String a2 = path(QStringLiteral("in/x/a.avi"));
    for (const bool overwrite : {false, true}) {
        TOutputNamer namer({a1, a2, a1}, overwrite);
        EXPECT_EQ(mpeg(namer, out, a1), out + QStringLiteral("a.mpg")) << overwrite;
        EXPECT_EQ(mpeg(namer, out, a2), out + QStringLiteral("a_(1).mpg")) << overwrite;
        // The same file added twice.
        EXPECT_EQ(mpeg(namer, out, a1), out + QStringLiteral("a_(2).mpg")) << overwrite;
        // The same folder written another way is the same folder.
        EXPECT_EQ(mpeg(namer, out + QStringLiteral("../out/"), a1),
                  out + QStringLiteral("../out/a_(3).mpg")) << overwrite;
    }
}

TEST_F(OutputNamer, AnOutputNeverNamesAnInputOfTheRun)
{
    // An .mpg input that sits in the output folder, reached also through a
    // link to that folder.
    touch(QStringLiteral("out/m.mpg"));
    const String input = out + QStringLiteral("m.mpg");
    ASSERT_TRUE(QFile::link(path(QStringLiteral("out")), path(QStringLiteral("link"))));
    const String viaLink = path(QStringLiteral("link")) + u'/';
    for (const bool overwrite : {false, true}) {
        TOutputNamer namer({input, path(QStringLiteral("in/b.avi"))}, overwrite);
        EXPECT_EQ(mpeg(namer, out, input), out + QStringLiteral("m_(1).mpg")) << overwrite;
        EXPECT_EQ(mpeg(namer, viaLink, input), viaLink + QStringLiteral("m_(2).mpg")) << overwrite;
        // An input of the run that is not on disk (yet) is never an output either.
        EXPECT_EQ(namer.MakeOutputFileName(path(QStringLiteral("in/")), path(QStringLiteral("in/b.mpg")),
                                           QStringLiteral("mpeg"), QStringLiteral("0"), QStringLiteral(".avi")),
                  path(QStringLiteral("in/b_(1).avi")))
            << overwrite;
    }
    QFile f(input);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("x"));
}

TEST_F(OutputNamer, AnInputReachedByAnotherNameIsNeverAnOutput)
{
    // With overwriting on, the existing name in the output folder would be
    // kept; here it is the input itself under a symbolic or a hard link.
    touch(QStringLiteral("in/s.mpg"));
    touch(QStringLiteral("in/h.mpg"));
    const String symInput = path(QStringLiteral("in/s.mpg"));
    const String hardInput = path(QStringLiteral("in/h.mpg"));
    ASSERT_TRUE(QFile::link(symInput, out + QStringLiteral("s.mpg")));
    ASSERT_EQ(::link(QFile::encodeName(hardInput).constData(), QFile::encodeName(out + QStringLiteral("h.mpg")).constData()), 0);
    TOutputNamer namer({symInput, hardInput}, true);
    EXPECT_EQ(mpeg(namer, out, symInput), out + QStringLiteral("s_(1).mpg"));
    EXPECT_EQ(mpeg(namer, out, hardInput), out + QStringLiteral("h_(1).mpg"));
    // A name given back is free again.
    namer.Release(out + QStringLiteral("h_(1).mpg"));
    EXPECT_EQ(mpeg(namer, out, hardInput), out + QStringLiteral("h_(1).mpg"));
}

TEST_F(OutputNamer, TvSuffixForDiscTargetsOnly)
{
    const struct {
        const char* output;
        const char* tvType;
        const char* name;
    } cases[] = {
        {"vcd", "0", "c_pal.mpg"},  {"vcd", "1", "c_ntsc.mpg"}, {"svcd", "0", "c_pal.mpg"},
        {"svcd", "1", "c_ntsc.mpg"}, {"dvd", "1", "c_ntsc.mpg"}, {"dvd", "0", "c_pal.mpg"},
        {"mpeg", "1", "c.mpg"},     {"", "0", "c.mpg"},          {"vcd", "-1", "c.mpg"},
    };
    const String input = path(QStringLiteral("in/c.avi"));
    for (const auto& c : cases) {
        TOutputNamer namer({input}, false);
        EXPECT_EQ(namer.MakeOutputFileName(out, input, QString::fromLatin1(c.output), QString::fromLatin1(c.tvType),
                                           QStringLiteral(".mpg")),
                  out + QString::fromLatin1(c.name))
            << c.output << " " << c.tvType;
    }
    // The number follows the suffix; only the last extension of the input goes.
    touch(QStringLiteral("out/c_ntsc.mpg"));
    TOutputNamer namer({input}, false);
    EXPECT_EQ(namer.MakeOutputFileName(out, input, QStringLiteral("vcd"), QStringLiteral("1"), QStringLiteral(".mpg")),
              out + QStringLiteral("c_ntsc_(1).mpg"));
    EXPECT_EQ(mpeg(namer, out, path(QStringLiteral("in/my.clip.avi"))), out + QStringLiteral("my.clip.mpg"));
}

}  // namespace
