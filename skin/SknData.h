// SknData.h - the skin data: the skin description parsed into skin
// objects (bitmaps cut into frames with fixed margins and drawing flags),
// the skin's colours, the caption settings and the caption buttons.
#pragma once
#include <QByteArray>
#include <array>
#include <memory>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/Types.h"

class TBitmap;
class TBrush;
class TFont;
class THintWindow;
class TImageList;
class TQuickIni;
class TSkinReader;
class TStrings;
class TStringList;
struct TClassInfo;
struct TEnumInfo;

// One skin image with its margins and flags. Frame counts are at least 1
// once a skin is parsed, and an image narrower (for the Top and Bottom
// borders: lower) than its frame count is treated as absent.
class TDataSkinObject {
public:
    TDataSkinObject();
    virtual ~TDataSkinObject();
    TDataSkinObject(const TDataSkinObject&) = delete;
    TDataSkinObject& operator=(const TDataSkinObject&) = delete;

    int LeftWidth = 0;
    int TopHeight = 0;
    int RightWidth = 0;
    int BottomHeight = 0;
    std::unique_ptr<TBitmap> Bitmap;  // never null; empty when the skin has none
    int Trans = 0;
    int Tile = 0;
    String Name;
    int Frame = 0;
    int Style = 0;
    int NormalColour = -1;
    int MouseOverColour = -1;
    int PressedColour = -1;
    TColor NormalColour2 = clBtnText;
    TColor MouseOverColour2 = clBtnText;
    TColor PressedColour2 = clBtnText;

    // Left, Top, Right, Bottom margins as the drawing routines take them.
    TRect Margins() const { return {LeftWidth, TopHeight, RightWidth, BottomHeight}; }
};

class TDataSkinBorder : public TDataSkinObject {
public:
    TDataSkinBorder();
    ~TDataSkinBorder() override;
    std::unique_ptr<TBitmap> Bitmap2;
};

class TDataSkinTitle : public TDataSkinObject {
public:
    int TextAlignment = 0;
    int Textbackground = 0;
    int FontHeight = 14;
    int TXTBackleft = 0;
    int TXTBackRight = 0;
    TColor ActiveText = clNone;    // clNone: not given
    TColor InActiveText = clNone;
};

class TDataSkinButton : public TDataSkinObject {
public:
    TDataSkinButton();
    ~TDataSkinButton() override;
    std::unique_ptr<TBitmap> CheckBitmap;
    std::unique_ptr<TBitmap> RadioBitmap;
    int RadioButtonFrame = 0;
    int CheckButtonFrame = 0;
    bool NormalColour2Given = false;
    bool MouseOverColour2Given = false;
    bool PressedColour2Given = false;
};

class TDataSkinSysButton : public TDataSkinObject {
public:
    int Action = 0;
    int Align = 0;
    int XCoord = 0;
    int YCoord = 0;
    int CombineOp = -1;
    int Visibility = 0;
    int Visibility1 = 0;
};

class TDataSkinBoxLabel : public TDataSkinObject {
public:
    int BackgroundLeftShift = 0;
    int BackgroundRightShift = 0;
    int BackgroundAlignment = 0;
};

// The colour slots of the skin, with the key each is read from.
enum : int {
    scWindowText = 0, scTitleTextActive = 1, scTitleTextNoActive = 2, scButtonFace = 3, scButtonText = 4,
    scButtonHilight = 5, scButtonlight = 6, scButtonShadow = 7, scButtonDkShadow = 8, scHilightText = 11,
    scHilight = 12, scMenubar = 13, scMenuBarText = 14, scMenuText = 15, scMenu = 16, scFrameColor = 17,
    scScrollbar = 18, SkinColorCount = 19
};

struct TSkinColor {
    TColor Color = clBlack;
    bool Given = false;  // the skin set it (else a system colour default)
};

// Which windows a skin data component skins.
enum TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };

// The kinds of windows and controls that get skinned.
enum TSkinControlType {
    xcMainMenu, xcPopupMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton,
    xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcSpin, xcPanel, xcGroupBox,
    xcStatusBar, xcTab, xcTrackBar, xcSystemMenu, xcFastReport
};
using TSkinControlTypes = TSet<TSkinControlType>;

enum TSkinOption {
    xoMDIScrollbar, xoMenuMerge, xoTransparent, xoPreview, xoParentBackGround, xoNoFocusRect, xoToolbarBK,
    xoToolbarButton, xoMDIChildBorder, xoMenuBG, xoCaptionButtonHint, xoFormScrollbar
};
using TSkinOptions = TSet<TSkinOption>;

extern const TEnumInfo SkinFormTypeInfo;
extern const TEnumInfo SkinControlTypeInfo;
extern const TEnumInfo SkinOptionInfo;

class TControl;
class TSkinData;
using TOnFormSkin = TDelegate<void(TObject* Sender, String aName, bool& DoSkin)>;
using TOnSkinControl = TDelegate<void(TComponent* Sender, TSkinData* SkinData, TControl* Form, TControl* Control,
                                      String ControlClass, TComponent*& SkinnedControl)>;
