// Texts of the JPEG image object's failures.
#include "engine/codec/jpeg_errors.h"

#include <cstring>
#include <utility>

namespace pixmora {

namespace {

std::string FileErrorText(const char* prefix, const std::string& path, int error_number) {
    return prefix + ('"' + path + '"') + ". " + std::strerror(error_number);
}

}  // namespace

EJPEG::EJPEG(int code, std::string message)
    : std::runtime_error("Erreur JPEG #" + std::to_string(code)),
      code_(code),
      message_(std::move(message)) {}

EFOpenError::EFOpenError(const std::string& path, int error_number)
    : std::runtime_error(FileErrorText("Impossible d'ouvrir le fichier ", path, error_number)),
      error_number_(error_number) {}

EFCreateError::EFCreateError(const std::string& path, int error_number)
    : std::runtime_error(FileErrorText("Impossible de créer le fichier ", path, error_number)),
      error_number_(error_number) {}

EOutOfMemory::EOutOfMemory() : std::runtime_error("Mémoire insuffisante") {}

}  // namespace pixmora
