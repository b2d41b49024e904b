#include "kvq_imageeditor.h"

#include "kv_lazyiconengine.h"
#include "kv_recoveryfile.h"
#include "kvq_imagedocument.h"
#include "kvq_menubar.h"
#include "kvq_popupmenu.h"
#include "kvq_titlebar.h"
#include "kvq_toolbar.h"
#include "resource.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <qcanvas.h>

namespace {

QAction* makeAction(QObject* parent, const char* name, bool toggle, const char* iconFile) {
    auto* action = new QAction(parent); // an action group parent takes the action in
    action->setObjectName(QLatin1String(name));
    action->setCheckable(toggle);
    action->setIcon(KV_LazyIconEngine::icon(QLatin1String(iconFile)));
    return action;
}

// Qt 2's QAction::addTo: a widget shows an action once, so one that is there already keeps its
// place.
void addTo(QAction* action, QWidget* widget) {
    if (!widget->actions().contains(action))
        widget->addAction(action);
}

QActionGroup* makeGroup(QObject* parent, bool exclusive) {
    auto* group = new QActionGroup(parent);
    group->setExclusive(exclusive);
    return group;
}

} // namespace

KVQ_imageEditor::KVQ_imageEditor(QWidget* parent, const char* name, QString fileName)
    : KVQ_Component(parent, name, nullptr) {
    auto* canvas = new QCanvas(480, 320);
    canvas->setParent(this);
    canvas->setBackgroundColor(QColor(128, 128, 128));

    document = new KVQ_ImageDocument(canvas, this, name);
    document->setFocusPolicy(Qt::NoFocus);
    currentFileName = QString();
    fileFilter = QStringLiteral("*.bmp;*.jpg");
    resize(480, 360);

    buildActions();
    buildToolBars();
    buildColourTools();
    formatCode = 0;
    buildMenus();
    keyMapping();
    connectActions();

    {
        QPixmap menuIcon(QStringLiteral("imageeditorapp16x16.png"));
        titleBar =
            new KVQ_TitleBar(QStringLiteral("Image1"), &menuIcon, menuBar, modeGroup, this, name);
    }
    setModeActions(modeGroup, 1, 1);
    // The picture view takes all the room between the title band and the tool bars.
    setCentralWidget(document);
    initActionArray();
    followHistory();
    followZoom();
    showName(QStringLiteral("Image1"));
    recovery = new KV_RecoveryFile(document, this);

    // The window takes the keys itself; the view and the buttons never hold the focus, and a
    // child that takes it passes its keys on.
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true); // picture files from a file manager
    watchButtonPresses();
    setFocus();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &KVQ_imageEditor::followFocusWindow);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old && old != this)
            old->removeEventFilter(this);
        if (now && now != this && now->window() == this)
            now->installEventFilter(this);
    });

    if (!fileName.isEmpty())
        inputFileName(QFile::encodeName(fileName).constData());
}

