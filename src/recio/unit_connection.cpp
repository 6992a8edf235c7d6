#include "recio/unit_connection.h"

#include <cstdio>
#include <cstring>

#include "recio/console_output.h"
#include "runframe/error_report.h"

namespace strma::recio {

UnitTableEntry unit_table[kUnitTableSize];

namespace {

// The storage of entry i's connection.
UnitConnection connection_storage[kUnitTableSize];

using platform::OsError;
using runframe::ReportClass;

UnitTableEntry* find_entry(int unit_number) {
  for (UnitTableEntry& entry : unit_table)
    if (entry.connection != nullptr && entry.connection->unit_number == unit_number) return &entry;
  return nullptr;
}

void report_open_failure(const char* name, OsError error, int system_error) {
  int number = 6412;
  const char* message = "cannot open file";
  char text[64];
  switch (error) {
    case OsError::access_denied: number = 6414; message = "access denied"; break;
    case OsError::file_exists: number = 6415; message = "file already exists"; break;
    case OsError::not_found: number = 6416; message = "file not found"; break;
    case OsError::too_many_open: number = 6417; message = "too many open files"; break;
    default: {
      char os_name[32];
      platform::name_os_error(system_error, os_name, sizeof os_name);
      std::snprintf(text, sizeof text, "cannot open file (%s)", os_name);
      message = text;
    }
  }
  runframe::report_run_time_error(ReportClass::open, number, name, message);
}

// Reports a failed cut or write of the file. Returns false when a report was raised; a cut
// that fails for a reason other than space or access is passed over (a device cannot be cut).
bool check_file_write(const UnitConnection& unit, platform::WriteResult result,
                      ReportClass report_class, bool is_cut) {
  switch (result.error) {
    case OsError::none:
      return true;
    case OsError::no_space:
      runframe::report_run_time_error(report_class, 6422, unit.name, "no space left on device");
      return false;
    case OsError::access_denied:
      runframe::report_run_time_error(report_class, 6421, unit.name, "permission to write denied");
      return false;
    default: {
      if (is_cut) return true;
      char os_name[32];
      char text[64];
      platform::name_os_error(result.system_error, os_name, sizeof os_name);
      std::snprintf(text, sizeof text, "write to file failed (%s)", os_name);
      runframe::report_run_time_error(report_class, 6423, unit.name, text);
      return false;
    }
  }
}

// Writes the buffered bytes in one write and empties the buffer.
bool flush_buffer(UnitConnection& unit, ReportClass report_class) {
  const int count = unit.fill;
  unit.fill = 0;
  unit.has_unwritten_data = false;
  const platform::WriteResult result =
      platform::write_file(unit.file, unit.buffer, static_cast<std::size_t>(count));
  if (!check_file_write(unit, result, report_class, false)) return false;
  unit.file_offset += count;
  return true;
}

// Copies bytes into the buffer, writing it out whenever it is full.
void put_bytes(UnitConnection& unit, const char* data, std::size_t length) {
  while (length > 0) {
    std::size_t room = static_cast<std::size_t>(kUnitBufferSize - unit.fill);
    std::size_t take = length < room ? length : room;
    std::memcpy(unit.buffer + unit.fill, data, take);
    unit.fill += static_cast<std::int32_t>(take);
    unit.has_unwritten_data = true;
    data += take;
    length -= take;
    if (unit.fill == kUnitBufferSize) flush_buffer(unit, ReportClass::write);
  }
}

// Copies `name` without leading and trailing blanks, at most kMaxNameLength characters.
void trim_name(const char* name, char* out) {
  while (*name == ' ') ++name;
  std::size_t length = std::strlen(name);
  while (length > 0 && name[length - 1] == ' ') --length;
  if (length > kMaxNameLength) length = kMaxNameLength;
  std::memcpy(out, name, length);
  out[length] = '\0';
}

}  // namespace

void connect_unit(int unit_number, const char* name) {
  char trimmed[kMaxNameLength + 1];
  trim_name(name, trimmed);

  UnitTableEntry* free_entry = nullptr;
  for (UnitTableEntry& entry : unit_table) {
    if (entry.connection == nullptr) {
      free_entry = &entry;
      break;
    }
  }
  if (free_entry == nullptr) {
    runframe::report_run_time_error(ReportClass::open, 6418, trimmed, "no free unit");
    return;
  }

  const bool create_new = !platform::path_exists(trimmed);
  const platform::OpenResult opened = platform::open_file(trimmed, create_new);
  if (opened.error != OsError::none) {
    report_open_failure(trimmed, opened.error, opened.system_error);
    return;
  }

  UnitConnection& unit = connection_storage[free_entry - unit_table];
  unit.unit_number = unit_number;
  std::memcpy(unit.name, trimmed, sizeof trimmed);
  unit.file = opened.file;
  unit.fill = 0;
  unit.file_offset = 0;
  unit.in_write_state = create_new;
  unit.has_unwritten_data = false;
  free_entry->connection = &unit;
}

void store_record(int unit_number, const char* record, std::size_t length) {
  UnitTableEntry* entry = find_entry(unit_number);
  if (entry == nullptr) return;
  UnitConnection* unit = entry->connection;
  if (!unit->in_write_state) {
    unit->in_write_state = true;
    check_file_write(*unit, platform::cut_file(unit->file, static_cast<std::uint64_t>(unit->file_offset)),
                     ReportClass::write, true);
  }
  put_bytes(*unit, record, length);
  put_bytes(*unit, "\r\n", 2);
}

bool close_unit(int unit_number) {
  UnitTableEntry* entry = find_entry(unit_number);
  if (entry == nullptr) return true;
  UnitConnection& unit = *entry->connection;
  if (unit.in_write_state) {
    if (unit.has_unwritten_data && !flush_buffer(unit, ReportClass::close)) return false;
    unit.in_write_state = false;
  }
  entry->connection = nullptr;
  return check_file_write(unit, platform::close_file(unit.file), ReportClass::close, false);
}

void record_io_end() {
  for (UnitTableEntry& entry : unit_table) {
    if (entry.connection != nullptr && !close_unit(entry.connection->unit_number)) return;
  }
  end_console_line(console_output_connection());
}

}  // namespace strma::recio
