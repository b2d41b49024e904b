// The bracket of every math server operation: clears the instance's warnings, honours a break
// request and, on leaving, leaves the engine's messages as it found them and announces symbol
// changes to the hubs.
#ifndef KVQ_QALCMATHSERVERCALL_H
#define KVQ_QALCMATHSERVERCALL_H

#include "server/kvq_qalcmathserver.h"

#include "engine/kv_matherrors.h"
#include "engine/kv_messagestops.h"
#include "engine/kv_qalcengine.h"
#include "symbols/kv_watchregistry.h"

class KVQ_QalcMathServer::Call {
public:
    explicit Call(KVQ_QalcMathServer* server) : server_(server) { server_->warnings_.clear(); }
    ~Call() {
        stops_.restore();
        KV_WatchRegistry::instance().flush();
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    // Interrupted, clearing the request, when a break was requested; else Ok.
    int start() {
        if (!server_->breakRequested_)
            return KV_MathErrors::Ok;
        server_->breakRequested_ = false;
        return KV_MathErrors::Interrupted;
    }
    // start(), then the expression checked and calculated.
    int start(const QString& expression, bool approximate, MathStructure& result) {
        if (const int code = start())
            return code;
        return server_->checkAndCalculate(expression, approximate, result);
    }
    // start(), then function parsed with variable as its argument.
    int start(const QString& function, const QString& variable,
              std::unique_ptr<KV_FunctionEvaluator>& f) {
        if (const int code = start())
            return code;
        return server_->functionOf(function, variable, f);
    }
    // start(), then both functions parsed with variable as their argument.
    int start(const QString& first, const QString& second, const QString& variable,
              std::unique_ptr<KV_FunctionEvaluator>& f1,
              std::unique_ptr<KV_FunctionEvaluator>& f2) {
        if (const int code = start(first, variable, f1))
            return code;
        return server_->functionOf(second, variable, f2);
    }

private:
    KVQ_QalcMathServer* server_;
    // The server's constructor has loaded the engine.
    KV_MessageStops stops_;
};

#endif
