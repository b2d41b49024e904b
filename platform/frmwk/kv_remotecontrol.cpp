#include "kv_remotecontrol.h"

#include "kv_logger.h"
#include "qcopchannel.h"

#include <QApplication>
#include <QDataStream>
#include <QFileInfo>
#include <QMetaMethod>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <array>
#include <cstring>
#include <dlfcn.h>

namespace {

char sourceFile[] = "kv_remotecontrol";
constexpr unsigned LogLevel = 16;
// QMetaMethod::invoke passes at most ten arguments.
constexpr int MaxArguments = 10;
// How often waiting messages look whether the modal dialog or popup has closed.
constexpr int WaitPollMs = 50;
// Message names in log records are cut to this many characters.
constexpr int MaxLoggedName = 200;

QString loggedName(const QByteArray& message) {
    QString name = QString::fromLatin1(message.left(MaxLoggedName));
    if (message.size() > MaxLoggedName)
        name += QStringLiteral("...");
    return name;
}

// Whether the meta object is one of Qt's own classes, that is, defined in one of Qt's libraries.
bool isQtClass(const QMetaObject* meta) {
    Dl_info info;
    if (!dladdr(meta, &info) || !info.dli_fname)
        return false;
    const char* slash = std::strrchr(info.dli_fname, '/');
    return qstrncmp(slash ? slash + 1 : info.dli_fname, "libQt", 5) == 0;
}

// The first of the object's own classes at or above meta that is Qt's, or null. Qt's classes
// form the root of the hierarchy, so their methods come first.
const QMetaObject* qtBase(const QMetaObject* meta) {
    for (const QMetaObject* m = meta; m; m = m->superClass())
        if (isQtClass(m))
            return m;
    return nullptr;
}

// The strings of a message's data, or false when the data is not a sequence of strings.
bool decodeStrings(const QByteArray& data, QStringList* out) {
    QDataStream in(data);
    while (!in.atEnd()) {
        QString s;
        in >> s;
        if (in.status() != QDataStream::Ok)
            return false;
        *out << s;
    }
    return true;
}

// text converted to the metatype type; an invalid QVariant when it does not convert.
QVariant convert(const QString& text, int type) {
    bool ok = false;
    switch (type) {
    case QMetaType::Bool:
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return QVariant(true);
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return QVariant(false);
        return QVariant();
    case QMetaType::Int: {
        const int v = text.toInt(&ok, 10);
        return ok ? QVariant(v) : QVariant();
    }
    case QMetaType::UInt: {
        const uint v = text.toUInt(&ok, 10);
        return ok ? QVariant(v) : QVariant();
    }
    case QMetaType::Long: {
        const long v = text.toLong(&ok, 10);
        return ok ? QVariant::fromValue(v) : QVariant();
    }
    case QMetaType::LongLong: {
        const qlonglong v = text.toLongLong(&ok, 10);
        return ok ? QVariant(v) : QVariant();
    }
    case QMetaType::Double: {
        const double v = text.toDouble(&ok);
        return ok ? QVariant(v) : QVariant();
    }
    case QMetaType::QString:
        return QVariant(text);
    case QMetaType::QByteArray:
        return QVariant(text.toUtf8());
    default:
        return QVariant();
    }
}

bool supported(int type) {
    switch (type) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return true;
    default:
        return false;
    }
}

} // namespace

KV_RemoteControl::KV_RemoteControl(QObject* object, const QByteArray& channel, QObject* parent)
    : QObject(parent), target(object), channelName(channel),
      listener(new QCopChannel(channel, this)), waitTimer(new QTimer(this)) {
    connect(listener, &QCopChannel::received, this, &KV_RemoteControl::receive);
    waitTimer->setInterval(WaitPollMs);
    connect(waitTimer, &QTimer::timeout, this, &KV_RemoteControl::runWaiting);
}

KV_RemoteControl::~KV_RemoteControl() = default;

bool KV_RemoteControl::isListening() const {
    return listener->isListening();
}

void KV_RemoteControl::receive(const QByteArray& message, const QByteArray& data) {
    const qsizetype size = message.size() + data.size();
    if (size > MaxMessageBytes) {
        refuse(__LINE__, QStringLiteral("%1: a message of %2 bytes is refused, the limit is %3")
                             .arg(loggedName(message))
                             .arg(size)
                             .arg(MaxMessageBytes));
        return;
    }
    if (!modalOpen() && waiting.isEmpty()) {
        invoke(message, data);
        return;
    }
    if (waiting.size() >= MaxQueued) {
        refuse(__LINE__, QStringLiteral("%1 dropped: %2 messages wait for a dialog to close")
                             .arg(loggedName(waiting.first().name))
                             .arg(MaxQueued));
        waiting.removeFirst();
    }
    waiting.append({message, data});
    if (!waitTimer->isActive())
        waitTimer->start();
}

