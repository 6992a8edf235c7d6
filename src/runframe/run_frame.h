// The run frame: process start, the ordered start-up initializers, the end-of-run
// procedures and the exit status.
#pragma once

namespace strma::runframe {

using EndProcedure = void (*)();

// The types of the standard handles, read once at start-up.
struct StandardHandleTypes {
  bool input_is_character_device;
  bool output_is_character_device;
  bool error_is_character_device;
};

const StandardHandleTypes& standard_handle_types();

// Process entry: reads the types of the standard handles, runs the start-up initializers in
// their order, calls the run sequence once and ends the run with its status.
[[noreturn]] void start_run();

// Adds a procedure to the end-of-run list; the list runs most recently registered first.
void register_end_procedure(EndProcedure procedure);

// Runs the end-of-run procedures (once per process) and ends the process with `status`.
// A failure reported while they run makes the status 1: the result was not stored.
[[noreturn]] void end_run(int status);

// True once the end of run has begun.
bool end_of_run_under_way();

// Marks the run as failed while the end of run is under way (a report raised by an
// end-of-run procedure).
void fail_end_of_run();

}  // namespace strma::runframe
