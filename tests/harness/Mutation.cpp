#include "tests/harness/Mutation.h"

#include <random>

namespace vorlane::test {

namespace {

QByteArray mutate(QByteArray data, std::mt19937& rng)
{
    auto pick = [&rng](int n) { return n <= 0 ? 0 : int(rng() % uint32_t(n)); };
    static constexpr uint32_t extremes[] = {0u, 1u, 0x7Fu, 0x80u, 0xFFu, 0x7FFFu, 0xFFFFu,
                                            0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    const int steps = 1 + pick(4);
    for (int step = 0; step < steps; ++step) {
        switch (pick(7)) {
        case 0:  // flip a bit
            if (!data.isEmpty()) {
                const int at = pick(int(data.size()));
                data[at] = char(uint8_t(data[at]) ^ uint8_t(1u << pick(8)));
            }
            break;
        case 1:  // replace a byte
            if (!data.isEmpty())
                data[pick(int(data.size()))] = char(rng() & 0xFF);
            break;
        case 2:  // insert bytes
            data.insert(pick(int(data.size()) + 1), QByteArray(1 + pick(8), char(rng() & 0xFF)));
            break;
        case 3:  // cut the tail
            data.truncate(pick(int(data.size()) + 1));
            break;
        case 4:  // duplicate a run
            if (!data.isEmpty()) {
                const int from = pick(int(data.size()));
                const int len = 1 + pick(int(data.size()) - from);
                data.insert(pick(int(data.size()) + 1), data.mid(from, len));
            }
            break;
        case 5:  // remove a run
            if (!data.isEmpty()) {
                const int from = pick(int(data.size()));
                data.remove(from, 1 + pick(int(data.size()) - from));
            }
            break;
        default:  // an extreme little-endian 32-bit value
            if (data.size() >= 4) {
                const uint32_t v = extremes[pick(int(std::size(extremes)))];
                const int at = pick(int(data.size()) - 3);
                for (int i = 0; i < 4; ++i)
                    data[at + i] = char((v >> (8 * i)) & 0xFF);
            }
            break;
        }
    }
    return data;
}

}  // namespace

void ForEachMutation(const std::vector<QByteArray>& seeds, uint32_t randomSeed, int count,
                     const std::function<void(const QByteArray&)>& fn)
{
    std::mt19937 rng(randomSeed);
    for (const QByteArray& seed : seeds)
        for (int i = 0; i < count; ++i)
            fn(mutate(seed, rng));
}

void ForEachTruncation(const QByteArray& input, const std::function<void(const QByteArray&)>& fn)
{
    for (qsizetype n = 0; n < input.size(); ++n)
        fn(input.left(n));
}

}  // namespace vorlane::test
