// The one message-box service of the program; tests put a recorder in its place.
#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace platform {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };

struct MessageBoxCall {
  QString caption;
  QString text;
  MessageIcon icon;
};

// Shows a modal box with one OK button and waits for it to be confirmed. The text is plain text:
// whatever it holds is shown literally.
void ShowMessageBox(const QString& caption, const QString& text, MessageIcon icon);

// While alive, every box is recorded and answered at once instead of being shown. Recorders
// nest: the newest one alive records, and the one before it takes over when it ends.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  const std::vector<MessageBoxCall>& Calls() const { return calls_; }
  void Clear() { calls_.clear(); }
  // Runs just before a recorded box returns (tests use it to act "while the box is up");
  // it may show further boxes, which are recorded too.
  void OnShow(std::function<void(const MessageBoxCall&)> action) { onShow_ = std::move(action); }

 private:
  friend void ShowMessageBox(const QString&, const QString&, MessageIcon);
  std::vector<MessageBoxCall> calls_;
  std::function<void(const MessageBoxCall&)> onShow_;
  MessageBoxRecorder* previous_;
};

}  // namespace platform
