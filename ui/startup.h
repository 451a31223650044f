// Which file is the package: the command line, else a package beside the
// program, else none (the front-end then offers its file chooser).
#pragma once

namespace ui {

// The command line after the program's name. One pair of double quotes
// around the whole of it is removed: shells and file managers quote a path
// with blanks. False when it does not fit `packagePath` (kMaxPath bytes);
// a cut path would name another file.
bool PackagePathFromCommandLine(const char* commandLine, char* packagePath);

// `programPath` with its file name's extension replaced by `extension`
// (".upg", ".pub"; appended when the name has none). False when the result
// does not fit `out` (kMaxPath bytes).
bool NameBesideProgram(const char* programPath, const char* extension, char* out);

// The package beside the program at `programPath`: the program's file name
// with its extension replaced by ".upg" (appended when it has none), then
// "default.upg" in the same folder. `packagePath` is left empty when neither
// is a file.
void FindPackageBesideProgram(const char* programPath, char* packagePath);

}  // namespace ui
