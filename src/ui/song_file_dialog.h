#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The one file dialog of the window, shared by choosing a song (open mode) and
// saving a cut (save mode). It remembers the last confirmed full path and
// proposes it next time; a cancelled dialog changes nothing.
class SongFileDialog {
public:
    enum Mode { OpenMode = 0, SaveMode = 1 };

    static inline const QString FilterText = QStringLiteral(u"mp3音乐文件|*.mp3");

    void SetMode(int mode) { mode_ = mode; }
    [[nodiscard]] int mode() const { return mode_; }
    // Shows the dialog modal to owner and waits; true when the user confirmed a file.
    [[nodiscard]] bool Show(QWidget* owner);
    [[nodiscard]] QString GetFileName() const { return fileName_; }

    // "description|pattern|…" as the dialog's name filters, "description (pattern)".
    [[nodiscard]] static QStringList ParseFilter(const QString& filterText);
    // The folder a dialog starts in when no full path is proposed.
    [[nodiscard]] static QString InitialFolder();

private:
    int mode_ = OpenMode;
    QString fileName_;
};
