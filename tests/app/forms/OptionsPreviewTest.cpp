// The preview of the options dialog: time texts and letterbox rectangles,
// then the generated 10 s 25 fps 640x480 clip stepped, sought and drawn.
#include <QWidget>

#include "tests/app/forms/DialogTestSupport.h"

namespace {

using namespace vorlane::test;

TEST(PreviewMaths, FormatPTS)
{
    EXPECT_EQ(FormatPTS(0), QStringLiteral("00:00:00.000"));
    EXPECT_EQ(FormatPTS(3723456789), QStringLiteral("01:02:03.456"));
    EXPECT_EQ(FormatPTS(40000), QStringLiteral("00:00:00.040"));
    EXPECT_EQ(FormatPTS(int64_t(100) * 3600 * 1000000), QStringLiteral("100:00:00.000"));
}

TEST(PreviewMaths, FitRect)
{
    const TRect box = Rect(0, 0, 228, 159);
    EXPECT_EQ(FitRect(Rect(0, 0, 720, 576), box), Rect(15, 0, 213, 159));
    EXPECT_EQ(FitRect(Rect(0, 0, 640, 480), box), Rect(8, 0, 220, 159));
    // Wider than the box: bars above and below, (159 - 128.25) / 2 = 15.375 of them.
    EXPECT_EQ(FitRect(Rect(0, 0, 1280, 720), box), Rect(0, 15, 228, 144));
    // Halves round to even: (159 - 134) / 2 = 12.5 gives 12.
    EXPECT_EQ(FitRect(Rect(0, 0, 456, 268), box), Rect(0, 12, 228, 147));
    EXPECT_EQ(FitRect(Rect(0, 0, 228, 159), Rect(10, 20, 238, 179)), Rect(10, 20, 238, 179));
}

bool nearColour(QRgb pixel, int r, int g, int b)
{
    return std::abs(qRed(pixel) - r) <= 12 && std::abs(qGreen(pixel) - g) <= 12 && std::abs(qBlue(pixel) - b) <= 12;
}

QRgb rgbOf(TColor c)
{
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

using PreviewTest = DialogTest;

TEST_F(PreviewTest, TheSliderCoversTheFramesStepsAndSeeks)
{
    auto dialog = Open("preview640.avi");
    EXPECT_EQ(dialog->FrameCount(), 250);
    EXPECT_TRUE(dialog->trcPreview->Enabled());
    EXPECT_EQ(dialog->trcPreview->Max(), 250);
    EXPECT_EQ(dialog->trcPreview->Frequency(), 25);
    EXPECT_EQ(dialog->trcPreview->PageSize(), 12);
    EXPECT_EQ(dialog->CurrentPTS(), 0);
    EXPECT_EQ(dialog->lblPTS->Caption(), QStringLiteral("00:00:00.000 "));

    // One step forward and back: the next and the previous frame.
    dialog->trcPreview->SetPosition(1);
    EXPECT_EQ(dialog->CurrentPTS(), 40000);
    EXPECT_EQ(dialog->lblPTS->Caption(), QStringLiteral("00:00:00.040 "));
    dialog->trcPreview->SetPosition(2);
    EXPECT_EQ(dialog->CurrentPTS(), 80000);
    dialog->trcPreview->SetPosition(1);
    EXPECT_EQ(dialog->CurrentPTS(), 40000);

    // A jump seeks: the first frame at or after position / max x duration.
    const int64_t target = int64_t(std::nearbyint(150.0 / 250 * double(dialog->FileDuration())));
    dialog->trcPreview->SetPosition(150);
    EXPECT_GE(dialog->CurrentPTS(), target);
    EXPECT_LT(dialog->CurrentPTS(), target + 40000);
    EXPECT_EQ(dialog->trcPreview->Position(), 150);  // the program does not move it back
    // Backwards by more than a step cannot be reached by decoding forward.
    dialog->trcPreview->SetPosition(20);
    EXPECT_GE(dialog->CurrentPTS(), 800000);
    EXPECT_LT(dialog->CurrentPTS(), 840001);
    // From 20, one step is a decode of the next frame again.
    const int64_t before = dialog->CurrentPTS();
    dialog->trcPreview->SetPosition(21);
    EXPECT_EQ(dialog->CurrentPTS(), before + 40000);

    dialog->Hide();
    EXPECT_EQ(dialog->trcPreview->Max(), 0);
}

TEST_F(PreviewTest, TheFrameIsLetterboxedInThePreviewBox)
{
    auto dialog = Open("preview640.avi");
    // 640x480 in 228x159: full height, x from 8 to 220; the rest stays black.
    TCanvas* canvas = dialog->PreviewPicture()->Canvas();
    for (int y : {2, 80, 156}) {
        EXPECT_EQ(canvas->Pixels(7, y), clBlack);
        EXPECT_TRUE(nearColour(rgbOf(canvas->Pixels(8, y)), 0x33, 0x66, 0xCC)) << std::hex << canvas->Pixels(8, y);
        EXPECT_TRUE(nearColour(rgbOf(canvas->Pixels(219, y)), 0x33, 0x66, 0xCC));
        EXPECT_EQ(canvas->Pixels(220, y), clBlack);
    }
    // What the window shows: the picture sits at (2, 5) in the black panel.
    const QImage shown = dialog->Panel1->Widget()->grab().toImage();
    ASSERT_EQ(shown.width(), 233);
    for (int y : {5 + 3, 5 + 80, 5 + 155}) {
        EXPECT_TRUE(nearColour(shown.pixel(2 + 3, y), 0, 0, 0));
        EXPECT_TRUE(nearColour(shown.pixel(2 + 114, y), 0x33, 0x66, 0xCC)) << std::hex << shown.pixel(2 + 114, y);
        EXPECT_TRUE(nearColour(shown.pixel(2 + 224, y), 0, 0, 0));
    }
}

TEST_F(PreviewTest, StillPictureAndAudioOnlyFiles)
{
    {
        auto dialog = Open("still.png");
        EXPECT_FALSE(dialog->trcPreview->Enabled());
        EXPECT_NE(dialog->PreviewPicture()->Canvas()->Pixels(114, 80), clBlack);
    }
    decoder->CloseFile();
    {
        auto dialog = Open("audio.mp3");
        EXPECT_FALSE(dialog->trcPreview->Enabled());
        EXPECT_EQ(dialog->lblPTS->Caption(), QStringLiteral("00:00:00.000 "));
        EXPECT_EQ(dialog->PreviewPicture()->Canvas()->Pixels(114, 80), clBlack);
        dialog->trcPreview->SetPosition(5);
        EXPECT_EQ(dialog->CurrentPTS(), 0);
    }
}

}  // namespace
