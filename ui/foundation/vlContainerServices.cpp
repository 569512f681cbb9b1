// Routines around the container: border widths, shadow regions, band
// filling and invalidation, the size-grip corner, window tests, the posted
// message queue and string comparison.
#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include "platform/controls/Forms.h"
#include "ui/foundation/vlContainer.h"

// ---------------------------------------------------------- borders, rects

int GetContainerBorderWidth(TvlContainerBorderStyle ABorderStyle)
{
    static constexpr int widths[] = {0, 1, 2, 2, 2, 1, 1};
    return widths[ABorderStyle];
}

int GetLookAndFeelBorderWidth(TvlLookAndFeelKind AKind)
{
    static constexpr int widths[] = {2, 2, 1, 1};  // flat, standard, ultra-flat, Office 11
    return widths[AKind];
}

int GetSkinContainerBorderWidth(TvlContainerBorderStyle ABorderStyle, TvlLookAndFeelPainterClass ASkinPainter)
{
    if (ASkinPainter == nullptr)
        return GetContainerBorderWidth(ABorderStyle);
    switch (ABorderStyle) {
    case cbsNone: return 0;
    case cbsThick: return 2;
    default: return 1;
    }
}

TvlMouseButton ButtonToCxMouseButton(TMouseButton AButton)
{
    switch (AButton) {
    case mbLeft: return cxmbLeft;
    case mbRight: return cxmbRight;
    case mbMiddle: return cxmbMiddle;
    }
    return cxmbNone;
}

void ExtendRectByBorders(TRect& R, int ABorderWidth, TvlBorders AEdges)
{
    if (AEdges.Contains(bLeft))
        R.Left -= ABorderWidth;
    if (AEdges.Contains(bTop))
        R.Top -= ABorderWidth;
    if (AEdges.Contains(bRight))
        R.Right += ABorderWidth;
    if (AEdges.Contains(bBottom))
        R.Bottom += ABorderWidth;
}

void DeflateRectByMissingEdges(TRect& R, int ABorderWidth, TvlBorders AEdges)
{
    if (!AEdges.Contains(bLeft))
        R.Left += ABorderWidth;
    if (!AEdges.Contains(bTop))
        R.Top += ABorderWidth;
    if (!AEdges.Contains(bRight))
        R.Right -= ABorderWidth;
    if (!AEdges.Contains(bBottom))
        R.Bottom -= ABorderWidth;
}

TRect GetControlRect(const TControl* AControl) { return TRect{0, 0, AControl->Width(), AControl->Height()}; }

namespace {

// The bands of Outer around Inner: left, top, right, bottom (all of Outer
// when Inner is empty).
std::vector<TRect> bands(const TRect& AOuterRect, const TRect& AInnerRect)
{
    if (AInnerRect.IsEmpty())
        return {AOuterRect};
    return {TRect{AOuterRect.Left, AOuterRect.Top, AInnerRect.Left, AOuterRect.Bottom},
            TRect{AInnerRect.Left, AOuterRect.Top, AInnerRect.Right, AInnerRect.Top},
            TRect{AInnerRect.Right, AOuterRect.Top, AOuterRect.Right, AOuterRect.Bottom},
            TRect{AInnerRect.Left, AInnerRect.Bottom, AInnerRect.Right, AOuterRect.Bottom}};
}

}  // namespace

void FillRectBands(TvlCanvas* ACanvas, const TRect& AOuterRect, const TRect& AInnerRect, TColor AColor)
{
    if (AOuterRect.IsEmpty() || AOuterRect == AInnerRect)
        return;
    ACanvas->SetBrushColor(AColor);
    for (const TRect& band : bands(AOuterRect, AInnerRect))
        ACanvas->FillRect(band);
}

void InternalInvalidate(HWND AWnd, const TRect& AOuterRect, const TRect& AInnerRect, bool AEraseBackground)
{
    for (const TRect& band : bands(AOuterRect, AInnerRect))
        InvalidateRect(AWnd, &band, AEraseBackground);
}

