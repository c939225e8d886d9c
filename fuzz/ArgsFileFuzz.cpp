// Option words from files through the real parse of the arguments: the
// input is the rc file, a settings file named on the command line, or the
// option section of the configuration file (the first byte chooses which,
// and the language). Names in it are taken in the work directory, so it may
// name itself or other files there.
#include "FuzzSupport.h"

#include "app/OrphanFileHandler.h"
#include "cmdline/CmdArgs.h"
#include "foundation/Exception.h"

#include <cstdlib>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz_support::quietStandardOutput();
  fuzz_support::useInstallation();
  const std::string &work = fuzz_support::workDirectory();
  std::filesystem::create_directories(work + "/rc");
  setenv("LYRRCPATH", (work + "/rc").c_str(), 1);
  setenv("HOME", work.c_str(), 1);
  return 0;
}

namespace {

// Makes the work directory the current one while it lives, so that relative
// names in the input are taken there; the fuzzer's own names stay as given.
class InWorkDirectory {
public:
  InWorkDirectory() : m_saved(std::filesystem::current_path()) {
    std::filesystem::current_path(fuzz_support::workDirectory());
  }
  ~InWorkDirectory() { std::filesystem::current_path(m_saved); }
  InWorkDirectory(const InWorkDirectory &) = delete;
  InWorkDirectory &operator=(const InWorkDirectory &) = delete;

private:
  std::filesystem::path m_saved;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  fuzz_support::useProduct(data[0]);
  const InWorkDirectory inWork;
  const int place = (data[0] / 4) % 3;
  const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
  auto write = [](const std::string &name, const std::string &bytes) {
    fuzz_support::writeInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size(), name);
  };
  write("rc/.lyrrc", place == 0 ? text : "");
  write("words.txt", place == 1 ? text : "");
  write("install/lyr.cfg", place == 2 ? "#options\n" + text : "#options\n");

  const char *const words[] = {"-via", "words.txt", "last.c"};
  U_RefPtr<C_CmdArgs> args(new C_CmdArgs("lyr", place == 1 ? 3 : 1, place == 1 ? words : words + 2));
  C_OrphanFileHandler files;
  try {
    fuzz_support::QuietStandardError quiet;
    args->parseSources(files);
  } catch (const U_UserException &) {
    // A configuration error, as the policy options make of a bad word.
  }
  return 0;
}
