// The engine's own filters: the equalizers against a reference of their
// formulas, rotation against the tool's exact transposes, argument parsing
// with its log lines, and chains that mix them with library filters.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <mutex>

#include "engine/AVUtilStubs.h"
#include "engine/FFLoad.h"
#include "engine/FFLog.h"
#include "engine/FFOwnFilters.h"
#include "engine/FFmpeg.h"
#include "platform/rtl/Thread.h"
#include "tests/harness/Fixtures.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

// ---- frames -------------------------------------------------------------------------

TFramePtr makeFrame(AVPixelFormat format, int width, int height, uint32_t seed)
{
    TFramePtr frame(ff::av_frame_alloc());
    frame->format = format;
    frame->width = width;
    frame->height = height;
    EXPECT_GE(ff::av_frame_get_buffer(frame.get(), 0), 0);
    const AVPixFmtDescriptor* desc = ff::av_pix_fmt_desc_get(format);
    for (int p = 0; p < 3; ++p) {
        const int w = p ? -((-width) >> desc->log2_chroma_w) : width;
        const int h = p ? -((-height) >> desc->log2_chroma_h) : height;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                seed = seed * 1664525u + 1013904223u;
                // The first row holds the extremes, the rest is noise.
                const uint8_t v = y == 0 ? uint8_t(x % 2 ? 255 : 0) : uint8_t(seed >> 24);
                frame->data[p][ptrdiff_t(y) * frame->linesize[p] + x] = v;
            }
    }
    return frame;
}

struct TPlanes {
    std::vector<uint8_t> Data[3];
    int Width[3] = {}, Height[3] = {};
};

TPlanes planesOf(const AVFrame* frame)
{
    TPlanes planes;
    const AVPixFmtDescriptor* desc = ff::av_pix_fmt_desc_get(AVPixelFormat(frame->format));
    for (int p = 0; p < 3; ++p) {
        const int w = p ? -((-frame->width) >> desc->log2_chroma_w) : frame->width;
        const int h = p ? -((-frame->height) >> desc->log2_chroma_h) : frame->height;
        planes.Width[p] = w;
        planes.Height[p] = h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                planes.Data[p].push_back(frame->data[p][ptrdiff_t(y) * frame->linesize[p] + x]);
    }
    return planes;
}

size_t differingBytes(const TPlanes& a, const TPlanes& b)
{
    size_t n = 0;
    for (int p = 0; p < 3; ++p) {
        if (a.Data[p].size() != b.Data[p].size())
            return SIZE_MAX;
        for (size_t i = 0; i < a.Data[p].size(); ++i)
            n += a.Data[p][i] != b.Data[p][i];
    }
    return n;
}

// ---- the formulas, written out once more --------------------------------------------

