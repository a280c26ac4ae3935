#include "CommandJournal.h"

#include <QDateTime>
#include <QFile>

#include "JournalFormat.h"

namespace dxkeeper_sim {

bool CommandJournal::Append(const std::string& command, const std::string& note) const {
  if (path_.empty()) return true;
  QFile file(QString::fromStdString(path_));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  const std::string line = JournalLine({date.year(), date.month(), date.day(), time.hour(),
                                        time.minute(), time.second(), time.msec()},
                                       command, note);
  return file.write(line.data(), static_cast<qint64>(line.size())) ==
             static_cast<qint64>(line.size()) &&
         file.flush();
}

}  // namespace dxkeeper_sim
