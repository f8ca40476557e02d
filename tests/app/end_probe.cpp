// Runs the program's own ends in a process of its own, so a test can see the
// exit code and whether the exit hook ran (it leaves a marker file when it does).
//   end_probe end MARKER    EndProgram(0) from inside a handler
//   end_probe fatal MARKER  ReportFatalError
//   end_probe oom MARKER    a byte buffer of 1 GiB that cannot be had
#include "app/app_shell.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <string>

namespace {

QString g_marker;

void MarkHookRan()
{
    QFile(g_marker).open(QIODevice::WriteOnly);
}

// Prints the error box's text (for the test to read) and dismisses it.
void DismissBoxWhenShown()
{
    QTimer::singleShot(100, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::printf("box: %s\n", box->text().toUtf8().constData());
            std::fflush(stdout);
            box->accept();
        } else {
            DismissBoxWhenShown();
        }
    });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    QApplication app(argc, argv);
    g_marker = QString::fromLocal8Bit(argv[2]);
    InstallFatalErrorHandlers();
    SetExitHook(&MarkHookRan);
    const std::string mode = argv[1];
    QTimer::singleShot(0, [mode] {
        DismissBoxWhenShown();
        if (mode == "end") {
            EndProgram(0);
        } else if (mode == "fatal") {
            ReportFatalError(QStringLiteral("probe"));
        } else if (mode == "oom") {
            const rlimit limit{512u << 20, 512u << 20};
            setrlimit(RLIMIT_AS, &limit);
            ByteBuffer huge = ByteBuffer::Allocate(1 << 30);
        }
        std::puts("returned to the handler");
        QApplication::exit(3);
    });
    return app.exec();
}
