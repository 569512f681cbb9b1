#include "skin/SknData.h"

#include <QFile>
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImgList.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringList.h"
#include "skin/SknForm.h"
#include "skin/SknImgUtil.h"
#include "skin/SknIni.h"
#include "skin/SknManage.h"
#include "skin/SknReader.h"

namespace {

const String sPersonality = QStringLiteral("Personality");
const String sButtons = QStringLiteral("Buttons");
const String sColours = QStringLiteral("Colours");

String S(const char* text)
{
    return String::fromLatin1(text);
}

std::unique_ptr<TBitmap> emptyBitmap()
{
    return std::make_unique<TBitmap>();
}

// The default of each colour slot (slot 13 follows the skin's ButtonFace).
struct ColourKey {
    int slot;
    const char* key;
    TColor fallback;
};
const ColourKey colourKeys[] = {
    {scWindowText, "WindowText", clWindowText},       {scButtonFace, "ButtonFace", clBtnFace},
    {scScrollbar, "Scrollbar", clScrollBar},          {scHilightText, "HilightText", clHighlightText},
    {scHilight, "Hilight", clHighlight},              {scMenubar, "Menubar", clBtnFace},
    {scMenu, "Menu", clMenu},                         {scMenuText, "MenuText", clMenuText},
    {scButtonText, "ButtonText", clBtnText},          {scButtonHilight, "ButtonHilight", clBtnHighlight},
    {scButtonlight, "Buttonlight", clBtnHighlight},   {scButtonShadow, "ButtonShadow", clBtnShadow},
    {scButtonDkShadow, "ButtonDkShadow", cl3DDkShadow}, {scMenuBarText, "MenuBarText", clMenuText},
    {scTitleTextActive, "TitleTextActive", clCaptionText},
    {scTitleTextNoActive, "TitleTextNoActive", clInactiveCaptionText},
};

bool vertical(const TDataSkinObject& object)
{
    return object.Name == QLatin1String("Top") || object.Name == QLatin1String("Bottom");
}

// An image that cannot hold one pixel per frame has no usable frames.
bool tooNarrow(const TDataSkinObject& object)
{
    const TBitmap& b = *object.Bitmap;
    return !b.Empty() && (vertical(object) ? b.Height() : b.Width()) < object.Frame;
}

}  // namespace

TDataSkinObject::TDataSkinObject() : Bitmap(emptyBitmap()) {}
TDataSkinObject::~TDataSkinObject() = default;
TDataSkinBorder::TDataSkinBorder() : Bitmap2(emptyBitmap()) {}
TDataSkinBorder::~TDataSkinBorder() = default;
TDataSkinButton::TDataSkinButton() : CheckBitmap(emptyBitmap()), RadioBitmap(emptyBitmap()) {}
TDataSkinButton::~TDataSkinButton() = default;

TSkinData::TSkinData(TComponent* AOwner)
    : TComponent(AOwner),
      Buttons(std::make_unique<TDataSkinButton>()),
      Left(std::make_unique<TDataSkinBorder>()),
      Right(std::make_unique<TDataSkinBorder>()),
      Top(std::make_unique<TDataSkinBorder>()),
      Bottom(std::make_unique<TDataSkinBorder>()),
      Title(std::make_unique<TDataSkinTitle>()),
      ButtonFaceBrush(std::make_unique<TBrush>()),
      FAppIconBitmap(std::make_unique<TBitmap>()),
      FHintWindow(std::make_unique<THintWindow>(nullptr))
{
    FAppIconBitmap->SetPixelFormat(pf24bit);
    CustomColors.fill(clWhite);
    for (const ColourKey& key : colourKeys)
        Colors[size_t(key.slot)] = {key.fallback, false};
    Colors[scFrameColor] = {clBtnFace, false};
    ButtonFaceBrush->SetColor(clBtnFace);
    initComponent();
}

TSkinData::~TSkinData()
{
    if (TSkinManage* manager = SkinManager())
        manager->UnregisterSkinData(this);
}

