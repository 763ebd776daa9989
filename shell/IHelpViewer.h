#pragma once

#include <QString>

#include <cstdint>

namespace tintwell {

// Shows a topic of an HTML help file. The program's help window implements it;
// tests replace it to see which file and topic were asked for.
class IHelpViewer {
  public:
    virtual ~IHelpViewer() = default;
    // Shows `helpFile` at the topic whose anchor is `contextId`. Returns false when
    // the file cannot be opened; nothing is shown then.
    virtual bool ShowTopic(const QString& helpFile, std::int32_t contextId) = 0;
};

}  // namespace tintwell
