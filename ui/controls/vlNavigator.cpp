#include "ui/controls/vlNavigator.h"

#include <QImage>
#include <algorithm>

#include "platform/controls/Dialogs.h"
#include "platform/rtl/TypInfo.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/foundation/vlContainer.h"

using namespace vlEditConsts;

namespace {

const TResStringRec* const defaultHints[NavigatorButtonCount] = {
    &vlNavigatorHint_First, &vlNavigatorHint_PriorPage, &vlNavigatorHint_Prior, &vlNavigatorHint_Next,
    &vlNavigatorHint_NextPage, &vlNavigatorHint_Last, &vlNavigatorHint_Insert, &vlNavigatorHint_Append,
    &vlNavigatorHint_Delete, &vlNavigatorHint_Edit, &vlNavigatorHint_Post, &vlNavigatorHint_Cancel,
    &vlNavigatorHint_Refresh, &vlNavigatorHint_SaveBookmark, &vlNavigatorHint_GotoBookmark,
    &vlNavigatorHint_Filter};

constexpr unsigned firstPressInterval = 400;
constexpr unsigned pressRepeatInterval = 100;
constexpr unsigned hintInterval = 500;
// The strip's transparent colour: olive.
constexpr TColor glyphMaskColor = TColor(32896);

std::unique_ptr<TImageList>& defaultGlyphsHolder()
{
    static std::unique_ptr<TImageList> holder;
    return holder;
}
bool& defaultGlyphsFinalized()
{
    static bool finalized = false;
    return finalized;
}

bool isSkinPainter(TvlLookAndFeelPainterClass APainter)
{
    if (APainter == nullptr || APainter == GetNativeLookAndFeelPainterClass())
        return false;
    for (TvlLookAndFeelKind k : {lfFlat, lfStandard, lfUltraFlat, lfOffice11})
        if (APainter == GetLookAndFeelPainterClass(k))
            return false;
    return true;
}

}  // namespace

TImageList* GetNavigatorDefaultGlyphs()
{
    auto& holder = defaultGlyphsHolder();
    if (holder == nullptr && !defaultGlyphsFinalized()) {
        const QImage image(QStringLiteral(":/painters/VLNAVIGATORBUTTONS.xpm"));
        if (image.isNull())
            return nullptr;
        holder = std::make_unique<TImageList>(nullptr);
        holder->SetWidth(12);
        holder->SetHeight(11);
        TBitmap strip;
        strip.SetImage(image.convertToFormat(QImage::Format_RGB32));
        holder->AddMasked(&strip, glyphMaskColor);
    }
    return holder.get();
}

// ---- TvlNavigatorControlNotifier -------------------------------------------------------

void TvlNavigatorControlNotifier::AddNavigator(IvlNavigatorOwner* ANavigator)
{
    if (ANavigator != nullptr && std::find(FList.begin(), FList.end(), ANavigator) == FList.end())
        FList.push_back(ANavigator);
}

void TvlNavigatorControlNotifier::RemoveNavigator(IvlNavigatorOwner* ANavigator)
{
    std::erase(FList, ANavigator);
}

void TvlNavigatorControlNotifier::RefreshNavigatorButtons()
{
    const std::vector<IvlNavigatorOwner*> list = FList;
    for (IvlNavigatorOwner* n : list)
        n->RefreshNavigator();
}

// ---- TvlNavigatorButton ---------------------------------------------------------------

TvlNavigatorButton::TvlNavigatorButton(TvlCustomNavigatorButtons* AButtons, int AIndex, bool ADefaultVisible)
    : FButtons(AButtons), FIndex(AIndex), FDefaultVisible(ADefaultVisible), FVisible(ADefaultVisible)
{
}

TPersistent* TvlNavigatorButton::GetOwner() const { return FButtons; }

