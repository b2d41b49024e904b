// Modal dialogs that choose a document of the backpack to open or a place to save one.
#ifndef KVQ_FILEDIALOG_H
#define KVQ_FILEDIALOG_H

#include <QString>
#include <QStringList>

class KVQ_BackpackFile;
class QWidget;

class KVQ_FileDialog {
public:
    // Shows one folder of the backpack at a time: its subfolders, which the user may enter
    // and leave (never above the backpack), and its documents whose extension is one of those
    // named in types and extensions (each string may hold several, separated by commas; case is
    // ignored; both empty: every document), pictures with thumbnails. It starts in the folder of
    // `file`, at that document, when `file` is bound inside the backpack. folder, when not
    // null, is the folder of the backpack to start in; fileName preselects a document there;
    // the third string is not used. True, with `file` bound to the choice, when a document was
    // chosen; false, with `file` unchanged, when the dialog was dismissed.
    static bool getOpenFile(KVQ_BackpackFile& file, const QStringList& types,
                            const QStringList& extensions, const QString& folder = QString(),
                            const QString& fileName = QString(), const QString& unused = QString(),
                            QWidget* parent = nullptr, const char* name = nullptr,
                            const QString& caption = QString());
    // Shows the same folder view with a name field; the target is the folder shown plus the
    // name typed (which may name an existing subfolder, as "folder/name"); choosing a listed
    // document takes its name. Starts in the folder of `current` when that is bound inside the
    // backpack; type is shown as the format being saved. folder and fileName, when not null,
    // give the folder to start in and a suggested name. True, with `chosen` bound to the path,
    // when the user chose a target; false when the dialog was dismissed.
    static bool getSaveFile(const KVQ_BackpackFile& current, KVQ_BackpackFile& chosen,
                            const QString& type, const QString& folder = QString(),
                            const QString& fileName = QString(), const QString& unused = QString(),
                            QWidget* parent = nullptr, const char* name = nullptr,
                            const QString& caption = QString());
};

#endif
