// Tests of the job list built on the grid: the ten columns, styles and
// options of the converter's list, rendered offscreen and probed, and the
// mouse, popup, drop and update paths through the message layer.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Startup.h"
#include "ui/controls/vlEditRepositoryItems.h"
#include "ui/controls/vlProgressBar.h"
#include "ui/editors/vlImageComboBox.h"
#include "ui/grid/vlGridSlice.h"

using namespace vlslice;

namespace {

const TColor kStatusColors[4] = {clRed, clLime, clBlue, clYellow};

QRgb rgbOf(TColor c)
{
    const TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}

// The list as the main window's form builds it.
class JobList : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 812, 300);
        images = new TImageList(form.get());
        for (TColor c : kStatusColors) {
            TBitmap b;
            b.SetSize(16, 16);
            b.Canvas()->Brush()->SetColor(c);
            b.Canvas()->FillRect(Rect(0, 0, 16, 16));
            images->Add(&b, nullptr);
        }
        auto* repo = new TvlStyleRepository(form.get());
        style1 = static_cast<TvlStyle*>(repo->CreateStyle());
        style1->SetColor(14540253);
        style2 = static_cast<TvlStyle*>(repo->CreateStyle());
        style2->SetColor(15461355);
        style2->SetTextColor(clBlack);
        TFont f;
        f.SetSize(8);
        f.SetColor(clBlack);
        style2->SetFont(&f);
        style3 = static_cast<TvlStyle*>(repo->CreateStyle());
        style3->SetColor(15987699);
        popup = new TPopupMenu(form.get());

        grid = new TvlGrid(form.get());
        grid->SetName(QStringLiteral("lvFiles"));
        grid->SetParent(form.get());
        grid->SetAlign(alClient);
        grid->LookAndFeel()->SetKind(lfStandard);
        view = grid->CreateTableView();
        view->SetName(QStringLiteral("lvFilesTableView1"));
        grid->AddLevel()->SetGridView(view);
        struct Col { const char* caption; const char* props; int width; bool visible; TAlignment header; };
        const Col cols[10] = {
            {" File", "TvlTextEditProperties", 252, true, taLeftJustify},
            {"Total Time", "TvlTextEditProperties", 77, true, taCenter},
            {"File Size", "TvlTextEditProperties", 78, true, taCenter},
            {"Output File", "TvlTextEditProperties", 64, false, taLeftJustify},
            {"Current Time", "TvlTextEditProperties", 77, true, taCenter},
            {"File Size", "TvlTextEditProperties", 79, true, taCenter},
            {"FPS", "TvlTextEditProperties", 45, true, taCenter},
            {" Progress", "TvlProgressBarProperties", 187, true, taLeftJustify},
            {"", "", 64, false, taLeftJustify},
            {" Status", "TvlImageComboBoxProperties", 50, true, taCenter},
        };
        RegisterProgressBarProperties();  // the progress bar unit's start-up
        for (const Col& c : cols) {
            TvlGridColumn* col = view->CreateColumn();
            col->SetCaption(QString::fromLatin1(c.caption));
            col->SetPropertiesClassName(QString::fromLatin1(c.props));
            col->SetWidth(c.width);
            col->SetVisible(c.visible);
            col->SetHeaderAlignmentHorz(c.header);
            col->Options().Editing = false;
        }
        view->Columns(0)->Properties()->Alignment()->SetVert(taVCenter);
        for (int i : {1, 2, 4, 5, 6}) {
            view->Columns(i)->Properties()->Alignment()->SetHorz(taCenter);
            view->Columns(i)->Properties()->Alignment()->SetVert(taVCenter);
        }
        auto* bar = static_cast<TvlProgressBarProperties*>(view->Columns(7)->Properties());
        bar->SetBarBevelOuter(vlbvRaised);
        bar->SetBeginColor(16360823);
        bar->SetEndColor(16360823);
        bar->SetPeakColor(8404992);
        bar->SetSolidTextColor(true);
        TvlGridColumn* status = view->Columns(9);
        status->SetMinWidth(50);
        status->Options().HorzSizing = false;
        status->Options().Moving = false;
        auto* combo = static_cast<TvlImageComboBoxProperties*>(status->Properties());
        combo->SetImages(images);
        combo->SetReadOnly(true);
        combo->SetShowDescriptions(false);
        combo->SetImmediateDropDown(false);
        combo->SetPopupAlignment(taCenter);
        combo->Alignment()->SetHorz(taCenter);
        for (int i = 0; i < 4; ++i) {
            TvlImageComboBoxItem* item = combo->Items()->Add();
            item->SetImageIndex(i);
            item->SetValue(Variant(String::number(i)));
        }
        view->OptionsData() = {false, false, false, false, false};
        view->OptionsCustomize().ColumnMoving = false;
        view->OptionsCustomize().ColumnSorting = false;
        view->OptionsCustomize().ColumnGrouping = false;
        view->OptionsCustomize().ColumnFiltering = false;
        view->OptionsSelection().CellSelect = false;
        view->OptionsSelection().HideSelection = true;
        view->OptionsSelection().InvertSelect = false;
        view->OptionsView().CellEndEllipsis = true;
        view->OptionsView().ColumnAutoWidth = true;
        view->OptionsView().DataRowHeight = 24;
        view->OptionsView().HeaderHeight = 24;
        view->OptionsView().GridLineColor = clSilver;
        view->OptionsView().GroupByBox = false;
        view->OptionsView().NoDataToDisplayInfoText = QStringLiteral(" ");
        view->Styles().Background = style1;
        view->Styles().Selection = style2;
        view->Styles().Header = style3;
        view->SetPopupMenu(popup);
        view->OptionsChanged();
        dc = view->DataController();
    }
    void TearDown() override
    {
        form.reset();
        app.reset();
    }
    // A row as the main window writes it.
    int addRow(const QString& name, const Variant& progress, const Variant& statusValue)
    {
        const int r = dc->AppendRecord();
        view->BeginUpdate();
        dc->SetValue(r, 0, Variant(QStringLiteral(" ") + name));
        dc->SetValue(r, 1, Variant(QStringLiteral("00:01:00")));
        dc->SetValue(r, 2, Variant(QStringLiteral("1.5 MB")));
        dc->SetValue(r, 4, Variant(QStringLiteral("00:00:00")));
        dc->SetValue(r, 7, progress);
        dc->SetValue(r, 8, Variant(QStringLiteral("/videos/") + name));
        dc->SetValue(r, 9, statusValue);
        view->EndUpdate();
        dc->SetFocusedRowIndex(r);
        return r;
    }
    // The offscreen platform activates a window only when asked.
    void focusGrid()
    {
        form->Show();
        QApplication::setActiveWindow(form->Widget());
        grid->SetFocus();
    }
    QImage shot()
    {
        form->Show();
        return grid->Widget()->grab().toImage();
    }
    // The cell's content bounds in the grid's image (grid lines excluded).
    TRect content(int record, int column)
    {
        TRect r = view->DataCellBounds(record, column);
        r.Right -= 1;
        r.Bottom -= 1;
        return r;
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> form;
    TImageList* images = nullptr;
    TvlStyle *style1 = nullptr, *style2 = nullptr, *style3 = nullptr;
    TPopupMenu* popup = nullptr;
    TvlGrid* grid = nullptr;
    TvlGridTableView* view = nullptr;
    TvlCustomDataController* dc = nullptr;
};

