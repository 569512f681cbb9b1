#include "ui/editors/vlTextEditInner.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QValidator>

#include "platform/controls/Menus.h"
#include "platform/controls/ToolkitWidget.h"
#include "ui/editors/vlEditScopes.h"

namespace {

// Answers the password character for one edit (an asterisk for #0) and
// shows typed characters masked at once.
class TPasswordStyle : public QProxyStyle {
public:
    explicit TPasswordStyle(const TvlCustomInnerTextEdit* AEdit) : FEdit(AEdit) {}
    int styleHint(StyleHint AHint, const QStyleOption* AOption, const QWidget* AWidget,
                  QStyleHintReturn* AReturn) const override
    {
        if (AHint == SH_LineEdit_PasswordCharacter) {
            const QChar c = FEdit->GetPasswordChar();
            return c.isNull() ? int('*') : int(c.unicode());
        }
        if (AHint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(AHint, AOption, AWidget, AReturn);
    }

private:
    const TvlCustomInnerTextEdit* FEdit;
};

// Upper or lower case for every way text gets in.
class TCaseValidator : public QValidator {
public:
    explicit TCaseValidator(TvlEditCharCase ACase) : FCase(ACase) {}
    State validate(QString& AInput, int&) const override
    {
        if (FCase == ecUpperCase)
            AInput = AInput.toUpper();
        else if (FCase == ecLowerCase)
            AInput = AInput.toLower();
        return Acceptable;
    }

private:
    TvlEditCharCase FCase;
};

}  // namespace

// The line edit behind the inner edit. The layer hands its events to the
// control first; what the line edit would still do on its own (clipboard
// keys, undo, middle-click paste, drops, input-method commits, its own
// menu, selecting on focus) is routed through the editor here.
class TvlCustomInnerTextEdit::TWidget : public TToolkitWidget<QLineEdit> {
public:
    TWidget(TvlCustomInnerTextEdit* AEdit, QWidget* AParent)
        : TToolkitWidget<QLineEdit>(AEdit, AParent), FEdit(AEdit), FStyle(std::make_unique<TPasswordStyle>(AEdit))
    {
        setFrame(false);
        setAcceptDrops(false);
        setDragEnabled(false);
        setContextMenuPolicy(Qt::DefaultContextMenu);
        FStyle->setParent(nullptr);
        setStyle(FStyle.get());
    }
    ~TWidget() override { setStyle(nullptr); }

