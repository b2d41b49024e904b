// The file commands as a user meets them: the question about unsaved changes before New, Open,
// Quit and closing the window; Open with its messages; Save; the picture named at start; the
// names shown for a file; the file handler; and what only a user whom file permissions bind
// can see (read-only and unreadable files).
#include "editor_fixture.h"
#include "kvq_filehandler.h"

#include <QBuffer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr QRgb Red = 0xffff0000u;
constexpr QRgb Blue = 0xff0000ffu;
constexpr int StillRunning = 7;

// A marked picture with single pixels of its mark in two corners as well.
QImage sample(QRgb mark) {
    QImage image = markedPicture(mark);
    image.setPixel(0, 0, mark);
    image.setPixel(479, 319, mark);
    return image;
}

QImage blank() {
    QImage image(480, 320, QImage::Format_RGB32);
    image.fill(White);
    return image;
}

// The block of a sample read back from a lossy file.
bool showsMark(const QImage& image, QRgb mark) {
    const QRgb c = image.pixel(60, 60);
    return qAbs(qRed(c) - qRed(mark)) < 40 && qAbs(qGreen(c) - qGreen(mark)) < 40 &&
           qAbs(qBlue(c) - qBlue(mark)) < 40;
}

QStringList buttonTexts(QMessageBox* box) {
    QStringList out;
    for (QAbstractButton* b : box->buttons())
        out << b->text().remove(QLatin1Char('&'));
    return out;
}

// Answers the question about unsaved changes (after checking its buttons and default) with the
// button named answer, or with Escape.
ModalScript::Step prompt(const QString& answer) {
    return [answer](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            ADD_FAILURE() << "no message box";
            w->close();
            return;
        }
        EXPECT_EQ(buttonTexts(box), QStringList({"Ok", "No", "Cancel"}));
        EXPECT_TRUE(box->defaultButton() && box->defaultButton()->text() == "Ok");
        if (answer == "Escape")
            QTest::keyClick(w, Qt::Key_Escape);
        else
            ModalScript::button(answer)(w);
    };
}

// Closes the start-up warning after checking that it is a warning with one "OK".
ModalScript::Step warning() {
    return [](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            ADD_FAILURE() << "no message box";
            w->close();
            return;
        }
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(buttonTexts(box), QStringList{"OK"});
        QTest::keyClick(w, Qt::Key_Return);
    };
}

// Runs action from the application's event loop: the status the loop ended with, or
// StillRunning when the action left it running.
int loopStatusAfter(const std::function<void()>& action) {
    const bool quitOnClose = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    QObject context; // takes a still-pending check with it when the loop ended first
    QTimer::singleShot(0, &context, [&] {
        action();
        QMetaObject::invokeMethod(
            &context, [] { QApplication::exit(StillRunning); }, Qt::QueuedConnection);
    });
    const int status = QApplication::exec();
    QApplication::setQuitOnLastWindowClosed(quitOnClose);
    return status;
}

} // namespace

