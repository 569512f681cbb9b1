// The cells of a view and their painters: params worked out once per
// calculation, text placement, borders, the normal/hot/pressed states, the
// popup a cell owns, hit tests, hints for cut texts, and the paint order.
#include <algorithm>

#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomView.h"

namespace {

// Measuring box of a text that may grow without limit.
constexpr int measureExtent = 0x3FFFFFFF;

TRect intersection(const TRect& A, const TRect& B)
{
    TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
    if (r.Right < r.Left)
        r.Right = r.Left;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top;
    return r;
}

bool contains(const TRect& R, const TPoint& P) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; }

// Selects AFont, turned by AAngle degrees, into ACanvas for one measurement.
class TFontForMeasuring {
public:
    TFontForMeasuring(TvlCanvas* ACanvas, const TFont* AFont, int AAngle) : FCanvas(ACanvas), FAngle(AAngle)
    {
        if (AFont != nullptr)
            FCanvas->SetFont(AFont);
        if (FAngle != 0)
            FCanvas->SetFontAngle(FAngle);
    }
    ~TFontForMeasuring()
    {
        if (FAngle != 0)
            FCanvas->SetFontAngle(0);
    }
    TFontForMeasuring(const TFontForMeasuring&) = delete;
    TFontForMeasuring& operator=(const TFontForMeasuring&) = delete;

private:
    TvlCanvas* FCanvas;
    int FAngle;
};

}  // namespace

// ---- cell view info -----------------------------------------------------------------------

TvlCustomGridCellViewInfo::TvlCustomGridCellViewInfo() = default;

TvlCustomGridCellViewInfo::~TvlCustomGridCellViewInfo()
{
    // A cell freed without its BeforeDestruction still leaves no link behind.
    releaseLinks();
}

void TvlCustomGridCellViewInfo::AfterConstruction()
{
    // Layouts make their cells again on every calculation: the new cell of
    // the one that opened a still visible popup takes the popup over.
    if (ClosePopupWhenNilOwner() || !IsPopupOwner())
        return;
    TvlCustomGridPopup* popup = GetPopup();
    if (popup != nullptr && popup->IsVisible() && PopupHasNoOwner()) {
        popup->SetPopupOwner(this);
        SetState(gcmsPressed);
    }
}

void TvlCustomGridCellViewInfo::BeforeDestruction()
{
    FIsDestroying = true;
    if (FLinkedHitTest != nullptr) {
        if (FLinkedHitTest->CellViewInfo() == this)
            FLinkedHitTest->LinkCellViewInfo(nullptr);
        FLinkedHitTest = nullptr;
    }
    if (IsPopupOwner()) {
        TvlCustomGridPopup* popup = GetPopup();
        if (popup != nullptr && popup->PopupOwner() == static_cast<IvlCustomGridPopupOwner*>(this))
            popup->SetPopupOwner(nullptr);
    }
    SetMouseCapture(false);
    SetState(gcmsNormal);
    releaseLinks();
}

void TvlCustomGridCellViewInfo::releaseLinks()
{
    FIsDestroying = true;
    if (FLinkedHitTest != nullptr && FLinkedHitTest->CellViewInfo() == this)
        FLinkedHitTest->LinkCellViewInfo(nullptr);
    FLinkedHitTest = nullptr;
    EndMouseTracking(this);
}

void TvlCustomGridCellViewInfo::CaptureLost() { SetState(gcmsNormal); }

void TvlCustomGridCellViewInfo::MouseLeave()
{
    if (IsMouseCaptured())
        return;
    if (FState == gcmsHot || (FState == gcmsPressed && !HasPopup()))
        SetState(gcmsNormal);
}

void TvlCustomGridCellViewInfo::AfterCalculateBounds(TRect& R)
{
    (void)R;
    ResetCachedBounds();
}

void TvlCustomGridCellViewInfo::ReadParamsFromCanvas(TvlCanvas* ACanvas)
{
    Params.Color = ACanvas->Brush()->Color();
    Params.Font = ACanvas->Font();
    Params.TextColor = ACanvas->Font()->Color();
}

void TvlCustomGridCellViewInfo::WriteParamsToCanvas(TvlCanvas* ACanvas)
{
    ACanvas->SetBrushColor(Params.Color);
    if (Params.Font != nullptr)
        ACanvas->SetFont(Params.Font);
    ACanvas->Font()->SetColor(Params.TextColor);
}