bool KV_RemoteControl::modalOpen() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    return QApplication::activeModalWidget() || QApplication::activePopupWidget();
}

void KV_RemoteControl::runWaiting() {
    // A message carried out here may open a dialog, whose event loop runs this again.
    if (runningWaiting || modalOpen())
        return;
    waitTimer->stop();
    runningWaiting = true;
    const QPointer<KV_RemoteControl> alive(this);
    while (!waiting.isEmpty() && !modalOpen()) {
        const Message next = waiting.takeFirst();
        invoke(next.name, next.data);
        if (!alive)
            return;
    }
    runningWaiting = false;
    if (!waiting.isEmpty())
        waitTimer->start();
}

bool KV_RemoteControl::invoke(const QByteArray& message, const QByteArray& data) {
    const QString name = loggedName(message);
    if (!target) {
        refuse(__LINE__, QStringLiteral("%1: the object is gone").arg(name));
        return false;
    }
    const QMetaObject* meta = target->metaObject();
    const QString className = QString::fromLatin1(meta->className());
    const QByteArray signature = QMetaObject::normalizedSignature(message.constData());
    const int index = meta->indexOfSlot(signature.constData());
    const QMetaMethod slot = index < 0 ? QMetaMethod() : meta->method(index);
    if (!slot.isValid() || slot.methodType() != QMetaMethod::Slot ||
        slot.access() != QMetaMethod::Public) {
        refuse(__LINE__, QStringLiteral("%1 is no public slot of %2").arg(name, className));
        return false;
    }
    if (const QMetaObject* qt = qtBase(meta); qt && index < qt->methodCount()) {
        refuse(__LINE__, QStringLiteral("%1 is a slot of Qt's %2, not one of %3's own")
                             .arg(name, QString::fromLatin1(qt->className()), className));
        return false;
    }
    QStringList texts;
    if (!decodeStrings(data, &texts)) {
        refuse(__LINE__,
               QStringLiteral("%1: the message's data is not a list of strings").arg(name));
        return false;
    }
    if (texts.size() != slot.parameterCount()) {
        refuse(__LINE__, QStringLiteral("%1 takes %2 arguments, the message has %3")
                             .arg(name)
                             .arg(slot.parameterCount())
                             .arg(texts.size()));
        return false;
    }
    if (texts.size() > MaxArguments) {
        refuse(__LINE__, QStringLiteral("%1: more than %2 arguments").arg(name).arg(MaxArguments));
        return false;
    }

    std::array<QVariant, MaxArguments> values;
    std::array<QGenericArgument, MaxArguments> arguments;
    for (int i = 0; i < texts.size(); ++i) {
        const int type = slot.parameterType(i);
        const QString typeName = QString::fromLatin1(slot.parameterTypeName(i));
        if (!supported(type)) {
            refuse(__LINE__, QStringLiteral("%1: parameter %2 of type %3 cannot be given remotely")
                                 .arg(name)
                                 .arg(i + 1)
                                 .arg(typeName));
            return false;
        }
        values[i] = convert(texts.at(i), type);
        if (!values[i].isValid()) {
            refuse(__LINE__, QStringLiteral("%1: argument %2 \"%3\" is not a %4")
                                 .arg(name)
                                 .arg(i + 1)
                                 .arg(texts.at(i), typeName));
            return false;
        }
        arguments[i] = QGenericArgument(QMetaType(type).name(), values[i].constData());
    }
    const bool called = slot.invoke(target, Qt::DirectConnection, arguments[0], arguments[1],
                                    arguments[2], arguments[3], arguments[4], arguments[5],
                                    arguments[6], arguments[7], arguments[8], arguments[9]);
    if (!called)
        refuse(__LINE__, QStringLiteral("%1 could not be called").arg(name));
    return called;
}

QString KV_RemoteControl::applicationName(const QString& libraryPath) {
    QString name = QFileInfo(libraryPath).fileName();
    if (name.startsWith(QLatin1String("lib")))
        name.remove(0, 3);
    // "x.so" and "x.so.1.2", not a ".so" inside the name ("x.sound.so").
    for (int at = name.indexOf(QLatin1String(".so")); at >= 0;
         at = name.indexOf(QLatin1String(".so"), at + 1)) {
        if (at + 3 == name.size() || name.at(at + 3) == QLatin1Char('.'))
            return name.left(at);
    }
    return name;
}

void KV_RemoteControl::refuse(int line, const QString& text) const {
    KV_Logger::log(LogLevel, target.data(), QString::fromLatin1(channelName), sourceFile, line,
                   text);
}
