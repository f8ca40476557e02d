// The window as assistive technology meets it (names, roles, descriptions,
// announcements), as the keyboard drives it, and at a doubled scale.
#include "support/ui_driver.h"
#include "ui/hyperlink_box.h"
#include "ui/main_window.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qplatformwindow.h>

using namespace ui_driver;

namespace {

// What the platform would have passed on to a screen reader: the object, what
// happened, and the object's name at that moment.
struct SeenEvent {
    QObject* object;
    QAccessible::Event type;
    QString name;
};
std::vector<SeenEvent> g_seen;

void RecordEvent(QAccessibleEvent* event)
{
    QAccessibleInterface* iface = event->accessibleInterface();
    g_seen.push_back({event->object(), event->type(), iface ? iface->text(QAccessible::Name) : QString()});
}

QStringList Announced(QObject* object)
{
    QStringList names;
    for (const SeenEvent& e : g_seen)
        if (e.object == object && e.type == QAccessible::NameChanged)
            names << e.name;
    return names;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void interfaces_data();
    void interfaces();
    void linkPress();
    void labelsAnnounceChanges();
    void keysClickFocusedButton_data();
    void keysClickFocusedButton();
    void doubledScale();

private:
    template <typename W = QWidget>
    W* control(const char16_t* name) const
    {
        return window_->findChild<W*>(QString::fromUtf16(name));
    }
    std::unique_ptr<MainWindow> window_;
};

void AccessibilityTest::initTestCase()
{
    // Qt passes events on only while assistive technology is active; a screen
    // reader turns that on through the platform, and so does this test.
    QPlatformAccessibility* platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(platform);
    platform->setActive(true);
    QAccessible::installUpdateHandler(&RecordEvent);
    QVERIFY(QAccessible::isActive());
}

void AccessibilityTest::init()
{
    window_ = std::make_unique<MainWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    g_seen.clear();
}

void AccessibilityTest::cleanup()
{
    window_.reset();
}

void AccessibilityTest::interfaces_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("labelledBy"); // the label that labels it, besides its group box

    struct Row { const char16_t* object; QAccessible::Role role; const char16_t* name; const char16_t* description; const char16_t* label; };
    const Row rows[] = {
        {u"MainWindow", QAccessible::Client, u"Zembrot", u"", u""},
        {u"分组框1", QAccessible::Grouping, u"", u"", u""},
        {u"编辑框1", QAccessible::EditableText, u"歌曲路径", u"", u""},
        {u"按钮2", QAccessible::Button, u"选择歌曲", u"", u""},
        {u"分组框2", QAccessible::Grouping, u"请选择待剪切时间", u"", u""},
        {u"标签4", QAccessible::StaticText, u"当前:", u"", u""},
        {u"标签5", QAccessible::StaticText, u"待剪切起始时间", u"", u""},
        {u"编辑框2", QAccessible::EditableText, u"待剪切起始时间", u"秒", u"标签5"},
        {u"标签6", QAccessible::StaticText, u"秒", u"", u""},
        {u"标签7", QAccessible::StaticText, u"待剪切结束时间", u"", u""},
        {u"编辑框3", QAccessible::EditableText, u"待剪切结束时间", u"秒", u"标签7"},
        {u"标签8", QAccessible::StaticText, u"秒", u"", u""},
        {u"标签1", QAccessible::StaticText, u"歌曲总时间:0秒", u"", u""},
        {u"按钮3", QAccessible::Button, u"播放", u"", u""},
        {u"按钮6", QAccessible::Button, u"暂停", u"", u""},
        {u"按钮5", QAccessible::Button, u"停止", u"", u""},
        {u"按钮4", QAccessible::Button, u"播放选择部分", u"", u""},
        {u"按钮1", QAccessible::Button, u"保存新的mp3文件", u"", u""},
        {u"标签2", QAccessible::StaticText, u"待剪切mp3文件歌曲时间为:0秒", u"", u""},
        {u"标签9", QAccessible::StaticText, u"出品：Zembrot 项目", u"", u""},
        // The description is the address: checked against the box in the test.
        {u"超级链接框1", QAccessible::Link, u"官方网站", nullptr, u""},
    };
    for (const Row& r : rows)
        QTest::newRow(QString::fromUtf16(r.object).toUtf8().constData())
            << int(r.role) << QString::fromUtf16(r.name)
            << (r.description ? QString::fromUtf16(r.description) : QString()) << QString::fromUtf16(r.label);
}

