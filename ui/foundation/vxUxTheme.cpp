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
    return FNextHandle++;
}

int32_t TvxRecordingThemeLibrary::CloseThemeData(HTHEME ATheme)
{
    Calls.push_back(QStringLiteral("CloseThemeData"));
    Closed.push_back(ATheme);
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::DrawThemeBackground(HTHEME, HDC, int, int, const TRect&)
{
    Calls.push_back(QStringLiteral("DrawThemeBackground"));
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::DrawThemeText(HTHEME, HDC, int, int, const String&, uint32_t, const TRect&)
{
    Calls.push_back(QStringLiteral("DrawThemeText"));
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const TRect& ABounds,
                                                                TRect& AContent)
{
    Calls.push_back(QStringLiteral("GetThemeBackgroundContentRect"));
    AContent = Rect(ABounds.Left + ContentMargins.Left, ABounds.Top + ContentMargins.Top,
                    ABounds.Right - ContentMargins.Right, ABounds.Bottom - ContentMargins.Bottom);
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::GetThemePartSize(HTHEME, HDC, int, int, const TRect*, THEMESIZE, TSize& ASize)
{
    Calls.push_back(QStringLiteral("GetThemePartSize"));
    ASize = PartSize;
    return S_OK;
}

int32_t TvxRecordingThemeLibrary::GetThemeColor(HTHEME, int, int, int, TColor& AColor)
{
    Calls.push_back(QStringLiteral("GetThemeColor"));
    AColor = Color;
    return S_OK;
}

bool TvxRecordingThemeLibrary::IsThemeBackgroundPartiallyTransparent(HTHEME, int, int)
{
    Calls.push_back(QStringLiteral("IsThemeBackgroundPartiallyTransparent"));
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