class Files : public EditorTest {
protected:
    // Writes image into the backpack under name; its path.
    QString put(const QString& name, const QImage& image, const char* format = "bmp") {
        const QString path = inBackpack(name);
        QImageWriter writer(path, format);
        EXPECT_TRUE(writer.write(image)) << qPrintable(path);
        return path;
    }
    // A BMP cut in half: its header promises rows the file does not hold.
    QString putDamaged(const QString& name) {
        const QString path = put(name, sample(Red));
        QFile file(path);
        EXPECT_TRUE(file.resize(file.size() / 2));
        return path;
    }
    // A file of size bytes, all zero (sparse, so cheap at any size).
    QString putSized(const QString& name, qint64 size) {
        QFile file(inBackpack(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
        return file.fileName();
    }
    // A pen stroke along row 100: the picture has unsaved changes.
    void scribble(int row = 100) {
        stroke(QPoint(20, row), QPoint(200, row));
        ASSERT_EQ(picture().pixel(110, row), Black);
        ASSERT_FALSE(doc()->saved());
    }
    static bool scribbled(const QImage& image, int row = 100) {
        return image.pixel(110, row) == Black;
    }
    // The title bar shows name, and the window's title the name and the program's.
    void expectShown(const QString& name) {
        EXPECT_EQ(editor->windowTitle(), name + " - Image Editor");
        EXPECT_EQ(editor->titleBar->text(), name);
    }

    // For each answer to the question operation asks when the picture bound to a file has
    // unsaved changes: the box's caption and text, that "Ok" saves first, that "No" goes on
    // without saving and that "Cancel" and Escape stop with the picture untouched. operation
    // says whether it went on; then answers what a going-on operation shows next. Without
    // changes nothing is asked and the operation goes on.
    void checkQuestion(const QString& caption, const QString& text,
                       const std::function<bool()>& operation,
                       const std::vector<ModalScript::Step>& then = {}) {
        const QString bound = inBackpack("bound.bmp");
        put("bound.bmp", sample(Red));
        open(bound);
        {
            ModalScript script(then);
            EXPECT_TRUE(operation()) << "unchanged";
            EXPECT_FALSE(script.texts().contains(text)) << "unchanged";
            EXPECT_EQ(script.seen().size(), then.size()) << "unchanged";
        }
        for (const char* answer : {"Ok", "No", "Escape", "Cancel"}) {
            SCOPED_TRACE(answer);
            const bool cancel = qstrcmp(answer, "Cancel") == 0 || qstrcmp(answer, "Escape") == 0;
            put("bound.bmp", sample(Red));
            open(bound);
            scribble();
            std::vector<ModalScript::Step> steps{prompt(QLatin1String(answer))};
            steps.insert(steps.end(), then.begin(), then.end());
            bool wentOn = false;
            {
                ModalScript script(steps);
                wentOn = operation();
                ASSERT_FALSE(script.seen().empty());
                EXPECT_EQ(script.seen()[0].caption, caption);
                EXPECT_EQ(script.seen()[0].text, text);
                EXPECT_EQ(script.seen().size(), cancel ? 1u : 1u + then.size());
            }
            EXPECT_EQ(scribbled(QImage(bound)), qstrcmp(answer, "Ok") == 0) << "saved first";
            EXPECT_EQ(wentOn, !cancel);
            if (cancel) {
                EXPECT_TRUE(scribbled(picture()));
                EXPECT_FALSE(doc()->saved());
            }
        }
    }
};

TEST_F(Files, NewAsksAboutUnsavedChanges) {
    checkQuestion("Save", "The document has been changed. Save it.", [this] {
        editor->fileNew();
        // The title bar and the window's title name the new picture alike.
        return samePixels(picture(), blank()) && editor->titleBar->text() == "Image1" &&
               editor->windowTitle() == "Image1 - Image Editor";
    });
    // The last answer was "Cancel": the name stays; New never drops the file name.
    expectShown("bound");
    EXPECT_EQ(editor->currentFileName, inBackpack("bound.bmp"));
}

TEST_F(Files, OpenAsksAboutUnsavedChanges) {
    put("other.bmp", sample(Blue));
    checkQuestion("Save", "The document has been changed. Save it",
                  [this] {
                      editor->fileOpen();
                      return samePixels(picture(), sample(Blue)) &&
                             editor->titleBar->text() == "other";
                  },
                  {ModalScript::file("other.bmp")});
}

TEST_F(Files, QuitAsksAboutUnsavedChangesThenEndsTheEventLoop) {
    checkQuestion("Image Editor", "The document has been changed. Save it.",
                  [this] { return loopStatusAfter([this] { editor->closeAll(); }) == 0; });
}

TEST_F(Files, ClosingTheWindowAsksAboutUnsavedChanges) {
    checkQuestion("Image Editor", "The document has been changed. Save it.",
                  [this] { return editor->close() && !editor->isVisible(); });
    EXPECT_TRUE(editor->isVisible()); // the last answer was "Cancel"
}

TEST_F(Files, OpenShowsEachRefusalAndTheDialogAgainUntilAPictureLoads) {
    putDamaged("damaged.bmp");
    put("png.jpg", sample(Red), "png"); // a PNG under a JPEG name
    putSized("big.bmp", 60000001);
    putSized("edge.bmp", 60000000); // within the size limit, but no picture
    const QString photo = put("photo.jpeg", sample(Blue), "jpeg");
    bool untouched = true; // the picture stays as it was while loads fail
    const auto check = [&](QWidget* w) {
        untouched = untouched && samePixels(picture(), blank());
        ModalScript::key(Qt::Key_Return)(w);
    };
    {
        ModalScript script({ModalScript::file("damaged.bmp"), check, ModalScript::file("png.jpg"),
                            check, ModalScript::file("big.bmp"), check,
                            ModalScript::file("edge.bmp"), check, ModalScript::file("photo.jpeg")});
        editor->fileOpen();
        EXPECT_TRUE(script.finished());
        EXPECT_EQ(script.texts(), QStringList({"Open", "The Image could not be loaded", "Open",
                                               "The Image could not be loaded", "Open",
                                               "The File size is too large", "Open",
                                               "The Image could not be loaded", "Open"}));
        for (size_t i = 1; i < script.seen().size(); i += 2)
            EXPECT_EQ(script.seen()[i].caption, "Error Message") << i;
    }
    EXPECT_TRUE(untouched);
    expectShown("photo");
    EXPECT_EQ(editor->currentFileName, photo);
    EXPECT_EQ(editor->backpackFile.path(), photo);
    EXPECT_EQ(picture().size(), QSize(480, 320));
    EXPECT_TRUE(showsMark(picture(), Blue));
    EXPECT_TRUE(doc()->saved());
    EXPECT_TRUE(doc()->isFile());
    EXPECT_TRUE(editor->fileSaveAction->isEnabled());
    EXPECT_EQ(editor->titleBar->menuIcon().size(), QSize(16, 16));
}

// The dialog lists PNGs beside BMPs and JPEGs; one opens pixel for pixel and Save writes it
// back as PNG.
TEST_F(Files, OpenListsPngsAndSaveWritesThemBack) {
    const QString path = put("pic.png", sample(Blue), "png");
    put("notes.txt", sample(Red), "png"); // not listed: no picture extension
    {
        ModalScript script({[](QWidget* w) {
            auto* view = w->findChild<QAbstractItemView*>();
            ASSERT_NE(view, nullptr);
            QStringList listed;
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            EXPECT_EQ(listed, QStringList{"pic.png"});
            ModalScript::file("pic.png")(w);
        }});
        editor->fileOpen();
        EXPECT_TRUE(script.finished());
    }
    expectShown("pic");
    EXPECT_TRUE(samePixels(picture(), sample(Blue)));
    scribble();
    editor->fileSave();
    EXPECT_TRUE(doc()->saved());
    EXPECT_EQ(QImageReader::imageFormat(path), "png");
    EXPECT_TRUE(samePixels(QImage(path), picture()));
}

TEST_F(Files, OpenOfAFileDeletedMeanwhileSaysSoAndStops) {
    const QString gone = put("gone.bmp", sample(Red));
    const auto deleteThenChoose = [gone](QWidget* w) {
        ASSERT_TRUE(QFile::remove(gone));
        ModalScript::file("gone.bmp")(w);
    };
    {
        ModalScript script({deleteThenChoose, ModalScript::key(Qt::Key_Return)});
        editor->fileOpen();
        EXPECT_EQ(script.texts(), QStringList({"Open", "The File doesn't exists"}));
        ASSERT_EQ(script.seen().size(), 2u);
        EXPECT_EQ(script.seen()[1].caption, "Error Message");
    }
    EXPECT_TRUE(samePixels(picture(), blank()));
    EXPECT_EQ(editor->titleBar->text(), "Image1");
    EXPECT_TRUE(editor->currentFileName.isNull());
}

TEST_F(Files, DismissedOpenDialogStartsAnewReloadsOrKeepsUnsavedChanges) {
    // No file yet: a new picture (this one was painted without counting as a change).
    doc()->painter()->fillRect(0, 0, 50, 50, Qt::black);
    editor->titleBar->setText(QStringLiteral("elsewhere"));
    {
        ModalScript script({ModalScript::key(Qt::Key_Escape)});
        editor->fileOpen();
        EXPECT_EQ(script.texts(), QStringList{"Open"});
    }
    EXPECT_TRUE(samePixels(picture(), blank()));
    EXPECT_EQ(editor->titleBar->text(), "Image1");

    // With a file: read again from disk.
    const QString path = put("pic.bmp", sample(Red));
    {
        ModalScript script({ModalScript::file("pic.bmp")});
        editor->fileOpen();
    }
    ASSERT_EQ(editor->currentFileName, path);
    put("pic.bmp", sample(Blue));
    {
        ModalScript script({ModalScript::key(Qt::Key_Escape)});
        editor->fileOpen();
        EXPECT_EQ(script.texts(), QStringList{"Open"});
    }
    EXPECT_TRUE(samePixels(picture(), sample(Blue)));
    expectShown("pic");
    EXPECT_EQ(editor->currentFileName, path);

    // Changes the user chose not to save stay on screen, unsaved, with a file or without one.
    for (bool withFile : {true, false}) {
        SCOPED_TRACE(withFile ? "with a file" : "without a file");
        if (!withFile)
            open(QString());
        scribble();
        {
            ModalScript script({prompt("No"), ModalScript::key(Qt::Key_Escape)});
            editor->fileOpen();
            EXPECT_EQ(script.texts(),
                      QStringList({"The document has been changed. Save it", "Open"}));
        }
        EXPECT_TRUE(scribbled(picture()));
        EXPECT_FALSE(doc()->saved());
        EXPECT_EQ(editor->currentFileName, withFile ? path : QString());
    }
    EXPECT_TRUE(samePixels(QImage(path), sample(Blue)));
}

TEST_F(Files, SizeLimitLeavesRoomForTheProcessWithoutWrappingAround) {
    const quint64 unlimited = EditorProbe::NoAddressLimit;
    const auto fits = [](qint64 size, quint64 limit) {
        return EditorProbe::sizeAcceptable(size, limit);
    };
    EXPECT_TRUE(fits(0, unlimited));
    EXPECT_TRUE(fits(60000000, unlimited));
    EXPECT_FALSE(fits(60000001, unlimited));
    EXPECT_FALSE(fits(Q_INT64_C(5000000000), unlimited));
    // A limit at or below the 10,000,000 bytes kept free leaves no room for any byte.
    for (quint64 limit :
         {Q_UINT64_C(0), Q_UINT64_C(1), Q_UINT64_C(9999999), Q_UINT64_C(10000000)}) {
        EXPECT_FALSE(fits(1, limit)) << limit;
        EXPECT_FALSE(fits(60000000, limit)) << limit;
    }
    EXPECT_TRUE(fits(1, 10000001));
    EXPECT_FALSE(fits(2, 10000001));
    EXPECT_TRUE(fits(10000000, 20000000));
    EXPECT_FALSE(fits(10000001, 20000000));
    EXPECT_TRUE(fits(60000000, 70000000));
    EXPECT_FALSE(fits(60000001, 70000000));
    // Just above 4 GiB the whole limit counts (cut to 32 bits it would leave 5,000,000 bytes).
    const quint64 above4GiB = (Q_UINT64_C(1) << 32) + 15000000;
    EXPECT_TRUE(fits(6000000, above4GiB));
    EXPECT_TRUE(fits(60000000, above4GiB));
    EXPECT_FALSE(fits(60000001, above4GiB));
}

TEST_F(Files, SaveWritesTheBoundFileOnlyWhenThereIsSomethingToSave) {
    const QString path = put("pic.bmp", sample(Red));
    open(path);
    put("pic.bmp", sample(Blue)); // changed on disk meanwhile
    {
        ModalScript none;
        editor->fileSave(); // nothing changed: nothing written
        EXPECT_TRUE(none.seen().empty());
    }
    EXPECT_TRUE(samePixels(QImage(path), sample(Blue)));

    scribble();
    {
        ModalScript none;
        editor->fileSave();
        EXPECT_TRUE(none.seen().empty());
    }
    EXPECT_EQ(QImageReader::imageFormat(path), "bmp");
    EXPECT_TRUE(samePixels(QImage(path), picture()));
    EXPECT_TRUE(scribbled(QImage(path)));
    EXPECT_TRUE(doc()->saved());

    // Save switched off: nothing written.
    scribble(200);
    editor->fileSaveAction->setEnabled(false);
    {
        ModalScript none;
        editor->fileSave();
        EXPECT_TRUE(none.seen().empty());
    }
    EXPECT_FALSE(scribbled(QImage(path), 200));
    EXPECT_FALSE(doc()->saved());
}

TEST_F(Files, SaveOfAPictureWithoutAFileGoesToSaveAs) {
    scribble();
    {
        ModalScript script({ModalScript::button("BMP"), ModalScript::file("drawn")});
        editor->fileSave();
        EXPECT_EQ(script.texts(), QStringList({"Select the image file type to save.", "Save As"}));
    }
    const QString written = inBackpack("drawn.BMP");
    EXPECT_EQ(QImageReader::imageFormat(written), "bmp");
    EXPECT_TRUE(samePixels(QImage(written), picture()));
    expectShown("drawn");
    EXPECT_TRUE(doc()->saved());
}

TEST_F(Files, FailedSaveSaysSoAndKeepsThePictureUnsaved) {
    ASSERT_TRUE(QDir(backpack.path()).mkdir("sub"));
    const QString path = put("sub/pic.bmp", sample(Red));
    open(path);
    scribble();
    const auto saveFails = [this] {
        ModalScript script({ModalScript::key(Qt::Key_Return)});
        editor->fileSave();
        EXPECT_EQ(script.texts(), QStringList{"The Image could not be Saved"});
        ASSERT_EQ(script.seen().size(), 1u);
        EXPECT_EQ(script.seen()[0].caption, "Error Message");
        EXPECT_FALSE(doc()->saved());
        EXPECT_TRUE(doc()->isFile());
        EXPECT_TRUE(scribbled(picture()));
    };
    {
        SCOPED_TRACE("the file's folder replaced by a plain file");
        QDir dir(backpack.path());
        ASSERT_TRUE(dir.rename("sub", "moved"));
        put("sub", sample(Blue));
        saveFails();
        EXPECT_TRUE(samePixels(QImage(inBackpack("sub")), sample(Blue)));
    }
    {
        SCOPED_TRACE("the file replaced by a folder");
        ASSERT_TRUE(QFile::remove(inBackpack("sub")));
        ASSERT_TRUE(QDir(backpack.path()).mkpath("sub/pic.bmp"));
        saveFails();
        EXPECT_TRUE(QFileInfo(path).isDir());
    }
}

TEST_F(Files, StartUpOpenLoadsThePictureNamed) {
    struct Case {
        const char* name;
        const char* format;
        const char* shown;
    };
    const Case cases[] = {
        {"good.bmp", "bmp", "good"},
        {"photo.jpg", "jpeg", "photo"},
        {"drawing.png", "png", "drawing"},
        {"png-inside.bmp", "png", "png-inside"}, // the contents decide
        {"my picture \xc3\xa4\xe2\x82\xac.bmp", "bmp", "my picture \xc3\xa4\xe2\x82\xac"},
        {"noext", "bmp", "noext"}};
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        SCOPED_TRACE(c.name);
        const QString path = put(name, sample(Blue), c.format);
        {
            ModalScript none;
            open(path);
            EXPECT_TRUE(none.seen().empty());
        }
        expectShown(QString::fromUtf8(c.shown));
        EXPECT_EQ(editor->currentFileName, path);
        EXPECT_TRUE(qstrcmp(c.format, "jpeg") != 0 ? samePixels(picture(), sample(Blue))
                                                   : showsMark(picture(), Blue));
        EXPECT_TRUE(doc()->saved());
        EXPECT_TRUE(doc()->isFile());
        EXPECT_TRUE(editor->fileSaveAction->isEnabled());
    }
}

TEST_F(Files, StartUpOpenWarnsWhenThePictureCannotBeLoaded) {
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(sample(Red).save(&buffer, "png"));
    }
    QFile cut(inBackpack("cut.png"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly) && cut.write(png.left(png.size() - 4)) > 0);
    cut.close();
    const QString paths[] = {putDamaged("damaged.bmp"), inBackpack("missing.bmp"), cut.fileName(),
                             put("pic.ppm", sample(Red), "ppm"),
                             put("pic.png", sample(Red), "ppm")};
    for (const QString& path : paths) {
        SCOPED_TRACE(qPrintable(path));
        {
            ModalScript script({warning()});
            open(path);
            // The message names the picture, plainly.
            EXPECT_EQ(script.texts(), QStringList{"The Image could not be loaded\n" + path});
            ASSERT_EQ(script.seen().size(), 1u);
            EXPECT_EQ(script.seen()[0].caption, "Error Message");
        }
        EXPECT_TRUE(samePixels(picture(), blank()));
        EXPECT_EQ(editor->titleBar->text(), "Image1");
        EXPECT_TRUE(editor->currentFileName.isNull());
        EXPECT_FALSE(doc()->isFile());
    }
}

