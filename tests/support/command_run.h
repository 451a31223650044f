// Runs one upgtool command as upgtool does and captures what it prints.
#pragma once

#include <string>
#include <vector>

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun RunCommand(int (*command)(int argc, char** argv), std::vector<std::string> arguments);

// One command run: its exit status (-1: any) and a part of what it prints.
struct Step {
  int (*command)(int, char**);
  std::vector<std::string> arguments;
  int status;
  std::string shows;
};

// Runs each step in turn and checks its status and text.
void RunSteps(const std::vector<Step>& steps);
