#include "host/host_state.h"

// The runtime's start-up lands here; the saver reads its own command line.
int main() { SaverEntry(); }