struct Ink {
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
    bool any() const { return maxX >= 0; }
};

Ink inkIn(const QImage& img, const TRect& r, QRgb ink)
{
    Ink k;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (img.pixel(x, y) == ink) {
                k.minX = std::min(k.minX, x); k.maxX = std::max(k.maxX, x);
                k.minY = std::min(k.minY, y); k.maxY = std::max(k.maxY, y);
            }
    return k;
}

// The hidden full-path column names no editor: it gets the default item
// of its value type, the text item, while the repository unit lives.
TEST_F(JobList, AColumnWithoutAnEditorGetsTheDefaultItemOfItsValueType)
{
    TvlGridColumn* path = view->Columns(8);
    const TvlCustomEditProperties* plain = path->GetProperties();
    EXPECT_EQ(plain->ClassName(), QStringLiteral("TvlTextEditProperties"));
    TStartupList units;
    AddvlEditRepositoryItemsUnit(units);
    units.Initialize();
    TvlEditRepositoryItem* item = GetEditDataRegisteredRepositoryItems()->GetItem(TvlVariantValueType::Instance());
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(path->GetProperties(), item->Properties());
    EXPECT_EQ(view->Columns(7)->GetProperties()->ClassName(), QStringLiteral("TvlProgressBarProperties"));
    units.Finalize();
    EXPECT_EQ(path->GetProperties(), plain);
}

