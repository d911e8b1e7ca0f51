// xAPI statements: the /xapi/statements resource of a learning record
// store, for pages and other tools that report in the Experience API
// (versions 1.0.3 and 2.0.0). What a statement must hold to be accepted,
// and the keys by which statements are found again.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

namespace kio::results {

inline constexpr char kStatementsPath[] = "/xapi/statements";

// The version named in an X-Experience-API-Version header when it is one
// this server speaks ("1.0.3", "2.0.0"...), else "".
std::string SpokenVersion(const std::string& header);

// "" when `statement` is a valid statement, else what is wrong with it.
std::string CheckStatement(const nlohmann::json& statement);

// The key of an agent for finding its statements: its one identifier
// ("mbox:mailto:a@b", "account:https://x|name"...); "" when it has none.
std::string AgentKey(const nlohmann::json& agent);

// True for an UUID in its usual 8-4-4-4-12 hexadecimal form.
bool IsUuid(const std::string& text);
// A new random (version 4) UUID.
std::string NewUuid();
// The current UTC time as ISO 8601 with milliseconds: 2026-12-11T14:05:00.123Z.
std::string IsoNow();

// True when two statements with the same id say the same thing: the
// properties the store sets itself (stored, authority, version, and a
// timestamp the sender did not give) are not compared.
bool SameStatement(nlohmann::json stored, nlohmann::json received);

}  // namespace kio::results
