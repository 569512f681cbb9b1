// Skins made by the packer parsed into skin objects: every section and
// key, the frame-count rules, the images the parser composes, and damaged
// skin files.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "skin/SknData.h"
#include "skin/SknImgUtil.h"
#include "tests/harness/Mutation.h"
#include "tools/skinpack/SkinPack.h"

namespace {

constexpr QRgb magenta = 0xFFFF00FF;

// The colour of frame k (from 1) of a test image: every frame is flat.
QRgb frameColour(int seed, int k)
{
    return qRgb(seed, 16 * k, 255 - 8 * k);
}

// A strip of `frames` flat frames, side by side or stacked, each w x h,
// optionally with a magenta top-left pixel in every frame.
QByteArray strip(int w, int h, int frames, int seed, bool stacked = false, bool keyCorner = false)
{
    QImage image(stacked ? w : w * frames, stacked ? h * frames : h, QImage::Format_RGB32);
    for (int k = 1; k <= frames; ++k) {
        const int x0 = stacked ? 0 : (k - 1) * w;
        const int y0 = stacked ? (k - 1) * h : 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x0 + x, y0 + y, keyCorner && x == 0 && y == 0 ? magenta : frameColour(seed, k));
    }
    return skinpack::WriteBmp(image);
}

QByteArray skinFile(const QByteArray& description, std::vector<skinpack::SkinEntry> bitmaps,
                     skinpack::LzhufMode mode = skinpack::LzhufMode::Greedy)
{
    bitmaps.insert(bitmaps.begin(), {"skin.ini", description});
    return skinpack::PackSkinFile(skinpack::WriteContainer(bitmaps), mode);
}

// Supplies the program's own track bitmaps as the resources would.
class TTestSkinData : public TSkinData {
public:
    TTestSkinData() : TSkinData(nullptr) {}

protected:
    bool LoadResourceBitmap(const String& Name, TBitmap* Bitmap) override
    {
        const bool vertical = Name == QLatin1String("TRACKVERT");
        Bitmap->SetSize(vertical ? 4 : 16, vertical ? 16 : 4);
        return Name == QLatin1String("TRACK") || vertical;
    }
};

const QByteArray fullDescription =
    "[Personality]\n"
    "Left=left.bmp\nLeftTopHeight=10\nLeftBotHeight=5\nLeftFrame=2\nLeftStretch=3\n"
    "Right=right.bmp\nRightFrame=0\nRightTrans=0\n"
    "Top=top.bmp\nTopTopHeight=7\nTopBotHeight=9\nTopFrame=2\n"
    "Bottom=bottom.bmp\n"
    "TextBack=textback.bmp\nTextShift=4\nTextShiftVert=3\nTextRightClip=6\nTextAlignment=2\n"
    "Textbackground=1\nTXTBackleft=11\nTXTBackRight=12\n"
    "ActiveTextR=1\nActiveTextG=2\nActiveTextB=3\nInActiveTextR=9\nInActiveTextG=9\n"
    "menuBar=menubar.bmp\nTileMenu=5\nTileLeftMenu=3\n"
    "[Fonts]\nFontHeight=17\n"
    "[Colours]\n"
    "WindowText=10,20,30\nButtonFace=200 210 220\nHilight=1 2\nButtonText=300 256 1000\n"
    "Menu=9999999999999999999999 0 7\nMenuText=1 2 3 4\n"
    "[Customcolors]\nColor3=1,2,3\n"
    "[BUTTON1]\nAction=0\nAlign=1\nXcoord=30\nYcoord=5\nButtonImage=close.bmp\n"
    "[Button.Radio]\nAction=0\nButtonImage=close.bmp\n"
    "[button2]\nAction=1\nVisibility=2\nXcoord=70\nYcoord=4\nButtonImage=max.bmp\n"
    "[BUTTON3]\nAction=4\nXcoord=1\nYcoord=1\nButtonImage=max.bmp\nCombineOp=2\n"
    "[BUTTON4]\nAction=-1\n"
    "[BUTTON5]\nAction=-1\nVisibility=0\n"
    "[BUTTON6]\nAction=3\nButtonImage=close.bmp\n"
    "[BUTTON7]\nAction=2\nframe=-2\nButtonImage=close.bmp\n"
    "[MDICONTROLS]\nImage=mdi.bmp\n"
    "[Buttons]\nBitmap=buttons.bmp\nCheckButton=check.bmp\nRadioButton=radio.bmp\nTile=5\nLeftWidth=3\n"
    "NormalColour=255\nNormalColour2=255,0,0\n"
    "[Progress]\nBitmap=progress.bmp\nTile=5\n"
    "[Progress.Chunk]\nImage=chunk.bmp\nFrame=0\n"
    "[ToolBars]\nImage=skins\\sub\\toolbars.bmp\nTile=5\nTrans=1\n"
    "[Tab.Pane]\nImage=pane.bmp\nLeftWidth=10\nTopHeight=2\nRightWidth=-3\nBottomHeight=9\n"
    "[MenuItem]\nImage=menuitem.BMP\n"
    "[ExtraImages]\nImage=narrow.bmp\n"
    "[Headerbar]\nImage=pane.bmp\nFrame=3\n"
    "[HorzScrollThumb]\nImage=pane.bmp\nFrameCount=7\n"
    "[GroupBox]\nImage=pane.bmp\nBackgroundAlignment=2\nBackgroundLeftShift=5\n"
    "[SunkEdge]\nImage=sunk.bmp\nLeftWidth=2\nRightWidth=2\nTopHeight=2\nBottomHeight=2\n"
    "[ComboButton]\nImage=combo.bmp\n";

