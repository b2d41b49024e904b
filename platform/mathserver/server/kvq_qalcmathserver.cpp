#include "server/kvq_qalcmathserver.h"

#include "server/kvq_qalcmathservercall.h"
#include "symbols/kv_keywordtable.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

KVQ_QalcMathServer::KVQ_QalcMathServer(QObject* parent) : KVQ_MathServer(parent), modes_() {
    KV_QalcEngine::instance();
}

KVQ_QalcMathServer::~KVQ_QalcMathServer() = default;

bool KVQ_QalcMathServer::validAnsType(int type) {
    return type >= FULL_PRECISION_ANS && type <= MATHML_ANS_NOEXPORT;
}

void KVQ_QalcMathServer::prepare(const QString& argument) {
    Call call(this);
    KV_KeywordTable::instance();
    bool ok = false;
    const int seconds = argument.trimmed().toInt(&ok);
    if (ok && seconds > 0)
        timeLimitMs_ = qMin(seconds, 3600) * 1000;
}

void KVQ_QalcMathServer::getWarnings(QStringList& warnings) {
    warnings = warnings_;
}

void KVQ_QalcMathServer::errorString(int code, QString& text) {
    text = KV_MathErrors::text(code);
}

bool KVQ_QalcMathServer::breakFlag(bool flag) {
    const bool previous = breakRequested_;
    breakRequested_ = flag;
    return previous;
}

void KVQ_QalcMathServer::keywordFilePath(const char*& path) {
    path = nullptr;
    if (keywordPath_.isEmpty()) {
        // In the user's cache folder, where it stays after the process: the table follows the
        // engine's functions, so each process writes it again when it differs.
        const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                            QStringLiteral("/kv");
        const QString name = dir + QStringLiteral("/keywords.txt");
        const QByteArray content = KV_KeywordTable::instance().text().toUtf8();
        QFile existing(name);
        if (!existing.open(QIODevice::ReadOnly) || existing.readAll() != content) {
            QSaveFile file(name);
            if (!QDir().mkpath(dir) || !file.open(QIODevice::WriteOnly) ||
                file.write(content) != content.size() || !file.commit())
                return;
        }
        keywordPath_ = QFile::encodeName(name);
    }
    path = keywordPath_.constData();
}

void KVQ_QalcMathServer::setModes(const Modes& modes) {
    Modes m = modes;
    // Values outside the known codes fall back to the defaults of their field.
    if (m.arith > 2)
        m.arith = 0;
    if (m.angle > 1)
        m.angle = 0;
    if (m.domain > 2)
        m.domain = 0;
    if (m.complexForm > 1)
        m.complexForm = 0;
    if (m.units > 1)
        m.units = 0;
    if (m.vectorForm > 2)
        m.vectorForm = 0;
    if (m.decimalStyle > 1)
        m.decimalStyle = 0;
    if (m.exponentStyle > 2)
        m.exponentStyle = 0;
    if (m.digits > 12)
        m.digits = 12;
    modes_ = m;
}

Modes KVQ_QalcMathServer::getModes() {
    return modes_;
}
