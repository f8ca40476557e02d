// The song handlers of the main window: choosing, loading, the transport and
// the position display. Each asks the device for its state when it runs and
// acts on that answer alone; the program keeps no playback state of its own.
#include "app/app_shell.h"
#include "playback/time_text.h"
#include "ui/fs_path.h"
#include "ui/main_window.h"
#include "ui/message_box.h"

#include <QLabel>
#include <QLineEdit>

void MainWindow::OnSelectSongClick()
{
    songFileDialog_.SetMode(SongFileDialog::OpenMode);
    if (!songFileDialog_.Show(this))
        return;
    songPathBox_->setText(songFileDialog_.GetFileName());
    songPathBox_->setCursorPosition(0);
    LoadSelectedSong();
}

void MainWindow::LoadSelectedSong()
{
    if (!playbackDevice_.Open(ToFsPath(songPathBox_->text()))) {
        ShowMessage(QStringLiteral(u"系统错误!无法进行转换!"), QStringLiteral(u"提示"), QMessageBox::Warning);
        EndProgram(0);
    }
    // One reading for the whole caption, so its two fields always agree.
    totalTimeLabel_->setText(QStringLiteral(u"歌曲总时间:") +
                             QString::fromStdString(TimeText(playbackDevice_.GetLength())));
    playbackDevice_.Play(0);
}

void MainWindow::OnPlayClick()
{
    if (playbackDevice_.GetState() == PlaybackState::Stopped)
        playbackDevice_.Play(0);
    if (playbackDevice_.GetState() == PlaybackState::Paused)
        playbackDevice_.Play(-1);
}

void MainWindow::OnPauseClick()
{
    if (playbackDevice_.GetState() == PlaybackState::Playing)
        playbackDevice_.Pause();
}

void MainWindow::OnStopClick()
{
    if (playbackDevice_.GetState() != PlaybackState::Unavailable)
        playbackDevice_.Stop();
}

void MainWindow::OnPositionTimer()
{
    if (playbackDevice_.GetState() != PlaybackState::Playing)
        return;
    positionLabel_->setText(QStringLiteral(u"当前:") + QString::fromStdString(TimeText(playbackDevice_.GetPosition())));
}

void MainWindow::OnMainWindowDestroying()
{
    playbackDevice_.Close();
}