TEST_F(JobList, ColumnsFillTheWidthAndTheStatusColumnKeepsFifty)
{
    form->Show();
    const std::vector<int> w = view->ColumnDrawWidths();
    EXPECT_EQ(w[3], 0);
    EXPECT_EQ(w[8], 0);
    EXPECT_EQ(w[9], 50);
    int sum = 0;
    for (int x : w)
        sum += x;
    EXPECT_EQ(sum, grid->GetClientBounds().Width());
    EXPECT_GT(w[0], w[7]);  // proportions kept
    EXPECT_EQ(dc->GetItemCount(), 10);
}

TEST_F(JobList, RendersHeaderCellsAndStyles)
{
    addRow(QStringLiteral("a.avi"), Variant(0), Variant(QStringLiteral("0")));
    addRow(QStringLiteral("b.avi"), Variant(50), Variant(QStringLiteral("1")));
    addRow(QStringLiteral("c.avi"), Variant(QStringLiteral("100")), Variant(2));
    dc->SetFocusedRowIndex(1);
    focusGrid();
    QImage img = shot();

    // Header: the file caption starts at the left of its text area, the
    // status caption is centred, both vertically centred in 24 pixels.
    const QRgb headerInk = rgbOf(clBtnText);
    const TRect h0 = view->HeaderCellBounds(0), h9 = view->HeaderCellBounds(9);
    EXPECT_EQ(h0.Height(), 24);
    const Ink file = inkIn(img, h0, headerInk);
    ASSERT_TRUE(file.any());
    EXPECT_GE(file.minX, h0.Left + 4);
    EXPECT_LE(file.minX, h0.Left + 4 + 8);  // after the caption's leading blank
    EXPECT_LE(std::abs((file.minY - h0.Top) - (h0.Bottom - 1 - file.maxY)), 3);
    const Ink stat = inkIn(img, h9, headerInk);
    ASSERT_TRUE(stat.any());
    EXPECT_LE(std::abs((stat.minX + stat.maxX) / 2 - (h9.Left + h9.Right) / 2), 3);
    EXPECT_EQ(img.pixel(h0.Left + 100, h0.Top + 3), rgbOf(15987699));  // header style colour

    // Progress: the bar covers value percent of the content width.
    const QRgb barColor = rgbOf(16360823), shadow = rgbOf(clBtnShadow);
    for (int row : {0, 1, 2}) {
        const TRect q = content(row, 7);
        const int expected = row == 0 ? 0 : row == 1 ? q.Width() / 2 : q.Width();
        int lastShadow = -1;
        for (int x = q.Left; x < q.Right; ++x)
            if (img.pixel(x, q.Top + 2) == shadow)
                lastShadow = x;
        if (expected == 0) {
            EXPECT_EQ(lastShadow, -1);
            EXPECT_NE(img.pixel(q.Left + 1, q.Top + 2), barColor);
        } else {
            EXPECT_EQ(lastShadow, q.Left + expected - 1) << "row " << row;
            EXPECT_EQ(img.pixel(q.Left + 2, q.Top + 2), barColor);
        }
    }

    // Status icons, centred in their cells.
    for (int row : {0, 1, 2}) {
        const TRect q = content(row, 9);
        const TPoint c = q.CenterPoint();
        EXPECT_EQ(img.pixel(c.X, c.Y), rgbOf(kStatusColors[row])) << "row " << row;
        EXPECT_NE(img.pixel(q.Left + 1, c.Y), rgbOf(kStatusColors[row]));
    }

    // Selection colours on the focused row while the grid has the focus;
    // plain content elsewhere; the background style below the rows.
    ASSERT_TRUE(grid->IsFocused());
    EXPECT_EQ(img.pixel(content(1, 1).Left + 3, content(1, 1).Top + 3), rgbOf(15461355));
    EXPECT_EQ(img.pixel(content(0, 1).Left + 3, content(0, 1).Top + 3), rgbOf(clWindow));
    EXPECT_EQ(img.pixel(content(1, 0).Right, content(1, 0).Top + 5), rgbOf(clSilver));  // grid line
    const TRect below = Rect(10, view->DataCellBounds(3, 0).Top + 5, 11, 0);
    EXPECT_EQ(img.pixel(below.Left, below.Top), rgbOf(14540253));
    // File text is black on the selection, drawn from the left.
    EXPECT_TRUE(inkIn(img, content(1, 0), rgbOf(clBlack)).any());
}

