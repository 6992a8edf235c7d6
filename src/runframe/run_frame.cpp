#include "runframe/run_frame.h"

#include "calc/run_sequence.h"
#include "platform/platform.h"
#include "recio/record_io_preparation.h"
#include "runframe/arith_failures.h"

namespace strma::runframe {
namespace {

constexpr int kMaxEndProcedures = 4;
EndProcedure end_procedures[kMaxEndProcedures];
int end_procedure_count = 0;
StandardHandleTypes handle_types{};
bool end_steps_done = false;
int ending_status = 0;

using Initializer = void (*)();

// The start-up initializers, in the order they must run.
constexpr Initializer startup_initializers[] = {
    set_arithmetic_precision,       // precision of arithmetic between stores
    recio::prepare_record_io,       // console mode and connections, traps, record_io_end
};

}  // namespace

const StandardHandleTypes& standard_handle_types() { return handle_types; }

void register_end_procedure(EndProcedure procedure) {
  if (end_procedure_count < kMaxEndProcedures) end_procedures[end_procedure_count++] = procedure;
}

bool end_of_run_under_way() { return end_steps_done; }

void fail_end_of_run() { ending_status = 1; }

void end_run(int status) {
  if (!end_steps_done) {
    end_steps_done = true;
    ending_status = status;
    while (end_procedure_count > 0) end_procedures[--end_procedure_count]();
  }
  platform::exit_process(ending_status);
}

void start_run() {
  platform::prepare_process();
  handle_types = {platform::is_character_device(platform::StdStream::input),
                  platform::is_character_device(platform::StdStream::output),
                  platform::is_character_device(platform::StdStream::error)};
  for (Initializer initializer : startup_initializers) initializer();
  end_run(calc::run_sequence());
}

}  // namespace strma::runframe
