// The kernel's own termios2 record, which carries the speed as a number; kept apart from <termios.h>,
// whose record of the same name it cannot live beside.
#include "platform/line_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstdlib>

namespace kvx {

bool setLineSpeed(int fd, int baud) {
    if (baud <= 0) return false;
    termios2 settings{};
    if (::ioctl(fd, TCGETS2, &settings) != 0) return false;
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ispeed = static_cast<speed_t>(baud);
    settings.c_ospeed = static_cast<speed_t>(baud);
    termios2 taken{};
    if (::ioctl(fd, TCSETS2, &settings) != 0 || ::ioctl(fd, TCGETS2, &taken) != 0) return false;
    const long off = std::labs(static_cast<long>(taken.c_ospeed) - baud);
    return off * 100 <= static_cast<long>(baud) * 3;
}

}  // namespace kvx