void AccessibilityTest::interfaces()
{
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(QString, labelledBy);

    const QString objectName = QString::fromUtf8(QTest::currentDataTag());
    QWidget* w = objectName == QLatin1String("MainWindow") ? window_.get() : window_->findChild<QWidget*>(objectName);
    QVERIFY2(w, qPrintable(objectName));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    QVERIFY(iface && iface->isValid());
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    if (auto* link = qobject_cast<HyperlinkBox*>(w))
        description = link->address();
    QCOMPARE(iface->text(QAccessible::Description), description);
    QVERIFY(!iface->state().invisible);

    QStringList labels;
    for (const auto& [other, relation] : iface->relations(QAccessible::Label))
        labels << other->object()->objectName();
    // Qt lists a group box as the label of what it holds; the caption label comes first.
    labels.removeAll(w->parentWidget() ? w->parentWidget()->objectName() : QString());
    QCOMPARE(labels, labelledBy.isEmpty() ? QStringList() : QStringList{labelledBy});
}

void AccessibilityTest::linkPress()
{
    // A screen reader opens the link through its press action, as a click would
    // (here through a stand-in web browser: offscreen has no desktop opener).
    QTemporaryDir bin;
    const QString record = bin.filePath(QStringLiteral("opened"));
    QFile stub(bin.filePath(QStringLiteral("x-www-browser")));
    QVERIFY(stub.open(QIODevice::WriteOnly));
    stub.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\n").arg(record).toUtf8());
    stub.close();
    stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());

    auto* link = control<HyperlinkBox>(u"超级链接框1");
    link->setAddress(QStringLiteral("https://zembrot.example/guide"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(link);
    QVERIFY(iface->state().linked);
    QVERIFY(!iface->state().focusable);
    QVERIFY(!iface->state().traversed);
    QAccessibleActionInterface* actions = iface->actionInterface();
    QVERIFY(actions);
    QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    actions->doAction(QAccessibleActionInterface::pressAction());
    qputenv("PATH", oldPath);

    QVERIFY(iface->state().traversed);
    QTRY_VERIFY(QFile::exists(record) && QFileInfo(record).size() > 0);
    QFile opened(record);
    QVERIFY(opened.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(opened.readAll()).trimmed(), QStringLiteral("https://zembrot.example/guide"));
}

void AccessibilityTest::labelsAnnounceChanges()
{
    auto* total = control<QLabel>(u"标签1");
    auto* position = control<QLabel>(u"标签4");

    const QString song = QDir(qEnvironmentVariable("ZEMBROT_SONGS_DIR")).absoluteFilePath(QStringLiteral(u"歌曲 测试.mp3"));
    WhenModalAppears([song](QWidget* modal) { AcceptFileDialog(modal, song); });
    QTest::mouseClick(control<QPushButton>(u"按钮2"), Qt::LeftButton);
    QCOMPARE(Announced(total), QStringList{QStringLiteral(u"歌曲总时间:00:03")});

    // Each tick that moves the position on is said once.
    QTRY_VERIFY_WITH_TIMEOUT(Announced(position).size() >= 2, 4000);
    // Ticks that write the text it already has say nothing new: five writes in a
    // row cross at most one second.
    const qsizetype before = Announced(position).size();
    for (int i = 0; i < 5; ++i)
        window_->OnPositionTimer();
    const QStringList said = Announced(position);
    QVERIFY2(said.size() <= before + 1, qPrintable(said.join(u',')));
    QCOMPARE(said.last(), position->text());
    for (qsizetype i = 0; i < said.size(); ++i) {
        QVERIFY2(said[i].startsWith(QStringLiteral(u"当前:")) && said[i] != QStringLiteral(u"当前:"), qPrintable(said[i]));
        QVERIFY2(i == 0 || said[i] != said[i - 1], qPrintable(said.join(u',')));
    }
    QCOMPARE(Announced(total).size(), 1);
}

void AccessibilityTest::keysClickFocusedButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("repeats"); // auto-repeated presses while held
    QTest::addColumn<int>("clicks");

    struct Row { const char* tag; const char16_t* button; Qt::Key key; Qt::KeyboardModifiers mods; int repeats; int clicks; };
    const Row rows[] = {
        {"Return on 按钮4", u"按钮4", Qt::Key_Return, Qt::NoModifier, 0, 1},
        {"Enter on 按钮3", u"按钮3", Qt::Key_Enter, Qt::KeypadModifier, 0, 1},
        {"Space on 按钮4", u"按钮4", Qt::Key_Space, Qt::NoModifier, 0, 1},
        {"Space on 按钮3", u"按钮3", Qt::Key_Space, Qt::NoModifier, 0, 1},
        {"Return held on 按钮4", u"按钮4", Qt::Key_Return, Qt::NoModifier, 3, 1},
        {"Ctrl+Return on 按钮4", u"按钮4", Qt::Key_Return, Qt::ControlModifier, 0, 0},
    };
    for (const Row& r : rows)
        QTest::newRow(r.tag) << QString::fromUtf16(r.button) << int(r.key) << int(r.mods) << r.repeats << r.clicks;
}

