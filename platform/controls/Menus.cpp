#include "platform/controls/Menus.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
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

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    if (FParent != nullptr)
        FParent->Remove(this);
    for (TMenuItem* item : FItems)
        item->FParent = nullptr;
    FMenu.reset();
    FAction.reset();
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
    FMenu.reset();
}

void TMenuItem::Remove(TMenuItem* Item)
{
    std::erase(FItems, Item);
    Item->FParent = nullptr;
    FMenu.reset();
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
        FAction->setShortcut(toolkitShortCut(FShortCut));
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
    if (!FMenu)
        FMenu = std::make_unique<QMenu>();
    FMenu->clear();
    for (TMenuItem* item : FItems)
        FMenu->addAction(item->Action());
    return FMenu.get();
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr))
{
    FItems->FOwnerMenu = this;
}

TMenu::~TMenu()
{
    SetImages(nullptr);
}

void TMenu::SetImages(TImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages != nullptr)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages != nullptr)
        FImages->FreeNotification(this);
}

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
    FBar->setGeometry(0, 0, Form->Width(), BarHeight());
    FBar->show();
}

int TMainMenu::BarHeight() const { return FBar ? FBar->sizeHint().height() : 0; }

void TMainMenu::Rebuild()
{
    if (!FBar)
        return;
    FBar->clear();
    for (int i = 0; i < Items()->Count(); ++i)
        FBar->addAction(Items()->Items(i)->Action());
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup)
        OnPopup(this);
    Items()->BuildMenu()->popup(QPoint(X, Y));
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, ACanvas, Width, Height);
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
