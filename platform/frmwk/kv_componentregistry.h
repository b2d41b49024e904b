// Which component library serves which class: read from the index files ("*.index", one
// "ClassName library-file" line per class, library paths relative to the index file's folder)
// in the component folders.
#ifndef KV_COMPONENTREGISTRY_H
#define KV_COMPONENTREGISTRY_H

#include <QHash>
#include <QString>
#include <QStringList>

class KV_ComponentRegistry {
public:
    // The broker's registry, read on first use and again whenever KV_COMPONENT_PATH has changed
    // since.
    static KV_ComponentRegistry& shared();
    // The folders searched, in order: those named in KV_COMPONENT_PATH (colon-separated), then
    // the component folder beside this library (kv/components in the folder that holds it, both
    // in the build tree and where it is installed). An earlier folder wins.
    static QStringList searchFolders();

    // Reads every index file of the search folders afresh.
    void rescan();
    // The absolute path of the library serving className, or an empty string.
    QString libraryFor(const QString& className) const;
    // libraryFor, reading the index files again on a miss, since components may have been
    // installed since the last reading.
    QString findLibrary(const QString& className);
    // Every class served, in the order first met.
    QStringList classNames() const { return order; }

private:
    void readIndex(const QString& indexFile);

    QHash<QString, QString> libraries;
    QStringList order;
    QString scannedPath; // KV_COMPONENT_PATH when shared() last read the index files
    bool scanned = false;
};

#endif
