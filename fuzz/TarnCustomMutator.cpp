// The structure-aware mutator of every fuzz target, linked into the libFuzzer binaries
// only (the replay drivers have no fuzzing engine).

#include <cstddef>
#include <cstdint>

#include "TarnShapeMutator.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    return kel::fuzz::TarnShapeMutator(seed, LLVMFuzzerMutate).mutate(data, size, maxSize);
}
