// Setting kio-results up: where its data lives, the addresses to give out,
// the teacher key, and writing the results address into a KIO program
// folder's Configura.txt.
#pragma once
#include <string>

namespace kio::results {

// $XDG_DATA_HOME/kio-results, else ~/.local/share/kio-results.
std::string DefaultDataFolder();

// The host students' browsers should use: the listen address when it names
// one, otherwise this computer's first non-loopback IPv4 address (private
// network addresses first), and 127.0.0.1 when it has none.
std::string AddressForStudents(const std::string& listen);

// "http://HOST:PORT" (IPv6 hosts in brackets).
std::string BaseAddress(const std::string& host, int port);

// 32 random hexadecimal digits.
std::string NewTeacherKey();
// 16 random hexadecimal digits: a teacher's token in their course address.
std::string NewTeacherToken();
// Empty when `name` will do for a teacher (1 to 100 characters of UTF-8,
// no control characters), else what is wrong with it.
std::string CheckTeacherName(const std::string& name);

// Writes `address` as the whole content of PROGRAM_FOLDER/Configura.txt
// (one bare value, no line break), replacing the file in one step. Returns
// an empty text on success, else what went wrong.
std::string WriteResultsAddress(const std::string& programFolder, const std::string& address);

}  // namespace kio::results
