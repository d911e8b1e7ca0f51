#include "render/write_page.h"

#include <algorithm>
#include <cstdlib>

#include "fileio/document.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/replacement_file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/lang_tag.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/ascii_page.h"
#include "render/html_escape.h"
#include "render/markup.h"
#include "render/page_settings.h"
#include "render/player_files.h"
#include "render/preview_folder.h"
#include "render/xapi_part.h"

namespace kio {

const char kTemplateFolder[] = "Tmplates/";
const char kTemplateResultsAddress[] = "https://kio-results.invalid/php2/envprint.php";

namespace {

constexpr size_t kTemplatePathLimit = 251;
const char kStartMarker[] = "//INICIA DADOS";
const char kEndMarker[] = "//TERMINA DADOS";

// Replaces every `from` by `to`, unless the page would grow past
// kFilledPageLimit (values that hold other placeholders multiply at every
// row): then nothing more is replaced and `limitReached` tells why.
void Replace(std::string& text, const std::string& from, const std::string& to, bool& limitReached) {
  if (limitReached || from.empty()) return;
  if (to.size() > from.size()) {
    size_t count = 0;
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + from.size()))
      ++count;
    if (count > (kFilledPageLimit - std::min(text.size(), kFilledPageLimit)) / (to.size() - from.size())) {
      limitReached = true;
      return;
    }
  }
  text = ReplaceAll(text, from, to);
}

// The whole number at the start of a frame split such as "25%,*", as a
// share of the page: a split is a percentage, so anything past 0 to 100 is
// taken as the nearest end (a huge number would overflow the sizes and give
// negative widths).
long LeadingNumber(const std::string& split) {
  return std::clamp(std::strtol(split.c_str(), nullptr, 10), 0L, 100L);
}

}  // namespace

Failure TemplateNotFound() { return {FixedText(Fixed::kTemplateNotFound), OopsCaption()}; }

Failure PageTooLarge() { return {FixedText(Fixed::kPageTooLarge), OopsCaption()}; }

Failure MarkersMissing() { return {FixedText(Fixed::kTemplateLacksMarkers), OopsCaption()}; }

std::optional<Failure> FillTemplate(const FillInputs& in, PageBuild& build, std::string& page) {
  std::string path = CurrentSession().appPaths.programFolder + kTemplateFolder + in.templateName;
  File file;
  std::string contents;
  bool ok = path.size() <= kTemplatePathLimit && file.Open(path, File::kRead);
  if (ok) {
    try {
      ok = file.Length() <= kTemplateLimit;
      if (ok) contents = file.ReadAll();
    } catch (const FileError&) {
      ok = false;
    }
  }
  if (!ok) return TemplateNotFound();
  page = contents;
  std::string& t = page;
  PageSettings& p = build.settings;
  bool& limit = build.workLimitReached;

  const long c8 = 8 * LeadingNumber(p.frameCols);
  const long r4 = 4 * LeadingNumber(p.frameRows);
  if (c8 == 800) {
    Replace(t, "180", "790", limit);
    Replace(t, "170", "780", limit);
  } else {
    Replace(t, "170", std::to_string(c8), limit);
    Replace(t, "180", std::to_string(c8 + 10), limit);
  }
  Replace(t, "190", std::to_string(c8 + 20), limit);
  Replace(t, "600", std::to_string(770 - c8), limit);
  Replace(t, "610", std::to_string(780 - c8), limit);
  Replace(t, "81", std::to_string(r4), limit);
  Replace(t, "399", std::to_string(480 - r4), limit);

  Replace(t, "i_n_s_t_r_u", in.pageInstructions, limit);
  Replace(t, "t_i_t_l_e", HtmlText(in.outputFileName), limit);

  p.background1 = Without(p.background1, {"\"", "'", "body bgcolor="});
  p.background2 = Without(p.background2, {"\"", "'", "body bgcolor="});
  p.background3 = Without(p.background3, {"\"", "'", "body bgcolor="});
  p.boxColor = Without(p.boxColor, {"'", "\"", "body bgcolor=", "bgcolor="});

  const std::string completion = ReplaceAll(build.completionMessage, "\r\n", " <br> ");
  const std::string lang = StudentLanguageTag(CurrentSession().appPaths.studentLanguageFile);
  const std::pair<const char*, const std::string*> rows[] = {
      {"RESPOSTA(S):", &StudentText(12)},
      {"Clique em Avanca para continuar", &StudentText(8)},
      {"f_i_m", &StudentText(9)},
      {"Atividade concluida", &completion},
      {"p_e_r_f_o_r_m_a_n_c_e", &StudentText(5)},
      {"f_i_l_e", &StudentText(6)},
      {"p_e_r_g_u_n_t_a_s:", &StudentText(10)},
      {"s_e_g_m_e_n_t_s", &StudentText(25)},
      {"d_o_n_e", &StudentText(15)},
      {"r_i_g_h_t", &StudentText(17)},
      {"d_a_t_e", &StudentText(18)},
      {"t_i_m_e", &StudentText(19)},
      {"d_e_t_a_i_l_s", &StudentText(20)},
      {"f_r_e_e", &StudentText(22)},
      {"t_r_i_a_l_s", &StudentText(27)},
      {"a_c_e_r_t_o_u", &StudentText(28)},
      {"a_s_k_n_u_m", &StudentText(21)},
      {"s_e_n_d", &StudentText(29)},
      {"En_via", &StudentText(26)},
      {"i_f_o_n_l_i_n_e", &StudentText(30)},
      {"p_r_i_n_t", &StudentText(31)},
      {"n_a_m_e", &StudentText(32)},
      {"#474792", &p.background3},
      {"#FFFFCC", &p.background2},
      {"#CAC5E4", &p.background1},
      {"#474792", &p.background3},
      {"#FFFFCC", &p.background2},
      {"#CAC5E4", &p.background1},
      {"#000001", &p.fontColor1},
      {"#000002", &p.fontColor2},
      {"#FFFFFD", &p.fontColor3},
      {"Verdana", &p.fontFace1},
      {"Arial", &p.fontFace2},
      {"Helvetica", &p.fontFace3},
      {"13pt", &p.fontSize1},
      {"14pt", &p.fontSize2},
      {"12pt", &p.fontSize3},
      {"w_o_r_d_s:", &StudentText(33)},
      {"t_y_p_e", &StudentText(7)},
      {"Escreva_menor", &StudentText(11)},
      {"#F0E8F0", &p.boxColor},
      {"2     ;", &in.itemCount},
      {"l_a_n_g", &lang},
  };
  for (const auto& [placeholder, value] : rows) Replace(t, placeholder, *value, limit);
  Replace(t, "var Total = 5;", "", limit);
  Replace(t, kTemplateResultsAddress, CurrentSession().appPaths.resultsAddress, limit);
  return std::nullopt;
}