std::vector<skinpack::SkinEntry> fullBitmaps()
{
    return {
        {"left.bmp", strip(4, 40, 2, 10)},    {"right.bmp", strip(4, 40, 2, 20)},
        {"top.bmp", strip(60, 10, 2, 30, true)}, {"bottom.bmp", strip(60, 10, 2, 40, true)},
        {"textback.bmp", strip(30, 10, 2, 50)}, {"menubar.bmp", strip(20, 19, 2, 60)},
        {"close.bmp", strip(16, 21, 3, 70)},  {"max.bmp", strip(25, 21, 6, 80)},
        {"mdi.bmp", strip(10, 14, 12, 90)},   {"buttons.bmp", strip(20, 20, 5, 100)},
        {"check.bmp", strip(13, 13, 4, 110)}, {"radio.bmp", strip(16, 16, 10, 120)},
        {"progress.bmp", strip(10, 10, 2, 130)}, {"chunk.bmp", strip(8, 8, 1, 140)},
        {"toolbars.bmp", strip(10, 10, 5, 150)}, {"pane.bmp", strip(10, 10, 1, 160)},
        {"menuitem.bmp", strip(10, 10, 5, 170)}, {"narrow.bmp", strip(3, 3, 1, 180)},
        {"sunk.bmp", strip(10, 21, 4, 190)},  {"combo.bmp", strip(19, 21, 4, 200, false, true)},
    };
}

TColor rgbOf(QRgb p)
{
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

}  // namespace

TEST(SknDataTest, ColourText)
{
    struct Case {
        const char* text;
        TColor expected;
    };
    const Case cases[] = {
        {"255,0,255", 0xFF00FF}, {"255 0 255", 0xFF00FF}, {" 1;2;3 ", 0x030201}, {"1 2", 0x000001},
        {"7", 0},                {"a b c", 0},            {"256 256 256", 0},    {"1 2 3 4", 0x030201},
        {"1,2,3,", 0x030201},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TSkinData::ColorFromText(c.text, -5), c.expected);
    }
    EXPECT_EQ(TSkinData::ColorFromText("  ", clBtnFace), clBtnFace);
    // A thousand digits are still read modulo 256, digit by digit:
    // 10^1000 - 1 leaves 255.
    EXPECT_EQ(TSkinData::ColorFromText(String(1000, u'9') + " 0 0", 0), 255);
}

