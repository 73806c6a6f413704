#include "ini_text.h"

#include <QDataStream>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace settings::ini {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kHexDigits[] = "0123456789ABCDEF";

enum class Kind { Other, Section, Key };

struct Line {
  qsizetype begin = 0;  // first byte
  qsizetype end = 0;    // one past the last byte before the line end
  qsizetype next = 0;   // one past the line end
  Kind kind = Kind::Other;
  QString name;     // of the section, or of the key
  QString section;  // the section a key belongs to; null before the first header
  qsizetype equals = -1;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray Trimmed(QByteArrayView bytes) {
  qsizetype from = 0;
  qsizetype to = bytes.size();
  while (from < to && IsBlank(bytes[from])) ++from;
  while (to > from && IsBlank(bytes[to - 1])) --to;
  return bytes.sliced(from, to - from).toByteArray();
}

// Names in headers and keys: "%XX" and "%UXXXX" stand for one character and
// a backslash for "/", as earlier versions wrote them.
QString UnescapeName(const QByteArray& bytes) {
  const QString decoded = QString::fromUtf8(bytes);
  QString result;
  for (qsizetype i = 0; i < decoded.size();) {
    const QChar ch = decoded.at(i);
    if (ch == QLatin1Char('\\')) {
      result += QLatin1Char('/');
      ++i;
      continue;
    }
    if (ch != QLatin1Char('%') || i == decoded.size() - 1) {
      result += ch;
      ++i;
      continue;
    }
    qsizetype first = i + 1;
    qsizetype digits = 2;
    if (decoded.at(first) == QLatin1Char('U')) {
      ++first;
      digits = 4;
    }
    bool ok = false;
    const ushort code =
        first + digits <= decoded.size() ? decoded.sliced(first, digits).toUShort(&ok, 16) : 0;
    if (!ok) {
      result += ch;
      ++i;
      continue;
    }
    result += QChar(code);
    i = first + digits;
  }
  return result;
}

QByteArray EscapeName(const QString& name) {
  QByteArray result;
  for (const QChar ch : name) {
    const char16_t code = ch.unicode();
    if (code == u'/') {
      result += '\\';
    } else if ((code >= u'a' && code <= u'z') || (code >= u'A' && code <= u'Z') ||
               (code >= u'0' && code <= u'9') || code == u'_' || code == u'-' || code == u'.') {
      result += static_cast<char>(code);
    } else if (code <= 0xFF) {
      result += '%';
      result += kHexDigits[code / 16];
      result += kHexDigits[code % 16];
    } else {
      result += "%U";
      for (int shift = 12; shift >= 0; shift -= 4) result += kHexDigits[(code >> shift) & 0xF];
    }
  }
  return result;
}

bool IsComment(char c) { return c == ';' || c == '#'; }

void Classify(const QByteArray& content, Line& line, QString& section) {
  const QByteArrayView bytes = QByteArrayView(content).sliced(line.begin, line.end - line.begin);
  if (bytes.contains('\0')) return;
  const QByteArray text = Trimmed(bytes);
  if (text.isEmpty() || IsComment(text[0])) return;
  if (text[0] == '[') {
    const qsizetype close = text.indexOf(']');
    if (close < 0) return;
    const QByteArray rest = Trimmed(QByteArrayView(text).sliced(close + 1));
    if (!rest.isEmpty() && !IsComment(rest[0])) return;
    const QByteArray name = Trimmed(QByteArrayView(text).sliced(1, close - 1));
    if (name.isEmpty()) return;
    line.kind = Kind::Section;
    line.name = UnescapeName(name);
    section = line.name;
    return;
  }
  const qsizetype equals = bytes.indexOf('=');
  if (equals < 0) return;
  const QByteArray key = Trimmed(bytes.first(equals));
  if (key.isEmpty()) return;
  line.kind = Kind::Key;
  line.name = UnescapeName(key);
  line.section = section;
  line.equals = line.begin + equals;
}

// Lines end at "\n", "\r\n" or a lone "\r"; a byte-order mark before the
// first line belongs to no line.
std::vector<Line> Parse(const QByteArray& content) {
  std::vector<Line> lines;
  QString section;
  qsizetype at = content.startsWith(kByteOrderMark) ? 3 : 0;
  while (at < content.size()) {
    Line line;
    line.begin = at;
    while (at < content.size() && content[at] != '\n' && content[at] != '\r') ++at;
    line.end = at;
    if (at < content.size()) {
      const bool crlf = content[at] == '\r' && at + 1 < content.size() && content[at + 1] == '\n';
      at += crlf ? 2 : 1;
    }
    line.next = at;
    Classify(content, line, section);
    lines.push_back(std::move(line));
  }
  return lines;
}

QByteArray LineEnd(const QByteArray& content, const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (line.next > line.end) return content.sliced(line.end, line.next - line.end);
  }
  return QByteArrayLiteral("\n");
}

