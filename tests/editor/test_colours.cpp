// The colour pickers with their popup (chosen with the pen, the keys or Qt's colour dialog;
// dismissed), the colours the tool bars show, the shapes' fill (a colour, white, "No fill"), the
// eraser mode with its size popup and pointer, and the slots for remote control.
#include "editor_fixture.h"
#include "kvq_colourpopup.h"
#include "kvq_popupmenu.h"

#include <QColorDialog>
#include <QMenu>
#include <QRegularExpression>

namespace {

constexpr QRgb Red = 0xffff0000u;

// The index of colour in the popup's grid, or -1.
int indexOf(KVQ_ColourPopup* popup, const QColor& colour) {
    for (int i = 0; i < popup->swatchCount(); ++i)
        if (popup->swatchColour(i) == colour)
            return i;
    return -1;
}

// A step that clicks the popup's entry (a colour of the grid, or an index).
ModalScript::Step clickEntry(std::function<int(KVQ_ColourPopup*)> which) {
    return [which](QWidget* w) {
        auto* popup = qobject_cast<KVQ_ColourPopup*>(w);
        if (!popup) {
            ADD_FAILURE() << "not the colour popup";
            w->close();
            return;
        }
        const int index = which(popup);
        ASSERT_GE(index, 0);
        QTest::mouseMove(popup, popup->entryRect(index).center());
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->entryRect(index).center());
    };
}

ModalScript::Step clickColour(QColor colour) {
    return clickEntry([colour](KVQ_ColourPopup* p) { return indexOf(p, colour); });
}

// The colour at the middle of the bottom band of an icon (a picker's colour band), or its
// middle (a swatch).
QRgb iconColour(QAction* action, bool band) {
    const QImage im = action->icon().pixmap(24, 24).toImage();
    return im.pixel(im.width() / 2, band ? im.height() - 3 : im.height() / 2);
}

// Counts the warnings the editor's remote-control slots log while it lives (the platform may log
// its own).
class WarningCounter {
public:
    WarningCounter() {
        count = 0;
        previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                static const QRegularExpression own(
                    QStringLiteral("^(setLineColor|setFillColor|setShapeFillColor|setEraserSize|"
                                   "chooseTool): "));
                count += type == QtWarningMsg && own.match(text).hasMatch();
            });
    }
    ~WarningCounter() { qInstallMessageHandler(previous); }
    int warnings() const { return count; }

private:
    static inline int count = 0;
    QtMessageHandler previous;
};

} // namespace

using Colours = EditorTest;