TEST(SknDataTest, EverySectionIsParsed)
{
    TTestSkinData skin;
    ASSERT_TRUE(skin.LoadSkin(skinFile(fullDescription, fullBitmaps()))) << skin.LastError().toStdString();
    ASSERT_TRUE(skin.SkinLoaded());

    // Borders.
    EXPECT_EQ(skin.Left->Margins(), (TRect{0, 10, 0, 5}));
    EXPECT_EQ(skin.Left->Frame, 2);
    EXPECT_EQ(skin.Left->Tile, 1);  // Stretch 3
    EXPECT_EQ(skin.Left->Trans, 1);
    EXPECT_EQ(skin.Right->Frame, 1);  // an explicit 0 is raised to 1
    EXPECT_EQ(skin.Right->Trans, 0);
    EXPECT_EQ(skin.Top->Margins(), (TRect{7, 0, 9, 0}));
    EXPECT_EQ(skin.Top->Bitmap->Height(), 20);
    EXPECT_EQ(skin.Bottom->Frame, 1);
    // The frame colour: the Top image at (width / 3, (height / frames) / 3).
    EXPECT_EQ(skin.Colors[scFrameColor].Color, rgbOf(frameColour(30, 1)));

    // Colours.
    EXPECT_EQ(skin.Colors[scWindowText].Color, 10 + 20 * 256 + 30 * 65536);
    EXPECT_TRUE(skin.Colors[scWindowText].Given);
    EXPECT_EQ(skin.Colors[scButtonFace].Color, RGB(200, 210, 220));
    EXPECT_EQ(skin.Colors[scMenubar].Color, RGB(200, 210, 220));  // follows ButtonFace
    EXPECT_FALSE(skin.Colors[scMenubar].Given);
    EXPECT_EQ(skin.Colors[scHilight].Color, 1);
    EXPECT_EQ(skin.Colors[scButtonText].Color, RGB(300 % 256, 0, 1000 % 256));
    EXPECT_EQ(skin.Colors[scMenuText].Color, RGB(1, 2, 3));
    EXPECT_EQ(skin.Colors[scScrollbar].Color, clScrollBar);
    EXPECT_FALSE(skin.Colors[scScrollbar].Given);
    EXPECT_EQ(skin.CustomColors[3], RGB(1, 2, 3));
    EXPECT_EQ(skin.CustomColors[0], clWhite);
    EXPECT_EQ(skin.ButtonFaceBrush->Color(), RGB(200, 210, 220));

    // Caption: margins from the text keys, the colours only when complete.
    const TDataSkinTitle& title = *skin.Title;
    EXPECT_EQ(title.Margins(), (TRect{4, 3, 6, 0}));
    EXPECT_EQ(title.Frame, 2);
    EXPECT_EQ(title.TextAlignment, 2);
    EXPECT_EQ(title.Textbackground, 1);
    EXPECT_EQ(title.TXTBackleft, 11);
    EXPECT_EQ(title.TXTBackRight, 12);
    EXPECT_EQ(title.FontHeight, 17);
    EXPECT_EQ(title.ActiveText, RGB(1, 2, 3));
    EXPECT_EQ(title.InActiveText, clNone);

    // Caption buttons in text order; BUTTON4 and Button.Radio are not among them.
    ASSERT_EQ(skin.CaptionButtons.size(), 6u + 3u);
    auto& b = skin.CaptionButtons;
    EXPECT_EQ(b[0]->Name, "BUTTON1");
    EXPECT_EQ(b[0]->Frame, 3);  // 48 x 21 without a frame key
    EXPECT_EQ(b[0]->Align, 1);
    EXPECT_EQ(b[0]->Visibility1, 0);
    EXPECT_EQ(b[1]->Name, "BUTTON2");
    EXPECT_EQ(b[1]->Frame, 6);  // 150 x 21
    EXPECT_EQ(b[2]->Action, 4);
    EXPECT_EQ(b[2]->XCoord, 70);  // placed where the maximise button is
    EXPECT_EQ(b[2]->YCoord, 4);
    EXPECT_EQ(b[2]->CombineOp, 2);
    EXPECT_EQ(b[3]->Name, "BUTTON5");
    EXPECT_EQ(b[3]->Visibility1, -1);
    EXPECT_EQ(b[3]->Frame, 6);
    EXPECT_EQ(b[4]->Action, 3);
    EXPECT_TRUE(b[4]->Bitmap->Empty());  // shows the application's icon instead
    EXPECT_EQ(b[5]->Frame, 1);  // frame -2 clamped
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const TDataSkinSysButton& mdi = *b[size_t(6 + i)];
        EXPECT_EQ(mdi.Action, 7 + i);
        EXPECT_EQ(mdi.Align, 100);
        EXPECT_EQ(mdi.Visibility, 100);
        EXPECT_EQ(mdi.Frame, 4);
        EXPECT_EQ(mdi.XCoord, 14 * (3 - i));
        ASSERT_EQ(mdi.Bitmap->Width(), 40);
        EXPECT_EQ(mdi.Bitmap->Pixels(0, 5), rgbOf(frameColour(90, 4 * i + 1)));
        EXPECT_EQ(mdi.Bitmap->Pixels(39, 5), rgbOf(frameColour(90, 4 * i + 4)));
    }

    // Buttons.
    EXPECT_EQ(skin.Buttons->Frame, 5);
    EXPECT_EQ(skin.Buttons->Tile, 0);  // Tile 5
    EXPECT_EQ(skin.Buttons->LeftWidth, 3);
    EXPECT_EQ(skin.Buttons->CheckButtonFrame, 4);   // 52 / 13, image below 16 high
    EXPECT_EQ(skin.Buttons->RadioButtonFrame, 10);  // 160 / 16
    EXPECT_EQ(skin.Buttons->NormalColour, 255);
    EXPECT_TRUE(skin.Buttons->NormalColour2Given);
    EXPECT_EQ(skin.Buttons->NormalColour2, RGB(255, 0, 0));
    EXPECT_FALSE(skin.Buttons->PressedColour2Given);
    EXPECT_EQ(skin.Buttons->PressedColour2, skin.Colors[scButtonText].Color);

    // Objects and their limits.
    ASSERT_NE(skin.Progress, nullptr);
    EXPECT_EQ(skin.Progress->Tile, 1);
    EXPECT_EQ(skin.Progress->Frame, 2);
    ASSERT_NE(skin.ProgressChunk, nullptr);
    EXPECT_EQ(skin.ProgressChunk->Frame, 1);  // frame 0 clamped
    ASSERT_NE(skin.MenuBar, nullptr);
    EXPECT_EQ(skin.MenuBar->Tile, 1);
    EXPECT_EQ(skin.MenuBar->Margins(), (TRect{3, 0, 1, 0}));
    ASSERT_NE(skin.ToolBars, nullptr);
    EXPECT_EQ(skin.ToolBars->Tile, 0);
    EXPECT_EQ(skin.ToolBars->Bitmap->Width(), 50);  // found by its file name
    EXPECT_EQ(skin.ToolBars->NormalColour2, skin.Colors[scButtonText].Color);
    EXPECT_EQ(skin.TabPane->Margins(), (TRect{4, 2, -3, 4}));
    ASSERT_NE(skin.MenuItem, nullptr);
    EXPECT_TRUE(skin.MenuItem->Bitmap->Empty());  // ".BMP" is not a bitmap name
    EXPECT_EQ(skin.ExtraImages, nullptr);         // 3 px for 5 frames
    EXPECT_EQ(skin.Headerbar->Frame, 3);
    EXPECT_EQ(skin.HorzScrollThumb->Frame, 7);
    EXPECT_EQ(skin.GroupBox->BackgroundAlignment, 2);
    EXPECT_EQ(skin.GroupBox->BackgroundLeftShift, 5);
    EXPECT_EQ(skin.Scrollbar, nullptr);
    ASSERT_NE(skin.Track, nullptr);
    EXPECT_EQ(skin.Track->Margins(), (TRect{3, 3, 3, 3}));
    EXPECT_EQ(skin.TrackVert->Bitmap->Height(), 16);

    // The made toolbar background: a vertical gradient from a lightened
    // button face.
    ASSERT_NE(skin.Toolbar, nullptr);
    EXPECT_EQ(skin.Toolbar->Bitmap->Width(), 10);
    EXPECT_EQ(skin.Toolbar->Bitmap->Height(), 40);
    EXPECT_EQ(skin.Toolbar->Bitmap->Pixels(5, 0), BlendColors(RGB(200, 210, 220), clWhite, 150));
}

