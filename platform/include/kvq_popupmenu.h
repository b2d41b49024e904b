// A popup menu whose items carry ids; exec() runs it modally and returns the chosen id.
#ifndef KVQ_POPUPMENU_H
#define KVQ_POPUPMENU_H

#include "kv_itemids.h"

#include <QMenu>

class KVQ_PopupMenu : public QMenu {
    Q_OBJECT

public:
    KVQ_PopupMenu(QWidget* parent = nullptr, const char* name = nullptr);

    // An entry showing only pixmap, at its own size, at index (-1: at the end). An id below 0
    // is replaced by a new unique negative id. Returns the entry's id.
    int insertItem(const QPixmap& pixmap, int id = -1, int index = -1);
    int insertItem(const QString& text, int id = -1, int index = -1);
    int insertItem(const QPixmap& pixmap, const QString& text, int id = -1, int index = -1);
    // Returns the separator's id.
    int insertSeparator(int index = -1);
    void removeItem(int id) { ids.remove(id); }

    int count() const { return int(actions().size()); }
    int idAt(int index) const { return ids.idAt(index); }
    int indexOf(int id) const { return int(actions().indexOf(ids.action(id))); }
    QAction* findItem(int id) const { return ids.action(id); }
    // The id of action (an entry of this menu or of one of its submenus), or -1.
    int idOf(QAction* action) const;
    void setItemEnabled(int id, bool enabled) { ids.setEnabled(id, enabled); }
    bool isItemEnabled(int id) const { return ids.isEnabled(id); }

    // Runs the menu modally at its current position; the chosen id, or -1 when dismissed.
    int exec();
    // Runs the menu modally at pos, with the entry at indexAtPoint under it.
    int exec(const QPoint& pos, int indexAtPoint = 0);

signals:
    void activated(int id);

protected:
    void actionEvent(QActionEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void highlight(QAction* current);

    KV_ItemIds ids{this};
};

#endif
