// vlCalendar.h - the month calendar of the date editor's popup: a header
// with scroll arrows and the month caption, a 6 x 7 grid of days, week
// numbers and the Today and Clear buttons; the month list that drops from
// its caption and scrolls while held beyond its ends; and the clock face.
#pragma once
#include <array>
#include <memory>

#include "platform/rtl/DateTime.h"
#include "ui/editors/vlButtons.h"
#include "ui/editors/vlDateUtils.h"
#include "ui/foundation/vlContainer.h"
#include "ui/foundation/vlControls.h"

class TvlCustomCalendar;

enum TvlCalendarKind { ckDate, ckDateTime };
enum TCalendarButton { btnClear, btnNow, btnToday, btnOk };
enum TDateButton { dbClear, dbNow, dbToday };
using TDateButtons = TSet<TDateButton>;

using TvlDateChangedEvent = TNotifyEvent;

// The analogue clock face of the date-time calendar.
class TvlClock : public TvlControl {
public:
    explicit TvlClock(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlClock"); }

    // Kept for its setting; the face is drawn by the painter alone.
    TColor MinuteDotColor() const { return FMinuteDotColor; }
    void SetMinuteDotColor(TColor Value);
    // The time of day: only the fraction of the value is kept.
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime Value);

protected:
    bool HasScrollBars() const override { return false; }
    void Paint() override;

private:
    TColor FMinuteDotColor = clWindow;
    TDateTime FTime = 0;
};

// The list of months dropped from the calendar's month caption: the months
// of the shown year, or (year mode) a list of month-and-year items that
// scrolls while the pointer is held above or below it, the faster the
// farther away.
class TvlMonthListBox : public TvlCustomPopupWindow {
public:
    explicit TvlMonthListBox(TvlCustomCalendar* ACalendar);
    ~TvlMonthListBox() override;
    String ClassName() const override { return String::fromLatin1("TvlMonthListBox"); }

    TvlCustomCalendar* Calendar() const { return FCalendar; }
    bool IsYearMode() const;
    int ItemCount() const { return FItemCount; }
    int ItemHeight() const { return FItemHeight; }
    int ItemIndex() const { return FItemIndex; }
    int TopMonthDelta() const { return FTopMonthDelta; }
    TvlTimer* Timer() const { return FTimer.get(); }
    // The first day of the month of item AIndex.
    TDateTime ItemDate(int AIndex) const;

    void CalculatePosition(TPoint& P) override { P = FOrigin; }
    // The opening sets the size itself.
    void CalculateSize() override {}
    void CloseUp() override;
    void PopupWithFocus(TWinControl* AFocusedControl) override;

    // Client coordinates of the list.
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click() override;

protected:
    void DoShowed() override;
    void Paint() override;

private:
    void setItemIndex(int Value);
    void timerTick(TObject* Sender);

    TvlCustomCalendar* FCalendar;
    TvlCalendarDateTime FCurrentDate;
    TPoint FOrigin;
    int FTopMonthDelta = 0;
    int FItemHeight = 0;
    int FItemIndex = -1;
    int FItemCount = 0;
    std::unique_ptr<TvlTimer> FTimer;
    int FSign = 0;
};

// The month calendar. It has no published settings: its date editor sets
// it up before each drop-down.
class TvlCustomCalendar : public TvlControl, public IvlMouseTrackingCaller {
public:
    explicit TvlCustomCalendar(TComponent* AOwner);
    ~TvlCustomCalendar() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomCalendar"); }

