#include "platform/standard_streams.h"

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#endif

void useByteExactStandardStreams()
{
#ifdef _WIN32
    // Text mode would add a carriage return to every output line and would
    // end the input at a stray Ctrl-Z byte.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}
