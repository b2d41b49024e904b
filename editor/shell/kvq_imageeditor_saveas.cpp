// Save As, the image-format helpers, About and Help.
#include "kvq_imageeditor.h"

#include "kvq_aboutpx.h"
#include "kvq_filedialog.h"
#include "kvq_filehandler.h"
#include "kvq_imagedocument.h"
#include "kvq_messagebox.h"

#include <qimageio.h>

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <iterator>

namespace {

// The formats Save As writes, by format code: the button of the format question, the name the
// save dialog and the document take, the extension appended to a name without one of the
// format's, and the extensions (lower case; the first is the helper's) the format's names end in.
struct SaveFormat {
    const char* button;
    const char* type;
    const char* appended;
    const char* extensions[2];
};
constexpr SaveFormat Formats[] = {{"BMP", "BMP", ".BMP", {"bmp", nullptr}},
                                  {"JPG", "JPEG", ".JPEG", {"jpg", "jpeg"}},
                                  {"PNG", "PNG", ".PNG", {"png", nullptr}}};
constexpr int FormatCount = int(std::size(Formats));

bool hasExtension(const SaveFormat& format, const QString& extension) {
    for (const char* e : format.extensions)
        if (e && extension.compare(QLatin1String(e), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Whether a file named stem with an extension of the format, in lower or upper case, exists.
bool existsAs(const QString& stem, const SaveFormat& format) {
    for (const char* e : format.extensions) {
        if (!e)
            continue;
        const QString extension = QLatin1Char('.') + QLatin1String(e);
        if (QFile::exists(stem + extension) || QFile::exists(stem + extension.toUpper()))
            return true;
    }
    return false;
}

// The path without its last (extension length + 1) characters.
QString baseOf(const KVQ_FileHandler& file) {
    const QString path = file.getPath();
    return path.left(qMax<qsizetype>(0, path.size() - file.getExt().size() - 1));
}

} // namespace

void KVQ_imageEditor::fileSaveAs() {
    formatCode = determineInputFormat();
    if (formatCode < 0 || formatCode >= FormatCount)
        return;
    const SaveFormat& format = Formats[formatCode];

    KVQ_BackpackFile chosen;
    if (!KVQ_FileDialog::getSaveFile(backpackFile, chosen, QLatin1String(format.type), QString(),
                                     QString(), QString(), nullptr, nullptr,
                                     QStringLiteral("Save As")))
        return;
    const KVQ_FileHandler oldFile(backpackFile);
    const KVQ_FileHandler newFile(chosen);

    // A picture of another format under the same name, or the open picture under the same name
    // in another format, is not replaced.
    const QString stem = getOnlyFileName(newFile.getPath());
    qWarning(" the file name w/o extn is %s", qPrintable(stem));
    QStringList others;
    for (const SaveFormat& other : Formats)
        if (&other != &format)
            others << QLatin1String(other.button);
    qWarning(" file is %s checking for %s exists", format.button,
             qPrintable(others.join(QLatin1String(", "))));
    const bool sameBase = baseOf(oldFile) == baseOf(newFile);
    bool refused = false;
    for (const SaveFormat& other : Formats)
        if (&other != &format)
            refused = refused || existsAs(stem, other) ||
                      (sameBase && hasExtension(other, oldFile.getExt()));
    if (refused) {
        errorMessage(QStringLiteral("The Image format cannot be changed"));
        return;
    }

    // A name that already ends in an extension of the format, in any case, is kept; any other
    // gets the format's extension.
    QString path = newFile.getPath();
    if (path.isEmpty())
        return;
    if (!hasExtension(format, QFileInfo(path).suffix()))
        path += QLatin1String(format.appended);
    if (QFileInfo::exists(path) && filePresentDialog() != 0)
        return;

    if (!saveFileWithFormat(formatCode, path)) {
        errorMessage(QStringLiteral("The Image could not be Saved"));
        return;
    }
    imageCaption(path);
    setWritable(true); // bound to a file just written
}

int KVQ_imageEditor::filePresentDialog() {
    return KVQ_MessageBox::information(
        this, QStringLiteral("Save As"),
        QStringLiteral("The document already exists. Overwrite it ? "), QStringLiteral("Overwrite"),
        QStringLiteral("Cancel"), QString(), 1, -1);
}

int KVQ_imageEditor::determineInputFormat() {
    QStringList buttons;
    for (const SaveFormat& format : Formats)
        buttons << QLatin1String(format.button);
    buttons << QStringLiteral("Cancel");
    return KVQ_MessageBox::information(this, QStringLiteral("Save File Format"),
                                       QStringLiteral("Select the image file type to save."),
                                       buttons, 0, FormatCount);
}

const char* KVQ_imageEditor::determineFileFormat(QString name) {
    return QImageIO::imageFormat(name);
}

int KVQ_imageEditor::determineSaveFormat(const char* format) {
    if (qstrcmp(format, "JPG") == 0)
        return 1;
    for (int code = 0; code < FormatCount; ++code)
        if (qstrcmp(format, Formats[code].type) == 0)
            return code;
    return FormatCount;
}

bool KVQ_imageEditor::saveFileWithFormat(int code, QString name) {
    if (code < 0 || code >= FormatCount)
        return false;
    return document->saveImageAs(name, Formats[code].type);
}

QString KVQ_imageEditor::appendFormat(int code, QString path) {
    if (code < 0 || code >= FormatCount)
        return path;
    return path + QLatin1Char('.') + QLatin1String(Formats[code].extensions[0]);
}

void KVQ_imageEditor::fileAbout() {
    KVQ_AboutPX about(this, "about", true, {});
    about.exec();
}

void KVQ_imageEditor::fileHelp() {
    KVQ_MessageBox::information(this, QStringLiteral("Help"), QStringLiteral("Not Implemented"),
                                QString(), QString(), QString(), 0, -1);
}