bool TSkinData::LoadSkin(const QByteArray& SkinFile)
{
    FSkinLoaded = false;
    FReader = std::make_unique<TSkinReader>();
    TMemoryStream packed;
    packed.WriteBuffer(SkinFile.constData(), SkinFile.size());
    const bool read = FReader->ReadContainer(&packed);
    if (!read) {
        FLastError = FReader->LastError();
        FReader.reset();
        return false;
    }
    FLastError.clear();
    TMemoryStream description;
    String name;
    FReader->ExtractEntryContaining(S(".ini"), &description, name);
    FIni = std::make_unique<TQuickIni>();
    FIni->LoadFromStream(&description);
    ParseSkin();
    FIni.reset();
    FReader.reset();
    return true;
}

TColor TSkinData::ColorFromText(const String& Text, TColor Default)
{
    const String text = Text.trimmed();
    if (text.isEmpty())
        return Default;
    int numbers[3] = {0, 0, 0};
    int taken = 0;
    int current = 0;
    bool inNumber = false;
    for (QChar ch : text) {
        if (ch >= u'0' && ch <= u'9') {
            // Kept to a byte as it grows: a long run of digits cannot overflow.
            current = (current * 10 + (ch.unicode() - '0')) % 256;
            inNumber = true;
            continue;
        }
        if (inNumber && taken < 3)
            numbers[taken] = current;
        if (inNumber)
            ++taken;
        inNumber = false;
        current = 0;
    }
    if (inNumber && taken == 2)
        numbers[taken++] = current;
    return TColor(numbers[0] + 256 * numbers[1] + 65536 * numbers[2]);
}

void TSkinData::LoadSkinBitmap(TBitmap* Bitmap, const String& FileName)
{
    if (Bitmap == nullptr)
        return;
    const qsizetype slash = std::max(FileName.lastIndexOf(u'\\'), FileName.lastIndexOf(u'/'));
    const String name = FileName.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (name.isEmpty() || FReader == nullptr || dot < 0 || name.mid(dot) != QLatin1String(".bmp")) {
        Bitmap->Assign(nullptr);
        return;
    }
    TMemoryStream entry;
    FReader->ExtractEntry(name, &entry);
    if (entry.Size() == 0) {
        Bitmap->Assign(nullptr);
        return;
    }
    try {
        Bitmap->LoadFromStream(&entry);
    } catch (const Exception&) {
        Bitmap->Assign(nullptr);  // a damaged bitmap is an absent one
    }
}

bool TSkinData::LoadResourceBitmap(const String& Name, TBitmap* Bitmap)
{
    QFile file(String::fromLatin1(":/") + Name);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    TMemoryStream stream;
    const QByteArray bytes = file.readAll();
    stream.WriteBuffer(bytes.constData(), bytes.size());
    stream.SetPosition(0);
    try {
        Bitmap->LoadFromStream(&stream);
    } catch (const Exception&) {
        return false;
    }
    return !Bitmap->Empty();
}

void TSkinData::readGeneric(TDataSkinObject& object, const String& section, bool withFrame, bool withColours)
{
    object.Name = section;
    object.Style = FIni->ReadInteger(section, S("Style"), 0);
    object.LeftWidth = FIni->ReadInteger(section, S("LeftWidth"), 0);
    object.RightWidth = FIni->ReadInteger(section, S("RightWidth"), 0);
    object.TopHeight = FIni->ReadInteger(section, S("TopHeight"), 0);
    object.BottomHeight = FIni->ReadInteger(section, S("BottomHeight"), 0);
    if (withFrame)
        object.Frame = FIni->ReadInteger(section, S("Frame"), 0);
    object.Trans = FIni->ReadInteger(section, S("Trans"), 0);
    object.Tile = FIni->ReadInteger(section, S("Tile"), 0);
    if (object.Tile > 1)
        object.Tile = 0;
    if (!withColours)
        return;
    object.NormalColour = FIni->ReadInteger(section, S("NormalColour"), -1);
    object.MouseOverColour = FIni->ReadInteger(section, S("MouseOverColour"), -1);
    object.PressedColour = FIni->ReadInteger(section, S("PressedColour"), -1);
    const TColor text = color(scButtonText);
    object.NormalColour2 = ColorFromText(FIni->ReadString(section, S("NormalColour2"), String()), text);
    object.MouseOverColour2 = ColorFromText(FIni->ReadString(section, S("MouseOverColour2"), String()), text);
    object.PressedColour2 = ColorFromText(FIni->ReadString(section, S("PressedColour2"), String()), text);
}

