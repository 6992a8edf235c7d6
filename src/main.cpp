// strma: the time a body takes to slide down an inclined plane with friction.
#include "runframe/run_frame.h"

int main() { strma::runframe::start_run(); }
