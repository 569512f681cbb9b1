// vlMaskEditControl.cpp - the masked editor control: its mode made and
// replaced as the settings change, keys, characters, pastes and cuts
// routed through the mode, masked text and value conversions, and the
// published editor with its filter helper and registrations.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QWidget>

#include "platform/controls/ToolkitWidget.h"
#include "platform/rtl/Startup.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlEditScopes.h"
#include "ui/editors/vlMaskEdit.h"
#include "ui/editors/vlTextEditScopes.h"

namespace {

const QChar kBackspace(char16_t(8));

int qtKeyOf(uint16_t Key)
{
    switch (Key) {
    case VK_LEFT: return Qt::Key_Left;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_HOME: return Qt::Key_Home;
    case VK_END: return Qt::Key_End;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_BACK: return Qt::Key_Backspace;
    default: return Qt::Key_unknown;
    }
}

Qt::KeyboardModifiers modifiersOf(TShiftState Shift)
{
    Qt::KeyboardModifiers result;
    if (Shift.Contains(ssShift))
        result |= Qt::ShiftModifier;
    if (Shift.Contains(ssCtrl))
        result |= Qt::ControlModifier;
    if (Shift.Contains(ssAlt))
        result |= Qt::AltModifier;
    return result;
}

String clipboardTextNow()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText() ? data->text() : String();
}

}  // namespace

// ------------------------------------------------------------ making

TvlCustomMaskEdit::TvlCustomMaskEdit(TComponent* AOwner, bool AIsInplace)
    : TvlCustomMaskEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlCustomMaskEdit::TvlCustomMaskEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlCustomTextEdit(AOwner, AIsInplace, TDeferInitialize{})
{
}

TvlCustomMaskEdit::~TvlCustomMaskEdit()
{
    // The mode goes before the text editor's part of the editor.
    FMaskMode.reset();
}

void TvlCustomMaskEdit::Initialize()
{
    if (Initialized())
        return;
    TvlCustomTextEdit::Initialize();
    init();
}

