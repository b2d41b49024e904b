#include "kvq_dialog.h"

#include <QEvent>
#include <QPainter>
#include <QScreen>

KVQ_Dialog::KVQ_Dialog(QWidget* parent, const char* name, bool modal, Qt::WindowFlags flags)
    : QDialog(parent, flags) {
    setObjectName(QString::fromUtf8(name));
    setModal(modal);
    setContentsMargins(0, CaptionHeight, 0, 0);
}

void KVQ_Dialog::setCaption(const QString& caption) {
    setWindowTitle(caption);
    update(0, 0, width(), CaptionHeight);
}

void KVQ_Dialog::setIcon(const QPixmap& icon) {
    captionIcon = icon;
    setWindowIcon(QIcon(icon));
    update(0, 0, width(), CaptionHeight);
}

void KVQ_Dialog::setIconText(const QString& text) {
    captionIconText = text;
    setToolTip(text);
}

void KVQ_Dialog::show() {
    setVisible(true);
}

void KVQ_Dialog::setVisible(bool visible) {
    if (visible && !isVisible()) {
        QWidget* window = parentWidget() ? parentWidget()->window() : nullptr;
        if (window != watchedWindow) {
            if (watchedWindow)
                watchedWindow->removeEventFilter(this);
            watchedWindow = window;
            if (window)
                window->installEventFilter(this);
        }
        if (!testAttribute(Qt::WA_Resized))
            adjustSize();
        placeOverParent();
    }
    QDialog::setVisible(visible);
}

void KVQ_Dialog::placeOverParent() {
    QRect frame(QPoint(0, 0), size());
    if (watchedWindow)
        frame.moveCenter(watchedWindow->frameGeometry().center());
    else if (const QScreen* s = screen())
        frame.moveCenter(s->availableGeometry().center());
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        frame.moveRight(qMin(frame.right(), area.right()));
        frame.moveBottom(qMin(frame.bottom(), area.bottom()));
        frame.moveLeft(qMax(frame.left(), area.left()));
        frame.moveTop(qMax(frame.top(), area.top()));
    }
    move(frame.topLeft());
}

bool KVQ_Dialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedWindow && isVisible() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeOverParent();
    return QDialog::eventFilter(watched, event);
}

void KVQ_Dialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    const QRect band(0, 0, width(), CaptionHeight);
    p.fillRect(band, palette().color(QPalette::Highlight));
    int x = 2;
    if (!captionIcon.isNull()) {
        const QPixmap small = captionIcon.scaled(16, 16, Qt::KeepAspectRatio);
        p.drawPixmap(x, (CaptionHeight - small.height()) / 2, small);
        x += small.width() + 4;
    }
    p.setPen(palette().color(QPalette::HighlightedText));
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(band.adjusted(x, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
               p.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, band.width() - x - 2));
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void KVQ_Dialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The caption is elided to the width, so it is laid out again.
    update(0, 0, width(), CaptionHeight);
}
