// The fake mixer: elements in a map, changes from elsewhere held until the events are handled.
#include "tests/support/fake_mixer.h"

#include <gtest/gtest.h>

namespace testsupport {

FakeMixer::FakeMixer()
    : backend_{.open = &FakeMixer::Open,
               .update = &FakeMixer::Update,
               .read = &FakeMixer::Read,
               .write = &FakeMixer::Write,
               .close = &FakeMixer::Close,
               .self = this} {
  before_ = platform::SetMixerBackend(&backend_);
}

FakeMixer::~FakeMixer() { platform::SetMixerBackend(before_); }

FakeMixer::Element& FakeMixer::Add(const std::string& name, long min, long max, bool mono, long value) {
  Element& element = elements_[name];
  element = Element{min, max, mono, value, value};
  return element;
}

const FakeMixer::Element& FakeMixer::At(const std::string& name) const {
  static const Element kMissing;
  const auto found = elements_.find(name);
  EXPECT_NE(found, elements_.end()) << "no element " << name;
  return found == elements_.end() ? kMissing : found->second;
}

void FakeMixer::Remove(const std::string& name) { elements_.erase(name); }

void FakeMixer::ChangeElsewhere(const std::string& name, long left, long right) { pending_[name] = {left, right}; }

bool FakeMixer::Open(void* self) {
  auto& mixer = *static_cast<FakeMixer*>(self);
  mixer.open_ = mixer.card_;
  return mixer.open_;
}

bool FakeMixer::Update(void* self) {
  auto& mixer = *static_cast<FakeMixer*>(self);
  ++mixer.updates_;
  if (!mixer.open_ || !mixer.card_) return false;
  for (const auto& [name, values] : mixer.pending_) {
    const auto found = mixer.elements_.find(name);
    if (found == mixer.elements_.end()) continue;
    found->second.left = values.first;
    found->second.right = found->second.mono ? values.first : values.second;
  }
  mixer.pending_.clear();
  return true;
}

bool FakeMixer::Read(void* self, const char* name, platform::MixerReading& reading) {
  auto& mixer = *static_cast<FakeMixer*>(self);
  const auto found = mixer.elements_.find(name);
  if (!mixer.open_ || found == mixer.elements_.end()) return false;
  const Element& element = found->second;
  reading = {element.min, element.max, element.mono, element.left, element.mono ? element.left : element.right};
  return true;
}

bool FakeMixer::Write(void* self, const char* name, long left, long right) {
  auto& mixer = *static_cast<FakeMixer*>(self);
  const auto found = mixer.elements_.find(name);
  if (!mixer.open_ || found == mixer.elements_.end()) return false;
  Element& element = found->second;
  EXPECT_TRUE(left >= element.min && left <= element.max && right >= element.min && right <= element.max)
      << "values " << left << ", " << right << " outside " << element.min << ".." << element.max;
  ++mixer.writes_;
  element.left = left;
  element.right = element.mono ? left : right;
  return true;
}

void FakeMixer::Close(void* self) { static_cast<FakeMixer*>(self)->open_ = false; }

}  // namespace testsupport
