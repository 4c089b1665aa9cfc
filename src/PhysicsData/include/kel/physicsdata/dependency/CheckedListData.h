#pragma once

#include <string>

namespace kel {

// A check-list string together with the words that locate it in error messages. Every
// DEPENDENCIES key that pairs names or values with checks ("Child Check List",
// "Default Value Check List", ...) holds a check list:
//
//   name1, check1, name2, (check2a, check2b), name3, ()
//
// Entries are read in pairs; a check string is a single check name, a parenthesised group
// of check names (all must pass), or "()" for no check.
//
// Holds references only: the strings belong to the caller and must outlive the splitter
// or list being built from it; nothing keeps the struct afterwards.
struct CheckedListData {
    const std::string& dataParameter;   // the data key holding the list
    const std::string& listString;      // the check-list string itself
    const std::string& modelParameter;  // model parameter the values apply to, or empty
    const std::string& modelObject;     // model object type the values apply to, or empty
    const std::string& errorHeading;    // first line of error messages, or empty
};

}  // namespace kel
