#pragma once

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audkit/base/error.hpp"
#include "audkit/rules/rule_vocabulary.hpp"

namespace audkit::cli {

struct ViewIgnore;

// Exit statuses of the scanner.
constexpr int exitSuccess = 0;
constexpr int exitFailures = 1;
constexpr int exitUsage = 2;

// A mistake in the command line: exit 2 with its message.
class UsageError : public Error {
public:
    using Error::Error;
};

struct InspectOptions {
    std::string bundle;
    bool tree = false;           // the built view tree instead of the captured elements
    bool json = false;           // with tree: the tree's JSON form
    bool text = false;           // the text recognised on the screenshot instead
    std::string languages = {};  // empty: the screen's own, as a scan chooses them
};

// Prints the captured element tree of a bundle, one indented line per element,
// the built view tree (as lines or as JSON), or the lines of text recognised
// on its screenshot.
int runInspect(const InspectOptions& options, std::ostream& out, std::ostream& err);

struct ContextOptions {
    std::string bundle;
    bool json = false;
};

// Prints the scan context of a bundle: its metadata, device and screenshot
// size, or the context's JSON form.
int runContext(const ContextOptions& options, std::ostream& out, std::ostream& err);

// Lists the rules: id, impact, standard and WCAG success criterion, whether
// experimental, and what each checks in a line.
int runRules(std::ostream& out);
// Prints a rule's facts and its documentation page (the id in any case);
// exit 2 for a rule that does not exist.
int runExplain(const std::string& rule, std::ostream& out, std::ostream& err);

// How screens are judged: the same for a scan and for the baseline it is
// compared with.
struct JudgingOptions {
    std::string config;  // the checked-in adoption controls (scan_config.hpp)
    // Filled from the configuration file: impacts by rule id, view ignores.
    std::map<std::string, AudImpact> impacts;
    std::shared_ptr<const std::vector<ViewIgnore>> viewIgnores;
    std::vector<std::string> ignore;       // rule ids ignored for every view
    std::vector<std::string> ignoreViews;  // KEY=RULE_ID[,RULE_ID...]
    bool dynamicType = false;              // opt in to SupportsDynamicType
    bool includeSystem = false;            // judge the elements the system draws too
    // Tesseract's languages, joined with + ("eng+jpn"); empty: each screen's
    // own, from the scripts of its texts.
    std::string languages;
    // What finds the lines of text: "neural" (the learned detector),
    // "tesseract" (its page segmentation) or "auto" (lineDetectorFor).
    std::string ocr = "auto";
    unsigned jobs = 0;  // worker threads; 0: one per core (never more than screens)
    bool debug = false;
};

struct ScanOptions : JudgingOptions {
    // Bundles, or folders of bundles: several scan as a batch, in parallel, into one report.
    std::vector<std::string> bundles;
    std::string format = "text";      // "text" (readable), "description" (the library's) or "json"
    std::string output;               // write the result document here too
    std::string junit;                // write a JUnit XML report here
    std::string sarif;                // write a SARIF 2.1.0 log here
    std::string gitlab;               // write a GitLab code-quality report here
    std::string screenshot;           // a single dump's screenshot (else the one beside it, by name)
    std::string html;                 // write a self-contained HTML report here
    std::string annotate;             // write the screenshot with numbered boxes here (PNG)
    std::string failOn;               // the least impact of a failure that makes exit status 1 (none: minor)
    std::string baseline;             // findings in this baseline are known: only new ones fail
    bool failOnExperimental = false;  // an experimental rule's failures fail the scan too
    bool progress = false;            // stage lines on standard error
    // Backend: --post sends the result, --save writes it through the facade.
    bool post = false;
    std::string save;
    std::vector<std::string> tags;
    std::string scanName;
};

// How the scanner logs in to the backend.
struct LoginOptions {
    std::string server;  // else AUDKIT_SERVER
    std::string apiKey;  // "-" reads it from standard input; else AUDKIT_API_KEY
    std::string user;    // the password comes from AUDKIT_PASSWORD, else standard input
    std::string caFile;  // certificate authorities to trust (PEM)
};

struct ResultOptions {
    std::string action;                  // get, tag, rename or delete
    std::string key;                     // userId/packageName/resultId
    std::vector<std::string> arguments;  // tags, or the new name
    std::string output;
    bool debug = false;
};

struct ImportOptions {
    std::string dump;        // page source or debug description
    std::string screenshot;  // PNG or JPEG; none: the bundle has no screenshot
    std::string output;      // the bundle folder to create
};

// Turns an accessibility dump of another tool into a capture bundle; exit 0,
// or 2 with a one-line reason naming the line or element.
int runImport(const ImportOptions& options, std::ostream& out, std::ostream& err);

struct CaptureOptions {
    std::string webDriver;  // the WebDriver server's address
    std::string session;    // none: the server's only session
    std::string output;     // the bundle folder to create
};

// Asks a running WebDriver server for the current screen's page source,
// screenshot and window and writes a capture bundle; exit 0, or 2 with a
// one-line reason (server down, no such session, ...).
int runCapture(const CaptureOptions& options, std::ostream& out, std::ostream& err);

// The ignores and opt-ins are those the scans will use.
struct BaselineOptions : JudgingOptions {
    std::vector<std::string> bundles;  // bundles or folders of bundles
    std::string output;                // the baseline file to write
};

// Records today's findings of the bundles as a baseline; exit 0, or 2 (and
// nothing written) when a bundle cannot be scanned.
int runBaseline(const BaselineOptions& options, std::ostream& out, std::ostream& err);

int runResult(const ResultOptions& options, const LoginOptions& login, std::ostream& out, std::ostream& err);

// Scans a bundle: prints the report (readable text, the library's description
// or the result document); exit 0 without FAIL results at or above the gate,
// 1 with some, 2 for a usage error, an unreadable bundle or nothing examined.
int runScan(const ScanOptions& options, const LoginOptions& login, std::ostream& out, std::ostream& err);

}  // namespace audkit::cli
