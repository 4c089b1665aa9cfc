#pragma once

#include <string>
#include <vector>

namespace kel {

// The keys and object kinds that RULES and PHYSICS data may use, by the role of the object
// that holds them, as the readers of that data spell them; used to warn about keys that
// nothing reads and to suggest the key probably meant.
//
// Every list is a static constant, safe to read from any thread.
class KnownKeys {
public:
    // RULES: an OBJECT or SINGLETON, a CONTEXT, a PARAMETER definition.
    static const std::vector<std::string>& rulesObject();
    static const std::vector<std::string>& rulesContext();
    static const std::vector<std::string>& rulesParameter();
    // PHYSICS: the CHECK DATA folder, an OBJECT DEPENDENCY (or one of its OBJDEP CONTEXT
    // children), a PARAMETER VALUES entry (or PARAMVAL CONTEXT child).
    static const std::vector<std::string>& checkData();
    static const std::vector<std::string>& objectDependency();
    static const std::vector<std::string>& parameterValues();
    // The keys of a CHECK, LIST or GLOBAL CHECK of that "Type" (with "Type" itself); null
    // for a type the check engine does not know.
    static const std::vector<std::string>* product(const std::string& kind,
                                                   const std::string& type);

    // The candidate closest to word by edit distance (ignoring case), when it is close
    // enough to be a likely misspelling; "" otherwise.
    static std::string closest(const std::string& word, const std::vector<std::string>& candidates);
    // " (did you mean 'X'?)" for the closest candidate, or "".
    static std::string didYouMean(const std::string& word,
                                  const std::vector<std::string>& candidates);
};

}  // namespace kel
