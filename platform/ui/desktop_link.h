// Links handed to the desktop to open (a web page, a mail address, a document); tests record them instead.
#pragma once

#include <QString>

#include <vector>

namespace platform {

// Asks the desktop to open `link` with its usual program and returns at once; whether that
// worked is not examined and nothing is shown to the user either way. A link without a scheme
// is read as the desktop would read typed text (a path opens the file, "host.org" a web page).
// An empty link opens nothing.
void OpenLink(const QString& link);

// While alive, every link is recorded instead of being opened. Recorders nest like the
// message-box recorder: the newest one alive records.
class LinkRecorder {
 public:
  LinkRecorder();
  ~LinkRecorder();
  LinkRecorder(const LinkRecorder&) = delete;
  LinkRecorder& operator=(const LinkRecorder&) = delete;

  // The links in the order they were opened, as handed over.
  const std::vector<QString>& Links() const { return links_; }

 private:
  friend void OpenLink(const QString&);
  std::vector<QString> links_;
  LinkRecorder* previous_;
};

}  // namespace platform
