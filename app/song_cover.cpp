// Reading and decoding a song's own picture on a thread of its own.
#include "app/song_cover.h"

#include <QMetaObject>
#include <QObject>

#include <chrono>
#include <condition_variable>
#include <mutex>
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

struct SongCoverReader::Mailbox {
  struct Request {
    std::uint64_t id = 0;
    std::string path;
    QSize area;
    std::optional<zodizidu::PictureIdentity> known;
    Answer answer;
  };

  std::mutex mutex;
  std::condition_variable changed;
  std::optional<Request> next;  // the latest request not begun yet
  SongCoverReader* owner = nullptr;
  QObject* receiver = nullptr;
  bool started = false;
  bool stop = false;
  bool finished = false;

  // The reading thread: one request after the other, each answered unless a newer one came meanwhile.
  static void Work(const std::shared_ptr<Mailbox>& box) {
    std::unique_lock lock(box->mutex);
    while (!box->stop) {
      if (!box->next) {
        box->changed.wait(lock);
        continue;
      }
      Request request = std::move(*box->next);
      box->next.reset();
      lock.unlock();
      SongCover cover = ReadSongCover(request.path, request.area, request.known);
      lock.lock();
      if (box->stop || box->next) continue;
      try {
        QMetaObject::invokeMethod(
            box->receiver,
            [owner = box->owner, id = request.id, answer = std::move(request.answer), cover = std::move(cover)] {
              owner->Answered(id, answer, cover);
            },
            Qt::QueuedConnection);
      } catch (...) {  // no memory to post the answer: the page stays as it is
      }
    }
    box->finished = true;
    box->changed.notify_all();
  }
};

SongCoverReader::SongCoverReader(QObject* receiver) : mailbox_(std::make_shared<Mailbox>()) {
  mailbox_->owner = this;
  mailbox_->receiver = receiver;
}

SongCoverReader::~SongCoverReader() {
  std::unique_lock lock(mailbox_->mutex);
  if (!mailbox_->started) return;
  mailbox_->stop = true;
  mailbox_->next.reset();
  mailbox_->changed.notify_all();
  // The receiver's events, answers included, go with it; the thread posts none from now on.
  if (!mailbox_->changed.wait_for(lock, std::chrono::seconds(1), [this] { return mailbox_->finished; })) {
    // A read stuck on a failing medium ends when the drive gives up; the program does not wait for it.
    thread_.detach();
    return;
  }
  lock.unlock();
  thread_.join();
}

void SongCoverReader::Read(const std::string& path, QSize area, const std::optional<zodizidu::PictureIdentity>& known,
                           Answer answer) {
  const std::uint64_t request = ++requested_;
  pending_ = true;
  const std::lock_guard lock(mailbox_->mutex);
  mailbox_->next = Mailbox::Request{request, path, area, known, std::move(answer)};
  if (!mailbox_->started) {  // started with the first request, not with the window
    thread_ = std::thread([box = mailbox_] { Mailbox::Work(box); });
    mailbox_->started = true;
  }
  mailbox_->changed.notify_all();
}

void SongCoverReader::Cancel() {
  ++requested_;
  pending_ = false;
  const std::lock_guard lock(mailbox_->mutex);
  mailbox_->next.reset();
}

void SongCoverReader::Answered(std::uint64_t request, const Answer& answer, const SongCover& cover) {
  if (request != requested_) return;
  pending_ = false;
  platform::RunGuarded([&] { answer(cover); });
}

}  // namespace app
