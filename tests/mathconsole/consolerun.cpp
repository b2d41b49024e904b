#include "consolerun.h"

#include <QProcess>

#include <regex>

ConsoleResult runConsole(const std::string& input, const QProcessEnvironment& env) {
    QProcess process;
    QProcessEnvironment full = QProcessEnvironment::systemEnvironment();
    for (const QString& key : env.keys())
        full.insert(key, env.value(key));
    process.setProcessEnvironment(full);
    process.start(QStringLiteral(KV_MATHCONSOLE), QStringList());
    ConsoleResult result;
    if (!process.waitForStarted(10000))
        return result;
    process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    result.finished = process.waitForFinished(60000);
    if (!result.finished)
        process.kill();
    process.waitForFinished(5000);
    const QByteArray out = process.readAllStandardOutput();
    result.out = std::regex_replace(std::string(out.constData(), static_cast<size_t>(out.size())),
                                    std::regex("Delta\\(RAM\\) = -?[0-9]+\n"), "Delta(RAM) = #\n");
    const QByteArray err = process.readAllStandardError();
    result.err.assign(err.constData(), static_cast<size_t>(err.size()));
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

ConsoleResult runRealConsole(const std::string& input, const QProcessEnvironment& env) {
    QProcessEnvironment real = env;
    real.insert(QStringLiteral("KV_COMPONENT_PATH"), QStringLiteral(KV_REAL_MATH_DIR));
    return runConsole(input, real);
}
