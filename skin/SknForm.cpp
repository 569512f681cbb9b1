#include "skin/SknForm.h"

#include <QCursor>
#include <QRegion>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Bitmap.h"
#include "skin/SknData.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

namespace {

struct Frame {
    int x = 0;
    int y = 0;
    int fw = 0;
    int fh = 0;
};

Frame frameOf(const TBitmap* bitmap, bool vertical, int count, int index)
{
    count = std::max(1, count);
    index = std::clamp(index, 1, count);
    Frame f;
    if (vertical) {
        f.fw = bitmap->Width();
        f.fh = bitmap->Height() / count;
        f.y = (index - 1) * f.fh;
    } else {
        f.fw = bitmap->Width() / count;
        f.fh = bitmap->Height();
        f.x = (index - 1) * f.fw;
    }
    return f;
}

bool drawable(const TRect& r, const TBitmap* bitmap)
{
    return r.Right >= r.Left && r.Bottom >= r.Top && bitmap != nullptr && !bitmap->Empty();
}

std::unique_ptr<TBitmap> newBitmap(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(width, height);
    return bitmap;
}

// A stretching copy of a part of the source; parts with no pixels on
// either side are skipped.
void copyPart(TBitmap* dest, const TRect& to, TBitmap* source, const TRect& from)
{
    if (to.Width() <= 0 || to.Height() <= 0 || from.Width() <= 0 || from.Height() <= 0)
        return;
    dest->Canvas()->CopyRect(to, source->Canvas(), from);
}

// Outputs a composed image at R: through the key-colour mask or as a copy.
void output(HDC dc, const TRect& r, TBitmap* image, bool transparent)
{
    if (image == nullptr || image->Empty())
        return;
    if (transparent)
        DrawTransparentBitmap(dc, r, image, SkinKeyColor);
    else
        BitBlt(dc, r.Left, r.Top, image->Width(), image->Height(), image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

std::unique_ptr<TBitmap>& workBitmap()
{
    static std::unique_ptr<TBitmap> bitmap;
    return bitmap;
}

}  // namespace

std::unique_ptr<TBitmap> BuildSkinImage(const TRect& R, TBitmap* Source, const TRect& Margins, bool Vertical,
                                        bool TileCentre, int FrameCount, int FrameIndex)
{
    auto result = std::make_unique<TBitmap>();
    result->SetPixelFormat(pf24bit);
    if (!drawable(R, Source))
        return result;
    const int W = R.Width();
    const int H = R.Height();
    result->SetSize(W, H);
    if (result->Empty())
        return result;
    const Frame f = frameOf(Source, Vertical, FrameCount, FrameIndex);
    int L = std::max(0, Margins.Left), T = std::max(0, Margins.Top);
    int Rm = std::max(0, Margins.Right), B = std::max(0, Margins.Bottom);
    if (L + Rm > W)
        L = Rm = 0;
    if (T + B > H)
        T = B = 0;
    const int fw = f.fw, fh = f.fh;
    auto src = [&f](int l, int t, int r, int b) { return TRect{f.x + l, f.y + t, f.x + r, f.y + b}; };
    TBitmap* out = result.get();

    if (L * T > 0)
        copyPart(out, {0, 0, L, T}, Source, src(0, 0, L, T));
    if (L * B > 0)
        copyPart(out, {0, H - B, L, H}, Source, src(0, fh - B, L, fh));
    if (Rm * T > 0)
        copyPart(out, {W - Rm, 0, W, T}, Source, src(fw - Rm, 0, fw, T));
    if (L > 0)
        copyPart(out, {0, T, L, H - B}, Source, src(0, T, L, fh - B));
    if (T > 0)
        copyPart(out, {L, 0, W - Rm, T}, Source, src(L, 0, fw - Rm, T));
    const TRect centre{L, T, W - Rm, H - B};
    if (TileCentre)
        TileSkinImage(out->Canvas(), centre, Source, src(L, T, fw - Rm, fh - B));
    else
        copyPart(out, centre, Source, src(L, T, fw - Rm, fh - B));
    // The right and bottom pieces go last: they cover centre tiles that ran past.
    if (Rm * B > 0)
        copyPart(out, {W - Rm, H - B, W, H}, Source, src(fw - Rm, fh - B, fw, fh));
    if (Rm > 0)
        copyPart(out, {W - Rm, T, W, H - B}, Source, src(fw - Rm, T, fw, fh - B));
    if (B > 0)
        copyPart(out, {L, H - B, W - Rm, H}, Source, src(L, fh - B, fw - Rm, fh));
    return result;
}

void DrawSkinImage(HDC DC, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical, bool TileCentre,
                   bool Transparent, int FrameCount, int FrameIndex)
{
    if (!drawable(R, Bitmap))
        return;
    const std::unique_ptr<TBitmap> image =
        BuildSkinImage(R, Bitmap, Margins, Vertical, TileCentre, FrameCount, FrameIndex);
    output(DC, R, image.get(), Transparent);
}

void DrawSkinBar(TCanvas* Canvas, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical,
                 bool Transparent, int FrameCount, int FrameIndex)
{
    if (Canvas == nullptr || !drawable(R, Bitmap) || R.Width() == 0 || R.Height() == 0)
        return;
    const int W = R.Width();
    const int H = R.Height();
    const std::unique_ptr<TBitmap> bar = newBitmap(W, H);
    const Frame f = frameOf(Bitmap, Vertical, FrameCount, FrameIndex);
    const int L = std::max(0, Margins.Left);
    const int Rm = std::max(0, Margins.Right);
    copyPart(bar.get(), {0, 0, L, H}, Bitmap, {f.x, f.y, f.x + L, f.y + f.fh});
    const int m = f.fw - L - Rm;
    if (m > 0)
        for (int x = L; x < W - Rm; x += m)
            copyPart(bar.get(), {x, 0, x + m, H}, Bitmap, {f.x + L, f.y, f.x + L + m, f.y + f.fh});
    copyPart(bar.get(), {W - Rm, 0, W, H}, Bitmap, {f.x + f.fw - Rm, f.y, f.x + f.fw, f.y + f.fh});
    if (Transparent) {
        bar->SetTransparentColor(SkinKeyColor);
        bar->SetTransparent(true);
        Canvas->Draw(R.Left, R.Top, bar.get());
    } else {
        BitBlt(Canvas->Handle(), R.Left, R.Top, W, H, bar->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
}

void DrawSkinImageH(HDC DC, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical, int FrameCount,
                    int FrameIndex)
{
    if (!drawable(R, Bitmap))
        return;
    const Frame f = frameOf(Bitmap, Vertical, FrameCount, FrameIndex);
    const int W = R.Width();
    const int H = R.Height();
    HDC src = Bitmap->Canvas()->Handle();
    if (f.fw > W) {
        StretchBlt(DC, R.Left, R.Top, W, H, src, f.x, f.y, f.fw, f.fh, SRCCOPY);
        return;
    }
    const int L = std::max(0, Margins.Left);
    const int Rm = std::max(0, Margins.Right);
    auto piece = [&](int x, int width, int sx, int swidth) {
        if (width > 0 && swidth > 0)
            StretchBlt(DC, x, R.Top, width, H, src, f.x + sx, f.y, swidth, f.fh, SRCCOPY);
    };
    piece(R.Left, L, 0, L);
    piece(R.Left + L, W - L - Rm, L, f.fw - L - Rm);
    piece(R.Right - Rm, Rm, f.fw - Rm, Rm);
}

void DrawSkinFrame(HDC DC, const TRect& R, TBitmap* Bitmap, int FrameCount, int FrameIndex, bool Transparent)
{
    if (!drawable(R, Bitmap))
        return;
    const Frame f = frameOf(Bitmap, false, FrameCount, FrameIndex);
    const std::unique_ptr<TBitmap> image = newBitmap(R.Width(), R.Height());
    copyPart(image.get(), {0, 0, R.Width(), R.Height()}, Bitmap, {f.x, f.y, f.x + f.fw, f.y + f.fh});
    output(DC, R, image.get(), Transparent);
}

void DrawSkinFrameCentred(HDC DC, const TRect& R, TBitmap* Bitmap, int FrameCount, int FrameIndex,
                          bool Transparent)
{
    if (!drawable(R, Bitmap))
        return;
    const Frame f = frameOf(Bitmap, false, FrameCount, FrameIndex);
    const std::unique_ptr<TBitmap> image = newBitmap(f.fw, f.fh);
    copyPart(image.get(), {0, 0, f.fw, f.fh}, Bitmap, {f.x, f.y, f.x + f.fw, f.y + f.fh});
    const int left = R.Left + (R.Width() - f.fw) / 2;
    const int top = R.Top + (R.Height() - f.fh) / 2;
    output(DC, {left, top, left + f.fw, top + f.fh}, image.get(), Transparent);
}

void TileSkinImage(TCanvas* Dest, const TRect& DestRect, TBitmap* Source, const TRect& SourceRect)
{
    const int sw = SourceRect.Width();
    const int sh = SourceRect.Height();
    if (Dest == nullptr || Source == nullptr || sw <= 0 || sh <= 0)
        return;
    const std::unique_ptr<TBitmap> tile = newBitmap(sw, sh);
    copyPart(tile.get(), {0, 0, sw, sh}, Source, SourceRect);
    for (int x = DestRect.Left; x < DestRect.Right; x += sw)
        for (int y = DestRect.Top; y < DestRect.Bottom; y += sh)
            Dest->Draw(x, y, tile.get());
}

void DrawTransparentBitmap(HDC DC, const TRect& R, TBitmap* Bitmap, TColor KeyColor)
{
    if (!drawable(R, Bitmap))
        return;
    // White where the key colour is: there the destination stays.
    const QImage pixels = Bitmap->Image().convertToFormat(QImage::Format_RGB32);
    const TColor key = ColorToRGB(KeyColor);
    const QRgb keyRgb = qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
    QImage mask(pixels.size(), QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            mask.setPixel(x, y, (row[x] & 0xFFFFFF) == (keyRgb & 0xFFFFFF) ? 1 : 0);
    }
    MaskBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Bitmap->Canvas()->Handle(), 0, 0, mask, 0, 0,
            MAKEROP4(0x00AA0029, SRCCOPY));
}

TRegion CreateRegionFromBitmap(TBitmap* Bitmap, int XOffset, int YOffset, int RedTolerance, int GreenTolerance,
                               int BlueTolerance, TColor KeyColor)
{
    TRegion result;
    if (Bitmap == nullptr || Bitmap->Empty())
        return result;
    const QImage pixels = Bitmap->Image().convertToFormat(QImage::Format_RGB32);
    const int keyR = GetRValue(KeyColor), keyG = GetGValue(KeyColor), keyB = GetBValue(KeyColor);
    const int highR = std::min(255, keyR + RedTolerance);
    const int highG = std::min(255, keyG + GreenTolerance);
    const int highB = std::min(255, keyB + BlueTolerance);
    auto isKey = [&](QRgb p) {
        return qRed(p) >= keyR && qRed(p) <= highR && qGreen(p) >= keyG && qGreen(p) <= highG &&
               qBlue(p) >= keyB && qBlue(p) <= highB;
    };
    // Rectangles are turned into a region every 2000, so no single request
    // grows without bound.
    constexpr size_t flushAt = 2000;
    std::vector<QRect> rects;
    rects.reserve(500);
    auto flush = [&]() {
        if (rects.empty())
            return;
        QRegion part;
        part.setRects(rects.data(), int(rects.size()));
        result.Region() = result.Region().united(part);
        rects.clear();
    };
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width()) {
            while (x < pixels.width() && isKey(row[x]))
                ++x;
            const int x0 = x;
            while (x < pixels.width() && !isKey(row[x]))
                ++x;
            if (x > x0) {
                rects.emplace_back(x0 + XOffset, y + YOffset, x - x0, 1);
                if (rects.size() == flushAt)
                    flush();
            }
        }
    }
    flush();
    return result;
}

void DrawParentBackground(TControl* Control, HDC DC)
{
    if (Control == nullptr || DC == nullptr || Control->Parent() == nullptr)
        return;
    TWinControl* parent = Control->Parent();
    const int saved = SaveDC(DC);
    struct Restore {
        HDC dc;
        int saved;
        ~Restore() { RestoreDC(dc, saved); }
    } restore{DC, saved};
    TPoint origin;
    GetViewportOrgEx(DC, origin);
    SetViewportOrgEx(DC, origin.X - Control->Left(), origin.Y - Control->Top());
    const TRect client = Control->ClientRect();
    IntersectClipRect(DC, Control->Left(), Control->Top(), Control->Left() + client.Width(),
                      Control->Top() + client.Height());
    try {
        parent->Perform(WM_ERASEBKGND, WPARAM(DC), 0);
        parent->Perform(WM_PAINT, WPARAM(DC), 0);
    } catch (...) {
        if (!Control->ComponentState().Contains(csDesigning))
            throw;
    }
}

TBitmap* SkinWorkBitmap()
{
    return workBitmap().get();
}

void SknFormInitialization()
{
    // Stretching on bitmaps is always nearest-neighbour (colour on colour).
    workBitmap() = std::make_unique<TBitmap>();
}

void SknFormFinalization()
{
    workBitmap().reset();
}

// ---- the form skinner -------------------------------------------------------

TSknForm::TSknForm(TComponent* AOwner) : TComponent(AOwner) {}

TSknForm::~TSknForm()
{
    // No menu keeps handlers of a skinner that is gone.
    UnskinMenus();
    Detach();
    if (TSkinManage* manager = SkinManager())
        manager->RemoveSkinner(this);
}

void TSknForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    std::erase_if(FOwnerDrawnMenus, [AComponent](const TMenu* m) { return m == AComponent; });
    std::erase_if(FOwnerDrawnItems, [AComponent](const TMenuItem* i) { return i == AComponent; });
    std::erase_if(FCustomDrawnToolBars, [AComponent](const TToolBar* b) { return b == AComponent; });
}

