// vlCalc.h - the pocket calculator: an arithmetic engine that works on a
// display text it does not own, and the control that lays out, paints and
// drives its 27 buttons by mouse, keyboard and clipboard.
#pragma once
#include <array>
#include <cstdint>

#include "platform/rtl/Delegate.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlLookAndFeelPainters.h"

// The buttons, in the order of their captions' table; cbNone is no button.
enum TvlCalcButtonKind {
    cbBack, cbCE, cbC, cbMC, cbMR, cbMS, cbMPlus,
    cb0, cb1, cb2, cb3, cb4, cb5, cb6, cb7, cb8, cb9,
    cbSign, cbDecimal, cbDivide, cbMultiply, cbSubtract, cbAdd, cbSqrt, cbPercent, cbReciprocal, cbEqual,
    cbNone
};
inline constexpr int vlCalcButtonCount = cbNone;

// What the engine shows: 0 a result (the next digit starts a new number),
// 1 a number being entered, 2 an error that only CE and C leave.
enum : uint8_t { csResult = 0, csEntering = 1, csError = 2 };

// The display and the signals of an engine; the calculator control is one,
// tests stand in their own.
class IvlCalcEngineHost {
public:
    virtual ~IvlCalcEngineHost() = default;
    virtual String GetDisplayText() const = 0;
    virtual void SetDisplayText(const String& AText) = 0;
    // A refused key or an error.
    virtual void Beep() = 0;
    // The engine changed the display.
    virtual void DisplayChanged() {}
    // A button is about to act; the host may change which.
    virtual void ButtonClicking(TvlCalcButtonKind& AKind) { (void)AKind; }
    // "=" or "%" has given a result.
    virtual void ResultShown() {}
    virtual void MemoryChanged() {}
    // One button press changes the display at most once for those who
    // listen: the press runs between a lock and an unlock that reports
    // whether the text changed.
    virtual void LockTextChange(bool ALock, bool AReport) { (void)ALock; (void)AReport; }
};

// The arithmetic of the calculator: one pending binary operation, one
// memory register and a digit limit, in extended precision; between steps
// the value lives only in the display text.
class TvlCalcEngine {
public:
    explicit TvlCalcEngine(IvlCalcEngineHost* AHost) : FHost(AHost) {}

    void ButtonClick(TvlCalcButtonKind AKind);
    // Clears the pending operation and the memory (a new layout does).
    void Reset();
    // The number on the display (0 in the error state and for a text that
    // is no number).
    long double GetNumber() const;
    // Shows x in the general format; a result that is not finite shows the
    // error instead, since no later key could read it back.
    void SetNumber(long double x);
    void BeginEntry();
    void ShowError();
    // The text as a number being entered: the locale's currency text and
    // thousand separators go, blanks are trimmed; anything that is not a
    // finite decimal number shows 0.
    void Paste(const String& AText);

    bool BeepOnError() const { return FBeepOnError; }
    void SetBeepOnError(bool Value) { FBeepOnError = Value; }
    uint8_t Precision() const { return FPrecision; }
    void SetPrecision(uint8_t Value) { FPrecision = Value; }
    uint8_t Status() const { return FStatus; }
    long double Memory() const { return FMemory; }
    TvlCalcButtonKind Operator() const { return FOperator; }
    long double Operand() const { return FOperand; }

private:
    void act(TvlCalcButtonKind AKind);
    void operation(TvlCalcButtonKind AKind);
    void setDisplay(const String& AText);
    void setMemory(long double Value);
    void beep() { if (FBeepOnError) FHost->Beep(); }
    int digitLimit() const { return FPrecision < 2 ? 2 : FPrecision; }

    IvlCalcEngineHost* FHost;
    bool FBeepOnError = true;
    long double FMemory = 0;
    TvlCalcButtonKind FOperator = cbEqual;  // "=" pending means none
    long double FOperand = 0;
    uint8_t FPrecision = 15;
    uint8_t FStatus = csResult;
    bool FPressing = false;
};

struct TvlCalcButton {
    TRect Bounds;
    bool Down = false;
    bool Grayed = false;
    TvlCalcButtonKind Kind = cbNone;
    String Text;
};

// The caption colour of a button, the same in every look: maroon for the
// clears, red for memory, operations and "=", blue for digits, sign and
// separator, navy for the functions.
TColor CalcButtonTextColor(TvlCalcButtonKind AKind);

