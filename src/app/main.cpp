#include "app/DesktopSession.h"
#include "app/Form1.h"
#include "app/Form1Window.h"
#include "core/AppPaths.h"
#include "platform/DesktopChoice.h"
#include "platform/RealDesktop.h"
#include "platform/posix/UnixSignals.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtMessageSink.h"
#include "platform/wayland/WaylandDisplay.h"
#include "platform/x11/QtX11Connection.h"
#include "platform/x11/X11Display.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcessEnvironment>

#include <cstdio>
#include <memory>

using namespace clickpath;

namespace {

// Shown on the terminal too: a tool started from a launcher has none, one
// started from a shell may have no one looking at the screen.
int refuseStart(const std::exception& error, const QString& consequence = {})
{
    const QString text = QString::fromStdString(error.what()) + consequence;
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(text));
    QMessageBox::critical(nullptr, QCoreApplication::applicationName(), text);
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const QString asked = app::informationAsked(argc, argv); !asked.isEmpty())
        return std::printf("%s", qPrintable(asked)) < 0;
    const platform::DesktopKind desktopKind = platform::desktopOf(QProcessEnvironment::systemEnvironment());
    const QString command = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QStringLiteral("clickpath");
    if (desktopKind == platform::DesktopKind::None) {
        std::fputs(qPrintable(app::noDisplayMessage(command)), stderr);
        return 1;
    }
    const bool wayland = desktopKind == platform::DesktopKind::Wayland;
    try {
        // Qt would end the program on a display it cannot reach: say which, and leave.
        if (wayland)
            platform::wayland::checkWaylandDisplay();
        else
            platform::x11::openDisplay();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(command), error.what());
        return 1;
    }
    // The window lives on the desktop that the platform layer drives: a
    // native Wayland window in a Wayland session, whose screens give the
    // layout's size; an X11 window on X11.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", wayland ? "wayland" : "xcb");
    QApplication application(argc, argv);
    const platform::x11::XlibRequestTrimmer trimmer;
    const core::AppPaths paths = core::AppPaths::ofRunningExecutable();
    QApplication::setApplicationName(paths.exeBaseName());

    platform::qt::QtMessageSink messages;
    platform::qt::QtFileDialog dialog;
    std::unique_ptr<platform::RealDesktop> desktop;
    try {
        desktop = std::make_unique<platform::RealDesktop>(messages, wayland);
    } catch (const std::exception& error) {
        return refuseStart(error);
    }
    app::Form1Window window(paths.exeBaseName());
    messages.setParent(&window);
    dialog.setParent(&window);
    app::Form1 form(window, desktop->services(), dialog, paths);
    window.connectHandlers(form);
    try {
        form.Form_Load();
    } catch (const std::exception& error) {
        return refuseStart(error, QStringLiteral("\nThere is no mode of operation without the mouse device."));
    }
    window.show();
    // A logout, a closed terminal or kill(1) ends the tool as a close of its
    // window does, without a dialog; so does the loss of the window.
    const platform::posix::UnixSignals unixSignals([&window](int signal) {
        window.close();
        QApplication::exit(128 + signal);
    });
    const platform::x11::WindowLossWatch windowLoss(window.winId(), [&window] {
        window.close();
        QApplication::quit();
    });
    return QApplication::exec();
}
