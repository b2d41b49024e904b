// kv_logwriter LETTER COUNT SIZE: logs COUNT records, each a message of SIZE times LETTER, for
// the test of records written by several processes at once.
#include "kv_logger.h"

#include <QString>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const QString message(std::atoi(argv[3]), QLatin1Char(argv[1][0]));
    static char source[] = "writer";
    for (int i = std::atoi(argv[2]); i > 0; --i)
        KV_Logger::log(1, nullptr, QString(), source, 1, message);
    return 0;
}
