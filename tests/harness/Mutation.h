// Mutation.h - deterministic mutations of valid inputs, for the readers of
// outside bytes: every reader must refuse or accept each mutant without a
// crash, an out-of-bounds read or a huge allocation (the sanitizer builds
// watch the last two). The same seed always gives the same mutants.
#pragma once
#include <QByteArray>
#include <cstdint>
#include <functional>
#include <vector>

namespace vorlane::test {

// Calls fn with `count` mutants of each seed input: flipped bits, replaced
// and inserted bytes, cut tails, duplicated and removed runs, and extreme
// 32-bit values written over aligned and unaligned positions.
void ForEachMutation(const std::vector<QByteArray>& seeds, uint32_t randomSeed, int count,
                     const std::function<void(const QByteArray&)>& fn);

// Calls fn with every prefix of input (lengths 0 .. size-1).
void ForEachTruncation(const QByteArray& input, const std::function<void(const QByteArray&)>& fn);

}  // namespace vorlane::test
