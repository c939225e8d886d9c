// The comment extraction and the comment-only blanking over any source text in
// each source encoding (the first byte picks it): besides not failing, every
// comment must be made of the bytes of the lines it spans, and blanking must
// keep each line's length, turning bytes into blanks only.
#include "checks/CommentExtraction.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using fuzz_support::check;
using Lines = std::vector<std::string>;

bool endsWith(const std::string &text, const std::string &tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The comment's lines joined with "\n": the end of its first line, whole
// middle lines and the start of its last line (all of it for a line comment).
void checkComment(const CommentRecord &comment, const Lines &lines, int previousLast) {
  check(comment.m_firstLine >= 1 && comment.m_firstLine <= comment.m_lastLine);
  check(static_cast<std::size_t>(comment.m_lastLine) <= lines.size() && comment.m_lastLine >= previousLast);
  const bool block = comment.m_text.rfind("/*", 0) == 0;
  check(block || comment.m_text.rfind("//", 0) == 0);
  check(!block || (comment.m_text.size() >= 4 && endsWith(comment.m_text, "*/")));
  const Lines parts = fuzz_support::sourceLinesOf(comment.m_text + "\n");
  check(parts.size() == static_cast<std::size_t>(comment.m_lastLine - comment.m_firstLine + 1));
  const std::string &first = lines[comment.m_firstLine - 1];
  if (parts.size() == 1) {
    check(first.find(parts[0]) != std::string::npos);
    return;
  }
  check(endsWith(first, parts[0]));
  for (std::size_t i = 1; i + 1 < parts.size(); ++i)
    check(parts[i] == lines[comment.m_firstLine - 1 + i]);
  const std::string &last = lines[comment.m_lastLine - 1];
  check(block ? last.rfind(parts.back(), 0) == 0 : last == parts.back());
}

void checkBlanked(const Lines &lines, const Lines &blanked) {
  check(blanked.size() == lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    check(blanked[i].size() == lines[i].size());
    for (std::size_t k = 0; k < lines[i].size(); ++k)
      check(blanked[i][k] == lines[i][k] || blanked[i][k] == ' ');
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const auto [encoding, lines] = fuzz_support::sourceInput(data, size);

  std::vector<CommentRecord> comments;
  extractComments(lines, comments, encoding);
  int previousLast = 0;
  for (const CommentRecord &comment : comments) {
    checkComment(comment, lines, previousLast);
    previousLast = comment.m_lastLine;
  }

  Lines blanked = lines;
  blankComments(blanked, encoding);
  checkBlanked(lines, blanked);
  // Blanking twice changes nothing more, and a first line blanks alone as it
  // does at the start of the text.
  Lines again = blanked;
  blankComments(again, encoding);
  check(again == blanked);
  if (!lines.empty())
    check(blankCommentsInLine(lines[0], encoding) == blanked[0]);
  return 0;
}
