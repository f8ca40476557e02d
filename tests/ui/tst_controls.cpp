// The time boxes, the web-site link and the file dialog, driven as a user would.
#include "ui/hyperlink_box.h"
#include "ui/song_file_dialog.h"
#include "ui/whole_number.h"
#include "ui/whole_number_edit.h"
#include "support/ui_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

using namespace ui_driver;

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void normalise_data();
    void normalise();
    void typedAndPasted_data();
    void typedAndPasted();
    void hyperlinkColours();
    void hyperlinkOpens_data();
    void hyperlinkOpens();
    void filterText();
    void dialogCancelKeepsName();
    void dialogConfirmsAndProposes();
    void saveAsksBeforeReplacing();
    void missingFolderRefused();
};

void ControlsTest::normalise_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("leading zeros") << "007" << "7";
    QTest::newRow("stops at minus") << "12-5" << "12";
    QTest::newRow("lone minus") << "-" << "";
    QTest::newRow("zero") << "0" << "";
    QTest::newRow("minus zero") << "-0" << "";
    QTest::newRow("negative kept") << "-3" << "-3";
    QTest::newRow("above int32") << "99999999999" << "2147483647";
    QTest::newRow("int32 max") << "2147483647" << "2147483647";
    QTest::newRow("int32 min") << "-2147483648" << "-2147483648";
    QTest::newRow("below int32") << "-2147483649" << "-2147483648";
    QTest::newRow("past int64") << "99999999999999999999999" << "2147483647";
    QTest::newRow("past int64 negative") << "-99999999999999999999999" << "-2147483648";
    QTest::newRow("white space and plus") << " \t+42x" << "42";
    QTest::newRow("letters") << "abc" << "";
    QTest::newRow("decimal") << "12.5" << "12";
    QTest::newRow("empty") << "" << "";
}

void ControlsTest::normalise()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(NormaliseWholeNumber(text.toStdString())), expected);
}

void ControlsTest::typedAndPasted_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("whileFocused");
    QTest::addColumn<QString>("afterFocusOut");
    QTest::newRow("point dropped") << "1.5" << "" << "15" << "15";
    QTest::newRow("letters dropped") << "ab c" << "" << "" << "";
    QTest::newRow("full-width digit dropped") << QStringLiteral(u"１2") << "" << "2" << "2";
    QTest::newRow("minus anywhere") << "12-5" << "" << "12-5" << "12";
    QTest::newRow("007") << "007" << "" << "007" << "7";
    QTest::newRow("lone minus") << "-" << "" << "-" << "";
    QTest::newRow("minus zero") << "-0" << "" << "-0" << "";
    QTest::newRow("too large") << "99999999999" << "" << "99999999999" << "2147483647";
    QTest::newRow("pasted letters") << "" << "abc" << "abc" << "";
    QTest::newRow("pasted decimal") << "" << "12.5" << "12.5" << "12";
    QTest::newRow("pasted below int32") << "" << "-99999999999" << "-99999999999" << "-2147483648";
}