    void setCaseValidator(TvlEditCharCase ACase)
    {
        FValidator = ACase == ecNormal ? nullptr : std::make_unique<TCaseValidator>(ACase);
        setValidator(FValidator.get());
    }

protected:
    bool event(QEvent* E) override
    {
        const bool result = TToolkitWidget<QLineEdit>::event(E);
        // Keys are the editor's once the inner edit had them: they must not
        // travel on to the editor's window as well.
        if (E->type() == QEvent::KeyPress || E->type() == QEvent::KeyRelease)
            E->accept();
        return result;
    }
    void keyPressEvent(QKeyEvent* E) override
    {
        if (!FEdit->routeShortcut(E))
            QLineEdit::keyPressEvent(E);
    }
    void inputMethodEvent(QInputMethodEvent* E) override
    {
        TvlCustomEdit* owner = FEdit->Container();
        if (owner != nullptr && !E->commitString().isEmpty()) {
            const QString commit = E->commitString();
            QInputMethodEvent preedit(E->preeditString(), E->attributes());
            QLineEdit::inputMethodEvent(&preedit);
            if (owner->DoEditing())
                FEdit->commitInput(commit);
            E->accept();
            return;
        }
        QLineEdit::inputMethodEvent(E);
    }
    void mousePressEvent(QMouseEvent* E) override
    {
        if (E->button() == Qt::MiddleButton) {
            E->accept();
            return;
        }
        QLineEdit::mousePressEvent(E);
    }
    void mouseReleaseEvent(QMouseEvent* E) override
    {
        // The primary selection pasted by a middle click would bypass the
        // editor.
        if (E->button() == Qt::MiddleButton) {
            E->accept();
            return;
        }
        QLineEdit::mouseReleaseEvent(E);
    }
    void dragEnterEvent(QDragEnterEvent* E) override { E->ignore(); }
    void dragMoveEvent(QDragMoveEvent* E) override { E->ignore(); }
    void dropEvent(QDropEvent* E) override { E->ignore(); }
    void contextMenuEvent(QContextMenuEvent* E) override
    {
        // The editor's menu, not the line edit's own.
        E->accept();
        TvlCustomEdit* owner = FEdit->Container();
        if (owner == nullptr || !owner->HandleAllocated())
            return;
        const QPoint g = E->globalPos();
        owner->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FEdit->Handle()), MakeLParam(g.x(), g.y()));
    }
    void focusInEvent(QFocusEvent* E) override
    {
        const int start = FEdit->FSavedSelStart, length = FEdit->FSavedSelLength;
        QLineEdit::focusInEvent(E);
        const bool bySelect = E->reason() == Qt::TabFocusReason || E->reason() == Qt::BacktabFocusReason
                              || E->reason() == Qt::ShortcutFocusReason || E->reason() == Qt::OtherFocusReason;
        if (FEdit->FAutoSelect && bySelect)
            selectAll();
        else if (E->reason() != Qt::MouseFocusReason)
            FEdit->restoreSelection(start, length);
        FEdit->applyAlignment();
    }
    void focusOutEvent(QFocusEvent* E) override
    {
        FEdit->saveSelection();
        const int start = FEdit->FSavedSelStart, length = FEdit->FSavedSelLength;
        QLineEdit::focusOutEvent(E);
        // Leaving keeps the selection, as the user left it.
        FEdit->restoreSelection(start, length);
        FEdit->applyAlignment();
    }

private:
    TvlCustomInnerTextEdit* FEdit;
    std::unique_ptr<TPasswordStyle> FStyle;
    std::unique_ptr<TCaseValidator> FValidator;
};

TvlCustomInnerTextEdit::TvlCustomInnerTextEdit(TvlCustomEdit* AEdit) : TWinControl(nullptr), FContainer(AEdit)
{
    FControlStyle.Include(csDoubleClicks);
    SetParentColor(true);
    SetParentFont(false);
    SetTabStop(false);
}

TvlCustomInnerTextEdit::~TvlCustomInnerTextEdit() = default;

std::unique_ptr<QWidget> TvlCustomInnerTextEdit::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TWidget>(this, ParentWidget);
    QObject::connect(w.get(), &QLineEdit::textChanged, [this] { Change(); });
    return w;
}

QLineEdit* TvlCustomInnerTextEdit::lineEdit() const
{
    return HandleAllocated() ? static_cast<QLineEdit*>(const_cast<TvlCustomInnerTextEdit*>(this)->Widget())
                             : nullptr;
}

void TvlCustomInnerTextEdit::InitializeWidget()
{
    TWinControl::InitializeWidget();
    QLineEdit* w = lineEdit();
    {
        const TvlEditRestore<bool> setting(FSettingText, true);
        WithSignalsBlocked([&] { w->setText(FText); });
    }
    w->setReadOnly(FReadOnly);
    w->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
    w->setPlaceholderText(FTextHint);
    static_cast<TWidget*>(w)->setCaseValidator(FCharCase);
    w->setAttribute(Qt::WA_InputMethodEnabled, FImeMode != imDisable);
    applyEchoMode();
    applyAlignment();
    AdjustMargins();
}

void TvlCustomInnerTextEdit::UpdateWidget()
{
    TWinControl::UpdateWidget();
    QLineEdit* w = lineEdit();
    if (w == nullptr)
        return;
    if (w->text() != FText) {
        const TvlEditRestore<bool> setting(FSettingText, true);
        w->setText(FText);
    }
}