void InvalidateControlRect(TWinControl* AControl, const TRect& R, bool AEraseBackground)
{
    if (AControl != nullptr && AControl->HandleAllocated())
        InvalidateRect(AControl->Handle(), &R, AEraseBackground);
}

void DrawContainerShadow(TvlCanvas* ACanvas, const TRect& R)
{
    ACanvas->SetBrushColor(clBtnShadow);
    const TRect bottom{R.Left + cxContainerShadowWidth, R.Bottom, R.Right, R.Bottom + cxContainerShadowWidth};
    ACanvas->FillRect(bottom);
    ACanvas->ExcludeClipRect(bottom);
    const TRect right{R.Right, R.Top + cxContainerShadowWidth, R.Right + cxContainerShadowWidth,
                      R.Bottom + cxContainerShadowWidth};
    ACanvas->FillRect(right);
    ACanvas->ExcludeClipRect(right);
}

// ------------------------------------------------------------ window regions

std::unique_ptr<TRegion> BuildShadowRegion(TWinControl*, const TRect& AShadowBounds, const TRect& AShadowBoundsExtent,
                                           const TRect& AExcludeRect, bool AHasShadow, bool ANoShadowRegion)
{
    if (!AHasShadow || ANoShadowRegion)
        return nullptr;
    auto region = std::make_unique<TRegion>(CreateRectRgnIndirect(AShadowBounds));
    TRect shadow = AShadowBounds;
    OffsetRect(shadow, cxContainerShadowWidth, cxContainerShadowWidth);
    shadow.Left += AShadowBoundsExtent.Left;
    shadow.Top += AShadowBoundsExtent.Top;
    shadow.Right -= AShadowBoundsExtent.Right;
    shadow.Bottom -= AShadowBoundsExtent.Bottom;
    CombineRgn(*region, *region, CreateRectRgnIndirect(shadow), RGN_OR);
    if (!AExcludeRect.IsEmpty())
        CombineRgn(*region, *region, CreateRectRgnIndirect(AExcludeRect), RGN_DIFF);
    return region;
}

std::unique_ptr<TRegion> GetCurrentWindowRegion(TWinControl* AWnd)
{
    if (AWnd == nullptr || !AWnd->HandleAllocated())
        return nullptr;
    QRegion current;
    if (auto* form = dynamic_cast<TCustomForm*>(AWnd))
        current = form->WindowRegion();
    else
        current = AWnd->Widget()->mask();
    if (current.isEmpty())
        return nullptr;
    return std::make_unique<TRegion>(current);
}

bool WindowRegionDiffers(TWinControl* AWnd, const TRegion* ANewRegion)
{
    const std::unique_ptr<TRegion> current = GetCurrentWindowRegion(AWnd);
    if (ANewRegion != nullptr)
        return current == nullptr || !EqualRgn(*ANewRegion, *current);
    return current != nullptr;
}

void ApplyWindowRegion(TWinControl* AWnd, std::unique_ptr<TRegion> ANewRegion)
{
    if (AWnd == nullptr || !AWnd->HandleAllocated() || !WindowRegionDiffers(AWnd, ANewRegion.get()))
        return;
    if (auto* form = dynamic_cast<TCustomForm*>(AWnd)) {
        form->SetWindowRegion(ANewRegion.get());
        return;
    }
    QWidget* widget = AWnd->Widget();
    if (ANewRegion != nullptr)
        widget->setMask(ANewRegion->Region());
    else
        widget->clearMask();
    widget->update();
}

void SetWindowShadowRegion(TWinControl* AWnd, const TRect& AShadowBounds, const TRect& AShadowBoundsExtent,
                           const TRect& AExcludeRect, bool AHasShadow, bool ANoShadowRegion)
{
    ApplyWindowRegion(AWnd, BuildShadowRegion(AWnd, AShadowBounds, AShadowBoundsExtent, AExcludeRect, AHasShadow,
                                              ANoShadowRegion));
}

void SetInnerControlRegion(TWinControl* AControl, const TvlInnerControlBounds& ABounds)
{
    if (AControl == nullptr || !AControl->HandleAllocated())
        return;
    QWidget* widget = AControl->Widget();
    if (ABounds.IsEmpty)
        widget->clearMask();
    else
        widget->setMask(CreateRectRgnIndirect(ABounds.Rect).Region());
    widget->update();
}