std::optional<std::string> CutAtMarkers(const std::string& page, const std::string& data) {
  size_t p1 = page.find(kStartMarker);
  size_t p2 = page.find(kEndMarker);
  if (p1 == std::string::npos || p2 == std::string::npos) return std::nullopt;
  // The head keeps the start marker and the four characters after it; the
  // tail starts two characters before the end marker. Markers close
  // together give both pieces the characters between them.
  return page.substr(0, p1 + 18) + data + page.substr(p2 < 2 ? 0 : p2 - 2);
}

std::string PreviewName(const ChooserRequest& request) {
  const std::string proposed = BareName(request.initialName);
  if (!proposed.empty() && proposed.find_first_of("*?") == std::string::npos) return ToLower(proposed);
  const std::string extension = request.defaultExtension.empty() ? "htm" : request.defaultExtension;
  std::string document = CurrentSession().documentName;
  if (document.find_first_of("*?/") != std::string::npos) document.clear();
  const size_t dot = document.rfind('.');
  if (dot != std::string::npos) document.resize(dot);
  return ToLower((document.empty() ? std::string("kio_preview") : document) + "." + extension);
}

std::optional<PageTarget> ChoosePageFile(const ChooserRequest& request, const PageDestination& destination) {
  if (!destination.preview) return ChoosePageFile(request);
  Failure failure;
  auto folder = CurrentPreviewFolder().Path(failure);
  if (!folder) {
    ShowMessage(failure.text, failure.caption);
    return std::nullopt;
  }
  PageTarget target;
  target.fileName = PreviewName(request);
  target.chosenPath = *folder + target.fileName;
  target.preview = true;
  target.sourceFolder = FolderOf(request.initialName);
  return target;
}

std::optional<PageTarget> ChoosePageFile(const ChooserRequest& request) {
  auto chosen = ChooseFile(request);
  if (!chosen) return std::nullopt;
  PageTarget target;
  target.fileName = BareName(*chosen);
  target.chosenPath = *chosen;
  if (CheckFileNameCharacters(target.fileName) != Answer::Yes) return std::nullopt;
  target.fileName = ToLower(target.fileName);
  File page;
  if (!PrepareDocumentFile(page, target.chosenPath)) return std::nullopt;
  return target;
}

namespace {

// The last step: writes `text` as the page, replacing any old page whole.
// The new page is put in place only once it is whole: on a failure an old
// page stays as it was. Throws FileError.
void WritePageFile(const PageTarget& target, const std::string& text) {
  ReplacementFile page(target.chosenPath);
  // Pure ASCII, so that the page reads the same whatever character set a
  // web server announces for it.
  page.Out().Write(ToAsciiPage(text));
  page.Commit();
}

// The message of a page that could not be written.
void ReportPageNotWritten(int) { ShowMessage(FixedText(Fixed::kPageNotWritten), OopsCaption()); }

}  // namespace

