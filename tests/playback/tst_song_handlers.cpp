// The song handlers through the real window: choosing, loading, the transport
// and the position label, and the end after a song that does not open.
#include "playback/time_text.h"
#include "support/ui_driver.h"
#include "ui/main_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace ui_driver;

namespace {

QString Song(const char* name)
{
    return QDir(qEnvironmentVariable("ZEMBROT_SONGS_DIR")).absoluteFilePath(QString::fromUtf8(name));
}

} // namespace

class SongHandlersTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nothingLoaded();
    void loadShowsPathLengthAndPlays();
    void transport();
    void cancelKeepsTheSong();
    void anotherSongReplaces();
    void badSongEndsTheProgram_data();
    void badSongEndsTheProgram();

private:
    void ChooseSong(const QString& path);
    QString Text(const char16_t* name) const
    {
        QWidget* w = window_->findChild<QWidget*>(QString::fromUtf16(name));
        if (auto* label = qobject_cast<QLabel*>(w))
            return label->text();
        return qobject_cast<QLineEdit*>(w)->text();
    }
    void Click(const char16_t* name)
    {
        QTest::mouseClick(window_->findChild<QPushButton*>(QString::fromUtf16(name)), Qt::LeftButton);
    }
    PlaybackDevice& device() { return window_->playbackDevice(); }

    std::unique_ptr<MainWindow> window_;
};

