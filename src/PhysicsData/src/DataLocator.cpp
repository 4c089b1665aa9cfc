#include "DataLocator.h"

#include <cctype>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {
namespace {

// The texts between double or single quotes in a message.
std::vector<std::string> quotedTexts(const std::string& message) {
    std::vector<std::string> texts;
    for (const char quote : {'"', '\''}) {
        std::size_t start = message.find(quote);
        while (start != std::string::npos) {
            const std::size_t end = message.find(quote, start + 1);
            if (end == std::string::npos) break;
            if (end > start + 1) texts.push_back(message.substr(start + 1, end - start - 1));
            start = message.find(quote, end + 1);
        }
    }
    return texts;
}

// True when text occurs in message with no letter or digit right before or after it.
bool containsWord(const std::string& message, const std::string& text) {
    auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t at = message.find(text); at != std::string::npos;
         at = message.find(text, at + 1)) {
        const std::size_t end = at + text.size();
        if ((at == 0 || !isWordChar(message[at - 1])) &&
            (end == message.size() || !isWordChar(message[end])))
            return true;
    }
    return false;
}

}  // namespace

SourceLocation DataLocator::fallback() const {
    return m_name.empty() ? SourceLocation() : SourceLocation(m_name, 1, 1);
}

SourceLocation DataLocator::object(const std::string& path) const {
    SourceLocation location = m_data.objectLocation(path);
    return location.empty() ? fallback() : location;
}

SourceLocation DataLocator::parameter(const std::string& path, const std::string& key) const {
    SourceLocation location = m_data.parameterLocation(path, key);
    return location.empty() ? object(path) : location;
}

SourceLocation DataLocator::forMessage(const std::string& path, const std::string& message) const {
    const ParameterMap params = m_data.getParameterMap(path);
    // The parameter whose key, or whole value, the message names; the longest wins.
    const std::string* named = nullptr;
    std::size_t longest = 0;
    for (const auto& [key, value] : params) {
        const std::string whole = StringUtilities::trim(value);
        for (const std::string* text : {&key, &whole}) {
            if (text->size() > longest && containsWord(message, *text)) {
                longest = text->size();
                named = &key;
            }
        }
    }
    if (named) return parameter(path, *named);
    for (const auto& text : quotedTexts(message)) {
        for (const auto& [key, value] : params) {
            if (value.find(text) != std::string::npos) return parameter(path, key);
        }
    }
    for (const auto& [key, value] : params) {
        for (const auto& item : StringUtilities::splitValueNoEmpty(value)) {
            if (item.size() > longest && containsWord(message, item)) {
                longest = item.size();
                named = &key;
            }
        }
    }
    return named ? parameter(path, *named) : object(path);
}

}  // namespace kel
