// ferry's batch form: queries read from a stream, one per line, sent in order over one bus
// connection, each as the single form sends it. Bad lines are reported with their numbers on
// the error stream and skipped; the others still go.
#ifndef KV_FERRYBATCH_H
#define KV_FERRYBATCH_H

#include <QByteArray>

#include <cstdio>

class KV_FerryBatch {
public:
    // Exit statuses.
    enum Status {
        AllSent = 0,   // every query went (empty lines are skipped)
        NoBus = 1,     // the bus could not be reached: nothing was read or sent
        SomeBad = 2,   // some lines were bad; every good line went
        NotAllSent = 3 // sending or reading failed part way; nothing after that point went
    };

    // The longest line taken, without its line end; 8 times the longest single query.
    static constexpr qsizetype maxLineLength = 1024 * 1024;

    KV_FerryBatch(FILE* in, FILE* err) : in(in), err(err) {}

    // Reads to the end of input and sends; returns the exit status.
    Status run();

private:
    // Writes "ferry: " and text as one line on the error stream.
    void report(const QByteArray& text);

    FILE* in;
    FILE* err;
};

#endif
