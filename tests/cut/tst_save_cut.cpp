// Saving a cut through the real window: every outcome the user can meet, with
// the example song of exactly 4 000 000 bytes and 240 000 ms (16 bytes a millisecond).
#include "app/app_shell.h"
#include "support/ui_driver.h"
#include "ui/main_window.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace ui_driver;

namespace {

QString Song(const char* name)
{
    return QDir(qEnvironmentVariable("ZEMBROT_SONGS_DIR")).absoluteFilePath(QString::fromUtf8(name));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString Saved = QStringLiteral(u"保存成功!");
const QString NoData = QStringLiteral(u"请选择要剪切部分数据!");
const QString BadTimes = QStringLiteral(u"请正确填写待剪切时间！");

} // namespace

class SaveCutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void noSongChosen();
    void workedExample_data();
    void workedExample();
    void cancelKeepsTheNewCut();
    void neverOverTheOpenSong();

private:
    void LoadExample();
    // Types the times as a user would, clicks save and answers the dialog
    // (target, or cancel when empty) and the box that follows.
    SeenBox SaveCut(const QString& start, const QString& end, const QString& target, bool* dialogShown = nullptr);
    QLineEdit* Box(const char16_t* name) const { return window_->findChild<QLineEdit*>(QString::fromUtf16(name)); }

    std::unique_ptr<MainWindow> window_;
    QByteArray example_;
    QTemporaryDir out_;
};

void SaveCutTest::initTestCase()
{
    example_ = ReadAll(Song("example.mp3"));
    QCOMPARE(example_.size(), 4000000);
}

void SaveCutTest::init()
{
    CutBuffer.Release();
    window_ = std::make_unique<MainWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void SaveCutTest::cleanup()
{
    window_.reset();
}

void SaveCutTest::LoadExample()
{
    const QString song = Song("example.mp3");
    WhenModalAppears([song](QWidget* modal) { AcceptFileDialog(modal, song); });
    QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral(u"按钮2")), Qt::LeftButton);
    QCOMPARE(window_->playbackDevice().GetLength(), 240000);
}

SeenBox SaveCutTest::SaveCut(const QString& start, const QString& end, const QString& target, bool* dialogShown)
{
    for (auto [box, text] : {std::pair{Box(u"编辑框2"), start}, std::pair{Box(u"编辑框3"), end}}) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    SeenBox seen;
    bool shown = false;
    WhenModalAppears([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            shown = true;
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            if (target.isEmpty()) {
                dialog->reject();
                return;
            }
            if (QFileInfo::exists(target)) // the dialog asks before replacing
                WhenModalAppears([&seen](QWidget* question) {
                    ClickMessageBox(question, QMessageBox::Yes);
                    AnswerNextBox(seen);
                });
            else
                AnswerNextBox(seen);
            AcceptFileDialog(modal, target);
        } else {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen = {true, box->text(), box->windowTitle(), box->icon(), box->parentWidget() == nullptr};
            box->button(QMessageBox::Ok)->click();
        }
    });
    // A click moves the focus (and normalises the box) before the handler runs.
    QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral(u"按钮1")), Qt::LeftButton);
    if (dialogShown)
        *dialogShown = shown;
    return seen;
}

void SaveCutTest::noSongChosen()
{
    const SeenBox seen = SaveCut(QStringLiteral("10"), QStringLiteral("20"), QString());
    QCOMPARE(seen.text, QStringLiteral(u"请选择文件！"));
    QCOMPARE(seen.title, QStringLiteral(u"信息："));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QVERIFY(seen.ownerless);
}

