#pragma once

#include <string>
#include <string_view>

namespace kel {

// Helpers on object paths ("/A:a/B") and normalised type paths ("/A/B/C"). Stateless.
class PathUtils {
public:
    // The object type at the end of a normalised path: "/A/B" gives "B", "" gives "".
    static std::string typeFromNormalisedPath(std::string_view path);

    // Appends the canonical component "/TYPE:name", or "/TYPE" when name is empty.
    static void appendComponent(std::string& path, std::string_view type, std::string_view name) {
        path += '/';
        path += type;
        if (!name.empty()) {
            path += ':';
            path += name;
        }
    }

    // Reads the next component of an object path from pos on and moves pos past it; false
    // when none is left. Accepts every form a store answers to: empty components ("", "/",
    // "A//B", a trailing '/') are skipped, and "/A", "/A:" and "/A:A" all give type A with
    // an empty name. The views point into path.
    static bool nextComponent(std::string_view path, std::size_t& pos, std::string_view& type,
                              std::string_view& name) {
        while (pos < path.size()) {
            std::size_t slash = path.find('/', pos);
            if (slash == std::string_view::npos) slash = path.size();
            const std::string_view component = path.substr(pos, slash - pos);
            pos = slash + 1;
            if (component.empty()) continue;
            const std::size_t colon = component.find(':');
            type = component.substr(0, colon);
            name =
                colon == std::string_view::npos ? std::string_view() : component.substr(colon + 1);
            if (name == type) name = {};
            return true;
        }
        return false;
    }
};

}  // namespace kel
