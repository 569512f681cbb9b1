#include "app/ProgramAddresses.h"

#include <QCoreApplication>
#include <QDir>

#ifndef VORLANE_HOME_PAGE_URL
#define VORLANE_HOME_PAGE_URL ""
#endif
#ifndef VORLANE_UPDATE_URL
#define VORLANE_UPDATE_URL ""
#endif
#ifndef VORLANE_CONTACT_EMAIL
#define VORLANE_CONTACT_EMAIL ""
#endif

String UserGuideFile(const String& ProgramFolder)
{
    const String folder = ProgramFolder.isEmpty() ? QCoreApplication::applicationDirPath() : ProgramFolder;
    return QDir(folder).filePath(QString::fromLatin1(UserGuideFileName));
}

String HomePageAddress()
{
    const String page = QString::fromUtf8(VORLANE_HOME_PAGE_URL).trimmed();
    return page.isEmpty() ? UserGuideFile() : page;
}

String UpdateAddress()
{
    const String page = QString::fromUtf8(VORLANE_UPDATE_URL).trimmed();
    return page.isEmpty() ? HomePageAddress() : page;
}

String ContactAddress()
{
    return QString::fromUtf8(VORLANE_CONTACT_EMAIL).trimmed();
}
