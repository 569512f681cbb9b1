// vlControlsDrag.cpp - the mouse modes of the controls: dragging a control
// to others, the drag-detect loop and the middle-button auto-scroll mode,
// both modal loops of their own over an injectable loop.
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/controls/AppEventHooks.h"
#include "platform/controls/ToolkitWidget.h"
#include "platform/graphics/SysMetrics.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlDragAndDrop.h"

namespace {

// The class-library drag object a control was last told of.
TDragObject*& currentDragObject()
{
    static TDragObject* object = nullptr;
    return object;
}

// --------------------------------------------------------------- the loop

TWinControl* controlOfWidget(QObject* Receiver)
{
    for (auto* w = qobject_cast<QWidget*>(Receiver); w != nullptr; w = w->parentWidget())
        if (auto* bridge = dynamic_cast<IToolkitWidget*>(w))
            if (TWinControl* c = bridge->OwnerControl())
                return c;
    return nullptr;
}

// What an input event stands for; false for any other event.
bool translate(QObject* Receiver, QEvent* E, TvlModalMessage& M)
{
    auto button = [](Qt::MouseButton B, UINT Left, UINT Right, UINT Middle) {
        return B == Qt::LeftButton ? Left : B == Qt::RightButton ? Right : B == Qt::MiddleButton ? Middle : WM_NULL;
    };
    switch (E->type()) {
    case QEvent::MouseMove: case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* m = static_cast<QMouseEvent*>(E);
        if (E->type() == QEvent::MouseMove)
            M.Msg = WM_MOUSEMOVE;
        else if (E->type() == QEvent::MouseButtonPress)
            M.Msg = button(m->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN);
        else if (E->type() == QEvent::MouseButtonRelease)
            M.Msg = button(m->button(), WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP);
        else
            M.Msg = button(m->button(), WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK);
        const QPointF g = m->globalPosition();
        M.ScreenPos = TPoint{int(g.x()), int(g.y())};
        break;
    }
    case QEvent::Wheel: {
        const QPointF g = static_cast<QWheelEvent*>(E)->globalPosition();
        M.Msg = WM_MOUSEWHEEL;
        M.ScreenPos = TPoint{int(g.x()), int(g.y())};
        break;
    }
    case QEvent::KeyPress: case QEvent::KeyRelease:
        M.Msg = E->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP;
        M.WParam = QtKeyToVirtualKey(static_cast<QKeyEvent*>(E)->key());
        M.ScreenPos = Mouse->CursorPos();
        break;
    default:
        return false;
    }
    // Mouse input goes to the capture's holder, wherever the pointer is.
    M.Control = GetCaptureControl();
    if (M.Control == nullptr)
        M.Control = controlOfWidget(Receiver);
    return true;
}

// The real loop: the application's events, each offered to the filter
// first. Any other event is offered as WM_NULL, so that a filter notices
// a lost capture while the input is still.
class TEventModalLoop : public IvlModalLoop {
public:
    void Run(const std::function<bool(const TvlModalMessage&)>& Filter) override
    {
        QEventLoop loop;
        bool quit = false;
        FRunning.push_back({&loop, &quit});
        const int hook = AddAppEventHook([&Filter, &quit](QObject* Receiver, QEvent* E) {
            if (quit)
                return false;
            TvlModalMessage m;
            if (!translate(Receiver, E, m))
                m = TvlModalMessage{};
            return Filter(m);
        });
        try {
            if (!quit)
                loop.exec();
        } catch (...) {
            RemoveAppEventHook(hook);
            FRunning.pop_back();
            throw;
        }
        RemoveAppEventHook(hook);
        FRunning.pop_back();
    }
    void Quit() override
    {
        if (FRunning.empty())
            return;
        *FRunning.back().second = true;
        FRunning.back().first->quit();
    }

private:
    std::vector<std::pair<QEventLoop*, bool*>> FRunning;
};

struct TLoopState {
    TEventModalLoop Real;
    IvlModalLoop* Injected = nullptr;
};

