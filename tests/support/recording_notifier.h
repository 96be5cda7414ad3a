#pragma once
// A notifier that keeps what the program told the user, for the tests to read.
#include <string>
#include <vector>

#include "util/notifier.h"

namespace vantrel::testing {

struct ShownMessage {
  std::string text;
  MessageIcon icon = MessageIcon::None;
  bool operator==(const ShownMessage&) const = default;
};

class RecordingNotifier : public Notifier {
 public:
  MessageResult ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons = MessageButtons::Ok) override {
    messages.push_back({text, icon});
    return buttons == MessageButtons::YesNo ? answer : MessageResult::Ok;
  }
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  // Each progress shown as done/total ("-" when hidden, "?" of unknown length).
  void SetProgress(double done, double total) override {
    progress.push_back(done < 0 ? "-" : total == 0 ? "?" : std::to_string(static_cast<int>(done)) + "/" + std::to_string(static_cast<int>(total)));
  }
  void SetBusy(bool busy) override {
    busyChanges.push_back(busy);
    busyDepth += busy ? 1 : -1;
  }

  // The message texts in the order shown.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }
  bool Shown(const std::string& text) const {
    for (const auto& m : messages) {
      if (m.text == text) return true;
    }
    return false;
  }

  std::vector<ShownMessage> messages;
  std::vector<std::string> statuses;
  std::vector<std::string> progress;
  std::vector<bool> busyChanges;
  int busyDepth = 0;
  // The answer to Yes/No questions.
  MessageResult answer = MessageResult::No;
};

}  // namespace vantrel::testing
