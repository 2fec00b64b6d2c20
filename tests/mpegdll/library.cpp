// dlopen/dlsym binding of the decoder library, as the playback component does it.
#include "tests/mpegdll/library.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

namespace mpegdlltest {
namespace {

template <typename F>
void Bind(void* handle, const char* name, F* slot, std::string* missing) {
  *slot = reinterpret_cast<F>(dlsym(handle, name));
  if (!*slot) *missing += std::string(missing->empty() ? "" : " ") + name;
}

}  // namespace

int MpegDll::OpenFile(const std::string& name) const {
  Open(name.c_str(), 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  return LastError();
}

MpegDll LoadMpegDll(const std::string& path, std::string* missing) {
  MpegDll dll;
  dll.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dll.handle) {
    *missing = dlerror();
    return dll;
  }
  Bind(dll.handle, "init", &dll.init, missing);
  Bind(dll.handle, "deinit", &dll.deinit, missing);
  Bind(dll.handle, "Open", &dll.Open, missing);
  Bind(dll.handle, "Pause", &dll.Pause, missing);
  Bind(dll.handle, "Restart", &dll.Restart, missing);
  Bind(dll.handle, "Stop", &dll.Stop, missing);
  Bind(dll.handle, "SetPriority", &dll.SetPriority, missing);
  Bind(dll.handle, "SetOutputDevice", &dll.SetOutputDevice, missing);
  Bind(dll.handle, "Play", &dll.Play, missing);
  Bind(dll.handle, "Close", &dll.Close, missing);
  Bind(dll.handle, "GetPlayerMode", &dll.GetPlayerMode, missing);
  Bind(dll.handle, "GetCurrentPos", &dll.GetCurrentPos, missing);
  Bind(dll.handle, "GetLength", &dll.GetLength, missing);
  Bind(dll.handle, "GetFrequency", &dll.GetFrequency, missing);
  Bind(dll.handle, "GetBitrate", &dll.GetBitrate, missing);
  Bind(dll.handle, "GetLayer", &dll.GetLayer, missing);
  Bind(dll.handle, "ResetPlayerMode", &dll.ResetPlayerMode, missing);
  Bind(dll.handle, "Seek", &dll.Seek, missing);
  Bind(dll.handle, "LastError", &dll.LastError, missing);
  if (!missing->empty()) {
    dlclose(dll.handle);
    dll.handle = nullptr;
  }
  return dll;
}

std::vector<std::string> ExportedNames(const std::string& path) {
  std::vector<std::string> names;
  const std::string command = "nm -D --defined-only '" + path + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    std::istringstream fields(line);
    std::string address, kind, name;
    if (fields >> address >> kind >> name) names.push_back(name);
  }
  pclose(pipe);
  return names;
}

bool WaitForByte(const unsigned char* byte, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (__atomic_load_n(byte, __ATOMIC_SEQ_CST) == 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace mpegdlltest
