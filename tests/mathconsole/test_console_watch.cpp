// Symbol-watch receptors (items 31 to 33): the slot table, marking and the event reports.
#include "fakeconsole.h"

#include <QFile>
#include <QTemporaryDir>

using namespace transcript;

namespace {
const std::string kCount = "Number of receptor objects to create: ";
const std::string kCreateOrDelete =
    "Enter\n1. Create SymWatch Receptors\n2. Delete SymWatch Receptors\n? ";
const std::string kExisting = "Existing SymWatch Receptor Objects:\n";
const std::string kDeleteIndex = "\nEnter index of SymWatch Receptor to delete (0 to quit): ";
const std::string kStartStop = "1. Start Marking\n2. Stop Marking\n? ";
const std::string kNumber = "Enter Receptor Number (0 to quit): ";
const std::string kMarkPrompts = "Enter Receptor Number: Reset watch flags? (0=no, 1=yes) "
                                 "Number of variables: ";
const std::string kDefine = "varname: 1. Define a variable\n2. Delete a variable\n? value: "
                            "1. Full Validation\n2. Full Simplification\n3. Minimal Validation\n? ";

// The hub calls traced by the fake components during one run.
struct Trace {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("trace")); }
    QStringList lines() const {
        QFile file(path());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

std::string slotNumbers(int first, int last) {
    std::string text;
    for (int i = first; i <= last; ++i)
        text += std::to_string(i) + " ";
    return text;
}
} // namespace

TEST(ConsoleWatch, SlotTableFillsUpAndEveryReceptorIsDeletedAtShutdown) {
    Trace trace;
    const QByteArray path = trace.path().toUtf8();
    // 36 is beyond the table; 35 asked with one slot taken makes 34 and then finds no slot.
    EXPECT_SESSION(
        runFake("31\n36\n1\n31\n1\n35\n31\n1\n1\n0\n", {{"KV_FAKE_TRACE", path.constData()}}),
        atMenu() + kCount + outOfRange + kCount + atMenu() + kCreateOrDelete + kCount +
            "No more available slots\n" + atMenu() + kCreateOrDelete + kCount +
            "No more available slots\n" + quit());
    const QStringList lines = trace.lines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("prepare 0"));
    // 32 single-bit codes, then none left; every receptor gives its code back.
    EXPECT_EQ(lines.filter(QStringLiteral("alloc")).size(), 35);
    EXPECT_TRUE(lines.contains(QStringLiteral("alloc 80000000")));
    EXPECT_EQ(lines.filter(QStringLiteral("alloc 0")).size(), 3);
    EXPECT_EQ(lines.filter(QStringLiteral("free")).size(), 35);
    EXPECT_EQ(lines.last(), QStringLiteral("free 0"));
}

TEST(ConsoleWatch, DeletedSlotIsReusedFirst) {
    const std::string input = "31\n3\n31\n2\n2\n2\n0\n31\n1\n1\n31\n2\n0\n0\n";
    EXPECT_SESSION(runFake(input), atMenu() + kCount + atMenu() + kCreateOrDelete + kExisting +
                                       "1 2 3 " + kDeleteIndex + "Deleted SymWatch Receptor 2.\n" +
                                       kExisting + "1 3 " + kDeleteIndex + kExisting + "1 3 " +
                                       kDeleteIndex + atMenu() + kCreateOrDelete + kCount +
                                       atMenu() + kCreateOrDelete + kExisting + "1 2 3 " +
                                       kDeleteIndex + quit());
}

TEST(ConsoleWatch, DeletingTheLastReceptorEndsTheCommand) {
    EXPECT_SESSION(runFake("31\n1\n31\n2\n1\n0\n"), atMenu() + kCount + atMenu() + kCreateOrDelete +
                                                        kExisting + "1 " + kDeleteIndex +
                                                        "Deleted SymWatch Receptor 1.\n" + quit());
}

