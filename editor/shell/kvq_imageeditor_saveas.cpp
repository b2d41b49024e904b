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

namespace {

bool anyExists(const QString& stem, std::initializer_list<const char*> extensions) {
    for (const char* extension : extensions)
        if (QFile::exists(stem + QLatin1String(extension)))
            return true;
    return false;
}

bool oneOf(const QString& text, std::initializer_list<const char*> words) {
    for (const char* word : words)
        if (text == QLatin1String(word))
            return true;
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
    if (formatCode != 0 && formatCode != 1)
        return;
    const bool bmp = formatCode == 0;
    const QString type = bmp ? QStringLiteral("BMP") : QStringLiteral("JPEG");

    KVQ_BackpackFile chosen;
    if (!KVQ_FileDialog::getSaveFile(backpackFile, chosen, type, QString(), QString(), QString(),
                                     nullptr, nullptr, QStringLiteral("Save As")))
        return;
    const KVQ_FileHandler oldFile(backpackFile);
    const KVQ_FileHandler newFile(chosen);

    // A picture of the other format under the same name, or the open picture under the same
    // name in the other format, is not replaced.
    const QString stem = getOnlyFileName(newFile.getPath());
    qWarning(" the file name w/o extn is %s", qPrintable(stem));
    bool refused;
    if (bmp) {
        qWarning(" file is BMP checking for JPG exists");
        refused = anyExists(stem, {".jpeg", ".jpg", ".JPEG", ".JPG"});
    } else {
        qWarning(" file is JPG checking for BMP exists");
        refused = anyExists(stem, {".BMP", ".bmp"});
    }
    const QString oldExt = oldFile.getExt();
    if (!refused && baseOf(oldFile) == baseOf(newFile))
        refused =
            bmp ? oneOf(oldExt, {"jpg", "JPEG", "JPG", "jpeg"}) : oneOf(oldExt, {"BMP", "bmp"});
    if (refused) {
        errorMessage(QStringLiteral("The Image format cannot be changed"));
        return;
    }

    // A name that already ends in an extension of the format, in any case, is kept; any other
    // gets the format's extension.
    QString path = newFile.getPath();
    if (path.isEmpty())
        return;
    const QString extension = QFileInfo(path).suffix().toLower();
    const bool named =
        bmp ? extension == QLatin1String("bmp")
            : extension == QLatin1String("jpg") || extension == QLatin1String("jpeg");
    if (!named)
        path += bmp ? QStringLiteral(".BMP") : QStringLiteral(".JPEG");
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
    return KVQ_MessageBox::information(this, QStringLiteral("Save File Format"),
                                       QStringLiteral("Select the image file type to save."),
                                       QStringLiteral("BMP"), QStringLiteral("JPG"),
                                       QStringLiteral("Cancel"), 0, 2);
}

const char* KVQ_imageEditor::determineFileFormat(QString name) {
    return QImageIO::imageFormat(name);
}

int KVQ_imageEditor::determineSaveFormat(const char* format) {
    if (qstrcmp(format, "BMP") == 0)
        return 0;
    if (qstrcmp(format, "JPEG") == 0 || qstrcmp(format, "JPG") == 0)
        return 1;
    return 2;
}

bool KVQ_imageEditor::saveFileWithFormat(int code, QString name) {
    if (code == 0)
        return document->saveImageAs(name, "BMP");
    if (code == 1)
        return document->saveImageAs(name, "JPEG");
    return false;
}

QString KVQ_imageEditor::appendFormat(int code, QString path) {
    if (code == 0)
        return path + QStringLiteral(".bmp");
    if (code == 1)
        return path + QStringLiteral(".jpg");
    return path;
}

void KVQ_imageEditor::fileAbout() {
    KVQ_AboutPX about(this, "about", true, {});
    about.exec();
}

void KVQ_imageEditor::fileHelp() {
    KVQ_MessageBox::information(this, QStringLiteral("Help"), QStringLiteral("Not Implemented"),
                                QString(), QString(), QString(), 0, -1);
}
