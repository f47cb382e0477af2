#include "fake_velno.h"

#include "shared_state_ops.h"

namespace velno::testing {
namespace {

SharedBlock g_block{};

}  // namespace

SharedBlock& FakeVelnoBlock() { return g_block; }

void ResetFakeVelno() { g_block = SharedBlock{}; }

VelnoLibrary FakeVelnoLibrary() {
  VelnoLibrary l{};
  l.StartAdjust = [] { return velno::StartAdjust(g_block); };
  l.StopAdjust = [] { return velno::StopAdjust(g_block); };
  l.SetAdjustCurrentIndex = [](std::int32_t i) { return velno::SetAdjustCurrentIndex(g_block, i); };
  l.GetAdjustCurrentIndex = [] { return velno::GetAdjustCurrentIndex(g_block); };
  l.IsAdjusting = [] { return velno::IsAdjusting(g_block); };
  l.SetAdjustType = [](std::int32_t t) { return velno::SetAdjustType(g_block, t); };
  l.GetAdjustType = [] { return velno::GetAdjustType(g_block); };
  l.SetDeviceState = [](std::int32_t s) { return velno::SetDeviceState(g_block, s); };
  l.GetDeviceState = [] { return velno::GetDeviceState(g_block); };
  l.GetButtonTarget = [](std::int32_t* h, std::int32_t* v) { return velno::GetButtonTarget(g_block, h, v); };
  l.StartButtonAdjust = [] { return velno::StartButtonAdjust(g_block); };
  l.StopButtonAdjust = [] { return velno::StopButtonAdjust(g_block); };
  l.SetButtonAdjustCurrentIndex = [](std::int32_t i) { return velno::SetButtonAdjustCurrentIndex(g_block, i); };
  l.GetButtonAdjustCurrentIndex = [] { return velno::GetButtonAdjustCurrentIndex(g_block); };
  l.IsButtonAdjusting = [] { return velno::IsButtonAdjusting(g_block); };
  l.SetButtonAdjustType = [](std::int32_t t) { return velno::SetButtonAdjustType(g_block, t); };
  l.GetButtonAdjustType = [] { return velno::GetButtonAdjustType(g_block); };
  l.SetGestureBrush = [](std::int32_t t) { return velno::SetGestureBrush(g_block, t); };
  l.GetGestureBrush = [] { return velno::GetGestureBrush(g_block); };
  l.SetGestureErase = [](std::int32_t t) { return velno::SetGestureErase(g_block, t); };
  l.GetGestureErase = [] { return velno::GetGestureErase(g_block); };
  l.IsGestureAdjusting = [] { return velno::IsGestureAdjusting(g_block); };
  l.StopGestureAdjust = [] { return velno::StopGestureAdjust(g_block); };
  l.IsUsingGesture = [](std::int32_t f) { return velno::IsUsingGesture(g_block, f); };
  return l;
}

}  // namespace velno::testing
