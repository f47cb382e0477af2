#include "link/link_health.h"

namespace velno {

std::optional<LinkHealthWarning> CountReport(LinkHealth& health, std::uint64_t nowMs, bool dropped) {
  std::optional<LinkHealthWarning> warning;
  if (!health.minuteStartMs) health.minuteStartMs = nowMs;
  if (nowMs - *health.minuteStartMs >= kLinkHealthMinuteMs) {
    const bool unhealthy =
        std::uint64_t{health.dropped} * 100 > std::uint64_t{health.reports} * kUnhealthyDroppedPerHundred;
    health.unreliable = unhealthy;
    if (unhealthy) warning = LinkHealthWarning{health.dropped, health.reports};
    health.minuteStartMs = nowMs;
    health.reports = 0;
    health.dropped = 0;
  }
  ++health.reports;
  if (dropped) ++health.dropped;
  return warning;
}

}  // namespace velno
