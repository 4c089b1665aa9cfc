#pragma once

// What a walk through object handles sees of a datastore, as text, for tests that compare
// walks of different stores.

#include <string>
#include <string_view>

#include <kel/exception/SourceLocation.h>
#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// The objects below path as a walk through object handles sees them, depth-first: each as
// "type:name@line{key=value@line;...}[children as forEachChild names them]".
inline void describeWalked(const TARNDatastore::ObjectHandle& object, std::string& out) {
    const auto line = [&out](const SourceLocation& at) {
        out += '@';
        out += std::to_string(at.line());
    };
    out.append(" ").append(object.type()).append(":").append(object.name());
    line(object.location());
    out += '{';
    object.forEachParameter([&](auto key, auto value) {
        out.append(key).append("=").append(value);
        line(object.parameterLocation(std::string(key)));
        out += ';';
    });
    out += "}[";
    object.forEachChild([&](auto type, auto name) {
        out.append(type).append(":").append(name);
        out += ';';
    });
    out += ']';
    object.forEachObject(
        [&](const TARNDatastore::ObjectHandle& child) { describeWalked(child, out); });
}

inline std::string walked(const TARNDatastore& store, std::string_view path) {
    std::string out;
    const bool found = store.forEachObject(
        path, [&](const TARNDatastore::ObjectHandle& object) { describeWalked(object, out); });
    return found ? out : "absent";
}

}  // namespace kel
