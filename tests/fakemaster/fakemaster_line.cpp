// Reads the line speed set on the slave side. Kept apart: the kernel's termios2 header
// clashes with the C library's termios.h.

#include "fakemaster.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

qint32 FakeMaster::lineBaudRate() const
{
    struct termios2 tio {};
    if (m_slaveFd < 0 || ioctl(m_slaveFd, TCGETS2, &tio) != 0)
        return -1;
    return qint32(tio.c_ospeed);
}
