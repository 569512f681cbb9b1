#include "platform/controls/StdCtrls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "platform/controls/Forms.h"
#include "platform/controls/ToolkitWidget.h"
#include "platform/graphics/Graphics.h"

namespace {

// A toolkit signal becomes a notification message through WindowProc.
void notify(TWinControl* Control, UINT Msg, uint16_t Code)
{
    SafeCall([&] { Control->Perform(Msg, MakeWParam(0, Code), 0); });
}

}  // namespace

// ------------------------------------------------------------------ TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    adjustBounds();
}

void TLabel::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    adjustBounds();
    Invalidate();
}

uint32_t TLabel::drawFlags() const
{
    uint32_t flags = DT_EXPANDTABS;
    if (FWordWrap)
        flags |= DT_WORDBREAK;
    if (!FShowAccelChar)
        flags |= DT_NOPREFIX;
    if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    if (FAlignment == taCenter) flags |= DT_CENTER;
    return flags;
}

void TLabel::adjustBounds()
{
    if (!FAutoSize)
        return;
    TDeviceContext dc(nullptr);
    dc.SetFont(Font()->QtFont());
    TRect r = Rect(0, 0, FWordWrap ? Width() : 0, 0);
    String text = Caption();
    if (text.isEmpty())
        text = QStringLiteral(" ");
    DrawText(&dc, text, r, drawFlags() | DT_CALCRECT);
    int left = Left();
    if (FAlignment == taRightJustify) left = Left() + Width() - r.Width();
    if (FAlignment == taCenter) left = Left() + (Width() - r.Width()) / 2;
    SetBounds(left, Top(), r.Width(), r.Height());
}

void TLabel::Dispatch(TMessage& Message)
{
    TGraphicControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) {
        adjustBounds();
        Invalidate();
    }
}

void TLabel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    c->Brush()->SetStyle(bsClear);
    uint32_t flags = drawFlags();
    if (FLayout != tlTop) {
        TRect calc = r;
        c->TextRect(calc, Caption(), flags | DT_CALCRECT);
        const int offset = FLayout == tlBottom ? r.Height() - calc.Height() : (r.Height() - calc.Height()) / 2;
        r.Top += offset;
    }
    if (!Enabled())
        c->Font()->SetColor(clGrayText);
    c->TextRect(r, Caption(), flags);
}

// ------------------------------------------------------------------- TEdit

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

std::unique_ptr<QWidget> TEdit::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TToolkitWidget<QLineEdit>>(this, ParentWidget);
    QObject::connect(w.get(), &QLineEdit::textEdited, [this] { notify(this, CN_COMMAND, EN_CHANGE); });
    return w;
}

void TEdit::UpdateWidget()
{
    TWinControl::UpdateWidget();
    if (!HandleAllocated())
        return;
    auto* w = static_cast<QLineEdit*>(Widget());
    WithSignalsBlocked([&] {
        if (w->text() != Text())
            w->setText(Text());
        w->setReadOnly(FReadOnly);
        w->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
        w->setFrame(FHasBorder);
    });
}

void TEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND && HiWord(Message.WParam) == EN_CHANGE) {
        FText = static_cast<QLineEdit*>(Widget())->text();
        Change();
        return;
    }
    TWinControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED)
        Change();
}

void TEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

// ------------------------------------------------------------------- TMemo

// The memo's lines remember whether every change since the widget last
// took them was an addition at the end, so that a growing log costs its new
// lines only, not its whole text again.
class TMemo::TMemoLines : public TStringList {
public:
    // Counts the changes other than additions at the end.
    uint64_t Rewrites = 1;

    void InsertObject(int Index, const String& S, TObject* AObject) override
    {
        FAppending = Index == Count();
        try {
            TStringList::InsertObject(Index, S, AObject);
        } catch (...) {
            FAppending = false;
            throw;
        }
        FAppending = false;
    }
    int AddObject(const String& S, TObject* AObject) override
    {
        FAppending = !Sorted();
        try {
            const int index = TStringList::AddObject(S, AObject);
            FAppending = false;
            return index;
        } catch (...) {
            FAppending = false;
            throw;
        }
    }

protected:
    void Changing() override
    {
        if (!FAppending)
            ++Rewrites;
        TStringList::Changing();
    }

private:
    bool FAppending = false;
};

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner), FLines(std::make_unique<TMemoLines>())
{
    SetTabStop(true);
    SetBounds(0, 0, 185, 89);
    FLines->OnChange = TNotifyEvent(this, &TMemo::linesChanged);
}

