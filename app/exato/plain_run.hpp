// dispersao-exato run without arguments: the report it has always printed.
#pragma once

namespace dispersao {

// Reads the menu instance of the working folder as the menu program does (its messages on
// standard output when the files cannot be used, nothing read from standard input), finds the
// best three positions and prints them in the plain report: the selection vector, the value,
// the chosen cities' names when the folder has a names file, and the processor time. Returns
// the status to end with; ends the process itself where the menu program would.
[[nodiscard]] int run_plain_report();

}  // namespace dispersao
