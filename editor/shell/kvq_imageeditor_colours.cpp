// The colour pickers of the line, fill and shapes tool bars and the colours their buttons show;
// the eraser's tool bar, its size popup and the pointer that shows its size; and the slots that
// set colours, the eraser's size and the tool by name (for remote control).
#include "kvq_imageeditor.h"

#include "kv_toolcodes.h"
#include "kv_toolscontroller.h"
#include "kv_zoomlevels.h"
#include "kvq_colourpopup.h"
#include "kvq_imagedocument.h"
#include "kvq_popupmenu.h"
#include "kvq_toolbar.h"

#include <QAction>
#include <QCursor>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

// The eraser sizes the popup offers, in pixels.
const int EraserSizes[] = {4, 8, 16, 32};
// The largest pointer drawn for the eraser: beyond it the square would hide the picture.
constexpr int CursorMax = 128;

// A picker's icon with a band of the colour along its bottom.
QIcon pickerIcon(const char* file, const QColor& colour) {
    QPixmap pm{QLatin1String(file)};
    if (pm.isNull()) {
        pm = QPixmap(24, 24);
        pm.fill(Qt::transparent);
    }
    QPainter p(&pm);
    const int band = std::max(4, pm.height() / 4);
    const QRect r(0, pm.height() - band, pm.width(), band);
    p.fillRect(r, colour.isValid() ? colour : QColor(Qt::white));
    p.setPen(QColor(Qt::black));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (!colour.isValid()) {
        p.setPen(QColor(Qt::red));
        p.drawLine(r.bottomLeft(), r.topRight());
    }
    return QIcon(pm);
}

// The eraser size's icon: a black square of the size (a quarter of it beyond 16 pixels, so
// that every size fits a 24-pixel button and the sizes still differ) with its number.
QPixmap eraserIcon(int size) {
    constexpr int Side = 24;
    QPixmap pm(Side, Side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const int shown = size <= 16 ? size : 16 + (size - 16) / 4;
    const int at = (Side - shown) / 2;
    p.fillRect(QRect(at, at, shown, shown), QColor(Qt::black));
    p.setPen(QColor(size >= 12 ? Qt::white : Qt::black));
    QFont font = p.font();
    font.setPixelSize(9);
    p.setFont(font);
    if (size >= 12)
        p.drawText(QRect(at, at, shown, shown), Qt::AlignCenter, QString::number(size));
    else
        p.drawText(QRect(0, Side - 10, Side, 10), Qt::AlignRight, QString::number(size));
    return pm;
}

// A colour from a name ("red") or #rrggbb; invalid when it is neither.
QColor colourNamed(const QString& name) {
    return QColor::fromString(name.trimmed());
}

} // namespace

void KVQ_imageEditor::buildColourTools() {
    eraserSizeAction = new QAction(this);
    eraserSizeAction->setObjectName(QStringLiteral("eraserSize"));
    eraserSizeAction->setToolTip(tr("Eraser size"));
    connect(eraserSizeAction, &QAction::triggered, this, [this] { eraserSizeButton(); });
    eraserToolBar = new KVQ_ToolBar(this, "eraserToolBar", nullptr);
    eraserToolBar->addAction(eraserSizeAction);
    eraserToolBar->hide();
    connect(document, &KVQ_ImageDocument::zoomChanged, this, &KVQ_imageEditor::followEraserCursor);
    showColours();
}

void KVQ_imageEditor::showColours() {
    if (!document)
        return;
    const KV_ToolsController* tools = document->toolsController();
    lineActions[5]->setIcon(pickerIcon("colorpicker.png", tools->activeLineColor()));
    fillActions[1]->setIcon(QIcon(KVQ_ColourPopup::swatch(tools->activeFloodColor(), 24)));
    fillActions[2]->setIcon(pickerIcon("colorpicker.png", tools->activeFloodColor()));
    shapeActions[8]->setIcon(
        pickerIcon("colorpicker.png", shapesFillBlack ? tools->activeFillColor() : QColor()));
    eraserSizeAction->setIcon(QIcon(eraserIcon(tools->activeEraserSize())));
}

bool KVQ_imageEditor::runColourPopup(QAction* button, const QColor& now, QColor* chosen,
                                     bool* noFill) {
    KVQ_ColourPopup popup(this, noFill != nullptr, now);
    // Over the button, as the attribute popups open over their bars.
    QPoint at = mapToGlobal(QPoint(0, height()));
    for (KVQ_ToolBar* bar : {lineToolBar, fillToolBar, shapesToolBar})
        if (QWidget* shown = bar->widgetForAction(button); shown && shown->isVisible())
            at = shown->mapToGlobal(QPoint(0, 0));
    switch (popup.exec(at)) {
    case KVQ_ColourPopup::Outcome::Colour:
        *chosen = popup.colour();
        if (noFill)
            *noFill = false;
        return true;
    case KVQ_ColourPopup::Outcome::NoFill:
        if (noFill)
            *noFill = true;
        return noFill != nullptr;
    case KVQ_ColourPopup::Outcome::Dismissed:
        break;
    }
    return false;
}

