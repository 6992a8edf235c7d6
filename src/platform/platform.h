// The platform seam: every operation the calculator needs from the operating system.
//
// One backend file implements this header for each system (platform_posix.cpp,
// platform_win32.cpp). Each backend turns the system's own error numbers into OsError in
// exactly one function, so the rest of the program never sees errno or GetLastError.
#pragma once

#include <cstddef>
#include <cstdint>

namespace strma::platform {

// The three standard streams of the process.
enum class StdStream : int { input = 0, output = 1, error = 2 };

// What a failed system operation means to the program.
enum class OsError {
  none,           // the operation succeeded
  access_denied,  // refused: permissions, sharing or lock violations, a read-only medium, a
                  // directory where a file was wanted, a cut or write on a read-only connection
  file_exists,    // a file of the name exists (creating a new file)
  not_found,      // no such file or path, a bad or too long name
  too_many_open,  // no free descriptor, for the process or for the system
  no_space,       // the device, the quota or the file-size limit is full
  other,          // anything else
};

// The operation that failed, since the same system error can mean different things:
// an error that refuses an open (a read-only file system) is an ordinary failure on a write.
enum class OsOperation { open, write, cut, read };

// Turns a system error number of this backend into the program's meaning.
OsError classify_os_error(int system_error, OsOperation operation);

// A short, stable name of a system error number, for report messages ("EIO", "error 1117").
// Writes at most `size` bytes including the terminating zero into `out`.
void name_os_error(int system_error, char* out, std::size_t size);

// Process start: the settings the run needs before anything else happens (a write to a
// closed pipe or beyond the file-size limit must fail, not kill the process).
void prepare_process();

// True when the standard stream is a character device (a terminal, the null device).
// A missing stream, or one whose type cannot be told, counts as a character device.
bool is_character_device(StdStream stream);

struct ReadResult {
  std::size_t count;  // bytes read; 0 at end of input (when error is none)
  OsError error;
  int system_error;
};

// One raw read of up to `size` bytes from standard input, retried when interrupted.
ReadResult read_standard_input(void* buffer, std::size_t size);

struct WriteResult {
  OsError error;
  int system_error;
};

// Writes all `size` bytes to a standard stream, unbuffered and unchanged, continuing after
// partial writes and interruptions until everything is out or the system reports a failure.
WriteResult write_standard(StdStream stream, const void* data, std::size_t size);

// A system handle of an open file: a descriptor on POSIX, a HANDLE on Win32.
using NativeHandle = std::intptr_t;

enum class FileAccess { read_write, read, write };

struct OpenFile {
  NativeHandle handle;
  FileAccess access;
};

// Does a file or directory of this name exist?
bool path_exists(const char* name);

struct OpenResult {
  OpenFile file;
  OsError error;  // of the last attempt, when every attempt failed
  int system_error;
};

// Opens `name` (an existing file, left unchanged, or a new empty one that must not exist yet),
// trying read-write, then read only, then write only; the first attempt that succeeds wins.
// The file is shared with other processes for reading and writing. A directory never counts
// as opened. On POSIX the descriptor is never one of the three standard descriptors.
OpenResult open_file(const char* name, bool create_new);

// Cuts the file to `position` bytes if it is longer, leaving the file position where it was.
WriteResult cut_file(const OpenFile& file, std::uint64_t position);

// Writes all `size` bytes at the file position.
WriteResult write_file(const OpenFile& file, const void* data, std::size_t size);

// Closes the handle; the file is kept.
WriteResult close_file(const OpenFile& file);

// Ends the process at once with `status`; nothing is flushed (nothing is buffered).
[[noreturn]] void exit_process(int status);

}  // namespace strma::platform
