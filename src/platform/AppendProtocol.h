// How a process adds bytes to the end of a file that other processes add to
// as well, so that the file only ever keeps the whole appends of processes
// that ended well, and loses no byte of anyone else's. In order:
//
// 1. Lock. The file is held under its exclusive lock (LockedFile) from the
//    moment it is opened until its append is kept or put back.
// 2. Recover. What dead processes left beside the file goes first
//    (Leftovers.h). Then a journal beside the file (AppendJournal.h) tells of
//    an append whose process did not end well (recoverAppend). It counts only
//    when a run on the file could have written it: a regular file, owned by
//    the file's owner, this process's user or root, writable by no one else,
//    with a whole entry whose parts agree. The file is cut back to the
//    recorded length only when every byte after it is shown to be that
//    append's own, and only when the file has no other name (a run through
//    another name sees no journal here); the cut is synced before the journal
//    goes. Any other journal is removed and the file left as it is. A journal
//    that cannot be removed, a file that cannot be read, cut or synced: the
//    file stays as it is, the journal too, and nothing is added to the file.
// 3. Begin (writeAppendJournal). The journal of the append is written
//    without a name (or under a name no other run writes, "<journal>.new",
//    or one of this process's own when that is taken), with no permission
//    that the file lacks, synced, given its name, and its directory synced;
//    fatal signals wait meanwhile. Only where no journal can be made at all
//    (a directory this process may not write, a read-only file system, a
//    name too long) does the append go in without one; any later failure of
//    the journal, or one that is not known to be on disk, stops the append,
//    and leaves no journal behind.
// 4. Write. The bytes go in with one writev and are synced (LockedFile).
// 5. Keep (endAppend, finishAppends). The journal goes: at once, or, in a
//    process that commits its appends at its end (commitAppendsAtExit), as
//    its very last act, with every signal held from then on, so that the
//    exit status and the file agree. A journal that cannot be removed would
//    let a later run take the append back: the file is put back instead.
// 6. Put back (putBackAppend, restoreAppends). A failure, a fatal signal
//    before the last act (from the handler, restoreAppends) or a process that
//    ends with a failure takes the append back: a file that the process made is removed; another
//    is cut back and synced, but only when every byte after the cut is this
//    process's own (noteAppended), and left as it is, with the other writer's
//    bytes, otherwise. Then its journal goes. A cut or sync that fails keeps
//    the journal, for a later run.
#pragma once

#include "platform/AppendJournal.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What an opening found beside its file of an append that its process did
// not finish, and what it did about it.
struct AppendRecovery {
  enum class Outcome {
    putBack,         // the append's own bytes were cut away and the cut synced
    nothingAppended, // none of the append reached the file
    leftAlone,       // the file is not what the journal covers (difference)
    otherNames,      // it would be put back, but has other names (hard links)
    unreadable,      // the journal holds no whole entry whose parts agree
    untrusted,       // no run on the file could have written it (distrust)
    cannotCheck,     // the file or the journal could not be read (error)
    cannotPutBack,   // the cut failed (error)
    cannotSync,      // the cut was made but could not be synced (error)
  };
  using Difference = AppendCheck::Difference;
  // Why a journal is not taken for one that a run on the file wrote.
  enum class Distrust { none, notRegular, owner, writableByOthers };

  Outcome outcome = Outcome::putBack;
  Difference difference = Difference::none;
  Distrust distrust = Distrust::none;
  std::string journal;
  std::uint64_t length = 0;    // recorded: the length the file is put back to
  std::uint64_t appending = 0; // recorded: the bytes of the append
  std::uint64_t found = 0;     // the file's length as it was found
  std::uint64_t owner = 0;     // the user that owns an untrusted journal
  int error = 0;               // errno of a failed read, cut or sync
  int removeError = 0;         // errno of a journal that had to go and could not

  // Whether the file may not be added to: it and the journal stay as they are.
  bool fails() const;
  // Whether the whole append was in the file, not only a part of it.
  bool wholeAppend() const { return found - length == appending; }
};

// The name of the file at the path, which the descriptor has open, with
// every symbolic link in it resolved; empty when the name no longer leads to
// that file.
std::string resolvedNameOfOpenFile(const std::string &path, int fd);
// The journal of that file: beside the file itself, so that every name that
// leads to it through symbolic links finds the same journal; empty when the
// name no longer leads to that file.
std::string journalOfOpenFile(const std::string &path, int fd);

// Step 2: puts the file open on fd, which this process holds under its lock,
// back by its journal. Nothing when there is no journal. What dead processes
// left beside the file has gone before (removeLeftovers).
std::optional<AppendRecovery> recoverAppend(const std::string &journal, int fd);
// What recoverAppend would find, without cutting or removing anything (the
// outcome putBack then tells that the file would be put back).
std::optional<AppendRecovery> inspectAppend(const std::string &journal, int fd);

