#pragma once

namespace kel {

// How far a RULES key lookup walks outward from the path it starts at: only that path
// (every object-level key), on to the enclosing object-level and global parameter
// definitions, or on to the object-level definition but never the global one.
enum class ScopeMode : int {
    ObjectOnly = 0,
    WithGlobal = 1,
    IgnoreGlobal = 2,
};

}  // namespace kel
