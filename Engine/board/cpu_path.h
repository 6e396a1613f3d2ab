#pragma once
// The instruction set move generation runs with. A build assumes only its
// target's baseline; on x86-64 the generator is also compiled for two later
// instruction sets and the one to use is picked once, at start-up, from what
// the processor offers. Every path generates the same moves in the same order.

#include <cstdint>

// Run-time dispatch needs x86-64 and the GCC or Clang target attributes;
// every other build has the portable path only.
#if (defined(__x86_64__) || defined(_M_X64)) && (defined(__GNUC__) || defined(__clang__)) && \
    !defined(KELP_NO_CPU_DISPATCH)
#define KELP_CPU_DISPATCH 1
#else
#define KELP_CPU_DISPATCH 0
#endif

enum class CpuPath : std::uint8_t {
    Portable,   // the target's baseline instructions only
    Popcnt,     // x86-64 with POPCNT: bit counts in one instruction
    Bmi2,       // x86-64 with POPCNT, BMI1 and a fast BMI2 PEXT: slider attacks by bit extraction
};

constexpr std::uint32_t CPU_PATH_COUNT = 3;

// "portable", "popcnt", "bmi2".
const char* cpuPathName(CpuPath path);
// What a path uses, for a person to read.
const char* cpuPathDescription(CpuPath path);
// Whether this build has the path and this processor can run it.
bool cpuPathAvailable(CpuPath path);
// The path boards use from start-up: the best available one, or the one the
// environment variable KELP_CPU_PATH names (a name above) when it is available.
CpuPath selectedCpuPath();
// Why the selection differs from KELP_CPU_PATH, or null when it does not
// (the variable is unset or named an available path).
const char* cpuPathSelectionNote();
