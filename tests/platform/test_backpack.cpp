// The backpack store: its folder, its documents and the files in it.
#include "kv_backpack.h"
#include "kvq_backpackfile.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

class Backpack : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        saved = qgetenv("KV_BACKPACK_DIR");
        qputenv("KV_BACKPACK_DIR", QFile::encodeName(dir.path()));
        ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
        for (const char* name : {"a.jpg", "b.BMP", "c.txt", "sub/d.jpeg", ".hidden.jpg"})
            write(name, "x");
    }
    void TearDown() override { qputenv("KV_BACKPACK_DIR", saved); }

    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& data) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    QTemporaryDir dir;
    QByteArray saved;
};

TEST_F(Backpack, FolderAndDocuments) {
    EXPECT_EQ(KV_Backpack::folder(), QDir::cleanPath(dir.path()));
    EXPECT_EQ(KV_Backpack::documents({"jpg", "bmp", "JPEG"}),
              QStringList({path("a.jpg"), path("b.BMP"), path("sub/d.jpeg")}));
    EXPECT_EQ(KV_Backpack::documents({}).size(), 4);

    qputenv("KV_BACKPACK_DIR", QFile::encodeName(dir.filePath("new/deeper")));
    EXPECT_TRUE(KV_Backpack::ensureFolder());
    EXPECT_TRUE(QFileInfo(dir.filePath("new/deeper")).isDir());
    qunsetenv("KV_BACKPACK_DIR");
    EXPECT_EQ(KV_Backpack::folder(), QDir::homePath() + "/Documents");
}

TEST_F(Backpack, UnboundFile) {
    KVQ_BackpackFile file;
    EXPECT_FALSE(file.isBound());
    EXPECT_TRUE(file.path().isNull());
    EXPECT_TRUE(file.ext().isNull());
    EXPECT_EQ(file.size(), -1);
    EXPECT_FALSE(file.date().isValid());
    EXPECT_TRUE(file.pixmap().isNull());
    EXPECT_FALSE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.rename("x"));
    KVQ_BackpackFile copy(file);
    EXPECT_TRUE(copy.path().isNull());
}

TEST_F(Backpack, PathExtensionAndSize) {
    write("cat.tar.Gz", QByteArray(1234, 'z'));
    const KVQ_BackpackFile file(path("cat.tar.Gz"));
    EXPECT_EQ(file.path(), path("cat.tar.Gz"));
    EXPECT_EQ(file.ext(), "Gz");
    EXPECT_EQ(file.name(), "cat.tar.Gz");
    EXPECT_EQ(file.size(), 1234);
    EXPECT_TRUE(file.date().isValid());
    const KVQ_BackpackFile bare(path("noext"));
    EXPECT_FALSE(bare.ext().isNull());
    EXPECT_TRUE(bare.ext().isEmpty());
    EXPECT_EQ(bare.size(), -1); // absent
}

