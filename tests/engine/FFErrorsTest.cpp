#include <gtest/gtest.h>

#include <set>

extern "C" {
#include <libavutil/error.h>
}

#include "engine/FFErrors.h"

namespace {

TEST(FFErrorsTest, PrefixesTheCodeText)
{
    EXPECT_EQ(ErrorText(QStringLiteral("Failed to parse options"), AVERROR(EINVAL)),
              QStringLiteral("Failed to parse options: Invalid argument / Invalid data found when processing input"));
    EXPECT_EQ(ErrorText(QStringLiteral("x"), -58), QStringLiteral("x: Error number -58 occurred"));
}

TEST(FFErrorsTest, KnowsTheLibraryTagsAndSystemAndSocketNumbers)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {AVERROR_OPTION_NOT_FOUND, "Option not found"},
        {AVERROR_EOF, "End of file"},
        {AVERROR_INVALIDDATA, "Invalid data found when processing input"},
        {AVERROR_MUXER_NOT_FOUND, "Muxer not found"},
        {AVERROR_EXIT, "Immediate exit requested"},
        {AVERROR_PATCHWELCOME, "Not yet implemented in FFmpeg, patches welcome"},
        {AVERROR_BUG, "Internal bug"},
        {AVERROR(ENOENT), "No such file or directory"},
        {AVERROR(ENOMEM), "Not enough space / Out of memory"},
        {AVERROR(EAGAIN), "Resource temporarily unavailable / Try again"},
        {AVERROR(ETIMEDOUT), "Connection timed out"},
        {-10060, "Connection timed out"},
        {-10035, "WSAEWOULDBLOCK"},
        {-11004, "WSANO_DATA"},
        {-1, "Operation not permitted"},
        {-131, "State not recoverable"},
        {0, "Error number 0 occurred"},
        {5, "Error number 5 occurred"},
        {-132, "Error number -132 occurred"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorCodeText(c.code), QString::fromLatin1(c.text)) << c.code;
}

// The table holds 204 codes with 163 distinct texts; a code lost or a text
// mistyped into a new variant changes the counts.
TEST(FFErrorsTest, TableIsComplete)
{
    std::vector<int> codes = {AVERROR_MUXER_NOT_FOUND,   AVERROR_OPTION_NOT_FOUND, AVERROR_EXIT,
                              AVERROR_STREAM_NOT_FOUND,  AVERROR_PROTOCOL_NOT_FOUND, AVERROR_DEMUXER_NOT_FOUND,
                              AVERROR_FILTER_NOT_FOUND,  AVERROR_BSF_NOT_FOUND,    AVERROR_PATCHWELCOME,
                              AVERROR_ENCODER_NOT_FOUND, AVERROR_DECODER_NOT_FOUND, AVERROR_INVALIDDATA,
                              AVERROR_BUG,               AVERROR_EOF};
    for (int c = -12000; c <= 0; ++c)
        codes.push_back(c);
    int known = 0;
    std::set<QString> texts;
    for (int c : codes) {
        const QString text = ErrorCodeText(c);
        if (text == QStringLiteral("Error number %1 occurred").arg(c))
            continue;
        ++known;
        texts.insert(text);
    }
    EXPECT_EQ(known, 204);
    EXPECT_EQ(texts.size(), 163u);
}

}  // namespace
