// The ids of the items of a menu: given by the caller, or unique negative numbers.
#ifndef KV_ITEMIDS_H
#define KV_ITEMIDS_H

#include <QHash>

class QAction;

class KV_ItemIds {
public:
    // Gives action the id (a new one when id < 0) and returns it. An id already in use moves
    // to this action.
    int assign(QAction* action, int id);
    // Gives action a new id unless it has one.
    void ensure(QAction* action);
    void forget(QAction* action);
    // The id of action, or -1.
    int id(QAction* action) const { return ids.value(action, -1); }
    QAction* action(int id) const;

private:
    QHash<QAction*, int> ids;
    int nextAutomatic = -2; // -1 means "none"
};

#endif
