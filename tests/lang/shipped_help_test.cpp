// The help folders that ship in the program folder: every interface
// language finds all 77 help texts, each one a clean RTF file that the help
// panels can show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>

#include "fileio/session.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "platform/rtf.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

// The help files in load order.
const char* const kHelpFiles[kHelpTextCount] = {
    "abertura.rtf",
    "atividades.rtf",
    "dicionario.rtf",
    "fontes.rtf",
    "frames.rtf",
    "av.rtf",
    "paragraph.rtf",
    "ajuda_geral.rtf",
    "dial_01_seleciona.rtf",
    "dial_02_avalia.rtf",
    "dial_03_pergunta.rtf",
    "dial_05_gabarito.rtf",
    "dial_04_errado.rtf",
    "dial_06_certo.rtf",
    "insere_move.rtf",
    "copia_cola.rtf",
    "gera_htm.rtf",
    "arquivos.rtf",
    "audiovisuais.rtf",
    "dic_termo_fonte.rtf",
    "dic_termo_alvo.rtf",
    "dic_move.rtf",
    "dic_edita.rtf",
    "dic_abre_salva.rtf",
    "dic_avancado.rtf",
    "kio_tur.rtf",
    "dicas.rtf",
    "hp_basica.rtf",
    "hp_lexical.rtf",
    "memoria_instru.rtf",
    "mult_dica_geral.rtf",
    "mult_opcoes.rtf",
    "mult_feedback.rtf",
    "cloze_instru.rtf",
    "cloze_text.rtf",
    "memoria_text.rtf",
    "eclipse_instru.rtf",
    "eclipse_text.rtf",
    "eclipse_dadas.rtf",
    "sequencia_text.rtf",
    "index_inicializa.rtf",
    "index_titulo.rtf",
    "index_cada_link.rtf",
    "index_cada_titulo.rtf",
    "index_finish.rtf",
    "menu_titulo.rtf",
    "menu_select.rtf",
    "menu_arquivos.rtf",
    "help_inicial.rtf",
    "eclipse_intro.rtf",
    "cloze_intro.rtf",
    "sequencia_intro.rtf",
    "memoria_intro.rtf",
    "multipla_intro.rtf",
    "dialogica_intro.rtf",
    "basica_intro.rtf",
    "lexical_intro.rtf",
    "menu_intro.rtf",
    "index_intro.rtf",
    "lingua_aluno.rtf",
    "lingua_pro.rtf",
    "dicionario_intro.rtf",
    "inicial.rtf",
    "fecha.rtf",
    "configura.rtf",
    "mensagem_final.rtf",
    "eclipse_tips.rtf",
    "cloze_tips.rtf",
    "sequencia_tips.rtf",
    "memoria_tips.rtf",
    "multipla_tips.rtf",
    "dialogica_tips.rtf",
    "download.rtf",
    "aju_pro.rtf",
    "output_new.rtf",
    "output_intro.rtf",
    "perguntas.rtf",
};

struct HelpFolder {
  const char* languageFile;
  const char* folder;
};
const HelpFolder kHelpFolders[] = {{"portugues.lin", "instru_por"}, {"english.lin", "instru_eng"}};

// Files of a help folder that are not help files, to show what stands in
// for a missing one (a misspelt name, another extension).
std::string StrayFiles(const fs::path& folder) {
  std::set<std::string> known(std::begin(kHelpFiles), std::end(kHelpFiles));
  std::string stray;
  if (!fs::is_directory(folder)) return " (no folder " + folder.string() + ")";
  for (const auto& e : fs::directory_iterator(folder))
    if (!known.count(e.path().filename().string())) stray += " " + e.path().filename().string();
  return stray.empty() ? "" : " (other files there:" + stray + ")";
}

TEST(ShippedHelp, LoaderNamesTheHelpFilesInLoadOrder) {
  for (int i = 1; i <= kHelpTextCount; ++i)
    EXPECT_STREQ(HelpFileName(i), kHelpFiles[i - 1]) << "help text " << i;
}

// A missing or empty help file shows the start-up message and leaves every
// later help text unloaded.
TEST(ShippedHelp, EachInterfaceLanguageLoadsAllItsHelpFiles) {
  for (const auto& [languageFile, folder] : kHelpFolders) {
    SCOPED_TRACE(languageFile);
    test::TempDir dir;
    test::CopyProgramFolder(dir.path());
    test::InFolder in(dir.path());
    test::HeadlessSession session;
    CurrentSession().appPaths.interfaceLanguageFile = languageFile;
    LoadInterfaceLanguage();
    EXPECT_EQ(session.transcript(), "");  // in particular no "Output language not found"
    EXPECT_EQ(CurrentSession().appPaths.helpFolder, std::string(folder) + "/");
    for (int i = 1; i <= kHelpTextCount; ++i) {
      fs::path file = dir / folder / kHelpFiles[i - 1];
      if (!fs::is_regular_file(file)) {
        ADD_FAILURE() << folder << "/" << kHelpFiles[i - 1] << " is missing" << StrayFiles(dir / folder);
        continue;
      }
      EXPECT_TRUE(HelpText(i) == ReadFile(file)) << folder << "/" << kHelpFiles[i - 1] << " was not loaded";
    }
  }
}

