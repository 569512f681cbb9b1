// vlControls.h - the base of the grid family's controls: a custom-painted
// window with a look, a border, a painted vertical scroll bar and the
// canvas its painters draw on.
#pragma once
#include <memory>

#include "platform/controls/Controls.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vlLookAndFeels.h"

enum TvlControlBorderStyle { vlcbsNone, vlcbsDefault };
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };

class TvlControl : public TCustomControl {
public:
    explicit TvlControl(TComponent* AOwner);
    ~TvlControl() override;
    String ClassName() const override { return String::fromLatin1("TvlControl"); }

    // Valid during Paint.
    TvlCanvas* Canvas() const { return FCanvas.get(); }
    TvlLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    const TvlCustomLookAndFeelPainter* LookAndFeelPainter() const { return FLookAndFeel->Painter(); }
    TvlControlBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TvlControlBorderStyle Value);
    int BorderSize() const;

    // The client area without the border and the visible scroll bar.
    TRect GetClientBounds() const;
    TRect GetVScrollBarBounds() const;
    // The vertical scroll bar: shown when Visible; positions Min..Max with
    // a page of PageSize (a thumb proportional to it); the position is
    // clamped to Min..Max-PageSize+1.
    void SetVScrollBarParams(bool AVisible, int AMin, int AMax, int APageSize, int APosition);
    bool IsVScrollBarVisible() const { return FVScroll.Visible; }
    int VScrollBarPosition() const { return FVScroll.Position; }

protected:
    void Paint() override;
    // Paints the area inside the border and beside the scroll bar.
    virtual void PaintContent() {}
    void Dispatch(TMessage& Message) override;
    void EraseBackground(HDC DC) override { (void)DC; }  // the content covers everything
    // The user moved the scroll bar; APos is the asked-for position.
    virtual void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos);
    virtual void LookAndFeelChanged() { Invalidate(); }

private:
    struct TScrollState {
        bool Visible = false;
        int Min = 0, Max = 0, PageSize = 1, Position = 0;
    };
    enum TScrollPart { spNone, spLineUp, spLineDown, spPageUp, spPageDown, spThumb };
    TRect thumbBounds() const;
    TScrollPart scrollPartAt(TPoint P) const;
    bool handleScrollMouse(TMessage& Message);
    void lookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues);
    void paintScrollBar();

    std::unique_ptr<TvlCanvas> FCanvas;
    std::unique_ptr<TvlLookAndFeel> FLookAndFeel;
    TvlControlBorderStyle FBorderStyle = vlcbsDefault;
    TScrollState FVScroll;
    TScrollPart FPressedPart = spNone;
    int FThumbGrabOffset = 0;
};

// The text without its accelerator marks: a single "&" goes, "&&" becomes "&".
String RemoveAccelChars(const String& S);
