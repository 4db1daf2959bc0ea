#pragma once
// Runs the built companion tool as a shell would and captures what it prints.

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "model/VxlTestFiles.h"

struct ToolRun {
  int status = -1;
  std::string out, err;
};

inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs vxltool with the arguments, through runner when one is given (a command that
// runs the rest of its line, e.g. as another user). Both output streams go to a folder
// of their own, never to the test's folder, so that a test can see every file the tool
// left there.
inline ToolRun RunTool(const ScratchDir& /*testFolder*/, const std::vector<std::string>& args,
                       const std::string& runner = "") {
  static const ScratchDir streams;
  std::string command = runner + " " + Quote(VXLTOOL_PATH);
  for (const std::string& a : args) command += " " + Quote(a);
  command += " >" + Quote(streams.File("stdout.txt")) + " 2>" + Quote(streams.File("stderr.txt"));
  const int raw = std::system(command.c_str());
  ToolRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  const Bytes out = ReadBytes(streams.File("stdout.txt"));
  const Bytes err = ReadBytes(streams.File("stderr.txt"));
  r.out.assign(out.begin(), out.end());
  r.err.assign(err.begin(), err.end());
  return r;
}

inline bool OneLine(const std::string& s) {
  return !s.empty() && s.back() == '\n' && s.find('\n') == s.size() - 1;
}

inline std::string Sample(const char* name) {
  return std::string(KOBALTINE_SAMPLES) + "/" + name;
}
inline std::string Fixture(const char* name) {
  return std::string(KOBALTINE_FIXTURES) + "/" + name;
}

// The entries of a folder by name, to see that a failure left nothing behind.
inline std::vector<std::string> EntryNames(const ScratchDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
