// BxButton.h - owner-drawn push buttons: classic 3D or hot-tracked faces,
// default and cancel buttons, toggle groups, text styles and glyph buttons.
#pragma once
#include <memory>

#include "platform/controls/Buttons.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImgList.h"

namespace BxConsts {
VORLANE_RESOURCESTRING(SOKButton, "OK");
VORLANE_RESOURCESTRING(SCancelButton, "Cancel");
VORLANE_RESOURCESTRING(SHelpButton, "&Help");
VORLANE_RESOURCESTRING(SYesButton, "&Yes");
VORLANE_RESOURCESTRING(SNoButton, "&No");
VORLANE_RESOURCESTRING(SCloseButton, "&Close");
VORLANE_RESOURCESTRING(SAbortButton, "Abort");
VORLANE_RESOURCESTRING(SRetryButton, "&Retry");
VORLANE_RESOURCESTRING(SIgnoreButton, "&Ignore");
VORLANE_RESOURCESTRING(SAllButton, "&All");
}  // namespace BxConsts

enum TAlignmentVertical { avTop, avCenter, avBottom };
enum TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TBxHotTrackColorType { htctComplement, htctActual };

// The message a toggle button sends its siblings: WParam the group, LParam the sender.
enum : UINT { CM_BXBUTTONPRESSED = WM_USER + 0x2021 };

class TBxCustomButton : public TCustomControl {
public:
    explicit TBxCustomButton(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TBxCustomButton"); }

    TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
    void SetAlignmentVertical(TAlignmentVertical Value) { setAndRepaint(FAlignmentVertical, Value); }
    bool HotTrack() const { return FHotTrack; }
    virtual void SetHotTrack(bool Value) { setAndRepaint(FHotTrack, Value); }
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor Value) { setAndRepaint(FHotTrackColor, Value); }
    TBxHotTrackColorType HotTrackColorType() const { return FHotTrackColorType; }
    void SetHotTrackColorType(TBxHotTrackColorType Value) { setAndRepaint(FHotTrackColorType, Value); }
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value) { setAndRepaint(FHighlightColor, Value); }
    bool LightTextStyle() const { return FLightTextStyle; }
    void SetLightTextStyle(bool Value) { setAndRepaint(FLightTextStyle, Value); }
    TTextStyle TextStyle() const { return FTextStyle; }
    void SetTextStyle(TTextStyle Value) { setAndRepaint(FTextStyle, Value); }
    TColor TextHighlightColor() const { return FTextHighlightColor; }
    void SetTextHighlightColor(TColor Value) { setAndRepaint(FTextHighlightColor, Value); }
    TColor TextShadowColor() const { return FTextShadowColor; }
    void SetTextShadowColor(TColor Value) { setAndRepaint(FTextShadowColor, Value); }
    int TextShadowDepth() const { return FTextShadowDepth; }
    void SetTextShadowDepth(int Value) { setAndRepaint(FTextShadowDepth, Value); }
    // The desktop has no theme service for these buttons: kept, never used.
    bool ThemeAware() const { return FThemeAware; }
    void SetThemeAware(bool Value) { setAndRepaint(FThemeAware, Value); }

    bool ShowPressed() const { return FShowPressed; }
    bool MouseOverButton() const { return FMouseOverButton; }

protected:
    template <class T>
    void setAndRepaint(T& Field, T Value)
    {
        if (Field != Value) {
            Field = Value;
            Invalidate();
        }
    }
    void Dispatch(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    virtual void DrawBackground(HDC DC) { (void)DC; }
    virtual void UpdateDisplay() {}
    virtual void FocusRepaint() { Repaint(); }
    virtual void GetButtonRect(TRect& R) const { R = ClientRect(); }
    virtual bool UsingThemes() const { return false; }
    virtual void DrawCaption(TCanvas* Canvas, TRect R, uint32_t Flags);
    virtual void DoClick() = 0;
    void SetTransparent(bool Value) { setAndRepaint(FTransparent, Value); }
    // Accelerator marks and the focus border: shown (no keyboard-cue state here).
    bool ShowAccelerators() const { return true; }
    bool ShowFocusBorder() const { return true; }

    bool FMouseCaptured = false;
    bool FMouseOverButton = false;
    bool FShowPressed = false;
    bool FTransparent = false;

private:
    TAlignmentVertical FAlignmentVertical = avCenter;
    bool FHotTrack = false;
    TColor FHotTrackColor = 0x00149BF0;
    TBxHotTrackColorType FHotTrackColorType = htctActual;
    TColor FHighlightColor = clHighlight;
    bool FLightTextStyle = false;
    TTextStyle FTextStyle = tsNormal;
    TColor FTextHighlightColor = clBtnHighlight;
    TColor FTextShadowColor = clBtnShadow;
    int FTextShadowDepth = 2;
    bool FThemeAware = true;
};

