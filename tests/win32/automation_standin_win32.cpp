// Stands in for the presentation program's automation executable in end-to-end tests: copied beside
// the driver as "LightboxEducation.Easiteach.Automation.exe", it appends the command line it was
// started with, as one line, to automation.log beside itself, and ends.
#include <windows.h>

#include <string>

int main() {
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string log = program;
  log.erase(log.find_last_of('\\') + 1);
  log += "automation.log";

  const std::string line = std::string(GetCommandLineA()) + "\r\n";
  // Several copies may run at once: retry while another one has the file open.
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      CloseHandle(file);
      return 0;
    }
    Sleep(10);
  }
  return 1;
}