using TOnSkinForm = TDelegate<void(TObject* Sender, intptr_t ahwnd, String aName)>;

class TSkinData : public TComponent {
public:
    explicit TSkinData(TComponent* AOwner);
    ~TSkinData() override;
    String ClassName() const override { return String::fromLatin1("TSkinData"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // Published properties.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    int DisableTag() const { return FDisableTag; }
    void SetDisableTag(int Value) { FDisableTag = Value; }
    TSkinControlTypes SkinControls() const { return FSkinControls; }
    void SetSkinControls(TSkinControlTypes Value) { FSkinControls = Value; }
    TSkinOptions Options() const { return FOptions; }
    void SetOptions(TSkinOptions Value) { FOptions = Value; }
    TStrings* Skin3rd() const;
    void SetSkin3rd(const TStrings* Value);  // copies the lines
    const String& SkinFile() const { return FSkinFile; }
    void SetSkinFile(const String& Value);
    // "(Good)" at design time with a stored skin, else "(none)".
    String SkinStore() const;
    void SetSkinStore(const String&) {}
    TSkinFormType SkinFormtype() const { return FSkinFormtype; }
    void SetSkinFormtype(TSkinFormType Value) { FSkinFormtype = Value; }
    String Version() const { return String::fromLatin1("2.10.04.17"); }
    void SetVersion(const String&) {}
    bool MenuUpdate() const { return FMenuUpdate; }
    void SetMenuUpdate(bool Value) { FMenuUpdate = Value; }
    bool MenuMerge() const { return FMenuMerge; }
    void SetMenuMerge(bool Value) { FMenuMerge = Value; }
    TOnFormSkin OnFormSkin;
    TNotifyEvent OnSkinChanged;
    TOnSkinControl OnSkinControl;
    TOnSkinForm OnBeforeSkinForm;
    TOnSkinForm OnAfterSkinForm;

    // The form property "SkinStream": an Int32 byte count, then the skin
    // file. Reading a count that is negative or runs past the value skips
    // the skin (the component stays unloaded) instead of failing the form.
    QByteArray SkinStream() const;
    void SetSkinStream(const QByteArray& Value);
    // The stored skin file's bytes.
    const QByteArray& SkinBytes() const { return FSkinBytes; }

    void Loaded() override;
    // Tells the form skinners that the skin was replaced and, with the
    // manager running, queues a "skin changed" action.
    void SkinChanged();
    // Asked before a window of the given class is skinned.
    void DoFormSkin(intptr_t Handle, const String& ClassName, bool& DoSkin);
    void DoSkinChanged();

    // Reads a skin file's bytes (the unpacked size, then the packed
    // container) and parses its description. False, with LastError, when
    // the container is refused; the objects of the previous skin stay.
    bool LoadSkin(const QByteArray& SkinFile);
    const String& LastError() const { return FLastError; }
    // Whether a parse completed since the last load began.
    bool SkinLoaded() const { return FSkinLoaded; }

    // The whole parse, from the description of the container being loaded.
    void ParseSkin();
    // Loads the container entry a description value names (its file-name
    // part, extension ".bmp" in lower case); anything else, a missing
    // entry or a damaged bitmap leaves Bitmap empty.
    void LoadSkinBitmap(TBitmap* Bitmap, const String& FileName);
    // Three decimal numbers, red, green and blue, separated by anything
    // else, each taken modulo 256; an empty text gives Default.
    static TColor ColorFromText(const String& Text, TColor Default);

    // The skin objects; the nullable ones are absent when the skin lacks them.
    std::unique_ptr<TDataSkinButton> Buttons;
    std::unique_ptr<TDataSkinBorder> Left;
    std::unique_ptr<TDataSkinBorder> Right;
    std::unique_ptr<TDataSkinBorder> Top;
    std::unique_ptr<TDataSkinBorder> Bottom;
    std::unique_ptr<TDataSkinTitle> Title;
    std::unique_ptr<TDataSkinObject> Progress;
    std::unique_ptr<TDataSkinObject> ProgressChunk;
    std::unique_ptr<TDataSkinObject> MenuBar;
    std::unique_ptr<TDataSkinObject> GroupBoxEdge;
    std::unique_ptr<TDataSkinBoxLabel> GroupBox;
    std::unique_ptr<TDataSkinBorder> Tabs;
    std::unique_ptr<TDataSkinObject> StatusBarEdges;
    std::unique_ptr<TDataSkinObject> TabPane;
    std::unique_ptr<TDataSkinObject> ToolBars;
    std::unique_ptr<TDataSkinBorder> ComboButton;
    std::unique_ptr<TDataSkinObject> SunkEdge;
    std::unique_ptr<TDataSkinObject> ExtraImages;
    std::unique_ptr<TDataSkinObject> Headerbar;
    std::unique_ptr<TDataSkinObject> MenuItem;
    std::unique_ptr<TDataSkinObject> MenuBackground;
    std::unique_ptr<TDataSkinObject> Scrollbar;
    std::unique_ptr<TDataSkinObject> HorzScroll;
    std::unique_ptr<TDataSkinObject> VertScroll;
    std::unique_ptr<TDataSkinObject> HorzScrollThumb;
    std::unique_ptr<TDataSkinObject> VertScrollThumb;
    std::unique_ptr<TDataSkinObject> ThumbHorz;
    std::unique_ptr<TDataSkinObject> ThumbVert;
    std::unique_ptr<TDataSkinObject> ThumbLeft;
    std::unique_ptr<TDataSkinObject> ThumbRight;
    std::unique_ptr<TDataSkinObject> ThumbUp;
    std::unique_ptr<TDataSkinObject> ThumbDown;
    std::unique_ptr<TDataSkinBorder> UpDownHorz;
    std::unique_ptr<TDataSkinBorder> UpDownVert;
    std::unique_ptr<TDataSkinObject> Track;
    std::unique_ptr<TDataSkinObject> TrackVert;
    std::unique_ptr<TDataSkinObject> ComboxArrow;
    std::unique_ptr<TDataSkinObject> Toolbar;  // the made toolbar background

    // The system's caption font (made by Loaded).
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    // The program's small icon on magenta (magenta transparent), built by
    // Loaded; empty while the program has no icon.
    TBitmap* AppIconBitmap() const { return FAppIconBitmap.get(); }
    // The 16 x 16 menu glyphs of the program's bitmap "TARNOVEMENU":
    // 0 restore, 1 maximize, 2 minimize, 3 close (white is see-through).
    TImageList* MenuImages();
    // The caption buttons' hint, at Rect's top-left, no wider than 500
    // pixels: only with xoCaptionButtonHint and while none is shown.
    void ShowCaptionHint(const TRect& Rect, const String& Text);
    void HideCaptionHint();
    bool HintShown() const { return FHintShown; }
    THintWindow* CaptionHintWindow() const { return FHintWindow.get(); }
    // How long the pointer has rested on a caption button (ms), kept by the
    // form skinner's timer.
    int HintTime = 0;
    // Non-client painting is allowed (cleared while a menu change is handled).
    bool AllowNCPaint = true;

    std::array<TSkinColor, SkinColorCount> Colors;
    std::array<TColor, 10> CustomColors;
    std::unique_ptr<TBrush> ButtonFaceBrush;
    // The caption buttons of the description, then the three buttons of a
    // maximised MDI child (actions 7, 8 and 9).
    std::vector<std::unique_ptr<TDataSkinSysButton>> CaptionButtons;

protected:
    // The program's own bitmaps ("TRACK", "TRACKVERT") by resource name;
    // false when there is none.
    virtual bool LoadResourceBitmap(const String& Name, TBitmap* Bitmap);

private:
    void ReadSkinObject(std::unique_ptr<TDataSkinObject>& Object, const String& Section);
    void ReadBorderObject(std::unique_ptr<TDataSkinBorder>& Object, const String& Section, const String& Key2);
    void ReadBitmapObject(std::unique_ptr<TDataSkinObject>& Object, const String& Section);
    void ReadBoxLabelObject(std::unique_ptr<TDataSkinBoxLabel>& Object, const String& Section);
    void ReadMenuBarObject();
    void ReadTitle();
    void ReadBorders();
    void ReadColours();
    void ReadCaptionButtons();
    void ReadButtons();

    void readGeneric(TDataSkinObject& object, const String& section, bool withFrame, bool withColours);
    void fixFrameCounts();
    void composeCombo();
    void makeToolbar();
    void dropNarrowImages();
    void initComponent();
    void reportUnreadableSkin();
    void buildAppIconBitmap();
    TColor color(int slot) const { return Colors[size_t(slot)].Color; }
    bool FActive = false;
    int FDisableTag = 99;
    TSkinControlTypes FSkinControls;
    TSkinOptions FOptions;
    std::unique_ptr<TStringList> FSkin3rd;
    String FSkinFile;
    TSkinFormType FSkinFormtype = sfMainform;
    bool FMenuUpdate = true;
    bool FMenuMerge = false;
    QByteArray FSkinBytes;

    std::unique_ptr<TSkinReader> FReader;
    std::unique_ptr<TQuickIni> FIni;
    std::vector<String> FSections;
    bool FSkinLoaded = false;
    String FLastError;
    std::unique_ptr<TFont> FCaptionFont;
    std::unique_ptr<TBitmap> FAppIconBitmap;
    std::unique_ptr<TImageList> FMenuImages;
    std::unique_ptr<THintWindow> FHintWindow;
    bool FHintShown = false;
};

class TWinControl;
struct HWND__;
// The control that owns a window handle, or nullptr (the platform's handle
// table stands in for the window property the class library sets).
TWinControl* FindControlByHandle(HWND__* Handle);
