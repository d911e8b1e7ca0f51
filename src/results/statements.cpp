#include "results/statements.h"

#include <openssl/rand.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <regex>
#include <set>

namespace kio::results {

using nlohmann::json;

namespace {

bool IsIri(const json& value) {
  if (!value.is_string()) return false;
  static const std::regex iri("^[A-Za-z][A-Za-z0-9+.-]*:[^\\s]+$");
  return std::regex_match(value.get<std::string>(), iri);
}

bool IsLanguageMap(const json& value) {
  if (!value.is_object()) return false;
  static const std::regex tag("^[A-Za-z]{1,8}(-[A-Za-z0-9]{1,8})*$");
  for (const auto& [language, text] : value.items())
    if (!std::regex_match(language, tag) || !text.is_string()) return false;
  return true;
}

bool IsTimestamp(const json& value) {
  if (!value.is_string()) return false;
  static const std::regex timestamp(
      "^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}(:\\d{2}(\\.\\d+)?)?(Z|[+-]\\d{2}(:?\\d{2})?)$");
  return std::regex_match(value.get<std::string>(), timestamp);
}

bool IsDuration(const json& value) {
  if (!value.is_string()) return false;
  static const std::regex duration(
      "^P(?!$)(\\d+(\\.\\d+)?Y)?(\\d+(\\.\\d+)?M)?(\\d+(\\.\\d+)?W)?(\\d+(\\.\\d+)?D)?"
      "(T(?=\\d)(\\d+(\\.\\d+)?H)?(\\d+(\\.\\d+)?M)?(\\d+(\\.\\d+)?S)?)?$");
  return std::regex_match(value.get<std::string>(), duration);
}

// Only these properties, and each of the required ones.
std::string Properties(const json& value, const char* what, const std::set<std::string>& allowed,
                       const std::set<std::string>& required = {}) {
  if (!value.is_object()) return std::string(what) + " must be an object";
  for (const auto& [name, ignored] : value.items())
    if (!allowed.count(name)) return std::string(what) + " has an unknown property: " + name;
  for (const std::string& name : required)
    if (!value.contains(name)) return std::string(what) + " lacks " + name;
  return "";
}

std::string CheckExtensions(const json& value, const char* what) {
  if (!value.is_object()) return std::string(what) + " extensions must be an object";
  for (const auto& [key, ignored] : value.items())
    if (!IsIri(json(key))) return std::string(what) + " extension keys must be IRIs";
  return "";
}

std::string CheckAgent(const json& agent, const char* what, bool groupAllowed = true);

std::string CheckIdentifier(const json& agent, const char* what, bool required) {
  int identifiers = 0;
  if (agent.contains("mbox")) {
    ++identifiers;
    if (!agent["mbox"].is_string() || !agent["mbox"].get<std::string>().starts_with("mailto:"))
      return std::string(what) + " mbox must be a mailto: IRI";
  }
  if (agent.contains("mbox_sha1sum")) {
    ++identifiers;
    static const std::regex sha1("^[0-9a-fA-F]{40}$");
    if (!agent["mbox_sha1sum"].is_string() ||
        !std::regex_match(agent["mbox_sha1sum"].get<std::string>(), sha1))
      return std::string(what) + " mbox_sha1sum must be 40 hexadecimal digits";
  }
  if (agent.contains("openid")) {
    ++identifiers;
    if (!IsIri(agent["openid"])) return std::string(what) + " openid must be a URI";
  }
  if (agent.contains("account")) {
    ++identifiers;
    std::string problem =
        Properties(agent["account"], "an account", {"homePage", "name"}, {"homePage", "name"});
    if (!problem.empty()) return problem;
    if (!IsIri(agent["account"]["homePage"]) || !agent["account"]["name"].is_string())
      return std::string(what) + " account needs a homePage IRL and a name";
  }
  if (identifiers > 1) return std::string(what) + " has more than one identifier";
  if (required && identifiers == 0)
    return std::string(what) + " has no identifier (mbox, mbox_sha1sum, openid, account)";
  return "";
}

std::string CheckAgent(const json& agent, const char* what, bool groupAllowed) {
  std::string problem =
      Properties(agent, what, {"objectType", "name", "mbox", "mbox_sha1sum", "openid", "account", "member"});
  if (!problem.empty()) return problem;
  std::string type = agent.value("objectType", "Agent");
  if (agent.contains("objectType") && !agent["objectType"].is_string())
    return std::string(what) + " objectType must be a text";
  if (agent.contains("name") && !agent["name"].is_string()) return std::string(what) + " name must be a text";
  if (type == "Agent") {
    if (agent.contains("member")) return std::string(what) + " is an Agent with members";
    return CheckIdentifier(agent, what, true);
  }
  if (type != "Group" || !groupAllowed)
    return std::string(what) + " must be an Agent" + (groupAllowed ? " or a Group" : "");
  problem = CheckIdentifier(agent, what, false);
  if (!problem.empty()) return problem;
  bool identified = agent.contains("mbox") || agent.contains("mbox_sha1sum") || agent.contains("openid") ||
                    agent.contains("account");
  if (agent.contains("member")) {
    if (!agent["member"].is_array()) return std::string(what) + " member must be an array";
    for (const json& member : agent["member"]) {
      problem = CheckAgent(member, "a group member", false);
      if (!problem.empty()) return problem;
    }
  } else if (!identified) {
    return std::string(what) + " is an anonymous Group without members";
  }
  if (!identified && agent.contains("member") && agent["member"].empty())
    return std::string(what) + " is an anonymous Group without members";
  return "";
}

std::string CheckActivity(const json& activity) {
  std::string problem = Properties(activity, "an activity", {"objectType", "id", "definition"}, {"id"});
  if (!problem.empty()) return problem;
  if (!IsIri(activity["id"])) return "an activity id must be an IRI";
  if (!activity.contains("definition")) return "";
  const json& d = activity["definition"];
  problem = Properties(d, "an activity definition",
                       {"name", "description", "type", "moreInfo", "extensions", "interactionType",
                        "correctResponsesPattern", "choices", "scale", "source", "target", "steps"});
  if (!problem.empty()) return problem;
  for (const char* map : {"name", "description"})
    if (d.contains(map) && !IsLanguageMap(d[map]))
      return std::string("an activity's ") + map + " must be a language map";
  for (const char* iri : {"type", "moreInfo"})
    if (d.contains(iri) && !IsIri(d[iri])) return std::string("an activity's ") + iri + " must be an IRI";
  if (d.contains("extensions")) return CheckExtensions(d["extensions"], "an activity's");
  return "";
}

std::string CheckStatementRef(const json& ref, const char* what) {
  std::string problem = Properties(ref, what, {"objectType", "id"}, {"objectType", "id"});
  if (!problem.empty()) return problem;
  if (!ref["id"].is_string() || !IsUuid(ref["id"].get<std::string>()))
    return std::string(what) + " id must be a UUID";
  return "";
}

std::string CheckContextActivities(const json& value) {
  std::string problem = Properties(value, "contextActivities", {"parent", "grouping", "category", "other"});
  if (!problem.empty()) return problem;
  for (const auto& [kind, activities] : value.items()) {
    if (activities.is_array()) {
      for (const json& a : activities) {
        problem = CheckActivity(a);
        if (!problem.empty()) return problem;
      }
    } else {
      problem = CheckActivity(activities);
      if (!problem.empty()) return problem;
    }
  }
  return "";
}

std::string CheckResult(const json& result) {
  std::string problem = Properties(result, "the result",
                                   {"score", "success", "completion", "response", "duration", "extensions"});
  if (!problem.empty()) return problem;
  if (result.contains("score")) {
    const json& score = result["score"];
    problem = Properties(score, "the score", {"scaled", "raw", "min", "max"});
    if (!problem.empty()) return problem;
    for (const auto& [name, value] : score.items())
      if (!value.is_number()) return "the score's " + name + " must be a number";
    if (score.contains("scaled") && (score["scaled"] < -1 || score["scaled"] > 1))
      return "the scaled score must be between -1 and 1";
    if (score.contains("min") && score.contains("max") && score["min"] > score["max"])
      return "the score's min is over its max";
    if (score.contains("raw") && score.contains("min") && score["raw"] < score["min"])
      return "the raw score is under its min";
    if (score.contains("raw") && score.contains("max") && score["raw"] > score["max"])
      return "the raw score is over its max";
  }
  for (const char* flag : {"success", "completion"})
    if (result.contains(flag) && !result[flag].is_boolean())
      return std::string("the result's ") + flag + " must be true or false";
  if (result.contains("response") && !result["response"].is_string())
    return "the result's response must be a text";
  if (result.contains("duration") && !IsDuration(result["duration"]))
    return "the result's duration must be an ISO 8601 duration";
  if (result.contains("extensions")) return CheckExtensions(result["extensions"], "the result's");
  return "";
}

std::string CheckContext(const json& context) {
  std::string problem = Properties(context, "the context",
                                   {"registration", "instructor", "team", "contextActivities", "revision",
                                    "platform", "language", "statement", "extensions"});
  if (!problem.empty()) return problem;
  if (context.contains("registration") &&
      !(context["registration"].is_string() && IsUuid(context["registration"].get<std::string>())))
    return "the context's registration must be a UUID";
  if (context.contains("instructor")) {
    problem = CheckAgent(context["instructor"], "the instructor");
    if (!problem.empty()) return problem;
  }
  if (context.contains("team")) {
    if (context["team"].value("objectType", "") != "Group") return "the team must be a Group";
    problem = CheckAgent(context["team"], "the team");
    if (!problem.empty()) return problem;
  }
  if (context.contains("contextActivities")) {
    problem = CheckContextActivities(context["contextActivities"]);
    if (!problem.empty()) return problem;
  }
  for (const char* text : {"revision", "platform", "language"})
    if (context.contains(text) && !context[text].is_string())
      return std::string("the context's ") + text + " must be a text";
  if (context.contains("statement")) {
    problem = CheckStatementRef(context["statement"], "the context's statement");
    if (!problem.empty()) return problem;
  }
  if (context.contains("extensions")) return CheckExtensions(context["extensions"], "the context's");
  return "";
}

std::string CheckBody(const json& s, bool sub) {
  std::set<std::string> allowed = {"actor",   "verb",      "object",     "result",
                                   "context", "timestamp", "attachments"};
  if (!sub)
    allowed.insert({"id", "stored", "authority", "version"});
  else
    allowed.insert("objectType");
  std::string problem =
      Properties(s, sub ? "a sub-statement" : "a statement", allowed, {"actor", "verb", "object"});
  if (!problem.empty()) return problem;
  if (!sub && s.contains("id") && !(s["id"].is_string() && IsUuid(s["id"].get<std::string>())))
    return "the statement id must be a UUID";
  problem = CheckAgent(s["actor"], "the actor");
  if (!problem.empty()) return problem;
  problem = Properties(s["verb"], "the verb", {"id", "display"}, {"id"});
  if (!problem.empty()) return problem;
  if (!IsIri(s["verb"]["id"])) return "the verb id must be an IRI";
  if (s["verb"].contains("display") && !IsLanguageMap(s["verb"]["display"]))
    return "the verb display must be a language map";
  const json& object = s["object"];
  if (!object.is_object()) return "the object must be an object";
  std::string type = object.value("objectType", "Activity");
  if (type == "Activity") {
    problem = CheckActivity(object);
  } else if (type == "Agent" || type == "Group") {
    problem = CheckAgent(object, "the object");
  } else if (type == "StatementRef") {
    problem = CheckStatementRef(object, "the object");
  } else if (type == "SubStatement" && !sub) {
    if (object.contains("id") || object.contains("stored") || object.contains("version") ||
        object.contains("authority"))
      return "a sub-statement may not have an id, stored, version or authority";
    problem = CheckBody(object, true);
    if (problem.empty() && object["object"].value("objectType", "") == "SubStatement")
      problem = "a sub-statement may not hold another";
  } else {
    problem = "the object's objectType is not one a statement may have: " + type;
  }
  if (!problem.empty()) return problem;
  if (s.contains("result")) {
    problem = CheckResult(s["result"]);
    if (!problem.empty()) return problem;
  }
  if (s.contains("context")) {
    problem = CheckContext(s["context"]);
    if (!problem.empty()) return problem;
    if (type != "Activity" && (s["context"].contains("revision") || s["context"].contains("platform")))
      return "revision and platform are only for statements about an activity";
  }
  if (s.contains("timestamp") && !IsTimestamp(s["timestamp"]))
    return "the timestamp must be an ISO 8601 time with a zone";
  if (!sub && s.contains("stored") && !IsTimestamp(s["stored"]))
    return "stored must be an ISO 8601 time with a zone";
  if (!sub && s.contains("version") && !(s["version"].is_string() && !SpokenVersion(s["version"]).empty()))
    return "the statement's version must be 1.0.x or 2.0.x";
  if (!sub && s.contains("authority")) {
    problem = CheckAgent(s["authority"], "the authority");
    if (!problem.empty()) return problem;
  }
  if (s.contains("attachments") && !s["attachments"].is_array()) return "attachments must be an array";
  return "";
}

}  // namespace

std::string SpokenVersion(const std::string& header) {
  static const std::regex version("^(1\\.0|2\\.0)(\\.\\d+)?$");
  return std::regex_match(header, version) ? header : "";
}

std::string CheckStatement(const json& statement) { return CheckBody(statement, false); }

std::string AgentKey(const json& agent) {
  if (!agent.is_object()) return "";
  for (const char* name : {"mbox", "mbox_sha1sum", "openid"})
    if (agent.contains(name) && agent[name].is_string())
      return std::string(name) + ":" + agent[name].get<std::string>();
  if (agent.contains("account") && agent["account"].is_object())
    return "account:" + agent["account"].value("homePage", "") + "|" + agent["account"].value("name", "");
  return "";
}

bool IsUuid(const std::string& text) {
  static const std::regex uuid(
      "^[0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12}$");
  return std::regex_match(text, uuid);
}

std::string NewUuid() {
  unsigned char b[16];
  if (RAND_bytes(b, sizeof b) != 1) std::abort();  // no randomness: no safe id
  b[6] = (b[6] & 0x0F) | 0x40;
  b[8] = (b[8] & 0x3F) | 0x80;
  char text[37];
  std::snprintf(text, sizeof text, "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14],
                b[15]);
  return text;
}

std::string IsoNow() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  int millis = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, millis);
  return text;
}

bool SameStatement(json stored, json received) {
  for (const char* set : {"stored", "authority", "version"}) {
    stored.erase(set);
    received.erase(set);
  }
  if (!received.contains("timestamp")) stored.erase("timestamp");
  return stored == received;
}

}  // namespace kio::results
