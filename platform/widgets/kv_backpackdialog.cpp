#include "kv_backpackdialog.h"

#include "kv_backpack.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

KV_BackpackDialog::KV_BackpackDialog(Mode m, const QString& folder, const QStringList& extensions,
                                     QWidget* parent)
    : QDialog(parent), mode(m), root(QDir::cleanPath(folder)), list(new QListWidget(this)),
      buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName(QStringLiteral("KV_BackpackDialog"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list, 1);

    const QDir dir(root);
    for (const QString& path : KV_Backpack::documents(extensions)) {
        if (!path.startsWith(root + QLatin1Char('/')))
            continue;
        auto* item = new QListWidgetItem(dir.relativeFilePath(path), list);
        item->setData(Qt::UserRole, path);
    }
    if (list->count() == 0) {
        auto* empty = new QListWidgetItem(tr("(no documents)"), list);
        empty->setFlags(Qt::NoItemFlags);
    }

    if (mode == Save) {
        auto* form = new QFormLayout;
        nameEdit = new QLineEdit(this);
        nameEdit->setObjectName(QStringLiteral("name"));
        typeLabel = new QLabel(this);
        form->addRow(tr("Name:"), nameEdit);
        form->addRow(tr("Type:"), typeLabel);
        layout->addLayout(form);
        connect(nameEdit, &QLineEdit::textChanged, this, &KV_BackpackDialog::updateButtons);
        connect(list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
            if (item && (item->flags() & Qt::ItemIsEnabled))
                nameEdit->setText(item->text());
        });
        nameEdit->setFocus();
    } else {
        connect(list, &QListWidget::currentItemChanged, this, &KV_BackpackDialog::updateButtons);
        connect(list, &QListWidget::itemActivated, this, &KV_BackpackDialog::accept);
        list->setFocus();
        if (list->item(0)->flags() & Qt::ItemIsEnabled)
            list->setCurrentRow(0);
    }
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &KV_BackpackDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &KV_BackpackDialog::reject);
    updateButtons();
}

void KV_BackpackDialog::select(const QString& path) {
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (int i = 0; i < list->count(); ++i)
        if (QFileInfo(list->item(i)->data(Qt::UserRole).toString()).absoluteFilePath() == wanted) {
            list->setCurrentRow(i);
            return;
        }
}

void KV_BackpackDialog::setSaveType(const QString& type) {
    if (typeLabel)
        typeLabel->setText(type);
}

void KV_BackpackDialog::setName(const QString& name) {
    if (nameEdit)
        nameEdit->setText(name);
}

QString KV_BackpackDialog::targetPath() const {
    if (mode == Open) {
        const QListWidgetItem* item = list->currentItem();
        return item ? item->data(Qt::UserRole).toString() : QString();
    }
    const QString name = nameEdit->text().trimmed();
    if (name.isEmpty() || name.endsWith(QLatin1Char('/')))
        return QString();
    const QString path = QDir::cleanPath(QDir(root).filePath(name));
    // Only places inside the backpack, in folders that exist.
    if (!path.startsWith(root + QLatin1Char('/')) || !QFileInfo(path).dir().exists() ||
        QFileInfo(path).isDir())
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
