#pragma once

#include <httplib.h>
#include <memory>
#include <optional>
#include <string>

#include "audkit/rules/aud_result.hpp"
#include "tools/audkit-server/http/services.hpp"

namespace audkit::server {

// The dashboard: pages rendered on the server for people who never open a
// terminal, signed in with their password (a session cookie). Nothing is
// fetched from the network: styles and pictures are inside each page.

// A whole page: the title, the bar with the user and the way out, the body.
std::string dashboardPage(const std::string& title, const std::string& body, const User* user);
// "2026-12-10 02:13 UTC" of milliseconds since 1970.
std::string dateText(std::int64_t milliseconds);
// The signed-in user of a dashboard request; otherwise the reply sends the
// browser to the sign-in page (and back here afterwards) and none is returned.
std::optional<User> dashboardUser(Services& services, const httplib::Request& request, httplib::Response& reply);
// A stored result document read back; throws when it cannot be.
std::shared_ptr<AudResult> storedResult(Services& services, const ResultSummary& summary);

void addSessionPages(httplib::Server& server, Services& services);
void addResultsList(httplib::Server& server, Services& services);
void addResultView(httplib::Server& server, Services& services);
void addScreenHistory(httplib::Server& server, Services& services);
void addResultComparison(httplib::Server& server, Services& services);

}  // namespace audkit::server
