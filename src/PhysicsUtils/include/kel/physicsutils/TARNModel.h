#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <kel/physicsutils/ModelTARN.h>

namespace kel {

class TARNDatastore;

// An in-memory ModelTARN, empty or read from TARN text (TARNReader syntax). Each object is
// indexed under its parent by type and name, so a lookup by path costs one hash probe per
// path component and memory stays linear in the size of the model whatever its depth.
// Objects and parameters read from text remember where they were written; edits forget it.
// Not thread-safe.
// The root ("" or "/") always exists and is never removed. addObject takes canonical
// paths only: "/TYPE" or "/TYPE:name" components, an unnamed object never as TYPE:TYPE.
class TARNModel : public ModelTARN {
public:
    TARNModel();
    ~TARNModel() override;
    TARNModel(const TARNModel&) = delete;
    TARNModel& operator=(const TARNModel&) = delete;

    // Throw PhysicsException ("source:line: ...") on bad text or an unreadable file.
    static std::unique_ptr<TARNModel> fromText(std::string_view text,
                                               const std::string& source = "<text>");
    static std::unique_ptr<TARNModel> fromFile(const std::string& fileName);

    bool hasObject(const std::string& path) const override;
    std::vector<std::string> getChildObjectNames(const std::string& path,
                                                 const std::string& type) const override;
    std::vector<std::string> getChildObjectPaths(const std::string& path) const override;
    // Builds each path from its parent's, without looking any up.
    void forEachObjectPath(const std::function<bool(const std::string&)>& visit) const override;
    // One look-up each, without copies.
    void forEachParameter(
        const std::string& path,
        const std::function<void(const std::string&, const std::string&)>& visit) const override;
    void forEachChild(
        const std::string& path,
        const std::function<void(std::string_view, std::string_view)>& visit) const override;
    bool hasParameter(const std::string& path, const std::string& name) const override;
    std::vector<std::string> getParameterNames(const std::string& path) const override;
    const std::string& getParameterValue(const std::string& path,
                                         const std::string& name) const override;
    void setParameterValue(const std::string& path, const std::string& name,
                           const std::string& value) override;
    bool removeParameter(const std::string& path, const std::string& name) override;
    void addObject(const std::string& path) override;
    bool removeObject(const std::string& path) override;
    SourceLocation objectLocation(const std::string& path) const override;
    SourceLocation parameterLocation(const std::string& path,
                                     const std::string& name) const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kel
