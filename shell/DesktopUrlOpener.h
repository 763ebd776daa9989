#pragma once

#include "shell/IUrlOpener.h"

namespace tintwell {

// Opens targets with the desktop's default handler (browser, mail program).
class DesktopUrlOpener : public IUrlOpener {
  public:
    std::int32_t Open(const QString& target) override;
};

}  // namespace tintwell
