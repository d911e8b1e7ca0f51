#include "questions/tool/convert_command.h"

#include <iostream>
#include <memory>

#include "fileio/file.h"
#include "fileio/replacement_file.h"
#include "fileio/session.h"
#include "questions/kio_documents.h"
#include "questions/mapping.h"
#include "questions/question_format.h"
#include "questions/tool/tool_session.h"

namespace kio::questions {

namespace {

int Usage(std::ostream& err) {
  err << "usage: kio convert [--from gift|aiken|moodlexml] IN OUT\n"
         "  IN a question bank (.gift, .xml for Moodle XML, or --from) and OUT a KIO document\n"
         "  (.mul, .gab, .clo, .mem), or IN a KIO document and OUT a question bank (.gift, .xml).\n";
  return 2;
}

std::string Lower(const std::string& s) { return ToLower(s); }

// The format of a question file: --from, else its extension, else what its
// first bytes look like.
std::unique_ptr<QuestionFormat> InputFormat(const std::string& from, const std::string& path,
                                            const std::string& bytes) {
  if (!from.empty()) return FormatNamed(from);
  if (auto f = FormatForFileName(path)) return f;
  for (auto& f : QuestionFormats())
    if (f->Name() == "aiken" && f->CanRead(bytes)) return std::move(f);
  for (auto& f : QuestionFormats())
    if (f->CanRead(bytes)) return std::move(f);
  return nullptr;
}

bool WriteBytes(const std::string& path, const std::string& bytes, std::string& error) {
  try {
    ReplacementFile file(path);
    file.Out().Write(bytes);
    file.Commit();
  } catch (const FileError&) {
    error = "Cannot write " + path + ".";
    return false;
  }
  return true;
}

int Export(const std::string& in, DocumentKind kind, const std::string& outPath, std::ostream& out,
           std::ostream& err) {
  auto format = FormatForFileName(outPath);
  if (!format || !format->CanWrite()) {
    err << "kio convert: " << outPath << ": write a question bank as .gift or .xml (Moodle XML).\n";
    return 2;
  }
  KioDocument doc;
  std::string error, bytes;
  if (!ReadKioDocument(in, kind, doc, error) || !ExportDocument(doc, *format, bytes, error) ||
      !WriteBytes(outPath, bytes, error)) {
    err << "kio convert: " << error << "\n";
    return 1;
  }
  const size_t count =
      kind == DocumentKind::kMultiple || kind == DocumentKind::kDialogical ? doc.items.size() : 1;
  out << "Wrote " << outPath << " (" << count << (count == 1 ? " question" : " questions") << ").\n";
  return 0;
}

int Import(const std::string& from, const std::string& in, const std::string& outPath, std::ostream& out,
           std::ostream& err) {
  const auto kind = DocumentKindForFileName(outPath);
  if (!kind) {
    err << "kio convert: " << outPath << ": the document is named .mul, .gab, .clo or .mem.\n";
    return 2;
  }
  std::string bytes, error;
  if (!ReadQuestionFile(in, bytes, error)) {
    err << "kio convert: " << error << "\n";
    return 1;
  }
  auto format = InputFormat(from, in, bytes);
  if (!format) {
    err << "kio convert: " << in << ": say which format it is with --from gift, aiken or moodlexml.\n";
    return 2;
  }
  QuestionBank bank;
  if (!format->Read(bytes, bank)) {
    err << "kio convert: " << in << ": " << format->ErrorString() << "\n";
    return 1;
  }
  ImportResult result = ImportQuestions(bank, *kind);
  for (const ImportProblem& p : result.problems) {
    err << in;
    if (p.line > 0) err << ":" << p.line;
    err << ": ";
    if (!p.question.empty()) err << "\"" << p.question << "\": ";
    err << p.message << (p.dropped ? " (not converted)" : " (converted)") << "\n";
  }
  if (result.documents.empty()) {
    err << "kio convert: no question of " << in << " fits a " << ActivityName(*kind)
        << " document; nothing was written.\n";
    return 1;
  }
  const std::vector<std::string> names = DocumentNames(outPath, result.documents.size());
  for (size_t i = 0; i < names.size(); ++i) {
    if (!WriteKioDocument(names[i], result.documents[i], CurrentSession().completionMessage, error)) {
      err << "kio convert: " << error << "\n";
      return 1;
    }
    out << "Wrote " << names[i] << ".\n";
  }
  out << result.placed << " of " << result.questions << " questions converted.\n";
  return result.placed == result.questions ? 0 : 1;
}

}  // namespace

std::vector<std::string> DocumentNames(const std::string& out, size_t count) {
  if (count <= 1) return {out};
  const size_t slash = out.rfind('/');
  const size_t dot = out.rfind('.');
  const std::string stem =
      dot == std::string::npos || (slash != std::string::npos && dot < slash) ? out : out.substr(0, dot);
  const std::string ext = stem.size() < out.size() ? out.substr(stem.size()) : "";
  const size_t width = std::to_string(count).size();
  std::vector<std::string> names;
  for (size_t i = 1; i <= count; ++i) {
    std::string n = std::to_string(i);
    names.push_back(stem + "-" + std::string(width - n.size(), '0') + n + ext);
  }
  return names;
}

int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string from;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--from") {
      if (i + 1 >= args.size()) return Usage(err);
      from = Lower(args[++i]);
      if (!FormatNamed(from)) {
        err << "kio convert: unknown format \"" << args[i] << "\" (gift, aiken or moodlexml).\n";
        return 2;
      }
    } else if (args[i].size() > 1 && args[i][0] == '-' && args[i] != "-") {
      return Usage(err);
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) return Usage(err);
  if (files[0] == files[1]) {
    err << "kio convert: IN and OUT are the same file.\n";
    return 2;
  }
  if (auto kind = DocumentKindForFileName(files[0]); kind && from.empty())
    return Export(files[0], *kind, files[1], out, err);
  return Import(from, files[0], files[1], out, err);
}

int RunConvertCommand(const std::vector<std::string>& args) {
  StartToolSession();
  return RunConvertCommand(args, std::cout, std::cerr);
}

}  // namespace kio::questions
