// Read-with-create and write of single settings keys.
#include "collect/settings_file.h"

#include <optional>

#include "collect/ini_file.h"
#include "collect/ini_file_lock.h"
#include "collect/profile_integer.h"

namespace pixmora {
namespace {

std::optional<std::string> ReadWithCreate(const std::string& file, std::string_view section,
                                          std::string_view key, std::string_view default_text) {
    const IniFileLock lock(file);
    auto ini = IniFile::Load(file);
    if (!ini) return std::nullopt;
    if (!ini->HasKey(section, key)) {
        if (!ini->Set(section, key, default_text) || !ini->Save(file)) return std::nullopt;
    }
    return ini->Value(section, key);
}

void Write(const std::string& file, std::string_view section, std::string_view key,
           std::string_view value) {
    const IniFileLock lock(file);
    auto ini = IniFile::Load(file);
    if (ini && ini->Set(section, key, value)) ini->Save(file);
}

}  // namespace

std::string IniReadString(const std::string& file, std::string_view section, std::string_view key) {
    return ReadWithCreate(file, section, key, "").value_or(std::string());
}

int32_t IniReadInteger(const std::string& file, std::string_view section, std::string_view key) {
    const auto text = ReadWithCreate(file, section, key, "0");
    return text ? ProfileIntegerOr(*text, 0) : 0;
}

void IniWriteString(const std::string& file, std::string_view section, std::string_view key,
                    std::string_view value) {
    Write(file, section, key, value);
}

void IniWriteInteger(const std::string& file, std::string_view section, std::string_view key,
                     int32_t value) {
    Write(file, section, key, std::to_string(value));
}

}  // namespace pixmora