void TvlNavigatorButton::Assign(const TPersistent* Source)
{
    if (const auto* b = dynamic_cast<const TvlNavigatorButton*>(Source)) {
        SetEnabled(b->FEnabled);
        SetHint(b->FHint);
        SetImageIndex(b->FImageIndex);
        SetVisible(b->FVisible);
        FVisibleAssigned = b->FVisibleAssigned;
        SetOnClick(b->FOnClick);
    } else
        TPersistent::Assign(Source);
}

void TvlNavigatorButton::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    FButtons->buttonChanged(2, FVisible);
}

void TvlNavigatorButton::SetHint(const String& Value)
{
    if (FHint.compare(Value, Qt::CaseSensitive) == 0)
        return;
    FHint = Value;
    FButtons->buttonChanged(0, false);
}

void TvlNavigatorButton::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    FButtons->buttonChanged(2, FVisible);
}

void TvlNavigatorButton::SetVisible(bool Value)
{
    FVisibleAssigned = true;
    if (FVisible == Value)
        return;
    FVisible = Value;
    FButtons->buttonChanged(1, true);
}

void TvlNavigatorButton::SetOnClick(const TNotifyEvent& Value)
{
    if (FOnClick == Value)
        return;
    FOnClick = Value;
    FButtons->buttonChanged(0, false);
}

bool TvlNavigatorButton::IsEnabled() const
{
    return FEnabled && FButtons->GetButtonEnabled(FIndex);
}

String TvlNavigatorButton::GetHint() const
{
    return FHint.isEmpty() ? FButtons->GetButtonHint(FIndex) : FHint;
}

bool TvlNavigatorButton::IsUserImageUsed() const
{
    return FButtons->Images() != nullptr && FImageIndex >= 0;
}

TSize TvlNavigatorButton::GetImageSize() const
{
    if (IsUserImageUsed())
        return TSize{FButtons->Images()->Width(), FButtons->Images()->Height()};
    const TvlLookAndFeel* look = FButtons->Navigator()->GetNavigatorLookAndFeel();
    const TvlLookAndFeelPainterClass p = look != nullptr ? look->Painter() : nullptr;
    if (isSkinPainter(p)) {
        TSize size;
        p->NavigatorGlyphExtent(size);
        return size;
    }
    const TImageList* glyphs = GetNavigatorDefaultGlyphs();
    return glyphs != nullptr ? TSize{glyphs->Width(), glyphs->Height()} : TSize{12, 11};
}

void TvlNavigatorButton::Click()
{
    if (FOnClick) {
        FOnClick(this);
        return;
    }
    bool done = false;
    if (FButtons->OnButtonClick().Assigned())
        FButtons->OnButtonClick()(FButtons, FIndex, done);
    if (!done)
        FButtons->DoButtonClick(FIndex);
}

// ---- TvlCustomNavigatorButtons --------------------------------------------------------

TvlCustomNavigatorButtons::TvlCustomNavigatorButtons(IvlNavigatorOwner* ANavigator)
    : FNavigator(ANavigator), FImageChangeLink(std::make_unique<TChangeLink>())
{
    FImageChangeLink->OnChange = TNotifyEvent(this, &TvlCustomNavigatorButtons::imagesChanged);
    CreateButtons();
}

TvlCustomNavigatorButtons::~TvlCustomNavigatorButtons()
{
    if (FImages != nullptr)
        FImages->UnRegisterChanges(FImageChangeLink.get());
    DestroyButtons();
}

void TvlCustomNavigatorButtons::CreateButtons()
{
    for (int i = 0; i < NavigatorButtonCount; ++i)
        FButtons.push_back(std::make_unique<TvlNavigatorButton>(this, i, i != NBDI_APPEND));
}

TPersistent* TvlCustomNavigatorButtons::GetOwner() const
{
    return FNavigator != nullptr ? FNavigator->GetNavigatorOwner() : nullptr;
}

