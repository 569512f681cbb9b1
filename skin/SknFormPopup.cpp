// The skinned menus' windows and items: the popup window skinner, the
// owner-draw handlers of menu items, the drawing of an item's content and
// the tool-bar buttons' skin.
#include <algorithm>

#include "platform/controls/ComCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

namespace {

bool hasImage(const TDataSkinObject* object)
{
    return object != nullptr && !object->Bitmap->Empty();
}

TColor skinColor(const TSknForm* skinner, int slot)
{
    return skinner->SkinData()->Colors[size_t(slot)].Color;
}

int menuItemLeftWidth(const TSknForm* skinner)
{
    const TSkinData* data = skinner != nullptr ? skinner->SkinData() : nullptr;
    return data != nullptr && data->MenuItem ? data->MenuItem->LeftWidth : 0;
}

}  // namespace

// ---- the popup window skinner ------------------------------------------------

TSknPopMenu::TSknPopMenu() = default;

TSknPopMenu::~TSknPopMenu()
{
    Unhook();
}

void TSknPopMenu::Hook(TMenuWindow* Window, TSkinData* SkinData)
{
    if (FHooked || Window == nullptr)
        return;
    FWindow = Window;
    FSkinData = SkinData;
    FOldWndProc = Window->WindowProc;
    Window->WindowProc = TWndMethod(this, &TSknPopMenu::WndProc);
    FHooked = true;
}

void TSknPopMenu::Unhook()
{
    if (!FHooked)
        return;
    FHooked = false;
    if (FWindow != nullptr)
        FWindow->WindowProc = FOldWndProc;
    FBackground.reset();
}

void TSknPopMenu::CallOriginal(TMessage& Message)
{
    if (FOldWndProc)
        FOldWndProc(Message);
}

const QMenu* TSknPopMenu::BoundMenu() const
{
    return FWindow != nullptr ? FWindow->Menu() : nullptr;
}

void TSknPopMenu::WndProc(TMessage& Message)
{
    if (Message.Msg == SKIN_QUERY_SKINNED) {
        Message.Result = 1;
        return;
    }
    const TSkinManage* manager = SkinManager();
    if (manager == nullptr || !manager->On()) {
        CallOriginal(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_DESTROY:
        Unhook();
        CallOriginal(Message);
        return;
    case WM_ERASEBKGND:
        // The skin's background stays unless the skin leaves menus their own.
        if (!FSkinData->Options().Contains(xoMenuBG))
            CallOriginal(Message);
        Message.Result = 1;
        return;
    case WM_NCPAINT: PaintFrame(Message); return;
    case WM_PRINT: PrintWindow(Message); return;
    default: CallOriginal(Message); return;
    }
}

bool TSknPopMenu::composeBackground()
{
    const TDataSkinObject* object = FSkinData->MenuBackground.get();
    const QMenu* menu = BoundMenu();
    if (!FSkinData->SkinLoaded() || !hasImage(object) || menu == nullptr)
        return false;
    const TRect window{0, 0, menu->width(), menu->height()};
    if (window.Width() <= 0 || window.Height() <= 0)
        return false;
    FBackground = BuildSkinImage(window, object->Bitmap.get(), object->Margins(), false, object->Tile == 1, 1, 1);
    return true;
}

void TSknPopMenu::PaintFrame(TMessage& Message)
{
    auto* dc = reinterpret_cast<HDC>(Message.LParam);
    if (Message.WParam != 1 || dc == nullptr || !composeBackground()) {
        CallOriginal(Message);
        return;
    }
    BitBlt(dc, 0, 0, FBackground->Width(), FBackground->Height(), FBackground->Canvas()->Handle(), 0, 0, SRCCOPY);
    Message.Result = 0;
}

void TSknPopMenu::PrintWindow(TMessage& Message)
{
    auto* dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc == nullptr || !composeBackground()) {
        CallOriginal(Message);
        return;
    }
    BitBlt(dc, 0, 0, FBackground->Width(), FBackground->Height(), FBackground->Canvas()->Handle(), 0, 0, SRCCOPY);
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    const int inset = TMenuWindow::PanelWidth;
    IntersectClipRect(dc, inset, inset, FBackground->Width() - inset, FBackground->Height() - inset);
    CallOriginal(Message);
    RestoreDC(dc, saved);
}

