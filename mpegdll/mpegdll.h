/* MPEGDLL.DLL: the MPEG audio decoder and player loaded at run time by the playback component.
 *
 * The 19 entry points below are exported with C linkage under exactly these names and nothing
 * else is exported. The program binds them by name (dlsym); the function-pointer types are what a
 * caller needs. Define MPEGDLL_DECLARE_ENTRY_POINTS before including this header to get the
 * prototypes as well.
 *
 * Status convention: every entry point records the outcome of its call; "LastError" returns it
 * (0 = none, 1 internal decoder error, 2 incorrect mode, 3 input stream error, 4 input stream is
 * non-seekable, 5 output device failure). Results marked "ignored" are 0. A fault found by the
 * decode thread while a stream plays (the output device failed or vanished, the input could not
 * be read) is recorded and reported once, by the next call other than "LastError" (a call that
 * finds the stream "stopped" by it reports it itself); "Close" and "Open" discard such a fault of
 * the stream they close.
 *
 * When each code is raised:
 *   1  libmpg123 cannot be set up (no decoder handle, a format it refuses), or the decode thread
 *      cannot be started.
 *   2  a call that needs a stream in another mode: "Play" or "Restart" with no stream open,
 *      "Restart" before the first "Play", "Pause" or "Seek" with no stream open or one not
 *      started yet, "Stop" with no stream open. (A stream that has stopped or ended takes
 *      "Pause", "Seek" and "Stop" without effect and without a code: the end may come between
 *      the caller's look at the mode and its call.)
 *   3  "Open" of a missing or unreadable file, of something that is no regular file (a folder, a
 *      FIFO, a device: refused without waiting for it), of data holding no MPEG audio frames, of
 *      a stream without a read callback or whose open or read callback fails; later, a read
 *      failure of the stream while it plays (also one met at a frame header), or a seekable input
 *      that ends before the size it had when it was opened (a file cut short under the player):
 *      what was decoded is played to its end, the end-of-stream byte is set, and the code comes
 *      with the next call.
 *   4  "Seek" in a stream opened as non-seekable, or "Restart" of such a stream whose restart
 *      callback refuses.
 *   5  "SetOutputDevice" with a device code other than 0 or 2, or 2 without a file name; "Play"
 *      or "Restart" when the WAV file cannot be created or the sound device cannot be opened for
 *      the stream's format (the call itself answers 5; a first start leaves the stream "opened",
 *      a later one "stopped"); the output is lost while playing (the sound server stops or
 *      restarts, the device is unplugged, a write to the WAV file fails, say on a full disc):
 *      playing then ends in mode "stopped" without the end-of-stream byte, since the stream was
 *      not played to its end, and the code comes once, with the next call. The library does not
 *      resume by itself when the output comes back, however soon: the next "Play" or "Restart"
 *      opens the device anew and plays. "Stop" and "Close" that complete a WAV file whose last
 *      samples, header or close cannot be written answer 5 themselves.
 *
 * Threads: all entry points are called from one thread of the application. Decoding and output
 * run on one thread of the library's own, started by "init" (or by the first call); each entry
 * point hands its command to the decode thread and returns its real answer, which comes within
 * milliseconds: the thread works in short slices and never waits long for the sound device, and
 * "Play" and "Restart" open the device or the WAV file there. A file is read ahead (at most 64 kB
 * beyond the position) by a thread of its own, and the decode thread waits for it only where it
 * also serves commands: a read that blocks for seconds on a slow medium (a scratched disc) holds
 * up neither "Stop", "Pause", "Close", "Open" of another file (which closes the current one) nor
 * "deinit", which answer within milliseconds while what was read ahead plays on. A read still
 * stuck when its stream is closed is abandoned: its thread ends, closing the file, when the read
 * returns, and the library then stays loaded until the process ends, so that nothing of it runs
 * in unloaded code. Some waits cannot be bounded: "Open" reads the start of the new file on the
 * caller's thread, "Play", "Restart" and "Seek" read what they need (the first frames, or the
 * frame headers up to the new position in a part not read yet) as long as the medium takes,
 * junk between two frames is read past in one go, and a stream callback that takes long delays
 * the answer by as much as it takes (a callback cannot be cut short). The stream callbacks are
 * called on the application's thread during "Open" and on the decode thread afterwards, never
 * after "Close" has returned. "Open" reads a stream up to its first frame and a little further
 * (and a file's last 128 bytes), never the whole of it; a file without a frame count is read
 * through once more by a thread of its own that measures its exact length.
 *
 * Environment: the sound device is ALSA's "default" PCM, so ALSA's own configuration decides
 * where the sound goes (ALSA_CONFIG_PATH, ~/.asoundrc, /etc/asound.conf). The library opens it
 * through a copy of that configuration of its own, read again when its files change and whenever
 * the device cannot be opened, so that a sound server started (or back) after a "Play" that
 * failed is reached by the next "Play" or "Restart". ALSA's messages on
 * standard error are silenced from a successful "init" to "deinit"; "deinit" puts back the
 * message handler found at "init", and a failed "init" changes nothing, so no handler of an
 * unloaded library stays behind.
 */