TMemo::~TMemo() { FLines->OnChange = nullptr; }

TStrings* TMemo::Lines() const { return FLines.get(); }

std::unique_ptr<QWidget> TMemo::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TToolkitWidget<QPlainTextEdit>>(this, ParentWidget);
    QObject::connect(w.get(), &QPlainTextEdit::textChanged, [this] { notify(this, CN_COMMAND, EN_CHANGE); });
    // A new widget holds nothing yet.
    FShownCount = 0;
    FShownRewrites = 0;
    return w;
}

void TMemo::linesChanged(TObject*)
{
    if (FSyncing)
        return;
    // The text follows the lines; added lines extend it.
    const int count = FLines->Count();
    if (FTextRewrites != FLines->Rewrites || FTextCount > count) {
        FText = FLines->Text();
    } else {
        for (int i = FTextCount; i < count; ++i)
            FText += FLines->Strings(i) + FLines->LineBreak();
    }
    FTextCount = count;
    FTextRewrites = FLines->Rewrites;
    UpdateWidget();
    if (OnChange)
        OnChange(this);
}

void TMemo::syncWidgetLines()
{
    auto* w = static_cast<QPlainTextEdit*>(Widget());
    const int count = FLines->Count();
    // A caret at the end follows the lines added there; a caret elsewhere
    // (the user reading back) stays where it is.
    QTextCursor caret = w->textCursor();
    const bool atEnd = !caret.hasSelection() && caret.atEnd();
    bool changed = false;
    if (FShownRewrites != FLines->Rewrites || FShownCount > count) {
        QString text = FLines->Text();
        if (text.endsWith(QChar('\n')))
            text.chop(1);
        if (w->toPlainText() != text) {
            w->setPlainText(text);
            changed = true;
        }
    } else if (FShownCount < count) {
        changed = true;
        // An empty first line and no line at all look alike in the widget:
        // only from the second line on does an addition start a new one.
        QTextCursor cursor(w->document());
        cursor.movePosition(QTextCursor::End);
        cursor.beginEditBlock();
        for (int i = FShownCount; i < count; ++i) {
            if (i > 0)
                cursor.insertBlock();
            cursor.insertText(FLines->Strings(i));
        }
        cursor.endEditBlock();
    }
    if (changed && atEnd) {
        caret = w->textCursor();
        caret.movePosition(QTextCursor::End);
        w->setTextCursor(caret);
        w->ensureCursorVisible();
    }
    FShownCount = count;
    FShownRewrites = FLines->Rewrites;
}

void TMemo::UpdateWidget()
{
    TWinControl::UpdateWidget();
    if (!HandleAllocated())
        return;
    auto* w = static_cast<QPlainTextEdit*>(Widget());
    WithSignalsBlocked([&] {
        syncWidgetLines();
        w->setReadOnly(FReadOnly);
        // Only the user's own edits can be undone; a read-only memo keeps no history.
        w->setUndoRedoEnabled(!FReadOnly);
    });
}

void TMemo::Dispatch(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND && HiWord(Message.WParam) == EN_CHANGE) {
        FSyncing = true;
        FLines->SetText(static_cast<QPlainTextEdit*>(Widget())->toPlainText());
        FSyncing = false;
        // The widget holds what the lines hold now.
        FShownCount = FLines->Count();
        FShownRewrites = FLines->Rewrites;
        FText = FLines->Text();
        if (OnChange)
            OnChange(this);
        return;
    }
    if (Message.Msg == WM_SETTEXT) {
        FSyncing = true;
        FLines->SetText(*reinterpret_cast<const String*>(Message.LParam));
        FSyncing = false;
    }
    TWinControl::Dispatch(Message);
}

// ----------------------------------------------------------------- buttons

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csCaptureMouse};
}

TCustomButton::TCustomButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetColor(clBtnFace);
    SetBounds(0, 0, 75, 25);
}

