// The dialog behind KVQ_FileDialog: the documents of the backpack in a list and, for saving, a
// name field. Keys: arrows choose, Return accepts, Escape dismisses.
#ifndef KV_BACKPACKDIALOG_H
#define KV_BACKPACKDIALOG_H

#include <QDialog>
#include <QStringList>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;

class KV_BackpackDialog : public QDialog {
    Q_OBJECT

public:
    enum Mode { Open, Save };

    // folder: the backpack folder shown; extensions: those listed (empty: all).
    KV_BackpackDialog(Mode mode, const QString& folder, const QStringList& extensions,
                      QWidget* parent);

    // Selects the document at path in the list and, for saving, puts its name in the field.
    void select(const QString& path);
    void setSaveType(const QString& type);
    void setName(const QString& name);
    // The chosen path; null before acceptance.
    QString chosenPath() const { return chosen; }

    void accept() override;

private:
    QString targetPath() const;
    void updateButtons();

    Mode mode;
    QString root;
    QString chosen;
    QListWidget* list;
    QLineEdit* nameEdit = nullptr;
    QLabel* typeLabel = nullptr;
    QDialogButtonBox* buttons;
};

#endif
