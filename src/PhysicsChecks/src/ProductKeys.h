#pragma once

#include <string>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

class DataVerifyInterface;

// Reads and validates the keys of one product's data for its initialise. Every error is a
// std::runtime_error of the form
//   <Class>::initialise - <KIND> "<name>": key "<key>" <problem>.
// so that it names the product and the key. Validation against the RULES happens only
// when a DataVerifyInterface was given. Borrows the class name, kind, name, map and
// interface for the call; the message is put together only when there is an error.
class ProductKeys {
public:
    ProductKeys(const char* className, const std::string& kind, const std::string& name,
                const ParameterMap& map, const DataVerifyInterface* verify);

    // The value, which must be present and not blank.
    std::string required(const std::string& key) const;
    // The value, or null when the key is absent.
    const std::string* optional(const std::string& key) const;
    // The value split into items; at least one item is required.
    std::vector<std::string> requiredList(const std::string& key) const;

    [[noreturn]] void fail(const std::string& key, const std::string& problem) const;

    // The type named under key must be a RULES object type.
    void verifyType(const std::string& key, const std::string& type) const;
    // The type named under key must be able to serve as context: not a singleton type.
    void verifyContextType(const std::string& key, const std::string& type) const;
    // The parameter named under key must be allowed on the type.
    void verifyParam(const std::string& key, const std::string& type,
                     const std::string& param) const;
    // The value (found under key) must be allowed for the parameter of the type.
    void verifyValue(const std::string& key, const std::string& type, const std::string& param,
                     const std::string& value) const;
    // The object path named under key must be a valid path of the RULES.
    void verifyPath(const std::string& key, const std::string& path) const;

    const DataVerifyInterface* verify() const { return m_verify; }

private:
    const char* m_className;
    const std::string& m_kind;
    const std::string& m_name;
    const ParameterMap& m_map;
    const DataVerifyInterface* m_verify;
};

}  // namespace kel
