#include "app/release_profile.h"

#include <cstring>

namespace {

const ReleaseProfile kCurrent = {
    "0.5.15.1",
    "Kelp V0.5.15.1",
    8388608,
};

const ReleaseProfile kEarlier = {
    "0.4.13.1",
    "Kelp V0.4.13.1",
    262144,
};

} // namespace

const ReleaseProfile& currentRelease() { return kCurrent; }
const ReleaseProfile& earlierRelease() { return kEarlier; }

const ReleaseProfile* releaseByVersion(const char* version)
{
    if (std::strcmp(version, kCurrent.version) == 0)
        return &kCurrent;
    if (std::strcmp(version, kEarlier.version) == 0)
        return &kEarlier;
    return nullptr;
}
