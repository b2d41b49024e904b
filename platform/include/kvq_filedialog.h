// Modal dialogs that choose a document of the backpack to open or a place to save one.
#ifndef KVQ_FILEDIALOG_H
#define KVQ_FILEDIALOG_H

#include <QString>
#include <QStringList>

class KVQ_BackpackFile;
class QWidget;

class KVQ_FileDialog {
public:
    // Lists the backpack's documents whose extension is one of those named in types and
    // extensions (each string may hold several, separated by commas; case is ignored; both
    // empty: every document). It starts at `file` when that is bound. folder, when not null,
    // limits the list to that folder of the backpack; fileName preselects a document; the
    // third string is not used. True, with `file` bound to the choice, when a document was
    // chosen; false, with `file` unchanged, when the dialog was dismissed.
    static bool getOpenFile(KVQ_BackpackFile& file, const QStringList& types,
                            const QStringList& extensions, const QString& folder = QString(),
                            const QString& fileName = QString(), const QString& unused = QString(),
                            QWidget* parent = nullptr, const char* name = nullptr,
                            const QString& caption = QString());
    // Asks for a name in the backpack (subfolders as "folder/name"), starting in the folder of
    // `current` when that is bound; type is shown as the format being saved. folder and
    // fileName, when not null, give the folder and a suggested name. True, with `chosen`
    // bound to the path, when the user chose a target; false when the dialog was dismissed.
    static bool getSaveFile(const KVQ_BackpackFile& current, KVQ_BackpackFile& chosen,
                            const QString& type, const QString& folder = QString(),
                            const QString& fileName = QString(), const QString& unused = QString(),
                            QWidget* parent = nullptr, const char* name = nullptr,
                            const QString& caption = QString());
};

#endif