void TvlCustomNavigatorButtons::Assign(const TPersistent* Source)
{
    if (const auto* b = dynamic_cast<const TvlCustomNavigatorButtons*>(Source)) {
        for (int i = 0; i < std::min(ButtonCount(), b->ButtonCount()); ++i)
            Buttons(i)->Assign(b->Buttons(i));
        SetConfirmDelete(b->FConfirmDelete);
        SetImages(b->FImages);
        SetOnButtonClick(b->FOnButtonClick);
    } else
        TPersistent::Assign(Source);
}

void TvlCustomNavigatorButtons::buttonChanged(int AKind, bool AStateChanged)
{
    if (FNavigator == nullptr)
        return;
    if (AStateChanged)
        FNavigator->NavigatorStateChanged();
    FNavigator->NavigatorChanged(AKind);
}

void TvlCustomNavigatorButtons::SetConfirmDelete(bool Value)
{
    if (FConfirmDelete == Value)
        return;
    FConfirmDelete = Value;
    buttonChanged(0, false);
}

void TvlCustomNavigatorButtons::SetImages(TImageList* Value)
{
    TComponent* owner = FNavigator != nullptr ? FNavigator->GetNavigatorOwner() : nullptr;
    AssignImageList(Value, FImages, FImageChangeLink.get(), owner);
    buttonChanged(2, false);
}

void TvlCustomNavigatorButtons::imagesChanged(TObject*)
{
    // The link also fires when the list goes away.
    FImages = FImageChangeLink->Sender();
    if (FNavigator != nullptr)
        FNavigator->NavigatorStateChanged();
}

void TvlCustomNavigatorButtons::SetOnButtonClick(const TvlNavigatorButtonClickEvent& Value)
{
    if (FOnButtonClick == Value)
        return;
    FOnButtonClick = Value;
    buttonChanged(0, false);
}

bool TvlCustomNavigatorButtons::GetButtonEnabled(int) const
{
    const TWinControl* c = FNavigator != nullptr ? FNavigator->GetNavigatorControl() : nullptr;
    return c != nullptr && c->Enabled();
}

String TvlCustomNavigatorButtons::GetButtonHint(int AButtonIndex) const
{
    if (AButtonIndex < 0 || AButtonIndex >= NavigatorButtonCount)
        return String();
    return GetResourceString(*defaultHints[AButtonIndex]);
}

// ---- TvlNavigatorControlButtons ---------------------------------------------------------

const TClassInfo& TvlNavigatorControlButtons::StaticClassInfo()
{
    using C = TvlNavigatorControlButtons;
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlNavigatorControlButtons")
            .Bool("ConfirmDelete", &C::ConfirmDelete, &C::SetConfirmDelete, true)
            .Build();
    return info;
}

const TClassInfo* TvlNavigatorControlButtons::ClassInfo() const { return &StaticClassInfo(); }

bool TvlNavigatorControlButtons::GetButtonEnabled(int AButtonIndex) const
{
    IvlNavigator* data = control();
    if (data == nullptr || !TvlCustomNavigatorButtons::GetButtonEnabled(AButtonIndex))
        return false;
    if (!data->IsActive())
        return AButtonIndex == NBDI_FILTER;
    switch (AButtonIndex) {
    case NBDI_FIRST: case NBDI_PRIORPAGE: case NBDI_PRIOR: return !data->IsBof();
    case NBDI_NEXT: case NBDI_NEXTPAGE: case NBDI_LAST: return !data->IsEof();
    case NBDI_INSERT: return data->CanInsert();
    case NBDI_APPEND: return data->CanAppend();
    case NBDI_DELETE: return data->CanDelete();
    case NBDI_EDIT: return data->CanEdit() && !data->IsEditing();
    case NBDI_POST: case NBDI_CANCEL: return data->IsEditing();
    case NBDI_GOTOBOOKMARK: return data->IsBookmarkAvailable();
    default: return true;
    }
}

