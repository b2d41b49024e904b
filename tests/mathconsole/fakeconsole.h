// Runs the console against the fake math server component.
#ifndef FAKECONSOLE_H
#define FAKECONSOLE_H

#include "consolerun.h"
#include "transcript.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

// Runs the console on input with the fake components and any extra variables.
inline ConsoleResult
runFake(const std::string& input,
        std::initializer_list<std::pair<const char*, const char*>> extra = {}) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("KV_COMPONENT_PATH"), QStringLiteral(KV_FAKE_MATH_DIR));
    for (const auto& [key, value] : extra)
        env.insert(QString::fromUtf8(key), QString::fromUtf8(value));
    return runConsole(input, env);
}

// Checks a whole session: the transcript, a clean exit and nothing on standard error.
#define EXPECT_SESSION(result, transcriptText)                                                     \
    do {                                                                                           \
        const ConsoleResult& r_ = (result);                                                        \
        EXPECT_TRUE(r_.finished);                                                                  \
        EXPECT_EQ(r_.exitCode, 0);                                                                 \
        EXPECT_EQ(r_.out, (transcriptText));                                                       \
        EXPECT_EQ(r_.err, "");                                                                     \
    } while (false)

#endif
