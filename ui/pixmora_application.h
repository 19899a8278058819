// The program's application object: the last guard of the event loop, which shows a failure
// that escaped an event handler instead of letting it cross Qt.
#pragma once

#include <QApplication>

namespace pixmora {

class TPixmoraApplication : public QApplication {
    Q_OBJECT
public:
    TPixmoraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace pixmora
