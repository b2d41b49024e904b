// Reads a stream line by line as the lines arrive, so that a line is handed on before the
// writer has finished. A line ends at LF or at the end of input; a CR right before that end
// belongs to the line end. A line longer than the limit is read to its end and dropped, never
// held in memory whole.
#ifndef KV_FERRYLINEREADER_H
#define KV_FERRYLINEREADER_H

#include <QByteArray>
#include <QString>

#include <cstdio>

class KV_FerryLineReader {
public:
    enum Result { Line, TooLong, End, Error };

    KV_FerryLineReader(FILE* in, qsizetype maxLength) : in(in), maxLength(maxLength) {}

    // The next line without its line end (Line), or why there is none. After End or Error,
    // every further call returns End.
    Result next(QByteArray* line);
    // The number of the line last returned, counting from 1.
    qint64 lineNumber() const { return number; }
    // Why reading failed, after Error.
    QString errorText() const { return error; }

private:
    FILE* in;
    qsizetype maxLength;
    qint64 number = 0;
    bool finished = false;
    QString error;
};

#endif