// The cell's background reaches its edges and the text starts where the
// same text drawn alone starts, two pixels in from the cell's left edge.
TEST_F(JobList, CellBackgroundAndTextStart)
{
    addRow(QStringLiteral("Wq.avi"), Variant(0), Variant(QStringLiteral("0")));
    dc->SetValue(0, 0, Variant(QStringLiteral("Wq.avi")));
    const QImage img = shot();
    const TRect q = content(0, 0);
    const QRgb bg = rgbOf(clWindow);
    for (int y = q.Top; y < q.Bottom; ++y) {
        EXPECT_EQ(img.pixel(q.Left, y), bg) << y;
        EXPECT_EQ(img.pixel(q.Right - 1, y), bg) << y;
    }
    // The reference: the text alone, drawn at the text offset.
    QImage ref(q.Width(), q.Height(), QImage::Format_RGB32);
    ref.fill(bg);
    {
        TDeviceContext refDc(&ref);
        TCanvas canvas;
        canvas.SetHandle(&refDc);
        canvas.SetFont(grid->Font());
        TRect r = Rect(2, 0, q.Width() - 2, q.Height());
        DrawTextOnCanvas(&canvas, QStringLiteral("Wq.avi"), r,
                         vlAlignmentToDrawTextFlags(taLeftJustify, taVCenter) | DT_END_ELLIPSIS, clWindowText);
        canvas.SetHandle(nullptr);
    }
    auto firstInk = [&](const QImage& AImage, const TRect& R) {
        TPoint first{-1, -1};
        for (int x = R.Left; x < R.Right && first.X < 0; ++x)
            for (int y = R.Top; y < R.Bottom; ++y)
                if (AImage.pixel(x, y) != bg) {
                    first = TPoint{x - R.Left, y - R.Top};
                    break;
                }
        return first;
    };
    const TPoint expected = firstInk(ref, Rect(0, 0, q.Width(), q.Height()));
    ASSERT_GE(expected.X, 2);
    EXPECT_EQ(firstInk(img, q), expected);
}

