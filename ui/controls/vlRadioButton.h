// vlRadioButton.h - a radio button drawn by us in the look of its
// look-and-feel: the painter's round glyph, hot and pressed tracking,
// transparency over its parent and its own popup menu. Checking one button
// unchecks its sibling radio buttons.
#pragma once
#include "ui/foundation/vlControls.h"

// The internal state: the values follow the look's button states.
enum TvlRadioButtonState : uint8_t { rbsDisabled, rbsHot, rbsNormal, rbsPressed };

class TvlRadioButton : public TvlControl {
public:
    explicit TvlRadioButton(TComponent* AOwner);
    ~TvlRadioButton() override;
    String ClassName() const override { return String::fromLatin1("TvlRadioButton"); }

    bool Checked() const { return FChecked; }
    // Checking unchecks the sibling radio buttons; the change repaints the
    // glyph and fires Click unless clicks are held back.
    virtual void SetChecked(bool Value);
    // taRightJustify (the default): the caption right of the glyph.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ParentBackground() const { return FParentBackground; }
    void SetParentBackground(bool Value) { FParentBackground = Value; }
    TvlRadioButtonState State() const { return FState; }
    // The glyph's rectangle at the last paint.
    const TRect& ButtonRect() const { return FButtonRect; }

    virtual bool IsInplace() const { return false; }
    virtual bool IsNativeStyle() const;
    virtual bool IsNativeBackground() const;
    virtual bool IsTransparent() const;
    virtual bool IsTransparentBackground() const;
    // The button state of the look for the internal state.
    TvlButtonState ButtonState() const;
    // The caption's margins (left, top, right, bottom) for the case.
    static TRect CaptionMargins(bool AInplace, bool ANative, bool AWordWrap, TAlignment AAlignment);
    // The glyph's rectangle in a button of this size.
    TRect CalculateButtonRect() const;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Paint() override;
    virtual void AdjustCaptionRect(TRect& R, bool ANative) const;
    virtual bool ShowPopupMenu(TComponent* AMenu, int X, int Y);
    virtual void FillBackground();
    virtual void DrawCaption(TvlCanvas* ACanvas, bool ANative);
    void LookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues) override;
    // The state from the mouse: disabled, normal while designing, pressed
    // or hot while this control holds the mouse, else hot over the client
    // area with no key and no button held.
    virtual void UpdateState(TMouseButton AButton, TShiftState AShift, const TPoint& P);
    void UpdateStateFromCursor();
    bool DoShowPopupMenu(TComponent* AMenu, int X, int Y) override;
    bool HasScrollBars() const override { return false; }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter(TControl* AControl) override;
    void MouseLeave(TControl* AControl) override;
    void DoEnter() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void Dispatch(TMessage& Message) override;
    // A click on the button checks it (the platform's button behaviour).
    virtual void ButtonClicked();

    // Clicks are held back while above 0.
    int FClicksDisabled = 0;

private:
    void setState(TvlRadioButtonState AState);
    void uncheckSiblings();

    TRect FButtonRect;
    TvlRadioButtonState FState = rbsNormal;
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FParentBackground = true;
    bool FPressedInside = false;
};
