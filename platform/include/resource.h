// Pictures by name: looked up as given (absolute, or relative to the working folder), then in
// the folders of KV_PICS_PATH (colon-separated), then in the installed picture folder; a name
// without extension also matches the same name with ".png".
#ifndef RESOURCE_H
#define RESOURCE_H

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

class Resource {
public:
    // The picture, or a null pixmap when it is not found or cannot be read.
    static QPixmap loadPixmap(const QString& name);
    static QImage loadImage(const QString& name);
    // The path of the picture, or a null string.
    static QString findPixmap(const QString& name);
    static QStringList searchFolders();
};

#endif