void TSknForm::AttachForm(TCustomForm* Form, TSkinData* SkinData)
{
    FForm = Form;
    FSkinData = SkinData;
    FOldWndProc = Form->WindowProc;
    Form->WindowProc = TWndMethod(this, &TSknForm::FormWindowProc);
    FAttached = true;
    Init();
    FOldColor = Form->Color();
    if (SkinData->SkinLoaded())
        Form->SetColor(SkinData->Colors[scButtonFace].Color);
}

void TSknForm::Init()
{
    if (FForm == nullptr || FSkinData == nullptr)
        return;
    FState = 0;
    ReadStyles();
    // The form's own bar gives way to one drawn in the skinned frame.
    if (FFrameSkinning && FForm->Menu() != nullptr && FForm->Menu()->BarAttached()) {
        if (!FMenuBar)
            FMenuBar = std::make_unique<TSknMenu>(this);
        FMenuBar->Build();
    }
    if (FFrameSkinning)
        ComputeFrameMetrics();
    else
        FState = 1;
}

void TSknForm::finish()
{
    BuildWindowIcon();
    SkinChildControls();
    if (FState == 0 && FFrameSkinning && FBorderKind != bkNoCaption && FForm != nullptr) {
        // The frame takes its place around the unchanged client area.
        FState = 5;
        FForm->SetCustomFrame(true);
        if (FWindowState != wkMinimized)
            UpdateWindowSize(false);
        FState = 1;
        if (FWindowState == wkMaximized)
            FForm->FrameChanged();
        else
            UpdateWindowRegion();
    }
    SkinMenus();
    FireAfterSkinForm();
    FState = 1;
    startHoverTimer();
}

