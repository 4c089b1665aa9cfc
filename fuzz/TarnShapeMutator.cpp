#include "TarnShapeMutator.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace kel::fuzz {

namespace {

// Numbers at the edges of what a parser or a comparison gets right.
constexpr std::array<std::string_view, 16> kExtremeNumbers = {"16777217",
                                                              "16777216",
                                                              "0.10000000001",
                                                              "0.1",
                                                              "nan",
                                                              "-nan",
                                                              "inf",
                                                              "-inf",
                                                              "1e39",
                                                              "-1e39",
                                                              "-0",
                                                              "9223372036854775808",
                                                              "-9223372036854775809",
                                                              "123456789012345678901234567890",
                                                              "2147483648",
                                                              "1e-320"};

constexpr std::array<std::string_view, 4> kChainTypes = {"All", "Any", "Not", "Beta"};

// Bytes one link of a chain takes at most, to keep shapes within the size limit.
constexpr std::size_t kLinkBytes = 96;

}  // namespace

TarnShapeMutator::TarnShapeMutator(unsigned seed, Fallback fallback)
    : m_random(seed ? seed : 1), m_fallback(fallback) {}

std::size_t TarnShapeMutator::mutate(std::uint8_t* data, std::size_t size, std::size_t maxSize) {
    if (m_random() % 3 == 0 && maxSize > size) {
        std::string text(reinterpret_cast<const char*>(data), size);
        m_room = maxSize - size;
        if (applyShape(text) && text.size() <= maxSize) {
            std::memcpy(data, text.data(), text.size());
            return text.size();
        }
    }
    return m_fallback(data, size, maxSize);
}

bool TarnShapeMutator::applyShape(std::string& text) {
    switch (m_random() % 7) {
        case 0:
            return checkChain(text);
        case 1:
            return listChain(text);
        case 2:
            return wideCheckList(text);
        case 3:
            return deepObjects(text);
        case 4:
            return wideObjects(text);
        case 5:
            return extremeNumber(text);
        default:
            return longValueList(text);
    }
}

// 1, 2, 10, 100, 1000 or 10000 items, at most what `room` bytes hold.
std::size_t TarnShapeMutator::pickLength(std::size_t room) {
    constexpr std::array<std::size_t, 6> lengths = {1, 2, 10, 100, 1000, 10000};
    const std::size_t fit = std::max<std::size_t>(room / kLinkBytes, 1);
    return std::min(lengths[m_random() % lengths.size()], fit);
}

std::string TarnShapeMutator::uniquePrefix() {
    // Appended to a named string: GCC 12 falsely flags "Z" + std::to_string(...) when optimising.
    std::string prefix = "Z";
    prefix += std::to_string(m_random() % 1000);
    prefix += '_';
    return prefix;
}

// Start of the line after the first line containing `marker`, or npos.
std::size_t TarnShapeMutator::lineAfter(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    if (at == std::string::npos) return at;
    const std::size_t end = text.find('\n', at);
    return end == std::string::npos ? text.size() : end + 1;
}

std::size_t TarnShapeMutator::randomLineStart(const std::string& text) {
    if (text.empty()) return 0;
    const std::size_t at = text.rfind('\n', m_random() % text.size());
    return at == std::string::npos ? 0 : at + 1;
}

// The type of a random object header ("TYPE: name") of the text, or "".
std::string TarnShapeMutator::randomHeaderType(const std::string& text) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::size_t start = randomLineStart(text);
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line(text.data() + start, end - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || line.find('=') < colon) continue;
        std::string_view type = line.substr(0, colon);
        type.remove_prefix(std::min(type.find_first_not_of(" \t"), type.size()));
        if (!type.empty() && type.find('#') == std::string_view::npos) return std::string(type);
    }
    return {};
}

// CHECKs each naming the next through All/Any/Not/Beta, ending in a Constant.
bool TarnShapeMutator::checkChain(std::string& text) {
    const std::size_t at = lineAfter(text, "CHECK DATA:");
    if (at == std::string::npos) return false;
    const std::string prefix = uniquePrefix();
    const std::size_t length = pickLength(m_room);
    std::string shape;
    for (std::size_t i = 0; i < length; ++i) {
        const std::string_view type = kChainTypes[m_random() % kChainTypes.size()];
        const std::string next = prefix + std::to_string(i + 1);
        shape += "CHECK: " + prefix + std::to_string(i) + "\nType = " + std::string(type) + "\n";
        shape += type == "Beta" ? "Message = m\nCheck = " + next : "Check List = " + next;
        shape += "\nEND\n";
    }
    shape += "CHECK: " + prefix + std::to_string(length) +
             "\nType = Constant\nValue = " + (m_random() % 2 ? "True" : "False") + "\nEND\n";
    text.insert(at, shape);
    return true;
}

