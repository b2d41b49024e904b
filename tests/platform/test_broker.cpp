// The broker against test components registered from a temporary folder.
#include "kv_cutlibrary.h"
#include "kvq_objectfactoryinterface.h"
#include "kvq_orb.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <type_traits>

// The interfaces' tables hold their operations only, in declaration order (no destructor slots),
// so that components built against that layout elsewhere stay compatible.
static_assert(!std::has_virtual_destructor_v<QUnknownInterface>);
static_assert(!std::has_virtual_destructor_v<KVQ_ObjectFactoryInterface>);

namespace {

QStringList warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtWarningMsg)
        warnings << text;
}

bool writeFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

// The number of live factories in the loaded copy of a test component.
int factoriesAlive(const QString& library) {
    void* handle = dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return -1;
    auto alive = reinterpret_cast<int (*)()>(dlsym(handle, "kv_test_factories_alive"));
    const int n = alive ? alive() : -2;
    dlclose(handle); // only drops the reference RTLD_NOLOAD added
    return n;
}

// The first size bytes of a test component.
bool writeTruncatedCopy(const QString& path, qint64 size) {
    QFile f(QStringLiteral(KV_TEST_COMPONENT_DIR "/libkvtestcomponent.so"));
    return f.open(QIODevice::ReadOnly) && writeFile(path, f.read(size));
}

class Broker : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        ASSERT_TRUE(dir->isValid());
        for (const char* lib :
             {"libkvtestcomponent.so", "libkvtestrefusing.so", "libkvtestnoentry.so"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KV_TEST_COMPONENT_DIR "/") + lib,
                                    dir->filePath(QString::fromLatin1(lib))));
        ASSERT_TRUE(writeFile(dir->filePath("test.index"), "# test classes\n"
                                                           "KV_TestObject libkvtestcomponent.so\n"
                                                           "\n"
                                                           "KV_Refusing libkvtestrefusing.so\n"
                                                           "KV_NoEntry   libkvtestnoentry.so\n"
                                                           "KV_Missing libkvabsent.so\n"
                                                           "a line with too many fields\n"));
        ASSERT_TRUE(QDir(dir->path()).mkdir("second"));
        // A later folder naming the same class does not override the first.
        ASSERT_TRUE(
            writeFile(dir->filePath("second/other.index"),
                      "KV_TestObject libkvtestnoentry.so\nKV_Second ../libkvtestcomponent.so\n"));
        // Broken components in a third folder.
        const QString broken = dir->filePath("broken");
        ASSERT_TRUE(QDir(dir->path()).mkdir("broken"));
        ASSERT_TRUE(writeTruncatedCopy(broken + "/libheader.so", 100));
        const QByteArray half =
            kv_cutLibrary(QStringLiteral(KV_TEST_COMPONENT_DIR "/libkvtestcomponent.so"));
        ASSERT_GT(half.size(), 4096);
        ASSERT_TRUE(writeFile(broken + "/libhalf.so", half));
        ASSERT_TRUE(writeFile(broken + "/libtext.so", QByteArray(200, 'x')));
        ASSERT_EQ(::mkfifo(QFile::encodeName(broken + "/libfifo.so").constData(), 0600), 0);
        ASSERT_TRUE(QFile::copy(QStringLiteral(KV_TEST_COMPONENT_DIR "/libkvtestdataentry.so"),
                                broken + "/libdataentry.so"));
        ASSERT_TRUE(writeFile(broken + "/broken.index", "KV_Header libheader.so\n"
                                                        "KV_Half libhalf.so\n"
                                                        "KV_Text libtext.so\n"
                                                        "KV_Fifo libfifo.so\n"
                                                        "KV_Folder .\n"
                                                        "KV_DataEntry libdataentry.so\n"));
        qputenv("KV_COMPONENT_PATH", componentPath());
    }
    static QByteArray componentPath() {
        return (dir->path() + ":/nonexistent/folder:" + dir->filePath("second") + ":" +
                dir->filePath("broken"))
            .toLocal8Bit();
    }
    static void TearDownTestSuite() {
        qunsetenv("KV_COMPONENT_PATH");
        delete dir;
        dir = nullptr;
    }
    void SetUp() override {
        warnings.clear();
        previous = qInstallMessageHandler(collectWarnings);
    }
    void TearDown() override { qInstallMessageHandler(previous); }

    static bool warned(const QString& part) {
        for (const QString& w : warnings)
            if (w.contains(part))
                return true;
        return false;
    }

    static QTemporaryDir* dir;
    QtMessageHandler previous = nullptr;
};

QTemporaryDir* Broker::dir = nullptr;

TEST_F(Broker, CreatesObjectWithNameAndArgumentsAndReleasesFactory) {
    QObject* object =
        KVQ_ORB::createObject("KV_TestObject", nullptr, "first", {"one", "two words"});
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->objectName(), "first");
    EXPECT_EQ(object->property("args").toStringList(), QStringList({"one", "two words"}));
    EXPECT_EQ(object->parent(), nullptr);
    EXPECT_EQ(factoriesAlive(dir->filePath("libkvtestcomponent.so")), 0);
    delete object;

    // The library stays loaded and serves further objects.
    QObject parent;
    QPointer<QObject> child = KVQ_ORB::createObject("KV_TestObject", &parent, nullptr, {});
    ASSERT_FALSE(child.isNull());
    EXPECT_EQ(child->parent(), &parent);
    EXPECT_TRUE(child->objectName().isEmpty());
    EXPECT_EQ(factoriesAlive(dir->filePath("libkvtestcomponent.so")), 0);
    EXPECT_FALSE(warned("KV_TestObject")) << qPrintable(warnings.join('\n'));
}

