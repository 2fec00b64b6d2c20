// Writes generated files into a temporary folder and analyses them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/support/temp_dir.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace zodizidu_test {

class AnalysisTest : public ::testing::Test {
 protected:
  // Writes `bytes` as `name` in the test's folder and analyses it; returns Analyze's result.
  int AnalyzeBytes(std::string_view name, std::string_view bytes) {
    return AnalyzePath(dir_.WriteFile(name, bytes).string());
  }
  int AnalyzePath(const std::string& path) {
    audio_.SetAutoRead(false);
    audio_.SetFileName(path);
    return audio_.Analyze();
  }
  const zodizidu::TMPEGData& data() const { return audio_.Data(); }
  std::string PathOf(std::string_view name) const { return (dir_.path() / std::string(name)).string(); }

  testsupport::TempDir dir_;
  zodizidu::TMPEGAudio audio_;
};

}  // namespace zodizidu_test
