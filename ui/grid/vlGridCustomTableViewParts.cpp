// The bands along a record view's edges (the filter box with its buttons)
// and the strip in which the data navigator is drawn.
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomTableViewInfo.h"
#include "ui/grid/vlGridStrs.h"

namespace {

// The content offset of the painters' push buttons.
constexpr int buttonContentOffset = 0;

TSize extentOf(void (TvlCustomLookAndFeelPainter::*ASize)(TPoint&) const, TvlLookAndFeelPainterClass APainter)
{
    TPoint p{0, 0};
    (APainter->*ASize)(p);
    return TSize{p.X, p.Y};
}

}  // namespace

// ---- part ---------------------------------------------------------------------------------------

TvlCustomGridPartViewInfo::TvlCustomGridPartViewInfo(TvlCustomGridTableViewInfo* AGridViewInfo)
    : TvlCustomGridViewCellViewInfo(AGridViewInfo)
{
}

void TvlCustomGridPartViewInfo::AfterConstruction()
{
    TvlCustomGridViewCellViewInfo::AfterConstruction();
    if (IsRegisteredPart()) {
        GridViewInfo()->AddPart(this);
        FRegistered = true;
    }
}

void TvlCustomGridPartViewInfo::BeforeDestruction()
{
    if (FRegistered)
        GridViewInfo()->RemovePart(this);
    FRegistered = false;
    TvlCustomGridViewCellViewInfo::BeforeDestruction();
}

TvlCustomGridTableView* TvlCustomGridPartViewInfo::GridView() const
{
    return static_cast<TvlCustomGridTableView*>(TvlCustomGridViewCellViewInfo::GridView());
}

TvlCustomGridTableViewInfo* TvlCustomGridPartViewInfo::GridViewInfo() const
{
    return static_cast<TvlCustomGridTableViewInfo*>(TvlCustomGridViewCellViewInfo::GridViewInfo());
}

bool TvlCustomGridPartViewInfo::DoCustomDrawBackground(TvlCanvas* ACanvas)
{
    return TvlCustomGridViewCellViewInfo::DoCustomDrawBackground(ACanvas) ||
           GridView()->DoCustomDrawPartBackground(ACanvas, this);
}

bool TvlCustomGridPartViewInfo::HasCustomDrawBackground() { return GridView()->OnCustomDrawPartBackground().Assigned(); }

void TvlCustomGridPartViewInfo::InitHitTest(TvlCustomGridHitTest* AHitTest)
{
    TvlCustomGridViewCellViewInfo::InitHitTest(AHitTest);
}

TvlGridCellPainterClass TvlCustomGridPartViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlCustomGridPartPainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

void TvlCustomGridPartViewInfo::GetPartBounds(TRect& R) { GridViewInfo()->PartRect(this, R); }

void TvlCustomGridPartViewInfo::CalculateWhenHidden()
{
    Height = 0;
    Calculate(0, 0, 0, 0);
}

void TvlCustomGridPartViewInfo::CalculateWhenVisible()
{
    Height = CalculateHeight();
    TRect r;
    GetPartBounds(r);
    Calculate(r.Left, r.Top, r.Width(), r.Height());
}

int TvlCustomGridPartViewInfo::PartIndex() const
{
    TvlCustomGridTableViewInfo* viewInfo = GridViewInfo();
    for (int i = 0; i < viewInfo->PartCount(); ++i)
        if (viewInfo->PartItems(i) == this)
            return i;
    return -1;
}

void TvlCustomGridPartViewInfo::SetPartIndex(int Value)
{
    if (PartIndex() != Value)
        GridViewInfo()->MovePart(this, Value);
}

void TvlCustomGridPartViewInfo::CalculatePart()
{
    if (GetVisible())
        CalculateWhenVisible();
    else
        CalculateWhenHidden();
}

// ---- filter buttons --------------------------------------------------------------------------------

TvlCustomGridFilterButtonViewInfo::TvlCustomGridFilterButtonViewInfo(TvlGridFilterButtonsViewInfo* AContainer)
    : TvlCustomGridViewCellViewInfo(AContainer->FilterViewInfo()->GridViewInfo()), FContainer(AContainer)
{
}

TvlGridFilterViewInfo* TvlCustomGridFilterButtonViewInfo::FilterViewInfo() const { return FContainer->FilterViewInfo(); }

