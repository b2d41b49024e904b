// The band at the top of a component window: the menu icon, which shows and hides the menu bar,
// the title text and the mode switches. Placed in a QMainWindow parent, it takes the place of
// the menu bar and holds the given menu bar below its band, hidden until asked for.
#ifndef KVQ_TITLEBAR_H
#define KVQ_TITLEBAR_H

#include "kvq_menubar.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QActionGroup;
class QLabel;
class QToolButton;
class QHBoxLayout;

class KVQ_TitleBar : public QWidget {
    Q_OBJECT

public:
    // menuIcon is copied; it may be destroyed as soon as the constructor returns. menuBar and
    // modes may be null.
    KVQ_TitleBar(const QString& text, QPixmap* menuIcon, KVQ_MenuBar* menuBar, QActionGroup* modes,
                 QWidget* parent = nullptr, const char* name = nullptr);

    QString text() const;
    void setText(const QString& text);
    QPixmap menuIcon() const { return icon; }
    // Copies the pixmap (null: no icon).
    void setMenuIcon(QPixmap* pixmap);
    KVQ_MenuBar* menuBar() const { return menus; }

    // Shows the menu bar when hidden and hides it when shown.
    void toggleMenuBar();

signals:
    void menuIconClicked();

private:
    QPixmap icon;
    QToolButton* iconButton;
    QLabel* label;
    QPointer<KVQ_MenuBar> menus;
};

#endif