void TvlCustomInnerTextEdit::AdjustMargins()
{
    if (QLineEdit* w = lineEdit())
        w->setTextMargins(0, 0, 1, 0);
}

String TvlCustomInnerTextEdit::TextValue() const
{
    const QLineEdit* w = lineEdit();
    return w != nullptr ? w->text() : FText;
}

bool TvlCustomInnerTextEdit::CanFocus() const
{
    return FContainer != nullptr ? FContainer->CanFocus() && TWinControl::CanFocus() : TWinControl::CanFocus();
}

void TvlCustomInnerTextEdit::Change()
{
    FText = TextValue();
    if (FOnChange)
        FOnChange(this);
}

// ---- the interface

LRESULT TvlCustomInnerTextEdit::CallDefWndProc(UINT AMsg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{AMsg, WParam, LParam, 0};
    TWinControl::DefaultHandler(message);
    QLineEdit* w = lineEdit();
    if (w == nullptr)
        return message.Result;
    switch (AMsg) {
    case WM_CUT: w->cut(); break;
    case WM_COPY: w->copy(); break;
    case WM_PASTE: w->paste(); break;
    case WM_CLEAR: w->del(); break;
    case WM_UNDO: w->undo(); break;
    default: break;
    }
    return message.Result;
}

void TvlCustomInnerTextEdit::LockBounds(bool ALock)
{
    if (ALock)
        ++FLockBoundsCount;
    else if (FLockBoundsCount > 0)
        --FLockBoundsCount;
}

void TvlCustomInnerTextEdit::SafelySetFocus()
{
    const TvlEditRestore<bool> noAutoSelect(FAutoSelect, false);
    SetFocus();
}

void TvlCustomInnerTextEdit::SetEditValue(const Variant& Value)
{
    const String text = VarToStr(Value);
    if (text == TextValue())
        return;
    FText = text;
    if (QLineEdit* w = lineEdit())
        w->setText(text);
    else
        Change();
}

void TvlCustomInnerTextEdit::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    if (QLineEdit* w = lineEdit())
        w->setReadOnly(Value);
}

void TvlCustomInnerTextEdit::ClearSelection()
{
    if (QLineEdit* w = lineEdit(); w != nullptr && w->hasSelectedText())
        w->del();
}

void TvlCustomInnerTextEdit::CopyToClipboard()
{
    if (QLineEdit* w = lineEdit())
        w->copy();
}

int TvlCustomInnerTextEdit::GetFirstVisibleCharIndex() const
{
    QLineEdit* w = lineEdit();
    return w != nullptr ? w->cursorPositionAt(QPoint(0, 0)) : 0;
}

int TvlCustomInnerTextEdit::GetSelStart() const
{
    const QLineEdit* w = lineEdit();
    if (w == nullptr)
        return 0;
    return w->hasSelectedText() ? w->selectionStart() : w->cursorPosition();
}

int TvlCustomInnerTextEdit::GetSelLength() const
{
    const QLineEdit* w = lineEdit();
    return w != nullptr && w->hasSelectedText() ? int(w->selectedText().size()) : 0;
}

int TvlCustomInnerTextEdit::GetCaretCharIndex() const
{
    const QLineEdit* w = lineEdit();
    return w != nullptr ? w->cursorPosition() : 0;
}

String TvlCustomInnerTextEdit::GetSelText() const
{
    const QLineEdit* w = lineEdit();
    return w != nullptr ? w->selectedText() : String();
}

void TvlCustomInnerTextEdit::saveSelection()
{
    FSavedSelStart = GetSelStart();
    FSavedSelLength = GetSelLength();
}

void TvlCustomInnerTextEdit::restoreSelection(int AStart, int ALength)
{
    QLineEdit* w = lineEdit();
    if (w == nullptr)
        return;
    if (ALength > 0)
        w->setSelection(AStart, ALength);
    else
        w->setCursorPosition(AStart);
}

