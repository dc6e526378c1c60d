#include "platform/qt/QtFileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace clickpath::platform::qt;

namespace {

TEST(QtFileDialogTest, SavingRefusesANameInAFolderThatDoesNotExistAndStaysOpen)
{
    EXPECT_EQ(QtFileDialog::nameFilters("テキスト ファイル (*.txt)|*.txt|All|*"),
        (QStringList{"テキスト ファイル (*.txt)", "All (*)"}));
    QTemporaryDir dir;
    QStringList said;
    QStringList names{dir.filePath("missing/x.txt"), dir.filePath("x.txt")};
    QTimer user; // types a name and presses Save, reads the message
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said << box->text();
            box->accept();
        } else if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            files->findChild<QLineEdit*>("fileNameEdit")->setText(names.takeFirst());
            QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
        }
    });
    user.start(20);
    EXPECT_EQ(QtFileDialog().chooseFileToSave(dir.filePath("clickpath.txt"), "T|*.txt"), dir.filePath("x.txt"));
    EXPECT_EQ(said, QStringList{"The folder " + dir.filePath("missing") + " does not exist."});
}

} // namespace
