// kelp-tool: developer commands on top of the engine library.

#include <cstdio>
#include <cstring>

namespace {

void printUsage(std::FILE* stream)
{
    std::fputs("usage: kelp-tool COMMAND [ARGS] [--release 0.4.13.1]\n"
               "commands arrive as the engine grows; --help prints this text\n",
               stream);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage(stdout);
        return 0;
    }
    printUsage(stderr);
    return 2;
}