TEST(ConsoleWatch, ReportsArriveBetweenPromptsForWatchedAndMarkedVariables) {
    Trace trace;
    const QByteArray path = trace.path().toUtf8();
    const std::string input = "31\n2\n"
                              "33\n1\n0\n1\nx\n"    // receptor 1 watches x
                              "20\nx\n1\n5\n1\n"    // new x
                              "20\nx\n1\n6\n1\n"    // modified x
                              "32\n1\n2\n1\n5\n0\n" // receptor 2 marks everything
                              "20\ny\n1\n1\n1\n"    // new y
                              "32\n2\n2\n0\n0\n";   // receptor 2 stops
    const std::string doneLevel0 = "Done\n  WARNINGS:\n    level 0\n";
    EXPECT_SESSION(runFake(input, {{"KV_FAKE_TRACE", path.constData()}}),
                   atMenu() + kCount + atMenu() + "1 2 \n" + kMarkPrompts + "Variable: Done\n" +
                       atMenu() + kDefine + lists("x ", "*NONE*", "*NONE*", "x ") +
                       "Receptor 1 (1) reports a symchanged event 1.\n" +
                       lists("x ", "*NONE*", "*NONE*", "x ") +
                       "Receptor 2 (2) reports an irrelevant symchanged event 1.\n" + doneLevel0 +
                       atMenu() + kDefine + lists("*NONE*", "*NONE*", "x ", "x ") +
                       "Receptor 1 (1) reports a symchanged event 1.\n" +
                       lists("*NONE*", "*NONE*", "x ", "x ") +
                       "Receptor 2 (2) reports an irrelevant symchanged event 1.\n" + doneLevel0 +
                       atMenu() + kStartStop + kExisting + "1 2 \n" + kNumber +
                       "Reset (0=no, 1=yes): Marking Started For Receptor 2, watchcode = 2\n" +
                       kNumber + "No such receptor\n" + kNumber + atMenu() + kDefine +
                       lists("y ", "*NONE*", "*NONE*", "y ") +
                       "Receptor 1 (1) reports an irrelevant symchanged event 2.\n" +
                       lists("y ", "*NONE*", "*NONE*", "y ") +
                       "Receptor 2 (2) reports a symchanged event 2.\n" + doneLevel0 + atMenu() +
                       kStartStop + kExisting + "1 2 \n" + kNumber +
                       "Marking Stopped For Receptor 2, watchcode = 2\n" + kNumber + quit());
    // Flags are reset only for relevant events.
    const QStringList lines = trace.lines();
    EXPECT_EQ(lines.filter(QStringLiteral("resetflags")),
              QStringList({QStringLiteral("resetflags 1"), QStringLiteral("resetflags 1"),
                           QStringLiteral("resetflags 2")}));
    EXPECT_TRUE(lines.contains(QStringLiteral("mark 1 [x] reset=0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("start 2 reset=1")));
    EXPECT_TRUE(lines.contains(QStringLiteral("stop 2")));
}

TEST(ConsoleWatch, MarkVariableListErrorsAndEmptySlots) {
    const std::string input = "33\n1\n0\n7\n33\n1\n1\n2\nbad\nz\n0\n";
    EXPECT_SESSION(runFake(input), atMenu() + "You must define a receptor first.\n" + kCount +
                                       "1 \nEnter Receptor Number: " + outOfRange +
                                       "Enter Receptor Number: No such receptor\n" + atMenu() +
                                       "1 \n" + kMarkPrompts +
                                       "Variable: Variable:  ERROR: fake failure 21\n" + quit());
}

TEST(ConsoleWatch, MarkingNeedsAReceptor) {
    // Creating none ends the command.
    EXPECT_SESSION(runFake("32\n0\n0\n"),
                   atMenu() + "You must define a receptor first.\n" + kCount + quit());
}

TEST(ConsoleWatch, CodeThatIsNotOneBitReportsNumberZero) {
    const std::string input = "31\n1\n33\n1\n0\n1\nx\n20\nx\n1\n1\n1\n0\n";
    EXPECT_SESSION(runFake(input, {{"KV_FAKE_WATCH_CODE", "6"}}),
                   atMenu() + kCount + atMenu() + "1 \n" + kMarkPrompts + "Variable: Done\n" +
                       atMenu() + kDefine + lists("x ", "*NONE*", "*NONE*", "x ") +
                       "Receptor 0 (6) reports a symchanged event 6.\n" +
                       "Done\n  WARNINGS:\n    level 0\n" + quit());
}

TEST(ConsoleWatch, ReceptorWithoutHubSkipsHubCalls) {
    const std::string input = "32\n1\n1\n1\n0\n0\n33\n1\n0\n1\nx\n0\n";
    const ConsoleResult r = runFake(input, {{"KV_FAKE_NO_HUB", "1"}});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, atMenu() + "You must define a receptor first.\n" + kCount + kStartStop +
                         kExisting + "1 \n" + kNumber +
                         "Reset (0=no, 1=yes): Marking Started For Receptor 1, watchcode = 0\n" +
                         kNumber + atMenu() + "1 \n" + kMarkPrompts + "Variable: Done\n" + quit());
}

TEST(ConsoleWatch, SlotListsCoverAllThirtyFive) {
    EXPECT_SESSION(runFake("31\n35\n32\n2\n35\n0\n0\n"),
                   atMenu() + kCount + atMenu() + kStartStop + kExisting + slotNumbers(1, 35) +
                       "\n" + kNumber + "Marking Stopped For Receptor 35, watchcode = 0\n" +
                       kNumber + quit());
}
