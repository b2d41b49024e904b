// Qt's platform plugins, looked up before the application object is created: Qt aborts the
// process when the platform it is asked for has no plugin.
#ifndef KV_PLATFORMPLUGINS_H
#define KV_PLATFORMPLUGINS_H

#include <QStringList>

class KV_PlatformPlugins {
public:
    // The platforms asked for by "-platform NAME" among the arguments, or else by
    // QT_QPA_PLATFORM: a ';'-separated list that Qt tries in order, each name without its
    // ":options". Empty when neither asks for one.
    static QStringList requested(int argc, char** argv);
    // The text naming them: the value of "-platform", or else QT_QPA_PLATFORM; empty when
    // neither is given.
    static QString requestedText(int argc, char** argv);
    // The keys of the platform plugins Qt can find, sorted.
    static QStringList available(int argc, char** argv);
};

#endif
