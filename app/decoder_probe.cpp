// The decoder check run at creation and at every activation of the main window.
#include "app/decoder_probe.h"

#include "platform/paths.h"

namespace app {

DecoderProbe::DecoderProbe() {
  if (!platform::FileExists(kDecoderLibraryName)) return;
  library_ = platform::LoadLibrary(kDecoderLibraryName);
  if (!library_) loadError_ = platform::LastLibraryError();
}

DecoderProbe::~DecoderProbe() { platform::FreeLibrary(library_); }

}  // namespace app
