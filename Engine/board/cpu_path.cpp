#include "board/cpu_path.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kNames[CPU_PATH_COUNT] = {"portable", "popcnt", "bmi2"};
constexpr const char* kDescriptions[CPU_PATH_COUNT] = {
    "the target's baseline instructions",
    "POPCNT",
    "POPCNT, BMI1, BMI2 PEXT",
};

#if KELP_CPU_DISPATCH
bool processorHas(CpuPath path)
{
    __builtin_cpu_init();
    switch (path) {
    case CpuPath::Portable:
        return true;
    case CpuPath::Popcnt:
        return __builtin_cpu_supports("popcnt");
    case CpuPath::Bmi2:
        // AMD processors before Zen 3 run PEXT in microcode, slower than the
        // multiplication it replaces: they stay on the POPCNT path.
        return __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi") &&
               __builtin_cpu_supports("bmi2") &&
               !(__builtin_cpu_is("amd") &&
                 (__builtin_cpu_is("bdver4") || __builtin_cpu_is("znver1") || __builtin_cpu_is("znver2")));
    }
    return false;
}
#else
bool processorHas(CpuPath path)
{
    return path == CpuPath::Portable;
}
#endif

struct Selection {
    CpuPath path = CpuPath::Portable;
    const char* note = nullptr;
};

Selection select()
{
    Selection s;
    for (std::uint32_t i = CPU_PATH_COUNT; i-- > 0;) {
        if (processorHas(static_cast<CpuPath>(i))) {
            s.path = static_cast<CpuPath>(i);
            break;
        }
    }
    const char* wanted = std::getenv("KELP_CPU_PATH");
    if (wanted == nullptr || *wanted == '\0')
        return s;
    for (std::uint32_t i = 0; i < CPU_PATH_COUNT; ++i) {
        if (std::strcmp(wanted, kNames[i]) != 0)
            continue;
        if (!processorHas(static_cast<CpuPath>(i))) {
            s.note = "KELP_CPU_PATH names a path this build or processor lacks";
            return s;
        }
        s.path = static_cast<CpuPath>(i);
        return s;
    }
    s.note = "KELP_CPU_PATH is not portable, popcnt or bmi2";
    return s;
}

const Selection& selection()
{
    static const Selection made = select();
    return made;
}

} // namespace

const char* cpuPathName(CpuPath path)
{
    return kNames[static_cast<std::uint32_t>(path)];
}

const char* cpuPathDescription(CpuPath path)
{
    return kDescriptions[static_cast<std::uint32_t>(path)];
}

bool cpuPathAvailable(CpuPath path)
{
    return processorHas(path);
}

CpuPath selectedCpuPath()
{
    return selection().path;
}

const char* cpuPathSelectionNote()
{
    return selection().note;
}
