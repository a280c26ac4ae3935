#include "AdifReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace zorvik::logtools {

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return out;
}

bool IsTagName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
    return std::isalnum(c) != 0 || c == '_';
  });
}

// Finds <EOH> in any case; npos when absent.
std::size_t FindEndOfHeader(std::string_view text) {
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (text.size() - at >= 5 && Upper(text.substr(at, 5)) == "<EOH>") return at;
  }
  return std::string_view::npos;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  AdifDocument Run() {
    std::size_t pos = 0;
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
    if (pos < text_.size() && text_[pos] != '<') {
      const std::size_t eoh = FindEndOfHeader(text_.substr(pos));
      if (eoh == std::string_view::npos) {
        // Some programs write a line of text before headerless records; read on rather than
        // drop the whole file.
        Problem(0, "text before the first field but no <EOH>; reading records from the start");
      } else {
        ReadFields(pos, pos + eoh, doc_.header, true);
        pos += eoh + 5;
      }
    }
    ReadRecords(pos);
    return std::move(doc_);
  }

 private:
  void Problem(std::size_t record, std::string message) {
    doc_.problems.push_back({record, std::move(message)});
  }

  // Reads fields of the header between begin and end (exclusive).
  void ReadFields(std::size_t begin, std::size_t end, AdifRecord& into, bool header) {
    std::size_t pos = begin;
    while (true) {
      const std::size_t open = text_.find('<', pos);
      if (open == std::string_view::npos || open >= end) return;
      Tag tag;
      pos = ReadTag(open, tag, header ? 0 : into.number);
      if (tag.valid) Store(into, tag);
    }
  }

  void ReadRecords(std::size_t pos) {
    AdifRecord current;
    current.number = 1;
    current.byteOffset = pos;
    bool hasFields = false;
    while (true) {
      const std::size_t open = text_.find('<', pos);
      if (open == std::string_view::npos) break;
      if (!hasFields) current.byteOffset = open;
      Tag tag;
      pos = ReadTag(open, tag, current.number);
      if (tag.endOfRecord) {
        const std::size_t next = current.number + 1;
        doc_.records.push_back(std::move(current));
        current = AdifRecord{};
        current.number = next;
        hasFields = false;
      } else if (tag.endOfHeader) {
        Problem(current.number, "<EOH> where a record was expected; ignored");
      } else if (tag.valid) {
        Store(current, tag);
        hasFields = true;
      }
    }
    if (hasFields) {
      Problem(current.number, "fields after the last <EOR> form no complete record; ignored");
    }
  }

  struct Tag {
    bool valid = false;
    bool endOfRecord = false;
    bool endOfHeader = false;
    std::string name;
    std::string_view value;
  };

  static void Store(AdifRecord& into, const Tag& tag) {
    into.fields.emplace(tag.name, std::string(tag.value));
  }

  // Reads the tag starting at `open` ("<"); returns where reading goes on.
  std::size_t ReadTag(std::size_t open, Tag& tag, std::size_t record) {
    const std::size_t close = text_.find('>', open + 1);
    if (close == std::string_view::npos) {
      Problem(record, "unterminated tag at byte " + std::to_string(open));
      return text_.size();
    }
    const std::string_view inside = text_.substr(open + 1, close - open - 1);
    // A "<" inside means the first one was stray text, not a tag.
    if (inside.find('<') != std::string_view::npos) {
      Problem(record, "stray \"<\" at byte " + std::to_string(open));
      return open + 1;
    }
    const std::size_t colon = inside.find(':');
    if (colon == std::string_view::npos) {
      const std::string name = Upper(inside);
      if (name == "EOR") {
        tag.endOfRecord = true;
      } else if (name == "EOH") {
        tag.endOfHeader = true;
      } else {
        Problem(record, "tag <" + std::string(inside) + "> without a length; ignored");
      }
      return close + 1;
    }
    const std::string_view name = inside.substr(0, colon);
    std::string_view lengthText = inside.substr(colon + 1);
    if (const std::size_t typeColon = lengthText.find(':'); typeColon != std::string_view::npos) {
      lengthText = lengthText.substr(0, typeColon);
    }
    std::size_t length = 0;
    const auto [end, ec] =
        std::from_chars(lengthText.data(), lengthText.data() + lengthText.size(), length);
    if (!IsTagName(name) || ec != std::errc() || end != lengthText.data() + lengthText.size()) {
      Problem(record, "malformed tag <" + std::string(inside) + ">; ignored");
      return close + 1;
    }
    const std::size_t valueStart = close + 1;
    if (length > text_.size() - valueStart) {
      Problem(record, "field " + Upper(name) + " is longer than the rest of the file; ignored");
      return text_.size();
    }
    tag.valid = true;
    tag.name = Upper(name);
    tag.value = text_.substr(valueStart, length);
    return valueStart + length;
  }

  std::string_view text_;
  AdifDocument doc_;
};

}  // namespace

std::optional<std::string_view> AdifRecord::Get(std::string_view name) const {
  const auto it = fields.find(Upper(name));
  if (it == fields.end()) return std::nullopt;
  return std::string_view(it->second);
}

AdifDocument ParseAdif(std::string_view text) {
  return Parser(text).Run();
}

}  // namespace zorvik::logtools
