// Start-up and exit: the sequence that leads to the export run, the runtime
// settings, the loading of the database engines and the exit procedure.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace runtime {

using EntryRoutine = std::function<void(const std::vector<std::string>& args)>;

// The start-up sequence: registers the exit procedure, installs the error
// handler (errorSys), applies the settings (appSys), loads the engines
// (dbeSys), runs `entry` with the arguments after the program name, and runs
// the exit procedure once on every way out. Returns the process exit code.
// A command line that asks for a batch (--batch) runs the batch instead.
int start(int argc, char** argv);
int start(const std::vector<std::string>& args, const EntryRoutine& entry);

// APPSYS: the seven runtime settings of the program.
void appSys();
// DBESYS: loads the seven engines and builds the four drivers; on failure
// tells the user and ends the program (exit code 1).
void dbeSys();
// APPEXIT: commits and closes every work area still in use.
void appExit();

}  // namespace runtime
