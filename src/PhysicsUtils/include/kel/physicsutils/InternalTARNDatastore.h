#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// A TARNDatastore held in memory, read from TARN text (see TARNReader for the syntax).
// Owns a copy of every text it reads; keys, values, types and names are views into it.
// Each object is indexed under its parent by type and name, so a lookup by path costs one
// hash probe per path component and never scans, and memory stays linear in the size of
// the text whatever its nesting depth. Opening the same path twice merges into one object;
// a key set twice keeps the later value; children and parameters keep their first-appearance
// order. Every object and parameter remembers where it was written (12 bytes each).
// Immutable after construction (except through merge); safe for concurrent const use.
class InternalTARNDatastore : public TARNDatastore {
public:
    enum InputMode : int {
        TEXT = 0,  // source is TARN text; its positions name "<text>"
        FILE = 3,  // source is the name of a TARN file
    };

    // Reads source, then each file named in arguments, merged in order (later values win).
    // Throws PhysicsException ("source:line: ...") on bad text, an unreadable file or an
    // unsupported mode; no object is left behind.
    InternalTARNDatastore(const std::string& source, InputMode mode,
                          const std::vector<std::string>& arguments = {});
    ~InternalTARNDatastore() override;
    InternalTARNDatastore(const InternalTARNDatastore&) = delete;
    InternalTARNDatastore& operator=(const InternalTARNDatastore&) = delete;

    bool hasObject(const std::string& path) const override;
    bool hasParameter(const std::string& path, const std::string& name) const override;
    std::string getParameterValue(const std::string& path, const std::string& name) const override;
    std::vector<std::string> getParameterValueAsList(const std::string& path,
                                                     const std::string& name) const override;
    ParameterMap getParameterMap(const std::string& path) const override;
    std::vector<std::string> getChildObjectNamesByType(const std::string& path,
                                                       const std::string& type) const override;
    std::vector<std::string> getChildObjectPathsByType(const std::string& path,
                                                       const std::string& type) const override;
    std::vector<std::string> getChildObjectPaths(const std::string& path) const override;
    // The header that first opened the object (a merged object keeps its first), and the
    // line that set the parameter's value in effect (a key set again moves there).
    SourceLocation objectLocation(const std::string& path) const override;
    SourceLocation parameterLocation(const std::string& path,
                                     const std::string& name) const override;

    // Parameter names of an object in first-appearance order.
    std::vector<std::string> getParameterNames(const std::string& path) const;

    // Reads more TARN text (or a file) into this store, merging as above. On an error the
    // store keeps what was read before the faulty line.
    void merge(const std::string& source, InputMode mode);

    // Writes the whole store as normalised TARN text: first-appearance order, "TYPE: name"
    // headers and END lines, two blanks of indentation per level up to kMaxIndentLevel
    // levels (deeper levels indent no further, so the text stays linear in the size of the
    // store). Reading the output back gives an equal store.
    void write(std::ostream& out) const;
    static constexpr std::size_t kMaxIndentLevel = 32;

    bool keepsVisitedViews() const override { return true; }

protected:
    bool visitParameters(std::string_view path, Visitor visitor, void* visit) const override;
    bool visitChildren(std::string_view path, Visitor visitor, void* visit) const override;
    // Objects are handed out by their place in the store's tables and read from there.
    bool visitObjects(std::string_view path, ObjectVisitor visitor, void* visit) const override;
    void visitObjectsOf(const ObjectHandle& object, ObjectVisitor visitor,
                        void* visit) const override;
    void visitParametersOf(const ObjectHandle& object, Visitor visitor, void* visit) const override;
    void visitChildrenOf(const ObjectHandle& object, Visitor visitor, void* visit) const override;
    SourceLocation locationOf(const ObjectHandle& object) const override;
    SourceLocation parameterLocationOf(const ObjectHandle& object,
                                       const std::string& name) const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kel
