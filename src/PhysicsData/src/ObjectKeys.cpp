#include "ObjectKeys.h"

#include <algorithm>

#include <kel/physicsutils/TARNDatastore.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

ObjectKeys::ObjectKeys(const TARNDatastore& ds, std::string_view path) {
    read(ds, path);
}

void ObjectKeys::read(const TARNDatastore& ds, std::string_view path) {
    readFrom(ds, [&](auto&& visit) { return ds.forEachParameter(path, visit); });
}

void ObjectKeys::read(const TARNDatastore& ds, const TARNDatastore::ObjectHandle& object) {
    readFrom(ds, [&](auto&& visit) {
        object.forEachParameter(visit);
        return true;
    });
}

template <class VisitParameters>
void ObjectKeys::readFrom(const TARNDatastore& ds, VisitParameters&& visitParameters) {
    m_size = 0;
    m_more.clear();
    m_text.reset();
    if (ds.keepsVisitedViews()) {
        m_exists =
            visitParameters([&](std::string_view key, std::string_view value) { add(key, value); });
        return;
    }
    // Offsets into one text first, views once the text has its final place.
    std::string text;
    std::vector<std::size_t> sizes;
    m_exists = visitParameters([&](std::string_view key, std::string_view value) {
        text.append(key).append(value);
        sizes.push_back(key.size());
        sizes.push_back(value.size());
    });
    m_text = std::make_unique<char[]>(text.size() + 1);
    text.copy(m_text.get(), text.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < sizes.size(); i += 2) {
        const std::string_view key(m_text.get() + at, sizes[i]);
        const std::string_view value(m_text.get() + at + sizes[i], sizes[i + 1]);
        add(key, value);
        at += sizes[i] + sizes[i + 1];
    }
}

namespace {

// Many RULES keys share a length but few a first letter: that is checked before the rest.
bool sameKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a.empty() || (a[0] == b[0] && a == b));
}

}  // namespace

const ObjectKeys::Entry* ObjectKeys::find(std::string_view key) const {
    for (std::size_t i = 0; i < m_size && i < kInline; ++i)
        if (sameKey(m_inline[i].entry.first, key)) return &m_inline[i].entry;
    for (const auto& entry : m_more)
        if (sameKey(entry.first, key)) return &entry;
    return nullptr;
}

std::string_view ObjectKeys::value(std::string_view key) const {
    const Entry* entry = find(key);
    return entry ? entry->second : std::string_view();
}

bool ObjectKeys::appendList(std::string_view key, std::vector<std::string>& out) const {
    const Entry* entry = find(key);
    if (!entry) return false;
    appendItems(entry->second, out);
    return true;
}

void ObjectKeys::appendItems(std::string_view text, std::vector<std::string>& out) {
    // Room for every item at once: lists are kept, so no spare capacity either.
    out.reserve(out.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) +
                1);
    StringUtilities::appendItems(text, ',', out);
}

}  // namespace kel
