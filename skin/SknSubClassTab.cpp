// Tab skinners: tab and page controls, button-style page controls and the
// pages themselves, painted from the skin's Tabs object.
#include <algorithm>

#include "platform/controls/ComCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknImgUtil.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

namespace {

bool hasImage(const TBitmap* Bitmap)
{
    return Bitmap != nullptr && !Bitmap->Empty();
}

// The page area of a tab control in client coordinates.
TRect pageArea(TControl* Control)
{
    TRect d{0, 0, Control->Width(), Control->Height()};
    Control->Perform(TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&d));
    return d;
}

TRect itemRect(TControl* Control, int Index, bool& Ok)
{
    TRect r;
    Ok = Control->Perform(TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r)) != 0;
    return r;
}

// The tab strip from its item rectangles: everything above the page area
// (grown by 4, moved 1 toward the strip) for tabs on top.
TRect topStrip(TControl* Control, const TRect& R, TRect& Page)
{
    Page = pageArea(Control);
    InflateRect(Page, 4, 4);
    Page.Top += 1;
    return TRect{R.Left, R.Top, R.Right, Page.Top};
}

}  // namespace

// ---- TSkinTab --------------------------------------------------------------------

TSkinTab::TSkinTab(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinTab::~TSkinTab() = default;

void TSkinTab::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas)
{
    if (Hooked)
        return;
    TSkinControl::HookControl(AFormSkinner, ASkinData, ASetColor, ACanvas);
    if (Control == nullptr)
        return;
    WindowEnabled = Control->Enabled();
    const String position = GetEnumPropByName(Control, String::fromLatin1("TabPosition"));
    ShowClose = Control->Tag() == 7777 && dynamic_cast<TPageControl*>(Control) != nullptr &&
                (position.isEmpty() || position == QLatin1String("tpTop"));
    PrepareImages();
}

void TSkinTab::PrepareImages()
{
    const String position = GetEnumPropByName(Control, String::fromLatin1("TabPosition")).toLower();
    Position = position == QLatin1String("tpbottom") ? 1
               : position == QLatin1String("tpleft") ? 2
               : position == QLatin1String("tpright") ? 3
                                                       : 0;
    TabImage.reset();
    PaneImage.reset();
    const TDataSkinBorder* tabs = SkinData != nullptr ? SkinData->Tabs.get() : nullptr;
    if (tabs == nullptr)
        return;
    auto copyOf = [](const TBitmap* source) {
        auto copy = std::make_unique<TBitmap>();
        CopyBitmap(source, copy.get());
        copy->SetPixelFormat(pf24bit);
        return copy;
    };
    if (hasImage(tabs->Bitmap.get()))
        TabImage = copyOf(tabs->Bitmap.get());
    if (tabs->Style == 0 && hasImage(tabs->Bitmap2.get()))
        PaneImage = copyOf(tabs->Bitmap2.get());
    else if (tabs->Style == 1 && SkinData->TabPane != nullptr && hasImage(SkinData->TabPane->Bitmap.get()))
        PaneImage = copyOf(SkinData->TabPane->Bitmap.get());
    if (Position == 1) {
        if (TabImage)
            FlipBitmap(TabImage.get());
        if (PaneImage)
            FlipBitmap(PaneImage.get());
    } else if (Position == 2 && PaneImage) {
        RotateBitmapLeft(PaneImage.get());
    } else if (Position == 3 && PaneImage) {
        RotateBitmapRight(PaneImage.get());
    }
}

void TSkinTab::SkinChanged()
{
    TSkinControl::SkinChanged();
    PrepareImages();
}

bool TSkinTab::BeforeMessage(TMessage& Message)
{
    if (!TSkinControl::BeforeMessage(Message) || paintFilter(Message, false))
        return false;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        if (ShowClose && CloseButtonAt(Message)) {
            Message.Result = 0;
            return false;
        }
        return true;
    default:
        return true;
    }
}

