// vlCalendar.cpp - the month calendar, its month list and the clock.
#include "ui/controls/vlCalendar.h"

#include <algorithm>
#include <cmath>

#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlFormats.h"
#include "ui/foundation/vlLookAndFeelPainters.h"

namespace {

// Scroll intervals of the month list by the pointer's distance beyond it,
// in whole item heights.
constexpr unsigned monthListIntervals[4] = {500, 250, 100, 50};
constexpr unsigned arrowRepeatInterval = 200;

TRect moved(const TRect& R, int DX, int DY) { return Rect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY); }

// Text over what is already painted: fills and frames leave a solid brush.
void drawTransparentText(TvlCanvas* ACanvas, const String& AText, const TRect& R, int AFlags, TColor AColor)
{
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->Font()->SetColor(AColor);
    ACanvas->DrawText(AText, R, AFlags | vltfVCenter | vltfSingleLine);
}

}  // namespace

// ---------------------------------------------------------------- clock

TvlClock::TvlClock(TComponent* AOwner) : TvlControl(AOwner)
{
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque};
    SetTabStop(false);
}

void TvlClock::SetMinuteDotColor(TColor Value)
{
    if (FMinuteDotColor == Value)
        return;
    FMinuteDotColor = Value;
    Invalidate();
}

void TvlClock::SetTime(TDateTime Value)
{
    Value = std::fabs(Value - std::trunc(Value));
    if (FTime == Value)
        return;
    FTime = Value;
    Invalidate();
}

void TvlClock::Paint()
{
    const TvlLookAndFeelPainterClass painter = LookAndFeelPainter();
    const TColor color = Color() == clWindow ? painter->DefaultContentColor() : Color();
    painter->DrawClock(Canvas(), ClientRect(), FTime, color);
}

// ---------------------------------------------------------------- month list

TvlMonthListBox::TvlMonthListBox(TvlCustomCalendar* ACalendar)
    : TvlCustomPopupWindow(ACalendar), FCalendar(ACalendar), FTimer(std::make_unique<TvlTimer>(nullptr))
{
    FTimer->SetEnabled(false);
    FTimer->SetInterval(arrowRepeatInterval);
    FTimer->SetOnTimer(TNotifyEvent(this, &TvlMonthListBox::timerTick));
    Adjustable = false;
    SetPopupBorderStyle(2);
    SetCaptureFocus(false);
    SetIsTopMost(true);
}

TvlMonthListBox::~TvlMonthListBox() = default;

bool TvlMonthListBox::IsYearMode() const
{
    return !FCalendar->ArrowsForYear() || FCalendar->YearsInMonthList();
}

TDateTime TvlMonthListBox::ItemDate(int AIndex) const
{
    TvlCalendarDateTime parts = FCurrentDate;
    parts.Day = 1;
    parts.Hours = parts.Minutes = parts.Seconds = 0;
    parts.Milliseconds = 0;
    return FCalendar->table()->AddMonthsTo(parts, FTopMonthDelta + AIndex);
}

void TvlMonthListBox::PopupWithFocus(TWinControl* AFocusedControl)
{
    TvlCustomCalendarTable* table = FCalendar->table();
    FCurrentDate = table->SplitDate(FCalendar->FirstDate());
    const bool yearMode = IsYearMode();
    FItemCount = yearMode ? 7 : table->MonthsOfYear(FCurrentDate.Year);
    SetFont(FCalendar->Font());
    FItemHeight = FCalendar->HeaderHeight() - 2;
    SetBounds(Left(), Top(), 6 * FCalendar->ColumnWidth() + 2, FItemCount * FItemHeight + 2);
    FTopMonthDelta = yearMode ? -3 : 1 - FCurrentDate.Month;
    // Months before the earliest date the table knows collapse onto it:
    // the list starts at the first month that is its own.
    while (FTopMonthDelta < 0 && ItemDate(0) == ItemDate(1))
        ++FTopMonthDelta;
    const TRect& caption = FCalendar->MonthCaption();
    const TPoint centre = FCalendar->ClientToScreen(
        Point((caption.Left + caption.Right) / 2, (caption.Top + caption.Bottom) / 2));
    FOrigin = Point(centre.X - Width() / 2, centre.Y - Height() / 2);
    FItemIndex = -1;
    FSign = 0;
    TvlCustomPopupWindow::PopupWithFocus(AFocusedControl);
}

