#include "cli/json.h"

#include "support/cp1252.h"

namespace vorn::cli {

std::string ValidUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    // The longest prefix of 1 to 4 bytes that is one valid character.
    std::size_t length = 0;
    for (std::size_t n = 1; n <= 4 && i + n <= text.size(); ++n)
      if (IsValidUtf8(text.substr(i, n))) {
        length = n;
        break;
      }
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

void JsonWriter::Key(std::string_view name) {
  BeforeValue();
  Quoted(name);
  out_->append(": ");
  after_key_ = true;
}

void JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  Quoted(utf8);
}

void JsonWriter::Quoted(std::string_view utf8) {
  out_->push_back('"');
  for (const char c : utf8) {
    switch (c) {
      case '"':
        out_->append("\\\"");
        break;
      case '\\':
        out_->append("\\\\");
        break;
      case '\n':
        out_->append("\\n");
        break;
      case '\r':
        out_->append("\\r");
        break;
      case '\t':
        out_->append("\\t");
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          static const char kHex[] = "0123456789abcdef";
          out_->append("\\u00");
          out_->push_back(kHex[(c >> 4) & 0xF]);
          out_->push_back(kHex[c & 0xF]);
        } else {
          out_->push_back(c);
        }
    }
  }
  out_->push_back('"');
}

void JsonWriter::StringOrNull(const std::optional<std::string>& utf8) {
  if (utf8)
    String(*utf8);
  else
    Null();
}

void JsonWriter::Number(std::int64_t n) {
  BeforeValue();
  out_->append(std::to_string(n));
}

void JsonWriter::Bool(bool b) {
  BeforeValue();
  out_->append(b ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeValue();
  out_->append("null");
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  out_->push_back(bracket);
  const bool one_line =
      !levels_.empty() && (levels_.back().one_line ||
                           (levels_.back().bracket == '[' && bracket == '{'));
  levels_.push_back({bracket, one_line});
}

void JsonWriter::Close(char bracket) {
  const Level level = levels_.back();
  levels_.pop_back();
  if (level.count > 0 && !level.one_line) Indent(levels_.size());
  out_->push_back(bracket);
  if (levels_.empty()) out_->push_back('\n');
}

void JsonWriter::BeforeValue() {
  if (after_key_) {  // the value of a member: on the key's line
    after_key_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (level.count++ > 0) out_->push_back(',');
  if (level.one_line) {
    if (level.count > 1) out_->push_back(' ');
  } else {
    Indent(levels_.size());
  }
}

void JsonWriter::Indent(std::size_t depth) {
  out_->push_back('\n');
  out_->append(2 * depth, ' ');
}

std::string TsvField(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string TsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line.push_back('\t');
    line += TsvField(fields[i]);
  }
  line.push_back('\n');
  return line;
}

}  // namespace vorn::cli
