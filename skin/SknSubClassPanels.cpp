// Status bar, group box and panel skinners: the container-like controls of
// a form in the skin's face colour, with the status bar's panels and the
// group box's frame drawn from the skin.
#include <algorithm>

#include "platform/controls/ComCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

void PaintChildControls(TControl* Control, HDC DC)
{
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (win == nullptr || DC == nullptr)
        return;
    for (int i = 0; i < win->ControlCount(); ++i) {
        TControl* c = win->Controls(i);
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible() || !RectVisible(DC, c->BoundsRect()))
            continue;
        const int saved = SaveDC(DC);
        MoveWindowOrg(DC, c->Left(), c->Top());
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC));
        RestoreDC(DC, saved);
    }
}

namespace {

// A one-pixel 3-D frame: lowered (1) with the shadow top-left, raised (2)
// the other way round; any other frame draws nothing.
void frame3D(HDC DC, const TRect& R, int Frame)
{
    if (Frame != 1 && Frame != 2)
        return;
    const TColor topLeft = ColorToRGB(Frame == 1 ? clBtnShadow : clBtnHighlight);
    const TColor bottomRight = ColorToRGB(Frame == 1 ? clBtnHighlight : clBtnShadow);
    FillSolidRect(DC, TRect{R.Left, R.Top, R.Right, R.Top + 1}, topLeft);
    FillSolidRect(DC, TRect{R.Left, R.Top, R.Left + 1, R.Bottom}, topLeft);
    FillSolidRect(DC, TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, bottomRight);
    FillSolidRect(DC, TRect{R.Right - 1, R.Top, R.Right, R.Bottom}, bottomRight);
}

// A panel's text: an empty one becomes one blank, placed 2 pixels in.
void panelText(TSkinControl* Skinner, TCanvas* Work, TRect R, uint32_t Alignment, String Text)
{
    if (Text.isEmpty())
        Text = QStringLiteral(" ");
    InflateRect(R, -2, 0);
    DrawSkinCaption(Skinner, Work, R, Alignment, true, Text);
}

}  // namespace

// ---- TSkinStatusBar --------------------------------------------------------------

TSkinStatusBar::TSkinStatusBar(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinStatusBar::BeforeMessage(TMessage& Message)
{
    return TSkinControl::BeforeMessage(Message) && !paintFilter(Message, true);
}

void TSkinStatusBar::panelBackground(TCanvas* Work, const TRect& R, int Frame)
{
    const TDataSkinObject* edges = SkinData->StatusBarEdges.get();
    if (HasSkinImage(edges) && R.Width() > 0 && R.Height() > 0) {
        const std::unique_ptr<TBitmap> image =
            BuildSkinImage(R, edges->Bitmap.get(), edges->Margins(), false, edges->Tile != 0, 3, Frame);
        if (image != nullptr && !image->Empty())
            Work->Draw(R.Left, R.Top, image.get());
        return;
    }
    frame3D(Work->Handle(), R, Frame);
}

void TSkinStatusBar::PaintControl(HDC DC, const TRect& R)
{
    auto* bar = dynamic_cast<TStatusBar*>(Control);
    if (bar == nullptr || SkinData == nullptr || R.Width() < 1 || R.Height() < 1)
        return;
    if (!WorkBitmap)
        WorkBitmap = std::make_unique<TBitmap>();
    TBitmap* work = WorkBitmap.get();
    work->SetPixelFormat(pf24bit);
    work->SetSize(R.Width(), R.Height());
    TCanvas* c = work->Canvas();
    FillSkinColor(c->Handle(), R);
    c->Font()->Assign(bar->Font());
    c->Font()->SetStyle(TFontStyles());
    if (SkinData->StatusBarEdges != nullptr)
        c->Font()->SetColor(SkinData->StatusBarEdges->NormalColour2);
    const bool rtl = AddRTLReadingFlag(0) != 0;

    if (bar->SimplePanel() || bar->PanelCount() == 0) {
        panelBackground(c, R, 1);
        panelText(this, c, R, rtl ? DT_RIGHT : DT_LEFT, bar->SimpleText());
    } else {
        for (int i = 0; i < bar->PanelCount(); ++i) {
            const TStatusPanel& panel = bar->Panels(i);
            TAlignment alignment = panel.Alignment;
            if (rtl && alignment != taCenter)
                alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
            const int frame = panel.Bevel == pbLowered ? 1 : panel.Bevel == pbRaised ? 2 : 3;
            TRect r = bar->PanelRect(i);
            r.Right += 2;
            if (i == bar->PanelCount() - 1)
                r.Right = R.Right;
            panelBackground(c, r, frame);
            if (panel.Style == psText)
                panelText(this, c, r,
                          alignment == taLeftJustify ? DT_LEFT : alignment == taRightJustify ? DT_RIGHT : DT_CENTER,
                          panel.Text);
        }
    }
    if (bar->SizeGrip() && HasSkinImage(SkinData->ExtraImages.get())) {
        TBitmap* grip = SkinData->ExtraImages->Bitmap.get();
        const int frames = std::max(1, SkinData->ExtraImages->Frame);
        const int w = grip->Width() / frames, h = grip->Height();
        DrawSkinFrameTransparentDC(this, c->Handle(), TRect{R.Right - 1 - w, R.Bottom - 1 - h, R.Right - 1, R.Bottom - 1},
                                   frames, 5, grip);
    }
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), c->Handle(), 0, 0, SRCCOPY);
    PaintChildControls(bar, DC);
    if (bar->OnDrawPanel && !bar->SimplePanel())
        for (int i = 0; i < bar->PanelCount(); ++i) {
            TRect r = bar->PanelRect(i);
            InflateRect(r, -2, -2);
            const int saved = SaveDC(DC);
            TCanvas* target = bar->Canvas();
            // The handler draws on the bar's canvas, which is this paint's DC.
            if (target != nullptr) {
                target->SetHandle(DC);
                bar->OnDrawPanel(bar, &bar->Panels(i), r);
                target->SetHandle(nullptr);
            }
            RestoreDC(DC, saved);
        }
}