void TCustomButton::SetDefault(bool Value)
{
    FDefault = Value;
    // Unless another button has the focus, Return now goes to this one or not.
    TWinControl* focused = nullptr;
    if (TCustomForm* form = GetParentForm(this)) {
        std::vector<TWinControl*> list;
        form->GetTabOrderList(list);
        for (TWinControl* c : list)
            if (c->Focused())
                focused = c;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(focused));
    UpdateWidget();
}

void TCustomButton::SetWordWrap(bool Value)
{
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    Invalidate();
}

void TCustomButton::SetButtonStyle(bool ADefault)
{
    (void)ADefault;
    UpdateWidget();
}

std::unique_ptr<QWidget> TCustomButton::CreateWidget(QWidget* ParentWidget)
{
    if (OwnerDraw())
        return TButtonControl::CreateWidget(ParentWidget);
    auto w = std::make_unique<TToolkitWidget<QPushButton>>(this, ParentWidget);
    QObject::connect(w.get(), &QPushButton::clicked, [this] { notify(this, CN_COMMAND, BN_CLICKED); });
    return w;
}

void TCustomButton::UpdateWidget()
{
    TButtonControl::UpdateWidget();
    if (!HandleAllocated() || OwnerDraw())
        return;
    auto* w = static_cast<QPushButton*>(Widget());
    w->setText(Caption());
    w->setDefault(FActive);
    w->setAutoDefault(false);
}

void TCustomButton::PaintWindow(HDC DC)
{
    if (!OwnerDraw()) {
        TButtonControl::PaintWindow(DC);
        return;
    }
    DRAWITEMSTRUCT item;
    item.hDC = DC;
    item.rcItem = ClientRect();
    if (FPushed)
        item.itemState |= ODS_SELECTED;
    if (!Enabled())
        item.itemState |= ODS_DISABLED;
    if (Focused())
        item.itemState |= ODS_FOCUS;
    Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
}

void TCustomButton::Click()
{
    // The form's result is set before OnClick, so OnClick may still change it.
    if (FModalResult != mrNone)
        if (TCustomForm* form = GetParentForm(this))
            form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TCustomButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HiWord(Message.WParam) == BN_CLICKED)
            Click();
        return;
    case CM_DIALOGKEY:
        if (((Message.WParam == VK_RETURN && FActive) || (Message.WParam == VK_ESCAPE && FCancel)) && CanFocus()) {
            Click();
            Message.Result = 1;
        }
        return;
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
        FActive = dynamic_cast<TCustomButton*>(focused) != nullptr ? focused == this : FDefault;
        SetButtonStyle(FActive);
        return;
    }
    default:
        TButtonControl::Dispatch(Message);
    }
}

void TCustomButton::setPushed(bool Value)
{
    if (FPushed == Value)
        return;
    FPushed = Value;
    Invalidate();
}

void TCustomButton::DefaultHandler(TMessage& Message)
{
    if (OwnerDraw())
        ownerDrawDefault(Message);
    TButtonControl::DefaultHandler(Message);
}

void TCustomButton::ownerDrawDefault(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        if (CanFocus() && !Focused())
            SetFocus();
        FTracking = true;
        SetMouseCapture(this, true);
        setPushed(true);
        break;
    case WM_MOUSEMOVE:
        if (FTracking)
            setPushed(ClientRect().Contains(PointFromLParam(Message.LParam)));
        break;
    case WM_LBUTTONUP: {
        if (!FTracking)
            break;
        const bool click = FPushed;
        FTracking = false;
        setPushed(false);
        // The click is told while the button still holds the mouse.
        if (click)
            notify(this, CN_COMMAND, BN_CLICKED);
        SetMouseCapture(this, false);
        break;
    }
    case WM_CAPTURECHANGED: case WM_KILLFOCUS:
        FTracking = false;
        setPushed(false);
        break;
    case WM_KEYDOWN:
        if (Message.WParam == VK_SPACE)
            setPushed(true);
        break;
    case WM_KEYUP:
        if (Message.WParam == VK_SPACE && FPushed && !FTracking) {
            setPushed(false);
            notify(this, CN_COMMAND, BN_CLICKED);
        }
        break;
    default:
        break;
    }
}

