// The reading half of the binary record layer over any bytes. The input is a
// series of steps, each a kind byte and what that kind reads: 1 empties the
// tables, 2 a location, 3 a macro history, 4 a string, 5 an identifier, 6 a
// file; any other byte ends the input. Reading may refuse the bytes, but
// must not crash; every location and macro history read must survive being
// written and read back: written twice over, the bytes settle.
#include "FuzzSupport.h"

#include "resultfiles/MacroHistory.h"
#include "resultfiles/RecordExceptions.h"
#include "resultfiles/RecordReader.h"
#include "resultfiles/RecordWriter.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string fileBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes the value into a file of its own and reads it back from there; the
// bytes written go to bytes.
template <class Value, class Write, class Read>
Value rewrite(const Value &value, Write write, Read read, const char *name, std::string &bytes) {
  const std::string path = fuzz_support::workDirectory() + "/" + name;
  {
    R_Writer writer(path);
    if (!writer.open())
      std::abort();
    write(writer, value);
    if (!writer.close())
      std::abort();
  }
  bytes = fileBytes(path);
  R_Reader reader(path);
  if (!reader.open())
    std::abort();
  // What the writer wrote, the reader takes whole.
  try {
    Value again = read(reader);
    if (!reader.atEnd())
      std::abort();
    return again;
  } catch (const R_ReadingException &) {
    std::abort();
  }
}

// The first rewriting may still merge file names that differ only after a
// NUL byte; from then on the bytes stay the same.
template <class Value, class Write, class Read>
void checkRoundTrip(const Value &value, Write write, Read read) {
  std::string first, second, third;
  const Value once = rewrite(value, write, read, "once.err", first);
  const Value twice = rewrite(once, write, read, "twice.err", second);
  rewrite(twice, write, read, "thrice.err", third);
  if (second != third)
    std::abort();
}

void writeLocation(R_Writer &writer, const U_Location &location) {
  writeBinaryLocation(writer, location, false);
}
void writeHistory(R_Writer &writer, const U_RefPtr<U_MacroHistory> &history) {
  writeMacroHistory(writer, history, false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string path = fuzz_support::writeInput(data, size, "records.err");
  R_Reader reader(path);
  if (!reader.open())
    std::abort();
  try {
    while (!reader.atEnd()) {
      switch (reader.readByte()) {
      case 1:
        reader.resetTables();
        break;
      case 2:
        checkRoundTrip(readBinaryLocation(reader), writeLocation, readBinaryLocation);
        break;
      case 3:
        checkRoundTrip(readMacroHistory(reader), writeHistory, readMacroHistory);
        break;
      case 4:
        reader.readString();
        break;
      case 5:
        reader.readIdentifier();
        break;
      case 6:
        reader.readFile();
        break;
      default:
        return 0;
      }
    }
  } catch (const R_ReadingException &) {
  }
  return 0;
}
