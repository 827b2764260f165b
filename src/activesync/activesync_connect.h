/* The connector library's interface, as the program loads it by name
 * ("libtolvane.so"): two C exports and one object whose first member is
 * its table of 18 operations, always used in this slot order. Every
 * operation takes the object first. Texts are narrow-character paths (UTF-8
 * on this system) in the device's Windows-style form ("\Jobs\A.CRD");
 * results are 1 for success unless said otherwise. Out buffers hold at
 * least ACTIVESYNC_PATH_CHARS bytes.
 *
 * Failure codes: -500 (a listing could not be read, or a rename target
 * exists), -502 (PC file cannot be created), -503 (device file cannot be
 * created or opened), -505 (listing file cannot be written), -506 (the
 * device cannot be initialised: its folder is unreadable), -507 (no device
 * within a second), -508/-509 (reading the PC file / writing the device
 * file failed), -510/-511 (reading the device file / writing the PC file
 * failed), -1 (cleaning up after a failure failed too).
 *
 * Which device: the setting "asyncroot" in the user's settings names the
 * folder that is the device's root "\"; when it is empty, the single media
 * device mounted under $XDG_RUNTIME_DIR/gvfs is taken (its first storage).
 *
 * All calls come from one thread at a time; the object has no locks. */
#ifndef PELIKON_ACTIVESYNC_CONNECT_H
#define PELIKON_ACTIVESYNC_CONNECT_H

#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ACTIVESYNC_PATH_CHARS 260

typedef struct ActiveSyncConnect ActiveSyncConnect;

typedef struct ActiveSyncConnectOps {
  /* 0: ends the device session; frees the object when bit 0 of flags is set. */
  void (*destroy)(ActiveSyncConnect* self, unsigned flags);
  /* 1: 1, -506, -507 or 0. */
  int (*connect)(ActiveSyncConnect* self);
  /* 2 */
  void (*disconnect)(ActiveSyncConnect* self);
  /* 3: nonzero while the device answers. */
  int (*isConnected)(ActiveSyncConnect* self);
  /* 4: the current folder, ending in "\"; 1. */
  int (*getCurrentFolder)(ActiveSyncConnect* self, char* out);
  /* 5: 1, or 0 when the folder does not exist (the current one stays). */
  int (*setCurrentFolder)(ActiveSyncConnect* self, const char* path);
  /* 6: "\"; 1. */
  int (*getHomeFolder)(ActiveSyncConnect* self, char* out);
  /* 7: the listing mask; 1 (0 for a mask longer than 239 bytes). */
  int (*setMask)(ActiveSyncConnect* self, const char* mask);
  /* 8: the free bytes as "%.0f"; 1, or 0. */
  int (*freeSpace)(ActiveSyncConnect* self, char* out);
  /* 9: writes "dir_zzz.txt" into the process's current directory; 1,
   * -505, -500. */
  int (*writeListing)(ActiveSyncConnect* self, const char* folder, int showHidden);
  /* 10: "Error = %x %x (%x)"; `code` is not used. */
  void (*errorText)(ActiveSyncConnect* self, int code, char* out);
  /* 11: device to PC; 1, -502, -503, -510, -511, -1. */
  int (*getFile)(ActiveSyncConnect* self, const char* remotePath, const char* localPath);
  /* 12: PC to device; 1, -502, -503, -508, -509. */
  int (*putFile)(ActiveSyncConnect* self, const char* localPath, const char* remotePath);
  /* 13-15: nonzero on success. A name starting with "\" is absolute,
   * others are in the current folder. */
  int (*deleteFile)(ActiveSyncConnect* self, const char* name);
  int (*removeFolder)(ActiveSyncConnect* self, const char* name);
  int (*makeFolder)(ActiveSyncConnect* self, const char* name);
  /* 16: both names in the current folder; 1, 0, or -500 when the target
   * exists and failIfExists is set. */
  int (*rename)(ActiveSyncConnect* self, const char* oldName, const char* newName, int failIfExists);
  /* 17: nonzero on success. */
  int (*setAttributes)(ActiveSyncConnect* self, const wchar_t* path, unsigned attributes);
} ActiveSyncConnectOps;

struct ActiveSyncConnect {
  const ActiveSyncConnectOps* ops;
};

/* The object, or NULL when it cannot be made. */
ActiveSyncConnect* new_ActiveSyncConnect(void);
/* Destroys the object through slot 0; NULL is ignored. */
void delete_ActiveSyncConnect(ActiveSyncConnect* object);

typedef ActiveSyncConnect* (*NewActiveSyncConnectFunction)(void);
typedef void (*DeleteActiveSyncConnectFunction)(ActiveSyncConnect*);

#ifdef __cplusplus
}
#endif

#endif