void TvlCustomMaskEdit::init()
{
    FMaskMode = std::make_unique<TvlMaskEditStandardMode>(this, ActiveProperties());
    FShiftSelecting = false;
    renewEmptyText();
    PropertiesChanged(ActiveProperties());
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomMaskEdit::CreateProperties()
{
    return std::make_unique<TvlCustomMaskEditProperties>(this);
}

void TvlCustomMaskEdit::renewEmptyText()
{
    ActiveProperties()->SetEmptyText(IsMasked() && FMaskMode ? FMaskMode->GetBlankText() : String());
}

// ------------------------------------------------------------ settings changed

void TvlCustomMaskEdit::PropertiesChanged(TObject* Sender)
{
    if (!FMaskMode || ComponentState().Contains(csDestroying) || !Initialized()) {
        TvlCustomTextEdit::PropertiesChanged(Sender);
        return;
    }
    TvlCustomMaskEditProperties* properties = ActiveProperties();
    const String mask = properties->GetEditMask();
    const bool maskChanged = FMaskMode->CompiledMask() != mask || properties->FormatChanging();
    const bool kindChanged = FMaskMode->ModeKind() != properties->MaskKind();
    const bool caseChanged = properties->CharCase() != FMaskMode->LastCharCase();
    const bool echoChanged = properties->EchoMode() != FMaskMode->LastEchoMode();
    int savedStart = 0, savedLength = 0;
    properties->LockUpdate(true);
    try {
        bool crossing = false;
        if (kindChanged) {
            crossing = (FMaskMode->ModeKind() == emkStandard) != (properties->MaskKind() == emkStandard);
            FMaskMode.reset();
            FMaskMode = properties->CreateMode(this, properties->MaskKind());
            // A standard mask means nothing to an expression, nor the reverse.
            if (crossing)
                properties->SetStoredEditMask(TvlEditMask());
            if (!maskChanged) {
                const String effective = properties->GetEditMask();
                FMaskMode->CompileMask(effective);
                if (!IsBlankMask(effective))
                    FMaskMode->SyncEditValue();
                renewEmptyText();
            }
        }
        if (maskChanged) {
            // Set together with the kind: the new mask stays.
            if (crossing)
                properties->SetStoredEditMask(mask);
            properties->SetMaxLength(0);
            FMaskMode->CompileMask(mask);
            if (!IsBlankMask(mask))
                FMaskMode->SyncEditValue();
            else if (isStandardMode() && HandleAllocated() && InnerTextEdit() != nullptr
                     && InnerTextEdit()->GetSelLength() == 1)
                InternalSetSelLength(0);
            renewEmptyText();
        }
        if (caseChanged) {
            if (properties->CharCase() == ecNormal) {
                if (IvlInnerTextEdit* inner = InnerTextEdit())
                    inner->SetCharCase(ecNormal);
                FMaskMode->SyncEditValue();
            }
            FMaskMode->SetLastCharCase(properties->CharCase());
        }
        if (echoChanged && HandleAllocated() && InnerTextEdit() != nullptr) {
            savedStart = InnerTextEdit()->GetSelStart();
            savedLength = InnerTextEdit()->GetSelLength();
        }
        // The blank mask goes in only where there is no value: a value set
        // before the editor had its window stays.
        if (IsMasked() && VarIsNull(EditValue()))
            FMaskMode->ApplyPendingEditValue();
    } catch (...) {
        properties->LockUpdate(false);
        throw;
    }
    properties->LockUpdate(false);
    TvlCustomTextEdit::PropertiesChanged(Sender);
    if (echoChanged) {
        if (HandleAllocated() && InnerTextEdit() != nullptr) {
            InternalSetSelStart(savedStart);
            InternalSetSelLength(savedLength);
        }
        FMaskMode->SetLastEchoMode(properties->EchoMode());
    }
    if (kindChanged || caseChanged || maskChanged) {
        String text;
        GetInnerEditText(text);
        FStrippedText = FMaskMode->StripText(text, true);
    }
}

// ------------------------------------------------------------ the mode's access

void TvlCustomMaskEdit::InternalSetSelStart(int Value)
{
    const TvlEditRestore<bool> setting(FSettingSelection, true);
    if (IvlInnerTextEdit* inner = InnerTextEdit())
        inner->SetSelStart(Value);
}

void TvlCustomMaskEdit::InternalSetSelLength(int Value)
{
    const TvlEditRestore<bool> setting(FSettingSelection, true);
    if (IvlInnerTextEdit* inner = InnerTextEdit())
        inner->SetSelLength(Value);
}

void TvlCustomMaskEdit::sendToInnerEdit(QKeyEvent& AEvent)
{
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (inner == nullptr || !inner->GetControl()->HandleAllocated())
        return;
    // The edit's own key handling, not the message path: a message sent
    // while a key is being handled would replay that key instead.
    auto* bridge = dynamic_cast<IToolkitWidget*>(inner->GetControl()->Widget());
    if (bridge == nullptr)
        return;
    const TvlEditRestore<bool> sending(FSendingKeys, true);
    bridge->CallBase(&AEvent);
}

void TvlCustomMaskEdit::SendKeyDownToInnerEdit(uint16_t Key, TShiftState Shift)
{
    QKeyEvent e(QEvent::KeyPress, qtKeyOf(Key), modifiersOf(Shift));
    sendToInnerEdit(e);
}

void TvlCustomMaskEdit::SendCharToInnerEdit(QChar AChar)
{
    QKeyEvent e(QEvent::KeyPress, AChar == kBackspace ? int(Qt::Key_Backspace) : int(Qt::Key_unknown),
                Qt::NoModifier, QString(AChar));
    sendToInnerEdit(e);
}

void TvlCustomMaskEdit::HandleInnerEditSelChange(TObject* Sender)
{
    TvlCustomTextEdit::HandleInnerEditSelChange(Sender);
    if (!FSettingSelection && FMaskMode && IsMasked())
        FMaskMode->CaretMoved();
}

// ------------------------------------------------------------ keys

void TvlCustomMaskEdit::KeyDown(uint16_t& Key, TShiftState Shift)
{
    if (!FSendingKeys)
        TvlCustomTextEdit::KeyDown(Key, Shift);
}

void TvlCustomMaskEdit::KeyPress(QChar& Key)
{
    if (!FSendingKeys)
        TvlCustomTextEdit::KeyPress(Key);
}

void TvlCustomMaskEdit::KeyUp(uint16_t& Key, TShiftState Shift)
{
    if (!FSendingKeys)
        TvlCustomTextEdit::KeyUp(Key, Shift);
}

void TvlCustomMaskEdit::DoEditKeyDown(uint16_t& Key, TShiftState Shift)
{
    const TvlCustomMaskEditProperties* properties = ActiveProperties();
    const TShortCut shortCut = ShortCut(Key, Shift.Contains(ssShift), Shift.Contains(ssCtrl), Shift.Contains(ssAlt));
    const bool clearKey = properties->ClearKey() != 0 && shortCut == properties->ClearKey();
    if (!IsMasked() || !FMaskMode || Key == 0 || clearKey || IsClickKey(Key, Shift)) {
        TvlCustomTextEdit::DoEditKeyDown(Key, Shift);
        return;
    }
    if (!ValidateKeyDown(Key, Shift)) {
        DoAfterKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    if (Key == VK_TAB) {
        TvlCustomTextEdit::DoEditKeyDown(Key, Shift);
        return;
    }
    FShiftSelecting = Shift.Contains(ssShift);
    const bool ctrl = Shift.Contains(ssCtrl);
    switch (Key) {
    case VK_UP: case VK_DOWN:
        if (!HasPopupWindow()) {
            DoAfterKeyDown(Key, Shift);
            Key = 0;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT: {
        const bool left = Key == VK_LEFT;
        if (ctrl) {
            SendKeyDownToInnerEdit(left ? VK_HOME : VK_END, Shift);
            if (!(left ? FMaskMode->KeyHome() : FMaskMode->KeyEnd()))
                Key = 0;
            break;
        }
        const bool atEdge = left ? FMaskMode->IsCaretAtStart() : FMaskMode->IsCaretAtEnd();
        if (!(left ? FMaskMode->KeyLeft() : FMaskMode->KeyRight())) {
            // At the edge the key still tells a grid to move on.
            if (atEdge)
                DoAfterKeyDown(Key, Shift);
            Key = 0;
        }
        break;
    }
    case VK_DELETE:
        if (!Shift.Contains(ssShift)) {
            const TUserActionScope userAction(this);
            if (!FMaskMode->KeyDelete())
                Key = 0;
        } else if (InnerTextEdit() != nullptr && InnerTextEdit()->GetSelLength() == 0) {
            // Shift belongs to the key here, not to a selection: Backspace
            // would otherwise take it for selecting and do nothing.
            FShiftSelecting = false;
            const TUserActionScope userAction(this);
            if (!FMaskMode->KeyBackspace())
                Key = 0;
        }
        break;
    case VK_HOME:
        if (!FMaskMode->KeyHome())
            Key = 0;
        break;
    case VK_END:
        if (!FMaskMode->KeyEnd())
            Key = 0;
        break;
    default:
        break;
    }
    if (Key != 0)
        TvlCustomTextEdit::DoEditKeyDown(Key, Shift);
}

void TvlCustomMaskEdit::DoEditKeyPress(QChar& Key)
{
    if (!IsMasked() || !FMaskMode) {
        TvlCustomTextEdit::DoEditKeyPress(Key);
        return;
    }
    if (Key == QChar('\t') || Key == QChar(char16_t(27)) || !ValidateKeyPress(Key)) {
        Key = QChar(0);
        return;
    }
    if (Key == QChar('\r'))
        return;
    if (Key == QChar(char16_t(3)) || Key == QChar(char16_t(22)) || Key == QChar(char16_t(24))) {
        TvlCustomTextEdit::DoEditKeyPress(Key);
        return;
    }
    bool handled = false;
    {
        const TUserActionScope userAction(this);
        handled = Key == kBackspace ? FMaskMode->KeyBackspace() : FMaskMode->KeyChar(Key);
    }
    if (!handled)
        Key = QChar(0);
}

// ------------------------------------------------------------ text and value

void TvlCustomMaskEdit::ChangeHandler(TObject* Sender)
{
    if (IsMasked() && FMaskMode) {
        String text;
        GetInnerEditText(text);
        FStrippedText = FMaskMode->StripText(text, true);
    }
    TvlCustomTextEdit::ChangeHandler(Sender);
}

String TvlCustomMaskEdit::GetEditingText() const
{
    return IsMasked() && FMaskMode ? FStrippedText : TvlCustomTextEdit::GetEditingText();
}

bool TvlCustomMaskEdit::SetEditingTextValue(const String& AText)
{
    if (!IsMasked() || !FMaskMode)
        return TvlCustomTextEdit::SetEditingTextValue(AText);
    SetInternalEditValue(Variant(AText));
    return true;
}

void TvlCustomMaskEdit::SetInternalDisplayValue(const Variant& V)
{
    if (!IsMasked() || !FMaskMode || ComponentState().Contains(csLoading)) {
        TvlCustomTextEdit::SetInternalDisplayValue(V);
        return;
    }
    const String text = VarToStr(V);
    String shown;
    if (Focused() || !isStandardMode() || ActiveProperties()->AlwaysShowBlanksAndLiterals())
        shown = FMaskMode->FormatText(text, true);
    else
        shown = FMaskMode->StripText(text, true);
    TvlCustomTextEdit::SetInternalDisplayValue(Variant(shown));
    if (CanSynchronizeModeText())
        FMaskMode->TextAssigned(Text());
}

void TvlCustomMaskEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused)
{
    if (!IsMasked() || !FMaskMode) {
        TvlCustomTextEdit::PrepareEditValue(ADisplayValue, AEditValue, AEditFocused);
        return;
    }
    if (AEditFocused || !isStandardMode()) {
        AEditValue = Variant(FMaskMode->StripText(VarToStr(ADisplayValue), true));
        return;
    }
    const auto* standard = dynamic_cast<const TvlMaskEditStandardMode*>(FMaskMode.get());
    if (standard != nullptr && !standard->StandardMask().SaveLiterals()
        && ActiveProperties()->AlwaysShowBlanksAndLiterals()) {
        AEditValue = Variant(FMaskMode->StripText(VarToStr(ADisplayValue), true));
        return;
    }
    TvlCustomTextEdit::PrepareEditValue(ADisplayValue, AEditValue, AEditFocused);
}

void TvlCustomMaskEdit::SynchronizeDisplayValue()
{
    TvlCustomTextEdit::SynchronizeDisplayValue();
    if (IsMasked() && FMaskMode && CanSynchronizeModeText())
        FMaskMode->TextAssigned(Text());
}

void TvlCustomMaskEdit::UndoPerformed()
{
    TvlCustomTextEdit::UndoPerformed();
    if (IsMasked() && FMaskMode && CanSynchronizeModeText())
        FMaskMode->TextAssigned(Text());
}

void TvlCustomMaskEdit::ReformatDisplayText() { SetInternalDisplayValue(Variant(Text())); }

void TvlCustomMaskEdit::Loaded()
{
    TvlCustomTextEdit::Loaded();
    if (IsMasked() && FMaskMode) {
        LockChangeEvents(true);
        try {
            ReformatDisplayText();
        } catch (...) {
            LockChangeEvents(false, false);
            throw;
        }
        LockChangeEvents(false, false);
    }
}

void TvlCustomMaskEdit::DoValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError)
{
    ActiveProperties()->ValidateMaskedText(ADisplayValue, AErrorText, AError, this);
    TvlCustomTextEdit::DoValidateDisplayValue(ADisplayValue, AErrorText, AError);
}

// ------------------------------------------------------------ clipboard

void TvlCustomMaskEdit::SetSelText(const String& AText)
{
    if (!IsMasked() || !FMaskMode || FPasting) {
        TvlCustomTextEdit::SetSelText(AText);
        return;
    }
    // The text overwrites as many characters as it brings, whatever the
    // clipboard holds.
    const TvlEditRestore<bool> pasting(FPasting, true);
    FMaskMode->SetPasteLength(int(AText.size()));
    FMaskMode->BeginPaste();
    TvlCustomTextEdit::SetSelText(AText);
    FMaskMode->FinishPaste();
}

void TvlCustomMaskEdit::PasteFromClipboard()
{
    if (!IsMasked() || !FMaskMode) {
        TvlCustomTextEdit::PasteFromClipboard();
        return;
    }
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasText())
        return;
    const String text = clipboardTextNow();
    const TvlEditRestore<bool> pasting(FPasting, true);
    FMaskMode->SetPasteLength(int(text.size()));
    FMaskMode->BeginPaste();
    TvlCustomTextEdit::SetSelText(text);
    FMaskMode->FinishPaste();
}