// A named pipe or a folder given at start gets the same warning at once: nothing waits for a
// writer. Writers come and go after a while, so that an editor that waits fails the test
// instead of hanging it.
TEST_F(Files, StartUpOpenOfANamedPipeOrAFolderWarnsAtOnce) {
    const QString fifo = inBackpack("pipe.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(backpack.path()).mkpath("folder.bmp"));
    std::atomic<bool> done{false};
    std::thread writers([&] {
        for (int i = 0; !done; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const int fd =
                i < 50 ? -1 : ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    });
    for (const QString& path : {fifo, inBackpack("folder.bmp")}) {
        SCOPED_TRACE(qPrintable(path));
        QElapsedTimer clock;
        clock.start();
        {
            ModalScript script({warning()});
            open(path);
            EXPECT_EQ(script.texts(), QStringList{"The Image could not be loaded\n" + path});
        }
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_TRUE(editor->isVisible());
        EXPECT_TRUE(samePixels(picture(), blank()));
        EXPECT_EQ(editor->titleBar->text(), "Image1");
    }
    done = true;
    writers.join();
}

TEST_F(Files, StartUpOpenLeavesTheEventLoopRunning) {
    const QString paths[] = {put("good.bmp", sample(Red)), putDamaged("damaged.bmp")};
    editor.reset();
    for (const QString& path : paths) {
        SCOPED_TRACE(qPrintable(path));
        ModalScript script; // dismisses the warning
        EXPECT_EQ(loopStatusAfter([&] { open(path); }), StillRunning);
        EXPECT_TRUE(editor && editor->isVisible());
    }
}

TEST_F(Files, DisplayNameAndPathWithoutExtension) {
    const QString folder300 = "/folder/" + QString(288, 'x') + ".bmp";
    const QString slash256 = "/" + QString(251, 'y') + ".bmp";
    const QString slash257 = "/" + QString(252, 'y') + ".bmp";
    ASSERT_EQ(folder300.size(), 300);
    ASSERT_EQ(slash256.size(), 256);
    struct Case {
        QString path;
        QString shown;
        QString stem;
    };
    const Case cases[] = {
        {"x.bmp", "x", "x"},
        {".bmp", ".bmp", ".bmp"}, // the first character is never looked at
        {"/x.bmp", "/x", "/x"},
        {"/data/a.b.jpg", "a.b", "/data/a.b"},
        {"/home/user/pictures/cat.bmp", "cat", "/home/user/pictures/cat"},
        {"/dir.v2/photo", "photo", "/dir.v2/photo"},
        {"", "", ""},
        // Over 256 characters only the last 255 count: here the folder falls off.
        {folder300, QString(251, 'x'), QString(251, 'x')},
        {slash256, "/" + QString(251, 'y'), "/" + QString(251, 'y')},
        {slash257, QString(251, 'y'), QString(251, 'y')},
    };
    editor->imageCaption(QStringLiteral("/keep/me.bmp"));
    for (const Case& c : cases) {
        EXPECT_EQ(editor->getOnlyFileName(c.path), c.stem) << qPrintable(c.path);
        EXPECT_EQ(editor->currentFileName, "/keep/me.bmp");
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.path));
        editor->imageCaption(c.path);
        expectShown(c.shown);
        EXPECT_EQ(editor->currentFileName, c.path);
    }
}

