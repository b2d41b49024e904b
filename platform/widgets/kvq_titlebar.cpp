#include "kvq_titlebar.h"

#include "kvq_menubar.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int BandHeight = 20;
}

KVQ_TitleBar::KVQ_TitleBar(const QString& text, QPixmap* menuIcon, KVQ_MenuBar* menuBar,
                           QActionGroup* modes, QWidget* parent, const char* name)
    : QWidget(parent), iconButton(new QToolButton(this)), label(new QLabel(text, this)),
      menus(menuBar) {
    setObjectName(QString::fromUtf8(name));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* band = new QHBoxLayout;
    band->setContentsMargins(2, 0, 2, 0);
    band->setSpacing(2);
    iconButton->setObjectName(QStringLiteral("KVQ_TitleBarMenuIcon"));
    iconButton->setAutoRaise(true);
    iconButton->setIconSize(QSize(16, 16));
    iconButton->setFixedSize(BandHeight, BandHeight);
    iconButton->setFocusPolicy(Qt::NoFocus);
    iconButton->setToolTip(tr("Menu"));
    setMenuIcon(menuIcon);
    connect(iconButton, &QToolButton::clicked, this, [this] {
        toggleMenuBar();
        emit menuIconClicked();
    });
    band->addWidget(iconButton);

    label->setTextFormat(Qt::PlainText); // file names are never markup
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setFixedHeight(BandHeight);
    band->addWidget(label, 1);

    if (modes)
        for (QAction* mode : modes->actions()) {
            auto* button = new QToolButton(this);
            button->setDefaultAction(mode);
            button->setAutoRaise(true);
            button->setIconSize(QSize(16, 16));
            button->setFixedSize(BandHeight, BandHeight);
            button->setFocusPolicy(Qt::NoFocus);
            band->addWidget(button);
        }
    column->addLayout(band);

    if (menus) {
        column->addWidget(menus);
        menus->hide();
    }
    if (auto* window = qobject_cast<QMainWindow*>(parent))
        window->setMenuWidget(this);
}

QString KVQ_TitleBar::text() const {
    return label->text();
}

void KVQ_TitleBar::setText(const QString& text) {
    label->setText(text);
}

void KVQ_TitleBar::setMenuIcon(QPixmap* pixmap) {
    icon = pixmap ? *pixmap : QPixmap();
    iconButton->setIcon(QIcon(icon));
}

void KVQ_TitleBar::toggleMenuBar() {
    if (menus)
        menus->setVisible(!menus->isVisible());
}
