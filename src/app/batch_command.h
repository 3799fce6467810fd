#pragma once

// The batch command line: velmora --inverse|--direct [options] [FILE], answered before Qt is
// started, reading FILE or standard input and writing CSV to standard output.
namespace velmora::app {

// Whether the arguments (the program's path first) ask for a batch: --inverse or --direct
// stands among them.
bool IsBatchCommand(int argc, char* argv[]);

// Runs the batch the arguments ask for and returns the exit status: 0 when every row is ok,
// 1 when a row failed or reading or writing failed, 2 for a usage error (one line naming it
// and the usage on standard error).
int RunBatchCommand(int argc, char* argv[]);

}  // namespace velmora::app