void SongHandlersTest::init()
{
    window_ = std::make_unique<MainWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void SongHandlersTest::cleanup()
{
    window_.reset();
}

void SongHandlersTest::ChooseSong(const QString& path)
{
    WhenModalAppears([path](QWidget* modal) { AcceptFileDialog(modal, path); });
    Click(u"按钮2");
}

void SongHandlersTest::nothingLoaded()
{
    for (const char16_t* button : {u"按钮3", u"按钮6", u"按钮5", u"按钮4"})
        Click(button);
    window_->OnPositionTimer();
    QCOMPARE(device().GetState(), PlaybackState::Unavailable);
    QCOMPARE(Text(u"标签4"), QStringLiteral(u"当前:"));
    QCOMPARE(Text(u"标签1"), QStringLiteral(u"歌曲总时间:0秒"));
}

void SongHandlersTest::loadShowsPathLengthAndPlays()
{
    const QString song = Song("歌曲 测试.mp3");
    ChooseSong(song);
    QCOMPARE(Text(u"编辑框1"), song);
    QCOMPARE(device().GetState(), PlaybackState::Playing);
    const QString length = QString::fromStdString(TimeText(device().GetLength()));
    QCOMPARE(Text(u"标签1"), QStringLiteral(u"歌曲总时间:") + length);
    QCOMPARE(length, QStringLiteral("00:03"));
    // The position label waits for the timer's next tick.
    QCOMPARE(Text(u"标签4"), QStringLiteral(u"当前:"));
    QTRY_COMPARE_WITH_TIMEOUT(Text(u"标签4"), QStringLiteral(u"当前:00:01"), 3000);
}

void SongHandlersTest::transport()
{
    ChooseSong(Song("cbr128.mp3"));
    QTRY_VERIFY(device().GetPosition() >= 300);

    Click(u"按钮6"); // pause
    QCOMPARE(device().GetState(), PlaybackState::Paused);
    const std::int32_t paused = device().GetPosition();
    window_->OnPositionTimer();
    const QString shown = Text(u"标签4");
    Click(u"按钮6"); // a second pause does not resume
    QCOMPARE(device().GetState(), PlaybackState::Paused);
    QTest::qWait(200);
    window_->OnPositionTimer();
    QCOMPARE(Text(u"标签4"), shown);
    QCOMPARE(device().GetPosition(), paused);

    Click(u"按钮3"); // continue from the pause
    QCOMPARE(device().GetState(), PlaybackState::Playing);
    QVERIFY(device().GetPosition() >= paused);
    QVERIFY(device().GetPosition() < paused + 100);

    Click(u"按钮5"); // stop rewinds
    QCOMPARE(device().GetState(), PlaybackState::Stopped);
    QCOMPARE(device().GetPosition(), 0);
    Click(u"按钮3"); // and play starts over
    QCOMPARE(device().GetState(), PlaybackState::Playing);
    QVERIFY(device().GetPosition() < 100);

    Click(u"按钮6");
    Click(u"按钮5"); // stop while paused rewinds too
    QCOMPARE(device().GetState(), PlaybackState::Stopped);
    QCOMPARE(device().GetPosition(), 0);
}

void SongHandlersTest::cancelKeepsTheSong()
{
    const QString song = Song("cbr128.mp3");
    ChooseSong(song);
    const QString total = Text(u"标签1");
    WhenModalAppears([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    Click(u"按钮2");
    QCOMPARE(Text(u"编辑框1"), song);
    QCOMPARE(Text(u"标签1"), total);
    QCOMPARE(device().GetState(), PlaybackState::Playing);
}

void SongHandlersTest::anotherSongReplaces()
{
    ChooseSong(Song("cbr128.mp3"));
    QTRY_VERIFY(device().GetPosition() >= 1100);
    window_->OnPositionTimer();
    const QString oldPosition = Text(u"标签4");
    QCOMPARE(oldPosition, QStringLiteral(u"当前:00:01"));

    const QString second = Song("mono8k.mp3");
    ChooseSong(second);
    QCOMPARE(Text(u"编辑框1"), second);
    QCOMPARE(Text(u"标签1"), QStringLiteral(u"歌曲总时间:") + QString::fromStdString(TimeText(device().GetLength())));
    QCOMPARE(device().GetState(), PlaybackState::Playing);
    QVERIFY(device().GetPosition() < 500);
    QCOMPARE(Text(u"标签4"), oldPosition); // until the next tick
}

void SongHandlersTest::badSongEndsTheProgram_data()
{
    QTest::addColumn<QString>("song");
    for (const char* name : {"text.mp3", "empty.mp3", "random.mp3", "song.wav", "missing.mp3"})
        QTest::newRow(name) << Song(name);
}

void SongHandlersTest::badSongEndsTheProgram()
{
    QFETCH(QString, song);
    // A process of its own: the end takes the whole program with it.
    QTemporaryDir dir;
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("-child"), song, dir.path()});
    child.start();
    QVERIFY(child.waitForFinished(20000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(out.contains(QStringLiteral(u"box: 系统错误!无法进行转换! | 提示 | warning")), qPrintable(out));
    QVERIFY2(!out.contains(QStringLiteral("close event")), "the window's will-be-destroyed step must not run");
    QVERIFY2(!out.contains(QStringLiteral("returned")), "nothing after the box may run");
}

namespace {

// The child: loads one song through the window, first a good one so that a
// song is playing when the bad one is tried; reports what a user would see.
class CloseWatcher : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            std::puts("close event");
        return false;
    }
};

int RunChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString song = QString::fromLocal8Bit(argv[2]);
    auto window = std::make_unique<MainWindow>();
    CloseWatcher watcher;
    window->installEventFilter(&watcher);
    window->show();
    QTimer::singleShot(0, [&] {
        WhenModalAppears([song](QWidget* modal) {
            AcceptFileDialog(modal, song);
            WhenModalAppears([](QWidget* box) {
                auto* b = qobject_cast<QMessageBox*>(box);
                std::printf("box: %s | %s | %s\n", qPrintable(b->text()), qPrintable(b->windowTitle()),
                            b->icon() == QMessageBox::Warning ? "warning" : "other");
                std::fflush(stdout);
                b->button(QMessageBox::Ok)->click();
            });
        });
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral(u"按钮2")), Qt::LeftButton);
        std::puts("returned");
    });
    app.exec();
    return 3;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && qstrcmp(argv[1], "-child") == 0)
        return RunChild(argc, argv);
    QApplication app(argc, argv);
    SongHandlersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_song_handlers.moc"