// ---- owner-drawn items -------------------------------------------------------

void TSknForm::MeasureMainMenuItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item == nullptr)
        return;
    // The item's own measure, without this handler.
    const TMenuMeasureItemEvent mine = item->OnMeasureItem;
    item->OnMeasureItem = nullptr;
    item->MeasureItem(ACanvas, Width, Height);
    item->OnMeasureItem = mine;
    Width += menuItemLeftWidth(this) + 10;
    const TMenu* menu = item->GetParentMenu();
    if (menu == nullptr || menu->Images() == nullptr)
        Width += 25;
}

void TSknForm::MeasurePopupMenuItem(TObject* Sender, TCanvas*, int& Width, int&)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item == nullptr)
        return;
    Width += 12;
    const TMenu* menu = item->GetParentMenu();
    if (menu == nullptr || menu->Images() == nullptr)
        Width += 23;
    Width += menuItemLeftWidth(this);
}

void TSknForm::DrawMenuItemHandler(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item == nullptr || ACanvas == nullptr || FSkinData == nullptr || ARect.Width() <= 0 || ARect.Height() <= 0)
        return;
    const int w = ARect.Width(), h = ARect.Height();
    const TRect local{0, 0, w, h};
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(w, h);
    TCanvas* c = bitmap.Canvas();
    c->Font()->Assign(ACanvas->Font());
    const TDataSkinObject* skinItem = FSkinData->MenuItem.get();
    if (!hasImage(skinItem)) {
        c->Brush()->SetColor(skinColor(this, Selected ? scHilight : scMenu));
        c->FillRect(local);
        DrawMenuItem(this, item, c, Selected, local);
        ACanvas->Draw(ARect.Left, ARect.Top, &bitmap);
        return;
    }
    // The background from the window's composed image, where the item lies
    // on it; the Menu colour wherever it does not.
    c->Brush()->SetColor(skinColor(this, scMenu));
    c->FillRect(local);
    const TMenuItem* parent = item->Parent();
    const TMenuWindow* window = parent != nullptr ? parent->MenuWindow() : nullptr;
    const TSkinManage* manager = SkinManager();
    if (TBitmap* background = manager != nullptr && window != nullptr
                                  ? manager->FindPopupBackground(window->Menu()) : nullptr) {
        const int inset = TMenuWindow::PanelWidth;
        TRect from{ARect.Left + inset, ARect.Top + inset, ARect.Right + inset, ARect.Bottom + inset};
        TRect inside;
        if (IntersectRect(inside, from, TRect{0, 0, background->Width(), background->Height()})) {
            const TRect to{inside.Left - from.Left, inside.Top - from.Top, inside.Right - from.Left,
                           inside.Bottom - from.Top};
            c->CopyRect(to, background->Canvas(), inside);
        }
    }
    if (!item->IsLine()) {
        DrawSkinImage(c->Handle(), local, skinItem->Bitmap.get(), skinItem->Margins(), false, skinItem->Tile == 1,
                      skinItem->Trans == 1, 5, Selected ? 4 : 1);
        DrawMenuItem(this, item, c, Selected, local);
    } else {
        // A line from the image's second frame: its bottom rows (no more
        // than the frame has) at the item's bottom, the left and right
        // edges unscaled, the middle stretched.
        TBitmap* strip = skinItem->Bitmap.get();
        const int fw = strip->Width() / 5, fh = strip->Height();
        const int rows = std::min(h, fh);
        const int L = std::clamp(skinItem->LeftWidth, 0, fw), R = std::clamp(skinItem->RightWidth, 0, fw - L);
        if (fw > 0 && rows > 0) {
            TBitmap line;
            line.SetPixelFormat(pf24bit);
            line.SetSize(w, rows);
            line.Canvas()->Brush()->SetColor(SkinKeyColor);
            line.Canvas()->FillRect(TRect{0, 0, w, rows});
            const int sx = fw, sy = fh - rows;
            auto part = [&](const TRect& to, int fromLeft, int fromRight) {
                if (to.Width() > 0 && fromRight > fromLeft)
                    line.Canvas()->CopyRect(to, strip->Canvas(), TRect{sx + fromLeft, sy, sx + fromRight, fh});
            };
            part(TRect{0, 0, std::min(L, w), rows}, 0, L);
            part(TRect{L, 0, w - R, rows}, L, fw - R);
            part(TRect{std::max(0, w - R), 0, w, rows}, fw - R, fw);
            DrawTransparentBitmap(c->Handle(), TRect{0, h - rows, w, h}, &line, SkinKeyColor);
        }
    }
    ACanvas->Draw(ARect.Left, ARect.Top, &bitmap);
}

