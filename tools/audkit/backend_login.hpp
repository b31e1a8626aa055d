#pragma once

#include <memory>

#include "audkit/facade/aud_kit.hpp"
#include "tools/audkit/commands.hpp"

namespace audkit::cli {

// The facade logged in as the options say; throws Error (a usage error when
// neither an API key nor a user is given). The password is read from
// AUDKIT_PASSWORD, else from standard input, and never from the command line.
std::unique_ptr<AudKit> loginToBackend(const LoginOptions& login);

}  // namespace audkit::cli
