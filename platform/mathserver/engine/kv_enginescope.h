// Time control around a series of engine calls (a point table, a numeric method): the engine's
// control starts with the scope and stops when it ends, and the engine's messages are then
// added to the caller's warnings, each text once.
#ifndef KV_ENGINESCOPE_H
#define KV_ENGINESCOPE_H

#include <QStringList>

class KV_EngineScope {
public:
    KV_EngineScope(int timeLimitMs, QStringList& warnings);
    ~KV_EngineScope();
    KV_EngineScope(const KV_EngineScope&) = delete;
    KV_EngineScope& operator=(const KV_EngineScope&) = delete;

    // True once the time limit has run out inside the scope.
    bool aborted() const;

private:
    QStringList& warnings_;
};

#endif
