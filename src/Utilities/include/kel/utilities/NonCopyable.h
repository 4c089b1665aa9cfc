#pragma once

namespace kel {

// Base for classes whose instances own resources or identity and must not be copied or
// moved. Derive privately.
class NonCopyable {
protected:
    NonCopyable() = default;
    ~NonCopyable() = default;

public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;
};

}  // namespace kel