void TSkinData::ReadSkinObject(std::unique_ptr<TDataSkinObject>& Object, const String& Section)
{
    Object.reset();
    const String image = FIni->ReadString(Section, S("Image"), String());
    if (image.isEmpty())
        return;
    Object = std::make_unique<TDataSkinObject>();
    LoadSkinBitmap(Object->Bitmap.get(), image);
    readGeneric(*Object, Section, true, true);
}

void TSkinData::ReadBorderObject(std::unique_ptr<TDataSkinBorder>& Object, const String& Section,
                                 const String& Key2)
{
    Object.reset();
    const String image = FIni->ReadString(Section, S("Image"), String());
    if (image.isEmpty())
        return;
    Object = std::make_unique<TDataSkinBorder>();
    LoadSkinBitmap(Object->Bitmap.get(), image);
    readGeneric(*Object, Section, false, true);
    const String second = FIni->ReadString(Section, Key2, String());
    if (!second.isEmpty())
        LoadSkinBitmap(Object->Bitmap2.get(), second);
}

void TSkinData::ReadBitmapObject(std::unique_ptr<TDataSkinObject>& Object, const String& Section)
{
    Object.reset();
    const String image = FIni->ReadString(Section, S("Bitmap"), String());
    if (image.isEmpty())
        return;
    Object = std::make_unique<TDataSkinObject>();
    LoadSkinBitmap(Object->Bitmap.get(), image);
    readGeneric(*Object, Section, false, false);
    Object->Tile = std::min(FIni->ReadInteger(Section, S("Tile"), 0), 1);
}

void TSkinData::ReadBoxLabelObject(std::unique_ptr<TDataSkinBoxLabel>& Object, const String& Section)
{
    Object.reset();
    const String image = FIni->ReadString(Section, S("Image"), String());
    if (image.isEmpty())
        return;
    Object = std::make_unique<TDataSkinBoxLabel>();
    LoadSkinBitmap(Object->Bitmap.get(), image);
    readGeneric(*Object, Section, false, true);
    Object->BackgroundAlignment = FIni->ReadInteger(Section, S("BackgroundAlignment"), 0);
    Object->BackgroundLeftShift = FIni->ReadInteger(Section, S("BackgroundLeftShift"), 0);
    Object->BackgroundRightShift = FIni->ReadInteger(Section, S("BackgroundRightShift"), 0);
}

void TSkinData::ReadMenuBarObject()
{
    MenuBar.reset();
    const String image = FIni->ReadString(sPersonality, S("menuBar"), String());
    if (image.isEmpty())
        return;
    MenuBar = std::make_unique<TDataSkinObject>();
    MenuBar->Name = S("menuBar");
    LoadSkinBitmap(MenuBar->Bitmap.get(), image);
    MenuBar->TopHeight = MenuBar->BottomHeight = 0;
    MenuBar->Tile = std::min(FIni->ReadInteger(sPersonality, S("TileMenu"), 1), 1);
    MenuBar->LeftWidth = FIni->ReadInteger(sPersonality, S("TileLeftMenu"), 1);
    MenuBar->RightWidth = FIni->ReadInteger(sPersonality, S("TileRightMenu"), 1);
}

void TSkinData::ReadTitle()
{
    Title = std::make_unique<TDataSkinTitle>();
    Title->Name = S("Title");
    LoadSkinBitmap(Title->Bitmap.get(), FIni->ReadString(sPersonality, S("TextBack"), String()));
    Title->LeftWidth = FIni->ReadInteger(sPersonality, S("TextShift"), 0);
    Title->TopHeight = FIni->ReadInteger(sPersonality, S("TextShiftVert"), 0);
    Title->RightWidth = FIni->ReadInteger(sPersonality, S("TextRightClip"), 0);
    Title->BottomHeight = 0;
    Title->TextAlignment = FIni->ReadInteger(sPersonality, S("TextAlignment"), 0);
    Title->Textbackground = FIni->ReadInteger(sPersonality, S("Textbackground"), 0);
    Title->TXTBackleft = FIni->ReadInteger(sPersonality, S("TXTBackleft"), 0);
    Title->TXTBackRight = FIni->ReadInteger(sPersonality, S("TXTBackRight"), 0);
    Title->FontHeight = FIni->ReadInteger(S("Fonts"), S("FontHeight"), 14);
    auto rgb = [this](const char* prefix) {
        const int r = FIni->ReadInteger(sPersonality, S(prefix) + u'R', -1);
        const int g = FIni->ReadInteger(sPersonality, S(prefix) + u'G', -1);
        const int b = FIni->ReadInteger(sPersonality, S(prefix) + u'B', -1);
        if (r < 0 || g < 0 || b < 0)
            return clNone;
        return TColor((r & 0xFF) + 256 * (g & 0xFF) + 65536 * (b & 0xFF));
    };
    Title->ActiveText = rgb("ActiveText");
    Title->InActiveText = rgb("InActiveText");
}

