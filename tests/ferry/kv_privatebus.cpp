#include "kv_privatebus.h"

#include <QElapsedTimer>

KV_PrivateBus::KV_PrivateBus() {
    daemon.setProgram(QStringLiteral("dbus-daemon"));
    daemon.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                         QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    daemon.setProcessChannelMode(QProcess::SeparateChannels);
    daemon.setStandardErrorFile(QProcess::nullDevice());
    daemon.start();
    if (!daemon.waitForStarted(5000))
        return;
    QElapsedTimer clock;
    clock.start();
    QByteArray out;
    while (!out.contains('\n') && clock.elapsed() < 5000 && daemon.state() == QProcess::Running) {
        daemon.waitForReadyRead(100);
        out += daemon.readAllStandardOutput();
    }
    busAddress = out.left(out.indexOf('\n')).trimmed();
}

KV_PrivateBus::~KV_PrivateBus() {
    if (inThisProcess) {
        if (savedSet)
            qputenv("DBUS_SESSION_BUS_ADDRESS", savedAddress);
        else
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    if (daemon.state() != QProcess::NotRunning) {
        daemon.terminate();
        if (!daemon.waitForFinished(3000)) {
            daemon.kill();
            daemon.waitForFinished(3000);
        }
    }
}

QProcessEnvironment KV_PrivateBus::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLocal8Bit(busAddress));
    return env;
}

void KV_PrivateBus::useInThisProcess() {
    if (!inThisProcess) {
        savedSet = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
        savedAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        inThisProcess = true;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress);
}
