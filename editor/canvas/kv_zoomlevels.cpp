#include "kv_zoomlevels.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr KV_ZoomLevels::Scale Levels[] = {{1, 8},  {1, 4},  {1, 2}, {1, 1}, {2, 1},
                                           {3, 1},  {4, 1},  {6, 1}, {8, 1}, {12, 1},
                                           {16, 1}, {24, 1}, {32, 1}};

} // namespace

int KV_ZoomLevels::count() {
    return int(std::size(Levels));
}

int KV_ZoomLevels::oneToOne() {
    return 3;
}

KV_ZoomLevels::Scale KV_ZoomLevels::scale(int level) {
    return Levels[std::clamp(level, 0, count() - 1)];
}

int KV_ZoomLevels::nearest(int percent) {
    if (percent <= 0)
        return 0;
    const double wanted = std::log(percent / 100.0);
    int best = 0;
    double bestDistance = 1e9;
    for (int i = 0; i < count(); ++i) {
        const double d = std::fabs(std::log(double(Levels[i].num) / Levels[i].den) - wanted);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

QString KV_ZoomLevels::text(int level) {
    const Scale s = scale(level);
    if (100 * s.num % s.den == 0)
        return QStringLiteral("%1%").arg(100 * s.num / s.den);
    return QStringLiteral("%1%").arg(100.0 * s.num / s.den, 0, 'f', 1);
}

int KV_ZoomLevels::step(int level, int steps) {
    return std::clamp(level + steps, 0, count() - 1);
}
