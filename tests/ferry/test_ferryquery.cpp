// ferry's query: splitting into fields and percent decoding.
#include "kv_ferryquery.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(FerryQuery, DecodesOnlyWellFormedEscapes) {
    EXPECT_EQ(KV_FerryQuery::decode("my%20app"), "my app");
    EXPECT_EQ(KV_FerryQuery::decode("%41%4a%4A%7e"), "AJJ~");
    EXPECT_EQ(KV_FerryQuery::decode("%zz%4%"), "%zz%4%");
    EXPECT_EQ(KV_FerryQuery::decode("%%41"), "%A");
    EXPECT_EQ(KV_FerryQuery::decode("%e9"), QString(QChar(0xe9)));
    EXPECT_EQ(KV_FerryQuery::decode("%C3%A9").size(), 2); // two Latin-1 characters, as bytes
}

TEST(FerryQuery, FieldsChannelAndMessage) {
    const KV_FerryQuery q("&a%20b&&f%28%29&x%20y&&z&");
    ASSERT_TRUE(q.isValid());
    EXPECT_EQ(q.channel(), "KV/App/a b");
    EXPECT_EQ(q.message(), "f()");
    EXPECT_EQ(q.arguments(), QStringList({"x%20y", "z"}));
    EXPECT_FALSE(KV_FerryQuery("calc&&").isValid());
    EXPECT_FALSE(KV_FerryQuery("").isValid());
}

} // namespace
