// The receptor's meta object and its event report, driven directly through the fake hub.
#include "swreceptor.h"

#include "kvq_symwatchhub.h"

#include <QMetaMethod>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

namespace {
// Standard output written while fn runs.
template <typename Fn>
std::string captureStdout(Fn fn) {
    std::fflush(stdout);
    std::FILE* file = std::tmpfile();
    const int saved = dup(fileno(stdout));
    dup2(fileno(file), fileno(stdout));
    fn();
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);
    std::rewind(file);
    std::string text;
    char buffer[512];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}
} // namespace

TEST(SWReceptorMeta, ClassWithOnePublicSlotAndNoSignals) {
    const QMetaObject& meta = SWReceptor::staticMetaObject;
    EXPECT_STREQ(meta.className(), "SWReceptor");
    ASSERT_NE(meta.superClass(), nullptr);
    EXPECT_STREQ(meta.superClass()->className(), "QObject");
    ASSERT_EQ(meta.methodCount() - meta.methodOffset(), 1);
    const QMetaMethod slot = meta.method(meta.methodOffset());
    EXPECT_EQ(slot.methodType(), QMetaMethod::Slot);
    EXPECT_EQ(slot.access(), QMetaMethod::Public);
    EXPECT_EQ(slot.methodSignature(),
              QMetaObject::normalizedSignature("slotPrintEvent(unsigned long)"));
}

TEST(SWReceptorEvents, HubSignalReachesTheSlotAndCodesGoBack) {
    qputenv("KV_COMPONENT_PATH", KV_FAKE_MATH_DIR);
    const std::string out = captureStdout([] {
        SWReceptor receptor;
        ASSERT_NE(receptor.hub(), nullptr);
        EXPECT_EQ(receptor.code(), 1UL);
        EXPECT_EQ(receptor.number(), 1UL);
        emit receptor.hub()->symChanged(3);
        emit receptor.hub()->symChanged(4);
    });
    EXPECT_EQ(out, "  New variables: *NONE*\n  Deleted variables: *NONE*\n"
                   "  Modified variables: *NONE*\n  All affected variables: *NONE*\n"
                   "Receptor 1 (1) reports a symchanged event 3.\n"
                   "  New variables: *NONE*\n  Deleted variables: *NONE*\n"
                   "  Modified variables: *NONE*\n  All affected variables: *NONE*\n"
                   "Receptor 1 (1) reports an irrelevant symchanged event 4.\n");
    // The first code was given back, so the next receptor gets it again.
    SWReceptor again;
    EXPECT_EQ(again.code(), 1UL);
}