namespace {

void setHandlers(TMenuItem* item, const TMenuDrawItemEvent& draw, const TMenuMeasureItemEvent& measure,
                 bool onlyBelowTop, bool keepOwnDraw, bool keepOwnMeasure, int depth = 0)
{
    if (!onlyBelowTop || depth > 1) {
        if (!keepOwnDraw || (!item->OnDrawItem && !item->OnAdvancedDrawItem))
            item->OnDrawItem = draw;
        if (!keepOwnMeasure || !item->OnMeasureItem)
            item->OnMeasureItem = measure;
    }
    for (int i = 0; i < item->Count(); ++i)
        setHandlers(item->Items(i), draw, measure, onlyBelowTop, keepOwnDraw, keepOwnMeasure, depth + 1);
}

}  // namespace

void TSknForm::markOwnerDrawn(TMenu* Menu)
{
    Menu->SetOwnerDraw(true);
    if (std::find(FOwnerDrawnMenus.begin(), FOwnerDrawnMenus.end(), Menu) == FOwnerDrawnMenus.end()) {
        FOwnerDrawnMenus.push_back(Menu);
        Menu->FreeNotification(this);
    }
}

void TSknForm::SkinMainMenu(TMainMenu* Menu)
{
    if (Menu == nullptr)
        return;
    markOwnerDrawn(Menu);
    // The bar's own items are drawn by the bar; those below it as menu items.
    setHandlers(Menu->Items(), TMenuDrawItemEvent(this, &TSknForm::DrawMenuItemHandler),
                TMenuMeasureItemEvent(this, &TSknForm::MeasureMainMenuItem), true, true, false);
}

void TSknForm::SkinMenus()
{
    if (FForm == nullptr || FSkinData == nullptr)
        return;
    const TSkinControlTypes kinds = FSkinData->SkinControls();
    std::vector<TComponent*> owners{FForm};
    for (int i = 0; i < FForm->ComponentCount(); ++i)
        if (auto* owned = dynamic_cast<TCustomForm*>(FForm->Components(i)))
            owners.push_back(owned);
    for (TComponent* owner : owners) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* component = owner->Components(i);
            if (auto* main = dynamic_cast<TMainMenu*>(component)) {
                if (owner == FForm && kinds.Contains(xcMenuItem))
                    SkinMainMenu(main);
            } else if (auto* popup = dynamic_cast<TPopupMenu*>(component)) {
                if (owner->ClassName() != QLatin1String("TwwRichEditForm"))
                    SkinPopupMenu(popup);
            }
        }
    }
}

void TSknForm::SkinPopupMenu(TPopupMenu* Menu)
{
    if (Menu == nullptr || FSkinData == nullptr || !FSkinData->SkinControls().Contains(xcPopupMenu)
        || Menu->Tag() == FSkinData->DisableTag())
        return;
    markOwnerDrawn(Menu);
    setHandlers(Menu->Items(), TMenuDrawItemEvent(this, &TSknForm::DrawMenuItemHandler),
                TMenuMeasureItemEvent(this, &TSknForm::MeasurePopupMenuItem), false, false, true);
}

void TSknForm::SkinToolButtonMenu(TMenuItem* Item)
{
    if (Item == nullptr)
        return;
    setHandlers(Item, TMenuDrawItemEvent(this, &TSknForm::DrawMenuItemHandler),
                TMenuMeasureItemEvent(this, &TSknForm::MeasureMainMenuItem), false, false, false);
    if (std::find(FOwnerDrawnItems.begin(), FOwnerDrawnItems.end(), Item) == FOwnerDrawnItems.end()) {
        FOwnerDrawnItems.push_back(Item);
        Item->FreeNotification(this);
    }
}

