#include <windows.h>

#include <ctime>
#include <memory>

#include "driver_platform_win32.h"

namespace velno {
namespace {

DWORD WINAPI RunBody(LPVOID parameter) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
  (*body)();
  return 0;
}

}  // namespace

ThreadHandle Win32ReaderThreads::StartReaderThread(std::function<void()> body) {
  // The reader injects input, so it must work on the desktop of the thread that starts it. Wine gives
  // new threads of a process launched by the service the service's hidden desktop instead of the one
  // the launch asked for, where injected input reaches nobody.
  HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
  body = [desktop, run = std::move(body)] {
    if (desktop != nullptr) SetThreadDesktop(desktop);
    run();
  };
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  HANDLE thread = CreateThread(nullptr, 0, RunBody, owned.get(), 0, nullptr);
  if (thread == nullptr) return ThreadHandle::None;
  owned.release();  // the thread owns it now
  SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
  return static_cast<ThreadHandle>(reinterpret_cast<std::uintptr_t>(thread));
}

void Win32ReaderThreads::CloseThread(ThreadHandle thread) {
  CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(thread)));
}

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint64_t Win32Clock::ReadMonotonicMs() { return GetTickCount64(); }

TimeStamp Win32Clock::ReadClock() {
  const auto seconds = static_cast<std::int32_t>(std::time(nullptr));
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return {seconds, static_cast<std::int32_t>(local.wMilliseconds)};
}

}  // namespace velno