void TvlNavigatorControlButtons::DoButtonClick(int AButtonIndex)
{
    if (IvlNavigator* data = control()) {
        const bool confirmed =
            AButtonIndex != NBDI_DELETE || !ConfirmDelete() ||
            MessageDlg(GetResourceString(vlNavigator_DeleteRecordQuestion), mtConfirmation,
                       TMsgDlgButtons{mbOK, mbCancel}) == mrOk;
        if (confirmed)
            data->DoAction(AButtonIndex);
    }
    if (Navigator() != nullptr)
        Navigator()->RefreshNavigator();
}

void TvlNavigatorControlButtons::ReleaseBookmark()
{
    IvlNavigator* data = control();
    if (data != nullptr && data->IsBookmarkAvailable())
        data->ClearBookmark();
}

// ---- TvlNavigatorViewInfo -----------------------------------------------------------------

TvlNavigatorViewInfo::TvlNavigatorViewInfo(IvlNavigatorOwner* ANavigator, bool AIsInplace)
    : FNavigator(ANavigator), FIsInplace(AIsInplace), FPressTimer(std::make_unique<TvlTimer>(nullptr)),
      FHintTimer(std::make_unique<TvlTimer>(nullptr))
{
    FPressTimer->SetEnabled(false);
    FPressTimer->SetOnTimer(TNotifyEvent(this, &TvlNavigatorViewInfo::ButtonPressTimerHandler));
    FHintTimer->SetEnabled(false);
    FHintTimer->SetInterval(hintInterval);
    FHintTimer->SetOnTimer(TNotifyEvent(this, &TvlNavigatorViewInfo::HintTimerHandler));
}

TvlNavigatorViewInfo::~TvlNavigatorViewInfo()
{
    FPressTimer.reset();
    FHintTimer.reset();
    FHintWindow.reset();
    FCanvas.reset();
}

TvlLookAndFeelPainterClass TvlNavigatorViewInfo::painter() const
{
    const TvlLookAndFeel* look = FNavigator->GetNavigatorLookAndFeel();
    TvlLookAndFeelPainterClass p = look != nullptr ? look->GetAvailablePainterForType(totButton) : nullptr;
    return p != nullptr ? p : GetLookAndFeelPainterClass(lfStandard);
}

TShiftState TvlNavigatorViewInfo::GetShiftState() const
{
    return InternalGetShiftState();
}

TvlNavigatorButtonViewInfo* TvlNavigatorViewInfo::viewInfoOf(const TvlNavigatorButton* AButton) const
{
    for (const auto& v : FButtons)
        if (v->Button == AButton)
            return v.get();
    return nullptr;
}

TSize TvlNavigatorViewInfo::GetButtonSize(int APosition, bool AFlag) const
{
    const TSize glyph = Items(APosition)->Button->GetImageSize();
    TRect borders;
    painter()->GetButtonGroupBorders(3, 1, borders);
    const int w = glyph.cx + borders.Left + borders.Right + 1;
    const int h = (AFlag ? glyph.cy : 0) + borders.Top + borders.Bottom + 1;
    return TSize{w, h};
}

