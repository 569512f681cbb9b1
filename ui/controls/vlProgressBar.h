// vlProgressBar.h - the progress bar editor: its settings, the standalone
// control, and the view data and view info that lay a value out as a bar
// and paint it off-screen in one block (solid, gradient, tiled and animated
// styles with or without LEDs, overload zone, peak marker, marquee, glow),
// standalone or in a grid cell.
#pragma once
#include <limits>

#include "ui/editors/vlEdit.h"
#include "ui/editors/vlFilterControlUtils.h"

enum TvlProgressBarAnimationPath { vlapCycle, vlapPingPong };
enum TvlProgressBarBevelOuter { vlbvNone, vlbvLowered, vlbvRaised };
enum TvlProgressBarBarStyle {
    vlbsSolid, vlbsLEDs, vlbsGradient, vlbsGradientLEDs, vlbsBitmap, vlbsBitmapLEDs, vlbsAnimation, vlbsAnimationLEDs
};
enum TvlProgressBarOrientation { vlorHorizontal, vlorVertical };
enum TvlProgressBarTextStyle { vltsPercent, vltsPosition, vltsText };
// 0..20.
using TvlProgressBarAnimationSpeed = uint8_t;
using TvlBorderWidth = uint16_t;
// 1..MaxInt.
using TvlNaturalNumber = int;

class TvlProgressBar;
class TvlCustomProgressBarViewInfo;