void ChopTrailingBlanks(QString& text, qsizetype limit) {
  while (text.size() > limit &&
         (text.back() == QLatin1Char(' ') || text.back() == QLatin1Char('\t')))
    text.chop(1);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The escapes, quotes and comma-separated lists earlier versions read.
// Returns the list's items when the text holds an unquoted comma.
QString Unescape(const QByteArray& raw, QStringList& items, bool& isList) {
  static constexpr std::pair<char, char> kEscapes[] = {
      {'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
      {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
  QString text(QLatin1String(""));
  bool inQuotes = false;
  bool quoted = false;
  qsizetype i = 0;
  const qsizetype n = raw.size();
  const auto skipBlanks = [&] {
    while (i < n && IsBlank(raw[i])) ++i;
  };
  skipBlanks();
  qsizetype keep = 0;  // blanks before this position are the text's own
  while (i < n) {
    const char ch = raw[i];
    if (ch == '\\') {
      if (++i >= n) return text;
      const char code = raw[i++];
      bool simple = false;
      for (const auto& [letter, value] : kEscapes) {
        if (code == letter) {
          text += QLatin1Char(value);
          simple = true;
          break;
        }
      }
      if (!simple && code == 'x') {
        if (i >= n) return text;
        if (HexValue(raw[i]) >= 0) {
          char16_t value = 0;
          while (i < n && HexValue(raw[i]) >= 0)
            value = static_cast<char16_t>((value << 4) + HexValue(raw[i++]));
          text += QChar(value);
        }
      } else if (!simple && code >= '0' && code <= '7') {
        auto value = static_cast<char16_t>(code - '0');
        while (i < n && raw[i] >= '0' && raw[i] <= '7')
          value = static_cast<char16_t>((value << 3) + (raw[i++] - '0'));
        text += QChar(value);
      }
      keep = text.size();
    } else if (ch == '"') {
      ++i;
      quoted = true;
      inQuotes = !inQuotes;
      if (!inQuotes) {
        skipBlanks();
        keep = text.size();
      }
    } else if (ch == ',' && !inQuotes) {
      if (!quoted) ChopTrailingBlanks(text, keep);
      isList = true;
      items << text;
      text = QString(QLatin1String(""));
      quoted = false;
      ++i;
      skipBlanks();
      keep = 0;
    } else if (ch == ';' && !inQuotes) {
      break;  // a comment ends the value
    } else {
      qsizetype j = i + 1;
      while (j < n && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',' && raw[j] != ';') ++j;
      text += QString::fromUtf8(raw.sliced(i, j - i));
      i = j;
    }
  }
  if (!quoted) ChopTrailingBlanks(text, keep);
  return text;
}

bool Wrapped(const QString& text, QLatin1StringView prefix) {
  return text.startsWith(prefix) && text.endsWith(QLatin1Char(')'));
}

// The "@" forms earlier versions used for texts that needed them; the forms
// for pictures, sizes and points hold no text.
std::optional<QString> FromTagged(const QString& text) {
  if (!text.startsWith(QLatin1Char('@'))) return text;
  if (text.startsWith(QLatin1String("@@"))) return text.sliced(1);
  const auto inner = [&text](QLatin1StringView prefix) {
    return text.sliced(prefix.size(), text.size() - prefix.size() - 1);
  };
  if (Wrapped(text, QLatin1String("@String("))) return inner(QLatin1String("@String("));
  if (Wrapped(text, QLatin1String("@ByteArray(")))
    return QString::fromUtf8(inner(QLatin1String("@ByteArray(")).toLatin1());
  if (Wrapped(text, QLatin1String("@Variant("))) {
    const QByteArray bytes = inner(QLatin1String("@Variant(")).toLatin1();
    QDataStream stream(bytes);
    stream.setVersion(QDataStream::Qt_4_0);
    QVariant value;
    stream >> value;
    if (stream.status() != QDataStream::Ok || !value.canConvert<QString>()) return std::nullopt;
    return value.toString();
  }
  for (const char* form : {"@Invalid(", "@Rect(", "@Size(", "@Point("}) {
    if (Wrapped(text, QLatin1String(form))) return std::nullopt;
  }
  return text;
}

}  // namespace

std::optional<QString> DecodeValue(const QByteArray& raw) {
  QStringList items;
  bool isList = false;
  const QString text = Unescape(raw, items, isList);
  if (!isList) return FromTagged(text);
  items << text;
  return items.join(QLatin1Char(','));  // a hand-written list reads as its text
}

QByteArray EncodeValue(const QString& text) {
  QString tagged = text;
  if (text.contains(QChar::Null)) {
    tagged = QLatin1String("@String(") + text + QLatin1Char(')');
  } else if (text.startsWith(QLatin1Char('@'))) {
    tagged.prepend(QLatin1Char('@'));
  }
  QByteArray result;
  bool needsQuotes = false;
  bool escapeNextIfHex = false;  // "\x1" then "2" must not read as "\x12"
  QString plain;                 // pending characters written as UTF-8
  const auto flush = [&] {
    result += plain.toUtf8();
    plain.clear();
  };
  for (const QChar ch : tagged) {
    const char16_t code = ch.unicode();
    if (code == u';' || code == u',' || code == u'=') needsQuotes = true;
    if (escapeNextIfHex && code < 0x80 && HexValue(static_cast<char>(code)) >= 0) {
      flush();
      result += "\\x" + QByteArray::number(code, 16);
      continue;
    }
    escapeNextIfHex = false;
    const char* escape = nullptr;
    switch (code) {
      case u'\0':
        escape = "\\0";
        escapeNextIfHex = true;
        break;
      case u'\a':
        escape = "\\a";
        break;
      case u'\b':
        escape = "\\b";
        break;
      case u'\f':
        escape = "\\f";
        break;
      case u'\n':
        escape = "\\n";
        break;
      case u'\r':
        escape = "\\r";
        break;
      case u'\t':
        escape = "\\t";
        break;
      case u'\v':
        escape = "\\v";
        break;
      case u'"':
        escape = "\\\"";
        break;
      case u'\\':
        escape = "\\\\";
        break;
      default:
        break;
    }
    if (escape) {
      flush();
      result += escape;
    } else if (code <= 0x1F) {
      flush();
      result += "\\x" + QByteArray::number(code, 16);
      escapeNextIfHex = true;
    } else {
      plain += ch;
    }
  }
  flush();
  if (needsQuotes || result.startsWith(' ') || result.endsWith(' ')) {
    result.prepend('"');
    result.append('"');
  }
  return result;
}

QHash<QString, QString> ReadSection(const QByteArray& content, const QString& section) {
  QHash<QString, QString> values;
  for (const Line& line : Parse(content)) {
    if (line.kind != Kind::Key || line.section != section) continue;
    const std::optional<QString> text =
        DecodeValue(content.sliced(line.equals + 1, line.end - line.equals - 1));
    if (text) {
      values.insert(line.name, *text);
    } else {
      values.remove(line.name);
    }
  }
  return values;
}

QByteArray Assign(const QByteArray& content, const QList<Assignment>& assignments) {
  const std::vector<Line> lines = Parse(content);
  const QByteArray eol = LineEnd(content, lines);
  const auto n = static_cast<qsizetype>(lines.size());
  QHash<qsizetype, QByteArray> replaced;  // line index: its new bytes
  QHash<qsizetype, QByteArray> added;     // line index: new lines after it
  QList<QString> newSections;
  QHash<QString, QByteArray> newSectionLines;

  // A key set twice takes its last text.
  QList<Assignment> unique;
  for (const Assignment& a : assignments) {
    bool found = false;
    for (Assignment& u : unique) {
      if (u.section == a.section && u.key == a.key) {
        u.text = a.text;
        found = true;
      }
    }
    if (!found) unique << a;
  }

  for (const Assignment& a : unique) {
    const QByteArray value = EncodeValue(a.text);
    qsizetype keyLine = -1;
    qsizetype lastHeader = -1;
    for (qsizetype i = 0; i < n; ++i) {
      const Line& line = lines[static_cast<size_t>(i)];
      if (line.kind == Kind::Key && line.section == a.section && line.name == a.key) keyLine = i;
      if (line.kind == Kind::Section && line.name == a.section) lastHeader = i;
    }
    if (keyLine >= 0) {
      const Line& line = lines[static_cast<size_t>(keyLine)];
      qsizetype valueAt = line.equals + 1;  // the line's own spacing stays
      while (valueAt < line.end && IsBlank(content[valueAt])) ++valueAt;
      replaced[keyLine] = content.sliced(line.begin, valueAt - line.begin) + value;
      continue;
    }
    const QByteArray newLine = EscapeName(a.key) + '=' + value + eol;
    if (lastHeader < 0) {
      if (!newSectionLines.contains(a.section)) newSections << a.section;
      newSectionLines[a.section] += newLine;
      continue;
    }
    // After the section's last key, so that trailing comments and blank
    // lines stay before the next section.
    qsizetype after = lastHeader;
    for (qsizetype i = lastHeader + 1; i < n; ++i) {
      const Line& line = lines[static_cast<size_t>(i)];
      if (line.kind == Kind::Section) break;
      if (line.kind == Kind::Key) after = i;
    }
    added[after] += newLine;
  }

  QByteArray result = content.first(lines.empty() ? content.size() : lines.front().begin);
  for (qsizetype i = 0; i < n; ++i) {
    const Line& line = lines[static_cast<size_t>(i)];
    result +=
        replaced.contains(i) ? replaced[i] : content.sliced(line.begin, line.end - line.begin);
    const QByteArray ending = content.sliced(line.end, line.next - line.end);
    result += ending;
    if (added.contains(i)) {
      if (ending.isEmpty()) result += eol;
      result += added[i];
    }
  }
  if (!newSections.isEmpty()) {
    if (!lines.empty() && lines.back().next == lines.back().end) result += eol;
    const bool lastBlank =
        lines.empty() || Trimmed(QByteArrayView(content).sliced(
                                     lines.back().begin, lines.back().end - lines.back().begin))
                             .isEmpty();
    if (!lastBlank) result += eol;  // a blank line between sections
    for (const QString& section : newSections) {
      result += '[' + EscapeName(section) + ']' + eol + newSectionLines[section];
      if (section != newSections.back()) result += eol;
    }
  }
  return result;
}

QByteArray RemoveSection(const QByteArray& content, const QString& section) {
  const std::vector<Line> lines = Parse(content);
  QByteArray result = content.first(lines.empty() ? content.size() : lines.front().begin);
  for (const Line& line : lines) {
    const bool owned = (line.kind == Kind::Section && line.name == section) ||
                       (line.kind == Kind::Key && line.section == section);
    if (!owned) result += content.sliced(line.begin, line.next - line.begin);
  }
  return result;
}

}  // namespace settings::ini