void TvlNavigatorViewInfo::CalculateBounds(int& AWidth, int& AHeight, bool AFlag)
{
    FBounds = FNavigator->GetNavigatorBounds();
    FIsDirty = true;
    TvlNavigatorButton* hot = FHotButton != nullptr ? FHotButton->Button : nullptr;
    TvlNavigatorButton* pressed = FPressedButton != nullptr ? FPressedButton->Button : nullptr;
    FHotButton = nullptr;
    FPressedButton = nullptr;

    TvlCustomNavigatorButtons* buttons = FNavigator->GetNavigatorButtons();
    std::vector<TvlNavigatorButton*> visible;
    for (int i = 0; i < buttons->ButtonCount(); ++i)
        if (buttons->Buttons(i)->Visible())
            visible.push_back(buttons->Buttons(i));
    FButtons.resize(visible.size());
    int sum = 0, height = 0;
    for (size_t k = 0; k < visible.size(); ++k) {
        if (FButtons[k] == nullptr)
            FButtons[k] = std::make_unique<TvlNavigatorButtonViewInfo>(visible[k]);
        FButtons[k]->Button = visible[k];
        if (visible[k] == hot)
            FHotButton = FButtons[k].get();
        if (visible[k] == pressed)
            FPressedButton = FButtons[k].get();
        const TSize size = GetButtonSize(int(k), AFlag);
        sum += size.cx;
        height = std::max(height, size.cy);
    }
    AHeight = std::max(AHeight, height);
    int extra = 0;
    const int count = int(visible.size());
    if (AWidth < sum)
        AWidth = sum;
    else if (count > 0) {
        extra = (AWidth - sum) / count;
        AWidth = sum + extra * count;
    }
    int x = FBounds.Left;
    for (int k = 0; k < count; ++k) {
        const int w = GetButtonSize(k, false).cx + extra;
        FButtons[size_t(k)]->Bounds = Bounds(x, FBounds.Top, w, AHeight);
        x += w;
    }
}

void TvlNavigatorViewInfo::Calculate()
{
    const TRect r = FNavigator->GetNavigatorBounds();
    int w = r.Width(), h = r.Height();
    CalculateBounds(w, h, false);
    for (const auto& v : FButtons) {
        v->Enabled = v->Button->IsEnabled();
        v->Hint = v->Button->GetHint();
    }
    FIsDirty = false;
}

TvlButtonState TvlNavigatorViewInfo::GetButtonState(const TvlNavigatorButtonViewInfo* AButton) const
{
    if (!AButton->Enabled)
        return vlbsDisabled;
    if (AButton == FPressedButton && AButton == FHotButton)
        return vlbsPressed;
    if (AButton == FHotButton)
        return vlbsHot;
    return vlbsNormal;
}

TvlNavigatorButtonViewInfo* TvlNavigatorViewInfo::GetButtonAt(int X, int Y) const
{
    for (const auto& v : FButtons)
        if (PtInRect(v->Bounds, Point(X, Y)))
            return v.get();
    return nullptr;
}

TvlNavigatorButtonViewInfo* TvlNavigatorViewInfo::GetFocusedButtonViewInfo()
{
    if (FFocusedButton != nullptr && !FFocusedButton->Visible())
        FFocusedButton = nullptr;
    TvlNavigatorButtonViewInfo* v = viewInfoOf(FFocusedButton);
    if (v == nullptr && !FButtons.empty())
        v = FButtons.front().get();
    return v;
}

void TvlNavigatorViewInfo::setFocusedButton(TvlNavigatorButton* AButton)
{
    TvlNavigatorButtonViewInfo* old = GetFocusedButtonViewInfo();
    FFocusedButton = AButton;
    if (old != nullptr)
        invalidateButton(old);
    if (TvlNavigatorButtonViewInfo* v = viewInfoOf(AButton))
        invalidateButton(v);
}

void TvlNavigatorViewInfo::invalidateButton(const TvlNavigatorButtonViewInfo* AButton)
{
    TWinControl* c = FNavigator->GetNavigatorControl();
    if (AButton != nullptr && c != nullptr && c->HandleAllocated())
        InvalidateWindowRect(c->Handle(), AButton->Bounds, false);
}

void TvlNavigatorViewInfo::Paint()
{
    TCanvas* target = FNavigator->GetNavigatorCanvas();
    if (target == nullptr)
        return;
    if (FCanvas == nullptr || FCanvas->Canvas() != target)
        FCanvas = std::make_unique<TvlCanvas>(target);
    if (FIsDirty)
        Calculate();
    for (int k = 0; k < Count(); ++k)
        paintButton(k);
    TWinControl* c = FNavigator->GetNavigatorControl();
    const bool designing = c != nullptr && c->ComponentState().Contains(csDesigning);
    const bool enabled = c != nullptr && c->Enabled();
    const TRect bounds = FNavigator->GetNavigatorBounds();
    painter()->DrawNavigatorBorder(FCanvas.get(), bounds, FSelected || (!FIsInplace && designing && enabled),
                                   FIsInplace && enabled);
    if (FIsInplace)
        FCanvas->ExcludeClipRect(bounds);
}

