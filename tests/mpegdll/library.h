// MPEGDLL.DLL loaded by path the way the program loads it: dlopen and the 19 names.
#pragma once

#include <string>
#include <vector>

#include "mpegdll/mpegdll.h"

namespace mpegdlltest {

struct MpegDll {
  void* handle = nullptr;
  MpegDll_init_t init = nullptr;
  MpegDll_deinit_t deinit = nullptr;
  MpegDll_Open_t Open = nullptr;
  MpegDll_Pause_t Pause = nullptr;
  MpegDll_Restart_t Restart = nullptr;
  MpegDll_Stop_t Stop = nullptr;
  MpegDll_SetPriority_t SetPriority = nullptr;
  MpegDll_SetOutputDevice_t SetOutputDevice = nullptr;
  MpegDll_Play_t Play = nullptr;
  MpegDll_Close_t Close = nullptr;
  MpegDll_GetPlayerMode_t GetPlayerMode = nullptr;
  MpegDll_GetCurrentPos_t GetCurrentPos = nullptr;
  MpegDll_GetLength_t GetLength = nullptr;
  MpegDll_GetFrequency_t GetFrequency = nullptr;
  MpegDll_GetBitrate_t GetBitrate = nullptr;
  MpegDll_GetLayer_t GetLayer = nullptr;
  MpegDll_ResetPlayerMode_t ResetPlayerMode = nullptr;
  MpegDll_Seek_t Seek = nullptr;
  MpegDll_LastError_t LastError = nullptr;

  // Opens a file by name (no callbacks) and gives LastError.
  int OpenFile(const std::string& name) const;
};

// The library at `path` with every entry point bound, or handle == nullptr (and `missing` names
// what could not be bound).
MpegDll LoadMpegDll(const std::string& path, std::string* missing);

// The names of the defined dynamic symbols of the shared object at `path` (read with nm).
std::vector<std::string> ExportedNames(const std::string& path);

// Waits until `byte` becomes non-zero, at most `seconds`; true when it did.
bool WaitForByte(const unsigned char* byte, double seconds);

}  // namespace mpegdlltest
