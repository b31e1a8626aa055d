#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "audkit/base/id_and_time_source.hpp"
#include "audkit/base/strict_json.hpp"
#include "audkit/rules/aud_result.hpp"
#include "tools/audkit-server/auth/secrets.hpp"
#include "tools/audkit-server/http/exchange.hpp"
#include "tools/audkit-server/http/services.hpp"

namespace audkit::server {
namespace {

constexpr std::size_t tagsLimit = 64 * 1024;
constexpr std::size_t nameLimit = 4 * 1024;
constexpr std::size_t mostTags = 100, longestTag = 200;

// UTF-8 without NUL: PostgreSQL's text holds no NUL, and both databases
// must take the same texts.
bool storableText(const std::string& text) {
    if (text.find('\0') != std::string::npos) return false;
    try {
        (void)nlohmann::json(text).dump();
        return true;
    } catch (const nlohmann::json::exception&) {
        return false;
    }
}

// The summary kept beside a posted document, read from the document itself.
// Throws when the body is no result document.
ResultSummary summaryOf(const std::string& document) {
    const auto result = resultFromJson(parseFromOutside<Json>(document));
    ResultSummary summary;
    summary.package = result->audContext->audMetaData.appIdentifier;
    summary.screen = result->audContext->audMetaData.screenTitle;
    summary.name = result->scanName;
    summary.failures = static_cast<std::int64_t>(result->failures().size());
    summary.incompletes = static_cast<std::int64_t>(result->incompletes().size());
    summary.passes = static_cast<std::int64_t>(result->passes().size());
    std::set<std::string> failing;
    for (const auto& ruleResult : result->failures()) failing.insert(ruleResult->ruleId);
    summary.failingRules.assign(failing.begin(), failing.end());
    if (result->tags) summary.tags = *result->tags;
    for (const auto* text : {&summary.package, &summary.screen})
        if (!storableText(*text)) throw Error("its application identifier or screen title holds a NUL character");
    if ((summary.name && !storableText(*summary.name)) ||
        std::any_of(summary.tags.begin(), summary.tags.end(), [](const auto& tag) { return !storableText(tag); }))
        throw Error("its name or a tag holds a NUL character");
    return summary;
}

// The stored result a key in the path names, when it is the caller
// organisation's; otherwise a 404, the same whether the result does not
// exist or belongs to someone else.
std::optional<ResultSummary> keyedResult(Services& services, const User& caller, const std::string& target,
                                         const std::string& prefix, httplib::Response& reply,
                                         const std::string& suffix = "") {
    const auto key = keyInPath(target, prefix, suffix);
    if (!key) {
        replyError(reply, 404, "not a result key: userId/packageName/resultId");
        return std::nullopt;
    }
    auto summary = services.results.summary(caller.organisation, key->resultId);
    if (!summary || summary->userId != key->userId || summary->package != key->packageName) {
        replyError(reply, 404, "no such result");
        return std::nullopt;
    }
    return summary;
}

// The document as posted, with the name and tags it has now ("scanName" and
// "tags" lead the document, as a scan writes them).
std::string currentDocument(const std::string& posted, const ResultSummary& summary) {
    const auto original = parseFromOutside<Json>(posted);
    Json document = Json::object();
    if (summary.name) document["scanName"] = *summary.name;
    document["tags"] = summary.tags;
    for (const auto& [member, value] : original.items())
        if (member != "scanName" && member != "tags") document[member] = value;
    return document.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string keyOf(const ResultSummary& summary) { return keyJson(summary.userId, summary.package, summary.id); }

}  // namespace

void addResultEndpoints(httplib::Server& server, Services& services) {
    server.Post("/attest/result/aud", [&services](const httplib::Request& request, httplib::Response& reply,
                                                  const httplib::ContentReader& reader) {
        const auto caller = services.caller(request, reply);
        if (!caller) return;
        const auto body = readBody(reader, reply, services.options.maxBodyBytes);
        if (!body) return;
        ResultSummary summary;
        try {
            summary = summaryOf(*body);
        } catch (const std::exception& error) {
            replyError(reply, 400, std::string("not a result document: ") + error.what());
            return;
        }
        summary.id = randomId();
        summary.organisation = caller->organisation;
        summary.userId = caller->id;
        summary.posted = static_cast<std::int64_t>(IdAndTimeSource::secondsSince1970() * 1000);
        services.results.add(summary, *body);
        services.log.write("info", "result posted",
                           {{"user", caller->id}, {"result", summary.id}, {"bytes", body->size()}});
        replyJson(reply, keyOf(summary));
    });

    server.Get(R"(/attest/result/aud/.+)", [&services](const httplib::Request& request, httplib::Response& reply) {
        const auto caller = services.caller(request, reply);
        if (!caller) return;
        const auto summary = keyedResult(services, *caller, request.target, "/attest/result/aud/", reply);
        if (!summary) return;
        const auto document = services.results.document(caller->organisation, summary->id);
        if (!document) return replyError(reply, 404, "no such result");
        replyJson(reply, currentDocument(*document, *summary));
    });

    server.Post(R"(/attest/result/tag/.+)", [&services](const httplib::Request& request, httplib::Response& reply,
                                                        const httplib::ContentReader& reader) {
        const auto caller = services.caller(request, reply);
        if (!caller) return;
        const auto body = readBody(reader, reply, tagsLimit);
        if (!body) return;
        const auto summary = keyedResult(services, *caller, request.target, "/attest/result/tag/", reply);
        if (!summary) return;
        const auto tags = nlohmann::json::parse(*body, nullptr, false);
        if (!tags.is_array() || tags.size() > mostTags)
            return replyError(reply, 400, "tags are a JSON array of at most 100 strings");
        std::vector<std::string> added;
        for (const auto& tag : tags) {
            if (!tag.is_string() || tag.get<std::string>().empty() || tag.get<std::string>().size() > longestTag ||
                !storableText(tag.get<std::string>()))
                return replyError(reply, 400, "a tag is a string of 1 to 200 bytes without NUL");
            added.push_back(tag.get<std::string>());
        }
        if (!services.results.tag(caller->organisation, summary->id, added))
            return replyError(reply, 404, "no such result");
        replyJson(reply, keyOf(*summary));
    });

    server.Put(
        R"(/attest/results/summaries/.+/name)",
        [&services](const httplib::Request& request, httplib::Response& reply, const httplib::ContentReader& reader) {
            const auto caller = services.caller(request, reply);
            if (!caller) return;
            const auto body = readBody(reader, reply, nameLimit);
            if (!body) return;
            const auto summary =
                keyedResult(services, *caller, request.target, "/attest/results/summaries/", reply, "/name");
            if (!summary) return;
            if (!storableText(*body)) return replyError(reply, 400, "a name is UTF-8 text without NUL");
            if (!services.results.rename(caller->organisation, summary->id, *body))
                return replyError(reply, 404, "no such result");
            replyJson(reply, keyOf(*summary));
        });

    server.Delete(R"(/attest/result/.+)", [&services](const httplib::Request& request, httplib::Response& reply) {
        const auto caller = services.caller(request, reply);
        if (!caller) return;
        const auto summary = keyedResult(services, *caller, request.target, "/attest/result/", reply);
        if (!summary) return;
        if (!services.results.remove(caller->organisation, summary->id))
            return replyError(reply, 404, "no such result");
        services.log.write("info", "result deleted", {{"user", caller->id}, {"result", summary->id}});
        replyJson(reply, keyOf(*summary));
    });
}

}  // namespace audkit::server
