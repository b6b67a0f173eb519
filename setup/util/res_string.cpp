// load_res_string: a product's resource library first, setup's own strings second.
#include "sdk/utilities.h"

int load_res_string(SetupInfo *info, int id, char *buffer, unsigned long size) {
  if (!info || !buffer || size == 0) return 0;
  int bufsize = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
  if (LoadStringA(info->resource_instance, static_cast<UINT>(id), buffer, bufsize) > 0) return 1;
  return LoadStringA(info->setup_instance, static_cast<UINT>(id), buffer, bufsize) > 0;
}
