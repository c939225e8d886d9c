// Writing the binary record stream of an error file: fixed-width primitives,
// and texts, file identities and locations written in full at their first
// occurrence after the opening and as an id afterwards.
#pragma once

#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "foundation/Ref.h"
#include "platform/LockedFile.h"
#include "resultfiles/Identifier.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class U_MacroHistory;

// The ids of one writer. Each table hands out ids from 0 in the order of first
// occurrence and never forgets one.
struct R_WriterData {
  // Orders locations by their object: equal locations held in two objects are
  // two entries. The key keeps its object alive.
  struct ByLocationObject {
    bool operator()(const U_Location &a, const U_Location &b) const {
      return std::less<const U_LocationData *>()(a.data(), b.data());
    }
  };

  // A location written: its id and the levels it takes (U_maxLocationDepth).
  struct WrittenLocation {
    std::uint32_t id;
    std::uint32_t depth;
  };

  std::map<U_Identifier, std::uint32_t> m_texts; // by the interned characters
  std::uint32_t m_nextTextId = 0;
  // Files by the canonical name as written: two identities whose canonical
  // names read the same share one id. The first map finds a name's handle
  // again without making its text.
  std::map<U_Filename, std::uint32_t> m_files;
  // The texts of the canonical handles, held where the file-name store holds
  // them for the whole run.
  std::map<std::string_view, std::uint32_t> m_fileNames;
  std::uint32_t m_nextFileId = 0;
  std::map<U_Location, WrittenLocation, ByLocationObject> m_locations;
  std::uint32_t m_nextLocationId = 0;
};

// Writes one file in binary mode. Integers are 4 bytes little-endian; nothing
// is aligned.
//
// What is written is kept in memory and reaches the file as a whole when the
// writer is closed (or flushed), in one system call where the system takes it
// so: a process killed before then leaves the file as it was. The file is
// held, under its lock, as a platform::LockedFile, under the append protocol
// (platform/AppendProtocol.h): an existing file gets what is written with a
// journal beside it, so that a process killed while the bytes go out leaves a
// file that the next opening puts back, and what a closing keeps is kept for
// good only when the process ends well, as its last act, in a process that
// commits its appends at its end. Writers in other processes take turns with
// this one.
//
// The file is never left damaged: a write, flush or close that fails restores
// the file as it was before the opening (a file that the opening made is
// removed, another is cut back to its size) before the failure is reported,
// with the lock still held. The owner can do the same with discard() when it
// cannot finish what it is writing, and a writer destroyed while its file is
// open does so too: only close() keeps what was written. While the file is
// open, a fatal end of the process restores it as well
// (platform::restoreAppends). A file that cannot be cut back keeps its
// journal, for a later opening to put it back; putBackFailed() tells so.
class R_Writer {
public:
  // The name goes to the system as it is.
  explicit R_Writer(std::string fileName);
  // Restores a file still open, as discard() does: owners close before.
  ~R_Writer();
  R_Writer(const R_Writer &) = delete;
  R_Writer &operator=(const R_Writer &) = delete;

  // Opens the file for writing from the start (it is cut to nothing) or for
  // appending, making it when missing and waiting for its lock; true when the
  // file was opened. Only while no file is open.
  bool open();
  bool openForAppend();
  // Makes a file that is missing: it is written under a temporary name and
  // gets its name, as a whole, at the closing. True when the file was opened.
  // When the name is taken by then (or the file system cannot give the file
  // its name so), the closing makes nothing and fails, and nameRefused()
  // tells so.
  bool openToMake();
  // Appends to a file that the owner opened and locked already; the writer
  // holds it, and its lock, from now on. A failure removes a file that its
  // opening made (LockedFile::created) rather than cutting it back. False when
  // the file is not open.
  bool openForAppend(platform::LockedFile file);
  // Hands everything written to the file and closes it; true only when a file
  // was open and all of it reached the file. A failure restores the file. No
  // file is open afterwards.
  bool close();
  // Hands what was written so far to the file; a failure restores the file
  // and throws R_WritingException.
  void flush();
  // Closes the file without keeping anything written since the opening: the
  // file is restored. Nothing when no file is open.
  void discard();
  // Runs the writing of one record, so that the file never gets half of one:
  // when anything is thrown before the record is finished (memory running
  // out, say), the file is restored as discard() restores it and the
  // exception goes on.
  template <class Write> void writeWhole(Write write) {
    try {
      write();
    } catch (...) {
      discard();
      throw;
    }
  }

  // The primitives. Each throws R_WritingException, after restoring the file,
  // when no file is open.
  void writeBytes(const void *bytes, std::size_t count);
  void writeByte(std::uint8_t value);
  void writeInt(std::uint32_t value);
  // int32 length, then the bytes; no NUL.
  void writeString(std::string_view text);
  // As writeString, of the characters up to the first NUL.
  void writeCString(const char *text);
  // int32 count, then the bytes.
  void writeBlock(const void *bytes, std::uint32_t count);
  // First occurrence: int32 id, then the text as a C string; later: the id.
  void writeInternedText(const U_Identifier &text);
  // First occurrence (by the canonical name as written): int32 id, the
  // canonical name and the given name as strings; later: the id.
  void writeFile(const QL_Filename &file);

