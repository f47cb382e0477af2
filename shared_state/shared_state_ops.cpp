#include "shared_state_ops.h"

#include <atomic>

namespace velno {
namespace {

// Each operation is one aligned 32-bit load or store; processes and threads share the block without a
// lock. atomic_ref makes that a defined operation in C++ instead of a data race.
std::int32_t Load(const std::int32_t& field) {
  return std::atomic_ref<const std::int32_t>(field).load(std::memory_order_relaxed);
}

void Store(std::int32_t& field, std::int32_t value) {
  std::atomic_ref<std::int32_t>(field).store(value, std::memory_order_relaxed);
}

constexpr std::int32_t Word(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

std::int32_t LowHalf(std::int32_t word) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(word) & 0xFFFFu); }

// The previous word is read and the new one written in two steps; a writer in between is not guarded
// against, which is how every user of the library expects it to behave.
std::int32_t SetIndexWord(std::int32_t& word, std::int32_t index) {
  if (static_cast<std::uint32_t>(index) > kMaxRunIndex) return 0;
  const std::int32_t previous = Load(word);
  Store(word, Word(kRunMarker | static_cast<std::uint32_t>(index)));
  return LowHalf(previous);
}

std::int32_t IsRunActive(const std::int32_t& word) {
  return (static_cast<std::uint32_t>(Load(word)) & kRunMarker) == kRunMarker ? 1 : 0;
}

std::int32_t Exchange(std::int32_t& field, std::int32_t value) {
  const std::int32_t previous = Load(field);
  Store(field, value);
  return previous;
}

}  // namespace

std::int32_t StartAdjust(SharedBlock& block) {
  Store(block.adjustIndexWord, Word(kRunMarker | 1u));
  return 1;
}

std::int32_t StopAdjust(SharedBlock& block) {
  Store(block.adjustIndexWord, 0);
  return 1;
}

std::int32_t SetAdjustCurrentIndex(SharedBlock& block, std::int32_t index) {
  return SetIndexWord(block.adjustIndexWord, index);
}

std::int32_t GetAdjustCurrentIndex(const SharedBlock& block) { return LowHalf(Load(block.adjustIndexWord)); }

std::int32_t IsAdjusting(const SharedBlock& block) { return IsRunActive(block.adjustIndexWord); }

std::int32_t SetAdjustType(SharedBlock& block, std::int32_t type) { return Exchange(block.adjustType, type); }

std::int32_t GetAdjustType(const SharedBlock& block) { return Load(block.adjustType); }

std::int32_t StartButtonAdjust(SharedBlock& block) {
  Store(block.buttonAdjustIndexWord, Word(kRunMarker | 1u));
  return 1;
}

std::int32_t StopButtonAdjust(SharedBlock& block) {
  Store(block.buttonAdjustIndexWord, 0);
  return 1;
}

std::int32_t SetButtonAdjustCurrentIndex(SharedBlock& block, std::int32_t index) {
  return SetIndexWord(block.buttonAdjustIndexWord, index);
}

std::int32_t GetButtonAdjustCurrentIndex(const SharedBlock& block) {
  return LowHalf(Load(block.buttonAdjustIndexWord));
}

std::int32_t IsButtonAdjusting(const SharedBlock& block) { return IsRunActive(block.buttonAdjustIndexWord); }

std::int32_t SetButtonAdjustType(SharedBlock& block, std::int32_t type) {
  return Exchange(block.buttonAdjustType, type);
}

std::int32_t GetButtonAdjustType(const SharedBlock& block) { return Load(block.buttonAdjustType); }

std::int32_t SetDeviceState(SharedBlock& block, std::int32_t state) {
  Store(block.deviceState, state);
  return state;
}

std::int32_t GetDeviceState(const SharedBlock& block) { return Load(block.deviceState) == kDeviceConnected ? 1 : 0; }

std::int32_t SetButtonTarget(SharedBlock& block, std::int32_t handle, std::int32_t value) {
  Store(block.buttonTargetHandle, handle);
  Store(block.buttonTargetValue, value);
  return handle;
}

std::int32_t GetButtonTarget(const SharedBlock& block, std::int32_t* handle, std::int32_t* value) {
  const std::int32_t storedValue = Load(block.buttonTargetValue);
  if (handle != nullptr) *handle = Load(block.buttonTargetHandle);
  if (value != nullptr) *value = storedValue;
  return storedValue;
}

std::int32_t SetGestureBrush(SharedBlock& block, std::int32_t threshold) {
  Store(block.gestureBrush, threshold);
  return 0;
}

std::int32_t GetGestureBrush(const SharedBlock& block) { return Load(block.gestureBrush); }

std::int32_t SetGestureErase(SharedBlock& block, std::int32_t threshold) {
  Store(block.gestureErase, threshold);
  return 0;
}

std::int32_t GetGestureErase(const SharedBlock& block) { return Load(block.gestureErase); }

std::int32_t StartGestureAdjust(SharedBlock& block) {
  Store(block.gestureAdjusting, 1);
  return 1;
}

std::int32_t StopGestureAdjust(SharedBlock& block) {
  Store(block.gestureAdjusting, 0);
  return 1;
}

std::int32_t IsGestureAdjusting(const SharedBlock& block) { return Load(block.gestureAdjusting); }

std::int32_t IsUsingGesture(SharedBlock& block, std::int32_t flag) {
  if (flag < 0) return Load(block.usingGesture);
  Store(block.usingGesture, flag);
  return flag;
}

}  // namespace velno