uint8_t clip8(int64_t v)
{
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

void referenceHue(TPlanes& planes, int hue, int sat)
{
    if (hue == 0 && sat == 0)
        return;
    const double angle = double(hue) * M_PI / 100.0;
    const double gain = double(sat + 100) / 100.0;
    const int64_t s = int64_t(std::floor(std::sin(angle) * 65536.0 * gain + 0.5));
    const int64_t c = int64_t(std::floor(std::cos(angle) * 65536.0 * gain + 0.5));
    for (size_t i = 0; i < planes.Data[1].size(); ++i) {
        const int64_t u = int64_t(planes.Data[1][i]) - 128, v = int64_t(planes.Data[2][i]) - 128;
        const int64_t half = 128 * 65536 + 32768;
        planes.Data[1][i] = clip8((c * u - s * v + half) >> 16);
        planes.Data[2][i] = clip8((s * u + c * v + half) >> 16);
    }
}

void referenceEq(TPlanes& planes, int brightness, int contrast)
{
    if (brightness == 0 && contrast == 0)
        return;
    const int64_t k = (int64_t(contrast + 100) * 65536) / 100;
    const int64_t b = (int64_t(brightness + 100) * 511) / 200 - 128 - (k >> 9);
    for (uint8_t& p : planes.Data[0])
        p = clip8(((int64_t(p) * k) >> 16) + b);
}

// ---- running the tool and the task --------------------------------------------------

String fixture(const char* name)
{
    return QString::fromStdString(vorlane::test::FixturePath(name));
}

QByteArray readAll(const String& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The tool's raw yuv420p frames of input through the filter chain (none when empty).
QByteArray toolFrames(const String& input, const QString& chain)
{
    QStringList args{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-threads"), QStringLiteral("1"),
                     QStringLiteral("-i"), input, QStringLiteral("-an")};
    if (!chain.isEmpty())
        args << QStringLiteral("-vf") << chain;
    args << QStringLiteral("-f") << QStringLiteral("rawvideo") << QStringLiteral("-pix_fmt")
         << QStringLiteral("yuv420p") << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), args);
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

// The task's raw yuv420p frames of input with the given -vf chain; empty
// with error set when the task fails.
QByteArray taskFrames(const String& input, const AnsiString& chain, const String& output, String& error)
{
    TCustomFFmpeg task;
    try {
        if (task.OpenInput(nullptr, input) < 0)
            throw Exception(task.LastErrorText());
        task.ParseOptions("-an -vf " + chain + " -f rawvideo -c:v rawvideo -pix_fmt yuv420p -threads 1");
        if (task.OpenOutput(output) < 0)
            throw Exception(task.LastErrorText());
    } catch (const Exception& e) {
        error = e.Message();
        return {};
    }
    task.Start();
    if (task.Failed()) {
        error = task.ErrorMessage();
        return {};
    }
    return readAll(output);
}

class OwnFiltersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(EncoderLibraries)) << FFLoader()->LastError().toStdString();
        ASSERT_TRUE(FDir.isValid());
        FLogger = std::make_unique<TFFLogger>(nullptr);
        FLogger->SetLogLevel(llInfo);
        FLogger->OnLog = TLogEvent::FromFunction([this](TObject*, uint32_t, TLogLevel level, const String& text) {
            const std::lock_guard guard(FLock);
            if (level <= llError)
                FErrors.push_back(text);
        });
    }
    void TearDown() override
    {
        while (CheckSynchronize()) {
        }
        FLogger.reset();
        FFLoader()->UnloadLibs(EncoderLibraries);
    }
    std::vector<String> errors()
    {
        while (CheckSynchronize()) {
        }
        const std::lock_guard guard(FLock);
        return std::exchange(FErrors, {});
    }
    String path(const char* name) const { return FDir.filePath(String::fromUtf8(name)); }

    QTemporaryDir FDir;
    std::unique_ptr<TFFLogger> FLogger;
    std::mutex FLock;
    std::vector<String> FErrors;
};

// ---- the equalizers -----------------------------------------------------------------

TEST_F(OwnFiltersTest, EqualizersMatchTheirFormulasByteForByte)
{
    struct Case {
        const char* Args;
        int First, Second;  // after clamping
    } cases[] = {{"0:0", 0, 0},     {"30:50", 30, 50},     {"-100:-100", -100, -100}, {"0:100", 0, 100},
                 {"100:0", 100, 0}, {" 45 : -10 ", 45, -10}, {"-73:", -73, 0},         {"150:0", 100, 0},
                 {"0:-101", 0, -100}};
    const struct {
        AVPixelFormat Format;
        int Width, Height;
    } shapes[] = {{AV_PIX_FMT_YUV420P, 64, 48}, {AV_PIX_FMT_YUV422P, 30, 16}, {AV_PIX_FMT_YUV420P, 33, 17},
                  {AV_PIX_FMT_YUVJ444P, 20, 10}};
    for (const Case& c : cases)
        for (const auto& shape : shapes)
            for (const bool hue : {true, false}) {
                SCOPED_TRACE(std::string(hue ? "nativehue=" : "nativeeq=") + c.Args + " " +
                             ff::av_get_pix_fmt_name(shape.Format) + " " + std::to_string(shape.Width) + "x" +
                             std::to_string(shape.Height));
                TFramePtr frame = makeFrame(shape.Format, shape.Width, shape.Height, 7u + uint32_t(shape.Width));
                TPlanes expected = planesOf(frame.get());
                std::unique_ptr<TOwnVideoFilter> filter = CreateOwnFilter(hue ? "nativehue" : "nativeeq");
                ASSERT_EQ(filter->Init(c.Args), 0);
                ASSERT_EQ(filter->ConfigInput(shape.Format, shape.Width, shape.Height), 0);
                ASSERT_EQ(filter->FilterFrame(frame), 0);
                if (hue)
                    referenceHue(expected, c.First, c.Second);
                else
                    referenceEq(expected, c.First, c.Second);
                EXPECT_EQ(differingBytes(planesOf(frame.get()), expected), 0u);
            }
    errors();
}