void KVQ_imageEditor::buildActions() {
    fileNewAction = makeAction(this, "fileNewAction", false, "linemode.png");
    fileOpenAction = makeAction(this, "fileOpenAction", false, "fillmode.png");
    fileSaveAction = makeAction(this, "fileSaveAction", false, "textmode.png");
    fileSaveAsAction = makeAction(this, "fileSaveAsAction", false, "shapesmode.png");
    fileAboutAction = makeAction(this, "fileAboutAction", false, "erasermode.png");
    fileHelpAction = makeAction(this, "fileHelpAction", false, "pancanvas.png");
    fileExitAction = makeAction(this, "fileExitAction", false, "undo.png");

    menuBar = new KVQ_MenuBar(this, "MenuBar");
    pxIcon = makeAction(this, "pxIcon", false, "PX.bmp");

    lineGroup = makeGroup(this, true);
    static const char* const lineNames[6][2] = {{"secondToolOne", "lineendingsidentifier.png"},
                                                {"secondToolTwo", "linetypeidentifier.png"},
                                                {"secondToolThree", "linemode.png"},
                                                {"secondToolFour", "linewidthidentifier.png"},
                                                {"secondToolFive", "linestyleidentifier.png"},
                                                {"secondToolSix", "colorpicker.png"}};
    for (int i = 0; i < 6; ++i)
        lineActions[i] = makeAction(lineGroup, lineNames[i][0], true, lineNames[i][1]);

    fillGroup = makeGroup(this, true);
    static const char* const fillNames[3][2] = {{"thirdToolOne", "fillcoloridentifier.png"},
                                                {"thirdToolTwo", "colorholderred.png"},
                                                {"thirdToolTwo", "colorpicker.png"}};
    for (int i = 0; i < 3; ++i)
        fillActions[i] = makeAction(fillGroup, fillNames[i][0], true, fillNames[i][1]);

    shapesGroup = makeGroup(this, true);
    static const char* const shapeNames[9][2] = {{"fourthToolOne", "shapeidentifier.png"},
                                                 {"fourthToolTwo", "activeshapestool.bmp"},
                                                 {"fourthToolThree", "linemode.png"},
                                                 {"fourthToolFour", "activethickness.png"},
                                                 {"fourthToolFive", "linewidthidentifier.png"},
                                                 {"fourthToolSix", "activethickness.bmp"},
                                                 {"fourthToolSeven", "fillcoloridentifier.png"},
                                                 {"fourthToolEight", "activefillcolor.bmp"},
                                                 {"fourthToolEight", "colorpicker.png"}};
    for (int i = 0; i < 9; ++i)
        shapeActions[i] = makeAction(shapesGroup, shapeNames[i][0], true, shapeNames[i][1]);

    viewSpecificTool = makeAction(this, "viewSpecificTool", true, "viewSpecific.bmp");

    // Pan is a mode, switched on and off; the others act at once.
    appGroup = makeGroup(this, true);
    static const char* const appNames[4][3] = {
        {"applicationToolPanCanvas", "pancanvas.png", "Pan: drag to move the view"},
        {"applicationToolZoomOut", "zoomout.png", "Zoom out (Ctrl+-)"},
        {"applicationToolZoomIn", "zoomin.png", "Zoom in (Ctrl++)"},
        {"applicationTool", "undo.png", "Undo (Ctrl+Z)"}};
    for (int i = 0; i < 4; ++i) {
        appActions[i] = makeAction(appGroup, appNames[i][0], i == 0, appNames[i][1]);
        appActions[i]->setToolTip(tr(appNames[i][2]));
    }
    redoAction = makeAction(appGroup, "applicationToolRedo", false, "redo.png");
    redoAction->setToolTip(tr("Redo (Ctrl+Y)"));

    modeGroup = makeGroup(this, true);
    static const char* const modeNames[6][2] = {
        {"firstToolOne", "linemode.png"},    {"firstToolTwo", "fillmode.png"},
        {"firstToolThree", "textmode.png"},  {"firstToolFour", "shapesmode.png"},
        {"firstToolFive", "erasermode.png"}, {"firstToolSix", "last.bmp"}};
    for (int i = 0; i < 6; ++i)
        modeActions[i] = makeAction(modeGroup, modeNames[i][0], true, modeNames[i][1]);
    modeActions[0]->setChecked(true);
}

