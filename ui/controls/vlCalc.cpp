// vlCalc.cpp - the calculator engine and control.
#include "ui/controls/vlCalc.h"

#include <cmath>

#include <QApplication>

#include "platform/controls/Clipbrd.h"
#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlTextEdit.h"

namespace {

const char* const captions[vlCalcButtonCount] = {
    "Back", "CE", "C", "MC", "MR", "MS", "M+", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "+/-", ",", "/", "*", "-", "+", "sqrt", "%", "1/x", "="};

// A text the engine can read back as a finite number.
bool readable(String AText)
{
    AText = Trim(AText);
    RemoveThousandSeparators(AText);
    long double value = 0;
    return TryStrToFloat(AText, value) && std::isfinite(value);
}

bool isDigit(TvlCalcButtonKind AKind) { return AKind >= cb0 && AKind <= cb9; }
bool isBinaryOperation(TvlCalcButtonKind AKind) { return AKind >= cbDivide && AKind <= cbAdd; }

// One press reports one display change at most, however it ends: the
// host's text-change reports are locked meanwhile and the change is told
// once at the end.
class TextChangeLock {
public:
    TextChangeLock(IvlCalcEngineHost* AHost, bool& APressing)
        : FHost(AHost), FText(AHost->GetDisplayText()), FPressing(APressing)
    {
        FPressing = true;
        FHost->LockTextChange(true, false);
    }
    ~TextChangeLock()
    {
        FPressing = false;
        const bool changed = FHost->GetDisplayText() != FText;
        if (changed)
            FHost->DisplayChanged();
        FHost->LockTextChange(false, changed);
    }
    TextChangeLock(const TextChangeLock&) = delete;
    TextChangeLock& operator=(const TextChangeLock&) = delete;

private:
    IvlCalcEngineHost* FHost;
    String FText;
    bool& FPressing;
};

}  // namespace

// ---------------------------------------------------------------- engine

void TvlCalcEngine::setDisplay(const String& AText)
{
    if (AText == FHost->GetDisplayText())
        return;
    FHost->SetDisplayText(AText);
    if (!FPressing)
        FHost->DisplayChanged();
}

void TvlCalcEngine::setMemory(long double Value)
{
    FMemory = Value;
    FHost->MemoryChanged();
}

void TvlCalcEngine::Reset()
{
    FOperator = cbEqual;
    FStatus = csResult;
    setMemory(0);
}

long double TvlCalcEngine::GetNumber() const
{
    if (FStatus == csError)
        return 0;
    String s = Trim(FHost->GetDisplayText());
    if (s.isEmpty())
        s = QStringLiteral("0");
    RemoveThousandSeparators(s);
    // The display may be an editor's text that someone typed into; what
    // does not read as a number counts as 0 rather than failing the key.
    long double result = 0;
    if (!TryStrToFloat(s, result) || !std::isfinite(result))
        return 0;
    return result;
}

void TvlCalcEngine::SetNumber(long double x)
{
    if (!std::isfinite(x)) {
        ShowError();
        return;
    }
    if (x == 0)
        x = 0;  // no "-0"
    setDisplay(FloatToStrF(x, ffGeneral, digitLimit(), 0));
}

void TvlCalcEngine::BeginEntry()
{
    if (FStatus != csResult)
        return;
    FStatus = csEntering;
    setDisplay(QStringLiteral("0"));
}

void TvlCalcEngine::ShowError()
{
    FStatus = csError;
    setDisplay(GetResourceString(vlEditConsts::svlSCalcError));
    beep();
}

void TvlCalcEngine::Paste(const String& AText)
{
    String s = AText;
    if (!FormatSettings.CurrencyString.isEmpty())
        s.remove(FormatSettings.CurrencyString);
    s = Trim(s);
    // What the calculator copies may carry thousand separators; it must
    // read back.
    RemoveThousandSeparators(s);
    long double value = 0;
    if (!TryStrToFloat(s, value) || !std::isfinite(value))
        value = 0;
    FStatus = csEntering;
    SetNumber(value);
}

void TvlCalcEngine::ButtonClick(TvlCalcButtonKind AKind)
{
    FHost->ButtonClicking(AKind);
    if (AKind < 0 || AKind >= cbNone)
        return;
    if (FStatus == csError && AKind != cbCE && AKind != cbC) {
        ShowError();
        return;
    }
    const TextChangeLock lock(FHost, FPressing);
    act(AKind);
}

