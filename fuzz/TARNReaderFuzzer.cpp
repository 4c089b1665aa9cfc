// Fuzzes the TARN reader and datastore on arbitrary text. Any std::exception is an accepted
// outcome; a crash, a failed assertion, a leak, a hang or a sanitizer report is a bug. Text that
// reads successfully must also write back to normalised text that reads again and writes
// identically.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>
#include <vector>

#include <kel/physicsutils/InternalTARNDatastore.h>

#include "FuzzSupport.h"

namespace {

std::string normalised(const kel::InternalTARNDatastore& store) {
    std::ostringstream out;
    store.write(out);
    return out.str();
}

// Visits every object breadth-first through the public queries.
void walk(const kel::InternalTARNDatastore& store) {
    std::vector<std::string> pending{""};
    for (std::size_t i = 0; i < pending.size() && i < 1000; ++i) {
        const std::string path = pending[i];
        if (!store.hasObject(path)) __builtin_trap();
        for (const auto& [key, value] : store.getParameterMap(path)) {
            if (store.getParameterValue(path, key) != value) __builtin_trap();
            store.getParameterValueAsList(path, key);
        }
        for (std::string& child : store.getChildObjectPaths(path))
            pending.push_back(std::move(child));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kel::fuzz::setUpProcess(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        kel::InternalTARNDatastore store(text, kel::InternalTARNDatastore::TEXT);
        walk(store);
        const std::string once = normalised(store);
        kel::InternalTARNDatastore again(once, kel::InternalTARNDatastore::TEXT);
        if (normalised(again) != once) __builtin_trap();
    } catch (const std::exception&) {
        // Malformed text: a clear error is the expected outcome.
    }
    return 0;
}
