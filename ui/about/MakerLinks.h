#pragma once

namespace tintwell {

// The maker's addresses shown and opened by the About window, made from the
// maker's domain, which the build sets in one place (TINTWELL_MAKER_DOMAIN in
// CMakeLists.txt, the reserved example.org until a real domain exists).
struct MakerLinks {
    static constexpr const char* WebSite = "https://www." TINTWELL_MAKER_DOMAIN;
    static constexpr const char* WebSite2 = "https://" TINTWELL_MAKER_DOMAIN;
    static constexpr const char* Email = "tintwell@" TINTWELL_MAKER_DOMAIN;
    // The reverse-DNS application ID: the desktop entry, icon and metainfo name.
    static constexpr const char* AppId = TINTWELL_APP_ID;
};

}  // namespace tintwell
