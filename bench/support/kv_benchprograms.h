// Helpers of the benchmarks that run other programs: finding a program in PATH, and the median
// of the times or sizes measured over the runs.
#ifndef KV_BENCHPROGRAMS_H
#define KV_BENCHPROGRAMS_H

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <string>
#include <unistd.h>
#include <vector>

// The path of a program found in PATH, or empty.
inline std::string kvFindInPath(const std::string& name) {
    const QByteArray path = qgetenv("PATH");
    for (const QByteArray& dir : path.split(':')) {
        const std::string candidate = dir.toStdString() + "/" + name;
        if (!dir.isEmpty() && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

inline double kvMedian(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

#endif