TEST(SknDataTest, ComboStripAndArrow)
{
    TTestSkinData skin;
    ASSERT_TRUE(skin.LoadSkin(skinFile(fullDescription, fullBitmaps())));
    const int w = 19;  // the scroll arrow width plus 2
    ASSERT_NE(skin.ComboButton, nullptr);
    const TBitmap& combo = *skin.ComboButton->Bitmap;
    ASSERT_EQ(combo.Width(), 200);
    ASSERT_EQ(combo.Height(), 21);
    EXPECT_EQ(skin.ComboButton->Style, 2);
    EXPECT_EQ(skin.ComboButton->Margins(), (TRect{2, 2, w + 2, 2}));
    for (int f = 1; f <= 4; ++f) {
        SCOPED_TRACE(f);
        const int x0 = (f - 1) * 50;
        EXPECT_EQ(combo.Pixels(x0 + 1, 1), rgbOf(frameColour(190, f)));        // sunken edge
        EXPECT_EQ(combo.Pixels(x0 + 10, 10), clFuchsia);                        // refilled inside
        EXPECT_EQ(combo.Pixels(x0 + 50 - w + 5, 10), rgbOf(frameColour(200, f)));  // button part
        EXPECT_EQ(combo.Pixels(x0 + 50 - w, 0), rgbOf(frameColour(190, f)));    // key pixel shows the edge
    }
    EXPECT_EQ(skin.SunkEdge->Bitmap->Pixels(199 - 10, 10), clFuchsia);  // the mirrored strip
    EXPECT_EQ(skin.SunkEdge->Bitmap->Pixels(199 - (50 - w + 5), 10), rgbOf(frameColour(200, 1)));
    EXPECT_EQ(skin.SunkEdge->Margins().Left, w + 2);
    EXPECT_EQ(skin.SunkEdge->Margins().Right, 2);
    ASSERT_NE(skin.ComboxArrow, nullptr);
    EXPECT_EQ(skin.ComboxArrow->Frame, 4);
    EXPECT_EQ(skin.ComboxArrow->Bitmap->Width(), 68);
    EXPECT_EQ(skin.ComboxArrow->Bitmap->Height(), 17);
    EXPECT_EQ(skin.ComboxArrow->Bitmap->Pixels(17 * 2 + 8, 8), rgbOf(frameColour(200, 3)));
}