namespace {
// The pushed and focus bits of BM_GETSTATE.
LRESULT buttonState(TWinControl* Button)
{
    LRESULT state = Button->Focused() ? LRESULT(BST_FOCUS) : 0;
    if (Button->HandleAllocated())
        if (auto* b = qobject_cast<QAbstractButton*>(Button->Widget()); b != nullptr && b->isDown())
            state |= BST_PUSHED;
    return state;
}
}  // namespace

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetParentColor(true);
    SetBounds(0, 0, 97, 17);
}

std::unique_ptr<QWidget> TCheckBox::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TToolkitWidget<QCheckBox>>(this, ParentWidget);
    QObject::connect(w.get(), &QCheckBox::clicked, [this] { notify(this, CN_COMMAND, BN_CLICKED); });
    return w;
}

void TCheckBox::UpdateWidget()
{
    TWinControl::UpdateWidget();
    if (!HandleAllocated())
        return;
    auto* w = static_cast<QCheckBox*>(Widget());
    WithSignalsBlocked([&] {
        w->setText(Caption());
        w->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
        w->setTristate(FAllowGrayed);
        w->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    });
}

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (Value != FState)
        Perform(BM_SETCHECK, WPARAM(Value));
}

void TCheckBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HiWord(Message.WParam) == BN_CLICKED) {
            const Qt::CheckState s = static_cast<QCheckBox*>(Widget())->checkState();
            FState = s == Qt::Checked ? cbChecked : s == Qt::PartiallyChecked ? cbGrayed : cbUnchecked;
            Click();
        }
        return;
    case BM_SETCHECK:
        FState = static_cast<TCheckBoxState>(Message.WParam);
        DefaultHandler(Message);
        Click();
        return;
    case BM_GETCHECK:
        Message.Result = LRESULT(FState);
        return;
    case BM_GETSTATE:
        Message.Result = LRESULT(FState) | buttonState(this);
        return;
    default:
        TButtonControl::Dispatch(Message);
        if (Message.Msg == BM_SETCHECK)
            UpdateWidget();
    }
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetParentColor(true);
    SetBounds(0, 0, 113, 17);
}

std::unique_ptr<QWidget> TRadioButton::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TToolkitWidget<QRadioButton>>(this, ParentWidget);
    w->setAutoExclusive(false);  // the siblings are unchecked through WindowProc
    QObject::connect(w.get(), &QRadioButton::clicked, [this] { notify(this, CN_COMMAND, BN_CLICKED); });
    return w;
}

void TRadioButton::UpdateWidget()
{
    TWinControl::UpdateWidget();
    if (!HandleAllocated())
        return;
    auto* w = static_cast<QRadioButton*>(Widget());
    WithSignalsBlocked([&] {
        w->setText(Caption());
        w->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
        w->setChecked(FChecked);
    });
}

void TRadioButton::SetChecked(bool Value)
{
    if (Value != FChecked)
        Perform(BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED);
}

void TRadioButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HiWord(Message.WParam) == BN_CLICKED) {
            if (!FChecked)
                SetChecked(true);
            else
                UpdateWidget();  // a click on a checked radio button leaves it checked
        }
        return;
    case BM_SETCHECK:
        FChecked = Message.WParam == BST_CHECKED;
        UpdateWidget();
        if (FChecked) {
            if (Parent() != nullptr)
                for (int i = 0; i < Parent()->ControlCount(); ++i)
                    if (auto* r = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); r != nullptr && r != this)
                        r->SetChecked(false);
            Click();
        }
        return;
    case BM_GETCHECK:
        Message.Result = FChecked ? BST_CHECKED : BST_UNCHECKED;
        return;
    case BM_GETSTATE:
        Message.Result = (FChecked ? BST_CHECKED : BST_UNCHECKED) | buttonState(this);
        return;
    default:
        TButtonControl::Dispatch(Message);
    }
}

// --------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::AdjustClientRect(TRect& R) const
{
    TDeviceContext dc(nullptr);
    dc.SetFont(Font()->QtFont());
    TTextMetric tm;
    GetTextMetrics(&dc, tm);
    R.Top += tm.tmHeight;
    InflateRect(R, -1, -1);
}

void TGroupBox::Paint()
{
    TCanvas* c = Canvas();
    const int h = c->TextHeight(QStringLiteral("0"));
    TRect r = Rect(0, h / 2 - 1, Width(), Height());
    DrawEdge(c->Handle(), r, EDGE_ETCHED, BF_RECT);
    if (!Caption().isEmpty()) {
        TRect t = Rect(8, 0, 0, h);
        c->TextRect(t, Caption(), DT_CALCRECT | DT_SINGLELINE);
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->TextRect(t, Caption(), DT_SINGLELINE);
    }
}