// ---- TSkinGroupBox ---------------------------------------------------------------

TSkinGroupBox::TSkinGroupBox(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinGroupBox::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas)
{
    if (Hooked)
        return;
    TSkinControl::HookControl(AFormSkinner, ASkinData, ASetColor, ACanvas);
    if (Control != nullptr)
        Mode = 1;
}

bool TSkinGroupBox::BeforeMessage(TMessage& Message)
{
    return TSkinControl::BeforeMessage(Message) && !(Mode == 1 && paintFilter(Message, false));
}

void TSkinGroupBox::PaintControl(HDC DC, const TRect& R)
{
    if (Control == nullptr && Handle == nullptr)
        return;
    TControl* target = Control != nullptr ? Control : dynamic_cast<TControl*>(FindReceiver(Handle));
    Text = target != nullptr ? target->Text() : String();
    if (Text.isEmpty() && Control != nullptr)
        Text = GetWideStrPropByName(Control, String::fromLatin1("Caption"));
    if (Control != nullptr)
        FillSkinColor(DC, R);
    TCanvas canvas;
    canvas.SetHandle(DC);
    if (target != nullptr)
        if (auto* windowFont = reinterpret_cast<TFont*>(target->Perform(WM_GETFONT)))
            canvas.Font()->Assign(windowFont);
    if (auto* font = GetObjectPropByName<TFont>(Control, String::fromLatin1("Font")))
        canvas.Font()->Assign(font);
    const int h = canvas.TextHeight(QStringLiteral("0"));
    const int t = h / 2 - 1;
    const TColor shadow = SkinData != nullptr ? SkinData->Colors[scButtonShadow].Color : clBtnShadow;
    if (Mode == 0) {
        // Over the raw window's own frame.
        const TDCBrush face{ColorToRGB(ButtonFace()), dbsSolid};
        FrameRect(DC, TRect{0, t, R.Right, R.Bottom}, face);
        FrameRect(DC, TRect{1, t + 1, R.Right - 1, R.Bottom - 1}, face);
    }
    canvas.Pen()->SetColor(shadow);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetStyle(psSolid);
    canvas.Brush()->SetStyle(bsClear);
    canvas.RoundRect(1, t, R.Right - 1, R.Bottom - 1, 5, 5);
    // The caption interrupts the frame line.
    SetBkMode(DC, OPAQUE);
    const TColor oldBack = SetBkColor(DC, ColorToRGB(ButtonFace()));
    canvas.Brush()->SetColor(ButtonFace());
    canvas.Brush()->SetStyle(bsSolid);
    if (!Text.isEmpty()) {
        if (AddRTLReadingFlag(0) != 0) {
            TRect place{R.Left, R.Top, R.Right - 8, R.Bottom};
            canvas.TextRect(place, Text, AddRTLReadingFlag(DT_RIGHT | DT_EXPANDTABS));
        } else {
            TRect place{R.Left + 8, R.Top, R.Right, R.Bottom};
            canvas.TextRect(place, Text, DT_EXPANDTABS);
        }
    }
    SetBkColor(DC, oldBack);
    canvas.SetHandle(nullptr);
    if (Mode == 1)
        PaintChildControls(Control, DC);
}

// ---- TSkinBox / TSkinBoxH / TSkinSizer ------------------------------------------

TSkinBox::TSkinBox(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinBox::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas)
{
    attach(AFormSkinner, ASkinData, ASetColor, ACanvas, false);
}

void TSkinBox::AfterMessage(TMessage&) {}

void TSkinBox::Unskin()
{
    if (SetColor && Control != nullptr && State != 6 && !Owner()->ComponentState().Contains(csDestroying))
        Control->SetColor(SavedColor);
    Enabled = false;
    State = 2;
}

TSkinBoxH::TSkinBoxH(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinBoxH::BeforeMessage(TMessage& Message)
{
    if (!TSkinControl::BeforeMessage(Message))
        return false;
    switch (Message.Msg) {
    case WM_ERASEBKGND: {
        TRect r;
        auto dc = reinterpret_cast<HDC>(Message.WParam);
        if (dc != nullptr && Handle != nullptr && GetWindowRect(Handle, r))
            FillSkinColor(dc, TRect{0, 0, r.Width(), r.Height()});
        Message.Result = 0;
        return false;
    }
    case WM_CTLCOLORSTATIC:
        CallDefault(Message);
        Message.Result = reinterpret_cast<LRESULT>(SkinData != nullptr ? SkinData->ButtonFaceBrush.get() : nullptr);
        return false;
    default:
        return true;
    }
}

TSkinSizer::TSkinSizer(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinSizer::PaintControl(HDC DC, const TRect& R)
{
    FillSkinColor(DC, R);
}
