#include "kv_textmodel.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int MinimumSize = 4;
constexpr int MaximumSize = 512;

// Where a character may start: not between the halves of a surrogate pair.
int stepBack(const QString& s, int column) {
    if (column >= 2 && s.at(column - 1).isLowSurrogate() && s.at(column - 2).isHighSurrogate())
        return column - 2;
    return std::max(0, column - 1);
}

int stepForward(const QString& s, int column) {
    if (column + 1 < s.size() && s.at(column).isHighSurrogate() &&
        s.at(column + 1).isLowSurrogate())
        return column + 2;
    return std::min<int>(int(s.size()), column + 1);
}

} // namespace

KV_TextModel::KV_TextModel(KV_ToolsController* c) : controller(c) {}

KVQ_ImageDocument* KV_TextModel::document() const {
    return controller ? controller->document() : nullptr;
}

bool KV_TextModel::smooth() const {
    const KVQ_ImageDocument* doc = document();
    return !doc || doc->pictureDepth().bits() >= 32;
}

QFont KV_TextModel::font() const {
    QFont f(QString::fromLatin1(FontFamily));
    f.setPixelSize(size);
    if (!smooth())
        f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

void KV_TextModel::setPixelSize(int pixels) {
    size = std::clamp(pixels, MinimumSize, MaximumSize);
    if (typing)
        render();
}

// ---- pen events --------------------------------------------------------------------------

void KV_TextModel::press(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (typing && shownBox.contains(p)) {
        // The cursor goes to the line and the character boundary nearest the press.
        const QFontMetrics fm(font());
        line = std::clamp((p.y() - origin.y()) / fm.lineSpacing(), 0, int(text.size()) - 1);
        const QString& s = text.at(line);
        column = 0;
        int best = -1;
        for (int c = 0;; c = stepForward(s, c)) {
            const int distance = std::abs(p.x() - origin.x() - fm.horizontalAdvance(s.left(c)));
            if (best < 0 || distance < best) {
                best = distance;
                column = c;
            }
            if (c >= s.size())
                break;
        }
        render();
        return;
    }
    begin(p);
}

void KV_TextModel::move(QMouseEvent*) {}

void KV_TextModel::release(QMouseEvent*) {}

// ---- typing ------------------------------------------------------------------------------

void KV_TextModel::begin(QPoint at) {
    commit();
    typing = true;
    origin = at;
    text = QStringList{QString()};
    line = 0;
    column = 0;
    shownBox = QRect();
    render();
}

bool KV_TextModel::insert(const QString& s) {
    if (!typing)
        return false;
    for (const QChar ch : s) {
        if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) {
            const QString rest = text[line].mid(column);
            text[line].truncate(column);
            text.insert(line + 1, rest);
            ++line;
            column = 0;
        } else if (ch.isPrint() || ch.isSurrogate()) {
            text[line].insert(column, ch);
            ++column;
        }
    }
    render();
    return true;
}

void KV_TextModel::moveCursor(int key) {
    switch (key) {
    case Qt::Key_Left:
        if (column > 0)
            column = stepBack(text[line], column);
        else if (line > 0)
            column = int(text[--line].size());
        break;
    case Qt::Key_Right:
        if (column < text[line].size())
            column = stepForward(text[line], column);
        else if (line + 1 < text.size()) {
            ++line;
            column = 0;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int next = key == Qt::Key_Up ? line - 1 : line + 1;
        if (next < 0 || next >= text.size())
            break;
        line = next;
        column = std::min<int>(column, int(text[line].size()));
        if (column > 0 && text[line].at(column - 1).isHighSurrogate())
            --column;
        break;
    }
    case Qt::Key_Home:
        column = 0;
        break;
    case Qt::Key_End:
        column = int(text[line].size());
        break;
    default:
        break;
    }
}

