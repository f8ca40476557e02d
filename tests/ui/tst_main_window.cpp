// The window as a user meets it: every control where it belongs, the keyboard,
// and closing.
#include "ui/hyperlink_box.h"
#include "ui/main_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlTable_data();
    void controlTable();
    void stackingOrder();
    void windowSettings();
    void startState();
    void tabOrder();
    void escape_data();
    void escape();

private:
    std::unique_ptr<MainWindow> window_;
    QWidget* control(const char16_t* name) const
    {
        return window_->findChild<QWidget*>(QString::fromUtf16(name));
    }
};

void MainWindowTest::init()
{
    window_ = std::make_unique<MainWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void MainWindowTest::cleanup()
{
    window_.reset();
}

void MainWindowTest::controlTable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("takesFocus");

    struct Row { const char16_t* name; const char* kind; const char16_t* parent; QRect place; const char16_t* text; bool tab; };
    const Row rows[] = {
        {u"超级链接框1", "HyperlinkBox", u"MainWindow", {308, 176, 72, 24}, u"官方网站", false},
        {u"标签9", "QLabel", u"MainWindow", {200, 198, 175, 16}, u"出品：Zembrot 项目", false},
        {u"标签8", "QLabel", u"分组框2", {304, 40, 32, 24}, u"秒", false},
        {u"编辑框3", "WholeNumberEdit", u"分组框2", {254, 37, 48, 20}, u"", true},
        {u"标签7", "QLabel", u"分组框2", {168, 40, 88, 20}, u"待剪切结束时间", false},
        {u"标签6", "QLabel", u"分组框2", {147, 40, 24, 20}, u"秒", false},
        {u"编辑框2", "WholeNumberEdit", u"分组框2", {94, 37, 48, 20}, u"", true},
        {u"标签5", "QLabel", u"分组框2", {8, 38, 120, 20}, u"待剪切起始时间", false},
        {u"标签4", "QLabel", u"分组框2", {8, 16, 88, 20}, u"当前:", false},
        {u"按钮6", "QPushButton", u"MainWindow", {64, 144, 56, 24}, u"暂停", true},
        {u"按钮5", "QPushButton", u"MainWindow", {120, 144, 56, 24}, u"停止", true},
        {u"按钮4", "QPushButton", u"MainWindow", {176, 144, 80, 24}, u"播放选择部分", true},
        {u"按钮3", "QPushButton", u"MainWindow", {8, 144, 56, 24}, u"播放", true},
        {u"按钮1", "QPushButton", u"MainWindow", {256, 144, 112, 24}, u"保存新的mp3文件", true},
        {u"标签2", "QLabel", u"MainWindow", {8, 170, 280, 20}, u"待剪切mp3文件歌曲时间为:0秒", false},
        {u"标签1", "QLabel", u"分组框2", {8, 57, 344, 20}, u"歌曲总时间:0秒", false},
        {u"分组框2", "QGroupBox", u"MainWindow", {8, 48, 360, 80}, u"请选择待剪切时间", false},
        {u"按钮2", "QPushButton", u"分组框1", {280, 11, 72, 24}, u"选择歌曲", true},
        {u"编辑框1", "QLineEdit", u"分组框1", {8, 12, 264, 20}, u"", true},
        {u"分组框1", "QGroupBox", u"MainWindow", {8, 0, 360, 40}, u"", false},
    };
    for (const Row& r : rows)
        QTest::newRow(QString::fromUtf16(r.name).toUtf8().constData())
            << QString::fromLatin1(r.kind) << QString::fromUtf16(r.parent) << r.place << QString::fromUtf16(r.text) << r.tab;
}

void MainWindowTest::controlTable()
{
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QRect, place);
    QFETCH(QString, text);
    QFETCH(bool, takesFocus);

    const QString name = QString::fromUtf8(QTest::currentDataTag());
    QWidget* w = window_->findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), kind);
    QCOMPARE(w->parentWidget()->objectName(), parent);
    QCOMPARE(w->geometry(), place);
    QVERIFY(w->isVisible());
    QVERIFY(w->isEnabled());
    QCOMPARE(w->focusPolicy() != Qt::NoFocus, takesFocus);

    if (auto* label = qobject_cast<QLabel*>(w)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
        QVERIFY(!label->wordWrap());
        // Every caption fits its rectangle as drawn.
        QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= place.width(), qPrintable(text));
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        QCOMPARE(button->text(), text);
        QVERIFY(!button->isDefault() && !button->autoDefault());
        QVERIFY2(button->fontMetrics().horizontalAdvance(text) <= place.width() - 4, qPrintable(text));
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->isReadOnly(), name == QStringLiteral(u"编辑框1"));
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        QCOMPARE(group->title(), text);
    } else if (auto* link = qobject_cast<HyperlinkBox*>(w)) {
        QCOMPARE(link->text(), text);
        QVERIFY(!link->address().isEmpty());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }
}

