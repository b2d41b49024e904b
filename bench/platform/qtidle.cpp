// The least a Qt command-line program does: create the application object, run the event loop
// until a zero-delay timer ends it, and leave. The floor under ferry's start-up time.
#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
