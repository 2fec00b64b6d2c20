// Test-side control of the scripted fake decoder library.
#include "tests/player/fake_decoder_control.h"

#include <dlfcn.h>

#include <cstring>
#include <stdexcept>

namespace testsupport {

namespace fs = std::filesystem;

fs::path FakeDecoder::LibraryPath() { return FAKE_DECODER_LIBRARY; }

fs::path FakeDecoder::IncompleteLibraryPath() { return FAKE_DECODER_INCOMPLETE_LIBRARY; }

fs::path FakeDecoder::InstallAs(const fs::path& dir, const std::string& fileName, const fs::path& source) {
  fs::path target = dir / fileName;
  fs::copy_file(source, target, fs::copy_options::overwrite_existing);
  return target;
}

FakeDecoder::FakeDecoder(const fs::path& path) {
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw std::runtime_error(std::string("cannot load the fake decoder: ") + ::dlerror());
  Reset();
}

FakeDecoder::~FakeDecoder() { ::dlclose(handle_); }

template <typename Function>
Function FakeDecoder::Resolve(const char* symbol) const {
  void* address = ::dlsym(handle_, symbol);
  if (!address) throw std::runtime_error(std::string("the fake decoder lacks ") + symbol);
  Function function = nullptr;
  std::memcpy(&function, &address, sizeof function);
  return function;
}

std::string FakeDecoder::Log() const { return Resolve<const char* (*)()>("fake_decoder_log")(); }

void FakeDecoder::ClearLog() { Resolve<void (*)()>("fake_decoder_clear_log")(); }

void FakeDecoder::Reset() { Resolve<void (*)()>("fake_decoder_reset")(); }

void FakeDecoder::SetResult(const std::string& name, std::int32_t value) {
  if (!Resolve<int (*)(const char*, std::int32_t)>("fake_decoder_set_result")(name.c_str(), value)) {
    throw std::invalid_argument("no entry point " + name);
  }
}

void FakeDecoder::SetError(const std::string& name, std::int32_t code) {
  if (!Resolve<int (*)(const char*, std::int32_t)>("fake_decoder_set_error")(name.c_str(), code)) {
    throw std::invalid_argument("no entry point " + name);
  }
}

bool FakeDecoder::EndStream() { return Resolve<int (*)()>("fake_decoder_end_stream")() != 0; }

void* FakeDecoder::StreamCallback(int which) const {
  return Resolve<void* (*)(int)>("fake_decoder_stream_callback")(which);
}

void* FakeDecoder::StreamUser() const { return Resolve<void* (*)()>("fake_decoder_stream_user")(); }

}  // namespace testsupport