TvlCanvas* TvlCustomGridFilterButtonViewInfo::GetCanvas() { return FilterViewInfo()->GetCanvas(); }

TvlDataFilterCriteria* TvlCustomGridFilterButtonViewInfo::criteria() const { return FilterViewInfo()->Criteria(); }

bool TvlCustomGridFilterButtonViewInfo::GetVisible()
{
    TvlDataFilterCriteria* filter = criteria();
    return filter != nullptr && !filter->IsEmpty();
}

int TvlGridFilterCloseButtonViewInfo::CalculateWidth()
{
    return extentOf(&TvlCustomLookAndFeelPainter::FilterPanelCloseButtonSize, LookAndFeelPainter()).cx;
}

int TvlGridFilterCloseButtonViewInfo::CalculateHeight()
{
    return extentOf(&TvlCustomLookAndFeelPainter::FilterPanelCloseButtonSize, LookAndFeelPainter()).cy;
}

TvlGridHitTestClass TvlGridFilterCloseButtonViewInfo::GetHitTestClass() { return vlGridHitTestClass<TvlGridFilterCloseButtonHitTest>(); }

TvlGridCellPainterClass TvlGridFilterCloseButtonViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlGridFilterCloseButtonPainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

void TvlGridFilterCloseButtonViewInfo::Click()
{
    TvlCustomGridFilterButtonViewInfo::Click();
    if (TvlDataFilterCriteria* filter = criteria())
        filter->Clear();
}

int TvlGridFilterActivateButtonViewInfo::CalculateWidth()
{
    return extentOf(&TvlCustomLookAndFeelPainter::FilterCheckSize, LookAndFeelPainter()).cx;
}

int TvlGridFilterActivateButtonViewInfo::CalculateHeight()
{
    return extentOf(&TvlCustomLookAndFeelPainter::FilterCheckSize, LookAndFeelPainter()).cy;
}

TvlGridHitTestClass TvlGridFilterActivateButtonViewInfo::GetHitTestClass()
{
    return vlGridHitTestClass<TvlGridFilterActivateButtonHitTest>();
}

TvlGridCellPainterClass TvlGridFilterActivateButtonViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlGridFilterActivateButtonPainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

void TvlGridFilterActivateButtonViewInfo::Click()
{
    TvlCustomGridFilterButtonViewInfo::Click();
    if (TvlDataFilterCriteria* filter = criteria())
        filter->SetActive(!filter->Active());
}

bool TvlGridFilterCustomizeButtonViewInfo::GetVisible()
{
    return static_cast<TvlCustomGridTableView*>(GridView())->FilterBox()->CustomizeDialog();
}

void TvlGridFilterCustomizeButtonViewInfo::GetText(String& S) { S = LoadResString(svlGridFilterCustomizeButtonCaption); }

TvlBorders TvlGridFilterCustomizeButtonViewInfo::GetBorders()
{
    return TvlBorders{bLeft, bTop, bRight, bBottom};
}

int TvlGridFilterCustomizeButtonViewInfo::GetBorderWidth(TvlBorder ASide)
{
    (void)ASide;
    return LookAndFeelPainter()->ButtonBorderWidth(vlbsNormal);
}

void TvlGridFilterCustomizeButtonViewInfo::GetViewParams(TvlViewParams& AParams)
{
    TvlViewParams boxParams;
    FilterViewInfo()->GetViewParams(boxParams);
    AParams.Font = boxParams.Font;
}

int TvlGridFilterCustomizeButtonViewInfo::CalculateWidth()
{
    return GetBorderWidth(bLeft) + GetBorderWidth(bRight) + TextWidthWithOffset() + 2 * buttonContentOffset;
}

int TvlGridFilterCustomizeButtonViewInfo::CalculateHeight()
{
    return GetBorderWidth(bTop) + GetBorderWidth(bBottom) + TextHeightWithOffset() + 2 * buttonContentOffset;
}

TvlGridHitTestClass TvlGridFilterCustomizeButtonViewInfo::GetHitTestClass()
{
    return vlGridHitTestClass<TvlGridFilterCustomizeButtonHitTest>();
}

TvlGridCellPainterClass TvlGridFilterCustomizeButtonViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlGridFilterCustomizeButtonPainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

