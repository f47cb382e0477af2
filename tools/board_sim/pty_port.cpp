#include "pty_port.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace board_sim {

namespace {

[[noreturn]] void ThrowErrno(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

PtyPort PtyPort::Open() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master < 0) ThrowErrno("posix_openpt");
  // From here on the PtyPort owns whatever is open, so a failure below closes it.
  PtyPort port(master, -1, {});
  if (grantpt(master) != 0) ThrowErrno("grantpt");
  if (unlockpt(master) != 0) ThrowErrno("unlockpt");
  char name[128];
  if (ptsname_r(master, name, sizeof name) != 0) ThrowErrno("ptsname_r");
  port.slavePath_ = name;
  port.slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (port.slave_ < 0) ThrowErrno("open pty slave");
  termios mode{};
  if (tcgetattr(port.slave_, &mode) != 0) ThrowErrno("tcgetattr");
  cfmakeraw(&mode);
  cfsetspeed(&mode, B9600);
  if (tcsetattr(port.slave_, TCSANOW, &mode) != 0) ThrowErrno("tcsetattr");
  return port;
}

PtyPort::PtyPort(int master, int slave, std::string slavePath)
    : master_(master), slave_(slave), slavePath_(std::move(slavePath)) {}

PtyPort::PtyPort(PtyPort&& other) noexcept
    : master_(std::exchange(other.master_, -1)),
      slave_(std::exchange(other.slave_, -1)),
      slavePath_(std::move(other.slavePath_)) {}

PtyPort& PtyPort::operator=(PtyPort&& other) noexcept {
  if (this != &other) {
    Close();
    master_ = std::exchange(other.master_, -1);
    slave_ = std::exchange(other.slave_, -1);
    slavePath_ = std::move(other.slavePath_);
  }
  return *this;
}

PtyPort::~PtyPort() { Close(); }

void PtyPort::Close() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
}

}  // namespace board_sim
