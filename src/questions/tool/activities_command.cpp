#include "questions/tool/activities_command.h"

#include <filesystem>
#include <iostream>

#include "fileio/file.h"
#include "fileio/session.h"
#include "lexicon/lexicon_store.h"
#include "platform/file_names.h"
#include "questions/kio_documents.h"
#include "questions/reading_activities.h"
#include "questions/tool/tool_session.h"

namespace kio::questions {

namespace {

int Fail(std::ostream& err, const std::string& why) {
  err << "kio activities: " << why << "\n";
  return 1;
}

int Usage(std::ostream& err) {
  err << "usage: kio activities TEXT.hpl --dictionary DICT.kio --out FOLDER [--every N] [--pairs N]\n"
         "  N for --every: one gap every N words the dictionary knows (1 to 50, 4 if not given);\n"
         "  N for --pairs: the Memory's pairs (3, 4, 6 or 8; 4 if not given).\n";
  return 1;
}

bool ReadCount(const std::string& value, size_t low, size_t high, size_t& n) {
  if (value.empty() || value.size() > 3 || value.find_first_not_of("0123456789") != std::string::npos)
    return false;
  n = std::stoul(value);
  return n >= low && n <= high;
}

// A name from the command line as a program text, made absolute.
std::optional<std::string> FullPath(const std::string& path) {
  std::error_code ec;
  const auto full = std::filesystem::absolute(path, ec);
  if (ec) return std::nullopt;
  return ProgramName(full.lexically_normal().string());
}

}  // namespace

int RunActivitiesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string textArg, dictionaryArg, folderArg;
  ReadingActivityOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--dictionary" || a == "--out") {
      if (!hasValue) return Usage(err);
      (a == "--out" ? folderArg : dictionaryArg) = args[++i];
    } else if (a == "--every") {
      if (!hasValue || !ReadCount(args[++i], 1, 50, options.every))
        return Fail(err, "--every takes a number from 1 to 50.");
    } else if (a == "--pairs") {
      if (!hasValue || !ReadCount(args[++i], 3, 8, options.pairs) || !IsMemoryPairCount(options.pairs))
        return Fail(err, "--pairs takes 3, 4, 6 or 8.");
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage(err);
    } else if (textArg.empty()) {
      textArg = a;
    } else {
      return Usage(err);
    }
  }
  if (textArg.empty() || dictionaryArg.empty() || folderArg.empty()) return Usage(err);
  const auto text = FullPath(textArg), dictionary = FullPath(dictionaryArg), folder = FullPath(folderArg);
  if (!text || !dictionary || !folder) return Fail(err, "a name holds a character KIO cannot keep.");
  std::error_code ec;
  if (!std::filesystem::is_directory(SystemName(*folder), ec))
    return Fail(err, folderArg + ": no such folder.");

  std::string body, error;
  if (!ReadLexicalText(*text, body, error)) return Fail(err, error);
  if (body.empty()) return Fail(err, textArg + ": the text is empty.");

  const std::string name = ToLower(BareName(*dictionary));
  if (!LexiconStore::IsDictionaryName(name) || name.size() < 5 || name.substr(name.size() - 4) != ".kio")
    return Fail(err, dictionaryArg + ": a dictionary is a name followed by .kio.");
  LexiconStore store(LexiconFiles::For(FolderOf(*dictionary), name));
  if (store.OpenNamed(name) != 0) {
    std::string why = dictionaryArg + ": the dictionary cannot be opened.";
    for (const LexiconNotice& n : store.TakeNotices()) why += " " + n.text;
    return Fail(err, why);
  }
  const ReadingActivities made = MakeReadingActivities(body, store, options);
  store.CloseAll();
  for (const std::string& note : made.notes) err << note << "\n";

  std::vector<ActivityFile> written;
  std::string outFolder = *folder;
  if (outFolder.empty() || outFolder.back() != '/') outFolder += '/';
  if (!WriteReadingActivities(*text, outFolder, made, false, CurrentSession().completionMessage, written,
                              error))
    return Fail(err, error);
  for (const ActivityFile& f : written) out << "Wrote " << f.path << " (" << f.activity << ").\n";
  out << made.gaps.size() << " gaps, " << made.memory.pairs.size() << " pairs, " << made.multiple.items.size()
      << " questions.\n";
  return 0;
}

int RunActivitiesCommand(const std::vector<std::string>& args) {
  StartToolSession();
  return RunActivitiesCommand(args, std::cout, std::cerr);
}

}  // namespace kio::questions
