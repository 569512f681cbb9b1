// The preview window rendered offscreen: size from the first frame, the
// frame and its time, closing, and a worker that never waits for it.
#include <gtest/gtest.h>

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <thread>

extern "C" {
#include <libavutil/avutil.h>
}

#include "engine/preview/PreviewForm.h"
#include "platform/rtl/Thread.h"

namespace {

QImage twoColours(int width, int height, QRgb left, QRgb right)
{
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, x < width / 2 ? left : right);
    return image;
}

void drain()
{
    while (CheckSynchronize()) {
    }
}

class PreviewFormTest : public ::testing::Test {
protected:
    void SetUp() override { FApp = std::make_unique<TApplication>(nullptr); }
    void TearDown() override
    {
        drain();
        FApp.reset();
    }
    std::unique_ptr<TApplication> FApp;
};

TEST_F(PreviewFormTest, ShowsTheFrameWithItsTimeAndKeepsTheFirstSize)
{
    bool closed = false;
    TPreviewForm form([&] { closed = true; });
    EXPECT_EQ(form.FormStyle(), fsStayOnTop);
    EXPECT_EQ(form.BorderStyle(), bsToolWindow);

    form.PaintFrame(twoColours(64, 48, qRgb(255, 0, 0), qRgb(0, 0, 255)), 7, int64_t(3723) * 1000000);
    EXPECT_EQ(form.ClientWidth(), 64);
    EXPECT_EQ(form.ClientHeight(), 48);
    EXPECT_EQ(form.Caption(), QStringLiteral("01:02:03.000"));
    EXPECT_EQ(form.FrameNumber(), 7);
    QImage shot = form.Picture()->Widget()->grab().toImage();
    EXPECT_EQ(shot.pixel(5, 20), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(60, 20), qRgb(0, 0, 255));

    // A later frame of another size is drawn at (0, 0) without resizing.
    form.PaintFrame(twoColours(32, 16, qRgb(0, 255, 0), qRgb(0, 255, 0)), 8, AV_NOPTS_VALUE);
    EXPECT_EQ(form.ClientWidth(), 64);
    EXPECT_EQ(form.ClientHeight(), 48);
    EXPECT_EQ(form.Caption(), QStringLiteral("N/A"));
    shot = form.Picture()->Widget()->grab().toImage();
    EXPECT_EQ(shot.pixel(5, 5), qRgb(0, 255, 0));
    EXPECT_NE(shot.pixel(40, 30), qRgb(0, 255, 0));

    EXPECT_FALSE(closed);
    form.Close();
    EXPECT_TRUE(closed);
}

// A previewer fed from a worker: the window is made, painted and freed in
// the main thread; the worker never waits for it.
TEST_F(PreviewFormTest, APreviewerFromAWorkerNeverWaitsAndStopsOnceClosed)
{
    TPreviewForm* made = nullptr;
    QPointer<QWidget> widget;
    auto factory = [&](std::function<void()> onClosed) -> std::unique_ptr<IPreviewWindow> {
        EXPECT_EQ(TThread::CurrentThreadID(), TThread::MainThreadID());
        auto form = std::make_unique<TPreviewForm>(std::move(onClosed));
        made = form.get();
        widget = form->Widget();
        return form;
    };
    auto previewer = std::make_unique<TPreviewer>(factory);
    TBitmap bitmap;
    bitmap.SetImage(twoColours(40, 30, qRgb(255, 255, 0), qRgb(0, 255, 255)));

    // The main thread serves nothing while the worker shows 200 frames.
    std::atomic<int> shown{0};
    std::thread worker([&] {
        for (int i = 1; i <= 200; ++i)
            if (previewer->ShowFrame(bitmap, i, int64_t(i) * 40000))
                ++shown;
    });
    worker.join();
    EXPECT_EQ(shown.load(), 200);
    EXPECT_EQ(made, nullptr);

    // Only the newest waiting frame is painted.
    drain();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->FrameNumber(), 200);
    EXPECT_EQ(made->Caption(), QStringLiteral("00:00:08.000"));
    EXPECT_EQ(made->ClientWidth(), 40);

    made->Close();
    std::thread([&] { EXPECT_FALSE(previewer->ShowFrame(bitmap, 201, 0)); }).join();
    drain();
    EXPECT_EQ(made->FrameNumber(), 200);

    // Freed from the worker, the window goes in the main thread.
    std::thread([&] { previewer.reset(); }).join();
    EXPECT_FALSE(widget.isNull());
    drain();
    EXPECT_TRUE(widget.isNull());
}

}  // namespace
