#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

#include "audkit/tree/aud_context.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/text_output.hpp"

// Tesseract's OpenMP threads make recognition several times slower on small
// machines, and the thread limit is read only when the process starts: the
// scanner restarts itself once with the limit set unless the caller chose one.
void limitRecognitionThreads(char** argv) {
    if (std::getenv("OMP_THREAD_LIMIT") != nullptr) return;
    ::setenv("OMP_THREAD_LIMIT", "1", 1);
    ::execv("/proc/self/exe", argv);  // returns only on failure: carry on with the default threads
}

int main(int argc, char** argv) {
    using namespace audkit::cli;
    limitRecognitionThreads(argv);
    CLI::App app{"audkit: accessibility scans of recorded capture bundles"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "audkit " + audkit::audVersion());

    InspectOptions inspect;
    auto* inspectCommand = app.add_subcommand("inspect", "Print the captured element tree of a bundle");
    inspectCommand->add_option("BUNDLE", inspect.bundle, "bundle directory or its capture.json")->required();
    auto* treeFlag = inspectCommand->add_flag("--tree", inspect.tree, "print the built view tree instead");
    inspectCommand->add_flag("--json", inspect.json, "with --tree: write the tree's JSON form")->needs(treeFlag);
    auto* textFlag = inspectCommand->add_flag(
        "--text", inspect.text, "print the lines of text recognised on the screenshot, with their frames in points");
    textFlag->excludes(treeFlag);
    inspectCommand
        ->add_option("--lang", inspect.languages,
                     "with --text: Tesseract's languages (by default the screen's own, as scan chooses them)")
        ->needs(textFlag);

    ContextOptions context;
    auto* contextCommand = app.add_subcommand("context", "Print the scan context of a bundle");
    contextCommand->add_option("BUNDLE", context.bundle, "bundle directory or its capture.json")->required();
    contextCommand->add_flag("--json", context.json, "write the context's JSON form");

    auto* rulesCommand =
        app.add_subcommand("rules", "List the rules: impact, standard, WCAG criterion, what each checks");
    std::string explained;
    auto* explainCommand =
        app.add_subcommand("explain", "What a rule checks, why it matters and how to fix what it finds");
    explainCommand->add_option("RULE", explained, "the rule's id, as audkit rules lists it")->required();

    ScanOptions scan;
    auto* scanCommand = app.add_subcommand("scan", "Scan a bundle with every rule");
    scanCommand
        ->add_option("BUNDLE", scan.bundles,
                     "bundle directory or its capture.json, or a page source or debug description (- reads one "
                     "from standard input); several, or a folder of bundles, scan as a batch")
        ->required();
    scanCommand->add_option("--screenshot", scan.screenshot,
                            "with one page source or debug description: its screenshot (PNG or JPEG; else the file "
                            "beside it with the same name)");
    scanCommand->add_option("--jobs", scan.jobs, "batch: scan on this many threads (default: one per core)");
    scanCommand
        ->add_option("--format", scan.format,
                     "text (each finding with its element and frame), description (the library's result "
                     "description) or json (the result document)")
        ->check(CLI::IsMember({"text", "description", "json"}));
    scanCommand->add_option("--output", scan.output, "also write the result document to this file");
    scanCommand->add_option("--junit", scan.junit, "also write a JUnit XML report to this file");
    scanCommand->add_option("--sarif", scan.sarif,
                            "also write a SARIF 2.1.0 log to this file (GitHub code scanning and other review tools)");
    scanCommand->add_option("--gitlab", scan.gitlab,
                            "also write a GitLab code-quality report to this file (artifacts:reports:codequality)");
    scanCommand->add_option("--html", scan.html,
                            "also write a self-contained HTML report (screenshot with numbered boxes, findings by "
                            "rule, filters) to this file");
    scanCommand->add_option("--annotate", scan.annotate,
                            "also write the screenshot with a numbered box around each finding's view (PNG)");
    scanCommand
        ->add_option("--fail-on", scan.failOn,
                     "exit 1 only for failures of this impact or more: minor (default), moderate, serious, critical")
        ->check(CLI::IsMember({"minor", "moderate", "serious", "critical"}));
    scanCommand->add_option("--ignore", scan.ignore, "ignore a rule for every view (repeatable)");
    scanCommand->add_option(
        "--ignore-view", scan.ignoreViews,
        "KEY=RULE_ID[,RULE_ID...]: ignore rules for views of a class name or identifier (repeatable)");
    scanCommand->add_flag("--dynamic-type", scan.dynamicType,
                          "opt in to SupportsDynamicType: move the Larger Text slider through the bundle's scripted "
                          "Settings and compare the text before and after");
    scanCommand->add_flag("--include-system", scan.includeSystem,
                          "judge the elements the system draws too (status bar, keyboard, browser controls, system "
                          "alerts ...), which an imported dump marks; by default they are counted and left alone");
    scanCommand->add_flag("--fail-on-experimental", scan.failOnExperimental,
                          "an experimental rule's failures fail the scan too (by default they are advisory)");
    scanCommand->add_flag("--debug", scan.debug, "print debug output");
    scanCommand->add_option("--lang", scan.languages,
                            "the languages of the screens' text for Tesseract, joined with + (e.g. eng+jpn, "
                            "eng+chi_sim+deu; by default each screen's own, from the scripts of its labels and "
                            "values)");
    scanCommand
        ->add_option("--ocr", scan.ocr,
                     "what finds the lines of text: neural (a learned text detector, each line then read by "
                     "Tesseract: more of small and JPEG screenshots, in about twice the time), tesseract "
                     "(Tesseract's own page segmentation) or auto (default: the better at an acceptable cost, "
                     "now tesseract)")
        ->check(CLI::IsMember({"auto", "neural", "tesseract"}));
    scanCommand->add_option("--config", scan.config,
                            "adoption controls checked in with the tests: ignores by rule, class, identifier, label, "
                            "type and screen, the --fail-on gate, rule impacts (JSON)");
    scanCommand->add_option("--baseline", scan.baseline,
                            "findings recorded in this baseline (audkit baseline) are known: only new ones fail");
    LoginOptions login;
    auto addLogin = [&login](CLI::App* command) {
        command->add_option("--server", login.server, "results backend address (else AUDKIT_SERVER)");
        command->add_option("--api-key", login.apiKey,
                            "log in with this API key; - reads it from standard input (else AUDKIT_API_KEY, which "
                            "other users cannot read the way they can read a command line)");
        command->add_option("--user", login.user,
                            "log in as this user (password from AUDKIT_PASSWORD, else standard input; asked for "
                            "without echo on a terminal)");
        command->add_option("--cacert", login.caFile,
                            "trust the certificate authorities in this PEM file (else CURL_CA_BUNDLE or "
                            "SSL_CERT_FILE, else the system's)");
    };
    scanCommand->add_flag("--post", scan.post, "post the result to the backend and print its key last");
    scanCommand->add_option("--save", scan.save, "save the result document into this folder and print its path");
    scanCommand->add_option("--tag", scan.tags, "tag the posted result (repeatable)");
    scanCommand->add_option("--scan-name", scan.scanName, "name the saved or posted scan");
    addLogin(scanCommand);

    ResultOptions result;
    auto* resultCommand = app.add_subcommand("result", "Get, tag, rename or delete a posted result");
    resultCommand->add_option("ACTION", result.action, "get, tag, rename or delete")
        ->required()
        ->check(CLI::IsMember({"get", "tag", "rename", "delete"}));
    resultCommand->add_option("KEY", result.key, "the result key: userId/packageName/resultId")->required();
    resultCommand->add_option("ARGS", result.arguments, "tags for tag, the new name for rename");
    resultCommand->add_option("--output", result.output, "with get: write the result document here");
    resultCommand->add_flag("--debug", result.debug, "print debug output");
    addLogin(resultCommand);

    BaselineOptions baseline;
    auto* baselineCommand = app.add_subcommand("baseline", "Record today's findings of bundles as a baseline");
    baselineCommand->add_option("BUNDLE", baseline.bundles, "bundles, or folders of bundles")->required();
    baselineCommand->add_option("--output", baseline.output, "the baseline file to write")->required();
    baselineCommand->add_option("--ignore", baseline.ignore, "ignore a rule, as the scans will (repeatable)");
    baselineCommand->add_option("--ignore-view", baseline.ignoreViews,
                                "KEY=RULE_ID[,RULE_ID...], as the scans will (repeatable)");
    baselineCommand->add_flag("--dynamic-type", baseline.dynamicType, "opt in to SupportsDynamicType");
    baselineCommand->add_option("--config", baseline.config, "the adoption controls the scans will use");
    baselineCommand->add_flag("--include-system", baseline.includeSystem,
                              "judge the system's elements too, as the scans will");
    baselineCommand->add_option("--lang", baseline.languages,
                                "Tesseract's languages, as the scans will use (by default each screen's own)");
    baselineCommand
        ->add_option("--ocr", baseline.ocr, "what finds the lines of text, as the scans will (auto, neural, tesseract)")
        ->check(CLI::IsMember({"auto", "neural", "tesseract"}));
    baselineCommand->add_option("--jobs", baseline.jobs, "scan on this many threads (default: one per core)");

    ImportOptions importing;
    auto* importCommand = app.add_subcommand(
        "import",
        "Turn an Appium/WebDriverAgent or UIAutomation page source, or an XCTest debug description, into a "
        "capture bundle");
    importCommand
        ->add_option("FILE", importing.dump,
                     "the page source (XML) or debug description (text); - reads it from standard input")
        ->required();
    importCommand->add_option("--screenshot", importing.screenshot, "the screen's screenshot (PNG or JPEG)");
    importCommand->add_option("--output", importing.output, "the bundle folder to create (must not exist)")->required();

    CaptureOptions capture;
    auto* captureCommand = app.add_subcommand("capture",
                                              "Capture the current screen of a running WebDriver server (Appium, "
                                              "WebDriverAgent) as a capture bundle");
    captureCommand->add_option("--webdriver", capture.webDriver, "the server's address, e.g. http://127.0.0.1:4723")
        ->required();
    captureCommand->add_option("--session", capture.session, "the session id (else the server's only session)");
    captureCommand->add_option("--output", capture.output, "the bundle folder to create (must not exist)")->required();

    // A first word that is no option and no command is named as such.
    if (argc > 1 && argv[1][0] != '-') {
        const std::string command = argv[1];
        const auto known = app.get_subcommands([&](const CLI::App* sub) { return sub->get_name() == command; });
        if (known.empty()) {
            std::cerr << "audkit: unknown command \"" << command
                      << "\" (commands: inspect, context, scan, result, import, capture, baseline)\n";
            return exitUsage;
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        std::cerr << "audkit: " << audkit::cli::failureLine(error) << " (see audkit --help)\n";
        return exitUsage;
    }

    if (inspectCommand->parsed()) return runInspect(inspect, std::cout, std::cerr);
    if (contextCommand->parsed()) return runContext(context, std::cout, std::cerr);
    if (rulesCommand->parsed()) return runRules(std::cout);
    if (explainCommand->parsed()) return runExplain(explained, std::cout, std::cerr);
    if (scanCommand->parsed()) {
        scan.progress = ::isatty(STDERR_FILENO) != 0;
        return runScan(scan, login, std::cout, std::cerr);
    }
    if (baselineCommand->parsed()) return runBaseline(baseline, std::cout, std::cerr);
    if (captureCommand->parsed()) return runCapture(capture, std::cout, std::cerr);
    if (importCommand->parsed()) return runImport(importing, std::cout, std::cerr);
    if (resultCommand->parsed()) return runResult(result, login, std::cout, std::cerr);
    return exitUsage;
}
