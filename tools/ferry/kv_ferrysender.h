// Sends a ferry query: one record through the framework logger, then one QCop message, the same
// for a single query and for each query of a batch.
#ifndef KV_FERRYSENDER_H
#define KV_FERRYSENDER_H

#include "kv_ferryquery.h"

#include <QString>

class KV_QCopConnection;

class KV_FerrySender {
public:
    // Sends a valid query on a connection of its own, or on connection when one is given. On
    // failure returns false and sets *error to one sentence.
    static bool send(const KV_FerryQuery& query, KV_QCopConnection* connection, QString* error);
};

#endif
