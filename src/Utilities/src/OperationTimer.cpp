#include <kel/utilities/OperationTimer.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kel {

namespace {

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

OperationTimer::OperationTimer(std::string name)
    : m_name(std::move(name)), m_enabled(std::getenv("KEL_PHYSICS_TIMING") != nullptr) {
    if (m_enabled) {
        m_start = Clock::now();
        m_sectionStart = m_start;
    }
}

OperationTimer::~OperationTimer() {
    if (!m_enabled) return;
    closeSection();
    const auto total = Clock::now() - m_start;
    for (const auto& section : m_sections) {
        std::fprintf(stderr, "%s: %s: %.3f ms\n", m_name.c_str(), section.name.c_str(),
                     milliseconds(section.time));
    }
    std::fprintf(stderr, "%s: total: %.3f ms\n", m_name.c_str(), milliseconds(total));
}

void OperationTimer::enterSection(const std::string& name) {
    if (!m_enabled) return;
    closeSection();
    m_sectionName = name;
    m_sectionStart = Clock::now();
}

void OperationTimer::closeSection() {
    if (m_sectionName.empty()) return;
    m_sections.push_back({std::move(m_sectionName), Clock::now() - m_sectionStart});
    m_sectionName.clear();
}

}  // namespace kel
