// The program's own skin, as the build embeds it: it loads completely,
// every strip cuts into whole, distinct frames, and the generator gives
// the same bytes every time.
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Stream.h"
#include "skin/SknData.h"
#include "skin/SknReader.h"
#include "tools/skingen/SkinGen.h"
#include "tools/skinpack/SkinPack.h"

namespace {

QByteArray resource(const char* name)
{
    QFile file(QString::fromLatin1(":/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The skin file inside the embedded "SkinStream" value.
QByteArray embeddedSkinFile()
{
    const QByteArray value = resource("SkinStream");
    if (value.size() < 4)
        return {};
    EXPECT_EQ(qFromLittleEndian<int32_t>(value.constData()), value.size() - 4);
    return value.mid(4);
}

std::unique_ptr<TSkinReader> readSkin(const QByteArray& skinFile)
{
    auto reader = std::make_unique<TSkinReader>();
    TMemoryStream stream;
    stream.WriteBuffer(skinFile.constData(), skinFile.size());
    EXPECT_TRUE(reader->ReadContainer(&stream)) << reader->LastError().toStdString();
    return reader;
}

QByteArray entry(const TSkinReader& reader, const char* name)
{
    TMemoryStream dest;
    reader.ExtractEntry(String::fromLatin1(name), &dest);
    return QByteArray(static_cast<const char*>(dest.Memory()), int(dest.Size()));
}

bool sameFrame(const TBitmap& b, int w, int h, bool stacked, int f, int g)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int ax = stacked ? x : f * w + x, ay = stacked ? f * h + y : y;
            const int bx = stacked ? x : g * w + x, by = stacked ? g * h + y : y;
            if (b.Pixels(ax, ay) != b.Pixels(bx, by))
                return false;
        }
    return true;
}

// A strip that holds a whole number of frames, no two of them alike.
void expectStrip(const TBitmap& b, int frames, bool stacked, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_FALSE(b.Empty());
    const int length = stacked ? b.Height() : b.Width();
    ASSERT_GE(frames, 1);
    ASSERT_EQ(length % frames, 0) << length << " / " << frames;
    const int w = stacked ? b.Width() : length / frames, h = stacked ? length / frames : b.Height();
    for (int f = 0; f < frames; ++f)
        for (int g = f + 1; g < frames; ++g)
            EXPECT_FALSE(sameFrame(b, w, h, stacked, f, g)) << "frames " << f + 1 << " and " << g + 1;
}

}  // namespace

TEST(SkinGen, TheEmbeddedSkinNamesNoMissingEntryAndFillsEverySection)
{
    const QByteArray skinFile = embeddedSkinFile();
    ASSERT_FALSE(skinFile.isEmpty());
    const auto reader = readSkin(skinFile);

    // Every bitmap the description names is an entry that loads.
    const QByteArray description = entry(*reader, "skin.ini");
    ASSERT_FALSE(description.isEmpty());
    int named = 0;
    for (const QByteArray& raw : description.split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype eq = line.indexOf('=');
        if (eq < 0 || !line.endsWith(".bmp"))
            continue;
        ++named;
        const QByteArray name = line.mid(eq + 1).trimmed();
        SCOPED_TRACE(name.toStdString());
        TMemoryStream stream;
        reader->ExtractEntry(String::fromLatin1(name), &stream);
        ASSERT_GT(stream.Size(), 0);
        TBitmap bitmap;
        bitmap.LoadFromStream(&stream);
        EXPECT_FALSE(bitmap.Empty());
    }
    // And every bitmap entry is named by the description.
    EXPECT_EQ(size_t(named), reader->Names().size() - 1);

    TSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadSkin(skinFile)) << skin.LastError().toStdString();
    ASSERT_TRUE(skin.SkinLoaded());
    for (int slot : {scWindowText, scTitleTextActive, scTitleTextNoActive, scButtonFace, scButtonText,
                     scButtonHilight, scButtonlight, scButtonShadow, scButtonDkShadow, scHilightText, scHilight,
                     scMenubar, scMenuBarText, scMenuText, scMenu, scFrameColor, scScrollbar})
        EXPECT_TRUE(skin.Colors[size_t(slot)].Given) << "colour slot " << slot;
    EXPECT_EQ(skin.Colors[scFrameColor].Color, TColor(30 + 58 * 256 + 90 * 65536));  // the header blue
    EXPECT_EQ(skin.Colors[scHilight].Color, TColor(0 + 120 * 256 + 215 * 65536));
    EXPECT_EQ(skin.CustomColors[1], TColor(30 + 58 * 256 + 90 * 65536));
    EXPECT_NE(skin.Title->ActiveText, clNone);
    EXPECT_NE(skin.Title->InActiveText, clNone);