TEST_F(Broker, FactoryThatBuildsNothingGivesNullAndReleases) {
    QObject parent;
    parent.setObjectName("refuse");
    EXPECT_EQ(KVQ_ORB::createObject("KV_TestObject", &parent, "x", {}), nullptr);
    EXPECT_EQ(factoriesAlive(dir->filePath("libkvtestcomponent.so")), 0);
    EXPECT_TRUE(parent.children().isEmpty());
}

TEST_F(Broker, UnknownAndEmptyClassNamesGiveNullWithDiagnostic) {
    EXPECT_EQ(KVQ_ORB::createObject("KV_NoSuchClass", nullptr, nullptr, {}), nullptr);
    EXPECT_TRUE(warned("KV_NoSuchClass"));
    EXPECT_EQ(KVQ_ORB::createObject("", nullptr, nullptr, {}), nullptr);
    EXPECT_EQ(KVQ_ORB::createObject(nullptr, nullptr, nullptr, {}), nullptr);
    // Index lines are whole words: a prefix of a class name is not that class.
    EXPECT_EQ(KVQ_ORB::createObject("KV_Test", nullptr, nullptr, {}), nullptr);
}

TEST_F(Broker, LibraryWithoutEntryPointIsSkipped) {
    EXPECT_EQ(KVQ_ORB::createObject("KV_NoEntry", nullptr, nullptr, {}), nullptr);
    EXPECT_TRUE(warned("ucm_instantiate"));
    // Asking again is just as safe.
    EXPECT_EQ(KVQ_ORB::createObject("KV_NoEntry", nullptr, nullptr, {}), nullptr);
}

TEST_F(Broker, FactoryRefusingTheInterfaceIsReleased) {
    EXPECT_EQ(KVQ_ORB::createObject("KV_Refusing", nullptr, nullptr, {}), nullptr);
    EXPECT_TRUE(warned("factory interface"));
    EXPECT_EQ(factoriesAlive(dir->filePath("libkvtestrefusing.so")), 0);
}

TEST_F(Broker, MissingLibraryFileGivesNull) {
    EXPECT_EQ(KVQ_ORB::createObject("KV_Missing", nullptr, nullptr, {}), nullptr);
    EXPECT_TRUE(warned("libkvabsent.so"));
}

// Libraries cut short, files that are no libraries, a named pipe and an entry point that is data
// give null and one line each, instead of SIGBUS, a hang or a jump into data.
TEST_F(Broker, BrokenLibrariesAreRefusedBeforeLoading) {
    const QList<QPair<const char*, const char*>> cases = {
        {"KV_Header", "libheader.so: file cut short"},
        {"KV_Half", "libhalf.so: file cut short"},
        {"KV_Text", "libtext.so: not an ELF file"},
        {"KV_Fifo", "libfifo.so: not a regular file"},
        {"KV_Folder", "/broken: not a regular file"},
        {"KV_DataEntry", "libdataentry.so: its entry point ucm_instantiate is not a function"}};
    for (const auto& c : cases) {
        warnings.clear();
        EXPECT_EQ(KVQ_ORB::createObject(c.first, nullptr, nullptr, {}), nullptr) << c.first;
        ASSERT_EQ(warnings.size(), 1) << qPrintable(warnings.join('\n'));
        EXPECT_TRUE(warnings[0].startsWith("KVQ_ORB: cannot load component library "))
            << qPrintable(warnings[0]);
        EXPECT_TRUE(warnings[0].contains(c.second)) << qPrintable(warnings[0]);
    }
    // A good component still loads afterwards.
    QObject* object = KVQ_ORB::createObject("KV_TestObject", nullptr, nullptr, {});
    EXPECT_NE(object, nullptr);
    delete object;
}

TEST_F(Broker, ListsClassesInSearchOrderFirstFolderWinning) {
    const QStringList classes = KVQ_ORB::classNames();
    const QStringList expected = {"KV_TestObject", "KV_Refusing", "KV_NoEntry", "KV_Missing",
                                  "KV_Second"};
    ASSERT_GE(classes.size(), expected.size());
    EXPECT_EQ(classes.mid(0, expected.size()), expected);
    EXPECT_EQ(classes.count("KV_TestObject"), 1);
    EXPECT_TRUE(warned("test.index:7"));
    // The class from the second folder is served by the library its index names.
    QObject* object = KVQ_ORB::createObject("KV_Second", nullptr, "s", {});
    ASSERT_NE(object, nullptr);
    delete object;
    EXPECT_EQ(KVQ_ORB::componentFolders().first(), dir->path());
}

TEST_F(Broker, FollowsChangesOfTheComponentPath) {
    qputenv("KV_COMPONENT_PATH", "/nonexistent");
    EXPECT_EQ(KVQ_ORB::createObject("KV_TestObject", nullptr, nullptr, {}), nullptr);
    EXPECT_FALSE(KVQ_ORB::classNames().contains("KV_TestObject"));
    qputenv("KV_COMPONENT_PATH", componentPath());
    QObject* object = KVQ_ORB::createObject("KV_TestObject", nullptr, nullptr, {});
    EXPECT_NE(object, nullptr);
    delete object;
}

} // namespace
