#include "kvq_mathserver.h"

KVQ_MathServer::KVQ_MathServer(QObject* parent) : QObject(parent) {}

KVQ_MathServer::~KVQ_MathServer() = default;