TLoopState& loopState()
{
    static TLoopState s;
    return s;
}

// ------------------------------------------------------ the anchor window

// Marks where the middle-button mode started: a round window that shows
// which directions can scroll. Our own picture.
class TScrollAnchor : public QWidget {
public:
    TScrollAnchor(bool AHorizontal, bool AVertical, TPoint AStart)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                               | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus),
          FHorizontal(AHorizontal), FVertical(AVertical)
    {
        setObjectName(QStringLiteral("vlScrollAnchor"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(AStart.X - Size / 2, AStart.Y - Size / 2, Size, Size);
        setMask(CreateEllipticRgn(0, 0, Size + 1, Size + 1).Region());
        show();
    }
    static constexpr int Size = 28;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), ColorToQColor(clWindow));
        p.setPen(ColorToQColor(clWindowText));
        p.setBrush(ColorToQColor(clWindowText));
        const int c = Size / 2;
        p.drawEllipse(QRect(c - 2, c - 2, 4, 4));
        auto arrow = [&p](QPoint A, QPoint B, QPoint C) { p.drawPolygon(QPolygon({A, B, C})); };
        if (FVertical) {
            arrow({c, 3}, {c - 4, 8}, {c + 4, 8});
            arrow({c, Size - 4}, {c - 4, Size - 9}, {c + 4, Size - 9});
        }
        if (FHorizontal) {
            arrow({3, c}, {8, c - 4}, {8, c + 4});
            arrow({Size - 4, c}, {Size - 9, c - 4}, {Size - 9, c + 4});
        }
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRect(0, 0, Size - 1, Size - 1));
    }

private:
    bool FHorizontal, FVertical;
};

}  // namespace

void SetModalLoop(IvlModalLoop* ALoop) { loopState().Injected = ALoop; }

IvlModalLoop* GetModalLoop()
{
    TLoopState& s = loopState();
    return s.Injected != nullptr ? s.Injected : &s.Real;
}

TDragObject* GetCurrentDragObject() { return currentDragObject(); }

bool IsControlKeyDown() { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier); }

// ------------------------------------------------------- drag detection

TDragDetectResult CheckDragDetect(TWinControl* Wnd)
{
    const int side = 2 * Mouse->DragThreshold();
    const TPoint centre = Mouse->CursorPos();
    const TRect area = Bounds(centre.X - side / 2, centre.Y - side / 2, side, side);
    TDragDetectResult result = ddrCancel;
    bool done = false;
    SetCaptureControl(Wnd);
    IvlModalLoop* loop = GetModalLoop();
    auto finish = [&](TDragDetectResult Value) {
        result = Value;
        done = true;
        loop->Quit();
    };
    auto release = [Wnd] {
        if (HasMouseCapture(Wnd))
            SetCaptureControl(nullptr);
    };
    try {
        loop->Run([&](const TvlModalMessage& M) {
            if (done)
                return false;
            if (!HasMouseCapture(Wnd)) {
                finish(ddrCancel);
                return false;
            }
            switch (M.Msg) {
            case WM_KEYDOWN: case WM_KEYUP:
                if (M.WParam == VK_ESCAPE)
                    finish(ddrCancel);
                break;
            case WM_MOUSEMOVE:
                if (M.Control == Wnd && !area.Contains(M.ScreenPos))
                    finish(ddrDrag);
                break;
            case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
                finish(ddrNone);
                break;
            default:
                break;
            }
            return false;  // every message is dispatched, the last one too
        });
    } catch (...) {
        release();
        throw;
    }
    release();
    return result;
}

// ------------------------------------------------- dragging the control

namespace {

std::unique_ptr<TDragObject> makeDragControlObject(TvlControl* AControl)
{
    return std::make_unique<TvlDragControlObject>(AControl);
}

std::unique_ptr<TvlDragImageList> makeDragImageList() { return std::make_unique<TvlDragImageList>(nullptr); }

}  // namespace

