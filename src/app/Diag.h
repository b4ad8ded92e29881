#pragma once

#include <string>

namespace durazizi::Diag {

// Appends "[<date>] <message>\n" to the diagnostic log when the hidden
// preference "DuraziziDebugLog" was true at the first call of this process.
// Safe from any thread; each line is written whole.
void log(const std::string& message);

// The log file's path as this process computes it (computes it if needed).
std::string path();

}  // namespace durazizi::Diag
