// Tests of the month calendar, its month list and the clock: the days the
// grid shows, keyboard and mouse moves, the arrows' and the list's timers
// on a driven clock, the buttons and painting.
#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

#include "tests/ui/editors/EditControlFixture.h"
#include "ui/controls/vlCalendar.h"

namespace {

class TestCalendar : public TvlCustomCalendar {
public:
    using TvlCustomCalendar::TvlCustomCalendar;
    using TvlCustomCalendar::DoMouseWheel;
    using TvlCustomCalendar::KeyDown;
    using TvlCustomCalendar::MouseDown;
    using TvlCustomCalendar::MouseMove;
    using TvlCustomCalendar::MouseUp;
    std::vector<int> Hidden;

    void key(uint16_t AKey, TShiftState AShift = {})
    {
        uint16_t k = AKey;
        KeyDown(k, AShift);
    }
    TPoint centre(const TRect& R) const { return Point((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
    void click(const TPoint& P)
    {
        MouseDown(mbLeft, {ssLeft}, P.X, P.Y);
        MouseUp(mbLeft, {}, P.X, P.Y);
    }

protected:
    void HidePopup(TObject* Sender, int AReason) override
    {
        Hidden.push_back(AReason);
        TvlCustomCalendar::HidePopup(Sender, AReason);
    }
};

struct TCalendarTest : TEditControlFixture {
    TCalendarTest()
    {
        // Saturday 10 February 2024, noon.
        SetClockSource([] { return EncodeDate(2024, 2, 10) + 0.5; });
        Saved = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // weeks start on Sunday
        Calendar = new TestCalendar(Form.get());
        Calendar->SetParent(Form.get());
        Calendar->SetLeft(10);
        Calendar->SetTop(10);
        Calendar->HandleNeeded();
        Calendar->CalculateLayout();
        QApplication::processEvents();
    }
    ~TCalendarTest() override
    {
        SetClockSource({});
        QLocale::setDefault(Saved);
    }
    TestCalendar* Calendar = nullptr;
    QLocale Saved;
};

TEST_F(TCalendarTest, TheGridStartsAtTheWeekOfTheFirstAndShowsAWholeWeekBeforeAMonthStartingTheWeek)
{
    struct Row {
        QLocale::Language language;
        QLocale::Country country;
        int year, month;
        TDateTime first;
    };
    const Row rows[] = {
        {QLocale::English, QLocale::UnitedStates, 2024, 2, EncodeDate(2024, 1, 28)},   // Thursday the 1st
        {QLocale::English, QLocale::UnitedStates, 2024, 9, EncodeDate(2024, 8, 25)},   // Sunday the 1st
        {QLocale::German, QLocale::Germany, 2024, 2, EncodeDate(2024, 1, 29)},
        {QLocale::German, QLocale::Germany, 2024, 4, EncodeDate(2024, 3, 25)},         // Monday the 1st
        {QLocale::German, QLocale::Germany, 2023, 12, EncodeDate(2023, 11, 27)},
    };
    for (const Row& r : rows) {
        QLocale::setDefault(QLocale(r.language, r.country));
        Calendar->SetFirstDate(EncodeDate(r.year, r.month, 17));
        EXPECT_EQ(Calendar->FirstDate(), EncodeDate(r.year, r.month, 1));
        EXPECT_EQ(Calendar->GetFirstVisibleDate(), r.first) << r.year << "-" << r.month;
        EXPECT_EQ(Calendar->GetLastVisibleDate(), r.first + 41);
    }
}

TEST_F(TCalendarTest, DateAtPosMapsCellsAndNothingElse)
{
    Calendar->SetFirstDate(EncodeDate(2024, 2, 1));
    const TRect& region = Calendar->DayRegion();
    const int rowTop = region.Top + Calendar->RowHeight() + 1;
    const int left = region.Left + 2 * Calendar->ColumnWidth() / 3;  // two "0" widths of margin
    const TDateTime first = EncodeDate(2024, 1, 28);
    EXPECT_EQ(Calendar->DateAtPos(Point(left + 1, rowTop + 1)), first);
    EXPECT_EQ(Calendar->DateAtPos(Point(left + 3 * Calendar->ColumnWidth() + 1, rowTop + 2 * Calendar->RowHeight() + 1)),
              first + 17);
    EXPECT_EQ(Calendar->DateAtPos(Point(left - 1, rowTop + 1)), vlNullDate);        // the side margin
    EXPECT_EQ(Calendar->DateAtPos(Point(left + 1, rowTop - 2)), vlNullDate);        // the day names
    EXPECT_EQ(Calendar->DateAtPos(Point(left + 1, rowTop + 6 * Calendar->RowHeight())), vlNullDate);
    EXPECT_EQ(Calendar->DateAtPos(Point(-1, rowTop + 1)), vlNullDate);
}

TEST_F(TCalendarTest, KeysMoveTheSelectionAndTheMonthFollows)
{
    Calendar->SetSelectDate(EncodeDate(2024, 2, 10));
    struct Step {
        uint16_t key;
        TShiftState shift;
        TDateTime expected;
    };
    const Step steps[] = {
        {VK_END, {ssCtrl}, EncodeDate(2024, 2, 29)},  // a leap February
        {VK_HOME, {ssCtrl}, EncodeDate(2024, 2, 1)},
        {VK_LEFT, {}, EncodeDate(2024, 1, 31)},
        {VK_NEXT, {}, EncodeDate(2024, 2, 29)},
        {VK_RIGHT, {}, EncodeDate(2024, 3, 1)},
        {VK_UP, {}, EncodeDate(2024, 2, 23)},
        {VK_DOWN, {ssAlt}, EncodeDate(2024, 2, 23)},  // Alt+Down is the popup's
        {VK_DOWN, {}, EncodeDate(2024, 3, 1)},
        {VK_HOME, {}, EncodeDate(2024, 2, 25)},       // Sunday of that week
        {VK_END, {}, EncodeDate(2024, 3, 2)},
        {VK_PRIOR, {}, EncodeDate(2024, 2, 2)},
        {VK_END, {ssCtrl, ssShift}, EncodeDate(2024, 2, 3)},  // not Ctrl alone: the week's end
    };
    for (const Step& s : steps) {
        Calendar->key(s.key, s.shift);
        EXPECT_EQ(Calendar->SelectDate(), s.expected) << s.key;
        EXPECT_EQ(Calendar->FirstDate(), GetMonthStart(s.expected)) << s.key;
    }
}

TEST_F(TCalendarTest, AHeldArrowRepeatsEvery200MsUntilReleased)
{
    Calendar->SetFirstDate(EncodeDate(2024, 2, 1));
    ASSERT_EQ(Calendar->LastArrowIndex(), 3);
    const TPoint next = Calendar->centre(Calendar->ArrowRect(1));
    Calendar->MouseDown(mbLeft, {ssLeft}, next.X, next.Y);
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2024, 3, 1));
    Clock.Advance(199);
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2024, 3, 1));
    Clock.Advance(1);
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2024, 4, 1));
    Clock.Advance(400);
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2024, 6, 1));
    Calendar->MouseUp(mbLeft, {}, next.X, next.Y);
    EXPECT_FALSE(Clock.IsRunning(Calendar->RepeatTimer()->EventID()));
    Clock.Advance(1000);
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2024, 6, 1));
    EXPECT_TRUE(Calendar->Hidden.empty());  // an arrow does not close the popup

    // The year arrows move by years; without them two arrows move months.
    const TPoint yearBack = Calendar->centre(Calendar->ArrowRect(2));
    Calendar->click(yearBack);
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2023, 6, 1));
    Calendar->SetArrowsForYear(false);
    EXPECT_EQ(Calendar->LastArrowIndex(), 1);
    Calendar->click(Calendar->centre(Calendar->ArrowRect(0)));
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2023, 5, 1));
}