void TvlCalcEngine::act(TvlCalcButtonKind AKind)
{
    switch (AKind) {
    case cbBack: {
        BeginEntry();
        String s = FHost->GetDisplayText();
        if (s.size() <= 1 || (s.size() == 2 && s[0] == u'-'))
            s = QStringLiteral("0");
        else
            s.chop(1);
        // A number in exponent form loses its exponent as a whole once it
        // stops being one ("1E-5" gives "1", not "1E-").
        if (!readable(s)) {
            const qsizetype e = s.indexOf(u'E', 0, Qt::CaseInsensitive);
            s = e > 0 ? s.left(e) : QStringLiteral("0");
            if (!readable(s))
                s = QStringLiteral("0");
        }
        setDisplay(s);
        break;
    }
    case cbCE:
    case cbC:
        FStatus = csResult;
        SetNumber(0);
        FOperator = cbEqual;
        break;
    case cbMC:
        setMemory(0);
        break;
    case cbMR:
    case cbMS:
    case cbMPlus: {
        if (FStatus > csEntering)
            break;
        FStatus = csResult;
        if (AKind == cbMR) {
            BeginEntry();
            SetNumber(FMemory);
        } else if (AKind == cbMS) {
            setMemory(GetNumber());
        } else {
            const long double sum = FMemory + GetNumber();
            if (std::isfinite(sum))
                setMemory(sum);
            else
                ShowError();
        }
        break;
    }
    case cbSign:
        SetNumber(-GetNumber());
        break;
    case cbDecimal: {
        BeginEntry();
        const String s = FHost->GetDisplayText();
        if (!s.contains(FormatSettings.DecimalSeparator) && readable(s + FormatSettings.DecimalSeparator))
            setDisplay(s + FormatSettings.DecimalSeparator);
        break;
    }
    case cbSqrt:
    case cbReciprocal: {
        if (FStatus > csEntering)
            break;
        // With a binary operation pending the result stands for the typed
        // second operand.
        FStatus = isBinaryOperation(FOperator) ? csEntering : csResult;
        const long double x = GetNumber();
        if (AKind == cbSqrt ? x < 0 : x == 0)
            ShowError();
        else
            SetNumber(AKind == cbSqrt ? std::sqrt(x) : 1 / x);
        break;
    }
    case cbDivide:
    case cbMultiply:
    case cbSubtract:
    case cbAdd:
    case cbPercent:
    case cbEqual:
        operation(AKind);
        break;
    default:
        if (isDigit(AKind)) {
            BeginEntry();
            String s = FHost->GetDisplayText();
            if (s == QStringLiteral("0"))
                s.clear();
            const int limit = digitLimit() + (s.contains(u'-') ? 1 : 0);
            const String typed = s + QChar(u'0' + (AKind - cb0));
            // A digit that would turn a pasted or computed number in exponent
            // form into no finite number is refused like one too many.
            if (s.size() < limit && readable(typed)) {
                s = typed;
            } else {
                beep();
                if (s.isEmpty())
                    s = QStringLiteral("0");
            }
            setDisplay(s);
        }
        break;
    }
}

void TvlCalcEngine::operation(TvlCalcButtonKind AKind)
{
    // The operand is what the display shows, also when no new number was
    // typed ("5 + =" adds 5 to 5), so no step works on an undefined value.
    FStatus = csResult;
    long double r = GetNumber();
    if (AKind == cbPercent) {
        if (FOperator == cbDivide || FOperator == cbMultiply)
            r = r / 100;
        else if (FOperator == cbSubtract || FOperator == cbAdd)
            r = FOperand * r / 100;
    }
    switch (FOperator) {
    case cbDivide:
        if (r == 0)
            ShowError();
        else
            SetNumber(FOperand / r);
        break;
    case cbMultiply: SetNumber(FOperand * r); break;
    case cbSubtract: SetNumber(FOperand - r); break;
    case cbAdd: SetNumber(FOperand + r); break;
    default: break;
    }
    FOperator = AKind;
    FOperand = GetNumber();
    if (AKind == cbPercent || AKind == cbEqual)
        FHost->ResultShown();
}

// ---------------------------------------------------------------- colours

TColor CalcButtonTextColor(TvlCalcButtonKind AKind)
{
    switch (AKind) {
    case cbBack: case cbCE: case cbC: return clMaroon;
    case cbSqrt: case cbPercent: case cbReciprocal: return clNavy;
    case cbSign: case cbDecimal: return clBlue;
    default: return isDigit(AKind) ? clBlue : clRed;
    }
}

// ---------------------------------------------------------------- control

