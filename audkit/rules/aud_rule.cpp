#include "audkit/rules/aud_rule.hpp"

#include <cstdlib>
#include <cxxabi.h>
#include <functional>
#include <memory>
#include <typeinfo>

#include "audkit/base/text_helpers.hpp"

namespace audkit {
namespace {

// "audkit::tests::MyRule" -> "MyRule".
std::string unqualifiedClassName(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : type.name();
    if (const auto templateStart = name.find('<'); templateStart != std::string::npos) name.resize(templateStart);
    if (const auto scope = name.rfind("::"); scope != std::string::npos) name = name.substr(scope + 2);
    return name;
}

}  // namespace

AudRule::AudRule(const RuleInfo& info, std::shared_ptr<RuleConf> config)
    : id_(std::string(toString(info.id))), config_(std::move(config)), restsOn_(info.restsOn) {
    if (!info.passingDescription.empty()) passingDescription_ = std::string(info.passingDescription);
}

AudRule::AudRule(std::string id, std::shared_ptr<RuleConf> config) : id_(std::move(id)), config_(std::move(config)) {}

AudRule::AudRule(std::shared_ptr<RuleConf> config) : config_(std::move(config)) {}

// The class name is only known once the object is complete, so a custom
// rule's id is taken on first use.
const std::string& AudRule::id() const {
    if (id_.empty()) id_ = unqualifiedClassName(typeid(*this));
    return id_;
}

void AudRule::setUp(const AudContext&) {}

std::string AudRule::normalisedId() const { return lowercased(trimmedWhitespaceAndNewlines(id())); }

std::size_t AudRule::hash() const { return std::hash<std::string>{}(normalisedId()); }

}  // namespace audkit