void TvlMonthListBox::DoShowed()
{
    TvlCustomPopupWindow::DoShowed();
    if (IsYearMode())
        SetMouseCapture(this, true);
}

void TvlMonthListBox::setItemIndex(int Value)
{
    if (FItemIndex == Value)
        return;
    FItemIndex = Value;
    Invalidate();
}

void TvlMonthListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TvlCustomPopupWindow::MouseMove(Shift, X, Y);
    if (ClientRect().Contains(Point(X, Y))) {
        FTimer->SetEnabled(false);
        setItemIndex(FItemHeight > 0 ? std::min((Y - 1) / FItemHeight, FItemCount - 1) : -1);
        return;
    }
    setItemIndex(-1);
    int distance = 0;
    if (Y < 0) {
        FSign = -1;
        distance = -Y;
    } else if (Y >= ClientHeight()) {
        FSign = 1;
        distance = Y + 1 - ClientHeight();
    } else {
        FTimer->SetEnabled(false);
        return;
    }
    const unsigned interval = monthListIntervals[std::min(distance / std::max(FItemHeight, 1), 3)];
    if (!FTimer->Enabled() || FTimer->Interval() != interval) {
        FTimer->SetInterval(interval);
        FTimer->SetEnabled(true);
    }
}

void TvlMonthListBox::timerTick(TObject*)
{
    FTopMonthDelta += FSign;
    Invalidate();
}

void TvlMonthListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TvlCustomPopupWindow::MouseUp(Button, Shift, X, Y);
    if (IsYearMode())
        CloseUp();
}

void TvlMonthListBox::Click()
{
    TvlCustomPopupWindow::Click();
    if (IsYearMode())
        return;
    const int index = FItemIndex;
    CloseUp();
    if (index >= 0)
        FCalendar->SetFirstDate(ItemDate(index));
}

void TvlMonthListBox::CloseUp()
{
    if (HasMouseCapture(this))
        SetMouseCapture(this, false);
    if (!IsVisible())
        return;
    TvlCustomPopupWindow::CloseUp();
    FTimer->SetEnabled(false);
    if (IsYearMode() && FItemIndex >= 0)
        FCalendar->SetFirstDate(ItemDate(FItemIndex));
}

void TvlMonthListBox::Paint()
{
    TvlCanvas* canvas = PopupCanvas();
    const TRect client = ClientRect();
    canvas->FrameRect(client, clWindowText);
    const TColor color = FCalendar->backgroundColor();
    canvas->SetFont(Font());
    TvlCustomCalendarTable* table = FCalendar->table();
    for (int i = 0; i < FItemCount; ++i) {
        const TRect r = Rect(1, 1 + i * FItemHeight, client.Right - 1, 1 + (i + 1) * FItemHeight);
        const bool highlighted = i == FItemIndex;
        canvas->FillRectByColor(r, highlighted ? clWindowText : color);
        const TDateTime date = ItemDate(i);
        String text;
        if (table->AcceptsYear(table->SplitDate(date).Year)) {
            if (IsYearMode())
                GetYearMonthText(table, text, date);
            else
                GetMonthNameOfDate(table, text, date);
        }
        drawTransparentText(canvas, text, r, vltfHCenter, highlighted ? color : clWindowText);
    }
}

// ---------------------------------------------------------------- calendar

