// The operating system's serial driver, behind the `SerialPort` interface.
// One implementation per system; CMake picks the file.
#pragma once

#include <string>

#include "link/serial/serial_port.h"

namespace pelikon {

// Makes an unopened port of this system's driver; nullptr when no memory.
SerialPort* MakeSystemSerialPort(int port_index, SerialHooks hooks);

// Opens `device` on a port made above and sets it up (speed `baud`, 8N1,
// handshakes off). The outcome is the port's status.
void OpenSystemSerialPort(SerialPort& port, const std::string& device, int baud);

// Makes a port of two open streams (a terminal in raw mode at `baud`, or
// pipes); they stay open when the port closes.
void AdoptSystemStreams(SerialPort& port, int input_fd, int output_fd, int baud);

}  // namespace pelikon
