// SknSubClass.h - the control skinners: one object per skinned control
// that takes the control's WindowProc, lets the control handle a message
// or not, paints over it from the skin, and gives everything back. Also what
// the skinners share: reading and writing published properties by name (so
// that controls of any class can be skinned without knowing it), fills,
// captions and the drawing of skin frames.
#pragma once
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/controls/Buttons.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TBitmap;
class TCanvas;
class TComponent;
class TDataSkinObject;
class TImageList;
class TMediaPlayer;
class TObject;
class TSkinData;
class TSknForm;

// Every routine answers the empty value, or does nothing, for a nil object
// or an object without such a published property.

// An integer property's value; -1 for any other kind.
int GetIntPropByName(const TComponent* Component, const String& Name);
// The value as text: an enumeration's value name ("tsTabs", "True").
String GetEnumPropByName(const TComponent* Component, const String& Name);
// A text property as it stands; any other kind as its text, narrowed to
// single-byte characters (others become '?').
String GetWideStrPropByName(const TObject* Object, const String& Name);
// The object of an object property; the second form only when it is a T.
TObject* GetObjectPropByName(const TComponent* Component, const String& Name);
template <class T>
T* GetObjectPropByName(const TComponent* Component, const String& Name)
{
    return dynamic_cast<T*>(GetObjectPropByName(Component, Name));
}
// Integers from decimal text, enumerations by value name, text as text;
// other kinds and read-only properties stay as they are.
void SetPropByName(TComponent* Component, const String& Name, const String& Value);

// Alignment of DrawCentredCaption (DrawText's).
enum TCaptionAlignment : uint32_t { caLeft = 0x0, caCentre = 0x1, caRight = 0x2 };
// One line of Text centred in R both ways, in the canvas's font (regular
// style) over a clear background; the button-shadow colour when disabled.
void DrawCentredCaption(TCanvas* Canvas, const TRect& R, const String& Text, TCaptionAlignment Alignment,
                        bool Enabled);

// ---- the control skinner base -----------------------------------------------

enum TSkinMouseStateItem { msHot, msPressed };
using TSkinMouseState = TSet<TSkinMouseStateItem>;

// The mouse-leave notification the form skinner sends to clear a hover.
// Skinners hook the control's WindowProc; every message then runs through
// WndProc: BeforeMessage (false: handled, nothing else sees it), the
// control's own procedure, AfterMessage. States: 0 made, 1 attached, 6 the
// control's window is gone. Skinning off (SKIN_ON_OFF 0, or Unskin) keeps
// the hook but passes every message straight on. The skinner belongs to its
// control and dies with it; the form skinner lists it while it lives.
class TSkinControl : public TComponent {
public:
    explicit TSkinControl(TComponent* AOwner);
    ~TSkinControl() override;
    String ClassName() const override { return String::fromLatin1("TSkinControl"); }

    // Attaches to the owner control (once); SetColor gives the control the
    // skin's face colour while skinned.
    virtual void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas);
    virtual void Unskin();
    virtual bool BeforeMessage(TMessage& Message);
    virtual void AfterMessage(TMessage& Message);
    // Paints the control now: into DC, or without one by a synchronous
    // repaint whose paint message reaches the skinner.
    virtual void PaintWindow(HDC DC);
    virtual void PaintControl(HDC DC, const TRect& R);
    virtual void SkinChanged();

    void WndProc(TMessage& Message);
    void CallDefault(TMessage& Message);
    void Repaint();
    void SendMouseLeave();
    void FillSkinColor(HDC DC, const TRect& R) const;
    TColor GetParentColor(TColor Default) const;
    void FillParentColor(HDC DC, const TRect& R) const;
    // A focus rectangle around Text as DrawText places it in R with Flags.
    void DrawFocusAroundText(HDC DC, uint32_t Flags, const TRect& R) const;
    // The control's mouse-down event for a left press at the message's point.
    void ForwardMouseDown(const TMessage& Message);
    // WM_PAINT: PaintControl on the message's DC over the whole window.
    void HandlePaint(TMessage& Message);
    // WM_ERASEBKGND: the parent's look under the control.
    void EraseBackground(TMessage& Message);
    uint32_t AddRTLReadingFlag(uint32_t Flags) const;
    // The skin's face colour (the button face when the skin has none).
    TColor ButtonFace() const;

    TSkinMouseState MouseState;
    TCanvas* Canvas = nullptr;
    bool WindowEnabled = true;
    bool Focused = false;
    String Text;
    bool Enabled = true;
    TSkinData* SkinData = nullptr;
    HWND Handle = nullptr;
    TWndMethod OldWindowProc;
    TControl* Control = nullptr;
    TRect WindowRect;
    TControl* RepaintTarget = nullptr;
    bool SetColor = false;
    TColor SavedColor = clNone;
    bool Hooked = false;
    int State = 0;
    TSknForm* FormSkinner = nullptr;
    int Mode = 0;
    bool Flag1 = false;
    bool Flag2 = false;
    std::unique_ptr<TBitmap> WorkBitmap;

