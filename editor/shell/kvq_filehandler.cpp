#include "kvq_filehandler.h"

KVQ_FileHandler::KVQ_FileHandler(KVQ_BackpackFile file) : KVQ_BackpackFile(file) {}

QString KVQ_FileHandler::getPath() const {
    return path();
}

QString KVQ_FileHandler::getExt() const {
    return ext();
}
