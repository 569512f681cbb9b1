// The media player skinner: a panel laid over the player paints its button
// row from the skin and hands the clicks to the player underneath.
#include <QFile>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Stream.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

namespace {

constexpr const char* buttonNames[] = {"MPPLAY", "MPPAUSE", "MPSTOP", "MPNEXT", "MPPREV",
                                       "MPSTEP", "MPBACK", "MPRECORD", "MPEJECT"};
constexpr const char* stateNames[] = {"EN", "DI", "CL"};
constexpr const char* typeNames[] = {"btPlay", "btPause", "btStop", "btNext", "btPrev",
                                     "btStep", "btBack", "btRecord", "btEject"};

// The program's bitmap of that name; empty when there is none.
void loadGlyph(TBitmap* Bitmap, const String& Name)
{
    QFile file(String::fromLatin1(":/") + Name);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    TMemoryStream stream;
    stream.WriteBuffer(bytes.constData(), bytes.size());
    stream.SetPosition(0);
    try {
        Bitmap->LoadFromStream(&stream);
    } catch (const Exception&) {
        Bitmap->SetSize(0, 0);
    }
}

// The glyph's pixels of this colour take the brush's.
constexpr TColor glyphBackground = 0x008080;

}  // namespace

TWMediaPlayer::TWMediaPlayer(TComponent* AOwner) : TCustomControl(AOwner)
{
    for (int b = 0; b < 9; ++b)
        for (int s = 0; s < 3; ++s) {
            Buttons[b].Glyphs[s] = std::make_unique<TBitmap>();
            loadGlyph(Buttons[b].Glyphs[s].get(),
                      String::fromLatin1(buttonNames[b]) + u'_' + String::fromLatin1(stateNames[s]));
        }
}

TWMediaPlayer::~TWMediaPlayer() = default;

void TWMediaPlayer::Attach(TSkinMP* ASkinner, TControl* APlayer)
{
    MediaPlayer = APlayer;
    Skinner = ASkinner;
    SkinData = ASkinner != nullptr ? ASkinner->SkinData : nullptr;
    // The form skinner never skins the panel itself.
    if (SkinData != nullptr)
        SetTag(SkinData->DisableTag());
    SyncBounds(APlayer);
    SetParent(APlayer->Parent());
}

void TWMediaPlayer::SyncBounds(TControl* APlayer)
{
    if (APlayer == nullptr)
        return;
    SetWidth(APlayer->Width());
    SetHeight(APlayer->Height());
    SetLeft(APlayer->Left());
    SetTop(APlayer->Top());
}

void TWMediaPlayer::readButtons()
{
    const String visible = GetEnumPropByName(MediaPlayer, String::fromLatin1("VisibleButtons"));
    const String enabled = GetEnumPropByName(MediaPlayer, String::fromLatin1("EnabledButtons"));
    const String colored = GetEnumPropByName(MediaPlayer, String::fromLatin1("ColoredButtons"));
    VisibleCount = 0;
    for (int b = 0; b < 9; ++b) {
        // Whole names only: "btPlay" is not found in "btPlays".
        auto in = [b](const String& set) {
            const QStringList items = set.mid(1, set.size() - 2).split(u',', Qt::SkipEmptyParts);
            for (const QString& item : items)
                if (item.trimmed() == QLatin1String(typeNames[b]))
                    return true;
            return false;
        };
        Buttons[b].Visible = in(visible);
        Buttons[b].Enabled = in(enabled);
        Buttons[b].Colored = in(colored);
        VisibleCount += Buttons[b].Visible ? 1 : 0;
    }
    ButtonWidth = VisibleCount > 0 ? Width() / VisibleCount : 0;
}

int TWMediaPlayer::ButtonAt(int X) const
{
    int left = 0;
    for (int b = 0; b < 9; ++b) {
        if (!Buttons[b].Visible)
            continue;
        if (X >= left && X <= left + ButtonWidth)
            return b;
        left += ButtonWidth;
    }
    return 9;
}

