// A pseudo-terminal standing in for the board's serial port: the simulator keeps the master, and the
// slave (/dev/pts/N) is what the host program opens.
#pragma once

#include <string>

namespace board_sim {

class PtyPort {
 public:
  // Opens a new pair with the slave in raw mode. The slave stays open here too, so the pair lives
  // while the host opens and closes the port. The master is non-blocking. Throws std::system_error.
  static PtyPort Open();

  PtyPort(PtyPort&& other) noexcept;
  PtyPort& operator=(PtyPort&& other) noexcept;
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;
  // Closing the master is the board being unplugged: the slave path disappears and the host's
  // reads and writes on it fail.
  ~PtyPort();

  int Master() const { return master_; }
  int Slave() const { return slave_; }
  const std::string& SlavePath() const { return slavePath_; }

 private:
  PtyPort(int master, int slave, std::string slavePath);
  void Close();

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

}  // namespace board_sim
