// Path resolution, directory search and wildcard match against plain C library peers.
// Prints, for each case, our time, the peer's time and the ratio (ours / peer).
#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/best_time.h"
#include "platform/paths.h"

namespace {

namespace fs = std::filesystem;

using bench::BestMicros;

void Report(const char* what, double ours, double peer) {
  std::printf("%-46s ours %10.1f us  peer %10.1f us  ratio %.2f\n", what, ours, peer, ours / peer);
}

// Peer of a case-insensitive lookup: one readdir pass comparing with strcasecmp.
std::string PeerLookup(const std::string& dir, const std::string& name) {
  std::string found;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return found;
  while (const dirent* e = ::readdir(d))
    if (::strcasecmp(e->d_name, name.c_str()) == 0) found = e->d_name;
  ::closedir(d);
  return dir + "/" + found;
}

// Peer of the directory search: readdir with fnmatch ignoring case.
std::vector<std::string> PeerFind(const std::string& dir, const std::string& pattern) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return names;
  while (const dirent* e = ::readdir(d))
    if (::fnmatch(pattern.c_str(), e->d_name, FNM_CASEFOLD) == 0) names.emplace_back(e->d_name);
  ::closedir(d);
  return names;
}

std::size_t g_sink = 0;

// Keeps a result alive so the work that made it is not optimised away.
void Keep(std::size_t value) {
  g_sink += value;
  asm volatile("" : : "r"(g_sink) : "memory");
}

}  // namespace

int main() {
  const fs::path root = fs::temp_directory_path() / ("albavox-bench-" + std::to_string(::getpid()));
  const fs::path dir = root / "big";
  fs::create_directories(dir);
  for (int i = 0; i < 5000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "track-%05d.mp3", i);
    std::ofstream(dir / name).put('x');
  }
  const std::string base = root.string();

  Report("ResolvePath, exact name (5,000 entries)",
         BestMicros(200, [&] { Keep(platform::ResolvePath(base + "/big/track-02500.mp3").size()); }),
         BestMicros(200, [&] { Keep(fs::exists(base + "/big/track-02500.mp3")); }));
  Report("ResolvePath, other case (5,000 entries)",
         BestMicros(50, [&] { Keep(platform::ResolvePath(base + "/BIG/TRACK-02500.MP3").size()); }),
         BestMicros(50, [&] { Keep(PeerLookup(PeerLookup(base, "BIG"), "TRACK-02500.MP3").size()); }));
  Report("FindMatching *.MP3 (5,000 entries)",
         BestMicros(50, [&] { Keep(platform::FindMatching(base + "/big/*.MP3").size()); }),
         BestMicros(50, [&] { Keep(PeerFind(base + "/big", "*.MP3").size()); }));

  const std::vector<std::string> names = {"Track 01 - Intro.mp3", "CITTÀ.MP3", "front.jpg", "a.b.c.d.e.mp3x"};
  Report("WildcardMatch *.mp3, 4 names x 10,000",
         BestMicros(5,
                    [&] {
                      for (int i = 0; i < 10000; ++i)
                        for (const std::string& n : names) Keep(platform::WildcardMatch("*.mp3", n));
                    }),
         BestMicros(5, [&] {
           for (int i = 0; i < 10000; ++i)
             for (const std::string& n : names) Keep(::fnmatch("*.mp3", n.c_str(), FNM_CASEFOLD) == 0);
         }));
  const std::string many(400, 'a');
  const char* hard = "*a*a*a*a*a*a*a*b";
  Report("WildcardMatch *a*a*a*a*a*a*a*b on 400 x 'a'",
         BestMicros(3, [&] { Keep(platform::WildcardMatch(hard, many)); }),
         BestMicros(3, [&] { Keep(::fnmatch(hard, many.c_str(), FNM_CASEFOLD) == 0); }));

  std::string ab;
  for (int i = 0; i < 200; ++i) ab += "ab";
  const char* nearMiss = "*a*b*a*b*a*b*a*b*c";
  Report("WildcardMatch *a*b*a*b*a*b*a*b*c on 200 x 'ab'",
         BestMicros(3, [&] { Keep(platform::WildcardMatch(nearMiss, ab)); }),
         BestMicros(3, [&] { Keep(::fnmatch(nearMiss, ab.c_str(), FNM_CASEFOLD) == 0); }));

  fs::remove_all(root);
  return 0;
}
