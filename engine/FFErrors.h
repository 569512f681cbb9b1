// FFErrors.h - the texts of the result codes the media libraries return: their
// own error tags, negated system error numbers and the socket error numbers.
#pragma once
#include "platform/rtl/String.h"

// The code's text, or "Error number %d occurred" for a code the table lacks.
String ErrorCodeText(int code);

// prefix + ": " + the code's text.
String ErrorText(const String& prefix, int code);