void TvlCustomInnerTextEdit::SelectAll()
{
    if (QLineEdit* w = lineEdit()) {
        w->selectAll();
        if (OnSelChange)
            OnSelChange(this);
    }
}

void TvlCustomInnerTextEdit::SetSelStart(int Value)
{
    if (QLineEdit* w = lineEdit()) {
        w->setCursorPosition(Value);
        if (OnSelChange)
            OnSelChange(this);
    }
}

void TvlCustomInnerTextEdit::SetSelLength(int Value)
{
    if (QLineEdit* w = lineEdit()) {
        w->setSelection(GetSelStart(), std::max(0, Value));
        if (OnSelChange)
            OnSelChange(this);
    }
}

void TvlCustomInnerTextEdit::SetSelText(const String& Value)
{
    if (QLineEdit* w = lineEdit())
        w->insert(Value);
}

void TvlCustomInnerTextEdit::applyAlignment()
{
    QLineEdit* w = lineEdit();
    if (w == nullptr)
        return;
    // Typing runs left to right; the configured alignment shows unfocused.
    const bool left = FUseLeftAlignmentOnEditing && w->hasFocus();
    Qt::Alignment a = Qt::AlignLeft;
    if (!left && FAlignment == taRightJustify)
        a = Qt::AlignRight;
    else if (!left && FAlignment == taCenter)
        a = Qt::AlignHCenter;
    w->setAlignment(a | Qt::AlignVCenter);
}

void TvlCustomInnerTextEdit::applyEchoMode()
{
    if (QLineEdit* w = lineEdit()) {
        w->setEchoMode(FEchoMode == eemPassword ? QLineEdit::Password : QLineEdit::Normal);
        // The edit reads its password character from its style when the
        // style changes.
        QEvent styleChange(QEvent::StyleChange);
        QApplication::sendEvent(w, &styleChange);
        w->update();
    }
}

void TvlCustomInnerTextEdit::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    applyAlignment();
}

void TvlCustomInnerTextEdit::SetUseLeftAlignmentOnEditing(bool Value)
{
    FUseLeftAlignmentOnEditing = Value;
    applyAlignment();
}

void TvlCustomInnerTextEdit::SetCharCase(TvlEditCharCase Value)
{
    FCharCase = Value;
    if (QLineEdit* w = lineEdit())
        static_cast<TWidget*>(w)->setCaseValidator(Value);
}

void TvlCustomInnerTextEdit::SetEchoMode(TvlEditEchoMode Value)
{
    FEchoMode = Value;
    applyEchoMode();
}

void TvlCustomInnerTextEdit::SetPasswordChar(QChar Value)
{
    FPasswordChar = Value;
    applyEchoMode();
}

void TvlCustomInnerTextEdit::SetHideSelection(bool Value) { FHideSelection = Value; }

void TvlCustomInnerTextEdit::SetImeMode(TvlImeMode Value)
{
    FImeMode = Value;
    if (QLineEdit* w = lineEdit())
        w->setAttribute(Qt::WA_InputMethodEnabled, Value != imDisable);
}

void TvlCustomInnerTextEdit::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    if (QLineEdit* w = lineEdit())
        w->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}

void TvlCustomInnerTextEdit::SetTextHint(const String& Value)
{
    FTextHint = Value;
    if (QLineEdit* w = lineEdit())
        w->setPlaceholderText(Value);
}

void TvlCustomInnerTextEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FLockBoundsCount > 0)
        return;
    if (FContainer == nullptr) {
        TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
        return;
    }
    const bool saved = FContainer->IsSettingInnerControlBounds();
    FContainer->SetSettingInnerControlBounds(true);
    try {
        TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    } catch (...) {
        FContainer->SetSettingInnerControlBounds(saved);
        throw;
    }
    FContainer->SetSettingInnerControlBounds(saved);
}

// ---- state

