// KVQ_imageEditor: the image editor's main window. It builds the picture view (the image
// document), the file actions and menus, the title bar, six mode switches, three view tool bars
// (pencil and line, fill, shapes) and the application tool bar, and hands the current view bar,
// the application bar and the mode switches to the component base.
//
// The implementation is split by concern:
//   kvq_imageeditor.cpp        construction, destruction, icons, key mapping
//   kvq_imageeditor_tools.cpp  the mode switches and tool-bar buttons, attribute popups
//   kvq_imageeditor_keys.cpp   key handling and the keyboard highlight over the actions
//   kvq_imageeditor_files.cpp  New, Open, Save, Quit, the start-up open, a dropped file, display
//                              names
//   kvq_imageeditor_saveas.cpp Save As and the image-format helpers, About and Help
//   kvq_imageeditor_recovery.cpp the offer to reopen a picture recovered after a crash
//   kvq_imageeditor_view.cpp   the application bar: pan, zoom, undo and redo
//   kvq_imageeditor_colours.cpp the colour pickers, the eraser's tool bar and pointer, and the
//                              slots that set colours, the eraser's size and the tool by name
//   kvq_imageeditor_edit.cpp   text and selection: typing, the clipboard, their keys and bars
#ifndef KVQ_IMAGEEDITOR_H
#define KVQ_IMAGEEDITOR_H

#include "kv_fontwarmup.h"
#include "kvq_backpackfile.h"
#include "kvq_component.h"

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWindow>

class KVQ_ImageDocument;
class KV_SelectionModel;
class KV_TextModel;
class KV_RecoveryFile;
class KVQ_ColourPopup;
class KVQ_MenuBar;
class KVQ_PopupMenu;
class KVQ_TitleBar;
class KVQ_ToolBar;
class QAction;
class QCloseEvent;
class QActionGroup;
class QDragEnterEvent;
class QDropEvent;
class QImage;
class QInputMethodEvent;
class QKeyEvent;
class QLabel;
class QPixmap;
class QShowEvent;
class QToolBar;
class QUrl;

class KVQ_imageEditor : public KVQ_Component {
    Q_OBJECT

public:
    // fileName, when not empty, is opened at once (without a dialog).
    KVQ_imageEditor(QWidget* parent, const char* name, QString fileName);
    ~KVQ_imageEditor() override;

    // A new pixmap of the application icon, owned by the caller.
    QPixmap* createIcon();
    // A tool bar (a child of the window) holding the six mode switches.
    QToolBar* createModeBar();

    void initActionArray();
    // Runs the highlighted tool-bar button (the Return key).
    void callEvent();
    // Switches the keyboard highlight between the mode switches and the current tool bar.
    void tabMajorScreen();
    // Moves the keyboard highlight one step within its level.
    void tabToolBarButtons();
    // Shows the keyboard highlight on the actions.
    void setToolFocus();

    KVQ_ImageDocument* imageDocument() const { return document; }
    KV_RecoveryFile* recoveryFile() const { return recovery; }

    // The window's title for a picture's display name.
    static QString windowTitleFor(const QString& displayName);

