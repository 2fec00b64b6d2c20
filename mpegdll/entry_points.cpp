// The 19 exported entry points of MPEGDLL.DLL; each hands its call to the one player.
#define MPEGDLL_DECLARE_ENTRY_POINTS
#include "mpegdll/mpegdll.h"

#include "mpegdll/detail/player.h"

namespace {

mpegdll::detail::Player& ThePlayer() {
  static mpegdll::detail::Player player;
  return player;
}

}  // namespace

extern "C" {

int32_t init(void) { return ThePlayer().Init(); }

int32_t deinit(void) { return ThePlayer().Deinit(); }

int32_t Open(const char* fileName, int32_t fromStream, MpegOpenStreamCallback open, MpegCloseStreamCallback close,
             MpegRestartStreamCallback restart, MpegReadStreamCallback read, MpegSeekStreamCallback seek,
             MpegGetStreamSizeCallback size, void* user) {
  const mpegdll::detail::StreamCallbacks callbacks{open, close, restart, read, seek, size, user};
  return ThePlayer().Open(fileName, fromStream != 0, callbacks);
}

int32_t Pause(int32_t resume) { return ThePlayer().Pause(resume); }

int32_t Restart(void) { return ThePlayer().Restart(); }

int32_t Stop(void) { return ThePlayer().Stop(); }

int32_t SetPriority(int32_t priority) { return ThePlayer().SetPriority(priority); }

int32_t SetOutputDevice(int32_t device, const char* fileName) { return ThePlayer().SetOutputDevice(device, fileName); }

int32_t Play(int32_t startMs, int32_t endMs, uint8_t* endReached) {
  return ThePlayer().Play(startMs, endMs, endReached);
}

int32_t Close(void) { return ThePlayer().Close(); }

int32_t GetPlayerMode(void) { return ThePlayer().GetPlayerMode(); }

int32_t GetCurrentPos(void) { return ThePlayer().GetCurrentPos(); }

int32_t GetLength(void) { return ThePlayer().GetLength(); }

int32_t GetFrequency(void) { return ThePlayer().GetFrequency(); }

int32_t GetBitrate(void) { return ThePlayer().GetBitrate(); }

int32_t GetLayer(void) { return ThePlayer().GetLayer(); }

int32_t ResetPlayerMode(void) { return ThePlayer().ResetPlayerMode(); }

int32_t Seek(int32_t positionMs) { return ThePlayer().Seek(positionMs); }

int32_t LastError(void) { return ThePlayer().LastError(); }

}  // extern "C"
