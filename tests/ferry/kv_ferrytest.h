// ferry as a user runs it: a private bus that this process also uses, a log file of its own,
// and the messages a QCopChannel receives.
#ifndef KV_FERRYTEST_H
#define KV_FERRYTEST_H

#include "kv_privatebus.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

class QCopChannel;
class QSignalSpy;

struct FerryRun {
    int status = -100;
    QByteArray out;
    QByteArray err;
};

struct FerryMessage {
    QByteArray name;
    QStringList arguments;
    bool operator==(const FerryMessage& o) const {
        return name == o.name && arguments == o.arguments;
    }
};
void PrintTo(const FerryMessage& m, std::ostream* os);

class KV_FerryTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Starts ferry with args, on the private bus unless env says otherwise.
    std::unique_ptr<QProcess> start(const QStringList& args,
                                    QProcessEnvironment env = QProcessEnvironment());
    // Closes ferry's input and waits for it to end.
    FerryRun finish(QProcess& p);
    // Runs ferry to its end with input on its standard input.
    FerryRun ferry(const QStringList& args, const QByteArray& input = QByteArray(),
                   QProcessEnvironment env = QProcessEnvironment());

    // Everything that arrives on channel, up to and including a marker message sent after
    // ferry has finished, so that absent messages are known to be absent.
    QList<FerryMessage> drain(QCopChannel& channel, QSignalSpy& spy);

    // The log file's records.
    QByteArray log();
    // The records without their times, and the file emptied.
    QList<QByteArray> takeLogRecords();

    KV_PrivateBus bus;
    QTemporaryDir logDir;
};

#endif
