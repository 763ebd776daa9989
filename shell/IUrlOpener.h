#pragma once

#include <QString>

#include <cstdint>

namespace tintwell {

// Hands a web address or a "mailto:" address to the desktop's handler. Tests
// replace it so that nothing really opens.
class IUrlOpener {
  public:
    virtual ~IUrlOpener() = default;
    // Returns a value above 32 on success, else the shell error code of the failure
    // (31 when no program handles the target).
    virtual std::int32_t Open(const QString& target) = 0;
};

}  // namespace tintwell
