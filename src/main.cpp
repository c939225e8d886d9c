// Program entry of lyrsa_vokt.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
bool isVersionRequest(const char *word) {
  std::string lower(word);
  for (char &c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == "-ver";
}
} // namespace

int main(int argc, char **argv) {
  for (int i = 1; i < argc; ++i) {
    if (isVersionRequest(argv[i])) {
      std::fputs("lyrsa_vokt version 1.7_x64 build 17\n", stdout);
      std::exit(0);
    }
  }
  return 0;
}
