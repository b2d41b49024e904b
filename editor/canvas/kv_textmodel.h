// KV_TextModel: the text tool. A press places a text cursor; typed text appears at once in the
// line colour, in the chosen pixel size, shown over the picture without being part of it. The
// text is put on the picture as one change when it is committed (a press elsewhere, a tool
// change, Control+Return), and dropped by Escape. Text is drawn without smoothing on a picture
// read from a 1-bit or 8-bit file.
#ifndef KV_TEXTMODEL_H
#define KV_TEXTMODEL_H

#include "kv_tool.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class KV_ToolsController;
class KVQ_ImageDocument;
class QKeyEvent;

class KV_TextModel : public KV_Tool {
public:
    static constexpr int SmallSize = 12;
    static constexpr int MediumSize = 20;
    static constexpr int LargeSize = 32;
    static constexpr const char* FontFamily = "DejaVu Sans";

    explicit KV_TextModel(KV_ToolsController* controller);

    // A press inside the text being typed moves the cursor there; elsewhere the text is
    // committed and the cursor placed at the press (the top left of the first line).
    void press(QMouseEvent* e) override;
    void move(QMouseEvent* e) override;
    void release(QMouseEvent* e) override;
    // A tool change commits the text: what was typed is what the user sees on the picture.
    void cancel() override { commit(); }
    void settle() override { commit(); }
    void abandon() override { drop(); }
    void paintOverlay(QPainter* painter) const override;

    // Places the text cursor at `at` (picture pixels), committing any text first.
    void begin(QPoint at);
    bool isTyping() const { return typing; }
    // Inserts `text` at the cursor: a line break starts a new line; other control characters
    // are left out. False when there is no text cursor.
    bool insert(const QString& text);
    // Editing keys (Backspace, Delete, Return, the arrows, Home, End) and keys that give text.
    // True when the key was used.
    bool key(QKeyEvent* e);
    // Puts the text on the picture as one change and ends typing; an empty text changes
    // nothing.
    void commit();
    // Ends typing without changing the picture.
    void drop();

    void setPixelSize(int size);
    int pixelSize() const { return size; }
    QStringList lines() const { return text; }
    int cursorLine() const { return line; }
    int cursorColumn() const { return column; }
    // The picture pixels the text may cover (empty when not typing).
    QRect box() const { return typing ? shownBox : QRect(); }
    // The cursor's place, in picture pixels.
    QRect cursorRect() const;
    // The font the text is drawn in: smoothed or not, as the picture's depth asks.
    QFont font() const;

private:
    KVQ_ImageDocument* document() const;
    bool smooth() const;
    // Draws the text anew into `rendered` and repaints the view over the old and new box.
    void render();
    void moveCursor(int key);

    KV_ToolsController* controller;
    bool typing = false;
    QPoint origin; // top left of the first line
    QStringList text;
    int line = 0;
    int column = 0;
    int size = MediumSize;
    QRect shownBox;
    QImage rendered; // the text over transparency, the size of shownBox
};

#endif
