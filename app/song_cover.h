// The picture a song carries in its tag, read and decoded for the front page away from the
// window's thread, so that choosing a song or the join of two songs under "Continua" never waits
// for it.
#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "zodizidu/analysis/embedded_picture.h"

class QObject;

namespace app {

struct SongCover {
  enum class Kind {
    kNone,     // the song carries no JPEG or PNG picture (or cannot be read)
    kKnown,    // the picture it carries is the one named as known: not decoded again
    kDecoded,  // a picture, decoded into `image`, or null with the reason in `error`
  };
  Kind kind = Kind::kNone;
  zodizidu::PictureIdentity identity;
  QImage image;
  std::string error;
};

// Reads one song's picture at a time on a thread of its own. Only the latest request is answered:
// a request that a newer one overtakes before it starts is never read, and its answer, should it
// have been read already, is dropped.
class SongCoverReader {
 public:
  using Answer = std::function<void(const SongCover&)>;

  // Answers are given on the thread of `receiver`, by its event loop; `receiver` owns the reader.
  explicit SongCoverReader(QObject* receiver);
  // Waits a moment for a read under way; a read held up by a failing medium is left to end by itself.
  ~SongCoverReader();
  SongCoverReader(const SongCoverReader&) = delete;
  SongCoverReader& operator=(const SongCoverReader&) = delete;

  // Reads the picture of the song at `path` (its front cover, else its first picture) and decodes
  // it for `area` with the bounds of a cover file, unless it is the picture `known`.
  void Read(const std::string& path, QSize area, const std::optional<zodizidu::PictureIdentity>& known, Answer answer);
  // No answer to the requests made so far.
  void Cancel();
  // True from a request until its answer has been given.
  bool Pending() const { return pending_; }

 private:
  struct Mailbox;
  void Answered(std::uint64_t request, const Answer& answer, const SongCover& cover);

  std::uint64_t requested_ = 0;
  bool pending_ = false;
  // Shared with the reading thread, which may outlive the reader.
  std::shared_ptr<Mailbox> mailbox_;
  std::thread thread_;
};

}  // namespace app