void TSkinData::ReadBorders()
{
    struct Border {
        std::unique_ptr<TDataSkinBorder>* object;
        const char* name;
        bool horizontal;  // Top and Bottom: the Top/Bot keys are the left and right widths
    };
    const Border borders[] = {{&Left, "Left", false}, {&Right, "Right", false}, {&Top, "Top", true},
                              {&Bottom, "Bottom", true}};
    for (const Border& border : borders) {
        auto object = std::make_unique<TDataSkinBorder>();
        const String name = S(border.name);
        object->Name = name;
        LoadSkinBitmap(object->Bitmap.get(), FIni->ReadString(sPersonality, name, String()));
        const int first = FIni->ReadInteger(sPersonality, name + S("TopHeight"), 0);
        const int second = FIni->ReadInteger(sPersonality, name + S("BotHeight"), 0);
        if (border.horizontal) {
            object->LeftWidth = first;
            object->RightWidth = second;
        } else {
            object->TopHeight = first;
            object->BottomHeight = second;
        }
        object->Frame = FIni->ReadInteger(sPersonality, name + S("Frame"), 1);
        object->Tile = std::min(FIni->ReadInteger(sPersonality, name + S("Stretch"), 1), 1);
        object->Trans = FIni->ReadInteger(sPersonality, name + S("Trans"), 1);
        *border.object = std::move(object);
    }
}

void TSkinData::ReadColours()
{
    for (const ColourKey& key : colourKeys) {
        const String text = FIni->ReadString(sColours, S(key.key), String());
        const TColor fallback = key.slot == scMenubar ? color(scButtonFace) : key.fallback;
        Colors[size_t(key.slot)] = {ColorFromText(text, fallback), !text.trimmed().isEmpty()};
    }
    for (int i = 0; i < int(CustomColors.size()); ++i)
        CustomColors[size_t(i)] =
            ColorFromText(FIni->ReadString(S("Customcolors"), S("Color") + String::number(i), String()), clWhite);
}

