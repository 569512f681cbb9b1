// vlProgressBar.h - the progress bar editor's properties and the view info
// that paints a value as a bar with its percentage, as in a grid cell.
#pragma once
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlFilterControlUtils.h"

enum TvlProgressBarBevelOuter { vlbvNone, vlbvLowered, vlbvRaised };
enum TvlProgressBarBarStyle { vlbsSolid, vlbsLEDs, vlbsGradient, vlbsGradientLEDs, vlbsBitmap, vlbsBitmapLEDs };

class TvlProgressBarProperties;

class TvlCustomProgressBarViewInfo : public TvlCustomEditViewInfo {
public:
    // The position drawn: the value prepared and clamped to Min..Max.
    double Position() const;
    // The bar's width in a cell of width AWidth (truncated toward zero).
    int BarWidth(int AWidth) const;

protected:
    // The bar draws its cell's background itself.
    void InternalPaint(TvlCanvas* ACanvas) override;
};

class TvlProgressBarProperties : public TvlCustomEditProperties {
public:
    explicit TvlProgressBarProperties(TPersistent* AOwner) : TvlCustomEditProperties(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlProgressBarProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TvlProgressBarBevelOuter BarBevelOuter() const { return FBarBevelOuter; }
    void SetBarBevelOuter(TvlProgressBarBevelOuter Value);
    TvlProgressBarBarStyle BarStyle() const { return FBarStyle; }
    void SetBarStyle(TvlProgressBarBarStyle Value);
    TColor BeginColor() const { return FBeginColor; }
    void SetBeginColor(TColor Value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    TColor PeakColor() const { return FPeakColor; }
    void SetPeakColor(TColor Value);
    bool SolidTextColor() const { return FSolidTextColor; }
    void SetSolidTextColor(bool Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    double Min() const { return FMin; }
    double Max() const { return FMax; }
    // Max below Min is refused (the old range stays).
    void SetRange(double AMin, double AMax);

    // A text converts as a whole with '.' as its decimal point (anything
    // else gives 0); numbers and dates are used as they are; Null, Empty and
    // other kinds give 0.
    static double PrepareDisplayValue(const Variant& AEditValue);
    // The value clamped to Min..Max.
    double ClampPosition(double AValue) const;
    // "45 %": the position as a rounded percentage of the range.
    String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) const override;
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    TvlProgressBarBevelOuter FBarBevelOuter = vlbvNone;
    TvlProgressBarBarStyle FBarStyle = vlbsSolid;
    TColor FBeginColor = clNavy;
    TColor FEndColor = clWhite;
    TColor FPeakColor = clRed;
    bool FSolidTextColor = false;
    bool FShowText = true;
    double FMin = 0;
    double FMax = 100;
};

// Enters the progress bar's properties in the edit-properties registry (once).
void RegisterProgressBarProperties();

// The progress bar's filter edit helper.
class TvlFilterProgressBarHelper : public TvlCustomFilterEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TvlFilterProgressBarHelper* Instance();
};

class TStartupList;
// Registers the progress bar's filter edit helper for the program's life.
void AddvlProgressBarUnit(TStartupList& AList);
