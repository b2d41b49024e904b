#include "kv_itemids.h"

int KV_ItemIds::assign(QAction* action, int id) {
    if (id < 0)
        id = nextAutomatic--;
    if (QAction* previous = this->action(id); previous && previous != action)
        ids.remove(previous);
    ids.insert(action, id);
    return id;
}

void KV_ItemIds::ensure(QAction* action) {
    if (!ids.contains(action))
        assign(action, -1);
}

void KV_ItemIds::forget(QAction* action) {
    ids.remove(action);
}

QAction* KV_ItemIds::action(int id) const {
    for (auto it = ids.constBegin(); it != ids.constEnd(); ++it)
        if (it.value() == id)
            return it.key();
    return nullptr;
}