TRect TvlCustomGridCellViewInfo::CalculateClientBounds()
{
    TRect r = Bounds;
    r.Left += BorderSize(bLeft);
    r.Top += BorderSize(bTop);
    r.Right -= BorderSize(bRight);
    r.Bottom -= BorderSize(bBottom);
    return r;
}

void TvlCustomGridCellViewInfo::DoCalculateParams()
{
    AlignmentHorz = GetAlignmentHorz();
    AlignmentVert = GetAlignmentVert();
    GetViewParams(Params);
    Borders = GetBorders();
    GetText(Text);
    MultiLine = CalculateMultiLine();
    MultiLinePainting = CalculateMultiLinePainting();
    SetWidth(CalculateWidth());
}

void TvlCustomGridCellViewInfo::Invalidate()
{
    if (TvlControl* control = GetControl())
        control->InvalidateRect(Bounds, true);
}

bool TvlCustomGridCellViewInfo::CustomDraw(TvlCanvas* ACanvas)
{
    if (!HasCustomDraw())
        return false;
    WriteParamsToCanvas(ACanvas);
    const bool done = DoCustomDraw(ACanvas);
    if (!done)
        ReadParamsFromCanvas(ACanvas);
    return done;
}

bool TvlCustomGridCellViewInfo::CustomDrawBackground(TvlCanvas* ACanvas)
{
    if (!HasCustomDrawBackground())
        return false;
    WriteParamsToCanvas(ACanvas);
    const bool done = DoCustomDrawBackground(ACanvas);
    if (!done)
        ReadParamsFromCanvas(ACanvas);
    return done;
}

void TvlCustomGridCellViewInfo::GetBorderBounds(TvlBorder ASide, TRect& R)
{
    R = ClientBounds();
    const int width = GetBorderWidth(ASide);
    switch (ASide) {
    case bLeft:
        R.Right = R.Left;
        R.Left -= width;
        break;
    case bTop:
        R.Bottom = R.Top;
        R.Top -= width;
        break;
    case bRight:
        R.Left = R.Right;
        R.Right += width;
        break;
    case bBottom:
        R.Top = R.Bottom;
        R.Bottom += width;
        break;
    }
    // Side strips reach over the corners of the top and bottom borders.
    if (ASide == bLeft || ASide == bRight) {
        if (Borders.Contains(bTop))
            R.Top -= GetBorderWidth(bTop);
        if (Borders.Contains(bBottom))
            R.Bottom += GetBorderWidth(bBottom);
    }
}

void TvlCustomGridCellViewInfo::GetFocusRectBounds(TRect& R)
{
    R = Bounds;
    R.Left += 1;
    R.Top += 1;
    R.Right -= 1;
    R.Bottom -= 1;
}

bool TvlCustomGridCellViewInfo::IsMouseCaptured()
{
    TvlControl* control = GetControl();
    return control != nullptr && control->MouseCaptureObject() == this;
}

TvlGridCellPainterClass TvlCustomGridCellViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlCustomGridCellPainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

void TvlCustomGridCellViewInfo::GetTextAreaBounds(TRect& R)
{
    R = ContentBounds();
    R.Left += 2;
    R.Top += 2;
    R.Right -= 2;
    R.Bottom -= 2;
}

int TvlCustomGridCellViewInfo::GetTextAttributes(bool AForPainting)
{
    int result = ShowEndEllipsis() ? vltfEndEllipsis : 0;
    switch (AlignmentHorz) {
    case taLeftJustify: result |= vltfLeft; break;
    case taRightJustify: result |= vltfRight; break;
    case taCenter: result |= vltfHCenter; break;
    }
    switch (AlignmentVert) {
    case vaTop: result |= vltfTop; break;
    case vaBottom: result |= vltfBottom; break;
    case vaCenter: result |= vltfVCenter; break;
    }
    const bool multiLine = AForPainting ? MultiLinePainting : MultiLine;
    result |= multiLine ? vltfWordBreak : vltfSingleLine;
    return result;
}

int TvlCustomGridCellViewInfo::GetTextCellHeight(TvlCustomGridViewInfo* AGridViewInfo, const void* AParam)
{
    CalculateParams();
    const int textHeight = MultiLine ? TextHeight() : AGridViewInfo->GetFontHeight(Params.Font);
    return GetCellHeight(textHeight, AParam);
}

