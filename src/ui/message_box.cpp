#include "ui/message_box.h"

void ShowMessage(const QString& text, const QString& title, QMessageBox::Icon icon)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