TvlCustomCalendar::TvlCustomCalendar(TComponent* AOwner)
    : TvlControl(AOwner), FTimer(std::make_unique<TvlTimer>(nullptr))
{
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque};
    FSelectDate = Date();
    FFirstDate = GetMonthStart(FSelectDate);
    SetBounds(Left(), Top(), 20, 20);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(arrowRepeatInterval);
    FTimer->SetOnTimer(TNotifyEvent(this, &TvlCustomCalendar::timerTick));
    FMonthList = std::make_unique<TvlMonthListBox>(this);
    SetKeys(TvlControlKeys{kAll, kArrows, kChars, kTab});
    auto makeButton = [this](int ATag, int ATabOrder, bool ADefault) {
        auto* button = new TvlButton(this);  // owned by the calendar as its component
        button->SetUseSystemPaint(false);
        button->OnClick = TNotifyEvent(this, &TvlCustomCalendar::buttonClick);
        button->LookAndFeel()->SetMasterLookAndFeel(LookAndFeel());
        button->SetTag(ATag);
        button->SetTabOrder(ATabOrder);
        button->SetDefault(ADefault);
        button->SetTabStop(false);
        button->SetParent(this);
        return button;
    };
    FTodayButton = makeButton(btnToday, 1, false);
    FClearButton = makeButton(btnClear, 3, false);
    TranslationChanged();
}

TvlCustomCalendar::~TvlCustomCalendar()
{
    EndMouseTracking(this);
    FTimer->SetEnabled(false);
}

TColor TvlCustomCalendar::backgroundColor() const
{
    return Color() == clWindow ? LookAndFeelPainter()->DefaultContentColor() : Color();
}

void TvlCustomCalendar::SetArrowsForYear(bool Value)
{
    if (FArrowsForYear == Value)
        return;
    FArrowsForYear = Value;
    CalculateLayout();
}

void TvlCustomCalendar::SetCalendarButtons(TDateButtons Value)
{
    if (FCalendarButtons == Value)
        return;
    FCalendarButtons = Value;
    CalculateLayout();
}

void TvlCustomCalendar::SetFlat(bool Value)
{
    if (FFlat == Value)
        return;
    FFlat = Value;
    CalculateLayout();
}

void TvlCustomCalendar::SetWeekNumbers(bool Value)
{
    if (FWeekNumbers == Value)
        return;
    FWeekNumbers = Value;
    CalculateLayout();
}

void TvlCustomCalendar::TranslationChanged()
{
    FTodayButton->SetCaption(GetResourceString(vlEditConsts::vlSDatePopupToday));
    FClearButton->SetCaption(GetResourceString(vlEditConsts::vlSDatePopupClear));
    CalculateLayout();
}

void TvlCustomCalendar::FontChanged()
{
    TvlControl::FontChanged();
    CalculateLayout();
}

void TvlCustomCalendar::BoundsChanged(bool Moved, bool Resized)
{
    TvlControl::BoundsChanged(Moved, Resized);
    // The calendar is always as large as its content.
    if (Resized && !FLayingOut && FColWidth > 0) {
        TSize size;
        GetSize(size);
        if (size.cx != Width() || size.cy != Height()) {
            FLayingOut = true;
            SetBounds(Left(), Top(), size.cx, size.cy);
            FLayingOut = false;
        }
    }
}

void TvlCustomCalendar::CalculateLayout()
{
    if (FLayingOut)
        return;
    FLayingOut = true;
    TvlCanvas* canvas = GetActiveCanvas();
    canvas->SetFont(Font());
    const int fontSize = Font()->Size();
    const int zeroWidth = canvas->TextWidth(QStringLiteral("0"));
    const int zeroHeight = canvas->TextHeight(QStringLiteral("0"));
    const int wgHeight = canvas->TextHeight(QStringLiteral("Wg"));
    {
        TFont small;
        small.Assign(Font());
        small.SetSize(MulDiv(fontSize, 2, 3));
        canvas->SetFont(&small);
        FWeekNumberWidth = canvas->TextWidth(QStringLiteral("99"));
        canvas->SetFont(Font());
    }
    FColWidth = 3 * zeroWidth;
    FSideWidth = 2 * zeroWidth;
    FRowHeight = zeroHeight + 2;
    FHeaderHeight = zeroHeight + 5;
    if (LookAndFeelPainter()->LookAndFeelStyle() == lfsOffice11)
        --FHeaderHeight;
    FDaysOfWeekHeight = FRowHeight + 1;
    int widest = 0;
    for (TvlButton* button : {FTodayButton, FClearButton})
        widest = std::max(widest, canvas->TextWidth(button->Caption()));
    FButtonWidth = widest + FColWidth;
    FButtonsOffset = fontSize / 2;
    FButtonsHeight = MulDiv(wgHeight, 20, 13) + 1;
    FButtonsRegionHeight = MulDiv(fontSize, 3, 4) + MulDiv(wgHeight, 20, 13) + FButtonsOffset;
    FTodayButton->SetVisible(FCalendarButtons.Contains(dbToday));
    FClearButton->SetVisible(FCalendarButtons.Contains(dbClear));
    TSize size;
    GetSize(size);
    SetBounds(Left(), Top(), size.cx, size.cy);
    placeButtons();
    layoutHeader();
    FLayingOut = false;
    Invalidate();
}

