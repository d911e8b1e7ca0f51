// kio-lexicon: keeps KIO dictionaries from the command line with the same
// store code as the dictionary editor. Run with --help for its usage.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "fileio/file.h"
#include "fileio/session.h"
#include "lexicon/dictionary_lock.h"
#include "lexicon/lexicon_store.h"
#include "lexicon/lexicon_text.h"
#include "lexicon/lexicon_transfer.h"
#include "lexicon/pair_check.h"
#include "platform/console.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace fs = std::filesystem;
using namespace kio;

namespace {

const char kUsage[] =
    "Usage: kio-lexicon COMMAND DICT [ARGS]\n"
    "\n"
    "Keeps a KIO dictionary: DICT is the path of its .kio file, with its .kpo\n"
    "beside it.\n"
    "\n"
    "Commands:\n"
    "  create DICT [--force]      create an empty dictionary (--force replaces one)\n"
    "  check DICT                 check the pair: count, offsets, lengths, entries,\n"
    "                             sentinels and order; the exit status says whether\n"
    "                             it is sound\n"
    "  lookup DICT WORD...        show the entry of each word, or say it is not found\n"
    "  export DICT OUT.txt        write the dictionary in the editor's text layout\n"
    "                             (Windows-1252)\n"
    "  import DICT FILE [--replace|--keep]\n"
    "                             add the entries of FILE: the text layout, or a dictd\n"
    "                             dictionary given by its .index file (its .dict or\n"
    "                             .dict.dz beside it); creates DICT if it does not exist\n"
    "  merge DICT OTHER [--replace|--keep]\n"
    "                             add the entries of the dictionary OTHER\n"
    "\n"
    "With --replace (the default) an entry whose headword is already in DICT\n"
    "replaces it; with --keep it is skipped. Headwords are compared ignoring\n"
    "case. Messages go to standard error. Ctrl-C during an export or a save\n"
    "stops it; the dictionary stays as it was. (--yes and --no are accepted\n"
    "and change nothing: the tool asks no questions.)\n"
    "\n"
    "Exit status: 0 done (dictionary sound, every word found); 1 not done or\n"
    "not sound; 2 wrong usage.\n";

// A program text (Windows-1252, CR LF) as the console shows it.
std::string ForConsoleText(const std::string& text) { return ReplaceAll(Cp1252ToUtf8(text), "\r\n", "\n"); }

// Prints what the store left to say, through the console's message lines
// (no question is ever asked).
void PrintNotices(std::vector<LexiconNotice> notices) {
  for (const LexiconNotice& n : notices) ShowMessage(n.text, n.caption);
}

// Ctrl-C stops a long operation.
LexiconProgress StopOnInterrupt() {
  return {{}, [](uint32_t) { return EscapePressed(); }};
}

int Usage(const std::string& why) {
  std::cerr << "kio-lexicon: " << why << "\nRun kio-lexicon --help for the usage.\n";
  return 2;
}

// `why` is a program text: it may name files.
int Fail(const std::string& why) {
  std::cerr << "kio-lexicon: " << ForConsoleText(why) << "\n";
  return 1;
}

// The full path of a file named on the command line (a program text),
// taken from where the tool was started.
std::optional<std::string> FullPath(const std::string& path) {
  return ProgramName(fs::absolute(SystemName(path)).lexically_normal().string());
}

// Makes DICT the current dictionary: its folder the program folder and the
// working folder, its name the data file name.
bool SelectDictionary(const std::string& path, std::string& error) {
  const auto full = FullPath(path);
  if (!full) {
    error = path + ": the folder's name holds a character KIO cannot keep";
    return false;
  }
  std::string name = ToLower(BareName(*full));
  size_t dot = name.find('.');
  if (name.size() < 5 || dot == 0 || dot != name.size() - 4 || name.substr(dot) != ".kio") {
    error = path + ": a dictionary is a name without dots followed by .kio";
    return false;
  }
  const std::string folder = FolderOf(*full);
  if (chdir(SystemName(folder).c_str()) != 0) {
    error = folder + ": no such folder";
    return false;
  }
  CurrentSession().appPaths.programFolder = folder;
  LexiconStore::DeriveNames(name);
  return true;
}

std::string ToDictionaryText(const std::string& utf8) {
  if (auto cp = Utf8ToCp1252(utf8)) return *cp;
  return Utf8ToCp1252Lossy(utf8);
}

void NoteRecovery() {
  switch (LexiconStore::RecoverCommit()) {
    case CommitRecovery::kRolledForward:
      std::cerr << "kio-lexicon: completed a save that had been cut short\n";
      break;
    case CommitRecovery::kRolledBack:
      std::cerr << "kio-lexicon: removed the files of a save that had been cut short\n";
      break;
    case CommitRecovery::kNothing: break;
  }
}

int Create(bool force) {
  const std::string& data = CurrentSession().appPaths.lexiconDataFile;
  const std::string& pointer = CurrentSession().appPaths.lexiconPointerFile;
  if (!force && (FileExists(data) || FileExists(pointer)))
    return Fail(data + " already exists (use --force to replace it)");
  try {
    LexiconStore::WriteEmptyPair(pointer, data);
  } catch (const FileError& e) {
    return Fail("cannot create " + data + ": cause " + std::to_string(e.cause));
  }
  std::cout << "created " << ForConsoleText(CurrentSession().appPaths.programFolder + data) << "\n";
  return 0;
}

int Check() {
  NoteRecovery();
  // Read while no save is in progress.
  DictionaryLock lock;
  if (!lock.Acquire(CurrentSession().appPaths.lexiconDataFile, DictionaryLock::Kind::kShared))
    return Fail(DictionaryInUseMessage());
  std::string pointer, data;
  if (!ReadWholeFile(CurrentSession().appPaths.lexiconPointerFile, pointer))
    return Fail("cannot read " + CurrentSession().appPaths.lexiconPointerFile);
  if (!ReadWholeFile(CurrentSession().appPaths.lexiconDataFile, data))
    return Fail("cannot read " + CurrentSession().appPaths.lexiconDataFile);
  PairCheck check = CheckPair(pointer, data);
  for (const std::string& p : check.problems) std::cout << p << "\n";
  if (check.unlisted) std::cout << "... and " << check.unlisted << " more problems\n";
  std::cout << ForConsoleText(CurrentSession().appPaths.lexiconDataFile) << ": count " << check.count << ", "
            << (check.count >= 2 ? check.count - 2 : 0)
            << " entries: " << (check.sound() ? "sound" : "NOT SOUND") << "\n";
  return check.sound() ? 0 : 1;
}

int Lookup(LexiconStore& store, const std::vector<std::string>& words) {
  if (store.OpenNamed(CurrentSession().appPaths.lexiconDataFile) != 0) {
    PrintNotices(store.TakeNotices());
    return 1;
  }
  int status = 0;
  for (const std::string& word : words) {
    std::string key = ToDictionaryText(word);
    uint32_t p = store.Find(key);
    if (key.empty() || p == kOffLimits || p == 0 || p + 1 >= store.Count()) {
      std::cout << word << ": not found\n\n";
      status = 1;
      continue;
    }
    LexiconEntry entry = store.ReadEntry(p);
    size_t position = 0;
    std::string headword = Headword(entry, position);
    std::string body = NextField(entry, position);
    std::cout << ForConsoleText(headword) << "\n" << ForConsoleText(body) << "\n\n";
  }
  PrintNotices(store.TakeNotices());
  store.CloseAll();
  return status;
}

int Export(LexiconStore& store, const std::string& outPath) {
  if (store.OpenNamed(CurrentSession().appPaths.lexiconDataFile) != 0) {
    PrintNotices(store.TakeNotices());
    return 1;
  }
  std::string out;
  const uint32_t count = store.Count();
  bool done = ExportText(store, out, StopOnInterrupt());
  PrintNotices(store.TakeNotices());
  store.CloseAll();
  if (!done) return Fail("nothing was exported");
  std::ofstream f(SystemName(outPath), std::ios::binary);
  f << out;
  f.close();
  if (!f) return Fail("cannot write " + outPath);
  std::cout << "exported " << (count - 2) << " entries to " << ForConsoleText(outPath) << "\n";
  return 0;
}

// Opens DICT for editing (creating it when asked), puts the entries, saves.
int PutAndCommit(LexiconStore& store, const std::vector<TextEntry>& entries, bool replace, bool create) {
  const std::string& data = CurrentSession().appPaths.lexiconDataFile;
  if (create && !FileExists(data) && !FileExists(CurrentSession().appPaths.lexiconPointerFile)) {
    try {
      LexiconStore::WriteEmptyPair(CurrentSession().appPaths.lexiconPointerFile, data);
    } catch (const FileError& e) {
      return Fail("cannot create " + data + ": cause " + std::to_string(e.cause));
    }
  }
  // A pair that check rejects is not changed: an update would build on its
  // damage and could drop entries silently.
  std::string pointerBytes, dataBytes;
  if (ReadWholeFile(CurrentSession().appPaths.lexiconPointerFile, pointerBytes) &&
      ReadWholeFile(data, dataBytes) && !CheckPair(pointerBytes, dataBytes).sound())
    return Fail(data + " is damaged (kio-lexicon check lists how): it was not changed");
  if (!store.BeginUpdate()) {
    PrintNotices(store.TakeNotices());
    return 1;
  }
  store.SetReplaceDuplicates(replace);
  PutReport r = PutEntries(store, entries);
  bool saved = store.Commit(StopOnInterrupt());
  uint32_t count = store.Count();
  store.EndUpdate();
  PrintNotices(store.TakeNotices());
  if (!saved) return Fail("the dictionary was not saved; it is as it was");
  std::cout << ForConsoleText(data) << ": " << r.offered << " entries read, " << r.added << " added, " << r.matched
            << (replace ? " replaced" : " already present and kept") << ", " << r.refused << " refused; "
            << (count - 2) << " entries in all\n";
  return r.refused ? 1 : 0;
}

int Import(LexiconStore& store, const std::string& file, bool replace) {
  std::vector<TextEntry> entries;
  std::string lower = ToLower(file);
  if (lower.size() > 6 && lower.compare(lower.size() - 6, 6, ".index") == 0) {
    std::string error;
    if (!ReadDictd(file, entries, error)) return Fail(error);
  } else {
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) return Fail("cannot read " + file);
    entries = ParseTextLayout(bytes);
  }
  return PutAndCommit(store, entries, replace, true);
}

