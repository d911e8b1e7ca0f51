// The one owner of everything the program keeps for the whole run: the
// folders and configuration read at start-up, the shared document file
// state, the interface, help and student texts, the open document's page
// settings, and the objects of the higher layers that live as long (the
// dictionary in use, the item clipboard). One Reset puts all of it back to
// the state of a program that has just started; the start-up and every test
// fixture call it.
//
// The members are plain records named as the rest of the program names
// them. Layers above this one keep their own long-lived objects here too,
// through Part<T>(), so that Reset drops them with the rest.
#pragma once
#include <array>
#include <map>
#include <memory>
#include <string>
#include <typeindex>

#include "fileio/file.h"

namespace kio {

// Where everything lies, and the configuration values read at start-up.
struct AppPaths {
  std::string startFolder;               // folder of "lexicon.dat", with a trailing "/"
  std::string programFolder;             // copy of startFolder taken by the home screen
  std::string documentsFolder;           // the teacher's current documents folder
  std::string resultsAddress;            // contents of "Configura.txt", at most 299 bytes
  bool readOnlyMedia = false;            // "Configura.txt" exists but cannot be written
  std::string lexiconDataFile;           // at most 99 bytes, lower case
  std::string lexiconPointerFile;        // at most 99 bytes
  std::string lexiconBackupDataFile;     // at most 99 bytes
  std::string lexiconBackupPointerFile;  // at most 99 bytes
  std::string interfaceLanguageFile;     // at most 51 bytes
  std::string studentLanguageFile;       // at most 51 bytes
  std::string helpFolder;                // relative, with a trailing "/"
};

// Capacities of the configuration fields.
constexpr size_t kResultsAddressCapacity = 299;
constexpr size_t kLexiconNameCapacity = 99;
constexpr size_t kLanguageNameCapacity = 51;

// The page-layout settings of the pages, stored in the settings block that
// begins every activity and page document.
struct PageSettings {
  std::string background1, background2, background3, boxColor;
  std::string fontColor1, fontColor2, fontColor3;
  std::string fontFace1, fontFace2, fontFace3;
  std::string fontSize1, fontSize2, fontSize3;
  std::string frameCols, frameRows;
  // The completion message is Session::completionMessage, which is also the
  // student text of entry 34.
};

constexpr int kUiTextCount = 213;
constexpr int kHelpTextCount = 77;

class Session {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Everything back to the state of a program that has just started: empty
  // texts and names, closed files, no higher-layer objects.
  void Reset();

  // A higher layer's long-lived object, made on first use and dropped by
  // Reset.
  template <typename T>
  T& Part() {
    auto& slot = parts_[std::type_index(typeid(T))];
    if (!slot) slot = std::make_unique<Holder<T>>();
    return static_cast<Holder<T>*>(slot.get())->value;
  }

  // --- Start-up and configuration ---
  AppPaths appPaths;

  // --- The shared document file state ---
  File documentFile;          // the document being edited
  std::string documentName;   // its lower-case bare name
  bool documentOpen = false;  // whether it has a file yet
  File configFile;            // reads one whole configuration or language file

  // --- Interface, help and student texts ---
  // Record k of the interface language.
  std::array<std::string, kUiTextCount> UiText;
  // Help texts 4 to 77 by load order; 1, 2 and 3 share their storage with
  // UiText records 20, 28 and 48.
  std::array<std::string, kHelpTextCount + 1> helpTexts;
  // The activity's end message; also student text entry 34.
  std::string completionMessage;

  // --- The open document's page settings and media sizes ---
  // Size of videos, set by the AV dialog and by the {h= and {t= codes.
  std::string MediaWidth, MediaHeight;
  // The one current page settings, and what the last settings block read
  // found ("tem_tres_frames_e_cortabela", "vazio" or the bytes read).
  PageSettings pageSettings;
  std::string blockStatus;
  // The short name each editor sets before it opens the AV dialog.
  std::string activityName;
  // Folder of the page being generated, where support files are copied.
  std::string outputFolder;

 private:
  struct PartBase {
    virtual ~PartBase() = default;
  };
  template <typename T>
  struct Holder : PartBase {
    T value;
  };
  std::map<std::type_index, std::unique_ptr<PartBase>> parts_;
};

// The program's one session.
Session& CurrentSession();

}  // namespace kio
