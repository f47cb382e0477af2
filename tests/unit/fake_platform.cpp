#include "fake_platform.h"

#include "fake_velno.h"

namespace velno::testing {

bool FakeSharedStateLoader::BindSharedState(SharedState& library) {
  library = FakeSharedState();
  if (!complete) library.IsUsingGesture = nullptr;
  return complete;
}

ThreadHandle FakeReaderThreads::StartReaderThread(std::function<void()> body) {
  if (failToStart) return ThreadHandle::None;
  if (runAtOnce) body();
  std::scoped_lock guard(lock_);
  if (realThreads) running_.emplace_back(body);
  started.push_back(std::move(body));
  return static_cast<ThreadHandle>(started.size());
}

void FakeReaderThreads::JoinThreads() {
  std::vector<std::thread> running;
  {
    std::scoped_lock guard(lock_);
    running.swap(running_);
  }
  for (std::thread& thread : running) thread.join();
}

}  // namespace velno::testing