bool TvlCustomGridCellViewInfo::IsOwnHitTest(const TvlCustomGridHitTest* AHitTest)
{
    TvlGridHitTestClass own = GetHitTestClass();
    return AHitTest != nullptr && own != nullptr && typeid(*AHitTest) == *own->Type;
}

void TvlCustomGridCellViewInfo::InitHitTest(TvlCustomGridHitTest* AHitTest) { SetLinkedHitTest(AHitTest); }

void TvlCustomGridCellViewInfo::DoOffset(int DX, int DY)
{
    auto move = [DX, DY](TRect& R) {
        R.Left += DX;
        R.Right += DX;
        R.Top += DY;
        R.Bottom += DY;
    };
    move(Bounds);
    if (FHasCachedClientBounds)
        move(FCachedClientBounds);
    if (FHasCachedContentBounds)
        move(FCachedContentBounds);
}

void TvlCustomGridCellViewInfo::SetMouseCapture(bool Value)
{
    TvlControl* control = GetControl();
    if (control == nullptr || Value == IsMouseCaptured())
        return;
    control->SetMouseCaptureObject(Value ? this : nullptr);
}

void TvlCustomGridCellViewInfo::StateChanged(TvlGridCellMouseState APrevState)
{
    (void)APrevState;
    if (InvalidateOnStateChange())
        Update();
    if (FState == gcmsNormal) {
        EndMouseTracking(this);
    } else if (FState == gcmsHot) {
        if (TvlControl* control = GetControl()) {
            TRect r;
            GetBounds(r);
            BeginMouseTracking(control, r, this);
        }
    }
    if (FState == gcmsPressed && CaptureMouseOnPress())
        SetMouseCapture(true);
    if (FState == gcmsPressed && GetPopup() != nullptr)
        ShowPopup();
}

void TvlCustomGridCellViewInfo::ShowPopup()
{
    TvlCustomGridPopup* popup = GetPopup();
    if (popup == nullptr || popup->IsVisible())
        return;
    popup->SetPopupOwner(this);
    popup->ShowPopup();
}

bool TvlCustomGridCellViewInfo::PopupHasNoOwner()
{
    TvlCustomGridPopup* popup = GetPopup();
    return popup != nullptr && popup->PopupOwner() == nullptr;
}

void TvlCustomGridCellViewInfo::BeforeRecalculation()
{
    ResetParams();
    GetBounds(Bounds);
}

void TvlCustomGridCellViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    CalculateParams();
    if (AWidth == -1)
        AWidth = CalculateWidth();
    if (AHeight == -1)
        AHeight = CalculateHeight();
    Bounds = TRect{ALeft, ATop, ALeft + AWidth, ATop + AHeight};
    AfterCalculateBounds(Bounds);
    FCalculated = true;
}

void TvlCustomGridCellViewInfo::CalculateRect(const TRect& R)
{
    Calculate(R.Left, R.Top, std::max(0, R.Width()), std::max(0, R.Height()));
}

int TvlCustomGridCellViewInfo::GetBestFitWidth() { return BorderSize(bLeft) + TextWidthWithOffset() + BorderSize(bRight); }

std::unique_ptr<TvlCustomGridHitTest> TvlCustomGridCellViewInfo::GetHitTest(const TPoint& P)
{
    if (!GetVisibleForHitTest() || !HasHitTestPoint(P))
        return nullptr;
    TvlGridHitTestClass hitTestClass = GetHitTestClass();
    if (hitTestClass == nullptr)
        return nullptr;
    std::unique_ptr<TvlCustomGridHitTest> result = hitTestClass->Create(P);
    InitHitTest(result.get());
    return result;
}

bool TvlCustomGridCellViewInfo::HasPoint(const TPoint& P)
{
    TRect r;
    GetHitAreaBounds(r);
    return contains(r, P);
}

bool TvlCustomGridCellViewInfo::MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    (void)AShift;
    if (AButton != mbLeft || !UsesMouseStates() || !IsOwnHitTest(AHitTest))
        return false;
    TvlGridCellMouseState newState = gcmsPressed;
    if (HasPopup() && FState != gcmsHot) {
        // A second press on an open popup's cell closes it back to hot.
        if (FState == gcmsNormal)
            newState = gcmsNormal;
        else if (FState == gcmsPressed)
            newState = gcmsHot;
    }
    SetState(newState);
    return true;
}

