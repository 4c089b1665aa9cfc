#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kel::fuzz {

// Helpers shared by the fuzz targets. Not thread-safe unless stated.

// The input split at lines that hold only "%%" into exactly `parts` sections (a "\r"
// before the line end is ignored); later separators stay in the last section. Missing
// sections are empty.
std::vector<std::string> splitSections(std::string_view text, std::size_t parts);
std::vector<std::string> splitSections(const std::uint8_t* data, std::size_t size,
                                       std::size_t parts);

// Prepares the process before the first input: data validation while loading on or off
// (KEL_PHYSICS_VALIDATE_DATA), no unused-physics report and no timing output, and a failed
// internal assertion aborts, so that the fuzzer and the replay tests report it as a crash
// instead of running on.
void setUpProcess(bool validateData);

// Runs `work` on a new thread with a stack of `stackBytes` and waits for it. The
// library must stay within a small stack for every input it accepts, and a thread with
// a bounded stack turns runaway recursion into a reported stack overflow. Exceptions
// derived from std::exception that escape `work` are swallowed (an accepted outcome);
// anything else terminates.
void runWithStack(std::size_t stackBytes, const std::function<void()>& work);

// An in-memory file holding `text`, for interfaces that read a file by name. One per
// process, rewritten on each call; the returned name stays valid until the next call.
const std::string& textAsFile(std::string_view text);

}  // namespace kel::fuzz
