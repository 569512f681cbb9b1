#include "platform/controls/Menus.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"

namespace {

QString toolkitCaption(const String& Caption)
{
    return Caption == QStringLiteral("-") ? QString() : Caption;
}

QKeySequence toolkitShortCut(TShortCut S)
{
    if (S == 0)
        return {};
    int key = 0;
    const uint16_t vk = S & 0xFF;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        key = vk;
    else if (vk >= VK_F1 && vk <= VK_F12)
        key = Qt::Key_F1 + (vk - VK_F1);
    else if (vk == VK_DELETE)
        key = Qt::Key_Delete;
    else if (vk == VK_RETURN)
        key = Qt::Key_Return;
    if (key == 0)
        return {};
    int mods = 0;
    if (S & scShift) mods |= Qt::SHIFT;
    if (S & scCtrl) mods |= Qt::CTRL;
    if (S & scAlt) mods |= Qt::ALT;
    return QKeySequence(key | mods);
}

}  // namespace

TShortCut ShortCut(uint16_t Key, bool Shift, bool Ctrl, bool Alt)
{
    TShortCut s = Key & 0xFF;
    if (Shift) s |= scShift;
    if (Ctrl) s |= scCtrl;
    if (Alt) s |= scAlt;
    return s;
}

String ShortCutToText(TShortCut ShortCut)
{
    const uint16_t vk = ShortCut & 0xFF;
    String name;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        name = QChar(char16_t(vk));
    else if (vk >= VK_F1 && vk <= VK_F12)
        name = QStringLiteral("F%1").arg(vk - VK_F1 + 1);
    else {
        static const struct {
            uint16_t key;
            const char* text;
        } names[] = {{VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
                     {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"},
                     {VK_HOME, "Home"}, {VK_LEFT, "Left"}, {VK_UP, "Up"}, {VK_RIGHT, "Right"},
                     {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}};
        for (const auto& n : names)
            if (n.key == vk)
                name = String::fromLatin1(n.text);
    }
    if (name.isEmpty())
        return String();
    String text;
    if (ShortCut & scShift) text += QStringLiteral("Shift+");
    if (ShortCut & scCtrl) text += QStringLiteral("Ctrl+");
    if (ShortCut & scAlt) text += QStringLiteral("Alt+");
    return text + name;
}

QChar GetHotkey(const String& Caption)
{
    for (qsizetype i = 0; i + 1 < Caption.size(); ++i)
        if (Caption[i] == u'&') {
            if (Caption[i + 1] != u'&')
                return Caption[i + 1];
            ++i;  // "&&" is a plain ampersand
        }
    return QChar();
}

bool IsAccel(QChar Key, const String& Caption)
{
    const QChar hot = GetHotkey(Caption);
    return !hot.isNull() && hot.toUpper() == Key.toUpper();
}

String StripHotkey(const String& Caption)
{
    String text;
    for (qsizetype i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == u'&') {
            if (i + 1 == Caption.size())
                break;
            ++i;  // the marked character (or the second '&' of "&&")
        }
        text += Caption[i];
    }
    return text;
}

std::unique_ptr<TBitmap> AllocPatternBitmap(TColor BkColor, TColor FgColor)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(8, 8);
    const TColor bk = ColorToRGB(BkColor), fg = ColorToRGB(FgColor);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            bitmap->SetPixels(x, y, (x + y) % 2 == 0 ? bk : fg);
    return bitmap;
}

namespace {

// Our own tick: a short stroke down to the right, a long one up.
constexpr const char* checkMark[] = {
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
};

}  // namespace

TSize MenuCheckMarkSize()
{
    return TSize{7, 7};
}

void DrawMenuCheckMark(TCanvas* Canvas, int X, int Y, TColor Color)
{
    if (Canvas == nullptr)
        return;
    const TColor c = ColorToRGB(Color);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            if (checkMark[y][x] == '#')
                Canvas->SetPixels(X + x, Y + y, c);
}

