#include "CommandJournal.h"

#include <QDateTime>
#include <QFile>

namespace dxkeeper_sim {

bool CommandJournal::Append(const std::string& command,
                            std::optional<long long> committedQueueRows) const {
  if (path_.empty()) return true;
  QFile file(QString::fromStdString(path_));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
  QString shown = QString::fromStdString(command);
  shown.replace('\r', QStringLiteral("\\r")).replace('\n', QStringLiteral("\\n"));
  const QByteArray queue =
      committedQueueRows ? QByteArray::number(*committedQueueRows) : QByteArrayLiteral("?");
  const QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + '\t' +
                          shown.toUtf8() + "\tqueue " + queue + '\n';
  return file.write(line) == line.size() && file.flush();
}

}  // namespace dxkeeper_sim
