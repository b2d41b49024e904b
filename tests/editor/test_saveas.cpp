// Save As as a user meets it: the format question, the name chosen in the backpack and the file
// written for it, the refusals to change the format of a picture, what happens to the chosen
// file, failed writes; and the window's format helpers.
#include "editor_fixture.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QMessageBox>
#include <QPushButton>

#include <csignal>

#include <sys/resource.h>

namespace {

constexpr QRgb Red = 0xffff0000u;

QImage sample(QRgb mark) {
    return markedPicture(mark);
}

// Checks a message box's caption, text, buttons and default button, then presses answer (a
// button's text) or Escape (answer "Escape").
ModalScript::Step box(const QString& caption, const QString& text, const QStringList& buttons,
                      const QString& defaultButton, const QString& answer) {
    return [=](QWidget* w) {
        auto* b = qobject_cast<QMessageBox*>(w);
        if (!b) {
            ADD_FAILURE() << "no message box";
            w->close();
            return;
        }
        EXPECT_EQ(b->windowTitle(), caption);
        EXPECT_EQ(b->text(), text);
        QStringList shown;
        for (QAbstractButton* button : b->buttons())
            shown << button->text().remove(QLatin1Char('&'));
        EXPECT_EQ(shown, buttons);
        EXPECT_TRUE(b->defaultButton() && b->defaultButton()->text() == defaultButton);
        if (answer == "Escape")
            QTest::keyClick(w, Qt::Key_Escape);
        else
            ModalScript::button(answer)(w);
    };
}

const char* const Question = "Select the image file type to save.";

ModalScript::Step format(const QString& answer) {
    return box("Save File Format", Question, {"BMP", "JPG", "PNG", "Cancel"}, "BMP", answer);
}

const char* const Overwrite = "The document already exists. Overwrite it ? ";

ModalScript::Step overwrite(const QString& answer) {
    return box("Save As", Overwrite, {"Overwrite", "Cancel"}, "Cancel", answer);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lowers the limit on the size of files this process writes, so that writing a picture fails
// (with the signal that would end the process ignored); restores both on destruction.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved{};
    void (*previous)(int) = nullptr;
};

} // namespace

class SaveAs : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        stroke(QPoint(20, 100), QPoint(200, 100)); // something to save
        ASSERT_FALSE(doc()->saved());
    }
    QString put(const QString& name, const QImage& image, const char* fmt = "bmp") {
        const QString path = inBackpack(name);
        QImageWriter writer(path, fmt);
        EXPECT_TRUE(writer.write(image)) << qPrintable(path);
        return path;
    }
    // The names in a folder of the backpack.
    QStringList filesIn(const QString& folder = QString()) const {
        QStringList names = QDir(folder.isEmpty() ? backpack.path() : inBackpack(folder))
                                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        names.sort();
        return names;
    }
    // Save As with the format answer ("BMP", "JPG", "PNG") and the name typed in the save dialog;
    // the texts of the boxes shown (any box after the dialog is dismissed with Escape).
    QStringList saveAs(const QString& answer, const QString& name) {
        ModalScript script({format(answer), ModalScript::file(name)});
        editor->fileSaveAs();
        return script.texts();
    }
    // Nothing was written, and the picture stays as it was, unsaved.
    void expectNothingSaved(const QString& shown = QStringLiteral("Image1")) {
        EXPECT_EQ(editor->titleBar->text(), shown);
        EXPECT_FALSE(doc()->saved());
    }
};