void TvlCustomCalendar::GetSize(TSize& ASize) const
{
    const bool office11 = LookAndFeelPainter()->LookAndFeelStyle() == lfsOffice11;
    const bool hasButtons = FCalendarButtons.Contains(dbToday) || FCalendarButtons.Contains(dbClear);
    int height = FDaysOfWeekHeight + 6 * FRowHeight + FHeaderHeight + 1;
    if (hasButtons)
        height += FButtonsRegionHeight;
    height += 1;
    if (office11)
        height += 2;
    const int dateRegionWidth = (FWeekNumbers ? FWeekNumberWidth + 5 : 0) + 2 * FSideWidth + 7 * FColWidth;
    int width = dateRegionWidth;
    const int visibleButtons = int(FCalendarButtons.Contains(dbToday)) + int(FCalendarButtons.Contains(dbClear));
    const int buttonsWidth = FColWidth + (FButtonWidth + FColWidth) * visibleButtons;
    auto* self = const_cast<TvlCustomCalendar*>(this);
    self->FDateRegionWidth = dateRegionWidth;
    self->FSpaceWidth = 0;
    if (buttonsWidth > width) {
        self->FSpaceWidth = (buttonsWidth - width) / 2;
        width = buttonsWidth;
    }
    ASize = TSize{width, height};
}

void TvlCustomCalendar::placeButtons()
{
    const int w = Width();
    const bool today = FTodayButton->Visible();
    const bool clear = FClearButton->Visible();
    const int y = ClientHeight() + FButtonsOffset - FButtonsRegionHeight;
    FTodayButton->SetBounds((w - FButtonWidth * (1 + int(clear))) / (2 + int(clear)), y, FButtonWidth + 1,
                            FButtonsHeight);
    FClearButton->SetBounds(w - FButtonWidth - (w - FButtonWidth * (1 + int(today))) / (2 + int(today)), y,
                            FButtonWidth + 1, FButtonsHeight);
}