    // One value of an attribute popup and the icon showing it.
    struct PopupEntry {
        int id;
        const char* icon;
    };
    // A popup of values for a tool attribute, placed dx right of the window's left edge and dy
    // above its bottom edge.
    struct AttributePopup {
        int attribute;
        const PopupEntry* entries;
        int count;
        int dx;
        int dy;
    };

public slots:
    virtual void fileNew();
    virtual void fileOpen();
    virtual void fileSave();
    virtual void fileSaveAs();
    virtual void fileAbout();
    virtual void fileHelp();
    QString getOnlyFileName(QString path);
    virtual void pxIconAction();
    virtual void fViewPickerToolOne(bool on);
    virtual void fViewPickerToolTwo(bool on);
    virtual void fViewPickerToolThree(bool on);
    virtual void fViewPickerToolFour(bool on);
    virtual void fViewPickerToolFive(bool on);
    virtual void fViewPickerToolSix(bool on);
    virtual void sLineToolOne(bool);
    virtual void sLineToolTwo(bool);
    virtual void sLineToolThree(bool);
    virtual void sLineToolFour(bool);
    virtual void sLineToolFive(bool);
    virtual void sLineToolSix(bool);
    virtual void tFillToolOne(bool);
    virtual void tFillToolTwo(bool);
    virtual void tFillToolThree(bool);
    virtual void frShapesToolOne(bool);
    virtual void frShapesToolTwo(bool);
    virtual void frShapesToolThree(bool);
    virtual void frShapesToolFour(bool);
    virtual void frShapesToolFive(bool);
    virtual void frShapesToolSix(bool);
    virtual void frShapesToolSeven(bool);
    virtual void frShapesToolEight(bool);
    virtual void frShapesToolNine(bool);
    virtual void viewSpecificToolBar(bool);
    virtual void apToolBar(bool);
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void slotShowPX(bool);
    void slotNotImpl();

protected slots:
    void inputFileName(const char* name);
    virtual void keyMapping();
    void closeAll();
    void imageCaption(QString name);
    int filePresentDialog();
    int determineInputFormat();
    const char* determineFileFormat(QString name);
    int determineSaveFormat(const char* format);
    bool saveFileWithFormat(int code, QString name);
    QString appendFormat(int code, QString path);

public slots:
    // The application bar's functions, also for remote control. setZoom takes a scale in
    // percent and shows the zoom level nearest to it (12 or 13 give 1/8).
    virtual void undo();
    virtual void redo();
    virtual void zoomIn();
    virtual void zoomOut();
    virtual void setZoom(int percent);

public slots:
    // Colours, the eraser and the tool, also for remote control. A colour is a name or #rrggbb;
    // one that is not a colour changes nothing and logs a line. setLineColor sets the lines'
    // colour, setFillColor the flood fill's, setShapeFillColor the shapes' fill (switching it
    // on; "none" switches it off). setEraserSize takes the side of the eraser in pixels (1 to
    // 64). chooseTool switches on the mode of "pencil", "fill", "text", "shapes", "eraser" or
    // "select", as a tap on its switch does.
    void setLineColor(QString name);
    void setFillColor(QString name);
    void setShapeFillColor(QString name);
    void setEraserSize(int size);
    void chooseTool(QString name);
    // Text and selection, also for remote control. copy and cut put the selection on the
    // clipboard as an image; paste makes the clipboard's image a floating selection at the top
    // left of the view, in the selection mode, after asking whether a larger picture should
    // enlarge this one. selectAll also chooses the selection mode. setTextSize sets the text's
    // pixel size; typeText types at the text cursor. Each is false, with a log line, when there
    // is nothing to act on.
    virtual bool copy();
    virtual bool cut();
    virtual bool paste();
    virtual bool selectAll();
    virtual bool deleteSelection();
    virtual void setTextSize(int pixels);
    virtual bool typeText(QString text);

protected:
    // The soft address-space limit meaning "unlimited".
    static constexpr quint64 NoAddressLimit = ~quint64(0);
    // Whether a file of size bytes may be opened: not over 60,000,000 bytes, nor over the
    // address-space soft limit less 10,000,000 bytes kept for the rest of the process.
    static bool sizeAcceptable(qint64 size, quint64 softLimit);

    // Tab belongs to the key handler, not to focus navigation.
    bool focusNextPrevChild(bool next) override;
    // Closing the window asks about unsaved changes, as Quit does.
    void closeEvent(QCloseEvent* event) override;
    // A picture file dropped on the window (from a file manager) is opened as Open opens it,
    // after the question about unsaved changes.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Shown, the window takes the keyboard focus (with or without a window manager) and, the
    // first time, offers a picture recovered after a crash.
    void showEvent(QShowEvent* event) override;
    // Coming back to the window, the Control state is read from the keyboard again: a release
    // of Control typed into a box or another window never reached the key handler.
    void changeEvent(QEvent* event) override;
    // Keys typed while a child of the window holds the focus reach the key handler too.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // While text is typed, Control letters reach the key handler, not the actions' shortcuts.
    bool event(QEvent* event) override;
    // Text from the input methods goes to the text being typed.
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // When a box or popup of this window closes and no window manager hands the keyboard
    // back, the window takes it.
    void followFocusWindow(QWindow* now);
    void boxVisibilityChanged(bool visible);

private:
    // The tool slots of each block, in block order; member pointers to virtual slots call
    // through the virtual table.
    using ToolSlot = void (KVQ_imageEditor::*)(bool);
    static const ToolSlot ModeSlots[6];
    static const ToolSlot LineSlots[6];
    static const ToolSlot FillSlots[3];
    static const ToolSlot ShapeSlots[9];

