// The dictionary store: a bilingual glossary kept as a pair of files.
//
// The data file (".kio") is a sequence of records, each a signed 16-bit
// little-endian length followed by that many bytes of entry text (Windows-1252).
// The pointer file (".kpo") holds the count of entries (the two sentinels
// included) as a 32-bit little-endian number, then one 32-bit offset per
// entry, in the order of the entries' headwords (CompareHeadwords). A new
// dictionary is exactly 12 + 41 bytes.
//
// Editing never touches the main pair: BeginUpdate copies it to the working
// pair, every change lands there, Commit rewrites the main pair compactly.
// Commit is crash-safe: the new pair is written beside the old under
// "tempglo"/"temppont", made durable, and a commit mark "tempcommit" naming
// the target files is set before the new files are renamed over the old ones.
// Every open of a dictionary first finishes a half-done Commit: with the mark
// present it completes the renames (roll forward), without it it deletes the
// leftover new files (the old pair was never touched).
//
// The store keeps the slots, the headwords' sort keys and the data file in
// memory, so reading and finding entries does no file operation. Changes are
// written through to the working pair at the end of each operation, except
// inside a Batch, which writes them once at its end: use one for bulk work
// (merging, importing, replacing throughout the dictionary).
//
// The store is handed where its dictionary lies (LexiconFiles: the folder and
// the four names) when it is made or with SetFiles; it never looks at the
// session and never changes the working folder. The session's own
// dictionary is Lexicon() (lexicon_session.h).
//
// The store shows nothing and asks nothing: an operation that fails returns
// false (or an empty entry) and leaves its messages, in the words the
// program shows them, for the caller to take with TakeNotices. The editors
// show them (lexicon_editor/lexicon_prompts.h), kio-lexicon prints them.
// Long operations report progress and ask whether to stop through a
// LexiconProgress.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lexicon/dictionary_lock.h"
#include "lexicon/lexicon_entry.h"
#include "lexicon/lexicon_progress.h"
#include "lexicon/slot_list.h"

namespace kio {

// A message the store leaves for its caller: the text and the caption it is
// shown under.
struct LexiconNotice {
  std::string text;
  std::string caption;
};

// The result of Find for a key that sorts outside the sentinels.
constexpr uint32_t kOffLimits = 999999999;

// Where a dictionary lies: its folder and the names of its main pair and of
// the working pair an update edits. The folder ends in "/", or is empty for
// the working folder; the names are bare names in it.
struct LexiconFiles {
  std::string folder;
  std::string data;           // "ingles.kio": lower case
  std::string pointer;        // "ingles.kpo"
  std::string backupData;     // "ingles_bak.kio"
  std::string backupPointer;  // "ingles_bak.kpo"

  // The names derived from a data file name (lower-cased first), in `folder`.
  static LexiconFiles For(const std::string& folder, const std::string& dataFile);
  // A name in the dictionary's folder.
  std::string At(const std::string& name) const { return folder + name; }
  bool operator==(const LexiconFiles&) const = default;
};

// What opening a half-done Commit's leftovers found.
enum class CommitRecovery { kNothing, kRolledForward, kRolledBack };

class LexiconStore {
 public:
  explicit LexiconStore(LexiconFiles files = {});
  ~LexiconStore();
  LexiconStore(const LexiconStore&) = delete;
  LexiconStore& operator=(const LexiconStore&) = delete;

  // --- Names and dictionaries ---------------------------------------------

  // Where the dictionary lies. Create, RecordName and OpenNamed change the
  // names (never the folder) and tell the observer set with OnFilesChanged.
  const LexiconFiles& Files() const { return files_; }
  void SetFiles(LexiconFiles files) { files_ = std::move(files); }
  void OnFilesChanged(std::function<void(const LexiconFiles&)> observer) {
    filesChanged_ = std::move(observer);
  }

  // Sets the session's four dictionary names from a data file name
  // (lower-cased first); lexicon_session.cpp.
  static void DeriveNames(const std::string& dataFile);
  // Makes `name` the current dictionary and writes it into "lexicon.dat" in
  // the dictionary's folder; false for a name that cannot be a dictionary's
  // (the program cannot go on: its caller ends it).
  bool RecordName(std::string name);
  // Whether a lower-case name can be a dictionary's: a dot, not first, and
  // at least five characters.
  static bool IsDictionaryName(const std::string& name);
  // Creates an empty dictionary and opens it.
  bool Create(std::string name);
  // Opens the current main pair read-only; false when it cannot be opened
  // (OpenDictionaryAsking then offers to find or create one).
  bool Open();
  // Opens a dictionary read-only without recording its name: 0 on success,
  // 1 with a notice.
  int OpenNamed(std::string dataFile);
  bool CloseAll();

  // Writes the 12-byte pointer file and the 41-byte data file of an empty
  // dictionary, replacing any files of those names. Throws FileError.
  static void WriteEmptyPair(const std::string& pointerFile, const std::string& dataFile);

  // Finishes or undoes a Commit that was cut short in the dictionary's
  // folder.
  CommitRecovery RecoverCommit();

  // --- Editing --------------------------------------------------------------

  bool BeginUpdate();
  // Ends editing: closes the files and deletes the working pair.
  void EndUpdate();

  // Reads real entry `number` for display; clamps `number` to 1 .. count-2
  // (an empty dictionary yields its first sentinel). Empty after a message.
  LexiconEntry ReadEntry(uint32_t& number);
  // The same read for searching: clamps `number` only from above, to count-1.
  LexiconEntry ProbeEntry(uint32_t& number);
  // True when the text is bad (after message (5)).
  bool ValidateEntry(const std::string& text, uint32_t number);