void ControlsTest::typedAndPasted()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, whileFocused);
    QFETCH(QString, afterFocusOut);

    QWidget window;
    auto* box = new WholeNumberEdit(&window);
    auto* other = new QPushButton(QStringLiteral("next"), &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(box);
    layout->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());

    for (const QChar c : typed) {
        if (c.unicode() < 128)
            QTest::keyClick(box, c.toLatin1());
        else // a character no key of the test keyboard has, as a layout would deliver it
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    if (!pasted.isEmpty()) {
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(box->text(), whileFocused);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(box->text(), afterFocusOut);
}

void ControlsTest::hyperlinkColours()
{
    QWidget window;
    window.resize(200, 100);
    auto* link = new HyperlinkBox(&window);
    link->setText(QStringLiteral(u"官方网站"));
    link->setGeometry(10, 10, 72, 24);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(link->textColour(), HyperlinkBox::NormalColour);
    QTest::mouseMove(&window, QPoint(40, 20));
    QTRY_VERIFY(link->isHovered());
    QCOMPARE(link->textColour(), HyperlinkBox::HoverColour);
    // The box holds the mouse while hovered and lets it go once the pointer leaves.
    QCOMPARE(QWidget::mouseGrabber(), link);
    QTest::mouseMove(&window, QPoint(150, 80));
    QTRY_VERIFY(!link->isHovered());
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
    QCOMPARE(link->textColour(), HyperlinkBox::NormalColour);

    const QImage shot = link->grab().toImage();
    bool blue = false;
    for (int y = 0; y < shot.height() && !blue; ++y)
        for (int x = 0; x < shot.width() && !blue; ++x)
            blue = shot.pixelColor(x, y) == HyperlinkBox::NormalColour;
    QVERIFY2(blue, "the caption is drawn in the link's colour");
}

void ControlsTest::hyperlinkOpens_data()
{
    QTest::addColumn<QString>("stubs");
    QTest::addColumn<bool>("visited");
    QTest::addColumn<QString>("recorder");
    QTest::newRow("desktop opener") << "xdg-open" << true << "xdg-open";
    QTest::newRow("browser fallback") << "x-www-browser" << true << "x-www-browser";
    QTest::newRow("neither") << "" << false << "";
}

void ControlsTest::hyperlinkOpens()
{
    QFETCH(QString, stubs);
    QFETCH(bool, visited);
    QFETCH(QString, recorder);
    if (recorder == QLatin1String("xdg-open") && QGuiApplication::platformName() == QLatin1String("offscreen"))
        QSKIP("the offscreen platform has no desktop services; the run under X covers this row");

    QTemporaryDir bin;
    const QString record = bin.filePath(QStringLiteral("opened"));
    for (const QString& name : stubs.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QFile stub(bin.filePath(name));
        QVERIFY(stub.open(QIODevice::WriteOnly));
        stub.write(QStringLiteral("#!/bin/sh\necho \"%1 $1\" > '%2'\n").arg(name, record).toUtf8());
        stub.close();
        stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());

    HyperlinkBox link;
    link.setText(QStringLiteral(u"官方网站"));
    link.setAddress(QStringLiteral("https://zembrot.example/guide"));
    link.resize(72, 24);
    link.show();
    QVERIFY(QTest::qWaitForWindowExposed(&link));
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(30, 10));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(30, 10));
    qputenv("PATH", oldPath);

    QCOMPARE(link.isVisited(), visited);
    if (!recorder.isEmpty()) {
        QTRY_VERIFY(QFile::exists(record));
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()).trimmed(), recorder + QStringLiteral(" https://zembrot.example/guide"));
    }
    QTest::mouseMove(&link, QPoint(200, 200));
    QTRY_VERIFY(!link.isHovered());
    QCOMPARE(link.textColour(), visited ? HyperlinkBox::VisitedColour : HyperlinkBox::NormalColour);
}

void ControlsTest::filterText()
{
    QCOMPARE(SongFileDialog::ParseFilter(SongFileDialog::FilterText), QStringList{QStringLiteral(u"mp3音乐文件 (*.mp3)")});
    QCOMPARE(SongFileDialog::ParseFilter(QStringLiteral("A|*.a|B|*.b  ")), (QStringList{"A (*.a)", "B (*.b)"}));
    QCOMPARE(SongFileDialog::ParseFilter(QStringLiteral("A|*.a||B|*.b")), QStringList{"A (*.a)"});
    QCOMPARE(SongFileDialog::ParseFilter(QString()), QStringList{});
}

