// The button editor: one default ellipsis button that Ctrl+Enter clicks,
// and buttons read from a stream replace it.
#include "ui/controls/vlButtonEdit.h"

#include <gtest/gtest.h>

#include "platform/rtl/Filer.h"
#include "tests/ui/foundation/ControlFixtures.h"

namespace {

struct vlButtonEditTest : TControlUnitFixture {
    std::vector<int> Clicks;
    void buttonClick(TObject*, int AIndex) { Clicks.push_back(AIndex); }
};

TEST_F(vlButtonEditTest, OneDefaultEllipsisButtonThatCtrlEnterClicks)
{
    auto* edit = new TvlButtonEdit(Form.get());
    edit->SetParent(Form.get());
    edit->SetBounds(10, 10, 120, 21);
    Form->Show();
    TvlEditButtons* buttons = edit->Properties()->Buttons();
    ASSERT_EQ(buttons->Count(), 1);
    EXPECT_EQ(buttons->Items(0)->Kind(), bkEllipsis);
    EXPECT_TRUE(buttons->Items(0)->Default());
    EXPECT_EQ(edit->Properties()->ClickKey(), TShortCut(16397));
    edit->Properties()->OnButtonClick = TvlEditButtonClickEvent(this, &vlButtonEditTest::buttonClick);
    uint16_t key = 13;
    edit->KeyDown(key, TShiftState{ssCtrl});
    EXPECT_EQ(Clicks, std::vector<int>{0});
    key = 13;
    edit->KeyDown(key, TShiftState{});
    EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(vlButtonEditTest, StreamedButtonsReplaceTheDefaultOne)
{
    TvlButtonEdit source(nullptr);
    TvlEditButtons* buttons = source.Properties()->Buttons();
    buttons->Items(0)->SetKind(bkGlyph);
    buttons->Add()->SetCaption(QStringLiteral("Go"));
    TMemoryStream stream;
    WriteComponent(&stream, &source);
    stream.SetPosition(0);
    TvlButtonEdit loaded(nullptr);
    ReadComponent(&stream, &loaded);
    TvlEditButtons* read = loaded.Properties()->Buttons();
    ASSERT_EQ(read->Count(), 2);
    EXPECT_EQ(read->Items(0)->Kind(), bkGlyph);
    EXPECT_EQ(read->Items(1)->Caption(), QStringLiteral("Go"));
}

TEST_F(vlButtonEditTest, RegisteredUnderItsDescription)
{
    TStartupList units;
    AddvlButtonEditUnit(units);
    units.Initialize();
    const TvlClass cls = FindEditPropertiesClass(QStringLiteral("TvlButtonEditProperties"));
    ASSERT_EQ(cls, &TvlButtonEditProperties::StaticClassInfo());
    auto props = CreateEditProperties(cls, nullptr);
    ASSERT_NE(props, nullptr);
    EXPECT_EQ(props->Buttons()->Count(), 1);
    const int index = GetRegisteredEditProperties()->IndexOf(cls);
    EXPECT_EQ(GetRegisteredEditProperties()->RegistrationTexts(index),
              QStringLiteral("ButtonEdit|Represents an edit control with embedded buttons"));
    units.Finalize();
    EXPECT_EQ(FindEditPropertiesClass(QStringLiteral("TvlButtonEditProperties")), nullptr);
}

}  // namespace