void TvlNavigatorViewInfo::paintButton(int APosition)
{
    TvlNavigatorButtonViewInfo* v = Items(APosition);
    if (!FCanvas->RectVisible(v->Bounds))
        return;
    const TvlButtonState state = GetButtonState(v);
    const TvlLookAndFeelPainterClass p = painter();
    const int count = Count();
    TRect r;
    p->AdjustGroupButtonDisplayRect(v->Bounds, count, APosition, r);
    TRect content = r;
    TRect borders;
    p->GetButtonGroupBorders(count, APosition, borders);
    DeflateRectByMargins(content, borders);
    const TSize glyph = v->Button->GetImageSize();
    TRect g = Bounds(content.Left + (content.Width() - glyph.cx) / 2, content.Top + (content.Height() - glyph.cy) / 2,
                     glyph.cx, glyph.cy);
    if (state == vlbsPressed)
        OffsetRect(g, 1, 1);
    if (r.IsEmpty())
        return;
    TvlBitmap bitmap(r, pf32bit);
    TvlCanvas* bc = bitmap.vlCanvas();
    if (TWinControl* c = FNavigator->GetNavigatorControl()) {
        SetWindowOrgEx(bc->Handle(), r.Left, r.Top, nullptr);
        DrawTransparentControlBackground(c, bc, r);
        SetWindowOrgEx(bc->Handle(), 0, 0, nullptr);
    }
    p->DrawButtonInGroup(bc, bitmap.GetClientRect(), state, count, APosition, clWindow);
    const bool user = v->Button->IsUserImageUsed();
    TImageList* images = user ? FNavigator->GetNavigatorButtons()->Images() : GetNavigatorDefaultGlyphs();
    if (images != nullptr)
        p->DrawNavigatorGlyph(bc, images, user ? v->Button->ImageIndex() : v->Button->Index(), v->Button->Index(),
                              Point(g.Left - r.Left, g.Top - r.Top), state != vlbsDisabled, user);
    BitBltRect(FCanvas->Handle(), bc->Handle(), r, SRCCOPY, Point(0, 0));
    if (FNavigator->GetNavigatorTabStop() && FNavigator->GetNavigatorFocused() && GetFocusedButtonViewInfo() == v) {
        TRect f = g;
        InflateRect(f, 1, 1);
        FCanvas->DrawFocusRect(f);
    }
    if (p == TvlWinXPLookAndFeelPainter::Instance())
        FCanvas->ExcludeClipRect(v->Bounds);
}

void TvlNavigatorViewInfo::MouseDown(int X, int Y)
{
    FHintTimer->SetEnabled(false);
    UpdateHint(false);
    TvlNavigatorButtonViewInfo* v = GetButtonAt(X, Y);
    if (v != nullptr && GetButtonState(v) != vlbsDisabled) {
        FPressTimer->SetEnabled(false);
        FPressTimer->SetInterval(firstPressInterval);
        FPressTimer->SetEnabled(true);
        FPressedButton = v;
        setFocusedButton(v->Button);
        invalidateButton(v);
    }
    updateSelection();
}

void TvlNavigatorViewInfo::MouseMove(int X, int Y)
{
    TvlNavigatorButtonViewInfo* v = GetButtonAt(X, Y);
    if (v != FHotButton) {
        if (FHotButton != nullptr && GetButtonState(FHotButton) != vlbsDisabled)
            invalidateButton(FHotButton);
        FHotButton = v;
        if (v != nullptr && GetButtonState(v) != vlbsDisabled)
            invalidateButton(v);
        if (FHintShowing)
            UpdateHint(true);
        else {
            FHintTimer->SetEnabled(false);
            FHintTimer->SetEnabled(true);
        }
    }
    if (FHotButton == nullptr)
        UpdateHint(false);
    updateSelection();
}

