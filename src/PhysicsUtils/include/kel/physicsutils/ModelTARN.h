#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <kel/exception/SourceLocation.h>

namespace kel {

// The editable model: a tree of typed, named objects with string parameters, addressed
// by full TARN paths (see TARNPath); "" is the root. Questions about absent objects or
// parameters are not errors. Every successful edit increases the revision, so that
// caches of answers computed from the model know when to drop them.
// Not thread-safe.
class ModelTARN {
public:
    virtual ~ModelTARN();

    virtual bool hasObject(const std::string& path) const = 0;
    // Names of the direct children of that type, in model order.
    virtual std::vector<std::string> getChildObjectNames(const std::string& path,
                                                         const std::string& type) const = 0;
    // Full paths of all direct children, in model order.
    virtual std::vector<std::string> getChildObjectPaths(const std::string& path) const = 0;
    virtual bool hasParameter(const std::string& path, const std::string& name) const = 0;
    // Parameter names of an object, in model order.
    virtual std::vector<std::string> getParameterNames(const std::string& path) const = 0;
    // The value text; a reference to an empty string when absent. Valid until the next
    // edit of the model.
    virtual const std::string& getParameterValue(const std::string& path,
                                                 const std::string& name) const = 0;
    // Sets (or adds) a parameter; the object must exist (PhysicsException otherwise).
    virtual void setParameterValue(const std::string& path, const std::string& name,
                                   const std::string& value) = 0;
    // False when there was no such parameter.
    virtual bool removeParameter(const std::string& path, const std::string& name) = 0;
    // Adds the object at path (no-op if present); its parent must exist (PhysicsException).
    virtual void addObject(const std::string& path) = 0;
    // Removes the object and everything below it; false when absent.
    virtual bool removeObject(const std::string& path) = 0;
    // Where the object, or the parameter, was written; empty when unknown (the default),
    // absent, or added or set by an edit.
    virtual SourceLocation objectLocation(const std::string& path) const;
    virtual SourceLocation parameterLocation(const std::string& path,
                                             const std::string& name) const;

    // Calls visit(path) with the full path of every object, parents before their children
    // and children in model order, until visit returns true. No depth limit; the model must
    // not be edited meanwhile. The default walks through getChildObjectPaths.
    virtual void forEachObjectPath(const std::function<bool(const std::string&)>& visit) const;

    // Calls visit(name, value) for every parameter of the object at path, in model order;
    // nothing when the object is absent. The value stays valid as getParameterValue's does;
    // the name only for the call. The default asks getParameterNames and getParameterValue.
    virtual void forEachParameter(
        const std::string& path,
        const std::function<void(const std::string&, const std::string&)>& visit) const;
    // Calls visit(type, name) for every direct child of the object at path, in model order,
    // the name empty when the child is unnamed; nothing when the object is absent. The views
    // are valid for the call only. The default reads getChildObjectPaths.
    virtual void forEachChild(
        const std::string& path,
        const std::function<void(std::string_view, std::string_view)>& visit) const;

    // Increases with every edit.
    std::uint64_t getRevision() const { return m_revision; }

protected:
    ModelTARN() = default;
    void bumpRevision() { ++m_revision; }

private:
    std::uint64_t m_revision = 0;
};

}  // namespace kel