protected:
    // The attachment; without HookProcedure the skinner only registers
    // with the form skinner (it paints nothing of its own).
    void attach(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas, bool HookProcedure);
    // Skinners that paint the whole control: WM_PAINT through HandlePaint
    // and, with AnswerErase, WM_ERASEBKGND answered without erasing. True
    // when the message was one of those (handled).
    bool paintFilter(TMessage& Message, bool AnswerErase);
    // Takes the control's WindowProc and registers with the form skinner.
    void hookWindowProc(TControl* Target);
    // Gives the WindowProc back while the control still lives.
    void unhookWindowProc();

private:
    bool ownerGoing() const;
};

// The skinner made for a control by the name of its class ("TSkinButton");
// Variant is a per-kind mode the class gives its meaning (tab-control mode,
// the object-image kind...). Nullptr for a name no skinner has.
TSkinControl* CreateSkinControl(const String& SkinnerClass, TControl* Owner, int Variant = 0);

// ---- shared routines ----------------------------------------------------------

void FillSolidRect(HDC DC, const TRect& R, TColor Color);
// The object exists and has a picture.
bool HasSkinImage(const TDataSkinObject* Object);
// Source's size and pixels copied into Destination.
void CopyBitmap(const TBitmap* Source, TBitmap* Destination);
// A window with no parent is a top-level one.
bool IsTopLevelWindow(const TControl* Window);
// Frame Index of Count (each clamped) composed over R from the object.
void DrawSkinObject(TSkinControl* Skinner, HDC DC, const TRect& R, int FrameCount, int FrameIndex,
                    const TDataSkinObject* Object);
// Frame Index of a horizontal strip stretched over R, key colour see-through.
void DrawSkinFrameMasked(TSkinControl* Skinner, HDC DC, const TRect& R, int FrameCount, int FrameIndex,
                         TBitmap* Bitmap);
void DrawSkinFrameTransparentDC(TSkinControl* Skinner, HDC DC, const TRect& R, int FrameCount, int FrameIndex,
                                TBitmap* Bitmap);
void DrawSkinFrameTransparentCanvas(TSkinControl* Skinner, TCanvas* Canvas, const TRect& R, int FrameCount,
                                    int FrameIndex, TBitmap* Bitmap);
// Text placed in R (centred for DT_CENTER, else vertically) over a clear
// background; the shadow colour when disabled.
void DrawSkinCaption(TSkinControl* Skinner, TCanvas* Canvas, const TRect& R, uint32_t Alignment, bool Enabled,
                     const String& Text);
// An image-list picture and the text beside it (alignment 0 left, 1 centre, 2 right).
void DrawImageAndCaption(TSkinControl* Skinner, TCanvas* Canvas, const TRect& R, int Alignment, const String& Text,
                         int ImageIndex, TImageList* Images);
// The embossed disabled look of a glyph (the caller owns the result).
std::unique_ptr<TBitmap> CreateDisabledGlyph(const TBitmap* Glyph);