void TvlCustomCalendar::layoutHeader()
{
    const bool office11 = LookAndFeelPainter()->LookAndFeelStyle() == lfsOffice11;
    const int i = FFlat ? 0 : 1;
    const TRect o = office11 ? Rect(2, 2, 2, 0) : Rect(0, 0, 0, 0);
    const int right = FDateRegionWidth - i - o.Right;
    FArrowRects[0] = Rect(o.Left + i, o.Top + i, o.Left + i + FColWidth - 2, o.Top + FHeaderHeight - 1);
    FYearCaption = TRect{};
    if (!FArrowsForYear) {
        FLastArrowIndex = 1;
        FArrowRects[1] = Rect(right - (FColWidth - 2), FArrowRects[0].Top, right, FArrowRects[0].Bottom);
        FArrowRects[2] = FArrowRects[3] = TRect{};
        FMonthCaption = Rect(FArrowRects[0].Right, o.Top, FArrowRects[1].Left, o.Top + FHeaderHeight);
    } else {
        FLastArrowIndex = 3;
        TvlCanvas* canvas = GetActiveCanvas();
        canvas->SetFont(Font());
        TvlCustomCalendarTable* table = this->table();
        const TvlCalendarDateTime first = table->SplitDate(FFirstDate);
        int m = 0;
        for (int month = 1; month <= table->MonthsOfYear(first.Year); ++month) {
            String name;
            GetMonthNameOfCalendarMonth(first.Year, month, table, name);
            m = std::max(m, canvas->TextWidth(name));
        }
        String yearText;
        GetYearText(table, yearText, FFirstDate);
        const int y = canvas->TextWidth(yearText);
        const int spare = FDateRegionWidth - 2 * i - o.Left - o.Right - m - y - 4 * FColWidth + 8;
        FArrowRects[3] = Rect(right - (FColWidth - 2), FArrowRects[0].Top, right, FArrowRects[0].Bottom);
        const int left1 = FArrowRects[0].Right + m + (m + y > 0 ? spare * m / (m + y) : 0);
        FArrowRects[1] = Rect(left1, FArrowRects[0].Top, left1 + FColWidth - 2, FArrowRects[0].Bottom);
        FArrowRects[2] = Rect(FArrowRects[1].Right, FArrowRects[0].Top, FArrowRects[1].Right + FColWidth - 2,
                              FArrowRects[0].Bottom);
        FMonthCaption = Rect(FArrowRects[0].Right, o.Top, FArrowRects[1].Left, o.Top + FHeaderHeight);
        FYearCaption = Rect(FArrowRects[2].Right, o.Top, FArrowRects[3].Left, o.Top + FHeaderHeight);
    }
    FHeaderRect = Rect(0, 0, Width() - FSpaceWidth, o.Top + FHeaderHeight);
    FDayRegion = Rect(0, FHeaderRect.Bottom + 1, FDateRegionWidth,
                      FHeaderRect.Bottom + 1 + FDaysOfWeekHeight + 6 * FRowHeight + 1);
    // Laid out from (0, 0), then moved to the grid's origin.
    for (TRect& r : FArrowRects)
        if (!r.IsEmpty())
            r = moved(r, FSpaceWidth, 0);
    FMonthCaption = moved(FMonthCaption, FSpaceWidth, 0);
    if (!FYearCaption.IsEmpty())
        FYearCaption = moved(FYearCaption, FSpaceWidth, 0);
    FDayRegion = moved(FDayRegion, FSpaceWidth, 0);
    FHeaderRect = Rect(0, 0, Width(), FHeaderRect.Bottom);
}

// ---- dates

TDateTime TvlCustomCalendar::GetFirstVisibleDate() const
{
    const int index = GetDayIndexInWeek(FFirstDate);
    TDateTime result = FFirstDate - index;
    // A month that starts the week gets a whole week of the one before, unless
    // nothing lies before it.
    if (index == 0 && GetMinDate() < FFirstDate)
        result -= 7;
    return result;
}

TDateTime TvlCustomCalendar::GetLastVisibleDate() const { return GetFirstVisibleDate() + 41; }

TDateTime TvlCustomCalendar::GetLastDateOfMonth() const
{
    return table()->AddMonthsToDate(FFirstDate, 1) - 1;
}

TDateTime TvlCustomCalendar::DateAtPos(const TPoint& P) const
{
    if (!ClientRect().Contains(P))
        return vlNullDate;
    const int left = FDayRegion.Left + (FWeekNumbers ? FWeekNumberWidth + 5 : 0) + FSideWidth;
    const int top = FDayRegion.Top + FDaysOfWeekHeight;
    if (FColWidth <= 0 || FRowHeight <= 0 || P.X < left || P.X >= left + 7 * FColWidth || P.Y < top ||
        P.Y >= top + 6 * FRowHeight)
        return vlNullDate;
    return GetFirstVisibleDate() + 7 * ((P.Y - top) / FRowHeight) + (P.X - left) / FColWidth;
}

void TvlCustomCalendar::DoSetFirstDate(TDateTime Value)
{
    if (!IsDateValueValid(Value))
        return;
    const TDateTime first = GetMonthStart(DatePartOf(Value));
    if (first == FFirstDate)
        return;
    FFirstDate = first;
    if (FArrowsForYear && FColWidth > 0)
        layoutHeader();
    Invalidate();
}

