#include "kv_platformwatch.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QList>
#include <QRegularExpression>

#include <cstdio>
#include <unistd.h>

namespace {

struct Kept {
    QtMsgType type;
    QByteArray category;
    QByteArray file;
    QByteArray function;
    int line;
    QString text;
};

struct WatchState {
    const char* program = nullptr;
    QStringList requested;
    QtMessageHandler previous = nullptr;
    QList<Kept> kept;
};

WatchState* watching = nullptr;

// Qt's own words when no plugin of the list could start; the reason came in a message before.
bool isGenericFailure(const QString& text) {
    return text.contains(QLatin1String("no Qt platform plugin could be initialized"));
}

// The platforms that failed: those asked for, else the ones Qt names in its messages.
QString failedPlatform(const WatchState& s) {
    if (!s.requested.isEmpty())
        return s.requested.join(QLatin1Char(';'));
    static const QRegularExpression named(QStringLiteral("platform plugin \"([^\"]+)\""));
    QStringList names;
    for (const Kept& k : s.kept) {
        const QRegularExpressionMatch m = named.match(k.text);
        if (m.hasMatch() && !names.contains(m.captured(1)))
            names << m.captured(1);
    }
    return names.isEmpty() ? QStringLiteral("default") : names.join(QLatin1Char(';'));
}

// What the platform plugins warned of (not the loader's note that a plugin failed), on one line.
QStringList pluginWarnings(const WatchState& s) {
    QStringList warnings;
    for (const Kept& k : s.kept)
        if (k.type == QtWarningMsg && k.category.startsWith("qt.qpa.") &&
            k.category != "qt.qpa.plugin" && !warnings.contains(k.text.simplified()))
            warnings << k.text.simplified();
    return warnings;
}

void sayCannotStart(const QString& platform, const QString& reason) {
    std::fprintf(stderr, "%s: the platform \"%s\" could not start: %s\n", watching->program,
                 qPrintable(platform), qPrintable(reason));
}

void keep(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    WatchState& s = *watching;
    s.kept.append({type, context.category, context.file, context.function, context.line, text});
    if (type != QtFatalMsg)
        return;
    QStringList reasons = pluginWarnings(s);
    if (!isGenericFailure(text))
        reasons << text.simplified();
    if (reasons.isEmpty())
        reasons << QStringLiteral("no platform plugin could be initialized");
    sayCannotStart(failedPlatform(s), reasons.join(QStringLiteral("; ")));
    // Qt is half built: its own exit handlers must not run.
    ::_exit(1);
}

} // namespace

KV_PlatformWatch::KV_PlatformWatch(const char* program, const QStringList& requested) {
    watching = new WatchState;
    watching->program = program;
    watching->requested = requested;
    watching->previous = qInstallMessageHandler(keep);
}

KV_PlatformWatch::~KV_PlatformWatch() {
    qInstallMessageHandler(watching->previous);
    for (const Kept& k : std::as_const(watching->kept)) {
        const QMessageLogContext context(k.file.isNull() ? nullptr : k.file.constData(), k.line,
                                         k.function.isNull() ? nullptr : k.function.constData(),
                                         k.category.isNull() ? nullptr : k.category.constData());
        if (watching->previous)
            watching->previous(k.type, context, k.text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(k.type, context, k.text)));
    }
    delete watching;
    watching = nullptr;
}

void KV_PlatformWatch::requireScreen() {
    if (QGuiApplication::primaryScreen())
        return;
    sayCannotStart(QGuiApplication::platformName(), QStringLiteral("no screen"));
    ::_exit(1);
}
