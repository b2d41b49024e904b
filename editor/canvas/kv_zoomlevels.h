// KV_ZoomLevels: the scales the picture view steps through, from 1/8 to 32: 1/8, 1/4, 1/2, 1,
// 2, 3, 4, 6, 8, 12, 16, 24, 32. A level is an index into that list.
#ifndef KV_ZOOMLEVELS_H
#define KV_ZOOMLEVELS_H

#include <QString>

class KV_ZoomLevels {
public:
    struct Scale {
        int num;
        int den;
    };

    static int count();
    static int oneToOne();
    static Scale scale(int level);
    // The level nearest to a scale in percent (the nearest by ratio: 12 and 13 give 1/8).
    static int nearest(int percent);
    // "12.5%", "100%", "3200%".
    static QString text(int level);
    // A level moved by `steps` (negative: smaller), kept within the list.
    static int step(int level, int steps);
};

#endif
