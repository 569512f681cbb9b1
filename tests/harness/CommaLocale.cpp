#include "tests/harness/CommaLocale.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <string>

namespace vorlane::test {

ScopedCommaLocale::ScopedCommaLocale()
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return;
    const std::string path = dir.path().toStdString();
    const std::string command = "localedef -i de_DE -f UTF-8 '" + path + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return;
    // The locale data is read while newlocale runs; the folder may go after.
    setenv("LOCPATH", path.c_str(), 1);
    FLocale = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", locale_t(nullptr));
    unsetenv("LOCPATH");
    if (Available())
        FPrevious = uselocale(FLocale);
}

ScopedCommaLocale::~ScopedCommaLocale()
{
    if (!Available())
        return;
    uselocale(FPrevious);
    freelocale(FLocale);
}

}  // namespace vorlane::test
