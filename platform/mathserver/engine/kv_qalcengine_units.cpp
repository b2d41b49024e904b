// Units of results: conversion targets, times in hours, minutes and seconds, and the US
// customary units of the units mode.
#include "engine/kv_qalcengine.h"

#include <libqalculate/qalculate.h>

namespace {

// Target units of the US customary display, tried in this order; a result takes the first one
// whose dimension matches exactly.
const char* const UsUnits[] = {"ft",     "lb",  "oF",       "gal", "ft^2",   "mph",
                               "ft/s^2", "lbf", "lbf/in^2", "hp",  "lb/ft^3"};

} // namespace

bool KV_QalcEngine::hasTarget(const std::string& expression, const EvaluationOptions& eo) {
    std::string from = expression;
    std::string to;
    CALCULATOR->separateToExpression(from, to, eo);
    return !to.empty();
}

bool KV_QalcEngine::isTime(const MathStructure& value) {
    if (value.isAddition()) {
        for (size_t i = 0; i < value.size(); ++i) {
            if (!isTime(value[i]))
                return false;
        }
        return value.size() > 0;
    }
    const MathStructure& unit =
        value.isMultiplication() && value.size() == 2 && value[0].isNumber() ? value[1] : value;
    if (!unit.isUnit())
        return false;
    const Unit* u = unit.unit();
    return u->baseExponent() == 1 && u->baseUnit() == CALCULATOR->getUnit("s");
}

void KV_QalcEngine::showInModeUnits(MathStructure& value, const Modes& modes,
                                    const EvaluationOptions& eo) const {
    if (!value.containsType(STRUCT_UNIT, false, false, false))
        return;
    MathStructure seconds(value);
    if (convertExactly(seconds, "s", eo)) {
        // Whole days, hours and minutes, and the seconds left, as the engine mixes time units.
        EvaluationOptions mixed = eo;
        mixed.mixed_units_conversion = MIXED_UNITS_CONVERSION_DEFAULT;
        value = CALCULATOR->convertToMixedUnits(seconds, mixed);
        return;
    }
    if (modes.units == 1)
        convertToUsUnits(value, eo);
}

bool KV_QalcEngine::convertExactly(MathStructure& value, const char* target,
                                   const EvaluationOptions& eo) const {
    // The converted value divided by the target has no unit left (litres are gal, not ft^3,
    // although both are made of ft).
    const MathStructure targetValue = CALCULATOR->parse(target, eo.parse_options);
    MathStructure converted = CALCULATOR->convert(value, target, eo);
    MathStructure ratio(converted);
    ratio.divide(targetValue);
    ratio.eval(eo);
    if (ratio.containsType(STRUCT_UNIT, false, false, false))
        return false;
    value = converted;
    return true;
}

void KV_QalcEngine::convertToUsUnits(MathStructure& value, const EvaluationOptions& eo) const {
    for (const char* target : UsUnits) {
        if (convertExactly(value, target, eo))
            return;
    }
}
