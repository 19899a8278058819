// Texts of the JPEG image object's failures.
#include "engine/codec/jpeg_errors.h"

#include <cstring>
#include <utility>

namespace pixmora {

namespace {

std::string FileErrorText(const char* prefix, const std::string& path, const std::string& reason) {
    return prefix + ('"' + path + '"') + ". " + reason;
}

constexpr char kOpenPrefix[] = "Impossible d'ouvrir le fichier ";

}  // namespace

EJPEG::EJPEG(int code, std::string message)
    : std::runtime_error("Erreur JPEG #" + std::to_string(code)),
      code_(code),
      message_(std::move(message)) {}

EFOpenError::EFOpenError(const std::string& path, int error_number)
    : EFOpenError(path, error_number, std::strerror(error_number)) {}

EFOpenError::EFOpenError(const std::string& path, int error_number, const std::string& reason)
    : std::runtime_error(FileErrorText(kOpenPrefix, path, reason)),
      error_number_(error_number),
      reason_(reason) {}

ENotRegularFile::ENotRegularFile(const std::string& path)
    : EFOpenError(path, 0, "not a regular file") {}

EDamagedData::EDamagedData(uint64_t file_bytes, int32_t width, int32_t height)
    : std::runtime_error(std::to_string(file_bytes) + " bytes cannot hold a " +
                         std::to_string(width) + " x " + std::to_string(height) + " picture"),
      file_bytes_(file_bytes),
      width_(width),
      height_(height) {}

EFCreateError::EFCreateError(const std::string& path, int error_number)
    : std::runtime_error(
          FileErrorText("Impossible de créer le fichier ", path, std::strerror(error_number))),
      error_number_(error_number) {}

EOutOfMemory::EOutOfMemory() : std::runtime_error("Mémoire insuffisante") {}

}  // namespace pixmora
