#include "adjust_operations.h"

namespace adjust {
namespace {

template <typename Function>
bool Bind(const FindOperation& find, const char* name, Function& slot) {
  void* address = find(name);
  slot = reinterpret_cast<Function>(address);
  return address != nullptr;
}

bool BindPointRun(const FindOperation& find, AdjustOperations& o) {
  return Bind(find, "StartAdjust", o.StartAdjust) && Bind(find, "StopAdjust", o.StopAdjust) &&
         Bind(find, "SetAdjustCurrentIndex", o.SetAdjustCurrentIndex) &&
         Bind(find, "GetAdjustCurrentIndex", o.GetAdjustCurrentIndex) && Bind(find, "IsAdjusting", o.IsAdjusting) &&
         Bind(find, "SetAdjustType", o.SetAdjustType) && Bind(find, "GetAdjustType", o.GetAdjustType);
}

bool BindButtonRun(const FindOperation& find, AdjustOperations& o) {
  return Bind(find, "StartButtonAdjust", o.StartButtonAdjust) && Bind(find, "StopButtonAdjust", o.StopButtonAdjust) &&
         Bind(find, "SetButtonAdjustCurrentIndex", o.SetButtonAdjustCurrentIndex) &&
         Bind(find, "GetButtonAdjustCurrentIndex", o.GetButtonAdjustCurrentIndex) &&
         Bind(find, "IsButtonAdjusting", o.IsButtonAdjusting) &&
         Bind(find, "SetButtonAdjustType", o.SetButtonAdjustType) &&
         Bind(find, "GetButtonAdjustType", o.GetButtonAdjustType);
}

}  // namespace

bool BindAdjustOperations(const FindOperation& find, AdjustOperations& operations) {
  operations = {};
  return BindPointRun(find, operations) && BindButtonRun(find, operations);
}

}  // namespace adjust