void TvlCustomMaskEdit::CutToClipboard()
{
    IvlInnerTextEdit* inner = InnerTextEdit();
    if (!IsMasked() || !FMaskMode || inner == nullptr) {
        TvlCustomTextEdit::CutToClipboard();
        return;
    }
    if (Focused() && !DoEditing())
        return;
    if (inner->GetSelLength() > 0)
        inner->CopyToClipboard();
    const TUserActionScope userAction(this);
    if (FMaskMode->KeyDelete())
        SendCharToInnerEdit(kBackspace);
}

bool TvlCustomMaskEdit::DoInnerControlDefaultHandler(TMessage& Message)
{
    // The inner edit's own clipboard keys take the masked way too: a plain
    // paste would shift the text against the mask.
    if (IsMasked() && FMaskMode && (Message.Msg == WM_PASTE || Message.Msg == WM_CUT)) {
        const TUserActionScope userAction(this);
        IvlInnerTextEdit* inner = InnerTextEdit();
        if (inner == nullptr || inner->GetReadOnly())
            return true;
        if (Message.Msg == WM_CUT) {
            CutToClipboard();
            return true;
        }
        if (!clipboardTextNow().isEmpty() && DoEditing())
            PasteFromClipboard();
        return true;
    }
    return TvlCustomTextEdit::DoInnerControlDefaultHandler(Message);
}

