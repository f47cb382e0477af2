// Velno.dll: the shared block lives in a named file mapping, created zero-filled by the first process
// that loads the library and opened by every later one. Unlike a shared data section, a named mapping
// is shared by 32-bit and 64-bit copies of the library alike.
#include <windows.h>

#include "shared_state_ops.h"
#include "velno.h"

namespace {

constexpr wchar_t kMappingName[] = L"Local\\Velno_SharedState";

HANDLE g_mapping = nullptr;
velno::SharedBlock* g_block = nullptr;
// Used only if the mapping cannot be had, so that no operation dereferences a null block.
velno::SharedBlock g_privateBlock{};

velno::SharedBlock& Block() { return g_block != nullptr ? *g_block : g_privateBlock; }

void MapSharedBlock() {
  g_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(velno::SharedBlock),
                                 kMappingName);
  if (g_mapping == nullptr) return;
  // A fresh page-file mapping is zero-filled, so the first process finds every value at 0.
  g_block = static_cast<velno::SharedBlock*>(
      MapViewOfFile(g_mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(velno::SharedBlock)));
}

void UnmapSharedBlock() {
  if (g_block != nullptr) UnmapViewOfFile(g_block);
  if (g_mapping != nullptr) CloseHandle(g_mapping);
  g_block = nullptr;
  g_mapping = nullptr;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) MapSharedBlock();
  if (reason == DLL_PROCESS_DETACH) UnmapSharedBlock();
  return TRUE;
}

std::int32_t StartAdjust() { return velno::StartAdjust(Block()); }
std::int32_t StopAdjust() { return velno::StopAdjust(Block()); }
std::int32_t SetAdjustCurrentIndex(std::int32_t index) { return velno::SetAdjustCurrentIndex(Block(), index); }
std::int32_t GetAdjustCurrentIndex() { return velno::GetAdjustCurrentIndex(Block()); }
std::int32_t IsAdjusting() { return velno::IsAdjusting(Block()); }
std::int32_t SetAdjustType(std::int32_t type) { return velno::SetAdjustType(Block(), type); }
std::int32_t GetAdjustType() { return velno::GetAdjustType(Block()); }

std::int32_t StartButtonAdjust() { return velno::StartButtonAdjust(Block()); }
std::int32_t StopButtonAdjust() { return velno::StopButtonAdjust(Block()); }
std::int32_t SetButtonAdjustCurrentIndex(std::int32_t index) {
  return velno::SetButtonAdjustCurrentIndex(Block(), index);
}
std::int32_t GetButtonAdjustCurrentIndex() { return velno::GetButtonAdjustCurrentIndex(Block()); }
std::int32_t IsButtonAdjusting() { return velno::IsButtonAdjusting(Block()); }
std::int32_t SetButtonAdjustType(std::int32_t type) { return velno::SetButtonAdjustType(Block(), type); }
std::int32_t GetButtonAdjustType() { return velno::GetButtonAdjustType(Block()); }

std::int32_t SetDeviceState(std::int32_t state) { return velno::SetDeviceState(Block(), state); }
std::int32_t GetDeviceState() { return velno::GetDeviceState(Block()); }

std::int32_t SetButtonTarget(std::int32_t handle, std::int32_t value) {
  return velno::SetButtonTarget(Block(), handle, value);
}
std::int32_t GetButtonTarget(std::int32_t* handle, std::int32_t* value) {
  return velno::GetButtonTarget(Block(), handle, value);
}

std::int32_t SetGestureBrush(std::int32_t threshold) { return velno::SetGestureBrush(Block(), threshold); }
std::int32_t GetGestureBrush() { return velno::GetGestureBrush(Block()); }
std::int32_t SetGestureErase(std::int32_t threshold) { return velno::SetGestureErase(Block(), threshold); }
std::int32_t GetGestureErase() { return velno::GetGestureErase(Block()); }
std::int32_t StartGestureAdjust() { return velno::StartGestureAdjust(Block()); }
std::int32_t StopGestureAdjust() { return velno::StopGestureAdjust(Block()); }
std::int32_t IsGestureAdjusting() { return velno::IsGestureAdjusting(Block()); }
std::int32_t IsUsingGesture(std::int32_t flag) { return velno::IsUsingGesture(Block(), flag); }
