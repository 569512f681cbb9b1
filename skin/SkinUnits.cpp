#include "skin/SkinUnits.h"

#include "skin/SknForm.h"
#include "skin/SknImgUtil.h"
#include "skin/SknManage.h"

// The gradient cache first: the skin loader builds gradients into bitmaps
// the drawing routines use.
void AddSkinUnits(TStartupList& list)
{
    list.Add(String::fromLatin1("SknImgUtil"), &SknImgUtilInitialization, &SknImgUtilFinalization);
    list.Add(String::fromLatin1("SknForm"), &SknFormInitialization, &SknFormFinalization);
    // The manager is made by the first skin data component to load.
    list.Add(String::fromLatin1("SknManage"), {}, &FreeSkinManager);
}