bool TvlCustomGridCellViewInfo::MouseMove(TvlCustomGridHitTest* AHitTest, TShiftState AShift)
{
    (void)AShift;
    if (!UsesMouseStates())
        return false;
    const bool over = IsOwnHitTest(AHitTest);
    if (HasPopup()) {
        if (FState == gcmsPressed)
            return false;
        SetState(over ? gcmsHot : gcmsNormal);
    } else {
        const bool captured = IsMouseCaptured();
        if (over)
            SetState(captured ? gcmsPressed : gcmsHot);
        else
            SetState(captured ? gcmsHot : gcmsNormal);
    }
    return true;
}

bool TvlCustomGridCellViewInfo::MouseUp(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    (void)AHitTest;
    (void)AShift;
    if (AButton != mbLeft || HasPopup())
        return false;
    const bool wasPressed = FState == gcmsPressed;
    SetState(gcmsNormal);
    if (wasPressed)
        Click();
    return wasPressed;
}

void TvlCustomGridCellViewInfo::Paint(TvlCanvas* ACanvas)
{
    if (!NeedsPainting())
        return;
    TvlGridCellPainterClass painterClass = GetPainterClass();
    if (painterClass == nullptr)
        return;
    if (ACanvas == nullptr)
        ACanvas = GetCanvas();
    const std::unique_ptr<TvlCustomGridCellPainter> painter = painterClass(ACanvas, this);
    painter->MainPaint();
}

int TvlCustomGridCellViewInfo::BorderSize(TvlBorder ASide) { return Borders.Contains(ASide) ? GetBorderWidth(ASide) : 0; }

TRect TvlCustomGridCellViewInfo::ClientBounds()
{
    if (!FHasCachedClientBounds) {
        FCachedClientBounds = CalculateClientBounds();
        FHasCachedClientBounds = true;
    }
    return FCachedClientBounds;
}

TRect TvlCustomGridCellViewInfo::ContentBounds()
{
    if (!FHasCachedContentBounds) {
        FCachedContentBounds = CalculateContentBounds();
        FHasCachedContentBounds = true;
    }
    return FCachedContentBounds;
}

TvlCustomGridHitTest::~TvlCustomGridHitTest()
{
    if (FLinked && FCellViewInfo != nullptr)
        FCellViewInfo->HitTestGone(this);
}

void TvlCustomGridHitTest::LinkCellViewInfo(TvlCustomGridCellViewInfo* AViewInfo)
{
    if (FLinked && FCellViewInfo != nullptr && FCellViewInfo != AViewInfo)
        FCellViewInfo->HitTestGone(this);
    FCellViewInfo = AViewInfo;
    FLinked = AViewInfo != nullptr;
}

void TvlCustomGridCellViewInfo::SetLinkedHitTest(TvlCustomGridHitTest* AHitTest)
{
    if (AHitTest == FLinkedHitTest)
        return;
    if (FLinkedHitTest != nullptr && FLinkedHitTest->CellViewInfo() == this)
        FLinkedHitTest->LinkCellViewInfo(nullptr);
    FLinkedHitTest = AHitTest;
    if (AHitTest != nullptr)
        AHitTest->LinkCellViewInfo(this);
}

void TvlCustomGridCellViewInfo::SetState(TvlGridCellMouseState Value)
{
    if (Value == FState)
        return;
    BeforeStateChange();
    const TvlGridCellMouseState prev = FState;
    FState = Value;
    StateChanged(prev);
}

int TvlCustomGridCellViewInfo::CalculateTextWidth(int AAngle)
{
    CalculateParams();
    TvlCanvas* canvas = GetCanvas();
    const TFontForMeasuring font(canvas, Params.Font, AAngle);
    TRect r{0, 0, measureExtent, measureExtent};
    const int flags = (GetTextAttributes(false) & ~(vltfRight | vltfHCenter | vltfVCenter)) | vltfLeft;
    canvas->TextExtentInRect(Text, r, flags);
    return r.Width();
}

