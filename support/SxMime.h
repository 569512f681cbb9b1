// SxMime.h - Base64 with the MIME alphabet and padding: lines of 76
// characters ended by CR LF when encoding; decoding skips anything else.
#pragma once
#include <cstdint>

#include "platform/rtl/String.h"

int64_t Base64EncodedLength(int64_t N);
int64_t Base64DecodedLength(int64_t N);
// Writes Base64EncodedLength(N) characters to Output.
void Base64Encode(const void* Input, int64_t N, void* Output);
// Decodes a piece; Accumulator and Needed carry an incomplete group (start
// with 0 and 4). Returns the bytes written.
int64_t Base64DecodeStep(const void* Input, int64_t N, void* Output, uint32_t& Accumulator, int& Needed);
int64_t Base64DecodeFinish(void* Output, uint32_t Accumulator, int Needed);
AnsiString Base64EncodeText(const AnsiString& Text);
AnsiString Base64DecodeText(const AnsiString& Text);
