#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QUrl>

// The address behind the web-site link: set at build time, or else the user
// guide that ships with the program (beside the executable in a build tree,
// under share/ once installed).
QString HomepageAddress()
{
    const QString configured = QStringLiteral(ZEMBROT_HOMEPAGE_URL);
    if (!configured.isEmpty())
        return configured;
    const QDir exeDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {exeDir.filePath(QStringLiteral("guide/index.html")),
                                     exeDir.filePath(QStringLiteral("../share/zembrot/guide/index.html"))}) {
        if (QFileInfo::exists(candidate))
            return QUrl::fromLocalFile(QFileInfo(candidate).canonicalFilePath()).toString();
    }
    return QUrl::fromLocalFile(exeDir.filePath(QStringLiteral("../share/zembrot/guide/index.html"))).toString();
}
