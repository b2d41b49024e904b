// The backpack store and its file dialogs.
#include "kv_backpack.h"
#include "kv_modalanswer.h"
#include "kvq_backpackfile.h"
#include "kvq_filedialog.h"

#include <QDataStream>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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
}

QListWidget* listOf(QWidget* w) {
    return w->findChild<QListWidget*>();
}

QStringList rows(QWidget* w) {
    QStringList out;
    for (int i = 0; i < listOf(w)->count(); ++i)
        out << listOf(w)->item(i)->text();
    return out;
}

TEST_F(Backpack, OpenDialogListsMatchingDocumentsAndBindsTheChoice) {
    KVQ_BackpackFile file;
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Open");
        EXPECT_EQ(rows(w), QStringList({"a.jpg", "b.BMP", "sub/d.jpeg"}));
        QTest::keyClick(listOf(w), Qt::Key_Down);
        QTest::keyClick(listOf(w), Qt::Key_Return);
    });
    ASSERT_TRUE(KVQ_FileDialog::getOpenFile(file, {"JPG,BMP"}, {"jpeg,bmp"}, QString(), QString(),
                                            QString(), nullptr, nullptr, "Open"));
    EXPECT_EQ(file.path(), path("b.BMP"));
    EXPECT_EQ(file.ext(), "BMP");

    // The next dialog starts at the bound file; Escape leaves the file as it was.
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(listOf(w)->currentItem()->text(), "b.BMP");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(KVQ_FileDialog::getOpenFile(file, {"JPG,BMP"}, {"jpeg,bmp"}, QString(), QString(),
                                             QString(), nullptr, nullptr, "Open"));
    EXPECT_EQ(file.path(), path("b.BMP"));

    // Nothing to choose: OK stays disabled.
    answerNextModal([](QWidget* w) {
        auto* box = w->findChild<QDialogButtonBox*>();
        EXPECT_FALSE(box->button(QDialogButtonBox::Ok)->isEnabled());
        QTest::keyClick(listOf(w), Qt::Key_Return);
        EXPECT_TRUE(w->isVisible());
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(KVQ_FileDialog::getOpenFile(file, {"PNG"}, {}, QString(), QString(), QString(),
                                             nullptr, nullptr, "Open"));
}

TEST_F(Backpack, SaveDialogTakesANameInsideTheBackpack) {
    const KVQ_BackpackFile current(path("sub/d.jpeg"));
    KVQ_BackpackFile chosen;
    // Starts in the folder of the current file; the type is shown.
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Save As");
        bool typeShown = false;
        for (QLabel* l : w->findChildren<QLabel*>())
            typeShown = typeShown || l->text() == "JPEG";
        EXPECT_TRUE(typeShown);
        EXPECT_EQ(rows(w), QStringList({"d.jpeg"}));
        QTest::keyClicks(w->findChild<QLineEdit*>(), "cat.jpg");
        QTest::keyClick(w->findChild<QLineEdit*>(), Qt::Key_Return);
    });
    ASSERT_TRUE(KVQ_FileDialog::getSaveFile(current, chosen, "JPEG", QString(), QString(),
                                            QString(), nullptr, nullptr, "Save As"));
    EXPECT_EQ(chosen.path(), path("sub/cat.jpg"));
    EXPECT_FALSE(QFile::exists(chosen.path())); // the dialog writes nothing

    // Names that lead outside the backpack or into missing folders are not accepted.
    KVQ_BackpackFile other;
    answerNextModal([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>();
        auto* ok = w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        EXPECT_FALSE(ok->isEnabled());
        for (const char* bad : {"../../escape.bmp", "nofolder/x.bmp", "   ", "sub/"}) {
            edit->setText(bad);
            EXPECT_FALSE(ok->isEnabled()) << bad;
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_TRUE(w->isVisible()) << bad;
        }
        edit->setText("sub/new");
        EXPECT_TRUE(ok->isEnabled());
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(KVQ_FileDialog::getSaveFile(KVQ_BackpackFile(), other, "BMP", QString(), QString(),
                                             QString(), nullptr, nullptr, "Save As"));
    EXPECT_FALSE(other.isBound());

    // Choosing a listed document takes its name.
    answerNextModal([](QWidget* w) {
        listOf(w)->setCurrentRow(0);
        QTest::keyClick(w->findChild<QLineEdit*>(), Qt::Key_Return);
    });
    ASSERT_TRUE(KVQ_FileDialog::getSaveFile(KVQ_BackpackFile(), other, "BMP", QString(), QString(),
                                            QString(), nullptr, nullptr, "Save As"));
    EXPECT_EQ(other.path(), path("a.jpg"));
}

} // namespace
