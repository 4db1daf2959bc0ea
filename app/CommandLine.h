#pragma once
// The process command line as one text, and the rule that finds the file it names.

#include <string>
#include <vector>

// The program path in double quotes, then each argument after a single space.
std::string RebuildCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments);

struct CommandLineFileResult {
  bool Pending = false;  // a file was named
  std::string File;      // everything after the first space after the program path
};

CommandLineFileResult FindCommandLineFile(const std::string& commandLine);
