#include "kvq_colourpopup.h"

#include <QApplication>
#include <QColorDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <iterator>

namespace {

// The grid, row by row: black to white; reds to yellows; greens to blues; blues to pinks;
// browns and light shades.
const QRgb Colours[] = {0x000000, 0x404040, 0x808080, 0xc0c0c0, 0xffffff, 0x800000, 0xff0000,
                        0xff8000, 0xffff00, 0x808000, 0x008000, 0x00ff00, 0x008080, 0x00ffff,
                        0x0080ff, 0x000080, 0x0000ff, 0x800080, 0xff00ff, 0xff80c0, 0x804000,
                        0xc08040, 0xffe0c0, 0x80c0ff, 0xc0ffc0};
constexpr int Columns = 5;
constexpr int SwatchCount = int(std::size(Colours));
constexpr int Rows = (SwatchCount + Columns - 1) / Columns;
constexpr int Cell = 26;  // a swatch with its highlight around it
constexpr int Margin = 4; // around the grid and the text entries
constexpr int TextRow = 24;

} // namespace

KVQ_ColourPopup::KVQ_ColourPopup(QWidget* parent, bool noFill, const QColor& now)
    : QWidget(parent, Qt::Popup), offerNoFill(noFill) {
    setObjectName(QStringLiteral("colourPopup"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(2 * Margin + Columns * Cell, 2 * Margin + Rows * Cell + Margin + TextRow);
    for (int i = 0; i < SwatchCount; ++i)
        if (now.isValid() && swatchColour(i).rgb() == now.rgb())
            current = i;
}

KVQ_ColourPopup::~KVQ_ColourPopup() = default;

int KVQ_ColourPopup::count() const {
    return SwatchCount + (offerNoFill ? 2 : 1);
}

int KVQ_ColourPopup::swatchCount() const {
    return SwatchCount;
}

QColor KVQ_ColourPopup::swatchColour(int index) const {
    if (index < 0 || index >= SwatchCount)
        return QColor();
    return QColor::fromRgb(0xff000000u | Colours[index]);
}

QRect KVQ_ColourPopup::entryRect(int index) const {
    if (index < 0 || index >= count())
        return QRect();
    if (index < SwatchCount)
        return QRect(Margin + (index % Columns) * Cell, Margin + (index / Columns) * Cell, Cell,
                     Cell);
    const int top = 2 * Margin + Rows * Cell;
    const int width = Columns * Cell;
    if (!offerNoFill)
        return QRect(Margin, top, width, TextRow);
    const int half = width / 2;
    return index == noFillIndex() ? QRect(Margin, top, half, TextRow)
                                  : QRect(Margin + half, top, width - half, TextRow);
}

int KVQ_ColourPopup::entryAt(const QPoint& p) const {
    for (int i = 0; i < count(); ++i)
        if (entryRect(i).contains(p))
            return i;
    return -1;
}

QPixmap KVQ_ColourPopup::swatch(const QColor& colour, int side) {
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const QRect square(1, 1, side - 2, side - 2);
    p.fillRect(square, colour.isValid() ? colour : QColor(Qt::white));
    p.setPen(QColor(Qt::black));
    p.drawRect(square.adjusted(0, 0, -1, -1));
    if (!colour.isValid()) {
        p.setPen(QPen(QColor(Qt::red), 2));
        p.drawLine(square.bottomLeft(), square.topRight());
    }
    return pm;
}

KVQ_ColourPopup::Outcome KVQ_ColourPopup::exec(const QPoint& bottomLeft) {
    QPoint at = bottomLeft - QPoint(0, height());
    if (const QScreen* screen = QGuiApplication::screenAt(bottomLeft)) {
        const QRect room = screen->availableGeometry();
        at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() - width() + 1)));
        at.setY(qBound(room.top(), at.y(), qMax(room.top(), room.bottom() - height() + 1)));
    }
    move(at);
    outcome = Outcome::Dismissed;
    chosen = QColor();
    bool other = false;
    {
        QEventLoop wait;
        loop = &wait;
        show();
        activateWindow();
        setFocus(Qt::PopupFocusReason);
        if (isVisible())
            wait.exec();
        loop = nullptr;
        other = outcome == Outcome::Colour && !chosen.isValid();
    }
    if (other) {
        // "Other…": Qt's colour dialog, once the popup is gone; cancelling it changes nothing.
        outcome = Outcome::Dismissed;
        const QColor picked =
            QColorDialog::getColor(swatchColour(current), parentWidget(), tr("Other colour"),
                                   QColorDialog::DontUseNativeDialog);
        if (picked.isValid()) {
            chosen = picked;
            chosen.setAlpha(255);
            outcome = Outcome::Colour;
        }
    }
    return outcome;
}

void KVQ_ColourPopup::take(int index) {
    if (index < 0 || index >= count())
        return;
    current = index;
    if (index < SwatchCount) {
        chosen = swatchColour(index);
        finish(Outcome::Colour);
    } else if (index == noFillIndex()) {
        finish(Outcome::NoFill);
    } else {
        chosen = QColor(); // a colour without a value yet: the dialog's, after the popup
        finish(Outcome::Colour);
    }
}

void KVQ_ColourPopup::finish(Outcome result) {
    outcome = result;
    if (result == Outcome::Dismissed)
        chosen = QColor();
    // Hiding quits the loop (hideEvent); a popup hidden already by a click elsewhere has done so.
    if (isVisible())
        hide();
    else if (loop)
        loop->quit();
}

void KVQ_ColourPopup::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (loop)
        loop->quit();
}

void KVQ_ColourPopup::step(int dx, int dy) {
    const int n = count();
    if (dx != 0) {
        current = (current + dx + n) % n;
    } else if (current < SwatchCount) {
        // Off the grid's top or bottom: onto the text entry under that column.
        const int col = current % Columns;
        const int next = current + dy * Columns;
        if (next >= 0 && next < SwatchCount)
            current = next;
        else
            current = offerNoFill && col < (Columns + 1) / 2 ? noFillIndex() : otherIndex();
    } else {
        // From the text row up into the last row of the grid, down into the first.
        const int col = offerNoFill && current == otherIndex() ? Columns - 1 : 0;
        current = qMin(dy < 0 ? (Rows - 1) * Columns + col : col, SwatchCount - 1);
    }
    update();
}

void KVQ_ColourPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        step(-1, 0);
        break;
    case Qt::Key_Right:
        step(1, 0);
        break;
    case Qt::Key_Up:
        step(0, -1);
        break;
    case Qt::Key_Down:
        step(0, 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        take(current);
        break;
    case Qt::Key_Escape:
        finish(Outcome::Dismissed);
        break;
    default:
        break;
    }
    event->accept();
}

void KVQ_ColourPopup::mouseMoveEvent(QMouseEvent* event) {
    const int at = entryAt(event->position().toPoint());
    if (at >= 0 && at != current) {
        current = at;
        update();
    }
}

void KVQ_ColourPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int at = entryAt(event->position().toPoint());
    if (at >= 0)
        take(at);
}

void KVQ_ColourPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    for (int i = 0; i < count(); ++i) {
        const QRect r = entryRect(i);
        if (i == current)
            p.fillRect(r, palette().highlight());
        if (i < SwatchCount) {
            p.drawPixmap(r.topLeft() + QPoint(3, 3), swatch(swatchColour(i), Cell - 6));
            continue;
        }
        p.setPen(palette().color(i == current ? QPalette::HighlightedText : QPalette::WindowText));
        p.drawText(r, Qt::AlignCenter, i == noFillIndex() ? tr("No fill") : tr("Other…"));
    }
}
