#pragma once

#include "tools/audkit-server/store/database.hpp"

namespace audkit::server {

// Makes the server's tables where they are missing (safe to run again) and
// the key that signs its tokens, once. A database made by a newer server is
// refused rather than misread.
void prepareSchema(Database& database);

// The key that signs and checks tokens (made by prepareSchema).
std::string tokenSigningKey(Database& database);

}  // namespace audkit::server
