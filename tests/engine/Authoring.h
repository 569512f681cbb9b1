// Authoring.h - the disc authoring tools as judges of program streams.
#pragma once
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace vorlane::test {

// Runs one tool; empty when it ends well and says nothing that is marked
// as a warning or an error, else what it said.
inline QString runAuthoringTool(const QString& program, const QStringList& args, const QString& norm = QString())
{
    QProcess p;
    if (!norm.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VIDEO_FORMAT"), norm);
        p.setProcessEnvironment(env);
    }
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return program + QStringLiteral(" did not run");
    const QString text = QString::fromUtf8(p.readAll());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || text.contains(QLatin1String("WARN")) ||
        text.contains(QLatin1String("ERR")))
        return text.isEmpty() ? program + QStringLiteral(" failed") : text;
    return QString();
}

// A DVD title set and its table of contents from one program stream, in
// folder; norm "PAL" or "NTSC".
inline QString dvdAuthor(const QString& file, const QString& folder, const QString& norm)
{
    QString said = runAuthoringTool(QStringLiteral("dvdauthor"), {QStringLiteral("-o"), folder, QStringLiteral("-t"), file},
                                    norm);
    if (said.isEmpty())
        said = runAuthoringTool(QStringLiteral("dvdauthor"), {QStringLiteral("-o"), folder, QStringLiteral("-T")}, norm);
    return said;
}

// A video CD ("vcd2") or super video CD ("svcd") image of one program
// stream, written beside prefix.
inline QString vcdImager(const QString& file, const QString& type, const QString& prefix)
{
    return runAuthoringTool(QStringLiteral("vcdimager"), {QStringLiteral("-t"), type, QStringLiteral("-c"),
                                                          prefix + QStringLiteral(".cue"), QStringLiteral("-b"),
                                                          prefix + QStringLiteral(".bin"), file});
}

}  // namespace vorlane::test
