// show-clicks: the guest's Wayland window that shows what reaches the
// desktop. It prints "ready" once shown, then one line per button edge,
// "left press 200 300", in its own coordinates, which are the layout's when
// it fills the output from its origin.
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

struct ClickWindow final : QWidget {
    void mousePressEvent(QMouseEvent* event) override { report(event, "press"); }
    void mouseReleaseEvent(QMouseEvent* event) override { report(event, "release"); }
    void showEvent(QShowEvent*) override
    {
        QTimer::singleShot(200, [] { std::printf("ready\n"), std::fflush(stdout); });
    }
    static void report(QMouseEvent* event, const char* edge)
    {
        const QPoint at = event->position().toPoint();
        std::printf("%s %s %d %d\n", event->button() == Qt::LeftButton ? "left" : "other", edge, at.x(), at.y());
        std::fflush(stdout);
    }
};

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ClickWindow window;
    window.show();
    return QApplication::exec();
}
