#include "kv_platformplugins.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>

namespace {

// The value following option among the arguments, or a null string.
QString optionValue(int argc, char** argv, const char* option) {
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], option) == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    return QString();
}

// The folders Qt searches for platform plugins.
QStringList pluginFolders(int argc, char** argv) {
    QStringList folders;
    const QString given = optionValue(argc, argv, "-platformpluginpath");
    if (!given.isNull())
        folders << given.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    folders << qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH")
                   .split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString& path :
         qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts))
        folders << path + QStringLiteral("/platforms");
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    return folders;
}

} // namespace

QString KV_PlatformPlugins::requestedText(int argc, char** argv) {
    const QString option = optionValue(argc, argv, "-platform");
    return option.isNull() ? qEnvironmentVariable("QT_QPA_PLATFORM") : option;
}

QStringList KV_PlatformPlugins::requested(int argc, char** argv) {
    QStringList names;
    for (const QString& entry :
         requestedText(argc, argv).split(QLatin1Char(';'), Qt::SkipEmptyParts))
        names << entry.section(QLatin1Char(':'), 0, 0);
    names.removeAll(QString());
    return names;
}

QStringList KV_PlatformPlugins::available(int argc, char** argv) {
    QStringList keys;
    for (const QString& folder : pluginFolders(argc, argv)) {
        const QDir dir(folder);
        for (const QString& file : dir.entryList(QDir::Files)) {
            // Reads the plugin's metadata without loading its code.
            const QJsonObject meta = QPluginLoader(dir.filePath(file))
                                         .metaData()
                                         .value(QStringLiteral("MetaData"))
                                         .toObject();
            for (const QJsonValue key : meta.value(QStringLiteral("Keys")).toArray())
                keys << key.toString();
        }
    }
    keys.removeAll(QString());
    keys.removeDuplicates();
    keys.sort(Qt::CaseInsensitive);
    return keys;
}
