// Win32 backend of the platform seam.
//
// Everything goes through the kernel's handle interface: standard handles and their file
// types, raw reads and writes, the existence test, CreateFileA with its access fall-back, the
// cut with SetFilePointer and SetEndOfFile. No C runtime stream is used, so no byte is
// translated and nothing is buffered behind the program's back. No console control handler is
// installed: the interrupt keys keep the system's default action.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/platform.h"

#include <cstdio>

namespace strma::platform {

namespace {

HANDLE std_handle(StdStream stream) {
  switch (stream) {
    case StdStream::input: return GetStdHandle(STD_INPUT_HANDLE);
    case StdStream::output: return GetStdHandle(STD_OUTPUT_HANDLE);
    case StdStream::error: return GetStdHandle(STD_ERROR_HANDLE);
  }
  return nullptr;
}

HANDLE as_handle(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }

int last_error() { return static_cast<int>(GetLastError()); }

// Writes everything, resuming after partial writes.
WriteResult write_all(HANDLE handle, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(handle, p, chunk, &written, nullptr)) {
      const int error = last_error();
      return {classify_os_error(error, OsOperation::write), error};
    }
    if (written == 0) return {OsError::other, ERROR_WRITE_FAULT};  // no progress: give up
    p += written;
    size -= written;
  }
  return {OsError::none, 0};
}

// The file pointer moved to `offset` from `method`; false with the system error on failure.
bool move_pointer(HANDLE handle, std::int64_t offset, DWORD method, std::uint64_t& position,
                  int& error) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(NO_ERROR);
  const DWORD low = SetFilePointer(handle, static_cast<LONG>(offset & 0xffffffff), &high, method);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
    error = last_error();
    return false;
  }
  position = (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
  return true;
}

}  // namespace

