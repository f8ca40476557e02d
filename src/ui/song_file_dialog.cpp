#include "ui/song_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

// Qt's own dialog accepts a name in a folder that does not exist; refuse it
// with a warning and stay open, as the system dialogs do.
class PathCheckingFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo chosen(files.constFirst());
            if (!chosen.isDir() && !chosen.absoluteDir().exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     tr("%1\nThe folder does not exist. Check the path and try again.")
                                         .arg(QDir::toNativeSeparators(chosen.absoluteFilePath())));
                return;
            }
        }
        QFileDialog::accept();
    }
};

} // namespace

QStringList SongFileDialog::ParseFilter(const QString& filterText)
{
    QString text = filterText;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    if (!text.endsWith(QLatin1String("||")))
        text += QLatin1String("||");
    const QStringList parts = text.split(QLatin1Char('|'));
    QStringList filters;
    // Pairs of description and pattern, ended by the first empty description.
    for (qsizetype i = 0; i + 1 < parts.size() && !parts.at(i).isEmpty(); i += 2)
        filters << parts.at(i) + QLatin1String(" (") + parts.at(i + 1) + QLatin1Char(')');
    return filters;
}

QString SongFileDialog::InitialFolder()
{
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    const QString songs = QDir(music).filePath(QStringLiteral(u"声音"));
    if (!music.isEmpty() && QFileInfo(songs).isDir())
        return songs;
    if (!music.isEmpty() && QFileInfo(music).isDir())
        return music;
    return QDir::homePath();
}

bool SongFileDialog::Show(QWidget* owner)
{
    PathCheckingFileDialog dialog(owner);
    dialog.setAcceptMode(mode_ == SaveMode ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Any name is accepted in either mode; only the folder must exist.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(QString());
    const QStringList filters = ParseFilter(FilterText);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.constFirst());

    const QFileInfo proposed(fileName_);
    if (!fileName_.isEmpty() && proposed.isAbsolute() && proposed.absoluteDir().exists())
        dialog.setDirectory(proposed.absolutePath());
    else
        dialog.setDirectory(InitialFolder());
    if (!fileName_.isEmpty())
        dialog.selectFile(proposed.isAbsolute() ? proposed.absoluteFilePath() : fileName_);

    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    fileName_ = QDir::toNativeSeparators(chosen.constFirst());
    return true;
}
