#include "platform/posix/ProfileFile.h"

#include "core/ToolError.h"
#include "platform/posix/SequentialFile.h"

#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <vector>

namespace clickpath::platform {

namespace profile {

namespace {

struct Line {
    qsizetype start = 0;     // first byte
    qsizetype end = 0;       // past the text, before CR LF or LF
    qsizetype next = 0;      // first byte of the next line
    bool terminated = false; // ends in LF; the file's last line may not
};

std::vector<Line> splitLines(const QByteArray& file)
{
    std::vector<Line> lines;
    qsizetype at = 0;
    while (at < file.size()) {
        qsizetype lf = file.indexOf('\n', at);
        const qsizetype next = lf < 0 ? file.size() : lf + 1;
        qsizetype end = lf < 0 ? file.size() : lf;
        if (end > at && file[end - 1] == '\r')
            --end;
        lines.push_back({at, end, next, lf >= 0});
        at = next;
    }
    return lines;
}

QByteArray textOf(const QByteArray& file, const Line& line)
{
    return file.mid(line.start, line.end - line.start);
}

bool isComment(const QByteArray& trimmed)
{
    return trimmed.startsWith(';') || trimmed.startsWith('#');
}

// The section a header line names, or nothing for another line.
std::optional<QByteArray> sectionName(const QByteArray& text)
{
    const QByteArray trimmed = text.trimmed();
    const qsizetype close = trimmed.indexOf(']');
    if (!trimmed.startsWith('[') || close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

std::optional<std::pair<QByteArray, QByteArray>> keyAndValue(const QByteArray& text)
{
    const QByteArray trimmed = text.trimmed();
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0 || isComment(trimmed))
        return std::nullopt;
    QByteArray value = trimmed.mid(equals + 1).trimmed();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.mid(1, value.size() - 2);
    return std::make_pair(trimmed.left(equals).trimmed(), value);
}

bool sameName(const QByteArray& a, const QByteArray& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section's lines stand: its header, its key lines, its last
// non-blank line. Nothing when the section is absent.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t lastContent = 0;
    std::optional<std::size_t> keyLine;
};

std::optional<SectionSpan> locate(
    const QByteArray& file, const std::vector<Line>& lines, const QByteArray& section, const QByteArray& key)
{
    std::optional<SectionSpan> span;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QByteArray text = textOf(file, lines[i]);
        if (const auto name = sectionName(text)) {
            if (span)
                break; // the first matching section is the one
            if (sameName(*name, section))
                span = SectionSpan{i, i, std::nullopt};
            continue;
        }
        if (!span)
            continue;
        if (!text.trimmed().isEmpty())
            span->lastContent = i;
        const auto entry = keyAndValue(text);
        if (entry && !span->keyLine && sameName(entry->first, key))
            span->keyLine = i;
    }
    return span;
}

QByteArray lineEndOf(const QByteArray& file)
{
    const qsizetype lf = file.indexOf('\n');
    return (lf < 0 || (lf > 0 && file[lf - 1] == '\r')) ? QByteArray("\r\n") : QByteArray("\n");
}

} // namespace

std::optional<QByteArray> find(const QByteArray& file, const QByteArray& section, const QByteArray& key)
{
    const std::vector<Line> lines = splitLines(file);
    const auto span = locate(file, lines, section, key);
    if (!span || !span->keyLine)
        return std::nullopt;
    return keyAndValue(textOf(file, lines[*span->keyLine]))->second;
}

QByteArray set(const QByteArray& file, const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    const std::vector<Line> lines = splitLines(file);
    const QByteArray eol = lineEndOf(file);
    const auto span = locate(file, lines, section, key);
    QByteArray result = file;
    if (span && span->keyLine) {
        const Line& line = lines[*span->keyLine];
        // The key keeps its own spelling and the line its own ending.
        const QByteArray name = keyAndValue(textOf(file, line))->first;
        result.replace(line.start, line.end - line.start, name + '=' + value);
    } else if (span) {
        const Line& after = lines[span->lastContent];
        QByteArray entry = key + '=' + value + eol;
        // The file's last line may lack its line end, or half of it.
        if (!after.terminated)
            entry.prepend(file[after.next - 1] == '\r' ? QByteArray("\n") : eol);
        result.insert(after.next, entry);
    } else {
        // Likewise: a last line cut after its CR takes the LF alone.
        if (!result.isEmpty() && !result.endsWith('\n'))
            result += result.endsWith('\r') ? QByteArray("\n") : eol;
        result += '[' + section + ']' + eol + key + '=' + value + eol;
    }
    return result;
}

} // namespace profile

QByteArray readProfileValue(const QString& path, const QByteArray& section, const QByteArray& key, qsizetype maxLength)
{
    QFile file;
    try {
        file.open(openRegularFile(QFile::encodeName(path).toStdString(), O_RDONLY, ""), QIODevice::ReadOnly,
            QFileDevice::AutoCloseHandle);
    } catch (const ToolError&) {
        return {};
    }
    const QByteArray value = profile::find(file.readAll(), section, key).value_or(QByteArray()).left(maxLength);
    // A value ends at a NUL byte, as in any C string.
    const qsizetype nul = value.indexOf('\0');
    return nul < 0 ? value : value.left(nul);
}

void writeProfileValue(const QString& path, const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    const auto fail = [&path](const QString& reason) {
        throw ToolError(QStringLiteral("Cannot store the settings in %1: %2").arg(path, reason).toStdString());
    };
    const std::string failure = "Cannot store the settings in " + path.toStdString();
    QByteArray old;
    if (QFile::exists(path)) {
        QFile current;
        current.open(openRegularFile(QFile::encodeName(path).toStdString(), O_RDONLY, failure), QIODevice::ReadOnly,
            QFileDevice::AutoCloseHandle);
        old = current.readAll();
    }
    QSaveFile replacement(path);
    if (!replacement.open(QIODevice::WriteOnly))
        fail(replacement.errorString());
    const QByteArray updated = profile::set(old, section, key, value);
    if (replacement.write(updated) != updated.size() || !replacement.commit())
        fail(replacement.errorString());
}

} // namespace clickpath::platform
