#pragma once

#include <map>
#include <string>
#include <vector>

#include <kel/physicsdata/dependency/CheckedListData.h>

namespace kel {

// Splits a check list (see CheckedListData) into the distinct names it mentions, in the
// order of first appearance, and per name all checks written for it: a name written in
// several pairs collects the checks of all of them, in order, duplicates kept.
//
// Construction throws PhysicsException as IndexedCheckListSplitter does. Value type,
// immutable after construction; const use from several threads is safe.
class CheckListSplitter {
public:
    explicit CheckListSplitter(const CheckedListData& data);

    // A copy of the checks of that name; empty when the name is not in the list.
    std::vector<std::string> getChecksForName(const std::string& name) const;

    std::vector<std::string> getNamesWithChecks() const { return m_names; }

private:
    std::vector<std::string> m_names;
    std::map<std::string, std::vector<std::string>> m_checks;
};

}  // namespace kel
