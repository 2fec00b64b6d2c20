// Opening happens on the application's thread (it must answer at once); the rest is sent to the
// decode thread, which answers within milliseconds.
#include "mpegdll/detail/player.h"

#include <mpg123.h>

#include <algorithm>
#include <climits>

#include "mpegdll/detail/alsa_output.h"
#include "mpegdll/detail/pcm_api.h"
#include "mpegdll/detail/wav_output.h"
#include "platform/paths.h"

namespace mpegdll::detail {

Player::~Player() { Deinit(); }

Status Player::EnsureWorker() {
  if (worker_) return Status::kOk;
  mpg123_init();
  auto worker = std::make_unique<Worker>();
  if (!worker->Launch(priority_)) return Status::kDecoderError;
  worker_ = std::move(worker);
  // Only with a thread running: a failed "init" is followed by unloading without "deinit".
  SilenceAlsaMessages(true);
  return Status::kOk;
}

std::int32_t Player::Record(Status status) {
  if (status == Status::kOk && worker_) status = worker_->TakeFault();
  lastError_ = status;
  return static_cast<std::int32_t>(status);
}

std::int32_t Player::Answer(std::int32_t value) {
  Record(EnsureWorker());
  return value;
}

std::int32_t Player::Init() { return Record(EnsureWorker()) == 0 ? 1 : 0; }

std::int32_t Player::Deinit() {
  if (interruptReads_) interruptReads_();
  interruptReads_ = nullptr;
  if (worker_) {
    worker_->Quit();
    worker_.reset();
    SilenceAlsaMessages(false);
  }
  pcmConfig_.reset();  // the outputs that shared it went with the decode thread
  lengthScan_.reset();
  open_ = false;
  started_ = false;
  facts_ = StreamFacts{};
  lastError_ = Status::kOk;
  return 0;
}

Status Player::CloseStream() {
  if (interruptReads_) interruptReads_();
  interruptReads_ = nullptr;
  const Status status = worker_->Call(Command::Kind::kClose);
  worker_->TakeFault();  // a fault of the stream that is gone concerns nobody now
  lengthScan_.reset();
  open_ = false;
  started_ = false;
  endReached_ = nullptr;
  facts_ = StreamFacts{};
  return status;
}

void Player::RefreshLength() {
  // Decoded to the end: exact, whatever was estimated before.
  if (open_ && worker_) {
    if (const std::int64_t decoded = worker_->decodedLengthMs(); decoded > 0) {
      facts_.lengthMs = decoded;
      lengthScan_.reset();
      return;
    }
  }
  if (!lengthScan_ || !lengthScan_->done()) return;
  if (const std::int64_t frames = lengthScan_->frames(); frames > 0 && facts_.format.rate > 0) {
    facts_.lengthFrames = frames;
    facts_.lengthMs = frames * 1000 / facts_.format.rate;
  }
  lengthScan_.reset();
}

std::int32_t Player::Open(const char* fileName, bool fromStream, const StreamCallbacks& callbacks) {
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  CloseStream();
  std::unique_ptr<Input> input;
  if (fromStream) {
    input = OpenCallbackInput(callbacks);
  } else if (fileName && *fileName) {
    input = OpenFileInput(platform::ResolvePath(fileName));
  }
  if (input) interruptReads_ = input->Interrupter();
  Status status = Status::kInputError;
  auto decoder = Decoder::Open(std::move(input), &status);
  if (!decoder) return Record(status);
  facts_ = decoder->facts();
  if (!facts_.lengthExact) {
    if (auto twin = decoder->Twin()) lengthScan_ = std::make_unique<LengthScan>(std::move(twin), decoder->firstFrame());
  }
  auto attach = std::make_shared<Command>(Command::Kind::kAttach);
  attach->decoder = std::move(decoder);
  worker_->Call(attach);
  open_ = true;
  return Record(Status::kOk);
}

Status Player::StartPlaying(std::int32_t startMs, std::int32_t endMs, std::uint8_t* endReached) {
  auto command = std::make_shared<Command>(Command::Kind::kStart);
  // The decode thread opens the output (device or file) after it has let go of the previous one.
  if (device_ == MPEG_DEVICE_WAV_FILE) {
    command->start.output = std::make_unique<WavOutput>(outFile_);
  } else {
    if (!pcmConfig_) pcmConfig_ = std::make_shared<PcmConfig>();
    command->start.output = std::make_unique<AlsaOutput>(pcmConfig_);
  }
  command->start.startMs = startMs;
  command->start.endMs = endMs;
  command->start.endByte = endReached;
  return worker_->Call(command);
}

std::int32_t Player::Play(std::int32_t startMs, std::int32_t endMs, std::uint8_t* endReached) {
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  if (!open_) return Record(Status::kWrongMode);
  const Status status = StartPlaying(startMs, endMs, endReached);
  if (status == Status::kOk) {
    started_ = true;
    startMs_ = startMs;
    endMs_ = endMs;
    endReached_ = endReached;
  }
  return Record(status);
}

std::int32_t Player::Restart() {
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  if (!open_ || !started_) return Record(Status::kWrongMode);
  return Record(StartPlaying(startMs_, endMs_, endReached_));
}

std::int32_t Player::Pause(std::int32_t resume) {
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  return Record(worker_->Call(Command::Kind::kPause, resume == 0 ? 1 : 0));
}

std::int32_t Player::Stop() {
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  return Record(worker_->Call(Command::Kind::kStop));
}

std::int32_t Player::Seek(std::int32_t positionMs) {
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  return Record(worker_->Call(Command::Kind::kSeek, positionMs));
}

std::int32_t Player::Close() {
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  return Record(CloseStream());
}

std::int32_t Player::SetPriority(std::int32_t priority) {
  priority_ = priority;
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  worker_->Call(Command::Kind::kPriority, priority);
  return Record(Status::kOk);
}

std::int32_t Player::SetOutputDevice(std::int32_t device, const char* fileName) {
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  if (device == MPEG_DEVICE_WAVE_MAPPER) {
    device_ = device;
  } else if (device == MPEG_DEVICE_WAV_FILE && fileName && *fileName) {
    device_ = device;
    outFile_ = fileName;
  } else {
    return Record(Status::kOutputError);
  }
  return Record(Status::kOk);
}

std::int32_t Player::ResetPlayerMode() {
  if (const Status s = EnsureWorker(); s != Status::kOk) return Record(s);
  worker_->Call(Command::Kind::kResetMode);
  Record(Status::kOk);
  return 0;
}

std::int32_t Player::GetPlayerMode() {
  return Answer(worker_ ? static_cast<std::int32_t>(worker_->mode()) : MPEG_MODE_CLOSED);
}

// Never past the length: an estimated length may fall short of what plays.
std::int32_t Player::GetCurrentPos() {
  const std::int32_t position = worker_ ? worker_->positionMs() : 0;
  const std::int32_t length = LengthMs();
  return Answer(length > 0 ? std::min(position, length) : position);
}

std::int32_t Player::GetLength() { return Answer(LengthMs()); }

std::int32_t Player::LengthMs() {
  RefreshLength();
  return static_cast<std::int32_t>(std::min<std::int64_t>(facts_.lengthMs, INT32_MAX));
}

std::int32_t Player::GetFrequency() { return Answer(static_cast<std::int32_t>(facts_.format.rate)); }

std::int32_t Player::GetBitrate() { return Answer(facts_.bitRateKbps); }

std::int32_t Player::GetLayer() { return Answer(facts_.layer); }

}  // namespace mpegdll::detail