TEST(SknDataTest, ComboWithoutSunkEdgeAndTheReverse)
{
    const QByteArray comboOnly = "[Colours]\nButtonFace=1 2 3\n[ComboButton]\nImage=combo.bmp\n";
    TTestSkinData skin;
    ASSERT_TRUE(skin.LoadSkin(skinFile(comboOnly, {{"combo.bmp", strip(19, 21, 4, 200, false, true)}})));
    ASSERT_NE(skin.ComboxArrow, nullptr);
    EXPECT_EQ(skin.ComboxArrow->Frame, 4);
    EXPECT_EQ(skin.ComboxArrow->Bitmap->Pixels(0, 0), RGB(1, 2, 3));  // the key colour replaced
    EXPECT_EQ(skin.ComboxArrow->Bitmap->Pixels(1, 0), rgbOf(frameColour(200, 1)));
    EXPECT_EQ(skin.ComboButton->Bitmap2->Pixels(75, 0), clFuchsia);  // the mirrored copy
    EXPECT_EQ(skin.ComboButton->Bitmap->Width(), 76);                // not composed

    const QByteArray sunkOnly = "[SunkEdge]\nImage=sunk.bmp\n";
    ASSERT_TRUE(skin.LoadSkin(skinFile(sunkOnly, {{"sunk.bmp", strip(10, 21, 4, 190)}})));
    EXPECT_EQ(skin.ComboxArrow, nullptr);
    EXPECT_EQ(skin.SunkEdge->Bitmap->Width(), 40);
}

TEST(SknDataTest, SmallAndOddDescriptions)
{
    TTestSkinData skin;
    // No description at all: every default, the always-present objects empty.
    ASSERT_TRUE(skin.LoadSkin(skinpack::PackSkinFile(skinpack::WriteContainer({}))));
    EXPECT_TRUE(skin.SkinLoaded());
    EXPECT_TRUE(skin.Buttons->Bitmap->Empty());
    EXPECT_EQ(skin.Colors[scButtonFace].Color, clBtnFace);
    EXPECT_EQ(skin.Colors[scFrameColor].Color, clBtnFace);
    EXPECT_EQ(skin.CaptionButtons.size(), 3u);
    EXPECT_TRUE(skin.CaptionButtons[0]->Bitmap->Empty());

    // An Action 4 button with no maximise button before it keeps its own
    // place; an MDI strip narrower than its twelve frames gives no images.
    const QByteArray odd = "[BUTTON1]\nAction=4\nXcoord=9\nYcoord=8\n"
                           "[BUTTON2]\nAction=1\nVisibility=2\nXcoord=70\n"
                           "[MDICONTROLS]\nImage=mdi.bmp\n"
                           "[Personality]\nTop=top.bmp\nTopFrame=0\n";
    ASSERT_TRUE(skin.LoadSkin(skinFile(odd, {{"mdi.bmp", strip(11, 14, 1, 1)}, {"top.bmp", strip(5, 1, 1, 7)}})));
    EXPECT_EQ(skin.CaptionButtons[0]->XCoord, 9);
    EXPECT_EQ(skin.CaptionButtons[0]->YCoord, 8);
    EXPECT_TRUE(skin.CaptionButtons[2]->Bitmap->Empty());
    EXPECT_EQ(skin.CaptionButtons[2]->XCoord, 12);
    // A one-pixel Top border with frame count 0: one frame, colour from row 0.
    EXPECT_EQ(skin.Top->Frame, 1);
    EXPECT_EQ(skin.Colors[scFrameColor].Color, rgbOf(frameColour(7, 1)));
}

TEST(SknDataTest, ARefusedFileKeepsTheSkin)
{
    TTestSkinData skin;
    ASSERT_TRUE(skin.LoadSkin(skinFile(fullDescription, fullBitmaps())));
    QByteArray older = skinpack::WriteContainer({});
    older[0] = 0x10;  // format code 10000 + ...
    EXPECT_FALSE(skin.LoadSkin(skinpack::PackSkinFile(older)));
    EXPECT_EQ(skin.LastError(), "This is Older Skin File\rPlease update to new version !");
    EXPECT_FALSE(skin.SkinLoaded());
    ASSERT_NE(skin.Progress, nullptr);
    EXPECT_EQ(skin.Left->Frame, 2);
}

// Damaged skin files and damaged bitmaps inside good files: each is read
// or refused, never a crash or a read out of bounds (the sanitizer builds
// run this too).
TEST(SknDataTest, MutatedSkinFiles)
{
    const QByteArray good = skinFile(fullDescription, fullBitmaps());
    const std::vector<QByteArray> seeds = {
        good,
        skinFile(fullDescription, fullBitmaps(), skinpack::LzhufMode::LiteralOnly),
        QByteArray::fromHex("1400000006060000"),  // a match at the very start
    };
    int refused = 0;
    vorlane::test::ForEachMutation(seeds, 20261210u, 700, [&](const QByteArray& file) {
        TTestSkinData skin;
        refused += skin.LoadSkin(file) ? 0 : 1;
    });
    EXPECT_GT(refused, 0);
    vorlane::test::ForEachTruncation(good.left(300), [](const QByteArray& file) {
        TTestSkinData skin;
        skin.LoadSkin(file);
    });

    // Bitmap entries damaged while the container stays sound.
    const QByteArray bitmap = strip(10, 21, 4, 190);
    const QByteArray description = "[SunkEdge]\nImage=sunk.bmp\n[ComboButton]\nImage=combo.bmp\n";
    vorlane::test::ForEachMutation({bitmap}, 7u, 400, [&](const QByteArray& damaged) {
        TTestSkinData skin;
        EXPECT_TRUE(skin.LoadSkin(skinFile(description, {{"sunk.bmp", damaged}, {"combo.bmp", damaged}},
                                           skinpack::LzhufMode::LiteralOnly)));
    });
}

