// Entry point of the widget test component: a label that prints its arguments when shown and
// then, by its first argument, closes itself ("close") or ends the event loop ("exit=N"). Its
// public slots print what they receive, for the remote-control tests. Like the image editor, it
// links no framework library: Resource comes from the process that loads it.
#include "kv_testfactory.h"
#include "resource.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>

namespace {

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

class ShownLabel : public QLabel {
    Q_OBJECT

public:
    ShownLabel(QWidget* parent, const QStringList& args)
        : QLabel(args.join(QLatin1Char(' ')), parent), arguments(args) {}

public slots:
    void report(bool flag, int count, const QString& text) {
        say(QStringLiteral("report: %1 %2 %3")
                .arg(flag ? QStringLiteral("true") : QStringLiteral("false"))
                .arg(count)
                .arg(text));
        emit reported();
    }
    // Closes the window, which ends orbhost's event loop.
    void finish() { close(); }
    // Shows the picture found by that name and prints its size ("0x0" when none is found).
    void showPicture(const QString& name) {
        setPixmap(Resource::loadPixmap(name));
        const QSize size = pixmap().size();
        say(QStringLiteral("picture: %1x%2").arg(size.width()).arg(size.height()));
    }

signals:
    void reported();

protected slots:
    void hidden() { say(QStringLiteral("hidden")); }

protected:
    void showEvent(QShowEvent* event) override {
        QLabel::showEvent(event);
        say(QStringLiteral("shown: ") + arguments.join(QLatin1Char(' ')));
        const QString first = arguments.value(0);
        if (first == QLatin1String("close"))
            QTimer::singleShot(0, this, &QWidget::close);
        else if (first.startsWith(QLatin1String("exit=")))
            QTimer::singleShot(0, [code = first.mid(5).toInt()] { QApplication::exit(code); });
    }

private:
    QStringList arguments;
};

QObject* makeWidget(QObject* parent, const char* name, const QStringList& args) {
    if (parent && !parent->isWidgetType())
        return nullptr;
    auto* label = new ShownLabel(static_cast<QWidget*>(parent), args);
    label->setObjectName(QString::fromUtf8(name));
    return label;
}

} // namespace

extern "C" Q_DECL_EXPORT QUnknownInterface* ucm_instantiate() {
    QUnknownInterface* iface = nullptr;
    (new KV_TestFactory(false, makeWidget))->queryInterface(IID_QUnknown, &iface);
    return iface;
}

#include "kv_testwidgetcomponent.moc"