// ------------------------------------------------------------ mouse and focus

void TvlCustomMaskEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && IsMasked() && FMaskMode)
        FMaskMode->CaretMoved();
    TvlCustomTextEdit::MouseDown(Button, Shift, X, Y);
}

void TvlCustomMaskEdit::MouseMove(TShiftState Shift, int X, int Y)
{
    if (Shift.Contains(ssLeft) && IsMasked() && FMaskMode) {
        const TvlEditRestore<bool> selecting(FShiftSelecting, true);
        FMaskMode->CaretMoved();
    }
    TvlContainer::MouseMove(Shift, X, Y);
}

void TvlCustomMaskEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TvlContainer::MouseUp(Button, Shift, X, Y);
}

void TvlCustomMaskEdit::DblClick()
{
    if (IsMasked() && FMaskMode)
        FMaskMode->AllSelected();
    TvlCustomTextEdit::DblClick();
}

void TvlCustomMaskEdit::DoEnter()
{
    if (IsMasked() && FMaskMode && ActiveProperties()->AutoSelect())
        FMaskMode->AllSelected();
    TvlCustomTextEdit::DoEnter();
}

// ------------------------------------------------------------ painting and spelling

void TvlCustomMaskEdit::LockInnerEditRepainting()
{
    if (!IsMasked() || InnerEdit() == nullptr || !InnerEdit()->GetControl()->HandleAllocated()) {
        TvlCustomTextEdit::LockInnerEditRepainting();
        return;
    }
    InnerEdit()->GetControl()->Widget()->setUpdatesEnabled(false);
}

