// Buttons.h - push buttons with a glyph beside the caption (bit buttons) and
// speed buttons: graphic controls without a window of their own that can
// stay down, alone or as one of a group, and show a flat face until the
// pointer comes over them.
#pragma once
#include <memory>

#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// The glyph strip's frame for a state: frames up, disabled, down and
// exclusive side by side, NumGlyphs of them; a missing frame is the first.
// The bottom-left pixel's colour is see-through.
QImage GlyphFrame(const TBitmap* Glyph, int NumGlyphs, TButtonState State);

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;
    String ClassName() const override { return String::fromLatin1("TBitBtn"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value) { FKind = Value; }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value) { FLayout = Value; UpdateWidget(); }
    // -1: the glyph and caption are centred.
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { FMargin = Value; UpdateWidget(); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { FSpacing = Value; UpdateWidget(); }
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value) { FNumGlyphs = Value < 1 ? 1 : Value > 4 ? 4 : Value; UpdateWidget(); }

protected:
    void UpdateWidget() override;

private:
    std::unique_ptr<TBitmap> FGlyph;
    TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1, FSpacing = 4, FNumGlyphs = 1;
};

// A button painted on its parent. A press shows it down until the release;
// a click on a button of a group (GroupIndex above 0) keeps it Down and
// raises the group's other buttons, a second click raises it only with
// AllowAllUp. Flat buttons show their frame only under the pointer.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    String ClassName() const override { return String::fromLatin1("TSpeedButton"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; Invalidate(); }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value) { FNumGlyphs = Value < 1 ? 1 : Value > 4 ? 4 : Value; Invalidate(); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value) { FLayout = Value; Invalidate(); }
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { FMargin = Value; Invalidate(); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { FSpacing = Value; Invalidate(); }
    // The pointer is over the button; the mouse holds it down.
    bool MouseInControl() const { return FMouseInControl; }
    TButtonState State() const { return FState; }
    void Click() override;

protected:
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void raiseGroup();
    std::unique_ptr<TBitmap> FGlyph;
    bool FDown = false, FFlat = false, FAllowAllUp = false, FMouseInControl = false, FDragging = false;
    int FGroupIndex = 0, FNumGlyphs = 1, FMargin = -1, FSpacing = 4;
    TButtonLayout FLayout = blGlyphLeft;
    TButtonState FState = bsUp;
};