  const std::string &fileName() const { return m_fileName; }
  bool isOpen() const { return m_file.isOpen(); }
  // Whether a write, flush or close has failed; the file was restored then.
  bool hasFailed() const { return m_failed; }
  // The errno of the last opening, write, flush or close that failed; 0 when
  // none did, or the failure had none to tell.
  int error() const { return m_error; }
  // Whether restoring the file failed: it could not be cut back to the
  // length it had before this writer's appends, or the cut could not be
  // synced. Its journal stays then, when it has one. putBackEnd() tells.
  bool putBackFailed() const;
  // How the last restoring of the file ended (also one that a closing had to
  // do): what it could not do, and whether another writer's bytes kept it
  // from cutting the file back.
  const platform::AppendEnd &putBackEnd() const { return m_putBackEnd; }
  // A journal that this writer could not remove when its closing kept what
  // was written (what was written is taken back then), or whose append could
  // not begin because it is not known to be on disk: its name, the errno, and
  // which of the two. Empty when there is none.
  const std::string &failedJournal() const { return m_failedJournal; }
  int journalError() const { return m_journalError; }
  bool journalNotRemoved() const { return m_journalNotRemoved; }
  // What the opening found of an append that another process did not finish
  // (platform::LockedFile::recovery).
  const std::optional<platform::AppendRecovery> &recovery() const { return m_recovery; }
  // Whether the closing of a file being made found its name taken, or the
  // file system unable to give it the name; nothing was made then.
  bool nameRefused() const { return m_nameRefused; }
  // The file's size at the opening; nothing before one, or for a file that is
  // not a regular file (such a file cannot be cut back).
  std::optional<std::uint64_t> sizeAtOpen() const { return m_sizeAtOpen; }
  R_WriterData &data() { return m_data; }

private:
  bool openWith(platform::LockedFile::Opening opening);
  // Takes the open file over.
  void hold(platform::LockedFile file);
  // Notes what a put-back or a keeping of the file could not do.
  void noteEnd(const platform::AppendEnd &end);
  // Restores the file, then throws R_WritingException.
  [[noreturn]] void fail();
  // Puts the file back as it was before the opening and closes it.
  void restore();

  std::string m_fileName;
  platform::LockedFile m_file;
  // Hands the pending blocks to the file, in order; false when one did not
  // reach it whole. They are dropped either way.
  bool handPending();

  // The int32 length in front of a text; fails when the size does not fit.
  void writeLength(std::size_t size);
  // As writeString, of a text that stays where it is until the process ends
  // (a stored file name): a long one is handed to the file from there.
  void writeLastingString(std::string_view text);
  // Holds a long text for the file: copied, or where it lies when it lasts.
  void holdLongText(std::string_view text, bool lasting);

  // A block of what is written: its bytes, or, for a long text that lasts,
  // where that text lies.
  struct PendingBlock {
    std::string bytes;
    std::string_view lasting;
  };
  // Written, not yet handed to the file: blocks in order, the last one open
  // for short writes; a long write makes a block of its own.
  std::vector<PendingBlock> m_pending;
  R_WriterData m_data;
  std::optional<std::uint64_t> m_sizeAtOpen;
  bool m_restorable = false; // an opening whose output can still be taken back
  bool m_failed = false;
  int m_error = 0;
  bool m_nameRefused = false;
  platform::AppendEnd m_putBackEnd;
  std::string m_failedJournal;
  int m_journalError = 0;
  bool m_journalNotRemoved = false;
  std::optional<platform::AppendRecovery> m_recovery;
};

// A location: first occurrence (by object) int32 id, then file, line, column,
// the parts byte (1 include, 2 instantiated-from, 4 macro history, 8 shown
// file and line, 16 called-from) and the parts present, in the order include,
// macro history, shown file and line, instantiated-from with the entity's
// display name, called-from; later occurrences: the id. Ids are taken before
// the parts are written. The display name is the entity's third rendering
// when showAlias is true, its first otherwise. Written without recursion,
// however long its chains. A location that nests deeper than
// U_maxLocationDepth levels, or holds a macro history of more elements than
// that, which no reader takes, is refused: the file is restored (discard) and
// R_WritingException thrown.
void writeBinaryLocation(R_Writer &writer, const U_Location &location, bool showAlias);
// A macro history from its first element: each element's location and macro
// name, then the byte 1 when its parent follows or 0 at the end. Refused as
// above when it holds more than U_maxLocationDepth elements or an element's
// location nests deeper than U_maxLocationDepth levels.
void writeMacroHistory(R_Writer &writer, const U_RefPtr<U_MacroHistory> &first, bool showAlias);