int Merge(LexiconStore& store, const std::string& other, bool replace) {
  std::string pointerPath = other.substr(0, other.size() - 4) + ".kpo";
  const std::string systemOther = SystemName(other);
  const std::string systemData = SystemPath(CurrentSession().appPaths.lexiconDataFile);
  if (fs::exists(systemOther) && fs::exists(systemData) && fs::equivalent(systemOther, systemData))
    return Fail("a dictionary cannot be merged into itself");
  std::string pointer, data;
  if (!ReadWholeFile(other, data) || !ReadWholeFile(pointerPath, pointer))
    return Fail("cannot read " + other + " and " + pointerPath);
  // A damaged source would give only part of its entries.
  if (!CheckPair(pointer, data).sound())
    return Fail(other + " is damaged (kio-lexicon check lists how): nothing was merged");
  std::vector<TextEntry> entries;
  std::vector<LexiconNotice> notices;
  bool read = ReadMergeSource(pointer, data, entries, notices, StopOnInterrupt());
  PrintNotices(std::move(notices));
  if (!read) return Fail("nothing was merged");
  return PutAndCommit(store, entries, replace, false);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool force = false;
  int mode = 0;  // 0 default, 1 replace, 2 keep
  std::vector<std::string> words;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (a == "--yes" || a == "--no")
      continue;  // kept for older scripts: the tool asks nothing
    else if (a == "--force")
      force = true;
    else if (a == "--replace" || a == "--keep") {
      if (mode && mode != (a == "--replace" ? 1 : 2)) return Usage("--replace and --keep exclude each other");
      mode = a == "--replace" ? 1 : 2;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0)
      return Usage("unknown option " + a);
    else
      words.push_back(a);
  }
  if (words.empty()) return Usage("no command");
  const std::string command = words[0];
  static const std::vector<std::pair<std::string, size_t>> kArity = {
      {"create", 2}, {"check", 2}, {"lookup", 3}, {"export", 3}, {"import", 3}, {"merge", 3}};
  auto known = std::find_if(kArity.begin(), kArity.end(), [&](auto& c) { return c.first == command; });
  if (known == kArity.end()) return Usage("unknown command " + command);
  if (words.size() < known->second || (command != "lookup" && words.size() > known->second))
    return Usage(command + " takes " + std::to_string(known->second - 1) + " argument(s)");
  if (mode && command != "import" && command != "merge")
    return Usage("--replace and --keep go with import and merge");
  if (force && command != "create") return Usage("--force goes with create");

  // File names come in as the system's; the program works with its own texts.
  // A name with a character those cannot hold is refused, never changed.
  const size_t named = command == "lookup" ? 2 : words.size();
  for (size_t i = 1; i < named; ++i) {
    auto name = ProgramName(words[i]);
    if (!name) {
      std::cerr << "kio-lexicon: " << words[i] << ": the name holds the character " << FirstUnfitCharacter(words[i])
                << ", which KIO cannot keep; rename the file\n";
      return 1;
    }
    words[i] = *name;
  }
  // Paths given on the command line are taken from where the tool was started.
  std::string third;
  if (words.size() > 2 && command != "lookup") {
    auto full = FullPath(words[2]);
    if (!full) return Fail(words[2] + ": the folder's name holds a character KIO cannot keep");
    third = *full;
  }
  ConsolePlatform console(std::cerr);
  SetPlatform(&console);
  std::string error;
  if (!SelectDictionary(words[1], error)) return Fail(error);
  LexiconStore store;
  // Commands that write hold the dictionary's lock from start to end; the
  // store takes it again inside without waiting for itself.
  DictionaryLock lock;
  if ((command == "create" || command == "import" || command == "merge") &&
      !lock.Acquire(CurrentSession().appPaths.lexiconDataFile, DictionaryLock::Kind::kExclusive))
    return Fail(DictionaryInUseMessage());
  if (command == "create") return Create(force);
  if (command == "check") return Check();
  if (command == "lookup") return Lookup(store, std::vector<std::string>(words.begin() + 2, words.end()));
  if (command == "export") return Export(store, third);
  if (command == "import") return Import(store, third, mode != 2);
  return Merge(store, third, mode != 2);
}
