// The page rendering core at the sizes the editors allow:
// - an activity text of 14,999 characters holding 500 codes and 500 tags,
//   rendered in plain mode by RenderMarkup and, side by side, by
//   RenderMarkupByRescanning, which starts the scan again from the first
//   character after every replacement;
// - a template of 40,000 bytes filled by FillTemplate (read from disk, the
//   geometry numbers, every placeholder row).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fileio/session.h"
#include "lang/texts.h"
#include "render/markup.h"
#include "render/page_settings.h"
#include "render/write_page.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kTextLength = 14999;
constexpr int kCodes = 500;
constexpr int kTags = 500;
constexpr size_t kTemplateLength = 40000;

// Codes of every kind that renders without copying support files.
const char* const kCodeList[] = {"{i=pic.gif}",  "{x.jpg}",   "{a=song.mp3}", "{h=320}",      "{t=240}",
                                 "{v=clip.avi}", "{b.fon}",   "{/b.fon}",     "{3.siz}",      "{s=m.swf}",
                                 "{clip.mov}",   "{I=A.GIF}", "{s.wav}",      "{#FFEECC.bg2}"};
const char* const kTagList[] = {"<b>", "</b>", "<p align='center'>",     "</p>",   "<br>",
                                "<i>", "</i>", "<font color='#FF0000'>", "</font>"};

// A tag, words, a code, words, ... 500 times over, padded with words to
// exactly 14,999 characters.
std::string ActivityText() {
  std::vector<std::string> items;
  size_t used = 0;
  for (int k = 0; k < kCodes; ++k) {
    items.push_back(kTagList[k % std::size(kTagList)]);
    items.push_back(kCodeList[k % std::size(kCodeList)]);
    used += items[items.size() - 2].size() + items.back().size();
  }
  static_assert(kCodes == kTags);
  const std::string words = "The cat sat on the mat and looked at the birds in the garden. ";
  const size_t gap = (kTextLength - used) / items.size();
  std::string text;
  size_t w = 0;
  auto fill = [&](size_t n) {
    for (size_t i = 0; i < n; ++i) text += words[w++ % words.size()];
  };
  for (const auto& item : items) {
    text += item;
    fill(gap);
  }
  fill(kTextLength - text.size());
  return text;
}

// A context with the default page settings and the editor's video size.
kio::PageBuild FreshBuild() {
  kio::ResetPageSettings();
  kio::PageBuild build;
  build.settings = kio::CurrentSession().pageSettings;
  build.mediaWidth = "190";
  build.mediaHeight = "140";
  return build;
}

template <bool (*Render)(std::string&, kio::PageBuild&)>
void BM_Render(benchmark::State& state) {
  const std::string text = ActivityText();
  // Both scans must give the same page before their times mean anything.
  std::string fast = text, reference = text;
  kio::PageBuild fastBuild = FreshBuild(), referenceBuild = FreshBuild();
  kio::RenderMarkup(fast, fastBuild);
  kio::RenderMarkupByRescanning(reference, referenceBuild);
  if (fast != reference || fastBuild.collectedMarkup != referenceBuild.collectedMarkup || fast == text) {
    state.SkipWithError("the two scans disagree");
    return;
  }
  for (auto _ : state) {
    std::string page = text;
    kio::PageBuild build = FreshBuild();
    Render(page, build);
    benchmark::DoNotOptimize(page);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["text"] = static_cast<double>(text.size());
  state.counters["page"] = static_cast<double>(fast.size());
  state.counters["collected"] = static_cast<double>(fastBuild.collectedMarkup.size());
}
BENCHMARK(BM_Render<kio::RenderMarkup>)
    ->Name("RenderMarkup/14999chars_500codes_500tags")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Render<kio::RenderMarkupByRescanning>)
    ->Name("RenderMarkupByRescanning/14999chars_500codes_500tags")
    ->Unit(benchmark::kMicrosecond);

// A template folder of its own for the run.
class TemplateFolder {
 public:
  TemplateFolder() : root_(fs::temp_directory_path() / ("kio-render-bench-" + std::to_string(getpid()))) {
    fs::create_directories(root_ / "Tmplates");
  }
  ~TemplateFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string programFolder() const { return root_.string() + "/"; }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(root_ / "Tmplates" / name, std::ios::binary) << text;
  }

 private:
  fs::path root_;
};

// An HTML page whose blocks each carry every placeholder and the geometry
// numbers, cut to 40,000 bytes around the data markers.
std::string Template() {
  const std::string block =
      "<frameset cols='170,*' rows='81,*'><frame width='180' height='399'><div style='left:190px;top:600px;"
      "width:610px'>\n<p class='i'>i_n_s_t_r_u</p><h1>t_i_t_l_e</h1><b>RESPOSTA(S):</b> Clique em Avanca "
      "para "
      "continuar f_i_m <p>Atividade concluida</p> p_e_r_f_o_r_m_a_n_c_e f_i_l_e p_e_r_g_u_n_t_a_s: "
      "s_e_g_m_e_n_t_s "
      "d_o_n_e r_i_g_h_t d_a_t_e t_i_m_e d_e_t_a_i_l_s f_r_e_e t_r_i_a_l_s a_c_e_r_t_o_u a_s_k_n_u_m s_e_n_d "
      "En_via "
      "i_f_o_n_l_i_n_e p_r_i_n_t n_a_m_e\n<style>body{background:#474792;color:#000001;font:13pt Verdana} "
      ".b{background:#FFFFCC;color:#000002;font:14pt Arial} .c{background:#CAC5E4;color:#FFFFFD;font:12pt "
      "Helvetica} table{background:#F0E8F0}</style> w_o_r_d_s: t_y_p_e Escreva_menor var n = 2     ; var "
      "Total = 5;"
      "\n<form action='" +
      std::string(kio::kTemplateResultsAddress) + "'></form>\n";
  const std::string data =
      "<script>\n//INICIA DADOS\r\n\r\npalavras[0]='x';\r\n//TERMINA DADOS\r\n</script>\n";
  std::string text;
  while (text.size() + block.size() + data.size() <= kTemplateLength) {
    text += block;
    if (text.size() < kTemplateLength / 2 && text.size() + block.size() >= kTemplateLength / 2) text += data;
  }
  text.resize(kTemplateLength, ' ');
  return text;
}

void BM_FillTemplate(benchmark::State& state) {
  static const TemplateFolder folder;
  const std::string text = Template();
  folder.Write("tmplate_bench.htm", text);
  kio::CurrentSession().appPaths.programFolder = folder.programFolder();
  kio::CurrentSession().appPaths.resultsAddress = "https://school.example/php2/envprint.php";
  for (int entry = kio::kFirstStudentEntry; entry < kio::kLastStudentEntry; ++entry)
    kio::StudentText(entry) = "student text " + std::to_string(entry);
  const kio::FillInputs inputs{"tmplate_bench.htm", "Read the text and fill in the gaps.", "cloze_01.htm",
                               "12"};
  std::string page;
  for (auto _ : state) {
    kio::PageBuild build = FreshBuild();
    build.completionMessage = "Muito bem!\r\nFim.";
    if (kio::FillTemplate(inputs, build, page)) {
      state.SkipWithError("the template was not read");
      return;
    }
    benchmark::DoNotOptimize(page);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["template"] = static_cast<double>(text.size());
  state.counters["page"] = static_cast<double>(page.size());
}
BENCHMARK(BM_FillTemplate)->Name("FillTemplate/40000bytes")->Unit(benchmark::kMicrosecond);

}  // namespace