    void buildActions();
    void buildToolBars();
    void buildMenus();
    void connectActions();

    // Records the level and the current and previous entry of a block for the keyboard, unless
    // a key press is being handled (it moves the highlight itself).
    void trackFocus(int level, int& prev, int prevValue, int& current, int currentValue);
    // Switches own on and the other listed actions of its block off.
    static void highlight(QAction* own, QAction* const* block, const int* listed, int count);
    void highlightLine(int index);
    void highlightFill(int index);
    void highlightShape(int index);
    // Shows the popup of values under the button; a chosen value goes to the document and its
    // icon to the button. False when the popup was dismissed, which changes nothing.
    bool runAttributePopup(QAction* button, const AttributePopup& popup);

    // The keyboard bookkeeping and the highlight of a block as they were before one of its
    // buttons was used, for a dismissed popup to put back. A pen click checks its button
    // before the slot runs, so the highlight is taken when the button is pressed.
    struct FocusState {
        int level;
        int indices[8];
        QActionGroup* group;
        QAction* highlighted;
    };
    FocusState focusBefore(QActionGroup* group) const;
    void restoreFocus(const FocusState& state);
    void watchButtonPresses();
    void showViewBar(KVQ_ToolBar* bar, int tool);

    // Colours and the eraser (kvq_imageeditor_colours.cpp).
    // The eraser's tool bar and the colours shown on the tool bars, once at construction.
    void buildColourTools();
    // Shows the colour popup over the button; false when it was dismissed. noFill, when given,
    // offers "No fill" and tells whether it was taken.
    bool runColourPopup(QAction* button, const QColor& now, QColor* chosen, bool* noFill);
    // The pickers of the line, fill and shapes tool bars: a colour chosen in the popup goes to
    // the document; "No fill" (shapes) leaves shapes empty, and the fill toggle then brings back
    // the colour chosen before.
    void pickLineColour();
    void pickFloodColour();
    void pickShapeFill();
    // The line, flood and shape colours: to the document, and shown on their buttons.
    void applyLineColour(const QColor& colour);
    void applyFloodColour(const QColor& colour);
    void applyShapeFill();
    void showColours();
    // The popup of eraser sizes (the eraser bar's button).
    void eraserSizeButton();
    // The pointer over the picture: the eraser's square at the zoom, in the eraser mode.
    void followEraserCursor();
    // Text and selection (kvq_imageeditor_edit.cpp).
    void buildEditBars();
    KV_TextModel* textModel() const;
    KV_SelectionModel* selectionModel() const;
    bool typingText() const;
    // A key while text is typed: all but Control go to the text (Escape drops it, Control with
    // Return commits it); true when the key was taken.
    bool typingKey(QKeyEvent* event);
    // The selection's keys (Delete, Escape); true when the key was taken.
    bool selectionKey(QKeyEvent* event);
    // The input methods are asked for text only while text is typed.
    void followTyping();
    // Makes `image` a floating selection as paste does.
    bool pasteImage(const QImage& image);
    void chooseSelectionMode();
    void textSizePopup();