void TSknForm::clearMenuHandlers(TMenuItem* Item)
{
    const TMenuDrawItemEvent draw(this, &TSknForm::DrawMenuItemHandler);
    if (Item->OnDrawItem == draw)
        Item->OnDrawItem = nullptr;
    if (Item->OnMeasureItem == TMenuMeasureItemEvent(this, &TSknForm::MeasureMainMenuItem)
        || Item->OnMeasureItem == TMenuMeasureItemEvent(this, &TSknForm::MeasurePopupMenuItem))
        Item->OnMeasureItem = nullptr;
    for (int i = 0; i < Item->Count(); ++i)
        clearMenuHandlers(Item->Items(i));
}

void TSknForm::UnskinMenus()
{
    for (TMenu* menu : FOwnerDrawnMenus) {
        menu->SetOwnerDraw(false);
        clearMenuHandlers(menu->Items());
        menu->RemoveFreeNotification(this);
    }
    FOwnerDrawnMenus.clear();
    for (TMenuItem* item : FOwnerDrawnItems) {
        clearMenuHandlers(item);
        item->RemoveFreeNotification(this);
    }
    FOwnerDrawnItems.clear();
}

// ---- item content --------------------------------------------------------------

void DrawMenuItemText(TSknForm* Skinner, TMenuItem* Item, TCanvas* Canvas, uint32_t Flags, bool Selected,
                      TRect& R, const String& Text)
{
    if (Skinner == nullptr || Item == nullptr || Canvas == nullptr || Skinner->SkinData() == nullptr)
        return;
    const bool measuring = (Flags & DT_CALCRECT) != 0;
    String text = Text;
    // "&" alone draws nothing, but measures one line high like any text.
    if (measuring && (text.isEmpty() || text == QStringLiteral("&")))
        text += u' ';
    if (text != QStringLiteral("-")) {
        Canvas->Brush()->SetStyle(bsClear);
        if (Item->Default())
            Canvas->Font()->SetStyle(Canvas->Font()->Style() + TFontStyles{fsBold});
        TColor colour;
        if (Item->Enabled())
            colour = skinColor(Skinner, Selected ? scHilightText : scMenuText);
        else if (skinColor(Skinner, scButtonShadow) == skinColor(Skinner, scMenuText))
            colour = clBtnShadow;  // disabled text never looks enabled
        else
            colour = skinColor(Skinner, scButtonShadow);
        Canvas->Font()->SetColor(colour);
        Canvas->TextRect(R, text, Flags);
        return;
    }
    if (!measuring) {
        TRect line = R;
        line.Top += 4;
        DrawEdge(Canvas->Handle(), line, EDGE_ETCHED, BF_TOP);
    }
}

