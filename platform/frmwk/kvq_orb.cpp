#include "kvq_orb.h"

#include "kv_componentloader.h"
#include "kv_componentregistry.h"
#include "kvq_objectfactoryinterface.h"

#include <QApplication>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QtGlobal>

#include <cstdio>

namespace {

struct BrokerState {
    KV_ComponentRegistry registry;
    KV_ComponentLoader loader;
    QString scannedPath; // KV_COMPONENT_PATH when the registry was last read
    bool scanned = false;
};

BrokerState& state() {
    static BrokerState s;
    return s;
}

// The registry, read again when KV_COMPONENT_PATH changed since the last reading.
KV_ComponentRegistry& registry() {
    BrokerState& s = state();
    const QString path = qEnvironmentVariable("KV_COMPONENT_PATH");
    if (!s.scanned || path != s.scannedPath) {
        s.registry.rescan();
        s.scannedPath = path;
        s.scanned = true;
    }
    return s.registry;
}

// The library serving className; a miss reads the index files again, since components may have
// been installed since the last reading.
QString libraryFor(const QString& className) {
    QString library = registry().libraryFor(className);
    if (library.isEmpty()) {
        state().registry.rescan();
        library = state().registry.libraryFor(className);
    }
    return library;
}

} // namespace

QObject* KVQ_ORB::createObject(const char* className, QObject* parent, const char* name,
                               const QStringList& args) {
    if (!className || !*className) {
        qWarning("KVQ_ORB: no class name given");
        return nullptr;
    }
    const QString library = libraryFor(QString::fromUtf8(className));
    if (library.isEmpty()) {
        qWarning("KVQ_ORB: no component serves class \"%s\"", className);
        return nullptr;
    }
    const UcmInstantiateFunction instantiate = state().loader.entryPoint(library);
    if (!instantiate)
        return nullptr;

    QUnknownInterface* unknown = instantiate();
    if (!unknown) {
        qWarning("KVQ_ORB: %s returned no interface in %s", UCM_INSTANTIATE_SYMBOL,
                 qPrintable(library));
        return nullptr;
    }
    QUnknownInterface* iface = nullptr;
    if (unknown->queryInterface(IID_KVQ_ObjectFactory, &iface) != 0 || !iface) {
        qWarning("KVQ_ORB: component %s does not offer the object factory interface",
                 qPrintable(library));
        unknown->release();
        return nullptr;
    }
    auto* factory = static_cast<KVQ_ObjectFactoryInterface*>(iface);
    QObject* object = factory->create(parent, name, args);
    factory->release();
    unknown->release();
    if (!object)
        qWarning("KVQ_ORB: the factory in %s built no object of class \"%s\"", qPrintable(library),
                 className);
    return object;
}

QStringList KVQ_ORB::classNames() {
    KV_ComponentRegistry& r = registry();
    r.rescan();
    return r.classNames();
}

QStringList KVQ_ORB::componentFolders() {
    return KV_ComponentRegistry::searchFolders();
}

namespace {

void usage(FILE* out, const char* program) {
    std::fprintf(out,
                 "Usage: %s CLASS [ARG...]   create an object of CLASS and run it\n"
                 "       %s --list           list the classes the components serve\n",
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

// Creates the object and runs the event loop while it shows a window. Returns the exit status.
int host(int argc, char** argv, const char* program) {
    const char* className = argv[1];
    QStringList args;
    for (int i = 2; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QPointer<QObject> object = KVQ_ORB::createObject(className, nullptr, className, args);
    if (!object) {
        std::fprintf(stderr, "%s: cannot create an object of class \"%s\"\n", program, className);
        return 1;
    }
    if (object->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(object.data());
        if (!widget->isVisible())
            widget->show();
    }
    bool windowShown = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        windowShown = windowShown || w->isVisible();
    const int status = windowShown ? QApplication::exec() : 0;
    delete object.data();
    return status;
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
    if (first.startsWith("--"))
        return unknownOption(program, first);
    if (QCoreApplication::instance())
        return first.startsWith('-') ? unknownOption(program, first)
                                     : host(argc, argv, program.constData());
    if (!displayAvailable(argc, argv)) {
        std::fprintf(stderr, "%s: no display: set DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM\n",
                     program.constData());
        return 1;
    }
    // QApplication removes its own options (-platform and the like) from the arguments.
    int appArgc = argc;
    QApplication app(appArgc, argv);
    if (appArgc < 2 || !*argv[1]) {
        usage(stderr, program.constData());
        return 2;
    }
    if (argv[1][0] == '-')
        return unknownOption(program, argv[1]);
    return host(appArgc, argv, program.constData());
}
