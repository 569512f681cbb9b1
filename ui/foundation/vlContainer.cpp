#include "ui/foundation/vlContainer.h"

namespace {
constexpr const char* styleValueNames[] = {"BorderColor", "BorderStyle", "Color",     "Edges",
                                           "Font",        "HotTrack",    "Shadow",    "TextColor",
                                           "TextStyle",   "TransparentBorder"};
constexpr const char* borderStyleNames[] = {"cbsNone", "cbsSingle",     "cbsThick",   "cbsFlat",
                                            "cbs3D",   "cbsUltraFlat", "cbsOffice11"};
constexpr const char* borderNames[] = {"bLeft", "bTop", "bRight", "bBottom"};
}  // namespace

const TEnumInfo TvlContainerStyleValueInfo{"TvlContainerStyleValue", styleValueNames};
const TEnumInfo TvlContainerBorderStyleInfo{"TvlContainerBorderStyle", borderStyleNames};
const TEnumInfo TvlBorderInfo{"TvlBorder", borderNames};
