// SxMath.h - the texts of the support library's complex numbers, in
// rectangular and in polar form.
#pragma once
#include "platform/rtl/ResString.h"

namespace SxMathConsts {
VORLANE_RESOURCESTRING(RsComplexRectangularFormat, "%g + %gi");
VORLANE_RESOURCESTRING(RsComplexPolarFormat, "%g e^%gi");
}  // namespace SxMathConsts
