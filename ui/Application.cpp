#include "ui/Application.h"

#include <QMessageBox>
#include <exception>

QString applicationTitle() { return QStringLiteral("Pelorin " PELORIN_VERSION); }

QString exceptionBoxText(const QString& message) {
  if (!message.isEmpty() && message.back() > u'.') return message + u'.';
  return message;
}

void showExceptionBox(const QString& message) {
  QMessageBox box(QMessageBox::Critical, applicationTitle(), exceptionBoxText(message),
                  QMessageBox::Ok);
  box.exec();
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Pelorin"));
  setApplicationVersion(QStringLiteral(PELORIN_VERSION));
  setOrganizationName(QStringLiteral("Quillon Dynamics"));
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    showExceptionBox(QString::fromUtf8(error.what()));  // our messages are UTF-8 everywhere
  } catch (...) {
    showExceptionBox(QStringLiteral("Neznámá chyba"));
  }
  return false;
}
