// KVQ_imageEditor: the image editor's main window. It builds the picture view (the image
// document), the file actions and menus, the title bar, six mode switches, three view tool bars
// (pencil and line, fill, shapes) and the application tool bar, and hands the current view bar,
// the application bar and the mode switches to the component base.
//
// The implementation is split by concern:
//   kvq_imageeditor.cpp        construction, destruction, icons, key mapping
//   kvq_imageeditor_tools.cpp  the mode switches and tool-bar buttons, attribute popups
//   kvq_imageeditor_keys.cpp   key handling and the keyboard highlight over the actions
//   kvq_imageeditor_files.cpp  New, Open, Save, Quit, the start-up open, display names
//   kvq_imageeditor_saveas.cpp Save As and the image-format helpers, About and Help
#ifndef KVQ_IMAGEEDITOR_H
#define KVQ_IMAGEEDITOR_H

#include "kvq_backpackfile.h"
#include "kvq_component.h"

#include <QString>

class KVQ_ImageDocument;
class KVQ_MenuBar;
class KVQ_PopupMenu;
class KVQ_TitleBar;
class KVQ_ToolBar;
class QAction;
class QCloseEvent;
class QActionGroup;
class QKeyEvent;
class QPixmap;
class QToolBar;

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
    // Releases the keyboard, shows the popup of values under the button, grabs the keyboard
    // again and passes the chosen id (or -1) on. Returns the id.
    int runAttributePopup(QAction* button, const AttributePopup& popup);
    static bool isPopupEntry(const AttributePopup& popup, int id);
    void notImplemented();
    void placeholderMode(bool on, int prevMode, int mode);
    void showViewBar(KVQ_ToolBar* bar, int tool);

    // The changed-document prompt; false when the user cancelled the operation.
    bool askToSave(const QString& caption, const QString& text);
    void errorMessage(const QString& text);
    // The Open dialog loop; false when the dialog was dismissed.
    bool openChosenFile();
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
    QActionGroup* modeGroup = nullptr;
    QActionGroup* lineGroup = nullptr;
    QActionGroup* fillGroup = nullptr;
    QActionGroup* shapesGroup = nullptr;
    QActionGroup* appGroup = nullptr;
    KVQ_ToolBar* lineToolBar = nullptr;
    KVQ_ToolBar* fillToolBar = nullptr;
    KVQ_ToolBar* shapesToolBar = nullptr;
    KVQ_ToolBar* appToolBar = nullptr;
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
};

#endif
