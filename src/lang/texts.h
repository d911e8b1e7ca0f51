// The interface texts, help texts and student texts, and their loaders.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "fileio/session.h"

namespace kio {

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
