// The dialog behind KVQ_FileDialog: one folder of the backpack at a time (subfolders first, a
// thumbnail beside each picture) and, for saving, a name field and the type being saved.
// Keys: arrows move, Return chooses a document or enters a folder, Backspace goes up a folder,
// Escape dismisses. A double click does what Return does.
#ifndef KV_BACKPACKDIALOG_H
#define KV_BACKPACKDIALOG_H

#include <QDialog>
#include <QStringList>

class KV_BackpackFolderModel;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class QToolButton;

class KV_BackpackDialog : public QDialog {
    Q_OBJECT

public:
    enum Mode { Open, Save };

    // root: the backpack folder; extensions: the documents listed (empty: all). The dialog lists
    // the top of the backpack when it is shown before showFolder or select was called.
    KV_BackpackDialog(Mode mode, const QString& root, const QStringList& extensions,
                      QWidget* parent);

    // Shows the folder at path (the backpack's top when path is not a folder inside it). Opening
    // makes the first entry below ".." current; saving leaves the name field alone.
    void showFolder(const QString& path);
    // Shows the folder that holds path and makes its entry current.
    void select(const QString& path);
    void setSaveType(const QString& type);
    void setName(const QString& name);
    // The chosen path; null before acceptance.
    QString chosenPath() const { return chosen; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showFolderAt(const QString& path, const QString& current);
    void activate(const QModelIndex& index);
    void goUp();
    void currentChanged(const QModelIndex& index);
    QString targetPath() const;
    void updateButtons();

    Mode mode;
    QString chosen;
    KV_BackpackFolderModel* model;
    QToolButton* upButton;
    QLabel* folderLabel;
    QListView* view;
    QLineEdit* nameEdit = nullptr;
    QLabel* typeLabel = nullptr;
    QDialogButtonBox* buttons;
    bool listed = false;
    // Moves made while a folder is being shown are not the user's choice of a name.
    bool showing = false;
    // Saving: whether the user last moved in the list (Return then enters a current folder)
    // rather than typed a name (Return then saves).
    bool listUsedLast = false;
};

#endif
