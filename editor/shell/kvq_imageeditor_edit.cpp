// Text and selection: the text and selection view tool bars, the keys while text is typed, the
// input methods' text, and the clipboard (copy, cut, paste of images).
#include "kvq_imageeditor.h"

#include "kv_selectionmodel.h"
#include "kv_textmodel.h"
#include "kv_toolcodes.h"
#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"
#include "kvq_messagebox.h"
#include "kvq_popupmenu.h"
#include "kvq_toolbar.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <algorithm>
#include <memory>

namespace {

struct TextSize {
    int pixels;
    const char* name;
};
const TextSize TextSizes[] = {{KV_TextModel::SmallSize, "Small"},
                              {KV_TextModel::MediumSize, "Medium"},
                              {KV_TextModel::LargeSize, "Large"}};

QString sizeText(int pixels) {
    return QStringLiteral("%1 px").arg(pixels);
}

} // namespace

void KVQ_imageEditor::buildEditBars() {
    textToolBar = new KVQ_ToolBar(this, "", nullptr);
    textSizeAction = new QAction(this);
    textSizeAction->setObjectName(QStringLiteral("textSizeTool"));
    textSizeAction->setText(sizeText(KV_TextModel::MediumSize));
    textSizeAction->setToolTip(tr("Text size"));
    textToolBar->addAction(textSizeAction);
    textToolBar->hide();
    connect(textSizeAction, &QAction::triggered, this, &KVQ_imageEditor::textSizePopup);

    selectToolBar = new KVQ_ToolBar(this, "", nullptr);
    const struct {
        QAction** action;
        const char* name;
        const char* text;
        const char* tip;
        bool (KVQ_imageEditor::*slot)();
    } buttons[] = {
        {&copyAction, "selectionCopy", "Copy", "Copy (Ctrl+C)", &KVQ_imageEditor::copy},
        {&cutAction, "selectionCut", "Cut", "Cut (Ctrl+X)", &KVQ_imageEditor::cut},
        {&pasteAction, "selectionPaste", "Paste", "Paste (Ctrl+V)", &KVQ_imageEditor::paste}};
    for (const auto& b : buttons) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(b.name));
        action->setText(tr(b.text));
        action->setToolTip(tr(b.tip));
        selectToolBar->addAction(action);
        const auto slot = b.slot;
        connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        *b.action = action;
    }
    selectToolBar->hide();
}

KV_TextModel* KVQ_imageEditor::textModel() const {
    return document ? document->toolsController()->textModel() : nullptr;
}

KV_SelectionModel* KVQ_imageEditor::selectionModel() const {
    return document ? document->toolsController()->selectionModel() : nullptr;
}

bool KVQ_imageEditor::typingText() const {
    const KV_TextModel* text = textModel();
    return text && text->isTyping();
}

void KVQ_imageEditor::textSizePopup() {
    int id = -1;
    {
        // Built for this use and gone with it.
        std::unique_ptr<KVQ_PopupMenu> menu(new KVQ_PopupMenu(this, nullptr));
        for (const TextSize& size : TextSizes)
            menu->insertItem(tr(size.name) + QStringLiteral(" (") + sizeText(size.pixels) +
                                 QLatin1Char(')'),
                             size.pixels);
        menu->move(x(), y() + height() - 75);
        id = menu->exec();
    }
    // A dismissed popup changes nothing.
    if (id > 0)
        setTextSize(id);
}

// ---- keys and input methods --------------------------------------------------------------

bool KVQ_imageEditor::typingKey(QKeyEvent* event) {
    KV_TextModel* text = textModel();
    if (!text || !text->isTyping())
        return false;
    const int key = event->key();
    // Control is still followed as always, so that its state is right once the text is done.
    if (key == Qt::Key_Control)
        return false;
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    if (key == Qt::Key_Escape)
        text->drop();
    else if (control && (key == Qt::Key_Return || key == Qt::Key_Enter))
        text->commit();
    else if (!control)
        text->key(event);
    followTyping();
    // Every other key (Tab, the Control letters) waits until the text is done.
    return true;
}

bool KVQ_imageEditor::selectionKey(QKeyEvent* event) {
    KV_SelectionModel* selection = selectionModel();
    if (!selection || !selection->hasSelection())
        return false;
    if (event->key() == Qt::Key_Delete)
        selection->deleteSelection();
    else if (event->key() == Qt::Key_Escape)
        selection->escape();
    else
        return false;
    return true;
}