// LISTs each the union of the next, ending in a Fixed list.
bool TarnShapeMutator::listChain(std::string& text) {
    const std::size_t at = lineAfter(text, "CHECK DATA:");
    if (at == std::string::npos) return false;
    const std::string prefix = uniquePrefix();
    const std::size_t length = pickLength(m_room);
    std::string shape;
    for (std::size_t i = 0; i < length; ++i)
        shape += "LIST: " + prefix + std::to_string(i) + "\nType = Union\nList Names = " + prefix +
                 std::to_string(i + 1) + "\nEND\n";
    shape +=
        "LIST: " + prefix + std::to_string(length) + "\nType = Fixed\nValue List = a, b\nEND\n";
    text.insert(at, shape);
    return true;
}

// One All or Any check over many Constant checks.
bool TarnShapeMutator::wideCheckList(std::string& text) {
    const std::size_t at = lineAfter(text, "CHECK DATA:");
    if (at == std::string::npos) return false;
    const std::string prefix = uniquePrefix();
    const std::size_t width = pickLength(m_room / 2);
    std::string shape =
        "CHECK: " + prefix + "\nType = " + (m_random() % 2 ? "All" : "Any") + "\nCheck List = ";
    for (std::size_t i = 0; i < width; ++i)
        shape += (i ? ", " : "") + prefix + std::to_string(i);
    shape += "\nEND\n";
    for (std::size_t i = 0; i < width; ++i)
        shape += "CHECK: " + prefix + std::to_string(i) +
                 "\nType = Constant\nValue = " + (i % 2 ? "True" : "False") + "\nEND\n";
    text.insert(at, shape);
    return true;
}

// Objects of one type nested many levels deep, under a random line.
bool TarnShapeMutator::deepObjects(std::string& text) {
    const std::string type = randomHeaderType(text);
    if (type.empty()) return false;
    const std::size_t depth = pickLength(m_room / 2);
    std::string shape;
    for (std::size_t i = 0; i < depth; ++i)
        shape += type + ": d" + std::to_string(i) + "\n";
    for (std::size_t i = 0; i < depth; ++i)
        shape += "END\n";
    text.insert(randomLineStart(text), shape);
    return true;
}

// Many sibling objects of one type, under a random line.
bool TarnShapeMutator::wideObjects(std::string& text) {
    const std::string type = randomHeaderType(text);
    if (type.empty()) return false;
    const std::size_t width = pickLength(m_room);
    std::string shape;
    for (std::size_t i = 0; i < width; ++i)
        shape += type + ": w" + std::to_string(i) + "\nEND\n";
    text.insert(randomLineStart(text), shape);
    return true;
}

// The value range (after '=' to the line end) of a random parameter line, or false.
bool TarnShapeMutator::randomValue(const std::string& text, std::size_t& begin, std::size_t& end) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::size_t start = randomLineStart(text);
        end = std::min(text.find('\n', start), text.size());
        const std::size_t equals = text.find('=', start);
        if (equals == std::string::npos || equals >= end) continue;
        begin = equals + 1;
        return true;
    }
    return false;
}

// A random value replaced by an extreme number, with units sometimes.
bool TarnShapeMutator::extremeNumber(std::string& text) {
    std::size_t begin = 0, end = 0;
    if (!randomValue(text, begin, end)) return false;
    std::string number(kExtremeNumbers[m_random() % kExtremeNumbers.size()]);
    if (m_random() % 4 == 0) number += " [m]";
    text.replace(begin, end - begin, " " + number);
    return true;
}

// A random value replaced by a long comma-separated list.
bool TarnShapeMutator::longValueList(std::string& text) {
    std::size_t begin = 0, end = 0;
    if (!randomValue(text, begin, end)) return false;
    const std::size_t length = pickLength(m_room * 8);
    std::string values;
    for (std::size_t i = 0; i < length; ++i)
        values += (i ? ", v" : " v") + std::to_string(i);
    text.replace(begin, end - begin, values);
    return true;
}

}  // namespace kel::fuzz
