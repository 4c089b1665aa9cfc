#pragma once

#include <cstddef>
#include <cstdint>

namespace kel {

class ObjDependDef;

// A position in the parameter records of one ObjDependDef, with the context rule selector in
// force. Only the definition moves it: ObjDependDef::firstParamAvail binds the cursor to
// the definition and puts it at the first record; ObjDependDef::nextParamAvail advances it.
// A default-constructed cursor is bound to nothing and must go through firstParamAvail
// before nextParamAvail.
//
// Value type, trivially copyable. Holds a non-owning pointer: valid only while its
// definition lives, and only with the definition that bound it.
class PACursor {
public:
    PACursor() = default;

private:
    friend class ObjDependDef;
    friend struct AvailRecordTestAccess;

    explicit PACursor(const ObjDependDef* def) : m_def(def) {}

    const ObjDependDef* m_def = nullptr;
    std::size_t m_pos = 0;         // index of the next record
    std::uint64_t m_selector = 0;  // context rule selector in force
};

}  // namespace kel