// A file that this process adds to, guarded from its opening until its append
// is kept or put back: at a fatal signal, restoreAppends puts it back.
struct AppendTarget {
  int fd = -1;           // the file, held under its lock
  std::string path;      // its name
  std::string temporary; // a file being made: the name it is made under
  std::string journal;   // empty: the file gets no journal
  std::uint64_t length = 0;
  bool made = false; // this process made it: putting back removes it
};
// The id of the guard, or -1 when none is free (or a name is too long for
// one): the file is then put back only by its owner, not at a fatal signal.
int guardAppend(const AppendTarget &target);
// A file being made is about to get its name, or has it: putting it back now
// also removes it under that name.
void markAppendNamed(int id);
// The temporary name of a file being made is gone (it has its own name). Until
// then, keeping the file removes it too.
void dropAppendTemporary(int id);
// Ends the guard; the descriptor stays open.
void releaseAppend(int id);

// Step 3: writes the journal of the append that the entry describes for the
// file open on fd, guarded as id (or -1 for none). The journal gets the
// file's group, where this process may give it, and of the file's
// permissions only those to read it (its owner may read and write it).
// written: the journal is on disk; cannotMake (errno): none can be made
// beside the file (a directory that may not be written, a read-only file
// system, a name too long), which a journal that got no name tells, and
// nothing is left of it; failed (errno): it could not be made for another
// reason (a full inode table, say), or not be written, synced, closed or
// given its name (a full disk, a file-size limit, a file system that turned
// read-only), so that nothing is left of it; or it is not known to be on
// disk (its directory could not be synced), and then it stays for the
// guard's put-back to remove. The append must not begin after a failure.
enum class JournalWriting { written, cannotMake, failed };
JournalWriting writeAppendJournal(const std::string &journal, const AppendJournalEntry &entry, int fd,
                                  int id);

// What the guarded file holds of this process's appends: the entry covers
// exactly the bytes that reached the file (whether or not a journal of them
// is on disk), so that putting the file back cuts only those. Until the
// first call, the process has added nothing to the file.
void noteAppended(int id, const AppendJournalEntry &entry);
// The process's appends put nothing in the file after all.
void forgetAppended(int id);

// How putting back or keeping an append ended.
struct AppendEnd {
  enum class Result {
    done,
    cannotCut,           // the file could not be cut back: it and its journal stay
    cannotSync,          // the cut is not known to be on disk: the journal stays
    cannotRemoveJournal, // the file is as it should be, the journal stays
  };
  Result result = Result::done;
  int error = 0;
  std::string path;
  std::string journal;      // the journal that stays, if any
  std::uint64_t length = 0; // the length the file is put back to
  bool putBack = false;     // a kept append that had to be put back
  // Another writer added to the file meanwhile: it is left as it is, with
  // this process's bytes in it (ownFirst: they come first, and the other
  // writer's follow them).
  bool otherWriter = false;
  bool ownFirst = false;
};

// Step 5: the append of the guarded file is done and kept. In a process that
// commits at its end, the guard takes over the descriptor (and with it the
// lock) until then: the caller no longer closes it. Otherwise the journal goes
// now, and when it cannot, the file is put back (putBack set).
AppendEnd endAppend(int id);
// Step 6: takes the append of the guarded file back. The guard stays.
AppendEnd putBackAppend(int id);

// Appends are kept only when the process ends: at finishAppends.
void commitAppendsAtExit();
bool appendsCommitAtExit();
// The process ends: every signal is held from now on, and each append taken
// over by endAppend is kept (its journal goes), or put back when keep is
// false or its journal cannot be removed. What did not end well.
std::vector<AppendEnd> finishAppends(bool keep);

// At a fatal signal: puts every guarded file back and ends the guards, and
// says on standard error which file could not be put back, or was left as it
// is for another writer's bytes. Once the process's last act keeps its
// appends (finishAppends), they stay: the journals it has not removed yet go
// (a file whose journal cannot go is put back). True when every append that
// the last act keeps stayed: the process ends as it was about to, well.
// Safe inside a signal handler: no heap, no streams, only system calls.
bool restoreAppends();

// The line that says a file cannot be put back, without its newline:
// "Cannot put file '<path>' back to its length of <length> bytes; its journal
// '<journal>' is kept, so that a later run puts it back." (without the part
// about the journal when journal is null). Written into the buffer, cut to
// its size; safe inside a signal handler. Returns the length written.
std::size_t putBackFailureText(char *buffer, std::size_t size, const char *path, std::uint64_t length,
                               const char *journal);

// The line that says the cut of a put-back could not be synced, without its
// newline: "Cannot sync error file '<path>' after putting it back to its
// length of <length> bytes (<reason>); its journal '<journal>' is kept, so
// that a later run puts it back." (without the part about the journal when
// journal is null). Written as putBackFailureText writes.
std::size_t putBackSyncFailureText(char *buffer, std::size_t size, const char *path, std::uint64_t length,
                                   int error, const char *journal);

// The line that says a file is left as it is because another writer added to
// it, without its newline: "Warning - File '<path>' holds this run's findings
// followed by another writer's bytes; it is left as it is, not put back to
// its <length> bytes." (ownFirst), or "Warning - File '<path>' was changed by
// another writer while this run added to it; it is left as it is, not put
// back to its <length> bytes.". Written as putBackFailureText writes.
std::size_t otherWriterText(char *buffer, std::size_t size, const char *path, std::uint64_t length,
                            bool ownFirst);
// That line for the end of a put-back that left its file so.
std::string otherWriterLine(const AppendEnd &end);

} // namespace platform