void KVQ_imageEditor::pickLineColour() {
    QColor chosen;
    if (document && runColourPopup(lineActions[5], document->toolsController()->activeLineColor(),
                                   &chosen, nullptr))
        applyLineColour(chosen);
}

void KVQ_imageEditor::pickFloodColour() {
    QColor chosen;
    if (document && runColourPopup(fillActions[2], document->toolsController()->activeFloodColor(),
                                   &chosen, nullptr))
        applyFloodColour(chosen);
}

void KVQ_imageEditor::pickShapeFill() {
    QColor chosen;
    bool noFill = false;
    if (!runColourPopup(shapeActions[8], shapesFillColour, &chosen, &noFill))
        return;
    if (!noFill)
        shapesFillColour = chosen;
    shapesFillBlack = !noFill;
    applyShapeFill();
}

void KVQ_imageEditor::applyLineColour(const QColor& colour) {
    if (!document || !colour.isValid())
        return;
    document->setToolColor(ColorLine, colour);
    showColours();
}

void KVQ_imageEditor::applyFloodColour(const QColor& colour) {
    if (!document || !colour.isValid())
        return;
    document->setToolColor(ColorFlood, colour);
    showColours();
}

void KVQ_imageEditor::applyShapeFill() {
    if (!document)
        return;
    if (shapesFillBlack)
        document->setToolColor(ColorShapeFill,
                               shapesFillColour.isValid() ? shapesFillColour : QColor(Qt::black));
    else
        document->setToolColor(ColorFill, QColor(Qt::white)); // white: no fill
    showColours();
}

void KVQ_imageEditor::eraserSizeButton() {
    int id = -1;
    {
        std::unique_ptr<KVQ_PopupMenu> menu(new KVQ_PopupMenu(this, nullptr));
        for (int size : EraserSizes)
            menu->insertItem(eraserIcon(size), size);
        QPoint at = mapToGlobal(QPoint(0, height()));
        if (QWidget* shown = eraserToolBar->widgetForAction(eraserSizeAction))
            at = shown->mapToGlobal(QPoint(0, 0));
        menu->move(at - QPoint(0, menu->sizeHint().height()));
        id = menu->exec();
    }
    if (std::find(std::begin(EraserSizes), std::end(EraserSizes), id) != std::end(EraserSizes))
        setEraserSize(id);
}

void KVQ_imageEditor::followEraserCursor() {
    if (!document)
        return;
    QWidget* view = document->viewport();
    const KV_ToolsController* tools = document->toolsController();
    if (tools->activeTool() != ToolEraser || document->panMode()) {
        // The pan mode keeps its hand; any other tool the arrow.
        if (!document->panMode())
            view->setCursor(Qt::ArrowCursor);
        return;
    }
    const KV_ZoomLevels::Scale scale = KV_ZoomLevels::scale(document->zoomLevel());
    const int side = std::clamp(tools->activeEraserSize() * scale.num / scale.den, 3, CursorMax);
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    {
        // Black outside and white inside, seen on any picture.
        QPainter p(&pm);
        p.setPen(QColor(Qt::black));
        p.drawRect(0, 0, side - 1, side - 1);
        if (side > 4) {
            p.setPen(QColor(Qt::white));
            p.drawRect(1, 1, side - 3, side - 3);
        }
    }
    view->setCursor(QCursor(pm, side / 2, side / 2));
}

// Remote control.

void KVQ_imageEditor::setLineColor(QString name) {
    const QColor colour = colourNamed(name);
    if (!colour.isValid()) {
        qWarning("setLineColor: \"%s\" is not a colour", qPrintable(name));
        return;
    }
    applyLineColour(colour);
}

void KVQ_imageEditor::setFillColor(QString name) {
    const QColor colour = colourNamed(name);
    if (!colour.isValid()) {
        qWarning("setFillColor: \"%s\" is not a colour", qPrintable(name));
        return;
    }
    applyFloodColour(colour);
}

void KVQ_imageEditor::setShapeFillColor(QString name) {
    if (name.trimmed().compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
        shapesFillBlack = false;
        applyShapeFill();
        return;
    }
    const QColor colour = colourNamed(name);
    if (!colour.isValid()) {
        qWarning("setShapeFillColor: \"%s\" is not a colour", qPrintable(name));
        return;
    }
    shapesFillColour = colour;
    shapesFillBlack = true;
    applyShapeFill();
}

void KVQ_imageEditor::setEraserSize(int size) {
    if (!document)
        return;
    if (size < EraserSizeMin || size > EraserSizeMax) {
        qWarning("setEraserSize: %d is not a size from %d to %d", size, EraserSizeMin,
                 EraserSizeMax);
        return;
    }
    document->toolsController()->setEraserSize(size);
    showColours();
    followEraserCursor();
}

void KVQ_imageEditor::chooseTool(QString name) {
    static const char* const Names[6] = {"pencil", "fill", "text", "shapes", "eraser", "select"};
    const QString wanted = name.trimmed().toLower();
    for (int i = 0; i < 6; ++i)
        if (wanted == QLatin1String(Names[i])) {
            modeActions[i]->trigger();
            return;
        }
    qWarning("chooseTool: no tool \"%s\"", qPrintable(name));
}
