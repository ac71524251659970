#include "ui/widgets.h"

#include "records/cp1252.h"

namespace cm3::ui {

QString q8(const std::string& text8) { return QString::fromStdString(cp1252::toUtf8(text8)); }
std::string to8(const QString& text) { return cp1252::fromUtf8(text.toStdString()); }

QStringList toList(const std::vector<std::string>& names) {
  QStringList out;
  out.reserve(qsizetype(names.size()));
  for (const auto& n : names) out << q8(n);
  return out;
}

}  // namespace cm3::ui