TvlCustomCalculator::TvlCustomCalculator(TComponent* AOwner) : TvlControl(AOwner)
{
    // A double click arrives as two presses.
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque};
    for (int i = 0; i < vlCalcButtonCount; ++i) {
        FButtons[i].Kind = TvlCalcButtonKind(i);
        FButtons[i].Text = String::fromLatin1(captions[i]);
    }
    // Created at the size of the initial metrics; the first resize sizes it.
    FSizing = true;
    SetBounds(Left(), Top(), 198, 131);
    FSizing = false;
    SetColor(clBtnFace);
    SetParentColor(false);
    SetTabStop(true);
    SetKeys(TvlControlKeys{kAll, kArrows, kChars, kTab});
    LayoutButtons();
}

TvlCustomCalculator::~TvlCustomCalculator() = default;

void TvlCustomCalculator::SetAutoFontSize(bool Value)
{
    if (FAutoFontSize == Value)
        return;
    FAutoFontSize = Value;
    FontChanged();
}

void TvlCustomCalculator::SetFocusRectVisible(bool Value)
{
    if (FFocusRectVisible == Value)
        return;
    FFocusRectVisible = Value;
    if (Focused())
        invalidateButton(cbEqual);
}

TvlLookAndFeelPainterClass TvlCustomCalculator::GetPainter() const
{
    return TvlStandardLookAndFeelPainter::Instance();
}

void TvlCustomCalculator::HidePopup(TObject* Sender, int AReason)
{
    if (OnCalcHidePopup)
        OnCalcHidePopup(Sender, AReason);
}

void TvlCustomCalculator::Beep()
{
    QApplication::beep();
}

void TvlCustomCalculator::DisplayChanged()
{
    if (OnCalcDisplayChange)
        OnCalcDisplayChange(this);
}

void TvlCustomCalculator::ButtonClicking(TvlCalcButtonKind& AKind)
{
    if (OnCalcButtonClick)
        OnCalcButtonClick(this, AKind);
}

void TvlCustomCalculator::ResultShown()
{
    if (OnCalcResult)
        OnCalcResult(this);
}

void TvlCustomCalculator::UpdateMemoryButtons()
{
    const bool empty = FEngine.Memory() == 0;
    for (const TvlCalcButtonKind kind : {cbMC, cbMR}) {
        FButtons[kind].Grayed = empty;
        invalidateButton(kind);
    }
}

void TvlCustomCalculator::invalidateButton(TvlCalcButtonKind AKind)
{
    if (AKind != cbNone && HandleAllocated())
        InvalidateRect(FButtons[AKind].Bounds, false);
}

void TvlCustomCalculator::LayoutButtons()
{
    const int w = FBtnWidth, h = FBtnHeight, x = FXOffset, y = FYOffset, l = FLargeBtnWidth;
    const int k = w + 2 * x + 4;
    auto place = [&](TvlCalcButtonKind AKind, int ALeft, int ARow, int AWidth) {
        FButtons[AKind].Bounds = Rect(ALeft, ARow * (h + y) + y, ALeft + AWidth, (ARow + 1) * (h + y));
    };
    static const TvlCalcButtonKind keypad[4][5] = {{cb7, cb8, cb9, cbDivide, cbSqrt},
                                                   {cb4, cb5, cb6, cbMultiply, cbPercent},
                                                   {cb1, cb2, cb3, cbSubtract, cbReciprocal},
                                                   {cb0, cbSign, cbDecimal, cbAdd, cbEqual}};
    static const TvlCalcButtonKind memory[4] = {cbMC, cbMR, cbMS, cbMPlus};
    for (int row = 1; row <= 4; ++row) {
        place(memory[row - 1], x, row, w);
        for (int col = 1; col <= 5; ++col)
            place(keypad[row - 1][col - 1], x + k + (col - 1) * (w + x), row, w);
    }
    const int right = x + k + 4 * (w + x) + w;
    place(cbC, right - l, 0, l);
    place(cbCE, right - 2 * l - y, 0, l);
    place(cbBack, right - 3 * l - 2 * y, 0, l);
    FButtons[cbDecimal].Text = QString(FormatSettings.DecimalSeparator);
    FEngine.Reset();
    if (HandleAllocated())
        Invalidate();
}

void TvlCustomCalculator::CalcSize(int CW, int CH)
{
    int h = 0;
    if (FAutoFontSize) {
        const int target = std::min(MulDiv(CW, 131, 198), CH);
        auto height = [](int b) { return 5 * b + 6 * MulDiv(b, 3, 22); };
        int best = 22;
        int distance = target;
        for (int b = 22;; ++b) {
            const int d = std::abs(height(b) - target);
            if (d >= distance)
                break;
            distance = d;
            best = b;
        }
        h = best;
    } else {
        h = 2 * GetActiveCanvas()->FontHeight(Font());
    }
    FBtnHeight = h;
    FBtnWidth = MulDiv(h, 28, 22);
    FXOffset = FYOffset = MulDiv(h, 3, 22);
    FLargeBtnWidth = MulDiv(FBtnWidth, 17, 10);
    FFontSize = MulDiv(h, 8, 22);
    FCalcHeight = 5 * h + 6 * FYOffset;
    FCalcWidth = 6 * FBtnWidth + 8 * FXOffset + 4;
    LayoutButtons();
}

