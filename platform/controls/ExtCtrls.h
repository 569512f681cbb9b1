// ExtCtrls.h - panels, images, paint boxes, shapes, bevels, splitters and
// timers; all but the panel and the timer are graphic controls.
#pragma once
#include <QTimer>
#include <memory>

#include "platform/controls/StdCtrls.h"

class TPicture;
class TPen;
class TBrush;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TPanel"); }
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value) { FBevelOuter = Value; Realign(); Invalidate(); }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value) { FBevelInner = Value; Realign(); Invalidate(); }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { FBevelWidth = Value; Realign(); Invalidate(); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; Invalidate(); }

protected:
    void AdjustClientRect(TRect& R) const override;
    void Paint() override;

private:
    TBevelCut FBevelOuter = bvRaised, FBevelInner = bvNone;
    int FBevelWidth = 1;
    TAlignment FAlignment = taCenter;
};

class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TPaintBox"); }
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    String ClassName() const override { return String::fromLatin1("TImage"); }
    TPicture* Picture() const { return FPicture.get(); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { FStretch = Value; Invalidate(); }
    bool Center() const { return FCenter; }
    void SetCenter(bool Value) { FCenter = Value; Invalidate(); }

protected:
    void Paint() override;

private:
    void pictureChanged(TObject*) { Invalidate(); }
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false, FCenter = false;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    String ClassName() const override { return String::fromLatin1("TShape"); }
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType Value) { FShape = Value; Invalidate(); }
    TPen* Pen() const { return FPen.get(); }
    TBrush* Brush() const { return FBrush.get(); }

protected:
    void Paint() override;

private:
    void styleChanged(TObject*) { Invalidate(); }
    TShapeType FShape = stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TBevel"); }
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value) { FShape = Value; Invalidate(); }
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value) { FStyle = Value; Invalidate(); }

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// Dragging it resizes the aligned control it sits against.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TSplitter"); }
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value; }
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TControl* findControl() const;
    TControl* FControl = nullptr;
    TPoint FDownPos;
    int FDownSize = 0;
    int FMinSize = 30;
};

// Its ticks arrive as WM_TIMER through a hidden window's procedure.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    String ClassName() const override { return String::fromLatin1("TTimer"); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int Interval() const { return FInterval; }
    void SetInterval(int Value);
    TNotifyEvent OnTimer;
    HWND Handle() const { return FWindow->ReceiverHandle(); }

protected:
    virtual void Timer();

private:
    void wndProc(TMessage& Message);
    void update();
    bool FEnabled = true;
    int FInterval = 1000;
    std::unique_ptr<TMessageWindow> FWindow;
    std::unique_ptr<QTimer> FTimer;
};