TEST_F(TCalendarTest, ADayClickSelectsWithoutMovingTheMonthAndTakesTheDate)
{
    Calendar->SetFirstDate(EncodeDate(2024, 2, 1));
    int changes = 0;
    Calendar->OnDateChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    const TRect& region = Calendar->DayRegion();
    const int left = region.Left + 2 * Calendar->ColumnWidth() / 3;
    const TPoint firstCell(left + 2, region.Top + Calendar->RowHeight() + 3);  // 28 January
    Calendar->click(firstCell);
    EXPECT_EQ(Calendar->SelectDate(), EncodeDate(2024, 1, 28));
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2024, 2, 1));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Calendar->Hidden, std::vector<int>{4});

    // A drag with the button held selects the day under the pointer.
    Calendar->MouseDown(mbLeft, {ssLeft}, firstCell.X, firstCell.Y);
    Calendar->MouseMove({ssLeft}, firstCell.X + Calendar->ColumnWidth(), firstCell.Y);
    EXPECT_EQ(Calendar->SelectDate(), EncodeDate(2024, 1, 29));
    Calendar->MouseUp(mbLeft, {}, firstCell.X + Calendar->ColumnWidth(), firstCell.Y);
}

TEST_F(TCalendarTest, ButtonsSetTheDateAndClearIsCentredAlone)
{
    int changes = 0;
    Calendar->OnDateChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    Calendar->ClearButton()->PerformClick();
    EXPECT_EQ(Calendar->SelectDate(), vlNullDate);
    Calendar->TodayButton()->PerformClick();
    EXPECT_EQ(Calendar->SelectDate(), EncodeDate(2024, 2, 10));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(Calendar->Hidden, (std::vector<int>{4, 4}));

    const int heightWithButtons = Calendar->Height();
    Calendar->SetCalendarButtons(TDateButtons{dbClear});
    EXPECT_FALSE(Calendar->TodayButton()->Visible());
    const TvlButton* clear = Calendar->ClearButton();
    EXPECT_LE(std::abs(clear->Left() - (Calendar->Width() - clear->Left() - clear->Width())), 2);
    Calendar->SetCalendarButtons(TDateButtons{});
    EXPECT_LT(Calendar->Height(), heightWithButtons);
    // Week numbers widen the grid.
    const int width = Calendar->Width();
    Calendar->SetWeekNumbers(true);
    EXPECT_GT(Calendar->Width(), width);
}

