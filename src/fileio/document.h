// The shared document state and the steps every editor's Open, Save and
// Generate go through.
#pragma once
#include <string>

#include "fileio/file.h"
#include "fileio/session.h"
#include "platform/platform.h"

namespace kio {

// Readies an existing file for being opened read-write or overwritten.
// False means the caller abandons the operation: the message was shown and
// `file` closed.
bool PrepareDocumentFile(File& file, const std::string& name);
// The same preparation without showing anything: the message
// PrepareDocumentFile would show (under "Oops!"), or empty when the file can
// be written.
std::string DocumentFileProblem(const std::string& name);

// Shows the message for `cause` followed by `suffix` under "Oops!".
void ReportFileError(int cause, const std::string& suffix);
// The text that ReportFileError shows.
std::string FileErrorMessage(int cause, const std::string& suffix);

// True when every character of `name` is one of A-Z a-z 0-9 _ . (the
// interface asks before it uses any other name).
bool HasOnlyPlainFileNameCharacters(const std::string& name);

// The chooser request for files of one extension in a folder: initial name
// folder + "*.ext", filter "*.ext||", default extension "ext".
ChooserRequest ExtensionChooser(const std::string& folder, const std::string& extension, bool save);

// The chooser request of a document kind: ExtensionChooser in the
// documents folder.
ChooserRequest DocumentChooser(const std::string& extension, bool save);

// True when the file `path` names lies in the program folder: the same
// folder text whatever its case, or the same folder on disk.
bool InProgramFolder(const std::string& path);

// Open step 3 and Save: stores the chosen file's lower-cased bare name in
// documentName.
void TakeChosenName(const std::string& chosenPath);
// Open step 7: documentsFolder := the chosen file's folder, as it is written
// on disk (a lower-cased folder name would not exist on a file system that
// tells cases apart, and the next chooser would not open there).
void SetDocumentsFolderFrom(const std::string& chosenPath);

}  // namespace kio