TEST_F(JobList, SelectionIsHiddenWithoutFocus)
{
    addRow(QStringLiteral("a.avi"), Variant(0), Variant(QStringLiteral("0")));
    auto* other = new TPanel(form.get());
    other->SetParent(form.get());
    other->SetAlign(alTop);
    other->SetTabStop(true);
    focusGrid();
    other->SetFocus();
    const QImage img = shot();
    ASSERT_FALSE(grid->IsFocused());
    EXPECT_EQ(dc->GetSelectedCount(), 1);
    EXPECT_EQ(img.pixel(content(0, 1).Left + 3, content(0, 1).Top + 3), rgbOf(clWindow));
}

TEST_F(JobList, DeletingARowMovesTheRestUp)
{
    for (int i = 0; i < 3; ++i)
        addRow(QStringLiteral("f%1.avi").arg(i), Variant(i * 40), Variant(String::number(i)));
    dc->DeleteRecord(1);
    ASSERT_EQ(dc->GetRecordCount(), 2);
    EXPECT_EQ(VarToStr(dc->GetValue(1, 0)), QStringLiteral(" f2.avi"));
    EXPECT_EQ(VarToStr(dc->GetValue(1, 8)), QStringLiteral("/videos/f2.avi"));
    const QImage img = shot();
    const TPoint c = content(1, 9).CenterPoint();
    EXPECT_EQ(img.pixel(c.X, c.Y), rgbOf(kStatusColors[2]));
    EXPECT_EQ(img.pixel(content(2, 1).Left + 3, content(2, 1).Top + 3), rgbOf(14540253));  // no third row
}

TEST_F(JobList, UpdateLockHoldsThePictureUntilEndUpdate)
{
    addRow(QStringLiteral("a.avi"), Variant(0), Variant(QStringLiteral("0")));
    const TPoint c = content(0, 9).CenterPoint();
    EXPECT_EQ(shot().pixel(c.X, c.Y), rgbOf(kStatusColors[0]));
    view->BeginUpdate();
    dc->SetValue(0, 9, Variant(2));
    grid->Invalidate();
    EXPECT_EQ(shot().pixel(c.X, c.Y), rgbOf(kStatusColors[0]));
    view->EndUpdate();
    EXPECT_EQ(shot().pixel(c.X, c.Y), rgbOf(kStatusColors[2]));
}

TEST_F(JobList, DoubleClickAndPopupReachTheirHandlersThroughMessages)
{
    addRow(QStringLiteral("a.avi"), Variant(0), Variant(QStringLiteral("0")));
    addRow(QStringLiteral("b.avi"), Variant(0), Variant(QStringLiteral("0")));
    dc->SetFocusedRowIndex(1);
    form->Show();
    std::vector<UINT> seen;
    const TWndMethod old = grid->WindowProc;
    grid->WindowProc = TWndMethod::FromFunction([&](TMessage& m) { seen.push_back(m.Msg); old(m); });
    int dblRecord = -1, dblItem = -1, popups = 0;
    view->OnCellDblClick = TvlGridCellClickEvent::FromFunction(
        [&](TvlCustomGridTableView*, TvlGridTableDataCellViewInfo* info, TMouseButton, TShiftState, bool&) {
            dblRecord = info->RecordIndex;
            dblItem = info->Item->Index();
        });
    popup->OnPopup = TNotifyEvent::FromFunction([&](TObject*) { ++popups; });

    const TPoint p = content(0, 2).CenterPoint();
    const QPointF local(p.X, p.Y);
    QWidget* w = grid->Widget();
    auto send = [&](QEvent::Type t, Qt::MouseButton b) {
        QMouseEvent e(t, local, w->mapToGlobal(local), b, t == QEvent::MouseButtonRelease ? Qt::NoButton : b,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(dc->GetFocusedRecordIndex(), 0);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(dblRecord, 0);
    EXPECT_EQ(dblItem, 2);
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_LBUTTONDBLCLK)), seen.end());

    dc->SetFocusedRowIndex(1);
    send(QEvent::MouseButtonPress, Qt::RightButton);
    send(QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(dc->GetFocusedRecordIndex(), 0);  // a right click focuses its row first
    EXPECT_EQ(popup->PopupComponent(), grid);
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_RBUTTONUP)), seen.end());
    popup->Items()->BuildMenu()->close();

    // A double click below the rows is no cell.
    dblRecord = -1;
    const TPoint empty = content(4, 2).CenterPoint();
    grid->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(empty.X, empty.Y));
    EXPECT_EQ(dblRecord, -1);
    grid->WindowProc = old;
}

