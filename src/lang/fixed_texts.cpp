#include "lang/fixed_texts.h"

#include <array>
#include <stdexcept>

#include "fileio/session.h"
#include "platform/dialog.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

// One fixed text: its Portuguese and English forms (UTF-8 here, Windows-1252
// once taken), and the text shown under a teacher's own language file. A
// null `own` shows the two forms one after the other, Portuguese first.
struct Entry {
  Fixed id;
  const char* pt;
  const char* en;
  const char* own = nullptr;
  bool label = false;  // a label of the layouts: `own` is the layout's own text
};

// clang-format off
const Entry kEntries[] = {
    {Fixed::kReplaceOrAddItem,
     "O item %1 acabou de ser anexado e as caixas mudaram desde então.\r\n"
     "Sim: substitui o item %1 pelo que está nas caixas.\r\n"
     "Não: acrescenta um item novo (%2) e mantém o item %1.\r\n"
     "Cancelar: não muda nada.",
     "Item %1 was just attached and the boxes have changed since.\r\n"
     "Yes: replace item %1 with what the boxes hold.\r\n"
     "No: add a new item (%2) and keep item %1.\r\n"
     "Cancel: change nothing."},
    {Fixed::kDocumentOpenedCut,
     "Este documento tem mais do que o editor guarda: foi aberto cortado.\r\n"
     "Salve-o com outro nome para manter o original.",
     "This document holds more than the editor keeps: it was opened cut.\r\n"
     "Save it under another name to keep the original."},
    {Fixed::kListFull, "A lista está cheia: não cabe mais nenhum item.", "The list is full: no more items fit."},
    {Fixed::kErrors, "Erro(s): ", "Error(s): ", "Error(s): "},
    {Fixed::kFinalMessageLabel, "Mensagem final", "Final message", "Mensagem final"},
    {Fixed::kInstructionsLabel, "Instruções", "Instructions", "Instruções"},
    {Fixed::kPageTextLabel, "Texto da página", "Text of the page", "Texto da página"},
    {Fixed::kClozeWithoutGaps,
     "O texto não tem nenhuma lacuna (uma palavra entre colchetes, como [casa]): a página não terá nada a "
     "completar.\r\nGerar a página assim mesmo?",
     "The text has no gap (a word in square brackets, like [house]): the page will have nothing to fill "
     "in.\r\nGenerate the page anyway?"},
    {Fixed::kUnmatchedBracket,
     "O texto tem um colchete sem par: \"%1\" na linha %2, em:\r\n%3\r\nGerar a página assim mesmo?",
     "The text has an unmatched bracket: \"%1\" on line %2, at:\r\n%3\r\nGenerate the page anyway?",
     "O texto tem um colchete sem par: \"%1\" na linha %2, em:\r\n%3\r\nGerar a página assim mesmo?\r\n\r\n"
     "The text has an unmatched bracket: \"%1\" on line %2, at:\r\n%3\r\nGenerate the page anyway?"},
    {Fixed::kResultsAddressIsExample,
     "Este ainda é o endereço de exemplo que vem com o KIO: os resultados enviados pelos alunos se perdem.\r\n"
     "Para ter um endereço real, use o kio-results, que vem com o KIO: no computador que vai receber os "
     "resultados, digite num terminal\r\n"
     "    kio-results --configure \"%1\"\r\n"
     "Ele grava o endereço no Configura.txt desta pasta. Depois reinicie o KIO e gere as páginas de novo.",
     "This is still the example address that comes with KIO: results the students send are lost.\r\n"
     "To get a real address, use kio-results, which comes with KIO: on the computer that will receive the "
     "results, type in a terminal\r\n"
     "    kio-results --configure \"%1\"\r\n"
     "It writes the address into the Configura.txt of this folder. Then start KIO again and generate the "
     "pages again."},
    {Fixed::kCannotOpenFile, "Impossível abrir arquivo.", "The file could not be opened.", "Impossível abrir arquivo."},
    {Fixed::kCannotOpenTextFile, "Impossível abrir arquivo texto.", "The text file could not be opened.", "Impossível abrir arquivo texto."},
    {Fixed::kCannotChangeLanguage, "Impossível mudar língua.", "Cannot change language.", "Cannot change language.\r\n Impossível mudar língua."},
    {Fixed::kLanguageFileInProgramFolder, "O arquivo de idioma precisa estar na pasta do programa:\r\n%1\r\nCopie-o para lá e escolha-o de novo.", "The language file must be in the program folder:\r\n%1\r\nCopy it there and choose it again.", "O arquivo de idioma precisa estar na pasta do programa:\r\n%1\r\nCopie-o para lá e escolha-o de novo.\r\n\r\nThe language file must be in the program folder (above).\r\nCopy it there and choose it again."},
    {Fixed::kOutputLanguageNotFound, "Língua de saída não encontrada.", "Output language not found.", "Output language not found.\r\nLíngua de saída não encontrada."},
    {Fixed::kTemplateNotFound, "Modelo da página não encontrado!", "Source code not found!", "Source code not found!"},
    {Fixed::kPageTooLarge, "Este texto faz uma página grande demais (códigos que geram códigos?): a página não foi gerada.", "This text makes a page far too large (codes that make codes?): the page was not generated."},
    {Fixed::kTemplateLacksMarkers, "O modelo da página não tem as marcas dos dados: a página não foi gerada.", "The page template lacks its data markers: the page was not generated."},
    {Fixed::kXapiPartMissing, "O programa não tem a parte das páginas que envia os resultados por xAPI (Tmplates/xapi.js): a página não foi gerada.", "The program lacks the part of the pages that sends results by xAPI (Tmplates/xapi.js): the page was not generated."},
    {Fixed::kPlayerFileMissing, "Arquivo inexistente: %1", "File not found: %1", "Arquivo inexistente:%1"},
    {Fixed::kPlayerFileNotFound, "Arquivo não encontrado: %1", "File not found: %1", "Arquivo não encontrad0: %1"},
    {Fixed::kFolderMissing, "Diretório inexistente: %1", "Folder not found: %1", "Diretório inexistente: %1"},
    {Fixed::kPageNotWritten, "Erro ao criar arquivo html!", "The web page could not be written!", "Erro ao criar arquivo html!"},
    {Fixed::kSupportFilesNotCopied, "Erro ao copiar arquivos para a pasta de destino", "The files could not be copied to the page's folder", "Erro ao copiar arquivos para a pasta de destino"},
    {Fixed::kTextLimitPassed, "Limite de texto ultrapassado. Apenas uma parte será processada.", "The text is over the limit. Only a part of it will be used.", "Limite de texto ultrapassado. Apenas uma parte será processada."},
    {Fixed::kDataLimitPassed, "Limite de dados ultrapassado. Apenas uma parte será processada.", "The data are over the limit. Only a part of them will be used.", "Limite de dados ultrapassado. Apenas uma parte será processada."},
    {Fixed::kSegmentTooShort, "Mínimo de 1 caractere por segmento. Corrija se iniciou ou terminou com '+'.", "Each part needs at least 1 character. Correct the text if it begins or ends with '+'.", "Mínimo de 1 caractere por segmento. Corrija se iniciou ou terminou com '+'."},
    {Fixed::kSegmentBlank, "Segmento em branco entre um '+' e outro. \r\nCorrija se iniciou ou terminou com '+'", "A blank part between one '+' and the next.\r\nCorrect the text if it begins or ends with '+'.", "Segmento em branco entre um '+' e outro. \r\nCorrija se iniciou ou terminou com '+'"},
    {Fixed::kFewerThanThreeSegments, "Segmentar texto no mínimo em 3 partes (usando '+')", "Split the text into at least 3 parts (with '+')", "Segmentar texto no mínimo em 3 partes (usando '+')"},
    {Fixed::kPictureNotFound, "Figura não encontrada: %1", "Picture not found: %1", "Figura não encontrada: %1"},
    {Fixed::kPictureOrFolderMissing, "Figura e/ou pasta inexistente: %1", "Picture or folder not found: %1", "Figura e/ou pasta inexistente: %1"},
    {Fixed::kPictureTooLarge, "Figura muito grande para dicionário", "Picture too large for the dictionary", "Figura muito grande para dicionário"},
    {Fixed::kDictionaryEntryUnreadable, "Erro  (4) ao ler verbete do dicionario.", "Error (4) reading a dictionary entry.", "Erro  (4) ao ler verbete do dicionario."},
    {Fixed::kCanceled, "Cancelado.", "Canceled.", "Cancelado / Canceled"},
    {Fixed::kDictionaryMustBeInFolder, "Dicionário deve ficar na pasta:  %1", "The dictionary must be in the folder:  %1", "Dicionário deve ficar na pasta:  %1"},
    {Fixed::kPartMustBeInFolder, "Segmento do dicionário deve ficar na pasta:  %1", "The dictionary segment must be in the folder:  %1", "Segmento do dicionário deve ficar na pasta:  %1"},
    {Fixed::kPartNeedsOtherName, "Usar para segmento título diferente do dicionário principal.", "Give the segment a name other than the main dictionary's.", "Usar para segmento título diferente do dicionário principal."},
    {Fixed::kPartSaved, "Segmento salvo com sucesso. ", "Segment saved. ", "Segmento salvo com sucesso. "},
    {Fixed::kConfirmSaveAsText, "Confirma salvar dicionário como texto?", "Save the dictionary as text?", "Confirm save dictionary as text ?\r\n\r\nConfirma salvar dicionário como texto?"},
    {Fixed::kSavedAsText, "Dicionário salvo como arquivo texto: %1", "Dictionary saved as a text file: %1", "Dicionário salvo como arquivo texto: %1"},
    {Fixed::kTextNotSaved, "Exportação interrompida: nenhum arquivo de texto foi gravado.", "Export stopped: no text file was written.", "Exportação interrompida: nenhum arquivo de texto foi gravado.\r\n\r\nExport stopped: no text file was written."},
    {Fixed::kCannotWriteText, "Impossível gravar o arquivo de texto.", "Cannot write the text file.", "Impossível gravar o arquivo de texto.\r\n\r\nCannot write the text file."},
    {Fixed::kCannotMerge, "Impossível mesclar dicionários.", "Cannot merge the dictionaries.", "Impossível mesclar dicionários."},
    {Fixed::kMergeNotDone, "Mesclagem interrompida: o dicionário ficou como estava.", "Merge stopped: the dictionary is as it was.", "Mesclagem interrompida: o dicionário ficou como estava.\r\n\r\nMerge stopped: the dictionary is as it was."},
    {Fixed::kMergeInterrupt, "Mesclando verbete %1. Interromper mesclagem?", "Merging entry %1. Stop the merge?", "Mesclando verbete %1. Interromper mesclagem?"},
    {Fixed::kMergeReplaceQuestion, "Substituir verbete do %1?", "Replace the entries of %1?", "Substituir verbete do %1?"},
    {Fixed::kMergeDuplicatesCaption, "Havendo duplicação de verbete", "Where an entry is in both", "Havendo duplicação de verbete"},
    {Fixed::kFindDictionary, "Dicionário não encontrado! Localizar dicionário?", "Dictionary not found! Find the dictionary?", "Dictionary not found!  Find dictionary?  \r\n\r\nDicionário não encontrado! Localizar dicionário ?"},
    {Fixed::kCreateDictionary, "Criar dicionário?", "Create a dictionary?", "Create dictionary ? \r\n \r\n Criar dicionário ?"},
    {Fixed::kDictionaryNotLocated, "Dicionário não localizado!", "Dictionary not found!", "Dictionary not found! \r\n\r\nDicionário não localizado!"},
    {Fixed::kCutRangeTitle, "Excluir verbetes", "Delete entries", "Delete entry.  Deleta verbete."},
    {Fixed::kCutRangeFrom, "Excluir do verbete número:", "Delete from entry number:", "Delete entry from number / Deleta de:"},
    {Fixed::kCutRangeTo, "Até o verbete número:", "Up to entry number:", "Up to number / Até número:"},
    {Fixed::kSavePartTitle, "Salvar segmento do dicionário", "Save dictionary segment", "Save dictionary segment  /  Salva segmento do dicionário"},
    {Fixed::kSavePartFrom, "Do verbete número:", "From entry number:", "From entry number / Do verbete número :"},
    {Fixed::kSavePartTo, "Até o verbete número:", "To entry number:", "To entry number / Até o verbete número:"},
    {Fixed::kSavePartOutOfRange, "Verbetes além e/ou aquém dos limites do dicionário", "Entries outside the limits of the dictionary", "Verbetes além e/ou aquém dos limites do dicionário"},
    {Fixed::kReplaceTitle, "Substituir segmento no dicionário", "Replace segment in dictionary", "Replace segment in dictionary.  Substitui segmento no dicionário."},
    {Fixed::kReplaceSegmentLabel, "Substitui:", "Replace:", "Replace / Substitui :"},
    {Fixed::kReplaceWithLabel, "Por:", "With:", "With / Por:"},
    {Fixed::kReplaceWarning, "CUIDADO!!! Instrumento perigoso!", "CAREFUL!!!  Dangerous Instrument!", "CAREFUL!!!  Dangerous Instrument!"},
    {Fixed::kSearchTitle, "Buscar qualquer segmento a partir daqui", "Search any segment, starting here", "Search any segment, starting here.  Busca qualquer segmento a partir daqui."},
    {Fixed::kSearchSegmentLabel, "Segmento:", "Segment:", "Segment / Segmento:"},
    {Fixed::kLabelOutput, "&Saída", "&Output", nullptr, true},
    {Fixed::kLabelInput, "&Entrada", "I&nput", nullptr, true},
    {Fixed::kLabelDownload, "Do&wnload", "Do&wnload", nullptr, true},
    {Fixed::kLabelSetup, "Configurar", "Setup", nullptr, true},
    {Fixed::kLabelHome, "Início", "Home", nullptr, true},
    {Fixed::kLabelVersion, "KIO Versão 1", "KIO Version 1", nullptr, true},
    {Fixed::kLabelWhatCanIDo, "O que posso fazer?", "What can I do?", nullptr, true},
    {Fixed::kLabelBackgroundColour, "Cor de fundo", "Background color", nullptr, true},
    {Fixed::kLabelFontColour, "Cor da fonte", "Font color", nullptr, true},
    {Fixed::kLabelFontSize, "Tamanho da fonte", "Font size", nullptr, true},
    {Fixed::kLabelChangeFont, "Muda fonte", "Change font", nullptr, true},
    {Fixed::kLabelBox, "Caixa", "Box", nullptr, true},
    {Fixed::kLabelFrame1, "Quadro 01", "Frame 01", nullptr, true},
    {Fixed::kLabelFrame2, "Quadro 02", "Frame 02", nullptr, true},
    {Fixed::kLabelFrame3, "Quadro 03", "Frame 03", nullptr, true},
    {Fixed::kLabelCancel, "Cancelar", "Cancel", nullptr, true},
    {Fixed::kLabelEdit, "&Editar", "&Edit", nullptr, true},
    {Fixed::kLabelDelete, "&Apagar", "&Delete", nullptr, true},
    {Fixed::kLabelReplace, "Subs&titui", "Re&place", nullptr, true},
    {Fixed::kLabelCutSegment, "&Corta trecho", "&Cut segment", nullptr, true},
    {Fixed::kLabelFirst, "Primei&ro", "Firs&t", nullptr, true},
    {Fixed::kLabelFastBack, "Volta rápi&do", "Fast bac&k", nullptr, true},
    {Fixed::kLabelFastForward, "A&vança rápido", "Fast For&ward", nullptr, true},
    {Fixed::kLabelLast, "Últi&mo", "&Last", nullptr, true},
    {Fixed::kLabelFind, "&Procura", "Fi&nd", nullptr, true},
    {Fixed::kLabelSearch, "&Busca", "Searc&h", nullptr, true},
    {Fixed::kLabelOpenDictionary, "Abre", "Open", nullptr, true},
    {Fixed::kLabelNewDictionary, "Novo", "New", nullptr, true},
    {Fixed::kLabelSavePart, "Salva parte", "Save part", nullptr, true},
    {Fixed::kLabelAsText, "Como texto", "As text", nullptr, true},
    {Fixed::kLabelMerge, "Mescla", "Merge", nullptr, true},
    {Fixed::kLabelPackage, "&Pacote", "&Package", nullptr, true},
    {Fixed::kLabelWebPackage, "Pacote web (.zip)", "Web package (.zip)", nullptr, true},
    {Fixed::kLabelFontTitle, "Fonte", "Font", nullptr, true},
    {Fixed::kLabelColour, "Cor", "Color", nullptr, true},
    {Fixed::kLabelFontName, "Tipo de letra", "Font_Name", nullptr, true},
    {Fixed::kLabelItalics, "Itálico", "Italics", nullptr, true},
    {Fixed::kLabelBold, "Negrito", "Bold", nullptr, true},
    {Fixed::kLabelAlignParagraph, "Alinhar parágrafo", "Align Paragraph", nullptr, true},
    {Fixed::kLabelLeft, "&Esquerda", "&Left", nullptr, true},
    {Fixed::kLabelRight, "&Direita", "&Right", nullptr, true},
    {Fixed::kLabelCenter, "&Centro", "&Center", nullptr, true},
    {Fixed::kLabelImage, "&Imagem", "&Image", nullptr, true},
    {Fixed::kLabelAudio, "Á&udio", "&Audio", nullptr, true},
    {Fixed::kLabelVideo, "&Vídeo", "&Video", nullptr, true},
    {Fixed::kLabelFlashVideo, "Vídeo &Flash", "&Flash Video", nullptr, true},
    // Preview
    {Fixed::kLabelPreview, "Visualizar", "Preview", nullptr, true},
    {Fixed::kPreviewFolderNotMade,
     "Não foi possível criar a pasta temporária da visualização (%1): %2",
     "The temporary folder of the preview could not be made (%1): %2"},
    {Fixed::kPreviewNotOpened,
     "O navegador não abriu a visualização. A página está em:\r\n%1\r\nAbra esse arquivo no navegador.",
     "The browser did not open the preview. The page is at:\r\n%1\r\nOpen that file in your browser."},
    // Item checks
    {Fixed::kItemFileName,
     "\r\n- Arquivo de apoio: escreva o nome completo do arquivo, com a extensão, ou # para nenhum.",
     "\r\n- Linked file: type the whole file name with its extension, or # for none."},
    {Fixed::kItemAssessed, "\r\n- Avaliar: escreva S (sim) ou N (não).",
     "\r\n- Assessed: type Y (yes) or N (no)."},
    {Fixed::kItemNoRightOption,
     "\r\n- Opções: marque cada opção certa com > no início (ex.: casa+>mesa+porta).",
     "\r\n- Options: mark each right option with > at its start (e.g. house+>table+door)."},
    {Fixed::kItemMarkOnEmptyOption, "\r\n- Opções: há um > diante de uma opção vazia.",
     "\r\n- Options: there is a > in front of an empty option."},
    {Fixed::kItemEmptyField,
     "\r\n- Nenhum campo pode ficar vazio (nas atividades, # indica um campo sem texto).",
     "\r\n- No box may be left empty (in activities, # marks a box with no text)."},
    {Fixed::kItemFeedbackCount,
     "\r\n- O número de feedbacks deve ser igual ao de opções ou respostas (a mesma quantidade de +).",
     "\r\n- There must be as many feedback parts as options or answers (the same number of +)."},
    {Fixed::kItemTooManyParts, "\r\n- No máximo 21 partes por campo (20 sinais +).",
     "\r\n- At most 21 parts per box (20 + signs)."},
};
// clang-format on

