#pragma once

namespace audkit {

// Where the library goes when the caller names no address.
inline constexpr const char* defaultServerAddress = "https://api.audkit.dev";
inline constexpr const char* defaultAuthenticationAddress = "https://auth.audkit.dev";
inline constexpr const char* defaultDashboardAddress = "https://dashboard.audkit.dev";

}  // namespace audkit
