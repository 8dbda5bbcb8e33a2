#include "platform/StandardStreams.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

void openClosedStandardStreams()
{
#ifndef _WIN32
    for (int descriptor = 0; descriptor <= 2; ++descriptor)
    {
        if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open takes the lowest free descriptor: this one.
        const int opened = ::open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor)
            ::close(opened);
    }
#endif
}