TEST_F(JobList, DroppedFilesReachTheReplacedWindowProcedure)
{
    grid->SetAcceptFiles(true);
    QStringList avi, other;
    int passedOn = 0;
    const TWndMethod old = grid->WindowProc;
    grid->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
        if (m.Msg == WM_DROPFILES) {
            auto drop = reinterpret_cast<HDROP>(m.WParam);
            for (int i = 0; i < DragQueryFileCount(drop); ++i) {
                const String f = DragQueryFile(drop, i);
                (f.toLower().endsWith(QStringLiteral(".avi")) ? avi : other).push_back(f);
            }
            return;
        }
        ++passedOn;
        old(m);
    });
    form->Show();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.avi")), QUrl::fromLocalFile(QStringLiteral("/tmp/B.AVI")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/c.mpg"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->Widget(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->Widget(), &drop);
    EXPECT_EQ(avi, (QStringList{QStringLiteral("/tmp/a.avi"), QStringLiteral("/tmp/B.AVI")}));
    EXPECT_EQ(other, QStringList{QStringLiteral("/tmp/c.mpg")});
    shot();
    EXPECT_GT(passedOn, 0);  // painting still goes through the saved procedure
    grid->WindowProc = old;
}

TEST_F(JobList, OverflowShowsTheScrollBarAndFocusScrollsIntoView)
{
    form->Show();
    EXPECT_FALSE(grid->IsVScrollBarVisible());
    const int fit = view->VisibleRowCount();
    ASSERT_GT(fit, 2);
    for (int i = 0; i < fit; ++i)
        addRow(QStringLiteral("f%1.avi").arg(i), Variant(0), Variant(QStringLiteral("0")));
    EXPECT_FALSE(grid->IsVScrollBarVisible());
    addRow(QStringLiteral("last.avi"), Variant(0), Variant(QStringLiteral("3")));  // focused
    EXPECT_TRUE(grid->IsVScrollBarVisible());
    EXPECT_EQ(view->TopRecordIndex(), 1);
    QImage img = shot();
    const TRect bar = grid->GetVScrollBarBounds();
    EXPECT_EQ(bar.Width(), 17);
    EXPECT_EQ(img.pixel(bar.Left + 8, bar.Top + bar.Height() / 2 - 20), rgbOf(clScrollBar));
    const TPoint c = content(fit, 9).CenterPoint();
    EXPECT_EQ(img.pixel(c.X, c.Y), rgbOf(kStatusColors[3]));  // the last row is on screen

    // The up arrow scrolls one row back, the wheel scrolls down again.
    EXPECT_EQ(grid->VScrollBar()->BoundsRect(), bar);
    grid->VScrollBar()->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(8, 3));
    grid->VScrollBar()->Perform(WM_LBUTTONUP, 0, MakeLParam(8, 3));
    EXPECT_EQ(view->TopRecordIndex(), 0);
    grid->Perform(WM_MOUSEWHEEL, MakeWParam(0, -120), 0);
    EXPECT_EQ(view->TopRecordIndex(), 1);  // clamped at the last page
    // Keys move the focus and keep it in view.
    grid->Perform(WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(dc->GetFocusedRecordIndex(), 0);
    EXPECT_EQ(view->TopRecordIndex(), 0);
    grid->Perform(WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(dc->GetFocusedRecordIndex(), fit);
    EXPECT_EQ(view->TopRecordIndex(), 1);
}

}  // namespace
