#include "tempo_sources.h"

#include <charconv>
#include <cmath>

#include "calc/rounded_text.h"

namespace extras {

using sequencer::SourceReport;
using sequencer::SourceState;

const SourceRow* RowOf(SourceKind kind) {
  for (const SourceRow& row : kSourceRows) {
    if (row.kind == kind) return &row;
  }
  return nullptr;
}

const SourceRow* RowOfStored(const QString& text) {
  const QByteArray word = text.trimmed().toUtf8();
  for (const SourceRow& row : kSourceRows) {
    if (std::string_view(word.constData(), static_cast<std::size_t>(word.size())) == row.stored)
      return &row;
  }
  return nullptr;
}

QString SourceName(SourceKind kind) {
  const SourceRow* row = RowOf(kind);
  return row ? QString::fromUtf8(row->name.data(), static_cast<qsizetype>(row->name.size()))
             : QString();
}

QString WithMnemonic(SourceKind kind, QString text) {
  const SourceRow* row = RowOf(kind);
  return row ? text.insert(row->mnemonic, u'&') : text;
}

QString TempoText(SourceKind kind, double bpm, int maxLength, QChar separator) {
  const SourceRow* row = RowOf(kind);
  const int most = row && row->decimals >= 0 ? row->decimals : 3;
  const int least = row && row->decimals >= 0 ? row->decimals : 0;
  for (int decimals = most; decimals >= least; --decimals) {
    auto text = row && row->decimals >= 0
                    ? std::optional<std::string>(QString::number(bpm, 'f', decimals).toStdString())
                    : calc::RoundedText(bpm, decimals, '.');
    if (!text || !std::isfinite(bpm)) return {};
    if (maxLength <= 0 || static_cast<int>(text->size()) <= maxLength)
      return QString::fromStdString(*text).replace(u'.', separator);
  }
  return {};
}

QString ReceivedText(double value, QChar separator) {
  if (std::isnan(value)) return QStringLiteral("NaN");
  if (std::isinf(value))
    return value > 0 ? QStringLiteral("infinity") : QStringLiteral("-infinity");
  char buffer[400];  // the longest double in fixed notation has 309 digits before the point
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (error != std::errc()) return {};
  return QString::fromLatin1(buffer, end - buffer).replace(u'.', separator);
}

QString StateText(const SourceReport& report, const QString& tempoText, QChar separator) {
  const QString name = SourceName(report.source);
  const QString reason = QString::fromStdString(report.reason);
  switch (report.state) {
    case SourceState::Off:
      return name;
    case SourceState::Connecting:
      return name + QStringLiteral(" (connecting)");
    case SourceState::Unavailable:
    case SourceState::Unreachable:
    case SourceState::Lost:
      return reason.isEmpty() ? name : name + QStringLiteral(" (") + reason + u')';
    case SourceState::Waiting:
      if (report.ignoredTempo)
        return name + QStringLiteral(": ") + ReceivedText(*report.ignoredTempo, separator) +
               QStringLiteral(" BPM ignored");
      return reason.isEmpty() ? name : name + QStringLiteral(": ") + reason;
    case SourceState::Following:
      if (!report.peers) return name + QStringLiteral(": ") + tempoText + QStringLiteral(" BPM");
      // A shared session: a tempo of ours it did not take, or who is in it.
      if (!reason.isEmpty())
        return name + QStringLiteral(": ") + QString(reason).replace(u'.', separator);
      if (*report.peers <= 0)
        return name + QStringLiteral(": no peers (") + tempoText + QStringLiteral(" BPM)");
      return name + QStringLiteral(": %1 BPM, %2 %3")
                        .arg(tempoText)
                        .arg(*report.peers)
                        .arg(*report.peers == 1 ? QStringLiteral("peer") : QStringLiteral("peers"));
  }
  return name;
}

}  // namespace extras