void TvlCustomInnerTextEdit::SaveInnerTextEditState(TvlCustomInnerTextEditPrevState& AState, bool ASaveText) const
{
    AState.PrevSelStart = GetSelStart();
    AState.PrevSelLength = GetSelLength();
    AState.IsPrevTextSaved = ASaveText;
    if (ASaveText)
        AState.PrevText = TextValue();
}

bool TvlCustomInnerTextEdit::IsInnerTextEditStateChanged(const TvlCustomInnerTextEditPrevState& AState) const
{
    if (!HandleAllocated())
        return true;
    if (GetSelStart() != AState.PrevSelStart || GetSelLength() != AState.PrevSelLength)
        return true;
    return AState.IsPrevTextSaved && TextValue().compare(AState.PrevText, Qt::CaseInsensitive) != 0;
}

// ---- input

bool TvlCustomInnerTextEdit::WantsKey(uint16_t Key) const
{
    if (FContainer == nullptr)
        return false;
    if (Key == VK_RETURN || Key == VK_ESCAPE)
        return FContainer->IsInplace() || FContainer->HasPopupWindow();
    if (Key == VK_TAB)
        return FContainer->WantTabKey() && !QApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
    return true;
}

void TvlCustomInnerTextEdit::KeyDown(uint16_t& Key, TShiftState Shift)
{
    FInternalUpdating = false;
    if (FContainer != nullptr)
        FContainer->KeyDown(Key, Shift);
    // In place, Enter and Escape are the grid's: the edit does nothing
    // with them.
    if (Key != 0 && FContainer != nullptr && FContainer->IsInplace() && (Key == VK_RETURN || Key == VK_ESCAPE))
        Key = 0;
    if (Key == 0)
        FInternalUpdating = true;
}

void TvlCustomInnerTextEdit::KeyPress(QChar& Key)
{
    FInternalUpdating = false;
    if (Key == QChar('\t')) {
        Key = QChar(0);
        return;
    }
    if (FContainer != nullptr) {
        const bool wasEscapeHandled = FContainer->EscapeHandled();
        FContainer->KeyPress(Key);
        const bool enter = Key == QChar('\r'), escape = Key == QChar(char16_t(27));
        if ((enter || escape)
            && (FContainer->IsInplace() || (escape && wasEscapeHandled) || (enter && !FContainer->BeepOnEnter()))) {
            FContainer->SetEscapeHandled(false);
            Key = QChar(0);
        }
    }
    if (Key == QChar(0))
        FInternalUpdating = true;
}

void TvlCustomInnerTextEdit::KeyUp(uint16_t& Key, TShiftState Shift)
{
    FInternalUpdating = false;
    if (Key == VK_TAB) {
        Key = 0;
        return;
    }
    if (FContainer != nullptr)
        FContainer->KeyUp(Key, Shift);
    if (Key == 0)
        FInternalUpdating = true;
}

bool TvlCustomInnerTextEdit::routeShortcut(QKeyEvent* E)
{
    UINT msg = WM_NULL;
    const int key = E->key();
    const Qt::KeyboardModifiers mods = E->modifiers() & ~Qt::KeypadModifier;
    if (E->matches(QKeySequence::Paste) || (key == Qt::Key_Insert && mods == Qt::ShiftModifier))
        msg = WM_PASTE;
    else if (E->matches(QKeySequence::Cut) || (key == Qt::Key_Delete && mods == Qt::ShiftModifier))
        msg = WM_CUT;
    else if (E->matches(QKeySequence::Copy) || (key == Qt::Key_Insert && mods == Qt::ControlModifier))
        msg = WM_COPY;
    else if (E->matches(QKeySequence::Undo))
        msg = WM_UNDO;
    else if (E->matches(QKeySequence::Redo)) {
        // One level of undo, as the system's edit has: no redo.
        E->accept();
        return true;
    }
    if (msg == WM_NULL)
        return false;
    E->accept();
    Perform(msg, 0, 0);
    return true;
}

