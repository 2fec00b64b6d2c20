/* Reads of one file that fail or wait on demand, as on a scratched disc or a medium pulled out:
   a shared library that replaces read() for the whole process (a test links it, so it comes
   before the C library in the symbol search, also for libraries loaded later with dlopen). Reads
   of every other file, and of this one until armed, go through unchanged. */
#ifndef ALBAVOX_TESTS_READ_FAULT_H
#define ALBAVOX_TESTS_READ_FAULT_H

#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* From now on every read() of the file (device, inode), through any descriptor, fails with
   `error` (for example EIO). */
void ReadFaultArm(dev_t device, ino_t inode, int error);
/* From now on every read() of the file (device, inode) that starts at an offset in [from, to)
   waits until ReadFaultDisarm and then reads, as a drive retries a scratch for long; after 5 s
   it fails with EIO instead, as the drive gives up (so that a test whose library waits for it
   still ends). */
void ReadFaultHold(dev_t device, ino_t inode, off_t from, off_t to);
/* Reads waiting in ReadFaultHold now. */
int ReadFaultHeld(void);
/* Reads go through again, held ones included. */
void ReadFaultDisarm(void);
/* Reads refused since the last ReadFaultArm. */
long ReadFaultRefused(void);

#ifdef __cplusplus
}
#endif

#endif
