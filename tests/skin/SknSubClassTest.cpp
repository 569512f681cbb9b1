// Properties read and written by name whatever the control's class, and
// the centred caption of the skinned menu bar.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/StringList.h"
#include "skin/SknSubClass.h"

namespace {

class SknSubClassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        edit = new TEdit(form.get());
        combo = new TComboBox(form.get());
    }
    void TearDown() override
    {
        form.reset();
        app.reset();
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> form;
    TEdit* edit = nullptr;
    TComboBox* combo = nullptr;
};

}  // namespace

TEST_F(SknSubClassTest, ReadsByNameAndAnswersEmptyForWhatIsNotThere)
{
    edit->SetMaxLength(12);
    edit->SetText(QStringLiteral("Grüße"));
    form->SetWindowState(wsMaximized);
    EXPECT_EQ(GetIntPropByName(edit, QStringLiteral("MaxLength")), 12);
    EXPECT_EQ(GetIntPropByName(edit, QStringLiteral("Missing")), -1);
    EXPECT_EQ(GetIntPropByName(edit, QStringLiteral("Text")), -1);  // not an integer
    EXPECT_EQ(GetIntPropByName(nullptr, QStringLiteral("MaxLength")), -1);
    EXPECT_EQ(GetEnumPropByName(form.get(), QStringLiteral("WindowState")), QStringLiteral("wsMaximized"));
    EXPECT_EQ(GetEnumPropByName(edit, QStringLiteral("ReadOnly")), QStringLiteral("False"));
    EXPECT_TRUE(GetEnumPropByName(edit, QStringLiteral("Missing")).isEmpty());
    EXPECT_EQ(GetWideStrPropByName(edit, QStringLiteral("Text")), QStringLiteral("Grüße"));
    EXPECT_EQ(GetWideStrPropByName(edit, QStringLiteral("MaxLength")), QStringLiteral("12"));
    EXPECT_TRUE(GetWideStrPropByName(nullptr, QStringLiteral("Text")).isEmpty());
    EXPECT_EQ(GetObjectPropByName<TStrings>(combo, QStringLiteral("Items")), combo->Items());
    EXPECT_EQ(GetObjectPropByName<TControl>(combo, QStringLiteral("Items")), nullptr);
    EXPECT_EQ(GetObjectPropByName(combo, QStringLiteral("ItemIndex")), nullptr);
}

TEST_F(SknSubClassTest, WritesIntegersEnumerationsAndTexts)
{
    SetPropByName(edit, QStringLiteral("MaxLength"), QStringLiteral("30"));
    EXPECT_EQ(edit->MaxLength(), 30);
    SetPropByName(edit, QStringLiteral("ReadOnly"), QStringLiteral("True"));
    EXPECT_TRUE(edit->ReadOnly());
    SetPropByName(form.get(), QStringLiteral("WindowState"), QStringLiteral("wsMinimized"));
    EXPECT_EQ(form->WindowState(), wsMinimized);
    SetPropByName(edit, QStringLiteral("Text"), QStringLiteral("set"));
    EXPECT_EQ(edit->Text(), QStringLiteral("set"));
    SetPropByName(edit, QStringLiteral("Missing"), QStringLiteral("1"));
    SetPropByName(nullptr, QStringLiteral("Text"), QStringLiteral("1"));
    // Object properties are left alone.
    TStrings* items = combo->Items();
    SetPropByName(combo, QStringLiteral("Items"), QStringLiteral("x"));
    EXPECT_EQ(combo->Items(), items);
}

TEST_F(SknSubClassTest, CentredCaptionSitsInTheMiddleInRegularStyle)
{
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(100, 30);
    TCanvas* c = target.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, 100, 30});
    c->Font()->SetStyle(TFontStyles{fsBold});
    c->Font()->SetColor(clBlack);
    DrawCentredCaption(c, TRect{0, 0, 100, 30}, QStringLiteral("&Mm"), caCentre, true);
    EXPECT_TRUE(c->Font()->Style().Empty());
    // The ink's box is centred to within the text's own bearings.
    int left = 100, right = -1, top = 30, bottom = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            if (c->Pixels(x, y) == clBlack) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0);
    EXPECT_NEAR((left + right) / 2.0, 50, 3);
    EXPECT_NEAR((top + bottom) / 2.0, 15, 4);
    // Disabled: the shadow colour.
    c->FillRect(TRect{0, 0, 100, 30});
    DrawCentredCaption(c, TRect{0, 0, 100, 30}, QStringLiteral("Mm"), caCentre, false);
    int shadow = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            shadow += c->Pixels(x, y) == ColorToRGB(clBtnShadow);
    EXPECT_GT(shadow, 0);
}
