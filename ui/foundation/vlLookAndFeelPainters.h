// vlLookAndFeelPainters.h - the painters of the looks: how headers, borders,
// grid lines and scroll bars of the grid family are drawn in each look.
#pragma once
#include "platform/controls/StdCtrls.h"
#include "ui/foundation/vlGraphics.h"

enum TvlEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };

// The painter interface of a look; the standard look is the only one built
// so far, and the one the job list asks for.
class TvlCustomLookAndFeelPainter {
public:
    virtual ~TvlCustomLookAndFeelPainter() = default;

    virtual int BorderSize() const = 0;
    virtual void DrawBorder(TvlCanvas* ACanvas, const TRect& R) const = 0;
    // The width of the header's edge on each side.
    virtual int HeaderBorderSize() const = 0;
    // A header cell: background (the bitmap tiled, else the colour), edge,
    // then the text in ATextAreaBounds.
    virtual void DrawHeader(TvlCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                            const String& AText, TAlignment AAlignmentHorz, TvlEditVertAlignment AAlignmentVert,
                            bool AShowEndEllipsis, TColor ABkColor, TColor ATextColor,
                            const TBitmap* ABkBitmap) const = 0;
    // The parts of a vertical scroll bar.
    virtual void DrawScrollBarButton(TvlCanvas* ACanvas, const TRect& R, bool AUp, bool APressed) const = 0;
    virtual void DrawScrollBarTrack(TvlCanvas* ACanvas, const TRect& R) const = 0;
    virtual void DrawScrollBarThumb(TvlCanvas* ACanvas, const TRect& R) const = 0;

    virtual TColor DefaultContentColor() const { return clWindow; }
    virtual TColor DefaultContentTextColor() const { return clWindowText; }
    virtual TColor DefaultHeaderColor() const { return clBtnFace; }
    virtual TColor DefaultHeaderTextColor() const { return clBtnText; }
    virtual TColor DefaultSelectionColor() const { return clHighlight; }
    virtual TColor DefaultSelectionTextColor() const { return clHighlightText; }
    virtual TColor DefaultGridLineColor() const { return clBtnShadow; }
    virtual TColor DefaultBackgroundColor() const { return clWindow; }
    virtual TColor ProgressBarTextColor() const { return clWindowText; }
};

class TvlStandardLookAndFeelPainter : public TvlCustomLookAndFeelPainter {
public:
    int BorderSize() const override { return 2; }
    void DrawBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    int HeaderBorderSize() const override { return 2; }
    void DrawHeader(TvlCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, const String& AText,
                    TAlignment AAlignmentHorz, TvlEditVertAlignment AAlignmentVert, bool AShowEndEllipsis,
                    TColor ABkColor, TColor ATextColor, const TBitmap* ABkBitmap) const override;
    void DrawScrollBarButton(TvlCanvas* ACanvas, const TRect& R, bool AUp, bool APressed) const override;
    void DrawScrollBarTrack(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawScrollBarThumb(TvlCanvas* ACanvas, const TRect& R) const override;
};

// DT_ flags of a horizontal and a vertical alignment.
uint32_t vlAlignmentToDrawTextFlags(TAlignment AHorz, TvlEditVertAlignment AVert);