void TvlCustomMaskEdit::UnlockInnerEditRepainting()
{
    if (!IsMasked() || InnerEdit() == nullptr || !InnerEdit()->GetControl()->HandleAllocated()) {
        TvlCustomTextEdit::UnlockInnerEditRepainting();
        return;
    }
    InnerEdit()->GetControl()->Widget()->setUpdatesEnabled(true);
    InnerEdit()->GetControl()->Invalidate();
}

bool TvlCustomMaskEdit::CanSpellCheck() const { return !IsMasked() && TvlCustomTextEdit::CanSpellCheck(); }

// ------------------------------------------------------------ the published editor

TvlMaskEdit::TvlMaskEdit(TComponent* AOwner, bool AIsInplace) : TvlMaskEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlMaskEdit::TvlMaskEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlCustomMaskEdit(AOwner, AIsInplace, TDeferInitialize{})
{
}

std::unique_ptr<TvlCustomEditProperties> TvlMaskEdit::CreateProperties()
{
    return std::make_unique<TvlMaskEditProperties>(this);
}

const TClassInfo& TvlMaskEdit::StaticClassInfo()
{
    using C = TvlMaskEdit;
    static const TClassInfo info = TClassInfoBuilder<C>("TvlMaskEdit", &TvlCustomEdit::StaticClassInfo())
                                       .Bool("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter, true)
                                       .Build();
    return info;
}

// ------------------------------------------------------------ filter helper

const TClassInfo& TvlFilterMaskEditHelper::StaticClassInfo()
{
    static const TClassInfo info{String::fromLatin1("TvlFilterMaskEditHelper"),
                                 &TvlFilterTextEditHelper::StaticClassInfo(), {}};
    return info;
}

const TClassInfo& TvlFilterMaskEditHelper::HelperClass() const { return StaticClassInfo(); }

const TvlFilterMaskEditHelper* TvlFilterMaskEditHelper::Instance()
{
    static const TvlFilterMaskEditHelper instance;
    return &instance;
}

TvlClass TvlFilterMaskEditHelper::FilterEditClass() const { return &TvlMaskEditProperties::StaticClassInfo(); }

TvlFilterControlOperators TvlFilterMaskEditHelper::SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                                      TvlValueTypeClass AValueTypeClass,
                                                                      bool AExtended) const
{
    TvlFilterControlOperators result = 0;
    for (const TvlFilterControlOperator op : {1, 2, 3, 4, 5, 6, 9, 10})
        result |= FilterControlOperatorBit(op);
    const auto* mask = dynamic_cast<const TvlCustomMaskEditProperties*>(AProperties);
    if ((mask == nullptr || !mask->IsMasked()) && AValueTypeClass != nullptr && AValueTypeClass->IsStringType())
        result |= FilterControlOperatorBit(7) | FilterControlOperatorBit(8);
    if (AExtended)
        for (const TvlFilterControlOperator op : {11, 12, 13, 14})
            result |= FilterControlOperatorBit(op);
    return result;
}