bool KV_TextModel::key(QKeyEvent* e) {
    if (!typing)
        return false;
    switch (e->key()) {
    case Qt::Key_Backspace:
        if (column > 0) {
            const int to = stepBack(text[line], column);
            text[line].remove(to, column - to);
            column = to;
        } else if (line > 0) {
            column = int(text[line - 1].size());
            text[line - 1] += text.takeAt(line);
            --line;
        }
        render();
        return true;
    case Qt::Key_Delete:
        if (column < text[line].size())
            text[line].remove(column, stepForward(text[line], column) - column);
        else if (line + 1 < text.size())
            text[line] += text.takeAt(line + 1);
        render();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return insert(QStringLiteral("\n"));
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        moveCursor(e->key());
        render();
        return true;
    default:
        break;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    const QString typed = e->text();
    if (typed.isEmpty() || !(typed.at(0).isPrint() || typed.at(0).isSurrogate()))
        return false;
    return insert(typed);
}

void KV_TextModel::render() {
    KVQ_ImageDocument* doc = document();
    const QFont f = font();
    const QFontMetrics fm(f);
    int widest = 0;
    for (const QString& s : text)
        widest = std::max(widest, fm.horizontalAdvance(s));
    // Glyphs may reach beyond their advance and above the ascent (accents, italics): the box
    // has room for that on every side.
    const int pad = size / 2 + 1;
    const QRect before = shownBox;
    shownBox = QRect(origin.x() - pad, origin.y() - pad, widest + 2 * pad + 1,
                     int(text.size()) * fm.lineSpacing() + 2 * pad);
    rendered = QImage(shownBox.size(), QImage::Format_ARGB32_Premultiplied);
    rendered.fill(Qt::transparent);
    {
        QPainter p(&rendered);
        p.setRenderHint(QPainter::Antialiasing, smooth());
        p.setRenderHint(QPainter::TextAntialiasing, smooth());
        p.setFont(f);
        p.setPen(controller ? controller->activeLineColor() : QColor(Qt::black));
        for (int i = 0; i < text.size(); ++i)
            p.drawText(pad, pad + i * fm.lineSpacing() + fm.ascent(), text.at(i));
    }
    if (doc) {
        doc->updateOverlay(before);
        doc->updateOverlay(shownBox);
    }
}

QRect KV_TextModel::cursorRect() const {
    if (!typing)
        return QRect();
    const QFontMetrics fm(font());
    const int x = origin.x() + fm.horizontalAdvance(text.at(line).left(column));
    return QRect(x, origin.y() + line * fm.lineSpacing(), 1, fm.height());
}

void KV_TextModel::commit() {
    if (!typing)
        return;
    KVQ_ImageDocument* doc = document();
    const bool written =
        std::any_of(text.cbegin(), text.cend(), [](const QString& s) { return !s.isEmpty(); });
    const QRect area = shownBox;
    const QImage drawn = rendered;
    drop();
    if (!doc || !written)
        return;
    doc->aboutToChange(area);
    QPainter* painter = doc->painter();
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawImage(area.topLeft(), drawn);
    painter->restore();
    doc->updateImage();
    doc->finishChange();
}

void KV_TextModel::drop() {
    if (!typing)
        return;
    typing = false;
    const QRect area = shownBox;
    text.clear();
    line = 0;
    column = 0;
    shownBox = QRect();
    rendered = QImage();
    if (KVQ_ImageDocument* doc = document())
        doc->updateOverlay(area);
}

void KV_TextModel::paintOverlay(QPainter* painter) const {
    const KVQ_ImageDocument* doc = document();
    if (!typing || !doc)
        return;
    // Scaled pixel by pixel, as the picture is when enlarged.
    painter->drawImage(doc->contentsToViewport(shownBox), rendered);
    QRect cursor = doc->contentsToViewport(cursorRect());
    cursor.setWidth(std::max(1, cursor.width()));
    cursor.setHeight(std::max(1, cursor.height()));
    // Inverted, so that it shows on any colour.
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_Difference);
    painter->fillRect(cursor, Qt::white);
    painter->restore();
}