void TSkinData::ReadCaptionButtons()
{
    CaptionButtons.clear();
    std::vector<String> kept;
    for (const String& section : FSections) {
        const String upper = section.toUpper();
        if (!upper.startsWith(QLatin1String("BUTTON")) || upper == QLatin1String("BUTTON") ||
            upper == QLatin1String("BUTTONS") || upper == QLatin1String("BUTTON.RADIO") ||
            upper == QLatin1String("BUTTON.CHECKBOX"))
            continue;
        if (FIni->ReadInteger(section, S("Action"), 0) == -1 && FIni->ReadInteger(section, S("Visibility"), -1) != 0)
            continue;
        kept.push_back(section);
    }
    bool haveMaximise = false;
    int maxX = 0, maxY = 0;
    for (const String& section : kept) {
        auto button = std::make_unique<TDataSkinSysButton>();
        button->Name = section.toUpper();
        button->Action = FIni->ReadInteger(section, S("Action"), 0);
        button->Align = FIni->ReadInteger(section, S("Align"), 0);
        button->XCoord = FIni->ReadInteger(section, S("Xcoord"), 0);
        button->YCoord = FIni->ReadInteger(section, S("Ycoord"), 0);
        button->Visibility = FIni->ReadInteger(section, S("Visibility"), 0);
        button->Visibility1 = FIni->ReadInteger(section, S("Visibility1"), button->Action == -1 ? -1 : 0);
        button->CombineOp = FIni->ReadInteger(section, S("CombineOp"), -1);
        button->Frame = FIni->ReadInteger(section, S("frame"), 0);
        LoadSkinBitmap(button->Bitmap.get(), FIni->ReadString(section, S("ButtonImage"), String()));
        if (button->Action == 1 && button->Visibility == 2) {
            haveMaximise = true;
            maxX = button->XCoord;
            maxY = button->YCoord;
        } else if (button->Action == 4 && haveMaximise) {
            // Only a button that follows a maximise button shares its place.
            button->XCoord = maxX;
            button->YCoord = maxY;
        }
        if (button->Frame == 0) {
            button->Frame = 6;
            const TBitmap& image = *button->Bitmap;
            if (!image.Empty())
                button->Frame = double(image.Width()) / image.Height() <= 3.8 ? 3 : 6;
            if (button->Action < 0)
                button->Frame = 6;
            if (button->Action == 3 || button->Action == 11)
                button->Bitmap->Assign(nullptr);
        }
        CaptionButtons.push_back(std::move(button));
    }

    TBitmap strip;
    LoadSkinBitmap(&strip, FIni->ReadString(S("MDICONTROLS"), S("Image"), String()));
    const int c = strip.Empty() ? 0 : strip.Width() / 12;
    for (int i = 0; i < 3; ++i) {
        auto button = std::make_unique<TDataSkinSysButton>();
        button->Name = S("MDICONTROLS");
        button->Action = 7 + i;
        button->Align = button->Visibility = button->Visibility1 = 100;
        button->Frame = 4;
        button->XCoord = (c + 4) * (3 - i);
        // A strip narrower than its twelve frames gives no images.
        if (c > 0) {
            button->Bitmap->SetPixelFormat(pf24bit);
            button->Bitmap->SetSize(4 * c, strip.Height());
            button->Bitmap->Canvas()->CopyRect({0, 0, 4 * c, strip.Height()}, strip.Canvas(),
                                               {4 * c * i, 0, 4 * c * (i + 1), strip.Height()});
        }
        CaptionButtons.push_back(std::move(button));
    }
}

void TSkinData::ReadButtons()
{
    Buttons = std::make_unique<TDataSkinButton>();
    TDataSkinButton& b = *Buttons;
    b.Name = sButtons;
    b.LeftWidth = FIni->ReadInteger(sButtons, S("LeftWidth"), 0);
    b.RightWidth = FIni->ReadInteger(sButtons, S("RightWidth"), 0);
    b.TopHeight = FIni->ReadInteger(sButtons, S("TopHeight"), 0);
    b.BottomHeight = FIni->ReadInteger(sButtons, S("BottomHeight"), 0);
    b.Trans = FIni->ReadInteger(sButtons, S("Trans"), 0);
    b.Tile = FIni->ReadInteger(sButtons, S("Tile"), 0);
    if (b.Tile > 1)
        b.Tile = 0;
    LoadSkinBitmap(b.Bitmap.get(), FIni->ReadString(sButtons, S("Bitmap"), String()));
    LoadSkinBitmap(b.CheckBitmap.get(), FIni->ReadString(sButtons, S("CheckButton"), String()));
    LoadSkinBitmap(b.RadioBitmap.get(), FIni->ReadString(sButtons, S("RadioButton"), String()));
    b.NormalColour = FIni->ReadInteger(sButtons, S("NormalColour"), -1);
    b.MouseOverColour = FIni->ReadInteger(sButtons, S("MouseOverColour"), -1);
    b.PressedColour = FIni->ReadInteger(sButtons, S("PressedColour"), -1);
    b.RadioButtonFrame = FIni->ReadInteger(sButtons, S("RadioButtonFrame"), 0);
    b.CheckButtonFrame = FIni->ReadInteger(sButtons, S("CheckButtonFrame"), 0);
    const String normal = FIni->ReadString(sButtons, S("NormalColour2"), String());
    const String over = FIni->ReadString(sButtons, S("MouseOverColour2"), String());
    const String pressed = FIni->ReadString(sButtons, S("PressedColour2"), String());
    b.NormalColour2Given = !normal.isEmpty();
    b.MouseOverColour2Given = !over.isEmpty();
    b.PressedColour2Given = !pressed.isEmpty();
    b.NormalColour2 = ColorFromText(normal, color(scButtonText));
    b.MouseOverColour2 = ColorFromText(over, color(scButtonText));
    b.PressedColour2 = ColorFromText(pressed, color(scButtonText));
}

