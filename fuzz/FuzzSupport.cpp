#include "FuzzSupport.h"

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>

#include <kel/exception/KELAssertImpl.h>

namespace kel::fuzz {

std::vector<std::string> splitSections(std::string_view text, std::size_t parts) {
    std::vector<std::string> sections;
    std::size_t sectionStart = 0;
    std::size_t lineStart = 0;
    while (sections.size() + 1 < parts && lineStart < text.size()) {
        std::size_t end = text.find('\n', lineStart);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(lineStart, end - lineStart);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t next = std::min(end + 1, text.size());
        if (line == "%%") {
            sections.emplace_back(text.substr(sectionStart, lineStart - sectionStart));
            sectionStart = next;
        }
        lineStart = next;
    }
    sections.emplace_back(text.substr(sectionStart));
    sections.resize(std::max(parts, std::size_t{1}));
    return sections;
}

std::vector<std::string> splitSections(const std::uint8_t* data, std::size_t size,
                                       std::size_t parts) {
    return splitSections(std::string_view(reinterpret_cast<const char*>(data), size), parts);
}

void setUpProcess(bool validateData) {
    if (validateData)
        setenv("KEL_PHYSICS_VALIDATE_DATA", "1", 1);
    else
        unsetenv("KEL_PHYSICS_VALIDATE_DATA");
    unsetenv("KEL_PHYSICS_DUMP_UNUSED");
    unsetenv("KEL_PHYSICS_TIMING");
    KELAssertImpl::setHandler([](const char* condition, const char* file, int line) {
        std::fprintf(stderr, "KEL assertion failed: %s at %s:%d\n", condition, file, line);
        std::abort();
    });
}

namespace {

void* runWork(void* argument) {
    const auto& work = *static_cast<const std::function<void()>*>(argument);
    try {
        work();
    } catch (const std::exception&) {
        // Data the library rejects: a clear error is an accepted outcome.
    }
    return nullptr;
}

}  // namespace

void runWithStack(std::size_t stackBytes, const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes);
    pthread_t thread;
    const int failed =
        pthread_create(&thread, &attributes, runWork, const_cast<std::function<void()>*>(&work));
    pthread_attr_destroy(&attributes);
    if (failed) {
        std::perror("pthread_create");
        std::abort();
    }
    pthread_join(thread, nullptr);
}

const std::string& textAsFile(std::string_view text) {
    static const int fd = memfd_create("kel-fuzz-input", 0);
    static const std::string name = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
        std::perror("in-memory file");
        std::abort();
    }
    return name;
}

}  // namespace kel::fuzz
