// POSIX backend of the platform seam.
#include "platform/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strma::platform {

OsError classify_os_error(int system_error, OsOperation operation) {
  switch (operation) {
    case OsOperation::open:
      switch (system_error) {
        case EACCES: case EPERM: case EISDIR: case EROFS: case ETXTBSY:
          return OsError::access_denied;
        case EEXIST:
          return OsError::file_exists;
        case ENOENT: case ENOTDIR: case ENAMETOOLONG: case ELOOP:
          return OsError::not_found;
        case EMFILE: case ENFILE:
          return OsError::too_many_open;
        default:
          return OsError::other;
      }
    case OsOperation::write:
    case OsOperation::cut:
      switch (system_error) {
        case ENOSPC: case EDQUOT: case EFBIG:
          return OsError::no_space;
        case EACCES: case EPERM:
          return OsError::access_denied;
        default:
          return OsError::other;
      }
    case OsOperation::read:
      return OsError::other;
  }
  return OsError::other;
}

void name_os_error(int system_error, char* out, std::size_t size) {
  struct Name { int code; const char* text; };
  static const Name names[] = {
      {EIO, "EIO"},       {EBADF, "EBADF"},   {EINVAL, "EINVAL"}, {EPIPE, "EPIPE"},
      {ENXIO, "ENXIO"},   {ENODEV, "ENODEV"}, {EBUSY, "EBUSY"},   {EAGAIN, "EAGAIN"},
      {ENOMEM, "ENOMEM"}, {EXDEV, "EXDEV"},   {ESPIPE, "ESPIPE"}, {EFAULT, "EFAULT"},
  };
  for (const Name& name : names) {
    if (name.code == system_error) {
      std::snprintf(out, size, "%s", name.text);
      return;
    }
  }
  std::snprintf(out, size, "errno %d", system_error);
}

void prepare_process() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

bool is_character_device(StdStream stream) {
  struct stat st;
  if (fstat(static_cast<int>(stream), &st) != 0) return true;
  return S_ISCHR(st.st_mode);
}

ReadResult read_standard_input(void* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = read(0, buffer, size);
    if (n >= 0) return {static_cast<std::size_t>(n), OsError::none, 0};
    if (errno != EINTR) return {0, classify_os_error(errno, OsOperation::read), errno};
  }
}

// Writes everything, resuming after partial writes and interruptions.
static WriteResult write_all(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return {classify_os_error(errno, OsOperation::write), errno};
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return {OsError::none, 0};
}

WriteResult write_standard(StdStream stream, const void* data, std::size_t size) {
  return write_all(static_cast<int>(stream), data, size);
}

bool path_exists(const char* name) {
  struct stat st;
  return stat(name, &st) == 0;
}

// One open attempt with the given access; a directory counts as access denied, and a
// descriptor that lands on 0, 1 or 2 (a standard stream was closed) is moved above them.
static int open_attempt(const char* name, int access_flags, bool create_new, int& error) {
  int flags = access_flags | O_CLOEXEC | O_NOCTTY | (create_new ? O_CREAT | O_EXCL : 0);
  int fd;
  do {
    fd = open(name, flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  // Only a read-only open can succeed on a directory; read-write and write-only fail there.
  struct stat st;
  if (access_flags == O_RDONLY && fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    error = EISDIR;
    return -1;
  }
  if (fd <= 2) {
    int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    int saved = errno;
    close(fd);
    if (moved < 0) {
      error = saved;
      return -1;
    }
    fd = moved;
  }
  return fd;
}

OpenResult open_file(const char* name, bool create_new) {
  struct Attempt { int flags; FileAccess access; };
  static const Attempt attempts[] = {
      {O_RDWR, FileAccess::read_write}, {O_RDONLY, FileAccess::read}, {O_WRONLY, FileAccess::write}};
  int error = 0;
  for (const Attempt& attempt : attempts) {
    int fd = open_attempt(name, attempt.flags, create_new, error);
    if (fd >= 0) return {{fd, attempt.access}, OsError::none, 0};
  }
  return {{-1, FileAccess::read_write}, classify_os_error(error, OsOperation::open), error};
}

// The length comes from fstat, which leaves the file position where it is.
WriteResult cut_file(const OpenFile& file, std::uint64_t position) {
  int fd = static_cast<int>(file.handle);
  struct stat st;
  if (fstat(fd, &st) != 0) return {classify_os_error(errno, OsOperation::cut), errno};
  if (static_cast<std::uint64_t>(st.st_size) <= position) return {OsError::none, 0};
  if (file.access == FileAccess::read) return {OsError::access_denied, EBADF};
  int rc;
  do {
    rc = ftruncate(fd, static_cast<off_t>(position));
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) return {classify_os_error(errno, OsOperation::cut), errno};
  return {OsError::none, 0};
}

WriteResult write_file(const OpenFile& file, const void* data, std::size_t size) {
  if (file.access == FileAccess::read) return {OsError::access_denied, EBADF};
  return write_all(static_cast<int>(file.handle), data, size);
}

WriteResult close_file(const OpenFile& file) {
  if (close(static_cast<int>(file.handle)) != 0 && errno != EINTR)
    return {classify_os_error(errno, OsOperation::write), errno};
  return {OsError::none, 0};
}

void exit_process(int status) { _exit(status); }

}  // namespace strma::platform