void TvlCustomCalendar::Select(TDateTime ADate, bool AFollow)
{
    if (ADate == FSelectDate || (ADate != vlNullDate && !IsDateValueValid(ADate)))
        return;
    FSelectDate = ADate;
    if (AFollow && ADate != vlNullDate)
        DoSetFirstDate(DatePartOf(ADate));
    if (AFollow || FKind == ckDateTime)
        Invalidate();
    else
        InvalidateRect(Rect(FDayRegion.Left, FDayRegion.Top + FDaysOfWeekHeight, FDayRegion.Right, FDayRegion.Bottom),
                       false);
}

void TvlCustomCalendar::DateChanged()
{
    if (OnDateChanged)
        OnDateChanged(this);
}

void TvlCustomCalendar::HidePopup(TObject*, int)
{
    stopTimers();
}

void TvlCustomCalendar::stopTimers()
{
    FTimer->SetEnabled(false);
    FMonthList->Timer()->SetEnabled(false);
    if (FMonthList->IsVisible())
        FMonthList->CloseUp();
}

void TvlCustomCalendar::scroll(int AArrow)
{
    TvlCustomCalendarTable* table = this->table();
    switch (AArrow) {
    case 0: SetFirstDate(table->AddMonthsToDate(FFirstDate, -1)); break;
    case 1: SetFirstDate(table->AddMonthsToDate(FFirstDate, 1)); break;
    case 2: SetFirstDate(table->AddYearsToDate(FFirstDate, -1)); break;
    case 3: SetFirstDate(table->AddYearsToDate(FFirstDate, 1)); break;
    default: break;
    }
}

int TvlCustomCalendar::arrowAt(const TPoint& P) const
{
    for (int i = 0; i <= FLastArrowIndex; ++i)
        if (FArrowRects[i].Contains(P))
            return i;
    return -1;
}

uint8_t TvlCustomCalendar::captionAt(const TPoint& P) const
{
    if (FMonthCaption.Contains(P))
        return 1;
    if (!FYearCaption.IsEmpty() && FYearCaption.Contains(P))
        return 2;
    return 0;
}

void TvlCustomCalendar::timerTick(TObject*)
{
    // The arrow under the pointer, as it was last seen.
    const int arrow = arrowAt(FMousePos);
    if (arrow >= 0)
        scroll(arrow);
}

void TvlCustomCalendar::buttonClick(TObject* Sender)
{
    TDateTime value = vlNullDate;
    switch (static_cast<TComponent*>(Sender)->Tag()) {
    case btnToday: value = Date(); break;
    case btnNow: value = Now(); break;
    case btnOk: value = FSelectDate; break;
    default: break;
    }
    Select(value, true);
    DateChanged();
    HidePopup(this, 4);
}

// ---- keyboard, mouse

void TvlCustomCalendar::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlCustomCalendarTable* table = this->table();
    const TDateTime date = FSelectDate == vlNullDate ? Date() : FSelectDate;
    const bool ctrlAlone = Shift == TShiftState{ssCtrl};
    TDateTime target = vlNullDate;
    switch (Key) {
    case VK_PRIOR: target = table->AddMonthsToDate(date, -1); break;
    case VK_NEXT: target = table->AddMonthsToDate(date, 1); break;
    case VK_LEFT: target = date - 1; break;
    case VK_RIGHT: target = date + 1; break;
    case VK_UP:
        if (Shift != TShiftState{ssAlt})
            target = date - 7;
        break;
    case VK_DOWN:
        if (Shift != TShiftState{ssAlt})
            target = date + 7;
        break;
    case VK_HOME:
        target = ctrlAlone ? GetMonthStart(date) : date - GetDayIndexInWeek(date);
        break;
    case VK_END:
        target = ctrlAlone ? table->AddMonthsToDate(GetMonthStart(date), 1) - 1
                           : date + 6 - GetDayIndexInWeek(date);
        break;
    default: break;
    }
    if (target != vlNullDate)
        Select(target, true);
    TvlControl::KeyDown(Key, Shift);
}

void TvlCustomCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TvlObjectGuard link(this);
    TvlControl::MouseDown(Button, Shift, X, Y);
    if (link.Destroyed() || Button != mbLeft)
        return;
    FMousePos = Point(X, Y);
    const TDateTime date = DateAtPos(FMousePos);
    if (date != vlNullDate) {
        Select(date, false);
        return;
    }
    const int arrow = arrowAt(FMousePos);
    if (arrow >= 0) {
        scroll(arrow);
        FTimer->SetEnabled(true);
        return;
    }
    if (captionAt(FMousePos) == 1)
        FMonthList->PopupWithFocus(nullptr);
}

