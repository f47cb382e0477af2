#include "tray/action_notices.h"

#include "actions/action_words.h"

namespace velno {

std::vector<StatusNotice> TakeActionNotices(ActionRequests& requests, const ButtonActionTable& actions) {
  std::vector<StatusNotice> notices;
  for (int i = 0; i < kTriggerCount; ++i) {
    const StartResult failure = requests.failure[i].load();
    if (failure == StartResult::Started || requests.told[i].exchange(true)) continue;
    const Trigger trigger = TriggerAt(i);
    notices.push_back({NoticeKind::ActionNotStarted, TriggerWords(trigger) + L" does nothing",
                       FailureNotice(trigger, ActionOf(actions, trigger), failure)});
  }
  return notices;
}

}  // namespace velno
