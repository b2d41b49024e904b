#include "kvq_symwatchhub.h"

KVQ_SymWatchHub::KVQ_SymWatchHub(QObject* parent) : QObject(parent) {}

KVQ_SymWatchHub::~KVQ_SymWatchHub() = default;