// The assigned flags of Max and Min under their own names: a flag is
// written where the bound itself is 0 (a zero Double is not written).
class TvlProgressBarPropertiesValues : public TvlCustomEditPropertiesValues {
public:
    using TvlCustomEditPropertiesValues::TvlCustomEditPropertiesValues;
    String ClassName() const override { return String::fromLatin1("TvlProgressBarPropertiesValues"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    bool Max() const { return MaxValue(); }
    void SetMax(bool Value) { SetMaxValue(Value); }
    bool Min() const { return MinValue(); }
    void SetMin(bool Value) { SetMinValue(Value); }
    bool IsMaxStored() const;
    bool IsMinStored() const;
};

class TvlCustomProgressBarProperties : public TvlCustomEditProperties {
public:
    explicit TvlCustomProgressBarProperties(TPersistent* AOwner);
    ~TvlCustomProgressBarProperties() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomProgressBarProperties"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    // Every setting of another progress bar's properties, the text and the
    // animation speed included.
    void Assign(const TPersistent* Source) override;

    TvlProgressBarAnimationPath AnimationPath() const { return FAnimationPath; }
    void SetAnimationPath(TvlProgressBarAnimationPath Value);
    uint32_t AnimationRestartDelay() const { return FAnimationRestartDelay; }
    void SetAnimationRestartDelay(uint32_t Value);
    TvlProgressBarAnimationSpeed AnimationSpeed() const { return FAnimationSpeed; }
    // Above 20 stores 20.
    void SetAnimationSpeed(int Value);
    TvlProgressBarBevelOuter BarBevelOuter() const { return FBarBevelOuter; }
    void SetBarBevelOuter(TvlProgressBarBevelOuter Value);
    TvlProgressBarBarStyle BarStyle() const { return FBarStyle; }
    // An animated style brings its green begin colour.
    void SetBarStyle(TvlProgressBarBarStyle Value);
    TColor BeginColor() const { return FBeginColor; }
    void SetBeginColor(TColor Value);
    TvlBorderWidth BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(TvlBorderWidth Value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    // Made empty on the first read; editing it reports a change.
    TBitmap* ForegroundImage();
    const TBitmap* ForegroundImageIfAny() const { return FForegroundImage.get(); }
    // nullptr frees the image; anything else is copied in.
    void SetForegroundImage(const TBitmap* Value);
    bool Marquee() const { return FMarquee; }
    // On brings the fixed text style.
    void SetMarquee(bool Value);
    double Max() const { return GetMaxValue(); }
    // Pulls Min, OverloadValue and PeakValue in instead of refusing.
    void SetMax(double Value);
    double Min() const { return GetMinValue(); }
    void SetMin(double Value);
    TvlProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TvlProgressBarOrientation Value);
    TColor OverloadBeginColor() const { return FOverloadBeginColor; }
    void SetOverloadBeginColor(TColor Value);
    TColor OverloadEndColor() const { return FOverloadEndColor; }
    void SetOverloadEndColor(TColor Value);
    double OverloadValue() const { return FOverloadValue; }
    // Kept inside Min..Max.
    void SetOverloadValue(double Value);
    TColor PeakColor() const { return FPeakColor; }
    void SetPeakColor(TColor Value);
    TvlNaturalNumber PeakSize() const { return FPeakSize; }
    // Below 1 stores 1.
    void SetPeakSize(TvlNaturalNumber Value);
    double PeakValue() const { return FPeakValue; }
    void SetPeakValue(double Value);
    bool ShowOverload() const { return FShowOverload; }
    void SetShowOverload(bool Value);
    bool ShowPeak() const { return FShowPeak; }
    void SetShowPeak(bool Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    TvlProgressBarTextStyle ShowTextStyle() const { return FShowTextStyle; }
    // Only vltsText while Marquee is on.
    void SetShowTextStyle(TvlProgressBarTextStyle Value);
    bool SolidTextColor() const { return FSolidTextColor; }
    void SetSolidTextColor(bool Value);
    const String& Text() const { return FText; }
    // A text that is not empty brings the fixed text style.
    void SetText(const String& Value);
    TvlProgressBarOrientation TextOrientation() const { return FTextOrientation; }
    void SetTextOrientation(TvlProgressBarOrientation Value);
    bool TransparentImage() const { return FTransparentImage; }
    void SetTransparentImage(bool Value);
    bool IsOverloadValueStored() const { return FOverloadValue != 80; }
    bool IsPeakValueStored() const { return FPeakValue != 0; }
    bool IsShowTextStyleStored() const { return !FMarquee && FShowTextStyle != vltsPercent; }

    // Internal: the image must be copied into the view info again.
    // (Marks for the layouts, not settings: a layout clears them.)
    bool ChangedForegroundImage() const { return FChangedForegroundImage; }
    void SetChangedForegroundImage(bool Value) const { FChangedForegroundImage = Value; }
    // Internal: only the position changed since the last layout.
    bool ChangedPosition() const { return FChangedPosition; }
    void SetChangedPosition(bool Value) const { FChangedPosition = Value; }

    TvlCustomEditPropertiesValuesClass GetAssignedValuesClass() const override;
    double GetMaxValue() const override;
    double GetMinValue() const override;
    bool UsesInnerEditChangeEvent() const override { return true; }
    bool HasDisplayValue() const override { return true; }
    TvlCustomEditClass GetContainerClass() const override;
    // "45 %", the position, or the text, as the bar shows the value.
    String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) const override;
    uint32_t GetSupportedOperations() const override { return vlesoAlwaysHotTrack | vlesoFiltering | vlesoSorting; }
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const override;
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override;

    // The number a value shows: a text that converts as a whole with '.'
    // as its decimal point, a number or date as it is, anything else 0.
    static double DisplayNumber(const Variant& AEditValue);
    // The value inside Min..Max when Max > Min; unchanged otherwise.
    double ClampPosition(double AValue) const;
    // The peak a layout shows for a position: the highest of the set
    // PeakValue (kept in Min..Max), the position and ATrackedPeak, which
    // then holds it. The caller keeps the tracked peak: laying out never
    // writes into the properties, which grid cells share and forms save.
    double TrackPeakValue(double APosition, double& ATrackedPeak) const;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    template <class T>
    void setValue(T& AField, T Value)
    {
        if (Value == AField)
            return;
        AField = Value;
        Changed();
    }
    void foregroundImageChanged(TObject*);

    TvlProgressBarAnimationPath FAnimationPath = vlapCycle;
    uint32_t FAnimationRestartDelay = 0;
    TvlProgressBarAnimationSpeed FAnimationSpeed = 10;
    TColor FBeginColor = clNavy;
    TvlProgressBarBevelOuter FBarBevelOuter = vlbvNone;
    mutable bool FChangedForegroundImage = false;
    mutable bool FChangedPosition = false;
    TColor FEndColor = clWhite;
    std::unique_ptr<TBitmap> FForegroundImage;
    bool FMarquee = false;
    TvlProgressBarOrientation FOrientation = vlorHorizontal;
    bool FShowText = true;
    TvlProgressBarTextStyle FShowTextStyle = vltsPercent;
    String FText;
    TvlProgressBarOrientation FTextOrientation = vlorHorizontal;
    bool FSolidTextColor = false;
    TvlProgressBarBarStyle FBarStyle = vlbsSolid;
    bool FTransparentImage = true;
    TvlBorderWidth FBorderWidth = 0;
    double FOverloadValue = 80;
    bool FShowOverload = false;
    TColor FOverloadBeginColor = TColor(0x8080FF);
    TColor FOverloadEndColor = clFuchsia;
    double FPeakValue = 0;
    bool FShowPeak = false;
    TColor FPeakColor = clRed;
    TvlNaturalNumber FPeakSize = 2;
};

class TvlProgressBarProperties : public TvlCustomProgressBarProperties {
public:
    using TvlCustomProgressBarProperties::TvlCustomProgressBarProperties;
    String ClassName() const override { return String::fromLatin1("TvlProgressBarProperties"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

// ---- view data and view info ---------------------------------------------------

class TvlCustomProgressBarViewData : public TvlCustomEditViewData {
public:
    using TvlCustomEditViewData::TvlCustomEditViewData;
    String ClassName() const override { return String::fromLatin1("TvlCustomProgressBarViewData"); }
    const TvlCustomProgressBarProperties* Properties() const
    {
        return static_cast<const TvlCustomProgressBarProperties*>(TvlCustomEditViewData::Properties());
    }

    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const override;
    void InternalGetEditConstantPartSize(TvlCanvas* ACanvas, bool AIsInplace,
                                         const TvlEditMeasureParams& AMeasureParams, TSize& ASize,
                                         TSize& AMinContentSize, TvlCustomEditViewInfo* AViewInfo) override;
    // In a cell the bar fills the cell: the cell's content offsets are
    // margins for texts.
    void GetBorderExtent(TRect& AExtent) const override;
    void LayOutButtons(TvlCanvas*, const TRect&, bool, TvlCustomEditViewInfo*, TShiftState, TvlMouseButton,
                       const TPoint&) override
    {
    }
    void CalculateViewInfoProps(TvlCustomProgressBarViewInfo* AViewInfo) const;
    uint32_t GetDrawTextFlags() const { return 0; }
};

// (The text editors' view info would bring nothing the bar uses but its
// text, and their header clashes with names of the program's forms.)
class TvlCustomProgressBarViewInfo : public TvlCustomEditViewInfo {
public:
    TvlCustomProgressBarViewInfo();
    ~TvlCustomProgressBarViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomProgressBarViewInfo"); }

    void Offset(int DX, int DY) override;
    // Always paints: a paint request means the pixels are needed.
    void Paint(TvlCanvas* ACanvas) override;
    bool NeedShowHint(TvlCanvas*, const TPoint&, TRect&, bool&, String&) override { return false; }

    virtual int GetAnimationBarSize() const { return 50; }
    virtual int GetAnimationStartDirection() const { return 1; }
    // Composes the bar off-screen and copies it to the canvas.
    virtual void DrawBar(TvlCanvas* ACanvas);
    virtual void DrawBarText(TvlCanvas* ACanvas);

    // Max − Min, or 1 for an empty range.
    double Range() const;
    // Position − Min inside 0..Range; in marquee mode the whole range.
    double RelativePosition() const;
    // Along a bar of ALength pixels, never outside it.
    int ScaleToLength(double AValue, int ALength) const;
    // "45 %", the position or the text.
    String GetText() const;
    int GetPercentDone() const;
    // Whether the timer moves a block or a glow now.
    bool IsAnimationActive() const;
    void StartAnimation();
    void ResetAnimation();
    void AdvanceAnimation();
    // The animation's and the restart delay's timers (nullptr while not
    // running). A test drives them by calling TimeOut.
    TvlTimer* AnimationTimer() const { return FAnimationTimer.get(); }
    TvlTimer* AnimationRestartDelayTimer() const { return FAnimationRestartDelayTimer.get(); }
    int AnimationPosition() const { return FAnimationPosition; }
    int AnimationDirection() const { return FAnimationDirection; }
    // The bar rectangle as the off-screen buffer holds it.
    const TvlBitmap* UsualBitmap() const { return FUsualBitmap.get(); }
    bool ChangedBounds() const { return FChangedBounds; }

    // Setters that act on the animation.
    void SetAnimationPath(TvlProgressBarAnimationPath Value);
    void SetAnimationSpeed(TvlProgressBarAnimationSpeed Value);
    void SetBarStyle(TvlProgressBarBarStyle Value);
    void SetMarquee(bool Value);
    void SetOrientation(TvlProgressBarOrientation Value);
    TvlProgressBarAnimationPath AnimationPath() const { return FAnimationPath; }
    TvlProgressBarAnimationSpeed AnimationSpeed() const { return FAnimationSpeed; }
    TvlProgressBarBarStyle BarStyle() const { return FBarStyle; }
    bool Marquee() const { return FMarquee; }
    TvlProgressBarOrientation Orientation() const { return FOrientation; }

    // The fixed text.
    String Text;
    uint32_t AnimationRestartDelay = 0;
    TColor BeginColor = clNavy;
    TvlProgressBarBevelOuter BarBevelOuter = vlbvNone;
    TColor EndColor = clWhite;
    double Max = 100;
    double Min = 0;
    double Position = 0;
    std::unique_ptr<TBitmap> ForegroundImage;
    bool ShowText = true;
    TvlProgressBarTextStyle ShowTextStyle = vltsPercent;
    TvlProgressBarOrientation TextOrientation = vlorHorizontal;
    bool SolidTextColor = false;
    double OverloadValue = 80;
    TColor OverloadBeginColor = TColor(0x8080FF);
    TColor OverloadEndColor = clFuchsia;
    bool ShowOverload = false;
    double PeakValue = 0;
    // The highest peak a standalone bar has shown.
    double TrackedPeakValue = -std::numeric_limits<double>::infinity();
    TColor PeakColor = clRed;
    TvlNaturalNumber PeakSize = 2;
    bool ShowPeak = false;
    bool RealShowOverload = false;
    bool RealShowPeak = false;
    bool BarTransparent = false;
    TRect BarRect;
    TRect ProgressBarRect;
    TRect OverloadBarRect;
    TRect PeakBarRect;
    TRect AnimationRect;

protected:
    void InternalPaint(TvlCanvas* ACanvas) override;

private:
    friend class TvlCustomProgressBarViewData;
    int ledSize(const TRect& AProgress) const;
    void drawBackground(TvlCanvas* C, const TRect& R, TvlCanvas* ATarget);
    void drawBarTextAt(TvlCanvas* C, const TRect& AProgress, const TRect& ABar);
    void clipToBar(TvlCanvas* C, const TRect& R);
    void excludeLEDGaps(TvlCanvas* C, const TRect& R, int S);
    void drawBarBevel(TvlCanvas* C, const TRect& R);
    void drawLEDBevels(TvlCanvas* C, const TRect& R, int S);
    void drawGradientBar(TvlCanvas* C, const TRect& P, const TRect& R, const TRect& O);
    void draw3DBand(TvlCanvas* C, const TRect& R, bool AStrong, TColor AColor);
    void drawAnimation(TvlCanvas* C, const TRect& A, const TRect& B);
    void drawAnimationGlow(TvlCanvas* C, const TRect& A, const TRect& B);
    void paintWithPainter(TvlCanvas* ACanvas);
    void animationTimerHandler(TObject*);
    void restartDelayTimerHandler(TObject*);
    void startRestartDelay();

    TvlProgressBarAnimationPath FAnimationPath = vlapCycle;
    int FAnimationPosition = 0;
    int FAnimationDirection = 1;
    TvlProgressBarAnimationSpeed FAnimationSpeed = 10;
    std::unique_ptr<TvlTimer> FAnimationTimer;
    std::unique_ptr<TvlTimer> FAnimationRestartDelayTimer;
    bool FMarquee = false;
    TvlProgressBarOrientation FOrientation = vlorHorizontal;
    TvlProgressBarBarStyle FBarStyle = vlbsSolid;
    std::unique_ptr<TvlBitmap> FUsualBitmap;
    std::unique_ptr<TvlBitmap> FPainterBitmap;
    bool FChangedBounds = true;
    bool FChangedBarRect = true;
};

// ---- the control -----------------------------------------------------------------

class TvlCustomProgressBar : public TvlCustomEdit {
public:
    explicit TvlCustomProgressBar(TComponent* AOwner, bool AIsInplace = false);
    String ClassName() const override { return String::fromLatin1("TvlCustomProgressBar"); }
    void Initialize() override;

    TvlCustomProgressBarProperties* Properties() const
    {
        return static_cast<TvlCustomProgressBarProperties*>(TvlCustomEdit::Properties());
    }
    TvlCustomProgressBarProperties* ActiveProperties() const
    {
        return static_cast<TvlCustomProgressBarProperties*>(TvlCustomEdit::ActiveProperties());
    }
    TvlCustomProgressBarViewInfo* ViewInfo() const
    {
        return static_cast<TvlCustomProgressBarViewInfo*>(EditViewInfo());
    }

    double Position() const { return ViewInfo()->Position; }
    // Inside Min..Max (unless loading or the range is empty), as the edit value.
    void SetPosition(double Value);

    bool CanFocus() const override { return IsInplace(); }
    TvlEditStateColorKind GetEditStateColorKind() const override;
    void GetEditSizeProperties(TvlEditSizeProperties& AMeasureParams) const override;

protected:
    TvlCustomProgressBar(TComponent* AOwner, bool AIsInplace, TDeferInitialize);
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
    TvlContainerStyleValues GetNotPublishedStyleValues() const override;
    void PropertiesChanged(TObject* Sender) override;
    void SynchronizeDisplayValue() override;
    void InternalCheckEditValueBounds();
    void CheckEditValueBounds();
};

class TvlProgressBar : public TvlCustomProgressBar {
public:
    explicit TvlProgressBar(TComponent* AOwner, bool AIsInplace = false);
    String ClassName() const override { return String::fromLatin1("TvlProgressBar"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TvlProgressBarProperties* Properties() const
    {
        return static_cast<TvlProgressBarProperties*>(TvlCustomProgressBar::Properties());
    }
    // Copied into the bar's own properties.
    void SetProperties(const TvlProgressBarProperties* Value) { TvlCustomEdit::SetProperties(Value); }

protected:
    TvlProgressBar(TComponent* AOwner, bool AIsInplace, TDeferInitialize);
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
};

// ---- registration and value checks ---------------------------------------------

// Enters the progress bar's properties in the edit-properties registry (once).
void RegisterProgressBarProperties();

// The progress bar's filter edit helper.
class TvlFilterProgressBarHelper : public TvlCustomFilterEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TvlFilterProgressBarHelper* Instance();
};

// Null or Empty.
bool IsNullOrEmptyValue(const Variant& Value);
// Trimmed, not empty, and a whole 32-bit integer.
bool IsIntegerText(const String& Text);
// Trimmed, not empty, digits with at most one decimal separator of the
// locale and a leading '-', and a finite number no larger than 1.7e308.
bool IsFloatText(const String& Text);

class TStartupList;
// Registers the properties and the filter edit helper for the program's life.
void AddvlProgressBarUnit(TStartupList& AList);
