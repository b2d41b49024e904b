// The framework logger: one line per record on standard error, or appended to the file named
// by the environment variable KV_LOG_FILE.
#ifndef KV_LOGGER_H
#define KV_LOGGER_H

#include <QString>

class KV_Logger {
public:
    // Writes "time level category source:line [object] message" as one line; line breaks in
    // the message are written as "\n". A record that cannot be written is dropped.
    static void log(unsigned level, const void* object, const QString& category, char* sourceFile,
                    int line, const QString& message);
    // The line log() writes for a record, without the time and the line end.
    static QByteArray format(unsigned level, const void* object, const QString& category,
                             const char* sourceFile, int line, const QString& message);
};

#endif