void KVQ_imageEditor::buildToolBars() {
    lineToolBar = new KVQ_ToolBar(this, "", nullptr);
    lineActions[0]->setChecked(true);

    fillToolBar = new KVQ_ToolBar(this, "", nullptr);
    fillToolBar->addActionGroup(fillGroup, KVQ_ToolBar::Buttons);
    lineToolBar->addActionGroup(lineGroup, KVQ_ToolBar::Buttons);
    for (int i : {0, 2})
        addTo(fillActions[i], fillToolBar);
    fillToolBar->hide();
    for (int i : {0, 2})
        fillActions[i]->setCheckable(true);
    fillActions[0]->setChecked(true);

    shapesToolBar = new KVQ_ToolBar(this, "", nullptr);
    shapesToolBar->addActionGroup(shapesGroup, KVQ_ToolBar::Buttons);
    for (int i : {0, 2, 4, 6, 8})
        addTo(shapeActions[i], shapesToolBar);
    shapesToolBar->hide();
    for (int i : {0, 2, 4, 6, 8})
        shapeActions[i]->setCheckable(true);
    shapeActions[0]->setChecked(true);

    appToolBar = new KVQ_ToolBar(this, "", nullptr);
    appToolBar->addActionGroup(appGroup, KVQ_ToolBar::Buttons);
    for (QAction* action : appActions)
        addTo(action, appToolBar);
    addTo(redoAction, appToolBar);
    zoomLabel = new QLabel(appToolBar);
    zoomLabel->setObjectName(QStringLiteral("zoomLevel"));
    zoomLabel->setToolTip(tr("Zoom level"));
    zoomLabel->setContentsMargins(6, 0, 6, 0);
    appToolBar->addWidget(zoomLabel);

    buildEditBars();

    setToolBar(lineToolBar);
    setAppToolBar(appToolBar);
}

void KVQ_imageEditor::buildMenus() {
    fileMenu = new KVQ_PopupMenu(this, nullptr);
    QAction* const fileActions[] = {fileNewAction,    fileOpenAction,  fileSaveAction,
                                    fileSaveAsAction, fileAboutAction, fileHelpAction,
                                    fileExitAction};
    for (QAction* action : fileActions) {
        if (action != fileNewAction)
            fileMenu->insertSeparator(-1);
        addTo(action, fileMenu);
    }
    menuBar->insertItem(QStringLiteral("File"), fileMenu, 2, -1);
    editMenu = new KVQ_PopupMenu(this, nullptr);
    menuBar->insertItem(QStringLiteral("Edit"), editMenu, 3, -1);
    imageMenu = new KVQ_PopupMenu(this, nullptr);
    menuBar->insertItem(QStringLiteral("Image"), imageMenu, 4, -1);
    viewMenu = new KVQ_PopupMenu(this, nullptr);
    menuBar->insertItem(QStringLiteral("View"), viewMenu, 5, -1);
}

void KVQ_imageEditor::connectActions() {
    // triggered(bool) carries the checked state; the tool-bar slots take it and do not read it.
    connect(fileNewAction, &QAction::triggered, this, &KVQ_imageEditor::fileNew);
    connect(fileOpenAction, &QAction::triggered, this, &KVQ_imageEditor::fileOpen);
    connect(fileSaveAction, &QAction::triggered, this, &KVQ_imageEditor::fileSave);
    connect(fileSaveAsAction, &QAction::triggered, this, &KVQ_imageEditor::fileSaveAs);
    connect(fileAboutAction, &QAction::triggered, this, &KVQ_imageEditor::fileAbout);
    connect(fileHelpAction, &QAction::triggered, this, &KVQ_imageEditor::fileHelp);
    connect(fileExitAction, &QAction::triggered, this, &KVQ_imageEditor::closeAll);
    connect(pxIcon, &QAction::triggered, this, &KVQ_imageEditor::pxIconAction);

    for (int i = 0; i < 6; ++i)
        connect(modeActions[i], &QAction::toggled, this, ModeSlots[i]);
    for (int i = 0; i < 6; ++i)
        connect(lineActions[i], &QAction::triggered, this, LineSlots[i]);
    for (int i = 0; i < 3; ++i)
        connect(fillActions[i], &QAction::triggered, this, FillSlots[i]);
    for (int i = 0; i < 9; ++i)
        connect(shapeActions[i], &QAction::triggered, this, ShapeSlots[i]);
    connect(viewSpecificTool, &QAction::toggled, this, &KVQ_imageEditor::viewSpecificToolBar);
    connect(appActions[0], &QAction::toggled, this, &KVQ_imageEditor::apToolBar);
    connect(appActions[1], &QAction::triggered, this, &KVQ_imageEditor::zoomOut);
    connect(appActions[2], &QAction::triggered, this, &KVQ_imageEditor::zoomIn);
    connect(appActions[3], &QAction::triggered, this, &KVQ_imageEditor::undo);
    connect(redoAction, &QAction::triggered, this, &KVQ_imageEditor::redo);
    // Choosing a mode leaves the pan mode, also the mode already chosen.
    connect(modeGroup, &QActionGroup::triggered, this,
            [this] { appActions[0]->setChecked(false); });
    connect(document, &KVQ_ImageDocument::historyChanged, this, &KVQ_imageEditor::followHistory);
    connect(document, &KVQ_ImageDocument::zoomChanged, this, &KVQ_imageEditor::followZoom);
}