namespace {

uint16_t nextCommand()
{
    // Command numbers name items program-wide, as the window system's
    // menus need; they wrap after 65535 items, skipping 0.
    static uint16_t last = 0;
    if (++last == 0)
        last = 1;
    return last;
}

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(nextCommand()) {}

TMenuItem::~TMenuItem()
{
    if (FParent != nullptr)
        FParent->Remove(this);
    for (TMenuItem* item : FItems)
        item->FParent = nullptr;
    dropMenu();
    FAction.reset();
}

TMenuItem* TMenuItem::Find(uint16_t ACommand)
{
    if (FCommand == ACommand)
        return this;
    for (TMenuItem* item : FItems)
        if (TMenuItem* found = item->Find(ACommand))
            return found;
    return nullptr;
}

TMenuItem* TMenuItem::FindBySubmenu(const QMenu* Menu)
{
    if (Menu == nullptr)
        return nullptr;
    if (FMenu.get() == Menu)
        return this;
    for (TMenuItem* item : FItems)
        if (TMenuItem* found = item->FindBySubmenu(Menu))
            return found;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* root = this;
    while (root->FParent != nullptr)
        root = root->FParent;
    return const_cast<TMenu*>(root->FOwnerMenu);
}

bool TMenuItem::IsRightToLeft() const
{
    const TMenu* menu = GetParentMenu();
    return menu != nullptr && menu->IsRightToLeft();
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height)
{
    if (IsLine()) {
        Width = 0;
        Height = 8;
    } else if (ACanvas != nullptr) {
        const String text = StripHotkey(FCaption);
        Width = ACanvas->TextWidth(text);
        if (FShortCut != 0)
            Width += ACanvas->TextWidth(ShortCutToText(FShortCut)) + 16;
        Height = ACanvas->TextHeight(text.isEmpty() ? String::fromLatin1(" ") : text) + 4;
        if (const TImageList* list = images())
            Height = std::max(Height, list->Height() + 4);
    }
    if (OnMeasureItem)
        OnMeasureItem(this, ACanvas, Width, Height);
}

bool TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)
{
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, ACanvas, ARect, State);
        return true;
    }
    if (OnDrawItem) {
        OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
        return true;
    }
    return false;
}

void TMenuItem::SetCaption(const String& Value)
{
    FCaption = Value;
    changed();
}

void TMenuItem::SetChecked(bool Value)
{
    FChecked = Value;
    if (Value && FRadioItem && FParent != nullptr)
        for (TMenuItem* sibling : FParent->FItems)
            if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex && sibling->FChecked) {
                sibling->FChecked = false;
                sibling->changed();
            }
    changed();
}

void TMenuItem::Add(TMenuItem* Item)
{
    if (Item->FParent != nullptr)
        Item->FParent->Remove(Item);
    Item->FParent = this;
    FItems.push_back(Item);
    if (Item->Owner() == nullptr)
        FOwnedItems.emplace_back(Item);
    dropMenu();
}

void TMenuItem::Remove(TMenuItem* Item)
{
    std::erase(FItems, Item);
    Item->FParent = nullptr;
    dropMenu();
    auto it = std::find_if(FOwnedItems.begin(), FOwnedItems.end(), [&](const auto& p) { return p.get() == Item; });
    if (it != FOwnedItems.end())
        it->release();  // the caller took it back
    std::erase_if(FOwnedItems, [](const auto& p) { return p == nullptr; });
}

void TMenuItem::Click()
{
    if (FRadioItem)
        SetChecked(true);
    if (OnClick)
        OnClick(this);
}

void TMenuItem::changed()
{
    if (FAction) {
        FAction->setText(toolkitCaption(FCaption));
        FAction->setSeparator(FCaption == QStringLiteral("-"));
        FAction->setCheckable(FChecked || FRadioItem);
        FAction->setChecked(FChecked);
        FAction->setEnabled(FEnabled);
        FAction->setVisible(FVisible);
        // An owner-drawn item draws its shortcut itself: the toolkit keeps
        // no room for one.
        const TMenu* menu = GetParentMenu();
        FAction->setShortcut(menu != nullptr && menu->OwnerDraw() ? QKeySequence() : toolkitShortCut(FShortCut));
        const TImageList* list = images();
        FAction->setIcon(list != nullptr && FImageIndex >= 0 && FImageIndex < list->Count()
                             ? QIcon(QPixmap::fromImage(list->ImageAt(FImageIndex)))
                             : QIcon());
    }
}

const TImageList* TMenuItem::images() const
{
    const TMenuItem* root = this;
    while (root->FParent != nullptr)
        root = root->FParent;
    return root->FOwnerMenu != nullptr ? root->FOwnerMenu->Images() : nullptr;
}