// The filter dialog comes with the filter customization: the view's event
// is offered the click.
void TvlGridFilterCustomizeButtonViewInfo::Click()
{
    TvlCustomGridFilterButtonViewInfo::Click();
    static_cast<TvlCustomGridTableView*>(GridView())->DoFilterCustomization();
}

bool TvlGridFilterDropDownButtonViewInfo::GetVisible() { return FilterViewInfo()->IsMRUItemsListAvailable(); }

void TvlGridFilterDropDownButtonViewInfo::BeforeStateChange()
{
    TvlCustomGridFilterButtonViewInfo::BeforeStateChange();
    // The list closes: the box stops being pressed too.
    if (State() == gcmsPressed)
        FilterViewInfo()->SetState(gcmsNormal);
}

int TvlGridFilterDropDownButtonViewInfo::CalculateWidth()
{
    return extentOf(&TvlCustomLookAndFeelPainter::FilterPanelCloseButtonSize, LookAndFeelPainter()).cx;
}

int TvlGridFilterDropDownButtonViewInfo::CalculateHeight()
{
    return extentOf(&TvlCustomLookAndFeelPainter::FilterPanelCloseButtonSize, LookAndFeelPainter()).cy;
}

void TvlGridFilterDropDownButtonViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TRect text;
    FilterViewInfo()->GetTextBounds(text);
    ALeft = std::min(ALeft, text.Right + 9);
    TvlCustomGridFilterButtonViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
}

TvlGridHitTestClass TvlGridFilterDropDownButtonViewInfo::GetHitTestClass()
{
    return vlGridHitTestClass<TvlGridFilterDropDownButtonHitTest>();
}

TvlGridCellPainterClass TvlGridFilterDropDownButtonViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlGridFilterDropDownButtonPainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

TvlGridFilterButtonsViewInfo::TvlGridFilterButtonsViewInfo(TvlGridFilterViewInfo* AFilterViewInfo)
    : FFilterViewInfo(AFilterViewInfo)
{
    CreateItems();
}

TvlGridFilterButtonsViewInfo::~TvlGridFilterButtonsViewInfo() { DestroyItems(); }

void TvlGridFilterButtonsViewInfo::CreateItems()
{
    FItems.push_back(vlGridCreateCell<TvlGridFilterCloseButtonViewInfo>(this));
    FItems.push_back(vlGridCreateCell<TvlGridFilterActivateButtonViewInfo>(this));
    FItems.push_back(vlGridCreateCell<TvlGridFilterCustomizeButtonViewInfo>(this));
    auto dropDown = vlGridCreateCell<TvlGridFilterDropDownButtonViewInfo>(this);
    FDropDownButtonViewInfo = dropDown.get();
    FItems.push_back(TvlGridFilterButtonViewInfoPtr(dropDown.release()));
}

void TvlGridFilterButtonsViewInfo::DestroyItems()
{
    FDropDownButtonViewInfo = nullptr;
    FItems.clear();
}

void TvlGridFilterButtonsViewInfo::Calculate(const TRect& R)
{
    int left = R.Left + 4;
    int right = R.Right - 4;
    for (const auto& button : FItems) {
        if (!button->GetVisible())
            continue;
        const int width = button->CalculateWidth();
        const int x = button->AlignsRight() ? right - width : left;
        // Halves away from zero, as the system's rounding division does.
        const int y = MulDiv(R.Top + R.Bottom - button->CalculateHeight(), 1, 2);
        button->Calculate(x, y, -1, -1);
        if (button->AlignsRight())
            right = button->Bounds.Left - 4;
        else
            left = button->Bounds.Right + 4;
    }
}

std::unique_ptr<TvlCustomGridHitTest> TvlGridFilterButtonsViewInfo::GetHitTest(const TPoint& P)
{
    for (const auto& button : FItems)
        if (std::unique_ptr<TvlCustomGridHitTest> result = button->GetHitTest(P))
            return result;
    return nullptr;
}

int TvlGridFilterButtonsViewInfo::Height()
{
    int result = 0;
    bool any = false;
    for (const auto& button : FItems)
        if (button->GetVisible()) {
            any = true;
            result = std::max(result, button->CalculateHeight());
        }
    return any ? result + 8 : 0;
}