void MainWindowTest::stackingOrder()
{
    // Among siblings, the one listed earlier lies above: later in children().
    const std::pair<const char16_t*, const char16_t*> aboveBelow[] = {
        {u"编辑框2", u"标签5"}, {u"编辑框3", u"标签7"}, {u"标签7", u"标签6"},
        {u"超级链接框1", u"标签9"}, {u"标签9", u"按钮6"}, {u"按钮1", u"分组框2"}, {u"分组框2", u"分组框1"},
        {u"按钮2", u"编辑框1"}, {u"标签4", u"标签1"},
    };
    for (auto [above, below] : aboveBelow) {
        QWidget* a = control(above);
        QWidget* b = control(below);
        QCOMPARE(a->parent(), b->parent());
        const QObjectList& siblings = a->parent()->children();
        QVERIFY2(siblings.indexOf(a) > siblings.indexOf(b),
                 qPrintable(QString::fromUtf16(above) + QLatin1String(" over ") + QString::fromUtf16(below)));
    }
    // Where 编辑框2 overlaps 标签5, the box is what is drawn.
    QWidget* group = control(u"分组框2");
    QCOMPARE(group->childAt(QPoint(100, 45)), control(u"编辑框2"));
}

void MainWindowTest::windowSettings()
{
    QCOMPARE(window_->windowTitle(), QStringLiteral("Zembrot"));
    QCOMPARE(window_->frameGeometry().size(), QSize(380, 243));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(window_->frameGeometry().topLeft(),
             QPoint((screen.width() - 380) / 2, (screen.height() - 243) / 2));
    const Qt::WindowFlags flags = window_->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowStaysOnTopHint));
    QVERIFY(!window_->windowIcon().isNull());
    QCOMPARE(window_->font().pixelSize(), 12);

    auto* timer = window_->findChild<QTimer*>(QStringLiteral(u"时钟1"));
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
}

void MainWindowTest::startState()
{
    QCOMPARE(QApplication::focusWidget(), control(u"编辑框1"));
    QCOMPARE(window_->songFileDialog().mode(), int(SongFileDialog::OpenMode));
    QVERIFY(window_->songFileDialog().GetFileName().isEmpty());
    QCOMPARE(window_->playbackDevice().GetState(), PlaybackState::Unavailable);
}

void MainWindowTest::tabOrder()
{
    const char16_t* order[] = {u"编辑框1", u"按钮2", u"按钮1", u"按钮3", u"按钮4",
                               u"按钮5", u"按钮6", u"编辑框2", u"编辑框3"};
    const int n = int(std::size(order));
    for (int i = 1; i <= n; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control(order[i % n]));
    }
    for (int i = n - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), control(order[i]));
    }
}

void MainWindowTest::escape_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("closes");
    QTest::newRow("plain, path box") << QStringLiteral(u"编辑框1") << int(Qt::NoModifier) << true;
    QTest::newRow("plain, time box") << QStringLiteral(u"编辑框2") << int(Qt::NoModifier) << true;
    QTest::newRow("plain, button") << QStringLiteral(u"按钮4") << int(Qt::NoModifier) << true;
    QTest::newRow("shift") << QStringLiteral(u"编辑框1") << int(Qt::ShiftModifier) << false;
    QTest::newRow("ctrl") << QStringLiteral(u"按钮1") << int(Qt::ControlModifier) << false;
    QTest::newRow("alt") << QStringLiteral(u"按钮1") << int(Qt::AltModifier) << false;
}

void MainWindowTest::escape()
{
    QFETCH(QString, focus);
    QFETCH(int, modifiers);
    QFETCH(bool, closes);
    QWidget* target = window_->findChild<QWidget*>(focus);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(window_->isVisible(), !closes);
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