OsError classify_os_error(int system_error, OsOperation operation) {
  const DWORD error = static_cast<DWORD>(system_error);
  switch (operation) {
    case OsOperation::open:
      switch (error) {
        // Refused: permissions, sharing and lock violations, a write-protected, locked or
        // wrong medium, network access denied. A directory of the name fails CreateFileA
        // with access denied.
        case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT: case ERROR_WRONG_DISK: case ERROR_DRIVE_LOCKED:
        case ERROR_SHARING_BUFFER_EXCEEDED: case ERROR_SHARING_PAUSED:
        case ERROR_NETWORK_ACCESS_DENIED:
          return OsError::access_denied;
        case ERROR_FILE_EXISTS: case ERROR_ALREADY_EXISTS:
          return OsError::file_exists;
        case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH: case ERROR_BAD_NET_NAME: case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME: case ERROR_FILENAME_EXCED_RANGE:
          return OsError::not_found;
        case ERROR_TOO_MANY_OPEN_FILES:
          return OsError::too_many_open;
        default:
          return OsError::other;
      }
    case OsOperation::write:
    case OsOperation::cut:
      switch (error) {
        // No space: the disk is full, or the file would pass the largest size.
        case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: case ERROR_FILE_TOO_LARGE:
          return OsError::no_space;
        case ERROR_ACCESS_DENIED: case ERROR_LOCK_VIOLATION:
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
  struct Name { DWORD code; const char* text; };
  static const Name names[] = {
      {ERROR_INVALID_FUNCTION, "ERROR_INVALID_FUNCTION"},
      {ERROR_INVALID_HANDLE, "ERROR_INVALID_HANDLE"},
      {ERROR_NOT_ENOUGH_MEMORY, "ERROR_NOT_ENOUGH_MEMORY"},
      {ERROR_OUTOFMEMORY, "ERROR_OUTOFMEMORY"},
      {ERROR_NOT_READY, "ERROR_NOT_READY"},
      {ERROR_WRITE_FAULT, "ERROR_WRITE_FAULT"},
      {ERROR_READ_FAULT, "ERROR_READ_FAULT"},
      {ERROR_GEN_FAILURE, "ERROR_GEN_FAILURE"},
      {ERROR_NOT_SUPPORTED, "ERROR_NOT_SUPPORTED"},
      {ERROR_INVALID_PARAMETER, "ERROR_INVALID_PARAMETER"},
      {ERROR_BROKEN_PIPE, "ERROR_BROKEN_PIPE"},
      {ERROR_NO_DATA, "ERROR_NO_DATA"},
      {ERROR_BUSY, "ERROR_BUSY"},
      {ERROR_IO_DEVICE, "ERROR_IO_DEVICE"},
      {ERROR_NEGATIVE_SEEK, "ERROR_NEGATIVE_SEEK"},
      {ERROR_SEEK_ON_DEVICE, "ERROR_SEEK_ON_DEVICE"},
  };
  for (const Name& name : names) {
    if (name.code == static_cast<DWORD>(system_error)) {
      std::snprintf(out, size, "%s", name.text);
      return;
    }
  }
  std::snprintf(out, size, "error %lu", static_cast<unsigned long>(static_cast<DWORD>(system_error)));
}

// Nothing to prepare: a write to a pipe whose reader has gone fails with an error here, and
// no console control handler is installed.
void prepare_process() {}

bool is_character_device(StdStream stream) {
  const HANDLE handle = std_handle(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return true;
  const DWORD type = GetFileType(handle);
  return type == FILE_TYPE_CHAR || type == FILE_TYPE_UNKNOWN;
}

ReadResult read_standard_input(void* buffer, std::size_t size) {
  DWORD count = 0;
  const DWORD wanted = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  if (ReadFile(std_handle(StdStream::input), buffer, wanted, &count, nullptr))
    return {count, OsError::none, 0};
  const int error = last_error();
  if (error == ERROR_BROKEN_PIPE) return {0, OsError::none, 0};  // the writer has gone: end
  return {0, classify_os_error(error, OsOperation::read), error};
}

WriteResult write_standard(StdStream stream, const void* data, std::size_t size) {
  return write_all(std_handle(stream), data, size);
}

bool path_exists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

OpenResult open_file(const char* name, bool create_new) {
  struct Attempt { DWORD desired; FileAccess access; };
  static const Attempt attempts[] = {{GENERIC_READ | GENERIC_WRITE, FileAccess::read_write},
                                     {GENERIC_READ, FileAccess::read},
                                     {GENERIC_WRITE, FileAccess::write}};
  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof inheritable;
  inheritable.lpSecurityDescriptor = nullptr;
  inheritable.bInheritHandle = TRUE;
  int error = 0;
  for (const Attempt& attempt : attempts) {
    const HANDLE handle = CreateFileA(name, attempt.desired, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      &inheritable, create_new ? CREATE_NEW : OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
      return {{reinterpret_cast<NativeHandle>(handle), attempt.access}, OsError::none, 0};
    error = last_error();
  }
  return {{reinterpret_cast<NativeHandle>(INVALID_HANDLE_VALUE), FileAccess::read_write},
          classify_os_error(error, OsOperation::open), error};
}

WriteResult cut_file(const OpenFile& file, std::uint64_t position) {
  const HANDLE handle = as_handle(file.handle);
  std::uint64_t noted = 0, length = 0, ignored = 0;
  int error = 0;
  if (!move_pointer(handle, 0, FILE_CURRENT, noted, error) ||
      !move_pointer(handle, 0, FILE_END, length, error))
    return {classify_os_error(error, OsOperation::cut), error};
  WriteResult result{OsError::none, 0};
  if (length > position) {
    if (file.access == FileAccess::read) {
      // A read-only connection is never cut, whatever the system would answer.
      result = {OsError::access_denied, ERROR_ACCESS_DENIED};
    } else if (!move_pointer(handle, static_cast<std::int64_t>(position), FILE_BEGIN, ignored,
                             error)) {
      result = {classify_os_error(error, OsOperation::cut), error};
    } else if (!SetEndOfFile(handle)) {
      error = last_error();
      result = {classify_os_error(error, OsOperation::cut), error};
    }
  }
  move_pointer(handle, static_cast<std::int64_t>(noted), FILE_BEGIN, ignored, error);
  return result;
}

WriteResult write_file(const OpenFile& file, const void* data, std::size_t size) {
  if (file.access == FileAccess::read) return {OsError::access_denied, ERROR_ACCESS_DENIED};
  return write_all(as_handle(file.handle), data, size);
}

WriteResult close_file(const OpenFile& file) {
  if (!CloseHandle(as_handle(file.handle))) {
    const int error = last_error();
    return {classify_os_error(error, OsOperation::write), error};
  }
  return {OsError::none, 0};
}

void exit_process(int status) { ExitProcess(static_cast<UINT>(status)); }

}  // namespace strma::platform