TEST_F(OwnFiltersTest, ZeroValuesInstallNoRoutineAndLeaveTheFrameAlone)
{
    for (const char* name : {"nativehue", "nativeeq"}) {
        std::unique_ptr<TOwnVideoFilter> filter = CreateOwnFilter(name);
        ASSERT_EQ(filter->Init("0:0"), 0);
        EXPECT_FALSE(name == AnsiString("nativehue") ? static_cast<TNativeHueFilter&>(*filter).Process
                                                     : static_cast<TNativeEqFilter&>(*filter).Process);
        TFramePtr frame = makeFrame(AV_PIX_FMT_YUV420P, 16, 16, 3);
        const AVFrame* before = frame.get();
        const TPlanes planes = planesOf(frame.get());
        ASSERT_EQ(filter->FilterFrame(frame), 0);
        EXPECT_EQ(frame.get(), before);
        EXPECT_EQ(differingBytes(planesOf(frame.get()), planes), 0u);
    }
}

TEST_F(OwnFiltersTest, OutOfRangeValuesAreClampedWithTheirLogLines)
{
    struct Case {
        const char* Name;
        const char* Args;
        std::vector<const char*> Lines;
    } cases[] = {
        {"nativehue", "150:20", {"Invalid hue value 150, force to 100"}},
        {"nativehue", "-3:-250", {"Invalid saturation value -250, force to -100"}},
        {"nativehue",
         "-101:101",
         {"Invalid hue value -101, force to -100", "Invalid saturation value 101, force to 100"}},
        {"nativeeq", "150:0", {"Invalid brightness value 150, force to 100"}},
        {"nativeeq", "7:-400", {"Invalid contrast value -400, force to -100"}},
        {"nativeeq", "100:-100", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + "=" + c.Args);
        std::unique_ptr<TOwnVideoFilter> filter = CreateOwnFilter(c.Name);
        ASSERT_EQ(filter->Init(c.Args), 0);
        std::vector<String> expected;
        for (const char* line : c.Lines)
            expected.push_back(String::fromUtf8(line));
        EXPECT_EQ(errors(), expected);
    }
    // The clamped brightness brightens as 100 does.
    TNativeEqFilter clamped, limit;
    ASSERT_EQ(clamped.Init("150:0"), 0);
    ASSERT_EQ(limit.Init("100:0"), 0);
    TFramePtr a = makeFrame(AV_PIX_FMT_YUV420P, 16, 16, 9), b = makeFrame(AV_PIX_FMT_YUV420P, 16, 16, 9);
    ASSERT_EQ(clamped.FilterFrame(a), 0);
    ASSERT_EQ(limit.FilterFrame(b), 0);
    EXPECT_EQ(differingBytes(planesOf(a.get()), planesOf(b.get())), 0u);
    errors();
}

TEST_F(OwnFiltersTest, BadArgumentsAndValueAddressesFailInit)
{
    struct Case {
        const char* Name;
        const char* Args;
        int Result;
        const char* Line;  // the start of the logged line, or nullptr
    } cases[] = {
        {"nativehue", "abc", -1, "failed to parsing parameters: 'abc' is not a valid integer value"},
        {"nativeeq", "1:2z", -1, "failed to parsing parameters: '2z' is not a valid integer value"},
        // The form that read and wrote a process address is gone.
        {"nativeeq", "1:2:140737488355328", -1, "failed to parsing parameters: '140737488355328'"},
        {"nativehue", "1:2:0:4096", -1, "failed to parsing parameters: '4096'"},
        {"nativehue", "1:2:0:0", 0, nullptr},
        {"rotate", "abc", AVERROR(EINVAL), nullptr},
        {"rotate", "", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + "=" + c.Args);
        std::unique_ptr<TOwnVideoFilter> filter = CreateOwnFilter(c.Name);
        EXPECT_EQ(filter->Init(c.Args), c.Result);
        const std::vector<String> lines = errors();
        if (c.Line) {
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_TRUE(lines[0].startsWith(String::fromUtf8(c.Line))) << lines[0].toStdString();
        } else {
            EXPECT_TRUE(lines.empty());
        }
    }
}

// ---- rotate -------------------------------------------------------------------------

