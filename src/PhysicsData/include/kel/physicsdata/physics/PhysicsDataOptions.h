#pragma once

#include <iosfwd>

namespace kel {

// How a PhysicsData (and its dependency store) is built, as a value the host passes in
// rather than through the process environment:
// - validate: cross-check the PHYSICS data against the RULES while building, throwing one
//   exception that lists every problem found;
// - dumpUnused: with validate, write the unused-physics report (the RULES items the
//   PHYSICS data leaves unused);
// - unusedReport: where that report goes; null means standard output. Not owned: the
//   stream must outlive the construction it is passed to.
//
// fromEnvironment() gives the switches the environment variables "KEL_PHYSICS_VALIDATE_DATA"
// and "KEL_PHYSICS_DUMP_UNUSED" set (each counts when it exists, whatever its value); it
// is what the constructors without options use. Value type.
struct PhysicsDataOptions {
    bool validate = false;
    bool dumpUnused = false;
    std::ostream* unusedReport = nullptr;

    static PhysicsDataOptions fromEnvironment();
};

}  // namespace kel