void TvlCustomCalculator::Resize()
{
    TvlControl::Resize();
    if (FSizing)
        return;
    FSizing = true;
    CalcSize(ClientWidth(), ClientHeight());
    SetClientWidth(FCalcWidth);
    SetClientHeight(FCalcHeight);
    FSizing = false;
}

void TvlCustomCalculator::FontChanged()
{
    if (!ComponentState().Contains(csLoading))
        SetParentFont(false);
    TvlControl::FontChanged();
    Resize();
}

void TvlCustomCalculator::FocusChanged()
{
    TvlControl::FocusChanged();
    invalidateButton(cbEqual);
}

void TvlCustomCalculator::Dispatch(TMessage& Message)
{
    TvlControl::Dispatch(Message);
    if (Message.Msg == CM_ENABLEDCHANGED && HandleAllocated())
        Invalidate();
}

void TvlCustomCalculator::Paint()
{
    TvlCanvas* canvas = Canvas();
    TvlLookAndFeelPainterClass painter = GetPainter();
    painter->DrawBackground(canvas, IsPopup() ? ClientRect() : GetBounds(), false, Color(), nullptr);
    canvas->SetFont(Font());
    if (FAutoFontSize) {
        canvas->Font()->SetSize(FFontSize);
        TFontStyles style = canvas->Font()->Style();
        if (FFontSize > 9)
            style.Include(fsBold);
        else
            style.Exclude(fsBold);
        canvas->Font()->SetStyle(style);
    }
    const bool focused = Focused();
    for (const TvlCalcButton& button : FButtons) {
        if (button.Bounds.IsEmpty())
            continue;
        TvlButtonState state = vlbsNormal;
        if (button.Grayed || !Enabled())
            state = vlbsDisabled;
        else if (button.Down)
            state = vlbsPressed;
        else if (button.Kind == FHotButton && button.Kind != FMouseDownButton)
            state = vlbsHot;
        else if (button.Kind == cbEqual && focused)
            state = vlbsDefault;
        painter->DrawButton(canvas, button.Bounds, String(), state);
        TRect textR = button.Bounds;
        if (state == vlbsPressed) {
            const int shift = painter->ButtonPressedTextShift();
            textR = Rect(textR.Left + shift, textR.Top + shift, textR.Right + shift, textR.Bottom + shift);
        }
        canvas->Brush()->SetStyle(bsClear);
        canvas->Font()->SetColor(CalcButtonTextColor(button.Kind));
        canvas->DrawText(button.Text, textR, vltfHCenter | vltfVCenter | vltfSingleLine, state != vlbsDisabled);
    }
    if (FFocusRectVisible && focused) {
        const TRect& r = FButtons[cbEqual].Bounds;
        canvas->DrawFocusRect(Rect(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3));
    }
}

// ---------------------------------------------------------------- clipboard

void TvlCustomCalculator::CopyToClipboard()
{
    Clipboard()->SetAsText(GetDisplayText());
}

void TvlCustomCalculator::PasteFromClipboard()
{
    const String text = Clipboard()->AsText();
    if (!text.isEmpty())
        FEngine.Paste(text);
}

// ---------------------------------------------------------------- keyboard

TvlCalcButtonKind TvlCustomCalculator::CharToButton(QChar Ch)
{
    switch (Ch.unicode()) {
    case 8: return cbBack;
    case u',': case u'.': return cbDecimal;
    case u'+': return cbAdd;
    case u'-': return cbSubtract;
    case u'*': return cbMultiply;
    case u'/': return cbDivide;
    case u'%': return cbPercent;
    case u'@': return cbSqrt;
    case u'=': return cbEqual;
    default:
        if (Ch >= u'0' && Ch <= u'9')
            return TvlCalcButtonKind(cb0 + (Ch.unicode() - u'0'));
        return cbNone;
    }
}

