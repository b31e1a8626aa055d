#pragma once

#include <string>

#include "audkit/base/error.hpp"
#include "audkit/network/http_transport.hpp"

namespace audkit {

// Where the backend says its authentication server lives.
struct AudAuth {
    class CouldNotGetAuthURL : public MessageError {
    public:
        CouldNotGetAuthURL() : MessageError("Could not retrieve data from the given backend service.") {}
    };

    std::string url;
    std::string realm;

    // GET <server>/auth-url without credentials; an empty server address is
    // the default backend. Throws CouldNotGetAuthURL for a reply it cannot read.
    static AudAuth fetch(HttpTransport& transport, const std::string& serverURL);
};

}  // namespace audkit
