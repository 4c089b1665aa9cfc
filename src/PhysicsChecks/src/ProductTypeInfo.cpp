#include <kel/physicschecks/ProductTypeInfo.h>

#include <cctype>

namespace kel {

namespace {

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "GLOBAL CHECK" -> "Global Check": each word keeps its first letter, the rest lower case.
std::string titleCase(const std::string& text) {
    std::string out = lowerCase(text);
    bool wordStart = true;
    for (char& c : out) {
        if (wordStart) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        wordStart = (c == ' ');
    }
    return out;
}

}  // namespace

ProductTypeInfo::ProductTypeInfo(std::string kind)
    : m_upper(std::move(kind)), m_lower(lowerCase(m_upper)), m_title(titleCase(m_upper)) {}

const std::string& ProductTypeInfo::kind(IDStyle style) const {
    switch (style) {
        case IDStyle::Lower:
            return m_lower;
        case IDStyle::Title:
            return m_title;
        case IDStyle::Upper:
        default:
            return m_upper;
    }
}

}  // namespace kel
