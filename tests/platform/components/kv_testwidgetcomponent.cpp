// Entry point of the widget test component: a label that prints its arguments when shown and
// then, by its first argument, closes itself ("close") or ends the event loop ("exit=N").
#include "kv_testfactory.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>

namespace {

class ShownLabel : public QLabel {
public:
    ShownLabel(QWidget* parent, const QStringList& args)
        : QLabel(args.join(QLatin1Char(' ')), parent), arguments(args) {}

protected:
    void showEvent(QShowEvent* event) override {
        QLabel::showEvent(event);
        std::printf("shown: %s\n", qPrintable(arguments.join(QLatin1Char(' '))));
        std::fflush(stdout);
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
