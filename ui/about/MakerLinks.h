#pragma once

namespace tintwell {

// The maker's addresses shown and opened by the About window; the one place
// they are written down. example.org is the reserved documentation domain,
// standing in until real addresses exist.
struct MakerLinks {
    static constexpr const char* WebSite = "https://www.example.org";
    static constexpr const char* WebSite2 = "https://example.org";
    static constexpr const char* Email = "tintwell@example.org";
};

}  // namespace tintwell