void TSknForm::FireAfterSkinForm()
{
    if (FForm == nullptr)
        return;
    FForm->Perform(SKIN_AFTER_SKIN, 0, 16802);
    if (FSkinData != nullptr && FSkinData->OnAfterSkinForm)
        FSkinData->OnAfterSkinForm(FSkinData, reinterpret_cast<intptr_t>(FForm->Handle()), FForm->Name());
}

void TSknForm::FormWindowProc(TMessage& Message)
{
    if (!FFrameSkinning || FForm == nullptr) {
        SkinWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_SETTEXT:
        SkinWndProc(Message);
        if (!FForm->Showing())
            return;
        // The caption is part of the frame.
        if (FWindowState == wkMinimized)
            InvalidateFrame();
        else if (FState == 1 || FState == 3)
            FForm->FrameChanged();
        return;
    case SKIN_APPLY_COLOURS:
        ApplySkinColours();
        return;
    case SKIN_FORM_4B:
        // The frame painted into the device context in WParam.
        if (Message.LParam == 16802 && Message.WParam != 0) {
            TCanvas canvas;
            canvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
            PaintNC(&canvas, FForm->Width(), FForm->Height());
            canvas.SetHandle(nullptr);
        }
        Message.Result = 16802;
        return;
    case SKIN_FORM_4D:
        Message.Result = Message.LParam == 16802 ? 16802 : 1;
        return;
    case SKIN_MENU_CLICK: case CM_DIALOGCHAR: case CM_MENUCHANGED:
        menuMessage(Message);
        return;
    default:
        SkinWndProc(Message);
        return;
    }
}

