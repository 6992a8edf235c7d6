// Numbered units and their file connections: the result file izlaz.dat on unit 10.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace strma::recio {

constexpr int kUnitTableSize = 61;
constexpr int kUnitBufferSize = 1024;
constexpr int kMaxNameLength = 259;

// The state of one connection between a unit number and a file.
struct UnitConnection {
  std::int32_t unit_number;
  char name[kMaxNameLength + 1];  // as connected, without leading and trailing blanks
  platform::OpenFile file;        // handle and the access the open obtained
  unsigned char buffer[kUnitBufferSize];
  std::int32_t fill;         // bytes in buffer
  std::int32_t file_offset;  // position just after the last transfer
  bool in_write_state;       // last operation was a write, or the connect created the file
  bool has_unwritten_data;   // buffer holds bytes not yet in the file
};

// One entry of the unit table: a unit number and its connection, or nothing (null). The
// connections live in storage of their own, so that walking the table touches only the
// small entries, not the 1024-byte buffers.
struct UnitTableEntry {
  UnitConnection* connection;
};

extern UnitTableEntry unit_table[kUnitTableSize];

// Connects `unit_number` to the file `name`: an existing file is opened unchanged, a missing
// one is created empty. A failure ends the run with an OPEN report.
void connect_unit(int unit_number, const char* name);

// Stores one record and its CR LF. The first write cuts an existing file to length 0.
// A failure ends the run with a WRITE report.
void store_record(int unit_number, const char* record, std::size_t length);

// Writes what is buffered and closes the unit. Returns false after a CLOSE report.
bool close_unit(int unit_number);

// The end-of-run procedure of the record I/O: closes every connected unit, lowest entry
// first, then writes the console line end still owed on standard output.
void record_io_end();

}  // namespace strma::recio
