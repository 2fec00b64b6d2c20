/* read() that fails, or waits, for one armed file; everything else goes to the C library's read(). */
#define _GNU_SOURCE
#include "read_fault.h"

#include <dlfcn.h>
#include <errno.h>
#include <stdatomic.h>
#include <stdint.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

typedef ssize_t (*ReadFunction)(int, void*, size_t);

static _Atomic(ReadFunction) realRead;
static atomic_int armed;
static _Atomic uint64_t armedDevice;
static _Atomic uint64_t armedInode;
static atomic_int armedError;
static atomic_long refused;
static atomic_int holding;
static _Atomic int64_t holdFrom;
static _Atomic int64_t holdTo;
static atomic_int held;

/* A held read waits this long at most, then fails, as a drive gives up on a scratch at last: a
   test of a library that waits for it still ends. */
enum { kLongestHoldMs = 5000 };

/* Waits while the hold lasts; 0 when it gave up waiting. */
static int Hold(void) {
  const struct timespec step = {0, 1000000};
  int ms = 0;
  atomic_fetch_add(&held, 1);
  for (; ms < kLongestHoldMs && atomic_load(&holding); ++ms) nanosleep(&step, NULL);
  atomic_fetch_sub(&held, 1);
  return ms < kLongestHoldMs;
}

static ReadFunction RealRead(void) {
  ReadFunction next = atomic_load(&realRead);
  if (!next) {
    void* symbol = dlsym(RTLD_NEXT, "read");
    memcpy(&next, &symbol, sizeof next); /* the POSIX way from an object pointer to a function */
    atomic_store(&realRead, next);
  }
  return next;
}

__attribute__((constructor)) static void FindRealRead(void) { RealRead(); }

__attribute__((visibility("default"))) ssize_t read(int fd, void* buffer, size_t size) {
  if (atomic_load(&armed)) {
    struct stat facts;
    const int saved = errno;
    if (fstat(fd, &facts) == 0 && (uint64_t)facts.st_dev == atomic_load(&armedDevice) &&
        (uint64_t)facts.st_ino == atomic_load(&armedInode)) {
      const off_t at = atomic_load(&holding) ? lseek(fd, 0, SEEK_CUR) : -1;
      const int scratch = at >= atomic_load(&holdFrom) && at < atomic_load(&holdTo);
      if (!atomic_load(&holding) || (scratch && !Hold())) {
        atomic_fetch_add(&refused, 1);
        errno = atomic_load(&armedError);
        return -1;
      }
    }
    errno = saved;
  }
  return RealRead()(fd, buffer, size);
}

static void Arm(dev_t device, ino_t inode, int error, int hold) {
  atomic_store(&armed, 0);
  atomic_store(&holding, hold);
  atomic_store(&armedDevice, (uint64_t)device);
  atomic_store(&armedInode, (uint64_t)inode);
  atomic_store(&armedError, error);
  atomic_store(&refused, 0);
  atomic_store(&armed, 1);
}

__attribute__((visibility("default"))) void ReadFaultArm(dev_t device, ino_t inode, int error) {
  Arm(device, inode, error, 0);
}

__attribute__((visibility("default"))) void ReadFaultHold(dev_t device, ino_t inode, off_t from, off_t to) {
  atomic_store(&holdFrom, (int64_t)from);
  atomic_store(&holdTo, (int64_t)to);
  Arm(device, inode, EIO, 1);
}

__attribute__((visibility("default"))) int ReadFaultHeld(void) { return atomic_load(&held); }

__attribute__((visibility("default"))) void ReadFaultDisarm(void) {
  atomic_store(&armed, 0);
  atomic_store(&holding, 0);
}

__attribute__((visibility("default"))) long ReadFaultRefused(void) { return atomic_load(&refused); }