  // The position of `key`'s entry, or the position at which it belongs (and
  // `key` is then emptied); kOffLimits when it sorts outside the sentinels; 0
  // for an empty key.
  uint32_t Find(std::string& key);
  // Inserts `text` (an entry whose headword is `key`) at its place, or
  // replaces the entry of the same headword when ReplaceDuplicates is on.
  bool PutEntry(std::string& key, const std::string& text);

  // Pointer primitives. InsertSlot opens slot `number` (1 .. count-1) as a
  // copy of the one that was there; DeleteSlot removes a real entry's slot
  // (1 .. count-2); AppendRecord appends `text` as a record and points real
  // entry `number` at it. Each returns false for a number outside its range.
  bool InsertSlot(uint32_t number);
  bool DeleteSlot(uint32_t number);
  bool AppendRecord(uint32_t number, const std::string& text);
  // Removes entries first .. end-1; false (doing nothing) unless
  // 1 <= first <= end <= count-1.
  bool DeleteRange(uint32_t first, uint32_t end);

  // Rewrites the main pair compactly from the working pair (the editor's
  // Save); the working pair stays current. At every progress step it asks
  // `progress` whether to stop (CommitInterruptQuestion is the editor's
  // question); stopping leaves the main pair untouched.
  bool Commit(const LexiconProgress& progress = {});

  bool ReplaceDuplicates() const { return replaceDuplicates_; }
  void SetReplaceDuplicates(bool on) { replaceDuplicates_ = on; }

  // Defers writing the working pair until the last Batch of a nest ends.
  class Batch {
   public:
    explicit Batch(LexiconStore& store);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    LexiconStore& store_;
  };

  // --- State ----------------------------------------------------------------

  uint32_t Count() const { return static_cast<uint32_t>(slots_.size()); }
  bool IsOpen() const { return open_; }
  bool IsUpdating() const { return open_ && writable_; }

  // Opens a pair given as bytes: the read-only opens come here with the files'
  // bytes; a writable pair opened here changes in memory only (checks and
  // fuzzing). False, after a message, when the pair cannot be read at all.
  bool OpenBytes(std::string pointerBytes, std::string dataBytes, bool writable = false);

  // For fault-injection tests: called with a growing step number at every
  // file operation of Commit.
  static void SetCommitStepObserver(void (*observer)(int step));

  // The messages of the operations since the last call, oldest first.
  std::vector<LexiconNotice> TakeNotices();
  // Leaves a message of a bulk operation run over the store with the rest.
  void Leave(LexiconNotice notice) { notices_.push_back(std::move(notice)); }

 private:
  // Takes a pair into memory; false when its count cannot be right.
  bool LoadPair(const std::string& pointerBytes, std::string dataBytes);
  void ClearMemory();
  LexiconSlot MakeSlot(uint32_t offset, const std::string* sortKey = nullptr);
  uint32_t FindSortKey(std::string& key, const std::string& sortKey);
  bool AppendRecordWithKey(uint32_t number, const std::string& text, const std::string* sortKey);
  // The record at `offset` as the reads find it: false when it does not lie
  // whole inside the data file or its length is outside 0 .. 4094.
  bool RecordAt(uint32_t offset, std::string& text, int16_t* length = nullptr) const;
  std::string_view KeyOf(const LexiconSlot& slot) const;
  bool OpenPairReadOnly();
  // Takes lock_ on the current pair; false with the in-use notice.
  bool LockPair(DictionaryLock::Kind kind);
  void WriteThrough(const std::string& failure);
  LexiconEntry ReadRecord(uint32_t number, const std::string& notOpen, const std::string& damaged);
  void Flush();
  void MarkPointerDirty(size_t fromSlot);
  bool WriteCommittedPair(const std::string& pointerBytes, const std::string& dataBytes);
  void Notice(const std::string& text, const std::string& caption);
  // Sets the names for `dataFile` and tells the observer.
  void Rename(LexiconFiles files);

  // The current pair: the main pair after Open, the working pair while
  // updating. Descriptors are -1 when closed.
  int pointerFd_ = -1;
  int dataFd_ = -1;
  bool open_ = false;
  bool writable_ = false;

  SlotList slots_;
  std::string keys_;             // sort keys of the headwords, appended as entries come
  std::string data_;             // the data file's bytes, unwritten appends included
  uint64_t pointerLength_ = 0;   // the pointer file's length as the operations leave it
  uint64_t dataOnDisk_ = 0;      // how much of data_ the data file holds
  size_t dirtyFrom_ = SIZE_MAX;  // first slot not yet written
  bool countDirty_ = false;
  int batchDepth_ = 0;
  // Held exclusively from BeginUpdate to the end of the update, shared while
  // a read-only open reads the pair (dictionary_lock.h).
  DictionaryLock lock_;
  bool replaceDuplicates_ = true;
  std::vector<LexiconNotice> notices_;
  LexiconFiles files_;
  std::function<void(const LexiconFiles&)> filesChanged_;
};

// The question an editor asks when Escape is pressed during Commit, at entry
// `n`.
std::string CommitInterruptQuestion(uint32_t n);

// The pointer file's name for a data file name: the part before the first
// dot plus ".kpo".
std::string PointerNameFor(const std::string& dataFile);

}  // namespace kio