// Why an RTF help file is not in the shape every help file shares, or ""
// when it is.
std::string RtfShapeFault(const std::string& rtf) {
  if (rtf.rfind("{\\rtf1", 0) != 0) return "does not start with {\\rtf1";
  size_t cpg = rtf.find("\\ansicpg1252");
  if (cpg == std::string::npos ||
      (cpg + 12 < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[cpg + 12]))))
    return "does not declare \\ansicpg1252";
  for (size_t k = 0; k < rtf.size(); ++k)
    if (static_cast<unsigned char>(rtf[k]) >= 0x80)
      return "byte " + std::to_string(k) + " is not 7-bit ASCII (write \\'hh or \\uN instead)";
  int depth = 0;
  size_t k = 0;
  for (; k < rtf.size(); ++k) {
    char c = rtf[k];
    if (c == '\\') {
      ++k;  // \{ \} and \\ are text, not braces
    } else if (c == '{') {
      ++depth;
    } else if (c == '}') {
      if (--depth == 0) break;
    }
  }
  if (depth != 0) return "braces do not balance: " + std::to_string(depth) + " group(s) left open";
  size_t after = rtf.find_first_not_of(" \t\r\n", k + 1);
  if (after != std::string::npos)
    return "text after the final closing brace, at byte " + std::to_string(after);
  return "";
}

// The visible text of the converter's HTML: tags dropped, entities read.
std::string HtmlText(const std::string& html) {
  std::string text;
  bool inTag = false;
  for (char c : html) {
    if (c == '<')
      inTag = true;
    else if (c == '>')
      inTag = false;
    else if (!inTag)
      text += c;
  }
  for (auto [entity, character] : {std::pair{"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
    for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, std::string(entity).size(), character);
  return text;
}

// What in a help text's shown text looks like RTF that the panel did not
// understand, or "" when nothing does.
std::string LeftoverRtf(const std::string& text) {
  for (size_t k = 0; k + 1 < text.size(); ++k) {
    if (text[k] != '\\') continue;
    char next = text[k + 1];
    if (next == '\'' || std::islower(static_cast<unsigned char>(next)))
      return "shows \"" + text.substr(k, std::min<size_t>(20, text.size() - k)) + "\"";
  }
  if (text.find("�") != std::string::npos) return "shows a damaged \\u character";
  return "";
}

TEST(ShippedHelp, EveryHelpFileIsCleanRtfWithText) {
  for (const auto& [languageFile, folder] : kHelpFolders) {
    fs::path dir = fs::path(KIO_PROGRAM_DIR) / folder;
    for (const char* name : kHelpFiles) {
      std::string where = std::string(folder) + "/" + name;
      if (!fs::is_regular_file(dir / name)) {
        ADD_FAILURE() << where << " is missing" << StrayFiles(dir);
        continue;
      }
      std::string rtf = ReadFile(dir / name);
      std::string fault = RtfShapeFault(rtf);
      EXPECT_TRUE(fault.empty()) << where << ": " << fault;
      std::string text = HtmlText(RtfToHtml(rtf));
      EXPECT_NE(text.find_first_not_of(" \t"), std::string::npos) << where << " shows no text";
      std::string leftover = LeftoverRtf(text);
      EXPECT_TRUE(leftover.empty()) << where << ": " << leftover;
    }
  }
}

// A help text that an editor opens on speaks of that editor in both
// languages: its first line names it (the Menu editor opens on
// "ajuda_geral.rtf", which is the menu's help, not a general one).
TEST(ShippedHelp, AnEditorsOpeningHelpNamesItInBothLanguages) {
  struct Case {
    const char* file;
    const char* pt;  // lower case
    const char* en;
  };
  const Case cases[] = {{"ajuda_geral.rtf", "menu", "menu"}, {"menu_intro.rtf", "menu", "menu"}};
  for (const Case& c : cases)
    for (const auto& [languageFile, folder] : kHelpFolders) {
      // The first paragraph: the heading.
      std::string html = RtfToHtml(ReadFile(fs::path(KIO_PROGRAM_DIR) / folder / c.file));
      std::string text = HtmlText(html.substr(0, html.find("</p>")));
      std::transform(text.begin(), text.end(), text.begin(),
                     [](unsigned char ch) { return std::tolower(ch); });
      const char* word = std::string(folder) == "instru_por" ? c.pt : c.en;
      EXPECT_NE(text.find(word), std::string::npos) << folder << "/" << c.file << " opens on: " << text;
    }
}

}  // namespace
}  // namespace kio
