// The application bar: pan (a mode in which a drag moves the view; leaving it, the pen draws
// with the tool it had), zoom out and in, undo and redo, and the zoom level shown beside them.
#include "kvq_imageeditor.h"

#include "kv_zoomlevels.h"
#include "kvq_imagedocument.h"

#include <QAction>
#include <QLabel>

void KVQ_imageEditor::apToolBar(bool on) {
    // The pan button's slot. Called from outside, it moves the button, which calls it again.
    if (appActions[0]->isChecked() != on) {
        appActions[0]->setChecked(on);
        return;
    }
    if (document)
        document->setPanMode(on);
    followEraserCursor(); // leaving the pan mode gives the view the arrow back
}

void KVQ_imageEditor::undo() {
    if (document)
        document->undo();
}

void KVQ_imageEditor::redo() {
    if (document)
        document->redo();
}

void KVQ_imageEditor::zoomIn() {
    if (document)
        document->zoomIn();
}

void KVQ_imageEditor::zoomOut() {
    if (document)
        document->zoomOut();
}

void KVQ_imageEditor::setZoom(int percent) {
    if (document)
        document->setZoomLevel(KV_ZoomLevels::nearest(percent));
}

void KVQ_imageEditor::followHistory() {
    if (!document)
        return;
    appActions[3]->setEnabled(document->canUndo());
    redoAction->setEnabled(document->canRedo());
}

void KVQ_imageEditor::followZoom() {
    if (!document)
        return;
    const int level = document->zoomLevel();
    zoomLabel->setText(KV_ZoomLevels::text(level));
    appActions[1]->setEnabled(level > 0);
    appActions[2]->setEnabled(level < KV_ZoomLevels::count() - 1);
}
