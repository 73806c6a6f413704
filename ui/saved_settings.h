// The calculator's five saved settings, each declared once: read from the
// store once per start, written back in one file replacement.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

#include "setting.h"
#include "settings.h"

namespace ui {

// How the saved texts read and write, under the program's decimal separator.
namespace saved {
std::optional<float> ParseSingle(const QString& text, char separator);
QString FormatSingle(const float& value, char separator);
std::optional<int> ParseInteger(const QString& text, char separator);
QString FormatInteger(const int& value, char separator);
std::optional<bool> ParseFlag(const QString& text, char separator);
QString FormatFlag(const bool& value, char separator);
std::optional<QString> ParseVerbatim(const QString& text, char separator);
QString FormatVerbatim(const QString& text, char separator);
}  // namespace saved

// The keys of the calculator's section, with what a first run starts from.
inline constexpr settings::Setting<float> kLeft{"Left", 1815, saved::ParseSingle,
                                                saved::FormatSingle};  // twips
inline constexpr settings::Setting<float> kTop{"Top", 6030, saved::ParseSingle,
                                               saved::FormatSingle};  // twips
inline const settings::Setting<QString> kBpm{"BPM", QStringLiteral("120"), saved::ParseVerbatim,
                                             saved::FormatVerbatim};  // the tempo box's text
inline constexpr settings::Setting<int> kSlider{"Slider", 120, saved::ParseInteger,
                                                saved::FormatInteger};
inline constexpr settings::Setting<bool> kState{"State", true, saved::ParseFlag,
                                                saved::FormatFlag};  // true: the compact layout

class SavedSettings {
 public:
  using Lines = QList<std::pair<QString, QString>>;

  explicit SavedSettings(char separator) : separator_(separator) {}

  // Reads the calculator's section; what is missing reads as its default.
  void Load();

  // The value loaded for `key`: its default when missing, none when damaged.
  template <typename T>
  std::optional<T> Value(const settings::Setting<T>& key) const {
    return key.In(loaded_, separator_);
  }
  // The line that stores `value` for `key`.
  template <typename T>
  std::pair<QString, QString> Line(const settings::Setting<T>& key, const T& value) const {
    return key.Line(value, separator_);
  }

  // Writes every line in one replacement of the file; false when the write
  // failed (the store has said why on standard error).
  static bool Store(const Lines& lines);

 private:
  const char separator_;
  QHash<QString, QString> loaded_;
};

}  // namespace ui
