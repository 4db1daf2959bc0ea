#include "app/CommandLine.h"

std::string RebuildCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments) {
  std::string text = "\"" + program + "\"";
  for (const std::string& a : arguments) text += " " + a;
  return text;
}

CommandLineFileResult FindCommandLineFile(const std::string& commandLine) {
  CommandLineFileResult result;
  std::size_t pos = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    pos = commandLine.find('"', 1);
    if (pos == std::string::npos) return result;  // no closing quote: no argument
  }
  const std::size_t space = commandLine.find(' ', pos);
  if (space == std::string::npos || space + 1 >= commandLine.size()) return result;
  result.Pending = true;
  result.File = commandLine.substr(space + 1);
  return result;
}