void SaveCutTest::workedExample_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("offset"); // -1: nothing saved
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message");
    QTest::newRow("10..20") << "10" << "20" << 159999 << 160000 << Saved;
    QTest::newRow("past the end is cut short") << "230" << "300" << 3679999 << 320001 << Saved;
    QTest::newRow("P = L saves the last byte") << "250" << "260" << 3999999 << 1 << Saved;
    QTest::newRow("P past L") << "251" << "260" << -1 << 0 << NoData;
    QTest::newRow("negative start") << "-5" << "10" << 0 << 240000 << Saved;
    QTest::newRow("start 1 begins at 15 999") << "1" << "2" << 15999 << 16000 << Saved;
    QTest::newRow("end equals start") << "10" << "10" << -1 << 0 << NoData;
    QTest::newRow("end before start") << "20" << "10" << -1 << 0 << BadTimes;
    QTest::newRow("start 0") << "0" << "10" << -1 << 0 << BadTimes;
    QTest::newRow("end 0") << "5" << "0" << -1 << 0 << BadTimes;
    QTest::newRow("empty start") << "" << "10" << -1 << 0 << BadTimes;
    QTest::newRow("empty end") << "5" << "" << -1 << 0 << BadTimes;
    QTest::newRow("typed point dropped: 1.5 is 15") << "1.5" << "16" << 239999 << 16000 << Saved;
    // Far past the song: the byte position saturates instead of wrapping round to the file's start.
    QTest::newRow("start far past the end") << "200000" << "200010" << -1 << 0 << NoData;
    QTest::newRow("span longer than the song") << "10" << "200000" << 159999 << 3840001 << Saved;
}

void SaveCutTest::workedExample()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(QString, message);

    LoadExample();
    const QString target = out_.filePath(QString::fromUtf8(QTest::currentDataTag()) + QStringLiteral(".mp3"));
    bool dialogShown = false;
    const SeenBox seen = SaveCut(start, end, target, &dialogShown);
    QCOMPARE(seen.text, message);
    QVERIFY(seen.ownerless);
    if (message == Saved) {
        QCOMPARE(seen.title, QStringLiteral(u"提示"));
        QCOMPARE(seen.icon, QMessageBox::Information);
        const QByteArray saved = ReadAll(target);
        QCOMPARE(saved.size(), count);
        QVERIFY(saved == example_.mid(offset, count));
        QCOMPARE(CutBuffer.size(), count);
    } else {
        QVERIFY(!dialogShown);
        QVERIFY(!QFileInfo::exists(target));
        QCOMPARE(seen.title, message == NoData ? QStringLiteral(u"提示") : QStringLiteral(u"信息："));
        QCOMPARE(seen.icon, message == NoData ? QMessageBox::Warning : QMessageBox::NoIcon);
    }
    // The song went on playing through it all.
    QCOMPARE(window_->playbackDevice().GetState(), PlaybackState::Playing);
}

void SaveCutTest::cancelKeepsTheNewCut()
{
    LoadExample();
    SaveCut(QStringLiteral("10"), QStringLiteral("20"), out_.filePath(QStringLiteral("first.mp3")));
    bool dialogShown = false;
    const SeenBox seen = SaveCut(QStringLiteral("1"), QStringLiteral("2"), QString(), &dialogShown);
    QVERIFY(dialogShown);
    QVERIFY(!seen.shown);
    QCOMPARE(CutBuffer.size(), 16000);
    QVERIFY(std::equal(CutBuffer.data(), CutBuffer.data() + 16000,
                       reinterpret_cast<const std::byte*>(example_.constData()) + 15999));
    // An empty cut empties the buffer too.
    SaveCut(QStringLiteral("10"), QStringLiteral("10"), QString());
    QVERIFY(CutBuffer.empty());
}

void SaveCutTest::neverOverTheOpenSong()
{
    QTemporaryDir dir;
    const QString song = dir.filePath(QStringLiteral("song.mp3"));
    QVERIFY(QFile::copy(Song("example.mp3"), song));
    const QString link = dir.filePath(QStringLiteral("link.mp3"));
    QVERIFY(QFile::link(song, link));
    WhenModalAppears([song](QWidget* modal) { AcceptFileDialog(modal, song); });
    QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral(u"按钮2")), Qt::LeftButton);

    for (const QString& target : {song, link}) {
        const SeenBox seen = SaveCut(QStringLiteral("10"), QStringLiteral("20"), target);
        QCOMPARE(seen.text, QStringLiteral(u"保存失败!"));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QVERIFY(ReadAll(song) == example_);
        QVERIFY(QFileInfo(link).isSymLink());
    }
    QCOMPARE(window_->playbackDevice().GetState(), PlaybackState::Playing);
}

QTEST_MAIN(SaveCutTest)
#include "tst_save_cut.moc"
