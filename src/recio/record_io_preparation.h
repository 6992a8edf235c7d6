// The record I/O preparation, a start-up initializer of the run frame.
#pragma once

namespace strma::recio {

// Decides the console mode and creates the console connections, puts the floating-point
// traps in force and registers record_io_end as the end-of-run procedure.
void prepare_record_io();

}  // namespace strma::recio
