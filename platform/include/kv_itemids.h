// The items of a menu and their ids: given by the caller, or unique negative numbers. Shared by
// the menu bar and the popup menu, which differ only in the widget that holds the items.
#ifndef KV_ITEMIDS_H
#define KV_ITEMIDS_H

#include <QHash>

class QAction;
class QActionEvent;
class QWidget;

class KV_ItemIds {
public:
    explicit KV_ItemIds(QWidget* owner) : owner(owner) {}

    // Gives action the id (a new one when id < 0) and returns it. An id already in use moves
    // to this action.
    int assign(QAction* action, int id);
    // Puts action into the owner before the item at index (at the end when index is out of
    // range) and gives it the id, as assign does.
    int insert(QAction* action, int id, int index);
    // Takes the item out of the owner, deleting it when the owner made it.
    void remove(int id);
    // The id of action, or -1.
    int id(QAction* action) const { return ids.value(action, -1); }
    // The id of the item at index, or -1.
    int idAt(int index) const;
    QAction* action(int id) const;
    void setEnabled(int id, bool enabled);
    bool isEnabled(int id) const;
    // Keeps the ids in step with actions that others add to or remove from the owner.
    void follow(const QActionEvent* event);

private:
    QWidget* owner;
    QHash<QAction*, int> ids;
    int nextAutomatic = -2; // -1 means "none"
};

#endif
