// The decoder check run at creation and at every activation of the main window.
#include "app/decoder_probe.h"

#include "platform/library.h"
#include "platform/paths.h"

namespace app {

bool ProbeDecoder() {
  if (!platform::FileExists(kDecoderLibraryName)) return false;
  platform::LibraryHandle library = platform::LoadLibrary(kDecoderLibraryName);
  if (!library) return false;
  platform::FreeLibrary(library);
  return true;
}

}  // namespace app
