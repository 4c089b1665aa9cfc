#pragma once

#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace kel::tool {

// Holds objects that a command built and no longer needs, and never destroys them: the
// process exits right after the command, and taking apart the many small nodes of a large
// data set (a twentieth of a `check` run) only to hand the memory back is wasted work. The
// objects stay reachable from here, so leak checkers report nothing. Declare it after the
// owners it empties; its destructor takes their objects over. Not thread-safe.
template <class... T>
class KeptUntilExit {
public:
    explicit KeptUntilExit(std::unique_ptr<T>&... owners) : m_owners(owners...) {}
    KeptUntilExit(const KeptUntilExit&) = delete;
    KeptUntilExit& operator=(const KeptUntilExit&) = delete;

    ~KeptUntilExit() {
        std::apply([](auto&... owner) { (keep(owner.release()), ...); }, m_owners);
    }

private:
    static void keep(const void* object) {
        static auto* const kept = new std::vector<const void*>;  // never destroyed
        if (object != nullptr) kept->push_back(object);
    }

    std::tuple<std::unique_ptr<T>&...> m_owners;
};

}  // namespace kel::tool
