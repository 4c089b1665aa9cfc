#pragma once

#include <string>

namespace kel {

// Spellings of a product kind: Upper "GLOBAL CHECK", Lower "global check", Title "Global Check".
enum class IDStyle { Upper = 0, Lower = 1, Title = 2 };

// The kind of a check engine product ("CHECK", "LIST", "GLOBAL CHECK") in the spellings
// used by messages. Immutable value type; thread-safe.
class ProductTypeInfo {
public:
    // kind is the Upper spelling; the other two are derived from it.
    explicit ProductTypeInfo(std::string kind);

    const std::string& kind(IDStyle style) const;
    const std::string& kind(int style) const { return kind(static_cast<IDStyle>(style)); }

private:
    std::string m_upper;
    std::string m_lower;
    std::string m_title;
};

}  // namespace kel