// ---- the component: properties, "SkinStream", Loaded ------------------------

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include "platform/controls/Forms.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"
#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypInfo.h"
#include "skin/SknManage.h"

namespace {

QByteArray ownSkinStream()
{
    QFile file(QStringLiteral(":/SkinStream"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray withCount(int32_t count, const QByteArray& rest)
{
    QByteArray value(4, '\0');
    qToLittleEndian<int32_t>(count, value.data());
    return value + rest;
}

struct ManagerReset {
    ManagerReset() { FreeSkinManager(); }
    ~ManagerReset() { FreeSkinManager(); }
};

}  // namespace

TEST(SkinDataComponent, ConstructorValuesAndThePropertyTable)
{
    ManagerReset reset;
    TSkinData data(nullptr);
    EXPECT_FALSE(data.Active());
    EXPECT_EQ(data.DisableTag(), 99);
    EXPECT_EQ(data.SkinFormtype(), sfMainform);
    EXPECT_TRUE(data.MenuUpdate());
    EXPECT_FALSE(data.MenuMerge());
    EXPECT_EQ(GetSetProp(&data, QStringLiteral("Options")),
              QStringLiteral("xoPreview,xoToolbarBK,xoCaptionButtonHint"));
    const TSkinControlTypes controls = data.SkinControls();
    EXPECT_TRUE(controls.Contains(xcMainMenu));
    EXPECT_TRUE(controls.Contains(xcSystemMenu));
    EXPECT_TRUE(controls.Contains(xcTrackBar));
    EXPECT_FALSE(controls.Contains(xcMenuItem));
    EXPECT_FALSE(controls.Contains(xcFastReport));
    ASSERT_EQ(data.Skin3rd()->Count(), 118);
    EXPECT_EQ(data.Skin3rd()->Strings(0), QStringLiteral("TCategoryButtons=scrollbar"));
    EXPECT_EQ(data.Skin3rd()->Strings(117), QStringLiteral("TOVCDBNUMERICFIELD=Edit"));
    EXPECT_EQ(GetStrProp(&data, QStringLiteral("Version")), QStringLiteral("2.10.04.17"));
    SetStrProp(&data, QStringLiteral("Version"), QStringLiteral("9"));
    EXPECT_EQ(data.Version(), QStringLiteral("2.10.04.17"));

    // Every published property is stored, including the skin bytes.
    for (const char* name : {"Active", "DisableTag", "SkinControls", "Options", "SkinFormtype", "MenuUpdate",
                             "MenuMerge", "SkinStream"}) {
        const TPropInfo* p = GetPropInfo(&data, QString::fromLatin1(name));
        ASSERT_NE(p, nullptr) << name;
        EXPECT_TRUE(IsStoredProp(&data, p)) << name;
    }
    // Assigning Skin3rd copies the lines.
    TStringList lines;
    lines.Add(QStringLiteral("TMine=button"));
    data.SetSkin3rd(&lines);
    lines.Clear();
    ASSERT_EQ(data.Skin3rd()->Count(), 1);
    EXPECT_EQ(data.Skin3rd()->Strings(0), QStringLiteral("TMine=button"));
}

TEST(SkinDataComponent, SkinStreamRoundTripsAndBadCountsSkipTheSkin)
{
    ManagerReset reset;
    const QByteArray own = ownSkinStream();
    ASSERT_GT(own.size(), 4);
    {
        TSkinData data(nullptr);
        SetBinaryProp(&data, QStringLiteral("SkinStream"), own);
        EXPECT_TRUE(data.SkinLoaded());
        EXPECT_EQ(GetBinaryProp(&data, QStringLiteral("SkinStream")), own);
        EXPECT_EQ(data.SkinStore(), QStringLiteral("(none)"));  // only "(Good)" at design time
        data.SetDesigning(true);
        EXPECT_EQ(data.SkinStore(), QStringLiteral("(Good)"));
    }
    {
        TSkinData empty(nullptr);
        SetBinaryProp(&empty, QStringLiteral("SkinStream"), withCount(0, {}));
        EXPECT_FALSE(empty.SkinLoaded());
        EXPECT_EQ(GetBinaryProp(&empty, QStringLiteral("SkinStream")), withCount(0, {}));
    }
    const QByteArray file = own.mid(4);
    const struct {
        const char* what;
        QByteArray value;
    } bad[] = {
        {"negative", withCount(-5, file)},
        {"too large", withCount(int32_t(file.size()) + 1, file)},
        {"huge", withCount(INT32_MAX, file)},
        {"cut in the count", QByteArray("\x10\x00", 2)},
        {"cut in the data", withCount(int32_t(file.size()), file.left(100))},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.what);
        TSkinData data(nullptr);
        data.Loading();
        data.SetActive(true);
        EXPECT_NO_THROW(SetBinaryProp(&data, QStringLiteral("SkinStream"), c.value));
        EXPECT_FALSE(data.SkinLoaded());
        data.Loaded();
        EXPECT_FALSE(data.Active());  // no skin: Active turns False and the form goes on
    }
}

TEST(SkinDataComponent, LoadedNormalisesTheControlKindsAndStartsTheManager)
{
    const struct {
        TSkinControlTypes given, expected;
    } cases[] = {
        {{xcMainMenu, xcMenuItem}, {xcMainMenu}},
        {{xcMenuItem, xcSystemMenu}, {xcMenuItem}},
        {{xcMainMenu, xcSystemMenu, xcButton}, {xcMainMenu, xcSystemMenu, xcButton}},
    };
    for (const auto& c : cases) {
        ManagerReset reset;
        TSkinData data(nullptr);
        data.Loading();
        data.SetSkinControls(c.given);
        data.Loaded();
        EXPECT_EQ(data.SkinControls().Bits(), c.expected.Bits());
        ASSERT_NE(SkinManager(), nullptr);
        EXPECT_TRUE(SkinManager()->HookInstalled());
        EXPECT_EQ(SkinManager()->MainSkinData(), &data);
    }

    // With a skin and Active, Loaded queues "skin all" for the first activation.
    ManagerReset reset;
    TSkinData data(nullptr);
    data.Loading();
    data.SetActive(true);
    SetBinaryProp(&data, QStringLiteral("SkinStream"), ownSkinStream());
    data.Loaded();
    EXPECT_TRUE(data.Active());
    EXPECT_EQ(SkinManager()->CurrentSkinData(), &data);
    EXPECT_EQ(SkinManager()->PendingAction(), 1);
    EXPECT_TRUE(SkinManager()->On());
    EXPECT_FALSE(SkinManager()->TimerEnabled());  // before any activation
}

TEST(SkinDataComponent, AnUnreadableSkinIsReportedOnceThroughTheExceptionPath)
{
    ManagerReset reset;
    std::unique_ptr<TApplication> app;
    if (Application == nullptr)
        app = std::make_unique<TApplication>(nullptr);
    ASSERT_NE(Application, nullptr);
    QStringList reported;
    auto saved = Application->OnException;
    Application->OnException =
        TExceptionEvent::FromFunction([&](TObject*, const Exception& E) { reported << E.Message(); });
    {
        TSkinData data(nullptr);
        data.Loading();
        data.SetActive(true);
        // A skin file with an unknown format code.
        QByteArray container(16, '\0');
        qToLittleEndian<int32_t>(12345, container.data());
        SetBinaryProp(&data, QStringLiteral("SkinStream"),
                      skinpack::SkinStreamValue(skinpack::PackSkinFile(container)));
        EXPECT_TRUE(reported.isEmpty());  // nothing from inside the reader
        data.Loaded();
        EXPECT_FALSE(data.Active());
        QApplication::processEvents();
        QApplication::processEvents();
    }
    Application->OnException = saved;
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].startsWith(QStringLiteral("This is Older Skin File")));
}

