// bench_like - matches 100,000 generated texts of 8 to 40 characters
// against a few LIKE patterns and prints the time of each pass and the
// number of matches.
//
// Usage: vorlane_bench_like [text count]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "ui/data/vlFilter.h"

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    std::mt19937 random(12345);
    std::vector<String> texts;
    texts.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        String text;
        const int length = 8 + int(random() % 33);
        for (int j = 0; j < length; ++j)
            text += QChar(u'a' + char16_t(random() % 4));
        texts.push_back(text);
    }
    const char* patterns[] = {"a%", "%d", "%abc%", "a_c%d%", "%a%a%a%a%a%b", "%%%%"};
    for (const char* pattern : patterns) {
        const String p = String::fromLatin1(pattern);
        const auto start = std::chrono::steady_clock::now();
        int matches = 0;
        for (const String& text : texts)
            matches += MatchesLikePattern(text, p, u'%', u'_') ? 1 : 0;
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-14s %8.2f ms  %d of %d match\n", pattern, ms, matches, count);
    }
    return 0;
}
