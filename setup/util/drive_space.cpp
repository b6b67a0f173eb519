// get_drive_info: size, free and used space of a fixed disk in megabytes.
#include <cstdint>

#include "scoped.h"
#include "sdk/utilities.h"

namespace {

typedef BOOL(WINAPI *DiskFreeSpaceExFn)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

struct DriveSpace {
  uint64_t total_kb;
  uint64_t free_kb;
};

// The first release of Windows 95 has only the cluster-based query. Its disks hold at most
// 2 GB, but the product is formed in 64 bits so a larger answer cannot wrap.
int space_from_clusters(const char *root, DriveSpace *space) {
  DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, total_clusters = 0;
  if (!GetDiskFreeSpaceA(root, &sectors_per_cluster, &bytes_per_sector, &free_clusters, &total_clusters)) return 0;
  uint64_t cluster_bytes = static_cast<uint64_t>(sectors_per_cluster) * bytes_per_sector;
  space->total_kb = total_clusters * cluster_bytes / 1024;
  space->free_kb = free_clusters * cluster_bytes / 1024;
  return 1;
}

// Every later system has the byte-based query; it is looked up by name so that the program
// still loads on the first Windows 95 release, whose KERNEL32 lacks it.
int space_from_bytes(const char *root, DriveSpace *space) {
  ScopedModule kernel(LoadLibraryA("KERNEL32.dll"));
  if (!kernel.get()) return 0;
  FARPROC proc = GetProcAddress(kernel.get(), "GetDiskFreeSpaceExA");
  int ok = 0;
  if (proc) {
    DiskFreeSpaceExFn query = reinterpret_cast<DiskFreeSpaceExFn>(reinterpret_cast<void (*)()>(proc));
    ULARGE_INTEGER available, total, total_free;
    if (query(root, &available, &total, &total_free)) {
      space->total_kb = total.QuadPart / 1024;
      space->free_kb = total_free.QuadPart / 1024;
      ok = 1;
    }
  }
  return ok;
}

}  // namespace

int get_drive_info(const char *drive_root, unsigned long *total_mb, unsigned long *free_mb,
                   unsigned long *used_mb) {
  if (!drive_root || !total_mb || !free_mb || !used_mb) return 0;
  if (GetDriveTypeA(drive_root) != DRIVE_FIXED) return 0;
  if (GetFileAttributesA(drive_root) == INVALID_FILE_ATTRIBUTES) return 0;
  DriveSpace space;
  int first_release = is_this_win95() && !is_this_win95_osr2();
  if (!(first_release ? space_from_clusters(drive_root, &space) : space_from_bytes(drive_root, &space))) return 0;
  uint64_t used_kb = space.total_kb >= space.free_kb ? space.total_kb - space.free_kb : 0;
  *total_mb = static_cast<unsigned long>(space.total_kb / 1024);
  *free_mb = static_cast<unsigned long>(space.free_kb / 1024);
  *used_mb = static_cast<unsigned long>(used_kb / 1024);
  return 1;
}
