// A link label: holds a web address and opens it in the user's default handler. A label
// whose address failed to open turns itself off for the rest of the run.
#pragma once

#include <functional>

#include <QLabel>

namespace pixmora {

enum class JumpMode { jmInternet, jmApplication, jmNone, jmCustom };

// Hands an address to the desktop; false when that failed.
using AddressOpener = std::function<bool(const QString& address)>;

// An address without ":" gains the scheme its start suggests: "http://" before "www...",
// "ftp://" before "ftp...", "mailto:" when it holds "@" after its first character.
QString CompleteAddress(const QString& address);

class TSimpleLabel : public QLabel {
    Q_OBJECT
public:
    explicit TSimpleLabel(const QString& caption, QWidget* parent = nullptr);

    QString Jump() const { return jump_; }
    void SetJump(const QString& jump) { jump_ = jump; }
    pixmora::JumpMode JumpMode() const { return mode_; }
    void SetJumpMode(pixmora::JumpMode mode) { mode_ = mode; }

    // Replaces the desktop's opener (tests).
    void SetOpener(AddressOpener opener) { opener_ = std::move(opener); }

    // Opens the address (the caption when the address is blank); on failure the label
    // switches to jmNone and disables itself. Always raises Clicked.
    void Click();

signals:
    void Clicked();

private:
    QString jump_;
    pixmora::JumpMode mode_ = pixmora::JumpMode::jmInternet;
    AddressOpener opener_;
};

}  // namespace pixmora