void TvlCustomCalendar::MouseMove(TShiftState Shift, int X, int Y)
{
    FMousePos = Point(X, Y);
    UpdateHotTrack(FMousePos);
    if (FTimer->Enabled())
        return;
    TvlControl::MouseMove(Shift, X, Y);
    if (Shift.Contains(ssLeft)) {
        const TDateTime date = DateAtPos(FMousePos);
        if (date != vlNullDate)
            Select(date, false);
    }
}

void TvlCustomCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TvlObjectGuard link(this);
    TvlControl::MouseUp(Button, Shift, X, Y);
    if (link.Destroyed())
        return;
    if (FTimer->Enabled()) {
        FTimer->SetEnabled(false);
        return;
    }
    const TPoint p = Point(X, Y);
    if (FKind == ckDate && Button == mbLeft && ClientRect().Contains(p) && captionAt(p) == 0 &&
        arrowAt(p) < 0) {
        if (DateAtPos(p) != vlNullDate)
            DateChanged();
        HidePopup(this, 4);
    }
}

bool TvlCustomCalendar::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    const TPoint p = ScreenToClient(MousePos);
    const uint8_t caption = captionAt(p);
    if (caption == 0 || FMonthList->IsVisible())
        return TvlControl::DoMouseWheel(Shift, WheelDelta, MousePos);
    TvlCustomCalendarTable* table = this->table();
    const int step = WheelDelta > 0 ? -1 : 1;
    SetFirstDate(caption == 1 ? table->AddMonthsToDate(FFirstDate, step) : table->AddYearsToDate(FFirstDate, step));
    return true;
}

void TvlCustomCalendar::UpdateHotTrack(const TPoint& P)
{
    uint8_t region = 0;
    if (!FMonthList->IsVisible() && GetCaptureControl() == nullptr)
        region = captionAt(P);
    if (region == FHotTrackRegion)
        return;
    FHotTrackRegion = region;
    InvalidateRect(FHeaderRect, false);
}

void TvlCustomCalendar::MouseEnter(TControl* AControl)
{
    TvlControl::MouseEnter(AControl);
    BeginMouseTracking(this, ClientRect(), this);
}

void TvlCustomCalendar::MouseLeave(TControl* AControl)
{
    TvlControl::MouseLeave(AControl);
    MouseLeave();
}

void TvlCustomCalendar::MouseLeave()
{
    if (FHotTrackRegion == 0)
        return;
    FHotTrackRegion = 0;
    InvalidateRect(FHeaderRect, false);
}

// ---- painting

void TvlCustomCalendar::Paint()
{
    TvlCanvas* canvas = Canvas();
    canvas->FillRectByColor(ClientRect(), backgroundColor());
    canvas->SetFont(Font());
    paintHeader(canvas);
    paintDays(canvas);
    if (FTodayButton->Visible() || FClearButton->Visible()) {
        const int y = ClientHeight() - FButtonsRegionHeight - 1;
        canvas->FillRectByColor(Rect(FDayRegion.Left, y, FDayRegion.Right, y + 1), clBtnShadow);
    }
}

