// show-clicks: the guest's window that shows what reaches the desktop. It prints "ready" once shown, then
// a line per button edge ("left press 200 300") in its coordinates: the layout's, as it fills the output.
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

struct ClickWindow final : QWidget {
    void mousePressEvent(QMouseEvent* event) override { report(event, "press"); }
    void mouseReleaseEvent(QMouseEvent* event) override { report(event, "release"); }
    static void report(QMouseEvent* event, const char* edge)
    {
        const QPoint at = event->position().toPoint();
        std::printf("%s %s %d %d\n", event->button() == Qt::LeftButton ? "left" : "other", edge, at.x(), at.y());
    }
};

int main(int argc, char* argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication application(argc, argv);
    ClickWindow window;
    window.show();
    QTimer::singleShot(200, [] { std::printf("ready\n"); });
    return QApplication::exec();
}