QAction* TMenuItem::Action()
{
    if (!FAction) {
        FAction = std::make_unique<QAction>();
        QObject::connect(FAction.get(), &QAction::triggered, [this] { SafeCall([this] { Click(); }); });
    }
    // The menu's pictures may have come after the action was made.
    changed();
    if (!FItems.empty())
        FAction->setMenu(BuildMenu());
    return FAction.get();
}

QMenu* TMenuItem::BuildMenu()
{
    if (!FMenu) {
        FMenu = std::make_unique<QMenu>();
        FMenuWindow = std::make_unique<TMenuWindow>(FMenu.get(), this);
    }
    const TMenu* menu = GetParentMenu();
    FMenu->setLayoutDirection(menu != nullptr && menu->IsRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    FMenu->clear();
    for (TMenuItem* item : FItems)
        FMenu->addAction(item->Action());
    return FMenu.get();
}

void TMenuItem::dropMenu()
{
    // An open menu closes first, so that whoever watches its window sees
    // it close; then the menu, which still asks its style object as it goes.
    if (FMenu && FMenu->isVisible())
        FMenu->hide();
    FMenu.reset();
    FMenuWindow.reset();
}

void TMenuItem::PopupAt(TPoint P, bool RightAlign)
{
    QMenu* menu = BuildMenu();
    QPoint at(P.X, P.Y);
    if (RightAlign)
        at.rx() -= menu->sizeHint().width();
    menu->popup(at);
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr))
{
    FItems->FOwnerMenu = this;
}

TMenu::~TMenu()
{
    SetImages(nullptr);
}

void TMenu::SetImages(TImageList* Value) { SetNotifiedReference(this, FImages, Value); }

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu()
{
    delete FBar.data();  // Qt's parent may already have freed it
}

void TMainMenu::AttachTo(TCustomForm* Form)
{
    FForm = Form;
    if (!FBar)
        FBar = new QMenuBar(Form->Widget());
    else
        FBar->setParent(Form->Widget());
    Rebuild();
    FBar->setGeometry(0, 0, Form->Width(), FBar->sizeHint().height());
    FBar->setVisible(!FDetached);
}

int TMainMenu::BarHeight() const { return FBar && !FDetached ? FBar->sizeHint().height() : 0; }

void TMainMenu::Rebuild()
{
    if (!FBar)
        return;
    FBar->clear();
    for (int i = 0; i < Items()->Count(); ++i)
        FBar->addAction(Items()->Items(i)->Action());
    if (FForm != nullptr)
        FForm->Perform(CM_MENUCHANGED);
}

void TMainMenu::DetachBar()
{
    if (FDetached)
        return;
    FDetached = true;
    if (FBar)
        FBar->hide();
    if (FForm != nullptr)
        FForm->Realign();
}

void TMainMenu::ReattachBar()
{
    if (!FDetached)
        return;
    FDetached = false;
    if (FBar && FForm != nullptr) {
        FBar->setGeometry(0, 0, FForm->Width(), FBar->sizeHint().height());
        FBar->show();
    }
    if (FForm != nullptr)
        FForm->Realign();
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
TPopupMenu::~TPopupMenu() = default;

QPoint TPopupMenu::alignedPoint(QMenu* Menu, int X, int Y) const
{
    switch (FAlignment) {
    case paRight: return QPoint(X - Menu->sizeHint().width(), Y);
    case paCenter: return QPoint(X - Menu->sizeHint().width() / 2, Y);
    default: return QPoint(X, Y);
    }
}

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup)
        OnPopup(this);
    QMenu* menu = Items()->BuildMenu();
    menu->popup(alignedPoint(menu, X, Y));
}

namespace {

// Decides for each press outside the menu whether the toolkit hands it on
// once the menu has closed: not when it lands on the owner's window.
class TNoReplayFilter : public QObject {
public:
    TNoReplayFilter(QMenu* Menu, QWidget* Owner) : FMenu(Menu), FOwner(Owner) {}
    bool eventFilter(QObject* Watched, QEvent* E) override
    {
        if (Watched == FMenu && (E->type() == QEvent::MouseButtonPress || E->type() == QEvent::MouseButtonDblClick)) {
            const QPoint global = static_cast<QMouseEvent*>(E)->globalPosition().toPoint();
            const bool onOwner =
                FOwner && QRect(FOwner->mapToGlobal(QPoint(0, 0)), FOwner->size()).contains(global);
            FMenu->setAttribute(Qt::WA_NoMouseReplay, onOwner);
        }
        return false;
    }

private:
    QMenu* FMenu;
    QPointer<QWidget> FOwner;
};

}  // namespace

