#include "app/package_dlg.h"

#include <filesystem>
#include <fstream>

#include "fileio/failure.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "package/course.h"
#include "package/package_format.h"
#include "platform/file_names.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {
namespace {

// The window's own words follow the interface language.
std::string Local(const char* portuguese, const char* english) {
  return LocalText(Win1252(portuguese), Win1252(english));
}

// A UTF-8 text (names as the file system holds them) for the program's
// messages, which are Windows-1252; a character it cannot hold shows as "?".
std::string Shown(const std::string& utf8) {
  if (auto text = Utf8ToCp1252(utf8)) return *text;
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    auto code = NextUtf8(utf8, i);
    auto byte = code ? Cp1252Byte(*code) : std::nullopt;
    out += byte ? static_cast<char>(*byte) : '?';
    if (!code) ++i;
  }
  return out;
}

constexpr size_t kProblemsShown = 20;
constexpr std::streamsize kLargestHelp = 64 * 1024;

DialogTemplate PackageLayout() {
  DialogTemplate t;
  t.resourceId = 190;
  t.title = "Package";
  t.width = 330;
  t.height = 200;
  t.controls = {
      {9401, ControlKind::Label, "", 5, 8, 60, 8},
      {kPackageStart, ControlKind::Edit, "", 68, 6, 190, 12, kReadOnly},
      {kPackageChooseStart, ControlKind::Button, "", 262, 5, 63, 14},
      {9402, ControlKind::Label, "", 5, 25, 60, 8},
      {kPackageTitle, ControlKind::Edit, "", 68, 23, 190, 12},
      {9403, ControlKind::Label, "", 5, 42, 60, 8},
      {kPackageMastery, ControlKind::Edit, "50", 68, 40, 30, 12},
      {9404, ControlKind::Label, "%", 101, 42, 20, 8},
      {kPackageHelp, ControlKind::RichText, "", 5, 58, 320, 94, kReadOnly | kVScroll},
      {kPackageHelpButton, ControlKind::Button, "?", 5, 178, 14, 14},
      {IDCANCEL, ControlKind::Button, "", 262, 178, 63, 14},
  };
  const auto& formats = PackageFormats();
  for (size_t i = 0; i < formats.size(); ++i) {
    t.controls.push_back({kPackageFormatBase + static_cast<int>(i), ControlKind::Button, formats[i]->Label(),
                          5 + static_cast<int>(i) * 107, 158, 103, 14});
  }
  return t;
}

}  // namespace

std::string PackageHelpText() {
  std::ifstream in(CurrentSession().appPaths.helpFolder + "pacote.rtf", std::ios::binary);
  std::string text(kLargestHelp, '\0');
  in.read(text.data(), kLargestHelp);
  text.resize(in ? 0 : static_cast<size_t>(in.gcount()));
  if (!text.empty()) return text;
  return "{\\rtf1\\ansi " +
         Local("Pacote: um curso inteiro para um site ou uma plataforma de ensino (SCORM).",
               "Package: a whole course for a web host or a learning platform (SCORM).") +
         "}";
}

CPackageDlg::CPackageDlg() : Dialog(PackageLayout()) {
  ShowFixedLabels(*this);
  OnButton(kPackageChooseStart, [this] { ChooseStart(); });
  OnButton(kPackageHelpButton, [this] { ShowHelp(kPackageHelp, PackageHelpText()); });
  for (size_t i = 0; i < PackageFormats().size(); ++i) {
    int format = static_cast<int>(i);
    OnButton(kPackageFormatBase + format, [this, format] { Make(format); });
  }
}

bool CPackageDlg::OnInitDialog() {
  SetTitle(Local("Pacote", "Package"));
  SetItemText(9401, Local("Página inicial:", "Start page:"));
  SetItemText(9402, Local("Título:", "Title:"));
  SetItemText(9403, Local("Aprovação:", "Pass mark:"));
  SetItemText(kPackageChooseStart, Local("&Escolher...", "&Choose..."));
  SetItemText(IDCANCEL, Local("&Voltar", "&Return"));
  ShowHelp(kPackageHelp, PackageHelpText());
  return true;
}