#ifndef MPEGDLL_H
#define MPEGDLL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t MpegBool; /* one byte, 0 = false */

/* Stream callbacks; each receives the user pointer given to "Open" first. A callback that is
 * null behaves as its default: open gives no context and a seekable stream when a seek callback
 * is given; close does nothing; restart and read fail; seek and size give -1. A stream that says
 * it is seekable but cannot seek to its first byte when it is opened is read forward only.
 *
 * open:    sets *nonseekable (non-zero: the stream can only be read forward) and *context.
 * close:   called once when the stream is closed (by "Close", a later "Open", or "deinit").
 * restart: repositions a non-seekable stream at its first byte; *res non-zero when done.
 * read:    copies up to bytesToRead bytes into buffer, sets *bytesRead and *res (non-zero =
 *          success); 0 bytes with success is the end of the stream.
 * seek:    moveMethod 0 = from the first byte, 1 = from the current position, 2 = from the end
 *          (numbytes may be negative); *res is the new position counted from the first byte, or
 *          -1 when the stream cannot be positioned there.
 * size:    *res is the size of the stream in bytes, or -1 when it is unknown; it gives the length
 *          of a stream without a frame count. */
typedef void (*MpegOpenStreamCallback)(void* user, MpegBool* nonseekable, void** context);
typedef void (*MpegCloseStreamCallback)(void* user, void* context);
typedef void (*MpegRestartStreamCallback)(void* user, void* context, MpegBool* res);
typedef void (*MpegReadStreamCallback)(void* user, void* context, void* buffer, int32_t bytesToRead, int32_t* bytesRead,
                                       MpegBool* res);
typedef void (*MpegSeekStreamCallback)(void* user, void* context, int32_t numbytes, int32_t moveMethod, int32_t* res);
typedef void (*MpegGetStreamSizeCallback)(void* user, void* context, int32_t* res);

/* "init": starts the decode thread; non-zero = ready (0 with code 1 when no thread can be made).
 * Calling it again is harmless. */
typedef int32_t (*MpegDll_init_t)(void);
/* "deinit": closes the open stream, silences the sound device at once (also the end of a stream
 * still heard, see "Close") and ends the decode thread. Returns 0. */
typedef int32_t (*MpegDll_deinit_t)(void);
/* "Open": opens a file (fromStream 0; the name is resolved ignoring letter case where the exact
 * name does not exist) or the stream of the callbacks (fromStream 1; the name is not used).
 * A stream already open is closed first. Unrecognised data before the first MPEG audio frame
 * (a leading ID3v2 tag included) is passed over. Returns the error code (0 = opened); the mode
 * becomes "opened". */
typedef int32_t (*MpegDll_Open_t)(const char* fileName, int32_t fromStream, MpegOpenStreamCallback open,
                                  MpegCloseStreamCallback close, MpegRestartStreamCallback restart,
                                  MpegReadStreamCallback read, MpegSeekStreamCallback seek,
                                  MpegGetStreamSizeCallback size, void* user);
/* "Pause": resume 0 pauses, non-zero resumes; the position is kept. Pausing silences the sound
 * device at once, the end of the stream before included when it is still heard (see "Close"):
 * that end is not heard after the resume. What the device had taken of the stream but not played
 * is heard after the resume, which goes on from the position at the pause. Returns the error
 * code. A stream that has stopped or ended is left as it is without an error. */