// ---- push buttons --------------------------------------------------------------

// Frames of the skin's Buttons strip.
enum : int { bfNormal = 1, bfPressed = 2, bfDisabled = 3, bfHot = 4, bfDefault = 5 };

// Plain buttons: the whole face from the skin, the caption centred; the
// skinner takes the mouse so the button never draws its own pressed look,
// and clicks the button itself on the release.
class TSkinButton : public TSkinControl {
public:
    explicit TSkinButton(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinButton"); }
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;
    // Text in R; the first "||" of the caption becomes a line break.
    void DrawCaption(TCanvas* Canvas, const TRect& R, uint32_t Alignment, const String& Text);
    // The Buttons frame the button shows now (reads its state).
    int CurrentFrame();
    bool Transparent = false;

protected:
    // Reads focus, enabled, default and caption; the frame follows.
    int readState();
    void applyTextColour(TCanvas* Canvas, int Frame, bool AllFrames) const;
    bool IsDefault = false;
};

// Where a glyph and a caption go in a W x H face.
struct TGlyphLayout {
    TPoint Glyph;
    TPoint Text;
    int Margin = 0;
    int Spacing = 0;
};
// The bit button's arithmetic: Margin and Spacing -1 mean "centred" and
// "shared out"; Centred stands for an Alignment of taCenter.
// A speed button centres with Spacing given one pixel further right (down).
TGlyphLayout BitButtonLayout(int W, int H, int GlyphWidth, int GlyphHeight, int TextWidth, int TextHeight,
                             int Margin, int Spacing, TButtonLayout Layout, bool Centred, bool Speed = false);

// Buttons with a glyph (or an image-list picture) beside the caption; with
// a GlyphProperty the glyph is the graphic of that published property.
class TSkinBitButton : public TSkinButton {
public:
    explicit TSkinBitButton(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinBitButton"); }
    void PaintControl(HDC DC, const TRect& R) override;
    String GlyphProperty;

    // Draws glyph StateIndex (1 up, 2 disabled, 3 down, 4 exclusive) of the
    // strip at At, its bottom-left colour see-through; a one-glyph strip is
    // embossed for the disabled state.
    static void DrawGlyph(HDC DC, const TBitmap* Glyph, int NumGlyphs, int StateIndex, TPoint At);

protected:
    void paintPng(HDC DC, const TRect& R, int Frame);
    // The work bitmap at R's size (false when R is empty), filled with the
    // background.
    bool prepareWork(const TRect& R, TControl* BackgroundOf);
    // The face's common end: the caption at Place in the frame's text
    // colour (AllFrames: the normal colour under every frame), its focus
    // rectangle, and the work bitmap copied onto DC at R.
    void finishFace(HDC DC, const TRect& R, int Frame, bool AllFrames, TRect Place, uint32_t Flags);
};

// Buttons with a drop-down arrow right of the caption.
class TSkinMenuButton : public TSkinButton {
public:
    explicit TSkinMenuButton(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinMenuButton"); }
    void PaintControl(HDC DC, const TRect& R) override;
};

// Speed buttons: graphic controls painted by their parent. The skinner
// hooks only the control's WindowProc and repaints by invalidating it.
class TSkinSpeedButton : public TSkinBitButton {
public:
    explicit TSkinSpeedButton(TComponent* AOwner);
    ~TSkinSpeedButton() override;
    String ClassName() const override { return String::fromLatin1("TSkinSpeedButton"); }
    // Attaches as the Attach of a speed button (no window of its own).
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintWindow(HDC DC) override;
    void PaintControl(HDC DC, const TRect& R) override;
    // The frame and glyph state index the button shows now.
    int CurrentFrame(int* GlyphIndex = nullptr) const;
    bool Painting = false;

private:
    void paintButton(HDC DC, const TRect& R);
};

// ---- check boxes and radio buttons -----------------------------------------------

// The box from the skin's CheckButton strip (4 frames: unchecked, checked,
// disabled unchecked, disabled checked; or 12, of which 1, 4, 5, 8, 9 and
// 12 are used), and in Mode 1 the caption. Mode 0 (no image, or not a
// class-library control) draws only the box over the control's own look.
class TSkinCheckBox : public TSkinControl {
public:
    explicit TSkinCheckBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinCheckBox"); }
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;
    // The strip's frame for the control's state now, within the strip.
    virtual int CurrentFrame();
    int CheckState = 0;
    bool Transparent = false;

protected:
    virtual TBitmap* strip() const;
    virtual int frameCount() const;
    // Pixels between the glyph and the right edge, and the gap before the
    // text, for left text.
    virtual int rightInset() const { return 0; }
    virtual int leftTextGap() const { return 2; }
    bool leftText() const;
};

class TSkinRadioButton : public TSkinCheckBox {
public:
    explicit TSkinRadioButton(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinRadioButton"); }
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    int CurrentFrame() override;

protected:
    TBitmap* strip() const override;
    int frameCount() const override;
    int rightInset() const override { return 1; }
    int leftTextGap() const override { return 3; }
};

// Check boxes and radio buttons of other libraries that draw themselves
// from a glyph strip they publish: the skinner composes the strip from the
// skin and hands it over. Kind 1 check box, 2 radio button (properties
// "CustomGlyphs", "transparentcolor", "UseCustomGlyphs"), 3 a check box
// whose "Properties" object has a "Glyph".
class TSkinObjImage : public TSkinControl {
public:
    explicit TSkinObjImage(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinObjImage"); }
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    void Unskin() override;
    void SkinChanged() override;
    void BuildGlyphs();
    int Kind = 1;
};

// ---- the media player ------------------------------------------------------------

class TSkinMP;

// A panel laid exactly over a media player that paints the player's button
// row from the skin and passes the clicks to the player underneath.
class TWMediaPlayer : public TCustomControl {
public:
    explicit TWMediaPlayer(TComponent* AOwner);
    ~TWMediaPlayer() override;
    String ClassName() const override { return String::fromLatin1("TWMediaPlayer"); }
    void Attach(TSkinMP* Skinner, TControl* MediaPlayer);
    void SyncBounds(TControl* MediaPlayer);
    // The visible button whose span holds X (both ends inclusive), 9 when none.
    int ButtonAt(int X) const;
    void DrawButton(TCanvas* Canvas, int Index, const TRect& R);

