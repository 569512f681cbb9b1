// vxUxTheme.h - the theme library the native look draws with, behind an
// interface: the default says that no visual styles exist (every caller
// then takes its plain path), and a recording fake lets tests play a
// themed system.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceContext.h"

class TWinControl;
using HTHEME = uintptr_t;
enum : int32_t { S_OK = 0, E_FAIL = int32_t(0x80004005) };
enum THEMESIZE { TS_MIN, TS_TRUE, TS_DRAW };

class IvxThemeLibrary {
public:
    virtual ~IvxThemeLibrary() = default;
    // Whether the library exists at all (IsUxThemeLoaded).
    virtual bool Loaded() const = 0;
    virtual bool IsThemeActive() = 0;
    virtual HTHEME OpenThemeData(const String& AClassList) = 0;
    virtual int32_t CloseThemeData(HTHEME ATheme) = 0;
    virtual int32_t DrawThemeBackground(HTHEME ATheme, HDC ADC, int APart, int AState, const TRect& R) = 0;
    virtual int32_t DrawThemeText(HTHEME ATheme, HDC ADC, int APart, int AState, const String& AText,
                                  uint32_t AFlags, const TRect& R) = 0;
    virtual int32_t GetThemeBackgroundContentRect(HTHEME ATheme, HDC ADC, int APart, int AState,
                                                  const TRect& ABounds, TRect& AContent) = 0;
    virtual int32_t GetThemePartSize(HTHEME ATheme, HDC ADC, int APart, int AState, const TRect* R,
                                     THEMESIZE AKind, TSize& ASize) = 0;
    virtual int32_t GetThemeColor(HTHEME ATheme, int APart, int AState, int AProp, TColor& AColor) = 0;
    virtual bool IsThemeBackgroundPartiallyTransparent(HTHEME ATheme, int APart, int AState) = 0;
    // Paints what AControl's parent shows under R into ADC.
    virtual int32_t DrawThemeParentBackground(TWinControl* AControl, HDC ADC, const TRect& R) = 0;
    // The theme file, its colour variant and its size variant.
    virtual int32_t GetCurrentThemeName(String& AFileName, String& AColorName, String& ASizeName) = 0;
    // The region a part covers when drawn in R.
    virtual int32_t GetThemeBackgroundRegion(HTHEME, HDC, int, int, const TRect&, TRegion&) { return E_FAIL; }
    // A part's edge (BDR_* AEdge) on the sides of R in AFlags (BF_*).
    virtual int32_t DrawThemeEdge(HTHEME, HDC, int, int, const TRect&, uint32_t /*AEdge*/, uint32_t /*AFlags*/)
    {
        return E_FAIL;
    }
};

// The library of this platform: no visual styles.
class TvxNoThemeLibrary : public IvxThemeLibrary {
public:
    bool Loaded() const override { return false; }
    bool IsThemeActive() override { return false; }
    HTHEME OpenThemeData(const String&) override { return 0; }
    int32_t CloseThemeData(HTHEME) override { return E_FAIL; }
    int32_t DrawThemeBackground(HTHEME, HDC, int, int, const TRect&) override { return E_FAIL; }
    int32_t DrawThemeText(HTHEME, HDC, int, int, const String&, uint32_t, const TRect&) override { return E_FAIL; }
    int32_t GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const TRect&, TRect&) override { return E_FAIL; }
    int32_t GetThemePartSize(HTHEME, HDC, int, int, const TRect*, THEMESIZE, TSize&) override { return E_FAIL; }
    int32_t GetThemeColor(HTHEME, int, int, int, TColor&) override { return E_FAIL; }
    bool IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) override { return false; }
    int32_t DrawThemeParentBackground(TWinControl*, HDC, const TRect&) override { return E_FAIL; }
    int32_t GetCurrentThemeName(String&, String&, String&) override { return E_FAIL; }
};

// A themed system for tests: every class list opens (a new handle each
// time), calls are recorded by name, sizes and colours are what the test
// sets.
class TvxRecordingThemeLibrary : public IvxThemeLibrary {
public:
    bool Loaded() const override { return true; }
    bool IsThemeActive() override { return Active; }
    HTHEME OpenThemeData(const String& AClassList) override;
    int32_t CloseThemeData(HTHEME ATheme) override;
    int32_t DrawThemeBackground(HTHEME ATheme, HDC ADC, int APart, int AState, const TRect& R) override;
    int32_t DrawThemeText(HTHEME ATheme, HDC ADC, int APart, int AState, const String& AText, uint32_t AFlags,
                          const TRect& R) override;
    int32_t GetThemeBackgroundContentRect(HTHEME ATheme, HDC ADC, int APart, int AState, const TRect& ABounds,
                                          TRect& AContent) override;
    int32_t GetThemePartSize(HTHEME ATheme, HDC ADC, int APart, int AState, const TRect* R, THEMESIZE AKind,
                             TSize& ASize) override;
    int32_t GetThemeColor(HTHEME ATheme, int APart, int AState, int AProp, TColor& AColor) override;
    bool IsThemeBackgroundPartiallyTransparent(HTHEME ATheme, int APart, int AState) override;
    int32_t DrawThemeParentBackground(TWinControl* AControl, HDC ADC, const TRect& R) override;
    int32_t GetCurrentThemeName(String& AFileName, String& AColorName, String& ASizeName) override;
    int32_t GetThemeBackgroundRegion(HTHEME ATheme, HDC ADC, int APart, int AState, const TRect& R,
                                     TRegion& ARegion) override;
    int32_t DrawThemeEdge(HTHEME ATheme, HDC ADC, int APart, int AState, const TRect& R, uint32_t AEdge,
                          uint32_t AFlags) override;

    // A call on an open theme: its class list, part, state and rectangle
    // (the colour property's id in place of the rectangle's Left for
    // GetThemeColor), and the text drawn.
    struct TCall {
        String Name;
        String ClassList;
        int Part = 0;
        int State = 0;
        TRect R;
        String Text;
    };

    bool Active = true;
    String ThemeFileName = QStringLiteral("C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles");
    String ColorName = QStringLiteral("NormalColor");
    TSize PartSize{13, 13};
    TRect ContentMargins{3, 3, 3, 3};
    TColor Color = clBlack;
    // Class list of every open call (also failed ones), and every call name.
    std::vector<String> Opened;
    std::vector<String> Calls;
    std::vector<TCall> Log;
    std::vector<HTHEME> Closed;
    // Class lists (upper case) that fail to open.
    std::vector<String> Refused;

private:
    void log(const char* AName, HTHEME ATheme, int APart, int AState, const TRect& R, const String& AText = {});
    HTHEME FNextHandle = 1;
    std::vector<std::pair<HTHEME, String>> FClassLists;
};

// The library in use (never nullptr). Setting returns the previous one.
IvxThemeLibrary* ThemeLibrary();
std::unique_ptr<IvxThemeLibrary> SetThemeLibrary(std::unique_ptr<IvxThemeLibrary> ALibrary);
bool IsUxThemeLoaded();
