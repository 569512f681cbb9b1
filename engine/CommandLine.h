// CommandLine.h - turns one option string into words by the C runtime's
// quoting rules, so option strings written for the command-line tool split alike.
#pragma once
#include <vector>

#include "platform/rtl/String.h"

// Words are separated by blanks and tabs only; double quotes group, a
// backslash run before a quote is halved (an odd run makes the quote
// literal), and "" gives an empty word. The text ends at its first zero
// byte. The C vector's final null entry is the end of the vector here.
std::vector<AnsiString> SplitCommandLine(const AnsiString& text);