int TvlCustomGridCellViewInfo::CalculateTextHeight(bool AForPainting, int AAngle)
{
    CalculateParams();
    TvlCanvas* canvas = GetCanvas();
    const TFontForMeasuring font(canvas, Params.Font, AAngle);
    TRect r;
    GetTextAreaBounds(r);
    const int flags = (GetTextAttributes(AForPainting) & ~(vltfBottom | vltfVCenter)) | vltfTop;
    canvas->TextExtentInRect(Text, r, flags);
    return r.Height();
}

void TvlCustomGridCellViewInfo::CalculateParams()
{
    if (FParamsCalculated || FIsCalculatingParams)
        return;
    FIsCalculatingParams = true;
    try {
        DoCalculateParams();
    } catch (...) {
        FIsCalculatingParams = false;
        FParamsCalculated = true;
        throw;
    }
    FIsCalculatingParams = false;
    FParamsCalculated = true;
}

void TvlCustomGridCellViewInfo::GetHitAreaBounds(TRect& R)
{
    GetBounds(R);
    TRect visible;
    GetVisibleArea(visible);
    if (!visible.IsEmpty())
        R = intersection(R, visible);
}

void TvlCustomGridCellViewInfo::AlignText(bool AHorz, bool AVert, TRect& R)
{
    GetTextAreaBounds(R);
    if (AHorz) {
        const int w = TextWidth();
        // A wrapped text wider than its area fills the area.
        if (MultiLinePainting && w > R.Width())
            return;
        switch (AlignmentHorz) {
        case taLeftJustify: R.Right = R.Left + w; break;
        case taRightJustify: R.Left = R.Right - w; break;
        case taCenter:
            // C++ division truncates toward zero, as the layout expects.
            R.Left = (R.Left + R.Right - w) / 2;
            R.Right = R.Left + w;
            break;
        }
    }
    if (AVert) {
        const int h = TextHeight();
        switch (AlignmentVert) {
        case vaTop: R.Bottom = R.Top + h; break;
        case vaBottom: R.Top = R.Bottom - h; break;
        case vaCenter:
            R.Top = (R.Top + R.Bottom - h) / 2;
            R.Bottom = R.Top + h;
            break;
        }
    }
}

void TvlCustomGridCellViewInfo::Offset(int DX, int DY)
{
    if (!FCalculated)
        return;
    DoOffset(DX, DY);
    SetState(gcmsNormal);
    MouseLeave();
}

void TvlCustomGridCellViewInfo::Recalculate()
{
    BeforeRecalculation();
    CalculateRect(Bounds);
}

void TvlCustomGridCellViewInfo::ResetCachedBounds()
{
    FHasCachedClientBounds = false;
    FHasCachedContentBounds = false;
    FCachedClientBounds = TRect();
    FCachedContentBounds = TRect();
}

// ---- view cell view info ------------------------------------------------------------------

TvlCustomGridViewCellViewInfo::TvlCustomGridViewCellViewInfo(TvlCustomGridViewInfo* AGridViewInfo)
    : FGridViewInfo(AGridViewInfo)
{
}

void TvlCustomGridViewCellViewInfo::BeforeDestruction()
{
    SetIsDestroying();
    FGridViewInfo->RemoveGuardedCell(this, true);
    if (TvlCustomGridController* controller = Controller())
        if (controller->HintCellViewInfo() == this)
            controller->HideHint();
    TvlCustomGridCellViewInfo::BeforeDestruction();
}

void TvlCustomGridViewCellViewInfo::AfterCalculateBounds(TRect& R)
{
    TvlCustomGridCellViewInfo::AfterCalculateBounds(R);
    if (!CheckHotTrackAfterCalculate() || !UsesMouseStates())
        return;
    TvlGridSite* site = FGridViewInfo->Site();
    if (site == nullptr || !site->HandleAllocated() || !FGridViewInfo->CanUpdateSite())
        return;
    std::unique_ptr<TvlCustomGridHitTest> hitTest = FGridViewInfo->GetHitTest(FGridViewInfo->MousePos());
    if (hitTest != nullptr && hitTest->CellViewInfo() == this)
        MouseMove(hitTest.get(), TShiftState());
}

void TvlCustomGridViewCellViewInfo::Invalidate() { GridView()->InvalidateRect(Bounds); }

