/* A scripted stand-in for the decoder library: it exports the 19 entry points, records every call
 * it receives with its arguments, and answers as the test scripts it through the fake_decoder_*
 * control functions (resolved by the test with dlsym on the same loaded file). */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "mpegdll/mpegdll.h"

#define EXPORT __attribute__((visibility("default")))

enum { kEntryCount = 19, kLogCapacity = 1 << 18 };

static const char* const kNames[kEntryCount] = {MPEGDLL_ENTRY_POINT_NAMES};

/* What each entry point returns; "init" (the first name) answers "ready" until scripted otherwise. */
static int32_t g_results[kEntryCount] = {1};
static int32_t g_errors[kEntryCount]; /* what "LastError" reports after that entry point */
static int32_t g_lastError;
static uint8_t* g_endReached;
/* The stream callbacks and user pointer of the last "Open". */
static void* g_callbacks[6];
static void* g_user;
static char g_log[kLogCapacity];
static size_t g_logLength;

static int EntryIndex(const char* name) {
  for (int i = 0; i < kEntryCount; ++i) {
    if (strcmp(kNames[i], name) == 0) return i;
  }
  return -1;
}

static void Defaults(void) {
  memset(g_results, 0, sizeof g_results);
  memset(g_errors, 0, sizeof g_errors);
  g_results[0] = 1;
  g_lastError = 0;
  g_endReached = NULL;
}

/* Appends "text;" to the log; a full log keeps what it has. */
static void Record(const char* text) {
  size_t length = strlen(text);
  if (g_logLength + length + 2 > sizeof g_log) return;
  memcpy(g_log + g_logLength, text, length);
  g_logLength += length;
  g_log[g_logLength++] = ';';
  g_log[g_logLength] = '\0';
}

/* Records the call and returns the scripted result; "LastError" then reports the scripted error. */
static int32_t Answer(const char* name, const char* call) {
  int index = EntryIndex(name);
  Record(call);
  if (strcmp(name, "LastError") == 0) return g_lastError;
  g_lastError = g_errors[index];
  return g_results[index];
}

static int32_t Simple(const char* name) { return Answer(name, name); }

/* ---- control functions for the tests ---- */

EXPORT void fake_decoder_reset(void) {
  Defaults();
  g_logLength = 0;
  g_log[0] = '\0';
}

EXPORT const char* fake_decoder_log(void) { return g_log; }

EXPORT void fake_decoder_clear_log(void) {
  g_logLength = 0;
  g_log[0] = '\0';
}

EXPORT int fake_decoder_set_result(const char* name, int32_t value) {
  int index = EntryIndex(name);
  if (index < 0) return 0;
  g_results[index] = value;
  return 1;
}

EXPORT int fake_decoder_set_error(const char* name, int32_t code) {
  int index = EntryIndex(name);
  if (index < 0) return 0;
  g_errors[index] = code;
  return 1;
}

/* Sets the end-of-stream byte handed to the last "Play"; 0 when no "Play" came yet. */
EXPORT int fake_decoder_end_stream(void) {
  if (!g_endReached) return 0;
  *g_endReached = 1;
  return 1;
}

/* The six stream callbacks (open, close, restart, read, seek, size) and the user pointer of the
 * last "Open". */
EXPORT void* fake_decoder_stream_callback(int which) { return which >= 0 && which < 6 ? g_callbacks[which] : NULL; }
EXPORT void* fake_decoder_stream_user(void) { return g_user; }

/* ---- the 19 entry points ---- */

EXPORT int32_t init(void) { return Simple("init"); }
EXPORT int32_t deinit(void) { return Simple("deinit"); }

EXPORT int32_t Open(const char* fileName, int32_t fromStream, MpegOpenStreamCallback open,
                    MpegCloseStreamCallback close, MpegRestartStreamCallback restart, MpegReadStreamCallback read,
                    MpegSeekStreamCallback seek, MpegGetStreamSizeCallback size, void* user) {
  char call[600];
  int callbacks =
      (open != NULL) + (close != NULL) + (restart != NULL) + (read != NULL) + (seek != NULL) + (size != NULL);
  snprintf(call, sizeof call, "Open(%.512s,%d,%d callbacks,%s)", fileName ? fileName : "null", (int)fromStream,
           callbacks, user ? "user" : "null");
  /* Function addresses kept as bytes: the test calls them through their own types. */
  memcpy(&g_callbacks[0], &open, sizeof(void*));
  memcpy(&g_callbacks[1], &close, sizeof(void*));
  memcpy(&g_callbacks[2], &restart, sizeof(void*));
  memcpy(&g_callbacks[3], &read, sizeof(void*));
  memcpy(&g_callbacks[4], &seek, sizeof(void*));
  memcpy(&g_callbacks[5], &size, sizeof(void*));
  g_user = user;
  return Answer("Open", call);
}

EXPORT int32_t Pause(int32_t resume) {
  char call[40];
  snprintf(call, sizeof call, "Pause(%d)", (int)resume);
  return Answer("Pause", call);
}

EXPORT int32_t Restart(void) { return Simple("Restart"); }
EXPORT int32_t Stop(void) { return Simple("Stop"); }

EXPORT int32_t SetPriority(int32_t priority) {
  char call[40];
  snprintf(call, sizeof call, "SetPriority(%d)", (int)priority);
  return Answer("SetPriority", call);
}

EXPORT int32_t SetOutputDevice(int32_t device, const char* fileName) {
  char call[320];
  snprintf(call, sizeof call, "SetOutputDevice(%d,%.260s)", (int)device, fileName ? fileName : "null");
  return Answer("SetOutputDevice", call);
}

EXPORT int32_t Play(int32_t startMs, int32_t endMs, uint8_t* endReached) {
  char call[60];
  snprintf(call, sizeof call, "Play(%d,%d)", (int)startMs, (int)endMs);
  g_endReached = endReached;
  return Answer("Play", call);
}

EXPORT int32_t Close(void) { return Simple("Close"); }
EXPORT int32_t GetPlayerMode(void) { return Simple("GetPlayerMode"); }
EXPORT int32_t GetCurrentPos(void) { return Simple("GetCurrentPos"); }
EXPORT int32_t GetLength(void) { return Simple("GetLength"); }
EXPORT int32_t GetFrequency(void) { return Simple("GetFrequency"); }
EXPORT int32_t GetBitrate(void) { return Simple("GetBitrate"); }
#ifndef FAKE_DECODER_WITHOUT_GETLAYER
EXPORT int32_t GetLayer(void) { return Simple("GetLayer"); }
#endif
EXPORT int32_t ResetPlayerMode(void) { return Simple("ResetPlayerMode"); }

EXPORT int32_t Seek(int32_t positionMs) {
  char call[40];
  snprintf(call, sizeof call, "Seek(%d)", (int)positionMs);
  return Answer("Seek", call);
}

EXPORT int32_t LastError(void) { return Simple("LastError"); }