void DrawMenuItem(TSknForm* Skinner, TMenuItem* Item, TCanvas* Canvas, bool Selected, const TRect& R)
{
    if (Skinner == nullptr || Item == nullptr || Canvas == nullptr || Skinner->SkinData() == nullptr)
        return;
    const String caption = GetWideStrPropByName(Item, String::fromLatin1("Caption"));
    const TMenu* menu = Item->GetParentMenu();
    if (menu == nullptr && Skinner->MenuBar() != nullptr)
        menu = Skinner->MenuBar()->Menu();
    const TImageList* images = menu != nullptr ? menu->Images() : nullptr;
    int g = images != nullptr ? images->Width() : 16;
    if (Item->Checked())
        g = std::max(g, 16);
    const int leftWidth = menuItemLeftWidth(Skinner);
    const bool line = caption == QStringLiteral("-");
    const bool rtl = menu != nullptr && menu->IsRightToLeft();
    const bool image = images != nullptr && Item->ImageIndex() >= 0 && Item->ImageIndex() < images->Count();
    const TSize mark = MenuCheckMarkSize();
    const int h = R.Height();

    TRect cell;
    if (!rtl) {
        cell.Left = R.Left + 1 + leftWidth;
        cell.Top = R.Top + 1;
    } else {
        cell.Left = R.Right - 1 - leftWidth - g;
        cell.Top = R.Top + 1;
    }
    cell.Right = cell.Left + g;
    cell.Bottom = cell.Top + g;
    if (!line) {
        if (image) {
            if (Item->Checked()) {
                const TColor saved = Canvas->Brush()->Color();
                const std::unique_ptr<TBitmap> dither = AllocPatternBitmap(clBtnFace, clBtnHighlight);
                Canvas->Brush()->SetBitmap(dither.get());
                Canvas->FillRect(cell);
                Canvas->Brush()->SetBitmap(nullptr);
                Canvas->Brush()->SetColor(saved);
                if (!rtl) {
                    cell.Top = R.Top + (h - 16) / 2;
                    cell.Bottom = cell.Top + g;
                }
                TRect edge = cell;
                DrawEdge(Canvas->Handle(), edge, BDR_SUNKENINNER, BF_RECT);
            } else if (!rtl) {
                cell.Top = R.Top + (h - images->Height()) / 2;
                cell.Bottom = cell.Top + g;
            }
            images->Draw(Canvas, cell.Left, cell.Top, Item->ImageIndex(), Item->Enabled());
        } else if (Item->Checked()) {
            const int x = cell.Left + (g - mark.cx) / 2 + 1;
            const int y = rtl ? cell.Top + (g - mark.cy) / 2 + 1 : R.Top + (h - mark.cy) / 2 + 1;
            DrawMenuCheckMark(Canvas, x, y, clBtnText);
        }
    } else if (!rtl) {
        cell.Left = cell.Right = 0;
    } else {
        cell.Left = cell.Right = R.Right;
    }

    TRect text = !rtl ? TRect{cell.Right + 3, R.Top, R.Right - 1, R.Bottom}
                      : TRect{R.Left + 1, R.Top, cell.Left - 3, R.Bottom};
    const uint32_t align = !rtl ? 0 : DT_RTLREADING | DT_RIGHT;
    TRect measured = text;
    DrawMenuItemText(Skinner, Item, Canvas, align | DT_EXPANDTABS | DT_SINGLELINE | DT_CALCRECT | DT_NOCLIP,
                     Selected, measured, caption);
    OffsetRect(measured, 0, (text.Height() - measured.Height()) / 2);
    if (rtl) {
        measured.Left = text.Left;
        measured.Right = text.Right;
    }
    DrawMenuItemText(Skinner, Item, Canvas, align | DT_EXPANDTABS | DT_SINGLELINE, Selected, measured, caption);
    if (Item->ShortCut() != 0) {
        const String shortcut = ShortCutToText(Item->ShortCut());
        if (!rtl) {
            TRect r{measured.Right, measured.Top, R.Right - 1 - 10, measured.Bottom};
            DrawMenuItemText(Skinner, Item, Canvas, DT_RIGHT, Selected, r, shortcut);
        } else {
            TRect r{text.Left + 10, measured.Top, text.Right, measured.Bottom};
            DrawMenuItemText(Skinner, Item, Canvas, 0, Selected, r, shortcut);
        }
    }
}

// ---- tool-bar buttons ----------------------------------------------------------

void DrawToolButtonSkin(TSknForm* Skinner, TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                        bool&)
{
    if (Skinner == nullptr || Sender == nullptr || Button == nullptr)
        return;
    const TSkinData* data = Skinner->SkinData();
    if (data == nullptr || !data->Buttons || Skinner->State() != 1 || data->Options().Contains(xoToolbarButton))
        return;
    int frame = 0;
    if (State.Contains(cdsSelected))
        frame = 2;
    else if (State.Contains(cdsFocused) || State.Contains(cdsHot))
        frame = 4;
    else if (State.Contains(cdsGrayed) || State.Contains(cdsDisabled))
        frame = 0;
    else if (State.Contains(cdsDefault))
        frame = 1;
    if (frame == 0)
        return;
    const TDataSkinButton* buttons = data->Buttons.get();
    TCanvas* canvas = Sender->Canvas();
    if (frame == 1 && buttons->NormalColour2Given)
        canvas->Font()->SetColor(buttons->NormalColour2);
    else if (frame == 4 && buttons->MouseOverColour2Given)
        canvas->Font()->SetColor(buttons->MouseOverColour2);
    else if (frame == 2 && buttons->PressedColour2Given)
        canvas->Font()->SetColor(buttons->PressedColour2);
    TRect r = Button->BoundsRect();
    InflateRect(r, -1, -1);
    DrawSkinImage(canvas->Handle(), r, buttons->Bitmap.get(), buttons->Margins(), false, false,
                  buttons->Trans != 0, 5, frame);
}

void TSknForm::DrawToolButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)
{
    DrawToolButtonSkin(this, Sender, Button, State, DefaultDraw);
}
