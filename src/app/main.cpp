#include "app/AppPaths.h"
#include "app/DesktopSession.h"
#include "app/Form1.h"
#include "app/Form1Window.h"
#include "platform/AtomicFileCopier.h"
#include "platform/FileTable.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/XlibRequestTrimmer.h"
#include "platform/x11/X11ButtonSource.h"
#include "platform/x11/X11Pointer.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace clickpath;

namespace {

bool hasDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

// Shown on the terminal too: a tool started from a launcher has none, one
// started from a shell may have no one looking at the screen.
int refuseStart(const QString& reason)
{
    const QString text = reason + QStringLiteral("\nThere is no mode of operation without the mouse device.");
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(text));
    QMessageBox::critical(nullptr, QCoreApplication::applicationName(), text);
    return 1;
}

std::unique_ptr<platform::MouseButtonSource> openSystemMouse()
{
    return std::make_unique<platform::x11::X11ButtonSource>();
}

} // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        const QString command = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QStringLiteral("clickpath");
        std::fputs(qPrintable(app::noDisplayMessage(command)), stderr);
        return 1;
    }
    // The X11 layer drives the X server; the window must be an X11 window too,
    // also in a Wayland session (through XWayland).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    const platform::qt::XlibRequestTrimmer trimmer;
    const app::AppPaths paths = app::AppPaths::ofRunningExecutable();
    QApplication::setApplicationName(paths.exeBaseName());

    std::unique_ptr<platform::x11::X11Pointer> pointer;
    try {
        pointer = std::make_unique<platform::x11::X11Pointer>();
    } catch (const std::exception& error) {
        return refuseStart(QString::fromStdString(error.what()));
    }
    platform::qt::MonotonicClock clock;
    platform::qt::SeededRandom random;
    platform::qt::QtEventPump pump;
    platform::qt::QtMessageSink messages;
    platform::qt::QtFileDialog dialog;
    platform::AtomicFileCopier copier;
    platform::FileTable files;

    app::Form1Window window;
    messages.setParent(&window);
    dialog.setParent(&window);
    app::Form1 form(window,
        app::Services{*pointer, *pointer, clock, random, pump, messages, files, dialog, copier, openSystemMouse}, paths);
    window.connectHandlers(form);
    try {
        form.Form_Load();
    } catch (const std::exception& error) {
        return refuseStart(QString::fromStdString(error.what()));
    }
    window.show();
    const QString warning = app::waylandWarning(QProcessEnvironment::systemEnvironment());
    if (!warning.isEmpty())
        QTimer::singleShot(0, &window, [&messages, warning] { messages.showWarning(warning); });
    return QApplication::exec();
}