TEST(SkinDataComponent, FormSkinExclusionsGiveWayToOnFormSkin)
{
    ManagerReset reset;
    TSkinData data(nullptr);
    auto ask = [&](const char* cls) {
        bool doSkin = true;
        data.DoFormSkin(0, QString::fromLatin1(cls), doSkin);
        return doSkin;
    };
    EXPECT_FALSE(ask("SysMonthCal32"));
    EXPECT_TRUE(ask("TfrDesigner"));
    EXPECT_TRUE(ask("TMainForm"));
    data.SetSkinControls(data.SkinControls() + TSkinControlTypes{xcFastReport});
    EXPECT_FALSE(ask("TfrDesigner"));
    QStringList asked;
    data.OnFormSkin = TOnFormSkin::FromFunction([&](TObject* sender, String name, bool&) {
        EXPECT_EQ(sender, &data);
        asked << name;
    });
    EXPECT_TRUE(ask("SysMonthCal32"));
    EXPECT_TRUE(ask("TfrDesigner"));
    EXPECT_EQ(asked, (QStringList{"SysMonthCal32", "TfrDesigner"}));
}

TEST(SkinDataComponent, ActiveOnAComponentThatNeverPassedLoadedMakesTheManager)
{
    ManagerReset reset;
    TSkinData data(nullptr);
    SetBinaryProp(&data, QStringLiteral("SkinStream"), ownSkinStream());
    ASSERT_EQ(SkinManager(), nullptr);
    data.SetActive(true);
    ASSERT_NE(SkinManager(), nullptr);
    EXPECT_EQ(SkinManager()->SkinDatas(), std::vector<TSkinData*>{&data});
    EXPECT_EQ(SkinManager()->CurrentSkinData(), &data);
    EXPECT_EQ(SkinManager()->PendingAction(), 1);
}

