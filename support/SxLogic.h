// SxLogic.h - bit buffers: arrays of 32-bit words in which bit n is bit
// n mod 32 of word n div 32 (so bit n mod 8 of byte n div 8). No bounds check.
#pragma once
#include <cstdint>

void SetBufferBit(void* Buffer, uint32_t N);
bool TestBufferBit(const void* Buffer, uint32_t N);
