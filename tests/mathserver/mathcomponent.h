// Loads the math component libraries the way the broker does and builds their objects.
#ifndef MATHCOMPONENT_H
#define MATHCOMPONENT_H

#include "kvq_mathserver.h"
#include "kvq_symwatchhub.h"

#include <QString>

class QUnknownInterface;

class MathComponent {
public:
    // The factory of a component library ("kvmathserver" or "kvsymwatchhub"), with one
    // reference, or null.
    static QUnknownInterface* factory(const char* library);
    // A new object from the library's factory, or null.
    static QObject* create(const char* library);
    static KVQ_MathServer* server();
    static KVQ_SymWatchHub* hub();
};

#endif
