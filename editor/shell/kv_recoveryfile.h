// KV_RecoveryFile: keeps one editor's unsaved picture on disk, so that a crash loses nothing.
// A change to the picture starts a short timer; when it runs out the picture is copied and
// written as PNG on a worker thread, through a temporary file that replaces the recovery file
// only when complete, so drawing never waits for the disk and the file is never half written.
// A save, or changes thrown away on purpose, remove the file.
//
// The files lie in $XDG_STATE_HOME/kv (by default ~/.local/state/kv), one per editor, named
// after the editor's process (its id and start time) and a number of its own, so that two
// editors never share one and a file whose process no longer runs is known to be left over.
#ifndef KV_RECOVERYFILE_H
#define KV_RECOVERYFILE_H

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>

class KVQ_ImageDocument;

class KV_RecoveryFile : public QObject {
    Q_OBJECT

public:
    // How long after a change the picture is written, at the most.
    static constexpr int WriteDelayMs = 2000;

    explicit KV_RecoveryFile(KVQ_ImageDocument* document, QObject* parent = nullptr);
    // Waits for a write in progress; the file stays (the picture may be all the user has).
    ~KV_RecoveryFile() override;

    QString path() const { return filePath; }
    // Drops a pending write and removes the file.
    void discard();
    // Copies the picture and starts writing it at once, as the timer does after a change.
    void writeNow();
    // Waits until the write in progress, if any, is on disk.
    void waitForWrite();
    // Makes a left-over file this editor's own; false when it could not be moved.
    bool adopt(const QString& leftOver);

    // What a recovery file holds: the picture and the file it was opened from or saved to.
    struct Contents {
        QImage image;
        QString fileName; // empty for a picture never saved
        QByteArray format;
    };
    // Writes contents whole, through a temporary file; safe on any thread.
    static bool write(const QString& path, const Contents& contents);
    static bool read(const QString& path, Contents* out);
    // The folder of the recovery files.
    static QString folder();
    // Recovery files whose editors no longer run, newest first.
    static QStringList leftOver();

private:
    void pictureChanged();
    void writeDue();
    void writeFinished(quint64 write, bool ok);

    QPointer<KVQ_ImageDocument> doc;
    QString filePath;
    QTimer timer;
    QThreadPool worker;
    bool writing = false;
    bool changedWhileWriting = false;
    quint64 writes = 0; // numbers the writes, so that one finished after a discard is ignored
    QImage snapshot;    // the copy written, kept for the next write while the picture's size stays
};

#endif