    bool ArrowsForYear() const { return FArrowsForYear; }
    void SetArrowsForYear(bool Value);
    TDateButtons CalendarButtons() const { return FCalendarButtons; }
    void SetCalendarButtons(TDateButtons Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TvlCalendarKind Kind() const { return FKind; }
    bool WeekNumbers() const { return FWeekNumbers; }
    void SetWeekNumbers(bool Value);
    bool YearsInMonthList() const { return FYearsInMonthList; }
    void SetYearsInMonthList(bool Value) { FYearsInMonthList = Value; }

    TDateTime FirstDate() const { return FFirstDate; }
    TDateTime SelectDate() const { return FSelectDate; }
    void SetFirstDate(TDateTime Value) { DoSetFirstDate(Value); }
    void SetSelectDate(TDateTime Value) { DoSetSelectDate(Value); }
    // Selects ADate; AFollow also shows its month.
    void Select(TDateTime ADate, bool AFollow);

    virtual void CalculateLayout();
    virtual TDateTime GetFirstVisibleDate() const;
    virtual TDateTime GetLastVisibleDate() const;
    virtual TDateTime GetLastDateOfMonth() const;
    // The day under a client point; vlNullDate off the day cells.
    virtual TDateTime DateAtPos(const TPoint& P) const;
    virtual void GetSize(TSize& ASize) const;

    // Geometry of the last layout, client coordinates.
    int ColumnWidth() const { return FColWidth; }
    int RowHeight() const { return FRowHeight; }
    int HeaderHeight() const { return FHeaderHeight; }
    int ButtonWidth() const { return FButtonWidth; }
    const TRect& ArrowRect(int AIndex) const { return FArrowRects[AIndex]; }
    int LastArrowIndex() const { return FLastArrowIndex; }
    const TRect& MonthCaption() const { return FMonthCaption; }
    const TRect& YearCaption() const { return FYearCaption; }
    const TRect& DayRegion() const { return FDayRegion; }
    uint8_t HotTrackRegion() const { return FHotTrackRegion; }
    TvlButton* TodayButton() const { return FTodayButton; }
    TvlButton* ClearButton() const { return FClearButton; }
    TvlMonthListBox* MonthList() const { return FMonthList.get(); }
    TvlTimer* RepeatTimer() const { return FTimer.get(); }

    // A date was taken (a click on a day, a button, Enter in the popup).
    TvlDateChangedEvent OnDateChanged;

    // IvlMouseTrackingCaller
    void MouseLeave() override;

protected:
    virtual void UpdateHotTrack(const TPoint& P);
    virtual void HidePopup(TObject* Sender, int AReason);
    virtual void DoSetFirstDate(TDateTime Value);
    virtual void DoSetSelectDate(TDateTime Value) { Select(Value, true); }
    void DateChanged();

    bool HasScrollBars() const override { return false; }
    void Paint() override;
    void FontChanged() override;
    void TranslationChanged() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter(TControl* AControl) override;
    void MouseLeave(TControl* AControl) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void BoundsChanged(bool Moved, bool Resized) override;

private:
    friend class TvlMonthListBox;
    TvlCustomCalendarTable* table() const { return GetUserCalendarTable(); }
    TColor backgroundColor() const;
    int arrowAt(const TPoint& P) const;
    uint8_t captionAt(const TPoint& P) const;
    void scroll(int AArrow);
    void buttonClick(TObject* Sender);
    void timerTick(TObject* Sender);
    void layoutHeader();
    void placeButtons();
    void stopTimers();
    void paintHeader(TvlCanvas* ACanvas);
    void paintDays(TvlCanvas* ACanvas);

    bool FArrowsForYear = true;
    int FButtonsHeight = 0;
    int FButtonsOffset = 0;
    int FButtonsRegionHeight = 0;
    int FButtonWidth = 0;
    TDateButtons FCalendarButtons{dbClear, dbToday};
    TvlButton* FClearButton = nullptr;  // owned as components of the calendar
    TvlButton* FTodayButton = nullptr;
    int FColWidth = 0;
    int FDateRegionWidth = 0;
    int FDaysOfWeekHeight = 0;
    TDateTime FFirstDate = 0;
    bool FFlat = true;
    int FHeaderHeight = 0;
    uint8_t FHotTrackRegion = 0;
    TvlCalendarKind FKind = ckDate;
    std::unique_ptr<TvlMonthListBox> FMonthList;
    int FRowHeight = 0;
    TDateTime FSelectDate = 0;
    int FSideWidth = 0;
    int FSpaceWidth = 0;
    std::unique_ptr<TvlTimer> FTimer;
    std::array<TRect, 4> FArrowRects{};
    TRect FHeaderRect;
    uint8_t FLastArrowIndex = 3;
    TRect FMonthCaption;
    TRect FYearCaption;
    TRect FDayRegion;
    bool FWeekNumbers = false;
    int FWeekNumberWidth = 0;
    bool FYearsInMonthList = true;
    TPoint FMousePos;
    bool FLayingOut = false;
};