// ---------------------------------------------------- combo and list boxes

TItemsControl::TItemsControl(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TStringList>())
{
    SetTabStop(true);
    FItems->OnChange = TNotifyEvent(this, &TItemsControl::itemsChanged);
}

TItemsControl::~TItemsControl() { FItems->OnChange = nullptr; }

void TItemsControl::SetItemIndex(int Value)
{
    Perform(SetCurSelMessage(), WPARAM(intptr_t(Value)));
}

void TItemsControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == SetCurSelMessage()) {
        const int index = int(intptr_t(Message.WParam));
        FItemIndex = index >= 0 && index < FItems->Count() ? index : -1;
        FText = FItemIndex >= 0 ? FItems->Strings(FItemIndex) : String();
        UpdateWidget();
        Message.Result = FItemIndex;
        return;
    }
    TWinControl::Dispatch(Message);
}

TComboBox::TComboBox(TComponent* AOwner) : TItemsControl(AOwner) { SetBounds(0, 0, 145, 21); }

// The box's widget: the list opening and closing become notifications.
class TComboWidget : public TToolkitWidget<QComboBox> {
public:
    TComboWidget(TComboBox* Control, QWidget* Parent) : TToolkitWidget<QComboBox>(Control, Parent), FBox(Control) {}
    void showPopup() override
    {
        FBox->FDroppedDown = true;
        notify(FBox, CN_COMMAND, CBN_DROPDOWN);
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        QComboBox::hidePopup();
        if (FBox->FDroppedDown) {
            FBox->FDroppedDown = false;
            notify(FBox, CN_COMMAND, CBN_CLOSEUP);
        }
    }

private:
    TComboBox* FBox;
};

TRect TComboBox::ButtonRect()
{
    if (FStyle == csSimple)
        return TRect{0, 0, 0, 0};
    auto* w = static_cast<QComboBox*>(Widget());
    QStyleOptionComboBox option;
    option.initFrom(w);
    option.editable = w->isEditable();
    option.frame = w->hasFrame();
    const QRect r = w->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, w);
    return TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void TComboBox::SetDroppedDown(bool Value)
{
    auto* w = static_cast<QComboBox*>(Widget());
    if (Value)
        w->showPopup();
    else
        w->hidePopup();
}

std::unique_ptr<QWidget> TComboBox::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TComboWidget>(this, ParentWidget);
    QObject::connect(w.get(), qOverload<int>(&QComboBox::activated), [this] { notify(this, CN_COMMAND, CBN_SELCHANGE); });
    return w;
}

void TComboBox::ItemsChanged()
{
    if (FItemIndex >= Items()->Count())
        FItemIndex = -1;
    UpdateWidget();
}

void TComboBox::UpdateWidget()
{
    TWinControl::UpdateWidget();
    if (!HandleAllocated())
        return;
    auto* w = static_cast<QComboBox*>(Widget());
    WithSignalsBlocked([&] {
        w->setEditable(FStyle == csDropDown || FStyle == csSimple);
        QStringList items;
        for (int i = 0; i < Items()->Count(); ++i)
            items.push_back(Items()->Strings(i));
        QStringList current;
        for (int i = 0; i < w->count(); ++i)
            current.push_back(w->itemText(i));
        if (current != items) {
            w->clear();
            w->addItems(items);
        }
        w->setCurrentIndex(FItemIndex);
        if (w->isEditable() && FItemIndex < 0)
            w->setEditText(Text());
        // A list-only box still shows a text that is none of its items.
        if (!w->isEditable())
            w->setPlaceholderText(FItemIndex < 0 ? Text() : String());
    });
}

void TComboBox::Dispatch(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND && HiWord(Message.WParam) == CBN_SELCHANGE) {
        FItemIndex = static_cast<QComboBox*>(Widget())->currentIndex();
        FText = FItemIndex >= 0 ? Items()->Strings(FItemIndex) : String();
        if (OnChange)
            OnChange(this);
        return;
    }
    TItemsControl::Dispatch(Message);
}