void TPopupMenu::PopupAndWait(int X, int Y, TWinControl* Owner)
{
    if (OnPopup)
        OnPopup(this);
    const QPointer<QMenu> menu = Items()->BuildMenu();
    TNoReplayFilter filter(menu, Owner != nullptr && Owner->HandleAllocated() ? Owner->Widget() : nullptr);
    menu->installEventFilter(&filter);
    menu->exec(alignedPoint(menu, X, Y));
    // The menu goes away with its items when a handler changed them.
    if (menu)
        menu->removeEventFilter(&filter);
}

// ---- menu windows ------------------------------------------------------------

namespace {

const char* const menuWindowProperty = "vorlaneMenuWindow";

// A canvas over a part of a painter's surface: drawing goes to an image of
// Rect's size whose logical coordinates are those of the whole surface
// less Origin.
class TPartCanvas {
public:
    TPartCanvas(const QRect& Rect, QImage::Format Format, QPoint Origin = QPoint())
        : FRect(Rect), FImage(Rect.size(), Format), FDC(&FImage)
    {
        FImage.fill(Qt::transparent);
        SetViewportOrgEx(&FDC, Origin.x() - Rect.left(), Origin.y() - Rect.top());
        FCanvas.SetHandle(&FDC);
    }
    ~TPartCanvas() { FCanvas.SetHandle(nullptr); }
    TPartCanvas(const TPartCanvas&) = delete;
    TPartCanvas& operator=(const TPartCanvas&) = delete;
    TCanvas* Canvas() { return &FCanvas; }
    HDC DC() { return &FDC; }
    void PaintOn(QPainter* Painter) const { Painter->drawImage(FRect.topLeft(), FImage); }

private:
    QRect FRect;
    QImage FImage;
    TDeviceContext FDC;
    TCanvas FCanvas;
};

}  // namespace

// Forwards a menu's frame, background, item painting and item sizes to its
// menu window and items; what nobody handles is the base style's.
class TMenuStyle : public QProxyStyle {
public:
    explicit TMenuStyle(TMenuWindow* Window)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), FWindow(Window)
    {
    }

    int pixelMetric(PixelMetric Metric, const QStyleOption* Option, const QWidget* Widget) const override
    {
        switch (Metric) {
        case PM_MenuPanelWidth: return TMenuWindow::PanelWidth;
        case PM_MenuHMargin: case PM_MenuVMargin: return 0;
        default: return QProxyStyle::pixelMetric(Metric, Option, Widget);
        }
    }

    void drawPrimitive(PrimitiveElement Element, const QStyleOption* Option, QPainter* Painter,
                       const QWidget* Widget) const override
    {
        if (Element == PE_PanelMenu && Widget == FWindow->Menu()) {
            FWindow->paintPanel(Option, Painter);
            return;
        }
        if (Element == PE_FrameMenu && Widget == FWindow->Menu() && FWindow->FFrameSkinned)
            return;  // the window's frame paint covered it
        QProxyStyle::drawPrimitive(Element, Option, Painter, Widget);
    }

    void drawControl(ControlElement Element, const QStyleOption* Option, QPainter* Painter,
                     const QWidget* Widget) const override
    {
        if (Widget == FWindow->Menu()) {
            if (Element == CE_MenuEmptyArea && FWindow->FFrameSkinned)
                return;
            if (Element == CE_MenuItem && ownerDraw(Option, Painter))
                return;
        }
        QProxyStyle::drawControl(Element, Option, Painter, Widget);
    }

    QSize sizeFromContents(ContentsType Type, const QStyleOption* Option, const QSize& Size,
                           const QWidget* Widget) const override
    {
        if (Type == CT_MenuItem && Widget == FWindow->Menu())
            if (TMenuItem* item = measuredItem(Option); item != nullptr && ownerDrawn(item)) {
                TBitmap measure;
                measure.SetSize(1, 1);
                measure.Canvas()->Font()->Assign(&menuFont());
                int width = 0, height = 0;
                item->MeasureItem(measure.Canvas(), width, height);
                // The toolkit leaves an item of no width out of the layout.
                return QSize(std::max(1, width), std::max(0, height));
            }
        return QProxyStyle::sizeFromContents(Type, Option, Size, Widget);
    }

    static const TFont& menuFont()
    {
        static const TFont font;  // the screen's menu font
        return font;
    }

