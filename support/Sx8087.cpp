#include "support/Sx8087.h"

std::optional<uint16_t> ReadFpuControlWord()
{
#if defined(__i386__) || defined(__x86_64__)
    uint16_t word = 0;
    asm volatile("fwait\n\tfnstcw %0\n\tfwait" : "=m"(word));
    return word;
#else
    return std::nullopt;
#endif
}
