#pragma once
// What the core tells the user: message boxes, status panel 1 and the busy pointer.
// The windows provide it with message boxes and the main frame's status bar; tests
// record what was shown.
#include <string>

namespace vantrel {

enum class MessageIcon { None, Critical, Warning, Question, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageResult { Ok, Yes, No };

class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual MessageResult ShowMessage(const std::string& text, MessageIcon icon,
                                    MessageButtons buttons = MessageButtons::Ok) = 0;
  // Panel 1 of the main frame's status bar: one transient text, "" empties it.
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetBusy(bool busy) = 0;
  // Long work's progress beside panel 1, never instead of its text: `done` of `total`
  // steps; a `total` of 0 shows work of unknown length; `done` below 0 hides it.
  virtual void SetProgress(double /*done*/, double /*total*/) {}
};

// Tells no one: for runs without a user, such as benchmarks. Questions get "OK".
class SilentNotifier : public Notifier {
 public:
  MessageResult ShowMessage(const std::string&, MessageIcon, MessageButtons) override {
    return MessageResult::Ok;
  }
  void SetStatus(const std::string&) override {}
  void SetBusy(bool) override {}
};

// "Error Number: <n>" CR LF "<description>" with the critical icon.
void ShowErrorBox(Notifier& notifier, long number, const std::string& description);

}  // namespace vantrel
