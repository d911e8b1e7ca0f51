// The interface texts, help texts and student texts, and their loaders.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "fileio/session.h"
#include "platform/platform.h"

namespace kio {

// The records of the interface language file that the program uses, by
// name; the value is the record's number in the file.
enum class Ui : int {
  // Home screen and program-wide
  kWhatCanIDo = 0,       // "What can I do?": the button that shows the help
  kProgramName = 1,      // "KIO": the caption of questions and notices
  kCreateOutput = 5,     // the home button that opens the Output editor
  kWelcome = 20,         // the home screen's greeting (shares help text 1)
  kAskLeaveKio = 21,     // asked before the program ends
  kHelpActivities = 28,  // help on the activities (shares help text 2)
  kHelpDictionary = 48,  // help on the dictionary (shares help text 3)
  kDictionaryButton = 133,
  kEclipseButton = 135,
  kClozeButton = 136,
  kSequenceButton = 137,
  kMemoryButton = 138,
  kMultipleButton = 139,
  kLinkedPageButton = 140,  // also the label of the lexical page's own button
  kBasicPageButton = 141,
  kDialogicalButton = 142,
  kMenuButton = 143,
  kIndexButton = 144,
  kProductivityButton = 181,
  kResultsAddress = 206,  // "Address that receives the students' results: "
  // Editors: buttons shared by every editor
  kReturnButton = 145,
  kNewButton = 146,
  kOpenButton = 147,
  kSaveButton = 148,
  kSaveAsButton = 149,
  kGenerateButton = 150,
  kAttachButton = 151,
  kInsertButton = 152,
  kBackButton = 153,
  kForwardButton = 154,
  kCutButton = 155,
  kPasteButton = 156,
  kSelectButton = 157,
  kCopyButton = 183,
  kFontButton = 184,
  kParagraphButton = 185,
  kGlobalButton = 186,
  // Editors: documents and pages
  kUntitled = 23,            // the name of a new document
  kClozeInstructions = 25,   // a new text activity's instructions
  kEclipseHint = 29,         // what the student of an Eclipse sees
  kGivenWordsHint = 30,      // how to write Eclipse's given words
  kNothingToSave = 31,       // the document is empty
  kNothingToGenerate = 32,   // no text (or item) to build the page from
  kSequenceHint = 33,        // how to separate a Sequence's parts
  kMemoryInstructions = 35,  // a new Memory's instructions
  kMemoryPairCount = 36,     // Memory needs 3, 4, 6 or 8 complete pairs
  kBoxesOutOfOrder = 37,     // boxes must be filled in order, none skipped
  kFormattingHint = 67,      // Font, Paragraph and AV show codes to copy
  kSequenceInstructions = 83,
  kFileNotSaved = 84,    // after the cause of a failed Save
  kAskSaveChanges = 73,  // the document changed: save it?
  kPageGenerated = 53,
  kAskSeePage = 54,  // see the generated page in the browser now?
  kPageGeneratedInFolder = 55,
  kUnsafeFileName = 178,  // a file name with blanks, accents or signs
  kBoxColour = 180,       // the page settings' default box colour
  // List editors (Multiple choice, Dialogical, Index)
  kLinkedFileLabel = 38,  // "Linked file (# = none):"
  kAssessedLabel = 39,    // "Assessed? (Y/N)"
  kQuestionLabel = 40,
  kOptionsLabel = 41,
  kFeedbackLabel = 42,
  kWrongHintLabel = 43,  // hint for a wrong answer
  kDocumentNotOpened = 104,
  kListAtLargest = 105,  // Forward would go past the last place
  kNothingToPaste = 106,
  kDocumentNotSaved = 107,
  kNameOfLinkedFile = 108,  // the page name is a file an item uses
  kPageNotGenerated = 109,
  kAskAttachItem = 110,       // the shown item changed: attach it first?
  kCheckLinkedFile = 112,     // item check: the linked file's name
  kCheckAssessed = 113,       // item check: Y or N
  kCheckRightOption = 114,    // item check: no option marked right
  kCheckEmptyOption = 115,    // item check: ">" before an empty option
  kCheckEmptyBox = 116,       // item check: a box left empty
  kCheckFeedbackCount = 117,  // item check: feedback parts and options differ
  kCheckPartLimit = 118,      // item check: more than 21 parts in a box
  kNoItemHere = 119,          // Copy or Cut on the blank place
  kNotForBrowser = 2,         // a KIO or Office document a browser cannot open
  // Menu and Index
  kNotInIndexFolder = 3,  // the chosen file lies outside the index folder
  kNotPageOrPicture = 4,  // the chosen file is no page or picture
  kActivity = 26,         // a menu button's default text
  kMenuTitle = 47,        // a new menu's title
  kIndexFolderNow = 195,  // index moved: use the new folder?
  kIndexFolderBut = 196,  // index moved: "but it now lies in the folder"
  kIndexFolderWas = 197,  // index moved: "This index was saved for the folder"
  kUsualPageName = 207,   // menu.htm or index.html are the usual names
  kPageNameEnding = 212,  // a page name ends in .htm or .html
  // Lexical page
  kChooseDictionary = 71,  // choose the dictionary to link the words to
  // Dictionary editor
  kAskDeleteEntry = 87,
  kRangeOutOfBounds = 95,
  kAskDeleteRange = 96,
  kAskAttachEntry = 97,  // the shown entry changed: attach it?
  kFillEntry = 98,       // headword and explanation both needed
  kAskSaveDictionary = 99,
  kTypeSegment = 100,  // type the segment to be replaced
  kEntriesSearched = 101,
  kSentenceEnd = 102,  // ".\r\n" between the counts
  kReplacementsMade = 103,
  // Records the loader leaves as they are
  kSkippedA = 182,
  kSkippedB = 205,
};

// The text of record `id` of the interface language in use.
const std::string& UiText(Ui id);
// Replaces the text of record `id` for the rest of the run.
void SetUiText(Ui id, std::string text);

// Asks record kUnsafeFileName at the first character of `name` outside
// A-Z a-z 0-9 _ . ; Yes when every character is allowed.
Answer CheckFileNameCharacters(const std::string& name);

constexpr int kFirstStudentEntry = 5;
constexpr int kLastStudentEntry = 34;
// Largest language or help file the loaders take: the shared buffer holds
// 550,000 bytes including the terminating zero.
constexpr size_t kSharedTextBufferSize = 550000;

// StudentText entry r (5..34). Entries 5 to 33 share their storage with
// UiText entries, entry 34 with completionMessage.
std::string& StudentText(int entry);
// The UiText entry behind StudentText entry r (5..33).
int StudentTextUiRecord(int entry);

// Help texts by load order (1..76) and by file name.
const char* HelpFileName(int index);
const std::string& HelpText(const std::string& fileName);
const std::string& HelpText(int index);

// Takes the records of a record file: each "^" that has a later "~" opens a
// record running to that "~"; scanning goes on after the "^". At most
// `capacity` records are kept; the rest are left out.
std::vector<std::string> ReadRecords(const std::string& contents, size_t capacity);

// The help folder for an interface language file name.
std::string HelpFolderFor(const std::string& languageFile);

// "Input language not found ...": an unusable interface language file.
const std::string& InputLanguageNotFoundMessage();

// Reads the file named by appPaths.interfaceLanguageFile into UiText, sets
// the help folder and loads the help texts. Ends the process when the file
// is unusable.
void LoadInterfaceLanguage();

// The 30 texts of entries 5 to 34 (at index 0 to 29) in the contents of a
// student language file; an entry without its record is empty.
std::vector<std::string> StudentTextsOf(const std::string& contents);

// Reads the file named by appPaths.studentLanguageFile into StudentText.
// Ends the process when the file is unusable.
void LoadStudentLanguage();

// The completion message a new document gets when no student language file
// can be read: the one of the student language the program ships with.
const std::string& BuiltInCompletionMessage();
// The completion message a new document gets in the editors, for a program
// folder (with its trailing "/"): entry 34 of the student language file its
// "lingualu.dat" names, read as the start-up reads it. The built-in message
// when either file cannot be read; nothing is shown and nothing ends.
std::string StudentCompletionMessage(const std::string& programFolder);

// A caption that the program holds itself rather than in the language file
// (a few labels of the editors): English when the interface is English,
// Portuguese otherwise.
std::string LocalText(const std::string& portuguese, const std::string& english);

// Reads a whole file of 2 to 549,999 bytes through configFile; false when it
// cannot be opened, is shorter than 2 bytes, or does not fit the buffer.
bool ReadTextFile(const std::string& name, std::string& contents);

}  // namespace kio
