#pragma once

#include <string>

namespace kel {

// One way in which a model breaks its RULES and PHYSICS data, as ModelValidator reports
// it. `code` is stable and meant for programs:
//   unknown-child            a child whose type its parent cannot hold
//   child-not-available      a child of a type its parent offers but not here and now
//   missing-child            an essential, available child type with no instance
//   duplicate-singleton      a second instance of a singleton type
//   name-not-allowed         a child name outside the names its type may take
//   unknown-parameter        a parameter its object does not have
//   parameter-not-available  a parameter its object offers but not here and now
//   missing-parameter        an essential, available parameter that is not set
//   wrong-type               a value that is not a number or not a logical word
//   value-not-allowed        a value outside the parameter's allowed values
//   out-of-bounds            a number below the lower or above the upper bound
// `message` is for people; `path` is the object's path; `file` and `line` locate the
// object (or the parameter) in the model file when the model was read from one, else
// they are "" and 0. Value type.
struct ModelViolation {
    std::string code;
    std::string message;
    std::string path;
    std::string file;
    unsigned line = 0;
};

}  // namespace kel