void TSkinData::ParseSkin()
{
    if (FIni == nullptr)
        FIni = std::make_unique<TQuickIni>();
    TStringList sections;
    FIni->ReadSections(&sections);
    FSections.clear();
    for (int i = 0; i < sections.Count(); ++i)
        FSections.push_back(sections.Strings(i));

    ReadBorders();
    ReadColours();
    ReadCaptionButtons();
    ReadButtons();
    ReadTitle();

    ReadBitmapObject(Progress, S("Progress"));
    ReadSkinObject(ProgressChunk, S("Progress.Chunk"));
    ReadMenuBarObject();
    ReadSkinObject(GroupBoxEdge, S("GroupBoxEdge"));
    ReadBoxLabelObject(GroupBox, S("GroupBox"));
    ReadBorderObject(Tabs, S("Tabs"), S("Border"));
    ReadSkinObject(StatusBarEdges, S("StatusBarEdges"));
    ReadSkinObject(TabPane, S("Tab.Pane"));
    if (TabPane) {
        TabPane->LeftWidth = std::min(TabPane->LeftWidth, 4);
        TabPane->TopHeight = std::min(TabPane->TopHeight, 4);
        TabPane->RightWidth = std::min(TabPane->RightWidth, 4);
        TabPane->BottomHeight = std::min(TabPane->BottomHeight, 4);
    }
    ReadSkinObject(ToolBars, S("ToolBars"));
    ReadBorderObject(ComboButton, S("ComboButton"), S("****"));
    ReadSkinObject(SunkEdge, S("SunkEdge"));
    if (ComboButton && !ComboButton->Bitmap->Empty()) {
        ComboButton->Bitmap2->Assign(ComboButton->Bitmap.get());
        MirrorBitmap(ComboButton->Bitmap2.get());
    }
    ReadSkinObject(ExtraImages, S("ExtraImages"));
    ReadSkinObject(Headerbar, S("Headerbar"));
    ReadSkinObject(MenuItem, S("MenuItem"));
    ReadSkinObject(MenuBackground, S("MenuBackground"));
    ReadSkinObject(Scrollbar, S("Scrollbar"));
    ReadSkinObject(HorzScroll, S("HorzScroll"));
    ReadSkinObject(VertScroll, S("VertScroll"));
    ReadSkinObject(HorzScrollThumb, S("HorzScrollThumb"));
    ReadSkinObject(VertScrollThumb, S("VertScrollThumb"));
    ReadSkinObject(ThumbHorz, S("Trackbar.ThumbHorz"));
    ReadSkinObject(ThumbVert, S("Trackbar.ThumbVert"));
    ReadSkinObject(ThumbLeft, S("Trackbar.ThumbLeft"));
    ReadSkinObject(ThumbRight, S("Trackbar.ThumbRight"));
    ReadSkinObject(ThumbUp, S("Trackbar.ThumbUp"));
    ReadSkinObject(ThumbDown, S("Trackbar.ThumbDown"));
    ReadBorderObject(UpDownHorz, S("UpDown.Horz"), S("GlyphImage"));
    ReadBorderObject(UpDownVert, S("UpDown.Vert"), S("GlyphImage"));
    ReadSkinObject(Track, S("Track"));
    ReadSkinObject(TrackVert, S("TRACKVERT"));
    for (auto [object, name] : {std::pair{&Track, "TRACK"}, std::pair{&TrackVert, "TRACKVERT"}}) {
        if (*object)
            continue;
        auto made = std::make_unique<TDataSkinObject>();
        if (!LoadResourceBitmap(S(name), made->Bitmap.get()))
            continue;
        made->Name = S(name);
        made->LeftWidth = made->TopHeight = made->RightWidth = made->BottomHeight = 3;
        made->Tile = 0;
        made->Frame = 1;
        *object = std::move(made);
    }

    fixFrameCounts();
    dropNarrowImages();

    // The frame colour comes before the made toolbar, which is tinted by it.
    TColor frame = color(scButtonFace);
    if (!Top->Bitmap->Empty()) {
        const int y = (Top->Bitmap->Height() / Top->Frame) / 3;
        frame = Top->Bitmap->Pixels(Top->Bitmap->Width() / 3, y);
    }
    Colors[scFrameColor] = {frame, !Top->Bitmap->Empty()};

    composeCombo();
    makeToolbar();

    ButtonFaceBrush = std::make_unique<TBrush>();
    ButtonFaceBrush->SetColor(color(scButtonFace));
    FSections.clear();
    FSkinLoaded = true;
}

