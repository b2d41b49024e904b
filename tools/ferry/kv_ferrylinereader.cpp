#include "kv_ferrylinereader.h"

#include <cerrno>
#include <cstring>

KV_FerryLineReader::Result KV_FerryLineReader::next(QByteArray* line) {
    line->clear();
    if (finished)
        return End;
    // One byte beyond the limit is kept, for a CR that belongs to the line end.
    const qsizetype keep = maxLength + 1;
    bool tooLong = false;
    bool any = false;
    int c;
    while ((c = getc_unlocked(in)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        if (line->size() < keep)
            line->append(char(c));
        else
            tooLong = true;
    }
    if (c == EOF) {
        finished = true;
        if (std::ferror(in)) {
            error = QString::fromLocal8Bit(std::strerror(errno));
            return Error;
        }
        if (!any)
            return End;
    }
    ++number;
    if (line->endsWith('\r'))
        line->chop(1);
    if (tooLong || line->size() > maxLength) {
        line->clear();
        return TooLong;
    }
    return Line;
}