TEST_F(OwnFiltersTest, RotateSizesAndAspect)
{
    struct Case {
        const char* Args;
        int W, H, OutW, OutH;
        AVRational Sar, OutSar;
    } cases[] = {
        {"", 100, 100, 141, 141, {1, 1}, {1, 1}},
        {"90", 320, 240, 240, 320, {16, 15}, {15, 16}},
        {"-90", 320, 240, 240, 320, {16, 15}, {15, 16}},
        {"270", 320, 240, 240, 320, {64, 45}, {45, 64}},
        {"180", 320, 240, 320, 240, {64, 45}, {64, 45}},
        {"0", 320, 240, 320, 240, {16, 15}, {16, 15}},
        {"30", 320, 240, 397, 367, {16, 15}, {16, 15}},
        {"90", 320, 240, 240, 320, {0, 1}, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("rotate=") + c.Args);
        TRotateFilter rotate;
        ASSERT_EQ(rotate.Init(c.Args), 0);
        ASSERT_EQ(rotate.ConfigInput(AV_PIX_FMT_YUV420P, c.W, c.H), 0);
        EXPECT_EQ(rotate.OutputWidth(), c.OutW);
        EXPECT_EQ(rotate.OutputHeight(), c.OutH);
        TFramePtr frame = makeFrame(AV_PIX_FMT_YUV420P, c.W, c.H, 1);
        frame->sample_aspect_ratio = c.Sar;
        frame->pts = 1234;
        ASSERT_EQ(rotate.FilterFrame(frame), 0);
        EXPECT_EQ(frame->width, c.OutW);
        EXPECT_EQ(frame->height, c.OutH);
        EXPECT_EQ(frame->pts, 1234);
        EXPECT_EQ(frame->sample_aspect_ratio.num, c.OutSar.num);
        EXPECT_EQ(frame->sample_aspect_ratio.den, c.OutSar.den);
    }
}

TEST_F(OwnFiltersTest, OtherAnglesKeepTheWholePictureInsideTheFrame)
{
    for (const int angle : {30, 45, 135, -60, 200}) {
        SCOPED_TRACE(angle);
        const int w = 96, h = 64;
        TFramePtr frame = makeFrame(AV_PIX_FMT_YUV420P, w, h, 5);
        // Luma never equals the fill value, so every picture sample is seen.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t& v = frame->data[0][y * frame->linesize[0] + x];
                v = uint8_t(17 + v % 200);
            }
        TRotateFilter rotate;
        ASSERT_EQ(rotate.Init(AnsiString::number(angle)), 0);
        ASSERT_EQ(rotate.ConfigInput(AV_PIX_FMT_YUV420P, w, h), 0);
        ASSERT_EQ(rotate.FilterFrame(frame), 0);
        const int ow = frame->width, oh = frame->height;
        int picture = 0;
        bool top = false, bottom = false, left = false, right = false;
        for (int i = 0; i < oh; ++i)
            for (int j = 0; j < ow; ++j)
                if (frame->data[0][i * frame->linesize[0] + j] != 16) {
                    ++picture;
                    top |= i == 0;
                    bottom |= i == oh - 1;
                    left |= j == 0;
                    right |= j == ow - 1;
                }
        // Nearest-neighbour sampling keeps the area up to the border pixels.
        EXPECT_NEAR(picture, w * h, 2 * (w + h));
        // The picture reaches every edge: the frame is no larger than needed.
        EXPECT_TRUE(top && bottom && left && right);
        // No input corner lands outside the frame.
        for (const auto& [x, y] : {std::pair{0.0, 0.0}, {double(w), 0.0}, {0.0, double(h)}, {double(w), double(h)}}) {
            const double i = rotate.SinX * x + rotate.CosX * y + rotate.TransY;
            const double j = rotate.CosX * x - rotate.SinX * y + rotate.TransX;
            EXPECT_GT(i, -1e-9);
            EXPECT_GT(j, -1e-9);
            EXPECT_LT(i, oh + 1.0);
            EXPECT_LT(j, ow + 1.0);
        }
    }
}

// ---- whole conversions against the tool ---------------------------------------------

