// KV_SelectionModel: the selection tool. A drag selects a rectangle of the picture; a drag that
// starts inside the selection lifts its pixels as a floating piece (the hole left white) and
// moves it. A floating piece (moved, or pasted) is shown over the picture without being part of
// it until it is put down, as one change of the picture. The selection's outline and the
// floating piece are drawn by the view, not on the picture.
#ifndef KV_SELECTIONMODEL_H
#define KV_SELECTIONMODEL_H

#include "kv_tool.h"

#include <QImage>
#include <QPoint>
#include <QRect>

class KV_ToolsController;
class KVQ_ImageDocument;

class KV_SelectionModel : public KV_Tool {
public:
    explicit KV_SelectionModel(KV_ToolsController* controller);

    void press(QMouseEvent* e) override;
    void move(QMouseEvent* e) override;
    void release(QMouseEvent* e) override;
    // A tool change puts a floating piece down where it is and forgets the selection.
    void cancel() override;
    // A floating piece is put down; the selection stays.
    void settle() override { putDown(); }
    void abandon() override;
    void paintOverlay(QPainter* painter) const override;

    bool hasSelection() const { return !rect.isEmpty(); }
    // The selected rectangle, in picture pixels (a floating piece may reach beyond the picture).
    QRect selection() const { return rect; }
    bool isFloating() const { return !piece.isNull(); }
    // Where a lifted piece came from (empty for a pasted one).
    QRect hole() const { return holeRect; }

    // Selects `area` (within the picture), putting a floating piece down first.
    void select(const QRect& area);
    void selectAll();
    // The selected pixels: the floating piece, or the picture's pixels under the selection.
    QImage selectedImage() const;
    // Clears the selection to white, as one change, and forgets it. A floating piece is
    // dropped, and only its hole cleared.
    void deleteSelection();
    // The selected pixels, cleared as deleteSelection does.
    QImage cut();
    // Makes `image` a floating piece with its top left corner at `at`.
    void paste(const QImage& image, QPoint at);
    // Puts a floating piece on the picture where it is, with its hole white, as one change.
    void putDown();
    // Escape: a floating piece is put down; a selection that does not float is forgotten.
    void escape();
    // Forgets the selection (a floating piece is dropped, the picture unchanged).
    void forget();

private:
    enum class Drag { None, Selecting, Moving };

    KVQ_ImageDocument* document() const;
    QRect pictureRect() const;
    // Takes the selected pixels off the picture as the floating piece; the picture itself
    // changes when the piece is put down.
    void lift();
    void showChange(const QRect& before);

    KV_ToolsController* controller;
    Drag drag = Drag::None;
    QPoint anchor; // where a selecting drag began
    QPoint grab;   // the pen's offset from the top left of a piece being moved
    QRect rect;
    QRect holeRect;
    QImage piece;
};

#endif
