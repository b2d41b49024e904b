// KVQ_ColourPopup: the colour pickers' popup. A grid of common colours, then "Other…", which
// opens Qt's colour dialog, and for the shapes an entry "No fill". The arrow keys move the
// highlight over the entries, Return, Enter or Space takes the highlighted one, Escape or a
// click elsewhere dismisses the popup; the pen takes an entry with a click. Like the editor's
// other popups it is a popup window of the application: it has the keys while it is open and
// never grabs the keyboard of the display.
#ifndef KVQ_COLOURPOPUP_H
#define KVQ_COLOURPOPUP_H

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QEventLoop;

class KVQ_ColourPopup : public QWidget {
    Q_OBJECT
public:
    // What exec came back with.
    enum class Outcome { Dismissed, Colour, NoFill };

    // offerNoFill adds the entry "No fill"; current is highlighted first when it is in the grid.
    KVQ_ColourPopup(QWidget* parent, bool offerNoFill, const QColor& current = QColor());
    ~KVQ_ColourPopup() override;

    // Shows the popup with its bottom left corner at bottomLeft (kept on the screen) and waits
    // until an entry is taken or the popup is dismissed.
    Outcome exec(const QPoint& bottomLeft);
    // The colour taken (valid after Outcome::Colour).
    QColor colour() const { return chosen; }

    // The entries: the colours of the grid, then "No fill" when offered, then "Other…".
    int count() const;
    int swatchCount() const;
    QColor swatchColour(int index) const;
    int noFillIndex() const { return offerNoFill ? swatchCount() : -1; }
    int otherIndex() const { return count() - 1; }
    // Where entry index is drawn, in the popup's coordinates.
    QRect entryRect(int index) const;
    int currentIndex() const { return current; }

    // A square of colour, framed, for tool-bar buttons and entries; for no colour (invalid), a
    // white square crossed out.
    static QPixmap swatch(const QColor& colour, int side);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int entryAt(const QPoint& p) const;
    // Moves the highlight by columns and rows over the grid and the row of text entries.
    void step(int dx, int dy);
    void take(int index);
    void finish(Outcome outcome);

    bool offerNoFill;
    int current = 0;
    QColor chosen;
    Outcome outcome = Outcome::Dismissed;
    QEventLoop* loop = nullptr;
};

#endif