void ControlsTest::dialogCancelKeepsName()
{
    QWidget owner;
    owner.show();
    SongFileDialog dialog;
    WhenModalAppears([](QWidget* modal) {
        auto* fd = qobject_cast<QFileDialog*>(modal);
        QVERIFY(fd);
        QCOMPARE(fd->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(fd->nameFilters(), QStringList{QStringLiteral(u"mp3音乐文件 (*.mp3)")});
        QCOMPARE(fd->directory().absolutePath(), QDir(SongFileDialog::InitialFolder()).absolutePath());
        QVERIFY(fd->defaultSuffix().isEmpty());
        QVERIFY(fd->isModal());
        fd->reject();
    });
    QVERIFY(!dialog.Show(&owner));
    QVERIFY(dialog.GetFileName().isEmpty());
}

void ControlsTest::dialogConfirmsAndProposes()
{
    QTemporaryDir dir;
    QWidget owner;
    owner.show();
    SongFileDialog dialog;
    // Open mode takes a name that does not exist, as typed: no extension is added.
    const QString typed = dir.filePath(QStringLiteral(u"没有 这首歌"));
    WhenModalAppears([typed](QWidget* modal) { AcceptFileDialog(modal, typed); });
    QVERIFY(dialog.Show(&owner));
    QCOMPARE(dialog.GetFileName(), typed);

    // The next dialog, in either mode, proposes that path in its folder; a cancel keeps it.
    dialog.SetMode(SongFileDialog::SaveMode);
    QString proposedDir, proposedName;
    WhenModalAppears([&](QWidget* modal) {
        auto* fd = qobject_cast<QFileDialog*>(modal);
        QCOMPARE(fd->acceptMode(), QFileDialog::AcceptSave);
        proposedDir = fd->directory().absolutePath();
        proposedName = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        fd->reject();
    });
    QVERIFY(!dialog.Show(&owner));
    QCOMPARE(proposedDir, dir.path());
    QCOMPARE(proposedName, QStringLiteral(u"没有 这首歌"));
    QCOMPARE(dialog.GetFileName(), typed);
    QCOMPARE(dialog.mode(), int(SongFileDialog::SaveMode));
}

void ControlsTest::saveAsksBeforeReplacing()
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("old.mp3"));
    QFile(existing).open(QIODevice::WriteOnly);
    QWidget owner;
    owner.show();
    SongFileDialog dialog;
    dialog.SetMode(SongFileDialog::SaveMode);

    // "No" to the question keeps the dialog open; cancelling it then gives false.
    bool asked = false;
    WhenModalAppears([&](QWidget* modal) {
        AcceptFileDialog(modal, existing);
        WhenModalAppears([&, modal](QWidget* question) {
            asked = qobject_cast<QMessageBox*>(question) != nullptr;
            ClickMessageBox(question, QMessageBox::No);
            QTimer::singleShot(50, modal, [modal] {
                QVERIFY(modal->isVisible());
                qobject_cast<QDialog*>(modal)->reject();
            });
        });
    });
    QVERIFY(!dialog.Show(&owner));
    QVERIFY(asked);
    QVERIFY(dialog.GetFileName().isEmpty());

    WhenModalAppears([&](QWidget* modal) {
        AcceptFileDialog(modal, existing);
        WhenModalAppears([](QWidget* question) { ClickMessageBox(question, QMessageBox::Yes); });
    });
    QVERIFY(dialog.Show(&owner));
    QCOMPARE(dialog.GetFileName(), existing);
}

void ControlsTest::missingFolderRefused()
{
    QTemporaryDir dir;
    QWidget owner;
    owner.show();
    SongFileDialog dialog;
    dialog.SetMode(SongFileDialog::SaveMode);
    bool warned = false;
    WhenModalAppears([&](QWidget* modal) {
        AcceptFileDialog(modal, dir.filePath(QStringLiteral("no/such/folder/cut.mp3")));
        WhenModalAppears([&, modal](QWidget* warning) {
            warned = qobject_cast<QMessageBox*>(warning) != nullptr;
            ClickMessageBox(warning, QMessageBox::Ok);
            QTimer::singleShot(50, modal, [modal] {
                QVERIFY(modal->isVisible());
                qobject_cast<QDialog*>(modal)->reject();
            });
        });
    });
    QVERIFY(!dialog.Show(&owner));
    QVERIFY(warned);
}

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
