#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace kel {

// Times a named operation in sections. When the environment variable KEL_PHYSICS_TIMING
// exists, the destructor prints each section's time and the total to standard error;
// otherwise it prints nothing and costs next to nothing.
class OperationTimer {
public:
    explicit OperationTimer(std::string name);
    ~OperationTimer();
    OperationTimer(const OperationTimer&) = delete;
    OperationTimer& operator=(const OperationTimer&) = delete;

    // Ends the current section (if any) and starts one with this name.
    void enterSection(const std::string& name);

private:
    using Clock = std::chrono::steady_clock;
    struct Section {
        std::string name;
        Clock::duration time;
    };
    void closeSection();

    std::string m_name;
    bool m_enabled;
    Clock::time_point m_start;
    Clock::time_point m_sectionStart;
    std::string m_sectionName;
    std::vector<Section> m_sections;
};

}  // namespace kel
