#include "kv_backpackdialog.h"

#include "kv_backpack.h"
#include "kv_backpackfoldermodel.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

KV_BackpackFolderModel::Kind kindOf(const QModelIndex& index) {
    return KV_BackpackFolderModel::Kind(index.data(KV_BackpackFolderModel::KindRole).toInt());
}

} // namespace

KV_BackpackDialog::KV_BackpackDialog(Mode m, const QString& root, const QStringList& extensions,
                                     QWidget* parent)
    : QDialog(parent), mode(m), model(new KV_BackpackFolderModel(root, extensions, this)),
      upButton(new QToolButton(this)), folderLabel(new QLabel(this)), view(new QListView(this)),
      buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName(QStringLiteral("KV_BackpackDialog"));
    setModal(true);
    resize(320, 300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    upButton->setObjectName(QStringLiteral("up"));
    upButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    upButton->setToolTip(tr("Up one folder"));
    upButton->setFocusPolicy(Qt::NoFocus);
    upButton->setAutoRaise(true);
    folderLabel->setObjectName(QStringLiteral("folder"));
    top->addWidget(upButton);
    top->addWidget(folderLabel, 1);
    layout->addLayout(top);

    view->setObjectName(QStringLiteral("entries"));
    view->setModel(model);
    const int icon = KV_BackpackFolderModel::thumbnailSize;
    view->setIconSize(QSize(icon, icon));
    view->setUniformItemSizes(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->installEventFilter(this);
    layout->addWidget(view, 1);

    connect(upButton, &QToolButton::clicked, this, &KV_BackpackDialog::goUp);
    connect(view, &QListView::activated, this, &KV_BackpackDialog::activate);
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &KV_BackpackDialog::currentChanged);

    if (mode == Save) {
        auto* form = new QFormLayout;
        nameEdit = new QLineEdit(this);
        nameEdit->setObjectName(QStringLiteral("name"));
        nameEdit->installEventFilter(this);
        typeLabel = new QLabel(this);
        typeLabel->setObjectName(QStringLiteral("type"));
        form->addRow(tr("Name:"), nameEdit);
        form->addRow(tr("Type:"), typeLabel);
        layout->addLayout(form);
        connect(nameEdit, &QLineEdit::textChanged, this, &KV_BackpackDialog::updateButtons);
        connect(nameEdit, &QLineEdit::textEdited, this, [this] { listUsedLast = false; });
        nameEdit->setFocus();
    } else {
        view->setFocus();
    }
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &KV_BackpackDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &KV_BackpackDialog::reject);
    updateButtons();
}

void KV_BackpackDialog::showEvent(QShowEvent* event) {
    if (!listed)
        showFolder(model->folder());
    QDialog::showEvent(event);
}

void KV_BackpackDialog::showFolder(const QString& path) {
    showFolderAt(path, QString());
}

void KV_BackpackDialog::select(const QString& path) {
    showFolderAt(QFileInfo(path).path(), path);
}

void KV_BackpackDialog::showFolderAt(const QString& path, const QString& current) {
    showing = true;
    listed = true;
    model->setFolder(path);
    folderLabel->setText(model->folderLabel());
    upButton->setEnabled(!model->atTop());
    int row = current.isNull() ? -1 : model->rowOf(current);
    if (row < 0 && mode == Open && model->rowCount() > 0)
        row = model->atTop() || model->rowCount() == 1 ? 0 : 1; // below ".."
    view->setCurrentIndex(model->index(row, 0));
    if (row >= 0)
        view->scrollTo(model->index(row, 0));
    showing = false;
    updateButtons();
}

void KV_BackpackDialog::goUp() {
    if (!model->atTop())
        showFolderAt(QFileInfo(model->folder()).path(), model->folder());
}

void KV_BackpackDialog::activate(const QModelIndex& index) {
    if (!index.isValid())
        return;
    switch (kindOf(index)) {
    case KV_BackpackFolderModel::Parent:
        goUp();
        break;
    case KV_BackpackFolderModel::Folder:
        showFolder(index.data(KV_BackpackFolderModel::PathRole).toString());
        break;
    case KV_BackpackFolderModel::Document:
        if (nameEdit)
            nameEdit->setText(index.data(Qt::DisplayRole).toString());
        accept();
        break;
    }
}

void KV_BackpackDialog::currentChanged(const QModelIndex& index) {
    if (!showing && index.isValid()) {
        listUsedLast = true;
        if (nameEdit && kindOf(index) == KV_BackpackFolderModel::Document)
            nameEdit->setText(index.data(Qt::DisplayRole).toString());
    }
    updateButtons();
}

bool KV_BackpackDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == view) {
        // Taken here, before the view passes Return on to the dialog's default button.
        if (enter) {
            activate(view->currentIndex());
            return true;
        }
        if (key == Qt::Key_Backspace) {
            goUp();
            return true;
        }
    } else if (watched == nameEdit) {
        // The list answers the moving keys while the name field keeps the focus.
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(view, event);
            return true;
        }
        const QModelIndex current = view->currentIndex();
        if (enter && listUsedLast && current.isValid() &&
            kindOf(current) != KV_BackpackFolderModel::Document) {
            activate(current);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KV_BackpackDialog::setSaveType(const QString& type) {
    if (typeLabel)
        typeLabel->setText(type);
}

void KV_BackpackDialog::setName(const QString& name) {
    if (nameEdit)
        nameEdit->setText(name);
    listUsedLast = false;
}

QString KV_BackpackDialog::targetPath() const {
    if (mode == Open) {
        const QModelIndex current = view->currentIndex();
        return current.isValid() && kindOf(current) == KV_BackpackFolderModel::Document
                   ? current.data(KV_BackpackFolderModel::PathRole).toString()
                   : QString();
    }
    const QString name = nameEdit->text().trimmed();
    if (name.isEmpty() || name.endsWith(QLatin1Char('/')))
        return QString();
    const QString path = QDir::cleanPath(QDir(model->folder()).filePath(name));
    // Only new or existing files inside the backpack, in folders that exist.
    const QFileInfo info(path);
    if (!KV_Backpack::contains(path) || !info.dir().exists() || info.isDir())
        return QString();
    return path;
}

void KV_BackpackDialog::updateButtons() {
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!targetPath().isNull());
}

void KV_BackpackDialog::accept() {
    const QString path = targetPath();
    if (path.isNull())
        return;
    chosen = path;
    QDialog::accept();
}
