// Record streams written out byte by byte, shared by the writer and reader
// tests, and the locations they encode.
#pragma once

#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/MacroHistory.h"
#include "resultfiles/RecordWriter.h"
#include "support/Bytes.h"
#include "support/ScratchDirectory.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace record_streams {

// A display name whose five renderings differ, to see which one is written.
class FiveRenderings : public U_EntityDisplayName {
public:
  std::string text() const override { return "t1"; }
  std::string text2() const override { return "t2"; }
  std::string text3() const override { return "t3"; }
  std::string text4() const override { return "t4"; }
  std::string text5() const override { return "t5"; }
};

inline const QL_Filename &mainFile() {
  static const QL_Filename file("/a/f.c", "f.c");
  return file;
}
inline const QL_Filename &header() {
  static const QL_Filename file("/a/h.h", "h.h");
  return file;
}
inline const QL_Filename &shownFile() {
  static const QL_Filename file("/a/g.c", "g.c");
  return file;
}

// /a/f.c (given f.c) at line 10, column 3, without parts.
inline U_Location plainLocation() { return U_Location(mainFile(), 10, 3); }

// The first location after an opening: location id 0, file id 0 with both
// names, line 10, column 3, no parts.
inline const std::string plainBytes = BYTES("\x00\x00\x00\x00"
                                            "\x00\x00\x00\x00"
                                            "\x06\x00\x00\x00"
                                            "/a/f.c"
                                            "\x03\x00\x00\x00"
                                            "f.c"
                                            "\x0A\x00\x00\x00"
                                            "\x03\x00\x00\x00"
                                            "\x00");

// /a/f.c:10:3 with every part: included from /a/h.h:2:0; expanded from MAX at
// f.c:10:5 within CMP at f.c:4:1; shown as /a/g.c line 7; instantiated from
// h.h:20:1 as FiveRenderings; called from f.c:30:2.
inline U_Location locationWithEveryPart() {
  const U_RefPtr<U_MacroHistory> outer(
      new U_MacroHistory(U_Location(mainFile(), 4, 1), U_Identifier("CMP"), U_RefPtr<U_MacroHistory>()));
  const U_RefPtr<U_MacroHistory> inner(
      new U_MacroHistory(U_Location(mainFile(), 10, 5), U_Identifier("MAX"), outer));
  return U_Location(U_Location(header(), 2, 0), mainFile(), 10, 3, inner)
      .withHLLoc(shownFile(), 7)
      .withInstFromLoc(U_Location(header(), 20, 1), new FiveRenderings)
      .withCalledFromLoc(U_Location(mainFile(), 30, 2));
}

// That location as the first one after an opening, written with showAlias
// (the display name is the third rendering). Ids go to the outer location
// first, then to its parts in the order they are written.
inline const std::string everyPartBytes = BYTES("\x00\x00\x00\x00" // location 0
                                                "\x00\x00\x00\x00" // file 0
                                                "\x06\x00\x00\x00"
                                                "/a/f.c"
                                                "\x03\x00\x00\x00"
                                                "f.c"
                                                "\x0A\x00\x00\x00" // line 10
                                                "\x03\x00\x00\x00" // column 3
                                                "\x1F"             // parts 1+2+4+8+16
                                                "\x01\x00\x00\x00" // include: location 1
                                                "\x01\x00\x00\x00" // file 1
                                                "\x06\x00\x00\x00"
                                                "/a/h.h"
                                                "\x03\x00\x00\x00"
                                                "h.h"
                                                "\x02\x00\x00\x00"
                                                "\x00\x00\x00\x00"
                                                "\x00"
                                                "\x02\x00\x00\x00" // macro element: location 2
                                                "\x00\x00\x00\x00" // file 0 again
                                                "\x0A\x00\x00\x00"
                                                "\x05\x00\x00\x00"
                                                "\x00"
                                                "\x00\x00\x00\x00" // text 0
                                                "\x03\x00\x00\x00"
                                                "MAX"
                                                "\x01"             // parent follows
                                                "\x03\x00\x00\x00" // location 3
                                                "\x00\x00\x00\x00"
                                                "\x04\x00\x00\x00"
                                                "\x01\x00\x00\x00"
                                                "\x00"
                                                "\x01\x00\x00\x00" // text 1
                                                "\x03\x00\x00\x00"
                                                "CMP"
                                                "\x00"             // end of the chain
                                                "\x02\x00\x00\x00" // shown: file 2
                                                "\x06\x00\x00\x00"
                                                "/a/g.c"
                                                "\x03\x00\x00\x00"
                                                "g.c"
                                                "\x07\x00\x00\x00" // shown line 7
                                                "\x04\x00\x00\x00" // instantiated from: location 4
                                                "\x01\x00\x00\x00" // file 1 again
                                                "\x14\x00\x00\x00"
                                                "\x01\x00\x00\x00"
                                                "\x00"
                                                "\x02\x00\x00\x00" // display name
                                                "t3"
                                                "\x05\x00\x00\x00" // called from: location 5
                                                "\x00\x00\x00\x00"
                                                "\x1E\x00\x00\x00"
                                                "\x02\x00\x00\x00"
                                                "\x00");

// /a/x.c (given x.c) at line 3, column 5: the location of the error-file
// examples.
inline const QL_Filename &fileX() {
  static const QL_Filename file("/a/x.c", "x.c");
  return file;
}

// The message body of diagnostic 1540 at line 3, column 5 of /a/x.c, not
// suppressed, no flags, no parameters, as the first record after an opening.
inline const std::string message1540Body = BYTES("\x00\x00\x00\x00" // location 0
                                                 "\x00\x00\x00\x00" // file 0
                                                 "\x06\x00\x00\x00"
                                                 "/a/x.c"
                                                 "\x03\x00\x00\x00"
                                                 "x.c"
                                                 "\x03\x00\x00\x00"   // line 3
                                                 "\x05\x00\x00\x00"   // column 5
                                                 "\x00"               // no parts
                                                 "\x04\x06\x00\x00"   // 1540
                                                 "\x00\x00\x00\x00"   // flags
                                                 "\x00\x00\x00\x00"   // error flag
                                                 "\x00\x00\x00\x00"); // no parameters

// Whether the bytes end in the trailer of a format-2 message of the number:
// a number below 9999 XOR the message number.
inline bool endsInTrailerOf(const std::string &bytes, std::uint32_t number) {
  if (bytes.size() < 4)
    return false;
  std::uint32_t trailer = 0;
  for (std::size_t i = bytes.size(); i > bytes.size() - 4; --i)
    trailer = (trailer << 8) | static_cast<unsigned char>(bytes[i - 1]);
  return (trailer ^ number) < 9999;
}

// Every byte that the writing puts into a new file in the directory.
inline std::string writtenBytes(const test_support::ScratchDirectory &dir,
                                const std::function<void(R_Writer &)> &write) {
  static int count = 0;
  const std::string path = dir / ("out" + std::to_string(count++) + ".err");
  R_Writer writer(path);
  EXPECT_TRUE(writer.open());
  write(writer);
  EXPECT_TRUE(writer.close());
  return test_support::readFile(path);
}

} // namespace record_streams
