// vlButtons.h - a push button drawn entirely by the look-and-feel painter:
// per-state colours, a glyph laid out beside the caption, a drop-down menu
// (opened by the whole button or by an arrow part), speed-button behaviour
// (stays down, groups of which one is down, flat and transparent looks,
// buttons that never take the focus) and automatic size.
//
// Ownership: the button owns its colours, glyph, options, look and canvases;
// its menus are not owned (forgotten when they go). The glyphs of every
// button share the state images of one process-wide cache.
#pragma once
#include <QBitArray>
#include <QObject>
#include <memory>
#include <vector>

#include "platform/controls/ActnList.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlImageList.h"
#include "ui/foundation/vlLookAndFeels.h"

class TvlCustomButton;

extern const TEnumInfo TvlButtonAssignedColorInfo;
extern const TEnumInfo TvlButtonKindInfo;
extern const TEnumInfo TvlButtonPaintStyleInfo;

enum TvlButtonAssignedColor {
    vlbcDefault, vlbcDefaultText, vlbcDisabled, vlbcDisabledText, vlbcHot, vlbcHotText, vlbcNormal, vlbcNormalText,
    vlbcPressed, vlbcPressedText
};
using TvlButtonAssignedColors = TSet<TvlButtonAssignedColor>;
enum TvlButtonKind { vlbkStandard, vlbkDropDown, vlbkDropDownButton };
enum TvlButtonPaintStyle { bpsDefault, bpsCaption, bpsGlyph };
using TNumGlyphs = int;  // 1..4

// The button's messages to itself and to its group.
enum : UINT {
    VLM_DROPDOWNPOPUPMENU = 0x8065,  // open the drop-down menu
    VLM_CLOSEUPPOPUPMENU = 0x8066,   // the drop-down menu has closed
};

// ------------------------------------------------------------------ colours

