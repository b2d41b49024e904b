// A tool bar of icon buttons large enough for a pen (24-pixel icons).
#ifndef KVQ_TOOLBAR_H
#define KVQ_TOOLBAR_H

#include <QToolBar>

class QActionGroup;
class QColor;

class KVQ_ToolBar : public QToolBar {
    Q_OBJECT

public:
    // How addActionGroup presents a group.
    enum GroupType {
        Buttons = 0, // one button per action of the group
        Selector = 1 // one button showing the checked action; pressing it offers the others
    };

    // background: the bar's colour, or null for the style's.
    KVQ_ToolBar(QWidget* parent = nullptr, const char* name = nullptr,
                const QColor* background = nullptr);

    // Puts the group's actions on the bar. An action that is on the bar already keeps its place;
    // actions added to the group later are not added.
    void addActionGroup(QActionGroup* group, GroupType type);
};

#endif