void TSknForm::SkinWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case SKIN_FINISH:
        finish();
        return;
    case SKIN_QUERY_SKINNED:
        Message.Result = 1;
        if (FForm != nullptr)
            PostMessage(FForm->Handle(), SKIN_AFTER_SKIN, 0, 16802);
        return;
    case SKIN_REPLACE_SCROLLBAR:
        ReplaceScrollbarSkinner(reinterpret_cast<HWND>(Message.WParam));
        return;
    case WM_NCPAINT:
        if (FState == 0) {
            Message.Result = 0;  // nothing drawn before skinning finished
            return;
        }
        break;
    case WM_NCACTIVATE:
        if (FState == 0) {
            Message.Result = 0;
            return;
        }
        break;
    default: break;
    }
    if (!FFrameSkinning) {
        FOldWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_SIZE:
        FOldWndProc(Message);
        // The window's state as the form knows it now.
        FWindowState = FForm->WindowState() == wsMaximized   ? wkMaximized
                       : FForm->WindowState() == wsMinimized ? wkMinimized
                                                             : wkNormal;
        if (FWindowState != wkMinimized && (FState == 1 || FState == 3))
            UpdateWindowRegion();
        return;
    case WM_COMMAND:
        // The commands of the skinned system menu.
        switch (Message.WParam & 0xFFF0) {
        case SC_SIZE: case SC_MOVE: case SC_MINIMIZE: case SC_MAXIMIZE: case SC_NEXTWINDOW: case SC_PREVWINDOW:
        case SC_CLOSE: case SC_RESTORE:
            PostMessage(FForm->Handle(), WM_SYSCOMMAND, Message.WParam, Message.LParam);
            return;
        default: break;
        }
        FOldWndProc(Message);
        return;
    case WM_ACTIVATE:
        FActive = LoWord(Message.WParam) != 0;
        FOldWndProc(Message);
        return;
    case WM_SETICON:
        FOldWndProc(Message);
        BuildWindowIcon();
        return;
    case WM_SYSCOMMAND:
        if (menuKey(Message))
            return;
        switch (Message.WParam & 0xFFF0) {
        case SC_MINIMIZE: FWindowState = wkMinimized; break;
        case SC_MAXIMIZE: FWindowState = wkMaximized; break;
        case SC_RESTORE: FWindowState = wkNormal; break;
        default: break;
        }
        FOldWndProc(Message);
        return;
    default: break;
    }
    if (FState != 0 && frameMessage(Message))
        return;
    FOldWndProc(Message);
}

