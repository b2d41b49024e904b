// State shared by the fake math server and the fake hubs of one process: the variables, the
// hubs alive, the watch codes handed out and an optional trace of the hub calls.
#ifndef FAKESYMBOLS_H
#define FAKESYMBOLS_H

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

class FakeSymWatchHub;

class FakeSymbols {
public:
    static FakeSymbols& instance();
    // Callers never delete hubs: the component keeps each one until the process ends.
    ~FakeSymbols();

    QMap<QString, QString> variables;

    // Defines (non-empty value) or deletes a variable and tells every hub.
    void change(const QString& name, const QString& value);
    void clear();

    void addHub(FakeSymWatchHub* hub);
    void removeHub(FakeSymWatchHub* hub);

    // A free single bit, or the code named by KV_FAKE_WATCH_CODE (hex) when that is set.
    unsigned long allocCode();
    void freeCode(unsigned long code);

    // Codes marking every change and codes watching listed variables.
    QMap<unsigned long, bool> marking;
    QMap<unsigned long, QStringList> watched;

    // Appends one line to the file named by KV_FAKE_TRACE, when set.
    static void trace(const QString& line);

private:
    QVector<FakeSymWatchHub*> hubs;
    bool closing = false;
    unsigned long usedCodes = 0;
};

#endif