TEST_F(SaveAs, FormatQuestionAndItsAnswers) {
    const std::pair<const char*, int> formats[] = {{"BMP", 0}, {"JPG", 1}, {"PNG", 2}};
    for (const auto& [answer, code] : formats) {
        SCOPED_TRACE(answer);
        ModalScript script({format(answer), ModalScript::key(Qt::Key_Escape)});
        editor->fileSaveAs();
        EXPECT_EQ(script.texts(), QStringList({Question, "Save As"}));
        EXPECT_EQ(editor->formatCode, code);
    }
    // "Cancel", Escape and the window's close button all cancel: no dialog follows.
    const auto closeBox = [](QWidget* w) { w->close(); };
    const std::vector<ModalScript::Step> cancels{format("Cancel"), format("Escape"), closeBox};
    for (const ModalScript::Step& cancel : cancels) {
        ModalScript script({cancel});
        editor->fileSaveAs();
        EXPECT_EQ(script.texts(), QStringList{Question});
        EXPECT_EQ(editor->formatCode, 3);
    }
    EXPECT_TRUE(filesIn().isEmpty());
    expectNothingSaved();
    EXPECT_TRUE(editor->currentFileName.isNull());

    // The question on its own gives the button's index; Escape gives Cancel's.
    const std::pair<const char*, int> answers[] = {
        {"BMP", 0}, {"JPG", 1}, {"PNG", 2}, {"Cancel", 3}, {"Escape", 3}};
    for (const auto& [answer, result] : answers) {
        ModalScript script({format(answer)});
        EXPECT_EQ(editor->determineInputFormat(), result) << answer;
    }
}