void AccessibilityTest::keysClickFocusedButton()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, repeats);
    QFETCH(int, clicks);

    auto* target = window_->findChild<QPushButton*>(button);
    auto* other = control<QPushButton>(target->objectName() == QStringLiteral(u"按钮4") ? u"按钮3" : u"按钮4");
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);
    QSignalSpy clicked(target, &QPushButton::clicked);
    QSignalSpy otherClicked(other, &QPushButton::clicked);

    const auto mods = Qt::KeyboardModifiers(modifiers);
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QStringLiteral("\r");
    QTest::keyPress(target, Qt::Key(key), mods);
    if (key != Qt::Key_Space && clicks > 0)
        QTRY_COMPARE(clicked.size(), 1); // Enter clicks as it goes down
    // Still held, the key repeats: no further click.
    for (int i = 0; i < repeats; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, key, mods, text, true);
        QApplication::sendEvent(target, &repeat);
    }
    QTest::keyRelease(target, Qt::Key(key), mods);
    if (clicks > 0)
        QTRY_COMPARE(clicked.size(), clicks);
    QTRY_VERIFY(!target->isDown());
    QCOMPARE(clicked.size(), clicks);
    QCOMPARE(otherClicked.size(), 0);
    QVERIFY(window_->isVisible());
}

void AccessibilityTest::doubledScale()
{
    if (qEnvironmentVariable("QT_SCALE_FACTOR") != QLatin1String("2"))
        QSKIP("run with QT_SCALE_FACTOR=2 (ui.accessibility_scale2)");
    QCOMPARE(window_->devicePixelRatio(), 2.0);

    // The outer size in device pixels, as the platform has it: the frame too.
    const QPlatformWindow* native = window_->windowHandle()->handle();
    QVERIFY(native);
    QCOMPARE(native->geometry().marginsAdded(native->frameMargins()).size(), QSize(760, 486));
    QCOMPARE(window_->frameGeometry().size(), QSize(380, 243));
    const QPixmap client = window_->grab();
    QCOMPARE(client.devicePixelRatio(), 2.0);
    QCOMPARE(client.size(), native->geometry().size());
    QCOMPARE(client.size(), window_->size() * 2);

    // Every control keeps its place and size in logical pixels and doubles in device pixels.
    const QList<QWidget*> controls = window_->findChildren<QWidget*>();
    QVERIFY(controls.size() >= 20);
    for (QWidget* w : controls) {
        const QPixmap shot = w->grab();
        QVERIFY2(shot.size() == w->size() * 2, qPrintable(w->objectName()));
    }
    QCOMPARE(control(u"按钮1")->grab().size(), QSize(224, 48));

    // The icon is drawn at the device size, not blown up from a small bitmap.
    const QPixmap icon = window_->windowIcon().pixmap(QSize(32, 32), 2.0);
    QCOMPARE(icon.size(), QSize(64, 64));
    QCOMPARE(icon.devicePixelRatio(), 2.0);
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
