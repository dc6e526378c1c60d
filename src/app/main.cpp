#include "app/Form1.h"
#include "app/Form1Window.h"
#include "app/StartUp.h"
#include "core/AppPaths.h"
#include "platform/Desktop.h"
#include "platform/posix/StopDoor.h"
#include "platform/posix/UnixSignals.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtMessageSink.h"

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
    const QString command = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QStringLiteral("clickpath");
    platform::DesktopChoice choice;
    try {
        choice = platform::chooseDesktop(QProcessEnvironment::systemEnvironment(), command);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(command), error.what());
        return 1;
    }
    // The window lives on the desktop that the platform layer drives: a
    // native Wayland window in a Wayland session, an X11 window on X11.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", choice.qtPlatform);
    QApplication application(argc, argv);
    const core::AppPaths paths = core::AppPaths::ofRunningExecutable();
    QApplication::setApplicationName(paths.exeBaseName());

    platform::qt::QtMessageSink messages;
    platform::qt::QtFileDialog dialog;
    std::unique_ptr<platform::Desktop> desktop;
    try {
        desktop = platform::openDesktop(choice, messages);
    } catch (const std::exception& error) {
        return refuseStart(error);
    }
    app::Form1Window window(paths.exeBaseName(), [&desktop] { desktop->flushWindow(); });
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
    stopping::StopController& stops = form.stops();
    // A logout, a closed terminal or kill(1) ends the tool as a close of its
    // window does, without a dialog; so does the loss of the window.
    const platform::posix::UnixSignals unixSignals([&window, &stops](int signal) {
        stops.request({stopping::StopReason::Signal, signal});
        window.close();
        QApplication::exit(128 + signal);
    });
    const std::unique_ptr<platform::Hold> windowLoss = desktop->watchWindowLoss(window.winId(), [&window] {
        window.close();
        QApplication::quit();
    });
    const platform::posix::StopDoor door([&stops] { return stops.request({stopping::StopReason::StopCommand}); },
        [&messages](const std::string& text) { messages.showWarning(QString::fromStdString(text)); });
    const QString stopKey = app::stopKeyOf(paths.settingsFilePath());
    const std::unique_ptr<platform::Hold> stopKeyGrab
        = stopKey.isEmpty() ? nullptr : desktop->grabStopKey(stopKey, stops.sourceOf(stopping::StopReason::StopKey));
    return QApplication::exec();
}