// ------------------------------------------------------ scroll bars, grip

bool UsevlScrollBars() { return true; }

TRect GetContainerSizeGripRect(IvlContainerInnerControl* AInnerControl)
{
    if (AInnerControl == nullptr)
        return {};
    TvlContainer* container = AInnerControl->GetControlContainer();
    TWinControl* inner = AInnerControl->GetControl();
    if (container == nullptr || inner == nullptr)
        return {};
    TvlScrollBar* hbar = container->HScrollBar();
    TvlScrollBar* vbar = container->VScrollBar();
    if (hbar == nullptr || vbar == nullptr || !hbar->Visible() || !vbar->Visible())
        return {};
    TPoint p = container->ClientToScreen(TPoint{vbar->Left(), hbar->Top()});
    const TPoint origin = inner->ClientToScreen(TPoint{0, 0});
    p.X -= origin.X;
    p.Y -= origin.Y;
    return TRect{p.X, p.Y, p.X + vbar->Width(), p.Y + hbar->Height()};
}

void FillSizeGripArea(TvlContainer* AContainer, const TRect& R)
{
    // The corner lies over the inner control, which the container keeps out
    // of it; the container paints it in its own client area.
    if (AContainer == nullptr || R.IsEmpty() || AContainer->Canvas() == nullptr)
        return;
    TRect r = R;
    if (TWinControl* inner = AContainer->InnerControl()) {
        const TPoint origin = AContainer->ScreenToClient(inner->ClientToScreen(TPoint{0, 0}));
        OffsetRect(r, origin.X, origin.Y);
    }
    AContainer->Canvas()->FillRectByColor(r, AContainer->LookAndFeelPainter()->DefaultSizeGripAreaColor());
}

// ------------------------------------------------------------ window tests

TvlContainer* GetvlContainer(TControl* AControl)
{
    if (auto* container = dynamic_cast<TvlContainer*>(AControl))
        return container;
    if (auto* inner = dynamic_cast<IvlContainerInnerControl*>(AControl))
        return inner->GetControlContainer();
    return nullptr;
}

namespace {

TWinControl* controlOfWindow(HWND AWnd)
{
    return AWnd != nullptr ? dynamic_cast<TWinControl*>(FindReceiver(AWnd)) : nullptr;
}

// AWnd names a window inside AParent's window (IsChild).
bool isChild(TWinControl* AParent, HWND AWnd)
{
    for (TWinControl* c = controlOfWindow(AWnd); c != nullptr; c = c->Parent())
        if (c->Parent() == AParent)
            return true;
    return false;
}

}  // namespace

bool HasNativeHandle(TWinControl* AControl, HWND AWnd, bool ACheckChildren)
{
    if (AControl == nullptr || !AControl->HandleAllocated() || AWnd == nullptr)
        return false;
    return AWnd == AControl->Handle() || (ACheckChildren && IsChildWindow(AControl, AWnd));
}

bool HasWindowHandle(TWinControl* AControl, HWND AWnd) { return HasNativeHandle(AControl, AWnd, false); }

bool IsChildWindow(TWinControl* AControl, HWND AWnd)
{
    if (AControl == nullptr || AWnd == nullptr || !AControl->HandleAllocated() || AWnd == AControl->Handle())
        return false;
    return isChild(AControl, AWnd);
}

bool HasOpenedPopupWindow(TControl* AControl)
{
    TvlContainer* container = GetvlContainer(AControl);
    return container != nullptr && container->HasPopupWindow();
}

bool IsWindowShown(TWinControl* AControl)
{
    return AControl != nullptr && AControl->HandleAllocated() && AControl->Widget()->isVisible();
}

TWinControl* FindTopLevelWindow(TWinControl* AWnd)
{
    TWinControl* c = AWnd;
    while (c != nullptr && c->Parent() != nullptr)
        c = c->Parent();
    return c;
}

