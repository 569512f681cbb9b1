#include "support/SxLogic.h"

// Byte-wise access gives the same bit for a word array on little-endian
// machines and lets byte-sized set storages be passed as well.
void SetBufferBit(void* Buffer, uint32_t N)
{
    static_cast<uint8_t*>(Buffer)[N / 8] |= static_cast<uint8_t>(1u << (N % 8));
}

bool TestBufferBit(const void* Buffer, uint32_t N)
{
    return (static_cast<const uint8_t*>(Buffer)[N / 8] >> (N % 8)) & 1u;
}
