// KitTypes.h - the named colour tables of the support library: the standard
// colours, a 40-colour palette and the system colours, each with its constant
// name and a description loaded through the catalogues at start-up.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/rtl/String.h"

struct TDefColorItem {
    uint32_t Value = 0;  // a TColor: 0x00BBGGRR, or a system colour 0xFF0000nn
    String Constant;     // "clBlack"
    String Description;  // "Black", translated
};

// Empty before start-up and after shutdown.
const std::vector<TDefColorItem>& KitStandardColors();  // 20 rows
const std::vector<TDefColorItem>& KitPaletteColors();   // 40 rows
const std::vector<TDefColorItem>& KitSystemColors();    // 30 rows

void KitTypesInitialization();
void KitTypesFinalization();