TEST(SkinDataComponent, SkinFileLoadsAnExistingFileAndIgnoresAMissingOne)
{
    ManagerReset reset;
    TSkinData data(nullptr);
    data.SetSkinFile(QStringLiteral("/nonexistent/skin.skn"));
    EXPECT_FALSE(data.SkinLoaded());
    EXPECT_EQ(data.SkinFile(), QStringLiteral("/nonexistent/skin.skn"));
    const QString path = QDir::temp().filePath(QStringLiteral("vorlane-skin-%1.skn").arg(QCoreApplication::applicationPid()));
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(ownSkinStream().mid(4));
    }
    data.SetSkinFile(path);
    QFile::remove(path);
    EXPECT_TRUE(data.SkinLoaded());
    EXPECT_EQ(data.SkinStream(), ownSkinStream());
    EXPECT_NE(SkinManager(), nullptr);  // SkinChanged made it
}

// What Loaded and the constructor make for the form skinners: the caption
// font, the program's icon on magenta, the four menu glyphs, and the caption
// buttons' hint, shown once until hidden.
TEST(SkinDataComponent, CaptionFontIconGlyphsAndTheCaptionHint)
{
    ManagerReset reset;
    std::unique_ptr<TApplication> app;
    if (Application == nullptr)
        app = std::make_unique<TApplication>(nullptr);
    TIcon icon;
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(Qt::transparent);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            small.setPixel(x, y, 0xFFFF0000);
    icon.AddImage(small);
    Application->SetIcon(&icon);

    TSkinData data(nullptr);
    EXPECT_EQ(data.CaptionFont(), nullptr);
    EXPECT_TRUE(data.AppIconBitmap()->Empty());
    data.Loading();
    data.Loaded();
    ASSERT_NE(data.CaptionFont(), nullptr);
    EXPECT_TRUE(data.CaptionFont()->Style().Contains(fsBold));
    EXPECT_EQ(data.CaptionFont()->Height(), GetNonClientMetrics().lfCaptionFont.Height);
    TBitmap* appIcon = data.AppIconBitmap();
    ASSERT_EQ(appIcon->Width(), 16);
    ASSERT_EQ(appIcon->Height(), 16);
    EXPECT_EQ(appIcon->Canvas()->Pixels(0, 0), TColor(0xFF00FF));
    EXPECT_EQ(appIcon->Canvas()->Pixels(8, 8), TColor(0x0000FF));
    EXPECT_TRUE(appIcon->Transparent());
    EXPECT_EQ(appIcon->TransparentColor(), TColor(0xFF00FF));
    Application->SetIcon(nullptr);

    TImageList* glyphs = data.MenuImages();
    ASSERT_EQ(glyphs->Count(), 4);
    EXPECT_EQ(glyphs->Width(), 16);
    for (int i = 0; i < 4; ++i) {
        const QImage glyph = glyphs->ImageAt(i);
        int drawn = 0, clear = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                (qAlpha(glyph.pixel(x, y)) == 0 ? clear : drawn)++;
        EXPECT_GT(drawn, 0) << i;
        EXPECT_GT(clear, 0) << i;  // white is see-through
    }

    data.ShowCaptionHint(Rect(200, 120, 216, 136), QStringLiteral("Close"));
    ASSERT_TRUE(data.HintShown());
    THintWindow* hint = data.CaptionHintWindow();
    EXPECT_EQ(hint->Caption(), QStringLiteral("Close"));
    EXPECT_EQ(hint->Left(), 200);
    EXPECT_EQ(hint->Top(), 120);
    EXPECT_LE(hint->Width(), 500 + 8);
    data.ShowCaptionHint(Rect(0, 0, 1, 1), QStringLiteral("Minimize"));  // one at a time
    EXPECT_EQ(hint->Caption(), QStringLiteral("Close"));
    data.HideCaptionHint();
    EXPECT_FALSE(data.HintShown());
    EXPECT_FALSE(hint->HandleAllocated());
    data.SetOptions(data.Options() - TSkinOptions{xoCaptionButtonHint});
    data.ShowCaptionHint(Rect(0, 0, 1, 1), QStringLiteral("Minimize"));
    EXPECT_FALSE(data.HintShown());
}
