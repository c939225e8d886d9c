#include "foundation/FileIdentity.h"

#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <string_view>

namespace {

using test_support::CurrentDirectory;
using test_support::ScratchDirectory;

TEST(FileIdentityTest, TwoSpellingsOfOneFile) {
  ScratchDirectory scratch;
  scratch.makeDirectory("sub");
  scratch.writeFile("f.c");
  CurrentDirectory here(scratch.path());
  const QL_Filename plain = QL_Filename::fromPath("f.c");
  const QL_Filename roundabout = QL_Filename::fromPath("sub/../f.c");
  const QL_Filename backslashed = QL_Filename::fromPath("sub\\..\\f.c");
  const QL_Filename absolute = QL_Filename::fromPath(scratch.path() + "/./f.c");
  EXPECT_EQ(plain, roundabout);
  EXPECT_EQ(plain, backslashed);
  EXPECT_EQ(plain, absolute);
  EXPECT_FALSE(plain < roundabout || roundabout < plain);
  EXPECT_EQ(scratch.path() + "/f.c", plain.canonical().str());
  EXPECT_EQ(plain.canonical(), roundabout.canonical());
  // The given names stay as written (with forward slashes).
  EXPECT_EQ("f.c", plain.given().str());
  EXPECT_EQ("sub/../f.c", roundabout.given().str());
  EXPECT_EQ("sub/../f.c", backslashed.given().str());
  EXPECT_NE(plain.given(), roundabout.given());
}

TEST(FileIdentityTest, LetterCaseMakesAnotherFileOnLinux) {
  ScratchDirectory scratch;
  scratch.writeFile("Case.c");
  scratch.writeFile("case.c");
  CurrentDirectory here(scratch.path());
  const QL_Filename upper = QL_Filename::fromPath("Case.c");
  const QL_Filename lower = QL_Filename::fromPath("case.c");
  EXPECT_NE(upper, lower);
  EXPECT_EQ(scratch.path() + "/Case.c", upper.canonical().str());
  EXPECT_EQ(scratch.path() + "/case.c", lower.canonical().str());
}

TEST(FileIdentityTest, MissingFilesKeepTheirForm) {
  ScratchDirectory scratch;
  scratch.makeDirectory("sub");
  CurrentDirectory here(scratch.path());
  EXPECT_EQ(scratch.path() + "/new.c", QL_Filename::fromPath("new.c").canonical().str());
  EXPECT_EQ(scratch.path() + "/sub/new.c", QL_Filename::fromPath("sub/new.c").canonical().str());
  EXPECT_EQ("nodir/new.c", QL_Filename::fromPath("nodir/new.c").canonical().str());
  EXPECT_EQ("nodir/new.c", QL_Filename::fromPath("nodir\\new.c").canonical().str());
  const QL_Filename empty = QL_Filename::fromPath("");
  EXPECT_EQ(scratch.path(), empty.canonical().str());
  EXPECT_EQ("", empty.given().str());
  EXPECT_TRUE(empty.given().isSet());
}

TEST(FileIdentityTest, NameReadInPlaceAndMetAgain) {
  ScratchDirectory scratch;
  scratch.makeDirectory("sub");
  scratch.writeFile("f.c");
  CurrentDirectory here(scratch.path());
  // A name that a longer text holds, as a record line does.
  const std::string line = "sub/../f.c 12 N";
  const QL_Filename inLine = QL_Filename::fromPath(std::string_view(line).substr(0, 10));
  EXPECT_EQ(scratch.path() + "/f.c", inLine.canonical().str());
  EXPECT_EQ("sub/../f.c", inLine.given().str());
  // Its canonical name, met again, is its own canonical and given name.
  const QL_Filename again = QL_Filename::fromPath(inLine.canonical().str());
  EXPECT_EQ(inLine, again);
  EXPECT_EQ(inLine.canonical(), again.given());
}

// A name whose directory is missing keeps its form; met again once the
// directory exists, it gets the form that the directory gives it.
TEST(FileIdentityTest, NamesMetAgainAfterTheirDirectoryWasMade) {
  ScratchDirectory scratch;
  CurrentDirectory here(scratch.path());
  const struct Case {
    std::string name;
    std::string directory;
    std::string before;
    std::string after;
  } cases[] = {
      {"later/a.c", "later", "later/a.c", scratch / "later/a.c"},
      {scratch / "dotted/./a.c", "dotted", scratch / "dotted/./a.c", scratch / "dotted/a.c"},
      {scratch / "up/../up/a.c", "up", scratch / "up/../up/a.c", scratch / "up/a.c"},
      {scratch / "plain/a.c", "plain", scratch / "plain/a.c", scratch / "plain/a.c"},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.before, QL_Filename::fromPath(c.name).canonical().str()) << c.name;
    // The canonical name made before is met too.
    EXPECT_EQ(c.before, QL_Filename::fromPath(c.before).canonical().str()) << c.name;
    scratch.makeDirectory(c.directory);
    EXPECT_EQ(c.after, QL_Filename::fromPath(c.name).canonical().str()) << c.name;
    EXPECT_EQ(c.name, QL_Filename::fromPath(c.name).given().str()) << c.name;
  }
}

TEST(FileIdentityTest, ExplicitAndAbsoluteForms) {
  ScratchDirectory scratch;
  scratch.makeDirectory("bin");
  const QL_Filename made("/some/Canonical.c", "given.c");
  EXPECT_EQ("/some/Canonical.c", made.canonical().str());
  EXPECT_EQ("given.c", made.given().str());
  EXPECT_EQ(made, QL_Filename("/some/Canonical.c", "other.c"));

  // The given name stays exactly as passed, backslashes and all.
  const std::string path = scratch.path() + "/bin/./implicit.h";
  const QL_Filename header = QL_Filename::fromAbsolutePath(path);
  EXPECT_EQ(scratch.path() + "/bin/implicit.h", header.canonical().str());
  EXPECT_EQ(path, header.given().str());
  EXPECT_EQ("a\\b.h", QL_Filename::fromAbsolutePath("a\\b.h").given().str());

  const QL_Filename unset;
  EXPECT_FALSE(unset.canonical().isSet());
  EXPECT_FALSE(unset.given().isSet());
}

TEST(FileIdentityTest, OrderIsTheOrderOfFirstInterning) {
  // Identities made in this order sort in this order, whatever their texts.
  const QL_Filename z("/identity-order/zzzzzzzz.c", "z");
  const QL_Filename a("/identity-order/a.c", "a");
  const QL_Filename m("/identity-order/mm.c", "m");
  std::map<QL_Filename, int> files{{m, 3}, {a, 2}, {z, 1}, {QL_Filename("/identity-order/a.c", "again"), 9}};
  ASSERT_EQ(3u, files.size());
  auto it = files.begin();
  EXPECT_EQ(z, it->first);
  EXPECT_EQ(a, (++it)->first);
  EXPECT_EQ(2, it->second);
  EXPECT_EQ(m, (++it)->first);
}

} // namespace