void TSkinData::fixFrameCounts()
{
    auto set = [](const auto& object, int frames) {
        if (object)
            object->Frame = frames;
    };
    Buttons->Frame = 5;
    auto strip = [](const TBitmap& image, int& frames) {
        if (frames == 0 && !image.Empty())
            frames = std::max(4, image.Width() / (image.Height() < 16 ? 13 : 16));
    };
    strip(*Buttons->RadioBitmap, Buttons->RadioButtonFrame);
    strip(*Buttons->CheckBitmap, Buttons->CheckButtonFrame);
    Title->Frame = 2;
    if (Progress)
        Progress->Frame = Progress->Style != 0 ? 1 : 2;
    set(MenuBar, 2);
    set(GroupBoxEdge, 2);
    set(ToolBars, 5);
    set(Tabs, 5);
    set(TabPane, 1);
    set(StatusBarEdges, 3);
    set(GroupBox, 1);
    set(ComboButton, 4);
    set(SunkEdge, 4);
    set(ExtraImages, 5);
    if (Headerbar && Headerbar->Frame == 0)
        Headerbar->Frame = 5;
    set(MenuItem, 5);
    set(MenuBackground, 1);
    set(Scrollbar, 23);
    set(HorzScroll, 4);
    set(VertScroll, 4);
    set(UpDownVert, 8);
    set(UpDownHorz, 8);
    for (auto* thumb : {&ThumbHorz, &ThumbVert, &ThumbLeft, &ThumbRight, &ThumbUp, &ThumbDown})
        set(*thumb, 5);
    if (HorzScrollThumb)
        HorzScrollThumb->Frame = FIni->ReadInteger(S("HorzScrollThumb"), S("FrameCount"), 3);
    if (VertScrollThumb)
        VertScrollThumb->Frame = FIni->ReadInteger(S("VertScrollThumb"), S("FrameCount"), 3);
}

void TSkinData::dropNarrowImages()
{
    // Frame counts come from the skin and may be 0 or negative: they are at
    // least 1 from here on, so no drawing divides by zero.
    auto fix = [](TDataSkinObject& object) {
        object.Frame = std::max(1, object.Frame);
        if (tooNarrow(object))
            object.Bitmap->Assign(nullptr);
    };
    for (TDataSkinObject* always : std::initializer_list<TDataSkinObject*>{
             Buttons.get(), Left.get(), Right.get(), Top.get(), Bottom.get(), Title.get()})
        fix(*always);
    Buttons->RadioButtonFrame = std::max(1, Buttons->RadioButtonFrame);
    Buttons->CheckButtonFrame = std::max(1, Buttons->CheckButtonFrame);
    for (auto& button : CaptionButtons)
        fix(*button);
    auto optional = [](auto& object) {
        if (!object)
            return;
        object->Frame = std::max(1, object->Frame);
        if (tooNarrow(*object))
            object.reset();
    };
    optional(Progress);
    optional(ProgressChunk);
    optional(MenuBar);
    optional(GroupBoxEdge);
    optional(GroupBox);
    optional(Tabs);
    optional(StatusBarEdges);
    optional(TabPane);
    optional(ToolBars);
    optional(ComboButton);
    optional(SunkEdge);
    optional(ExtraImages);
    optional(Headerbar);
    optional(MenuItem);
    optional(MenuBackground);
    optional(Scrollbar);
    optional(HorzScroll);
    optional(VertScroll);
    optional(HorzScrollThumb);
    optional(VertScrollThumb);
    optional(ThumbHorz);
    optional(ThumbVert);
    optional(ThumbLeft);
    optional(ThumbRight);
    optional(ThumbUp);
    optional(ThumbDown);
    optional(UpDownHorz);
    optional(UpDownVert);
    optional(Track);
    optional(TrackVert);
}