class TBxButton : public TBxCustomButton {
public:
    explicit TBxButton(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TBxButton"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { setAndRepaint(FAlignment, Value); }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    TColor FrameColor() const { return FFrameColor; }
    void SetFrameColor(TColor Value) { setAndRepaint(FFrameColor, Value); }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool ShowDownPattern() const { return FShowDownPattern; }
    void SetShowDownPattern(bool Value) { setAndRepaint(FShowDownPattern, Value); }
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool Value) { setAndRepaint(FShowFocusRect, Value); }
    void SetHotTrack(bool Value) override;
    bool IsActiveDefault() const { return FIsActiveDefault; }

    // The class library's click: the form's modal result, then OnClick.
    void Click() override;

protected:
    void Dispatch(TMessage& Message) override;
    void InitializeWidget() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void Paint() override;
    void DrawBackground(HDC DC) override;
    void UpdateDisplay() override { Invalidate(); }
    void DoClick() override;
    virtual void GetCaptionRect(TRect& R) const;
    virtual void DrawContent();
    virtual void MakeDownPattern(TBitmap* Bitmap) const;
    bool pressedLook() const { return FButtonState == bsDown || FButtonState == bsExclusive || FShowPressed; }
    bool isDown() const { return FButtonState == bsDown || FButtonState == bsExclusive; }
    TButtonState FButtonState = bsUp;
    bool FClicking = false;

private:
    void broadcastGroup();
    TAlignment FAlignment = taCenter;
    bool FAllowAllUp = false, FCancel = false, FDefault = false, FDown = false;
    TColor FFrameColor = cl3DDkShadow;
    int FGroupIndex = 0;
    TModalResult FModalResult = mrNone;
    bool FShowDownPattern = true, FShowFocusRect = true;
    bool FIsActiveDefault = false, FSpacePressed = false;
};

class TBxBitBtn : public TBxButton {
public:
    explicit TBxBitBtn(TComponent* AOwner);
    ~TBxBitBtn() override;
    String ClassName() const override { return String::fromLatin1("TBxBitBtn"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    // Reports bkCustom once Default, Cancel, ModalResult or the glyph no
    // longer match the kind.
    TBitBtnKind Kind();
    void SetKind(TBitBtnKind Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value) { setAndRepaint(FLayout, Value); }
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { setAndRepaint(FSpacing, Value); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { setAndRepaint(FImageIndex, Value); }
    int DisabledIndex() const { return FDisabledIndex; }
    void SetDisabledIndex(int Value) { setAndRepaint(FDisabledIndex, Value); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void GetCaptionRect(TRect& R) const override;
    void DrawContent() override;
    virtual TSize GetGlyphSize() const;
    virtual void GetGlyphRect(TRect& R) const;
    virtual void DrawImageGlyph(const TRect& R);
    virtual void DrawGlyph(const TRect& R);

private:
    void glyphChanged();
    int textHeight() const;
    TButtonLayout effectiveLayout() const { return FLayout; }
    std::unique_ptr<TBitmap> FGlyph;
    TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = 2, FNumGlyphs = 1, FSpacing = 4, FImageIndex = -1, FDisabledIndex = -1;
    TImageList* FImages = nullptr;
    bool FGlyphModified = false;
};

// The caption and glyph of a kind (the captions are loaded at start-up, so
// they come through the catalogues).
String BitBtnKindCaption(TBitBtnKind Kind);
const TBitmap* BitBtnKindGlyph(TBitBtnKind Kind);
void BxButtonInitialization();
void BxButtonFinalization();
