// What the console reads of an expression, against the real math server: currency names and
// signs with the installed exchange rates, superscripts and compound units, names shown as
// typed in the terminal's encoding, and characters that are invisible, foreign or a line ending.
#include "answerscript.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <cmath>
#include <regex>

using namespace answers;

namespace {

using ConsoleNames = RealConsoleTest;

// The central bank's rates installed with the engine: euros per unit and the day they are of.
struct InstalledRates {
    QDateTime day;
    QHash<QString, double> perEuro;
};

InstalledRates installedRates() {
    InstalledRates rates;
    QFile file(QStringLiteral(KV_QALC_DATA_DIR "/eurofxref-daily.xml"));
    if (!file.open(QIODevice::ReadOnly))
        return rates;
    QXmlStreamReader xml(&file);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (a.hasAttribute(QStringLiteral("time")))
            rates.day = QDateTime::fromString(a.value(QStringLiteral("time")).toString() +
                                                  QStringLiteral("T00:00:00Z"),
                                              Qt::ISODate);
        if (a.hasAttribute(QStringLiteral("currency")))
            rates.perEuro.insert(a.value(QStringLiteral("currency")).toString(),
                                 a.value(QStringLiteral("rate")).toDouble());
    }
    return rates;
}

// An amount as the console writes it: ten significant digits, no trailing zeros.
std::string amount(double value) {
    return QString::number(value, 'g', 10).toStdString();
}

QProcessEnvironment locale(const char* name) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(name));
    return env;
}

} // namespace

TEST_F(ConsoleNames, CurrenciesTakeTheInstalledRates) {
    const InstalledRates rates = installedRates();
    ASSERT_TRUE(rates.day.isValid());
    const double usd = rates.perEuro.value(QStringLiteral("USD"));
    const double jpy = rates.perEuro.value(QStringLiteral("JPY"));
    ASSERT_GT(usd, 0);
    ASSERT_GT(jpy, 0);
    const qint64 before = rates.day.daysTo(QDateTime::currentDateTimeUtc());
    const std::string out = run(evaluate(
        "", {"10 USD", "100 JPY to EUR", "10 EUR to USD", "5 \xE2\x82\xAC to $", "$5 + $3"}));
    const qint64 after = rates.day.daysTo(QDateTime::currentDateTimeUtc());

    // The first use of the rates tells their age, counted from the day they are of.
    std::smatch age;
    const std::regex ageLine(answer("10 USD", "EUR " + amount(10 / usd)) +
                             "  WARNINGS:\n    It has been ([0-9]+) days since the exchange "
                             "rates last were updated\\.\n");
    ASSERT_TRUE(std::regex_search(out, age, ageLine)) << out;
    const qint64 days = std::stoll(age[1].str());
    EXPECT_GE(days, before - 1);
    EXPECT_LE(days, after);

    expectIn(out, answer("100 JPY to EUR", "EUR " + amount(100 / jpy)));
    expectIn(out, answer("10 EUR to USD", "$" + amount(10 * usd)));
    expectIn(out, answer("5 \xE2\x82\xAC to $", "$" + amount(5 * usd)));
    // A sum of one currency is shown in euros, as the engine shows it.
    expectIn(out, answer("$5 + $3", "EUR " + amount(8 / usd)));
}

TEST_F(ConsoleNames, SuperscriptsAndCompoundUnitsAreNamesTheEngineKnows) {
    const std::string out = run(evaluate(
        "", {"\xCF\x80\xC2\xB2", "9.81 m/s\xC2\xB2", "5 km\xC2\xB2 to m\xC2\xB2",
             "diff(x\xC2\xB2, x)", "5 kWh", "2500 mAh", "3 Nm", "5 km2", "3 foo", "2 hello"}));
    expectIn(out, answer("\xCF\x80\xC2\xB2", "9.869604401"));
    expectIn(out, answer("9.81 m/s\xC2\xB2", "9.81 m/s^2"));
    expectIn(out, answer("5 km\xC2\xB2 to m\xC2\xB2", "5000000 m^2"));
    expectIn(out, answer("diff(x\xC2\xB2, x)", "2x"));
    expectIn(out, answer("5 kWh", "18 MJ"));
    expectIn(out, answer("2500 mAh", "9 kC"));
    expectIn(out, answer("3 Nm", "3 J"));
    expectIn(out, answer("5 km2", "5 km^2"));
    // Words that are no unit's name, although the engine could split them into units
    // (femto-octet octet, hour e litre litre byte), are still unknown.
    for (const char* name : {"foo", "hello"})
        expectIn(out, error("The expression uses an undefined name") +
                          warnings({std::string("Undefined name \"") + name + "\""}));
}

TEST_F(ConsoleNames, NamesAreShownAsTypedInTheTerminalsEncoding) {
    const std::string input = evaluate("", {"3 \xD0\xB6\xD1\x83\xD0\xBA"});
    const std::string unknown =
        failed("3 \xD0\xB6\xD1\x83\xD0\xBA", "The expression uses an undefined name") +
        "  WARNINGS:\n    Undefined name \"";
    expectIn(run(input, locale("C.UTF-8")), unknown + "\xD0\xB6\xD1\x83\xD0\xBA\"\n");
    // Without an encoding of its own the locale keeps the console's Latin-1 messages.
    expectIn(run(input, locale("C")), unknown + "???\"\n");
    // Answers stay in UTF-8 there, as they always were.
    expectIn(run(evaluate("", {"5 \xC2\xB5m"}), locale("C.UTF-8")), answer("5 \xC2\xB5m", "5 um"));
}

TEST_F(ConsoleNames, InvisibleForeignAndLineEndingCharacters) {
    const std::string out =
        run(evaluate("", {"1+2\r", "1\xE2\x80\x8B+2",
                          "\xE2\x80\xAE"
                          "1+2",
                          "1+2\x07", "\xEF\xBC\x91\xEF\xBC\x8B\xEF\xBC\x92",
                          "\xEF\xBD\x93\xEF\xBD\x91\xEF\xBD\x92"
                          "\xEF\xBD\x94\xEF\xBC\x88\xEF\xBC\x91\xEF\xBC\x96\xEF\xBC\x89",
                          "25 \xE2\x84\x83 to \xC2\xB0"
                          "F",
                          "\xEF\xBB\xBF"
                          "2*3"}));
    // A CR LF line ending is a line ending.
    expectIn(out, answer("1+2", "3"));
    const std::string invisible = "The expression holds an invisible or control character";
    expectIn(out, failed("1\xE2\x80\x8B+2", invisible) +
                      warnings({"Invisible or control character U+200B at position 2"}));
    expectIn(out, failed("\xE2\x80\xAE"
                         "1+2",
                         invisible) +
                      warnings({"Invisible or control character U+202E at position 1"}));
    expectIn(out, failed("1+2\x07", invisible) +
                      warnings({"Invisible or control character U+0007 at position 4"}));
    // Full-width digits, operators and letters, and the degree Celsius sign, in plain form.
    expectIn(out, answer("\xEF\xBC\x91\xEF\xBC\x8B\xEF\xBC\x92", "3"));
    expectIn(out, answer("\xEF\xBD\x93\xEF\xBD\x91\xEF\xBD\x92\xEF\xBD\x94\xEF\xBC\x88\xEF\xBC"
                         "\x91\xEF\xBC\x96\xEF\xBC\x89",
                         "4"));
    expectIn(out, answer("25 \xE2\x84\x83 to \xC2\xB0"
                         "F",
                         "77 oF"));
    // A byte-order mark at the start is harmless.
    expectIn(out, answer("\xEF\xBB\xBF"
                         "2*3",
                         "6"));
}
