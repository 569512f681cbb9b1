// vlGroupBox.h - the group box: a frame with a caption on one of its sides
// or in its centre, hosting child controls inside; optionally a panel with
// the caption inside.
#pragma once
#include <functional>
#include <memory>

#include "ui/editors/vlEdit.h"
#include "ui/editors/vlTextEdit.h"

// Where the caption stands.
enum TvlCaptionAlignment {
    alTopLeft, alTopCenter, alTopRight, alBottomLeft, alBottomCenter, alBottomRight, alLeftTop, alLeftCenter,
    alLeftBottom, alRightTop, alRightCenter, alRightBottom, alCenterCenter
};
// The side of a caption alignment: 0 top, 1 bottom, 2 left, 3 right, 4 centre.
int GroupBoxCaptionSide(TvlCaptionAlignment AAlignment);
// The standard caption rectangle (no panel, no skin) in a W x H box with a
// shadow of AShadowSize, for a text of size ATextSize; empty for an empty
// text.
TRect CalculateGroupBoxCaptionRect(TvlCaptionAlignment AAlignment, int AWidth, int AHeight, int AShadowSize,
                                   const TSize& ATextSize);

enum TvlPanelOffice11BackgroundKind { pobkGradient, pobkOffice11Color, pobkStyleColor };

class TvlCustomGroupBox;