int TvlGridFilterButtonsViewInfo::sideWidth(bool ARight)
{
    int result = 0;
    bool any = false;
    for (const auto& button : FItems)
        if (button->AlignsRight() == ARight && button->GetVisible()) {
            any = true;
            result += button->CalculateWidth() + 4;
        }
    return any ? result + 4 : 0;
}

int TvlGridFilterButtonsViewInfo::LeftSideWidth() { return sideWidth(false); }

int TvlGridFilterButtonsViewInfo::RightSideWidth() { return sideWidth(true); }

// ---- filter box ----------------------------------------------------------------------------------

TvlGridFilterViewInfo::TvlGridFilterViewInfo(TvlCustomGridTableViewInfo* AGridViewInfo) : TvlCustomGridPartViewInfo(AGridViewInfo) {}

TvlGridFilterViewInfo::~TvlGridFilterViewInfo() = default;

void TvlGridFilterViewInfo::AfterConstruction()
{
    TvlCustomGridPartViewInfo::AfterConstruction();
    FButtonsViewInfo = GetButtonsViewInfoClass()(this);
}

TvlGridFilterButtonsViewInfoClass TvlGridFilterViewInfo::GetButtonsViewInfoClass() const
{
    return &vlGridCreate<TvlGridFilterButtonsViewInfo, TvlGridFilterButtonsViewInfo, TvlGridFilterViewInfo*>;
}

TvlDataFilterCriteria* TvlGridFilterViewInfo::Criteria() const
{
    TvlCustomDataController* controller = GridView()->DataController();
    return controller != nullptr ? controller->Filter() : nullptr;
}

TvlCustomGridTableFiltering* TvlGridFilterViewInfo::Filtering() const { return GridView()->Filtering(); }

// The recently used filters are not kept yet, so there is no list to open.
bool TvlGridFilterViewInfo::IsMRUItemsListAvailable() const { return false; }

int TvlGridFilterViewInfo::CalculateHeight()
{
    return std::max(TextHeightWithOffset() + 6, FButtonsViewInfo != nullptr ? FButtonsViewInfo->Height() : 0);
}

int TvlGridFilterViewInfo::CalculateWidth() { return GridViewInfo()->ClientWidth(); }

const TBitmap* TvlGridFilterViewInfo::GetBackgroundBitmap()
{
    TvlCustomGridBackgroundBitmaps* bitmaps = GridView()->BackgroundBitmaps();
    const TBitmap* bitmap = bitmaps != nullptr ? bitmaps->GetBitmap(2) : nullptr;
    return bitmap != nullptr && !bitmap->Empty() ? bitmap : nullptr;
}

TvlGridHitTestClass TvlGridFilterViewInfo::GetHitTestClass() { return vlGridHitTestClass<TvlGridFilterHitTest>(); }

bool TvlGridFilterViewInfo::UsesMouseStates() { return IsMRUItemsListAvailable(); }

TvlGridCellPainterClass TvlGridFilterViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlGridFilterPainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

void TvlGridFilterViewInfo::GetText(String& S)
{
    TvlDataFilterCriteria* filter = Criteria();
    S = filter != nullptr ? filter->GetFilterText() : String();
    if (S.isEmpty())
        S = LoadResString(svlGridFilterIsEmpty);
}

void TvlGridFilterViewInfo::GetTextAreaBounds(TRect& R)
{
    TvlCustomGridPartViewInfo::GetTextAreaBounds(R);
    if (FButtonsViewInfo != nullptr) {
        R.Left += FButtonsViewInfo->LeftSideWidth();
        R.Right -= FButtonsViewInfo->RightSideWidth();
    }
    InflateRect(R, -3, 0);
}

void TvlGridFilterViewInfo::GetViewParams(TvlViewParams& AParams)
{
    GridView()->Styles()->ResolveViewParams(TvlCustomGridTableViewStyles::vsFilterBox, nullptr, nullptr, AParams);
}

bool TvlGridFilterViewInfo::GetVisible()
{
    switch (GridView()->FilterBox()->Visible()) {
    case fvAlways:
        return true;
    case fvNonEmpty: {
        TvlDataFilterCriteria* filter = Criteria();
        return filter != nullptr && !filter->IsEmpty();
    }
    default:
        return false;
    }
}

bool TvlGridFilterViewInfo::HasHitTestPoint(const TPoint& P)
{
    if (!TvlCustomGridPartViewInfo::HasHitTestPoint(P))
        return false;
    TRect text;
    GetTextBounds(text);
    return PtInRect(text, P);
}