TEST_F(Files, FileHandlerGivesPathExtensionAndSizeOfItsOwnCopy) {
    const QString path = put("Pic.Final.BMP", sample(Red));
    KVQ_BackpackFile file(path);
    const KVQ_FileHandler handler(file);
    file.setPath(inBackpack("other.jpeg"));
    EXPECT_EQ(handler.getPath(), path);
    EXPECT_EQ(handler.getExt(), "BMP");
    EXPECT_EQ(handler.size(), QFileInfo(path).size());

    const KVQ_FileHandler unbound{KVQ_BackpackFile()};
    EXPECT_TRUE(unbound.getPath().isNull());
    EXPECT_TRUE(unbound.getExt().isNull());
}

// Root reads and writes every file; test_editor_unprivileged runs this suite as root without
// the capabilities that override file permissions.
class FilePermissions : public Files {
protected:
    void SetUp() override {
        if (permissionsOverridden())
            GTEST_SKIP() << "needs a process whom file permissions bind; the CTest test "
                            "test_editor_unprivileged runs it so";
        Files::SetUp();
    }
    static bool permissionsOverridden() {
        QTemporaryDir dir;
        const QString probe = dir.filePath(QStringLiteral("probe"));
        QFile file(probe);
        if (!file.open(QIODevice::WriteOnly))
            return true;
        file.close();
        QFile::setPermissions(probe, {});
        return QFileInfo(probe).isReadable();
    }
    void TearDown() override {
        // What a test locked becomes removable again.
        QDirIterator it(backpack.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            QFile::setPermissions(it.next(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Files::TearDown();
    }
    static void readOnly(const QString& path) {
        ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser |
                                                    QFile::ReadGroup | QFile::ReadOther));
    }
};

TEST_F(FilePermissions, ReadOnlyPictureOpensWithSaveSwitchedOff) {
    const QString locked = put("ro.bmp", sample(Red));
    readOnly(locked);
    put("rw.bmp", sample(Blue));
    {
        ModalScript script({ModalScript::file("ro.bmp")});
        editor->fileOpen();
        EXPECT_EQ(script.texts(), QStringList{"Open"});
    }
    EXPECT_TRUE(samePixels(picture(), sample(Red)));
    expectShown("ro");
    EXPECT_FALSE(editor->fileSaveAction->isEnabled());
    EXPECT_EQ(editor->titleBar->menuIcon().size(), QSize(32, 32));

    scribble();
    {
        ModalScript none;
        editor->fileSave();
        EXPECT_TRUE(none.seen().empty());
    }
    // While Save is off, "Ok" to the question of New goes to Save As; dismissed, it keeps the
    // picture and New does not go on.
    {
        ModalScript script({prompt("Ok"), ModalScript::key(Qt::Key_Escape)});
        editor->fileNew();
        EXPECT_EQ(script.texts(), QStringList({"The document has been changed. Save it.",
                                               "Select the image file type to save."}));
    }
    EXPECT_TRUE(samePixels(QImage(locked), sample(Red)));
    EXPECT_TRUE(scribbled(picture()));
    EXPECT_FALSE(doc()->saved());
    // Written under another name, New goes on.
    {
        ModalScript script({prompt("Ok"), ModalScript::button("BMP"), ModalScript::file("copy")});
        editor->fileNew();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_TRUE(scribbled(QImage(inBackpack("copy.BMP"))));
    EXPECT_TRUE(samePixels(picture(), blank()));
    EXPECT_TRUE(editor->fileSaveAction->isEnabled());

    // New switches Save back on.
    open(locked);
    ASSERT_FALSE(editor->fileSaveAction->isEnabled());
    editor->fileNew();
    EXPECT_TRUE(editor->fileSaveAction->isEnabled());
    EXPECT_EQ(editor->titleBar->menuIcon().size(), QSize(16, 16));

    {
        ModalScript script({ModalScript::file("rw.bmp")});
        editor->fileOpen();
    }
    EXPECT_TRUE(samePixels(picture(), sample(Blue)));
    EXPECT_TRUE(editor->fileSaveAction->isEnabled());
    EXPECT_EQ(editor->titleBar->menuIcon().size(), QSize(16, 16));
}

TEST_F(FilePermissions, UnreadablePictureSaysSoAndTheDialogComesBack) {
    const QString locked = put("locked.bmp", sample(Red));
    put("rw.bmp", sample(Blue));
    // Locked while the dialog is open, so that the dialog still lists it.
    const auto lockThenChoose = [locked](QWidget* w) {
        ASSERT_TRUE(QFile::setPermissions(locked, {}));
        ModalScript::file("locked.bmp")(w);
    };
    bool saveWasOff = false;
    const auto noteThenChoose = [&](QWidget* w) {
        saveWasOff = !editor->fileSaveAction->isEnabled();
        ModalScript::file("rw.bmp")(w);
    };
    {
        ModalScript script({lockThenChoose, ModalScript::key(Qt::Key_Return), noteThenChoose});
        editor->fileOpen();
        EXPECT_EQ(script.texts(),
                  QStringList({"Open", "The File does not have Read Permission", "Open"}));
        ASSERT_EQ(script.seen().size(), 3u);
        EXPECT_EQ(script.seen()[1].caption, "Error Message");
    }
    EXPECT_TRUE(saveWasOff); // the locked file is not writable either
    EXPECT_TRUE(samePixels(picture(), sample(Blue)));
    expectShown("rw");
    EXPECT_TRUE(editor->fileSaveAction->isEnabled());
}

TEST_F(FilePermissions, StartUpOpenOfProtectedFiles) {
    const QString ro = put("ro.bmp", sample(Red));
    readOnly(ro);
    {
        ModalScript none;
        open(ro);
        EXPECT_TRUE(none.seen().empty());
    }
    EXPECT_TRUE(samePixels(picture(), sample(Red)));
    expectShown("ro");
    EXPECT_FALSE(editor->fileSaveAction->isEnabled());
    ASSERT_NE(editor->icon(), nullptr);
    EXPECT_EQ(editor->icon()->size(), QSize(16, 16));

    const QString locked = put("locked.bmp", sample(Red));
    ASSERT_TRUE(QFile::setPermissions(locked, {}));
    {
        ModalScript script({warning()});
        open(locked);
        EXPECT_EQ(script.texts(), QStringList{"The Image could not be loaded\n" + locked});
    }
    EXPECT_TRUE(samePixels(picture(), blank()));
    EXPECT_TRUE(editor->currentFileName.isNull());
}

TEST_F(FilePermissions, SaveIntoAWriteProtectedFolderFails) {
    ASSERT_TRUE(QDir(backpack.path()).mkdir("sub"));
    const QString path = put("sub/pic.bmp", sample(Red));
    open(path);
    scribble();
    ASSERT_TRUE(QFile::setPermissions(inBackpack("sub"), QFile::ReadOwner | QFile::ExeOwner));
    {
        ModalScript script({ModalScript::key(Qt::Key_Return)});
        editor->fileSave();
        EXPECT_EQ(script.texts(), QStringList{"The Image could not be Saved"});
    }
    EXPECT_FALSE(doc()->saved());
    EXPECT_TRUE(samePixels(QImage(path), sample(Red)));
}

// Names are shown as they are: never as markup, and Qt's "[*]" mark in a window title stays
// itself.
TEST_F(Files, NamesAreShownAsPlainText) {
    editor->imageCaption(QStringLiteral("/d/<u>a.bmp"));
    auto* label = editor->titleBar->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text(), "<u>a");
    EXPECT_EQ(editor->windowHandle()->title(), "<u>a - Image Editor");
    editor->imageCaption(QStringLiteral("/d/x[*]y.bmp"));
    EXPECT_EQ(editor->windowHandle()->title(), "x[*]y - Image Editor");

    const QString missing = inBackpack("<b>gone.bmp");
    Qt::TextFormat shownAs = Qt::RichText;
    {
        ModalScript script({[&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w))
                shownAs = box->textFormat();
            w->close();
        }});
        open(missing);
        EXPECT_EQ(script.texts(), QStringList{"The Image could not be loaded\n" + missing});
    }
    EXPECT_EQ(shownAs, Qt::PlainText);
}