private:
    static bool ownerDrawn(const TMenuItem* Item)
    {
        const TMenu* menu = Item->GetParentMenu();
        return menu != nullptr && menu->OwnerDraw();
    }

    bool ownerDraw(const QStyleOption* Option, QPainter* Painter) const
    {
        QMenu* menu = FWindow->Menu();
        const auto* opt = qstyleoption_cast<const QStyleOptionMenuItem*>(Option);
        if (menu == nullptr || opt == nullptr)
            return false;
        TMenuItem* item = nullptr;
        for (QAction* action : menu->actions())
            if (menu->actionGeometry(action) == opt->rect) {
                item = FWindow->ItemOfAction(action);
                break;
            }
        if (item == nullptr || !ownerDrawn(item) || (!item->OnDrawItem && !item->OnAdvancedDrawItem))
            return false;
        TOwnerDrawState state;
        if (opt->state & State_Selected)
            state.Include(odSelected);
        if (!(opt->state & State_Enabled))
            state.Include(odDisabled).Include(odGrayed);
        if (item->Checked())
            state.Include(odChecked);
        if (item->Default())
            state.Include(odDefault);
        // Items draw in the client coordinates of the window, inside its frame.
        const int inset = TMenuWindow::PanelWidth;
        TPartCanvas part(opt->rect, QImage::Format_ARGB32_Premultiplied, QPoint(inset, inset));
        part.Canvas()->Font()->Assign(&menuFont());
        const TRect r{opt->rect.left() - inset, opt->rect.top() - inset, opt->rect.right() + 1 - inset,
                      opt->rect.bottom() + 1 - inset};
        SafeCall([&] { item->AdvancedDrawItem(part.Canvas(), r, state); });
        part.PaintOn(Painter);
        return true;
    }

    // Items are measured in their order in the menu: the next one after
    // the last measured whose text and kind match.
    TMenuItem* measuredItem(const QStyleOption* Option) const
    {
        QMenu* menu = FWindow->Menu();
        const auto* opt = qstyleoption_cast<const QStyleOptionMenuItem*>(Option);
        if (menu == nullptr || opt == nullptr)
            return nullptr;
        const QList<QAction*> actions = menu->actions();
        auto matches = [&](const QAction* a) {
            if (!a->isVisible())
                return false;
            const bool separator = opt->menuItemType == QStyleOptionMenuItem::Separator;
            return a->isSeparator() == separator && (separator || opt->text.section(u'\t', 0, 0) == a->text());
        };
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = pass == 0 ? FMeasured + 1 : 0; i < actions.size(); ++i)
                if (matches(actions[i])) {
                    FMeasured = i;
                    return FWindow->ItemOfAction(actions[i]);
                }
        }
        return nullptr;
    }

    TMenuWindow* FWindow;
    mutable int FMeasured = -1;
};

TMenuWindow::TMenuWindow(QMenu* Menu, TMenuItem* Item)
    : WindowProc(this, &TMenuWindow::DefaultHandler), FMenu(Menu), FItem(Item),
      FStyle(std::make_unique<TMenuStyle>(this))
{
    Menu->setStyle(FStyle.get());
    Menu->setFont(TMenuStyle::menuFont().QtFont());
    Menu->setProperty(menuWindowProperty, QVariant::fromValue(static_cast<void*>(this)));
    QObject::connect(Menu, &QMenu::aboutToHide, [this] {
        TMessage destroy{WM_DESTROY, 0, 0, 0};
        SafeCall([&] { WindowProc(destroy); });
    });
}

TMenuWindow::~TMenuWindow()
{
    if (FMenu) {
        FMenu->setProperty(menuWindowProperty, QVariant());
        FMenu->setStyle(nullptr);
    }
}

QMenu* TMenuWindow::Menu() const
{
    return FMenu.data();
}