void TSkinData::composeCombo()
{
    ComboxArrow.reset();
    if (!ComboButton)
        return;
    if (!SunkEdge) {
        ComboxArrow = std::make_unique<TDataSkinObject>();
        ComboxArrow->Name = S("ComboxArrow");
        ComboxArrow->Bitmap->Assign(ComboButton->Bitmap.get());
        ReplaceKeyColor(ComboxArrow->Bitmap.get(), ColorToRGB(color(scButtonFace)));
        ComboxArrow->Frame = ComboButton->Frame;
        return;
    }
    const int frames = SunkEdge->Frame;
    const int w = GetSystemMetrics(SM_CXHSCROLL) + 2;
    TBitmap strip;
    strip.SetPixelFormat(pf24bit);
    strip.SetSize(50 * frames, 21);
    strip.Canvas()->Brush()->SetColor(SkinKeyColor);
    strip.Canvas()->FillRect({0, 0, strip.Width(), strip.Height()});
    HDC dc = strip.Canvas()->Handle();
    for (int f = 1; f <= frames; ++f) {
        const int x0 = (f - 1) * 50;
        DrawSkinImage(dc, {x0, 0, x0 + 50, 21}, SunkEdge->Bitmap.get(), SunkEdge->Margins(), false,
                      SunkEdge->Tile == 1, SunkEdge->Trans == 1, SunkEdge->Frame, f);
        const TRect button{x0 + 50 - w, 0, x0 + 50, 21};
        DrawSkinImage(dc, button, ComboButton->Bitmap.get(), ComboButton->Margins(), false, ComboButton->Tile == 1,
                      true, ComboButton->Frame, f);
        if (ExtraImages)
            DrawSkinFrameCentred(dc, button, ExtraImages->Bitmap.get(), ExtraImages->Frame, f, true);
        const TDCBrush key{SkinKeyColor, dbsSolid};
        FillRect(dc, {x0 + 2, 2, x0 + 49 - w, 18}, &key);
    }
    ComboButton->Bitmap->Assign(&strip);
    ComboButton->Style = 2;
    ComboButton->TopHeight = SunkEdge->TopHeight;
    ComboButton->BottomHeight = SunkEdge->BottomHeight;
    ComboButton->LeftWidth = 2;
    ComboButton->RightWidth = w + 2;
    ComboButton->Frame = frames;
    SunkEdge->Bitmap->Assign(&strip);
    MirrorBitmap(SunkEdge->Bitmap.get());
    SunkEdge->LeftWidth = w + 2;
    SunkEdge->RightWidth = 2;

    ComboxArrow = std::make_unique<TDataSkinObject>();
    ComboxArrow->Name = S("ComboxArrow");
    ComboxArrow->Frame = frames;
    TBitmap& arrow = *ComboxArrow->Bitmap;
    arrow.SetPixelFormat(pf24bit);
    arrow.SetSize(17 * frames, 17);
    for (int i = 0; i < frames; ++i) {
        const int x = 50 * (i + 1) - 19;
        arrow.Canvas()->CopyRect({17 * i, 0, 17 * (i + 1), 17}, ComboButton->Bitmap->Canvas(), {x, 2, x + 17, 19});
    }
}

void TSkinData::makeToolbar()
{
    Toolbar = std::make_unique<TDataSkinObject>();
    Toolbar->Name = S("Toolbar");
    Toolbar->Frame = 1;
    const TColor frame = color(scFrameColor);
    const TColor top = BlendColors(color(scButtonFace), clWhite, 150);
    TColor bottom = BlendColors(clGray, frame, 150);
    const int s = ColorSaturation(ColorToRGB(frame));
    if (s > 110)
        bottom = BlendColors(frame, clWhite, (5625 - 25 * s) / 140 + 50);
    TBitmap& bitmap = *Toolbar->Bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(10, 40);
    FillGradientRect(bitmap.Canvas()->Handle(), {0, 0, 10, 40}, top, bottom, true);
}
