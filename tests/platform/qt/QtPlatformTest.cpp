#include "platform/qt/GridTimer.h"
#include "platform/qt/QtEventPump.h"
#include "platform/qt/QtFileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace clickpath::platform::qt;

namespace {

TEST(QtFileDialogTest, FilterBecomesQtNameFiltersWithoutRepeatingThePattern)
{
    EXPECT_EQ(QtFileDialog::nameFilters("テキスト ファイル (*.txt)|*.txt"), QStringList{"テキスト ファイル (*.txt)"});
    EXPECT_EQ(QtFileDialog::nameFilters("Text|*.txt|All|*"), (QStringList{"Text (*.txt)", "All (*)"}));
}

TEST(QtFileDialogTest, SavingRefusesANameInAFolderThatDoesNotExistAndStaysOpen)
{
    QTemporaryDir dir;
    QtFileDialog dialog;
    QStringList said;
    int choices = 0;
    QTimer user; // answers the modal dialogs as they come
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said << box->text();
            box->accept();
        } else if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            files->selectFile(dir.filePath(choices++ == 0 ? "missing/x.txt" : "x.txt"));
            QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection); // as Save would
        }
    });
    user.start(20);
    EXPECT_EQ(dialog.chooseFileToSave(dir.filePath("clickpath.txt"), "T|*.txt"), dir.filePath("x.txt"));
    EXPECT_EQ(said, QStringList{"The folder " + dir.filePath("missing") + " does not exist."});
}

TEST(GridTimerTest, ATickIsNotReenteredWhileItPumpsEventsAndMayStopOrRestartItself)
{
    // The playback tick pumps events inside a wait, and a pass that ends
    // stops the timer; a looped pass starts it again from within the tick.
    QtEventPump pump;
    GridTimer timer(10);
    int ticks = 0;
    bool inside = false;
    int nested = 0;
    int otherTicks = 0;
    QTimer other; // events of other sources still run inside the pumping
    QObject::connect(&other, &QTimer::timeout, [&] { ++otherTicks; });
    timer.onTimeout([&] {
        nested += inside;
        if (inside)
            return;
        ++ticks;
        inside = true;
        for (int i = 0; i < 3; ++i)
            pump.pumpOnce(0.01); // well past one interval
        inside = false;
        timer.stop();
        if (ticks < 3)
            timer.start();
    });
    other.start(5);
    timer.start();
    for (int i = 0; i < 100 && timer.isActive(); ++i)
        pump.pumpOnce(0.01);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer.isActive());
    EXPECT_GT(otherTicks, 0);
}

} // namespace
