#include "kv_ferrysender.h"

#include "kv_logger.h"
#include "qcopenvelope.h"

bool KV_FerrySender::send(const KV_FerryQuery& query, KV_QCopConnection* connection,
                          QString* error) {
    static char sourceFile[] = "ferry";
    KV_Logger::log(16, nullptr, QString(), sourceFile, 55,
                   QStringLiteral("function is %1").arg(query.function()));
    {
        QCopEnvelope envelope(query.channel(), query.message(), connection);
        for (const QString& argument : query.arguments())
            envelope << argument;
    }
    *error = QCopEnvelope::lastError();
    return error->isEmpty();
}
