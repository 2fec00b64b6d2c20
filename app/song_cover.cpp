// Reading and decoding a song's own picture on a thread of its own.
#include "app/song_cover.h"

#include <QMetaObject>
#include <QObject>

#include <utility>

#include "app/cover_picture.h"
#include "platform/ui/error_report.h"

namespace app {

namespace {

SongCover ReadSongCover(const std::string& path, QSize area, const std::optional<zodizidu::PictureIdentity>& known) {
  SongCover cover;
  try {
    const std::optional<zodizidu::EmbeddedPicture> picture = zodizidu::ReadEmbeddedPicture(path);
    if (!picture) return cover;
    cover.identity = picture->identity;
    if (known && known->SamePicture(picture->identity)) {
      cover.kind = SongCover::Kind::kKnown;
      return cover;
    }
    cover.kind = SongCover::Kind::kDecoded;
    CoverPicture decoded = DecodeCoverBytes(picture->bytes, area);
    cover.image = std::move(decoded.image);
    cover.error = std::move(decoded.error);
  } catch (...) {  // no memory for the picture
    cover.image = QImage();
    cover.error = "Not enough memory for the picture";
  }
  return cover;
}

}  // namespace

SongCoverReader::SongCoverReader(QObject* receiver) : receiver_(receiver) { thread_.setMaxThreadCount(1); }

SongCoverReader::~SongCoverReader() {
  Cancel();
  thread_.waitForDone();
}

void SongCoverReader::Read(const std::string& path, QSize area, const std::optional<zodizidu::PictureIdentity>& known,
                           Answer answer) {
  const std::uint64_t request = ++requested_;
  latest_->store(request);
  pending_ = true;
  thread_.start([this, request, latest = latest_, path, area, known, answer = std::move(answer)] {
    if (latest->load() != request) return;  // overtaken before it began
    SongCover cover = ReadSongCover(path, area, known);
    // Given on the receiver's thread, where requested_ is kept. The receiver owns the reader,
    // which waits for this thread when it goes: no answer outlives either.
    QMetaObject::invokeMethod(
        receiver_,
        [this, request, answer, cover = std::move(cover)] {
          if (request != requested_) return;
          pending_ = false;
          platform::RunGuarded([&] { answer(cover); });
        },
        Qt::QueuedConnection);
  });
}

void SongCoverReader::Cancel() {
  latest_->store(++requested_);
  pending_ = false;
}

}  // namespace app