TvlCanvas* TvlCustomGridViewCellViewInfo::GetCanvas() { return FGridViewInfo->Canvas(); }

TvlControl* TvlCustomGridViewCellViewInfo::GetControl() { return FGridViewInfo->Site(); }

bool TvlCustomGridViewCellViewInfo::IsOwnHitTest(const TvlCustomGridHitTest* AHitTest)
{
    if (!TvlCustomGridCellViewInfo::IsOwnHitTest(AHitTest))
        return false;
    const auto* viewHitTest = dynamic_cast<const TvlCustomGridViewHitTest*>(AHitTest);
    return viewHitTest == nullptr || viewHitTest->View == GridView();
}

void TvlCustomGridViewCellViewInfo::InitHitTest(TvlCustomGridHitTest* AHitTest)
{
    TvlCustomGridCellViewInfo::InitHitTest(AHitTest);
    FGridViewInfo->InitHitTest(AHitTest);
}

void TvlCustomGridViewCellViewInfo::BeforeRecalculation()
{
    FGridViewInfo->UpdateMousePos();
    TvlCustomGridCellViewInfo::BeforeRecalculation();
}

void TvlCustomGridViewCellViewInfo::Update()
{
    if (IsDestroying())
        return;
    CalculateParams();
    Invalidate();
}

bool TvlCustomGridViewCellViewInfo::MouseMove(TvlCustomGridHitTest* AHitTest, TShiftState AShift)
{
    const bool result = TvlCustomGridCellViewInfo::MouseMove(AHitTest, AShift);
    if (GetVisible() && HasHint())
        UpdateHint(AHitTest);
    return result;
}

bool TvlCustomGridViewCellViewInfo::IsHintPoint(const TPoint& P)
{
    TRect r;
    GetVisibleTextAreaBounds(r);
    return contains(r, P);
}

void TvlCustomGridViewCellViewInfo::GetHintParams(const TPoint& P, String& AText, TRect& ATextRect, bool& AIsMultiLine)
{
    GetHintText(AText);
    AIsMultiLine = IsHintMultiLine();
    GetHintTextRect(P, ATextRect);
}

bool TvlCustomGridViewCellViewInfo::NeedShowHint(const TPoint& P, String& AText, TRect& ATextRect, bool& AIsMultiLine)
{
    String s;
    GetHintText(s);
    bool result = !s.isEmpty() && IsHintPoint(P);
    if (result && IsHintForText()) {
        TRect area;
        GetTextAreaBounds(area);
        bool cut = area.Height() < CalculateTextHeight(true, 0);
        if (!cut && !MultiLinePainting)
            cut = area.Width() < TextWidth();
        if (!cut) {
            TRect text, visible;
            GetTextBounds(text);
            GetVisibleTextAreaBounds(visible);
            cut = intersection(text, visible) != text;
        }
        result = cut;
    }
    if (result)
        GetHintParams(P, AText, ATextRect, AIsMultiLine);
    return result;
}

TvlCustomGridController* TvlCustomGridViewCellViewInfo::Controller() const { return GridView()->Controller(); }

TvlCustomGridView* TvlCustomGridViewCellViewInfo::GridView() const { return FGridViewInfo->GridView(); }

TvlLookAndFeelPainterClass TvlCustomGridViewCellViewInfo::LookAndFeelPainter() const { return FGridViewInfo->LookAndFeelPainter(); }

void TvlCustomGridViewCellViewInfo::UpdateHint(TvlCustomGridHitTest* AHitTest)
{
    TvlCustomGridController* controller = Controller();
    if (controller == nullptr || AHitTest == nullptr)
        return;
    String text;
    TRect textRect;
    bool multiLine = false;
    if (!NeedShowHint(AHitTest->HitPoint, text, textRect, multiLine)) {
        controller->HideHint();
        return;
    }
    TRect area;
    GetHintAreaBounds(area);
    if (!area.IsEmpty()) {
        const TRect visiblePart = intersection(area, textRect);
        if (!visiblePart.IsEmpty())
            textRect = visiblePart;
    }
    TRect visibleText;
    GetVisibleTextAreaBounds(visibleText);
    controller->ShowHint(visibleText, textRect, this, Params.Font, multiLine, text);
}