bool RefusedForWork(PageBuild& build) {
  if (!build.workLimitReached) return false;
  build.workLimitReached = false;
  const Failure f = PageTooLarge();
  ShowMessage(f.text, f.caption);
  return true;
}

std::optional<Failure> CopyBesidePage(const PageTarget& target, const std::string& first,
                                      const std::string& second) {
  return CopyPlayerFiles(FolderOf(target.chosenPath), first, second);
}

namespace {

// Writes the finished page, reporting a failure with `reportError`, then
// copies the video players beside it when a code asked for them.
bool WriteFinishedPage(const PageTarget& target, const std::string& text,
                       const std::function<void(int cause)>& reportError, const PageBuild& build) {
  File page;
  if (!PrepareDocumentFile(page, target.chosenPath)) return false;
  try {
    WritePageFile(target, text);
  } catch (const FileError& e) {
    (reportError ? reportError : ReportPageNotWritten)(e.cause);
    return false;
  }
  if (build.playerFilesNeeded)
    if (auto failure = CopyBesidePage(target, "Clear_Skin_1.swf", "FLVPlayer.swf"))
      ShowMessage(failure->text, failure->caption);
  // A preview takes copies of the teacher's files that the page shows or
  // links to, so that it looks as the generated page will.
  if (target.preview)
    CopyReferencedFiles(target.sourceFolder, FolderOf(target.chosenPath), target.fileName, text);
  return true;
}

}  // namespace

bool WriteAssembledPage(const PageTarget& target, const std::string& text, PageBuild& build) {
  if (RefusedForWork(build)) return false;
  return WriteFinishedPage(target, text, {}, build);
}

BuiltPage BuildTemplatePage(const PageContent& content, const std::string& title, PageBuild& build) {
  BuiltPage built;
  // The page's data may have reached a limit already.
  if (build.workLimitReached) {
    built.failure = PageTooLarge();
    return built;
  }
  std::string instructions = content.instructions.substr(0, 14999);
  if (instructions.empty()) instructions = "*";
  RenderMarkupWithoutCollecting(instructions, build);
  EscapeScriptText(instructions);

  build.completionMessage = content.completionField.substr(0, 1499);
  RenderMarkupWithoutCollecting(build.completionMessage, build);
  std::string page;
  if (auto failure =
          FillTemplate({content.templateName, instructions, title, content.itemCount}, build, page)) {
    built.failure = failure;
    return built;
  }
  if (auto failure = AddXapiPart(page)) {
    built.failure = failure;
    return built;
  }
  if (build.workLimitReached) {
    built.failure = PageTooLarge();
    return built;
  }
  auto whole = content.cut ? content.cut(page, content.data) : CutAtMarkers(page, content.data);
  if (!whole) {
    built.failure = MarkersMissing();
    return built;
  }
  built.text = std::move(*whole);
  return built;
}

std::optional<std::string> WritePage(const PageRequest& request, PageBuild& build,
                                     const PageDestination& destination) {
  // What the renderings of this page noted is forgotten with it.
  struct Forget {
    PageBuild& build;
    ~Forget() {
      build.workLimitReached = false;
      build.playerFilesNeeded = false;
    }
  } forget{build};
  // The editor's own data may have reached a limit already.
  if (RefusedForWork(build)) return std::nullopt;
  auto target =
      ChoosePageFile(request.chooser ? *request.chooser : DocumentChooser("htm", true), destination);
  if (!target) return std::nullopt;
  if (request.check && !request.check(*target)) return std::nullopt;

  BuiltPage page = BuildTemplatePage(request, target->fileName, build);
  if (page.failure) {
    ShowMessage(page.failure->text, page.failure->caption);
    return std::nullopt;
  }
  if (!WriteFinishedPage(*target, page.text, request.reportError, build)) return std::nullopt;
  if (request.after) request.after(*target);
  return target->chosenPath;
}

PageAssembler& PageAssembler::AddRendered(const std::string& markup) {
  std::string text = markup;
  RenderMarkupWithoutCollecting(text, build_);
  text_ += ReplaceAll(text, "\r\n", " <br> ");
  return *this;
}

PageBuild SessionPageBuild() {
  const Session& s = CurrentSession();
  PageBuild build;
  build.settings = s.pageSettings;
  build.completionMessage = s.completionMessage;
  build.mediaWidth = s.MediaWidth;
  build.mediaHeight = s.MediaHeight;
  return build;
}

void ReturnToSession(const PageBuild& build) {
  Session& s = CurrentSession();
  s.pageSettings = build.settings;
  s.MediaWidth = build.mediaWidth;
  s.MediaHeight = build.mediaHeight;
}

}  // namespace kio