TEST_F(OwnFiltersTest, QuarterAndHalfTurnsEqualTheToolsTransposes)
{
    const struct {
        const char* Ours;
        const char* Tool;
    } cases[] = {{"rotate=90", "transpose=clock"},
                 {"rotate=-90", "transpose=cclock"},
                 {"rotate=180", "hflip,vflip"},
                 {"hflip,rotate=90,vflip", "hflip,transpose=clock,vflip"},
                 {"rotate=90,rotate=-90", "null"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Ours);
        String error;
        const QByteArray ours = taskFrames(fixture("h264_aac.mp4"), c.Ours, path("rot.yuv"), error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        const QByteArray tool = toolFrames(fixture("h264_aac.mp4"), QString::fromLatin1(c.Tool));
        ASSERT_EQ(ours.size(), 320 * 240 * 3 / 2 * 75);
        EXPECT_TRUE(ours == tool);
    }
}

TEST_F(OwnFiltersTest, EqualizersInAChainMatchTheReferenceOnDecodedFrames)
{
    const int w = 320, h = 240, frameSize = w * h * 3 / 2;
    const QByteArray decoded = toolFrames(fixture("h264_aac.mp4"), QStringLiteral("hflip"));
    ASSERT_EQ(decoded.size(), frameSize * 75);
    const struct {
        const char* Chain;
        int Hue, Sat, Brightness, Contrast;
    } cases[] = {{"hflip,nativehue=30:50", 30, 50, 0, 0},
                 {"hflip,nativeeq=20:-30", 0, 0, 20, -30},
                 {"hflip,nativeeq=150:0,nativehue=-40:-20", -40, -20, 100, 0},
                 {"nativeeq=0:0,hflip,nativehue=0:0", 0, 0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Chain);
        String error;
        const QByteArray ours = taskFrames(fixture("h264_aac.mp4"), c.Chain, path("eq.yuv"), error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        ASSERT_EQ(ours.size(), decoded.size());
        size_t differing = 0;
        for (int f = 0; f < 75; ++f) {
            TPlanes expected;
            const uint8_t* base = reinterpret_cast<const uint8_t*>(decoded.constData()) + ptrdiff_t(f) * frameSize;
            expected.Data[0].assign(base, base + w * h);
            expected.Data[1].assign(base + w * h, base + w * h + w * h / 4);
            expected.Data[2].assign(base + w * h + w * h / 4, base + frameSize);
            referenceEq(expected, c.Brightness, c.Contrast);
            referenceHue(expected, c.Hue, c.Sat);
            const uint8_t* got = reinterpret_cast<const uint8_t*>(ours.constData()) + ptrdiff_t(f) * frameSize;
            size_t offset = 0;
            for (int p = 0; p < 3; ++p)
                for (const uint8_t v : expected.Data[p])
                    differing += got[offset++] != v;
        }
        EXPECT_EQ(differing, 0u);
    }
    errors();
}

TEST_F(OwnFiltersTest, ABadOwnFilterArgumentFailsTheGraph)
{
    String error;
    const QByteArray ours = taskFrames(fixture("h264_aac.mp4"), "hflip,nativehue=abc", path("bad.yuv"), error);
    EXPECT_TRUE(ours.isEmpty());
    EXPECT_TRUE(error.startsWith(QStringLiteral("Error opening filters"))) << error.toStdString();
    const std::vector<String> lines = errors();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        QStringLiteral("failed to parsing parameters: 'abc' is not a valid integer value")),
              lines.end());
}

TEST(FilterChainSplit, CutsAtTopLevelCommasOnly)
{
    const std::vector<TFilterChainItem> items =
        SplitFilterChain("scale=320:240,drawtext=text='a,b':x=1,rotate=90,[x]null[y], nativeeq = 1:2,hue=h=1\\,2");
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[1].Text, "drawtext=text='a,b':x=1");
    EXPECT_TRUE(items[2].Own);
    EXPECT_EQ(items[2].Args, "90");
    EXPECT_EQ(items[3].Text, "[x]null[y]");
    EXPECT_TRUE(items[4].Own);
    EXPECT_EQ(items[4].Name, "nativeeq");
    EXPECT_EQ(items[5].Text, "hue=h=1\\,2");
    EXPECT_FALSE(items[5].Own);

    TOwnFilterChain chain;
    EXPECT_EQ(chain.Parse("scale=1:1,hflip"), 0);
    EXPECT_EQ(chain.Parse("scale=1:1,hflip,rotate=90,vflip"), 1);
    EXPECT_EQ(chain.FirstSegment(), "scale=1:1,hflip");
}

}  // namespace
