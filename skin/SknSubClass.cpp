#include "skin/SknSubClass.h"

#include "platform/graphics/Graphics.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"

namespace {

const TPropInfo* propOf(const TObject* Object, const String& Name)
{
    return Object != nullptr ? GetPropInfo(Object, Name) : nullptr;
}

bool textKind(TTypeKind Kind)
{
    return Kind == tkString || Kind == tkLString || Kind == tkWString || Kind == tkUString;
}

}  // namespace

int GetIntPropByName(const TComponent* Component, const String& Name)
{
    const TPropInfo* info = propOf(Component, Name);
    if (info == nullptr || info->Kind != tkInteger)
        return -1;
    return int(GetOrdProp(Component, info));
}

String GetEnumPropByName(const TComponent* Component, const String& Name)
{
    const TPropInfo* info = propOf(Component, Name);
    if (info == nullptr || info->Kind == tkClass || info->Kind == tkMethod)
        return String();
    return GetPropValue(Component, info);
}

String GetWideStrPropByName(const TObject* Object, const String& Name)
{
    const TPropInfo* info = propOf(Object, Name);
    if (info == nullptr || info->Kind == tkClass || info->Kind == tkMethod)
        return String();
    if (textKind(info->Kind))
        return GetStrProp(Object, info);
    return String::fromLatin1(GetPropValue(Object, info).toLatin1());
}

TObject* GetObjectPropByName(const TComponent* Component, const String& Name)
{
    const TPropInfo* info = propOf(Component, Name);
    if (info == nullptr || info->Kind != tkClass)
        return nullptr;
    return GetObjectProp(Component, info);
}

void SetPropByName(TComponent* Component, const String& Name, const String& Value)
{
    const TPropInfo* info = propOf(Component, Name);
    if (info == nullptr || info->ReadOnly())
        return;
    switch (info->Kind) {
    case tkInteger: SetOrdProp(Component, info, StrToInt(Value)); break;
    case tkEnumeration: SetEnumProp(Component, info, Value); break;
    // Every text kind: our captions and texts are all Unicode strings.
    case tkString: case tkLString: case tkWString: case tkUString: SetStrProp(Component, info, Value); break;
    default: break;
    }
}

void DrawCentredCaption(TCanvas* Canvas, const TRect& R, const String& Text, TCaptionAlignment Alignment,
                        bool Enabled)
{
    if (Canvas == nullptr)
        return;
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetStyle(TFontStyles());
    TRect measured = R;
    Canvas->TextRect(measured, Text, uint32_t(Alignment) | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    const int w = measured.Width(), h = measured.Height();
    TRect t{R.Left + (R.Width() - w) / 2, R.Top + (R.Height() - h) / 2, 0, 0};
    t.Right = t.Left + w;
    t.Bottom = t.Top + h;
    if (!Enabled)
        Canvas->Font()->SetColor(clBtnShadow);
    Canvas->TextRect(t, Text, uint32_t(Alignment) | DT_EXPANDTABS | DT_SINGLELINE);
}
