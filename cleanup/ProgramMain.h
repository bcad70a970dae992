// The program's entry, apart from `main` itself so that tests can run a
// whole invocation in process.
#ifndef KESORV_CLEANUP_PROGRAMMAIN_H
#define KESORV_CLEANUP_PROGRAMMAIN_H

namespace Kestrova_Orvane {

// Runs the tool for the ANSI command line `argv` (argv[0] is the program)
// and returns the exit status, which is always 0.
int ProgramMain(int argc, char* argv[]);

}  // namespace Kestrova_Orvane

#endif