void CPackageDlg::ChooseStart() {
  ChooserRequest request;
  request.initialName = CurrentSession().appPaths.documentsFolder + "*.htm*";
  request.filter = "*.htm;*.html||";
  request.defaultExtension = "htm";
  auto chosen = ChooseFile(request);
  if (!chosen) return;
  SetItemText(kPackageStart, *chosen);
  if (GetItemText(kPackageTitle).empty()) {
    std::string folder = std::filesystem::path(SystemName(*chosen)).parent_path().filename().string();
    SetItemText(kPackageTitle, Shown(folder));
  }
}

void CPackageDlg::Make(int formatIndex) {
  const PackageFormat& format = *PackageFormats()[formatIndex];
  std::string start = GetItemText(kPackageStart);
  if (start.empty()) {
    ShowMessage(Local("Escolha primeiro a página inicial do curso.", "Choose the course's start page first."),
                OopsCaption(), Buttons::Ok, this);
    return;
  }
  PackageOptions options;
  options.title = SystemName(GetItemText(kPackageTitle));
  std::string mastery = GetItemText(kPackageMastery);
  bool number =
      !mastery.empty() && mastery.size() <= 3 && mastery.find_first_not_of("0123456789") == std::string::npos;
  options.mastery = number ? std::stoi(mastery) : -1;
  if (options.mastery < 0 || options.mastery > 100) {
    ShowMessage(Local("A nota de aprovação é uma porcentagem de 0 a 100.",
                      "The pass mark is a percentage from 0 to 100."),
                OopsCaption(), Buttons::Ok, this);
    return;
  }

  Course course;
  std::string error;
  if (!CollectCourse(SystemName(start), course, error)) {
    ShowMessage(Shown(error), OopsCaption(), Buttons::Ok, this);
    return;
  }
  if (!course.problems.empty()) {
    std::string list;
    for (size_t i = 0; i < course.problems.size() && i < kProblemsShown; ++i) {
      const LinkProblem& p = course.problems[i];
      list += Shown(p.page) + ": " + Shown(p.link) + " - " +
              (p.kind == LinkProblemKind::kMissing ? Local("o arquivo não existe", "the file does not exist")
                                                   : Local("o arquivo está fora da pasta do curso",
                                                           "the file is outside the course folder")) +
              "\r\n";
    }
    if (course.problems.size() > kProblemsShown) {
      list += Local("... e mais ", "... and ") + std::to_string(course.problems.size() - kProblemsShown) +
              Local(".", " more.") + "\r\n";
    }
    Answer answer =
        ShowMessage(Local("Estes links não podem ir com o curso:\r\n\r\n",
                          "These links cannot travel with the course:\r\n\r\n") +
                        list + Local("\r\nFazer o pacote sem eles?", "\r\nMake the package without them?"),
                    "KIO", Buttons::YesNo, this);
    if (answer != Answer::Yes) return;
  }

  ChooserRequest request;
  request.save = true;
  request.initialName = Shown(course.folder + "/" + DefaultCourseTitle(course) + ".zip");
  request.filter = "*.zip||";
  request.defaultExtension = "zip";
  auto file = ChooseFile(request);
  if (!file) return;
  CurrentPlatform().SetWaitCursor(true);
  bool ok = WritePackage(format, course, options, SystemName(*file), error);
  CurrentPlatform().SetWaitCursor(false);
  if (!ok) {
    ShowMessage(Local("O pacote não foi feito: ", "The package was not made: ") + Shown(error), OopsCaption(),
                Buttons::Ok, this);
    return;
  }
  size_t pages = 0;
  for (const CourseFile& f : course.files) pages += f.page ? 1 : 0;
  ShowMessage(Local("Pacote pronto: ", "Package made: ") + *file + "\r\n" + std::to_string(pages) +
                  Local(" páginas e ", " pages and ") + std::to_string(course.files.size() - pages) +
                  Local(" outros arquivos.", " other files."),
              "KIO", Buttons::Ok, this);
}

}  // namespace kio
