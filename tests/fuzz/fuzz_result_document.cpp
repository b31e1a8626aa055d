// The readers of saved results: the result document, the scan context and
// view tree inside it, property bags and configurations. Any JSON either
// reads or throws the library's Error (or the JSON library's own error).
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "audkit/base/error.hpp"
#include "audkit/base/strict_json.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/rules/aud_conf.hpp"
#include "audkit/rules/aud_result.hpp"
#include "audkit/tree/aud_props.hpp"

namespace {

template <class Read>
void attempt(Read&& read) {
    try {
        read();
    } catch (const audkit::Error&) {
    } catch (const nlohmann::json::exception&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace audkit;
    ZKLog::setSink([](std::string_view) {});
    // Read as the program reads documents from outside: nested no deeper than it takes.
    const auto json = parseFromOutside<nlohmann::json>(std::string(reinterpret_cast<const char*>(data), size), false);
    if (json.is_discarded()) return 0;
    attempt([&] {
        const auto result = resultFromJson(json);
        (void)result->description();
        (void)resultDocument(*result);
    });
    attempt([&] { (void)Json(propsFromJson(json)).dump(); });
    attempt([&] { (void)audConfToJson(*audConfFromJson(json)); });
    return 0;
}