void TvlGridFilterViewInfo::StateChanged(TvlGridCellMouseState APrevState)
{
    TvlCustomGridPartViewInfo::StateChanged(APrevState);
    // Only the text changes its look.
    if (!IsDestroying()) {
        TRect text;
        GetTextBounds(text);
        GridView()->InvalidateRect(text);
    }
    if (State() == gcmsPressed && FButtonsViewInfo != nullptr && FButtonsViewInfo->DropDownButtonViewInfo() != nullptr)
        FButtonsViewInfo->DropDownButtonViewInfo()->SetState(gcmsPressed);
}

void TvlGridFilterViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TvlCustomGridPartViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    TRect r;
    GetButtonsAreaBounds(r);
    FButtonsViewInfo->Calculate(r);
}

std::unique_ptr<TvlCustomGridHitTest> TvlGridFilterViewInfo::GetHitTest(const TPoint& P)
{
    if (std::unique_ptr<TvlCustomGridHitTest> result = FButtonsViewInfo->GetHitTest(P))
        return result;
    return TvlCustomGridPartViewInfo::GetHitTest(P);
}

TvlGridPartAlignment TvlGridFilterViewInfo::PartAlignment()
{
    return GridView()->FilterBox()->Position() == fpTop ? gpaTop : gpaBottom;
}

// ---- painters ----------------------------------------------------------------------------------------

TvlCustomGridFilterButtonViewInfo* TvlCustomGridFilterButtonPainter::ViewInfo() const
{
    return static_cast<TvlCustomGridFilterButtonViewInfo*>(TvlCustomGridCellPainter::ViewInfo());
}

void TvlGridFilterCloseButtonPainter::Paint()
{
    TvlCustomGridFilterButtonViewInfo* viewInfo = ViewInfo();
    viewInfo->LookAndFeelPainter()->DrawFilterPanelCloseButton(Canvas(), viewInfo->Bounds, viewInfo->ButtonState());
}

void TvlGridFilterActivateButtonPainter::Paint()
{
    TvlCustomGridFilterButtonViewInfo* viewInfo = ViewInfo();
    TvlDataFilterCriteria* filter = viewInfo->FilterViewInfo()->Criteria();
    viewInfo->LookAndFeelPainter()->DrawFilterCheck(Canvas(), viewInfo->Bounds, viewInfo->ButtonState(),
                                                    filter != nullptr && filter->Active());
}

void TvlGridFilterDropDownButtonPainter::Paint()
{
    TvlCustomGridFilterButtonViewInfo* viewInfo = ViewInfo();
    viewInfo->LookAndFeelPainter()->DrawFilterButton(Canvas(), viewInfo->Bounds, viewInfo->ButtonState(), false);
}

void TvlGridFilterCustomizeButtonPainter::Paint()
{
    TvlCustomGridFilterButtonViewInfo* viewInfo = ViewInfo();
    if (viewInfo->Params.Font != nullptr)
        Canvas()->SetFont(viewInfo->Params.Font);
    viewInfo->LookAndFeelPainter()->DrawButton(Canvas(), viewInfo->Bounds, viewInfo->Text, viewInfo->ButtonState(), true,
                                               clDefault, clDefault, false, false);
}

TvlGridFilterViewInfo* TvlGridFilterPainter::ViewInfo() const
{
    return static_cast<TvlGridFilterViewInfo*>(TvlCustomGridCellPainter::ViewInfo());
}

void TvlGridFilterPainter::DrawBackgroundRect(const TRect& R)
{
    TvlGridFilterViewInfo* viewInfo = ViewInfo();
    viewInfo->LookAndFeelPainter()->DrawFilterPanel(Canvas(), R, viewInfo->IsTransparent(), viewInfo->Params.Color,
                                                    viewInfo->GetBackgroundBitmap());
}

void TvlGridFilterPainter::Paint()
{
    TvlCustomGridPartPainter::Paint();
    DrawButtons();
}

void TvlGridFilterPainter::DrawButtons()
{
    TvlGridFilterButtonsViewInfo* buttons = ViewInfo()->ButtonsViewInfo();
    for (int i = 0; i < buttons->Count(); ++i)
        buttons->Items(i)->Paint(Canvas());
}

