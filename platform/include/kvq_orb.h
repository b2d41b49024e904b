// The object request broker: creates objects by class name from component libraries.
#ifndef KVQ_ORB_H
#define KVQ_ORB_H

#include <QStringList>

class QObject;

class KVQ_ORB {
public:
    // A new object of the named class, or null when no component serves the class.
    static QObject* createObject(const char* className, QObject* parent, const char* name,
                                 const QStringList& args);
    // The broker as a program: "CLASS [ARG...]" or "--list". Returns the process exit status.
    static int main(int argc, char** argv);

    // Every class the installed and development components serve, in search order.
    static QStringList classNames();
    // The folders searched for component index files, in order.
    static QStringList componentFolders();
};

#endif
