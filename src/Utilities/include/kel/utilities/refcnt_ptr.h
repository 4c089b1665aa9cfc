#pragma once

#include <memory>

namespace kel {

// Reference-counted pointer to a shared record; the record is destroyed with its last
// reference. Shared records are immutable after construction, so sharing needs no locks,
// but the count itself must not be raced from several threads on one pointer object.
template <class T>
using refcnt_ptr = std::shared_ptr<T>;

}  // namespace kel