static_assert(std::size(kEntries) == static_cast<size_t>(Fixed::kCount), "one entry for each fixed text");

struct Forms {
  std::array<std::string, 3> text;  // by InterfaceLanguage
  bool label = false;
};

const std::array<Forms, static_cast<size_t>(Fixed::kCount)>& AllForms() {
  static const auto forms = [] {
    std::array<Forms, static_cast<size_t>(Fixed::kCount)> all;
    for (size_t i = 0; i < std::size(kEntries); ++i) {
      const Entry& e = kEntries[i];
      if (static_cast<size_t>(e.id) != i) throw std::logic_error("fixed texts out of order");
      Forms& f = all[i];
      f.text[static_cast<size_t>(InterfaceLanguage::kPortuguese)] = Win1252(e.pt);
      f.text[static_cast<size_t>(InterfaceLanguage::kEnglish)] = Win1252(e.en);
      f.label = e.label;
      f.text[static_cast<size_t>(InterfaceLanguage::kOwn)] = e.own ? Win1252(e.own)
                                                             : e.label
                                                                 ? std::string()
                                                                 : Win1252(e.pt) + "\r\n" + Win1252(e.en);
    }
    return all;
  }();
  return forms;
}

}  // namespace

InterfaceLanguage CurrentInterfaceLanguage() {
  std::string file = ToLower(CurrentSession().appPaths.interfaceLanguageFile);
  const size_t slash = file.find_last_of("/\\");
  if (slash != std::string::npos) file.erase(0, slash + 1);
  if (file == "english.lin") return InterfaceLanguage::kEnglish;
  if (file == "portugues.lin" || file.empty()) return InterfaceLanguage::kPortuguese;
  return InterfaceLanguage::kOwn;
}