void TvlGridFilterPainter::PrepareCanvasForDrawText()
{
    TvlCustomGridPartPainter::PrepareCanvasForDrawText();
    FTextWasUnderlined = false;
    // A hot filter text reads like a link.
    const TvlGridCellMouseState state = ViewInfo()->State();
    TFont* font = Canvas()->Font();
    if ((state == gcmsHot || state == gcmsPressed) && !font->Style().Contains(fsUnderline)) {
        TFontStyles style = font->Style();
        style.Include(fsUnderline);
        font->SetStyle(style);
        FTextWasUnderlined = true;
    }
}

void TvlGridFilterPainter::UnprepareCanvasForDrawText()
{
    if (FTextWasUnderlined) {
        TFont* font = Canvas()->Font();
        TFontStyles style = font->Style();
        style.Exclude(fsUnderline);
        font->SetStyle(style);
    }
    TvlCustomGridPartPainter::UnprepareCanvasForDrawText();
}

// ---- navigator site ---------------------------------------------------------------------------------

TvlNavigatorSiteViewInfo::TvlNavigatorSiteViewInfo(TvlCustomGridTableViewInfo* AGridViewInfo)
    : TvlCustomGridViewCellViewInfo(AGridViewInfo)
{
}

TvlCustomGridTableViewInfo* TvlNavigatorSiteViewInfo::TableViewInfo() const
{
    return static_cast<TvlCustomGridTableViewInfo*>(GridViewInfo());
}

TvlNavigatorViewInfo* TvlNavigatorSiteViewInfo::navigator() const
{
    TvlCustomGridTableViewInfo* viewInfo = TableViewInfo();
    return viewInfo->GetNavigatorButtons() != nullptr ? viewInfo->NavigatorViewInfo() : nullptr;
}

void TvlNavigatorSiteViewInfo::BeforeDestruction()
{
    if (State() != gcmsNormal)
        MouseLeave();
    TvlCustomGridViewCellViewInfo::BeforeDestruction();
}

void TvlNavigatorSiteViewInfo::MouseLeave()
{
    TvlCustomGridViewCellViewInfo::MouseLeave();
    if (TvlNavigatorViewInfo* nav = navigator())
        nav->MouseMove(-1, -1);
}

int TvlNavigatorSiteViewInfo::GetHeight()
{
    // The scroll bar's height also while the scroll bar is hidden.
    TvlControlScrollBar* bar = TableViewInfo()->Site()->HScrollBar();
    return bar != nullptr ? bar->Height() : 0;
}

int TvlNavigatorSiteViewInfo::GetWidth() { return TableViewInfo()->GetNavigatorOffset() + TableViewInfo()->NavigatorSize().X; }

TvlGridHitTestClass TvlNavigatorSiteViewInfo::GetHitTestClass() { return vlGridHitTestClass<TvlGridNavigatorHitTest>(); }

TvlGridCellPainterClass TvlNavigatorSiteViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlNavigatorSitePainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

void TvlNavigatorSiteViewInfo::GetViewParams(TvlViewParams& AParams)
{
    AParams.Color = LookAndFeelPainter()->DefaultGridDetailsSiteColor();
}

bool TvlNavigatorSiteViewInfo::GetVisible() { return TableViewInfo()->GridView()->OptionsView()->Navigator(); }

bool TvlNavigatorSiteViewInfo::MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    (void)AButton;
    (void)AShift;
    if (TvlNavigatorViewInfo* nav = navigator())
        nav->MouseDown(AHitTest->HitPoint.X, AHitTest->HitPoint.Y);
    return true;
}

bool TvlNavigatorSiteViewInfo::MouseMove(TvlCustomGridHitTest* AHitTest, TShiftState AShift)
{
    TvlCustomGridViewCellViewInfo::MouseMove(AHitTest, AShift);
    if (TvlNavigatorViewInfo* nav = navigator())
        nav->MouseMove(AHitTest->HitPoint.X, AHitTest->HitPoint.Y);
    return true;
}

bool TvlNavigatorSiteViewInfo::MouseUp(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    (void)AButton;
    (void)AShift;
    if (TvlNavigatorViewInfo* nav = navigator())
        nav->MouseUp(AHitTest->HitPoint.X, AHitTest->HitPoint.Y);
    return true;
}
