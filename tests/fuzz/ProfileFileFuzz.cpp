// The settings file writer on any file: setting a key reads back as set, the
// other keys keep their values, and at most one line of the file changes.
#include "platform/ProfileFile.h"


#include <cstdint>
#include <cstdlib>

using namespace clickpath::platform;

namespace {

const QByteArray kSections[] = {"STATUS", "status", "Other"};
const QByteArray kKeys[] = {"SLEEP_TIME", "WAIT_CLICK_TIME", "VERTICAL_MARGIN", "sleep_time"};
const QByteArray kValues[] = {"0", "180", "-2.5E3", "", "1,5"};

qsizetype longestLine(const QByteArray& file)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    for (qsizetype lf = file.indexOf('\n'); lf >= 0; lf = file.indexOf('\n', start)) {
        longest = std::max(longest, lf + 1 - start);
        start = lf + 1;
    }
    return std::max(longest, file.size() - start);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray& section = kSections[data[0] % 3];
    const QByteArray& key = kKeys[(data[0] / 3) % 4];
    const QByteArray& value = kValues[(data[0] / 12) % 5];
    const QByteArray file(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    const QByteArray updated = profile::set(file, section, key, value);
    if (profile::find(updated, section, key) != value)
        std::abort();
    for (const QByteArray& other : kKeys) {
        if (other.compare(key, Qt::CaseInsensitive) != 0
            && profile::find(updated, section, other) != profile::find(file, section, other))
            std::abort();
    }
    // Only one line differs: the common start and end cover all the rest.
    qsizetype prefix = 0;
    while (prefix < file.size() && prefix < updated.size() && file[prefix] == updated[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < file.size() - prefix && suffix < updated.size() - prefix
        && file[file.size() - 1 - suffix] == updated[updated.size() - 1 - suffix])
        ++suffix;
    if (file.size() - prefix - suffix > longestLine(file))
        std::abort();
    return 0;
}