// A colour per state for the face and the text; clDefault leaves the
// painter's own.
class TvlButtonColors : public TPersistent {
public:
    explicit TvlButtonColors(TvlCustomButton* AButton);
    String ClassName() const override { return String::fromLatin1("TvlButtonColors"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    // Each colour is stored only while assigned.
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    TColor Colors(TvlButtonAssignedColor AIndex) const { return FColors[AIndex]; }
    // clNone or clDefault forgets the colour.
    void SetColors(TvlButtonAssignedColor AIndex, TColor Value);
    TColor Default() const { return Colors(vlbcDefault); }
    void SetDefault(TColor Value) { SetColors(vlbcDefault, Value); }
    TColor DefaultText() const { return Colors(vlbcDefaultText); }
    void SetDefaultText(TColor Value) { SetColors(vlbcDefaultText, Value); }
    TColor Disabled() const { return Colors(vlbcDisabled); }
    void SetDisabled(TColor Value) { SetColors(vlbcDisabled, Value); }
    TColor DisabledText() const { return Colors(vlbcDisabledText); }
    void SetDisabledText(TColor Value) { SetColors(vlbcDisabledText, Value); }
    TColor Hot() const { return Colors(vlbcHot); }
    void SetHot(TColor Value) { SetColors(vlbcHot, Value); }
    TColor HotText() const { return Colors(vlbcHotText); }
    void SetHotText(TColor Value) { SetColors(vlbcHotText, Value); }
    TColor Normal() const { return Colors(vlbcNormal); }
    void SetNormal(TColor Value) { SetColors(vlbcNormal, Value); }
    TColor NormalText() const { return Colors(vlbcNormalText); }
    void SetNormalText(TColor Value) { SetColors(vlbcNormalText, Value); }
    TColor Pressed() const { return Colors(vlbcPressed); }
    void SetPressed(TColor Value) { SetColors(vlbcPressed, Value); }
    TColor PressedText() const { return Colors(vlbcPressedText); }
    void SetPressedText(TColor Value) { SetColors(vlbcPressedText, Value); }

    TvlButtonAssignedColors AssignedColors() const { return FAssignedColors; }
    // Only while the button is being designed.
    void SetAssignedColors(TvlButtonAssignedColors Value);

    // The state's colour; unassigned, the normal state falls back on
    // Default and every other state on Normal (either may be clDefault).
    TColor GetColor(TvlButtonState AState) const;
    TColor GetTextColor(TvlButtonState AState) const;

private:
    TvlCustomButton* FButton;
    TvlButtonAssignedColors FAssignedColors;
    TColor FColors[vlbcPressedText + 1];
};

// -------------------------------------------------------------- glyph cache

// An image list whose freed places are used again: state images of every
// glyph of one size live in one list.
class TvlGlyphList : public TvlImageList {
public:
    TvlGlyphList(int AWidth, int AHeight);
    String ClassName() const override { return String::fromLatin1("TvlGlyphList"); }
    using TvlImageList::AddMasked;
    // Into the first free place; returns the index.
    int AddMasked(const TBitmap* AImage, const TBitmap* AMask);
    // Frees the place (the image stays for reuse).
    void Delete(int AIndex) override;
    int UsedCount() const { return FCount; }

private:
    QBitArray FUsed;
    int FCount = 0;
};

class TvlGlyphCache : public TObject {
public:
    ~TvlGlyphCache() override;
    String ClassName() const override { return String::fromLatin1("TvlGlyphCache"); }
    // The last list made of that size, or a new one.
    TvlGlyphList* GetList(int AWidth, int AHeight);
    // A list nobody uses any more is freed.
    void ReturnList(TvlGlyphList* AList);
    int Count() const { return int(FLists.size()); }

private:
    std::vector<std::unique_ptr<TvlGlyphList>> FLists;
};
// The one cache: made with the first glyph, gone with the last glyph once
// it holds no list (nullptr then).
TvlGlyphCache* GetGlyphCache();

// -------------------------------------------------------------------- glyph

namespace vlButtons {

// Where a button glyph comes from: its own bitmap, else an image of a list.
class TvlImageInfo : public TObject {
public:
    explicit TvlImageInfo(const TNotifyEvent& AOnChange);
    ~TvlImageInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlImageInfo"); }
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool IsImageAssigned() const;
    TSize GetImageSize() const;

private:
    void changed();
    void changedEvent(TObject* Sender);
    std::unique_ptr<TBitmap> FGlyph;
    TImageList* FImages = nullptr;  // not owned
    int FImageIndex = -1;
    TNotifyEvent FOnChange;
};

}  // namespace vlButtons

// Lays out and draws a button's glyph and caption; the state images are
// made on first use and kept in the shared cache.
class TvlButtonGlyph : public TObject {
public:
    explicit TvlButtonGlyph(TvlCustomButton* AButton);
    ~TvlButtonGlyph() override;
    String ClassName() const override { return String::fromLatin1("TvlButtonGlyph"); }

    TBitmap* Glyph() const { return FImageInfo->Glyph(); }
    // A copy; NumGlyphs follows a strip of square-ish images (width a
    // multiple of the height, at most four).
    void SetGlyph(const TBitmap* Value);
    TImageList* Images() const { return FImageInfo->Images(); }
    // The button hears when the list goes.
    void SetImages(TImageList* Value);
    int ImageIndex() const { return FImageInfo->ImageIndex(); }
    void SetImageIndex(int Value) { FImageInfo->SetImageIndex(Value); }
    TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs Value);
    const vlButtons::TvlImageInfo* ImageInfo() const { return FImageInfo.get(); }

    TSize GlyphSize() const;
    bool HasGlyph() const;
    bool HasText() const;
    // Drops the state images made so far.
    void Invalidate();
    // The index in GlyphList of the state's image, made when needed; -1
    // without glyph.
    int CreateButtonGlyph(TvlButtonState AState);
    TvlGlyphList* GlyphList() const { return FGlyphList; }

    // The margins of the caption (left, top, right, bottom).
    virtual TRect GetTextOffsets(TButtonLayout ALayout) const;
    virtual void DrawGlyph(TCanvas* ACanvas, const TPoint& AGlyphPos, TvlButtonState AState);
    virtual void DrawCaption(TCanvas* ACanvas, const String& ACaption, const TRect& ATextBounds,
                             TvlButtonState AState, uint32_t ABiDiFlags, bool ANativeStyle, bool AWordWrap,
                             bool ASkinPainter);
    virtual void Draw(TCanvas* ACanvas, const TRect& AClient, const TPoint& AOffset, const String& ACaption,
                      TButtonLayout ALayout, int AMargin, int ASpacing, TvlButtonState AState, uint32_t ABiDiFlags,
                      bool ANativeStyle, bool AWordWrap, bool ASkinPainter);
    // Where the glyph and the caption go in AClient. ABiDiFlags with
    // DT_RIGHT (right-to-left reading) swap the left and right layouts.
    void CalcButtonLayout(TCanvas* ACanvas, const TRect& AClient, const TPoint& AOffset, const String& ACaption,
                          TButtonLayout ALayout, int AMargin, int ASpacing, TPoint& AGlyphPos, TRect& ATextBounds,
                          uint32_t ABiDiFlags, bool AWordWrap);

    TNotifyEvent OnChange;

private:
    void imageChanged(TObject* Sender);
    void createStateImage(int AImage, TBitmap* AImageBitmap, TBitmap* AMask);
    TvlCustomButton* FButton;
    std::unique_ptr<vlButtons::TvlImageInfo> FImageInfo;
    TvlGlyphList* FGlyphList = nullptr;  // the cache's
    int FIndexes[4] = {-1, -1, -1, -1};  // up, disabled, down, exclusive
    TNumGlyphs FNumGlyphs = 1;
};

// --------------------------------------------------------- speed-button options

class TvlSpeedButtonOptions : public TPersistent {
public:
    explicit TvlSpeedButtonOptions(TvlCustomButton* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlSpeedButtonOptions"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    // From other options, through the setters.
    void Assign(const TPersistent* Source) override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool CanBeFocused() const { return FCanBeFocused; }
    void SetCanBeFocused(bool Value);
    bool Down() const;
    // Not while GroupIndex is 0; a down button of a group is released only
    // with AllowAllUp.
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // Tells the other buttons of the group (CM_BUTTONPRESSED from the parent).
    void NotifyGroup();
    // Takes the group's settings from another member; a down sender releases
    // this one.
    void UpdateGroup(const TvlSpeedButtonOptions* AOptions);

private:
    bool locked() const { return FLockCount > 0; }
    TvlCustomButton* FOwner;
    bool FAllowAllUp = false;
    bool FCanBeFocused = true;
    bool FFlat = false;
    int FGroupIndex = 0;
    bool FTransparent = false;
    int FLockCount = 0;
};

// ---------------------------------------------------------------- the button

using TvlButtonDropDownMenuPopupEvent =
    TDelegate<void(TObject* Sender, TPopupMenu*& APopupMenu, bool& AHandled)>;
using TvlButtonGetDrawParamsEvent =
    TDelegate<void(TvlCustomButton* Sender, TvlButtonState AState, TColor& AColor, TFont* AFont)>;

// The painter buttons use: the skin's, else the look's, but never the
// Office 11 one (the native painter when the theme opens, else the
// standard one).
TvlLookAndFeelPainterClass GetButtonPainter(TvlLookAndFeel* ALookAndFeel);

class TvlCustomButton : public TCustomButton, public IvlLookAndFeelOwner, public IvlMouseTrackingCaller {
public:
    explicit TvlCustomButton(TComponent* AOwner);
    ~TvlCustomButton() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomButton"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TvlButtonColors* Colors() const { return FColors.get(); }
    void SetColors(const TvlButtonColors* Value) { FColors->Assign(Value); }
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(const TBitmap* Value) { FGlyph->SetGlyph(Value); }
    TvlButtonGlyph* ButtonGlyph() const { return FGlyph.get(); }
    TvlButtonKind Kind() const { return FKind; }
    void SetKind(TvlButtonKind Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    TvlLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    void SetLookAndFeel(const TvlLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
    int Margin() const { return FMargin; }
    // Values below -1 are ignored; -1 is automatic.
    void SetMargin(int Value);
    TNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(TNumGlyphs Value) { FGlyph->SetNumGlyphs(Value); }
    TvlButtonPaintStyle PaintStyle() const { return FPaintStyle; }
    void SetPaintStyle(TvlButtonPaintStyle Value);
    TPopupAlignment PopupAlignment() const { return FPopupAlignment; }
    void SetPopupAlignment(TPopupAlignment Value) { FPopupAlignment = Value; }
    // A TPopupMenu or a component supporting IvlPopupMenuSupport; anything
    // else is taken as none.
    TComponent* PopupMenu() const { return FPopupMenuComponent; }
    void SetPopupMenu(TComponent* Value);
    TvlSpeedButtonOptions* SpeedButtonOptions() const { return FSpeedButtonOptions.get(); }
    void SetSpeedButtonOptions(const TvlSpeedButtonOptions* Value) { FSpeedButtonOptions->Assign(Value); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool UseSystemPaint() const { return FUseSystemPaint; }
    void SetUseSystemPaint(bool Value) { FUseSystemPaint = Value; }

    bool AllowAllUp() const { return FSpeedButtonOptions->AllowAllUp(); }
    void SetAllowAllUp(bool Value) { FSpeedButtonOptions->SetAllowAllUp(Value); }
    bool CanBeFocused() const { return FSpeedButtonOptions->CanBeFocused(); }
    void SetCanBeFocused(bool Value) { FSpeedButtonOptions->SetCanBeFocused(Value); }
    bool Down() const { return FSpeedButtonOptions->Down(); }
    void SetDown(bool Value) { FSpeedButtonOptions->SetDown(Value); }
    int GroupIndex() const { return FSpeedButtonOptions->GroupIndex(); }
    void SetGroupIndex(int Value) { FSpeedButtonOptions->SetGroupIndex(Value); }

    TvlButtonDropDownMenuPopupEvent OnDropDownMenuPopup;
    TvlButtonGetDrawParamsEvent OnGetDrawParams;

    bool CanFocus() const override;
    // With AutoSize the size is the optimal one.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Opens the drop-down menu after the message being handled.
    void DropDown();
    virtual TSize GetOptimalSize();
    virtual TvlButtonState GetButtonState();
    virtual TvlLookAndFeelPainterClass GetPainter() { return GetButtonPainter(FLookAndFeel.get()); }
    virtual bool IsNativePushButton() const { return false; }
    bool IsSpeedButton() const { return !CanBeFocused() || GroupIndex() != 0; }
    bool IsMenuOpen() const { return (FInternalState & menuOpen) != 0; }
    bool IsHot() const { return (FInternalState & hot) != 0; }
    // The right part of a vlbkDropDownButton that opens the menu.
    static constexpr int DropDownButtonWidth = 15;

    // IvlLookAndFeelOwner
    TvlLookAndFeel* GetLookAndFeel() override { return FLookAndFeel.get(); }
    // IvlMouseTrackingCaller
    void MouseLeave() override { EndHotTrack(); }

    bool UpdateAction(TBasicAction* Action) override;

protected:
    friend class TvlSpeedButtonOptions;
    friend class TvlButtonColors;
    enum : uint8_t { down = 1, hot = 2, mainPressed = 4, dropDownPressed = 8, menuOpen = 0x10, accelClick = 0x20 };

    bool OwnerDraw() const override { return !IsNativePushButton(); }
    void SetButtonStyle(bool ADefault) override;
    // The glyph shows the linked action's image from its list's images.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    TControlActionLinkClass GetActionLinkClass() const override;
    void InitializeWidget() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void Click() override;
    void DblClick() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;

    virtual bool DoDropDownMenuPopup(TPopupMenu*& AMenu);
    virtual bool DoShowPopupMenu(TComponent* AMenu, int X, int Y);
    virtual void DrawButtonContent();
    virtual void DrawButtonBackground(const TRect& R, TvlButtonState AState, TColor AColor);
    void StartHotTrack();
    void EndHotTrack();
    void AdjustSize();

private:
    void lookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues);
    void glyphChanged(TObject* Sender);
    void drawItem(const DRAWITEMSTRUCT& AItem);
    void dropDownMenu();
    void closeUpMenu();
    void groupNotification(TMessage& Message);
    void takeActionImage();
    void contextMenu(TMessage& Message);
    uint8_t pressedPartAt(TPoint P) const;
    TRect dropDownPartRect() const;
    TRect contentRect(TvlButtonState AState);
    bool Transparent() const;
    bool hotTrackOn();

    uint8_t FInternalState = 0;
    bool FAutoSize = false;
    std::unique_ptr<TvlButtonColors> FColors;
    TPopupMenu* FDropDownMenu = nullptr;
    bool FIsDefault = false;  // the button Return would click: drawn as default
    TvlButtonKind FKind = vlbkStandard;
    std::unique_ptr<TvlLookAndFeel> FLookAndFeel;
    bool FMenuClosing = false;  // the click that closed the menu must not open it again
    bool FPaintAsDefault = false, FPaintPressed = false;
    TvlButtonPaintStyle FPaintStyle = bpsDefault;
    TPopupAlignment FPopupAlignment = paLeft;
    TComponent* FPopupMenuComponent = nullptr;
    std::unique_ptr<TvlSpeedButtonOptions> FSpeedButtonOptions;
    bool FUseSystemPaint = false;
    std::unique_ptr<TvlButtonGlyph> FGlyph;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    std::unique_ptr<TCanvas> FControlCanvas;
    std::unique_ptr<TvlCanvas> FCanvas;
    TPopupMenu* FShowingMenu = nullptr;  // the menu open now
    // Lives exactly as long as the button: tells code that ran a menu
    // whether the button survived it.
    std::unique_ptr<QObject> FLifeToken;
};

// Links an action to the button: its image index goes to the glyph too,
// and a link that goes away while the button lives takes the image away.
class TvlButtonActionLink : public TButtonActionLink {
public:
    explicit TvlButtonActionLink(TvlCustomButton* AClient);
    ~TvlButtonActionLink() override;
    String ClassName() const override { return String::fromLatin1("TvlButtonActionLink"); }

protected:
    void SetImageIndex(int Value) override;

private:
    TvlCustomButton* FButton;
};

class TvlButton : public TvlCustomButton {
public:
    explicit TvlButton(TComponent* AOwner) : TvlCustomButton(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlButton"); }
};
