#pragma once

namespace kvx {

// Sets an open serial line's speed to any rate in bits per second, not only the standard ones. False when
// the line refuses the rate or runs at a rate more than 3 % away from it (a line that cannot do a rate
// keeps another).
bool setLineSpeed(int fd, int baud);

}  // namespace kvx