TEST_F(Colours, RedFromTheFillPopupFillsRedAndADismissedPopupChangesNothing) {
    tap(editor->modeActions[1]);
    EXPECT_EQ(iconColour(editor->fillActions[1], false), Black);
    {
        ModalScript script({clickColour(Qt::red)});
        tap(editor->fillActions[2]);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_EQ(tools()->activeFloodColor(), QColor(Qt::red));
    EXPECT_EQ(iconColour(editor->fillActions[1], false), Red); // the colour holder
    EXPECT_EQ(iconColour(editor->fillActions[2], true), Red);
    press({100, 100});
    release({100, 100});
    EXPECT_EQ(picture().pixel(10, 10), Red);
    EXPECT_EQ(picture().pixel(479, 319), Red);

    // Escape, and a click beside the popup, dismiss it: the colour stays.
    {
        ModalScript script({ModalScript::key(Qt::Key_Escape)});
        tap(editor->fillActions[2]);
        ASSERT_TRUE(script.finished());
    }
    {
        ModalScript script({[](QWidget* w) {
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(-20, -20));
            if (w->isVisible())
                w->close();
        }});
        tap(editor->fillActions[2]);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_EQ(tools()->activeFloodColor(), QColor(Qt::red));
    EXPECT_EQ(iconColour(editor->fillActions[1], false), Red);
}

TEST_F(Colours, ThePopupAnswersArrowKeysAndOtherOpensTheColourDialog) {
    tap(editor->modeActions[1]);
    // From black (the top left) down one row and right one column, then Return.
    {
        ModalScript script({[](QWidget* w) {
            auto* popup = qobject_cast<KVQ_ColourPopup*>(w);
            ASSERT_NE(popup, nullptr);
            EXPECT_EQ(popup->currentIndex(), 0);
            for (Qt::Key k : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down})
                QTest::keyClick(w, k);
            EXPECT_EQ(popup->currentIndex(), 6);
            QTest::keyClick(w, Qt::Key_Return);
        }});
        tap(editor->fillActions[2]);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_EQ(tools()->activeFloodColor(), QColor(Qt::red));

    // From red up to the top row, and up again to "Other…"; Qt's dialog then gives any colour.
    const auto dialogColour = [](QColor c, bool accept) -> ModalScript::Step {
        return [c, accept](QWidget* w) {
            auto* dialog = qobject_cast<QColorDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            dialog->setCurrentColor(c);
            if (accept)
                dialog->accept();
            else
                dialog->reject();
        };
    };
    {
        ModalScript script({[](QWidget* w) {
                                auto* popup = qobject_cast<KVQ_ColourPopup*>(w);
                                ASSERT_NE(popup, nullptr);
                                for (int i = 0; i < 2; ++i)
                                    QTest::keyClick(w, Qt::Key_Up);
                                EXPECT_EQ(popup->currentIndex(), popup->otherIndex());
                                QTest::keyClick(w, Qt::Key_Return);
                            },
                            dialogColour(QColor(10, 20, 30), true)});
        tap(editor->fillActions[2]);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_EQ(tools()->activeFloodColor(), QColor(10, 20, 30));
    // A cancelled dialog changes nothing.
    {
        ModalScript script({clickEntry([](KVQ_ColourPopup* p) { return p->otherIndex(); }),
                            dialogColour(QColor(200, 0, 200), false)});
        tap(editor->fillActions[2]);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_EQ(tools()->activeFloodColor(), QColor(10, 20, 30));
}

TEST_F(Colours, TheLinePickerColoursTheLinesAndShowsTheColour) {
    {
        ModalScript script({clickColour(Qt::blue)});
        tap(editor->lineActions[5]);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_EQ(tools()->activeLineColor(), QColor(Qt::blue));
    EXPECT_EQ(iconColour(editor->lineActions[5], true), 0xff0000ffu);
    EXPECT_EQ(editor->lineIndex, 5);
    EXPECT_EQ(editor->prevLineIndex, 4);
    stroke({50, 50}, {150, 50});
    EXPECT_EQ(picture().pixel(100, 50), 0xff0000ffu);
}

TEST_F(Colours, ShapesTakeAColourWhiteOrNoFillAndTheToggleFollows) {
    QImage black(480, 320, QImage::Format_RGB32);
    black.fill(Black);
    ASSERT_TRUE(doc()->restoreImage(black, QString(), nullptr));
    tap(editor->modeActions[3]);
    {
        // The shapes' popup offers "No fill" besides "Other…".
        ModalScript script({[](QWidget* w) {
            auto* popup = qobject_cast<KVQ_ColourPopup*>(w);
            ASSERT_NE(popup, nullptr);
            EXPECT_EQ(popup->count(), popup->swatchCount() + 2);
            EXPECT_EQ(popup->noFillIndex(), popup->swatchCount());
            clickColour(Qt::white)(w);
        }});
        tap(editor->shapeActions[8]);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_TRUE(tools()->shapesFilled());
    EXPECT_EQ(tools()->activeFillColor(), QColor(Qt::white));
    EXPECT_EQ(editor->shapesIndex, 8);
    EXPECT_EQ(editor->prevShapesIndex, 6);
    stroke({40, 40}, {120, 120});
    EXPECT_EQ(picture().pixel(80, 80), White); // filled white, not left empty

    {
        ModalScript script({clickEntry([](KVQ_ColourPopup* p) { return p->noFillIndex(); })});
        tap(editor->shapeActions[8]);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_FALSE(tools()->shapesFilled());
    stroke({200, 40}, {280, 120});
    EXPECT_EQ(picture().pixel(240, 80), Black);

    // The toggle brings the chosen white back, then takes it away again.
    tap(editor->shapeActions[6]);
    EXPECT_TRUE(tools()->shapesFilled());
    EXPECT_EQ(tools()->activeFillColor(), QColor(Qt::white));
    tap(editor->shapeActions[6]);
    EXPECT_FALSE(tools()->shapesFilled());

    // A dismissed popup changes nothing.
    {
        ModalScript script({ModalScript::key(Qt::Key_Escape)});
        tap(editor->shapeActions[8]);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_FALSE(tools()->shapesFilled());
    EXPECT_EQ(editor->shapesFillColour, QColor(Qt::white));
}

TEST_F(Colours, TheEraserModeItsSizePopupAndPointer) {
    QImage black(480, 320, QImage::Format_RGB32);
    black.fill(Black);
    ASSERT_TRUE(doc()->restoreImage(black, QString(), nullptr));
    {
        ModalScript none;
        tap(editor->modeActions[4]);
        EXPECT_TRUE(none.seen().empty()); // no "Not Implemented"
    }
    EXPECT_EQ(tools()->activeTool(), ToolEraser);
    EXPECT_EQ(editor->focusLevel, 1);
    EXPECT_EQ(editor->prevModeIndex, 3);
    EXPECT_EQ(editor->modeIndex, 4);
    EXPECT_TRUE(editor->eraserToolBar->isVisible());
    EXPECT_TRUE(editor->appToolBar->isVisible());
    EXPECT_FALSE(editor->lineToolBar->isVisible());
    EXPECT_EQ(editor->toolBar(), editor->eraserToolBar);

    // The pointer is the eraser's square: 8 pixels at 1:1.
    QWidget* view = doc()->viewport();
    EXPECT_EQ(view->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(view->cursor().pixmap().size(), QSize(8, 8));

    {
        ModalScript script({ModalScript::entry([](QMenu* m) {
            auto* menu = static_cast<KVQ_PopupMenu*>(m);
            EXPECT_EQ(menu->count(), 4);
            EXPECT_EQ(menu->idAt(3), 32);
            return menu->findItem(32);
        })});
        tap(editor->eraserSizeAction);
        ASSERT_TRUE(script.finished());
    }
    EXPECT_EQ(tools()->activeEraserSize(), 32);
    EXPECT_EQ(view->cursor().pixmap().size(), QSize(32, 32));
    editor->setZoom(300);
    EXPECT_EQ(view->cursor().pixmap().size(), QSize(96, 96));
    editor->setZoom(800);
    EXPECT_EQ(view->cursor().pixmap().size(), QSize(128, 128)); // capped
    editor->setZoom(100);
    // The pan mode shows its hand, and leaving it the square again; so does a drag with the
    // middle button.
    editor->apToolBar(true);
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    editor->apToolBar(false);
    EXPECT_EQ(view->cursor().pixmap().size(), QSize(32, 32));
    QTest::mousePress(view, Qt::MiddleButton, {}, QPoint(50, 50));
    EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseRelease(view, Qt::MiddleButton, {}, QPoint(60, 60));
    EXPECT_EQ(view->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(view->cursor().pixmap().size(), QSize(32, 32));

    // A dismissed size popup keeps the size.
    {
        ModalScript script({ModalScript::key(Qt::Key_Escape)});
        tap(editor->eraserSizeAction);
    }
    EXPECT_EQ(tools()->activeEraserSize(), 32);

    stroke({100, 100}, {200, 100});
    const QImage im = picture();
    EXPECT_EQ(im.pixel(84, 84), White);
    EXPECT_EQ(im.pixel(215, 115), White);
    EXPECT_EQ(im.pixel(83, 100), Black);
    EXPECT_EQ(im.pixel(216, 100), Black);
    EXPECT_EQ(im.pixel(150, 116), Black);
    EXPECT_TRUE(doc()->undo());
    EXPECT_TRUE(samePixels(picture(), black));

    // Another mode gives the arrow back.
    tap(editor->modeActions[0]);
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(editor->eraserToolBar->isVisible());
}

TEST_F(Colours, RemoteSlotsTakeNamesAndRefuseBadOnesWithOneLine) {
    WarningCounter log;
    editor->setFillColor(QStringLiteral("red"));
    editor->setLineColor(QStringLiteral("#00ff00"));
    editor->setShapeFillColor(QStringLiteral("white"));
    EXPECT_EQ(log.warnings(), 0);
    EXPECT_EQ(tools()->activeFloodColor(), QColor(Qt::red));
    EXPECT_EQ(tools()->activeLineColor(), QColor(Qt::green));
    EXPECT_TRUE(tools()->shapesFilled());
    EXPECT_EQ(tools()->activeFillColor(), QColor(Qt::white));

    for (const char* bad : {"reddish", "#12345", "", "#gg0000"}) {
        editor->setFillColor(QLatin1String(bad));
        editor->setLineColor(QLatin1String(bad));
        editor->setShapeFillColor(QLatin1String(bad));
    }
    EXPECT_EQ(log.warnings(), 12);
    EXPECT_EQ(tools()->activeFloodColor(), QColor(Qt::red));
    EXPECT_EQ(tools()->activeLineColor(), QColor(Qt::green));
    EXPECT_EQ(tools()->activeFillColor(), QColor(Qt::white));
    EXPECT_TRUE(tools()->shapesFilled());

    editor->setShapeFillColor(QStringLiteral("none"));
    EXPECT_FALSE(tools()->shapesFilled());

    editor->setEraserSize(16);
    editor->setEraserSize(0);
    editor->setEraserSize(1000);
    EXPECT_EQ(tools()->activeEraserSize(), 16);
    EXPECT_EQ(log.warnings(), 14);

    editor->chooseTool(QStringLiteral("eraser"));
    EXPECT_EQ(tools()->activeTool(), ToolEraser);
    EXPECT_TRUE(editor->modeActions[4]->isChecked());
    EXPECT_TRUE(editor->eraserToolBar->isVisible());
    editor->chooseTool(QStringLiteral("crayon"));
    EXPECT_EQ(log.warnings(), 15);
    EXPECT_EQ(tools()->activeTool(), ToolEraser);
    editor->chooseTool(QStringLiteral("fill"));
    EXPECT_EQ(tools()->activeTool(), ToolFill);
    EXPECT_EQ(editor->modeIndex, 1);
    editor->chooseTool(QStringLiteral("fill")); // again: stays on
    EXPECT_TRUE(editor->modeActions[1]->isChecked());
    editor->chooseTool(QStringLiteral("shapes"));
    EXPECT_EQ(tools()->activeTool(), ToolShape);
    editor->chooseTool(QStringLiteral("pencil"));
    EXPECT_EQ(tools()->activeTool(), ToolPencil);
}