void TWMediaPlayer::DrawButton(TCanvas* ACanvas, int Index, const TRect& R)
{
    const TMPButton& button = Buttons[Index];
    const TBitmap* glyph = button.Enabled && button.Colored ? button.Glyphs[2].get()
                           : button.Enabled                 ? button.Glyphs[0].get()
                                                            : button.Glyphs[1].get();
    int frame = MouseDown && Index == PressedButton ? 2 : 1;
    if (!button.Enabled)
        frame = 3;
    const TDataSkinButton* b = SkinData != nullptr ? SkinData->Buttons.get() : nullptr;
    if (b != nullptr)
        DrawSkinImage(ACanvas->Handle(), R, b->Bitmap.get(), b->Margins(), false, b->Tile != 0, b->Trans != 0,
                      b->Frame, frame);
    if (glyph == nullptr || glyph->Empty())
        return;
    const int shift = frame == 2 ? 1 : 0;
    const int x = R.Left + (R.Width() - glyph->Width()) / 2 + shift;
    const int y = R.Top + (R.Height() - glyph->Height()) / 2 + shift;
    const TColor brush = ColorToRGB(ACanvas->Brush()->Color());
    for (int gy = 0; gy < glyph->Height(); ++gy)
        for (int gx = 0; gx < glyph->Width(); ++gx) {
            const TColor c = glyph->Pixels(gx, gy);
            ACanvas->SetPixels(x + gx, y + gy, c == glyphBackground ? brush : c);
        }
}

void TWMediaPlayer::Paint()
{
    readButtons();
    const TColor face = SkinData != nullptr ? SkinData->Colors[scButtonFace].Color : clBtnFace;
    TCanvas* c = Canvas();
    const TRect client{0, 0, Width(), Height()};
    if (VisibleCount == 0 || Width() < 1 || Height() < 1) {
        c->Brush()->SetColor(face);
        c->FillRect(client);
        return;
    }
    TBitmap row;
    row.SetPixelFormat(pf24bit);
    row.SetSize(Width(), Height());
    TCanvas* rc = row.Canvas();
    rc->Brush()->SetColor(face);
    rc->FillRect(client);
    int left = 0;
    for (int b = 0; b < 9; ++b) {
        if (!Buttons[b].Visible)
            continue;
        DrawButton(rc, b, TRect{left, 0, left + ButtonWidth, Height()});
        left += ButtonWidth;
    }
    c->Draw(0, 0, &row);
}

void TWMediaPlayer::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        MouseDown = true;
        TCustomControl::Dispatch(Message);
        if (MediaPlayer != nullptr)
            MediaPlayer->Perform(Message.Msg, Message.WParam, Message.LParam);
        SetCaptureControl(nullptr);
        readButtons();
        HotButton = ButtonAt(PointFromLParam(Message.LParam).X);
        PressedButton = HotButton;
        Invalidate();
        return;
    case WM_LBUTTONUP:
        MouseDown = false;
        TCustomControl::Dispatch(Message);
        readButtons();
        HotButton = ButtonAt(PointFromLParam(Message.LParam).X);
        // Only a release over the pressed button reaches the player.
        if (HotButton == PressedButton && MediaPlayer != nullptr)
            MediaPlayer->Perform(Message.Msg, Message.WParam, Message.LParam);
        PressedButton = HotButton;
        Invalidate();
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

// ---- TSkinMP -------------------------------------------------------------------

TSkinMP::TSkinMP(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinMP::~TSkinMP()
{
    // The panel lies over the player: it goes with the player.
    if (Panel != nullptr && !(FormSkinner != nullptr && FormSkinner->ComponentState().Contains(csDestroying))) {
        Panel->RemoveFreeNotification(this);
        const std::unique_ptr<TWMediaPlayer> doomed(Panel);
    }
}

void TSkinMP::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas)
{
    if (Hooked)
        return;
    TSkinControl::HookControl(AFormSkinner, ASkinData, ASetColor, ACanvas);
    if (Control == nullptr)
        return;
    Panel = std::make_unique<TWMediaPlayer>(AFormSkinner).release();  // the form skinner owns it
    Panel->FreeNotification(this);
    Panel->Attach(this, Control);
    Panel->SetVisible(Control->Visible());
}

void TSkinMP::Unskin()
{
    TSkinControl::Unskin();
    if (State != 6 && Panel != nullptr) {
        TWMediaPlayer* panel = Panel;
        Panel = nullptr;
        panel->RemoveFreeNotification(this);
        const std::unique_ptr<TWMediaPlayer> doomed(panel);
    }
}

void TSkinMP::Notification(TComponent* AComponent, TOperation Operation)
{
    TSkinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == Panel)
        Panel = nullptr;
}

void TSkinMP::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE: case WM_MOVE:  // the window's position changed
        if (Panel != nullptr)
            Panel->SyncBounds(Control);
        return;
    case CM_VISIBLECHANGED:
        if (Panel != nullptr && Control != nullptr)
            Panel->SetVisible(Control->Visible());
        return;
    default:
        TSkinControl::AfterMessage(Message);
    }
}
