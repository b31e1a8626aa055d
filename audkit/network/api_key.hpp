#pragma once

#include <string>

#include "audkit/network/http_request.hpp"

namespace audkit {

// A credential sent as "X-Api-Key".
class APIKey : public Authentication {
public:
    explicit APIKey(std::string key) : key_(std::move(key)) {}
    CredentialHeader credentialHeader() override { return {key_, HeaderField::apiKey}; }

private:
    std::string key_;
};

}  // namespace audkit
