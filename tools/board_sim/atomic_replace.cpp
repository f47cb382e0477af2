#include "atomic_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace board_sim {

namespace {

std::filesystem::path TemporarySibling(const std::filesystem::path& path) {
  std::filesystem::path temp = path;
  temp += ".board-sim-" + std::to_string(::getpid());
  return temp;
}

void RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    const int error = errno;
    ::unlink(from.c_str());
    throw std::system_error(error, std::generic_category(), "rename to " + to.string());
  }
}

}  // namespace

void ReplaceSymlink(const std::filesystem::path& link, const std::filesystem::path& target) {
  const std::filesystem::path temp = TemporarySibling(link);
  ::unlink(temp.c_str());  // left over by a run that was killed between the two steps
  if (::symlink(target.c_str(), temp.c_str()) != 0) {
    throw std::system_error(errno, std::generic_category(), "symlink " + temp.string());
  }
  RenameOver(temp, link);
}

void ReplaceFileContents(const std::filesystem::path& file, std::string_view contents) {
  const std::filesystem::path temp = TemporarySibling(file);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::system_error(errno, std::generic_category(), "create " + temp.string());
  const bool written = ::write(fd, contents.data(), contents.size()) == static_cast<ssize_t>(contents.size());
  const int error = errno;
  ::close(fd);
  if (!written) {
    ::unlink(temp.c_str());
    throw std::system_error(error, std::generic_category(), "write " + temp.string());
  }
  RenameOver(temp, file);
}

}  // namespace board_sim
