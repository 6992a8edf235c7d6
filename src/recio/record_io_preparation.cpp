#include "recio/record_io_preparation.h"

#include "recio/console_output.h"
#include "recio/unit_connection.h"
#include "runframe/arith_failures.h"
#include "runframe/run_frame.h"

namespace strma::recio {

void prepare_record_io() {
  const runframe::StandardHandleTypes& types = runframe::standard_handle_types();
  create_console_connections(types.input_is_character_device && types.output_is_character_device);
  runframe::install_fp_traps();
  runframe::register_end_procedure(record_io_end);
}

}  // namespace strma::recio
