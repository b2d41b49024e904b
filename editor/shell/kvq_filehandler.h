// KVQ_FileHandler: the path and extension of a backpack file, for one file operation of the
// editor. A value object on the stack of one slot, built on a copy of the backpack file.
#ifndef KVQ_FILEHANDLER_H
#define KVQ_FILEHANDLER_H

#include "kvq_backpackfile.h"

#include <QString>

class KVQ_FileHandler : public KVQ_BackpackFile {
public:
    explicit KVQ_FileHandler(KVQ_BackpackFile file);

    // The file-system path.
    QString getPath() const;
    // The extension without the dot, in the case the file name has it.
    QString getExt() const;
};

#endif
