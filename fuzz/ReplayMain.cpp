// Runs a fuzz target once on every file of the corpus directories named on
// the command line, in name order, so that a corpus can be replayed without
// libFuzzer; then says on standard output how many inputs it ran. A name that
// is not a directory, or a directory that holds no file, ends the replay
// before the target runs, and a file that cannot be read ends it there, with
// exit code 1 and one line on standard error: a replay that runs nothing
// would pass without testing anything.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) __attribute__((weak));

namespace {

namespace fs = std::filesystem;

// The files of a corpus directory in name order, or the reason why it cannot
// be replayed.
std::optional<std::vector<fs::path>> corpusFiles(const fs::path &directory, std::string &reason) {
  std::error_code error;
  const fs::file_status status = fs::status(directory, error);
  if (status.type() == fs::file_type::not_found) {
    reason = "no such corpus directory";
    return std::nullopt;
  }
  if (error) {
    reason = error.message();
    return std::nullopt;
  }
  if (!fs::is_directory(status)) {
    reason = "not a directory";
    return std::nullopt;
  }
  std::vector<fs::path> files;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError; // an entry whose type cannot be told is no input
    if (it->is_regular_file(typeError))
      files.push_back(it->path());
  }
  if (error) {
    reason = error.message();
    return std::nullopt;
  }
  if (files.empty()) {
    reason = "the corpus directory holds no input";
    return std::nullopt;
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Runs the target on the input of the file in a buffer of its exact size, as
// libFuzzer gives it, so that a read past its end is caught; false when the
// file cannot be read.
bool replay(const fs::path &file) {
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return false;
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad())
    return false;
  const auto input = std::make_unique<std::uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), input.get());
  LLVMFuzzerTestOneInput(input.get(), bytes.size());
  return true;
}

} // namespace

int main(int argc, char **argv) {
  // Some targets send standard output to /dev/null in their set-up; the
  // count goes to the standard output the replay was given.
  const int output = dup(STDOUT_FILENO);
  const std::string program = fs::path(argv[0]).filename().string();
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS-DIRECTORY...\n", program.c_str());
    return 1;
  }
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    std::string reason;
    const auto files = corpusFiles(argv[i], reason);
    if (!files) {
      std::fprintf(stderr, "%s: %s: %s\n", program.c_str(), argv[i], reason.c_str());
      return 1;
    }
    inputs.insert(inputs.end(), files->begin(), files->end());
  }
  if (LLVMFuzzerInitialize)
    LLVMFuzzerInitialize(&argc, &argv);
  for (const fs::path &file : inputs) {
    if (!replay(file)) {
      std::fprintf(stderr, "%s: %s: cannot be read\n", program.c_str(), file.c_str());
      return 1;
    }
  }
  std::fflush(stdout);
  dprintf(output, "replayed %zu inputs\n", inputs.size());
  return 0;
}
