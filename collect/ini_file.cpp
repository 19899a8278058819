// Line scanning, look-up and in-place rewriting of the settings file's text.
#include "collect/ini_file.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/codec/jpeg_errors.h"
#include "engine/files/atomic_file_writer.h"

namespace pixmora {
namespace {

// A UTF-8 byte-order mark that an editor may put before the first line: not part of the
// first line when reading, and kept where it is when writing.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

size_t TextStart(std::string_view bytes) {
    return bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
}

// The file's bytes; "" when it does not exist; nothing when it exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return std::string();
    if (error || status.type() != std::filesystem::file_type::regular) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

enum class LineKind { kBlank, kComment, kSection, kKey, kOther };

struct Line {
    size_t begin = 0;
    size_t content_end = 0;  // before the line end
    size_t end = 0;          // after the line end
    LineKind kind = LineKind::kBlank;
    std::string_view name;   // section or key name
    std::string_view value;  // raw text after "=" of a key line
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

Line Classify(std::string_view bytes, size_t begin, size_t content_end, size_t end) {
    Line line{begin, content_end, end, LineKind::kBlank, {}, {}};
    const std::string_view content = Trim(bytes.substr(begin, content_end - begin));
    if (content.empty()) return line;
    if (content.front() == ';') {
        line.kind = LineKind::kComment;
        return line;
    }
    if (content.front() == '[') {
        const size_t close = content.find(']');
        if (close != std::string_view::npos) {
            line.kind = LineKind::kSection;
            line.name = Trim(content.substr(1, close - 1));
            return line;
        }
    }
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
        line.kind = LineKind::kOther;
        return line;
    }
    line.kind = LineKind::kKey;
    line.name = Trim(content.substr(0, equals));
    line.value = content.substr(equals + 1);
    return line;
}

std::vector<Line> ScanLines(std::string_view bytes) {
    std::vector<Line> lines;
    size_t begin = TextStart(bytes);
    while (begin < bytes.size()) {
        const size_t newline = bytes.find('\n', begin);
        size_t content_end, end;
        if (newline == std::string_view::npos) {
            content_end = end = bytes.size();
        } else {
            end = newline + 1;
            content_end = (newline > begin && bytes[newline - 1] == '\r') ? newline - 1 : newline;
        }
        lines.push_back(Classify(bytes, begin, content_end, end));
        begin = end;
    }
    return lines;
}

// Where a section lies among the lines: its header and the first line after it.
struct SectionSpan {
    size_t header = 0;
    size_t stop = 0;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::kSection || !SameName(lines[i].name, section)) continue;
        size_t stop = i + 1;
        while (stop < lines.size() && lines[stop].kind != LineKind::kSection) ++stop;
        return SectionSpan{i, stop};
    }
    return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<Line>& lines, const SectionSpan& span,
                              std::string_view key) {
    for (size_t i = span.header + 1; i < span.stop; ++i)
        if (lines[i].kind == LineKind::kKey && SameName(lines[i].name, key)) return i;
    return std::nullopt;
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

std::optional<IniFile> IniFile::Load(const std::string& path) {
    if (path.empty()) return std::nullopt;
    auto bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    return IniFile(std::move(*bytes));
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
    const auto lines = ScanLines(bytes_);
    const auto span = FindSection(lines, section);
    return span && FindKey(lines, *span, key);
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
    const auto lines = ScanLines(bytes_);
    const auto span = FindSection(lines, section);
    if (!span) return std::nullopt;
    const auto index = FindKey(lines, *span, key);
    if (!index) return std::nullopt;
    std::string_view value = Trim(lines[*index].value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    const bool section_ok = !section.empty() && !HasLineBreakOrNul(section) &&
                            Trim(section) == section && section.find(']') == std::string_view::npos;
    const bool key_ok = !key.empty() && !HasLineBreakOrNul(key) && Trim(key) == key &&
                        key.find('=') == std::string_view::npos && key.front() != ';' &&
                        key.front() != '[';
    if (!section_ok || !key_ok || HasLineBreakOrNul(value)) return false;

    const auto lines = ScanLines(bytes_);
    const auto span = FindSection(lines, section);
    if (!span) {
        std::string tail;
        if (bytes_.size() > TextStart(bytes_) && bytes_.back() != '\n') tail += "\r\n";
        tail.append("[").append(section).append("]\r\n");
        tail.append(key).append("=").append(value).append("\r\n");
        bytes_ += tail;
        return true;
    }

    if (const auto index = FindKey(lines, *span, key)) {
        const Line& line = lines[*index];
        std::string rewritten(line.name);
        rewritten.append("=").append(value);
        bytes_.replace(line.begin, line.content_end - line.begin, rewritten);
        return true;
    }

    size_t last = span->header;
    for (size_t i = span->header + 1; i < span->stop; ++i)
        if (lines[i].kind != LineKind::kBlank && lines[i].kind != LineKind::kComment) last = i;
    const Line& after = lines[last];
    std::string inserted;
    if (after.content_end == after.end) inserted += "\r\n";  // the file's last line, unended
    inserted.append(key).append("=").append(value).append("\r\n");
    bytes_.insert(after.end, inserted);
    return true;
}

bool IniFile::Save(const std::string& path) const {
    if (path.empty()) return false;
    try {
        WriteFileAtomically(path, reinterpret_cast<const uint8_t*>(bytes_.data()), bytes_.size(),
                            {TTemporaryKind::Unnamed, TLinkHandling::WriteThrough});
        return true;
    } catch (const EFCreateError&) {
        return false;
    }
}

}  // namespace pixmora
