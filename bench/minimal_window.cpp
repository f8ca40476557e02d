// The start-up reference: a Qt Widgets program with one fixed-size window of
// the same size as Zembrot's, and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal"));
    window.setFixedSize(380, 243);
    window.show();
    return QApplication::exec();
}