bool TSknForm::frameMessage(TMessage& Message)
{
    const TPoint screen = PointFromLParam(Message.LParam);
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        FOldWndProc(Message);
        if (Message.WParam == 0)
            return true;
        auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
        if (FBorderKind == bkNoCaption)
            params->rgrc[1] = params->rgrc[0];
        else
            params->rgrc[0] = params->rgrc[1] = ClientInWindow(params->rgrc[0]);
        Message.Result = WVR_VALIDRECTS;
        return true;
    }
    case WM_NCHITTEST:
        FOldWndProc(Message);
        Message.Result = HitTest(ScreenToWindow(screen), Message.Result);
        return true;
    case WM_NCPAINT:
        if (FSkinData->AllowNCPaint) {
            if (FBorderKind == bkNoCaption) {
                FOldWndProc(Message);
                return true;
            }
            TCanvas canvas;
            canvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
            if (canvas.HandleAllocated())
                PaintNC(&canvas, FForm->Width(), FForm->Height());
            canvas.SetHandle(nullptr);
        }
        Message.Result = 0;
        return true;
    case WM_NCACTIVATE:
        FActive = Message.WParam != 0;
        startHoverTimer();
        InvalidateFrame();
        Message.Result = 1;
        return true;
    case WM_NCMOUSEMOVE:
        if (!FActive)
            return false;
        if (TNCObject* object = CaptionButtonAt(ScreenToWindow(screen))) {
            object->MouseMove();
            return true;
        }
        if (FMouseObject != nullptr)
            FMouseObject->MouseLeave();
        return false;
    case WM_NCLBUTTONDOWN:
        FSkinData->HideCaptionHint();
        if (TNCObject* object = CaptionButtonAt(ScreenToWindow(screen))) {
            if (!FActive && FForm->HandleAllocated())
                FForm->Widget()->activateWindow();
            object->MouseDown();
            return true;
        }
        // A maximised window is not dragged by its caption.
        if (FWindowState == wkMaximized && FActive && Message.WParam == WPARAM(HTCAPTION))
            Message.WParam = HTMENU;
        return false;
    case WM_NCLBUTTONUP: {
        FSkinData->HideCaptionHint();
        const TPoint p = ScreenToWindow(screen);
        TNCObject* object = CaptionButtonAt(p);
        if (object == nullptr)
            return false;
        if (object == FMouseObject) {
            object->MouseUp();
            ExecuteCaptionButton(p.X, p.Y);
        }
        return true;
    }
    case WM_NCLBUTTONDBLCLK: {
        auto* button = dynamic_cast<TWinSysButton*>(CaptionButtonAt(ScreenToWindow(screen)));
        if (button != nullptr && (button->SkinButton->Action == 3 || button->SkinButton->Action == 11)) {
            stopHoverTimer();
            PostMessage(FForm->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        }
        if (FWindowState != wkNormal) {
            FWindowState = wkNormal;
            PostMessage(FForm->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
            return true;
        }
        if ((FCaptionButtonFlags & cbMaximize) != 0) {
            FWindowState = wkMaximized;
            PostMessage(FForm->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            return true;
        }
        return false;
    }
    case WM_NCRBUTTONDOWN:
        FSkinData->HideCaptionHint();
        if (Message.WParam != WPARAM(HTCAPTION))
            return false;
        ShowSystemMenu(screen);
        return true;
    default:
        return false;
    }
}

void TSknForm::startHoverTimer()
{
    if (!FHoverTimer) {
        FHoverTimer = std::make_unique<QTimer>();
        QObject::connect(FHoverTimer.get(), &QTimer::timeout, [this] {
            const QPoint p = QCursor::pos();
            HoverTick(TPoint{p.x(), p.y()});
        });
    }
    if (FActive && FState == 1)
        FHoverTimer->start(HoverInterval);
    else
        FHoverTimer->stop();
}

void TSknForm::stopHoverTimer()
{
    if (FHoverTimer)
        FHoverTimer->stop();
}

void TSknForm::HoverTick(TPoint CursorPos)
{
    if (FSkinData == nullptr || FForm == nullptr)
        return;
    const TPoint p = ScreenToWindow(CursorPos);
    if (FMouseObject != nullptr && !FMouseObject->Rect.Contains(p)) {
        FMouseObject->MouseLeave();
        FMouseObject = nullptr;
        FSkinData->HideCaptionHint();
    }
    auto* button = dynamic_cast<TWinSysButton*>(FMouseObject);
    if (button == nullptr)
        return;
    FSkinData->HintTime += HoverInterval;
    const int pause = Application != nullptr ? 2 * Application->HintPause() : 1000;
    const int hide = Application != nullptr ? Application->HintHidePause() : 2500;
    if (FSkinData->HintTime >= pause && FSkinData->HintTime < pause + hide) {
        const String text = CaptionButtonHint(button->SkinButton->Action);
        if (!text.isEmpty()) {
            const int x = button->Rect.Left + FForm->ClientToScreen(TPoint{0, 0}).X - FLeftWidth;
            FSkinData->ShowCaptionHint(TRect{x, CursorPos.Y + 24, x, CursorPos.Y + 24}, text);
        }
    } else if (FSkinData->HintTime >= pause + hide) {
        FSkinData->HideCaptionHint();
    }
}

void TSknForm::ApplySkinColours()
{
    if (FForm == nullptr || FSkinData == nullptr || !FSkinData->SkinLoaded())
        return;
    const TColor face = FSkinData->Colors[scButtonFace].Color;
    FForm->SetColor(face);
    // Forms the form owns take the face colour too.
    for (int i = 0; i < FForm->ComponentCount(); ++i)
        if (auto* owned = dynamic_cast<TCustomForm*>(FForm->Components(i)))
            owned->SetColor(face);
    const int state = FState;
    FState = 3;
    for (TSkinControl* skinner : std::vector<TSkinControl*>(FControlSkinners))
        skinner->SkinChanged();
    SkinMenus();
    if (FFrameSkinning) {
        ComputeFrameMetrics();
        if (state != 0 && FForm->CustomFrame()) {
            UpdateWindowSize(true);
            UpdateWindowRegion();
        }
        InvalidateFrame();
    }
    FireAfterSkinForm();
    FState = state == 0 ? 0 : 1;
}

void TSknForm::UpdateWindowSize(bool KeepClient)
{
    if (FForm == nullptr)
        return;
    if (FWindowState == wkMaximized) {
        FForm->FrameChanged();
        return;
    }
    const int clientWidth = FForm->ClientWidth();
    // The skinned bar takes the place of the form's own.
    const int clientHeight = FForm->ClientHeight() - (KeepClient ? 0 : FMenuHeight);
    // The frame's new widths first, then the window around the client.
    FForm->FrameChanged();
    int width = clientWidth + FLeftWidth + FRightWidth;
    const int height = clientHeight + FTopHeight + FBottomHeight + FMenuHeight;
    if (FDialogBox && !KeepClient && FSkinData != nullptr && FSkinData->Title) {
        TBitmap measure;
        measure.SetSize(1, 1);
        if (FSkinData->CaptionFont() != nullptr)
            measure.Canvas()->Font()->Assign(FSkinData->CaptionFont());
        const String text = String::fromLatin1("  ") + FForm->Caption() + u' ';
        const TDataSkinTitle* title = FSkinData->Title.get();
        const int need = title->LeftWidth + measure.Canvas()->TextWidth(text) + title->RightWidth;
        if (need > width) {
            const int grow = need - width;
            width = need;
            for (int i = 0; i < FForm->ControlCount(); ++i) {
                TControl* c = FForm->Controls(i);
                c->SetLeft(c->Left() + grow / 2);
            }
        }
    }
    FForm->SetBounds(FForm->Left(), FForm->Top(), width, height);
    FForm->FrameChanged();
}

void TSknForm::Unskin(bool Repaint)
{
    if (FState == 6)
        return;  // done with already; its skin may be gone
    stopHoverTimer();
    FSystemMenu.reset();
    if (FSkinData != nullptr)
        FSkinData->HideCaptionHint();
    if (FState != 4)
        UnskinMenus();
    FreeSkinners(true);
    if (FState != 4 && FForm != nullptr)
        FForm->SetColor(FOldColor);
    const bool restoreFrame = FState != 4 && FForm != nullptr && FForm->CustomFrame()
                              && !FForm->ComponentState().Contains(csDestroying);
    Detach();
    // The window system's frame comes back around the same client area.
    if (restoreFrame) {
        RemoveWindowRegion();
        FForm->SetCustomFrame(false);
    }
    FState = 6;
    if (Repaint && FForm != nullptr)
        FForm->Invalidate();
}

void TSknForm::Detach()
{
    FreeSkinners(false);
    stopHoverTimer();
    if (FTrackedMenu)
        FTrackedMenu->close();
    stopMenuTracking();
    FSystemMenu.reset();
    FMouseObject = nullptr;
    // The form's own bar comes back, unless the form is going away.
    if (FMenuBar) {
        TMainMenu* menu = FMenuBar->Menu();
        const bool alive = FForm != nullptr && !FForm->ComponentState().Contains(csDestroying);
        FMenuBar.reset();
        if (alive && menu != nullptr && FState != 4)
            menu->ReattachBar();
    }
    if (!FAttached)
        return;
    FAttached = false;
    // A form that is going away takes its window procedure with it.
    if (FForm != nullptr && !FForm->ComponentState().Contains(csDestroying))
        FForm->WindowProc = FOldWndProc;
}