TEST_F(TCalendarTest, TheWheelOverACaptionScrollsMonthsOrYears)
{
    Calendar->SetFirstDate(EncodeDate(2024, 2, 1));
    const TPoint month = Calendar->ClientToScreen(Calendar->centre(Calendar->MonthCaption()));
    const TPoint year = Calendar->ClientToScreen(Calendar->centre(Calendar->YearCaption()));
    EXPECT_TRUE(Calendar->DoMouseWheel({}, -120, month));
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2024, 3, 1));
    EXPECT_TRUE(Calendar->DoMouseWheel({}, 120, year));
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2023, 3, 1));
}

TEST_F(TCalendarTest, TheMonthListOpensOnTheCaptionAndScrollsFasterFartherAway)
{
    Form->Show();
    QApplication::processEvents();
    Calendar->SetFirstDate(EncodeDate(2024, 5, 1));
    Calendar->MouseDown(mbLeft, {ssLeft}, Calendar->centre(Calendar->MonthCaption()).X,
                        Calendar->centre(Calendar->MonthCaption()).Y);
    TvlMonthListBox* list = Calendar->MonthList();
    ASSERT_TRUE(list->IsVisible());
    ASSERT_TRUE(list->IsYearMode());
    EXPECT_EQ(list->ItemCount(), 7);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->ItemDate(0), EncodeDate(2024, 2, 1));  // three months before
    EXPECT_EQ(list->ItemHeight(), Calendar->HeaderHeight() - 2);
    EXPECT_EQ(list->Height(), 7 * list->ItemHeight() + 2);

    const int h = list->ClientHeight();
    const int ih = list->ItemHeight();
    const uintptr_t timer = list->Timer()->EventID();
    const std::pair<int, long long> distances[] = {
        {h, 500}, {h + ih, 250}, {h + 2 * ih, 100}, {h + 3 * ih, 50}, {h + 10 * ih, 50}, {-1, 500}, {-2 * ih, 100}};
    for (const auto& [y, interval] : distances) {
        list->MouseMove({ssLeft}, 5, y);
        EXPECT_EQ(list->Timer()->Interval(), unsigned(interval)) << y;
        EXPECT_TRUE(Clock.IsRunning(timer)) << y;
        EXPECT_EQ(list->ItemIndex(), -1);
    }
    // Held below: one month on per tick.
    list->MouseMove({ssLeft}, 5, h + 2 * ih);
    const int delta = list->TopMonthDelta();
    Clock.Advance(100);
    EXPECT_EQ(list->TopMonthDelta(), delta + 1);
    Clock.Advance(200);
    EXPECT_EQ(list->TopMonthDelta(), delta + 3);
    // Back inside: scrolling stops and the item under the pointer lights.
    list->MouseMove({ssLeft}, 5, 1 + ih + 1);
    EXPECT_FALSE(Clock.IsRunning(timer));
    EXPECT_EQ(list->ItemIndex(), 1);
    const TDateTime chosen = list->ItemDate(1);
    list->MouseUp(mbLeft, {}, 5, 1 + ih + 1);
    EXPECT_FALSE(list->IsVisible());
    EXPECT_EQ(Calendar->FirstDate(), chosen);
    EXPECT_EQ(chosen, EncodeDate(2024, 6, 1));
}

