// The texts the tuner's hook library shows; the library carries no resources of its own.
#pragma once

#define TUNER_CAPTION "Skellan"
#define TUNER_WRONG_SYSTEM "Skellan needs Windows 95, Windows 98 or Windows NT."
#define TUNER_SPACE_REQUIRED "Space Required:"
#define TUNER_SPACE_AVAILABLE "Space Available on Drive:"
#define TUNER_KB_FORMAT "%lu KB"
#define TUNER_MB_FORMAT "%lu MB"
#define TUNER_COPY_FAILED                                                                \
  "The file %s could not be copied.\n\nChoose Abort to stop the installation, Retry to " \
  "try again, or Ignore to go on without this file."
#define TUNER_UNPACK_FAILED                                                                  \
  "The file %s could not be unpacked.\n\nChoose OK to go on without this file, or Cancel to " \
  "stop the installation."
#define TUNER_UNINSTALL_COMMAND "\"%s%stuner.exe\" -uninstall"