void TvlCustomInnerTextEdit::commitInput(const QString& AText)
{
    QString survivors;
    for (QChar c : AText) {
        QChar k = c;
        KeyPress(k);
        if (!k.isNull())
            survivors += k;
    }
    if (!survivors.isEmpty())
        if (QLineEdit* w = lineEdit())
            w->insert(survivors);
}

void TvlCustomInnerTextEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_KEYDOWN) {
        // A key the edit ignores (it changed neither text nor selection)
        // still reaches the application through the after-key-down event.
        TvlCustomInnerTextEditPrevState state;
        SaveInnerTextEditState(state, true);
        const uint16_t key = uint16_t(Message.WParam);
        const TShiftState shift = KeyDataToShiftState(Message.LParam);
        TWinControl::Dispatch(Message);
        if (key != 0 && !FInternalUpdating && FContainer != nullptr && !IsInnerTextEditStateChanged(state)) {
            uint16_t k = key;
            FContainer->DoAfterKeyDown(k, shift);
        }
        return;
    }
    TWinControl::Dispatch(Message);
}

void TvlCustomInnerTextEdit::DefaultHandler(TMessage& Message)
{
    if (FContainer != nullptr && FContainer->InnerControlDefaultHandler(Message))
        return;
    switch (Message.Msg) {
    case WM_CUT: case WM_COPY: case WM_PASTE: case WM_UNDO:
        Message.Result = CallDefWndProc(Message.Msg, Message.WParam, Message.LParam);
        if (Message.Msg == WM_UNDO)
            if (auto* owner = dynamic_cast<IvlInnerTextEditOwner*>(FContainer))
                owner->UndoPerformed();
        return;
    case WM_CLEAR:
        if (FReadOnly)
            return;
        if (auto* owner = dynamic_cast<IvlInnerTextEditOwner*>(FContainer)) {
            const TvlCustomEdit::TUserActionScope userAction(FContainer);
            owner->ClearSelection();
        } else {
            CallDefWndProc(WM_CLEAR, 0, 0);
        }
        return;
    default:
        TWinControl::DefaultHandler(Message);
        return;
    }
}

// ---- mouse and focus, told to the editor in its coordinates

void TvlCustomInnerTextEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWinControl::MouseDown(Button, Shift, X, Y);
    if (FContainer == nullptr)
        return;
    const bool saved = FContainer->IsInnerControlMouseDown();
    FContainer->SetInnerControlMouseDown(true);
    try {
        static_cast<TvlContainer*>(FContainer)->MouseDown(Button, Shift, X + Left(), Y + Top());
    } catch (...) {
        FContainer->SetInnerControlMouseDown(saved);
        throw;
    }
    FContainer->SetInnerControlMouseDown(saved);
}

void TvlCustomInnerTextEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWinControl::MouseUp(Button, Shift, X, Y);
    if (FContainer != nullptr)
        static_cast<TvlContainer*>(FContainer)->MouseUp(Button, Shift, X + Left(), Y + Top());
}

void TvlCustomInnerTextEdit::MouseMove(TShiftState Shift, int X, int Y)
{
    TWinControl::MouseMove(Shift, X, Y);
    if (FContainer != nullptr)
        static_cast<TvlContainer*>(FContainer)->MouseMove(Shift, X + Left(), Y + Top());
}

void TvlCustomInnerTextEdit::Click()
{
    TWinControl::Click();
    if (FContainer != nullptr)
        FContainer->Click();
}

void TvlCustomInnerTextEdit::DblClick()
{
    TWinControl::DblClick();
    if (FContainer != nullptr)
        FContainer->DblClick();
}

void TvlCustomInnerTextEdit::DoEnter()
{
    TWinControl::DoEnter();
    if (FContainer == nullptr || ComponentState().Contains(csDestroying))
        return;
    FContainer->InnerEditFocusEntered();
}

void TvlCustomInnerTextEdit::DoExit()
{
    TWinControl::DoExit();
    if (FContainer == nullptr || ComponentState().Contains(csDestroying))
        return;
    FContainer->InnerEditFocusLeft();
}