TEST_F(TCalendarTest, InMonthModeTheListShowsTheYearsMonthsAndAClickTakesOne)
{
    Form->Show();
    QApplication::processEvents();
    Calendar->SetYearsInMonthList(false);
    Calendar->SetFirstDate(EncodeDate(2024, 1, 1));
    const TPoint caption = Calendar->centre(Calendar->MonthCaption());
    Calendar->MouseDown(mbLeft, {ssLeft}, caption.X, caption.Y);
    TvlMonthListBox* list = Calendar->MonthList();
    ASSERT_TRUE(list->IsVisible());
    EXPECT_FALSE(list->IsYearMode());
    EXPECT_EQ(list->ItemCount(), 12);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->ItemDate(0), EncodeDate(2024, 1, 1));
    EXPECT_EQ(list->ItemDate(11), EncodeDate(2024, 12, 1));
    list->MouseMove({}, 5, 1 + 4 * list->ItemHeight() + 2);
    list->Click();
    EXPECT_FALSE(list->IsVisible());
    EXPECT_EQ(Calendar->FirstDate(), EncodeDate(2024, 5, 1));
}

TEST_F(TCalendarTest, PaintingMarksTheSelectionAndToday)
{
    Calendar->SetColor(clWindow);
    Calendar->SetSelectDate(EncodeDate(2024, 2, 14));
    QImage image(Calendar->Width(), Calendar->Height(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    Calendar->PaintTo(image);
    auto rgb = [](TColor AColor) {
        const TColor v = ColorToRGB(AColor);
        return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
    };
    const TRect& region = Calendar->DayRegion();
    const int left = region.Left + 2 * Calendar->ColumnWidth() / 3;
    const int top = region.Top + Calendar->RowHeight() + 1;
    // 14 February: row 2, column 3; 10 February (today): row 1, column 6.
    const TPoint selected(left + 3 * Calendar->ColumnWidth() + 1, top + 2 * Calendar->RowHeight() + 1);
    EXPECT_EQ(image.pixel(selected.X, selected.Y), rgb(clHighlight));
    const TPoint today(left + 6 * Calendar->ColumnWidth(), top + Calendar->RowHeight());
    EXPECT_EQ(image.pixel(today.X, today.Y), rgb(clMaroon));
    EXPECT_EQ(image.pixel(today.X + 1, today.Y + 1), rgb(clWindow));
    for (int x = 0; x < image.width(); ++x)
        ASSERT_NE(image.pixel(x, image.height() / 2), qRgb(255, 0, 255)) << x;
}

TEST(ClockTest, KeepsOnlyTheTimeOfDay)
{
    TvlClock clock(nullptr);
    clock.SetTime(1.75);
    EXPECT_DOUBLE_EQ(clock.Time(), 0.75);
    clock.SetTime(-2.25);
    EXPECT_DOUBLE_EQ(clock.Time(), 0.25);
    clock.SetMinuteDotColor(clRed);
    EXPECT_EQ(clock.MinuteDotColor(), clRed);
}

}  // namespace