typedef int32_t (*MpegDll_Pause_t)(int32_t resume);
/* "Restart": plays the opened stream again from the start position of the last "Play", with
 * its end position, end-of-stream byte and the output device set now; like "Play" it clears the
 * byte on the decode thread before the run starts. Returns the error code. */
typedef int32_t (*MpegDll_Restart_t)(void);
/* "Stop": stops playing (mode "stopped") and silences the sound device at once, the end of the
 * stream before included when it is still heard (see "Close"); the WAV file is complete when it
 * returns. Harmless on a stream that has stopped or ended. Returns the error code: 5 when the WAV
 * file could not be completed (see code 5). */
typedef int32_t (*MpegDll_Stop_t)(void);
/* "SetPriority": scheduling priority of the decode thread, applied at once and kept for later
 * streams. Values (the thread priority levels of the original system) map onto nice values:
 * -15 or below 19, -14..-2 10, -1 5, 0 0, 1 -5, 2..14 -10, 15 or above -20. Best effort: a value
 * the process may not take is left untried without an error. Returns 0. */
typedef int32_t (*MpegDll_SetPriority_t)(int32_t priority);
/* "SetOutputDevice": the output of the next "Play" or "Restart": device 0 = the sound device
 * (ALSA "default"), device 2 = a WAV file named by fileName, written as fast as the decoder goes
 * in the stream's first format (later format changes are resampled and remixed into it); each
 * run empties the file first, after the run before has let go of it, so the file holds exactly
 * the new run. Any other device, or 2 without a name, gives code 5 and keeps the previous
 * setting. */
typedef int32_t (*MpegDll_SetOutputDevice_t)(int32_t device, const char* fileName);
/* "Play": plays from startMs to endMs (milliseconds from the start of the stream; endMs 0 = to
 * the end; endMs at or before startMs plays nothing). *endReached is set non-zero exactly once
 * per run, when the range has been played to its end: on the sound device once all of it has
 * been handed to the device and at most the last 100 ms of it are still to be heard (they play
 * on meanwhile, and the caller's next stream follows them without a gap: see "Close"); into a
 * WAV file once the file is complete. The byte must stay valid while the stream is open. The decode thread clears it
 * when the run starts, before "Play" returns, so a byte set by an earlier run never survives. The output device is
 * opened before "Play" returns. Play on a started stream starts it again with the new range. Returns 0 when started,
 * otherwise the error code. */
typedef int32_t (*MpegDll_Play_t)(int32_t startMs, int32_t endMs, uint8_t* endReached);
/* "Close": closes the stream (mode "closed"), completes the WAV file and calls the close
 * callback. Closing a stream that plays or is paused silences the sound device at once. A stream
 * that has ended (its end byte set) leaves the device playing the last moments it still holds:
 * a stream opened and started on the sound device meanwhile ("Open", "Play", or "Restart" of the
 * ended stream itself) in the same sample rate and channel count is written behind them, so that
 * its first sample follows the last one of the stream before with nothing lost, repeated or put
 * between (libmpg123's gapless decoding has removed the encoder's delay and padding of both, so
 * songs cut from one recording join seamlessly); in another format the device is opened anew for
 * it once they have been heard, never playing the two together. Without a next stream the device
 * closes once they have been heard. Returns 5 when the WAV file it completes cannot be written
 * (see code 5), otherwise 0, also when no stream is open. */
typedef int32_t (*MpegDll_Close_t)(void);
/* "GetPlayerMode": the mode code below. */
typedef int32_t (*MpegDll_GetPlayerMode_t)(void);
/* "GetCurrentPos": the position the listener hears at the moment of the call, in milliseconds
 * from the start of the stream (decoded samples less those still in the sound device: the decode
 * thread looks at the device whenever it writes, and the call carries that look forward by the
 * time passed while the device plays, never past what the device held), never more than
 * "GetLength" gives at the same time (unless that is 0); 0 with no stream. It never goes back
 * while the stream plays, pauses and resumes: only a start, a seek or closing move it back. After
 * the end byte it goes on to the end while the last moments are heard. A stream started behind
 * the end of the stream before stays at its start position until its own first sample is heard. */
typedef int32_t (*MpegDll_GetCurrentPos_t)(void);
/* "GetLength": the play time of the open stream in milliseconds; 0 with no stream. Exact from
 * the start for a stream whose first frame carries a Xing/Info frame count (encoder delay and
 * padding removed). Otherwise an estimate from a VBRI frame count, or from the size (the size
 * callback for a stream) at the first frame's bit rate, which is right within a frame for a
 * constant bit rate; 0 when the size is unknown too. The estimate becomes exact once a file has
 * been measured (within moments of "Open", without delaying anything) or once the stream has been
 * decoded to its end. */
