#include "SimSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "host/HostMonitor.h"
#include "host/linux/IniFile.h"

namespace dxkeeper_sim {

std::string WriteHostSettings(const std::string& logPath, const std::string& callSign) {
  using zorvik::host::FormatIniValue;
  const auto path = zorvik::host::IniFilePath(zorvik::host::kHostApplication);
  if (!path) return "no configuration folder: neither XDG_CONFIG_HOME nor HOME is set";
  const auto logValue = FormatIniValue(logPath);
  const auto callValue = FormatIniValue(callSign);
  if (!logValue || !callValue) return "a setting cannot hold a line break";

  const QString file = QString::fromStdString(path->string());
  if (!QDir().mkpath(QFileInfo(file).absolutePath()))
    return "cannot create the folder of " + path->string();
  const std::string text = std::string("[") + zorvik::host::kHostSection +
                           "]\nLogPathName=" + *logValue + "\nCallSign=" + *callValue + "\n";
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly) ||
      out.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !out.commit()) {
    return "cannot write " + path->string() + ": " + out.errorString().toStdString();
  }
  return {};
}

}  // namespace dxkeeper_sim
