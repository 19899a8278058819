// The settings file's text in the private-profile layout: "[section]" lines and
// "key=value" lines, read and changed without disturbing anything else in the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pixmora {

// Holds the file's bytes and answers and applies one key at a time.
//
// How lines are taken (leading and trailing blanks of a line never matter):
// - a line starting with ";" is a comment, even when it holds "=";
// - a line starting with "[" and holding a "]" starts a section; its name is what lies
//   between the "[" and the first "]", blanks around it dropped (text after "]" is ignored);
// - any other line holding "=" is a key: the name is the text before the first "=", blanks
//   around it dropped; the value is the rest;
// - every other line (blank, without "=") is kept but means nothing.
// Names are compared without regard to letter case. When a section name appears twice,
// the first section counts; when a key appears twice in it, the first line counts and is
// the one rewritten. Lines end with LF or CR LF, the last one may have no line end at all.
// A UTF-8 byte-order mark at the start of the file is not part of the first line, and stays.
//
// Changes touch only the bytes they must: an existing key's line is rewritten in place
// (its name as the file spells it, its own line end kept); a new key goes right after the
// last line of its section that is neither blank nor a comment, so blank lines and comments
// that lead into the next section stay with it; a new section goes at the end of the file.
// New lines end with CR LF.
class IniFile {
public:
    // Values are cut to this many characters when read.
    static constexpr size_t kMaxValueLength = 2047;

    IniFile() = default;
    explicit IniFile(std::string bytes) : bytes_(std::move(bytes)) {}

    // The file at `path`; an empty one when it does not exist; nothing when it cannot be
    // read (or `path` is empty).
    static std::optional<IniFile> Load(const std::string& path);

    bool HasKey(std::string_view section, std::string_view key) const;
    // The key's value: blanks around it dropped, one pair of enclosing quotes (single or
    // double) removed, cut to kMaxValueLength characters. Nothing when the key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // Sets the key, adding the section or the key as needed. False (and nothing changed) for
    // a name or value that would not survive as one line: empty names, line breaks or NUL
    // anywhere, "]" in a section name, "=" in a key name or a key name that reads as a
    // comment or section, blanks around a name.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    const std::string& Bytes() const { return bytes_; }
    // Replaces the file at `path` with these bytes, whole or not at all (a symbolic link
    // stays and its target is replaced; a read-only file is left alone); false on failure.
    // A load, change and save that must not lose another process's keys runs under an
    // IniFileLock.
    bool Save(const std::string& path) const;

private:
    std::string bytes_;
};

}  // namespace pixmora