void TvlCustomGridViewCellViewInfo::GetVisibleTextAreaBounds(TRect& R)
{
    GetHintTextAreaBounds(R);
    TRect area;
    GetHintAreaBounds(area);
    if (!area.IsEmpty())
        R = intersection(R, area);
}

// ---- cell painter -------------------------------------------------------------------------

void TvlCustomGridCellPainter::AfterPaint()
{
    if (CanDrawFocusRect())
        DrawFocusRectIfNeeded(FCanvas, FViewInfo);
}

void TvlCustomGridCellPainter::ExcludeFromClipping() { FCanvas->ExcludeClipRect(FViewInfo->Bounds); }

void TvlCustomGridCellPainter::DrawBackground() { DrawBackgroundRect(FViewInfo->ClientBounds()); }

void TvlCustomGridCellPainter::DrawBackgroundRect(const TRect& R)
{
    if (FViewInfo->IsTransparent())
        DrawBitmapBackground(FCanvas, R);
    else
        FCanvas->FillRectByColor(R, FViewInfo->Params.Color);
}

bool TvlCustomGridCellPainter::DrawBitmapBackground(TvlCanvas* ACanvas, const TRect& R)
{
    const TBitmap* bitmap = FViewInfo->GetBackgroundBitmap();
    if (bitmap == nullptr || bitmap->Empty())
        return false;
    ACanvas->FillRect(R, bitmap);
    return true;
}

void TvlCustomGridCellPainter::DrawBorder(TvlBorder ASide)
{
    TRect r;
    FViewInfo->GetBorderBounds(ASide, r);
    FCanvas->FillRectByColor(r, FViewInfo->GetBorderColor(ASide));
}

void TvlCustomGridCellPainter::DrawBorders()
{
    for (TvlBorder side : {bLeft, bTop, bRight, bBottom})
        if (FViewInfo->Borders.Contains(side))
            DrawBorder(side);
}

void TvlCustomGridCellPainter::DrawContent()
{
    if (FViewInfo->HasBackground() && !FViewInfo->CustomDrawBackground(FCanvas))
        DrawBackground();
    DrawText();
}

void TvlCustomGridCellPainter::DrawFocusRect(TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo)
{
    TRect r;
    AViewInfo->GetFocusRectBounds(r);
    ACanvas->DrawFocusRectOfWidth(r, AViewInfo->GetFocusRectWidth());
}

void TvlCustomGridCellPainter::DrawText()
{
    String text;
    FViewInfo->GetTextForPainting(text);
    if (text.isEmpty())
        return;
    TRect r;
    FViewInfo->GetTextAreaBounds(r);
    const TvlViewParams& params = FViewInfo->Params;
    if (params.Font != nullptr)
        FCanvas->SetFont(params.Font);
    FCanvas->Font()->SetColor(params.TextColor);
    FCanvas->Brush()->SetStyle(bsClear);
    PrepareCanvasForDrawText();
    FCanvas->DrawText(text, r, FViewInfo->GetTextAttributes(true), true);
    UnprepareCanvasForDrawText();
    FCanvas->Brush()->SetStyle(bsSolid);
}

bool TvlCustomGridCellPainter::CanPaint()
{
    if (!FViewInfo->Calculated())
        return false;
    TRect r;
    FViewInfo->GetPaintBounds(r);
    return FCanvas->RectVisible(r);
}

void TvlCustomGridCellPainter::Paint()
{
    TvlViewParams saved;
    FViewInfo->SaveParams(saved);
    try {
        if (!FViewInfo->CustomDraw(FCanvas))
            DrawContent();
    } catch (...) {
        FViewInfo->RestoreParams(saved);
        throw;
    }
    // What a handler changed lasts for this paint only.
    FViewInfo->RestoreParams(saved);
    DrawBorders();
}

void TvlCustomGridCellPainter::DrawFocusRectIfNeeded(TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo)
{
    if (AViewInfo->HasFocusRect() && ACanvas == AViewInfo->GetCanvas())
        DrawFocusRect(ACanvas, AViewInfo);
}

void TvlCustomGridCellPainter::MainPaint()
{
    if (!CanPaint())
        return;
    BeforePaint();
    Paint();
    AfterPaint();
    if (NeedsExcludeFromClipping())
        ExcludeFromClipping();
}

bool TvlCustomGridCellPainter::IsCellCanvas() const { return FCanvas == FViewInfo->GetCanvas(); }
