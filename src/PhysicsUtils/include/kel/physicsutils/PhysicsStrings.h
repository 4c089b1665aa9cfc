#pragma once

#include <string>

namespace kel {

// Names shared by the RULES, PHYSICS and check data readers.
struct PhysicsStrings {
    static const std::string s_Type;  // "Type": selects a product's creator
    static const std::string s_Beta;  // "Beta": the type of a beta check
};

}  // namespace kel
