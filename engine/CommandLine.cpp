#include "engine/CommandLine.h"

#include <cstring>

std::vector<AnsiString> SplitCommandLine(const AnsiString& text)
{
    const char* p = text.constData();
    const size_t n = std::strlen(p);
    std::vector<AnsiString> words;
    size_t i = 0;
    bool inQuotes = false;
    for (;;) {
        while (i < n && (p[i] == ' ' || p[i] == '\t'))
            ++i;
        if (i >= n)
            break;
        AnsiString word;
        for (;;) {
            bool copy = true;
            size_t slashes = 0;
            while (i < n && p[i] == '\\') {
                ++i;
                ++slashes;
            }
            if (i < n && p[i] == '"') {
                if (slashes % 2 == 0) {
                    if (inQuotes && i + 2 == n && p[i + 1] == '"') {
                        // A doubled quote that closes the text stands for
                        // one literal quote; anywhere else the pair adds
                        // nothing (it leaves and re-enters the quotes).
                        ++i;
                        inQuotes = false;
                    } else {
                        copy = false;
                        inQuotes = !inQuotes;
                    }
                }
                slashes /= 2;
            }
            word.append(qsizetype(slashes), '\\');
            if (i >= n || (!inQuotes && (p[i] == ' ' || p[i] == '\t')))
                break;
            if (copy)
                word.append(p[i]);
            ++i;
        }
        words.push_back(word);
    }
    return words;
}
