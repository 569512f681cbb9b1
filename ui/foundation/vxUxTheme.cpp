#include "ui/foundation/vxUxTheme.h"

#include <algorithm>

namespace {
std::unique_ptr<IvxThemeLibrary>& current()
{
    static std::unique_ptr<IvxThemeLibrary> library = std::make_unique<TvxNoThemeLibrary>();
    return library;
}
}  // namespace

IvxThemeLibrary* ThemeLibrary() { return current().get(); }

std::unique_ptr<IvxThemeLibrary> SetThemeLibrary(std::unique_ptr<IvxThemeLibrary> ALibrary)
{
    if (ALibrary == nullptr)
        ALibrary = std::make_unique<TvxNoThemeLibrary>();
    std::swap(ALibrary, current());
    return ALibrary;
}

bool IsUxThemeLoaded() { return ThemeLibrary()->Loaded(); }

HTHEME TvxRecordingThemeLibrary::OpenThemeData(const String& AClassList)
{
    Calls.push_back(QStringLiteral("OpenThemeData"));
    Opened.push_back(AClassList);
    if (std::find(Refused.begin(), Refused.end(), AClassList.toUpper()) != Refused.end())
        return 0;
    FClassLists.emplace_back(FNextHandle, AClassList);
    return FNextHandle++;
}

int32_t TvxRecordingThemeLibrary::CloseThemeData(HTHEME ATheme)
{
    Calls.push_back(QStringLiteral("CloseThemeData"));
    Closed.push_back(ATheme);
    return S_OK;
}

void TvxRecordingThemeLibrary::log(const char* AName, HTHEME ATheme, int APart, int AState, const TRect& R,
                                   const String& AText)
{
    String classList;
    for (const auto& [theme, list] : FClassLists)
        if (theme == ATheme)
            classList = list;
    Calls.push_back(String::fromLatin1(AName));
    Log.push_back({String::fromLatin1(AName), classList, APart, AState, R, AText});
}

int32_t TvxRecordingThemeLibrary::DrawThemeBackground(HTHEME ATheme, HDC, int APart, int AState, const TRect& R)
{
    log("DrawThemeBackground", ATheme, APart, AState, R);
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::DrawThemeText(HTHEME ATheme, HDC, int APart, int AState, const String& AText,
                                                uint32_t, const TRect& R)
{
    log("DrawThemeText", ATheme, APart, AState, R, AText);
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::GetThemeBackgroundContentRect(HTHEME ATheme, HDC, int APart, int AState,
                                                                const TRect& ABounds, TRect& AContent)
{
    log("GetThemeBackgroundContentRect", ATheme, APart, AState, ABounds);
    AContent = Rect(ABounds.Left + ContentMargins.Left, ABounds.Top + ContentMargins.Top,
                    ABounds.Right - ContentMargins.Right, ABounds.Bottom - ContentMargins.Bottom);
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::GetThemePartSize(HTHEME ATheme, HDC, int APart, int AState, const TRect* R,
                                                   THEMESIZE, TSize& ASize)
{
    log("GetThemePartSize", ATheme, APart, AState, R != nullptr ? *R : TRect());
    ASize = PartSize;
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::GetThemeColor(HTHEME ATheme, int APart, int AState, int AProp, TColor& AColor)
{
    log("GetThemeColor", ATheme, APart, AState, TRect{AProp, 0, 0, 0});
    AColor = Color;
    return S_OK;
}

bool TvxRecordingThemeLibrary::IsThemeBackgroundPartiallyTransparent(HTHEME ATheme, int APart, int AState)
{
    log("IsThemeBackgroundPartiallyTransparent", ATheme, APart, AState, TRect());
    return false;
}

int32_t TvxRecordingThemeLibrary::DrawThemeParentBackground(TWinControl*, HDC, const TRect&)
{
    Calls.push_back(QStringLiteral("DrawThemeParentBackground"));
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::GetCurrentThemeName(String& AFileName, String& AColorName, String& ASizeName)
{
    Calls.push_back(QStringLiteral("GetCurrentThemeName"));
    AFileName = ThemeFileName;
    AColorName = ColorName;
    ASizeName = QStringLiteral("NormalSize");
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::GetThemeBackgroundRegion(HTHEME ATheme, HDC, int APart, int AState, const TRect& R,
                                                           TRegion& ARegion)
{
    log("GetThemeBackgroundRegion", ATheme, APart, AState, R);
    ARegion = CreateRectRgnIndirect(R);
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::DrawThemeEdge(HTHEME ATheme, HDC, int APart, int AState, const TRect& R, uint32_t,
                                               uint32_t)
{
    log("DrawThemeEdge", ATheme, APart, AState, R);
    return S_OK;
}
