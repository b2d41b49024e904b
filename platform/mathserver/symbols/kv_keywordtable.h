// The table of operators, operator words and built-in functions with their tag pairs. Tags
// are (group, index), both 1 to 255: group 1 holds the operators, group 2 the operator words,
// groups 3 and up the engine's built-in functions in order of their reference names, 255 per
// group. The table is built once per process from the engine's definitions.
#ifndef KV_KEYWORDTABLE_H
#define KV_KEYWORDTABLE_H

#include <QHash>
#include <QString>
#include <QVector>

class KV_KeywordTable {
public:
    static const KV_KeywordTable& instance();

    // Tags of an operator, operator word or function (any of the function's names).
    bool tags(const QString& keyword, unsigned& tag1, unsigned& tag2) const;
    bool keyword(unsigned tag1, unsigned tag2, QString& out) const;
    // Help of an operator or operator word; empty for anything else.
    QString operatorHelp(const QString& op) const;
    // The whole table, one "tag1 tag2 keyword" line per entry.
    QString text() const;
    int size() const { return int(entries_.size()); }

private:
    struct Entry {
        QString keyword;
        unsigned tag1;
        unsigned tag2;
        QString help;
    };

    KV_KeywordTable();
    void add(const QString& keyword, unsigned tag1, unsigned tag2, const QString& help);

    QVector<Entry> entries_;
    QHash<QString, int> byKeyword_;
    QHash<quint32, int> byTags_;
};

#endif