void TvlNavigatorViewInfo::MouseUp(int X, int Y)
{
    FPressTimer->SetEnabled(false);
    TvlNavigatorButtonViewInfo* pressed = FPressedButton;
    FPressedButton = nullptr;
    invalidateButton(pressed);
    FHintTimer->SetEnabled(true);
    updateSelection();
    if (pressed != nullptr && PtInRect(pressed->Bounds, Point(X, Y)) && pressed->Enabled)
        pressed->Button->Click();
}

void TvlNavigatorViewInfo::ButtonPressTimerHandler(TObject*)
{
    if (!GetShiftState().Contains(ssLeft)) {
        FPressTimer->SetEnabled(false);
        MouseUp(-1, -1);
        return;
    }
    FPressTimer->SetInterval(pressRepeatInterval);
    TvlNavigatorButtonViewInfo* v = FPressedButton;
    if (v != nullptr && v == FHotButton && v->Enabled &&
        (v->Button->Index() == NBDI_PRIOR || v->Button->Index() == NBDI_NEXT)) {
        try {
            v->Button->Click();
        } catch (...) {
            FPressTimer->SetEnabled(false);
            throw;
        }
    }
}

void TvlNavigatorViewInfo::HintTimerHandler(TObject*)
{
    UpdateHint(true);
}

void TvlNavigatorViewInfo::UpdateHint(bool AShow)
{
    if (FHintWindow != nullptr)
        FHintWindow->ReleaseHandle();
    FHintWindow.reset();
    FHintTimer->SetEnabled(false);
    FHintShowing = false;
    const String text = FHotButton != nullptr ? GetShortHint(FHotButton->Hint) : String();
    TWinControl* c = FNavigator->GetNavigatorControl();
    if (!AShow || !FNavigator->GetNavigatorShowHint() || text.isEmpty() || c == nullptr || !CanHotTrackControl(c))
        return;
    FHintWindow = std::make_unique<THintWindow>(nullptr);
    TRect r = FHintWindow->CalcHintRect(Screen->Width(), text, nullptr);
    TPoint p;
    InternalGetCursorPos(p);
    OffsetRect(r, p.X, p.Y + GetCursorSize().cy);
    FHintWindow->SetColor(Application != nullptr ? Application->HintColor() : clInfoBk);
    FHintWindow->ActivateHint(r, text);
    FHintShowing = true;
}

void TvlNavigatorViewInfo::updateSelection()
{
    if (!painter()->IsButtonHotTrack())
        return;
    const bool selected = FHotButton != nullptr || FPressedButton != nullptr || FNavigator->GetNavigatorFocused();
    TWinControl* c = FNavigator->GetNavigatorControl();
    if (selected == FSelected || c == nullptr || !c->HandleAllocated())
        return;
    FSelected = selected;
    const TRect b = FNavigator->GetNavigatorBounds();
    TRect inner = b;
    InflateRect(inner, -1, -1);
    InternalInvalidate(c->Handle(), b, inner, false);
}

void TvlNavigatorViewInfo::UpdateButtonsEnabled()
{
    for (const auto& v : FButtons) {
        const bool enabled = v->Button->IsEnabled();
        if (v->Enabled != enabled) {
            v->Enabled = enabled;
            invalidateButton(v.get());
        }
    }
}

void AddvlNavigatorUnit(TStartupList& AList)
{
    AList.Add(String::fromLatin1("vlNavigator"), [] { defaultGlyphsFinalized() = false; },
              [] {
                  defaultGlyphsHolder().reset();
                  defaultGlyphsFinalized() = true;
              });
}
