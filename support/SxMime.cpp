#include "support/SxMime.h"

namespace {
constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int lineBytes = 57;

int decodeChar(uint8_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}
}  // namespace

int64_t Base64EncodedLength(int64_t N)
{
    if (N <= 0)
        return N;
    return 4 * ((N + 2) / 3) + 2 * (N / lineBytes);
}

int64_t Base64DecodedLength(int64_t N) { return 3 * ((N + 3) / 4); }

void Base64Encode(const void* Input, int64_t N, void* Output)
{
    const auto* in = static_cast<const uint8_t*>(Input);
    auto* out = static_cast<char*>(Output);
    int64_t inLine = 0;
    int64_t i = 0;
    for (; i + 3 <= N; i += 3) {
        const uint32_t v = uint32_t(in[i]) << 16 | uint32_t(in[i + 1]) << 8 | in[i + 2];
        *out++ = alphabet[(v >> 18) & 63];
        *out++ = alphabet[(v >> 12) & 63];
        *out++ = alphabet[(v >> 6) & 63];
        *out++ = alphabet[v & 63];
        inLine += 3;
        if (inLine == lineBytes) {
            *out++ = '\r';
            *out++ = '\n';
            inLine = 0;
        }
    }
    const int64_t rest = N - i;
    if (rest == 1) {
        const uint32_t v = uint32_t(in[i]) << 16;
        *out++ = alphabet[(v >> 18) & 63];
        *out++ = alphabet[(v >> 12) & 63];
        *out++ = '=';
        *out++ = '=';
    } else if (rest == 2) {
        const uint32_t v = uint32_t(in[i]) << 16 | uint32_t(in[i + 1]) << 8;
        *out++ = alphabet[(v >> 18) & 63];
        *out++ = alphabet[(v >> 12) & 63];
        *out++ = alphabet[(v >> 6) & 63];
        *out++ = '=';
    }
}

int64_t Base64DecodeStep(const void* Input, int64_t N, void* Output, uint32_t& Accumulator, int& Needed)
{
    const auto* in = static_cast<const uint8_t*>(Input);
    auto* out = static_cast<uint8_t*>(Output);
    int64_t written = 0;
    for (int64_t i = 0; i < N; ++i) {
        const int d = decodeChar(in[i]);
        if (d < 0)
            continue;
        Accumulator = (Accumulator << 6) | uint32_t(d);
        if (--Needed == 0) {
            out[written++] = uint8_t(Accumulator >> 16);
            out[written++] = uint8_t(Accumulator >> 8);
            out[written++] = uint8_t(Accumulator);
            Accumulator = 0;
            Needed = 4;
        }
    }
    return written;
}

int64_t Base64DecodeFinish(void* Output, uint32_t Accumulator, int Needed)
{
    auto* out = static_cast<uint8_t*>(Output);
    switch (4 - Needed) {
    case 3:  // 18 bits
        out[0] = uint8_t(Accumulator >> 10);
        out[1] = uint8_t(Accumulator >> 2);
        return 2;
    case 2:  // 12 bits
        out[0] = uint8_t(Accumulator >> 4);
        return 1;
    default:
        return 0;
    }
}

AnsiString Base64EncodeText(const AnsiString& Text)
{
    AnsiString out(Base64EncodedLength(Text.size()), '\0');
    Base64Encode(Text.constData(), Text.size(), out.data());
    return out;
}

AnsiString Base64DecodeText(const AnsiString& Text)
{
    if (Text.isEmpty())
        return AnsiString();
    AnsiString out(Base64DecodedLength(Text.size()) + 3, '\0');
    uint32_t acc = 0;
    int needed = 4;
    int64_t n = Base64DecodeStep(Text.constData(), Text.size(), out.data(), acc, needed);
    n += Base64DecodeFinish(out.data() + n, acc, needed);
    out.truncate(n);
    return out;
}