TvlDragControlObjectClass TvlControl::GetDragObjectClass() const { return makeDragControlObject; }

TvlDragImagesClass TvlControl::GetDragImagesClass() const { return makeDragImageList; }

bool TvlControl::IsCopyDragDrop() const { return IsControlKeyDown(); }

void TvlControl::DoStartDrag(TDragObject*& DragObject)
{
    Update();
    TCustomControl::DoStartDrag(DragObject);
    if (DragObject == nullptr)
        DragObject = AdoptDragObject(GetDragObjectClass()(this));
    if (!StartDrag(DragObject)) {
        AdoptDragObject(nullptr);  // frees the object made here
        DragObject = nullptr;
        CancelDrag();
    }
}

void TvlControl::DoEndDrag(TObject* Target, int X, int Y)
{
    TCustomControl::DoEndDrag(Target, X, Y);
    FDragImages.reset();
}

void TvlControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    if (auto* object = dynamic_cast<TDragObject*>(Source))
        currentDragObject() = State == dsDragLeave ? nullptr : object;
    TCustomControl::DragOver(Source, X, Y, State, Accept);
}

TDragImageList* TvlControl::GetDragImages()
{
    if (!HasDragImages())
        return nullptr;
    if (FDragImages == nullptr) {
        FDragImages = GetDragImagesClass()();
        InitDragImages(FDragImages.get());
    }
    return FDragImages->Count() > 0 ? FDragImages.get() : nullptr;
}

void TvlControl::InitDragImages(TvlDragImageList* AImages)
{
    const TPoint size = GetDragImagesSize();
    // An image list has no empty size: without one it stays empty.
    if (size.X <= 0 || size.Y <= 0)
        return;
    AImages->SetWidth(size.X);
    AImages->SetHeight(size.Y);
    TBitmap bitmap;
    bitmap.SetSize(size.X, size.Y);
    {
        TvlCanvas canvas(bitmap.Canvas());
        DrawDragImage(&canvas, Rect(0, 0, size.X, size.Y));
    }
    AImages->AddMasked(&bitmap, bitmap.TransparentColor());
}

// ------------------------------------------------------------ mouse down

void TvlControl::AfterMouseDown(TMouseButton Button, int X, int Y)
{
    // A press of a control that captures the mouse keeps it until the release.
    const bool captured = ControlStyle().Contains(csCaptureMouse);
    if (Button == mbLeft && DragMode() == dmAutomatic && captured
        && (!IsDesigning() || AllowAutoDragAndDropAtDesignTime(X, Y, TShiftState{})) && CanDrag(X, Y)
        && CheckDragDetect(this) == ddrDrag)
        BeginDrag(true, -1);
    if (Button == mbMiddle)
        scrollContentMode();
}

