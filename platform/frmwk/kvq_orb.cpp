#include "kvq_orb.h"

#include "kv_componentregistry.h"
#include "kv_creationguard.h"
#include "kv_platformplugins.h"
#include "kv_platformwatch.h"
#include "kv_remotecontrol.h"

#include <QApplication>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QtGlobal>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

void usage(FILE* out, const char* program) {
    std::fprintf(out,
                 "Usage: %s [--app NAME] CLASS [ARG...]\n"
                 "           create an object of CLASS and run it; QCop messages on the channel\n"
                 "           KV/App/NAME call its public slots (NAME defaults to the name of the\n"
                 "           component library: libpx.so.1 gives px)\n"
                 "       %s --list\n"
                 "           list the classes the components serve\n",
                 program, program);
}

int listClasses() {
    const QStringList classes = KVQ_ORB::classNames();
    for (const QString& c : classes)
        std::printf("%s\n", qPrintable(c));
    if (classes.isEmpty())
        std::fprintf(stderr, "no component classes found in: %s\n",
                     qPrintable(KVQ_ORB::componentFolders().join(QLatin1Char(':'))));
    return 0;
}

int unknownOption(const QByteArray& program, const QByteArray& option) {
    std::fprintf(stderr, "%s: unknown option %s\n", program.constData(), option.constData());
    usage(stderr, program.constData());
    return 2;
}

bool displayAvailable(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0)
            return true;
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Whether Qt has a plugin for the platform asked for; if not, says which platforms exist.
bool platformAvailable(int argc, char** argv, const QByteArray& program) {
    const QStringList wanted = KV_PlatformPlugins::requested(argc, argv);
    if (wanted.isEmpty()) {
        const QString given = KV_PlatformPlugins::requestedText(argc, argv);
        if (given.isEmpty())
            return true;
        std::fprintf(stderr, "%s: \"%s\" names no Qt platform\n", program.constData(),
                     qPrintable(given));
        return false;
    }
    const QStringList available = KV_PlatformPlugins::available(argc, argv);
    for (const QString& name : wanted)
        if (available.contains(name, Qt::CaseInsensitive))
            return true;
    std::fprintf(stderr, "%s: no Qt platform plugin for \"%s\"; available platforms: %s\n",
                 program.constData(), qPrintable(wanted.join(QLatin1Char(';'))),
                 available.isEmpty() ? "none" : qPrintable(available.join(QStringLiteral(", "))));
    return false;
}

// Creates the object, listens for remote calls on its QCop channel ("KV/App/" + appName, or
// the name of the library serving the class when appName is empty) and runs the event loop
// while it shows a window. Returns the exit status.
int host(const char* className, const QStringList& args, QString appName, const char* program) {
    QPointer<QObject> object;
    {
        const KV_CreationGuard guard(program, className);
        object = KVQ_ORB::createObject(className, nullptr, className, args);
    }
    if (!object) {
        std::fprintf(stderr, "%s: cannot create an object of class \"%s\"\n", program, className);
        return 1;
    }
    if (appName.isEmpty())
        appName = KV_RemoteControl::applicationName(
            KV_ComponentRegistry::shared().findLibrary(QString::fromUtf8(className)));
    // Listening before the window shows: once it is up, messages reach it.
    auto remote = std::make_unique<KV_RemoteControl>(object.data(), QByteArrayLiteral("KV/App/") +
                                                                        appName.toLatin1());
    if (object->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(object.data());
        if (!widget->isVisible())
            widget->show();
    }
    bool windowShown = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        windowShown = windowShown || w->isVisible();
    const int status = windowShown ? QApplication::exec() : 0;
    remote.reset();
    delete object.data();
    return status;
}

// "[--app NAME] CLASS [ARG...]" after Qt's options are gone. Returns the exit status.
int hostCommand(int argc, char** argv, const QByteArray& program) {
    int at = 1;
    QString appName;
    if (at < argc && qstrcmp(argv[at], "--app") == 0) {
        if (at + 1 >= argc || !*argv[at + 1]) {
            usage(stderr, program.constData());
            return 2;
        }
        appName = QString::fromLocal8Bit(argv[at + 1]);
        at += 2;
    }
    if (at >= argc || !*argv[at]) {
        usage(stderr, program.constData());
        return 2;
    }
    if (argv[at][0] == '-')
        return unknownOption(program, argv[at]);
    QStringList args;
    for (int i = at + 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return host(argv[at], args, appName, program.constData());
}

} // namespace

int KVQ_ORB::main(int argc, char** argv) {
    const QByteArray path = argc > 0 && argv[0] ? QByteArray(argv[0]) : QByteArray("orbhost");
    const QByteArray program = path.mid(path.lastIndexOf('/') + 1);
    if (argc < 2 || !argv[1] || !*argv[1]) {
        usage(stderr, program.constData());
        return 2;
    }
    const QByteArray first = argv[1];
    if (first == "--help" || first == "-h") {
        usage(stdout, program.constData());
        return 0;
    }
    if (first == "--list") {
        if (argc > 2) {
            usage(stderr, program.constData());
            return 2;
        }
        return listClasses();
    }
    // Qt's own options have one dash and are left to QApplication; ours have two.
    if (first == "--app") {
        if (argc < 3 || !*argv[2]) {
            usage(stderr, program.constData());
            return 2;
        }
    } else if (first.startsWith("--")) {
        return unknownOption(program, first);
    }
    if (QCoreApplication::instance())
        return hostCommand(argc, argv, program);
    if (!displayAvailable(argc, argv)) {
        std::fprintf(stderr, "%s: no display: set DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM\n",
                     program.constData());
        return 1;
    }
    if (!platformAvailable(argc, argv, program))
        return 1;
    // QApplication removes its own options (-platform and the like) from the arguments.
    int appArgc = argc;
    std::optional<KV_PlatformWatch> watch;
    watch.emplace(program.constData(), KV_PlatformPlugins::requested(argc, argv));
    QApplication app(appArgc, argv);
    watch->requireScreen();
    watch.reset();
    return hostCommand(appArgc, argv, program);
}
