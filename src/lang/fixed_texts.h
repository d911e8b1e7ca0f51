// The program's fixed texts: messages, captions and labels that the program
// holds itself rather than reading them from the interface language file.
// Each has a Portuguese and an English form; the teacher sees the form of
// the interface language in use ("portugues.lin" or "english.lin"), and
// the program's original text where a language file of the teacher's own is
// loaded (most of them bilingual, so that either reader understands).
#pragma once
#include <string>
#include <vector>

#include "fileio/failure.h"

namespace kio {

class Dialog;

enum class Fixed {
  // List editors
  kReplaceOrAddItem,  // Attach again on the item just attached
  kDocumentOpenedCut,
  kListFull,
  kErrors,  // "Error(s): " before an item check's messages
  kFinalMessageLabel,
  kInstructionsLabel,
  kPageTextLabel,
  // Cloze
  kClozeWithoutGaps,
  kUnmatchedBracket,  // %1 the bracket, %2 its line, %3 the text around it
  // Home screen
  kResultsAddressIsExample,
  // Document editors
  kCannotOpenFile,
  kCannotOpenTextFile,
  // Home screen
  kCannotChangeLanguage,
  kLanguageFileInProgramFolder,
  // Output editor
  kOutputLanguageNotFound,
  // Writing pages
  kTemplateNotFound,
  kPageTooLarge,
  kTemplateLacksMarkers,
  kXapiPartMissing,
  kPlayerFileMissing,
  kPlayerFileNotFound,
  kFolderMissing,
  kPageNotWritten,
  kSupportFilesNotCopied,
  // Eclipse, Sequence and the lexical page
  kTextLimitPassed,
  kDataLimitPassed,
  kSegmentTooShort,
  kSegmentBlank,
  kFewerThanThreeSegments,
  kPictureNotFound,
  kPictureOrFolderMissing,
  kPictureTooLarge,
  kDictionaryEntryUnreadable,
  // Dictionary editor and the choice of a dictionary
  kCanceled,
  kDictionaryMustBeInFolder,
  kPartMustBeInFolder,
  kPartNeedsOtherName,
  kPartSaved,
  kConfirmSaveAsText,
  kSavedAsText,
  kTextNotSaved,
  kCannotWriteText,
  kCannotMerge,
  kMergeNotDone,
  kMergeInterrupt,
  kMergeReplaceQuestion,
  kMergeDuplicatesCaption,
  kFindDictionary,
  kCreateDictionary,
  kDictionaryNotLocated,
  // Dictionary editor: the small dialogs
  kCutRangeTitle,
  kCutRangeFrom,
  kCutRangeTo,
  kSavePartTitle,
  kSavePartFrom,
  kSavePartTo,
  kSavePartOutOfRange,
  kReplaceTitle,
  kReplaceSegmentLabel,
  kReplaceWithLabel,
  kReplaceWarning,
  kSearchTitle,
  kSearchSegmentLabel,
  // Labels that stand in the dialogs' layouts: ShowFixedLabels shows them in
  // the interface language.
  kLabelOutput,
  kLabelInput,
  kLabelDownload,
  kLabelSetup,
  kLabelHome,
  kLabelVersion,
  kLabelWhatCanIDo,
  kLabelBackgroundColour,
  kLabelFontColour,
  kLabelFontSize,
  kLabelChangeFont,
  kLabelBox,
  kLabelFrame1,
  kLabelFrame2,
  kLabelFrame3,
  kLabelCancel,
  kLabelEdit,
  kLabelDelete,
  kLabelReplace,
  kLabelCutSegment,
  kLabelFirst,
  kLabelFastBack,
  kLabelFastForward,
  kLabelLast,
  kLabelFind,
  kLabelSearch,
  kLabelOpenDictionary,
  kLabelNewDictionary,
  kLabelSavePart,
  kLabelAsText,
  kLabelMerge,
  kLabelPackage,
  kLabelWebPackage,  // the Package window's first format
  // Font, Align Paragraph and AV dialogs (titles too)
  kLabelFontTitle,
  kLabelColour,
  kLabelFontName,
  kLabelItalics,
  kLabelBold,
  kLabelAlignParagraph,
  kLabelLeft,
  kLabelRight,
  kLabelCenter,
  kLabelImage,
  kLabelAudio,
  kLabelVideo,
  kLabelFlashVideo,
  // Preview
  kLabelPreview,
  kPreviewFolderNotMade,  // %1 the folder, %2 the system's reason
  kPreviewNotOpened,      // %1 the page's path
  // Item checks: what a list item lacks, shown after "Error(s): " when the
  // interface language file has no text of its own for it (records 112 to
  // 118).
  kItemFileName,
  kItemAssessed,
  kItemNoRightOption,
  kItemMarkOnEmptyOption,
  kItemEmptyField,
  kItemFeedbackCount,
  kItemTooManyParts,
  kCount
};

// Which form of the fixed texts the teacher sees.
enum class InterfaceLanguage { kPortuguese, kEnglish, kOwn };

// From the interface language file in use.
InterfaceLanguage CurrentInterfaceLanguage();

// The text of `id` in the interface language, in Windows-1252.
const std::string& FixedText(Fixed id);
// The same with "%1", "%2", ... replaced by `values`.
std::string FixedText(Fixed id, const std::vector<std::string>& values);
// The three forms of `id`, for tests and tools.
const std::string& FixedTextIn(Fixed id, InterfaceLanguage language);

// Whether `id` is a label of the layouts, and its form in `language`.
bool IsFixedLabel(Fixed id);

// Shows in the interface language every control of `dialog` whose layout
// label is one of the fixed labels (in either form), and the title when it
// is one of them; under a teacher's own
// language file the layouts' labels stay. Labels set afterwards from the
// interface language file (records) take their place as before.
void ShowFixedLabels(Dialog& dialog);

// OopsCaption(), the caption of the program's refusals, is in
// fileio/failure.h so that the file layer's messages use it too.

}  // namespace kio