TvlCalcButtonKind TvlCustomCalculator::KeyToButton(uint16_t Key, TShiftState Shift)
{
    const bool ctrl = Shift.Contains(ssCtrl);
    switch (Key) {
    case VK_RETURN: return cbEqual;
    case VK_ESCAPE: return cbC;
    case VK_DELETE: return cbCE;
    case VK_F1 + 8: return cbSign;  // F9
    case 'C': return ctrl ? cbNone : cbC;
    case 'L': return ctrl ? cbMC : cbNone;
    case 'R': return ctrl ? cbMR : cbReciprocal;
    case 'M': return ctrl ? cbMS : cbNone;
    case 'P': return ctrl ? cbMPlus : cbNone;
    default: return cbNone;
    }
}

void TvlCustomCalculator::PressButton(TvlCalcButtonKind AKind)
{
    if (AKind == FKeyPressedButton)
        return;
    ReleaseButton();
    FKeyPressedButton = AKind;
    FButtons[AKind].Down = true;
    invalidateButton(AKind);
    if (HandleAllocated())
        Update();
    // A held Backspace repeats: it clicks after each key message instead.
    if (AKind != cbBack)
        ButtonClick(AKind);
}

void TvlCustomCalculator::ReleaseButton()
{
    if (FKeyPressedButton == cbNone)
        return;
    FButtons[FKeyPressedButton].Down = false;
    invalidateButton(FKeyPressedButton);
    FKeyPressedButton = cbNone;
}

void TvlCustomCalculator::afterKey()
{
    if (FKeyPressedButton == cbBack)
        ButtonClick(cbBack);
}

void TvlCustomCalculator::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlControl::KeyDown(Key, Shift);
    const TvlCalcButtonKind kind = KeyToButton(Key, Shift);
    if (kind != cbNone)
        PressButton(kind);
    afterKey();
}

void TvlCustomCalculator::KeyPress(QChar& Key)
{
    TvlControl::KeyPress(Key);
    if (Key == QChar(22)) {
        PasteFromClipboard();
    } else if (Key == QChar(3)) {
        CopyToClipboard();
    } else {
        const TvlCalcButtonKind kind = CharToButton(Key);
        if (kind != cbNone)
            PressButton(kind);
    }
    afterKey();
}

void TvlCustomCalculator::KeyUp(uint16_t& Key, TShiftState Shift)
{
    TvlControl::KeyUp(Key, Shift);
    ReleaseButton();
}

// ---------------------------------------------------------------- mouse

TvlCalcButtonKind TvlCustomCalculator::buttonAt(int X, int Y) const
{
    for (const TvlCalcButton& button : FButtons)
        if (button.Bounds.Contains(Point(X, Y)))
            return button.Kind;
    return cbNone;
}

void TvlCustomCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TvlObjectGuard link(this);
    TvlControl::MouseDown(Button, Shift, X, Y);
    if (link.Destroyed() || Button != mbLeft)
        return;
    const TvlCalcButtonKind kind = buttonAt(X, Y);
    if (kind == cbNone || FButtons[kind].Grayed)
        return;
    SetMouseCapture(this, true);
    FTracking = true;
    FMouseDownButton = kind;
    FButtons[kind].Down = true;
    invalidateButton(kind);
}

void TvlCustomCalculator::MouseMove(TShiftState Shift, int X, int Y)
{
    TvlControl::MouseMove(Shift, X, Y);
    const TvlCalcButtonKind kind = buttonAt(X, Y);
    if (FTracking) {
        TvlCalcButton& button = FButtons[FMouseDownButton];
        const bool down = kind == FMouseDownButton;
        if (button.Down != down) {
            button.Down = down;
            invalidateButton(FMouseDownButton);
        }
        return;
    }
    if (!GetPainter()->IsButtonHotTrack() || !Enabled() || Dragging() || kind == FHotButton)
        return;
    const TvlCalcButtonKind old = FHotButton;
    FHotButton = kind;
    for (const TvlCalcButtonKind k : {old, kind})
        if (k != cbNone && !FButtons[k].Grayed)
            invalidateButton(k);
}

void TvlCustomCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TvlObjectGuard link(this);
    TvlControl::MouseUp(Button, Shift, X, Y);
    if (link.Destroyed() || !FTracking)
        return;
    FTracking = false;
    SetMouseCapture(this, false);
    const TvlCalcButtonKind kind = FMouseDownButton;
    FMouseDownButton = cbNone;
    const bool wasDown = FButtons[kind].Down;
    FButtons[kind].Down = false;
    invalidateButton(kind);
    if (wasDown && Button == mbLeft)
        ButtonClick(kind);
}

void TvlCustomCalculator::MouseLeave(TControl* AControl)
{
    TvlControl::MouseLeave(AControl);
    if (FHotButton == cbNone)
        return;
    const TvlCalcButtonKind old = FHotButton;
    FHotButton = cbNone;
    invalidateButton(old);
}
