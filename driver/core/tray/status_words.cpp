#include "tray/status_words.h"

namespace velno {
namespace {

std::wstring PortList(const DriverStatus& status) {
  std::wstring list;
  for (const std::wstring& port : status.ports) list += (list.empty() ? L"" : L", ") + port;
  return list;
}

}  // namespace

StatusWords DescribeStatus(const DriverStatus& status) {
  if (status.calibrating) return {IconPicture::Calibrating, L"Calibrating\u2026"};
  if (status.ports.empty()) return {IconPicture::Looking, L"Looking for the whiteboard\u2026"};
  if (status.linkUnreliable) {
    return {IconPicture::Unreliable, L"Whiteboard connection unreliable (" + PortList(status) + L"): check the USB cable"};
  }
  return {IconPicture::Ready, L"Whiteboard ready (" + PortList(status) + L")"};
}

}  // namespace velno
