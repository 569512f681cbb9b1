// The about dialog rendered offscreen shows the version resource this test
// program carries; a file without one gives empty values.
#include <QWidget>
#include <gtest/gtest.h>

#include "app/aboutU.h"

namespace {

TEST(About, ShowsTheBuildsVersion)
{
    TApplication app(nullptr);
    app.Initialize();
    auto about = std::make_unique<TfrmAbout>(nullptr);
    about->AfterConstruction();
    EXPECT_EQ(about->Label2->Caption(), QStringLiteral("Version 4.2.0 (Build 4.2.0.77)"));
    EXPECT_EQ(about->Label3->Caption(), QString::fromUtf8("Copyright \xC2\xA9 by Vorlane Test Works"));
    EXPECT_EQ(about->btnOk->Caption(), QStringLiteral("OK"));
    about->Show();
    const QImage img = about->Widget()->grab().toImage();
    EXPECT_EQ(img.width(), 439);
    // the version line is drawn: dark text over the grey background
    int ink = 0;
    for (int y = about->Label2->Top(); y < about->Label2->Top() + 14; ++y)
        for (int x = about->Label2->Left(); x < about->Label2->Left() + 150; ++x)
            ink += qGray(img.pixel(x, y)) < 100;
    EXPECT_GT(ink, 20);
    EXPECT_EQ(img.pixel(430, 5), qRgb(0xE1, 0xE1, 0xE1));

    TKvVersionInfo none(nullptr);
    none.SetFileName(QStringLiteral("/bin/true"));
    EXPECT_EQ(none.GetStringByIndex(10), String());
    EXPECT_EQ(none.CurrentTranslation(), -1);
    TKvVersionInfo own(nullptr);
    EXPECT_EQ(own.GetStringByIndex(10), QStringLiteral("4.2.0"));
    EXPECT_EQ(own.TranslationString(), QStringLiteral("040904b0"));
    own.SetCurrentTranslation(own.TranslationCount());
    EXPECT_EQ(own.CurrentTranslation(), -1);
}

}  // namespace
