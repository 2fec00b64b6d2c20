// A fake mixer behind the volume functions' seam: a table of named elements with their ranges
// and channel values, a card that can be pulled, and counts of what reached it.
#pragma once

#include <map>
#include <string>

#include "platform/mixer/mixer_backend.h"

namespace testsupport {

class FakeMixer {
 public:
  struct Element {
    long min = 0;
    long max = 0;
    bool mono = false;
    long left = 0;
    long right = 0;  // a mono element keeps it equal to `left`
  };

  // Puts itself under the volume functions: a card with no elements.
  FakeMixer();
  // Puts the system's mixer back.
  ~FakeMixer();
  FakeMixer(const FakeMixer&) = delete;
  FakeMixer& operator=(const FakeMixer&) = delete;

  // Adds (or replaces) an element of the range min..max holding `value` on every channel.
  Element& Add(const std::string& name, long min, long max, bool mono = false, long value = 0);
  // The element now; a test fails when it is missing.
  const Element& At(const std::string& name) const;
  // Takes the element away (a card whose control vanished).
  void Remove(const std::string& name);
  // A change made by another program: seen once the events are handled.
  void ChangeElsewhere(const std::string& name, long left, long right);
  // No card at all: nothing opens.
  void PullCard() { card_ = false; }

  // Element writes that reached the mixer, and event handlings (one before each read or set).
  int Writes() const { return writes_; }
  int Updates() const { return updates_; }

 private:
  static bool Open(void* self);
  static bool Update(void* self);
  static bool Read(void* self, const char* name, platform::MixerReading& reading);
  static bool Write(void* self, const char* name, long left, long right);
  static void Close(void* self);

  std::map<std::string, Element> elements_;
  std::map<std::string, std::pair<long, long>> pending_;
  bool card_ = true;
  bool open_ = false;
  int writes_ = 0;
  int updates_ = 0;
  platform::MixerBackend backend_;
  const platform::MixerBackend* before_ = nullptr;
};

}  // namespace testsupport
