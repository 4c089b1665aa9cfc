#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kel::bench {

// A synthetic, self-consistent set of RULES, PHYSICS and model data for measuring the
// library at a chosen scale, with the RULES and PHYSICS also written as JSON (the same
// object trees) so that the TARN reader can be compared with a general JSON parser.
//
// Scale s holds s independent "modules". Each module is a small simulation set-up of its
// own: a SYSTEM with a context rule, singleton controls, a transient-only TIMING, OUTPUT
// with named PROBEs, ZONEs with a context rule and FACEs with a context rule, about forty
// parameters of every type (strings with allowed lists, reals with quantity types, units
// and bounds, integers, logicals, string lists), local and context-level RULES
// definitions, CHECKs of every kind of the catalogue (parameter values, numeric tests,
// child and object existence, All, Not, Beta), fixed, union and object-name LISTs, a
// GLOBAL CHECK, OBJECT DEPENDENCY data with options, check lists, name lists and unused
// items, and PARAMETER VALUES data with fixed and dynamic lists, subsets, guarded
// defaults and overrides, and context blocks. A LIBRARY of MATERIALs is shared by all
// modules. The model holds `systemsPerModule` systems per module, each with
// `zonesPerSystem` zones of `facesPerZone` faces.
//
// Generated data loads with validation on: ModelRules builds from the RULES and
// PhysicsData from the PHYSICS, and every model path is valid. Object names and option
// values that dependency check lists mention contain no blanks (those keys are read with
// blanks removed). Plain value type; generation is deterministic.
struct SyntheticDataSet {
    struct Shape {
        int scale = 1;
        int systemsPerModule = 2;
        int zonesPerSystem = 4;
        int facesPerZone = 5;
    };

    // One model object to query: its full path and its type path.
    struct ModelObject {
        std::string path;
        std::string typePath;
    };

    static SyntheticDataSet generate(const Shape& shape);
    static SyntheticDataSet generate(int scale) { return generate(Shape{scale}); }

    std::string rulesTarn;
    std::string physicsTarn;
    std::string modelTarn;
    std::string rulesJson;
    std::string physicsJson;
    // Every object of the model, parents before children, in model order.
    std::vector<ModelObject> modelObjects;
    // Number of objects and of parameters in the RULES and PHYSICS trees together.
    std::size_t dataObjectCount = 0;
    std::size_t dataParameterCount = 0;
};

}  // namespace kel::bench