// The panel mode of a group box (off unless code switches it on).
class TvlPanelStyle : public TPersistent {
public:
    explicit TvlPanelStyle(TvlCustomGroupBox* AOwner) : FOwner(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlPanelStyle"); }
    // Active, CaptionIndent, WordWrap and OfficeBackgroundKind (not
    // BorderWidth) from another panel style.
    void Assign(const TPersistent* Source) override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    int CaptionIndent() const { return FCaptionIndent; }
    // Below 2 becomes 2.
    void SetCaptionIndent(int Value);
    TvlPanelOffice11BackgroundKind OfficeBackgroundKind() const { return FOfficeBackgroundKind; }
    void SetOfficeBackgroundKind(TvlPanelOffice11BackgroundKind Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    TPersistent* GetOwner() const override;

private:
    void changed(bool AOnlyWhenActive);
    TvlCustomGroupBox* FOwner;
    bool FActive = false;
    int FBorderWidth = 0;
    int FCaptionIndent = 2;
    TvlPanelOffice11BackgroundKind FOfficeBackgroundKind = pobkOffice11Color;
    bool FWordWrap = false;
};

class TvlCustomGroupBoxProperties : public TvlCustomEditProperties {
public:
    explicit TvlCustomGroupBoxProperties(TPersistent* AOwner) : TvlCustomEditProperties(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlCustomGroupBoxProperties"); }
    TvlCustomEditClass GetContainerClass() const override;
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

class TvlGroupBoxViewInfo : public TvlCustomTextEditViewInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlGroupBoxViewInfo"); }
    void Offset(int DX, int DY) override;
    // The caption (empty draws nothing), clipped to its rectangle.
    virtual void DrawCaption(TvlCanvas* ACanvas);
    // The frame: the panel rectangle in panel mode, else the border
    // rectangle grown by the border's width on the style's edges.
    TRect GetFrameRect() const;

    // The caption with its margins; the text is drawn in TextRect.
    TRect CaptionRect;
    TvlCaptionAlignment Alignment = alTopLeft;
    bool PanelMode = false;
    TRect PanelRect;
    uint32_t CaptionTextFlags = 0;
    const TFont* CaptionFont = nullptr;
    TColor CaptionColor = clDefault;
    TvlCustomGroupBox* GroupBox = nullptr;

protected:
    void InternalPaint(TvlCanvas* ACanvas) override;
};

class TvlGroupBoxViewData : public TvlCustomEditViewData {
public:
    using TvlCustomEditViewData::TvlCustomEditViewData;
    String ClassName() const override { return String::fromLatin1("TvlGroupBoxViewData"); }
    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    TvlContainerState ComputeContainerState(const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                                            TShiftState AShift, bool AIsMouseEvent) const override;
    TColor ComputeBorderColor() const override;
    // The frame runs through the middle of the caption on its side.
    void GetBorderExtent(TRect& AExtent) const override;
    // The caption band is reserved on its side.
    void ClientMargins(TvlCanvas* ACanvas, const TvlCustomEditViewInfo* AViewInfo, TRect& AExtent) const override;
    bool HasShadow() const override;
    // The control's extent for its children.
    void GetClientExtent(TRect& AExtent) const;

    TvlCustomGroupBox* GroupBox() const;

private:
    int captionTextHeight() const;
    void layoutStandardCaption(TvlCanvas* ACanvas, TvlGroupBoxViewInfo* AViewInfo);
    void layoutPanelCaption(TvlCanvas* ACanvas, TvlGroupBoxViewInfo* AViewInfo);
};

using TvlGroupBoxCustomDrawEvent = std::function<void(TObject* Sender, bool& ADone)>;
using TvlGroupBoxCustomDrawElementEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& R, const TvlCustomLookAndFeelPainter* APainter,
                       bool& ADone)>;
using TvlGroupBoxMeasureCaptionHeightEvent =
    std::function<void(TObject* Sender, const TvlCustomLookAndFeelPainter* APainter, int& AHeight)>;

class TvlCustomGroupBox : public TvlCustomEdit {
public:
    TvlCustomGroupBox(TComponent* AOwner, bool AIsInplace = false)
        : TvlCustomEdit(AOwner, AIsInplace, TDeferInitialize{})
    {
    }
    ~TvlCustomGroupBox() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGroupBox"); }
    void Initialize() override;

    TvlCaptionAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TvlCaptionAlignment Value);
    TvlPanelStyle* PanelStyle() const { return FPanelStyle.get(); }
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    bool IsPanelMode() const { return FPanelStyle != nullptr && FPanelStyle->Active(); }
    bool IsSelectingFirstChild() const { return FSelectingFirstChild; }

    // A new caption font, refreshed view, new child layout.
    void LayoutChanged();
    // Standalone, the caption font takes the container's visible font.
    void UpdateCaptionFont();
    uint32_t GetCaptionTextFlags() const;
    bool DoCustomDrawCaption(TvlCanvas* ACanvas, const TRect& R, const TvlCustomLookAndFeelPainter* APainter);
    bool DoCustomDrawContentBackground(TvlCanvas* ACanvas, const TRect& R,
                                       const TvlCustomLookAndFeelPainter* APainter);
    virtual bool IsNonClientCaptionAllowed() const { return true; }
    bool HasNonClientCaption() const;
    bool HasShadow() override;

    void AdjustClientRect(TRect& R) const override;

    TvlGroupBoxCustomDrawEvent OnCustomDraw;
    TvlGroupBoxCustomDrawElementEvent OnCustomDrawCaption;
    TvlGroupBoxCustomDrawElementEvent OnCustomDrawContentBackground;
    TvlGroupBoxMeasureCaptionHeightEvent OnMeasureCaptionHeight;

protected:
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
    virtual std::unique_ptr<TvlPanelStyle> CreatePanelStyle();
    bool CanFocusOnClick() const override { return false; }
    bool NeedsWindowRegion() const override { return false; }
    bool DefaultParentColor() const override { return true; }
    bool IsContainerClass() const override { return true; }
    bool IsAutoSizeActive() const override { return false; }
    TvlContainerStyle* InternalGetActiveStyle() override;
    void TextChanged() override;
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    // The first child in tab order takes the focus.
    void SelectFirstChild();

    bool FSelectingFirstChild = false;

private:
    TvlCaptionAlignment FAlignment = alTopLeft;
    std::unique_ptr<TvlPanelStyle> FPanelStyle;
    std::unique_ptr<TFont> FCaptionFont;
};
