#pragma once

#include "playback/playback_device.h"
#include "ui/song_file_dialog.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class HyperlinkBox;
class WholeNumberEdit;

// The program's only window. It owns its controls (as Qt children) and its
// three invisible components: the position timer, the playback device and the
// file dialog. The handlers live beside the behaviour they belong to: the song
// handlers with playback, the save handler with cutting.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int OuterWidth = 380;
    static constexpr int OuterHeight = 243;
    static constexpr int PositionTimerPeriodMs = 1000;

    MainWindow();
    ~MainWindow() override;

    // Creates the window with all its controls and shows it; false when that fails.
    [[nodiscard]] static bool CreateAndShow(std::unique_ptr<MainWindow>& window);

    [[nodiscard]] PlaybackDevice& playbackDevice() { return playbackDevice_; }
    [[nodiscard]] SongFileDialog& songFileDialog() { return songFileDialog_; }

    void OnSelectSongClick();
    void OnPlayClick();
    void OnPauseClick();
    void OnStopClick();
    void OnPositionTimer();
    void OnSaveCutClick();
    void OnMainWindowDestroying();

protected:
    // Enter and Return click the focused button (Space does so by itself).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void BuildControls();
    void LoadSelectedSong();
    // Names and descriptions for screen readers where the caption alone does not say it.
    void DescribeForAssistiveTechnology();
    // Makes the outer size (frame included) 380 × 243 and centres it on the primary screen.
    void FitOuterFrame();

    QLineEdit* songPathBox_ = nullptr;        // 编辑框1
    WholeNumberEdit* startBox_ = nullptr;     // 编辑框2
    WholeNumberEdit* endBox_ = nullptr;       // 编辑框3
    QLabel* totalTimeLabel_ = nullptr;        // 标签1
    QLabel* positionLabel_ = nullptr;         // 标签4
    QPushButton* saveButton_ = nullptr;       // 按钮1
    QPushButton* selectSongButton_ = nullptr; // 按钮2
    QPushButton* playButton_ = nullptr;       // 按钮3
    QPushButton* playPartButton_ = nullptr;   // 按钮4
    QPushButton* stopButton_ = nullptr;       // 按钮5
    QPushButton* pauseButton_ = nullptr;      // 按钮6
    HyperlinkBox* homepageLink_ = nullptr;    // 超级链接框1
    QTimer* positionTimer_ = nullptr;         // 时钟1

    PlaybackDevice playbackDevice_;           // 媒体播放1
    SongFileDialog songFileDialog_;           // 通用对话框1

    QMargins appliedFrame_{-1, -1, -1, -1};
    bool destroying_ = false;
};