// The middle-button auto-scroll mode: the content scrolls toward the
// pointer, faster the farther it is from where the mode began, until a key
// (Escape), a click or the wheel ends it.
void TvlControl::scrollContentMode()
{
    const bool horizontal = IsHScrollBarVisible(), vertical = IsVScrollBarVisible();
    if (!horizontal && !vertical)
        return;
    FScrollingContent = true;
    const TPoint start = Mouse->CursorPos();
    TvlDirection direction = dirNone;
    int speed = 1;
    int ticks = 0;
    bool moved = false;
    bool done = false;
    TPoint last = start;
    auto anchor = std::make_unique<TScrollAnchor>(horizontal, vertical, start);
    const int w = TScrollAnchor::Size;

    auto cursor = [&] {
        switch (direction) {
        case dirLeft: return crvlLeftScroll;
        case dirRight: return crvlRightScroll;
        case dirUp: return crvlUpScroll;
        case dirDown: return crvlDownScroll;
        default: return horizontal && vertical ? crvlFullScroll : horizontal ? crvlHorScroll : crvlVerScroll;
        }
    };
    QGuiApplication::setOverrideCursor(ScreenCursor(cursor()));
    auto follow = [&](const TPoint& P) {
        TRect zone = Bounds(start.X - w / 2, start.Y - w / 2, w, w);
        if (!horizontal) {
            zone.Left = 0;
            zone.Right = Screen != nullptr ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
        }
        if (!vertical) {
            zone.Top = 0;
            zone.Bottom = Screen != nullptr ? Screen->Height() : GetSystemMetrics(SM_CYSCREEN);
        }
        if (zone.Contains(P)) {
            direction = dirNone;
            speed = 0;
        } else {
            moved = true;
            const int dx = P.X - start.X, dy = P.Y - start.Y;
            int distance;
            if (!horizontal || (vertical && std::abs(dy) >= std::abs(dx))) {
                direction = dy < 0 ? dirUp : dirDown;
                distance = std::abs(dy);
            } else {
                direction = dx < 0 ? dirLeft : dirRight;
                distance = std::abs(dx);
            }
            speed = std::min((distance - w / 2) / 5 + 1, 12);
        }
        QGuiApplication::changeOverrideCursor(ScreenCursor(cursor()));
    };

    IvlModalLoop* loop = GetModalLoop();
    auto finish = [&] {
        done = true;
        loop->Quit();
    };
    TvlTimer timer(nullptr);
    timer.SetInterval(20);
    timer.SetOnTimer(TNotifyEvent::FromFunction([&](TObject*) {
        if (done)
            return;
        if (!HasMouseCapture(this)) {
            finish();
            return;
        }
        // One line every (13 - speed) ticks: every 240 ms at speed 1, every
        // tick at speed 12.
        if (++ticks % (13 - speed) == 0)
            ScrollContent(direction);
    }));
    SetMouseCapture(this, true);
    auto cleanUp = [&] {
        timer.SetEnabled(false);
        if (HasMouseCapture(this))
            SetMouseCapture(this, false);
        anchor.reset();
        QGuiApplication::restoreOverrideCursor();
        FScrollingContent = false;
    };
    try {
        loop->Run([&](const TvlModalMessage& M) {
            if (done)
                return false;
            if (!HasMouseCapture(this)) {
                finish();
                return false;
            }
            switch (M.Msg) {
            case WM_KEYDOWN: case WM_KEYUP:
                if (M.WParam == VK_ESCAPE)
                    finish();
                return false;
            case WM_MOUSEMOVE:
                if (M.ScreenPos != last) {
                    follow(M.ScreenPos);
                    last = M.ScreenPos;
                }
                return false;
            case WM_MBUTTONUP:
                // A press and release without moving leaves the mode on
                // until the next click.
                if (moved)
                    finish();
                return false;
            default:
                if ((M.Msg >= WM_LBUTTONDOWN && M.Msg <= WM_MBUTTONDOWN) || M.Msg == WM_MBUTTONDBLCLK
                    || M.Msg == WM_MOUSEWHEEL) {
                    finish();
                    return true;  // ends the mode and goes no further
                }
                return false;
            }
        });
    } catch (...) {
        cleanUp();
        throw;
    }
    cleanUp();
}

// ------------------------------------------------------------- metrics, keys

void TvlControl::systemMetricsChanged()
{
    if (!HasScrollBars() || FHScrollBar == nullptr)
        return;
    const int height = GetSystemMetrics(SM_CYHSCROLL), width = GetSystemMetrics(SM_CXVSCROLL);
    if (height == FHScrollBar->Height() && width == FVScrollBar->Width())
        return;
    FHScrollBar->SetHeight(height);
    FVScrollBar->SetWidth(width);
    BoundsChanged();
}

bool TvlControl::WantsKey(uint16_t Key) const
{
    const LRESULT codes = const_cast<TvlControl*>(this)->Perform(WM_GETDLGCODE);
    if ((codes & DLGC_WANTALLKEYS) != 0)
        return true;
    if (Key == VK_TAB)
        return (codes & DLGC_WANTTAB) != 0;
    if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN)
        return (codes & DLGC_WANTARROWS) != 0;
    return false;
}
