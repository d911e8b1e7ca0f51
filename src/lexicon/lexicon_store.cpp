#include "lexicon/lexicon_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fileio/document.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "lexicon/collation.h"
#include "lexicon/pair_bytes.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kio {
namespace {

// --- Messages -----------------------------------------------------------------

const std::string kCannotCreateConfig = " Cannot create config file. Program aborted. ";
const std::string kRecovering =
    Win1252(" KIO is trying to recover dictionary.\r\n\r\n KIO está tentanto recuperar dicionário.   ");
const std::string kCannotSaveProgramData =
    Win1252("Cannot save program data.\r\n\r\nImpossível salvar dados do programa.");
const std::string kCannotCreateDictionary =
    Win1252("Cannot create new dictionary.\r\n\r\nImpossível criar novo dicionário.");
const std::string kNamedDictionaryNotFound =
    Win1252("Dictionary not found!  \r\n\r\nDicionário não encontrado!");
const std::string kCannotAccess =
    Win1252("Cannot access dictionary.\r\n\r\nImpossível acessar o dicionário!  Possivelmente deteriorado.");
const std::string kCannotStart = Win1252(
    "Cannot start dictionary.\r\nAlready Open?\r\n\r\nImpossível inicializar atualização do "
    "dicionario.\r\nJá aberto?");
const std::string kReadError1 =
    "Error (1) on reading entry from dictionary.\r\n\r\nErro (1) ao ler verbete do dicionario.";
const std::string kReadError2 =
    "Error (2) on reading entry from dictionary.\r\n\r\nErro (2) ao ler verbete do dicionario.";
const std::string kReadError3 =
    "Error (3) on reading entry from dictionary.\r\n\r\nErro (3) ao ler verbete do dicionario.";
const std::string kReadError4 =
    "Error (4) on reading entry from dictionary.\r\n\r\nErro  (4) ao ler verbete do dicionario.";
const std::string kReadError5 =
    "Error (5) on reading entry from dictionary.\r\n\r\nErro  (5)  ao ler verbete: ";
const std::string kOffLimitsMessage = Win1252(
    "Off limits.\r\n\r\nUltrapassou limites do dicionário. Processamento suspenso.\n\rPossível solução: "
    "Tente excluir o item ");
const std::string kAddingError = "Adding error.\r\n\r\nErro ao adicionar (nos ponteiros).";
const std::string kDeletingError = "Deleting error.\r\n\r\nErro ao excluir (nos ponteiros).";
const std::string kEntryError = "Entry error\r\n\r\nErro ao botar verbete.";
const std::string kIndexDamaged = Win1252(
    "Cannot index dictionary.  File probably deteriorated.\r\nImpossível indexar dicionário. Arquivo "
    "possivelmente deteriorado.");
const std::string kIndexFailed = Win1252("Cannot index dictionary. \r\nImpossível indexar dicionário.");
// Entries the store refuses because they could never be read back or would
// displace the closing sentinel.
const std::string kEntryTooLong = Win1252(
    "Entry too long: an entry holds at most 4093 characters.\r\n\r\n"
    "Verbete longo demais: um verbete tem no máximo 4093 caracteres.\r\n\r\n");
const std::string kEntryReserved = Win1252(
    "This headword closes the dictionary and cannot be an entry.\r\n\r\n"
    "Esta entrada fecha o dicionário e não pode ser um verbete.\r\n\r\n");
const std::string kEntryInvalid = Win1252(
    "Invalid entry: it needs a headword, the separator after it and the end mark.\r\n\r\n"
    "Verbete inválido: precisa de entrada, do separador depois dela e da marca de fim.\r\n\r\n");

std::string InterruptQuestion(size_t n) {
  return Win1252("Indexed up to \r\nIndexou até palavra ") + std::to_string(n) +
         Win1252(". \r\nInterrupt index ? \r\nInterromper Indexação?");
}

// --- Files --------------------------------------------------------------------

const char* const kTempPointer = "temppont";
const char* const kTempData = "tempglo";
const char* const kCommitMark = "tempcommit";

void (*gCommitStepObserver)(int) = nullptr;
int gCommitStep = 0;

void CommitStep() {
  if (gCommitStepObserver) gCommitStepObserver(++gCommitStep);
}

[[noreturn]] void ThrowErrno() { throw FileError{CauseFromErrno(errno)}; }

// Reads a whole file; false when it cannot be opened. Read failures throw.
bool ReadWhole(const std::string& name, std::string& out) {
  int fd = ::open(SystemPath(name).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  out.clear();
  struct stat st;
  if (fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      throw FileError{CauseFromErrno(e)};
    }
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

void WriteAt(int fd, const char* data, size_t size, uint64_t at) {
  while (size > 0) {
    ssize_t n = ::pwrite(fd, data, size, static_cast<off_t>(at));
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowErrno();
    }
    data += n;
    size -= static_cast<size_t>(n);
    at += static_cast<uint64_t>(n);
  }
}

int CreateTruncated(const std::string& name) {
  int fd = ::open(SystemPath(name).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) ThrowErrno();
  return fd;
}

void RemoveFile(const std::string& name) { ::unlink(SystemPath(name).c_str()); }

bool Exists(const std::string& name) {
  struct stat st;
  return ::stat(SystemPath(name).c_str(), &st) == 0;
}

int64_t SizeOf(const std::string& name) {
  struct stat st;
  return ::stat(SystemPath(name).c_str(), &st) == 0 ? st.st_size : -1;
}

void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.empty() ? "." : SystemName(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes a new file in chunks and makes it durable.
void WriteDurable(const std::string& name, const std::string& bytes) {
  int fd = CreateTruncated(name);
  try {
    const size_t kChunk = 1 << 16;
    for (size_t at = 0; at < bytes.size(); at += kChunk) {
      WriteAt(fd, bytes.data() + at, std::min(kChunk, bytes.size() - at), at);
      CommitStep();
    }
    if (::fsync(fd) != 0) ThrowErrno();
    CommitStep();
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0) ThrowErrno();
}

void RenameOver(const std::string& from, const std::string& to) {
  if (::rename(SystemName(from).c_str(), SystemPath(to).c_str()) != 0) ThrowErrno();
}

void Unlink(const std::string& name) { ::unlink(SystemName(name).c_str()); }

std::string UntilZero(const std::string& text) {
  size_t zero = text.find('\0');
  return zero == std::string::npos ? text : text.substr(0, zero);
}

}  // namespace

// --- The store ------------------------------------------------------------------

LexiconFiles LexiconFiles::For(const std::string& folder, const std::string& dataFile) {
  LexiconFiles f;
  f.folder = folder;
  f.data = ToLower(dataFile);
  f.pointer = ReplaceAll(f.data, ".kio", ".kpo");
  f.backupData = ReplaceAll(f.pointer, ".kpo", "_bak.kio");
  f.backupPointer = ReplaceAll(f.backupData, ".kio", ".kpo");
  return f;
}

LexiconStore::LexiconStore(LexiconFiles files) : files_(std::move(files)) {}
LexiconStore::~LexiconStore() { CloseAll(); }

std::string PointerNameFor(const std::string& dataFile) {
  return dataFile.substr(0, dataFile.find('.')) + ".kpo";
}

void LexiconStore::SetCommitStepObserver(void (*observer)(int)) { gCommitStepObserver = observer; }

void LexiconStore::Rename(LexiconFiles files) {
  files_ = std::move(files);
  if (filesChanged_) filesChanged_(files_);
}

bool LexiconStore::IsDictionaryName(const std::string& name) {
  size_t dot = name.find('.');
  return dot != 0 && dot != std::string::npos && name.size() >= 5;
}

bool LexiconStore::RecordName(std::string name) {
  name = ToLower(name);
  if (!IsDictionaryName(name)) {
    Notice(kCannotCreateConfig, OopsCaption());
    return false;
  }
  size_t dot = name.find('.');
  // The working pair follows the dictionary's name too, so that editing a
  // new dictionary never works in the files of the one before.
  std::string base = name.substr(0, dot);
  LexiconFiles files = files_;
  files.pointer = PointerNameFor(name);
  files.data = name;
  files.backupData = base + "_bak.kio";
  files.backupPointer = base + "_bak.kpo";
  Rename(std::move(files));
  const std::string dat = ResolveCase(files_.At("lexicon.dat"));
  const std::string systemDat = SystemName(dat);
  struct stat st;
  if (::stat(systemDat.c_str(), &st) == 0)
    ::chmod(systemDat.c_str(), st.st_mode | S_IWUSR);
  else
    Notice(kRecovering, "KIO");
  try {
    File f;
    f.Create(dat);
    f.Write(name);
    f.Close();
  } catch (const FileError& e) {
    Notice(FileErrorMessage(e.cause, kCannotSaveProgramData), OopsCaption());
  }
  return true;
}

void LexiconStore::WriteEmptyPair(const std::string& pointerFile, const std::string& dataFile) {
  PairBytes pair(2);
  pair.Close();
  RemoveFile(pointerFile);
  RemoveFile(dataFile);
  for (auto [name, bytes] : {std::pair{&pointerFile, &pair.pointer}, std::pair{&dataFile, &pair.data}}) {
    int fd = CreateTruncated(*name);
    try {
      WriteAt(fd, bytes->data(), bytes->size(), 0);
    } catch (...) {
      ::close(fd);
      throw;
    }
    ::close(fd);
  }
}

bool LexiconStore::Create(std::string name) {
  name = ToLower(name);
  if (name == "*.kio" || name.empty()) return false;
  CloseAll();
  if (name.find('.', 1) == std::string::npos) {
    if (!RecordName(files_.data)) return false;
    Open();
    return true;
  }
  LexiconFiles files = files_;
  files.pointer = PointerNameFor(name);
  files.data = name;
  Rename(std::move(files));
  try {
    WriteEmptyPair(files_.At(files_.pointer), files_.At(files_.data));
  } catch (const FileError& e) {
    Notice(FileErrorMessage(e.cause, kCannotCreateDictionary), OopsCaption());
    return Open();
  }
  CloseAll();
  if (!RecordName(name)) return false;
  Open();
  return true;
}

bool LexiconStore::OpenPairReadOnly() {
  std::string pointer, data;
  try {
    if (!ReadWhole(files_.At(files_.pointer), pointer) || !ReadWhole(files_.At(files_.data), data))
      return false;
  } catch (const FileError&) {
    pointer.clear();  // unreadable: refused like a damaged pair
  }
  OpenBytes(std::move(pointer), std::move(data));
  return true;  // the files exist; a refusal has been shown
}

bool LexiconStore::Open() {
  CloseAll();
  RecoverCommit();
  if (!LockPair(DictionaryLock::Kind::kShared)) return false;
  const bool opened = OpenPairReadOnly() && open_;
  lock_.Release();  // the pair is in memory now
  return opened;
}

bool LexiconStore::LockPair(DictionaryLock::Kind kind) {
  if (lock_.Acquire(files_.At(files_.data), kind)) return true;
  Notice(DictionaryInUseMessage(), OopsCaption());
  return false;
}

int LexiconStore::OpenNamed(std::string dataFile) {
  CloseAll();
  dataFile = ToLower(dataFile);
  LexiconFiles files = files_;
  files.data = dataFile;
  files.pointer = ReplaceAll(dataFile, ".kio", ".kpo");
  Rename(std::move(files));
  RecoverCommit();
  if (!LockPair(DictionaryLock::Kind::kShared)) return 1;
  const bool found = OpenPairReadOnly();
  lock_.Release();  // the pair is in memory now
  if (!found) {
    Notice(kNamedDictionaryNotFound, OopsCaption());
    return 1;
  }
  return open_ ? 0 : 1;
}

bool LexiconStore::OpenBytes(std::string pointerBytes, std::string dataBytes, bool writable) {
  CloseAll();
  if (!LoadPair(pointerBytes, std::move(dataBytes))) {
    Notice(kCannotAccess, OopsCaption());
    return false;
  }
  open_ = true;
  writable_ = writable;
  return true;
}

bool LexiconStore::CloseAll() {
  try {
    Flush();
  } catch (const FileError&) {
  }
  if (pointerFd_ >= 0) ::close(pointerFd_);
  if (dataFd_ >= 0) ::close(dataFd_);
  pointerFd_ = dataFd_ = -1;
  open_ = writable_ = false;
  ClearMemory();
  lock_.Release();
  return true;
}

void LexiconStore::ClearMemory() {
  slots_.Assign({});
  keys_.clear();
  keys_.shrink_to_fit();
  data_.clear();
  data_.shrink_to_fit();
  pointerLength_ = dataOnDisk_ = 0;
  dirtyFrom_ = SIZE_MAX;
  countDirty_ = false;
}

// --- The pair in memory ---------------------------------------------------------

bool LexiconStore::LoadPair(const std::string& pointer, std::string data) {
  ClearMemory();
  if (pointer.size() < 4) return false;
  uint32_t count = U32At(pointer, 0);
  if (count < 2 || count > (pointer.size() - 4) / 4) return false;
  data_ = std::move(data);
  dataOnDisk_ = data_.size();
  pointerLength_ = pointer.size();
  std::vector<LexiconSlot> slots;
  slots.reserve(count);
  keys_.reserve(static_cast<size_t>(count) * 12);
  for (uint32_t i = 0; i < count; ++i) slots.push_back(MakeSlot(U32At(pointer, 4 + 4 * i)));
  slots_.Assign(slots);
  return true;
}

bool LexiconStore::RecordAt(uint32_t offset, std::string& text, int16_t* length) const {
  int16_t n = 0;
  const RecordFault fault = RecordIn(data_, offset, n);
  if (length) *length = n;
  if (fault != RecordFault::kNone) return false;
  text.assign(data_, offset + 2, static_cast<size_t>(n));
  return true;
}

LexiconSlot LexiconStore::MakeSlot(uint32_t offset, const std::string* sortKey) {
  LexiconSlot slot;
  slot.offset = offset;
  slot.keyStart = static_cast<uint32_t>(keys_.size());
  if (sortKey) {  // a record just stored from a sound entry
    keys_ += *sortKey;
    slot.keySize = static_cast<uint32_t>(sortKey->size());
    return slot;
  }
  std::string text;
  if (!RecordAt(offset, text) || !EntryTextIsSound(text)) {
    slot.damaged = 1;
    return slot;
  }
  AppendHeadwordSortKey(Headword(text), keys_);
  slot.keySize = static_cast<uint32_t>(keys_.size() - slot.keyStart);
  return slot;
}

std::string_view LexiconStore::KeyOf(const LexiconSlot& slot) const {
  return std::string_view(keys_).substr(slot.keyStart, slot.keySize);
}

// --- Writing the working pair --------------------------------------------------

void LexiconStore::MarkPointerDirty(size_t fromSlot) {
  if (fromSlot < dirtyFrom_) dirtyFrom_ = fromSlot;
  countDirty_ = true;
}

void LexiconStore::Flush() {
  if (!open_ || !writable_) return;
  if (pointerFd_ < 0 || dataFd_ < 0) {  // a pair held in memory only
    dataOnDisk_ = data_.size();
    dirtyFrom_ = SIZE_MAX;
    countDirty_ = false;
    return;
  }
  if (data_.size() > dataOnDisk_) {
    WriteAt(dataFd_, data_.data() + dataOnDisk_, data_.size() - dataOnDisk_, dataOnDisk_);
    dataOnDisk_ = data_.size();
  }
  if (dirtyFrom_ == SIZE_MAX && !countDirty_) return;
  size_t count = slots_.size();
  if (countDirty_) {
    std::string c;
    PutU32(c, static_cast<uint32_t>(count));
    WriteAt(pointerFd_, c.data(), 4, 0);
  }
  if (dirtyFrom_ != SIZE_MAX) {
    size_t from = std::min(dirtyFrom_, count);
    const size_t tailSize = pointerLength_ > 4 + 4 * from ? pointerLength_ - 4 - 4 * from : 0;
    std::string tail;
    tail.reserve(tailSize);
    slots_.ForEachFrom(from, [&](size_t, const LexiconSlot& s) {
      PutU32(tail, s.offset);
      return true;
    });
    // The spare trailing slot left by an insertion repeats the last slot.
    uint32_t spare = count ? slots_[count - 1].offset : 0;
    while (tail.size() + 4 <= tailSize) PutU32(tail, spare);
    tail.resize(tailSize, '\0');
    WriteAt(pointerFd_, tail.data(), tail.size(), 4 + 4 * from);
    struct stat st;
    if (fstat(pointerFd_, &st) == 0 && static_cast<uint64_t>(st.st_size) != pointerLength_ &&
        ::ftruncate(pointerFd_, static_cast<off_t>(pointerLength_)) != 0)
      ThrowErrno();
  }
  dirtyFrom_ = SIZE_MAX;
  countDirty_ = false;
}

void LexiconStore::WriteThrough(const std::string& failure) {
  if (batchDepth_ > 0) return;
  try {
    Flush();
  } catch (const FileError& e) {
    Notice(FileErrorMessage(e.cause, failure), OopsCaption());
  }
}

LexiconStore::Batch::Batch(LexiconStore& store) : store_(store) { ++store_.batchDepth_; }

LexiconStore::Batch::~Batch() {
  --store_.batchDepth_;
  store_.WriteThrough(kEntryError);
}

// --- Editing -----------------------------------------------------------------------

CommitRecovery LexiconStore::RecoverCommit() {
  // Tidying waits for a save in progress to end, and leaves its files alone
  // when it goes on.
  DictionaryLock lock;
  if (!lock.Acquire(files_.At(files_.data), DictionaryLock::Kind::kExclusive))
    return CommitRecovery::kNothing;
  const std::string tempData = files_.At(kTempData), tempPointer = files_.At(kTempPointer),
                    commitMark = files_.At(kCommitMark);
  std::string mark;
  bool marked = false;
  try {
    marked = ReadWhole(commitMark, mark);
  } catch (const FileError&) {
    return CommitRecovery::kNothing;
  }
  if (marked) {
    // "kio commit", pointer name, data name, pointer size, data size.
    std::vector<std::string> lines;
    size_t start = 0, nl;
    while ((nl = mark.find('\n', start)) != std::string::npos) {
      lines.push_back(mark.substr(start, nl - start));
      start = nl + 1;
    }
    bool sound = lines.size() == 5 && lines[0] == "kio commit" && !lines[1].empty() && !lines[2].empty();
    if (sound) {
      // The mark names the pair by its bare names, in the mark's own folder.
      const std::pair<std::string, std::string> moves[2] = {{tempData, files_.At(lines[2])},
                                                            {tempPointer, files_.At(lines[1])}};
      const std::string sizes[2] = {lines[4], lines[3]};
      bool done = true;
      for (int i = 0; i < 2; ++i) {
        if (SizeOf(moves[i].first) == std::atoll(sizes[i].c_str()))
          ::rename(SystemName(moves[i].first).c_str(), SystemPath(moves[i].second).c_str());
        if (Exists(moves[i].first)) done = false;
      }
      SyncFolder(files_.folder);
      if (!done) return CommitRecovery::kNothing;
      Unlink(commitMark);
      SyncFolder(files_.folder);
      return CommitRecovery::kRolledForward;
    }
    Unlink(commitMark);
  }
  bool any = false;
  for (const std::string& name : {tempData, tempPointer}) {
    if (Exists(name)) {
      Unlink(name);
      any = true;
    }
  }
  if (any) SyncFolder(files_.folder);
  return any || marked ? CommitRecovery::kRolledBack : CommitRecovery::kNothing;
}

bool LexiconStore::BeginUpdate() {
  CloseAll();
  // Held until the update ends: no other program saves or tidies the pair
  // meanwhile.
  if (!LockPair(DictionaryLock::Kind::kExclusive)) return false;
  RecoverCommit();
  const std::string names[4] = {files_.At(files_.pointer), files_.At(files_.data),
                                files_.At(files_.backupPointer), files_.At(files_.backupData)};
  for (const std::string& name : names) {
    const std::string problem = DocumentFileProblem(name);
    if (!problem.empty()) {
      Notice(problem, OopsCaption());
      CloseAll();
      return false;
    }
  }
  RemoveFile(names[2]);
  RemoveFile(names[3]);
  std::string pointer, data;
  try {
    if (!ReadWhole(names[0], pointer) || !ReadWhole(names[1], data)) ThrowErrno();
    pointerFd_ = CreateTruncated(names[2]);
    dataFd_ = CreateTruncated(names[3]);
    WriteAt(pointerFd_, pointer.data(), pointer.size(), 0);
    WriteAt(dataFd_, data.data(), data.size(), 0);
  } catch (const FileError& e) {
    Notice(FileErrorMessage(e.cause, kCannotStart), OopsCaption());
    CloseAll();
    return false;
  }
  if (!LoadPair(pointer, std::move(data))) {
    Notice(kCannotAccess, OopsCaption());
    CloseAll();
    return false;
  }
  open_ = writable_ = true;
  return true;
}

void LexiconStore::EndUpdate() {
  // The lock outlives the working pair: another program's update may start
  // only once it is gone.
  DictionaryLock hold;
  if (lock_.Held()) hold.Acquire(files_.At(files_.data), DictionaryLock::Kind::kExclusive);
  CloseAll();
  RemoveFile(files_.At(files_.backupPointer));
  RemoveFile(files_.At(files_.backupData));
}

bool LexiconStore::ValidateEntry(const std::string& text, uint32_t number) {
  if (EntryTextIsSound(text)) return false;
  Notice(kReadError5 + std::to_string(number) + ". Tente excluir verbete.", OopsCaption());
  return true;
}

LexiconEntry LexiconStore::ReadEntry(uint32_t& number) {
  if (open_) {
    if (number == 0) number = 1;
    if (number > Count() - 2) number = Count() - 2;
  }
  return ReadRecord(number, kReadError1, kReadError2);
}

LexiconEntry LexiconStore::ProbeEntry(uint32_t& number) {
  if (open_ && number > Count() - 1) number = Count() - 1;
  return ReadRecord(number, kReadError3, kReadError4);
}

LexiconEntry LexiconStore::ReadRecord(uint32_t number, const std::string& notOpen,
                                      const std::string& damaged) {
  if (!open_) {
    Notice(FileErrorMessage(kFileNotFound, notOpen), OopsCaption());
    return "";
  }
  std::string text;
  if (!RecordAt(slots_[number].offset, text) || ValidateEntry(text, number)) {
    Notice(damaged, OopsCaption());
    return "";
  }
  return UntilZero(text);
}

uint32_t LexiconStore::Find(std::string& key) {
  if (key.empty()) return 0;
  return FindSortKey(key, HeadwordSortKey(key));
}

uint32_t LexiconStore::FindSortKey(std::string& key, const std::string& sought) {
  if (!open_) return kOffLimits;
  // The first entry whose headword does not sort before the key. An entry
  // that cannot be read has no headword, as a failed read gives, and is
  // reported as the search meets it.
  size_t at = slots_.LowerBound([&](size_t position, const LexiconSlot& slot) {
    if (slot.damaged) {
      uint32_t n = static_cast<uint32_t>(position);
      ProbeEntry(n);
    }
    return CompareSortKeys(KeyOf(slot), sought) < 0;
  });
  if (at == 0 || at >= slots_.size()) return kOffLimits;
  if (CompareSortKeys(KeyOf(slots_[at]), sought) != 0) key.clear();
  return static_cast<uint32_t>(at);
}

bool LexiconStore::PutEntry(std::string& key, const std::string& text) {
  if (text.size() > kLongestEntry) {
    Notice(kEntryTooLong + key, OopsCaption());
    return false;
  }
  const std::string headword = Headword(text);
  const std::string sortKey = HeadwordSortKey(key);
  if (key.empty() || text.find('\0') != std::string::npos || !EntryTextIsSound(text) || headword.empty() ||
      (headword != key && HeadwordSortKey(headword) != sortKey)) {
    Notice(kEntryInvalid + key, OopsCaption());
    return false;
  }
  uint32_t p = FindSortKey(key, sortKey);
  if (p == kOffLimits) {
    Notice(kOffLimitsMessage + key, OopsCaption());
    key.clear();
    return false;
  }
  Batch batch(*this);
  if (!key.empty()) {
    if (p == Count() - 1) {
      Notice(kEntryReserved + key, OopsCaption());
      return false;
    }
    if (!replaceDuplicates_) return true;
    DeleteSlot(p);
  }
  InsertSlot(p);
  AppendRecordWithKey(p, text, &sortKey);
  return true;
}

bool LexiconStore::InsertSlot(uint32_t number) {
  if (!open_ || number < 1 || number > Count() - 1) return false;
  slots_.Insert(number, slots_[number]);
  pointerLength_ = std::max<uint64_t>(pointerLength_, 4 + 4 * static_cast<uint64_t>(Count()) + 4);
  MarkPointerDirty(number);
  WriteThrough(kAddingError);
  return true;
}

bool LexiconStore::DeleteSlot(uint32_t number) {
  if (!open_ || number < 1 || number + 2 > Count()) return false;
  slots_.Erase(number);
  pointerLength_ -= 4;
  MarkPointerDirty(number);
  WriteThrough(kDeletingError);
  return true;
}

bool LexiconStore::DeleteRange(uint32_t first, uint32_t end) {
  if (!open_ || first < 1 || first > end || end > Count() - 1) return false;
  slots_.Erase(first, end);
  pointerLength_ -= 4 * static_cast<uint64_t>(end - first);
  MarkPointerDirty(first);
  WriteThrough(kDeletingError);
  return true;
}

bool LexiconStore::AppendRecord(uint32_t number, const std::string& text) {
  return AppendRecordWithKey(number, text, nullptr);
}

bool LexiconStore::AppendRecordWithKey(uint32_t number, const std::string& text, const std::string* sortKey) {
  if (!open_ || number < 1 || number + 2 > Count() || text.size() > static_cast<size_t>(kLongestRecord))
    return false;
  uint64_t offset = data_.size();
  if (offset + 2 + text.size() > UINT32_MAX) {
    Notice(FileErrorMessage(kDiskFull, kEntryError), OopsCaption());
    return false;
  }
  PutRecord(data_, text);
  slots_[number] = MakeSlot(static_cast<uint32_t>(offset), sortKey);
  MarkPointerDirty(number);
  WriteThrough(kEntryError);
  return true;
}

// --- Commit ------------------------------------------------------------------------

bool LexiconStore::WriteCommittedPair(const std::string& pointerBytes, const std::string& dataBytes) {
  gCommitStep = 0;
  RecoverCommit();
  const std::string& pointerName = files_.pointer;
  const std::string& dataName = files_.data;
  const std::string tempData = files_.At(kTempData), tempPointer = files_.At(kTempPointer),
                    commitMark = files_.At(kCommitMark);
  bool dataRenamed = false;
  try {
    WriteDurable(tempData, dataBytes);
    WriteDurable(tempPointer, pointerBytes);
    // From the moment the mark is on disk the new pair is the dictionary: an
    // interrupted rename is completed by the next open. A mark cut short
    // does not parse, and then the main pair was not touched yet.
    WriteDurable(commitMark, "kio commit\n" + pointerName + "\n" + dataName + "\n" +
                                 std::to_string(pointerBytes.size()) + "\n" +
                                 std::to_string(dataBytes.size()) + "\n");
    SyncFolder(files_.folder);
    CommitStep();
    RenameOver(tempData, files_.At(dataName));
    dataRenamed = true;
    CommitStep();
    RenameOver(tempPointer, files_.At(pointerName));
    CommitStep();
    SyncFolder(files_.folder);
    Unlink(commitMark);
    CommitStep();
  } catch (const FileError&) {
    // A save that failed before the main pair was touched leaves nothing,
    // its mark included; once the data file is in place the mark stays, so
    // that the next open completes the save.
    if (!dataRenamed) {
      for (const std::string& name : {tempData, tempPointer, commitMark}) Unlink(name);
      SyncFolder(files_.folder);
    }
    throw;
  }
  return true;
}

bool LexiconStore::Commit(const LexiconProgress& progress) {
  ProgressLoop loop(progress, Count());
  if (!IsUpdating()) {
    Notice(FileErrorMessage(kFileNotFound, kIndexFailed), OopsCaption());
    return false;
  }
  const uint32_t count = Count();
  PairBytes pair(count);
  pair.pointer.reserve(4 + 4 * static_cast<size_t>(count));
  pair.data.reserve(data_.size());
  bool stopped = false;
  std::string text;
  slots_.ForEachFrom(1, [&](size_t n, const LexiconSlot& slot) {
    if (n + 1 >= count) return false;
    if (!RecordAt(slot.offset, text) || ValidateEntry(text, static_cast<uint32_t>(n))) {
      Notice(kIndexDamaged, "Kio");
      stopped = true;
      return false;
    }
    pair.Add(text);
    if (!loop.Step(static_cast<uint32_t>(n))) {
      stopped = true;
      return false;
    }
    return true;
  });
  if (stopped) return false;
  pair.Close();
  try {
    WriteCommittedPair(pair.pointer, pair.data);
  } catch (const FileError& e) {
    Notice(FileErrorMessage(e.cause, kIndexFailed), OopsCaption());
    return false;
  }
  return true;
}

std::string CommitInterruptQuestion(uint32_t n) { return InterruptQuestion(n); }

void LexiconStore::Notice(const std::string& text, const std::string& caption) {
  notices_.push_back({text, caption});
}

std::vector<LexiconNotice> LexiconStore::TakeNotices() {
  std::vector<LexiconNotice> taken;
  taken.swap(notices_);
  return taken;
}

}  // namespace kio
