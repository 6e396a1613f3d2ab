// Entry point of both releases and of kelp-full; the build says which one this binary is.
#include "app/startup.h"
#include "platform/signals.h"
#include "platform/standard_streams.h"
#include "release/release_profile.h"

int main(int argc, char** argv)
{
    ignoreInterruptSignal();
    useByteExactStandardStreams();
    ignoreBrokenPipeSignal();
    const ReleaseProfile& release = KELP_EARLIER_RELEASE ? earlierRelease() : currentRelease();
    return runEngine(argc, argv, release, standardInput(), standardOutput(), KELP_FULL_MODE != 0);
}
