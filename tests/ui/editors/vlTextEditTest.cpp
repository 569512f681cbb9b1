// The text editor's properties hear the locale's formats for as long as
// they live.
#include "ui/editors/vlTextEdit.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/SysUtils.h"

namespace {

struct ChangeRecorder {
    int Changes = 0;
    bool ChangingSeen = false;
    bool Throw = false;
    void Changed(TObject* Sender)
    {
        ++Changes;
        ChangingSeen = static_cast<TvlCustomTextEditProperties*>(Sender)->FormatChanging();
        if (Throw)
            throw Exception(QStringLiteral("refused"));
    }
};

TEST(TextEditProperties, HearFormatChangesWhileTheyLive)
{
    const TFormatSettings saved = FormatSettings;
    TvlFormatController* controller = vlFormatController();
    const int before = controller->ListenerCount();
    ChangeRecorder recorder;
    {
        auto properties = std::make_unique<TvlTextEditProperties>(nullptr);
        const TvlTextEditProperties other(nullptr);
        EXPECT_EQ(controller->ListenerCount(), before + 2);
        properties->OnPropertiesChanged = TNotifyEvent(&recorder, &ChangeRecorder::Changed);
        FormatSettings.ShortDateFormat = QStringLiteral("yyyy-MM-dd");
        controller->TranslationChanged();
        EXPECT_EQ(recorder.Changes, 1);
        EXPECT_TRUE(recorder.ChangingSeen);
        EXPECT_FALSE(properties->FormatChanging());
        EXPECT_EQ(controller->DateStandardMask(), QStringLiteral("!9999\\-99\\-99;1; "));
        properties.reset();
        EXPECT_EQ(controller->ListenerCount(), before + 1);
        controller->TranslationChanged();  // the freed properties hear nothing
        EXPECT_EQ(recorder.Changes, 1);
    }
    EXPECT_EQ(controller->ListenerCount(), before);
    FormatSettings = saved;
    controller->RefreshFormats();
}

TEST(TextEditProperties, TheChangingFlagSurvivesAnException)
{
    ChangeRecorder recorder;
    recorder.Throw = true;
    TvlTextEditProperties properties(nullptr);
    properties.OnPropertiesChanged = TNotifyEvent(&recorder, &ChangeRecorder::Changed);
    EXPECT_THROW(properties.FormatChanged(), Exception);
    EXPECT_TRUE(recorder.ChangingSeen);
    EXPECT_FALSE(properties.FormatChanging());
}

}  // namespace