TEST_F(SaveAs, WritesTheChosenFormatUnderANormalisedName) {
    struct Case {
        const char* answer;
        const char* typed;
        const char* written;
        const char* shown;
    };
    // A name ending in an extension of the format, in any case, is kept; any other gets the
    // format's extension.
    const Case cases[] = {
        {"JPG", "cat.jpg", "cat.jpg", "cat"},
        {"JPG", "cat.jpeg", "cat.jpeg", "cat"},
        {"JPG", "cat.JPG", "cat.JPG", "cat"},
        {"JPG", "cat.JPEG", "cat.JPEG", "cat"},
        {"JPG", "cat.Jpeg", "cat.Jpeg", "cat"},
        {"JPG", "cat", "cat.JPEG", "cat"},
        {"JPG", "cat.bmp", "cat.bmp.JPEG", "cat.bmp"},
        {"BMP", "cat", "cat.BMP", "cat"},
        {"BMP", "cat.bmp", "cat.bmp", "cat"},
        {"BMP", "cat.BMP", "cat.BMP", "cat"},
        {"BMP", "cat.Bmp", "cat.Bmp", "cat"},
        {"BMP", "photo.png", "photo.png.BMP", "photo.png"},
        {"BMP", "cat.jpg.bmp", "cat.jpg.bmp", "cat.jpg"},
        {"PNG", "cat", "cat.PNG", "cat"},
        {"PNG", "cat.png", "cat.png", "cat"},
        {"PNG", "cat.Png", "cat.Png", "cat"},
        {"PNG", "cat.jpg", "cat.jpg.PNG", "cat.jpg"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 %2").arg(c.answer, c.typed).toStdString());
        const QString folder = QString("case%1").arg(++n);
        ASSERT_TRUE(QDir(backpack.path()).mkdir(folder));
        EXPECT_EQ(saveAs(c.answer, folder + "/" + c.typed), QStringList({Question, "Save As"}));
        EXPECT_EQ(filesIn(folder), QStringList{c.written});
        const QString path = inBackpack(folder + "/" + c.written);
        const QByteArray written = qstrcmp(c.answer, "JPG") == 0 ? "jpeg" : c.answer;
        const bool lossless = written != "jpeg";
        EXPECT_EQ(QImageReader::imageFormat(path), written.toLower());
        if (lossless) {
            EXPECT_TRUE(samePixels(QImage(path), picture()));
        }
        EXPECT_EQ(editor->windowTitle(), QString(c.shown) + " - Image Editor");
        EXPECT_EQ(editor->titleBar->text(), c.shown);
        EXPECT_EQ(editor->currentFileName, path);
        EXPECT_TRUE(doc()->saved());
        EXPECT_TRUE(doc()->isFile());

        // Save then writes there, in that format.
        stroke(QPoint(20, 100 + 10 * n), QPoint(200, 100 + 10 * n));
        editor->fileSave();
        EXPECT_TRUE(doc()->saved());
        EXPECT_EQ(filesIn(folder), QStringList{c.written});
        EXPECT_EQ(QImageReader::imageFormat(path), written.toLower());
        if (lossless) {
            EXPECT_TRUE(samePixels(QImage(path), picture()));
        }
    }
}

TEST_F(SaveAs, RefusesToChangeTheFormatOfAPictureOfTheSameName) {
    const auto refused = [this](const QString& answer, const QString& typed,
                                const QStringList& before) {
        SCOPED_TRACE(qPrintable(answer + " " + typed));
        ModalScript script(
            {format(answer), ModalScript::file(typed), ModalScript::key(Qt::Key_Return)});
        editor->fileSaveAs();
        EXPECT_EQ(script.texts(),
                  QStringList({Question, "Save As", "The Image format cannot be changed"}));
        if (script.seen().size() == 3) {
            EXPECT_EQ(script.seen()[2].caption, "Error Message");
        }
        EXPECT_EQ(filesIn(), before);
    };
    // A JPEG of the same name blocks a BMP and a PNG, whatever case its extension has.
    for (const char* ext : {".jpeg", ".jpg", ".JPEG", ".JPG"}) {
        const QString existing = put(QString("cat") + ext, sample(Red), "jpeg");
        refused("BMP", "cat.bmp", {QString("cat") + ext});
        refused("BMP", "cat", {QString("cat") + ext});
        refused("PNG", "cat.png", {QString("cat") + ext});
        ASSERT_TRUE(QFile::remove(existing));
    }
    // A BMP of the same name blocks a JPEG and a PNG, for any name with that stem.
    for (const char* ext : {".BMP", ".bmp"}) {
        const QString existing = put(QString("cat") + ext, sample(Red));
        for (const char* typed : {"cat.jpg", "cat.JPEG", "cat.png", "cat"})
            refused("JPG", typed, {QString("cat") + ext});
        refused("PNG", "cat", {QString("cat") + ext});
        EXPECT_TRUE(samePixels(QImage(existing), sample(Red)));
        ASSERT_TRUE(QFile::remove(existing));
    }
    // A PNG of the same name blocks a BMP and a JPEG.
    for (const char* ext : {".png", ".PNG"}) {
        const QString existing = put(QString("cat") + ext, sample(Red), "png");
        refused("BMP", "cat.bmp", {QString("cat") + ext});
        refused("JPG", "cat", {QString("cat") + ext});
        ASSERT_TRUE(QFile::remove(existing));
    }
    expectNothingSaved();
    EXPECT_TRUE(editor->currentFileName.isNull());

    // The same format, or another name, is written.
    put("cat.BMP", sample(Red));
    {
        ModalScript script({format("BMP"), ModalScript::file("cat.BMP"), overwrite("Overwrite")});
        editor->fileSaveAs();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_TRUE(samePixels(QImage(inBackpack("cat.BMP")), picture()));
    EXPECT_EQ(saveAs("JPG", "dog"), QStringList({Question, "Save As"}));
    EXPECT_EQ(filesIn(), QStringList({"cat.BMP", "dog.JPEG"}));
}

TEST_F(SaveAs, RefusesToChangeTheFormatOfTheOpenPicture) {
    // The picture opened last, though gone from disk since, keeps its format under its name.
    struct Case {
        const char* opened;
        const char* format;
        const char* answer;
        const char* typed;
    };
    const Case cases[] = {
        {"cat.BMP", "bmp", "JPG", "cat.jpg"},  {"cat.bmp", "bmp", "JPG", "cat.JPEG"},
        {"cat.jpg", "jpeg", "BMP", "cat.bmp"}, {"cat.jpeg", "jpeg", "BMP", "cat.BMP"},
        {"cat.JPG", "jpeg", "BMP", "cat.bmp"}, {"cat.png", "png", "JPG", "cat.jpg"},
        {"cat.PNG", "png", "BMP", "cat.Bmp"},  {"cat.jpg", "jpeg", "PNG", "cat.png"},
        {"cat.bmp", "bmp", "PNG", "cat.PNG"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opened);
        const QString opened = put(c.opened, sample(Red), c.format);
        {
            ModalScript script({ModalScript::button("No"), ModalScript::file(c.opened)});
            editor->fileOpen();
        }
        ASSERT_EQ(editor->currentFileName, opened);
        ASSERT_TRUE(QFile::remove(opened));
        stroke(QPoint(20, 100), QPoint(200, 100));
        {
            ModalScript script(
                {format(c.answer), ModalScript::file(c.typed), ModalScript::key(Qt::Key_Return)});
            editor->fileSaveAs();
            EXPECT_EQ(script.texts(),
                      QStringList({Question, "Save As", "The Image format cannot be changed"}));
        }
        EXPECT_TRUE(filesIn().isEmpty());
        expectNothingSaved("cat");
        EXPECT_EQ(editor->currentFileName, opened);
    }
    // Under another name the other format is written; the file the dialogs start from stays
    // the one opened.
    EXPECT_EQ(saveAs("JPG", "dog.jpg"), QStringList({Question, "Save As"}));
    EXPECT_EQ(filesIn(), QStringList{"dog.jpg"});
    EXPECT_EQ(editor->backpackFile.path(), inBackpack("cat.bmp"));
}

// Saving over cat.jpg replaces cat.jpg, after asking; "Cancel" and Escape write nothing, and no
// file the user did not name is touched.
TEST_F(SaveAs, ReplacingAFileAsksFirstAndKeepsItsName) {
    const QString cat = put("cat.jpg", sample(Red), "jpeg");
    const QString other = put("cat.JPEG", sample(Red), "jpeg");
    const QByteArray before = bytesOf(cat);
    const QByteArray otherBefore = bytesOf(other);
    for (const char* answer : {"Cancel", "Escape"}) {
        SCOPED_TRACE(answer);
        ModalScript script({format("JPG"), ModalScript::file("cat.jpg"), overwrite(answer)});
        editor->fileSaveAs();
        EXPECT_EQ(script.texts(), QStringList({Question, "Save As", Overwrite}));
        EXPECT_EQ(bytesOf(cat), before);
        expectNothingSaved();
    }
    {
        ModalScript script({format("JPG"), ModalScript::file("cat.jpg"), overwrite("Overwrite")});
        editor->fileSaveAs();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(filesIn(), QStringList({"cat.JPEG", "cat.jpg"}));
    const QImage written(cat);
    EXPECT_EQ(written.pixel(60, 60), White);        // the old picture's mark is gone
    EXPECT_LT(qGray(written.pixel(110, 100)), 100); // the stroke is there
    EXPECT_EQ(bytesOf(other), otherBefore);
    EXPECT_EQ(editor->currentFileName, cat);
    EXPECT_TRUE(doc()->saved());

    // A name without the format's extension is asked about under the name written.
    put("dog.BMP", sample(Red));
    {
        ModalScript script({format("BMP"), ModalScript::file("dog"), overwrite("Overwrite")});
        editor->fileSaveAs();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_TRUE(samePixels(QImage(inBackpack("dog.BMP")), picture()));
    EXPECT_EQ(filesIn(), QStringList({"cat.JPEG", "cat.jpg", "dog.BMP"}));
}

TEST_F(SaveAs, AFailedWriteSaysSoAndRemovesNothing) {
    // Each target is there already: the write is asked about, then fails.
    const auto fails = [this](const QString& typed) {
        SCOPED_TRACE(qPrintable(typed));
        ModalScript script({format("BMP"), ModalScript::file(typed), overwrite("Overwrite"),
                            ModalScript::key(Qt::Key_Return)});
        editor->fileSaveAs();
        EXPECT_EQ(script.texts(),
                  QStringList({Question, "Save As", Overwrite, "The Image could not be Saved"}));
        if (script.seen().size() == 4) {
            EXPECT_EQ(script.seen()[3].caption, "Error Message");
        }
        expectNothingSaved();
        EXPECT_TRUE(editor->currentFileName.isNull());
        EXPECT_FALSE(doc()->isFile());
    };
    // The file to write is a folder.
    ASSERT_TRUE(QDir(backpack.path()).mkdir("cat.BMP"));
    fails("cat");
    EXPECT_TRUE(QFileInfo(inBackpack("cat.BMP")).isDir());
    ASSERT_TRUE(QDir(backpack.path()).rmdir("cat.BMP"));

    // The disk refuses the bytes: the picture already there under either name stays whole.
    for (const char* name : {"cat.BMP", "cat.bmp"}) {
        const QString existing = put(name, sample(Red));
        {
            FileSizeLimit limit(4096);
            fails(name);
        }
        EXPECT_EQ(filesIn(), QStringList{name});
        EXPECT_TRUE(samePixels(QImage(existing), sample(Red)));
        ASSERT_TRUE(QFile::remove(existing));
    }
}

TEST_F(SaveAs, FormatHelpers) {
    EXPECT_EQ(editor->determineSaveFormat("BMP"), 0);
    EXPECT_EQ(editor->determineSaveFormat("JPEG"), 1);
    EXPECT_EQ(editor->determineSaveFormat("JPG"), 1);
    EXPECT_EQ(editor->determineSaveFormat("PNG"), 2);
    for (const char* other :
         {"bmp", "jpeg", "jpg", "png", "GIF", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(editor->determineSaveFormat(other), 3) << (other ? other : "null");

    EXPECT_EQ(editor->appendFormat(0, "/d/x"), "/d/x.bmp");
    EXPECT_EQ(editor->appendFormat(1, "/d/x"), "/d/x.jpg");
    EXPECT_EQ(editor->appendFormat(2, "/d/x"), "/d/x.png");
    EXPECT_EQ(editor->appendFormat(3, "/d/x"), "/d/x");

    // Written as asked, under the name as given.
    EXPECT_TRUE(editor->saveFileWithFormat(0, inBackpack("a.jpg")));
    EXPECT_TRUE(editor->saveFileWithFormat(1, inBackpack("b")));
    EXPECT_TRUE(editor->saveFileWithFormat(2, inBackpack("c.bmp")));
    EXPECT_FALSE(editor->saveFileWithFormat(3, inBackpack("d.bmp")));
    EXPECT_EQ(filesIn(), QStringList({"a.jpg", "b", "c.bmp"}));
    EXPECT_EQ(QImageReader::imageFormat(inBackpack("a.jpg")), "bmp");
    EXPECT_EQ(QImageReader::imageFormat(inBackpack("b")), "jpeg");
    EXPECT_EQ(QImageReader::imageFormat(inBackpack("c.bmp")), "png");
    EXPECT_TRUE(samePixels(QImage(inBackpack("a.jpg")), picture()));
    EXPECT_TRUE(editor->currentFileName.isNull()); // the shown name is not theirs to change

    // The format of a file by its contents, by the upper-case names.
    put("png.bmp", sample(Red), "png");
    QFile text(inBackpack("text.bmp"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("no picture") > 0);
    text.close();
    EXPECT_STREQ(editor->determineFileFormat(inBackpack("a.jpg")), "BMP");
    EXPECT_STREQ(editor->determineFileFormat(inBackpack("b")), "JPEG");
    EXPECT_STREQ(editor->determineFileFormat(inBackpack("png.bmp")), "PNG");
    EXPECT_EQ(editor->determineFileFormat(inBackpack("text.bmp")), nullptr);
    EXPECT_EQ(editor->determineFileFormat(inBackpack("missing.bmp")), nullptr);

    // The overwrite question: "Cancel" is the default, Escape dismisses.
    const char* const text0 = "The document already exists. Overwrite it ? ";
    const std::pair<const char*, int> answers[] = {{"Overwrite", 0}, {"Cancel", 1}, {"Escape", -1}};
    for (const auto& [answer, result] : answers) {
        ModalScript script({box("Save As", text0, {"Overwrite", "Cancel"}, "Cancel", answer)});
        EXPECT_EQ(editor->filePresentDialog(), result) << answer;
        EXPECT_TRUE(script.finished());
    }
}