using TvlButtonClickEvent = TDelegate<void(TObject* Sender, TvlCalcButtonKind& AButtonKind)>;
using TvlHidePopupEvent = TDelegate<void(TObject* Sender, int AReason)>;

class TvlCustomCalculator : public TvlControl, protected IvlCalcEngineHost {
public:
    explicit TvlCustomCalculator(TComponent* AOwner);
    ~TvlCustomCalculator() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomCalculator"); }

    bool AutoFontSize() const { return FAutoFontSize; }
    void SetAutoFontSize(bool Value);
    bool BeepOnError() const { return FEngine.BeepOnError(); }
    void SetBeepOnError(bool Value) { FEngine.SetBeepOnError(Value); }
    bool FocusRectVisible() const { return FFocusRectVisible; }
    void SetFocusRectVisible(bool Value);
    uint8_t Precision() const { return FEngine.Precision(); }
    void SetPrecision(uint8_t Value) { FEngine.SetPrecision(Value); }
    const TvlCalcEngine& Engine() const { return FEngine; }

    const TvlCalcButton& Button(TvlCalcButtonKind AKind) const { return FButtons[AKind]; }
    int ButtonWidth() const { return FBtnWidth; }
    int ButtonHeight() const { return FBtnHeight; }
    int LargeButtonWidth() const { return FLargeBtnWidth; }
    int XOffset() const { return FXOffset; }
    int YOffset() const { return FYOffset; }
    int CalcWidth() const { return FCalcWidth; }
    int CalcHeight() const { return FCalcHeight; }
    int CalcFontSize() const { return FFontSize; }
    TvlCalcButtonKind HotButton() const { return FHotButton; }
    TvlCalcButtonKind KeyPressedButton() const { return FKeyPressedButton; }

    void ButtonClick(TvlCalcButtonKind AKind) { FEngine.ButtonClick(AKind); }
    void CopyToClipboard();
    void PasteFromClipboard();
    // Sizes the calculator for a client area of CW x CH and lays it out.
    void CalcSize(int CW, int CH);
    void LayoutButtons();

    static TvlCalcButtonKind CharToButton(QChar Ch);
    static TvlCalcButtonKind KeyToButton(uint16_t Key, TShiftState Shift);

    TNotifyEvent OnCalcDisplayChange;
    TvlButtonClickEvent OnCalcButtonClick;
    TNotifyEvent OnCalcResult;
    TvlHidePopupEvent OnCalcHidePopup;

protected:
    virtual TvlLookAndFeelPainterClass GetPainter() const;
    String GetDisplayText() const override { return String(); }
    void SetDisplayText(const String& AText) override { (void)AText; }
    virtual void HidePopup(TObject* Sender, int AReason);
    void LockTextChange(bool ALock, bool AReport) override { (void)ALock; (void)AReport; }
    // The popup calculator of an editor answers true: it never takes the
    // focus and has no frame.
    virtual bool IsPopup() const { return false; }

    // The engine's signals.
    void Beep() override;
    void DisplayChanged() override;
    void ButtonClicking(TvlCalcButtonKind& AKind) override;
    void ResultShown() override;
    void MemoryChanged() override { UpdateMemoryButtons(); }

    void UpdateMemoryButtons();
    void PressButton(TvlCalcButtonKind AKind);
    void ReleaseButton();
    void ResetPressedButton() { FKeyPressedButton = cbNone; }

    bool HasScrollBars() const override { return false; }
    bool CanFocusOnClick() const override { return !IsPopup() && TvlControl::CanFocusOnClick(); }
    void Paint() override;
    void Resize() override;
    void FontChanged() override;
    void FocusChanged() override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave(TControl* AControl) override;

private:
    TvlCalcButtonKind buttonAt(int X, int Y) const;
    void invalidateButton(TvlCalcButtonKind AKind);
    void afterKey();

    TvlCalcEngine FEngine{this};
    bool FAutoFontSize = true;
    bool FFocusRectVisible = true;
    int FFontSize = 8;
    int FBtnWidth = 28;
    int FBtnHeight = 22;
    int FLargeBtnWidth = 47;
    int FXOffset = 3;
    int FYOffset = 3;
    int FCalcWidth = 198;
    int FCalcHeight = 131;
    std::array<TvlCalcButton, vlCalcButtonCount> FButtons;
    TvlCalcButtonKind FHotButton = cbNone;
    TvlCalcButtonKind FMouseDownButton = cbNone;
    TvlCalcButtonKind FKeyPressedButton = cbNone;
    bool FTracking = false;
    bool FSizing = false;
};
