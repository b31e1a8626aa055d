#include <algorithm>
#include <istream>
#include <map>
#include <set>
#include <sstream>

#include "audkit/base/base64.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/rules/rule_color_contrast.hpp"
#include "tools/audkit/report/annotated_screenshot.hpp"
#include "tools/audkit/report/reports.hpp"
#include "tools/audkit/report/rule_pages.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {
namespace {

std::string percent(double part, double whole) { return number(whole > 0 ? part / whole * 100 : 0.0) + "%"; }

std::string colour(AudStatus status) {
    const auto c = boxColour(status);
    std::ostringstream text;
    text << "rgb(" << int(c.red) << "," << int(c.green) << "," << int(c.blue) << ")";
    return text.str();
}

constexpr const char* style = R"(
body{font:14px/1.4 system-ui,sans-serif;margin:0;color:#1b1b1b;background:#f4f4f4}
header{padding:12px 20px;background:#222;color:#fff}
header h1{font-size:18px;margin:0}
.filters{padding:10px 20px;background:#fff;border-bottom:1px solid #ddd;display:flex;gap:16px;flex-wrap:wrap}
.filters label{margin-right:8px}
section.screen{display:flex;gap:24px;padding:20px;align-items:flex-start}
.shot{position:relative;flex:none;width:360px}
.shot img{width:100%;display:block;border:1px solid #ccc}
.box{position:absolute;box-sizing:border-box;border:2px solid}
.box:target,.finding:target{outline:3px solid #0a58ca}
.box span{position:absolute;left:-2px;top:-17px;color:#fff;font:bold 11px/15px monospace;padding:0 3px}
.findings{flex:1;min-width:0}
.rule h3{font-size:15px;margin:16px 0 6px}
.finding{background:#fff;border-left:5px solid;margin:6px 0;padding:6px 10px;list-style:none}
.finding .head{font-weight:600}
.finding .head a{color:inherit}
.swatch{display:inline-block;width:14px;height:14px;border:1px solid #888;vertical-align:-2px}
.finding details{font-size:12px;color:#444}
.coverage{font-size:13px;color:#444}
[hidden]{display:none!important}
)";

// Filters hide the findings, boxes and rule groups they exclude; the address's
// "#status=...&impact=...&rule=...&baseline=..." sets them when the page opens.
constexpr const char* script = R"(
function applyFilters(){
  // A group the page has no boxes for (no baseline) lets every finding through.
  const passes=(name,value)=>{
    const inputs=[...document.querySelectorAll('input[name="'+name+'"]')];
    return !inputs.length||inputs.some(i=>i.checked&&i.value===value);
  };
  const shown=new Set();
  document.querySelectorAll('.finding').forEach(f=>{
    const visible=['status','impact','rule','baseline'].every(name=>passes(name,f.dataset[name]));
    f.hidden=!visible;if(visible)shown.add(f.dataset.finding);
  });
  document.querySelectorAll('.box').forEach(b=>{
    b.hidden=!b.dataset.findings.split(',').some(n=>shown.has(n));
  });
  document.querySelectorAll('.rule').forEach(r=>{r.hidden=!r.querySelector('.finding:not([hidden])');});
}
function filtersFromAddress(){
  const wanted=new URLSearchParams(location.hash.slice(1));
  for(const name of ['status','impact','rule','baseline']){
    if(!wanted.has(name))continue;
    const values=new Set(wanted.get(name).split(','));
    document.querySelectorAll('input[name="'+name+'"]').forEach(i=>{i.checked=values.has(i.value);});
  }
}
document.addEventListener('change',applyFilters);
filtersFromAddress();applyFilters();
document.body.dataset.ready='true';
)";

template <class Values>
void filterGroup(std::ostream& out, const char* name, const Values& values) {
    out << "<div><strong>" << name << ":</strong> ";
    for (const auto& value : values)
        out << "<label><input type=\"checkbox\" name=\"" << name << "\" value=\"" << markup(value) << "\" checked> "
            << markup(value) << "</label>";
    out << "</div>\n";
}

std::string swatch(const AudColor& colour) {
    return "<span class=\"swatch\" style=\"background:#" + colour.hex() + "\"></span> #" + colour.hex();
}

// The colours that decided a contrast finding, as swatches with their ratio.
void contrastPair(std::ostream& out, const AudRuleResult& ruleResult) {
    const auto pair = ruleResult.props ? ruleResult.props->get(RuleColorContrast::decidingPairKey) : std::nullopt;
    if (!pair) return;
    out << "<div class=\"pair\">" << swatch(pair->colorA) << " on " << swatch(pair->colorB) << " &middot; "
        << number(pair->contrast()) << ":1 &middot; " << number(pair->estimatedFontSize) << " pt"
        << (pair->fontIsBold ? " bold" : "") << "</div>";
}

// Most severe first.
int severity(const AudRuleResult& result) { return -static_cast<int>(result.impact); }

void screenSection(std::ostream& out, const ScreenReport& screen, std::size_t index) {
    const auto& result = *screen.result;
    const auto& context = *result.audContext;
    const float scale = context.audDevice.scale;
    const double width = context.audDevice.screenWidth, height = context.audDevice.screenHeight;
    out << "<h2 style=\"margin:16px 20px 0\">" << markup(screen.name) << "</h2>\n";
    out << "<p class=\"coverage\" style=\"margin:4px 20px\">" << result.failures().size() << " failures, "
        << result.incompletes().size() << " incomplete, " << result.passes().size() << " passes; "
        << screen.coverage.viewsExamined << " views examined";
    if (const auto note = fewElementsNote(screen.coverage)) out << ", " << markup(*note);
    out << ".";
    if (screen.coverage.systemElementsNotJudged > 0)
        out << " " << screen.coverage.systemElementsNotJudged << " system elements not judged.";
    if (screen.coverage.verdictsOnInferredFacts > 0)
        out << " " << screen.coverage.verdictsOnInferredFacts
            << " failures not given, as the dump does not record what they rest on.";
    for (const auto& [id, why] : screen.coverage.rulesNotRun)
        out << " Not run: " << markup(id) << " (" << markup(why) << ").";
    if (!screen.coverage.languages.empty() && screen.coverage.languages != "eng")
        out << " Text read as " << markup(screen.coverage.languages) << ".";
    out << "</p>\n<section class=\"screen\" id=\"screen-" << index << "\">\n<div class=\"shot\">";
    // The screenshot as the capture encoded it (a PNG, or the JPEG of a
    // result read back), so a batch need not keep every screen's pixels.
    const auto& screenshot = context.screenshot;
    if (!screenshot.base64png.empty())
        out << "<img alt=\"screenshot\" src=\"data:image/"
            << (screenshot.base64png.starts_with("/9j/") ? "jpeg" : "png") << ";base64," << screenshot.base64png
            << "\">";
    else if (screenshot.decoded)
        out << "<img alt=\"screenshot\" src=\"data:image/png;base64," << base64Encode(encodePng(*screenshot.decoded))
            << "\">";
    else
        out << "<div style=\"aspect-ratio:" << number(width) << "/" << number(height)
            << ";border:1px dashed #999;background:#fff\">no screenshot was captured</div>";
    // Each box links to its first finding's card, and each card back to its box.
    const auto boxes = findingBoxes(screen.findings);
    std::map<std::string, std::size_t> boxOf;  // finding number -> box
    for (std::size_t at = 0; at < boxes.size(); ++at) {
        const auto& box = boxes[at];
        const auto& bounds = box.view->boundsInScreen;
        std::string ids;  // numbers restart on each screen: the page tells them apart by screen
        for (std::size_t start = 0; start < box.numbers.size();) {
            const auto end = std::min(box.numbers.find(',', start), box.numbers.size());
            const auto number = box.numbers.substr(start, end - start);
            ids += (ids.empty() ? "" : ",") + std::to_string(index) + ":" + number;
            boxOf.emplace(number, at);
            start = end + 1;
        }
        const auto first = box.numbers.substr(0, box.numbers.find(','));
        out << "\n<a class=\"box\" data-findings=\"" << ids << "\" id=\"box-" << index << "-" << at
            << "\" href=\"#finding-" << index << "-" << first << "\" style=\"left:" << percent(bounds.left(), width)
            << ";top:" << percent(bounds.top(), height) << ";width:" << percent(bounds.width(), width)
            << ";height:" << percent(bounds.height(), height) << ";border-color:" << colour(box.worst)
            << "\"><span style=\"background:" << colour(box.worst) << "\">" << box.numbers << "</span></a>";
    }
    out << "\n</div>\n<div class=\"findings\">\n";
    std::map<std::string, std::vector<const Finding*>> byRule;
    for (const auto& finding : screen.findings) byRule[finding.result->ruleId].push_back(&finding);
    if (byRule.empty()) out << "<p>No findings.</p>\n";
    for (auto& [rule, findings] : byRule) {
        std::stable_sort(findings.begin(), findings.end(), [](const Finding* a, const Finding* b) {
            return severity(*a->result) < severity(*b->result);
        });
        // A rule of the catalogue links to its documentation page; a custom rule has none.
        out << "<div class=\"rule\"><h3>";
        if (rulePage(rule))
            out << "<a href=\"" << markup(rulePageAddress(rule)) << "\">" << markup(rule) << "</a>";
        else
            out << markup(rule);
        out << "</h3><ul style=\"padding:0;margin:0\">\n";
        for (const auto* finding : findings) {
            const auto& ruleResult = *finding->result;
            const auto frame = finding->frameInPoints(scale);
            out << "<li class=\"finding\" data-finding=\"" << index << ":" << finding->number << "\" data-status=\""
                << toString(ruleResult.status) << "\" data-impact=\"" << toString(ruleResult.impact)
                << "\" data-rule=\"" << markup(rule) << "\" style=\"border-color:" << colour(ruleResult.status)
                << "\" data-baseline=\"" << (finding->known ? "known" : "new") << "\" id=\"finding-" << index << "-"
                << finding->number << "\"><div class=\"head\">";
            const auto box = boxOf.find(std::to_string(finding->number));
            if (box != boxOf.end())
                out << "<a href=\"#box-" << index << "-" << box->second << "\">#" << finding->number << "</a>";
            else
                out << "#" << finding->number;
            out << " " << toString(ruleResult.status) << " &middot; " << toString(ruleResult.impact) << " &middot; "
                << markup(finding->element()) << (finding->known ? " &middot; known" : "")
                << (ruleResult.experimental ? " &middot; experimental rule" : "")
                << (ruleResult.status == AudStatus::fail && !finding->known && !counts(screen, *finding) ? " (advisory)"
                                                                                                         : "")
                << "</div>"
                << "<div>" << number(frame.x) << ", " << number(frame.y) << ", " << number(frame.width) << " x "
                << number(frame.height) << " pt</div><div>" << markup(ruleResult.ruleSummary) << "</div>";
            contrastPair(out, ruleResult);
            if (ruleResult.props)
                out << "<details><summary>properties</summary><pre>" << markup(ruleResult.props->description())
                    << "</pre></details>";
            out << "</li>\n";
        }
        out << "</ul></div>\n";
    }
    out << "</div>\n</section>\n";
}

}  // namespace

void HtmlReport::add(const ScreenReport& screen) {
    for (const auto& finding : screen.findings) {
        statuses_.insert(std::string(toString(finding.result->status)));
        impacts_.insert(finding.result->impact);
        anyKnown_ = anyKnown_ || finding.known;
        rules_.insert(finding.result->ruleId);
        ++findings_;
    }
    screenSection(sections_, screen, screens_++);
}

void HtmlReport::finish(std::ostream& page, std::istream& sections) const {
    page << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
         << "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src data:; "
            "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">"
         << "<title>audkit report</title><style>" << style << "</style></head>\n<body>\n"
         << "<header><h1>audkit report: " << screens_ << (screens_ == 1 ? " screen, " : " screens, ") << findings_
         << " findings</h1></header>\n<form class=\"filters\">\n";
    filterGroup(page, "status", statuses_);
    std::vector<std::string> impacts;  // most severe first
    for (auto impact = impacts_.rbegin(); impact != impacts_.rend(); ++impact) impacts.emplace_back(toString(*impact));
    filterGroup(page, "impact", impacts);
    filterGroup(page, "rule", rules_);
    if (anyKnown_) filterGroup(page, "baseline", std::vector<std::string>{"new", "known"});
    page << "</form>\n";
    if (sections.peek() != std::char_traits<char>::eof()) page << sections.rdbuf();
    page << "<script>" << script << "</script>\n</body></html>\n";
}

std::string htmlReport(const std::vector<ScreenReport>& screens) {
    std::stringstream sections;
    HtmlReport report(sections);
    for (const auto& screen : screens) report.add(screen);
    std::ostringstream page;
    report.finish(page, sections);
    return page.str();
}

}  // namespace audkit::cli