KVQ_imageEditor::~KVQ_imageEditor() {
    // The recovery file stays on disk: the window may go without the question about changes.
    delete recovery;
    recovery = nullptr;
    // The slots may run while the actions go; they find no document then.
    delete document;
    document = nullptr;
    QObject* const owned[] = {fileNewAction,    fileOpenAction, fileSaveAction,
                              fileSaveAsAction, fileExitAction, fileAboutAction,
                              fileHelpAction,   menuBar,        pxIcon};
    for (QObject* object : owned)
        delete object;
    for (QAction* action : modeActions)
        delete action;
    for (int i = 0; i < 5; ++i)
        delete lineActions[i];
    for (int i = 0; i < 2; ++i)
        delete fillActions[i];
    for (int i = 0; i < 8; ++i)
        delete shapeActions[i];
    delete viewSpecificTool;
    for (QAction* action : appActions)
        delete action;
    delete redoAction;
    delete modeGroup;
    QObject* const widgets[] = {lineToolBar, fillToolBar, shapesToolBar, appToolBar, eraserToolBar,
                                fileMenu,    editMenu,    imageMenu,     viewMenu,   titleBar};
    for (QObject* widget : widgets)
        delete widget;
}

void KVQ_imageEditor::showEvent(QShowEvent* event) {
    KVQ_Component::showEvent(event);
    // Without a window manager nobody gives a new window the focus.
    activateWindow();
    setFocus();
    if (!recoveryOffered) {
        recoveryOffered = true;
        QTimer::singleShot(0, this, &KVQ_imageEditor::offerRecovery);
    }
}

QPixmap* KVQ_imageEditor::createIcon() {
    return new QPixmap(Resource::loadPixmap(QStringLiteral("imageeditorapp16x16.png")));
}

QToolBar* KVQ_imageEditor::createModeBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("PXToolBar"));
    for (QAction* action : modeActions)
        addTo(action, bar);
    for (int i : {0, 1, 3})
        modeActions[i]->setCheckable(true);
    modeActions[0]->setChecked(true);
    return bar;
}

void KVQ_imageEditor::keyMapping() {
    struct Mapping {
        QAction* action;
        const char* text;
        const char* menuText;
        const char* accel;
    };
    const Mapping mappings[] = {{fileNewAction, "New", "&New", "Ctrl+N"},
                                {fileOpenAction, "Open", "&Open...", "Ctrl+O"},
                                {fileSaveAction, "Save", "&Save", "Ctrl+S"},
                                {fileSaveAsAction, "Save As", "Save &As...", nullptr},
                                {fileAboutAction, "About", "A&bout", nullptr},
                                {fileHelpAction, "Help", "&Help", "Ctrl+H"},
                                {fileExitAction, "Quit", "&Quit", "Ctrl+Q"}};
    // Qt 6 shows an action's text in menus and its icon text on buttons.
    for (const Mapping& m : mappings) {
        m.action->setIconText(tr(m.text));
        m.action->setText(tr(m.menuText));
        m.action->setShortcut(m.accel ? QKeySequence::fromString(tr(m.accel)) : QKeySequence());
    }
}

void KVQ_imageEditor::initActionArray() {
    QAction** out = actionArray;
    for (QAction* action : modeActions)
        *out++ = action;
    for (QAction* action : lineActions)
        *out++ = action;
    for (QAction* action : fillActions)
        *out++ = action;
    for (QAction* action : shapeActions)
        *out++ = action;
}

void KVQ_imageEditor::slotShowPX(bool) {}

void KVQ_imageEditor::slotNotImpl() {}

void KVQ_imageEditor::viewSpecificToolBar(bool) {}
