#pragma once

// Runs a program as a script would: arguments and environment in; exit code,
// standard output and standard error out.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/core/test_files.h"

namespace rastrel::testing {

struct ProgramResult {
  int exit_code = -1;  // 128 + the signal's number when a signal ended it
  std::string out;
  std::string err;
};

// Changes to the test's own environment: a value to set, or nullopt to unset.
using Environment = std::map<std::string, std::optional<std::string>>;

// Runs arguments[0], looked up on the test's PATH when it holds no slash, in
// `dir`, its output caught in files there. A program that cannot be started
// gives exit code 127 and says so on `err`.
inline ProgramResult RunProgram(const std::filesystem::path& dir,
                                std::vector<std::string> arguments,
                                const Environment& changes = {}) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    if (!changes.contains(text.substr(0, text.find('=')))) environment.push_back(text);
  }
  for (const auto& [name, value] : changes) {
    if (value) environment.push_back(name + "=" + *value);
  }

  const std::string out = (dir / "stdout").string(), err = (dir / "stderr").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  std::vector<char*> argv, envp;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  pid_t pid;
  const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return {127, "", "cannot start " + arguments[0] + ": " + std::strerror(failed)};

  int status = 0;
  waitpid(pid, &status, 0);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return {code, ReadFile(out), ReadFile(err)};
}

}  // namespace rastrel::testing