TListBox::TListBox(TComponent* AOwner) : TItemsControl(AOwner)
{
    SetBounds(0, 0, 121, 97);
}

void TListBox::SetMultiSelect(bool Value)
{
    FMultiSelect = Value;
    UpdateWidget();
}

QListWidget* TListBox::listWidget() const
{
    return HandleAllocated() ? static_cast<QListWidget*>(const_cast<TListBox*>(this)->Widget()) : nullptr;
}

bool TListBox::Selected(int Index) const
{
    const QListWidget* w = listWidget();
    return w != nullptr && Index >= 0 && Index < w->count() && w->item(Index)->isSelected();
}

void TListBox::SetSelected(int Index, bool Value)
{
    QListWidget* w = listWidget();
    if (w == nullptr || Index < 0 || Index >= w->count())
        return;
    WithSignalsBlocked([&] { w->item(Index)->setSelected(Value); });
}

int TListBox::SelCount() const
{
    const QListWidget* w = listWidget();
    return w == nullptr ? 0 : int(w->selectedItems().size());
}

void TListBox::ClearSelection()
{
    if (QListWidget* w = listWidget())
        WithSignalsBlocked([&] { w->clearSelection(); });
}

int TListBox::TopIndex() const
{
    const QListWidget* w = listWidget();
    if (w == nullptr || w->count() == 0)
        return 0;
    const int row = w->row(w->itemAt(QPoint(1, 1)));
    return row < 0 ? 0 : row;
}

void TListBox::SetTopIndex(int Value)
{
    QListWidget* w = listWidget();
    if (w == nullptr || Value < 0 || Value >= w->count())
        return;
    w->scrollToItem(w->item(Value), QAbstractItemView::PositionAtTop);
}

int TListBox::ItemAtPos(TPoint P, bool Existing) const
{
    const QListWidget* w = listWidget();
    if (w == nullptr)
        return -1;
    const QPoint inViewport = w->viewport()->mapFrom(w, QPoint(P.X, P.Y));
    const int row = w->row(w->itemAt(inViewport));
    if (row >= 0 || Existing)
        return row;
    return w->count();
}

TRect TListBox::ItemRect(int Index) const
{
    const QListWidget* w = listWidget();
    if (w == nullptr || Index < 0 || Index >= w->count())
        return TRect{0, 0, 0, 0};
    const QRect r = w->visualItemRect(w->item(Index));
    const QPoint topLeft = w->viewport()->mapTo(w, r.topLeft());
    return Rect(topLeft.x(), topLeft.y(), topLeft.x() + r.width(), topLeft.y() + r.height());
}

std::unique_ptr<QWidget> TListBox::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TToolkitWidget<QListWidget>>(this, ParentWidget);
    QObject::connect(w.get(), &QListWidget::currentRowChanged, [this] { notify(this, CN_COMMAND, LBN_SELCHANGE); });
    return w;
}

void TListBox::ItemsChanged()
{
    if (FItemIndex >= Items()->Count())
        FItemIndex = -1;
    UpdateWidget();
}

void TListBox::UpdateWidget()
{
    TWinControl::UpdateWidget();
    if (!HandleAllocated())
        return;
    auto* w = static_cast<QListWidget*>(Widget());
    WithSignalsBlocked([&] {
        QStringList items;
        for (int i = 0; i < Items()->Count(); ++i)
            items.push_back(Items()->Strings(i));
        QStringList current;
        for (int i = 0; i < w->count(); ++i)
            current.push_back(w->item(i)->text());
        if (current != items) {
            w->clear();
            w->addItems(items);
        }
        w->setSelectionMode(FMultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
        if (!FMultiSelect || FItemIndex < 0)
            w->setCurrentRow(FItemIndex);
        else
            w->setCurrentRow(FItemIndex, QItemSelectionModel::NoUpdate);
        QPalette pal = w->palette();
        pal.setColor(QPalette::Base, ColorToQColor(Color()));
        w->setPalette(pal);
    });
}

void TListBox::Dispatch(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND && HiWord(Message.WParam) == LBN_SELCHANGE) {
        FItemIndex = static_cast<QListWidget*>(Widget())->currentRow();
        Click();  // a list box reports a new selection as a click
        return;
    }
    TItemsControl::Dispatch(Message);
}
