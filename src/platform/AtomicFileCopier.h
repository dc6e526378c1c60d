#pragma once

#include "platform/FileDialog.h"

namespace clickpath::platform {

// Copies into a temporary file beside the destination and renames it into
// place, so a failed copy (full disk, missing folder) leaves no half file.
class AtomicFileCopier final : public FileCopier {
public:
    void copy(const QString& source, const QString& destination) override;
    bool sameFile(const QString& first, const QString& second) override;
};

} // namespace clickpath::platform
