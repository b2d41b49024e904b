// bench_firstpaint: starts a window and exits as soon as it has been painted once. "editor"
// asks the broker for an image editor (libpx.so.1 loaded at run time, as orbhost does);
// "mainwindow" shows an empty QMainWindow, the bare Qt reference.
#include "kvq_orb.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Ends the event loop right after the window's first paint.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* window) : window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched == window && !done) {
            done = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    QWidget* window;
    bool done = false;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 ||
        (std::strcmp(argv[1], "editor") != 0 && std::strcmp(argv[1], "mainwindow") != 0)) {
        std::fprintf(stderr, "usage: %s editor|mainwindow\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (std::strcmp(argv[1], "editor") == 0)
        window.reset(qobject_cast<QWidget*>(
            KVQ_ORB::createObject("KVQ_imageEditor", nullptr, "KVQ_imageEditor", {})));
    else
        window = std::make_unique<QMainWindow>();
    if (!window) {
        std::fprintf(stderr, "%s: no window\n", argv[0]);
        return 1;
    }
    FirstPaint watcher(window.get());
    window->installEventFilter(&watcher);
    window->show();
    QTimer::singleShot(10000, [] { QApplication::exit(3); }); // never paints: give up
    return app.exec();
}
