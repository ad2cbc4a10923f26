// The process entry: hands the command line to the start-up sequence.
#include "src/runtime/startup.hpp"

int main(int argc, char** argv) { return runtime::start(argc, argv); }
