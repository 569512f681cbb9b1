// CommaLocale.h - runs a piece of a test in a locale whose decimal separator
// is a comma, to show that parsing and formatting ignore the process locale.
#pragma once
#include <locale.h>

namespace vorlane::test {

// Builds a German locale in a temporary folder and makes it the calling
// thread's locale until the object goes. Available() is false where no
// locale can be built (the test then skips).
class ScopedCommaLocale {
public:
    ScopedCommaLocale();
    ~ScopedCommaLocale();
    ScopedCommaLocale(const ScopedCommaLocale&) = delete;
    ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

    bool Available() const { return FLocale != locale_t(nullptr); }

private:
    locale_t FLocale = locale_t(nullptr);
    locale_t FPrevious = locale_t(nullptr);
};

}  // namespace vorlane::test