    // Frame strips: the four borders (active, inactive), the caption
    // background, every optional object and the caption buttons.
    expectStrip(*skin.Top->Bitmap, skin.Top->Frame, true, "Top");
    expectStrip(*skin.Bottom->Bitmap, skin.Bottom->Frame, true, "Bottom");
    EXPECT_EQ(skin.Top->Frame, 2);
    for (const TDataSkinObject* side : std::initializer_list<const TDataSkinObject*>{
             skin.Left.get(), skin.Right.get(), skin.Title.get()}) {
        EXPECT_EQ(side->Frame, 2);
        expectStrip(*side->Bitmap, side->Frame, false, side->Name.toStdString());
    }
    expectStrip(*skin.Buttons->Bitmap, 5, false, "Buttons");
    expectStrip(*skin.Buttons->CheckBitmap, skin.Buttons->CheckButtonFrame, false, "CheckButton");
    expectStrip(*skin.Buttons->RadioBitmap, skin.Buttons->RadioButtonFrame, false, "RadioButton");
    const std::pair<const char*, const TDataSkinObject*> objects[] = {
        {"Progress", skin.Progress.get()},
        {"Progress.Chunk", skin.ProgressChunk.get()},
        {"MenuBar", skin.MenuBar.get()},
        {"GroupBoxEdge", skin.GroupBoxEdge.get()},
        {"GroupBox", skin.GroupBox.get()},
        {"Tabs", skin.Tabs.get()},
        {"StatusBarEdges", skin.StatusBarEdges.get()},
        {"Tab.Pane", skin.TabPane.get()},
        {"ToolBars", skin.ToolBars.get()},
        {"ComboButton", skin.ComboButton.get()},
        {"SunkEdge", skin.SunkEdge.get()},
        {"ExtraImages", skin.ExtraImages.get()},
        {"Headerbar", skin.Headerbar.get()},
        {"MenuItem", skin.MenuItem.get()},
        {"MenuBackground", skin.MenuBackground.get()},
        {"Scrollbar", skin.Scrollbar.get()},
        {"HorzScroll", skin.HorzScroll.get()},
        {"VertScroll", skin.VertScroll.get()},
        {"HorzScrollThumb", skin.HorzScrollThumb.get()},
        {"VertScrollThumb", skin.VertScrollThumb.get()},
        {"Trackbar.ThumbHorz", skin.ThumbHorz.get()},
        {"Trackbar.ThumbVert", skin.ThumbVert.get()},
        {"Trackbar.ThumbLeft", skin.ThumbLeft.get()},
        {"Trackbar.ThumbRight", skin.ThumbRight.get()},
        {"Trackbar.ThumbUp", skin.ThumbUp.get()},
        {"Trackbar.ThumbDown", skin.ThumbDown.get()},
        {"UpDown.Horz", skin.UpDownHorz.get()},
        {"UpDown.Vert", skin.UpDownVert.get()},
        {"Track", skin.Track.get()},
        {"TRACKVERT", skin.TrackVert.get()},
        {"ComboxArrow", skin.ComboxArrow.get()},
    };
    for (const auto& [name, object] : objects) {
        ASSERT_NE(object, nullptr) << name;
        expectStrip(*object->Bitmap, object->Frame, false, name);
    }
    expectStrip(*skin.Tabs->Bitmap2, 1, false, "Tabs border");
    expectStrip(*skin.UpDownHorz->Bitmap2, 8, false, "UpDown.Horz glyphs");
    expectStrip(*skin.UpDownVert->Bitmap2, 8, false, "UpDown.Vert glyphs");
    EXPECT_EQ(skin.Scrollbar->Frame, 23);
    EXPECT_EQ(skin.Headerbar->Frame, 5);

    // Icon, close, maximise, restore, minimise, then the three child-window buttons.
    ASSERT_EQ(skin.CaptionButtons.size(), 8u);
    for (const auto& button : skin.CaptionButtons) {
        if (button->Action == 3)
            continue;  // the window icon: drawn from the icon, not the skin
        expectStrip(*button->Bitmap, button->Frame, false, button->Name.toStdString());
    }
    EXPECT_EQ(skin.CaptionButtons[1]->Action, 0);
    EXPECT_EQ(skin.CaptionButtons[1]->Frame, 4);
    // The close button turns red when hot: frame 2 centre-left of the glyph.
    const TBitmap& close = *skin.CaptionButtons[1]->Bitmap;
    EXPECT_EQ(close.Pixels(46 + 2, 2), TColor(196 + 43 * 256 + 28 * 65536));
    EXPECT_EQ(close.Pixels(2, 2), TColor(30 + 58 * 256 + 90 * 65536));
    // Rounded top corners: the top-left pixel of the active caption is the key colour.
    EXPECT_EQ(skin.Top->Bitmap->Pixels(0, 0), TColor(0xFF00FF));
}

TEST(SkinGen, TheBuildOutputIsTheGeneratorsAndRepeatsByteForByte)
{
    const QByteArray skinFile = embeddedSkinFile();
    const auto reader = readSkin(skinFile);
    const QByteArray description = entry(*reader, "skin.ini");
    const QByteArray once = skingen::BuildSkinFile(description);
    EXPECT_EQ(once, skingen::BuildSkinFile(description));
    EXPECT_EQ(once, skinFile);

    // The separate resources: each is the generator's bitmap, and they load.
    const auto art = skingen::ResourceBitmaps();
    EXPECT_EQ(art.size(), 3u + 27u);
    for (const skingen::Art& a : art) {
        SCOPED_TRACE(a.Name.toStdString());
        const QByteArray bytes = resource(a.Name.toLatin1().constData());
        EXPECT_EQ(bytes, skinpack::WriteBmp(a.Image));
        TMemoryStream stream;
        stream.WriteBuffer(bytes.constData(), bytes.size());
        stream.SetPosition(0);
        TBitmap bitmap;
        bitmap.LoadFromStream(&stream);
        EXPECT_FALSE(bitmap.Empty());
    }
    // The four 16-pixel menu glyphs are different from one another.
    const QImage menu = art[0].Image;
    ASSERT_EQ(menu.size(), QSize(64, 16));
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_NE(menu.copy(16 * a, 0, 16, 16), menu.copy(16 * b, 0, 16, 16));
}