    // The changed-document prompt; false when the user cancelled the operation, or chose to
    // save and the picture was not written.
    bool askToSave(const QString& caption, const QString& text);
    void errorMessage(const QString& text);
    // Shows a display name in the title band and the window's title.
    void showName(const QString& shown);
    // Offers each picture left by an editor that ended without saving it.
    void offerRecovery();
    // The application bar follows the history and the zoom.
    void followHistory();
    void followZoom();
    // The Open dialog loop; false when the dialog was dismissed.
    bool openChosenFile();
    // What became of a file given to Open: loaded; refused with a message (the dialog may come
    // again); or missing, which ends Open.
    enum class OpenOutcome { Loaded, Refused, Missing };
    // Checks and loads a file for Open, read as the format its extension names; each refusal
    // is shown.
    OpenOutcome openFile(const QString& path, const QString& extension, qint64 size);
    void openDropped(const QUrl& url);
    void setWritable(bool writable);

protected:
    // Members, in the order of the window's data model.
    KVQ_ImageDocument* document = nullptr;
    QString fileFilter;
    QString currentFileName;
    KVQ_BackpackFile backpackFile;
    int formatCode = 0;
    QAction* fileNewAction = nullptr;
    QAction* fileOpenAction = nullptr;
    QAction* fileSaveAction = nullptr;
    QAction* fileSaveAsAction = nullptr;
    QAction* fileExitAction = nullptr;
    QAction* fileAboutAction = nullptr;
    QAction* fileHelpAction = nullptr;
    QAction* pxIcon = nullptr;
    // The four blocks are 24 consecutive pointers, copied in order into actionArray.
    QAction* modeActions[6] = {};
    QAction* lineActions[6] = {};
    QAction* fillActions[3] = {};
    QAction* shapeActions[9] = {};
    QAction* viewSpecificTool = nullptr;
    QAction* appActions[4] = {};
    // Beside the application bar's four: redo, and the zoom level shown.
    QAction* redoAction = nullptr;
    QLabel* zoomLabel = nullptr;
    QActionGroup* modeGroup = nullptr;
    QActionGroup* lineGroup = nullptr;
    QActionGroup* fillGroup = nullptr;
    QActionGroup* shapesGroup = nullptr;
    QActionGroup* appGroup = nullptr;
    KVQ_ToolBar* lineToolBar = nullptr;
    KVQ_ToolBar* fillToolBar = nullptr;
    KVQ_ToolBar* shapesToolBar = nullptr;
    KVQ_ToolBar* appToolBar = nullptr;
    KVQ_ToolBar* eraserToolBar = nullptr;
    QAction* eraserSizeAction = nullptr;
    // The shapes' fill colour chosen in their popup; until one is, the fill toggle fills black.
    QColor shapesFillColour;
    KVQ_ToolBar* textToolBar = nullptr;
    KVQ_ToolBar* selectToolBar = nullptr;
    QAction* textSizeAction = nullptr;
    QAction* copyAction = nullptr;
    QAction* cutAction = nullptr;
    QAction* pasteAction = nullptr;
    KVQ_TitleBar* titleBar = nullptr;
    KVQ_MenuBar* menuBar = nullptr;
    KVQ_PopupMenu* fileMenu = nullptr;
    KVQ_PopupMenu* editMenu = nullptr;
    KVQ_PopupMenu* imageMenu = nullptr;
    KVQ_PopupMenu* viewMenu = nullptr;
    bool controlHeld = false;
    int focusLevel = 1;
    int keyBusy = 0;
    int modeIndex = 0;
    int lineIndex = 0;
    int fillIndex = 0;
    int shapesIndex = 0;
    bool shapesFillBlack = false;
    QAction* actionArray[24] = {};
    int prevModeIndex = 0;
    int prevLineIndex = 0;
    int prevFillIndex = 0;
    int prevShapesIndex = -1;

private:
    // Started with the members, before the constructor builds anything: the font database gets
    // ready on another thread meanwhile.
    KV_FontWarmUp fontWarmUp;
    KV_RecoveryFile* recovery = nullptr;
    bool recoveryOffered = false;
    // The group of the button being pressed and its highlight before the press.
    QActionGroup* pressedGroup = nullptr;
    QAction* highlightBeforePress = nullptr;
    QPointer<QWindow> focusWindowBefore;
};

#endif
