#include "cli/RecordingInfo.h"

#include "core/RecordingFormat.h"
#include "platform/posix/SequentialFile.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace clickpath::cli {

namespace {

void cover(std::optional<RecordingInfo::Area>& area, const core::Record& record)
{
    if (!area) {
        area = RecordingInfo::Area{record.x, record.y, record.x, record.y};
        return;
    }
    area->left = std::min(area->left, record.x);
    area->top = std::min(area->top, record.y);
    area->right = std::max(area->right, record.x);
    area->bottom = std::max(area->bottom, record.y);
}

} // namespace

RecordingInfo readRecordingInfo(const QString& path)
{
    platform::RecordingFileReader reader(path);
    RecordingInfo info;
    std::optional<core::Record> press; // the held press's record
    bool moved = false;
    const auto released = [&] { (moved ? info.drags : info.clicks) += 1; };
    while (const std::optional<core::Record> record = reader.next()) {
        ++info.records;
        cover(info.area, *record);
        if (record->button == core::kButtonHeld && !press) {
            (press = record, moved = false);
        } else if (press) {
            moved = moved || record->x != press->x || record->y != press->y;
            if (record->button == core::kButtonUp)
                (released(), press.reset());
        }
    }
    if (press) // the player lets go of it at the end of the pass
        released();
    info.stop = QString::fromStdString(reader.problem());
    info.stopLine = info.stop.isEmpty() ? 0 : reader.line();
    return info;
}

QString describe(const QString& path, const RecordingInfo& info)
{
    QString text = QStringLiteral("file      %1\nrecords   %2\nduration  %3 s at 100 records a second\n"
                                  "presses   %4 (clicks %5, drags %6)\n")
                       .arg(path)
                       .arg(info.records)
                       .arg(info.seconds(), 0, 'f', 2)
                       .arg(info.clicks + info.drags)
                       .arg(info.clicks)
                       .arg(info.drags);
    if (info.area)
        text += QStringLiteral("area      x %1 to %2, y %3 to %4\n")
                    .arg(info.area->left)
                    .arg(info.area->right)
                    .arg(info.area->top)
                    .arg(info.area->bottom);
    if (!info.stop.isEmpty())
        text += QStringLiteral("stops     at line %1: %2\n").arg(info.stopLine).arg(info.stop);
    return text;
}

QString describeAsJson(const QString& path, const RecordingInfo& info)
{
    QJsonObject object{{"file", path}, {"records", static_cast<qint64>(info.records)}, {"seconds", info.seconds()},
        {"clicks", static_cast<qint64>(info.clicks)}, {"drags", static_cast<qint64>(info.drags)}};
    object["area"] = info.area ? QJsonValue(QJsonObject{{"left", info.area->left}, {"top", info.area->top},
                         {"right", info.area->right}, {"bottom", info.area->bottom}})
                               : QJsonValue();
    object["stop"] = info.stop.isEmpty()
        ? QJsonValue()
        : QJsonValue(QJsonObject{{"line", static_cast<qint64>(info.stopLine)}, {"reason", info.stop}});
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + '\n';
}

} // namespace clickpath::cli
