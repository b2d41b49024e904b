#include "kv_recoveryfile.h"

#include "kvq_imagedocument.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

const char* const SourceKey = "KV-Source";
const char* const FormatKey = "KV-Format";

// The start time of a process in clock ticks since boot (field 22 of /proc/PID/stat), which
// tells a running editor from a later process that got the same id; empty when none runs.
QByteArray startTimeOf(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray line = stat.readAll();
    // The command name (field 2) may hold blanks and parentheses: count from after its end.
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return QByteArray();
    const QList<QByteArray> fields = line.mid(nameEnd + 1).simplified().split(' ');
    constexpr int StartTimeAfterName = 22 - 3; // fields 3, 4, ... follow the name
    return fields.size() > StartTimeAfterName ? fields.at(StartTimeAfterName) : QByteArray();
}

// "px-PID-START-N.png": the file of the Nth editor of the process PID started at START.
const QRegularExpression& namePattern() {
    static const QRegularExpression pattern(QStringLiteral("^px-(\\d+)-(\\d+)-\\d+\\.png$"));
    return pattern;
}

bool writerStillRuns(const QRegularExpressionMatch& name) {
    const QByteArray start = startTimeOf(name.captured(1).toLongLong());
    return !start.isEmpty() && start == name.captured(2).toLatin1();
}

QString ownFileName() {
    static QAtomicInt editors;
    const qint64 pid = QCoreApplication::applicationPid();
    return QStringLiteral("px-%1-%2-%3.png")
        .arg(pid)
        .arg(QString::fromLatin1(startTimeOf(pid)))
        .arg(editors.fetchAndAddRelaxed(1) + 1);
}

} // namespace

KV_RecoveryFile::KV_RecoveryFile(KVQ_ImageDocument* document, QObject* parent)
    : QObject(parent), doc(document), filePath(QDir(folder()).filePath(ownFileName())) {
    worker.setMaxThreadCount(1);
    timer.setSingleShot(true);
    timer.setInterval(WriteDelayMs);
    connect(&timer, &QTimer::timeout, this, &KV_RecoveryFile::writeDue);
    connect(doc, &KVQ_ImageDocument::pictureChanged, this, &KV_RecoveryFile::pictureChanged);
    connect(doc, &KVQ_ImageDocument::pictureSaved, this, &KV_RecoveryFile::discard);
}

KV_RecoveryFile::~KV_RecoveryFile() {
    worker.waitForDone();
}

QString KV_RecoveryFile::folder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::home().filePath(QStringLiteral(".local/state"));
    return QDir(state).filePath(QStringLiteral("kv"));
}

void KV_RecoveryFile::pictureChanged() {
    // The timer is not restarted by later changes, so continuous drawing is still written
    // within the delay.
    if (writing)
        changedWhileWriting = true;
    else if (!timer.isActive())
        timer.start();
}

void KV_RecoveryFile::writeDue() {
    if (!doc || doc->saved()) {
        discard();
        return;
    }
    if (!QDir().mkpath(folder())) {
        qWarning("Cannot make the recovery folder %s", qPrintable(folder()));
        return;
    }
    QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writing = true;
    changedWhileWriting = false;
    const quint64 write = ++writes;
    const QPixmap& picture = *doc->pmScaled();
    const QImage::Format format =
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (snapshot.size() != picture.size() || snapshot.format() != format) {
        // The copy goes into a buffer kept from write to write. A new one is made, and its
        // memory touched, on the worker: taking fresh memory for a large picture costs many
        // times the copy itself.
        snapshot = QImage();
        const QSize size = picture.size();
        worker.start([this, write, size, format] {
            QImage buffer(size, format);
            buffer.fill(Qt::white);
            QMetaObject::invokeMethod(
                this,
                [this, write, buffer]() mutable {
                    if (write != writes || !writing)
                        return; // discarded meanwhile
                    snapshot = std::move(buffer);
                    writing = false;
                    writeDue();
                },
                Qt::QueuedConnection);
        });
        return;
    }
    // The copy is taken here, where the picture is painted; encoding and writing go to the
    // worker, which lets go of the buffer before it reports back.
    {
        QPainter painter(&snapshot);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(0, 0, picture);
    }
    Contents contents{snapshot, doc->isFile() ? doc->fileName() : QString(), doc->currentFormat()};
    const QString target = filePath;
    worker.start([this, write, target, contents]() mutable {
        const bool ok = KV_RecoveryFile::write(target, contents);
        contents = Contents();
        QMetaObject::invokeMethod(
            this, [this, write, ok] { writeFinished(write, ok); }, Qt::QueuedConnection);
    });
}

void KV_RecoveryFile::writeNow() {
    timer.stop();
    if (!writing)
        writeDue();
}

void KV_RecoveryFile::writeFinished(quint64 write, bool ok) {
    if (write != writes || !writing)
        return; // discarded meanwhile
    writing = false;
    if (!ok)
        qWarning("Cannot write the recovery file %s", qPrintable(filePath));
    if (changedWhileWriting || !ok)
        timer.start();
}

void KV_RecoveryFile::waitForWrite() {
    do {
        worker.waitForDone();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    } while (writing);
}

void KV_RecoveryFile::discard() {
    timer.stop();
    worker.waitForDone();
    writing = false;
    changedWhileWriting = false;
    ++writes;
    snapshot = QImage();
    QFile::remove(filePath);
}

bool KV_RecoveryFile::adopt(const QString& leftOver) {
    discard();
    return QFile::rename(leftOver, filePath);
}

bool KV_RecoveryFile::write(const QString& path, const Contents& contents) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "png");
    writer.setQuality(80); // fast compression: the file is short-lived
    // PNG text is Latin-1; any file name survives percent-encoded.
    writer.setText(QLatin1String(SourceKey),
                   QString::fromLatin1(contents.fileName.toUtf8().toPercentEncoding()));
    writer.setText(QLatin1String(FormatKey), QString::fromLatin1(contents.format));
    if (!writer.write(contents.image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool KV_RecoveryFile::read(const QString& path, Contents* out) {
    QImageReader reader(path, "png");
    reader.setDecideFormatFromContent(false);
    Contents found;
    found.fileName = QString::fromUtf8(
        QByteArray::fromPercentEncoding(reader.text(QLatin1String(SourceKey)).toLatin1()));
    found.format = reader.text(QLatin1String(FormatKey)).toLatin1();
    if (!reader.read(&found.image) || found.image.isNull())
        return false;
    *out = std::move(found);
    return true;
}

QStringList KV_RecoveryFile::leftOver() {
    QDir dir(folder());
    QStringList found;
    const QFileInfoList entries =
        dir.entryInfoList({QStringLiteral("px-*")}, QDir::Files, QDir::Time);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        const QRegularExpressionMatch whole = namePattern().match(name);
        if (whole.hasMatch()) {
            if (!writerStillRuns(whole))
                found << entry.filePath();
            continue;
        }
        // A temporary file of a write cut short by a crash: "px-...png.XXXXXX".
        const QRegularExpressionMatch partial =
            namePattern().match(name.section(QLatin1Char('.'), 0, 1));
        if (partial.hasMatch() && !writerStillRuns(partial))
            QFile::remove(entry.filePath());
    }
    return found;
}
