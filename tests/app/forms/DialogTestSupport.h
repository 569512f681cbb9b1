// DialogTestSupport.h - what the options dialog tests share: the media
// libraries, a decoder on a fixture, and choosing an item as a user does.
#pragma once
#include <QComboBox>
#include <QString>
#include <gtest/gtest.h>

#include "app/OptionsU.h"
#include "engine/FFLoad.h"
#include "tests/harness/Fixtures.h"

namespace vorlane::test {

inline QString FixtureFile(const char* name)
{
    return QString::fromStdString(FixturePath(name));
}

// Opens the list and picks the entry with that text, as a click would.
inline void ChooseItem(TComboBox* box, const QString& text)
{
    const int index = box->Items()->IndexOf(text);
    ASSERT_GE(index, 0) << text.toStdString();
    auto* widget = static_cast<QComboBox*>(box->Widget());
    widget->setCurrentIndex(index);
    emit widget->activated(index);
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(DecoderLibraries)) << FFLoader()->LastError().toStdString();
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        decoder = std::make_unique<TFFDecoder>(nullptr);
    }
    void TearDown() override
    {
        decoder.reset();
        app.reset();
    }

    // The dialog as adding that file opens it.
    std::unique_ptr<TfrmOption> Open(const char* fixture)
    {
        EXPECT_TRUE(decoder->LoadFile(FixtureFile(fixture))) << decoder->LastError().toStdString();
        auto dialog = std::make_unique<TfrmOption>(nullptr, decoder.get());
        TBuildEnvironment environment;
        environment.ProcessorCount = 4;
        environment.FileExists = [](const QString&) { return false; };
        dialog->SetBuildEnvironment(environment);
        dialog->Show();
        return dialog;
    }

    std::unique_ptr<TApplication> app;
    std::unique_ptr<TFFDecoder> decoder;
};

}  // namespace vorlane::test
