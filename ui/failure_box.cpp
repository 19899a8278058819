// Error boxes.
#include "ui/failure_box.h"

#include "engine/text/failure_text.h"

#include <QApplication>
#include <QMessageBox>

namespace pixmora {

void ShowErrorBox(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                    QString::fromStdString(text), QMessageBox::Ok, parent);
    box.exec();
}

void ShowCurrentFailure(QWidget* parent) {
    try {
        throw;
    } catch (const std::exception& failure) {
        ShowErrorBox(parent, WithFinalStop(failure.what()));
    } catch (...) {
        ShowErrorBox(parent, "Exception inconnue.");
    }
}

}  // namespace pixmora
