#pragma once

#include <QMessageBox>
#include <QString>

// One OK button, owned by no window, modal to the whole application; returns
// when the user dismisses it.
void ShowMessage(const QString& text, const QString& title = QStringLiteral(u"信息："),
                 QMessageBox::Icon icon = QMessageBox::NoIcon);