bool TSkinTab::CloseButtonAt(const TMessage& Message)
{
    const TPoint p = PointFromLParam(Message.LParam);
    auto* pages = dynamic_cast<TPageControl*>(Control);
    TCustomForm* form = FormSkinner != nullptr ? FormSkinner->Form() : nullptr;
    bool hit = false;
    for (size_t i = CloseRects.size(); i-- > 0;) {
        if (!PtInRect(CloseRects[i], p))
            continue;
        hit = true;
        const LRESULT answer =
            form != nullptr ? form->Perform(SKIN_CLOSE_TAB, reinterpret_cast<WPARAM>(Handle), LPARAM(i)) : 0;
        if (answer == 0 && pages != nullptr && int(i) < pages->PageCount()) {
            TTabSheet* sheet = nullptr;
            for (int k = 0, visible = 0; k < pages->PageCount(); ++k)
                if (pages->Pages(k)->TabVisible() && visible++ == int(i))
                    sheet = pages->Pages(k);
            CloseRects.erase(CloseRects.begin() + std::ptrdiff_t(i));
            const std::unique_ptr<TTabSheet> doomed(sheet);  // the page is closed
        }
    }
    return hit;
}

void TSkinTab::PaintControl(HDC DC, const TRect& R)
{
    if (Control == nullptr || SkinData == nullptr || SkinData->Tabs == nullptr)
        return;
    const TDataSkinBorder* tabs = SkinData->Tabs.get();
    // The page area: grown by 4, moved 1 toward the strip.
    TRect d = pageArea(Control);
    InflateRect(d, 4, 4);
    switch (Position) {
    case 1: d.Bottom -= 1; break;
    case 2: d.Left += 1; break;
    case 3: d.Right -= 1; break;
    default: d.Top += 1; break;
    }
    const int count = int(Control->Perform(TCM_GETITEMCOUNT));
    const int focused = int(Control->Perform(TCM_GETCURFOCUS));
    CloseRects.assign(size_t(std::max(0, count)), TRect{0, 0, 0, 0});
    auto* images = GetObjectPropByName<TImageList>(Control, String::fromLatin1("Images"));

    if (TabImage && !TabImage->Empty()) {
        TRect s;
        switch (Position) {
        case 1: s = TRect{R.Left, d.Bottom, R.Right, R.Bottom}; break;
        case 2: s = TRect{R.Left, R.Top, d.Left, R.Bottom}; break;
        case 3: s = TRect{d.Right, R.Top, R.Right, R.Bottom}; break;
        default: s = TRect{R.Left, R.Top, R.Right, d.Top}; break;
        }
        const bool sideways = Position >= 2;
        const int w = sideways ? s.Height() : s.Width(), h = sideways ? s.Width() : s.Height();
        if (w > 0 && h > 0) {
            if (!WorkBitmap)
                WorkBitmap = std::make_unique<TBitmap>();
            WorkBitmap->SetPixelFormat(pf24bit);
            WorkBitmap->SetSize(w, h);
            TCanvas* work = WorkBitmap->Canvas();
            FillParentColor(work->Handle(), TRect{0, 0, w, h});
            work->Font()->Assign(Control->Font());
            for (int i = 0; i < count; ++i) {
                bool ok = false;
                const TRect item = itemRect(Control, i, ok);
                if (!ok)
                    continue;
                TRect t = item;
                switch (Position) {
                case 1: OffsetRect(t, 0, -(d.Bottom + 1)); break;
                case 2: t = TRect{w - item.Bottom, item.Left, w - item.Top, item.Right}; break;
                case 3: t = TRect{item.Top - 1, R.Right - item.Right, item.Bottom - 1, R.Right - item.Left}; break;
                default: OffsetRect(t, 0, 1); break;
                }
                const int frame = i == focused ? 2 : 1;
                DrawSkinImage(work->Handle(), t, TabImage.get(), tabs->Margins(), false, tabs->Tile != 0,
                              tabs->Trans == 1, tabs->Frame, frame);
                if (ShowClose) {
                    const TRect close{t.Right - 8, t.Top + 2, t.Right - 2, t.Top + 8};
                    work->Brush()->SetStyle(bsClear);
                    work->Rectangle(close);
                    work->MoveTo(close.Left, close.Top);
                    work->LineTo(close.Right, close.Bottom);
                    work->MoveTo(close.Right - 1, close.Top);
                    work->LineTo(close.Left - 1, close.Bottom);
                    CloseRects[size_t(i)] = close;
                }
                work->Font()->SetColor(frame == 1 ? tabs->NormalColour2 : tabs->MouseOverColour2);
                TCITEM item2;
                Control->Perform(TCM_GETITEM, WPARAM(i), reinterpret_cast<LPARAM>(&item2));
                DrawImageAndCaption(this, work, t, 1, item2.Text.left(80), item2.iImage, images);
            }
            if (Position == 2)
                RotateBitmapLeft(WorkBitmap.get());
            else if (Position == 3)
                RotateBitmapRight(WorkBitmap.get());
            BitBlt(DC, s.Left, s.Top, s.Width(), s.Height(), WorkBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
    }
    if (PaneImage && !PaneImage->Empty()) {
        const TRect margins = tabs->Style != 0 && SkinData->TabPane != nullptr ? SkinData->TabPane->Margins()
                                                                               : TRect{4, 5, 4, 4};
        try {
            DrawSkinImage(DC, d, PaneImage.get(), margins, false, false, false, 1, 1);
        } catch (...) {
            // The pane border is decoration: the pages still show.
        }
        if (Mode == 2)
            PaintChildControls(Control, DC);
    }
}

// ---- TSkinTabBtn -----------------------------------------------------------------

TSkinTabBtn::TSkinTabBtn(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinTabBtn::BeforeMessage(TMessage& Message)
{
    return TSkinControl::BeforeMessage(Message) && !paintFilter(Message, false);
}

void TSkinTabBtn::PaintControl(HDC DC, const TRect& R)
{
    const TDataSkinButton* buttons = SkinData != nullptr ? SkinData->Buttons.get() : nullptr;
    if (Control == nullptr || buttons == nullptr || !hasImage(buttons->Bitmap.get()))
        return;
    WindowEnabled = Control->Enabled();
    TRect page;
    const TRect s = topStrip(Control, R, page);
    if (s.Width() < 1 || s.Height() < 1)
        return;
    if (!WorkBitmap)
        WorkBitmap = std::make_unique<TBitmap>();
    WorkBitmap->SetPixelFormat(pf24bit);
    WorkBitmap->SetSize(s.Width(), s.Height());
    TCanvas* work = WorkBitmap->Canvas();
    FillSkinColor(work->Handle(), TRect{0, 0, s.Width(), s.Height()});
    work->Font()->Assign(Control->Font());
    work->Font()->SetColor(clBlack);
    const int count = int(Control->Perform(TCM_GETITEMCOUNT));
    const int focused = int(Control->Perform(TCM_GETCURFOCUS));
    auto* images = GetObjectPropByName<TImageList>(Control, String::fromLatin1("Images"));
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        TRect t = itemRect(Control, i, ok);
        if (!ok)
            continue;
        OffsetRect(t, 0, 1);
        const int frame = i == focused ? 2 : 1;
        DrawSkinImage(work->Handle(), t, buttons->Bitmap.get(), buttons->Margins(), false, buttons->Tile != 0,
                      buttons->Trans == 1, 5, frame);
        if (frame == 1 && buttons->NormalColour2Given)
            work->Font()->SetColor(buttons->NormalColour2);
        else if (frame == 2 && buttons->PressedColour2Given)
            work->Font()->SetColor(buttons->PressedColour2);
        TCITEM item;
        Control->Perform(TCM_GETITEM, WPARAM(i), reinterpret_cast<LPARAM>(&item));
        DrawImageAndCaption(this, work, t, 1, item.Text.left(80), item.iImage, images);
    }
    BitBlt(DC, s.Left, s.Top, s.Width(), s.Height(), work->Handle(), 0, 0, SRCCOPY);
}

// ---- TSkinTabSheet ---------------------------------------------------------------

TSkinTabSheet::TSkinTabSheet(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinTabSheet::BeforeMessage(TMessage& Message)
{
    if (!TSkinControl::BeforeMessage(Message))
        return false;
    if (Mode != 0)
        return true;
    switch (Message.Msg) {
    case WM_PAINT:
        HandlePaint(Message);
        return false;
    case WM_ERASEBKGND:
        if (auto dc = reinterpret_cast<HDC>(Message.WParam); dc != nullptr && Control != nullptr)
            FillSkinColor(dc, Control->ClientRect());
        Message.Result = 1;
        return false;
    default:
        return true;
    }
}

void TSkinTabSheet::PaintControl(HDC DC, const TRect& R)
{
    FillSkinColor(DC, R);
    PaintChildControls(Control, DC);
}