namespace {

// The windowed control whose widget is W or holds it.
TWinControl* controlOfWidget(QWidget* W, TWinControl* ARoot)
{
    if (ARoot == nullptr || !ARoot->HandleAllocated())
        return nullptr;
    for (int i = ARoot->ControlCount() - 1; i >= 0; --i)
        if (auto* child = dynamic_cast<TWinControl*>(ARoot->Controls(i)))
            if (TWinControl* found = controlOfWidget(W, child))
                return found;
    QWidget* own = ARoot->Widget();
    return own == W || own->isAncestorOf(W) ? ARoot : nullptr;
}

}  // namespace

bool CanHotTrackControl(TControl* AControl)
{
    auto* control = dynamic_cast<TWinControl*>(AControl);
    if (control == nullptr || !control->HandleAllocated() || !control->Widget()->isVisible())
        return false;
    if (QGuiApplication::applicationState() != Qt::ApplicationActive && QApplication::activeWindow() == nullptr)
        return false;
    const TPoint pos = Mouse->CursorPos();
    QWidget* under = QApplication::widgetAt(QPoint(pos.X, pos.Y));
    if (under == nullptr || controlOfWidget(under, FindTopLevelWindow(control)) != control)
        return false;
    TCustomForm* form = GetParentForm(control);
    if (form == nullptr || form->FormStyle() == fsMDIForm || !form->HandleAllocated())
        return true;
    return form->Widget()->isActiveWindow();
}

bool AreVisualStylesMustBeUsed(bool ANativeStyle, TvxThemedObjectType AThemedObjectType)
{
    return ANativeStyle && OpenTheme(AThemedObjectType) != 0;
}

void RecreateControlWnd(TWinControl* AControl)
{
    // The layer keeps one widget per control for its whole life; what a
    // recreation would apply (style, colours, font) goes to it directly.
    if (AControl != nullptr && AControl->HandleAllocated())
        AControl->Invalidate();
}

void AssignFonts(TFont* ADest, const TFont* ASource)
{
    if (ADest != nullptr && ASource != nullptr)
        ADest->Assign(ASource);
}

// --------------------------------------------------------- input, messages

void InternalGetCursorPos(TPoint& P) { P = Mouse->CursorPos(); }

TShiftState InternalGetShiftState()
{
    TShiftState result;
    const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    if (mods & Qt::ShiftModifier) result.Include(ssShift);
    if (mods & Qt::ControlModifier) result.Include(ssCtrl);
    if (mods & Qt::AltModifier) result.Include(ssAlt);
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    if (buttons & Qt::LeftButton) result.Include(ssLeft);
    if (buttons & Qt::RightButton) result.Include(ssRight);
    if (buttons & Qt::MiddleButton) result.Include(ssMiddle);
    return result;
}

bool IsMessageInQueue(HWND AWnd, UINT AMessage)
{
    TMessage found;
    return PeekPostedMessage(AWnd, AMessage, AMessage, &found, false);
}

bool KillMessages(HWND AWnd, UINT AMsgFilterMin, UINT AMsgFilterMax, bool AKillAllMessages)
{
    // A single message number may be given alone.
    if (AMsgFilterMax < AMsgFilterMin)
        AMsgFilterMax = AMsgFilterMin;
    bool result = false;
    TMessage found;
    while (PeekPostedMessage(AWnd, AMsgFilterMin, AMsgFilterMax, &found, false)) {
        // A quit request stays where it is and ends the removal.
        if (found.Msg == WM_QUIT)
            break;
        PeekPostedMessage(AWnd, AMsgFilterMin, AMsgFilterMax, &found, true);
        result = true;
        if (!AKillAllMessages)
            break;
    }
    return result;
}

bool InternalCompareString(const String& S1, const String& S2, bool ACaseSensitive)
{
    if (!ACaseSensitive)
        return QLocale().toUpper(S1) == QLocale().toUpper(S2);
    return QString::localeAwareCompare(S1, S2) == 0;
}

void RepaintWindowOnGlass(HWND AWnd)
{
    if (TWinControl* control = controlOfWindow(AWnd))
        control->Invalidate();
}

void PaintWindowOnGlass(HWND) {}
