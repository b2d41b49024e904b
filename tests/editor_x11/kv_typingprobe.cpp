// Another program on the same X display: a window with a line edit, titled by its argument,
// that prints its text on standard output each time the text changes, so that a test can see
// which keys it received.
#include <QApplication>
#include <QLineEdit>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("probe"));
    QObject::connect(&edit, &QLineEdit::textChanged, [](const QString& text) {
        std::printf("%s\n", text.toUtf8().constData());
        std::fflush(stdout);
    });
    edit.resize(200, 30);
    edit.move(500, 400);
    edit.show();
    return app.exec();
}
