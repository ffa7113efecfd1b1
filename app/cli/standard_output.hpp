// The check that what a program printed did reach its standard output.
//
// Output goes through the C library's buffer, so a full device or a closed descriptor shows up
// only when the buffer is written out; each program asks here before it ends, and the menu
// program also each time it has shown the menu.
#pragma once

namespace dispersao {

// Returns `status` when everything printed so far has been written to standard output;
// otherwise prints "Erro ao escrever na saida padrao." on standard error and returns 1.
[[nodiscard]] int finish_standard_output(int status);

// Returns when everything printed so far has been written to standard output; otherwise prints
// the message of finish_standard_output and ends the process with status 1.
void require_standard_output();

}  // namespace dispersao