TMenuWindow* MenuWindowOf(const QWidget* Widget)
{
    if (Widget == nullptr)
        return nullptr;
    return static_cast<TMenuWindow*>(Widget->property(menuWindowProperty).value<void*>());
}

void TMenuWindow::DefaultHandler(TMessage& Message)
{
    FDefaulted = true;
    if (Message.Msg == WM_PRINT && FMenu) {
        // The window as it paints, through the same frame and items.
        auto* dc = reinterpret_cast<HDC>(Message.WParam);
        if (dc != nullptr && dc->Image() != nullptr) {
            QImage shot = FMenu->grab().toImage();
            QPainter p(dc->Image());
            const TPoint origin = dc->Offset();
            p.drawImage(origin.X, origin.Y, shot);
        }
    }
}

TMenuItem* TMenuWindow::ItemOfAction(const QAction* Action) const
{
    if (Action == nullptr || FItem == nullptr)
        return nullptr;
    for (int i = 0; i < FItem->Count(); ++i)
        if (FItem->Items(i)->FAction.get() == Action)
            return FItem->Items(i);
    return nullptr;
}

TMenuItem* TMenuWindow::SelectedItem() const
{
    return FMenu ? ItemOfAction(FMenu->activeAction()) : nullptr;
}

void TMenuWindow::PrintTo(QImage& Image)
{
    if (!FMenu)
        return;
    Image = QImage(FMenu->size(), QImage::Format_RGB32);
    Image.fill(Qt::black);
    TDeviceContext dc(&Image);
    TMessage print{WM_PRINT, reinterpret_cast<WPARAM>(&dc), 0, 0};
    WindowProc(print);
}

void TMenuWindow::paintPanel(const QStyleOption* Option, QPainter* Painter)
{
    QMenu* menu = FMenu.data();
    const QRect whole = menu->rect();
    // The frame first, as the window system paints a window's frame
    // before its client area.
    TPartCanvas frame(whole, QImage::Format_ARGB32_Premultiplied);
    FDefaulted = false;
    TMessage ncPaint{WM_NCPAINT, 1, reinterpret_cast<LPARAM>(frame.DC()), 0};
    SafeCall([&] { WindowProc(ncPaint); });
    FFrameSkinned = !FDefaulted;
    if (FFrameSkinned)
        frame.PaintOn(Painter);
    TPartCanvas erase(whole, QImage::Format_ARGB32_Premultiplied);
    FDefaulted = false;
    TMessage eraseBk{WM_ERASEBKGND, reinterpret_cast<WPARAM>(erase.DC()), 0, 0};
    SafeCall([&] { WindowProc(eraseBk); });
    if (!FDefaulted) {
        erase.PaintOn(Painter);
        return;
    }
    // The toolkit's background: inside the frame when the frame was not its own.
    Painter->save();
    if (FFrameSkinned)
        Painter->setClipRect(whole.adjusted(PanelWidth, PanelWidth, -PanelWidth, -PanelWidth));
    FStyle->baseStyle()->drawPrimitive(QStyle::PE_PanelMenu, Option, Painter, menu);
    Painter->restore();
}

bool TMenuItem::HasImage() const
{
    const TImageList* list = images();
    return list != nullptr && FImageIndex >= 0 && FImageIndex < list->Count();
}

namespace {

TMenuItem* findShortCut(TMenuItem* Item, TShortCut Key)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TMenuItem* child = Item->Items(i);
        if (!child->Visible() || !child->Enabled())
            continue;
        if (child->ShortCut() == Key && child->Count() == 0)
            return child;
        if (TMenuItem* found = findShortCut(child, Key))
            return found;
    }
    return nullptr;
}

}  // namespace

bool TMenu::IsShortCut(const TMessage& Message)
{
    const UINT msg = Message.Msg >= CN_BASE ? Message.Msg - CN_BASE : Message.Msg;
    if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN)
        return false;
    const TShiftState shift = KeyDataToShiftState(Message.LParam);
    const TShortCut key = ShortCut(uint16_t(Message.WParam & 0xFF), shift.Contains(ssShift), shift.Contains(ssCtrl),
                                   shift.Contains(ssAlt));
    TMenuItem* item = findShortCut(Items(), key);
    if (item == nullptr)
        return false;
    item->Click();
    return true;
}
