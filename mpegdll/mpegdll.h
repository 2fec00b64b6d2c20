/* MPEGDLL.DLL: the MPEG audio decoder and player loaded at run time by the playback component.
 *
 * The 19 entry points below are exported with C linkage under exactly these names. The program
 * binds them by name (dlsym); the function-pointer types are what a caller needs. Define
 * MPEGDLL_DECLARE_ENTRY_POINTS before including this header to get the prototypes as well.
 *
 * Status convention: every entry point records the outcome of its call; "LastError" returns it
 * (0 = none, 1 internal decoder error, 2 incorrect mode, 3 input stream error, 4 input stream is
 * non-seekable, 5 output device failure). Results marked "ignored" are 0.
 */
#ifndef MPEGDLL_H
#define MPEGDLL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t MpegBool; /* one byte, 0 = false */

/* Stream callbacks; each receives the user pointer given to "Open" first. */
typedef void (*MpegOpenStreamCallback)(void* user, MpegBool* nonseekable, void** context);
typedef void (*MpegCloseStreamCallback)(void* user, void* context);
typedef void (*MpegRestartStreamCallback)(void* user, void* context, MpegBool* res);
typedef void (*MpegReadStreamCallback)(void* user, void* context, void* buffer, int32_t bytesToRead,
                                       int32_t* bytesRead, MpegBool* res);
typedef void (*MpegSeekStreamCallback)(void* user, void* context, int32_t numbytes, int32_t moveMethod,
                                       int32_t* res);
typedef void (*MpegGetStreamSizeCallback)(void* user, void* context, int32_t* res);

typedef int32_t (*MpegDll_init_t)(void);
typedef int32_t (*MpegDll_deinit_t)(void);
typedef int32_t (*MpegDll_Open_t)(const char* fileName, int32_t fromStream, MpegOpenStreamCallback open,
                                  MpegCloseStreamCallback close, MpegRestartStreamCallback restart,
                                  MpegReadStreamCallback read, MpegSeekStreamCallback seek,
                                  MpegGetStreamSizeCallback size, void* user);
typedef int32_t (*MpegDll_Pause_t)(int32_t resume);
typedef int32_t (*MpegDll_Restart_t)(void);
typedef int32_t (*MpegDll_Stop_t)(void);
typedef int32_t (*MpegDll_SetPriority_t)(int32_t priority);
typedef int32_t (*MpegDll_SetOutputDevice_t)(int32_t device, const char* fileName);
typedef int32_t (*MpegDll_Play_t)(int32_t startMs, int32_t endMs, uint8_t* endReached);
typedef int32_t (*MpegDll_Close_t)(void);
typedef int32_t (*MpegDll_GetPlayerMode_t)(void);
typedef int32_t (*MpegDll_GetCurrentPos_t)(void);
typedef int32_t (*MpegDll_GetLength_t)(void);
typedef int32_t (*MpegDll_GetFrequency_t)(void);
typedef int32_t (*MpegDll_GetBitrate_t)(void);
typedef int32_t (*MpegDll_GetLayer_t)(void);
typedef int32_t (*MpegDll_ResetPlayerMode_t)(void);
typedef int32_t (*MpegDll_Seek_t)(int32_t positionMs);
typedef int32_t (*MpegDll_LastError_t)(void);

/* The names, in binding order. */
#define MPEGDLL_ENTRY_POINT_NAMES                                                                \
  "init", "deinit", "Open", "Pause", "Restart", "Stop", "SetPriority", "SetOutputDevice", "Play", \
      "Close", "GetPlayerMode", "GetCurrentPos", "GetLength", "GetFrequency", "GetBitrate",       \
      "GetLayer", "ResetPlayerMode", "Seek", "LastError"

/* Player mode codes of "GetPlayerMode". 3 and 4 are the modes of a started stream. */
enum {
  MPEG_MODE_PLAYING = 3,
  MPEG_MODE_PAUSED = 4
};

#ifdef __cplusplus
}
#endif

#endif /* MPEGDLL_H */
