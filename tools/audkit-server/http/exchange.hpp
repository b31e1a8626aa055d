#pragma once

#include <httplib.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/audkit-server/store/accounts.hpp"

namespace audkit::server {

// The pieces every endpoint shares: replies in the shape the client reads
// ({"message": ..., "error": ...}), bodies read within the server's limit,
// and result keys taken from the request's own path.

void replyJson(httplib::Response& reply, const std::string& json, int status = 200);
void replyError(httplib::Response& reply, int status, const std::string& message);

// The body, gzip undone, when it holds at most `limit` bytes; otherwise the
// reply is set (413, or 400 for a body that broke off) and nothing returned.
// Nothing beyond the limit is ever inflated, so a gzip bomb costs nothing.
std::optional<std::string> readBody(const httplib::ContentReader& reader, httplib::Response& reply, std::size_t limit);

// The three pieces of a result key after `prefix` in the request's target
// (percent-decoded: a package name may hold any character), and what follows
// them when `suffix` is given; none when the path has another shape.
struct PathKey {
    std::string userId, packageName, resultId;
};
std::optional<PathKey> keyInPath(const std::string& target, const std::string& prefix, const std::string& suffix = "");

// The fields of a form-encoded body ("a=1&b=x+y"); a field named twice keeps
// its first value.
std::map<std::string, std::string> formFields(const std::string& body);

std::string keyJson(const std::string& userId, const std::string& packageName, const std::string& resultId);

}  // namespace audkit::server