typedef int32_t (*MpegDll_GetLength_t)(void);
/* Never called by the program. "GetFrequency": the sampling frequency of the open stream in Hz;
 * "GetBitrate": the bit rate of its first frame in kbit/s; "GetLayer": its layer 1..3; each 0
 * with no stream. "ResetPlayerMode": returns a stopped or ended stream to mode "opened" (its next
 * start is then a "Play"); returns 0. None of them raises a code. */
typedef int32_t (*MpegDll_GetFrequency_t)(void);
typedef int32_t (*MpegDll_GetBitrate_t)(void);
typedef int32_t (*MpegDll_GetLayer_t)(void);
typedef int32_t (*MpegDll_ResetPlayerMode_t)(void);
/* "Seek": moves a playing or paused stream to positionMs (exact to the sample, also in variable
 * bit rate files; a position at or past the end ends the stream), silencing at once what the
 * sound device held, the end of the stream before included. A paused stream stays paused.
 * Returns the error code; a stream that has stopped or ended is left as it is. */
typedef int32_t (*MpegDll_Seek_t)(int32_t positionMs);
/* "LastError": the code of the previous call (see the status convention above). */
typedef int32_t (*MpegDll_LastError_t)(void);

/* The names, in binding order. */
#define MPEGDLL_ENTRY_POINT_NAMES                                                                                 \
  "init", "deinit", "Open", "Pause", "Restart", "Stop", "SetPriority", "SetOutputDevice", "Play", "Close",        \
      "GetPlayerMode", "GetCurrentPos", "GetLength", "GetFrequency", "GetBitrate", "GetLayer", "ResetPlayerMode", \
      "Seek", "LastError"

/* Player mode codes of "GetPlayerMode". 3 and 4 are the modes of a started stream, the only ones
 * in which it can be stopped or sought. */
enum {
  MPEG_MODE_CLOSED = 0,  /* no stream open */
  MPEG_MODE_OPENED = 1,  /* opened, not started yet */
  MPEG_MODE_STOPPED = 2, /* started, then stopped (or the sound device failed) */
  MPEG_MODE_PLAYING = 3,
  MPEG_MODE_PAUSED = 4,
  MPEG_MODE_ENDED = 5 /* played to its end; the end-of-stream byte is set (its last moments may
                          still be heard: see "Close") */
};

/* Codes of "LastError". */
enum {
  MPEG_ERROR_NONE = 0,
  MPEG_ERROR_DECODER = 1,
  MPEG_ERROR_MODE = 2,
  MPEG_ERROR_INPUT = 3,
  MPEG_ERROR_NONSEEKABLE = 4,
  MPEG_ERROR_OUTPUT = 5
};

/* Output device codes of "SetOutputDevice". */
enum { MPEG_DEVICE_WAVE_MAPPER = 0, MPEG_DEVICE_WAV_FILE = 2 };

#ifdef MPEGDLL_DECLARE_ENTRY_POINTS
int32_t init(void);
int32_t deinit(void);
int32_t Open(const char* fileName, int32_t fromStream, MpegOpenStreamCallback open, MpegCloseStreamCallback close,
             MpegRestartStreamCallback restart, MpegReadStreamCallback read, MpegSeekStreamCallback seek,
             MpegGetStreamSizeCallback size, void* user);
int32_t Pause(int32_t resume);
int32_t Restart(void);
int32_t Stop(void);
int32_t SetPriority(int32_t priority);
int32_t SetOutputDevice(int32_t device, const char* fileName);
int32_t Play(int32_t startMs, int32_t endMs, uint8_t* endReached);
int32_t Close(void);
int32_t GetPlayerMode(void);
int32_t GetCurrentPos(void);
int32_t GetLength(void);
int32_t GetFrequency(void);
int32_t GetBitrate(void);
int32_t GetLayer(void);
int32_t ResetPlayerMode(void);
int32_t Seek(int32_t positionMs);
int32_t LastError(void);
#endif

#ifdef __cplusplus
}
#endif

#endif /* MPEGDLL_H */
