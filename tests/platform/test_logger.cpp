// The framework logger.
#include "kv_logger.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Logger, FormatsOneLinePerRecord) {
    EXPECT_EQ(KV_Logger::format(16, nullptr, QString(), "ferry", 55, "function is show()"),
              "16 - ferry:55 function is show()");
    const int anything = 0;
    const QByteArray withObject = KV_Logger::format(3, &anything, "net", nullptr, 7,
                                                    QString::fromUtf8("two\nlines \\ \xc3\xa9"));
    EXPECT_TRUE(withObject.startsWith("3 net ?:7 [0x")) << withObject.constData();
    EXPECT_TRUE(withObject.endsWith("] two\\nlines \\\\ \xc3\xa9")) << withObject.constData();
}

TEST(Logger, AppendsToTheNamedFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("kv.log");
    qputenv("KV_LOG_FILE", QFile::encodeName(file));
    char source[] = "test";
    KV_Logger::log(16, nullptr, QString(), source, 1, "first");
    KV_Logger::log(2, nullptr, "cat", source, 2, "second\nrecord");
    qunsetenv("KV_LOG_FILE");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3); // two records and the final empty piece
    EXPECT_TRUE(lines[0].endsWith(" 16 - test:1 first"));
    EXPECT_TRUE(lines[1].endsWith(" 2 cat test:2 second\\nrecord"));
    // Each record starts with a UTC time.
    EXPECT_EQ(lines[0].indexOf('Z'), 23);
}

// Records longer than any stdio buffer, from several processes at once: each arrives whole.
TEST(Logger, LongRecordsOfSeveralProcessesDoNotInterleave) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("kv.log");
    constexpr int Records = 40;
    constexpr int Size = 64 * 1024;
    const QByteArray letters = "abcd";
    QList<QProcess*> writers;
    for (const char letter : letters) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KV_LOG_FILE", file);
        p->setProcessEnvironment(env);
        p->start(KV_LOGWRITER,
                 {QString(QLatin1Char(letter)), QString::number(Records), QString::number(Size)});
        writers << p;
    }
    for (QProcess* p : writers) {
        EXPECT_TRUE(p->waitForFinished(30000));
        EXPECT_EQ(p->exitCode(), 0);
        delete p;
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.takeLast(), QByteArray());
    ASSERT_EQ(lines.size(), Records * letters.size());
    QMap<char, int> seen;
    for (const QByteArray& line : lines) {
        const qsizetype at = line.indexOf(" 1 - writer:1 ");
        ASSERT_GT(at, 0);
        const QByteArray message = line.mid(at + 14);
        ASSERT_EQ(message.size(), Size);
        EXPECT_EQ(message.count(message.at(0)), Size) << "records interleaved";
        ++seen[message.at(0)];
    }
    for (const char letter : letters)
        EXPECT_EQ(seen.value(letter), Records) << letter;
}

} // namespace
