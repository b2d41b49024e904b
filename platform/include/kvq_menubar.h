// A menu bar whose items carry ids.
#ifndef KVQ_MENUBAR_H
#define KVQ_MENUBAR_H

#include "kv_itemids.h"

#include <QMenuBar>

class QMenu;

class KVQ_MenuBar : public QMenuBar {
    Q_OBJECT

public:
    KVQ_MenuBar(QWidget* parent = nullptr, const char* name = nullptr);

    // Inserts an item opening popup (titled text) at index (-1: at the end). An id below 0
    // is replaced by a new unique negative id. Returns the item's id.
    int insertItem(const QString& text, QMenu* popup, int id = -1, int index = -1);
    // An item without popup; choosing it emits activated(id).
    int insertItem(const QString& text, int id = -1, int index = -1);
    void removeItem(int id) { ids.remove(id); }

    int count() const { return int(actions().size()); }
    // The id of the item at index, or -1.
    int idAt(int index) const { return ids.idAt(index); }
    // The index of the item with id, or -1.
    int indexOf(int id) const { return int(actions().indexOf(ids.action(id))); }
    QAction* findItem(int id) const { return ids.action(id); }
    void setItemEnabled(int id, bool enabled) { ids.setEnabled(id, enabled); }
    bool isItemEnabled(int id) const { return ids.isEnabled(id); }

signals:
    void activated(int id);

protected:
    void actionEvent(QActionEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    KV_ItemIds ids{this};
};

#endif
