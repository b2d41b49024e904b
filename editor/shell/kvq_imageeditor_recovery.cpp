// The offer, when the editor starts, to reopen a picture that an editor which ended without
// saving it left in its recovery file.
#include "kvq_imageeditor.h"

#include "kv_recoveryfile.h"
#include "kvq_imagedocument.h"
#include "kvq_messagebox.h"

#include <QFile>
#include <QFileInfo>

void KVQ_imageEditor::offerRecovery() {
    for (const QString& leftOver : KV_RecoveryFile::leftOver()) {
        KV_RecoveryFile::Contents found;
        if (!KV_RecoveryFile::read(leftOver, &found)) {
            qWarning("Removing the unreadable recovery file %s", qPrintable(leftOver));
            QFile::remove(leftOver);
            continue;
        }
        const QString name = found.fileName.isEmpty() ? QStringLiteral("Image1")
                                                      : QFileInfo(found.fileName).fileName();
        const int answer = KVQ_MessageBox::information(
            this, QStringLiteral("Image Editor"),
            QStringLiteral("The picture %1 was not saved when the editor ended. It has been "
                           "recovered. Open it?")
                .arg(name),
            QStringLiteral("Yes"), QStringLiteral("No"), QString(), 0, -1);
        if (answer == 1) {
            QFile::remove(leftOver);
            continue;
        }
        // Dismissed, the picture is offered again next time.
        if (answer != 0 || !askToSave(QStringLiteral("Save"),
                                      QStringLiteral("The document has been changed. Save it.")))
            return;
        // Reopened under its original name, unsaved; a name whose format is unknown is dropped.
        const bool named =
            document->restoreImage(found.image, found.fileName, found.format.constData());
        if (!named)
            document->restoreImage(found.image, QString(), nullptr);
        if (named && !found.fileName.isEmpty()) {
            imageCaption(found.fileName);
            const QFileInfo original(found.fileName);
            setWritable(!original.exists() || original.isWritable());
        } else {
            showName(QStringLiteral("Image1"));
            setWritable(true);
        }
        // The file now holds this editor's unsaved picture.
        if (!recovery->adopt(leftOver))
            qWarning("Cannot take over the recovery file %s", qPrintable(leftOver));
        return;
    }
}