const std::string& FixedTextIn(Fixed id, InterfaceLanguage language) {
  return AllForms().at(static_cast<size_t>(id)).text[static_cast<size_t>(language)];
}

const std::string& FixedText(Fixed id) { return FixedTextIn(id, CurrentInterfaceLanguage()); }

std::string FixedText(Fixed id, const std::vector<std::string>& values) {
  // One pass over the text: a value that holds "%1" (a teacher's text) is
  // put in as it is.
  const std::string& form = FixedText(id);
  std::string text;
  for (size_t i = 0; i < form.size(); ++i) {
    const size_t n =
        i + 1 < form.size() && form[i] == '%' ? static_cast<size_t>(form[i + 1] - '1') : values.size();
    if (n < values.size()) {
      text += values[n];
      ++i;
    } else {
      text += form[i];
    }
  }
  return text;
}

bool IsFixedLabel(Fixed id) { return AllForms().at(static_cast<size_t>(id)).label; }

void ShowFixedLabels(Dialog& dialog) {
  const InterfaceLanguage language = CurrentInterfaceLanguage();
  if (language == InterfaceLanguage::kOwn) return;
  for (const Forms& f : AllForms()) {
    if (f.label && (dialog.Title() == f.text[static_cast<size_t>(InterfaceLanguage::kPortuguese)] ||
                    dialog.Title() == f.text[static_cast<size_t>(InterfaceLanguage::kEnglish)])) {
      dialog.SetTitle(f.text[static_cast<size_t>(language)]);
      break;
    }
  }
  for (const ControlSpec& c : dialog.Layout().controls) {
    if (c.kind != ControlKind::Button && c.kind != ControlKind::Label && c.kind != ControlKind::Group)
      continue;
    for (const Forms& f : AllForms()) {
      if (!f.label) continue;
      if (c.label == f.text[static_cast<size_t>(InterfaceLanguage::kPortuguese)] ||
          c.label == f.text[static_cast<size_t>(InterfaceLanguage::kEnglish)]) {
        dialog.SetItemText(c.id, f.text[static_cast<size_t>(language)]);
        break;
      }
    }
  }
}

}  // namespace kio
