#include "app/app_shell.h"

#include "app/platform_choice.h"

#include "ui/main_window.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string_view>

ByteBuffer CutBuffer;

namespace {

ExitHook g_exitHook = nullptr;
// The window lives here so that EndProgram can take it down from inside a handler.
std::unique_ptr<MainWindow> g_mainWindow;

// Out of memory inside an event handler (a text Qt could not allocate) ends
// the program the same way as a byte buffer that cannot be had.
class ZembrotApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc&) {
            ReportFatalError(QStringLiteral(u"内存不足，程序无法继续运行。"));
        }
    }
};

void OutOfMemory(std::size_t bytes)
{
    ReportFatalError(QStringLiteral(u"内存不足：无法取得 %1 字节。").arg(bytes));
}

} // namespace

void InstallFatalErrorHandlers() noexcept { SetOutOfMemoryHandler(&OutOfMemory); }

void SetExitHook(ExitHook hook) noexcept { g_exitHook = hook; }

void RunExitHook() noexcept
{
    if (ExitHook hook = g_exitHook) {
        g_exitHook = nullptr;
        hook();
    }
}

void ClearExitHook() noexcept { g_exitHook = nullptr; }

void ReleaseGlobals() noexcept { CutBuffer.Release(); }

void EndProgram(int code)
{
    // Destroying the window here raises no close event, so OnMainWindowDestroying
    // does not run; the playback device closes its song as it goes.
    g_mainWindow.reset();
    RunExitHook();
    std::fflush(nullptr);
    // Never return to the handler that called: the rest of it, and any queued event, must not run.
    std::_Exit(code);
}

void ReportFatalError(const QString& message)
{
    if (qApp) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Zembrot"), message, QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    } else {
        std::fprintf(stderr, "zembrot: %s\n", message.toLocal8Bit().constData());
    }
    ClearExitHook();
    EndProgram(-1);
}

int ProgramMain(int argc, char** argv)
{
    // The command line is not the program's input: Qt sees only the program's name.
    (void)argc;
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};

    // Under Wayland, through XWayland where there is one, so that the window is
    // where the program puts it. Only for the program itself: what it starts
    // (the web browser) gets the environment as it was.
    const auto env = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string_view(value ? value : "");
    };
    const std::string_view platform = ChoosePlatform(
        {env("QT_QPA_PLATFORM"), env("WAYLAND_DISPLAY"), env("XDG_SESSION_TYPE"), env("DISPLAY")});
    if (!platform.empty())
        qputenv("QT_QPA_PLATFORM", QByteArray(platform.data(), qsizetype(platform.size())));
    ZembrotApplication app(qtArgc, qtArgv);
    if (!platform.empty())
        qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("zembrot"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zembrot"));
    QApplication::setDesktopFileName(QStringLiteral("zembrot"));
    QApplication::setApplicationVersion(QStringLiteral(ZEMBROT_VERSION));

    QDir::setCurrent(QCoreApplication::applicationDirPath());

    // Round to nearest, every floating-point exception masked: 1/0 is an infinity, never a trap.
    std::fesetround(FE_TONEAREST);
    std::fenv_t saved;
    std::feholdexcept(&saved);

    // The dialogs' own buttons speak the desktop's language.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    InstallFatalErrorHandlers();
    SetExitHook(&ReleaseGlobals);

    if (!MainWindow::CreateAndShow(g_mainWindow))
        ReportFatalError(QStringLiteral(u"无法创建主窗口。"));

    QApplication::exec();

    // The shutdown sequence.
    g_mainWindow.reset();
    RunExitHook();
    return 0;
}
