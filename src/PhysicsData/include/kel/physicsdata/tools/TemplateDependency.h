#pragma once

#include <memory>
#include <string>

#include <kel/utilities/NonCopyable.h>

namespace kel {

class ModelRules;
class TemplateWriter;

// A skeleton of PHYSICS dependency data generated from a RULES file, for authors of PHYSICS
// data: one "OBJECT DEPENDENCY" object per object type (the top-level types left out) with its
// ordered parameter and child lists filled in from the RULES, and one "PARAMETER VALUES" object
// per parameter, in ascending name order, with its type and comments showing the parent
// contexts, the global RULES default and the allowed strings (for a type with options,
// gathered over the options that allow the parameter). Every parameter carries its RULES
// type (a context rule parameter String), so the template reads back as PHYSICS data. In the
// skeleton the PARAMETER VALUES of a context rule parameter are a reference only: the physics
// data derives that parameter's values from its type's OBJECT DEPENDENCY option keys, and
// loading both fails, so an author moves them there (the loadable form does that itself).
//
// The whole text is built by the constructor; write() only outputs it. Not copyable; const
// use from several threads is safe (write only reads).
class TemplateDependency : private NonCopyable {
public:
    // Skeleton: the annotated text described above. Loadable: the same, except that each
    // type with a context rule lists all its options ("Ordered Allowed Option List") and
    // puts its context rule parameter first among the required parameters, and a context
    // rule parameter's PARAMETER VALUES object is left out (a comment names the types whose
    // option keys give its values), so the text loads as PHYSICS data with validation on.
    enum class Form { Skeleton, Loadable };

    // Reads the RULES file rulesSource and builds the text. Errors reading or interpreting the
    // RULES (PhysicsException, std::runtime_error) propagate; no object is left.
    explicit TemplateDependency(const std::string& rulesSource, Form form = Form::Skeleton);
    ~TemplateDependency();

    // Writes every line followed by a newline to the named file (replacing its content), or
    // to standard output when fileName is empty. Throws std::runtime_error
    // "Failed to open FILE for writing." when the file cannot be opened.
    void write(const std::string& fileName) const;

private:
    struct ParamData;

    void generate(const std::string& rulesSource);
    void printParentContexts(const ModelRules& rules, const std::string& objectType);
    void printParamDefaultValue(const ModelRules& rules, const std::string& paramName);
    void printParamAllowedValues(const ModelRules& rules, const ParamData& data,
                                 const std::string& paramName, const std::string& objectType);

    std::unique_ptr<TemplateWriter> m_writer;
    Form m_form;
};

}  // namespace kel