void KVQ_imageEditor::followTyping() {
    const bool on = document && document->toolsController()->activeTool() == ToolText;
    if (testAttribute(Qt::WA_InputMethodEnabled) == on)
        return;
    setAttribute(Qt::WA_InputMethodEnabled, on);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

bool KVQ_imageEditor::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && typingText()) {
        event->accept();
        return true;
    }
    return KVQ_Component::event(event);
}

void KVQ_imageEditor::inputMethodEvent(QInputMethodEvent* event) {
    KV_TextModel* text = textModel();
    if (text && text->isTyping() && !event->commitString().isEmpty())
        text->insert(event->commitString());
    event->accept();
}

QVariant KVQ_imageEditor::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return typingText();
    case Qt::ImCursorRectangle:
        if (const KV_TextModel* text = textModel(); text && text->isTyping()) {
            const QRect shown = document->contentsToViewport(text->cursorRect());
            return QRect(document->viewport()->mapTo(this, shown.topLeft()), shown.size());
        }
        return QRect();
    default:
        return KVQ_Component::inputMethodQuery(query);
    }
}

// ---- remote-control slots ----------------------------------------------------------------

void KVQ_imageEditor::chooseSelectionMode() {
    if (modeActions[5]->isChecked())
        return;
    // Not a move of the keyboard highlight: the mode's bookkeeping follows, as after a tap.
    const int busy = keyBusy;
    keyBusy = 0;
    modeActions[5]->setChecked(true);
    keyBusy = busy;
}

bool KVQ_imageEditor::copy() {
    const KV_SelectionModel* selection = selectionModel();
    const QImage image = selection ? selection->selectedImage() : QImage();
    if (image.isNull()) {
        qWarning("Copy: nothing is selected");
        return false;
    }
    QGuiApplication::clipboard()->setImage(image);
    return true;
}

bool KVQ_imageEditor::cut() {
    KV_SelectionModel* selection = selectionModel();
    if (!selection || !selection->hasSelection()) {
        qWarning("Cut: nothing is selected");
        return false;
    }
    QGuiApplication::clipboard()->setImage(selection->cut());
    return true;
}

bool KVQ_imageEditor::paste() {
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) {
        qWarning("Paste: the clipboard holds no picture");
        return false;
    }
    return pasteImage(image);
}

bool KVQ_imageEditor::pasteImage(const QImage& image) {
    if (!document || image.isNull())
        return false;
    chooseSelectionMode();
    KV_SelectionModel* selection = selectionModel();
    QImage piece = image;
    const QSize size = document->pmScaled()->size();
    if (image.width() > size.width() || image.height() > size.height()) {
        const QString question =
            tr("The picture pasted (%1 x %2) is larger than this one (%3 x %4).\n"
               "Enlarge this picture to take it?")
                .arg(image.width())
                .arg(image.height())
                .arg(size.width())
                .arg(size.height());
        const int answer = KVQ_MessageBox::information(this, tr("Paste"), question, tr("Yes"),
                                                       tr("No"), QString(), 0, 1);
        // Refused, or the picture could not grow: the paste is cut to the picture's size.
        if (answer != 0 || !document->enlargePicture(image.size()))
            piece = image.copy(QRect(QPoint(0, 0), size));
    }
    // At the top left of the part of the picture in view, as far as the piece fits there.
    const QSize now = document->pmScaled()->size();
    const QPoint at(
        std::clamp(document->contentsX(), 0, std::max(0, now.width() - piece.width())),
        std::clamp(document->contentsY(), 0, std::max(0, now.height() - piece.height())));
    selection->paste(piece, at);
    return true;
}

bool KVQ_imageEditor::selectAll() {
    if (!document)
        return false;
    chooseSelectionMode();
    selectionModel()->selectAll();
    return true;
}

bool KVQ_imageEditor::deleteSelection() {
    KV_SelectionModel* selection = selectionModel();
    if (!selection || !selection->hasSelection()) {
        qWarning("Delete: nothing is selected");
        return false;
    }
    selection->deleteSelection();
    return true;
}

void KVQ_imageEditor::setTextSize(int pixels) {
    KV_TextModel* text = textModel();
    if (!text)
        return;
    text->setPixelSize(pixels);
    textSizeAction->setText(sizeText(text->pixelSize()));
}

bool KVQ_imageEditor::typeText(QString typed) {
    KV_TextModel* text = textModel();
    if (!text || !text->isTyping()) {
        qWarning("typeText: there is no text cursor (click on the picture in the text mode)");
        return false;
    }
    return text->insert(typed);
}