void TvlCustomCalendar::paintHeader(TvlCanvas* ACanvas)
{
    const TvlLookAndFeelPainterClass painter = LookAndFeelPainter();
    ACanvas->FillRectByColor(FHeaderRect, painter->DefaultHeaderColor());
    for (int i = 0; i <= FLastArrowIndex; ++i) {
        const TRect& r = FArrowRects[i];
        const TvlArrowDirection direction = i % 2 == 0 ? adLeft : adRight;
        painter->DrawArrow(ACanvas, Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2), direction,
                           painter->DefaultHeaderTextColor());
    }
    TvlCustomCalendarTable* table = this->table();
    auto caption = [&](const String& AText, const TRect& R, uint8_t ARegion) {
        drawTransparentText(ACanvas, AText, R, vltfHCenter,
                            FHotTrackRegion == ARegion ? painter->DefaultCalendarColorD()
                                                       : painter->DefaultHeaderTextColor());
    };
    String text;
    if (FArrowsForYear) {
        GetMonthNameOfDate(table, text, FFirstDate);
        caption(text, FMonthCaption, 1);
        GetYearText(table, text, FFirstDate);
        caption(text, FYearCaption, 2);
    } else {
        GetYearMonthText(table, text, FFirstDate);
        caption(text, FMonthCaption, 1);
    }
    if (FFlat)
        ACanvas->FillRectByColor(Rect(FHeaderRect.Left, FHeaderRect.Bottom - 1, FHeaderRect.Right, FHeaderRect.Bottom),
                                 clBtnText);
    else
        ACanvas->DrawEdge(FHeaderRect, false, false);
}

void TvlCustomCalendar::paintDays(TvlCanvas* ACanvas)
{
    const TvlLookAndFeelPainterClass painter = LookAndFeelPainter();
    TvlCustomCalendarTable* table = this->table();
    const int weekColumn = FWeekNumbers ? FWeekNumberWidth + 5 : 0;
    const int left = FDayRegion.Left + weekColumn + FSideWidth;
    const int nameTop = FDayRegion.Top;
    const int start = vlFormatController()->GetStartOfWeek();
    for (int c = 0; c < 7; ++c) {
        String name;
        GetDayOfWeekName((start + c + 6) % 7 + 1, name);
        const TRect r = Rect(left + c * FColWidth, nameTop, left + (c + 1) * FColWidth - 3, nameTop + FRowHeight);
        drawTransparentText(ACanvas, name, r, vltfRight, painter->DefaultContentTextColor());
    }
    const int lineY = nameTop + FDaysOfWeekHeight - 1;
    ACanvas->FillRectByColor(Rect(left, lineY - 1, left + 7 * FColWidth, lineY), painter->DefaultCalendarColorH());
    const TDateTime first = GetFirstVisibleDate();
    const TDateTime today = Date();
    const TDateTime selected = FSelectDate == vlNullDate ? today : DatePartOf(FSelectDate);
    const int month = table->SplitDate(FFirstDate).Month;
    const int top = nameTop + FDaysOfWeekHeight;
    for (int row = 0; row < 6; ++row) {
        const TDateTime rowStart = first + 7 * row;
        if (FWeekNumbers && IsDateValueValid(rowStart)) {
            TFont small;
            small.Assign(Font());
            small.SetSize(MulDiv(Font()->Size(), 2, 3));
            ACanvas->SetFont(&small);
            const int week = table->WeekOfDate(vlFormatController()->GetStartOfWeek(), 0, rowStart);
            drawTransparentText(ACanvas, IntToStr(week),
                                Rect(FDayRegion.Left, top + row * FRowHeight, FDayRegion.Left + weekColumn - 2,
                                     top + (row + 1) * FRowHeight),
                                vltfHCenter, painter->DefaultContentTextColor());
            ACanvas->SetFont(Font());
        }
        for (int c = 0; c < 7; ++c) {
            const TDateTime date = rowStart + c;
            TRect r = Rect(left + c * FColWidth, top + row * FRowHeight, left + (c + 1) * FColWidth,
                           top + (row + 1) * FRowHeight);
            const bool isSelected = date == selected;
            ACanvas->FillRectByColor(r, isSelected ? painter->DefaultSelectionColor() : backgroundColor());
            if (date == today) {
                ACanvas->FrameRect(r, painter->DefaultCalendarColorK());
                InflateRect(r, -1, -1);
            }
            String text;
            if (IsDateValueValid(date))
                GetDayNumberText(text, date);
            TColor color = painter->DefaultContentTextColor();
            if (isSelected)
                color = painter->DefaultSelectionTextColor();
            else if (table->SplitDate(date).Month != month)
                color = painter->DefaultCalendarColorE();
            else if (date == today)
                color = painter->DefaultCalendarColorL();
            drawTransparentText(ACanvas, text, Rect(r.Left, r.Top, r.Right - 3, r.Bottom), vltfRight, color);
        }
    }
}
