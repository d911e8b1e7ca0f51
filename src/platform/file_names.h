// File names cross between the program and the file system here, and only
// here. The program holds a name like any other text, in Windows-1252, so
// that it can be lower-cased, compared and written into pages character by
// character; the file system holds UTF-8 names, which every other program on
// the desktop shows. A name goes to the system through SystemName and comes
// back (a folder, a folder's listing, the command line) through ProgramName.
#pragma once
#include <optional>
#include <string>

namespace kio {

// The file system's name for a program text. Every Windows-1252 text has one.
std::string SystemName(const std::string& name);

// The program text for a name read from the file system; nothing when the
// name is not UTF-8 or holds a character Windows-1252 cannot hold.
std::optional<std::string> ProgramName(const std::string& systemName);

// For the message that refuses a name: the first character of a system name
// that has no Windows-1252 form, in UTF-8 ("?" for bytes that are not UTF-8);
// empty when the name has a program text.
std::string FirstUnfitCharacter(const std::string& systemName);

}  // namespace kio