    struct TMPButton {
        bool Visible = false;
        bool Enabled = false;
        bool Colored = false;
        std::unique_ptr<TBitmap> Glyphs[3];  // enabled, disabled, coloured
    };
    TMPButton Buttons[9];
    int VisibleCount = 0;
    TSkinData* SkinData = nullptr;
    bool MouseDown = false;
    int PressedButton = 9;
    int HotButton = 9;
    int ButtonWidth = 0;
    TControl* MediaPlayer = nullptr;
    TSkinMP* Skinner = nullptr;

protected:
    void Dispatch(TMessage& Message) override;
    void Paint() override;

private:
    void readButtons();
};

class TSkinMP : public TSkinControl {
public:
    explicit TSkinMP(TComponent* AOwner);
    ~TSkinMP() override;
    String ClassName() const override { return String::fromLatin1("TSkinMP"); }
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    void Unskin() override;
    void AfterMessage(TMessage& Message) override;
    TWMediaPlayer* Panel = nullptr;  // owned by the form skinner

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
};

// ---- status bar, group box and panels ------------------------------------------

// Paints the whole status bar from the skin: the panels over StatusBarEdges
// (frames 1 lowered, 2 raised, 3 no bevel) or one-pixel bevels, their
// texts, the size grip (ExtraImages frame 5), then the bar's child controls
// and its owner-drawn panels.
class TSkinStatusBar : public TSkinControl {
public:
    explicit TSkinStatusBar(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinStatusBar"); }
    bool BeforeMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;

private:
    void panelBackground(TCanvas* Work, const TRect& R, int Frame);
};

// A flat rounded frame in the skin's shadow colour with the caption over it.
// Mode 1 (a class-library control): the skinner paints the whole box and
// its graphic children; Mode 0 covers a raw window's own frame.
class TSkinGroupBox : public TSkinControl {
public:
    explicit TSkinGroupBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinGroupBox"); }
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    bool BeforeMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;
};

// Panels and tool bars: nothing is painted; while skinned the control
// wears the skin's face colour (when SetColor). No procedure is hooked.
class TSkinBox : public TSkinControl {
public:
    explicit TSkinBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinBox"); }
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    void AfterMessage(TMessage& Message) override;
    void Unskin() override;
};

// Dialog and tool-bar windows inside a skinned form: background and static
// texts in the face colour.
class TSkinBoxH : public TSkinControl {
public:
    explicit TSkinBoxH(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinBoxH"); }
    bool BeforeMessage(TMessage& Message) override;
};

// A size box: filled with the face colour.
class TSkinSizer : public TSkinControl {
public:
    explicit TSkinSizer(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinSizer"); }
    void PaintControl(HDC DC, const TRect& R) override;
};

// Paints the graphic child controls of Control on DC (its client
// coordinates), as the control's own paint does after itself.
void PaintChildControls(TControl* Control, HDC DC);


// ---- track bar, up-down and progress ------------------------------------------

// Track bars through their custom-draw notifications: the channel from the
// Track (TRACKVERT) image in three pieces, the thumb as frame 2 of the
// Trackbar thumb images, or a shadow-coloured outline without one.
class TSkinTrackBar : public TSkinControl {
public:
    explicit TSkinTrackBar(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinTrackBar"); }
    bool BeforeMessage(TMessage& Message) override;
    void SkinChanged() override;
    LRESULT CustomDraw(const NMCUSTOMDRAW& Draw);
    void DrawChannel(HDC DC);
    void DrawThumb(HDC DC);
};

// Up-down pairs: the UpDown.Vert / UpDown.Horz strips (8 frames: the first
// button's normal, pressed, disabled and hot, then the second's); only the
// half under the pointer shows the pressed or hot frame.
class TSkinUpDown : public TSkinControl {
public:
    explicit TSkinUpDown(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinUpDown"); }
    bool BeforeMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;
    // Direction 0 up, 1 down, 2 left, 3 right; Frame 1-4.
    void DrawButton(HDC DC, const TRect& R, int Direction, int Frame);
    void DrawPlainButton(TCanvas* Canvas, const TRect& R, int Direction, int Frame);
    // The frames each half shows now (first, second) for a cursor at P.
    std::pair<int, int> ButtonFrames(TPoint P, const TRect& R) const;
    bool Horizontal = false;
    bool Embedded = false;

private:
    bool horizontal() const;
};

// Progress bars from the Progress image (frame 1 the empty bar, frame 2 the
// filled part) or, for a Progress object of Style 1, its Chunk image.
class TSkinProgress : public TSkinControl {
public:
    explicit TSkinProgress(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinProgress"); }
    bool BeforeMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;
    void PaintChunks(HDC DC, const TRect& R);
    // The filled length of Length pixels: nothing for an empty range, the
    // position kept within the range.
    static int FilledLength(int Length, int Position, int Low, int High);
};

// A small arrow in the canvas's pen around (X, Y); Direction 0 up, 1 down,
// 2 left, 3 right.
void DrawArrowGlyph(TCanvas* Canvas, int X, int Y, int Direction);

// ---- edits, combo boxes and date-time pickers -----------------------------------

// Edits keep their own look inside; the skinner paints a flat border over
// the frame: one pixel of the skin's shadow colour, then white rings.
class TSkinEdit : public TSkinControl {
public:
    explicit TSkinEdit(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinEdit"); }
    void PaintControl(HDC DC, const TRect& R) override;
    // Skins an up-down or spin child of the edit as an embedded pair.
    void FindSpinButton();
    // The border rings on DC over R (nothing for a borderless edit).
    void PaintBorder(HDC DC, const TRect& R);
    TSkinUpDown* UpDown = nullptr;  // owned by its control
};

// The flat border of edits and pickers: nothing for a control without a
// border; else R framed in the shadow colour and Rings white rings inside.
void DrawFlatBorder(TSkinControl* Skinner, HDC DC, const TRect& R, int Rings);

// Combo boxes: the sunken edge and the drop-down button from the skin
// (ComboButton Style 0), a flat box (Style 1) or the whole box from one
// image (Style 2); the button shows pressed (2), hot or focused (4) and
// disabled (3); a button on the left uses the mirrored image.
class TSkinComBox : public TSkinControl {
public:
    explicit TSkinComBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinComBox"); }
    void AfterMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;
    void PaintFlat(HDC DC, const TRect& R);
    // The ComboButton frame the button shows now.
    int CurrentFrame();
    bool DroppedDown = false;
    bool EditFramed = false;
    TRect ButtonRect;

private:
    bool leftButton() const;
};

class TSkinDateTime;

// A small control over a date-time picker's drop-down button showing the
// ComboxArrow image; its clicks go to the picker.
class TArrowButton : public TCustomControl {
public:
    explicit TArrowButton(TComponent* AOwner);
    ~TArrowButton() override;
    String ClassName() const override { return String::fromLatin1("TArrowButton"); }
    void Attach(TSkinDateTime* Skinner, TWinControl* Picker);
    void Reposition(const TRect& R);
    int ButtonWidth = 0;
    TWinControl* Picker = nullptr;
    TSkinDateTime* Skinner = nullptr;
    bool Hot = false;

protected:
    void Dispatch(TMessage& Message) override;
    void Paint() override;
};

// Date-time pickers: the flat border and a skinned arrow button.
class TSkinDateTime : public TSkinControl {
public:
    explicit TSkinDateTime(TComponent* AOwner);
    ~TSkinDateTime() override;
    String ClassName() const override { return String::fromLatin1("TSkinDateTime"); }
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    void Unskin() override;
    void AfterMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;
    TArrowButton* Arrow = nullptr;  // owned by the skinner
};

// ---- tabs ----------------------------------------------------------------------

// Tab and page controls from the skin's Tabs object: the strip of tabs in
// any of the four positions (composed lying down and turned), frame 2 for
// the focused tab, and the page area framed by the Tabs border (or the
// Tab.Pane image). With Tag 7777 a page control with tabs on top shows a
// close square on each tab. Mode 2 (a plain tab control) also paints the
// control's children.
class TSkinTab : public TSkinControl {
public:
    explicit TSkinTab(TComponent* AOwner);
    ~TSkinTab() override;
    String ClassName() const override { return String::fromLatin1("TSkinTab"); }
    void HookControl(TSknForm* FormSkinner, TSkinData* SkinData, bool SetColor, TCanvas* Canvas) override;
    bool BeforeMessage(TMessage& Message) override;
    void SkinChanged() override;
    void PaintControl(HDC DC, const TRect& R) override;
    void PrepareImages();
    // Asks the form about each close square under the message's point and
    // closes the page unless it answers non-zero; true when one was hit.
    bool CloseButtonAt(const TMessage& Message);
    std::vector<TRect> CloseRects;
    int Position = 0;  // 0 top, 1 bottom, 2 left, 3 right
    std::unique_ptr<TBitmap> TabImage;
    std::unique_ptr<TBitmap> PaneImage;
    bool ShowClose = false;
};

// Page controls with button-style tabs: each tab a skin button.
class TSkinTabBtn : public TSkinControl {
public:
    explicit TSkinTabBtn(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinTabBtn"); }
    bool BeforeMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;
};

// The pages of a skinned page control: the face colour under the page's
// controls.
class TSkinTabSheet : public TSkinControl {
public:
    explicit TSkinTabSheet(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSkinTabSheet"); }
    bool BeforeMessage(TMessage& Message) override;
    void PaintControl(HDC DC, const TRect& R) override;
};
