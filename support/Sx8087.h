// Sx8087.h - the floating-point unit's control word, which the system
// information saves before graphics-library queries and restores afterwards.
#pragma once
#include <cstdint>
#include <optional>

// The x87 control word; nullopt on processors without an x87 unit.
std::optional<uint16_t> ReadFpuControlWord();
