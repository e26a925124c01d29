#pragma once
// The program's own modules: parts built apart from it (the Wayland idle inhibit, the metrics
// endpoint's HTTP server) so that a display which does not need them maps neither them nor the
// libraries they bring. A module lies at a path relative to the program's folder, the same in
// the build tree and installed; once loaded it stays for the rest of the run.

#include <string>

// The address of `symbol` in the module at `relativePath`; null, with the loader's reason in
// `reason`, when the module or the symbol is not there.
void* ProgramModuleSymbol(const std::string& relativePath, const char* symbol, std::string* reason);
