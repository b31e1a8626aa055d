#pragma once

#include <exception>
#include <memory>
#include <string>

#include "audkit/facade/aud_kit.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit::cli {

// The facade logged in as the options say; throws Error. The backend address
// comes from --server, else AUDKIT_SERVER: nothing is sent to an address the
// user did not give. The API key comes from --api-key (standard input for
// "-"), else from AUDKIT_API_KEY when no user is named; the password from
// AUDKIT_PASSWORD, else standard input (prompted for, without echo, on a
// terminal). Certificate authorities: --cacert, else CURL_CA_BUNDLE, else
// SSL_CERT_FILE, else the system's.
std::unique_ptr<AudKit> loginToBackend(const LoginOptions& login);


}  // namespace audkit::cli