TEST_F(Backpack, DeviceReadsWritesAndSeeks) {
    KVQ_BackpackFile file(path("data.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    {
        QDataStream out(&file);
        out << QString("hello") << qint32(42);
    }
    EXPECT_EQ(file.size(), 14 + 4);
    EXPECT_FALSE(file.open(QIODevice::ReadOnly)); // already open
    file.close();

    KVQ_BackpackFile copy(file);
    EXPECT_FALSE(copy.isOpen());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    QDataStream in(&copy);
    QString s;
    qint32 n = 0;
    in >> s >> n;
    EXPECT_EQ(s, "hello");
    EXPECT_EQ(n, 42);
    EXPECT_TRUE(copy.atEnd());
    ASSERT_TRUE(copy.seek(4));
    EXPECT_EQ(copy.pos(), 4);
    EXPECT_EQ(copy.read(2), QByteArray("\0h", 2));
    char c = 0;
    EXPECT_TRUE(copy.getChar(&c));
    EXPECT_EQ(c, '\0');
    copy.ungetChar(c);
    EXPECT_EQ(copy.pos(), 6);
    copy.close();

    KVQ_BackpackFile assigned;
    assigned = copy;
    EXPECT_EQ(assigned.path(), path("data.bin"));
}

TEST_F(Backpack, Rename) {
    KVQ_BackpackFile file(path("a.jpg"));
    EXPECT_FALSE(file.rename("b.BMP")); // taken
    EXPECT_FALSE(file.rename("sub/x.jpg"));
    EXPECT_FALSE(file.rename(""));
    EXPECT_FALSE(file.rename(".."));
    EXPECT_TRUE(file.rename("renamed.jpg"));
    EXPECT_EQ(file.path(), path("renamed.jpg"));
    EXPECT_TRUE(QFile::exists(path("renamed.jpg")));
    EXPECT_FALSE(QFile::exists(path("a.jpg")));
}

TEST_F(Backpack, PixmapIsAThumbnailOfPictures) {
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(path("pic.bmp"), "BMP"));
    const QPixmap thumb = KVQ_BackpackFile(path("pic.bmp")).pixmap();
    ASSERT_FALSE(thumb.isNull());
    EXPECT_EQ(thumb.size(), QSize(32, 16));
    EXPECT_TRUE(KVQ_BackpackFile(path("c.txt")).pixmap().isNull());

    // Never scaled up; other bounds keep the aspect.
    EXPECT_EQ(KVQ_BackpackFile(path("pic.bmp")).image(QSize(100, 100)).size(), QSize(64, 32));
    EXPECT_EQ(KVQ_BackpackFile(path("pic.bmp")).image(QSize(8, 8)).size(), QSize(8, 4));

    // The same picture stored top row first (a negative height, rows in the other order).
    QFile bottomUp(path("pic.bmp"));
    ASSERT_TRUE(bottomUp.open(QIODevice::ReadOnly));
    const QByteArray bmp = bottomUp.readAll();
    const qint32 offBits = qFromLittleEndian<qint32>(bmp.constData() + 10);
    const qsizetype rowBytes = (bmp.size() - offBits) / 32;
    QByteArray topDown = bmp.left(offBits);
    qToLittleEndian<qint32>(-32, topDown.data() + 22);
    for (int row = 31; row >= 0; --row)
        topDown += bmp.mid(offBits + row * rowBytes, rowBytes);
    write("topdown.bmp", topDown);
    EXPECT_EQ(KVQ_BackpackFile(path("topdown.bmp")).image(QSize(8, 8)).size(), QSize(8, 4));

    // A header may claim a picture far too large to decode (here a small JPEG that says it is
    // 12000 x 12000): no thumbnail, even when Qt's own allocation limit is lifted.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(image.save(&buffer, "JPEG"));
    const qsizetype frame = jpeg.indexOf("\xFF\xC0"); // height and width follow at 5 and 7
    ASSERT_GT(frame, 0);
    for (qsizetype at : {frame + 5, frame + 7}) {
        jpeg[at] = char(12000 >> 8);
        jpeg[at + 1] = char(12000 & 0xFF);
    }
    write("huge.jpg", jpeg);
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    EXPECT_EQ(QImageReader(path("huge.jpg")).size(), QSize(12000, 12000));
    EXPECT_TRUE(KVQ_BackpackFile(path("huge.jpg")).image(QSize(32, 32)).isNull());
    EXPECT_TRUE(KVQ_BackpackFile(path("huge.jpg")).pixmap().isNull());
    QImageReader::setAllocationLimit(limit);
}

TEST_F(Backpack, ContainsOnlyWhatLiesInsideWithLinksResolved) {
    EXPECT_TRUE(KV_Backpack::contains(dir.path()));
    EXPECT_TRUE(KV_Backpack::contains(path("sub/d.jpeg")));
    EXPECT_TRUE(KV_Backpack::contains(path("sub/new/deeper.bmp"))); // not there yet
    EXPECT_FALSE(KV_Backpack::contains(path("../x.bmp")));
    EXPECT_FALSE(KV_Backpack::contains(dir.path() + "-other/x.bmp")); // a prefix, not a folder
    EXPECT_FALSE(KV_Backpack::contains(QString()));

    QTemporaryDir outside;
    ASSERT_TRUE(QFile::link(outside.path(), path("out")));
    ASSERT_TRUE(QFile::link(path("a.jpg"), path("sub/alias.jpg")));
    EXPECT_FALSE(KV_Backpack::contains(path("out")));
    EXPECT_FALSE(KV_Backpack::contains(path("out/x.bmp")));
    EXPECT_TRUE(KV_Backpack::contains(path("sub/alias.jpg")));
}

} // namespace