// "Ok" goes on only once the picture is written: a save dismissed or failed keeps the editor
// running with the picture unsaved.
TEST_F(Files, QuitAfterOkGoesOnOnlyOnceThePictureIsWritten) {
    scribble();
    {
        // Never saved: "Ok" asks for the format, and Escape there cancels the quit.
        ModalScript script({prompt("Ok"), ModalScript::key(Qt::Key_Escape)});
        EXPECT_EQ(loopStatusAfter([this] { editor->closeAll(); }), StillRunning);
        EXPECT_EQ(script.texts(), QStringList({"The document has been changed. Save it.",
                                               "Select the image file type to save."}));
    }
    EXPECT_TRUE(scribbled(picture()));
    EXPECT_FALSE(doc()->saved());

    // Bound to a file that a folder has taken the place of: the write fails and is reported.
    const QString path = put("pic.bmp", sample(Red));
    open(path);
    scribble();
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir(backpack.path()).mkdir("pic.bmp"));
    {
        ModalScript script({prompt("Ok"), ModalScript::key(Qt::Key_Return)});
        EXPECT_EQ(loopStatusAfter([this] { editor->closeAll(); }), StillRunning);
        EXPECT_EQ(script.texts(), QStringList({"The document has been changed. Save it.",
                                               "The Image could not be Saved"}));
    }
    EXPECT_FALSE(doc()->saved());
    EXPECT_TRUE(editor->isVisible());
}
