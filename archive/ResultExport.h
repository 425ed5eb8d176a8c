#pragma once

#include <QString>
#include <functional>

class RecordingsModel;

// Button10Click without the dialog: one ";"-separated line per row of the
// result list, appended to the file one line at a time.
namespace ResultExport {

// The line of one row; a NULL column is written as one blank.
QString line(const RecordingsModel &model, int row);

// Writes every row; progress(done, total) may return false to stop.
// Returns the last row written (the list's new current row), -1 when none.
// Throws VorlanError when there is no result list.
int exportAll(RecordingsModel &model, const QString &fileName,
              const std::function<bool(int, int)> &progress = {});

} // namespace ResultExport