void TvlFilterMaskEditHelper::InitializeProperties(TvlCustomEditProperties* AProperties,
                                                   const TvlCustomEditProperties* ASource, bool AKeepButtons) const
{
    TvlFilterTextEditHelper::InitializeProperties(AProperties, ASource, AKeepButtons);
    auto* mask = dynamic_cast<TvlCustomMaskEditProperties*>(AProperties);
    if (mask == nullptr)
        return;
    if (const auto* source = dynamic_cast<const TvlCustomMaskEditProperties*>(ASource);
        source != nullptr && source->MaskKind() == emkRegExpr)
        mask->SetMaskKind(emkRegExprEx);
    mask->SetAutoSelect(!mask->IsMasked());
}

// ------------------------------------------------------------ registration

void AddvlMaskEditUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlMaskEdit"),
        [] {
            RegisterEditProperties(
                &TvlMaskEditProperties::StaticClassInfo(),
                GetResourceString(vlEditConsts::svlSEditRepositoryMaskItem),
                [](TPersistent* AOwner) { return std::make_unique<TvlMaskEditProperties>(AOwner); });
            GetFilterEditsController()->Register(&TvlMaskEditProperties::StaticClassInfo(),
                                                 TvlFilterMaskEditHelper::Instance());
        },
        [] {
            GetFilterEditsController()->Unregister(&TvlMaskEditProperties::StaticClassInfo(),
                                                   TvlFilterMaskEditHelper::Instance());
            UnregisterEditProperties(&TvlMaskEditProperties::StaticClassInfo());
        });
}
