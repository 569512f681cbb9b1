#include "platform/controls/MPlayer.h"

#include "platform/graphics/Graphics.h"
#include "platform/rtl/TypInfo.h"

namespace {
constexpr const char* buttonNames[] = {"btPlay", "btPause", "btStop", "btNext", "btPrev",
                                       "btStep", "btBack", "btRecord", "btEject"};
constexpr TEnumInfo buttonInfo{"TMPBtnType", buttonNames};
constexpr const char* captions[] = {"Play", "Pause", "Stop", "Next", "Prev", "Step", "Back", "Rec", "Eject"};
}  // namespace

TMediaPlayer::TMediaPlayer(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 253, 30);
    SetColor(clBtnFace);
    FControlStyle.Include(csCaptureMouse);
}

bool TMediaPlayer::ButtonAtPos(int X, TMPBtnType& Button) const
{
    int count = 0;
    for (int b = 0; b < 9; ++b)
        count += FVisibleButtons.Contains(TMPBtnType(b)) ? 1 : 0;
    if (count == 0 || X < 0 || X >= Width())
        return false;
    const int w = Width() / count;
    int left = 0;
    for (int b = 0; b < 9; ++b) {
        if (!FVisibleButtons.Contains(TMPBtnType(b)))
            continue;
        if (X < left + w || w == 0) {
            Button = TMPBtnType(b);
            return true;
        }
        left += w;
    }
    return false;
}

void TMediaPlayer::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    int count = 0;
    for (int b = 0; b < 9; ++b)
        count += FVisibleButtons.Contains(TMPBtnType(b)) ? 1 : 0;
    if (count == 0)
        return;
    const int w = Width() / count;
    int left = 0;
    for (int b = 0; b < 9; ++b) {
        if (!FVisibleButtons.Contains(TMPBtnType(b)))
            continue;
        TRect r{left, 0, left + w, Height()};
        DrawEdge(c->Handle(), r, FPressed == b ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        const bool enabled = Enabled() && FEnabledButtons.Contains(TMPBtnType(b));
        c->Font()->SetColor(!enabled ? clBtnShadow
                            : FColoredButtons.Contains(TMPBtnType(b)) ? clNavy : clBtnText);
        c->Brush()->SetStyle(bsClear);
        c->TextRect(r, String::fromLatin1(captions[b]), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        c->Brush()->SetStyle(bsSolid);
        left += w;
    }
}

void TMediaPlayer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    TMPBtnType b{};
    if (Button == mbLeft && ButtonAtPos(X, b) && FEnabledButtons.Contains(b) && Enabled()) {
        FPressed = int(b);
        Invalidate();
    }
}

void TMediaPlayer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || FPressed < 0)
        return;
    const int pressed = FPressed;
    FPressed = -1;
    Invalidate();
    TMPBtnType b{};
    if (ButtonAtPos(X, b) && int(b) == pressed && OnButtonClick) {
        bool doDefault = true;  // nothing to do by default: there is no device
        OnButtonClick(this, b, doDefault);
    }
}

const TClassInfo* TMediaPlayer::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TMediaPlayer::StaticClassInfo()
{
    using C = TMediaPlayer;
    static const TClassInfo info = TClassInfoBuilder<C>("TMediaPlayer", &TControl::StaticClassInfo())
        .Set("VisibleButtons", buttonInfo, &C::VisibleButtons, &C::SetVisibleButtons, AllMPButtons)
        .Set("EnabledButtons", buttonInfo, &C::EnabledButtons, &C::SetEnabledButtons, AllMPButtons)
        .Set("ColoredButtons", buttonInfo, &C::ColoredButtons, &C::SetColoredButtons, AllMPButtons)
        .Build();
    return info;
}
