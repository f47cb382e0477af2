// inject_mouse.exe [--log FILE] [--repeat N] [--pause-ms N] STEP...
// Calls mouse_event once per STEP, in order; the whole list N times (default 1), sleeping --pause-ms
// (default 0) after every call. STEP is FLAGS:X:Y or FLAGS:X:Y:DATA, FLAGS either a number (0x8003)
// or names joined by '+': move absolute leftdown leftup rightdown rightup middledown middleup wheel
// hwheel virtualdesk. With --log, each call writes one line, stamped just before and after it:
//   call t_us=... done_us=... flags=0x8003 x=100 y=200 data=0
// (see linux_monotonic_clock.h for the scale). Exit code 0, or 2 on a bad command line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "linux_monotonic_clock.h"

namespace {

struct MouseStep {
  DWORD flags;
  DWORD x;
  DWORD y;
  DWORD data;
};

struct FlagName {
  const wchar_t* name;
  DWORD flag;
};

constexpr FlagName kFlagNames[] = {
    {L"move", MOUSEEVENTF_MOVE},          {L"absolute", MOUSEEVENTF_ABSOLUTE},
    {L"leftdown", MOUSEEVENTF_LEFTDOWN},  {L"leftup", MOUSEEVENTF_LEFTUP},
    {L"rightdown", MOUSEEVENTF_RIGHTDOWN}, {L"rightup", MOUSEEVENTF_RIGHTUP},
    {L"middledown", MOUSEEVENTF_MIDDLEDOWN}, {L"middleup", MOUSEEVENTF_MIDDLEUP},
    {L"wheel", MOUSEEVENTF_WHEEL},        {L"hwheel", MOUSEEVENTF_HWHEEL},
    {L"virtualdesk", MOUSEEVENTF_VIRTUALDESK},
};

bool ParseNumber(const std::wstring& text, long long& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  value = std::wcstoll(text.c_str(), &end, 0);
  return *end == L'\0';
}

bool ParseFlags(const std::wstring& text, DWORD& flags) {
  long long number = 0;
  if (ParseNumber(text, number)) {
    flags = static_cast<DWORD>(number);
    return true;
  }
  flags = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t plus = text.find(L'+', start);
    const std::wstring name = text.substr(start, plus == std::wstring::npos ? std::wstring::npos : plus - start);
    bool known = false;
    for (const FlagName& flag_name : kFlagNames) {
      if (name == flag_name.name) {
        flags |= flag_name.flag;
        known = true;
      }
    }
    if (!known) return false;
    if (plus == std::wstring::npos) break;
    start = plus + 1;
  }
  return true;
}

std::vector<std::wstring> SplitOnColons(const std::wstring& text) {
  std::vector<std::wstring> fields;
  std::size_t start = 0;
  for (std::size_t colon; (colon = text.find(L':', start)) != std::wstring::npos; start = colon + 1)
    fields.push_back(text.substr(start, colon - start));
  fields.push_back(text.substr(start));
  return fields;
}

bool ParseStep(const std::wstring& text, MouseStep& step) {
  const std::vector<std::wstring> fields = SplitOnColons(text);
  if (fields.size() != 3 && fields.size() != 4) return false;
  long long x = 0, y = 0, data = 0;
  if (!ParseFlags(fields[0], step.flags) || !ParseNumber(fields[1], x) || !ParseNumber(fields[2], y)) return false;
  if (fields.size() == 4 && !ParseNumber(fields[3], data)) return false;
  step.x = static_cast<DWORD>(x);
  step.y = static_cast<DWORD>(y);
  step.data = static_cast<DWORD>(data);
  return true;
}

struct Options {
  std::wstring log_path;
  long long repeat = 1;
  long long pause_ms = 0;
  std::vector<MouseStep> steps;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    const bool has_value = i + 1 < argc;
    if (argument == L"--log" && has_value) {
      options.log_path = argv[++i];
    } else if (argument == L"--repeat" && has_value) {
      if (!ParseNumber(argv[++i], options.repeat) || options.repeat < 1) return false;
    } else if (argument == L"--pause-ms" && has_value) {
      if (!ParseNumber(argv[++i], options.pause_ms) || options.pause_ms < 0) return false;
    } else {
      MouseStep step{};
      if (!ParseStep(argument, step)) return false;
      options.steps.push_back(step);
    }
  }
  return !options.steps.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs("usage: inject_mouse [--log FILE] [--repeat N] [--pause-ms N] FLAGS:X:Y[:DATA]...\n", stderr);
    return 2;
  }
  FILE* log = nullptr;
  if (!options.log_path.empty() && (log = _wfopen(options.log_path.c_str(), L"w")) == nullptr) {
    std::fputs("inject_mouse: cannot open the log file\n", stderr);
    return 2;
  }
  for (long long round = 0; round < options.repeat; ++round) {
    for (const MouseStep& step : options.steps) {
      const std::int64_t before = velno_test::MonotonicMicroseconds();
      mouse_event(step.flags, step.x, step.y, step.data, 0);
      const std::int64_t after = velno_test::MonotonicMicroseconds();
      if (log != nullptr) {
        std::fprintf(log, "call t_us=%lld done_us=%lld flags=0x%04lx x=%lu y=%lu data=%ld\n",
                     static_cast<long long>(before), static_cast<long long>(after),
                     static_cast<unsigned long>(step.flags), static_cast<unsigned long>(step.x),
                     static_cast<unsigned long>(step.y), static_cast<long>(step.data));
        std::fflush(log);
      }
      if (options.pause_ms > 0) Sleep(static_cast<DWORD>(options.pause_ms));
    }
  }
  if (log != nullptr) std::fclose(log);
  return 0;
}
