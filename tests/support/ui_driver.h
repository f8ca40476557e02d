#pragma once

// Driving modal dialogs and message boxes for real, as a user would answer them.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace ui_driver {

// Runs action on the next modal dialog to appear (not the one up now), once it is up.
inline void WhenModalAppears(std::function<void(QWidget*)> action)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QPointer<QWidget> current = QApplication::activeModalWidget();
    QObject::connect(poll, &QTimer::timeout, [poll, current, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && modal != current) {
            poll->stop();
            poll->deleteLater();
            action(modal);
        }
    });
    poll->start();
}

inline void AcceptFileDialog(QWidget* modal, const QString& name)
{
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog);
    auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(nameBox);
    // What a user's typing leaves: the name in the box and nothing else picked in the list.
    dialog->selectFile(name);
    nameBox->setText(name);
    // Qt's dialog settles the typed name on its next turn of the loop.
    QTimer::singleShot(0, dialog, [dialog] { QMetaObject::invokeMethod(dialog, "accept"); });
}

inline void ClickMessageBox(QWidget* modal, QMessageBox::StandardButton which)
{
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    box->button(which)->click();
}

// What a message box said before it was dismissed with OK.
struct SeenBox {
    bool shown = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool ownerless = false;
};

inline void AnswerNextBox(SeenBox& seen)
{
    WhenModalAppears([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        QVERIFY2(box->button(QMessageBox::Ok), qPrintable(box->text()));
        seen = {true, box->text(), box->windowTitle(), box->icon(), box->parentWidget() == nullptr};
        box->button(QMessageBox::Ok)->click();
    });
}

} // namespace ui_driver
